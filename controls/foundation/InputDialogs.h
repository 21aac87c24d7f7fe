#pragma once
// A modal one-line input dialog (strings, integers, a scale factor, a line number) and a combo box
// that keeps the history of what was entered in it in the family's registry key.
#include <functional>
#include <string>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TInputLineForm : public TForm {
    ZEL_DECLARE_CLASS(TInputLineForm)
public:
    explicit TInputLineForm(TComponent* AOwner);
    TPanel* Panel1 = nullptr;
    TLabel* InputLabel = nullptr;
    TEdit* PropEdit = nullptr;
    TButton* OkBut = nullptr;
    TButton* CancelBut = nullptr;
    TButton* HelpBut = nullptr;
    // Checks the text when OK is chosen; an empty string accepts it, anything else is shown and the
    // dialog stays open.
    std::function<std::string(const std::string& Text)> Validate;
};

namespace Hsinpfrm {
// A form of this class for callers that keep one; the functions below make their own.
extern TInputLineForm* InputLineForm;
} // namespace Hsinpfrm

TInputLineForm* CreateInputForm(const std::string& Caption, const std::string& Prompt, int HelpContext);
bool ReadString(const std::string& Caption, const std::string& Prompt, int HelpContext, std::string& S);
// Text that is not an integer is refused inside the dialog; N changes only on OK.
bool ReadInteger(const std::string& Caption, const std::string& Prompt, int HelpContext, int& N);
bool ReadScaleFactor(double& Factor);

class THSHistoryEditor : public TComboBox {
    ZEL_DECLARE_CLASS(THSHistoryEditor)
public:
    explicit THSHistoryEditor(TComponent* AOwner);
    ~THSHistoryEditor() override;
    // "EditHistory\" and the stored name, else the owner's and the control's names, else "Default".
    std::string RegName() const;
    void SetRegName(const std::string& Value) { FRegName = Value; }
    // Moves the current text to the top of the list (an empty text is not added).
    virtual void HistoryChanged();
    virtual void SaveHistory();
    virtual void LoadHistory();
    void EmptyHistory() { Items().Clear(); }
    void Loaded() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;

private:
    std::string FRegName;
    bool FEatChar = false;
};
