#include <gtest/gtest.h>

#include <functional>

#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
struct Snapshot {
    std::string text, caret;
    bool operator==(const Snapshot& o) const { return text == o.text && caret == o.caret; }
};
Snapshot Take(const TCustomMemoSource& s) {
    return {Text(s), CaretText(s)};
}
std::ostream& operator<<(std::ostream& os, const Snapshot& s) {
    return os << "[" << s.text << "] @" << s.caret;
}

void TypeCommand(TCustomMemoSource& s, const std::string& c) {
    s.BeginUpdate(5);
    s.Insert(c);
    s.Navigate(0, int32_t(c.size()));
    s.EndUpdate();
}
} // namespace

TEST(UndoSession, EveryPrimitiveUndoesAndRedoesToTheExactTextAndCaret) {
    TMemoSource s;
    s.KeepTrailingBlanks = true;
    s.SetOptions((s.Options() | soUseTabCharacter | soBeyondFileEnd) & ~TStringsOptions(soGroupUndo));
    s.LoadFromString("first line  \r\n\tsecond\r\nthird");
    ASSERT_FALSE(s.Modified());

    const std::vector<std::pair<const char*, std::function<void(TMemoSource&)>>> steps = {
        {"jump", [](TMemoSource& m) { m.JumpTo(5, 0); }},
        {"insert", [](TMemoSource& m) { m.Insert("XY"); }},
        {"move right", [](TMemoSource& m) { m.Navigate(0, 2); }},
        {"break", [](TMemoSource& m) { m.BreakLine(); }},
        {"down", [](TMemoSource& m) { m.CursorDown(); }},
        {"into tab", [](TMemoSource& m) { m.JumpTo(4, 2); }},
        {"insert in tab", [](TMemoSource& m) { m.Insert("ab"); }},
        {"delete in tab", [](TMemoSource& m) { m.JumpTo(6, 2); }},
        {"delete", [](TMemoSource& m) { m.DeleteRight(3); }},
        {"beyond end", [](TMemoSource& m) { m.JumpTo(20, 3); }},
        {"insert padded", [](TMemoSource& m) { m.Insert("!"); }},
        {"past line 0", [](TMemoSource& m) { m.JumpTo(12, 0); }},
        {"join padded", [](TMemoSource& m) { m.JoinLines(); }},
        {"line start", [](TMemoSource& m) { m.JumpTo(0, 0); }},
        {"break at 0", [](TMemoSource& m) { m.BreakLine(); }},
        {"delete rest", [](TMemoSource& m) { m.DeleteRight(100); }},
        {"insert tab text", [](TMemoSource& m) { m.Insert("\tT"); }},
        {"join at end", [](TMemoSource& m) { m.JumpTo(0, 1); }},
        {"join", [](TMemoSource& m) { m.JoinLines(); }},
        {"below the end", [](TMemoSource& m) { m.JumpTo(3, 7); }},
        {"insert below the end", [](TMemoSource& m) { m.Insert("far"); }},
    };
    std::vector<Snapshot> states{Take(s)};
    for (const auto& [name, step] : steps) {
        step(s);
        if (!(Take(s) == states.back()))
            states.push_back(Take(s));
    }
    ASSERT_GT(states.size(), 15u);
    EXPECT_TRUE(s.Modified());
    for (size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(s.UndoAvailable()) << i;
        s.Undo();
        ASSERT_EQ(Take(s), states[i]) << "undo to state " << i;
    }
    EXPECT_FALSE(s.UndoAvailable());
    EXPECT_FALSE(s.Modified());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(s.RedoAvailable()) << i;
        s.Redo();
        ASSERT_EQ(Take(s), states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(s.RedoAvailable());
    EXPECT_TRUE(s.Modified());
    // and all the way back once more: the records made by redo undo as well
    while (s.UndoAvailable())
        s.Undo();
    EXPECT_EQ(Take(s), states[0]);
    EXPECT_FALSE(s.Modified());
}

TEST(UndoGrouping, RunsOfTheSameCommandGoTogetherWithGroupUndo) {
    struct Case {
        bool group;
        bool moveBetween;
        const char* afterUndo;
    } cases[] = {
        {false, false, "ab"},
        {true, false, ""},
        {true, true, "ab"},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        TStringsOptions o = s.Options() & ~TStringsOptions(soGroupUndo);
        s.SetOptions(c.group ? (o | soGroupUndo) : o);
        TypeCommand(s, "a");
        TypeCommand(s, "b");
        if (c.moveBetween) {
            s.CursorLeft();
            s.CursorRight();
        }
        TypeCommand(s, "c");
        s.Undo();
        EXPECT_EQ(Text(s), c.afterUndo) << c.group << c.moveBetween;
        EXPECT_EQ(s.GetCurChar(), int32_t(std::string(c.afterUndo).size()));
        s.Redo();
        EXPECT_EQ(Text(s), "abc");
        EXPECT_EQ(s.GetCurChar(), 3);
    }
}

TEST(UndoGrouping, InsertThatExpandsATabIsOneStep) {
    TMemoSource s;
    s.SetOptions((s.Options() | soUseTabCharacter) & ~TStringsOptions(soGroupUndo));
    s.LoadFromStrings({"x", "\ty"});
    TypeCommand(s, "q"); // an earlier step of the same reason must stay
    s.JumpTo(4, 1);
    s.Insert("z");
    ASSERT_EQ(Text(s), "qx|    z\ty");
    s.Undo();
    EXPECT_EQ(Text(s), "qx|\ty");
    EXPECT_EQ(CaretText(s), "4,1");
}

TEST(Modified, FollowsTheSavedPointThroughUndoAndRedo) {
    TMemoSource s;
    s.SetOptions(s.Options() & ~TStringsOptions(soGroupUndo));
    s.LoadFromString("abc");
    EXPECT_FALSE(s.Modified());
    s.Insert("x");
    EXPECT_TRUE(s.Modified());
    s.SetModified(false); // saved here: "xabc"
    s.Insert("y");
    EXPECT_TRUE(s.Modified());
    s.Undo();
    EXPECT_EQ(Text(s), "xabc");
    EXPECT_FALSE(s.Modified());
    s.Undo();
    EXPECT_EQ(Text(s), "abc");
    EXPECT_TRUE(s.Modified());
    s.Redo();
    EXPECT_FALSE(s.Modified());
    s.Redo();
    EXPECT_TRUE(s.Modified());
    s.Undo();
    s.Undo();
    s.Insert("z"); // a new branch: the saved text can no longer be reached
    EXPECT_TRUE(s.Modified());
    s.Undo();
    EXPECT_EQ(Text(s), "abc");
    EXPECT_TRUE(s.Modified());
    s.Redo();
    EXPECT_EQ(Text(s), "zabc");
    EXPECT_TRUE(s.Modified());
}

TEST(Modified, ForcedModifiedHoldsUntilSaved) {
    TMemoSource s;
    s.LoadFromString("abc");
    s.SetModified(true);
    s.Insert("x");
    s.Undo();
    EXPECT_TRUE(s.Modified());
    s.SetModified(false);
    EXPECT_FALSE(s.Modified());
}

TEST(Modified, StaysTrueWhenTheSavedPointWasTrimmedAway) {
    TMemoSource s;
    s.SetOptions(s.Options() & ~TStringsOptions(soGroupUndo));
    s.SetUndoLimit(10);
    s.LoadFromString("");
    for (int i = 0; i < 150; ++i)
        s.Insert("x");
    while (s.UndoAvailable())
        s.Undo();
    EXPECT_NE(Text(s), "");
    EXPECT_TRUE(s.Modified());
}

TEST(UndoLimit, CutsBackToTheLimitAfterHundredExtra) {
    for (int32_t limit : {10, 0}) {
        TMemoSource s;
        s.LoadFromStrings({"abc"});
        s.SetOptions(s.Options() | soBeyondFileEnd);
        s.SetUndoLimit(limit);
        for (int i = 0; i < 111; ++i)
            s.JumpTo(i % 2 ? 0 : 1, 0);
        EXPECT_EQ(s.UndoList().Count(), 111);
        s.JumpTo(5, 0);
        EXPECT_EQ(s.UndoList().Count(), limit ? 11 : 112) << limit;
    }
}

TEST(UndoLimit, NeverSplitsAnUndoBlock) {
    TMemoSource s;
    s.LoadFromStrings({"abc"});
    s.SetUndoLimit(10);
    s.BeginUndoBlock();
    for (int i = 0; i < 115; ++i)
        s.JumpTo(i % 2 ? 0 : 1, 0);
    s.EndUndoBlock();
    ASSERT_EQ(s.UndoList().Count(), 116);
    int32_t before = s.UndoList().Count();
    for (int i = 0; i < 20 && s.UndoList().Count() == before + i; ++i)
        s.JumpTo(i % 2 ? 0 : 2, 0);
    // The first cut that is possible falls right after the block's end marker.
    EXPECT_EQ(s.UndoList().Count(), 11);
    for (int32_t i = 0; i < s.UndoList().Count(); ++i)
        EXPECT_FALSE(s.UndoList()[i].InBlock);
}

TEST(UndoState, SwitchesAndBlockers) {
    TMemoSource s;
    s.LoadFromStrings({"abc"});
    s.Insert("x");
    s.Undo();
    EXPECT_TRUE(s.RedoAvailable());
    s.SetAllowUndo(false);
    EXPECT_FALSE(s.UndoAvailable());
    EXPECT_FALSE(s.RedoAvailable());
    s.SetAllowUndo(true);

    s.Insert("y");
    s.SetROnly(true);
    s.Undo();
    EXPECT_EQ(Text(s), "yabc");
    s.SetROnly(false);
    s.Undo();
    s.SetROnly(true);
    s.Redo();
    EXPECT_EQ(Text(s), "abc");
    s.SetROnly(false);
    EXPECT_TRUE(s.RedoAvailable());
    s.CursorRight(); // a caret move discards what could be redone
    EXPECT_FALSE(s.RedoAvailable());
}

TEST(UndoGrouping, BlockWhoseLastBracketRecordedNothingIsStillOneStep) {
    TMemoSource s;
    s.SetOptions(s.Options() & ~TStringsOptions(soGroupUndo));
    s.LoadFromString("abc");
    s.BeginUndoBlock();
    TypeCommand(s, "x");
    TypeCommand(s, "y");
    s.BeginUpdate(2); // a bracket that records nothing, as a caret put where it already is
    s.EndUpdate();
    s.EndUndoBlock();
    ASSERT_EQ(Text(s), "xyabc");
    s.Undo();
    EXPECT_EQ(Text(s), "abc");
    s.Redo();
    EXPECT_EQ(Text(s), "xyabc");
}
