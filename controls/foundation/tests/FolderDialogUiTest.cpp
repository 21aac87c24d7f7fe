#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/EditSource.h"
#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/PropertyUtils.h"

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
