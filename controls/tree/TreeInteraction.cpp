// Keyboard, mouse and timers of the tree: selection, expansion, check boxes, quick search, hit
// testing, rubber-band selection, wheel and edge scrolling, hot tracking and dragging nodes.
#include "controls/tree/HSTree.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <windowsx.h>
// windowsx.h names window walks like our node walks.
#undef GetFirstChild
#undef GetNextSibling
#undef GetPrevSibling
#undef GetLastChild
#include <cstdlib>

#include "controls/tree/HSToolTip.h"

namespace {

bool InRect(const RECT& R, POINT P) {
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

char UpperAscii(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

} // namespace

// --- window messages --------------------------------------------------------------------------

void THSCustomTreeView::WndProc(TMessage& Message) {
    if (IsDestroying()) {
        TWinControl::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT: {
        if (Message.WParam) {
            RECT R = GetDrawRect();
            if (FLockCount == 0)
                Paint(reinterpret_cast<HDC>(Message.WParam), R);
            Message.Result = 0;
            return;
        }
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(FHandle, &PS);
        struct End {
            HWND W;
            PAINTSTRUCT& PS;
            ~End() { EndPaint(W, &PS); }
        } Guard{FHandle, PS};
        if (FLockCount == 0)
            Paint(DC, PS.rcPaint);
        Message.Result = 0;
        return;
    }
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_VSCROLL:
        if (!Message.LParam) {
            WMVScroll(LOWORD(Message.WParam));
            Message.Result = 0;
            return;
        }
        break;
    case WM_HSCROLL:
        if (!Message.LParam) {
            WMHScroll(LOWORD(Message.WParam));
            Message.Result = 0;
            return;
        }
        break;
    case WM_TIMER:
        OnTimer(static_cast<int>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_MOUSEWHEEL: {
        FWheelRemainder += static_cast<short>(HIWORD(Message.WParam));
        int Units = FWheelRemainder / WHEEL_DELTA;
        if (Units != 0) {
            FWheelRemainder -= Units * WHEEL_DELTA;
            UINT Lines = 3;
            SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
            ScrollByLines(-Units * static_cast<int>(Lines));
        }
        Message.Result = 0;
        return;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS:
        TWinControl::WndProc(Message);
        if (!Selected() && FTopItem && FLockCount == 0)
            SetSelected(FTopItem);
        RepaintSelection();
        return;
    case WM_KILLFOCUS:
        TWinControl::WndProc(Message);
        DoCancelMode();
        StopTimer(4);
        RepaintSelection();
        return;
    case WM_SIZE:
        TWinControl::WndProc(Message);
        if (FLockCount == 0) {
            UpdateScroll(true, true);
            if (FRowSelect)
                Invalidate();
        }
        return;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        if (FHotNode) {
            THSTreeNode* Old = FHotNode;
            FHotNode = nullptr;
            Old->Invalidate(NodePart(npText));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
            POINT P;
            GetCursorPos(&P);
            P = ScreenToClient(P);
            UpdateCursorAt(P.x, P.y);
            if (FHandCursor) {
                ::SetCursor(LoadCursorA(nullptr, IDC_HAND));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        // Only another window taking the mouse cancels: a plain release comes with the button's
        // release, which ends the click or drag itself.
        if (Message.Msg == WM_CANCELMODE ||
            (!FReleasingCapture && Message.LParam != 0 && reinterpret_cast<HWND>(Message.LParam) != FHandle))
            DoCancelMode();
        break;
    case WM_LBUTTONDBLCLK:
        DoDblClick(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam),
                   MouseFlagsToShiftState(Message.WParam));
        Message.Result = 0;
        return;
    case WM_KEYDOWN:
        if (FSelectFrame && Message.WParam != VK_ESCAPE) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (FSelectFrame && Message.WParam != VK_ESCAPE) {
            Message.Result = 0;
            return;
        }
        break;
    case DM_HIDE:
        DMHide();
        return;
    case DM_CANCELCHANGES:
        EndEditNodeInternal(true, false);
        return;
    case DM_SAVECHANGES:
        EndEditNodeInternal(false, false);
        return;
    case DM_KILLFOCUS:
        RepaintSelection();
        EndEditNodeInternal(false, true);
        return;
    }
    TWinControl::WndProc(Message);
}

bool THSCustomTreeView::WantsKey(const MSG& Msg) {
    switch (Msg.wParam) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return true;
    case VK_ESCAPE:
        return FSelectFrame || FDragging;
    }
    return TWinControl::WantsKey(Msg);
}

void THSCustomTreeView::RepaintSelection() {
    for (THSTreeNode* N : FSelections)
        N->Invalidate(AllNodeParts);
    if (FFocused)
        FFocused->Invalidate(NodePart(npText));
    if (FDropTarget)
        InvalidateNodeRow(FDropTarget);
}

void THSCustomTreeView::ReleaseMouse() {
    if (!HandleAllocated() || GetCapture() != FHandle)
        return;
    FReleasingCapture = true;
    ReleaseCapture();
    FReleasingCapture = false;
}

void THSCustomTreeView::DoCancelMode() {
    if (FSelectFrame)
        MouseSelectCancel();
    if (FDragging)
        FinishDrag(false, 0, 0);
    FDownNode = nullptr;
    FDragStartFlag = false;
}

// --- hit testing ------------------------------------------------------------------------------

THSHitTests THSCustomTreeView::GetHitTest(int X, int Y, THSTreeNode** NodeOut) {
    if (NodeOut)
        *NodeOut = nullptr;
    THSHitTests Result = 0;
    RECT H = GetHitTestRect();
    if (Y < H.top)
        Result |= HitBit(dhtAbove);
    else if (Y >= H.bottom)
        Result |= HitBit(dhtBelow);
    if (X < H.left)
        Result |= HitBit(dhtToLeft);
    else if (X > H.right)
        Result |= HitBit(dhtToRight);
    if (Result)
        return Result;
    if (IsDestroying())
        return HitBit(dhtNowhere);
    THSTreeNode* Node = nullptr;
    int Top = GetDrawRect().top;
    for (THSTreeNode* N = FTopItem; N && Top <= Y; N = N->GetNextVisible()) {
        int Hgt = N->GetHeight();
        if (Y >= Top && Y < Top + Hgt) {
            Node = N;
            break;
        }
        Top += Hgt;
    }
    if (!Node)
        return HitBit(dhtNowhere);
    if (NodeOut)
        *NodeOut = Node;
    TNodeDispInfo Info;
    Node->GetNodeDispInfoByPos(NodeLeft(Node), Top, Info);
    POINT P{X, Y};
    RECT D = GetDrawRect();
    static const THSHitTest PartHits[6] = {dhtOnIndent,    dhtOnButton, dhtOnCheckBox,
                                           dhtOnStateIcon, dhtOnIcon,   dhtOnLabel};
    bool Found = false;
    for (int P6 = 0; P6 < 6; ++P6) {
        if (InRect(Info.Parts[P6], P) && InRect(D, P)) {
            Result = HitBit(PartHits[P6]);
            Found = true;
            break;
        }
    }
    if (!Found)
        Result = GetAnotherHitTest(P, Info);
    if ((Result & HitBit(dhtOnButton)) && !Node->HasChildren())
        Result = HitBit(dhtOnIndent);
    if (Result & HitBit(dhtOnCheckBox)) {
        SIZE S = CheckBoxSize();
        const RECT& C = Info.Parts[npCheckBox];
        int W = S.cx - 1, Hh = S.cy - 1;
        RECT Box{C.left + (C.right - C.left - W) / 2, C.top + (C.bottom - C.top - Hh) / 2, 0, 0};
        Box.right = Box.left + W;
        Box.bottom = Box.top + Hh;
        if (!InRect(Box, P))
            Result = 0;
    }
    if (Result & (HitBit(dhtOnItem) | HitBit(dhtOnStateIcon) | HitBit(dhtOnIcon) | HitBit(dhtOnLabel) |
                  HitBit(dhtOnRight)))
        Result |= HitBit(dhtOnItem);
    return Result;
}

THSHitTests THSCustomTreeView::GetAnotherHitTest(POINT, const TNodeDispInfo&) {
    return 0;
}

THSHitTests THSCustomTreeView::GetHitTestAtCursor(THSTreeNode** Node) {
    POINT P;
    GetCursorPos(&P);
    P = ScreenToClient(P);
    return GetHitTest(P.x, P.y, Node);
}

THSTreeNode* THSCustomTreeView::GetNodeAt(int X, int Y) {
    THSTreeNode* N = nullptr;
    THSHitTests H = GetHitTest(X, Y, &N);
    RECT D = GetDrawRect();
    if ((H & HitBit(dhtOnItem)) && X >= D.left && X < D.right)
        return N;
    return nullptr;
}

THSTreeNode* THSCustomTreeView::GetNodeAtCursor() {
    POINT P;
    GetCursorPos(&P);
    P = ScreenToClient(P);
    return GetNodeAt(P.x, P.y);
}

uint16_t THSCustomTreeView::GetHitTestInfoAt(int X, int Y) {
    THSHitTests H = GetHitTest(X, Y);
    static const THSHitTest Order[12] = {dhtAbove,    dhtBelow,       dhtNowhere,  dhtOnItem,
                                         dhtOnButton, dhtOnIcon,      dhtOnIndent, dhtOnLabel,
                                         dhtOnRight,  dhtOnStateIcon, dhtToLeft,   dhtToRight};
    uint16_t R = 0;
    for (int I = 0; I < 12; ++I)
        if (H & HitBit(Order[I]))
            R = static_cast<uint16_t>(R | (1u << I));
    return R;
}

uint16_t THSCustomTreeView::GetHitTestInfoAtCursor() {
    POINT P;
    GetCursorPos(&P);
    P = ScreenToClient(P);
    return GetHitTestInfoAt(P.x, P.y);
}

// --- keyboard ---------------------------------------------------------------------------------

void THSCustomTreeView::SetSelectedKey(THSTreeNode* Node) {
    if (!Node)
        return;
    SetSelected(Node);
    Node->MakeVisible();
}

void THSCustomTreeView::ProcessShiftSelect(THSTreeNode* Node) {
    if (!Node)
        return;
    THSTreeNode* Anchor = FAnchor ? FAnchor : (FFocused ? FFocused : Node);
    TSelectionHold Hold(this);
    int A = Anchor->VisibleIndex(), B = Node->VisibleIndex();
    THSTreeNode* From = A <= B ? Anchor : Node;
    THSTreeNode* To = A <= B ? Node : Anchor;
    std::vector<THSTreeNode*> Range;
    for (THSTreeNode* N = From; N; N = N->GetNextVisible()) {
        Range.push_back(N);
        if (N == To)
            break;
    }
    std::vector<THSTreeNode*> Old(FSelections);
    for (THSTreeNode* N : Old)
        if (std::find(Range.begin(), Range.end(), N) == Range.end())
            N->SetSelected(false);
    for (THSTreeNode* N : Range)
        if (!N->Selected()) {
            SetNodeSelectedFlag(N, true);
            AddToSelection(N);
        }
    Node->SetFocused(true);
    FAnchor = Anchor;
}

void THSCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key == 0 || FLockCount > 0)
        return;
    if (Key == VK_ESCAPE) {
        OnEscapeKey();
        return;
    }
    TShiftState Mods = Shift & (ssShift | ssCtrl | ssAlt);
    THSTreeNode* S = Selected();
    if (Mods == 0 && S) {
        switch (Key) {
        case VK_UP:
            SetSelectedKey(S->GetPrevVisible());
            break;
        case VK_DOWN:
            SetSelectedKey(S->GetNextVisible());
            break;
        case VK_HOME:
            SetSelectedKey(GetFirstVisibleNode());
            break;
        case VK_END:
            SetSelectedKey(GetLastVisibleNode());
            break;
        case VK_PRIOR:
            SetSelectedKey(PageUpItem(S));
            break;
        case VK_NEXT:
            SetSelectedKey(PageDownItem(S));
            break;
        case VK_LEFT:
            if (S->Count() > 0 && S->Expanded())
                S->Collapse(false);
            else if (S->Parent())
                SetSelectedKey(S->Parent());
            break;
        case VK_RIGHT:
            if (S->Count() > 0 || S->HasChildren()) {
                if (S->Expanded())
                    SetSelectedKey(S->GetFirstChild());
                else
                    S->Expand(false);
            }
            break;
        default:
            return;
        }
        Key = 0;
        return;
    }
    if (Mods == ssShift && FMultiSelect && S) {
        THSTreeNode* Target = nullptr;
        switch (Key) {
        case VK_UP:
            Target = S->GetPrevVisible();
            break;
        case VK_DOWN:
            Target = S->GetNextVisible();
            break;
        case VK_HOME:
            Target = GetFirstVisibleNode();
            SetTopItem(Target);
            break;
        case VK_END:
            Target = GetLastVisibleNode();
            SetTopItem(Target);
            break;
        case VK_PRIOR:
            Target = PageUpItem(S);
            SetTopItem(Target);
            break;
        case VK_NEXT:
            SetTopItem(S);
            Target = PageDownItem(S);
            break;
        default:
            return;
        }
        if (Target) {
            ProcessShiftSelect(Target);
            Target->MakeVisible();
        }
        Key = 0;
        return;
    }
    if (Mods == ssCtrl) {
        switch (Key) {
        case VK_LEFT:
            Scroll(smLineLeft);
            break;
        case VK_RIGHT:
            Scroll(smLineRight);
            break;
        case VK_UP:
            Scroll(smLineUp);
            break;
        case VK_DOWN:
            Scroll(smLineDown);
            break;
        case VK_PRIOR:
            Scroll(smPageUp);
            break;
        case VK_NEXT:
            Scroll(smPageDown);
            break;
        case VK_HOME:
            Scroll(smToLeft);
            break;
        case VK_END:
            Scroll(smToRight);
            break;
        case VK_MULTIPLY:
            FullExpand();
            break;
        default:
            return;
        }
        Key = 0;
    }
}

void THSCustomTreeView::OnEscapeKey() {
    if (FSelectFrame)
        MouseSelectCancel();
    if (FDragging)
        FinishDrag(false, 0, 0);
}

void THSCustomTreeView::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    if (Key == 0 || IsEditing() || FLockCount > 0)
        return;
    THSTreeNode* S = Selected();
    if (!S)
        return;
    switch (Key) {
    case '+':
        S->Expand(false);
        return;
    case '-':
        S->Collapse(false);
        return;
    case '*':
        S->Expand(true);
        return;
    case ' ':
        if (S->NodeType() != ntNone) {
            S->SwitchToNextState();
            DoCheckClick(S);
            return;
        }
        QuickSearch(Key);
        return;
    }
    if (static_cast<unsigned char>(Key) > static_cast<unsigned char>('-'))
        QuickSearch(Key);
}

void THSCustomTreeView::QuickSearch(char C) {
    if (!FRoot->GetFirstChild())
        return;
    DWORD Now = GetTickCount();
    if (!FSearchText.empty() && Now - FLastSearchTick <= 500)
        FSearchText += C;
    else
        FSearchText = std::string(1, C);
    FLastSearchTick = Now;
    auto Matches = [this](THSTreeNode* N) {
        const std::string T = N->Text();
        if (T.size() < FSearchText.size())
            return false;
        for (size_t I = 0; I < FSearchText.size(); ++I)
            if (UpperAscii(T[I]) != UpperAscii(FSearchText[I]))
                return false;
        return true;
    };
    THSTreeNode* Start = Selected();
    if (!Start)
        Start = GetFirstVisibleNode();
    for (THSTreeNode* N = Start; N; N = N->GetNextVisible())
        if (Matches(N)) {
            SetSelectedKey(N);
            return;
        }
    for (THSTreeNode* N = GetFirstVisibleNode(); N && N != Start; N = N->GetNextVisible())
        if (Matches(N)) {
            SetSelectedKey(N);
            return;
        }
}

// --- mouse ------------------------------------------------------------------------------------

void THSCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        FHadFocus = TreeHasFocus();
        if (!FHadFocus && CanFocus())
            SetFocus();
        if (IsEditing())
            EndEditNode(false);
        THSTreeNode* N = nullptr;
        THSHitTests H = GetHitTest(X, Y, &N);
        FPrevSelected = Selected();
        if (FDragging)
            FinishDrag(false, X, Y);
        FDownPoint = POINT{X, Y};
        FDownNode = (H & HitBit(dhtOnItem)) ? N : nullptr;
        FDragStartFlag = FDownNode != nullptr;
        SetCapture(FHandle);
        if ((H & HitBit(dhtOnItem)) && N) {
            if (FAutoExpand) {
                THSTreeNode* Prev = Selected();
                if (Prev && Prev != N && !N->HasAsParent(Prev))
                    Prev->Collapse(false);
                if (N->Expanded())
                    N->Collapse(false);
                else
                    N->Expand(false);
            }
            if (FMultiSelect && (Shift & ssCtrl)) {
                bool Sel = !N->Selected();
                N->SetSelected(Sel);
                if (Sel) {
                    N->SetFocused(true);
                    FAnchor = N;
                }
                Change(N);
            } else if (FMultiSelect && (Shift & ssShift)) {
                ProcessShiftSelect(N);
                Change(N);
            } else if (FMultiSelect && FAllowMultiDrag && N->Selected()) {
                N->SetFocused(true);
            } else {
                SetSelected(N);
            }
        } else if ((H & HitBit(dhtOnButton)) && N) {
            if (N->Expanded())
                N->Collapse(false);
            else
                N->Expand(false);
        } else if ((H & HitBit(dhtOnCheckBox)) && N && N->NodeType() != ntNone) {
            N->SwitchToNextState();
            DoCheckClick(N);
        } else if (FMultiSelect && !(H & HitBit(dhtAbove))) {
            MouseSelectBegin(X, Y);
        }
    } else if (Button == TMouseButton::mbRight) {
        StopTimer(4);
        if (!FDragging) {
            FDownPoint = POINT{X, Y};
            THSTreeNode* N = GetNodeAt(X, Y);
            if (FRightClickSelect && N)
                HighlightNode(N);
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void THSCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        UnHighlightNode();
        ReleaseMouse();
        bool WasFrame = FSelectFrame;
        if (FSelectFrame)
            MouseSelectCancel();
        if (FDragging) {
            FinishDrag(true, X, Y);
        } else if (!WasFrame && (Shift & (ssShift | ssCtrl | ssAlt)) == 0 && FDownNode) {
            THSTreeNode* Up = nullptr;
            THSHitTests H = GetHitTest(X, Y, &Up);
            bool OnLabel = (H & HitBit(dhtOnLabel)) != 0;
            if (FHadFocus && OnLabel && FDownNode == FPrevSelected && Up == FDownNode)
                TryEditNode();
            else
                StopTimer(4);
        }
        FDownNode = nullptr;
        FDragStartFlag = false;
    } else if (Button == TMouseButton::mbRight) {
        UnHighlightNode();
        if (FHotNode) {
            THSTreeNode* Old = FHotNode;
            FHotNode = nullptr;
            Old->Invalidate(NodePart(npText));
        }
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void THSCustomTreeView::DoDblClick(int X, int Y, TShiftState Shift) {
    StopTimer(4);
    THSTreeNode* N = nullptr;
    THSHitTests H = GetHitTest(X, Y, &N);
    if ((H & HitBit(dhtOnItem)) && N) {
        if (N->Expanded())
            N->Collapse(false);
        else
            N->Expand(false);
    } else if ((H & HitBit(dhtOnIndent)) && N) {
        // The ancestor whose indent cell holds the point: a double click on a line collapses it.
        TNodeDispInfo Info;
        if (N->GetNodeDispInfo(Info)) {
            int Right = Info.Parts[npLines].right;
            THSTreeNode* Hit = nullptr;
            if (X >= Info.Parts[npButton].left && X < Info.Parts[npButton].right)
                Hit = N->Parent();
            for (THSTreeNode* A = N->Parent(); A && !Hit; A = A->Parent()) {
                int W = A->GetIndent();
                if (X >= Right - W && X < Right)
                    Hit = A->Parent();
                Right -= W;
            }
            if (Hit)
                Hit->Collapse(false);
        }
    } else {
        MouseDown(TMouseButton::mbLeft, static_cast<TShiftState>(Shift | ssDouble), X, Y);
    }
    FHadFocus = true;
    DblClick();
}

void THSCustomTreeView::MouseMove(TShiftState Shift, int X, int Y) {
    UnHighlightNode();
    if (!FTrackingLeave && HandleAllocated()) {
        TRACKMOUSEEVENT T{sizeof(T), TME_LEAVE, FHandle, 0};
        FTrackingLeave = TrackMouseEvent(&T) != FALSE;
    }
    UpdateHotTrack();
    UpdateToolTip();
    bool Far = FDownPoint.x == INT_MAX || std::abs(X - FDownPoint.x) >= 5 || std::abs(Y - FDownPoint.y) >= 5;
    if (Far) {
        if (FSelectFrame) {
            MouseSelectProcess(X, Y);
        } else if (FDragMode == dmAutomatic && !FDragging && (Shift & ssLeft) && FDownNode &&
                   FDragStartFlag) {
            FDownPoint = POINT{INT_MAX, INT_MAX};
            DoStartDrag();
        }
    }
    if (FDragging)
        DragOverAt(X, Y);
    TWinControl::MouseMove(Shift, X, Y);
}

void THSCustomTreeView::UpdateCursorAt(int X, int Y) {
    FHandCursor = FHotTrack && !FMultiLineNodes && GetNodeAt(X, Y) != nullptr;
}

void THSCustomTreeView::UpdateHotTrack() {
    if (!FHotTrack || FMultiLineNodes || FDragging || !HandleAllocated())
        return;
    THSTreeNode* N = GetNodeAtCursor();
    if (N == FHotNode)
        return;
    THSTreeNode* Old = FHotNode;
    FHotNode = N;
    if (Old)
        Old->Invalidate(NodePart(npText));
    if (N)
        N->Invalidate(NodePart(npText));
}

void THSCustomTreeView::UpdateToolTip() {
    if (!FToolTip || !HandleAllocated())
        return;
    if (!AllowShowToolTip()) {
        FToolTip->SetNode(nullptr);
        return;
    }
    THSTreeNode* N = nullptr;
    THSHitTests H = GetHitTestAtCursor(&N);
    FToolTip->SetNode((H & HitBit(dhtOnItem)) ? N : nullptr);
}

// --- right-click highlight --------------------------------------------------------------------

void THSCustomTreeView::HighlightNode(THSTreeNode* Node) {
    TRightClickAction Action = raSelect;
    DoRightClickNode(Node, Action);
    if (Action == raMakeSelected)
        SetSelected(Node);
    if (!Node->Selected() && Node != Selected() && Action != raNothing)
        DeselectPrevious(nullptr);
    FRightClickNode = Node;
    SetNodeSelectedFlag(Node, true);
}

void THSCustomTreeView::UnHighlightNode() {
    if (!FRightClickNode)
        return;
    THSTreeNode* N = FRightClickNode;
    FRightClickNode = nullptr;
    bool InList = std::find(FSelections.begin(), FSelections.end(), N) != FSelections.end();
    if (!InList)
        SetNodeSelectedFlag(N, false);
    if (FFocused)
        SetNodeSelectedFlag(FFocused, true);
}

// --- rubber-band selection --------------------------------------------------------------------

int THSCustomTreeView::ContentTopOfTopItem() {
    int Y = 0;
    for (THSTreeNode* N = GetFirstVisibleNode(); N && N != FTopItem; N = N->GetNextVisible())
        Y += N->GetHeight();
    return Y;
}

void THSCustomTreeView::MouseSelectBegin(int X, int Y) {
    StopTimer(4);
    FSelectFrame = true;
    int Base = ContentTopOfTopItem();
    FFrameStart = POINT{X + FHorzOffset, Y + Base};
    FFrameEnd = FFrameStart;
}

void THSCustomTreeView::PaintSelectFrame() {
    if (!HandleAllocated())
        return;
    HDC DC = GetDC(FHandle);
    int Base = ContentTopOfTopItem();
    RECT R{std::min(FFrameStart.x, FFrameEnd.x) - FHorzOffset, std::min(FFrameStart.y, FFrameEnd.y) - Base,
           std::max(FFrameStart.x, FFrameEnd.x) - FHorzOffset, std::max(FFrameStart.y, FFrameEnd.y) - Base};
    SetTextColor(DC, RGB(255, 255, 255));
    SetBkColor(DC, RGB(0, 0, 0));
    if (R.right == R.left)
        ++R.right;
    if (R.bottom == R.top)
        ++R.bottom;
    ::DrawFocusRect(DC, &R);
    ReleaseDC(FHandle, DC);
    FFrameShown = !FFrameShown;
}

void THSCustomTreeView::MouseSelectProcess(int X, int Y) {
    RECT C = GetDrawRect();
    if (FAutoScroll && !InRect(C, POINT{X, Y}))
        StartTimer(2, 10);
    RECT H = GetHitTestRect();
    X = std::clamp<int>(X, H.left, H.right);
    Y = std::clamp<int>(Y, H.top, H.bottom);
    int Base = ContentTopOfTopItem();
    POINT P{X + FHorzOffset, Y + Base};
    if (FFrameShown && P.x == FFrameEnd.x && P.y == FFrameEnd.y)
        return;
    RECT R{std::min(FFrameStart.x, P.x), std::min(FFrameStart.y, P.y), std::max(FFrameStart.x, P.x),
           std::max(FFrameStart.y, P.y)};
    std::vector<THSTreeNode*> Hit;
    int Top = 0;
    for (THSTreeNode* N = GetFirstVisibleNode(); N && Top < R.bottom + 1; N = N->GetNextVisible()) {
        int Hgt = N->GetHeight();
        TNodeDispInfo Info;
        N->GetNodeDispInfoByPos(NodeLeft(N), 0, Info);
        RECT T = Info.Parts[npText];
        T.left += FHorzOffset;
        T.right += FHorzOffset;
        if (FRowSelect)
            T.right = std::max<LONG>(T.right, C.right + FHorzOffset);
        T.top = Top;
        T.bottom = Top + Hgt;
        bool Meets = (T.top >= R.top && T.top < R.bottom && R.left >= T.left && R.left < T.right) ||
                     (R.top >= T.top && R.top < T.bottom &&
                      ((R.left >= T.left && R.left < T.right) || (R.right >= T.left && R.right < T.right))) ||
                     (R.top >= T.top && R.top < T.bottom && T.left >= R.left && T.left < R.right);
        if (!Meets) {
            RECT I;
            Meets = IntersectRect(&I, &T, &R) != FALSE;
        }
        if (Meets)
            Hit.push_back(N);
        Top += Hgt;
    }
    if (FFrameShown)
        PaintSelectFrame();
    {
        TSelectionHold Hold(this);
        std::vector<THSTreeNode*> Old(FSelections);
        for (THSTreeNode* N : Old)
            if (std::find(Hit.begin(), Hit.end(), N) == Hit.end())
                N->SetSelected(false);
        for (THSTreeNode* N : Hit)
            if (!N->Selected()) {
                SetNodeSelectedFlag(N, true);
                AddToSelection(N);
            }
        if (!Hit.empty() && !FFocused)
            Hit.front()->SetFocused(true);
    }
    FFrameEnd = P;
    PaintSelectFrame();
}

void THSCustomTreeView::MouseSelectUpdate(THSTreeNode* Node) {
    // Rows inserted above the start point push the frame down with them.
    int Base = 0;
    for (THSTreeNode* N = GetFirstVisibleNode(); N && N != Node; N = N->GetNextVisible())
        Base += N->GetHeight();
    if (Base < FFrameStart.y) {
        int H = Node->GetHeight();
        FFrameStart.y += H;
        FFrameEnd.y += H;
    }
}

void THSCustomTreeView::MouseSelectCancel() {
    if (FFrameShown)
        PaintSelectFrame();
    FSelectFrame = false;
    FFrameShown = false;
    StopTimer(2);
}

void THSCustomTreeView::ProcessScrollTimer() {
    POINT P;
    GetCursorPos(&P);
    P = ScreenToClient(P);
    RECT C = GetDrawRect();
    if (FSelectFrame) {
        int Dist = 0;
        if (P.x < C.left) {
            Scroll(smLineLeft);
            Dist = C.left - P.x;
        } else if (P.x >= C.right) {
            Scroll(smLineRight);
            Dist = P.x - C.right;
        }
        if (P.y < C.top) {
            Scroll(smLineUp);
            Dist = std::max<int>(Dist, C.top - P.y);
        } else if (P.y >= C.bottom) {
            Scroll(smLineDown);
            Dist = std::max<int>(Dist, P.y - C.bottom);
        }
        MouseSelectProcess(P.x, P.y);
        if (FAutoScroll || !InRect(C, P))
            RestartTimer(2, std::max(1, 100 - Dist));
        else
            StopTimer(2);
        return;
    }
    if (FDragging && InRect(C, P)) {
        int ZoneX = (C.right - C.left) < 20 ? (C.right - C.left) / 2 : 10;
        int ZoneY = (C.bottom - C.top) < 20 ? (C.bottom - C.top) / 2 : 10;
        THSTreeNode* OldTop = FTopItem;
        int OldOffset = FHorzOffset;
        if (P.x < C.left + ZoneX)
            Scroll(smLineLeft);
        else if (P.x >= C.right - ZoneX)
            Scroll(smLineRight);
        if (P.y < C.top + ZoneY)
            Scroll(smLineUp);
        else if (P.y >= C.bottom - ZoneY)
            Scroll(smLineDown);
        bool Moved = OldTop != FTopItem || OldOffset != FHorzOffset;
        if (Moved && FAutoScroll) {
            RECT Inner = C;
            InflateRect(&Inner, -5, -5);
            RestartTimer(2, InRect(Inner, P) ? 100 : 10);
            UpdateDropTarget(P.x, P.y);
        } else {
            StopTimer(2);
        }
        return;
    }
    StopTimer(2);
}

// --- dragging nodes ---------------------------------------------------------------------------

void THSCustomTreeView::DoStartDrag() {
    FDragging = true;
    DoEvent(OnStartDrag, this);
    StopTimer(4);
    UpdateToolTip();
    if (FHotNode) {
        THSTreeNode* Old = FHotNode;
        FHotNode = nullptr;
        Old->Invalidate(NodePart(npText));
    }
    FLastDropTarget = nullptr;
    SetKeyboardHook();
    FillDragImage();
    if (TImageList* Images = GetDragImages(); Images && HandleAllocated()) {
        POINT P;
        GetCursorPos(&P);
        RECT W;
        GetWindowRect(FHandle, &W);
        FDragImageHidden = 0;
        FDragImageShown = ImageList_BeginDrag(Images->Handle(), 0, 0, 0) &&
                          ImageList_DragEnter(FHandle, P.x - W.left, P.y - W.top);
    }
    if (GetCapture() != FHandle)
        SetCapture(FHandle);
}

void THSCustomTreeView::DragOverAt(int X, int Y) {
    FDragOver = true;
    if (FDragImageShown) {
        POINT P{X, Y};
        ::ClientToScreen(FHandle, &P);
        RECT W;
        GetWindowRect(FHandle, &W);
        ImageList_DragMove(P.x - W.left, P.y - W.top);
    }
    UpdateDropTarget(X, Y);
    RECT C = GetDrawRect();
    POINT P{X, Y};
    if (InRect(C, P)) {
        RECT Inner = C;
        InflateRect(&Inner, -10, -10);
        if (FAutoScroll && !InRect(Inner, P))
            StartTimer(2, 100);
        if (FDropTarget && FDropTarget->HasChildren() && FExpandOnDrag && !FDropTarget->Expanded() &&
            FDragExpandNode != FDropTarget) {
            FDragExpandNode = FDropTarget;
            RestartTimer(3, FDragExpandDelay);
        }
    }
    bool Accept = false;
    if (OnDragOver)
        OnDragOver(this, this, X, Y, Accept);
    FDragAccepted = Accept;
    ::SetCursor(LoadCursorA(nullptr, Accept ? IDC_ARROW : IDC_NO));
}

void THSCustomTreeView::UpdateDropTarget(int X, int Y) {
    if (!FDragging)
        return;
    THSTreeNode* N = nullptr;
    GetHitTest(X, Y, &N);
    if (N && N != FDropTarget) {
        N->SetDropTarget(true);
        FLastDropTarget = N;
    }
}

void THSCustomTreeView::FinishDrag(bool Drop, int X, int Y) {
    if (!FDragging)
        return;
    StopTimer(2);
    StopTimer(3);
    FDragExpandNode = nullptr;
    THSTreeNode* Target = FDropTarget ? FDropTarget : FLastDropTarget;
    if (FDropTarget)
        FDropTarget->SetDropTarget(false);
    FDragging = false;
    FDragOver = false;
    ReleaseMouse();
    if (Drop && FDragAccepted && OnDragDrop) {
        FDropNode = Target;
        struct Clear {
            THSTreeNode*& N;
            ~Clear() { N = nullptr; }
        } C{FDropNode};
        OnDragDrop(this, this, X, Y);
    }
    FDragAccepted = false;
    DoEndDrag(Drop);
}

void THSCustomTreeView::DoEndDrag(bool) {
    FLastDropTarget = nullptr;
    if (FDragImageShown) {
        FDragImageShown = false;
        ImageList_DragLeave(FHandle);
        ImageList_EndDrag();
    }
    FDragImageHidden = 0;
    struct TUnhook {
        THSCustomTreeView* T;
        ~TUnhook() {
            T->RemoveKeyboardHook();
            if (T->FDragImages)
                T->FDragImages->Clear();
        }
    } Unhook{this};
    DoEvent(OnEndDrag, this);
}
