#pragma once
// Streams: TStream and its handle, file, memory and string streams. Positions and sizes are
// 64-bit; a single Read or Write moves at most 2 GB.

#include "framework/core/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
// Older names of the same origins.
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

// TFileStream modes: one access mode, or'ed with one share mode; fmCreate stands alone.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

class TStream : public TObject {
    ZEL_DECLARE_CLASS(TStream)
public:
    ~TStream() override = default;

    // Moves up to Count bytes; answers how many moved.
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);

    // All or nothing: EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);
    // Count 0 copies the whole of Source from its beginning. Raises on a short read.
    int64_t CopyFrom(TStream& Source, int64_t Count);

    // Convenience: the rest of the stream from the current position.
    std::string ReadRemaining();
    void WriteString(const std::string& S) { WriteBuffer(S.data(), static_cast<int32_t>(S.size())); }
};

class THandleStream : public TStream {
    ZEL_DECLARE_CLASS(THandleStream)
public:
    explicit THandleStream(HANDLE AHandle) : FHandle(AHandle) {}
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    HANDLE Handle() const { return FHandle; }

protected:
    HANDLE FHandle;
};

class TFileStream : public THandleStream {
    ZEL_DECLARE_CLASS(TFileStream)
public:
    // EFCreateError "Cannot create file %s" / EFOpenError "Cannot open file %s".
    TFileStream(const std::string& FileName, uint16_t Mode);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

class TCustomMemoryStream : public TStream {
    ZEL_DECLARE_CLASS(TCustomMemoryStream)
public:
    int32_t Read(void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SaveToStream(TStream& Stream);
    void SaveToFile(const std::string& FileName);
    char* Memory() { return FData.data(); }
    const char* Memory() const { return FData.data(); }

protected:
    std::vector<char> FData;
    int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    ZEL_DECLARE_CLASS(TMemoryStream)
public:
    int32_t Write(const void* Buffer, int32_t Count) override;
    void SetSize(int64_t NewSize) override;
    void Clear();
    void LoadFromStream(TStream& Stream); // the whole stream from its beginning
    void LoadFromFile(const std::string& FileName);
    int64_t Capacity() const { return static_cast<int64_t>(FData.capacity()); }
    void SetCapacity(int64_t NewCapacity);
};

// A memory stream whose bytes are a std::string.
class TStringStream : public TMemoryStream {
    ZEL_DECLARE_CLASS(TStringStream)
public:
    explicit TStringStream(const std::string& AString = "");
    std::string DataString() const { return std::string(FData.begin(), FData.end()); }
    std::string ReadString(int32_t Count);
};
