#pragma once
// TNewCustomDictionary: asks for the name of a new user dictionary.

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "spell/ConfigurationDialogCtrl.h"

class TNewCustomDictionary : public TForm {
    ZEL_DECLARE_CLASS(TNewCustomDictionary)
public:
    explicit TNewCustomDictionary(TComponent* AOwner);

    TLabel* EditLabel;
    TEdit* NameEdit;
    TButton* OKButton;
    TButton* CancelButton;
    TConfigurationDialogCtrl* DialogControl;
};
