#include "controls/foundation/PropertyUtils.h"

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "framework/core/Strings.h"

namespace {

class TSample : public TPersistent {
    ZEL_DECLARE_CLASS(TSample)
public:
    int32_t Count() const { return FCount; }
    void SetCount(int32_t V) { FCount = V; }
    bool Flag() const { return FFlag; }
    void SetFlag(bool V) { FFlag = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    std::string Title() const { return FTitle; }
    void SetTitle(const std::string& V) { FTitle = V; }

private:
    int32_t FCount = 0;
    bool FFlag = false;
    double FRatio = 0;
    std::string FTitle;
};

ZEL_DEFINE_CLASS(TSample, TPersistent,
                 {Prop::String<TSample>("Title", &TSample::Title, &TSample::SetTitle),
                  Prop::Int<TSample>("Count", &TSample::Count, &TSample::SetCount).WithDefault(0),
                  Prop::Bool<TSample>("Flag", &TSample::Flag, &TSample::SetFlag).WithDefault(0),
                  Prop::Float<TSample>("Ratio", &TSample::Ratio, &TSample::SetRatio)})

TSample* Filled(TSample* S) {
    S->SetCount(42);
    S->SetFlag(true);
    S->SetRatio(1.5);
    S->SetTitle("It's\r\ntwo");
    return S;
}

TEST(PropertyUtils, AssignAllPropsCopiesPublishedValues) {
    TSample A, B;
    Filled(&A);
    AssignAllProps(&A, &A);
    AssignAllProps(nullptr, &B);
    EXPECT_EQ(B.Count(), 0);
    TStringList Exclude;
    Exclude.Add("ratio");
    AssignAllPropsExclude(&A, &B, &Exclude);
    EXPECT_EQ(B.Count(), 42);
    EXPECT_TRUE(B.Flag());
    EXPECT_EQ(B.Title(), A.Title());
    EXPECT_EQ(B.Ratio(), 0);
    AssignProp(&A, &B, "Ratio");
    EXPECT_EQ(B.Ratio(), 1.5);
    AssignProp(&A, &B, "Missing");
}

TEST(PropertyUtils, PropertyValuesAsVariants) {
    TSample S;
    Filled(&S);
    const TPropInfo* Count = GetPropInfo(&S, "Count");
    EXPECT_EQ(GetPropValueByPropInfo(&S, Count).VType, varInteger);
    EXPECT_EQ(GetPropValueByPropInfo(&S, Count).Int, 42);
    EXPECT_EQ(GetPropValueByPropInfo(&S, GetPropInfo(&S, "Flag")), THSVariant(true));
    EXPECT_EQ(GetPropValueByPropInfo(&S, GetPropInfo(&S, "Title")), THSVariant("It's\r\ntwo"));
    EXPECT_TRUE(GetPropValueByPropInfo(&S, nullptr).IsEmpty());

    SetPropValueByPropInfo(&S, Count, THSVariant("17"));
    EXPECT_EQ(S.Count(), 17);
    SetPropValueByPropInfo(&S, Count, THSVariant(true));
    EXPECT_EQ(S.Count(), 1);
    EXPECT_THROW(SetPropValueByPropInfo(&S, Count, THSVariant("x")), EConvertError);
    SetPropValueByPropInfo(&S, GetPropInfo(&S, "Ratio"), THSVariant(int32_t{3}));
    EXPECT_EQ(S.Ratio(), 3.0);

    std::vector<std::string> Names;
    ForEachProp(
        &S, [&](TObject*, const TPropInfo* Info, void*) { Names.push_back(Info->Name); }, nullptr, true);
    EXPECT_EQ(Names, (std::vector<std::string>{"Count", "Flag", "Ratio", "Title"}));
    Names.clear();
    IterateProps(
        &S, KindBit(tkString) | KindBit(tkBool),
        [&](TObject*, const TPropInfo* Info, void*) { Names.push_back(Info->Name); }, nullptr, false);
    EXPECT_EQ(Names, (std::vector<std::string>{"Flag", "Title"}));
}

TEST(PropertyUtils, SmallHelpers) {
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_TRUE(StrToBool("TRUE"));
    EXPECT_FALSE(StrToBool("1"));
    EXPECT_EQ(GetDWordSize(0), 0);
    EXPECT_EQ(GetDWordSize(5), 2);
    EXPECT_EQ(GetDWordSize(8), 2);
    int32_t A = 5, B = 2;
    SwapMaxInt(A, B);
    EXPECT_EQ(A, 2);
    EXPECT_EQ(B, 5);

    struct Case {
        const char* Sub;
        const char* S;
        int32_t Start;
        int32_t Pos;
        int32_t Back;
    };
    const Case Cases[] = {
        {"ab", "xabyab", 1, 2, 0},  {"ab", "xabyab", 3, 5, 2}, {"ab", "xabyab", 6, 0, 5},
        {"ab", "xabyab", 99, 0, 5}, {"", "abc", 1, 0, 0},      {"abcd", "abc", 1, 0, 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(PosEx(C.Sub, C.S, C.Start), C.Pos) << C.Sub << " in " << C.S << " from " << C.Start;
        EXPECT_EQ(BackPosEx(C.Sub, C.S, C.Start), C.Back) << C.Sub << " in " << C.S << " from " << C.Start;
    }

    TStringList Counted;
    AddToCountedStrings(&Counted, "a");
    AddToCountedStrings(&Counted, "a");
    RemoveFromCountedStrings(&Counted, "a");
    ASSERT_EQ(Counted.Count(), 1);
    EXPECT_EQ(CountedStringsCount(&Counted, 0), 1);
    RemoveFromCountedStrings(&Counted, "a");
    EXPECT_EQ(Counted.Count(), 0);

    TStringList Parts;
    ParseString("a;b;;c;", ';', &Parts);
    EXPECT_EQ(Parts.Text(), "a\r\nb\r\n\r\nc\r\n");
    ParseAndCompactString(" d ; ;e", ';', &Parts);
    EXPECT_EQ(Parts.Text(), "a\r\nb\r\n\r\nc\r\nd\r\ne\r\n");
}

TEST(PropertyUtils, ObjectTextFileRoundTrip) {
    TTestFolder Folder;
    TSample A, B;
    Filled(&A);
    WriteObjToTextFile(&A, Folder / "sample.txt");
    ReadObjFromTextFile(&B, Folder / "sample.txt");
    EXPECT_EQ(B.Count(), 42);
    EXPECT_TRUE(B.Flag());
    EXPECT_EQ(B.Ratio(), 1.5);
    EXPECT_EQ(B.Title(), "It's\r\ntwo");
    EXPECT_THROW(ReadObjFromTextFile(&B, Folder / "missing.txt"), EFOpenError);
}

} // namespace
