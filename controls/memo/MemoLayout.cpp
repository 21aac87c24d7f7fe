// Word wrap of the memo and the mapping between text positions and pixels. With UseMonoFont every
// character takes one average cell; otherwise each character is as wide as it is in its style's
// font, measured through the font manager's cached widths.
#include <algorithm>
#include <climits>

#include "controls/foundation/FontWidthCache.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoAttributes.h"

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
    std::string Text, ColorS;
    int32_t Len = 0;
    GetPaintedLine(Line, Text, ColorS, Len, !FUseMonoFont);
    return FindWordBreakIn(Line, Text, ColorS, GetSource()->Strings().Get(Line), Len, Pos, nullptr);
}

int32_t TCustomHSMemo::FindWordBreakIn(int32_t Line, const std::string& Text, const std::string& ColorS,
                                       const std::string& Plain, int32_t Len, int32_t& Pos, TWBPoint* Row) {
    const int32_t Start = Pos;
    int32_t M;
    const bool Proportional = !FUseMonoFont;
    if (FUseMonoFont) {
        CheckWBCount(false);
        M = FWBCount;
    } else {
        // Every character that fits whole between the text's left edge and the wrap margin.
        int32_t Used = 0;
        M = std::max(
            1, SymbolsDrawn(Line, Text, ColorS, Pos - 1, Len, GetWrapMargin() - GetPaintX(), true, Used));
    }
    // A word cut hard keeps M + 1 characters with UseMonoFont, whose count keeps a cell back for
    // that, and the M that fit otherwise; the character after them still ends the row when it is a
    // delimiter (a blank may stand in the margin), so a row keeps everything that fits.
    const int32_t Hard = Proportional ? M : M + 1;
    int32_t End = Len;
    if (Len - Pos + 1 > Hard) {
        // A shown blank or tab mark is still a blank: words end where the line's own text says.
        const std::string& Words = int32_t(Plain.size()) == Len ? Plain : Text;
        End = Pos + Hard - 1;
        for (int32_t I = Pos + M; I >= Pos; --I)
            if (GetSource()->InDelimSet(Words, I)) {
                End = I;
                break;
            }
        Pos = End + 1;
    } else {
        Pos = Len + 1;
    }
    if (Row) {
        *Row = TWBPoint();
        if (Proportional) {
            const POINT Size = CalcStringSize(Line, Text, ColorS, Start - 1, End - Start + 1, &Row->BaseLine);
            Row->Width = Size.x;
            Row->Height = Size.y;
        }
    }
    return End;
}

void TCustomHSMemo::ClearWrapRange(int32_t First, int32_t Last) {
    FWordWrapList->ClearRange(First, Last);
    FLineInfoList->ClearRange(First, Last);
    if (First < FWrappedTo && Last == INT_MAX)
        FWrappedTo = First;
}

void TCustomHSMemo::AddLineBreaks(int32_t Line, const std::string& Text, const std::string& ColorS,
                                  const std::string& Plain, int32_t Len) {
    int32_t Pos = 1;
    bool Broken = false;
    while (Pos <= Len) {
        // Each record carries the size of the row that ends at it; the line-info record that of
        // the last row.
        TWBPoint R;
        FindWordBreakIn(Line, Text, ColorS, Plain, Len, Pos, &R);
        R.Line = Line;
        if (Pos <= Len) {
            R.Char = Pos - 1;
            FWordWrapList->Add(R);
            Broken = true;
        } else if (Broken) {
            R.Char = 0;
            FLineInfoList->Add(R);
        }
    }
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
    // Lines that get more or fewer rows, or a line whose rows get another height, move the rows
    // below them: those are painted again too.
    const int32_t OldBreaks = ToEnd ? 0 : FWordWrapList->CountInRange(First, Last);
    const int32_t OldHeight = !ToEnd && !FUseMonoFont && First == Last ? GetWrappedLineHeight(First) : -1;
    if (First == 0 && ToEnd) {
        FWordWrapList->Clear();
        FLineInfoList->Clear();
    } else {
        FWordWrapList->ClearRange(First, ToEnd ? INT_MAX : Last);
        FLineInfoList->ClearRange(First, ToEnd ? INT_MAX : Last);
    }
    // In a fixed pitch without end symbols or custom strings, a line without tabs is painted as it
    // is stored: its stored text is measured and cut where it lies, without copies, and a line that
    // fits one row is passed over at the cost of looking for a tab in it.
    const bool AsStored = FUseMonoFont && !HasOption(moDrawSpecialSymbols) && !ChangesPaintedStrings();
    std::string Text, ColorS, Plain;
    for (int32_t Line = First; Line <= Last; ++Line) {
        if (AsStored) {
            const std::string& Stored = S->Strings().GetRaw(Line);
            if (!TextRoutines::HasTab(Stored)) {
                const int32_t Len = int32_t(Stored.size());
                if (Len > FWBCount)
                    AddLineBreaks(Line, Stored, std::string(), Stored, Len);
                continue;
            }
        }
        // The text as painted is cut, so that rows, the caret and the painter agree.
        int32_t Len = 0;
        GetPaintedLine(Line, Text, ColorS, Len, !FUseMonoFont);
        if (Len == 0 || (FUseMonoFont && Len <= FWBCount))
            continue;
        Plain = S->Strings().Get(Line);
        AddLineBreaks(Line, Text, ColorS, Plain, Len);
    }
    if (First == 0 && ToEnd)
        ++FFullWrapCount;
    if (ToEnd)
        FWrappedTo = First <= Last ? Last + 1 : First;
    else
        FWrappedTo = std::max(FWrappedTo, Last + 1);
    if (!FLazyWrapping) {
        const bool Moved = !ToEnd && (FWordWrapList->CountInRange(First, Last) != OldBreaks ||
                                      (OldHeight >= 0 && GetWrappedLineHeight(First) != OldHeight));
        WordWrapUpdated();
        InvalidateLines(First, ToEnd || Moved ? INT_MAX : Last);
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

POINT TCustomHSMemo::GetWBPositionEx(POINT P, int32_t& RowStart, bool& MoreRows, bool* PastMargin) {
    RowStart = 0;
    MoreRows = false;
    if (PastMargin)
        *PastMargin = false;
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
    if (MoreRows || Line < 0 || Line >= GetSource()->GetStrCount())
        return P;
    // A caret that stands past the end of the line's last row, beyond the wrap margin, is shown at
    // the start of the row below.
    bool Past = false;
    if (FUseMonoFont) {
        CheckWBCount(false);
        if (P.x > FWBCount + 1) {
            P.y = int32_t(std::min<int64_t>(INT_MAX, int64_t(P.y) + P.x / FWBCount));
            Past = true;
        }
    } else {
        std::string Text, ColorS;
        GetStrData(Line, Text, ColorS);
        const int32_t Len = int32_t(Text.size());
        if (RowStart + P.x > Len) {
            const int32_t Room =
                GetWrapMargin() - GetPaintX() - MeasureChars(Line, Text, ColorS, RowStart, Len);
            const int32_t Cells = std::max(0, Room) / std::max(1, SpaceWidth());
            if (RowStart + P.x - Len > Cells) {
                ++P.y;
                Past = true;
            }
        }
    }
    if (Past) {
        P.x = 0;
        if (PastMargin)
            *PastMargin = true;
    }
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
    bool More = false, Past = false;
    GetWBPositionEx(P, RowStart, More, &Past);
    const int32_t X0 = GetPaintX() - FWinChar * GetAveCharWidth();
    return Past ? X0 : X0 + RowWidthTo(P.y, RowStart, P.x);
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
    const TRowInfo R = RowInfo(CheckVisibleIndex(Row, true));
    const POINT Start{R.Start, R.Line};
    std::string Text, ColorS;
    GetStrData(Start.y, Text, ColorS);
    const bool More = !R.Last;
    const int32_t RowEnd = More ? std::min<int32_t>(R.End, int32_t(Text.size())) : int32_t(Text.size());
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
    int32_t TextLen = 0;
    GetPaintedLine(Line, Text, ColorS, TextLen);
    Text.resize(size_t(TextLen));
    if (int32_t(ColorS.size()) > TextLen)
        ColorS.resize(size_t(TextLen));
}

namespace {
// The item's colour data spread over the columns of its expanded tabs, as the source hands it to
// the painter.
std::string ItemColorData(const TCustomMemoSource& S, const TStringItem& Item) {
    const std::string& Colors = Item.ColorData;
    if (Colors.empty() || Item.Text.find('\t') == std::string::npos)
        return Colors;
    std::string Aligned;
    for (size_t I = 0; I < Item.Text.size(); ++I) {
        const char B = I < Colors.size() ? Colors[I] : '\0';
        const size_t W = Item.Text[I] == '\t' ? size_t(S.Tabs().TabWidthAt(int32_t(Aligned.size()) + 1)) : 1;
        Aligned.append(W, B);
    }
    return Aligned;
}
} // namespace

void TCustomHSMemo::GetPaintedLine(int32_t Line, std::string& Text, std::string& ColorS, int32_t& TextLen,
                                   bool Colors, const TStringItem* Item) {
    TCustomMemoSource* S = GetSource();
    Text.clear();
    ColorS.clear();
    const int32_t Count = S->GetStrCount();
    const bool Special = HasOption(moDrawSpecialSymbols);
    const bool UseColors = Colors && UsesColorData();
    size_t EndLen = 0;
    if (Line >= 0 && Line < Count) {
        Text = Special
                   ? S->GetSpecialString(Line, true, FSpecialSymbols->TabChar(), FSpecialSymbols->SpaceChar())
                   : S->Strings().Get(Line);
        if (UseColors)
            ColorS = Item ? ItemColorData(*S, *Item) : S->GetStoredColorData(Line);
        if (Special) {
            // Free formatting carries the line's last attribute on to its end symbol.
            const bool AttributeMode = dynamic_cast<TAttributeParser*>(GetSyntaxParser()) != nullptr;
            const char EolStyle = AttributeMode && !ColorS.empty() ? ColorS.back() : '\0';
            EndLen = FSpecialSymbols->EOLString().size();
            Text += FSpecialSymbols->EOLString();
            if (UseColors)
                ColorS.append(EndLen, EolStyle);
        }
    } else if (Line == Count && Special && !FSpecialSymbols->EOFString().empty()) {
        Text = FSpecialSymbols->EOFString();
        EndLen = Text.size();
        if (UseColors)
            ColorS.assign(Text.size(), '\0');
    }
    DoCustomString(Text, ColorS);
    TextLen = int32_t(Text.size() > EndLen ? Text.size() - EndLen : 0);
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
                                    int32_t Start, int32_t Count, int32_t* BaseLine) {
    int32_t Ascent = 0;
    const int32_t Height = RunMetrics(Line, Text, ColorS, Start, Start + Count, Ascent);
    if (BaseLine)
        *BaseLine = Ascent;
    return POINT{MeasureChars(Line, Text, ColorS, Start, Start + Count), Height};
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
// A line is as high as the tallest font it uses, never lower than the memo's average line; a row of
// a wrapped line is as high as the fonts on that row, measured when the line is wrapped. With
// UseMonoFont every row is one average line.

void TCustomHSMemo::GetLineHeight(int32_t Line, TStringItem& Item) {
    Item.Measure[0] = std::max(1, GetAveLineHeight());
    Item.Measure[1] = Item.Measure[2] = 0;
    if (FUseMonoFont)
        return;
    // The source calls this while it parses the line: its text and colours come from the item, as
    // asking the source would parse again.
    std::string Text, ColorS;
    int32_t Len = 0;
    GetPaintedLine(Line, Text, ColorS, Len, true, &Item);
    int32_t Ascent = 0;
    Item.Measure[0] = RunMetrics(Line, Text, ColorS, 0, Len, Ascent);
    Item.Measure[1] = MeasureChars(Line, Text, ColorS, 0, Len);
    Item.Measure[2] = Ascent;
}

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
    Ascent = 0;
    if (FUseMonoFont || FFixedLineHeight > 0 || Line < 0 || Line >= GetSource()->GetStrCount())
        return std::max(1, GetAveLineHeight());
    std::string Text, ColorS;
    GetStrData(Line, Text, ColorS);
    return RunMetrics(Line, Text, ColorS, 0, int32_t(Text.size()), Ascent);
}

int32_t TCustomHSMemo::RunMetrics(int32_t Line, const std::string& Text, const std::string& ColorS,
                                  int32_t From, int32_t To, int32_t& Ascent) {
    const int32_t Ave = std::max(1, GetAveLineHeight());
    Ascent = 0;
    if (FUseMonoFont || FFixedLineHeight > 0 || ColorS.empty())
        return Ave;
    const int32_t Own = FontManager().GetFontHeight(Font().Handle());
    Ascent = FontManager().GetFontInfo(Font().Handle()).Ascent;
    // The tallest ascent and the tallest descent of the fonts make the height.
    int32_t Descent = Own - Ascent;
    To = std::min<int32_t>(To, std::min<int32_t>(int32_t(Text.size()), int32_t(ColorS.size())));
    for (int32_t I = std::max(From, 0); I < To;) {
        const int32_t Style = StyleAt(ColorS, I, Line);
        int32_t J = I + 1;
        while (J < To && StyleAt(ColorS, J, Line) == Style)
            ++J;
        bool Upper = false;
        TFont& F = RunFont(Style, Upper);
        if (&F != &Font()) {
            const TFontInfo& Info = FontManager().GetFontInfo(F.Handle());
            Ascent = std::max(Ascent, Info.Ascent);
            Descent = std::max(Descent, Info.Descent);
        }
        I = J;
    }
    return std::max(Ave, Ascent + Descent);
}

int32_t TCustomHSMemo::GetWrappedLineHeight(int32_t Line) {
    if (!FWordWrap || FUseMonoFont)
        return (FWordWrap ? FWordWrapList->CountInRange(Line, Line) + 1 : 1) *
               std::max(1, GetAveLineHeight());
    int32_t I = 0;
    FWordWrapList->Find(INT_MIN, Line, I);
    const int32_t Begin = I;
    int32_t H = 0;
    for (; I < FWordWrapList->Count() && FWordWrapList->Item(I).Line == Line; ++I)
        H += std::max(1, FWordWrapList->Item(I).Height);
    int32_t Info = 0;
    if (I == Begin || !FLineInfoList->Find(0, Line, Info))
        return H + GetRealLineHeight(Line);
    return H + std::max(1, FLineInfoList->Item(Info).Height);
}

int32_t TCustomHSMemo::RowHeight(int32_t Row) {
    if (FUseMonoFont)
        return std::max(1, GetAveLineHeight());
    return RowInfo(Row).Height;
}

TCustomHSMemo::TRowInfo TCustomHSMemo::RowInfo(int32_t Row) {
    if (!FWordWrap) {
        TRowInfo R;
        R.Line = CheckVisibleIndex(Row, false);
        R.Height = LineMetrics(R.Line, R.BaseLine);
        return R;
    }
    CheckLastWrappedLine(Row);
    bool Exact = false;
    const int32_t Index = FWordWrapList->FindNear(0, Row, true, Exact);
    return FillRowInfo(Index, Row - (Index + 1), Exact ? FWordWrapList->Item(Index).Char : 0);
}

TCustomHSMemo::TRowInfo TCustomHSMemo::RowInfoAt(POINT P) {
    if (!FWordWrap) {
        TRowInfo R;
        R.Line = P.y;
        R.Height = LineMetrics(R.Line, R.BaseLine);
        return R;
    }
    CheckLastWrappedLine(P.y);
    bool Exact = false;
    const int32_t Index = FWordWrapList->FindNear(P.x, P.y, false, Exact);
    const bool OnLine = Index >= 0 && FWordWrapList->Item(Index).Line == P.y;
    return FillRowInfo(Index, P.y, OnLine ? FWordWrapList->Item(Index).Char : 0);
}

// Index is the break record at or before the row (-1 for none). The record after it ends the row
// when it lies on the same line and holds the row's size; the line's last row has its size in the
// line-info list, and a line that is not broken is measured whole.
TCustomHSMemo::TRowInfo TCustomHSMemo::FillRowInfo(int32_t Index, int32_t Line, int32_t Start) {
    TRowInfo R;
    R.Line = Line;
    R.Start = Start;
    const int32_t Next = Index + 1;
    const TWBPoint* Size = nullptr;
    if (Next < FWordWrapList->Count() && FWordWrapList->Item(Next).Line == Line) {
        R.End = FWordWrapList->Item(Next).Char;
        R.Last = false;
        Size = &FWordWrapList->Item(Next);
    } else if (Start > 0) {
        int32_t I = 0;
        if (FLineInfoList->Find(0, Line, I))
            Size = &FLineInfoList->Item(I);
    }
    if (FUseMonoFont) {
        R.Height = std::max(1, GetAveLineHeight());
    } else if (Size && Size->Height > 0) {
        R.Height = Size->Height;
        R.BaseLine = Size->BaseLine;
    } else {
        R.Height = LineMetrics(Line, R.BaseLine);
    }
    return R;
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
