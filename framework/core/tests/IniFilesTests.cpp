#include "framework/core/IniFiles.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "TempFolder.h"

namespace {

// The same checks over both INI classes.
void CheckRoundTrip(const std::function<std::unique_ptr<TCustomIniFile>()>& open) {
    {
        auto ini = open();
        ini->WriteString("Main", "Name", "hello world");
        ini->WriteInteger("Main", "Count", -42);
        ini->WriteBool("Main", "On", true);
        ini->WriteFloat("Main", "Ratio", 0.25);
        ini->WriteString("Other", "Key", "v");
        ini->WriteString("Other", "Gone", "x");
        ini->DeleteKey("Other", "Gone");
        ini->WriteString("Third", "K", "1");
        ini->EraseSection("Third");
        ini->UpdateFile();
    }
    auto ini = open();
    EXPECT_EQ(ini->ReadString("Main", "Name", ""), "hello world");
    EXPECT_EQ(ini->ReadString("main", "NAME", ""), "hello world");
    EXPECT_EQ(ini->ReadString("Main", "Missing", "def"), "def");
    EXPECT_EQ(ini->ReadInteger("Main", "Count", 0), -42);
    EXPECT_EQ(ini->ReadInteger("Main", "Name", 7), 7); // not a number
    EXPECT_TRUE(ini->ReadBool("Main", "On", false));
    EXPECT_TRUE(ini->ReadBool("Main", "Missing", true));
    EXPECT_EQ(ini->ReadFloat("Main", "Ratio", 0), 0.25);
    EXPECT_TRUE(ini->SectionExists("Other"));
    EXPECT_FALSE(ini->SectionExists("Third"));
    EXPECT_TRUE(ini->ValueExists("Other", "Key"));
    EXPECT_FALSE(ini->ValueExists("Other", "Gone"));
    TStringList l;
    ini->ReadSections(&l);
    EXPECT_EQ(l.CommaText(), "Main,Other");
    ini->ReadSection("Main", &l);
    EXPECT_EQ(l.CommaText(), "Name,Count,On,Ratio");
    ini->ReadSectionValues("Main", &l);
    EXPECT_EQ(l.Values("Count"), "-42");
    EXPECT_EQ(l.Values("On"), "1");
}

} // namespace

TEST(IniFiles, ProfileFileRoundTrip) {
    TempFolder tmp;
    std::string name = tmp.File("prof.ini");
    CheckRoundTrip([&] { return std::make_unique<TIniFile>(name); });
    EXPECT_TRUE(FileExists(name));
}

TEST(IniFiles, MemoryFileRoundTrip) {
    TempFolder tmp;
    std::string name = tmp.File("mem.ini");
    CheckRoundTrip([&] { return std::make_unique<TMemIniFile>(name); });
    TStringList text;
    text.LoadFromFile(name);
    EXPECT_EQ(text.Get(0), "[Main]");
    // The platform's profile functions read what the memory file wrote.
    TIniFile prof(name);
    EXPECT_EQ(prof.ReadInteger("Main", "Count", 0), -42);
}

TEST(IniFiles, HexIntegersAndWriteFailure) {
    TempFolder tmp;
    TMemIniFile ini(tmp.File("x.ini"));
    ini.WriteString("S", "Hex", "0x1F");
    ini.WriteString("S", "Dollar", "$10");
    EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "Dollar", 0), 16);
    TMemIniFile bad(tmp.File("no\\such\\dir\\x.ini"));
    bad.WriteString("S", "K", "V");
    try {
        bad.UpdateFile();
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + tmp.File("no\\such\\dir\\x.ini"));
    }
}
