#include <gtest/gtest.h>

#include <set>

#include "framework/core/Strings.h"
#include "spell/PhoneticsMap.h"
#include "spell/SuggestionsGenerator.h"

namespace {

std::vector<std::string> suggest(TSuggestionsGenerator& g, const std::string& word, int max,
                                 const std::set<std::string>& words) {
    TStringList list;
    g.Suggest(word, max, &list, [&](const char* w, bool& exists) { exists = words.count(w) > 0; });
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

} // namespace

TEST(PhoneticsMap, EnglishMappings) {
    TPhoneticsMap map;
    map.WriteLanguage(1033);
    struct Case {
        const char* word;
        const char* key;
    } cases[] = {
        {"ab", "ab"},
        {"A", "a"},
        {"knight", "knt"},
        {"letter", "letr"},
        {"hello", "hel"},
        {"philosophy", "phlsf"},
        {"aabdfklmnprst", "aabtfklm"},
        {"recieve", "resf"},
        {"receive", "resf"},
        {"thither", "th0r"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(map.GetMapping(c.word), c.key) << c.word;
    EXPECT_TRUE(map.AcceptableDistance("abcdefg", 3));
    EXPECT_FALSE(map.AcceptableDistance("abcdefg", 4));
    EXPECT_FALSE(map.AcceptableDistance(std::string(20, 'a'), 5));
    map.WriteStartDepth(0); // refused
    EXPECT_EQ(map.StartDepth(), 2);
}

TEST(PhoneticsMap, GenericAndLanguageSwitch) {
    TPhoneticsMap map;
    map.WriteLanguage(0);
    EXPECT_EQ(map.GetMapping("xxbptdx"), "xxbdk");
    map.WriteLanguage(1033);
    EXPECT_EQ(map.GetMapping("xxph"), "xxf");
    map.WriteLanguage(1049);
    EXPECT_EQ(map.GetMapping("\xE0\xE0\xE1"), "\xE0\xE0\xE1\xFC");
}

TEST(SuggestionsGenerator, SingleEditsAndLimits) {
    TSuggestionsGenerator g;
    std::set<std::string> words = {"the", "then", "tea", "at",    "a",   "x",   "bat",
                                   "eat", "fat",  "hat", "mat",   "oat", "pat", "rat",
                                   "sat", "vat",  "ice", "cream", "ab",  "end", "The"};
    EXPECT_TRUE(contains(suggest(g, "teh", 10, words), "the"));
    EXPECT_TRUE(contains(suggest(g, "thn", 10, words), "then"));
    EXPECT_TRUE(contains(suggest(g, "thee", 10, words), "the"));
    // One-character words are never offered.
    EXPECT_EQ(suggest(g, "xa", 10, words), std::vector<std::string>{});
    // Two characters: no transposition.
    EXPECT_EQ(suggest(g, "ba", 10, {"ab"}), std::vector<std::string>{});
    // The list never passes its maximum.
    EXPECT_EQ(suggest(g, "cat", 3, words).size(), 3u);
    EXPECT_EQ(suggest(g, "cat", 1, words).size(), 1u);
    EXPECT_EQ(suggest(g, "cat", 0, words).size(), 0u);
    // A missing blank, and a missing blank after a full stop before a capital.
    EXPECT_TRUE(contains(suggest(g, "icecream", 10, words), "ice cream"));
    EXPECT_TRUE(contains(suggest(g, "end.The", 10, words), "end.  The"));
    // Swedish does not split by default; an explicit choice does.
    g.WriteLanguage(1053);
    EXPECT_FALSE(contains(suggest(g, "icecream", 10, words), "ice cream"));
    g.WriteSuggestionTypes(1u << stSplitWord);
    EXPECT_FALSE(g.DefaultSuggestionTypes());
    EXPECT_TRUE(contains(suggest(g, "icecream", 10, words), "ice cream"));
}

TEST(SuggestionsGenerator, CaseRules) {
    TSuggestionsGenerator g;
    std::set<std::string> words = {"Paris", "paris", "London", "NASA", "house"};
    // A lower-case word is not offered a capitalised candidate whose lower-case form is a word.
    EXPECT_FALSE(contains(suggest(g, "parsi", 10, words), "Paris"));
    EXPECT_TRUE(contains(suggest(g, "parsi", 10, words), "paris"));
    // A mixed-case word gets a second pass on its capital-then-lower form.
    EXPECT_TRUE(contains(suggest(g, "LOndno", 10, words), "London"));
    EXPECT_TRUE(contains(suggest(g, "hoUse", 10, words), "house"));
}
