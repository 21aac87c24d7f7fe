// The plain tree and list views: their published properties on live windows, the menu of a real
// right click, the selection-change delay, system colour changes and the late header style.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Menus.h"
#include "shellcontrols/ListViewBase.h"
#include "shellcontrols/TreeViewBase.h"

namespace {

// Closes every menu that opens while it lives, so that a second, unexpected menu cannot hang the
// test.
class TMenuCloser {
public:
    TMenuCloser() : FTimer(SetTimer(nullptr, 0, 150, &Close)) {}
    ~TMenuCloser() { KillTimer(nullptr, FTimer); }
    TMenuCloser(const TMenuCloser&) = delete;
    TMenuCloser& operator=(const TMenuCloser&) = delete;

private:
    static void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
    UINT_PTR FTimer;
};

// A real right click (press and release) at a client point of Wnd.
void RightClick(HWND Wnd, POINT Client) {
    ClientToScreen(Wnd, &Client);
    SetCursorPos(Client.x, Client.y);
    INPUT In[2] = {};
    In[0].type = In[1].type = INPUT_MOUSE;
    In[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    In[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, In, sizeof(INPUT));
}

LPARAM ScreenParam(HWND Wnd, POINT Client) {
    ClientToScreen(Wnd, &Client);
    return MAKELPARAM(Client.x, Client.y);
}

class ViewBaseTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 560, 360);
        Form->Show();
        Popup = new TPopupMenu(Form);
        auto* Item = new TMenuItem(Popup);
        Item->SetCaption("Own");
        Popup->Items()->Add(Item);
        Popup->OnPopup = [this](TObject*) { ++PopupsShown; };
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    TNVTreeView* NewTree(const std::vector<std::string>& Texts) {
        auto* Tree = new TNVTreeView(Form);
        Tree->SetParent(Form);
        Tree->SetBounds(10, 10, 240, 300);
        for (const std::string& T : Texts) {
            TVINSERTSTRUCTA Ins{};
            Ins.hParent = TVI_ROOT;
            Ins.hInsertAfter = TVI_LAST;
            Ins.item.mask = TVIF_TEXT;
            Ins.item.pszText = const_cast<char*>(T.c_str());
            Nodes.push_back(reinterpret_cast<HTREEITEM>(
                SendMessageA(Tree->Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins))));
        }
        return Tree;
    }
    TNVListView* NewList(int Items) {
        auto* List = new TNVListView(Form);
        List->SetParent(Form);
        List->SetBounds(270, 10, 260, 300);
        LVCOLUMNA Col{};
        Col.mask = LVCF_TEXT | LVCF_WIDTH;
        Col.cx = 150;
        Col.pszText = const_cast<char*>("Name");
        SendMessageA(List->Handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&Col));
        for (int I = 0; I < Items; ++I) {
            std::string Text = "item " + std::to_string(I);
            LVITEMA Item{};
            Item.mask = LVIF_TEXT;
            Item.iItem = I;
            Item.pszText = Text.data();
            SendMessageA(List->Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
        }
        return List;
    }
    static POINT NodeCentre(TNVTreeView* Tree, HTREEITEM Node) {
        RECT R{};
        TreeView_GetItemRect(Tree->Handle(), Node, &R, TRUE);
        return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
    static POINT ItemCentre(TNVListView* List, int Index) {
        RECT R{};
        ListView_GetItemRect(List->Handle(), Index, &R, LVIR_LABEL);
        return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
    static void Settle() {
        PumpUntil([] { return false; }, 150);
    }

    TForm* Form = nullptr;
    TPopupMenu* Popup = nullptr;
    int PopupsShown = 0;
    std::vector<HTREEITEM> Nodes;
};

LONG_PTR StyleOf(TWinControl* C) {
    return GetWindowLongPtrA(C->Handle(), GWL_STYLE);
}

} // namespace

TEST(TreeToolTipStyleTest, OldLibrariesOnNTGoWithoutTips) {
    struct {
        bool ToolTips, WinNT;
        uint32_t Version;
        DWORD Expected;
    } Cases[] = {
        {true, true, 0x40048, 0},
        {true, true, 0x60000, 0},
        {true, true, 0x40047, TVS_NOTOOLTIPS},
        {true, false, 0x40047, 0},
        {false, true, 0x60000, TVS_NOTOOLTIPS},
        {false, false, 0x40000, TVS_NOTOOLTIPS},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(NVTreeToolTipStyle(C.ToolTips, C.WinNT, C.Version), C.Expected)
            << C.ToolTips << " " << C.WinNT << " " << std::hex << C.Version;
}

TEST_F(ViewBaseTest, PublishedTreePropertiesSetTheWindowStyleBeforeAndAfterItIsMade) {
    struct {
        const char* Name;
        DWORD Bit;
        bool BitWhenTrue;
    } Cases[] = {
        {"AutoExpand", TVS_SINGLEEXPAND, true},
        {"RowSelect", TVS_FULLROWSELECT, true},
        {"HotTrack", TVS_TRACKSELECT, true},
        {"ToolTips", TVS_NOTOOLTIPS, false},
    };
    for (const auto& C : Cases) {
        for (bool Value : {true, false}) {
            SCOPED_TRACE(std::string(C.Name) + (Value ? " True" : " False"));
            auto* Tree = new TNVTreeView(Form);
            TScopeGuard Free([Tree] { delete Tree; });
            Tree->SetParent(Form);
            const TPropInfo* Info = GetPropInfo(Tree, C.Name);
            ASSERT_NE(Info, nullptr);
            EXPECT_EQ(GetOrdProp(Tree, Info), Info->Default) << "a new tree has the published default";
            SetPropValueText(Tree, Info, Value ? "True" : "False");
            const bool Expected = Value == C.BitWhenTrue;
            EXPECT_EQ((StyleOf(Tree) & C.Bit) != 0, Expected) << "made with it";
            SetOrdProp(Tree, Info, !Value);
            EXPECT_EQ((StyleOf(Tree) & C.Bit) != 0, !Expected) << "changed on the live window";
            EXPECT_EQ(GetOrdProp(Tree, Info), Value ? 0 : 1);
        }
    }
    auto* Tree = NewTree({"a"});
    EXPECT_NE(TreeView_GetToolTips(Tree->Handle()), nullptr);
    Tree->SetToolTips(false);
    EXPECT_EQ(TreeView_GetToolTips(Tree->Handle()), nullptr) << "the tree drops its tip window";
    Tree->SetToolTips(true);
    EXPECT_NE(TreeView_GetToolTips(Tree->Handle()), nullptr);
    for (const char* Name :
         {"RightClickSelect", "ChangeDelay", "OnChange", "OnNodeContextMenu", "OnNVCustomDraw"})
        EXPECT_TRUE(IsPublishedProp(Tree, Name)) << Name;
}

TEST_F(ViewBaseTest, ChangeDelayGathersARunOfSelectionChangesIntoOneNotification) {
    struct {
        int Delay;
        int AtOnce, Later;
    } Cases[] = {{0, 3, 3}, {120, 0, 1}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Delay);
        Nodes.clear();
        auto* Tree = NewTree({"a", "b", "c"});
        TScopeGuard Free([Tree] { delete Tree; });
        Tree->SetChangeDelay(C.Delay);
        int Changes = 0;
        HTREEITEM Seen = nullptr;
        Tree->OnChange = [&](TObject*) {
            ++Changes;
            Seen = Tree->Selected();
        };
        for (HTREEITEM N : Nodes)
            Tree->SelectNode(N);
        EXPECT_EQ(Changes, C.AtOnce);
        PumpUntil([&] { return Changes >= C.Later; }, 2000);
        Settle();
        EXPECT_EQ(Changes, C.Later);
        EXPECT_EQ(Seen, Nodes[2]);
    }
}

TEST_F(ViewBaseTest, ARightClickOnANodeOpensOneMenuAndSelectsItOnlyWithRightClickSelect) {
    for (bool RightClickSelect : {false, true}) {
        SCOPED_TRACE(RightClickSelect);
        Nodes.clear();
        PopupsShown = 0;
        auto* Tree = NewTree({"a", "b"});
        TScopeGuard Free([Tree] { delete Tree; });
        Tree->SetRightClickSelect(RightClickSelect);
        Tree->SetPopupMenu(Popup);
        Tree->SelectNode(Nodes[0]);
        std::vector<HTREEITEM> Seen;
        Tree->OnNodeContextMenu = [&Seen](TObject*, HTREEITEM Node, POINT&, TPopupMenu*&) {
            Seen.push_back(Node);
        };
        TMenuCloser Closer;
        RightClick(Tree->Handle(), NodeCentre(Tree, Nodes[1]));
        PumpUntil([this] { return PopupsShown > 0; }, 2000);
        Settle();
        ASSERT_EQ(Seen.size(), 1u) << "the menu request after the click opens nothing more";
        EXPECT_EQ(Seen[0], Nodes[1]);
        EXPECT_EQ(PopupsShown, 1);
        EXPECT_EQ(Tree->Selected(), RightClickSelect ? Nodes[1] : Nodes[0]);

        // The click is over: a request from the mouse with a node selected shows nothing, not
        // even the control's own menu.
        SendMessageA(Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree->Handle()),
                     ScreenParam(Tree->Handle(), POINT{5, 280}));
        EXPECT_EQ(Seen.size(), 1u);
        EXPECT_EQ(PopupsShown, 1);
    }
}

// A tree with nodes selects one when it gains the focus: only an empty one has none selected.
TEST_F(ViewBaseTest, ARightClickInATreeWithoutSelectionOpensTheTreesMenu) {
    auto* Tree = NewTree({});
    Tree->SetPopupMenu(Popup);
    std::vector<HTREEITEM> Seen;
    POINT At{};
    Tree->OnNodeContextMenu = [&](TObject*, HTREEITEM Node, POINT& Pos, TPopupMenu*&) {
        Seen.push_back(Node);
        At = Pos;
    };
    TMenuCloser Closer;
    for (int Round = 1; Round <= 2; ++Round) {
        SCOPED_TRACE(Round);
        RightClick(Tree->Handle(), POINT{20, 250});
        PumpUntil([&] { return PopupsShown >= Round; }, 2000);
        Settle();
        ASSERT_EQ(Seen.size(), static_cast<size_t>(Round)) << "each click opens the menu again";
        EXPECT_EQ(Seen.back(), nullptr);
        EXPECT_EQ(At.x, 20);
        EXPECT_EQ(At.y, 250);
        EXPECT_EQ(PopupsShown, Round);
    }

    // A handler that swaps the menu counts as a menu shown: the next request from the mouse
    // waits for the button's release.
    Tree->OnNodeContextMenu = [](TObject*, HTREEITEM, POINT&, TPopupMenu*& Menu) { Menu = nullptr; };
    SendMessageA(Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree->Handle()),
                 ScreenParam(Tree->Handle(), POINT{20, 250}));
    Tree->OnNodeContextMenu = nullptr;
    SendMessageA(Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree->Handle()),
                 ScreenParam(Tree->Handle(), POINT{20, 250}));
    EXPECT_EQ(PopupsShown, 2);
    SendMessageA(Tree->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(20, 250));
    EXPECT_EQ(Popup->AutoPopup, true) << "the popup menu's own popping is given back";
    SendMessageA(Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree->Handle()),
                 ScreenParam(Tree->Handle(), POINT{20, 250}));
    EXPECT_EQ(PopupsShown, 3);
}

TEST_F(ViewBaseTest, ARightClickOnAListItemOpensOneMenuAtItsIcon) {
    auto* List = NewList(3);
    List->SetPopupMenu(Popup);
    std::vector<int> Seen;
    POINT At{};
    List->OnItemContextMenu = [&](TObject*, int Item, POINT& Pos, TPopupMenu*&) {
        Seen.push_back(Item);
        At = Pos;
    };
    TMenuCloser Closer;
    for (int Round = 1; Round <= 2; ++Round) {
        SCOPED_TRACE(Round);
        // Another item each time: two clicks on one place would be a double click.
        RightClick(List->Handle(), ItemCentre(List, Round));
        PumpUntil([&] { return PopupsShown >= Round; }, 2000);
        Settle();
        ASSERT_EQ(Seen.size(), static_cast<size_t>(Round)) << "one menu per click";
        EXPECT_EQ(Seen.back(), Round);
        RECT Icon{};
        ListView_GetItemRect(List->Handle(), Round, &Icon, LVIR_ICON);
        EXPECT_EQ(At.x, (Icon.left + Icon.right) / 2);
        EXPECT_EQ(At.y, (Icon.top + Icon.bottom) / 2);
        EXPECT_EQ(PopupsShown, Round);
        EXPECT_EQ(List->PopupMenu(), Popup) << "the popup menu is given back after the release";
    }

    // The list keeps the last click's release to itself; once it is handled, a request from the
    // mouse without a click before it opens the menu where the mouse is.
    SendMessageA(List->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(40, 200));
    EXPECT_EQ(List->PopupMenu(), Popup);
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 ScreenParam(List->Handle(), POINT{40, 200}));
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(At.x, 40);
    EXPECT_EQ(At.y, 200);
    // Until the button's release another request opens nothing.
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 ScreenParam(List->Handle(), POINT{40, 200}));
    EXPECT_EQ(Seen.size(), 3u);
    SendMessageA(List->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(40, 200));
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 ScreenParam(List->Handle(), POINT{40, 200}));
    EXPECT_EQ(Seen.size(), 4u);
    SendMessageA(List->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(40, 200));

    // Without a selection a request shows nothing, a click beside the items the list's own menu.
    ListView_SetItemState(List->Handle(), -1, 0, LVIS_SELECTED);
    const int Shown = PopupsShown;
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 ScreenParam(List->Handle(), POINT{40, 200}));
    EXPECT_EQ(PopupsShown, Shown);
    RightClick(List->Handle(), POINT{200, 250});
    PumpUntil([&] { return PopupsShown > Shown; }, 2000);
    Settle();
    EXPECT_EQ(PopupsShown, Shown + 1);
    EXPECT_EQ(Seen.size(), 4u) << "no item, so no item menu";
}

TEST_F(ViewBaseTest, ASystemColourChangeReachesViewsThatUseSystemColours) {
    auto* Tree = NewTree({"a"});
    auto* List = NewList(1);
    const COLORREF Before = GetSysColor(COLOR_WINDOW);
    const COLORREF Changed = Before == RGB(10, 20, 30) ? RGB(40, 50, 60) : RGB(10, 20, 30);
    struct {
        TColor Color;
        COLORREF Expected;
    } Cases[] = {{clWindow, Changed}, {clRed, ColorToRGB(clRed)}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Color);
        Tree->SetColor(C.Color);
        List->SetColor(C.Color);
        INT Element = COLOR_WINDOW;
        {
            TScopeGuard Restore([&] { SetSysColors(1, &Element, &Before); });
            ASSERT_TRUE(SetSysColors(1, &Element, &Changed));
            Settle();
            EXPECT_EQ(static_cast<COLORREF>(SendMessageA(Tree->Handle(), TVM_GETBKCOLOR, 0, 0)), C.Expected);
            EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETBKCOLOR, 0, 0)), C.Expected);
            EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETTEXTBKCOLOR, 0, 0)),
                      C.Expected);
        }
        Settle();
    }
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(List->Handle(), LVM_GETBKCOLOR, 0, 0)), ColorToRGB(clRed));
}

TEST_F(ViewBaseTest, ColumnsAddedRightAfterTheListIsMadeGetTheHeaderStyle) {
    struct {
        TNVLvHeaderSortDisplayMode Mode;
        int Format;
    } Cases[] = {{TNVLvHeaderSortDisplayMode::nvlvRightOfText, HDF_OWNERDRAW},
                 {TNVLvHeaderSortDisplayMode::nvlvNone, HDF_STRING}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(static_cast<int>(C.Mode));
        auto* List = new TNVListView(Form);
        TScopeGuard Free([List] { delete List; });
        List->SetParent(Form);
        List->SetHeaderSortDisplayMode(C.Mode);
        List->SetBounds(270, 10, 260, 300);
        for (int I = 0; I < 2; ++I) {
            LVCOLUMNA Col{};
            Col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            Col.fmt = I == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            Col.cx = 100;
            Col.pszText = const_cast<char*>("Col");
            SendMessageA(List->Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(I),
                         reinterpret_cast<LPARAM>(&Col));
        }
        Settle();
        for (int I = 0; I < 2; ++I) {
            HDITEMA H{};
            H.mask = HDI_FORMAT;
            SendMessageA(List->GetHeaderHandle(), HDM_GETITEMA, static_cast<WPARAM>(I),
                         reinterpret_cast<LPARAM>(&H));
            EXPECT_EQ(H.fmt & (HDF_OWNERDRAW | HDF_STRING), C.Format) << I;
            EXPECT_EQ(H.fmt & HDF_JUSTIFYMASK, I == 1 ? HDF_RIGHT : HDF_LEFT) << "the alignment stays";
        }
    }
}

TEST_F(ViewBaseTest, PublishedListPropertiesReachTheWindow) {
    auto* List = NewList(1);
    const TPropInfo* Mode = GetPropInfo(List, "HeaderSortDisplayMode");
    ASSERT_NE(Mode, nullptr);
    EXPECT_EQ(GetPropValueText(List, Mode), "nvlvRightOfText");
    EXPECT_EQ(Mode->Default, GetOrdProp(List, Mode));
    struct {
        const char* Name;
        DWORD Bit;
    } Cases[] = {{"RowSelect", LVS_EX_FULLROWSELECT}, {"HotTrack", LVS_EX_TRACKSELECT}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TPropInfo* Info = GetPropInfo(List, C.Name);
        ASSERT_NE(Info, nullptr);
        for (const char* Value : {"True", "False"}) {
            SetPropValueText(List, Info, Value);
            const DWORD Ex =
                static_cast<DWORD>(SendMessageA(List->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
            EXPECT_EQ((Ex & C.Bit) != 0, std::string(Value) == "True") << Value;
        }
    }
    SetPropValueText(List, GetPropInfo(List, "ViewStyle"), "vsList");
    EXPECT_EQ(StyleOf(List) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_LIST));
    for (const char* Name : {"MultiSelect", "OnItemContextMenu", "OnNVCustomDraw", "OnNVCustomDrawEx"})
        EXPECT_TRUE(IsPublishedProp(List, Name)) << Name;
}
