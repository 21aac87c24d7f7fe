// The tree canvas on a bitmap: dot patterns, aligned text and filling around a rectangle.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/tree/HSCanvas.h"

namespace {

class HSCanvasTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Bmp.SetSize(40, 20);
        DC = Bmp.Canvas().Handle();
        C.SetHandle(DC);
        C.Brush().SetColor(clWhite);
        C.FillRect(RECT{0, 0, 40, 20});
        C.Pen().SetColor(clBlack);
    }
    void TearDown() override {
        C.SetHandle(nullptr);
        UiTest::TearDown();
    }
    bool Black(int X, int Y) { return GetPixel(DC, X, Y) == RGB(0, 0, 0); }
    TBitmap Bmp;
    HDC DC = nullptr;
    THSCanvas C;
};

TEST_F(HSCanvasTest, MirrorReversesTheBits) {
    struct Case {
        uint8_t In, Out;
    };
    for (Case K : {Case{0x80, 0x01}, Case{0xAA, 0x55}, Case{0xF0, 0x0F}, Case{0x00, 0x00}, Case{0x81, 0x81}})
        EXPECT_EQ(THSCanvas::MirrorPattern(K.In), K.Out) << int(K.In);
}

TEST_F(HSCanvasTest, DottedLinesDrawTheStartButNotTheEnd) {
    C.SetPattern(0xAA);
    C.DrawHorzDotLine(2, 3, 25);
    for (int X = 0; X < 30; ++X)
        EXPECT_EQ(Black(X, 3), X >= 2 && X < 25 && (X - 2) % 2 == 0) << X;
    C.DrawVertDotLine(30, 1, 12);
    for (int Y = 0; Y < 15; ++Y)
        EXPECT_EQ(Black(30, Y), Y >= 1 && Y < 12 && (Y - 1) % 2 == 0) << Y;
    // Backwards the same dots appear, the end pixel again left out.
    C.DrawHorzDotLine(20, 8, 9);
    EXPECT_TRUE(Black(20, 8));
    EXPECT_FALSE(Black(9, 8));
    EXPECT_EQ(C.Pattern(), 0xAA) << "the pattern is restored after a backward line";
}

TEST_F(HSCanvasTest, TextIsPlacedInsideItsRectangleAndTheRestFilled) {
    RECT R{0, 0, 40, 20};
    EXPECT_THROW(C.DrawText("x", R, DrawTextFlag(dtfEndEllipsis) | DrawTextFlag(dtfPathEllipsis)),
                 EInvalidOperation);
    C.HorzAlign = haRight;
    C.VertAlign = vaBottom;
    RECT M = R;
    C.DrawText("ab", M, DrawTextFlag(dtfCalcRect) | DrawTextFlag(dtfSingleLine));
    EXPECT_EQ(M.right, 40);
    EXPECT_EQ(M.bottom, 20);
    EXPECT_GT(M.left, 0);
    C.HorzAlign = haCenter;
    C.VertAlign = vaCenter;
    M = R;
    C.DrawText("ab", M, DrawTextFlag(dtfCalcRect));
    EXPECT_NEAR((M.left + M.right) / 2, 20, 1);
    EXPECT_NEAR((M.top + M.bottom) / 2, 10, 1);

    C.Brush().SetColor(clBlack);
    C.FillRectExclude(RECT{0, 0, 40, 20}, RECT{10, 5, 30, 15});
    EXPECT_TRUE(Black(5, 10));
    EXPECT_TRUE(Black(20, 2));
    EXPECT_TRUE(Black(35, 18));
    EXPECT_FALSE(Black(20, 10)) << "the inner rectangle is left alone";
}

} // namespace
