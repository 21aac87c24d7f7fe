// Memo printing through the printer seam: each page is recorded as a metafile and read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "MemoTestSupport.h"
#include "UiTestSupport.h"
#include "controls/memo/MemoPrint.h"
#include "controls/memo/MemoPrintForm.h"
#include "controls/tree/MemoPrintProgress.h"
#include "framework/ui/Clipbrd.h"
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
    std::string Caption, Status;
    Printer_->OnBeforePrint = [&](TObject*, std::string&, TPrintType) {
        BarMax = Printer_->Progress()->ProgressBar->Max();
        Caption = Printer_->Progress()->Caption();
        Status = Printer_->Progress()->lblProgress->Caption();
    };
    Printer_->Print();
    EXPECT_EQ(Printer_->LinesPerPage(), 10);
    EXPECT_EQ(Printer_->PageCount(), 3);
    EXPECT_EQ(BarMax, 12) << "four steps a page";
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
TEST_F(MemoPrint, TheBitmapGoesToTheClipboardAndMetafilesAreRefused) {
    Fill(3);
    auto Old = SetClipboard(std::make_unique<TMemoryClipboard>());
    CopyGraphicToClipboard(*Memo, gfBitmap);
    std::vector<uint8_t> Dib = Clipboard().GetBuffer(CF_DIB);
    ASSERT_GE(Dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER Info;
    std::memcpy(&Info, Dib.data(), sizeof Info);
    EXPECT_EQ(Info.biWidth, Memo->ClientWidth());
    EXPECT_EQ(Info.biHeight, Memo->ClientHeight());
    EXPECT_THROW(CopyGraphicToClipboard(*Memo, gfEnhancedMetafile), EMemoPrintError);
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB)) << "a refused copy leaves the clipboard alone";
    SetClipboard(std::move(Old));
}
} // namespace
