#pragma once
// Holds a shown window's drawing while a batch of changes lays it out, then has it repainted whole in
// the paint that follows. Scroll bars, frames and uncovered windows are drawn at once as they change,
// and each drawing is many trips to the window system (a themed scroll bar costs milliseconds); inside
// a hold they are drawn once. Whatever the window had asked to repaint is dropped when the hold
// starts, so only changes after which the whole window is repainted anyway belong inside one.
//
// The platform's own handling of the redraw switch is called, not the window's: a control that keeps
// a drawing switch of its own (the list view) would otherwise stop laying itself out and do it all
// again when drawing resumes. A window not shown, or inside a held one, is left alone.
#include "framework/ui/Controls.h"

class TDrawingHold {
public:
    // Which frames are drawn again when the hold ends: the window's own only when its scroll bars
    // changed (shown, hidden, moved or resized), or always, with those of every window inside it.
    enum class TFrames { IfScrollBarsChanged, All };

    explicit TDrawingHold(TWinControl* Control, TFrames Frames = TFrames::IfScrollBarsChanged)
        : FWnd(Control && Control->HandleAllocated() && IsWindowVisible(Control->Handle()) ? Control->Handle()
                                                                                           : nullptr),
          FFrames(Frames) {
        if (!FWnd)
            return;
        FBars = ScrollBars();
        DefWindowProcA(FWnd, WM_SETREDRAW, FALSE, 0);
    }
    ~TDrawingHold() {
        if (!FWnd)
            return;
        DefWindowProcA(FWnd, WM_SETREDRAW, TRUE, 0);
        const bool Frames = FFrames == TFrames::All || ScrollBars() != FBars;
        RedrawWindow(FWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (Frames ? RDW_FRAME : 0));
    }
    TDrawingHold(const TDrawingHold&) = delete;
    TDrawingHold& operator=(const TDrawingHold&) = delete;

    // False when the window was not shown, so nothing is held.
    bool Holding() const { return FWnd != nullptr; }

private:
    struct TBars {
        LONG_PTR Style = 0;
        SCROLLINFO Bar[2] = {};
        bool operator!=(const TBars& O) const {
            auto Same = [](const SCROLLINFO& A, const SCROLLINFO& B) {
                return A.nMin == B.nMin && A.nMax == B.nMax && A.nPage == B.nPage && A.nPos == B.nPos;
            };
            return Style != O.Style || !Same(Bar[0], O.Bar[0]) || !Same(Bar[1], O.Bar[1]);
        }
    };
    TBars ScrollBars() const {
        TBars B;
        B.Style = GetWindowLongPtrA(FWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
        for (int I = 0; I < 2; ++I) {
            B.Bar[I].cbSize = sizeof(SCROLLINFO);
            B.Bar[I].fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            if (!GetScrollInfo(FWnd, I == 0 ? SB_HORZ : SB_VERT, &B.Bar[I]))
                B.Bar[I] = SCROLLINFO{};
        }
        return B;
    }

    HWND FWnd;
    TFrames FFrames;
    TBars FBars;
};
