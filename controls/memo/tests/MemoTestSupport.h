#pragma once
// A drawing sink that records what the memo paints, and a small colouring parser, for the memo
// tests.
#include <string>
#include <vector>

#include "controls/foundation/SimpleParser.h"
#include "controls/memo/Memo.h"

struct TRecordedOp {
    enum TKind { opFill, opText, opLine, opTriangle, opBitmap, opButton } Kind;
    RECT R{};
    std::string Text;
    TColor FontColor = 0, BackColor = 0;
    TFontStyles Style = 0;
    int TextY = 0; // where a run's text was put (its cell is R)
};

class TRecordingSink : public TMemoDrawSink {
public:
    void FillRect(const RECT& R, TColor Color) override {
        Ops.push_back({TRecordedOp::opFill, R, "", 0, Color, 0});
    }
    void TextOut(const RECT& Cell, int, int Y, const std::string& Text, TFont& Font, TColor FontColor,
                 TColor BackColor, bool, const int*) override {
        Ops.push_back({TRecordedOp::opText, Cell, Text, FontColor, BackColor, Font.Style(), Y});
    }
    void Line(int X1, int Y1, int X2, int Y2, TColor Color, int) override {
        Ops.push_back({TRecordedOp::opLine, RECT{X1, Y1, X2, Y2}, "", Color, 0, 0});
    }
    void Triangle(const POINT (&P)[3], TColor Color) override {
        Ops.push_back({TRecordedOp::opTriangle, RECT{P[0].x, P[2].y, P[1].x, P[0].y}, "", Color, Color, 0});
    }
    void DrawBitmap(TBitmap&, const RECT& Dest, TColor) override {
        Ops.push_back({TRecordedOp::opBitmap, Dest, "", 0, 0, 0});
    }
    void SetClip(const RECT*) override {}
    void ExpandCollapseButton(int X, int Y, int, int Size, bool Collapsed) override {
        Ops.push_back(
            {TRecordedOp::opButton, RECT{X, Y, X + Size, Y + Size}, Collapsed ? "+" : "-", 0, 0, 0});
    }
    SIZE MeasureText(TFont&, const std::string& Text) override { return SIZE{LONG(Text.size() * 8), 16}; }

    // The text run that covers the pixel, or nullptr.
    const TRecordedOp* TextAt(int X, int Y) const {
        for (auto It = Ops.rbegin(); It != Ops.rend(); ++It)
            if (It->Kind == TRecordedOp::opText && X >= It->R.left && X < It->R.right && Y >= It->R.top &&
                Y < It->R.bottom)
                return &*It;
        return nullptr;
    }
    // The background at a pixel: the last text cell or fill that covers it.
    bool BackAt(int X, int Y, TColor& Color) const {
        for (auto It = Ops.rbegin(); It != Ops.rend(); ++It)
            if ((It->Kind == TRecordedOp::opText || It->Kind == TRecordedOp::opFill) && X >= It->R.left &&
                X < It->R.right && Y >= It->R.top && Y < It->R.bottom) {
                Color = It->BackColor;
                return true;
            }
        return false;
    }
    std::vector<TRecordedOp> Ops;
};

// Colours digits as "Integer" (4), '#' as "BreakPoint" (13, red background), letters as
// "Reserved words" (6) and everything else as "Whitespace" (0).
class TDigitParser : public TSimpleParser {
public:
    TDigitParser() : TSimpleParser(nullptr) {}
    int32_t ColorString(const std::string& Text, int32_t StartState, std::string& ColorData) override {
        ColorData.assign(Text.size(), '\0');
        for (size_t I = 0; I < Text.size(); ++I) {
            const unsigned char C = static_cast<unsigned char>(Text[I]);
            ColorData[I] = char(C >= '0' && C <= '9' ? 4 : C == '#' ? 13 : isalpha(C) ? 6 : 0);
        }
        return StartState;
    }
    bool StoreColorData() override { return true; }
};
