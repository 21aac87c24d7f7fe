#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTestUtil.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/memo/Memo.h"
#include "controls/memo/SearchReplaceForm.h"

namespace {

// A shown form whose only control is a focused memo holding Text; the caller owns the form.
THSMemo* MakeFocusedMemo(std::unique_ptr<TForm>& Form, const std::string& Text) {
    InitMemoUnit();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 560, 300);
    auto* M = new THSMemo(Form.get());
    M->SetParent(Form.get());
    M->SetBounds(0, 0, 540, 260);
    M->SetBorderStyle(TBorderStyle::bsNone);
    M->SetFixedMetrics(8, 16);
    M->GetSource()->LoadFromString(Text);
    Form->Show();
    for (int I = 0; I < 200 && !IsWindowVisible(Form->Handle()); ++I)
        Application->ProcessMessages();
    M->SetFocus();
    Application->ProcessMessages();
    return M;
}

// The screen rectangle of characters First to Last (exclusive) of Line.
RECT ScreenTextRect(THSMemo& M, int Line, int First, int Last) {
    POINT A = M.TextToPixelPoint(POINT{First, Line}), B = M.TextToPixelPoint(POINT{Last, Line});
    B.y += M.GetRealLineHeight(Line);
    ::ClientToScreen(M.Handle(), &A);
    ::ClientToScreen(M.Handle(), &B);
    return RECT{A.x, A.y, B.x, B.y};
}

class SearchWindowTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ModalSearchAndReplace = false;
        Source = std::make_unique<TMemoSource>(nullptr);
        Source->LoadFromString("one cat\r\ntwo cat cat\r\nthree\r\nfour\r\n");
        SetCurrentFindSource(Source.get());
    }
    void TearDown() override {
        delete FrmSearRepl;
        Source.reset();
        Other.reset();
        ModalSearchAndReplace = true;
        SetNotModalSearchFormMaker(nullptr);
        DialogTest::TearDown();
    }
    TFrmSearRepl& Open(int Page) {
        if (!FrmSearRepl)
            FrmSearRepl = new TFrmSearRepl(Application);
        auto& W = static_cast<TFrmSearRepl&>(*FrmSearRepl);
        W.Show();
        W.SetActiveIndex(Page);
        Application->ProcessMessages();
        return W;
    }
    // Clicks a button as the mouse would and waits until the click has been handled.
    void Press(TButton* Button) {
        PostClick(Button);
        Application->ProcessMessages();
    }
    void TypeInto(HWND Edit, const std::string& Text) {
        Type(Edit, Text);
        Application->ProcessMessages();
    }
    std::string CaretText(const TCustomMemoSource& S) const {
        return std::to_string(S.GetCurChar()) + "," + std::to_string(S.GetCurLine());
    }
    std::unique_ptr<TMemoSource> Source, Other;
};

TEST_F(SearchWindowTest, WindowCarriesTheFamilyTexts) {
    TFrmSearRepl& W = Open(0);
    const std::pair<std::string, std::string> Texts[] = {
        {W.Caption(), "Find and Replace"},
        {W.LTexttFind->Caption(), "&Text to find:"},
        {W.Label1->Caption(), "&Text to find:"},
        {W.LReplWith->Caption(), "&Replace with:"},
        {W.gbxOptions->Caption(), "Options"},
        {W.gbxDirection->Caption(), "Direction"},
        {W.gbxScope->Caption(), "Scope"},
        {W.CaseSens->Caption(), "&Case sensitive"},
        {W.WholeWord->Caption(), "&Whole words only"},
        {W.RegExpr->Caption(), "Regular e&xpressions"},
        {W.dirForward->Caption(), "Forwar&d"},
        {W.dirBackward->Caption(), "&Backward"},
        {W.ScopeGlobal->Caption(), "&Global"},
        {W.ScopeSelected->Caption(), "&Selected text"},
        {W.ReplAllBtn->Caption(), "Replace &All"},
        {W.CloseBtn->Caption(), "Close"},
        {W.GotoTab->Caption(), "Go to line Number"},
        {W.GoToBtn->Caption(), "Go To"},
        {W.Label4->Caption(), "Go to"},
        {W.InputLabel->Caption(), "&Enter new line number:"},
        {W.GotoBox->Items()[0], "Line"},
        // These follow the family's string table, as a translation would.
        {W.EditorFindPage->Caption(), LoadResString(SFind)},
        {W.FindBtn->Caption(), LoadResString(SFind)},
        {W.EditorReplacePage->Caption(), LoadResString(sReplace)},
        {W.ReplBtn->Caption(), LoadResString(sReplace)},
        {W.GotoBox->Items()[1], LoadResString(sBookMark)},
        {W.ExBtn->Caption(), LoadResString(sMoreButton)},
    };
    for (const auto& [Actual, Expected] : Texts)
        EXPECT_EQ(Actual, Expected);
    EXPECT_EQ(W.GotoBox->ItemIndex(), 0);
    EXPECT_EQ(W.FormStyle(), TFormStyle::fsStayOnTop);
}

TEST_F(SearchWindowTest, OptionsPanelOpensHiddenAndTheGoToPageClosesIt) {
    TFrmSearRepl& W = Open(0);
    const int Small = W.ClientHeight();
    auto Pixel = [&W](int X) { return GetPixel(W.ExBtn->Glyph().Canvas().Handle(), X, 7); };
    const COLORREF Left = Pixel(5), Right = Pixel(21);
    ASSERT_NE(Left, Right);
    EXPECT_FALSE(W.ExPanel->Visible());
    EXPECT_EQ(Small, 267 - 106);
    W.ExBtn->Click();
    EXPECT_TRUE(W.ExPanel->Visible());
    EXPECT_EQ(W.ExBtn->Caption(), LoadResString(sLessButton));
    EXPECT_EQ(W.ClientHeight(), 267);
    // The glyph's halves swap, so the arrow points the other way.
    EXPECT_EQ(Pixel(5), Right);
    EXPECT_EQ(Pixel(21), Left);
    W.SetActiveIndex(2);
    EXPECT_FALSE(W.ExPanel->Visible());
    EXPECT_EQ(W.ExBtn->Caption(), LoadResString(sMoreButton));
    EXPECT_EQ(W.ClientHeight(), Small);
}

TEST_F(SearchWindowTest, ButtonsFollowThePage) {
    struct Case {
        int Page;
        bool ExFindEnabled, ReplEnabled, ReplAllVisible, GoToVisible;
        const char* Default;
    };
    for (const Case& C :
         {Case{0, true, false, true, false, "FindBtn"}, Case{1, true, true, true, false, "ReplBtn"},
          Case{2, false, false, false, true, "GoToBtn"}}) {
        SCOPED_TRACE(C.Page);
        TFrmSearRepl& W = Open(C.Page);
        W.ShowInfo("old");
        W.SetActiveIndex(C.Page);
        EXPECT_EQ(W.PageControl->ActivePageIndex(), C.Page);
        EXPECT_EQ(W.ExBtn->Enabled(), C.ExFindEnabled);
        EXPECT_EQ(W.FindBtn->Enabled(), C.ExFindEnabled);
        EXPECT_EQ(W.ReplBtn->Enabled(), C.ReplEnabled);
        EXPECT_EQ(W.ReplAllBtn->Enabled(), C.ReplEnabled);
        EXPECT_EQ(W.ReplAllBtn->Visible(), C.ReplAllVisible);
        EXPECT_EQ(W.GoToBtn->Visible(), C.GoToVisible);
        for (TButton* B : {W.FindBtn, W.ReplBtn, W.GoToBtn})
            EXPECT_EQ(B->Default(), B->Name() == C.Default) << B->Name();
        TWinControl* Input = C.Page == 0   ? static_cast<TWinControl*>(W.SearText)
                             : C.Page == 1 ? static_cast<TWinControl*>(W.SearText1)
                                           : W.LineEd;
        EXPECT_EQ(W.ActiveControl(), Input);
        EXPECT_EQ(W.InfoLbl->Caption(), "");
    }
}

TEST_F(SearchWindowTest, FindCommitsTheControlsAndReportsWhatItFound) {
    TFrmSearRepl& W = Open(0);
    W.ExBtn->Click();
    TypeInto(W.SearText->EditHandle(), "cat");
    PostClick(W.CaseSens);
    PostClick(W.ScopeSelected);
    PostClick(W.ScopeGlobal);
    Press(W.FindBtn);
    const TSearchOptions& O = *GetSearchOptions();
    EXPECT_EQ(O.TextToFind, "cat");
    EXPECT_TRUE(O.CaseSensitive);
    EXPECT_EQ(O.Scope, ssGlobal);
    EXPECT_EQ(O.Origin, soFromCursor);
    EXPECT_FALSE(O.PromptOnReplace);
    EXPECT_EQ(Source->GetCurLine(), 0);
    EXPECT_EQ(W.InfoLbl->Caption(), "");

    TypeInto(W.SearText->EditHandle(), "x&y");
    Press(W.FindBtn);
    for (TLabel* L : {W.InfoLbl, W.InfoLbl1, W.InfoLbl2})
        EXPECT_EQ(L->Caption(), "Search string 'x&&y' not found");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchWindowTest, ReplaceAllReportsTheCountOrThatNothingWasFound) {
    TFrmSearRepl& W = Open(1);
    TypeInto(W.SearText1->EditHandle(), "cat");
    TypeInto(W.ReplText->EditHandle(), "dog");
    Press(W.ReplAllBtn);
    EXPECT_EQ(Source->Lines().GetText(), "one dog\r\ntwo dog dog\r\nthree\r\nfour");
    EXPECT_EQ(W.InfoLbl1->Caption(), "3 replacements have been made");
    // Nothing left to replace: the not-found text, not a count of 0.
    Press(W.ReplAllBtn);
    EXPECT_EQ(W.InfoLbl1->Caption(), "Search string 'cat' not found");
    // A single replace clears the status.
    Source->JumpTo(0, 0);
    TypeInto(W.SearText1->EditHandle(), "dog");
    TypeInto(W.ReplText->EditHandle(), "cow");
    Press(W.ReplBtn);
    EXPECT_EQ(Source->Lines().GetText(), "one cow\r\ntwo dog dog\r\nthree\r\nfour");
    EXPECT_EQ(W.InfoLbl1->Caption(), "");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchWindowTest, SearchedTextsFillTheHistoryListsAndOutliveTheWindow) {
    auto List = [](THSHistoryEditor* E) {
        std::vector<std::string> R;
        for (int I = 0; I < E->Items().Count(); ++I)
            R.push_back(E->Items()[I]);
        return R;
    };
    TFrmSearRepl& W = Open(0);
    for (const char* Text : {"cat", "two", "cat"}) {
        TypeInto(W.SearText->EditHandle(), Text);
        W.FindBtnClick(); // as Alt+F would: the focus stays in the editor
    }
    EXPECT_EQ(List(W.SearText), (std::vector<std::string>{"cat", "two"})) << "latest first, once each";
    W.SetActiveIndex(1);
    TypeInto(W.SearText1->EditHandle(), "one");
    TypeInto(W.ReplText->EditHandle(), "1");
    W.ReplBtnClick(true);
    EXPECT_EQ(List(W.SearText1), std::vector<std::string>{"one"});
    EXPECT_EQ(List(W.ReplText), std::vector<std::string>{"1"});
    EXPECT_EQ(List(W.SearText), (std::vector<std::string>{"cat", "two"})) << "each page keeps its own list";

    Press(W.CloseBtn);
    ASSERT_TRUE(PumpUntil([] { return FrmSearRepl == nullptr; }));
    TFrmSearRepl& Again = Open(0);
    EXPECT_EQ(List(Again.SearText), (std::vector<std::string>{"cat", "two"}));
    EXPECT_EQ(List(Again.ReplText), std::vector<std::string>{"1"});
}

TEST_F(SearchWindowTest, ReturnInAnEditorPressesThePagesDefaultButton) {
    TFrmSearRepl& W = Open(0);
    TypeInto(W.SearText->EditHandle(), "two");
    PostKey(W.SearText->EditHandle(), VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(Source->GetCurLine(), 1) << "found";
    EXPECT_EQ(W.SearText->Items().Count(), 1);

    W.SetActiveIndex(1);
    Source->JumpTo(0, 0);
    TypeInto(W.SearText1->EditHandle(), "cat");
    TypeInto(W.ReplText->EditHandle(), "dog");
    PostKey(W.ReplText->EditHandle(), VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(Source->Lines().GetText(), "one dog\r\ntwo cat cat\r\nthree\r\nfour") << "one replace";
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchWindowTest, GoToTakesLinesAndBookmarksAndRefusesOtherText) {
    Source->SetBookmark(4);
    Source->JumpTo(2, 1);
    Source->SetBookmark(4);
    TFrmSearRepl& W = Open(2);
    struct Case {
        const char* Typed;
        int Kind;
        std::string Caret, Status;
        size_t Boxes;
    };
    const Case Cases[] = {
        // A line keeps the caret's column.
        {"3", 0, "2,2", "", 0}, {"4", 1, "2,1", "", 0},   {"7", 1, "2,1", "Bookmark 7 not found", 0},
        {"1", 0, "2,0", "", 0}, {"two", 0, "2,0", "", 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Typed);
        W.GotoBox->SetItemIndex(C.Kind);
        TypeInto(W.LineEd->Handle(), C.Typed);
        Press(W.GoToBtn);
        EXPECT_EQ(CaretText(*Source), C.Caret);
        if (!C.Boxes) {
            EXPECT_EQ(W.InfoLbl2->Caption(), C.Status);
        }
        EXPECT_EQ(Boxes.size(), C.Boxes);
    }
    EXPECT_EQ(Boxes.back().Text, "'two' is not a valid integer value");
}

TEST_F(SearchWindowTest, ButtonsActOnTheCurrentSourceOnly) {
    TFrmSearRepl& W = Open(0);
    Other = std::make_unique<TMemoSource>(nullptr);
    Other->LoadFromString("a\r\nb\r\ncat\r\n");
    SetCurrentFindSource(Other.get());
    TypeInto(W.SearText->EditHandle(), "cat");
    Press(W.FindBtn);
    EXPECT_EQ(Other->GetCurLine(), 2);
    EXPECT_EQ(CaretText(*Source), "0,0");
    // Without a source the buttons do nothing at all.
    SetCurrentFindSource(nullptr);
    W.ShowInfo("kept");
    TypeInto(W.SearText->EditHandle(), "nothing");
    Press(W.FindBtn);
    EXPECT_EQ(W.InfoLbl->Caption(), "kept");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchWindowTest, SourcesOpenTheWindowOnceAndCloseCommitsAndFreesIt) {
    RegisterSearchReplaceWindow();
    GetSearchOptions()->TextToFind = "old";
    Source->JumpTo(0, 3);
    TSourceDialogs& D = SourceDialogs(*Source);
    D.ShowGoToLineDialog();
    auto* W = dynamic_cast<TFrmSearRepl*>(FrmSearRepl);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->PageControl->ActivePageIndex(), 2);
    EXPECT_EQ(W->LineEd->Text(), "4");
    // The word at the caret was taken before the window was made.
    EXPECT_EQ(W->SearText->Text(), "four");
    D.ShowReplaceDialog();
    EXPECT_EQ(FrmSearRepl, W);
    EXPECT_EQ(W->PageControl->ActivePageIndex(), 1);
    TypeInto(W->SearText1->EditHandle(), "three");
    // As a replace made since the window opened left the run state.
    GetSearchOptions()->InReplace = true;
    GetSearchOptions()->FirstSearch = false;
    Press(W->CloseBtn);
    EXPECT_TRUE(PumpUntil([] { return FrmSearRepl == nullptr; }));
    EXPECT_EQ(GetSearchOptions()->TextToFind, "three");
    EXPECT_TRUE(GetSearchOptions()->InReplace);
    EXPECT_FALSE(GetSearchOptions()->FirstSearch);
}

TEST_F(SearchWindowTest, FoundTextUnderTheWindowMovesItAway) {
    TFrmSearRepl& W = Open(0);
    W.SetBounds(100, 100, W.Width(), W.Height());
    const int H = W.Height();
    struct Case {
        const char* Name;
        RECT Found;
        int Top;
    };
    const Case Cases[] = {
        {"apart", RECT{0, 0, 50, 20}, 100},
        {"under, room below", RECT{120, 110, 200, 130}, 130},
        {"under, near the bottom", RECT{120, Screen->Height() - 30, 200, Screen->Height() - 10},
         Screen->Height() - 30 - H},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        W.SetTop(C.Name[0] == 'u' && C.Found.top > 200 ? C.Found.top - H / 2 : 100);
        W.MakeSearchVisible(C.Found);
        EXPECT_EQ(W.Top(), C.Top);
    }
}

TEST_F(SearchWindowTest, FindNextInAMemoMovesTheWindowOffTheMatchOnly) {
    std::unique_ptr<TForm> Form;
    THSMemo* M = MakeFocusedMemo(Form, "one\r\ntwo\r\nthree\r\nfour cat\r\nfive\r\nsix\r\nseven cat\r\n");
    TCustomMemoSource* S = M->GetSource();
    ASSERT_EQ(CurrentFindSource, S);
    auto ScreenRect = [&](int Line, int First, int Last) { return ScreenTextRect(*M, Line, First, Last); };
    const RECT First = ScreenRect(3, 5, 8), Second = ScreenRect(6, 6, 9);

    TFrmSearRepl& W = Open(0);
    TypeInto(W.SearText->EditHandle(), "cat");
    W.SetBounds(First.left - 10, First.top - 5, W.Width(), W.Height());
    RECT Bounds = W.BoundsRect(), Overlap;
    ASSERT_TRUE(IntersectRect(&Overlap, &Bounds, &First));
    Press(W.FindBtn);
    ASSERT_EQ(S->GetCurLine(), 3);
    Bounds = W.BoundsRect();
    EXPECT_FALSE(IntersectRect(&Overlap, &Bounds, &First));
    EXPECT_EQ(W.Top(), First.bottom);

    // Clear of the next match, the window stays where the user put it.
    W.SetBounds(Second.right + 40, Second.bottom + 40, W.Width(), W.Height());
    const RECT Before = W.BoundsRect();
    Press(W.FindBtn);
    ASSERT_EQ(S->GetCurLine(), 6);
    const RECT After = W.BoundsRect();
    EXPECT_TRUE(EqualRect(&Before, &After));
    delete FrmSearRepl;
    Form.reset();
}

} // namespace
