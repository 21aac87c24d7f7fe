// The configuration store: exact value names in the registry and INI files, first-run defaults,
// tolerant reading of damaged values, user data and resetting.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/core/IniFiles.h"
#include "framework/core/Registry.h"
#include "spell/SpellBase.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

const char* const kEditorKey = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Dictionary";

// A fresh subkey for each test so that nothing one test saved reaches another.
std::string FreshSection() {
    static int n = 0;
    std::string id = "ConfigTest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++n);
    TRegistry reg;
    reg.DeleteKey(std::string("\\") + kEditorKey + "\\" + id);
    return id;
}

void Prepare(TOrthosSpell3Base& spell, const std::string& id) {
    spell.ConfigStorage = TConfigStorage::csRegistry;
    spell.ConfigRegistryKey = kEditorKey;
    spell.ConfigID = id;
    spell.ConfigDefaultMain.Clear();
    spell.ConfigDefaultMain.Add("American.wdm");
    spell.ConfigDefaultActiveCustom = "%ConfigID%.wdu";
}

std::string RegValue(const std::string& id, const std::string& name) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(std::string("\\") + kEditorKey + "\\" + id) || !reg.ValueExists(name))
        return "<absent>";
    return reg.ReadString(name);
}

void PutRegValues(const std::string& id, const std::map<std::string, std::string>& values) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kEditorKey + "\\" + id, true));
    for (const auto& [k, v] : values)
        reg.WriteString(k, v);
}

} // namespace

TEST(SpellConfiguration, EmptyStoreGivesTheOwnersDefaults) {
    std::string id = FreshSection();
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, id);
    spell.ConfigDefaultCustom.Add("Team.wdu");
    TOrthosConfig& c = spell.Configuration();
    EXPECT_TRUE(c.Loaded);
    EXPECT_EQ(c.MainDictionaries.GetText(), "American.wdm\r\n");
    EXPECT_EQ(c.ActiveCustom, id + ".wdu");
    // The default active dictionary joins the list of user dictionaries.
    EXPECT_EQ(c.CustomDictionaries.GetText(), "Team.wdu\r\n" + id + ".wdu\r\n");
    EXPECT_EQ(c.SpellOptions, spell.ConfigDefaultOptions);
    EXPECT_EQ(c.DialogX, -1);
    EXPECT_EQ(c.DialogY, -1);
}

TEST(SpellConfiguration, SavesTheExactValueNamesAndReadsThemBack) {
    std::string id = FreshSection();
    {
        TOrthosSpell3Base spell(nullptr);
        Prepare(spell, id);
        TOrthosConfig& c = spell.Configuration();
        c.MainDictionaries.Add("British.wdm");
        c.WriteActiveCustom("%AppDir%\\mine.wdu");
        c.WriteSpellOptions(SpellOptionBit(soHTML) | SpellOptionBit(soUser2) |
                            SpellOptionBit(soLiveSpelling));
        c.WriteDialogX(120);
        c.WriteDialogY(-40);
        c.NewDictionaryPaths.Add("D:\\b");
        c.NewDictionaryPaths.Add("C:\\a");
        c.SetConfigurationData("colour", "blue");
        c.SaveConfiguration();
        EXPECT_FALSE(c.Changed);
    }
    const std::map<std::string, std::string> expected = {
        {"_FirstRun", "+"},
        {"_Main_count", "2"},
        {"_Main_0", "American.wdm"},
        {"_Main_1", "British.wdm"},
        {"_Custom_count", "2"},
        {"_Custom_1", "%AppDir%\\mine.wdu"},
        {"_MSWordCustom_count", "0"},
        {"_ActiveCustom", "%AppDir%\\mine.wdu"}, // stored unexpanded
        {"_soLiveSpelling", "+"},
        {"_soLiveCorrect", "-"},
        {"_soUpcase", "-"},
        {"_soHTML", "+"},
        {"_soUser2", "+"},
        {"_soUser4", "-"},
        {"_DialogX", "120"},
        {"_DialogY", "-40"},
        {"_NewPaths_count", "2"},
        {"_NewPaths_0", "C:\\a"}, // kept sorted
        {"_UserData_count", "1"},
        {"_UserData_0", "colour"},
        {"User_colour", "blue"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(RegValue(id, name), value) << name;

    TOrthosSpell3Base again(nullptr);
    Prepare(again, id);
    TOrthosConfig& c = again.Configuration();
    EXPECT_EQ(c.MainDictionaries.GetText(), "American.wdm\r\nBritish.wdm\r\n");
    EXPECT_EQ(c.ActiveCustom, "%AppDir%\\mine.wdu");
    EXPECT_EQ(c.ReadActiveCustom(), again.ExpandVars("%AppDir%\\mine.wdu"));
    EXPECT_EQ(c.SpellOptions,
              SpellOptionBit(soHTML) | SpellOptionBit(soUser2) | SpellOptionBit(soLiveSpelling));
    EXPECT_EQ(c.DialogX, 120);
    EXPECT_EQ(c.DialogY, -40);
    EXPECT_EQ(c.NewDictionaryPaths.GetText(), "C:\\a\r\nD:\\b\r\n");
    EXPECT_EQ(c.GetConfigurationData("COLOUR"), "blue");
}

TEST(SpellConfiguration, DamagedAndPartialValuesReadTolerantly) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> values;
        std::string main;
        TSpellOptions options;
        int dialogX;
    };
    const Case cases[] = {
        {"first run marker '-' means an empty store",
         {{"_FirstRun", "-"}, {"_Main_count", "1"}, {"_Main_0", "Other.wdm"}, {"_soHTML", "+"}},
         "American.wdm\r\n",
         675,
         -1},
        {"only '+' sets an option",
         {{"_FirstRun", "+"}, {"_soHTML", "yes"}, {"_soNumbers", "+"}, {"_soUpcase", "+ "}},
         "",
         SpellOptionBit(soNumbers),
         -1},
        {"an empty item is skipped",
         {{"_FirstRun", "+"},
          {"_Main_count", "3"},
          {"_Main_0", "A.wdm"},
          {"_Main_1", ""},
          {"_Main_2", "C.wdm"}},
         "A.wdm\r\nC.wdm\r\n",
         0,
         -1},
        {"a count that is no number gives no items",
         {{"_FirstRun", "+"}, {"_Main_count", "three"}, {"_Main_0", "A.wdm"}, {"_DialogX", "abc"}},
         "",
         0,
         -1},
    };
    for (const Case& k : cases) {
        std::string id = FreshSection();
        PutRegValues(id, k.values);
        TOrthosSpell3Base spell(nullptr);
        Prepare(spell, id);
        spell.ConfigDefaultOptions = 675;
        TOrthosConfig& c = spell.Configuration();
        EXPECT_EQ(c.MainDictionaries.GetText(), k.main) << k.what;
        EXPECT_EQ(c.SpellOptions, k.options) << k.what;
        EXPECT_EQ(c.DialogX, k.dialogX) << k.what;
    }
}

TEST(SpellConfiguration, ShorterListLeavesOldItemsUnreadAndResetSavesFirst) {
    std::string id = FreshSection();
    TOrthosSpell3Base spell(nullptr);
    Prepare(spell, id);
    TOrthosConfig& c = spell.Configuration();
    for (const char* n : {"B.wdm", "C.wdm", "D.wdm", "E.wdm"})
        c.MainDictionaries.Add(n);
    c.SaveConfiguration();
    EXPECT_EQ(RegValue(id, "_Main_count"), "5");
    while (c.MainDictionaries.Count() > 2)
        c.MainDictionaries.Delete(c.MainDictionaries.Count() - 1);
    c.SaveConfiguration();
    EXPECT_EQ(RegValue(id, "_Main_count"), "2");
    EXPECT_EQ(RegValue(id, "_Main_4"), "E.wdm");
    c.ReloadConfiguration();
    EXPECT_EQ(c.MainDictionaries.Count(), 2);

    // Reset writes the current values once more, then takes the defaults.
    c.MainDictionaries.Add("Z.wdm");
    c.WriteDialogX(7);
    c.ResetConfigurationDefaults();
    EXPECT_EQ(RegValue(id, "_Main_2"), "Z.wdm");
    EXPECT_EQ(RegValue(id, "_DialogX"), "7");
    EXPECT_EQ(c.MainDictionaries.GetText(), "American.wdm\r\n");
    EXPECT_EQ(c.DialogX, -1);
    EXPECT_TRUE(c.Changed); // the defaults are stored at the next save
}

TEST(SpellConfiguration, UserDataAppendsNewNamesAndReplacesKnownOnes) {
    TOrthosSpell3Base spell(nullptr);
    spell.ConfigStorage = TConfigStorage::csNone;
    TOrthosConfig& c = spell.Configuration();
    c.SetConfigurationData("a", "1");
    c.SetConfigurationData("b", "2");
    c.SetConfigurationData("A", "3");
    EXPECT_EQ(c.UserDataNames.GetText(), "a\r\nb\r\n");
    EXPECT_EQ(c.UserDataValues.GetText(), "3\r\n2\r\n");
    EXPECT_EQ(c.GetConfigurationData("missing"), "");
}

TEST(SpellConfiguration, CallbackAndNoneStores) {
    TOrthosSpell3Base spell(nullptr);
    spell.ConfigStorage = TConfigStorage::csCallback;
    spell.ConfigID = "cb";
    std::map<std::string, std::string> store = {
        {"_FirstRun", "+"}, {"_soQuoted", "+"}, {"_ActiveCustom", "x.wdu"}};
    std::string sectionSeen;
    spell.OnConfigReadString = [&](TObject*, const std::string& section, const std::string& key,
                                   std::string& v) {
        sectionSeen = section;
        auto it = store.find(key);
        if (it != store.end())
            v = it->second;
    };
    spell.OnConfigWriteString = [&](TObject*, const std::string&, const std::string& key,
                                    const std::string& v) { store[key] = v; };
    TOrthosConfig& c = spell.Configuration();
    EXPECT_EQ(sectionSeen, "cb");
    EXPECT_EQ(c.SpellOptions, SpellOptionBit(soQuoted));
    EXPECT_EQ(c.ActiveCustom, "x.wdu");
    c.WriteDialogY(33);
    c.SaveConfiguration();
    EXPECT_EQ(store["_DialogY"], "33");
    EXPECT_EQ(store["_Custom_0"], "x.wdu");

    TOrthosSpell3Base none(nullptr);
    none.ConfigStorage = TConfigStorage::csNone;
    bool written = false;
    none.OnConfigWriteString = [&](TObject*, const std::string&, const std::string&, const std::string&) {
        written = true;
    };
    none.Configuration().WriteDialogX(5);
    none.Configuration().SaveConfiguration();
    EXPECT_FALSE(written);
}

TEST(SpellConfiguration, IniFileStoreCreatesItsFolder) {
    TempFolder tmp;
    std::string file = tmp.File("sub\\Spell.cfg");
    {
        TOrthosSpell3Base spell(nullptr);
        spell.ConfigStorage = TConfigStorage::csFile;
        spell.ConfigFilename = file;
        spell.ConfigID = "Someone";
        spell.Configuration().WriteSpellOptions(SpellOptionBit(soRepeated));
    } // saved when the component goes
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("Someone", "_FirstRun", ""), "+");
    EXPECT_EQ(ini.ReadString("Someone", "_soRepeated", ""), "+");
    EXPECT_EQ(ini.ReadString("Someone", "_soUpcase", ""), "-");
    DeleteFileA(file.c_str());
    RemoveDirectoryA(tmp.File("sub").c_str());
}
