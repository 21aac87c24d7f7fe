// The memo and the mouse: placing the caret, selecting by dragging (stream, or columns with Alt)
// with the auto-scrolling selection timer, word and line selection by double and triple click,
// dragging a block inside the memo or onto another memo, expand/collapse buttons, gutter clicks,
// hot strings, the cursor and the built-in context menu.
#include <algorithm>
#include <cstdlib>

#include <windowsx.h>

#include "controls/foundation/HSCommon.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/StringUtils.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoScopes.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"

namespace {

HCURSOR MemoCursorHandle(TCursor Cursor) {
    switch (Cursor) {
    case crMemoHandPoint: {
        // The module's own pointing hand when the program ships one, else the system's.
        static const HCURSOR Hand = [] {
            HCURSOR H = LoadCursorA(GetModuleHandleA(nullptr), "MEMOHANDPT");
            return H ? H : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
        }();
        return Hand;
    }
    case crHandPoint:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    case crIBeam:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32513));
    case crNoDrop:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32648));
    case crHourGlass:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
    default:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    }
}

// The source's options with soBeyondFileEnd added for the length of a scope.
class TBeyondFileEnd {
public:
    explicit TBeyondFileEnd(TCustomMemoSource& Source) : FSource(Source), FOld(Source.Options()) {
        FSource.SetOptions(FOld | soBeyondFileEnd);
    }
    ~TBeyondFileEnd() { FSource.SetOptions(FOld); }
    TBeyondFileEnd(const TBeyondFileEnd&) = delete;
    TBeyondFileEnd& operator=(const TBeyondFileEnd&) = delete;

private:
    TCustomMemoSource& FSource;
    TStringsOptions FOld;
};

bool Same(POINT A, POINT B) {
    return A.x == B.x && A.y == B.y;
}

} // namespace

// --- caret and block positions ------------------------------------------------------------------

void TCustomHSMemo::MoveCaretByMouse(POINT Target) {
    TCustomMemoSource* S = GetSource();
    // A click right of a line's end puts the caret there; what a typed character then does is the
    // source's business.
    TBeyondFileEnd Beyond(*S);
    S->JumpTo(Target.x, Target.y);
}

void TCustomHSMemo::SetPosByMouse(int32_t X, int32_t Y) {
    if (FWordWrap)
        X = std::max(X, GetPaintX());
    MoveCaretByMouse(MouseToTextPoint(X, Y, true));
}

bool TCustomHSMemo::PosInBlock(int32_t Line, int32_t Char) {
    TCustomMemoSource* S = GetSource();
    if (!S->IsPosInBlock(Char, Line))
        return false;
    if (HasOption(moSelectOnlyText) && S->SelectionType() == stStreamSel && Line < S->GetStrCount() &&
        Char >= int32_t(S->Lines().Get(Line).size()))
        return false;
    return true;
}

bool TCustomHSMemo::CheckMouseOnButton(int32_t X, int32_t Y, int32_t& Line) {
    Line = MouseToTextPoint(X, Y, true).y;
    TCustomMemoSource* S = GetSource();
    if (!HideLines() || Line < 0 || Line >= S->GetStrCount() || S->GetCollapseState(Line) == csNone)
        return false;
    const int32_t H = GetAveLineHeight();
    if (H <= 0)
        return false;
    const int32_t M = H <= 16 ? H / 8 : std::max(H / 8, (H - 16) / 2);
    const int32_t PaintX = GetPaintX();
    return PaintX - H + M < X && X < PaintX - M;
}

int32_t TCustomHSMemo::PointToImageIndex(int32_t X, int32_t Y) {
    const POINT P = MouseToTextPoint(GetPaintX(), Y, true);
    TCustomMemoSource* S = GetSource();
    if (P.y < 0 || P.y >= S->GetStrCount())
        return -1;
    int32_t Slot = FGutterImgsAlign == iaLeft ? 1 : GetRealGutterWidth() - 4;
    for (int32_t Bit = 0; Bit < 16; ++Bit) {
        if (!S->GetImageBit(P.y, Bit))
            continue;
        const int32_t W = (Bit < FGutterImgs->Count() ? FGutterImgs->GetItem(Bit)->Glyph().Width() : 0) + 1;
        if (FGutterImgsAlign == iaLeft) {
            if (X >= Slot && X < Slot + W)
                return Bit;
            Slot += W;
        } else {
            if (X >= Slot - W && X < Slot)
                return Bit;
            Slot -= W;
        }
    }
    return -1;
}

// --- hot strings --------------------------------------------------------------------------------

bool TCustomHSMemo::IsUrlUnderPoint(POINT P, std::string& Url, bool OnlyTest) {
    TCustomMemoSource* S = GetSource();
    if (P.y < 0 || P.y >= S->GetStrCount() || P.x < 0)
        return false;
    const std::string Colors = S->GetStoredColorData(P.y);
    const std::string Text = S->Lines().Get(P.y);
    const size_t N = std::min(Colors.size(), Text.size());
    if (size_t(P.x) >= N || uint8_t(Colors[size_t(P.x)]) != 12)
        return false;
    if (!OnlyTest) {
        size_t From = size_t(P.x), To = size_t(P.x) + 1;
        while (From > 0 && uint8_t(Colors[From - 1]) == 12)
            --From;
        while (To < N && uint8_t(Colors[To]) == 12)
            ++To;
        Url = Text.substr(From, To - From);
    }
    return true;
}

bool TCustomHSMemo::MouseAtHotString(int32_t X, int32_t Y) {
    if (!GetSource()->HighlightUrls() || X < GetPaintX())
        return false;
    std::string Unused;
    return IsUrlUnderPoint(MouseToTextPoint(X, Y, false), Unused, true);
}

std::string TCustomHSMemo::TextAtMousePoint(POINT P) {
    const POINT T = MouseToTextPoint(P.x, P.y, false);
    return GetSource()->CorrectTextAt(T.x, T.y);
}

// --- collapse and gutter events ----------------------------------------------------------------

bool TCustomHSMemo::CollapseStateChanging(int32_t Line, bool Collapsed) {
    bool Handled = true;
    if (OnCollapseStateChanging)
        OnCollapseStateChanging(this, Line, Collapsed, Handled);
    return Handled;
}

void TCustomHSMemo::CollapseStateChanged(int32_t Line, bool Collapsed) {
    if (OnCollapseStateChanged)
        OnCollapseStateChanged(this, Line, Collapsed);
}

// --- press, move, release ------------------------------------------------------------------------

void TCustomHSMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomMemoSource* S = GetSource();
    const int32_t OldWinLine = FWinLine, OldWinChar = FWinChar;
    if (!(ComponentState() & csDesigning) && CanFocus()) {
        if (Button == TMouseButton::mbLeft && !HasFocus())
            S->ClearSelection();
        if (!HasFocus())
            SetFocus();
        if (!HasFocus()) {
            // Another control kept the focus (a validating form, a modal box): the press is not ours.
            if (HandleAllocated() && GetCapture() == Handle())
                ReleaseCapture();
            return;
        }
    }
    KillHintTimer();
    if (FWinLine != OldWinLine)
        SetWinLine(OldWinLine);
    if (FWinChar != OldWinChar)
        SetWinChar(OldWinChar);

    int32_t ButtonLine = 0;
    FPressOnButton = Button == TMouseButton::mbLeft && CheckMouseOnButton(X, Y, ButtonLine);
    const POINT OldCaret = GetCaretPoint();
    const int32_t PaintX = GetPaintX();
    {
        TKeepSelection Keep(*S);
        TSourceUpdate Update(*S, 2);
        if (!FPressOnButton && (Button == TMouseButton::mbLeft ||
                                (Button == TMouseButton::mbRight && !HasOption(moDisableRightClickMove))))
            SetPosByMouse(X, Y);
    }

    const bool Step = !FPressOnButton && Button == TMouseButton::mbLeft;
    if (!Step) {
        if (Button == TMouseButton::mbRight && (FMouseState == msmSelecting || FMouseState == msmDragging))
            KillTimer();
    } else if (Shift & ssDouble) {
        FDblClickTick = GetTickCount();
        FDblClickPoint = POINT{X, Y};
        FDblClickValid = true;
        if (X >= PaintX) {
            FMouseState = msmMultiClick;
            if (HasOption(moDblClickLine))
                S->MarkLine();
            else
                S->MarkWordWithType(FWordSelectionType);
        }
    } else if (!HasOption(moDblClickLine) && HasOption(moTripleClick) && FDblClickValid &&
               GetTickCount() - FDblClickTick <= GetDoubleClickTime() && X >= PaintX &&
               std::abs(X - FDblClickPoint.x) * 2 <= GetSystemMetrics(SM_CXDOUBLECLK) &&
               std::abs(Y - FDblClickPoint.y) * 2 <= GetSystemMetrics(SM_CYDOUBLECLK)) {
        FMouseState = msmMultiClick;
        FDblClickValid = false;
        S->MarkLine();
    } else if (FMouseState == msmIdle) {
        const POINT P = MouseToTextPoint(X, Y, true);
        const POINT Q = GetCaretPoint();
        const bool OnCaret =
            !(Q.x != P.x && S->HasOption(soLimitEOL)) && (Q.y == P.y || S->HasOption(soBeyondFileEnd));
        if (OnCaret && PosInBlock(Q.y, Q.x) && !HasOption(moDisableDrag) && !S->GetReadOnly()) {
            FMouseState = msmDragging;
        } else {
            FMouseState = msmSelecting;
            if (!(Shift & ssShift)) {
                S->ClearSelection();
            } else {
                // The selection runs from where the caret was to the mouse.
                TSourceUpdate Update(*S, 2);
                {
                    TKeepSelection Keep(*S);
                    S->JumpTo(OldCaret.x, OldCaret.y);
                }
                FMousePoint = POINT{X, Y};
                FLastMousePos = POINT{-1, -1};
                DoSelTimer();
                if (S->SelectionType() == stBlockSel) {
                    const TPosition B = S->BlockBegin(), E = S->BlockEnd();
                    S->SetSelection(stBlockSel, std::min(B.Char, E.Char), std::min(B.Line, E.Line),
                                    std::max(B.Char, E.Char), std::max(B.Line, E.Line));
                }
            }
        }
        FSelAnchor = GetCaretPoint();
        FLastMousePos = MouseToTextPoint(X, Y, true);
        FMousePoint = POINT{X, Y};
        FWordExtend = false;
        FWordAdjusted = false;
        if (HandleAllocated()) {
            ::SetTimer(Handle(), kMemoSelTimer, 30, nullptr);
            SetCapture(Handle());
        }
    }
    FPressOnHotString = MouseAtHotString(X, Y);
    FPressInGutter = X >= 0 && X < GetRealGutterWidth();
    THSCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomHSMemo::MouseMove(TShiftState Shift, int X, int Y) {
    THSCustomControl::MouseMove(Shift, X, Y);
    if (FMouseState == msmSelecting || FMouseState == msmDragging) {
        FMousePoint = POINT{X, Y};
        // The timer keeps scrolling while the mouse rests outside; a move answers at once.
        DoSelTimer();
        return;
    }
    const bool OverUrl = FMouseState == msmIdle && MouseAtHotString(X, Y);
    if (OverUrl && !FHandCursor) {
        FSavedCursor = Cursor();
        SetCursor(crMemoHandPoint);
        FHandCursor = true;
        ::SetCursor(MemoCursorHandle(crMemoHandPoint));
    } else if (!OverUrl && FHandCursor) {
        SetCursor(FSavedCursor);
        FHandCursor = false;
        ::SetCursor(MemoCursorHandle(FSavedCursor));
    }
}

void TCustomHSMemo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomMemoSource* S = GetSource();
    if (Button == TMouseButton::mbLeft) {
        switch (FMouseState) {
        case msmIdle:
            S->ClearSelection();
            break;
        case msmSelecting:
            KillTimer();
            if (!S->IsValidBlockPos(S->GetCurChar(), S->GetCurLine()))
                S->ClearSelection();
            break;
        case msmDragging: {
            KillTimer();
            const bool Copy = (Shift & ssCtrl) != 0;
            if (TCustomHSMemo* Other = MemoUnderPoint(X, Y); Other && Other != this) {
                DropOnMemo(*Other, X, Y, Copy);
            } else if (!MoveBlockToPosEx(!Copy)) {
                S->ClearSelection();
            }
            break;
        }
        case msmMultiClick:
            FMouseState = msmIdle;
            break;
        }
        if (HandleAllocated() && GetCapture() == Handle())
            ReleaseCapture();
    }
    // A press that became a selection is no click on the address.
    if (FPressOnHotString && Button == TMouseButton::mbLeft && FMouseState == msmIdle && S->HighlightUrls() &&
        S->SelectionType() == stNotSelected) {
        std::string Url;
        if (IsUrlUnderPoint(MouseToTextPoint(X, Y, false), Url, false)) {
            if (IsEmailString(Url) && UpperCase(Url).rfind("MAILTO:", 0) != 0)
                Url = "mailto:" + Url;
            MemoJumpToUrl(Url);
        }
    }
    THSCustomControl::MouseUp(Button, Shift, X, Y);
    int32_t Line = 0;
    if (FPressOnButton && CheckMouseOnButton(X, Y, Line) && S->SelectionType() == stNotSelected) {
        const bool Collapse = S->GetCollapseState(Line) != csCollapsed;
        if (CollapseStateChanging(Line, Collapse)) {
            S->SetCollapseState(Line, Collapse ? csCollapsed : csExpanded);
            CollapseStateChanged(Line, Collapse);
            SetPosByMouse(X, Y);
        }
    }
    if (FPressInGutter && X >= 0 && X < GetRealGutterWidth()) {
        Shift |= Button == TMouseButton::mbLeft    ? ssLeft
                 : Button == TMouseButton::mbRight ? ssRight
                                                   : ssMiddle;
        DoClickGutter(MouseToTextPoint(X, Y, true).y, PointToImageIndex(X, Y), Shift);
    }
    FPressOnButton = FPressOnHotString = FPressInGutter = false;
}

// --- selection timer ------------------------------------------------------------------------------

void TCustomHSMemo::DoSelTimer() {
    if (FMouseState != msmSelecting && FMouseState != msmDragging)
        return;
    TCustomMemoSource* S = GetSource();
    POINT M = FMousePoint;
    if (FMouseState == msmDragging) {
        if (TCustomHSMemo* Other = MemoUnderPoint(M.x, M.y); Other && Other != this) {
            SetDragShowCursor(FDragCursor);
            return;
        }
    }
    if (FWordWrap)
        M.x = std::max<LONG>(M.x, GetPaintX());
    const POINT T = MouseToTextPoint(M.x, M.y, true);
    const TSelectionType Type = GetKeyState(VK_MENU) < 0 ? stBlockSel : stStreamSel;
    // Alt pressed or released while the mouse rests switches the kind of selection at once.
    const bool KindChanged =
        FMouseState == msmSelecting && S->SelectionType() != stNotSelected && S->SelectionType() != Type;
    if (Same(T, FLastMousePos) && T.y == S->GetCurLine() && !KindChanged)
        return;
    if (FMouseState == msmSelecting) {
        TSourceUpdate Update(*S, 2);
        FMoveRight = T.y > FLastMousePos.y || (T.y == FLastMousePos.y && T.x >= FLastMousePos.x);
        FLastMousePos = T;
        S->UnivMark(
            [&] {
                TBeyondFileEnd Beyond(*S);
                if (HasOption(moExtendedSel) && Type == stStreamSel && T.y < S->GetStrCount()) {
                    int32_t WS = 0, WE = 0, AS = 0, AE = 0;
                    S->WordBounds(T.x, T.y, TCustomMemoSource::wsWordOnly, WS, WE);
                    S->WordBounds(FSelAnchor.x, FSelAnchor.y, TCustomMemoSource::wsWordOnly, AS, AE);
                    const bool InWord = WS > 0 && T.x >= WS - 1 && T.x < WE;
                    const bool OtherWord = T.y != FSelAnchor.y || WS != AS;
                    if (InWord && OtherWord) {
                        S->JumpTo(FMoveRight ? WE : WS - 1, T.y);
                        FWordExtend = true;
                        return;
                    }
                }
                S->JumpTo(T.x, T.y);
            },
            Type);
        if (FWordExtend && !FWordAdjusted && S->SelectionType() == stStreamSel) {
            // The anchor's own word joins the selection once it reaches another word.
            FWordAdjusted = true;
            int32_t AS = 0, AE = 0;
            S->WordBounds(FSelAnchor.x, FSelAnchor.y, TCustomMemoSource::wsWordOnly, AS, AE);
            if (AS > 0) {
                TPosition B = S->BlockBegin(), E = S->BlockEnd();
                if (FMoveRight && B.Line == FSelAnchor.y && B.Char >= AS - 1 && B.Char <= AE)
                    B.Char = AS - 1;
                else if (!FMoveRight && E.Line == FSelAnchor.y && E.Char >= AS - 1 && E.Char <= AE)
                    E.Char = AE;
                TKeepSelection Keep(*S);
                const POINT Caret = GetCaretPoint();
                S->SetSelection(stStreamSel, B.Char, B.Line, E.Char, E.Line);
                TBeyondFileEnd Beyond(*S);
                S->JumpTo(Caret.x, Caret.y);
            }
        }
    } else {
        FLastMousePos = T;
        {
            TKeepSelection Keep(*S);
            TSourceUpdate Update(*S, 2);
            MoveCaretByMouse(T);
        }
        SetDragShowCursor(S->IsPosInBlock(S->GetCurChar(), S->GetCurLine()) ? crNoDrop : FDragCursor);
    }
}

void TCustomHSMemo::KillTimer() {
    if (FMouseState != msmSelecting && FMouseState != msmDragging)
        return;
    SetDragShowCursor(crDefault);
    if (HandleAllocated())
        ::KillTimer(Handle(), kMemoSelTimer);
    KillHintTimer();
    FMouseState = msmIdle;
}

void TCustomHSMemo::CancelDragging() {
    if (FMouseState != msmSelecting && FMouseState != msmDragging)
        return;
    TCustomMemoSource* S = GetSource();
    TSourceUpdate Update(*S, 2);
    KillTimer();
    S->ClearSelection();
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
}

// --- dragging onto another memo -------------------------------------------------------------------

TCustomHSMemo* TCustomHSMemo::MemoUnderPoint(int32_t X, int32_t Y) {
    if (!HandleAllocated())
        return nullptr;
    RECT R{};
    GetClientRect(Handle(), &R);
    if (X >= R.left && X < R.right && Y >= R.top && Y < R.bottom)
        return this;
    POINT P{X, Y};
    ::ClientToScreen(Handle(), &P);
    return dynamic_cast<TCustomHSMemo*>(TWinControl::FindControl(WindowFromPoint(P)));
}

void TCustomHSMemo::DropOnMemo(TCustomHSMemo& Target, int32_t X, int32_t Y, bool Copy) {
    TCustomMemoSource* S = GetSource();
    TCustomMemoSource* T = Target.GetSource();
    if (!S->CanCopy() || T->GetReadOnly() || !Target.HandleAllocated())
        return;
    POINT P{X, Y};
    ::ClientToScreen(Handle(), &P);
    ::ScreenToClient(Target.Handle(), &P);
    const std::vector<std::string> Lines = S->BlockLines();
    const bool Column = S->SelectionType() == stBlockSel;
    if (T == S) {
        // Another view of the same text: a move inside it.
        {
            TKeepSelection Keep(*S);
            TSourceUpdate Update(*S, 2);
            Target.SetPosByMouse(P.x, P.y);
        }
        if (!Target.MoveBlockToPosEx(!Copy))
            S->ClearSelection();
        return;
    }
    {
        TSourceUpdate Update(*T, 21);
        Target.SetPosByMouse(P.x, P.y);
        T->PasteBlockFromStrings(Lines, Column);
    }
    if (!Copy && !S->GetReadOnly())
        S->DeleteBlock();
    else
        S->ClearSelection();
    if (Target.CanFocus())
        Target.SetFocus();
}

// --- cursor ---------------------------------------------------------------------------------------

// The cursor of a running drag is shown at once: with the mouse captured no WM_SETCURSOR comes.
void TCustomHSMemo::SetDragShowCursor(TCursor Value) {
    if (Value == FDragShowCursor)
        return;
    FDragShowCursor = Value;
    ::SetCursor(MemoCursorHandle(Value == crDefault ? (Cursor() == crDefault ? crIBeam : Cursor()) : Value));
}

bool TCustomHSMemo::DoSetCursor() {
    if (!HandleAllocated())
        return false;
    POINT P{};
    GetCursorPos(&P);
    ::ScreenToClient(Handle(), &P);
    if (P.x < GetPaintX()) {
        ::SetCursor(MemoCursorHandle(crArrow));
        return true;
    }
    TCustomMemoSource* S = GetSource();
    if (S->SelectionType() == stNotSelected || HasOption(moDisableDrag) || S->GetReadOnly())
        return false;
    const POINT T = MouseToTextPoint(P.x, P.y, false);
    if (T.y >= S->GetStrCount() && !S->HasOption(soBeyondFileEnd))
        return false;
    if (S->HasOption(soLimitEOL) && T.y < S->GetStrCount() && T.x >= int32_t(S->Lines().Get(T.y).size()))
        return false;
    if (!PosInBlock(T.y, T.x))
        return false;
    ::SetCursor(MemoCursorHandle(crArrow));
    return true;
}

bool TCustomHSMemo::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) != Handle() || LOWORD(Message.LParam) != HTCLIENT)
        return false;
    Message.Result = 1;
    if (FDragShowCursor != crDefault) {
        ::SetCursor(MemoCursorHandle(FDragShowCursor));
        return true;
    }
    if (Screen && Screen->Cursor() != crDefault) {
        ::SetCursor(MemoCursorHandle(Screen->Cursor()));
        return true;
    }
    if (DoSetCursor())
        return true;
    ::SetCursor(MemoCursorHandle(Cursor() == crDefault ? crIBeam : Cursor()));
    return true;
}

// --- context menu ---------------------------------------------------------------------------------

TPopupMenu* TCustomHSMemo::GetDefaultMenu() {
    if (FDefaultMenu)
        return FDefaultMenu;
    FDefaultMenu = new TPopupMenu(this);
    struct TEntry {
        const TResStringRec* Caption;
        void (TCustomHSMemo::*Click)(TObject*);
    };
    const TEntry Entries[] = {
        {&SMemoMenuUndo, &TCustomHSMemo::UndoClick},
        {nullptr, nullptr},
        {&SMemoMenuCut, &TCustomHSMemo::CutClick},
        {&SMemoMenuCopy, &TCustomHSMemo::CopyClick},
        {&SMemoMenuPaste, &TCustomHSMemo::PasteClick},
        {&SMemoMenuDelete, &TCustomHSMemo::DeleteClick},
        {nullptr, nullptr},
        {&SMemoMenuSelectAll, &TCustomHSMemo::SelectAllClick},
    };
    for (const TEntry& E : Entries) {
        auto* Item = new TMenuItem(this);
        Item->SetName(UniqueName(this, "MenuItem"));
        if (E.Caption) {
            Item->SetCaption(LoadResString(*E.Caption));
            auto Click = E.Click;
            Item->OnClick = [this, Click](TObject* Sender) { (this->*Click)(Sender); };
        } else {
            Item->SetCaption("-");
        }
        FDefaultMenu->Items()->Add(Item);
    }
    return FDefaultMenu;
}

bool TCustomHSMemo::CanPaste() {
    if (GetSource()->GetReadOnly())
        return false;
    if (TCustomMemoSource::CanPaste())
        return true;
    return FClipboardType == cbRtf && MemoRtfClipboardFormat() != 0 &&
           Clipboard().HasFormat(MemoRtfClipboardFormat());
}

bool TCustomHSMemo::CheckMenuPopup() {
    if (!FUseDefaultMenu || PopupMenu())
        return false;
    TPopupMenu* Menu = GetDefaultMenu();
    TCustomMemoSource* S = GetSource();
    const bool CanCopy = S->CanCopy();
    const bool CanChange = CanCopy && !S->GetReadOnly();
    TMenuItem* Items = Menu->Items();
    const bool States[] = {S->UndoAvailable(), false, CanChange, CanCopy, CanPaste(), CanChange, false, true};
    for (int I = 0; I < Items->Count() && I < int(std::size(States)); ++I)
        if (!Items->Items(I)->IsLine())
            Items->Items(I)->SetEnabled(States[I]);
    SetPopupMenu(Menu);
    return true;
}

void TCustomHSMemo::ContextMenu(POINT P) {
    KillTimer();
    TPopupMenu* Menu = PopupMenu();
    if (!Menu || !Menu->AutoPopup || !HandleAllocated())
        return;
    RECT R{};
    GetClientRect(Handle(), &R);
    POINT At{0, 0};
    if (P.x >= 0) {
        if (P.x >= R.right || P.y < 0 || P.y >= R.bottom)
            return;
        At = P;
    } else {
        const POINT C = TextToPixelPoint(GetCaretPoint());
        if (!FHideCaret && HasFocus() && C.x >= 0 && C.x < R.right && C.y >= 0 && C.y < R.bottom)
            At = POINT{C.x + GetCaretWidth(), C.y};
    }
    ::ClientToScreen(Handle(), &At);
    Menu->PopupComponent = this;
    Menu->Popup(At.x, At.y);
}

namespace {
// Takes the default menu off the memo again when the message is done, on every path.
class TDefaultMenuScope {
public:
    TDefaultMenuScope(TControl& Control, bool Assigned) : FControl(Control), FAssigned(Assigned) {}
    ~TDefaultMenuScope() {
        if (FAssigned)
            FControl.SetPopupMenu(nullptr);
    }
    TDefaultMenuScope(const TDefaultMenuScope&) = delete;
    TDefaultMenuScope& operator=(const TDefaultMenuScope&) = delete;

private:
    TControl& FControl;
    bool FAssigned;
};
} // namespace

void TCustomHSMemo::WMContextMenu(TMessage& Message) {
    Message.Result = 0;
    POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (P.x == -1 && P.y == -1) {
        P = POINT{-1, -1};
    } else if (HandleAllocated()) {
        ::ScreenToClient(Handle(), &P);
        if (P.x < 0)
            return; // left of the window: not a keyboard request
    }
    TDefaultMenuScope Scope(*this, CheckMenuPopup());
    ContextMenu(P);
}

void TCustomHSMemo::WMRButtonUp(TMessage& Message) {
    KillTimer();
    TDefaultMenuScope Scope(*this, CheckMenuPopup());
    THSCustomControl::WndProc(Message);
}

void TCustomHSMemo::UndoClick(TObject*) {
    GetSource()->Undo();
}
void TCustomHSMemo::CutClick(TObject*) {
    CutToClipboard();
}
void TCustomHSMemo::CopyClick(TObject*) {
    CopyToClipboard();
}
void TCustomHSMemo::PasteClick(TObject*) {
    PasteFromClipboard();
}
void TCustomHSMemo::DeleteClick(TObject*) {
    GetSource()->DeleteBlock();
}
void TCustomHSMemo::SelectAllClick(TObject*) {
    GetSource()->SelectAll();
}
