// Word wrap of the memo and the mapping between text positions and pixels. With UseMonoFont every
// character takes one average cell; otherwise each character is as wide as it is in its style's
// font, measured through the font manager's cached widths.
#include <algorithm>
#include <climits>

#include "controls/foundation/FontWidthCache.h"
#include "controls/memo/Memo.h"

// --- word wrap ------------------------------------------------------------------------------

void TCustomHSMemo::CheckWBCount(bool Force) {
    if (!Force && FWBCount > 1)
        return;
    const int32_t W = std::max(1, GetAveCharWidth());
    if (HasOption(moBreakWordAtMargin))
        FWBCount = std::max(FMarginPos - 1, 1);
    else
        FWBCount = std::max((ClientW() - W - GetPaintX()) / W, 1);
}

int32_t TCustomHSMemo::FindWordBreak(int32_t Line, int32_t& Pos) {
    TCustomMemoSource* S = GetSource();
    std::string Text, ColorS;
    int32_t M;
    if (FUseMonoFont) {
        Text = S->Strings().Get(Line);
        CheckWBCount(false);
        M = FWBCount;
    } else {
        // As many characters as fit whole between the text's left edge and the wrap margin; one
        // fewer than that is kept back, as the monospaced count keeps a cell for the caret.
        GetStrData(Line, Text, ColorS);
        int32_t Used = 0;
        const int32_t Fit = SymbolsDrawn(Line, Text, ColorS, Pos - 1, int32_t(Text.size()),
                                         GetWrapMargin() - GetPaintX(), true, Used);
        M = std::max(1, Fit - 1);
    }
    const int32_t Len = int32_t(Text.size());
    if (Len - Pos > M) {
        int32_t End = Pos + M;
        for (int32_t I = Pos + M; I >= Pos; --I)
            if (S->InDelimSet(Text, I)) {
                End = I;
                break;
            }
        Pos = End + 1;
        return End;
    }
    Pos = Len + 1;
    return Len;
}

void TCustomHSMemo::ClearWrapRange(int32_t First, int32_t Last) {
    FWordWrapList->ClearRange(First, Last);
    FLineInfoList->ClearRange(First, Last);
    if (First < FWrappedTo && Last == INT_MAX)
        FWrappedTo = First;
}

void TCustomHSMemo::WordWrapLines(int32_t First, int32_t Last, bool Force) {
    if (!FWordWrapList || HasState(csLoading) || HasState(csReading))
        return;
    TCustomMemoSource* S = GetSource();
    const int32_t Count = S->GetStrCount();
    if (!FWordWrap || Count == 0) {
        FWordWrapList->Clear();
        FLineInfoList->Clear();
        FWrappedTo = 0;
        return;
    }
    CheckWBCount(Force);
    First = std::max(First, 0);
    const bool ToEnd = Last == INT_MAX;
    if (ToEnd) {
        // The rest is wrapped lazily as far as conversions need it.
        Last = std::max(First, FWinLine + 255);
    }
    Last = std::min(Last, Count - 1);
    if (!ToEnd && !FLazyWrapping) {
        // Lines from FWrappedTo on are not wrapped yet; the lazy extension takes them when needed.
        if (First >= FWrappedTo)
            return;
        Last = std::min(Last, FWrappedTo - 1);
    }
    if (First == 0 && ToEnd) {
        FWordWrapList->Clear();
        FLineInfoList->Clear();
    } else {
        FWordWrapList->ClearRange(First, ToEnd ? INT_MAX : Last);
        FLineInfoList->ClearRange(First, ToEnd ? INT_MAX : Last);
    }
    for (int32_t Line = First; Line <= Last; ++Line) {
        const int32_t Len = int32_t(S->Strings().Get(Line).size());
        if (Len == 0 || (FUseMonoFont && Len <= FWBCount))
            continue;
        int32_t Pos = 1;
        bool Broken = false;
        while (Pos <= Len) {
            FindWordBreak(Line, Pos);
            if (Pos <= Len) {
                TWBPoint R;
                R.Char = Pos - 1;
                R.Line = Line;
                FWordWrapList->Add(R);
                Broken = true;
            }
        }
        if (Broken) {
            TWBPoint R;
            R.Line = Line;
            FLineInfoList->Add(R);
        }
    }
    if (ToEnd)
        FWrappedTo = First <= Last ? Last + 1 : First;
    else
        FWrappedTo = std::max(FWrappedTo, Last + 1);
    if (!FLazyWrapping) {
        WordWrapUpdated();
        InvalidateLines(First, ToEnd ? INT_MAX : Last);
        if (First == 0 && ToEnd)
            Invalidate();
    }
}

void TCustomHSMemo::WordWrapUpdated() {
    if (FLazyWrapping)
        return;
    UpdateCaret();
    UpdateScrollSize();
    UpdateScrollPos();
}

void TCustomHSMemo::CheckLastWrappedLine(int32_t Line) {
    if (!FWordWrap || FLazyWrapping)
        return;
    const int32_t Count = GetSource()->GetStrCount();
    if (Line < FWrappedTo || FWrappedTo >= Count)
        return;
    const bool Old = FLazyWrapping;
    FLazyWrapping = true;
    struct TRestore {
        bool& F;
        bool V;
        ~TRestore() { F = V; }
    } Restore{FLazyWrapping, Old};
    WordWrapLines(FWrappedTo, std::min(Count - 1, Line + 100), false);
}

int32_t TCustomHSMemo::CheckVisibleIndex(int32_t Index, bool ToVisible) const {
    if (!HideLines())
        return Index;
    return ToVisible ? GetSource()->RealToVisibleIndex(Index) : GetSource()->VisibleToRealIndex(Index);
}

POINT TCustomHSMemo::GetWBPosition(POINT P) {
    int32_t RowStart = 0;
    bool More = false;
    return GetWBPositionEx(P, RowStart, More);
}

POINT TCustomHSMemo::GetWBPositionEx(POINT P, int32_t& RowStart, bool& MoreRows) {
    RowStart = 0;
    MoreRows = false;
    if (!FWordWrap)
        return P;
    CheckLastWrappedLine(P.y);
    const int32_t Line = P.y;
    bool Exact = false;
    const int32_t Index = FWordWrapList->FindNear(P.x, Line, false, Exact);
    if (Index >= 0) {
        const TWBPoint& R = FWordWrapList->Item(Index);
        if (R.Line == Line) {
            P.x -= R.Char;
            RowStart = R.Char;
        }
        if (P.y <= INT_MAX - Index - 1)
            P.y += Index + 1;
    }
    MoreRows = Index + 1 < FWordWrapList->Count() && FWordWrapList->Item(Index + 1).Line == Line;
    return P;
}

POINT TCustomHSMemo::GetRealPosition(POINT P) {
    if (!FWordWrap)
        return P;
    CheckLastWrappedLine(P.y);
    bool Exact = false;
    const int32_t Index = FWordWrapList->FindNear(0, P.y, true, Exact);
    if (Index >= 0) {
        if (Exact)
            P.x += FWordWrapList->Item(Index).Char;
        P.y -= Index + 1;
    }
    return P;
}

int32_t TCustomHSMemo::GetRealLineIndex(int32_t Row) {
    return GetRealPosition(POINT{0, Row}).y;
}

int32_t TCustomHSMemo::GetRealStrCount() {
    TCustomMemoSource* S = GetSource();
    int32_t N = S->GetStrCount() - 1;
    if (FWordWrap) {
        CheckLastWrappedLine(INT_MAX - 200);
        N += FWordWrapList->Count();
    } else if (HideLines()) {
        N = S->RealToVisibleIndex(std::max(0, S->GetStrCount() - 1));
    }
    return N;
}

int32_t TCustomHSMemo::GetRealStrCountEx() {
    int32_t N = GetRealStrCount();
    if (HasOption(moDrawSpecialSymbols) && !FSpecialSymbols->EOFString().empty())
        ++N;
    return N;
}

// --- text and pixels ------------------------------------------------------------------------

int32_t TCustomHSMemo::TextToPixelLine(POINT P) {
    return RowTop(CheckVisibleIndex(GetWBPosition(P).y, true));
}

int32_t TCustomHSMemo::TextToPixelChar(POINT P) {
    if (FUseMonoFont)
        return (GetWBPosition(P).x - FWinChar) * GetAveCharWidth() + GetPaintX();
    int32_t RowStart = 0;
    bool More = false;
    GetWBPositionEx(P, RowStart, More);
    return GetPaintX() - FWinChar * GetAveCharWidth() + RowWidthTo(P.y, RowStart, P.x);
}

POINT TCustomHSMemo::TextToPixelPoint(POINT P) {
    const int32_t Row = CheckVisibleIndex(GetWBPosition(P).y, true);
    return POINT{TextToPixelChar(P), RowTop(Row)};
}

int32_t TCustomHSMemo::PixelToTextChar(int32_t Row, int32_t X, bool Wrapped) {
    (void)Wrapped;
    const int32_t W = std::max(1, GetAveCharWidth());
    if (FUseMonoFont) {
        const int32_t Offset = X - GetPaintX();
        if (Offset < 0)
            return FWinChar;
        int32_t Col = Offset / W + FWinChar;
        if (X < GetWrapMargin() && Offset % W > W / 2)
            ++Col;
        return Col;
    }
    // The row's characters in their fonts, then space cells past the end of the text.
    const int32_t Offset = X - GetPaintX() + FWinChar * W;
    if (Offset <= 0)
        return 0;
    const POINT Start = GetRealPosition(POINT{0, Row});
    std::string Text, ColorS;
    GetStrData(Start.y, Text, ColorS);
    int32_t RowEnd = int32_t(Text.size());
    bool More = false;
    if (FWordWrap && Start.y < GetSource()->GetStrCount()) {
        int32_t RowStart = 0;
        GetWBPositionEx(Start, RowStart, More);
        if (More) {
            int32_t Pos = Start.x + 1;
            FindWordBreak(Start.y, Pos);
            RowEnd = Pos - 1;
        }
    }
    const bool Whole = X >= GetWrapMargin();
    int32_t Used = 0;
    int32_t Col = SymbolsDrawn(Start.y, Text, ColorS, Start.x, RowEnd, Offset, Whole, Used);
    if (Start.x + Col >= RowEnd && !More) {
        const int32_t Space = std::max(1, SpaceWidth());
        const int32_t Rest = Offset - Used;
        Col += Rest / Space + (!Whole && Rest % Space > Space / 2 ? 1 : 0);
    }
    return Col;
}

// --- measuring (proportional fonts) ---------------------------------------------------------

void TCustomHSMemo::GetStrData(int32_t Line, std::string& Text, std::string& ColorS) {
    TCustomMemoSource* S = GetSource();
    Text.clear();
    ColorS.clear();
    if (Line < 0 || Line >= S->GetStrCount())
        return;
    Text = HasOption(moDrawSpecialSymbols)
               ? S->GetSpecialString(Line, true, FSpecialSymbols->TabChar(), FSpecialSymbols->SpaceChar())
               : S->Strings().Get(Line);
    if (UsesColorData())
        ColorS = S->GetStoredColorData(Line);
}

bool TCustomHSMemo::UsesColorData() const {
    return NeedSyntaxPaint() && (GetSyntaxParser() || FTextStyles->Count() > 0);
}

TFont& TCustomHSMemo::RunFont(int32_t Style, bool& Upper) {
    TFont* F = nullptr;
    TColor FC = 0, BC = 0;
    StyleColors(Style, F, FC, BC);
    Upper = Style >= 0 && Style < FTextStyles->Count() && !GetSyntaxParser() &&
            FTextStyles->GetItem(Style)->UpperCase();
    return *F;
}

int32_t TCustomHSMemo::TextWidth(TFont& Font, const std::string& Text) {
    if (FFixedCharWidth > 0)
        return FFixedCharWidth * int32_t(Text.size());
    return FontManager().GetWidth(Font.Handle(), Text.data(), int(Text.size()));
}

int32_t TCustomHSMemo::SpaceWidth() {
    return TextWidth(Font(), " ");
}

int32_t TCustomHSMemo::MeasureChars(int32_t Line, const std::string& Text, const std::string& ColorS,
                                    int32_t From, int32_t To) {
    To = std::min<int32_t>(To, int32_t(Text.size()));
    int32_t Sum = 0;
    for (int32_t I = std::max(From, 0); I < To;) {
        const int32_t Style = StyleAt(ColorS, I, Line);
        int32_t J = I + 1;
        while (J < To && StyleAt(ColorS, J, Line) == Style)
            ++J;
        bool Upper = false;
        TFont& F = RunFont(Style, Upper);
        std::string Run = Text.substr(size_t(I), size_t(J - I));
        if (Upper)
            CharUpperBuffA(Run.data(), DWORD(Run.size()));
        Sum += TextWidth(F, Run);
        I = J;
    }
    return Sum;
}

int32_t TCustomHSMemo::SymbolsDrawn(int32_t Line, const std::string& Text, const std::string& ColorS,
                                    int32_t From, int32_t To, int32_t Width, bool WholeOnly, int32_t& Used) {
    Used = 0;
    To = std::min<int32_t>(To, int32_t(Text.size()));
    int32_t Count = 0;
    for (int32_t I = std::max(From, 0); I < To && Width - Used > 0;) {
        const int32_t Style = StyleAt(ColorS, I, Line);
        int32_t J = I + 1;
        while (J < To && StyleAt(ColorS, J, Line) == Style)
            ++J;
        bool Upper = false;
        TFont& F = RunFont(Style, Upper);
        std::string Run = Text.substr(size_t(I), size_t(J - I));
        if (Upper)
            CharUpperBuffA(Run.data(), DWORD(Run.size()));
        int N = 0, RunUsed = 0;
        const int Left = Width - Used;
        if (FFixedCharWidth > 0) {
            N = std::min<int>(int(Run.size()), Left / FFixedCharWidth);
            RunUsed = N * FFixedCharWidth;
            if (N < int(Run.size()) && !WholeOnly && Left - RunUsed > FFixedCharWidth / 2) {
                ++N;
                RunUsed += FFixedCharWidth;
            }
        } else {
            N = FontManager().GetCharsInWidth(F.Handle(), Run.data(), int(Run.size()), Left, false, WholeOnly,
                                              RunUsed);
        }
        Count += N;
        Used += RunUsed;
        if (N < int(Run.size()))
            break;
        I = J;
    }
    return Count;
}

POINT TCustomHSMemo::CalcStringSize(int32_t Line, const std::string& Text, const std::string& ColorS,
                                    int32_t Start, int32_t Count) {
    return POINT{MeasureChars(Line, Text, ColorS, Start, Start + Count), GetAveLineHeight()};
}

int32_t TCustomHSMemo::RowWidthTo(int32_t Line, int32_t RowStart, int32_t Char) {
    std::string Text, ColorS;
    GetStrData(Line, Text, ColorS);
    const int32_t Len = int32_t(Text.size());
    int32_t W = MeasureChars(Line, Text, ColorS, RowStart, std::min(Char, Len));
    if (Char > std::max(Len, RowStart))
        W += (Char - std::max(Len, RowStart)) * SpaceWidth();
    return W;
}

POINT TCustomHSMemo::MouseToTextPoint(int32_t X, int32_t Y, bool LimitToText) {
    TCustomMemoSource* S = GetSource();
    int32_t Top = 0;
    int32_t Row = Y >= 0 ? RowAtY(Y, Top) : FWinLine - 1;
    if (Row < 0)
        Row = 0;
    const bool Beyond = S->HasOption(soBeyondFileEnd);
    if (LimitToText && !Beyond)
        Row = std::min(Row, std::max(0, GetRealStrCount()));
    const int32_t RowLine = CheckVisibleIndex(Row, false);
    if (FWordWrap && X > GetWrapMargin())
        X = GetWrapMargin();
    const int32_t Col = PixelToTextChar(RowLine, X, true);
    POINT P = GetRealPosition(POINT{Col, RowLine});
    if (FWordWrap) {
        // A column past the end of a row that is not the line's last gives that row's last position.
        int32_t Start = 0;
        bool More = false;
        const POINT Back = GetWBPositionEx(P, Start, More);
        if (Back.y != RowLine) {
            int32_t Pos = P.x;
            const POINT RowStartPoint = GetRealPosition(POINT{0, RowLine});
            Pos = RowStartPoint.x + 1;
            P.x = FindWordBreak(RowStartPoint.y, Pos) - 1;
            P.y = RowStartPoint.y;
        }
    }
    if (P.y >= S->GetStrCount() && !Beyond)
        P.y = std::max(0, S->GetStrCount() - 1);
    return P;
}

// --- line heights (proportional fonts) ------------------------------------------------------
// A line is as high as the tallest font it uses, never lower than the memo's average line; every
// row of a wrapped line takes the line's height. With UseMonoFont every row is one average line.

int32_t TCustomHSMemo::GetRealLineHeight(int32_t Line) {
    int32_t Ascent = 0;
    return LineMetrics(Line, Ascent);
}

int32_t TCustomHSMemo::GetBaseLine(int32_t Line) {
    int32_t Ascent = 0;
    LineMetrics(Line, Ascent);
    return Ascent;
}

int32_t TCustomHSMemo::LineMetrics(int32_t Line, int32_t& Ascent) {
    const int32_t Ave = std::max(1, GetAveLineHeight());
    Ascent = 0;
    if (FUseMonoFont || FFixedLineHeight > 0 || Line < 0 || Line >= GetSource()->GetStrCount())
        return Ave;
    const int32_t Own = FontManager().GetFontHeight(Font().Handle());
    Ascent = FontManager().GetFontInfo(Font().Handle()).Ascent;
    std::string Text, ColorS;
    GetStrData(Line, Text, ColorS);
    if (ColorS.empty())
        return Ave;
    // The tallest ascent and the tallest descent of the line's fonts make its height.
    int32_t Descent = Own - Ascent;
    const int32_t Len = std::min<int32_t>(int32_t(Text.size()), int32_t(ColorS.size()));
    for (int32_t I = 0; I < Len;) {
        const int32_t Style = StyleAt(ColorS, I, Line);
        int32_t J = I + 1;
        while (J < Len && StyleAt(ColorS, J, Line) == Style)
            ++J;
        bool Upper = false;
        TFont& F = RunFont(Style, Upper);
        if (&F != &Font()) {
            const TFontInfo& Info = FontManager().GetFontInfo(F.Handle());
            const int32_t A = Info.Ascent, D = Info.Descent;
            Ascent = std::max(Ascent, A);
            Descent = std::max(Descent, D);
        }
        I = J;
    }
    return std::max(Ave, Ascent + Descent);
}

int32_t TCustomHSMemo::RowHeight(int32_t Row) {
    if (FUseMonoFont)
        return std::max(1, GetAveLineHeight());
    return GetRealLineHeight(GetRealPosition(POINT{0, CheckVisibleIndex(Row, false)}).y);
}

int32_t TCustomHSMemo::RowTop(int32_t Row) {
    const int32_t Ave = std::max(1, GetAveLineHeight());
    if (FUseMonoFont)
        return (Row - FWinLine) * Ave;
    // Rows far outside the window count as average lines: only what can be seen is measured.
    const int32_t Limit = ClientH() + 4 * Ave;
    int32_t Y = 0, R = FWinLine;
    if (Row >= FWinLine) {
        for (; R < Row && Y <= Limit; ++R)
            Y += RowHeight(R);
        return Y + (Row - R) * Ave;
    }
    for (; R > Row && -Y <= Limit; --R)
        Y -= RowHeight(R - 1);
    return Y - (R - Row) * Ave;
}

int32_t TCustomHSMemo::RowAtY(int32_t Y, int32_t& Top) {
    const int32_t Ave = std::max(1, GetAveLineHeight());
    if (FUseMonoFont) {
        const int32_t Rows = Y >= 0 ? Y / Ave : -((-Y + Ave - 1) / Ave);
        Top = Rows * Ave;
        return FWinLine + Rows;
    }
    const int32_t Limit = ClientH() + 4 * Ave;
    int32_t R = FWinLine, T = 0;
    if (Y >= 0) {
        for (;;) {
            if (T > Limit) {
                const int32_t Extra = (Y - T) / Ave;
                Top = T + Extra * Ave;
                return R + Extra;
            }
            const int32_t H = RowHeight(R);
            if (Y < T + H)
                break;
            T += H;
            ++R;
        }
        Top = T;
        return R;
    }
    while (T > Y && -T <= Limit) {
        --R;
        T -= RowHeight(R);
    }
    if (T > Y) {
        const int32_t Extra = (T - Y + Ave - 1) / Ave;
        R -= Extra;
        T -= Extra * Ave;
    }
    Top = T;
    return R;
}
