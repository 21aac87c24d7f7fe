#include "controls/foundation/DesignerServices.h"

#include <vector>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/PathUtils.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/Collection.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"

namespace {

const char* const kForUnitParam = "CodeDes.ForUnit";
const char* const kExtensionParam = "CodeDes.Extension";
const char* const kStylesIdParam = "TextStylesClass.ID";
const char* const kStylesNameParam = "TextStylesClass.InitName";

std::string PlainExtension(const std::string& Extension) {
    return !Extension.empty() && Extension[0] == '.' ? Extension.substr(1) : Extension;
}

void RegisterCodeDesigner(TClass Designer, const std::string& Extension, bool ForUnit) {
    if (Designer)
        RegisterClassExt(Designer, {kForUnitParam, kExtensionParam},
                         {THSVariant(ForUnit), THSVariant(PlainExtension(Extension))});
}

const char* const kSourceClassParam = "Source.ObjClass";
const char* const kSourceEditParam = "Source.EditMethod";
const char* const kSourceIdentParam = "Source.Ident";
// Marks tree-source entries among the registry's other entries.
constexpr int32_t kTreeSourceIdent = 12;

bool IsTextStylesEntry(const TObjectParamListItem* Item) {
    const THSVariant Id = Item->GetParamByName(kStylesIdParam);
    return Item->IsClass() && Id.VType == varString && Id.Str == kStylesIdParam;
}

} // namespace

void ShowInspectorEx(bool Focus) {
    BroadCastToNotifiers(nullptr, HS_SHOWINSPECTOR, Focus ? 1 : 0, 0);
}

void ShowInspector() {
    ShowInspectorEx(true);
}

void HideInspector() {
    BroadCastToNotifiers(nullptr, HS_HIDEINSPECTOR, 0, 0);
}

void ToggleInspector() {
    BroadCastToNotifiers(nullptr, HS_TOGGLEINSPECTOR, 0, 0);
}

void EditStringsProperty(TComponent* Component, const std::string& PropName) {
    BroadCastToNotifiers(nullptr, HS_EDITSTRINGSPROPERTY, reinterpret_cast<intptr_t>(Component),
                         reinterpret_cast<intptr_t>(PropName.c_str()));
}

void RegisterUnitCodeDesigner(TClass Designer, const std::string& Extension) {
    RegisterCodeDesigner(Designer, Extension, true);
}

void RegisterFormCodeDesigner(TClass Designer, const std::string& Extension) {
    RegisterCodeDesigner(Designer, Extension, false);
}

TClass GetCodeDesignerClass(const std::string& Extension, bool ForUnit) {
    return GetClassEx(TObject::StaticClass(), {kForUnitParam, kExtensionParam},
                      {THSVariant(ForUnit), THSVariant(PlainExtension(Extension))}, cpIgnoreCase);
}

TClass GetUnitCodeDesignerClass(const std::string& Extension) {
    return GetCodeDesignerClass(Extension, true);
}

TClass GetFormCodeDesignerClass(const std::string& Extension) {
    return GetCodeDesignerClass(Extension, false);
}

void RegisterTextStylesSet(TClass Class, const std::string& InitName) {
    if (Class)
        RegisterClassExt(Class, {kStylesIdParam, kStylesNameParam},
                         {THSVariant(kStylesIdParam), THSVariant(InitName)});
}

void EnumTextStylesSets(const std::function<void(const std::string& Name)>& Proc) {
    if (!Proc)
        return;
    // Names first: the procedure may register or remove entries.
    std::vector<std::string> Names;
    TObjectParamList& List = ObjectParamList();
    for (int32_t I = 0; I < List.Count(); ++I)
        if (IsTextStylesEntry(List.Item(I)))
            Names.push_back(List.Item(I)->GetParamByName(kStylesNameParam).Str);
    for (const std::string& Name : Names)
        Proc(Name);
}

void FreeTextStylesSets() {
    TObjectParamList& List = ObjectParamList();
    for (int32_t I = List.Count() - 1; I >= 0; --I)
        if (I < List.Count() && IsTextStylesEntry(List.Item(I)))
            List.Remove(List.Item(I)->GetClassPtr());
}

bool RegisterOCX(const std::string& FileName) {
    HMODULE Library = LoadLibraryA(FileName.c_str());
    if (!Library)
        return false;
    TScopeGuard Free([&] { FreeLibrary(Library); });
    using TRegisterServer = HRESULT(WINAPI*)();
    auto Register = reinterpret_cast<TRegisterServer>(
        reinterpret_cast<void*>(GetProcAddress(Library, "DllRegisterServer")));
    return Register && SUCCEEDED(Register());
}

std::string GetTypeLibNameIn(HKEY Root, const GUID& Guid) {
    HKEY Key = nullptr;
    const std::string Path = "TypeLib\\" + GUIDToString(Guid);
    if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS)
        return std::string();
    TScopeGuard Close([&] { RegCloseKey(Key); });
    char Version[256];
    for (DWORD I = 0;; ++I) {
        DWORD Length = sizeof Version;
        if (RegEnumKeyExA(Key, I, Version, &Length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return std::string();
        char Name[1024];
        LONG Size = sizeof Name;
        if (RegQueryValueA(Key, Version, Name, &Size) == ERROR_SUCCESS && Size > 1)
            return std::string(Name, static_cast<size_t>(Size - 1));
    }
}

std::string ExtractActiveXHint(const std::string& S) {
    static const std::string Ending = "CONTROL";
    if (S.size() <= Ending.size() || !SameText(S.substr(S.size() - Ending.size()), Ending))
        return S;
    std::string Hint = S.substr(0, S.size() - Ending.size());
    while (!Hint.empty() && Hint.back() == ' ')
        Hint.pop_back();
    return Hint.empty() ? S : Hint;
}

std::string GetTypeLibName(const GUID& Guid) {
    return GetTypeLibNameIn(HKEY_CLASSES_ROOT, Guid);
}

std::string GetColItemDisplayName(TCollectionItem* Item) {
    return Item ? Item->GetDisplayName() : std::string();
}

void SetColItemDisplayName(TCollectionItem* Item, const std::string& Name) {
    if (Item)
        Item->SetDisplayName(Name);
}

HRESULT SetPropByDispatch(IDispatch* Dispatch, DISPID DispId, const THSVariant& Value) {
    if (!Dispatch)
        return E_INVALIDARG;
    VARIANT Arg;
    VariantInit(&Arg);
    TScopeGuard Clear([&] { VariantClear(&Arg); });
    WORD Flags = DISPATCH_PROPERTYPUT;
    switch (Value.VType) {
    case varSmallint:
    case varInteger:
    case varByte:
        Arg.vt = VT_I4;
        Arg.lVal = static_cast<LONG>(Value.Int);
        break;
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
        Arg.vt = VT_R8;
        Arg.dblVal = Value.Real;
        break;
    case varBoolean:
        Arg.vt = VT_BOOL;
        Arg.boolVal = Value.Int ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case varString:
    case varOleStr: {
        const int N =
            MultiByteToWideChar(CP_ACP, 0, Value.Str.data(), static_cast<int>(Value.Str.size()), nullptr, 0);
        Arg.vt = VT_BSTR;
        Arg.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(N));
        if (!Arg.bstrVal)
            return E_OUTOFMEMORY;
        MultiByteToWideChar(CP_ACP, 0, Value.Str.data(), static_cast<int>(Value.Str.size()), Arg.bstrVal, N);
        break;
    }
    case varObject:
        Arg.vt = VT_DISPATCH;
        Arg.pdispVal = reinterpret_cast<IDispatch*>(static_cast<intptr_t>(Value.Int));
        if (Arg.pdispVal)
            Arg.pdispVal->AddRef();
        Flags = DISPATCH_PROPERTYPUTREF;
        break;
    default:
        return E_INVALIDARG;
    }
    DISPID Named = DISPID_PROPERTYPUT;
    DISPPARAMS Params{&Arg, &Named, 1, 1};
    return Dispatch->Invoke(DispId, IID_NULL, LOCALE_USER_DEFAULT, Flags, &Params, nullptr, nullptr, nullptr);
}

void RegisterTreeSource(TClass ObjClass, TClass SourceClass, const std::string& EditMethod) {
    if (!ObjClass || !SourceClass)
        return;
    THSVariant Source = THSVariant::Of(varObject);
    Source.Int = reinterpret_cast<intptr_t>(SourceClass);
    RegisterClassExt(ObjClass, {kSourceClassParam, kSourceEditParam, kSourceIdentParam},
                     {Source, THSVariant(EditMethod), THSVariant(kTreeSourceIdent)});
}

void RegisterDefaultTreeSource(TClass ObjClass, TClass SourceClass, const std::string& EditMethod) {
    if (!EditMethod.empty())
        RegisterTreeSource(ObjClass, SourceClass, EditMethod);
    RegisterTreeSource(ObjClass, SourceClass, std::string());
}

TClass GetRegisteredTreeSource(TClass ObjClass, const std::string& EditMethod) {
    for (TClass C = ObjClass; C; C = C->ClassParent())
        if (TObjectParamListItem* Item = GetItemEqual(C, {kSourceEditParam, kSourceIdentParam},
                                                      {THSVariant(EditMethod), THSVariant(kTreeSourceIdent)}))
            return reinterpret_cast<TClass>(
                static_cast<intptr_t>(Item->GetParamByName(kSourceClassParam).Int));
    return nullptr;
}

HMODULE GetClassModule(TClass Class) {
    HMODULE Module = nullptr;
    if (!Class || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                          GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      reinterpret_cast<LPCSTR>(Class), &Module))
        return nullptr;
    return Module;
}

bool HSGetUnitSource(std::string& Source, const std::string& UnitName, const std::string& Paths) {
    if (Trim(UnitName).empty())
        return false;
    size_t Start = 0;
    while (Start <= Paths.size()) {
        size_t End = Paths.find(';', Start);
        if (End == std::string::npos)
            End = Paths.size();
        const std::string Folder = Trim(Paths.substr(Start, End - Start));
        if (!Folder.empty()) {
            const std::string Name = AddSlash(Folder) + UnitName + ".pas";
            if (FileExists(Name)) {
                Source = Name;
                return true;
            }
        }
        Start = End + 1;
    }
    return false;
}
