// The main window's further panes and their helpers: the resource window's shell views, the Links
// sheet, the system's small icons, the spell checker, the validation-mode menu and the bindings of
// the view set-up helpers.
#include <algorithm>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoOptions.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/ViewSetup.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"
#include "editor/mainwindow/SpellChecking.h"

#include <shellapi.h>

void TZELQEForm::AttachSystemImageList() {
    SHFILEINFOA Info{};
    auto List = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &Info, sizeof Info, SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SMALLICON));
    if (Info.hIcon)
        DestroyIcon(Info.hIcon);
    if (!List)
        return;
    // The list belongs to the system: shared, never destroyed here.
    SystemImageList = List;
}

void TZELQEForm::BuildShellPane() {
    HorzSplit2 = new TPaneSplitter(this);
    HorzSplit2->SetName("HorzSplit2");
    HorzSplit2->SetParent(ShellTabSheet);
    HorzSplit2->SetAlign(TAlign::alClient);
    HorzSplit2->SetStyle(TSplitStyle::Horizontal);
    HorzSplit2->OnChange = [this](TObject*) {
        if (p && p->iface && HorzSplit2->SplitterWidth() != 0 && LayoutReady)
            p->iface->paneSize2 = HorzSplit2->Position();
    };
    ShellTree = new TNVShellTree(this);
    ShellTree->SetName("ShellTree");
    // Z:\ is the whole host file system under Wine, too large to watch below its root; the other
    // drives follow the disk.
    ShellTree->SetShallowWatchDrives("Z");
    ShellTree->SetParent(HorzSplit2->Pane(0));
    ShellTree->SetAlign(TAlign::alClient);
    ShellListTopPanel = new TPanel(this);
    ShellListTopPanel->SetName("ShellListTopPanel");
    ShellListTopPanel->SetParent(HorzSplit2->Pane(1));
    ShellListTopPanel->SetHeight(24);
    ShellListTopPanel->SetAlign(TAlign::alTop);
    ShellListTopPanel->SetBevelOuter(TBevelCut::bvNone);
    ShellListFileFilterCombo = new TComboBox(this);
    ShellListFileFilterCombo->SetName("ShellListFileFilterCombo");
    ShellListFileFilterCombo->SetParent(ShellListTopPanel);
    ShellListFileFilterCombo->SetStyle(TComboBoxStyle::csDropDownList);
    ShellListFileFilterCombo->SetAlign(TAlign::alClient);
    ShellList = new TNVShellList(this);
    ShellList->SetName("ShellList");
    ShellList->SetParent(HorzSplit2->Pane(1));
    ShellList->SetAlign(TAlign::alClient);
    ShellList->SetViewStyle(TNVViewStyle::vsList);
    ShellList->SetPopupMenu(ShellListPopupMenu);
    // Files open in the editor; folders open in place.
    ShellList->OnDblClickOpen = [this](TObject*, bool& Handled) {
        TNVShListData* Item = ShellList->GetSelectedItem();
        if (!Item || Item->IsFolder())
            return;
        std::string Path = Item->GetPathName();
        if (Path.empty())
            return;
        Handled = true;
        AddNewFileTab(nullptr, Path.c_str(), 0);
    };
    ShellListFileFilterCombo->OnChange = [this](TObject*) {
        // The masks of an entry stand between its parentheses.
        int I = ShellListFileFilterCombo->ItemIndex();
        std::string Entry = I >= 0 ? ShellListFileFilterCombo->Items().Strings(I) : std::string();
        size_t Open = Entry.find('('), Close = Entry.find(')', Open == std::string::npos ? 0 : Open);
        std::string Masks = Open != std::string::npos && Close != std::string::npos
                                ? Entry.substr(Open + 1, Close - Open - 1)
                                : std::string("*.*");
        for (char& C : Masks)
            if (C == ',')
                C = ';';
        ShellList->SetFileFilter(Masks);
    };
}

void TZELQEForm::BuildLinksSheet() {
    LinksListView = new TListView(this);
    LinksListView->SetName("LinksListView");
    LinksListView->SetParent(LinksSheet);
    LinksListView->SetAlign(TAlign::alClient);
    LinksListView->ReadOnly = true;
    LinksListView->RowSelect = true;
    LinksListView->SetColumns({{"Result", 90}, {"Link", 300}, {"Absolute", 400}});
    LinksListView->SetPopupMenu(ResultsPopupMenu);
    LinksListView->OnSelectItem = [this](TObject* S, int I, bool Sel) { LinksListViewSelectItem(S, I, Sel); };
    LinksListView->OnDblClick = [this](TObject* S) { LinksListViewDblClick(S); };
    // The link information panel below the list (shown by the view setting).
    LinksPanel = new TPanel(this);
    LinksPanel->SetName("LinksPanel");
    LinksPanel->SetParent(LinksSheet);
    LinksPanel->SetHeight(36);
    LinksPanel->SetAlign(TAlign::alBottom);
    LinksPanel->SetBevelOuter(TBevelCut::bvNone);
    LinksPanel->SetVisible(false);
    auto AddLabel = [this](const char* Name, const char* Caption, int Top) {
        auto* Title = new TLabel(this);
        Title->SetParent(LinksPanel);
        Title->SetCaption(Caption);
        Title->SetBounds(4, Top, 56, 16);
        // The address runs to the panel's right edge, which cuts a longer one.
        auto* L = new TLabel(this);
        L->SetName(Name);
        L->SetAutoSize(false);
        L->SetParent(LinksPanel);
        L->SetBounds(64, Top, std::max(0, LinksPanel->Width() - 68), 16);
        return L;
    };
    LinkLabel = AddLabel("LinkLabel", "Link:", 2);
    AbsoluteLabel = AddLabel("AbsoluteLabel", "Absolute:", 18);
    LinksPanel->OnResize = [this](TObject*) {
        for (TLabel* L : {LinkLabel, AbsoluteLabel})
            L->SetWidth(std::max(0, LinksPanel->Width() - 68));
    };
    LinksPanel2 =
        AddHintPanel(LinksSheet, "LinksPanel2",
                     "You must first validate the document (F6 or click here) to extract the links.");
    LinksPanel2->SetVisible(false);
}

void TZELQEForm::LinksListViewSelectItem(TObject*, int Index, bool Selected) {
    if (!Selected || Closing())
        return;
    if (LinksListView->Columns().size() > 2) {
        LinkLabel->SetCaption(LinksListView->ItemText(Index, 1));
        StrStore Absolute(LinksListView->ItemText(Index, 2).c_str());
        Absolute.decodeEntities();
        Absolute.urlDecode(1);
        AbsoluteLabel->SetCaption(Absolute.getString() ? Absolute.getString() : "");
    }
    if (fileinfoclass* Doc = GetCurrentFileInfo())
        Doc->ShowLinks(1);
}

void TZELQEForm::LinksListViewDblClick(TObject*) {
    static std::string Previous;
    fileinfoclass* Doc = GetCurrentFileInfo();
    int Sel = LinksListView->Selected();
    if (!Doc || !Doc->memoSource || Sel < 0)
        return;
    std::string Link = LinksListView->ItemText(Sel, 1);
    bool Again = Link == Previous;
    Previous = Link;
    TSearchOptions& O = *GetSearchOptions();
    O.TextToFind = Link;
    O.Scope = TSearchScope::ssGlobal;
    O.CaseSensitive = true;
    O.Origin = TSearchOrigin::soEntireScope;
    O.WholeWordsOnly = false;
    O.ShowNotFound = true;
    if (Again)
        Doc->memoSource->FindNext();
    else
        Doc->memoSource->Find();
    FocusEditor();
    SetStatusText("Press F3 to find the next matching link (if any).");
}

void TZELQEForm::ResultsListViewColumnClick(TObject*, int Column) {
    if (Closing())
        return;
    if (fileinfoclass* Doc = GetCurrentFileInfo())
        Doc->SortResults(Column, 1);
}

void TZELQEForm::CreateSpellChecker() {
    std::string Folder =
        p && p->vol && p->vol->programFolder.getString() ? p->vol->programFolder.getString() : "";
    SpellChecker = CreateEditorSpellChecker(this, Folder);
    BindEditorSpellEvents(SpellChecker, [this](const std::string& Text) {
        ShowMessageBox(Text, "Orvalent: Spell Check", BoxStop);
    });
}

void TZELQEForm::SpellCheckClick(TObject*) {
    QXSpellCheckInForm(1);
}

THSMemo* TZELQEForm::MemoToSpellCheck() {
    // A scratch pad or another writable memo the user works in is checked; a read-only one is not
    // chosen over the editor.
    if (auto* Focused = dynamic_cast<THSMemo*>(ActiveControl()))
        if (Focused == ActiveEditorMemo || (Focused->GetSource() && !Focused->GetSource()->GetReadOnly()))
            return Focused;
    return ActiveEditorMemo;
}

int TZELQEForm::CanSpellCheck(THSMemo* Memo, int32_t Flags) {
    if (!(Flags & 3))
        return -1;
    if (Flags & 2)
        Memo = MemoToSpellCheck();
    TCustomMemoSource* Source = Memo ? Memo->GetSource() : nullptr;
    int Result = Source && !Source->GetReadOnly() ? 1 : 0;
    if ((Flags & 2) && Result == 1 && Source->GetStrCount() < 1)
        Result = 0;
    return Result;
}

int TZELQEForm::QXSpellCheckInForm(int32_t Flags) {
    if (Closing())
        return 2;
    TTabControl* Tabs = GetActiveTabControl();
    tabinfoclass* Binding = Tabs ? reinterpret_cast<tabinfoclass*>(Tabs->Tag()) : nullptr;
    if (!Binding)
        return ShowEngineCallError(-3, "QXSpellCheckInForm", "tabinfo is NULL");
    if (Flags & 2) {
        if (!Binding->documents)
            return ShowEngineCallError(-3, "QXSpellCheckInForm", "filearray is NULL");
        const int32_t Count = Binding->documents->count();
        for (int32_t I = 0; I < Count && !Closing(); ++I) {
            if (!Binding->documents->at(I))
                continue;
            SelectTab(Tabs, I, 0);
            QXSpellCheckInForm(1 | (Flags & 4));
            if (I + 1 < Count && SpellCheckCancelled(SpellChecker) &&
                ShowMessageBox("Cancel all remaining spell checks?",
                               "Orvalent: Cancel Remaining Spell Checks?", BoxQuestion) == IDYES)
                break;
        }
        return 0;
    }
    THSMemo* Memo = MemoToSpellCheck();
    if (!Memo)
        return -4;
    TCustomMemoSource* Source = Memo->GetSource();
    if (!Source)
        return -4;
    if (Source->GetReadOnly()) {
        ShowMessageBox("Cannot spell check a read only document.", "Orvalent: Cannot Spell Check", BoxStop);
        return 0;
    }
    if (!SpellChecker)
        return 0;
    std::string Error = CheckMemoSpelling(SpellChecker, Memo, (Flags & 8) != 0, !(Flags & 4));
    if (!Error.empty())
        ShowMessageBox("The spell check stopped: " + Error, "Orvalent: Spell Check", BoxStop);
    if (!Closing())
        SafeSetFocus(Memo);
    return 0;
}

void TZELQEForm::BuildValidateModePopup() {
    TMenuItem* Root = ValidateModePopup->Items();
    while (Root->Count() > 0) {
        TMenuItem* It = Root->Items(Root->Count() - 1);
        Root->Remove(It);
        delete It;
    }
    auto Add = [this, Root](const std::string& Caption, int Tag) {
        auto* It = new TMenuItem(this);
        It->SetCaption(Caption);
        It->SetTag(Tag);
        It->OnClick = [this](TObject* S) { ValidateModeItemClick(S); };
        Root->Add(It);
    };
    Add("&Normal", 0);
    int32_t Options = p && p->vol ? p->vol->optionsHandle : -1;
    if (Options < 0 || !Engine.ZELGetIntegerEZ)
        return;
    int32_t Version = Engine.ZELGetInteger3EZ ? Engine.ZELGetInteger3EZ(16000) : 0;
    int32_t Modes = Engine.ZELGetIntegerEZ(Options, 4005);
    if (Version >= 45091 && Modes > 1 && Engine.ZELGetString2)
        for (int32_t I = 1; I < Modes; ++I) {
            const char* Name = Engine.ZELGetString2(Options, 11000, I);
            if (Name && *Name)
                Add(Name, I);
        }
    if (Engine.ZELGetIntegerEZ(Options, 4006) & 1)
        Add("&Link check only", -2);
}

void TZELQEForm::ValidateModeBtnClick(TObject*) {
    if (Closing())
        return;
    BuildValidateModePopup();
    POINT P;
    GetCursorPos(&P);
    ValidateModePopup->Popup(P.x, P.y);
}

void TZELQEForm::ValidateModeItemClick(TObject* Sender) {
    if (auto* It = dynamic_cast<TMenuItem*>(Sender))
        ValidateCurrentDocument(Sender, 1, static_cast<int>(It->Tag()));
}

void TZELQEForm::BindViewSetup() {
    TViewSetupHooks& H = ViewSetupHooks();
    H.EditorPopup = EditorPopupMenu;
    H.ResultsPopup = ResultsPopupMenu;
    H.ResultsTreeChange = [this](TObject* S, THSTreeNode* N) { ResultsTreeViewChange(S, N); };
    H.ResultsTreeClick = [this](TObject* S) { ResultsTreeViewClick(S); };
    H.ResultsTreeRightClick = [this](TObject* S, THSTreeNode* N, TRightClickAction& A) {
        ResultsTreeViewRightClickNode(S, N, A);
    };
    H.SpellCheckerSetup = [this] { SetUpSpellChecker(SpellChecker); };
}
