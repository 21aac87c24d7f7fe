#pragma once
// The memo's print options dialog: what to print (the file or the selected block) and how.
#include "controls/memo/MemoPrint.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TMemoPrintForm : public TForm {
    ZEL_DECLARE_CLASS(TMemoPrintForm)
public:
    explicit TMemoPrintForm(TComponent* AOwner);

    THSPrintOptions Options() const { return FOptions; }
    void SetOptions(THSPrintOptions Value) { FOptions = Value; }
    // Rebuilds the options from the boxes, as OK does.
    void CommitOptions();

    TGroupBox* gbxFile = nullptr;
    TLabel* lblFileName = nullptr;
    TCheckBox* PrintSelCheck = nullptr;
    TGroupBox* gbxOptions = nullptr;
    TCheckBox* HeaderCheck = nullptr;
    TCheckBox* LineNumbersCheck = nullptr;
    TCheckBox* SyntaxPrintCheck = nullptr;
    TCheckBox* UseColorCheck = nullptr;
    TCheckBox* ShowPrintProgress = nullptr;
    TCheckBox* WrapLinesCheck = nullptr;
    TLabel* lblMargin = nullptr;
    TEdit* LeftMarginEdit = nullptr;
    TButton* SetupBut = nullptr;
    TButton* OkBut = nullptr;
    TButton* CancelBut = nullptr;
    TButton* HelpBut = nullptr;
    TPrinterSetupDialog* PrinterSetup = nullptr;

protected:
    void DoShow() override;

private:
    THSPrintOptions FOptions = kDefaultPrintOptions;
};
