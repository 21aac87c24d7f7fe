#pragma once
// The option objects of the text model: the editing settings that sources using global options
// copy, and the one search state shared by every source.

#include <cstdint>
#include <string>

#include "controls/foundation/OptionObjects.h"
#include "controls/textmodel/MemoSource.h"

class TMemoSourceOptions : public TOptionExt {
    ZEL_DECLARE_CLASS(TMemoSourceOptions)
public:
    std::string GetKey() const override { return "CodeEdit\\MemoSource\\"; }
    void InitValues() override;
    // Every source that uses global options reloads them.
    void Update() override;

    bool KeepTrailingBlanks() const { return FKeepTrailingBlanks; }
    void SetKeepTrailingBlanks(bool v);
    TStringsOptions Options() const { return FOptions; }
    void SetOptions(TStringsOptions v);
    std::string TabStops() const { return FTabStops; }
    // Raises "Invalid Tab Rack" (and keeps the old list) for a list no source could take.
    void SetTabStops(const std::string& v);
    std::string Delimeters() const { return FDelimeters; }
    void SetDelimeters(const std::string& v);
    int32_t BlockIndent() const { return FBlockIndent; }
    void SetBlockIndent(int32_t v);

private:
    void Changed();
    bool FKeepTrailingBlanks = false;
    TStringsOptions FOptions = kDefaultStringsOptions;
    std::string FTabStops = "9,17";
    std::string FDelimeters = "/{}+-*():=,;><$.#[]^@&~|%'";
    int32_t FBlockIndent = 1;
};

enum TSearchDirection : uint8_t { sdForward, sdBackward };
enum TSearchScope : uint8_t { ssGlobal, ssSelectedText };
enum TSearchOrigin : uint8_t { soFromCursor, soEntireScope };
enum TSearchWhere : uint8_t { swProjectFiles, swOpenFiles, swDirectories, swOther };

class TSearchOptions : public TOptionExt {
    ZEL_DECLARE_CLASS(TSearchOptions)
public:
    void InitValues() override;
    // Also carries the run state, so that a dialog's confirmed copy can ask for Replace All.
    void Assign(TPersistent* source) override;

    // Run state of the current series of searches. Deliberately not published: a stored
    // "replace all" would make a Find Next of a later session replace without asking.
    bool ShowNotFound = false;
    bool ReplaceAll = false;
    bool InReplace = false;
    bool FirstSearch = false;

    std::string TextToFind, ReplaceWith;
    bool PromptOnReplace = false, CaseSensitive = false, WholeWordsOnly = false, RegularExpr = false;
    TSearchDirection Direction = sdForward;
    TSearchScope Scope = ssGlobal;
    TSearchOrigin Origin = soEntireScope;
    TSearchWhere Where = swDirectories;
    std::string FileMask;
    bool IncludeSubDirs = false;

    // The text to find with every "&" doubled, for captions and messages.
    std::string GetDisplayTextToFind() const;

    // Accessors for the published properties.
    std::string GetTextToFind() const { return TextToFind; }
    void SetTextToFind(const std::string& v) { TextToFind = v; }
    std::string GetReplaceWith() const { return ReplaceWith; }
    void SetReplaceWith(const std::string& v) { ReplaceWith = v; }
    bool GetPromptOnReplace() const { return PromptOnReplace; }
    void SetPromptOnReplace(bool v) { PromptOnReplace = v; }
    bool GetCaseSensitive() const { return CaseSensitive; }
    void SetCaseSensitive(bool v) { CaseSensitive = v; }
    bool GetWholeWordsOnly() const { return WholeWordsOnly; }
    void SetWholeWordsOnly(bool v) { WholeWordsOnly = v; }
    bool GetRegularExpr() const { return RegularExpr; }
    void SetRegularExpr(bool v) { RegularExpr = v; }
    TSearchDirection GetDirection() const { return Direction; }
    void SetDirection(TSearchDirection v) { Direction = v; }
    TSearchScope GetScope() const { return Scope; }
    void SetScope(TSearchScope v) { Scope = v; }
    TSearchOrigin GetOrigin() const { return Origin; }
    void SetOrigin(TSearchOrigin v) { Origin = v; }
    TSearchWhere GetWhere() const { return Where; }
    void SetWhere(TSearchWhere v) { Where = v; }
    std::string GetFileMask() const { return FileMask; }
    void SetFileMask(const std::string& v) { FileMask = v; }
    bool GetIncludeSubDirs() const { return IncludeSubDirs; }
    void SetIncludeSubDirs(bool v) { IncludeSubDirs = v; }
};

// The shared instances (made, and loaded, on first use).
TMemoSourceOptions* GlobalMemoSourceOptions();
TSearchOptions* GetSearchOptions();

// Whether a source follows the shared editing options. Switching it on loads them at once.
bool GetUseGlobalOptions(const TCustomMemoSource& source);
void SetUseGlobalOptions(TCustomMemoSource& source, bool value);
// Copies options, tab stops, delimiters, block indent and the trailing-blanks flag from the
// shared instance.
void LoadGlobalOptions(TCustomMemoSource& source);
