// The edit control with a drop-down button in a real window: dropping the list, choosing with keys
// and mouse, cancelling, and taking long values whole.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "controls/tree/EditButtons.h"

namespace {

class EditWithButtons : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 360, 240);
        Form->SetCaption("Edit with buttons");
        Edit = new THSEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 20, 160, 22);
        for (const char* S : {"alpha", "beta", "gamma", "delta"})
            Edit->PopupWindow()->Items().Add(S);
        Edit->OnChange = [this](TObject*) { ++Changes; };
        Edit->OnDropDown = [this](TObject*) { ++Drops; };
        Form->Show();
        Edit->Edit()->SetFocus();
        Edit->SetEditText("beta");
        PumpUntil([] { return false; }, 80);
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    void Pump() {
        PumpUntil([] { return false; }, 60);
    }
    bool ListShowing() {
        TPopupListBox* L = Edit->PopupWindow();
        return L->HandleAllocated() && IsWindowVisible(L->Handle());
    }
    HWND Inner() { return Edit->Edit()->Handle(); }

    std::unique_ptr<TForm> Form;
    THSEdit* Edit = nullptr;
    int Changes = 0;
    int Drops = 0;
};

TEST_F(EditWithButtons, TheButtonDropsTheListUnderTheControlWithTheCurrentValueSelected) {
    Edit->Button1()->Click();
    Pump();
    ASSERT_TRUE(Edit->DroppedDown());
    ASSERT_TRUE(ListShowing());
    EXPECT_EQ(1, Drops);
    EXPECT_EQ(1, Edit->PopupWindow()->ItemIndex());
    RECT Me, L;
    GetWindowRect(Edit->Handle(), &Me);
    GetWindowRect(Edit->PopupWindow()->Handle(), &L);
    EXPECT_EQ(Me.bottom, L.top);
    EXPECT_EQ(Me.right, L.right);
    EXPECT_EQ(Inner(), GetFocus()) << "the list never takes the focus";
    // A second click on the button closes it and takes the value.
    Edit->Button1()->Click();
    Pump();
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ("beta", Edit->EditText());
}

TEST_F(EditWithButtons, KeysChooseEnterTakesEscapeKeepsTheOldText) {
    struct Case {
        const char* Name;
        WORD Close;
        const char* Text;
        int Changes;
    } Cases[] = {{"Enter", VK_RETURN, "delta", 1}, {"Escape", VK_ESCAPE, "beta", 0}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Edit->SetEditText("beta");
        Changes = 0;
        // Alt+Down drops the list.
        PostMessageA(Inner(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
        Pump();
        ASSERT_TRUE(Edit->DroppedDown());
        PostKey(Inner(), VK_DOWN);
        PostKey(Inner(), VK_DOWN);
        Pump();
        EXPECT_EQ(3, Edit->PopupWindow()->ItemIndex());
        PostKey(Inner(), C.Close);
        Pump();
        EXPECT_FALSE(Edit->DroppedDown());
        EXPECT_FALSE(ListShowing());
        EXPECT_EQ(C.Text, Edit->EditText());
        EXPECT_EQ(C.Changes, Changes);
    }
    // Enter on a closed control is swallowed: nothing drops, the text stays.
    PostKey(Inner(), VK_RETURN);
    Pump();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ("beta", Edit->EditText());
}

TEST_F(EditWithButtons, AClickOnAnItemTakesItAndAClickOutsideCancels) {
    Edit->Drop();
    Pump();
    HWND L = Edit->PopupWindow()->Handle();
    int H = static_cast<int>(SendMessageA(L, LB_GETITEMHEIGHT, 0, 0));
    PostMessageA(L, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 2 * H + 2));
    PostMessageA(L, WM_LBUTTONUP, 0, MAKELPARAM(5, 2 * H + 2));
    Pump();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ("gamma", Edit->EditText());

    Edit->Drop();
    Pump();
    PostKey(Inner(), VK_DOWN);
    Pump();
    POINT P = Form->ClientToScreen(POINT{330, 200});
    SetCursorPos(P.x, P.y);
    INPUT In[2]{};
    In[0].type = In[1].type = INPUT_MOUSE;
    In[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    In[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, In, sizeof(INPUT));
    PumpUntil([&] { return !Edit->DroppedDown(); }, 1000);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ("gamma", Edit->EditText());
}

TEST_F(EditWithButtons, NearTheScreenBottomTheListOpensAboveTheControl) {
    int SH = GetSystemMetrics(SM_CYSCREEN);
    Form->SetBounds(100, SH - 120, 360, 110);
    Edit->SetBounds(20, 40, 160, 22);
    Pump();
    Edit->Drop();
    Pump();
    ASSERT_TRUE(ListShowing());
    RECT Me, L;
    GetWindowRect(Edit->Handle(), &Me);
    GetWindowRect(Edit->PopupWindow()->Handle(), &L);
    EXPECT_EQ(Me.top, L.bottom);
    EXPECT_LE(L.bottom, SH);
    Edit->CloseDropped(false);
}

TEST_F(EditWithButtons, ALongValueIsTakenWhole) {
    std::string Long(3000, 'x');
    Long += "end";
    Edit->PopupWindow()->Items().Add(Long);
    Edit->SetEditText(Long);
    Edit->Drop();
    Pump();
    EXPECT_EQ(4, Edit->PopupWindow()->ItemIndex());
    Edit->SetEditText("");
    PostKey(Inner(), VK_RETURN);
    Pump();
    EXPECT_EQ(Long, Edit->EditText());
}

TEST_F(EditWithButtons, ButtonCountsAndOwnClickHandlers) {
    int Own = 0;
    Edit->OnButton2Click = [&](TObject*) { ++Own; };
    struct Case {
        int Set, Expect;
        bool B1, B2;
    } Cases[] = {{2, 2, true, true}, {3, 2, true, true}, {0, 0, false, false}, {1, 1, true, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Set);
        Edit->SetNumButtons(C.Set);
        EXPECT_EQ(C.Expect, Edit->NumButtons());
        EXPECT_EQ(C.B1, Edit->Button1()->Visible());
        EXPECT_EQ(C.B2, Edit->Button2()->Visible());
        int Buttons = (C.B1 ? Edit->Button1()->Width() : 0) + (C.B2 ? Edit->Button2()->Width() : 0);
        EXPECT_EQ(Edit->ClientWidth() - Buttons, Edit->Edit()->Width());
    }
    Edit->SetNumButtons(2);
    Edit->Button2()->Click();
    Pump();
    EXPECT_EQ(1, Own);
    EXPECT_FALSE(Edit->DroppedDown()) << "a button with its own handler does not drop the list";
}

} // namespace
