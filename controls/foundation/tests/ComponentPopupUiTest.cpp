#include "controls/foundation/ComponentPopup.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/HSApplication.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/ui/Menus.h"

namespace {

class TPopupTarget : public TComponent {
    ZEL_DECLARE_CLASS(TPopupTarget)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TPopupTarget, TComponent, {})

class TTwoVerbEditor : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
    std::vector<int32_t> Run;
    int32_t GetVerbCount() override { return 2; }
    std::string GetVerb(int32_t Index) override { return Index == 0 ? "Edit A" : "Edit B"; }
    void ExecuteVerb(int32_t Index) override { Run.push_back(Index); }
};

TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, const std::string& Caption) {
    auto* Item = new TMenuItem(Owner);
    Item->SetCaption(Caption);
    Parent->Add(Item);
    return Item;
}

std::vector<std::string> Captions(TMenuItem* Parent) {
    std::vector<std::string> Out;
    for (int I = 0; I < Parent->Count(); ++I)
        Out.push_back(Parent->Items(I)->Caption());
    return Out;
}

// Source: "-", Open, "-", "-", More (with Deep), "-".
struct TMenus {
    TComponent Form{nullptr};
    TPopupMenu* Source = new TPopupMenu(&Form);
    TPopupMenu* Dest = new TPopupMenu(&Form);
    int Opened = 0;
    TMenus() {
        TMenuItem* Root = Source->Items();
        AddItem(Root, &Form, "-");
        TMenuItem* Open = AddItem(Root, &Form, "&Open");
        Open->SetName("OpenItem");
        Open->SetShortCut(ShortCut('O', ssCtrl));
        Open->SetChecked(true);
        Open->SetTag(5);
        Open->OnClick = [this](TObject*) { ++Opened; };
        AddItem(Root, &Form, "-");
        AddItem(Root, &Form, "-");
        TMenuItem* More = AddItem(Root, &Form, "More");
        AddItem(More, &Form, "Deep")->SetEnabled(false);
        AddItem(Root, &Form, "-");
        AddItem(Dest->Items(), &Form, "Old");
    }
};

TEST(ComponentPopup, ACopyReplacesTheItemsAndKeepsTheirStateAndHandlers) {
    TMenus M;
    CopyPopupMenu(M.Source, M.Dest);
    TMenuItem* D = M.Dest->Items();
    EXPECT_EQ(Captions(D), (std::vector<std::string>{"-", "&Open", "-", "-", "More", "-"}));
    TMenuItem* Open = D->Items(1);
    EXPECT_NE(Open, M.Source->Items()->Items(1));
    EXPECT_EQ(Open->Owner(), M.Dest);
    EXPECT_EQ(Open->Name(), "OpenItem");
    EXPECT_EQ(Open->ShortCut(), ShortCut('O', ssCtrl));
    EXPECT_TRUE(Open->Checked());
    EXPECT_EQ(Open->Tag(), 5);
    Open->Click();
    EXPECT_EQ(M.Opened, 1);
    ASSERT_EQ(D->Items(4)->Count(), 1);
    EXPECT_EQ(D->Items(4)->Items(0)->Caption(), "Deep");
    EXPECT_FALSE(D->Items(4)->Items(0)->Enabled());
    EXPECT_EQ(M.Source->Items()->Count(), 6);

    // Copying again replaces the copies; a nil source empties the menu.
    CopyPopupMenu(M.Source, M.Dest);
    EXPECT_EQ(D->Count(), 6);
    CopyPopupMenu(nullptr, M.Dest);
    EXPECT_EQ(D->Count(), 0);
    CopyPopupMenu(M.Source, nullptr);
}

TEST(ComponentPopup, EditorAndActionVerbsGoOnTopAndRunByTheirTags) {
    TMenus M;
    THSApplication Kit;
    TPopupTarget Target(nullptr);
    std::vector<std::string> Actions;
    RegisterComponentAction("Act one", TPopupTarget::StaticClass(),
                            [&](TComponent* C) { Actions.push_back("one " + std::to_string(C == &Target)); });
    RegisterComponentAction("Elsewhere", TMenuItem::StaticClass(),
                            [&](TComponent*) { Actions.push_back("x"); });
    RegisterComponentAction("Act two", nullptr, [&](TComponent*) { Actions.push_back("two"); });
    TTwoVerbEditor Editor(&Target);
    M.Dest->OnPopup = [](TObject*) {};

    MakeComponentPopup(M.Source, M.Dest, &Editor);
    TMenuItem* D = M.Dest->Items();
    EXPECT_EQ(Captions(D), (std::vector<std::string>{"Edit A", "Edit B", "Act one", "Act two", "-", "&Open",
                                                     "-", "More"}));
    EXPECT_FALSE(static_cast<bool>(M.Dest->OnPopup));
    const std::vector<std::pair<int, int32_t>> Tags = {{0, 1000}, {1, 1001}, {2, 2000}, {3, 2001}};
    for (auto [Index, Tag] : Tags)
        EXPECT_EQ(D->Items(Index)->Tag(), Tag);
    D->Items(1)->Click();
    D->Items(3)->Click();
    D->Items(2)->Click();
    EXPECT_EQ(Editor.Run, std::vector<int32_t>{1});
    EXPECT_EQ(Actions, (std::vector<std::string>{"two", "one 1"}));

    // Without an editor only the copy and the tidying happen.
    MakeComponentPopup(M.Source, M.Dest, nullptr);
    EXPECT_EQ(Captions(D), (std::vector<std::string>{"&Open", "-", "More"}));
}

std::vector<std::string> gEdited;
void RecordEdit(TObject* Instance, const std::string& PropertyName) {
    gEdited.push_back(static_cast<TComponent*>(Instance)->Name() + "." + PropertyName);
}

TEST(ComponentPopup, TheDispatchersEditorOffersToAssignVerbs) {
    TPopupTarget Dispatcher(nullptr);
    Dispatcher.SetName("Verbs1");
    TDispatchCompEditor Editor(&Dispatcher);
    ASSERT_EQ(Editor.GetVerbCount(), 1);
    EXPECT_EQ(Editor.GetVerb(0), "Assign Verbs");
    EXPECT_EQ(Editor.GetVerb(1), "");
    gEdited.clear();
    CallPropertyEditHook = &RecordEdit;
    Editor.ExecuteVerb(1);
    Editor.ExecuteVerb(0);
    CallPropertyEditHook = nullptr;
    EXPECT_EQ(gEdited, std::vector<std::string>{"Verbs1.VerbList"});
}

} // namespace
