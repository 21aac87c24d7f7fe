#include "controls/foundation/ReaderErrorDialog.h"

#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/PropStore.h"
#include "framework/ui/StdCtrls.h"

namespace {

class ReaderErrorDialogTest : public UiTest {};

TEST_F(ReaderErrorDialogTest, EachButtonGivesItsAnswer) {
    struct Case {
        const char* Button;
        bool Handled;
        bool IgnoreAll;
    } Cases[] = {
        {"IgnoreButton", true, false},
        {"CancelButton", false, false},
        {"IgnoreAllButton", true, true},
    };
    for (const Case& C : Cases) {
        std::string Caption, Label, IgnoreAllCaption;
        SetModalHook([&](TCustomForm& F) {
            auto& D = static_cast<TReaderErrorDlg&>(F);
            Caption = D.Caption();
            Label = D.LerrMess->Caption();
            IgnoreAllCaption = D.IgnoreAllButton->Caption();
            PostMessageA(static_cast<TButton*>(D.FindComponent(C.Button))->Handle(), BM_CLICK, 0, 0);
        });
        bool Handled = !C.Handled, IgnoreAll = false;
        ShowReaderErrorDialog("Property Nope does not exist", Handled, IgnoreAll);
        SetModalHook(nullptr);
        EXPECT_EQ(Handled, C.Handled) << C.Button;
        EXPECT_EQ(IgnoreAll, C.IgnoreAll) << C.Button;
        EXPECT_EQ(Caption, "Error Reading Form");
        EXPECT_EQ(Label, "Property Nope does not exist.  Ignore the error and continue?  NOTE: Ignoring the "
                         "error may cause components to be deleted or property values to be lost.");
        EXPECT_EQ(IgnoreAllCaption, "Ignore &All");
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ReaderErrorDialogTest, BecomesTheReadersHandler) {
    InstallReaderErrorDialog();
    int Shown = 0;
    SetModalHook([&](TCustomForm& F) {
        ++Shown;
        F.SetModalResult(mrIgnoreAll);
    });
    bool Handled = false, IgnoreAll = false;
    ASSERT_TRUE(ReaderErrorHandler);
    ReaderErrorHandler("x", Handled, IgnoreAll);
    SetModalHook(nullptr);
    ReaderErrorHandler = nullptr;
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(Handled && IgnoreAll);
}

} // namespace
