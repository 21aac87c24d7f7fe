#include "controls/tree/MemoPrintProgress.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Printers.h"

ZEL_DEFINE_CLASS(TMemoPrintProgress, TForm, {})

TMemoPrintProgress::TMemoPrintProgress(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Printing";
    L.ClientWidth = 337;
    L.ClientHeight = 121;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        FormItem("TPanel", "pnlInfo", "", 0, 0, 337, 65, "", {{"Align", "alTop"}, {"BevelOuter", "bvNone"}}),
        FormItem("TLabel", "lblPrinter", "pnlInfo", 8, 6, 321, 16),
        FormItem("TLabel", "lblFileName", "pnlInfo", 8, 26, 321, 16),
        FormItem("TLabel", "lblProgress", "pnlInfo", 8, 46, 321, 16),
        FormItem("TProgressBar", "ProgressBar", "", 8, 67, 321, 17),
        FormItem("TButton", "btnCancel", "", 131, 88, 75, 25, "Cancel", {{"Cancel", "True"}}),
    };
    BuildForm(*this, L);
    pnlInfo = FindOwned<TPanel>(*this, "pnlInfo");
    lblPrinter = FindOwned<TLabel>(*this, "lblPrinter");
    lblFileName = FindOwned<TLabel>(*this, "lblFileName");
    lblProgress = FindOwned<TLabel>(*this, "lblProgress");
    ProgressBar = FindOwned<TProgressBar>(*this, "ProgressBar");
    btnCancel = FindOwned<TButton>(*this, "btnCancel");
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

void TMemoPrintProgress::ShowPrinter(TPageSink& Sink) {
    auto* System = dynamic_cast<TSystemPrinterSink*>(&Sink);
    lblPrinter->SetCaption(
        Format("Printing on printer %s", System ? System->PrinterName().c_str() : "(page recorder)"));
}
