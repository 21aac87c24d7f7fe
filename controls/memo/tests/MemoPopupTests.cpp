// The memo's completion list, hint box and code templates, shown in the family's popup list box
// on real windows and driven by posted keys and the real hint timer.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoPopupList.h"
#include "controls/memo/MemoPopupListBox.h"
#include "controls/textmodel/CodeTemplates.h"

namespace {

class MemoPopups : public UiTest {
protected:
    static void SetUpTestSuite() {
        InitMemoUnit();
        RegisterBuiltinTemplateSets();
    }
    void SetUp() override {
        UiTest::SetUp();
        InstallMemoPopupListBox();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 400, 260);
        Memo = new THSMemo(Form.get());
        Memo->SetParent(Form.get());
        Memo->SetAlign(TAlign::alClient);
        Memo->SetFixedMetrics(8, 16);
        Memo->SetOptions(moThumbTracking);
        Memo->SetHintDelay(1);
        Form->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; }));
        Memo->SetFocus();
        W = Memo->Handle();
    }
    void TearDown() override {
        Form.reset();
        SetMemoPopupListMaker(nullptr);
        UiTest::TearDown();
    }
    void Completions() {
        Memo->OnHintPopup = [this](TObject*, TStrings* Items, int32_t& Kind, bool& Show) {
            ++Calls;
            Items->Add("alphabet");
            Items->Add("alpine");
            Items->Add("beta");
            Kind = 1;
            Show = true;
        };
    }
    // Types "obj." and waits for the list the hint timer opens under the caret.
    void OpenList() {
        Memo->SetText("obj");
        Memo->GetSource()->JumpTo(3, 0);
        PostChars(W, ".");
        ASSERT_TRUE(PumpUntil([&] { return Memo->PopupListVisible(); })) << Memo->GetText();
    }
    std::unique_ptr<TForm> Form;
    THSMemo* Memo = nullptr;
    HWND W = nullptr;
    int Calls = 0;
};

TEST_F(MemoPopups, TypingNarrowsTheListAndTheChoiceReplacesWhatWasTyped) {
    Completions();
    OpenList();
    EXPECT_EQ(Memo->HintPos().x, 4);
    PostChars(W, "alp");
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "obj.alp"; })) << Memo->GetText();
    EXPECT_EQ(Memo->PopupListBox()->ItemIndex(), 0);
    PostChars(W, "i");
    ASSERT_TRUE(PumpUntil([&] { return Memo->PopupListBox()->ItemIndex() == 1; }));
    PostKey(W, VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "obj.alpine"; })) << Memo->GetText();
    EXPECT_EQ(Memo->CaretChar(), 10);
    EXPECT_FALSE(Memo->PopupListVisible());
    // The choice is one step of undo.
    Memo->Undo();
    EXPECT_EQ(Memo->GetText(), "obj.alpi");
}

TEST_F(MemoPopups, KeysThatCloseTheList) {
    struct Case {
        const char* Name;
        std::function<void(HWND)> Keys;
        const char* Text;
        int32_t Caret;
    } Cases[] = {
        {"Enter accepts", [](HWND W) { PostKey(W, VK_RETURN); }, "obj.alphabet", 12},
        {"Esc drops", [](HWND W) { PostKey(W, VK_ESCAPE); }, "obj.al", 6},
        {"Left drops and moves", [](HWND W) { PostKey(W, VK_LEFT); }, "obj.al", 5},
        {"a dot accepts and is typed", [](HWND W) { PostChars(W, "."); }, "obj.alphabet.", 13},
        {"going left of the start drops",
         [](HWND W) {
             PostKey(W, VK_BACK);
             PostKey(W, VK_BACK);
             PostKey(W, VK_BACK);
         },
         "obj", 3},
    };
    Completions();
    for (const Case& C : Cases) {
        OpenList();
        PostChars(W, "al");
        ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "obj.al"; })) << C.Name;
        C.Keys(W);
        EXPECT_TRUE(PumpUntil([&] { return Memo->GetText() == C.Text && !Memo->PopupListVisible(); }))
            << C.Name << ": " << Memo->GetText();
        EXPECT_EQ(Memo->CaretChar(), C.Caret) << C.Name;
        Memo->FreePopupListBox();
    }
}

TEST_F(MemoPopups, TheTimerShowsNothingUnlessTheHandlerOffersSomethingAtTheSameCaret) {
    // Without a handler no timer runs.
    Memo->SetText("obj");
    Memo->GetSource()->JumpTo(3, 0);
    PostChars(W, ".");
    PumpUntil([] { return false; }, 60);
    EXPECT_FALSE(Memo->PopupListVisible());

    // A handler that shows nothing, or an empty list.
    Memo->OnHintPopup = [this](TObject*, TStrings*, int32_t& Kind, bool& Show) {
        ++Calls;
        Kind = 1;
        Show = true;
    };
    PostChars(W, "x");
    ASSERT_TRUE(PumpUntil([&] { return Calls == 1; }));
    PumpUntil([] { return false; }, 30);
    EXPECT_FALSE(Memo->PopupListVisible());

    // The caret moved away before the timer: the handler is not even asked.
    Completions();
    Calls = 0;
    Memo->SetHintDelay(150);
    PostChars(W, "y");
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "obj.xy"; }));
    Memo->GetSource()->JumpTo(0, 0);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Calls, 0);
    EXPECT_FALSE(Memo->PopupListVisible());

    // Any kind but 1 shows the first item as a hint under the caret.
    Memo->OnHintPopup = [](TObject*, TStrings* Items, int32_t& Kind, bool& Show) {
        Items->Add("(int Count, bool Fast)");
        Kind = 0;
        Show = true;
    };
    Memo->SetHintDelay(1);
    Memo->GetSource()->JumpTo(6, 0);
    PostChars(W, "(");
    ASSERT_TRUE(PumpUntil([&] { return Memo->PopupHint() && Memo->PopupHint()->Visible(); }));
    EXPECT_FALSE(Memo->PopupListVisible());
    Memo->KillHintTimer();
    EXPECT_FALSE(Memo->PopupHint()->Visible());
}

class MemoTemplates : public MemoPopups {
protected:
    void SetUp() override {
        MemoPopups::SetUp();
        Memo->SetTemplatesType("Custom");
        TMemoCodeTemplates& T = GetCodeTemplates(*Memo->GetSource());
        T.Clear();
        T.AddTemplate("fori", "counted loop", "for (;;) {\r\n  |\r\n}");
        T.AddTemplate("forin", "loop over", "for (| in ) {}");
        T.AddTemplate("while", "while loop", "while (|) {\r\n}");
    }
};

TEST_F(MemoTemplates, AWholeNameInsertsAtOnceAndPutsTheCaretAtTheMarker) {
    struct Case {
        const char* Line;
        int32_t Caret;
        const char* Text;
        POINT After;
    } Cases[] = {
        // The text model keeps no trailing blanks; the caret still goes to the marker's column.
        {"fori", 4, "for (;;) {\r\n\r\n}", {2, 1}},
        {"  while", 7, "  while () {\r\n  }", {9, 0}},
        {"x = forin", 9, "x = for ( in ) {}", {9, 0}},
    };
    for (const Case& C : Cases) {
        Memo->SetText(C.Line);
        Memo->GetSource()->JumpTo(C.Caret, 0);
        Memo->ShowCodeTemplates();
        EXPECT_EQ(Memo->GetText(), C.Text) << C.Line;
        EXPECT_EQ(Memo->CaretChar(), C.After.x) << C.Line;
        EXPECT_EQ(Memo->CaretLine(), C.After.y) << C.Line;
        EXPECT_FALSE(Memo->PopupListVisible()) << C.Line;
    }
}

TEST_F(MemoTemplates, APrefixOpensTheListAndNoneDoesNothing) {
    Memo->SetText("fo");
    Memo->GetSource()->JumpTo(2, 0);
    Memo->ShowCodeTemplates();
    ASSERT_TRUE(Memo->PopupListVisible());
    EXPECT_EQ(Memo->TemplateList().Count(), 2);
    PostKey(W, VK_DOWN);
    PostKey(W, VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "for ( in ) {}"; })) << Memo->GetText();
    EXPECT_EQ(Memo->CaretChar(), 5);

    Memo->SetTemplatesType("None");
    Memo->SetText("fori");
    Memo->GetSource()->JumpTo(4, 0);
    Memo->ShowCodeTemplates();
    EXPECT_EQ(Memo->GetText(), "fori");
    EXPECT_EQ(Memo->GetSource()->SelectionType(), stNotSelected);
}

TEST_F(MemoTemplates, TheWordAtTheCaretIsMarkedOnlyAtAWordsEdge) {
    struct Case {
        const char* Line;
        int32_t Caret;
        const char* Marked;
    } Cases[] = {
        {"abc def", 3, "abc"}, // right after a word
        {"abc def", 1, ""},    // between two word characters
        {"  abc", 2, "abc"},   // at the first word character of an indented line
        {"abc", 6, "abc"},     // beyond the end of a line that ends in a word
        {"abc def", 4, ""},    // at the start of a word that is not the first
    };
    for (const Case& C : Cases) {
        Memo->SetText(C.Line);
        Memo->GetSource()->JumpTo(C.Caret, 0);
        Memo->GetSource()->ClearSelection();
        Memo->MarkWordOnTemplate();
        EXPECT_EQ(Memo->GetSelText(), C.Marked) << C.Line << " @" << C.Caret;
        EXPECT_EQ(Memo->CaretChar(), C.Caret) << C.Line;
    }
}

} // namespace
