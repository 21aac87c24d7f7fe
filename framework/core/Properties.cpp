#include "framework/core/Properties.h"

#include "framework/core/SysUtils.h"

std::string TEnumInfo::NameOf(int64_t ordinal) const {
    if (ordinal < 0 || ordinal >= static_cast<int64_t>(Names.size()))
        return "";
    return Names[static_cast<size_t>(ordinal)];
}

int TEnumInfo::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], name))
            return static_cast<int>(i);
    return -1;
}

bool TIdentMap::IntToIdent(int32_t value, std::string& name) const {
    for (const auto& e : Entries)
        if (e.Value == value) {
            name = e.Name;
            return true;
        }
    return false;
}

bool TIdentMap::IdentToInt(const std::string& name, int32_t& value) const {
    for (const auto& e : Entries)
        if (SameText(e.Name, name)) {
            value = e.Value;
            return true;
        }
    return false;
}

bool TPropInfo::IsReadOnly() const {
    switch (Kind) {
    case tkFloat:
        return !SetFloat;
    case tkString:
    case tkBinary:
        return !SetStr;
    case tkClass:
        return !SetObj;
    case tkMethod:
    case tkUnknown:
        return true;
    default:
        return !SetOrd;
    }
}

static void CheckAccess(bool ok) {
    if (!ok)
        throw EPropertyError(SReadOnlyProperty);
}

int64_t GetOrdProp(TObject* obj, const TPropInfo* info) {
    return info->GetOrd ? info->GetOrd(obj) : 0;
}
void SetOrdProp(TObject* obj, const TPropInfo* info, int64_t value) {
    CheckAccess(static_cast<bool>(info->SetOrd));
    info->SetOrd(obj, value);
}
double GetFloatProp(TObject* obj, const TPropInfo* info) {
    return info->GetFloat ? info->GetFloat(obj) : 0.0;
}
void SetFloatProp(TObject* obj, const TPropInfo* info, double value) {
    CheckAccess(static_cast<bool>(info->SetFloat));
    info->SetFloat(obj, value);
}
std::string GetStrProp(TObject* obj, const TPropInfo* info) {
    return info->GetStr ? info->GetStr(obj) : "";
}
void SetStrProp(TObject* obj, const TPropInfo* info, const std::string& value) {
    CheckAccess(static_cast<bool>(info->SetStr));
    info->SetStr(obj, value);
}
TObject* GetObjectProp(TObject* obj, const TPropInfo* info) {
    return info->GetObj ? info->GetObj(obj) : nullptr;
}
void SetObjectProp(TObject* obj, const TPropInfo* info, TObject* value) {
    CheckAccess(static_cast<bool>(info->SetObj));
    info->SetObj(obj, value);
}
bool IsStoredProp(TObject* obj, const TPropInfo* info) {
    return !info->Stored || info->Stored(obj);
}

std::string GetPropValueText(TObject* obj, const TPropInfo* info) {
    switch (info->Kind) {
    case tkInteger: {
        int32_t v = static_cast<int32_t>(GetOrdProp(obj, info));
        std::string name;
        if (info->Idents && info->Idents->IntToIdent(v, name))
            return name;
        return IntToStr(v);
    }
    case tkInt64:
        return IntToStr(GetOrdProp(obj, info));
    case tkChar:
        return std::string(1, static_cast<char>(GetOrdProp(obj, info)));
    case tkBool:
        return GetOrdProp(obj, info) ? "True" : "False";
    case tkEnumeration: {
        int64_t v = GetOrdProp(obj, info);
        std::string name = info->EnumType ? info->EnumType->NameOf(v) : "";
        return name.empty() ? IntToStr(v) : name;
    }
    case tkSet: {
        uint64_t bits = static_cast<uint64_t>(GetOrdProp(obj, info));
        std::string out = "[";
        for (int i = 0; i < 64; ++i)
            if (bits & (uint64_t{1} << i)) {
                if (out.size() > 1)
                    out += ',';
                std::string name = info->EnumType ? info->EnumType->NameOf(i) : "";
                out += name.empty() ? IntToStr(i) : name;
            }
        return out + "]";
    }
    case tkFloat:
        return FloatToStr(GetFloatProp(obj, info));
    case tkString:
    case tkBinary:
        return GetStrProp(obj, info);
    default:
        return "";
    }
}

static int64_t OrdinalFromText(const TPropInfo* info, const std::string& text) {
    std::string t = Trim(text);
    switch (info->Kind) {
    case tkInteger: {
        int32_t v;
        if (info->Idents && info->Idents->IdentToInt(t, v))
            return v;
        if (TryStrToInt(t, v))
            return v;
        break;
    }
    case tkInt64: {
        int64_t v;
        if (TryStrToInt64(t, v))
            return v;
        break;
    }
    case tkChar:
        if (text.size() == 1)
            return static_cast<unsigned char>(text[0]);
        break;
    case tkBool:
        if (SameText(t, "True"))
            return 1;
        if (SameText(t, "False"))
            return 0;
        break;
    case tkEnumeration: {
        int i = info->EnumType ? info->EnumType->IndexOf(t) : -1;
        if (i >= 0)
            return i;
        break;
    }
    case tkSet: {
        if (t.size() < 2 || t.front() != '[' || t.back() != ']')
            break;
        uint64_t bits = 0;
        std::string body = t.substr(1, t.size() - 2);
        size_t pos = 0;
        bool ok = true;
        while (ok && pos <= body.size()) {
            size_t comma = body.find(',', pos);
            std::string item =
                Trim(body.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
            if (!item.empty()) {
                int i = info->EnumType ? info->EnumType->IndexOf(item) : -1;
                if (i < 0 || i >= 64)
                    ok = false;
                else
                    bits |= uint64_t{1} << i;
            } else if (comma != std::string::npos) {
                ok = false;
            }
            if (comma == std::string::npos)
                break;
            pos = comma + 1;
        }
        if (ok)
            return static_cast<int64_t>(bits);
        break;
    }
    default:
        break;
    }
    throw EPropertyError(SInvalidPropertyValue);
}

void SetPropValueText(TObject* obj, const TPropInfo* info, const std::string& value) {
    if (info->IsOrdinal()) {
        SetOrdProp(obj, info, OrdinalFromText(info, value));
    } else if (info->Kind == tkFloat) {
        double v;
        if (!TryStrToFloat(value, v))
            throw EPropertyError(SInvalidPropertyValue);
        SetFloatProp(obj, info, v);
    } else if (info->Kind == tkString || info->Kind == tkBinary) {
        SetStrProp(obj, info, value);
    } else {
        throw EPropertyError(SInvalidPropertyValue);
    }
}

const TIdentMap& ColorIdents() {
    static const TIdentMap map{{
        {0x000000, "clBlack"},
        {0x000080, "clMaroon"},
        {0x008000, "clGreen"},
        {0x008080, "clOlive"},
        {0x800000, "clNavy"},
        {0x800080, "clPurple"},
        {0x808000, "clTeal"},
        {0x808080, "clGray"},
        {0xC0C0C0, "clSilver"},
        {0x0000FF, "clRed"},
        {0x00FF00, "clLime"},
        {0x00FFFF, "clYellow"},
        {0xFF0000, "clBlue"},
        {0xFF00FF, "clFuchsia"},
        {0xFFFF00, "clAqua"},
        {0xC0C0C0, "clLtGray"},
        {0x808080, "clDkGray"},
        {0xFFFFFF, "clWhite"},
        {static_cast<int32_t>(0x80000000u), "clScrollBar"},
        {static_cast<int32_t>(0x80000001u), "clBackground"},
        {static_cast<int32_t>(0x80000002u), "clActiveCaption"},
        {static_cast<int32_t>(0x80000003u), "clInactiveCaption"},
        {static_cast<int32_t>(0x80000004u), "clMenu"},
        {static_cast<int32_t>(0x80000005u), "clWindow"},
        {static_cast<int32_t>(0x80000006u), "clWindowFrame"},
        {static_cast<int32_t>(0x80000007u), "clMenuText"},
        {static_cast<int32_t>(0x80000008u), "clWindowText"},
        {static_cast<int32_t>(0x80000009u), "clCaptionText"},
        {static_cast<int32_t>(0x8000000Au), "clActiveBorder"},
        {static_cast<int32_t>(0x8000000Bu), "clInactiveBorder"},
        {static_cast<int32_t>(0x8000000Cu), "clAppWorkSpace"},
        {static_cast<int32_t>(0x8000000Du), "clHighlight"},
        {static_cast<int32_t>(0x8000000Eu), "clHighlightText"},
        {static_cast<int32_t>(0x8000000Fu), "clBtnFace"},
        {static_cast<int32_t>(0x80000010u), "clBtnShadow"},
        {static_cast<int32_t>(0x80000011u), "clGrayText"},
        {static_cast<int32_t>(0x80000012u), "clBtnText"},
        {static_cast<int32_t>(0x80000013u), "clInactiveCaptionText"},
        {static_cast<int32_t>(0x80000014u), "clBtnHighlight"},
        {static_cast<int32_t>(0x80000015u), "cl3DDkShadow"},
        {static_cast<int32_t>(0x80000016u), "cl3DLight"},
        {static_cast<int32_t>(0x80000017u), "clInfoText"},
        {static_cast<int32_t>(0x80000018u), "clInfoBk"},
        {0x1FFFFFFF, "clNone"},
        {0x20000000, "clDefault"},
    }};
    return map;
}

const TIdentMap& CharsetIdents() {
    static const TIdentMap map{{
        {0, "ANSI_CHARSET"},      {1, "DEFAULT_CHARSET"},    {2, "SYMBOL_CHARSET"},
        {77, "MAC_CHARSET"},      {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"},
        {130, "JOHAB_CHARSET"},   {134, "GB2312_CHARSET"},   {136, "CHINESEBIG5_CHARSET"},
        {161, "GREEK_CHARSET"},   {162, "TURKISH_CHARSET"},  {163, "VIETNAMESE_CHARSET"},
        {177, "HEBREW_CHARSET"},  {178, "ARABIC_CHARSET"},   {186, "BALTIC_CHARSET"},
        {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},     {238, "EASTEUROPE_CHARSET"},
        {255, "OEM_CHARSET"},
    }};
    return map;
}

const TEnumInfo& BooleanInfo() {
    static const TEnumInfo info{{"False", "True"}};
    return info;
}
