#pragma once
// The fields selection dialog: choose an ordered subset of named fields. The choice travels as
// one string of names separated by ";".
#include <string>

#include "framework/core/Strings.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class THSFieldsSelection : public TForm {
    ZEL_DECLARE_CLASS(THSFieldsSelection)
public:
    explicit THSFieldsSelection(TComponent* AOwner);
    void SetChosenFields(const std::string& S);
    std::string GetChosenFields() const;
    void IncludeBtnClick();
    void IncAllBtnClick();
    void ExcludeBtnClick();
    void ExAllBtnClick();
    void MoveUpBtnClick();
    void MoveDownBtnClick();
    void SetButtons();

    TLabel* SrcLabel = nullptr;
    TLabel* DstLabel = nullptr;
    TListBox* SrcList = nullptr;
    TListBox* DstList = nullptr;
    TSpeedButton* IncludeBtn = nullptr;
    TSpeedButton* IncAllBtn = nullptr;
    TSpeedButton* ExcludeBtn = nullptr;
    TSpeedButton* ExAllBtn = nullptr;
    TSpeedButton* MoveUpBtn = nullptr;
    TSpeedButton* MoveDownBtn = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

private:
    // Moves the selected entries of From to To (all of them with All).
    void MoveEntries(TListBox& From, TListBox& To, bool All);
};

// True when the user pressed OK; Chosen then holds the new choice.
bool HSShowFieldsDialog(const std::string& Caption, std::string& Chosen, TStrings& Available);
