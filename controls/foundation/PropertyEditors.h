#pragma once
// The value rules of the kit's property editors that need no inspector: the sizes offered for a
// font, and a variant shown and set as text with its type chosen by name.

#include <cstdint>
#include <string>
#include <vector>

#include "controls/foundation/HSVariant.h"

// What an inspector may do with a property, as a set of bits.
enum : uint32_t {
    paValueList = 0x1,
    paSubProperties = 0x2,
    paDialog = 0x4,
    paMultiSelect = 0x8,
    paSortList = 0x10,
};

// A font's Size, chosen from a list or typed.
class TFontSizePropEdit {
public:
    static uint32_t GetAttributes() { return paValueList | paMultiSelect; }
    // 8 to 72, smallest first.
    static const std::vector<std::string>& GetValues();
};

// The names a variant's type is shown with, in the order they are offered, and the type each
// stands for.
const std::vector<std::string>& VariantTypeNames();
// "Null" for every type without a name here (empty included).
std::string VariantTypeName(const THSVariant& Value);
// The value converted to the type: text is parsed, numbers are rounded into whole types and
// checked against their range. Raises EConvertError and changes nothing when it cannot be done.
THSVariant VarAsType(const THSVariant& Value, THSVarType Type);

// The "Type" sub-property of a variant: the name of the value's type; setting a name converts
// the value.
class TVarTypeProperty {
public:
    explicit TVarTypeProperty(THSVariant& Value) : FValue(Value) {}
    static const char* Name() { return "Type"; }
    static uint32_t GetAttributes() { return paValueList | paMultiSelect | paSortList; }
    static const std::vector<std::string>& GetValues() { return VariantTypeNames(); }
    std::string GetValue() const { return VariantTypeName(FValue); }
    // A name (ignoring case) converts the value to its type; a Null value first becomes an empty
    // text for "String" and "OleStr", 0 for the others. Any other name makes the value Null.
    void SetValue(const std::string& TypeName);

private:
    THSVariant& FValue;
};

// A variant property edited as text, with its type as its one sub-property.
class THSVariantProperty {
public:
    explicit THSVariantProperty(THSVariant& Value) : FValue(Value) {}
    static uint32_t GetAttributes() { return paSubProperties; }
    // A boolean shows as False or True, Null as nothing, anything else as its text.
    std::string GetValue() const;
    // The text is converted to the value's type; a Null value takes it as a String.
    void SetValue(const std::string& Text);
    TVarTypeProperty TypeProperty() { return TVarTypeProperty(FValue); }

private:
    THSVariant& FValue;
};
