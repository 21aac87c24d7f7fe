#include <gtest/gtest.h>

#include <cstring>
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

TEST(PhoneticsMap, RuleSetsComeBackAsLoaded) {
    TPhoneticsMap map;
    map.WriteLanguage(1033);
    const std::string english = map.GetMapping("philosophy");
    map.WriteLanguage(0);
    EXPECT_EQ(map.GetMapping("xxbptdx"), "xxbdk");
    map.WriteLanguage(1033);
    EXPECT_EQ(map.GetMapping("philosophy"), english);
    // Rules changed by a caller last until the next language; that language's rules are then
    // the loaded ones again, also for another language of the same rule set.
    for (unsigned next : {0u, 2057u}) {
        map.WriteLanguage(1033);
        map.AddMap("l", "", 1);
        EXPECT_NE(map.GetMapping("philosophy"), english);
        map.WriteLanguage(next);
        map.WriteLanguage(1033);
        EXPECT_EQ(map.GetMapping("philosophy"), english) << next;
    }
    map.ClearMap();
    EXPECT_EQ(map.GetMapping("philosophy"), "ph");
    map.WriteLanguage(0);
    map.WriteLanguage(1033);
    EXPECT_EQ(map.GetMapping("philosophy"), english);
}

TEST(PhoneticsMap, PrefixTestRulesOutOnlyWhatNoLongerWordCanMap) {
    TPhoneticsMap map;
    map.WriteLanguage(1033);
    struct Case {
        const char* prefix;
        const char* mapping;
        bool may;
    } cases[] = {
        {"cobx", "cobks", true},           // every step is settled and matches
        {"COBX", "cobks", true},           // the prefix is lowered
        {"cobx", "cobksr", true},          // more may follow
        {"cobx", "cob", false},            // the settled output is already longer
        {"cobx", "cokks", false},          // and differs
        {"cobx", "ab", false},             // the copied start differs
        {"coc", "cos", true},              // "c" depends on the next letter
        {"coc", "cot", true},              // as far as the prefix settles it
        {"aabdfklmn", "aabtfklm", true},   // the budget is spent: this is every longer word's mapping
        {"aabdfklmn", "aabtfklmn", false}, // so nothing longer maps to more
        {"c", "ca", true},                 // shorter than the copied start: not ruled out
    };
    for (const Case& c : cases)
        EXPECT_EQ(map.MayMapBeyond(c.prefix, strlen(c.prefix), c.mapping), c.may)
            << c.prefix << " " << c.mapping;
    struct OwnMap : TPhoneticsMap {};
    OwnMap own;
    own.WriteLanguage(1033);
    EXPECT_TRUE(own.MayMapBeyond("cobx", 4, "ab"));

    // No word's own mapping is ruled out by any of its prefixes, under any rule set.
    const char letters[] = "aceghikopstuwxyzdhnlACE'\xE0\xE5";
    uint32_t seed = 38;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (unsigned language : {1033u, 0u, 1049u}) {
        map.WriteLanguage(language);
        int ruledOut = 0;
        for (int i = 0; i < 20000; ++i) {
            std::string word;
            for (size_t n = 3 + next() % 9; word.size() < n;)
                word.push_back(letters[next() % (sizeof letters - 1)]);
            const std::string mapping = map.GetMapping(word);
            for (size_t n = 1; n < word.size(); ++n) {
                ASSERT_TRUE(map.MayMapBeyond(word.data(), n, mapping)) << word << " " << n << " " << language;
                std::string other = mapping;
                other.back() = '#';
                ruledOut += !map.MayMapBeyond(word.data(), n, other);
            }
        }
        // The Russian rules see nothing in these letters.
        if (language != 1049) {
            EXPECT_GT(ruledOut, 5000) << language;
        }
    }
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
