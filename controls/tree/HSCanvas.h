#pragma once
// The tree's drawing canvas: dotted lines copied from small pattern strips (cheaper and more
// exact than a dotted pen), a dotted focus rectangle, aligned text inside a rectangle and
// filling a rectangle around an inner one.
#include "framework/core/Win.h"

#include <cstdint>
#include <string>

#include "framework/ui/Graphics.h"

enum THSCanvasFlag : uint8_t { cfNoTextFill };
using THSCanvasFlags = uint8_t; // bit n = THSCanvasFlag n

enum THorzAlign : uint8_t { haLeft, haCenter, haRight };
enum TVertAlign : uint8_t { vaTop, vaCenter, vaBottom };

enum TDrawTextFlag : uint8_t {
    dtfCalcRect,
    dtfEndEllipsis,
    dtfPathEllipsis,
    dtfSingleLine,
    dtfWordBreak,
    dftPrefix
};
using TDrawTextFlags = uint8_t; // bit n = TDrawTextFlag n
constexpr TDrawTextFlags DrawTextFlag(TDrawTextFlag F) {
    return static_cast<TDrawTextFlags>(1u << F);
}

class THSCanvas : public TCanvas {
public:
    THSCanvas();
    ~THSCanvas() override;

    void DrawHorzDotLine(int X1, int Y, int X2);
    void DrawVertDotLine(int X, int Y1, int Y2);
    void DrawFocusRect(const RECT& R);
    // EInvalidOperation "Invalid flags" for both ellipsis kinds at once.
    void DrawText(const std::string& Text, RECT& R, TDrawTextFlags Flags);
    void FillRectExclude(const RECT& R, const RECT& ExcludeRect);
    void SetPattern(uint8_t Value);
    static uint8_t MirrorPattern(uint8_t Value);

    void CheckDotPatterns();
    void CreateDotPatterns();
    void InitPatterns();
    void FreeDotPatterns();

    THSCanvasFlags Flags = 0;
    // Dotted lines drawn with a cosmetic alternate pen instead of copied strips: one record per
    // line when the canvas records a metafile for printing.
    bool DotsByPen = false;
    THorzAlign HorzAlign = haLeft;
    TVertAlign VertAlign = vaTop;
    uint8_t Pattern() const { return FPattern; }
    int PatternLength() const { return FPatternLength; }

private:
    void RequireDrawing();
    void PenDotLine(int X1, int Y1, int X2, int Y2);
    TColor FLastBrushColor = clNone;
    HBITMAP FHorzBitmap = nullptr;
    HDC FHorzDC = nullptr;
    int FPatternLength = 10;
    HBITMAP FVertBitmap = nullptr;
    HDC FVertDC = nullptr;
    uint8_t FPattern = 0;
    bool FPatternChanged = true;
    bool FPatternsCreated = false;
    TColor FLastPenColor = clNone;
    HBITMAP FOldHorz = nullptr;
    HBITMAP FOldVert = nullptr;
};
