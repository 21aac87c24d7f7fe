#pragma once
// Scrolling and hover while something is dragged over the shell tree or list: a cursor resting
// near an edge scrolls the control a line at a time, and a cursor resting on one spot longer
// than the mouse-hover time opens the node under it. Time comes from the framework's clock, so
// tests can move it.
#include "framework/core/Win.h"

#include <cstdint>

struct TNVDragScrollSettings {
    int ZoneX = 26;    // pixels from the left and right edges that scroll
    int ZoneY = 20;    // pixels from the top and bottom edges that scroll
    int DelayMs = 100; // between two scroll steps
    int HoverMs = 400;
    int HoverWidth = 2;
    int HoverHeight = 2;
};
// The settings of the whole program; NVReadMouseHoverSettings puts the system's mouse-hover time,
// width and height in, where the system has them.
TNVDragScrollSettings& NVDragScrollSettings();
void NVReadMouseHoverSettings();

// Milliseconds on the framework's clock.
int64_t NVClockMs();

// Whether a scroll bar of Wnd can move: its range less its page is above 0.
bool NVScrollBarHasRoom(HWND Wnd, int Bar);

class TNVDragAutoScroll {
public:
    // A drag entered the control at ClientPt.
    void Start(POINT ClientPt);
    // The drag moved to ClientPt: scrolls Wnd one line towards a near edge when the delay has
    // passed since the last step. True when the cursor has rested at the hover point longer than
    // the hover time; Hover is then that point, and the hover starts again at ClientPt.
    bool Step(HWND Wnd, POINT ClientPt, POINT& Hover);

private:
    int64_t FLastScroll = 0;
    POINT FHover{};
    int64_t FHoverStart = 0;
};
