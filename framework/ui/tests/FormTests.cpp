#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

namespace {

// A small input dialog laid out at 120 pixels per inch, as data.
class TInputForm : public TForm {
public:
    explicit TInputForm(TComponent* AOwner) : TForm(AOwner) {
        BuildForm(*this, {"Input",
                          393,
                          129,
                          120,
                          TFormBorderStyle::bsDialog,
                          TFormPosition::poScreenCenter,
                          {
                              {"TLabel", "InputLabel", "", 16, 16, 100, 16, "&Value:", {}, nullptr, nullptr},
                              {"TEdit", "PropEdit", "", 16, 40, 345, 21, "", {}, nullptr, nullptr},
                              {"TButton",
                               "OkBut",
                               "",
                               152,
                               96,
                               73,
                               25,
                               "OK",
                               {{"Default", "True"}, {"ModalResult", "1"}},
                               nullptr,
                               nullptr},
                              {"TButton",
                               "CancelBut",
                               "",
                               232,
                               96,
                               73,
                               25,
                               "Cancel",
                               {{"Cancel", "True"}, {"ModalResult", "2"}},
                               nullptr,
                               nullptr},
                          },
                          "PropEdit"});
    }
    TEdit* Edit() { return static_cast<TEdit*>(FindComponent("PropEdit")); }
};

class FormTest : public UiTest {};

TEST_F(FormTest, DataModulesStandBesideTheFormsAndAnnounceTheirEndWithTheirComponentsStillThere) {
    const int Before = Screen->DataModuleCount();
    auto* First = new TDataModule(nullptr);
    TDataModule Second(nullptr);
    auto* Part = new TComponent(First);
    Part->SetName("Part");
    ASSERT_EQ(Screen->DataModuleCount(), Before + 2);
    EXPECT_EQ(Screen->DataModules(Before), First);
    EXPECT_EQ(Screen->DataModules(Before + 1), &Second);
    bool SawPart = false, Destroying = false;
    First->OnDestroy = [&](TObject* Sender) {
        EXPECT_EQ(Sender, First);
        SawPart = First->FindComponent("Part") == Part;
        Destroying = First->HasState(csDestroying);
    };
    delete First;
    EXPECT_TRUE(SawPart);
    EXPECT_TRUE(Destroying);
    ASSERT_EQ(Screen->DataModuleCount(), Before + 1);
    EXPECT_EQ(Screen->DataModules(Before), &Second);
}

TEST_F(FormTest, ModalFormClosedByPostedKeys) {
    struct Case {
        const char* Name;
        std::string Typed;
        WORD Key;
        TModalResult Expected;
    };
    const Case Cases[] = {
        {"Enter presses the default button", "42", VK_RETURN, mrOk},
        {"Escape presses the cancel button", "17", VK_ESCAPE, mrCancel},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputForm Form(nullptr);
        std::string TextAtClose;
        Form.OnCloseQuery = [&](TObject*, bool&) { TextAtClose = Form.Edit()->Text(); };
        SetModalHook([&](TCustomForm&) {
            HWND Focus = GetFocus();
            ASSERT_EQ(Focus, Form.Edit()->Handle());
            PostChars(Focus, C.Typed);
            PostKey(Focus, C.Key);
        });
        EXPECT_EQ(Form.ShowModal(), C.Expected);
        EXPECT_EQ(TextAtClose, C.Typed);
        EXPECT_FALSE(Form.Visible());
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(FormTest, TabMovesFocusInTabOrderAndReturnOnAFocusedButtonClicksIt) {
    TInputForm Form(nullptr);
    bool CancelClicked = false;
    static_cast<TButton*>(Form.FindComponent("CancelBut"))->OnClick = [&](TObject*) { CancelClicked = true; };
    SetModalHook([&](TCustomForm&) {
        // Edit -> OK -> Cancel; Return on the focused Cancel button.
        PostKey(GetFocus(), VK_TAB);
    });
    Form.OnShow = nullptr;
    std::vector<std::string> Focused;
    Screen->OnActiveControlChange = [&](TObject*) {
        if (Screen->ActiveControl())
            Focused.push_back(Screen->ActiveControl()->Name());
        if (Focused.size() == 2)
            PostKey(GetFocus(), VK_TAB);
        if (Focused.size() == 3)
            PostKey(GetFocus(), VK_RETURN);
    };
    EXPECT_EQ(Form.ShowModal(), mrCancel);
    Screen->OnActiveControlChange = nullptr;
    EXPECT_TRUE(CancelClicked);
    ASSERT_GE(Focused.size(), 3u);
    EXPECT_EQ(Focused[0], "PropEdit");
    EXPECT_EQ(Focused[1], "OkBut");
    EXPECT_EQ(Focused[2], "CancelBut");
}

TEST_F(FormTest, LayoutIsScaledFromItsPixelsPerInch) {
    TInputForm Form(nullptr);
    int Ppi = Screen->PixelsPerInch();
    auto* Ok = static_cast<TButton*>(Form.FindComponent("OkBut"));
    EXPECT_EQ(Ok->Left(), MulDiv(152, Ppi, 120));
    EXPECT_EQ(Ok->Width(), MulDiv(225, Ppi, 120) - MulDiv(152, Ppi, 120));
    EXPECT_EQ(Form.ClientWidth(), MulDiv(393, Ppi, 120));
    EXPECT_EQ(Form.PixelsPerInch(), Ppi);
}

TEST_F(FormTest, BuildFormSetsNestedPropertiesByDottedName) {
    TForm Form(nullptr);
    TFormLayout Layout;
    Layout.Items.push_back(
        {"TLabel",
         "Title",
         "",
         0,
         0,
         10,
         10,
         "Hi",
         {{"Font.Style", "[fsBold, fsItalic]"}, {"Font.Name", "Arial"}, {"Font.Color", "clRed"}},
         nullptr,
         nullptr});
    BuildForm(Form, Layout);
    auto* L = static_cast<TLabel*>(Form.FindComponent("Title"));
    EXPECT_EQ(L->Font().Style(), fsBold | fsItalic);
    EXPECT_EQ(L->Font().Name(), "Arial");
    EXPECT_EQ(L->Font().Color(), clRed);
    EXPECT_FALSE(L->ParentFont());
    TFormLayout Bad;
    Bad.Items.push_back({"TLabel", "X", "", 0, 0, 10, 10, "", {{"Caption.Size", "1"}}, nullptr, nullptr});
    TForm Other(nullptr);
    EXPECT_THROW(BuildForm(Other, Bad), EPropertyError);
}

TEST_F(FormTest, IdleRunsOnceTheQueueIsEmpty) {
    std::vector<std::string> Order;
    TForm Form(nullptr);
    PostMessageA(Form.Handle(), WM_NULL, 0, 0);
    Application->OnIdle = [&](TObject*, bool& Done) {
        Order.push_back("idle");
        Done = false; // no waiting for a message
    };
    Application->OnMessage = [&](MSG& Msg, bool&) {
        if (Msg.hwnd == Form.Handle() && Msg.message == WM_NULL)
            Order.push_back("message");
    };
    Application->HandleMessage();
    Application->HandleMessage();
    Application->OnIdle = nullptr;
    Application->OnMessage = nullptr;
    EXPECT_EQ(Order, (std::vector<std::string>{"message", "idle"}));
}

TEST_F(FormTest, MemoKeepsReturnButTabAndEscapeGoToTheDialog) {
    TInputForm Form(nullptr);
    auto* Memo = new TMemo(&Form);
    Memo->SetParent(&Form);
    Memo->SetBounds(16, 70, 200, 20);
    Memo->SetTabOrder(1);
    SetModalHook([&](TCustomForm&) {
        Memo->SetFocus();
        PostKey(Memo->Handle(), VK_RETURN); // a new line, not the default button
        PostKey(Memo->Handle(), VK_TAB);    // moves on to the OK button
    });
    std::vector<std::string> Focused;
    Screen->OnActiveControlChange = [&](TObject*) {
        if (Screen->ActiveControl()) {
            Focused.push_back(Screen->ActiveControl()->Name().empty() ? "Memo"
                                                                      : Screen->ActiveControl()->Name());
            if (Focused.back() == "OkBut")
                PostKey(GetFocus(), VK_ESCAPE);
        }
    };
    EXPECT_EQ(Form.ShowModal(), mrCancel);
    Screen->OnActiveControlChange = nullptr;
    EXPECT_EQ(Memo->Text(), "\r\n");
    ASSERT_GE(Focused.size(), 2u);
    EXPECT_EQ(Focused.back(), "OkBut");
}

TEST_F(FormTest, ClosingAsksFirstAndThenHidesOrFrees) {
    TForm Form(nullptr);
    bool Allow = false;
    Form.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = Allow; };
    Form.Show();
    PostMessageA(Form.Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(Form.Visible()); // refused
    Allow = true;
    PostMessageA(Form.Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(Form.Visible()); // hidden, not freed

    // A form that asks to be freed goes once the queued messages are handled.
    auto* Owner = new TComponent(nullptr);
    auto* Freed = new TForm(Owner);
    Freed->OnClose = [](TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; };
    Freed->Show();
    Freed->Close();
    EXPECT_EQ(Owner->ComponentCount(), 1);
    Application->ProcessMessages();
    EXPECT_EQ(Owner->ComponentCount(), 0);
    delete Owner;
}

TEST_F(FormTest, ShowModalRefusesAVisibleForm) {
    TForm Form(nullptr);
    Form.Show();
    EXPECT_THROW(Form.ShowModal(), EInvalidOperation);
    Form.Hide();
}

BOOL CALLBACK FindHintWindow(HWND Wnd, LPARAM Found) {
    char Class[32] = {};
    GetClassNameA(Wnd, Class, sizeof(Class));
    if (std::string(Class) != "THintWindow")
        return TRUE;
    *reinterpret_cast<HWND*>(Found) = Wnd;
    return FALSE;
}

TEST_F(FormTest, HintOfTheControlUnderThePointerIsShownAfterThePause) {
    TForm Form(nullptr);
    auto* B = new TButton(&Form);
    B->SetParent(&Form);
    B->SetHint("Save|Saves the document");
    B->SetShowHint(true);
    std::vector<std::string> LongHints;
    Application->OnHint = [&](TObject*) { LongHints.push_back(Application->Hint()); };
    int SavedPause = Application->HintPause;
    Application->HintPause = 10;
    Form.Show();
    HWND HintWnd = nullptr;
    bool Shown = PumpUntil([&] {
        // Test programs running beside this one move the display's pointer, and the moves that
        // brings over this form take the hint away again; the move is posted until the hint shows.
        PostMessageA(B->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        // Other test programs share the display and may have hint windows of their own.
        HintWnd = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindHintWindow, reinterpret_cast<LPARAM>(&HintWnd));
        return HintWnd && IsWindowVisible(HintWnd);
    });
    Application->HintPause = SavedPause;
    Application->OnHint = nullptr;
    ASSERT_TRUE(Shown);
    char Text[64] = {};
    GetWindowTextA(HintWnd, Text, sizeof(Text));
    EXPECT_STREQ(Text, "Save");
    ASSERT_FALSE(LongHints.empty());
    EXPECT_EQ(LongHints[0], "Saves the document");
    Application->CancelHint();
    Form.Hide();
}

// A busy cursor must show at once over our window, without the pointer being moved to make the
// window ask again.
TEST_F(FormTest, ScreenCursorShowsAtOnceOverTheWindowUnderThePointer) {
    TForm Form(nullptr);
    Form.SetBounds(40, 40, 300, 200);
    Form.Show();
    SetWindowPos(Form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpUntil([] { return false; }, 50);
    RECT Client;
    GetClientRect(Form.Handle(), &Client);
    POINT Centre{Client.right / 2, Client.bottom / 2};
    ClientToScreen(Form.Handle(), &Centre);
    SetCursorPos(Centre.x, Centre.y);
    ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    Screen->SetCursor(crDefault);
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    Form.Hide();
}

TEST_F(FormTest, BuildFormRefusesUnknownClassesParentsAndProperties) {
    struct Case {
        const char* Name;
        TFormItem Item;
    };
    const Case Cases[] = {
        {"unknown class", {"TNoSuchControl", "X", "", 0, 0, 10, 10, "", {}, nullptr, nullptr}},
        {"unknown parent", {"TButton", "X", "NoPanel", 0, 0, 10, 10, "", {}, nullptr, nullptr}},
        {"unknown property", {"TButton", "X", "", 0, 0, 10, 10, "", {{"NoSuchProp", "1"}}, nullptr, nullptr}},
        {"bad property value",
         {"TButton", "X", "", 0, 0, 10, 10, "", {{"Default", "Maybe"}}, nullptr, nullptr}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TForm Form(nullptr);
        TFormLayout Layout;
        Layout.Items.push_back(C.Item);
        EXPECT_THROW(BuildForm(Form, Layout), Exception);
    }
}

TEST_F(FormTest, ExceptionInAHandlerIsReportedThroughTheBoxAndTheLoopGoesOn) {
    TInputForm Form(nullptr);
    Form.Edit()->OnChange = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    SetModalHook([&](TCustomForm&) {
        PostChars(GetFocus(), "x");     // raises inside the window procedure
        PostKey(GetFocus(), VK_ESCAPE); // the form still answers afterwards
    });
    EXPECT_EQ(Form.ShowModal(), mrCancel);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "'x' is not a valid integer value.");
    EXPECT_TRUE(Boxes[0].Flags & MB_ICONSTOP);
}

} // namespace
