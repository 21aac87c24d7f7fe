#pragma once
// The adapter between an object and a tree-shaped inspector: the inspector asks the source for
// items, named by integer identifiers, and for what can be done with them. Concrete sources are
// found by the class of the object they show (RegisterTreeSource).

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Component.h"

class TControl;
class TImageList;

// Where an added or moved item goes relative to the target item.
enum class TSourceAttachMode : uint8_t { saAdd, saAddFirst, saAddChild, saAddChildFirst, saInsert };

// One item as the inspector shows it. A root item has ParentId -1.
struct TNodeRec {
    int32_t Id = -1;
    int32_t ParentId = -1;
    std::string Caption;
    int32_t ImageIndex = -1;
    int32_t StateIndex = -1;
    bool HasChildren = false;
};

class TTreeSource : public TComponent {
    ZEL_DECLARE_CLASS(TTreeSource)
public:
    using TComponent::TComponent;

    virtual void SetSelectedObject(TPersistent* Value) = 0;
    virtual TPersistent* GetSelectedObject() = 0;
    // The inspector control the source feeds.
    virtual void SetTreeLink(TComponent* Value) = 0;
    virtual TComponent* GetTreeLink() = 0;
    virtual void ObjectInserted(TPersistent* Obj) = 0;
    virtual TImageList* GetLargeImages() = 0;
    virtual TImageList* GetSmallImages() = 0;
    virtual TImageList* GetStateImages() = 0;
    virtual void SetLargeImages(TImageList* Value) = 0;
    virtual void SetSmallImages(TImageList* Value) = 0;
    virtual void SetStateImages(TImageList* Value) = 0;

    // Calls Proc once per item, parents before their children.
    virtual void GetItems(const std::function<void(const TNodeRec& Node)>& Proc) = 0;
    virtual void SetCaption(int32_t Id, const std::string& Caption) = 0;
    // A new item placed relative to Target; its identifier.
    virtual int32_t Add(int32_t Target, TSourceAttachMode Mode) = 0;
    virtual void Clear() = 0;
    virtual void Delete(int32_t Id) = 0;
    virtual bool CanMove(int32_t Id, int32_t Target, TSourceAttachMode Mode) = 0;
    virtual void MoveTo(int32_t Id, int32_t Target, TSourceAttachMode Mode) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;

    virtual TControl* GetInspectorControl() = 0;
    // Whether the inspector's action (one of the source's own action numbers) applies to the item.
    virtual bool ActionAllowed(int32_t Id, int32_t Action) = 0;
    virtual std::string GetDisplayName(int32_t Id) = 0;
    // Columns of attributes the inspector shows beside each item.
    virtual int32_t GetAttrCount() = 0;
    virtual std::string GetAttrName(int32_t Index) = 0;
    virtual std::string GetAttrValue(int32_t Id, int32_t Index) = 0;
    virtual std::string GetStatusLine(int32_t Id) = 0;
    // Whether the selected object can still be shown (it may have gone).
    virtual bool ValidSource() = 0;
    virtual void Edit(int32_t Id) = 0;
    virtual int32_t GetSortType() = 0;
    virtual bool HasChild(int32_t Id) = 0;
    virtual int32_t GetParentId(int32_t Id) = 0;
};
