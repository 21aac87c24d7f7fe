// The free-standing drop-down list in a real window, opened under an edit control as the code
// editor opens its completion lists: items, keys routed from the edit, mouse, size, closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "controls/tree/PopupListBox.h"
#include "framework/ui/PngWriter.h"

namespace {

// Holds a modifier key down for this thread's key-state queries while it lives.
class THeldKey {
public:
    explicit THeldKey(int Key) : FKey(Key) { Set(0x80); }
    ~THeldKey() { Set(0); }

private:
    void Set(BYTE Value) {
        BYTE State[256];
        GetKeyboardState(State);
        State[FKey] = Value;
        SetKeyboardState(State);
    }
    int FKey;
};

class PopupListWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(60, 60, 360, 260);
        Form->SetCaption("Popup list");
        Edit = new TEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 200, 22);
        Form->Show();
        Edit->SetFocus();
        PumpUntil([] { return false; }, 100);
    }
    void TearDown() override {
        List.reset();
        Form.reset();
        UiTest::TearDown();
    }
    void Open(const std::vector<std::string>& Texts, std::vector<TLeftRightAlign> Aligns = {},
              int MaxWidth = 0, POINT At = POINT{10, 32}) {
        TStringList Items;
        for (const std::string& S : Texts)
            Items.Add(S);
        Selected.clear();
        List.reset(PopupListbox(
            Edit, Items, At.x, At.y, Aligns, nullptr,
            [this](TObject*, int Index) { Selected.push_back(Index); }, MaxWidth));
        PumpUntil([] { return false; }, 50);
    }
    std::vector<std::string> Numbered(int N) {
        std::vector<std::string> R;
        for (int I = 0; I < N; ++I)
            R.push_back("item " + std::to_string(I));
        return R;
    }
    bool ListShowing() { return List && List->HandleAllocated() && IsWindowVisible(List->Handle()); }
    void Keys(std::initializer_list<WORD> Ks) {
        for (WORD K : Ks)
            PostKey(Edit->Handle(), K);
        PumpUntil([] { return false; }, 60);
    }
    int Rows() {
        return List->ClientHeight() / static_cast<int>(SendMessageA(List->Handle(), LB_GETITEMHEIGHT, 0, 0));
    }

    std::unique_ptr<TForm> Form;
    TEdit* Edit = nullptr;
    std::unique_ptr<THSPopupListBox> List;
    std::vector<int> Selected;
};

TEST_F(PopupListWindow, OpensUnderThePointWithOneToSevenRowsAndTheFirstItemSelected) {
    struct Case {
        int Items;
        int Rows;
        bool ScrollBar;
        int Selected;
    } Cases[] = {{0, 1, false, -1}, {2, 2, false, 0}, {7, 7, false, 0}, {10, 7, true, 0}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Items);
        Open(Numbered(C.Items));
        ASSERT_TRUE(ListShowing());
        EXPECT_EQ(C.Rows, Rows());
        EXPECT_EQ(C.Selected, List->ItemIndex());
        SCROLLINFO SI{sizeof(SI), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(List->Handle(), SB_VERT, &SI);
        bool Scrolls = (GetWindowLongA(List->Handle(), GWL_STYLE) & WS_VSCROLL) &&
                       SI.nMax >= static_cast<int>(SI.nPage) && SI.nPage > 0;
        EXPECT_EQ(C.ScrollBar, Scrolls);
        RECT R;
        GetWindowRect(List->Handle(), &R);
        POINT Below = Edit->ClientToScreen(POINT{10, 32});
        EXPECT_EQ(Below.x, R.left);
        EXPECT_EQ(Below.y, R.top);
        // The list never takes the focus from the editor it serves.
        EXPECT_EQ(Edit->Handle(), GetFocus());
        List->Close(false);
    }
}

TEST_F(PopupListWindow, KeysTypedInTheEditorMoveTheSelectionAndEnterOrEscapeReport) {
    Open(Numbered(20));
    Keys({VK_DOWN, VK_DOWN});
    EXPECT_EQ(2, List->ItemIndex());
    Keys({VK_NEXT});
    EXPECT_GT(List->ItemIndex(), 2);
    Keys({VK_HOME, VK_DOWN, VK_DOWN, VK_DOWN, VK_UP});
    EXPECT_EQ(2, List->ItemIndex());
    EXPECT_TRUE(Selected.empty());
    {
        THeldKey Ctrl(VK_CONTROL);
        Keys({VK_RETURN});
    }
    EXPECT_TRUE(ListShowing()) << "Ctrl+Enter does not close the list";
    EXPECT_TRUE(Selected.empty());
    Keys({VK_RETURN});
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(std::vector<int>{2}, Selected);

    Open(Numbered(5));
    Keys({VK_DOWN, VK_ESCAPE});
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(std::vector<int>{-1}, Selected);

    // Once closed, keys belong to the editor again.
    PostChars(Edit->Handle(), "ok");
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ("ok", Edit->Text());
}

TEST_F(PopupListWindow, EnterOnAnEmptyListReportsNoIndex) {
    Open({});
    Keys({VK_RETURN});
    EXPECT_EQ(std::vector<int>{-1}, Selected);
}

TEST_F(PopupListWindow, TheMouseSelectsWhileDraggingAndReleaseInsideAccepts) {
    Open(Numbered(10));
    int H = static_cast<int>(SendMessageA(List->Handle(), LB_GETITEMHEIGHT, 0, 0));
    HWND L = List->Handle();
    PostMessageA(L, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, H * 1 + 2));
    PostMessageA(L, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, H * 3 + 2));
    PumpUntil([] { return false; }, 40);
    EXPECT_EQ(3, List->ItemIndex());
    EXPECT_TRUE(Selected.empty());
    // Dragged below the list: one item further per move.
    PostMessageA(L, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, List->ClientHeight() + 5));
    PostMessageA(L, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, List->ClientHeight() + 6));
    PumpUntil([] { return false; }, 40);
    EXPECT_EQ(5, List->ItemIndex());
    PostMessageA(L, WM_LBUTTONUP, 0, MAKELPARAM(10, H * 4 + 2));
    PumpUntil([&] { return !Selected.empty(); }, 500);
    EXPECT_EQ(std::vector<int>{5}, Selected);

    Open(Numbered(10));
    PostMessageA(List->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 2));
    PostMessageA(List->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, -20));
    PumpUntil([&] { return !Selected.empty(); }, 500);
    EXPECT_EQ(std::vector<int>{-1}, Selected) << "a release outside the list cancels";
}

TEST_F(PopupListWindow, ARealClickOutsideTheListCancelsIt) {
    Open(Numbered(4));
    POINT P = Form->ClientToScreen(POINT{300, 200});
    SetCursorPos(P.x, P.y);
    INPUT In[2]{};
    In[0].type = In[1].type = INPUT_MOUSE;
    In[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    In[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, In, sizeof(INPUT));
    PumpUntil([&] { return !Selected.empty(); }, 1500);
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(std::vector<int>{-1}, Selected);
}

TEST_F(PopupListWindow, ClosesWhenTheEditorLosesTheFocusOrTheApplicationItsActivation) {
    auto* Other = new TEdit(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 100, 100, 22);
    Open(Numbered(4));
    Other->SetFocus();
    PumpUntil([&] { return !Selected.empty(); }, 500);
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(std::vector<int>{-1}, Selected);

    Edit->SetFocus();
    Open(Numbered(4));
    SendMessageA(Form->Handle(), WM_ACTIVATEAPP, 0, 0);
    PumpUntil([&] { return !Selected.empty(); }, 500);
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(std::vector<int>{-1}, Selected);
}

TEST_F(PopupListWindow, TheCallbackMayFreeTheListAndOpenTheNext) {
    // The code editor frees a list in its callback before it shows the next one.
    TStringList Items;
    Items.Add("first");
    Items.Add("second");
    THSPopupListBox* Raw = nullptr;
    int Chosen = -2;
    Raw = PopupListbox(
        Edit, Items, 0, 22, {}, nullptr,
        [&](TObject* Sender, int Index) {
            EXPECT_EQ(Raw, Sender);
            Chosen = Index;
            delete Raw;
            Raw = nullptr;
        },
        0);
    Keys({VK_DOWN, VK_RETURN});
    EXPECT_EQ(1, Chosen);
    EXPECT_EQ(nullptr, Raw);
    Open(Numbered(3));
    Keys({VK_DOWN, VK_RETURN});
    EXPECT_EQ(std::vector<int>{1}, Selected);
}

TEST_F(PopupListWindow, WidthFollowsTheColumnsWithinMaxWidthAndTheScreenEdgesTurnItAround) {
    std::vector<std::string> Texts = {"short|x", "a much longer first column|right", "b|~bold~ part"};
    Open(Texts, {TLeftRightAlign::lrLeftJustify, TLeftRightAlign::lrRightJustify});
    ASSERT_EQ(2u, List->ColumnWidths().size());
    int Natural = 8 + List->ColumnWidths()[0] + List->ColumnWidths()[1];
    EXPECT_EQ(Natural, List->ClientWidth());
    EXPECT_EQ(TLeftRightAlign::lrRightJustify, List->ColumnAlign(1));
    EXPECT_EQ(TLeftRightAlign::lrLeftJustify, List->ColumnAlign(5));
    // A bold stretch is measured in the bold font: wider than the same text plain.
    {
        HDC DC = GetDC(nullptr);
        TCanvas C;
        C.SetHandle(DC);
        EXPECT_GT(List->CalcSize(C, "~wwwwwwww~"), List->CalcSize(C, "wwwwwwww"));
        C.SetHandle(nullptr);
        ReleaseDC(nullptr, DC);
    }
    List->Close(false);

    ASSERT_GT(Natural, 150);
    Open(Texts, {}, 150);
    EXPECT_EQ(150, List->ClientWidth());
    int Fresh = List->ClientWidth();
    List->Close(false);
    Open(Texts, {}, 5);
    EXPECT_GT(List->ClientWidth(), 5) << "never narrower than it already is";
    EXPECT_LT(List->ClientWidth(), Fresh);

    int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
    POINT Corner = Edit->ScreenToClient(POINT{SW - 4, SH - 4});
    Open(Numbered(10), {}, 0, Corner);
    RECT R;
    GetWindowRect(List->Handle(), &R);
    EXPECT_EQ(SH - 4, R.bottom) << "opens upwards";
    EXPECT_EQ(SW - 4, R.right) << "opens to the left";
}

TEST_F(PopupListWindow, ScreenshotOfAnOpenCompletionList) {
    Open({"div|~el~ement", "span|~el~ement", "href|attribute", "class|attribute", "id|attribute"},
         {TLeftRightAlign::lrLeftJustify, TLeftRightAlign::lrRightJustify});
    Keys({VK_DOWN});
    RECT R;
    GetWindowRect(List->Handle(), &R);
    RECT F;
    GetWindowRect(Form->Handle(), &F);
    int W = F.right - F.left, H = F.bottom - F.top;
    TBitmap Shot;
    Shot.SetSize(W, H);
    HDC Screen = GetDC(nullptr);
    BitBlt(Shot.Canvas().Handle(), 0, 0, W, H, Screen, F.left, F.top, SRCCOPY);
    ReleaseDC(nullptr, Screen);
    // The selected row is painted in the highlight colour.
    int Row = static_cast<int>(SendMessageA(List->Handle(), LB_GETITEMHEIGHT, 0, 0));
    POINT InRow{R.left - F.left + 2 + 1, R.top - F.top + 1 + Row + Row / 2};
    EXPECT_EQ(ColorToRGB(clHighlight), ColorToRGB(Shot.Canvas().Pixel(InRow.x, InRow.y)));
    std::filesystem::path Dir = std::filesystem::path(TestOutputFolder()).parent_path() / "tree";
    std::filesystem::create_directories(Dir);
    SavePng(Shot, (Dir / "popup-list-open.png").string());
}

} // namespace
