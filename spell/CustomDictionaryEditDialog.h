#pragma once
// TCustomDictionaryEditDialog: the three word lists of one user dictionary on three pages (added
// words, auto-correct pairs, excluded words). Every change goes to the dictionary at once; there is
// nothing to cancel.

#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "spell/ConfigurationDialogCtrl.h"
#include "spell/SpellCheckList.h"

class TCustomDictionaryEditDialog : public TForm {
    ZEL_DECLARE_CLASS(TCustomDictionaryEditDialog)
public:
    explicit TCustomDictionaryEditDialog(TComponent* AOwner);

    TPageControl* PageControl;
    TTabSheet* AddedWordsSheet;
    TLabel* AddedWordsExplain;
    TLabel* IgnoreEditLabel;
    TListBox* IgnoreList;
    TEdit* IgnoreEdit;
    TButton* AddIgnoreButton;
    TButton* DeleteIgnoreButton;
    TTabSheet* AutoCorrectWordsSheet;
    TLabel* AutoCorrectWordsExplain;
    TLabel* ReplaceEditLabel;
    TLabel* WithEditLabel;
    TSpellCheckList* AutoCorrectList;
    TEdit* ReplaceEdit;
    TEdit* WithEdit;
    TButton* AddAutoCorrectButton;
    TButton* DeleteAutoCorrectButton;
    TTabSheet* ExcludedWordsSheet;
    TLabel* ExcludeWordsExplanation;
    TLabel* ExcludeEditLabel;
    TListBox* ExcludeList;
    TEdit* ExcludeEdit;
    TButton* AddExcludeButton;
    TButton* DeleteExcludeButton;
    TButton* OK;
    TButton* HelpButton;
    TConfigurationDialogCtrl* DialogControl;
    TTimer* Timer;

    // Fills the page shown now when its list is still empty (as showing the page does).
    void FillActivePage();

protected:
    void DoShow() override;

private:
    // The added-words and excluded-words pages work alike; Kind tells them apart.
    enum class WordKind { Ignore, Exclude };
    struct WordPage {
        TListBox* List;
        TEdit* Edit;
        TButton* Add;
        TButton* Delete;
    };
    WordPage Page(WordKind Kind);
    TCustomDictionary* Dictionary() const;
    bool IsInternal() const;

    void ConfigurationAvailable();
    void CustomDictionaryAvailable();
    void FillWordPage(WordKind Kind);
    void FillAutoCorrectPage();
    void WordEditChange(WordKind Kind);
    void WordListClick(WordKind Kind);
    void WordAdd(WordKind Kind);
    void WordDelete(WordKind Kind);
    void ReplaceEditChange();
    void WithEditChange();
    void AutoCorrectSelect(int Index);
    void AutoCorrectAdd();
    void AutoCorrectDelete();
    void FitReplacementColumn();

    bool FColumnsMade = false;
    int FInSelect = 0;
};
