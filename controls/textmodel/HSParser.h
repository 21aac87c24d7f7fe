#pragma once
// Table-driven tokenizer: per scanner state, one routine per character code decides how far a
// token reaches, what kind it is and which state follows. It colours single lines for a text
// source and also reads tokens with a stack of saved positions.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/SimpleParser.h"
#include "framework/core/Exceptions.h"

// Token kinds double as colour bytes: the view paints byte n with its text style n.
enum TTokenKind : int32_t {
    tokNone = -1,
    tokEof = 0,
    tokString = 1,
    tokComment = 2,
    tokIdentifier = 3,
    tokInteger = 4,
    tokFloat = 5,
    tokResWord = 6,
    tokDelimiter = 7,
    tokDefine = 8,
    tokAssembler = 9,
    tokHtmlTag = 10,
    tokHtmlParam = 11,
};

using TCharSet = std::bitset<256>;
TCharSet CharSet(const char* chars);
TCharSet CharRange(uint8_t from, uint8_t to);
TCharSet IdentStartChars(); // letters and '_'
TCharSet DigitChars();

class TCustomHSParser;

struct TTokenData {
    virtual ~TTokenData() = default;
    virtual void ProcessSinglePop(TCustomHSParser&) {}
    int32_t TokenKind = -1;
    int32_t State = 0;
    int32_t LineNo = 0;
    intptr_t Pos = 0;
    intptr_t TokenStart = 0;
    int32_t Extra1 = 0;
    int32_t Extra2 = -1;
    int32_t ResWordIndex = -1;
    const char* LinePtr = nullptr;
    bool Soft = false;
};

class TCustomHSParser : public TSimpleParser {
    ZEL_DECLARE_CLASS(TCustomHSParser)
public:
    using TParseProc = int32_t (TCustomHSParser::*)();
    using TGetColorDataEvent = std::function<void(TCustomHSParser& sender, int32_t kind,
                                                  const std::string& token, std::string& tokenColor)>;

    explicit TCustomHSParser(TComponent* owner = nullptr);
    ~TCustomHSParser() override;

    // --- configuration
    void RegisterProc(std::initializer_list<int32_t> states, const TCharSet& chars, TParseProc proc);
    void RegisterNormalProc(const TCharSet& chars, TParseProc proc) { RegisterProc({0}, chars, proc); }
    void InitEolState(int32_t state);
    virtual void InitCommon();
    void ClearParserStates() { FTables.clear(); }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    void SetResWords(const std::vector<std::string>& words);
    const std::vector<std::string>& KeyWords() const { return FKeyWords; }
    const std::vector<std::string>& ResWords() const { return FResWords; }
    virtual void UpdateSettings();
    void Loaded() override;
    void OnChange();
    bool FindResWord(const char* word, size_t len);
    int32_t ResWordIndexOf(const std::string& word);

    // --- scanning
    int32_t State = 0;
    void SetLinePtr(const char* p);
    int32_t SimpleNextToken();
    virtual int32_t NextToken() { return SimpleNextToken(); }
    int32_t NextValidToken();
    int32_t NextTokenStr(std::string& s);
    int32_t NextValidTokenStr(std::string& s);
    int32_t PeekToken();
    int32_t PeekTokenStr(std::string& s);
    int32_t PeekValidTokenStr(std::string& s);
    bool IsPeekTokenResWord(int32_t index);
    int32_t SkipTokens(int32_t n);
    bool SkipToChar(char c);
    bool SkipToResWord(int32_t index);
    bool IsTokenChar(char c) const { return FTokenKind == tokDelimiter && FTokenStart && *FTokenStart == c; }
    bool IsTokenResWord(int32_t index) const { return FTokenKind == tokResWord && FResWordIndex == index; }
    bool IsNextTokenChar(char c);
    bool IsNextTokenResWord(int32_t index);
    bool ParserEOF() const { return FTokenKind == tokEof; }
    void CheckChar(char c);
    void CheckNextChar(char c);
    void CheckResWord(int32_t index);
    void CheckNextResWord(int32_t index);
    virtual std::string TokenString() const;
    int32_t TokenKind() const { return FTokenKind; }
    int32_t GetTokenCharPos() const { return int32_t(FTokenStart - FLinePtr); }
    int32_t GetCharPos() const { return int32_t(FPos - FLinePtr); }
    void SetTokenCharPos(int32_t v) { FTokenStart = FLinePtr + v; }
    void SetCharPos(int32_t v) { FPos = FLinePtr + v; }
    virtual void SetLinePos(int32_t line) { FLineNo = line; }
    int32_t LineNo() const { return FLineNo; }
    virtual void UpdateLinePtr() {}
    virtual std::string GetErrorDesc() const { return std::string(); }
    bool Unterminated() const { return FUnterminated; }

    // --- position stack
    int32_t PushState();
    int32_t SoftPushState();
    int32_t PopState();
    bool SinglePop();
    void SoftPopState();
    int32_t GetInternalState() const { return int32_t(FTokenData.size()) - 1; }
    void SetInternalState(int32_t n);

    // --- colouring
    int32_t ColorString(const std::string& text, int32_t startState, std::string& colorData) override;
    TGetColorDataEvent OnGetColorData;

    // Raises with the position of the current token appended.
    [[noreturn]] void Error(const std::string& message) const;

protected:
    virtual void TokenDataToState(const TTokenData& d);
    virtual void StateToTokenData(TTokenData& d) const;
    // The class of the saved positions, given as a new record of it for PushState to fill: a
    // parser that saves more of its state, or must act when a position is popped, gives its own.
    virtual std::unique_ptr<TTokenData> GetTokenDataClass() const { return std::make_unique<TTokenData>(); }
    virtual void DoGetColorData(int32_t kind, const std::string& token, std::string& tokenColor);
    int32_t ScanStep();

    // Shared parse routines. Each starts on the character that selected it.
    int32_t ParseWhiteChar();
    int32_t ParseIdentifier();
    int32_t ParseIdentifierEx(const TCharSet& chars);
    int32_t ParseNumConst();
    int32_t ParseHexConst();
    int32_t ParseJHexConst();
    int32_t ParseCNumConst();
    int32_t ParseCHexConst();
    void ParseCSuffixes();
    int32_t ParseVBHexConst();
    int32_t ParseUniStrConst(char quote);
    int32_t ParseStrConst();
    int32_t ParseCharConst();
    int32_t ParseVBStrConst() { return ParseUniStrConst('"'); }
    int32_t ParseCStrConst();
    virtual int32_t ParseComment();
    int32_t RestIsComment();
    int32_t ParseCComment();
    int32_t ParseComplexComment();
    int32_t ParseJscrComment();
    int32_t ParseUniComplexCommentEnd(char c);
    int32_t ParseComplexCommentEnd() { return ParseUniComplexCommentEnd(')'); }
    int32_t ParseJScrCommentEnd() { return ParseUniComplexCommentEnd('/'); }
    int32_t ParseDefines();
    int32_t Parse1310Eol() { return ParseEol('\n'); }
    int32_t Parse1013Eol() { return ParseEol('\r'); }
    int32_t ParseEol(char follow);
    // Advances to `c` or to the end of the line; true when `c` was found.
    bool SkipToCharOrEol(char c);
    bool AtLineEnd(const char* p) const { return uint8_t(*p) < 32 && *p != '\t'; }

    const char* FLinePtr = nullptr;
    const char* FTokenStart = nullptr;
    const char* FPos = nullptr;
    int32_t FLineNo = 0;
    int32_t FTokenKind = -1;
    int32_t FResWordIndex = -1;
    int32_t FExtra1 = 0;
    int32_t FExtra2 = -1;
    bool FUnterminated = false;

private:
    void PopRecord(TTokenData& d) {
        d.ProcessSinglePop(*this);
        TokenDataToState(d);
    }

    std::vector<std::array<TParseProc, 256>> FTables;
    std::vector<std::string> FKeyWords;
    std::vector<std::string> FResWords;
    std::array<std::vector<std::pair<std::string, int32_t>>, 256> FBuckets;
    bool FCaseSensitive = false;
    std::vector<std::unique_ptr<TTokenData>> FTokenData;
};

// Number of the bucket a reserved word goes to.
uint8_t ResWordHash(const char* word, size_t len);
