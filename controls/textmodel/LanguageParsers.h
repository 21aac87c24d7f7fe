#pragma once
// The language parsers: configurations of the tokenizer for HTML, C, C++, Object Pascal, form
// files, VBScript, Python, Perl, SQL and JavaScript. Each also reads tokens over a list of lines.

#include <string>
#include <vector>

#include "controls/textmodel/HSParser.h"

class TStringsParser : public TCustomHSParser {
    ZEL_DECLARE_CLASS(TStringsParser)
public:
    using TCustomHSParser::TCustomHSParser;
    const std::vector<std::string>* Strings() const { return FStrings; }
    void SetStrings(const std::vector<std::string>* list);
    void ResetParser();
    void UpdateLinePtr() override;
    void SetLinePos(int32_t line) override;
    int32_t NextToken() override;

private:
    void CheckStrings() const;
    const std::vector<std::string>* FStrings = nullptr;
    std::string FLine;
};

class TJavaScriptParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TJavaScriptParser)
public:
    explicit TJavaScriptParser(TComponent* owner = nullptr);

protected:
    void InitJScrSyntax();
};

class TCParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TCParser)
public:
    explicit TCParser(TComponent* owner = nullptr);

protected:
    void InitCSyntax();
};

class TCPPParser : public TCParser {
    ZEL_DECLARE_CLASS(TCPPParser)
public:
    explicit TCPPParser(TComponent* owner = nullptr);
};

class TDelphiParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TDelphiParser)
public:
    explicit TDelphiParser(TComponent* owner = nullptr);

protected:
    int32_t ParseDelphiIdentifier();
    int32_t ParseAsm();
    int32_t ParseAsmComment();
    int32_t ParseAsmCComment();
    int32_t ParseAsmComplexComment();
    int32_t ParseAsmComplexCommentEnd();
    bool IsAsmEnd(const char* p) const;
    void InitPascalCommon(bool hexConstants);
};

class TDFMParser : public TDelphiParser {
    ZEL_DECLARE_CLASS(TDFMParser)
public:
    explicit TDFMParser(TComponent* owner = nullptr);
};

class TVBScriptParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TVBScriptParser)
public:
    explicit TVBScriptParser(TComponent* owner = nullptr);

protected:
    int32_t ParseVBIdentifier();

private:
    int32_t FRemIndex = -1;
};

class TPythonParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TPythonParser)
public:
    explicit TPythonParser(TComponent* owner = nullptr);

protected:
    int32_t ParsePythonStrConst() { return ParsePythonLong('\'', 8, &TPythonParser::ParseStrConst); }
    int32_t ParsePythonCStrConst() { return ParsePythonLong('"', 9, &TPythonParser::ParseCStrConst); }
    int32_t ParsePythonStrConstEnd() { return ParsePythonLongEnd('\'', 8); }
    int32_t ParsePythonCStrConstEnd() { return ParsePythonLongEnd('"', 9); }

private:
    int32_t ParsePythonLong(char quote, int32_t openState, int32_t (TPythonParser::*single)());
    int32_t ParsePythonLongEnd(char quote, int32_t openState);
};

// The here-document terminator travels in the line's end state (bits above the low byte name
// it), so a line is coloured the same whatever was parsed before it.
class TPerlParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TPerlParser)
public:
    explicit TPerlParser(TComponent* owner = nullptr);
    int32_t ColorString(const std::string& text, int32_t startState, std::string& colorData) override;
    const std::string& HereTerminator() const { return FHereTerm; }

protected:
    int32_t ParsePerlConst1() { return ParsePerlStrConst('\''); }
    int32_t ParsePerlConst() { return ParsePerlStrConst('"'); }
    int32_t ParsePerlStrConst(char quote);
    int32_t ParsePerlComment();
    int32_t ParsePerlIdentifier();
    int32_t ParseMultiLineString();
    int32_t ParseMultiLineStringEnd();

private:
    bool IsWordChar(char c) const;
    int32_t TerminatorId();
    std::string FHereTerm;
    bool FHereQuoted = false;
    std::vector<std::pair<std::string, bool>> FTerminators;
};

class TSqlParser : public TStringsParser {
    ZEL_DECLARE_CLASS(TSqlParser)
public:
    explicit TSqlParser(TComponent* owner = nullptr);

protected:
    int32_t ParseOracleComment();
};

class THTMLParser : public TStringsParser {
    ZEL_DECLARE_CLASS(THTMLParser)
public:
    explicit THTMLParser(TComponent* owner = nullptr);

protected:
    int32_t ParseHTMLTag();
    int32_t ParseHTMLCommentEnd();
    int32_t ParseHTMLTagEnd();
    int32_t ParseHtmlParam();
};
