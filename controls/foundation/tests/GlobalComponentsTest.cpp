#include "controls/foundation/GlobalComponents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/PropStore.h"
#include "framework/core/Component.h"
#include "framework/core/ScopeGuard.h"

namespace {

TComponent* GEarlierFound = nullptr;
std::vector<std::string> GEarlierAsked;
TComponent* EarlierLookup(const std::string& Name) {
    GEarlierAsked.push_back(Name);
    return GEarlierFound;
}

TEST(GlobalComponents, TheProcIsAskedFirstAndTheEarlierLookupOtherwise) {
    const TFindGlobalObjectFunc Saved = FindGlobalObjectFunc;
    TScopeGuard Restore([Saved] {
        RemoveFindGlobalCompProc();
        FindGlobalObjectFunc = Saved;
    });
    TComponent Mine(nullptr), Earlier(nullptr);
    GEarlierFound = &Earlier;
    GEarlierAsked.clear();
    FindGlobalObjectFunc = &EarlierLookup;

    std::vector<std::string> Asked;
    SetFindGlobalCompProc([&](const std::string& Name) -> TComponent* {
        Asked.push_back(Name);
        return Name == "Form2.Edit1" ? &Mine : nullptr;
    });
    EXPECT_EQ(FindGlobalObjectFunc("Form2.Edit1"), &Mine);
    EXPECT_TRUE(GEarlierAsked.empty());
    EXPECT_EQ(FindGlobalObjectFunc("Form3"), &Earlier);
    EXPECT_EQ(Asked, (std::vector<std::string>{"Form2.Edit1", "Form3"}));
    EXPECT_EQ(GEarlierAsked, std::vector<std::string>{"Form3"});

    // A second proc replaces the first and still falls back to the same earlier lookup.
    SetFindGlobalCompProc([](const std::string&) -> TComponent* { return nullptr; });
    EXPECT_EQ(FindGlobalObjectFunc("Form2.Edit1"), &Earlier);

    RemoveFindGlobalCompProc();
    Asked.clear();
    EXPECT_EQ(FindGlobalObjectFunc("Form2.Edit1"), &Earlier);
    EXPECT_TRUE(Asked.empty());
}

TEST(GlobalComponents, APropertyStoreFindsAComponentOfAnotherFormThroughTheProc) {
    const TFindGlobalObjectFunc Saved = FindGlobalObjectFunc;
    TScopeGuard Restore([Saved] {
        RemoveFindGlobalCompProc();
        FindGlobalObjectFunc = Saved;
    });
    FindGlobalObjectFunc = nullptr;
    TComponent Form1(nullptr), Other(nullptr);
    Form1.SetName("Form1");
    Other.SetTagProp(9);
    auto* Store = new THSPropStore(&Form1);
    Store->PropList()->SetText("Form2.Edit1.Tag\n");
    std::vector<std::string> Asked;
    SetFindGlobalCompProc([&](const std::string& Name) -> TComponent* {
        Asked.push_back(Name);
        return Name == "Form2.Edit1" ? &Other : nullptr;
    });
    TMemoryStream Stream;
    Store->SaveToStream(Stream);
    Other.SetTagProp(0);
    Stream.SetPosition(0);
    Store->LoadFromStream(Stream);
    EXPECT_EQ(Other.GetTagProp(), 9);
    // The owner's name comes first, the bare path after it.
    ASSERT_GE(Asked.size(), 2u);
    EXPECT_EQ(Asked[0], "Form1.Form2.Edit1");
    EXPECT_EQ(Asked[1], "Form2.Edit1");
}

} // namespace
