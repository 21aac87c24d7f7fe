#pragma once
// The code editor's non-modal, always-on-top find, replace and go-to window. It acts on the text
// source of the memo that last had the focus (CurrentFindSource) through the source's own Find and
// Replace and the shared search options. There is at most one; closing it frees it.
#include <memory>
#include <string>

#include "controls/textmodel/dialogs/SourceDialogs.h"
#include "framework/ui/Buttons.h"

class TFrmSearRepl : public TNotModalSearchForm {
    ZEL_DECLARE_CLASS(TFrmSearRepl)
public:
    explicit TFrmSearRepl(TComponent* AOwner);
    ~TFrmSearRepl() override;

    void SetActiveIndex(int Index) override;
    void SetLineText(const std::string& Text) override { LineEd->SetText(Text); }
    // The same text in the three status labels.
    void ShowInfo(const std::string& Text);
    // Moves the window off a found text (screen coordinates): below it when the screen has room,
    // else above it.
    void MakeSearchVisible(const RECT& Rect) override;

    TPageControl* PageControl = nullptr;
    TTabSheet* EditorFindPage = nullptr;
    TTabSheet* EditorReplacePage = nullptr;
    TTabSheet* GotoTab = nullptr;
    TLabel* LTexttFind = nullptr;
    THSHistoryEditor* SearText = nullptr;
    TLabel* InfoLbl = nullptr;
    TLabel* Label1 = nullptr;
    THSHistoryEditor* SearText1 = nullptr;
    TLabel* LReplWith = nullptr;
    THSHistoryEditor* ReplText = nullptr;
    TLabel* InfoLbl1 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* InputLabel = nullptr;
    TEdit* LineEd = nullptr;
    TListBox* GotoBox = nullptr;
    TLabel* InfoLbl2 = nullptr;
    TPanel* Panel2 = nullptr;
    TSpeedButton* ExBtn = nullptr;
    TButton* FindBtn = nullptr;
    TButton* ReplBtn = nullptr;
    TButton* ReplAllBtn = nullptr;
    TButton* CloseBtn = nullptr;
    TButton* GoToBtn = nullptr;
    TPanel* ExPanel = nullptr;
    TGroupBox* gbxOptions = nullptr;
    TCheckBox* CaseSens = nullptr;
    TCheckBox* WholeWord = nullptr;
    TCheckBox* RegExpr = nullptr;
    TGroupBox* gbxDirection = nullptr;
    TRadioButton* dirForward = nullptr;
    TRadioButton* dirBackward = nullptr;
    TGroupBox* gbxScope = nullptr;
    TRadioButton* ScopeGlobal = nullptr;
    TRadioButton* ScopeSelected = nullptr;

    void FindBtnClick();
    void ReplBtnClick(bool All);
    void GoToBtnClick();
    void ExBtnClick();
    void CloseBtnClick();

private:
    void PageChanged();
    // Controls into the window's own options, then into the shared ones.
    void AssignOptions();
    void ShowNotFound();
    // The texts a search used go to the top of their editors' history lists.
    void RememberTexts();
    void PressDefault();
    std::unique_ptr<TBitmap> FGlyph;
    int FPanelHeight = 0;
    std::unique_ptr<TSearchOptions> FOptions;
};

// Lets the text sources open this window when they use the non-modal dialog (start-up calls it).
void RegisterSearchReplaceWindow();
