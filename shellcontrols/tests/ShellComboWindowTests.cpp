#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

namespace {

class ShellComboTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(30, 30, 600, 400);
        Form->Show();
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    TForm* Form = nullptr;
};

} // namespace

TEST_F(ShellComboTest, ImageComboOwnsItsItems) {
    auto* Combo = new TNVImageCombo(Form);
    Combo->SetParent(Form);
    Combo->Font().SetSize(8);
    Combo->SetImageList(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall));
    int Deleted = 0;
    Combo->OnDeleteItem = [&](TObject*, TNVImageComboItem*) { ++Deleted; };
    Combo->AddItem("one", 0, 0);
    TNVImageComboItem* Two = Combo->AddItem("two", 1, 2);
    EXPECT_EQ(Two->Index(), 1);
    EXPECT_EQ(Combo->GetImageComboItem(1), Two);
    EXPECT_EQ(Combo->ItemHeight(), 16); // the 16-pixel images are taller than an 8-point line
    Combo->DeleteItem(0);
    EXPECT_EQ(Deleted, 1);
    EXPECT_EQ(Two->Index(), 0);
    EXPECT_EQ(Combo->ItemCount(), 1);
    Combo->SetItemIndex(0);
    Combo->Repaint();
}

TEST_F(ShellComboTest, TheLookInBoxShowsTheChainAndDrivesTheList) {
    TShellTestFolder Dir({"one\\", "one\\two\\", "one\\two\\file.txt"});
    auto* Combo = new TNVShellCombo(Form);
    Combo->SetParent(Form);
    Combo->SetWidth(300);
    auto* List = new TNVShellList(Form);
    List->SetParent(Form);
    List->SetBounds(0, 40, 500, 300);
    Combo->SetShellList(List);
    Application->ProcessMessages();

    Combo->SelectedFolder().SetPathName(Dir.Path("one\\two"));
    Application->ProcessMessages();
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("one\\two"));
    EXPECT_EQ(List->ItemCount(), 1);

    // Desktop at level 0; the chain's last folder is selected, named and one level below its parent.
    ASSERT_GT(Combo->ItemCount(), 3);
    EXPECT_EQ(Combo->GetImageComboItem(0)->Indent(), 0);
    int Sel = Combo->ItemIndex();
    ASSERT_GT(Sel, 0);
    TNVImageComboItem* Last = Combo->GetImageComboItem(Sel);
    EXPECT_EQ(Last->Caption(), "two");
    EXPECT_EQ(ShellGetPathFromIdList(Combo->GetShComboData(Sel)->AbsPidl()), Dir.Path("one\\two"));
    TNVImageComboItem* Parent = Combo->GetImageComboItem(Sel - 1);
    EXPECT_EQ(Parent->Indent(), Last->Indent() - 1);
    EXPECT_EQ(ShellGetPathFromIdList(Combo->GetShComboData(Sel - 1)->AbsPidl()), Dir.Path("one"));

    // The list moving into a folder shows it in the box; going up moves both.
    List->GoUp(1);
    Application->ProcessMessages();
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("one"));
    EXPECT_EQ(Combo->SelectedFolder().GetPathName(), Dir.Path("one"));
    EXPECT_EQ(Combo->GetImageComboItem(Combo->ItemIndex())->Caption(), "one");
    List->OpenItem(List->FindCaption("two"));
    Application->ProcessMessages();
    EXPECT_EQ(Combo->SelectedFolder().GetPathName(), Dir.Path("one\\two"));

    // Choosing an entry in the box takes the list there.
    Combo->SetItemIndex(Combo->ItemIndex() - 1);
    SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(Combo->Handle()));
    Application->ProcessMessages();
    EXPECT_EQ(List->Folder().GetPathName(), Dir.Path("one"));
}

TEST_F(ShellComboTest, TheListOpensAsLongAsTheScreenBelowAllows) {
    auto* Combo = new TNVShellCombo(Form);
    Combo->SetParent(Form);
    Combo->SetWidth(300);
    Application->ProcessMessages();
    ASSERT_GT(Combo->ItemCount(), 0);
    RECT Before{};
    SendMessageA(Combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Before));
    RECT Box{};
    GetWindowRect(Combo->Handle(), &Box);
    const int Row = Combo->ItemHeight();
    ASSERT_GT(Row, 0);
    Combo->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), reinterpret_cast<LPARAM>(Combo->Handle()));
    const int Expected = (GetSystemMetrics(SM_CYSCREEN) - Box.bottom - 1) / Row;
    EXPECT_EQ(Combo->DropDownCount(), Expected);
    RECT After{};
    SendMessageA(Combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&After));
    EXPECT_GT(After.bottom - After.top, Before.bottom - Before.top) << "the window took the new count";

    Combo->AutoDropDownCount = false;
    Combo->SetDropDownCount(5);
    Combo->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), reinterpret_cast<LPARAM>(Combo->Handle()));
    EXPECT_EQ(Combo->DropDownCount(), 5);
}
