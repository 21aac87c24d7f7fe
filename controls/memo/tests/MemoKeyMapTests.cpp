// The five key maps: which command a key runs in which state, and scripted key sequences on a
// document.
#include <gtest/gtest.h>

#include <optional>

#include "controls/foundation/KeyMaps.h"
#include "controls/memo/KeyMapTables.h"
#include "controls/memo/Memo.h"

namespace {

class TKeyMemo : public THSMemo {
public:
    TKeyMemo() : THSMemo(nullptr) {}
    using THSMemo::KeyDown;
};

struct KeyMaps : ::testing::Test {
    static void SetUpTestSuite() { InitMemoUnit(); }
    void SetUp() override {
        Memo.SetFixedMetrics(8, 16);
        Memo.SetBounds(0, 0, 400, 160);
    }
    // Presses a key; answers true when the key map took it.
    bool Press(WORD Key, TShiftState Shift = 0) {
        WORD K = Key;
        Memo.KeyDown(K, Shift);
        return K == 0;
    }
    TKeyMemo Memo;
};

// The command of the binding that wins for (Key, Shift, State): the last matching row.
std::optional<TMemoKeyBinding> Lookup(const std::string& Map, WORD Key, TShiftState Shift, uint8_t State) {
    std::optional<TMemoKeyBinding> Found;
    for (const auto& B : MemoKeyMapBindings(Map))
        if (B.Key == Key && B.Shift == Shift && (B.State == State || B.State == AnyKeyState))
            Found = B;
    return Found;
}

TEST(KeyMapTables, EachMapBindsTheExpectedCommands) {
    struct Case {
        const char* Map;
        WORD Key;
        TShiftState Shift;
        uint8_t State;
        const char* Command;
        uint8_t NewState;
    } Cases[] = {
        {"Default", 'K', ssCtrl, 0, "", 1},
        {"Default", 'B', 0, 1, "MarkBlockBegin", 0},
        {"Default", 'Z', ssCtrl, 0, "Undo", 0},
        {"Default", '3', ssCtrl, 0, "GoToBookMark3", 0},
        {"Default", '3', ssCtrl, 2, "GoToBookMark3", 0},
        {"Default", VK_UP, 0, 6, "MemoCursorUp", 0},
        {"Default", 'G', ssCtrl, 5, "PromptedGotoLine", 0},
        {"Default", VK_DELETE, ssCtrl, 0, "DeleteBlock", 0},
        {"Classic", 'A', ssCtrl, 0, "SelectAll", 0},
        {"Classic", 'D', ssCtrl, 0, "CursorRight", 0},
        {"Classic", VK_HOME, ssCtrl, 3, "JumpToScreenTop", 0},
        {"Classic", '4', 0, 1, "ToggleBookMark4", 0},
        {"Brief", 'A', ssAlt, 0, "MarkBriefRight", 6},
        {"Brief", VK_RIGHT, 0, 6, "MarkRight", 6},
        {"Brief", VK_ESCAPE, 0, 7, "ClearSelection", 0},
        {"Brief", VK_HOME, 0, 0, "MemoJumpToLineBegin", 8},
        {"Brief", VK_HOME, 0, 8, "JumpToFileBegin", 0},
        {"Brief", 'J', ssAlt, 0, "", 3},
        {"Brief", '7', ssAlt, 3, "GoToBookMark7", 0},
        {"Brief", VK_MULTIPLY, 0, 0, "Undo", 0},
        {"Epsilon", 'X', ssCtrl, 0, "", 4},
        {"Epsilon", '0', ssCtrl, 4, "ClearKeyList", 0},
        {"Epsilon", 0x3C, ssAlt, 0, "JumpToFileBegin", 0},
        {"Epsilon", VK_HOME, 0, 0, "JumpToScreenTop", 0},
        {"Visual Studio", 'E', ssCtrl, 1, "LowerCaseWord", 0},
        {"Visual Studio", 'F', ssCtrl, 1, "UpperCaseWord", 0},
        {"Visual Studio", 0x5B, 0, 2, "NextBracket", 0},
        {"Visual Studio", 'H', ssCtrl, 0, "ShowReplaceDialog", 0},
    };
    for (const auto& C : Cases) {
        const auto B = Lookup(C.Map, C.Key, C.Shift, C.State);
        ASSERT_TRUE(B) << C.Map << " " << C.Key << " " << C.Shift << " " << int(C.State);
        EXPECT_EQ(B->Command, C.Command) << C.Map << " " << C.Key;
        EXPECT_EQ(B->NewState, C.NewState) << C.Map << " " << C.Key;
    }
    // Keys without a row in a state fall through.
    EXPECT_FALSE(Lookup("Default", 'Z', ssCtrl, 1));
    EXPECT_FALSE(Lookup("Brief", 'B', 0, 1));
    EXPECT_TRUE(MemoKeyMapBindings("No such map").empty());
}

TEST(KeyMapTables, EveryCommandRuns) {
    for (const auto& Map : MemoKeyMapNames()) {
        for (const auto& B : MemoKeyMapBindings(Map)) {
            if (!B.Command.empty()) {
                EXPECT_TRUE(MemoKeyCommandKnown(B.Command)) << Map << ": " << B.Command;
            }
        }
    }
}

TEST(KeyMapTables, TheOpenBracketRowFollowsTheLayout) {
    const SHORT Scan = VkKeyScanA('[');
    ASSERT_NE(Scan, -1);
    const auto B = Lookup("Default", WORD(Scan & 0xFF), ssCtrl, 0);
    ASSERT_TRUE(B);
    EXPECT_EQ(B->Command, "FindNextBracket");
}

TEST_F(KeyMaps, DefaultChordMarksABlockAndAnUnknownSecondKeyFallsThrough) {
    Memo.GetSource()->SetUndoLimit(100);
    Memo.GetSource()->SetOptions(Memo.GetSource()->Options() | soPersistentBlocks);
    Memo.SetText("alpha beta\r\ngamma");
    Memo.SetSelection(stStreamSel, 0, 0, 2, 1);
    Memo.GetSource()->JumpTo(6, 0);
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_EQ(Memo.KeyState(), 1);
    EXPECT_TRUE(Press('B'));
    EXPECT_EQ(Memo.KeyState(), 0);
    EXPECT_EQ(Memo.GetSelText(), "beta\r\nga");
    Memo.GetSource()->JumpTo(3, 1);
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_EQ(Memo.GetSelText(), "beta\r\ngam");
    // Ctrl+K then Ctrl+Z: no row in state 1, so nothing runs and the key goes on.
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_FALSE(Press('Z', ssCtrl));
    EXPECT_EQ(Memo.KeyState(), 0);
    EXPECT_EQ(Memo.GetText(), "alpha beta\r\ngamma");
    // Ctrl+Y deletes the line.
    EXPECT_TRUE(Press('Y', ssCtrl));
    EXPECT_EQ(Memo.GetText(), "alpha beta\r\n");
}

TEST_F(KeyMaps, ClassicCtrlASelectsAllAndCtrlDMovesRight) {
    Memo.SetKeyMapping("Classic");
    Memo.SetText("one\r\ntwo");
    EXPECT_TRUE(Press('D', ssCtrl));
    EXPECT_EQ(Memo.CaretChar(), 1);
    EXPECT_TRUE(Press('A', ssCtrl));
    EXPECT_EQ(Memo.GetSelText(), "one\r\ntwo");
}

TEST_F(KeyMaps, VisualStudioBlockChordsChangeTheCaseOfTheWord) {
    Memo.SetKeyMapping("Visual Studio");
    Memo.SetText("Mixed Case");
    Memo.GetSource()->JumpTo(1, 0);
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_TRUE(Press('E', ssCtrl));
    EXPECT_EQ(Memo.GetText(), "mixed Case");
    EXPECT_TRUE(Press('K', ssCtrl));
    EXPECT_TRUE(Press('F', ssCtrl));
    EXPECT_EQ(Memo.GetText(), "MIXED Case");
}

TEST_F(KeyMaps, BriefMarkingModeAndDoubleHome) {
    Memo.SetKeyMapping("Brief");
    Memo.SetText("abcdef\r\nghij");
    Memo.GetSource()->JumpTo(1, 0);
    EXPECT_TRUE(Press('A', ssAlt));
    EXPECT_EQ(Memo.KeyState(), 6);
    EXPECT_TRUE(Press(VK_RIGHT));
    EXPECT_TRUE(Press(VK_RIGHT));
    EXPECT_EQ(Memo.KeyState(), 6);
    EXPECT_FALSE(Memo.GetSelText().empty());
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_EQ(Memo.KeyState(), 0);
    EXPECT_EQ(Memo.GetSelText(), "");

    Memo.GetSource()->JumpTo(3, 1);
    EXPECT_TRUE(Press(VK_HOME));
    EXPECT_EQ(Memo.KeyState(), 8);
    EXPECT_EQ(Memo.CaretChar(), 0);
    EXPECT_EQ(Memo.CaretLine(), 1);
    EXPECT_TRUE(Press(VK_HOME));
    EXPECT_EQ(Memo.KeyState(), 0);
    EXPECT_EQ(Memo.CaretLine(), 0);
}

TEST_F(KeyMaps, ArrowsMoveInEveryStateAndEnterIsLeftAloneWithoutWantReturns) {
    Memo.SetText("ab\r\ncd");
    EXPECT_TRUE(Press('Q', ssCtrl));
    EXPECT_TRUE(Press(VK_DOWN));
    EXPECT_EQ(Memo.CaretLine(), 1);
    EXPECT_EQ(Memo.KeyState(), 0);
    Memo.SetWantReturns(false);
    EXPECT_FALSE(Press(VK_RETURN));
    EXPECT_EQ(Memo.GetText(), "ab\r\ncd");
    // With Ctrl, Enter is looked up bare.
    EXPECT_TRUE(Press(VK_RETURN, ssCtrl));
    EXPECT_EQ(Memo.GetSource()->Lines().Count(), 3);
}

TEST_F(KeyMaps, EpsilonCtrlXCtrl0EmptiesTheKeyListUntilTheMapChanges) {
    Memo.SetKeyMapping("Epsilon");
    Memo.SetText("abc");
    EXPECT_TRUE(Press('X', ssCtrl));
    EXPECT_EQ(Memo.KeyState(), 4);
    EXPECT_TRUE(Press('0', ssCtrl));
    EXPECT_EQ(Memo.KeyState(), 0);
    EXPECT_EQ(Memo.KeyList().Count(), 0);
    EXPECT_FALSE(Press(VK_RIGHT));
    Memo.SetKeyMapping("Default");
    EXPECT_TRUE(Press(VK_RIGHT));
    EXPECT_EQ(Memo.CaretChar(), 1);
}

TEST_F(KeyMaps, AnUnknownNameGivesTheDefaultMap) {
    Memo.SetKeyMapping("Nonesuch");
    EXPECT_EQ(int(Memo.KeyList().Count()), int(MemoKeyMapBindings("Default").size()));
}

} // namespace
