#include <gtest/gtest.h>

#include "controls/foundation/HSResStrings.h"

namespace {

TEST(ResStringsTest, IdentifiersFollowTheDeclarationOrderAndTextsLoadFromTheStringTable) {
    struct Case {
        TResStringRec Rec;
        uint16_t Id;
        const char* Text;
    };
    const Case Cases[] = {
        {SKBDClassic, 65520, "Classic"},
        {SKBDVisualStudio, 65523, "Visual Studio"},
        {STSTwilight, 65527, "Twilight"},
        {SStatModified, 65376, "Modified"},
        {SStatReadOnly, 65379, "Read Only"},
        {SErrDuplicateItem, 65382, "Can't insert duplicate item"},
        {SErrStackEmpty, 65326, "Stack is empty"},
        {SCapGotoLineNumber, 65344, "Go to line Number"},
        {SCapEnterNewLine, 65345, "&Enter new line number:"},
        {SCapScale, 65352, "Scale"},
        {SCapScalingFactor, 65353, "&Scaling Factor:"},
        {SErrBlankSearch, 65320, "The search string can not be blank"},
        {SErrNotFound, 65323, "Search string '%s' not found"},
        {SAskReplace, 65324, "Replace this occurence of '%s'?"},
        {SAskSaveFile, 65325, " Save changes to %s ?"},
        {SErrCharPos, 65447, " at Line:%d, Char:%d. "},
        {SErrInvalidBoolean, 65446, "'%s' is not a valid boolean value"},
        {SErrUnknRegType, 65296, "This type isn't supported by WriteToRegistry"},
        {SErrNotRGBFile, 65277, "Not a color styles file"},
        {sScrollLine, 65278, "~Line~"},
        {SErrCRC, 64965, "CRC Error"},
        {SPrintingPage, 64924, "Printing page %d from %s"},
        {SPageCaption, 64925, "Page %d/%d"},
        {sReplacements, 64719, "%d replacements have been made"},
        {sErrBookmarNotFound, 64692, "Bookmark %d not found"},
        {sHSIndexOutOfBound, 64716, "Index out of bounds"},
        {SColorStyleFilter, 65360, "Color scheme (*.rgb)|*.RGB"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(C.Rec.Identifier, C.Id);
        EXPECT_EQ(LoadResString(C.Rec), C.Text);
    }
    // The three declarations outside this system keep their places: the names around them shift.
    EXPECT_EQ(SErrEmptySel.Identifier, 65321);
    // A missing entry is an empty text, not an error.
    EXPECT_EQ(LoadResString(TResStringRec{1}), "");
}

} // namespace
