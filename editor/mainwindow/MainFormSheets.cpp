// The main window's further sheets: the resource window's list of open documents, its structure
// view and structure tree; the results area's Structure and Scratch sheets; and the pop-up menus of
// those views; and what the structure views show of a validation. The sheets are made with the
// window and kept out of sight as the features step says; a setting that shows one finds it laid
// out.
#include "editor/mainwindow/MainForm.h"

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "engine/include/ZelValidator.h"

void TZELQEForm::BuildPanePopups() {
    auto Popup = [this](const char* Name) {
        auto* M = new TPopupMenu(this);
        M->SetName(Name);
        return M;
    };
    GenericMemoPopup = Popup("GenericMemoPopup");
    ShellListPopupMenu = Popup("ShellListPopupMenu");
    OpenedPopupMenu = Popup("OpenedPopupMenu");
    struct TRow {
        TPopupMenu* Menu;
        const char* Name;
        const char* Caption;
        void (TZELQEForm::*Handler)(TObject*);
    };
    const TRow Rows[] = {
        {GenericMemoPopup, "GenericMemoPopupCut", "Cu&t", &TZELQEForm::EditCutClick},
        {GenericMemoPopup, "GenericMemoPopupCopy", "&Copy", &TZELQEForm::EditCopyClick},
        {GenericMemoPopup, "GenericMemoPopupPaste", "&Paste", &TZELQEForm::EditPasteClick},
        {GenericMemoPopup, "GenericMemoPopupSelectAll", "Select &All", &TZELQEForm::EditSelectAllClick},
        {GenericMemoPopup, "GenericMemoPopupN1", "-", nullptr},
        {GenericMemoPopup, "GenericMemoPopupPrint", "&Print...", &TZELQEForm::FilePrintClick},
        {ShellListPopupMenu, "ShellListRefresh", "&Refresh", &TZELQEForm::ShellListRefreshClick},
        {ShellListPopupMenu, "ShellListNewFolder", "&New Folder", &TZELQEForm::ShellListNewFolderClick},
        {OpenedPopupMenu, "OpenedValidateAll", "Validate &All", &TZELQEForm::ToolsValidateAllClick},
        {OpenedPopupMenu, "OpenedRefresh", "&Refresh", nullptr},
    };
    for (const TRow& R : Rows) {
        TNotifyEvent Handler;
        if (R.Handler)
            Handler = [this, H = R.Handler](TObject* S) { (this->*H)(S); };
        AddMenuItem(R.Menu->Items(), R.Name, R.Caption, 0, std::move(Handler));
    }
    // The list follows the documents by itself; Refresh only makes sure of it.
    Item("OpenedRefresh")->OnClick = [this](TObject*) {
        OpenedListStale = true;
        FillOpenedList();
    };
    GenericMemoPopup->OnPopup = [this](TObject* S) { GenericMemoPopupPopup(S); };
}

void TZELQEForm::BuildResourceSheets() {
    OpenedListView = new TListView(this);
    OpenedListView->SetName("OpenedListView");
    OpenedListView->SetParent(OpenedTabSheet);
    OpenedListView->SetAlign(TAlign::alClient);
    OpenedListView->SetColumns({{"Name", 140}, {"Folder", 400}});
    OpenedListView->SetPopupMenu(OpenedPopupMenu);
    OpenedListView->OnClick = [this](TObject* S) { OpenedListViewClick(S); };
    StructureMemo2 =
        AddMemo(Structure2Sheet, "StructureMemo2", p && p->vol ? p->vol->structureSource : nullptr);
    StructureMemo2->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        StructureMemo2MouseUp(S, B, Sh, X, Y);
    };
    StructureTree = new THSTree(this);
    StructureTree->SetName("StructureTree");
    StructureTree->SetParent(TreeStructureTabSheet);
    StructureTree->SetAlign(TAlign::alClient);
    ResourcePageControl->OnChange = [this](TObject* S) { ResourcePageControlChange(S); };
}

void TZELQEForm::BuildStructureSheet() {
    // The hint runs across the sheet, above the list and the memo it speaks of.
    StructurePanel =
        AddHintPanel(StructureSheet, "StructurePanel",
                     "You must first validate the document (F6 or click here) to see the structure.");
    StructurePanel->SetAlign(TAlign::alTop);
    StructurePanel->SetHeight(24);
    StructureSplitter = new TPaneSplitter(this);
    StructureSplitter->SetName("StructureSplitter");
    StructureSplitter->SetParent(StructureSheet);
    StructureSplitter->SetAlign(TAlign::alClient);
    TagCountListView = new TListView(this);
    TagCountListView->SetName("TagCountListView");
    TagCountListView->SetParent(StructureSplitter->Pane(0));
    TagCountListView->SetAlign(TAlign::alClient);
    TagCountListView->SetColumns({{"Tag", 120}, {"Opened", 60}, {"Closed", 60}});
    StructureMemo =
        AddMemo(StructureSplitter->Pane(1), "StructureMemo", p && p->vol ? p->vol->structureSource : nullptr);
}

void TZELQEForm::BuildScratchSheet() {
    ScratchSplitter = new TPaneSplitter(this);
    ScratchSplitter->SetName("ScratchSplitter");
    ScratchSplitter->SetParent(ScratchSheet);
    ScratchSplitter->SetAlign(TAlign::alClient);
    ScratchPad1Memo =
        AddMemo(ScratchSplitter->Pane(0), "ScratchPad1Memo", p && p->vol ? p->vol->scratchPad1 : nullptr);
    ScratchPad2Memo =
        AddMemo(ScratchSplitter->Pane(1), "ScratchPad2Memo", p && p->vol ? p->vol->scratchPad2 : nullptr);
}

void TZELQEForm::ShowStructure(fileinfoclass* Doc) {
    if (Closing())
        return;
    // Every validation leaves the document's structure listing in its output text; without
    // results both structure memos show the hint.
    const bool Validated = Doc && Doc->resultsHandle >= 0;
    TCustomMemoSource* Listing = Validated && Doc->outputSource ? Doc->outputSource : p->vol->structureSource;
    for (THSMemo* M : {StructureMemo, StructureMemo2})
        if (M->GetSource() != Listing)
            M->SetSource(Listing);
    StructurePanel->SetVisible(!Validated);
    // The tag counts are read from the engine only for a sheet in sight; out of sight the list
    // forgets what it showed, as the engine may give the same handle to later results.
    const bool InSight = ResultsPageControl->ActivePage() == StructureSheet && HorzSplit1->Proportion() < 1.0;
    const int32_t Handle = Validated && InSight ? Doc->resultsHandle : -1;
    if (InSight && Doc == TagCountDocument && Handle == TagCountHandle)
        return;
    TagCountDocument = InSight ? Doc : nullptr;
    TagCountHandle = Handle;
    TagCountListView->BeginUpdate();
    TagCountListView->Clear();
    const int32_t Rows =
        Handle >= 0 && Engine.ZELGetIntegerEZ ? Engine.ZELGetIntegerEZ(Handle, ZELID_RESULT_TAGCOUNTROWS) : 0;
    for (int32_t Row = 1; Row <= Rows && Engine.ZELGetString2 && Engine.ZELGetInteger2EZ; ++Row) {
        const char* Name = Engine.ZELGetString2(Handle, ZELID_RESULTTAGCOUNTTAGNAME, Row);
        if (!Name)
            break;
        TagCountListView->Add(
            {Name, std::to_string(Engine.ZELGetInteger2EZ(Handle, ZELID_RESULTTAGCOUNTOPEN, Row)),
             std::to_string(Engine.ZELGetInteger2EZ(Handle, ZELID_RESULTTAGCOUNTCLOSE, Row))},
            nullptr);
    }
    TagCountListView->EndUpdate();
}
