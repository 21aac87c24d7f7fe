#include "controls/foundation/ControlWindows.h"

int GetScrollPosEx(HWND Wnd, int Bar) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_TRACKPOS;
    GetScrollInfo(Wnd, Bar, &SI);
    return SI.nTrackPos;
}

void _SetScrollPos(HWND Wnd, int Bar, int Pos) {
    if (GetScrollPos(Wnd, Bar) != Pos)
        SetScrollPos(Wnd, Bar, Pos, TRUE);
}

void _SetScrollSize(HWND Wnd, int Bar, int Min, int Max, int Page) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_RANGE | SIF_PAGE;
    SI.nMin = Min;
    SI.nMax = Max;
    SI.nPage = static_cast<UINT>(Page);
    SetScrollInfo(Wnd, Bar, &SI, TRUE);
}

void UpdateParamsWithBorderStyle(TCreateParams& Params, TBorderStyle BorderStyle, bool Ctl3D) {
    if (BorderStyle != TBorderStyle::bsSingle)
        return;
    if (Ctl3D) {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
        Params.Style |= WS_BORDER;
    }
}
