#pragma once
// Drawing functions of the family: transparent bitmap copies, rectangle helpers, text with a bold
// stretch, text columns, gradients, tree-node boxes and the standard dialog buttons.
#include <string>

#include "framework/ui/Graphics.h"

class TButton;

namespace Hslib {
// Marks the bold stretch of a hint or label text; the markers are not drawn.
constexpr char SBoldTag = '~';
} // namespace Hslib

// The help button of standard dialogs is shown only when set.
extern bool boolShowHelpButton;

enum class TLeftRightAlign { lrLeftJustify, lrRightJustify };
enum class THorzAlignment { haNone, haLeft, haCenter, haRight };
enum class TVertAlignment { vaNone, vaTop, vaCenter, vaBottom };

// Copies Bitmap to DC at X, Y (its part Rect), leaving out TransparentColor.
void TransparentBitBlt(HDC DC, TBitmap& Bitmap, const RECT& Rect, int X, int Y, TColor TransparentColor);
void TransparentBitBltEx(HDC DC, TBitmap& Bitmap, const RECT& DestRect, const RECT& SourceRect,
                         TColor TransparentColor);
// The colour of the bottom-left pixel of Rect: what transparent drawing leaves out.
TColor GetTransparentColor(TBitmap& Bitmap, const RECT& Rect);
inline int RectWidth(const RECT& R) {
    return R.right - R.left;
}
inline int RectHeight(const RECT& R) {
    return R.bottom - R.top;
}
// Moves R into Bounds (as far as it fits).
void CorrectRectByRect(RECT& R, const RECT& Bounds);
RECT AlignRectByRect(const RECT& R, const RECT& Bounds, THorzAlignment Horz, TVertAlignment Vert);
// Fills Rect with the canvas brush, except Exclude.
void FillRectEx(TCanvas& Canvas, const RECT& Rect, const RECT& Exclude);
// Draws Text placed in Rect by Flags (DT_CENTER, DT_VCENTER, DT_BOTTOM) and fills the rest of Rect.
void DrawTextWithFill(TCanvas& Canvas, const std::string& Text, UINT Flags, const RECT& Rect);
int DefaultCheckWidth();
int DefaultCheckHeight();
// Standard captions for the three buttons; without the help button, OK and Cancel move right.
void UpdateStandardButtons(TButton* OK, TButton* Cancel, TButton* Help);

// Start: 1-based position of the first marker (0 when none); Len: characters to the second marker
// or the end; Clean: S without the first two markers.
void ExtractBoldPos(const std::string& S, int& Start, int& Len, std::string& Clean);
// Extent of S drawn with its bold stretch; the canvas font is restored.
SIZE CalcStringSize(TCanvas& Canvas, TFont& Font, TFont& BoldFont, const std::string& S);
// Draws Clean text in three pieces, the Len characters from Start (1-based; 0: none) in BoldFont.
void DrawWithSelection(TCanvas& Canvas, TFont& Font, TFont& BoldFont, const RECT& Rect, const std::string& S,
                       int Start, int Len, TLeftRightAlign Align);
SIZE GetStringExtent(TCanvas& Canvas, const std::string& S);
// The text from Pos (1-based) to the next "|"; Pos moves past the bar, or to the end.
std::string ExtractColumn(const std::string& S, int& Pos);
void FillGradient(TCanvas& Canvas, int Width, int Height, TColor BeginColor, TColor EndColor, bool Vertical);
void PaintExpandCollapse(TCanvas& Canvas, int X, int Y, int Inset, int Size, bool Expanded);
