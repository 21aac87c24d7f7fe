#pragma once
// THSCustomTreeView / THSTree: an owner-drawn tree control of its own window class. It paints
// every row itself, scrolls by whole nodes vertically and by pixels horizontally, keeps a single
// or multiple selection, edits node texts in place, shows tooltips for clipped texts, saves and
// loads its nodes and prints itself.
//
// Typical use:
//   auto* Tree = new THSTree(Form);  Tree->SetParent(Form);  Tree->SetAlign(TAlign::alClient);
//   THSTreeUpdateGuard Batch(Tree->Items());
//   THSTreeNode* N = Tree->Items().AddChildObject(nullptr, "text", Record);
//   Tree->OnChange = [](TObject*, THSTreeNode* Node) { ... };
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/tree/HSCanvas.h"
#include "controls/tree/HSTreeNode.h"
#include "framework/ui/Controls.h"
#include "framework/ui/ImgList.h"

class THSTreeToolTip;
class THSCustomTreeView;

enum THSCheckBoxesType : uint8_t { ctNone, ctAll, ctCustom };
enum THSDropTargetKind : uint8_t { tkStandard, tkUp, tkDown };
enum THSRowSelectType : uint8_t { rtPartial, rtFull };
enum TScrollBarStyle : uint8_t { ssRegular, ssFlat, ssHotTrack };
enum TRightClickAction : uint8_t { raSelect, raMakeSelected, raNothing };
enum THSValidateCode : uint8_t { vcOk, vcCancel, vcContinueEditing };
enum TDragMode : uint8_t { dmManual, dmAutomatic };
enum THSScrollMode : uint8_t {
    smLineLeft,
    smPageLeft,
    smToLeft,
    smLineUp,
    smPageUp,
    smToTop,
    smLineRight,
    smPageRight,
    smToRight,
    smLineDown,
    smPageDown,
    smToBottom
};
enum THSHitTest : uint8_t {
    dhtNowhere,
    dhtAbove,
    dhtBelow,
    dhtToLeft,
    dhtToRight,
    dhtOnItem,
    dhtOnIndent,
    dhtOnButton,
    dhtOnCheckBox,
    dhtOnStateIcon,
    dhtOnIcon,
    dhtOnLabel,
    dhtOnRight
};
using THSHitTests = uint16_t; // bit n = THSHitTest n
constexpr THSHitTests HitBit(THSHitTest H) {
    return static_cast<THSHitTests>(1u << H);
}

enum THSPrintOption : uint8_t { poHeader, poFooter, poShowProgress };
using THSPrintOptionSet = uint8_t; // bit n = THSPrintOption n

// Header, footer and fonts of the tree's printing.
class THSTreePrintOptions : public TPersistent {
    ZEL_DECLARE_CLASS(THSTreePrintOptions)
public:
    explicit THSTreePrintOptions(THSCustomTreeView* ATree = nullptr);
    ~THSTreePrintOptions() override;
    void Assign(TPersistent* Source) override;

    std::string Footer;
    std::string Header;
    std::string Title;
    THSPrintOptionSet Options = 0;
    TFont& FooterFont() { return *FFooterFont; }
    TFont& HeaderFont() { return *FHeaderFont; }
    TFont& PrintFont() { return *FPrintFont; }
    // Assigning a font clears its parent flag.
    void SetFooterFont(const TFont& Value);
    void SetHeaderFont(const TFont& Value);
    void SetPrintFont(const TFont& Value);
    bool ParentFooterFont() const { return FParentFooterFont; }
    void SetParentFooterFont(bool Value);
    bool ParentHeaderFont() const { return FParentHeaderFont; }
    void SetParentHeaderFont(bool Value);
    bool ParentPrintFont() const { return FParentPrintFont; }
    void SetParentPrintFont(bool Value);
    // The tree's font changed: fonts that follow it copy it.
    void TreeFontChanged();

private:
    THSCustomTreeView* FTree;
    std::unique_ptr<TFont> FFooterFont, FHeaderFont, FPrintFont;
    bool FParentFooterFont = true, FParentHeaderFont = true, FParentPrintFont = true;
};

using TDTVNodeEvent = std::function<void(TObject* Sender, THSTreeNode* Node)>;
using TDTVChangingEvent = std::function<void(TObject* Sender, THSTreeNode* Node, bool& AllowChange)>;
using TDTVExpandingEvent = std::function<void(TObject* Sender, THSTreeNode* Node, bool& AllowExpansion)>;
using TDTVCollapsingEvent = std::function<void(TObject* Sender, THSTreeNode* Node, bool& AllowCollapse)>;
using TDTVCompareEvent =
    std::function<void(TObject* Sender, THSTreeNode* Node1, THSTreeNode* Node2, intptr_t Data, int& Compare)>;
using TDTVEditingEvent = std::function<void(TObject* Sender, THSTreeNode* Node, bool& AllowEdit)>;
using TDTVEditedEvent = std::function<void(TObject* Sender, THSTreeNode* Node, std::string& S)>;
using TDTVAfterEditingEvent = std::function<void(TObject* Sender, THSTreeNode* Node, bool Cancelled)>;
using TGetEditorClassEvent = std::function<void(TObject* Sender, THSTreeNode* Node, TClass& EditorClass)>;
using TRightClickNodeEvent =
    std::function<void(TObject* Sender, THSTreeNode* Node, TRightClickAction& Action)>;
using TDTVStateChangingEvent =
    std::function<void(TObject* Sender, THSTreeNode* Node, TCheckBoxState& NewState)>;
using THSValidateEditText =
    std::function<void(TObject* Sender, THSTreeNode* Node, std::string& S, THSValidateCode& Code)>;
using TCreateNodeEvent = std::function<void(TObject* Sender, int Level, THSTreeNodeClass& NodeClass)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;

// Private messages between the tree and its in-place editors.
constexpr UINT DM_SETCANVAS = 1025;
constexpr UINT DM_MEASURE = 1026;
constexpr UINT DM_DRAW = 1027;
constexpr UINT DM_SETRECT = 1028;
constexpr UINT DM_SETPARENT = 1029;
constexpr UINT DM_SETTEXT = 1030;
constexpr UINT DM_SHOW = 1031;
constexpr UINT DM_HIDE = 1032;
constexpr UINT DM_CANCELCHANGES = 1033;
constexpr UINT DM_SAVECHANGES = 1034;
constexpr UINT DM_KILLFOCUS = 1035;
constexpr UINT DM_GETMODIFIED = 1036;

class THSCustomTreeView : public TWinControl {
    ZEL_DECLARE_CLASS(THSCustomTreeView)
public:
    explicit THSCustomTreeView(TComponent* AOwner);
    ~THSCustomTreeView() override;

    THSTreeNodes& Items() { return *FItems; }
    THSTreeNode* RootNode() const { return FRoot; }

    // --- selection and position
    THSTreeNode* Selected() const;
    void SetSelected(THSTreeNode* Node);
    THSTreeNode* TopItem() const { return FTopItem; }
    void SetTopItem(THSTreeNode* Node);
    THSTreeNode* DropTarget() const;
    void SetDropTarget(THSTreeNode* Node);
    int SelectionCount() const { return static_cast<int>(FSelections.size()); }
    THSTreeNode* Selections(int Index) const { return FSelections.at(static_cast<size_t>(Index)); }
    void DeselectPrevious(THSTreeNode* Node);
    void DeleteSelectedItems();
    void FlushDelayedSelection();
    void ScrollByLines(int N);
    void Scroll(THSScrollMode Mode);
    int HorzOffset() const { return FHorzOffset; }

    // --- sorting and expansion
    bool AlphaSort();
    virtual bool CustomSort(const TTVCompare& Compare, intptr_t Data);
    virtual bool IsSorted() const;
    bool IsSortLocked() const;
    virtual void FullExpand();
    void FullCollapse();

    // --- hit testing
    virtual THSHitTests GetHitTest(int X, int Y, THSTreeNode** Node = nullptr);
    THSHitTests GetHitTestAtCursor(THSTreeNode** Node = nullptr);
    THSTreeNode* GetNodeAt(int X, int Y);
    THSTreeNode* GetNodeAtCursor();
    uint16_t GetHitTestInfoAt(int X, int Y);
    uint16_t GetHitTestInfoAtCursor();

    // --- editing
    bool IsEditing() const { return FEditing && FEditNode; }
    THSTreeNode* EditingNode() const { return FEditNode; }
    void EditNode(THSTreeNode* Node);
    void EndEditNode(bool Cancel);
    void EndEditNodeInternal(bool Cancel, bool FromKillFocus);
    TWinControl* EditorControl() const { return FEditor; }
    // The tooltip object while ToolTips is on (nullptr otherwise).
    THSTreeToolTip* ToolTip() const { return FToolTip; }

    // --- files and streams (nodes and their published properties)
    void SaveToFile(const std::string& FileName);
    void SaveToStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    void LoadFromStream(TStream& Stream);
    void WriteData(TStream& Stream);
    void ReadData(TStream& Stream);

    // --- form streaming: "Data" carries the nodes; "CheckBoxes", "DrawData" and "SelectDelay"
    // are read from older forms only.
    std::string StreamedData() const;
    void SetStreamedData(const std::string& Value);
    bool LegacyCheckBoxes() const { return FCheckBoxesType == ctAll; }
    void SetLegacyCheckBoxes(bool Value) { SetCheckBoxesType(Value ? ctAll : ctNone); }
    std::string LegacyDrawData() const { return std::string(); }
    void SetLegacyDrawData(const std::string&) {}
    int LegacySelectDelay() const { return ChangeDelay(); }
    void SetLegacySelectDelay(int Value) { SetChangeDelay(Value); }

    // Shows the tree as a drop-down at (X, Y) of its parent's client area; true when accepted.
    bool Popup(int X, int Y);

    // --- dragging: the dragged node's icon follows the mouse while a drag runs.
    // The drag image list while it holds an image, else nullptr.
    TImageList* GetDragImages();
    bool Dragging() const { return FDragging; }
    void HideDragImage();
    void ShowDragImage();

    // --- printing
    void Print(bool PrintAll);
    void PrintWithDialog(bool PrintAll);
    THSTreePrintOptions& PrintOptions() { return *FPrintOptions; }

    // --- node classes
    THSTreeNodeClass BaseNodeClass() const { return FBaseNodeClass; }
    THSTreeNodeClass DefaultNodeClass() const { return FNodeClass; }
    void SetDefaultNodeClass(THSTreeNodeClass Value);
    virtual THSTreeNode* CreateNode();

    // --- properties
    TColor ActiveSelectedColor() const { return FActiveSelectedColor; }
    void SetActiveSelectedColor(TColor Value);
    TColor ActiveSelectedFontColor() const { return FActiveSelectedFontColor; }
    void SetActiveSelectedFontColor(TColor Value);
    bool AllowMultiDrag() const { return FAllowMultiDrag; }
    void SetAllowMultiDrag(bool Value) { FAllowMultiDrag = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value) { FChangeDelay = Value; }
    THSCheckBoxesType CheckBoxesType() const { return FCheckBoxesType; }
    void SetCheckBoxesType(THSCheckBoxesType Value);
    int DragExpandDelay() const { return FDragExpandDelay; }
    void SetDragExpandDelay(int Value);
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    THSDropTargetKind DropTargetKind() const { return FDropTargetKind; }
    void SetDropTargetKind(THSDropTargetKind Value);
    bool ExpandOnDrag() const { return FExpandOnDrag; }
    void SetExpandOnDrag(bool Value) { FExpandOnDrag = Value; }
    bool FlatBorder() const { return FFlatBorder; }
    void SetFlatBorder(bool Value);
    bool FlatChecks() const { return FFlatChecks; }
    void SetFlatChecks(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TColor InactiveSelectedColor() const { return FInactiveSelectedColor; }
    void SetInactiveSelectedColor(TColor Value);
    TColor InactiveSelectedFontColor() const { return FInactiveSelectedFontColor; }
    void SetInactiveSelectedFontColor(TColor Value);
    int Indent() const { return FIndent; }
    // EInvalidOperation "Invalid value" for a negative indent.
    void SetIndent(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TImageList* Value);
    // Call after changing the contents of Images or StateImages.
    virtual void ImagesChanged();
    TColor LinesColor() const { return FLinesColor; }
    void SetLinesColor(TColor Value);
    bool MultiLineNodes() const { return FMultiLineNodes; }
    void SetMultiLineNodes(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    THSRowSelectType RowSelectType() const { return FRowSelectType; }
    void SetRowSelectType(THSRowSelectType Value);
    TScrollBarStyle ScrollBarsStyle() const { return FScrollBarsStyle; }
    void SetScrollBarsStyle(TScrollBarStyle Value);
    bool SelectOnlySiblings() const { return FSelectOnlySiblings; }
    void SetSelectOnlySiblings(bool Value) { FSelectOnlySiblings = Value; }
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    THSSortOrder SortOrder() const { return FSortOrder; }
    void SetSortOrder(THSSortOrder Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    bool ToolTips() const { return FToolTips; }
    void SetToolTips(bool Value);

    // --- events
    TDTVAfterEditingEvent OnAfterEditing;
    TDTVNodeEvent OnAfterInsert;
    TDTVNodeEvent OnChange;
    TDTVNodeEvent OnCheckClick;
    TDTVNodeEvent OnCollapsed;
    TDTVNodeEvent OnExpanded;
    TDTVNodeEvent OnDeletion;
    TDTVNodeEvent OnGetImageIndex;
    TDTVNodeEvent OnGetSelectedIndex;
    TDTVNodeEvent OnSelectionChanged;
    TDTVNodeEvent OnStateChanged;
    TDTVChangingEvent OnChanging;
    TDTVCollapsingEvent OnCollapsing;
    TDTVExpandingEvent OnExpanding;
    TDTVCompareEvent OnCompare;
    TDTVEditingEvent OnEditing;
    TDTVEditedEvent OnEdited;
    TGetEditorClassEvent OnGetEditorClass;
    TRightClickNodeEvent OnRightClickNode;
    TDTVStateChangingEvent OnStateChanging;
    THSValidateEditText OnValidateEditText;
    TCreateNodeEvent OnCreateNode;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TNotifyEvent OnStartDrag;
    TNotifyEvent OnEndDrag;

    // --- geometry, painting and the pieces a derived tree may replace
    THSCanvas& Canvas() { return *FCanvas; }
    virtual RECT GetDrawRect();
    virtual RECT GetHitTestRect();
    virtual RECT GetScrollRect(int DX, int DY);
    virtual int GetMaxWidth();
    virtual int GetPrintWidth();
    virtual int NodeHeight(THSTreeNode* Node);
    virtual int NodeWidth(THSTreeNode* Node);
    virtual void DrawTreeView(const RECT& R);
    virtual void DrawNode(THSTreeNode* Node, const RECT& R);
    virtual void InternalDrawNode(THSTreeNode* Node, const TNodeDispInfo& Info, const RECT& R);
    virtual void DrawNodeLines(THSTreeNode* Node, const TNodeDispInfo& Info);
    virtual void DrawNodeLineSection(THSTreeNode* Ancestor, THSTreeNode* Node, const RECT& Cell);
    virtual void DrawNodeButton(THSTreeNode* Node, const RECT& Cell);
    virtual void DrawNodeText(THSTreeNode* Node, const RECT& R);
    virtual void DrawEditor(THSTreeNode* Node, const std::string& Text, const RECT& R);
    virtual void DrawBackground(THSTreeNode* Node, const RECT& R);
    virtual TColor GetNodeBrushColor(THSTreeNode* Node, TColor Default);
    virtual TColor GetNodeFontColor(THSTreeNode* Node, TColor Default);
    virtual TColor GetDefaultNodeBrushColor(THSTreeNode* Node);
    virtual TColor GetNodeBackgroundColor(THSTreeNode* Node);
    virtual RECT GetNodeFocusRect(THSTreeNode* Node);
    virtual bool AllowDrawText(THSTreeNode* Node);
    virtual bool AllowDrawFocusRect(THSTreeNode* Node);
    virtual THSTreeNode* GetFirstVisibleNode();
    virtual THSTreeNode* GetLastVisibleNode();
    virtual int GetPageSize();
    THSTreeNode* PageUpItem(THSTreeNode* Node);
    THSTreeNode* PageDownItem(THSTreeNode* Node);
    // Top of the node's row in client coordinates; false when the node is not shown.
    bool GetNodeTop(THSTreeNode* Node, int& Top);
    bool IsPrinting() const { return FPrinting; }
    // Drops every cached node size and recomputes rows, widths and scroll bars.
    void RecalcAll();
    // Recomputes widths and scroll bars from the cached node sizes.
    void RecalcSizes();
    // Repaints are wanted: not locked, window made, not being destroyed.
    bool AllowPaintTree() const;
    // Width of the node's row from the client's left edge (scroll offset left out).
    int RowWidth(THSTreeNode* Node);
    // Left edge of the node's indent cell in client coordinates.
    int NodeLeft(THSTreeNode* Node);
    void InvalidateNodeRow(THSTreeNode* Node);
    // The tree's comparison of two nodes (OnCompare, else DoCompare).
    int CompareNodes(THSTreeNode* Node1, THSTreeNode* Node2, intptr_t Data);
    virtual void DrawNodeCheckBox(THSTreeNode* Node, const RECT& R);
    virtual void DrawNodeStateImage(THSTreeNode* Node, const RECT& R);
    virtual void DrawNodeImage(THSTreeNode* Node, const RECT& R);
    // The system's check box size (from its check box bitmap).
    static SIZE CheckBoxSize();
    // The cached height of a font shared by all trees of the program.
    static int CachedFontHeight(TFont& Font);

    void WndProc(TMessage& Message) override;

protected:
    friend class THSTreeNode;
    friend class THSTreeNodes;
    friend class THSTreeToolTip;
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void HandleDestroyed() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool WantsKey(const MSG& Msg) override;
    void FontChanged() override;
    void ColorChanged() override;

    // Hooks and event triggers.
    virtual bool CanChange(THSTreeNode* Node);
    virtual bool CanCollapse(THSTreeNode* Node);
    virtual bool CanEdit(THSTreeNode* Node);
    virtual bool CanExpand(THSTreeNode* Node);
    virtual void Change(THSTreeNode* Node);
    virtual void DoCollapsed(THSTreeNode* Node);
    virtual void DoExpanded(THSTreeNode* Node);
    virtual void DoDeletion(THSTreeNode* Node);
    virtual void DoStateChanging(THSTreeNode* Node, TCheckBoxState& NewState);
    virtual void DoStateChanged(THSTreeNode* Node);
    virtual void DoCheckClick(THSTreeNode* Node);
    virtual void DoEdit(THSTreeNode* Node, std::string& S);
    virtual void DoSelectionChanged();
    virtual void SelectionChanged();
    virtual void DoAfterInsert(THSTreeNode* Node);
    virtual void DoAfterEditing(THSTreeNode* Node, bool Cancelled);
    virtual int DoCompare(THSTreeNode* Node1, THSTreeNode* Node2);
    // Fills a node's children on demand; empty here.
    virtual void DoExpandNode(THSTreeNode* Node);
    virtual void DoValidateEditText(THSTreeNode* Node, std::string& S, THSValidateCode& Code);
    virtual void DoGetEditorClass(THSTreeNode* Node, TClass& EditorClass);
    virtual void DoGetImageIndex(THSTreeNode* Node);
    virtual void DoGetSelectedIndex(THSTreeNode* Node);
    virtual void DoRightClickNode(THSTreeNode* Node, TRightClickAction& Action);
    virtual THSHitTests GetAnotherHitTest(POINT P, const TNodeDispInfo& Info);
    virtual TClass GetEditorClass(THSTreeNode* Node);
    virtual TWinControl* GetEditor(TClass EditorClass);
    TWinControl* GetNodeEditor(THSTreeNode* Node);
    virtual std::string GetTextForEditor(THSTreeNode* Node);
    virtual void CancelEdit() {}
    virtual void Edit(THSTreeNode* Node, const std::string& S);
    virtual void MakeEditNodeVisible(THSTreeNode* Node);
    virtual void SetEditorRectAndText(THSTreeNode* Node);
    virtual void NodeSelectionChanged(THSTreeNode* Node);
    virtual void MultiSelectChanged() {}
    virtual void OnColorChanged();
    virtual void OnFontChanged();
    virtual void OnEscapeKey();
    virtual void OnTimer(int TimerId);
    virtual void ProcessScrollTimer();
    virtual void UpdateCursorAt(int X, int Y);
    virtual void UpdateHotTrack();
    virtual void UpdateToolTip();
    virtual bool AllowShowToolTip();
    virtual void TryEditNode();
    virtual void BeforeScrollUpdate() {}
    virtual void AfterScrollUpdate() {}
    virtual void BeforeSetTopItem() {}
    virtual void AfterSetTopItem() {}
    virtual void BeforeUpdateScrollBars() {}
    virtual void AfterUpdateScrollBars() {}
    virtual void DoCancelMode();
    virtual THSTreeNode* GetNewTopItem(THSTreeNode* Node);
    virtual THSTreeNode* CreateRootNode();
    virtual void DoStartDrag();
    virtual void DoEndDrag(bool Dropped);

private:
    friend class THSTreeSimpleEditor;
    friend class THSTreeMemoEditor;
    // Structure and scrolling.
    void InvalidateVisibleIndexCache() { FTopIndexValid = false; }
    int TopIndex();
    void SetTopItemInternal(THSTreeNode* Node, bool ByScroll);
    void TopItemChanged();
    void UpdateScroll(bool Horizontal, bool Vertical);
    void ProcessHScroll(int NewPos);
    void ScrollAbs(int DX, int DY);
    void MakeVisibleVert(THSTreeNode* Node);
    void MakeVisibleHorz(THSTreeNode* Node);
    void WMVScroll(int Code);
    void WMHScroll(int Code);
    void Paint(HDC DC, const RECT& R);
    void DrawFocusAndDropMarks();
    void ProcessShiftSelect(THSTreeNode* Node);
    void SetSelectedKey(THSTreeNode* Node);
    void QuickSearch(char C);
    void StartTimer(int Id, int Milliseconds);
    void StopTimer(int Id);
    bool TimerRunning(int Id) const { return (FTimers & (1u << Id)) != 0; }
    void DoEndUpdate();
    void NodeDeleted(THSTreeNode* Node, THSTreeNode* Neighbour, THSTreeNode* DeletingParent);
    TCanvas& MeasureCanvas(TFont& Font);
    int EditorHeight(THSTreeNode* Node, TFont& Font);
    int EditorWidth(THSTreeNode* Node, TFont& Font);
    void ApplyScrollBarsStyle();
    void UpdateBorder();
    void RestartTimer(int Id, int Milliseconds);
    void SetVertPosition();
    void MouseSelectUpdate(THSTreeNode* Node);
    void DrawFocusMark();
    void RepaintSelection();
    void ReleaseMouse();
    void DoDblClick(int X, int Y, TShiftState Shift);
    int ContentTopOfTopItem();
    void DragOverAt(int X, int Y);
    void FillDragImage();
    void SetKeyboardHook();
    void RemoveKeyboardHook();
    static LRESULT CALLBACK DragKeyboardHook(int Code, WPARAM WParam, LPARAM LParam);
    void WriteNode(TStream& Stream, THSTreeNode* Node);
    bool TreeHasFocus();
    void PrepareLinePens();
    void DrawDropMark();
    void HighlightNode(THSTreeNode* Node);
    void UnHighlightNode();
    void MouseSelectBegin(int X, int Y);
    void MouseSelectProcess(int X, int Y);
    void MouseSelectCancel();
    void PaintSelectFrame();
    void CreateToolTips();
    void UpdateDropTarget(int X, int Y);
    void FinishDrag(bool Drop, int X, int Y);
    void RemoveFromSelection(THSTreeNode* Node);
    void AddToSelection(THSTreeNode* Node);
    void DMHide();
    void SetNodeSelectedFlag(THSTreeNode* Node, bool Value);
    void ClearWidthCaches(THSTreeNode* From);
    void ReadNodeList(TStream& Stream, THSTreeNode* Parent, bool Apply, int Depth);

    std::unique_ptr<THSCanvas> FCanvas;
    HDC FMeasureDC = nullptr;
    std::unique_ptr<TCanvas> FMeasureCanvas;
    bool FUpdatingScroll = false;
    bool FPainting = false;
    bool FTrackingLeave = false;
    bool FHandCursor = false;
    bool FDragAccepted = false;
    std::unique_ptr<TImageList> FDragImages;
    bool FDragImageShown = false;
    int FDragImageHidden = 0;
    bool FReleasingCapture = false;
    std::unique_ptr<THSTreeNodes> FItems;
    std::unique_ptr<THSTreePrintOptions> FPrintOptions;
    THSTreeNode* FRoot = nullptr;
    THSTreeNodeClass FBaseNodeClass;
    THSTreeNodeClass FNodeClass;
    THSTreeNode* FTopItem = nullptr;
    int FTopIndex = 0;
    bool FTopIndexValid = false;
    THSTreeNode* FFocused = nullptr;
    THSTreeNode* FWaitSelect = nullptr;
    THSTreeNode* FWaitVisible = nullptr;
    int FLockCount = 0;
    int FSortLock = 0;
    bool FNeedRecalc = false;
    std::vector<THSTreeNode*> FSelections;
    THSTreeNode* FAnchor = nullptr;
    THSTreeNode* FHotNode = nullptr;
    THSTreeNode* FDropTarget = nullptr;
    THSTreeNode* FDropNode = nullptr;
    THSTreeNode* FRightClickNode = nullptr;
    bool FPrintAll = false; // every node counts as shown (printing all)
    bool FPrinting = false; // drawing a printed page
    int FHorzOffset = 0;
    int FScreenHorzOffset = 0; // the screen's offset while printing moves FHorzOffset
    int FScrolledX = 0, FScrolledY = 0;
    bool FVScrollShown = false, FHScrollShown = false;
    int FSelectionHold = 0;
    bool FSelectionPending = false;
    // While one lives, selection changes are collected; the last one to go sends a single
    // notification if anything changed meanwhile.
    struct TSelectionHold {
        THSCustomTreeView* T;
        explicit TSelectionHold(THSCustomTreeView* Tree) : T(Tree) { ++T->FSelectionHold; }
        ~TSelectionHold();
        TSelectionHold(const TSelectionHold&) = delete;
        TSelectionHold& operator=(const TSelectionHold&) = delete;
    };
    uint32_t FTimers = 0;
    int FDownPropagation = 0;
    bool FUpPropagation = false;
    // Interaction.
    bool FHadFocus = false;
    POINT FDownPoint{0, 0};
    THSTreeNode* FDownNode = nullptr;
    THSTreeNode* FPrevSelected = nullptr;
    bool FDragStartFlag = false;
    bool FDragging = false;
    bool FDragOver = false;
    THSTreeNode* FLastDropTarget = nullptr;
    THSTreeNode* FDragExpandNode = nullptr;
    bool FSelectFrame = false;
    bool FFrameShown = false;
    POINT FFrameStart{0, 0}, FFrameEnd{0, 0};
    std::string FSearchText;
    DWORD FLastSearchTick = 0;
    int FWheelRemainder = 0;
    // Editing.
    bool FEditing = false;
    THSTreeNode* FEditNode = nullptr;
    TWinControl* FEditor = nullptr;
    std::vector<TWinControl*> FEditors;
    bool FEndingEdit = false;
    THSTreeToolTip* FToolTip = nullptr;
    // Properties.
    TColor FActiveSelectedColor = clHighlight;
    TColor FActiveSelectedFontColor = clHighlightText;
    bool FAllowMultiDrag = false;
    bool FAutoCheck = false;
    bool FAutoExpand = false;
    bool FAutoScroll = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    int FChangeDelay = 0;
    THSCheckBoxesType FCheckBoxesType = ctNone;
    int FDragExpandDelay = 100;
    TDragMode FDragMode = dmManual;
    THSDropTargetKind FDropTargetKind = tkStandard;
    bool FExpandOnDrag = true;
    bool FFlatBorder = false;
    bool FFlatChecks = false;
    bool FHideSelection = true;
    bool FHotTrack = false;
    TColor FInactiveSelectedColor = clBtnFace;
    TColor FInactiveSelectedFontColor = clBtnText;
    int FIndent = 19;
    TImageList* FImages = nullptr;
    TImageList* FStateImages = nullptr;
    TColor FLinesColor = clBtnShadow;
    bool FMultiLineNodes = false;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FRightClickSelect = false;
    bool FRowSelect = false;
    THSRowSelectType FRowSelectType = rtPartial;
    TScrollBarStyle FScrollBarsStyle = ssRegular;
    bool FSelectOnlySiblings = false;
    bool FShowButtons = true;
    bool FShowLines = true;
    bool FShowRoot = true;
    THSSortOrder FSortOrder = soAscending;
    TSortType FSortType = stNone;
    bool FToolTips = true;
};

// The tree with its properties published.
class THSTree : public THSCustomTreeView {
    ZEL_DECLARE_CLASS(THSTree)
public:
    explicit THSTree(TComponent* AOwner) : THSCustomTreeView(AOwner) {}
};

// Registers THSTree, THSTreeNode and TFont by name, for form tables and the node stream
// (idempotent; also done by every tree's constructor).
void RegisterHSTreeClasses();

// The string coding of the tree stream: a length byte, or 0xFF and a 32-bit length, then the bytes.
std::string ReadStrFromStream(TStream& Stream);
void WriteStrToStream(TStream& Stream, const std::string& Text);
