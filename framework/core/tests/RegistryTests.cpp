#include "framework/core/Registry.h"

#include <gtest/gtest.h>

#include "framework/core/RegistryIniFile.h"
#include "framework/core/Strings.h"

namespace {

const char* const kTestKey = "\\Software\\ZELTests\\FrameworkCore";

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        TRegistry r;
        r.DeleteKey(kTestKey);
        EXPECT_FALSE(r.KeyExists(kTestKey));
    }
};

} // namespace

TEST_F(RegistryTest, TypedValuesRoundTrip) {
    {
        TRegistry r;
        EXPECT_EQ(r.RootKey(), HKEY_CURRENT_USER);
        ASSERT_TRUE(r.OpenKey(kTestKey, true));
        EXPECT_EQ(r.CurrentPath(), "Software\\ZELTests\\FrameworkCore");
        r.WriteInteger("Int", -123456);
        r.WriteString("Str", "caf\xE9 'x'");
        r.WriteString("Empty", "");
        r.WriteBool("Flag", true);
        r.WriteFloat("Float", 2.5e-3);
        r.WriteCurrency("Money", 123450000);
        r.WriteDate("Date", 45000.5);
        const unsigned char bytes[] = {0, 1, 2, 255};
        r.WriteBinaryData("Bin", bytes, 4);
        r.WriteExpandString("Exp", "%TEMP%\\x");
        r.WriteString("Long", std::string(1000, 'L'));
    }
    TRegistry r;
    ASSERT_TRUE(r.OpenKeyReadOnly(kTestKey));
    EXPECT_EQ(r.ReadInteger("Int"), -123456);
    EXPECT_EQ(r.ReadString("Str"), "caf\xE9 'x'");
    EXPECT_EQ(r.ReadString("Empty"), "");
    EXPECT_EQ(r.ReadString("Missing"), "");
    EXPECT_TRUE(r.ReadBool("Flag"));
    EXPECT_EQ(r.ReadFloat("Float"), 2.5e-3);
    EXPECT_EQ(r.ReadCurrency("Money"), 123450000);
    EXPECT_EQ(r.ReadDate("Date"), 45000.5);
    EXPECT_EQ(r.ReadString("Exp"), "%TEMP%\\x");
    EXPECT_EQ(r.ReadString("Long"), std::string(1000, 'L')) << "longer than the first query takes";
    unsigned char buf[8] = {};
    EXPECT_EQ(r.ReadBinaryData("Bin", buf, sizeof buf), 4);
    EXPECT_EQ(buf[3], 255);
    EXPECT_EQ(r.ReadBinaryData("Missing", buf, sizeof buf), 0);

    struct TypeCase {
        const char* name;
        TRegDataType type;
        int32_t size;
    } types[] = {{"Int", rdInteger, 4},
                 {"Str", rdString, 9},
                 {"Bin", rdBinary, 4},
                 {"Exp", rdExpandString, 9},
                 {"Missing", rdUnknown, -1}};
    for (const auto& t : types) {
        EXPECT_EQ(r.GetDataType(t.name), t.type) << t.name;
        EXPECT_EQ(r.GetDataSize(t.name), t.size) << t.name;
        EXPECT_EQ(r.ValueExists(t.name), t.size >= 0) << t.name;
    }
    TStringList names;
    r.GetValueNames(&names);
    EXPECT_EQ(names.Count(), 10);
    EXPECT_GE(names.IndexOf("money"), 0);
}

TEST_F(RegistryTest, ReadErrorsCarryTheValueName) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(kTestKey, true));
    r.WriteString("Str", "12");
    const char big[16] = {};
    r.WriteBinaryData("Big", big, 16);
    // Past the bound; a value of five thousand characters is a setting like any other.
    r.WriteString("Huge", std::string(kMaxRegistryStringBytes, 'h'));
    r.WriteString("Long", std::string(5000, 'l'));
    EXPECT_EQ(r.ReadString("Long"), std::string(5000, 'l'));
    struct Case {
        std::function<void()> read;
        const char* message;
    } cases[] = {
        {[&] { r.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
        {[&] { r.ReadInteger("Str"); }, "Invalid data type for 'Str'"},
        {[&] { r.ReadInteger("Big"); }, "Invalid data type for 'Big'"},
        {[&] { r.ReadString("Big"); }, "Invalid data type for 'Big'"},
        {[&] { r.ReadString("Huge"); }, "Invalid data type for 'Huge'"},
        {[&] { r.ReadFloat("Str"); }, "Invalid data type for 'Str'"},
        {[&] { r.ReadFloat("Missing"); }, "Failed to get data for 'Missing'"},
        {[&] {
             char small[4];
             r.ReadBinaryData("Big", small, 4);
         },
         "Invalid data type for 'Big'"},
    };
    for (auto& c : cases) {
        try {
            c.read();
            ADD_FAILURE() << c.message;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    r.CloseKey();
    try {
        r.WriteInteger("NoKey", 1); // no key open
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'NoKey'");
    }
}

TEST_F(RegistryTest, KeysRelativePathsAndDeletion) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(kTestKey, true));
    EXPECT_TRUE(r.CreateKey("A\\Deep\\Deeper"));
    EXPECT_TRUE(r.CreateKey("B"));
    EXPECT_TRUE(r.HasSubKeys());
    TStringList keys;
    r.GetKeyNames(&keys);
    keys.SetSorted(true);
    EXPECT_EQ(keys.CommaText(), "A,B");
    EXPECT_TRUE(r.KeyExists("A\\Deep"));
    EXPECT_FALSE(r.OpenKey("Nope", false));
    EXPECT_EQ(r.CurrentPath(), "Software\\ZELTests\\FrameworkCore"); // a failed open keeps the key
    ASSERT_TRUE(r.OpenKey("A", false));                              // relative to the open key
    EXPECT_EQ(r.CurrentPath(), "Software\\ZELTests\\FrameworkCore\\A");
    r.WriteInteger("V", 1);
    EXPECT_TRUE(r.DeleteValue("V"));
    EXPECT_FALSE(r.DeleteValue("V"));
    r.CloseKey();
    EXPECT_TRUE(r.DeleteKey(std::string(kTestKey) + "\\A")); // with its subkeys
    EXPECT_FALSE(r.KeyExists(std::string(kTestKey) + "\\A"));
    EXPECT_TRUE(r.KeyExists(std::string(kTestKey) + "\\B"));
    EXPECT_FALSE(r.OpenKeyReadOnly(std::string(kTestKey) + "\\Missing"));
}

TEST_F(RegistryTest, RegistryIniFileKeepsSectionsAsSubkeys) {
    {
        TRegistryIniFile ini("Software\\ZELTests\\FrameworkCore\\Ini");
        ini.WriteString("Dictionary", "Main", "en-GB");
        ini.WriteInteger("Dictionary", "Count", 3);
        ini.WriteBool("Options", "IgnoreCaps", true);
        ini.WriteString("Options", "Gone", "x");
        ini.DeleteKey("Options", "Gone");
        ini.WriteString("Old", "K", "V");
        ini.EraseSection("Old");
    }
    TRegistry r;
    ASSERT_TRUE(r.OpenKeyReadOnly(std::string(kTestKey) + "\\Ini\\Dictionary"));
    EXPECT_EQ(r.ReadString("Main"), "en-GB");
    EXPECT_EQ(r.GetDataType("Count"), rdInteger);
    r.CloseKey();

    TRegistryIniFile ini("Software\\ZELTests\\FrameworkCore\\Ini");
    EXPECT_EQ(ini.ReadString("dictionary", "MAIN", ""), "en-GB");
    EXPECT_EQ(ini.ReadInteger("Dictionary", "Count", 0), 3);
    EXPECT_EQ(ini.ReadString("Dictionary", "Count", ""), "3");
    EXPECT_EQ(ini.ReadInteger("Dictionary", "Main", 9), 9); // not a number
    EXPECT_TRUE(ini.ReadBool("Options", "IgnoreCaps", false));
    EXPECT_EQ(ini.ReadString("Missing", "K", "def"), "def");
    EXPECT_FALSE(ini.ValueExists("Options", "Gone"));
    EXPECT_FALSE(ini.SectionExists("Old"));
    TStringList l;
    ini.ReadSections(&l);
    l.SetSorted(true);
    EXPECT_EQ(l.CommaText(), "Dictionary,Options");
    ini.ReadSectionValues("Dictionary", &l);
    EXPECT_EQ(l.Values("Main"), "en-GB");
    EXPECT_EQ(l.Values("Count"), "3");
}
