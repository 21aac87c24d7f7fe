#include "editor/mainwindow/GoToLineForm.h"

ZEL_DEFINE_CLASS(TGoToLineForm, TForm, {})

TGoToLineForm::TGoToLineForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("GoToLineForm");
    SetCaption("Go To Line");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TFormPosition::poScreenCenter);
    SetClientWidth(217);
    SetClientHeight(77);
    GoToLineLabel = new TLabel(this);
    GoToLineLabel->SetName("GoToLineLabel");
    GoToLineLabel->SetParent(this);
    GoToLineLabel->SetAutoSize(false);
    GoToLineLabel->SetAlignment(TAlignment::taRightJustify);
    GoToLineLabel->SetBounds(8, 14, 112, 16);
    GoToLineLabel->SetCaption("Go to line (1-1000):");
    GoToLineEdit = new TEdit(this);
    GoToLineEdit->SetName("GoToLineEdit");
    GoToLineEdit->SetParent(this);
    GoToLineEdit->SetBounds(128, 10, 80, 21);
    OKButton = new TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetParent(this);
    OKButton->SetBounds(48, 44, 75, 25);
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->SetModalResult(mrOk);
    CancelButton = new TButton(this);
    CancelButton->SetName("CancelButton");
    CancelButton->SetParent(this);
    CancelButton->SetBounds(133, 44, 75, 25);
    CancelButton->SetCaption("Cancel");
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    SetActiveControl(GoToLineEdit);
}
