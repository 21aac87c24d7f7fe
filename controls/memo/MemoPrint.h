#pragma once
// Printing of a code-editor view page by page through the program's printer, and drawing the
// view's picture into a metafile, a bitmap or an image file. Printing never draws on the printer
// directly: a hidden second view with the print settings paints each page into a metafile, which
// is then stretched onto the printer page.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/memo/Memo.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/Graphics.h"

class TMemoPrintProgress;
class TMemoPrintForm;

enum THSPrintOption : uint8_t {
    poWrapLines = 1u << 0,
    poInColor = 1u << 1,
    poPrintSel = 1u << 2,
    poPrintHeader = 1u << 3,
    poLineNumbers = 1u << 4,
    poPrintSyntax = 1u << 5,
    poShowProgress = 1u << 6,
};
using THSPrintOptions = uint8_t;
constexpr THSPrintOptions kDefaultPrintOptions = poShowProgress;

enum TPrintType : uint8_t { ptHeader, ptFooter };
using TBeforePrintEvent = std::function<void(TObject* Sender, std::string& Text, TPrintType Kind)>;

enum THSGraphicsFormat : uint8_t { gfBitmap, gfMetafile, gfEnhancedMetafile };

// A print that cannot be laid out (a page that holds no whole line) or an image that cannot be written.
ZEL_DECLARE_EXCEPTION(EMemoPrintError, Exception)

// Pages needed for Rows screen rows at LinesPerPage rows a page; throws EMemoPrintError when a
// page holds no row at all, since no number of pages would then take the text.
int32_t MemoPrintPageCount(int32_t Rows, int32_t LinesPerPage);
// Left edge of a right-aligned page text, one average character (width / length) from the edge.
int MemoFooterX(int PageWidth, int TextWidth, int TextLength);

class TMemoPrinter {
public:
    explicit TMemoPrinter(TCustomHSMemo& View) : FView(View) {}
    virtual ~TMemoPrinter();

    THSPrintOptions PrintOptions = kDefaultPrintOptions;
    // Left indent on paper, in pixels of the view.
    int32_t PrintIndent = 0;
    // Shown in the header; "<Unknown>" when empty.
    std::string FileName;
    bool UsePrinterFont = false;
    TFont PrinterFont;
    TBeforePrintEvent OnBeforePrint;
    TCreateDialogEvent OnCreateDialog;

    // Prints with the current options; nothing happens when the view has no lines. An exception
    // (from OnBeforePrint, say) aborts the print job and closes the progress window on its way out.
    void Print();
    // Asks for the options in the print dialog, then prints. Without a printer it throws the
    // printer's EInvalidOperation before any dialog shows.
    void PrintWithDialog();
    virtual std::unique_ptr<TMemoPrintForm> CreatePrintDialog();
    std::string DoBeforePrint(const std::string& Text, TPrintType Kind);
    virtual std::unique_ptr<TMemoPrintProgress> CreatePrintProgressDialog();

    // Results of the last Print.
    int32_t PageCount() const { return FPageCount; }
    int32_t LinesPerPage() const { return FLinesPerPage; }
    // The progress window while Print runs (nullptr otherwise).
    TMemoPrintProgress* Progress() const { return FProgress; }

private:
    std::unique_ptr<THSMemo> BuildPrintView(std::string& Header);
    TCustomHSMemo& FView;
    TMemoPrintProgress* FProgress = nullptr;
    int32_t FPageCount = 0;
    int32_t FLinesPerPage = 0;
};

// Paints the view into the metafile at Width x Height (0: the view's size), the picture moved up
// by YOffset pixels; Reference is the device whose resolution the metafile takes (nullptr: screen).
void DrawToMetaFileEx(TCustomHSMemo& View, TMetafile& Metafile, HDC Reference, int YOffset, int Width = 0,
                      int Height = 0);
inline void DrawToMetaFile(TCustomHSMemo& View, TMetafile& Metafile, HDC Reference) {
    DrawToMetaFileEx(View, Metafile, Reference, 0);
}
// Paints the view's client area into the bitmap, which takes the client size.
void DrawToBitmap(TCustomHSMemo& View, TBitmap& Bitmap);
void DrawToBMPFile(TCustomHSMemo& View, const std::string& FileName);
// Enhanced: an enhanced metafile; otherwise a plain (old-style) metafile.
void DrawToEMFWMF(TCustomHSMemo& View, const std::string& FileName, bool Enhanced);
void DrawToFile(TCustomHSMemo& View, const std::string& FileName, THSGraphicsFormat Format);
// The view's picture on the clipboard as a device-independent bitmap.
void DrawBitmapToClipboard(TCustomHSMemo& View);
// The picture on the clipboard: an enhanced metafile, or a plain one in a METAFILEPICT.
void DrawMetaFileToClipboard(TCustomHSMemo& View, bool Enhanced);
void CopyGraphicToClipboard(TCustomHSMemo& View, THSGraphicsFormat Format);
