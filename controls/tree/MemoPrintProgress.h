#pragma once
// The printing status window shared by memo and tree printing: the printer, the document and
// the page being printed, a progress bar and a Cancel button that sets the modal result.
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TPageSink;

class TMemoPrintProgress : public TForm {
    ZEL_DECLARE_CLASS(TMemoPrintProgress)
public:
    explicit TMemoPrintProgress(TComponent* AOwner);
    // Stacks the labels, the bar and the button from the top after a label changed its height.
    void Relayout();
    // "Printing on printer <name>" for the printer the pages go to.
    void ShowPrinter(TPageSink& Sink);

    TPanel* pnlInfo = nullptr;
    TLabel* lblPrinter = nullptr;
    TLabel* lblFileName = nullptr;
    TLabel* lblProgress = nullptr;
    TProgressBar* ProgressBar = nullptr;
    TButton* btnCancel = nullptr;
};
