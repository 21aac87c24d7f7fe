#include "shellcontrols/OpenDialogGlyphs.h"

namespace {

constexpr TColor Key = clFuchsia;
constexpr TColor Folder = 0x00C0FF;  // yellow-orange
constexpr TColor Outline = 0x004080; // dark brown
constexpr TColor Ink = clBlack;

void Box(TCanvas& C, int L, int T, int R, int B, TColor Fill, TColor Line) {
    C.Brush().SetColor(Fill);
    C.FillRect(RECT{L, T, R, B});
    C.Brush().SetColor(Line);
    C.FrameRect(RECT{L, T, R, B});
}

void FolderShape(TCanvas& C) {
    Box(C, 1, 5, 14, 14, Folder, Outline);
    Box(C, 2, 3, 7, 6, Folder, Outline);
}

void Lines(TCanvas& C, const POINT* Points, int Count, TColor Color) {
    C.Pen().SetColor(Color);
    C.Polyline(Points, Count);
}

} // namespace

void NVDrawOpenDialogGlyph(TNVOpenDialogGlyph Glyph, TBitmap& Picture) {
    Picture.SetSize(16, 16);
    TCanvas& C = Picture.Canvas();
    C.Brush().SetColor(Key);
    C.FillRect(RECT{0, 0, 16, 16});
    switch (Glyph) {
    case TNVOpenDialogGlyph::UpOneLevel: {
        FolderShape(C);
        const POINT Shaft[] = {{8, 12}, {8, 7}, {11, 7}};
        Lines(C, Shaft, 3, Ink);
        const POINT Head[] = {{9, 5}, {11, 7}, {9, 9}};
        Lines(C, Head, 3, Ink);
        break;
    }
    case TNVOpenDialogGlyph::Desktop:
        Box(C, 1, 2, 15, 11, clTeal, Ink);
        Box(C, 6, 11, 10, 13, clGray, Ink);
        Box(C, 3, 13, 13, 15, clSilver, Ink);
        break;
    case TNVOpenDialogGlyph::NewFolder: {
        FolderShape(C);
        const POINT A[] = {{12, 0}, {12, 7}};
        const POINT B[] = {{9, 3}, {16, 3}};
        const POINT D1[] = {{10, 1}, {15, 6}};
        const POINT D2[] = {{14, 1}, {9, 6}};
        Lines(C, A, 2, clYellow);
        Lines(C, B, 2, clYellow);
        Lines(C, D1, 2, clOlive);
        Lines(C, D2, 2, clOlive);
        break;
    }
    case TNVOpenDialogGlyph::Tree: {
        Box(C, 1, 1, 6, 5, Folder, Outline);
        Box(C, 8, 6, 13, 10, Folder, Outline);
        Box(C, 8, 11, 13, 15, Folder, Outline);
        const POINT Stem[] = {{3, 5}, {3, 13}, {8, 13}};
        const POINT Twig[] = {{3, 8}, {8, 8}};
        Lines(C, Stem, 3, clGray);
        Lines(C, Twig, 2, clGray);
        break;
    }
    case TNVOpenDialogGlyph::List:
        for (int Col = 0; Col < 2; ++Col)
            for (int Row = 0; Row < 4; ++Row) {
                const int X = 1 + Col * 8, Y = 2 + Row * 3;
                Box(C, X, Y, X + 2, Y + 2, clNavy, clNavy);
                const POINT Text[] = {{X + 3, Y + 1}, {X + 7, Y + 1}};
                Lines(C, Text, 2, Ink);
            }
        break;
    case TNVOpenDialogGlyph::Details:
        for (int Row = 0; Row < 4; ++Row) {
            const int Y = 2 + Row * 3;
            Box(C, 1, Y, 3, Y + 2, clNavy, clNavy);
            const POINT Name[] = {{4, Y + 1}, {9, Y + 1}};
            const POINT Size[] = {{11, Y + 1}, {15, Y + 1}};
            Lines(C, Name, 2, Ink);
            Lines(C, Size, 2, clGray);
        }
        break;
    }
    Picture.TransparentColor = Key;
}
