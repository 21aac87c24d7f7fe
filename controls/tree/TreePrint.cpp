// Printing of the tree: rows as on screen, on as many pages down and across as needed, with an
// optional header (text and page number) and footer, each page drawn into a metafile at screen
// scale and stretched onto the printer's page.
#include "controls/tree/TreePrint.h"

#include <algorithm>
#include <memory>

#include "controls/tree/HSTree.h"
#include "controls/tree/MemoPrintProgress.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Printers.h"

ZEL_DEFINE_CLASS(TfrmTreePrintSetup, TForm, {})
ZEL_DEFINE_CLASS(THSTreePrintOptions, TPersistent, {})

// --- print options ----------------------------------------------------------------------------

THSTreePrintOptions::THSTreePrintOptions(THSCustomTreeView* ATree)
    : FTree(ATree), FFooterFont(std::make_unique<TFont>()), FHeaderFont(std::make_unique<TFont>()),
      FPrintFont(std::make_unique<TFont>()) {
    TreeFontChanged();
}

THSTreePrintOptions::~THSTreePrintOptions() = default;

void THSTreePrintOptions::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<THSTreePrintOptions*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    Footer = S->Footer;
    Header = S->Header;
    Title = S->Title;
    Options = S->Options;
    FFooterFont->Assign(*S->FFooterFont);
    FHeaderFont->Assign(*S->FHeaderFont);
    FPrintFont->Assign(*S->FPrintFont);
    FParentFooterFont = S->FParentFooterFont;
    FParentHeaderFont = S->FParentHeaderFont;
    FParentPrintFont = S->FParentPrintFont;
    TreeFontChanged();
}

void THSTreePrintOptions::SetFooterFont(const TFont& Value) {
    FFooterFont->Assign(Value);
    FParentFooterFont = false;
}
void THSTreePrintOptions::SetHeaderFont(const TFont& Value) {
    FHeaderFont->Assign(Value);
    FParentHeaderFont = false;
}
void THSTreePrintOptions::SetPrintFont(const TFont& Value) {
    FPrintFont->Assign(Value);
    FParentPrintFont = false;
}
void THSTreePrintOptions::SetParentFooterFont(bool Value) {
    FParentFooterFont = Value;
    TreeFontChanged();
}
void THSTreePrintOptions::SetParentHeaderFont(bool Value) {
    FParentHeaderFont = Value;
    TreeFontChanged();
}
void THSTreePrintOptions::SetParentPrintFont(bool Value) {
    FParentPrintFont = Value;
    TreeFontChanged();
}

void THSTreePrintOptions::TreeFontChanged() {
    if (!FTree)
        return;
    if (FParentHeaderFont)
        FHeaderFont->Assign(FTree->Font());
    if (FParentFooterFont)
        FFooterFont->Assign(FTree->Font());
    if (FParentPrintFont)
        FPrintFont->Assign(FTree->Font());
}

TTreePrintLayout ComputeTreePrintLayout(int PageWidth, int PageHeight, int PrinterPpiX, int PrinterPpiY,
                                        int ScreenPpiX, int ScreenPpiY, int HeaderHeight, int FooterHeight) {
    TTreePrintLayout L;
    L.Area = RECT{0, 0, PageWidth, PageHeight};
    L.TreeArea = L.Area;
    L.TreeArea.top += HeaderHeight;
    if (FooterHeight > 0) {
        L.TreeArea.bottom -= 2 * FooterHeight;
        L.FooterArea = RECT{L.Area.left, L.TreeArea.bottom, L.Area.right, L.Area.bottom};
    }
    int W = std::max<LONG>(1, L.TreeArea.right - L.TreeArea.left);
    int H = std::max<LONG>(1, L.TreeArea.bottom - L.TreeArea.top);
    L.PageSize.cx = std::max(1, MulDiv(W, ScreenPpiX, std::max(1, PrinterPpiX)));
    L.PageSize.cy = std::max(1, MulDiv(H, ScreenPpiY, std::max(1, PrinterPpiY)));
    return L;
}

namespace {

// A font for a canvas of the printer's resolution: the same point size there.
void AssignScaled(TFont& Target, TFont& Source, int Ppi) {
    Target.PixelsPerInch = Ppi;
    Target.Assign(Source);
}

int ScreenPpi(int Index) {
    HDC DC = GetDC(nullptr);
    int R = GetDeviceCaps(DC, Index);
    ReleaseDC(nullptr, DC);
    return R > 0 ? R : 96;
}

} // namespace

TfrmTreePrintSetup::TfrmTreePrintSetup(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Print Selection";
    L.ClientWidth = 425;
    L.ClientHeight = 137;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        FormItem("TLabel", "lblFileName", "", 8, 8, 409, 16),
        FormItem("TGroupBox", "GroupBox", "", 8, 28, 313, 101, "Options:"),
        FormItem("TCheckBox", "chkHeader", "GroupBox", 8, 18, 297, 21, "Header/page &number"),
        FormItem("TCheckBox", "chkShowPrintProgress", "GroupBox", 8, 44, 297, 21, "Show &print progress"),
        FormItem("TCheckBox", "chkFooter", "GroupBox", 8, 70, 297, 21, "&Footer"),
        FormItem("TButton", "SetupBut", "", 336, 32, 81, 25, "Se&tup..."),
        FormItem("TButton", "OkBut", "", 336, 68, 81, 25, "Ok", {{"Default", "True"}}),
        FormItem("TButton", "CancelBut", "", 336, 100, 81, 25, "Cancel", {{"Cancel", "True"}}),
    };
    BuildForm(*this, L);
    lblFileName = FindOwned<TLabel>(*this, "lblFileName");
    GroupBox = FindOwned<TGroupBox>(*this, "GroupBox");
    chkHeader = FindOwned<TCheckBox>(*this, "chkHeader");
    chkShowPrintProgress = FindOwned<TCheckBox>(*this, "chkShowPrintProgress");
    chkFooter = FindOwned<TCheckBox>(*this, "chkFooter");
    SetupBut = FindOwned<TButton>(*this, "SetupBut");
    OkBut = FindOwned<TButton>(*this, "OkBut");
    CancelBut = FindOwned<TButton>(*this, "CancelBut");
    OkBut->SetModalResult(mrOk);
    CancelBut->SetModalResult(mrCancel);
    PrinterSetup = new TPrinterSetupDialog(this);
    SetupBut->OnClick = [this](TObject*) { PrinterSetup->Execute(); };
}

void THSCustomTreeView::PrintWithDialog(bool PrintAll) {
    std::unique_ptr<TfrmTreePrintSetup> F = std::make_unique<TfrmTreePrintSetup>(nullptr);
    THSTreePrintOptions& O = *FPrintOptions;
    F->chkHeader->SetChecked(O.Options & (1u << poHeader));
    F->chkFooter->SetChecked(O.Options & (1u << poFooter));
    F->chkShowPrintProgress->SetChecked(O.Options & (1u << poShowProgress));
    F->lblFileName->SetCaption(O.Header);
    if (F->ShowModal() != mrOk)
        return;
    O.Options = static_cast<THSPrintOptionSet>(
        (F->chkHeader->Checked() ? 1u << poHeader : 0u) | (F->chkFooter->Checked() ? 1u << poFooter : 0u) |
        (F->chkShowPrintProgress->Checked() ? 1u << poShowProgress : 0u));
    F.reset();
    Print(PrintAll);
}

int THSCustomTreeView::GetPrintWidth() {
    bool SavedAll = FPrintAll, SavedPrinting = FPrinting;
    FPrintAll = FPrinting = true;
    struct Restore {
        THSCustomTreeView* T;
        bool A, P;
        ~Restore() {
            T->FPrintAll = A;
            T->FPrinting = P;
        }
    } R{this, SavedAll, SavedPrinting};
    int W = 0;
    for (THSTreeNode* N = FRoot->GetFirstChild(); N; N = N->GetNext())
        W = std::max(W, RowWidth(N));
    return W;
}

void THSCustomTreeView::Print(bool PrintAll) {
    THSTreePrintOptions& O = *FPrintOptions;
    bool WithHeader = O.Options & (1u << poHeader);
    bool WithFooter = O.Options & (1u << poFooter);
    bool WithProgress = O.Options & (1u << poShowProgress);
    TPrinter& P = Printer();

    std::unique_ptr<TMemoPrintProgress> Progress;
    if (WithProgress) {
        Progress = std::make_unique<TMemoPrintProgress>(nullptr);
        Progress->ShowPrinter(P.Sink());
        Progress->lblFileName->SetCaption(O.Header);
        Progress->lblProgress->SetCaption(Format("Printing page %d from %s", 1, " ... "));
        Progress->ProgressBar->SetPosition(0);
        Progress->Show();
        if (Application)
            Application->ProcessMessages();
    }

    // Sizes are measured again with the print font while printing, and once more afterwards.
    FScreenHorzOffset = FHorzOffset;
    bool SavedAll = FPrintAll;
    int SavedOffset = FHorzOffset;
    struct Restore {
        THSCustomTreeView* T;
        bool All;
        int Offset;
        ~Restore() {
            T->FPrintAll = All;
            T->FPrinting = false;
            T->FHorzOffset = Offset;
            T->FCanvas->SetHandle(nullptr);
            T->FCanvas->Flags = 0;
            T->FCanvas->DotsByPen = false;
            T->RecalcAll();
        }
    } Guard{this, SavedAll, SavedOffset};
    if (PrintAll)
        for (THSTreeNode* N = FRoot->GetFirstChild(); N; N = N->GetNext())
            DoExpandNode(N);
    FPrintAll = PrintAll;
    FPrinting = true;
    ClearWidthCaches(nullptr);

    HDC Ref = P.Sink().ReferenceDC();
    int PpiX = Ref ? GetDeviceCaps(Ref, LOGPIXELSX) : MulDiv(P.PageWidth(), 10, 85);
    int PpiY = Ref ? GetDeviceCaps(Ref, LOGPIXELSY) : PpiX;
    int SPpiX = ScreenPpi(LOGPIXELSX), SPpiY = ScreenPpi(LOGPIXELSY);
    TFont HeaderFont, FooterFont;
    AssignScaled(HeaderFont, O.HeaderFont(), PpiY);
    AssignScaled(FooterFont, O.FooterFont(), PpiY);
    int HeaderH = 0, FooterH = 0;
    if (WithHeader || WithFooter) {
        // Heights on the printer: measured on a context of its resolution.
        TMetafile Probe;
        TMetafileCanvas PC(Probe, Ref, P.PageWidth(), P.PageHeight());
        if (WithHeader) {
            PC.Font().PixelsPerInch = PpiY;
            PC.Font().Assign(HeaderFont);
            HeaderH = PC.TextHeight("Wg");
        }
        if (WithFooter) {
            PC.Font().PixelsPerInch = PpiY;
            PC.Font().Assign(FooterFont);
            FooterH = PC.TextHeight("Wg");
        }
    }
    TTreePrintLayout L =
        ComputeTreePrintLayout(P.PageWidth(), P.PageHeight(), PpiX, PpiY, SPpiX, SPpiY, HeaderH, FooterH);

    // Bands of rows, each as high as a page at screen scale.
    auto NextNode = [this, PrintAll](THSTreeNode* N) {
        return PrintAll ? N->GetNext() : N->GetNextVisible();
    };
    std::vector<THSTreeNode*> Bands;
    int Remaining = 0;
    for (THSTreeNode* N = FRoot->GetFirstChild(); N; N = NextNode(N)) {
        int H = NodeHeight(N);
        if (Bands.empty() || Remaining - H < 0) {
            Bands.push_back(N);
            Remaining = L.PageSize.cy - H;
        } else {
            Remaining -= H;
        }
    }
    FRoot->CalcMaxWidthInfo();
    int PrintWidth = PrintAll ? GetPrintWidth() : GetMaxWidth();
    int Across = std::max<int>(1, (PrintWidth + L.PageSize.cx - 1) / L.PageSize.cx);
    int Total = Across * static_cast<int>(Bands.size());

    P.Title = O.Title;
    if (Bands.empty()) {
        P.Sink().BeginDoc(O.Title);
        P.Sink().EndDoc();
        return;
    }
    if (Progress) {
        Progress->ProgressBar->SetMax(Total);
        Progress->lblProgress->SetCaption(
            Format("Printing page %d from %s", 1, std::to_string(Total).c_str()));
        Progress->Relayout();
    }
    bool Started = false;
    struct DocGuard {
        TPrinter& P;
        bool& Started;
        ~DocGuard() {
            if (Started && P.Printing())
                P.EndDoc();
        }
    } Doc{P, Started};
    for (size_t B = 0; B < Bands.size(); ++B) {
        THSTreeNode* First = Bands[B];
        THSTreeNode* Stop = B + 1 < Bands.size() ? Bands[B + 1] : nullptr;
        for (int Col = 0; Col < Across; ++Col) {
            int Page = static_cast<int>(B) * Across + Col + 1;
            if (Progress) {
                if (Application)
                    Application->ProcessMessages();
                if (Progress->ModalResult() == mrCancel)
                    return;
                Progress->lblProgress->SetCaption(
                    Format("Printing page %d from %s", Page, std::to_string(Total).c_str()));
            }
            if (!Started) {
                P.BeginDoc();
                Started = true;
            } else {
                P.NewPage();
            }
            TMetafile Picture;
            {
                TMetafileCanvas MC(Picture, nullptr, L.PageSize.cx, L.PageSize.cy);
                FCanvas->SetHandle(MC.Handle());
                FCanvas->Flags = 1u << cfNoTextFill;
                FCanvas->DotsByPen = true;
                FHorzOffset = L.PageSize.cx * Col;
                FCanvas->Brush().SetColor(Color());
                FCanvas->FillRect(RECT{0, 0, L.PageSize.cx, L.PageSize.cy});
                RECT Whole{0, 0, L.PageSize.cx, L.PageSize.cy};
                int Y = 0;
                for (THSTreeNode* N = First; N && N != Stop; N = NextNode(N)) {
                    TNodeDispInfo Info;
                    N->GetNodeDispInfoByPos(NodeLeft(N), Y, Info);
                    InternalDrawNode(N, Info, Whole);
                    Y += N->GetHeight();
                }
                FCanvas->SetHandle(nullptr);
                MC.Close();
            }
            // The picture first: its background must not cover the header and footer lines.
            TCanvas& PC = P.Canvas();
            PC.Font().PixelsPerInch = PpiY;
            PC.StretchDraw(L.TreeArea, Picture);
            if (WithHeader) {
                PC.Font().Assign(HeaderFont);
                PC.Brush().SetStyle(TBrushStyle::bsClear);
                PC.TextOut(L.Area.left, L.Area.top, O.Header);
                std::string Num = std::to_string(Page) + "/" + std::to_string(Total);
                PC.TextOut(L.Area.right - PC.TextWidth(Num), L.Area.top, Num);
            }
            if (WithFooter) {
                PC.Font().Assign(FooterFont);
                PC.Brush().SetStyle(TBrushStyle::bsClear);
                int FY = L.FooterArea.top + (L.FooterArea.bottom - L.FooterArea.top - FooterH) / 2;
                PC.TextOut(L.Area.left, FY, O.Footer);
            }
            if (Progress) {
                Progress->ProgressBar->StepIt();
                if (Application)
                    Application->ProcessMessages();
            }
        }
    }
}
