#include "controls/textmodel/LanguageParsers.h"
#include "framework/core/CharClass.h"

#include <cctype>
#include <cstring>

namespace {
template <class C> TCustomHSParser::TParseProc P(int32_t (C::*f)()) {
    return static_cast<TCustomHSParser::TParseProc>(f);
}

bool SameNoCase3(const char* p, const char* word) {
    for (int i = 0; i < 3; ++i)
        if (std::tolower(uint8_t(p[i])) != word[i])
            return false;
    return true;
}

const TCharSet kAll = CharRange(33, 255);

const std::vector<std::string> kJavaScriptWords = {
    "abstract",  "boolean",  "break",     "byte",       "case",   "catch",   "char",         "class",
    "const",     "continue", "debugger",  "default",    "delete", "do",      "double",       "else",
    "enum",      "export",   "extends",   "false",      "final",  "finally", "float",        "for",
    "function",  "goto",     "if",        "implements", "import", "in",      "instanceof",   "int",
    "interface", "long",     "native",    "new",        "null",   "package", "private",      "protected",
    "public",    "return",   "short",     "static",     "super",  "switch",  "synchronized", "this",
    "throw",     "throws",   "transient", "true",       "try",    "typeof",  "var",          "void",
    "while",     "with"};

const std::vector<std::string> kCWords = {
    "auto",   "break",    "case",   "char",     "continue", "default",  "do",     "double",
    "else",   "enum",     "extern", "float",    "for",      "goto",     "if",     "int",
    "long",   "register", "return", "short",    "signed",   "sizeof",   "static", "struct",
    "switch", "typedef",  "union",  "unsigned", "void",     "volatile", "while"};

const std::vector<std::string> kCppWords = {
    "__asm",        "_asm",        "asm",         "auto",     "__automated",
    "break",        "bool",        "case",        "catch",    "__cdecl",
    "_cdecl",       "cdecl",       "char",        "class",    "__classid",
    "__closure",    "const",       "const_cast",  "continue", "__declspec",
    "default",      "delete",      "__dispid",    "do",       "double",
    "dynamic_cast", "else",        "enum",        "__except", "explicit",
    "_export",      "__export",    "extern",      "false",    "__fastcall",
    "_fastcall",    "__finally",   "float",       "for",      "friend",
    "goto",         "if",          "__import",    "_import",  "inline",
    "int",          "__int8",      "__int16",     "__int32",  "__int64",
    "long",         "mutable",     "namespace",   "new",      "operator",
    "__pascal",     "_pascal",     "pascal",      "private",  "protected",
    "__property",   "public",      "__published", "register", "reinterpret_cast",
    "return",       "__rtti",      "short",       "signed",   "sizeof",
    "static",       "static_cast", "__stdcall",   "_stdcall", "struct",
    "switch",       "template",    "this",        "__thread", "throw",
    "true",         "__try",       "try",         "typedef",  "typename",
    "typeid",       "union",       "using",       "unsigned", "virtual",
    "void",         "volatile",    "wchar_t",     "while"};

const std::vector<std::string> kPascalWords = {"absolute",
                                               "abstract",
                                               "and",
                                               "array",
                                               "as",
                                               "asm",
                                               "assembler",
                                               "automated",
                                               "begin",
                                               "break",
                                               "case",
                                               "cdecl",
                                               "class",
                                               "const",
                                               "constructor",
                                               "continue",
                                               "default",
                                               "destructor",
                                               "dispid",
                                               "dispinterface",
                                               "div",
                                               "do",
                                               "downto",
                                               "dynamic",
                                               "else",
                                               "end",
                                               "except",
                                               "exit",
                                               "export",
                                               "exports",
                                               "external",
                                               "far",
                                               "file",
                                               "finalization",
                                               "finally",
                                               "for",
                                               "forward",
                                               "function",
                                               "goto",
                                               "if",
                                               "implementation",
                                               "in",
                                               "index",
                                               "inherited",
                                               "initialization",
                                               "inline",
                                               "interface",
                                               "is",
                                               "label",
                                               "library",
                                               "message",
                                               "mod",
                                               "near",
                                               "nil",
                                               "nodefault",
                                               "not",
                                               "object",
                                               "of",
                                               "or",
                                               "out",
                                               "overload",
                                               "override",
                                               "packed",
                                               "pascal",
                                               "private",
                                               "procedure",
                                               "program",
                                               "property",
                                               "protected",
                                               "public",
                                               "published",
                                               "raise",
                                               "read",
                                               "readonly",
                                               "record",
                                               "register",
                                               "reintroduce",
                                               "repeat",
                                               "resident",
                                               "resourcestring",
                                               "safecall",
                                               "set",
                                               "shl",
                                               "shr",
                                               "stdcall",
                                               "stored",
                                               "string",
                                               "stringresource",
                                               "then",
                                               "threadvar",
                                               "to",
                                               "try",
                                               "type",
                                               "unit",
                                               "until",
                                               "uses",
                                               "var",
                                               "virtual",
                                               "while",
                                               "with",
                                               "write",
                                               "writeonly",
                                               "xor"};

const std::vector<std::string> kDfmWords = {"end", "inherited", "inline", "item", "object"};

const std::vector<std::string> kVBScriptWords = {
    "And",    "As",    "Call",     "Const",    "Date",   "Dim",      "Do",        "Empty",
    "Exit",   "False", "For",      "Each",     "Elseif", "Function", "If",        "Then",
    "Else",   "Is",    "Loop",     "Mod",      "Next",   "Not",      "Nothing",   "Null",
    "On",     "Error", "Option",   "Explicit", "Base",   "Compare",  "Or",        "Private",
    "Public", "ReDim", "Select",   "Case",     "Set",    "String",   "Sub",       "True",
    "While",  "Wend",  "Xor",      "Rem",      "end",    "ByVal",    "Attribute", "Declare",
    "To",     "Type",  "property", "get",      "let",    "friend",   "With"};

const std::vector<std::string> kPythonWords = {
    "and",  "assert",  "break", "class", "continue", "def",    "del",    "elif", "else", "except",
    "exec", "finally", "for",   "from",  "global",   "if",     "import", "in",   "is",   "lambda",
    "not",  "or",      "pass",  "print", "raise",    "return", "try",    "while"};

const std::vector<std::string> kPerlWords = {
    "and",    "cmp",    "continue", "do",  "else",    "elsif",   "eq",     "for",    "foreach",
    "ge",     "goto",   "gt",       "if",  "last",    "le",      "local",  "lt",     "my",
    "ne",     "next",   "not",      "or",  "package", "require", "return", "strict", "sub",
    "switch", "unless", "until",    "use", "while",   "xor"};

const std::vector<std::string> kSqlWords = {
    "ACTIVE",    "ALL",        "AFTER",       "ALTER ",     "AND",         "ANY",
    "AS",        "ASC",        "ASCENDING",   "AT",         "AUTO",        "AUTOINC",
    "BASE_NAME", "BEFORE",     "BEGIN",       "BETWEEN",    "BLOB",        "BOOLEAN",
    "BOTH",      "BY",         "BYTES",       "CACHE",      "CAST",        "CHARACTER",
    "CHECK",     "COLUMN",     "COMMIT",      "COMMITTED",  "COMPUTED",    "CONDITIONAL",
    "CONNECT",   "CONSTRAINT", "CONTAINING",  "COUNT",      "CREATE",      "CURRENT",
    "CURSOR",    "DATABASE",   "DATE",        "DEBUG",      "DECIMAL",     "DECLARE",
    "DEFAULT",   "DELETE",     "DESC",        "DESCENDING", "DISTINCT",    "DOMAIN",
    "DO",        "DROP",       "ELSE",        "END",        "ENTRY_POINT", "ESCAPE",
    "EXCEPTION", "EXECUTE",    "EXISTS",      "EXIT",       "EXTERNAL",    "EXTRACT",
    "FILTER",    "FLOAT",      "FOR",         "FOREIGN",    "FROM",        "FULL",
    "FUNCTION",  "GENERATOR",  "GO",          "GRANT",      "GROUP",       "HAVING",
    "IF",        "IN",         "INACTIVE",    "INDEX",      "INNER",       "INSERT",
    "INTEGER",   "INTO",       "IS",          "ISOLATION",  "JOIN",        "KEY",
    "NULL",      "LEADING",    "LEFT",        "LEVEL",      "LIKE",        "MERGE",
    "MONEY",     "NAMES",      "NO",          "NOT",        "NUMERIC",     "OF",
    "ON",        "ONLY",       "OR",          "ORDER",      "OUTER",       "PARAMETER",
    "PASSWORD",  "PIVOT",      "PLAN",        "POSITION",   "PROCEDURE",   "PROTECTED",
    "PRIMARY",   "PRIVILEGES", "READ",        "REFERENCES", "RETAIN",      "RETURNING_VALUES",
    "RETURNS",   "REVOKE",     "RIGHT",       "ROLLBACK",   "SCHEMA",      "SELECT",
    "SET",       "SHARED",     "SHADOW",      "SMALLINT",   "SNAPSHOT",    "SOME",
    "SUSPEND",   "TABLE",      "THEN",        "TIME",       "TIMESTAMP",   "TO",
    "TRAILING",  "TRANSFORM",  "TRANSACTION", "TRIGGER",    "UNCOMMITTED", "UNION",
    "UNIQUE",    "UPDATE",     "USER",        "USING",      "VALUES",      "VARCHAR",
    "VARIABLE",  "VIEW",       "WAIT",        "WHEN",       "WHERE",       "WHILE",
    "WITH",      "WORK"};
} // namespace

// Every language but Python publishes CaseSensitive.
#define ZEL_PARSER_PROPS                                                                                     \
    {                                                                                                        \
        Prop::Bool<TCustomHSParser>("CaseSensitive", &TCustomHSParser::CaseSensitive,                        \
                                    &TCustomHSParser::SetCaseSensitive)                                      \
    }
ZEL_DEFINE_CLASS(TCustomHSParser, TSimpleParser, {})
ZEL_DEFINE_CLASS(TStringsParser, TCustomHSParser, {})
ZEL_DEFINE_CLASS(TJavaScriptParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(TCParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(TCPPParser, TCParser, {})
ZEL_DEFINE_CLASS(TDelphiParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(TDFMParser, TDelphiParser, {})
ZEL_DEFINE_CLASS(TVBScriptParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(TPythonParser, TStringsParser, {})
ZEL_DEFINE_CLASS(TPerlParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(TSqlParser, TStringsParser, ZEL_PARSER_PROPS)
ZEL_DEFINE_CLASS(THTMLParser, TStringsParser, ZEL_PARSER_PROPS)
#undef ZEL_PARSER_PROPS

// ---------------------------------------------------------------- TStringsParser

void TStringsParser::CheckStrings() const {
    if (!FStrings)
        Error("Strings are not specified");
}

void TStringsParser::SetStrings(const std::vector<std::string>* list) {
    if (list == FStrings)
        return;
    FStrings = list;
    ResetParser();
}

void TStringsParser::ResetParser() {
    CheckStrings();
    FLineNo = 0;
    UpdateLinePtr();
    State = 0;
    FTokenKind = -1;
}

void TStringsParser::UpdateLinePtr() {
    CheckStrings();
    FLine = FLineNo >= 0 && size_t(FLineNo) < FStrings->size() ? (*FStrings)[size_t(FLineNo)] : std::string();
    FLinePtr = FTokenStart = FPos = FLine.c_str();
    FTokenKind = -1;
}

void TStringsParser::SetLinePos(int32_t line) {
    CheckStrings();
    if (line == FLineNo && size_t(line) < FStrings->size() && (*FStrings)[size_t(line)] == FLine)
        return;
    FLineNo = line;
    UpdateLinePtr();
}

int32_t TStringsParser::NextToken() {
    CheckStrings();
    for (;;) {
        int32_t kind = SimpleNextToken();
        if (kind != tokEof || size_t(FLineNo) + 1 >= FStrings->size())
            return kind;
        ++FLineNo;
        const int32_t state = State;
        UpdateLinePtr();
        State = state;
    }
}

// ---------------------------------------------------------------- C family

TJavaScriptParser::TJavaScriptParser(TComponent* owner) : TStringsParser(owner) {
    SetCaseSensitive(true);
    InitJScrSyntax();
}

void TJavaScriptParser::InitJScrSyntax() {
    InitCommon();
    RegisterNormalProc(CharSet("\"'"), P(&TJavaScriptParser::ParseCStrConst));
    RegisterNormalProc(IdentStartChars(), P(&TJavaScriptParser::ParseIdentifier));
    RegisterNormalProc(CharSet("/"), P(&TJavaScriptParser::ParseJscrComment));
    RegisterNormalProc(DigitChars(), P(&TJavaScriptParser::ParseNumConst));
    RegisterNormalProc(CharSet("0"), P(&TJavaScriptParser::ParseJHexConst));
    RegisterProc({2}, kAll, P(&TJavaScriptParser::ParseJScrCommentEnd));
    InitEolState(2);
    SetResWords(kJavaScriptWords);
}

TCParser::TCParser(TComponent* owner) : TStringsParser(owner) {
    SetCaseSensitive(true);
    InitCSyntax();
}

void TCParser::InitCSyntax() {
    InitCommon();
    RegisterNormalProc(CharSet("\"'"), P(&TCParser::ParseCStrConst));
    RegisterNormalProc(IdentStartChars(), P(&TCParser::ParseIdentifier));
    RegisterNormalProc(CharSet("/"), P(&TCParser::ParseJscrComment));
    RegisterNormalProc(CharSet("#"), P(&TCParser::ParseDefines));
    RegisterNormalProc(DigitChars(), P(&TCParser::ParseCNumConst));
    RegisterNormalProc(CharSet("0"), P(&TCParser::ParseCHexConst));
    RegisterProc({2}, kAll, P(&TCParser::ParseJScrCommentEnd));
    TCharSet define = CharRange(32, 255);
    define.reset('/');
    RegisterProc({10}, define, P(&TCParser::ParseDefines));
    RegisterProc({10}, CharSet("/"), P(&TCParser::ParseJscrComment));
    InitEolState(2);
    InitEolState(10);
    SetResWords(kCWords);
}

TCPPParser::TCPPParser(TComponent* owner) : TCParser(owner) {
    SetResWords(kCppWords);
}

// ---------------------------------------------------------------- Object Pascal

TDelphiParser::TDelphiParser(TComponent* owner) : TStringsParser(owner) {
    InitPascalCommon(true);
}

TDFMParser::TDFMParser(TComponent* owner) : TDelphiParser(owner) {
    ClearParserStates();
    InitPascalCommon(false);
    SetResWords(kDfmWords);
}

void TDelphiParser::InitPascalCommon(bool hexConstants) {
    InitCommon();
    RegisterNormalProc(CharSet("'"), P(&TDelphiParser::ParseStrConst));
    RegisterNormalProc(CharSet("{"), P(&TDelphiParser::ParseComment));
    RegisterNormalProc(IdentStartChars(), P(&TDelphiParser::ParseDelphiIdentifier));
    if (hexConstants)
        RegisterNormalProc(CharSet("$"), P(&TDelphiParser::ParseHexConst));
    RegisterNormalProc(DigitChars(), P(&TDelphiParser::ParseNumConst));
    RegisterNormalProc(CharSet("/"), P(&TDelphiParser::ParseCComment));
    RegisterNormalProc(CharSet("("), P(&TDelphiParser::ParseComplexComment));
    RegisterNormalProc(CharSet("#"), P(&TDelphiParser::ParseCharConst));
    RegisterProc({1}, kAll, P(&TDelphiParser::ParseComment));
    RegisterProc({2}, kAll, P(&TDelphiParser::ParseComplexCommentEnd));
    InitEolState(1);
    InitEolState(2);
    if (hexConstants) {
        RegisterProc({4}, kAll, P(&TDelphiParser::ParseAsm));
        RegisterProc({4, 6}, CharSet("/"), P(&TDelphiParser::ParseAsmCComment));
        RegisterProc({4}, CharSet("{"), P(&TDelphiParser::ParseAsmComment));
        RegisterProc({4}, CharSet("("), P(&TDelphiParser::ParseAsmComplexComment));
        RegisterProc({5}, kAll, P(&TDelphiParser::ParseAsmComment));
        RegisterProc({7}, kAll, P(&TDelphiParser::ParseAsmComplexCommentEnd));
        for (int32_t st : {4, 5, 6, 7})
            InitEolState(st);
    }
    SetResWords(kPascalWords);
}

int32_t TDelphiParser::ParseDelphiIdentifier() {
    int32_t kind = ParseIdentifier();
    if (kind == tokResWord && State == 0 && FPos - FTokenStart == 3 && SameNoCase3(FTokenStart, "asm"))
        State = 4;
    return kind;
}

bool TDelphiParser::IsAsmEnd(const char* p) const {
    if (!p[0] || !p[1] || !p[2])
        return false;
    bool same = CaseSensitive() ? std::strncmp(p, "end", 3) == 0 : SameNoCase3(p, "end");
    if (!same)
        return false;
    if (p > FLinePtr) {
        char b = p[-1];
        if (b == '$' || b == '@' || b == '_' || IsAsciiLetter(b))
            return false;
    }
    return !IsIdentChar(p[3]);
}

int32_t TDelphiParser::ParseAsm() {
    while (uint8_t(*FPos) >= 33) {
        if (IsAsmEnd(FPos)) {
            State = 0;
            break;
        }
        if (*FPos == '{' || (FPos[0] == '(' && FPos[1] == '*') || (FPos[0] == '/' && FPos[1] == '/'))
            break;
        ++FPos;
    }
    return FPos > FTokenStart ? tokAssembler : tokNone;
}

int32_t TDelphiParser::ParseAsmComment() {
    if (SkipToCharOrEol('}')) {
        ++FPos;
        State = 4;
    } else {
        State = 5;
    }
    return tokComment;
}

int32_t TDelphiParser::ParseAsmCComment() {
    if (FPos[1] == '/') {
        RestIsComment();
        State = 4;
        return tokComment;
    }
    ++FPos;
    ParseAsm();
    return tokAssembler;
}

int32_t TDelphiParser::ParseAsmComplexComment() {
    if (FPos[1] == '*') {
        FPos += 2;
        return ParseAsmComplexCommentEnd();
    }
    ++FPos;
    ParseAsm();
    return tokAssembler;
}

int32_t TDelphiParser::ParseAsmComplexCommentEnd() {
    while (!AtLineEnd(FPos)) {
        if (FPos[0] == '*' && FPos[1] == ')') {
            FPos += 2;
            State = 4;
            return tokComment;
        }
        ++FPos;
    }
    State = 7;
    return tokComment;
}

// ---------------------------------------------------------------- VBScript

TVBScriptParser::TVBScriptParser(TComponent* owner) : TStringsParser(owner) {
    InitCommon();
    RegisterNormalProc(DigitChars(), P(&TVBScriptParser::ParseNumConst));
    RegisterNormalProc(IdentStartChars(), P(&TVBScriptParser::ParseVBIdentifier));
    RegisterNormalProc(CharSet("\""), P(&TVBScriptParser::ParseVBStrConst));
    RegisterNormalProc(CharSet("'"), P(&TVBScriptParser::RestIsComment));
    RegisterNormalProc(CharSet("&"), P(&TVBScriptParser::ParseVBHexConst));
    SetResWords(kVBScriptWords);
    FRemIndex = ResWordIndexOf("Rem");
}

int32_t TVBScriptParser::ParseVBIdentifier() {
    int32_t kind = ParseIdentifier();
    if (kind == tokResWord && FResWordIndex == FRemIndex)
        return RestIsComment();
    return kind;
}

// ---------------------------------------------------------------- Python

TPythonParser::TPythonParser(TComponent* owner) : TStringsParser(owner) {
    InitCommon();
    RegisterNormalProc(DigitChars(), P(&TPythonParser::ParseNumConst));
    RegisterNormalProc(IdentStartChars(), P(&TPythonParser::ParseIdentifier));
    RegisterNormalProc(CharSet("\""), P(&TPythonParser::ParsePythonCStrConst));
    RegisterNormalProc(CharSet("'"), P(&TPythonParser::ParsePythonStrConst));
    RegisterNormalProc(CharSet("#"), P(&TPythonParser::RestIsComment));
    RegisterProc({8}, kAll, P(&TPythonParser::ParsePythonStrConstEnd));
    RegisterProc({9}, kAll, P(&TPythonParser::ParsePythonCStrConstEnd));
    InitEolState(8);
    InitEolState(9);
    SetResWords(kPythonWords);
}

int32_t TPythonParser::ParsePythonLong(char quote, int32_t openState, int32_t (TPythonParser::*single)()) {
    if (FPos[1] == quote && FPos[2] == quote) {
        FPos += 2;
        return ParsePythonLongEnd(quote, openState);
    }
    return (this->*single)();
}

int32_t TPythonParser::ParsePythonLongEnd(char quote, int32_t openState) {
    while (!AtLineEnd(FPos)) {
        if (FPos[0] == quote && FPos[1] == quote && FPos[2] == quote) {
            FPos += 3;
            State = 0;
            return tokString;
        }
        ++FPos;
    }
    State = openState;
    return tokString;
}

// ---------------------------------------------------------------- Perl

namespace {
constexpr int32_t kHereDocState = 11;
}

TPerlParser::TPerlParser(TComponent* owner) : TStringsParser(owner) {
    SetCaseSensitive(true);
    InitCommon();
    RegisterNormalProc(CharSet("'"), P(&TPerlParser::ParsePerlConst1));
    RegisterNormalProc(CharSet("\""), P(&TPerlParser::ParsePerlConst));
    RegisterNormalProc(CharSet("#"), P(&TPerlParser::ParsePerlComment));
    RegisterNormalProc(IdentStartChars(), P(&TPerlParser::ParsePerlIdentifier));
    RegisterNormalProc(DigitChars(), P(&TPerlParser::ParseNumConst));
    RegisterNormalProc(CharSet("<"), P(&TPerlParser::ParseMultiLineString));
    RegisterProc({kHereDocState}, kAll, P(&TPerlParser::ParseMultiLineStringEnd));
    InitEolState(kHereDocState);
    SetResWords(kPerlWords);
}

int32_t TPerlParser::TerminatorId() {
    for (size_t i = 0; i < FTerminators.size(); ++i)
        if (FTerminators[i].first == FHereTerm && FTerminators[i].second == FHereQuoted)
            return int32_t(i) + 1;
    FTerminators.emplace_back(FHereTerm, FHereQuoted);
    return int32_t(FTerminators.size());
}

int32_t TPerlParser::ColorString(const std::string& text, int32_t startState, std::string& colorData) {
    if (text.empty() || colorData.empty())
        return startState;
    const int32_t scan = startState & 0xFF;
    const int32_t id = int32_t(uint32_t(startState) >> 8);
    if (scan == kHereDocState && id > 0 && size_t(id) <= FTerminators.size()) {
        FHereTerm = FTerminators[size_t(id) - 1].first;
        FHereQuoted = FTerminators[size_t(id) - 1].second;
    } else {
        FHereTerm.clear();
        FHereQuoted = false;
    }
    int32_t end = TCustomHSParser::ColorString(text, scan, colorData);
    if (end == kHereDocState)
        return kHereDocState | (TerminatorId() << 8);
    return end;
}

bool TPerlParser::IsWordChar(char c) const {
    return IsIdentChar(c) || (FHereQuoted && c != 0 && FHereTerm.find(c) != std::string::npos);
}

int32_t TPerlParser::ParsePerlStrConst(char quote) {
    if (FPos > FLinePtr && std::strchr("$%&@", FPos[-1]) && FPos[-1] != 0) {
        ++FPos;
        return tokDelimiter;
    }
    ++FPos;
    while (!AtLineEnd(FPos)) {
        if (*FPos == quote && FPos[-1] != '\\') {
            ++FPos;
            return tokString;
        }
        ++FPos;
    }
    FUnterminated = true;
    return tokString;
}

int32_t TPerlParser::ParsePerlComment() {
    if (FPos > FLinePtr && FPos[-1] == '$') {
        ++FPos;
        const char* word = FPos;
        while (IsIdentChar(*FPos))
            ++FPos;
        return FindResWord(word, size_t(FPos - word)) ? tokResWord : tokIdentifier;
    }
    return RestIsComment();
}

int32_t TPerlParser::ParsePerlIdentifier() {
    ++FPos;
    while (IsIdentChar(*FPos) || *FPos == '\'')
        ++FPos;
    return FindResWord(FTokenStart, size_t(FPos - FTokenStart)) ? tokResWord : tokIdentifier;
}

int32_t TPerlParser::ParseMultiLineString() {
    if (FPos[1] != '<') {
        ++FPos;
        return tokDelimiter;
    }
    const char* p = FPos + 2;
    std::string term;
    bool quoted = false;
    if (IsIdentChar(*p)) {
        while (IsIdentChar(*p))
            term += *p++;
    } else if (*p == '"' || *p == '\'') {
        const char q = *p++;
        while (!AtLineEnd(p) && *p != q)
            term += *p++;
        if (*p == q)
            ++p;
        quoted = true;
    }
    if (term.empty()) {
        FPos += 2;
        return tokDelimiter;
    }
    FHereTerm = term;
    FHereQuoted = quoted;
    FPos = p;
    return ParseMultiLineStringEnd();
}

int32_t TPerlParser::ParseMultiLineStringEnd() {
    for (;;) {
        while (!AtLineEnd(FPos) && !IsWordChar(*FPos))
            ++FPos;
        if (AtLineEnd(FPos)) {
            State = kHereDocState;
            return tokString;
        }
        const char* b = FPos;
        while (IsWordChar(*FPos))
            ++FPos;
        if (!FHereTerm.empty() && size_t(FPos - b) == FHereTerm.size() &&
            std::memcmp(b, FHereTerm.data(), FHereTerm.size()) == 0) {
            FHereTerm.clear();
            FHereQuoted = false;
            State = 0;
            return tokString;
        }
    }
}

// ---------------------------------------------------------------- SQL

TSqlParser::TSqlParser(TComponent* owner) : TStringsParser(owner) {
    InitCommon();
    RegisterNormalProc(CharSet("\""), P(&TSqlParser::ParseVBStrConst));
    RegisterNormalProc(CharSet("'"), P(&TSqlParser::ParseStrConst));
    RegisterNormalProc(IdentStartChars(), P(&TSqlParser::ParseIdentifier));
    RegisterNormalProc(DigitChars(), P(&TSqlParser::ParseNumConst));
    RegisterNormalProc(CharSet("/"), P(&TSqlParser::ParseJscrComment));
    RegisterNormalProc(CharSet("-"), P(&TSqlParser::ParseOracleComment));
    RegisterProc({2}, kAll, P(&TSqlParser::ParseJScrCommentEnd));
    InitEolState(2);
    SetResWords(kSqlWords);
}

int32_t TSqlParser::ParseOracleComment() {
    if (FPos[1] == '-')
        return RestIsComment();
    ++FPos;
    return tokDelimiter;
}

// ---------------------------------------------------------------- HTML

THTMLParser::THTMLParser(TComponent* owner) : TStringsParser(owner) {
    InitCommon();
    RegisterNormalProc(CharSet("\""), P(&THTMLParser::ParseVBStrConst));
    RegisterNormalProc(IdentStartChars(), P(&THTMLParser::ParseIdentifier));
    RegisterNormalProc(DigitChars(), P(&THTMLParser::ParseNumConst));
    RegisterNormalProc(CharSet("<"), P(&THTMLParser::ParseHTMLTag));
    RegisterProc({2}, kAll, P(&THTMLParser::ParseHTMLCommentEnd));
    RegisterProc({3}, CharSet("\""), P(&THTMLParser::ParseVBStrConst));
    RegisterProc({3}, IdentStartChars(), P(&THTMLParser::ParseHtmlParam));
    RegisterProc({3}, DigitChars(), P(&THTMLParser::ParseNumConst));
    RegisterProc({3}, CharSet(">"), P(&THTMLParser::ParseHTMLTagEnd));
    InitEolState(2);
    InitEolState(3);
}

int32_t THTMLParser::ParseHTMLTag() {
    ++FPos;
    if (FPos[0] == '!' && FPos[1] == '-' && FPos[2] == '-')
        return ParseHTMLCommentEnd();
    while (IsIdentChar(*FPos))
        ++FPos;
    State = 3;
    return tokHtmlTag;
}

int32_t THTMLParser::ParseHTMLCommentEnd() {
    while (!AtLineEnd(FPos) && *FPos != '-')
        ++FPos;
    if (*FPos == '-') {
        if (FPos[1] == '-' && FPos[2] == '>') {
            FPos += 3;
            State = 0;
            return tokComment;
        }
        ++FPos;
    }
    State = 2;
    return tokComment;
}

int32_t THTMLParser::ParseHTMLTagEnd() {
    ++FPos;
    State = 0;
    return tokHtmlTag;
}

int32_t THTMLParser::ParseHtmlParam() {
    ++FPos;
    while (IsIdentChar(*FPos))
        ++FPos;
    return tokHtmlParam;
}
