#include "controls/textmodel/SourceTools.h"

#include <cstdio>

#include "controls/textmodel/ModuleParser.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "framework/core/Win.h"

namespace {
template <class C> TCustomHSParser::TParseProc P(int32_t (C::*f)()) {
    return static_cast<TCustomHSParser::TParseProc>(f);
}

// Blanks are tokens of their own here, so the text keeps its spacing.
class TIfDefParser : public THSIncludeParser {
public:
    TIfDefParser() {
        ClearParserStates();
        InitCommon();
        const TCharSet all = CharRange(33, 255);
        RegisterNormalProc(CharSet(" \t"), P(&TIfDefParser::ParseBlanks));
        // Other control characters stay in the text as tokens of their own.
        TCharSet controls = CharRange(1, 31);
        for (char c : {'\t', '\r', '\n'})
            controls.reset(uint8_t(c));
        RegisterNormalProc(controls, P(&TIfDefParser::ParseWhiteChar));
        RegisterNormalProc(IdentStartChars(), P(&TIfDefParser::ParseIdentifier));
        // Literals are read whole so that a brace inside quotes never opens a comment.
        RegisterNormalProc(CharSet("'"), P(&TIfDefParser::ParseStrConst));
        RegisterNormalProc(CharSet("#"), P(&TIfDefParser::ParseCharConst));
        RegisterNormalProc(CharSet("{"), P(&TIfDefParser::ParseComment));
        RegisterNormalProc(CharSet("("), P(&TIfDefParser::ParseComplexComment));
        RegisterNormalProc(CharSet("/"), P(&TIfDefParser::ParseCComment));
        RegisterProc({1}, all, P(&TIfDefParser::ParseComment));
        RegisterProc({2}, all, P(&TIfDefParser::ParseComplexCommentEnd));
        InitEolState(1);
        InitEolState(2);
    }
    int32_t ParseBlanks() {
        while (*FPos == ' ' || *FPos == '\t')
            ++FPos;
        return tokDelimiter;
    }
};

class TOffsetParser : public TModuleParser {
public:
    size_t Offset() const { return size_t(FPos - FText.c_str()); }
    size_t TokenOffset() const { return size_t(FTokenStart - FText.c_str()); }
    bool InMainText() const { return FPos >= FText.c_str() && FPos <= FText.c_str() + FText.size(); }
};

void FillNames(TNameSet& names, const std::string& text) {
    names.clear();
    for (std::string& name : SplitSemicolonList(text))
        names.insert(std::move(name));
}

std::string ReadFileText(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return stream.ReadRemaining();
}

[[noreturn]] void InvalidCharSet() {
    throw EParserError("Invalid charset definition");
}
} // namespace

// ---------------------------------------------------------------- THSIDStringConvert

THSIDStringConvert::THSIDStringConvert() {
    FOrdered.push_back(std::string());
    FSorted[std::string()] = 0;
}

std::string THSIDStringConvert::IDToString(int32_t id) const {
    if (id < 0 || id >= int32_t(FOrdered.size()))
        throw EListError(Format(SListIndexError, id));
    return FOrdered[size_t(id)];
}

int32_t THSIDStringConvert::StringToID(const std::string& text) {
    auto it = FSorted.find(text);
    if (it != FSorted.end())
        return it->second;
    const int32_t id = int32_t(FOrdered.size());
    FOrdered.push_back(text);
    FSorted[text] = id;
    return id;
}

// ---------------------------------------------------------------- conversions

double GetFloatFromString(const std::string& text) {
    return StrToFloat(text);
}

TCharSet ParseCharSetDef(const std::string& text) {
    TModuleParser parser;
    parser.SetText(text);
    TCharSet result;
    auto readChar = [&](int32_t kind) -> uint8_t {
        if (kind != tokString)
            InvalidCharSet();
        std::string value = parser.TokenString();
        if (value.size() != 1)
            InvalidCharSet();
        return uint8_t(value[0]);
    };
    int32_t kind = parser.NextValidToken();
    const bool bracket = parser.IsTokenChar('[');
    if (bracket)
        kind = parser.NextValidToken();
    if (bracket && parser.IsTokenChar(']')) {
        if (parser.NextValidToken() != tokEof)
            InvalidCharSet();
        return result;
    }
    for (;;) {
        const uint8_t from = readChar(kind);
        uint8_t to = from;
        kind = parser.NextValidToken();
        if (parser.IsTokenChar('.')) {
            if (!parser.IsNextTokenChar('.'))
                InvalidCharSet();
            to = readChar(parser.NextValidToken());
            if (to < from)
                InvalidCharSet();
            kind = parser.NextValidToken();
        }
        for (int c = from; c <= to; ++c)
            result.set(size_t(c));
        if (parser.IsTokenChar(',')) {
            kind = parser.NextValidToken();
            continue;
        }
        if (bracket) {
            if (!parser.IsTokenChar(']'))
                InvalidCharSet();
            kind = parser.NextValidToken();
        }
        if (kind != tokEof)
            InvalidCharSet();
        return result;
    }
}

// ---------------------------------------------------------------- interface files

void CreateIntFile(const std::string& fileName) {
    const std::string text = ReadFileText(fileName);
    TOffsetParser parser;
    parser.SetText(text);
    bool found = false;
    while (parser.NextValidToken() != tokEof) {
        if (parser.TokenKind() == tokResWord && SameText(parser.RawTokenString(), "implementation")) {
            found = true;
            break;
        }
    }
    if (!found)
        throw EParserError(Format("No implementation section in %s", fileName.c_str()));
    const std::string head = text.substr(0, parser.Offset());
    TFileStream out(ChangeFileExt(fileName, ".INT"), fmCreate);
    out.WriteString(head);
}

void CreateINTsForDir(const std::string& folder) {
    const std::string dir = IncludeTrailingBackslash(folder);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*.pas").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    struct Closer {
        HANDLE h;
        ~Closer() { FindClose(h); }
    } closer{h};
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::printf("%s\n", fd.cFileName);
        CreateIntFile(dir + fd.cFileName);
    } while (FindNextFileA(h, &fd));
}

// ---------------------------------------------------------------- literal search

namespace {
std::vector<std::string> FindFiles(const std::string& dir, const char* pattern, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = fd.cFileName;
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name == "." || name == ".." || isFolder != folders)
            continue;
        names.push_back(name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool HasLetter(const std::string& s) {
    for (char c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return true;
    return false;
}

struct TConstantSearcher {
    std::string Marker = "don't resource";
    TNameSet Excluded;
    std::vector<std::string> Result;
    bool Recursive = false;

    void SearchFile(const std::string& dir, const std::string& name) {
        std::printf("%s\n", name.c_str());
        const std::string text = ReadFileText(dir + name);
        TOffsetParser parser;
        parser.SetText(text);
        int32_t skipDepth = 0, reportedLine = -1;
        bool any = false;
        while (parser.NextToken() != tokEof) {
            const std::string raw = parser.RawTokenString();
            if (parser.TokenKind() == tokComment) {
                if (SameText(raw, "//BeginSkipConst"))
                    ++skipDepth;
                if (SameText(raw, "//EndSkipConst"))
                    --skipDepth;
                continue;
            }
            if (parser.TokenKind() != tokString || skipDepth > 0)
                continue;
            if (raw.size() <= 3 || parser.LineNo() == reportedLine || !HasLetter(raw))
                continue;
            const size_t from = parser.TokenOffset();
            size_t eol = text.find_first_of("\r\n", from);
            if (eol == std::string::npos)
                eol = text.size();
            if (text.substr(from, eol - from).find(Marker) != std::string::npos)
                continue;
            if (raw.size() >= 4 && raw.front() == '\'' && raw.back() == '\'' && raw[1] == '{' &&
                raw[raw.size() - 2] == '}')
                continue;
            reportedLine = parser.LineNo();
            any = true;
            Result.push_back(dir + name + "  Line " + std::to_string(parser.LineNo() + 1) + " " + raw);
        }
        if (any)
            Result.push_back(" ");
    }

    void SearchFolder(const std::string& dir) {
        for (const std::string& name : FindFiles(dir, "*.pas", false))
            if (!Excluded.count(name))
                SearchFile(dir, name);
        if (Recursive)
            for (const std::string& sub : FindFiles(dir, "*", true))
                SearchFolder(dir + sub + "\\");
    }
};
} // namespace

bool SearchNotResourcedStrings(const std::string& folder, const std::string& resultFile,
                               const std::string& excludedFile, bool recursive) {
    TConstantSearcher searcher;
    searcher.Recursive = recursive;
    searcher.Result = {"", "Directory :  " + folder};
    if (!excludedFile.empty() && FileExists(excludedFile)) {
        TStringList names;
        names.LoadFromFile(excludedFile);
        std::vector<std::string> listed;
        for (int i = 0; i < names.Count(); ++i) {
            const std::string n = Trim(names[i]);
            if (n.empty())
                continue;
            listed.push_back(n);
            searcher.Excluded.insert(ExtractFileName(n));
        }
        if (!listed.empty()) {
            searcher.Result.push_back("Not processed files:");
            for (const auto& n : listed)
                searcher.Result.push_back(std::string(20, ' ') + n);
        }
    }
    searcher.Result.push_back("");
    searcher.SearchFolder(IncludeTrailingBackslash(folder));

    std::string target = resultFile;
    if (ExtractFilePath(target).empty()) {
        char module[MAX_PATH * 2] = {};
        GetModuleFileNameA(nullptr, module, sizeof module);
        target = ExtractFilePath(module) + target;
    }
    TStringList lines;
    for (const auto& l : searcher.Result)
        lines.Add(l);
    lines.SaveToFile(target);
    return true;
}

// ---------------------------------------------------------------- conditional removal

std::string HSRemoveIfDefsEx(const std::string& source, const std::string& defines,
                             const std::string& ignoredDefines, const std::string& unitPaths,
                             bool followIncludes, const TIfDefFileCallback& callback) {
    TIfDefParser parser;
    FillNames(parser.Defines(), defines);
    TNameSet ignored;
    FillNames(ignored, ignoredDefines);
    parser.SetIgnoreDefines(ignored);
    parser.LoadUnitPaths(unitPaths);
    if (callback)
        parser.OnFileConfirm = callback;
    if (followIncludes) {
        parser.SetParsedFileName(source);
        parser.SetText(std::string());
        parser.ParseIncludeFile(source, true);
    } else {
        parser.SetText(source);
    }
    std::string result;
    int32_t lastLine = 0;
    while (parser.NextValidToken() != tokEof) {
        if (parser.LineNo() != lastLine)
            result += "\r\n";
        lastLine = parser.LineNo();
        // Literals stay as written: their value alone would no longer be source text.
        result += parser.RawTokenString();
    }
    return result;
}

std::string HSRemoveIfDefs(const std::string& source, const std::string& defines,
                           const std::string& ignoredDefines, const std::string& unitPaths,
                           bool followIncludes) {
    return HSRemoveIfDefsEx(source, defines, ignoredDefines, unitPaths, followIncludes, nullptr);
}

std::string LoadAndParseIfDefs(const std::string& fileName, const std::string& defines,
                               const std::string& ignoredDefines, const std::string& unitPaths) {
    return HSRemoveIfDefsEx(fileName, defines, ignoredDefines, unitPaths, true, nullptr);
}
