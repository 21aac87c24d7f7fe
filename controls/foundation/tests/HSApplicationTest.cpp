#include "controls/foundation/HSApplication.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestRegistryKey.h"
#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/DesignKit.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/Component.h"
#include "framework/core/Strings.h"

namespace {

class TBaseStub : public TComponent {
    ZEL_DECLARE_CLASS(TBaseStub)
public:
    using TComponent::TComponent;
};
class TDerivedStub : public TBaseStub {
    ZEL_DECLARE_CLASS(TDerivedStub)
public:
    using TBaseStub::TBaseStub;
};
class TUnrelatedStub : public TComponent {
    ZEL_DECLARE_CLASS(TUnrelatedStub)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TBaseStub, TComponent, {})
ZEL_DEFINE_CLASS(TDerivedStub, TBaseStub, {})
ZEL_DEFINE_CLASS(TUnrelatedStub, TComponent, {})

std::vector<std::string> gEdits;
void RecordEdit(TObject* Instance, const std::string& Name) {
    gEdits.push_back(static_cast<TComponent*>(Instance)->Name() + "." + Name);
}

TEST(HSApplication, VerbsApplyToTheirClassItsDescendantsAndEveryClass) {
    TActionsList List;
    std::vector<std::string> Ran;
    List.RegisterVisualProperty("Edit Items", TBaseStub::StaticClass(), "Items");
    List.RegisterComponentAction("Other", TUnrelatedStub::StaticClass(),
                                 [&](TComponent*) { Ran.push_back("x"); });
    List.RegisterComponentAction("About", nullptr,
                                 [&](TComponent* C) { Ran.push_back("about " + C->Name()); });
    TDerivedStub D(nullptr);
    D.SetName("D1");
    TComponent Plain(nullptr);
    EXPECT_EQ(List.GetVerbCount(&D), 2);
    EXPECT_EQ(List.GetVerbCount(&Plain), 1);
    EXPECT_EQ(List.GetVerb(&D, 0), "Edit Items");
    EXPECT_EQ(List.GetVerb(&D, 1), "About");
    EXPECT_EQ(List.GetVerb(&D, 2), "");
    EXPECT_EQ(List.GetActionItem(&D, -1), nullptr);
    EXPECT_EQ(List.GetVerb(&Plain, 0), "About");

    gEdits.clear();
    CallPropertyEditHook = &RecordEdit;
    List.ExecuteVerb(&D, 0);
    List.ExecuteVerb(&D, 1);
    List.ExecuteVerb(&D, 5); // nothing
    CallPropertyEditHook = nullptr;
    EXPECT_EQ(gEdits, (std::vector<std::string>{"D1.Items"}));
    EXPECT_EQ(Ran, (std::vector<std::string>{"about D1"}));
}

TEST(HSApplication, KnownActiveXLibrariesAreKeptInTheRegistry) {
    TTestRegistryKey Key;
    InitDesignKit();
    ASSERT_NE(App, nullptr);
    TMessageAnswer Listener;
    std::vector<uint32_t> Heard;
    Listener.OnMessage = [&](THSMessage& M) {
        if (M.Msg == HS_ACTIVEXREGISTERED || M.Msg == HS_ACTIVEXUNREGISTERED)
            Heard.push_back(M.Msg);
    };
    TAxControlInfo Info;
    Info.TypeLibID = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    const std::string Text = "{12345678-1234-5678-0102-030405060708}";

    TAxControlInfo Absent;
    App->UnRegisterActiveX(&Absent);
    EXPECT_TRUE(Heard.empty());
    EXPECT_FALSE(RegValueExists("KnownActiveXs"));

    App->RegisterActiveX(&Info);
    EXPECT_TRUE(App->ActiveXRegistered(Info.TypeLibID));
    EXPECT_EQ(ReadFromRegistry("KnownActiveXs", THSVariant("")).Str, Text + "\r\n");

    // A fresh application object reads the list back.
    DoneDesignKit();
    EXPECT_EQ(App, nullptr);
    InitDesignKit();
    EXPECT_TRUE(App->ActiveXRegistered(Info.TypeLibID));
    App->UnRegisterActiveX(&Info);
    EXPECT_FALSE(App->ActiveXRegistered(Info.TypeLibID));
    EXPECT_EQ(ReadFromRegistry("KnownActiveXs", THSVariant("x")).Str, "");
    EXPECT_EQ(Heard, (std::vector<uint32_t>{HS_ACTIVEXREGISTERED, HS_ACTIVEXUNREGISTERED}));

    RegisterVisualProperty("Edit", nullptr, "Lines");
    EXPECT_EQ(App->GetActionList()->Count(), 1);
    DoneDesignKit();
    RegisterVisualProperty("Edit", nullptr, "Lines"); // without the kit: nothing, no crash
}

} // namespace
