#include <gtest/gtest.h>

#include <algorithm>

#include "UiTestSupport.h"
#include "controls/foundation/DialogPropEdits.h"
#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/FontMetrics.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Screen.h"

namespace {

class DialogPropEditsTest : public UiTest {};

bool Mono(const std::string& Name) {
    TFont F;
    F.SetName(Name);
    return IsFontMonoSpaced(F);
}

TEST_F(DialogPropEditsTest, MonoSpacedFontNamesOfferAndAcceptOnlyMonoSpacedFonts) {
    const std::vector<std::string> Offered = TMonoSpaceFontNamesProperty::GetValues();
    ASSERT_FALSE(Offered.empty());
    for (const std::string& Name : Offered)
        EXPECT_TRUE(Mono(Name)) << Name;
    const std::vector<std::string> All = Screen->Fonts();
    auto Proportional = std::find_if(All.begin(), All.end(), [](const std::string& N) { return !Mono(N); });
    ASSERT_NE(Proportional, All.end());
    EXPECT_EQ(std::find(Offered.begin(), Offered.end(), *Proportional), Offered.end());

    std::string Value = "old";
    TMonoSpaceFontNamesProperty Prop(Value);
    Prop.SetValue(Offered.front());
    EXPECT_EQ(Prop.GetValue(), Offered.front());
    try {
        Prop.SetValue(*Proportional);
        ADD_FAILURE() << "a proportional font was taken: " << *Proportional;
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "Only monospaced fonts can be used");
    }
    EXPECT_EQ(Value, Offered.front());
}

TEST_F(DialogPropEditsTest, FolderAndComputerAreAskedForAndKeptOnCancel) {
    EXPECT_TRUE(TDirectoryProperty::GetAttributes() & paDialog);
    EXPECT_TRUE(TComputerNameProperty::GetAttributes() & paDialog);
    EXPECT_FALSE(TMonoFontProperty::GetAttributes() & paDialog);

    std::string Seen;
    bool Accept = true;
    TCommonDialogHook Old = SetCommonDialogHook([&](TCommonDialog& D) {
        auto& Path = static_cast<THSPathDialog&>(D);
        Seen = Path.Title + "|" + Path.SelectedItem + "|" + (Path.Root == pdrNetwork ? "network" : "folders");
        Path.SelectedItem = Path.Root == pdrNetwork ? "BUILDHOST" : "C:\\chosen";
        return Accept;
    });
    std::string Dir = "C:\\start", Computer = "OLDHOST";
    TDirectoryProperty DirProp(Dir);
    TComputerNameProperty CompProp(Computer);
    DirProp.Edit();
    EXPECT_EQ(Seen, "Select Directory|C:\\start|folders");
    CompProp.Edit();
    EXPECT_EQ(Seen, "Select Computer||network"); // the network browser starts at its root
    EXPECT_EQ(Dir, "C:\\chosen");
    EXPECT_EQ(Computer, "BUILDHOST");

    Accept = false;
    Dir = "C:\\kept";
    Computer = "KEPT";
    DirProp.Edit();
    CompProp.Edit();
    EXPECT_EQ(Dir, "C:\\kept");
    EXPECT_EQ(Computer, "KEPT");
    SetCommonDialogHook(Old);
}

} // namespace
