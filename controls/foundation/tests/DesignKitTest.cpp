#include "controls/foundation/DesignKit.h"

#include <gtest/gtest.h>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/PropertyServices.h"
#include "framework/core/Component.h"

namespace {

TEST(DesignKit, StartsOnceAndStopsWithTheLastShutDown) {
    ASSERT_FALSE(DesignKitStarted());
    InitDesignKit();
    InitDesignKit();
    EXPECT_NE(GetClass("TPropFileSystem"), nullptr);
    EXPECT_NE(GetClass("TResFileSystem"), nullptr);
    TComponent C(nullptr);
    C.SetName("Button1");
    EXPECT_EQ(BuildCompName(&C, ""), "Button1: TComponent");
    DoneDesignKit();
    EXPECT_TRUE(DesignKitStarted());
    DoneDesignKit();
    EXPECT_FALSE(DesignKitStarted());
    EXPECT_EQ(BuildCompNameFunc, nullptr);
    DoneDesignKit(); // one too many does nothing
    EXPECT_FALSE(DesignKitStarted());
}

// The kit's registrations land in an editor group of their own: start-up opens one when none is
// open, and only then.
TEST(DesignKit, StartUpOpensAnEditorGroupWhenNoneIsOpen) {
    ASSERT_FALSE(DesignKitStarted());
    for (int Round = 0; Round < 3; ++Round) {
        SCOPED_TRACE(Round);
        const int Before = CurrentEditorGroup();
        InitDesignKit();
        EXPECT_EQ(CurrentEditorGroup(), Before < 0 ? Before + 1 : Before);
        DoneDesignKit();
    }
    EXPECT_GE(CurrentEditorGroup(), 0);
}

TEST(DesignKit, ModifiedObjectsReachEachNotifierOnce) {
    InitDesignKit();
    TComponent A(nullptr), B(nullptr), Other(nullptr);
    std::vector<std::string> Calls;
    int DataA = 1, DataB = 2;
    RegisterPropChangesNotifier(
        &A,
        [&](void* D, const std::vector<TObject*>& L) {
            Calls.push_back("A" + std::to_string(*static_cast<int*>(D)) + ":" + std::to_string(L.size()));
        },
        &DataA);
    RegisterPropChangesNotifier(
        &B,
        [&](void* D, const std::vector<TObject*>&) {
            Calls.push_back("B" + std::to_string(*static_cast<int*>(D)));
        },
        &DataB);
    std::vector<TObject*> Changed{&A, &Other, &A, &B};
    BroadCastToNotifiers(nullptr, HS_DESIGNERMODIFIED, reinterpret_cast<intptr_t>(&Changed), 0);
    EXPECT_EQ(Calls, (std::vector<std::string>{"A1:4", "B2"}));

    Calls.clear();
    UnRegisterPropChangesNotifier(&A);
    BroadCastToNotifiers(nullptr, HS_DESIGNERMODIFIED, reinterpret_cast<intptr_t>(&Changed), 0);
    EXPECT_EQ(Calls, (std::vector<std::string>{"B2"}));

    Calls.clear();
    DoneDesignKit();
    BroadCastToNotifiers(nullptr, HS_DESIGNERMODIFIED, reinterpret_cast<intptr_t>(&Changed), 0);
    EXPECT_TRUE(Calls.empty());
}

} // namespace
