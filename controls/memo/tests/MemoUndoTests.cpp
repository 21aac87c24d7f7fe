// Editing commands undone and redone through the memo, by call and by key.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "controls/memo/Memo.h"

namespace {

TEST(MemoUndo, DeletingALineUndoesToTheSameText) {
    struct Case {
        const char* Text;
        int32_t Line, Char;
        const char* Deleted;
    } Cases[] = {
        {"one\r\ntwo\r\nthree", 1, 1, "one\r\nthree"},
        {"one\r\ntwo\r\nthree", 0, 0, "two\r\nthree"},
        {"one\r\ntwo\r\nthree", 2, 3, "one\r\ntwo\r\n"},
        {"one\r\ntwo\r\nthree", 2, 0, "one\r\ntwo\r\n"},
        {"only", 0, 2, ""},
        {"one\r\n\tindented", 1, 4, "one\r\n"},
    };
    for (const Case& C : Cases) {
        THSMemo Memo(nullptr);
        Memo.SetFixedMetrics(8, 16);
        TCustomMemoSource* S = Memo.GetSource();
        S->SetUndoLimit(100);
        Memo.SetText(C.Text);
        const std::string Before = Memo.GetText();
        S->ClearUndoBuffer();
        S->JumpTo(C.Char, C.Line);
        S->DeleteLine();
        EXPECT_EQ(Memo.GetText(), C.Deleted) << C.Text << " @" << C.Line;
        S->Undo();
        EXPECT_EQ(Memo.GetText(), Before) << C.Text << " @" << C.Line;
        EXPECT_EQ(Memo.CaretLine(), C.Line) << C.Text;
        S->Redo();
        EXPECT_EQ(Memo.GetText(), C.Deleted) << C.Text << " @" << C.Line;
        S->Undo();
        EXPECT_EQ(Memo.GetText(), Before) << C.Text << " @" << C.Line;
    }
}

// Holds a key down in the thread's keyboard state for the length of a scope.
class TKeyHeld {
public:
    explicit TKeyHeld(BYTE Key) {
        GetKeyboardState(FSaved);
        BYTE Keys[256];
        std::copy(std::begin(FSaved), std::end(FSaved), Keys);
        Keys[Key] |= 0x80;
        SetKeyboardState(Keys);
    }
    ~TKeyHeld() { SetKeyboardState(FSaved); }

private:
    BYTE FSaved[256];
};

void CtrlKey(THSMemo& Memo, WORD Key) {
    TKeyHeld Ctrl(VK_CONTROL);
    Memo.Perform(WM_KEYDOWN, Key, 0);
    Memo.Perform(WM_KEYUP, Key, 0);
}

// A new memo starts with the "Default" map: there Ctrl+Z undoes (in "Classic" it moves the caret up,
// which made a deleted last line look lost).
TEST(MemoUndo, CtrlZUndoesCtrlYOnANewMemo) {
    InitMemoUnit();
    struct Case {
        const char* Text;
        int32_t Line, Char;
        const char* Typed;
    } Cases[] = {
        {"one\r\ntwo\r\nthree", 2, 5, ""},
        {"one\r\ntwo\r\nthree", 2, 0, "xy"},
        {"one\r\ntwo\r\nthree", 1, 0, "xy"},
    };
    for (const Case& C : Cases) {
        THSMemo Memo(nullptr);
        EXPECT_EQ(Memo.KeyMapping(), "Default");
        Memo.SetFixedMetrics(8, 16);
        TCustomMemoSource* S = Memo.GetSource();
        S->SetUndoLimit(100);
        Memo.SetText(C.Text);
        S->ClearUndoBuffer();
        S->JumpTo(C.Char, C.Line);
        for (const char* P = C.Typed; *P; ++P)
            Memo.Perform(WM_CHAR, WPARAM(*P), 0);
        const std::string Before = Memo.GetText();
        CtrlKey(Memo, 'Y');
        EXPECT_NE(Memo.GetText(), Before) << C.Text << " @" << C.Line;
        CtrlKey(Memo, 'Z');
        EXPECT_EQ(Memo.GetText(), Before) << C.Text << " @" << C.Line;
        EXPECT_EQ(Memo.CaretLine(), C.Line) << C.Text << " @" << C.Line;
    }
}

} // namespace
