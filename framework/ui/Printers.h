#pragma once
// Printing through pages drawn on a canvas. Every page is recorded as a metafile and handed to a
// page sink: by default the system printer; tests put a recorder in its place.
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Graphics.h"

class TPageSink {
public:
    virtual ~TPageSink() = default;
    // The device the pages are laid out for (its resolution and page size); nullptr for the screen.
    virtual HDC ReferenceDC() = 0;
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    virtual void BeginDoc(const std::string& Title) = 0;
    // Takes the finished page.
    virtual void AddPage(std::unique_ptr<TMetafile> Page) = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
};

// Sends the pages to the default system printer.
class TSystemPrinterSink : public TPageSink {
public:
    // The named printer; the system's default when Name is empty.
    explicit TSystemPrinterSink(const std::string& Name = "");
    ~TSystemPrinterSink() override;
    HDC ReferenceDC() override;
    int PageWidth() override;
    int PageHeight() override;
    void BeginDoc(const std::string& Title) override;
    void AddPage(std::unique_ptr<TMetafile> Page) override;
    void EndDoc() override;
    void Abort() override;
    // Name of the printer used ("" when the system has none).
    const std::string& PrinterName() const { return FName; }
    // When set, the job goes to this file instead of the printer's port (print to file).
    std::string OutputFile;

private:
    HDC FDC = nullptr;
    std::string FName;
};

// Keeps every page; laid out at 600 pixels per inch on a US letter page unless told otherwise.
class TPageRecorder : public TPageSink {
public:
    explicit TPageRecorder(int Width = 5100, int Height = 6600) : FWidth(Width), FHeight(Height) {}
    HDC ReferenceDC() override { return nullptr; }
    int PageWidth() override { return FWidth; }
    int PageHeight() override { return FHeight; }
    void BeginDoc(const std::string& Title) override {
        this->Title = Title;
        Pages.clear();
        Finished = Aborted = false;
    }
    void AddPage(std::unique_ptr<TMetafile> Page) override { Pages.push_back(std::move(Page)); }
    void EndDoc() override { Finished = true; }
    void Abort() override { Aborted = true; }
    std::string Title;
    std::vector<std::unique_ptr<TMetafile>> Pages;
    bool Finished = false;
    bool Aborted = false;

private:
    int FWidth, FHeight;
};

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    std::string Title;
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    int PageWidth();
    int PageHeight();
    // Valid between BeginDoc and EndDoc.
    TCanvas& Canvas();
    TPageSink& Sink();
    // Puts a sink in place of the current one and returns the old one (nullptr: back to the system printer).
    std::unique_ptr<TPageSink> SetSink(std::unique_ptr<TPageSink> Sink);

private:
    void StartPage();
    void FinishPage();
    std::unique_ptr<TPageSink> FSink;
    std::unique_ptr<TMetafile> FPage;
    std::unique_ptr<TMetafileCanvas> FCanvas;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The program's printer object, made on first use.
TPrinter& Printer();
