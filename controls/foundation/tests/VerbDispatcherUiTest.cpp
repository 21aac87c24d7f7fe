#include "controls/foundation/VerbDispatcher.h"

#include <gtest/gtest.h>

#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

namespace {

TVerbState gState = vsVisible | vsEnabled;
int gRuns = 0;
int gUpdatesDuringRun = 0;
void VerbState(TVerbState& State) {
    State = gState;
}
void VerbRun() {
    ++gRuns;
    gUpdatesDuringRun = IDEUpdateCount();
}

TEST(VerbDispatcher, ItemsShowTheVerbsStateAndRunIt) {
    RegisterVerb("ToggleThing", &VerbState, &VerbRun);
    gState = vsVisible | vsEnabled | vsChecked;
    gRuns = 0;
    TForm Form(nullptr);
    auto* Menu = new TMenuItem(&Form);
    Menu->SetName("ThingItem");
    auto* Button = new TButton(&Form);
    Button->SetParent(&Form);
    auto* Dispatcher = new TVerbDispatcher(&Form);
    TVerbListItem* MenuVerb = Dispatcher->VerbList()->AddVerb(" togglething ", Menu);
    Dispatcher->VerbList()->AddVerb("ToggleThing", Button);
    TVerbListItem* Unknown = Dispatcher->VerbList()->AddVerb("NoSuchVerb", new TMenuItem(&Form));

    EXPECT_EQ(MenuVerb->VerbName(), "togglething");
    EXPECT_EQ(MenuVerb->GetDisplayName(), "ThingItem - togglething");
    EXPECT_TRUE(Menu->Checked());
    EXPECT_TRUE(Menu->Enabled());
    ASSERT_TRUE(Menu->OnClick);
    ASSERT_TRUE(Button->OnClick);
    EXPECT_FALSE(static_cast<TMenuItem*>(Unknown->VerbComp())->OnClick);

    Menu->OnClick(Menu);
    Button->OnClick(Button);
    EXPECT_EQ(gRuns, 2);
    EXPECT_EQ(gUpdatesDuringRun, 1); // inside the environment's update bracket
    EXPECT_EQ(IDEUpdateCount(), 0);

    // A change of the environment applies the new state.
    gState = vsVisible;
    IDEChanged();
    EXPECT_FALSE(Menu->Enabled());
    EXPECT_FALSE(Menu->Checked());
    EXPECT_FALSE(Button->Enabled());
    // Not while an update bracket is open.
    IDEBeginUpdate();
    gState = vsVisible | vsEnabled;
    Dispatcher->UpdateControls();
    EXPECT_FALSE(Menu->Enabled());
    IDEEndUpdate();
    Dispatcher->UpdateControls();
    EXPECT_TRUE(Menu->Enabled());

    // A removed component leaves its item; a freed item unbinds its component.
    delete Menu;
    EXPECT_EQ(MenuVerb->VerbComp(), nullptr);
    EXPECT_EQ(MenuVerb->GetDisplayName(), "togglething");
    Dispatcher->VerbList()->Delete(1);
    EXPECT_FALSE(Button->OnClick);
    delete Dispatcher;
    UnRegisterClassExt(TVerbObject::StaticClass());
}

// An action bound to a verb takes the verb's state and runs it; one without a known verb stays
// visible and enabled and runs nothing.
TEST(VerbDispatcher, AnActionOfAVerbTakesItsStateAndRunsIt) {
    RegisterVerb("ToggleThing", &VerbState, &VerbRun);
    gRuns = 0;
    gState = vsVisible | vsChecked;
    THSIDEAction Action(nullptr);
    EXPECT_FALSE(Action.Execute());
    Action.SetVerbName("  togglething ");
    EXPECT_EQ(Action.VerbName(), "togglething");
    EXPECT_TRUE(Action.Visible());
    EXPECT_FALSE(Action.Enabled());
    EXPECT_TRUE(Action.Checked());
    gState = vsEnabled;
    EXPECT_TRUE(Action.Update());
    EXPECT_FALSE(Action.Visible());
    EXPECT_TRUE(Action.Enabled());
    EXPECT_FALSE(Action.Checked());
    EXPECT_TRUE(Action.Execute());
    EXPECT_EQ(gRuns, 1);
    EXPECT_EQ(gUpdatesDuringRun, 1);
    EXPECT_EQ(IDEUpdateCount(), 0);

    THSIDEAction Unknown(nullptr);
    Unknown.SetVisible(false);
    Unknown.SetChecked(true);
    Unknown.SetVerbName("NoSuchVerb");
    EXPECT_TRUE(Unknown.Update());
    EXPECT_TRUE(Unknown.Visible());
    EXPECT_TRUE(Unknown.Enabled());
    EXPECT_FALSE(Unknown.Checked());
    EXPECT_FALSE(Unknown.Execute());

    // While designed, the name is only stored.
    THSIDEAction Designed(nullptr);
    Designed.SetState(csDesigning, true);
    Designed.SetVerbName("ToggleThing");
    EXPECT_FALSE(Designed.Execute());
    UnRegisterClassExt(TVerbObject::StaticClass());
}

} // namespace
