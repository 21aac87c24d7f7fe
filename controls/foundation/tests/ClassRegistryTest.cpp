#include "controls/foundation/ClassRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/Broadcasts.h"

namespace {

class TBase : public TObject {
    ZEL_DECLARE_CLASS(TBase)
};
class TDerived : public TBase {
    ZEL_DECLARE_CLASS(TDerived)
};
class TOther : public TObject {
    ZEL_DECLARE_CLASS(TOther)
};
ZEL_DEFINE_CLASS(TBase, TObject, {})
ZEL_DEFINE_CLASS(TDerived, TBase, {})
ZEL_DEFINE_CLASS(TOther, TObject, {})

// Removes what a test registered.
struct RegistryScope {
    ~RegistryScope() {
        UnRegisterClassExt(TBase::StaticClass());
        UnRegisterClassExt(TDerived::StaticClass());
        UnRegisterClassExt(TOther::StaticClass());
        UnRegisterClassExt(TVerbObject::StaticClass());
    }
};

TEST(ClassRegistry, LookupsFollowTheClassRelationInRegistrationOrder) {
    RegistryScope Scope;
    auto* Derived = RegisterClassExt(TDerived::StaticClass(), {"Kind"}, {THSVariant("map")});
    auto* Base = RegisterClassExt(TBase::StaticClass(), {"Kind"}, {THSVariant("map")});
    RegisterClassExt(TOther::StaticClass(), {"Kind"}, {THSVariant("map")});
    const TParamNames N = {"Kind"};
    const TParamValues V = {THSVariant("map")};
    EXPECT_EQ(GetItemInherited(TDerived::StaticClass(), N, V), Derived); // registered first
    EXPECT_EQ(GetItemInherited(TBase::StaticClass(), N, V), Base);
    EXPECT_EQ(GetItemEx(TBase::StaticClass(), N, V), Derived);
    EXPECT_EQ(GetItemEqual(TBase::StaticClass(), N, V), Base);
    EXPECT_EQ(GetClassEx(TBase::StaticClass(), N, V), TDerived::StaticClass());
    EXPECT_EQ(GetClassInherited(TDerived::StaticClass(), N, V), TDerived::StaticClass());
    std::vector<TObjectParamListItem*> All;
    GetItemsEx(TBase::StaticClass(), N, V, 0, All);
    EXPECT_EQ(All, (std::vector<TObjectParamListItem*>{Derived, Base}));
    std::vector<TClass> Classes;
    GetRegisteredClasses(TObject::StaticClass(), Classes);
    EXPECT_EQ(Classes.size(), 3u);

    UnRegisterClassExt(TDerived::StaticClass());
    EXPECT_EQ(GetItemEx(TBase::StaticClass(), N, V), Base);
    EXPECT_EQ(GetItemExParent(TDerived::StaticClass(), TBase::StaticClass(), N, V), Base);
    EXPECT_EQ(GetItemExParent(TDerived::StaticClass(), TDerived::StaticClass(), N, V), nullptr);
}

TEST(ClassRegistry, ParametersMatchByTypeAndValue) {
    RegistryScope Scope;
    auto* Item = RegisterClassExt(TBase::StaticClass(), {"Name", "Level"},
                                  {THSVariant("Keyboard Map"), THSVariant(int32_t{12})});
    struct Case {
        const char* What;
        TParamNames Names;
        TParamValues Values;
        TCompareParam Compare;
        bool Found;
    };
    const Case Cases[] = {
        {"exact", {"Name"}, {THSVariant("Keyboard Map")}, 0, true},
        {"case differs", {"name"}, {THSVariant("KEYBOARD MAP")}, 0, false},
        {"ignore case", {"NAME"}, {THSVariant("KEYBOARD MAP")}, cpIgnoreCase, true},
        {"part", {"Name"}, {THSVariant("Map")}, cpPartialCompare, true},
        {"part without flag", {"Name"}, {THSVariant("Map")}, 0, false},
        {"whole contains it", {"Name"}, {THSVariant("The Keyboard Map Set")}, cpPartialCompare, true},
        {"both params", {"Name", "Level"}, {THSVariant("Keyboard Map"), THSVariant(int32_t{12})}, 0, true},
        {"integer as string", {"Level"}, {THSVariant("12")}, cpIgnoreCase | cpPartialCompare, false},
        {"missing param", {"Other"}, {THSVariant("x")}, 0, false},
        {"no params", {}, {}, 0, true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(GetItemEx(TBase::StaticClass(), C.Names, C.Values, C.Compare) == Item, C.Found) << C.What;
    Item->SetParamByName("LEVEL", THSVariant(int32_t{13}));
    EXPECT_EQ(Item->GetParamByName("level"), THSVariant(int32_t{13}));
    EXPECT_TRUE(Item->GetParamByName("absent").IsNull());

    TOther Obj;
    auto* ObjItem = RegisterObjectEx(&Obj, {"Name"}, {THSVariant("Keyboard Map")});
    EXPECT_FALSE(ObjItem->IsClass());
    EXPECT_EQ(ObjectParamList().ItemByDataPtr(&Obj), ObjItem);
    EXPECT_EQ(GetItemEx(TObject::StaticClass(), {"Name"}, {THSVariant("Keyboard Map")}), Item);
    UnRegisterClassExt(&Obj);
    EXPECT_EQ(ObjectParamList().ItemByDataPtr(&Obj), nullptr);
}

TEST(ClassRegistry, ForEveryClassSurvivesRemovalsByTheCallee) {
    RegistryScope Scope;
    RegisterClassExt(TBase::StaticClass(), {}, {});
    RegisterClassExt(TOther::StaticClass(), {}, {});
    RegisterClassExt(TDerived::StaticClass(), {}, {});
    std::vector<std::string> Seen;
    ObjectParamList().ForEveryClass(TObject::StaticClass(), nullptr,
                                    [&](TObjectParamListItem* Item, void*, bool&) {
                                        Seen.push_back(Item->GetClassPtr()->ClassName());
                                        if (Item->GetClassPtr() == TDerived::StaticClass())
                                            UnRegisterClassExt(TOther::StaticClass());
                                    });
    EXPECT_EQ(Seen, (std::vector<std::string>{"TDerived", "TBase"}));
    Seen.clear();
    ObjectParamList().ForEveryClass(TBase::StaticClass(), nullptr,
                                    [&](TObjectParamListItem* Item, void*, bool& Stop) {
                                        Seen.push_back(Item->GetClassPtr()->ClassName());
                                        Stop = true;
                                    });
    EXPECT_EQ(Seen, (std::vector<std::string>{"TDerived"}));
}

int Executed = 0;
void ExecuteVerb() {
    ++Executed;
}
void VerbState(TVerbState& S) {
    S = vsVisible | vsChecked;
}

TEST(ClassRegistry, VerbsAreFoundByNameAndCalled) {
    RegistryScope Scope;
    std::vector<uint32_t> Messages;
    TMessageAnswer Listener;
    Listener.OnMessage = [&](THSMessage& M) { Messages.push_back(M.Msg); };
    RegisterVerbArray({{"Edit.Copy", &VerbState, &ExecuteVerb}, {"Edit.Paste", nullptr, nullptr}});
    EXPECT_EQ(Messages, (std::vector<uint32_t>{HS_IDEBEGINUPDATE, HS_IDEENDUPDATE, HS_IDECHANGED}));
    TVerbGetStateProc GetState = nullptr;
    TVerbExecuteProc Execute = nullptr;
    ASSERT_NE(GetVerbProcAddr("edit.copy", GetState, Execute), nullptr);
    EXPECT_EQ(Execute, &ExecuteVerb);
    TVerbState S = 0;
    GetState(S);
    EXPECT_EQ(S, vsVisible | vsChecked);
    Executed = 0;
    CallVerbByName("EDIT.COPY");
    CallVerbByName("Edit.Paste");
    CallVerbByName("Edit.Missing");
    EXPECT_EQ(Executed, 1);
    EXPECT_EQ(GetVerbProcAddr("Edit.Missing", GetState, Execute), nullptr);
}

// A broadcast receiver that logs and can object or unregister another receiver.
struct Receiver : TObject, IHSMessageHandler {
    std::string Tag;
    std::vector<std::string>* Log;
    intptr_t Answer = 0;
    TObject* Unregister = nullptr;
    Receiver(std::string T, std::vector<std::string>* L) : Tag(std::move(T)), Log(L) {
        RegisterNotifier(this);
    }
    ~Receiver() override { UnregisterNotifier(this); }
    void HSDispatch(THSMessage& M) override {
        Log->push_back(Tag + ":" + std::to_string(M.Msg));
        if (Unregister)
            UnregisterNotifier(Unregister);
        M.Result = Answer;
    }
};

TEST(Broadcasts, GoFromLastToFirstAndSurviveUnregistering) {
    std::vector<std::string> Log;
    Receiver A("a", &Log), B("b", &Log), C("c", &Log);
    RegisterNotifier(&A); // moves to the end
    RegisterNotifier(nullptr);
    C.Unregister = &C; // unregisters itself
    SimpleBroadCast(7);
    EXPECT_EQ(Log, (std::vector<std::string>{"a:7", "c:7", "b:7"}));
    Log.clear();
    B.Answer = 1;
    EXPECT_FALSE(NotifiersAgree(nullptr, 8, 0, 0));
    EXPECT_EQ(Log, (std::vector<std::string>{"a:8", "b:8"}));
    B.Answer = 0;
    A.Unregister = &B; // removes the next one
    Log.clear();
    EXPECT_TRUE(NotifiersAgree(nullptr, 9, 0, 0));
    EXPECT_EQ(Log, (std::vector<std::string>{"a:9"}));
}

TEST(Broadcasts, DesignerUpdatesNest) {
    std::vector<uint32_t> Messages;
    TMessageAnswer Listener;
    Listener.OnMessage = [&](THSMessage& M) { Messages.push_back(M.Msg); };
    IDEBeginUpdate();
    IDEBeginUpdate();
    IDEChanged();
    IDEEndUpdate();
    IDEEndUpdate();
    IDEEndUpdate();
    EXPECT_EQ(Messages, (std::vector<uint32_t>{HS_IDEBEGINUPDATE, HS_IDEENDUPDATE, HS_IDECHANGED}));
    EXPECT_EQ(IDEUpdateCount(), 0);
    intptr_t Seen = 0;
    Listener.OnMessage = [&](THSMessage& M) { Seen = M.A; };
    NotifyDestroy(&Listener);
    EXPECT_EQ(Seen, reinterpret_cast<intptr_t>(&Listener));
}

} // namespace

#include "controls/foundation/PackagedRegistries.h"

namespace {

TEST(PackagedRegistries, EditorClassesAndClassItemsFollowTheirGroup) {
    const int Type = 0;
    RegisterEditClass(&Type, TBase::StaticClass(), "Lines", TOther::StaticClass());
    RegisterTextEditClass(&Type, TBase::StaticClass(), "Text", TDerived::StaticClass());
    EXPECT_TRUE(IsTextEditClass(TDerived::StaticClass()));
    EXPECT_FALSE(IsTextEditClass(TOther::StaticClass()));
    EXPECT_EQ(GetClass("TDerived"), TDerived::StaticClass()); // registered for streaming
    UnRegisterEditClass(&Type, TBase::StaticClass(), "Text", TDerived::StaticClass());
    EXPECT_FALSE(IsTextEditClass(TDerived::StaticClass()));
    EXPECT_EQ(EditClasses().Count(), 1);

    SetCurrentPackageGroup(7);
    RegisterPopupClass(&Type, TBase::StaticClass(), "Items", TOther::StaticClass());
    ClassItems().RegisterClass(TBase::StaticClass(), icNoIcon);
    ClassItems().RegisterClass(TOther::StaticClass(), icField);
    ClassItems().RegisterClass(TOther::StaticClass(), icShowinPalette);
    SetCurrentPackageGroup(0);
    EXPECT_EQ(ClassItems().Count(), 2);
    EXPECT_EQ(ClassItems().Item(1)->Categories, uint32_t{icField | icShowinPalette});
    EXPECT_FALSE(ClassItems().IsIconClass(TDerived::StaticClass()));
    EXPECT_TRUE(ClassItems().IsIconClass(TOther::StaticClass()));
    std::vector<TClass> Fields;
    ClassItems().ListFieldClasses(Fields);
    EXPECT_EQ(Fields, std::vector<TClass>{TOther::StaticClass()});

    PopupClasses().DeleteItems(7);
    ClassItems().DeleteItems(7);
    EXPECT_EQ(PopupClasses().Count(), 0);
    EXPECT_EQ(ClassItems().Count(), 0);
    RegisterNonInstant({TOther::StaticClass()});
    EXPECT_FALSE(ClassItems().IsIconClass(TOther::StaticClass()));
    FreePackagedRegistries();
    EXPECT_EQ(EditClasses().Count(), 0);
    EXPECT_TRUE(ClassItems().IsIconClass(TOther::StaticClass()));
}

} // namespace
