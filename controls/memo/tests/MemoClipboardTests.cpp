// Copy, cut and paste through the real clipboard, plain and as RTF, and block moves.
#include <gtest/gtest.h>

#include "controls/memo/Memo.h"
#include "controls/memo/MemoAttributes.h"
#include "framework/core/Streams.h"
#include "framework/ui/Clipbrd.h"

namespace {

struct MemoClipboard : ::testing::Test {
    static void SetUpTestSuite() { InitMemoUnit(); }
    void SetUp() override {
        for (THSMemo* M : {&A, &B}) {
            M->SetFixedMetrics(8, 16);
            M->GetSource()->SetUndoLimit(100);
        }
    }
    THSMemo A{nullptr}, B{nullptr};
};

TEST_F(MemoClipboard, PlainTextRoundTripLeavesNoRtf) {
    A.SetText("alpha beta\r\ngamma");
    A.SetSelection(stStreamSel, 6, 0, 3, 1);
    A.CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "beta\r\ngam");
    EXPECT_FALSE(Clipboard().HasFormat(MemoRtfClipboardFormat()));
    B.SetText("[]");
    B.GetSource()->JumpTo(1, 0);
    B.PasteFromClipboard();
    EXPECT_EQ(B.GetText(), "[beta\r\ngam]");
}

TEST_F(MemoClipboard, RtfRoundTripThroughTheSystemClipboard) {
    A.SetClipboardType(cbRtf);
    A.SetText("one {two}\\ three");
    A.SetSelection(stStreamSel, 4, 0, 11, 0);
    A.CopyToClipboard();
    ASSERT_NE(MemoRtfClipboardFormat(), 0u);
    ASSERT_TRUE(Clipboard().HasFormat(MemoRtfClipboardFormat()));
    const std::vector<uint8_t> Bytes = Clipboard().GetBuffer(MemoRtfClipboardFormat());
    const std::string Rtf(Bytes.begin(), Bytes.end());
    EXPECT_EQ(Rtf.rfind("{\\rtf1\\ansi", 0), 0u) << Rtf;
    EXPECT_NE(Rtf.find("\\{two\\}\\\\"), std::string::npos) << Rtf;
    EXPECT_EQ(Clipboard().AsText(), "{two}\\ ");

    // A plain memo takes the text; an RTF memo takes the RTF, through the text model.
    B.SetClipboardType(cbRtf);
    B.SetText("<>");
    B.GetSource()->JumpTo(1, 0);
    B.PasteFromClipboard();
    EXPECT_EQ(B.GetText(), "<{two}\\ >");
    EXPECT_TRUE(B.GetSource()->UndoAvailable());
}

TEST_F(MemoClipboard, CutRemovesTheBlockAfterCopying) {
    A.SetClipboardType(cbRtf);
    A.SetText("keep cut keep");
    A.SetSelection(stStreamSel, 5, 0, 9, 0);
    A.CutToClipboard();
    EXPECT_EQ(A.GetText(), "keep keep");
    EXPECT_EQ(Clipboard().AsText(), "cut ");
}

TEST_F(MemoClipboard, BlockMovesLandWhereTheCaretWasInTheText) {
    for (TClipboardType Type : {cbNormal, cbRtf}) {
        A.SetClipboardType(Type);
        A.SetText("abc XY def");
        A.SetSelection(stStreamSel, 0, 0, 3, 0);
        A.GetSource()->JumpTo(7, 0);
        A.SetSelection(stStreamSel, 0, 0, 3, 0);
        EXPECT_TRUE(A.MoveBlockToPosEx(true));
        EXPECT_EQ(A.GetText(), " XY abcdef") << int(Type);

        A.SetText("abc XY def");
        A.SetSelection(stStreamSel, 4, 0, 6, 0);
        A.GetSource()->JumpTo(0, 0);
        A.SetSelection(stStreamSel, 4, 0, 6, 0);
        EXPECT_TRUE(A.MoveBlockToPosEx(false));
        EXPECT_EQ(A.GetText(), "XYabc XY def") << int(Type);

        // Onto a place inside the block: nothing happens.
        A.SetText("abc XY def");
        A.SetSelection(stStreamSel, 0, 0, 6, 0);
        A.GetSource()->JumpTo(2, 0);
        A.SetSelection(stStreamSel, 0, 0, 6, 0);
        EXPECT_FALSE(A.MoveBlockToPosEx(true));
        EXPECT_EQ(A.GetText(), "abc XY def");
    }
}

// The colour of each character of a line of a memo with an attribute parser, as the painter
// takes it from the attribute table.
std::vector<COLORREF> AttributeColors(THSMemo& M, int32_t Line) {
    auto* Parser = dynamic_cast<TAttributeParser*>(M.GetSyntaxParser());
    std::vector<COLORREF> Colors;
    if (!Parser)
        return Colors;
    for (char Byte : M.GetSource()->GetColorData(Line))
        Colors.push_back(ColorToRGB(Parser->GetFont(uint8_t(Byte))->Color()));
    return Colors;
}

TEST_F(MemoClipboard, FormattedTextKeepsItsColoursThroughClipboardAndBlockMoves) {
    const COLORREF Blue = RGB(0, 0, 255), Red = RGB(255, 0, 0);
    // A has an attribute parser; B has none until the paste gives it one.
    A.SetClipboardType(cbRtf);
    B.SetClipboardType(cbRtf);
    A.SelAttributes();
    TStringStream Rtf("{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}"
                      "\\cf1 tag\\cf0  \\cf2 str}");
    A.LoadFromRtfStream(Rtf);
    ASSERT_EQ(A.GetText(), "tag str");
    const COLORREF Plain = ColorToRGB(A.Font().Color());
    const std::vector<COLORREF> Formatted{Blue, Blue, Blue, Plain, Red, Red, Red};
    ASSERT_EQ(AttributeColors(A, 0), Formatted);

    // Copied from one formatted memo and pasted into another.
    A.SelectAll();
    A.CopyToClipboard();
    B.SetText("");
    B.PasteFromClipboard();
    EXPECT_EQ(B.GetText(), "tag str");
    EXPECT_EQ(AttributeColors(B, 0), Formatted);

    // A block moved by dragging takes its formatting along.
    B.SetSelection(stStreamSel, 0, 0, 3, 0);
    B.GetSource()->JumpTo(7, 0);
    B.SetSelection(stStreamSel, 0, 0, 3, 0);
    ASSERT_TRUE(B.MoveBlockToPosEx(true));
    EXPECT_EQ(B.GetText(), " strtag");
    EXPECT_EQ(AttributeColors(B, 0), (std::vector<COLORREF>{Plain, Red, Red, Red, Blue, Blue, Blue}));
}

} // namespace
