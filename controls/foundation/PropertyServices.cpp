#include "controls/foundation/PropertyServices.h"

#include <utility>

#include "controls/foundation/PropertyUtils.h"
#include "framework/core/Component.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

bool PropertyExists(TObject* Obj, const std::string& Name) {
    return Obj && GetPropInfo(Obj, Name) != nullptr;
}

THSVariant GetPropValue(TObject* Obj, const std::string& Name) {
    return Obj ? GetPropValueByPropInfo(Obj, GetPropInfo(Obj, Name)) : THSVariant();
}

void SetPropValue(TObject* Obj, const std::string& Name, const THSVariant& Value) {
    if (Obj)
        SetPropValueByPropInfo(Obj, GetPropInfo(Obj, Name), Value);
}

void SetPropValues(const std::vector<TObject*>& Objects, const std::string& Name, const THSVariant& Value) {
    for (TObject* Obj : Objects)
        SetPropValue(Obj, Name, Value);
}

void SetEnabledControls(const std::vector<TObject*>& Objects, bool Enabled) {
    SetPropValues(Objects, "Enabled", THSVariant(Enabled));
}

void PropNamesToStrings(TObject* Obj, TStrings* Strings) {
    if (!Obj || !Strings)
        return;
    for (const TPropInfo* Info : GetPropList(Obj))
        Strings->Add(Info->Name);
}

void AssignPropsFromStrings(TObject* Obj, const TStrings* Strings) {
    if (!Obj || !Strings)
        return;
    std::vector<std::pair<const TPropInfo*, std::string>> Saved;
    try {
        for (int I = 0; I < Strings->Count(); ++I) {
            const std::string Line = Strings->Get(I);
            const size_t Eq = Line.find('=');
            if (Eq == std::string::npos)
                continue;
            const TPropInfo* Info = GetPropInfo(Obj, Trim(Line.substr(0, Eq)));
            if (!Info || Info->Kind == tkClass || Info->Kind == tkMethod || Info->IsReadOnly())
                continue;
            const std::string Value = Line.substr(Eq + 1);
            Saved.emplace_back(Info, GetPropValueText(Obj, Info));
            if (Info->Kind == tkString || Info->Kind == tkBinary)
                SetStrProp(Obj, Info, Value);
            else
                SetPropValueText(Obj, Info, Trim(Value));
        }
    } catch (...) {
        for (auto It = Saved.rbegin(); It != Saved.rend(); ++It) {
            if (It->first->Kind == tkString || It->first->Kind == tkBinary)
                SetStrProp(Obj, It->first, It->second);
            else
                SetPropValueText(Obj, It->first, It->second);
        }
        throw;
    }
}

void AssignProps(TObject* Source, TObject* Dest, const std::vector<std::string>& Names) {
    if (!AreObjNotEqualNotNil(Source, Dest))
        return;
    for (const std::string& Name : Names)
        AssignProp(Source, Dest, Name);
}

void SafeRegisterClasses(const std::vector<TClass>& Classes) {
    for (TClass C : Classes)
        SafeRegisterClass(C);
}

TClass GetCommonParent(TClass A, TClass B) {
    if (!A || !B)
        return nullptr;
    for (TClass C = A; C; C = C->ClassParent())
        if (B->InheritsFrom(C))
            return C;
    return nullptr;
}

TClass GetCommonClassesParent(const std::vector<TObject*>& Objects) {
    TClass Common = nullptr;
    bool First = true;
    for (TObject* Obj : Objects) {
        if (!Obj)
            continue;
        Common = First ? Obj->ClassType() : GetCommonParent(Common, Obj->ClassType());
        First = false;
    }
    return Common;
}

void GetComponentTopLeft(const TComponent* Component, int16_t& Left, int16_t& Top) {
    const uint32_t Info = Component ? static_cast<uint32_t>(Component->DesignInfo()) : 0;
    Left = static_cast<int16_t>(Info & 0xFFFF);
    Top = static_cast<int16_t>(Info >> 16);
}

void SetComponentTopLeft(TComponent* Component, int16_t Left, int16_t Top) {
    if (Component)
        Component->SetDesignInfo(static_cast<int32_t>(
            (static_cast<uint32_t>(static_cast<uint16_t>(Top)) << 16) | static_cast<uint16_t>(Left)));
}

TBuildCompNameFunc BuildCompNameFunc = nullptr;

std::string BuildCompName(TComponent* Component, const std::string& Name) {
    if (BuildCompNameFunc)
        return BuildCompNameFunc(Component, Name);
    if (!Component)
        return std::string();
    const std::string N = Name.empty() ? Component->Name() : Name;
    return N.empty() ? std::string() : N + ": " + Component->ClassName();
}

std::string AutomationTypeName(int32_t Code) {
    static const char* const Names[] = {
        "",          "",        "Smallint", "Longint",  "Single",  "Double",  "Currency",  "TDateTime",
        "PWideChar", "Pointer", "Integer",  "WordBool", "Variant", "Pointer", "PWideChar", "",
        "ShortInt",  "Byte",    "Word",     "Cardinal", "Variant", "Variant", "Integer",   "Cardinal",
        "Variant",   "HResult", "Pointer",  "Variant",  "Variant", "Variant", "PChar",     "PWideChar"};
    return Code >= 0 && Code < 32 ? Names[Code] : "";
}

namespace {

int32_t Rank(const THSVariant& V) {
    if (V.IsEmpty())
        return 0;
    if (V.IsNull())
        return 1;
    if (V.IsOrdinal() || V.IsReal())
        return 2;
    if (V.IsText())
        return 3;
    return 4;
}

template <class T> int32_t Sign(const T& A, const T& B) {
    return A < B ? -1 : B < A ? 1 : 0;
}

} // namespace

int32_t CompareVariants(const THSVariant& A, const THSVariant& B) {
    const int32_t RA = Rank(A), RB = Rank(B);
    if (RA != RB)
        return Sign(RA, RB);
    switch (RA) {
    case 2:
        if (A.IsReal() || B.IsReal())
            return Sign(A.AsReal(), B.AsReal());
        return Sign(A.Int, B.Int);
    case 3:
        return Sign(A.Str, B.Str);
    case 4:
        return Sign(A.Int, B.Int);
    default:
        return 0;
    }
}
