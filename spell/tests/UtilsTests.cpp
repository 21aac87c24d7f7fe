#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/SysUtils.h"
#include "spell/SpellBase.h"
#include "spell/SpellUtils.h"
#include "spell/SuggestionsGenerator.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

// The hash as stored files were made: 32-bit two's-complement products, truncating remainders.
int32_t referenceHash(const std::string& s, int32_t N) {
    int32_t a = 31415, b = 27183, h = 0;
    for (unsigned char c : s) {
        h = static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(h) + c) % N;
        if (h < 0)
            h = -h % N;
        a = static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)) % (N - 1);
    }
    return h;
}

} // namespace

TEST(SpellUtils, HashStringKnownValuesAndRange) {
    EXPECT_EQ(HashString("", 251), 0);
    EXPECT_EQ(HashString("a", 251), 97);
    EXPECT_EQ(HashString("ab", 251), 188);
    // Long words with high bytes overflow 32-bit products at every table size.
    std::string longWord(300, '\xFF');
    for (int i = 0; i < 300; ++i)
        longWord[static_cast<size_t>(i)] = static_cast<char>(0x80 + i % 127);
    for (int32_t n : {251, 509, 65521, 1048573, 2147483647}) {
        for (const std::string& w : {std::string("hello"), std::string("Zebra's"), longWord}) {
            int32_t h = HashString(w.c_str(), n);
            EXPECT_GE(h, 0);
            EXPECT_LT(h, n);
            EXPECT_EQ(h, referenceHash(w, n)) << w.substr(0, 10) << " " << n;
        }
    }
}

TEST(SpellUtils, PrimesAndProbeStep) {
    EXPECT_EQ(GetNextPrime(0), 251u);
    EXPECT_EQ(GetNextPrime(251), 509u);
    EXPECT_EQ(GetNextPrime(1073741789), 2147483647u);
    EXPECT_EQ(GetNextPrime(2147483647), 0u);
    EXPECT_EQ(SecondaryHash(0), 1);
    EXPECT_EQ(SecondaryHash(96), 97);
    EXPECT_EQ(SecondaryHash(97), 1);
}

TEST(SpellUtils, ReplaceStringAndExpansion) {
    EXPECT_EQ(ReplaceString("%AppDir%", "X", "%AppDir%\\a\\%AppDir%"), "X\\a\\%AppDir%");
    EXPECT_EQ(ReplaceString("q", "X", "abc"), "abc");
    std::string expanded = ExpandBasicVars("%AppDir%\\dict");
    EXPECT_EQ(expanded, ProgramFolder() + "\\dict");
    EXPECT_EQ(ExpandBasicVars("%NoSuchVariableHere%\\x"), "%NoSuchVariableHere%\\x");
    EXPECT_EQ(ExpandBasicVars("%UserName%").find('%'), std::string::npos);
    EXPECT_FALSE(ExpandBasicVars("%UserName%").empty());
}

TEST(SpellUtils, WriteProbeNeverDeletesAnExistingFile) {
    TempFolder tmp;
    std::string existing = tmp.File("keep.wdu");
    WriteBytes(existing, {1, 2, 3});
    EXPECT_TRUE(CanFileBeWritten(existing, true));
    EXPECT_EQ(ReadBytes(existing).size(), 3u);
    std::string missing = tmp.File("probe.wdu");
    EXPECT_TRUE(CanFileBeWritten(missing, true));
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(CanFileBeWritten(tmp.File("no\\such\\folder.wdu"), true));
}

TEST(SpellUtils, ForceDirectoriesCreatesAllParents) {
    TempFolder tmp;
    std::string deep = tmp.File("a\\b\\c");
    ADForceDirectories(deep);
    DWORD attrs = GetFileAttributesA(deep.c_str());
    ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SpellUtils, EventListKeepsFirstHandlerAndOrder) {
    TEventList list;
    TObject a, b;
    std::string calls;
    list.Add(&a, [&](TObject*) { calls += "a"; });
    list.Add(&b, [&](TObject*) { calls += "b"; });
    list.Add(&a, [&](TObject*) { calls += "X"; });
    list.Notify(nullptr);
    EXPECT_EQ(calls, "ab");
    list.Remove(&a);
    list.Notify(nullptr);
    EXPECT_EQ(calls, "abb");
    EXPECT_EQ(list.Count(), 1);
}

TEST(SpellUtils, WordCaseFollowsTheLocalesConversion) {
    std::vector<std::string> words = {
        "", "abc", "ABC", "MiXeD", "caf\xE9", "CAF\xC9", "\xC0\xE0\xDF\xFF\x9C\x8C'"};
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all.push_back(static_cast<char>(c));
        words.push_back(std::string("x") + static_cast<char>(c) + "Y");
    }
    words.push_back(all);
    for (const std::string& w : words) {
        EXPECT_EQ(WordLowerCase(w), AnsiLowerCase(w)) << w;
        EXPECT_EQ(WordUpperCase(w), AnsiUpperCase(w)) << w;
        EXPECT_EQ(WordIsLowerCase(w), AnsiLowerCase(w) == w) << w;
        EXPECT_EQ(WordIsUpperCase(w), AnsiUpperCase(w) == w) << w;
    }
}

TEST(SpellUtils, EditDistance) {
    struct Case {
        std::string a, b;
        int d;
    } cases[] = {
        {"house", "house", 0},    {"teh", "the", 1}, {"recieve", "receive", 1}, {"cat", "cats", 1},
        {"kitten", "sitting", 3}, {"", "abc", 3},    {"ab", "ba", 1},           {"Word", "word", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetEditDistance(c.a, c.b), c.d) << c.a << " / " << c.b;
    EXPECT_EQ(GetEditDistance(std::string(300, 'x'), ""), 300);
}

TEST(SpellUtils, NumbersArePlainDecimalsOnly) {
    struct Case {
        const char* text;
        bool number;
    } cases[] = {
        {"12", true},   {"3.25", true}, {"-4", true},        {"1e5", true},    {".5", true},
        {"nan", false}, {"inf", false}, {"NaN", false},      {"0x1p3", false}, {"1e", false},
        {"12a", false}, {"", false},    {"infinity", false}, {"0x10", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TOrthosSpell3Base::IsNumber(c.text), c.number) << c.text;
}
