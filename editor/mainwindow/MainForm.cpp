// Construction, layout, shared operations, status bar and idle processing of the main window.
#include "editor/mainwindow/MainForm.h"

#include <algorithm>
#include <optional>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoOptions.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLoading.h"
#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/Settings.h"
#include "editor/core/UpdateCheck.h"
#include "editor/core/ViewSetup.h"
#include "framework/core/ScopeGuard.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/core/ListView.h"
#include "editor/core/DrawingHold.h"
#include "editor/mainwindow/StageLog.h"
#include "editor/mainwindow/TagInserterForm.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/ToolbarPictures.h"
#include "framework/ui/Clipbrd.h"
#include "shellcontrols/FileDialogs.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

#include <shellapi.h>

ZEL_DEFINE_CLASS(TZELQEForm, TForm, {})

TZELQEForm* ZELQEForm = nullptr;
TForm* TZELQEForm::Splash = nullptr;

namespace {

bool Bit(uint32_t Word, int Index) {
    return (Word >> Index) & 1u;
}

uint32_t F() {
    return p && p->iface ? p->iface->flags : 0;
}

uint32_t F2() {
    return p && p->iface ? p->iface->flags2 : 0;
}

void SetOption(TMemoOptions& Options, TMemoOptions Option, bool On) {
    if (On)
        Options |= Option;
    else
        Options &= ~Option;
}

} // namespace

TZELQEForm::TZELQEForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("ZELQEForm");
    ZELQEForm = this;
    SetCaption("ZEL Orvalent");
    SetBounds(40, 40, 726, 820);
    SetPosition(TFormPosition::poDefault);
    Font().SetName("MS Sans Serif");
    Font().SetSize(8);
    SetKeyPreview(true);
    MemoSourceDefault = new TMemoSource(this);
    MemoSourceDefault->SetName("MemoSourceDefault");
    // The shell views of the resource window need the shell unit for their whole life.
    NVShellUtilsStart();
    ResultsImages = new TImageList(this);
    ResultsImages->SetName("ResultsImages");
    AddMessageKindPictures(*ResultsImages);
    BuildMenus();
    BuildLayout();
    BuildFileDialogs();
    Commands = new TMainCommands(this);
    Commands->BuildMenus();
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnResize = [this](TObject* S) { FormResize(S); };
    OnActivate = [this](TObject*) {
        if (!Closing())
            CheckChangedOnDisk(0);
    };
}

TZELQEForm::~TZELQEForm() {
    if (ZELQEForm == this)
        ZELQEForm = nullptr;
    EditorLink() = TEditorLink();
    ViewSetupHooks() = TViewSetupHooks();
    ConfigureSpellChecker("", 16);
    // The shell views go before the shell unit ends.
    delete ShellTree;
    delete ShellList;
    ShellTree = nullptr;
    ShellList = nullptr;
    NVShellUtilsEnd();
    // The bindings outlive the window in the state record; they must not reach its tab controls.
    if (p && p->vol)
        for (int32_t I = 0; I < p->vol->tabs.count(); ++I)
            if (auto* B = static_cast<tabinfoclass*>(p->vol->tabs.at(I)))
                B->tabControl = nullptr;
    for (THSMemo* M : {HSMemo, HSMemo2})
        if (M)
            M->SetSource(nullptr);
    if (Application) {
        Application->OnIdle = nullptr;
        Application->OnHint = nullptr;
        Application->OnActivate = nullptr;
        Application->OnDeactivate = nullptr;
    }
}

bool TZELQEForm::Closing() const {
    return !p || !p->vol || p->vol->closing;
}

TMenuItem* TZELQEForm::Item(const std::string& Name) const {
    auto It = FItems.find(Name);
    return It == FItems.end() ? nullptr : It->second;
}

TSpeedButton* TZELQEForm::Button(const std::string& Name) const {
    auto It = FButtons.find(Name);
    return It == FButtons.end() ? nullptr : It->second;
}

void TZELQEForm::SetEnabled(const std::string& Name, bool Enabled) {
    if (TMenuItem* I = Item(Name))
        I->SetEnabled(Enabled);
    else if (TSpeedButton* B = Button(Name))
        B->SetEnabled(Enabled);
}

void TZELQEForm::SetChecked(const std::string& Name, bool Checked) {
    if (TMenuItem* I = Item(Name))
        I->SetChecked(Checked);
}

void TZELQEForm::SetDown(const std::string& Name, bool Down) {
    if (TSpeedButton* B = Button(Name))
        B->SetDown(Down);
}

TSpeedButton* TZELQEForm::AddButton(TWinControl* Parent, const std::string& Name, int Left, int Size,
                                    const std::string& Hint, TNotifyEvent Handler) {
    auto* B = new TSpeedButton(this);
    B->SetName(Name);
    B->SetParent(Parent);
    B->SetBounds(Left, Size == 25 ? 2 : Left, Size, Size);
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

TPanel* TZELQEForm::AddHintPanel(TWinControl* Parent, const std::string& Name, const std::string& Text) {
    auto* P = new TPanel(this);
    P->SetName(Name);
    P->SetParent(Parent);
    P->SetAlign(TAlign::alClient);
    P->SetBevelOuter(TBevelCut::bvNone);
    P->SetColor(clWindow);
    P->SetCaption(Text);
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
        TSpeedButton* Btn = AddButton(Panel3, B.Name, X, 25, B.Hint, B.Handler);
        if (!DrawButtonPicture(B.Name, Btn->Glyph()))
            Btn->SetCaption(std::string(1, B.Hint[0]));
        X += B.GapAfter ? 33 : 25;
    }
    TSpeedButton* Help = AddButton(Panel8, "HelpContentsBtn", 2, 25, "Help Contents", nullptr);
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
    AddButton(Panel7, "SpeedButton2", 1, 13, "Hide Results Window", nullptr)->SetCaption("x");
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
    ResultsListView->OnEnter = [this](TObject* S) { ResultsListViewEnter(S); };
    MessagesPanel =
        AddHintPanel(ResultsMessageSplit->Pane(0), "MessagesPanel",
                     "You must first validate the document (F6 or click here) to see the messages.");
    ResultsMessageMemo = new THSMemo(this);
    ResultsMessageMemo->SetName("ResultsMessageMemo");
    ResultsMessageMemo->SetParent(ResultsMessageSplit->Pane(1));
    ResultsMessageMemo->SetAlign(TAlign::alClient);
    MessageSource = new TMemoSource(this);
    ResultsMessageMemo->SetSource(MessageSource);
    MessageSource->SetROnly(true);

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
        Memo = new THSMemo(this);
        Memo->SetName(MemoName);
        Memo->SetParent(Split->Pane(1));
        Memo->SetAlign(TAlign::alClient);
        Memo->SetSource(MessageSource);
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
    TagCountListView = new TListView(this);
    TagCountListView->SetName("TagCountListView");
    TagCountListView->SetParent(StructureSheet);
    TagCountListView->SetAlign(TAlign::alClient);
    StructurePanel =
        AddHintPanel(StructureSheet, "StructurePanel",
                     "You must first validate the document (F6 or click here) to see the structure.");
}

void TZELQEForm::BuildLayout() {
    SpeedBarPopupMenu = new TPopupMenu(this);
    SpeedBarPopupMenu->SetName("SpeedBarPopupMenu");
    ValidateModePopup = new TPopupMenu(this);
    ValidateModePopup->SetName("ValidateModePopup");
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

    // Resource window (its shell controls are not part of this program yet).
    MainResourceLocationPanel = new TPanel(this);
    MainResourceLocationPanel->SetName("MainResourceLocationPanel");
    MainResourceLocationPanel->SetParent(VertSplit1->Pane(0));
    MainResourceLocationPanel->SetHeight(15);
    MainResourceLocationPanel->SetAlign(TAlign::alTop);
    MainResourceLocationPanel->SetBevelOuter(TBevelCut::bvNone);
    AddButton(MainResourceLocationPanel, "SpeedButton1", 1, 13, "Hide Resource Window", nullptr)
        ->SetCaption("x");
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
    OpenedListView = new TListView(this);
    OpenedListView->SetName("OpenedListView");
    OpenedListView->SetParent(OpenedTabSheet);
    OpenedListView->SetAlign(TAlign::alClient);
    BuildShellPane();

    // Editor area.
    EditorVerticalPanel = new TPanel(this);
    EditorVerticalPanel->SetName("EditorVerticalPanel");
    EditorVerticalPanel->SetParent(VertSplit1->Pane(1));
    EditorVerticalPanel->SetWidth(19);
    EditorVerticalPanel->SetAlign(TAlign::alLeft);
    WebSplitter = new TPaneSplitter(this);
    WebSplitter->SetName("WebSplitter");
    WebSplitter->SetParent(VertSplit1->Pane(1));
    WebSplitter->SetAlign(TAlign::alClient);
    EditorPanel = WebSplitter->Pane(0);
    EditorPanel->SetName("EditorPanel");
    WBPanel = WebSplitter->Pane(1);
    WBPanel->SetName("WBPanel");
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

void TZELQEForm::FormCreate() {
    SetSplashStatus("Entering main form constructor...");
    if (p && p->vol)
        p->vol->normalBoundsValid = 0;
    StateFlags = 0;
    BindViewSetup();
    if (p && p->iface) {
        FitFormToScreen(this, &p->iface->mainFormLeft, &p->iface->mainFormTop, &p->iface->mainFormWidth,
                        &p->iface->mainFormHeight);
    }
    CreateSpellChecker();
    ConfigureSpellChecker("", 0);
    WebSplitter->SetStyle(Bit(F2(), 15) ? TSplitStyle::Horizontal : TSplitStyle::Vertical);
    // Features this program does not have.
    for (const char* Name :
         {"FileOpenFromTheWeb", "ToolsBatchWizard", "ViewFullScreen", "ViewSplitView", "ViewResource",
          "ViewExternalViewer", "ViewRefreshResourceWindow", "ViewLinkInfoPanel", "ViewWebBrowser",
          "OptionsHTMLConfigurationEditor", "OptionsConfiguration", "OptionsKeepWindowOnTop",
          "ResultsPopupCopyToClipboard", "ResultsPopupExportLinks", "ToolsValidateWithBatchWizard",
          "ToolsValidateAllWithBatchWizard"})
        if (TMenuItem* I = Item(Name))
            I->SetVisible(false);
    if (TSpeedButton* B = Button("ValidateModeBtn"))
        B->SetVisible(false);
    if (TSpeedButton* B = Button("FileOpenFromTheWebBtn"))
        B->SetEnabled(false);
    EditorVerticalPanel->SetVisible(false);
    for (TTabSheet* S : {StructureSheet, LinksSheet, ScratchSheet, TreeViewSheet, StylesSheet})
        S->SetTabVisible(false);
    ResultsPageControl->SetActivePage(MessagesSheet);

    SetSplashStatus("Initializing memos and tab controls...");
    for (THSMemo* M : {HSMemo, HSMemo2})
        InitEditorMemo(M, 0);
    for (THSMemo* M : {ResultsMessageMemo, ResultsMessageMemo2, ResultsMessageMemo3})
        InitEditorMemo(M, MemoBrowserSource);
    ActiveEditorMemo = HSMemo;
    // Both editor memos hold the styles at the same numbers, so a marked line reads the same in
    // either pane.
    EditorLink().errorLineStyle = FindTextStyle(HSMemo, ErrorLineStyleName);
    EditorLink().warningLineStyle = FindTextStyle(HSMemo, WarningLineStyleName);
    EditorLink().messageLineStyle = FindTextStyle(HSMemo, MessageLineStyleName);

    if (Application) {
        Application->OnIdle = [this](TObject* S, bool& Done) { AppIdle(S, Done); };
        Application->OnHint = [this](TObject* S) { AppHint(S); };
        Application->OnActivate = [this](TObject* S) { AppActivate(S); };
        Application->OnDeactivate = [this](TObject* S) { AppDeactivate(S); };
    }

    if (p && p->vol) {
        for (TTabControl* T : {TabControl1, TabControl2}) {
            auto* Binding = new tabinfoclass();
            Binding->tabControl = T;
            Binding->documents = &p->vol->documents;
            T->SetTag(reinterpret_cast<intptr_t>(Binding));
            p->vol->tabs.append(Binding);
        }
    }
    for (TTabControl* T : {TabControl1, TabControl2})
        InitTabControl(T, 1);
    LinkToCore();
    SetSplashStatus("Initializing other properties...");
    SetHints();
    InitTreeView(ResultsTreeView, 1);
    InitTreeView(StyleMessagesTreeView, 2);
    if (p && p->iface) {
        for (int32_t I = 0; I < p->iface->fileFilters.Count(); ++I)
            ShellListFileFilterCombo->Items().Add(p->iface->fileFilters.GetText(I));
        if (ShellListFileFilterCombo->Items().Count() > 0) {
            ShellListFileFilterCombo->SetItemIndex(0);
            ShellListFileFilterCombo->OnChange(ShellListFileFilterCombo);
        }
        ShellTree->SetShellList(ShellList);
        const char* Folder = p->iface->selectedFolder.getString();
        if (Folder && *Folder && GetFileAttributesA(Folder) != INVALID_FILE_ATTRIBUTES)
            ShellTree->SetSelectedPathName(Folder);
    }
    UpdateTabControls();
    if (p && p->iface) {
        p->iface->reopen.maximumLength = 15;
        p->iface->reopen.ReadFromRegistry(ZelRegistryReopen, 0, 15);
        BuildReopenMenu(p->iface->reopen);
        NVOpenDialog->FormWidth = p->iface->openDialogWidth;
        NVOpenDialog->FormHeight = p->iface->openDialogHeight;
        NVSaveDialog->FormWidth = p->iface->saveDialogWidth;
        NVSaveDialog->FormHeight = p->iface->saveDialogHeight;
    }

    // Splitters from the stored sizes.
    int ResultsHeight = p && p->iface ? p->iface->horzSplit1Position : 150;
    HorzSplit1->SetPosition(HorzSplit1->Extent() - ResultsHeight);
    for (TPaneSplitter* S : {ResultsMessageSplit, ResultsTreeViewSplit, StylesTreeViewSplit}) {
        S->SetPaneMinSize(0, 200);
        S->SetPaneMinSize(1, 100);
        S->SetProportion(0.75);
    }
    EditorSplitPanel->SetPaneMinSize(1, 0);
    EditorSplitPanel->SetProportion(1.0);
    EditorSplitPanel->SetPaneMinSize(0, 50);
    WebSplitter->SetPaneMinSize(1, 0);
    WebSplitter->SetProportion(1.0);
    WebSplitter->SetPaneMinSize(0, 200);
    if (p && p->iface)
        VertSplit1->SetPosition(p->iface->paneSize1);

    if (Bit(F(), 14))
        SetFormWindowState(this, 2);
    // Idle processing needs a focused control: the editor has it from the start.
    SetActiveControl(HSMemo);
    LayoutReady = 1;
    ArrangePanels(10);
    Commands->Attach();
    SetSplashStatus("Exiting main form constructor...");
}

bool TZELQEForm::PrepareNextView() {
    switch (ViewsPrepared++) {
    case 0:
        ResultsListView->HandleNeeded();
        return true;
    case 1:
        // The shell's picture list is slow to make the first time; only the list of open
        // documents shows it.
        AttachSystemImageList();
        if (SystemImageList)
            OpenedListView->SetSmallImageHandle(SystemImageList);
        return true;
    default:
        ViewsPrepared = -1;
        return false;
    }
}

void TZELQEForm::LinkToCore() {
    TEditorLink& L = EditorLink();
    L.MainFormHandle = [this]() -> HWND { return HandleAllocated() ? Handle() : nullptr; };
    L.ShowMessageBox = [this](const std::string& Text, const std::string& Caption, int32_t Flags) {
        return ShowMessageBox(Text, Caption, Flags);
    };
    L.SetStatusText = [this](const std::string& Text) { SetStatusText(Text); };
    L.GetStatusText = [this] { return StatusText(); };
    L.ShowResultCounts = [this](fileinfoclass*) { ShowResultCounts(); };
    L.GetCurrentFileInfo = [this] { return GetCurrentFileInfo(); };
    L.SelectTab = [this](fileinfoclass* Doc) {
        if (Doc && Doc->documentList)
            SelectTab(GetActiveTabControl(), Doc->documentList->find(Doc), 0);
    };
    L.RefreshTab = [this](fileinfoclass* Doc) {
        if (Doc && Doc->documentList)
            UpdateTab(GetActiveTabControl(), Doc->documentList->find(Doc));
    };
    L.AddNewFileTab = [this](const std::string& Name) { AddNewFileTab(nullptr, Name.c_str(), 0); };
    L.BringToFront = [this] { BringFormToFront(this, BringAll); };
    L.CloseALLFiles = [this] { return CloseALLFiles(1) == 0; };
    L.ShowMessagesPanel = [this](bool Validated) { ShowHintPanels(Validated); };
    L.ClearMessageText = [this] {
        MessageSource->SetROnly(false);
        MessageSource->LoadFromString("");
        MessageSource->SetModified(false);
        MessageSource->SetROnly(true);
    };
    L.ClearResultsViews = [this](fileinfoclass* Doc) {
        // The record's messages go: nothing may keep pointing at them.
        bool Emptied = false;
        if (LastSelectedMessage && LastSelectedMessage->owner == Doc)
            LastSelectedMessage = nullptr;
        SelectionGuard = 1;
        for (THSTree* T : {ResultsTreeView, StyleMessagesTreeView}) {
            bool Shows = false;
            for (THSTreeNode* N = T->Items().GetFirstNode(); N && !Shows; N = N->GetNext())
                if (auto* M = static_cast<msginfoclass*>(N->Data()))
                    Shows = M->owner == Doc;
            if (Shows) {
                T->Items().Clear();
                LastSelectedTreeNode = nullptr;
                Emptied = true;
            }
        }
        SelectionGuard = 0;
        if (ResultsListView->Tag() == reinterpret_cast<intptr_t>(Doc)) {
            ResultsListView->Clear();
            ResultsListView->SetTag(0);
            Emptied = true;
        }
        if (Emptied && EditorLink().ClearMessageText)
            EditorLink().ClearMessageText();
    };
}

void TZELQEForm::SetHints() {
    const std::pair<const char*, const char*> Hints[] = {
        {"FileNew", "Open a new, blank document in the editor."},
        {"FileOpen", "Open an already existing document in the editor."},
        {"FileReload", "Reload only the current document."},
        {"FileSave", "Save only the current document."},
        {"FileSaveAs", "Save the current document to a new filename."},
        {"FileSaveAll", "Save all open documents that have changed."},
        {"FileClose", "Close only the current document."},
        {"FileCloseAll", "Close all open documents."},
        {"FilePrint", "Print only the current document."},
        {"FileExit", "Exit and shutdown Orvalent."},
        {"EditSelectAll", "Selects all the text in the current document."},
        {"EditUndoLastMajorChange", "Undo the last major change; usually a change by a tool."},
        {"ViewResults", "Toggle whether the results window is visible."},
        {"ViewStatusBar", "Toggle whether the status bar is visible."},
        {"ViewSpeedBar", "Toggle whether the speed bar is visible."},
        {"ViewGutter",
         "Toggle whether the editor's gutter is visible. The gutter is most useful when using bookmarks."},
        {"ViewLineNumbers", "Toggle whether line numbers are shown in the editor."},
        {"ViewRightMargin", "Toggle whether the vertical line that shows the right margin is visible."},
        {"ViewNextDocument", "Go to the next document tab."},
        {"ViewPreviousDocument", "Go to the previous document tab."},
    };
    for (const auto& [Name, Hint] : Hints)
        if (TMenuItem* I = Item(Name))
            I->SetHint(Hint);
}

// --- layout ------------------------------------------------------------------------------------

int TZELQEForm::ArrangePanels(int32_t Flags) {
    if (Closing())
        return 2;
    if (!LayoutReady)
        return 0;
    TMemoOptions O = ActiveEditorMemo->Options();
    SetOption(O, moDrawGutter, Bit(F(), 8));
    SetOption(O, moLineNumbersOnGutter, Bit(F(), 8));
    SetOption(O, moLineNumbers, Bit(F(), 7));
    SetOption(O, moDrawMargin, Bit(F(), 9));
    SetOption(O, moDblClickLine, Bit(F(), 16));
    SetOption(O, moBreakWordAtMargin, Bit(F(), 21));
    SetOption(O, moDrawSpecialSymbols, Bit(F2(), 3));
    O |= moNotePadCursorStyle;
    for (THSMemo* M : {HSMemo, HSMemo2}) {
        M->SetOptions(O);
        M->SetWordWrap(Bit(F(), 1));
    }
    if (Flags & 4) {
        UpdateMenuChecks();
        return 0;
    }
    if (HandleAllocated() && IsIconic(Handle()))
        return 1;
    // Drawn whole once the panes are arranged. A window not shown is left alone, and one not made
    // yet stays so: it is made once the panes are arranged, so the hidden ones are not made with it.
    TDrawingHold Held(this, TDrawingHold::TFrames::All);
    if (fileinfoclass* Doc = GetCurrentFileInfo())
        Doc->UpdateSyntaxParser(0);
    LayoutReady = 0;
    if (!(Flags & 1))
        StoreNormalBounds();
    if (Bit(F(), 11)) {
        if (!FullScreenActive)
            RememberedState = WindowState();
        StatusBar->SetVisible(false);
        SetActiveControl(ActiveEditorMemo);
        if (FullScreenActive != 1) {
            SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) & ~0x00C00000L);
            ShowResourcePane(false);
            Bevel->SetVisible(false);
            Bevel2->SetVisible(false);
            SpeedBarPanel->SetVisible(false);
            FullScreenActive = 1;
            SendMessageA(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        }
        ShowResultsPane(Bit(F(), 0) && Bit(F(), 10));
    } else {
        if (FullScreenActive == 1) {
            SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) | 0x00C00000L);
            SetWindowState(RememberedState);
            SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
        }
        Bevel2->SetVisible(true);
        bool Bar = Bit(F(), 2);
        Bevel->SetVisible(Bar);
        SpeedBarPanel->SetVisible(Bar);
        if (Bar)
            Bevel2->SetTop(SpeedBarPanel->Top() + SpeedBarPanel->Height());
        LinksPanel->SetVisible(Bit(F2(), 16));
        StatusBar->SetVisible(Bit(F(), 3));
        ShowResultsPane(Bit(F(), 10));
        ShowResourcePane(Bit(F(), 4));
        FullScreenActive = 0;
    }
    UpdateMenuChecks();
    static double SplitProportion = 0.5;
    ShowSecondPaneDocument();
    if (!Bit(F(), 15)) {
        if (EditorSplitPanel->Proportion() != 1.0) {
            SplitProportion = EditorSplitPanel->Proportion();
            EditorSplitPanel->SetPaneMinSize(1, 0);
            EditorSplitPanel->SetProportion(1.0);
            SafeSetFocus(HSMemo);
        }
    } else {
        if (EditorSplitPanel->Proportion() == 1.0) {
            EditorSplitPanel->SetProportion(SplitProportion);
            EditorSplitPanel->SetPaneMinSize(1, 50);
        }
        TSplitStyle Want = Bit(F(), 22) ? TSplitStyle::Horizontal : TSplitStyle::Vertical;
        if (EditorSplitPanel->Style() != Want) {
            double Keep = EditorSplitPanel->Proportion();
            EditorSplitPanel->SetStyle(Want);
            EditorSplitPanel->SetProportion(Keep);
        }
    }
    if (Flags & 2)
        ApplySettingsToControls(1);
    LayoutReady = 1;
    return 0;
}

void TZELQEForm::StoreNormalBounds() {
    if (!p || !p->vol || !HandleAllocated())
        return;
    if (!IsWindowVisible(Handle()) || IsIconic(Handle()) || IsZoomed(Handle()) || Bit(F(), 11))
        return;
    RECT R;
    GetWindowRect(Handle(), &R);
    p->vol->normalLeft = R.left;
    p->vol->normalTop = R.top;
    p->vol->normalWidth = R.right - R.left;
    p->vol->normalHeight = R.bottom - R.top;
    p->vol->normalBoundsValid = 1;
}

void TZELQEForm::ShowResultsPane(bool Show) {
    int32_t Stored = p && p->iface ? p->iface->horzSplit1Position : 150;
    if (Show) {
        HorzSplit1->SetSplitterWidth(3);
        HorzSplit1->SetPaneMinSize(1, 150);
        Stored = std::max<int32_t>(Stored, 150);
        HorzSplit1->SetProportion(0.5);
        HorzSplit1->SetPosition(HorzSplit1->Extent() - Stored);
        if (p && p->iface)
            p->iface->horzSplit1Position = Stored;
        ResultsCollapsed = 0;
        return;
    }
    if (ResultsCollapsed == 1) {
        HorzSplit1->SetProportion(1.0);
        return;
    }
    if (HorzSplit1->Proportion() != 1.0) {
        if (p && p->iface)
            p->iface->horzSplit1Position = HorzSplit1->Extent() - HorzSplit1->Position();
        HorzSplit1->SetPaneMinSize(1, 0);
    }
    ResultsCollapsed = 1;
    HorzSplit1->SetProportion(1.0);
}

void TZELQEForm::ShowResourcePane(bool Show) {
    if (Show) {
        bool Top = Bit(F(), 13);
        VertSplit1->SetStyle(Top ? TSplitStyle::Horizontal : TSplitStyle::Vertical);
        VertSplit1->SetSplitterWidth(3);
        VertSplit1->SetPaneMinSize(0, 100);
        int Limit = VertSplit1->Extent() - 100;
        int32_t Size = p && p->iface ? p->iface->paneSize1 : 140;
        if (Size > Limit)
            Size = Limit;
        if (p && p->iface)
            p->iface->paneSize1 = Size;
        VertSplit1->SetPosition(Size);
        return;
    }
    if (VertSplit1->SplitterWidth() != 0) {
        VertSplit1->SetSplitterWidth(0);
        VertSplit1->SetPaneMinSize(0, 0);
        VertSplit1->SetPosition(0);
    }
}

void TZELQEForm::UpdateMenuChecks() {
    SetChecked("ViewSplitView", Bit(F(), 15));
    SetChecked("ViewGutter", ActiveEditorMemo && ActiveEditorMemo->HasOption(moDrawGutter));
    SetChecked("ViewLineNumbers", Bit(F(), 7));
    SetChecked("ViewLineSeparators", Bit(F(), 28));
    SetChecked("ViewRightMargin", Bit(F(), 9));
    SetChecked("ViewSpeedBar", Bit(F(), 2));
    SetChecked("ViewStatusBar", Bit(F(), 3));
    SetChecked("ViewResults", Bit(F(), 10));
    SetChecked("ViewResource", Bit(F(), 4));
    SetChecked("ViewFullScreen", Bit(F(), 11));
    SetChecked("OptionsWordWrap", Bit(F(), 1));
    SetChecked("OptionsSyntaxHighlighting", p && p->config && Bit(p->config->flags, 21));
    SetChecked("ViewSpecialSymbols", Bit(F2(), 3));
    SetChecked("ViewTagInserter", Bit(F2(), 22));
    SetChecked("ViewCSSInserter", Bit(F2(), 26));
    SetChecked("DragDropViewDragDropWindow", Bit(F(), 12));
    SetChecked("DragDropUseValidator", p && p->config && Bit(p->config->flags, 0));
    SetChecked("DragDropUseTool", p && p->config && Bit(p->config->flags, 1));
}

void TZELQEForm::ApplySettingsToControls(int32_t Flags) {
    if (Flags & 1)
        Flags |= 2 | 4 | 8;
    if ((Flags & 16) && p && p->vol)
        OpenedTabSheet->SetCaption("Open (" + std::to_string(p->vol->documents.count()) + ")");
    if ((Flags & 2) && p && p->config)
        for (THSMemo* M : {HSMemo, HSMemo2})
            M->SetMarginPos(p->config->rightMargin);
    if ((Flags & 4) && p && p->config) {
        // A stored text the model refuses falls back to stops every three columns.
        for (int Attempt = 0; Attempt < 2; ++Attempt) {
            try {
                for (THSMemo* M : {HSMemo, HSMemo2})
                    if (M->GetSource())
                        M->SetTabStops(p->config->tabStops.getString() ? p->config->tabStops.getString()
                                                                       : "");
                break;
            } catch (const std::exception&) {
                p->config->tabStops = "3,6,9,12";
            }
        }
    }
    if (Flags & 8)
        for (THSMemo* M : {HSMemo, HSMemo2, ResultsMessageMemo, ResultsMessageMemo2, ResultsMessageMemo3})
            ApplyEditorColors(M, 1);
    if (Flags & 32)
        BuildValidateModePopup();
}

fileinfoclass* TZELQEForm::GetCurrentFileInfo() {
    TTabControl* Tabs = GetActiveTabControl();
    if (!Tabs)
        return nullptr;
    auto* Binding = reinterpret_cast<tabinfoclass*>(Tabs->Tag());
    if (!Binding || !Binding->documents)
        return nullptr;
    int Index = Tabs->TabIndex();
    auto* Doc = static_cast<fileinfoclass*>(Binding->documents->at(Index));
    if (Doc)
        Doc->tabIndex = Index;
    return Doc;
}

TTabControl* TZELQEForm::GetActiveTabControl() {
    return ActiveEditorMemo ? reinterpret_cast<TTabControl*>(ActiveEditorMemo->Tag()) : nullptr;
}

int TZELQEForm::SetStatusText(const std::string& Text) {
    StatusBar->SetPanelText(kTextPanel, Text);
    StatusBar->Update();
    return 1;
}

std::string TZELQEForm::StatusText() const {
    return StatusBar->Panels[kTextPanel].Text;
}

void TZELQEForm::FormResize(TObject*) {
    ArrangePanels(0);
}

void TZELQEForm::FormShow(TObject*) {
    if (Closing())
        return;
    WindowShown = 1;
    if (p && p->iface && (p->iface->flags & IfMaximised))
        SetFormWindowState(this, 2);
    ResultsPageControl->SetActivePage(MessagesSheet);
    ShowHintPanels(false);
    ResourcePageControl->SetActivePage(ShellTabSheet);
    FocusEditor();
}

bool TZELQEForm::SecondPaneShown() const {
    return Bit(F(), 15);
}

void TZELQEForm::ShowSecondPaneDocument() {
    TCustomMemoSource* Want = MemoSourceDefault;
    if (SecondPaneShown()) {
        // The pane's chosen tab, or its first while none is chosen.
        auto* Binding = reinterpret_cast<tabinfoclass*>(TabControl2->Tag());
        const int Index = std::max(TabControl2->TabIndex(), 0);
        auto* Doc = Binding && Binding->documents ? static_cast<fileinfoclass*>(Binding->documents->at(Index))
                                                  : nullptr;
        if (!Doc)
            return;
        if (TabControl2->TabIndex() != Index)
            TabControl2->SetTabIndex(Index);
        Want = Doc->memoSource;
    } else if (ActiveEditorMemo == HSMemo2) {
        // The commands follow the pane that stays.
        ActiveEditorMemo = HSMemo;
    }
    if (HSMemo2->GetSource() != Want)
        HSMemo2->SetSource(Want);
}

void TZELQEForm::ShowHintPanels(bool Validated) {
    TStageTimer T("results.panels");
    // The views stay shown and laid out under their hint panels, which cover them until there are
    // results: uncovering a view costs one hidden panel, where showing a hidden list view would lay
    // it and its header out anew while the user waits for the results. A covered view is disabled,
    // so neither the keyboard nor the mouse reaches it.
    TPanel* const Panels[] = {MessagesPanel, TreeViewPanel, StylesPanel};
    TWinControl* const Views[] = {ResultsListView, ResultsTreeView, StyleMessagesTreeView};
    bool Same = true;
    for (int I = 0; I < 3; ++I)
        Same = Same && Panels[I]->Visible() != Validated && Views[I]->Enabled() == Validated;
    if (Same)
        return;
    // One repaint of the results pane when every view has changed places, not one per view; a
    // pane not shown is left alone (turning its drawing on would mark it shown).
    TDrawingHold Held(ResultsPageControl, TDrawingHold::TFrames::All);
    for (TWinControl* V : Views)
        V->SetEnabled(Validated);
    for (TPanel* P : Panels) {
        P->SetVisible(!Validated);
        if (!Validated)
            P->BringToFront();
    }
}

TCustomMemoSource* TZELQEForm::ActiveEditorSource() const {
    return ActiveEditorMemo ? ActiveEditorMemo->GetSource() : nullptr;
}

void TZELQEForm::FocusEditor() {
    if (ActiveEditorMemo && HandleAllocated() && IsWindowVisible(Handle()))
        SafeSetFocus(ActiveEditorMemo);
}

// --- status bar and idle -----------------------------------------------------------------------

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

void TZELQEForm::HelpAboutZELClick(TObject*) {
    std::string Version = "?";
    if (Engine.ZELGetString3)
        if (const char* V = Engine.ZELGetString3(17000))
            Version = V;
    ShowMessageBox("ZEL Orvalent Lite v3.00 (v3.0000, DLL v" + Version +
                       ")\n\nAn editor that checks web documents as they are written.",
                   "Orvalent: About ZEL Orvalent Lite...", BoxInformation | BoxNotInStatus);
}
