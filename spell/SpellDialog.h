#pragma once
// TSpellDialog: the window shown for each word the checker cannot accept. It holds no checking
// logic: every answer goes through its DialogControl to the checker, and the checker drives it
// back through the control's OnConfigurationAvailable and OnPromptWord.

#include <string>

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "spell/ConfigurationDialogCtrl.h"

class TSpellDialog : public TForm {
    ZEL_DECLARE_CLASS(TSpellDialog)
public:
    explicit TSpellDialog(TComponent* AOwner);

    TEdit* NotFoundEdit;
    TLabel* NotFoundText;
    TLabel* ReplaceWithText;
    TEdit* ReplaceWithEdit;
    TListBox* SuggestionsListbox;
    TLabel* SuggestionsText;
    TButton* UndoButton;
    TButton* OptionsButton;
    TButton* IgnoreAllButton;
    TButton* IgnoreButton;
    TButton* ChangeAllButton;
    TButton* ChangeButton;
    TButton* AddButton;
    TButton* AutoCorrectButton;
    TButton* HelpButton;
    TButton* CancelButton;
    TConfigurationDialogCtrl* DialogControl;

    bool RepeatedMode() const { return FRepeated; }
    bool Deactivated() const { return FDeactivated; }
    void FullEnable(bool Enable);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Activate() override;
    void Deactivate() override;

private:
    void DialogControlConfigurationAvailable(TObject* Sender);
    void DialogControlPromptWord(TObject* Sender, const std::string& Word, bool Repeated);
    void ReplaceWithEditChange();
    bool Enabled(TSpellDialogCommand c) const;
    bool Visible(TSpellDialogCommand c) const;
    bool HasActiveCustom() const;
    std::string FShownWord;
    bool FRepeated = false;
    bool FDeactivated = false;
};
