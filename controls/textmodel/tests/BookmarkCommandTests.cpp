#include <gtest/gtest.h>

#include "SourceTestUtil.h"

namespace {

TEST(BookmarkCommands, SetToggleAndJump) {
    TMemoSource source;
    source.LoadFromStrings(std::vector<std::string>(12, "some text"));
    int32_t c = 0, l = 0;

    source.JumpTo(4, 2);
    source.ToggleBookMark0();
    EXPECT_EQ(10, source.FGetBookmark(2));
    source.JumpTo(6, 2);
    source.ToggleBookMark0(); // same line: cleared
    EXPECT_EQ(0, source.FGetBookmark(2));
    EXPECT_FALSE(source.FindBookMark(10, c, l));
    EXPECT_EQ(-1, c);
    EXPECT_EQ(-1, l);

    source.JumpTo(1, 2);
    source.SetBookmark(3);
    source.JumpTo(5, 8);
    source.SetBookmark(3); // moves it
    EXPECT_EQ(0, source.FGetBookmark(2));
    EXPECT_EQ(3, source.FGetBookmark(8));
    EXPECT_EQ(4, source.NextBookmarkNumber());

    source.JumpTo(0, 0);
    source.GoToBookMark3();
    EXPECT_EQ("5,8", CaretText(source));
    EXPECT_FALSE(source.ForcedMove);

    source.ToggleBookMarkForLine(1, 40); // past the end: nothing
    EXPECT_EQ("5,8", CaretText(source));
    EXPECT_FALSE(source.FindBookMark(1, c, l));
    source.ToggleBookMarkForLine(1, 4);
    EXPECT_EQ("5,8", CaretText(source));
    ASSERT_TRUE(source.FindBookMark(1, c, l));
    EXPECT_EQ(4, l);

    source.FSetBookMark(6, 7);
    ASSERT_TRUE(source.FindBookMark(7, c, l));
    EXPECT_EQ(0, c);
    source.ClearBookmark(7);
    EXPECT_EQ(0, source.FGetBookmark(6));
    source.SetBookmark(0); // no bookmark number: ignored
    source.SetBookmark(11);
    EXPECT_EQ(3, source.FGetBookmark(8));
    EXPECT_EQ(0, source.FGetBookmark(99));
    EXPECT_EQ(0, source.UpdateCount());
}

} // namespace
