#include <gtest/gtest.h>

#include <vector>

#include "DialogTestUtil.h"
#include "controls/foundation/InputDialogs.h"
#include "controls/textmodel/dialogs/SearchDialogs.h"
#include "controls/textmodel/dialogs/SourceDialogs.h"

namespace {

// Stands in for the code editor's window and records what the source asks of it.
class FakeSearchWindow : public TNotModalSearchForm {
public:
    explicit FakeSearchWindow(TComponent* Owner) : TNotModalSearchForm(Owner) {
        ++Made;
        OnClose = [](TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; };
    }
    void SetActiveIndex(int Index) override { Pages.push_back(Index); }
    void SetLineText(const std::string& Text) override { LineText = Text; }
    void MakeSearchVisible(const RECT& Rect) override { Found.push_back(Rect); }
    static inline int Made = 0;
    std::vector<RECT> Found;
    std::vector<int> Pages;
    std::string LineText;
};

class SourceDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Source = std::make_unique<TMemoSource>(nullptr);
        Source->LoadFromString("alpha beta\r\ngamma beta delta\r\nomega\r\n");
    }
    void TearDown() override {
        Source.reset();
        ModalSearchAndReplace = true;
        SetNotModalSearchFormMaker(nullptr);
        delete FrmSearRepl;
        DialogTest::TearDown();
    }
    std::string CaretText() const {
        return std::to_string(Source->GetCurChar()) + "," + std::to_string(Source->GetCurLine());
    }
    std::unique_ptr<TMemoSource> Source;
};

TEST_F(SourceDialogTest, FindRunsOnOkAndNotOnCancel) {
    for (bool Confirm : {false, true}) {
        SCOPED_TRACE(Confirm ? "OK" : "Cancel");
        Source->JumpTo(0, 0);
        SetModalHook([Confirm](TCustomForm& Form) {
            auto& F = static_cast<TSrchDialog&>(Form);
            Type(F.SearText->EditHandle(), "delta");
            PostClick(Confirm ? F.OKBut : F.CancelBut);
        });
        SourceDialogs(*Source).ShowSearchDialog();
        EXPECT_EQ(GetSearchOptions()->TextToFind, Confirm ? "delta" : "alpha");
        EXPECT_EQ(Source->GetCurLine(), Confirm ? 1 : 0);
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SourceDialogTest, ReplaceAllReplacesEveryMatchAndReadOnlySourcesGetNoForm) {
    SetModalHook([](TCustomForm& Form) {
        auto& R = static_cast<TReplDialog&>(Form);
        Type(R.SearText->EditHandle(), "beta");
        Type(R.ReplText->EditHandle(), "BETA");
        PostClick(R.ReplBut);
    });
    SourceDialogs(*Source).ShowReplaceDialog();
    EXPECT_EQ(Source->Lines().GetText(), "alpha BETA\r\ngamma BETA delta\r\nomega");
    EXPECT_EQ(GetReplaceCount(*Source), 2);

    int Shown = 0;
    SetModalHook([&](TCustomForm& Form) {
        ++Shown;
        Form.SetModalResult(mrCancel);
    });
    Source->SetROnly(true);
    EXPECT_EQ(SourceDialogs(*Source).CreateReplaceDialog(), nullptr);
    SourceDialogs(*Source).ShowReplaceDialog();
    EXPECT_EQ(Shown, 0);
}

TEST_F(SourceDialogTest, EveryDialogIsOfferedToOnCreateDialog) {
    std::vector<std::string> Offered;
    TSourceDialogs& D = SourceDialogs(*Source);
    D.OnCreateDialog = [&](TObject* Sender, TForm* Form) {
        EXPECT_EQ(Sender, Source.get());
        Offered.push_back(Form->ClassName());
        Form->SetModalResult(mrCancel);
    };
    SetModalHook([](TCustomForm& Form) { Form.SetModalResult(mrCancel); });
    D.ShowSearchDialog();
    D.ShowReplaceDialog();
    D.ShowGoToLineDialog();
    EXPECT_EQ(Offered, (std::vector<std::string>{"TSrchDialog", "TReplDialog", "TInputLineForm"}));
    EXPECT_EQ(&SourceDialogs(*Source), &D);
}

TEST_F(SourceDialogTest, GoToLineMovesTheCaretToTheLineStart) {
    std::string Lines;
    for (int I = 0; I < 50; ++I)
        Lines += "line " + std::to_string(I) + "\r\n";
    Source->LoadFromString(Lines);
    struct Case {
        const char* Typed;
        std::string Caret;
    };
    for (const Case& C : {Case{"1", "0,0"}, Case{"17", "0,16"}, Case{" 30 ", "0,29"}, Case{"9999", "0,49"},
                          Case{"0", "0,0"}, Case{"-5", "0,0"}}) {
        SCOPED_TRACE(C.Typed);
        Source->JumpTo(3, 41);
        std::string Shown;
        SetModalHook([&](TCustomForm& Form) {
            auto& F = static_cast<TInputLineForm&>(Form);
            Shown = F.PropEdit->Text();
            Type(F.PropEdit->Handle(), C.Typed);
            PostKey(F.PropEdit->Handle(), VK_RETURN);
        });
        SourceDialogs(*Source).ShowGoToLineDialog();
        EXPECT_EQ(Shown, "42");
        EXPECT_EQ(CaretText(), C.Caret);
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SourceDialogTest, GoToLineRefusesTextThatIsNoNumber) {
    Source->JumpTo(2, 1);
    SetModalHook([](TCustomForm& Form) {
        auto& F = static_cast<TInputLineForm&>(Form);
        Type(F.PropEdit->Handle(), "12a");
        PostKey(F.PropEdit->Handle(), VK_RETURN);
    });
    // The refusal keeps the dialog open; the user then gives up.
    auto Saved = SetMessageBoxFunc([&](const std::string& Text, const std::string& Caption, UINT Flags) {
        Boxes.push_back({Text, Caption, Flags});
        PostKey(GetFocus(), VK_ESCAPE);
        return IDOK;
    });
    SourceDialogs(*Source).ShowGoToLineDialog();
    SetMessageBoxFunc(Saved);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "'12a' is not a valid integer value");
    EXPECT_EQ(CaretText(), "2,1");
}

TEST_F(SourceDialogTest, ReadIntegerDialogTakesCaptionPromptAndStartValue) {
    int Value = 7;
    std::string Caption, Prompt, Text;
    SetModalHook([&](TCustomForm& Form) {
        auto& F = static_cast<TInputLineForm&>(Form);
        Caption = F.Caption();
        Prompt = F.InputLabel->Caption();
        Text = F.PropEdit->Text();
        Type(F.PropEdit->Handle(), "-3");
        PostKey(F.PropEdit->Handle(), VK_RETURN);
    });
    EXPECT_TRUE(
        ReadIntegerDialog("Go to line Number", "&Enter new line number:", 0, Value, nullptr, nullptr));
    EXPECT_EQ(Caption, "Go to line Number");
    EXPECT_EQ(Prompt, "&Enter new line number:");
    EXPECT_EQ(Text, "7");
    EXPECT_EQ(Value, -3);
    SetModalHook([&](TCustomForm& Form) {
        PostKey(static_cast<TInputLineForm&>(Form).PropEdit->Handle(), VK_ESCAPE);
    });
    EXPECT_FALSE(ReadIntegerDialog("C", "P", 0, Value, nullptr, nullptr));
    EXPECT_EQ(Value, -3);
}

TEST_F(SourceDialogTest, SourceDestroyedWhileItsFormIsOpenIsLeftAlone) {
    // The answer that would run a find arrives after the source has gone.
    SetModalHook([this](TCustomForm& Form) {
        Source.reset();
        auto& F = static_cast<TSrchDialog&>(Form);
        Type(F.SearText->EditHandle(), "beta");
        PostClick(F.OKBut);
    });
    TMemoSource* Raw = Source.get();
    SourceDialogs(*Raw).ShowSearchDialog();
    EXPECT_EQ(FLastSource, nullptr);
    EXPECT_EQ(GetSearchOptions()->TextToFind, "beta");
}

TEST_F(SourceDialogTest, SmartOptionsTakeTheWordAtTheCaretAndTheSelectionAsScope) {
    struct Case {
        const char* Name;
        TPosition Caret;
        bool Select;
        TSelectionType Type;
        TSearchScope Scope;
        const char* Word;
    };
    // The stream block is (6,0)..(3,1), "beta\r\ngam"; the column block columns 1 to 5 of lines 0 and 1.
    const Case Cases[] = {
        {"no selection", {2, 1}, false, stStreamSel, ssGlobal, "gamma"},
        {"inside the block", {8, 0}, true, stStreamSel, ssSelectedText, "beta"},
        {"at its start", {6, 0}, true, stStreamSel, ssSelectedText, "beta"},
        {"at its end", {3, 1}, true, stStreamSel, ssSelectedText, "gamma"},
        {"after it", {8, 1}, true, stStreamSel, ssGlobal, "beta"},
        {"column block, outside its columns", {0, 1}, true, stBlockSel, ssGlobal, "gamma"},
        {"column block, inside", {4, 1}, true, stBlockSel, ssSelectedText, "gamma"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Source->ClearSelection();
        if (C.Select) {
            Source->SetSelectionRect(C.Type == stBlockSel ? TMemoRect{1, 0, 5, 1} : TMemoRect{6, 0, 3, 1});
            Source->SetSelectionType(C.Type);
        }
        Source->SelectionKeeping()++;
        Source->JumpTo(C.Caret.Char, C.Caret.Line);
        Source->SelectionKeeping()--;
        SourceDialogs(*Source).SmartSearchOptions();
        EXPECT_EQ(GetSearchOptions()->Scope, C.Scope);
        EXPECT_EQ(GetSearchOptions()->TextToFind, C.Word);
    }
    Source->SetOptions(Source->Options() & ~soFindTextAtCursor);
    GetSearchOptions()->TextToFind = "kept";
    SourceDialogs(*Source).SmartSearchOptions();
    EXPECT_EQ(GetSearchOptions()->TextToFind, "kept");
}

TEST_F(SourceDialogTest, NonModalWindowIsMadeOnceAndOpensOnTheAskedPage) {
    SetNotModalSearchFormMaker([](TComponent* Owner) { return new FakeSearchWindow(Owner); });
    FakeSearchWindow::Made = 0;
    ModalSearchAndReplace = false;
    int Modal = 0;
    SetModalHook([&](TCustomForm& Form) {
        ++Modal;
        Form.SetModalResult(mrCancel);
    });
    TSourceDialogs& D = SourceDialogs(*Source);
    Source->JumpTo(0, 2);
    D.ShowSearchDialog();
    D.ShowReplaceDialog();
    D.ShowGoToLineDialog();
    EXPECT_EQ(Modal, 0);
    EXPECT_EQ(FakeSearchWindow::Made, 1);
    auto* W = dynamic_cast<FakeSearchWindow*>(FrmSearRepl);
    ASSERT_NE(W, nullptr);
    EXPECT_TRUE(W->Visible());
    EXPECT_EQ(W->Pages, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(W->LineText, "3");
    EXPECT_EQ(CurrentFindSource, Source.get());

    // The window goes with the source it works on.
    Source.reset();
    EXPECT_EQ(CurrentFindSource, nullptr);
    EXPECT_TRUE(PumpUntil([] { return FrmSearRepl == nullptr; }));
}

TEST_F(SourceDialogTest, ModalFormsServeWhenNoWindowCanBeMade) {
    ModalSearchAndReplace = false;
    int Modal = 0;
    SetModalHook([&](TCustomForm& Form) {
        ++Modal;
        Form.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(SourceDialogs(*Source).CheckNotModalSearchRepl(0));
    SourceDialogs(*Source).ShowSearchDialog();
    EXPECT_EQ(Modal, 1);
    ModalSearchAndReplace = true;
    SetNotModalSearchFormMaker([](TComponent* Owner) { return new FakeSearchWindow(Owner); });
    EXPECT_FALSE(SourceDialogs(*Source).CheckNotModalSearchRepl(0));
    EXPECT_EQ(FrmSearRepl, nullptr);
}

} // namespace
