#pragma once
// The dialog through which the family's readers ask whether to skip a property they could not
// read, and whether to skip every later one too.

#include <string>

#include "framework/ui/Forms.h"

class TBevel;
class TLabel;
class TButton;

inline constexpr TModalResult mrIgnoreAll = 5;

class TReaderErrorDlg : public TForm {
    ZEL_DECLARE_CLASS(TReaderErrorDlg)
public:
    explicit TReaderErrorDlg(TComponent* AOwner);

    TBevel* Bevel1 = nullptr;
    TLabel* LerrMess = nullptr;
    TButton* IgnoreButton = nullptr;
    TButton* CancelButton = nullptr;
    TButton* IgnoreAllButton = nullptr;
};

// Shows the dialog with the reader's message: Ignore sets Handled; Ignore All sets Handled and
// IgnoreAll; Cancel (or closing the dialog) clears Handled.
void ShowReaderErrorDialog(const std::string& Message, bool& Handled, bool& IgnoreAll);
// Makes the dialog the family's ReaderErrorHandler.
void InstallReaderErrorDialog();
