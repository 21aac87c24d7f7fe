#include "controls/memo/MemoDrawSink.h"

#include <vector>

#include "controls/foundation/DrawingUtils.h"

TCanvasDrawSink::~TCanvasDrawSink() {
    if (FClipped && FCanvas.HandleAllocated())
        SelectClipRgn(FCanvas.Handle(), nullptr);
}

void TCanvasDrawSink::UseFont(TFont& Font) {
    if (FFontSet && FFontName == Font.Name() && FFontHeight == Font.Height() && FFontStyle == Font.Style() &&
        FFontCharset == Font.Charset())
        return;
    FCanvas.Font().Assign(Font);
    FFontName = Font.Name();
    FFontHeight = Font.Height();
    FFontStyle = Font.Style();
    FFontCharset = Font.Charset();
    FFontSet = true;
}

void TCanvasDrawSink::FillRect(const RECT& R, TColor Color) {
    if (R.right <= R.left || R.bottom <= R.top)
        return;
    FCanvas.Brush().SetStyle(TBrushStyle::bsSolid);
    FCanvas.Brush().SetColor(Color);
    FCanvas.FillRect(R);
}

void TCanvasDrawSink::TextOut(const RECT& Cell, int X, int Y, const std::string& Text, TFont& Font,
                              TColor FontColor, TColor BackColor, bool Transparent, const int* Advances) {
    UseFont(Font);
    HDC DC = FCanvas.Handle();
    // Selects the font into the context; the colours are set on the context itself below.
    FCanvas.TextExtent("");
    SetTextColor(DC, ColorToRGB(FontColor));
    SetBkColor(DC, ColorToRGB(BackColor));
    SetBkMode(DC, Transparent ? TRANSPARENT : OPAQUE);
    std::vector<INT> Dx;
    if (Advances)
        Dx.assign(Advances, Advances + Text.size());
    ExtTextOutA(DC, X, Y, ETO_CLIPPED | (Transparent ? 0 : ETO_OPAQUE), &Cell, Text.data(), UINT(Text.size()),
                Advances ? Dx.data() : nullptr);
    SetBkMode(DC, OPAQUE);
}

void TCanvasDrawSink::Line(int X1, int Y1, int X2, int Y2, TColor Color, int Width) {
    FCanvas.Pen().SetColor(Color);
    FCanvas.Pen().SetWidth(Width);
    FCanvas.Pen().SetStyle(TPenStyle::psSolid);
    FCanvas.MoveTo(X1, Y1);
    FCanvas.LineTo(X2, Y2);
}

void TCanvasDrawSink::Triangle(const POINT (&Points)[3], TColor Color) {
    FCanvas.Pen().SetColor(Color);
    FCanvas.Pen().SetWidth(1);
    FCanvas.Pen().SetStyle(TPenStyle::psSolid);
    FCanvas.Brush().SetStyle(TBrushStyle::bsSolid);
    FCanvas.Brush().SetColor(Color);
    FCanvas.Polygon(Points, 3);
}

void TCanvasDrawSink::DrawBitmap(TBitmap& Bitmap, const RECT& Dest, TColor TransparentColor) {
    if (Bitmap.Empty())
        return;
    HDC Src = Bitmap.Canvas().Handle();
    GdiTransparentBlt(FCanvas.Handle(), Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top,
                      Src, 0, 0, Bitmap.Width(), Bitmap.Height(), ColorToRGB(TransparentColor));
}

void TCanvasDrawSink::CopyBackground(TBitmap& Picture, const RECT& Dest) {
    if (Picture.Empty() || Dest.right <= Dest.left || Dest.bottom <= Dest.top)
        return;
    BitBlt(FCanvas.Handle(), Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top,
           Picture.Canvas().Handle(), Dest.left, Dest.top, SRCCOPY);
}

void TCanvasDrawSink::SetClip(const RECT* R) {
    HDC DC = FCanvas.Handle();
    if (!R) {
        SelectClipRgn(DC, nullptr);
        FClipped = false;
        return;
    }
    HRGN Rgn = CreateRectRgn(R->left, R->top, R->right, R->bottom);
    SelectClipRgn(DC, Rgn);
    DeleteObject(Rgn);
    FClipped = true;
}

SIZE TCanvasDrawSink::MeasureText(TFont& Font, const std::string& Text) {
    UseFont(Font);
    return FCanvas.TextExtent(Text);
}

void TCanvasDrawSink::ExpandCollapseButton(int X, int Y, int Inset, int Size, bool Collapsed) {
    PaintExpandCollapse(FCanvas, X, Y, Inset, Size, !Collapsed);
}
