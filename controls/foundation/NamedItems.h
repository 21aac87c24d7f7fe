#pragma once
// Named items in a collection that follows its owner's lifetime (code templates, text styles,
// gutter images and verb lists stand on it).

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Streams.h"

class THSNamedItem : public TCollectionItem {
    ZEL_DECLARE_CLASS(THSNamedItem)
public:
    THSNamedItem() = default;
    explicit THSNamedItem(TCollection* Collection) : TCollectionItem(Collection) {}

    // Another named item: every published property is copied.
    void Assign(TPersistent* Source) override;
    // The name, or the item's default display name when the name is empty.
    std::string GetDisplayName() const override;
    void SetDisplayName(const std::string& Value) override;
    // Reports this item (only) as changed to its collection; sub-objects use it as their change event.
    virtual void OnChange(TObject* Sender);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    std::string GetNameProp() const { return FName; }

private:
    std::string FName;
};

using THSItemUpdateEvent = std::function<void(TObject* Sender, TCollectionItem* Item)>;

class TCustomHSNamedItems : public TCollection {
    ZEL_DECLARE_CLASS(TCustomHSNamedItems)
public:
    TCustomHSNamedItems(TComponent* AOwner, TClass ItemClass);
    ~TCustomHSNamedItems() override;

    // The owner; nil once the owner has been destroyed.
    TPersistent* GetOwner() const override { return FOwner; }
    TComponent* Owner() const { return FOwner; }
    // The first item whose name equals Name ignoring case; -1 when none.
    int IndexOfName(const std::string& Name) const;
    int IndexOf(const TCollectionItem* Item) const;
    THSNamedItem* NamedItem(int Index) const { return static_cast<THSNamedItem*>(Items(Index)); }

    TNotifyEvent OnChange;
    THSItemUpdateEvent OnItemUpdate;

protected:
    void Update(TCollectionItem* Item) override;

private:
    void OwnerFreed(TObject* Obj);

    TComponent* FOwner;
};

// Named items that keep themselves in a file or a stream through the family's object streams:
// written in the binary form, read in either form. Reading replaces every item, or, when the
// image is bad, raises and leaves the items as they were.
class THSNamedItems : public TCustomHSNamedItems {
    ZEL_DECLARE_CLASS(THSNamedItems)
public:
    using TCustomHSNamedItems::TCustomHSNamedItems;

    void LoadFromFile(const std::string& FileName);
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void SaveToFile(const std::string& FileName);
};
