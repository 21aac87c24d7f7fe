#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestFolder.h"
#include "TestRegistryKey.h"
#include "controls/foundation/ArchiveExtract.h"
#include "controls/foundation/FileAssociations.h"
#include "controls/foundation/FileRemoval.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PathUtils.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

// ---- an archive assembled in the test, served by stand-in library entries that write the way
// the outside library does: to DestName when set, else to DestPath plus the entry's path.

struct Entry {
    std::string Path;
    std::string Data;
    bool Folder = false;
};
std::vector<Entry> gArchive;
size_t gNext = 0;
bool gOpenFails = false;
std::vector<std::string> gWrites;
std::vector<int32_t> gOperations;
HANDLE const kArchive = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x5A));

HANDLE WINAPI FakeOpen(TRAROpenArchiveData* D) {
    gNext = 0;
    D->OpenResult = gOpenFails ? 15 : RAR_SUCCESS;
    return gOpenFails ? nullptr : kArchive;
}
int32_t WINAPI FakeClose(HANDLE) {
    return RAR_SUCCESS;
}
int32_t WINAPI FakeReadHeader(HANDLE, TRARHeaderData* H) {
    if (gNext >= gArchive.size())
        return RAR_END_ARCHIVE;
    *H = TRARHeaderData();
    std::snprintf(H->FileName, sizeof H->FileName, "%s", gArchive[gNext].Path.c_str());
    H->FileAttr = gArchive[gNext].Folder ? RAR_DIRECTORY_ATTR : 0;
    return RAR_SUCCESS;
}
int32_t WINAPI FakeProcess(HANDLE, int32_t Operation, const char* DestPath, const char* DestName) {
    const Entry& E = gArchive[gNext++];
    gOperations.push_back(Operation);
    if (Operation != opExtract)
        return RAR_SUCCESS;
    const std::string Target = DestName ? DestName : AddSlash(DestPath) + E.Path;
    gWrites.push_back(Target);
    if (E.Folder) {
        CreateAllDirectories(Target, nullptr);
        return RAR_SUCCESS;
    }
    WriteWholeFile(Target, E.Data);
    return RAR_SUCCESS;
}
void WINAPI FakeSetProc(HANDLE, void*) {}
void WINAPI FakeSetPassword(HANDLE, const char*) {}

struct FakeLibrary {
    explicit FakeLibrary(std::vector<Entry> Entries) {
        gArchive = std::move(Entries);
        gWrites.clear();
        gOperations.clear();
        gOpenFails = false;
        TUnRARFunctions F;
        F.RAROpenArchive = &FakeOpen;
        F.RARCloseArchive = &FakeClose;
        F.RARReadHeader = &FakeReadHeader;
        F.RARProcessFile = &FakeProcess;
        F.RARSetChangeVolProc = &FakeSetProc;
        F.RARSetProcessDataProc = &FakeSetProc;
        F.RARSetPassword = &FakeSetPassword;
        SetUnRARFunctions(F);
    }
    ~FakeLibrary() { UnloadUnRAR(); }
};

bool Exists(const std::string& Path) {
    return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ArchiveExtract, HostileEntriesLeaveNothingOutsideTheTarget) {
    TTestFolder Folder;
    const std::string Target = Folder / "target";
    CreateDirectoryA(Target.c_str(), nullptr);
    FakeLibrary Library({
        {"..\\escaped1.txt", "x"},
        {"sub\\..\\..\\escaped2.txt", "x"},
        {"sub/../../escaped3.txt", "x"},
        {Folder / "escaped4.txt", "x"}, // absolute with a drive
        {"\\escaped5.txt", "x"},        // absolute from the root
        {"C:escaped6.txt", "x"},        // drive-relative
        {"good.txt:stream", "x"},       // an alternate data stream
        {"docs", "", true},
        {"docs\\readme.txt", "kept"},
        {"sub\\..\\inside.txt", "fine"}, // stays inside once resolved, but ".." is refused anyway
    });
    TStringList Extracted, Created;
    EXPECT_FALSE(ExtractRARFile("hostile.rar", Target, nullptr, &Extracted, &Created, nullptr));
    for (const char* Name : {"escaped1.txt", "escaped2.txt", "escaped3.txt", "escaped4.txt"})
        EXPECT_FALSE(Exists(Folder / Name)) << Name;
    EXPECT_FALSE(Exists(Target + "\\inside.txt"));
    EXPECT_EQ(ReadWholeFile(Target + "\\docs\\readme.txt"), "kept");
    EXPECT_EQ(Extracted.Text(), AddSlash(Target) + "docs\\readme.txt\r\n");
    // Every refused entry was skipped, not left unread: the library moved on to the next one.
    EXPECT_EQ(gOperations.size(), 10u);
    for (const std::string& W : gWrites)
        EXPECT_EQ(W.rfind(AddSlash(Target), 0), 0u) << W;
}

TEST(ArchiveExtract, FilterSystemFilesListsAndFailures) {
    TTestFolder Folder;
    FakeLibrary Library({{"a\\b\\one.txt", "1"}, {"two.txt", "2"}, {"skip.txt", "3"}});
    TStringList Extracted, Created;
    const TRARFilter Filter = [](const TRARHeaderData& H, std::string&, std::string&) {
        return std::string(H.FileName) == "skip.txt" ? opSkip : opExtract;
    };
    EXPECT_TRUE(ExtractRARFile("a.rar", Folder / "out", Filter, &Extracted, &Created, nullptr));
    EXPECT_EQ(ReadWholeFile(Folder / "out\\a\\b\\one.txt"), "1");
    EXPECT_FALSE(Exists(Folder / "out\\skip.txt"));
    EXPECT_EQ(Extracted.Count(), 2);
    // Folders made for the entries are listed parents first.
    ASSERT_EQ(Created.Count(), 3);
    EXPECT_EQ(RemoveSlash(Created[0]), Folder / "out");
    EXPECT_EQ(RemoveSlash(Created[2]), Folder / "out\\a\\b");

    // A filter that points the name outside the folder is refused like the entry itself.
    FakeLibrary Again(std::vector<Entry>{{"ok.txt", "1"}});
    const TRARFilter Redirect = [&](const TRARHeaderData&, std::string&, std::string& Name) {
        Name = Folder / "out\\..\\..\\redirected.txt";
        return opExtract;
    };
    EXPECT_FALSE(ExtractRARFile("a.rar", Folder / "out", Redirect, nullptr, nullptr, nullptr));
    EXPECT_TRUE(gWrites.empty());

    gOpenFails = true;
    EXPECT_FALSE(ExtractRARFile("missing.rar", Folder / "out", nullptr, nullptr, nullptr, nullptr));
}

TEST(ArchiveExtract, SafePathRules) {
    TTestFolder Folder;
    struct Case {
        const char* Path;
        bool Safe;
    } Cases[] = {
        {"a.txt", true},     {"a\\b\\c.txt", true}, {"a/b.txt", true}, {"..", false},
        {"a\\..\\b", false}, {"a\\ ..\\b", false},  {"\\a", false},    {"/a", false},
        {"C:\\a", false},    {"C:a", false},        {"a:b", false},    {"", false},
        {"...\\a", true},    {"a..b.txt", true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(IsSafeArchivePath(Folder.Path(), C.Path), C.Safe) << C.Path;
}

TEST(ArchiveExtract, MissingLibraryRaises) {
    TTestFolder Folder;
    UnloadUnRAR();
    try {
        LoadUnRARFromFile(Folder / "no-such-library.dll");
        ADD_FAILURE();
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Can't load UNRAR.DLL");
    }
}

// ---- removal of files in use

TEST(FileRemoval, DeletesOrSchedulesWithoutABatchFile) {
    TTestFolder Folder;
    const std::string Free = Folder / "free.txt";
    WriteWholeFile(Free, "x");
    EXPECT_TRUE(RemoveFile(Free));
    EXPECT_FALSE(Exists(Free));
    EXPECT_TRUE(RemoveFile(Folder / "never-there.txt"));

    // A name that a script would have run as a second command stays a plain name.
    const std::string Busy = Folder / "busy & echo hacked.txt";
    WriteWholeFile(Busy, "x");
    HANDLE Lock = CreateFileA(Busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Lock, INVALID_HANDLE_VALUE);
    const bool Scheduled = RemoveFile(Busy);
    CloseHandle(Lock);
    EXPECT_FALSE(Exists(Folder / "$delme.bat"));
    if (Scheduled) {
        // The platform deletes it at the next start; nothing else happened to it.
        EXPECT_EQ(ReadWholeFile(Busy), "x");
    }
}

// ---- associations

class Associations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (Key.Key() + "\\Classes").c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &Root, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override { RegCloseKey(Root); }

    bool KeyExists(const std::string& Path) {
        HKEY H = nullptr;
        if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
            return false;
        RegCloseKey(H);
        return true;
    }
    std::string Default(const std::string& Path) {
        char Buffer[512] = {};
        DWORD Size = sizeof Buffer - 1;
        HKEY H = nullptr;
        if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
            return "<no key>";
        const LONG R = RegQueryValueExA(H, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(Buffer), &Size);
        RegCloseKey(H);
        return R == ERROR_SUCCESS ? Buffer : "<none>";
    }
    void Write(const std::string& Path, const char* Name, const std::string& Value) {
        HKEY H = nullptr;
        RegCreateKeyExA(Root, Path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &H, nullptr);
        RegSetValueExA(H, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>(Value.size() + 1));
        RegCloseKey(H);
    }

    TTestRegistryKey Key;
    HKEY Root = nullptr;
};

TEST_F(Associations, WritesTheThreeValuesAndRemovesThemAgain) {
    ASSERT_TRUE(AssociateFileExtIn(Root, ".zdoc", "ZEL.Doc", "C:\\zel.exe", 2, "C:\\zel.exe"));
    EXPECT_EQ(Default(".zdoc"), "ZEL.Doc");
    EXPECT_EQ(Default("ZEL.Doc\\DefaultIcon"), "C:\\zel.exe,2");
    EXPECT_EQ(Default("ZEL.Doc\\Shell\\Open\\Command"), "C:\\zel.exe \"%1\"");
    UnAssociateFileExtIn(Root, ".zdoc", "ZEL.Doc");
    EXPECT_FALSE(KeyExists(".zdoc"));
    EXPECT_FALSE(KeyExists("ZEL.Doc"));
}

TEST_F(Associations, KeepsWhatOtherProgramsWrote) {
    ASSERT_TRUE(AssociateFileExtIn(Root, "zdoc", "ZEL.Doc", "zel.exe", 0, "zel.exe"));
    Write(".zdoc\\OpenWithProgids", "Other.Doc", "");
    Write("ZEL.Doc\\Shell\\Edit\\Command", nullptr, "other.exe \"%1\"");
    Write("ZEL.Doc\\DefaultIcon", "Extra", "kept");
    UnAssociateFileExtIn(Root, ".zdoc", "ZEL.Doc");
    EXPECT_TRUE(KeyExists(".zdoc\\OpenWithProgids"));
    EXPECT_EQ(Default(".zdoc"), "<none>");
    EXPECT_EQ(Default("ZEL.Doc\\Shell\\Edit\\Command"), "other.exe \"%1\"");
    EXPECT_FALSE(KeyExists("ZEL.Doc\\Shell\\Open"));
    EXPECT_TRUE(KeyExists("ZEL.Doc\\DefaultIcon"));

    // An extension that another program has taken over since, and a type this program never
    // wrote, are left alone.
    ASSERT_TRUE(AssociateFileExtIn(Root, ".zz", "ZEL.Doc", "zel.exe", 0, "zel.exe"));
    Write(".zz", nullptr, "Other.Doc");
    Write("Other.Doc\\Shell\\Open\\Command", nullptr, "other.exe \"%1\"");
    UnAssociateFileExtIn(Root, ".zz", "ZEL.Doc");
    UnAssociateFileExtIn(Root, ".zz", "Other.Doc");
    EXPECT_EQ(Default(".zz"), "Other.Doc");
    EXPECT_EQ(Default("Other.Doc\\Shell\\Open\\Command"), "other.exe \"%1\"");

    // A type that existed before the association was made is not taken over by it.
    Write("Their.Doc\\Shell\\Open\\Command", nullptr, "their.exe \"%1\"");
    ASSERT_TRUE(AssociateFileExtIn(Root, ".yy", "Their.Doc", "zel.exe", 0, "zel.exe"));
    UnAssociateFileExtIn(Root, ".yy", "Their.Doc");
    EXPECT_TRUE(KeyExists("Their.Doc\\Shell\\Open\\Command"));
    EXPECT_TRUE(KeyExists("Their.Doc\\DefaultIcon"));
}

} // namespace
