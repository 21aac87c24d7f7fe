#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/EditSource.h"
#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/core/SysUtils.h"

namespace {

class FolderDialogTest : public UiTest {};

TEST_F(FolderDialogTest, QueryDirectoryStartsAtTheFolderAndKeepsItOnCancel) {
    std::string Seen;
    TCommonDialogHook Old = SetCommonDialogHook([&](TCommonDialog& D) {
        auto& Path = static_cast<THSPathDialog&>(D);
        Seen = Path.Title + "|" + Path.SelectedItem;
        Path.SelectedItem = "C:\\chosen";
        return true;
    });
    std::string Dir = "C:\\start";
    EXPECT_TRUE(QueryDirectory("Pick one", Dir));
    EXPECT_EQ(Seen, "Pick one|C:\\start");
    EXPECT_EQ(Dir, "C:\\chosen");
    SetCommonDialogHook([](TCommonDialog& D) {
        static_cast<THSPathDialog&>(D).SelectedItem = "C:\\other";
        return false;
    });
    EXPECT_FALSE(QueryDirectory("Pick one", Dir));
    EXPECT_EQ(Dir, "C:\\chosen");
    SetCommonDialogHook(Old);
}

TEST_F(FolderDialogTest, ASelectedFolderLosesOneTrailingBackslashAndNoneMeansTheCurrentFolder) {
    THSPathDialog Dialog(nullptr);
    struct Case {
        const char* Given;
        std::string Selected;
    } Cases[] = {{"C:\\Work\\Docs\\", "C:\\Work\\Docs"},
                 {"C:\\Work\\\\", "C:\\Work\\"},
                 {"C:\\Work", "C:\\Work"},
                 {"", GetCurrentDir()}};
    for (const Case& C : Cases) {
        Dialog.SetSelectedItem(C.Given);
        EXPECT_EQ(Dialog.SelectedItem, C.Selected) << C.Given;
    }
}

TEST_F(FolderDialogTest, QueryCompBrowsesTheNetworkForComputers) {
    THSPathDialogFlags SeenFlags = 0;
    THSPathDialogRoot SeenRoot = pdrNone;
    TCommonDialogHook Old = SetCommonDialogHook([&](TCommonDialog& D) {
        auto& Path = static_cast<THSPathDialog&>(D);
        SeenFlags = Path.Flags;
        SeenRoot = Path.Root;
        Path.SelectedItem = "BUILDHOST";
        return true;
    });
    std::string Computer = "old";
    EXPECT_TRUE(QueryComp("Computer", Computer, nullptr));
    EXPECT_EQ(Computer, "BUILDHOST");
    EXPECT_EQ(SeenFlags, PathDialogFlag(pdfBrowseForComputer));
    EXPECT_EQ(SeenRoot, pdrNetwork);
    SetCommonDialogHook([](TCommonDialog&) { return false; });
    EXPECT_FALSE(QueryComp("Computer", Computer, nullptr));
    EXPECT_EQ(Computer, "BUILDHOST");
    SetCommonDialogHook(Old);

    // The platform's values behind the flags and roots.
    EXPECT_EQ(
        PathDialogBrowseFlags(PathDialogFlag(pdfBrowseForComputer) | PathDialogFlag(pdfReturnOnlyFSDirs)),
        0x1001u);
    EXPECT_EQ(PathDialogBrowseFlags(PathDialogFlag(pdfBrowseForPrinter) |
                                    PathDialogFlag(pdfDontGoBelowDomain) |
                                    PathDialogFlag(pdfReturnfsAncestors)),
              0x200Au);
    struct Case {
        THSPathDialogRoot Root;
        int32_t Folder;
    } Cases[] = {
        {pdrNone, 0},     {pdrBitBucket, 10}, {pdrControls, 3}, {pdrDesktop, 0},  {pdrDesktopDirectory, 16},
        {pdrDrives, 17},  {pdrFonts, 20},     {pdrNetHood, 19}, {pdrNetwork, 18}, {pdrPersonal, 5},
        {pdrPrinters, 4}, {pdrPrograms, 2},   {pdrRecent, 8},   {pdrSendto, 9},   {pdrStartmenu, 11},
        {pdrStartup, 7},  {pdrTemplates, 21}};
    for (const Case& C : Cases)
        EXPECT_EQ(PathDialogRootFolder(C.Root), C.Folder) << int(C.Root);
}

class TCountingSource : public TEditSource {
public:
    THSVariant GetValue() override { return THSVariant(); }
    void SetValue(const THSVariant&) override {}
};

TEST(RunTimeKit, PropertiesCopyByNameAndClassesRegisterOnce) {
    TCountingSource A, B;
    A.SetName("first");
    B.SetName("second");
    A.SetTag(7);
    AssignPropsEx(&A, &B, " Tag , NoSuchProperty,");
    EXPECT_EQ(B.Tag(), 7);
    EXPECT_EQ(B.Name(), "second"); // not listed, not copied
    AssignPropsEx(&A, &A, "Tag");
    AssignPropsEx(nullptr, &B, "Tag");
    A.StartEdit(); // the base binding prepares nothing
    SafeRegisterClass(nullptr);
    SafeRegisterClass(THSPathDialog::StaticClass());
    SafeRegisterClass(THSPathDialog::StaticClass());
    EXPECT_EQ(GetClass("THSPathDialog"), THSPathDialog::StaticClass());
    CallPropertyEdit(&A, "Tag"); // no design environment: nothing happens
}

} // namespace
