// The main window's controls as the layout makes them: speed bar, panes, editor area, results
// area and status bar. Only creation is here; their positions follow the settings in
// MainFormLayout.cpp.
#include "editor/mainwindow/MainForm.h"

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/ToolbarPictures.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/StdCtrls.h"

TSpeedButton* TZELQEForm::AddButton(TWinControl* Parent, const std::string& Name, int Left, int Top, int Size,
                                    const std::string& Hint, TNotifyEvent Handler) {
    auto* B = new TSpeedButton(this);
    B->SetName(Name);
    B->SetParent(Parent);
    B->SetBounds(Left, Top, Size, Size);
    B->SetFlat(true);
    B->SetHint(Hint);
    B->SetShowHint(true);
    // A button whose command is built elsewhere stays disabled until then.
    if (Handler)
        B->OnClick = std::move(Handler);
    else
        B->SetEnabled(false);
    FButtons[Name] = B;
    return B;
}

TPanel* TZELQEForm::AddPanel(TWinControl* Parent, const std::string& Name, TAlign Align, int Size) {
    auto* P = new TPanel(this);
    P->SetName(Name);
    P->SetParent(Parent);
    if (Align == TAlign::alLeft || Align == TAlign::alRight)
        P->SetWidth(Size);
    else if (Align == TAlign::alTop || Align == TAlign::alBottom)
        P->SetHeight(Size);
    P->SetAlign(Align);
    P->SetBevelOuter(TBevelCut::bvNone);
    return P;
}

THSMemo* TZELQEForm::AddMemo(TWinControl* Parent, const std::string& Name, TCustomMemoSource* Source) {
    auto* M = new THSMemo(this);
    M->SetName(Name);
    M->SetParent(Parent);
    M->SetAlign(TAlign::alClient);
    if (Source)
        M->SetSource(Source);
    return M;
}

TPanel* TZELQEForm::AddHintPanel(TWinControl* Parent, const std::string& Name, const std::string& Text) {
    auto* P = new TPanel(this);
    P->SetName(Name);
    P->SetParent(Parent);
    P->SetAlign(TAlign::alClient);
    P->SetBevelOuter(TBevelCut::bvNone);
    P->SetColor(clWindow);
    P->SetCaption(Text);
    P->SetWordWrap(true);
    P->SetCursor(crHandPoint);
    P->OnClick = [this](TObject* S) { ToolsValidateClick(S); };
    return P;
}

void TZELQEForm::BuildSpeedBar() {
    Bevel = new TBevel(this);
    Bevel->SetName("Bevel");
    Bevel->SetParent(this);
    Bevel->SetHeight(2);
    Bevel->SetShape(TBevelShape::bsTopLine);
    Bevel->SetAlign(TAlign::alTop);
    SpeedBarPanel = new TPanel(this);
    SpeedBarPanel->SetName("SpeedBarPanel");
    SpeedBarPanel->SetParent(this);
    SpeedBarPanel->SetHeight(30);
    SpeedBarPanel->SetAlign(TAlign::alTop);
    SpeedBarPanel->SetBevelOuter(TBevelCut::bvNone);
    SpeedBarPanel->SetPopupMenu(SpeedBarPopupMenu);
    Panel8 = new TPanel(this);
    Panel8->SetName("Panel8");
    Panel8->SetParent(SpeedBarPanel);
    Panel8->SetWidth(30);
    Panel8->SetAlign(TAlign::alRight);
    Panel8->SetBevelOuter(TBevelCut::bvNone);
    Panel3 = new TPanel(this);
    Panel3->SetName("Panel3");
    Panel3->SetParent(SpeedBarPanel);
    Panel3->SetAlign(TAlign::alClient);
    Panel3->SetBevelOuter(TBevelCut::bvNone);
    struct TBtn {
        const char* Name;
        const char* Hint;
        TNotifyEvent Handler;
        bool GapAfter;
    };
    const TBtn Buttons[] = {
        {"FileNewBtn", "New", [this](TObject* S) { FileNewClick(S); }, false},
        {"FileOpenBtn", "Open", [this](TObject* S) { FileOpenClick(S); }, false},
        {"FileOpenFromTheWebBtn", "Open from the Web", nullptr, false},
        {"FileCloseBtn", "Close", [this](TObject* S) { FileCloseClick(S); }, false},
        {"FileSaveBtn", "Save", [this](TObject* S) { FileSaveClick(S); }, false},
        {"FileSaveAllBtn", "Save All", [this](TObject* S) { FileSaveAllClick(S); }, true},
        {"EditUndoBtn", "Undo", [this](TObject* S) { EditUndoClick(S); }, false},
        {"EditRedoBtn", "Redo", [this](TObject* S) { EditRedoClick(S); }, true},
        {"EditCutBtn", "Cut", [this](TObject* S) { EditCutClick(S); }, false},
        {"EditCopyBtn", "Copy", [this](TObject* S) { EditCopyClick(S); }, false},
        {"EditPasteBtn", "Paste", [this](TObject* S) { EditPasteClick(S); }, true},
        {"FilePrintBtn", "Print", [this](TObject* S) { FilePrintClick(S); }, true},
        {"SearchFindBtn", "Find", [this](TObject* S) { SearchFindClick(S); }, false},
        {"SearchReplaceBtn", "Replace", [this](TObject* S) { SearchReplaceClick(S); }, true},
        {"SpellCheckBigBtn", "Spell Check", [this](TObject* S) { SpellCheckClick(S); }, false},
        {"ValidateBigBtn", "Validate", [this](TObject* S) { ToolsValidateClick(S); }, false},
        {"ValidateModeBtn", "Validation Mode", [this](TObject* S) { ValidateModeBtnClick(S); }, false},
    };
    int X = 4;
    for (const TBtn& B : Buttons) {
        TSpeedButton* Btn = AddButton(Panel3, B.Name, X, 2, 25, B.Hint, B.Handler);
        if (!DrawButtonPicture(B.Name, Btn->Glyph()))
            Btn->SetCaption(std::string(1, B.Hint[0]));
        X += B.GapAfter ? 33 : 25;
    }
    TSpeedButton* Help = AddButton(Panel8, "HelpContentsBtn", 2, 2, 25, "Help Contents", nullptr);
    if (!DrawButtonPicture("HelpContentsBtn", Help->Glyph()))
        Help->SetCaption("?");
    Bevel2 = new TBevel(this);
    Bevel2->SetName("Bevel2");
    Bevel2->SetParent(this);
    Bevel2->SetHeight(2);
    Bevel2->SetShape(TBevelShape::bsTopLine);
    Bevel2->SetAlign(TAlign::alTop);
}

void TZELQEForm::BuildResultsArea(TWinControl* Parent) {
    Panel7 = new TPanel(this);
    Panel7->SetName("Panel7");
    Panel7->SetParent(Parent);
    Panel7->SetWidth(15);
    Panel7->SetAlign(TAlign::alRight);
    Panel7->SetBevelOuter(TBevelCut::bvNone);
    AddButton(Panel7, "SpeedButton2", 1, 1, 13, "Hide Results Window", nullptr)->SetCaption("x");
    ResultsPageControl = new TPageControl(this);
    ResultsPageControl->SetName("ResultsPageControl");
    ResultsPageControl->SetParent(Parent);
    ResultsPageControl->SetAlign(TAlign::alClient);
    ResultsPageControl->SetPopupMenu(ResultsPopupMenu);
    ResultsPageControl->OnChange = [this](TObject* S) { ResultsPageControlChange(S); };
    auto Sheet = [this](const char* Name, const char* Caption) {
        auto* S = new TTabSheet(this);
        S->SetName(Name);
        S->SetCaption(Caption);
        S->SetPageControl(ResultsPageControl);
        S->SetCreateWhenShown(true);
        return S;
    };
    MessagesSheet = Sheet("MessagesSheet", "Messages");
    TreeViewSheet = Sheet("TreeViewSheet", "Grouped Messages");
    StylesSheet = Sheet("StylesSheet", "Styles");
    LinksSheet = Sheet("LinksSheet", "Links");
    StructureSheet = Sheet("StructureSheet", "Structure");
    ScratchSheet = Sheet("ScratchSheet", "Scratch");

    ResultsMessageSplit = new TPaneSplitter(this);
    ResultsMessageSplit->SetName("ResultsMessageSplit");
    ResultsMessageSplit->SetParent(MessagesSheet);
    ResultsMessageSplit->SetAlign(TAlign::alClient);
    ResultsMessageSplit->OnSplitterDrop = [this](TObject* S) { ResultsMessageSplitSplitterDrop(S); };
    ResultsListView = new TListView(this);
    ResultsListView->SetName("ResultsListView");
    ResultsListView->SetParent(ResultsMessageSplit->Pane(0));
    ResultsListView->SetAlign(TAlign::alClient);
    ResultsListView->SetColumns({{"Type", 75}, {"Line", 40}, {"Message", 1200}});
    ResultsListView->SetSmallImages(ResultsImages);
    ResultsListView->SetPopupMenu(ResultsPopupMenu);
    ResultsListView->OnColumnClick = [this](TObject* S, int C) { ResultsListViewColumnClick(S, C); };
    ResultsListView->OnSelectItem = [this](TObject* S, int I, bool Sel) {
        ResultsListViewSelectItem(S, I, Sel);
    };
    ResultsListView->OnClick = [this](TObject* S) { ResultsListViewClick(S); };
    // The press comes before the list changes its selection and reports the click.
    ResultsListView->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
        if (Button == TMouseButton::mbLeft)
            ClickChoseMessage = false;
    };
    ResultsListView->OnEnter = [this](TObject* S) { ResultsListViewEnter(S); };
    MessagesPanel =
        AddHintPanel(ResultsMessageSplit->Pane(0), "MessagesPanel",
                     "You must first validate the document (F6 or click here) to see the messages.");
    MessageSource = new TMemoSource(this);
    MessageSource->SetROnly(true);
    ResultsMessageMemo = AddMemo(ResultsMessageSplit->Pane(1), "ResultsMessageMemo", MessageSource);

    // The two trees: each above its own message memo, all three memos showing one text.
    auto TreeSheet = [this](TTabSheet* Sheet, const char* SplitName, const char* TreeName,
                            const char* MemoName, TPaneSplitter*& Split, THSTree*& Tree, THSMemo*& Memo) {
        Split = new TPaneSplitter(this);
        Split->SetName(SplitName);
        Split->SetParent(Sheet);
        Split->SetAlign(TAlign::alClient);
        Split->OnSplitterDrop = [this](TObject* S) { ResultsMessageSplitSplitterDrop(S); };
        Tree = new THSTree(this);
        Tree->SetName(TreeName);
        Tree->SetParent(Split->Pane(0));
        Tree->SetAlign(TAlign::alClient);
        Tree->SetPopupMenu(ResultsPopupMenu);
        Tree->OnChange = [this](TObject* S, THSTreeNode* N) { ResultsTreeViewChange(S, N); };
        Tree->OnClick = [this](TObject* S) { ResultsTreeViewClick(S); };
        Tree->OnEnter = [this](TObject* S) { ResultsTreeViewEnter(S); };
        Memo = AddMemo(Split->Pane(1), MemoName, MessageSource);
    };
    TreeSheet(TreeViewSheet, "ResultsTreeViewSplit", "ResultsTreeView", "ResultsMessageMemo2",
              ResultsTreeViewSplit, ResultsTreeView, ResultsMessageMemo2);
    TreeSheet(StylesSheet, "StylesTreeViewSplit", "StyleMessagesTreeView", "ResultsMessageMemo3",
              StylesTreeViewSplit, StyleMessagesTreeView, ResultsMessageMemo3);
    ResultsTreeView->OnRightClickNode = [this](TObject* S, THSTreeNode* N, TRightClickAction& A) {
        ResultsTreeViewRightClickNode(S, N, A);
    };
    TreeViewPanel =
        AddHintPanel(ResultsTreeViewSplit->Pane(0), "TreeViewPanel",
                     "You must first validate the document (F6 or click here) to see the messages.");
    StylesPanel =
        AddHintPanel(StylesTreeViewSplit->Pane(0), "StylesPanel",
                     "You must first validate the document (F6 or click here) to see the messages.");
    BuildLinksSheet();
    BuildStructureSheet();
    BuildScratchSheet();
    // The message memos keep the width the user gave them when the window changes size.
    for (TPaneSplitter* S : {ResultsMessageSplit, ResultsTreeViewSplit, StylesTreeViewSplit})
        S->OnResize = [this, S](TObject*) { ApplyMessageMemoWidth(S); };
}

void TZELQEForm::BuildLayout() {
    SpeedBarPopupMenu = new TPopupMenu(this);
    SpeedBarPopupMenu->SetName("SpeedBarPopupMenu");
    ValidateModePopup = new TPopupMenu(this);
    ValidateModePopup->SetName("ValidateModePopup");
    BuildPanePopups();
    BuildSpeedBar();

    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetHeight(19);
    StatusBar->Panels = {{"", 70}, {"", 35}, {"", 85}, {"", 1600}};
    StatusBar->SetPopupMenu(StatusBarPopupMenu);

    HorzSplit1 = new TPaneSplitter(this);
    HorzSplit1->SetName("HorzSplit1");
    HorzSplit1->SetParent(this);
    HorzSplit1->SetStyle(TSplitStyle::Horizontal);
    HorzSplit1->SetAlign(TAlign::alClient);
    HorzSplit1->OnChange = [this](TObject*) {
        if (p && p->iface && HorzSplit1->Proportion() < 1.0 && LayoutReady)
            p->iface->horzSplit1Position = HorzSplit1->Extent() - HorzSplit1->Position();
    };

    VertSplit1 = new TPaneSplitter(this);
    VertSplit1->SetName("VertSplit1");
    VertSplit1->SetParent(HorzSplit1->Pane(0));
    VertSplit1->SetAlign(TAlign::alClient);
    VertSplit1->OnChange = [this](TObject*) {
        if (p && p->iface && VertSplit1->SplitterWidth() != 0 && LayoutReady)
            p->iface->paneSize1 = VertSplit1->Position();
    };

    // Resource window.
    MainResourceLocationPanel = AddPanel(VertSplit1->Pane(0), "MainResourceLocationPanel", TAlign::alTop, 15);
    BuildResourceButtons();
    ResourcePageControl = new TPageControl(this);
    ResourcePageControl->SetName("ResourcePageControl");
    ResourcePageControl->SetParent(VertSplit1->Pane(0));
    ResourcePageControl->SetAlign(TAlign::alClient);
    auto RSheet = [this](const char* Name, const char* Caption) {
        auto* S = new TTabSheet(this);
        S->SetName(Name);
        S->SetCaption(Caption);
        S->SetPageControl(ResourcePageControl);
        S->SetCreateWhenShown(true);
        return S;
    };
    ShellTabSheet = RSheet("ShellTabSheet", "Shell");
    OpenedTabSheet = RSheet("OpenedTabSheet", "Open");
    Structure2Sheet = RSheet("Structure2Sheet", "Structure");
    TreeStructureTabSheet = RSheet("TreeStructureTabSheet", "Tree");
    TreeStructureTabSheet->SetTabVisible(false);
    BuildResourceSheets();
    BuildShellPane();

    // Editor area.
    EditorVerticalPanel = AddPanel(VertSplit1->Pane(1), "EditorVerticalPanel", TAlign::alLeft, 19);
    BuildEditorButtons();
    WebSplitter = new TPaneSplitter(this);
    WebSplitter->SetName("WebSplitter");
    WebSplitter->SetParent(VertSplit1->Pane(1));
    WebSplitter->SetAlign(TAlign::alClient);
    EditorPanel = WebSplitter->Pane(0);
    EditorPanel->SetName("EditorPanel");
    WBPanel = WebSplitter->Pane(1);
    WBPanel->SetName("WBPanel");
    BuildBrowserToolRow();
    EditorSplitPanel = new TPaneSplitter(this);
    EditorSplitPanel->SetName("EditorSplitPanel");
    EditorSplitPanel->SetParent(EditorPanel);
    EditorSplitPanel->SetAlign(TAlign::alClient);
    auto Pane = [this](TWinControl* Parent, const char* MemoName, const char* TabsName, THSMemo*& Memo,
                       TTabControl*& Tabs) {
        Tabs = new TTabControl(this);
        Tabs->SetName(TabsName);
        Tabs->SetParent(Parent);
        Tabs->SetHeight(24);
        Tabs->SetAlign(TAlign::alBottom);
        Tabs->SetTabStop(false);
        Tabs->OnChange = [this](TObject* S) { TabControlChange(S); };
        Memo = new THSMemo(this);
        Memo->SetName(MemoName);
        Memo->SetParent(Parent);
        Memo->SetAlign(TAlign::alClient);
        Memo->SetTag(reinterpret_cast<intptr_t>(Tabs));
        Memo->OnEnter = [this](TObject* S) { HSMemoEnter(S); };
        Memo->OnStateChange = [this](TObject* S, TMemoStates St) { HSMemoStateChange(S, St); };
        Memo->OnClickGutter = [this](TObject* S, int32_t Line, int32_t Image, TShiftState Shift) {
            HSMemoClickGutter(S, Line, Image, Shift);
        };
        Memo->SetPopupMenu(EditorPopupMenu);
    };
    Pane(EditorSplitPanel->Pane(0), "HSMemo", "TabControl1", HSMemo, TabControl1);
    Pane(EditorSplitPanel->Pane(1), "HSMemo2", "TabControl2", HSMemo2, TabControl2);
    ActiveEditorMemo = HSMemo;
    // Panes that most sessions open late or never get their windows when first shown; the
    // sheets of both page controls do too.
    for (TPanel* P : {VertSplit1->Pane(0), EditorSplitPanel->Pane(1), WBPanel, EditorVerticalPanel})
        P->SetCreateWhenShown(true);

    BuildResultsArea(HorzSplit1->Pane(1));
}
