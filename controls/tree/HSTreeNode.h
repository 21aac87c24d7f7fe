#pragma once
// The node model of the owner-drawn tree: nodes linked first-child / sibling under a hidden root
// node that the tree owns, with counts kept incrementally so that absolute and visible indexes,
// item lookup and display-order walks stay cheap for trees of many thousand nodes.
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/Object.h"
#include "framework/core/Streams.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/StdCtrls.h"

class THSCustomTreeView;
class THSTreeNodes;
class TCanvas;

enum TNodeStateItem : uint8_t {
    nsAllowGrayed,
    nsCut,
    nsDeleting,
    nsDropTarget,
    nsExpanded,
    nsFocused,
    nsHasChildren,
    nsReadOnly,
    nsSelected,
    nsWidthCalculated,
    nsHeightCalculated,
    nsParentColor,
    nsParentFont
};
using TNodeStates = uint16_t; // bit n = TNodeStateItem n

enum THSNodeType : uint8_t { ntNone, ntCheckBox, ntRadioButton };

enum TNodePart : uint8_t { npLines, npButton, npCheckBox, npStateImage, npImage, npText };
using TNodeParts = uint8_t; // bit n = TNodePart n
constexpr TNodeParts NodePart(TNodePart P) {
    return static_cast<TNodeParts>(1u << P);
}
constexpr TNodeParts AllNodeParts = 0x3F;

enum THSSortOrder : uint8_t { soAscending, soDescending };
enum TSortType : uint8_t { stNone, stData, stText, stBoth };
enum TNodeAttachMode : uint8_t { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class THSTreeNode;
using THSTreeNodeClass = TClass; // a class that inherits from THSTreeNode
// Compare function of CustomSort: below 0, 0 or above 0.
using TTVCompare = std::function<int(THSTreeNode* Node1, THSTreeNode* Node2, intptr_t Data)>;

// The six part rectangles of a node row, in TNodePart order, in client coordinates.
struct TNodeDispInfo {
    RECT Parts[6];
    RECT NodeRect; // the whole row from the lines area to the text's right edge
};

class THSTreeNode : public TPersistent {
    ZEL_DECLARE_CLASS(THSTreeNode)
public:
    // Node classes are made by class (streams, OnCreateNode), so a derived class needs a
    // constructor callable without arguments; the tree attaches the node to its Items.
    explicit THSTreeNode(THSTreeNodes* AOwner = nullptr);
    ~THSTreeNode() override;

    void Assign(TPersistent* Source) override;

    // --- published properties
    bool AllowGrayed() const { return HasState(nsAllowGrayed); }
    void SetAllowGrayed(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Expanded() const { return HasState(nsExpanded); }
    void SetExpanded(bool Value);
    // The node's own font, made from the tree's font on first use.
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool HasChildren() const { return HasState(nsHasChildren); }
    void SetHasChildren(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    THSNodeType NodeType() const { return FNodeType; }
    void SetNodeType(THSNodeType Value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    bool ReadOnly() const { return HasState(nsReadOnly); }
    void SetReadOnly(bool Value);
    bool ParentColor() const { return HasState(nsParentColor); }
    void SetParentColor(bool Value);
    bool ParentFont() const { return HasState(nsParentFont); }
    void SetParentFont(bool Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);

    // --- public
    void* Data() const { return FData; }
    void SetData(void* Value);
    THSTreeNode* Parent() const { return FParent; }
    int Count() const { return FCount; }
    // All descendants.
    int ItemCount() const { return FItemCount; }
    // Raises EListError (the list-index error) outside 0 .. Count - 1.
    THSTreeNode* Item(int Index) const;
    int IndexOf(const THSTreeNode* Child) const;
    int Index() const;
    int Level() const;
    int AbsoluteIndex() const;
    int VisibleIndex() const;
    bool Selected() const { return HasState(nsSelected); }
    void SetSelected(bool Value);
    bool Focused() const { return HasState(nsFocused); }
    void SetFocused(bool Value);
    bool Cut() const { return HasState(nsCut); }
    void SetCut(bool Value);
    bool DropTarget() const { return HasState(nsDropTarget); }
    void SetDropTarget(bool Value);
    bool Deleting() const { return HasState(nsDeleting); }
    bool Checked() const { return FState == TCheckBoxState::cbChecked; }
    void SetChecked(bool Value);
    bool IsVisible() const;
    THSCustomTreeView* TreeView() const { return FTreeView; }
    THSTreeNodes* Owner() const { return FOwner; }
    TNodeStates States() const { return FStates; }
    bool HasState(TNodeStateItem S) const { return (FStates & (1u << S)) != 0; }
    THSTreeNode* CheckedRadio() const { return FCheckedRadio; }
    // Rows this node takes in its link parent's list when shown: itself, and its shown
    // descendants when expanded.
    int ShownRows() const { return 1 + (Expanded() ? FExpandedCount : 0); }
    void SetFontColor(TColor Value);
    void SetFontStyle(TFontStyles Value);

    // --- navigation
    THSTreeNode* GetFirstChild() const { return FFirstChild; }
    THSTreeNode* GetLastChild() const { return FLastChild; }
    THSTreeNode* GetNextSibling() const { return FNextSibling; }
    THSTreeNode* GetPrevSibling() const { return FPrevSibling; }
    THSTreeNode* GetNextChild(THSTreeNode* Child) const { return Child ? Child->FNextSibling : nullptr; }
    THSTreeNode* GetPrevChild(THSTreeNode* Child) const { return Child ? Child->FPrevSibling : nullptr; }
    THSTreeNode* GetNext() const;
    THSTreeNode* GetPrev() const;
    THSTreeNode* GetNextVisible() const;
    THSTreeNode* GetPrevVisible() const;
    bool HasAsParent(const THSTreeNode* Node) const;

    // --- structure
    // Frees the node and its subtree.
    void Delete();
    void DeleteChildren();
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void EnsureExpanded();
    void MakeVisible();
    virtual void MoveTo(THSTreeNode* Destination, TNodeAttachMode Mode, bool AExpand = false);
    bool AlphaSort();
    virtual bool CustomSort(const TTVCompare& Compare, intptr_t Data);
    virtual void ReSortNode();

    // --- check boxes
    void SwitchToNextState();
    void UpdateAutoCheck();

    // --- editing
    void EditText();
    void EndEdit(bool Cancel);

    // --- geometry and painting
    virtual RECT DisplayRect(bool TextOnly);
    virtual RECT DisplayRectPart(TNodePart First, TNodePart Last, bool Smart = false);
    // The part rectangles at the node's position; false when it has none (hidden, or no window).
    virtual bool GetNodeDispInfo(TNodeDispInfo& Info);
    virtual void GetNodeDispInfoByPos(int X, int Y, TNodeDispInfo& Info);
    virtual int GetHeight();
    virtual int GetTextWidth();
    virtual int GetCheckBoxWidth();
    virtual int GetImageWidth();
    virtual int GetStateImageWidth();
    int GetIndent() const;
    // Side of the expand button square for the node's height.
    int GetButtonSize();
    virtual void DrawCheckBox(const RECT& R);
    virtual void DrawStateImage(const RECT& R);
    virtual void DrawImage(const RECT& R);
    void Invalidate(TNodeParts Parts);
    void InvalidateBelow(bool FromHere);
    void InvalidateToRight(TNodePart Part);
    void InvalidateChild(TNodeParts Parts);
    // The font used for drawing: the node's own or the tree's.
    TFont& DrawFont() const;
    // The widest row among the node and its shown descendants (the root's: the scroll range).
    int WidestWidth() const { return FWidestWidth; }
    THSTreeNode* WidestNode() const { return FWidestNode; }

    // A derived node class stores extra data after its properties; both must consume the same bytes.
    virtual void WriteCustomData(TStream& Stream);
    virtual void ReadCustomData(TStream& Stream);

protected:
    virtual std::string GetText() const { return FText; }
    virtual void SetTextInternal(const std::string& Value);

private:
    friend class THSTreeNodes;
    friend class THSCustomTreeView;
    void AttachTo(THSTreeNodes* AOwner);
    void SetStateBit(TNodeStateItem S, bool On);
    void LinkInto(THSTreeNode* ListOwner, THSTreeNode* Before); // Before null: append
    void Unlink();
    // Closes the gap in ListOwner's child chain; leaves this node's own links as they were.
    void TakeOutOfSiblings(THSTreeNode* ListOwner);
    void AddCounts(THSTreeNode* ListOwner);
    void SubtractCounts(THSTreeNode* ListOwner);
    int CalcExpandedCount() const;
    void PropagateExpandedDelta(int Delta);
    void CalcMaxWidthInfo();
    void GrowWidth(THSTreeNode* Node, int Width);
    void ShrinkWidth(THSTreeNode* Node);
    void UpdateWidth();
    void WidthChanged();
    void UpdateParentButton();
    bool Locked() const;
    bool AllowPaint() const;
    void SetCheckStateInternal(TCheckBoxState Value);

    int FHeight = 0;
    int FTextWidth = 0;
    THSTreeNode* FWidestNode = nullptr;
    int FWidestWidth = 0;
    int FExpandedCount = 0;
    THSTreeNode* FFirstChild = nullptr;
    THSTreeNode* FLastChild = nullptr;
    int FItemCount = 0;
    int FCount = 0;
    TColor FColor = clWindow;
    void* FData = nullptr;
    mutable std::unique_ptr<TFont> FFont;
    int FImageIndex = 0;
    THSTreeNode* FNextSibling = nullptr;
    THSTreeNode* FPrevSibling = nullptr;
    int FOverlayIndex = -1;
    THSTreeNodes* FOwner = nullptr;
    THSTreeNode* FParent = nullptr;
    THSTreeNode* FCheckedRadio = nullptr;
    int FSelectedIndex = 0;
    int FStateIndex = -1;
    THSCustomTreeView* FTreeView = nullptr;
    TNodeStates FStates = 0;
    THSNodeType FNodeType = ntNone;
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    THSTreeNode* FLinkParent = nullptr;
    std::string FText;
};

// The tree's Items: a view over the nodes under the hidden root, indexed in display order.
class THSTreeNodes : public TPersistent {
    ZEL_DECLARE_CLASS(THSTreeNodes)
public:
    explicit THSTreeNodes(THSCustomTreeView* AOwner);
    ~THSTreeNodes() override;

    void Assign(TPersistent* Source) override;
    THSCustomTreeView* Owner() const { return FOwner; }

    // All nodes, expanded or not.
    int Count() const;
    // The Index-th node in display order over all nodes; EInvalidOperation "Index out of bounds (%d)".
    THSTreeNode* Item(int Index);
    THSTreeNode* operator[](int Index) { return Item(Index); }
    THSTreeNode* GetFirstNode() const;
    THSTreeNode* GetLastNode() const;
    THSTreeNode* GetLastVisibleNode() const;
    int VisibleCount() const;
    THSTreeNode* GetVisibleItem(int Index);

    THSTreeNode* Add(THSTreeNode* Node, const std::string& Text);
    THSTreeNode* AddFirst(THSTreeNode* Node, const std::string& Text);
    THSTreeNode* AddChild(THSTreeNode* Node, const std::string& Text);
    THSTreeNode* AddChildFirst(THSTreeNode* Node, const std::string& Text);
    THSTreeNode* Insert(THSTreeNode* Node, const std::string& Text);
    THSTreeNode* AddObject(THSTreeNode* Node, const std::string& Text, void* Ptr);
    THSTreeNode* AddObjectFirst(THSTreeNode* Node, const std::string& Text, void* Ptr);
    THSTreeNode* AddChildObject(THSTreeNode* Node, const std::string& Text, void* Ptr);
    THSTreeNode* AddChildObjectFirst(THSTreeNode* Node, const std::string& Text, void* Ptr);
    THSTreeNode* InsertObject(THSTreeNode* Node, const std::string& Text, void* Ptr);
    virtual THSTreeNode* InternalAdd(THSTreeNode* Node, const std::string& Text, void* Ptr,
                                     TNodeAttachMode Mode);

    virtual void Clear();
    virtual void Delete(THSTreeNode* Node);
    void BeginUpdate();
    void EndUpdate();
    // Change the counter alone, without the work EndUpdate does.
    void BeginLock();
    void EndLock();
    bool Locked() const;

    void ClearCache() {
        FCacheNode = nullptr;
        FCacheIndex = -1;
    }

private:
    friend class THSTreeNode;
    THSCustomTreeView* FOwner;
    THSTreeNode* FCacheNode = nullptr;
    int FCacheIndex = -1;
};

// RAII bracket for BeginUpdate / EndUpdate.
class THSTreeUpdateGuard {
public:
    explicit THSTreeUpdateGuard(THSTreeNodes& Nodes) : FNodes(Nodes) { FNodes.BeginUpdate(); }
    ~THSTreeUpdateGuard() { FNodes.EndUpdate(); }
    THSTreeUpdateGuard(const THSTreeUpdateGuard&) = delete;
    THSTreeUpdateGuard& operator=(const THSTreeUpdateGuard&) = delete;

private:
    THSTreeNodes& FNodes;
};
