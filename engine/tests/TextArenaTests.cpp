#include "engine/utils/TextArena.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Growing a text copies it elsewhere unless it really ends the last block: the text after it,
// and the old copy a reader may still hold, must stay as they were.
TEST(TextArena, GrowsOnlyTheTextThatEndsTheArena) {
    TextArena a;
    char* first = a.add("first", 5);
    char* second = a.add("second", 6);
    ASSERT_TRUE(first && second);

    char* grownSecond = a.growLast(second, 6, "+more", 5);
    EXPECT_EQ(grownSecond, second); // room in its block: grows in place
    EXPECT_STREQ(second, "second+more");

    char* grownFirst = a.growLast(first, 5, "!", 1); // not the last text: a copy
    ASSERT_NE(grownFirst, nullptr);
    EXPECT_NE(grownFirst, first);
    EXPECT_STREQ(grownFirst, "first!");
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "second+more");

    const std::string big(200000, 'b');
    char* grownBig = a.growLast(grownFirst, 6, big.c_str(), big.size()); // past any block
    ASSERT_NE(grownBig, nullptr);
    EXPECT_EQ(std::string(grownBig), "first!" + big);
    EXPECT_STREQ(grownFirst, "first!");

    // Positions lead back to the texts they were taken for.
    const uint64_t at = a.positionOfLast(grownBig);
    EXPECT_EQ(a.at(at), grownBig);
    char* last = a.add("x", 1);
    EXPECT_EQ(a.at(a.positionOfLast(last)), last);
    EXPECT_EQ(a.at(uint64_t(1) << 40), nullptr);
    a.clear();
    EXPECT_EQ(a.at(0), nullptr);
}

// A block that one arena let go is what the next arena writes into: a run's texts reuse the
// memory that the run before freed.
TEST(TextArena, BlocksGoBackToThePoolForTheNextArena) {
    TextArena::releasePool();
    const char* used;
    {
        TextArena a;
        used = a.add("first", 5);
        ASSERT_NE(used, nullptr);
    }
    TextArena b;
    const char* reused = b.add("second", 6);
    EXPECT_EQ(reused, used);
    EXPECT_STREQ(reused, "second");

    TextArena::releasePool();
}

} // namespace
