#pragma once
// A small tagged value for the family's typed registry storage, class-registry parameters and
// run-time property access.

#include <cstdint>
#include <string>

enum THSVarType : uint8_t {
    varEmpty,
    varNull,
    varSmallint,
    varInteger,
    varSingle,
    varDouble,
    varCurrency,
    varDate,
    varBoolean,
    varString,
    varObject, // any other type; not storable
    varByte,
    varOleStr, // text, as the platform's wide strings hold it
};

struct THSVariant {
    THSVarType VType = varEmpty;
    int64_t Int = 0; // varSmallint, varInteger, varByte, varBoolean (0/1), varObject (address)
    double Real = 0; // varSingle, varDouble, varCurrency, varDate
    std::string Str; // varString, varOleStr

    THSVariant() = default;
    static THSVariant Null() { return Of(varNull); }
    static THSVariant Of(THSVarType T) {
        THSVariant V;
        V.VType = T;
        return V;
    }
    THSVariant(int32_t I) : VType(varInteger), Int(I) {}
    THSVariant(double D) : VType(varDouble), Real(D) {}
    THSVariant(bool B) : VType(varBoolean), Int(B ? 1 : 0) {}
    THSVariant(const std::string& S) : VType(varString), Str(S) {}
    THSVariant(const char* S) : VType(varString), Str(S) {}
    static THSVariant Typed(THSVarType T, double D) {
        THSVariant V = Of(T);
        V.Real = D;
        return V;
    }

    bool IsEmpty() const { return VType == varEmpty; }
    bool IsNull() const { return VType == varNull; }
    bool IsOrdinal() const {
        return VType == varSmallint || VType == varInteger || VType == varBoolean || VType == varByte;
    }
    bool IsText() const { return VType == varString || VType == varOleStr; }
    bool IsReal() const {
        return VType == varSingle || VType == varDouble || VType == varCurrency || VType == varDate;
    }
    int64_t AsInt() const { return IsReal() ? static_cast<int64_t>(Real) : Int; }
    double AsReal() const { return IsReal() ? Real : static_cast<double>(Int); }
    bool AsBool() const { return AsInt() != 0; }

    // Same type and equal value.
    bool operator==(const THSVariant& O) const {
        if (VType != O.VType)
            return false;
        if (IsText())
            return Str == O.Str;
        if (IsReal())
            return Real == O.Real;
        return Int == O.Int;
    }
    bool operator!=(const THSVariant& O) const { return !(*this == O); }
};
