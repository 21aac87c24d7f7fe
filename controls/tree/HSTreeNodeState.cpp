// Property setters of a node: text, data, colours, font, images, check states, selection,
// focus, cut and drop-target marks.
#include "controls/tree/HSTreeNode.h"

#include <vector>

#include "controls/tree/HSTree.h"

// --- property setters -------------------------------------------------------------------------

void THSTreeNode::SetTextInternal(const std::string& Value) {
    FText = Value;
}

void THSTreeNode::SetText(const std::string& Value) {
    if (Value == FText)
        return;
    SetTextInternal(Value);
    if (FTreeView && (FTreeView->SortType() == stText || FTreeView->SortType() == stBoth))
        ReSortNode();
    WidthChanged();
}

void THSTreeNode::SetData(void* Value) {
    if (Value == FData)
        return;
    FData = Value;
    if (FTreeView && (FTreeView->SortType() == stData || FTreeView->SortType() == stBoth) &&
        FTreeView->OnCompare)
        ReSortNode();
}

void THSTreeNode::SetAllowGrayed(bool Value) {
    if (Value == AllowGrayed())
        return;
    SetStateBit(nsAllowGrayed, Value);
    if (!Value && FState == TCheckBoxState::cbGrayed)
        SetState(TCheckBoxState::cbUnchecked);
}

void THSTreeNode::SetColor(TColor Value) {
    SetStateBit(nsParentColor, false);
    if (Value == FColor)
        return;
    FColor = Value;
    Invalidate(AllNodeParts);
}

void THSTreeNode::SetParentColor(bool Value) {
    SetStateBit(nsParentColor, Value);
    if (Value && FTreeView && FColor != FTreeView->Color()) {
        FColor = FTreeView->Color();
        Invalidate(AllNodeParts);
    }
}

TFont* THSTreeNode::Font() const {
    if (!FFont) {
        FFont = std::make_unique<TFont>();
        if (FTreeView)
            FFont->Assign(FTreeView->Font());
        auto* Self = const_cast<THSTreeNode*>(this);
        FFont->OnChange = [Self](TGraphicsObject*) {
            Self->SetStateBit(nsParentFont, false);
            Self->SetStateBit(nsHeightCalculated, false);
            Self->WidthChanged();
            Self->InvalidateBelow(true);
        };
    }
    return FFont.get();
}

void THSTreeNode::SetFont(TFont* Value) {
    if (!Value)
        return;
    TFont* Own = Font();
    if (Own != Value) {
        bool Same = Own->Name() == Value->Name() && Own->Height() == Value->Height() &&
                    Own->Style() == Value->Style() && Own->Color() == Value->Color() &&
                    Own->Charset() == Value->Charset() && Own->Pitch() == Value->Pitch();
        if (!Same) {
            Own->Assign(*Value);
            return; // OnChange did the rest
        }
    }
    SetStateBit(nsParentFont, false);
}

void THSTreeNode::SetFontColor(TColor Value) {
    Font()->SetColor(Value);
}

void THSTreeNode::SetFontStyle(TFontStyles Value) {
    Font()->SetStyle(Value);
}

void THSTreeNode::SetParentFont(bool Value) {
    if (Value == ParentFont())
        return;
    SetStateBit(nsParentFont, Value);
    if (Value) {
        FFont.reset();
        SetStateBit(nsHeightCalculated, false);
        WidthChanged();
        InvalidateBelow(true);
    }
}

void THSTreeNode::SetHasChildren(bool Value) {
    if (Value == HasChildren())
        return;
    SetStateBit(nsHasChildren, Value);
    Invalidate(NodePart(npButton));
}

void THSTreeNode::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    if (!Selected())
        Invalidate(NodePart(npImage));
}

void THSTreeNode::SetSelectedIndex(int Value) {
    if (Value == FSelectedIndex)
        return;
    FSelectedIndex = Value;
    if (Selected())
        Invalidate(NodePart(npImage));
}

void THSTreeNode::SetOverlayIndex(int Value) {
    if (Value == FOverlayIndex)
        return;
    FOverlayIndex = Value;
    Invalidate(NodePart(npImage));
}

void THSTreeNode::SetStateIndex(int Value) {
    if (Value == FStateIndex)
        return;
    bool PresenceChanged = (Value < 0) != (FStateIndex < 0);
    FStateIndex = Value;
    if (PresenceChanged)
        WidthChanged();
    else
        Invalidate(NodePart(npStateImage));
}

void THSTreeNode::SetReadOnly(bool Value) {
    SetStateBit(nsReadOnly, Value);
}

void THSTreeNode::SetNodeType(THSNodeType Value) {
    if (Value == FNodeType)
        return;
    if (FNodeType == ntRadioButton && FLinkParent && FLinkParent->FCheckedRadio == this)
        FLinkParent->FCheckedRadio = nullptr;
    FNodeType = Value;
    if (Value == ntRadioButton) {
        if (FState == TCheckBoxState::cbGrayed)
            FState = TCheckBoxState::cbUnchecked;
        if (FState == TCheckBoxState::cbChecked && FLinkParent) {
            THSTreeNode* Former = FLinkParent->FCheckedRadio;
            FLinkParent->FCheckedRadio = this;
            if (Former && Former != this)
                Former->SetState(TCheckBoxState::cbUnchecked);
        }
    }
    WidthChanged();
}

void THSTreeNode::SetChecked(bool Value) {
    SetState(Value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

void THSTreeNode::SetCheckStateInternal(TCheckBoxState Value) {
    if (Value == FState)
        return;
    if (FNodeType == ntRadioButton && Value == TCheckBoxState::cbChecked && FLinkParent) {
        THSTreeNode* Former = FLinkParent->FCheckedRadio;
        FLinkParent->FCheckedRadio = this;
        if (Former && Former != this)
            Former->SetState(TCheckBoxState::cbUnchecked);
    } else if (FNodeType == ntRadioButton && FLinkParent && FLinkParent->FCheckedRadio == this) {
        FLinkParent->FCheckedRadio = nullptr;
    }
    FState = Value;
    Invalidate(NodePart(npCheckBox));
}

void THSTreeNode::SetState(TCheckBoxState Value) {
    if (FTreeView)
        FTreeView->DoStateChanging(this, Value);
    if (Value == FState)
        return;
    if (FNodeType == ntRadioButton && Value == TCheckBoxState::cbGrayed)
        return;
    SetCheckStateInternal(Value);
    if (FTreeView && FTreeView->AutoCheck()) {
        if (!FTreeView->FUpPropagation) {
            ++FTreeView->FDownPropagation;
            struct Restore {
                int& C;
                ~Restore() { --C; }
            } R{FTreeView->FDownPropagation};
            // Depth first: a node's children are set before the node itself.
            std::vector<THSTreeNode*> Stack;
            for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling)
                Stack.push_back(C);
            std::vector<THSTreeNode*> Order;
            while (!Stack.empty()) {
                THSTreeNode* N = Stack.back();
                Stack.pop_back();
                Order.push_back(N);
                for (THSTreeNode* C = N->FFirstChild; C; C = C->FNextSibling)
                    Stack.push_back(C);
            }
            for (auto It = Order.rbegin(); It != Order.rend(); ++It)
                if ((*It)->FState != Value &&
                    !((*It)->FNodeType == ntRadioButton && Value == TCheckBoxState::cbGrayed))
                    (*It)->SetCheckStateInternal(Value);
        }
        if (FTreeView->FDownPropagation == 0 && FParent) {
            bool Saved = FTreeView->FUpPropagation;
            FTreeView->FUpPropagation = true;
            struct Restore {
                bool& F;
                bool V;
                ~Restore() { F = V; }
            } R{FTreeView->FUpPropagation, Saved};
            FParent->UpdateAutoCheck();
        }
    }
    if (FTreeView)
        FTreeView->DoStateChanged(this);
}

void THSTreeNode::UpdateAutoCheck() {
    bool Any = false;
    bool Mixed = false;
    TCheckBoxState First = TCheckBoxState::cbUnchecked;
    for (THSTreeNode* C = FFirstChild; C; C = C->FNextSibling) {
        if (C->FNodeType != ntCheckBox)
            continue;
        if (!Any) {
            First = C->FState;
            Any = true;
        } else if (C->FState != First) {
            Mixed = true;
        }
    }
    if (!Any)
        return;
    TCheckBoxState New = Mixed ? TCheckBoxState::cbGrayed : First;
    if (FNodeType == ntRadioButton && New == TCheckBoxState::cbGrayed)
        return;
    SetState(New);
}

void THSTreeNode::SwitchToNextState() {
    if (FNodeType == ntNone || ReadOnly())
        return;
    switch (FState) {
    case TCheckBoxState::cbUnchecked:
        SetState(TCheckBoxState::cbChecked);
        break;
    case TCheckBoxState::cbGrayed:
        SetState(TCheckBoxState::cbUnchecked);
        break;
    case TCheckBoxState::cbChecked:
        if (FNodeType == ntRadioButton)
            break;
        if (FNodeType == ntCheckBox && AllowGrayed() && FTreeView && !FTreeView->AutoCheck())
            SetState(TCheckBoxState::cbGrayed);
        else
            SetState(TCheckBoxState::cbUnchecked);
        break;
    }
}

// --- selection, focus, cut, drop target -------------------------------------------------------

void THSTreeNode::SetSelected(bool Value) {
    if (!FTreeView)
        return;
    THSCustomTreeView* T = FTreeView;
    if (Value && T->MultiSelect() && T->SelectOnlySiblings() && !T->FSelections.empty() &&
        T->FSelections.front()->FParent != FParent && T->FSelections.front() != this)
        Value = false;
    if (Value == Selected())
        return;
    T->SetNodeSelectedFlag(this, Value);
    if (Value) {
        T->AddToSelection(this);
        if (!T->MultiSelect())
            T->SetSelected(this);
    } else {
        T->RemoveFromSelection(this);
        if (T->FAnchor == this)
            T->FAnchor = nullptr;
    }
    T->NodeSelectionChanged(this);
}

void THSTreeNode::SetFocused(bool Value) {
    if (!FTreeView || Value == Focused())
        return;
    THSCustomTreeView* T = FTreeView;
    if (Value) {
        if (T->FFocused && T->FFocused != this) {
            THSTreeNode* Old = T->FFocused;
            Old->SetStateBit(nsFocused, false);
            Old->Invalidate(NodePart(npText));
        }
        SetStateBit(nsFocused, true);
        T->FFocused = this;
        if (!IsVisible()) {
            for (THSTreeNode* P = FParent; P; P = P->FParent)
                if (!P->Expanded())
                    P->Expand(false);
        }
        T->MakeVisibleVert(this);
    } else {
        SetStateBit(nsFocused, false);
        if (T->FFocused == this)
            T->FFocused = nullptr;
    }
    Invalidate(NodePart(npText));
    T->NodeSelectionChanged(this);
}

void THSTreeNode::SetCut(bool Value) {
    if (Value == Cut())
        return;
    SetStateBit(nsCut, Value);
    Invalidate(NodePart(npImage));
    if (FTreeView)
        FTreeView->NodeSelectionChanged(this);
}

void THSTreeNode::SetDropTarget(bool Value) {
    if (!FTreeView || Value == DropTarget())
        return;
    THSCustomTreeView* T = FTreeView;
    if (Value) {
        if (T->FDropTarget && T->FDropTarget != this) {
            THSTreeNode* Old = T->FDropTarget;
            Old->SetStateBit(nsDropTarget, false);
            T->InvalidateNodeRow(Old);
        }
        T->FDropTarget = this;
    } else if (T->FDropTarget == this) {
        T->FDropTarget = nullptr;
    }
    SetStateBit(nsDropTarget, Value);
    T->InvalidateNodeRow(this);
    T->NodeSelectionChanged(this);
}
