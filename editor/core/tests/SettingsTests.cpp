// The settings records and their registry storage.
#include "CoreTestSupport.h"

#include "editor/core/EditorLink.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/Settings.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/ui/Graphics.h"

namespace {

constexpr const char* Interface = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Interface";
constexpr const char* Options = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Options";
constexpr const char* Tools = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Tools";
constexpr const char* Root = "Software\\Nortavia\\ZEL Orvalent Lite v2";

void writeRootValues(const char* installDir) {
    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(Root, true));
    if (installDir)
        reg.WriteString("InstallDirV30", installDir);
    reg.WriteInteger("FirstTimeAfterInstall", 0);
}

// Every integer value of the three keys with a distinct value, and every string.
struct Stored {
    const char* key;
    const char* name;
    int32_t value;
};
const Stored Integers[] = {
    {Interface, "MainFormTop", 31},
    {Interface, "MainFormLeft", 32},
    {Interface, "MainFormWidth", 733},
    {Interface, "MainFormHeight", 534},
    {Interface, "OpenDialogHeight", 401},
    {Interface, "OpenDialogWidth", 602},
    {Interface, "SaveDialogHeight", 403},
    {Interface, "SaveDialogWidth", 604},
    {Interface, "HorzSplit1Position", 155},
    {Interface, "ResultsMessageSplitPosition", 266},
    {Interface, "OpenedFilesSortBy", 2},
    {Interface, "OpenDialogViewStyle", 1},
    {Interface, "SaveDialogViewStyle", 2},
    {Interface, "OpenDialogSortColumn", 0},
    {Interface, "SaveDialogSortColumn", 1},
    {Interface, "TagInserterTop", 111},
    {Interface, "TagInserterLeft", 112},
    {Interface, "TagInserterWidth", 313},
    {Interface, "CSSInserterTop", 114},
    {Interface, "CSSInserterLeft", 115},
    {Interface, "CSSInserterWidth", 316},
    {Interface, "DragDropWindowTop", 41},
    {Interface, "DragDropWindowLeft", 42},
    {Interface, "Flags40", 0x2FC2038F},
    {Interface, "Flags2V45", 0x3FF78800},
    {Interface, "RightMargin", 72},
    {Interface, "EditorFontSize", 11},
    {Interface, "EditorBackgroundColor", 0x00EEEEEE},
    {Interface, "EditorFontColor", 0x00112233},
    {Interface, "EditorLineNumberColor", 0x00445566},
    {Options, "Flags40", 0x3F2003FD},
    {Options, "NoExtensionFileType", 8},
    {Tools, "Flags40", 0x3FFF0003},
    {Tools, "DefaultDragAndDropTool", 4},
};
struct StoredText {
    const char* key;
    const char* name;
    const char* value;
};
const StoredText Texts[] = {
    {Interface, "SelectedFolder", "C:\\work"},
    {Interface, "TabStops", "4,8"},
    {Interface, "Delimiters", "{}()"},
    {Interface, "EditorFontName", "Lucida Console"},
    {Options, "HTMLExtensions", "HTM,HTML,XHTML"},
    {Options, "JAVAExtensions", "JS"},
    {Options, "CExtensions", "C,H"},
    {Options, "VBScriptExtensions", "VBS"},
    {Options, "DelphiExtensions", "PAS,DPR"},
    {Options, "TextExtensions", "TXT"},
    {Options, "PerlExtensions", "PL"},
    {Options, "SQLExtensions", "SQL,DDL"},
    {Options, "CSSExtensions", "CSS,LESS"},
    {Options, "BrowserPreviewExtensions", "HTML"},
    {Options, "DefaultFileExtension", "htm"},
    {Options, "TagInserterConfigFilenameV30", "C:\\ins\\tags.txt"},
    {Options, "CSSInserterConfigFilenameV30", "C:\\ins\\css.txt"},
    {Tools, "LastToolFilename", "C:\\t\\last.html"},
    {Tools, "LastValidateToolFilename", "C:\\t\\valid.html"},
};

} // namespace

class SettingsTest : public CoreTest {};

// Written by WriteSettings from records filled by ReadSettings, every value comes back the same.
TEST_F(SettingsTest, EveryValueRoundTrips) {
    writeRootValues("C:\\Program Files\\ZEL\\");
    {
        QXRegistryEx reg;
        for (const Stored& s : Integers) {
            ASSERT_TRUE(reg.OpenKey(std::string("\\") + s.key, true));
            reg.WriteInteger(s.name, s.value);
        }
        for (const StoredText& s : Texts) {
            ASSERT_TRUE(reg.OpenKey(std::string("\\") + s.key, true));
            reg.WriteString(s.name, s.value);
        }
    }
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_STREQ(p->vol->programFolder.getString(), "C:\\Program Files\\ZEL");
    EXPECT_STREQ(p->vol->documentationFolder.getString(), "C:\\Program Files\\ZEL\\Documentation");
    EXPECT_EQ(p->iface->mainFormWidth, 733);
    EXPECT_EQ(p->config->editorFont->Name(), "Lucida Console");
    EXPECT_EQ(p->config->editorFont->Size(), 11);
    EXPECT_EQ(p->vol->normalWidth, 733);
    EXPECT_EQ(p->vol->normalBoundsValid, 1);

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor");
    ASSERT_EQ(WriteSettings(), 1);

    QXRegistryEx reg;
    for (const Stored& s : Integers) {
        ASSERT_TRUE(reg.OpenKey(std::string("\\") + s.key, false));
        int32_t expected = s.value;
        // The fixed settings of this program are applied after reading.
        if (s.key == Options && std::string(s.name) == "Flags40")
            expected = static_cast<int32_t>((static_cast<uint32_t>(s.value) & ~0xC00000u) | 0x8000000u);
        if (s.key == Interface && std::string(s.name) == "Flags40")
            expected = s.value & ~0x8010;
        if (s.key == Interface && std::string(s.name) == "Flags2V45")
            expected = s.value & ~2;
        EXPECT_EQ(reg.TRegistry::ReadInteger(s.name), expected) << s.name;
    }
    for (const StoredText& s : Texts) {
        if (std::string(s.name).find("ConfigFilenameV30") != std::string::npos)
            continue; // read only, written back only when missing
        ASSERT_TRUE(reg.OpenKey(std::string("\\") + s.key, false));
        EXPECT_EQ(reg.TRegistry::ReadString(s.name), s.value) << s.name;
    }
    EXPECT_STREQ(static_cast<inserterclass*>(p->vol->inserters.at(0))->configFile.getString(),
                 "C:\\ins\\tags.txt");
}

TEST_F(SettingsTest, WrongTypeKeepsTheDefaultAndMissingValuesAreCreated) {
    writeRootValues("C:\\ZEL");
    {
        QXRegistryEx reg;
        ASSERT_TRUE(reg.OpenKey(Interface, true));
        reg.WriteString("MainFormWidth", "wide"); // not a number
        reg.WriteString("MainFormHeight", "512"); // a number stored as text
        const char bytes[4] = {1, 2, 3, 4};
        reg.WriteBinaryData("RightMargin", bytes, 4); // a binary value
        reg.WriteInteger("TabStops", 5);              // an integer where a text belongs
    }
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_EQ(p->iface->mainFormWidth, 620);
    EXPECT_EQ(p->iface->mainFormHeight, 512);
    EXPECT_EQ(p->config->rightMargin, 80);
    EXPECT_STREQ(p->config->tabStops.getString(), "3,6,9,12");

    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(Interface, false));
    EXPECT_EQ(reg.TRegistry::ReadInteger("MainFormTop"), 10);
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + Options, false));
    EXPECT_EQ(reg.TRegistry::ReadString("HTMLExtensions"),
              "HTM,HTML,SHTM,SHTML,ASA,ASP,INC,CFM,CFML,XML,PHP,PHP3,PHP4,RT,SGML,SGM,SMI,SMIL,VTM,VTML,WML");
}

// An options value of thousands of characters is read whole, and the kind of a file follows it; a
// value past the bound keeps the default, and reading the settings still succeeds.
TEST_F(SettingsTest, LongValuesAreReadWithABound) {
    writeRootValues("C:\\ZEL");
    const std::string longList = std::string(5000, 'x') + ",page";
    {
        QXRegistryEx reg;
        ASSERT_TRUE(reg.OpenKey(Options, true));
        reg.WriteString("HTMLExtensions", longList.c_str());
        reg.WriteString("CSSExtensions", std::string(kMaxRegistryStringBytes + 10, 'c').c_str());
    }
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_EQ(std::string(p->config->htmlExtensions.getString()), longList);
    EXPECT_EQ(fileinfoclass::GetFileKind("C:\\site\\index.page", 0), KindHTML);
    EXPECT_EQ(std::string(p->config->cssExtensions.getString()), "CSS");
}

TEST_F(SettingsTest, DefaultUserValuesAreTakenAndCopied) {
    writeRootValues("C:\\ZEL");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_USERS, (std::string(".DEFAULT\\") + Interface).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD value = 77;
    RegSetValueExA(key, "MainFormTop", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_EQ(p->iface->mainFormTop, 77);
    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(Interface, false));
    EXPECT_EQ(reg.TRegistry::ReadInteger("MainFormTop"), 77);
}

// Without an install folder the defaults must not begin with "\": the program's own folder stands in.
TEST_F(SettingsTest, MissingInstallFolderMeansTheProgramsOwnFolder) {
    writeRootValues(nullptr);
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_EQ(std::string(p->vol->programFolder.getString()), ProgramOwnFolder());
    EXPECT_NE(p->vol->programFolder.charAt(0), '\\');
    const auto* tag = static_cast<inserterclass*>(p->vol->inserters.at(0));
    EXPECT_EQ(std::string(tag->configFile.getString()), ProgramOwnFolder() + "\\taginsertercfg.txt");
}

TEST_F(SettingsTest, FirstStartGreetsOnceAndQueuesTheAssociationOffer) {
    {
        QXRegistryEx reg;
        ASSERT_TRUE(reg.OpenKey(Root, true));
        reg.WriteString("InstallDirV30", "C:\\ZEL");
    }
    boxAnswer = IDNO;
    p = new prgclass;
    std::vector<std::string> statuses;
    size_t boxesAtGreeting = 99;
    SetSplashStatusSink([&](const std::string& s) {
        statuses.push_back(s);
        boxesAtGreeting = boxes.size();
    });
    ASSERT_EQ(ReadSettings(), 1);
    SetSplashStatusSink(nullptr);
    EXPECT_EQ(statuses, std::vector<std::string>{"Welcoming you to Orvalent..."});
    EXPECT_EQ(boxesAtGreeting, 0u) << "the splash tells the greeting before its question";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvalent: View Getting Started Page?");
    EXPECT_EQ(boxes[0].style, 0x10024u);
    ASSERT_EQ(p->vol->commandQueue.Count(), 1);
    EXPECT_STREQ(p->vol->commandQueue.GetText(0), "-6");
    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(Root, false));
    EXPECT_FALSE(reg.TRegistry::ReadBool("FirstTimeAfterInstall"));

    delete p;
    p = new prgclass;
    boxes.clear();
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsTest, FileFiltersAreUniqueBuiltInsOnTopAndThePerlMasksStayApart) {
    {
        QXRegistryEx reg;
        ASSERT_TRUE(
            reg.OpenKey("Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Shell\\FileFilters", true));
        reg.WriteInteger("NumberOfStrings", 3);
        reg.WriteString("String0", "My Pages (*.mine)");
        reg.WriteString("String1", "Perl Files (*.perl;*.pl;*.pls,*.plx;*.pm;*.cgi)");
        reg.WriteString("String2", "No brackets");
    }
    p = new prgclass;
    const StringArrayStore& f = p->iface->fileFilters;
    EXPECT_STREQ(f.GetText(0), "All Files (*.*)");
    EXPECT_STREQ(f.GetText(12), "WML Files (*.wml)");
    int perl = 0;
    for (int32_t i = 0; i < f.Count(); ++i) {
        perl += std::string(f.GetText(i)).rfind("Perl Files", 0) == 0;
        for (int32_t j = i + 1; j < f.Count(); ++j)
            EXPECT_STRNE(f.GetText(i), f.GetText(j));
    }
    EXPECT_EQ(perl, 1);
    const std::string combined = p->iface->combinedFilter.getString();
    EXPECT_EQ(combined.rfind("All Files (*.*)|*.*|C/C++ Files (*.c;*.cpp;*.h;*.hpp)|*.c;*.cpp;*.h;*.hpp|", 0),
              0u);
    EXPECT_NE(combined.find("|*.perl;*.pl;*.pls;*.plx;*.pm;*.cgi|"), std::string::npos);
    EXPECT_NE(combined.find("Text Files (*.txt)|*.txt"), std::string::npos);
    EXPECT_NE(combined.find("My Pages (*.mine)|*.mine"), std::string::npos);
    EXPECT_EQ(combined.find("No brackets"), std::string::npos);
}

TEST_F(SettingsTest, ViewStyleMapping) {
    EXPECT_EQ(SettingToViewStyle(7), 3);
    EXPECT_EQ(SettingToViewStyle(2), 2);
    EXPECT_EQ(ViewStyleToSetting(3), 3);
    EXPECT_EQ(ViewStyleToSetting(9), -1);
}

// Closing with a document the user keeps open writes nothing; a close that goes through stores the
// view state and the settings.
TEST_F(SettingsTest, SessionStateIsWrittenOnlyWhenEveryDocumentClosed) {
    writeRootValues("C:\\ZEL");
    p = new prgclass;
    ASSERT_EQ(ReadSettings(), 1);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor");
    bool allClosed = false;
    EditorLink().CloseALLFiles = [&] { return allClosed; };
    TSessionState state;
    state.haveBounds = true;
    state.left = 50;
    state.top = 60;
    state.width = 700;
    state.height = 500;
    EXPECT_EQ(SaveSessionState(state), 0);
    EXPECT_EQ(p->vol->closing, 0);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, Interface, 0, KEY_READ, &key), ERROR_SUCCESS);

    allClosed = true;
    p->iface->flags &= ~IfStoreNormalBounds;
    // The view state the window hands over: a collapsed pane (1.0) keeps its stored proportion.
    state.haveProportions = true;
    state.proportions[0] = 0.3f;
    state.proportions[1] = 1.0f;
    TFont memoFont;
    memoFont.SetName("Lucida Console");
    memoFont.SetSize(12);
    state.editorFont = &memoFont;
    state.haveDialogSizes = true;
    state.openDialogWidth = 611;
    state.openDialogHeight = 422;
    state.saveDialogWidth = 633;
    state.saveDialogHeight = 444;
    state.haveSelectedFolder = true;
    state.selectedFolder = "C:\\Sites";
    EXPECT_EQ(SaveSessionState(state), 1);
    EXPECT_EQ(p->vol->closing, 1);
    EXPECT_FLOAT_EQ(p->iface->paneProportions[0], 0.3f);
    EXPECT_FLOAT_EQ(p->iface->paneProportions[1], 0.4f);
    QXRegistryEx reg;
    ASSERT_TRUE(reg.OpenKey(Interface, false));
    EXPECT_EQ(reg.TRegistry::ReadInteger("MainFormLeft"), 50);
    EXPECT_EQ(reg.TRegistry::ReadInteger("MainFormWidth"), 700);
    EXPECT_EQ(reg.TRegistry::ReadString("EditorFontName"), "Lucida Console");
    EXPECT_EQ(reg.TRegistry::ReadInteger("EditorFontSize"), 12);
    EXPECT_EQ(reg.TRegistry::ReadInteger("OpenDialogWidth"), 611);
    EXPECT_EQ(reg.TRegistry::ReadInteger("SaveDialogHeight"), 444);
    EXPECT_EQ(reg.TRegistry::ReadString("SelectedFolder"), "C:\\Sites");
}
