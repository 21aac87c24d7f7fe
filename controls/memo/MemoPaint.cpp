// Metrics, word wrap, the mapping between text positions and pixels, and painting of the memo.
#include <algorithm>
#include <climits>

#include "controls/foundation/FontWidthCache.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoAttributes.h"

namespace {
int32_t Digits(int32_t N) {
    int32_t D = 1;
    while (N >= 10) {
        N /= 10;
        ++D;
    }
    return D;
}

std::string UpperCased(std::string S) {
    CharUpperBuffA(S.data(), DWORD(S.size()));
    return S;
}
} // namespace

// --- metrics --------------------------------------------------------------------------------

void TCustomHSMemo::SetFixedMetrics(int32_t CharWidth, int32_t LineHeight) {
    FFixedCharWidth = std::max(0, CharWidth);
    FFixedLineHeight = std::max(0, LineHeight);
    FAveCharWidth = FAveLineHeight = 0;
    FWBCount = 0;
    UpdateLineNumbersWidth();
    if (FWordWrap)
        WordWrapLines(0, INT_MAX, true);
}

int32_t TCustomHSMemo::GetAveLineHeight() {
    if (FFixedLineHeight > 0)
        return FFixedLineHeight;
    if (FAveLineHeight == 0) {
        int32_t H = GetMaxFontHeight(Font());
        if (FUseMonoFont && FTextStyles)
            H = std::max(H, FTextStyles->GetMaxCharHeight());
        if (TSimpleParser* P = GetSyntaxParser())
            if (TFont* F = P->GetFont(0))
                H = std::max(H, GetMaxFontHeight(*F));
        FAveLineHeight = std::max(H, 1);
    }
    return FAveLineHeight;
}

int32_t TCustomHSMemo::GetAveCharWidth() {
    if (FFixedCharWidth > 0)
        return FFixedCharWidth;
    if (FAveCharWidth == 0) {
        int32_t W = GetAveFontWidth(Font());
        if (FUseMonoFont && FTextStyles)
            W = std::max(W, FTextStyles->GetMaxCharWidth());
        if (TSimpleParser* P = GetSyntaxParser())
            if (TFont* F = P->GetFont(0))
                W = std::max(W, GetAveFontWidth(*F));
        FAveCharWidth = std::max(W, 1);
        FCharSp.clear();
    }
    return FAveCharWidth;
}

bool TCustomHSMemo::IsMemoFontMonoSpaced() {
    auto Mono = [](TFont& F) { return IsFontMonoSpaced(F) && GetMinFontHeight(F) == GetMaxFontHeight(F); };
    if (!Mono(Font()))
        return false;
    for (int I = 0; I < FTextStyles->Count(); ++I)
        if (!Mono(FTextStyles->GetItem(I)->Font()))
            return false;
    return true;
}

int32_t TCustomHSMemo::ClientW() {
    return ClientWidth();
}
int32_t TCustomHSMemo::ClientH() {
    return ClientHeight();
}

int32_t TCustomHSMemo::GetRealGutterWidth() const {
    if (!(FOptions & moDrawGutter))
        return 0;
    if ((FOptions & moLineNumbers) && (FOptions & moLineNumbersOnGutter))
        return std::max(FLineNumWidth + FGutterLineIndent + 2, FGutterWidth);
    return FGutterWidth;
}

int32_t TCustomHSMemo::GetRealLeftIndent() {
    int32_t R = (HasOption(moLeftIndent) && FLeftIndent >= 1) ? FLeftIndent : 0;
    if (HideLines())
        R += GetAveLineHeight();
    return R;
}

int32_t TCustomHSMemo::GetPaintX() {
    int32_t X = GetRealGutterWidth();
    if (HasOption(moLineNumbers) && (!HasOption(moLineNumbersOnGutter) || !HasOption(moDrawGutter)))
        X += FLineNumWidth;
    return X + GetRealLeftIndent();
}

int32_t TCustomHSMemo::GetLineNumbersLength() {
    const int32_t Count = GetSource()->GetStrCount();
    if (HasOption(moLimitLineNumbers))
        return Digits(std::max(Count, 1));
    const int32_t H = std::max(1, GetAveLineHeight());
    const int32_t LastVisible = CheckVisibleIndex(FWinLine + ClientH() / H, false) + 1;
    return Digits(std::max(Count, LastVisible));
}

int32_t TCustomHSMemo::GetLineNumbersWidth() {
    return GetAveCharWidth() * (FLineNumDigits + 1);
}

bool TCustomHSMemo::UpdateLineNumbersWidth(bool Rewrap) {
    if (!HasOption(moLineNumbers)) {
        const bool Changed = FLineNumWidth != 0;
        FLineNumWidth = 0;
        FLineNumDigits = 0;
        return Changed;
    }
    int32_t D = GetLineNumbersLength();
    if (OnGetLineNumber) {
        std::string Empty;
        OnGetLineNumber(this, Empty, D);
    }
    const int32_t W = GetAveCharWidth() * (D + 1);
    if (D == FLineNumDigits && W == FLineNumWidth)
        return false;
    FLineNumDigits = D;
    FLineNumWidth = W;
    FGutterBackground->BackgroundChanged();
    if (!Rewrap)
        return true;
    if (FWordWrap)
        WordWrapLines(0, INT_MAX, true);
    UpdateCaret();
    return true;
}

int32_t TCustomHSMemo::GetWrapMargin() {
    if (HasOption(moBreakWordAtMargin))
        return GetPaintX() + FMarginPos * GetAveCharWidth();
    return ClientW();
}

int32_t TCustomHSMemo::GetMaxCaretLine() {
    return GetMaxCaretLineEx(ClientH());
}

int32_t TCustomHSMemo::GetMaxCaretLineEx(int32_t Height) {
    const int32_t H = std::max(1, GetAveLineHeight());
    if (FUseMonoFont)
        return std::max(0, Height / H - 1);
    int32_t Top = 0;
    return std::max(0, RowAtY(Height, Top) - FWinLine - 1);
}

int32_t TCustomHSMemo::GetMaxCaretCharEx(bool Whole) {
    (void)Whole;
    const int32_t W = std::max(1, GetAveCharWidth());
    return std::max(0, (ClientW() - W - GetPaintX()) / W);
}

bool TCustomHSMemo::NeedSyntaxPaint() const {
    return (GetSource()->SyntaxParser() && HasOption(moColorSyntax)) || GetSource()->HighlightUrls();
}

bool TCustomHSMemo::InFoundRect(int32_t Line, int32_t Char) const {
    const TMemoRect& R = GetSource()->FoundRect();
    return !(R == TMemoRect()) && Line >= R.Top && Line < R.Bottom && Char >= R.Left && Char < R.Right;
}

TColor TCustomHSMemo::CheckReadOnlyColor(TColor Value) const {
    if (HasOption(moUseReadOnlyColor) && Value == Color() && GetSource()->GetReadOnly())
        return FReadOnlyColor;
    return Value;
}

// --- invalidation ---------------------------------------------------------------------------

void TCustomHSMemo::InvalidateLines(int32_t First, int32_t Last, bool ParseOnly) {
    if (!HandleAllocated() || First < 0)
        return;
    const int32_t H = std::max(1, GetAveLineHeight());
    const int32_t LastVisibleRow = FWinLine + ClientH() / H + 1;
    TCustomMemoSource* S = GetSource();
    if (NeedSyntaxPaint() || ParseOnly) {
        const int32_t UpTo =
            std::min<int64_t>(Last, CheckVisibleIndex(GetRealPosition(POINT{0, LastVisibleRow}).y, false));
        if (UpTo >= 0 && S->GetStrCount() > 0)
            S->ParseToString(std::min(UpTo, S->GetStrCount() - 1), false);
    }
    if (ParseOnly)
        return;
    const bool OpenEnd = Last == INT_MAX || Last == INT_MIN || Last < First || S->GetStrCount() == 0;
    const int32_t FirstRow = CheckVisibleIndex(GetWBPosition(POINT{0, First}).y, true);
    if (FirstRow > LastVisibleRow)
        return;
    RECT R{0, std::max(0, RowTop(FirstRow)), ClientW(), ClientH()};
    if (!OpenEnd) {
        int32_t LastRow = CheckVisibleIndex(Last, true);
        if (FWordWrap) {
            // The last row of the line: the row before the next line's first row.
            LastRow = CheckVisibleIndex(GetWBPosition(POINT{0, Last + 1}).y, true) - 1;
            if (Last + 1 >= S->GetStrCount())
                LastRow = std::max(LastRow, GetRealStrCount());
        }
        if (LastRow < FWinLine)
            return;
        R.bottom = std::min<int32_t>(ClientH(), RowTop(LastRow + 1));
    }
    if (R.bottom > R.top)
        InvalidateRect(Handle(), &R, FALSE);
}

// --- painting -------------------------------------------------------------------------------

void TCustomHSMemo::Paint() {
    TCanvasDrawSink Sink(Canvas());
    RECT Clip{};
    if (GetClipBox(Canvas().Handle(), &Clip) == NULLREGION)
        return;
    PaintTo(Sink, Clip);
}

void TCustomHSMemo::PaintTo(TMemoDrawSink& Sink, const RECT& UpdateRect) {
    RECT Update = UpdateRect;
    if (Update.right <= Update.left || Update.bottom <= Update.top)
        return;
    FPaintPicture = FMemoBackground->NeedPaint();
    if (FPaintPicture && FMemoBackground->WorkBitmap().Empty())
        FMemoBackground->PaintBackground();
    PaintLeftIndent(Sink, Update);
    PaintGutter(Sink, Update);
    PaintLineNumbers(Sink, Update);
    PaintGutterImages(Sink, Update);
    if (HasOption(moDrawGutter) && GetRealGutterWidth() > 0) {
        RECT G{0, 0, GetRealGutterWidth(), ClientH() + 1};
        DoPaintGutter(Sink, G, dsAfterPaint);
    }
    RealPaint(Sink, Update);
}

bool TCustomHSMemo::DoPaintGutter(TMemoDrawSink& Sink, const RECT& Rect, TDrawStates State) {
    bool Handled = false;
    if (OnDrawGutter)
        OnDrawGutter(this, Sink, Handled, State, Rect);
    return Handled;
}

void TCustomHSMemo::PaintLeftIndent(TMemoDrawSink& Sink, const RECT& Update) {
    const int32_t G = GetRealGutterWidth();
    if (HasOption(moLeftIndent) && FLeftIndent >= 1) {
        RECT R{G, Update.top, G + FLeftIndent, Update.bottom};
        FillBack(Sink, R, Color());
    }
    if (HideLines()) {
        const int32_t X = GetPaintX();
        RECT R{X - GetAveLineHeight(), Update.top, X, Update.bottom};
        FillBack(Sink, R, Color());
    }
}

void TCustomHSMemo::PaintGutter(TMemoDrawSink& Sink, const RECT& Update) {
    const int32_t W = GetRealGutterWidth();
    if (!HasOption(moDrawGutter) || W <= 0 || Update.left >= W)
        return;
    RECT G{0, 0, W, ClientH() + 1};
    if (DoPaintGutter(Sink, G, dsBeforePaint))
        return;
    if (FGutterBackground->NeedPaint()) {
        if (FGutterBackground->WorkBitmap().Empty())
            FGutterBackground->PaintBackground();
        // The prepared picture already holds the gutter's edge.
        Sink.CopyBackground(FGutterBackground->WorkBitmap(),
                            RECT{std::max<int32_t>(0, Update.left), Update.top,
                                 std::min<int32_t>(W, Update.right), Update.bottom});
        return;
    }
    RECT Fill{0, Update.top, std::max(0, W - 2), Update.bottom};
    Sink.FillRect(Fill, FGutterBrush->Color());
    if (W >= 2) {
        Sink.Line(W - 2, Update.top, W - 2, Update.bottom, FGutterBackColor, 1);
        Sink.Line(W - 1, Update.top, W - 1, Update.bottom, FGutterLineColor, 1);
    }
}

void TCustomHSMemo::PaintLineNumbers(TMemoDrawSink& Sink, const RECT& Update) {
    if (!HasOption(moLineNumbers) || FLineNumWidth <= 0)
        return;
    TCustomMemoSource* S = GetSource();
    const bool OnGutter = HasOption(moLineNumbersOnGutter) && HasOption(moDrawGutter);
    const int32_t H = std::max(1, GetAveLineHeight());
    int32_t X;
    if (OnGutter)
        X = FLineNumAlign == TAlignment::taRightJustify
                ? GetRealGutterWidth() - FLineNumWidth - FGutterLineIndent
                : FGutterLineIndent;
    else
        X = GetRealGutterWidth() + ((HasOption(moLeftIndent) && FLeftIndent > 0) ? FLeftIndent : 0);
    const int32_t CW = GetAveCharWidth();
    std::vector<int> Adv;
    int32_t Y = 0;
    for (int32_t Row = RowAtY(std::max<int32_t>(0, Update.top), Y), RowH = 0; Y < Update.bottom;
         ++Row, Y += RowH) {
        RowH = RowHeight(Row);
        const POINT P = GetRealPosition(POINT{0, CheckVisibleIndex(Row, false)});
        const bool Continuation = P.x != 0;
        const int32_t Line = P.y;
        std::string Text;
        if (!Continuation && !(HasOption(moLimitLineNumbers) && Line >= S->GetStrCount())) {
            Text = std::to_string(Line + 1);
            if (int32_t(Text.size()) < FLineNumDigits) {
                const std::string Pad(size_t(FLineNumDigits - int32_t(Text.size())), ' ');
                Text = FLineNumAlign == TAlignment::taLeftJustify ? Text + Pad : Pad + Text;
            }
        }
        int32_t L = Line;
        if (OnGetLineNumber)
            OnGetLineNumber(this, Text, L);
        RECT Cell{X, Y, X + FLineNumWidth, Y + RowH};
        if (!OnGutter)
            Sink.FillRect(Cell, FLineNumBackColor);
        if (!Text.empty()) {
            Adv.assign(Text.size(), CW);
            // A taller line holds its number in the middle.
            const int32_t TextY = Y + std::max((RowH - H) / 2, 0);
            Sink.TextOut(Cell, X, TextY, Text, Font(), FLineNumColor, FLineNumBackColor, true, Adv.data());
        }
    }
}

void TCustomHSMemo::EnsureBookmarkGlyphs() {
    // Bookmark pictures missing from the program's resources are drawn here once: a small flag
    // with the bookmark's digit.
    for (int I = 0; I < FGutterImgs->Count(); ++I) {
        TGutterImage* Image = FGutterImgs->GetItem(I);
        if (!Image->Glyph().Empty())
            continue;
        const int32_t N = Image->BookmarkIndex();
        TBitmap B;
        B.SetSize(11, 13);
        TCanvas& C = B.Canvas();
        C.Brush().SetColor(clFuchsia);
        C.FillRect(RECT{0, 0, 11, 13});
        C.Brush().SetColor(N < 0 ? clRed : clTeal);
        C.Pen().SetColor(clBlack);
        if (N < 0) {
            C.Ellipse(1, 2, 10, 11);
        } else {
            C.Rectangle(0, 0, 11, 13);
            C.Font().SetName("Small Fonts");
            C.Font().SetHeight(-9);
            C.Font().SetColor(clWhite);
            SetBkMode(C.Handle(), TRANSPARENT);
            C.TextOut(3, 1, std::to_string(N));
        }
        B.Transparent = true;
        B.TransparentColor = clFuchsia;
        auto Handler = FGutterImgs->OnChange;
        FGutterImgs->OnChange = nullptr;
        Image->SetGlyph(B);
        FGutterImgs->OnChange = Handler;
    }
}

void TCustomHSMemo::PaintGutterImages(TMemoDrawSink& Sink, const RECT& Update) {
    if (!HasOption(moDrawGutter) || FGutterImgs->Count() == 0)
        return;
    TCustomMemoSource* S = GetSource();
    const int32_t R = GetRealGutterWidth() - 3;
    const int32_t H = std::max(1, GetAveLineHeight());
    EnsureBookmarkGlyphs();
    int32_t Top = 0;
    for (int32_t Row = RowAtY(std::max<int32_t>(0, Update.top), Top), RowH = 0; Top < Update.bottom;
         Top += RowH, ++Row) {
        RowH = RowHeight(Row);
        const POINT P = GetRealPosition(POINT{0, CheckVisibleIndex(Row, false)});
        const int32_t Line = P.y;
        if (Line >= S->GetStrCount())
            break;
        int32_t X = FGutterImgsAlign == iaLeft ? 1 : R - 1;
        auto Draw = [&](int32_t Index) {
            if (Index < 0 || Index >= FGutterImgs->Count())
                return;
            TBitmap& Glyph = FGutterImgs->GetItem(Index)->Glyph();
            if (Glyph.Empty())
                return;
            const int32_t W = Glyph.Width();
            const int32_t GH = std::min(Glyph.Height(), H - 1);
            if (FGutterImgsAlign == iaLeft ? X + 1 + W > R : X + 1 - W < 0)
                return;
            const int32_t Off = (RowH - GH) / 2;
            if (FGutterImgsAlign == iaRight)
                X -= W + 1;
            Sink.DrawBitmap(Glyph, RECT{X, Top + Off, X + W, Top + Off + GH}, Glyph.TransparentColor);
            if (FGutterImgsAlign == iaLeft)
                X += W + 1;
        };
        if (P.x == 0) {
            for (int32_t Bit = 0; Bit < 16 && Bit < FGutterImgs->Count(); ++Bit)
                if (S->GetImageBit(Line, Bit))
                    Draw(Bit);
        }
        // Bookmark numbers 1-9 are keys 1-9, number 10 is key 0.
        const int32_t Mark = S->FGetBookmark(Line);
        if (Mark > 0 && P.x == 0)
            Draw(FGutterImgs->BookmarkImage(Mark == 10 ? 0 : Mark));
    }
}

void TCustomHSMemo::FillBack(TMemoDrawSink& Sink, const RECT& R, TColor Fill) {
    if (FPaintPicture && Fill == CheckReadOnlyColor(Color()))
        Sink.CopyBackground(FMemoBackground->WorkBitmap(), R);
    else
        Sink.FillRect(R, Fill);
}

void TCustomHSMemo::FillAfterText(TMemoDrawSink& Sink, const RECT& R, TColor Fill, bool Selected,
                                  int32_t Line, int32_t Char) {
    const TDrawStates State = TDrawStates(dsAfterText | (Selected ? dsSelection : 0));
    bool Handled = false;
    if (OnCustomDraw) {
        OnCustomDraw(this, Sink, R, Line, Char, std::string(), TDrawStates(State | dsBeforePaint), Handled);
        if (Handled)
            return;
    }
    if (Selected)
        Sink.FillRect(R, Fill);
    else
        FillBack(Sink, R, Fill);
    if (OnCustomDraw)
        OnCustomDraw(this, Sink, R, Line, Char, std::string(), TDrawStates(State | dsAfterPaint), Handled);
}

// --- the gutter's picture -------------------------------------------------------------------------

RECT TGutterBackground::GetPaintRect() {
    if (!FMemo->HandleAllocated())
        return RECT{0, 0, 0, 0};
    return RECT{0, 0, FMemo->GetRealGutterWidth(), FMemo->ClientHeight() + 1};
}

TBrush& TGutterBackground::GetPaintBrush() {
    return FMemo->GutterBrush();
}

void TGutterBackground::PaintBackground() {
    TControlBackground::PaintBackground();
    if (!NeedPaint())
        return;
    const RECT R = GetPaintRect();
    TCanvas& C = WorkBitmap().Canvas();
    const int32_t W = R.right;
    if (W < 2)
        return;
    C.Pen().SetWidth(1);
    C.Pen().SetStyle(TPenStyle::psSolid);
    C.Pen().SetColor(FMemo->GutterBackColor());
    C.MoveTo(W - 2, 0);
    C.LineTo(W - 2, R.bottom);
    C.Pen().SetColor(FMemo->GutterLineColor());
    C.MoveTo(W - 1, 0);
    C.LineTo(W - 1, R.bottom);
}

int32_t TCustomHSMemo::StyleAt(const std::string& ColorS, int32_t Index, int32_t Line) {
    if (Index < 0 || Index >= int32_t(ColorS.size()))
        return -1;
    int32_t Style = uint8_t(ColorS[size_t(Index)]);
    if (!HasOption(moColorSyntax) && GetSource()->HighlightUrls() && Style != 12)
        Style = 0;
    DoGetColorStyle(POINT{Index + 1, Line}, Style);
    return Style;
}

void TCustomHSMemo::DoGetColorStyle(POINT P, int32_t& Style) {
    if (OnGetColorStyle)
        OnGetColorStyle(this, P, Style);
}

void TCustomHSMemo::DoCustomString(std::string& S, std::string& ColorS) {
    if (OnCustomString)
        OnCustomString(this, S, ColorS);
}

void TCustomHSMemo::StyleColors(int32_t Style, TFont*& F, TColor& FontColor, TColor& BackColor) {
    F = &Font();
    FontColor = Font().Color();
    BackColor = Color();
    TSimpleParser* Parser = GetSyntaxParser();
    if (Parser && Style >= 0) {
        if (TFont* PF = Parser->GetFont(Style)) {
            F = PF;
            FontColor = PF->Color();
        } else if (Style < FTextStyles->Count()) {
            TTextStyle* TS = FTextStyles->GetItem(Style);
            F = &TS->Font();
            FontColor = TS->Font().Color();
        }
        uint32_t Back = 0;
        if (Parser->GetBackColor(Style, Back))
            BackColor = int32_t(Back) == -1 ? Color() : TColor(Back);
        else if (Style < FTextStyles->Count())
            BackColor = FTextStyles->GetItem(Style)->Color();
    } else if (Style >= 0 && Style < FTextStyles->Count()) {
        TTextStyle* TS = FTextStyles->GetItem(Style);
        F = &TS->Font();
        FontColor = TS->Font().Color();
        BackColor = TS->Color();
    }
    BackColor = CheckReadOnlyColor(BackColor);
}

void TCustomHSMemo::RealPaint(TMemoDrawSink& Sink, const RECT& Update) {
    TCustomMemoSource* S = GetSource();
    const int32_t PaintX = GetPaintX();
    const int32_t H = std::max(1, GetAveLineHeight());
    const int32_t CW = std::max(1, GetAveCharWidth());
    RECT Text{std::max<int32_t>(Update.left, PaintX), Update.top, std::min<int32_t>(Update.right, ClientW()),
              Update.bottom};
    if (HideLines())
        Text.left = std::max<int32_t>(Update.left, PaintX - H);
    if (Text.right <= Text.left || Text.bottom <= Text.top)
        return;
    const int32_t MarginX = CW * (FMarginPos - FWinChar) + PaintX;
    const bool DrawMargin = HasOption(moDrawMargin) && std::max<int32_t>(Update.left, PaintX) <= MarginX &&
                            MarginX <= Update.right;
    Sink.SetClip(&Text);
    struct TUnclip {
        TMemoDrawSink& Sink;
        ~TUnclip() { Sink.SetClip(nullptr); }
    } Unclip{Sink};

    const int32_t Count = S->GetStrCount();
    int32_t Y = 0;
    int32_t Row = RowAtY(std::max<int32_t>(0, Update.top), Y);
    // The rows of one line share its painted text, made (and offered to OnCustomString) once.
    int32_t PaintedLine = INT_MIN, TextLen = 0;
    std::string Str, ColorS;
    while (Y < Update.bottom) {
        const TRowInfo R = RowInfo(Row);
        const int32_t Line = R.Line;
        if (Line != PaintedLine) {
            GetPaintedLine(Line, Str, ColorS, TextLen);
            PaintedLine = Line;
        }
        const int32_t RowH = R.Height, Ascent = R.BaseLine;
        // The row's slice of the line; the last row runs on through the end symbols.
        const int32_t RowEnd = R.Last ? int32_t(Str.size()) : std::min<int32_t>(R.End, int32_t(Str.size()));
        const int32_t RowStart = std::min(R.Start, RowEnd);
        const bool LastRow = R.Last;
        PaintRow(Sink, Text, Line, RowStart, RowEnd, LastRow, Str, ColorS, Y, RowH, Ascent,
                 DrawMargin ? MarginX : INT_MIN);
        if (HideLines()) {
            // The strip left of the text holds the collapse marks.
            const int32_t PaintX = GetPaintX();
            FillBack(Sink, RECT{PaintX - H, Y, PaintX, Y + H}, Color());
            const TCollapseState State = Line < Count ? S->GetCollapseState(Line) : csNone;
            if (State != csNone)
                Sink.ExpandCollapseButton(PaintX - H, Y, H <= 16 ? H / 8 : std::max((H - 16) / 2, H / 8), H,
                                          State == csCollapsed);
        }
        Y += RowH;
        ++Row;
    }
}

void TCustomHSMemo::PaintRow(TMemoDrawSink& Sink, const RECT& Area, int32_t Line, int32_t RowStart,
                             int32_t RowEnd, bool LastRow, const std::string& S, const std::string& ColorS,
                             int32_t Y, int32_t H, int32_t Ascent, int32_t MarginX) {
    TCustomMemoSource* Src = GetSource();
    const int32_t PaintX = GetPaintX();
    const int32_t CW = std::max(1, GetAveCharWidth());
    const bool Disabled = !Enabled();
    const bool Focused = HasFocus();
    const bool ShowSel = !(FHideSelection && !Focused);
    int32_t SelStart = 0, SelEnd = 0;
    if (ShowSel && Line < Src->GetStrCount())
        Src->SelectionBounds(Line, SelStart, SelEnd);
    auto InFound = [&](int32_t Ch) { return InFoundRect(Line, Ch); };
    const uint8_t LineStyle =
        FTextStyles->Count() > 0 && Line < Src->GetStrCount() ? Src->GetLineTextStyle(Line) : 0;
    TFont* LineFont = &Font();
    TColor LineFontColor = Font().Color(), LineBack = CheckReadOnlyColor(Color());
    if (LineStyle != 0 && LineStyle < FTextStyles->Count()) {
        LineFont = &FTextStyles->GetItem(LineStyle)->Font();
        LineFontColor = LineFont->Color();
        LineBack = FTextStyles->GetItem(LineStyle)->Color();
    }
    // With word wrap only the caret's own row of its line is highlighted.
    const int32_t CaretCh = Src->GetCurChar();
    const bool HighlightRow = Focused && FLineHighlight->Visible() && Line == Src->GetCurLine() &&
                              (!FWordWrap || (CaretCh >= RowStart && (LastRow || CaretCh < RowEnd)));
    // A clear highlight brush leaves the row's own background; only the lines are drawn.
    const bool HighlightFill = HighlightRow && FLineHighlight->Brush().Style() != TBrushStyle::bsClear;
    const TColor RowBack = HighlightFill ? FLineHighlight->Brush().Color() : LineBack;

    // Visible columns of the row: with a monospaced layout from the cells under the area; with a
    // proportional one every character from the row's start is measured, and drawing stops at the
    // area's right edge.
    const bool Mono = FUseMonoFont;
    int32_t From = RowStart, To = RowEnd;
    int32_t X = PaintX - FWinChar * CW;
    if (Mono) {
        const int32_t FirstCol = FWinChar + std::max<int32_t>(0, (Area.left - PaintX) / CW);
        const int32_t LastCol = FWinChar + int32_t((Area.right - PaintX + CW - 1) / CW);
        From = RowStart + FirstCol;
        To = std::min<int32_t>(RowEnd, RowStart + LastCol);
        X = PaintX + (From - RowStart - FWinChar) * CW;
    }
    int32_t I = From;
    bool PastRight = false;
    while (I < To) {
        const int32_t Style = StyleAt(ColorS, I, Line);
        const bool Sel = I >= SelStart && I < SelEnd;
        const bool Fnd = InFound(I);
        int32_t J = I + 1;
        while (J < To && J - I < 0x200 && StyleAt(ColorS, J, Line) == Style &&
               (J >= SelStart && J < SelEnd) == Sel && InFound(J) == Fnd)
            ++J;
        TFont* F = nullptr;
        TColor FC = 0, BC = 0;
        StyleColors(Style, F, FC, BC);
        if (LineStyle != 0) {
            // Syntax colours stay on a marked line, but one that would vanish into the mark's
            // background (dark red on maroon) is taken towards the line's own text colour.
            FC = HasOption(moColoredLineStyle) ? ReadableOn(FC, LineBack, LineFontColor) : LineFontColor;
            BC = LineBack;
        }
        if (Disabled)
            FC = FDisabledColor;
        if (Sel) {
            if (LineStyle != 0 && !HasOption(moDisableInvertedSel)) {
                FC = LineBack;
                BC = LineFontColor;
            } else {
                FC = FSelColor;
                BC = FSelBackColor;
            }
        }
        if (Fnd) {
            FC = FMatchColor;
            BC = FMatchBackColor;
        }
        if (HighlightFill && !Sel && !Fnd && BC == CheckReadOnlyColor(Color()))
            BC = RowBack;
        std::string Run = S.substr(size_t(I), size_t(J - I));
        if (Style >= 0 && Style < FTextStyles->Count() && !GetSyntaxParser() &&
            FTextStyles->GetItem(Style)->UpperCase())
            Run = UpperCased(Run);
        const int32_t RunWidth = Mono ? (J - I) * CW : TextWidth(*F, Run);
        const RECT Cell{X, Y, X + RunWidth, Y + H};
        if (Cell.right > Area.left) {
            const int* Advances = nullptr;
            if (Mono) {
                if (int32_t(FCharSp.size()) < J - I)
                    FCharSp.assign(size_t(std::max(J - I, 64)), CW);
                Advances = FCharSp.data();
            }
            TDrawStates State = dsText | (Sel ? dsSelection : 0) | (Fnd ? dsMarkedText : 0);
            bool Handled = false;
            if (OnCustomDraw)
                OnCustomDraw(this, Sink, Cell, Line, I, Run, TDrawStates(State | dsBeforePaint), Handled);
            if (!Handled) {
                // Over a picture, text on the memo's own colour is drawn on the picture.
                const bool OnPicture = FPaintPicture && BC == CheckReadOnlyColor(Color());
                if (OnPicture)
                    Sink.CopyBackground(FMemoBackground->WorkBitmap(), Cell);
                // Runs of smaller fonts stand on the line's base line.
                const int32_t TextY =
                    Mono || Ascent == 0 ? Y : Y + Ascent - FontManager().GetFontInfo(F->Handle()).Ascent;
                Sink.TextOut(Cell, X, TextY, Run, *F, FC, BC, OnPicture, Advances);
                if (OnCustomDraw)
                    OnCustomDraw(this, Sink, Cell, Line, I, Run, TDrawStates(State | dsAfterPaint), Handled);
            }
        }
        X = Cell.right;
        I = J;
        if (!Mono && X >= Area.right) {
            PastRight = I < To;
            break;
        }
    }
    // After the text: background, with the selected part where the selection runs past the end.
    // Columns past the text are cells of the average width (monospaced) or of a blank.
    int32_t EndCol, EndX, CellW;
    if (Mono) {
        X = std::max<int32_t>(X, PaintX + std::max(0, RowEnd - RowStart - FWinChar) * CW);
        if (X < PaintX)
            X = PaintX;
        EndCol = RowStart + FWinChar + (X - PaintX) / CW;
        EndX = PaintX + (EndCol - RowStart - FWinChar) * CW;
        CellW = CW;
    } else {
        EndCol = RowEnd;
        EndX = X;
        CellW = std::max(1, SpaceWidth());
        if (PastRight)
            X = Area.right;
        X = std::max(X, PaintX);
    }
    auto ColX = [&](int32_t Col) { return EndX + (Col - EndCol) * CellW; };
    if (X < Area.right) {
        const bool SelectOnlyText = HasOption(moSelectOnlyText) && Src->SelectionType() != stBlockSel;
        int32_t SelFromX = Area.right, SelToX = Area.right;
        if (ShowSel && SelEnd > SelStart && !SelectOnlyText) {
            const bool ToBorder = SelEnd == INT_MAX || !LastRow;
            const int32_t A = std::max(SelStart, EndCol);
            const int32_t B = ToBorder ? INT_MAX : SelEnd;
            if (B > A && (Src->SelectionType() == stBlockSel || ToBorder || SelEnd > EndCol)) {
                SelFromX = ColX(A);
                SelToX = B == INT_MAX ? Area.right : ColX(B);
                SelFromX = std::max(SelFromX, X);
                SelToX = std::min<int32_t>(SelToX, Area.right);
            }
        }
        const TColor SelBack =
            (LineStyle != 0 && !HasOption(moDisableInvertedSel)) ? LineFontColor : FSelBackColor;
        if (SelFromX > X)
            FillAfterText(Sink, RECT{X, Y, SelFromX, Y + H}, RowBack, false, Line, EndCol);
        if (SelToX > SelFromX)
            FillAfterText(Sink, RECT{SelFromX, Y, SelToX, Y + H}, SelBack, true, Line, EndCol);
        if (Area.right > std::max(SelToX, X) && SelToX < Area.right)
            FillAfterText(Sink, RECT{std::max(SelToX, X), Y, int32_t(Area.right), Y + H}, RowBack, false,
                          Line, EndCol);
    }
    if (HighlightRow) {
        // A pen two pixels wide doubles each line one pixel inward.
        const TColor PC = FLineHighlight->Pen().Color();
        const bool Thick = FLineHighlight->Pen().Width() >= 2;
        Sink.Line(PaintX, Y + H - 1, Area.right, Y + H - 1, PC, 1);
        if (Thick)
            Sink.Line(PaintX, Y + H - 2, Area.right, Y + H - 2, PC, 1);
        if (FLineHighlight->Shape() == shDoubleLine) {
            Sink.Line(PaintX, Y, Area.right, Y, PC, 1);
            if (Thick)
                Sink.Line(PaintX, Y + 1, Area.right, Y + 1, PC, 1);
        }
    }
    const TSeparatorOptions SepOpts = FLineSeparator->Options();
    if ((SepOpts & moDrawLineSeparator) && (LastRow || (SepOpts & moWrappedLineSeparator)))
        Sink.Line(PaintX, Y + H - 1, Area.right, Y + H - 1, FLineSeparator->Pen().Color(),
                  FLineSeparator->Pen().Width());
    if (MarginX != INT_MIN)
        Sink.Line(MarginX, Y, MarginX, Y + H + 1, FMarginPen->Color(), FMarginPen->Width());
    if (HasOption(moDrawLineBookmarks) && Line < Src->GetStrCount()) {
        std::vector<TBookMarkRec> Marks;
        Src->BookMarks().GetBookmarksFromRange(Line, RowStart, LastRow ? INT_MAX : RowEnd - 1, Marks);
        for (const TBookMarkRec& B : Marks) {
            const POINT Pt = TextToPixelPoint(POINT{B.Char, B.Line});
            const int32_t D = H / 4;
            const POINT Tri[3] = {{Pt.x - D, Y + H - 1}, {Pt.x + D, Y + H - 1}, {Pt.x, Y + H - 1 - D}};
            Sink.Triangle(Tri, FLineBookmarkColor);
        }
    }
}
