#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/HSHints.h"

namespace {

class HSHintTest : public UiTest {};

TEST_F(HSHintTest, ImmediateHintShowsAtOnceAndStaysOnTheScreen) {
    THSHint Hint(nullptr);
    int Changes = 0;
    Hint.OnVisibleChanged = [&](TObject*) { ++Changes; };
    int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
    SetCursorPos(10, 10);
    // With AutoHide a pointer away from the place keeps the hint hidden.
    Hint.ActivateHintAtPos(POINT{SW - 5, SH - 5}, "Press ~F1~ for help");
    EXPECT_EQ(Hint.State(), THSHintState::Hidden);
    EXPECT_FALSE(Hint.Visible());
    Hint.AutoHide = false;
    Hint.ActivateHintAtPos(POINT{SW - 5, SH - 5}, "Press ~F1~ for help");
    EXPECT_EQ(Hint.State(), THSHintState::Shown);
    EXPECT_TRUE(Hint.Visible());
    EXPECT_EQ(Changes, 1);
    RECT R;
    GetWindowRect(Hint.Window().Handle(), &R);
    EXPECT_LE(R.right, SW);
    EXPECT_LE(R.bottom, SH);
    EXPECT_GE(R.left, 0);
    EXPECT_EQ(Hint.Window().Caption(), "Press ~F1~ for help");
    Hint.CancelHint();
    EXPECT_FALSE(Hint.Visible());
    EXPECT_EQ(Changes, 2);
    Hint.ActivateHintAtPos(POINT{10, 10}, ""); // an empty text only cancels
    EXPECT_FALSE(Hint.Visible());
}

TEST_F(HSHintTest, HintAtThePointerIsPlacedBelowIt) {
    THSHint Hint(nullptr);
    SetCursorPos(200, 150);
    POINT P;
    GetCursorPos(&P);
    Hint.ActivateHint("Line ~42~");
    ASSERT_TRUE(Hint.Visible());
    RECT R;
    GetWindowRect(Hint.Window().Handle(), &R);
    EXPECT_EQ(R.left, P.x);
    EXPECT_EQ(R.top, P.y + 20);
    Hint.CancelHint();
}

TEST_F(HSHintTest, TextWithLineBreaksIsMeasuredLineByLine) {
    THSHint Hint(nullptr);
    SIZE One = Hint.GetSize("short");
    SIZE Two = Hint.GetSize("short\r\na much longer ~second~ line");
    EXPECT_EQ(Hint.Window().Lines().size(), 2u);
    EXPECT_GT(Two.cy, One.cy);
    EXPECT_GT(Two.cx, One.cx);
    EXPECT_TRUE(Hint.IsHintInRect(RECT{0, 100, 50, 120}, POINT{10, 85})); // up to one height above
    EXPECT_FALSE(Hint.IsHintInRect(RECT{0, 100, 50, 120}, POINT{10, 75}));
}

TEST_F(HSHintTest, BackgroundPaintsOnlyWhatItHas) {
    TForm Form(nullptr);
    auto* P = new TPanel(&Form);
    P->SetParent(&Form);
    P->SetBounds(0, 0, 60, 40);
    TControlBackground B(P);
    EXPECT_FALSE(B.NeedPaint()); // no window yet
    Form.HandleNeeded();
    EXPECT_FALSE(B.NeedPaint()); // boNone
    B.SetOption(TBkgndOption::boTile);
    EXPECT_FALSE(B.NeedPaint()); // no bitmap
    B.SetOption(TBkgndOption::boVertGradient);
    ASSERT_TRUE(B.NeedPaint());
    EXPECT_EQ(B.WorkBitmap().Width(), P->ClientWidth());
    EXPECT_EQ(B.WorkBitmap().Canvas().Pixel(5, 0), clBlue);
    TBitmap Tile;
    Tile.SetSize(7, 5);
    Tile.Canvas().Brush().SetColor(clRed);
    Tile.Canvas().FillRect(RECT{0, 0, 7, 5});
    B.SetBackground(Tile);
    B.SetOption(TBkgndOption::boTile);
    EXPECT_EQ(B.WorkBitmap().Canvas().Pixel(B.WorkBitmap().Width() - 1, B.WorkBitmap().Height() - 1), clRed);
}

} // namespace
