#include "editor/mainwindow/ToolbarPictures.h"

#include <functional>
#include <map>

#include "framework/ui/Graphics.h"
#include "framework/ui/ImgList.h"

namespace {

constexpr TColor Black = 0x000000, White = 0xFFFFFF, Grey = 0x808080, Navy = 0x800000, Blue = 0xD77800,
                 Red = 0x0000C0, Green = 0x009000, Yellow = 0x00D7FF, Brown = 0x206090, Folder = 0x40C0F0;

using TPainter = std::function<void(TCanvas&)>;

void Box(TCanvas& C, int L, int T, int R, int B, TColor Fill, TColor Line = Black) {
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Fill);
    C.Pen().SetColor(Line);
    C.Pen().SetWidth(1);
    C.Rectangle(L, T, R, B);
}

void Line(TCanvas& C, int X1, int Y1, int X2, int Y2, TColor Colour, int Width = 1) {
    C.Pen().SetColor(Colour);
    C.Pen().SetWidth(Width);
    C.MoveTo(X1, Y1);
    C.LineTo(X2, Y2);
}

void Disc(TCanvas& C, int L, int T, int R, int B, TColor Fill, TColor Line) {
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Fill);
    C.Pen().SetColor(Line);
    C.Pen().SetWidth(1);
    C.Ellipse(L, T, R, B);
}

void Letter(TCanvas& C, int X, int Y, const std::string& Text, TColor Colour, int Size = 8) {
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Font().SetName("Arial");
    C.Font().SetSize(Size);
    C.Font().SetStyle(fsBold);
    C.Font().SetColor(Colour);
    C.TextOut(X, Y, Text);
}

void Page(TCanvas& C, int L, int T) {
    Box(C, L, T, L + 10, T + 14, White);
    Line(C, L + 2, T + 4, L + 8, T + 4, Grey);
    Line(C, L + 2, T + 7, L + 8, T + 7, Grey);
    Line(C, L + 2, T + 10, L + 8, T + 10, Grey);
}

void Disk(TCanvas& C, int L, int T, int S) {
    Box(C, L, T, L + S, T + S, Navy);
    Box(C, L + 3, T + 1, L + S - 3, T + S / 2, White, White);
    Box(C, L + 4, T + S - 4, L + S - 4, T + S - 1, Grey, Grey);
}

void Check(TCanvas& C, int X, int Y, TColor Colour) {
    Line(C, X, Y + 4, X + 3, Y + 7, Colour, 2);
    Line(C, X + 3, Y + 7, X + 10, Y, Colour, 2);
}

void Cross(TCanvas& C, int L, int T, int R, int B, TColor Colour, int Width = 2) {
    Line(C, L, T, R, B, Colour, Width);
    Line(C, L, B, R, T, Colour, Width);
}

void Arrow(TCanvas& C, bool Left) {
    const int X0 = Left ? 12 : 3, X1 = Left ? 4 : 11;
    Line(C, X0, 12, X0, 7, Navy, 2);
    Line(C, X0, 7, X1, 7, Navy, 2);
    const int Tip = Left ? X1 - 2 : X1 + 2, Back = Left ? X1 + 2 : X1 - 2;
    POINT Head[] = {{Tip, 7}, {Back, 3}, {Back, 11}};
    C.Brush().SetColor(Navy);
    C.Pen().SetColor(Navy);
    C.Pen().SetWidth(1);
    C.Polygon(Head, 3);
}

void Fill(TCanvas& C, const POINT* Points, int Count, TColor Colour) {
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Colour);
    C.Pen().SetColor(Colour);
    C.Pen().SetWidth(1);
    C.Polygon(Points, Count);
}

// A window with a title bar.
void Window(TCanvas& C, int L, int T, int R, int B) {
    Box(C, L, T, R, B, White, Black);
    Box(C, L, T, R, T + 3, Navy, Navy);
}

// Lines of text shifted right (indent) or left (unindent) with an arrow showing the way.
void Lines(TCanvas& C, bool Right) {
    for (int Y = 2; Y <= 12; Y += 3)
        Line(C, Right && Y > 2 && Y < 12 ? 7 : 2, Y, 14, Y, Grey);
    POINT Head[] = {{Right ? 5 : 1, 7}, {Right ? 1 : 5, 4}, {Right ? 1 : 5, 10}};
    Fill(C, Head, 3, Navy);
}

void Globe(TCanvas& C, int L, int T, int S) {
    Disc(C, L, T, L + S, T + S, Blue, Navy);
    Line(C, L, T + S / 2, L + S, T + S / 2, White);
    Line(C, L + S / 2, T, L + S / 2, T + S, White);
}

void Magnifier(TCanvas& C) {
    Disc(C, 2, 2, 10, 10, 0xFFF0E0, Black);
    Line(C, 9, 9, 14, 14, Brown, 3);
}

const std::map<std::string, TPainter>& Painters() {
    static const std::map<std::string, TPainter> P = {
        {"FileNewBtn", [](TCanvas& C) { Page(C, 3, 1); }},
        {"FileOpenBtn",
         [](TCanvas& C) {
             Box(C, 1, 4, 14, 14, Folder);
             Box(C, 1, 2, 7, 5, Folder);
         }},
        {"FileOpenFromTheWebBtn", [](TCanvas& C) { Globe(C, 1, 1, 14); }},
        {"FileCloseBtn",
         [](TCanvas& C) {
             Page(C, 1, 1);
             Cross(C, 8, 8, 14, 14, Red);
         }},
        {"FileSaveBtn", [](TCanvas& C) { Disk(C, 1, 1, 14); }},
        {"FileSaveAllBtn",
         [](TCanvas& C) {
             Disk(C, 0, 0, 10);
             Disk(C, 5, 5, 10);
         }},
        {"EditUndoBtn", [](TCanvas& C) { Arrow(C, true); }},
        {"EditRedoBtn", [](TCanvas& C) { Arrow(C, false); }},
        {"EditCutBtn",
         [](TCanvas& C) {
             Line(C, 5, 1, 10, 10, Black);
             Line(C, 10, 1, 5, 10, Black);
             Disc(C, 1, 9, 7, 15, White, Navy);
             Disc(C, 8, 9, 14, 15, White, Navy);
         }},
        {"EditCopyBtn",
         [](TCanvas& C) {
             Page(C, 1, 0);
             Page(C, 5, 2);
         }},
        {"EditPasteBtn",
         [](TCanvas& C) {
             Box(C, 1, 2, 12, 15, Brown);
             Box(C, 4, 1, 9, 4, Grey);
             Page(C, 6, 5);
         }},
        {"FilePrintBtn",
         [](TCanvas& C) {
             Box(C, 4, 1, 12, 7, White);
             Box(C, 1, 6, 15, 12, Grey);
             Box(C, 4, 10, 12, 15, White);
         }},
        {"SearchFindBtn", [](TCanvas& C) { Magnifier(C); }},
        {"SearchReplaceBtn",
         [](TCanvas& C) {
             Magnifier(C);
             Letter(C, 9, 0, "b", Red, 7);
         }},
        {"SpellCheckBigBtn",
         [](TCanvas& C) {
             Letter(C, 0, 0, "abc", Navy, 6);
             Check(C, 4, 7, Green);
         }},
        {"ValidateBigBtn", [](TCanvas& C) { Check(C, 2, 3, Green); }},
        {"ValidateModeBtn",
         [](TCanvas& C) {
             Check(C, 0, 2, Green);
             POINT Down[] = {{9, 10}, {15, 10}, {12, 14}};
             C.Brush().SetColor(Black);
             C.Pen().SetColor(Black);
             C.Pen().SetWidth(1);
             C.Polygon(Down, 3);
         }},
        {"HelpContentsBtn",
         [](TCanvas& C) {
             Disc(C, 1, 1, 15, 15, Blue, Navy);
             Letter(C, 5, 1, "?", White, 8);
         }},

        // The editor's button column (drawn inside 14 pixels: the buttons are 16 wide).
        {"ViewExternalBtn",
         [](TCanvas& C) {
             Window(C, 1, 2, 13, 13);
             Line(C, 8, 5, 13, 0, Red, 2);
         }},
        {"ViewLineNumbersBtn", [](TCanvas& C) { Letter(C, 1, 1, "12", Navy, 7); }},
        {"OptionsWordWrapBtn",
         [](TCanvas& C) {
             Line(C, 2, 3, 12, 3, Black);
             Line(C, 12, 3, 12, 9, Black);
             Line(C, 12, 9, 5, 9, Black);
             POINT Head[] = {{3, 9}, {6, 6}, {6, 12}};
             Fill(C, Head, 3, Black);
         }},
        {"ViewGutterBtn",
         [](TCanvas& C) {
             Box(C, 1, 1, 14, 14, White, Grey);
             Box(C, 1, 1, 5, 14, Grey, Grey);
         }},
        {"ViewSymbolsButton", [](TCanvas& C) { Letter(C, 3, 0, "\xB6", Navy, 9); }},
        {"ViewSplitViewBtn",
         [](TCanvas& C) {
             Window(C, 1, 2, 14, 13);
             Line(C, 7, 4, 7, 13, Black);
         }},
        {"ViewHorzSplitBtn",
         [](TCanvas& C) {
             Window(C, 1, 2, 14, 13);
             Line(C, 1, 8, 14, 8, Black);
         }},
        {"SpellCheckSmallBtn",
         [](TCanvas& C) {
             Letter(C, 0, 0, "ab", Navy, 6);
             Check(C, 3, 6, Green);
         }},
        {"ValidateBtn", [](TCanvas& C) { Check(C, 2, 3, Green); }},
        {"IndentBtn", [](TCanvas& C) { Lines(C, true); }},
        {"UnindentBtn", [](TCanvas& C) { Lines(C, false); }},
        {"ViewFullScreenBtn",
         [](TCanvas& C) {
             Window(C, 1, 1, 14, 14);
             Box(C, 4, 5, 11, 11, Blue, Blue);
         }},
        {"ViewResourceBtn",
         [](TCanvas& C) {
             Window(C, 1, 2, 14, 13);
             Box(C, 1, 4, 6, 13, Folder, Black);
         }},
        {"ViewBrowserBtn", [](TCanvas& C) { Globe(C, 1, 1, 14); }},
        {"LastTabBtn",
         [](TCanvas& C) {
             POINT Head[] = {{3, 3}, {10, 7}, {3, 11}};
             Fill(C, Head, 3, Navy);
             Line(C, 11, 3, 11, 12, Navy, 2);
         }},
        {"FirstTabBtn",
         [](TCanvas& C) {
             POINT Head[] = {{11, 3}, {4, 7}, {11, 11}};
             Fill(C, Head, 3, Navy);
             Line(C, 3, 3, 3, 12, Navy, 2);
         }},
        {"FileCloseSpeedBtn", [](TCanvas& C) { Cross(C, 3, 3, 11, 11, Red); }},

        // The browser pane's tool row.
        {"WBBackBtn", [](TCanvas& C) { Arrow(C, true); }},
        {"WBForwardBtn", [](TCanvas& C) { Arrow(C, false); }},
        {"WBStopButton",
         [](TCanvas& C) {
             Disc(C, 1, 1, 15, 15, Red, Red);
             Cross(C, 5, 5, 11, 11, White);
         }},
        {"WBRefreshBtn",
         [](TCanvas& C) {
             C.Brush().SetStyle(TBrushStyle::bsClear);
             C.Pen().SetColor(Green);
             C.Pen().SetWidth(2);
             C.Ellipse(2, 3, 14, 15);
             POINT Head[] = {{8, 0}, {8, 6}, {4, 3}};
             Fill(C, Head, 3, Green);
         }},
        {"WBViewSourceBtn", [](TCanvas& C) { Letter(C, 0, 1, "</>", Navy, 6); }},
        {"WBPreviewBtn",
         [](TCanvas& C) {
             Page(C, 1, 1);
             Magnifier(C);
         }},
        {"WBHorzSplitBtn",
         [](TCanvas& C) {
             Window(C, 1, 2, 14, 13);
             Box(C, 1, 8, 14, 13, Blue, Black);
         }},
        {"WBHelpBtn",
         [](TCanvas& C) {
             Disc(C, 1, 1, 15, 15, Blue, Navy);
             Letter(C, 5, 1, "?", White, 8);
         }},
        {"WBGoButton",
         [](TCanvas& C) {
             POINT Head[] = {{3, 2}, {13, 8}, {3, 14}};
             Fill(C, Head, 3, Green);
         }},
        {"WBCloseBtn", [](TCanvas& C) { Cross(C, 4, 4, 12, 12, Black); }},

        // The resource window's title row (13-pixel buttons: drawn in the middle).
        {"MoveResourceToLeftBtn",
         [](TCanvas& C) {
             Box(C, 3, 3, 13, 13, White, Black);
             Box(C, 3, 3, 7, 13, Grey, Black);
         }},
        {"MoveResourceToTopBtn",
         [](TCanvas& C) {
             Box(C, 3, 3, 13, 13, White, Black);
             Box(C, 3, 3, 13, 7, Grey, Black);
         }},
        {"SpeedButton1", [](TCanvas& C) { Cross(C, 5, 5, 11, 11, Black); }},
        {"SpeedButton2", [](TCanvas& C) { Cross(C, 5, 5, 11, 11, Black); }},
    };
    return P;
}

void Clear(TBitmap& B, int Width) {
    B.SetSize(Width, 16);
    TCanvas& C = B.Canvas();
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(kPictureBackground);
    RECT R{0, 0, Width, 16};
    C.FillRect(R);
}

} // namespace

bool DrawButtonPicture(const std::string& ButtonName, TBitmap& Picture) {
    auto It = Painters().find(ButtonName);
    if (It == Painters().end())
        return false;
    Clear(Picture, 16);
    It->second(Picture.Canvas());
    Picture.Transparent = true;
    Picture.TransparentColor = kPictureBackground;
    return true;
}

void AddMessageKindPictures(TImageList& Images) {
    Images.SetWidth(16);
    Images.SetHeight(16);
    const TPainter Kinds[] = {
        [](TCanvas& C) {
            Disc(C, 1, 1, 15, 15, Red, Red);
            Cross(C, 5, 5, 11, 11, White);
        },
        [](TCanvas& C) {
            POINT T[] = {{8, 1}, {15, 14}, {1, 14}};
            C.Brush().SetColor(Yellow);
            C.Pen().SetColor(Black);
            C.Pen().SetWidth(1);
            C.Polygon(T, 3);
            Line(C, 8, 5, 8, 10, Black, 2);
            Line(C, 8, 12, 8, 13, Black, 2);
        },
        [](TCanvas& C) {
            Disc(C, 1, 1, 15, 15, Blue, Navy);
            Line(C, 8, 7, 8, 12, White, 2);
            Line(C, 8, 4, 8, 5, White, 2);
        },
        [](TCanvas& C) {
            Box(C, 1, 2, 15, 11, White, Grey);
            POINT Tail[] = {{4, 10}, {4, 14}, {8, 10}};
            C.Brush().SetColor(White);
            C.Pen().SetColor(Grey);
            C.Polygon(Tail, 3);
        },
        [](TCanvas& C) { Check(C, 3, 4, Green); },
    };
    for (const TPainter& Paint : Kinds) {
        TBitmap B;
        Clear(B, 16);
        Paint(B.Canvas());
        Images.AddMasked(B, kPictureBackground);
    }
}
