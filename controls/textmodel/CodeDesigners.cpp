#include "controls/textmodel/CodeDesigners.h"

#include <algorithm>
#include <cctype>

#include "framework/core/CharClass.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCodeDesigner, TComponent, {})
ZEL_DEFINE_CLASS(TStringsCodeDesigner, TCodeDesigner, {})
ZEL_DEFINE_CLASS(TScriptCodeDesigner, TStringsCodeDesigner, {})
ZEL_DEFINE_CLASS(TVbsCodeDesigner, TScriptCodeDesigner, {})
ZEL_DEFINE_CLASS(TBasicCodeDesigner, TVbsCodeDesigner, {})
ZEL_DEFINE_CLASS(TJsCodeDesigner, TScriptCodeDesigner, {})
ZEL_DEFINE_CLASS(TPerlCodeDesigner, TJsCodeDesigner, {})
ZEL_DEFINE_CLASS(TPythonCodeDesigner, TScriptCodeDesigner, {})
ZEL_DEFINE_CLASS(THTMLCodeDesigner, TStringsCodeDesigner, {})
ZEL_DEFINE_CLASS(TSqlCodeDesigner, TStringsCodeDesigner, {})
ZEL_DEFINE_CLASS(TUnitCodeDesigner, TStringsCodeDesigner, {})
ZEL_DEFINE_CLASS(TDelphiCodeDesigner, TUnitCodeDesigner, {})

namespace {
bool IsWordToken(int32_t kind) {
    return kind == tokIdentifier || kind == tokResWord;
}

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t eol = text.find("\r\n", start);
        lines.push_back(text.substr(start, eol == std::string::npos ? std::string::npos : eol - start));
        if (eol == std::string::npos)
            return lines;
        start = eol + 2;
    }
}

std::string JoinParams(TScriptCodeDesigner& d, const TMethodTypeData& t, const char* sep) {
    std::string s;
    for (size_t i = 0; i < t.Params.size(); ++i) {
        if (i)
            s += sep;
        s += d.ParamText(t.Params[i]);
    }
    return s;
}
} // namespace

// ---------------------------------------------------------------- TStringsCodeDesigner

TStringsCodeDesigner::TStringsCodeDesigner(TComponent* owner) : TCodeDesigner(owner) {}
TStringsCodeDesigner::~TStringsCodeDesigner() = default;

TStringsParser& TStringsCodeDesigner::Parser() {
    if (!FParser) {
        const TClass cls = GetSyntaxParserClass();
        TObject* made = cls ? cls->Create() : nullptr;
        auto* parser = dynamic_cast<TStringsParser*>(made);
        if (!parser) {
            delete made;
            throw Exception(ClassName() + " has no tokenizer for its text");
        }
        FParser.reset(parser);
    }
    return *FParser;
}

TCharSet TCodeDesigner::GetDelimiters() const {
    TCharSet set;
    for (int c = 0; c < 256; ++c)
        if (!IsIdentChar(char(c)))
            set.set(size_t(c));
    return set;
}

bool TStringsCodeDesigner::IdentsEqual(const std::string& a, const std::string& b) const {
    return SameText(a, b);
}

void TStringsCodeDesigner::SetLink(TComponent* link) {
    if (link == FLink)
        return;
    if (FLink)
        FLink->RemoveFreeNotification(this);
    FLink = link;
    if (FLink)
        FLink->FreeNotification(this);
    RefreshStrings();
}

void TStringsCodeDesigner::SetPropName(const std::string& name) {
    FPropName = name;
    RefreshStrings();
}

void TStringsCodeDesigner::Notification(TComponent* component, TOperation operation) {
    TCodeDesigner::Notification(component, operation);
    if (operation == opRemove && component == FLink)
        FLink = nullptr;
}

namespace {
TStrings* LinkedStrings(TComponent* link, const std::string& propName) {
    if (!link || propName.empty())
        return nullptr;
    const TPropInfo* info = GetPropInfo(link, propName);
    if (!info || info->Kind != tkClass)
        return nullptr;
    return dynamic_cast<TStrings*>(GetObjectProp(link, info));
}
} // namespace

bool TStringsCodeDesigner::RefreshStrings() {
    TStrings* strings = LinkedStrings(FLink, FPropName);
    if (!strings)
        return false;
    FLines.clear();
    for (int i = 0; i < strings->Count(); ++i)
        FLines.push_back(strings->Get(i));
    return true;
}

void TStringsCodeDesigner::SetStrings(const std::vector<std::string>& lines) {
    FLines = lines;
    StringsChanged();
}

void TStringsCodeDesigner::StringsChanged() {
    TStrings* strings = LinkedStrings(FLink, FPropName);
    if (!strings)
        return;
    strings->BeginUpdate();
    strings->Clear();
    for (const auto& line : FLines)
        strings->Add(line);
    strings->EndUpdate();
}

bool TStringsCodeDesigner::BeginScan() {
    if (FLines.empty())
        return false;
    TStringsParser& p = Parser();
    p.SetStrings(&FLines);
    p.ResetParser();
    return ScanStart();
}

bool TStringsCodeDesigner::NextMethodStart(std::string& previous) {
    TStringsParser& p = Parser();
    int32_t kind;
    while ((kind = p.NextValidToken()) != tokEof) {
        const std::string word = p.TokenString();
        if (IsWordToken(kind) && IsMethodStart(word, previous))
            return true;
        previous = word;
    }
    return false;
}

std::vector<TCodeRoutine> TStringsCodeDesigner::ScanRoutines() {
    std::vector<TCodeRoutine> routines;
    if (!BeginScan())
        return routines;
    TStringsParser& p = Parser();
    std::string previous;
    while (NextMethodStart(previous)) {
        TCodeRoutine r;
        r.Head = {p.GetTokenCharPos() + 1, p.LineNo()};
        if (!ScanMethodName(r)) {
            previous = p.TokenString(); // an unnamed routine is no event handler
            continue;
        }
        TCodePoint end;
        r.Empty = GetMethodEnd(end);
        r.EndLine = end.Y;
        routines.push_back(r);
        previous.clear();
    }
    return routines;
}

bool TStringsCodeDesigner::ScanMethodName(TCodeRoutine& r) {
    TStringsParser& p = Parser();
    if (!IsWordToken(p.NextValidToken()))
        return false;
    r.Name = p.TokenString();
    r.NamePos = {p.GetTokenCharPos() + 1, p.LineNo()};
    return true;
}

bool TStringsCodeDesigner::GetMethodEnd(TCodePoint& point) {
    TStringsParser& p = Parser();
    point = {0, -1};
    int32_t t = p.NextToken();
    if (p.IsTokenChar('(')) {
        for (int32_t depth = 1; depth > 0 && (t = p.NextToken()) != tokEof;) {
            if (p.IsTokenChar('('))
                ++depth;
            if (p.IsTokenChar(')'))
                --depth;
        }
        t = p.NextToken();
    }
    if (!BeginsAtHead()) {
        while (t != tokEof && !(t != tokComment && IsBlockBegin()))
            t = p.NextToken();
        if (t != tokEof)
            t = p.NextToken();
    }
    bool empty = true;
    for (int32_t level = 1; t != tokEof; t = p.NextToken()) {
        // Before IsBlockEnd, which may read on over a closing word pair.
        const TCodePoint at = {p.GetTokenCharPos() + 1, p.LineNo()};
        const int32_t end = IsBlockEnd();
        if (end == 2 || (end == 1 && --level == 0)) {
            point = at;
            return empty;
        }
        if (end == 0 && t != tokComment && IsBlockBegin())
            ++level;
        empty = false;
    }
    return false;
}

bool TStringsCodeDesigner::FindMethodStart(const std::string& name, TCodePoint& point) {
    if (!BeginScan())
        return false;
    TStringsParser& p = Parser();
    std::string previous;
    while (NextMethodStart(previous)) {
        const TCodePoint head = {p.GetTokenCharPos() + 1, p.LineNo()};
        TCodeRoutine r;
        p.PushState();
        const bool named = ScanMethodName(r);
        p.PopState();
        if (named && IdentsEqual(r.Name, name)) {
            point = head;
            return true;
        }
        // Past the routine, so that routines nested in it are not taken for handlers.
        if (!ScanMethodName(r)) {
            previous = p.TokenString();
            continue;
        }
        TCodePoint end;
        GetMethodEnd(end);
        previous.clear();
    }
    return false;
}

bool TStringsCodeDesigner::FindMethod(const std::string& name, TCodePoint& point) {
    if (!FindMethodStart(name, point))
        return false;
    TCodeRoutine r;
    return ScanMethodName(r);
}

bool TStringsCodeDesigner::MethodExists(const std::string& name) {
    TCodePoint p;
    return FindMethodStart(name, p);
}

int32_t TStringsCodeDesigner::GetMethodState(const std::string& name) {
    TCodePoint point;
    if (!FindMethod(name, point))
        return 1;
    return GetMethodEnd(point) ? 0 : 2;
}

void TStringsCodeDesigner::GetMethods(const TMethodTypeData*, std::vector<std::string>& list) {
    for (const auto& r : ScanRoutines())
        list.push_back(r.Name);
}

bool TStringsCodeDesigner::ShowMethod(const std::string& name) {
    for (const auto& r : ScanRoutines())
        if (IdentsEqual(r.Name, name)) {
            ShowSource({1, GetMethodStart(r)});
            return true;
        }
    return false;
}

bool TStringsCodeDesigner::CreateMethod(const std::string& name, const TMethodTypeData& typeData) {
    if (!ValidIdentifier(name) || MethodExists(name))
        return false;
    std::vector<std::string> lines;
    GetMethodTemplate(name, typeData, lines);
    if (lines.empty())
        return false;
    if (!FLines.empty() && !FLines.back().empty())
        FLines.push_back(std::string());
    FLines.insert(FLines.end(), lines.begin(), lines.end());
    StringsChanged();
    return true;
}

bool TStringsCodeDesigner::RenameMethod(const std::string& oldName, const std::string& newName) {
    if (!ValidIdentifier(newName))
        return false;
    for (const auto& r : ScanRoutines()) {
        if (!IdentsEqual(r.Name, oldName))
            continue;
        std::string& line = FLines[size_t(r.NamePos.Y)];
        line.replace(size_t(r.NamePos.X - 1), r.Name.size(), newName);
        StringsChanged();
        return true;
    }
    return false;
}

bool TStringsCodeDesigner::DeleteRoutine(const TCodeRoutine& r) {
    if (r.EndLine < 0 || !IsBlank(FLines[size_t(r.Head.Y)].substr(0, size_t(r.Head.X - 1))))
        return false;
    size_t from = size_t(r.Head.Y), to = size_t(r.EndLine) + 1;
    if (from > 0 && FLines[from - 1].empty())
        --from; // the separator CreateMethod put in front
    FLines.erase(FLines.begin() + std::ptrdiff_t(from), FLines.begin() + std::ptrdiff_t(to));
    return true;
}

bool TStringsCodeDesigner::DeleteMethod(const std::string& name) {
    for (const auto& r : ScanRoutines())
        if (IdentsEqual(r.Name, name)) {
            if (!DeleteRoutine(r))
                return false;
            StringsChanged();
            return true;
        }
    return false;
}

bool TStringsCodeDesigner::DoDeleteEmptyMethods() {
    // By position, not by name: another class's routine of the same name may have a body.
    for (const auto& r : ScanRoutines())
        if (r.Empty && DeleteRoutine(r))
            return true;
    return false;
}

void TStringsCodeDesigner::DeleteEmptyMethods() {
    bool deleted = false;
    while (DoDeleteEmptyMethods())
        deleted = true;
    if (deleted)
        StringsChanged();
}

bool TStringsCodeDesigner::ValidIdentifier(const std::string& name) {
    if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == '_'))
        return false;
    for (char c : name)
        if (!IsIdentChar(c))
            return false;
    const int32_t index = Parser().ResWordIndexOf(name);
    if (index < 0)
        return true;
    // A case-sensitive language reserves only the word as written.
    return Parser().CaseSensitive() && Parser().ResWords()[size_t(index)] != name;
}

void TStringsCodeDesigner::GetUsedUnits(std::vector<std::string>& list) {
    const std::string marker = GetUseUnitString();
    if (marker.empty())
        return;
    for (const auto& line : FLines) {
        const std::string t = Trim(line);
        if (t.size() > marker.size() && SameText(t.substr(0, marker.size()), marker))
            list.push_back(Trim(t.substr(marker.size())));
    }
}

void TStringsCodeDesigner::UseUnits(const std::vector<std::string>& list) {
    std::vector<std::string> used;
    GetUsedUnits(used);
    std::vector<std::string> added;
    for (const auto& unit : list) {
        auto same = [&](const std::string& u) { return SameText(u, unit); };
        if (Trim(unit).empty() || std::any_of(used.begin(), used.end(), same) ||
            std::any_of(added.begin(), added.end(), same))
            continue;
        added.push_back(unit);
    }
    std::vector<std::string> lines;
    for (const auto& unit : added)
        lines.push_back(GetUseUnitString() + unit);
    if (lines.empty())
        return;
    FLines.insert(FLines.begin(), lines.begin(), lines.end());
    StringsChanged();
}

bool TStringsCodeDesigner::RenameModule(const std::string& oldName, const std::string& newName) {
    const std::string marker = GetUseUnitString();
    if (marker.empty() || !ValidIdentifier(newName))
        return false;
    bool renamed = false;
    for (auto& line : FLines) {
        const size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || !SameText(line.substr(at, marker.size()), marker))
            continue;
        const size_t name = line.find_first_not_of(" \t", at + marker.size());
        if (name != std::string::npos && SameText(Trim(line.substr(name)), oldName)) {
            line.replace(name, Trim(line.substr(name)).size(), newName);
            renamed = true;
        }
    }
    if (renamed)
        StringsChanged();
    return renamed;
}

bool TStringsCodeDesigner::HasText() const {
    return std::any_of(FLines.begin(), FLines.end(), [](const std::string& l) { return !IsBlank(l); });
}

void TStringsCodeDesigner::FillWithTemplate(const std::string& name, bool force) {
    const std::string text = FileTemplate(name);
    if (text.empty())
        return;
    if (!force && HasText())
        return;
    FLines = SplitCrLf(text);
    StringsChanged();
}

// ---------------------------------------------------------------- script languages

std::string TScriptCodeDesigner::GetFuncName(const std::string& name, const TMethodTypeData& typeData) {
    if (typeData.Params.empty())
        return AlwaysUseBrackets() ? name + "()" : name;
    return name + "(" + JoinParams(*this, typeData, ", ") + ")";
}

TClass TVbsCodeDesigner::GetSyntaxParserClass() const {
    return TVBScriptParser::StaticClass();
}

bool TVbsCodeDesigner::IsMethodStart(const std::string& word, const std::string& previous) const {
    if (!SameText(word, "sub") && !SameText(word, "function"))
        return false;
    return !SameText(previous, "end") && !SameText(previous, "exit") && !SameText(previous, "declare");
}

int32_t TVbsCodeDesigner::IsBlockEnd() {
    TStringsParser& p = Parser();
    if (p.TokenKind() == tokComment || !SameText(p.TokenString(), "end"))
        return 0;
    std::string next;
    p.PeekValidTokenStr(next);
    if (!SameText(next, "sub") && !SameText(next, "function"))
        return 0;
    p.NextValidToken();
    return 2;
}

void TVbsCodeDesigner::GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                                         std::vector<std::string>& list) {
    const char* kind = typeData.HasResult() ? "Function" : "Sub";
    list.push_back(std::string(kind) + " " + GetFuncName(name, typeData));
    list.push_back(std::string());
    list.push_back(std::string("End ") + kind);
}

std::string TVbsCodeDesigner::TypeToString(const std::string& typeName) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {"TObject", "Object"},     {"Shortint", "Byte"},  {"Smallint", "Integer"}, {"Longint", "Longint"},
        {"Byte", "Byte"},          {"Word", "Integer"},   {"Cardinal", "Long"},    {"Integer", "Long"},
        {"Boolean", "Boolean"},    {"String", "String"},  {"Char", "Integer"},     {"AnsiChar", "String"},
        {"WideChar", "String"},    {"PChar", "String"},   {"Single", "Single"},    {"Double", "Double"},
        {"TDate", "Date"},         {"TDateTime", "Date"}, {"TTime", "Time"},       {"Currency", "Currency"},
        {"TShiftState", "Integer"}};
    for (const auto& t : kTypes)
        if (SameText(typeName, t.first))
            return t.second;
    return GetClass(typeName) ? "Object" : "Variant";
}

std::string TBasicCodeDesigner::ParamText(const TMethodParam& p) {
    const bool byRef = (p.Flags & (pfVar | pfOut)) != 0;
    return std::string(byRef ? "" : "ByVal ") + p.Name + " As " + TypeToString(p.TypeName);
}

TClass TJsCodeDesigner::GetSyntaxParserClass() const {
    return TJavaScriptParser::StaticClass();
}

bool TJsCodeDesigner::IsMethodStart(const std::string& word, const std::string&) const {
    return word == Keyword();
}

bool TJsCodeDesigner::IsBlockBegin() {
    return Parser().IsTokenChar('{');
}

int32_t TJsCodeDesigner::IsBlockEnd() {
    return Parser().IsTokenChar('}') ? 1 : 0;
}

void TJsCodeDesigner::GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                                        std::vector<std::string>& list) {
    list.push_back(Keyword() + " " + GetFuncName(name, typeData));
    list.push_back("{");
    list.push_back(std::string());
    list.push_back("}");
}

TClass TPerlCodeDesigner::GetSyntaxParserClass() const {
    return TPerlParser::StaticClass();
}

std::string TPerlCodeDesigner::GetFuncName(const std::string& name, const TMethodTypeData& typeData) {
    if (typeData.Params.empty())
        return name;
    return name + " # " + JoinParams(*this, typeData, ", ");
}

TClass TPythonCodeDesigner::GetSyntaxParserClass() const {
    return TPythonParser::StaticClass();
}

bool TPythonCodeDesigner::IsMethodStart(const std::string& word, const std::string&) const {
    return SameText(word, "def");
}

bool TPythonCodeDesigner::IsBlockBegin() {
    return Parser().IsTokenChar(':');
}

int32_t TPythonCodeDesigner::IsBlockEnd() {
    TStringsParser& p = Parser();
    return p.TokenKind() == tokComment && SameText(Trim(p.TokenString()), "#def") ? 2 : 0;
}

void TPythonCodeDesigner::GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                                            std::vector<std::string>& list) {
    list.push_back("def " + GetFuncName(name, typeData) + ":");
    list.push_back(std::string());
    list.push_back("#def");
}

TClass THTMLCodeDesigner::GetSyntaxParserClass() const {
    return THTMLParser::StaticClass();
}

std::string THTMLCodeDesigner::FileTemplate(const std::string& name) const {
    return Format("<html>\r\n\r\n<head>\r\n<title>%s</title>\r\n</head>\r\n\r\n<body>\r\n</body>\r\n</html>",
                  name.c_str());
}

// ---------------------------------------------------------------- SQL and Object Pascal

TClass TSqlCodeDesigner::GetSyntaxParserClass() const {
    return TSqlParser::StaticClass();
}

TClass TUnitCodeDesigner::GetSyntaxParserClass() const {
    return TDelphiParser::StaticClass();
}

std::string TUnitCodeDesigner::FileTemplate(const std::string& name) const {
    return Format("unit %s;\r\n\r\ninterface\r\n\r\nimplementation\r\n\r\nend.\r\n", name.c_str());
}

void TUnitCodeDesigner::GetUsedUnits(std::vector<std::string>& list) {
    if (FLines.empty())
        return;
    TStringsParser& p = Parser();
    p.SetStrings(&FLines);
    p.ResetParser();
    while (p.NextValidToken() != tokEof) {
        if (!SameText(p.TokenString(), "uses"))
            continue;
        int32_t k;
        while ((k = p.NextValidToken()) != tokEof && !p.IsTokenChar(';'))
            if (IsWordToken(k) && !SameText(p.TokenString(), "in"))
                list.push_back(p.TokenString());
        return;
    }
}

void TUnitCodeDesigner::UseUnits(const std::vector<std::string>& list) {
    std::vector<std::string> used;
    GetUsedUnits(used);
    std::string added;
    for (const auto& unit : list) {
        if (!ValidIdentifier(unit) ||
            std::any_of(used.begin(), used.end(), [&](const std::string& u) { return SameText(u, unit); }))
            continue;
        used.push_back(unit);
        added += (added.empty() ? "" : ", ") + unit;
    }
    if (added.empty())
        return;
    TStringsParser& p = Parser();
    p.SetStrings(&FLines);
    p.ResetParser();
    int32_t interfaceLine = -1;
    while (p.NextValidToken() != tokEof) {
        if (SameText(p.TokenString(), "implementation"))
            break;
        if (SameText(p.TokenString(), "interface") && interfaceLine < 0)
            interfaceLine = p.LineNo();
        if (!SameText(p.TokenString(), "uses"))
            continue;
        if (!p.SkipToChar(';'))
            return;
        FLines[size_t(p.LineNo())].insert(size_t(p.GetTokenCharPos()), ", " + added);
        StringsChanged();
        return;
    }
    if (interfaceLine < 0)
        return;
    FLines.insert(FLines.begin() + interfaceLine + 1, {std::string(), "uses " + added + ";"});
    StringsChanged();
}

bool TUnitCodeDesigner::RenameModule(const std::string& oldName, const std::string& newName) {
    if (FLines.empty() || !ValidIdentifier(newName))
        return false;
    TStringsParser& p = Parser();
    p.SetStrings(&FLines);
    p.ResetParser();
    // Positions first: renaming changes the lines under the parser.
    std::vector<TCodePoint> at;
    bool inUses = false;
    int32_t k;
    std::string previous;
    while ((k = p.NextValidToken()) != tokEof) {
        const std::string w = p.TokenString();
        if (inUses && p.IsTokenChar(';'))
            inUses = false;
        const bool heading =
            (SameText(previous, "unit") || SameText(previous, "program") || SameText(previous, "library")) &&
            at.empty();
        if (IsWordToken(k) && SameText(w, oldName) && (heading || (inUses && !SameText(previous, "in"))))
            at.push_back({p.GetTokenCharPos(), p.LineNo()});
        if (k == tokResWord && SameText(w, "uses"))
            inUses = true;
        previous = w;
    }
    for (auto it = at.rbegin(); it != at.rend(); ++it)
        FLines[size_t(it->Y)].replace(size_t(it->X), oldName.size(), newName);
    if (at.empty())
        return false;
    StringsChanged();
    return true;
}

std::string TDelphiCodeDesigner::OwnerClassName() const {
    return Owner() && !Owner()->Name().empty() ? "T" + Owner()->Name() : std::string();
}

std::string TDelphiCodeDesigner::ParamGroups(const TMethodTypeData& t, bool names) const {
    std::string out;
    for (size_t i = 0; i < t.Params.size();) {
        const TMethodParam& first = t.Params[i];
        std::string group = (first.Flags & pfVar)     ? "var "
                            : (first.Flags & pfConst) ? "const "
                            : (first.Flags & pfOut)   ? "out "
                                                      : "";
        group += names ? first.Name : "#";
        size_t j = i + 1;
        for (; j < t.Params.size() && t.Params[j].Flags == first.Flags &&
               SameText(t.Params[j].TypeName, first.TypeName);
             ++j)
            group += ", " + (names ? t.Params[j].Name : std::string("#"));
        group += ": " + std::string((first.Flags & pfArray) ? "Array of " : "") + first.TypeName;
        out += (out.empty() ? "" : "; ") + group;
        i = j;
    }
    return out;
}

std::string TDelphiCodeDesigner::DeclarationForm(const TMethodTypeData& t) {
    TDelphiCodeDesigner d;
    std::string s = d.ParamGroups(t, false), out;
    for (char c : s)
        if (c != ' ')
            out += c;
    return out;
}

std::string TDelphiCodeDesigner::CreateEventName(const std::string& name, const TMethodTypeData& t,
                                                 bool qualified) const {
    std::string head = t.HasResult() ? "function " : "procedure ";
    if (qualified && !OwnerClassName().empty())
        head += OwnerClassName() + ".";
    head += name;
    if (!t.Params.empty())
        head += "(" + ParamGroups(t, true) + ")";
    if (t.HasResult())
        head += ": " + t.ResultType;
    return head + ";";
}

bool TDelphiCodeDesigner::IsEqualDeclaration(const TCodeRoutine& r, const TMethodTypeData& t) const {
    return SameText(r.ParamForm, DeclarationForm(t));
}

void TDelphiCodeDesigner::GetMethodTemplate(const std::string& name, const TMethodTypeData& t,
                                            std::vector<std::string>& list) {
    list = {CreateEventName(name, t, true), "begin", std::string(), "end;"};
}

bool TDelphiCodeDesigner::ScanStart() {
    TStringsParser& p = Parser();
    while (p.NextValidToken() != tokEof)
        if (p.TokenKind() == tokResWord && SameText(p.TokenString(), "implementation"))
            return true;
    return false;
}

bool TDelphiCodeDesigner::IsMethodStart(const std::string& word, const std::string& previous) const {
    static const char* kStarts[] = {"procedure", "function", "constructor", "destructor"};
    if (std::none_of(std::begin(kStarts), std::end(kStarts),
                     [&](const char* s) { return SameText(word, s); }))
        return false;
    // "TEvent = procedure of object" and "X: function: Integer" are types, not routines.
    return previous != "=" && previous != ":" && !SameText(previous, "of");
}

bool TDelphiCodeDesigner::ScanMethodName(TCodeRoutine& r) {
    TStringsParser& p = Parser();
    if (!TStringsCodeDesigner::ScanMethodName(r))
        return false;
    p.PushState();
    const bool dotted = p.NextValidToken() != tokEof && p.IsTokenChar('.');
    p.PopState();
    if (dotted) {
        p.NextValidToken();
        if (!IsWordToken(p.NextValidToken()))
            return false;
        r.ClassName = r.Name;
        r.Name = p.TokenString();
        r.NamePos = {p.GetTokenCharPos() + 1, p.LineNo()};
    }
    r.ParamForm.clear();
    p.PushState();
    int32_t k = p.NextValidToken();
    if (p.IsTokenChar('(')) {
        bool afterColon = false;
        for (int32_t depth = 1; (k = p.NextValidToken()) != tokEof;) {
            if (p.IsTokenChar('('))
                ++depth;
            if (p.IsTokenChar(')') && --depth == 0)
                break;
            const std::string w = p.TokenString();
            const bool separator = p.IsTokenChar(':') || p.IsTokenChar(',') || p.IsTokenChar(';');
            r.ParamForm += (k == tokIdentifier && !afterColon && !separator) ? std::string("#") : w;
            if (p.IsTokenChar(':'))
                afterColon = true;
            if (p.IsTokenChar(';'))
                afterColon = false;
        }
    }
    p.PopState();
    return true;
}

bool TDelphiCodeDesigner::ReadBlock(bool& empty) {
    static const char* kOpeners[] = {"begin", "case", "try", "asm", "record"};
    TStringsParser& p = Parser();
    int32_t depth = 1;
    int32_t k;
    while ((k = p.NextToken()) != tokEof) {
        const std::string w = p.TokenString();
        if (k == tokResWord && SameText(w, "end")) {
            if (--depth == 0)
                return true;
        } else if (k == tokResWord && std::any_of(std::begin(kOpeners), std::end(kOpeners),
                                                  [&](const char* o) { return SameText(w, o); })) {
            ++depth;
        }
        empty = false;
    }
    return false;
}

bool TDelphiCodeDesigner::SkipNestedRoutine() {
    TCodeRoutine nested;
    if (!ScanMethodName(nested))
        return Parser().TokenKind() != tokEof;
    TCodePoint end;
    GetMethodEnd(end);
    return end.Y >= 0;
}

bool TDelphiCodeDesigner::GetMethodEnd(TCodePoint& point) {
    TStringsParser& p = Parser();
    point = {0, -1};
    int32_t k = p.NextValidToken();
    if (p.IsTokenChar('(')) {
        for (int32_t depth = 1; (k = p.NextValidToken()) != tokEof;) {
            if (p.IsTokenChar('('))
                ++depth;
            if (p.IsTokenChar(')') && --depth == 0)
                break;
        }
        k = p.NextValidToken();
    }
    // Result type and directives up to the head's end.
    std::string previous;
    for (;; k = p.NextValidToken()) {
        if (k == tokEof)
            return false;
        const std::string w = p.TokenString();
        if (k == tokResWord && (SameText(w, "begin") || SameText(w, "asm")))
            break;
        if (k == tokResWord && (SameText(w, "procedure") || SameText(w, "function")) && previous != ":") {
            if (!SkipNestedRoutine())
                return false;
            previous.clear();
            continue;
        }
        // A forward or external declaration has no body of its own.
        if (k == tokResWord && (SameText(w, "forward") || SameText(w, "external")))
            return false;
        if (k == tokResWord && (SameText(w, "end") || SameText(w, "implementation")))
            return false;
        previous = w;
    }
    bool empty = true;
    if (!ReadBlock(empty))
        return false;
    point = {p.GetTokenCharPos() + 1, p.LineNo()};
    return empty;
}

bool TDelphiCodeDesigner::GenerateCodeForComp(const std::string& unitName, const TUnitOfClass& unitOfClass) {
    TComponent* owner = Owner();
    if (!owner || owner->Name().empty() || !ValidIdentifier(unitName))
        return false;
    std::vector<std::string> units = {"Windows",  "Messages", "SysUtils", "Classes",
                                      "Graphics", "Controls", "Forms",    "Dialogs"};
    std::string fields;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (c->Name().empty())
            continue; // no field for an unnamed component
        const std::string unit = unitOfClass ? unitOfClass(c->ClassType()) : std::string();
        if (unit.empty())
            return false;
        if (std::none_of(units.begin(), units.end(), [&](const std::string& u) { return SameText(u, unit); }))
            units.push_back(unit);
        fields += "    " + c->Name() + ": " + c->ClassName() + ";\r\n";
    }
    std::string uses, line;
    for (const auto& unit : units) {
        if (line.empty()) {
            line = unit;
            continue;
        }
        if (line.size() > 60) {
            uses += line + ",\r\n";
            line = "     " + unit;
        } else {
            line += ", " + unit;
        }
    }
    uses += line;
    const std::string cls = OwnerClassName(), ownerClass = owner->ClassName();
    const std::string text = Format(
        "unit %s;\r\n\r\ninterface\r\n\r\nuses %s;\r\n\r\ntype\r\n  %s = class(%s)\r\n%s  private\r\n    "
        "{private declarations}\r\n  protected\r\n    {protected declarations}\r\n  public\r\n    {public "
        "declarations}\r\n  end;\r\n\r\nvar\r\n  %s: %s;\r\n\r\nimplementation\r\n\r\n{$R *.DFM}\r\n\r\nend.",
        unitName.c_str(), uses.c_str(), cls.c_str(), ownerClass.c_str(), fields.c_str(),
        owner->Name().c_str(), cls.c_str());
    FLines = SplitCrLf(text);
    StringsChanged();
    return true;
}

void TDelphiCodeDesigner::FillWithTemplate(const std::string& name, bool force) {
    // The form unit names the unit of every owned component's class, which our classes do not
    // record: without a source for those units only the plain unit can be written.
    if (!Owner() || !OnGetUnitOfClass) {
        TUnitCodeDesigner::FillWithTemplate(name, force);
        return;
    }
    if (!force && HasText())
        return;
    GenerateCodeForComp(name, OnGetUnitOfClass);
}

int32_t TDelphiCodeDesigner::FindClassDeclaration() const {
    const std::string cls = OwnerClassName();
    if (cls.empty())
        return -1;
    for (size_t i = 0; i < FLines.size(); ++i) {
        std::string t = UpperCase(FLines[i]);
        t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
        if (t.rfind(UpperCase(cls) + "=CLASS", 0) == 0)
            return int32_t(i);
    }
    return -1;
}

bool TDelphiCodeDesigner::CreateMethod(const std::string& name, const TMethodTypeData& t) {
    if (!ValidIdentifier(name) || MethodExists(name))
        return false;
    std::vector<std::string> body;
    GetMethodTemplate(name, t, body);
    // The body goes in front of the unit's closing "end.".
    size_t at = FLines.size();
    for (size_t i = FLines.size(); i-- > 0;)
        if (SameText(Trim(FLines[i]), "end.")) {
            at = i;
            break;
        }
    body.push_back(std::string());
    if (at > 0 && !Trim(FLines[at - 1]).empty())
        body.insert(body.begin(), std::string());
    FLines.insert(FLines.begin() + std::ptrdiff_t(at), body.begin(), body.end());
    // The declaration goes in front of the class's private section.
    const int32_t decl = FindClassDeclaration();
    if (decl >= 0)
        for (size_t i = size_t(decl) + 1; i < FLines.size(); ++i) {
            const std::string w = Trim(FLines[i]);
            if (SameText(w, "private") || SameText(w, "end;")) {
                FLines.insert(FLines.begin() + std::ptrdiff_t(i), "    " + CreateEventName(name, t, false));
                break;
            }
        }
    StringsChanged();
    return true;
}

bool TDelphiCodeDesigner::RenameMethod(const std::string& oldName, const std::string& newName) {
    if (!TStringsCodeDesigner::RenameMethod(oldName, newName))
        return false;
    const int32_t decl = FindClassDeclaration();
    if (decl < 0)
        return true;
    for (size_t i = size_t(decl) + 1; i < FLines.size(); ++i) {
        std::string& line = FLines[i];
        if (SameText(Trim(line), "end;"))
            break;
        const std::string t = TrimLeft(line);
        for (const char* kw : {"procedure ", "function "}) {
            const size_t n = std::char_traits<char>::length(kw);
            if (t.size() > n && SameText(t.substr(0, n), kw) &&
                SameText(TrimLeft(t.substr(n)).substr(0, oldName.size()), oldName)) {
                const size_t at =
                    line.size() - t.size() + n + (t.substr(n).size() - TrimLeft(t.substr(n)).size());
                const char after = at + oldName.size() < line.size() ? line[at + oldName.size()] : ';';
                if (IsIdentChar(after))
                    continue;
                line.replace(at, oldName.size(), newName);
                StringsChanged();
                return true;
            }
        }
    }
    return true;
}

void TDelphiCodeDesigner::GetMethods(const TMethodTypeData* t, std::vector<std::string>& list) {
    const std::string cls = OwnerClassName();
    for (const auto& r : ScanRoutines()) {
        if (!cls.empty() && !SameText(r.ClassName, cls))
            continue;
        if (t && !IsEqualDeclaration(r, *t))
            continue;
        list.push_back(r.Name);
    }
}

int32_t TDelphiCodeDesigner::FindFieldLine(const std::string& name) const {
    const int32_t decl = FindClassDeclaration();
    if (decl < 0)
        return -1;
    for (size_t i = size_t(decl) + 1; i < FLines.size(); ++i) {
        const std::string t = Trim(FLines[i]);
        if (SameText(t, "end;"))
            break;
        const size_t colon = t.find(':');
        if (colon != std::string::npos && SameText(Trim(t.substr(0, colon)), name))
            return int32_t(i);
    }
    return -1;
}

void TDelphiCodeDesigner::InsertComponent(TComponent* component, const std::string& name) {
    if (!component || !ValidIdentifier(name) || FindFieldLine(name) >= 0)
        return;
    const int32_t decl = FindClassDeclaration();
    if (decl < 0)
        return;
    for (size_t i = size_t(decl) + 1; i < FLines.size(); ++i) {
        const std::string w = UpperCase(Trim(FLines[i]));
        if (w == "PRIVATE" || w.rfind("FUNCTION", 0) == 0 || w.rfind("PROCEDURE", 0) == 0 || w == "END;") {
            FLines.insert(FLines.begin() + std::ptrdiff_t(i),
                          "    " + name + ": " + component->ClassType()->ClassName() + ";");
            StringsChanged();
            return;
        }
    }
}

void TDelphiCodeDesigner::DeleteComponent(TComponent* component) {
    if (!component)
        return;
    const int32_t line = FindFieldLine(component->Name());
    if (line < 0)
        return;
    FLines.erase(FLines.begin() + line);
    StringsChanged();
}

void TDelphiCodeDesigner::RenameComponent(TComponent* component, const std::string& name) {
    if (!component || !ValidIdentifier(name))
        return;
    if (component != Owner()) {
        const int32_t line = FindFieldLine(component->Name());
        if (line < 0)
            return;
        std::string& text = FLines[size_t(line)];
        const size_t at = text.find_first_not_of(" \t");
        text.replace(at, component->Name().size(), name);
        StringsChanged();
        return;
    }
    // Whole words only: TForm1 must not touch TForm10.
    const std::string oldClass = OwnerClassName(), newClass = "T" + name;
    auto replaceWord = [](std::string& line, const std::string& from, const std::string& to) {
        for (size_t at = 0; (at = UpperCase(line).find(UpperCase(from), at)) != std::string::npos;) {
            const bool startOk = at == 0 || !IsIdentChar(line[at - 1]);
            const size_t end = at + from.size();
            const bool endOk = from.back() == '.' || end >= line.size() || !IsIdentChar(line[end]);
            if (startOk && endOk) {
                line.replace(at, from.size(), to);
                at += to.size();
            } else {
                at = end;
            }
        }
    };
    const int32_t decl = FindClassDeclaration();
    if (decl >= 0)
        replaceWord(FLines[size_t(decl)], oldClass, newClass);
    for (auto& line : FLines) {
        const std::string t = Trim(line);
        const size_t colon = t.find(':');
        // The form's variable, "Form1: TForm1;".
        if (colon != std::string::npos && SameText(Trim(t.substr(0, colon)), component->Name()) &&
            SameText(Trim(t.substr(colon + 1)), oldClass + ";")) {
            replaceWord(line, oldClass, newClass);
            replaceWord(line, component->Name(), name);
        }
    }
    for (const auto& r : ScanRoutines())
        if (SameText(r.ClassName, oldClass))
            replaceWord(FLines[size_t(r.Head.Y)], oldClass + ".", newClass + ".");
    StringsChanged();
}
