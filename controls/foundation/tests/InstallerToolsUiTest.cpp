#include "controls/foundation/InstallerTools.h"

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "TestRegistryKey.h"
#include "UiTestSupport.h"
#include "controls/foundation/PathUtils.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

// Uninstall information under the test key instead of the machine's.
class InstallerTools : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SetUninstallLocation(HKEY_CURRENT_USER, Key.Key() + "\\Uninstall");
    }
    void TearDown() override {
        ResetUninstallLocation();
        UiTest::TearDown();
    }
    TTestRegistryKey Key;
};

TEST_F(InstallerTools, UninstallInformationComesAndGoes) {
    EXPECT_FALSE(IsAppInstalled("Kit"));
    EXPECT_EQ(GetUnInstallInfo("Kit", "DisplayName"), "");
    ASSERT_TRUE(AddUnInstaller("Kit", "\"C:\\kit\\remove.exe\" /all"));
    EXPECT_TRUE(IsAppInstalled("Kit"));
    EXPECT_EQ(GetUnInstallInfo("Kit", "DisplayName"), "Kit");
    EXPECT_EQ(GetUnInstallInfo("Kit", "UninstallString"), "\"C:\\kit\\remove.exe\" /all");
    EXPECT_TRUE(AddUnInstallInfo("Kit", "Version", "4.01"));
    EXPECT_EQ(GetUnInstallInfo("Kit", "Version"), "4.01");

    TStringList Files, Back;
    Files.Add("C:\\kit\\a.dll");
    Files.Add("C:\\kit\\b.hlp");
    EXPECT_TRUE(AddUnInstallFilesInfo("Kit", &Files));
    GetUninstallFilesInfo("Kit", &Back);
    Back.SetSorted(true);
    EXPECT_EQ(Back.Text(), Files.Text());
    EXPECT_TRUE(RemoveUninstallFilesInfo("Kit"));
    Back.Clear();
    GetUninstallFilesInfo("Kit", &Back);
    EXPECT_EQ(Back.Count(), 0);
    EXPECT_TRUE(IsAppInstalled("Kit"));

    AddUnInstallFilesInfo("Kit", &Files);
    EXPECT_TRUE(RemoveUnInstaller("Kit"));
    EXPECT_FALSE(IsAppInstalled("Kit"));
    EXPECT_FALSE(RemoveUnInstaller(""));
}

TEST_F(InstallerTools, PackagesAreKnownToTheirEnvironment) {
    SetIDERegistryBase(Key.Key() + "\\Environments");
    TScopeGuard Reset([] { ResetIDERegistryBase(); });
    EXPECT_EQ(IDERegistryKey(ideB5), Key.Key() + "\\Environments\\IDE B\\5.0");
    EXPECT_EQ(IDERegistryKey(ideA2), Key.Key() + "\\Environments\\IDE A\\2.0");
    ASSERT_TRUE(AddInstalledPackage(ideB5, "C:\\kit\\hsctl50.bpl", "Halden controls"));
    ASSERT_TRUE(AddInstalledPackage(ideB5, "C:\\kit\\hsdsgn50.bpl", "Halden design kit"));
    EXPECT_FALSE(AddInstalledPackage(ideB5, "", "nothing"));
    HKEY K = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (IDERegistryKey(ideB5) + "\\Known Packages").c_str(), 0,
                            KEY_READ, &K),
              ERROR_SUCCESS);
    TScopeGuard Close([&] { RegCloseKey(K); });
    char Value[64] = {};
    DWORD Size = sizeof Value, Type = 0;
    ASSERT_EQ(
        RegQueryValueExA(K, "C:\\kit\\hsdsgn50.bpl", nullptr, &Type, reinterpret_cast<BYTE*>(Value), &Size),
        ERROR_SUCCESS);
    EXPECT_EQ(Type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(Value, "Halden design kit");
    // Another version's key is left alone.
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (IDERegistryKey(ideA5) + "\\Known Packages").c_str(), 0,
                            KEY_READ, &K),
              ERROR_SUCCESS);
}

TEST_F(InstallerTools, CompilerOutputIsCutToItsErrors) {
    TStringList Output;
    Output.SetText("Pascal compiler Version 13.0 Copyright (c) 1983,99 the maker\r\n"
                   "unit1.pas(12)\r\n"
                   "unit1.pas(14) Error: Undeclared identifier: 'Foo'\r\n"
                   "unit1.pas(20) Warning: Variable 'I' might not have been initialized\r\n"
                   "unit1.pas(31) Fatal: Could not compile used unit 'Bar'\r\n"
                   "Error: banner Copyright line that only looks like an error\r\n"
                   "22 lines, 0.05 seconds.\r\n");
    ConvertErrors(&Output);
    EXPECT_EQ(Output.Text(), "unit1.pas(14) Error: Undeclared identifier: 'Foo'\r\n"
                             "unit1.pas(31) Fatal: Could not compile used unit 'Bar'\r\n");
    TStringList Clean;
    Clean.SetText("Pascal compiler Version 13.0\r\n22 lines, 0.05 seconds.\r\n");
    ConvertErrors(&Clean);
    EXPECT_EQ(Clean.Count(), 0);
    ConvertErrors(nullptr);
}

TEST_F(InstallerTools, PreviousVersionAsksBeforeGoingOn) {
    EXPECT_TRUE(InstallCheckPrevVersion("Kit")); // not installed: no question
    EXPECT_TRUE(Boxes.empty());
    AddUnInstaller("Kit", "remove.exe");
    BoxAnswer = IDCANCEL;
    EXPECT_FALSE(InstallCheckPrevVersion("Kit"));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Installation Error");
    EXPECT_NE(Boxes[0].Text.find("Kit"), std::string::npos);
    BoxAnswer = IDOK;
    EXPECT_TRUE(InstallCheckPrevVersion("Kit"));
    EXPECT_TRUE(InstallCheckRunningIDE("Kit")); // no design environment runs here
    EXPECT_EQ(Boxes.size(), 2u);
}

TEST_F(InstallerTools, HelpContentsEntries) {
    TTestFolder Folder;
    const std::string Cnt = Folder / "help.cnt";
    WriteWholeFile(Cnt, ":Base main.hlp\r\n:Index Main=main.hlp\r\n:Index Old=kit.hlp\r\n1 Topics\r\n");
    ASSERT_TRUE(AddHelpToCntFile(Cnt, "kit.hlp", "Kit Help"));
    EXPECT_EQ(ReadWholeFile(Cnt),
              ":Base main.hlp\r\n:Index Main=main.hlp\r\nKit Help =kit.hlp\r\n1 Topics\r\n");
    ASSERT_TRUE(RemoveHelpFromCntFile(Cnt, "kit.hlp"));
    EXPECT_EQ(ReadWholeFile(Cnt), ":Base main.hlp\r\n:Index Main=main.hlp\r\n1 Topics\r\n");
    EXPECT_TRUE(RemoveHelpFromCntFile(Cnt, "absent.hlp"));
    EXPECT_FALSE(AddHelpToCntFile(Folder / "missing.cnt", "kit.hlp", "Kit"));
    EXPECT_FALSE(FileExists(Folder / "missing.cnt"));
}

TEST_F(InstallerTools, TemplateMacrosAndLinks) {
    EXPECT_EQ(ProcessFileTemplate("%SYSTEM%a.dll;%WINDOWS%;%PROGRAMFILES%Kit;%OTHER%"),
              SystemDirectory() + "a.dll;" + WindowsDirectory() + ";" + AddSlash(ProgramFilesDirectory()) +
                  "Kit;%OTHER%");
    TTestFolder Folder;
    const std::string LinkFile = Folder / "kit.lnk";
    EXPECT_TRUE(CreateLink("C:\\windows\\notepad.exe", LinkFile, "Kit editor", Folder.Path()));
    EXPECT_TRUE(FileExists(LinkFile));
    EXPECT_FALSE(CreateLink("C:\\windows\\notepad.exe", Folder / "no\\such\\folder.lnk", "", ""));
}

TEST_F(InstallerTools, CDVolumeWithoutADevice) {
    if (GetCDDeviceID() >= 0)
        GTEST_SKIP() << "the machine has an auxiliary audio device";
    EXPECT_EQ(GetCDAudioVolume(), -1);
    SetCDAudioVolume(100); // nothing to set, nothing to fail
}

} // namespace
