// The Tools menu: the engine's text tools on the current document, undoing the last tool,
// converting a file, viewing outside, and the outside style-sheet editor.
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/JobRunners.h"
#include "editor/core/PathHelpers.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ShellExec.h"
#include "shellcontrols/FileDialogs.h"

namespace {

constexpr uint32_t OptSaveBeforeOutside = 0x800;
constexpr const char* SaveTail =
    " Do you want to save this document now? (You can enable automatic saving in the "
    "Editor Options so that this question is not asked.)";

bool SavedAndUnchanged(fileinfoclass* Doc) {
    return Doc && Doc->IsDiskFile() && !(Doc->memoSource && Doc->memoSource->Modified());
}

std::string FileNameOf(fileinfoclass* Doc) {
    const char* Name = Doc ? Doc->GetName(2) : nullptr;
    return Name ? Name : "";
}

bool HasExtension(const std::string& Path) {
    const size_t Dot = Path.find_last_of('.');
    const size_t Slash = Path.find_last_of("\\/:");
    return Dot != std::string::npos && (Slash == std::string::npos || Dot > Slash) && Dot + 1 < Path.size();
}

// The outside style-sheet editor's program, from its registry entries; empty when it is not installed.
std::string FindStylewright() {
    StrStore Found;
    {
        QXRegistryEx Reg(0);
        Reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (Reg.OpenKeyReadOnly("SOFTWARE\\Kestrel\\Stylewright"))
            Reg.ReadString("CurrentProVersion", &Found, 0);
    }
    if (Found.isEmpty()) {
        QXRegistryEx Reg(0);
        Reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (Reg.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Stylewright2.exe"))
            Reg.ReadString("", &Found, 0);
    }
    return Found.getString() ? Found.getString() : "";
}

} // namespace

void TMainCommands::RunToolCommand(int32_t Tool) {
    RunTool(Tool, ToolTakeOutput);
}

int TMainCommands::SaveForOutsideProgram(const char* Question) {
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    if (!Doc)
        return 0;
    if (!SavedAndUnchanged(Doc)) {
        bool Save = p && p->config && (p->config->flags & OptSaveBeforeOutside);
        if (!Save)
            Save = Application->MessageBox(
                       "\"" + std::string(Doc->GetName(0x200)) + "\"" + Question + SaveTail,
                       "Orvalent: Save Now?", MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
        if (!Save)
            return 0;
        Form->FileSaveClick(nullptr);
        Doc = Form->GetCurrentFileInfo();
    }
    return SavedAndUnchanged(Doc) ? 1 : 0;
}

void TMainCommands::ViewExternalBtnClick() {
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    if (!Doc)
        return;
    if (!(SavedAndUnchanged(Doc) && HasExtension(FileNameOf(Doc))) &&
        !SaveForOutsideProgram(" must be saved before viewing."))
        return;
    Doc = Form->GetCurrentFileInfo();
    const std::string Path = FileNameOf(Doc);
    if (!HasExtension(Path)) {
        Form->ShowMessageBox(
            "This file must have a file extension before Windows knows how to view it with an "
            "external viewer.",
            "Orvalent: File Extension Required", BoxInformation);
        return;
    }
    OpenDocument(Form->Handle(), ("file://" + Path).c_str());
}

void TMainCommands::ValidateStyleSheetwithStylewright1Click() {
    if (!SaveForOutsideProgram(" must be saved before validating."))
        return;
    const std::string Path = FileNameOf(Form->GetCurrentFileInfo());
    const std::string Program = FindStylewright();
    if (Program.empty()) {
        Form->ShowMessageBox("This feature requires Stylewright Pro 2.0 or greater. A compatible version of "
                             "Stylewright was not found on this system. Please see the Kestrel web site "
                             "(http://www.kestrel-software.com/) for more information.",
                             "Orvalent: ", BoxInformation);
        return;
    }
    if (!ShellExecuteSeam("open", Program, "/v \"" + Path + "\"", "", SW_SHOWDEFAULT))
        Form->ShowMessageBox("An error occurred validating this document with Stylewright.",
                             "Orvalent: Could Not Validate Document", BoxStop);
}

void TMainCommands::ToolsConvertClick() {
    if (!p || !p->vol || !p->iface || !p->config || !p->tools)
        return;
    TNVOpenDlg& Dialog = *Form->NVOpenDialog;
    Dialog.DefaultExt =
        p->config->defaultFileExtension.getString() ? p->config->defaultFileExtension.getString() : "";
    Dialog.Filter = p->iface->combinedFilter.getString() ? p->iface->combinedFilter.getString() : "";
    Dialog.FilterIndex = p->iface->fileDialogFilterIndex;
    Dialog.Title = "Select File to Convert";
    // The last file converted names the folder the dialog starts in.
    Dialog.InitialDir.clear();
    Dialog.SetFilename(p->tools->lastToolFilename.getString() ? p->tools->lastToolFilename.getString() : "");
    // One file only, for this use.
    const TNVOpenOptions Saved = Dialog.Options;
    Dialog.Options &= ~static_cast<TNVOpenOptions>(nvofAllowMultiselect);
    bool Ok;
    {
        TScopeGuard Restore([&] { Dialog.Options = Saved; });
        Ok = Dialog.Execute();
    }
    if (!Ok || Dialog.GetFilename().empty())
        return;
    p->vol->fileToValidate = Dialog.GetFilename().c_str();
    p->iface->fileDialogFilterIndex = Dialog.FilterIndex;
    RunTool(5, ToolOnFile);
}

void TMainCommands::EditUndoLastMajorChangeClick() {
    fileinfoclass* Current = Form->GetCurrentFileInfo();
    if (!Current || Current->undoSlot < 0 || !Current->undoList)
        return;
    if (Current->memoSource && Current->memoSource->Modified() &&
        Application->MessageBox("You will lose your changes if you undo. Do you still want to undo?",
                                "Orvalent: Undo?", MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
        return;
    const char* Where = "TZELQEForm::EditUndoLastMajorChangeClick()";
    auto* Previous = static_cast<fileinfoclass*>(Current->undoList->at(Current->undoSlot));
    if (!Previous) {
        ShowEngineCallError(0, Where, "could not get fileundo");
        return;
    }
    PointerArrayManager* Files = Current->documentList;
    const int32_t Index = Files ? Files->find(Current) : -1;
    if (Index < 0) {
        ShowEngineCallError(0, Where, "could not get tabindex");
        return;
    }
    Current->tabIndex = Index;
    Previous->tabIndex = Index;
    if (Current->undoList->setPointer(Current->undoSlot, nullptr, false, false, true) != 1) {
        ShowEngineCallError(0, Where, "fileinfo->undofiles->setPointer() failed");
        return;
    }
    if (Files->setPointer(Index, Previous, false, false, true) != 1) {
        ShowEngineCallError(0, Where, "fileundo->filearray->setPointer() failed");
        return;
    }
    Previous->undoSlot = -1;
    Previous->undoList = nullptr;
    Previous->documentList = Files;
    // The text before the tool comes back as it was, changed or not.
    Previous->SetModifiedState(4);
    // The shared list's slots are the previous record's again.
    for (int32_t& Position : Current->listPositions) {
        if (Position >= 0 && Current->sharedList)
            Current->sharedList->setPointer(Position, Previous);
        Position = -1;
    }
    // Every pane that shows the tool's text shows the text before it, before that text goes.
    for (auto [Memo, Tabs] :
         {std::pair{Form->HSMemo, Form->TabControl1}, std::pair{Form->HSMemo2, Form->TabControl2}})
        if (Memo && Memo->GetSource() == Current->memoSource) {
            Form->SelectTab(Tabs, Index, 0);
            Form->UpdateTab(Tabs, Index);
        }
    Current->undoSlot = -1;
    delete Current;
    Form->RefreshResults(Previous, 0);
}
