#include "framework/core/Win.h"

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "controls/foundation/PathUtils.h"
#include "controls/foundation/ProgramRunner.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

TEST(PathUtils, SlashesNamesValuesAndQuotes) {
    EXPECT_EQ(AddSlash(""), "");
    EXPECT_EQ(AddSlash("C:"), "C:\\");
    EXPECT_EQ(AddSlash("a\\"), "a\\");
    EXPECT_EQ(RemoveSlash("a\\\\"), "a\\");
    EXPECT_EQ(RemoveSlash("a"), "a");
    EXPECT_EQ(RemoveSlash(""), "");

    struct Case {
        const char* Line;
        const char* Name;
        const char* Value;
    };
    const Case Cases[] = {
        {"a=b", "a", "b"}, {"ab", "", ""}, {"a=b=c", "a", "b=c"}, {"=x", "", "x"}, {"a=", "a", ""}};
    for (const Case& C : Cases) {
        EXPECT_EQ(ExtractNamePart(C.Line), C.Name) << C.Line;
        EXPECT_EQ(ExtractValuePart(C.Line), C.Value) << C.Line;
    }
    EXPECT_EQ(ExtractValuePartEx("k:v:w", ":"), "v:w");

    TStringList L;
    L.SetText("a=X\r\nb=x\r\nplain\r\nc=x\r\n");
    EXPECT_EQ(IndexOfValue(&L, "x"), 1);
    EXPECT_EQ(IndexOfValue(&L, "X"), 0);
    EXPECT_EQ(IndexOfValue(&L, ""), 2);
    EXPECT_EQ(IndexOfValue(&L, "y"), -1);

    EXPECT_EQ(Quote("say \"hi\"", '"'), "\"say \"hi\"\"");
    EXPECT_EQ(QuoteFileName("C:\\a b.txt"), "\"C:\\a b.txt\"");
}

TEST(PathUtils, FoldersOfThePlatform) {
    TTestFolder Folder;
    TScopedEnvironment Tmp("TMP", Folder.Path());
    struct Case {
        std::string Tmp;
        std::string Expected;
    };
    const Case Cases[] = {{"C:\\", "C:\\"}, {Folder.Path(), RemoveSlash(Folder.Path())}};
    for (const Case& C : Cases) {
        Tmp.Set(C.Tmp);
        EXPECT_EQ(GetTemporaryPath(), C.Expected);
    }
    Tmp.Set(Folder.Path());
    const std::string Temp = GetTemporaryFileName("zel");
    EXPECT_EQ(ExtractFilePath(Temp), Folder.Path());
    EXPECT_EQ(ExtractFileName(Temp).substr(0, 3), "zel");
    EXPECT_TRUE(FileExists(Temp));

    EXPECT_EQ(WindowsDirectory().back(), '\\');
    EXPECT_EQ(SystemDirectory().back(), '\\');
    EXPECT_EQ(ProgramFilesDirectory(), WindowsDirectory().substr(0, 2) + "\\Program Files\\");
    const std::string Unique = GetUniqueString("x");
    EXPECT_EQ(Unique.size(), 39u);
    EXPECT_EQ(Unique.substr(0, 2), "x{");
    EXPECT_NE(Unique, GetUniqueString("x"));
}

TEST(PathUtils, CreateAllDirectoriesListsOnlyWhatItMade) {
    TTestFolder Folder;
    CreateDirectoryA((Folder / "have").c_str(), nullptr);
    TStringList Created;
    EXPECT_TRUE(CreateAllDirectories(Folder / "have\\one\\two\\", &Created));
    EXPECT_TRUE(DirectoryExists(Folder / "have\\one\\two"));
    EXPECT_EQ(Created.Text(), Folder / "have\\one\r\n" + Folder / "have\\one\\two\r\n");

    Created.Clear();
    EXPECT_TRUE(CreateAllDirectories(Folder / "have\\one", &Created));
    EXPECT_EQ(Created.Count(), 0);

    // A file stands where a folder should be: nothing can be made below it.
    WriteWholeFile(Folder / "file", "x");
    EXPECT_FALSE(CreateAllDirectories(Folder / "file\\sub\\deeper", &Created));
    EXPECT_EQ(Created.Count(), 0);
    EXPECT_FALSE(CreateAllDirectories("Q:\\zel-no-drive\\a", &Created));
    EXPECT_EQ(Created.Count(), 0);

    TStringList Many;
    Many.Add(Folder / "m1\\a");
    Many.Add(Folder / "m2");
    EXPECT_TRUE(CreateFolders(&Many));
    EXPECT_TRUE(DirectoryExists(Folder / "m1\\a"));
    EXPECT_TRUE(DirectoryExists(Folder / "m2"));
}

// Files in the temporary folder whose names the capture file would have.
int CaptureFilesIn(const std::string& Dir) {
    int N = 0;
    WIN32_FIND_DATAA Data;
    HANDLE H = FindFirstFileA((Dir + "tem*.tmp").c_str(), &Data);
    if (H == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++N;
    while (FindNextFileA(H, &Data));
    FindClose(H);
    return N;
}

TEST(RunProgram, CapturesOutputAndExitCode) {
    TTestFolder Folder;
    TScopedEnvironment Tmp("TMP", Folder.Path());

    struct Case {
        std::string Command;
        bool Result;
        std::string Output;
    };
    const Case Cases[] = {
        {"cmd /c echo one& echo two", true, "one\r\ntwo\r\n"},
        {"cmd /c echo one& echo two& exit 2", false, "Program failed with code (2)\r\none\r\ntwo\r\n"},
        {"cmd /c echo hello& exit 3", false, "Program failed with code (3)\r\nhello\r\n"},
        {"cmd /c exit 0", true, ""},
    };
    for (const Case& C : Cases) {
        std::string Output = "stale";
        EXPECT_EQ(RunProgram(C.Command, "", Output, true), C.Result) << C.Command;
        EXPECT_EQ(Output, C.Output) << C.Command;
    }
    // Run in a given folder, without capture.
    std::string Output;
    EXPECT_TRUE(RunProgram("cmd /c echo x> here.txt", RemoveSlash(Folder.Path()), Output, false));
    EXPECT_EQ(ReadWholeFile(Folder / "here.txt"), "x\r\n");
    EXPECT_EQ(CaptureFilesIn(Folder.Path()), 0);
}

TEST(RunProgram, ReportsAFailedStartAndLeavesNoCaptureFile) {
    TTestFolder Folder;
    TScopedEnvironment Tmp("TMP", Folder.Path());
    std::string Output = "before ";
    EXPECT_FALSE(RunProgram("zel-no-such-program-here.exe", "", Output, true));
    const std::string Code = "ErrorCode=" + std::to_string(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(Output.size(), Code.size());
    EXPECT_EQ(Output.substr(Output.size() - Code.size()), Code);
    EXPECT_EQ(Output.find("before"), std::string::npos); // the platform's text replaced it
    EXPECT_NE(Output.find(". ErrorCode="), std::string::npos);
    EXPECT_EQ(CaptureFilesIn(Folder.Path()), 0);
}

TEST(RunProgram, StopsAProgramThatOutlivesTheTimeOut) {
    TTestFolder Folder;
    TScopedEnvironment Tmp("TMP", Folder.Path());
    std::string Output;
    const DWORD Start = GetTickCount();
    EXPECT_FALSE(RunProgram("cmd /c ping -n 30 127.0.0.1", "", Output, true, 300));
    EXPECT_LT(GetTickCount() - Start, 10000u);
    EXPECT_EQ(Output, "Program did not finish within 300 ms and was stopped");
    EXPECT_EQ(CaptureFilesIn(Folder.Path()), 0);
    EXPECT_EQ(RunBatFileEx("cmd /c exit 4", true), 4);
    EXPECT_EQ(RunBatFileEx("zel-no-such-program-here.exe", true), -1);
}

} // namespace

#include "controls/foundation/FileUtils.h"
#include "controls/foundation/ModuleResources.h"

namespace {

TEST(ModuleResources, RawDataAddedToAModuleFileCanBeReadBack) {
    TTestFolder Folder;
    const std::string Copy = Folder / "copy.exe";
    ASSERT_TRUE(CopyFileA((AppFolder() + "foundation_tests.exe").c_str(), Copy.c_str(), FALSE));
    EXPECT_TRUE(AddStringResource(Copy, "GREETING", std::string("hello\0world", 11)));
    EXPECT_FALSE(AddStringResource(Copy, "EMPTY", ""));
    EXPECT_FALSE(AddStringResource(Folder / "missing.exe", "X", "x"));
    HMODULE M = LoadLibraryExA(Copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(M, nullptr);
    EXPECT_EQ(LoadStringFromRCData("GREETING", M), std::string("hello\0world", 11));
    EXPECT_EQ(LoadStringFromRCData("EMPTY", M), "");
    const void* Data = nullptr;
    uint32_t Size = 0;
    EXPECT_EQ(GetResData("MISSING", Data, Size, M), nullptr);
    EXPECT_EQ(Size, 0u);
    FreeLibrary(M);
}

} // namespace
