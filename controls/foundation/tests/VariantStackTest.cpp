#include "controls/foundation/VariantStack.h"

#include <gtest/gtest.h>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/LinkedComponent.h"

namespace {

TEST(VariantStack, PagesOf1024AndStableSlots) {
    TVariantStack S;
    EXPECT_THROW(S.Pop(), EHSError);
    for (int32_t I = 0; I < 1025; ++I)
        S.PushInt(I);
    EXPECT_EQ(S.PageCount(), 2);
    THSVariant* First = S.Items(0);
    S.Push(THSVariant("x"));
    EXPECT_EQ(S.Items(0), First); // pushing never moves values
    EXPECT_EQ(S.Pop(), THSVariant("x"));
    EXPECT_EQ(S.Pop(), THSVariant(int32_t{1024}));
    EXPECT_EQ(S.PageCount(), 1); // the second page went with its only value
    EXPECT_EQ(S.Count(), 1024);
    EXPECT_EQ(S.Items(1024), nullptr);
    EXPECT_EQ(S.Items(-1), nullptr);
    THSVariant* Slots[3];
    S.FillWithItems(Slots, 10, 3);
    EXPECT_EQ(Slots[2]->Int, 12);

    S.Collapse(1000);
    EXPECT_EQ(S.Count(), 24);
    EXPECT_EQ(S.Items(23)->Int, 23);
    EXPECT_THROW(S.Collapse(25), EHSError);
    S.Collapse(24);
    EXPECT_TRUE(S.IsEmpty());
    EXPECT_EQ(S.PageCount(), 0);
}

TEST(VariantStack, ExpandFillsTheCurrentPageThenAddsPages) {
    TVariantStack S;
    S.PushInt(7);
    S.Expand(1023 + 1500);
    EXPECT_EQ(S.Count(), 2524);
    EXPECT_EQ(S.PageCount(), 3);
    EXPECT_TRUE(S.Items(1)->IsEmpty());
    EXPECT_TRUE(S.Items(1023)->IsEmpty());
    EXPECT_EQ(*S.Items(1024), THSVariant(int32_t{3}));
    S.PushInt(9);
    EXPECT_EQ(S.Items(2524)->Int, 9);
    S.Collapse(2524 - 1024 + 1);
    EXPECT_EQ(S.Count(), 1024);
    EXPECT_EQ(S.PageCount(), 1);
}

TEST(LinkedComponent, TellsItsOwnerWhenTheLinkGoes) {
    struct Owner : TComponent {
        std::vector<TComponent*> Removed;
        Owner() : TComponent(nullptr) {}
        void Notification(TComponent* C, TOperation Op) override {
            TComponent::Notification(C, Op);
            if (Op == opRemove)
                Removed.push_back(C);
        }
    } O;
    auto* L = new THSLinkedComponent(&O);
    auto* Target = new TComponent(nullptr);
    L->SetLink(Target);
    EXPECT_EQ(L->Link(), Target);
    O.Removed.clear();
    delete Target;
    EXPECT_EQ(L->Link(), nullptr);
    EXPECT_EQ(O.Removed, std::vector<TComponent*>{Target});

    auto* Plain = new TObject;
    std::vector<TComponent*> Told;
    L->OnNotify = [&](TComponent* C, TOperation) { Told.push_back(C); };
    L->SetLink(Plain);
    dcNotifyObjectFreed(Plain);
    delete Plain;
    EXPECT_EQ(L->Link(), nullptr);
    EXPECT_EQ(Told, std::vector<TComponent*>{nullptr});

    auto* Kept = new TComponent(nullptr);
    L->SetLink(Kept);
    delete L; // withdraws its watch: freeing the link later tells nobody
    delete Kept;
    EXPECT_FALSE(dcComponentNotifierStorageExists());
}

} // namespace
