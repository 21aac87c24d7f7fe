#include "controls/foundation/RecordLists.h"

#include <algorithm>
#include <cstring>

#include "controls/foundation/FoundationErrors.h"

ZEL_DEFINE_CLASS(TRecordList, TObject, {})

// ---- TRecordList ----

TRecordList::TRecordList(int32_t RecordSize) : FRecordSize(RecordSize > 0 ? RecordSize : 1) {}

TRecordList::~TRecordList() {
    Clear();
}

void TRecordList::Grow() {
    SetCapacity(std::max(FCapacity * 2, 32));
}

int32_t TRecordList::Add(const void* Record) {
    if (FCount == FCapacity)
        Grow();
    uint8_t* Slot = FBlock.data() + static_cast<size_t>(FCount) * static_cast<size_t>(FRecordSize);
    if (Record)
        std::memcpy(Slot, Record, static_cast<size_t>(FRecordSize));
    else
        std::memset(Slot, 0, static_cast<size_t>(FRecordSize));
    return FCount++;
}

void* TRecordList::Get(int32_t Index) {
    if (Index < 0 || Index > FCount)
        RaiseListIndexError(Index);
    // The free slot after the last record must lie inside the block before anyone writes to it.
    if (Index == FCapacity)
        Grow();
    return FBlock.data() + static_cast<size_t>(Index) * static_cast<size_t>(FRecordSize);
}

void TRecordList::Delete(int32_t Index) {
    if (Index < 0 || Index >= FCount)
        RaiseListIndexError(Index);
    const size_t Size = static_cast<size_t>(FRecordSize);
    uint8_t* At = FBlock.data() + static_cast<size_t>(Index) * Size;
    std::memmove(At, At + Size, static_cast<size_t>(FCount - Index - 1) * Size);
    --FCount;
}

void TRecordList::Clear() {
    std::vector<uint8_t>().swap(FBlock);
    FCapacity = 0;
    FCount = 0;
}

void TRecordList::SetCapacity(int32_t N) {
    if (N < 0)
        RaiseListCapacityError(N);
    if (N == FCapacity)
        return;
    FBlock.resize(static_cast<size_t>(N) * static_cast<size_t>(FRecordSize));
    FCapacity = N;
    if (FCount > N)
        FCount = N;
}

void TRecordList::SetCount(int32_t N) {
    if (N < 0 || N > FCapacity)
        RaiseListCountError(N);
    FCount = N;
}

void TRecordList::SaveToStream(TStream* Stream) const {
    const int32_t N = FCount;
    uint8_t Head[4] = {static_cast<uint8_t>(N), static_cast<uint8_t>(N >> 8), static_cast<uint8_t>(N >> 16),
                       static_cast<uint8_t>(N >> 24)};
    Stream->WriteBuffer(Head, 4);
    if (N > 0)
        Stream->WriteBuffer(FBlock.data(), N * FRecordSize);
}

void TRecordList::LoadFromStream(TStream* Stream) {
    uint8_t Head[4];
    Stream->ReadBuffer(Head, 4);
    const int32_t N =
        static_cast<int32_t>(static_cast<uint32_t>(Head[0]) | (static_cast<uint32_t>(Head[1]) << 8) |
                             (static_cast<uint32_t>(Head[2]) << 16) | (static_cast<uint32_t>(Head[3]) << 24));
    const int64_t Bytes = static_cast<int64_t>(N) * FRecordSize;
    if (N < 0 || Bytes > Stream->Size() - Stream->Position() || Bytes > INT32_MAX)
        throw EReadError("Stream read error");
    std::vector<uint8_t> Block(static_cast<size_t>(Bytes));
    if (Bytes > 0)
        Stream->ReadBuffer(Block.data(), static_cast<int32_t>(Bytes));
    FBlock.swap(Block);
    FCapacity = N;
    FCount = N;
}

// ---- TIntStack ----

int32_t TIntStack::Pop() {
    if (FItems.empty())
        RaiseStackEmptyError();
    const int32_t I = FItems.back();
    FItems.pop_back();
    return I;
}

// ---- TMultiReadExclusiveWriteSynchronizer ----

TMultiReadExclusiveWriteSynchronizer::TMultiReadExclusiveWriteSynchronizer() {
    InitializeCriticalSection(&FLock);
}
TMultiReadExclusiveWriteSynchronizer::~TMultiReadExclusiveWriteSynchronizer() {
    DeleteCriticalSection(&FLock);
}
void TMultiReadExclusiveWriteSynchronizer::BeginRead() {
    EnterCriticalSection(&FLock);
}
void TMultiReadExclusiveWriteSynchronizer::EndRead() {
    LeaveCriticalSection(&FLock);
}
void TMultiReadExclusiveWriteSynchronizer::BeginWrite() {
    EnterCriticalSection(&FLock);
}
void TMultiReadExclusiveWriteSynchronizer::EndWrite() {
    LeaveCriticalSection(&FLock);
}
