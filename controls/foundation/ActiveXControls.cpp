#include "controls/foundation/ActiveXControls.h"

#include <comcat.h>

#include <vector>

#include "controls/foundation/DesignerServices.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TAxControlInfo, TCollectionItem, {})
ZEL_DEFINE_CLASS(TAxControlCollection, TCollection, {})

namespace {

std::string Narrow(const wchar_t* Text) {
    const int Size = WideCharToMultiByte(CP_ACP, 0, Text, -1, nullptr, 0, nullptr, nullptr);
    if (Size <= 1)
        return std::string();
    std::string Out(static_cast<size_t>(Size), '\0');
    WideCharToMultiByte(CP_ACP, 0, Text, -1, Out.data(), Size, nullptr, nullptr);
    Out.resize(static_cast<size_t>(Size - 1));
    return Out;
}

// The default text of a key below HKEY_CLASSES_ROOT; Found tells an absent key from an empty text.
std::string ClassesText(const std::string& Path, bool* Found = nullptr) {
    char Text[1024];
    LONG Size = sizeof Text;
    const bool Ok = RegQueryValueA(HKEY_CLASSES_ROOT, Path.c_str(), Text, &Size) == ERROR_SUCCESS;
    if (Found)
        *Found = Ok;
    return Ok && Size > 1 ? std::string(Text, static_cast<size_t>(Size - 1)) : std::string();
}

std::vector<CATID> ControlCategories(ICatInformation* Info) {
    std::vector<CATID> Out;
    IEnumCATEGORYINFO* Categories = nullptr;
    if (FAILED(Info->EnumCategories(GetUserDefaultLCID(), &Categories)) || !Categories)
        return Out;
    TScopeGuard Release([&] { Categories->Release(); });
    CATEGORYINFO Category;
    ULONG Fetched = 0;
    while (Categories->Next(1, &Category, &Fetched) == S_OK && Fetched == 1) {
        const std::string Description = Narrow(Category.szDescription);
        if (SameText(Description, "Control") || SameText(Description, "Controls"))
            Out.push_back(Category.catid);
    }
    return Out;
}

} // namespace

TAxControlCollection::TAxControlCollection() : TCollection(TAxControlInfo::StaticClass()) {
    LoadRegisteredControls();
}

void TAxControlCollection::LoadRegisteredControls() {
    auto Bracket = UpdateBracket(*this);
    Clear();
    const HRESULT Com = CoInitialize(nullptr);
    TScopeGuard Uninit([&] {
        if (SUCCEEDED(Com))
            CoUninitialize();
    });
    ICatInformation* Info = nullptr;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICatInformation, reinterpret_cast<void**>(&Info))) ||
        !Info)
        return;
    TScopeGuard ReleaseInfo([&] { Info->Release(); });
    for (const CATID& Category : ControlCategories(Info)) {
        IEnumCLSID* Classes = nullptr;
        CATID Wanted = Category;
        if (FAILED(Info->EnumClassesOfCategories(1, &Wanted, 0, nullptr, &Classes)) || !Classes)
            continue;
        TScopeGuard ReleaseClasses([&] { Classes->Release(); });
        CLSID Class;
        ULONG Fetched = 0;
        while (Classes->Next(1, &Class, &Fetched) == S_OK && Fetched == 1) {
            // A class in both categories is one control.
            if (ItemByGUID(Class))
                continue;
            const std::string Key = "CLSID\\" + GUIDToString(Class);
            auto* Entry = new TAxControlInfo(this);
            Entry->ClassID = Class;
            const std::string Text = ClassesText(Key);
            Entry->Name = Text.find('.') == std::string::npos ? Text : ExtractControlName(Text);
            const std::string Bitmap = ClassesText(Key + "\\ToolboxBitmap32");
            const size_t Comma = Bitmap.rfind(',');
            Entry->BitmapFile = Trim(Bitmap.substr(0, Comma));
            if (Comma != std::string::npos)
                Entry->BitmapIndex = StrToIntDef(Trim(Bitmap.substr(Comma + 1)), 0);
            Entry->ServerFile = ClassesText(Key + "\\InprocServer32");
            bool HasTypeLib = false;
            const std::string TypeLib = ClassesText(Key + "\\TypeLib", &HasTypeLib);
            if (HasTypeLib && !TypeLib.empty()) {
                try {
                    Entry->TypeLibID = StringToGUID(TypeLib);
                } catch (const EConvertError&) {
                    // A damaged registration names no library; the control itself is still there.
                }
            }
        }
    }
}

TAxControlInfo* TAxControlCollection::ItemByGUID(const GUID& Guid) const {
    for (int I = 0; I < Count(); ++I)
        if (IsEqualGUID(Info(I)->TypeLibID, Guid) || IsEqualGUID(Info(I)->ClassID, Guid))
            return Info(I);
    return nullptr;
}

void TAxControlCollection::GetActiveXNames(TStrings* Strings) const {
    if (!Strings)
        return;
    Strings->BeginUpdate();
    TScopeGuard End([&] { Strings->EndUpdate(); });
    Strings->Clear();
    std::vector<GUID> Listed;
    for (int I = 0; I < Count(); ++I) {
        TAxControlInfo* Entry = Info(I);
        const bool HasLibrary = !IsEqualGUID(Entry->TypeLibID, GUID_NULL);
        if (HasLibrary) {
            bool Seen = false;
            for (const GUID& G : Listed)
                Seen = Seen || IsEqualGUID(G, Entry->TypeLibID);
            if (Seen)
                continue;
            Listed.push_back(Entry->TypeLibID);
        }
        const std::string Library = HasLibrary ? GetTypeLibName(Entry->TypeLibID) : std::string();
        Strings->AddObject(Library.empty() ? Entry->Name : Library, Entry);
    }
}
