#include "controls/tree/HSCanvas.h"

#include <algorithm>
#include <cstdlib>

#include "framework/core/Exceptions.h"

THSCanvas::THSCanvas() = default;

THSCanvas::~THSCanvas() {
    FreeDotPatterns();
}

void THSCanvas::RequireDrawing() {
    RequireState(false, true, true);
}

void THSCanvas::SetPattern(uint8_t Value) {
    if (Value != FPattern) {
        FPattern = Value;
        FPatternChanged = true;
    }
}

uint8_t THSCanvas::MirrorPattern(uint8_t Value) {
    uint8_t R = 0;
    for (int I = 0; I < 8; ++I)
        if (Value & (1u << I))
            R = static_cast<uint8_t>(R | (0x80u >> I));
    return R;
}

void THSCanvas::CheckDotPatterns() {
    if (!FPatternsCreated)
        CreateDotPatterns();
    else
        InitPatterns();
}

void THSCanvas::CreateDotPatterns() {
    HDC Screen = GetDC(nullptr);
    FHorzDC = CreateCompatibleDC(Screen);
    FVertDC = CreateCompatibleDC(Screen);
    FHorzBitmap = CreateCompatibleBitmap(Screen, FPatternLength, 1);
    FVertBitmap = CreateCompatibleBitmap(Screen, 1, FPatternLength);
    FOldHorz = static_cast<HBITMAP>(SelectObject(FHorzDC, FHorzBitmap));
    FOldVert = static_cast<HBITMAP>(SelectObject(FVertDC, FVertBitmap));
    ReleaseDC(nullptr, Screen);
    FPatternsCreated = true;
    FPatternChanged = true;
    InitPatterns();
}

void THSCanvas::InitPatterns() {
    TColor BrushColor = Brush().Color();
    TColor PenColor = Pen().Color();
    if (BrushColor == FLastBrushColor && PenColor == FLastPenColor && !FPatternChanged)
        return;
    COLORREF On = ColorToRGB(PenColor), Off = ColorToRGB(BrushColor);
    unsigned Mask = 128;
    for (int I = 0; I < FPatternLength; ++I) {
        COLORREF C = (FPattern & Mask) ? On : Off;
        ::SetPixel(FHorzDC, I, 0, C);
        ::SetPixel(FVertDC, 0, I, C);
        Mask >>= 1;
        if (Mask == 0)
            Mask = 128;
    }
    FLastBrushColor = BrushColor;
    FLastPenColor = PenColor;
    FPatternChanged = false;
}

void THSCanvas::FreeDotPatterns() {
    if (!FPatternsCreated)
        return;
    SelectObject(FHorzDC, FOldHorz);
    SelectObject(FVertDC, FOldVert);
    DeleteObject(FHorzBitmap);
    DeleteObject(FVertBitmap);
    DeleteDC(FHorzDC);
    DeleteDC(FVertDC);
    FHorzBitmap = FVertBitmap = nullptr;
    FHorzDC = FVertDC = nullptr;
    FPatternsCreated = false;
}

void THSCanvas::PenDotLine(int X1, int Y1, int X2, int Y2) {
    LOGBRUSH LB{BS_SOLID, ColorToRGB(Pen().Color()), 0};
    HPEN P = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &LB, 0, nullptr);
    HGDIOBJ Old = SelectObject(Handle(), P);
    ::MoveToEx(Handle(), X1, Y1, nullptr);
    ::LineTo(Handle(), X2, Y2);
    SelectObject(Handle(), Old);
    DeleteObject(P);
}

void THSCanvas::DrawHorzDotLine(int X1, int Y, int X2) {
    RequireDrawing();
    if (DotsByPen) {
        PenDotLine(X1, Y, X2, Y);
        return;
    }
    uint8_t Saved = FPattern;
    bool Forward = X1 < X2;
    if (!Forward)
        SetPattern(MirrorPattern(Saved));
    CheckDotPatterns();
    int L = std::abs(X2 - X1);
    int X = X1;
    while (L > 0) {
        int N = std::min(L, FPatternLength);
        if (!Forward)
            X -= N - 1;
        BitBlt(Handle(), X, Y, N, 1, FHorzDC, 0, 0, static_cast<DWORD>(CopyMode));
        if (Forward)
            X += N;
        else
            X -= 1;
        L -= N;
    }
    SetPattern(Saved);
}

void THSCanvas::DrawVertDotLine(int X, int Y1, int Y2) {
    RequireDrawing();
    if (DotsByPen) {
        PenDotLine(X, Y1, X, Y2);
        return;
    }
    uint8_t Saved = FPattern;
    bool Forward = Y1 < Y2;
    if (!Forward)
        SetPattern(MirrorPattern(Saved));
    CheckDotPatterns();
    int L = std::abs(Y2 - Y1);
    int Y = Y1;
    while (L > 0) {
        int N = std::min(L, FPatternLength);
        if (!Forward)
            Y -= N - 1;
        BitBlt(Handle(), X, Y, 1, N, FVertDC, 0, 0, static_cast<DWORD>(CopyMode));
        if (Forward)
            Y += N;
        else
            Y -= 1;
        L -= N;
    }
    SetPattern(Saved);
}

void THSCanvas::DrawFocusRect(const RECT& R) {
    if (R.right <= R.left || R.bottom <= R.top)
        return;
    int A = R.right - 1, B = R.top, C = R.bottom - 1, D = R.right - 1, E = R.left, F = R.bottom - 1;
    if ((A - R.left) % 2 != 0) {
        ++A;
        ++B;
    }
    if ((C - B) % 2 != 0) {
        ++C;
        --D;
    }
    if ((E - D) % 2 != 0) {
        --E;
        --F;
    }
    SetPattern(0xAA);
    DrawHorzDotLine(R.left, R.top, A);
    DrawVertDotLine(R.right - 1, B, C);
    DrawHorzDotLine(D, R.bottom - 1, E);
    DrawVertDotLine(R.left, F, R.top);
}

void THSCanvas::DrawText(const std::string& Text, RECT& R, TDrawTextFlags Flags) {
    RequireState(true, true, true);
    if ((Flags & DrawTextFlag(dtfEndEllipsis)) && (Flags & DrawTextFlag(dtfPathEllipsis)))
        throw EInvalidOperation("Invalid flags");
    UINT Format = 0;
    if (Flags & DrawTextFlag(dtfEndEllipsis))
        Format |= DT_END_ELLIPSIS;
    if (Flags & DrawTextFlag(dtfPathEllipsis))
        Format |= DT_PATH_ELLIPSIS;
    if (Flags & DrawTextFlag(dtfWordBreak))
        Format |= DT_WORDBREAK;
    if (Flags & DrawTextFlag(dtfSingleLine))
        Format |= DT_SINGLELINE;
    if (!(Flags & DrawTextFlag(dftPrefix)))
        Format |= DT_NOPREFIX;
    RECT T = R;
    DrawTextA(Handle(), Text.c_str(), static_cast<int>(Text.size()), &T, Format | DT_CALCRECT);
    if (T.right - T.left > R.right - R.left)
        T.right = T.left + (R.right - R.left);
    int W = T.right - T.left, H = T.bottom - T.top;
    switch (HorzAlign) {
    case haLeft:
        T.left = R.left;
        break;
    case haCenter:
        T.left = (R.left + R.right - W) / 2;
        break;
    case haRight:
        T.left = R.right - W;
        break;
    }
    T.right = T.left + W;
    switch (VertAlign) {
    case vaTop:
        T.top = R.top;
        break;
    case vaCenter:
        T.top = (R.top + R.bottom - H) / 2;
        break;
    case vaBottom:
        T.top = R.bottom - H;
        break;
    }
    T.bottom = T.top + H;
    if (Flags & DrawTextFlag(dtfCalcRect)) {
        R = T;
        return;
    }
    if (!Text.empty())
        DrawTextA(Handle(), Text.c_str(), static_cast<int>(Text.size()), &T, Format);
    else
        T = RECT{T.left, T.top, T.left, T.top};
    if (!(this->Flags & (1u << cfNoTextFill)))
        FillRectExclude(R, T);
}

void THSCanvas::FillRectExclude(const RECT& R, const RECT& E) {
    if (R.right <= R.left || R.bottom <= R.top)
        return;
    if (E.right <= E.left || E.bottom <= E.top) {
        FillRect(R);
        return;
    }
    auto Fill = [this](LONG L, LONG T, LONG Ri, LONG B) {
        if (Ri > L && B > T)
            FillRect(RECT{L, T, Ri, B});
    };
    Fill(R.left, R.top, E.left, R.bottom);
    Fill(E.right, R.top, R.right, R.bottom);
    Fill(E.left, R.top, E.right, E.top);
    Fill(E.left, E.bottom, E.right, R.bottom);
}
