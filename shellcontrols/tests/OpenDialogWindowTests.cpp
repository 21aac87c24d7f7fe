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
