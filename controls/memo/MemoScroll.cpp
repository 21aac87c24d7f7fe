// Scrolling the memo's window, the caret commands that the key maps bind (cursor moves, line ends,
// screen edges, pages, marking) and the scroll bars.
#include <algorithm>
#include <climits>

#include "controls/memo/Memo.h"
#include "controls/memo/MemoScopes.h"

// --- scrolling the window -------------------------------------------------------------------

void TCustomHSMemo::SetWinLine(int32_t Value) {
    if (Value != FWinLine)
        ScrollScreenVert(Value - FWinLine);
}

void TCustomHSMemo::SetWinChar(int32_t Value) {
    if (Value != FWinChar)
        ScrollScreenHorz(Value - FWinChar);
}

void TCustomHSMemo::ScrollScreenVert(int32_t Delta) {
    if (FWinLine + Delta < 0)
        Delta = -FWinLine;
    if (!GetSource()->HasOption(soBeyondFileEnd)) {
        const int32_t Max = std::max(0, GetRealStrCountEx());
        if (FWinLine + Delta > Max)
            Delta = Max - FWinLine;
    }
    if (Delta == 0)
        return;
    const int32_t OldLine = FWinLine;
    FWinLine += Delta;
    QuickPaint(FWinChar, OldLine);
    UpdateCaret();
    UpdateScrollPos();
    DoMemoScroll(TScrollStyle::ssVertical, Delta);
}

void TCustomHSMemo::ScrollScreenHorz(int32_t Delta) {
    if (FWinChar + Delta < 0)
        Delta = -FWinChar;
    if (Delta == 0)
        return;
    const int32_t OldChar = FWinChar;
    FWinChar += Delta;
    QuickPaint(OldChar, FWinLine);
    UpdateCaret();
    UpdateScrollPos();
    DoMemoScroll(TScrollStyle::ssHorizontal, Delta);
}

void TCustomHSMemo::ScrollPageUp() {
    if (int32_t H = GetAveLineHeight())
        ScrollScreenVert(-(ClientH() / H));
}
void TCustomHSMemo::ScrollPageDown() {
    if (int32_t H = GetAveLineHeight())
        ScrollScreenVert(ClientH() / H);
}
void TCustomHSMemo::ScrollPageLeft() {
    if (int32_t W = GetAveCharWidth())
        ScrollScreenHorz(-((ClientW() - GetPaintX()) / W));
}
void TCustomHSMemo::ScrollPageRight() {
    if (int32_t W = GetAveCharWidth())
        ScrollScreenHorz((ClientW() - GetPaintX()) / W);
}

void TCustomHSMemo::DoMemoScroll(TScrollStyle Style, int32_t Delta) {
    if (OnMemoScroll)
        OnMemoScroll(this, Style, Delta);
}

void TCustomHSMemo::VerticalScroll(int32_t Code) {
    if (!HasOption(moShowScrollHint) || (Code != SB_THUMBTRACK && Code != SB_ENDSCROLL))
        return;
    int32_t Top = FWinLine;
    if (!HasOption(moThumbTracking) && HandleAllocated())
        Top = GetScrollPosEx(Handle(), SB_VERT);
    Top = CheckVisibleIndex(Top, false);
    bool Show = true;
    std::string Hint = "~Line~ " + std::to_string(Top + 1);
    if (OnVerticalScroll)
        OnVerticalScroll(this, Top, Code == SB_ENDSCROLL, Show, Hint);
    if (!Show)
        return;
    EnsurePopupHint();
    if (Code == SB_ENDSCROLL || !HandleAllocated()) {
        FPopupHint->CancelHint();
        return;
    }
    // Left of the vertical scroll bar, at the pointer's height, inside the memo.
    POINT Cursor{};
    GetCursorPos(&Cursor);
    RECT Window{};
    GetWindowRect(Handle(), &Window);
    const SIZE Size = FPopupHint->GetSize(Hint);
    const POINT Right = ClientToScreen(POINT{ClientW(), 0});
    POINT At{Right.x - Size.cx - 2,
             std::clamp<LONG>(Cursor.y, Window.top, std::max(Window.top, Window.bottom - Size.cy))};
    if (At.x < Window.left)
        At.x = Window.left;
    FPopupHint->ActivateHintAtPos(At, Hint);
}

void TCustomHSMemo::QuickPaint(int32_t OldChar, int32_t OldLine) {
    if (!HandleAllocated())
        return;
    // A picture stays where it is while the text moves over it: nothing can be scrolled.
    if (FMemoBackground->NeedPaint()) {
        Invalidate();
        return;
    }
    const int32_t DX = FWinChar - OldChar, DY = FWinLine - OldLine;
    RECT Text{GetPaintX(), 0, ClientW(), ClientH()};
    if (DX != 0) {
        if (DX * DX == 1 && DY == 0) {
            const int32_t W = GetAveCharWidth();
            ScrollWindowEx(Handle(), -DX * W, 0, &Text, &Text, nullptr, nullptr, SW_INVALIDATE);
            UpdateWindow(Handle());
        } else {
            Invalidate();
        }
    }
    if (DY != 0) {
        if (DY * DY == 1) {
            // The height of the row that leaves the window (down) or enters it (up).
            const int32_t H = RowHeight(DY > 0 ? OldLine : FWinLine);
            RECT All{0, 0, ClientW(), ClientH()};
            ScrollWindowEx(Handle(), 0, -DY * H, &All, &All, nullptr, nullptr, SW_INVALIDATE);
            UpdateWindow(Handle());
        } else {
            Invalidate();
        }
    }
    const int32_t G = GetRealGutterWidth();
    if (G > 0 && (FGutterBackground->NeedPaint() || FGutterBrush->Style() != TBrushStyle::bsSolid)) {
        RECT Gutter{0, 0, G, ClientH()};
        InvalidateRect(Handle(), &Gutter, FALSE);
    }
}

void TCustomHSMemo::DoBoundsChanged() {
    UpdateScrollPos();
    UpdateScrollSize();
    FMemoBackground->BackgroundChanged();
    FGutterBackground->BackgroundChanged();
}

void TCustomHSMemo::SetGutterBackground(TControlBackground* Value) {
    FGutterBackground->Assign(Value);
    Invalidate();
}

void TCustomHSMemo::EnsureCaretVisible() {
    EnsurePointVisible(GetCaretPoint());
}

void TCustomHSMemo::EnsurePointVisible(POINT P) {
    int32_t RowStart = 0;
    bool More = false;
    POINT W = GetWBPositionEx(P, RowStart, More);
    const int32_t Row = CheckVisibleIndex(W.y, true);
    const int32_t OldLine = FWinLine, OldChar = FWinChar;
    if (Row < FWinLine) {
        FWinLine = Row;
    } else {
        // Rows of different heights change how many fit: a few rounds settle it.
        for (int Round = 0; Round < (FUseMonoFont ? 1 : 10); ++Round) {
            const int32_t Max = GetMaxCaretLine();
            if (FWinLine + Max >= Row)
                break;
            FWinLine = Row - Max;
        }
    }
    const int32_t CW = GetAveCharWidth();
    if (CW > 0) {
        const int32_t X = TextToPixelChar(P);
        if (X < GetPaintX())
            FWinChar -= (GetPaintX() - X + CW - 1) / CW;
        // A view not laid out yet (no room for one character) has nothing to scroll into view; it
        // would keep that scroll once it has its size.
        else if (X + CW > ClientW() && !FWordWrap && ClientW() > GetPaintX() + CW)
            FWinChar += (X + CW - ClientW()) / CW + 1;
        if (FWinChar < 0)
            FWinChar = 0;
    }
    if (OldLine != FWinLine || OldChar != FWinChar) {
        QuickPaint(OldChar, OldLine);
        UpdateScrollPos();
        if (OldLine != FWinLine)
            DoMemoScroll(TScrollStyle::ssVertical, FWinLine - OldLine);
    }
    if (!UpdateCaretMode())
        UpdateCaret();
}

void TCustomHSMemo::MakeSearchPointVisible(const TMemoRect& R, bool UseStart) {
    EnsurePointVisible(UseStart ? POINT{R.Left, R.Top} : POINT{R.Right, std::max(R.Top, R.Bottom - 1)});
    if (CurrentFindSource != GetSource() || !HandleAllocated())
        return;
    const int32_t LastLine = std::max(R.Top, R.Bottom - 1);
    POINT TopLeft = TextToPixelPoint(POINT{R.Left, R.Top});
    POINT BottomRight = TextToPixelPoint(POINT{R.Right, LastLine});
    BottomRight.y += RowInfoAt(POINT{R.Right, LastLine}).Height;
    ::ClientToScreen(Handle(), &TopLeft);
    ::ClientToScreen(Handle(), &BottomRight);
    KeepFoundTextVisible(GetSource(), RECT{TopLeft.x, TopLeft.y, BottomRight.x, BottomRight.y});
}

void TCustomHSMemo::RecalculatePosition() {
    const int32_t Line = CaretLine();
    if (FLineHighlight->Visible() && Line != FLastCaretLine) {
        InvalidateLines(FLastCaretLine, FLastCaretLine);
        InvalidateLines(Line, Line);
    }
    FLastCaretLine = Line;
    FLastCaretChar = CaretChar();
    EnsureCaretVisible();
}

void TCustomHSMemo::CenteredJumpTo(int32_t Char, int32_t Line) {
    TCustomMemoSource* S = GetSource();
    {
        TSourceUpdate Update(*S, 2);
        S->JumpTo(Char, Line);
        // Centred before the update ends, so the caret is already shown when the views follow it
        // and the window moves once.
        CenterScreenOnLine();
    }
}

int32_t TCustomHSMemo::VisibleRows() {
    const int32_t H = GetAveLineHeight();
    return H > 0 ? ClientH() / H : 0;
}

void TCustomHSMemo::CenterScreenOnLine() {
    // The window moves once, to the centred line, and the caret's line is then already shown: a
    // move to bring the caret in before centring would redraw the scroll bar and scroll the
    // picture twice.
    int32_t RowStart = 0;
    bool More = false;
    const int32_t Row = CheckVisibleIndex(GetWBPositionEx(GetCaretPoint(), RowStart, More).y, true);
    const int32_t Half = VisibleRows() / 2;
    SetWinLine(Row <= Half ? 0 : Row - Half);
    RecalculatePosition();
    UpdateCaret();
}

void TCustomHSMemo::CenterScreenOnLineEx() {
    if (!IsPointVisible(GetCaretPoint()))
        CenterScreenOnLine();
    else
        RecalculatePosition();
}

bool TCustomHSMemo::IsPointVisible(POINT P) {
    int32_t RowStart = 0;
    bool More = false;
    const int32_t Row = CheckVisibleIndex(GetWBPositionEx(P, RowStart, More).y, true);
    return Row >= FWinLine && Row <= FWinLine + VisibleRows();
}

bool TCustomHSMemo::PromptedGotoLine() {
    int N = CaretLine() + 1;
    if (!ReadIntegerDialog("Go to line Number", "&Enter new line number:", 0, N, OnCreateDialog, this))
        return false;
    CenteredJumpTo(0, N - 1);
    return true;
}

// --- commands -------------------------------------------------------------------------------

void TCustomHSMemo::MemoCursorUp() {
    if (FHideCaret)
        return ScrollUp();
    TFlagScope Rows(FRowNavigation);
    GetSource()->CursorUp();
}
void TCustomHSMemo::MemoCursorDown() {
    if (FHideCaret)
        return ScrollDown();
    TFlagScope Rows(FRowNavigation);
    GetSource()->CursorDown();
}
void TCustomHSMemo::MemoCursorLeft() {
    if (FHideCaret)
        return ScrollLeft();
    TCustomMemoSource* S = GetSource();
    if (HasOption(moNotePadCursorStyle) && S->GetCurChar() == 0) {
        if (S->GetCurLine() > 0) {
            TSourceUpdate Update(*S, 2);
            S->JumpTo(S->GetCurChar(), S->GetCurLine() - 1);
            S->JumpToLineEnd();
        }
        return;
    }
    S->CursorLeft();
}
void TCustomHSMemo::MemoCursorRight() {
    if (FHideCaret)
        return ScrollRight();
    GetSource()->CursorRight();
}
void TCustomHSMemo::MemoMarkUp() {
    TFlagScope Rows(FRowNavigation);
    GetSource()->UnivMark([this] { GetSource()->CursorUp(); }, stStreamSel);
}
void TCustomHSMemo::MemoMarkDown() {
    TFlagScope Rows(FRowNavigation);
    GetSource()->UnivMark([this] { GetSource()->CursorDown(); }, stStreamSel);
}
void TCustomHSMemo::MemoMarkLeft() {
    GetSource()->UnivMark([this] { GetSource()->CursorLeft(); }, stStreamSel);
}
void TCustomHSMemo::MemoMarkRight() {
    GetSource()->UnivMark([this] { GetSource()->CursorRight(); }, stStreamSel);
}
void TCustomHSMemo::MemoMarkToLineBegin() {
    GetSource()->UnivMark([this] { MemoJumpToLineBegin(); }, stStreamSel);
}
void TCustomHSMemo::MemoMarkToLineEnd() {
    GetSource()->UnivMark([this] { MemoJumpToLineEnd(); }, stStreamSel);
}

void TCustomHSMemo::MemoJumpToLineBegin() {
    TCustomMemoSource* S = GetSource();
    if (!FWordWrap)
        return S->JumpToLineBegin();
    int32_t RowStart = 0;
    bool More = false;
    GetWBPositionEx(GetCaretPoint(), RowStart, More);
    S->JumpToChar(RowStart);
}

void TCustomHSMemo::MemoJumpToLineEnd() {
    TCustomMemoSource* S = GetSource();
    if (!FWordWrap)
        return S->JumpToLineEnd();
    int32_t RowStart = 0;
    bool More = false;
    GetWBPositionEx(GetCaretPoint(), RowStart, More);
    if (!More)
        return S->JumpToLineEnd();
    int32_t Pos = RowStart + 1;
    const int32_t End = FindWordBreak(S->GetCurLine(), Pos);
    S->JumpToChar(End - 1);
}

void TCustomHSMemo::JumpToScreenTop() {
    TFlagScope Rows(FRowNavigation);
    int32_t RowStart = 0;
    bool More = false;
    const int32_t Row = CheckVisibleIndex(GetWBPositionEx(GetCaretPoint(), RowStart, More).y, true);
    GetSource()->Navigate(FWinLine - Row, 0);
}

void TCustomHSMemo::JumpToScreenBottom() {
    TFlagScope Rows(FRowNavigation);
    int32_t RowStart = 0;
    bool More = false;
    const int32_t Row = CheckVisibleIndex(GetWBPositionEx(GetCaretPoint(), RowStart, More).y, true);
    GetSource()->Navigate(GetMaxCaretLine() - (Row - FWinLine), 0);
}

void TCustomHSMemo::JumpLeftMost() {
    if (!FWordWrap)
        GetSource()->JumpToChar(FWinChar);
}
void TCustomHSMemo::JumpRightMost() {
    if (!FWordWrap)
        GetSource()->JumpToChar(FWinChar + GetMaxCaretChar());
}

void TCustomHSMemo::PageUp() {
    PageMove(false);
}
void TCustomHSMemo::PageDown() {
    PageMove(true);
}

void TCustomHSMemo::PageMove(bool Down) {
    TFlagScope Rows(FRowNavigation);
    if (FUseMonoFont) {
        const int32_t Page = std::max(1, GetMaxCaretLine());
        GetSource()->Navigate(Down ? Page : -Page, 0);
        return;
    }
    // Rows differ in height: the window moves by its own height in pixels, so that the row cut at
    // its bottom edge (top edge going up) stays in sight, and the caret keeps its place in the
    // window. At the ends of the text the window stops and the caret goes on.
    int32_t Top = 0;
    const int32_t Row = RowAtY(Down ? ClientH() : -ClientH(), Top);
    const int32_t Target = Down ? std::max(FWinLine + 1, Row - 1) : std::min(FWinLine - 1, Row + 1);
    const int32_t Delta = Target - FWinLine;
    SetWinLine(std::max(0, Target));
    GetSource()->Navigate(Delta, 0);
}

void TCustomHSMemo::PageLeft() {
    if (int32_t W = GetAveCharWidth())
        GetSource()->JumpToChar(std::max(0, CaretChar() - ClientW() / W));
}
void TCustomHSMemo::PageRight() {
    if (int32_t W = GetAveCharWidth())
        GetSource()->JumpToChar(CaretChar() + ClientW() / W);
}

void TCustomHSMemo::MarkToTop() {
    GetSource()->UnivMark([this] { JumpToScreenTop(); }, stStreamSel);
}
void TCustomHSMemo::MarkToBottom() {
    GetSource()->UnivMark([this] { JumpToScreenBottom(); }, stStreamSel);
}
void TCustomHSMemo::MarkPageUp() {
    GetSource()->UnivMark([this] { PageUp(); }, stStreamSel);
}
void TCustomHSMemo::MarkPageDown() {
    GetSource()->UnivMark([this] { PageDown(); }, stStreamSel);
}
void TCustomHSMemo::MarkColToTop() {
    GetSource()->UnivMark([this] { JumpToScreenTop(); }, stBlockSel);
}
void TCustomHSMemo::MarkColToBottom() {
    GetSource()->UnivMark([this] { JumpToScreenBottom(); }, stBlockSel);
}
void TCustomHSMemo::MarkColPageUp() {
    GetSource()->UnivMark([this] { PageUp(); }, stBlockSel);
}
void TCustomHSMemo::MarkColPageDown() {
    GetSource()->UnivMark([this] { PageDown(); }, stBlockSel);
}

void TCustomHSMemo::ProcessEscape() {
    CancelDragging();
    GetSource()->ProcessEscape();
}

// CopyToClipboard, CutToClipboard, PasteFromClipboard: MemoRtfTransfer.cpp.

// The memo's own vertical caret commands move by rows (wrapped rows with word wrap) and keep the
// pixel column. Every other move of the source (a jump to a line, a paste going down line by line,
// a block command, an undone move) counts real lines and is left alone.
void TCustomHSMemo::GetNavigation(int32_t& DY, int32_t& DX) {
    if (DX != 0 || !FRowNavigation || GetSource()->IndentMode()) {
        if (DX != 0 || DY != 0)
            FNavValid = false;
        return;
    }
    if (DY == 0)
        return;
    TCustomMemoSource* S = GetSource();
    const POINT Caret = GetCaretPoint();
    if (!FNavValid) {
        FNavX = TextToPixelChar(Caret);
        FNavWinChar = FWinChar;
        FNavValid = true;
    }
    int32_t RowStart = 0;
    bool More = false;
    POINT W = GetWBPositionEx(Caret, RowStart, More);
    int32_t Row = CheckVisibleIndex(W.y, true) + DY;
    const int32_t Last = GetRealStrCount();
    if (!S->HasOption(soBeyondFileEnd) && Row > Last)
        Row = Last;
    if (Row < 0)
        Row = 0;
    const int32_t SavedWinChar = FWinChar;
    FWinChar = FNavWinChar;
    const int32_t Col = std::max(0, PixelToTextChar(CheckVisibleIndex(Row, false), FNavX, true));
    FWinChar = SavedWinChar;
    POINT Target = GetRealPosition(POINT{Col, CheckVisibleIndex(Row, false)});
    if (FWordWrap) {
        // A column past the end of a row that is not the line's last stays on that row.
        int32_t TStart = 0;
        bool TMore = false;
        POINT Back = GetWBPositionEx(Target, TStart, TMore);
        if (Back.y != CheckVisibleIndex(Row, false)) {
            int32_t Pos = TStart + 1;
            Target.x = FindWordBreak(Target.y, Pos) - 1;
            (void)TMore;
        }
    }
    DY = Target.y - Caret.y;
    DX = Target.x - Caret.x;
    const bool Keep = FNavValid;
    // The source moves by both deltas; the remembered pixel column survives this vertical move.
    FNavValid = Keep;
}

// --- scroll bars ----------------------------------------------------------------------------

namespace {
// Setting a bar redraws it, and under Wine that costs milliseconds even when nothing changed; the
// memo asks for its sizes after every change of its text or layout, so a bar that already shows the
// range and page is left alone.
void SetScrollSize(HWND Wnd, int Bar, int Max, int Page) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_RANGE | SIF_PAGE;
    if (Page >= 0 && GetScrollInfo(Wnd, Bar, &SI) && SI.nMin == 0 && SI.nMax == Max && SI.nPage == UINT(Page))
        return;
    _SetScrollSize(Wnd, Bar, 0, Max, Page);
}
} // namespace

int32_t TCustomHSMemo::CharScrollSize() {
    const int32_t CW = std::max(1, GetAveCharWidth());
    if (!FHideScrollBars)
        return CW;
    if (FWordWrap && GetWrapMargin() > ClientW())
        return 1;
    // The source measures its longest line in pixels once it has the memo's measurement callback.
    TCustomMemoSource* S = GetSource();
    if (!FUseMonoFont && S->LineMeasureHandler && S->MaxLineTracked())
        return 1;
    return CW;
}

void TCustomHSMemo::UpdateScrollSize() {
    if (!HandleAllocated() || !FWordWrapList)
        return;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) {
        const int32_t Page = std::max(1, (ClientW() - GetPaintX()) / CharScrollSize());
        if (!FHideScrollBars) {
            SetScrollSize(Handle(), SB_HORZ, FHorzMaxPos, Page);
        } else if (!FWordWrap) {
            const int32_t Max = GetSource()->MaxLineLength();
            SetScrollSize(Handle(), SB_HORZ, Max, Max < Page ? -1 : Page);
        } else if (GetWrapMargin() > ClientW()) {
            SetScrollSize(Handle(), SB_HORZ, GetWrapMargin(), ClientW());
        } else {
            SetScrollSize(Handle(), SB_HORZ, 0, -1);
        }
    }
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) {
        const int32_t Page = VisibleRows() + 1;
        int32_t Range = GetRealStrCountEx();
        if (FHideScrollBars && Page > Range) {
            SetScrollSize(Handle(), SB_VERT, Range, -1);
        } else {
            Range = std::max(Range, Page);
            SetScrollSize(Handle(), SB_VERT, Range, Page);
        }
    }
}

void TCustomHSMemo::UpdateScrollPos() {
    if (!HandleAllocated())
        return;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        _SetScrollPos(Handle(), SB_HORZ, FWinChar * std::max(1, GetAveCharWidth()) / CharScrollSize());
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        _SetScrollPos(Handle(), SB_VERT, FWinLine);
}
