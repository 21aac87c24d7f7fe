#include "controls/memo/MemoPrintForm.h"

ZEL_DEFINE_CLASS(TMemoPrintForm, TForm, {})

namespace {
TFormItem Item(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
               const char* Caption = "", std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, Caption, std::move(Props), nullptr, nullptr};
}
template <class T> T* Find(TComponent& Owner, const char* Name) {
    return static_cast<T*>(Owner.FindComponent(Name));
}
} // namespace

TMemoPrintForm::TMemoPrintForm(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Print";
    L.ClientWidth = 380;
    L.ClientHeight = 250;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        Item("TGroupBox", "gbxFile", "", 8, 8, 270, 64, "File To Print:"),
        Item("TLabel", "lblFileName", "gbxFile", 10, 18, 250, 16),
        Item("TCheckBox", "PrintSelCheck", "gbxFile", 10, 38, 250, 20, "&Print selected block"),
        Item("TGroupBox", "gbxOptions", "", 8, 80, 270, 160, "Options:"),
        Item("TCheckBox", "HeaderCheck", "gbxOptions", 10, 18, 250, 20, "Header/page &number"),
        Item("TCheckBox", "LineNumbersCheck", "gbxOptions", 10, 38, 250, 20, "&Line numbers"),
        Item("TCheckBox", "SyntaxPrintCheck", "gbxOptions", 10, 58, 250, 20, "&Syntax print"),
        Item("TCheckBox", "UseColorCheck", "gbxOptions", 10, 78, 250, 20, "Use &color"),
        Item("TCheckBox", "ShowPrintProgress", "gbxOptions", 10, 98, 250, 20, "Show print &progress"),
        Item("TCheckBox", "WrapLinesCheck", "gbxOptions", 10, 118, 120, 20, "&Wrap lines"),
        Item("TLabel", "lblMargin", "gbxOptions", 140, 120, 70, 16, "Left &margin:"),
        Item("TEdit", "LeftMarginEdit", "gbxOptions", 212, 116, 48, 22),
        Item("TButton", "SetupBut", "", 290, 14, 80, 25, "Se&tup..."),
        Item("TButton", "OkBut", "", 290, 140, 80, 25, "Ok", {{"Default", "True"}}),
        Item("TButton", "CancelBut", "", 290, 172, 80, 25, "Cancel", {{"Cancel", "True"}}),
        Item("TButton", "HelpBut", "", 290, 204, 80, 25, "&Help"),
    };
    BuildForm(*this, L);
    gbxFile = Find<TGroupBox>(*this, "gbxFile");
    lblFileName = Find<TLabel>(*this, "lblFileName");
    PrintSelCheck = Find<TCheckBox>(*this, "PrintSelCheck");
    gbxOptions = Find<TGroupBox>(*this, "gbxOptions");
    HeaderCheck = Find<TCheckBox>(*this, "HeaderCheck");
    LineNumbersCheck = Find<TCheckBox>(*this, "LineNumbersCheck");
    SyntaxPrintCheck = Find<TCheckBox>(*this, "SyntaxPrintCheck");
    UseColorCheck = Find<TCheckBox>(*this, "UseColorCheck");
    ShowPrintProgress = Find<TCheckBox>(*this, "ShowPrintProgress");
    WrapLinesCheck = Find<TCheckBox>(*this, "WrapLinesCheck");
    lblMargin = Find<TLabel>(*this, "lblMargin");
    LeftMarginEdit = Find<TEdit>(*this, "LeftMarginEdit");
    SetupBut = Find<TButton>(*this, "SetupBut");
    OkBut = Find<TButton>(*this, "OkBut");
    CancelBut = Find<TButton>(*this, "CancelBut");
    HelpBut = Find<TButton>(*this, "HelpBut");
    PrinterSetup = new TPrinterSetupDialog(this);
    SetupBut->OnClick = [this](TObject*) { PrinterSetup->Execute(); };
    PrintSelCheck->OnClick = [this](TObject*) {
        SetCaption(PrintSelCheck->Checked() ? "Print Selection" : "Print");
    };
    OkBut->OnClick = [this](TObject*) {
        CommitOptions();
        SetModalResult(mrOk);
    };
    CancelBut->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
}

void TMemoPrintForm::CommitOptions() {
    THSPrintOptions O = 0;
    O |= PrintSelCheck->Checked() ? poPrintSel : 0;
    O |= HeaderCheck->Checked() ? poPrintHeader : 0;
    O |= LineNumbersCheck->Checked() ? poLineNumbers : 0;
    O |= SyntaxPrintCheck->Checked() ? poPrintSyntax : 0;
    O |= UseColorCheck->Checked() ? poInColor : 0;
    O |= ShowPrintProgress->Checked() ? poShowProgress : 0;
    O |= WrapLinesCheck->Checked() ? poWrapLines : 0;
    FOptions = O;
}

void TMemoPrintForm::DoShow() {
    HeaderCheck->SetChecked(FOptions & poPrintHeader);
    LineNumbersCheck->SetChecked(FOptions & poLineNumbers);
    SyntaxPrintCheck->SetChecked(FOptions & poPrintSyntax);
    UseColorCheck->SetChecked(FOptions & poInColor);
    ShowPrintProgress->SetChecked(FOptions & poShowProgress);
    WrapLinesCheck->SetChecked(FOptions & poWrapLines);
    TForm::DoShow();
}
