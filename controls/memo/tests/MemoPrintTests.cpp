// Memo printing through the printer seam: each page is recorded as a metafile and read back.
#include <gtest/gtest.h>

#include "framework/core/Win.h"

#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MemoTestSupport.h"
#include "UiTestSupport.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/memo/MemoPrint.h"
#include "controls/memo/MemoPrintForm.h"
#include "controls/tree/MemoPrintProgress.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/Printers.h"

namespace {

// Stops the print from the progress window once a number of pages has gone out.
class TCancellingRecorder : public TPageRecorder {
public:
    using TPageRecorder::TPageRecorder;
    int CancelAfter = 1000;
    TMemoPrinter* Source = nullptr;
    void AddPage(std::unique_ptr<TMetafile> Page) override {
        TPageRecorder::AddPage(std::move(Page));
        if (static_cast<int>(Pages.size()) == CancelAfter && Source && Source->Progress())
            Source->Progress()->SetModalResult(mrCancel);
    }
};

bool PageShows(TMetafile& Page, const std::string& Text) {
    std::vector<uint8_t> Bits = Page.Bits();
    std::string Raw(Bits.begin(), Bits.end());
    std::string Wide;
    for (char C : Text) {
        Wide += C;
        Wide += '\0';
    }
    return Raw.find(Text) != std::string::npos || Raw.find(Wide) != std::string::npos;
}

// A recorded page at a fifth of its size, for people to look at.
void SavePageShot(TMetafile& Page, const std::string& Name) {
    const int W = Page.Width() / 5, H = Page.Height() / 5;
    TBitmap Shot;
    Shot.SetSize(W, H);
    Shot.Canvas().Brush().SetColor(clWhite);
    Shot.Canvas().FillRect(RECT{0, 0, W, H});
    Shot.Canvas().StretchDraw(RECT{0, 0, W, H}, Page);
    SavePng(Shot, TestOutputFolder() + "\\" + Name);
}

int CALLBACK NoteFontHeight(HDC, HANDLETABLE*, const ENHMETARECORD* R, int, LPARAM Data) {
    if (R->iType == EMR_EXTCREATEFONTINDIRECTW) {
        const LOGFONTW& F = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(R)->elfw.elfLogFont;
        int& T = *reinterpret_cast<int*>(Data);
        T = std::max(T, int(std::abs(F.lfHeight)));
    }
    return 1;
}

// The tallest font a recorded page uses, in its own units.
int TallestFont(TMetafile& Page) {
    int Tallest = 0;
    EnumEnhMetaFile(nullptr, Page.Handle(), NoteFontHeight, &Tallest, nullptr);
    return Tallest;
}

// Letters only, so that a colouring parser keeps each name in one run.
std::string RowName(int I) {
    return std::string("Row") + char('a' + I / 26) + char('a' + I % 26) + "x";
}

class MemoPrint : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 400, 300);
        Memo = new THSMemo(Form.get());
        Memo->SetParent(Form.get());
        Memo->SetAlign(TAlign::alClient);
        Form->Show();
        Printer_ = std::make_unique<TMemoPrinter>(*Memo);
    }
    void TearDown() override {
        Printer_.reset();
        Form.reset();
        if (Saved)
            Printer().SetSink(std::move(Saved));
        UiTest::TearDown();
    }
    // A page that holds Lines rows of the memo's font below a header line.
    void UsePage(int Lines, bool Header) {
        const int LH = Memo->GetAveLineHeight();
        const int ScreenRows = (Lines + (Header ? 1 : 0)) * LH + LH / 2;
        HDC DC = GetDC(nullptr);
        const int Ppi = GetDeviceCaps(DC, LOGPIXELSY);
        ReleaseDC(nullptr, DC);
        UsePageOfHeight(ScreenRows * 600 / Ppi);
    }
    void UsePageOfHeight(int Height) {
        auto R = std::make_unique<TCancellingRecorder>(5100, Height);
        Recorder = R.get();
        Recorder->Source = Printer_.get();
        auto Old = Printer().SetSink(std::move(R));
        if (!Saved)
            Saved = std::move(Old);
    }
    void Fill(int Rows) {
        std::string Text;
        for (int I = 1; I <= Rows; ++I)
            Text += RowName(I) + "\r\n";
        Memo->SetText(Text);
    }
    // The first and last row that the page shows, and that no other row is on it.
    void ExpectRows(int Page, int First, int Last, int Total) {
        for (int I = 1; I <= Total; ++I)
            EXPECT_EQ(PageShows(*Recorder->Pages[Page], RowName(I)), I >= First && I <= Last)
                << "page " << Page + 1 << ", " << RowName(I);
    }
    std::unique_ptr<TForm> Form;
    THSMemo* Memo = nullptr;
    std::unique_ptr<TMemoPrinter> Printer_;
    TCancellingRecorder* Recorder = nullptr;
    std::unique_ptr<TPageSink> Saved;
};

TEST_F(MemoPrint, ThreePagesCarryTheirRowsHeaderAndPageNumbers) {
    Fill(25);
    UsePage(10, true);
    Printer_->FileName = "demo.html";
    Printer_->PrintOptions = poShowProgress | poPrintHeader;
    int BarMax = -1;
    std::vector<int> BarAtFooter;
    std::string Caption, Status;
    Printer_->OnBeforePrint = [&](TObject*, std::string&, TPrintType Kind) {
        BarMax = Printer_->Progress()->ProgressBar->Max();
        if (Kind == ptFooter)
            BarAtFooter.push_back(Printer_->Progress()->ProgressBar->Position());
        Caption = Printer_->Progress()->Caption();
        Status = Printer_->Progress()->lblProgress->Caption();
    };
    Printer_->Print();
    EXPECT_EQ(Printer_->LinesPerPage(), 10);
    EXPECT_EQ(Printer_->PageCount(), 3);
    EXPECT_EQ(BarMax, 12) << "four steps a page";
    EXPECT_EQ(BarAtFooter, (std::vector<int>{3, 7, 11})) << "the fourth step of a page follows its footer";
    EXPECT_EQ(Caption, "Printing Status");
    EXPECT_EQ(Status, "Printing page 3 from 3");
    ASSERT_EQ(Recorder->Pages.size(), 3u);
    EXPECT_TRUE(Recorder->Finished);
    EXPECT_EQ(Recorder->Title, "demo.html");
    ExpectRows(0, 1, 10, 25);
    ExpectRows(1, 11, 20, 25);
    ExpectRows(2, 21, 25, 25);
    for (int P = 0; P < 3; ++P) {
        EXPECT_TRUE(PageShows(*Recorder->Pages[P], "demo.html"));
        EXPECT_TRUE(PageShows(*Recorder->Pages[P], "Page " + std::to_string(P + 1) + "/3"));
    }
    EXPECT_EQ(Printer_->Progress(), nullptr) << "the progress window lives only while printing";
}

TEST_F(MemoPrint, AMonospacedViewPrintsWholeLinesPerPage) {
    Memo->SetUseMonoFont(true);
    Fill(25);
    UsePage(10, false);
    Printer_->PrintOptions = 0;
    Printer_->Print();
    EXPECT_EQ(Printer_->LinesPerPage(), 10);
    ASSERT_EQ(Recorder->Pages.size(), 3u);
    ExpectRows(0, 1, 10, 25);
    ExpectRows(1, 11, 20, 25);
    ExpectRows(2, 21, 25, 25);
}

TEST_F(MemoPrint, HandlersReplaceHeaderAndFooterAndMayEmptyThem) {
    Fill(3);
    UsePage(10, true);
    Printer_->PrintOptions = poPrintHeader;
    Printer_->OnBeforePrint = [](TObject*, std::string& S, TPrintType Kind) {
        S = Kind == ptHeader ? "Custom head" : "";
    };
    Printer_->Print();
    ASSERT_EQ(Recorder->Pages.size(), 1u);
    EXPECT_TRUE(PageShows(*Recorder->Pages[0], "Custom head"));
    EXPECT_FALSE(PageShows(*Recorder->Pages[0], "Page 1/1"));
    EXPECT_FALSE(PageShows(*Recorder->Pages[0], "<Unknown>"));
    ExpectRows(0, 1, 3, 3);
}

TEST_F(MemoPrint, SelectionPrintsOnlyTheBlockUnderItsOwnHeader) {
    Fill(8);
    UsePage(10, true);
    Memo->SetSelection(stStreamSel, 0, 2, 0, 5); // rows 3 to 5
    Printer_->PrintOptions = poPrintHeader | poPrintSel;
    Printer_->Print();
    ASSERT_EQ(Recorder->Pages.size(), 1u);
    EXPECT_TRUE(PageShows(*Recorder->Pages[0], "<Selected block>"));
    ExpectRows(0, 3, 5, 8);
}

TEST_F(MemoPrint, APageTooSmallForOneLineIsRefused) {
    Fill(5);
    UsePageOfHeight(20);
    Printer_->PrintOptions = poShowProgress | poPrintHeader;
    EXPECT_THROW(Printer_->Print(), EMemoPrintError);
    EXPECT_TRUE(Recorder->Pages.empty());
    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(FindWindowA(nullptr, "Printing Status"), nullptr);
}

TEST_F(MemoPrint, AHandlerExceptionAbortsTheJobAndClosesTheProgressWindow) {
    Fill(25);
    UsePage(10, true);
    Printer_->PrintOptions = poShowProgress | poPrintHeader;
    int Calls = 0;
    Printer_->OnBeforePrint = [&](TObject*, std::string&, TPrintType) {
        if (++Calls == 3) // header of the second page
            throw Exception("handler failed");
    };
    EXPECT_THROW(Printer_->Print(), Exception);
    EXPECT_TRUE(Recorder->Aborted);
    EXPECT_FALSE(Recorder->Finished);
    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(FindWindowA(nullptr, "Printing Status"), nullptr);
    EXPECT_EQ(Printer_->Progress(), nullptr);
}

TEST_F(MemoPrint, CancelKeepsSentPagesAndClosesTheJob) {
    Fill(25);
    UsePage(10, false);
    Recorder->CancelAfter = 1;
    Printer_->PrintOptions = poShowProgress;
    Printer_->Print();
    // The page is handed over when the next one starts: the cancel is seen before the third.
    EXPECT_LT(Recorder->Pages.size(), 3u);
    EXPECT_GE(Recorder->Pages.size(), 1u);
    EXPECT_TRUE(Recorder->Finished);
    EXPECT_FALSE(Printer().Printing());
}

TEST_F(MemoPrint, AnEmptyViewPrintsNothing) {
    UsePage(10, false);
    Printer_->Print();
    EXPECT_TRUE(Recorder->Pages.empty());
    EXPECT_FALSE(Recorder->Finished);
    EXPECT_EQ(Printer_->PageCount(), 0);
}

TEST_F(MemoPrint, DialogChoicesReachThePrintAndCancelPrintsNothing) {
    Fill(12);
    UsePage(10, true);
    Printer_->PrintOptions = poPrintHeader | poLineNumbers;
    Printer_->PrintIndent = 7;
    struct Choice {
        const char* Margin;
        bool Ok;
    } Answer{"12px", true};
    THSPrintOptions Shown = 0;
    Printer_->OnCreateDialog = [&](TObject*, TForm* Dialog) {
        auto* F = static_cast<TMemoPrintForm*>(Dialog);
        F->OnShow = [&, F](TObject*) {
            Shown = (F->HeaderCheck->Checked() ? poPrintHeader : 0) |
                    (F->LineNumbersCheck->Checked() ? poLineNumbers : 0) |
                    (F->ShowPrintProgress->Checked() ? poShowProgress : 0);
            F->HeaderCheck->SetChecked(false);
            F->LeftMarginEdit->SetText(Answer.Margin);
            PostMessage((Answer.Ok ? F->OkBut : F->CancelBut)->Handle(), BM_CLICK, 0, 0);
        };
    };
    Printer_->PrintWithDialog();
    EXPECT_EQ(Shown, poPrintHeader | poLineNumbers) << "the boxes show the options";
    EXPECT_EQ(Printer_->PrintOptions, poLineNumbers) << "OK builds the options from the boxes";
    EXPECT_EQ(Printer_->PrintIndent, 0) << "a margin that is not a number";
    EXPECT_EQ(Recorder->Pages.size(), 2u) << "without the header line a page takes eleven rows";
    Recorder->Pages.clear();
    Recorder->Finished = false;
    Answer = {"5", false};
    Printer_->PrintWithDialog();
    EXPECT_TRUE(Recorder->Pages.empty());
    EXPECT_FALSE(Recorder->Finished);
}

TEST_F(MemoPrint, WithoutAPrinterTheDialogNeverShows) {
    Fill(3);
    auto Old = Printer().SetSink(std::make_unique<TSystemPrinterSink>("ZEL printer that is not there"));
    if (!Saved)
        Saved = std::move(Old);
    bool Made = false;
    Printer_->OnCreateDialog = [&](TObject*, TForm*) { Made = true; };
    EXPECT_THROW(Printer_->PrintWithDialog(), EInvalidOperation);
    EXPECT_FALSE(Made);
    EXPECT_FALSE(Printer().Printing());
}

TEST_F(MemoPrint, SyntaxLineNumbersAndWrappingPrintEveryRow) {
    TDigitParser Parser;
    Memo->SetSyntaxParser(&Parser);
    Fill(25);
    // One long line wraps on paper: the rows after it move on.
    Memo->GetSource()->Lines().Insert(0, std::string(400, 'w') + " end");
    UsePage(10, false);
    Printer_->PrintOptions = poPrintSyntax | poInColor | poLineNumbers | poWrapLines;
    Printer_->Print();
    ASSERT_GE(Recorder->Pages.size(), 3u);
    int Seen = 0;
    for (int I = 1; I <= 25; ++I)
        for (auto& Page : Recorder->Pages)
            Seen += PageShows(*Page, RowName(I));
    EXPECT_EQ(Seen, 25) << "each row on exactly one page";
    Memo->SetSyntaxParser(nullptr);
}

TEST_F(MemoPrint, TallerRowsMoveTheRowsAfterThemToTheNextPage) {
    // Proportional layout: a 28 point line takes the room of several rows of the memo's font.
    Memo->SetUseMonoFont(false);
    Memo->Font().SetName("Arial");
    Fill(25);
    UsePage(10, true);
    TMemoAttributes& Attributes = Memo->SelAttributes();
    Memo->SetSelection(stStreamSel, 0, 4, 6, 4);
    Attributes.SetSize(28);
    Memo->ClearSelection();
    const int Tall = Memo->GetRealLineHeight(4), Plain = Memo->GetRealLineHeight(3);
    ASSERT_GE(Tall, 2 * Plain);
    Printer_->PrintOptions = poPrintSyntax | poInColor | poPrintHeader;
    Printer_->Print();
    ASSERT_EQ(int(Recorder->Pages.size()), Printer_->PageCount());
    EXPECT_EQ(Printer_->PageCount(), 3);
    // The first page holds the tall row and as many plain rows as fit beside it; every row is
    // printed, once, and the pages follow each other without a gap.
    int Seen = 0, Next = 1;
    for (size_t P = 0; P < Recorder->Pages.size(); ++P) {
        EXPECT_TRUE(PageShows(*Recorder->Pages[P], RowName(Next)))
            << "page " << P + 1 << " starts at " << Next;
        while (Next <= 25 && PageShows(*Recorder->Pages[P], RowName(Next))) {
            ++Next;
            ++Seen;
        }
        SavePageShot(*Recorder->Pages[P], "memo-printed-tall-row-" + std::to_string(P + 1) + ".png");
    }
    EXPECT_EQ(Seen, 25);
    EXPECT_FALSE(PageShows(*Recorder->Pages[0], RowName(10))) << "the tall row took the room of plain ones";
    for (int I = 1; I <= 25; ++I) {
        int On = 0;
        for (auto& Page : Recorder->Pages)
            On += PageShows(*Page, RowName(I));
        EXPECT_EQ(On, 1) << RowName(I);
    }

    // A selected block keeps its formatting too; without syntax printing it is plain text.
    Memo->SetSelection(stStreamSel, 2, 3, 3, 5);
    int Tallest[2] = {};
    for (int Syntax = 0; Syntax < 2; ++Syntax) {
        Printer_->PrintOptions = poPrintSel | poInColor | (Syntax ? poPrintSyntax : 0);
        Printer_->Print();
        ASSERT_EQ(Recorder->Pages.size(), 1u);
        EXPECT_TRUE(PageShows(*Recorder->Pages[0], "wafx"));
        Tallest[Syntax] = TallestFont(*Recorder->Pages[0]);
    }
    EXPECT_GE(Tallest[1], 2 * Tallest[0]);
}

TEST(MemoPrintMath, PageCountAndFooterPlacement) {
    EXPECT_EQ(MemoPrintPageCount(130, 62), 3);
    EXPECT_EQ(MemoPrintPageCount(124, 62), 2);
    EXPECT_EQ(MemoPrintPageCount(1, 62), 1);
    EXPECT_EQ(MemoPrintPageCount(0, 62), 0);
    EXPECT_THROW(MemoPrintPageCount(10, 0), EMemoPrintError);
    EXPECT_EQ(MemoFooterX(1000, 80, 8), 910);
    EXPECT_EQ(MemoFooterX(1000, 0, 0), 1000) << "an empty footer divides by nothing";
}

TEST_F(MemoPrint, PicturesGoToFilesInEachFormat) {
    Fill(5);
    const std::string Dir = OutputDir();
    struct Case {
        THSGraphicsFormat Format;
        const char* Name;
    } Cases[] = {{gfBitmap, "view.bmp"}, {gfMetafile, "view.wmf"}, {gfEnhancedMetafile, "view.emf"}};
    for (const Case& C : Cases) {
        const std::string Path = Dir + "\\" + C.Name;
        DrawToFile(*Memo, Path, C.Format);
        std::ifstream In(Path, std::ios::binary);
        std::string Bytes((std::istreambuf_iterator<char>(In)), {});
        ASSERT_GT(Bytes.size(), 44u) << C.Name;
        switch (C.Format) {
        case gfBitmap:
            EXPECT_EQ(Bytes.substr(0, 2), "BM");
            break;
        case gfMetafile:
            EXPECT_TRUE(Bytes[0] == 1 || Bytes[0] == 2) << "a metafile header of memory or disk type";
            break;
        case gfEnhancedMetafile:
            EXPECT_EQ(Bytes.substr(40, 4), " EMF");
            break;
        }
    }
    TMetafile M;
    DrawToMetaFile(*Memo, M, nullptr);
    EXPECT_TRUE(PageShows(M, RowName(1)));
}

} // namespace

namespace {
TEST_F(MemoPrint, TheBitmapAndBothMetafilesGoToTheClipboard) {
    Fill(3);
    auto Old = SetClipboard(std::make_unique<TMemoryClipboard>());
    CopyGraphicToClipboard(*Memo, gfBitmap);
    std::vector<uint8_t> Dib = Clipboard().GetBuffer(CF_DIB);
    ASSERT_GE(Dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER Info;
    std::memcpy(&Info, Dib.data(), sizeof Info);
    EXPECT_EQ(Info.biWidth, Memo->ClientWidth());
    EXPECT_EQ(Info.biHeight, Memo->ClientHeight());

    // The enhanced metafile shows the view's text.
    CopyGraphicToClipboard(*Memo, gfEnhancedMetafile);
    std::vector<uint8_t> Emf = Clipboard().GetMetafileBits(CF_ENHMETAFILE);
    ASSERT_GT(Emf.size(), 44u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Emf.data()) + 40, 4), " EMF");
    TMetafile Back;
    Back.SetHandle(SetEnhMetaFileBits(static_cast<UINT>(Emf.size()), Emf.data()));
    EXPECT_TRUE(PageShows(Back, RowName(1)));

    // The plain one travels in a picture record sized in hundredths of a millimetre.
    CopyGraphicToClipboard(*Memo, gfMetafile);
    std::vector<uint8_t> Pict = Clipboard().GetMetafileBits(CF_METAFILEPICT);
    ASSERT_GT(Pict.size(), sizeof(METAFILEPICT) + 18);
    METAFILEPICT Header;
    std::memcpy(&Header, Pict.data(), sizeof Header);
    EXPECT_EQ(MM_ANISOTROPIC, Header.mm);
    HDC Screen = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(Screen, LOGPIXELSX);
    ReleaseDC(nullptr, Screen);
    EXPECT_EQ(MulDiv(Memo->ClientWidth(), 2540, Dpi), Header.xExt);
    EXPECT_TRUE(Pict[sizeof Header] == 1 || Pict[sizeof Header] == 2) << "a plain metafile header";
    SetClipboard(std::move(Old));
}

TEST_F(MemoPrint, TheEnhancedMetafileReachesTheSystemClipboard) {
    Fill(3);
    CopyGraphicToClipboard(*Memo, gfEnhancedMetafile);
    ASSERT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
    std::vector<uint8_t> Emf = Clipboard().GetMetafileBits(CF_ENHMETAFILE);
    ASSERT_GT(Emf.size(), 44u);
    TMetafile Back;
    Back.SetHandle(SetEnhMetaFileBits(static_cast<UINT>(Emf.size()), Emf.data()));
    EXPECT_TRUE(PageShows(Back, RowName(1)));
    Clipboard().Clear();
}
} // namespace

namespace {

// A PostScript printer on the FILE: port, made for the test with the platform's own driver and a
// minimal printer description. False when the platform takes no such printer. Its jobs are raw
// PostScript passed on by the standard print processor: with metafile spooling the spooler here
// hands the driver's processor an empty job and the file stays empty.
bool InstallFilePrinter(const char* Name) {
    static const char Ppd[] =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
        "*LanguageEncoding: ISOLatin1\n*PCFileName: \"ZELFILE.PPD\"\n*Manufacturer: \"ZEL\"\n"
        "*Product: \"(ZEL File Printer)\"\n*ModelName: \"ZEL File Printer\"\n*NickName: \"ZEL File "
        "Printer\"\n"
        "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
        "*TTRasterizer: Type42\n*DefaultResolution: 300dpi\n*OpenUI *PageSize: PickOne\n"
        "*DefaultPageSize: Letter\n*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
        "*CloseUI: *PageSize\n*DefaultImageableArea: Letter\n*ImageableArea Letter/US Letter: \"18 36 594 "
        "756\"\n"
        "*DefaultPaperDimension: Letter\n*PaperDimension Letter/US Letter: \"612 792\"\n";
    char Dir[MAX_PATH] = {};
    DWORD Got = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(Dir), sizeof Dir, &Got))
        return false;
    const std::string PpdFile = std::string(Dir) + "\\zel-file.ppd";
    if (FILE* F = std::fopen(PpdFile.c_str(), "wb")) {
        std::fwrite(Ppd, 1, sizeof Ppd - 1, F);
        std::fclose(F);
    } else {
        return false;
    }
    DRIVER_INFO_3A D{};
    D.cVersion = 3;
    D.pName = const_cast<char*>("ZEL PostScript");
    D.pDriverPath = const_cast<char*>("wineps.drv");
    D.pDataFile = const_cast<char*>("zel-file.ppd");
    D.pConfigFile = const_cast<char*>("wineps.drv");
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&D)))
        return false;
    PRINTER_INFO_2A P{};
    P.pPrinterName = const_cast<char*>(Name);
    P.pPortName = const_cast<char*>("FILE:");
    P.pDriverName = const_cast<char*>("ZEL PostScript");
    P.pPrintProcessor = const_cast<char*>("winprint");
    P.pDatatype = const_cast<char*>("RAW");
    HANDLE H = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&P));
    if (H)
        ClosePrinter(H);
    HANDLE Open = nullptr;
    if (!OpenPrinterA(const_cast<char*>(Name), &Open, nullptr))
        return false;
    ClosePrinter(Open);
    return true;
}

TEST_F(MemoPrint, TheRealPrinterPathPrintsToAFile) {
    const char* Name = "ZEL File Printer";
    if (!InstallFilePrinter(Name))
        GTEST_SKIP() << "the platform takes no file printer here";
    auto Sink = std::make_unique<TSystemPrinterSink>(Name);
    TSystemPrinterSink* Real = Sink.get();
    try {
        Real->ReferenceDC();
    } catch (const Exception&) {
        GTEST_SKIP() << "the printer driver makes no device context here";
    }
    // Laid out for the real device: 300 dots per inch on the printable part of a letter page.
    EXPECT_EQ(300, GetDeviceCaps(Real->ReferenceDC(), LOGPIXELSY));
    EXPECT_GT(Real->PageHeight(), Real->PageWidth());
    const std::string Out = OutputDir() + "\\memo.ps";
    Real->OutputFile = Out;
    auto Old = Printer().SetSink(std::move(Sink));
    if (!Saved)
        Saved = std::move(Old);
    Fill(130);
    Printer_->PrintOptions = poPrintHeader;
    // Every platform call of the job succeeds (a refused page or job would throw), and the job is
    // handed to the file rather than the port.
    EXPECT_NO_THROW(Printer_->Print());
    EXPECT_GE(Printer_->PageCount(), 2);
    EXPECT_FALSE(Printer().Printing());
    EXPECT_FALSE(Printer().Aborted());
    Printer().SetSink(std::move(Saved));
    std::ifstream In(Out, std::ios::binary);
    const std::string Job((std::istreambuf_iterator<char>(In)), {});
    // The driver wrote a PostScript job with one page for each page laid out.
    ASSERT_EQ(Job.rfind("%!PS", 0), 0u)
        << "a PostScript job in the file, not " << Job.size() << " bytes: " << Job.substr(0, 200);
    int Pages = 0;
    for (size_t At = Job.find("\n%%Page:"); At != std::string::npos; At = Job.find("\n%%Page:", At + 1))
        ++Pages;
    EXPECT_EQ(Pages, Printer_->PageCount());
    EXPECT_NE(Job.find("%%EOF"), std::string::npos) << "the job was ended, not cut off";
}

} // namespace
