// Painting of the tree's rows: lines, buttons, check boxes, images, texts and marks.
#include "controls/tree/HSTree.h"

#include <algorithm>

#include "controls/tree/TreeEditors.h"

namespace {

bool Empty(const RECT& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

} // namespace

void THSCustomTreeView::Paint(HDC DC, const RECT& R) {
    bool SavedPrintAll = FPrintAll, SavedPrinting = FPrinting;
    int SavedOffset = FHorzOffset;
    FPrintAll = FPrinting = false;
    if (SavedPrinting)
        FHorzOffset = FScreenHorzOffset;
    FCanvas->SetHandle(DC);
    FCanvas->Flags = 0;
    FPainting = true;
    struct Restore {
        THSCustomTreeView* T;
        bool PrintAll;
        bool Printing;
        int Offset;
        ~Restore() {
            T->FPainting = false;
            T->FCanvas->SetHandle(nullptr);
            T->FPrintAll = PrintAll;
            T->FPrinting = Printing;
            T->FHorzOffset = Offset;
        }
    } Guard{this, SavedPrintAll, SavedPrinting, SavedOffset};
    DrawTreeView(R);
    FScrolledX = FScrolledY = 0;
}

void THSCustomTreeView::DrawTreeView(const RECT& R) {
    bool Frame = FFrameShown;
    if (Frame)
        PaintSelectFrame();
    RECT D = GetDrawRect();
    int Y = D.top;
    THSTreeNode* N = FTopItem;
    if (N && !N->IsVisible())
        N = GetNewTopItem(N);
    while (N && Y < R.bottom) {
        int H = N->GetHeight();
        if (Y + H > R.top) {
            TNodeDispInfo Info;
            N->GetNodeDispInfoByPos(NodeLeft(N), Y, Info);
            InternalDrawNode(N, Info, R);
        }
        Y += H;
        N = N->GetNextVisible();
    }
    if (Y < R.bottom)
        DrawBackground(nullptr, RECT{R.left, std::max<LONG>(Y, R.top), R.right, R.bottom});
    DrawFocusMark();
    DrawDropMark();
    if (Frame)
        PaintSelectFrame();
}

void THSCustomTreeView::DrawFocusMark() {
    THSTreeNode* F = FFocused;
    if (!F || !AllowDrawFocusRect(F))
        return;
    int Top = 0;
    if (!GetNodeTop(F, Top))
        return;
    RECT R = GetNodeFocusRect(F);
    FCanvas->Pen().SetColor(F->Selected() ? FActiveSelectedColor : clHighlight);
    FCanvas->Brush().SetColor(F->Selected() ? FActiveSelectedColor : clBlack);
    FCanvas->DrawFocusRect(R);
}

void THSCustomTreeView::DrawDropMark() {
    if (!FDropTarget || FDropTargetKind == tkStandard)
        return;
    int Top = 0;
    if (!GetNodeTop(FDropTarget, Top))
        return;
    RECT R = GetNodeFocusRect(FDropTarget);
    int Y = FDropTargetKind == tkUp ? R.top + 1 : R.bottom - 2;
    FCanvas->Pen().SetColor(GetNodeFontColor(FDropTarget, FDropTarget->DrawFont().Color()));
    FCanvas->MoveTo(R.left - 1, Y);
    FCanvas->LineTo(R.right, Y);
    FCanvas->MoveTo(R.left - 1, Y - 1);
    FCanvas->LineTo(R.left - 1, Y + 3);
    FCanvas->MoveTo(R.right - 1, Y - 1);
    FCanvas->LineTo(R.right - 1, Y + 3);
}

RECT THSCustomTreeView::GetNodeFocusRect(THSTreeNode* Node) {
    TNodeDispInfo Info;
    if (!Node->GetNodeDispInfo(Info))
        return RECT{0, 0, 0, 0};
    if (FRowSelect && FRowSelectType == rtFull) {
        RECT D = GetDrawRect();
        return RECT{D.left, Info.NodeRect.top, D.right, Info.NodeRect.bottom};
    }
    return Info.Parts[npText];
}

bool THSCustomTreeView::AllowDrawFocusRect(THSTreeNode* Node) {
    return HandleAllocated() && GetFocus() == FHandle && Node->Focused();
}

bool THSCustomTreeView::AllowDrawText(THSTreeNode* Node) {
    return FPrinting || Node != FEditNode;
}

void THSCustomTreeView::DrawNode(THSTreeNode* Node, const RECT& R) {
    TNodeDispInfo Info;
    if (Node->GetNodeDispInfo(Info))
        InternalDrawNode(Node, Info, R);
}

void THSCustomTreeView::InternalDrawNode(THSTreeNode* Node, const TNodeDispInfo& Info, const RECT& R) {
    DrawNodeLines(Node, Info);
    if (!Empty(Info.Parts[npButton]))
        DrawNodeButton(Node, Info.Parts[npButton]);
    if (!Empty(Info.Parts[npCheckBox]))
        Node->DrawCheckBox(Info.Parts[npCheckBox]);
    if (!Empty(Info.Parts[npStateImage]))
        Node->DrawStateImage(Info.Parts[npStateImage]);
    if (!Empty(Info.Parts[npImage]))
        Node->DrawImage(Info.Parts[npImage]);
    DrawNodeText(Node, Info.Parts[npText]);
    if (R.right > Info.Parts[npText].right)
        DrawBackground(Node,
                       RECT{Info.Parts[npText].right, Info.NodeRect.top, R.right, Info.NodeRect.bottom});
}

void THSCustomTreeView::DrawBackground(THSTreeNode* Node, const RECT& R) {
    if (Empty(R))
        return;
    FCanvas->Brush().SetColor(GetNodeBackgroundColor(Node));
    FCanvas->FillRect(R);
}

TColor THSCustomTreeView::GetNodeBackgroundColor(THSTreeNode* Node) {
    if (Node && FRowSelect && FRowSelectType == rtFull && !FPrinting)
        return GetNodeBrushColor(Node, Color());
    return Color();
}

bool THSCustomTreeView::TreeHasFocus() {
    return HandleAllocated() && GetFocus() == FHandle;
}

TColor THSCustomTreeView::GetNodeBrushColor(THSTreeNode* Node, TColor Default) {
    if (Node->DropTarget() && FDropTargetKind == tkStandard)
        return FActiveSelectedColor;
    if (!Node->Selected())
        return Default;
    if (TreeHasFocus())
        return FActiveSelectedColor;
    return FHideSelection ? Default : FInactiveSelectedColor;
}

TColor THSCustomTreeView::GetNodeFontColor(THSTreeNode* Node, TColor Default) {
    if (Node->DropTarget() && FDropTargetKind == tkStandard)
        return FActiveSelectedFontColor;
    if (!Node->Selected())
        return Default;
    if (TreeHasFocus())
        return FActiveSelectedFontColor;
    return FHideSelection ? Default : FInactiveSelectedFontColor;
}

TColor THSCustomTreeView::GetDefaultNodeBrushColor(THSTreeNode* Node) {
    return Node->Color();
}

void THSCustomTreeView::PrepareLinePens() {
    FCanvas->Pen().SetColor(FLinesColor);
    FCanvas->Brush().SetColor(Color());
    FCanvas->SetPattern(0xAA);
}

void THSCustomTreeView::DrawNodeLines(THSTreeNode* Node, const TNodeDispInfo& Info) {
    int Right = Info.Parts[npLines].right;
    for (THSTreeNode* A = Node->Parent(); A; A = A->Parent()) {
        int W = A->GetIndent();
        RECT Cell{Right - W, Info.NodeRect.top, Right, Info.NodeRect.bottom};
        if (W > 0)
            DrawNodeLineSection(A, Node, Cell);
        Right -= W;
    }
    if (!FPrinting && Right > Info.Parts[npLines].left)
        DrawBackground(nullptr,
                       RECT{Info.Parts[npLines].left, Info.NodeRect.top, Right, Info.NodeRect.bottom});
}

void THSCustomTreeView::DrawNodeLineSection(THSTreeNode* Ancestor, THSTreeNode*, const RECT& Cell) {
    if (!FPrinting)
        DrawBackground(nullptr, Cell);
    if (FShowLines && Ancestor->GetNextSibling()) {
        PrepareLinePens();
        int X = Cell.left + (Cell.right - Cell.left - 1) / 2;
        FCanvas->DrawVertDotLine(X, Cell.top, Cell.bottom);
    }
}

void THSCustomTreeView::DrawNodeButton(THSTreeNode* Node, const RECT& Cell) {
    if (!FPrinting)
        DrawBackground(nullptr, Cell);
    int W = Cell.right - Cell.left;
    int X = Cell.left + (W - 1) / 2;
    bool Button = Node->HasChildren() && FShowButtons;
    RECT Sq{0, 0, 0, 0};
    int Y;
    if (Button) {
        int Side = Node->GetButtonSize();
        Sq.left = Cell.left + (W - Side) / 2;
        Sq.top = ((Cell.bottom + Cell.top - Side + 1) / 2) & ~1;
        Sq.right = Sq.left + Side;
        Sq.bottom = Sq.top + Side;
        Y = Sq.top + Side / 2;
    } else {
        Y = ((Cell.top + Cell.bottom) / 2) & ~1;
    }
    if (FShowLines) {
        PrepareLinePens();
        bool First = Node == FRoot->GetFirstChild();
        if (!First)
            FCanvas->DrawVertDotLine(X, Cell.top, Button ? Sq.top : Y);
        if (Node->GetNextSibling())
            FCanvas->DrawVertDotLine(X, Button ? Sq.bottom : Y, Cell.bottom);
        FCanvas->DrawHorzDotLine(Button ? Sq.right + 1 : X, Y, Cell.right);
    }
    if (Button) {
        FCanvas->Brush().SetColor(FLinesColor);
        FCanvas->FrameRect(Sq);
        RECT Inner{Sq.left + 1, Sq.top + 1, Sq.right - 1, Sq.bottom - 1};
        FCanvas->Brush().SetColor(Color());
        FCanvas->FillRect(Inner);
        int Side = Sq.right - Sq.left;
        int Sym = Side < 5 ? 1 : (Side < 7 ? 3 : 5);
        int SL = Sq.left + (Side - Sym) / 2;
        int ST = Sq.top + (Side - Sym) / 2;
        int MidY = ST + Sym / 2, MidX = SL + Sym / 2;
        FCanvas->Pen().SetColor(clBlack);
        FCanvas->MoveTo(SL, MidY);
        FCanvas->LineTo(SL + Sym, MidY);
        if (!Node->Expanded() && !FPrinting) {
            FCanvas->MoveTo(MidX, ST);
            FCanvas->LineTo(MidX, ST + Sym);
        }
    }
}

void THSCustomTreeView::DrawNodeCheckBox(THSTreeNode* Node, const RECT& R) {
    if (!FPrinting)
        DrawBackground(nullptr, R);
    SIZE S = CheckBoxSize();
    RECT Box{0, 0, S.cx - 1, S.cy - 1};
    OffsetRect(&Box, R.left + (R.right - R.left - Box.right) / 2,
               R.top + (R.bottom - R.top - Box.bottom) / 2);
    ++Box.right;
    ++Box.bottom;
    UINT State = Node->NodeType() == ntCheckBox ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO;
    if (FFlatChecks)
        State |= DFCS_FLAT;
    if (Node->State() == TCheckBoxState::cbChecked)
        State |= DFCS_CHECKED;
    else if (Node->State() == TCheckBoxState::cbGrayed)
        State |= DFCS_CHECKED | DFCS_INACTIVE;
    DrawFrameControl(FCanvas->Handle(), &Box, DFC_BUTTON, State);
}

void THSCustomTreeView::DrawNodeStateImage(THSTreeNode* Node, const RECT& R) {
    if (!FPrinting)
        DrawBackground(nullptr, R);
    if (!FStateImages)
        return;
    int Y = R.top + (R.bottom - R.top - FStateImages->Height()) / 2;
    FStateImages->Draw(*FCanvas, R.left, Y, Node->StateIndex());
}

void THSCustomTreeView::DrawNodeImage(THSTreeNode* Node, const RECT& R) {
    if (!FImages)
        return;
    int Index;
    if (Node->Selected()) {
        DoGetSelectedIndex(Node);
        Index = Node->SelectedIndex();
    } else {
        DoGetImageIndex(Node);
        Index = Node->ImageIndex();
    }
    TColor Back = (FRowSelect && FRowSelectType == rtFull) ? GetNodeBackgroundColor(Node) : Color();
    if (!FPrinting) {
        FCanvas->Brush().SetColor(Back);
        FCanvas->FillRect(R);
    }
    if (Index < 0 || Index >= FImages->Count())
        return;
    int Y = R.top + (R.bottom - R.top - FImages->Height()) / 2;
    HDC DC = FCanvas->Handle();
    ImageList_DrawEx(FImages->Handle(), Index, DC, R.left, Y, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_TRANSPARENT | (Node->Cut() ? ILD_BLEND50 : 0));
    if (Node->OverlayIndex() >= 0 && Node->OverlayIndex() < FImages->Count())
        ImageList_Draw(FImages->Handle(), Node->OverlayIndex(), DC, R.left, Y, ILD_TRANSPARENT);
}

void THSCustomTreeView::DrawNodeText(THSTreeNode* Node, const RECT& R) {
    if (Empty(R))
        return;
    if (!AllowDrawText(Node)) {
        DrawBackground(nullptr, R);
        return;
    }
    TFont& F = Node->DrawFont();
    FCanvas->Font().Assign(F);
    TColor FontColor = F.Color();
    if (!FPrinting) {
        if (Node == FHotNode && FHotTrack)
            FontColor = FActiveSelectedColor;
        FCanvas->Brush().SetColor(GetNodeBrushColor(Node, GetDefaultNodeBrushColor(Node)));
        FCanvas->Font().SetColor(GetNodeFontColor(Node, FontColor));
    } else {
        FCanvas->Brush().SetColor(GetDefaultNodeBrushColor(Node));
    }
    RECT T{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
    DrawEditor(Node, Node->Text(), T);
    if (!FPrinting) {
        FCanvas->FillRectExclude(R, T);
        if (Node == FHotNode && FHotTrack) {
            TEXTMETRICA TM{};
            GetTextMetricsA(FCanvas->Handle(), &TM);
            int Y = T.top + TM.tmAscent + 2;
            FCanvas->Pen().SetColor(FCanvas->Font().Color());
            FCanvas->MoveTo(T.left, Y);
            FCanvas->LineTo(T.right, Y);
        }
    }
}

void THSCustomTreeView::DrawEditor(THSTreeNode* Node, const std::string& Text, const RECT& R) {
    if (FMultiLineNodes) {
        RECT M = R;
        OffsetRect(&M, 1, 0);
        DrawMultiLineText(*FCanvas, Text, M);
        if (M.left > R.left)
            FCanvas->FillRect(RECT{R.left, R.top, M.left, R.bottom});
        return;
    }
    int H = CachedFontHeight(Node->DrawFont()) + 2;
    RECT L{R.left, (R.top + R.bottom - H) / 2, R.right, 0};
    L.bottom = L.top + H;
    OffsetRect(&L, 1, 0);
    L.top += 1;
    L.bottom -= 1;
    L.right = std::min(L.right, R.right);
    L.top = std::max(L.top, R.top);
    L.bottom = std::min(L.bottom, R.bottom);
    FCanvas->TextRect(L, L.left, L.top, Text);
    if (!(FCanvas->Flags & (1u << cfNoTextFill)))
        FCanvas->FillRectExclude(R, L);
}
