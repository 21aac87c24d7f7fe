#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/DrawingUtils.h"
#include "framework/ui/StdCtrls.h"

namespace {

TEST(DrawingTextTest, BoldStretchAndColumnsAreFound) {
    struct Case {
        const char* S;
        int Start, Len;
        const char* Clean;
    };
    const Case Cases[] = {
        {"plain", 0, 0, "plain"},
        {"a ~bold~ word", 3, 4, "a bold word"},
        {"to ~the end", 4, 7, "to the end"},
        {"~Line~", 1, 4, "Line"},
        {"~x~y~z", 1, 1, "xy~z"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.S);
        int Start = -1, Len = -1;
        std::string Clean;
        ExtractBoldPos(C.S, Start, Len, Clean);
        EXPECT_EQ(Start, C.Start);
        EXPECT_EQ(Len, C.Len);
        EXPECT_EQ(Clean, C.Clean);
    }
    std::string S = "name|size|";
    int Pos = 1;
    EXPECT_EQ(ExtractColumn(S, Pos), "name");
    EXPECT_EQ(ExtractColumn(S, Pos), "size");
    EXPECT_EQ(ExtractColumn(S, Pos), "");
    EXPECT_EQ(Pos, static_cast<int>(S.size()) + 1);
}

class DrawingTest : public UiTest {};

TEST_F(DrawingTest, BoldStretchMeasuresWiderThanPlainText) {
    TBitmap B;
    B.SetSize(200, 40);
    TFont Normal, Bold;
    Normal.SetName("Arial");
    Normal.SetSize(12);
    Bold.Assign(Normal);
    Bold.SetStyle(fsBold);
    int Before = B.Canvas().TextExtent("Hello World").cx;
    SIZE Plain = CalcStringSize(B.Canvas(), Normal, Bold, "Hello World");
    SIZE Marked = CalcStringSize(B.Canvas(), Normal, Bold, "Hello ~World~");
    SIZE AllBold = CalcStringSize(B.Canvas(), Bold, Bold, "Hello World");
    EXPECT_GT(Marked.cx, Plain.cx);
    EXPECT_LT(Marked.cx, AllBold.cx);
    EXPECT_EQ(B.Canvas().TextExtent("Hello World").cx, Before); // the canvas font came back
    EXPECT_NE(Plain.cx, Before);
}

TEST_F(DrawingTest, GradientBandsRunFromTheBeginToTheEndColour) {
    TBitmap B;
    B.SetSize(100, 20);
    FillGradient(B.Canvas(), 100, 20, clBlack, clWhite, false);
    EXPECT_EQ(B.Canvas().Pixel(0, 10), clBlack);
    EXPECT_GT(GetRValue(B.Canvas().Pixel(99, 10)), 240);
    EXPECT_LT(GetRValue(B.Canvas().Pixel(30, 10)), GetRValue(B.Canvas().Pixel(70, 10)));
    // Equal colours: one band over everything.
    FillGradient(B.Canvas(), 100, 20, clRed, clRed, true);
    EXPECT_EQ(B.Canvas().Pixel(99, 19), clRed);
    EXPECT_EQ(B.Canvas().Brush().Color(), clWhite); // the brush colour is restored
}

TEST_F(DrawingTest, ExpandBoxDrawsPlusOrMinus) {
    struct Case {
        int Size;
        bool Expanded;
        bool VerticalStroke;
    };
    for (const Case& C : {Case{11, false, true}, Case{11, true, false}}) {
        TBitmap B;
        B.SetSize(20, 20);
        B.Canvas().Brush().SetColor(clWhite);
        B.Canvas().FillRect(RECT{0, 0, 20, 20});
        PaintExpandCollapse(B.Canvas(), 0, 0, 1, C.Size, C.Expanded);
        int Mid = 1 + (C.Size - 2) / 2;
        EXPECT_EQ(B.Canvas().Pixel(Mid, Mid), clBlack);
        EXPECT_EQ(B.Canvas().Pixel(Mid - 2, Mid), clBlack);
        EXPECT_EQ(B.Canvas().Pixel(Mid, Mid - 2) == clBlack, C.VerticalStroke);
    }
}

TEST_F(DrawingTest, TransparentCopyLeavesOutOneColour) {
    TBitmap Src;
    Src.SetSize(10, 10);
    Src.Canvas().Brush().SetColor(clFuchsia);
    Src.Canvas().FillRect(RECT{0, 0, 10, 10});
    Src.Canvas().Brush().SetColor(clBlue);
    Src.Canvas().FillRect(RECT{3, 3, 7, 7});
    EXPECT_EQ(GetTransparentColor(Src, RECT{0, 0, 10, 10}), clFuchsia);
    TBitmap Dest;
    Dest.SetSize(10, 10);
    Dest.Canvas().Brush().SetColor(clYellow);
    Dest.Canvas().FillRect(RECT{0, 0, 10, 10});
    TransparentBitBlt(Dest.Canvas().Handle(), Src, RECT{0, 0, 10, 10}, 0, 0, clFuchsia);
    EXPECT_EQ(Dest.Canvas().Pixel(1, 1), clYellow);
    EXPECT_EQ(Dest.Canvas().Pixel(5, 5), clBlue);
}

TEST_F(DrawingTest, StandardButtonsTakeTheFamilyCaptionsAndCloseUpWithoutHelp) {
    TForm Form(nullptr);
    auto* Ok = new TButton(&Form);
    auto* Cancel = new TButton(&Form);
    auto* Help = new TButton(&Form);
    Ok->SetLeft(152);
    Cancel->SetLeft(232);
    Help->SetLeft(312);
    boolShowHelpButton = false;
    UpdateStandardButtons(Ok, Cancel, Help);
    boolShowHelpButton = true;
    EXPECT_EQ(Ok->Caption(), "OK");
    EXPECT_EQ(Cancel->Caption(), "Cancel");
    EXPECT_EQ(Help->Caption(), "&Help");
    EXPECT_FALSE(Help->Visible());
    EXPECT_EQ(Ok->Left(), 232);
    EXPECT_EQ(Cancel->Left(), 312);
}

TEST(RectHelpersTest, AlignAndCorrect) {
    RECT R{0, 0, 10, 6};
    RECT Bounds{100, 100, 200, 150};
    RECT A = AlignRectByRect(R, Bounds, THorzAlignment::haCenter, TVertAlignment::vaBottom);
    EXPECT_EQ(A.left, 145);
    EXPECT_EQ(A.top, 144);
    EXPECT_EQ(A.right, 155);
    RECT C{190, 140, 230, 170};
    CorrectRectByRect(C, Bounds);
    EXPECT_EQ(C.left, 160);
    EXPECT_EQ(C.top, 120);
}

} // namespace
