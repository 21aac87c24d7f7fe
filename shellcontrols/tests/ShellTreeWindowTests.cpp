#include <gtest/gtest.h>

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
