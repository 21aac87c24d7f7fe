#include "controls/textmodel/HSParser.h"
#include "controls/foundation/HSResStrings.h"
#include "framework/core/SysUtils.h"
#include "framework/core/CharClass.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

int CompareNoCase(const char* a, size_t an, const char* b, size_t bn) {
    size_t n = std::min(an, bn);
    for (size_t i = 0; i < n; ++i) {
        char x = Upper(a[i]), y = Upper(b[i]);
        if (x != y)
            return uint8_t(x) < uint8_t(y) ? -1 : 1;
    }
    return an < bn ? -1 : an > bn ? 1 : 0;
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return CompareNoCase(a.data(), a.size(), b.data(), b.size()) < 0;
}
} // namespace

TCharSet CharSet(const char* chars) {
    TCharSet s;
    for (const char* p = chars; *p; ++p)
        s.set(uint8_t(*p));
    return s;
}

TCharSet CharRange(uint8_t from, uint8_t to) {
    TCharSet s;
    for (int c = from; c <= to; ++c)
        s.set(size_t(c));
    return s;
}

TCharSet IdentStartChars() {
    return CharRange('a', 'z') | CharRange('A', 'Z') | CharSet("_");
}
TCharSet DigitChars() {
    return CharRange('0', '9');
}

uint8_t ResWordHash(const char* word, size_t len) {
    uint32_t h = uint32_t(int32_t(len) - 1);
    for (size_t i = 0; i < len; ++i)
        h = (h ^ uint8_t(Upper(word[i]))) << 1;
    return uint8_t((h >> 1) & 255);
}

TCustomHSParser::TCustomHSParser(TComponent* owner) : TSimpleParser(owner) {}
TCustomHSParser::~TCustomHSParser() = default;

// ---------------------------------------------------------------- configuration

void TCustomHSParser::RegisterProc(std::initializer_list<int32_t> states, const TCharSet& chars,
                                   TParseProc proc) {
    for (int32_t st : states) {
        if (st < 0)
            continue;
        while (int32_t(FTables.size()) <= st) {
            FTables.emplace_back();
            FTables.back().fill(nullptr);
        }
        for (size_t c = 0; c < 256; ++c)
            if (chars.test(c))
                FTables[size_t(st)][c] = proc;
    }
}

void TCustomHSParser::InitEolState(int32_t state) {
    RegisterProc({state}, CharSet("\r"), &TCustomHSParser::Parse1310Eol);
    RegisterProc({state}, CharSet("\n"), &TCustomHSParser::Parse1013Eol);
}

void TCustomHSParser::InitCommon() {
    RegisterNormalProc(CharRange(33, 255), &TCustomHSParser::ParseWhiteChar);
    InitEolState(0);
}

void TCustomHSParser::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    OnChange();
}

void TCustomHSParser::SetResWords(const std::vector<std::string>& words) {
    FKeyWords = words;
    OnChange();
}

void TCustomHSParser::OnChange() {
    UpdateSettings();
    NotifyEvents(0, 0);
}

void TCustomHSParser::Loaded() {
    TSimpleParser::Loaded();
    UpdateSettings();
}

void TCustomHSParser::UpdateSettings() {
    if (HasState(csLoading | csReading))
        return;
    FResWords.clear();
    for (size_t i = FKeyWords.size(); i-- > 0;) {
        const std::string& k = FKeyWords[i];
        size_t b = k.find_first_not_of(' '), e = k.find_last_not_of(' ');
        if (b == std::string::npos)
            continue;
        std::string w = k.substr(b, e - b + 1);
        auto it = std::lower_bound(FResWords.begin(), FResWords.end(), w, LessNoCase);
        if (it != FResWords.end() && !LessNoCase(w, *it))
            continue;
        FResWords.insert(it, w);
    }
    for (auto& bucket : FBuckets)
        bucket.clear();
    for (size_t i = FResWords.size(); i-- > 0;) {
        const std::string& w = FResWords[i];
        auto& bucket = FBuckets[ResWordHash(w.data(), w.size())];
        auto it =
            std::lower_bound(bucket.begin(), bucket.end(), w, [](const auto& entry, const std::string& key) {
                return LessNoCase(entry.first, key);
            });
        bucket.insert(it, {w, int32_t(i)});
    }
}

bool TCustomHSParser::FindResWord(const char* word, size_t len) {
    if (FResWords.empty())
        return false;
    const auto& bucket = FBuckets[ResWordHash(word, len)];
    for (const auto& entry : bucket) {
        if (CompareNoCase(entry.first.data(), entry.first.size(), word, len) != 0)
            continue;
        FResWordIndex = entry.second;
        return !FCaseSensitive ||
               (entry.first.size() == len && std::memcmp(entry.first.data(), word, len) == 0);
    }
    return false;
}

int32_t TCustomHSParser::ResWordIndexOf(const std::string& word) {
    for (size_t i = 0; i < FResWords.size(); ++i)
        if (CompareNoCase(FResWords[i].data(), FResWords[i].size(), word.data(), word.size()) == 0)
            return int32_t(i);
    return -1;
}

// ---------------------------------------------------------------- scanning

void TCustomHSParser::SetLinePtr(const char* p) {
    if (p == FPos)
        return;
    FLinePtr = FTokenStart = FPos = p;
    FTokenKind = -1;
}

int32_t TCustomHSParser::ScanStep() {
    for (;;) {
        FTokenStart = FPos;
        const uint8_t c = uint8_t(*FPos);
        if (c == 0)
            return FTokenKind = tokEof;
        TParseProc proc =
            (State >= 0 && State < int32_t(FTables.size())) ? FTables[size_t(State)][c] : nullptr;
        if (!proc) {
            ++FPos;
            continue;
        }
        int32_t kind = (this->*proc)();
        if (kind != tokNone)
            return FTokenKind = kind;
    }
}

int32_t TCustomHSParser::SimpleNextToken() {
    if (!FPos)
        return FTokenKind = tokEof;
    return ScanStep();
}

int32_t TCustomHSParser::NextValidToken() {
    int32_t k;
    do
        k = NextToken();
    while (k == tokComment);
    return k;
}

int32_t TCustomHSParser::NextTokenStr(std::string& s) {
    int32_t k = NextToken();
    s = TokenString();
    return k;
}

int32_t TCustomHSParser::NextValidTokenStr(std::string& s) {
    int32_t k = NextValidToken();
    s = TokenString();
    return k;
}

int32_t TCustomHSParser::PeekToken() {
    PushState();
    int32_t k = NextToken();
    PopState();
    return k;
}

int32_t TCustomHSParser::PeekTokenStr(std::string& s) {
    PushState();
    int32_t k = NextTokenStr(s);
    PopState();
    return k;
}

int32_t TCustomHSParser::PeekValidTokenStr(std::string& s) {
    PushState();
    int32_t k = NextValidTokenStr(s);
    PopState();
    return k;
}

bool TCustomHSParser::IsPeekTokenResWord(int32_t index) {
    PushState();
    NextToken();
    bool r = IsTokenResWord(index);
    PopState();
    return r;
}

int32_t TCustomHSParser::SkipTokens(int32_t n) {
    int32_t k = FTokenKind;
    for (int32_t i = 0; i < n; ++i)
        k = NextToken();
    return k;
}

bool TCustomHSParser::SkipToChar(char c) {
    while (NextToken() != tokEof)
        if (IsTokenChar(c))
            return true;
    return false;
}

bool TCustomHSParser::SkipToResWord(int32_t index) {
    while (NextToken() != tokEof)
        if (IsTokenResWord(index))
            return true;
    return false;
}

bool TCustomHSParser::IsNextTokenChar(char c) {
    NextToken();
    return IsTokenChar(c);
}

bool TCustomHSParser::IsNextTokenResWord(int32_t index) {
    NextToken();
    return IsTokenResWord(index);
}

void TCustomHSParser::Error(const std::string& message) const {
    const int32_t column = static_cast<int32_t>((FTokenStart && FLinePtr ? FTokenStart - FLinePtr : 0) + 1);
    std::string text =
        message + Format(LoadResString(SErrCharPos).c_str(), FLineNo + 1, column) + GetErrorDesc();
    throw EParserError(text);
}

void TCustomHSParser::CheckChar(char c) {
    if (!IsTokenChar(c))
        Error(Format(LoadResString(SErrTokenExpected).c_str(), (std::string("'") + c + "'").c_str()));
}

void TCustomHSParser::CheckNextChar(char c) {
    NextValidToken();
    CheckChar(c);
}

void TCustomHSParser::CheckResWord(int32_t index) {
    if (!IsTokenResWord(index)) {
        std::string word =
            index >= 0 && index < int32_t(FResWords.size()) ? FResWords[size_t(index)] : std::string();
        Error(Format(LoadResString(SErrTokenExpected).c_str(), word.c_str()));
    }
}

void TCustomHSParser::CheckNextResWord(int32_t index) {
    NextValidToken();
    CheckResWord(index);
}

std::string TCustomHSParser::TokenString() const {
    if (!FTokenStart || !FPos || FPos < FTokenStart)
        return std::string();
    return std::string(FTokenStart, size_t(FPos - FTokenStart));
}

// ---------------------------------------------------------------- position stack

void TCustomHSParser::StateToTokenData(TTokenData& d) const {
    d.TokenKind = FTokenKind;
    d.State = State;
    d.LineNo = FLineNo;
    d.Pos = FPos - FLinePtr;
    d.TokenStart = FTokenStart - FLinePtr;
    d.Extra1 = FExtra1;
    d.Extra2 = FExtra2;
    d.ResWordIndex = FResWordIndex;
    d.LinePtr = FLinePtr;
}

void TCustomHSParser::TokenDataToState(const TTokenData& d) {
    State = d.State;
    FExtra1 = d.Extra1;
    FExtra2 = d.Extra2;
    FResWordIndex = d.ResWordIndex;
    const bool lineMoved = d.LineNo != FLineNo;
    FLineNo = d.LineNo;
    FLinePtr = d.LinePtr;
    // A line parser forgets the token kind when it moves to the line.
    if (lineMoved)
        UpdateLinePtr();
    FTokenKind = d.TokenKind;
    FPos = FLinePtr + d.Pos;
    FTokenStart = FLinePtr + d.TokenStart;
}

int32_t TCustomHSParser::PushState() {
    auto d = GetTokenDataClass();
    StateToTokenData(*d);
    FTokenData.push_back(std::move(d));
    return int32_t(FTokenData.size()) - 1;
}

int32_t TCustomHSParser::SoftPushState() {
    int32_t i = PushState();
    FTokenData.back()->Soft = true;
    return i;
}

bool TCustomHSParser::SinglePop() {
    if (FTokenData.empty())
        Error(LoadResString(STokenListEmpty));
    std::unique_ptr<TTokenData> d = std::move(FTokenData.back());
    FTokenData.pop_back();
    PopRecord(*d);
    return d->Soft;
}

int32_t TCustomHSParser::PopState() {
    while (SinglePop()) {
    }
    return FTokenKind;
}

void TCustomHSParser::SoftPopState() {
    if (FTokenData.empty())
        Error(LoadResString(STokenListEmpty));
    if (FTokenData.back()->Soft) {
        SinglePop();
        return;
    }
    for (size_t i = FTokenData.size() - 1; i-- > 0;) {
        if (FTokenData[i]->Soft) {
            TokenDataToState(*FTokenData[i]);
            return;
        }
    }
    Error(LoadResString(STokenListEmpty));
}

void TCustomHSParser::SetInternalState(int32_t n) {
    if (n < 0)
        return;
    if (n >= int32_t(FTokenData.size()))
        Error(LoadResString(SErrFutureState));
    TokenDataToState(*FTokenData[size_t(n)]);
    FTokenData.resize(size_t(n));
}

// ---------------------------------------------------------------- colouring

void TCustomHSParser::DoGetColorData(int32_t kind, const std::string& token, std::string& tokenColor) {
    if (OnGetColorData)
        OnGetColorData(*this, kind, token, tokenColor);
    if (tokenColor.size() != token.size())
        tokenColor.resize(token.size(), char(kind));
}

int32_t TCustomHSParser::ColorString(const std::string& text, int32_t startState, std::string& colorData) {
    if (text.empty() || colorData.empty())
        return startState;
    State = startState;
    FLinePtr = FTokenStart = FPos = text.c_str();
    FTokenKind = -1;
    FUnterminated = false;
    colorData.resize(text.size());
    const char* base = text.c_str();
    for (;;) {
        int32_t kind = ScanStep();
        if (kind == tokEof)
            break;
        size_t from = size_t(FTokenStart - base), to = std::min(size_t(FPos - base), text.size());
        if (to <= from)
            continue;
        if (OnGetColorData) {
            std::string tokenColor(to - from, char(kind));
            DoGetColorData(kind, text.substr(from, to - from), tokenColor);
            colorData.replace(from, to - from, tokenColor);
        } else {
            std::memset(&colorData[from], kind, to - from);
        }
    }
    // The pointers lead into the caller's text; drop them so no later read follows them.
    FLinePtr = FTokenStart = FPos = nullptr;
    return State;
}

// ---------------------------------------------------------------- shared routines

int32_t TCustomHSParser::ParseEol(char follow) {
    ++FLineNo;
    ++FPos;
    if (*FPos == follow)
        ++FPos;
    FLinePtr = FPos;
    return tokNone;
}

bool TCustomHSParser::SkipToCharOrEol(char c) {
    while (!AtLineEnd(FPos) && *FPos != c)
        ++FPos;
    return *FPos == c;
}

int32_t TCustomHSParser::ParseWhiteChar() {
    ++FPos;
    return tokDelimiter;
}

int32_t TCustomHSParser::ParseIdentifier() {
    ++FPos;
    while (IsIdentChar(*FPos))
        ++FPos;
    return FindResWord(FTokenStart, size_t(FPos - FTokenStart)) ? tokResWord : tokIdentifier;
}

int32_t TCustomHSParser::ParseIdentifierEx(const TCharSet& chars) {
    ++FPos;
    while (*FPos && chars.test(uint8_t(*FPos)))
        ++FPos;
    return FindResWord(FTokenStart, size_t(FPos - FTokenStart)) ? tokResWord : tokIdentifier;
}

int32_t TCustomHSParser::ParseNumConst() {
    int32_t kind = tokInteger;
    while (IsAsciiDigit(*FPos))
        ++FPos;
    auto exponent = [this] {
        ++FPos;
        if (*FPos == '+' || *FPos == '-')
            ++FPos;
        while (IsAsciiDigit(*FPos))
            ++FPos;
    };
    if (*FPos == '.' && IsAsciiDigit(FPos[1])) {
        kind = tokFloat;
        ++FPos;
        while (IsAsciiDigit(*FPos))
            ++FPos;
        if (*FPos == 'E' || *FPos == 'e')
            exponent();
    } else if (*FPos == 'E' || *FPos == 'e') {
        kind = tokFloat;
        exponent();
    }
    return kind;
}

int32_t TCustomHSParser::ParseHexConst() {
    ++FPos;
    while (IsAsciiHexDigit(*FPos))
        ++FPos;
    return tokInteger;
}

int32_t TCustomHSParser::ParseJHexConst() {
    if (FPos[0] == '0' && FPos[1] == 'x') {
        if (!IsAsciiHexDigit(FPos[2])) {
            ++FPos;
            return tokDelimiter;
        }
        FPos += 2;
        while (IsAsciiHexDigit(*FPos))
            ++FPos;
        return tokInteger;
    }
    return ParseNumConst();
}

void TCustomHSParser::ParseCSuffixes() {
    static const char* const kSuffixes[] = {"ui64", "i64", "i32", "i16", "i8", "ul", "lu", "Ul", "lU",
                                            "uL",   "Lu",  "LU",  "UL",  "U",  "u",  "L",  "l"};
    for (const char* s : kSuffixes) {
        size_t n = std::strlen(s);
        if (std::strncmp(FPos, s, n) == 0) {
            FPos += n;
            return;
        }
    }
}

int32_t TCustomHSParser::ParseCNumConst() {
    int32_t kind = ParseNumConst();
    if (kind == tokInteger)
        ParseCSuffixes();
    return kind;
}

int32_t TCustomHSParser::ParseCHexConst() {
    if (FPos[0] == '0' && FPos[1] == 'x') {
        int32_t kind = ParseJHexConst();
        if (kind == tokInteger)
            ParseCSuffixes();
        return kind;
    }
    return ParseCNumConst();
}

int32_t TCustomHSParser::ParseVBHexConst() {
    ++FPos;
    if ((*FPos == 'H' || *FPos == 'h') && IsAsciiHexDigit(FPos[1])) {
        ++FPos;
        while (IsAsciiHexDigit(*FPos))
            ++FPos;
        return tokInteger;
    }
    return tokDelimiter;
}

int32_t TCustomHSParser::ParseUniStrConst(char quote) {
    ++FPos;
    for (;;) {
        if (!SkipToCharOrEol(quote)) {
            FUnterminated = true;
            break;
        }
        ++FPos;
        if (*FPos != quote)
            break;
        ++FPos;
    }
    return tokString;
}

int32_t TCustomHSParser::ParseStrConst() {
    ParseUniStrConst('\'');
    if (*FPos == '#')
        ParseCharConst();
    return tokString;
}

int32_t TCustomHSParser::ParseCharConst() {
    for (;;) {
        if (*FPos == '#') {
            ++FPos;
            if (*FPos == '$') {
                ++FPos;
                while (IsAsciiHexDigit(*FPos))
                    ++FPos;
            } else {
                while (IsAsciiDigit(*FPos))
                    ++FPos;
            }
        } else if (*FPos == '\'') {
            ParseUniStrConst('\'');
        } else {
            break;
        }
    }
    return tokString;
}

int32_t TCustomHSParser::ParseCStrConst() {
    const char quote = *FPos++;
    while (!AtLineEnd(FPos)) {
        if (*FPos == '\\') {
            ++FPos;
            if (!AtLineEnd(FPos))
                ++FPos;
            continue;
        }
        if (*FPos == quote) {
            ++FPos;
            return tokString;
        }
        ++FPos;
    }
    FUnterminated = true;
    return tokString;
}

int32_t TCustomHSParser::ParseComment() {
    if (SkipToCharOrEol('}')) {
        ++FPos;
        State = 0;
    } else {
        State = 1;
    }
    return tokComment;
}

int32_t TCustomHSParser::RestIsComment() {
    while (!AtLineEnd(FPos))
        ++FPos;
    return tokComment;
}

int32_t TCustomHSParser::ParseCComment() {
    if (FPos[1] == '/')
        return RestIsComment();
    ++FPos;
    return tokDelimiter;
}

int32_t TCustomHSParser::ParseComplexComment() {
    if (FPos[1] == '*') {
        FPos += 2;
        return ParseComplexCommentEnd();
    }
    ++FPos;
    return tokDelimiter;
}

int32_t TCustomHSParser::ParseJscrComment() {
    if (State == 10)
        State = 0;
    if (FPos[1] == '*') {
        FPos += 2;
        return ParseJScrCommentEnd();
    }
    if (FPos[1] == '/')
        return RestIsComment();
    ++FPos;
    return tokDelimiter;
}

int32_t TCustomHSParser::ParseUniComplexCommentEnd(char c) {
    while (!AtLineEnd(FPos)) {
        if (FPos[0] == '*' && FPos[1] == c) {
            FPos += 2;
            State = 0;
            return tokComment;
        }
        ++FPos;
    }
    State = 2;
    return tokComment;
}

int32_t TCustomHSParser::ParseDefines() {
    while (!AtLineEnd(FPos)) {
        if (FPos[0] == '/' && (FPos[1] == '*' || FPos[1] == '/')) {
            State = 0;
            return tokDefine;
        }
        ++FPos;
    }
    State = (FPos > FTokenStart && FPos[-1] == '\\') ? 10 : 0;
    return tokDefine;
}
