#include "controls/foundation/ShellFileOps.h"

#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"
#include "framework/core/Win.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Forms.h"

#include <shellapi.h>

#include "controls/foundation/PathUtils.h"

namespace {
const TEnumInfo FileOperationTypeInfo{{"foCopy", "foDelete", "foMove", "foRename"}};
const TEnumInfo FileOperationFlagInfo{{"ffAllowUndo", "ffFilesOnly", "ffNoConfirmation", "ffNoConfirmMkDir",
                                       "ffNoErrorUI", "ffRenameCollision", "ffSilent", "ffSimpleProgress"}};
} // namespace

ZEL_DEFINE_CLASS(THSFileOperation, TComponent,
                 {Prop::Object<THSFileOperation>("SourceFiles", &THSFileOperation::SourceFiles,
                                                 &THSFileOperation::SetSourceFiles),
                  Prop::String<THSFileOperation>("DestFolder", &THSFileOperation::DestFolder,
                                                 &THSFileOperation::SetDestFolder),
                  Prop::String<THSFileOperation>("ProgressTitle", &THSFileOperation::ProgressTitle,
                                                 &THSFileOperation::SetProgressTitle),
                  Prop::Enum<THSFileOperation>("Operation", &FileOperationTypeInfo,
                                               &THSFileOperation::Operation, &THSFileOperation::SetOperation)
                      .WithDefault(foCopy),
                  Prop::Set<THSFileOperation>("Options", &FileOperationFlagInfo, &THSFileOperation::Options,
                                              &THSFileOperation::SetOptions)
                      .WithDefault(DefaultFileOperationFlags)})

namespace {
constexpr uint32_t kShellCodes[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};
constexpr uint16_t kShellFlags[] = {FOF_ALLOWUNDO,      FOF_FILESONLY,     FOF_NOCONFIRMATION,
                                    FOF_NOCONFIRMMKDIR, FOF_NOERRORUI,     FOF_RENAMEONCOLLISION,
                                    FOF_SILENT,         FOF_SIMPLEPROGRESS};
// The shell's own code that fails the operation without an error of the platform behind it.
constexpr int32_t kQuietFailure = 18;

TShellFileResult PlatformShellFileOperation(const TShellFileRequest& r) {
    SHFILEOPSTRUCTA op{};
    op.hwnd = static_cast<HWND>(r.Window);
    op.wFunc = r.Function;
    op.pFrom = r.From.c_str();
    op.pTo = r.To.c_str();
    op.fFlags = r.Flags;
    op.lpszProgressTitle = r.ProgressTitle.c_str();
    TShellFileResult result;
    result.Code = SHFileOperationA(&op);
    result.Aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

THSFileOperation::TShellFileFunction gShellFileFunction = &PlatformShellFileOperation;

// Appends one entry of a zero-separated list.
void AddEntry(std::string& list, const std::string& entry) {
    list += entry;
    list += '\0';
}

void EndList(std::string& list) {
    if (list.empty())
        list += '\0';
    list += '\0';
}
} // namespace

THSFileOperation::THSFileOperation(TComponent* owner)
    : TComponent(owner), FSourceFiles(std::make_unique<TStringList>()) {}

THSFileOperation::~THSFileOperation() = default;

void THSFileOperation::SetSourceFiles(const TStrings* value) {
    FSourceFiles->Clear();
    if (value)
        FSourceFiles->AddStrings(value);
}

void THSFileOperation::SetShellFileFunction(TShellFileFunction f) {
    gShellFileFunction = f ? f : &PlatformShellFileOperation;
}

std::string THSFileOperation::GetSystemError(uint32_t code) {
    if (code == 0)
        return std::string();
    return SysErrorMessage(code);
}

bool THSFileOperation::Error(const std::string& text) {
    bool handled = false;
    if (!OnError)
        return false;
    OnError(this, text, handled);
    return handled;
}

bool THSFileOperation::MappingMode(TFileOperationType type) const {
    if (type == foDelete)
        return false;
    bool any = false;
    for (int i = 0; i < FSourceFiles->Count(); ++i) {
        const std::string line = FSourceFiles->Get(i);
        if (Trim(line).empty())
            continue;
        if (line.find('=') == std::string::npos)
            return false;
        any = true;
    }
    return any;
}

TShellFileRequest THSFileOperation::BuildRequest(TFileOperationType type) const {
    TShellFileRequest r;
    r.Window = DialogWindow();
    r.Function = kShellCodes[type];
    for (int i = 0; i < 8; ++i)
        if (FOptions & (1u << i))
            r.Flags |= kShellFlags[i];
    r.ProgressTitle = FProgressTitle;
    const bool mapping = MappingMode(type);
    if (mapping)
        r.Flags |= FOF_MULTIDESTFILES;
    for (int i = 0; i < FSourceFiles->Count(); ++i) {
        const std::string line = FSourceFiles->Get(i);
        // A blank entry would end the shell's list early, or name the current folder.
        if (Trim(line).empty())
            continue;
        if (!mapping) {
            AddEntry(r.From, line);
            continue;
        }
        const size_t eq = line.find('=');
        AddEntry(r.From, line.substr(0, eq));
        AddEntry(r.To, AddSlash(FDestFolder) + line.substr(eq + 1));
    }
    if (!mapping && !FDestFolder.empty())
        AddEntry(r.To, FDestFolder);
    EndList(r.From);
    EndList(r.To);
    return r;
}

void* THSFileOperation::DialogWindow() const {
    TComponent* owner = Owner();
    if (auto* win = dynamic_cast<TWinControl*>(owner))
        return win->Handle();
    if (auto* control = dynamic_cast<TControl*>(owner))
        if (TCustomForm* form = control->GetParentForm())
            if (form->HandleAllocated())
                return form->Handle();
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        return Application->MainForm()->Handle();
    return nullptr;
}

bool THSFileOperation::ExecuteOperation(TFileOperationType type) {
    FAborted = false;
    const TShellFileRequest request = BuildRequest(type);
    const TShellFileResult result = gShellFileFunction(request);
    FAborted = result.Aborted;
    if (result.Code != 0 && result.Code != kQuietFailure)
        Error(GetSystemError(uint32_t(result.Code)));
    // A stopped operation has not done what was asked, whatever the shell's code says.
    return result.Code == 0 && !result.Aborted;
}

bool DeleteFolder(const std::string& path) {
    if (path.empty() || !DirectoryExists(path))
        return true;
    std::string folder = path;
    if (folder.back() == '\\')
        folder.pop_back();
    // A drive root has no folder to delete; its contents are not ours to wipe.
    if (folder.empty() || ExtractFileName(folder).empty() || (folder.size() == 2 && folder[1] == ':'))
        return false;
    THSFileOperation op;
    op.SetOperation(foDelete);
    op.SourceFiles()->Add(folder);
    op.SetOptions(TFileOperationFlags((DefaultFileOperationFlags | FileOpFlag(ffNoConfirmation)) &
                                      ~(FileOpFlag(ffAllowUndo) | FileOpFlag(ffFilesOnly))));
    return op.Execute();
}

bool CopyFileList(const TStrings* list) {
    THSFileOperation op;
    op.SetOperation(foCopy);
    op.SetSourceFiles(list);
    return op.Execute();
}
