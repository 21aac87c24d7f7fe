#pragma once
// Scroll bars and window styles of the family's controls.
#include "framework/core/Win.h"

#include "framework/ui/Controls.h"

int GetScrollPosEx(HWND Wnd, int Bar);
void _SetScrollPos(HWND Wnd, int Bar, int Pos);
void _SetScrollSize(HWND Wnd, int Bar, int Min, int Max, int Page);
void UpdateParamsWithBorderStyle(TCreateParams& Params, TBorderStyle BorderStyle, bool Ctl3D);
