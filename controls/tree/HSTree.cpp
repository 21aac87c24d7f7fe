// The tree view: construction, properties, selection, sizes and scrolling.
#include "controls/tree/HSTree.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "controls/tree/HSToolTip.h"
#include "controls/tree/TreeEditors.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(THSCustomTreeView, TWinControl, {})
namespace {
const TEnumInfo CheckBoxesTypeInfo{{"ctNone", "ctAll", "ctCustom"}};
const TEnumInfo SortTypeInfo{{"stNone", "stData", "stText", "stBoth"}};
const TEnumInfo SortOrderInfo{{"soAscending", "soDescending"}};
using TV = THSCustomTreeView;
} // namespace

// The properties a form table sets by name; the rest are reached through the class.
ZEL_DEFINE_CLASS(
    THSTree, THSCustomTreeView,
    {Prop::Bool<TV>("AutoCheck", &TV::AutoCheck, &TV::SetAutoCheck).WithDefault(0),
     Prop::Bool<TV>("AutoExpand", &TV::AutoExpand, &TV::SetAutoExpand).WithDefault(0),
     Prop::Int<TV>("ChangeDelay", &TV::ChangeDelay, &TV::SetChangeDelay).WithDefault(0),
     Prop::Enum<TV>("CheckBoxesType", &CheckBoxesTypeInfo, &TV::CheckBoxesType, &TV::SetCheckBoxesType)
         .WithDefault(ctNone),
     Prop::Bool<TV>("HideSelection", &TV::HideSelection, &TV::SetHideSelection).WithDefault(1),
     Prop::Bool<TV>("HotTrack", &TV::HotTrack, &TV::SetHotTrack).WithDefault(0),
     Prop::Int<TV>("Indent", &TV::Indent, &TV::SetIndent).WithDefault(19),
     Prop::Bool<TV>("MultiLineNodes", &TV::MultiLineNodes, &TV::SetMultiLineNodes).WithDefault(0),
     Prop::Bool<TV>("MultiSelect", &TV::MultiSelect, &TV::SetMultiSelect).WithDefault(0),
     Prop::Bool<TV>("ReadOnly", &TV::ReadOnly, &TV::SetReadOnly).WithDefault(0),
     Prop::Bool<TV>("RightClickSelect", &TV::RightClickSelect, &TV::SetRightClickSelect).WithDefault(0),
     Prop::Bool<TV>("RowSelect", &TV::RowSelect, &TV::SetRowSelect).WithDefault(0),
     Prop::Bool<TV>("ShowButtons", &TV::ShowButtons, &TV::SetShowButtons).WithDefault(1),
     Prop::Bool<TV>("ShowLines", &TV::ShowLines, &TV::SetShowLines).WithDefault(1),
     Prop::Bool<TV>("ShowRoot", &TV::ShowRoot, &TV::SetShowRoot).WithDefault(1),
     Prop::Enum<TV>("SortOrder", &SortOrderInfo, &TV::SortOrder, &TV::SetSortOrder).WithDefault(0),
     Prop::Enum<TV>("SortType", &SortTypeInfo, &TV::SortType, &TV::SetSortType).WithDefault(0),
     Prop::Bool<TV>("ToolTips", &TV::ToolTips, &TV::SetToolTips).WithDefault(1),
     // Older forms: read, never written.
     Prop::Bool<TV>("CheckBoxes", &TV::LegacyCheckBoxes, &TV::SetLegacyCheckBoxes).NotStored(),
     Prop::Binary<TV>("DrawData", &TV::LegacyDrawData, &TV::SetLegacyDrawData).NotStored(),
     Prop::Int<TV>("SelectDelay", &TV::LegacySelectDelay, &TV::SetLegacySelectDelay).NotStored(),
     // The nodes, always written.
     Prop::Binary<TV>("Data", &TV::StreamedData, &TV::SetStreamedData)})

void RegisterHSTreeClasses() {
    RegisterClass(TFont::StaticClass());
    RegisterClass(THSTreeNode::StaticClass());
    RegisterClass(THSTree::StaticClass());
}

namespace {

// Font heights shared by every tree of the program: measuring a font needs a device context and
// the three trees of the main window use one or two fonts between them.
struct TFontHeightEntry {
    std::unique_ptr<TFont> Font;
    int Height = 0;
    int Uses = 0;
};
struct TFontHeightCache {
    std::vector<TFontHeightEntry> Entries;
    int Trees = 0;
};
TFontHeightCache* FontCache = nullptr;

bool SameFont(TFont& A, TFont& B) {
    return A.Name() == B.Name() && A.Height() == B.Height() && A.Style() == B.Style() &&
           A.Charset() == B.Charset() && A.Pitch() == B.Pitch() && A.Color() == B.Color();
}

int MeasureFontHeight(TFont& Font) {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return (TM.tmHeight + 1) & ~1;
}

} // namespace

int THSCustomTreeView::CachedFontHeight(TFont& Font) {
    if (!FontCache)
        return MeasureFontHeight(Font);
    for (auto& E : FontCache->Entries)
        if (SameFont(*E.Font, Font)) {
            ++E.Uses;
            return E.Height;
        }
    TFontHeightEntry* Slot = nullptr;
    if (FontCache->Entries.size() < 20) {
        FontCache->Entries.emplace_back();
        Slot = &FontCache->Entries.back();
    } else {
        Slot = &*std::min_element(
            FontCache->Entries.begin(), FontCache->Entries.end(),
            [](const TFontHeightEntry& A, const TFontHeightEntry& B) { return A.Uses < B.Uses; });
    }
    Slot->Font = std::make_unique<TFont>();
    Slot->Font->Assign(Font);
    Slot->Height = MeasureFontHeight(Font);
    Slot->Uses = 1;
    return Slot->Height;
}

SIZE THSCustomTreeView::CheckBoxSize() {
    static SIZE Size{0, 0};
    if (Size.cx == 0) {
        HBITMAP Bmp = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759)); // OBM_CHECKBOXES
        BITMAP B{};
        if (Bmp && GetObjectA(Bmp, sizeof(B), &B)) {
            Size.cx = B.bmWidth / 4;
            Size.cy = B.bmHeight / 3;
        }
        if (Bmp)
            DeleteObject(Bmp);
        if (Size.cx <= 0 || Size.cy <= 0)
            Size = SIZE{13, 13};
    }
    return Size;
}

// --- life -------------------------------------------------------------------------------------

THSCustomTreeView::THSCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(Left(), Top(), 121, 97);
    SetColor(clWindow);
    SetTabStop(true);
    FClickEvents = true; // OnClick for a press and release inside the tree
    FCanvas = std::make_unique<THSCanvas>();
    FPrintOptions = std::make_unique<THSTreePrintOptions>(this);
    FItems = std::make_unique<THSTreeNodes>(this);
    FBaseNodeClass = FNodeClass = THSTreeNode::StaticClass();
    // The stream reader finds node classes by name; registering twice is harmless.
    RegisterHSTreeClasses();
    FRoot = CreateRootNode();
    if (!FontCache)
        FontCache = new TFontHeightCache;
    ++FontCache->Trees;
    FMeasureDC = CreateCompatibleDC(nullptr);
    SetToolTips(true);
}

THSCustomTreeView::~THSCustomTreeView() {
    BeginDestroy();
    RemoveKeyboardHook();
    if (FDragImageShown) {
        FDragImageShown = false;
        ImageList_DragLeave(FHandle);
        ImageList_EndDrag();
    }
    if (HandleAllocated())
        for (int Id = 1; Id <= 4; ++Id)
            StopTimer(Id);
    FEditNode = nullptr;
    FEditing = false;
    delete FRoot;
    FRoot = nullptr;
    FSelections.clear();
    if (FMeasureDC) {
        FMeasureCanvas.reset();
        DeleteDC(FMeasureDC);
    }
    if (FontCache && --FontCache->Trees == 0) {
        delete FontCache;
        FontCache = nullptr;
    }
}

THSTreeNode* THSCustomTreeView::CreateRootNode() {
    auto* Root = new THSTreeNode(FItems.get());
    Root->SetStateBit(nsExpanded, true);
    Root->FWidestNode = Root;
    return Root;
}

THSTreeNode* THSCustomTreeView::CreateNode() {
    TClass Cls = FNodeClass ? FNodeClass : FBaseNodeClass;
    TObject* Obj = Cls->Create(nullptr);
    auto* Node = dynamic_cast<THSTreeNode*>(Obj);
    if (!Node) {
        delete Obj;
        throw EInvalidOperation(Format("Class %s cannot make tree nodes", Cls->ClassName().c_str()));
    }
    Node->AttachTo(FItems.get());
    return Node;
}

void THSCustomTreeView::SetDefaultNodeClass(THSTreeNodeClass Value) {
    if (Value && Value->InheritsFrom(THSTreeNode::StaticClass()))
        FNodeClass = Value;
}

void THSCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN;
    Params.ClassStyle = CS_DBLCLKS; // no redraw on resizing: every pixel is painted by us
    if (FBorderStyle == TBorderStyle::bsSingle)
        Params.ExStyle |= FFlatBorder ? WS_EX_STATICEDGE : WS_EX_CLIENTEDGE;
}

void THSCustomTreeView::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    FVScrollShown = FHScrollShown = true;
    ApplyScrollBarsStyle();
    CreateToolTips();
    RecalcAll();
}

void THSCustomTreeView::DestroyWnd() {
    for (int Id = 1; Id <= 4; ++Id)
        StopTimer(Id);
    if (FToolTip)
        FToolTip->DestroyToolTipWindow();
    TWinControl::DestroyWnd();
}

void THSCustomTreeView::HandleDestroyed() {
    FTimers = 0;
    if (FToolTip)
        FToolTip->DestroyToolTipWindow();
}

void THSCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove) {
        if (AComponent == FImages) {
            FImages = nullptr;
            ImagesChanged();
        }
        if (AComponent == FStateImages) {
            FStateImages = nullptr;
            ImagesChanged();
        }
        if (AComponent == FToolTip)
            FToolTip = nullptr;
        for (auto It = FEditors.begin(); It != FEditors.end(); ++It)
            if (*It == AComponent) {
                if (FEditor == *It)
                    FEditor = nullptr;
                FEditors.erase(It);
                break;
            }
    }
}

bool THSCustomTreeView::AllowPaintTree() const {
    return !IsDestroying() && HandleAllocated() && FLockCount == 0;
}

// --- sizes ------------------------------------------------------------------------------------

TCanvas& THSCustomTreeView::MeasureCanvas(TFont& Font) {
    if (FCanvas->HandleAllocated()) {
        FCanvas->Font().Assign(Font);
        return *FCanvas;
    }
    if (!FMeasureCanvas) {
        FMeasureCanvas = std::make_unique<TCanvas>();
        FMeasureCanvas->SetHandle(FMeasureDC);
    }
    FMeasureCanvas->Font().Assign(Font);
    return *FMeasureCanvas;
}

int THSCustomTreeView::EditorHeight(THSTreeNode* Node, TFont& Font) {
    if (FMultiLineNodes) {
        TCanvas& C = MeasureCanvas(Font);
        return GetMultiLineTextHeight(C, Node->Text()) + 2;
    }
    return CachedFontHeight(Font) + 2;
}

int THSCustomTreeView::EditorWidth(THSTreeNode* Node, TFont& Font) {
    TCanvas& C = MeasureCanvas(Font);
    if (FMultiLineNodes)
        return GetMultiLineTextWidth(C, Node->Text()) + 2;
    TEXTMETRICA TM{};
    GetTextMetricsA(C.Handle(), &TM);
    return C.TextWidth(Node->Text()) + TM.tmOverhang + 2;
}

int THSCustomTreeView::NodeHeight(THSTreeNode* Node) {
    TFont& F = Node->DrawFont();
    int H = ((EditorHeight(Node, F) + 1) & ~1) + 2;
    if (FImages)
        H = std::max(H, (FImages->Height() + 1) & ~1);
    return std::max(H, 4);
}

int THSCustomTreeView::NodeWidth(THSTreeNode* Node) {
    TFont& F = Node->DrawFont();
    return ((EditorWidth(Node, F) + 1) & ~1) + 2;
}

int THSCustomTreeView::RowWidth(THSTreeNode* Node) {
    int W = 0;
    for (THSTreeNode* P = Node->FParent; P; P = P->FParent)
        W += P->GetIndent();
    return W + Node->GetIndent() + Node->GetCheckBoxWidth() + Node->GetStateImageWidth() +
           Node->GetImageWidth() + Node->GetTextWidth();
}

int THSCustomTreeView::NodeLeft(THSTreeNode* Node) {
    int X = GetDrawRect().left - FHorzOffset;
    for (THSTreeNode* P = Node->FParent; P; P = P->FParent)
        X += P->GetIndent();
    return X;
}

int THSCustomTreeView::GetMaxWidth() {
    return FRoot ? FRoot->FWidestWidth : 0;
}

void THSCustomTreeView::ClearWidthCaches(THSTreeNode* From) {
    for (THSTreeNode* N = From ? From : FRoot->FFirstChild; N; N = N->GetNext())
        N->FStates =
            static_cast<TNodeStates>(N->FStates & ~((1u << nsWidthCalculated) | (1u << nsHeightCalculated)));
}

void THSCustomTreeView::RecalcAll() {
    if (!FRoot)
        return;
    ClearWidthCaches(nullptr);
    RecalcSizes();
}

void THSCustomTreeView::RecalcSizes() {
    if (!FRoot || IsDestroying())
        return;
    if (!HandleAllocated() || FLockCount > 0) {
        FNeedRecalc = true;
        return;
    }
    FNeedRecalc = false;
    FRoot->CalcMaxWidthInfo();
    InvalidateVisibleIndexCache();
    UpdateScroll(true, true);
    Invalidate();
}

RECT THSCustomTreeView::GetDrawRect() {
    RECT R{0, 0, 0, 0};
    if (HandleAllocated())
        GetClientRect(FHandle, &R);
    return R;
}

RECT THSCustomTreeView::GetHitTestRect() {
    return GetDrawRect();
}

RECT THSCustomTreeView::GetScrollRect(int, int) {
    return GetDrawRect();
}

bool THSCustomTreeView::GetNodeTop(THSTreeNode* Node, int& Top) {
    if (!Node || !HandleAllocated() || !Node->IsVisible())
        return false;
    THSTreeNode* N = FTopItem;
    if (!N)
        return false;
    RECT C = GetDrawRect();
    int Y = C.top;
    while (N && Y < C.bottom) {
        if (N == Node) {
            Top = Y;
            return true;
        }
        Y += N->GetHeight();
        N = N->GetNextVisible();
    }
    return false;
}

void THSCustomTreeView::InvalidateNodeRow(THSTreeNode* Node) {
    if (!AllowPaintTree())
        return;
    int Top = 0;
    if (!GetNodeTop(Node, Top))
        return;
    RECT R = GetDrawRect();
    R.top = Top;
    R.bottom = Top + Node->GetHeight();
    InvalidateRect(FHandle, &R, FALSE);
}

// --- update bracket ---------------------------------------------------------------------------

void THSCustomTreeView::DoEndUpdate() {
    if (IsDestroying())
        return;
    if (IsSorted())
        AlphaSort();
    if (FTopItem && !FTopItem->IsVisible())
        FTopItem = GetNewTopItem(FTopItem);
    if (!FTopItem)
        FTopItem = FRoot->FFirstChild;
    InvalidateVisibleIndexCache();
    if (HandleAllocated()) {
        RECT R{0, 0, Width(), Height()};
        RedrawWindow(FHandle, &R, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
    }
    RecalcSizes();
    if (!FFocused && FWaitSelect) {
        THSTreeNode* N = FWaitSelect;
        FWaitSelect = nullptr;
        SetSelected(N);
    }
    FWaitSelect = nullptr;
    UpdateToolTip();
    if (FWaitVisible) {
        THSTreeNode* N = FWaitVisible;
        FWaitVisible = nullptr;
        N->MakeVisible();
    }
}

void THSCustomTreeView::DoAfterInsert(THSTreeNode* Node) {
    if (!FTopItem)
        FTopItem = Node;
    Node->AddCounts(Node->FLinkParent);
    InvalidateVisibleIndexCache();
    bool Visible = Node->IsVisible();
    if (Visible) {
        Node->ReSortNode();
        if (AllowPaintTree()) {
            Node->FWidestNode = Node;
            Node->FWidestWidth = RowWidth(Node);
            Node->FLinkParent->GrowWidth(Node, Node->FWidestWidth);
            Node->InvalidateBelow(true);
            UpdateScroll(true, true);
        } else {
            FNeedRecalc = true;
        }
    }
    if (FFrameShown)
        MouseSelectUpdate(Node);
    if (THSTreeNode* P = Node->FParent) {
        bool HadChildren = P->HasChildren();
        P->SetStateBit(nsHasChildren, true);
        if (AllowPaintTree() && (!HadChildren || !P->Expanded()))
            P->Invalidate(NodePart(npButton));
    }
    if (AllowPaintTree() && Visible) {
        if (THSTreeNode* S = Node->FPrevSibling; S && !Node->FNextSibling)
            S->InvalidateBelow(true);
    }
    if (FCheckBoxesType == ctAll)
        Node->FNodeType = ntCheckBox;
    DoEvent(OnAfterInsert, this, Node);
}

void THSCustomTreeView::NodeDeleted(THSTreeNode* Node, THSTreeNode* Neighbour, THSTreeNode* DeletingParent) {
    // A node inside a subtree that is being deleted hands its roles to the deleting parent, which
    // passes them on when its own turn comes; that spares events for nodes about to go.
    THSTreeNode* Heir = DeletingParent ? DeletingParent : Neighbour;
    auto Forget = [&](THSTreeNode*& Ref) {
        if (Ref == Node)
            Ref = nullptr;
    };
    Forget(FHotNode);
    Forget(FDownNode);
    Forget(FRightClickNode);
    Forget(FLastDropTarget);
    Forget(FDragExpandNode);
    Forget(FPrevSelected);
    Forget(FWaitVisible);
    Forget(FDropNode);
    if (FDropTarget == Node)
        FDropTarget = nullptr;
    if (FToolTip)
        FToolTip->NodeDeleted(Node);
    if (FTopItem == Node) {
        FTopItem = Heir;
        InvalidateVisibleIndexCache();
    }
    if (FWaitSelect == Node)
        FWaitSelect = Heir;
    if (FFocused == Node) {
        FFocused = nullptr;
        if (DeletingParent) {
            Heir->SetStateBit(nsFocused, true);
            FFocused = Heir;
        } else if (FLockCount > 0) {
            FWaitSelect = Neighbour;
        } else {
            SetSelected(Neighbour);
        }
    }
    if (!DeletingParent) {
        if (FLockCount > 0)
            FNeedRecalc = true;
        else
            TopItemChanged();
    }
}

// --- selection --------------------------------------------------------------------------------

THSTreeNode* THSCustomTreeView::Selected() const {
    if (FFocused)
        return FFocused;
    if (FLockCount > 0)
        return FWaitSelect;
    return nullptr;
}

void THSCustomTreeView::SetNodeSelectedFlag(THSTreeNode* Node, bool Value) {
    if (Node->Selected() == Value)
        return;
    Node->SetStateBit(nsSelected, Value);
    TNodeParts Parts = NodePart(npText);
    if (Node->ImageIndex() != Node->SelectedIndex())
        Parts |= NodePart(npImage);
    Node->Invalidate(Parts);
}

void THSCustomTreeView::AddToSelection(THSTreeNode* Node) {
    if (std::find(FSelections.begin(), FSelections.end(), Node) == FSelections.end()) {
        FSelections.push_back(Node);
        DoSelectionChanged();
    }
}

void THSCustomTreeView::RemoveFromSelection(THSTreeNode* Node) {
    auto It = std::find(FSelections.begin(), FSelections.end(), Node);
    if (It != FSelections.end()) {
        FSelections.erase(It);
        if (!IsDestroying())
            DoSelectionChanged();
    }
    if (FAnchor == Node) {
        FAnchor = nullptr;
        if (FSelections.size() >= 2 && FFocused && FFocused != Node && !IsDestroying()) {
            // The anchor moves one visible node towards the focused node.
            bool Down = Node->VisibleIndex() < FFocused->VisibleIndex();
            THSTreeNode* N = Down ? Node->GetNextVisible() : Node->GetPrevVisible();
            if (N && !N->Deleting())
                FAnchor = N;
        }
    }
}

void THSCustomTreeView::DeselectPrevious(THSTreeNode* Node) {
    std::vector<THSTreeNode*> Others(FSelections);
    for (THSTreeNode* N : Others)
        if (N != Node)
            N->SetSelected(false);
}

void THSCustomTreeView::SetSelected(THSTreeNode* Node) {
    if (Node && Node == FFocused) {
        SetNodeSelectedFlag(Node, true);
        AddToSelection(Node);
        return;
    }
    if (!CanChange(Node))
        return;
    {
        TSelectionHold Hold(this);
        DeselectPrevious(Node);
        if (Node) {
            Node->SetFocused(true);
            if (!Node->Selected()) {
                SetNodeSelectedFlag(Node, true);
                AddToSelection(Node);
            }
            if (!FMultiSelect || !FAnchor)
                FAnchor = Node;
        } else {
            if (FFocused)
                FFocused->SetFocused(false);
            StopTimer(4);
        }
        if (IsEditing())
            EndEditNode(false);
    }
    if (!Node || Node->Focused())
        Change(Node);
}

THSCustomTreeView::TSelectionHold::~TSelectionHold() {
    if (--T->FSelectionHold == 0 && T->FSelectionPending) {
        T->FSelectionPending = false;
        T->DoSelectionChanged();
    }
}

void THSCustomTreeView::DoSelectionChanged() {
    if (FSelectionHold > 0) {
        FSelectionPending = true;
        return;
    }
    if (FChangeDelay > 0 && HandleAllocated()) {
        if (!TimerRunning(1))
            StartTimer(1, FChangeDelay);
        return;
    }
    SelectionChanged();
}

void THSCustomTreeView::SelectionChanged() {
    StopTimer(1);
    DoEvent(OnSelectionChanged, this, Selected());
}

void THSCustomTreeView::FlushDelayedSelection() {
    if (TimerRunning(1))
        SelectionChanged();
}

void THSCustomTreeView::NodeSelectionChanged(THSTreeNode*) {}

void THSCustomTreeView::DeleteSelectedItems() {
    THSTreeUpdateGuard Batch(*FItems);
    while (!FSelections.empty())
        FSelections.back()->Delete();
}

THSTreeNode* THSCustomTreeView::DropTarget() const {
    if (FDropTarget)
        return FDropTarget;
    if (!FDragging)
        return FDropNode;
    return nullptr;
}

void THSCustomTreeView::SetDropTarget(THSTreeNode* Node) {
    if (Node)
        Node->SetDropTarget(true);
    else if (FDropTarget)
        FDropTarget->SetDropTarget(false);
}

// --- event triggers ---------------------------------------------------------------------------

bool THSCustomTreeView::CanChange(THSTreeNode* Node) {
    bool Allow = true;
    DoEvent(OnChanging, this, Node, Allow);
    return Allow;
}
bool THSCustomTreeView::CanCollapse(THSTreeNode* Node) {
    bool Allow = true;
    DoEvent(OnCollapsing, this, Node, Allow);
    return Allow;
}
bool THSCustomTreeView::CanExpand(THSTreeNode* Node) {
    bool Allow = true;
    DoEvent(OnExpanding, this, Node, Allow);
    return Allow;
}
bool THSCustomTreeView::CanEdit(THSTreeNode* Node) {
    if (FReadOnly || Node->ReadOnly())
        return false;
    bool Allow = true;
    DoEvent(OnEditing, this, Node, Allow);
    return Allow;
}
void THSCustomTreeView::Change(THSTreeNode* Node) {
    DoEvent(OnChange, this, Node);
}
void THSCustomTreeView::DoCollapsed(THSTreeNode* Node) {
    DoEvent(OnCollapsed, this, Node);
}
void THSCustomTreeView::DoExpanded(THSTreeNode* Node) {
    DoEvent(OnExpanded, this, Node);
}
void THSCustomTreeView::DoDeletion(THSTreeNode* Node) {
    DoEvent(OnDeletion, this, Node);
}
void THSCustomTreeView::DoStateChanging(THSTreeNode* Node, TCheckBoxState& NewState) {
    DoEvent(OnStateChanging, this, Node, NewState);
}
void THSCustomTreeView::DoStateChanged(THSTreeNode* Node) {
    DoEvent(OnStateChanged, this, Node);
}
void THSCustomTreeView::DoCheckClick(THSTreeNode* Node) {
    DoEvent(OnCheckClick, this, Node);
}
void THSCustomTreeView::DoEdit(THSTreeNode* Node, std::string& S) {
    DoEvent(OnEdited, this, Node, S);
}
void THSCustomTreeView::DoAfterEditing(THSTreeNode* Node, bool Cancelled) {
    DoEvent(OnAfterEditing, this, Node, Cancelled);
}
void THSCustomTreeView::DoExpandNode(THSTreeNode*) {}
void THSCustomTreeView::DoGetImageIndex(THSTreeNode* Node) {
    DoEvent(OnGetImageIndex, this, Node);
}
void THSCustomTreeView::DoGetSelectedIndex(THSTreeNode* Node) {
    DoEvent(OnGetSelectedIndex, this, Node);
}
void THSCustomTreeView::DoRightClickNode(THSTreeNode* Node, TRightClickAction& Action) {
    DoEvent(OnRightClickNode, this, Node, Action);
}
void THSCustomTreeView::DoValidateEditText(THSTreeNode* Node, std::string& S, THSValidateCode& Code) {
    Code = vcOk;
    DoEvent(OnValidateEditText, this, Node, S, Code);
    if (IsDestroying())
        Code = vcCancel;
}

int THSCustomTreeView::DoCompare(THSTreeNode* Node1, THSTreeNode* Node2) {
    return AnsiCompareText(Node1->Text(), Node2->Text());
}

int THSCustomTreeView::CompareNodes(THSTreeNode* Node1, THSTreeNode* Node2, intptr_t Data) {
    if (OnCompare) {
        int Compare = 0;
        OnCompare(this, Node1, Node2, Data, Compare);
        return Compare;
    }
    return DoCompare(Node1, Node2);
}

// --- sort and expansion -----------------------------------------------------------------------

bool THSCustomTreeView::IsSorted() const {
    return FSortType == stText || FSortType == stBoth || (FSortType == stData && OnCompare);
}

bool THSCustomTreeView::IsSortLocked() const {
    return FLockCount > 0 || FSortLock > 0 || IsDestroying();
}

bool THSCustomTreeView::AlphaSort() {
    return CustomSort(nullptr, 0);
}

bool THSCustomTreeView::CustomSort(const TTVCompare& Compare, intptr_t Data) {
    if (FSortLock > 0 || IsDestroying())
        return true;
    ++FSortLock;
    struct Release {
        int& C;
        ~Release() { --C; }
    } R{FSortLock};
    std::vector<THSTreeNode*> Lists{FRoot};
    while (!Lists.empty()) {
        THSTreeNode* L = Lists.back();
        Lists.pop_back();
        L->CustomSort(Compare, Data);
        for (THSTreeNode* C = L->FFirstChild; C; C = C->FNextSibling)
            if (C->FFirstChild)
                Lists.push_back(C);
    }
    FItems->ClearCache();
    if (FLockCount == 0)
        TopItemChanged();
    return true;
}

void THSCustomTreeView::FullExpand() {
    THSTreeUpdateGuard Batch(*FItems);
    for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->FNextSibling)
        N->Expand(true);
}

void THSCustomTreeView::FullCollapse() {
    THSTreeUpdateGuard Batch(*FItems);
    for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->FNextSibling)
        N->Collapse(true);
}

// --- properties -------------------------------------------------------------------------------

void THSCustomTreeView::SetActiveSelectedColor(TColor Value) {
    if (Value != FActiveSelectedColor) {
        FActiveSelectedColor = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetActiveSelectedFontColor(TColor Value) {
    if (Value != FActiveSelectedFontColor) {
        FActiveSelectedFontColor = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetInactiveSelectedColor(TColor Value) {
    if (Value != FInactiveSelectedColor) {
        FInactiveSelectedColor = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetInactiveSelectedFontColor(TColor Value) {
    if (Value != FInactiveSelectedFontColor) {
        FInactiveSelectedFontColor = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetLinesColor(TColor Value) {
    if (Value != FLinesColor) {
        FLinesColor = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetFlatChecks(bool Value) {
    if (Value != FFlatChecks) {
        FFlatChecks = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetShowLines(bool Value) {
    if (Value != FShowLines) {
        FShowLines = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetShowButtons(bool Value) {
    if (Value != FShowButtons) {
        FShowButtons = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetRowSelect(bool Value) {
    if (Value != FRowSelect) {
        FRowSelect = Value;
        Invalidate();
    }
}
void THSCustomTreeView::SetShowRoot(bool Value) {
    if (Value != FShowRoot) {
        FShowRoot = Value;
        RecalcSizes();
        Invalidate();
    }
}
void THSCustomTreeView::SetRowSelectType(THSRowSelectType Value) {
    if (Value != FRowSelectType) {
        FRowSelectType = Value;
        if (FFocused && FFocused->Selected())
            InvalidateNodeRow(FFocused);
    }
}
void THSCustomTreeView::SetHideSelection(bool Value) {
    if (Value != FHideSelection) {
        FHideSelection = Value;
        for (THSTreeNode* N : FSelections)
            N->Invalidate(NodePart(npText));
    }
}
void THSCustomTreeView::SetMultiLineNodes(bool Value) {
    if (Value != FMultiLineNodes) {
        FMultiLineNodes = Value;
        RecalcAll();
        Invalidate();
    }
}

void THSCustomTreeView::SetAutoCheck(bool Value) {
    if (Value == FAutoCheck)
        return;
    FAutoCheck = Value;
    if (!Value || FCheckBoxesType == ctNone)
        return;
    ++FDownPropagation;
    bool SavedUp = FUpPropagation;
    FUpPropagation = true;
    struct Restore {
        THSCustomTreeView* T;
        bool Up;
        ~Restore() {
            --T->FDownPropagation;
            T->FUpPropagation = Up;
        }
    } R{this, SavedUp};
    // Bottom-up: a node after all of its descendants.
    std::vector<THSTreeNode*> Order;
    for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->GetNext())
        Order.push_back(N);
    for (auto It = Order.rbegin(); It != Order.rend(); ++It)
        (*It)->UpdateAutoCheck();
}

void THSCustomTreeView::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    if (!Value)
        DeselectPrevious(FFocused);
    MultiSelectChanged();
}

void THSCustomTreeView::SetCheckBoxesType(THSCheckBoxesType Value) {
    if (Value == FCheckBoxesType)
        return;
    FCheckBoxesType = Value;
    if (Value == ctAll)
        for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->GetNext())
            N->FNodeType = ntCheckBox;
    RecalcAll();
}

void THSCustomTreeView::SetSortType(TSortType Value) {
    if (Value == FSortType)
        return;
    FSortType = Value;
    if (IsSorted())
        AlphaSort();
}

void THSCustomTreeView::SetSortOrder(THSSortOrder Value) {
    if (Value == FSortOrder)
        return;
    FSortOrder = Value;
    if (FSortType != stNone)
        AlphaSort();
}

void THSCustomTreeView::SetImages(TImageList* Value) {
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    ImagesChanged();
}

void THSCustomTreeView::SetStateImages(TImageList* Value) {
    if (Value == FStateImages)
        return;
    if (FStateImages)
        FStateImages->RemoveFreeNotification(this);
    FStateImages = Value;
    if (FStateImages)
        FStateImages->FreeNotification(this);
    ImagesChanged();
}

void THSCustomTreeView::ImagesChanged() {
    RecalcAll();
    Invalidate();
}

void THSCustomTreeView::SetHotTrack(bool Value) {
    if (Value == FHotTrack)
        return;
    FHotTrack = Value;
    if (!Value) {
        if (FHotNode)
            FHotNode->Invalidate(NodePart(npText));
        FHotNode = nullptr;
        Invalidate();
    }
}

void THSCustomTreeView::SetIndent(int Value) {
    if (Value < 0)
        throw EInvalidOperation("Invalid value");
    if (Value == FIndent)
        return;
    FIndent = Value;
    RecalcSizes();
    Invalidate();
}

void THSCustomTreeView::SetDragExpandDelay(int Value) {
    if (Value < 0)
        throw EInvalidOperation("Invalid value");
    FDragExpandDelay = Value;
}

void THSCustomTreeView::SetDropTargetKind(THSDropTargetKind Value) {
    if (Value == FDropTargetKind)
        return;
    FDropTargetKind = Value;
    if (FDropTarget)
        InvalidateNodeRow(FDropTarget);
}

void THSCustomTreeView::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    UpdateBorder();
}

void THSCustomTreeView::SetFlatBorder(bool Value) {
    if (Value == FFlatBorder)
        return;
    FFlatBorder = Value;
    UpdateBorder();
}

void THSCustomTreeView::UpdateBorder() {
    if (!HandleAllocated())
        return;
    LONG_PTR Ex = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
    Ex &= ~static_cast<LONG_PTR>(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE);
    if (FBorderStyle == TBorderStyle::bsSingle)
        Ex |= FFlatBorder ? WS_EX_STATICEDGE : WS_EX_CLIENTEDGE;
    SetWindowLongPtrA(FHandle, GWL_EXSTYLE, Ex);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void THSCustomTreeView::SetScrollBarsStyle(TScrollBarStyle Value) {
    if (Value == FScrollBarsStyle)
        return;
    FScrollBarsStyle = Value;
    ApplyScrollBarsStyle();
}

void THSCustomTreeView::ApplyScrollBarsStyle() {
    // The ordinary bars are used for every style: the platform's flat scroll bars only change
    // their look, and the tree sets its bars through the ordinary functions.
}

void THSCustomTreeView::SetToolTips(bool Value) {
    if (Value == FToolTips && (FToolTip != nullptr) == Value)
        return;
    FToolTips = Value;
    if (Value) {
        if (!FToolTip) {
            FToolTip = new THSTreeToolTip(this);
            FToolTip->SetTree(this);
            FToolTip->FreeNotification(this);
            CreateToolTips();
        }
    } else if (FToolTip) {
        THSTreeToolTip* T = FToolTip;
        FToolTip = nullptr;
        delete T;
    }
}

void THSCustomTreeView::CreateToolTips() {
    if (!FToolTip || !HandleAllocated() || FToolTip->HandleAllocated())
        return;
    FToolTip->SetParent(this);
    try {
        FToolTip->CreateToolTipWindow();
        FToolTip->SetInitialTime(0);
    } catch (const Exception&) {
        // Without the common controls' tooltip class the tree simply shows no tips.
    }
}

void THSCustomTreeView::OnColorChanged() {
    for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->GetNext())
        if (N->ParentColor())
            N->FColor = Color();
    Invalidate();
}

void THSCustomTreeView::OnFontChanged() {
    for (THSTreeNode* N = FRoot->FFirstChild; N; N = N->GetNext())
        if (N->ParentFont())
            N->FStates = static_cast<TNodeStates>(N->FStates &
                                                  ~((1u << nsWidthCalculated) | (1u << nsHeightCalculated)));
    FPrintOptions->TreeFontChanged();
    RecalcSizes();
}

void THSCustomTreeView::FontChanged() {
    TWinControl::FontChanged();
    if (FRoot)
        OnFontChanged();
}

void THSCustomTreeView::ColorChanged() {
    TWinControl::ColorChanged();
    if (FRoot)
        OnColorChanged();
}

// --- timers -----------------------------------------------------------------------------------

void THSCustomTreeView::StartTimer(int Id, int Milliseconds) {
    if (!HandleAllocated() || TimerRunning(Id))
        return;
    if (SetTimer(FHandle, static_cast<UINT_PTR>(Id), static_cast<UINT>(std::max(1, Milliseconds)), nullptr))
        FTimers |= 1u << Id;
}

void THSCustomTreeView::RestartTimer(int Id, int Milliseconds) {
    StopTimer(Id);
    StartTimer(Id, Milliseconds);
}

void THSCustomTreeView::StopTimer(int Id) {
    if (!TimerRunning(Id))
        return;
    FTimers &= ~(1u << Id);
    if (HandleAllocated())
        KillTimer(FHandle, static_cast<UINT_PTR>(Id));
}

void THSCustomTreeView::OnTimer(int TimerId) {
    switch (TimerId) {
    case 1:
        SelectionChanged();
        break;
    case 2:
        ProcessScrollTimer();
        break;
    case 3:
        StopTimer(3);
        if (FDragging && FDragExpandNode && FDragExpandNode == FDropTarget)
            FDragExpandNode->Expand(false);
        break;
    case 4:
        StopTimer(4);
        if (FFocused)
            FFocused->EditText();
        break;
    }
}
