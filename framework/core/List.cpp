#include "framework/core/List.h"

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TList, TObject, {})
ZEL_DEFINE_CLASS(TObjectList, TList, {})

void QuickSortIndexes(int L, int R, const std::function<int(int, int)>& Compare,
                      const std::function<void(int, int)>& Exchange) {
    if (R <= L)
        return;
    while (L < R) {
        int I = L, J = R, P = static_cast<int>((static_cast<unsigned>(L) + static_cast<unsigned>(R)) >> 1);
        do {
            while (I < R && Compare(I, P) < 0)
                ++I;
            while (J > L && Compare(J, P) > 0)
                --J;
            if (I <= J) {
                if (I != J) {
                    Exchange(I, J);
                    if (P == I)
                        P = J;
                    else if (P == J)
                        P = I;
                }
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J)
            QuickSortIndexes(L, J, Compare, Exchange);
        L = I;
    }
}

TList::~TList() {
    // Only the base notification can run here; subclasses that own entries clear in their own destructor.
    FList.clear();
}

void TList::Error(const char* Msg, intptr_t Data) {
    throw EListError(Format(Msg, static_cast<int>(Data)));
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(SListIndexError, Index);
}

void TList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    SetCapacity(FCapacity + delta);
}

int TList::Add(void* Item) {
    int index = Count();
    if (index == FCapacity)
        Grow();
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return index;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        Error(SListIndexError, Index);
    if (Count() == FCapacity)
        Grow();
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* p = FList[static_cast<size_t>(Index)];
    FList.erase(FList.begin() + Index);
    if (p)
        Notify(p, lnDeleted);
}

int TList::Remove(void* Item) {
    int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* Item) {
    int i = IndexOf(Item);
    if (i < 0)
        return nullptr;
    FList.erase(FList.begin() + i);
    Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    for (size_t i = 0; i < FList.size(); ++i)
        if (FList[i] == Item)
            return static_cast<int>(i);
    return -1;
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    CheckIndex(NewIndex);
    CheckIndex(CurIndex);
    void* p = FList[static_cast<size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, p);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (Count() < 2 || !Compare)
        return;
    QuickSortIndexes(
        0, Count() - 1,
        [&](int i, int j) { return Compare(FList[static_cast<size_t>(i)], FList[static_cast<size_t>(j)]); },
        [&](int i, int j) { std::swap(FList[static_cast<size_t>(i)], FList[static_cast<size_t>(j)]); });
}

void TList::Pack() {
    for (int i = Count() - 1; i >= 0; --i)
        if (!FList[static_cast<size_t>(i)])
            FList.erase(FList.begin() + i);
}

void TList::Clear() {
    // Entry by entry, so that owning subclasses hear of every deletion.
    while (!FList.empty())
        Delete(Count() - 1);
    SetCapacity(0);
}

void* TList::First() const {
    return Get(0);
}
void* TList::Last() const {
    return Get(Count() - 1);
}

TList* TList::Expand() {
    if (Count() == FCapacity)
        Grow();
    return this;
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0)
        Error(SListCountError, NewCount);
    if (NewCount > FCapacity)
        SetCapacity(NewCount);
    while (Count() > NewCount)
        Delete(Count() - 1);
    FList.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count())
        Error(SListCapacityError, NewCapacity);
    FCapacity = NewCapacity;
    FList.reserve(static_cast<size_t>(NewCapacity));
}

void* TList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)];
}

void TList::Put(int Index, void* Item) {
    CheckIndex(Index);
    void* old = FList[static_cast<size_t>(Index)];
    FList[static_cast<size_t>(Index)] = Item;
    if (old != Item) {
        if (old)
            Notify(old, lnDeleted);
        if (Item)
            Notify(Item, lnAdded);
    }
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList() {
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted)
        delete static_cast<TObject*>(Ptr);
}
