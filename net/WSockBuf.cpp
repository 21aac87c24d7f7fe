#include "net/WSockBuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int32_t Size) {
    SetBufSize(Size);
}

TBuffer::~TBuffer() {
    delete[] Buf;
}

void TBuffer::SetBufSize(int32_t Size) {
    if (Size <= 0)
        Size = 1514;
    if (Size == FBufSize && Buf)
        return;
    char* fresh = new char[Size];
    if (FWrCount != FRdCount && Buf) {
        int32_t keep = std::min(FWrCount - FRdCount, Size);
        std::memcpy(fresh, Buf + FRdCount, keep);
        FWrCount = keep;
        FRdCount = 0;
    } else {
        FWrCount = FRdCount = 0;
    }
    delete[] Buf;
    Buf = fresh;
    FBufSize = Size;
}

int32_t TBuffer::Write(const void* Data, int32_t Len) {
    int32_t room = FBufSize - FWrCount;
    if (room <= 0 || Len <= 0)
        return 0;
    int32_t n = std::min(room, Len);
    std::memcpy(Buf + FWrCount, Data, n);
    FWrCount += n;
    return n;
}

int32_t TBuffer::Read(void* Data, int32_t Len) {
    int32_t avail = FWrCount - FRdCount;
    if (avail <= 0 || Len <= 0)
        return 0;
    int32_t n = std::min(avail, Len);
    std::memcpy(Data, Buf + FRdCount, n);
    FRdCount += n;
    if (FRdCount == FWrCount)
        FRdCount = FWrCount = 0;
    return n;
}

void* TBuffer::Peek(int32_t& Len) {
    Len = FWrCount - FRdCount;
    return Len > 0 ? Buf + FRdCount : nullptr;
}

void TBuffer::Remove(int32_t Len) {
    int32_t avail = FWrCount - FRdCount;
    FRdCount += std::min(std::max(Len, 0), avail);
    if (FRdCount == FWrCount)
        FRdCount = FWrCount = 0;
}
