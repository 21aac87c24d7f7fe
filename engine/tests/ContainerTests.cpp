#include "engine/utils/ErrorStore.h"
#include "engine/utils/IntStore.h"
#include "engine/utils/PointerArrayManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int deletedCount = 0;
int countingDeleter(void* p) {
    ++deletedCount;
    delete static_cast<int*>(p);
    return 1;
}

TEST(PointerArrayManager, GrowsByStepsPlusAnExtraByOldCapacity) {
    PointerArrayManager a;
    EXPECT_EQ(a.capacity(), 0);
    int x = 0;
    ASSERT_EQ(a.setPointer(0, &x, false, true), 1);
    EXPECT_EQ(a.capacity(), 10);
    ASSERT_EQ(a.setPointer(149, &x, false, true), 1);
    EXPECT_EQ(a.capacity(), 150);
    ASSERT_EQ(a.setPointer(150, &x, false, true), 1);
    EXPECT_EQ(a.capacity(), 260);         // 160 by steps, 100 more above 100
    EXPECT_EQ(a.setPointer(1000, &x), 0); // past the capacity without the grow flag
    EXPECT_EQ(a.setPointer(-1, &x, false, true), 0);
    EXPECT_EQ(a.mode(), PointerArrayManager::ArrayMode);
    EXPECT_EQ(a.usableLength(), 260);
    EXPECT_EQ(a.occupiedCount(), 3);
    EXPECT_EQ(a.firstEmpty(), 1);
    EXPECT_EQ(a.afterLastOccupied(), 151);
    EXPECT_EQ(a.setGrowStep(0), 0);
    a.clear(false);
}

TEST(PointerArrayManager, ListModeAppendFindAndCompact) {
    deletedCount = 0;
    {
        PointerArrayManager a(countingDeleter);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(a.append(new int(i)), i);
        EXPECT_EQ(a.at(5), nullptr); // beyond the count in list mode
        void* third = a.at(2);
        EXPECT_EQ(a.find(third), 2);
        ASSERT_EQ(a.setPointer(1, nullptr, true, false, true), 1); // keep list mode, delete the old element
        EXPECT_EQ(deletedCount, 1);
        EXPECT_EQ(a.firstEmpty(), 1);
        a.compact(1);
        EXPECT_EQ(a.count(), 4);
        EXPECT_EQ(*static_cast<int*>(a.at(1)), 2);
        EXPECT_EQ(a.property(PointerArrayManager::Current), -1);
        a.setPointer(0, a.at(0), false, false); // any store switches to array mode
        int kept = 9;
        EXPECT_EQ(a.append(&kept), -1);
    }
    EXPECT_EQ(deletedCount, 5); // the destructor deleted the remaining four
}

TEST(PointerArrayManager, CopiesThroughTheCopyFunction) {
    deletedCount = 0;
    {
        PointerArrayManager a(countingDeleter), b(countingDeleter);
        b.setCopier([](const void* p) -> void* { return new int(*static_cast<const int*>(p) * 10); });
        a.append(new int(1));
        a.append(new int(2));
        ASSERT_EQ(b.copyFrom(a), 1);
        EXPECT_EQ(b.count(), 2);
        EXPECT_EQ(*static_cast<int*>(b.at(1)), 20);
        PointerArrayManager c(countingDeleter); // owned elements cannot be shared without a copier
        EXPECT_EQ(c.copyFrom(a), 0);
        EXPECT_EQ(c.occupiedCount(), 0);
        EXPECT_EQ(a.insertSorted(new int(0),
                                 [](const void* x, const void* y) {
                                     return *static_cast<const int*>(x) - *static_cast<const int*>(y);
                                 }),
                  0);
        a.setAux(4, 7);
        EXPECT_EQ(a.getAux(4), 7);
        EXPECT_EQ(a.getAux(3), 0);
    }
    EXPECT_EQ(deletedCount, 5);
}

TEST(IntStore, OutOfRangeAccessTouchesOnlyTheErrorSlot) {
    IntStore s(3, 7);
    EXPECT_EQ(s.value(5), -1);
    int32_t found = 1;
    EXPECT_EQ(s.get(5, &found), -1);
    EXPECT_EQ(found, 0);
    s.ref(5) = 99;
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.value(0), 7);
    EXPECT_EQ(s.ref(-1), -1); // set back to -1 on every failed access
    s.set(5, 1, true, 0);
    EXPECT_EQ(s.count(), 6);
    EXPECT_EQ(s.value(4), 0);
    EXPECT_EQ(s.capacity(), 6);
    EXPECT_EQ(s.set(9, 1, false), 0);
}

TEST(IntStore, SortedAddRemoveAndFill) {
    auto cmp = [](int32_t a, int32_t b) { return a < b ? -1 : a > b ? 1 : 0; };
    IntStore s;
    for (int32_t v : {5, 1, 4, 1, 3})
        s.add(v, cmp);
    EXPECT_EQ(std::vector<int32_t>(s.data(), s.data() + s.count()), (std::vector<int32_t>{1, 1, 3, 4, 5}));
    EXPECT_EQ(s.removeValue(4, cmp), 1);
    EXPECT_EQ(s.removeValue(8, cmp), 0);
    EXPECT_TRUE(s.contains(3));
    EXPECT_EQ(s.removeAt(0), 1);
    EXPECT_EQ(s.count(), 3);
    IntStore f(4, 0);
    f.set(2, -1);
    f.fillMinusOne(4, 0); // stops at the first -1
    EXPECT_EQ(f.value(3), 0);
    f.fillMinusOne(4, 1);
    EXPECT_EQ(f.value(3), -1);
    IntStore copy(s);
    EXPECT_EQ(copy.count(), 3);
    EXPECT_EQ(copy.value(2), 5);
}

TEST(IntStore, ReadsItsStoredForm) {
    struct Case {
        std::vector<int32_t> words;
        int32_t result;
        int32_t count;
    } cases[] = {
        {{1, 3, 10, 20, 30}, 1, 3}, {{1, 0}, 1, 0}, {{2, 1, 10}, 0, 0}, {{1, 4, 10, 20}, 0, 0}, // short
        {{1, 0x7FFFFFFF, 1}, 0, 0}, // a hostile count meets the end of the file
    };
    for (const Case& c : cases) {
        FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        std::fwrite(c.words.data(), sizeof(int32_t), c.words.size(), f);
        std::rewind(f);
        IntStore s(2, 5);
        EXPECT_EQ(s.read(f), c.result);
        EXPECT_EQ(s.count(), c.count);
        std::fclose(f);
    }
}

TEST(ErrorStore, KeepFirstAndDisplayText) {
    ErrorStore keep(ErrorStore::KeepFirst);
    keep.setf(10, "first %s", "error");
    EXPECT_EQ(keep.setf(20, "second"), 1);
    EXPECT_EQ(keep.number(), 10);
    EXPECT_STREQ(keep.displayText(), "10: first error");
    keep.reset(0);
    keep.setfi(30, "%s at %d", nullptr, 5);
    EXPECT_STREQ(keep.displayText(), "30:  at 5");
    keep.set(31, "x");
    EXPECT_EQ(keep.number(), 31);
    keep.set(40, std::string(1998, 'x').c_str());
    EXPECT_STREQ(keep.displayText(), "40: [error string too long to display]");
    keep.set(41, std::string(1997, 'x').c_str());
    EXPECT_EQ(std::string(keep.displayText()).size(), 1997u + 4);
}

} // namespace
