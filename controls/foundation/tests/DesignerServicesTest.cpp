#include "controls/foundation/DesignerServices.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestFolder.h"
#include "TestRegistryKey.h"
#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/ClassRegistry.h"
#include "framework/core/Collection.h"
#include "framework/core/Component.h"

namespace {

class TVbsDesignerStub : public TObject {
    ZEL_DECLARE_CLASS(TVbsDesignerStub)
};
class THtmlDesignerStub : public TObject {
    ZEL_DECLARE_CLASS(THtmlDesignerStub)
};
class TStylesSetStub : public TObject {
    ZEL_DECLARE_CLASS(TStylesSetStub)
};
class TOtherStylesSetStub : public TObject {
    ZEL_DECLARE_CLASS(TOtherStylesSetStub)
};
class TKidStub : public TComponent {
    ZEL_DECLARE_CLASS(TKidStub)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TKidStub, TComponent, {})
ZEL_DEFINE_CLASS(TVbsDesignerStub, TObject, {})
ZEL_DEFINE_CLASS(THtmlDesignerStub, TObject, {})
ZEL_DEFINE_CLASS(TStylesSetStub, TObject, {})
ZEL_DEFINE_CLASS(TOtherStylesSetStub, TObject, {})

TEST(DesignerServices, InspectorAndStringsBroadcasts) {
    TMessageAnswer Listener;
    std::vector<std::string> Heard;
    Listener.OnMessage = [&](THSMessage& M) {
        std::string Line = std::to_string(M.Msg) + ":" + std::to_string(M.A);
        if (M.Msg == HS_EDITSTRINGSPROPERTY)
            Line += ":" + std::string(reinterpret_cast<const char*>(M.B));
        Heard.push_back(Line);
    };
    TComponent C(nullptr);
    ShowInspectorEx(false);
    ShowInspector();
    HideInspector();
    ToggleInspector();
    EditStringsProperty(&C, "Lines");
    const std::string Component = std::to_string(reinterpret_cast<intptr_t>(&C));
    EXPECT_EQ(Heard, (std::vector<std::string>{"2037:0", "2037:1", "2041:0", "2057:0",
                                               "2044:" + Component + ":Lines"}));
}

TEST(DesignerServices, CodeDesignersAreFoundByExtensionAndKind) {
    RegisterUnitCodeDesigner(TVbsDesignerStub::StaticClass(), ".vbs");
    RegisterFormCodeDesigner(THtmlDesignerStub::StaticClass(), "htm");
    struct Case {
        const char* Extension;
        bool ForUnit;
        TClass Expected;
    } Cases[] = {
        {".VBS", true, TVbsDesignerStub::StaticClass()},
        {"vbs", true, TVbsDesignerStub::StaticClass()},
        {"vbs", false, nullptr},
        {".Htm", false, THtmlDesignerStub::StaticClass()},
        {"htm", true, nullptr},
        {"html", false, nullptr},
        {"", true, nullptr},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(GetCodeDesignerClass(C.Extension, C.ForUnit), C.Expected) << C.Extension << C.ForUnit;
    EXPECT_EQ(GetUnitCodeDesignerClass("vbs"), TVbsDesignerStub::StaticClass());
    EXPECT_EQ(GetFormCodeDesignerClass("HTM"), THtmlDesignerStub::StaticClass());
    UnRegisterClassExt(TVbsDesignerStub::StaticClass());
    UnRegisterClassExt(THtmlDesignerStub::StaticClass());
    EXPECT_EQ(GetUnitCodeDesignerClass("vbs"), nullptr);
}

TEST(DesignerServices, TextStylesSetsAreListedAndFreedAlone) {
    RegisterTextStylesSet(TStylesSetStub::StaticClass(), "Ocean");
    RegisterClassExt(TVbsDesignerStub::StaticClass(), {"TextStylesClass.ID"}, {THSVariant("something else")});
    RegisterTextStylesSet(TOtherStylesSetStub::StaticClass(), "Twilight");
    std::vector<std::string> Names;
    EnumTextStylesSets([&](const std::string& N) { Names.push_back(N); });
    EXPECT_EQ(Names, (std::vector<std::string>{"Ocean", "Twilight"}));
    FreeTextStylesSets();
    Names.clear();
    EnumTextStylesSets([&](const std::string& N) { Names.push_back(N); });
    EXPECT_TRUE(Names.empty());
    EXPECT_NE(ObjectParamList().ItemByDataPtr(TVbsDesignerStub::StaticClass()), nullptr);
    UnRegisterClassExt(TVbsDesignerStub::StaticClass());
}

TEST(DesignerServices, RegisterOCXFailsWithoutALibraryOrItsEntry) {
    TTestFolder Folder;
    EXPECT_FALSE(RegisterOCX(Folder / "missing.ocx"));
    EXPECT_FALSE(RegisterOCX("kernel32.dll")); // loads, but has no DllRegisterServer
}

TEST(DesignerServices, TypeLibraryNamesComeFromTheirVersionKey) {
    TTestRegistryKey Key;
    HKEY Root = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key.Key().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &Root, nullptr),
              ERROR_SUCCESS);
    const GUID Known = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    const GUID Unknown = {0x87654321, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    const std::string Path = "TypeLib\\{12345678-1234-5678-0102-030405060708}\\1.0";
    HKEY Version = nullptr;
    ASSERT_EQ(RegCreateKeyExA(Root, Path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &Version, nullptr),
              ERROR_SUCCESS);
    const char Name[] = "Test Controls Library";
    RegSetValueExA(Version, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Name), sizeof Name);
    RegCloseKey(Version);
    EXPECT_EQ(GetTypeLibNameIn(Root, Known), "Test Controls Library");
    EXPECT_EQ(GetTypeLibNameIn(Root, Unknown), "");
    RegCloseKey(Root);
}

TEST(DesignerServices, ActiveXHintsDropTheControlEnding) {
    const std::pair<const char*, const char*> Cases[] = {
        {"Calendar Control", "Calendar"},       {"CalendarCONTROL", "Calendar"},
        {"Web Browser control", "Web Browser"}, {"Control", "Control"},
        {"   Control", "   Control"},           {"Controller", "Controller"},
        {"Media Player", "Media Player"},       {"", ""},
    };
    for (const auto& [Name, Hint] : Cases)
        EXPECT_EQ(ExtractActiveXHint(Name), Hint) << Name;
}

TEST(DesignerServices, TreeSourcesByClassAndEditMethod) {
    RegisterDefaultTreeSource(TComponent::StaticClass(), TVbsDesignerStub::StaticClass(), "Items");
    RegisterTreeSource(TCollection::StaticClass(), THtmlDesignerStub::StaticClass(), "");
    // Another registration of the same class that is no tree source.
    RegisterClassExt(TVbsDesignerStub::StaticClass(), {"Source.EditMethod"}, {THSVariant("")});
    struct Case {
        TClass Obj;
        const char* Edit;
        TClass Expected;
    } Cases[] = {
        {TComponent::StaticClass(), "", TVbsDesignerStub::StaticClass()},
        {TComponent::StaticClass(), "Items", TVbsDesignerStub::StaticClass()},
        {TComponent::StaticClass(), "items", nullptr},
        {TStylesSetStub::StaticClass(), "", nullptr},
        {TCollection::StaticClass(), "", THtmlDesignerStub::StaticClass()},
        {TCollection::StaticClass(), "Items", nullptr},
        {TVbsDesignerStub::StaticClass(), "", nullptr},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(GetRegisteredTreeSource(C.Obj, C.Edit), C.Expected) << C.Obj->ClassName() << C.Edit;
    // A descendant takes its ancestor's source.
    EXPECT_EQ(GetRegisteredTreeSource(TKidStub::StaticClass(), "Items"), TVbsDesignerStub::StaticClass());
    UnRegisterClassExt(TComponent::StaticClass());
    UnRegisterClassExt(TCollection::StaticClass());
    UnRegisterClassExt(TVbsDesignerStub::StaticClass());
}

// Records the property puts it is asked for.
class TRecordingDispatch : public IDispatch {
public:
    std::vector<std::string> Calls;
    ULONG Refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** Out) override {
        *Out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID Id, REFIID, LCID, WORD Flags, DISPPARAMS* P, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        std::string Line = std::to_string(Id) + (Flags == DISPATCH_PROPERTYPUTREF ? " ref " : " put ");
        const VARIANT& V = P->rgvarg[0];
        if (P->cArgs != 1 || P->cNamedArgs != 1 || P->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            Line += "bad parameters";
        else if (V.vt == VT_I4)
            Line += "i4 " + std::to_string(V.lVal);
        else if (V.vt == VT_BOOL)
            Line += V.boolVal == VARIANT_TRUE ? "bool true" : "bool false";
        else if (V.vt == VT_R8)
            Line += "r8 " + std::to_string(V.dblVal);
        else if (V.vt == VT_BSTR)
            Line += "bstr " + std::string(V.bstrVal, V.bstrVal + SysStringLen(V.bstrVal));
        else if (V.vt == VT_DISPATCH)
            Line += V.pdispVal == this ? "self" : "other";
        Calls.push_back(Line);
        return S_OK;
    }
};

TEST(DesignerServices, AutomationPropertiesArePutByValueOrByReference) {
    TRecordingDispatch D;
    EXPECT_EQ(SetPropByDispatch(&D, 5, THSVariant(42)), S_OK);
    SetPropByDispatch(&D, 6, THSVariant(true));
    SetPropByDispatch(&D, 7, THSVariant(0.5));
    SetPropByDispatch(&D, 8, THSVariant("Caption"));
    THSVariant Object = THSVariant::Of(varObject);
    Object.Int = reinterpret_cast<intptr_t>(static_cast<IDispatch*>(&D));
    SetPropByDispatch(&D, 9, Object);
    EXPECT_EQ(D.Calls, (std::vector<std::string>{"5 put i4 42", "6 put bool true", "7 put r8 0.500000",
                                                 "8 put bstr Caption", "9 ref self"}));
    EXPECT_EQ(D.Refs, 1u); // the reference taken for the call is given back
    EXPECT_EQ(SetPropByDispatch(&D, 1, THSVariant()), E_INVALIDARG);
    EXPECT_EQ(SetPropByDispatch(nullptr, 1, THSVariant(1)), E_INVALIDARG);
    EXPECT_EQ(D.Calls.size(), 5u);
}

TEST(DesignerServices, ClassesLieInTheProgramsImage) {
    EXPECT_EQ(GetClassModule(TComponent::StaticClass()), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetClassModule(TVbsDesignerStub::StaticClass()), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetClassModule(nullptr), nullptr);
    // A class record made at run time lies in no module image.
    const TMetaClass Made("TMadeAtRunTime", TObject::StaticClass(), nullptr, {});
    EXPECT_EQ(GetClassModule(&Made), nullptr);
}

TEST(DesignerServices, UnitSourcesAreFoundAlongThePaths) {
    TTestFolder Folder;
    CreateDirectoryA((Folder / "a").c_str(), nullptr);
    CreateDirectoryA((Folder / "b").c_str(), nullptr);
    WriteWholeFile(Folder / "b\\Tools.pas", "unit Tools;");
    std::string Source = "unchanged";
    const std::string Paths = Folder / "missing;" + Folder / "a" + "; " + Folder / "b\\";
    EXPECT_TRUE(HSGetUnitSource(Source, "Tools", Paths));
    EXPECT_EQ(Source, Folder / "b\\Tools.pas");
    Source = "unchanged";
    EXPECT_FALSE(HSGetUnitSource(Source, "Other", Paths));
    EXPECT_FALSE(HSGetUnitSource(Source, "", Paths));
    EXPECT_EQ(Source, "unchanged");
}

} // namespace
