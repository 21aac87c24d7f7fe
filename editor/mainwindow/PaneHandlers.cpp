// Handlers of the main window's panes: the editor gutter, the structure view beside the editor,
// the pop-up of the results, structure and scratch memos, the resource window's sheets with the
// list of open documents and the shell list's commands.
#include "editor/mainwindow/MainForm.h"

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/ListView.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/ViewSetup.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "framework/ui/Clipbrd.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"

#include <shellapi.h>

void TZELQEForm::HSMemoClickGutter(TObject*, int32_t Line, int32_t ImageIndex, TShiftState Shift) {
    // A picture in the gutter (a bookmark of the user's, a message mark) keeps its own meaning.
    if (Closing() || ImageIndex > 0 || !(Shift & ssLeft))
        return;
    TCustomMemoSource* S = ActiveEditorSource();
    if (S && Line >= 0 && Line < S->GetStrCount())
        S->ToggleBookMarkForLine(10, Line);
}

void TZELQEForm::StructureMemo2MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    if (Closing())
        return;
    fileinfoclass* Doc = GetCurrentFileInfo();
    TCustomMemoSource* Structure = StructureMemo2->GetSource();
    TCustomMemoSource* Editor = ActiveEditorSource();
    if (!Doc || !Structure || !Editor)
        return;
    const int32_t Row = Structure->GetCurLine();
    const int32_t Line = Doc->GetStructureTarget(Row, 1);
    const int32_t Char = Doc->GetStructureTarget(Row, 2);
    if (Line > 0)
        Editor->JumpToLine(Line - 1);
    if (Char > 0)
        Editor->JumpToChar(Char - 1);
    if (FindTextStyle(StructureMemo2, StructLineStyleName) < 0)
        AddMessageLineStyles(StructureMemo2, 1);
    fileinfoclass::ClearLineStyles(Structure);
    Structure->SetLineTextStyle(Row, FindTextStyle(StructureMemo2, StructLineStyleName));
    // The line the structure points at lights up for a moment, then takes its own style again.
    const int32_t Target = Editor->GetCurLine();
    const int32_t Lit = FindTextStyle(ActiveEditorMemo, StructLineStyleName);
    if (Line > 0 && Lit >= 0 && Target < Editor->GetStrCount()) {
        const int32_t Old = Editor->GetLineTextStyle(Target);
        Editor->SetLineTextStyle(Target, Lit);
        ActiveEditorMemo->Update();
        Sleep(150);
        Editor->SetLineTextStyle(Target, Old);
    }
    FocusEditor();
}

void TZELQEForm::GenericMemoPopupPopup(TObject*) {
    auto* Memo = dynamic_cast<THSMemo*>(GenericMemoPopup->PopupComponent);
    TCustomMemoSource* S = Memo ? Memo->GetSource() : nullptr;
    if (!S)
        return;
    const bool Writable = !S->GetReadOnly();
    const bool Selected = !Memo->GetSelText().empty();
    SetEnabled("GenericMemoPopupPaste", Clipboard().HasFormat(CF_TEXT) && Writable);
    SetEnabled("GenericMemoPopupCut", Selected && Writable);
    SetEnabled("GenericMemoPopupCopy", Selected);
    SetEnabled("GenericMemoPopupSelectAll", S->GetStrCount() > 0);
}

void TZELQEForm::ResourcePageControlChange(TObject*) {
    if (Closing())
        return;
    RefreshResults(GetCurrentFileInfo(), 65);
    FillOpenedList();
    FocusEditor();
}

void TZELQEForm::FillOpenedList() {
    // Out of sight the list waits: the shell's pictures are slow the first time they are asked for.
    if (!OpenedListStale || Closing() || VertSplit1->SplitterWidth() == 0 ||
        ResourcePageControl->ActivePage() != OpenedTabSheet)
        return;
    OpenedListStale = false;
    if (!SystemImageList) {
        AttachSystemImageList();
        if (SystemImageList)
            OpenedListView->SetSmallImageHandle(SystemImageList);
    }
    OpenedListView->BeginUpdate();
    OpenedListView->Clear();
    PointerArrayManager& Docs = p->vol->documents;
    for (int32_t I = 0; I < Docs.count(); ++I) {
        auto* Doc = static_cast<fileinfoclass*>(Docs.at(I));
        if (!Doc)
            continue;
        const char* Full = Doc->GetName(2);
        const std::string Name = Full ? Full : "";
        const std::string File = ExtractFileNamePart(Name.c_str()).getString();
        const std::string Folder =
            Doc->IsDiskFile() ? Name.substr(0, Name.size() - File.size()) : std::string();
        // The picture comes from the name alone; the disk is not read for it.
        SHFILEINFOA Info{};
        int Image = -1;
        if (SystemImageList && SHGetFileInfoA(Name.c_str(), FILE_ATTRIBUTE_NORMAL, &Info, sizeof Info,
                                              SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
            Image = Info.iIcon;
        OpenedListView->Add({File, Folder}, Doc, Image);
    }
    OpenedListView->EndUpdate();
}

void TZELQEForm::OpenedListViewClick(TObject*) {
    if (Closing())
        return;
    const int Row = OpenedListView->Selected();
    auto* Doc = Row >= 0 ? static_cast<fileinfoclass*>(OpenedListView->ItemData(Row)) : nullptr;
    const int32_t Index = Doc ? p->vol->documents.find(Doc) : -1;
    if (Index >= 0) {
        StateFlags |= 2;
        SelectTab(GetActiveTabControl(), Index, 2);
        StateFlags &= ~2u;
    }
    FocusEditor();
}

void TZELQEForm::ShellListRefreshClick(TObject*) {
    if (Closing())
        return;
    ShellList->RefreshItems();
    ShellTree->RefreshNodes();
}

void TZELQEForm::ShellListNewFolderClick(TObject*) {
    if (!Closing())
        ShellList->CreateNewFolder(true);
}
