#include <gtest/gtest.h>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
std::string SelectionText(TCustomMemoSource& s) {
  std::string out;
  for (int i = 0; i < s.Selection().Count(); ++i) out += (i ? "|" : "") + s.Selection().Get(i);
  return out;
}
std::string Block(const TCustomMemoSource& s) {
  return std::to_string(s.BlockBegin().Char) + "," + std::to_string(s.BlockBegin().Line) + "-" +
         std::to_string(s.BlockEnd().Char) + "," + std::to_string(s.BlockEnd().Line);
}
}  // namespace

TEST(SelectionView, StreamAndColumnCuts) {
  TMemoSource s;
  s.LoadFromStrings({"line zero", "abcdefgh", "middle", "xyz tail", "ab"});
  EXPECT_EQ(s.Selection().Count(), 0);
  s.SetSelectionRect({3, 1, 2, 3});
  s.SetSelectionType(stStreamSel);
  EXPECT_EQ(SelectionText(s), "defgh|middle|xy");
  s.SetSelectionRect({2, 1, 4, 1});
  EXPECT_EQ(SelectionText(s), "cd");
  s.SetSelectionRect({1, 3, 3, 4});
  s.SetSelectionType(stBlockSel);
  EXPECT_EQ(SelectionText(s), "yz |b  ");  // the end column is included; short lines are padded
  EXPECT_EQ(s.Selection().Get(5), "");
}

TEST(ShiftMarking, BlockFollowsTheCaret) {
  TMemoSource s;
  s.LoadFromStrings({"0123456789", "abcdefghij", "ABCDEFGHIJ"});
  s.JumpTo(2, 1);
  s.MarkRight();
  s.MarkRight();
  EXPECT_EQ(Block(s), "2,1-4,1");
  EXPECT_EQ(s.SelectionType(), stStreamSel);
  s.MarkDown();
  EXPECT_EQ(Block(s), "2,1-4,2");
  s.MarkUp();
  s.MarkUp();  // passes above the start: begin and end change places
  EXPECT_EQ(Block(s), "4,0-2,1");
  EXPECT_EQ(SelectionText(s), "456789|ab");
  s.CursorRight();  // an unmarked move ends the selection
  EXPECT_EQ(s.SelectionType(), stNotSelected);

  s.JumpTo(5, 0);
  s.MarkColDown();
  s.MarkColLeft();
  s.MarkColLeft();
  EXPECT_EQ(s.SelectionType(), stBlockSel);
  EXPECT_EQ(Block(s), "3,0-5,1");
  EXPECT_EQ(SelectionText(s), "345|def");
}

TEST(ShiftMarking, BlockOptionForcesTheKind) {
  TMemoSource s;
  s.LoadFromStrings({"0123456789", "abcdefghij"});
  s.SetBlockOption(bkStreamSel);
  s.MarkColRight();
  EXPECT_EQ(s.SelectionType(), stStreamSel);
  s.SetBlockOption(bkNone);
  EXPECT_EQ(s.SelectionType(), stNotSelected);
  s.MarkRight();
  EXPECT_EQ(s.SelectionType(), stNotSelected);
}

TEST(Words, WordAroundAColumn) {
  TMemoSource s;
  s.LoadFromStrings({"foo bar.baz  end"});
  s.SetDelimeters(".");
  struct Case {
    int32_t col;
    const char* word;
    const char* corrected;
  } cases[] = {
      {0, "foo", "foo"}, {2, "foo", "foo"}, {3, "foo", ""}, {5, "bar", "bar"}, {7, "bar", ""},
      {8, "baz", "baz"}, {12, "", ""},      {13, "end", "end"}, {16, "end", ""}, {30, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.GetTextAt(c.col, 0), c.word) << c.col;
    EXPECT_EQ(s.CorrectTextAt(c.col, 0), c.corrected) << c.col;
  }
  s.SetDelimeters("");
  EXPECT_EQ(s.GetTextAt(5, 0), "bar.baz");
}

TEST(Justify, GapsWidenWithTheRemainderAtTheEnd) {
  struct Case {
    const char* in;
    int32_t width;
    const char* out;
  } cases[] = {
      {"a b c", 7, "a  b  c"},
      {"a b c d", 9, "a b  c  d"},
      {"  one two  ", 9, "one   two"},
      {"single", 10, "single"},
      {"already wide", 5, "already wide"},
  };
  for (const auto& c : cases) EXPECT_EQ(TCustomMemoSource::ExpandString(c.in, c.width), c.out) << c.in;
}

TEST(TempHighlight, EndsWithTheNextChange) {
  TMemoSource s;
  s.LoadFromStrings({"a", "b"});
  s.SetLineTextStyle(1, 2);
  s.TempHighlightLine(1, 9);
  EXPECT_EQ(s.GetLineTextStyle(1), 9);
  s.CursorDown();
  EXPECT_EQ(s.GetLineTextStyle(1), 2);
}

TEST(Indent, NavigationHandlerAnswersIndentQueries) {
  TMemoSource s;
  EXPECT_EQ(s.GetMemoIndent(4), 4);
  bool sawIndentMode = false;
  s.NavigateHandler = [&](int32_t&, int32_t& charDelta) {
    sawIndentMode = s.IndentMode();
    charDelta = 6;
  };
  EXPECT_EQ(s.GetMemoIndent(4), 6);
  EXPECT_TRUE(sawIndentMode);
  EXPECT_FALSE(s.IndentMode());
}
