#include <gtest/gtest.h>

#include "TestRegistryKey.h"
#include "UiTestSupport.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/InputDialogs.h"
#include "controls/foundation/RegistryStorage.h"

namespace {

class InputDialogTest : public UiTest {
protected:
    // Answers the next modal dialog: types Text into the focused edit (after selecting all) and presses Key.
    void Answer(const std::string& Text, WORD Key) {
        SetModalHook([Text, Key](TCustomForm&) {
            HWND Edit = GetFocus();
            SendMessageA(Edit, EM_SETSEL, 0, -1);
            PostChars(Edit, Text);
            PostKey(Edit, Key);
        });
    }
};

TEST_F(InputDialogTest, ReadIntegerTakesTheTypedNumberOrLeavesTheValue) {
    struct Case {
        const char* Name;
        std::string Typed;
        WORD Key;
        bool Result;
        int Value;
    };
    const Case Cases[] = {
        {"confirmed", "42", VK_RETURN, true, 42},
        {"negative with blanks", " -7 ", VK_RETURN, true, -7},
        {"cancelled", "42", VK_ESCAPE, false, 5},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        int N = 5;
        Answer(C.Typed, C.Key);
        EXPECT_EQ(ReadInteger("Go to", "&Line:", 0, N), C.Result);
        EXPECT_EQ(N, C.Value);
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(InputDialogTest, ReadIntegerRefusesTextThatIsNoNumberInsideTheDialog) {
    int N = 5;
    int Round = 0;
    SetModalHook([&](TCustomForm&) {
        HWND Edit = GetFocus();
        SendMessageA(Edit, EM_SETSEL, 0, -1);
        PostChars(Edit, "4x");
        PostKey(Edit, VK_RETURN);
    });
    // The refusal box comes up; the dialog stays open; the user then cancels.
    BoxAnswer = IDOK;
    auto Saved = SetMessageBoxFunc([&](const std::string& Text, const std::string& Caption, UINT Flags) {
        Boxes.push_back({Text, Caption, Flags});
        ++Round;
        PostKey(GetFocus(), VK_ESCAPE);
        return IDOK;
    });
    EXPECT_FALSE(ReadInteger("Go to", "&Line:", 0, N));
    SetMessageBoxFunc(Saved);
    EXPECT_EQ(N, 5);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "'4x' is not a valid integer value");
    EXPECT_EQ(Round, 1);
}

TEST_F(InputDialogTest, ScaleFactorAndStrings) {
    double Factor = 3;
    Answer("150", VK_RETURN);
    EXPECT_TRUE(ReadScaleFactor(Factor));
    EXPECT_DOUBLE_EQ(Factor, 1.5);
    Answer("150", VK_ESCAPE);
    EXPECT_FALSE(ReadScaleFactor(Factor));
    EXPECT_DOUBLE_EQ(Factor, 1.0);
    std::string S = "old";
    Answer("new text", VK_RETURN);
    EXPECT_TRUE(ReadString("Caption", "Prompt", 0, S));
    EXPECT_EQ(S, "new text");
}

TEST_F(InputDialogTest, DialogCarriesTheFamilyTexts) {
    std::unique_ptr<TInputLineForm> F(new TInputLineForm(nullptr));
    EXPECT_EQ(F->Caption(), "Go to line Number");
    EXPECT_EQ(F->InputLabel->Caption(), "&Enter new line number:");
    EXPECT_EQ(F->OkBut->Caption(), "OK");
    EXPECT_EQ(F->CancelBut->Caption(), "Cancel");
    EXPECT_EQ(F->HelpBut->Caption(), "&Help");
    EXPECT_EQ(F->ActiveControl(), F->PropEdit);
}

class HistoryEditorTest : public UiTest {};

TEST_F(HistoryEditorTest, RepeatedEntryMovesToTheTopAndTheHistoryIsKept) {
    TTestRegistryKey Key;
    {
        TForm Form(nullptr);
        Form.SetName("FindForm");
        auto* H = new THSHistoryEditor(&Form);
        H->SetName("SearchText");
        H->SetParent(&Form);
        EXPECT_EQ(H->RegName(), "EditHistory\\FindFormSearchText");
        Form.Show();
        H->SetFocus();
        for (const char* Text : {"alpha", "beta", "alpha", ""}) {
            SendMessageA(H->EditHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
            PostKey(H->EditHandle(), VK_RETURN);
            Application->ProcessMessages();
        }
        ASSERT_EQ(H->Items().Count(), 2);
        EXPECT_EQ(H->Items()[0], "alpha");
        EXPECT_EQ(H->Items()[1], "beta");
        EXPECT_TRUE(Boxes.empty());
        Form.Hide();
    }
    // Saved when the window went; a new editor of the same name loads it.
    EXPECT_EQ(ReadFromRegistry("EditHistory\\FindFormSearchText", THSVariant(std::string())).Str,
              "alpha\r\nbeta\r\n");
    TForm Form(nullptr);
    Form.SetName("FindForm");
    auto* Again = new THSHistoryEditor(&Form);
    Again->SetName("SearchText");
    Again->SetParent(&Form);
    Again->HandleNeeded();
    ASSERT_EQ(Again->Items().Count(), 2);
    EXPECT_EQ(Again->Items()[0], "alpha");
    // Other names keep other histories.
    TForm Other(nullptr);
    Other.SetName("ReplaceForm");
    auto* Separate = new THSHistoryEditor(&Other);
    Separate->SetName("SearchText");
    EXPECT_EQ(Separate->RegName(), "EditHistory\\ReplaceFormSearchText");
    THSHistoryEditor Lonely(nullptr);
    EXPECT_EQ(Lonely.RegName(), "EditHistory\\Default");
    Lonely.SetRegName("Mine");
    EXPECT_EQ(Lonely.RegName(), "EditHistory\\Mine");
}

} // namespace
