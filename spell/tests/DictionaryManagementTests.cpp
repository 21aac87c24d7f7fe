// Managing user dictionary files: renaming keeps every word in one file, listing shows each
// file once, and enabling follows the configuration.
#include <gtest/gtest.h>

#include <memory>

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
