#include "controls/foundation/SortedLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "controls/foundation/FoundationErrors.h"
#include "framework/core/SysUtils.h"

namespace {

void* P(intptr_t N) {
    return reinterpret_cast<void*>(N);
}
intptr_t N(void* Ptr) {
    return reinterpret_cast<intptr_t>(Ptr);
}

std::vector<intptr_t> Entries(const TCustomSortedList& L) {
    std::vector<intptr_t> R;
    for (int32_t I = 0; I < L.Count(); ++I)
        R.push_back(N(L.Get(I)));
    return R;
}

TEST(SortedList, AddHonoursTheDuplicatesMode) {
    struct Case {
        TSortedDuplicates Mode;
        intptr_t Item;
        int32_t Index; // -1: raises
        std::vector<intptr_t> After;
    };
    const Case Cases[] = {
        {sdIgnore, 20, 1, {10, 20, 30}},   {sdAccept, 20, 1, {10, 20, 20, 30}},
        {sdError, 20, -1, {10, 20, 30}},   {sdError, 25, 2, {10, 20, 25, 30}},
        {sdIgnore, 5, 0, {5, 10, 20, 30}}, {sdIgnore, 35, 3, {10, 20, 30, 35}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(C.Mode) << " item " << C.Item);
        TSortedList L;
        L.Add(P(30));
        L.Add(P(10));
        L.Add(P(20));
        L.SetDuplicates(C.Mode);
        if (C.Index < 0) {
            try {
                L.Add(P(C.Item));
                FAIL() << "no exception";
            } catch (const EHSError& E) {
                EXPECT_EQ(E.Message(), "Can't insert duplicate item");
            }
        } else {
            EXPECT_EQ(L.Add(P(C.Item)), C.Index);
        }
        EXPECT_EQ(Entries(L), C.After);
    }
}

TEST(SortedList, AcceptModeInsertsBeforeEqualEntriesAndFindsTheFirst) {
    // Entries compare by value / 10, so 21 and 22 equal 20 but are different entries.
    struct ByTens : TSortedList {
        int32_t Compare(void* A, void* B) override { return CompareKeys(P(N(A) / 10), P(N(B) / 10)); }
    } L;
    L.SetDuplicates(sdAccept);
    for (intptr_t V : {10, 21, 30, 22, 23})
        L.Add(P(V));
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{10, 23, 22, 21, 30}));
    int32_t Index = -1;
    EXPECT_TRUE(L.Find(P(20), Index));
    EXPECT_EQ(Index, 1);
}

TEST(SortedList, BisectionReportsPositionAndPresence) {
    struct Case {
        intptr_t Item;
        bool Found;
        int32_t Index;
    };
    const Case Cases[] = {{5, false, 0}, {10, true, 0},  {15, false, 1},
                          {40, true, 3}, {45, false, 4}, {30, true, 2}};
    TSortedList L;
    for (intptr_t V : {40, 10, 30, 20})
        L.Add(P(V));
    for (const Case& C : Cases) {
        int32_t Index = -7;
        EXPECT_EQ(L.Find(P(C.Item), Index), C.Found) << C.Item;
        EXPECT_EQ(Index, C.Index) << C.Item;
        EXPECT_EQ(L.IndexOf(P(C.Item)), C.Found ? C.Index : -1) << C.Item;
    }
    TSortedList Empty;
    int32_t Index = -7;
    EXPECT_FALSE(Empty.Find(P(1), Index));
    EXPECT_EQ(Index, 0);
}

TEST(SortedList, FindNearestReportsTheLowerEndOfTheLastBracket) {
    struct Case {
        std::vector<intptr_t> List;
        intptr_t Item;
        bool Found;
        int32_t Index;
    };
    const Case Cases[] = {
        {{}, 10, false, 0},
        {{10}, 5, false, 0},
        {{10}, 10, true, 0},
        {{10}, 99, false, 0},
        // The bounds move to the probe, not past it: an item equal to the second of two is not found.
        {{10, 20}, 20, false, 0},
        {{10, 20}, 10, true, 0},
        {{10, 20, 30, 40}, 25, false, 1},
        {{10, 20, 30, 40}, 30, true, 2},
        {{10, 20, 30, 40}, 40, false, 2},
        {{10, 20, 30, 40}, 20, true, 1},
        {{10, 20, 30, 40, 50}, 30, true, 2},
        {{10, 20, 30, 40, 50}, 45, false, 3},
        {{10, 20, 30, 40, 50}, 99, false, 3},
    };
    for (const Case& C : Cases) {
        TSortedListEx L;
        for (intptr_t V : C.List)
            L.Add(P(V));
        int32_t Index = -7;
        EXPECT_EQ(L.FindNearest(P(C.Item), Index), C.Found) << C.List.size() << " entries, item " << C.Item;
        EXPECT_EQ(Index, C.Index) << C.List.size() << " entries, item " << C.Item;
    }
}

TEST(SortedList, UnsortedListSearchesByIdentityAndSortsWhenSwitchedBack) {
    TSortedListEx L;
    L.SetSorted(false);
    for (intptr_t V : {30, 10, 20})
        L.Add(P(V));
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{30, 10, 20}));
    L.Insert(0, P(40));
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{40, 30, 10, 20}));
    int32_t Index = -7;
    EXPECT_TRUE(L.Find(P(10), Index));
    EXPECT_EQ(Index, 2);
    EXPECT_FALSE(L.Find(P(11), Index));
    EXPECT_EQ(Index, -1);
    EXPECT_EQ(L.IndexOfKey(P(20)), 3);
    EXPECT_TRUE(L.FindNearest(P(30), Index));
    EXPECT_EQ(Index, 1);

    L.SetSorted(true);
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{10, 20, 30, 40}));
    L.Insert(0, P(25)); // placed by order, not at 0
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{10, 20, 25, 30, 40}));
}

TEST(SortedList, SortingAnOrderedListOnlyComparesNeighbours) {
    struct Counting : TSortedList {
        int Calls = 0;
        int32_t Compare(void* A, void* B) override {
            ++Calls;
            return CompareKeys(A, B);
        }
    } L;
    L.SetSorted(false);
    for (intptr_t V : {1, 2, 2, 3, 4})
        L.Add(P(V));
    L.Calls = 0;
    L.SetSorted(true);
    EXPECT_EQ(L.Calls, 4);
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{1, 2, 2, 3, 4}));
}

TEST(SortedList, DefaultComparisonOrdersFarApartValuesWithoutOverflow) {
    // A 32-bit difference of these overflows and orders them backwards.
    const intptr_t Values[] = {
        INT32_MAX, -2, INT32_MIN,
        0,         1,  static_cast<intptr_t>(sizeof(void*) == 8 ? INTPTR_MAX : INT32_MAX - 1)};
    TSortedList L;
    for (intptr_t V : Values)
        L.Add(P(V));
    std::vector<intptr_t> Expected(std::begin(Values), std::end(Values));
    std::sort(Expected.begin(), Expected.end());
    Expected.erase(std::unique(Expected.begin(), Expected.end()), Expected.end());
    EXPECT_EQ(Entries(L), Expected);
    for (intptr_t V : Values)
        EXPECT_GE(L.IndexOf(P(V)), 0) << V;
}

TEST(SortedList, RemoveAndIndexErrors) {
    TSortedList L;
    for (intptr_t V : {1, 2, 3})
        L.Add(P(V));
    EXPECT_EQ(L.Remove(P(7)), -1);
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.Remove(P(2)), 1);
    EXPECT_EQ(Entries(L), (std::vector<intptr_t>{1, 3}));
    try {
        L.Get(2);
        FAIL() << "no exception";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(L.Delete(-1), EListError);
    EXPECT_THROW(L.SetCapacity(1), EListError);
}

struct Counted : TSortedCustomData {
    static inline int Alive = 0;
    explicit Counted(void* Key) : TSortedCustomData(Key) { ++Alive; }
    ~Counted() override { --Alive; }
};

struct CountedData : TSortedListData {
    static inline int Alive = 0;
    explicit CountedData(void* Key) : TSortedListData(Key) { ++Alive; }
    ~CountedData() override { --Alive; }
};

TEST(SortedKeyDataList, OwnsOneItemPerKey) {
    {
        TSortedKeyDataList L(SortedDataClass<CountedData>());
        auto* A = static_cast<TSortedListData*>(L.Add(P(20)));
        auto* B = static_cast<TSortedListData*>(L.Add(P(10)));
        A->Data = P(200);
        B->Data = P(100);
        EXPECT_EQ(L.Add(P(20)), A); // an ignored duplicate answers the item already there
        EXPECT_EQ(CountedData::Alive, 2);
        EXPECT_EQ(L.ItemByKey(P(20)), P(200));
        EXPECT_EQ(L.ItemByKey(P(10)), P(100));
        EXPECT_EQ(L.ItemByKey(P(30)), nullptr);
        EXPECT_EQ(L.IndexOfKey(P(20)), 1);
        L.Delete(0);
        EXPECT_EQ(CountedData::Alive, 1);
    }
    EXPECT_EQ(CountedData::Alive, 0);

    TSortedKeyDataList NoData(SortedDataClass<Counted>());
    NoData.Add(P(5));
    EXPECT_EQ(NoData.ItemByKey(P(5)), nullptr);
    EXPECT_EQ(NoData.IndexOfKey(P(5)), 0);
}

struct CountedObject : TObject {
    static inline int Alive = 0;
    CountedObject() { ++Alive; }
    ~CountedObject() override { --Alive; }
};

TEST(SortedList, ClearAndFreeFreeEveryEntryOnce) {
    auto* Plain = new TSortedList;
    for (int I = 0; I < 3; ++I)
        Plain->Add(new CountedObject);
    EXPECT_EQ(CountedObject::Alive, 3);
    ClearSortedList(Plain);
    EXPECT_EQ(CountedObject::Alive, 0);
    EXPECT_EQ(Plain->Count(), 0);
    Plain->Add(new CountedObject);
    FreeSortedList(Plain);
    EXPECT_EQ(Plain, nullptr);
    EXPECT_EQ(CountedObject::Alive, 0);
    FreeSortedList(Plain); // nil is accepted
    ClearSortedList(nullptr);

    // A list that owns its items frees them in Delete: they must not be freed a second time.
    auto* Owning = new TSortedKeyDataList(SortedDataClass<Counted>());
    for (intptr_t K : {3, 1, 2})
        Owning->Add(P(K));
    ClearSortedList(Owning);
    EXPECT_EQ(Counted::Alive, 0);
    Owning->Add(P(9));
    FreeSortedList(Owning);
    EXPECT_EQ(Counted::Alive, 0);
}

TEST(HSQuickSort, SortsThroughIndexCallbacks) {
    const std::vector<std::vector<int>> Inputs = {
        {}, {1}, {2, 1}, {5, 3, 9, 1, 3, 7, 3, 0, 8}, {4, 4, 4, 4}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}};
    for (std::vector<int> V : Inputs) {
        std::vector<int> Expected = V;
        std::sort(Expected.begin(), Expected.end());
        HSQuickSort(
            0, static_cast<int32_t>(V.size()) - 1,
            [&](int32_t I, int32_t J) { return V[I] < V[J] ? -1 : (V[I] > V[J] ? 1 : 0); },
            [&](int32_t I, int32_t J) { std::swap(V[I], V[J]); });
        EXPECT_EQ(V, Expected);
    }
    bool Called = false;
    HSQuickSort(
        3, 3,
        [&](int32_t, int32_t) {
            Called = true;
            return 0;
        },
        [&](int32_t, int32_t) { Called = true; });
    EXPECT_FALSE(Called);
}

TEST(FastStringList, SortsAndFindsIgnoringCaseWithoutChangeEvents) {
    TFastStringList L;
    int Events = 0;
    L.OnChange = [&](TObject*) { ++Events; };
    L.Sort();
    L.Add("b");
    L.Sort();
    for (const char* S : {"delta", "Alpha", "charlie", "Bravo", "alpha"})
        L.Add(S);
    Events = 0;
    L.Sort();
    EXPECT_EQ(Events, 0);
    ASSERT_EQ(L.Count(), 6);
    EXPECT_EQ(CompareText(L[0], "alpha"), 0);
    EXPECT_EQ(CompareText(L[1], "alpha"), 0);
    EXPECT_EQ(CompareText(L[2], "b"), 0);
    EXPECT_EQ(L[5], "delta");
    L.OnChange = nullptr;
    int Index = -1;
    EXPECT_TRUE(L.Find("CHARLIE", Index));
    EXPECT_EQ(Index, 4);
    EXPECT_FALSE(L.Find("c", Index));
    EXPECT_EQ(Index, 4);
    L.SetDuplicates(dupAccept);
    EXPECT_TRUE(L.Find("ALPHA", Index));
    EXPECT_EQ(Index, 0);
}

} // namespace
