#include "framework/core/List.h"

#include <gtest/gtest.h>

#include "framework/core/SysUtils.h"

static void* P(intptr_t v) {
    return reinterpret_cast<void*>(v);
}

TEST(TList, BasicEditing) {
    TList l;
    EXPECT_EQ(l.Add(P(1)), 0);
    EXPECT_EQ(l.Add(P(2)), 1);
    l.Insert(0, P(3)); // 3 1 2
    l.Insert(3, P(4)); // 3 1 2 4
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l.IndexOf(P(2)), 2);
    EXPECT_EQ(l.Remove(P(1)), 1); // 3 2 4
    EXPECT_EQ(l.Remove(P(9)), -1);
    l.Exchange(0, 2); // 4 2 3
    l.Move(0, 2);     // 2 3 4
    EXPECT_EQ(l.First(), P(2));
    EXPECT_EQ(l.Last(), P(4));
    EXPECT_EQ(l.Extract(P(3)), P(3));
    EXPECT_EQ(l.Extract(P(3)), nullptr);
    l.Add(nullptr);
    l.Add(nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Capacity(), 0);
}

TEST(TList, IndexAndCapacityErrorsCarryTheValue) {
    TList l;
    l.Add(P(1));
    struct Case {
        std::function<void()> op;
        const char* message;
    } cases[] = {
        {[&] { l.Get(1); }, "List index out of bounds (1)"},
        {[&] { l.Get(-1); }, "List index out of bounds (-1)"},
        {[&] { l.Delete(5); }, "List index out of bounds (5)"},
        {[&] { l.Insert(3, nullptr); }, "List index out of bounds (3)"},
        {[&] { l.Exchange(0, 1); }, "List index out of bounds (1)"},
        {[&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
        {[&] { l.SetCount(-2); }, "List count out of bounds (-2)"},
        {[&] {
             TList e;
             e.First();
         },
         "List index out of bounds (0)"},
    };
    for (auto& c : cases) {
        try {
            c.op();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(l.Count(), 1);
    EXPECT_EQ(l.Get(0), P(1));
}

TEST(TList, SortByAddressDoesNotOverflow) {
    // Values further apart than 2^31: a comparison by 32-bit subtraction orders them wrongly.
    std::vector<uintptr_t> values = {0x10, static_cast<uintptr_t>(0x90000000u), 0x7FFFFFF0u,
                                     0x20, static_cast<uintptr_t>(0xFFFFFF00u), 0x80000001u};
    TList l;
    for (auto v : values)
        l.Add(reinterpret_cast<void*>(v));
    l.Sort(ComparePointers);
    for (int i = 1; i < l.Count(); ++i)
        EXPECT_LT(reinterpret_cast<uintptr_t>(l.Get(i - 1)), reinterpret_cast<uintptr_t>(l.Get(i)));
    EXPECT_EQ(CompareValues<int32_t>(INT32_MIN, INT32_MAX), -1);
    EXPECT_EQ(CompareValues<int32_t>(INT32_MAX, INT32_MIN), 1);
}

TEST(TList, QuickSortIndexesSortsAnyStore) {
    for (std::vector<int> v :
         {std::vector<int>{}, {1}, {2, 1}, {5, 3, 5, 1, 9, 0, 3, 3}, {9, 8, 7, 6, 5, 4, 3, 2, 1}}) {
        std::vector<int> expected = v;
        std::sort(expected.begin(), expected.end());
        QuickSortIndexes(
            0, static_cast<int>(v.size()) - 1, [&](int i, int j) { return CompareValues(v[i], v[j]); },
            [&](int i, int j) { std::swap(v[i], v[j]); });
        EXPECT_EQ(v, expected);
    }
}

namespace {
struct Counted : TObject {
    explicit Counted(int& n) : live(n) { ++live; }
    ~Counted() override { --live; }
    int& live;
};
} // namespace

TEST(TObjectList, OwnsAndFreesItsObjects) {
    int live = 0;
    {
        TObjectList l;
        for (int i = 0; i < 3; ++i)
            l.Add(new Counted(live));
        EXPECT_EQ(live, 3);
        l.Delete(0);
        EXPECT_EQ(live, 2);
        TObject* kept = static_cast<TObject*>(l.Extract(l.Get(0)));
        EXPECT_EQ(live, 2);
        delete kept;
    }
    EXPECT_EQ(live, 0);
}
