#include "controls/foundation/ResDialog.h"

#include <gtest/gtest.h>

namespace {

// Presses a button as soon as the window is initialised, and counts the initialisations.
class TPressing : public TResDialog {
public:
    TPressing(const std::string& Name, int Button) : TResDialog(Name), FButton(Button) {}
    int Inits = 0;

protected:
    void InitDialog() override {
        ++Inits;
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(FButton, 0), 0);
    }
    int FButton;
};

TEST(ResDialog, RunsUntilOkOrCancel) {
    struct Case {
        int Button;
        bool Result;
    } Cases[] = {{IDOK, true}, {IDCANCEL, false}};
    for (const Case& C : Cases) {
        TPressing D("ZELTESTDIALOG", C.Button);
        ASSERT_NE(D.Handle(), nullptr);
        EXPECT_EQ(D.Inits, 1);
        EXPECT_EQ(D.Execute(), C.Result) << C.Button;
    }
    // No such template: no window, and nothing to run.
    TResDialog Missing("NOSUCHDIALOG");
    EXPECT_EQ(Missing.Handle(), nullptr);
    EXPECT_FALSE(Missing.Execute());
    EXPECT_FALSE(ExecuteDialog("NOSUCHDIALOG"));
}

} // namespace
