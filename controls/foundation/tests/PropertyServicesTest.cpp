#include "controls/foundation/PropertyServices.h"

#include <gtest/gtest.h>

#include "framework/core/Component.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Strings.h"

namespace {

const TEnumInfo kAlign{{"alNone", "alTop", "alClient"}};

class TPropsSample : public TComponent {
    ZEL_DECLARE_CLASS(TPropsSample)
public:
    explicit TPropsSample(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    int32_t Width = 10, Align = 0;
    bool Enabled = true;
    double Ratio = 0;
    std::string Caption;
    int32_t GetWidth() const { return Width; }
    void SetWidth(int32_t V) { Width = V; }
    int32_t GetAlign() const { return Align; }
    void SetAlign(int32_t V) { Align = V; }
    bool GetEnabled() const { return Enabled; }
    void SetEnabled(bool V) { Enabled = V; }
    double GetRatio() const { return Ratio; }
    void SetRatio(double V) { Ratio = V; }
    std::string GetCaption() const { return Caption; }
    void SetCaption(const std::string& V) { Caption = V; }
};
ZEL_DEFINE_CLASS(
    TPropsSample, TComponent,
    {Prop::Int<TPropsSample>("Width", &TPropsSample::GetWidth, &TPropsSample::SetWidth),
     Prop::Enum<TPropsSample>("Align", &kAlign, &TPropsSample::GetAlign, &TPropsSample::SetAlign),
     Prop::Bool<TPropsSample>("Enabled", &TPropsSample::GetEnabled, &TPropsSample::SetEnabled),
     Prop::Float<TPropsSample>("Ratio", &TPropsSample::GetRatio, &TPropsSample::SetRatio),
     Prop::String<TPropsSample>("Caption", &TPropsSample::GetCaption, &TPropsSample::SetCaption)})

class TPropsChild : public TPropsSample {
    ZEL_DECLARE_CLASS(TPropsChild)
public:
    using TPropsSample::TPropsSample;
};
ZEL_DEFINE_CLASS(TPropsChild, TPropsSample, {})

class TOtherChild : public TComponent {
    ZEL_DECLARE_CLASS(TOtherChild)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TOtherChild, TComponent, {})

TEST(PropertyServices, ValuesByName) {
    TPropsSample S;
    SetPropValue(&S, "Width", THSVariant(42));
    SetPropValue(&S, "Caption", THSVariant("hi"));
    SetPropValue(&S, "Missing", THSVariant(1));
    SetPropValue(nullptr, "Width", THSVariant(1));
    EXPECT_EQ(GetPropValue(&S, "Width"), THSVariant(42));
    EXPECT_EQ(GetPropValue(&S, "caption"), THSVariant("hi"));
    EXPECT_TRUE(GetPropValue(&S, "Missing").IsEmpty());
    EXPECT_TRUE(GetPropValue(nullptr, "Width").IsEmpty());
    EXPECT_TRUE(PropertyExists(&S, "Ratio"));
    EXPECT_FALSE(PropertyExists(&S, "Missing"));
    EXPECT_FALSE(PropertyExists(nullptr, "Ratio"));

    TPropsSample A, B;
    TComponent Plain(nullptr);
    SetEnabledControls({&A, &Plain, nullptr, &B}, false);
    EXPECT_FALSE(A.Enabled);
    EXPECT_FALSE(B.Enabled);

    TStringList Names;
    PropNamesToStrings(&S, &Names);
    EXPECT_GE(Names.IndexOf("Align"), 0);
    EXPECT_GE(Names.IndexOf("Caption"), 0);
}

TEST(PropertyServices, AssignPropsFromStringsIsAllOrNothing) {
    TPropsSample S;
    TStringList Lines;
    Lines.SetText("Width=77\nAlign=alClient\nCaption= a = b\nEnabled=False\nNoSuch=1\nno equals sign\n");
    AssignPropsFromStrings(&S, &Lines);
    EXPECT_EQ(S.Width, 77);
    EXPECT_EQ(S.Align, 2);
    EXPECT_EQ(S.Caption, " a = b");
    EXPECT_FALSE(S.Enabled);

    TStringList Bad;
    Bad.SetText("Width=5\nCaption=changed\nAlign=alNowhere\n");
    EXPECT_THROW(AssignPropsFromStrings(&S, &Bad), EPropertyError);
    EXPECT_EQ(S.Width, 77);
    EXPECT_EQ(S.Caption, " a = b");
    EXPECT_EQ(S.Align, 2);
}

TEST(PropertyServices, CommonParents) {
    struct Case {
        TClass A, B, Common;
    } Cases[] = {
        {TPropsChild::StaticClass(), TPropsSample::StaticClass(), TPropsSample::StaticClass()},
        {TPropsChild::StaticClass(), TOtherChild::StaticClass(), TComponent::StaticClass()},
        {TPropsChild::StaticClass(), TPropsChild::StaticClass(), TPropsChild::StaticClass()},
        {TPropsChild::StaticClass(), nullptr, nullptr},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(GetCommonParent(C.A, C.B), C.Common) << (C.B ? C.B->ClassName() : "nil");
        EXPECT_EQ(GetCommonParent(C.B, C.A), C.Common);
    }
    TPropsChild X;
    TOtherChild Y(nullptr);
    TPropsSample Z;
    EXPECT_EQ(GetCommonClassesParent({&X, &Z}), TPropsSample::StaticClass());
    EXPECT_EQ(GetCommonClassesParent({&X, &Y, &Z}), TComponent::StaticClass());
    EXPECT_EQ(GetCommonClassesParent({}), nullptr);
}

// Two equal texts in different buffers, and equal numbers of different types, compare equal:
// comparing the raw bytes of the values would tell them apart.
TEST(PropertyServices, VariantsCompareByValue) {
    THSVariant Small = THSVariant::Of(varSmallint);
    Small.Int = 1;
    std::string Long(100, 'x');
    struct Case {
        const char* What;
        THSVariant A, B;
        int32_t Result;
    } Cases[] = {
        {"equal long texts", THSVariant(Long), THSVariant(std::string(100, 'x')), 0},
        {"texts", THSVariant("abc"), THSVariant("abd"), -1},
        {"integer and real", THSVariant(1), THSVariant(1.0), 0},
        {"smallint and integer", Small, THSVariant(1), 0},
        {"true and one", THSVariant(true), THSVariant(1), 0},
        {"negative before positive", THSVariant(-5), THSVariant(3), -1},
        {"reals", THSVariant(2.5), THSVariant(2.25), 1},
        {"empty before null", THSVariant(), THSVariant::Null(), -1},
        {"null before numbers", THSVariant::Null(), THSVariant(0), -1},
        {"numbers before texts", THSVariant(99), THSVariant(""), -1},
        {"two empties", THSVariant(), THSVariant(), 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(CompareVariants(C.A, C.B), C.Result) << C.What;
        EXPECT_EQ(CompareVariants(C.B, C.A), -C.Result) << C.What;
    }
}

TEST(PropertyServices, DesignPositionsKeepSixteenSignedBitsEach) {
    TComponent C(nullptr);
    struct Case {
        int16_t Left, Top;
    } Cases[] = {{0, 0}, {12, 340}, {-1, 7}, {5, -2}, {-32768, 32767}};
    for (const Case& K : Cases) {
        SetComponentTopLeft(&C, K.Left, K.Top);
        int16_t Left = 1, Top = 1;
        GetComponentTopLeft(&C, Left, Top);
        EXPECT_EQ(Left, K.Left);
        EXPECT_EQ(Top, K.Top);
    }
    SetComponentTopLeft(&C, 3, 4);
    EXPECT_EQ(C.DesignInfo(), (4 << 16) | 3);
    int16_t Left = 9, Top = 9;
    GetComponentTopLeft(nullptr, Left, Top);
    EXPECT_EQ(Left, 0);
    EXPECT_EQ(Top, 0);
    SetComponentTopLeft(nullptr, 1, 1);
}

TEST(PropertyServices, NamesForDesigners) {
    TPropsSample S;
    S.SetName("Panel1");
    EXPECT_EQ(BuildCompName(&S, ""), "Panel1: TPropsSample");
    EXPECT_EQ(BuildCompName(&S, "Other"), "Other: TPropsSample");
    EXPECT_EQ(BuildCompName(nullptr, "x"), "");
    TPropsSample Unnamed;
    EXPECT_EQ(BuildCompName(&Unnamed, ""), "");
    BuildCompNameFunc = [](TComponent*, const std::string&) { return std::string("hooked"); };
    EXPECT_EQ(BuildCompName(&S, ""), "hooked");
    BuildCompNameFunc = nullptr;

    struct Case {
        int32_t Code;
        const char* Name;
    } Cases[] = {{0, ""},           {1, ""},          {2, "Smallint"}, {7, "TDateTime"},
                 {15, ""},          {16, "ShortInt"}, {25, "HResult"}, {30, "PChar"},
                 {31, "PWideChar"}, {32, ""},         {-1, ""}};
    for (const Case& C : Cases)
        EXPECT_EQ(AutomationTypeName(C.Code), C.Name) << C.Code;
}

} // namespace
