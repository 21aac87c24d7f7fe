#include "controls/tree/HSTreeNode.h"

#include <algorithm>
#include <vector>

#include "controls/tree/HSTree.h"
#include "framework/core/SysUtils.h"

namespace {

const TEnumInfo NodeTypeInfo{{"ntNone", "ntCheckBox", "ntRadioButton"}};
const TEnumInfo CheckBoxStateInfo{{"cbUnchecked", "cbChecked", "cbGrayed"}};

bool NodeColorStored(TObject* O) {
    return !static_cast<THSTreeNode*>(O)->ParentColor();
}
bool NodeFontStored(TObject* O) {
    return !static_cast<THSTreeNode*>(O)->ParentFont();
}

} // namespace

// The property table doubles as the stream's table of node properties: the reader and writer look
// properties up here by name.
ZEL_DEFINE_CLASS(
    THSTreeNode, TPersistent,
    {Prop::Bool<THSTreeNode>("AllowGrayed", &THSTreeNode::AllowGrayed, &THSTreeNode::SetAllowGrayed)
         .WithDefault(0),
     Prop::Int<THSTreeNode>("Color", &THSTreeNode::Color, &THSTreeNode::SetColor)
         .WithDefault(clWindow)
         .StoredIf(&NodeColorStored),
     Prop::Bool<THSTreeNode>("Expanded", &THSTreeNode::Expanded, &THSTreeNode::SetExpanded).WithDefault(0),
     Prop::Object<THSTreeNode>("Font", &THSTreeNode::Font, &THSTreeNode::SetFont).StoredIf(&NodeFontStored),
     Prop::Bool<THSTreeNode>("HasChildren", &THSTreeNode::HasChildren, &THSTreeNode::SetHasChildren)
         .WithDefault(0),
     Prop::Int<THSTreeNode>("ImageIndex", &THSTreeNode::ImageIndex, &THSTreeNode::SetImageIndex)
         .WithDefault(0),
     Prop::Enum<THSTreeNode>("NodeType", &NodeTypeInfo, &THSTreeNode::NodeType, &THSTreeNode::SetNodeType)
         .WithDefault(ntNone),
     Prop::Int<THSTreeNode>("OverlayIndex", &THSTreeNode::OverlayIndex, &THSTreeNode::SetOverlayIndex)
         .WithDefault(-1),
     Prop::Bool<THSTreeNode>("ReadOnly", &THSTreeNode::ReadOnly, &THSTreeNode::SetReadOnly).WithDefault(0),
     Prop::Bool<THSTreeNode>("ParentColor", &THSTreeNode::ParentColor, &THSTreeNode::SetParentColor)
         .WithDefault(1),
     Prop::Bool<THSTreeNode>("ParentFont", &THSTreeNode::ParentFont, &THSTreeNode::SetParentFont)
         .WithDefault(1),
     Prop::Int<THSTreeNode>("SelectedIndex", &THSTreeNode::SelectedIndex, &THSTreeNode::SetSelectedIndex)
         .WithDefault(0),
     Prop::Enum<THSTreeNode>("State", &CheckBoxStateInfo, &THSTreeNode::State, &THSTreeNode::SetState)
         .WithDefault(0),
     Prop::Int<THSTreeNode>("StateIndex", &THSTreeNode::StateIndex, &THSTreeNode::SetStateIndex)
         .WithDefault(-1),
     Prop::String<THSTreeNode>("Text", &THSTreeNode::Text, &THSTreeNode::SetText)})

// --- THSTreeNode: life ------------------------------------------------------------------------

THSTreeNode::THSTreeNode(THSTreeNodes* AOwner) : FOwner(AOwner) {
    FTreeView = AOwner ? AOwner->Owner() : nullptr;
    FStates = static_cast<TNodeStates>((1u << nsParentColor) | (1u << nsParentFont));
    if (FTreeView)
        FColor = FTreeView->Color();
}

void THSTreeNode::AttachTo(THSTreeNodes* AOwner) {
    FOwner = AOwner;
    FTreeView = AOwner ? AOwner->Owner() : nullptr;
    if (FTreeView && ParentColor())
        FColor = FTreeView->Color();
}

THSTreeNode::~THSTreeNode() {
    THSCustomTreeView* Tree = FTreeView;
    SetStateBit(nsDeleting, true);
    if (!Tree || !FLinkParent) {
        // A detached node (the root, or one made only to read custom data).
        while (FFirstChild)
            delete FFirstChild;
        return;
    }
    bool Destroying = Tree->IsDestroying();
    if (!Destroying && Tree->FEditNode && (Tree->FEditNode == this || Tree->FEditNode->HasAsParent(this)))
        Tree->EndEditNode(false);
    FOwner->ClearCache();
    while (FFirstChild)
        delete FFirstChild;
    THSTreeNode* Neighbour = nullptr;
    THSTreeNode* DeletingParent = (FParent && FParent->Deleting()) ? FParent : nullptr;
    if (!Destroying && !DeletingParent) {
        Neighbour = GetNextVisible();
        if (!Neighbour)
            Neighbour = GetPrevVisible();
        if (!Neighbour || Neighbour == this)
            Neighbour = FParent;
    }
    Tree->RemoveFromSelection(this);
    THSTreeNode* LinkParent = FLinkParent;
    if (!Destroying) {
        bool WasVisible = IsVisible();
        int RowTop = 0;
        bool OnScreen = WasVisible && Tree->AllowPaintTree() && Tree->GetNodeTop(this, RowTop);
        SubtractCounts(LinkParent);
        Unlink();
        if (LinkParent->FCheckedRadio == this)
            LinkParent->FCheckedRadio = nullptr;
        Tree->NodeDeleted(this, Neighbour, DeletingParent);
        if (WasVisible && !DeletingParent) {
            if (Tree->AllowPaintTree()) {
                // Ancestors may name this node or its widest descendant; both are compared only.
                if (FWidestNode && FWidestNode != this)
                    LinkParent->ShrinkWidth(FWidestNode);
                LinkParent->ShrinkWidth(this);
            } else
                Tree->FNeedRecalc = true;
        }
        if (OnScreen) {
            RECT R = Tree->GetDrawRect();
            R.top = RowTop;
            InvalidateRect(Tree->Handle(), &R, FALSE);
        }
        Tree->DoDeletion(this);
        LinkParent->UpdateParentButton();
    } else {
        Unlink();
        Tree->DoDeletion(this);
    }
}

void THSTreeNode::Delete() {
    if (!Deleting())
        delete this;
}

void THSTreeNode::DeleteChildren() {
    if (!FFirstChild)
        return;
    {
        THSTreeUpdateGuard Batch(*FOwner);
        while (FFirstChild)
            delete FFirstChild;
    }
}

void THSTreeNode::Assign(TPersistent* Source) {
    auto* Node = dynamic_cast<THSTreeNode*>(Source);
    if (!Node) {
        TPersistent::Assign(Source);
        return;
    }
    SetText(Node->Text());
    SetData(Node->Data());
    SetImageIndex(Node->ImageIndex());
    SetSelectedIndex(Node->SelectedIndex());
    SetStateIndex(Node->StateIndex());
    SetOverlayIndex(Node->OverlayIndex());
    SetNodeType(Node->NodeType());
    SetAllowGrayed(Node->AllowGrayed());
    SetState(Node->State());
    SetReadOnly(Node->ReadOnly());
    SetHasChildren(Node->HasChildren());
    if (!Node->ParentColor())
        SetColor(Node->Color());
    if (!Node->ParentFont())
        SetFont(Node->Font());
}

// --- flags and small helpers ------------------------------------------------------------------

void THSTreeNode::SetStateBit(TNodeStateItem S, bool On) {
    if (On)
        FStates = static_cast<TNodeStates>(FStates | (1u << S));
    else
        FStates = static_cast<TNodeStates>(FStates & ~(1u << S));
}

bool THSTreeNode::Locked() const {
    return FOwner && FOwner->Locked();
}

bool THSTreeNode::AllowPaint() const {
    return FTreeView && FTreeView->AllowPaintTree();
}

TFont& THSTreeNode::DrawFont() const {
    if (FFont)
        return *FFont;
    if (FTreeView->FPrinting)
        return FTreeView->PrintOptions().PrintFont();
    return FTreeView->Font();
}

// --- navigation -------------------------------------------------------------------------------

THSTreeNode* THSTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= FCount)
        throw EListError(Format(SListIndexError, Index));
    THSTreeNode* N = FFirstChild;
    if (Index > FCount / 2) {
        N = FLastChild;
        for (int I = FCount - 1; I > Index; --I)
            N = N->FPrevSibling;
        return N;
    }
    for (int I = 0; I < Index; ++I)
        N = N->FNextSibling;
    return N;
}

int THSTreeNode::IndexOf(const THSTreeNode* Child) const {
    int I = 0;
    for (THSTreeNode* N = FFirstChild; N; N = N->FNextSibling, ++I)
        if (N == Child)
            return I;
    return -1;
}

int THSTreeNode::Index() const {
    int I = 0;
    for (THSTreeNode* N = FPrevSibling; N; N = N->FPrevSibling)
        ++I;
    return I;
}

int THSTreeNode::Level() const {
    int L = 0;
    for (THSTreeNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

bool THSTreeNode::HasAsParent(const THSTreeNode* Node) const {
    if (!Node)
        return false;
    for (THSTreeNode* P = FParent; P; P = P->FParent)
        if (P == Node)
            return true;
    return false;
}

THSTreeNode* THSTreeNode::GetNext() const {
    if (FFirstChild)
        return FFirstChild;
    for (const THSTreeNode* N = this; N && N->FLinkParent; N = N->FLinkParent)
        if (N->FNextSibling)
            return N->FNextSibling;
    return nullptr;
}

THSTreeNode* THSTreeNode::GetPrev() const {
    if (FPrevSibling) {
        THSTreeNode* N = FPrevSibling;
        while (N->FLastChild)
            N = N->FLastChild;
        return N;
    }
    return FParent;
}

bool THSTreeNode::IsVisible() const {
    if (FTreeView && FTreeView->FPrintAll)
        return true;
    for (THSTreeNode* P = FParent; P; P = P->FParent)
        if (!P->Expanded())
            return false;
    return FLinkParent != nullptr;
}

THSTreeNode* THSTreeNode::GetNextVisible() const {
    if (!IsVisible())
        return nullptr;
    bool All = FTreeView && FTreeView->FPrintAll;
    if (FFirstChild && (All || Expanded()))
        return FFirstChild;
    for (const THSTreeNode* N = this; N && N->FLinkParent; N = N->FLinkParent)
        if (N->FNextSibling)
            return N->FNextSibling;
    return nullptr;
}

THSTreeNode* THSTreeNode::GetPrevVisible() const {
    if (!IsVisible())
        return nullptr;
    bool All = FTreeView && FTreeView->FPrintAll;
    if (FPrevSibling) {
        THSTreeNode* N = FPrevSibling;
        while (N->FLastChild && (All || N->Expanded()))
            N = N->FLastChild;
        return N;
    }
    return FParent;
}

// --- counts and links -------------------------------------------------------------------------

void THSTreeNode::LinkInto(THSTreeNode* ListOwner, THSTreeNode* Before) {
    FLinkParent = ListOwner;
    FParent = (ListOwner && ListOwner->FLinkParent) ? ListOwner : nullptr;
    if (Before) {
        FNextSibling = Before;
        FPrevSibling = Before->FPrevSibling;
        if (FPrevSibling)
            FPrevSibling->FNextSibling = this;
        else
            ListOwner->FFirstChild = this;
        Before->FPrevSibling = this;
    } else {
        FPrevSibling = ListOwner->FLastChild;
        FNextSibling = nullptr;
        if (FPrevSibling)
            FPrevSibling->FNextSibling = this;
        else
            ListOwner->FFirstChild = this;
        ListOwner->FLastChild = this;
    }
    ++ListOwner->FCount;
}

void THSTreeNode::TakeOutOfSiblings(THSTreeNode* ListOwner) {
    if (FPrevSibling)
        FPrevSibling->FNextSibling = FNextSibling;
    else
        ListOwner->FFirstChild = FNextSibling;
    if (FNextSibling)
        FNextSibling->FPrevSibling = FPrevSibling;
    else
        ListOwner->FLastChild = FPrevSibling;
    --ListOwner->FCount;
}

void THSTreeNode::Unlink() {
    THSTreeNode* L = FLinkParent;
    if (!L)
        return;
    TakeOutOfSiblings(L);
    FPrevSibling = FNextSibling = nullptr;
    FLinkParent = nullptr;
    FParent = nullptr;
}

void THSTreeNode::AddCounts(THSTreeNode* ListOwner) {
    int Items = FItemCount + 1;
    for (THSTreeNode* P = ListOwner; P; P = P->FLinkParent)
        P->FItemCount += Items;
    ListOwner->PropagateExpandedDelta(ShownRows());
}

void THSTreeNode::SubtractCounts(THSTreeNode* ListOwner) {
    int Items = FItemCount + 1;
    for (THSTreeNode* P = ListOwner; P; P = P->FLinkParent)
        P->FItemCount -= Items;
    ListOwner->PropagateExpandedDelta(-ShownRows());
    if (ListOwner->FLinkParent && ListOwner->FItemCount == 0 && ListOwner->Expanded()) {
        // Its contribution to its own parent was 1 + 0 either way.
        ListOwner->SetStateBit(nsExpanded, false);
    }
}

// Adds Delta to this node's shown count and to its ancestors' while the chain stays expanded.
void THSTreeNode::PropagateExpandedDelta(int Delta) {
    if (Delta == 0)
        return;
    for (THSTreeNode* P = this; P; P = P->FLinkParent) {
        P->FExpandedCount += Delta;
        if (P->FLinkParent && !P->Expanded())
            break;
    }
}

int THSTreeNode::CalcExpandedCount() const {
    int Sum = 0;
    for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
        Sum += C->ShownRows();
    return Sum;
}

int THSTreeNode::AbsoluteIndex() const {
    if (!FLinkParent)
        return -1;
    if (FOwner && FOwner->FCacheNode == this)
        return FOwner->FCacheIndex;
    int Result = 0;
    for (THSTreeNode* S = FPrevSibling; S; S = S->FPrevSibling)
        Result += S->FItemCount + 1;
    if (FParent)
        Result += FParent->AbsoluteIndex() + 1;
    return Result;
}

int THSTreeNode::VisibleIndex() const {
    if (!FLinkParent || !IsVisible())
        return -1;
    int Result = 0;
    for (THSTreeNode* S = FPrevSibling; S; S = S->FPrevSibling)
        Result += S->ShownRows();
    if (FParent)
        Result += FParent->VisibleIndex() + 1;
    return Result;
}

// --- widths -----------------------------------------------------------------------------------

int THSTreeNode::GetIndent() const {
    if (!FTreeView || !FLinkParent)
        return 0;
    if (!FParent && !FTreeView->ShowRoot())
        return 0;
    return FTreeView->Indent();
}

void THSTreeNode::CalcMaxWidthInfo() {
    if (!FLinkParent) {
        FWidestNode = this;
        FWidestWidth = 0;
    } else {
        FWidestNode = this;
        FWidestWidth = FTreeView->RowWidth(this);
    }
    if (Expanded() || !FLinkParent || (FTreeView && FTreeView->FPrintAll)) {
        for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling) {
            C->CalcMaxWidthInfo();
            if (C->FWidestWidth > FWidestWidth) {
                FWidestWidth = C->FWidestWidth;
                FWidestNode = C->FWidestNode;
            }
        }
    }
}

void THSTreeNode::GrowWidth(THSTreeNode* Node, int Width) {
    for (THSTreeNode* P = this; P; P = P->FLinkParent) {
        // A collapsed node's pair leaves its children out.
        if (P->FLinkParent && !P->Expanded() && P != Node)
            break;
        if (Width <= P->FWidestWidth && P->FWidestNode != Node)
            break;
        P->FWidestNode = Node;
        P->FWidestWidth = Width;
    }
}

void THSTreeNode::ShrinkWidth(THSTreeNode* Node) {
    for (THSTreeNode* P = this; P; P = P->FLinkParent) {
        if (P->FWidestNode != Node)
            break;
        P->FWidestNode = P;
        P->FWidestWidth = P->FLinkParent ? P->FTreeView->RowWidth(P) : 0;
        if (!P->FLinkParent || P->Expanded())
            for (THSTreeNode* C = P->FFirstChild; C; C = C->FNextSibling)
                if (C->FWidestNode && C->FWidestWidth > P->FWidestWidth) {
                    P->FWidestWidth = C->FWidestWidth;
                    P->FWidestNode = C->FWidestNode;
                }
    }
}

void THSTreeNode::UpdateWidth() {
    if (!FTreeView || !FLinkParent || !IsVisible())
        return;
    if (Locked() || !FTreeView->HandleAllocated()) {
        FTreeView->FNeedRecalc = true;
        return;
    }
    int OldRange = FTreeView->FRoot->FWidestWidth;
    int W = FTreeView->RowWidth(this);
    if (W >= FWidestWidth) {
        FWidestNode = this;
        FWidestWidth = W;
        FLinkParent->GrowWidth(this, W);
    } else if (FWidestNode == this) {
        ShrinkWidth(this);
    }
    if (OldRange != FTreeView->FRoot->FWidestWidth)
        FTreeView->UpdateScroll(true, false);
}

void THSTreeNode::WidthChanged() {
    SetStateBit(nsWidthCalculated, false);
    UpdateWidth();
    if (AllowPaint())
        InvalidateToRight(npCheckBox);
}

// --- geometry ---------------------------------------------------------------------------------

int THSTreeNode::GetHeight() {
    if (!FTreeView || (!FTreeView->HandleAllocated() && !FTreeView->FPrinting))
        return 0;
    if (!HasState(nsHeightCalculated)) {
        FHeight = FTreeView->NodeHeight(this);
        SetStateBit(nsHeightCalculated, true);
    }
    return FHeight;
}

int THSTreeNode::GetTextWidth() {
    if (!FTreeView || (!FTreeView->HandleAllocated() && !FTreeView->FPrinting))
        return 0;
    if (!HasState(nsWidthCalculated)) {
        FTextWidth = FTreeView->NodeWidth(this);
        SetStateBit(nsWidthCalculated, true);
    }
    return FTextWidth;
}

int THSTreeNode::GetCheckBoxWidth() {
    if (!FTreeView || FTreeView->CheckBoxesType() == ctNone || FNodeType == ntNone)
        return 0;
    return THSCustomTreeView::CheckBoxSize().cx + 4;
}

int THSTreeNode::GetImageWidth() {
    if (!FTreeView || !FTreeView->Images())
        return 0;
    return FTreeView->Images()->Width() + 3;
}

int THSTreeNode::GetStateImageWidth() {
    if (!FTreeView || !FTreeView->StateImages())
        return 0;
    if (FStateIndex < 0 || FStateIndex >= FTreeView->StateImages()->Count())
        return 0;
    return FTreeView->StateImages()->Width();
}

int THSTreeNode::GetButtonSize() {
    int H = std::min(GetHeight(), FTreeView ? FTreeView->Indent() - 2 : 0);
    if (H < 5)
        return 3;
    if (H < 9)
        return 5;
    if (H < 14)
        return 7;
    return 9;
}

bool THSTreeNode::GetNodeDispInfo(TNodeDispInfo& Info) {
    int Top = 0;
    if (!FTreeView || !FTreeView->GetNodeTop(this, Top))
        return false;
    GetNodeDispInfoByPos(FTreeView->NodeLeft(this), Top, Info);
    return true;
}

void THSTreeNode::GetNodeDispInfoByPos(int X, int Y, TNodeDispInfo& Info) {
    int H = GetHeight();
    int Left = -(FTreeView ? FTreeView->FHorzOffset : 0);
    RECT R{Left, Y, X, Y + H};
    Info.Parts[npLines] = R;
    R.left = X;
    R.right = X + GetIndent();
    Info.Parts[npButton] = R;
    R.left = R.right;
    R.right += GetCheckBoxWidth();
    Info.Parts[npCheckBox] = R;
    R.left = R.right;
    R.right += GetStateImageWidth();
    Info.Parts[npStateImage] = R;
    R.left = R.right;
    R.right += GetImageWidth();
    Info.Parts[npImage] = R;
    R.left = R.right;
    R.right += GetTextWidth();
    if (FTreeView && FTreeView->RowSelect() && !FTreeView->FPrinting) {
        RECT C = FTreeView->GetDrawRect();
        R.right = std::max<LONG>(R.right, C.right);
    }
    Info.Parts[npText] = R;
    Info.NodeRect = RECT{Left, Y, R.right, Y + H};
}

RECT THSTreeNode::DisplayRect(bool TextOnly) {
    TNodeDispInfo Info;
    if (!GetNodeDispInfo(Info))
        return RECT{0, 0, 0, 0};
    return TextOnly ? Info.Parts[npText] : Info.NodeRect;
}

RECT THSTreeNode::DisplayRectPart(TNodePart First, TNodePart Last, bool /*Smart*/) {
    TNodeDispInfo Info;
    if (!GetNodeDispInfo(Info))
        return RECT{0, 0, 0, 0};
    RECT R = Info.Parts[First];
    R.right = Info.Parts[Last].right;
    return R;
}

// --- repaint requests -------------------------------------------------------------------------

void THSTreeNode::Invalidate(TNodeParts Parts) {
    if (!AllowPaint())
        return;
    TNodeDispInfo Info;
    if (!GetNodeDispInfo(Info))
        return;
    HWND W = FTreeView->Handle();
    if (FTreeView->RowSelect() && FTreeView->RowSelectType() == rtFull) {
        RECT C = FTreeView->GetDrawRect();
        RECT R{C.left, Info.NodeRect.top, C.right, Info.NodeRect.bottom};
        InvalidateRect(W, &R, FALSE);
        return;
    }
    for (int P = 0; P < 6; ++P)
        if (Parts & (1u << P)) {
            RECT R = Info.Parts[P];
            if (P == npText)
                R.right += 2;
            InvalidateRect(W, &R, FALSE);
        }
}

void THSTreeNode::InvalidateBelow(bool FromHere) {
    if (!AllowPaint())
        return;
    int Top = 0;
    if (!FTreeView->GetNodeTop(this, Top))
        return;
    RECT R = FTreeView->GetDrawRect();
    R.top = FromHere ? Top : Top + GetHeight();
    if (R.top < R.bottom)
        InvalidateRect(FTreeView->Handle(), &R, FALSE);
}

void THSTreeNode::InvalidateToRight(TNodePart Part) {
    if (!AllowPaint())
        return;
    TNodeDispInfo Info;
    if (!GetNodeDispInfo(Info))
        return;
    RECT R = FTreeView->GetDrawRect();
    R.left = Info.Parts[Part].left;
    R.top = Info.NodeRect.top;
    R.bottom = Info.NodeRect.bottom;
    InvalidateRect(FTreeView->Handle(), &R, FALSE);
}

void THSTreeNode::InvalidateChild(TNodeParts Parts) {
    Invalidate(Parts);
    for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
        C->InvalidateChild(Parts);
}

void THSTreeNode::UpdateParentButton() {
    if (!FLinkParent) // the root
        return;
    if (FCount == 0) {
        SetStateBit(nsExpanded, false);
        SetStateBit(nsHasChildren, false);
    }
    Invalidate(NodePart(npButton));
}

// --- expand and collapse ----------------------------------------------------------------------

void THSTreeNode::SetExpanded(bool Value) {
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

void THSTreeNode::Expand(bool Recurse) {
    if (!FTreeView || !FLinkParent)
        return;
    THSCustomTreeView* T = FTreeView;
    if (!Expanded()) {
        if (!T->CanExpand(this))
            return;
    } else if (!Recurse) {
        return;
    }
    FOwner->ClearCache();
    T->DoExpandNode(this);
    if (!FFirstChild)
        return;
    if (Recurse)
        for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
            C->Expand(true);
    bool Changed = false;
    if (!Expanded()) {
        FExpandedCount = CalcExpandedCount();
        SetStateBit(nsExpanded, true);
        SetStateBit(nsHasChildren, true);
        FLinkParent->PropagateExpandedDelta(FExpandedCount);
        Changed = true;
    }
    if (Changed) {
        T->InvalidateVisibleIndexCache();
        if (IsVisible()) {
            if (!Locked() && T->HandleAllocated()) {
                CalcMaxWidthInfo();
                FLinkParent->GrowWidth(FWidestNode, FWidestWidth);
                InvalidateBelow(true);
                T->UpdateScroll(true, true);
            } else {
                T->FNeedRecalc = true;
            }
        }
        T->DoExpanded(this);
    }
}

void THSTreeNode::Collapse(bool Recurse) {
    if (!FTreeView || !FLinkParent)
        return;
    THSCustomTreeView* T = FTreeView;
    if (Expanded()) {
        if (!T->CanCollapse(this))
            return;
    } else if (!Recurse) {
        return;
    }
    FOwner->ClearCache();
    bool Changed = false;
    if (Expanded()) {
        FLinkParent->PropagateExpandedDelta(-FExpandedCount);
        SetStateBit(nsExpanded, false);
        Changed = true;
    }
    if (Changed) {
        T->InvalidateVisibleIndexCache();
        // A selected or top node hidden inside is replaced by this node.
        if (T->FFocused && T->FFocused->HasAsParent(this))
            T->SetSelected(this);
        if (T->FTopItem && T->FTopItem->HasAsParent(this))
            T->FTopItem = this;
        if (IsVisible()) {
            if (!Locked() && T->HandleAllocated()) {
                THSTreeNode* OldWidest = FWidestNode;
                FWidestNode = this;
                FWidestWidth = T->RowWidth(this);
                if (OldWidest != this)
                    FLinkParent->ShrinkWidth(OldWidest);
                InvalidateBelow(true);
                T->UpdateScroll(true, true);
            } else {
                T->FNeedRecalc = true;
            }
        }
        T->DoCollapsed(this);
    }
    // After the selection has left the subtree, so that no descendant drags it back into view.
    if (Recurse)
        for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
            C->Collapse(true);
}

void THSTreeNode::EnsureExpanded() {
    std::vector<THSTreeNode*> Chain;
    for (THSTreeNode* P = FParent; P; P = P->FParent)
        Chain.push_back(P);
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        if (!(*It)->Expanded())
            (*It)->Expand(false);
}

void THSTreeNode::MakeVisible() {
    if (!FTreeView)
        return;
    if (Locked()) {
        FTreeView->FWaitVisible = this;
        return;
    }
    EnsureExpanded();
    FTreeView->MakeVisibleVert(this);
    FTreeView->MakeVisibleHorz(this);
}

// --- move -------------------------------------------------------------------------------------

void THSTreeNode::MoveTo(THSTreeNode* Destination, TNodeAttachMode Mode, bool AExpand) {
    if (Destination && Destination->HasAsParent(this))
        throw EInvalidOperation("Trying move to child");
    if (Destination == this)
        throw EInvalidOperation("Invalid operation");
    if (!Destination && (Mode == naAddChild || Mode == naAddChildFirst || Mode == naInsert))
        throw EInvalidOperation("Invalid operation");
    if (Destination && Destination->FTreeView != FTreeView)
        throw EInvalidOperation("Invalid Node");
    THSCustomTreeView* T = FTreeView;
    if (T->IsEditing())
        T->EndEditNode(false);
    FOwner->ClearCache();
    THSTreeNode* RememberTop = nullptr;
    if (T->FTopItem == this || (T->FTopItem && T->FTopItem->HasAsParent(this))) {
        RememberTop = GetNextVisible();
        while (RememberTop && (RememberTop == this || RememberTop->HasAsParent(this)))
            RememberTop = RememberTop->GetNextVisible();
        if (!RememberTop)
            RememberTop = GetPrevVisible();
        T->FTopItem = RememberTop;
    }
    THSTreeNode* OldLink = FLinkParent;
    SubtractCounts(OldLink);
    Unlink();
    if (OldLink->FCheckedRadio == this)
        OldLink->FCheckedRadio = nullptr;
    if (T->FAnchor == this)
        T->FAnchor = nullptr;
    OldLink->UpdateParentButton();

    THSTreeNode* Root = T->FRoot;
    THSTreeNode* ListOwner = Root;
    THSTreeNode* Before = nullptr;
    switch (Mode) {
    case naAdd:
    case naAddFirst:
        ListOwner = Destination ? Destination->FLinkParent : Root;
        Before = (Mode == naAddFirst) ? ListOwner->FFirstChild : nullptr;
        break;
    case naAddChild:
    case naAddChildFirst:
        ListOwner = Destination;
        Before = (Mode == naAddChildFirst) ? ListOwner->FFirstChild : nullptr;
        break;
    case naInsert:
        ListOwner = Destination->FLinkParent;
        Before = Destination;
        break;
    }
    LinkInto(ListOwner, Before);
    if (ListOwner != Root)
        ListOwner->SetStateBit(nsHasChildren, true);
    AddCounts(ListOwner);
    if (FNodeType == ntRadioButton && FState == TCheckBoxState::cbChecked) {
        THSTreeNode* Former = ListOwner->FCheckedRadio;
        ListOwner->FCheckedRadio = this;
        if (Former && Former != this)
            Former->SetState(TCheckBoxState::cbUnchecked);
    }
    if (T->SortType() != stNone) {
        if (ListOwner == Root)
            Root->CustomSort(nullptr, 0);
        else
            ListOwner->CustomSort(nullptr, 0);
    }
    if (AExpand)
        EnsureExpanded();
    T->TopItemChanged();
    T->RecalcSizes();
}

// --- sort -------------------------------------------------------------------------------------

bool THSTreeNode::AlphaSort() {
    return CustomSort(nullptr, 0);
}

bool THSTreeNode::CustomSort(const TTVCompare& Compare, intptr_t Data) {
    if (FCount < 2)
        return true;
    THSCustomTreeView* T = FTreeView;
    std::vector<THSTreeNode*> Children;
    Children.reserve(static_cast<size_t>(FCount));
    for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
        Children.push_back(C);
    bool Descending = T && T->SortOrder() == soDescending;
    auto Cmp = [&](THSTreeNode* A, THSTreeNode* B) {
        int R = Compare ? Compare(A, B, Data) : (T ? T->CompareNodes(A, B, Data) : 0);
        return Descending ? R > 0 : R < 0;
    };
    // Stable: equal keys keep their order in either direction.
    std::stable_sort(Children.begin(), Children.end(), Cmp);
    FFirstChild = FLastChild = nullptr;
    THSTreeNode* Prev = nullptr;
    for (THSTreeNode* C : Children) {
        C->FPrevSibling = Prev;
        C->FNextSibling = nullptr;
        if (Prev)
            Prev->FNextSibling = C;
        else
            FFirstChild = C;
        Prev = C;
    }
    FLastChild = Prev;
    if (FOwner)
        FOwner->ClearCache();
    if (T && !Locked())
        T->TopItemChanged();
    return true;
}

void THSTreeNode::ReSortNode() {
    THSCustomTreeView* T = FTreeView;
    if (!T || !T->IsSorted() || !FLinkParent || FLinkParent->FCount < 2 || T->IsSortLocked())
        return;
    bool Descending = T->SortOrder() == soDescending;
    auto Cmp = [&](THSTreeNode* A, THSTreeNode* B) {
        int R = T->CompareNodes(A, B, 0);
        return Descending ? -R : R;
    };
    THSTreeNode* L = FLinkParent;
    THSTreeNode* Before = nullptr;
    bool Move = false;
    if (FPrevSibling && Cmp(this, FPrevSibling) < 0) {
        THSTreeNode* S = FPrevSibling;
        while (S->FPrevSibling && Cmp(this, S->FPrevSibling) < 0)
            S = S->FPrevSibling;
        Before = S;
        Move = true;
    } else if (FNextSibling && Cmp(this, FNextSibling) > 0) {
        THSTreeNode* S = FNextSibling;
        while (S && Cmp(this, S) > 0)
            S = S->FNextSibling;
        Before = S;
        Move = true;
    }
    if (!Move)
        return;
    // Relinking among the same siblings changes no counts.
    TakeOutOfSiblings(L);
    LinkInto(L, Before);
    FOwner->ClearCache();
    if (!Locked())
        T->TopItemChanged();
}

// --- editing ----------------------------------------------------------------------------------

void THSTreeNode::EditText() {
    if (FTreeView)
        FTreeView->EditNode(this);
}

void THSTreeNode::EndEdit(bool Cancel) {
    if (FTreeView && FTreeView->EditingNode() == this)
        FTreeView->EndEditNode(Cancel);
}

void THSTreeNode::DrawCheckBox(const RECT& R) {
    FTreeView->DrawNodeCheckBox(this, R);
}

void THSTreeNode::DrawStateImage(const RECT& R) {
    FTreeView->DrawNodeStateImage(this, R);
}

void THSTreeNode::DrawImage(const RECT& R) {
    FTreeView->DrawNodeImage(this, R);
}

void THSTreeNode::WriteCustomData(TStream& /*Stream*/) {}
void THSTreeNode::ReadCustomData(TStream& /*Stream*/) {}
