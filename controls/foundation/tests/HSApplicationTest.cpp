#include "controls/foundation/HSApplication.h"

#include <gtest/gtest.h>

#include <comcat.h>

#include <vector>

#include "TestRegistryKey.h"
#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/DesignKit.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/Component.h"
#include "framework/core/ScopeGuard.h"
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

// Classes of a category described as a control (in any case) make the catalogue, with what their
// keys below the classes root say; a class of another category does not.
TEST(HSApplication, TheActiveXCatalogueHoldsTheClassesOfTheControlCategories) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TScopeGuard Uninit([] { CoUninitialize(); });
    ICatRegister* Register = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICatRegister, reinterpret_cast<void**>(&Register)),
              S_OK);
    TScopeGuard Release([&] { Register->Release(); });
    CATEGORYINFO Categories[2] = {{CreateNewGUID(), GetUserDefaultLCID(), L"control"},
                                  {CreateNewGUID(), GetUserDefaultLCID(), L"Gadgets"}};
    const CLSID Calendar = CreateNewGUID(), Grid = CreateNewGUID(), Gadget = CreateNewGUID();
    const GUID Library = CreateNewGUID();
    std::vector<std::string> Keys = {"CLSID\\" + GUIDToString(Calendar), "CLSID\\" + GUIDToString(Grid),
                                     "CLSID\\" + GUIDToString(Gadget), "TypeLib\\" + GUIDToString(Library)};
    TScopeGuard Cleanup([&] {
        CATID Control = Categories[0].catid, Other = Categories[1].catid;
        Register->UnRegisterClassImplCategories(Calendar, 1, &Control);
        Register->UnRegisterClassImplCategories(Grid, 1, &Control);
        Register->UnRegisterClassImplCategories(Gadget, 1, &Other);
        CATID Both[2] = {Control, Other};
        Register->UnRegisterCategories(2, Both);
        for (const std::string& Key : Keys)
            RegDeleteTreeA(HKEY_CLASSES_ROOT, Key.c_str());
    });
    ASSERT_EQ(Register->RegisterCategories(2, Categories), S_OK);
    auto Set = [](const std::string& Key, const std::string& Text) {
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, Key.c_str(), REG_SZ, Text.c_str(),
                               static_cast<DWORD>(Text.size())),
                  ERROR_SUCCESS);
    };
    Set(Keys[0], "Vendor.Calendar.1");
    Set(Keys[0] + "\\ToolboxBitmap32", "C:\\Controls\\cal.ocx, 3");
    Set(Keys[0] + "\\InprocServer32", "C:\\Controls\\cal.ocx");
    Set(Keys[0] + "\\TypeLib", GUIDToString(Library));
    Set(Keys[3] + "\\1.0", "Calendar Library");
    Set(Keys[1], "Plain Grid");
    Set(Keys[1] + "\\TypeLib", "not a GUID");
    Set(Keys[2], "Gadget");
    CATID Control = Categories[0].catid, Other = Categories[1].catid;
    ASSERT_EQ(Register->RegisterClassImplCategories(Calendar, 1, &Control), S_OK);
    ASSERT_EQ(Register->RegisterClassImplCategories(Grid, 1, &Control), S_OK);
    ASSERT_EQ(Register->RegisterClassImplCategories(Gadget, 1, &Other), S_OK);

    TAxControlCollection Catalogue;
    TAxControlInfo* Cal = Catalogue.ItemByGUID(Calendar);
    ASSERT_NE(Cal, nullptr);
    EXPECT_EQ(Cal->Name, "Calendar");
    EXPECT_EQ(Cal->BitmapFile, "C:\\Controls\\cal.ocx");
    EXPECT_EQ(Cal->BitmapIndex, 3);
    EXPECT_EQ(Cal->ServerFile, "C:\\Controls\\cal.ocx");
    EXPECT_TRUE(IsEqualGUID(Cal->TypeLibID, Library));
    EXPECT_EQ(Catalogue.ItemByGUID(Library), Cal);
    TAxControlInfo* Plain = Catalogue.ItemByGUID(Grid);
    ASSERT_NE(Plain, nullptr);
    EXPECT_EQ(Plain->Name, "Plain Grid");
    EXPECT_EQ(Plain->BitmapFile, "");
    EXPECT_EQ(Plain->BitmapIndex, 0);
    EXPECT_TRUE(IsEqualGUID(Plain->TypeLibID, GUID_NULL));
    EXPECT_EQ(Catalogue.ItemByGUID(Gadget), nullptr);

    TStringList Names;
    Names.Add("stale");
    Catalogue.GetActiveXNames(&Names);
    EXPECT_LT(Names.IndexOf("stale"), 0);
    const int LibraryLine = Names.IndexOf("Calendar Library");
    ASSERT_GE(LibraryLine, 0);
    EXPECT_EQ(Names.Objects(LibraryLine), Cal);
    const int GridLine = Names.IndexOf("Plain Grid");
    ASSERT_GE(GridLine, 0);
    EXPECT_EQ(Names.Objects(GridLine), Plain);

    // Loading again starts afresh.
    Register->UnRegisterClassImplCategories(Grid, 1, &Control);
    Catalogue.LoadRegisteredControls();
    EXPECT_EQ(Catalogue.ItemByGUID(Grid), nullptr);
    EXPECT_NE(Catalogue.ItemByGUID(Calendar), nullptr);
}

} // namespace
