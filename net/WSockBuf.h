#pragma once
// TBuffer: one chunk of the socket's outgoing queue.

#include <cstdint>

#include "framework/core/Object.h"

class TBuffer : public TObject {
public:
    explicit TBuffer(int32_t Size);
    ~TBuffer() override;

    // A size of 0 or less means 1514; unread data survives a change of size.
    void SetBufSize(int32_t Size);
    int32_t BufSize() const { return FBufSize; }
    // Copies as much as fits and returns that count (0 when full).
    int32_t Write(const void* Data, int32_t Len);
    // Copies up to Len unread bytes; once everything written was read, the chunk is empty again.
    int32_t Read(void* Data, int32_t Len);
    // The unread bytes in place; Len is 0 when there are none.
    void* Peek(int32_t& Len);
    // Consumes up to Len unread bytes.
    void Remove(int32_t Len);
    int32_t Unread() const { return FWrCount - FRdCount; }

    char* Buf = nullptr;

private:
    int32_t FBufSize = 0;
    int32_t FWrCount = 0;
    int32_t FRdCount = 0;
};
