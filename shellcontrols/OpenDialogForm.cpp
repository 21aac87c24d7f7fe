#include "shellcontrols/OpenDialogForm.h"

#include "framework/core/SysUtils.h"
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
    FUpBtn = new TButton(this);
    FUpBtn->SetParent(this);
    FUpBtn->SetBounds(272, 4, 23, 22);
    FUpBtn->SetCaption("..");
    FUpBtn->SetHint(NVResStr(SUpOneLevelHint));
    FUpBtn->OnClick = [this](TObject*) { FCombo->GoUp(1); };
    FNewFolderBtn = new TButton(this);
    FNewFolderBtn->SetParent(this);
    FNewFolderBtn->SetBounds(304, 4, 23, 22);
    FNewFolderBtn->SetCaption("+");
    FNewFolderBtn->SetHint(NVResStr(SCreateNewFolderHint));
    FNewFolderBtn->OnClick = [this](TObject*) {
        if (FTree->Focused())
            FTree->CreateNewFolder();
        else
            FList->CreateNewFolder(true);
    };

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
}

TNVFrmOpenDlg::~TNVFrmOpenDlg() = default;

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
    FTree->SetOptions(T);
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
}

void TNVFrmOpenDlg::ApplyUserFilter(const std::string& Pattern) {
    FUserPattern = Pattern;
    FList->SetFileFilter(Pattern);
    FList->FillItems();
}

void TNVFrmOpenDlg::ShowTree(bool Show) {
    if (Show) {
        FCombo->SetShellList(nullptr);
        FTree->SetSelectedFolder(&FCombo->SelectedFolder());
        FCombo->SetShellTree(FTree);
        FTree->SetShellList(FList);
        FSplitter->SetPaneMinSize(0, 4);
        FSplitter->SetPosition(FSplitter->Position() >= 0 ? std::max(FSplitter->Position(), 141) : 200);
        FOptions |= nvofShowTree;
        FTree->SetTabStop(true);
    } else {
        FTree->SetTabStop(false);
        FTree->SetShellList(nullptr);
        FCombo->SetShellTree(nullptr);
        FCombo->SetShellList(FList);
        FSplitter->SetPaneMinSize(0, -FSplitter->SplitterWidth());
        FSplitter->SetPosition(-FSplitter->SplitterWidth());
        FOptions &= ~static_cast<TNVOpenOptions>(nvofShowTree);
    }
}

void TNVFrmOpenDlg::DoShow() {
    TForm::DoShow();
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
