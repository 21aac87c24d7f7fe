// The node model without a window: structure, counts, indexes, moves, sorting, check states.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "controls/tree/HSTree.h"

namespace {

class TreeModel : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Tree = std::make_unique<THSTree>(nullptr);
    }
    void TearDown() override {
        Tree.reset();
        UiTest::TearDown();
    }
    THSTreeNodes& Items() { return Tree->Items(); }
    // Texts in display order over all nodes, through Items by index.
    std::string Order() {
        std::string S;
        for (int I = 0; I < Items().Count(); ++I) {
            if (!S.empty())
                S += ' ';
            S += Items().Item(I)->Text();
        }
        return S;
    }
    std::string VisibleOrder() {
        std::string S;
        for (THSTreeNode* N = Items().GetFirstNode(); N; N = N->GetNextVisible()) {
            if (!S.empty())
                S += ' ';
            S += N->Text();
        }
        return S;
    }
    std::string Children(THSTreeNode* P) {
        std::string S;
        for (THSTreeNode* N = P ? P->GetFirstChild() : Items().GetFirstNode(); N; N = N->GetNextSibling()) {
            if (!S.empty())
                S += ' ';
            S += N->Text();
        }
        return S;
    }
    // X, Y (Y1, Y2 collapsed), Z
    void BuildXYZ() {
        X = Items().Add(nullptr, "X");
        Y = Items().Add(nullptr, "Y");
        Y1 = Items().AddChild(Y, "Y1");
        Y2 = Items().AddChild(Y, "Y2");
        Z = Items().Add(nullptr, "Z");
    }
    std::unique_ptr<THSTree> Tree;
    THSTreeNode *X = nullptr, *Y = nullptr, *Y1 = nullptr, *Y2 = nullptr, *Z = nullptr;
};

TEST_F(TreeModel, EmptyTreeHasNoNodesAndRefusesIndexZero) {
    EXPECT_EQ(Items().Count(), 0);
    EXPECT_EQ(Items().GetFirstNode(), nullptr);
    EXPECT_EQ(Items().VisibleCount(), 0);
    try {
        Items().Item(0);
        FAIL() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Index out of bounds (0)");
    }
}

TEST_F(TreeModel, AbsoluteAndVisibleIndexesFollowExpansion) {
    BuildXYZ();
    struct Case {
        THSTreeNode* Node;
        int Absolute;
        int Level;
    };
    for (const Case& C : std::vector<Case>{{X, 0, 0}, {Y, 1, 0}, {Y1, 2, 1}, {Y2, 3, 1}, {Z, 4, 0}}) {
        EXPECT_EQ(C.Node->AbsoluteIndex(), C.Absolute) << C.Node->Text();
        EXPECT_EQ(Items().Item(C.Absolute), C.Node) << C.Absolute;
        EXPECT_EQ(C.Node->Level(), C.Level) << C.Node->Text();
    }
    EXPECT_EQ(Items().Count(), 5);
    EXPECT_EQ(Items().VisibleCount(), 3);
    EXPECT_EQ(Z->VisibleIndex(), 2);
    EXPECT_FALSE(Y1->IsVisible());
    EXPECT_EQ(VisibleOrder(), "X Y Z");
    Y->Expand(false);
    EXPECT_EQ(Items().VisibleCount(), 5);
    EXPECT_EQ(Z->VisibleIndex(), 4);
    EXPECT_EQ(Items().GetVisibleItem(3), Y2);
    EXPECT_EQ(VisibleOrder(), "X Y Y1 Y2 Z");
    Y->Collapse(false);
    EXPECT_EQ(Items().VisibleCount(), 3);
    EXPECT_EQ(Items().GetLastNode(), Z);
    EXPECT_EQ(Y2->GetNext(), Z);
    EXPECT_EQ(Z->GetPrev(), Y2);
    EXPECT_EQ(Z->GetPrevVisible(), Y);
}

TEST_F(TreeModel, AttachModesPlaceNodes) {
    struct Case {
        TNodeAttachMode Mode;
        bool OnB;
        const char* Order;
    };
    // Start: A, B (B1), C; the new node N is attached relative to B or to no node.
    const std::vector<Case> Cases{
        {naAdd, true, "A B B1 C N"},       {naAddFirst, true, "N A B B1 C"},
        {naAddChild, true, "A B B1 N C"},  {naAddChildFirst, true, "A B N B1 C"},
        {naInsert, true, "A N B B1 C"},    {naAdd, false, "A B B1 C N"},
        {naAddFirst, false, "N A B B1 C"}, {naAddChild, false, "A B B1 C N"},
        {naInsert, false, "A B B1 C N"},
    };
    for (const Case& C : Cases) {
        Items().Clear();
        Items().Add(nullptr, "A");
        THSTreeNode* B = Items().Add(nullptr, "B");
        Items().AddChild(B, "B1");
        Items().Add(nullptr, "C");
        THSTreeNode* N = Items().InternalAdd(C.OnB ? B : nullptr, "N", nullptr, C.Mode);
        EXPECT_EQ(Order(), C.Order) << int(C.Mode) << " " << C.OnB;
        EXPECT_EQ(N->AbsoluteIndex(), std::string(C.Order).find('N') / 2) << int(C.Mode);
        EXPECT_EQ(Items().Count(), 5);
    }
}

TEST_F(TreeModel, DeleteRemovesSubtreeAndKeepsCounts) {
    BuildXYZ();
    Y->Expand(false);
    std::vector<std::string> Deleted;
    Tree->OnDeletion = [&](TObject*, THSTreeNode* N) { Deleted.push_back(N->Text()); };
    Y->Delete();
    EXPECT_EQ(Deleted, (std::vector<std::string>{"Y1", "Y2", "Y"}));
    EXPECT_EQ(Order(), "X Z");
    EXPECT_EQ(Items().Count(), 2);
    EXPECT_EQ(Items().VisibleCount(), 2);
    EXPECT_EQ(Z->AbsoluteIndex(), 1);
    THSTreeNode* P = Items().Add(nullptr, "P");
    THSTreeNode* C = Items().AddChild(P, "C");
    P->Expand(false);
    EXPECT_TRUE(P->Expanded());
    C->Delete();
    EXPECT_FALSE(P->Expanded()) << "a parent left without children is not expanded";
    EXPECT_FALSE(P->HasChildren());
    EXPECT_EQ(Items().VisibleCount(), 3);
    Items().Clear();
    EXPECT_EQ(Items().Count(), 0);
    EXPECT_EQ(Items().VisibleCount(), 0);
}

TEST_F(TreeModel, DeletingTheSelectedNodeSelectsANeighbour) {
    BuildXYZ();
    Tree->SetSelected(Y);
    std::vector<std::string> Changes;
    Tree->OnChange = [&](TObject*, THSTreeNode* N) { Changes.push_back(N ? N->Text() : "-"); };
    Y->Delete();
    EXPECT_EQ(Tree->Selected(), Z);
    EXPECT_EQ(Changes, std::vector<std::string>{"Z"});
    Z->Delete();
    EXPECT_EQ(Tree->Selected(), X);
    X->Delete();
    EXPECT_EQ(Tree->Selected(), nullptr);
}

TEST_F(TreeModel, MoveToPlacesTheSubtree) {
    struct Case {
        const char* Node;
        const char* Dest;
        TNodeAttachMode Mode;
        const char* Order;
    };
    const std::vector<Case> Cases{
        {"Y", "X", naAddChild, "X Y Y1 Y2 Z"}, {"Y", "Z", naAdd, "X Z Y Y1 Y2"},
        {"Z", "X", naInsert, "Z X Y Y1 Y2"},   {"Y1", "Z", naAddChildFirst, "X Y Y2 Z Y1"},
        {"Y2", "Y1", naInsert, "X Y Y2 Y1 Z"}, {"X", nullptr, naAdd, "Y Y1 Y2 Z X"},
        {"Z", "Y", naAddFirst, "Z X Y Y1 Y2"},
    };
    for (const Case& C : Cases) {
        Items().Clear();
        BuildXYZ();
        auto Find = [&](const char* T) -> THSTreeNode* {
            if (!T)
                return nullptr;
            for (int I = 0; I < Items().Count(); ++I)
                if (Items().Item(I)->Text() == T)
                    return Items().Item(I);
            return nullptr;
        };
        Find(C.Node)->MoveTo(Find(C.Dest), C.Mode);
        EXPECT_EQ(Order(), C.Order) << C.Node << " -> " << (C.Dest ? C.Dest : "none");
        EXPECT_EQ(Items().Count(), 5);
        for (int I = 0; I < Items().Count(); ++I)
            EXPECT_EQ(Items().Item(I)->AbsoluteIndex(), I);
    }
}

TEST_F(TreeModel, InvalidMovesRaiseAndLeaveTheTree) {
    BuildXYZ();
    THSTree Other(nullptr);
    THSTreeNode* Foreign = Other.Items().Add(nullptr, "F");
    struct Case {
        THSTreeNode* Node;
        THSTreeNode* Dest;
        TNodeAttachMode Mode;
        const char* Text;
    };
    for (const Case& C : std::vector<Case>{{Y, Y1, naAddChild, "Trying move to child"},
                                           {Y, Y, naAdd, "Invalid operation"},
                                           {Y, nullptr, naAddChild, "Invalid operation"},
                                           {Y, nullptr, naInsert, "Invalid operation"},
                                           {Y, Foreign, naAdd, "Invalid Node"}}) {
        try {
            C.Node->MoveTo(C.Dest, C.Mode);
            ADD_FAILURE() << "no error for " << C.Text;
        } catch (const EInvalidOperation& E) {
            EXPECT_EQ(E.Message(), C.Text);
        }
        EXPECT_EQ(Order(), "X Y Y1 Y2 Z");
        EXPECT_EQ(Items().Count(), 5);
    }
    try {
        Y->Item(2);
        ADD_FAILURE() << "no error";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (2)");
    }
    try {
        Items().GetVisibleItem(3);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Index out of bounds (3)");
    }
    try {
        Tree->SetIndent(-1);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Invalid value");
    }
    EXPECT_EQ(Tree->Indent(), 19);
}

TEST_F(TreeModel, SortIsStableAndDescendingReversesOnlyUnequalKeys) {
    THSTreeNode* P = Items().Add(nullptr, "P");
    for (const char* T : {"b", "A", "c", "a", "B"})
        Items().AddChild(P, T);
    P->AlphaSort();
    EXPECT_EQ(Children(P), "A a b B c");
    Tree->SetSortOrder(soDescending);
    Tree->SetSortType(stText);
    EXPECT_EQ(Children(P), "c b B A a");
    // A sorted tree places new and renamed nodes that are shown at once.
    P->Expand(false);
    THSTreeNode* N = Items().AddChild(P, "bb");
    EXPECT_EQ(Children(P), "c bb b B A a");
    N->SetText("0");
    EXPECT_EQ(Children(P), "c b B A a 0");
    // A custom comparison replaces the tree's own.
    Tree->SetSortType(stNone);
    Tree->SetSortOrder(soAscending);
    P->CustomSort([](THSTreeNode* A, THSTreeNode* B, intptr_t) { return B->Text().compare(A->Text()); }, 0);
    EXPECT_EQ(Children(P), "c b a B A 0");
}

TEST_F(TreeModel, RadioButtonsAndAutoCheck) {
    THSTreeNode* P = Items().Add(nullptr, "P");
    THSTreeNode* R1 = Items().AddChild(P, "R1");
    THSTreeNode* R2 = Items().AddChild(P, "R2");
    Tree->SetCheckBoxesType(ctCustom);
    R1->SetNodeType(ntRadioButton);
    R2->SetNodeType(ntRadioButton);
    R1->SetChecked(true);
    R2->SetChecked(true);
    EXPECT_FALSE(R1->Checked());
    EXPECT_TRUE(R2->Checked());
    EXPECT_EQ(P->CheckedRadio(), R2);
    R2->SetState(TCheckBoxState::cbGrayed);
    EXPECT_EQ(R2->State(), TCheckBoxState::cbChecked) << "a radio button is never grayed";
    R2->SwitchToNextState();
    EXPECT_TRUE(R2->Checked()) << "a click keeps a radio button checked";

    Items().Clear();
    Tree->SetCheckBoxesType(ctAll);
    Tree->SetAutoCheck(true);
    THSTreeNode* Root = Items().Add(nullptr, "Root");
    THSTreeNode* A = Items().AddChild(Root, "A");
    THSTreeNode* B = Items().AddChild(Root, "B");
    THSTreeNode* B1 = Items().AddChild(B, "B1");
    EXPECT_EQ(A->NodeType(), ntCheckBox);
    Root->SetChecked(true);
    for (THSTreeNode* N : {A, B, B1})
        EXPECT_TRUE(N->Checked()) << N->Text();
    B1->SetChecked(false);
    EXPECT_EQ(B->State(), TCheckBoxState::cbUnchecked) << "B's only check box child decides";
    EXPECT_EQ(Root->State(), TCheckBoxState::cbGrayed);
    A->SetChecked(false);
    EXPECT_EQ(Root->State(), TCheckBoxState::cbUnchecked) << "children that agree decide the parent";
    // Without AutoCheck a check box with AllowGrayed cycles through grayed.
    Tree->SetAutoCheck(false);
    A->SetAllowGrayed(true);
    A->SwitchToNextState();
    A->SwitchToNextState();
    EXPECT_EQ(A->State(), TCheckBoxState::cbGrayed);
    A->SwitchToNextState();
    EXPECT_EQ(A->State(), TCheckBoxState::cbUnchecked);
}

TEST_F(TreeModel, NextMessageSearchWalksItemsByIndex) {
    // The main window's step to the next message: from the selection's absolute index + 1 to the
    // first node carrying data, whatever is expanded.
    int Records[3];
    THSTreeNode* File = Items().Add(nullptr, "file");
    Items().AddChildObject(File, "m1", &Records[0]);
    THSTreeNode* Group = Items().AddChild(File, "group");
    Items().AddChildObject(Group, "m2", &Records[1]);
    Items().AddObject(nullptr, "m3", &Records[2]);
    auto NextFrom = [&](THSTreeNode* From) -> THSTreeNode* {
        for (int I = From ? From->AbsoluteIndex() + 1 : 0; I < Items().Count(); ++I)
            if (Items().Item(I)->Data())
                return Items().Item(I);
        return nullptr;
    };
    std::vector<std::string> Seen;
    for (THSTreeNode* N = NextFrom(nullptr); N; N = NextFrom(N))
        Seen.push_back(N->Text());
    EXPECT_EQ(Seen, (std::vector<std::string>{"m1", "m2", "m3"}));
    Tree->FullExpand();
    Seen.clear();
    for (THSTreeNode* N = NextFrom(nullptr); N; N = NextFrom(N))
        Seen.push_back(N->Text());
    EXPECT_EQ(Seen, (std::vector<std::string>{"m1", "m2", "m3"}));
}

TEST_F(TreeModel, ExpandEventsMayRefuseAndFullExpandReachesAll) {
    BuildXYZ();
    THSTreeNode* Y11 = Items().AddChild(Y1, "Y11");
    bool Allow = false;
    Tree->OnExpanding = [&](TObject*, THSTreeNode*, bool& A) { A = Allow; };
    Y->Expand(false);
    EXPECT_FALSE(Y->Expanded());
    Allow = true;
    Tree->FullExpand();
    EXPECT_TRUE(Y11->IsVisible());
    EXPECT_EQ(Items().VisibleCount(), 6);
    Tree->SetSelected(Y11);
    EXPECT_EQ(Items().VisibleCount(), 6);
    Y->Collapse(true);
    EXPECT_EQ(Tree->Selected(), Y) << "a selection hidden by a collapse moves to the collapsed node";
    EXPECT_FALSE(Y1->Expanded());
    EXPECT_EQ(Items().VisibleCount(), 3);
}

TEST_F(TreeModel, ItemsWalkIsLinearForManyNodes) {
    THSTreeUpdateGuard Batch(Items());
    for (int I = 0; I < 2000; ++I) {
        THSTreeNode* N = Items().Add(nullptr, "n" + std::to_string(I));
        for (int J = 0; J < 4; ++J)
            Items().AddChild(N, "c");
    }
    ASSERT_EQ(Items().Count(), 10000);
    for (int I = 0; I < Items().Count(); ++I)
        ASSERT_EQ(Items().Item(I)->AbsoluteIndex(), I);
    EXPECT_EQ(Items().Item(9995)->Text(), "n1999");
}

} // namespace

namespace {

TEST(TreeForms, AFormTableMakesATreeWithItsProperties) {
    RegisterHSTreeClasses();
    RegisterUiClasses();
    TForm Form(nullptr);
    TFormLayout L;
    L.ClientWidth = 200;
    L.ClientHeight = 150;
    L.Items = {{"THSTree",
                "tvResults",
                "",
                0,
                0,
                200,
                150,
                "",
                {{"Align", "alClient"}, {"ShowRoot", "False"}, {"Indent", "12"}, {"HideSelection", "False"}},
                nullptr,
                nullptr}};
    BuildForm(Form, L);
    auto* T = dynamic_cast<THSTree*>(Form.FindComponent("tvResults"));
    ASSERT_NE(T, nullptr);
    EXPECT_FALSE(T->ShowRoot());
    EXPECT_EQ(T->Indent(), 12);
    EXPECT_FALSE(T->HideSelection());
    EXPECT_TRUE(T->ShowLines());
}

} // namespace
