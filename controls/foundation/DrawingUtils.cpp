#include "controls/foundation/DrawingUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/foundation/HSResStrings.h"
#include "framework/ui/StdCtrls.h"

bool boolShowHelpButton = true;

// --- transparent copies -------------------------------------------------------------------------

void TransparentBitBltEx(HDC DC, TBitmap& Bitmap, const RECT& DestRect, const RECT& SourceRect,
                         TColor TransparentColor) {
    if (Bitmap.Empty())
        return;
    int DW = RectWidth(DestRect), DH = RectHeight(DestRect);
    int SW = RectWidth(SourceRect), SH = RectHeight(SourceRect);
    HDC Src = Bitmap.Canvas().Handle();
    // A one-bit mask: set where the source has the transparent colour.
    HDC MaskDC = CreateCompatibleDC(DC);
    HBITMAP Mask = CreateBitmap(SW, SH, 1, 1, nullptr);
    HGDIOBJ OldMask = SelectObject(MaskDC, Mask);
    COLORREF OldBk = SetBkColor(Src, ColorToRGB(TransparentColor));
    BitBlt(MaskDC, 0, 0, SW, SH, Src, SourceRect.left, SourceRect.top, SRCCOPY);
    SetBkColor(Src, OldBk);
    // Work copy: the source with the transparent pixels made black.
    HDC WorkDC = CreateCompatibleDC(DC);
    HBITMAP Work = CreateCompatibleBitmap(DC, SW, SH);
    HGDIOBJ OldWork = SelectObject(WorkDC, Work);
    BitBlt(WorkDC, 0, 0, SW, SH, MaskDC, 0, 0, NOTSRCCOPY);
    BitBlt(WorkDC, 0, 0, SW, SH, Src, SourceRect.left, SourceRect.top, SRCAND);
    // Destination: keep it where the mask is set, clear it elsewhere; then add the work copy.
    COLORREF OldText = SetTextColor(DC, RGB(0, 0, 0));
    COLORREF OldDestBk = SetBkColor(DC, RGB(255, 255, 255));
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, DestRect.left, DestRect.top, DW, DH, MaskDC, 0, 0, SW, SH, SRCAND);
    StretchBlt(DC, DestRect.left, DestRect.top, DW, DH, WorkDC, 0, 0, SW, SH, SRCPAINT);
    SetTextColor(DC, OldText);
    SetBkColor(DC, OldDestBk);
    SelectObject(WorkDC, OldWork);
    DeleteObject(Work);
    DeleteDC(WorkDC);
    SelectObject(MaskDC, OldMask);
    DeleteObject(Mask);
    DeleteDC(MaskDC);
}

void TransparentBitBlt(HDC DC, TBitmap& Bitmap, const RECT& Rect, int X, int Y, TColor TransparentColor) {
    RECT Dest{X, Y, X + RectWidth(Rect), Y + RectHeight(Rect)};
    TransparentBitBltEx(DC, Bitmap, Dest, Rect, TransparentColor);
}

TColor GetTransparentColor(TBitmap& Bitmap, const RECT& Rect) {
    if (Bitmap.Empty())
        return clNone;
    return Bitmap.Canvas().Pixel(Rect.left, Rect.bottom - 1);
}

void CorrectRectByRect(RECT& R, const RECT& Bounds) {
    if (R.right > Bounds.right)
        OffsetRect(&R, Bounds.right - R.right, 0);
    if (R.bottom > Bounds.bottom)
        OffsetRect(&R, 0, Bounds.bottom - R.bottom);
    if (R.left < Bounds.left)
        OffsetRect(&R, Bounds.left - R.left, 0);
    if (R.top < Bounds.top)
        OffsetRect(&R, 0, Bounds.top - R.top);
}

RECT AlignRectByRect(const RECT& R, const RECT& Bounds, THorzAlignment Horz, TVertAlignment Vert) {
    RECT Out = R;
    int W = RectWidth(R), H = RectHeight(R);
    switch (Horz) {
    case THorzAlignment::haLeft:
        Out.left = Bounds.left;
        break;
    case THorzAlignment::haCenter:
        Out.left = Bounds.left + (RectWidth(Bounds) - W) / 2;
        break;
    case THorzAlignment::haRight:
        Out.left = Bounds.right - W;
        break;
    case THorzAlignment::haNone:
        break;
    }
    switch (Vert) {
    case TVertAlignment::vaTop:
        Out.top = Bounds.top;
        break;
    case TVertAlignment::vaCenter:
        Out.top = Bounds.top + (RectHeight(Bounds) - H) / 2;
        break;
    case TVertAlignment::vaBottom:
        Out.top = Bounds.bottom - H;
        break;
    case TVertAlignment::vaNone:
        break;
    }
    Out.right = Out.left + W;
    Out.bottom = Out.top + H;
    return Out;
}

void FillRectEx(TCanvas& Canvas, const RECT& Rect, const RECT& Exclude) {
    HDC DC = Canvas.Handle();
    int Saved = SaveDC(DC);
    ExcludeClipRect(DC, Exclude.left, Exclude.top, Exclude.right, Exclude.bottom);
    Canvas.FillRect(Rect);
    RestoreDC(DC, Saved);
}

void DrawTextWithFill(TCanvas& Canvas, const std::string& Text, UINT Flags, const RECT& Rect) {
    if (Text.empty()) {
        Canvas.FillRect(Rect);
        return;
    }
    UINT Reduced = Flags & ~(DT_CENTER | DT_VCENTER | DT_BOTTOM);
    RECT T = Rect;
    Canvas.DrawText(Text, T, Reduced | DT_CALCRECT);
    T.right = std::min(T.right, Rect.right);
    if (IsRectEmpty(&T))
        return;
    int W = RectWidth(T), H = RectHeight(T);
    if (Flags & DT_CENTER)
        OffsetRect(&T, (RectWidth(Rect) - W) / 2, 0);
    if (Flags & DT_BOTTOM)
        OffsetRect(&T, 0, Rect.bottom - T.bottom);
    if (Flags & DT_VCENTER)
        OffsetRect(&T, 0, Rect.top + (RectHeight(Rect) - H) / 2 - T.top);
    Canvas.DrawText(Text, T, Reduced);
    FillRectEx(Canvas, Rect, T);
}

namespace {
SIZE CheckSize() {
    static SIZE Size{0, 0};
    if (Size.cx == 0) {
        HBITMAP B = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759)); // the check boxes bitmap
        BITMAP BM{};
        if (B && GetObjectA(B, sizeof(BM), &BM))
            Size = SIZE{BM.bmWidth / 4, BM.bmHeight / 3};
        if (B)
            DeleteObject(B);
        if (Size.cx == 0)
            Size = SIZE{13, 13};
    }
    return Size;
}
} // namespace

int DefaultCheckWidth() {
    return CheckSize().cx;
}
int DefaultCheckHeight() {
    return CheckSize().cy;
}

void UpdateStandardButtons(TButton* OK, TButton* Cancel, TButton* Help) {
    if (OK)
        OK->SetCaption(LoadResString(SOkButton));
    if (Cancel)
        Cancel->SetCaption(LoadResString(SCancelButton));
    if (Help)
        Help->SetCaption(LoadResString(SHelpButton));
    if (!Help || boolShowHelpButton)
        return;
    Help->SetVisible(false);
    int CancelLeft = Cancel ? Cancel->Left() : Help->Left();
    if (OK)
        OK->SetLeft(CancelLeft);
    if (Cancel)
        Cancel->SetLeft(Help->Left());
}

// --- text with a bold stretch -------------------------------------------------------------------

void ExtractBoldPos(const std::string& S, int& Start, int& Len, std::string& Clean) {
    size_t First = S.find(Hslib::SBoldTag);
    if (First == std::string::npos) {
        Start = 0;
        Len = 0;
        Clean = S;
        return;
    }
    Clean = S.substr(0, First) + S.substr(First + 1);
    size_t Second = Clean.find(Hslib::SBoldTag, First);
    if (Second != std::string::npos) {
        Clean.erase(Second, 1);
        Len = static_cast<int>(Second - First);
    } else {
        Len = static_cast<int>(Clean.size() - First);
    }
    Start = static_cast<int>(First) + 1;
}

SIZE GetStringExtent(TCanvas& Canvas, const std::string& S) {
    if (S.empty())
        return SIZE{0, 0};
    return Canvas.TextExtent(S);
}

namespace {
struct TPieces {
    std::string Before, Bold, After;
};
TPieces SplitPieces(const std::string& Clean, int Start, int Len) {
    if (Start <= 0)
        return {Clean, "", ""};
    size_t B = std::min(Clean.size(), static_cast<size_t>(Start - 1));
    size_t L = std::min(Clean.size() - B, static_cast<size_t>(std::max(Len, 0)));
    return {Clean.substr(0, B), Clean.substr(B, L), Clean.substr(B + L)};
}
} // namespace

SIZE CalcStringSize(TCanvas& Canvas, TFont& Font, TFont& BoldFont, const std::string& S) {
    int Start, Len;
    std::string Clean;
    ExtractBoldPos(S, Start, Len, Clean);
    TPieces P = SplitPieces(Clean, Start, Len);
    TFont Saved;
    Saved.Assign(Canvas.Font());
    SIZE Result{0, 0};
    auto Add = [&](const std::string& Piece, TFont& F) {
        Canvas.Font().Assign(F);
        SIZE E = GetStringExtent(Canvas, Piece);
        Result.cx += E.cx;
        Result.cy = std::max(Result.cy, E.cy);
    };
    Add(P.Before, Font);
    Add(P.Bold, BoldFont);
    Add(P.After, Font);
    Canvas.Font().Assign(Saved);
    return Result;
}

void DrawWithSelection(TCanvas& Canvas, TFont& Font, TFont& BoldFont, const RECT& Rect, const std::string& S,
                       int Start, int Len, TLeftRightAlign Align) {
    TPieces P = SplitPieces(S, Start, Len);
    std::pair<const std::string*, TFont*> Order[] = {
        {&P.Before, &Font}, {&P.Bold, &BoldFont}, {&P.After, &Font}};
    if (Align == TLeftRightAlign::lrRightJustify)
        std::reverse(std::begin(Order), std::end(Order));
    int Edge = Align == TLeftRightAlign::lrLeftJustify ? Rect.left : Rect.right;
    for (auto& [Piece, F] : Order) {
        if (Piece->empty())
            continue;
        Canvas.Font().Assign(*F);
        int W = GetStringExtent(Canvas, *Piece).cx;
        int X = Align == TLeftRightAlign::lrLeftJustify ? Edge : Edge - W;
        Canvas.TextRect(Rect, X, Rect.top, *Piece);
        Edge = Align == TLeftRightAlign::lrLeftJustify ? Edge + W : Edge - W;
    }
}

std::string ExtractColumn(const std::string& S, int& Pos) {
    size_t From = static_cast<size_t>(std::max(Pos, 1) - 1);
    if (From >= S.size()) {
        Pos = static_cast<int>(S.size()) + 1;
        return std::string();
    }
    size_t Bar = S.find('|', From);
    if (Bar == std::string::npos) {
        Pos = static_cast<int>(S.size()) + 1;
        return S.substr(From);
    }
    Pos = static_cast<int>(Bar) + 2;
    return S.substr(From, Bar - From);
}

void FillGradient(TCanvas& Canvas, int Width, int Height, TColor BeginColor, TColor EndColor, bool Vertical) {
    if (Width < 1 || Height < 1)
        return;
    COLORREF B = ColorToRGB(BeginColor), E = ColorToRGB(EndColor);
    int Begin[3] = {GetRValue(B), GetGValue(B), GetBValue(B)};
    int Diff[3] = {GetRValue(E) - Begin[0], GetGValue(E) - Begin[1], GetBValue(E) - Begin[2]};
    int N = 1 + std::max({std::abs(Diff[0]), std::abs(Diff[1]), std::abs(Diff[2])});
    int Extent = Vertical ? Height : Width;
    int Band = Extent / N + 1;
    TColor SavedColor = Canvas.Brush().Color();
    for (int I = 0; I * Band < Extent; ++I) {
        int C[3];
        for (int K = 0; K < 3; ++K)
            C[K] = Begin[K] + static_cast<int>(std::lround(static_cast<double>(I) * Band * Diff[K] / Extent));
        Canvas.Brush().SetColor(static_cast<TColor>(RGB(C[0], C[1], C[2])));
        RECT R =
            Vertical ? RECT{0, I * Band, Width, I * Band + Band} : RECT{I * Band, 0, I * Band + Band, Height};
        Canvas.FillRect(R);
    }
    Canvas.Brush().SetColor(SavedColor);
}

void PaintExpandCollapse(TCanvas& Canvas, int X, int Y, int Inset, int Size, bool Expanded) {
    RECT Frame{X + Inset, Y + Inset, X + Size - Inset, Y + Size - Inset};
    DrawFrameControl(Canvas.Handle(), &Frame, DFC_BUTTON, DFCS_BUTTONPUSH);
    int W = RectWidth(Frame);
    int Sign = W < 5 ? 1 : W < 7 ? 3 : 5;
    int CX = Frame.left + W / 2, CY = Frame.top + RectHeight(Frame) / 2;
    int Half = Sign / 2;
    Canvas.Pen().SetColor(clBlack);
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetStyle(TPenStyle::psSolid);
    Canvas.MoveTo(CX - Half, CY);
    Canvas.LineTo(CX + Half + 1, CY);
    if (!Expanded) {
        Canvas.MoveTo(CX, CY - Half);
        Canvas.LineTo(CX, CY + Half + 1);
    }
}
