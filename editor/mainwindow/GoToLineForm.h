#pragma once
// The small dialog that asks for a line number.
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TGoToLineForm : public TForm {
    ZEL_DECLARE_CLASS(TGoToLineForm)
public:
    explicit TGoToLineForm(TComponent* AOwner);
    TLabel* GoToLineLabel = nullptr;
    TEdit* GoToLineEdit = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
};
