// The memo's settings: global options, view options and the setters that re-wrap, recolour,
// rescroll or repaint, the text-style host, fonts and the metrics that follow them.
#include <algorithm>
#include <climits>

#include "controls/foundation/PropertyUtils.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoScopes.h"
#include "controls/textmodel/MemoOptions.h"

// --- options --------------------------------------------------------------------------------

void TCustomHSMemo::SetUseGlobalOptions(bool Value) {
    if (Value == FUseGlobalOptions)
        return;
    if (Value)
        LoadGlobalOptions();
    FUseGlobalOptions = Value;
    // A memo on its own source takes the global editing settings of the text model too.
    if (!FMemoSource)
        ::SetUseGlobalOptions(*FDefaultSource, Value);
}

void TCustomHSMemo::LoadGlobalOptions() {
    TMemoEnvOptions* G = GlobalMemoOptions();
    FTextStyles->BeginParserUpdate();
    struct TEnd {
        TTextStyles& S;
        ~TEnd() { S.EndParserUpdate(); }
    } End{*FTextStyles};
    AssignPropsEx(
        G, this,
        "KeyMapping,Options,MarginPos,GutterWidth,GutterBrush,MarginPen,LineSeparator,LineHighlight,Font,"
        "Color,TextStyles,UseMonoFont,UseReadOnlyColor,ReadOnlyColor,SpecialSymbols");
    SetColor(G->Color());
    FTextStyles->UpdateParams();
}

void TCustomHSMemo::SetOptions(TMemoOptions Value) {
    if (Value == FOptions)
        return;
    const bool WasSyntax = NeedSyntaxPaint();
    const int32_t OldWidth = TextWidthForWrap();
    FOptions = Value;
    FWBCount = 0;
    UpdateLineNumbersWidth();
    FMemoBackground->BackgroundChanged();
    FGutterBackground->BackgroundChanged();
    UpdateCaret();
    UpdateCaretMode();
    Invalidate();
    if (FWordWrap && OldWidth != TextWidthForWrap())
        WordWrapLines(0, INT_MAX, true);
    if (WasSyntax != NeedSyntaxPaint() && !FUseMonoFont)
        GetSource()->ParserChanged();
    UpdateScrollSize();
    UpdateScrollPos();
}

int32_t TCustomHSMemo::TextWidthForWrap() {
    return GetWrapMargin() - GetPaintX();
}

void TCustomHSMemo::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    WordWrapLines(0, INT_MAX, true);
    if (!Value) {
        WordWrapUpdated();
        Invalidate();
    } else {
        FWinChar = 0;
    }
    UpdateMaxLine(false);
}

void TCustomHSMemo::SetUseMonoFont(bool Value) {
    if (Value == FUseMonoFont)
        return;
    FUseMonoFont = Value;
    TCustomMemoSource* S = GetSource();
    if (Value) {
        FSavedBlockOption = S->BlockOption();
        FSavedBlockOptionValid = true;
        if (FSavedBlockOption == bkBoth)
            S->SetBlockOption(bkStreamSel);
        if (FSavedBlockOption == bkBlockSel)
            S->SetBlockOption(bkNone);
    } else if (FSavedBlockOptionValid) {
        S->SetBlockOption(FSavedBlockOption);
        FSavedBlockOptionValid = false;
    }
    if (S->ActiveView == this)
        InstallViewHandlers(S);
    UpdateAveSize();
    // The lines are measured again (in pixels, or no more), and so is the longest one.
    S->ParserChanged();
    FWBCount = 0;
    if (FWordWrap)
        WordWrapLines(0, INT_MAX, true);
    UpdateCaretMode();
    UpdateCaret();
    UpdateMaxLine(true);
    Invalidate();
}

void TCustomHSMemo::SetHideCaret(bool Value) {
    if (Value == FHideCaret)
        return;
    FHideCaret = Value;
    UpdateCaretMode();
    UpdateCaret();
}

void TCustomHSMemo::SetHideSelection(bool Value) {
    if (Value == FHideSelection)
        return;
    FHideSelection = Value;
    if (!HasFocus())
        Invalidate();
}

void TCustomHSMemo::SetMarginPos(int32_t Value) {
    if (Value == FMarginPos || Value < 0)
        return;
    FMarginPos = Value;
    if (FWordWrap && HasOption(moBreakWordAtMargin))
        WordWrapLines(0, INT_MAX, true);
    Invalidate();
}

void TCustomHSMemo::SetGutterWidth(int32_t Value) {
    if (Value == FGutterWidth || Value < 0)
        return;
    FGutterWidth = Value;
    FGutterBackground->BackgroundChanged();
    if (FWordWrap)
        WordWrapLines(0, INT_MAX, true);
    if (HasOption(moDrawGutter))
        Invalidate();
}

void TCustomHSMemo::SetGutterLineIndent(int32_t Value) {
    if (Value == FGutterLineIndent)
        return;
    FGutterLineIndent = Value;
    if (HasOption(moLineNumbers))
        Invalidate();
}

void TCustomHSMemo::SetLeftIndent(int32_t Value) {
    Value = std::max(Value, 0);
    if (Value == FLeftIndent)
        return;
    FLeftIndent = Value;
    if (HasOption(moLeftIndent)) {
        if (FWordWrap)
            WordWrapLines(0, INT_MAX, true);
        Invalidate();
    }
}

void TCustomHSMemo::SetLineNumAlign(TAlignment Value) {
    if (Value == FLineNumAlign)
        return;
    FLineNumAlign = Value;
    Invalidate();
}

void TCustomHSMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    if (HandleAllocated())
        RecreateWnd();
    UpdateMaxLine(true);
}

void TCustomHSMemo::SetHideScrollBars(bool Value) {
    if (Value == FHideScrollBars)
        return;
    FHideScrollBars = Value;
    UpdateScrollSize();
    UpdateScrollPos();
    UpdateMaxLine(false);
}

void TCustomHSMemo::SetHorzMaxPos(int32_t Value) {
    if (Value < 40 || Value > 9999 || Value == FHorzMaxPos)
        return;
    FHorzMaxPos = Value;
    UpdateScrollPos();
    UpdateScrollSize();
}

void TCustomHSMemo::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomHSMemo::SetGutterImgsAlign(TGutterImgsAlign Value) {
    if (Value == FGutterImgsAlign)
        return;
    FGutterImgsAlign = Value;
    Invalidate();
}

#define MEMO_COLOR_SETTER(Name, Field)                                                                       \
    void TCustomHSMemo::Set##Name(TColor Value) {                                                            \
        if (Value == Field)                                                                                  \
            return;                                                                                          \
        Field = Value;                                                                                       \
        Invalidate();                                                                                        \
    }
MEMO_COLOR_SETTER(SelColor, FSelColor)
MEMO_COLOR_SETTER(SelBackColor, FSelBackColor)
MEMO_COLOR_SETTER(MatchColor, FMatchColor)
MEMO_COLOR_SETTER(MatchBackColor, FMatchBackColor)
MEMO_COLOR_SETTER(GutterBackColor, FGutterBackColor)
MEMO_COLOR_SETTER(GutterLineColor, FGutterLineColor)
MEMO_COLOR_SETTER(LineBookmarkColor, FLineBookmarkColor)
#undef MEMO_COLOR_SETTER

void TCustomHSMemo::SetDisabledColor(TColor Value) {
    if (Value == FDisabledColor)
        return;
    FDisabledColor = Value;
    if (!Enabled())
        Invalidate();
}
void TCustomHSMemo::SetReadOnlyColor(TColor Value) {
    if (Value == FReadOnlyColor)
        return;
    FReadOnlyColor = Value;
    if (ReadOnly())
        Invalidate();
}
void TCustomHSMemo::SetLineNumColor(TColor Value) {
    if (Value == FLineNumColor)
        return;
    FLineNumColor = Value;
    if (HasOption(moLineNumbers))
        Invalidate();
}
void TCustomHSMemo::SetLineNumBackColor(TColor Value) {
    if (Value == FLineNumBackColor)
        return;
    FLineNumBackColor = Value;
    if (HasOption(moLineNumbers))
        Invalidate();
}

void TCustomHSMemo::SetMarginPen(const TPen& Value) {
    FMarginPen->Assign(Value);
    if (FMarginPen->Width() > 2)
        FMarginPen->SetWidth(2);
}

void TCustomHSMemo::SetTextStyles(TTextStyles* Value) {
    if (Value)
        FTextStyles->Assign(Value);
    UpdateAveSize();
    Invalidate();
}

void TCustomHSMemo::TempHighlightLineWithStyle(int32_t Line, const std::string& StyleName) {
    const int Index = FTextStyles->IndexOfName(StyleName);
    if (Index >= 0)
        GetSource()->TempHighlightLine(Line, uint8_t(Index));
}

void TCustomHSMemo::ToggleImageAndTextStyle(const std::string& Name) {
    const int Style = FTextStyles->IndexOfName(Name);
    const int Image = FGutterImgs->IndexOfName(Name);
    TCustomMemoSource* S = GetSource();
    const int32_t Line = S->GetCurLine();
    if (Style < 0 || Image < 0 || Line >= S->GetStrCount())
        return;
    TSourceUpdate Update(*S, 2);
    const bool Set = !S->GetImageBit(Line, Image);
    S->SetImageBit(Line, Image, Set);
    S->SetLineTextStyle(Line, Set ? uint8_t(Style) : 0);
}

// --- text-style host ------------------------------------------------------------------------

void TCustomHSMemo::HostSetTextColors(TColor FontColor, TColor BackColor) {
    Font().SetColor(FontColor);
    SetColor(BackColor);
}
void TCustomHSMemo::HostSetSelectionColors(TColor FontColor, TColor BackColor) {
    SetSelColor(FontColor);
    SetSelBackColor(BackColor);
}
void TCustomHSMemo::HostSetMatchColors(TColor FontColor, TColor BackColor) {
    SetMatchColor(FontColor);
    SetMatchBackColor(BackColor);
}
void TCustomHSMemo::HostParserChanged() {
    GetSource()->ParserChanged();
}
void TCustomHSMemo::HostStylesUpdated(bool ParserWasChanged) {
    if (ParserWasChanged)
        UpdateCaretMode();
    UpdateAveSize();
    UpdateScrollSize();
    UpdateScrollPos();
    Invalidate();
}

void TCustomHSMemo::FontChanged() {
    THSCustomControl::FontChanged();
    FontOnChange();
}

void TCustomHSMemo::ColorChanged() {
    THSCustomControl::ColorChanged();
    // Styles that follow the memo's colour take the new one.
    if (FTextStyles)
        FTextStyles->UpdateParams();
    Invalidate();
}

void TCustomHSMemo::EnabledChanged() {
    THSCustomControl::EnabledChanged();
    if (!Enabled()) {
        if (GetSource()->SelectionType() != stNotSelected)
            ClearSelection();
        if (FCaretCreated && HandleAllocated())
            ::HideCaret(Handle());
    }
    Invalidate();
}

void TCustomHSMemo::FontOnChange() {
    Invalidate();
    if (FTextStyles)
        FTextStyles->UpdateParams();
    UpdateAveSize();
    UpdateLineNumbersWidth();
    if (!FWordWrapList)
        return;
    FCaretWidth = 0;
    UpdateCaretMode();
    FWBCount = 0;
    WordWrapLines(0, INT_MAX, true);
    // The source's pixel sizes of the lines were measured in the old font.
    if (!FUseMonoFont && GetSource()->LineMeasureHandler)
        GetSource()->ParserChanged();
    UpdateScrollSize();
    UpdateScrollPos();
}

void TCustomHSMemo::UpdateAveSize() {
    FAveLineHeight = 0;
    FAveCharWidth = 0;
    GetAveLineHeight();
    GetAveCharWidth();
}

void TCustomHSMemo::UpdateLineHeight() {
    FAveLineHeight = 0;
    GetAveLineHeight();
}

void TCustomHSMemo::UpdateMaxLine(bool Force) {
    // Only a horizontal bar that hides itself reads the longest line; once asked, the source keeps
    // it up to date through every edit. A wrapping memo's bar spans the margin instead: it asks when
    // wrapping stops (SetWordWrap), so binding a large text measures no line.
    TCustomMemoSource* S = GetSource();
    const bool Horizontal = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    if (FHideScrollBars && Horizontal && !HasState(csLoading) &&
        (Force || (!FWordWrap && !S->MaxLineTracked())))
        S->UpdateMaxLine();
    UpdateScrollSize();
    UpdateScrollPos();
}

void TCustomHSMemo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const int32_t OldWidth = FWordWrapList ? TextWidthForWrap() : 0;
    THSCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FWordWrapList)
        return;
    if (FWordWrap && !HasOption(moBreakWordAtMargin) && OldWidth != TextWidthForWrap()) {
        // A caret beyond its line's end would land on another row once the rows change.
        TCustomMemoSource* S = GetSource();
        if (HandleAllocated() && S->GetCurLine() < S->GetStrCount() &&
            S->GetCurChar() > int32_t(S->Strings().Get(S->GetCurLine()).size())) {
            TSourceUpdate Update(*S, 2);
            S->JumpToLineEnd();
        }
        FWBCount = 0;
        WordWrapLines(0, INT_MAX, true);
    }
    if (UpdateLineNumbersWidth())
        Invalidate();
}
