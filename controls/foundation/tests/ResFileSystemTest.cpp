#include "controls/foundation/ResFileSystem.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestFolder.h"
#include "controls/foundation/FoundationErrors.h"
#include "framework/core/ObjectText.h"

namespace {

std::string ModuleCopy(const TTestFolder& Folder) {
    char Self[MAX_PATH];
    GetModuleFileNameA(nullptr, Self, MAX_PATH);
    const std::string Copy = Folder / "module.exe";
    CopyFileA(Self, Copy.c_str(), FALSE);
    return Copy;
}

TEST(ResFileSystem, ResourcesAsFiles) {
    TTestFolder Folder;
    TResFileSystem Store;
    Store.SetFileName(ModuleCopy(Folder));
    EXPECT_FALSE(Store.FileExists("RCDATA\\NOTES.txt"));
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("rcdata\\NOTES.txt", fmCreate));
        S->WriteString("first text");
    }
    EXPECT_TRUE(Store.FileExists("RCDATA\\NOTES"));
    EXPECT_TRUE(Store.FileExists("RCDATA\\notes.html")); // names ignore case and extensions
    EXPECT_FALSE(Store.FileExists("NOTES"));             // no type part
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\NOTES", fmOpenReadWrite));
        EXPECT_EQ(S->ReadRemaining(), "first text");
        S->SetPosition(0);
        S->WriteString("FIRST");
    }
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("RCDATA\\NOTES", fmOpenRead));
        EXPECT_EQ(S->ReadRemaining(), "FIRST text");
    }
    // A type of its own name works as well.
    {
        std::unique_ptr<TStream> S(Store.GetFileStream("MYTYPE\\ITEM", fmCreate));
        S->WriteString("x");
    }
    EXPECT_TRUE(Store.FileExists("MYTYPE\\ITEM"));
    EXPECT_THROW(delete Store.GetFileStream("nothing", fmOpenRead), EHSError);

    // A module that cannot be written: the flush says so.
    TResWriteStream Bad(Folder / "missing.exe", "#10", "X", fmCreate);
    Bad.WriteString("y");
    try {
        Bad.Flush();
        ADD_FAILURE();
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "Error updating resource");
    }
}

TEST(ResFileSystem, FormsInResourcesAndDescriptors) {
    TTestFolder Folder;
    const std::string Module = ModuleCopy(Folder);
    const std::string Form = "TPF0\x05TForm\x00\x00\x00";
    ASSERT_TRUE(ResourceUpdate(Module, "#10", "FORM1", 0, Form.data(), static_cast<uint32_t>(Form.size())));
    ASSERT_TRUE(ResourceUpdate(Module, "#10", "PLAIN", 0, "text", 4));
    EXPECT_TRUE(IsFormInResource(Module, "FORM1", "#10"));
    EXPECT_FALSE(IsFormInResource(Module, "PLAIN", "#10"));
    EXPECT_FALSE(IsFormInResource(Module, "MISSING", "#10"));
    try {
        IsFormInResource(Folder / "missing.exe", "FORM1", "#10");
        ADD_FAILURE();
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message().rfind("Can't open module " + Folder / "missing.exe" + "\r\nError code : ", 0),
                  0u);
    }

    RegisterClass(TResFileSystem::StaticClass());
    const std::string Descriptor = GetResFileSystemFilerID(Module);
    EXPECT_TRUE(IsObjectBinary(Descriptor));
    TFileSystem* Shared = GetFileSystem(Descriptor);
    EXPECT_EQ(GetFileSystem(Descriptor), Shared);
    EXPECT_EQ(Shared->GetFileSystemLevel(), 1);
    EXPECT_TRUE(Shared->FileExists("RCDATA\\FORM1"));
    ReleaseFileSystem(Shared);
    ReleaseFileSystem(Shared);
    UnRegisterClass(TResFileSystem::StaticClass());

    struct Case {
        uint32_t Type;
        const char* Name;
    } Cases[] = {{1, "CURSOR"},      {10, "RCDATA"},  {12, "GROUP_CURSOR"}, {13, "13"},
                 {14, "GROUP_ICON"}, {22, "ANIICON"}, {23, "23"},           {0, "0"}};
    for (const Case& C : Cases) {
        EXPECT_EQ(StringFromRType(C.Type), C.Name);
        if (C.Type > 0 && C.Type < 23 && std::string(C.Name) != std::to_string(C.Type)) {
            EXPECT_EQ(ResTypeFromString(C.Name), C.Type) << C.Name;
        }
    }
    EXPECT_EQ(ResTypeFromString("nosuch"), 0u);
}

} // namespace
