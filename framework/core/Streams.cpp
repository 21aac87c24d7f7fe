#include "framework/core/Streams.h"

#include <cstring>

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TStream, TObject, {})
ZEL_DEFINE_CLASS(THandleStream, TStream, {})
ZEL_DEFINE_CLASS(TFileStream, THandleStream, {})
ZEL_DEFINE_CLASS(TCustomMemoryStream, TStream, {})
ZEL_DEFINE_CLASS(TMemoryStream, TCustomMemoryStream, {})
ZEL_DEFINE_CLASS(TStringStream, TMemoryStream, {})

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* Buffer, int32_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError(SWriteError);
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    if (Count < 0)
        return 0;
    int64_t result = Count;
    std::vector<char> buf(static_cast<size_t>(Count < 0xF000 ? (Count > 0 ? Count : 1) : 0xF000));
    while (Count > 0) {
        int32_t n = static_cast<int32_t>(Count > static_cast<int64_t>(buf.size()) ? buf.size() : Count);
        Source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        Count -= n;
    }
    return result;
}

std::string TStream::ReadRemaining() {
    int64_t rest = Size() - Position();
    std::string s;
    if (rest > 0) {
        s.resize(static_cast<size_t>(rest));
        s.resize(static_cast<size_t>(Read(s.data(), static_cast<int32_t>(rest))));
    }
    return s;
}

int32_t THandleStream::Read(void* Buffer, int32_t Count) {
    DWORD done = 0;
    if (Count <= 0 || !ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &done, nullptr))
        return 0;
    return static_cast<int32_t>(done);
}

int32_t THandleStream::Write(const void* Buffer, int32_t Count) {
    DWORD done = 0;
    if (Count <= 0 || !WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &done, nullptr))
        return 0;
    return static_cast<int32_t>(done);
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    LARGE_INTEGER dist, out;
    dist.QuadPart = Offset;
    if (!SetFilePointerEx(FHandle, dist, &out, static_cast<DWORD>(Origin)))
        return -1;
    return out.QuadPart;
}

void THandleStream::SetSize(int64_t NewSize) {
    Seek(NewSize, soBeginning);
    if (!SetEndOfFile(FHandle))
        throw EStreamError(SWriteError);
}

static DWORD ShareFlags(uint16_t mode) {
    switch (mode & 0xF0) {
    case fmShareDenyWrite:
        return FILE_SHARE_READ;
    case fmShareDenyRead:
        return FILE_SHARE_WRITE;
    case fmShareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0; // compat and exclusive
    }
}

static HANDLE OpenHandle(const std::string& name, uint16_t mode) {
    if (mode == fmCreate)
        return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    if ((mode & 3) > 2)
        return INVALID_HANDLE_VALUE;
    return CreateFileA(name.c_str(), access[mode & 3], ShareFlags(mode), nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode)
    : THandleStream(OpenHandle(FileName, Mode)), FFileName(FileName) {
    if (FHandle == INVALID_HANDLE_VALUE) {
        if (Mode == fmCreate)
            throw EFCreateError(Format(SFCreateError, FileName.c_str()));
        throw EFOpenError(Format(SFOpenError, FileName.c_str()));
    }
}

TFileStream::~TFileStream() {
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

int32_t TCustomMemoryStream::Read(void* Buffer, int32_t Count) {
    int64_t avail = Size() - FPosition;
    if (Count <= 0 || avail <= 0)
        return 0;
    int32_t n = static_cast<int32_t>(avail < Count ? avail : Count);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : (Origin == soCurrent ? FPosition : Size());
    int64_t pos = base + Offset;
    if (pos < 0)
        pos = 0;
    FPosition = pos;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& Stream) {
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size()));
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream f(FileName, fmCreate);
    SaveToStream(f);
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count) {
    if (Count <= 0)
        return 0;
    int64_t end = FPosition + Count;
    try {
        if (end > Size())
            FData.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(SMemoryStreamError);
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0)
        NewSize = 0;
    try {
        FData.resize(static_cast<size_t>(NewSize));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(SMemoryStreamError);
    }
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    int64_t n = Stream.Size();
    std::vector<char> data(static_cast<size_t>(n));
    if (n)
        Stream.ReadBuffer(data.data(), static_cast<int32_t>(n));
    FData.swap(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity > static_cast<int64_t>(FData.capacity()))
        FData.reserve(static_cast<size_t>(NewCapacity));
}

TStringStream::TStringStream(const std::string& AString) {
    FData.assign(AString.begin(), AString.end());
}

std::string TStringStream::ReadString(int32_t Count) {
    std::string s(static_cast<size_t>(Count > 0 ? Count : 0), '\0');
    s.resize(static_cast<size_t>(Read(s.data(), Count)));
    return s;
}
