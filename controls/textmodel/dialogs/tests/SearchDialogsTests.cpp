#include <gtest/gtest.h>

#include "DialogTestUtil.h"
#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/textmodel/dialogs/SearchDialogs.h"

namespace {

using SearchFormTest = DialogTest;

TEST_F(SearchFormTest, FormsCarryTheFamilyTexts) {
    TSrchDialog F(nullptr);
    TReplDialog R(nullptr);
    const std::pair<std::string, std::string> Texts[] = {
        {F.Caption(), "Find Text"},
        {R.Caption(), "Replace Text"},
        {F.LTextToFind->Caption(), "&Text to find:"},
        {R.LReplaceWith->Caption(), "&Replace with:"},
        {F.CaseSens->Caption(), "&Case sensitive"},
        {F.WholeWord->Caption(), "&Whole words only"},
        {F.RegExpr->Caption(), "Regular e&xpressions"},
        {R.PromptRepl->Caption(), "&Prompt on replace"},
        {F.gbOptions->Caption(), "Options"},
        {F.gbDirection->Caption(), "Direction"},
        {F.dirForward->Caption(), "Forwar&d"},
        {F.dirBackward->Caption(), "&Backward"},
        {F.gbScope->Caption(), "Scope"},
        {F.ScopeGlobal->Caption(), "&Global"},
        {F.ScopeSelected->Caption(), "&Selected text"},
        {F.gbOrigin->Caption(), "Origin"},
        {F.OriginFromCursor->Caption(), "&From cursor"},
        {F.OriginEntireScope->Caption(), "&Entire scope"},
        {R.ReplBut->Caption(), "Replace &All"},
        {F.OKBut->Caption(), "OK"},
        {F.CancelBut->Caption(), "Cancel"},
        {R.OKBut->Caption(), "OK"},
        {R.CancelBut->Caption(), "Cancel"},
        // The page takes the family's string, so a translation reaches it too.
        {F.FindPage->Caption(), LoadResString(SFind)},
    };
    for (const auto& [Actual, Expected] : Texts)
        EXPECT_EQ(Actual, Expected);
    EXPECT_FALSE(F.FindInFilesPage->TabVisible());
    EXPECT_EQ(F.PageControl->ActivePage(), F.FindPage);
}

TEST_F(SearchFormTest, ControlsStartFromTheSharedOptions) {
    struct Case {
        bool Case_, Whole, Regex;
        TSearchDirection Dir;
        TSearchScope Scope;
        TSearchOrigin Origin;
    };
    for (const Case& C : {Case{true, false, true, sdBackward, ssSelectedText, soFromCursor},
                          Case{false, true, false, sdForward, ssGlobal, soEntireScope}}) {
        TSearchOptions* O = GetSearchOptions();
        O->TextToFind = "needle";
        O->ReplaceWith = "pin";
        O->PromptOnReplace = C.Whole;
        O->CaseSensitive = C.Case_;
        O->WholeWordsOnly = C.Whole;
        O->RegularExpr = C.Regex;
        O->Direction = C.Dir;
        O->Scope = C.Scope;
        O->Origin = C.Origin;
        TReplDialog R(nullptr);
        EXPECT_EQ(R.SearText->Text(), "needle");
        EXPECT_EQ(R.ReplText->Text(), "pin");
        EXPECT_EQ(R.PromptRepl->Checked(), C.Whole);
        EXPECT_EQ(R.CaseSens->Checked(), C.Case_);
        EXPECT_EQ(R.WholeWord->Checked(), C.Whole);
        EXPECT_EQ(R.RegExpr->Checked(), C.Regex);
        EXPECT_EQ(R.dirBackward->Checked(), C.Dir == sdBackward);
        EXPECT_EQ(R.dirForward->Checked(), C.Dir == sdForward);
        EXPECT_EQ(R.ScopeSelected->Checked(), C.Scope == ssSelectedText);
        EXPECT_EQ(R.ScopeGlobal->Checked(), C.Scope == ssGlobal);
        EXPECT_EQ(R.OriginEntireScope->Checked(), C.Origin == soEntireScope);
        EXPECT_EQ(R.OriginFromCursor->Checked(), C.Origin == soFromCursor);
        TSrchDialog F(nullptr);
        EXPECT_EQ(F.SearText->Text(), "needle");
        EXPECT_EQ(F.dirBackward->Checked(), C.Dir == sdBackward);
    }
}

TEST_F(SearchFormTest, FindFormCommitsOnOkOnly) {
    for (bool Confirm : {true, false}) {
        SCOPED_TRACE(Confirm ? "OK" : "Cancel");
        TSearchOptions Defaults;
        Defaults.InitValues();
        GetSearchOptions()->Assign(&Defaults);
        GetSearchOptions()->TextToFind = "old";
        std::unique_ptr<TSrchDialog> F(new TSrchDialog(Application));
        SetModalHook([&](TCustomForm&) {
            Type(F->SearText->EditHandle(), "typed");
            PostClick(F->CaseSens);
            PostClick(F->dirBackward);
            PostClick(F->ScopeSelected);
            PostClick(F->OriginFromCursor);
            PostClick(Confirm ? F->OKBut : F->CancelBut);
        });
        EXPECT_EQ(F->ShowModal(), Confirm ? mrOk : mrCancel);
        const TSearchOptions& O = *GetSearchOptions();
        EXPECT_EQ(O.TextToFind, Confirm ? "typed" : "old");
        EXPECT_EQ(O.CaseSensitive, Confirm);
        EXPECT_EQ(O.Direction, Confirm ? sdBackward : sdForward);
        EXPECT_EQ(O.Scope, Confirm ? ssSelectedText : ssGlobal);
        EXPECT_EQ(O.Origin, Confirm ? soFromCursor : soEntireScope);
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchFormTest, ReplaceAllAnswersAllAndAsksForEveryMatch) {
    struct Case {
        const char* Name;
        bool All;
        TModalResult Result;
    };
    for (const Case& C : {Case{"OK", false, mrOk}, Case{"Replace All", true, mrAll}}) {
        SCOPED_TRACE(C.Name);
        GetSearchOptions()->PromptOnReplace = false;
        GetSearchOptions()->ReplaceAll = !C.All;
        std::unique_ptr<TReplDialog> R(new TReplDialog(Application));
        SetModalHook([&](TCustomForm&) {
            Type(R->SearText->EditHandle(), "cat");
            Type(R->ReplText->EditHandle(), "dog");
            PostClick(R->PromptRepl);
            PostClick(C.All ? R->ReplBut : R->OKBut);
        });
        EXPECT_EQ(R->ShowModal(), C.Result);
        const TSearchOptions& O = *GetSearchOptions();
        EXPECT_EQ(O.TextToFind, "cat");
        EXPECT_EQ(O.ReplaceWith, "dog");
        EXPECT_TRUE(O.PromptOnReplace);
        EXPECT_EQ(O.ReplaceAll, C.All);
        if (C.All) {
            // Replace All puts both texts at the top of their histories.
            ASSERT_GE(R->SearText->Items().Count(), 1);
            EXPECT_EQ(R->SearText->Items()[0], "cat");
            ASSERT_GE(R->ReplText->Items().Count(), 1);
            EXPECT_EQ(R->ReplText->Items()[0], "dog");
        }
    }
}

TEST_F(SearchFormTest, ReplaceFormWithoutHelpButtonMovesTheOthersRight) {
    const bool Saved = boolShowHelpButton;
    boolShowHelpButton = true;
    TReplDialog With(nullptr);
    boolShowHelpButton = false;
    TReplDialog Without(nullptr);
    boolShowHelpButton = Saved;
    EXPECT_TRUE(With.HelpBut->Visible());
    EXPECT_FALSE(Without.HelpBut->Visible());
    EXPECT_EQ(Without.OKBut->Left(), With.OKBut->Left() + 80);
    EXPECT_EQ(Without.ReplBut->Left(), With.ReplBut->Left() + 80);
    EXPECT_EQ(Without.CancelBut->Left(), With.CancelBut->Left() + 80);
}

} // namespace
