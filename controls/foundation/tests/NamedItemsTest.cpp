#include "controls/foundation/NamedItems.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TTestStyle : public THSNamedItem {
    ZEL_DECLARE_CLASS(TTestStyle)
public:
    TTestStyle() = default;
    int32_t Size() const { return FSize; }
    void SetSize(int32_t V) {
        FSize = V;
        OnChange(this);
    }

private:
    int32_t FSize = 0;
};

ZEL_DEFINE_CLASS(TTestStyle, THSNamedItem,
                 {Prop::Int<TTestStyle>("Size", &TTestStyle::Size, &TTestStyle::SetSize)})

TEST(NamedItems, FindsNamesIgnoringCaseAndCopiesItems) {
    TCustomHSNamedItems Items(nullptr, TTestStyle::StaticClass());
    auto* A = static_cast<TTestStyle*>(Items.Add());
    auto* B = static_cast<TTestStyle*>(Items.Add());
    A->SetName("Keyword");
    B->SetName("comment");
    B->SetSize(9);
    EXPECT_EQ(Items.IndexOfName("KEYWORD"), 0);
    EXPECT_EQ(Items.IndexOfName("Comment"), 1);
    EXPECT_EQ(Items.IndexOfName("string"), -1);
    EXPECT_EQ(Items.IndexOf(B), 1);
    EXPECT_EQ(Items.IndexOf(nullptr), -1);

    A->Assign(B);
    EXPECT_EQ(A->Name(), "comment");
    EXPECT_EQ(A->Size(), 9);

    auto* Unnamed = static_cast<TTestStyle*>(Items.Add());
    EXPECT_EQ(Unnamed->GetDisplayName(), "TTestStyle");
    Unnamed->SetDisplayName("x");
    EXPECT_EQ(Unnamed->GetDisplayName(), "x");
}

TEST(NamedItems, ReportsChangesOfOneItemThroughBothEvents) {
    TCustomHSNamedItems Items(nullptr, TTestStyle::StaticClass());
    auto* A = static_cast<TTestStyle*>(Items.Add());
    std::vector<TCollectionItem*> Updated;
    int Changes = 0;
    Items.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Items);
        ++Changes;
    };
    Items.OnItemUpdate = [&](TObject*, TCollectionItem* Item) { Updated.push_back(Item); };
    A->SetSize(3);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Updated, std::vector<TCollectionItem*>{A});
}

TEST(NamedItems, OutliveTheirOwner) {
    auto* Owner = new TComponent(nullptr);
    TCustomHSNamedItems Items(Owner, TTestStyle::StaticClass());
    EXPECT_EQ(Items.GetOwner(), Owner);
    delete Owner;
    EXPECT_EQ(Items.GetOwner(), nullptr);
    Items.Add();
    EXPECT_EQ(Items.Count(), 1);
}

} // namespace
