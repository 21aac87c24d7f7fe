// Construction of the main window: its creation sequence, its link to the core, its menu hints and
// the shared operations the command files call (current document, status text, focus).
#include "editor/mainwindow/MainForm.h"

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/SchemeParser.h"
#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/ListView.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/Settings.h"
#include "editor/core/ViewSetup.h"
#include "editor/mainwindow/InterfaceBits.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MenuHints.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/ToolbarPictures.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TZELQEForm, TForm, {})

TZELQEForm* ZELQEForm = nullptr;
TForm* TZELQEForm::Splash = nullptr;

using namespace mainwindow;

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
    CSSParser = new TSyntaxParser(this);
    CSSParser->SetName("CSSParser");
    TSyntaxScheme::FillStyleSheetScheme(CSSParser->SyntaxScheme());
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
    for (THSMemo* M : {StructureMemo, StructureMemo2})
        InitEditorMemo(M, MemoResultsText);
    for (THSMemo* M : {ResultsMessageMemo, ResultsMessageMemo2, ResultsMessageMemo3})
        InitEditorMemo(M, MemoBrowserSource);
    InitEditorMemo(ScratchPad1Memo, MemoScratchPad1);
    InitEditorMemo(ScratchPad2Memo, MemoScratchPad2);
    for (THSMemo* M : {StructureMemo, StructureMemo2, ResultsMessageMemo, ResultsMessageMemo2,
                       ResultsMessageMemo3, ScratchPad1Memo, ScratchPad2Memo})
        M->SetPopupMenu(GenericMemoPopup);
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
    InitTreeView(StructureTree, 4);
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
        ApplyMessageMemoWidth(S);
    }
    if (p && p->iface) {
        ScratchSplitter->SetProportion(p->iface->paneProportions[0]);
        StructureSplitter->SetProportion(p->iface->paneProportions[1]);
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
    L.CSSParser = [this]() -> TSimpleParser* { return CSSParser; };
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
    for (const auto& [Name, Hint] : MenuHints())
        if (TMenuItem* I = Item(Name))
            I->SetHint(Hint);
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

TCustomMemoSource* TZELQEForm::ActiveEditorSource() const {
    return ActiveEditorMemo ? ActiveEditorMemo->GetSource() : nullptr;
}

void TZELQEForm::FocusEditor() {
    if (ActiveEditorMemo && HandleAllocated() && IsWindowVisible(Handle()))
        SafeSetFocus(ActiveEditorMemo);
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
