// Managing user dictionary files: renaming keeps every word in one file, listing shows each
// file once, and enabling follows the configuration.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "framework/core/IniFiles.h"
#include "framework/core/SysUtils.h"
#include "spell/SpellBase.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

void Prepare(TOrthosSpell3Base& spell, const TempFolder& tmp) {
    spell.ConfigStorage = TConfigStorage::csNone;
    spell.ConfigDictionaryDir.Clear();
    spell.ConfigDictionaryDir.Add(tmp.Path());
    spell.ConfigDefaultMain.Clear();
    spell.ConfigDefaultActiveCustom = "mine.wdu";
    spell.SuggestionsLearningDict = tmp.File("learned.wdl");
}

bool HasIgnoreWord(const std::string& path, const std::string& word) {
    TCustomDictionary d;
    d.WriteFilename(path);
    return d.IgnoreExists(word);
}

} // namespace

TEST(DictionaryManagement, RenamingTheModifiedActiveDictionaryKeepsAllItsWords) {
    TempFolder tmp;
    {
        TOrthosSpell3Base spell(nullptr);
        Prepare(spell, tmp);
        spell.WriteKeepDictionariesActive(true);
        spell.ReloadDictionaries();
        ASSERT_NE(spell.ActiveCustomDictionary(), nullptr);
        spell.ActiveCustomDictionary()->AddIgnore("firstword");
        spell.ActiveCustomDictionary()->Save();
        spell.ActiveCustomDictionary()->AddIgnore("unsavedword"); // modified, not yet written
        ASSERT_TRUE(spell.RenameCustomDictionary("mine.wdu", "renamed"));
        EXPECT_EQ(spell.Configuration().ActiveCustom, "renamed.wdu");
        EXPECT_EQ(spell.Configuration().CustomDictionaries.IndexOf("mine.wdu"), -1);
        EXPECT_GE(spell.Configuration().CustomDictionaries.IndexOf("renamed.wdu"), 0);
        // The reopened active dictionary is the renamed file and still knows both words.
        ASSERT_NE(spell.ActiveCustomDictionary(), nullptr);
        EXPECT_EQ(spell.ActiveCustomDictionary()->GetFilename(), tmp.File("renamed.wdu"));
        EXPECT_TRUE(spell.ActiveCustomDictionary()->IgnoreExists("unsavedword"));
        spell.WriteKeepDictionariesActive(false);
    }
    EXPECT_FALSE(FileExists(tmp.File("mine.wdu")));
    EXPECT_TRUE(HasIgnoreWord(tmp.File("renamed.wdu"), "firstword"));
    EXPECT_TRUE(HasIgnoreWord(tmp.File("renamed.wdu"), "unsavedword"));
}

TEST(DictionaryManagement, RenameRefusesAnExistingNameAndCreateAddsOnce) {
    TempFolder tmp;
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, tmp);
    spell.CreateNewCustomDictionary("C:\\elsewhere\\other.txt");
    EXPECT_TRUE(FileExists(tmp.File("other.wdu")));
    spell.CreateNewCustomDictionary("other");
    spell.CreateNewCustomDictionary("third.wdu");
    TStringList& list = spell.Configuration().CustomDictionaries;
    EXPECT_EQ(list.GetText(), "mine.wdu\r\nother.wdu\r\nthird.wdu\r\n");
    EXPECT_FALSE(spell.RenameCustomDictionary("other.wdu", "third"));
    EXPECT_FALSE(spell.RenameCustomDictionary("other.wdu", "other.wdu"));
    EXPECT_TRUE(FileExists(tmp.File("other.wdu")));

    spell.EnableCustomDictionary("third.wdu", false);
    EXPECT_EQ(list.IndexOf("third.wdu"), -1);
    spell.EnableCustomDictionary("mine.wdu", false); // the active one: the first remaining takes over
    EXPECT_EQ(spell.Configuration().ActiveCustom, "other.wdu");
    spell.RemoveCustomDictionary("other.wdu");
    EXPECT_FALSE(FileExists(tmp.File("other.wdu")));
}

TEST(DictionaryManagement, SameFileInTwoDirectoriesIsListedOnceFromTheFirst) {
    TempFolder a, b;
    for (const TempFolder* t : {&a, &b}) {
        TCustomDictionary d;
        d.WriteFilename(t->File("shared.wdu"));
        d.AddIgnore("x");
        d.Save();
    }
    {
        TCustomDictionary d;
        d.WriteFilename(b.File("only.wdu"));
        d.AddIgnore("y");
        d.Save();
    }
    TOrthosSpell3Base spell(nullptr);
    spell.ConfigStorage = TConfigStorage::csNone;
    spell.ConfigDictionaryDir.Clear();
    spell.ConfigDictionaryDir.Add(a.Path());
    spell.ConfigDictionaryDir.Add(b.Path());
    spell.ConfigDefaultActiveCustom = "";
    TStringList list;
    spell.GetAvailableDictionaries("wdu", list);
    EXPECT_EQ(list.GetText(), "shared.wdu\r\nonly.wdu\r\n");
    std::unique_ptr<TCustomDictionary> d(spell.GetCustomDictionary("shared.wdu"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetFilename(), a.File("shared.wdu"));
}

TEST(PropertyWriters, StoreWritersReloadFromTheNewPlaceOnlyWhereItMatters) {
    TempFolder tmp;
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, tmp);
    spell.ConfigStorage = TConfigStorage::csFile;
    spell.ConfigFilename = tmp.File("a.cfg");
    spell.ConfigID = "first";
    const TSpellOptions mine = SpellOptionBit(soHTML) | SpellOptionBit(soNumbers);
    const TSpellOptions defaults = spell.ConfigDefaultOptions;
    ASSERT_NE(mine, defaults);
    spell.SetSpellOptions(mine);
    auto options = [&] { return spell.Configuration().SpellOptions; };

    struct Step {
        const char* name;
        std::function<void()> write;
        TSpellOptions expected;
    } steps[] = {
        // Another store kind's place: no reload, the unsaved choice stays.
        {"registry key while on a file", [&] { spell.WriteConfigRegistryKey("Software\\ZelSpellTest\\x"); },
         mine},
        // A fresh file: the old one got the choice, the new one starts from the defaults.
        {"new file", [&] { spell.WriteConfigFilename(tmp.File("b.cfg")); }, defaults},
        {"back to the first file", [&] { spell.WriteConfigFilename(tmp.File("a.cfg")); }, mine},
        {"another configuration id", [&] { spell.WriteConfigID("second"); }, defaults},
        {"first id again", [&] { spell.WriteConfigID("first"); }, mine},
        {"no store", [&] { spell.WriteConfigStorage(TConfigStorage::csNone); }, defaults},
        {"file store again", [&] { spell.WriteConfigStorage(TConfigStorage::csFile); }, mine},
    };
    for (const Step& s : steps) {
        s.write();
        EXPECT_EQ(options(), s.expected) << s.name;
    }
    TIniFile ini(tmp.File("a.cfg"));
    EXPECT_EQ(ini.ReadString("first", "_soHTML", "?"), "+");
}

TEST(PropertyWriters, DictionaryFolderWriterListsTheNewFolders) {
    TempFolder a, b;
    for (const auto& [t, name] : {std::pair{&a, "inA.wdu"}, std::pair{&b, "inB.wdu"}}) {
        TCustomDictionary d;
        d.WriteFilename(t->File(name));
        d.AddIgnore("x");
        d.Save();
    }
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, a);
    spell.ConfigDefaultActiveCustom = "";
    EXPECT_EQ(spell.ReadAvailableCustom()->GetText(), "inA.wdu\r\n");
    TStringList dirs;
    dirs.Add(b.Path());
    spell.WriteConfigDictionaryDir(dirs);
    EXPECT_EQ(spell.ConfigDictionaryDir.GetText(), b.Path() + "\r\n");
    EXPECT_EQ(spell.ReadAvailableCustom()->GetText(), "inB.wdu\r\n");

    TStringList mains;
    mains.Add("One.wdm");
    mains.Add("Two.wdm");
    spell.WriteDefaultMain(mains);
    EXPECT_EQ(spell.ConfigDefaultMain.GetText(), "One.wdm\r\nTwo.wdm\r\n");
    spell.WriteDefaultCustom(mains);
    EXPECT_EQ(spell.ConfigDefaultCustom.GetText(), "One.wdm\r\nTwo.wdm\r\n");
}

TEST(PropertyWriters, LearningAndMappingWritersSwapTheirDictionaries) {
    TempFolder tmp;
    {
        TCustomDictionary map;
        map.WriteFilename(tmp.File("map.wdu"));
        map.AddAutoCorrect("colour", "color");
        map.Save();
    }
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, tmp);
    spell.WriteKeepDictionariesActive(true);
    spell.ReloadDictionaries();
    ASSERT_NE(spell.LearnedDictionary(), nullptr);
    spell.LearnSuggestion("teh", "the");

    // Off: the learned pairs are written and the dictionary let go; on again: read back.
    spell.WriteLearnSuggestions(false);
    EXPECT_EQ(spell.LearnedDictionary(), nullptr);
    {
        TCustomDictionary learned;
        learned.WriteFilename(tmp.File("learned.wdl"));
        std::string c;
        EXPECT_TRUE(learned.AutoCorrectExists("teh", c));
    }
    spell.WriteLearnSuggestions(true);
    ASSERT_NE(spell.LearnedDictionary(), nullptr);
    std::string c;
    EXPECT_TRUE(spell.LearnedDictionary()->AutoCorrectExists("teh", c));
    spell.WriteSuggestionsDictFN(tmp.File("other.wdl"));
    ASSERT_NE(spell.LearnedDictionary(), nullptr);
    EXPECT_EQ(spell.LearnedDictionary()->GetFilename(), tmp.File("other.wdl"));

    EXPECT_FALSE(spell.WordHasCorrection("colour", c));
    spell.WriteMappingDictionary(tmp.File("map.wdu"));
    EXPECT_TRUE(spell.WordHasCorrection("colour", c));
    EXPECT_EQ(c, "color");
    spell.WriteMappingDictionary("");
    EXPECT_FALSE(spell.WordHasCorrection("colour", c));

    // A generator or map handed over replaces the old one; null keeps it.
    auto* generator = new TSuggestionsGenerator();
    spell.WriteSuggestions(generator);
    EXPECT_EQ(&spell.Suggestions(), generator);
    spell.WriteSuggestions(nullptr);
    EXPECT_EQ(&spell.Suggestions(), generator);
    auto* map = new TPhoneticsMap();
    spell.WritePhoneticsMap(map);
    EXPECT_EQ(&spell.PhoneticsMap(), map);
    spell.WriteKeepDictionariesActive(false);
}
