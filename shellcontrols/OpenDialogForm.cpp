#include "shellcontrols/OpenDialogForm.h"

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "shellcontrols/OpenDialogGlyphs.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVFrmOpenDlg, TForm, {})

using namespace nvshell;

TNVFrmOpenDlg::TNVFrmOpenDlg(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(NVResStr(SOpenCaption));
    SetPosition(TFormPosition::poScreenCenter);
    SetBorderIcons(biSystemMenu | biMaximize);
    SetClientWidth(451);
    SetClientHeight(265);
    Font().SetName(NVResStr(SDialogFontName));
    Font().SetSize(8);

    FLookInTxt = new TLabel(this);
    FLookInTxt->SetParent(this);
    FLookInTxt->SetBounds(8, 8, 60, 13);
    FLookInTxt->SetCaption(NVResStr(SLookIn));
    FCombo = new TNVShellCombo(this);
    FCombo->SetParent(this);
    FCombo->SetBounds(72, 4, 193, 22);
    FCombo->SetDropDownCount(16);
    FLookInTxt->SetFocusControl(FCombo);
    FUpBtn = ToolButton(272, NVResStr(SUpOneLevelHint));
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::UpOneLevel, FUpBtn->Glyph());
    FUpBtn->OnClick = [this](TObject*) { FCombo->GoUp(1); };
    FDesktopBtn = ToolButton(304, "Show Desktop");
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::Desktop, FDesktopBtn->Glyph());
    FDesktopBtn->OnClick = [this](TObject*) { FList->Folder().SetCSIDL(csidlDesktop); };
    FNewFolderBtn = ToolButton(336, NVResStr(SCreateNewFolderHint));
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::NewFolder, FNewFolderBtn->Glyph());
    FNewFolderBtn->OnClick = [this](TObject*) { CreateNewFolder(); };
    FShowTreeBtn = ToolButton(368, NVResStr(SShowTreeHint));
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::Tree, FShowTreeBtn->Glyph());
    FShowTreeBtn->SetGroupIndex(2);
    FShowTreeBtn->SetAllowAllUp(true);
    // The button is already toggled when the click arrives: the tree follows it.
    FShowTreeBtn->OnClick = [this](TObject*) { ShowTree(FShowTreeBtn->Down()); };
    FListBtn = ToolButton(400, NVResStr(SViewListHint) + "|" + NVResStr(SViewListContext));
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::List, FListBtn->Glyph());
    FListBtn->SetTag(2);
    FListBtn->SetGroupIndex(1);
    FListBtn->SetDown(true);
    FListBtn->OnClick = [this](TObject*) { SetView(2); };
    FDetailsBtn = ToolButton(423, NVResStr(SViewDetailsHint) + "|" + NVResStr(SViewDetailsContext));
    NVDrawOpenDialogGlyph(TNVOpenDialogGlyph::Details, FDetailsBtn->Glyph());
    FDetailsBtn->SetTag(3);
    FDetailsBtn->SetGroupIndex(1);
    FDetailsBtn->OnClick = [this](TObject*) { SetView(3); };

    FSplitter = new TNVSplitter(this);
    FSplitter->SetParent(this);
    FSplitter->SetBounds(2, 30, 447, 153);
    FSplitter->SetSplitterWidth(5);
    FSplitter->CreatePanes();
    FSplitter->SetPaneMinSize(0, 4);
    FSplitter->SetPaneMinSize(1, 60);
    FSplitter->SetPosition(141);
    FTree = new TNVShellTree(this);
    FTree->SetOptions(nvstoAutoFill | nvstoDefaultKeyHandling | nvstoContextMenus | nvstoDynamicRefresh);
    FTree->SetParent(FSplitter->GetPane(0));
    FTree->SetAlign(TAlign::alClient);
    FList = new TNVShellList(this);
    FList->SetOptions(nvsloAutoFill | nvsloDefaultKeyHandling | nvsloContextMenus | nvsloDynamicRefresh);
    FList->SetViewStyle(TNVViewStyle::vsList);
    FList->SetParent(FSplitter->GetPane(1));
    FList->SetAlign(TAlign::alClient);
    FList->OnDblClickOpen = [this](TObject*, bool& Handled) {
        // A double-clicked file closes the dialog through the OK checks.
        SetModalResult(mrOk);
        Handled = true;
    };
    FList->OnSelectionChange = [this](TObject*) { ListSelectionChanged(); };
    FCombo->SetShellList(FList);

    FLvPopup = new TPopupMenu(this);
    TMenuItem* View = MenuItem(FLvPopup->Items(), NVResStr(SViewMenu), NVResStr(SViewContext));
    const uint16_t ViewTexts[4][2] = {{SViewLargeIconsMenu, SViewLargeIconsContext},
                                      {SViewSmallIconsMenu, SViewSmallIconsContext},
                                      {SViewListMenu, SViewListContext},
                                      {SViewDetailsMenu, SViewDetailsContext}};
    for (int Tag = 0; Tag < 4; ++Tag) {
        TMenuItem* Item = MenuItem(View, NVResStr(ViewTexts[Tag][0]), NVResStr(ViewTexts[Tag][1]));
        Item->SetTag(Tag);
        Item->SetRadioItem(true);
        // The icon views arrange their items in ways the dialog does not offer.
        Item->SetEnabled(Tag >= 2);
        Item->SetChecked(Tag == 2);
        Item->OnClick = [this, Tag](TObject*) { SetView(Tag); };
        FViewItems[Tag] = Item;
    }
    MenuItem(FLvPopup->Items(), "-", "");
    MenuItem(FLvPopup->Items(), NVResStr(SEditPasteMenu), NVResStr(SPasteContext))->OnClick =
        [this](TObject*) { FList->DoCommandForFolder("paste"); };
    MenuItem(FLvPopup->Items(), "-", "");
    TMenuItem* New = MenuItem(FLvPopup->Items(), NVResStr(SNewMenu), NVResStr(SNewPopupContext));
    MenuItem(New, NVResStr(SNewFolderMenu), NVResStr(SCreateFolderContext))->OnClick = [this](TObject*) {
        CreateNewFolder();
    };
    MenuItem(FLvPopup->Items(), "-", "");
    MenuItem(FLvPopup->Items(), NVResStr(SPropertiesMenu), NVResStr(SPropertiesContext))->OnClick =
        [this](TObject*) { FList->DoCommandForFolder("properties"); };
    FList->SetPopupMenu(FLvPopup);
    FList->OnFolderChanged = [this](TObject*) {
        if (FShown)
            DoEvent(OnFolderChanged, this);
    };

    FFileNameTxt = new TLabel(this);
    FFileNameTxt->SetParent(this);
    FFileNameTxt->SetBounds(8, 191, 76, 13);
    FFileNameTxt->SetCaption(NVResStr(SFileName));
    FFileNameEdt = new TEdit(this);
    FFileNameEdt->SetParent(this);
    FFileNameEdt->SetBounds(88, 187, 277, 21);
    FFileNameEdt->OnChange = [this](TObject*) {
        if (FShown)
            FFromSelection = false;
    };
    FFileNameTxt->SetFocusControl(FFileNameEdt);
    FFilesOfTypeTxt = new TLabel(this);
    FFilesOfTypeTxt->SetParent(this);
    FFilesOfTypeTxt->SetBounds(8, 219, 76, 13);
    FFilesOfTypeTxt->SetCaption(NVResStr(SFilesOfType));
    FFileTypesCbx = new TComboBox(this);
    FFileTypesCbx->SetStyle(TComboBoxStyle::csDropDownList);
    FFileTypesCbx->SetParent(this);
    FFileTypesCbx->SetBounds(88, 215, 277, 21);
    FFileTypesCbx->OnChange = [this](TObject*) { TypeChanged(); };
    FFilesOfTypeTxt->SetFocusControl(FFileTypesCbx);
    FOpenBtn = new TButton(this);
    FOpenBtn->SetParent(this);
    FOpenBtn->SetBounds(372, 185, 75, 23);
    FOpenBtn->SetCaption(NVResStr(SOpenButton));
    FOpenBtn->SetDefault(true);
    FOpenBtn->SetModalResult(mrOk);
    FCancelBtn = new TButton(this);
    FCancelBtn->SetParent(this);
    FCancelBtn->SetBounds(372, 213, 75, 23);
    FCancelBtn->SetCaption(NVResStr(SCancelButton));
    FCancelBtn->SetCancel(true);
    FCancelBtn->SetModalResult(mrCancel);
    FHelpBtn = new TButton(this);
    FHelpBtn->SetParent(this);
    FHelpBtn->SetBounds(372, 241, 75, 23);
    FHelpBtn->SetCaption(NVResStr(SHelpButton));
    FHelpBtn->SetVisible(false);
    FHelpBtn->OnClick = [this](TObject*) { DoEvent(OnHelp, this); };
    FReadOnlyChk = new TCheckBox(this);
    FReadOnlyChk->SetParent(this);
    FReadOnlyChk->SetBounds(88, 241, 200, 17);
    FReadOnlyChk->SetCaption(NVResStr(SOpenAsReadOnly));
    FReadOnlyChk->OnClick = [this](TObject*) {
        if (FReadOnlyChk->Checked())
            FOptions |= nvofReadOnly;
        else
            FOptions &= ~static_cast<TNVOpenOptions>(nvofReadOnly);
    };
    SetActiveControl(FFileNameEdt);
    SetKeyPreview(true);
    FBuilt = true;
}

TNVFrmOpenDlg::~TNVFrmOpenDlg() = default;

TSpeedButton* TNVFrmOpenDlg::ToolButton(int Left, const std::string& Hint) {
    auto* B = new TSpeedButton(this);
    B->SetParent(this);
    B->SetBounds(Left, 4, 23, 22);
    B->SetHint(Hint);
    return B;
}

TMenuItem* TNVFrmOpenDlg::MenuItem(TMenuItem* Parent, const std::string& Caption, const std::string& Hint) {
    auto* Item = new TMenuItem(this);
    Item->SetCaption(Caption);
    Item->SetHint(Hint);
    Parent->Add(Item);
    return Item;
}

TMenuItem* TNVFrmOpenDlg::ViewMenuItem(int Tag) const {
    return Tag >= 0 && Tag < 4 ? FViewItems[Tag] : nullptr;
}

void TNVFrmOpenDlg::SetView(int Tag) {
    if (Tag < 0 || Tag > 3)
        return;
    FList->SetViewStyle(static_cast<TNVViewStyle>(Tag));
    for (TSpeedButton* B : {FListBtn, FDetailsBtn})
        B->SetDown(B->Tag() == Tag);
    for (TMenuItem* Item : FViewItems)
        Item->SetChecked(Item->Tag() == Tag);
}

void TNVFrmOpenDlg::CreateNewFolder() {
    const bool TreeShown = (FOptions & nvofShowTree) != 0;
    if (FTree->Focused() || (TreeShown && (FOptions & nvofHideFoldersInListWhenTreeVisible)))
        FTree->CreateNewFolder();
    else
        FList->CreateNewFolder(true);
}

void TNVFrmOpenDlg::CreateHandleDone() {
    TForm::CreateHandleDone();
    RECT Client{};
    GetClientRect(FHandle, &Client);
    // Child, visible, clipping siblings and children, size grip.
    FSizeGrip = CreateWindowExA(0, "SCROLLBAR", nullptr, 0x56000010, Client.right - 13, Client.bottom - 13,
                                13, 13, FHandle, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (FSizeGrip)
        SetWindowPos(FSizeGrip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TNVFrmOpenDlg::Resize() {
    TForm::Resize();
    if (!FBuilt)
        return;
    const int W = ClientWidth(), H = ClientHeight();
    // The bottom part keeps its height and its controls keep their places in it.
    const int PanelTop = H - 84;
    FSplitter->SetBounds(4, FCombo->Top() + FCombo->Height() + 4, std::max(W - 8, 0),
                         std::max(PanelTop - (FCombo->Top() + FCombo->Height() + 4), 0));
    const int ButtonX = W - FOpenBtn->Width() - 16;
    FOpenBtn->SetBounds(ButtonX, PanelTop + 4, FOpenBtn->Width(), FOpenBtn->Height());
    FCancelBtn->SetBounds(ButtonX, PanelTop + 32, FCancelBtn->Width(), FCancelBtn->Height());
    FHelpBtn->SetBounds(ButtonX, PanelTop + 60, FHelpBtn->Width(), FHelpBtn->Height());
    const int EditRight = ButtonX - 8;
    FFileNameEdt->SetBounds(FFileNameEdt->Left(), PanelTop + 6, std::max(EditRight - FFileNameEdt->Left(), 0),
                            FFileNameEdt->Height());
    FFileTypesCbx->SetBounds(FFileTypesCbx->Left(), PanelTop + 34,
                             std::max(EditRight - FFileTypesCbx->Left(), 0), FFileTypesCbx->Height());
    FFileNameTxt->SetTop(PanelTop + 10);
    FFilesOfTypeTxt->SetTop(PanelTop + 38);
    FReadOnlyChk->SetTop(PanelTop + 60);
    if (FSizeGrip)
        SetWindowPos(FSizeGrip, HWND_TOP, W - 13, H - 13, 0, 0, SWP_NOSIZE);
}

void TNVFrmOpenDlg::WndProc(TMessage& Message) {
    if (Message.Msg == WM_GETMINMAXINFO) {
        TForm::WndProc(Message);
        auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        Info->ptMinTrackSize = POINT{459, 274};
        Message.Result = 0;
        return;
    }
    TForm::WndProc(Message);
}

void TNVFrmOpenDlg::KeyDown(WORD& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Key == 0 || (Shift & (ssShift | ssCtrl | ssAlt)))
        return;
    switch (Key) {
    case VK_F4:
        if (SendMessageA(FCombo->Handle(), CB_GETDROPPEDSTATE, 0, 0)) {
            SendMessageA(FCombo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
            FList->SetFocus();
            // The folder chosen in the open list is taken as a click on it would.
            FCombo->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELENDOK),
                            reinterpret_cast<LPARAM>(FCombo->Handle()));
        } else {
            FCombo->SetFocus();
            SendMessageA(FCombo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        }
        break;
    case VK_F5: {
        // The focused one of the three refreshes itself: the key goes on to it.
        const bool OneFocused = FCombo->Focused() || FList->Focused() || FTree->Focused();
        if (!FCombo->Focused())
            FCombo->FillItems();
        if (!FList->Focused())
            FList->FillItems();
        if (!FTree->Focused() && FTree->ShellList())
            FTree->RefreshNodes();
        if (OneFocused)
            return;
        break;
    }
    case VK_F12:
        if (FOptions & nvofAllowTree)
            ShowTree(!(FOptions & nvofShowTree));
        break;
    default:
        return;
    }
    Key = 0;
}

std::string TNVFrmOpenDlg::GetFilename() const {
    if (FShown)
        return FChosen.empty() ? std::string() : FChosen.front();
    return FFileNameEdt->Text();
}

void TNVFrmOpenDlg::SetFilename(const std::string& Name) {
    FFileNameEdt->SetText(Name);
}

void TNVFrmOpenDlg::SetOptions(TNVOpenOptions Value) {
    FOptions = Value;
    FList->SetMultiSelect((Value & nvofAllowMultiselect) != 0);
    TNVShellListOptions L = FList->Options();
    auto Flag = [](TNVShellListOptions O, uint16_t Bit, bool On) {
        return static_cast<TNVShellListOptions>(On ? (O | Bit) : (O & ~Bit));
    };
    L = Flag(L, nvsloOleDrag, Value & nvofOleDrag);
    L = Flag(L, nvsloOleDrop, Value & nvofOleDrop);
    L = Flag(L, nvsloShowHidden, Value & nvofShowHidden);
    L = Flag(L, nvsloHideFoldersWhenLinkedToTree, Value & nvofHideFoldersInListWhenTreeVisible);
    FList->SetOptions(L);
    TNVShellTreeOptions T = FTree->Options();
    T = (Value & nvofShowHidden) ? (T | nvstoShowHidden) : (T & ~nvstoShowHidden);
    T = (Value & nvofOleDrag) ? (T | nvstoOleDrag) : (T & ~nvstoOleDrag);
    T = (Value & nvofOleDrop) ? (T | nvstoOleDrop) : (T & ~nvstoOleDrop);
    FTree->SetOptions(T);
    FHelpBtn->SetVisible((Value & nvofShowHelp) != 0);
    SetShowHint((Value & nvofShowHints) != 0);
    FReadOnlyChk->SetVisible(!(Value & nvofHideReadOnly));
    FReadOnlyChk->SetChecked((Value & nvofReadOnly) != 0);
}

void TNVFrmOpenDlg::SetFilter(const std::string& Value) {
    FFileTypesCbx->Items().Clear();
    FMasks.clear();
    std::vector<std::string> Parts;
    size_t Start = 0;
    while (Start <= Value.size()) {
        size_t End = Value.find('|', Start);
        if (End == std::string::npos)
            End = Value.size();
        Parts.push_back(Value.substr(Start, End - Start));
        Start = End + 1;
    }
    for (size_t I = 0; I + 1 < Parts.size(); I += 2) {
        FFileTypesCbx->Items().Add(Parts[I]);
        FMasks.push_back(Parts[I + 1]);
    }
}

int TNVFrmOpenDlg::FilterIndex() const {
    return FFileTypesCbx->ItemIndex() + 1;
}

void TNVFrmOpenDlg::SetFilterIndex(int Value) {
    int Index = Value - 1;
    if (Index < 0 || Index >= static_cast<int>(FMasks.size()))
        Index = FMasks.empty() ? -1 : 0;
    FFileTypesCbx->SetItemIndex(Index);
    FList->SetFileFilter(SelectedMask());
}

std::string TNVFrmOpenDlg::SelectedMask() const {
    int Index = FFileTypesCbx->ItemIndex();
    return Index >= 0 && Index < static_cast<int>(FMasks.size()) ? FMasks[static_cast<size_t>(Index)]
                                                                 : std::string();
}

void TNVFrmOpenDlg::TypeChanged() {
    if (!FUserPattern.empty()) {
        FFileNameEdt->SetText("");
        FUserPattern.clear();
    }
    FList->SetFileFilter(SelectedMask());
    if (FShown)
        DoEvent(OnTypeChanged, this);
}

void TNVFrmOpenDlg::ApplyUserFilter(const std::string& Pattern) {
    FUserPattern = Pattern;
    FList->SetFileFilter(Pattern);
    FList->FillItems();
}

void TNVFrmOpenDlg::ShowTree(bool Show) {
    if (Show) {
        FShowTreeBtn->SetDown(true);
        if (FCombo->ShellTree() != FTree || FSplitter->Position() < 0) {
            FCombo->SetShellList(nullptr);
            FTree->SetSelectedFolder(&FCombo->SelectedFolder());
            FCombo->SetShellTree(FTree);
            FTree->SetShellList(FList);
            FSplitter->SetPaneMinSize(0, 4);
            FSplitter->SetPosition(FSplitter->Position() >= 0 ? std::max(FSplitter->Position(), 141) : 200);
        }
        FOptions |= nvofShowTree;
        FTree->SetTabStop(true);
    } else {
        FShowTreeBtn->SetDown(false);
        if (FTree->Focused())
            FList->SetFocus();
        FTree->SetTabStop(false);
        FTree->SetShellList(nullptr);
        FCombo->SetShellTree(nullptr);
        FCombo->SetShellList(FList);
        FSplitter->SetPaneMinSize(0, -FSplitter->SplitterWidth());
        FSplitter->SetPosition(-FSplitter->SplitterWidth());
        FOptions &= ~static_cast<TNVOpenOptions>(nvofShowTree);
    }
    if (FList->HandleAllocated() && (FList->Options() & nvsloHideFoldersWhenLinkedToTree))
        FList->FillItems();
}

void TNVFrmOpenDlg::DoShow() {
    TForm::DoShow();
    SendMessageA(FFileTypesCbx->Handle(), CB_SETEXTENDEDUI, TRUE, 0);
    if (!(FOptions & nvofAllowTree) && FShowTreeBtn->Visible()) {
        FShowTreeBtn->SetVisible(false);
        const int Shift = FListBtn->Left() - FShowTreeBtn->Left();
        for (TSpeedButton* B : {FListBtn, FDetailsBtn})
            B->SetLeft(B->Left() - Shift);
    }
    ShowTree((FOptions & nvofShowTree) != 0);
    std::string Name = FFileNameEdt->Text();
    std::string Start = FInitialDir;
    if (Start.empty()) {
        Start = ExtractFileDir(Name);
        if (!Start.empty() && !ExtractFileName(Name).empty())
            FFileNameEdt->SetText(ExtractFileName(Name));
    }
    if (Start.empty())
        Start = GetCurrentDir();
    FCombo->SelectedFolder().SetPathName(Start);
    if (!FList->ItemCount())
        FList->Folder().SetPathName(Start);
    FFromSelection = false;
    FShown = true;
}

void TNVFrmOpenDlg::ListSelectionChanged() {
    if (!FShown)
        return;
    std::vector<std::string> Names;
    for (int I : FList->SelectedIndexes()) {
        TNVShListData* D = FList->GetShListData(I);
        if (D && !D->IsFolder())
            Names.push_back(D->GetFilename());
    }
    if (Names.size() >= 2) {
        std::string Text;
        for (const std::string& N : Names)
            Text += (Text.empty() ? "\"" : " \"") + N + "\"";
        FFileNameEdt->SetText(Text);
    } else if (Names.size() == 1) {
        FFileNameEdt->SetText(Names.front());
    }
    FFromSelection = true;
    DoEvent(OnSelectionChanged, this);
}

bool TNVFrmOpenDlg::ParseInputString(const std::string& Text) {
    TNVShellListFileView View(*FList);
    View.FromSelection = FFromSelection && FList->ShellSelCount() == 1;
    return NVParseInputString(Text, View, FDefaultExt, SelectedMask(), FOptions, Caption(), FChosen);
}

bool TNVFrmOpenDlg::CloseQuery() {
    if (!TForm::CloseQuery())
        return false;
    if (ModalResult() != mrOk)
        return true;
    std::string Text = FFileNameEdt->Text();
    std::string Name = ExtractFileName(Text);
    if (Name.find_first_of("*?") != std::string::npos) {
        std::string Dir = Text.substr(0, Text.size() - Name.size());
        if (!Dir.empty())
            ParseInputString(Dir);
        ApplyUserFilter(Name);
        FFileNameEdt->SetText(Name);
        FFileNameEdt->SelectAll();
        return false;
    }
    if (!ParseInputString(Text)) {
        FFileNameEdt->SelectAll();
        return false;
    }
    if (!(FOptions & nvofNoChangeDir)) {
        std::string Folder = FList->Folder().GetPathName();
        if (!Folder.empty())
            SetCurrentDirectoryA(Folder.c_str());
    }
    return true;
}
