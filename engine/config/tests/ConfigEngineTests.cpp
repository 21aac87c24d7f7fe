// Engine options in the registry and the configuration commands, called in-process with every
// box recorded.
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
#include "engine/OptionBits.h"
#include "engine/config/CfgFile.h"
#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"
#include "engine/config/ConfigOptions.h"
#include "engine/include/ZelValidator.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kOptionsKey[] = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Validator DLL";

struct Box {
    std::string text, caption;
    unsigned style;
};
std::vector<Box> gBoxes;

int recordBox(HWND, const char* text, const char* caption, UINT style) {
    gBoxes.push_back({text, caption, style});
    return defaultBoxAnswer(style);
}

std::string binFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/"));
}

// The install folder is read when the engine attaches: point it at the folder of the shipped
// configuration for this program's life, and put back what was there.
class ConfigEngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, ZEL_PRODUCT_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        char old[1024];
        DWORD size = sizeof old, type = 0;
        hadOld = RegQueryValueExA(key, "InstallDirV30", nullptr, &type, reinterpret_cast<BYTE*>(old),
                                  &size) == ERROR_SUCCESS;
        if (hadOld)
            oldValue.assign(old, size);
        const std::string bin = binFolder();
        RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(bin.c_str()),
                       static_cast<DWORD>(bin.size() + 1));
        RegCloseKey(key);
        setEngineMessageBox(recordBox);
        engineLoad(nullptr);
        reportDeferredFault();
        gBoxes.clear();
    }
    void TearDown() override {
        engineUnload();
        setEngineMessageBox(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, ZEL_PRODUCT_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            if (hadOld)
                RegSetValueExA(key, "InstallDirV30", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(oldValue.data()),
                               static_cast<DWORD>(oldValue.size()));
            else
                RegDeleteValueA(key, "InstallDirV30");
            RegCloseKey(key);
        }
    }

private:
    bool hadOld = false;
    std::string oldValue;
};

const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ConfigEngineEnvironment);

// Registry helpers independent of the code under test.
bool readValue(const std::string& subkey, const char* name, DWORD& type, std::string& data) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kOptionsKey) + subkey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    char buf[2048];
    DWORD size = sizeof buf;
    const bool ok =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (ok)
        data.assign(buf, size);
    return ok;
}

void writeValue(const std::string& subkey, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kOptionsKey) + subkey).c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

class ConfigEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZELFreeHandle(0, ZEL_FREE_ALL);
        RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);
        gBoxes.clear();
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        folder = std::string(base) + "zel_config_test_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        EXPECT_TRUE(gBoxes.empty()) << "unexpected box: " << gBoxes.front().text;
        gBoxes.clear();
        ZELFreeHandle(0, ZEL_FREE_ALL);
        setConfigFileDialog(nullptr);
        for (const std::string& f : files)
            DeleteFileA(f.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string writeFile(const char* name, const std::vector<uint8_t>& bytes) {
        std::string path = folder + "\\" + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        files.push_back(path);
        return path;
    }
    std::vector<uint8_t> smallConfig() {
        CfgStore s;
        std::string error;
        compileCfgSource("header 0 \"small\"\nelement p close optional in \"(everywhere)\"\n", s, error);
        return CfgWriter::write(s, 6);
    }
    Box takeOnlyBox() {
        EXPECT_EQ(gBoxes.size(), 1u);
        Box b = gBoxes.empty() ? Box{"", "", 0} : gBoxes.front();
        gBoxes.clear();
        return b;
    }
    std::string folder;
    std::vector<std::string> files;
};

TEST_F(ConfigEngineTest, NewHandleOnAnEmptyRegistryWritesEveryDefaultAndLoadsTheShippedFile) {
    const int32_t h =
        ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY | ZEL_HANDLE_LOAD_CONFIGURATION);
    ASSERT_GE(h, 0);
    const std::string bin = binFolder();
    struct IntCase {
        const char *subkey, *name;
        uint32_t value;
    };
    const IntCase ints[] = {
        {"\\Logging", "Flags40", 0x1FFF4},
        {"\\Tools", "Flags40", 32767},
        {"\\Tools", "ConvertToolFileType", 1},
        {"\\General", "Flags40", 0x3FFC0005},
        {"\\Validator", "EntityFlags40", 0x3FFE000F},
        {"\\Validator", "OutputFlags40", 0x3FE0076B},
        {"\\Validator", "ValidatorFlags40", 0x3F01E317 & ~zel::bits::validator::ClearedOnCreate},
        {"\\Validator", "ValidatorFlags250", 0x3FFF8000},
        {"\\Validator", "LineLength", 60},
        {"\\Validator", "MaximumErrors", 20},
        {"\\Validator", "MaximumWarnings", 20},
        {"\\Interface", "ProgressBarLeft", 10},
        {"\\Interface", "ProgressBarTop", 10},
    };
    for (const IntCase& c : ints) {
        DWORD type;
        std::string data;
        ASSERT_TRUE(readValue(c.subkey, c.name, type, data)) << c.subkey << " " << c.name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << c.name;
        EXPECT_EQ(*reinterpret_cast<const uint32_t*>(data.data()), c.value) << c.subkey << " " << c.name;
    }
    struct TextCase {
        const char *subkey, *name;
        std::string value;
    };
    const TextCase texts[] = {
        {"\\Logging", "LogFileNameV30", bin + "\\log.txt"},
        {"\\Tools", "DefaultTimeFormat", "hh':'mm':'ss tt"},
        {"\\Tools", "DefaultDateFormat", "ddd',' MMM dd yyyy"},
        {"\\General", "DefaultConfigurationFileNameV30", bin + "\\orvalenlite30.cfg"},
        {"\\General", "OutputViewer", "notepad.exe"},
        {"\\General", "OutputFileV30", bin + "\\output.txt"},
        {"\\General", "HelpFileQuillmar", ""},
    };
    for (const TextCase& c : texts) {
        DWORD type;
        std::string data;
        ASSERT_TRUE(readValue(c.subkey, c.name, type, data)) << c.name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << c.name;
        EXPECT_STREQ(data.c_str(), c.value.c_str()) << c.name;
    }
    EXPECT_STREQ(engineContext().helpFile.getString(), (bin + "\\validator.hlp").c_str());
    HKEY product;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ZEL_PRODUCT_KEY, 0, KEY_READ, &product), ERROR_SUCCESS);
    char version[16] = {};
    DWORD size = sizeof version - 1;
    EXPECT_EQ(RegQueryValueExA(product, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size),
              ERROR_SUCCESS);
    RegCloseKey(product);
    EXPECT_STREQ(version, "3.00");

    ConfigClass* options = optionsObject(h);
    ASSERT_NE(options->cfgStore, nullptr);
    EXPECT_TRUE(options->cfgStore->isLoaded());
    EXPECT_STREQ(options->cfgStore->getFileName(), (bin + "\\orvalenlite30.cfg").c_str());
    EXPECT_GT(options->cfgStore->getCount(CFG_TAGNAME), 100);
    EXPECT_STREQ(ZELGetString(h, 7001), options->cfgStore->getHeader(0));

    // A second read finds everything in place and changes nothing.
    EXPECT_EQ(ZELReadFromRegistry(h, 0), h);
    EXPECT_EQ(ZELGetIntegerEZ(h, 4000), 60);
    EXPECT_STREQ(ZELGetString(h, 7000), (bin + "\\orvalenlite30.cfg").c_str());
}

TEST_F(ConfigEngineTest, StoredValuesAreReadAndOddOnesKeepTheirDefaults) {
    const std::string name = "\\configs\\mine.cfg";
    writeValue("\\General", "DefaultConfigurationFileNameV30", REG_SZ, name.c_str(),
               static_cast<DWORD>(name.size() + 1));
    const int32_t errors = 35;
    writeValue("\\Validator", "MaximumErrors", REG_DWORD, &errors, 4);
    writeValue("\\Validator", "MaximumWarnings", REG_SZ, "7", 2);
    const unsigned char junk[2] = {1, 2};
    writeValue("\\Validator", "LineLength", REG_BINARY, junk, 2);
    const uint32_t flags = 0x3F01E317 | zel::bits::validator::ClearedOnCreate;
    writeValue("\\Validator", "ValidatorFlags40", REG_DWORD, &flags, 4);

    const int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY);
    ASSERT_GE(h, 0);
    EXPECT_STREQ(ZELGetString(h, 7000), (binFolder() + name).c_str())
        << "a leading backslash means the install folder";
    EXPECT_EQ(ZELGetIntegerEZ(h, 4001), 35);
    EXPECT_EQ(ZELGetIntegerEZ(h, 4002), 7) << "a number stored as text";
    EXPECT_EQ(ZELGetIntegerEZ(h, 4000), 60) << "a value of the wrong type keeps the default";
    EXPECT_EQ(ZELGetFlag(h, 1008, 0) & zel::bits::validator::ClearedOnCreate, 0)
        << "the macro, block and program bits never survive a read";
}

TEST_F(ConfigEngineTest, WritingStoresTheOptionsAndReportsWhenAsked) {
    const int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ASSERT_GE(h, 0);
    ConfigClass* options = optionsObject(h);
    options->validator.ValidatorFlags40 |= zel::bits::validator::MivaMacros;
    options->validator.LineLength = 99;
    options->general.OutputViewer.assign("viewer.exe");

    EXPECT_EQ(ZELWriteToRegistry(nullptr, h, 0), h);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(ZELWriteToRegistry(nullptr, h, ZEL_WRITE_SUCCESSBOX), h);
    Box box = takeOnlyBox();
    EXPECT_EQ(box.text, "The options have been successfully saved.");
    EXPECT_EQ(box.caption, "Orvalent: Success");
    EXPECT_EQ(box.style, 0x10040u);

    DWORD type;
    std::string data;
    EXPECT_FALSE(readValue("\\General", "HelpFileQuillmar", type, data)) << "the help file is never written";
    EXPECT_TRUE(readValue("\\Validator", "ValidatorFlags40", type, data));
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(data.data()) & zel::bits::validator::MivaMacros,
              zel::bits::validator::MivaMacros);

    const int32_t other = ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY);
    ASSERT_GE(other, 0);
    EXPECT_EQ(ZELGetIntegerEZ(other, 4000), 99);
    EXPECT_STREQ(optionsObject(other)->general.OutputViewer.getString(), "viewer.exe");
    EXPECT_EQ(ZELGetFlag(other, 1000, zel::bits::validator::MivaMacros), 0)
        << "the bit is cleared by the read";
}

TEST_F(ConfigEngineTest, RegistryExportsRefuseOtherHandles) {
    const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
    struct Case {
        const char* function;
        int32_t (*call)(int32_t handle);
    };
    const Case cases[] = {
        {"ZELReadFromRegistry", [](int32_t h) { return ZELReadFromRegistry(h, 0); }},
        {"ZELWriteToRegistry",
         [](int32_t h) { return ZELWriteToRegistry(nullptr, h, ZEL_WRITE_SUCCESSBOX); }},
        {"ZELHTMLConfiguration", [](int32_t h) { return ZELHTMLConfiguration(nullptr, h, 1); }},
        {"ZELHandleOperation", [](int32_t h) { return copyOptionsHandle(h, h, 1); }},
    };
    for (const Case& c : cases) {
        for (int32_t handle : {job, 77}) {
            EXPECT_EQ(c.call(handle), -1) << c.function;
            Box box = takeOnlyBox();
            EXPECT_EQ(box.text, std::string("ZEL Orvalent Lite DLL error in function or function call for ") +
                                    c.function + "(): bad handle");
        }
    }
}

TEST_F(ConfigEngineTest, CopyTakesTheCopiedGroupsOnly) {
    const int32_t from = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    const int32_t to = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ConfigClass* a = optionsObject(from);
    ConfigClass* b = optionsObject(to);
    a->validator.MaximumErrors = 3;
    a->general.OutputViewer.assign("x.exe");
    a->log.Flags40 = 1;
    a->network.Number = 5;
    a->tools.Flags40 = 9;
    a->window.ProgressBarLeft = 300;
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, to, ZEL_CFG_RESET | ZEL_CFG_DEFAULTS | ZEL_CFG_SILENT), to);
    ASSERT_NE(b->cfgStore, nullptr);

    EXPECT_EQ(copyOptionsHandle(from, to, 0), 0);
    EXPECT_EQ(b->validator.MaximumErrors, 20);
    EXPECT_EQ(copyOptionsHandle(from, to, 1), 0);
    EXPECT_EQ(b->validator.MaximumErrors, 3);
    EXPECT_STREQ(b->general.OutputViewer.getString(), "x.exe");
    EXPECT_EQ(b->log.Flags40, 1u);
    EXPECT_EQ(b->network.Number, 5);
    EXPECT_EQ(b->tools.Flags40, 32767u);
    EXPECT_EQ(b->window.ProgressBarLeft, 10);
    EXPECT_EQ(b->cfgStore, nullptr);
    EXPECT_EQ(engineContext().currentCfgStore, nullptr);
}

TEST_F(ConfigEngineTest, ConfigurationFlagsGiveTheirCodesAndBoxes) {
    const int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ASSERT_GE(h, 0);
    ConfigClass* options = optionsObject(h);
    for (int32_t refused : {0x10, 0x20, 0x40, 0x100, 0x400, 0x21}) {
        EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, refused), -9) << refused;
        EXPECT_TRUE(gBoxes.empty());
    }
    EXPECT_EQ(options->cfgStore, nullptr) << "a refused call does nothing";

    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_DEFAULTS), h);
    EXPECT_EQ(engineContext().currentOptions, options);
    ASSERT_NE(options->cfgStore, nullptr);
    EXPECT_EQ(engineContext().currentCfgStore, options->cfgStore);
    EXPECT_EQ(options->cfgStore->getCount(CFG_ATTVALUE), 0) << "without the reset flag nothing is reset";

    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_RESET | ZEL_CFG_DEFAULTS | ZEL_CFG_SILENT), h);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(options->cfgStore->getCount(CFG_ATTVALUE), 23);

    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_RESET | ZEL_CFG_EMPTY), h);
    Box box = takeOnlyBox();
    EXPECT_EQ(box.text, "The configuration has been reset.");
    EXPECT_EQ(box.caption, "Orvalent: Configuration Reset");
    EXPECT_EQ(box.style, 0x10040u);
    EXPECT_EQ(options->cfgStore->getCount(CFG_ATTVALUE), 0);
}

TEST_F(ConfigEngineTest, LoadsReportTheirOutcomeAndKeepTheWorkingConfiguration) {
    const int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ConfigClass* options = optionsObject(h);
    const std::string good = writeFile("good.cfg", smallConfig());
    CfgStore scratch;
    std::string error;
    compileCfgSource("element p close optional\n", scratch, error);
    const std::string broken = writeFile("broken.cfg", damagedCfgFile(scratch, "hugecount"));
    const std::string missing = folder + "\\missing.cfg";

    options->general.DefaultConfigurationFileNameV30.assign(good.c_str());
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_LOADDEFAULT | ZEL_CFG_REPORT), h);
    Box box = takeOnlyBox();
    EXPECT_EQ(box.text, "The configuration was loaded successfully.");
    EXPECT_EQ(box.style, 0x10040u);
    EXPECT_STREQ(ZELGetString(h, 7001), "small");

    struct Case {
        std::string file;
        int32_t flags;
        int32_t result;
        bool box;
    };
    const Case cases[] = {
        {missing, ZEL_CFG_LOADDEFAULT, -3, false},
        {missing, ZEL_CFG_LOADDEFAULT | ZEL_CFG_REPORT, -3, true},
        {broken, ZEL_CFG_LOADDEFAULT, -2, false},
        {broken, ZEL_CFG_LOADDEFAULT | ZEL_CFG_REPORT, -2, true},
    };
    for (const Case& c : cases) {
        options->general.DefaultConfigurationFileNameV30.assign(c.file.c_str());
        EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, c.flags), c.result) << c.file;
        if (c.box) {
            box = takeOnlyBox();
            EXPECT_EQ(box.text, "An error occurred loading the configuration.");
            EXPECT_EQ(box.caption, "Orvalent: Error Loading Configuration File");
            EXPECT_EQ(box.style, 0x10010u);
        }
        EXPECT_TRUE(gBoxes.empty());
        EXPECT_EQ(engineContext().currentCfgStore, options->cfgStore);
        EXPECT_STREQ(options->cfgStore->getFileName(), good.c_str()) << "the working configuration stays";
    }

    // With the second-name flag the second name is the one used.
    options->general.SecondConfigurationFileName.assign(good.c_str());
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_LOADDEFAULT | ZEL_CFG_LOADSECOND), h);
    EXPECT_EQ(
        ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY | ZEL_HANDLE_LOAD_CONFIGURATION) >= 0,
        true);
}

std::string gChosen;
bool gCancel = false;
std::string gStart;
bool chooseFile(HWND, const std::string& start, std::string& chosen) {
    gStart = start;
    if (gCancel)
        return false;
    chosen = gChosen;
    return true;
}

TEST_F(ConfigEngineTest, OpenDialogLoadsTheChosenFileOrFallsBackToTheDefaults) {
    setConfigFileDialog(chooseFile);
    const int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ConfigClass* options = optionsObject(h);
    const std::string good = writeFile("chosen.cfg", smallConfig());
    const std::string corrupt = writeFile("corrupt.cfg", {1, 2, 3});

    gCancel = true;
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_OPENDIALOG), h) << "cancel loads nothing";
    EXPECT_STREQ(gStart.c_str(), options->general.DefaultConfigurationFileNameV30.getString());
    gCancel = false;

    gChosen = good;
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_OPENDIALOG | ZEL_CFG_REPORT), h);
    Box box = takeOnlyBox();
    EXPECT_EQ(box.text, "The configuration was loaded successfully.");
    EXPECT_STREQ(ZELGetString(h, 7010), good.c_str());
    EXPECT_STREQ(options->cfgStore->getFileName(), good.c_str());

    gChosen = folder + "\\nothere.cfg";
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_OPENDIALOG), -5);
    box = takeOnlyBox();
    EXPECT_EQ(box.text, "There was an error opening the configuration file \"" + gChosen +
                            "\". The configuration could not be loaded.");
    EXPECT_EQ(box.caption, "Orvalent: Error Opening Configuration");

    gChosen = "\\nothere.cfg";
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_OPENDIALOG), -5);
    ASSERT_EQ(gBoxes.size(), 2u);
    EXPECT_EQ(gBoxes[1].caption, "Orvalent: Possible Cause");
    gBoxes.clear();

    gChosen = corrupt;
    EXPECT_EQ(ZELHTMLConfiguration(nullptr, h, ZEL_CFG_OPENDIALOG), -5);
    ASSERT_EQ(gBoxes.size(), 2u);
    EXPECT_EQ(gBoxes[0].text,
              "The configuration file \"" + corrupt +
                  "\" contains corrupt data, is not a configuration file, or is for a different "
                  "version of ZEL Orvalent. No configuration could be loaded.");
    EXPECT_EQ(gBoxes[0].caption, "Orvalent: Corrupt Configuration File");
    EXPECT_EQ(gBoxes[1].text, "The configuration has been reset.");
    gBoxes.clear();
    EXPECT_EQ(options->cfgStore->getCount(CFG_ATTVALUE), 23) << "the built-in defaults";
}

} // namespace
