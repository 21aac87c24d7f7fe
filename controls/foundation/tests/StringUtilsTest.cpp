#include "controls/foundation/StringUtils.h"

#include <gtest/gtest.h>

#include "controls/foundation/StringListUtils.h"
#include "framework/core/Component.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

TEST(StringUtils, CharactersBlanksAndSets) {
    EXPECT_EQ(GetFirstNotSpace(""), 1);
    EXPECT_EQ(GetFirstNotSpace("   "), 4);
    EXPECT_EQ(GetFirstNotSpace("  x"), 3);
    EXPECT_EQ(GetFirstNotSpace("\tx"), 1); // only the blank counts
    EXPECT_EQ(AddCharOccurence("a,b", ',', 2), "a,,,b");
    EXPECT_EQ(AddCharOccurence("a,b", ',', 0), "a,b");
    EXPECT_EQ(RemoveCharSet(CharSet("ab"), "abcab d"), "c d");
    EXPECT_EQ(RemoveNonIdentChars("a_1-B c"), "a_Bc");
    EXPECT_EQ(RemoveStrSet("aAbBc", "ab", false), "c");
    EXPECT_EQ(RemoveStrSet("aAbBc", "ab", true), "ABc");
    EXPECT_EQ(StringOfSpace(3), "   ");
    std::string S = "ab";
    AddBackSpaces(S, 4);
    EXPECT_EQ(S, "ab  ");
    AddBackSpaces(S, 1);
    EXPECT_EQ(S, "ab  ");
    EXPECT_EQ(StrArrayToDelimStr({"a", "", "b"}, ';'), "a;b");
    EXPECT_EQ(CommaText({"a", "", "b"}), "a,,b");
    EXPECT_EQ(TrimSeparators("..a.b..", CharSet(".")), "a.b");
    EXPECT_EQ(TrimSeparatorsLeft("..a.", CharSet(".")), "a.");
    EXPECT_EQ(TrimSeparatorsRight("..a.", CharSet(".")), "..a");
}

TEST(StringUtils, ReplacingScansOnAfterTheInsertedText) {
    struct Case {
        const char* S;
        const char* Old;
        const char* New;
        bool IgnoreCase;
        const char* Result;
    };
    const Case Cases[] = {
        {"aXbxc", "x", "xx", false, "aXbxxc"}, {"aXbxc", "x", "xx", true, "axxbxxc"},
        {"aaa", "a", "aa", false, "aaaaaa"},   {"abc", "", "z", false, "abc"},
        {"%A%%B%", "%", "", false, "AB"},
    };
    for (const Case& C : Cases) {
        std::string S = C.S;
        ReplaceAllOccurEx(S, C.Old, C.New, C.IgnoreCase);
        EXPECT_EQ(S, C.Result) << C.S;
    }
    std::string S = "hello";
    Replace(S, 2, "ell", "ipp");
    EXPECT_EQ(S, "hippo");
}

TEST(StringUtils, WordsQuotesAndNames) {
    const TCharSet Blank = CharSet(" ");
    EXPECT_EQ(GetWordPos("  one two  three ", 2, Blank), 7);
    EXPECT_EQ(GetWordEx("  one two  three ", 3, Blank), "three");
    EXPECT_EQ(GetWordPos("one", 2, Blank), -1);
    EXPECT_EQ(GetWordEx("one", 2, Blank), "");
    EXPECT_EQ(GetWord("a,b c", 2), "b");
    EXPECT_EQ(ExtractQuotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(ExtractQuotedStr("'", '\''), "'");
    EXPECT_EQ(ExtractQuotedStr("plain", '\''), "plain");
    EXPECT_EQ(ExtractControlName("Form1.Button1.Caption"), "Button1");
    EXPECT_EQ(ExtractControlName("Form1.Button1"), "Button1");
    EXPECT_EQ(GetOriginalComponentName("Label_12"), "Label");
    EXPECT_EQ(GetOriginalComponentName("Label_"), "Label_");
    EXPECT_EQ(GetOriginalComponentName("Label12"), "Label12");
    EXPECT_EQ(ExtractOnlyName("C:\\a\\b.c.txt"), "b.c");
    EXPECT_EQ(ChangeFileName("C:\\a\\b.txt", "c.ini"), "C:\\a\\c.ini");
    EXPECT_EQ(RemoveExtraSlash("C:\\\\a\\\\b\\c"), "C:\\a\\b\\c");
    EXPECT_TRUE(StrToBoolean("TRUE"));
    EXPECT_FALSE(StrToBoolean("yes"));
    EXPECT_EQ(PointToStr(POINT{3, -4}), "3 -4");
    EXPECT_EQ(RectToStr(RECT{1, 2, 3, 4}), "1 2 3 4");
    EXPECT_TRUE(IsLeapHour(23));
    EXPECT_FALSE(IsLeapMinute(60));
    EXPECT_EQ(ShortMonthNameToIndex("zzz"), -1);

    TComponent Owner(nullptr);
    auto* C = new TComponent(&Owner);
    C->SetName("Edit1");
    EXPECT_EQ(UniqueName(&Owner, "Edit"), "Edit2");
    EXPECT_EQ(UniqueName(nullptr, "Edit"), "Edit1");
    EXPECT_FALSE(NameIsUnique(&Owner, "EDIT1"));

    const GUID G = CreateNewGUID();
    const std::string Text = GUIDToString(G);
    EXPECT_EQ(Text.size(), 38u);
    const GUID Back = StringToGUID(Text);
    EXPECT_EQ(GUIDToString(Back), Text);
    EXPECT_THROW(StringToGUID("{nonsense}"), EConvertError);
}

TEST(StringListUtils, SetOperationsOnLines) {
    TStringList A, B;
    A.SetText("one\r\ntwo\r\n  \r\nthree\r\ntwo\r\n");
    B.SetText("TWO\r\nfour\r\n");
    RemoveEmptyStrings(&A);
    EXPECT_EQ(A.Text(), "one\r\ntwo\r\nthree\r\ntwo\r\n");
    TStringList C;
    C.Assign(&A);
    RemoveStrings(&C, &B);
    EXPECT_EQ(C.Text(), "one\r\nthree\r\n");
    TStringList D;
    D.Assign(&B);
    IntersectStrings(&A, &D);
    EXPECT_EQ(D.Text(), "TWO\r\n");
    SortAndRemoveDups(&A);
    EXPECT_EQ(A.Text(), "one\r\nthree\r\ntwo\r\n");
    AnsiUpperCaseStrings(&A);
    EXPECT_EQ(A.Text(), "ONE\r\nTHREE\r\nTWO\r\n");

    TStringList Pairs, Names, Values;
    Pairs.SetText("a=1\r\nb=2=3\r\nc\r\n");
    NamePartToStrings(&Pairs, &Names);
    ValuePartToStrings(&Pairs, &Values);
    EXPECT_EQ(Names.Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(Values.Text(), "1\r\n2=3\r\n\r\n");
    TStringList Files, Paths;
    Files.SetText("C:\\b\\x.txt\r\nC:\\a\\y.txt\r\nC:\\b\\z.txt\r\n");
    ExtractFilePaths(&Files, &Paths);
    EXPECT_EQ(Paths.Text(), "C:\\a\\\r\nC:\\b\\\r\n");
    EXPECT_EQ(MaxIntValue({3, -1, 7, 2}), 7);
}

TEST(StringListUtils, SearchForwardBackwardAndWholeWords) {
    TStringList L;
    L.SetText("the cat sat   \r\n\r\nconcatenate cat\r\nCat\r\n");
    const TCharSet Delims = CharSet(" .,");
    struct Case {
        const char* Name;
        const char* Text;
        TStrSearchParams Params;
        TStrPos Start;
        bool Found;
        TStrPos At;
    };
    const Case Cases[] = {
        {"first", "cat", 0, {1, 0}, true, {5, 0}},
        {"from column", "cat", 0, {6, 0}, true, {4, 2}},
        {"case-blind", "CAT", 0, {1, 3}, true, {1, 3}},
        {"case-sensitive", "Cat", spCaseSens, {1, 0}, true, {1, 3}},
        {"whole word skips concatenate", "cat", spWholeWords, {6, 0}, true, {13, 2}},
        {"trailing blanks do not count", "sat ", 0, {1, 0}, false, {}},
        {"backward", "cat", spBackSearch, {99, 2}, true, {13, 2}},
        {"backward from beyond the line's end", "the", spBackSearch, {200, 0}, true, {1, 0}},
        {"backward onto earlier line", "cat", spBackSearch, {3, 2}, true, {5, 0}},
        {"backward whole word", "cat", spBackSearch | spWholeWords, {12, 2}, true, {5, 0}},
        {"none", "dog", 0, {1, 0}, false, {}},
    };
    for (const Case& C : Cases) {
        TStrPos Pos = C.Start;
        int32_t Len = 0;
        EXPECT_EQ(FindInStringsEx(C.Text, &L, C.Params, Delims, Pos, Len), C.Found) << C.Name;
        if (C.Found) {
            EXPECT_EQ(Pos.X, C.At.X) << C.Name;
            EXPECT_EQ(Pos.Y, C.At.Y) << C.Name;
            EXPECT_EQ(Len, 3) << C.Name;
        }
    }
    TStrPos Pos;
    int32_t Len = 0;
    EXPECT_TRUE(FindFirstInStrings("Cat", &L, true, Pos, Len));
    EXPECT_EQ(Pos.Y, 3);
    TStringList Empty;
    EXPECT_FALSE(FindFirstInStrings("x", &Empty, false, Pos, Len));
    EXPECT_FALSE(FindFirstInStrings("", &L, false, Pos, Len));

    // A line finder replaces the plain search: here, any run of digits.
    TStringList Numbers;
    Numbers.SetText("ab 12 c\r\n345\r\n");
    auto Digits = [](const std::string& Line, int32_t& P, bool, int32_t& N) {
        const size_t F = Line.find_first_of("0123456789", static_cast<size_t>(P - 1));
        if (F == std::string::npos)
            return false;
        const size_t E = Line.find_first_not_of("0123456789", F);
        P = static_cast<int32_t>(F) + 1;
        N = static_cast<int32_t>((E == std::string::npos ? Line.size() : E) - F);
        return true;
    };
    Pos = {6, 0};
    EXPECT_TRUE(FindNextInStrings("#", &Numbers, false, Pos, Len, Digits));
    EXPECT_EQ(Pos.Y, 1);
    EXPECT_EQ(Len, 3);
}

} // namespace

TEST(StringUtils, CurrentYearComesFromTheClockSeam) {
    SetNowFunction([] { return EncodeDate(2031, 7, 4); });
    EXPECT_EQ(CurrentYear(), 2031);
    SetNowFunction(nullptr);
    EXPECT_GE(CurrentYear(), 2020);
}
