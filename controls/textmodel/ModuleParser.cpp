#include "controls/textmodel/ModuleParser.h"

#include <algorithm>
#include <cstring>

#include "controls/foundation/HSResStrings.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TModuleParser, TDelphiParser, {})
ZEL_DEFINE_CLASS(THSIncludeParser, TModuleParser, {})

bool TNoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return CompareText(a, b) < 0;
}

namespace {
const TNameSet kDirectives = {"DEFINE", "ELSE",    "ENDIF", "I",        "IFDEF", "IFNDEF",
                              "IFOPT",  "INCLUDE", "R",     "RESOURCE", "UNDEF"};

bool IsAbsolutePath(const std::string& name) {
    return (name.size() > 1 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}
} // namespace

// ---------------------------------------------------------------- TModuleParser

TModuleParser::TModuleParser(TComponent* owner) : TDelphiParser(owner) {
    FDefines = std::make_shared<TNameSet>(TNameSet{"WIN32", "VER130"});
    SetText(std::string());
}

bool TModuleParser::IsDirective(const std::string& word) {
    return kDirectives.count(word) != 0;
}

TNameSet& TModuleParser::Defines() {
    if (FDefines.use_count() > 1)
        FDefines = std::make_shared<TNameSet>(*FDefines);
    return *FDefines;
}

std::unique_ptr<TTokenData> TModuleParser::GetTokenDataClass() const {
    return std::make_unique<TModuleTokenData>();
}

void TModuleParser::StateToTokenData(TTokenData& d) const {
    TDelphiParser::StateToTokenData(d);
    static_cast<TModuleTokenData&>(d).Defines = FDefines;
}

void TModuleParser::TokenDataToState(const TTokenData& d) {
    TDelphiParser::TokenDataToState(d);
    if (const auto& defines = static_cast<const TModuleTokenData&>(d).Defines)
        FDefines = defines;
}

void TModuleParser::SetText(const std::string& text) {
    // Dropping the saved positions keeps the defines as they are now.
    const std::shared_ptr<TNameSet> defines = FDefines;
    if (GetInternalState() >= 0)
        SetInternalState(0);
    FDefines = defines;
    FText = text;
    FLinePtr = FTokenStart = FPos = FText.c_str();
    FLineNo = 0;
    State = 0;
    FTokenKind = -1;
    FExtra1 = 0;
    FExtra2 = -1;
}

void TModuleParser::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += lines[i];
    }
    SetText(text);
}

bool TModuleParser::GetSkipFlag(int32_t level) const {
    return level >= 0 && level < MaxNestedLevels && ((uint32_t(FExtra1) >> level) & 1u) != 0;
}

void TModuleParser::SetSkipFlag(int32_t level, bool value) {
    if (level < 0 || level >= MaxNestedLevels)
        return;
    uint32_t bits = uint32_t(FExtra1);
    bits = value ? (bits | (1u << level)) : (bits & ~(1u << level));
    FExtra1 = int32_t(bits);
}

int32_t TModuleParser::NextToken() {
    for (;;) {
        int32_t kind = SimpleNextToken();
        if (kind == tokEof || !LevelSkipped(FExtra2))
            return kind;
    }
}

std::string TModuleParser::TokenString() const {
    std::string raw = RawTokenString();
    if (FTokenKind != tokString)
        return raw;
    std::string value;
    size_t i = 0;
    while (i < raw.size()) {
        if (raw[i] == '\'') {
            ++i;
            while (i < raw.size()) {
                if (raw[i] == '\'') {
                    if (i + 1 < raw.size() && raw[i + 1] == '\'') {
                        value += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += raw[i++];
            }
        } else if (raw[i] == '#') {
            ++i;
            uint32_t code = 0;
            while (i < raw.size() && raw[i] >= '0' && raw[i] <= '9')
                code = (code * 10 + uint32_t(raw[i++] - '0')) & 0xFFFF;
            value += char(uint8_t(code));
        } else {
            ++i;
        }
    }
    return value;
}

int32_t TModuleParser::ParseComment() {
    if (State != 0 || FPos[0] != '{' || FPos[1] != '$')
        return TDelphiParser::ParseComment();

    const char* open = FPos;
    const char* close = std::strchr(open, '}');
    // A token that starts at or after the closing brace is not part of this directive.
    auto inside = [&] { return FTokenKind != tokEof && (!close || FTokenStart < close); };

    // Blanks may be tokens of their own in some set-ups; here they only separate.
    auto nextWord = [&] {
        while (*FPos == ' ' || *FPos == '\t')
            ++FPos;
        return SimpleNextToken();
    };
    PushState();
    FPos = open + 2;
    State = 0;
    std::string includeName;
    bool follow = false, isInclude = false;

    int32_t kind = nextWord();
    std::string word = RawTokenString();
    if ((kind == tokIdentifier || kind == tokResWord) && inside() && IsDirective(word)) {
        nextWord();
        const bool hasArg = inside();
        const std::string arg = hasArg ? RawTokenString() : std::string();
        const char* argStart = FTokenStart;
        const std::string dir = UpperCase(word);
        const int32_t level = FExtra2;
        const bool skipped = LevelSkipped(level);

        if (dir == "DEFINE") {
            if (!skipped && hasArg && !FIgnoreDefines.count(arg))
                Defines().insert(arg);
        } else if (dir == "UNDEF") {
            if (!skipped && hasArg)
                Defines().erase(arg);
        } else if (dir == "IFDEF" || dir == "IFNDEF" || dir == "IFOPT") {
            const int32_t next = level + 1;
            if (next + 1 >= MaxNestedLevels)
                Error(Format(LoadResString(SErrMaxIfDefReached).c_str(), MaxNestedLevels));
            FExtra2 = next;
            bool skip;
            if (LevelSkipped(level))
                skip = true;
            else if (dir == "IFDEF")
                skip = !hasArg || !FDefines->count(arg);
            else if (dir == "IFNDEF")
                skip = hasArg && FDefines->count(arg);
            else
                skip = false;
            SetSkipFlag(next, skip);
        } else if (dir == "ELSE") {
            if (level < 0)
                Error(Format(LoadResString(SErrCompilerDirective).c_str(), "$ELSE"));
            if (!LevelSkipped(level - 1))
                SetSkipFlag(level, !GetSkipFlag(level));
        } else if (dir == "ENDIF") {
            if (level < 0)
                Error(Format(LoadResString(SErrCompilerDirective).c_str(), "$ENDIF"));
            SetSkipFlag(level, false);
            FExtra2 = level - 1;
        } else if (!skipped && hasArg && arg[0] != '+' && arg[0] != '-') {
            // I, INCLUDE, R, RESOURCE: a file name, unless the argument is a switch.
            std::string text =
                close ? std::string(argStart, size_t(close - argStart)) : std::string(argStart);
            text = Trim(text);
            text.erase(std::remove(text.begin(), text.end(), '\''), text.end());
            size_t blank = text.find(' ');
            if (blank != std::string::npos)
                text.resize(blank);
            includeName = text;
            follow = !includeName.empty();
            isInclude = dir == "I" || dir == "INCLUDE";
        }
    }

    // The directive's effect on the levels and the defines survives the return to the comment's
    // start.
    const int32_t skips = FExtra1, level = FExtra2;
    const std::shared_ptr<TNameSet> defines = FDefines;
    PopState();
    FExtra1 = skips;
    FExtra2 = level;
    FDefines = defines;
    int32_t result = TDelphiParser::ParseComment();
    if (follow)
        ParseIncludeFile(includeName, isInclude);
    return result;
}

void TModuleParser::ParseIncludeFile(const std::string&, bool) {}

// ---------------------------------------------------------------- THSIncludeTokenData

THSIncludeTokenData::~THSIncludeTokenData() {
    if (!Parser)
        return;
    auto& records = Parser->FRecords;
    auto it = std::find(records.begin(), records.end(), this);
    if (it != records.end())
        records.erase(it);
}

void THSIncludeTokenData::ProcessSinglePop(TCustomHSParser&) {
    if (!Parser)
        return;
    for (auto it = Operations.rbegin(); it != Operations.rend(); ++it) {
        if (it->second == soRelease) {
            Parser->FBuffers.push_back(it->first);
        } else if (!Parser->FBuffers.empty()) {
            Parser->FBuffers.pop_back();
        }
    }
    Operations.clear();
}

// ---------------------------------------------------------------- THSIncludeParser

THSIncludeParser::THSIncludeParser(TComponent* owner) : TModuleParser(owner) {}

THSIncludeParser::~THSIncludeParser() {
    // The base's saved positions outlive this part of the object.
    for (THSIncludeTokenData* r : FRecords)
        r->Parser = nullptr;
    FRecords.clear();
}

std::unique_ptr<TTokenData> THSIncludeParser::GetTokenDataClass() const {
    auto d = std::make_unique<THSIncludeTokenData>();
    d->Parser = const_cast<THSIncludeParser*>(this);
    FRecords.push_back(d.get());
    return d;
}

void THSIncludeParser::StateToTokenData(TTokenData& d) const {
    TModuleParser::StateToTokenData(d);
    auto& data = static_cast<THSIncludeTokenData&>(d);
    data.Pending = FPending;
    data.PendingPos = FPendingPos;
}

void THSIncludeParser::TokenDataToState(const TTokenData& d) {
    TModuleParser::TokenDataToState(d);
    const auto& data = static_cast<const THSIncludeTokenData&>(d);
    FPending = data.Pending;
    FPendingPos = data.PendingPos;
}

void THSIncludeParser::SetText(const std::string& text) {
    TModuleParser::SetText(text);
    FBuffers.clear();
    FPending.reset();
    FPendingPos = nullptr;
}

std::vector<std::string> SplitSemicolonList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = Trim(text.substr(start, end - start));
        if (!part.empty())
            items.push_back(std::move(part));
        start = end + 1;
    }
    return items;
}

void THSIncludeParser::LoadUnitPaths(const std::string& text) {
    for (const std::string& path : SplitSemicolonList(text))
        FUnitPaths.push_back(IncludeTrailingBackslash(path));
}

bool THSIncludeParser::StoreOperation(const THSIncludeBufferPtr& buffer, THSStoreOperation operation) {
    if (FRecords.empty())
        return false;
    FRecords.back()->Operations.emplace_back(buffer, operation);
    return true;
}

void THSIncludeParser::SwitchTo(const THSIncludeBufferPtr& buffer) {
    FLinePtr = FTokenStart = FPos = buffer->Text.c_str();
    FLineNo = 0;
    State = 0;
    FTokenKind = -1;
}

void THSIncludeParser::AddIncludeBuffer(THSIncludeBufferPtr buffer) {
    SoftPushState();
    SwitchTo(buffer);
    FBuffers.push_back(buffer);
    StoreOperation(buffer, soAdd);
}

void THSIncludeParser::AddIncludeStream(TStream& stream) {
    auto buffer = std::make_shared<THSIncludeBuffer>();
    buffer->FileName = FNextBufferName;
    FNextBufferName.clear();
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    buffer->Text.resize(size_t(size));
    if (size > 0)
        stream.ReadBuffer(&buffer->Text[0], int32_t(size));
    if (FScanDepth > 0) {
        // Inside the directive comment: open once the comment token has been handed out.
        FPending = buffer;
        FPendingPos = FPos;
    } else {
        AddIncludeBuffer(buffer);
    }
}

bool THSIncludeParser::PopIncludeStream() {
    if (FBuffers.empty())
        return false;
    if (!FRecords.empty() && FRecords.back()->Soft) {
        SinglePop();
        return true;
    }
    // The soft position saved when this buffer opened: nearer ones may belong to buffers that a
    // peek has already closed, and restoring one of those would read their including text twice.
    const THSIncludeBufferPtr& last = FBuffers.back();
    auto soft = std::find_if(FRecords.rbegin(), FRecords.rend(), [&](THSIncludeTokenData* r) {
        return r->Soft && std::any_of(r->Operations.begin(), r->Operations.end(),
                                      [&](const auto& op) { return op.first == last && op.second == soAdd; });
    });
    if (soft == FRecords.rend())
        return false;
    TokenDataToState(**soft);
    StoreOperation(FBuffers.back(), soRelease);
    FBuffers.pop_back();
    return true;
}

int32_t THSIncludeParser::NextToken() {
    for (;;) {
        if (FPending) {
            THSIncludeBufferPtr pending = std::move(FPending);
            FPending.reset();
            // Moved back before the directive (a peek was undone): it opens again when re-read.
            if (FPos == FPendingPos)
                AddIncludeBuffer(pending);
            FPendingPos = nullptr;
        }
        int32_t kind;
        {
            ++FScanDepth;
            struct Guard {
                int32_t& depth;
                ~Guard() { --depth; }
            } guard{FScanDepth};
            kind = TModuleParser::NextToken();
        }
        if (FPending)
            return kind;
        if (kind == tokEof && PopIncludeStream())
            continue;
        return kind;
    }
}

std::vector<std::string> THSIncludeParser::OpenIncludeFiles() const {
    std::vector<std::string> names;
    for (const auto& b : FBuffers)
        names.push_back(b->FileName);
    return names;
}

bool THSIncludeParser::OnIncludePath(const std::string& fullName) const {
    const std::string name = ExpandFileName(fullName);
    if (!FText.empty() && !GetParsedFileName().empty() && SameText(name, ExpandFileName(GetParsedFileName())))
        return true;
    for (const auto& b : FBuffers)
        if (SameText(name, ExpandFileName(b->FileName)))
            return true;
    return false;
}

void THSIncludeParser::AddIncludeFile(const std::string& name, bool isInclude) {
    if (!SameText(name, GetParsedFileName()))
        FIncludedFiles[UpperCase(name)] = isInclude;
    if (!isInclude)
        return;
    if (OnIncludePath(name)) {
        // Following it again would never end.
        FSkippedCycles.push_back(name);
        return;
    }
    TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
    FNextBufferName = name;
    AddIncludeStream(stream);
}

bool THSIncludeParser::TryIncludePath(const std::string& path, bool isInclude) {
    std::string candidate = path;
    if (ExtractFileName(path).find('*') != std::string::npos)
        candidate = ChangeFileExt(GetParsedFileName(), ExtractFileExt(path));
    if (!FileExists(candidate)) {
        if (!ExtractFileExt(candidate).empty())
            return false;
        candidate += isInclude ? ".pas" : ".res";
        if (!FileExists(candidate))
            return false;
    }
    AddIncludeFile(candidate, isInclude);
    return true;
}

void THSIncludeParser::ParseIncludeFile(const std::string& name, bool isInclude) {
    std::string fileName = name;
    for (;;) {
        if (IsAbsolutePath(fileName)) {
            if (TryIncludePath(fileName, isInclude))
                return;
        } else {
            if (TryIncludePath(ExtractFilePath(GetParsedFileName()) + fileName, isInclude))
                return;
            if (fileName.find('\\') == std::string::npos)
                for (const auto& path : FUnitPaths)
                    if (TryIncludePath(path + fileName, isInclude))
                        return;
        }
        if (!isInclude)
            return;
        bool considerEmpty = false;
        const std::string asked = fileName;
        DoFileConfirm(fileName, considerEmpty);
        if (considerEmpty)
            return;
        // A handler that neither skips nor names another file would ask forever.
        if (fileName == asked)
            Error(Format(LoadResString(SErrFileNotFound).c_str(), fileName.c_str()));
    }
}

void THSIncludeParser::DoFileConfirm(std::string& fileName, bool& considerEmpty) {
    if (!OnFileConfirm)
        Error(Format(LoadResString(SErrFileNotFound).c_str(), fileName.c_str()));
    OnFileConfirm(fileName, considerEmpty);
}
