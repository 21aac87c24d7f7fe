#include "controls/foundation/FileSystem.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestFolder.h"
#include "controls/foundation/FoundationErrors.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

namespace {

TEST(FileSystem, BackupNames) {
    struct Case {
        const char* Name;
        const char* Bak;
    };
    const Case Cases[] = {
        {"C:\\doc\\a.html", "C:\\doc\\a.~ht"},
        {"a.c", "a.~c"},
        {"a", "a.~"},
        {"C:\\doc\\a.pas", "C:\\doc\\a.~pa"},
        {"dir.x\\file", "dir.x\\file.~"},
        {"a.b.txt", "a.b.~tx"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(FileBakName(C.Name), C.Bak) << C.Name;
        EXPECT_EQ(Win32FileSystem()->GetBackupFileName(C.Name), C.Bak) << C.Name;
    }
}

TEST(FileSystem, TemporaryNamesAndBackupRenames) {
    TTestFolder Folder;
    const std::string Doc = Folder / "page.html";
    const std::string Temp = TempFileName(Doc);
    EXPECT_EQ(ExtractFilePath(Temp), Folder.Path());
    EXPECT_EQ(ExtractFileName(Temp).substr(0, 3), "pag");
    EXPECT_TRUE(FileExists(Temp));
    EXPECT_NE(Win32FileSystem()->GetTempFileName(Doc), Temp);
    try {
        TempFileName(Folder / "missing\\page.html");
        FAIL() << "no exception";
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Can't create temporary filename");
    }

    EXPECT_TRUE(RenameToBak(Doc)); // no file: nothing to do
    WriteWholeFile(Doc, "new");
    WriteWholeFile(Folder / "page.~ht", "old backup");
    EXPECT_TRUE(RenameToBak(Doc));
    EXPECT_FALSE(FileExists(Doc));
    EXPECT_EQ(ReadWholeFile(Folder / "page.~ht"), "new");
}

TEST(FileSystem, DiskStoreOperations) {
    TTestFolder Folder;
    TFileSystem* FS = Win32FileSystem();
    EXPECT_EQ(GetFileSystem(""), FS);
    ReleaseFileSystem(FS); // the default store stays
    EXPECT_EQ(Win32FileSystem(), FS);
    const std::string A = Folder / "a.txt";
    {
        std::unique_ptr<TStream> S(FS->GetFileStream(A, fmCreate));
        S->WriteString("abc");
    }
    EXPECT_TRUE(FS->FileExists(A));
    EXPECT_GT(FS->FileAge(A), 0);
    EXPECT_FALSE(FS->IsReadonly(A));
    SetFileAttributesA(A.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(FS->IsReadonly(A));
    SetFileAttributesA(A.c_str(), FILE_ATTRIBUTE_NORMAL);
    FS->RenameFileExcept(A, Folder / "b.txt");
    EXPECT_EQ(ReadWholeFile(Folder / "b.txt"), "abc");
    try {
        FS->RenameFileExcept(A, Folder / "c.txt");
        FAIL() << "no exception";
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Can't rename file " + A + " to file " + Folder / "c.txt");
    }
    FS->DeleteFileExcept(A); // missing: nothing
    FS->DeleteFileExcept(Folder / "b.txt");
    EXPECT_FALSE(FileExists(Folder / "b.txt"));

    const std::string Cwd = FS->GetCurrentDir();
    EXPECT_EQ(ExpandRelativeFileName(Folder / "doc.html", "img\\..\\pic.png"), Folder / "pic.png");
    EXPECT_EQ(ExpandRelativeFileName(Folder / "doc.html", ""), "");
    EXPECT_EQ(FS->GetCurrentDir(), Cwd);
}

TEST(FileSystem, StoresFromDescriptorsAreSharedAndCounted) {
    TWin32FileSystem Model(nullptr);
    const std::string Id = GetFilerID(&Model);
    TFileSystem* A = GetFileSystem(Id);
    ASSERT_NE(A, nullptr);
    EXPECT_NE(A, Win32FileSystem());
    EXPECT_EQ(A->ClassName(), "TWin32FileSystem");
    EXPECT_EQ(GetFileSystem(Id), A);
    ReleaseFileSystem(A);
    EXPECT_EQ(GetFileSystem(Id), A); // still cached: one use left before this
    ReleaseFileSystem(A);
    ReleaseFileSystem(A);
    TFileSystem* B = GetFileSystem(Id); // made anew
    ReleaseFileSystem(B);
    EXPECT_THROW(GetFileSystem("not a descriptor"), Exception);
}

} // namespace
