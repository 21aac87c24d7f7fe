#pragma once
// A file system whose files are resources of a program module: a file name is a resource type,
// a backslash and a resource name ("RCDATA\FORM1"), any extension dropped.

#include <cstdint>
#include <string>

#include "controls/foundation/FileSystem.h"
#include "framework/core/Streams.h"

// The predefined type name without "RT_" for types 1-22 ("CURSOR" ... "ANIICON"), else the
// decimal number; StringFromRName gives a numbered name as its decimal text.
std::string StringFromRType(uint32_t Type);
std::string StringFromRName(uint32_t Name);
// The numeric type of a type part ("RCDATA" -> 10), or 0 when it is a type name of its own.
uint32_t ResTypeFromString(const std::string& TypePart);

// Replaces or adds one resource of a module file; true when the update was committed.
bool ResourceUpdate(const std::string& FileName, const std::string& Type, const std::string& Name,
                    uint16_t Language, const void* Data, uint32_t Size);
// Whether the resource begins with the component-stream signature "TPF0". Raises
// "Can't open module %s\r\nError code : %d" (EHSError) when the module cannot be loaded.
bool IsFormInResource(const std::string& FileName, const std::string& ResName, const std::string& ResType);

// A memory stream over one resource; Flush writes it back when it was written to or its size
// changed, raising "Error updating resource" (EHSError) on failure. The destructor flushes too
// but cannot report a failure.
class TResWriteStream : public TMemoryStream {
public:
    TResWriteStream(const std::string& FileName, const std::string& Type, const std::string& Name,
                    uint16_t Mode);
    ~TResWriteStream() override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    void Flush();

private:
    std::string FFileName, FType, FName;
    int64_t FFoundSize = -1;
    bool FModified = false;
};

class TResFileSystem : public TFileSystem {
    ZEL_DECLARE_CLASS(TResFileSystem)
public:
    explicit TResFileSystem(TComponent* AOwner = nullptr) : TFileSystem(AOwner) {}
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }

    TStream* GetFileStream(const std::string& Name, uint16_t Mode) override;
    bool FileExists(const std::string& Name) override;
    int32_t GetFileSystemLevel() override { return 1; }

    // Splits "TYPE\NAME.ext" into the resource's type and name as the platform takes them
    // (a predefined type as "#10"); false when there is no backslash.
    static bool SplitResourceFileName(const std::string& FileName, std::string& Type, std::string& Name);

private:
    std::string FFileName;
};

// The descriptor of a TResFileSystem on that module (for GetFileSystem).
std::string GetResFileSystemFilerID(const std::string& FileName);
