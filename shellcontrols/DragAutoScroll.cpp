#include "shellcontrols/DragAutoScroll.h"

#include <cmath>

#include "framework/core/SysUtils.h"

TNVDragScrollSettings& NVDragScrollSettings() {
    static TNVDragScrollSettings Settings;
    return Settings;
}

void NVReadMouseHoverSettings() {
    TNVDragScrollSettings& S = NVDragScrollSettings();
    UINT Value = 0;
    if (SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &Value, 0))
        S.HoverMs = static_cast<int>(Value);
    if (SystemParametersInfoA(SPI_GETMOUSEHOVERWIDTH, 0, &Value, 0))
        S.HoverWidth = static_cast<int>(Value);
    if (SystemParametersInfoA(SPI_GETMOUSEHOVERHEIGHT, 0, &Value, 0))
        S.HoverHeight = static_cast<int>(Value);
}

int64_t NVClockMs() {
    return static_cast<int64_t>(std::llround(Now() * 86400000.0));
}

bool NVScrollBarHasRoom(HWND Wnd, int Bar) {
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    if (!GetScrollInfo(Wnd, Bar, &Info))
        return false;
    return Info.nMax - Info.nMin - static_cast<int>(Info.nPage) > 0;
}

void TNVDragAutoScroll::Start(POINT ClientPt) {
    FLastScroll = NVClockMs();
    FHover = ClientPt;
    FHoverStart = FLastScroll;
}

bool TNVDragAutoScroll::Step(HWND Wnd, POINT ClientPt, POINT& Hover) {
    const TNVDragScrollSettings& S = NVDragScrollSettings();
    const int64_t Now = NVClockMs();
    if (Now - FLastScroll > S.DelayMs) {
        RECT Client{};
        GetClientRect(Wnd, &Client);
        auto Line = [Wnd](UINT Msg, int Bar, WPARAM Code) {
            if (NVScrollBarHasRoom(Wnd, Bar))
                SendMessageA(Wnd, Msg, Code, 0);
        };
        if (ClientPt.x < S.ZoneX)
            Line(WM_HSCROLL, SB_HORZ, SB_LINEUP);
        else if (ClientPt.x > Client.right - S.ZoneX)
            Line(WM_HSCROLL, SB_HORZ, SB_LINEDOWN);
        if (ClientPt.y < S.ZoneY)
            Line(WM_VSCROLL, SB_VERT, SB_LINEUP);
        else if (ClientPt.y > Client.bottom - S.ZoneY)
            Line(WM_VSCROLL, SB_VERT, SB_LINEDOWN);
        FLastScroll = Now;
    }
    const bool Inside = ClientPt.x >= FHover.x - S.HoverWidth / 2 && ClientPt.x <= FHover.x + S.HoverWidth &&
                        ClientPt.y >= FHover.y - S.HoverHeight / 2 && ClientPt.y <= FHover.y + S.HoverHeight;
    bool Rested = false;
    if (Inside && Now - FHoverStart > S.HoverMs) {
        Hover = FHover;
        Rested = true;
    }
    if (!Inside || Rested) {
        FHover = ClientPt;
        FHoverStart = Now;
    }
    return Rested;
}
