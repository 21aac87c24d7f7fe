#include "spell/NewCustomDictionaryDialog.h"

#include "spell/DialogControls.h"
#include "spell/OrthosSpell.h"

ZEL_DEFINE_CLASS(TNewCustomDictionary, TForm, {})

TNewCustomDictionary::TNewCustomDictionary(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(TFormPosition::poOwnerFormCenter);
    SetCaption("xxNew User Dictionary");
    SetClientWidth(231);
    SetClientHeight(102);
    EditLabel = MakeControl<TLabel>(this, this, 8, 8, 215, 13, "xxName:");
    NameEdit = MakeControl<TEdit>(this, this, 8, 26, 215, 21);
    EditLabel->SetFocusControl(NameEdit);
    OKButton = MakeControl<TButton>(this, this, 68, 68, 75, 25, "xxOK");
    OKButton->SetDefault(true);
    OKButton->SetModalResult(mrOk);
    CancelButton = MakeControl<TButton>(this, this, 148, 68, 75, 25, "xxCancel");
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    DialogControl = new TConfigurationDialogCtrl(this);
    DialogControl->OnConfigurationAvailable = [this](TObject*) {
        SetCaption(DialogControl->GetString(lsNewCustomTitle));
        EditLabel->SetCaption(DialogControl->GetString(lsDlgNewCustom));
        OKButton->SetCaption(DialogControl->GetString(lsDlgOK));
        CancelButton->SetCaption(DialogControl->GetString(lsDlgCancel));
        if (auto* spell = dynamic_cast<TOrthosSpell3*>(DialogControl->OrthosSpell()))
            spell->SetupFormFonts(this, false);
    };
}
