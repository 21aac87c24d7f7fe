#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>

#include "spell/SpellBase.h"
#include "spell/StringParser.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

// A checker over the compiled dictionaries, with its user files in a temporary folder, answering
// every prompt from a script.
class CheckLoop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveBuildDictionary())
            GTEST_SKIP() << "American.wdm was not compiled in this build";
        spell = std::make_unique<TOrthosSpell3Base>(nullptr);
        UseDictionaries(*spell, BuildDictionaryFolder(), tmp);
        spell->ConfigDefaultMain.Clear();
        spell->ConfigDefaultMain.Add("American.wdm");
        spell->ConfigDefaultMain.Add("KivraAdd.wdm");
        spell->ConfigDefaultOptions =
            SpellOptionBit(soInternet) | SpellOptionBit(soRepeated) | SpellOptionBit(soAbbreviations);
        spell->OnPromptWord = [this](TObject*, const std::string& word, bool repeated) {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            prompted.push_back(repeated ? "[" + word + "]" : word);
            if (!answers.empty()) {
                auto a = answers.front();
                answers.pop_front();
                a(*spell);
            } else {
                spell->Check_Cancel();
            }
            --depth;
        };
    }

    std::string check(std::string text) {
        spell->CheckString(text);
        return text;
    }

    TempFolder tmp;
    std::unique_ptr<TOrthosSpell3Base> spell;
    std::deque<std::function<void(TOrthosSpell3Base&)>> answers;
    std::vector<std::string> prompted;
    int depth = 0, maxDepth = 0;
};

auto change(const std::string& to) {
    return [to](TOrthosSpell3Base& s) { s.Check_Change(to); };
}
auto ignore() {
    return [](TOrthosSpell3Base& s) { s.Check_Ignore(); };
}

} // namespace

TEST_F(CheckLoop, ScriptedAnswersGiveTheExactText) {
    answers = {change("test"), [](TOrthosSpell3Base& s) { s.Check_RepeatDelete(); }, change("checker"),
               change("the")};
    std::string out =
        check("This is a tset of the the spelling chekcer. Visit http://example.com/x.html now, teh end.");
    EXPECT_EQ(out, "This is a test of the spelling checker. Visit http://example.com/x.html now, the end.");
    EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "[the the]", "chekcer", "teh"}));
    EXPECT_FALSE(spell->Checking());
    EXPECT_TRUE(spell->Changed());
}

TEST_F(CheckLoop, AnswersActAfterThePromptReturns) {
    answers = {ignore(), ignore(), ignore(), ignore()};
    check("qwzx vbnq zzkj plmq");
    EXPECT_EQ(prompted.size(), 4u);
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(CheckLoop, UndoTakesBackTheLastAnswer) {
    answers = {change("test"), [](TOrthosSpell3Base& s) { s.Check_Undo(); }, ignore(), ignore()};
    std::string out = check("tset chekcer");
    EXPECT_EQ(out, "tset chekcer");
    EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "chekcer", "tset", "chekcer"}));
}

TEST_F(CheckLoop, IgnoreAllChangeAllAndAdd) {
    answers = {[](TOrthosSpell3Base& s) { s.Check_IgnoreAll(); },
               [](TOrthosSpell3Base& s) { s.Check_ChangeAll("the"); },
               [](TOrthosSpell3Base& s) { s.Check_Add(); }};
    std::string out = check("qwzx teh Zelvania qwzx teh Zelvania");
    EXPECT_EQ(out, "qwzx the Zelvania qwzx the Zelvania");
    EXPECT_EQ(prompted, (std::vector<std::string>{"qwzx", "teh", "Zelvania"}));
    // The added word reached the user dictionary's file when the check ended.
    TCustomDictionary user;
    user.WriteFilename(tmp.File("user.wdu"));
    EXPECT_TRUE(user.IgnoreExists("Zelvania"));
    // The change was learned.
    TCustomDictionary learned;
    learned.WriteFilename(tmp.File("learned.wdl"));
    std::string r;
    EXPECT_TRUE(learned.AutoCorrectExists("teh", r));
    EXPECT_EQ(r, "the");
}

TEST_F(CheckLoop, CancelLeavesTheRestAlone) {
    answers = {change("test")};
    std::string out = check("tset chekcer teh");
    EXPECT_EQ(out, "test chekcer teh");
    EXPECT_TRUE(spell->Cancelled());
    EXPECT_FALSE(spell->Checking());
}

TEST_F(CheckLoop, NobodyToAnswerCancelsInsteadOfWaiting) {
    spell->OnPromptWord = nullptr;
    std::string out = check("fine tset words");
    EXPECT_EQ(out, "fine tset words");
    EXPECT_TRUE(spell->Cancelled());
    EXPECT_FALSE(spell->Checking());
}

TEST_F(CheckLoop, UndoKeepsOnlyTheNewestRecords) {
    spell->MaxUndo = 0;
    answers = {change("test"), [](TOrthosSpell3Base& s) { s.Check_Undo(); }, ignore()};
    EXPECT_EQ(check("tset chekcer"), "test chekcer"); // nothing to undo: the undo acts on nothing
    EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "chekcer", "chekcer"}));
}

TEST_F(CheckLoop, WordTableUnderOptions) {
    struct Case {
        const char* word;
        TSpellOptions options;
        bool acceptable;
    } cases[] = {
        {"house", 0, true},
        {"House", 0, true}, // capitalised form of a known word
        {"HOUSE", 0, true},
        {"hosue", 0, false},
        {"John's", 0, true}, // possessive of a known name
        {"hosue's", 0, false},
        {"x", 0, true},    // one character
        {"1234", 0, true}, // a number
        {"nan", 0, false},
        {"abc123", 0, false},
        {"abc123", SpellOptionBit(soNumbers), true},
        {"QWZX", 0, false},
        {"QWZX", SpellOptionBit(soUpcase), true},
        {"Orvalent", 0, true}, // product names
        {"q.w.", 0, false},
        {"q.w.", SpellOptionBit(soAbbreviations), true},
        {"&nbsp", 0, false},
        {"&nbsp", SpellOptionBit(soHTML), true},
    };
    for (const Case& c : cases) {
        spell->SetSpellOptions(c.options);
        EXPECT_EQ(spell->WordAcceptable(c.word), c.acceptable) << c.word << " options " << c.options;
    }
}

TEST_F(CheckLoop, MarkupAndAddressesUnderOptions) {
    const std::string text = "<span class=\"qwzx\">Hello</span> mail office@plmq.example now";
    spell->SetSpellOptions(SpellOptionBit(soHTML) | SpellOptionBit(soInternet));
    answers = {};
    check(text);
    EXPECT_EQ(prompted, std::vector<std::string>{});
    spell->SetSpellOptions(SpellOptionBit(soInternet));
    answers = {ignore(), ignore()};
    check(text);
    EXPECT_EQ(prompted, (std::vector<std::string>{"qwzx"}));
    prompted.clear();
    spell->SetSpellOptions(0);
    answers = {ignore(), ignore(), ignore()};
    check(text);
    EXPECT_EQ(prompted, (std::vector<std::string>{"qwzx", "plmq.example"}));
}

TEST_F(CheckLoop, SuggestionsRankTheIntendedWordFirst) {
    TStringList list;
    spell->Suggest("recieve", &list);
    ASSERT_GT(list.Count(), 0);
    EXPECT_EQ(list[0], "receive");
    spell->Suggest("teh", &list);
    int at = list.IndexOf("the");
    EXPECT_GE(at, 0);
    EXPECT_LT(at, 5);
    spell->MaxSuggestions = 3;
    spell->Suggest("wrod", &list);
    EXPECT_LE(list.Count(), 3);
    EXPECT_GT(list.Count(), 0);
    spell->MaxSuggestions = 0;
    spell->Suggest("wrod", &list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(CheckLoop, LearnedChoiceComesFirst) {
    spell->LearnSuggestion("wrod", "wordy");
    TStringList list;
    spell->Suggest("wrod", &list);
    ASSERT_GT(list.Count(), 0);
    EXPECT_EQ(list[0], "wordy");
}

TEST_F(CheckLoop, CountsWordsAndErrors) {
    EXPECT_EQ(spell->GetWordCountString("one two, three."), 3);
    EXPECT_EQ(spell->GetErrorCountString("one tow tree qwzx the the"), 2);
    EXPECT_TRUE(spell->ErrorsPresetInString("fine words and one qwzx"));
    EXPECT_FALSE(spell->ErrorsPresetInString("fine words only"));
    std::string text = "some words";
    TStringParser parser;
    parser.Initialize(&text);
    EXPECT_EQ(spell->GetWordCountParser(&parser, ctFromCursor), 0); // only a selection or all count
}

TEST_F(CheckLoop, ListenersHearOptionsConfigurationAndLeftWords) {
    const TSpellOptions options = spell->Configuration().SpellOptions; // loaded before anybody listens
    TObject first, second;
    std::vector<std::string> heard;
    auto note = [&](const std::string& what) { return [&heard, what](TObject*) { heard.push_back(what); }; };
    spell->OptionsChangedListeners().Add(&first, note("options 1"));
    spell->OptionsChangedListeners().Add(&second, note("options 2"));
    spell->OptionsChangedListeners().Add(&first, note("options again")); // an object is listed once
    spell->ConfigChangedListeners().Add(&second, note("configuration"));
    spell->SetSpellOptions(options | SpellOptionBit(soNumbers));
    EXPECT_EQ(heard, (std::vector<std::string>{"options 1", "options 2", "configuration"}));

    std::vector<std::string> left;
    spell->AddIgnoreWordListener(&first, [&](TObject*, bool before, int state) {
        left.push_back((before ? "before " : "after ") + std::to_string(state));
    });
    answers = {ignore(), [](TOrthosSpell3Base& s) { s.Check_IgnoreAll(); },
               [](TOrthosSpell3Base& s) {
                   s.RemoveIgnoreWordListener(nullptr); // nobody by that name: no change
                   s.Check_Add();
               }};
    check("qwzx vbnq zzkj");
    EXPECT_EQ(left, (std::vector<std::string>{"before 10", "after 10", "before 11", "after 11", "before 12",
                                              "after 12"}));
    spell->RemoveIgnoreWordListener(&first);
    left.clear();
    answers = {ignore()};
    check("plmq");
    EXPECT_TRUE(left.empty());
}

TEST_F(CheckLoop, DamagedUserDictionaryIsLeftAloneAndAddIsOff) {
    // The banner is right, the slot table is not: the file is refused and stays as it is.
    std::vector<uint8_t> bytes(kUserDictionaryBanner, kUserDictionaryBanner + 120);
    bytes.push_back(26);
    for (int32_t v : {0, 0, 0, 5, 1})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    WriteBytes(tmp.File("user.wdu"), bytes);
    answers = {[](TOrthosSpell3Base& s) {
        EXPECT_EQ(s.ActiveCustomDictionary(), nullptr);
        s.Check_Add();
    }};
    check("Zelvania");
    EXPECT_EQ(prompted, (std::vector<std::string>{"Zelvania"}));
    EXPECT_EQ(ReadBytes(tmp.File("user.wdu")), bytes);
}
