#include "controls/foundation/PropertyEditors.h"

#include <cmath>
#include <limits>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

struct TTypeName {
    const char* Name;
    THSVarType Type;
};
// In the order the inspector offers them.
const TTypeName kTypeNames[] = {
    {"Boolean", varBoolean}, {"Byte", varByte},         {"Currency", varCurrency}, {"Date", varDate},
    {"Double", varDouble},   {"Integer", varInteger},   {"Null", varNull},         {"OleStr", varOleStr},
    {"Single", varSingle},   {"Smallint", varSmallint}, {"String", varString},
};

[[noreturn]] void CannotConvert(const THSVariant& From, THSVarType To) {
    std::string ToName = "Null";
    for (const TTypeName& T : kTypeNames)
        if (T.Type == To)
            ToName = T.Name;
    throw EConvertError("Could not convert variant of type (" + VariantTypeName(From) + ") into type (" +
                        ToName + ")");
}

// The value as a number, or false when it has none.
bool AsNumber(const THSVariant& V, double& N) {
    if (V.IsText()) {
        const std::string S = Trim(V.Str);
        if (SameText(S, "True") || SameText(S, "False")) {
            N = SameText(S, "True") ? 1 : 0;
            return true;
        }
        if (TryStrToFloat(S, N))
            return true;
        TDateTime D;
        if (!TryStrToDateTime(S, D))
            return false;
        N = D;
        return true;
    }
    if (V.IsOrdinal() || V.IsReal()) {
        N = V.AsReal();
        return true;
    }
    return false;
}

std::string AsText(const THSVariant& V) {
    switch (V.VType) {
    case varBoolean:
        return V.AsBool() ? "True" : "False";
    case varDate:
        return DateTimeToStr(V.Real);
    case varString:
    case varOleStr:
        return V.Str;
    default:
        return V.IsReal() ? FloatToStr(V.Real) : V.IsOrdinal() ? IntToStr(V.Int) : std::string();
    }
}

} // namespace

const std::vector<std::string>& TFontSizePropEdit::GetValues() {
    static const std::vector<std::string> Sizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                                   "20", "22", "24", "26", "28", "36", "48", "72"};
    return Sizes;
}

const std::vector<std::string>& VariantTypeNames() {
    static const std::vector<std::string> Names = [] {
        std::vector<std::string> N;
        for (const TTypeName& T : kTypeNames)
            N.push_back(T.Name);
        return N;
    }();
    return Names;
}

std::string VariantTypeName(const THSVariant& Value) {
    for (const TTypeName& T : kTypeNames)
        if (T.Type == Value.VType)
            return T.Name;
    return "Null";
}

THSVariant VarAsType(const THSVariant& Value, THSVarType Type) {
    if (Type == varNull)
        return THSVariant::Null();
    if (Value.IsNull() || Value.IsEmpty() || Value.VType == varObject)
        CannotConvert(Value, Type);
    THSVariant Result = THSVariant::Of(Type);
    if (Type == varString || Type == varOleStr) {
        Result.Str = AsText(Value);
        return Result;
    }
    double N = 0;
    if (!AsNumber(Value, N) || !std::isfinite(N))
        CannotConvert(Value, Type);
    switch (Type) {
    case varBoolean:
        Result.Int = N != 0 ? 1 : 0;
        return Result;
    case varSingle:
        if (std::fabs(N) > std::numeric_limits<float>::max())
            CannotConvert(Value, Type);
        Result.Real = static_cast<float>(N);
        return Result;
    case varDouble:
    case varDate:
        Result.Real = N;
        return Result;
    case varCurrency:
        // Four decimals, as the platform's fixed-point currency keeps them.
        Result.Real = std::round(N * 10000.0) / 10000.0;
        return Result;
    default:
        break;
    }
    const double Whole = std::nearbyint(N);
    const double Low = Type == varByte ? 0 : Type == varSmallint ? -32768.0 : -2147483648.0;
    const double High = Type == varByte ? 255 : Type == varSmallint ? 32767.0 : 2147483647.0;
    if (Whole < Low || Whole > High)
        CannotConvert(Value, Type);
    Result.Int = static_cast<int64_t>(Whole);
    return Result;
}

void TVarTypeProperty::SetValue(const std::string& TypeName) {
    THSVarType Type = varNull;
    for (const TTypeName& T : kTypeNames)
        if (SameText(T.Name, TypeName))
            Type = T.Type;
    THSVariant From = FValue;
    if (From.IsNull() || From.IsEmpty())
        From = Type == varString || Type == varOleStr ? THSVariant(std::string()) : THSVariant(0);
    FValue = VarAsType(From, Type);
}

std::string THSVariantProperty::GetValue() const {
    return AsText(FValue);
}

void THSVariantProperty::SetValue(const std::string& Text) {
    if (FValue.IsNull() || FValue.IsEmpty()) {
        FValue = THSVariant(Text);
        return;
    }
    FValue = VarAsType(THSVariant(Text), FValue.VType);
}
