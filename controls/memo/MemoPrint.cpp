#include "controls/memo/MemoPrint.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/memo/MemoAttributes.h"
#include "controls/memo/MemoPrintForm.h"
#include "controls/tree/MemoPrintProgress.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Printers.h"

namespace {

// Passes the painting on, but drops every text run that does not end above the page limit and
// cuts fills at it: a row that does not fit wholly on the page starts the next one instead of
// showing half.
class TPageLimitSink : public TMemoDrawSink {
public:
    TPageLimitSink(TMemoDrawSink& Target, int Limit) : FTarget(Target), FLimit(Limit) {}
    void FillRect(const RECT& R, TColor Color) override {
        RECT C = R;
        C.bottom = std::min<LONG>(C.bottom, FLimit);
        if (C.bottom > C.top)
            FTarget.FillRect(C, Color);
    }
    void TextOut(const RECT& Cell, int X, int Y, const std::string& Text, TFont& Font, TColor FontColor,
                 TColor BackColor, bool Transparent, const int* Advances) override {
        if (Cell.bottom <= FLimit)
            FTarget.TextOut(Cell, X, Y, Text, Font, FontColor, BackColor, Transparent, Advances);
    }
    void Line(int X1, int Y1, int X2, int Y2, TColor Color, int Width) override {
        if (std::max(Y1, Y2) <= FLimit)
            FTarget.Line(X1, Y1, X2, Y2, Color, Width);
    }
    void Triangle(const POINT (&Points)[3], TColor Color) override {
        for (const POINT& P : Points)
            if (P.y > FLimit)
                return;
        FTarget.Triangle(Points, Color);
    }
    void DrawBitmap(TBitmap& Bitmap, const RECT& Dest, TColor TransparentColor) override {
        if (Dest.bottom <= FLimit)
            FTarget.DrawBitmap(Bitmap, Dest, TransparentColor);
    }
    void SetClip(const RECT* R) override { FTarget.SetClip(R); }
    SIZE MeasureText(TFont& Font, const std::string& Text) override {
        return FTarget.MeasureText(Font, Text);
    }
    void ExpandCollapseButton(int X, int Y, int Inset, int Size, bool Collapsed) override {
        if (Y + Size <= FLimit)
            FTarget.ExpandCollapseButton(X, Y, Inset, Size, Collapsed);
    }

private:
    TMemoDrawSink& FTarget;
    int FLimit;
};

// Device resolution; the page recorder has no device and lays pages out at 600 pixels per inch.
SIZE Resolution(HDC DC, int Fallback) {
    if (!DC)
        return SIZE{Fallback, Fallback};
    return SIZE{GetDeviceCaps(DC, LOGPIXELSX), GetDeviceCaps(DC, LOGPIXELSY)};
}

SIZE ScreenResolution() {
    HDC DC = GetDC(nullptr);
    SIZE R = Resolution(DC, 96);
    ReleaseDC(nullptr, DC);
    return R;
}

std::string PrintingPage(int32_t Page, const std::string& Of) {
    return Format("Printing page %d from %s", static_cast<int>(Page), Of.c_str());
}

void LetMessagesRun() {
    if (Application)
        Application->ProcessMessages();
}

// Ends a print job that an exception leaves open, so that nothing half made goes to the printer.
struct TPrintJobGuard {
    bool Active = false;
    ~TPrintJobGuard() {
        if (Active && Printer().Printing())
            Printer().Abort();
    }
};

// The colour bytes of an attribute parser are the text's formatting, not made by parsing it: the
// print view's copy of the text (all of it, or the selected block) takes them along. The copy's
// lines have their tabs expanded; so are the bytes, a tab's byte over each of its columns.
void CopyAttributeBytes(TCustomMemoSource& From, TCustomMemoSource& To, bool Selection) {
    for (int32_t L = 0; L < To.GetStrCount(); ++L) {
        std::string Bytes;
        if (Selection) {
            const std::string Raw = From.Selection().Get(L), RawBytes = From.Selection().GetColorData(L);
            for (int32_t I = 0; I < int32_t(Raw.size()); ++I)
                Bytes.append(
                    size_t(std::max(0, To.GetRelativeTabIndex(Raw, I + 1) - To.GetRelativeTabIndex(Raw, I))),
                    size_t(I) < RawBytes.size() ? RawBytes[size_t(I)] : '\0');
        } else if (L < From.GetStrCount()) {
            Bytes = From.GetStoredColorData(L);
        }
        const TStringItem* Item = To.GetStringItem(L);
        if (!Item || Bytes.find_first_not_of('\0') == std::string::npos)
            continue;
        Bytes.resize(Item->Text.size(), '\0');
        To.ReplaceColorData(L, 1, Bytes);
        // Measured again in its fonts: a taller line moves the rows below it.
        To.UpdateString(L);
    }
}

// One page of the print: its first row and the height of the rows it holds.
struct TPrintPage {
    int32_t FirstRow;
    int Height;
};

// Each page takes the rows that fit wholly below each other: rows of a proportional view are as
// high as their fonts, so a page of taller rows holds fewer and the next page starts where it
// stopped. A row taller than a page gets a page of its own, cut at its edge.
std::vector<TPrintPage> LayOutPages(TCustomHSMemo& View, int32_t Rows, int PageHeight) {
    std::vector<TPrintPage> Pages;
    for (int32_t Row = 0; Row < Rows;) {
        TPrintPage Page{Row, View.RowHeight(Row)};
        for (++Row; Row < Rows && Page.Height + View.RowHeight(Row) <= PageHeight; ++Row)
            Page.Height += View.RowHeight(Row);
        Pages.push_back(Page);
    }
    return Pages;
}

} // namespace

int32_t MemoPrintPageCount(int32_t Rows, int32_t LinesPerPage) {
    if (LinesPerPage < 1)
        throw EMemoPrintError("The page is too small to hold one line of text.");
    if (Rows <= 0)
        return 0;
    return (Rows + LinesPerPage - 1) / LinesPerPage;
}

int MemoFooterX(int PageWidth, int TextWidth, int TextLength) {
    const int Gap = TextLength > 0 ? TextWidth / TextLength : 0;
    return PageWidth - TextWidth - Gap;
}

TMemoPrinter::~TMemoPrinter() = default;

std::string TMemoPrinter::DoBeforePrint(const std::string& Text, TPrintType Kind) {
    std::string S = Text;
    if (OnBeforePrint)
        OnBeforePrint(&FView, S, Kind);
    return S;
}

std::unique_ptr<TMemoPrintProgress> TMemoPrinter::CreatePrintProgressDialog() {
    auto Form = std::make_unique<TMemoPrintProgress>(nullptr);
    if (Application && Application->MainForm())
        Form->Font().Assign(Application->MainForm()->Font());
    Form->SetCaption("Printing Status");
    Form->lblPrinter->SetCaption("Searching printers ...");
    Form->lblProgress->SetCaption("Printing pages:    calculation ...");
    Form->btnCancel->SetCaption("Cancel");
    if (OnCreateDialog)
        OnCreateDialog(&FView, Form.get());
    return Form;
}

std::unique_ptr<TMemoPrintForm> TMemoPrinter::CreatePrintDialog() {
    auto Form = std::make_unique<TMemoPrintForm>(nullptr);
    if (OnCreateDialog)
        OnCreateDialog(&FView, Form.get());
    return Form;
}

void TMemoPrinter::PrintWithDialog() {
    // Asking for the printer's device refuses a missing printer before any dialog shows.
    if (auto* System = dynamic_cast<TSystemPrinterSink*>(&Printer().Sink()))
        System->ReferenceDC();
    std::unique_ptr<TMemoPrintForm> Form = CreatePrintDialog();
    Form->SetOptions(PrintOptions);
    const bool HasBlock =
        !FView.GetSource()->IsBlockEmpty() && FView.GetSource()->SelectionType() != stNotSelected;
    Form->PrintSelCheck->SetEnabled(HasBlock);
    Form->PrintSelCheck->SetChecked(HasBlock);
    Form->SetCaption(HasBlock ? "Print Selection" : "Print");
    Form->lblFileName->SetCaption(FileName.empty() ? "<Unknown>" : FileName);
    if (Form->ShowModal() != mrOk)
        return;
    PrintOptions = Form->Options();
    const std::string Margin = Form->LeftMarginEdit->Text();
    char* End = nullptr;
    const long Value = std::strtol(Margin.c_str(), &End, 10);
    // Text that is not wholly a number gives no margin.
    PrintIndent = !Margin.empty() && End && *End == '\0' && Value >= 0 && Value < 10000 ? int32_t(Value) : 0;
    Form.reset();
    Print();
}

std::unique_ptr<THSMemo> TMemoPrinter::BuildPrintView(std::string& Header) {
    auto PV = std::make_unique<THSMemo>(nullptr);
    TMemoOptions O = FView.Options();
    PV->SetLineNumColor(FView.LineNumColor());
    PV->SetLineNumAlign(FView.LineNumAlign());
    PV->SetSelColor(FView.SelColor());
    PV->SetSelBackColor(FView.SelBackColor());
    PV->SetMatchColor(FView.MatchColor());
    PV->SetMatchBackColor(FView.MatchBackColor());
    PV->SetBorderStyle(TBorderStyle::bsNone);
    PV->SetUseMonoFont(FView.UseMonoFont());
    PV->SetTextStyles(&FView.TextStyles());
    PV->Font().Assign(UsePrinterFont ? PrinterFont : FView.Font());
    PV->SetColor(FView.Color());
    PV->SetLineNumBackColor(FView.LineNumBackColor());
    if (!FView.HasOption(moLeftIndent) && PrintIndent != 0)
        O |= moLeftIndent;
    O &= ~(moDrawMargin | moDrawGutter | moLineNumbers | moColorSyntax | moHideInvisibleLines);
    if (PrintOptions & poLineNumbers)
        O |= moLineNumbers;
    if ((PrintOptions & poPrintSyntax) && FView.GetSyntaxParser()) {
        O |= moColorSyntax;
        PV->SetSyntaxParser(FView.GetSyntaxParser());
    }
    PV->SetOptions(O);
    PV->SetLeftIndent(FView.HasOption(moLeftIndent) ? FView.LeftIndent() : PrintIndent);
    if (!(PrintOptions & poInColor)) {
        PV->Font().SetColor(clBlack);
        PV->SetColor(clWindow);
        PV->SetLineNumBackColor(clWindow);
        PV->SetLineNumColor(clWindowText);
        TTextStyles& Styles = PV->TextStyles();
        for (int I = 0; I < Styles.Count(); ++I) {
            TTextStyle* Style = Styles.GetItem(I);
            Style->SetUseMemoColor(true);
            Style->Font().SetColor(clBlack);
        }
    }
    Header = FileName.empty() ? "<Unknown>" : FileName;
    if (PrintOptions & poPrintSel) {
        Header = "<Selected block>";
        TCustomMemoSource* Src = FView.GetSource();
        const int32_t First = std::min(Src->BlockBegin().Line, Src->BlockEnd().Line);
        // Colouring of the block goes on from the state its first line starts in on screen.
        if (First > 0 && First - 1 < Src->GetStrCount() && (O & moColorSyntax)) {
            Src->ParseToString(First - 1, false);
            if (TStringItem* Before = Src->GetStringItem(First - 1))
                PV->GetSource()->InitialParserState = Before->EndState;
        }
        PV->GetSource()->Lines().SetText(FView.GetSelText());
    } else {
        PV->GetSource()->Lines().Assign(FView.GetLines());
    }
    if ((O & moColorSyntax) && dynamic_cast<TAttributeParser*>(FView.GetSyntaxParser()))
        CopyAttributeBytes(*FView.GetSource(), *PV->GetSource(), (PrintOptions & poPrintSel) != 0);
    if (PrintOptions & poLineNumbers)
        PV->UpdateLineNumbersWidth();
    PV->SetCaretPoint(POINT{0, 0});
    return PV;
}

void TMemoPrinter::Print() {
    FPageCount = 0;
    FLinesPerPage = 0;
    if (FView.GetLines()->Count() == 0)
        return;
    std::unique_ptr<TMemoPrintProgress> Progress;
    struct TClearRef {
        TMemoPrintProgress*& Ref;
        ~TClearRef() { Ref = nullptr; }
    } ClearRef{FProgress};
    TPrinter& P = Printer();
    if (PrintOptions & poShowProgress) {
        Progress = CreatePrintProgressDialog();
        FProgress = Progress.get();
        Progress->Show();
        LetMessagesRun();
        Progress->ShowPrinter(P.Sink());
        Progress->lblProgress->SetCaption(PrintingPage(1, " ... "));
        Progress->ProgressBar->SetPosition(0);
    }

    std::string Header;
    std::unique_ptr<THSMemo> PV = BuildPrintView(Header);
    if (Progress)
        Progress->lblFileName->SetCaption(Header);
    LetMessagesRun();

    // Geometry: the page image is the printer page at screen scale.
    const SIZE PrinterRes = Resolution(P.Sink().ReferenceDC(), 600);
    const SIZE ScreenRes = ScreenResolution();
    const int PageW = P.PageWidth(), PageH = P.PageHeight();
    const int32_t LH = std::max(1, PV->GetAveLineHeight());
    const int HeaderHeight = LH * PrinterRes.cy / ScreenRes.cy;
    int ImageW = PageW * ScreenRes.cx / PrinterRes.cx;
    int ImageH = PageH * ScreenRes.cy / PrinterRes.cy;
    if (PrintOptions & poPrintHeader)
        ImageH -= LH;
    FLinesPerPage = std::max(0, ImageH) / LH;
    if (PV->UseMonoFont()) {
        const int32_t CW = std::max(1, PV->GetAveCharWidth());
        ImageW = ImageW / CW * CW;
        ImageH = FLinesPerPage * LH;
    }
    PV->SetBounds(0, 0, std::max(1, ImageW), std::max(1, ImageH));
    if (PrintOptions & poWrapLines) {
        PV->SetMarginPos(FView.MarginPos());
        PV->SetWordWrap(true);
    }
    const int32_t Rows = PV->WordWrap() ? PV->GetRealStrCount() + 1 : PV->GetLines()->Count();
    // Refuses a page that holds not one line of the view's font.
    MemoPrintPageCount(Rows, FLinesPerPage);
    const std::vector<TPrintPage> Pages = LayOutPages(*PV, Rows, ImageH);
    FPageCount = int32_t(Pages.size());
    LetMessagesRun();
    const int Top = (PrintOptions & poPrintHeader) ? HeaderHeight : 0;
    const RECT Target{0, Top, PageW, Top + ImageH * PrinterRes.cy / ScreenRes.cy};

    if (Progress) {
        Progress->lblProgress->SetCaption(PrintingPage(1, std::to_string(FPageCount)));
        Progress->Relayout();
        Progress->ProgressBar->SetMax(4 * FPageCount);
    }
    auto Step = [&] {
        if (Progress)
            Progress->ProgressBar->StepIt();
    };
    auto Cancelled = [&] { return Progress && Progress->ModalResult() == mrCancel; };

    TPrintJobGuard Job;
    int32_t Printed = 0;
    P.Title = Header;
    for (int32_t I = 0; I < FPageCount && !Cancelled(); ++I) {
        if (I == 0) {
            P.BeginDoc();
            Job.Active = true;
        } else {
            P.NewPage();
        }
        if (Progress) {
            Progress->lblProgress->SetCaption(PrintingPage(I + 1, std::to_string(FPageCount)));
            Step();
        }
        LetMessagesRun();
        TMetafile Page;
        {
            TMetafileCanvas C(Page, nullptr, ImageW, ImageH);
            TCanvasDrawSink Draw(C);
            TPageLimitSink Limited(Draw, Pages[size_t(I)].Height);
            PV->SetWinLine(Pages[size_t(I)].FirstRow);
            PV->PaintTo(Limited, RECT{0, 0, ImageW, ImageH});
        }
        Step();
        P.Canvas().StretchDraw(Target, Page);
        Step();
        if (PrintOptions & poPrintHeader) {
            TCanvas& C = P.Canvas();
            C.Font().Assign(PV->Font());
            C.Font().SetColor(clBlack);
            C.TextOut(0, 0, DoBeforePrint(Header, ptHeader));
            const std::string Foot =
                DoBeforePrint("Page " + std::to_string(I + 1) + "/" + std::to_string(FPageCount), ptFooter);
            if (!Foot.empty())
                C.TextOut(MemoFooterX(PageW, C.TextWidth(Foot), int(Foot.size())), 0, Foot);
        }
        Step();
        ++Printed;
    }
    if (Printed > 0) {
        P.EndDoc();
        Job.Active = false;
    }
}

void DrawToMetaFileEx(TCustomHSMemo& View, TMetafile& Metafile, HDC Reference, int YOffset, int Width,
                      int Height) {
    const int W = Width > 0 ? Width : View.ClientWidth();
    const int H = Height > 0 ? Height : View.ClientHeight();
    if (W <= 0 || H <= 0)
        throw EMemoPrintError("The view has no area to draw.");
    const int32_t OldWinChar = View.WinChar();
    struct TRestore {
        TCustomHSMemo& V;
        int32_t Char;
        ~TRestore() { V.SetWinChar(Char); }
    } Restore{View, OldWinChar};
    View.SetWinChar(0);
    TMetafileCanvas C(Metafile, Reference, W, H);
    SetViewportOrgEx(C.Handle(), 0, -YOffset, nullptr);
    TCanvasDrawSink Sink(C);
    View.PaintTo(Sink, RECT{0, 0, W, H + YOffset});
    C.Close();
}

void DrawToBitmap(TCustomHSMemo& View, TBitmap& Bitmap) {
    const int W = View.ClientWidth(), H = View.ClientHeight();
    if (W <= 0 || H <= 0)
        throw EMemoPrintError("The view has no area to draw.");
    Bitmap.SetSize(W, H);
    TCanvasDrawSink Sink(Bitmap.Canvas());
    View.PaintTo(Sink, RECT{0, 0, W, H});
}

void DrawToBMPFile(TCustomHSMemo& View, const std::string& FileName) {
    TBitmap B;
    DrawToBitmap(View, B);
    B.SaveToFile(FileName);
}

namespace {

// The picture as a plain metafile (owned by the caller).
HMETAFILE PlainMetafile(TMetafile& M) {
    HDC Screen = GetDC(nullptr);
    const UINT Size = GetWinMetaFileBits(M.Handle(), 0, nullptr, MM_ANISOTROPIC, Screen);
    std::vector<BYTE> Bits(Size);
    const bool Ok =
        Size > 0 && GetWinMetaFileBits(M.Handle(), Size, Bits.data(), MM_ANISOTROPIC, Screen) == Size;
    ReleaseDC(nullptr, Screen);
    HMETAFILE WMF = Ok ? SetMetaFileBitsEx(Size, Bits.data()) : nullptr;
    if (!WMF)
        throw EMemoPrintError("The picture cannot be converted to a plain metafile.");
    return WMF;
}

} // namespace

void DrawToEMFWMF(TCustomHSMemo& View, const std::string& FileName, bool Enhanced) {
    TMetafile M;
    DrawToMetaFile(View, M, nullptr);
    if (Enhanced) {
        M.SaveToFile(FileName);
        return;
    }
    HMETAFILE WMF = PlainMetafile(M);
    HMETAFILE Copy = CopyMetaFileA(WMF, FileName.c_str());
    DeleteMetaFile(WMF);
    if (!Copy)
        throw EMemoPrintError("Cannot write \"" + FileName + "\".");
    DeleteMetaFile(Copy);
}

void DrawToFile(TCustomHSMemo& View, const std::string& FileName, THSGraphicsFormat Format) {
    switch (Format) {
    case gfBitmap:
        DrawToBMPFile(View, FileName);
        break;
    case gfMetafile:
        DrawToEMFWMF(View, FileName, false);
        break;
    case gfEnhancedMetafile:
        DrawToEMFWMF(View, FileName, true);
        break;
    }
}

void DrawBitmapToClipboard(TCustomHSMemo& View) {
    TBitmap B;
    DrawToBitmap(View, B);
    BITMAPINFOHEADER Info{};
    Info.biSize = sizeof Info;
    Info.biWidth = B.Width();
    Info.biHeight = B.Height();
    Info.biPlanes = 1;
    Info.biBitCount = 24;
    Info.biCompression = BI_RGB;
    const size_t Stride = (static_cast<size_t>(B.Width()) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> Packed(sizeof Info + Stride * static_cast<size_t>(B.Height()));
    std::memcpy(Packed.data(), &Info, sizeof Info);
    HDC Screen = GetDC(nullptr);
    const int Rows =
        GetDIBits(Screen, B.Handle(), 0, static_cast<UINT>(B.Height()), Packed.data() + sizeof Info,
                  reinterpret_cast<BITMAPINFO*>(Packed.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, Screen);
    if (Rows != B.Height())
        throw EMemoPrintError("The picture cannot be read for the clipboard.");
    TClipboard& C = Clipboard();
    C.Open();
    struct TCloser {
        TClipboard& C;
        ~TCloser() { C.Close(); }
    } Closer{C};
    C.Clear();
    C.SetBuffer(CF_DIB, Packed.data(), Packed.size());
}

void DrawMetaFileToClipboard(TCustomHSMemo& View, bool Enhanced) {
    TMetafile M;
    DrawToMetaFile(View, M, nullptr);
    if (Enhanced) {
        HENHMETAFILE Copy = CopyEnhMetaFileA(M.Handle(), nullptr);
        if (!Copy)
            throw EMemoPrintError("The picture cannot be copied for the clipboard.");
        Clipboard().SetMetafile(CF_ENHMETAFILE, Copy);
        return;
    }
    HMETAFILE WMF = PlainMetafile(M);
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(METAFILEPICT));
    auto* Pict = Mem ? static_cast<METAFILEPICT*>(GlobalLock(Mem)) : nullptr;
    if (!Pict) {
        DeleteMetaFile(WMF);
        if (Mem)
            GlobalFree(Mem);
        throw EMemoPrintError("Out of memory for the clipboard.");
    }
    // The picture's size in hundredths of a millimetre, as readers of the format expect.
    HDC Screen = GetDC(nullptr);
    const int DpiX = GetDeviceCaps(Screen, LOGPIXELSX), DpiY = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    Pict->mm = MM_ANISOTROPIC;
    Pict->xExt = MulDiv(M.Width(), 2540, DpiX > 0 ? DpiX : 96);
    Pict->yExt = MulDiv(M.Height(), 2540, DpiY > 0 ? DpiY : 96);
    Pict->hMF = WMF;
    GlobalUnlock(Mem);
    Clipboard().SetMetafile(CF_METAFILEPICT, Mem);
}

void CopyGraphicToClipboard(TCustomHSMemo& View, THSGraphicsFormat Format) {
    if (Format == gfBitmap)
        DrawBitmapToClipboard(View);
    else
        DrawMetaFileToClipboard(View, Format == gfEnhancedMetafile);
}
