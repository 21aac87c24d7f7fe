// The fields selection dialog, answered through the modal seam.
#include <gtest/gtest.h>

#include <string>

#include "UiTestSupport.h"
#include "controls/tree/FieldsSelectDialog.h"

namespace {

std::string Entries(TListBox& L) {
    std::string S;
    for (int I = 0; I < L.Items().Count(); ++I)
        S += (I ? "," : "") + L.Items()[I];
    return S;
}

class FieldsDialog : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (const char* N : {"c", "a", "b"})
            Available.Add(N);
    }
    TStringList Available;
};

TEST_F(FieldsDialog, NoAvailableFieldsWarnsAndKeepsTheChoice) {
    TStringList None;
    std::string Chosen = "a;b";
    EXPECT_FALSE(HSShowFieldsDialog("Fields", Chosen, None));
    EXPECT_EQ(Chosen, "a;b");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "No fields are available.");
}

TEST_F(FieldsDialog, ChosenNamesAreTrimmedCheckedAndReturnedInOrder) {
    std::string Seen;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<THSFieldsSelection&>(F);
        Seen = Entries(*D.DstList) + "|" + Entries(*D.SrcList) + "|" + D.Caption();
        F.SetModalResult(mrOk);
    });
    std::string Chosen = "b; a ;x";
    EXPECT_TRUE(HSShowFieldsDialog("Columns", Chosen, Available));
    EXPECT_EQ(Seen, "b,a|c|Columns");
    EXPECT_EQ(Chosen, "b;a");

    SetModalHook([](TCustomForm& F) { F.SetModalResult(mrCancel); });
    EXPECT_FALSE(HSShowFieldsDialog("Columns", Chosen, Available));
    EXPECT_EQ(Chosen, "b;a");
}

TEST_F(FieldsDialog, ButtonsMoveEntriesBetweenAndWithinTheLists) {
    THSFieldsSelection F(nullptr);
    F.HandleNeeded();
    for (const char* N : {"d", "c", "a", "b"})
        F.SrcList->Items().Add(N);
    F.SetChosenFields("");
    EXPECT_EQ(Entries(*F.SrcList), "a,b,c,d") << "the source list is sorted";
    EXPECT_FALSE(F.ExcludeBtn->Enabled());
    F.SrcList->SetSelected(1, true);
    F.SrcList->SetSelected(3, true);
    F.IncludeBtnClick();
    EXPECT_EQ(Entries(*F.DstList), "b,d");
    EXPECT_EQ(Entries(*F.SrcList), "a,c");
    EXPECT_TRUE(F.SrcList->Selected(1)) << "the entry at the first removed index is selected";
    F.IncAllBtnClick();
    EXPECT_EQ(Entries(*F.DstList), "b,d,a,c");
    EXPECT_FALSE(F.IncludeBtn->Enabled());
    for (int I = 0; I < 4; ++I)
        F.DstList->SetSelected(I, I == 2);
    F.MoveUpBtnClick();
    F.MoveUpBtnClick();
    EXPECT_EQ(Entries(*F.DstList), "a,b,d,c");
    EXPECT_TRUE(F.DstList->Selected(0));
    EXPECT_FALSE(F.MoveUpBtn->Enabled());
    F.MoveDownBtnClick();
    EXPECT_EQ(Entries(*F.DstList), "b,a,d,c");
    EXPECT_EQ(F.GetChosenFields(), "b;a;d;c");
    F.ExAllBtnClick();
    EXPECT_EQ(F.GetChosenFields(), "");
    EXPECT_EQ(Entries(*F.SrcList), "a,b,c,d");
}

} // namespace
