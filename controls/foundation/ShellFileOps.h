#pragma once
// Copies, moves, renames and deletes groups of files and folders through the shell's
// file-operation service, with the shell's own progress window, confirmations and undo.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Strings.h"

enum TFileOperationType : uint8_t { foCopy, foDelete, foMove, foRename };

enum TFileOperationFlag : uint8_t {
    ffAllowUndo,
    ffFilesOnly,
    ffNoConfirmation,
    ffNoConfirmMkDir,
    ffNoErrorUI,
    ffRenameCollision,
    ffSilent,
    ffSimpleProgress,
};

// One bit per TFileOperationFlag, bit 0 first.
using TFileOperationFlags = uint8_t;
constexpr TFileOperationFlags FileOpFlag(TFileOperationFlag f) {
    return TFileOperationFlags(1u << f);
}
constexpr TFileOperationFlags DefaultFileOperationFlags =
    FileOpFlag(ffAllowUndo) | FileOpFlag(ffFilesOnly) | FileOpFlag(ffRenameCollision);

// (Sender, error text, var Handled)
using TFileProcessEvent = std::function<void(TObject* sender, const std::string& text, bool& handled)>;

// What goes to the shell for one operation: zero-separated lists, each ending with two zeros.
struct TShellFileRequest {
    void* Window = nullptr;
    uint32_t Function = 0; // the shell's operation code
    uint16_t Flags = 0;    // the shell's flags
    std::string From;
    std::string To;
    std::string ProgressTitle;
};

// The shell's answer: its return code and whether the user aborted.
struct TShellFileResult {
    int32_t Code = 0;
    bool Aborted = false;
};

class THSFileOperation : public TComponent {
    ZEL_DECLARE_CLASS(THSFileOperation)
public:
    explicit THSFileOperation(TComponent* owner = nullptr);
    ~THSFileOperation() override;

    TStringList* SourceFiles() const { return FSourceFiles.get(); }
    void SetSourceFiles(const TStrings* value);
    const std::string& DestFolder() const { return FDestFolder; }
    void SetDestFolder(const std::string& value) { FDestFolder = value; }
    const std::string& ProgressTitle() const { return FProgressTitle; }
    void SetProgressTitle(const std::string& value) { FProgressTitle = value; }
    TFileOperationType Operation() const { return FOperation; }
    void SetOperation(TFileOperationType value) { FOperation = value; }
    TFileOperationFlags Options() const { return FOptions; }
    void SetOptions(TFileOperationFlags value) { FOptions = value; }
    TFileProcessEvent OnError;

    bool Execute() { return ExecuteOperation(FOperation); }
    bool Copy() { return ExecuteOperation(foCopy); }
    bool Delete() { return ExecuteOperation(foDelete); }
    bool Move() { return ExecuteOperation(foMove); }
    bool Rename() { return ExecuteOperation(foRename); }
    // True when the user stopped the last operation.
    bool Aborted() const { return FAborted; }

    static std::string GetSystemError(uint32_t code);
    bool Error(const std::string& text);

    // Each line of SourceFiles is one path (never split further). Pairs "source=destination" are
    // mapped only when every line is a pair and the operation has destinations; a delete never is.
    bool MappingMode(TFileOperationType type) const;
    TShellFileRequest BuildRequest(TFileOperationType type) const;

    // The seam to the shell, replaceable by tests; nullptr restores the shell.
    using TShellFileFunction = TShellFileResult (*)(const TShellFileRequest&);
    static void SetShellFileFunction(TShellFileFunction f);

protected:
    virtual bool ExecuteOperation(TFileOperationType type);

private:
    void* DialogWindow() const;

    std::unique_ptr<TStringList> FSourceFiles;
    std::string FDestFolder;
    std::string FProgressTitle;
    TFileOperationType FOperation = foCopy;
    TFileOperationFlags FOptions = DefaultFileOperationFlags;
    bool FAborted = false;
};

// Deletes the folder with everything in it, without questions and without undo; true when the
// folder was missing or is gone.
bool DeleteFolder(const std::string& path);
// Copies by a list of "source=destination" lines.
bool CopyFileList(const TStrings* list);
