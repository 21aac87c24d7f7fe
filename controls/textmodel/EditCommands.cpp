#include <objbase.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "controls/textmodel/CommandScope.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLines.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Column of the first character that is not a blank; a line of blanks counts its length.
int32_t Indentation(const std::string& s) {
    const size_t i = s.find_first_not_of(" \t");
    return i == std::string::npos ? int32_t(s.size()) : int32_t(i);
}

std::string UpperRoutine(const std::string& s) {
    return AnsiUpperCase(s);
}
std::string LowerRoutine(const std::string& s) {
    return AnsiLowerCase(s);
}
std::string ToggleRoutine(const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i < s.size(); ++i) {
        const std::string one(1, s[i]);
        const std::string up = AnsiUpperCase(one);
        out[i] = up != one ? up[0] : AnsiLowerCase(one)[0];
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- deleting

void TCustomMemoSource::DeleteCharLeft() {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 8);
    if (CheckOverwriteBlock())
        return;
    const int32_t line = FCaret.Line, col = FCaret.Char;
    if (col == 0) {
        if (line > 0 && line < GetStrCount()) {
            JumpTo(int32_t(FStrings.Get(line - 1).size()), line - 1);
            JoinLines();
        }
        return;
    }
    if (line >= GetStrCount() || col > int32_t(FStrings.Get(line).size())) {
        CursorLeft();
        return;
    }
    const std::string text = FStrings.Get(line);
    const bool onlyBlanksLeft = Indentation(text) >= col;
    if (HasOption(soBackUnindents) && onlyBlanksLeft) {
        int32_t above = line - 1;
        while (above > 0) {
            const std::string s = FStrings.Get(above);
            if (!Trim(s).empty() && Indentation(s) <= col)
                break;
            --above;
        }
        const std::string prev = FStrings.Get(std::max(above, 0));
        auto blankAt = [&](int32_t i) { return i >= int32_t(prev.size()) || IsBlank(prev[size_t(i)]); };
        int32_t target = col;
        while (target > 0 && blankAt(target - 1))
            --target;
        while (target > 0 && !blankAt(target - 1))
            --target;
        if (target >= col)
            target = 0;
        JumpTo(target, line);
        DeleteRight(FTabs.RealIndex(FStrings.GetRaw(line), col) -
                    FTabs.RealIndex(FStrings.GetRaw(line), target));
        JumpTo(target, line);
        return;
    }
    CursorLeft();
    DeleteRight(1);
}

void TCustomMemoSource::DeleteCharRight() {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 7);
    if (CheckOverwriteBlock())
        return;
    if (FCaret.Line < GetStrCount() && FCaret.Char >= int32_t(FStrings.Get(FCaret.Line).size()))
        JoinLines();
    else
        DeleteRight(1);
}

void TCustomMemoSource::DeleteLine() {
    if (GetReadOnly() || FCaret.Line >= GetStrCount())
        return;
    TUndoStepScope scope(*this, 9);
    const int32_t col = FCaret.Char;
    JumpTo(0, FCaret.Line);
    DeleteRight(INT_MAX / 2);
    if (FCaret.Line < GetStrCount() - 1)
        JoinLines();
    JumpTo(col, FCaret.Line);
}

void TCustomMemoSource::DeleteToLineBegin() {
    if (GetReadOnly() || FCaret.Line >= GetStrCount())
        return;
    TUndoStepScope scope(*this, 10);
    const int32_t count = FTabs.RealIndex(FStrings.GetRaw(FCaret.Line), FCaret.Char);
    JumpTo(0, FCaret.Line);
    DeleteRight(std::min(count, int32_t(FStrings.GetRaw(FCaret.Line).size())));
}

void TCustomMemoSource::DeleteToLineEnd() {
    if (GetReadOnly())
        return;
    DeleteRight(INT_MAX / 2);
}

// ---------------------------------------------------------------- words

void TCustomMemoSource::JumpWordRight() {
    TUndoStepScope scope(*this, 2);
    if (FCaret.Line >= GetStrCount())
        return;
    const std::string s = FStrings.Get(FCaret.Line);
    int32_t i = FCaret.Char;
    const int32_t n = int32_t(s.size());
    if (i >= n) {
        if (FCaret.Line + 1 < GetStrCount())
            JumpTo(0, FCaret.Line + 1);
        return;
    }
    while (i < n && !InDelimSet(s, i + 1))
        ++i;
    while (i < n && InDelimSet(s, i + 1))
        ++i;
    JumpTo(i, FCaret.Line);
}

void TCustomMemoSource::JumpWordLeft() {
    TUndoStepScope scope(*this, 2);
    int32_t i = FCaret.Char;
    if (i == 0 || FCaret.Line >= GetStrCount()) {
        if (FCaret.Line == 0)
            JumpTo(0, 0);
        else
            JumpTo(int32_t(FStrings.Get(std::min(FCaret.Line, GetStrCount()) - 1).size()), FCaret.Line - 1);
        return;
    }
    const std::string s = FStrings.Get(FCaret.Line);
    i = std::min(i, int32_t(s.size()));
    while (i > 0 && InDelimSet(s, i))
        --i;
    while (i > 0 && !InDelimSet(s, i))
        --i;
    JumpTo(i, FCaret.Line);
}

// ---------------------------------------------------------------- Enter, Tab, Shift+Tab

void TCustomMemoSource::PressEnter() {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 40);
    const bool autoIndent = HasOption(soAutoIndent);
    const int32_t line = FCaret.Line, col = FCaret.Char;
    if (GetOverwrite()) {
        int32_t target = 0;
        if (autoIndent) {
            const std::string s = line < GetStrCount() ? FStrings.Get(line) : std::string();
            const std::string next = line + 1 < GetStrCount() ? FStrings.Get(line + 1) : std::string();
            target = (s.empty() || Indentation(s) < col) ? Indentation(next) : col;
        }
        CursorDown();
        JumpToChar(GetMemoIndent(target));
        return;
    }
    CheckOverwriteBlock();
    const int32_t l = FCaret.Line, c = FCaret.Char;
    const std::string display = l < GetStrCount() ? FStrings.Get(l) : std::string();
    const bool prevIndent = autoIndent && HasOption(soUseTabCharacter) && HasOption(soUsePrevIndent);
    const std::string stored = prevIndent && l < GetStrCount() ? FStrings.GetRaw(l) : std::string();
    BreakLine();
    int32_t target = 0;
    if (autoIndent) {
        const int32_t indent = Indentation(display);
        const bool emptyLine = Trim(display).empty();
        const bool beforeText = c == 0 && !display.empty() && !IsBlank(display[0]);
        if (emptyLine || beforeText) {
            for (int32_t a = l; a >= 0; --a) {
                const std::string s = FStrings.Get(a);
                if (!s.empty()) {
                    target = Indentation(s);
                    break;
                }
            }
        } else if (c > indent) {
            target = indent;
        } else {
            target = c;
        }
    }
    JumpTo(0, l + 1);
    if (!autoIndent || target <= 0)
        return;
    if (prevIndent && !stored.empty()) {
        std::string lead = stored.substr(
            0, size_t(std::min<int32_t>(GetRealTabIndex(stored, target), int32_t(stored.size()))));
        for (char& ch : lead)
            if (ch != '\t')
                ch = ' ';
        if (!lead.empty())
            Insert(lead);
        JumpToChar(target);
        return;
    }
    std::string fill;
    if (HasOption(soUseTabCharacter) && HasOption(soOptimalFill)) {
        int32_t at = 0;
        for (int32_t i = 0; FTabs.VirtualStop(i) <= target; ++i) {
            fill += '\t';
            at = FTabs.VirtualStop(i);
        }
        fill.append(size_t(target - at), ' ');
    } else {
        fill.assign(size_t(target), ' ');
    }
    Insert(fill);
    JumpToChar(target);
}

int32_t TCustomMemoSource::GetFirstNonSpaceChar(int32_t line, int32_t x) const {
    if (line < 0 || line >= GetStrCount())
        return -1;
    const int32_t w = Indentation(FStrings.Get(line));
    return w > x ? w : -1;
}

int32_t TCustomMemoSource::GetSmartTabPos(int32_t stopIndex, int32_t x, int32_t line) {
    const int32_t stop = FTabs.VirtualStop(stopIndex);
    if (!HasOption(soSmartTab) || line <= 0)
        return stop;
    for (int32_t a = std::min(line, GetStrCount()) - 1; a >= 0; --a) {
        const std::string s = FStrings.Get(a);
        if (int32_t(s.size()) <= x)
            continue;
        const int32_t indent = Indentation(s);
        if (indent > x)
            return indent;
        int32_t i = x;
        const int32_t n = int32_t(s.size());
        while (i < n && !InDelimSet(s, i + 1))
            ++i;
        while (i < n && InDelimSet(s, i + 1))
            ++i;
        return i < n ? i : stop;
    }
    return stop;
}

namespace {
// Index of the first virtual stop right of (or, with `orAt`, at) column x.
int32_t StopIndexAfter(const TTabRack& tabs, int32_t x, bool orAt) {
    int32_t i = 0;
    while (orAt ? tabs.VirtualStop(i) < x : tabs.VirtualStop(i) <= x)
        ++i;
    return i;
}
} // namespace

void TCustomMemoSource::PressTab() {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 52);
    if (FSelectionType != stNotSelected && FBlockBegin.Line == FBlockEnd.Line && !IsBlockEmpty())
        DeleteBlock();
    const int32_t x = FCaret.Char, line = FCaret.Line;
    const int32_t target = GetSmartTabPos(StopIndexAfter(FTabs, x, false), x, line);
    const std::string text =
        HasOption(soUseTabCharacter) ? std::string("\t") : std::string(size_t(std::max(target - x, 0)), ' ');
    if (FSelectionType != stNotSelected && FBlockEnd.Line > FBlockBegin.Line) {
        BlockIndentText = text;
        IndentBlock();
        return;
    }
    if (GetOverwrite()) {
        JumpToChar(target);
        return;
    }
    if (text.empty())
        return;
    Insert(text);
    JumpToChar(HasOption(soUseTabCharacter) ? FTabs.VirtualStop(StopIndexAfter(FTabs, x, false)) : target);
}

void TCustomMemoSource::PressShiftTab() {
    TUndoStepScope scope(*this, 52);
    if (FSelectionType != stNotSelected && FBlockEnd.Line > FBlockBegin.Line) {
        const int32_t start = FBlockBegin.Char;
        const int32_t pos = GetSmartTabPos(StopIndexAfter(FTabs, start, true), start, FBlockBegin.Line);
        BlockIndentText.assign(size_t(std::max(pos - start, 1)), ' ');
        OutDentBlock();
        return;
    }
    const int32_t i = StopIndexAfter(FTabs, FCaret.Char, true);
    JumpToChar(i == 0 ? 0 : FTabs.VirtualStop(i - 1));
}

// ---------------------------------------------------------------- block indent and case

void TCustomMemoSource::IndentBlock() {
    const std::string indent =
        BlockIndentText.empty() ? std::string(size_t(FBlockIndent), ' ') : BlockIndentText;
    DoWithBlockStr(65, true, [&](const std::string& s) { return s.empty() ? s : indent + s; });
}

void TCustomMemoSource::OutDentBlock() {
    const size_t width = BlockIndentText.empty() ? size_t(FBlockIndent) : BlockIndentText.size();
    DoWithBlockStr(66, true, [&](const std::string& s) {
        size_t n = 0;
        while (n < width && n < s.size() && IsBlank(s[n]))
            ++n;
        return s.substr(n);
    });
}

void TCustomMemoSource::UpperCaseBlock() {
    DoWithBlockStr(25, true, UpperRoutine);
}
void TCustomMemoSource::LowerCaseBlock() {
    DoWithBlockStr(26, true, LowerRoutine);
}
void TCustomMemoSource::ToggleBlockCase() {
    DoWithBlockStr(27, true, ToggleRoutine);
}
void TCustomMemoSource::CapitalizeBlock() {
    DoWithBlockStr(64, true, [this](const std::string& s) {
        std::string out = AnsiLowerCase(s);
        for (size_t i = 0; i < out.size(); ++i)
            if (!InDelimSet(out, int32_t(i) + 1) && (i == 0 || InDelimSet(out, int32_t(i))))
                out[i] = AnsiUpperCase(std::string(1, out[i]))[0];
        return out;
    });
}

namespace {
// Runs a block command on a word or line marked for it, then gives back the user's block.
void WithMarked(TCustomMemoSource& s, uint8_t reason, const std::function<void()>& mark,
                void (TCustomMemoSource::*action)()) {
    const TSelectionType type = s.SelectionType();
    const TMemoRect rect{s.BlockBegin().Char, s.BlockBegin().Line, s.BlockEnd().Char, s.BlockEnd().Line};
    ++s.SelectionKeeping();
    TScopeGuard kept([&s] { --s.SelectionKeeping(); });
    TUpdateScope update(s, reason);
    const TPosition caret = s.Caret();
    mark();
    (s.*action)();
    s.JumpTo(caret.Char, caret.Line);
    s.SetSelectionRect(rect);
    s.SetSelectionType(type);
}
} // namespace

void TCustomMemoSource::UpperCaseLine() {
    WithMarked(
        *this, 24, [this] { MarkLine(); }, &TCustomMemoSource::UpperCaseBlock);
}
void TCustomMemoSource::LowerCaseLine() {
    WithMarked(
        *this, 28, [this] { MarkLine(); }, &TCustomMemoSource::LowerCaseBlock);
}
void TCustomMemoSource::CapitalizeLine() {
    WithMarked(
        *this, 63, [this] { MarkLine(); }, &TCustomMemoSource::CapitalizeBlock);
}
void TCustomMemoSource::ToggleLineCase() {
    WithMarked(
        *this, 29, [this] { MarkLine(); }, &TCustomMemoSource::ToggleBlockCase);
}
void TCustomMemoSource::UpperCaseWord() {
    WithMarked(
        *this, 36, [this] { MarkWord(); }, &TCustomMemoSource::UpperCaseBlock);
}
void TCustomMemoSource::LowerCaseWord() {
    WithMarked(
        *this, 35, [this] { MarkWord(); }, &TCustomMemoSource::LowerCaseBlock);
}
void TCustomMemoSource::CapitalizeWord() {
    WithMarked(
        *this, 62, [this] { MarkWord(); }, &TCustomMemoSource::CapitalizeBlock);
}
void TCustomMemoSource::ToggleWordCase() {
    WithMarked(
        *this, 37, [this] { MarkWord(); }, &TCustomMemoSource::ToggleBlockCase);
}

// ---------------------------------------------------------------- inserting

void TCustomMemoSource::InsertString(const std::string& text) {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 39);
    std::vector<std::string> lines = SplitTextLines(text);
    const TSelectionType type = FSelectionType;
    const TMemoRect rect{FBlockBegin.Char, FBlockBegin.Line, FBlockEnd.Char, FBlockEnd.Line};
    ++KeepSelection;
    InsertStrings(lines, false);
    SetSelectionRect(rect);
    SetSelectionType(type);
    --KeepSelection;
}

void TCustomMemoSource::ChangeBlockTo(const std::string& text) {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 38);
    const TPosition start = FBlockBegin;
    const bool had = FSelectionType != stNotSelected;
    DeleteBlock();
    if (had)
        JumpTo(start.Char, start.Line);
    InsertText(text);
}

void TCustomMemoSource::JustifyText() {
    if (GetReadOnly() || GetStrCount() == 0)
        return;
    int32_t longest = 0;
    for (int32_t i = 0; i < GetStrCount(); ++i)
        longest = std::max(longest, int32_t(FStrings.Get(i).size()));
    TUndoStepScope scope(*this, 21);
    // The padding must survive the caret leaving each line.
    const bool keep = KeepTrailingBlanks;
    KeepTrailingBlanks = true;
    TScopeGuard restore([this, keep] { KeepTrailingBlanks = keep; });
    const TPosition caret = FCaret;
    for (int32_t i = 0; i < GetStrCount(); ++i) {
        const int32_t len = int32_t(FStrings.Get(i).size());
        if (len >= longest)
            continue;
        JumpTo(len, i);
        Insert(std::string(size_t(longest - len), ' '));
    }
    JumpTo(caret.Char, caret.Line);
}

// ---------------------------------------------------------------- brackets

bool TCustomMemoSource::IsSyntaxParser() const {
    return FParser && SameText(FParser->ClassName(), "TSyntaxParser");
}

int32_t TCustomMemoSource::FindWord(const std::string& word, int32_t chr, int32_t line, bool forward,
                                    bool wholeWord) {
    if (word.empty() || line < 0 || line >= GetStrCount())
        return 0;
    const std::string s = FStrings.Get(line);
    const std::string colors = IsSyntaxParser() || !FParser ? std::string() : GetStoredColorData(line);
    const int32_t n = int32_t(s.size()), w = int32_t(word.size());
    auto passes = [&](int32_t p) { // p: 1-based
        if (p - 1 < int32_t(colors.size())) {
            const uint8_t c = uint8_t(colors[size_t(p - 1)]);
            if (c == 1 || c == 2)
                return false;
        }
        if (wholeWord) {
            if (p > 1 && !InDelimSet(s, p - 1))
                return false;
            if (p + w <= n && !InDelimSet(s, p + w))
                return false;
        }
        return true;
    };
    if (forward) {
        for (int32_t p = chr + 1; p + w - 1 <= n; ++p)
            if (p >= 1 && s.compare(size_t(p - 1), size_t(w), word) == 0 && passes(p))
                return p;
    } else {
        if (chr <= 1)
            return 0;
        for (int32_t p = std::min(chr - 1, n - w + 1); p >= 1; --p)
            if (s.compare(size_t(p - 1), size_t(w), word) == 0 && passes(p))
                return p;
    }
    return 0;
}

namespace {
char Partner(char c) {
    switch (c) {
    case '(':
        return ')';
    case '<':
        return '>';
    case '[':
        return ']';
    case '{':
        return '}';
    case ')':
        return '(';
    case '>':
        return '<';
    case ']':
        return '[';
    case '}':
        return '{';
    default:
        return 0;
    }
}
} // namespace

bool TCustomMemoSource::FindCloseBracket(char bracket, bool moveCaret, int32_t& chr, int32_t& line) {
    const std::string open(1, bracket), close(1, Partner(bracket));
    // x: 1-based position of the last character looked at; FindWord goes on from x + 1.
    int32_t depth = 1, x = chr + 1, y = line;
    for (; y <= GetStrCount(); ++y, x = 0) {
        for (;;) {
            const int32_t o = FindWord(open, x, y, true, false);
            const int32_t c = FindWord(close, x, y, true, false);
            if (o == 0 && c == 0)
                break;
            if (o != 0 && (c == 0 || o < c)) {
                ++depth;
                x = o;
            } else {
                if (--depth == 0) {
                    chr = c - 1;
                    line = y;
                    if (moveCaret)
                        JumpTo(chr, line);
                    return true;
                }
                x = c;
            }
        }
    }
    return false;
}

bool TCustomMemoSource::FindOpenBracket(char bracket, bool moveCaret, int32_t& chr, int32_t& line) {
    const std::string close(1, bracket), open(1, Partner(bracket));
    int32_t depth = 1, y = line;
    int32_t x = chr + 1; // FindWord looks from x - 1 down
    for (; y >= 0; --y) {
        if (y != line)
            x = y < GetStrCount() ? int32_t(FStrings.Get(y).size()) + 1 : 0;
        for (;;) {
            const int32_t o = FindWord(open, x, y, false, false);
            const int32_t c = FindWord(close, x, y, false, false);
            if (o == 0 && c == 0)
                break;
            if (c != 0 && (o == 0 || c > o)) {
                ++depth;
                x = c;
            } else {
                if (--depth == 0) {
                    chr = o - 1;
                    line = y;
                    if (moveCaret)
                        JumpTo(chr, line);
                    return true;
                }
                x = o;
            }
        }
    }
    return false;
}

namespace {
// The bracket under the caret (or the one-character block), with its point; 0 when none, or when
// it lies in a string or comment of a language parser.
char CharUnderCursor(TCustomMemoSource& s, int32_t& chr, int32_t& line) {
    chr = s.Caret().Char;
    line = s.Caret().Line;
    if (s.SelectionType() != stNotSelected && s.Selection().GetCount() == 1 &&
        s.Selection().Get(0).size() == 1) {
        chr = s.BlockBegin().Char;
        line = s.BlockBegin().Line;
    }
    if (line >= s.GetStrCount())
        return 0;
    const std::string text = s.Strings().Get(line);
    if (chr >= int32_t(text.size()))
        return 0;
    if (s.SyntaxParser() && !s.IsSyntaxParser()) {
        const std::string colors = s.GetStoredColorData(line);
        if (chr < int32_t(colors.size()) && (colors[size_t(chr)] == 1 || colors[size_t(chr)] == 2))
            return 0;
    }
    return text[size_t(chr)];
}
} // namespace

bool TCustomMemoSource::NextBracket() {
    TUndoStepScope scope(*this, 2);
    int32_t chr = 0, line = 0;
    const char c = CharUnderCursor(*this, chr, line);
    if (c != '(' && c != '<' && c != '[' && c != '{')
        return false;
    const TPosition back = FCaret;
    JumpTo(chr, line);
    if (FindCloseBracket(c, true, chr, line))
        return true;
    JumpTo(back.Char, back.Line);
    return false;
}

bool TCustomMemoSource::PrevBracket() {
    TUndoStepScope scope(*this, 2);
    int32_t chr = 0, line = 0;
    const char c = CharUnderCursor(*this, chr, line);
    if (c != ')' && c != '>' && c != ']' && c != '}')
        return false;
    const TPosition back = FCaret;
    JumpTo(chr, line);
    if (FindOpenBracket(c, true, chr, line))
        return true;
    JumpTo(back.Char, back.Line);
    return false;
}

bool TCustomMemoSource::FindNextBracket() {
    int32_t chr = 0, line = 0;
    const char c = CharUnderCursor(*this, chr, line);
    if (c == '(' || c == '<' || c == '[' || c == '{')
        return NextBracket();
    if (c == ')' || c == '>' || c == ']' || c == '}')
        return PrevBracket();
    return false;
}

// ---------------------------------------------------------------- more words, lines and modes

void TCustomMemoSource::DeleteWordRight() {
    if (GetReadOnly() || FCaret.Line >= GetStrCount())
        return;
    TUndoStepScope scope(*this, 33);
    const std::string s = FStrings.Get(FCaret.Line);
    const int32_t n = int32_t(s.size());
    int32_t i = FCaret.Char;
    if (i >= n) {
        JoinLines();
        return;
    }
    while (i < n && !InDelimSet(s, i + 1))
        ++i;
    while (i < n && InDelimSet(s, i + 1) && s[size_t(i)] == ' ')
        ++i;
    if (i == FCaret.Char)
        ++i;
    const std::string& raw = FStrings.GetRaw(FCaret.Line);
    DeleteRight(FTabs.RealIndex(raw, i) - FTabs.RealIndex(raw, FCaret.Char));
}

void TCustomMemoSource::DeleteWordLeft() {
    if (GetReadOnly() || FCaret.Line >= GetStrCount() || FCaret.Char == 0)
        return;
    TUndoStepScope scope(*this, 34);
    const std::string s = FStrings.Get(FCaret.Line);
    const int32_t end = std::min(FCaret.Char, int32_t(s.size()));
    int32_t i = end;
    while (i > 0 && InDelimSet(s, i) && s[size_t(i - 1)] == ' ')
        --i;
    while (i > 0 && !InDelimSet(s, i))
        --i;
    if (i == end && i > 0)
        --i;
    const std::string& raw = FStrings.GetRaw(FCaret.Line);
    JumpTo(i, FCaret.Line);
    DeleteRight(FTabs.RealIndex(raw, end) - FTabs.RealIndex(raw, i));
}

void TCustomMemoSource::DeleteWord() {
    if (GetReadOnly())
        return;
    int32_t start = 0, end = 0;
    WordBounds(FCaret.Char, FCaret.Line, wsWordOnly, start, end);
    if (start <= 0)
        return;
    TUndoStepScope scope(*this, 32);
    const std::string& raw = FStrings.GetRaw(FCaret.Line);
    const int32_t from = FTabs.RealIndex(raw, start - 1), to = FTabs.RealIndex(raw, end);
    JumpTo(start - 1, FCaret.Line);
    DeleteRight(to - from);
}

void TCustomMemoSource::InsertLine() {
    if (GetReadOnly())
        return;
    TUndoStepScope scope(*this, 4);
    const TPosition caret = FCaret;
    BreakLine();
    JumpTo(caret.Char, caret.Line);
}

void TCustomMemoSource::SetBlockAsColBlock() {
    if (FSelectionType == stStreamSel)
        SetSelectionType(stBlockSel);
}

void TCustomMemoSource::SetBlockAsLineBlock() {
    if (FSelectionType == stBlockSel)
        SetSelectionType(stStreamSel);
}

void TCustomMemoSource::InsertDate() {
    InsertString(DateToStr(Now()));
}
void TCustomMemoSource::InsertTime() {
    InsertString(TimeToStr(Now()));
}

void TCustomMemoSource::InsertGUID() {
    GUID g;
    if (CoCreateGuid(&g) != S_OK)
        return;
    char text[64];
    snprintf(text, sizeof text, "['{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}']",
             static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
             g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    InsertString(text);
}

void TCustomMemoSource::ChangeOverwrite(bool value) {
    if (value == GetOverwrite())
        return;
    BeginUpdate(41);
    SetOverwrite(value);
    MemoState |= msInsState;
    EndUpdate();
}

void TCustomMemoSource::WriteBlockToStream(TStream& stream) {
    if (!CanCopy())
        return;
    std::string text;
    const std::vector<std::string> lines = BlockLines();
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    if (!text.empty())
        stream.WriteBuffer(text.data(), int32_t(text.size()));
}

void TCustomMemoSource::ReadBlockFromStreamEx(TStream& stream, bool columnBlock) {
    const int64_t size = stream.Size() - stream.Position();
    std::string text(size_t(std::max<int64_t>(size, 0)), '\0');
    if (!text.empty())
        stream.ReadBuffer(&text[0], int32_t(text.size()));
    std::vector<std::string> lines = SplitTextLines(text);
    InsertStrings(lines, columnBlock);
}

void TCustomMemoSource::WriteBlockToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    WriteBlockToStream(f);
}

void TCustomMemoSource::ReadBlockFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    ReadBlockFromStream(f);
}

void TCustomMemoSource::CorrectMarkWordRight() {
    TUndoStepScope scope(*this, 30);
    ++KeepSelection;
    ClearSelection();
    const int32_t line = FCaret.Line, col = FCaret.Char;
    int32_t end = col;
    if (line < GetStrCount()) {
        const std::string s = FStrings.Get(line);
        const int32_t n = int32_t(s.size());
        if (col < n && InDelimSet(s, col + 1)) {
            int32_t i = col;
            while (i < n && InDelimSet(s, i + 1))
                ++i;
            if (i < n) {
                end = i;
            } else {
                int32_t st = 0;
                WordBounds(col, line, wsUntilNextWord, st, end);
                end = n;
            }
        } else if (col < n) {
            int32_t st = 0;
            WordBounds(col, line, wsWordWithSpace, st, end);
        }
    }
    if (end > col) {
        JumpTo(end, line);
        SetSelectionRect({col, line, end, line});
        SetSelectionType(stStreamSel);
    }
    --KeepSelection;
}

void TCustomMemoSource::CorrectDeleteWordRight() {
    if (GetReadOnly() || FCaret.Line >= GetStrCount())
        return;
    TUndoStepScope scope(*this, 33);
    if (FCaret.Char >= int32_t(TrimRight(FStrings.Get(FCaret.Line)).size())) {
        DeleteRight(INT_MAX / 2); // the blanks after the caret go with the line end
        JoinLines();
        return;
    }
    CorrectMarkWordRight();
    DeleteBlock();
}
