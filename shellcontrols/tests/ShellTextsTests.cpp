#include <gtest/gtest.h>

#include "shellcontrols/ShellTexts.h"

using namespace nvshell;

TEST(ShellTexts, KnownIdentifiersGiveTheirTexts) {
    struct {
        uint16_t Id;
        const char* Text;
    } Cases[] = {
        {SShKey_SelectAll, "Ctrl+A"},
        {SShKey_Edit, "F2"},
        {SDialogFontName, "MS Sans Serif"},
        {SCutContext, "Removes the selected items and copies them onto the Clipboard."},
        {SFolderDoesNotExist, "The folder '%1' does not exist.\n\nCheck the folder name and try again."},
        {SNewFolder, "New Folder"},
        {SUnableToCreateFolder, "Unable to create the folder '%2'\n\n%1"},
        {SFilesizeKB, "%sKB"},
        {SOpenButton, "&Open"},
        {SFileExistsReplace, "%s already exists.\nDo you want to replace it?"},
        {SPathDoesNotExist, "%s\nPath does not exist.\nPlease verify the correct path was given."},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(NVResStr(C.Id), C.Text) << C.Id;
}

TEST(ShellTexts, TableIsOrderedAndHasNoGapsWhereTextsBelong) {
    ASSERT_EQ(NVResStrCount(), 115);
    for (int I = 1; I < NVResStrCount(); ++I)
        EXPECT_LT(NVResStrIdAt(I - 1), NVResStrIdAt(I));
    // Unused identifiers and those of other families answer nothing.
    for (uint16_t Id : {uint16_t(64584), uint16_t(64591), uint16_t(64688), uint16_t(64692), uint16_t(64704)})
        EXPECT_EQ(NVResStr(Id), "") << Id;
    EXPECT_EQ(NVLoadStr("x%1"), "x%1");
}
