#pragma once
// TSpellCheckConfigDialog: the spelling options: the checking options the checker offers, the
// main dictionaries in use, the user dictionary that receives new words, and reset. Every change
// goes to the checker's configuration at once; there is no cancel that undoes it.

#include <array>

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "spell/ConfigurationDialogCtrl.h"
#include "spell/SpellCheckList.h"

class TSpellCheckConfigDialog : public TForm {
    ZEL_DECLARE_CLASS(TSpellCheckConfigDialog)
public:
    explicit TSpellCheckConfigDialog(TComponent* AOwner);

    TGroupBox* OptionsGroup;
    std::array<TCheckBox*, 10> Option;
    TGroupBox* DictionariesGroup;
    TSpellCheckList* MainDictionaries;
    TLabel* CustomLabel;
    TComboBox* CustomCombo;
    TButton* DictionariesButton;
    TButton* ResetButton;
    TButton* HelpButton;
    TButton* OK;
    TConfigurationDialogCtrl* DialogControl;

    // The number of option boxes left hidden.
    int PopulateOptions();
    void PopulateMainList();
    void PopulateDropDown();

    void WndProc(TMessage& Message) override;

private:
    void DialogControlConfigurationAvailable(TObject* Sender);
    void OptionsClick(TCheckBox* Box);
    void MainDictionariesChange(int Index);
    void FixHeader();
    bool FPopulating = false;
};
