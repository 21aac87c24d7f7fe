#include "controls/textmodel/SchemeParser.h"

#include <cctype>

#include "controls/textmodel/EnvOptionListeners.h"
#include "framework/core/SysUtils.h"
#include "framework/core/CharClass.h"

ZEL_DEFINE_CLASS(TSyntaxParser, TSimpleParser, {})

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
bool In(const TSchemeCharSet& set, char c) {
    return set.test(static_cast<unsigned char>(c));
}

enum TOpenToken : int32_t { otNone, otComment, otSingleString, otMultiString, otDirective };

} // namespace

// The scan of one line.
struct TSyntaxParser::TScan {
    const std::string& text;
    std::string& colors;
    int32_t len;
    int32_t pos = 0;
    int32_t open = otNone;
    int32_t entry = 0;
    bool onlyBlanksAndComments = true;
    bool onlyBlanks = true;
    bool directiveOnLine = false;
    int32_t entryFont = -1; // font of the entry that gave the last token
};

TSyntaxParser::TSyntaxParser(TComponent* owner) : TSimpleParser(owner) {
    FDefaultAttr.Font.SetName("Courier New");
    FDefaultAttr.Font.SetSize(10);
    FDefaultAttr.BackColor = clWindow;
    FScheme.Owner = this;
    InitParser();
    RegisterMemoEnvOptObject(this);
}

TSyntaxParser::~TSyntaxParser() {
    UnRegisterMemoEnvOptObject(this);
    FScheme.Owner = nullptr;
}

void TSyntaxParser::HSDispatch(THSMessage& Message) {
    if (Message.Msg == kMemoOptionsUpdateMessage && UseGlobalOptions())
        ParserChanged();
}

void TSyntaxParser::SetSyntaxScheme(TSyntaxScheme* scheme) {
    if (!scheme || scheme == &FScheme)
        return;
    FScheme.ClearContents();
    FScheme.Assign(scheme); // re-initialises through SchemeChanged
}

void TSyntaxParser::SetDefaultAttr(TAttrItem* item) {
    if (item)
        FDefaultAttr.Assign(item);
    ParserChanged();
}

void TSyntaxParser::SetUseGlobalOptions(bool value) {
    if (value == FScheme.UseGlobalOptions)
        return;
    FScheme.UseGlobalOptions = value;
    ParserChanged();
}

void TSyntaxParser::InitParser() {
    FScheme.InitScheme();
    SetCurBlock(0, 0);
}

void TSyntaxParser::SchemeWasInitialised() {
    ParserChanged();
}

void TSyntaxParser::ParserChanged() {
    if (FUpdateCount > 0)
        return;
    FScheme.CreateAttrIDHash();
    NotifyEvents(0, 0);
}

void TSyntaxParser::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    ParserChanged();
}

const TSyntaxBlock* TSyntaxParser::CurrentBlock() const {
    return FBlock < FScheme.SyntaxBlocks.Count() ? FScheme.SyntaxBlocks.GetItem(FBlock) : nullptr;
}

int32_t TSyntaxParser::SetCurBlock(int32_t code, int32_t direction) {
    auto& stack = FScheme.BlockStack;
    if (stack.empty())
        stack.push_back(TBlockInfo{});
    if (direction == 0) {
        FChain = (code >= 0 && code < static_cast<int32_t>(stack.size())) ? code : 0;
    } else if (direction > 0) {
        const TBlockInfo wanted{(code >> 8) & 0xFF, code & 0xFF, FChain};
        int32_t found = -1;
        for (size_t i = 0; i < stack.size(); ++i)
            if (stack[i].Block == wanted.Block && stack[i].Delimiter == wanted.Delimiter &&
                stack[i].Link == wanted.Link) {
                found = static_cast<int32_t>(i);
                break;
            }
        if (found < 0) {
            // The line state names a chain in 8 bits: beyond that the block is not opened.
            if (static_cast<int32_t>(stack.size()) >= TSyntaxScheme::kMaxChains)
                return -1;
            stack.push_back(wanted);
            found = static_cast<int32_t>(stack.size()) - 1;
        }
        FChain = found;
    } else {
        FChain = stack[static_cast<size_t>(FChain)].Link < 0 ? 0 : stack[static_cast<size_t>(FChain)].Link;
    }
    const TBlockInfo& top = stack[static_cast<size_t>(FChain)];
    FBlock = top.Block < FScheme.SyntaxBlocks.Count() ? top.Block : 0;
    FDelimiter = FChain == 0 ? -1 : top.Delimiter;
    const TSyntaxBlock* b = CurrentBlock();
    FCaseFlag = b && b->CaseSensitive;
    FPartOfBlock = false;
    if (b && FDelimiter >= 0 && FDelimiter < b->BlockDelimiters.Count())
        FPartOfBlock = b->BlockDelimiters.GetItem(FDelimiter)->DelimitersArePartOfBlock;
    return FChain;
}

bool TSyntaxParser::MatchAt(const std::string& text, int32_t pos, const std::string& token,
                            bool caseSensitive) const {
    if (token.empty() || pos < 0 ||
        pos + static_cast<int32_t>(token.size()) > static_cast<int32_t>(text.size()))
        return false;
    for (size_t i = 0; i < token.size(); ++i) {
        const char a = text[static_cast<size_t>(pos) + i], b = token[i];
        if (caseSensitive ? a != b : Lower(a) != Lower(b))
            return false;
    }
    return true;
}

// Tests whether the open block closes at the scan position, and closes it.
bool TSyntaxParser::CloseCheck(TScan& s) {
    if (FChain == 0)
        return false;
    const TSyntaxBlock* b = CurrentBlock();
    if (!b || FDelimiter < 0 || FDelimiter >= b->BlockDelimiters.Count())
        return false;
    const std::string& r = b->BlockDelimiters.GetItem(FDelimiter)->RightDelimiter;
    if (r.empty())
        return false;
    const int32_t n = static_cast<int32_t>(r.size());
    bool closes;
    if (FPartOfBlock) {
        const int32_t at = s.pos - n;
        closes = MatchAt(s.text, at, r, b->CaseSensitive) &&
                 !(In(b->FirstIdentChars, r[0]) && at > 0 &&
                   In(b->OtherIdentChars, s.text[static_cast<size_t>(at - 1)]));
    } else {
        const bool rootCase =
            FScheme.SyntaxBlocks.Count() > 0 && FScheme.SyntaxBlocks.GetItem(0)->CaseSensitive;
        closes = MatchAt(s.text, s.pos, r, rootCase) &&
                 !(In(b->FirstIdentChars, r[0]) && s.pos + n < s.len &&
                   In(b->OtherIdentChars, s.text[static_cast<size_t>(s.pos + n)]));
    }
    if (closes)
        SetCurBlock(0, -1);
    return closes;
}

int32_t TSyntaxParser::FontFor(int32_t kind, int32_t entryFont) const {
    const TSyntaxBlock* b = CurrentBlock();
    if (!b)
        return 255;
    int32_t id = b->FIText;
    switch (kind) {
    case tkSingleComment:
    case tkMultiComment:
    case tkFullComment:
    case tkSingleString:
    case tkMultiString:
    case tkKeyword:
        id = entryFont;
        break;
    case tkDirective:
        if (b->UseLineDirectives)
            id = b->FIDirective;
        break;
    case tkInteger:
        if (b->UseNumbers)
            id = b->FIIntNum;
        break;
    case tkFloat:
        if (b->UseNumbers)
            id = b->FIFloatNum;
        break;
    case tkHex:
        if (b->UseNumbers)
            id = b->FIHexNum;
        break;
    case tkIdentifier:
        if (b->UseIdentifiers)
            id = b->FIIdentifier;
        break;
    case tkSymbol:
        if (b->UseSymbols)
            id = b->FISymbol;
        break;
    default:
        break;
    }
    if (id < 0 || id >= 255)
        id = b->FIText;
    return (id < 0 || id >= 255) ? 255 : id;
}

int32_t TSyntaxParser::GetToken(TScan& s) {
    const TSyntaxBlock& b = *CurrentBlock();
    const std::string& t = s.text;
    const bool cs = b.CaseSensitive;
    auto at = [&](int32_t i) { return i >= 0 && i < s.len ? t[static_cast<size_t>(i)] : '\0'; };
    auto metaWraps = [&] {
        return b.UseMetaSymbol && b.UseMetaToWrapLines && s.len > 0 && t.back() == b.MetaSymbol;
    };
    // The identifier-boundary rule: a delimiter that starts like an identifier must not run on into one.
    auto boundaryAfter = [&](const std::string& d, int32_t end) {
        return d.empty() || !In(b.FirstIdentChars, d[0]) || !In(b.OtherIdentChars, at(end));
    };
    auto itemOf = [](const TCollection& list, int32_t i) -> const TLineToken* {
        return i >= 0 && i < list.Count() ? static_cast<const TLineToken*>(list.Items(i)) : nullptr;
    };
    auto rightOf = [](const TLineToken* e) -> std::string {
        auto* bt = dynamic_cast<const TBlockToken*>(e);
        return bt ? bt->RightDelimiter : std::string();
    };
    // Finds the closing delimiter of an open comment or string (its first occurrence only).
    auto findClose = [&](const std::string& r, int32_t& found) {
        if (r.empty())
            return false;
        const size_t f = t.find(r, static_cast<size_t>(s.pos));
        if (f == std::string::npos)
            return false;
        found = static_cast<int32_t>(f);
        const int32_t end = found + static_cast<int32_t>(r.size());
        return !(In(b.FirstIdentChars, r[0]) &&
                 (In(b.OtherIdentChars, at(end)) || In(b.OtherIdentChars, at(found - 1))));
    };

    // 1. Inside a multi-line comment.
    if (s.open == otComment) {
        const TLineToken* e = itemOf(b.MultiLineCommentDelimiters, s.entry);
        s.entryFont = e ? e->FontID : -1;
        int32_t f = 0;
        const std::string r = rightOf(e);
        if (e && findClose(r, f)) {
            s.pos = f + static_cast<int32_t>(r.size());
            s.open = (s.directiveOnLine && s.pos < s.len) ? otDirective : otNone;
        } else {
            s.pos = s.len;
        }
        return tkMultiComment;
    }
    // 2. Inside a string.
    if (s.open == otSingleString || s.open == otMultiString) {
        const bool single = s.open == otSingleString;
        const TLineToken* e =
            itemOf(single ? b.SingleLineStringDelimiters : b.MultiLineStringDelimiters, s.entry);
        s.entryFont = e ? e->FontID : -1;
        const int32_t kind = single ? tkSingleString : tkMultiString;
        int32_t f = 0;
        const std::string r = rightOf(e);
        if (e && findClose(r, f)) {
            int32_t metas = 0;
            while (b.UseMetaSymbol && f - metas - 1 >= s.pos && at(f - metas - 1) == b.MetaSymbol)
                ++metas;
            if (metas % 2 == 1) {
                s.pos = f + 1;
                if (s.pos >= s.len && single && !metaWraps())
                    s.open = otNone;
            } else {
                s.pos = f + static_cast<int32_t>(r.size());
                s.open = otNone;
            }
        } else {
            s.pos = s.len;
            if (single && !metaWraps())
                s.open = otNone;
        }
        return kind;
    }

    // Comment starts, also tried inside a continued directive.
    auto tryComments = [&]() -> int32_t {
        if (!b.UseComments)
            return -1;
        if (b.UseMultiLineComments)
            for (size_t i = 0; i < b.MultiComments.Items.size(); ++i) {
                const TLineToken* e = b.MultiComments.Items[i];
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs) &&
                    boundaryAfter(e->LeftDelimiter, s.pos + static_cast<int32_t>(e->LeftDelimiter.size()))) {
                    s.pos += static_cast<int32_t>(e->LeftDelimiter.size());
                    s.open = otComment;
                    s.entry = b.MultiComments.Indexes[i];
                    s.entryFont = e->FontID;
                    return tkMultiComment;
                }
            }
        if (b.UseFullLineComments && s.onlyBlanks)
            for (const TLineToken* e : b.FullComments.Items)
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs) &&
                    boundaryAfter(e->LeftDelimiter, s.pos + static_cast<int32_t>(e->LeftDelimiter.size()))) {
                    s.pos = s.len;
                    s.entryFont = e->FontID;
                    return tkFullComment;
                }
        if (b.UseSingleLineComments)
            for (const TLineToken* e : b.SingleComments.Items)
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs) &&
                    boundaryAfter(e->LeftDelimiter, s.pos + static_cast<int32_t>(e->LeftDelimiter.size()))) {
                    s.pos = s.len;
                    s.entryFont = e->FontID;
                    return tkSingleComment;
                }
        return -1;
    };

    // 3. Inside a continued line directive.
    if (s.open == otDirective) {
        const int32_t k = tryComments();
        if (k >= 0)
            return k;
        ++s.pos;
        if (s.pos >= s.len && !metaWraps())
            s.open = otNone;
        return tkDirective;
    }
    // 4. Blanks.
    if (static_cast<unsigned char>(t[static_cast<size_t>(s.pos)]) < 33) {
        while (s.pos < s.len && static_cast<unsigned char>(t[static_cast<size_t>(s.pos)]) < 33)
            ++s.pos;
        return tkText;
    }
    // 5. Symbols.
    if (In(FScheme.SymbolSet, t[static_cast<size_t>(s.pos)])) {
        while (s.pos < s.len && In(FScheme.SymbolSet, t[static_cast<size_t>(s.pos)]))
            ++s.pos;
        return tkSymbol;
    }
    // 6. Comments.
    if (const int32_t k = tryComments(); k >= 0)
        return k;
    // 7. Strings.
    if (b.UseStrings) {
        if (b.UseMultiLineStrings)
            for (size_t i = 0; i < b.MultiStrings.Items.size(); ++i) {
                const TLineToken* e = b.MultiStrings.Items[i];
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs)) {
                    s.pos += static_cast<int32_t>(e->LeftDelimiter.size());
                    s.open = otMultiString;
                    s.entry = b.MultiStrings.Indexes[i];
                    s.entryFont = e->FontID;
                    return tkMultiString;
                }
            }
        if (b.UseSingleLineStrings)
            for (size_t i = 0; i < b.SingleStrings.Items.size(); ++i) {
                const TLineToken* e = b.SingleStrings.Items[i];
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs)) {
                    s.pos += static_cast<int32_t>(e->LeftDelimiter.size());
                    s.open = (s.pos < s.len || metaWraps()) ? otSingleString : otNone;
                    s.entry = b.SingleStrings.Indexes[i];
                    s.entryFont = e->FontID;
                    return tkSingleString;
                }
            }
    }
    // 8. Numbers.
    auto readSuffixes = [&] {
        bool more = true;
        for (bool first = true; more && (first || b.UseMultipleNumSuffixes); first = false) {
            more = false;
            for (const TLineToken* e : b.NumSuf.Items)
                if (MatchAt(t, s.pos, e->LeftDelimiter, cs)) {
                    s.pos += static_cast<int32_t>(e->LeftDelimiter.size());
                    more = true;
                    break;
                }
        }
    };
    auto readFloat = [&]() {
        bool isFloat = false;
        while (IsAsciiDigit(at(s.pos)))
            ++s.pos;
        if (at(s.pos) == '.' && IsAsciiDigit(at(s.pos + 1))) {
            isFloat = true;
            s.pos += 1;
            while (IsAsciiDigit(at(s.pos)))
                ++s.pos;
        }
        if (at(s.pos) == 'e' || at(s.pos) == 'E') {
            int32_t p = s.pos + 1;
            if (at(p) == '+' || at(p) == '-')
                ++p;
            if (IsAsciiDigit(at(p))) {
                isFloat = true;
                s.pos = p;
                while (IsAsciiDigit(at(s.pos)))
                    ++s.pos;
            }
        }
        return isFloat ? tkFloat : tkInteger;
    };
    if (b.UseNumbers) {
        const bool composing = b.UsePrefixedSuffixedNumbers && b.UsePSNumComposition;
        if (b.UsePrefixedSuffixedNumbers && !b.UsePSNumComposition)
            for (int32_t i = 0; i < b.NumPrefixesSuffixes.Count(); ++i) {
                const TBlockToken* e = b.NumPrefixesSuffixes.GetItem(i);
                if (!e->UseToken || !MatchAt(t, s.pos, e->LeftDelimiter, cs))
                    continue;
                int32_t p = s.pos + static_cast<int32_t>(e->LeftDelimiter.size());
                const int32_t digits = p;
                while (IsAsciiHexDigit(at(p)))
                    ++p;
                if (p > digits && MatchAt(t, p, e->RightDelimiter, cs)) {
                    s.pos = p + static_cast<int32_t>(e->RightDelimiter.size());
                    return tkHex;
                }
            }
        if (b.UsePrefixedNumbers || composing)
            for (const TLineToken* e : b.NumPre.Items) {
                if (!MatchAt(t, s.pos, e->LeftDelimiter, cs))
                    continue;
                s.pos += static_cast<int32_t>(e->LeftDelimiter.size());
                if (!IsAsciiHexDigit(at(s.pos)))
                    return tkSymbol;
                while (IsAsciiHexDigit(at(s.pos)))
                    ++s.pos;
                if (composing)
                    readSuffixes();
                return tkHex;
            }
        if (IsAsciiDigit(at(s.pos))) {
            const int32_t kind = readFloat();
            if (b.UseSuffixedNumbers)
                readSuffixes();
            return kind;
        }
    } else if (IsAsciiDigit(at(s.pos))) {
        while (IsAsciiDigit(at(s.pos)))
            ++s.pos;
        return tkInteger;
    }
    // 9. Line directives.
    if (b.UseLineDirectives && s.onlyBlanksAndComments && MatchAt(t, s.pos, b.LineDirectivePrefix, cs)) {
        s.pos += static_cast<int32_t>(b.LineDirectivePrefix.size());
        s.directiveOnLine = true;
        s.open = (s.pos < s.len || metaWraps()) ? otDirective : otNone;
        return tkDirective;
    }
    // 10. Identifiers and keywords.
    auto identifierAt = [&](int32_t p) {
        if (!In(b.FirstIdentChars, at(p)))
            return p;
        ++p;
        while (p < s.len && In(b.OtherIdentChars, at(p)))
            ++p;
        return p;
    };
    const int32_t start = s.pos;
    int32_t end = start;
    bool prefixOnly = false;
    if (b.UsePrefixedSuffixedIdentifiers)
        for (int32_t i = 0; i < b.IdentPrefixesSuffixes.Count() && end == start; ++i) {
            const TBlockToken* e = b.IdentPrefixesSuffixes.GetItem(i);
            if (!e->UseToken || !MatchAt(t, start, e->LeftDelimiter, cs))
                continue;
            const int32_t from = start + static_cast<int32_t>(e->LeftDelimiter.size());
            const int32_t to = identifierAt(from);
            if (to > from && MatchAt(t, to, e->RightDelimiter, cs))
                end = to + static_cast<int32_t>(e->RightDelimiter.size());
        }
    if (end == start && b.UsePrefixedIdentifiers)
        for (const TLineToken* e : b.IdentPre.Items) {
            if (!MatchAt(t, start, e->LeftDelimiter, cs))
                continue;
            const int32_t from = start + static_cast<int32_t>(e->LeftDelimiter.size());
            const int32_t to = identifierAt(from);
            end = to > from ? to : from;
            prefixOnly = to == from;
            break;
        }
    if (prefixOnly) {
        s.pos = end;
        return tkSymbol;
    }
    if (end == start) {
        end = identifierAt(start);
        if (end > start && b.UseSuffixedIdentifiers)
            for (const TLineToken* e : b.IdentSuf.Items)
                if (MatchAt(t, end, e->LeftDelimiter, cs)) {
                    end += static_cast<int32_t>(e->LeftDelimiter.size());
                    break;
                }
    }
    if (end > start) {
        s.pos = end;
        if (b.UseKeywords) {
            std::string word = t.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
            if (!cs)
                word = LowerCase(word);
            const std::string framed = "," + word + ",";
            for (const auto& [set, table] : b.KeywordTables) {
                const std::string& slot = table[static_cast<unsigned char>(word[0])];
                if (!slot.empty() && slot.find(framed) != std::string::npos) {
                    s.entryFont = set->FontID;
                    return tkKeyword;
                }
            }
        }
        return tkIdentifier;
    }
    // 11. Any other character.
    const unsigned char c = static_cast<unsigned char>(t[static_cast<size_t>(s.pos)]);
    ++s.pos;
    const bool punct = (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 ||
                       (c >= 123 && c <= 127);
    return punct ? tkSymbol : tkText;
}

int32_t TSyntaxParser::ColorString(const std::string& text, int32_t startState, std::string& colorData) {
    if (colorData.empty() || text.empty() || (ComponentState() & csLoading) ||
        FScheme.SyntaxBlocks.Count() == 0)
        return startState;
    const uint32_t st = static_cast<uint32_t>(startState);
    SetCurBlock(static_cast<int32_t>(st >> 24), 0);
    TScan s{text, colorData, static_cast<int32_t>(std::min(text.size(), colorData.size()))};
    s.open = static_cast<int32_t>((st >> 8) & 0xFF);
    if (s.open > otDirective)
        s.open = otNone;
    s.entry = static_cast<int32_t>(st & 0xFF);
    int32_t pending = -1; // start of a token that is still being read on this line

    for (;;) {
        if (s.open == otNone) {
            bool pushedLastPass = false;
            for (int32_t guard = 0; guard < 64; ++guard) {
                const TSyntaxBlock* passBlock = CurrentBlock();
                const bool passCase = FCaseFlag;
                bool closed = false, pushed = false, closedAgain = false;
                if (!pushedLastPass)
                    closed = CloseCheck(s);
                // Children whose delimiter is not part of them open after the delimiter.
                const TSyntaxBlock* cur = CurrentBlock();
                for (const TChildDelimiter& d : cur->ChildrenOutside) {
                    const int32_t from = s.pos - static_cast<int32_t>(d.Text.size());
                    if (!MatchAt(text, from, d.Text, cur->CaseSensitive))
                        continue;
                    if (In(cur->FirstIdentChars, d.Text[0]) && from > 0 &&
                        In(cur->OtherIdentChars, text[static_cast<size_t>(from - 1)]))
                        continue;
                    if (SetCurBlock(d.Code, 1) < 0)
                        break;
                    pushed = true;
                    if (!closed)
                        closedAgain = CloseCheck(s);
                    break;
                }
                // Children whose delimiter is part of them open where the delimiter begins.
                for (const TChildDelimiter& d : passBlock->ChildrenInside) {
                    if (!MatchAt(text, s.pos, d.Text, passCase))
                        continue;
                    const int32_t end = s.pos + static_cast<int32_t>(d.Text.size());
                    if (In(passBlock->FirstIdentChars, d.Text[0]) && end < s.len &&
                        In(passBlock->OtherIdentChars, text[static_cast<size_t>(end)]))
                        continue;
                    SetCurBlock(d.Code, 1);
                    break;
                }
                pushedLastPass = pushed;
                if (!((pushed && !closedAgain) || closed))
                    break;
            }
        }
        if (s.pos >= s.len)
            break;
        const int32_t start = s.pos;
        s.entryFont = -1;
        const int32_t kind = GetToken(s);
        if (s.pos <= start)
            s.pos = start + 1; // every token consumes at least one character
        if (kind > tkDirective)
            s.onlyBlanksAndComments = false;
        if (kind != tkText)
            s.onlyBlanks = false;
        const char font = static_cast<char>(FontFor(kind, s.entryFont));
        for (int32_t i = start; i < s.pos; ++i)
            colorData[static_cast<size_t>(i)] = font;
        if (pending < 0)
            pending = start;
        if (s.open == otNone) {
            if (OnGetToken)
                OnGetToken(*this, kind,
                           text.substr(static_cast<size_t>(pending), static_cast<size_t>(s.pos - pending)));
            pending = -1;
        }
    }
    return static_cast<int32_t>((static_cast<uint32_t>(FChain) << 24) | (FPartOfBlock ? 1u << 23 : 0u) |
                                (FCaseFlag ? 1u << 22 : 0u) |
                                (static_cast<uint32_t>(FDelimiter < 0 ? 0 : FDelimiter & 0x3F) << 16) |
                                (static_cast<uint32_t>(s.open & 0xFF) << 8) |
                                // A closed token leaves no entry behind, so equal scans give equal states.
                                (s.open == otNone ? 0u : static_cast<uint32_t>(s.entry & 0xFF)));
}

TFont* TSyntaxParser::GetFont(int32_t fontID) {
    TAttrItem* a = (fontID >= 0 && fontID < 255) ? FScheme.AttrTable[static_cast<size_t>(fontID)] : nullptr;
    return a ? &a->ResolvedFont : &FScheme.Whitespace.ResolvedFont;
}

bool TSyntaxParser::GetBackColor(int32_t fontID, uint32_t& color) {
    TAttrItem* a = (fontID >= 0 && fontID < 255) ? FScheme.AttrTable[static_cast<size_t>(fontID)] : nullptr;
    color = static_cast<uint32_t>(a ? a->ResolvedBack : FScheme.Whitespace.ResolvedBack);
    return true;
}

const TSyntaxBlock* GetSyntaxBlockAt(TSyntaxParser& parser, const std::string& line, int32_t startState,
                                     int32_t column) {
    if (parser.SyntaxScheme().SyntaxBlocks.Count() == 0)
        return nullptr;
    const std::string part = line.substr(
        0, static_cast<size_t>(std::max(0, std::min<int32_t>(column, static_cast<int32_t>(line.size())))));
    if (part.empty()) {
        parser.SetCurBlock(static_cast<int32_t>(static_cast<uint32_t>(startState) >> 24), 0);
    } else {
        std::string colors(part.size(), '\0');
        parser.ColorString(part, startState, colors);
    }
    return parser.CurrentBlock();
}
