#pragma once
// Tokenizers over whole Object Pascal units: TModuleParser obeys conditional-compilation
// directives and returns only the tokens of active regions; THSIncludeParser also follows
// include directives into the included files and records resource directives.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/textmodel/LanguageParsers.h"

class TStream;

// The items of a list separated by ';' (unit paths, name lists), trimmed, empty ones dropped.
std::vector<std::string> SplitSemicolonList(const std::string& text);

struct TNoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using TNameSet = std::set<std::string, TNoCaseLess>;

class TModuleParser : public TDelphiParser {
    ZEL_DECLARE_CLASS(TModuleParser)
public:
    static constexpr int32_t MaxNestedLevels = 32;

    explicit TModuleParser(TComponent* owner = nullptr);

    // Starts reading `text` (kept by the parser) from its first line; drops saved positions and
    // open conditional levels. The defines are kept.
    virtual void SetText(const std::string& text);
    // The lines are read as one text joined by line breaks.
    void SetLines(const std::vector<std::string>& lines);

    // The set is shared with the positions saved while it held; changing it through this
    // reference leaves theirs as it was, so that popping a position restores the defines too.
    TNameSet& Defines();
    const TNameSet& Defines() const { return *FDefines; }
    const TNameSet& IgnoreDefines() const { return FIgnoreDefines; }
    void SetIgnoreDefines(const TNameSet& names) { FIgnoreDefines = names; }
    static bool IsDirective(const std::string& word);

    int32_t NextToken() override;
    // A string token gives the value of the literal; others their text.
    std::string TokenString() const override;
    // The literal as written, whatever the token kind.
    std::string RawTokenString() const { return TCustomHSParser::TokenString(); }
    void UpdateLinePtr() override {}
    void SetLinePos(int32_t line) override { FLineNo = line; }

    int32_t Level() const { return FExtra2; }
    bool GetSkipFlag(int32_t level) const;
    void SetSkipFlag(int32_t level, bool value);

    virtual void ParseIncludeFile(const std::string& name, bool isInclude);

protected:
    int32_t ParseComment() override;
    bool LevelSkipped(int32_t level) const { return level >= 0 && GetSkipFlag(level); }
    std::unique_ptr<TTokenData> GetTokenDataClass() const override;
    void StateToTokenData(TTokenData& d) const override;
    void TokenDataToState(const TTokenData& d) override;

    std::string FText;

private:
    std::shared_ptr<TNameSet> FDefines;
    TNameSet FIgnoreDefines;
};

enum THSStoreOperation : uint8_t { soAdd, soRelease };

class THSIncludeParser;

// One included file's whole text, followed by a 0 character.
struct THSIncludeBuffer {
    std::string FileName;
    std::string Text;
};
using THSIncludeBufferPtr = std::shared_ptr<THSIncludeBuffer>;

// A saved position of a module parser: the defines too, as a DEFINE or UNDEF read after it
// found them.
struct TModuleTokenData : TTokenData {
    std::shared_ptr<TNameSet> Defines;
};

// A saved position that also remembers which include buffers came and went after it, so
// popping it puts the buffer list back as it was.
struct THSIncludeTokenData : TModuleTokenData {
    ~THSIncludeTokenData() override;
    void ProcessSinglePop(TCustomHSParser& parser) override;
    std::vector<std::pair<THSIncludeBufferPtr, THSStoreOperation>> Operations;
    THSIncludeParser* Parser = nullptr;
    // An include read but not yet opened at the saved position: undoing a peek that opened it
    // must make it wait again.
    THSIncludeBufferPtr Pending;
    const char* PendingPos = nullptr;
};

// (var file name, var consider empty): change the name to search again, or set consider empty
// to skip the include.
using THSFileConfirm = std::function<void(std::string& fileName, bool& considerEmpty)>;

class THSIncludeParser : public TModuleParser {
    ZEL_DECLARE_CLASS(THSIncludeParser)
public:
    explicit THSIncludeParser(TComponent* owner = nullptr);
    ~THSIncludeParser() override;

    // Splits at ';' and gives every part a trailing backslash.
    void LoadUnitPaths(const std::string& text);
    std::vector<std::string>& UnitPaths() { return FUnitPaths; }

    void SetParsedFileName(const std::string& name) { FParsedFileName = name; }
    virtual std::string GetParsedFileName() const { return FParsedFileName; }

    // Upper-cased names of the files met, each with true for an include and false for a resource.
    const std::map<std::string, bool>& IncludedFiles() const { return FIncludedFiles; }
    size_t IncludeDepth() const { return FBuffers.size(); }
    // The names of the included files open now, outermost first.
    std::vector<std::string> OpenIncludeFiles() const;
    // Includes that were not followed because the file was already open further up.
    const std::vector<std::string>& SkippedCycles() const { return FSkippedCycles; }

    THSFileConfirm OnFileConfirm;

    void SetText(const std::string& text) override;
    int32_t NextToken() override;
    void ParseIncludeFile(const std::string& name, bool isInclude) override;
    void AddIncludeFile(const std::string& name, bool isInclude);
    void AddIncludeStream(TStream& stream);
    bool PopIncludeStream();
    bool StoreOperation(const THSIncludeBufferPtr& buffer, THSStoreOperation operation);

protected:
    virtual void DoFileConfirm(std::string& fileName, bool& considerEmpty);
    std::unique_ptr<TTokenData> GetTokenDataClass() const override;
    void StateToTokenData(TTokenData& d) const override;
    void TokenDataToState(const TTokenData& d) override;

private:
    friend struct THSIncludeTokenData;
    void AddIncludeBuffer(THSIncludeBufferPtr buffer);
    void SwitchTo(const THSIncludeBufferPtr& buffer);
    bool TryIncludePath(const std::string& path, bool isInclude);
    bool OnIncludePath(const std::string& fullName) const;

    std::string FParsedFileName;
    std::vector<std::string> FUnitPaths;
    std::vector<THSIncludeBufferPtr> FBuffers;
    std::map<std::string, bool> FIncludedFiles;
    std::vector<std::string> FSkippedCycles;
    // Saved positions alive on the base's stack, oldest first.
    mutable std::vector<THSIncludeTokenData*> FRecords;
    // An include met inside a directive comment opens once that comment token is complete.
    THSIncludeBufferPtr FPending;
    const char* FPendingPos = nullptr;
    std::string FNextBufferName;
    int32_t FScanDepth = 0;
};
