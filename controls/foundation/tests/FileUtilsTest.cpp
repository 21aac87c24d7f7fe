#include "controls/foundation/FileUtils.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestFolder.h"
#include "controls/foundation/SystemUtils.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

void MakeTree(const TTestFolder& F) {
    CreateDirectoryA((F / "sub").c_str(), nullptr);
    CreateDirectoryA((F / "sub\\deep").c_str(), nullptr);
    CreateDirectoryA((F / ".hidden").c_str(), nullptr);
    for (const char* Name : {"a.txt", "b.htm", "sub\\c.txt", "sub\\deep\\d.txt", ".hidden\\e.txt"})
        WriteWholeFile(F / Name, Name);
}

TEST(FileUtils, EnumeratesFoldersRecursivelyAndStopsOnRequest) {
    TTestFolder F;
    MakeTree(F);
    TStringList Found;
    FindFiles(F / "*.txt", faAnyPlainFile, false, &Found);
    EXPECT_EQ(Found.Text(), F / "a.txt\r\n");
    FindFiles(F / "*.txt", faAnyPlainFile, true, &Found);
    Found.SetSorted(true);
    EXPECT_EQ(Found.Text(), F / "a.txt\r\n" + F / "sub\\c.txt\r\n" + F / "sub\\deep\\d.txt\r\n");

    int Seen = 0;
    EXPECT_EQ(ForEachFile(F / "*.txt", faAnyPlainFile, true,
                          [&](const std::string&, const WIN32_FIND_DATAA&, bool& Continue) {
                              Continue = ++Seen < 2;
                          }),
              2);
    EXPECT_EQ(ForEachFile(F / "*.txt", faAnyPlainFile, true, nullptr), 0);
    // Folders only when asked for.
    FindFiles(F / "*", FILE_ATTRIBUTE_DIRECTORY, false, &Found);
    EXPECT_NE(Found.IndexOf(F / "sub"), -1);
    EXPECT_EQ(Found.IndexOf(F / "a.txt"), -1);

    TStringList Ex;
    FindFilesEx(F.Path().substr(0, F.Path().size() - 1), "*.txt;;*.TXT", faAnyPlainFile, false, &Ex);
    EXPECT_EQ(Ex.Text(), AnsiUpperCase(F / "a.txt") + "\r\n");
    FindFilesEx(F.Path(), "", faAnyPlainFile, false, &Ex);
    EXPECT_NE(Ex.IndexOf(AnsiUpperCase(F / "a.txt")), -1);
    EXPECT_NE(Ex.IndexOf(AnsiUpperCase(F / "b.htm")), -1);
    EXPECT_EQ(Ex.IndexOf(AnsiUpperCase(F / "sub")), -1);
}

TEST(FileUtils, ParametersInTextsAndFiles) {
    TStringList Params;
    Params.SetText(" Name = World \r\nX=1\r\n");
    EXPECT_EQ(ChangeParamsEx("Hello %Name%, %NAME%! %x%%y%", &Params, "%"), "Hello World, World! 1%y%");
    EXPECT_EQ(ChangeParamsEx("$x$", &Params, "$"), "1");
    TTestFolder F;
    WriteWholeFile(F / "t.ini", "a=%name%\r\nb=%X%\r\n");
    ChangeParamsInFile(F / "t.ini", &Params);
    EXPECT_EQ(ReadWholeFile(F / "t.ini"), "a=World\r\nb=1\r\n");
    SaveStringToFile("raw\nbytes", F / "s.txt");
    EXPECT_EQ(ReadWholeFile(F / "s.txt"), "raw\nbytes");
}

TEST(FileUtils, AttributesRelativeNamesAndTheProgramFolder) {
    TTestFolder F;
    MakeTree(F);
    std::vector<std::string> Log;
    WriteLogEvent = [&](const std::string& V) { Log.push_back(V); };
    EXPECT_TRUE(ModifyFileAttr(F / "a.txt", 0, FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(GetFileAttributesA((F / "a.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(ModifyFileAttr(F / "a.txt", FILE_ATTRIBUTE_READONLY, 0));
    EXPECT_FALSE(GetFileAttributesA((F / "a.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(ModifyFileAttr(F / "missing", 0, 1));
    WriteLogEvent = nullptr;
    EXPECT_EQ(Log.size(), 2u);
    WriteToLog("silent");

    EXPECT_EQ(HSRelativeFileSearch("c.txt", F / "nothing;" + F / "sub"), F / "sub\\c.txt");
    EXPECT_EQ(HSRelativeFileSearch(F / "a.txt", ""), F / "a.txt");
    EXPECT_EQ(HSRelativeFileSearch("zz.txt", F.Path()), "");
    EXPECT_EQ(HSExpandRelativePathEx("..\\x", F / "sub"), F / "x");
    EXPECT_EQ(HSExpandRelativePathEx("C:\\y", F / "sub"), "C:\\y");
    EXPECT_EQ(AppFolder().back(), '\\');
    EXPECT_TRUE(FileExists(AppFolder() + "foundation_tests.exe"));
    EXPECT_TRUE(UnderWindowsNT());
    EXPECT_FALSE(CompiledWithPackages());
}

TEST(StreamRecords, RoundTripAndRefuseShortData) {
    TMemoryStream S;
    WriteShortStr(S, std::string(300, 'x'));
    WriteInt(S, -2);
    WriteWord(S, 0xBEEF);
    HSWriteStrWithLenToStream(S, "hello");
    ASSERT_EQ(S.Size(), 1 + 255 + 4 + 2 + 4 + 5);
    const auto* P = reinterpret_cast<const uint8_t*>(S.Memory());
    const uint8_t* End = P + S.Size();
    EXPECT_EQ(PReadShortStr(P, End), std::string(255, 'x'));
    EXPECT_EQ(P[0], 0xFE);
    EXPECT_EQ(P[4], 0xEF);
    EXPECT_EQ(P[5], 0xBE);
    S.SetPosition(1 + 255 + 4 + 2);
    EXPECT_EQ(HSReadStrWithLenFromStream(S), "hello");

    const uint8_t Short[] = {5, 'a', 'b'};
    const uint8_t* Q = Short;
    EXPECT_THROW(PReadShortStr(Q, Short + 3), EReadError);
    TMemoryStream Bad;
    WriteInt(Bad, 1000);
    Bad.WriteBuffer("abc", 3);
    Bad.SetPosition(0);
    EXPECT_THROW(HSReadStrWithLenFromStream(Bad), EReadError);

    POINT Pt{3, 4};
    EXPECT_FALSE(HSIsPointStructClear(Pt));
    HSClearPointStruct(Pt);
    EXPECT_TRUE(HSIsPointStructClear(Pt));
}

} // namespace
