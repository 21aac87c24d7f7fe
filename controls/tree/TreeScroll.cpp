// Scrolling of the tree: vertically by whole nodes, horizontally by pixels.
#include "controls/tree/HSTree.h"

#include <algorithm>
#include <cstdlib>

#include "controls/tree/HSToolTip.h"

// --- scrolling --------------------------------------------------------------------------------

int THSCustomTreeView::TopIndex() {
    if (!FTopIndexValid) {
        FTopIndex = FTopItem ? std::max(0, FTopItem->VisibleIndex()) : 0;
        FTopIndexValid = true;
    }
    return FTopIndex;
}

THSTreeNode* THSCustomTreeView::GetFirstVisibleNode() {
    return FRoot ? FRoot->FFirstChild : nullptr;
}

THSTreeNode* THSCustomTreeView::GetLastVisibleNode() {
    return FItems->GetLastVisibleNode();
}

int THSCustomTreeView::GetPageSize() {
    RECT C = GetDrawRect();
    int H = C.bottom - C.top;
    int N = 0;
    for (THSTreeNode* Node = FTopItem; Node; Node = Node->GetNextVisible()) {
        H -= Node->GetHeight();
        if (H < 0)
            break;
        ++N;
    }
    return N;
}

THSTreeNode* THSCustomTreeView::GetNewTopItem(THSTreeNode* Node) {
    if (!Node)
        Node = GetFirstVisibleNode();
    if (!Node)
        return nullptr;
    if (!Node->IsVisible()) {
        THSTreeNode* Visible = Node;
        for (THSTreeNode* P = Node->FParent; P; P = P->FParent)
            if (!P->Expanded())
                Visible = P;
        Node = Visible;
    }
    if (!HandleAllocated())
        return Node;
    RECT C = GetDrawRect();
    int Room = C.bottom - C.top;
    for (THSTreeNode* N = Node; N; N = N->GetNextVisible()) {
        Room -= N->GetHeight();
        if (Room < 0)
            return Node;
    }
    // The rows below do not fill the page: move up as long as whole rows fit.
    for (THSTreeNode* P = Node->GetPrevVisible(); P; P = P->GetPrevVisible()) {
        int H = P->GetHeight();
        if (Room - H < 0)
            break;
        Room -= H;
        Node = P;
    }
    return Node;
}

void THSCustomTreeView::SetTopItem(THSTreeNode* Node) {
    if (!Node || Node == FTopItem)
        return;
    Node->EnsureExpanded();
    SetTopItemInternal(GetNewTopItem(Node), false);
}

void THSCustomTreeView::SetTopItemInternal(THSTreeNode* Node, bool /*ByScroll*/) {
    if (Node == FTopItem) {
        if (HandleAllocated() && FLockCount == 0)
            SetVertPosition();
        return;
    }
    if (IsEditing())
        EndEditNode(false);
    BeforeSetTopItem();
    THSTreeNode* Old = FTopItem;
    int Dy = 0;
    bool Scrolled = false;
    if (Old && Node && AllowPaintTree() && Old->IsVisible()) {
        RECT C = GetDrawRect();
        int Limit = C.bottom - C.top;
        int OldIndex = TopIndex();
        int NewIndex = Node->VisibleIndex();
        if (NewIndex > OldIndex) {
            int Sum = 0;
            for (THSTreeNode* N = Old; N && N != Node && Sum <= Limit; N = N->GetNextVisible())
                Sum += N->GetHeight();
            if (Sum <= Limit) {
                Dy = -Sum;
                Scrolled = true;
            }
        } else {
            int Sum = 0;
            for (THSTreeNode* N = Node; N && N != Old && Sum <= Limit; N = N->GetNextVisible())
                Sum += N->GetHeight();
            if (Sum <= Limit) {
                Dy = Sum;
                Scrolled = true;
            }
        }
        FTopItem = Node;
        FTopIndex = NewIndex;
        FTopIndexValid = NewIndex >= 0;
    } else {
        FTopItem = Node;
        InvalidateVisibleIndexCache();
    }
    if (AllowPaintTree()) {
        BeforeScrollUpdate();
        if (Scrolled)
            ScrollAbs(0, Dy);
        else
            Invalidate();
        AfterScrollUpdate();
        SetVertPosition();
    }
    if (FDragging) {
        POINT P;
        GetCursorPos(&P);
        P = ScreenToClient(P);
        UpdateDropTarget(P.x, P.y);
    }
    AfterSetTopItem();
}

void THSCustomTreeView::SetVertPosition() {
    if (!HandleAllocated() || !FVScrollShown)
        return;
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_POS;
    SI.nPos = TopIndex();
    SetScrollInfo(FHandle, SB_VERT, &SI, TRUE);
}

void THSCustomTreeView::TopItemChanged() {
    if (!FRoot || IsDestroying())
        return;
    InvalidateVisibleIndexCache();
    THSTreeNode* N = GetNewTopItem(FTopItem);
    FTopItem = N;
    InvalidateVisibleIndexCache();
    UpdateScroll(true, true);
    Invalidate();
}

void THSCustomTreeView::UpdateScroll(bool Horizontal, bool Vertical) {
    if (IsDestroying() || !HandleAllocated() || FLockCount > 0 || FUpdatingScroll)
        return;
    FUpdatingScroll = true;
    struct Release {
        bool& F;
        ~Release() { F = false; }
    } R{FUpdatingScroll};
    BeforeUpdateScrollBars();
    RECT C;
    GetClientRect(FHandle, &C);
    int W = C.right + (FVScrollShown ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int H = C.bottom + (FHScrollShown ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    int MaxW = GetMaxWidth();
    int Visible = FItems->VisibleCount();
    auto RowsFit = [&](int Height) {
        int N = 0;
        for (THSTreeNode* Node = FTopItem ? FTopItem : GetFirstVisibleNode(); Node;
             Node = Node->GetNextVisible()) {
            Height -= Node->GetHeight();
            if (Height < 0)
                break;
            ++N;
        }
        return N;
    };
    bool NeedH = MaxW > W;
    if (NeedH)
        H -= GetSystemMetrics(SM_CYHSCROLL);
    bool NeedV = TopIndex() > 0 || RowsFit(H) < Visible;
    if (NeedV) {
        W -= GetSystemMetrics(SM_CXVSCROLL);
        if (!NeedH && MaxW > W) {
            NeedH = true;
            H -= GetSystemMetrics(SM_CYHSCROLL);
        }
    }
    if (NeedV != FVScrollShown) {
        FVScrollShown = NeedV;
        ShowScrollBar(FHandle, SB_VERT, NeedV);
    }
    if (NeedH != FHScrollShown) {
        FHScrollShown = NeedH;
        ShowScrollBar(FHandle, SB_HORZ, NeedH);
    }
    if (NeedV) {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        SI.nMin = 0;
        SI.nMax = std::max(0, Visible - 1);
        SI.nPage = static_cast<UINT>(std::max(1, RowsFit(H)));
        SI.nPos = TopIndex();
        SetScrollInfo(FHandle, SB_VERT, &SI, TRUE);
    }
    if (NeedH) {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        SI.nMin = 0;
        SI.nMax = std::max(0, MaxW - 1);
        SI.nPage = static_cast<UINT>(std::max(1, W));
        SI.nPos = FHorzOffset;
        SetScrollInfo(FHandle, SB_HORZ, &SI, TRUE);
    }
    if (Horizontal)
        ProcessHScroll(FHorzOffset);
    if (Vertical)
        SetTopItemInternal(GetNewTopItem(FTopItem), false);
    AfterUpdateScrollBars();
}

void THSCustomTreeView::ProcessHScroll(int NewPos) {
    if (!HandleAllocated())
        return;
    RECT C = GetDrawRect();
    int Page = C.right - C.left;
    int Max = std::max(0, GetMaxWidth() - Page);
    NewPos = std::clamp(NewPos, 0, Max);
    if (NewPos == FHorzOffset)
        return;
    int Dx = FHorzOffset - NewPos;
    FHorzOffset = NewPos;
    BeforeScrollUpdate();
    if (FLockCount == 0)
        ScrollAbs(Dx, 0);
    AfterScrollUpdate();
    if (FHScrollShown) {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_POS;
        SI.nPos = FHorzOffset;
        SetScrollInfo(FHandle, SB_HORZ, &SI, TRUE);
    }
}

void THSCustomTreeView::ScrollAbs(int DX, int DY) {
    if (!HandleAllocated())
        return;
    if (FToolTip)
        FToolTip->SetNode(nullptr);
    FScrolledX += DX;
    FScrolledY += DY;
    RECT R = GetScrollRect(DX, DY);
    int W = R.right - R.left, H = R.bottom - R.top;
    if (W < std::abs(FScrolledX) || W < std::abs(DX) || H < std::abs(FScrolledY) || H < std::abs(DY)) {
        InvalidateRect(FHandle, nullptr, FALSE);
    } else {
        bool Frame = FFrameShown;
        if (Frame)
            PaintSelectFrame();
        // The drag image is drawn over the window: moved pixels must not carry it along.
        HideDragImage();
        ScrollWindowEx(FHandle, DX, DY, &R, &R, nullptr, nullptr, SW_INVALIDATE);
        ShowDragImage();
        if (Frame)
            PaintSelectFrame();
    }
    if (FEditor && FEditor->Visible())
        FEditor->SetBounds(FEditor->Left() + DX, FEditor->Top() + DY, FEditor->Width(), FEditor->Height());
}

void THSCustomTreeView::ScrollByLines(int N) {
    THSTreeNode* T = FTopItem;
    if (!T)
        return;
    if (N > 0) {
        for (int I = 0; I < N; ++I) {
            THSTreeNode* Next = T->GetNextVisible();
            if (!Next)
                break;
            T = Next;
        }
    } else {
        for (int I = 0; I < -N; ++I) {
            THSTreeNode* Prev = T->GetPrevVisible();
            if (!Prev)
                break;
            T = Prev;
        }
    }
    SetTopItemInternal(GetNewTopItem(T), true);
}

namespace {

// The farthest shown node, walking by Step from Node, that still fits on one page with Node.
THSTreeNode* LastNodeOnPage(THSTreeNode* Node, int PageHeight, THSTreeNode* (THSTreeNode::*Step)() const) {
    int Room = PageHeight - Node->GetHeight();
    THSTreeNode* Result = Node;
    for (THSTreeNode* N = (Node->*Step)(); N; N = (N->*Step)()) {
        Room -= N->GetHeight();
        if (Room < 0)
            break;
        Result = N;
    }
    return Result;
}

} // namespace

THSTreeNode* THSCustomTreeView::PageDownItem(THSTreeNode* Node) {
    if (!Node)
        return nullptr;
    RECT C = GetDrawRect();
    return LastNodeOnPage(Node, C.bottom - C.top, &THSTreeNode::GetNextVisible);
}

THSTreeNode* THSCustomTreeView::PageUpItem(THSTreeNode* Node) {
    if (!Node)
        return nullptr;
    RECT C = GetDrawRect();
    return LastNodeOnPage(Node, C.bottom - C.top, &THSTreeNode::GetPrevVisible);
}

void THSCustomTreeView::WMVScroll(int Code) {
    if (IsEditing())
        EndEditNode(false);
    THSTreeNode* T = FTopItem;
    if (!T)
        return;
    THSTreeNode* New = T;
    switch (Code) {
    case SB_LINEUP:
        New = T->GetPrevVisible();
        break;
    case SB_LINEDOWN:
        New = T->GetNextVisible();
        break;
    case SB_PAGEUP:
        New = PageUpItem(T);
        break;
    case SB_PAGEDOWN:
        New = PageDownItem(T);
        break;
    case SB_TOP:
        New = GetFirstVisibleNode();
        break;
    case SB_BOTTOM:
        New = GetLastVisibleNode();
        break;
    case SB_THUMBTRACK: {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_TRACKPOS;
        GetScrollInfo(FHandle, SB_VERT, &SI);
        int Pos = std::clamp(SI.nTrackPos, 0, std::max(0, FItems->VisibleCount() - 1));
        New = FItems->VisibleCount() > 0 ? FItems->GetVisibleItem(Pos) : nullptr;
        break;
    }
    default:
        return;
    }
    if (New)
        SetTopItemInternal(GetNewTopItem(New), true);
}

void THSCustomTreeView::WMHScroll(int Code) {
    if (IsEditing())
        EndEditNode(false);
    RECT C = GetDrawRect();
    int Page = C.right - C.left;
    int Pos = FHorzOffset;
    switch (Code) {
    case SB_LINELEFT:
        Pos -= 5;
        break;
    case SB_LINERIGHT:
        Pos += 5;
        break;
    case SB_PAGELEFT:
        Pos -= Page - 5;
        break;
    case SB_PAGERIGHT:
        Pos += Page - 5;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_TRACKPOS;
        GetScrollInfo(FHandle, SB_HORZ, &SI);
        Pos = SI.nTrackPos;
        break;
    }
    case SB_LEFT:
        Pos = 0;
        break;
    case SB_RIGHT:
        Pos = GetMaxWidth();
        break;
    default:
        return;
    }
    ProcessHScroll(Pos);
    if (FRowSelect && FFocused)
        FFocused->Invalidate(NodePart(npText));
}

void THSCustomTreeView::Scroll(THSScrollMode Mode) {
    if (FToolTip)
        FToolTip->SetNode(nullptr);
    switch (Mode) {
    case smLineLeft:
        WMHScroll(SB_LINELEFT);
        break;
    case smPageLeft:
        WMHScroll(SB_PAGELEFT);
        break;
    case smToLeft:
        WMHScroll(SB_LEFT);
        break;
    case smLineRight:
        WMHScroll(SB_LINERIGHT);
        break;
    case smPageRight:
        WMHScroll(SB_PAGERIGHT);
        break;
    case smToRight:
        WMHScroll(SB_RIGHT);
        break;
    case smLineUp:
        WMVScroll(SB_LINEUP);
        break;
    case smPageUp:
        WMVScroll(SB_PAGEUP);
        break;
    case smToTop:
        WMVScroll(SB_TOP);
        break;
    case smLineDown:
        WMVScroll(SB_LINEDOWN);
        break;
    case smPageDown:
        WMVScroll(SB_PAGEDOWN);
        break;
    case smToBottom:
        WMVScroll(SB_BOTTOM);
        break;
    }
}

void THSCustomTreeView::MakeVisibleVert(THSTreeNode* Node) {
    if (!HandleAllocated() || FLockCount > 0 || !Node || !Node->IsVisible())
        return;
    RECT C = GetDrawRect();
    int Top = 0;
    if (GetNodeTop(Node, Top) && Top + Node->GetHeight() <= C.bottom)
        return;
    if (!FTopItem || Node->VisibleIndex() < TopIndex()) {
        SetTopItemInternal(Node, false);
        return;
    }
    int Room = C.bottom - C.top - Node->GetHeight();
    THSTreeNode* T = Node;
    for (THSTreeNode* P = Node->GetPrevVisible(); P; P = P->GetPrevVisible()) {
        Room -= P->GetHeight();
        if (Room < 0)
            break;
        T = P;
    }
    SetTopItemInternal(T, false);
}

void THSCustomTreeView::MakeVisibleHorz(THSTreeNode* Node) {
    if (!HandleAllocated() || FLockCount > 0 || !Node)
        return;
    RECT R = Node->DisplayRectPart(npButton, npText);
    if (R.right == R.left)
        return;
    RECT D = GetDrawRect();
    if (R.right > D.right || R.left < D.left) {
        int Pos = FHorzOffset;
        if (R.right - R.left > D.right - D.left)
            Pos += R.left;
        else
            Pos += R.right - D.right + D.left;
        ProcessHScroll(Pos);
    }
}
