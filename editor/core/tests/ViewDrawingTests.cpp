// Views laid out with their drawing held: the hold itself, and the messages list learning its rows,
// both on the screen, where the hold does its work.
#include "CoreTestSupport.h"

#include "editor/core/DrawingHold.h"
#include "editor/core/ListView.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"

#include <commctrl.h>

#include <string>

namespace {

class ViewDrawingTest : public CoreTest {};

// Counts the frame and client paints a window gets.
template <class TBase> class TPaintCounting : public TBase {
public:
    using TBase::TBase;
    int NcPaints = 0, Paints = 0;
    void Reset() { NcPaints = Paints = 0; }
    void WndProc(TMessage& M) override {
        NcPaints += M.Msg == WM_NCPAINT;
        Paints += M.Msg == WM_PAINT;
        TBase::WndProc(M);
    }
};

// Handles every paint the shown windows still wait for.
void PaintAll(TWinControl& W) {
    RedrawWindow(W.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (MSG M; PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageA(&M);
}

// Shows the form and handles its first messages until W is on the screen.
bool ShowWith(TForm& Form, TWinControl& W) {
    Form.Show();
    for (int I = 0; I < 100 && !IsWindowVisible(W.Handle()); ++I) {
        PaintAll(Form);
        Sleep(10);
    }
    PaintAll(Form);
    return IsWindowVisible(W.Handle()) != 0;
}

bool WholeClientInvalid(TWinControl& W) {
    RECT Update, Client;
    GetClientRect(W.Handle(), &Client);
    return GetUpdateRect(W.Handle(), &Update, FALSE) && EqualRect(&Update, &Client);
}

TEST_F(ViewDrawingTest, HeldDrawingIsRepaintedWholeWithTheFramesThatChanged) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 320, 240);
    auto* Outer = new TPaintCounting<TPanel>(&Form);
    Outer->SetParent(&Form);
    Outer->SetAlign(TAlign::alClient);
    auto* Inner = new TPaintCounting<TPanel>(&Form);
    Inner->SetParent(Outer);
    Inner->SetBounds(10, 10, 150, 150);
    auto* Hidden = new TPanel(&Form);
    Hidden->SetParent(&Form);
    Hidden->SetVisible(false);
    ASSERT_TRUE(ShowWith(Form, *Inner));
    SCROLLINFO Bar{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(Inner->Handle(), SB_VERT, &Bar, TRUE);

    // Some window systems draw the frame again whenever drawing resumes; it must be drawn when the
    // scroll bars changed or all frames are asked for, and never more than once.
    struct Case {
        const char* Name;
        TDrawingHold::TFrames Frames;
        bool MoveBar;
        bool FrameDrawn;
    } Cases[] = {
        {"scroll bars as they were", TDrawingHold::TFrames::IfScrollBarsChanged, false, false},
        {"a moved scroll bar", TDrawingHold::TFrames::IfScrollBarsChanged, true, true},
        {"every frame asked for", TDrawingHold::TFrames::All, false, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        PaintAll(Form);
        Inner->Reset();
        {
            TDrawingHold Held(Inner, C.Frames);
            EXPECT_TRUE(Held.Holding());
            EXPECT_FALSE(IsWindowVisible(Inner->Handle()));
            if (C.MoveBar)
                SetScrollPos(Inner->Handle(), SB_VERT, GetScrollPos(Inner->Handle(), SB_VERT) + 7, TRUE);
            InvalidateRect(Inner->Handle(), nullptr, TRUE);
            UpdateWindow(Inner->Handle());
            EXPECT_EQ(Inner->NcPaints + Inner->Paints, 0) << "nothing is drawn while held";
        }
        EXPECT_TRUE(IsWindowVisible(Inner->Handle()));
        EXPECT_TRUE(WholeClientInvalid(*Inner));
        UpdateWindow(Inner->Handle());
        EXPECT_EQ(Inner->Paints, 1);
        EXPECT_GE(Inner->NcPaints, C.FrameDrawn ? 1 : 0);
        EXPECT_LE(Inner->NcPaints, 1);
    }

    // Inside a held window, and for a window not shown or never made, nothing is held.
    PaintAll(Form);
    {
        TDrawingHold Held(Outer);
        TDrawingHold Nested(Inner);
        EXPECT_FALSE(Nested.Holding());
        TDrawingHold NotShown(Hidden);
        EXPECT_FALSE(NotShown.Holding());
        TPanel Unmade(nullptr);
        TDrawingHold NoWindow(&Unmade);
        EXPECT_FALSE(NoWindow.Holding());
        EXPECT_FALSE(Unmade.HandleAllocated());
    }
    EXPECT_TRUE(IsWindowVisible(Inner->Handle()));
    EXPECT_FALSE(IsWindowVisible(Hidden->Handle()));
    EXPECT_TRUE(WholeClientInvalid(*Outer));
    EXPECT_TRUE(WholeClientInvalid(*Inner)) << "the windows inside a held one are repainted with it";
}

// A list on the screen learns a new row count with its drawing held: it draws nothing while it lays
// out its scroll bars and header, and is drawn once, frame and rows, afterwards. The same count
// after a scroll back to the top draws the rows once, at once.
TEST_F(ViewDrawingTest, ShownListLearnsItsRowsWithoutDrawingAndIsDrawnOnceAfter) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 320, 200);
    auto* L = new TPaintCounting<TListView>(&Form);
    L->SetParent(&Form);
    L->SetAlign(TAlign::alClient);
    L->SetColumns({{"Type", 75}, {"Line", 40}, {"Message", 600}});
    ASSERT_TRUE(ShowWith(Form, *L));
    HWND H = L->Handle();
    int Data[40] = {};
    auto Refill = [&](int N) {
        L->BeginUpdate();
        L->Clear();
        for (int I = 0; I < N; ++I)
            L->Add({"Error", std::to_string(I + 1), "message " + std::to_string(I)}, &Data[I]);
    };
    struct Case {
        const char* Name;
        int Before, After;
        int PaintsInEndUpdate, FramePaints;
    } Cases[] = {
        {"from none to more rows than show", 0, 40, 0, 1},
        {"from many to a few", 40, 3, 0, 1},
        {"as many again, scrolled back to the top", 40, 40, 1, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Refill(C.Before);
        L->EndUpdate();
        if (C.Before > 0)
            L->SetSelected(C.Before - 1);
        PaintAll(Form);
        Refill(C.After);
        L->Reset();
        L->EndUpdate();
        EXPECT_EQ(L->Paints, C.PaintsInEndUpdate);
        EXPECT_EQ(L->NcPaints, 0) << "no frame is drawn as the list lays itself out";
        EXPECT_TRUE(IsWindowVisible(H));
        EXPECT_EQ(SendMessageA(H, LVM_GETITEMCOUNT, 0, 0), C.After);
        EXPECT_EQ(SendMessageA(H, LVM_GETTOPINDEX, 0, 0), 0);
        EXPECT_EQ(L->Selected(), -1);
        PaintAll(Form);
        EXPECT_EQ(L->Paints, 1) << "the rows are drawn once";
        EXPECT_EQ(L->NcPaints, C.FramePaints);
        EXPECT_EQ((GetWindowLongA(H, GWL_STYLE) & WS_VSCROLL) != 0, C.After == 40);
    }
}

// The selected message stands out in the highlight colour whether or not the list has the focus.
TEST_F(ViewDrawingTest, TheSelectedRowIsHighlightedWithAndWithoutTheFocus) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 320, 200);
    auto* Other = new TPanel(&Form);
    Other->SetParent(&Form);
    Other->SetAlign(TAlign::alBottom);
    Other->SetHeight(30);
    auto* L = new TListView(&Form);
    L->SetParent(&Form);
    L->SetAlign(TAlign::alClient);
    L->SetColumns({{"Type", 75}, {"Line", 40}, {"Message", 600}});
    ASSERT_TRUE(ShowWith(Form, *L));
    int Data[3] = {};
    L->BeginUpdate();
    for (int I = 0; I < 3; ++I)
        L->Add({"Error", std::to_string(I + 1), "message " + std::to_string(I)}, &Data[I]);
    L->EndUpdate();
    L->SetSelected(1);
    HWND H = L->Handle();
    RECT Row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(H, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&Row));
    // Beside the text of the message column, and in the row below.
    auto Pixel = [&](int Y) {
        PaintAll(Form);
        HDC DC = GetDC(H);
        const COLORREF C = GetPixel(DC, 75 + 40 + 100, Y);
        ReleaseDC(H, DC);
        return C;
    };
    for (bool Focused : {true, false}) {
        SCOPED_TRACE(Focused ? "focused" : "not focused");
        SetFocus(Focused ? H : Form.Handle());
        EXPECT_EQ(Pixel((Row.top + Row.bottom) / 2), ColorToRGB(clHighlight));
        EXPECT_EQ(Pixel(Row.bottom + 4), ColorToRGB(clWindow));
    }
}

} // namespace
