#include "framework/ui/Printers.h"

#include "framework/core/Exceptions.h"

namespace {

// The spooler's library is loaded when something is printed, not with the program: under Wine
// loading it costs a program's start as much as making a dozen windows.
std::string DefaultPrinterName() {
    using TGetDefaultPrinter = BOOL(WINAPI*)(LPSTR, LPDWORD);
    HMODULE Spooler = LoadLibraryA("winspool.drv");
    auto Get = Spooler ? reinterpret_cast<TGetDefaultPrinter>(
                             reinterpret_cast<void*>(GetProcAddress(Spooler, "GetDefaultPrinterA")))
                       : nullptr;
    char Name[512] = {};
    DWORD Size = sizeof(Name);
    return Get && Get(Name, &Size) ? std::string(Name) : std::string();
}

} // namespace

// --- TSystemPrinterSink -------------------------------------------------------------------------

TSystemPrinterSink::TSystemPrinterSink(const std::string& Name) : FName(Name) {
    if (FName.empty())
        FName = DefaultPrinterName();
    if (!FName.empty())
        FDC = CreateDCA("WINSPOOL", FName.c_str(), nullptr, nullptr);
}

TSystemPrinterSink::~TSystemPrinterSink() {
    if (FDC)
        DeleteDC(FDC);
}

HDC TSystemPrinterSink::ReferenceDC() {
    if (!FDC)
        throw EInvalidOperation("There is no default printer currently selected");
    return FDC;
}
int TSystemPrinterSink::PageWidth() {
    return GetDeviceCaps(ReferenceDC(), HORZRES);
}
int TSystemPrinterSink::PageHeight() {
    return GetDeviceCaps(ReferenceDC(), VERTRES);
}

void TSystemPrinterSink::BeginDoc(const std::string& Title) {
    DOCINFOA DI{};
    DI.cbSize = sizeof(DI);
    DI.lpszDocName = Title.c_str();
    DI.lpszOutput = OutputFile.empty() ? nullptr : OutputFile.c_str();
    if (StartDocA(ReferenceDC(), &DI) <= 0)
        throw EInvalidOperation("Printing could not be started");
}

void TSystemPrinterSink::AddPage(std::unique_ptr<TMetafile> Page) {
    if (StartPage(ReferenceDC()) <= 0)
        throw EInvalidOperation("The printer refused a new page");
    RECT R{0, 0, PageWidth(), PageHeight()};
    PlayEnhMetaFile(FDC, Page->Handle(), &R);
    if (EndPage(FDC) <= 0)
        throw EInvalidOperation("The printer refused the page");
}

void TSystemPrinterSink::EndDoc() {
    // A job the spooler could not take is a failure, not a finished print.
    if (::EndDoc(ReferenceDC()) <= 0)
        throw EInvalidOperation("Printing could not be finished");
}
void TSystemPrinterSink::Abort() {
    AbortDoc(FDC);
}

// --- TPrinter -----------------------------------------------------------------------------------

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() {
    if (FPrinting)
        Abort();
}

TPageSink& TPrinter::Sink() {
    if (!FSink)
        FSink = std::make_unique<TSystemPrinterSink>();
    return *FSink;
}

std::unique_ptr<TPageSink> TPrinter::SetSink(std::unique_ptr<TPageSink> Value) {
    if (FPrinting)
        throw EInvalidOperation("Printing in progress");
    std::unique_ptr<TPageSink> Old = std::move(FSink);
    FSink = std::move(Value);
    return Old;
}

int TPrinter::PageWidth() {
    return Sink().PageWidth();
}
int TPrinter::PageHeight() {
    return Sink().PageHeight();
}

TCanvas& TPrinter::Canvas() {
    if (!FCanvas)
        throw EInvalidOperation("Printer is not currently printing");
    return *FCanvas;
}

void TPrinter::StartPage() {
    FPage = std::make_unique<TMetafile>();
    FCanvas = std::make_unique<TMetafileCanvas>(*FPage, Sink().ReferenceDC(), PageWidth(), PageHeight());
    // Fonts measure at the page's resolution.
    HDC Ref = Sink().ReferenceDC();
    int Ppi = Ref ? GetDeviceCaps(Ref, LOGPIXELSY) : MulDiv(PageWidth(), 10, 85);
    FCanvas->Font().PixelsPerInch = Ppi;
    FCanvas->Font().SetSize(10);
    ++FPageNumber;
}

void TPrinter::FinishPage() {
    FCanvas->Close();
    FCanvas.reset();
    Sink().AddPage(std::move(FPage));
}

void TPrinter::BeginDoc() {
    if (FPrinting)
        throw EInvalidOperation("Printing in progress");
    FAborted = false;
    FPageNumber = 0;
    Sink().BeginDoc(Title);
    FPrinting = true;
    StartPage();
}

void TPrinter::NewPage() {
    if (!FPrinting)
        throw EInvalidOperation("Printer is not currently printing");
    FinishPage();
    StartPage();
}

void TPrinter::EndDoc() {
    if (!FPrinting)
        throw EInvalidOperation("Printer is not currently printing");
    FinishPage();
    Sink().EndDoc();
    FPrinting = false;
}

void TPrinter::Abort() {
    if (!FPrinting)
        return;
    FCanvas.reset();
    FPage.reset();
    Sink().Abort();
    FPrinting = false;
    FAborted = true;
}

TPrinter& Printer() {
    static TPrinter Instance;
    return Instance;
}
