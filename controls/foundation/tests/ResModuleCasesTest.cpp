// Broken program modules met by the module-resource fuzzer (bench/fuzz-resmodule), each made
// again here by one change to a copy of this test program: the readers answer "not there" and
// the writers refuse, without a fault, and a refused write leaves the module file as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "TestFolder.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/ModuleResources.h"
#include "controls/foundation/ResFileSystem.h"

namespace {

uint32_t U32(const std::string& B, size_t At) {
    uint32_t V = 0;
    if (At + 4 <= B.size())
        std::memcpy(&V, B.data() + At, 4);
    return V;
}
uint16_t U16(const std::string& B, size_t At) {
    uint16_t V = 0;
    if (At + 2 <= B.size())
        std::memcpy(&V, B.data() + At, 2);
    return V;
}
void Put32(std::string& B, size_t At, uint32_t V) {
    ASSERT_LE(At + 4, B.size());
    std::memcpy(&B[At], &V, 4);
}

// Where the fields of a module are: the headers, and the resource tree down to one resource.
struct TModuleLayout {
    size_t Pe = 0, Opt = 0, Dirs = 0, Sections = 0, ResRoot = 0;
    uint16_t NumSections = 0;

    explicit TModuleLayout(const std::string& B) {
        Pe = U32(B, 0x3C);
        Opt = Pe + 24;
        Dirs = Opt + (U16(B, Opt) == 0x20B ? 112 : 96);
        Sections = Opt + U16(B, Pe + 20);
        NumSections = U16(B, Pe + 6);
        const uint32_t ResRva = U32(B, Dirs + 2 * 8);
        for (uint16_t I = 0; I < NumSections; ++I)
            if (U32(B, Section(I) + 12) == ResRva)
                ResRoot = U32(B, Section(I) + 20);
    }
    size_t Section(uint16_t I) const { return Sections + I * 40u; }

    // The file offset of the directory entry with that number in the directory at Dir (an
    // offset in the resource section), or 0.
    size_t Entry(const std::string& B, uint32_t Dir, uint32_t Id) const {
        const size_t At = ResRoot + Dir;
        const uint32_t Count = U16(B, At + 12) + U16(B, At + 14);
        for (uint32_t E = 0; E < Count; ++E)
            if (U32(B, At + 16 + E * 8) == Id)
                return At + 16 + E * 8;
        return 0;
    }
    // The language entry of the raw-data resource numbered Name (its data entry is where its
    // second field points).
    size_t LanguageEntry(const std::string& B, uint32_t Name) const {
        const size_t Type = Entry(B, 0, 10);
        const size_t Named = Type ? Entry(B, U32(B, Type + 4) & 0x7FFFFFFFu, Name) : 0;
        return Named ? ResRoot + (U32(B, Named + 4) & 0x7FFFFFFFu) + 16 : 0;
    }
};

// A copy of this test program with two raw-data resources of its own: #501 a form, #502 text.
class ResModuleCases : public ::testing::Test {
protected:
    TTestFolder Folder;
    std::string Module = Folder / "module.exe";
    const std::string Form = std::string("TPF0\x05TForm\x00\x00\x00", 13);

    void SetUp() override {
        char Self[MAX_PATH];
        GetModuleFileNameA(nullptr, Self, MAX_PATH);
        ASSERT_TRUE(CopyFileA(Self, Module.c_str(), FALSE));
        ASSERT_TRUE(ResourceUpdate(Module, "#10", "#501", 0, Form.data(), uint32_t(Form.size())));
        ASSERT_TRUE(AddStringResource(Module, "#502", "some text"));
    }

    // Changes the module file by Change; answers its bytes after the change.
    std::string Break(const std::function<void(std::string&, const TModuleLayout&)>& Change) {
        std::string B = ReadWholeFile(Module);
        const TModuleLayout L(B);
        EXPECT_NE(L.ResRoot, 0u);
        EXPECT_NE(L.LanguageEntry(B, 501), 0u);
        Change(B, L);
        WriteWholeFile(Module, B);
        return B;
    }

    // Every way of writing refuses and leaves the file as it was.
    void ExpectWritesRefused(const std::string& Bytes, const std::string& Why) {
        EXPECT_FALSE(ResourceUpdate(Module, "#10", "NEWDATA", 0, "abc", 3)) << Why;
        EXPECT_FALSE(AddRCDataResource(Module, "#502", "xyz", 3)) << Why;
        EXPECT_FALSE(AddStringResource(Module, "OTHER", "text")) << Why;
        const std::string Source = Folder / "source.bin";
        WriteWholeFile(Source, "from a file");
        EXPECT_FALSE(AddResFromFile(Source, Module, "FROMFILE")) << Why;
        TResFileSystem Store;
        Store.SetFileName(Module);
        std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\NEWDATA", fmCreate));
        S->WriteString("new");
        EXPECT_THROW(static_cast<TResWriteStream*>(S.get())->Flush(), EHSError) << Why;
        EXPECT_TRUE(ReadWholeFile(Module) == Bytes) << Why << ": the refused writes changed the module";
    }
};

TEST_F(ResModuleCases, SoundModuleTakesWritesAndKeepsItsOtherResources) {
    ASSERT_TRUE(ResourceUpdate(Module, "#10", "#503", 0, "third", 5));
    TResFileSystem Store;
    Store.SetFileName(Module);
    std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\#502", fmOpenRead));
    EXPECT_EQ(S->ReadRemaining(), "some text");
    EXPECT_TRUE(IsFormInResource(Module, "#501", "#10"));
    HMODULE Data = LoadLibraryExA(Module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(Data);
    EXPECT_EQ(LoadStringFromRCData("#503", Data), "third");
    // A string the family's own resource script put there is still read.
    char Text[256] = "";
    EXPECT_GT(LoadStringA(Data, SErrUpdateRes.Identifier, Text, sizeof Text), 0);
    EXPECT_STREQ(Text, "Error updating resource");
    FreeLibrary(Data);
}

// The platform's update keeps no empty resource: an empty write says so instead of leaving the
// old bytes in place behind a success.
TEST_F(ResModuleCases, EmptyWriteIsRefusedAndLeavesTheResource) {
    const std::string Before = ReadWholeFile(Module);
    EXPECT_FALSE(ResourceUpdate(Module, "#10", "#502", 0, nullptr, 0));
    EXPECT_FALSE(AddRCDataResource(Module, "#502", "", 0));
    EXPECT_FALSE(AddStringResource(Module, "#502", ""));
    TResFileSystem Store;
    Store.SetFileName(Module);
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\#502", fmCreate));
        EXPECT_THROW(static_cast<TResWriteStream*>(S.get())->Flush(), EHSError);
    }
    EXPECT_TRUE(ReadWholeFile(Module) == Before);
    std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\#502", fmOpenRead));
    EXPECT_EQ(S->ReadRemaining(), "some text");
}

// A file goes in whole, its zero bytes too, and replaces a resource of the same name; a source
// that cannot be read as a whole leaves the module as it was.
TEST_F(ResModuleCases, FileIsAddedWholeAsRawDataOrNotAtAll) {
    const std::string Source = Folder / "source.bin";
    const std::string Content = std::string("first\0second\r\n", 15) + std::string(5000, 'x');
    WriteWholeFile(Source, Content);
    ASSERT_TRUE(AddResFromFile(Source, Module, "FROMFILE"));
    WriteWholeFile(Source, "other text");
    ASSERT_TRUE(AddResFromFile(Source, Module, "#502"));
    {
        HMODULE Data = LoadLibraryExA(Module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(Data);
        EXPECT_TRUE(LoadStringFromRCData("FROMFILE", Data) == Content);
        EXPECT_EQ(LoadStringFromRCData("#502", Data), "other text");
        FreeLibrary(Data);
    }
    EXPECT_TRUE(IsFormInResource(Module, "#501", "#10"));

    const std::string Before = ReadWholeFile(Module);
    const std::string Empty = Folder / "empty.bin";
    WriteWholeFile(Empty, "");
    const std::string Locked = Folder / "locked.bin";
    WriteWholeFile(Locked, "locked text");
    HANDLE Holder =
        CreateFileA(Locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Holder, INVALID_HANDLE_VALUE);
    struct Case {
        const char* Why;
        std::string Source;
    } Cases[] = {
        {"a missing file", Folder / "missing.bin"},
        {"a folder", Folder.Path()},
        {"a file another program holds without sharing", Locked},
        {"an empty file, which the module cannot keep", Empty},
    };
    for (const Case& C : Cases) {
        EXPECT_FALSE(AddResFromFile(C.Source, Module, "#502")) << C.Why;
        EXPECT_FALSE(AddResFromFile(C.Source, Module, "NEWNAME")) << C.Why;
        EXPECT_TRUE(ReadWholeFile(Module) == Before) << C.Why << ": the refused write changed the module";
    }
    CloseHandle(Holder);
    EXPECT_FALSE(AddResFromFile(Source, Folder / "missing.exe", "X"));
}

// Resource entries that point outside the module: the readers find nothing, without a fault.
TEST_F(ResModuleCases, EntriesOutsideTheModuleReadAsMissing) {
    struct Case {
        const char* Why;
        std::function<void(std::string&, const TModuleLayout&)> Change;
    } Cases[] = {
        {"the data reaches past the module",
         [](std::string& B, const TModuleLayout& L) {
             const size_t Data = L.ResRoot + U32(B, L.LanguageEntry(B, 501) + 4);
             Put32(B, Data + 4, 0x7FFFFFF0u);
         }},
        {"the data entry lies past the module",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.LanguageEntry(B, 501) + 4, 0x7FFFFFF0u); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Why);
        SetUp();
        const std::string Bytes = Break(C.Change);
        TResFileSystem Store;
        Store.SetFileName(Module);
        EXPECT_FALSE(Store.FileExists("RCDATA\\#501"));
        EXPECT_TRUE(Store.FileExists("RCDATA\\#502"));
        EXPECT_FALSE(IsFormInResource(Module, "#501", "#10"));
        HMODULE Data = LoadLibraryExA(Module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(Data);
        const void* Bytes501 = nullptr;
        uint32_t Size = 0;
        EXPECT_EQ(GetResData("#501", Bytes501, Size, Data), nullptr);
        EXPECT_EQ(Bytes501, nullptr);
        EXPECT_EQ(LoadStringFromRCData("#501", Data), "");
        EXPECT_EQ(LoadStringFromRCData("#502", Data), "some text");
        FreeLibrary(Data);
        {
            // A stream opened on it starts empty rather than faulting.
            std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\#501", fmOpenRead));
            EXPECT_EQ(S->Size(), 0);
        }
        ExpectWritesRefused(Bytes, C.Why);
    }
}

// Broken trees and headers that the platform's update follows into a fault, or that make it
// lose or move what it should keep: every write refuses and the file stays as it was.
TEST_F(ResModuleCases, BrokenModulesRefuseEveryWrite) {
    struct Case {
        const char* Why;
        std::function<void(std::string&, const TModuleLayout&)> Change;
    } Cases[] = {
        {"a resource name far outside the section",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.ResRoot + 16, 0xFFFFFFF0u); }},
        {"a type directory far outside the section",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.ResRoot + 20, 0xFFFFFFF0u); }},
        {"a directory that claims more entries than the section holds",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.ResRoot + 12, 0xFFFFFFFFu); }},
        {"an empty resource, which the update would drop",
         [](std::string& B, const TModuleLayout& L) {
             Put32(B, L.ResRoot + U32(B, L.LanguageEntry(B, 501) + 4) + 4, 0);
         }},
        {"more sections than the headers hold",
         [](std::string& B, const TModuleLayout& L) {
             B[L.Pe + 6] = char(0xE0);
             B[L.Pe + 7] = char(0x01);
         }},
        {"more data directories than there are",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.Dirs - 4, 0x10010); }},
        {"the section before the resources overlapping them",
         [](std::string& B, const TModuleLayout& L) {
             for (uint16_t I = 1; I < L.NumSections; ++I)
                 if (U32(B, L.Section(I) + 20) == L.ResRoot)
                     Put32(B, L.Section(I - 1) + 8, 0x7FFFFFF0u);
         }},
        {"a section whose raw data is the headers",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.Section(0) + 20, 0); }},
        {"the resources' raw size off the file alignment",
         [](std::string& B, const TModuleLayout& L) {
             for (uint16_t I = 0; I < L.NumSections; ++I)
                 if (U32(B, L.Section(I) + 20) == L.ResRoot)
                     Put32(B, L.Section(I) + 16, U32(B, L.Section(I) + 16) - 1);
         }},
        {"a file alignment that is no power of two",
         [](std::string& B, const TModuleLayout& L) { Put32(B, L.Opt + 36, 0x300); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Why);
        SetUp();
        ExpectWritesRefused(Break(C.Change), C.Why);
    }
}

} // namespace
