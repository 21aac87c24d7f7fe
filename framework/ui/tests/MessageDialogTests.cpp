#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "UiTestSupport.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/StdCtrls.h"

namespace {

class MessageDialogTest : public UiTest {
protected:
    static TButton* Button(TForm& Form, const char* Name) {
        return dynamic_cast<TButton*>(Form.FindComponent(Name));
    }
    // The buttons of the dialog from left to right, by name.
    static std::vector<std::string> ButtonRow(TForm& Form) {
        std::vector<TButton*> Found;
        for (int I = 0; I < Form.ComponentCount(); ++I)
            if (auto* B = dynamic_cast<TButton*>(Form.Components(I)))
                Found.push_back(B);
        std::sort(Found.begin(), Found.end(), [](TButton* A, TButton* B) { return A->Left() < B->Left(); });
        std::vector<std::string> Names;
        for (TButton* B : Found)
            Names.push_back(B->Name());
        return Names;
    }
};

TEST_F(MessageDialogTest, SeamSeesEveryButtonOfferedAndTheNearestPlatformFlags) {
    struct Case {
        const char* Name;
        TMsgDlgButtons Buttons;
        UINT Flags;
        TMsgDlgButtons Seen;
    };
    const Case Cases[] = {
        {"replace question", mbYesNoCancel | mbAll, MB_ICONQUESTION | MB_YESNOCANCEL, mbYesNoCancel | mbAll},
        {"to-all answers", mbYes | mbNo | mbYesToAll | mbNoToAll, MB_ICONQUESTION | MB_YESNO,
         mbYes | mbNo | mbYesToAll | mbNoToAll},
        {"ignore beside OK", mbOK | mbIgnore, MB_ICONQUESTION | MB_OK, mbOK | mbIgnore},
        {"platform set with help", mbOKCancel | mbHelp, MB_ICONQUESTION | MB_OKCANCEL | MB_HELP,
         mbOKCancel | mbHelp},
        {"no buttons at all", 0, MB_ICONQUESTION | MB_OK, mbOK},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Boxes.clear();
        BoxAnswer = mrAll;
        EXPECT_EQ(MessageDlg("Replace this?", TMsgDlgType::mtConfirmation, C.Buttons), mrAll);
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Text, "Replace this?");
        EXPECT_EQ(Boxes[0].Caption, "Confirm");
        EXPECT_EQ(Boxes[0].Flags, C.Flags);
        EXPECT_EQ(Boxes[0].Buttons, C.Seen);
    }
    // A plain box tells its buttons too.
    Boxes.clear();
    ShowMessageBox("Stop?", "Title", MB_ICONSTOP | MB_ABORTRETRYIGNORE);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Buttons, mbAbortRetryIgnore);
}

TEST_F(MessageDialogTest, BothSeamFormsReplaceEachOtherAndRestoreUnchanged) {
    // An older-style answer function sees the nearest platform set and may answer with mrAll.
    UINT SeenFlags = 0;
    TMessageBoxFunc Saved = SetMessageBoxFunc([&](const std::string&, const std::string&, UINT Flags) {
        SeenFlags = Flags;
        return mrAll;
    });
    ASSERT_TRUE(Saved);
    EXPECT_EQ(MessageDlg("Q", TMsgDlgType::mtWarning, mbYesNoCancel | mbAll), mrAll);
    EXPECT_EQ(SeenFlags, UINT(MB_ICONWARNING | MB_YESNOCANCEL));
    EXPECT_TRUE(Boxes.empty());

    // Handing back what was returned restores the recording seam with its view of the buttons.
    SetMessageBoxFunc(Saved);
    BoxAnswer = mrNoToAll;
    EXPECT_EQ(MessageDlg("Q", TMsgDlgType::mtWarning, mbYes | mbNoToAll), mrNoToAll);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Buttons, mbYes | mbNoToAll);

    // And the other way round: an older-style function saved by the new setter comes back whole.
    TMessageRequestFunc Recorder = SetMessageRequestFunc(nullptr);
    SetMessageBoxFunc([](const std::string&, const std::string&, UINT) { return IDRETRY; });
    TMessageRequestFunc Plain = SetMessageRequestFunc(Recorder);
    ASSERT_TRUE(Plain);
    EXPECT_EQ(Plain(TMessageBoxRequest{"Again?", "T", MB_RETRYCANCEL, mbRetry | mbCancel}), IDRETRY);
    TMessageBoxFunc Back = SetMessageBoxFunc(nullptr); // the recorder, in the older form
    SetMessageRequestFunc(Plain);
    EXPECT_EQ(ShowMessageBox("Again?", "T", MB_RETRYCANCEL), IDRETRY);
    SetMessageBoxFunc(Back);
    Boxes.clear();
    MessageDlg("Last", TMsgDlgType::mtInformation, mbOK | mbAll);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Buttons, mbOK | mbAll);
}

TEST_F(MessageDialogTest, ReplaceQuestionDialogHasFourButtonsInOrderWithDefaultAndCancel) {
    std::unique_ptr<TForm> Form(CreateMessageDialog("Replace this occurence of 'a&b'?",
                                                    TMsgDlgType::mtConfirmation, mbYesNoCancel | mbAll));
    EXPECT_EQ(Form->Caption(), "Confirm");
    auto* Text = dynamic_cast<TLabel*>(Form->FindComponent("Message"));
    ASSERT_NE(Text, nullptr);
    EXPECT_EQ(Text->Caption(), "Replace this occurence of 'a&b'?");
    EXPECT_FALSE(Text->ShowAccelChar());
    EXPECT_EQ(ButtonRow(*Form), (std::vector<std::string>{"Yes", "No", "Cancel", "All"}));
    struct Expect {
        const char* Name;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    };
    for (const Expect& E :
         {Expect{"Yes", "&Yes", mrYes, true, false}, Expect{"No", "&No", mrNo, false, false},
          Expect{"Cancel", "Cancel", mrCancel, false, true}, Expect{"All", "&All", mrAll, false, false}}) {
        SCOPED_TRACE(E.Name);
        TButton* B = Button(*Form, E.Name);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Caption(), E.Caption);
        EXPECT_EQ(B->ModalResult(), E.Result);
        EXPECT_EQ(B->Default(), E.Default);
        EXPECT_EQ(B->Cancel(), E.Cancel);
        // The buttons sit below the text and inside the form.
        EXPECT_GE(B->Top(), Text->Top() + Text->Height());
        EXPECT_LE(B->Left() + B->Width(), Form->ClientWidth());
        EXPECT_LE(B->Top() + B->Height(), Form->ClientHeight());
    }
}

TEST_F(MessageDialogTest, EveryButtonHasItsCaptionAndResult) {
    std::unique_ptr<TForm> Form(CreateMessageDialog("All of them", TMsgDlgType::mtCustom, 0x7FF));
    const std::vector<std::string> Order = {"Yes",    "No",  "OK",      "Cancel",   "Abort", "Retry",
                                            "Ignore", "All", "NoToAll", "YesToAll", "Help"};
    EXPECT_EQ(ButtonRow(*Form), Order);
    struct Expect {
        const char* Name;
        const char* Caption;
        TModalResult Result;
    };
    const Expect Table[] = {
        {"Yes", "&Yes", mrYes},
        {"No", "&No", mrNo},
        {"OK", "OK", mrOk},
        {"Cancel", "Cancel", mrCancel},
        {"Abort", "&Abort", mrAbort},
        {"Retry", "&Retry", mrRetry},
        {"Ignore", "&Ignore", mrIgnore},
        {"All", "&All", mrAll},
        {"NoToAll", "N&o to All", mrNoToAll},
        {"YesToAll", "Yes to &All", mrYesToAll},
        {"Help", "&Help", mrNone},
    };
    for (const Expect& E : Table) {
        SCOPED_TRACE(E.Name);
        TButton* B = Button(*Form, E.Name);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Caption(), E.Caption);
        EXPECT_EQ(B->ModalResult(), E.Result);
    }
    // OK is the default when offered, Cancel the cancel button.
    EXPECT_TRUE(Button(*Form, "OK")->Default());
    EXPECT_FALSE(Button(*Form, "Yes")->Default());
    EXPECT_TRUE(Button(*Form, "Cancel")->Cancel());

    // Without OK or Yes the first button is the default; without Cancel, No cancels.
    std::unique_ptr<TForm> Other(
        CreateMessageDialog("Go on?", TMsgDlgType::mtWarning, mbNo | mbRetry | mbAll));
    EXPECT_TRUE(Button(*Other, "No")->Default());
    EXPECT_TRUE(Button(*Other, "No")->Cancel());
    EXPECT_FALSE(Button(*Other, "All")->Default());
}

TEST_F(MessageDialogTest, ShownDialogAnswersByPostedClickOrKey) {
    struct Case {
        const char* Name;
        std::function<void(TForm&)> Act;
        TModalResult Expected;
    };
    auto Click = [](const char* Name) {
        return [Name](TForm& F) { PostMessageA(Button(F, Name)->Handle(), BM_CLICK, 0, 0); };
    };
    auto Key = [](WORD K) { return [K](TForm&) { PostKey(GetFocus(), K); }; };
    auto AltChar = [](char C) {
        return [C](TForm&) { PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(C), 1 | (1 << 29)); };
    };
    const Case Cases[] = {
        {"click Yes", Click("Yes"), mrYes},
        {"click No", Click("No"), mrNo},
        {"click Cancel", Click("Cancel"), mrCancel},
        {"click All", Click("All"), mrAll},
        {"Enter takes the default", Key(VK_RETURN), mrYes},
        {"Escape takes the cancel button", Key(VK_ESCAPE), mrCancel},
        {"Alt+A is All", AltChar('a'), mrAll},
        {"Alt+N is No", AltChar('n'), mrNo},
        {"closing the window cancels", [](TForm& F) { PostMessageA(F.Handle(), WM_CLOSE, 0, 0); }, mrCancel},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::unique_ptr<TForm> Form(
            CreateMessageDialog("Replace this?", TMsgDlgType::mtConfirmation, mbYesNoCancel | mbAll));
        bool Hooked = false;
        SetModalHook([&](TCustomForm& Shown) {
            Hooked = &Shown == Form.get();
            EXPECT_EQ(GetFocus(), Button(*Form, "Yes")->Handle());
            C.Act(*Form);
        });
        EXPECT_EQ(Form->ShowModal(), C.Expected);
        EXPECT_TRUE(Hooked);
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MessageDialogTest, MessageDlgShowsItsOwnDialogWhenThePlatformBoxLacksAButton) {
    TMessageRequestFunc Recorder = SetMessageRequestFunc(nullptr);
    std::vector<std::string> Shown;
    SetModalHook([&](TCustomForm& Form) {
        Shown = ButtonRow(static_cast<TForm&>(Form));
        PostMessageA(Button(static_cast<TForm&>(Form), "YesToAll")->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(MessageDlg("Overwrite?", TMsgDlgType::mtWarning, mbYes | mbNo | mbYesToAll | mbNoToAll),
              mrYesToAll);
    EXPECT_EQ(Shown, (std::vector<std::string>{"Yes", "No", "NoToAll", "YesToAll"}));
    SetMessageRequestFunc(Recorder);
}

TEST_F(MessageDialogTest, ShownDialogDrawsItsIconAndTextScreenshot) {
    std::unique_ptr<TForm> Form(CreateMessageDialog("Replace this occurence of 'colour'?",
                                                    TMsgDlgType::mtConfirmation, mbYesNoCancel | mbAll));
    Form->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; }));
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\MessageDialog.png");
    Form->Hide();
    // Counts the pixels in R that differ from the dialog's face.
    auto Marked = [&](RECT R) {
        const COLORREF Face = ColorToRGB(clBtnFace);
        int Count = 0;
        for (int Y = R.top; Y < R.bottom && Y < Shot.Height(); ++Y) {
            const uint8_t* Line = Shot.ScanLine(Y);
            for (int X = R.left; X < R.right && X < Shot.Width(); ++X)
                if (RGB(Line[X * 3 + 2], Line[X * 3 + 1], Line[X * 3]) != Face)
                    ++Count;
        }
        return Count;
    };
    auto* Text = Form->FindComponent("Message");
    auto* Label = dynamic_cast<TControl*>(Text);
    ASSERT_NE(Label, nullptr);
    const int IconSize = GetSystemMetrics(SM_CXICON);
    EXPECT_GT(Label->Left(), IconSize);
    EXPECT_GT(Marked({0, 0, Label->Left(), Label->Top() + IconSize}), IconSize * IconSize / 8);
    EXPECT_GT(
        Marked({Label->Left(), Label->Top(), Label->Left() + Label->Width(), Label->Top() + Label->Height()}),
        20);
}

} // namespace
