#include "controls/foundation/PropStoreForms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRegistryKey.h"
#include "controls/foundation/PropStore.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/ui/Forms.h"

namespace {

// A form named Form1 whose store keeps the form's Tag.
struct TStoredForm {
    TForm Form{nullptr};
    THSPropStore* Store;
    TStoredForm() {
        InstallPropStoreForms();
        Form.SetName("Form1");
        Store = new THSPropStore(&Form);
        Store->SetName("Store");
        Store->PropList()->SetText("Tag\n");
    }
};

TEST(PropStoreForms, TheCloseQuerySavesAfterThePreviousHandlerAgrees) {
    TTestRegistryKey Key;
    TStoredForm A;
    std::vector<std::string> Calls;
    bool Allow = false;
    A.Form.OnCloseQuery = [&](TObject*, bool& CanClose) {
        Calls.push_back("previous");
        CanClose = Allow;
    };
    A.Store->OnSaveChanges = [&](TObject*, bool&) { Calls.push_back("save"); };
    A.Store->Loaded();
    A.Form.SetTagProp(5);

    EXPECT_FALSE(A.Form.CloseQuery());
    EXPECT_EQ(Calls, std::vector<std::string>{"previous"});
    EXPECT_LE(GetRegBufSize("Form1Store"), 0);

    Allow = true;
    Calls.clear();
    EXPECT_TRUE(A.Form.CloseQuery());
    EXPECT_EQ(Calls, (std::vector<std::string>{"previous", "save"}));

    // Another form of the same name loads what the first one kept.
    TStoredForm B;
    B.Store->Loaded();
    EXPECT_EQ(B.Form.GetTagProp(), 5);
}

TEST(PropStoreForms, LoadedAtDesignTimeNeitherHooksNorLoads) {
    TTestRegistryKey Key;
    TStoredForm A;
    A.Form.SetTagProp(3);
    A.Store->Save();
    TStoredForm B;
    B.Store->SetState(csDesigning, true);
    B.Store->Loaded();
    EXPECT_EQ(B.Form.GetTagProp(), 0);
    EXPECT_FALSE(static_cast<bool>(B.Form.OnCloseQuery));
}

TEST(PropStoreForms, PlacementIsKeptOnlyWithStorePos) {
    struct Case {
        bool StorePos;
        int ExpectLeft;
    };
    for (const Case C : {Case{true, 120}, Case{false, 300}}) {
        SCOPED_TRACE(C.StorePos);
        TTestRegistryKey Key;
        TStoredForm A;
        EXPECT_TRUE(A.Store->StorePos());
        A.Store->SetStorePos(C.StorePos);
        A.Form.SetBounds(120, 130, 400, 300);
        A.Form.HandleNeeded();
        A.Store->Save();
        A.Form.SetBounds(300, 310, 420, 320);
        A.Store->Load();
        EXPECT_EQ(A.Form.Left(), C.ExpectLeft);
        EXPECT_EQ(A.Form.Width(), C.StorePos ? 400 : 420);
    }
}

TEST(PropStoreForms, AStoreThatEndsFirstLeavesTheFormsHandlersWorking) {
    TTestRegistryKey Key;
    int Previous = 0;
    {
        // The store's hook is on top: the previous handler is put back.
        TStoredForm A;
        A.Form.OnCloseQuery = [&](TObject*, bool&) { ++Previous; };
        A.Store->Loaded();
        delete A.Store;
        EXPECT_TRUE(A.Form.CloseQuery());
        EXPECT_EQ(Previous, 1);
    }
    {
        // Somebody chained over the hook: it stays, but no longer reaches the store.
        TStoredForm A;
        A.Store->Loaded();
        A.Form.OnCloseQuery = [&, Hook = A.Form.OnCloseQuery](TObject* S, bool& CanClose) {
            ++Previous;
            Hook(S, CanClose);
        };
        delete A.Store;
        EXPECT_TRUE(A.Form.CloseQuery());
        EXPECT_EQ(Previous, 2);
        EXPECT_LE(GetRegBufSize("Form1Store"), 0);
    }
}

TEST(PropStoreForms, ADataModuleSavesItsStoreAsItEnds) {
    TTestRegistryKey Key;
    InstallPropStoreForms();
    std::vector<std::string> Calls;
    auto MakeModule = [&] {
        auto* Module = new TDataModule(nullptr);
        Module->SetName("Module1");
        auto* Store = new THSPropStore(Module);
        Store->SetName("Store");
        Store->PropList()->SetText("Tag\n");
        Store->OnSaveChanges = [&](TObject*, bool&) { Calls.push_back("save"); };
        return std::pair{Module, Store};
    };
    auto [Module, Store] = MakeModule();
    Module->OnDestroy = [&, Module = Module](TObject*) {
        Calls.push_back("previous");
        Module->SetTagProp(0); // what the previous handler does comes after the save
    };
    Store->Loaded();
    Module->SetTagProp(9);
    delete Module;
    EXPECT_EQ(Calls, (std::vector<std::string>{"save", "previous"}));

    auto [Next, NextStore] = MakeModule();
    NextStore->Loaded();
    EXPECT_EQ(Next->GetTagProp(), 9);
    // A store that goes first puts the module's own handler back.
    Next->SetTagProp(4);
    Calls.clear();
    Next->OnDestroy = [&, Previous = Next->OnDestroy](TObject* S) {
        Calls.push_back("chained");
        Previous(S);
    };
    delete NextStore;
    delete Next;
    EXPECT_EQ(Calls, std::vector<std::string>{"chained"});
    auto [Last, LastStore] = MakeModule();
    LastStore->Loaded();
    EXPECT_EQ(Last->GetTagProp(), 9);
    delete Last;
}

} // namespace
