#pragma once
// Where the memo's painter draws: a thin interface over a canvas, so that the same painter
// draws to the window, to a bitmap and to a recorder that tests read back.

#include <cstdint>
#include <string>

#include "framework/ui/Graphics.h"

enum TDrawState : uint8_t {
    dsBeforePaint = 1,
    dsAfterPaint = 2,
    dsText = 4,
    dsAfterText = 8,
    dsSelection = 16,
    dsMarkedText = 32,
};
using TDrawStates = uint8_t;

class TMemoDrawSink {
public:
    virtual ~TMemoDrawSink() = default;
    virtual void FillRect(const RECT& R, TColor Color) = 0;
    // One run of text in one font and colour pair, clipped to Cell and filled behind it unless
    // Transparent. Advances (when given) holds one advance width per character.
    virtual void TextOut(const RECT& Cell, int X, int Y, const std::string& Text, TFont& Font,
                         TColor FontColor, TColor BackColor, bool Transparent, const int* Advances) = 0;
    virtual void Line(int X1, int Y1, int X2, int Y2, TColor Color, int Width) = 0;
    virtual void Triangle(const POINT (&Points)[3], TColor Color) = 0;
    virtual void DrawBitmap(TBitmap& Bitmap, const RECT& Dest, TColor TransparentColor) = 0;
    // Copies the part of a prepared background picture that lies under Dest (the picture covers the
    // client area from its origin). Sinks that draw no pictures ignore it.
    virtual void CopyBackground(TBitmap& Picture, const RECT& Dest) {
        (void)Picture;
        (void)Dest;
    }
    virtual void SetClip(const RECT* R) = 0;
    // Width and height of Text in Font (the recorder answers fixed cells).
    virtual SIZE MeasureText(TFont& Font, const std::string& Text) = 0;
    // The square button that opens or closes a collapsed block.
    virtual void ExpandCollapseButton(int X, int Y, int Inset, int Size, bool Collapsed) = 0;
};

// Draws on a canvas (the window's, a bitmap's or a metafile's).
class TCanvasDrawSink : public TMemoDrawSink {
public:
    explicit TCanvasDrawSink(TCanvas& Canvas) : FCanvas(Canvas) {}
    ~TCanvasDrawSink() override;
    void FillRect(const RECT& R, TColor Color) override;
    void TextOut(const RECT& Cell, int X, int Y, const std::string& Text, TFont& Font, TColor FontColor,
                 TColor BackColor, bool Transparent, const int* Advances) override;
    void Line(int X1, int Y1, int X2, int Y2, TColor Color, int Width) override;
    void Triangle(const POINT (&Points)[3], TColor Color) override;
    void DrawBitmap(TBitmap& Bitmap, const RECT& Dest, TColor TransparentColor) override;
    void CopyBackground(TBitmap& Picture, const RECT& Dest) override;
    void SetClip(const RECT* R) override;
    SIZE MeasureText(TFont& Font, const std::string& Text) override;
    void ExpandCollapseButton(int X, int Y, int Inset, int Size, bool Collapsed) override;
    TCanvas& Canvas() { return FCanvas; }

private:
    void UseFont(TFont& Font);
    TCanvas& FCanvas;
    bool FClipped = false;
    // The font last given to the canvas: runs in the same font make no new platform font.
    std::string FFontName;
    int FFontHeight = 0;
    TFontStyles FFontStyle = 0;
    uint8_t FFontCharset = 0;
    bool FFontSet = false;
};
