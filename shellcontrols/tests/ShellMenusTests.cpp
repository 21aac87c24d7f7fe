#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "ShellTestItems.h"
#include "framework/ui/Dialogs.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellMenus.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellUtils.h"

namespace {

// Records boxes instead of showing them.
class TBoxRecorder {
public:
    TBoxRecorder() {
        FSaved = SetMessageRequestFunc([this](const TMessageBoxRequest& R) {
            Texts.push_back(R.Text);
            return IDOK;
        });
    }
    ~TBoxRecorder() { SetMessageRequestFunc(FSaved); }
    std::vector<std::string> Texts;

private:
    TMessageRequestFunc FSaved;
};

} // namespace

TEST(ShellMenus, ShortcutTexts) {
    struct {
        TShortCut ShortCut;
        const char* Text;
    } Cases[] = {
        {113, "F2"},
        {46 | scCtrl | scShift, "Shift+Ctrl+Del"},
        {200, "#200"},
        {'C' | scCtrl, "Ctrl+C"},
        {8, "BkSp"},
        {33, "PgUp"},
        {40, "Down"},
        {135, "F24"},
        {13 | scAlt, "Alt+Enter"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(NVShortCutToText(C.ShortCut), C.Text);
        EXPECT_EQ(NVTextToShortCut(C.Text), C.ShortCut) << C.Text;
    }
    EXPECT_EQ(NVShortCutToText(98), "2"); // the number pad's 2 reads back as the main row's
    EXPECT_EQ(NVTextToShortCut("2"), '2');
    EXPECT_EQ(NVTextToShortCut("ctrl+c"), 'C' | scCtrl);
    EXPECT_EQ(NVTextToShortCut("^C"), 'C' | scCtrl);
    EXPECT_EQ(NVTextToShortCut("alt+SHIFT+f5"), 116 | scAlt | scShift);
    EXPECT_EQ(NVTextToShortCut("Ctrl+Nothing"), 0);
}

TEST(ShellMenus, DefaultKeys) {
    struct {
        WORD Key;
        TShiftState Shift;
        TNVShellKey Expected;
    } Cases[] = {
        {VK_DELETE, 0, TNVShellKey::Delete},
        {VK_DELETE, ssShift, TNVShellKey::Delete},
        {'A', ssCtrl, TNVShellKey::SelectAll},
        {'C', ssCtrl, TNVShellKey::Copy},
        {'X', ssCtrl, TNVShellKey::Cut},
        {'V', ssCtrl, TNVShellKey::Paste},
        {VK_F5, 0, TNVShellKey::Refresh},
        {VK_F2, 0, TNVShellKey::Edit},
        {VK_DOWN, 0, TNVShellKey::None},
        {'C', 0, TNVShellKey::None},
        {VK_F2, ssCtrl | ssLeft, TNVShellKey::None},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(NVMatchShellKey(C.Key, C.Shift), C.Expected) << C.Key << " " << int(C.Shift);
}

TEST(ShellMenus, ContextMenuKeys) {
    struct {
        WORD Key;
        TShiftState Shift;
        bool Opens;
    } Cases[] = {
        {VK_APPS, 0, true},      {VK_F10, ssShift, true},     {VK_APPS, ssShift, false},
        {VK_F10, ssCtrl, false}, {VK_F10, 0, false},          {VK_F10, ssShift | ssAlt, false},
        {VK_APPS, ssLeft, true}, {VK_RETURN, ssShift, false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(NVIsContextMenuKey(C.Key, C.Shift), C.Opens) << C.Key << " " << int(C.Shift);
}

TEST(ShellMenus, NewFoldersGetUniqueNames) {
    TShellTestFolder Dir({"New Folder\\", "New Folder (2)\\"});
    std::string Name;
    ASSERT_TRUE(NVShCreateNewFolder(Dir.Root(), Name));
    EXPECT_EQ(Name, "New Folder (3)");
    EXPECT_TRUE(DirectoryExists(Dir.Path("New Folder (3)")));

    TBoxRecorder Boxes;
    std::string None = "unchanged";
    EXPECT_FALSE(NVShCreateNewFolder(Dir.Path("missing\\deeper"), None));
    EXPECT_EQ(None, "unchanged");
    ASSERT_EQ(Boxes.Texts.size(), 1u);
    EXPECT_EQ(Boxes.Texts[0].rfind("Unable to create the folder 'New Folder'\n\n", 0), 0u) << Boxes.Texts[0];
    EXPECT_GT(Boxes.Texts[0].size(), std::string("Unable to create the folder 'New Folder'\n\n").size());
}

TEST(ShellMenus, VerbsAreFoundByTheirCanonicalNames) {
    TShellTestFolder Dir({"a.html", "b.html"});
    TShellTestItems Set(Dir.Root(), {"a.html", "b.html"});
    HMENU Menu = nullptr;
    TComPtr<IContextMenu> Context;
    ASSERT_EQ(
        GetShellContextMenu(nullptr, Set.Parent.Get(), Set.Items, Menu, Context, CMF_EXPLORE | CMF_CANRENAME),
        S_OK);
    ASSERT_NE(Menu, nullptr);
    EXPECT_GT(GetMenuItemCount(Menu), 0);
    int Copy = NVFindVerbOffset(Context.Get(), "COPY");
    ASSERT_GE(Copy, 0);
    EXPECT_FALSE(NVIsRenameCommand(Context.Get(), NVFirstShellCommand + static_cast<UINT>(Copy)));
    int Rename = NVFindVerbOffset(Context.Get(), "rename");
    if (Rename >= 0) {
        EXPECT_TRUE(NVIsRenameCommand(Context.Get(), NVFirstShellCommand + static_cast<UINT>(Rename)));
    }
    EXPECT_EQ(NVFindVerbOffset(Context.Get(), "no-such-verb"), -1);
    DestroyMenu(Menu);

    // This platform's shell reports no canonical rename verb and leaves the clipboard without a
    // file list after "copy", so only the result of the copy is checked.
    EXPECT_EQ(NVDoVerbOnItems(nullptr, Set.Parent.Get(), Set.Items, "copy"), S_OK);

    // A verb no item reports runs nothing in its place.
    EXPECT_TRUE(FAILED(NVDoVerbOnItems(nullptr, Set.Parent.Get(), Set.Items, "no-such-verb")));
    EXPECT_TRUE(FileExists(Dir.Path("a.html")));
    EXPECT_TRUE(FileExists(Dir.Path("b.html")));
}

TEST(ShellMenus, SendToCaptionsDropTheExtension) {
    EXPECT_EQ(NVSendToCaption("Mail Recipient.MAPIMail"), "Mail Recipient");
    EXPECT_EQ(NVSendToCaption("Notes.lnk"), "Notes");
    EXPECT_EQ(NVSendToCaption("Plain"), "Plain");
    for (const TNVSendToEntry& E : NVSendToList())
        EXPECT_FALSE(E.FileName.empty());
}
