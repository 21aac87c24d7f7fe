#pragma once
// TList: a list of untyped pointers that does not own its entries.

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/Object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative, zero or positive. Pointers and keys are compared with < and >, never by
// subtraction (a difference of addresses or of 32-bit values overflows).
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

template <class T> int CompareValues(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
inline int ComparePointers(const void* a, const void* b) {
    return CompareValues(reinterpret_cast<uintptr_t>(a), reinterpret_cast<uintptr_t>(b));
}

// In-place quicksort of positions L..R through two callbacks; the pivot is tracked by position,
// so Compare always sees the entry now at the pivot. Does nothing when R <= L.
void QuickSortIndexes(int L, int R, const std::function<int(int I, int J)>& Compare,
                      const std::function<void(int I, int J)>& Exchange);

class TList : public TObject {
    ZEL_DECLARE_CLASS(TList)
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    virtual void Delete(int Index); // EListError "List index out of bounds (%d)"
    int Remove(void* Item);         // index it had, or -1
    void* Extract(void* Item);      // removes without the deleted notification; nullptr when absent
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Sort(const TListSortCompare& Compare);
    void Pack(); // removes nil entries
    virtual void Clear();
    void* First() const;
    void* Last() const;
    TList* Expand();

    int Count() const { return static_cast<int>(FList.size()); }
    void SetCount(int NewCount); // new entries are nil; EListError "List count out of bounds (%d)"
    int Capacity() const { return FCapacity; }
    void SetCapacity(int NewCapacity); // EListError "List capacity out of bounds (%d)"
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* operator[](int Index) const { return Get(Index); }
    void* const* List() const { return FList.data(); }

    [[noreturn]] static void Error(const char* Msg, intptr_t Data);

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    void Grow();

private:
    void CheckIndex(int Index) const;
    std::vector<void*> FList;
    int FCapacity = 0;
};

// A TList that can own its entries as objects and frees them when they leave the list.
class TObjectList : public TList {
    ZEL_DECLARE_CLASS(TObjectList)
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;
    int Add(TObject* Item) { return TList::Add(Item); }
    TObject* Items(int Index) const { return static_cast<TObject*>(Get(Index)); }
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool v) { FOwnsObjects = v; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};
