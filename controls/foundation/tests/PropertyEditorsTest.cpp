#include "controls/foundation/PropertyEditors.h"

#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

TEST(FontSizePropEdit, OffersSixteenSizesUpTo72) {
    const auto& Sizes = TFontSizePropEdit::GetValues();
    ASSERT_EQ(Sizes.size(), 16u);
    EXPECT_EQ(Sizes.front(), "8");
    EXPECT_EQ(Sizes.back(), "72");
    for (size_t I = 1; I < Sizes.size(); ++I)
        EXPECT_LT(StrToInt(Sizes[I - 1]), StrToInt(Sizes[I]));
    EXPECT_TRUE(TFontSizePropEdit::GetAttributes() & paValueList);
}

THSVariant Of(THSVarType T, int64_t I) {
    THSVariant V = THSVariant::Of(T);
    V.Int = I;
    return V;
}

// Choosing a type by name converts the value; every name offered stands for its type.
TEST(VarTypeProperty, ConvertsTheValueToTheNamedType) {
    const struct {
        const char* name;
        THSVariant before;
        const char* typeName;
        THSVarType type;
        const char* text; // the value as the variant editor shows it afterwards
    } Cases[] = {
        {"string on Null", THSVariant::Null(), "string", varString, ""},
        {"OleStr on Null", THSVariant::Null(), "OLESTR", varOleStr, ""},
        {"Integer on Null", THSVariant::Null(), "Integer", varInteger, "0"},
        {"Boolean on Null", THSVariant::Null(), "Boolean", varBoolean, "False"},
        {"unknown name on Null", THSVariant::Null(), "Widget", varNull, ""},
        {"unknown name on a number", THSVariant(42), "Widget", varNull, ""},
        {"Null by name", THSVariant("x"), "Null", varNull, ""},
        {"text to Integer", THSVariant("123"), "Integer", varInteger, "123"},
        {"text with a fraction to Smallint", THSVariant("2.5"), "Smallint", varSmallint, "2"},
        {"text to Double", THSVariant("0.25"), "Double", varDouble, "0.25"},
        {"text to Boolean", THSVariant("true"), "Boolean", varBoolean, "True"},
        {"number to Boolean", THSVariant(0), "Boolean", varBoolean, "False"},
        {"Boolean to String", THSVariant(true), "String", varString, "True"},
        {"Double to Byte", THSVariant(200.4), "Byte", varByte, "200"},
        {"Double to Currency", THSVariant(1.234567), "Currency", varCurrency, "1.2346"},
        {"Integer to Single", THSVariant(3), "Single", varSingle, "3"},
        {"Integer to OleStr", THSVariant(-7), "OleStr", varOleStr, "-7"},
        {"OleStr to String", THSVariant::Of(varOleStr), "String", varString, ""},
        {"Byte to Smallint", Of(varByte, 255), "Smallint", varSmallint, "255"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.name);
        THSVariant V = C.before;
        TVarTypeProperty P(V);
        P.SetValue(C.typeName);
        EXPECT_EQ(V.VType, C.type);
        EXPECT_EQ(THSVariantProperty(V).GetValue(), C.text);
        EXPECT_EQ(P.GetValue(), C.type == varNull ? "Null" : VariantTypeName(V));
    }
    // A date converts both ways through its text.
    THSVariant D(EncodeDate(2026, 1, 15) + EncodeTime(6, 30, 0, 0));
    TVarTypeProperty(D).SetValue("Date");
    THSVariant Text = D;
    TVarTypeProperty(Text).SetValue("String");
    TVarTypeProperty(Text).SetValue("Date");
    EXPECT_EQ(Text, D);

    EXPECT_EQ(TVarTypeProperty::GetValues().size(), 11u);
    EXPECT_EQ(TVarTypeProperty::GetValues().back(), "String");
    EXPECT_EQ(VariantTypeName(THSVariant()), "Null");
    EXPECT_EQ(VariantTypeName(THSVariant::Of(varObject)), "Null");
}

TEST(VarTypeProperty, RefusesWhatCannotConvertAndKeepsTheValue) {
    const struct {
        THSVariant before;
        const char* typeName;
    } Cases[] = {
        {THSVariant("abc"), "Integer"}, {THSVariant("1e10"), "Integer"}, {THSVariant(256), "Byte"},
        {THSVariant(-1), "Byte"},       {THSVariant(40000), "Smallint"}, {THSVariant("maybe"), "Boolean"},
        {THSVariant(1e300), "Single"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.typeName);
        THSVariant V = C.before;
        EXPECT_THROW(TVarTypeProperty(V).SetValue(C.typeName), EConvertError);
        EXPECT_EQ(V, C.before);
    }
}

TEST(HSVariantProperty, TextIsTakenInTheValuesType) {
    THSVariant V = THSVariant::Null();
    THSVariantProperty P(V);
    EXPECT_EQ(P.GetValue(), "");
    P.SetValue("12");
    EXPECT_EQ(V.VType, varString) << "a Null value takes the text as a String";
    EXPECT_EQ(P.GetValue(), "12");
    P.TypeProperty().SetValue("Integer");
    P.SetValue("99");
    EXPECT_EQ(V, THSVariant(99));
    EXPECT_THROW(P.SetValue("ninety"), EConvertError);
    EXPECT_EQ(V, THSVariant(99));
    V = THSVariant(false);
    EXPECT_EQ(P.GetValue(), "False");
    P.SetValue("True");
    EXPECT_EQ(V, THSVariant(true));
    V = THSVariant::Of(varOleStr);
    P.SetValue("wide");
    EXPECT_EQ(V.VType, varOleStr);
    EXPECT_EQ(P.TypeProperty().GetValue(), "OleStr");
    EXPECT_EQ(THSVariantProperty::GetAttributes(), paSubProperties);
    EXPECT_STREQ(TVarTypeProperty::Name(), "Type");
}

} // namespace
