#include "framework/core/Collection.h"

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCollectionItem, TPersistent, {})
ZEL_DEFINE_CLASS(TCollection, TPersistent, {})
ZEL_DEFINE_CLASS(TOwnedCollection, TCollection, {})

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection)
        return -1;
    auto& l = FCollection->FItems;
    return static_cast<int>(std::find(l.begin(), l.end(), this) - l.begin());
}

void TCollectionItem::SetIndex(int Value) {
    int cur = Index();
    if (cur < 0 || cur == Value)
        return;
    auto& l = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(l.size()))
        throw EListError(Format(SListIndexError, Value));
    l.erase(l.begin() + cur);
    l.insert(l.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::GetDisplayName() const {
    return ClassName();
}
void TCollectionItem::SetDisplayName(const std::string&) {
    Changed(false);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

std::string TCollectionItem::GetNamePath() const {
    if (!FCollection)
        return ClassName();
    return Format("%s[%d]", FCollection->GetNamePath().c_str(), Index());
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
    FUpdateCount = 1; // no Update calls while tearing down
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    if (!FItemClass || !FItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EInvalidCast(SInvalidCast);
    TObject* obj = FItemClass->CreateItem(this);
    auto* item = static_cast<TCollectionItem*>(obj);
    if (!item)
        throw EInvalidCast(SInvalidCast);
    item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count())
        throw EListError(Format(SListIndexError, Index));
    TCollectionItem* item;
    {
        auto Update = UpdateBracket(*this);
        item = Add();
        FItems.pop_back();
        FItems.insert(FItems.begin() + Index, item);
    }
    return item;
}

void TCollection::Delete(int Index) {
    delete Items(Index);
}

void TCollection::Clear() {
    if (FItems.empty())
        return;
    auto Update = UpdateBracket(*this);
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, Index));
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (auto* i : FItems)
        if (i->FID == ID)
            return i;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCollection*>(Source)) {
        if (src == this)
            return;
        {
            auto Update = UpdateBracket(*this);
            Clear();
            for (auto* item : src->FItems)
                Add()->Assign(item);
        }
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

std::string TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (!owner)
        return ClassName();
    return owner->GetNamePath();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Notify(TCollectionItem*, bool) {}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, true);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, false);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}
