#pragma once
// Page geometry of tree printing and the small setup form of PrintWithDialog.
#include "framework/core/Win.h"

#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

// Where things go on a printed page. Coordinates are printer pixels on the printer's canvas,
// whose origin is the corner of the printable area.
struct TTreePrintLayout {
    RECT Area{0, 0, 0, 0};     // the printable area
    RECT TreeArea{0, 0, 0, 0}; // the page picture: below the header, above the footer
    RECT FooterArea{0, 0, 0, 0};
    SIZE PageSize{0, 0}; // the page picture at screen scale
};

// Header and footer heights in printer pixels (0 when not printed). The header takes height
// from the top only: the picture keeps the area's full width.
TTreePrintLayout ComputeTreePrintLayout(int PageWidth, int PageHeight, int PrinterPpiX, int PrinterPpiY,
                                        int ScreenPpiX, int ScreenPpiY, int HeaderHeight, int FooterHeight);

class TfrmTreePrintSetup : public TForm {
    ZEL_DECLARE_CLASS(TfrmTreePrintSetup)
public:
    explicit TfrmTreePrintSetup(TComponent* AOwner);
    TLabel* lblFileName = nullptr;
    TGroupBox* GroupBox = nullptr;
    TCheckBox* chkHeader = nullptr;
    TCheckBox* chkShowPrintProgress = nullptr;
    TCheckBox* chkFooter = nullptr;
    TButton* SetupBut = nullptr;
    TButton* OkBut = nullptr;
    TButton* CancelBut = nullptr;
    TPrinterSetupDialog* PrinterSetup = nullptr;
};
