#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/ShellFrames.h"
#include "shellcontrols/ShellSplitter.h"

namespace {

class FramesTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 700, 500);
        Form->Show();
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    // The bands between the window's edges and its client area.
    static RECT Bands(HWND Wnd) {
        RECT W, C;
        GetWindowRect(Wnd, &W);
        GetClientRect(Wnd, &C);
        MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&C), 2);
        return RECT{C.left - W.left, C.top - W.top, W.right - C.right, W.bottom - C.bottom};
    }
    TForm* Form = nullptr;
};

int LineHeight(TFont& Font) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    SIZE S{};
    GetTextExtentPoint32A(DC, "0", 1, &S);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return S.cy;
}

} // namespace

TEST(ShellFrames, AdjustRectForFrame) {
    struct {
        TNVFrameStyle Style;
        RECT Expected;
    } Cases[] = {
        {TNVFrameStyle::nvfsNone, {0, 0, 100, 20}},     {TNVFrameStyle::nvfsGroup, {0, 0, 100, 20}},
        {TNVFrameStyle::nvfsLowered, {2, 2, 98, 18}},   {TNVFrameStyle::nvfsRaised, {2, 2, 98, 18}},
        {TNVFrameStyle::nvfsDint, {1, 1, 99, 19}},      {TNVFrameStyle::nvfsSingle, {1, 1, 99, 19}},
        {TNVFrameStyle::nvfsHorzLine, {0, 2, 100, 20}}, {TNVFrameStyle::nvfsHorzEdge, {0, 2, 100, 18}},
        {TNVFrameStyle::nvfsVertLine, {2, 0, 100, 20}}, {TNVFrameStyle::nvfsVertEdge, {2, 0, 98, 20}},
    };
    for (const auto& C : Cases) {
        RECT R = AdjustRectForFrame(C.Style, RECT{0, 0, 100, 20});
        EXPECT_TRUE(EqualRect(&R, &C.Expected)) << static_cast<int>(C.Style);
    }
}

TEST_F(FramesTest, GroupPanelKeepsItsFrameOutsideTheChildren) {
    auto* Group = new TNVGroup(Form);
    Group->SetParent(Form);
    Group->SetBounds(10, 10, 200, 120);
    auto* Child = new TButton(Form);
    Child->SetParent(Group);
    Child->SetAlign(TAlign::alClient);
    Application->ProcessMessages();

    RECT B = Bands(Group->Handle());
    EXPECT_EQ(B.left, 2);
    EXPECT_EQ(B.top, 2);
    EXPECT_EQ(B.right, 2);
    EXPECT_EQ(B.bottom, 2);

    Group->SetCaption("Files");
    Application->ProcessMessages();
    B = Bands(Group->Handle());
    EXPECT_EQ(B.top, LineHeight(Group->Font()));
    EXPECT_EQ(B.left, 2);

    Group->SetFrameStyle(TNVFrameStyle::nvfsNone);
    Application->ProcessMessages();
    B = Bands(Group->Handle());
    EXPECT_EQ(B.top + B.left + B.right + B.bottom, 0);
    EXPECT_EQ(Child->Width(), 200);

    Group->SetEnabled(false);
    EXPECT_FALSE(Child->Enabled());
    Group->SetEnabled(true);
    EXPECT_TRUE(Child->Enabled());
}

TEST_F(FramesTest, SplitterPositionIsClampedByThePanes) {
    auto* S = new TNVSplitter(Form);
    S->SetParent(Form);
    S->SetBounds(0, 0, 600, 300);
    // Made in code: no panes yet, so pane settings and layout do nothing.
    S->SetPaneMinSize(0, 100);
    EXPECT_EQ(S->GetPaneMinSize(0), 0);
    S->CreatePanes();
    ASSERT_NE(S->GetPane(1), nullptr);
    int Changes = 0;
    S->OnChange = [&](TObject*) { ++Changes; };

    struct {
        int Min0, Min1, Set, Expected;
    } Cases[] = {{100, 50, 20, 100},
                 {100, 50, 580, 550},
                 {100, 50, 300, 300},
                 {400, 400, 0, 400},
                 {400, 400, 599, 200}};
    for (const auto& C : Cases) {
        S->SetPaneMinSize(0, C.Min0);
        S->SetPaneMinSize(1, C.Min1);
        S->SetPosition(C.Set);
        EXPECT_EQ(S->Position(), C.Expected) << C.Set;
    }
    S->SetPaneMinSize(0, 20);
    S->SetPaneMinSize(1, 20);
    S->SetPosition(250);
    Changes = 0;
    S->SetPosition(250);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(S->GetPane(0)->Width(), 250);
    EXPECT_EQ(S->GetPane(1)->Left(), 253);
    EXPECT_EQ(S->GetPane(1)->Width(), S->ClientWidth() - 253);
}

TEST_F(FramesTest, SplitterResizesInProportionOrKeepsItsPixels) {
    auto* P = new TNVSplitter(Form);
    P->SetParent(Form);
    P->CreatePanes();
    P->SetBounds(0, 0, 200, 100);
    P->SetPosition(50);
    P->SetWidth(400);
    EXPECT_EQ(P->Position(), 100);

    auto* K = new TNVSplitter(Form);
    K->SetParent(Form);
    K->CreatePanes();
    K->SetProportional(false);
    K->SetBounds(0, 120, 200, 100);
    K->SetPosition(50);
    K->SetWidth(400);
    EXPECT_EQ(K->Position(), 50);

    auto* H = new TNVSplitter(Form);
    H->SetParent(Form);
    H->CreatePanes();
    H->SetStyle(TNVSplitterStyle::nvstHorizontal);
    H->SetBounds(300, 0, 100, 301);
    H->SetProportion(0.5);
    EXPECT_EQ(H->Position(), 150); // 150.5 goes to the even neighbour
    EXPECT_EQ(H->GetPane(0)->Height(), 150);
}

TEST_F(FramesTest, DraggingTheBarMovesItOnceInOutlineMode) {
    auto* S = new TNVSplitter(Form);
    S->SetParent(Form);
    S->SetBounds(0, 0, 600, 300);
    S->CreatePanes();
    S->SetFullDragMode(TNVFullDragMode::nvfdOff);
    S->SetPosition(200);
    Application->ProcessMessages();
    int Changes = 0, Dropped = -1;
    S->OnChange = [&](TObject*) { ++Changes; };
    S->OnSplitterDrop = [&](TObject*, int Pos) { Dropped = Pos; };
    HWND W = S->Handle();
    auto At = [](int X, int Y) { return static_cast<LPARAM>(MAKELONG(X, Y)); };

    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, At(201, 50));
    EXPECT_TRUE(S->Dragging());
    SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, At(301, 60));
    EXPECT_EQ(S->Position(), 200);                 // the outline moves, not the panes
    SendMessageA(W, WM_RBUTTONUP, 0, At(301, 60)); // another button's release does nothing
    EXPECT_TRUE(S->Dragging());
    SendMessageA(W, WM_LBUTTONUP, 0, At(351, 60));
    EXPECT_FALSE(S->Dragging());
    EXPECT_EQ(S->Position(), 350);
    EXPECT_EQ(Dropped, 350);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(S->GetPane(0)->Width(), 350);

    // A second button during a drag ends it with the panes unchanged.
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, At(351, 50));
    SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, At(100, 50));
    SendMessageA(W, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(100, 50));
    EXPECT_FALSE(S->Dragging());
    EXPECT_EQ(S->Position(), 350);
    EXPECT_EQ(Changes, 1);
}
