#pragma once
// Undo and redo records of a text source.

#include <cstdint>
#include <string>
#include <algorithm>
#include <vector>

enum TStringsOperation : uint8_t {
    soNavigate = 0,
    soInsert = 1,
    soBreakLine = 2,
    soJoinLines = 3,
    soDeleteRight = 4,
    soUpdateColorData = 5,
};

struct TUndoRecord {
    TStringsOperation Operation = soNavigate;
    int32_t Value1 = 0;
    int32_t Value2 = 0;
    std::string Text;
    std::string ColorData;
    bool StepStart = false;
    uint8_t Reason = 0;
    bool InBlock = false;
    // Identity of the text before and after the change this record takes back. The source's
    // modified state compares the current identity with the saved one, which stays right across
    // undo, redo and trimming (record indexes do not: they shift and differ between the lists).
    int64_t StateBefore = 0;
    int64_t StateAfter = 0;

    bool IsEdit() const { return Operation != soNavigate && Operation != soUpdateColorData; }
};

class TUndoList {
public:
    TUndoRecord& AddUndoRecord() {
        FItems.emplace_back();
        return FItems.back();
    }
    void DeleteLast() {
        FItems.pop_back();
        if (FItems.size() * 4 < FItems.capacity())
            FItems.shrink_to_fit();
    }
    void Clear() {
        FItems.clear();
        FItems.shrink_to_fit();
    }
    // Removes records 0 to `index`.
    void ClearToIndex(int32_t index) {
        if (index < 0)
            return;
        FItems.erase(FItems.begin(), FItems.begin() + std::min<long>(long(index) + 1, long(FItems.size())));
    }
    int32_t Count() const { return int32_t(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    TUndoRecord& operator[](int32_t i) { return FItems[size_t(i)]; }
    const TUndoRecord& operator[](int32_t i) const { return FItems[size_t(i)]; }
    TUndoRecord& Last() { return FItems.back(); }

private:
    std::vector<TUndoRecord> FItems;
};
