#pragma once
// The sort arrow of the shell list's column header: where the arrow and the text of a header
// cell go for each display mode, and the sunken triangle itself. The list owner-draws its header
// items and calls NVDrawHeaderCell for each.
#include "framework/core/Win.h"

#include <string>

#include "framework/ui/Graphics.h"

enum class TNVLvSortDirection { nvsdAsc, nvsdDesc };
enum class TNVLvHeaderSortDisplayMode { nvlvNone, nvlvLeftAlign, nvlvRightOfText, nvlvRightAlign };

// The common-controls version (major in the high word) from which the header can be owner-drawn
// with an arrow.
constexpr uint32_t NVHeaderArrowMinComCtl = 0x40046;

// The arrow box that belongs to a text rectangle: a square as tall as half the rectangle's lower
// edge, one pixel less high than wide, centred vertically. (The header's cells start at the top,
// so half the lower edge is about half the cell's height.)
RECT NVHeaderArrowBox(const RECT& TextRect);

// Where one header cell puts its text and its arrow. Rect is the cell less its 2-pixel margin.
struct TNVHeaderCellLayout {
    RECT TextRect{};
    bool HasArrow = false; // the arrow is drawn in ArrowBox
    RECT ArrowBox{};
    // Measuring (right of the text) needs the text first: then the text is drawn before the arrow
    // box is known, from TextRect.
};
// Align: DT_LEFT, DT_CENTER or DT_RIGHT; TextWidth: the drawn text's width; ColumnWidth: the
// list column's width.
TNVHeaderCellLayout NVLayoutHeaderCell(const RECT& Rect, TNVLvHeaderSortDisplayMode Mode, bool IsSortColumn,
                                       int ColumnWidth, UINT Align, int TextWidth);

// The sunken triangles of the sort arrow: edges facing up and left in Shadow, the others in
// Highlight; Back fills the box first unless it is clNone. Down points to the bottom centre.
void DrawDownArrow(TCanvas& Canvas, const RECT& Rect, TColor Back, TColor Shadow, TColor Highlight);
void DrawUpArrow(TCanvas& Canvas, const RECT& Rect, TColor Back, TColor Shadow, TColor Highlight);

// Draws a whole header cell (Rect is the item's rectangle): button face, text with an end
// ellipsis, and the arrow of the sort column (up for a descending direction).
void NVDrawHeaderCell(TCanvas& Canvas, const RECT& Rect, const std::string& Text, UINT Align,
                      TNVLvHeaderSortDisplayMode Mode, bool IsSortColumn, TNVLvSortDirection Direction,
                      int ColumnWidth);
