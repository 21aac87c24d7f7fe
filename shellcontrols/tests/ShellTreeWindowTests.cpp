#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ShellTestFolder.h"
#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

namespace {

class ShellTreeTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 640, 400);
        Tree = new TNVShellTree(Form);
        // Whole drives are not watched here: the tests refresh by hand.
        Tree->SetOptions(Tree->Options() & ~nvstoDynamicRefresh);
        Tree->SetParent(Form);
        Tree->SetAlign(TAlign::alLeft);
        Tree->SetWidth(250);
        Form->Show();
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    void Root(const std::string& Path) {
        Tree->BaseFolder().SetPathName(Path);
        PumpUntil([] { return false; }, 50);
    }
    TForm* Form = nullptr;
    TNVShellTree* Tree = nullptr;
};

} // namespace

TEST_F(ShellTreeTest, FillsFoldersOnlyAndExpandsOnDemand) {
    TShellTestFolder Dir({"beta\\", "alpha\\", "alpha\\inner\\", "file.txt"});
    Root(Dir.Root());
    HTREEITEM Top = Tree->FirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Tree->NodeText(Top), ExtractFileName(Dir.Root()));
    HTREEITEM A = Tree->FirstChild(Top);
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(Tree->NodeText(A), "alpha");
    EXPECT_EQ(Tree->NodeText(Tree->NextSibling(A)), "beta");
    EXPECT_EQ(Tree->NextSibling(Tree->NextSibling(A)), nullptr); // no files
    EXPECT_EQ(Tree->FirstChild(A), nullptr);                     // read on expansion
    Tree->ExpandNode(A);
    EXPECT_EQ(Tree->NodeText(Tree->FirstChild(A)), "inner");
    EXPECT_EQ(Tree->NodeData(A)->GetPathName(), Dir.Path("alpha"));
    EXPECT_FALSE(Tree->NodeData(Top)->GetEditable());
    EXPECT_TRUE(Tree->NodeData(A)->GetEditable());
}

TEST_F(ShellTreeTest, SelectingADeepPathExpandsEachLevel) {
    TShellTestFolder Dir({"a\\", "a\\b\\", "a\\b\\c\\", ".hidden\\"});
    Root(Dir.Root());
    Tree->SetSelectedPathName(Dir.Path("a\\b\\c"));
    HTREEITEM Sel = Tree->Selected();
    ASSERT_NE(Sel, nullptr);
    EXPECT_EQ(Tree->NodeText(Sel), "c");
    EXPECT_EQ(Tree->NodeData(Sel)->GetPathName(), Dir.Path("a\\b\\c"));
    EXPECT_EQ(Tree->NodeText(Tree->Parent(Sel)), "b");

    // A hidden folder that the enumeration left out is added under its parent when selected.
    Tree->SetOptions(Tree->Options() & ~nvstoShowHidden);
    Tree->FillItems();
    EXPECT_EQ(Tree->FindChildByText(Tree->FirstNode(), ".hidden"), nullptr);
    Tree->SetSelectedPathName(Dir.Path(".hidden"));
    ASSERT_NE(Tree->Selected(), nullptr);
    EXPECT_EQ(Tree->NodeData(Tree->Selected())->GetPathName(), Dir.Path(".hidden"));

    Tree->GoUp(5);
    EXPECT_EQ(Tree->Selected(), Tree->FirstNode());
}

TEST_F(ShellTreeTest, TreeAndListFollowEachOther) {
    TShellTestFolder Dir({"docs\\", "docs\\page.html", "pics\\", "pics\\x.png"});
    auto* List = new TNVShellList(Form);
    List->SetParent(Form);
    List->SetAlign(TAlign::alClient);
    Tree->SetShellList(List);
    Root(Dir.Root());
    Application->ProcessMessages();

    // A selection made without a click reaches the list after half a second.
    HTREEITEM Docs = Tree->FindChildByText(Tree->FirstNode(), "docs");
    ASSERT_NE(Docs, nullptr);
    Tree->SelectNode(Docs);
    EXPECT_TRUE(Tree->TimerWaiting());
    EXPECT_EQ(Tree->TimerDelay(), 500);
    EXPECT_TRUE(PumpUntil([&] { return List->Folder().GetPathName() == Dir.Path("docs"); }, 2000));
    EXPECT_EQ(List->ItemCount(), 1);
    EXPECT_EQ(Tree->GetSelectedPathName(), Dir.Path("docs"));

    // The list going up moves the tree's selection, and the list shows the root again.
    List->GoUp(1);
    Application->ProcessMessages();
    EXPECT_EQ(Tree->Selected(), Tree->FirstNode());
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Root());
    EXPECT_EQ(List->ItemCount(), 2);

    // Opening a folder in the list selects it in the tree.
    List->OpenItem(List->FindCaption("pics"));
    Application->ProcessMessages();
    EXPECT_EQ(Tree->NodeText(Tree->Selected()), "pics");
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("pics"));
    EXPECT_EQ(List->ItemCount(), 1);
}

TEST_F(ShellTreeTest, RefreshTakesAwayWhatWentAndAddsWhatCame) {
    TShellTestFolder Dir({"keep\\", "gone\\", "gone\\deep\\"});
    Root(Dir.Root());
    Tree->SetSelectedPathName(Dir.Path("gone\\deep"));
    ASSERT_EQ(Tree->NodeText(Tree->Selected()), "deep");
    RemoveTree(Dir.Path("gone"));
    Dir.MakeFolder("new one");
    Tree->RefreshNodes();
    HTREEITEM Top = Tree->FirstNode();
    EXPECT_EQ(Tree->FindChildByText(Top, "gone"), nullptr);
    EXPECT_NE(Tree->FindChildByText(Top, "keep"), nullptr);
    EXPECT_NE(Tree->FindChildByText(Top, "new one"), nullptr);
    EXPECT_EQ(Tree->Selected(), Top); // the selection was inside the removed folder
}

TEST_F(ShellTreeTest, AddInsertAndDeleteEventsSeeTheShellItems) {
    TShellTestFolder Dir({"keep\\", "hidden from tree\\", "gone\\"});
    std::vector<std::string> Asked, Inserted, Deleted;
    Tree->OnAddItem = [&](TObject*, IShellFolder* Folder, LPCITEMIDLIST, LPCITEMIDLIST Item, SFGAOF Attribs,
                          bool& Allow) {
        EXPECT_TRUE(Attribs & SFGAO_FOLDER);
        std::string Name = ShellGetFriendlyNameFromIdList(Folder, Item, TNVFriendlyNameFlags::nvfnInFolder);
        Asked.push_back(Name);
        if (Name == "hidden from tree")
            Allow = false;
    };
    Tree->OnInsertItem = [&](TObject*, HTREEITEM Node) { Inserted.push_back(Tree->NodeText(Node)); };
    Tree->OnDeleteItem = [&](TObject*, HTREEITEM Node, TNVShTreeData* Data) {
        ASSERT_NE(Data, nullptr);
        EXPECT_EQ(Data, Tree->NodeData(Node));
        Deleted.push_back(Data->GetPathName());
    };
    Root(Dir.Root());
    HTREEITEM Top = Tree->FirstNode();
    EXPECT_EQ(Tree->FindChildByText(Top, "hidden from tree"), nullptr) << "the handler refused it";
    EXPECT_NE(Tree->FindChildByText(Top, "keep"), nullptr);
    EXPECT_EQ(Asked.size(), 3u);
    std::vector<std::string> Expected{ExtractFileName(Dir.Root()), "gone", "keep"};
    std::sort(Inserted.begin(), Inserted.end());
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Inserted, Expected) << "the first-level node and each child";

    Deleted.clear();
    RemoveTree(Dir.Path("gone"));
    Tree->RefreshNodes();
    EXPECT_EQ(Deleted, std::vector<std::string>{Dir.Path("gone")});
    Tree->OnAddItem = nullptr;
    Tree->OnInsertItem = nullptr;
    Tree->OnDeleteItem = nullptr;
}

TEST_F(ShellTreeTest, RenameAndNewFolder) {
    TShellTestFolder Dir({"before\\"});
    Root(Dir.Root());
    HTREEITEM Node = Tree->FindChildByText(Tree->FirstNode(), "before");
    ASSERT_NE(Node, nullptr);
    EXPECT_TRUE(Tree->RenameNode(Node, "after"));
    EXPECT_TRUE(DirectoryExists(Dir.Path("after")));
    EXPECT_EQ(Tree->NodeText(Node), "after");
    EXPECT_EQ(Tree->NodeData(Node)->GetPathName(), Dir.Path("after"));
    EXPECT_FALSE(Tree->RenameNode(Tree->FirstNode(), "top")); // first-level nodes keep their names

    Tree->SelectNode(Tree->FirstNode());
    ASSERT_TRUE(Tree->CreateNewFolder());
    EXPECT_TRUE(DirectoryExists(Dir.Path("New Folder")));
    EXPECT_NE(Tree->FindChildByText(Tree->FirstNode(), "New Folder"), nullptr);
    PostKey(GetFocus(), VK_ESCAPE);
    Application->ProcessMessages();
}

TEST_F(ShellTreeTest, ADraggedFolderIsOfferedAsAFileList) {
    TShellTestFolder Dir({"drag me\\"});
    Root(Dir.Root());
    EXPECT_FALSE(Tree->CreateNodeDataObject(Tree->FirstNode())); // first-level nodes stay put
    TComPtr<IDataObject> Data =
        Tree->CreateNodeDataObject(Tree->FindChildByText(Tree->FirstNode(), "drag me"));
    ASSERT_TRUE(Data);
    FORMATETC Fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM Medium{};
    ASSERT_EQ(Data->GetData(&Fmt, &Medium), S_OK);
    EXPECT_EQ(ReadHDrop(Medium.hGlobal), std::vector<std::string>{Dir.Path("drag me")});
    EXPECT_EQ(GlobalSize(Medium.hGlobal), 20 + Dir.Path("drag me").size() + 1 + 1);
    ReleaseStgMedium(&Medium);
}

TEST_F(ShellTreeTest, ABurstOfChangesGivesOneRefresh) {
    TShellTestFolder Dir({"x\\"});
    Root(Dir.Root());
    int Refreshes = 0;
    Tree->OnFillStart = [&](TObject*) { ++Refreshes; };
    for (int I = 0; I < 10; ++I)
        PostMessageA(Tree->Handle(), AMChangeNotify, 0, 0);
    Dir.MakeFolder("y");
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(Tree->TimerWaiting());
    EXPECT_EQ(Tree->TimerDelay(), Tree->Focused() ? 400 : 2000);
    EXPECT_EQ(Refreshes, 0);
    EXPECT_TRUE(PumpUntil([&] { return Refreshes > 0; }, 3000));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(Refreshes, 1);
    EXPECT_NE(Tree->FindChildByText(Tree->FirstNode(), "y"), nullptr);
}

TEST_F(ShellTreeTest, PluggingInADriveRefreshesTheTree) {
    TShellTestFolder Dir({"x\\"});
    Root(Dir.Root());
    Dir.MakeFolder("arrived");
    int Refreshes = 0;
    Tree->OnFillStart = [&](TObject*) { ++Refreshes; };
    SendMessageA(NVDeviceChangeHandler()->Handle(), WM_DEVICECHANGE, 0x8007, 0); // not a drive event
    SendMessageA(NVDeviceChangeHandler()->Handle(), WM_DEVICECHANGE, 0x8000, 0);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(Refreshes, 1);
    EXPECT_NE(Tree->FindChildByText(Tree->FirstNode(), "arrived"), nullptr);
}

// ---- Dragging over the tree: hover opens a node, the edges scroll ----

namespace {

int64_t GFakeMs = 0;
TDateTime FakeNow() {
    return 46000.0 + static_cast<double>(GFakeMs) / 86400000.0;
}

// Drives the tree's registered drop target as the platform's drag loop would, on a moved clock.
class ShellTreeDragTest : public ShellTreeTest {
protected:
    void SetUp() override {
        ShellTreeTest::SetUp();
        GFakeMs = 0;
        SetNowFunction(&FakeNow);
        NVDragScrollSettings() = TNVDragScrollSettings{};
    }
    void TearDown() override {
        if (Entered)
            Tree->DropTarget()->DragLeave();
        SetNowFunction(nullptr);
        ShellTreeTest::TearDown();
    }
    POINT NodePoint(HTREEITEM Node) {
        RECT R{};
        TreeView_GetItemRect(Tree->Handle(), Node, &R, TRUE);
        return Tree->ClientToScreen(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    }
    void Enter(const TShellTestFolder& Dir, POINT Screen) {
        TNVIdListHolder Folder;
        ASSERT_TRUE(SUCCEEDED(ShellGetIdListFromPath(Dir.Path("dragged.txt"), *Folder.Put())));
        TComPtr<IShellFolder> Parent;
        LPITEMIDLIST ParentList = nullptr, Rel = nullptr;
        ASSERT_TRUE(SUCCEEDED(ShellBindToParent(Folder.Get(), Parent, ParentList, Rel)));
        TNVIdListHolder P(ParentList), R(Rel);
        Data = NVCreateShellDataObject(Parent.Get(), P.Get(), {R.Get()});
        ASSERT_TRUE(Data);
        ASSERT_NE(Tree->DropTarget(), nullptr);
        DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(Tree->DropTarget()->DragEnter(Data.Get(), MK_LBUTTON, POINTL{Screen.x, Screen.y}, &Effect),
                  S_OK);
        Entered = true;
    }
    void Over(POINT Screen, int AfterMs) {
        GFakeMs += AfterMs;
        DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(Tree->DropTarget()->DragOver(MK_LBUTTON, POINTL{Screen.x, Screen.y}, &Effect), S_OK);
    }
    bool Expanded(HTREEITEM Node) {
        return (TreeView_GetItemState(Tree->Handle(), Node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }
    TComPtr<IDataObject> Data;
    bool Entered = false;
};

} // namespace

TEST_F(ShellTreeDragTest, RestingOnANodeLongerThanTheHoverTimeOpensIt) {
    TShellTestFolder Dir({"alpha\\", "alpha\\inner\\", "beta\\", "beta\\deep\\", "dragged.txt"});
    Root(Dir.Root());
    HTREEITEM Alpha = Tree->FindChildByText(Tree->FirstNode(), "alpha");
    HTREEITEM Beta = Tree->FindChildByText(Tree->FirstNode(), "beta");
    ASSERT_TRUE(Alpha && Beta);
    ASSERT_FALSE(Expanded(Alpha));
    const int Hover = NVDragScrollSettings().HoverMs;

    Enter(Dir, NodePoint(Alpha));
    Over(NodePoint(Alpha), Hover / 2);
    EXPECT_FALSE(Expanded(Alpha)) << "not yet";
    Over(NodePoint(Alpha), Hover / 2 + 10);
    EXPECT_TRUE(Expanded(Alpha));
    EXPECT_NE(Tree->FindChildByText(Alpha, "inner"), nullptr);

    // Passing over a node does not open it: the hover starts again where the cursor went.
    Over(NodePoint(Beta), Hover + 10);
    EXPECT_FALSE(Expanded(Beta));
    POINT Away = NodePoint(Beta);
    Away.y += 30;
    Over(Away, Hover + 10);
    EXPECT_FALSE(Expanded(Beta));
}

TEST_F(ShellTreeDragTest, NearTheLowerEdgeTheTreeScrollsALineAtATime) {
    std::vector<std::string> Names{"dragged.txt"};
    for (int I = 0; I < 60; ++I)
        Names.push_back("folder" + std::to_string(100 + I) + "\\");
    TShellTestFolder Dir(Names);
    Root(Dir.Root());
    Tree->ExpandNode(Tree->FirstNode());
    ASSERT_TRUE(NVScrollBarHasRoom(Tree->Handle(), SB_VERT));
    RECT Client{};
    GetClientRect(Tree->Handle(), &Client);
    POINT Middle = Tree->ClientToScreen(POINT{Client.right / 2, Client.bottom / 2});
    POINT Low = Tree->ClientToScreen(POINT{Client.right / 2, Client.bottom - 5});
    Enter(Dir, Middle);
    const int Start = GetScrollPos(Tree->Handle(), SB_VERT);
    Over(Middle, 150);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Start) << "the middle does not scroll";
    Over(Low, 150);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Start + 1);
    Over(Low, 50);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Start + 1) << "not before the scroll delay";
    Over(Low, 60);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Start + 2);
    POINT High = Tree->ClientToScreen(POINT{Client.right / 2, 3});
    Over(High, 150);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Start + 1) << "the upper edge scrolls back";
}

namespace {
void CALLBACK CloseTreeMenu(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    EndMenu();
}

// A real right click (press and release) at a screen point.
void RightClickAt(POINT Screen) {
    SetCursorPos(Screen.x, Screen.y);
    INPUT In[2] = {};
    In[0].type = In[1].type = INPUT_MOUSE;
    In[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    In[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, In, sizeof(INPUT));
}
} // namespace

TEST_F(ShellTreeTest, ContextMenuHandlerSeesTheNodeUnderTheMouse) {
    TShellTestFolder Dir({"alpha\\", "beta\\"});
    Root(Dir.Root());
    Tree->SetOptions(Tree->Options() & ~nvstoContextMenus);
    HTREEITEM Beta = Tree->FindChildByText(Tree->FirstNode(), "beta");
    ASSERT_NE(Beta, nullptr);
    Tree->SelectNode(Tree->FindChildByText(Tree->FirstNode(), "alpha"));
    RECT R{};
    TreeView_GetItemRect(Tree->Handle(), Beta, &R, TRUE);
    POINT Screen = Tree->ClientToScreen(POINT{R.left + 2, R.top + 2});
    auto* Popup = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Popup);
    Item->SetCaption("Own");
    Popup->Items()->Add(Item);
    int Shown = 0;
    Popup->OnPopup = [&Shown](TObject*) { ++Shown; };
    Tree->SetPopupMenu(Popup);
    HTREEITEM Seen = nullptr;
    Tree->OnNodeContextMenu = [&Seen](TObject*, HTREEITEM Node, POINT&, TPopupMenu*& Menu) {
        Seen = Node;
        Menu = nullptr;
    };
    RightClickAt(Screen);
    PumpUntil([&Seen] { return Seen != nullptr; }, 2000);
    EXPECT_EQ(Seen, Beta) << "the node under the mouse, not the selected one";
    EXPECT_EQ(Shown, 0) << "the handler dropped the menu";
    Tree->OnNodeContextMenu = nullptr;
    SetTimer(nullptr, 0, 300, &CloseTreeMenu);
    Tree->SetFocus();
    PostKey(Tree->Handle(), VK_APPS);
    PumpUntil([&Shown] { return Shown > 0; }, 2000);
    EXPECT_EQ(Shown, 1) << "the Applications key opens it at the selected node";
    SendMessageA(Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree->Handle()), -1);
    EXPECT_EQ(Shown, 1) << "the platform's keyboard request that follows the key opens nothing more";

    POINT At{};
    Tree->OnNodeContextMenu = [&](TObject*, HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu) {
        Seen = Node;
        At = Pos;
        Menu = nullptr;
    };
    Tree->SelectNode(Beta);
    Seen = nullptr;
    PostKey(Tree->Handle(), VK_APPS);
    PumpUntil([&Seen, Beta] { return Seen == Beta; }, 2000);
    EXPECT_EQ(Seen, Beta);
    EXPECT_EQ(At.x, (R.left + R.right) / 2) << "the centre of the node's text";
    EXPECT_EQ(At.y, (R.top + R.bottom) / 2);
}

TEST_F(ShellTreeTest, ThePlainTreeViewDrawsThroughItsEventsAndOpensNodeMenus) {
    auto* View = new TNVTreeView(Form);
    View->SetParent(Form);
    View->SetBounds(300, 10, 200, 200);
    HTREEITEM Items[2] = {};
    const char* Texts[2] = {"one", "two"};
    for (int I = 0; I < 2; ++I) {
        TVINSERTSTRUCTA Ins{};
        Ins.hParent = TVI_ROOT;
        Ins.hInsertAfter = TVI_LAST;
        Ins.item.mask = TVIF_TEXT;
        Ins.item.pszText = const_cast<char*>(Texts[I]);
        Items[I] = reinterpret_cast<HTREEITEM>(
            SendMessageA(View->Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
    }
    EXPECT_EQ(View->NodeText(View->FirstNode()), "one");
    EXPECT_EQ(View->NextSibling(View->FirstNode()), Items[1]);

    int Stages = 0;
    std::vector<HTREEITEM> ItemPre;
    View->OnNVCustomDrawEx = [&](TObject*, TNVCustomDraw*, HTREEITEM) { ++Stages; };
    View->OnNVCustomDraw = [&](TObject*, TNVCustomDraw*, HTREEITEM Node) { ItemPre.push_back(Node); };
    InvalidateRect(View->Handle(), nullptr, TRUE);
    UpdateWindow(View->Handle());
    EXPECT_GT(Stages, static_cast<int>(ItemPre.size())) << "the Ex event sees the other stages too";
    ASSERT_GE(ItemPre.size(), 2u) << "the plain event sees each item before it is painted";
    EXPECT_EQ(ItemPre[0], Items[0]);

    HTREEITEM Seen = nullptr;
    View->OnNodeContextMenu = [&Seen](TObject*, HTREEITEM Node, POINT&, TPopupMenu*& Menu) {
        Seen = Node;
        Menu = nullptr;
    };
    View->SelectNode(Items[1]);
    View->SetFocus();
    PostKey(View->Handle(), VK_APPS);
    PumpUntil([&Seen] { return Seen != nullptr; }, 1000);
    EXPECT_EQ(Seen, Items[1]);
    View->OnNVCustomDrawEx = nullptr;
    View->OnNVCustomDraw = nullptr;
    View->OnNodeContextMenu = nullptr;
}
