#pragma once
// Pointer lists kept in order by an overridable comparison and searched by bisection.

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

// How a sorted list treats an entry equal to one it already holds.
enum TSortedDuplicates : uint8_t { sdIgnore = 0, sdAccept = 1, sdError = 2 };

// Three-way comparison of two pointer-sized values taken as signed integers.
// Subtracting them would overflow for addresses and large keys.
int32_t CompareKeys(const void* A, const void* B);

// Plain pointer storage; index checks raise the list-index error of the framework.
class TFastList {
public:
    int32_t Add(void* Item);
    void Insert(int32_t Index, void* Item);
    void Delete(int32_t Index);
    void* Get(int32_t Index) const;
    void Put(int32_t Index, void* Item);
    int32_t IndexOf(const void* Item) const;
    void Clear();
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    void SetCount(int32_t N);
    int32_t Capacity() const { return static_cast<int32_t>(FItems.capacity()); }
    void SetCapacity(int32_t N);
    std::vector<void*>& Items() { return FItems; }
    const std::vector<void*>& Items() const { return FItems; }

private:
    std::vector<void*> FItems;
};

class TCustomSortedList : public TObject {
    ZEL_DECLARE_CLASS(TCustomSortedList)
public:
    TCustomSortedList() = default;
    ~TCustomSortedList() override = default;

    virtual int32_t CompareWithKey(void* Item, void* Key);
    virtual int32_t Compare(void* Item1, void* Item2);
    // Subclasses that own their entries free them here.
    virtual void Delete(int32_t Index);
    // True when Delete frees the entry itself (the free functions must not free it again).
    virtual bool OwnsItems() const { return false; }

    int32_t Add(void* Item);
    // A sorted list places Item by order and ignores Index.
    void Insert(int32_t Index, void* Item);
    bool Find(void* Item, int32_t& Index);
    bool FindByKey(void* Key, int32_t& Index);
    int32_t IndexOf(void* Item);
    int32_t IndexOfKey(void* Key);
    virtual void* ItemByKey(void* Key);
    int32_t Remove(void* Item);
    // Drops every entry without calling Delete.
    void Clear();

    void* Get(int32_t Index) const { return FList.Get(Index); }
    void* operator[](int32_t Index) const { return FList.Get(Index); }
    int32_t Count() const { return FList.Count(); }
    void SetCount(int32_t N) { FList.SetCount(N); }
    int32_t Capacity() const { return FList.Capacity(); }
    void SetCapacity(int32_t N) { FList.SetCapacity(N); }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TSortedDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TSortedDuplicates Value) { FDuplicates = Value; }

protected:
    TFastList FList;

private:
    template <class Cmp> bool Bisect(Cmp&& Comparison, int32_t& Index);

    TSortedDuplicates FDuplicates = sdIgnore;
    bool FSorted = true;
};

class TSortedList : public TCustomSortedList {
    ZEL_DECLARE_CLASS(TSortedList)
};

class TSortedKeyList : public TSortedList {
    ZEL_DECLARE_CLASS(TSortedKeyList)
public:
    virtual void* KeyByItem(void* Item) { return Item; }
    int32_t CompareWithKey(void* Item, void* Key) override;
    int32_t Compare(void* Item1, void* Item2) override;
};

class TSortedListEx : public TSortedList {
    ZEL_DECLARE_CLASS(TSortedListEx)
public:
    // Lower end of the last bracket of a bisection that moves its bounds to the probe itself:
    // callers look at the neighbouring entries themselves.
    bool FindNearest(void* Item, int32_t& Index);
    int32_t LastProbe() const { return FLastProbe; }

private:
    int32_t FLastProbe = 0;
};

class TSortedCustomData : public TObject {
public:
    explicit TSortedCustomData(void* AKey) : Key(AKey) {}
    void* Key;
};

class TSortedListData : public TSortedCustomData {
public:
    using TSortedCustomData::TSortedCustomData;
    void* Data = nullptr;
};

// The item class of a keyed data list: makes one item for a key.
using TSortedCustomDataClass = std::function<TSortedCustomData*(void* Key)>;

template <class T> TSortedCustomDataClass SortedDataClass() {
    static_assert(std::is_base_of_v<TSortedCustomData, T>);
    return [](void* Key) -> TSortedCustomData* { return new T(Key); };
}

// Owns one item object per entry, ordered by the items' keys.
class TSortedKeyDataList : public TSortedKeyList {
    ZEL_DECLARE_CLASS(TSortedKeyDataList)
public:
    explicit TSortedKeyDataList(TSortedCustomDataClass ItemClass);
    ~TSortedKeyDataList() override;

    void Delete(int32_t Index) override;
    bool OwnsItems() const override { return true; }
    void* KeyByItem(void* Item) override { return static_cast<TSortedCustomData*>(Item)->Key; }
    // The data of the item with that key; nil when absent or when the items carry no data.
    void* ItemByKey(void* Key) override;
    // Makes an item for Key and adds it; answers the item, not an index.
    virtual TSortedCustomData* Add(void* Key);
    TSortedCustomData* Item(int32_t Index) const { return static_cast<TSortedCustomData*>(Get(Index)); }

protected:
    void FreeAllItems();

private:
    TSortedCustomDataClass FItemClass;
};

// Empties a list of objects, freeing each entry once.
void ClearSortedList(TCustomSortedList* List);

template <class T> void FreeSortedList(T*& List) {
    static_assert(std::is_base_of_v<TSortedList, T>, "FreeSortedList takes sorted lists");
    if (!List)
        return;
    ClearSortedList(List);
    delete List;
    List = nullptr;
}

using THSCompareProc = std::function<int32_t(int32_t I, int32_t J)>;
using THSExchangeProc = std::function<void(int32_t I, int32_t J)>;
// Sorts positions L..R of any indexable store through the two callbacks.
void HSQuickSort(int32_t L, int32_t R, const THSCompareProc& Compare, const THSExchangeProc& Exchange);

// A string list whose search and sort compare with the locale-independent CompareText.
class TFastStringList : public TStringList {
    ZEL_DECLARE_CLASS(TFastStringList)
public:
    bool Find(const std::string& S, int& Index) const override;
    // Sends no change events; does nothing for fewer than two entries.
    void Sort() override;
};
