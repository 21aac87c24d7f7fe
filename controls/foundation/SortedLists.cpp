#include "controls/foundation/SortedLists.h"

#include "framework/core/List.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "controls/foundation/FoundationErrors.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCustomSortedList, TObject, {})
ZEL_DEFINE_CLASS(TSortedList, TCustomSortedList, {})
ZEL_DEFINE_CLASS(TSortedKeyList, TSortedList, {})
ZEL_DEFINE_CLASS(TSortedListEx, TSortedList, {})
ZEL_DEFINE_CLASS(TSortedKeyDataList, TSortedKeyList, {})
ZEL_DEFINE_CLASS(TFastStringList, TStringList, {})

int32_t CompareKeys(const void* A, const void* B) {
    const auto X = reinterpret_cast<intptr_t>(A);
    const auto Y = reinterpret_cast<intptr_t>(B);
    return X < Y ? -1 : (X > Y ? 1 : 0);
}

// ---- TFastList ----

int32_t TFastList::Add(void* Item) {
    FItems.push_back(Item);
    return Count() - 1;
}

void TFastList::Insert(int32_t Index, void* Item) {
    if (Index < 0 || Index > Count())
        RaiseListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
}

void TFastList::Delete(int32_t Index) {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    FItems.erase(FItems.begin() + Index);
}

void* TFastList::Get(int32_t Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TFastList::Put(int32_t Index, void* Item) {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    FItems[static_cast<size_t>(Index)] = Item;
}

int32_t TFastList::IndexOf(const void* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int32_t>(It - FItems.begin());
}

void TFastList::Clear() {
    std::vector<void*>().swap(FItems);
}

void TFastList::SetCount(int32_t N) {
    if (N < 0)
        RaiseListCountError(N);
    FItems.resize(static_cast<size_t>(N), nullptr);
}

void TFastList::SetCapacity(int32_t N) {
    if (N < Count())
        RaiseListCapacityError(N);
    if (N > Capacity()) {
        FItems.reserve(static_cast<size_t>(N));
    } else if (N < Capacity()) {
        std::vector<void*> Copy;
        Copy.reserve(static_cast<size_t>(N));
        Copy.assign(FItems.begin(), FItems.end());
        FItems.swap(Copy);
    }
}

// ---- TCustomSortedList ----

int32_t TCustomSortedList::CompareWithKey(void* Item, void* Key) {
    return CompareKeys(Item, Key);
}

int32_t TCustomSortedList::Compare(void* Item1, void* Item2) {
    return CompareKeys(Item1, Item2);
}

void TCustomSortedList::Delete(int32_t Index) {
    FList.Delete(Index);
}

template <class Cmp> bool TCustomSortedList::Bisect(Cmp&& Comparison, int32_t& Index) {
    int32_t Lo = 0;
    int32_t Hi = Count() - 1;
    bool Found = false;
    while (Lo <= Hi) {
        const int32_t Mid = (Lo + Hi) >> 1;
        const int32_t C = Comparison(FList.Items()[static_cast<size_t>(Mid)]);
        if (C < 0) {
            Lo = Mid + 1;
        } else {
            Hi = Mid - 1;
            if (C == 0) {
                Found = true;
                if (FDuplicates != sdAccept)
                    Lo = Mid;
            }
        }
    }
    Index = Lo;
    return Found;
}

bool TCustomSortedList::Find(void* Item, int32_t& Index) {
    if (!FSorted) {
        Index = FList.IndexOf(Item);
        return Index >= 0;
    }
    return Bisect([&](void* Entry) { return Compare(Entry, Item); }, Index);
}

bool TCustomSortedList::FindByKey(void* Key, int32_t& Index) {
    if (!FSorted) {
        Index = IndexOfKey(Key);
        return Index >= 0;
    }
    return Bisect([&](void* Entry) { return CompareWithKey(Entry, Key); }, Index);
}

int32_t TCustomSortedList::Add(void* Item) {
    if (!FSorted)
        return FList.Add(Item);
    int32_t Index = 0;
    if (Find(Item, Index)) {
        if (FDuplicates == sdIgnore)
            return Index;
        if (FDuplicates == sdError)
            RaiseDuplicateItemError();
    }
    FList.Insert(Index, Item);
    return Index;
}

void TCustomSortedList::Insert(int32_t Index, void* Item) {
    if (FSorted)
        Add(Item);
    else
        FList.Insert(Index, Item);
}

int32_t TCustomSortedList::IndexOf(void* Item) {
    int32_t Index = -1;
    return Find(Item, Index) ? Index : -1;
}

int32_t TCustomSortedList::IndexOfKey(void* Key) {
    if (FSorted) {
        int32_t Index = -1;
        return FindByKey(Key, Index) ? Index : -1;
    }
    for (int32_t I = 0; I < Count(); ++I)
        if (CompareWithKey(FList.Items()[static_cast<size_t>(I)], Key) == 0)
            return I;
    return -1;
}

void* TCustomSortedList::ItemByKey(void* Key) {
    const int32_t Index = IndexOfKey(Key);
    return Index >= 0 ? FList.Get(Index) : nullptr;
}

int32_t TCustomSortedList::Remove(void* Item) {
    int32_t Index = -1;
    if (!Find(Item, Index))
        return -1;
    Delete(Index);
    return Index;
}

void TCustomSortedList::Clear() {
    FList.Clear();
}

void TCustomSortedList::SetSorted(bool Value) {
    if (Value == FSorted)
        return;
    FSorted = Value;
    if (!Value)
        return;
    auto& Items = FList.Items();
    bool Ordered = true;
    for (int32_t I = Count() - 2; I >= 0 && Ordered; --I)
        if (Compare(Items[static_cast<size_t>(I)], Items[static_cast<size_t>(I) + 1]) > 0)
            Ordered = false;
    if (!Ordered)
        // A merge sort stays inside the array even when a subclass compares inconsistently.
        std::stable_sort(Items.begin(), Items.end(), [this](void* A, void* B) { return Compare(A, B) < 0; });
}

// ---- TSortedKeyList ----

int32_t TSortedKeyList::CompareWithKey(void* Item, void* Key) {
    return CompareKeys(KeyByItem(Item), Key);
}

int32_t TSortedKeyList::Compare(void* Item1, void* Item2) {
    return CompareKeys(KeyByItem(Item1), KeyByItem(Item2));
}

// ---- TSortedListEx ----

bool TSortedListEx::FindNearest(void* Item, int32_t& Index) {
    if (!Sorted()) {
        Index = FList.IndexOf(Item);
        return Index >= 0;
    }
    if (Count() == 0) {
        Index = 0;
        return false;
    }
    int32_t Lo = 0;
    int32_t Hi = Count() - 1;
    bool Found = false;
    do {
        const int32_t Mid = (Lo + Hi) >> 1;
        FLastProbe = Mid;
        const int32_t C = Compare(FList.Items()[static_cast<size_t>(Mid)], Item);
        if (C < 0) {
            Lo = Mid;
        } else {
            Hi = Mid;
            if (C == 0) {
                Found = true;
                Lo = Mid;
                break;
            }
        }
    } while (!(Hi - Lo - 1 <= 0 || Lo > Hi));
    Index = Lo;
    return Found;
}

// ---- TSortedKeyDataList ----

TSortedKeyDataList::TSortedKeyDataList(TSortedCustomDataClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TSortedKeyDataList::~TSortedKeyDataList() {
    FreeAllItems();
}

void TSortedKeyDataList::FreeAllItems() {
    for (void* P : FList.Items())
        delete static_cast<TSortedCustomData*>(P);
    FList.Clear();
}

void TSortedKeyDataList::Delete(int32_t Index) {
    auto* Item = static_cast<TSortedCustomData*>(FList.Get(Index));
    FList.Delete(Index);
    delete Item;
}

void* TSortedKeyDataList::ItemByKey(void* Key) {
    const int32_t Index = IndexOfKey(Key);
    if (Index < 0)
        return nullptr;
    auto* Data = dynamic_cast<TSortedListData*>(static_cast<TSortedCustomData*>(FList.Get(Index)));
    return Data ? Data->Data : nullptr;
}

TSortedCustomData* TSortedKeyDataList::Add(void* Key) {
    TSortedCustomData* Item = FItemClass(Key);
    int32_t Index = 0;
    const int32_t Before = Count();
    {
        TFailureGuard Release([Item] { delete Item; });
        Index = TSortedKeyList::Add(Item);
    }
    // An ignored duplicate keeps the entry that was there: the new item is not held by anyone.
    if (Count() == Before) {
        delete Item;
        return static_cast<TSortedCustomData*>(FList.Get(Index));
    }
    return Item;
}

// ---- free functions ----

void ClearSortedList(TCustomSortedList* List) {
    if (!List)
        return;
    const bool Owned = List->OwnsItems();
    while (List->Count() > 0) {
        auto* Item = static_cast<TObject*>(List->Get(0));
        List->Delete(0);
        if (!Owned)
            delete Item;
    }
}

void HSQuickSort(int32_t L, int32_t R, const THSCompareProc& Compare, const THSExchangeProc& Exchange) {
    QuickSortIndexes(L, R, Compare, Exchange);
}

// ---- TFastStringList ----

bool TFastStringList::Find(const std::string& S, int& Index) const {
    int Lo = 0;
    int Hi = Count() - 1;
    bool Found = false;
    while (Lo <= Hi) {
        const int Mid = (Lo + Hi) >> 1;
        const int C = CompareText(Get(Mid), S);
        if (C < 0) {
            Lo = Mid + 1;
        } else {
            Hi = Mid - 1;
            if (C == 0) {
                Found = true;
                if (Duplicates() != dupAccept)
                    Lo = Mid;
            }
        }
    }
    Index = Lo;
    return Found;
}

void TFastStringList::Sort() {
    if (Count() < 2)
        return;
    TNotifyEvent Change = std::move(OnChange);
    TNotifyEvent Changing = std::move(OnChanging);
    OnChange = nullptr;
    OnChanging = nullptr;
    {
        TScopeGuard Restore([&] {
            OnChange = std::move(Change);
            OnChanging = std::move(Changing);
        });
        HSQuickSort(
            0, Count() - 1,
            [this](int32_t I, int32_t J) { return static_cast<int32_t>(CompareText(Get(I), Get(J))); },
            [this](int32_t I, int32_t J) { Exchange(I, J); });
    }
}
