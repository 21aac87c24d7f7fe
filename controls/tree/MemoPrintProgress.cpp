#include "controls/tree/MemoPrintProgress.h"

ZEL_DEFINE_CLASS(TMemoPrintProgress, TForm, {})

namespace {
TFormItem Item(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
               const char* Caption = "", std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, Caption, std::move(Props), nullptr, nullptr};
}
template <class T> T* Find(TComponent& Owner, const char* Name) {
    return static_cast<T*>(Owner.FindComponent(Name));
}
} // namespace

TMemoPrintProgress::TMemoPrintProgress(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Printing";
    L.ClientWidth = 337;
    L.ClientHeight = 121;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        Item("TPanel", "pnlInfo", "", 0, 0, 337, 65, "", {{"Align", "alTop"}, {"BevelOuter", "bvNone"}}),
        Item("TLabel", "lblPrinter", "pnlInfo", 8, 6, 321, 16),
        Item("TLabel", "lblFileName", "pnlInfo", 8, 26, 321, 16),
        Item("TLabel", "lblProgress", "pnlInfo", 8, 46, 321, 16),
        Item("TProgressBar", "ProgressBar", "", 8, 67, 321, 17),
        Item("TButton", "btnCancel", "", 131, 88, 75, 25, "Cancel", {{"Cancel", "True"}}),
    };
    BuildForm(*this, L);
    pnlInfo = Find<TPanel>(*this, "pnlInfo");
    lblPrinter = Find<TLabel>(*this, "lblPrinter");
    lblFileName = Find<TLabel>(*this, "lblFileName");
    lblProgress = Find<TLabel>(*this, "lblProgress");
    ProgressBar = Find<TProgressBar>(*this, "ProgressBar");
    btnCancel = Find<TButton>(*this, "btnCancel");
    ProgressBar->SetStep(1);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
}

void TMemoPrintProgress::Relayout() {
    pnlInfo->SetHeight(lblProgress->Top() + lblProgress->Height());
    ProgressBar->SetTop(pnlInfo->Top() + pnlInfo->Height() + 2);
    btnCancel->SetTop(ProgressBar->Top() + ProgressBar->Height() + 2);
    SetClientHeight(btnCancel->Top() + btnCancel->Height() + 2);
}
