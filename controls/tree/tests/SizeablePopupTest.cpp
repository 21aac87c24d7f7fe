// A control lent to the sizeable popup: how the popup ends, what it looks like while it shows,
// and that the control comes back as it was on every way out.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "UiTestSupport.h"
#include "controls/tree/HSPopup.h"
#include "framework/ui/StdCtrls.h"

namespace {

class SizeablePopupWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(80, 80, 400, 300);
        Form->SetCaption("Popup host");
        List = new TListBox(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(5, 6, 120, 80);
        List->Items().Add("one");
        List->Items().Add("two");
        List->OnDblClick = [this](TObject*) { ++OwnDblClicks; };
        Form->Show();
        PumpUntil([] { return false; }, 60);
    }
    void TearDown() override {
        SetModalHook(std::move(Saved));
        Form.reset();
        UiTest::TearDown();
    }
    // Runs Step once the popup shows; the popup has to end by it.
    void OnShown(std::function<void(THSPopupWindow&)> Step) {
        Saved = SetModalHook([this, Step](TCustomForm& F) {
            auto* P = dynamic_cast<THSPopupWindow*>(&F);
            ASSERT_NE(nullptr, P);
            SeenClient = SIZE{P->ClientWidth(), P->ClientHeight()};
            SeenBar = P->ButtonPanel()->Visible();
            SeenParentIsPopup = List->Parent() == P;
            GetWindowRect(P->Handle(), &SeenRect);
            Step(*P);
        });
    }
    void ExpectRestored() {
        EXPECT_EQ(Form.get(), List->Parent());
        EXPECT_EQ(5, List->Left());
        EXPECT_EQ(6, List->Top());
        EXPECT_EQ(120, List->Width());
        EXPECT_EQ(80, List->Height());
        EXPECT_EQ(TAlign::alNone, List->Align());
        EXPECT_TRUE(List->Visible());
        int Before = OwnDblClicks;
        List->DblClick();
        EXPECT_EQ(Before + 1, OwnDblClicks) << "the control's own double-click handler is back";
    }

    std::unique_ptr<TForm> Form;
    TListBox* List = nullptr;
    int OwnDblClicks = 0;
    TModalHook Saved;
    SIZE SeenClient{};
    bool SeenBar = false;
    bool SeenParentIsPopup = false;
    RECT SeenRect{};
};

TEST_F(SizeablePopupWindow, EnterAcceptsEscapeCancelsAndTheControlComesBack) {
    struct Case {
        const char* Name;
        WORD Key;
        bool Accepted;
    } Cases[] = {{"Enter", VK_RETURN, true}, {"Escape", VK_ESCAPE, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        OnShown([&](THSPopupWindow& P) {
            (void)P;
            PostKey(List->Handle(), C.Key);
        });
        EXPECT_EQ(C.Accepted, SizeablePopup(List, Form.get(), 20, 30, true));
        EXPECT_TRUE(SeenParentIsPopup);
        EXPECT_TRUE(SeenBar);
        EXPECT_EQ(120, SeenClient.cx);
        EXPECT_EQ(80 + 19, SeenClient.cy);
        POINT Origin = Form->ClientToScreen(POINT{20, 30});
        EXPECT_EQ(Origin.x, SeenRect.left);
        EXPECT_EQ(Origin.y, SeenRect.top);
        ExpectRestored();
    }
}

TEST_F(SizeablePopupWindow, EnterWithCtrlHeldDoesNotCloseAndADoubleClickAccepts) {
    bool StillOpen = false;
    OnShown([&](THSPopupWindow& P) {
        BYTE State[256];
        GetKeyboardState(State);
        State[VK_CONTROL] = 0x80;
        SetKeyboardState(State);
        PostKey(List->Handle(), VK_RETURN);
        PumpUntil([] { return false; }, 60);
        State[VK_CONTROL] = 0;
        SetKeyboardState(State);
        StillOpen = IsWindowVisible(P.Handle()) && P.ModalResult() == mrNone;
        PostMessageA(List->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
        PostMessageA(List->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    });
    EXPECT_TRUE(SizeablePopup(List, Form.get(), 0, 0, true));
    EXPECT_TRUE(StillOpen);
    EXPECT_EQ(0, OwnDblClicks) << "while lent, a double-click is the popup's";
    ExpectRestored();
}

TEST_F(SizeablePopupWindow, WithoutButtonsTheClientIsTheControlAndWithoutControlItIsEmpty) {
    OnShown([&](THSPopupWindow& P) { PostKey(P.Handle(), VK_ESCAPE); });
    EXPECT_FALSE(SizeablePopup(List, Form.get(), 0, 0, false));
    EXPECT_FALSE(SeenBar);
    EXPECT_EQ(120, SeenClient.cx);
    EXPECT_EQ(80, SeenClient.cy);
    ExpectRestored();

    OnShown([&](THSPopupWindow& P) {
        EXPECT_EQ(nullptr, P.Control());
        EXPECT_EQ(50, P.Width());
        EXPECT_EQ(40, P.Height());
        PostKey(P.Handle(), VK_ESCAPE);
    });
    EXPECT_FALSE(SizeablePopup(nullptr, nullptr, 100, 100, true));
}

TEST_F(SizeablePopupWindow, APointNearTheScreenCornerKeepsThePopupOnTheWorkArea) {
    RECT W;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &W, 0);
    OnShown([&](THSPopupWindow& P) { P.CancelBtnClick(&P); });
    EXPECT_FALSE(SizeablePopup(List, nullptr, W.right - 10, W.bottom - 10, true));
    EXPECT_EQ(W.right, SeenRect.right);
    EXPECT_EQ(W.bottom, SeenRect.bottom);
    OnShown([&](THSPopupWindow& P) { P.CancelBtnClick(&P); });
    SizeablePopup(List, nullptr, W.left - 300, W.top - 300, true);
    EXPECT_EQ(W.left, SeenRect.left);
    EXPECT_EQ(W.top, SeenRect.top);
    ExpectRestored();
}

TEST_F(SizeablePopupWindow, DraggingTheGripResizesFromTheCornerAndStopsAt50By40) {
    RECT Small{}, Large{};
    OnShown([&](THSPopupWindow& P) {
        RECT Start;
        GetWindowRect(P.Handle(), &Start);
        SetCursorPos(Start.right - 3, Start.bottom - 3);
        P.FSizeGripMouseDown(P.SizeGrip(), TMouseButton::mbLeft, 0, 0, 0);
        EXPECT_TRUE(P.Sizing());
        SetCursorPos(Start.right - 400, Start.bottom - 400);
        P.FSizeGripMouseMove(P.SizeGrip(), ssLeft, 0, 0);
        GetWindowRect(P.Handle(), &Small);
        SetCursorPos(Start.right + 37, Start.bottom + 21);
        P.FSizeGripMouseMove(P.SizeGrip(), ssLeft, 0, 0);
        GetWindowRect(P.Handle(), &Large);
        P.FSizeGripMouseUp(P.SizeGrip(), TMouseButton::mbLeft, 0, 0, 0);
        EXPECT_FALSE(P.Sizing());
        EXPECT_EQ(Start.left, Large.left);
        EXPECT_EQ(Start.top, Large.top);
        EXPECT_EQ(Start.right - Start.left + 40, Large.right - Large.left);
        EXPECT_EQ(Start.bottom - Start.top + 24, Large.bottom - Large.top);
        PostKey(List->Handle(), VK_RETURN);
    });
    EXPECT_TRUE(SizeablePopup(List, Form.get(), 40, 40, true));
    EXPECT_EQ(50, Small.right - Small.left);
    EXPECT_EQ(40, Small.bottom - Small.top);
    ExpectRestored();
}

TEST_F(SizeablePopupWindow, ARealClickOutsideCancelsAndAClickOnTheControlDoesNot) {
    bool OpenAfterInsideClick = false;
    OnShown([&](THSPopupWindow& P) {
        auto Click = [](POINT S) {
            SetCursorPos(S.x, S.y);
            INPUT In[2]{};
            In[0].type = In[1].type = INPUT_MOUSE;
            In[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            In[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(2, In, sizeof(INPUT));
        };
        Click(List->ClientToScreen(POINT{10, 40}));
        PumpUntil([] { return false; }, 150);
        OpenAfterInsideClick = IsWindowVisible(P.Handle()) && P.ModalResult() == mrNone;
        Click(Form->ClientToScreen(POINT{380, 260}));
        PumpUntil([&] { return P.ModalResult() != mrNone; }, 1000);
        if (P.ModalResult() == mrNone)
            P.PopupHide(mrOk); // keeps a failing run from hanging
        // The popup ended inside this pump; wake the modal loop that starts after this hook.
        PostMessageA(P.Handle(), WM_NULL, 0, 0);
    });
    EXPECT_FALSE(SizeablePopup(List, Form.get(), 10, 10, true));
    EXPECT_TRUE(OpenAfterInsideClick);
    ExpectRestored();
}

TEST_F(SizeablePopupWindow, AFailureWhileShowingStillGivesTheControlBack) {
    OnShown([&](THSPopupWindow&) { throw std::runtime_error("broken"); });
    EXPECT_THROW(SizeablePopup(List, Form.get(), 10, 10, true), std::runtime_error);
    ExpectRestored();
    EXPECT_EQ(nullptr, THSPopupWindow::ShowingPopupWindow());
    // And the next popup works as before.
    OnShown([&](THSPopupWindow& P) { PostKey(P.Handle(), VK_RETURN); });
    EXPECT_TRUE(SizeablePopup(List, Form.get(), 10, 10, true));
}

} // namespace
