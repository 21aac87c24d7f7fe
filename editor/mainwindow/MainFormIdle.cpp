// The main window's status bar, its application events and the idle pass that keeps the commands'
// states, the queued commands and the update check going.
#include "editor/mainwindow/MainForm.h"

#include <optional>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLoading.h"
#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/Settings.h"
#include "editor/core/UpdateCheck.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/InterfaceBits.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/StageLog.h"
#include "editor/mainwindow/TagInserterForm.h"
#include "framework/ui/Clipbrd.h"

using namespace mainwindow;

int TZELQEForm::UpdateStatusPanels(int32_t Flags, bool Unchanged, bool ReadOnly) {
    if (Closing())
        return 1;
    auto State = [this](int32_t CacheBit, const char* Text) {
        if (StatusCache == CacheBit)
            return;
        StatusCache = CacheBit;
        StatusBar->SetPanelText(kStatePanel, Text);
    };
    if (Flags & StatusFromArguments)
        Flags |= ReadOnly ? StatusReadOnly : Unchanged ? StatusUnchanged : StatusChanged;
    if (Flags & StatusReadOnly)
        State(1, "READ ONLY");
    else if (Flags & StatusUnchanged)
        State(4, "UNCHANGED");
    else if (Flags & StatusChanged)
        State(2, "CHANGED");
    if (Flags & StatusInsertMode)
        StatusBar->SetPanelText(kInsertPanel, TCustomMemoSource::GetOverwrite() ? "OVR" : "INS");
    if ((Flags & StatusCaret) && ActiveEditorMemo) {
        TCustomMemoSource* S = ActiveEditorMemo->GetSource();
        StatusBar->SetPanelText(kCaretPanel, std::to_string(S->GetCurLine() + 1) + ": " +
                                                 std::to_string(S->GetCurChar() + 1));
    }
    if (Flags & StatusFromDocument) {
        fileinfoclass* Doc = GetCurrentFileInfo();
        bool Modified = Doc && Doc->memoSource && Doc->memoSource->Modified();
        if (Modified)
            State(2, "CHANGED");
        else
            State(4, "UNCHANGED");
    }
    return 0;
}

void TZELQEForm::AppHint(TObject*) {
    if (!Application)
        return;
    StatusBar->SetPanelText(kTextPanel, Application->Hint());
    if (Closing() || !Commands || !Screen)
        return;
    // An inserter window has no status bar of its own: its caption shows the hint of its items.
    for (const auto& [Record, Window] : Commands->Inserters)
        if (Window && Window->Visible() && Screen->ActiveForm() == Window)
            Window->SetCaption(Application->Hint());
}

void TZELQEForm::AppActivate(TObject*) {
    if (Closing())
        return;
    CheckChangedOnDisk(0);
    if (Bit(F(), 5))
        EnableHotKey(Handle(), 0);
}

void TZELQEForm::AppDeactivate(TObject*) {
    if (Closing())
        return;
    if (Bit(F(), 5)) {
        SetStatusText("Press F2 to return to ZEL Orvalent when it's not active.");
        EnableHotKey(Handle(), 1);
    }
}

void TZELQEForm::AppIdle(TObject*, bool& Done) {
    if (Splash) {
        TForm* S = Splash;
        Splash = nullptr;
        SplashForm = nullptr;
        delete S;
    }
    if (Closing() || !ActiveControl())
        return;
    auto* Focused = dynamic_cast<THSMemo*>(ActiveControl());
    THSMemo* Judged = Focused ? Focused : ActiveEditorMemo;
    bool NotMemo = Focused == nullptr;
    const bool FirstPass = !IdleHasRun;
    IdleHasRun = 1;
    if (p && p->vol) {
        // The files of the command line open in the first pass.
        std::optional<TStageTimer> Timer;
        if (FirstPass)
            Timer.emplace("start.files");
        ProcessCommandQueue(p->vol->commandQueue);
        if (FirstPass)
            DropPreloadedText();
    }
    if (Closing())
        return;
    // Once the first screen has painted, the views a validation fills are made, one per pass, so
    // that input between passes is still answered at once.
    if (!FirstPass && ViewsPrepared >= 0)
        Done = !PrepareNextView();
    bool AllSaved = p && p->vol && fileinfoclass::AreAllFilesSaved(&p->vol->documents) == 1;
    SetEnabled("FileSaveAll", !AllSaved);
    SetEnabled("FileSaveAllBtn", !AllSaved);
    TCustomMemoSource* S = Judged->GetSource();
    bool HasSel = !Judged->GetSelText().empty();
    bool Writable = !S->GetReadOnly();
    bool HasLines = S->GetStrCount() > 0;
    bool ClipText = Clipboard().HasFormat(CF_TEXT);
    auto Both = [this](const char* A, const char* B, bool On) {
        SetEnabled(A, On);
        if (B)
            SetEnabled(B, On);
    };
    Both("EditPaste", "EditPasteBtn", (ClipText && Writable) || NotMemo);
    Both("EditCut", "EditCutBtn", (HasSel && Writable) || NotMemo);
    Both("EditCopy", "EditCopyBtn", HasSel || NotMemo);
    Both("EditorPopupCut", nullptr, HasSel && Writable);
    Both("EditorPopupCopy", nullptr, HasSel);
    Both("EditSelectAll", nullptr, HasLines || NotMemo);
    Both("SearchFind", "SearchFindBtn", HasLines);
    Both("SearchReplace", "SearchReplaceBtn", HasLines && Writable);
    Both("ResultsPopupValidateHTML", nullptr, HasLines);
    fileinfoclass* Doc = GetCurrentFileInfo();
    bool DocLines = Doc && Doc->memoSource && Doc->memoSource->GetStrCount() > 0;
    Both("ToolsValidate", "ValidateBigBtn", DocLines);
    Both("EditRedo", "EditRedoBtn", S->RedoAvailable());
    Both("EditUndo", "EditUndoBtn", S->UndoAvailable() || NotMemo);
    Both("FileReload", "EditorPopupReload", Doc && Doc->IsDiskFile());
    Both("FileSave", "FileSaveBtn", Doc && Doc->IsEditable());
    Both("EditorPopupSelection", nullptr, HasSel);
    Both("IndentBtn", "UnindentBtn", HasSel && Writable);
    Both("TagsMenu", nullptr, Writable);
    Both("FilePrint", "FilePrintBtn", HasLines);
    if (Judged == ActiveEditorMemo)
        Both("ViewExternalBtn", "ViewExternalViewer", HasLines);
    Both("SearchFindAgain", nullptr, HasLines && !GetSearchOptions()->TextToFind.empty());
    for (const char* Tool : {"ToolsLowercase", "ToolsUppercase", "ToolsStrip", "ToolsTemplate"})
        Both(Tool, nullptr, HasLines && Writable);
    Both("ValidateBtn", nullptr, DocLines);
    bool CanSpell = CanSpellCheck(nullptr, 2) == 1;
    Both("SpellCheckBigBtn", "SpellCheckSmallBtn", CanSpell);
    Both("ToolsSpellCheck", nullptr, CanSpell);
    if (p && p->iface && Bit(F(), 12) && Commands && Commands->DropWindow && !Commands->DropWindow->Visible())
        Commands->UpdateDropWindow();
    if (p && p->vol && p->vol->updateCheckDue && p->config && (p->config->flags & OptAskUpdateCheck)) {
        p->vol->updateCheckDue = 0;
        if (ShowMessageBox(
                "It is recommended that you check for an update to ZEL Orvalent Lite v3.00. An Internet "
                "connection is required.\n\nIf you don't want to be asked this again, please uncheck "
                "the option to periodically ask to check for a new version. This option is in the General "
                "tab of the Editor Options.\n\nDo you want to check for an update (or new version) "
                "now? (Recommended)",
                "Orvalent: Check For Updates?", BoxQuestion | BoxNotInStatus) == IDYES)
            RunUpdateCheck(Handle(), 0x60);
        StoreLastUpdateCheck(16);
        FocusEditor();
        if (Closing())
            return;
    }
    StoreNormalBounds();
    // Not in the first pass: the main window paints its first screen before they come.
    if (Commands && !FirstPass)
        Commands->UpdateInserters(2);
}
