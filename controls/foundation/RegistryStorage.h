#pragma once
// The family's settings in the registry, addressed by short value paths below the family key
// ("CodeEdit\MemoSource\TabStops"): typed values, string lists, binary buffers, long buffers
// split into blocks, and a memory stream bound to a value.

#include "framework/core/Win.h"

#include <cstdint>
#include <string>

#include "controls/foundation/HSVariant.h"
#include "framework/core/Streams.h"

class TStrings;
class TPersistent;
class TRegistry;

// The family key below the root key.
extern std::string RegistryKey;
// Block size of long buffers written in blocks.
extern int32_t DefaultRegBlockSize;
// Long buffers go into a header value and numbered block values instead of one binary value.
// The platforms this program runs on take large binary values, so it is off; it stays for
// reading and writing the block layout.
extern bool RegistryLongBuffersInBlocks;
// The marker that starts the header of a long buffer.
inline constexpr const char* LongRegKeyMarker = "__Long RegKey__";
inline constexpr int32_t LongRegHeaderSize = 36;

// The shared accessor every function here uses (created on first use, root HKEY_CURRENT_USER).
TRegistry& FamilyRegistry();
void SetRootRegKey(HKEY Root);
// Frees the shared accessor (program end).
void FreeFamilyRegistry();

// Writes by the value's type; an unsupported type raises
// "This type isn't supported by WriteToRegistry". An empty path writes nothing.
void WriteToRegistry(const std::string& Path, const THSVariant& Value);
// The stored value read by the type of Default, or Default when the key or value is missing.
// A stored value of another type raises the registry class's error.
THSVariant ReadFromRegistry(const std::string& Path, const THSVariant& Default);
bool RegValueExists(const std::string& Path);
void ReadStringsFromRegistry(const std::string& Path, TStrings* Strings);
void WriteStringsToRegistry(const std::string& Path, const TStrings* Strings);

void WriteBufToRegistry(const std::string& Path, const void* Buffer, int32_t Size);
// The stored size; -1 when the key does not open or the value is missing.
int32_t GetRegBufSize(const std::string& Path);
// Reads at most Size bytes; answers the bytes read (0 when missing).
int32_t ReadBufFromRegistry(const std::string& Path, void* Buffer, int32_t Size);

void WriteLongBufToRegistry(const std::string& Path, const void* Buffer, int32_t Size);
// Reads at most Size bytes of a long buffer; a value without a sound header is read as one
// plain binary value.
int32_t ReadLongBufFromRegistry(const std::string& Path, void* Buffer, int32_t Size);
int32_t GetLongRegBufSize(const std::string& Path);

// "Software\Halden Soft\" followed by SubKey.
std::string FamilyRegKeyName(const std::string& SubKey);
// Deletes Key\SubKey with all its subkeys; true when it is gone (or was never there).
bool HSDeleteRegKey(HKEY Root, const std::string& Key, const std::string& SubKey);

// A memory stream holding one registry value (a long buffer). Opened with fmCreate it empties
// the value at once; otherwise it loads it. Flush writes it back when it was written to or its
// size changed; the destructor flushes too but cannot report a failure.
class TRegistryStream : public TMemoryStream {
public:
    TRegistryStream(const std::string& Path, uint16_t Mode);
    ~TRegistryStream() override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    void Flush();
    bool Modified() const { return FModified; }

private:
    std::string FPath;
    int32_t FFoundSize = -1;
    bool FModified = false;
};

// Published properties of an object in a long buffer: the binary component stream, or the text
// form for the Text pair. Both readers take either form.
void WriteObjToRegistry(const std::string& Path, TPersistent* Obj);
void ReadObjFromRegistry(const std::string& Path, TPersistent* Obj);
void WriteObjTextToRegistry(const std::string& Path, TPersistent* Obj);
void ReadObjTextFromRegistry(const std::string& Path, TPersistent* Obj);
