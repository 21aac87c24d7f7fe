#include "controls/memo/MemoPrintForm.h"

#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/FontMetrics.h"

ZEL_DEFINE_CLASS(TMemoPrintForm, TForm, {})

TMemoPrintForm::TMemoPrintForm(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Print";
    L.ClientWidth = 380;
    L.ClientHeight = 250;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        FormItem("TGroupBox", "gbxFile", "", 8, 8, 270, 64, "File To Print:"),
        FormItem("TLabel", "lblFileName", "gbxFile", 10, 18, 250, 16),
        FormItem("TCheckBox", "PrintSelCheck", "gbxFile", 10, 38, 250, 20, "&Print selected block"),
        FormItem("TGroupBox", "gbxOptions", "", 8, 80, 270, 160, "Options:"),
        FormItem("TCheckBox", "HeaderCheck", "gbxOptions", 10, 18, 250, 20, "Header/page &number"),
        FormItem("TCheckBox", "LineNumbersCheck", "gbxOptions", 10, 38, 250, 20, "&Line numbers"),
        FormItem("TCheckBox", "SyntaxPrintCheck", "gbxOptions", 10, 58, 250, 20, "&Syntax print"),
        FormItem("TCheckBox", "UseColorCheck", "gbxOptions", 10, 78, 250, 20, "Use &color"),
        FormItem("TCheckBox", "ShowPrintProgress", "gbxOptions", 10, 98, 250, 20, "Show print &progress"),
        FormItem("TCheckBox", "WrapLinesCheck", "gbxOptions", 10, 124, 120, 20, "&Wrap lines"),
        FormItem("TLabel", "lblMargin", "gbxOptions", 140, 126, 70, 16, "Left &margin:"),
        FormItem("TEdit", "LeftMarginEdit", "gbxOptions", 212, 122, 48, 22),
        FormItem("TButton", "SetupBut", "", 290, 14, 80, 25, "Se&tup..."),
        FormItem("TButton", "OkBut", "", 290, 140, 80, 25, "Ok", {{"Default", "True"}}),
        FormItem("TButton", "CancelBut", "", 290, 172, 80, 25, "Cancel", {{"Cancel", "True"}}),
        FormItem("TButton", "HelpBut", "", 290, 204, 80, 25, "&Help"),
    };
    BuildForm(*this, L);
    gbxFile = FindOwned<TGroupBox>(*this, "gbxFile");
    lblFileName = FindOwned<TLabel>(*this, "lblFileName");
    PrintSelCheck = FindOwned<TCheckBox>(*this, "PrintSelCheck");
    gbxOptions = FindOwned<TGroupBox>(*this, "gbxOptions");
    HeaderCheck = FindOwned<TCheckBox>(*this, "HeaderCheck");
    LineNumbersCheck = FindOwned<TCheckBox>(*this, "LineNumbersCheck");
    SyntaxPrintCheck = FindOwned<TCheckBox>(*this, "SyntaxPrintCheck");
    UseColorCheck = FindOwned<TCheckBox>(*this, "UseColorCheck");
    ShowPrintProgress = FindOwned<TCheckBox>(*this, "ShowPrintProgress");
    WrapLinesCheck = FindOwned<TCheckBox>(*this, "WrapLinesCheck");
    lblMargin = FindOwned<TLabel>(*this, "lblMargin");
    LeftMarginEdit = FindOwned<TEdit>(*this, "LeftMarginEdit");
    SetupBut = FindOwned<TButton>(*this, "SetupBut");
    OkBut = FindOwned<TButton>(*this, "OkBut");
    CancelBut = FindOwned<TButton>(*this, "CancelBut");
    HelpBut = FindOwned<TButton>(*this, "HelpBut");
    SetFormFont(this);
    UpdateStandardButtons(OkBut, CancelBut, HelpBut);
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
