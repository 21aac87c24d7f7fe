#include "shellcontrols/ListHeaderSort.h"

#include <algorithm>

namespace {

int Width(const RECT& R) {
    return R.right - R.left;
}

RECT MoveBoxTo(const RECT& Box, int Left) {
    return RECT{Left, Box.top, Left + Width(Box), Box.bottom};
}

constexpr UINT HeaderTextFlags = DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER | DT_NOPREFIX;

} // namespace

RECT NVHeaderArrowBox(const RECT& TextRect) {
    int S = (TextRect.top + TextRect.bottom) / 2;
    int Top = (TextRect.top + TextRect.bottom - (S - 1)) / 2 - 1;
    return RECT{TextRect.left, Top, TextRect.left + S, Top + S - 1};
}

TNVHeaderCellLayout NVLayoutHeaderCell(const RECT& Rect, TNVLvHeaderSortDisplayMode Mode, bool IsSortColumn,
                                       int ColumnWidth, UINT Align, int TextWidth) {
    TNVHeaderCellLayout L;
    L.TextRect = Rect;
    L.TextRect.left += 4;
    L.TextRect.right -= 4;
    const RECT Box = NVHeaderArrowBox(L.TextRect);
    // A column narrower than two arrows keeps its text to itself.
    const bool Room = IsSortColumn && ColumnWidth > 2 * Width(Box);
    auto AtRightEnd = [&] {
        L.ArrowBox = MoveBoxTo(Box, L.TextRect.right - 5 - Width(Box));
        if (IsSortColumn)
            L.TextRect.right = L.ArrowBox.left - 4;
        L.HasArrow = Room;
    };
    switch (Mode) {
    case TNVLvHeaderSortDisplayMode::nvlvNone:
        break;
    case TNVLvHeaderSortDisplayMode::nvlvLeftAlign:
        if (IsSortColumn && ColumnWidth > 15) {
            L.ArrowBox = Box;
            L.HasArrow = Room;
            L.TextRect.left = Box.left + Width(Box) + 5;
        }
        break;
    case TNVLvHeaderSortDisplayMode::nvlvRightOfText:
        if ((Align & (DT_CENTER | DT_RIGHT)) == DT_RIGHT) {
            if (IsSortColumn)
                AtRightEnd();
        } else {
            int Drawn = std::min(TextWidth, Width(L.TextRect));
            int End = (Align & DT_CENTER) ? (L.TextRect.left + L.TextRect.right + Drawn) / 2
                                          : L.TextRect.left + Drawn;
            L.ArrowBox = MoveBoxTo(Box, End + 5);
            L.HasArrow = Room;
        }
        break;
    case TNVLvHeaderSortDisplayMode::nvlvRightAlign:
        AtRightEnd();
        break;
    }
    return L;
}

void DrawDownArrow(TCanvas& Canvas, const RECT& Rect, TColor Back, TColor Shadow, TColor Highlight) {
    const int L = Rect.left, T = Rect.top;
    const int H = (Rect.bottom - T - 1) | 1;
    const int W = H + 1;
    if (Back != clNone) {
        Canvas.Brush().SetColor(Back);
        Canvas.FillRect(RECT{L, T, L + W, T + H});
    }
    Canvas.Pen().SetColor(Shadow);
    const POINT Dark[] = {{L + (W - 1) / 2, T + H - 1}, {L, T + 1}, {L, T}, {L + W - 1, T}};
    Canvas.Polyline(Dark, 4);
    Canvas.Pen().SetColor(Highlight);
    const POINT Light[] = {{L + (W - 1) / 2 + 1, T + H - 1}, {L + W, T - 1}};
    Canvas.Polyline(Light, 2);
}

void DrawUpArrow(TCanvas& Canvas, const RECT& Rect, TColor Back, TColor Shadow, TColor Highlight) {
    const int L = Rect.left, T = Rect.top;
    const int H = (Rect.bottom - T - 1) | 1;
    const int W = H + 1;
    if (Back != clNone) {
        Canvas.Brush().SetColor(Back);
        Canvas.FillRect(RECT{L, T, L + W, T + H});
    }
    Canvas.Pen().SetColor(Shadow);
    const POINT Dark[] = {{L + W / 2 - 1, T}, {L, T + H - 2}, {L, T + H - 1}};
    Canvas.Polyline(Dark, 3);
    Canvas.Pen().SetColor(Highlight);
    const POINT Light[] = {{L, T + H - 1}, {L + W - 1, T + H - 1}, {L + (W - 1) / 2 + 1, T - 1}};
    Canvas.Polyline(Light, 3);
}

void NVDrawHeaderCell(TCanvas& Canvas, const RECT& Rect, const std::string& Text, UINT Align,
                      TNVLvHeaderSortDisplayMode Mode, bool IsSortColumn, TNVLvSortDirection Direction,
                      int ColumnWidth) {
    Canvas.Brush().SetColor(clBtnFace);
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    RECT R = Rect;
    InflateRect(&R, -2, -2);
    Canvas.FillRect(R);
    RECT Measure{0, 0, 0x7FFF, R.bottom - R.top};
    Canvas.DrawText(Text, Measure, HeaderTextFlags | DT_CALCRECT | DT_RIGHT);
    TNVHeaderCellLayout L = NVLayoutHeaderCell(R, Mode, IsSortColumn, ColumnWidth, Align, Measure.right);
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    Canvas.DrawText(Text, L.TextRect, HeaderTextFlags | Align);
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    if (!L.HasArrow)
        return;
    if (Direction == TNVLvSortDirection::nvsdDesc)
        DrawUpArrow(Canvas, L.ArrowBox, clBtnFace, clBtnShadow, clBtnHighlight);
    else
        DrawDownArrow(Canvas, L.ArrowBox, clBtnFace, clBtnShadow, clBtnHighlight);
}
