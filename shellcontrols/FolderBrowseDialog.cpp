#include "shellcontrols/FolderBrowseDialog.h"

#include "framework/core/Exceptions.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVFrmFolderBrowseDlg, TForm, {})
ZEL_DEFINE_CLASS(TNVCustomFolderBrowseDlg, TNVDialog, {})
ZEL_DEFINE_CLASS(TNVFolderBrowseDlg, TNVCustomFolderBrowseDlg, {})

using namespace nvshell;

TNVFrmFolderBrowseDlg::TNVFrmFolderBrowseDlg(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(NVResStr(SBrowseForFolder));
    SetPosition(TFormPosition::poScreenCenter);
    SetClientWidth(358);
    SetClientHeight(313);
    Font().SetName(NVResStr(SDialogFontName));
    Font().SetSize(8);
    FStatus = new TNVFrame(this);
    FStatus->SetParent(this);
    FStatus->SetBounds(8, 8, 281, 17);
    FStatus->SetFrameStyle(TNVFrameStyle::nvfsNone);
    FStatus->SetAlignment(TAlignment::taLeftJustify);
    FStatus->SetFrameSpace(0);
    FTree = new TNVShellTree(this);
    // Filled once the base and selected folders are set, when the form shows.
    FTree->SetOptions(nvstoVirtualFolders | nvstoContextMenus | nvstoDynamicRefresh |
                      nvstoDefaultKeyHandling);
    FTree->SetParent(this);
    FTree->SetBounds(8, 28, 341, 245);
    FTree->OnChange = [this](TObject*) { SelectionChanged(); };
    auto MakeButton = [this](int X, const std::string& Caption, int Result) {
        auto* B = new TButton(this);
        B->SetParent(this);
        B->SetBounds(X, 282, 75, 23);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        return B;
    };
    FOkBtn = MakeButton(196, NVResStr(SOKButton), mrOk);
    FOkBtn->SetDefault(true);
    FCancelBtn = MakeButton(276, NVResStr(SCancelButton), mrCancel);
    FCancelBtn->SetCancel(true);
    FCreateBtn = MakeButton(8, "&Create...", mrNone);
    FCreateBtn->OnClick = [this](TObject*) { FTree->CreateNewFolder(); };
    FDeleteBtn = MakeButton(88, "&Delete...", mrNone);
    FDeleteBtn->OnClick = [this](TObject*) { FTree->DoCommandForNode(FTree->Selected(), "delete"); };
    FCreateBtn->SetVisible(false);
    FDeleteBtn->SetVisible(false);
}

void TNVFrmFolderBrowseDlg::SetOptions(TNVFolderBrowseDlgOptions Value) {
    TNVShellTreeOptions T = FTree->Options();
    auto Map = [&T](bool On, uint16_t Bit) { T = On ? (T | Bit) : (T & ~Bit); };
    Map(Value & nvfbOleDrag, nvstoOleDrag);
    Map(Value & nvfbOleDrop, nvstoOleDrop);
    Map(Value & nvfbIncludeNonFolders, nvstoIncludeNonFolders);
    Map(Value & nvfbVirtualFolders, nvstoVirtualFolders);
    Map(Value & nvfbContextMenus, nvstoContextMenus);
    Map(Value & nvfbShowHidden, nvstoShowHidden);
    FTree->SetOptions(T);
    FTree->SetReadOnly((Value & nvfbReadOnly) != 0);
    FCreateBtn->SetVisible((Value & nvfbCreateDeleteButtons) != 0);
    FDeleteBtn->SetVisible((Value & nvfbCreateDeleteButtons) != 0);
}

void TNVFrmFolderBrowseDlg::DoShow() {
    TForm::DoShow();
    FTree->FillItems();
}

void TNVFrmFolderBrowseDlg::SelectionChanged() {
    HTREEITEM Node = FTree->Selected();
    TNVShTreeData* D = FTree->NodeData(Node);
    if (!D)
        return;
    bool HasPath = !D->GetPathName().empty();
    FCreateBtn->SetEnabled(HasPath);
    FDeleteBtn->SetEnabled(HasPath && Node != FTree->FirstNode());
    DoEvent(OnSelChange, this, D->GetAbsPidl());
}

TNVCustomFolderBrowseDlg::TNVCustomFolderBrowseDlg(TComponent* AOwner)
    : TNVDialog(AOwner), FBaseFolder(std::make_unique<TNVShellLocator>()),
      FSelectedFolder(std::make_unique<TNVShellLocator>()) {}

TNVCustomFolderBrowseDlg::~TNVCustomFolderBrowseDlg() = default;

void TNVCustomFolderBrowseDlg::SetStatus(const std::string& Text) {
    FStatus = Text;
    if (FForm)
        FForm->StatusTxt()->SetCaption(Text);
}

bool TNVCustomFolderBrowseDlg::GetOkEnabled() const {
    if (!FForm)
        throw EInvalidOperation("TNVFolderBrowseDlg form not active");
    return FForm->OkButton()->Enabled();
}

void TNVCustomFolderBrowseDlg::SetOkEnabled(bool Value) {
    if (!FForm)
        throw EInvalidOperation("TNVFolderBrowseDlg form not active");
    FForm->OkButton()->SetEnabled(Value);
}

bool TNVCustomFolderBrowseDlg::DoExecute() {
    if (FForm)
        throw EInvalidOperation("TNVFolderBrowseDlg form already active");
    std::unique_ptr<TNVFrmFolderBrowseDlg> Form(new TNVFrmFolderBrowseDlg(Application));
    FForm = Form.get();
    struct TForget {
        TNVFrmFolderBrowseDlg*& F;
        ~TForget() { F = nullptr; }
    } Forget{FForm};
    Form->OnSelChange = OnSelChange;
    Form->StatusTxt()->SetCaption(FStatus);
    if (FormWidth > 0)
        Form->SetWidth(FormWidth);
    if (FormHeight > 0)
        Form->SetHeight(FormHeight);
    Form->SetWindowState(FormWindowState);
    Form->SetOptions(Options);
    if (!Title.empty())
        Form->SetCaption(Title);
    Form->ShellTree()->BaseFolder().Assign(FBaseFolder.get());
    Form->ShellTree()->SelectedFolder().Assign(FSelectedFolder.get());
    if (OnFormShow)
        Form->OnShow = OnFormShow;
    if (OnFormClose)
        Form->OnHide = OnFormClose;
    DoInitialized();
    bool Ok = Form->ShowModal() == mrOk;
    if (Form->HandleAllocated()) {
        WINDOWPLACEMENT P{};
        P.length = sizeof(P);
        if (GetWindowPlacement(Form->Handle(), &P)) {
            FormWidth = P.rcNormalPosition.right - P.rcNormalPosition.left;
            FormHeight = P.rcNormalPosition.bottom - P.rcNormalPosition.top;
        }
    }
    FormWindowState = Form->WindowState();
    if (Ok)
        FSelectedFolder->SetIdList(Form->ShellTree()->SelectedFolder().GetIdList());
    return Ok;
}
