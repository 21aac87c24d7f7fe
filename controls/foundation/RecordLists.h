#pragma once
// Small containers of the control family: fixed-size records in one block, an integer stack,
// and a fully exclusive lock offered to callers.

#include <cstdint>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Streams.h"

#include "framework/core/Win.h"

// Records of one fixed size, back to back in one block.
class TRecordList : public TObject {
    ZEL_DECLARE_CLASS(TRecordList)
public:
    explicit TRecordList(int32_t RecordSize);
    ~TRecordList() override;

    // Copies RecordSize bytes from Record (zeros when nil); answers the new index.
    int32_t Add(const void* Record);
    // Index may be 0..Count: Count is the free slot after the last record, which is made to exist.
    void* Get(int32_t Index);
    void Delete(int32_t Index);
    void Clear();

    int32_t Count() const { return FCount; }
    void SetCount(int32_t N);
    int32_t Capacity() const { return FCapacity; }
    void SetCapacity(int32_t N);
    int32_t RecordSize() const { return FRecordSize; }

    void SaveToStream(TStream* Stream) const;
    // Refuses (EReadError, list unchanged) a count that is negative or larger than the stream holds.
    void LoadFromStream(TStream* Stream);

private:
    void Grow();

    int32_t FRecordSize;
    int32_t FCount = 0;
    int32_t FCapacity = 0;
    std::vector<uint8_t> FBlock;
};

class TIntStack : public TObject {
public:
    void Push(int32_t I) { FItems.push_back(I); }
    // Raises "Stack is empty" when there is nothing to pop.
    int32_t Pop();
    bool IsEmpty() const { return FItems.empty(); }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }

private:
    std::vector<int32_t> FItems;
};

// Readers exclude each other as writers do: one critical section behind all four calls.
class TMultiReadExclusiveWriteSynchronizer : public TObject {
public:
    TMultiReadExclusiveWriteSynchronizer();
    ~TMultiReadExclusiveWriteSynchronizer() override;
    void BeginRead();
    void EndRead();
    void BeginWrite();
    void EndWrite();

private:
    CRITICAL_SECTION FLock;
};
