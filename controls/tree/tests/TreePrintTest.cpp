// Tree printing through the printer seam: pages are recorded as metafiles.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "controls/tree/HSTree.h"
#include "controls/tree/MemoPrintProgress.h"
#include "controls/tree/TreePrint.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/Printers.h"

namespace {

// The printer line of the progress window while it is shown ("" without one).
std::string ProgressPrinterLine() {
    if (HWND W = FindWindowA(nullptr, "Printing"))
        if (auto* F = dynamic_cast<TMemoPrintProgress*>(TWinControl::FromHandle(W)))
            return F->lblPrinter->Caption();
    return "";
}

// Stops the print from the progress window once a number of pages has gone out.
class TCancellingRecorder : public TPageRecorder {
public:
    int CancelAfter = 1000;
    std::string PrinterLine;
    void AddPage(std::unique_ptr<TMetafile> Page) override {
        PrinterLine = ProgressPrinterLine();
        TPageRecorder::AddPage(std::move(Page));
        if (static_cast<int>(Pages.size()) == CancelAfter)
            if (HWND W = FindWindowA(nullptr, "Printing"))
                if (auto* F = dynamic_cast<TMemoPrintProgress*>(TWinControl::FromHandle(W)))
                    F->SetModalResult(mrCancel);
    }
};

// A system printer known by its name whose pages are kept, not printed; notes the printer line
// the progress window shows while a page goes out.
class TNamedPrinter : public TSystemPrinterSink {
public:
    explicit TNamedPrinter(const std::string& Name) : TSystemPrinterSink(Name) {}
    HDC ReferenceDC() override { return nullptr; }
    int PageWidth() override { return Pages.PageWidth(); }
    int PageHeight() override { return Pages.PageHeight(); }
    void BeginDoc(const std::string& Title) override { Pages.BeginDoc(Title); }
    void AddPage(std::unique_ptr<TMetafile> Page) override {
        PrinterLine = ProgressPrinterLine();
        Pages.AddPage(std::move(Page));
    }
    void EndDoc() override { Pages.EndDoc(); }
    void Abort() override { Pages.Abort(); }
    TPageRecorder Pages;
    std::string PrinterLine;
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

class TreePrint : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        auto R = std::make_unique<TCancellingRecorder>();
        Recorder = R.get();
        Saved = Printer().SetSink(std::move(R));
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 300, 200);
        Tree = new THSTree(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetAlign(TAlign::alClient);
        Form->Show();
    }
    void TearDown() override {
        Form.reset();
        Printer().SetSink(std::move(Saved));
        UiTest::TearDown();
    }
    void Fill(int Groups, int Children) {
        THSTreeUpdateGuard Batch(Tree->Items());
        for (int G = 0; G < Groups; ++G) {
            THSTreeNode* N = Tree->Items().Add(nullptr, "Group " + std::to_string(G));
            for (int C = 0; C < Children; ++C)
                Tree->Items().AddChild(N, "Child " + std::to_string(C));
        }
    }
    TCancellingRecorder* Recorder = nullptr;
    std::unique_ptr<TPageSink> Saved;
    std::unique_ptr<TForm> Form;
    THSTree* Tree = nullptr;
};

TEST_F(TreePrint, HeaderTakesHeightOnlyAndTheNumberEndsAtTheRightEdge) {
    TTreePrintLayout L = ComputeTreePrintLayout(5100, 6600, 600, 600, 96, 96, 100, 50);
    EXPECT_EQ(L.TreeArea.left, 0);
    EXPECT_EQ(L.TreeArea.right, 5100) << "the header leaves the width alone";
    EXPECT_EQ(L.TreeArea.top, 100);
    EXPECT_EQ(L.TreeArea.bottom, 6600 - 100) << "the footer band is twice the footer's height";
    EXPECT_EQ(L.FooterArea.top, 6500);
    EXPECT_EQ(L.PageSize.cx, 816);
    EXPECT_EQ(L.PageSize.cy, (6500 - 100) * 96 / 600);
    TTreePrintLayout Plain = ComputeTreePrintLayout(5100, 6600, 600, 600, 96, 96, 0, 0);
    EXPECT_EQ(Plain.TreeArea.bottom - Plain.TreeArea.top, 6600);
}

TEST_F(TreePrint, OnePageWithHeaderAndFooter) {
    Fill(3, 2);
    Tree->Items().GetFirstNode()->Expand(false);
    Tree->PrintOptions().Options = (1u << poHeader) | (1u << poFooter);
    Tree->PrintOptions().Header = "Validation results";
    Tree->PrintOptions().Footer = "page foot";
    Tree->PrintOptions().Title = "Results";
    Tree->Print(false);
    ASSERT_TRUE(Recorder->Finished);
    ASSERT_EQ(Recorder->Pages.size(), 1u);
    EXPECT_EQ(Recorder->Title, "Results");
    EXPECT_TRUE(PageShows(*Recorder->Pages[0], "1/1"));
    EXPECT_TRUE(PageShows(*Recorder->Pages[0], "Validation results"));
    EXPECT_TRUE(PageShows(*Recorder->Pages[0], "page foot"));
    EXPECT_EQ(Tree->Items().VisibleCount(), 5) << "printing leaves the screen's expansion alone";
    TBitmap Shot;
    Shot.SetSize(510, 660);
    Shot.Canvas().Brush().SetColor(clWhite);
    Shot.Canvas().FillRect(RECT{0, 0, 510, 660});
    Shot.Canvas().StretchDraw(RECT{0, 0, 510, 660}, *Recorder->Pages[0]);
    std::filesystem::path Dir = std::filesystem::path(TestOutputFolder()).parent_path() / "tree";
    std::filesystem::create_directories(Dir);
    SavePng(Shot, (Dir / "tree-printed-page.png").string());
}

TEST_F(TreePrint, PrintAllAddsCollapsedChildren) {
    Fill(40, 5);
    Tree->Print(false);
    size_t Visible = Recorder->Pages.size();
    Tree->Print(true);
    size_t All = Recorder->Pages.size();
    EXPECT_GE(Visible, 1u);
    EXPECT_EQ(Visible, 1u);
    EXPECT_GE(All, 4u) << "six times the rows need more pages";
    EXPECT_FALSE(Tree->Items().GetFirstNode()->Expanded());
}

TEST_F(TreePrint, EmptyTreeOpensAndClosesTheDocumentWithoutPages) {
    Tree->Print(true);
    EXPECT_TRUE(Recorder->Finished);
    EXPECT_TRUE(Recorder->Pages.empty());
}

TEST_F(TreePrint, CancelInTheProgressWindowStopsBeforeTheNextPage) {
    Fill(300, 0);
    Tree->PrintOptions().Options = 1u << poShowProgress;
    Recorder->CancelAfter = 1;
    Tree->Print(false);
    EXPECT_TRUE(Recorder->Finished) << "the document is closed";
    EXPECT_EQ(Recorder->Pages.size(), 2u) << "the page in hand is finished, no further one is begun";
}

TEST_F(TreePrint, TheProgressWindowNamesThePrinter) {
    Fill(3, 0);
    Tree->PrintOptions().Options = 1u << poShowProgress;
    Tree->Print(false);
    EXPECT_EQ(Recorder->PrinterLine, "Printing on printer (page recorder)");

    auto Named = std::make_unique<TNamedPrinter>("ZEL Office Printer");
    TNamedPrinter* Office = Named.get();
    auto Kept = Printer().SetSink(std::move(Named));
    Tree->Print(false);
    EXPECT_EQ(Office->Pages.Pages.size(), 1u);
    EXPECT_EQ(Office->PrinterLine, "Printing on printer ZEL Office Printer");
    Printer().SetSink(std::move(Kept));
}

} // namespace
