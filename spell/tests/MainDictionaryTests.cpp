#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/Strings.h"
#include "spell/MainDictionary.h"
#include "spell/PhoneticsMap.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

std::string writeTiny(const TempFolder& tmp, const std::vector<uint8_t>& bytes,
                      const char* name = "tiny.wdm") {
    std::string path = tmp.File(name);
    WriteBytes(path, bytes);
    return path;
}

} // namespace

TEST(MainDictionary, HandMadeFileInBothReferenceForms) {
    TempFolder tmp;
    for (bool longForm : {false, true}) {
        TinyWdm tiny;
        tiny.longReferences = longForm;
        std::string path = writeTiny(tmp, tiny.Build(), longForm ? "long.wdm" : "short.wdm");
        TMainDictionary d;
        d.WriteFilename(path);
        ASSERT_EQ(d.GetFilename(), path) << d.LastError();
        EXPECT_FALSE(d.GetLoaded()); // mapped on first use
        EXPECT_EQ(d.Title(), "Tiny");
        EXPECT_EQ(d.Language(), 1033u);
        struct Case {
            const char* word;
            bool found;
            int matched;
        } cases[] = {
            {"a", true, 1},      {"at", true, 2},    {"cat", true, 3},    {"cats", true, 4},
            {"carpet", true, 6}, {"do", true, 2},    {"c", false, 0},     {"ca", false, 2},
            {"car", false, 3},   {"carp", false, 4}, {"carpe", false, 5}, {"carpets", false, 6},
            {"Cat", false, 0},   {"cab", false, 2},  {"dog", false, 2},   {"xyz", false, 0},
            {"e", false, 0},     {"cbt", false, 1},  {"dx", false, 1},    {"", false, 0},
            {"ax", false, 1},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(d.WordExists(c.word), c.found) << c.word << (longForm ? " long" : " short");
            EXPECT_EQ(d.WordLength(c.word), c.matched) << c.word;
        }
        EXPECT_TRUE(d.GetLoaded());
    }
}

TEST(MainDictionary, RefusesShortAndForeignFilesAndKeepsItsName) {
    TempFolder tmp;
    std::string good = writeTiny(tmp, TinyWdm().Build());
    TMainDictionary d;
    d.WriteFilename(good);
    ASSERT_EQ(d.GetFilename(), good);
    std::vector<uint8_t> bytes = TinyWdm().Build();
    std::string exact =
        writeTiny(tmp, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1024), "exact.wdm");
    d.WriteFilename(exact);
    EXPECT_EQ(d.GetFilename(), good);
    EXPECT_FALSE(d.LastError().empty());
    bytes[122] = 'X';
    std::string foreign = writeTiny(tmp, bytes, "foreign.wdm");
    d.WriteFilename(foreign);
    EXPECT_EQ(d.GetFilename(), good);
    d.WriteFilename(tmp.File("missing.wdm"));
    EXPECT_EQ(d.GetFilename(), good);
    EXPECT_TRUE(d.WordExists("cat"));
}

TEST(MainDictionary, AnswersAskedAgainFollowTheFileInUse) {
    TempFolder tmp;
    std::string tiny = writeTiny(tmp, TinyWdm().Build());
    // The same file where "cats" no longer ends a word.
    std::vector<uint8_t> f = TinyWdm().Build();
    size_t at = TinyWdm::NodeOffset(7, false);
    f[at + 3] = static_cast<uint8_t>(f[at + 3] & 0x7F);
    std::string noCats = writeTiny(tmp, f, "nocats.wdm");
    TMainDictionary d;
    d.WriteFilename(tiny);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(d.WordExists("cats"));
        EXPECT_FALSE(d.WordExists("cab"));
    }
    d.WriteFilename(noCats);
    ASSERT_EQ(d.GetFilename(), noCats);
    EXPECT_FALSE(d.WordExists("cats"));
    EXPECT_TRUE(d.WordExists("cat"));
    d.WriteLoaded(false);
    d.WriteFilename(tiny);
    EXPECT_TRUE(d.WordExists("cats"));
    EXPECT_FALSE(d.WordExists(std::string("cat\0s", 5)));
}

TEST(MainDictionary, LookupsAnswerAsAloneWhateverCameBefore) {
    // A lookup goes on from the walk of the one before where their first characters agree.
    TempFolder tmp;
    std::vector<std::pair<std::string, std::vector<std::string>>> files = {
        {writeTiny(tmp, TinyWdm().Build()),
         {"a", "at", "ax", "c", "ca", "cat", "cats", "catss", "car", "carp", "carpe", "carpet", "carpets",
          "carpex", "cab", "do", "dox", "d"}}};
    if (HaveBuildDictionary())
        files.push_back({BuildDictionaryFolder() + "\\American.wdm",
                         {"abut", "abuts", "abutted", "abutt", "about", "Abbott", "ab", "abc", "receive",
                          "receiver", "receivers", "receiv", "recieve", "zebra's", "zebra", "zebras"}});
    for (const auto& [path, words] : files) {
        TMainDictionary alone;
        alone.WriteFilename(path);
        ASSERT_EQ(alone.GetFilename(), path) << alone.LastError();
        for (const std::string& before : words) {
            TMainDictionary d;
            d.WriteFilename(path);
            d.WordLength(before);
            for (const std::string& w : words) {
                if (w == before)
                    continue;
                EXPECT_EQ(d.WordLength(w), alone.WordLength(w)) << before << " then " << w;
                EXPECT_EQ(d.WordExists(w), alone.WordExists(w)) << before << " then " << w;
                d.WordLength(before);
            }
        }
    }
}

TEST(MainDictionary, AReferenceListEndsWhereItCanNoLongerBeRead) {
    // The list of the node after "ca" claims up to seven children; the linkage block holds two.
    TempFolder tmp;
    const uint32_t caList = 7;
    for (uint32_t count = 2; count <= 7; ++count) {
        std::vector<uint8_t> f = TinyWdm().Build();
        PutLE32(f, TinyWdm::NodeOffset(5, false), count << 28 | caList << 8 | 'a');
        std::string path = writeTiny(tmp, f, "long-list.wdm");
        TMainDictionary d;
        d.WriteFilename(path);
        ASSERT_EQ(d.GetFilename(), path);
        for (const char* w : {"cat", "cats", "carpet"})
            EXPECT_TRUE(d.WordExists(w)) << w << " " << count;
        for (const char* w : {"cab", "caz", "ca"})
            EXPECT_FALSE(d.WordExists(w)) << w << " " << count;
        d.WriteLoaded(false);
    }
}

TEST(MainDictionary, HostileFilesAnswerNoWordWithoutReadingPastTheEnd) {
    TempFolder tmp;
    const std::vector<uint8_t> good = TinyWdm().Build();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool accepted; // whether the header still passes
    };
    std::vector<Case> cases;
    for (size_t cut : {size_t(1030), size_t(1100), good.size() - 3000, good.size() - 1})
        cases.push_back({"truncated",
                         std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)),
                         cut >= 1129});
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, 1024 + 1 + 10 + 12, 0x40000000); // count[0]
        cases.push_back({"huge node count", f, false});
    }
    {
        std::vector<uint8_t> f = good;
        PutLE32(f, TinyWdm::LinkageLengthOffset(), 0x7FFFFFFF);
        cases.push_back({"huge linkage length", f, true});
    }
    {
        // Node 5's reference list points far past the linkage block.
        std::vector<uint8_t> f = good;
        uint32_t v = static_cast<uint32_t>(ReadLE32(f, TinyWdm::NodeOffset(5, false)));
        PutLE32(f, TinyWdm::NodeOffset(5, false), (v & ~0x0FFFFF00u) | (0xFFFF0u << 8));
        cases.push_back({"link past linkage", f, true});
    }
    {
        // Node 6 names a child number beyond the node tables.
        std::vector<uint8_t> f = good;
        uint32_t v = static_cast<uint32_t>(ReadLE32(f, TinyWdm::NodeOffset(6, false)));
        PutLE32(f, TinyWdm::NodeOffset(6, false), (v & ~0x0FFFFF00u) | (0x7FFFFu << 8));
        cases.push_back({"node past tables", f, true});
    }
    for (const Case& c : cases) {
        std::string path = writeTiny(tmp, c.bytes, "hostile.wdm");
        TMainDictionary d;
        d.WriteFilename(path);
        EXPECT_EQ(d.GetFilename() == path, c.accepted) << c.name << " " << c.bytes.size();
        for (const char* w : {"cat", "cats", "carpet", "at", "do", "zzz"})
            d.WordExists(w);
        TPhoneticsMap map;
        map.WriteLanguage(1033);
        TStringList list;
        d.Suggest("catz", &map, &list);
        if (!c.accepted) {
            EXPECT_FALSE(d.WordExists("cat")) << c.name;
        }
        d.WriteLoaded(false);
    }
}

TEST(MainDictionary, CyclicLinksEndTheSuggestionWalk) {
    TempFolder tmp;
    std::vector<uint8_t> f = TinyWdm().Build();
    // "carpet" links back to "r"+"pe": carpe t rpe t rpe ... and "cats" back to "cat".
    PutLE32(f, TinyWdm::NodeOffset(8, false), 0x80000000u | 1u << 28 | 10u << 8 | 't');
    PutLE32(f, TinyWdm::NodeOffset(7, false), 0x80000000u | 1u << 28 | 6u << 8 | 's');
    std::string path = writeTiny(tmp, f);
    TMainDictionary d;
    d.WriteFilename(path);
    ASSERT_EQ(d.GetFilename(), path);
    TPhoneticsMap map;
    map.WriteLanguage(0); // generic rules: many words share a key
    TStringList list;
    d.Suggest("carpet", &map, &list);
    d.Suggest("catstst", &map, &list);
    EXPECT_LE(list.Count(), 501);
    EXPECT_TRUE(d.WordExists("carpet"));
    EXPECT_TRUE(d.WordExists("cats"));
}

TEST(MainDictionary, SharedChildrenEndTheWalkWithinTheFilesNodes) {
    // Found by the fuzzer: a damaged file whose nodes share children makes the number of paths
    // double at every step, and a walk bounded only by a large fixed count took seconds per word.
    TempFolder tmp;
    std::vector<uint8_t> f = TinyWdm().Build();
    const uint32_t caList = 7; // the reference list of the node after "ca"
    // "ca" ends a word and lists itself twice as its children.
    PutLE32(f, TinyWdm::NodeOffset(5, false), 0x80000000u | 2u << 28 | caList << 8 | 'a');
    const size_t refs = TinyWdm::LinkageLengthOffset() + 4 + caList;
    f[refs] = 5;
    f[refs + 1] = 0;
    f[refs + 2] = 5;
    f[refs + 3] = 0;
    std::string path = writeTiny(tmp, f);
    TMainDictionary d;
    d.WriteFilename(path);
    ASSERT_EQ(d.GetFilename(), path);
    TPhoneticsMap map;
    map.WriteLanguage(0);
    TStringList list;
    const ULONGLONG start = GetTickCount64();
    d.Suggest("carpet", &map, &list);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list[i].substr(0, 2), "ca");
}

TEST(MainDictionary, SuggestListsSoundAlikesWithTheSamePrefix) {
    TempFolder tmp;
    std::string path = writeTiny(tmp, TinyWdm().Build());
    TMainDictionary d;
    d.WriteFilename(path);
    TPhoneticsMap map;
    map.WriteLanguage(1033);
    TStringList list;
    d.Suggest("kat", &map, &list); // prefix "ka": nothing in the dictionary
    EXPECT_EQ(list.Count(), 0);
    d.Suggest("catt", &map, &list); // "ca" + t
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "cat");
    list.Clear();
    d.Suggest("c", &map, &list); // a key shorter than 2 adds nothing
    EXPECT_EQ(list.Count(), 0);
}

TEST(MainDictionary, CompiledAmericanDictionary) {
    std::string path = ProgramFolder() + "\\Dictionary\\American.wdm";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    TMainDictionary d;
    d.WriteFilename(path);
    ASSERT_EQ(d.GetFilename(), path) << d.LastError();
    EXPECT_EQ(d.Language() & 0xFF, 9u);
    for (const char* w :
         {"the", "receive", "spelling", "dictionary", "a", "I", "Paris", "zebra's", "Atat\xFCrk"})
        EXPECT_TRUE(d.WordExists(w)) << w;
    for (const char* w : {"teh", "recieve", "zzzq", "Receive", "dictionaryy"})
        EXPECT_FALSE(d.WordExists(w)) << w;
    TPhoneticsMap map;
    map.WriteLanguage(1033);
    TStringList list;
    d.Suggest("recieve", &map, &list);
    EXPECT_GE(list.IndexOf("receive"), 0);
}

TEST(MainDictionary, SkippedSubtreesHoldNoSoundAlike) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    const std::string path = BuildDictionaryFolder() + "\\American.wdm";
    TMainDictionary d;
    d.WriteFilename(path);
    ASSERT_EQ(d.GetFilename(), path) << d.LastError();
    // A map of its own class is asked nothing about prefixes, so its search walks every subtree.
    struct WholeWalk : TPhoneticsMap {};
    TPhoneticsMap map;
    WholeWalk whole;
    for (unsigned language : {1033u, 0u}) {
        map.WriteLanguage(language);
        whole.WriteLanguage(language);
        for (const char* w :
             {"recieve",   "teh",      "Teh",      "TEH",       "acommodate", "seperate", "wich",  "thier",
              "ocurrence", "knowlege", "phisical", "exagerate", "cought",     "xylofone", "sould", "Misisipi",
              "atatrk",    "caf\xE9s", "zebras's", "qu",        "tha",        "aaaaaa"}) {
            TStringList pruned, walked;
            d.Suggest(w, &map, &pruned);
            d.Suggest(w, &whole, &walked);
            EXPECT_EQ(pruned.GetText(), walked.GetText()) << w << " " << language;
        }
    }
}
