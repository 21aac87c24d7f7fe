#pragma once
// The modal find and replace forms. Each edits a private copy of the shared search options and
// writes it back only when the user confirms, so a cancelled form leaves the next Find Next as it was.
#include <memory>

#include "controls/foundation/InputDialogs.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "controls/textmodel/MemoOptions.h"

// What the two forms share: the text to find, the three search switches, direction, scope and
// origin, and the OK, Cancel and Help buttons.
class TSearchOptionsForm : public TForm {
    ZEL_DECLARE_CLASS(TSearchOptionsForm)
public:
    explicit TSearchOptionsForm(TComponent* AOwner);
    ~TSearchOptionsForm() override;

    TPageControl* PageControl = nullptr;
    TTabSheet* FindPage = nullptr;
    TLabel* LTextToFind = nullptr;
    THSHistoryEditor* SearText = nullptr;
    TGroupBox* gbOptions = nullptr;
    TCheckBox* CaseSens = nullptr;
    TCheckBox* WholeWord = nullptr;
    TCheckBox* RegExpr = nullptr;
    TGroupBox* gbDirection = nullptr;
    TRadioButton* dirForward = nullptr;
    TRadioButton* dirBackward = nullptr;
    TGroupBox* gbScope = nullptr;
    TRadioButton* ScopeGlobal = nullptr;
    TRadioButton* ScopeSelected = nullptr;
    TGroupBox* gbOrigin = nullptr;
    TRadioButton* OriginFromCursor = nullptr;
    TRadioButton* OriginEntireScope = nullptr;
    TButton* OKBut = nullptr;
    TButton* CancelBut = nullptr;
    TButton* HelpBut = nullptr;

    // The form's own copy of the shared options.
    TSearchOptions& Options() { return *FOptions; }

protected:
    // Builds the shared controls plus Extra (placed in the find page or on the form) and fills them
    // from the copy. TopOfGroups is where the option groups start on the page; the page grows to
    // hold them and the form's buttons go in one row below it.
    void BuildSearchForm(const std::string& Caption, int TopOfGroups, std::vector<TFormItem> Extra);
    // Controls into the copy (the text, switches, direction, scope and origin).
    void ReadControls();
    // The copy into the shared options.
    void Commit();

private:
    std::unique_ptr<TSearchOptions> FOptions;
};

class TSrchDialog : public TSearchOptionsForm {
    ZEL_DECLARE_CLASS(TSrchDialog)
public:
    explicit TSrchDialog(TComponent* AOwner);
    // Never shown: the find-in-files page the search engine does not serve.
    TTabSheet* FindInFilesPage = nullptr;
    void OKButClick();
};

class TReplDialog : public TSearchOptionsForm {
    ZEL_DECLARE_CLASS(TReplDialog)
public:
    explicit TReplDialog(TComponent* AOwner);
    TLabel* LReplaceWith = nullptr;
    THSHistoryEditor* ReplText = nullptr;
    TCheckBox* PromptRepl = nullptr;
    TButton* ReplBut = nullptr;
    void SaveOptions(bool ReplaceAll);
    void OKButClick() { SaveOptions(false); }
    void ReplButClick();
};
