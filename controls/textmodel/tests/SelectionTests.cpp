#include <gtest/gtest.h>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
std::string SelectionText(TCustomMemoSource& s) {
    std::string out;
    for (int i = 0; i < s.Selection().Count(); ++i)
        out += (i ? "|" : "") + s.Selection().Get(i);
    return out;
}
std::string Block(const TCustomMemoSource& s) {
    return std::to_string(s.BlockBegin().Char) + "," + std::to_string(s.BlockBegin().Line) + "-" +
           std::to_string(s.BlockEnd().Char) + "," + std::to_string(s.BlockEnd().Line);
}
} // namespace

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
    EXPECT_EQ(SelectionText(s), "yz |b  "); // the end column is included; short lines are padded
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
    s.MarkUp(); // passes above the start: begin and end change places
    EXPECT_EQ(Block(s), "4,0-2,1");
    EXPECT_EQ(SelectionText(s), "456789|ab");
    s.CursorRight(); // an unmarked move ends the selection
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
        {0, "foo", "foo"}, {2, "foo", "foo"}, {3, "foo", ""},     {5, "bar", "bar"}, {7, "bar", ""},
        {8, "baz", "baz"}, {12, "", ""},      {13, "end", "end"}, {16, "end", ""},   {30, "", ""},
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
        {"a b c", 7, "a  b  c"},  {"a b c d", 9, "a b  c  d"},         {"  one two  ", 9, "one   two"},
        {"single", 10, "single"}, {"already wide", 5, "already wide"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TCustomMemoSource::ExpandString(c.in, c.width), c.out) << c.in;
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

TEST(SelectionView, ClearDeletesTheBlockAsOneUndoStep) {
    struct Case {
        const char* name;
        TSelectionType type;
        TMemoRect rect;
        const char* result;
    };
    const Case cases[] = {
        {"stream over lines", stStreamSel, {2, 0, 1, 2}, "abjkl"},
        {"stream on one line", stStreamSel, {1, 1, 3, 1}, "abcd|eh|ijkl"},
        {"column", stBlockSel, {1, 0, 2, 2}, "ad|eh|il"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoSource s;
        s.LoadFromStrings({"abcd", "efgh", "ijkl"});
        s.SetSelectionRect(c.rect);
        s.SetSelectionType(c.type);
        s.Selection().Clear();
        EXPECT_EQ(Text(s), c.result);
        EXPECT_EQ(s.SelectionType(), stNotSelected);
        EXPECT_EQ(s.Selection().Count(), 0);
        s.Undo();
        EXPECT_EQ(Text(s), "abcd|efgh|ijkl");
    }
    // Without a block there is nothing to delete.
    TMemoSource s;
    s.LoadFromStrings({"abcd"});
    s.Selection().Clear();
    EXPECT_EQ(Text(s), "abcd");
    EXPECT_FALSE(s.UndoAvailable());
}

TEST(SourceClear, EmptiesTheTextUndoablyWhateverTheBlockOption) {
    for (TBlockOption option : {bkBoth, bkNone}) {
        SCOPED_TRACE(int(option));
        TMemoSource s;
        s.LoadFromStrings({"first", "\tsecond", "third"});
        s.SetBlockOption(option);
        s.JumpTo(3, 2);
        NotificationLog log;
        log.Attach(s);
        s.Clear();
        EXPECT_EQ(s.GetStrCount(), 0);
        EXPECT_EQ(CaretText(s), "0,0");
        EXPECT_EQ(s.SelectionType(), stNotSelected);
        ASSERT_EQ(log.entries.size(), 1u); // one command, one notification
        EXPECT_TRUE(log.entries[0].state & msEdited);
        EXPECT_TRUE(s.Modified());
        s.Undo();
        EXPECT_EQ(Text(s), "first|\tsecond|third");
    }

    TMemoSource readOnly;
    readOnly.LoadFromStrings({"keep"});
    readOnly.SetROnly(true);
    readOnly.Clear();
    EXPECT_EQ(Text(readOnly), "keep");
}
