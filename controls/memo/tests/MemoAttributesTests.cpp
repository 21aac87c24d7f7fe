// Free formatting: the selection attributes format characters through the attribute parser's table.
#include <gtest/gtest.h>

#include "MemoTestSupport.h"
#include "controls/memo/MemoAttributes.h"

namespace {

struct MemoAttributes : ::testing::Test {
    void SetUp() override {
        Memo.SetFixedMetrics(8, 16);
        Memo.GetSource()->SetUndoLimit(1000);
        Memo.SetText("plain bold mixed\r\nsecond line");
        Memo.GetSource()->ClearUndoBuffer();
    }
    void Select(int32_t C1, int32_t L1, int32_t C2, int32_t L2) {
        Memo.GetSource()->SetSelection(stStreamSel, C1, L1, C2, L2);
    }
    TAttributeParser& Parser() { return *dynamic_cast<TAttributeParser*>(Memo.GetSyntaxParser()); }
    // The colour bytes of a line as digits of the table index ('0' + index).
    std::string Bytes(int32_t Line) {
        std::string S = Memo.GetSource()->GetColorData(Line);
        for (char& C : S)
            C = char('0' + uint8_t(C));
        return S;
    }
    THSMemo Memo{nullptr};
};

TEST_F(MemoAttributes, StylingTheSelectionFormatsOnlyItAndUndoTakesItBack) {
    TMemoAttributes& A = Memo.SelAttributes();
    ASSERT_NE(dynamic_cast<TAttributeParser*>(Memo.GetSyntaxParser()), nullptr);
    Select(6, 0, 10, 0);
    Memo.SelAttributes().SetStyle(fsBold);
    EXPECT_EQ(Bytes(0), "0000001111000000");
    EXPECT_EQ(Bytes(1), "00000000000");
    EXPECT_EQ(Parser().Item(1)->Style(), fsBold);
    EXPECT_EQ(Parser().Item(1)->Name(), Memo.Font().Name());

    // The painter draws the formatted run in the entry's font.
    TRecordingSink Sink;
    Memo.GetSource()->ClearSelection();
    Memo.PaintTo(Sink, RECT{0, 0, 400, 64});
    const TRecordedOp* Bold = Sink.TextAt(Memo.GetPaintX() + 7 * 8 + 2, 4);
    const TRecordedOp* Plain = Sink.TextAt(Memo.GetPaintX() + 2 * 8 + 2, 4);
    ASSERT_TRUE(Bold && Plain);
    EXPECT_TRUE(Bold->Style & fsBold);
    EXPECT_FALSE(Plain->Style & fsBold);

    // A colour over a selection that crosses the bold run keeps each run's own style.
    Select(8, 0, 3, 1);
    A.SetColor(clRed);
    EXPECT_EQ(Bytes(0), "0000001122333333");
    EXPECT_EQ(Bytes(1), "33300000000");
    EXPECT_EQ(Parser().Item(2)->Style(), fsBold);
    EXPECT_EQ(Parser().Item(2)->Color(), clRed);
    EXPECT_EQ(Parser().Item(3)->Style(), 0);
    EXPECT_EQ(Parser().Item(3)->Color(), clRed);

    Memo.Undo();
    EXPECT_EQ(Bytes(0), "0000001111000000");
    EXPECT_EQ(Bytes(1), "00000000000");
}

TEST_F(MemoAttributes, MixedSelectionsReportWhatIsUniformAndTakeAnEqualValueAnyway) {
    Memo.SelAttributes();
    Select(6, 0, 10, 0);
    Memo.SelAttributes().SetStyle(fsBold);
    Select(3, 0, 8, 0); // "in bo": plain and bold
    TMemoAttributes& A = Memo.SelAttributes();
    const TConsistentAttrs C = A.GetConsistentAttrs();
    EXPECT_FALSE(C & AttrBit(csBold));
    EXPECT_FALSE(C & AttrBit(csStyle));
    EXPECT_TRUE(C & AttrBit(csColor));
    EXPECT_TRUE(C & AttrBit(csFace));
    // Bold over the mix makes all of it bold.
    A.SetStyle(fsBold);
    EXPECT_EQ(Bytes(0), "0001111111000000");
    EXPECT_EQ(Memo.SelAttributes().GetConsistentAttrs(), kAllConsistentAttrs);

    // A colour equal to the one read at the selection's start still applies over a mixed selection.
    Select(0, 0, 6, 0);
    Memo.SelAttributes().SetColor(clBlue);
    Select(0, 0, 10, 0);
    TMemoAttributes& B = Memo.SelAttributes();
    ASSERT_EQ(B.Color(), clBlue);
    ASSERT_FALSE(B.GetConsistentAttrs() & AttrBit(csColor));
    B.SetColor(clBlue);
    EXPECT_TRUE(Memo.SelAttributes().GetConsistentAttrs() & AttrBit(csColor));
    for (int I = 0; I < 10; ++I)
        EXPECT_EQ(Parser().Item(uint8_t(Memo.GetSource()->GetColorData(0)[size_t(I)]))->Color(), clBlue) << I;
}

TEST_F(MemoAttributes, AFullTableFallsBackToTheBaseAttributes) {
    Memo.SelAttributes();
    TAttributeParser& P = Parser();
    std::vector<int32_t> Indexes;
    for (int I = 0; I < 300; ++I) {
        TMemoAttributes A(nullptr);
        A.SafeAssign(P.Item(0));
        A.SetColor(TColor(0x010000 + I));
        Indexes.push_back(P.AddNewAttribute(A));
    }
    // Index 12 is kept for the URL style; 255 entries after the base, then the base itself.
    EXPECT_EQ(Indexes[0], 1);
    EXPECT_EQ(Indexes[10], 11);
    EXPECT_EQ(Indexes[11], 13);
    EXPECT_EQ(Indexes[253], 255);
    EXPECT_EQ(Indexes[254], 0);
    EXPECT_EQ(Indexes[299], 0);
    EXPECT_EQ(P.Count(), 256);
    // An equal set finds its entry again.
    TMemoAttributes Again(nullptr);
    Again.SafeAssign(P.Item(0));
    Again.SetColor(TColor(0x010000 + 5));
    EXPECT_EQ(P.AddNewAttribute(Again), 6);

    // With ResetOnOverFlow an index no character uses is taken again.
    P.ResetOnOverFlow = true;
    TMemoAttributes New(nullptr);
    New.SafeAssign(P.Item(0));
    New.SetColor(clLime);
    EXPECT_EQ(P.AddNewAttribute(New), 1);
    EXPECT_EQ(P.Item(1)->Color(), clLime);
}

TEST_F(MemoAttributes, TheEndOfLineSymbolTakesTheLinesLastAttribute) {
    TMemoAttributes& A = Memo.SelAttributes();
    Select(10, 1, 11, 1);
    A.SetStyle(fsItalic);
    Memo.GetSource()->ClearSelection();
    Memo.SetOptions(Memo.Options() | moDrawSpecialSymbols);
    TRecordingSink Sink;
    Memo.PaintTo(Sink, RECT{0, 0, 400, 64});
    const TRecordedOp* Eol0 = Sink.TextAt(Memo.GetPaintX() + 16 * 8 + 2, 4);
    const TRecordedOp* Eol1 = Sink.TextAt(Memo.GetPaintX() + 11 * 8 + 2, 16 + 4);
    ASSERT_TRUE(Eol0 && Eol1);
    // The symbol joins the run of the line's last character.
    EXPECT_EQ(Eol0->Text, "plain bold mixed" + Memo.SpecialSymbols().EOLString());
    EXPECT_EQ(Eol0->Style, 0);
    EXPECT_EQ(Eol1->Text, "e" + Memo.SpecialSymbols().EOLString());
    EXPECT_TRUE(Eol1->Style & fsItalic);
}

TEST_F(MemoAttributes, ByteTwelvePaintsInTheUrlStyle) {
    Memo.SelAttributes();
    Memo.GetSource()->ReplaceColorData(1, 1, std::string(6, char(12)));
    TRecordingSink Sink;
    Memo.PaintTo(Sink, RECT{0, 0, 400, 64});
    const TRecordedOp* Url = Sink.TextAt(Memo.GetPaintX() + 2 * 8 + 2, 16 + 4);
    ASSERT_NE(Url, nullptr);
    EXPECT_EQ(Url->FontColor, Memo.TextStyles().GetItem(12)->Font().Color());
    EXPECT_EQ(Url->Style, Memo.TextStyles().GetItem(12)->Font().Style());
}

} // namespace

namespace {

TEST_F(MemoAttributes, ImportedRtfKeepsItsFormattingAsAttributes) {
    Memo.SelAttributes();
    Memo.SetText("[]");
    Memo.GetSource()->ClearUndoBuffer();
    Memo.GetSource()->JumpTo(1, 0);
    TStringStream Rtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                      "\\f0\\fs20 plain \\b bold\\b0  \\cf1 red\\cf0\\par next}");
    Memo.PasteFromRtfStream(Rtf);
    ASSERT_EQ(Memo.GetText(), "[plain bold red\r\nnext]");
    const std::string& Line = Memo.GetSource()->GetColorData(0);
    auto At = [&](int I) { return Parser().Item(uint8_t(Line[size_t(I)])); };
    ASSERT_TRUE(At(1) && At(7) && At(12));

    EXPECT_FALSE(At(1)->Style() & fsBold);
    EXPECT_EQ(At(1)->Name(), "Arial");
    EXPECT_TRUE(At(7)->Style() & fsBold);
    EXPECT_EQ(At(12)->Color(), TColor(RGB(255, 0, 0)));
    EXPECT_EQ(uint8_t(Line[0]), 0); // the text around the paste keeps its own
    // One undo takes the whole paste back.
    Memo.Undo();
    EXPECT_EQ(Memo.GetText(), "[]");

    // Loading replaces the table with the loaded document's.
    TStringStream Again("{\\rtf1\\ansi \\b x\\b0}");
    const int32_t Before = Parser().Count();
    EXPECT_GT(Before, 2);
    Memo.LoadFromRtfStream(Again);
    EXPECT_EQ(Memo.GetText(), "x");
    EXPECT_LT(Parser().Count(), Before);
    EXPECT_FALSE(Memo.GetSource()->Modified());
}

} // namespace
