#include <gtest/gtest.h>

#include <climits>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Strings.h"

namespace {
void SetLines(TCustomMemoSource& s, std::vector<std::string> lines) {
    s.LoadFromStrings(lines);
}
} // namespace

TEST(SourceProperties, SpacesInTabAndOptions) {
    TMemoSource s;
    for (auto [in, out] : {std::pair{0, 8}, {11, 8}, {-1, 8}, {1, 1}, {10, 10}}) {
        s.SetSpacesInTab(in);
        EXPECT_EQ(s.SpacesInTab(), out) << in;
    }
    EXPECT_EQ(s.Options(), kDefaultStringsOptions);
    s.SetOptions(s.Options() | soUseTabCharacter); // newly on: smart tab goes
    EXPECT_TRUE(s.HasOption(soUseTabCharacter));
    EXPECT_FALSE(s.HasOption(soSmartTab));
    s.SetOptions(s.Options() | soSmartTab); // tabs already on: smart tab wins
    EXPECT_TRUE(s.HasOption(soSmartTab));
    EXPECT_FALSE(s.HasOption(soUseTabCharacter));
}

TEST(SourceProperties, SwitchingOffBeyondFileEndPullsCaretBack) {
    TMemoSource s;
    SetLines(s, {"one", "two and more"});
    s.SetOptions(s.Options() | soBeyondFileEnd);
    s.JumpTo(3, 6);
    EXPECT_EQ(CaretText(s), "3,6");
    s.SetOptions(s.Options() & ~TStringsOptions(soBeyondFileEnd));
    EXPECT_EQ(CaretText(s), "12,1");
}

TEST(UpdateBrackets, NestedBracketsSendOneNotificationWithTheUnion) {
    TMemoSource s;
    SetLines(s, {"a", "b", "c", "d"});
    NotificationLog log;
    log.Attach(s);
    s.BeginUpdate(0);
    s.JumpTo(0, 3);
    s.Insert("x");
    s.JumpTo(0, 1);
    s.Insert("y");
    EXPECT_TRUE(log.entries.empty());
    s.EndUpdate();
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].first, 1);
    EXPECT_EQ(log.entries[0].last, 3);
    EXPECT_TRUE(log.entries[0].state & msEdited);
    EXPECT_TRUE(log.entries[0].state & msPositionChanged);

    log.entries.clear();
    s.BeginUpdate(0);
    s.EndUpdate();
    s.SetROnly(false);
    s.SetImageBit(0, 3, false);
    EXPECT_TRUE(log.entries.empty());
}

TEST(UpdateBrackets, InitialRegistrationSendsAFullUpdate) {
    TMemoSource s;
    SetLines(s, {"a"});
    NotificationLog log;
    log.Attach(s, true);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].state, kFullUpdateState);
    EXPECT_EQ(log.entries[0].first, 0);
    EXPECT_EQ(log.entries[0].last, INT_MAX);
}

TEST(UpdateBrackets, LineMarksDoNotModify) {
    TMemoSource s;
    SetLines(s, {"a", "b"});
    NotificationLog log;
    log.Attach(s);
    s.SetImageBit(1, 2, true);
    s.SetLineTextStyle(0, 4);
    EXPECT_FALSE(s.Modified());
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].state, msBlockChanged);
    EXPECT_TRUE(s.GetImageBit(1, 2));
    EXPECT_EQ(s.GetLineTextStyle(0), 4);
}

TEST(UpdateBrackets, CaretMoveDropsSelectionUnlessPersistent) {
    for (bool persistent : {false, true}) {
        TMemoSource s;
        SetLines(s, {"abcdef", "ghijkl"});
        if (persistent)
            s.SetOptions(s.Options() | soPersistentBlocks);
        s.SetSelectionRect({1, 0, 3, 0});
        s.SetSelectionType(stStreamSel);
        s.CursorDown();
        EXPECT_EQ(s.SelectionType(), persistent ? stStreamSel : stNotSelected);
    }
}

TEST(UpdateBrackets, DestroyingTellsViewsWhileTheTextIsStillThere) {
    NotificationLog view;
    {
        TMemoSource s;
        SetLines(s, {"a", "b", "c"});
        view.Attach(s);
    }
    EXPECT_EQ(view.countWhenDestroyed, 3);
}

TEST(UpdateBrackets, ADestroyedViewIsForgotten) {
    TMemoSource s;
    SetLines(s, {"a"});
    auto* view = new NotificationLog;
    view->Attach(s);
    s.ActiveView = view;
    delete view;
    EXPECT_EQ(s.ActiveView, nullptr);
    s.Insert("x"); // must not reach the freed view
    EXPECT_EQ(Text(s), "xa");
}

TEST(Primitives, InsertPadsShortLinesAndInsertsBeforeTabs) {
    TMemoSource s;
    SetLines(s, {"abc", "\tx"});
    s.JumpTo(10, 0);
    EXPECT_TRUE(s.Insert("Z"));
    EXPECT_EQ(s.Strings().GetRaw(0), "abc       Z");
    EXPECT_EQ(CaretText(s), "10,0"); // Insert leaves the caret where it was
    s.JumpTo(4, 1);                  // inside the leading tab's expansion (columns 0 to 8)
    EXPECT_EQ(s.InsertEx("y", ""), 1);
    EXPECT_EQ(s.Strings().GetRaw(1), "    y\tx");
    EXPECT_EQ(s.Strings().Get(1), "    y    x");
}

TEST(Primitives, InsertRefusedOnReadOnlyLinesAndSources) {
    TMemoSource s;
    SetLines(s, {"abc", "def"});
    s.SetLineReadOnly(1, true);
    s.JumpTo(0, 1);
    EXPECT_FALSE(s.Insert("x"));
    s.JumpTo(0, 0);
    s.SetROnly(true);
    EXPECT_FALSE(s.Insert("x"));
    EXPECT_EQ(Text(s), "abc|def");
}

TEST(Primitives, BreakLineAtColumnZeroMovesLineMarksWithTheText) {
    TMemoSource s;
    SetLines(s, {"abc", "def"});
    s.SetImageBit(0, 1, true);
    s.SetLineTextStyle(0, 7);
    s.Strings().Item(0)->LineData = "data";
    s.BreakLine();
    EXPECT_EQ(Text(s), "|abc|def");
    EXPECT_FALSE(s.GetImageBit(0, 1));
    EXPECT_TRUE(s.GetImageBit(1, 1));
    EXPECT_EQ(s.GetLineTextStyle(0), 0);
    EXPECT_EQ(s.GetLineTextStyle(1), 7);
    EXPECT_EQ(s.Strings().Item(1)->LineData, "data");
}

TEST(Primitives, BreakLineInsideRemovesTrailingBlanksOfTheFirstHalf) {
    TMemoSource s;
    SetLines(s, {"abc   def"});
    s.JumpTo(6, 0);
    s.BreakLine();
    EXPECT_EQ(Text(s), "abc|def");
    s.KeepTrailingBlanks = true;
    SetLines(s, {"abc   def"});
    s.JumpTo(6, 0);
    s.BreakLine();
    EXPECT_EQ(Text(s), "abc   |def");
}

TEST(Primitives, JoinLinesOnlyAtOrBeyondTheLineEnd) {
    struct Case {
        const char* name;
        int32_t col, line;
        bool nextReadOnly;
        const char* after;
    } cases[] = {
        {"at end", 3, 0, false, "abcdef|ghi"},         {"beyond end pads", 5, 0, false, "abc  def|ghi"},
        {"inside line", 2, 0, false, "abc|def|ghi"},   {"last line", 3, 2, false, "abc|def|ghi"},
        {"next read-only", 3, 0, true, "abc|def|ghi"},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        s.SetOptions(s.Options() | soBeyondFileEnd);
        SetLines(s, {"abc", "def", "ghi"});
        if (c.nextReadOnly)
            s.SetLineReadOnly(1, true);
        s.JumpTo(c.col, c.line);
        s.JoinLines();
        EXPECT_EQ(Text(s), c.after) << c.name;
    }
}

TEST(Primitives, DeleteRightStaysOnItsLine) {
    TMemoSource s;
    SetLines(s, {"abc", "def"});
    s.JumpTo(3, 0);
    s.DeleteRight(5);
    s.JumpTo(7, 0);
    s.DeleteRight(1);
    EXPECT_EQ(Text(s), "abc|def");
    s.JumpTo(1, 0);
    s.DeleteRight(10);
    EXPECT_EQ(Text(s), "a|def");
    SetLines(s, {"x"});
    s.JumpTo(0, 0);
    s.DeleteRight(1);
    EXPECT_EQ(s.GetStrCount(), 0); // deleting the only character leaves no lines
}

TEST(Primitives, DeleteRightInsideATabKeepsTheColumnsBeforeTheCaret) {
    TMemoSource s;
    SetLines(s, {"\tx"});
    s.JumpTo(4, 0);
    s.DeleteRight(1); // the tab goes; the four columns before the caret stay as blanks
    EXPECT_EQ(s.Strings().GetRaw(0), "    x");
}

TEST(Primitives, LeavingALineDropsItsTrailingBlanks) {
    TMemoSource s;
    SetLines(s, {"abc  ", "def"});
    s.JumpTo(2, 0);
    s.CursorRight();
    EXPECT_EQ(s.Strings().GetRaw(0), "abc  ");
    s.CursorDown();
    EXPECT_EQ(Text(s), "abc|def");
}

TEST(CaretMovement, LimitEolWrapsToTheNextLine) {
    TMemoSource s;
    s.SetOptions(s.Options() | soLimitEOL);
    SetLines(s, {"ab", "cd"});
    s.JumpTo(2, 0);
    s.CursorRight();
    EXPECT_EQ(CaretText(s), "0,1");
    s.JumpTo(2, 1);
    s.CursorRight();
    EXPECT_EQ(CaretText(s), "2,1");
    s.JumpTo(9, 0);
    EXPECT_EQ(CaretText(s), "2,0");
}

TEST(CaretMovement, CursorOnTabsJumpsOverTheExpansion) {
    TMemoSource s;
    s.SetOptions(s.Options() | soCursorOnTabs);
    SetLines(s, {"a\tb"});
    s.JumpTo(1, 0);
    s.CursorRight();
    EXPECT_EQ(CaretText(s), "9,0");
    s.CursorLeft();
    EXPECT_EQ(CaretText(s), "1,0");
    s.SetOptions(s.Options() | soCursorAlwaysOnTabs);
    s.JumpTo(4, 0); // nearer the tab's start
    EXPECT_EQ(CaretText(s), "1,0");
    s.JumpTo(6, 0); // nearer its end
    EXPECT_EQ(CaretText(s), "9,0");
}

// Bookmark at character 5 of line 3, then one edit.
TEST(Bookmarks, FollowInsertDeleteBreakAndJoin) {
    struct Case {
        const char* name;
        int32_t col, line;
        int op; // 0 insert "xy", 1 delete 2, 2 break, 3 join (caret at end of line 2)
        int32_t expChar, expLine;
    } cases[] = {
        {"insert at its column", 5, 3, 0, 7, 3}, {"insert after it", 6, 3, 0, 5, 3},
        {"delete before it", 3, 3, 1, 3, 3},     {"delete reaching it", 4, 3, 1, 5, 3},
        {"delete at it", 5, 3, 1, 5, 3},         {"break before it", 2, 3, 2, 3, 4},
        {"break after it", 7, 3, 2, 5, 3},       {"break above", 0, 1, 2, 5, 4},
        {"join onto line above", 4, 2, 3, 9, 2},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        SetLines(s, {"line0", "line1", "line", "0123456789", "line4"});
        s.BookMarks().SetBookMark(5, 3, 1);
        s.JumpTo(c.col, c.line);
        switch (c.op) {
        case 0:
            s.Insert("xy");
            break;
        case 1:
            s.DeleteRight(2);
            break;
        case 2:
            s.BreakLine();
            break;
        case 3:
            s.JoinLines();
            break;
        }
        TBookMarkRec rec;
        ASSERT_TRUE(s.BookMarks().FindBookMark(1, rec)) << c.name;
        EXPECT_EQ(rec.Char, c.expChar) << c.name;
        EXPECT_EQ(rec.Line, c.expLine) << c.name;
    }
}

TEST(Positions, BlockEndsFollowEditsButNotDuringColumnSelections) {
    TMemoSource s;
    s.SetOptions(s.Options() | soPersistentBlocks);
    SetLines(s, {"0123456789", "abcdefghij"});
    s.SetSelectionRect({4, 0, 6, 1});
    s.SetSelectionType(stStreamSel);
    s.JumpTo(2, 0);
    s.Insert("xx");
    EXPECT_EQ(s.BlockBegin().Char, 6);
    s.BreakLine();
    EXPECT_EQ(s.BlockBegin().Line, 1);
    EXPECT_EQ(s.BlockBegin().Char, 4);
    EXPECT_EQ(s.BlockEnd().Line, 2);
    s.JoinLines();
    EXPECT_EQ(s.BlockBegin().Line, 0);
    EXPECT_EQ(s.BlockBegin().Char, 6);

    s.SetSelectionType(stBlockSel);
    s.JumpTo(0, 0);
    s.Insert("zz");
    EXPECT_EQ(s.BlockBegin().Char, 6);

    s.JumpTo(1, 0);
    TPosition* copy = s.CopyPosition(s.Caret());
    s.JumpTo(0, 0);
    s.BreakLine();
    EXPECT_EQ(copy->Line, 1);
    EXPECT_EQ(copy->Char, 1);
    s.RestorePosition(copy);
    EXPECT_EQ(CaretText(s), "1,1");
}

TEST(LinesView, DeletingALineKeepsBookmarksAndCaretWithTheirText) {
    TMemoSource s;
    SetLines(s, {"l0", "l1", "l2", "l3", "l4"});
    s.BookMarks().SetBookMark(1, 2, 1);
    s.BookMarks().SetBookMark(1, 4, 2);
    s.JumpTo(1, 4);
    s.Lines().Delete(2);
    EXPECT_EQ(Text(s), "l0|l1|l3|l4");
    EXPECT_EQ(CaretText(s), "1,3");
    TBookMarkRec rec;
    EXPECT_FALSE(s.BookMarks().FindBookMark(1, rec));
    ASSERT_TRUE(s.BookMarks().FindBookMark(2, rec));
    EXPECT_EQ(rec.Line, 3);
    s.Lines().Insert(0, "new");
    ASSERT_TRUE(s.BookMarks().FindBookMark(2, rec));
    EXPECT_EQ(rec.Line, 4);
    EXPECT_EQ(CaretText(s), "1,4");
}

TEST(LinesView, ChangesCannotBeUndoneAndTabsShowExpanded) {
    TMemoSource s;
    s.SetOptions(s.Options() | soUseTabCharacter);
    SetLines(s, {"a", "b"});
    s.JumpTo(1, 0);
    s.Insert("x");
    ASSERT_TRUE(s.UndoAvailable());
    s.Lines().Put(1, "\tc");
    EXPECT_FALSE(s.UndoAvailable());
    EXPECT_TRUE(s.Modified());
    EXPECT_EQ(s.Lines().GetText(), "ax\r\n\tc");
    EXPECT_EQ(s.Lines().Get(1), std::string(9, ' ') + "c");
}

TEST(CollapsedBlocks, VisibleIndexesAndNestedExpansion) {
    TMemoSource s;
    SetLines(s, {"h0", "a", "h2", "b", "c", "d", "e"});
    for (int32_t l : {1, 2, 3, 4})
        s.Strings().Item(l)->Set(isHidden, true);
    s.SetCollapseState(2, csCollapsed);
    s.SetCollapseState(0, csCollapsed);
    EXPECT_EQ(s.RealToVisibleIndex(5), 1);
    EXPECT_EQ(s.VisibleToRealIndex(1), 5);
    s.SetCollapseState(0, csExpanded);
    EXPECT_EQ(s.GetCollapseState(2), csExpanded);
    EXPECT_EQ(s.RealToVisibleIndex(5), 5);

    NotificationLog log;
    log.Attach(s);
    s.SetCollapseState(99, csCollapsed);
    EXPECT_TRUE(log.entries.empty());
}

TEST(CollapsedBlocks, RealAndVisibleIndexConversions) {
    TVisibleLinesList list;
    EXPECT_EQ(list.RealToVisibleIndex(6), 6);
    EXPECT_EQ(list.VisibleToRealIndex(6), 6);
    list.SetLineVisible(4, false);
    list.SetLineVisible(5, false);
    EXPECT_EQ(list.RealToVisibleIndex(6), 4);
    EXPECT_EQ(list.VisibleToRealIndex(4), 6);
    EXPECT_EQ(list.VisibleToRealIndex(3), 3);
}

TEST(LinesView, AssignAndSetTextReplaceTheText) {
    TMemoSource s;
    s.LoadFromStrings({"x"});
    s.JumpTo(1, 0);
    s.Insert("y");
    TStringList list;
    list.Add("one");
    list.Add("two");
    s.Lines().Assign(&list);
    EXPECT_EQ(Text(s), "one|two");
    EXPECT_EQ(CaretText(s), "0,0");
    EXPECT_FALSE(s.UndoAvailable());
    s.Lines().SetText("a  \r\nb\tc"); // a text load: tabs become blanks, trailing blanks go
    EXPECT_EQ(Text(s), "a|b       c");
    EXPECT_EQ(s.Lines().Count(), 2);
}

TEST(Streaming, PublishedPropertiesRoundTrip) {
    TMemoSource a;
    a.SetOptions(a.Options() | soUseTabCharacter);
    a.SetTabStops("4,8");
    a.SetBlockIndent(3);
    a.SetOutFormat(ofUnix);
    a.Lines().SetText("one\r\ntwo");
    const std::string text = ObjectToText(&a);
    EXPECT_EQ(text.find("BlockOption"), std::string::npos) << text; // defaults are left out
    EXPECT_NE(text.find("TabStops"), std::string::npos) << text;

    TMemoSource b;
    ObjectFromText(text, &b);
    EXPECT_EQ(b.Options(), a.Options());
    EXPECT_EQ(b.TabStops(), "4,8");
    EXPECT_EQ(b.BlockIndent(), 3);
    EXPECT_EQ(b.OutFormat(), ofUnix);
    EXPECT_EQ(Text(b), "one|two");
    EXPECT_FALSE(b.Modified());
    EXPECT_FALSE(b.UndoAvailable());
}

TEST(UpdateBrackets, FoundTextIsMarkedUntilTheNextChange) {
    TMemoSource s;
    SetLines(s, {"a", "b", "find me", "d"});
    NotificationLog log;
    log.Attach(s);
    s.SetFoundRect({0, 2, 4, 2});
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].state, msFoundRectChanged);
    EXPECT_EQ(log.entries[0].first, 2);
    EXPECT_EQ(log.entries[0].last, 2);
    s.CursorRight();
    EXPECT_TRUE(s.FoundRect() == TMemoRect());
    EXPECT_TRUE(log.entries.back().state & msFoundRectChanged);
}

TEST(Bookmarks, ListQueries) {
    TMemoBookMarkList list;
    list.SetBookMark(5, 3, 1);
    list.SetBookMark(5, 3, 1); // an equal record is not added twice
    list.SetBookMark(2, 3, 0);
    list.SetBookMark(9, 3, 4);
    list.SetBookMark(0, 7, 2);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetBookMarkForLine(3), 0); // bookmark 0 looks like none
    EXPECT_EQ(list.GetBookMarkForLine(7), 2);
    EXPECT_EQ(list.GetBookmarkFromRange(3, 3, 9), 1);
    std::vector<TBookMarkRec> found;
    list.GetBookmarksFromRange(3, 2, 10, found);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[2].Number, 4);
    int32_t line = -1;
    EXPECT_TRUE(list.ClearBookMark(2, line));
    EXPECT_EQ(line, 7);
    EXPECT_FALSE(list.ClearBookMark(2, line));
    TBookMarkRec rec;
    EXPECT_TRUE(list.FindBookMark(4, rec));
    EXPECT_EQ(rec.Char, 9);
}
