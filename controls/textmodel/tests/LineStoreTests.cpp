#include <gtest/gtest.h>

#include <algorithm>

#include "controls/textmodel/LineStore.h"
#include "controls/textmodel/TabRack.h"
#include "framework/core/Object.h"

TEST(LineStore, OutOfRangeAccessChangesNothing) {
    TInternalStrings store;
    TObject marker;
    store.Add("a");
    store.Add("b");
    for (int32_t bad : {-1, 2, 100}) {
        EXPECT_EQ(store.Get(bad), "");
        EXPECT_EQ(store.GetObject(bad), nullptr);
        store.Put(bad, "x");
        store.PutObject(bad, &marker);
        store.Delete(bad);
    }
    store.Insert(3, "ignored");
    store.Exchange(0, 1);
    ASSERT_EQ(store.GetCount(), 2);
    EXPECT_EQ(store.Get(0), "a");
    EXPECT_EQ(store.Get(1), "b");
    store.Insert(2, "c");
    EXPECT_EQ(store.Get(2), "c");
}

TEST(LineStore, CapacityGrowsByHalfOrAtLeast64) {
    TInternalStrings store;
    EXPECT_EQ(store.GetCapacity(), 0);
    store.Add("x");
    EXPECT_EQ(store.GetCapacity(), 64);
    while (store.GetCount() < 64)
        store.Add("x");
    EXPECT_EQ(store.GetCapacity(), 64);
    store.Add("x");
    EXPECT_EQ(store.GetCapacity(), 128);
    while (store.GetCount() < 128)
        store.Add("x");
    store.Add("x");
    EXPECT_EQ(store.GetCapacity(), 192);
    store.Clear();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_EQ(store.GetCapacity(), 0);
}

TEST(LineStore, JoinedTextHasNoFinalLineEnd) {
    struct Case {
        std::vector<std::string> lines;
        std::string text;
    } cases[] = {
        {{"a", "b"}, "a\r\nb"},
        {{"a", ""}, "a\r\n"},
        {{"a", "", ""}, "a\r\n\r\n"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        TInternalStrings store;
        for (const auto& l : c.lines)
            store.Add(l);
        EXPECT_EQ(store.GetTextStr(), c.text);
    }
}

TEST(LineStore, GetStringHandlerAppliesUnlessRaw) {
    TInternalStrings store;
    store.OnGetString = [](std::string& s) { s = "<" + s + ">"; };
    store.Add("t");
    EXPECT_EQ(store.Get(0), "<t>");
    EXPECT_EQ(store.GetRaw(0), "t");
    store.Raw = true;
    EXPECT_EQ(store.Get(0), "t");
    store.Item(0)->Set(isWasParsed, true);
    store.Put(0, "u");
    EXPECT_FALSE(store.Item(0)->Has(isWasParsed));
}

TEST(TextRoutines, TrimAndPad) {
    using namespace TextRoutines;
    EXPECT_EQ(Trim(" \t a b \t ", tmLeft), "a b \t ");
    EXPECT_EQ(Trim(" a b \t ", tmRight), " a b");
    EXPECT_EQ(Trim(" a b \t", tmRight, true), " a b \t");
    EXPECT_EQ(Trim("  a  ", tmBoth), "a");
    EXPECT_EQ(PadTo("abc", 2), "ab");
    EXPECT_EQ(PadTo("ab", 4), std::string("ab\0\0", 4));
    EXPECT_EQ(FindChar("a\tb\t", '\t', 1), 2);
    EXPECT_EQ(FindChar("a\tb\t", '\t', 3), 4);
    EXPECT_EQ(FindChar("a\tb\t", '\t', 5), 0);
}

// The search tests eight bytes at once: every offset in and around a word, the bytes just below
// and above 14, and bytes above 127 (which must not count as low) are tried.
TEST(TextRoutines, LowBytesAndTabsAreFoundAtEveryOffset) {
    const unsigned char bytes[] = {0, 9, 10, 13, 14, 32, 0x7F, 0x80, 0x8D, 0x8E, 0xFF};
    for (const char filler : {'a', char(0x8E), char(0xFF)})
        for (size_t size = 0; size <= 20; ++size)
            for (size_t at = 0; at < size; ++at)
                for (const unsigned char b : bytes) {
                    std::string s(size, filler);
                    s[at] = char(b);
                    const bool low = b < 14;
                    SCOPED_TRACE(testing::Message() << size << " " << at << " " << int(b));
                    EXPECT_EQ(TextRoutines::FindLowByte(s.data(), 0, size), low ? at : size);
                    EXPECT_EQ(TextRoutines::FindLowByte(s.data(), at + 1, size), size);
                    EXPECT_EQ(TextRoutines::FindLowByte(s.data(), at, size), low ? at : size);
                    EXPECT_EQ(TextRoutines::FindTab(s), b == 9 ? at : size);
                }
    // A tab after other low bytes in the same word.
    const std::string mixed = std::string("ab\r\n\x01", 5) + "xyz\tend";
    EXPECT_EQ(TextRoutines::FindLowByte(mixed.data(), 0, mixed.size()), 2u);
    EXPECT_EQ(TextRoutines::FindTab(mixed), 8u);
    EXPECT_FALSE(TextRoutines::HasTab(std::string(40, 'x')));
}

TEST(TabRack, TabWidthsFollowStops) {
    struct Case {
        const char* rack;
        int32_t column;
        int32_t width;
    } cases[] = {
        {"9,17", 0, 9}, {"9,17", 8, 1}, {"9,17", 10, 7}, {"9,17", 20, 5}, {"9,17", 25, 8},
        {"4", 0, 4},    {"4", 3, 1},    {"4", 4, 4},     {"4", 13, 3},    {"", 0, 8},
    };
    for (const auto& c : cases) {
        TTabRack rack;
        rack.SetTabStops(c.rack);
        EXPECT_EQ(rack.TabWidthAt(c.column + 1), c.width) << c.rack << " at " << c.column;
    }
}

// The widest tab bounds every line's columns; a bound below some tab's width would let the longest
// line be passed over.
TEST(TabRack, WidestTabIsTheWidestAnywhere) {
    for (const char* stops : {"9,17", "4", "", "2,30", "4,20", "3,5,40,41", "1", "10,11,12"}) {
        TTabRack rack;
        rack.SetTabStops(stops);
        int32_t widest = 0;
        for (int32_t pos = 1; pos <= 200; ++pos)
            widest = std::max(widest, rack.TabWidthAt(pos));
        EXPECT_EQ(rack.WidestTab(), widest) << stops;
    }
}

TEST(TabRack, InvalidRacksAreRefusedAndKeepTheOldStops) {
    for (const char* bad : {"8,8", "0", "9,5", "a", "9,,17", "-1"}) {
        TTabRack rack;
        rack.SetTabStops("4");
        EXPECT_THROW(
            {
                try {
                    rack.SetTabStops(bad);
                } catch (const EMemoSourceError& e) {
                    EXPECT_STREQ(e.what(), "Invalid Tab Rack");
                    throw;
                }
            },
            EMemoSourceError)
            << bad;
        EXPECT_EQ(rack.TabStops(), "4");
    }
}

TEST(TabRack, DisplayAndStoredColumnsBothWays) {
    TTabRack rack; // "9,17"
    const std::string s = "\tab\tc";
    EXPECT_EQ(rack.Expand(s), std::string(9, ' ') + "ab" + std::string(6, ' ') + "c");
    // stored index -> display column
    const int32_t display[] = {0, 9, 10, 11, 17, 18};
    for (int32_t i = 0; i <= 5; ++i)
        EXPECT_EQ(rack.RelativeIndex(s, i), display[i]) << i;
    // Characters before the first tab, and past the end, are one column each.
    struct Index {
        const char* text;
        int32_t index, column;
    } indexes[] = {{"abc\td", -1, 0}, {"abc\td", 3, 3}, {"abc\td", 4, 9}, {"abc\td", 5, 10},
                   {"abc\td", 7, 12}, {"plain", 5, 5},  {"plain", 9, 9},  {"", 2, 2}};
    for (const auto& c : indexes)
        EXPECT_EQ(rack.RelativeIndex(c.text, c.index), c.column) << c.text << " " << c.index;
    // display column -> stored index; columns inside a tab map to the tab, past the end one per column
    struct Case {
        int32_t col, index;
    } cases[] = {{0, 0}, {4, 0}, {8, 0}, {9, 1}, {10, 2}, {11, 3}, {16, 3}, {17, 4}, {18, 5}, {20, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(rack.RealIndex(s, c.col), c.index) << c.col;
    int32_t delta = 0;
    EXPECT_TRUE(rack.TabDelta(s, 4, delta, true));
    EXPECT_EQ(delta, 5);
    EXPECT_TRUE(rack.TabDelta(s, 4, delta, false));
    EXPECT_EQ(delta, 4);
    EXPECT_FALSE(rack.TabDelta(s, 0, delta, true));
    EXPECT_FALSE(rack.TabDelta(s, 9, delta, true));
}
