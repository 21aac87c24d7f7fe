#pragma once
// TCollection: an ordered, owning list of TCollectionItem objects of one item class.

#include <string>
#include <vector>

#include "framework/core/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
    ZEL_DECLARE_CLASS(TCollectionItem)
public:
    // With a collection, the item appends itself to it.
    explicit TCollectionItem(TCollection* Collection = nullptr);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual std::string GetDisplayName() const; // the class name unless a subclass says otherwise
    virtual void SetDisplayName(const std::string& Value);
    TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

protected:
    // Reports a change of this item (or of all items) to the collection.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    ZEL_DECLARE_CLASS(TCollection)
public:
    explicit TCollection(TClass ItemClass);
    // Frees the items.
    ~TCollection() override;

    // Creates an item of the item class through its virtual constructor.
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index); // frees the item; EListError on a bad index
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    TCollectionItem* FindItemID(int ID) const;
    TClass ItemClass() const { return FItemClass; }
    void Assign(TPersistent* Source) override;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TPersistent* GetOwner() const override { return nullptr; }
    std::string GetNamePath() const override;

protected:
    friend class TCollectionItem;
    // Called with the changed item, or nullptr when several items changed (and at EndUpdate).
    virtual void Update(TCollectionItem* Item);
    void Changed();
    virtual void Notify(TCollectionItem* Item, bool Added);

private:
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection that names its owner (for name paths and the text form).
class TOwnedCollection : public TCollection {
    ZEL_DECLARE_CLASS(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
