#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/FolderBrowseDialog.h"
#include "shellcontrols/ShellUtils.h"
#include "shellcontrols/OpenDialogForm.h"

namespace {

// Presses a button of a shown form the way the platform reports a click.
void PostClick(TCustomForm& Form, TButton* Button) {
    PostMessageA(Form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Button->Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Button->Handle()));
}

class OpenDialogTest : public UiTest {
protected:
    void TearDown() override {
        SetModalHook(nullptr);
        UiTest::TearDown();
    }
};

} // namespace

TEST_F(OpenDialogTest, SaveDialogRefusesAMissingFolderWhenThePathMustExist) {
    TShellTestFolder Dir({"a.html"});
    TNVSaveDlg Dlg(nullptr);
    Dlg.Options |= nvofPathMustExist | nvofOverwritePrompt;
    Dlg.InitialDir = Dir.Root();
    Dlg.DefaultExt = "html";
    Dlg.Filter = "HTML files (*.html)|*.html|All files|*.*";
    std::string Caption, Button;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        Caption = D.Caption();
        Button = D.OpenButton()->Caption();
        D.FileNameEdit()->SetText("missing\\page");
        PostClick(D, D.OpenButton());
        PostClick(D, D.CancelButton());
    });
    EXPECT_FALSE(Dlg.Execute());
    EXPECT_EQ(Caption, "Save As");
    EXPECT_EQ(Button, "&Save");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, Dir.Path("missing\\page.html") +
                                 "\nPath does not exist.\nPlease verify the correct path was given.");
    EXPECT_EQ(Boxes[0].Caption, "Save As");
    EXPECT_EQ(Dlg.Files().Count(), 0);
    EXPECT_FALSE(Dlg.Executing());
}

TEST_F(OpenDialogTest, SavingANewNameReturnsItWithTheDefaultExtension) {
    TShellTestFolder Dir({"a.html", "sub\\"});
    TNVSaveDlg Dlg(nullptr);
    Dlg.Options |= nvofPathMustExist | nvofOverwritePrompt | nvofNoChangeDir | nvofExtensionDifferent;
    Dlg.SetFilename(Dir.Path("sub\\draft"));
    Dlg.DefaultExt = "html";
    Dlg.Filter = "HTML files|*.html|Text|*.txt";
    Dlg.FilterIndex = 1;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        PostClick(D, D.OpenButton());
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(Dlg.GetFilename(), Dir.Path("sub\\draft.html"));
    EXPECT_FALSE(Dlg.Options & nvofExtensionDifferent);
    EXPECT_EQ(Dlg.FilterIndex, 1);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_GT(Dlg.FormWidth, 0);
}

TEST_F(OpenDialogTest, OpenDialogWithWildcardStaysAndFiltersThenOpensAFile) {
    TShellTestFolder Dir({"one.txt", "two.html", "three.txt"});
    TNVOpenDlg Dlg(nullptr);
    Dlg.Options |= nvofFileMustExist | nvofNoChangeDir;
    Dlg.InitialDir = Dir.Root();
    Dlg.Filter = "All files|*.*";
    int ListCount = -1;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        D.FileNameEdit()->SetText("*.txt");
        D.SetModalResult(mrOk);
        EXPECT_FALSE(D.CloseQuery()); // a pattern filters the list and keeps the dialog open
        D.SetModalResult(mrNone);
        ListCount = D.ShellList()->ItemCount();
        D.FileNameEdit()->SetText("nothere.txt");
        D.SetModalResult(mrOk);
        EXPECT_FALSE(D.CloseQuery());
        D.SetModalResult(mrNone);
        D.FileNameEdit()->SetText("three.txt");
        PostClick(D, D.OpenButton());
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(ListCount, 2);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text,
              Dir.Path("nothere.txt") + "\nFile not found.\nPlease verify the correct file name was given.");
    EXPECT_EQ(Dlg.GetFilename(), Dir.Path("three.txt"));
}

TEST_F(OpenDialogTest, TheComponentsEventsReachTheFormAndItsControls) {
    TShellTestFolder Dir({"keep.txt", "skip.txt", "sub\\"});
    TNVOpenDlg Dlg(nullptr);
    Dlg.InitialDir = Dir.Root();
    Dlg.Filter = "All files|*.*|Text|*.txt";
    int TypeChanges = 0, SelectionChanges = 0, FolderChanges = 0;
    int IndexSeen = 0;
    Dlg.OnTypeChanged = [&](TObject*) {
        ++TypeChanges;
        IndexSeen = Dlg.GetFilterIndex();
    };
    Dlg.OnSelectionChanged = [&](TObject*) { ++SelectionChanges; };
    Dlg.OnFolderChanged = [&](TObject*) { ++FolderChanges; };
    Dlg.SetOnAddListItem([](TObject*, IShellFolder* Folder, LPCITEMIDLIST, LPCITEMIDLIST Item, SFGAOF,
                            bool& Allow) {
        std::string Name = ShellGetFriendlyNameFromIdList(Folder, Item, TNVFriendlyNameFlags::nvfnForParsing);
        if (ExtractFileName(Name) == "skip.txt")
            Allow = false;
    });
    int Skipped = -1, Kept = -1, TypesSeen = -1, SelectionsSeen = -1;
    std::string Named;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        TNVShellList* L = D.ShellList();
        Skipped = L->FindCaption("skip.txt");
        Kept = L->FindCaption("keep.txt");
        if (Kept < 0) // the shell may hide known extensions
            Kept = L->FindCaption("keep");
        D.FileTypes()->SetItemIndex(1);
        SendMessageA(D.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(D.FileTypes()->Handle()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(D.FileTypes()->Handle()));
        TypesSeen = TypeChanges;
        if (Kept >= 0)
            L->SelectItem(Kept);
        PumpUntil([&] { return SelectionChanges > 0; }, 1000);
        SelectionsSeen = SelectionChanges;
        Named = D.FileNameEdit()->Text();
        L->Folder().SetPathName(Dir.Path("sub"));
        PumpUntil([&] { return FolderChanges > 0; }, 1000);
        PostClick(D, D.CancelButton());
    });
    EXPECT_FALSE(Dlg.Execute());
    EXPECT_LT(Skipped, 0) << "the add-item handler reached the list";
    ASSERT_GE(Kept, 0);
    EXPECT_EQ(TypesSeen, 1);
    EXPECT_EQ(IndexSeen, 2) << "the handler reads the form's choice";
    EXPECT_EQ(Dlg.GetFilterIndex(), 2) << "and the component keeps it";
    EXPECT_GE(SelectionsSeen, 1);
    EXPECT_EQ(Named, "keep.txt");
    EXPECT_GE(FolderChanges, 1);
}

TEST_F(OpenDialogTest, FolderBrowseDialogPicksTheSelectedFolder) {
    TShellTestFolder Dir({"first\\", "second\\", "second\\inner\\"});
    TNVFolderBrowseDlg Dlg(nullptr);
    EXPECT_THROW(Dlg.SetOkEnabled(false), EInvalidOperation);
    Dlg.BaseFolder().SetPathName(Dir.Root());
    Dlg.SetSelectedPathName(Dir.Path("first"));
    Dlg.Options |= nvfbCreateDeleteButtons;
    std::vector<std::string> Seen;
    Dlg.OnSelChange = [&](TObject*, LPCITEMIDLIST Folder) { Seen.push_back(ShellGetPathFromIdList(Folder)); };
    std::string Caption;
    bool CreateEnabled = false;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmFolderBrowseDlg&>(F);
        Caption = D.Caption();
        Dlg.SetOkEnabled(true);
        EXPECT_EQ(D.ShellTree()->NodeText(D.ShellTree()->Selected()), "first");
        D.ShellTree()->SetSelectedPathName(Dir.Path("second\\inner"));
        CreateEnabled = D.CreateButton()->Enabled();
        PostClick(D, D.OkButton());
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(Caption, "Browse for Folder");
    EXPECT_TRUE(CreateEnabled);
    EXPECT_EQ(Dlg.GetSelectedPathName(), Dir.Path("second\\inner"));
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen.back(), Dir.Path("second\\inner"));

    // Cancel leaves the chosen folder alone.
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmFolderBrowseDlg&>(F);
        D.ShellTree()->SetSelectedPathName(Dir.Path("first"));
        PostClick(D, D.CancelButton());
    });
    EXPECT_FALSE(Dlg.Execute());
    EXPECT_EQ(Dlg.GetSelectedPathName(), Dir.Path("second\\inner"));
}

// ---- The form's tool buttons, view menu, keys and size grip ----

namespace {

class OpenDialogFormTest : public UiTest {
protected:
    void Open(TNVOpenOptions Options) {
        Form = new TNVFrmOpenDlg(Application);
        Form->SetOptions(Options);
        Form->SetInitialDir(Dir.Root());
        Form->Show();
        PumpUntil([this] { return Form->ShellList()->ItemCount() > 0; }, 2000);
    }
    void TearDown() override {
        delete Form;
        UiTest::TearDown();
    }
    void Key(HWND Wnd, WORD K) {
        PostKey(Wnd, K);
        PumpUntil([] { return false; }, 60);
    }
    bool TreeShown() {
        return (Form->Options() & nvofShowTree) && Form->Splitter()->Position() >= 0 &&
               Form->ShellCombo()->ShellTree() == Form->ShellTree();
    }
    TShellTestFolder Dir{{"a.txt", "sub\\"}};
    TNVFrmOpenDlg* Form = nullptr;
};

} // namespace

TEST_F(OpenDialogFormTest, ViewButtonsAndMenuItemsShowOneViewTogether) {
    Open(NVOpenDefaultOptions);
    for (TSpeedButton* B :
         {Form->UpOneLevelButton(), Form->ShowDesktopButton(), Form->CreateNewFolderButton(),
          Form->ShowTreeButton(), Form->ListButton(), Form->DetailsButton()})
        EXPECT_FALSE(B->Glyph().Empty()) << B->Hint();
    EXPECT_EQ(Form->ShellList()->ViewStyle(), TNVViewStyle::vsList);
    EXPECT_TRUE(Form->ListButton()->Down());
    EXPECT_FALSE(Form->ViewMenuItem(0)->Enabled());
    EXPECT_FALSE(Form->ViewMenuItem(1)->Enabled());
    EXPECT_EQ(Form->ShellList()->PopupMenu(), Form->ListPopup());

    Form->DetailsButton()->Click();
    EXPECT_EQ(Form->ShellList()->ViewStyle(), TNVViewStyle::vsReport);
    EXPECT_TRUE(Form->DetailsButton()->Down());
    EXPECT_FALSE(Form->ListButton()->Down());
    EXPECT_TRUE(Form->ViewMenuItem(3)->Checked());
    EXPECT_FALSE(Form->ViewMenuItem(2)->Checked());

    Form->ViewMenuItem(2)->Click();
    EXPECT_EQ(Form->ShellList()->ViewStyle(), TNVViewStyle::vsList);
    EXPECT_TRUE(Form->ListButton()->Down());
    EXPECT_FALSE(Form->DetailsButton()->Down());
    EXPECT_TRUE(Form->ViewMenuItem(2)->Checked());

    Form->ShowDesktopButton()->Click();
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(IdListIsEmpty(Form->ShellList()->CurrentFolderIdList())) << "the desktop is shown";
}

TEST_F(OpenDialogFormTest, F12TogglesTheTreeOnlyWhenItIsAllowed) {
    Open(NVOpenDefaultOptions & ~static_cast<TNVOpenOptions>(nvofAllowTree));
    EXPECT_FALSE(Form->ShowTreeButton()->Visible());
    EXPECT_EQ(Form->ListButton()->Left(), 368) << "the view buttons close the gap";
    HWND Edit = Form->FileNameEdit()->Handle();
    Key(Edit, VK_F12);
    EXPECT_FALSE(TreeShown());
    delete Form;
    Form = nullptr;

    Open(NVOpenDefaultOptions | nvofAllowTree);
    ASSERT_FALSE(TreeShown());
    EXPECT_EQ(Form->ListButton()->Left(), 400);
    Key(Form->FileNameEdit()->Handle(), VK_F12);
    EXPECT_TRUE(TreeShown());
    EXPECT_TRUE(Form->ShowTreeButton()->Down());
    Key(Form->FileNameEdit()->Handle(), VK_F12);
    EXPECT_FALSE(TreeShown());
    EXPECT_FALSE(Form->ShowTreeButton()->Down());
    Form->ShowTreeButton()->Click();
    EXPECT_TRUE(TreeShown()) << "the tree button shows it too";
}

TEST_F(OpenDialogFormTest, F4OpensTheLookInBoxAndTakesItsChoice) {
    Open(NVOpenDefaultOptions);
    HWND Combo = Form->ShellCombo()->Handle();
    Key(Form->FileNameEdit()->Handle(), VK_F4);
    EXPECT_TRUE(SendMessageA(Combo, CB_GETDROPPEDSTATE, 0, 0));
    // Choose the folder above and press F4 again: the list goes there.
    const std::string Before = Form->ShellList()->Folder().GetPathName();
    int Selected = Form->ShellCombo()->ItemIndex();
    ASSERT_GT(Selected, 0);
    Key(Combo, VK_UP);
    Key(Combo, VK_F4);
    EXPECT_FALSE(SendMessageA(Combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(Form->ShellList()->Focused());
    PumpUntil([] { return false; }, 100);
    const std::string After = Form->ShellList()->Folder().GetPathName();
    EXPECT_EQ(After, Form->ShellCombo()->SelectedFolder().GetPathName());
    EXPECT_NE(After, Before);
    EXPECT_EQ(Before.rfind(After, 0), 0u) << "a folder above " << Before;
}

TEST_F(OpenDialogFormTest, SizeGripAndButtonsFollowTheCorner) {
    Open(NVOpenDefaultOptions);
    HWND Grip = Form->SizeGrip();
    ASSERT_NE(Grip, nullptr);
    EXPECT_TRUE(GetWindowLongA(Grip, GWL_STYLE) & SBS_SIZEGRIP);
    auto GripAtCorner = [&] {
        RECT G{};
        GetWindowRect(Grip, &G);
        POINT P{G.left, G.top};
        ScreenToClient(Form->Handle(), &P);
        return P.x == Form->ClientWidth() - 13 && P.y == Form->ClientHeight() - 13;
    };
    EXPECT_TRUE(GripAtCorner());
    Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 100, Form->Height() + 60);
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(GripAtCorner());
    EXPECT_EQ(Form->OpenButton()->Left(), Form->ClientWidth() - Form->OpenButton()->Width() - 16);
    EXPECT_EQ(Form->FileNameEdit()->Left() + Form->FileNameEdit()->Width(), Form->OpenButton()->Left() - 8);
    EXPECT_EQ(Form->OpenButton()->Top(), Form->ClientHeight() - 84 + 4);
    EXPECT_EQ(Form->Splitter()->Left() + Form->Splitter()->Width(), Form->ClientWidth() - 4);

    MINMAXINFO Info{};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, 459);
    EXPECT_EQ(Info.ptMinTrackSize.y, 274);
}
