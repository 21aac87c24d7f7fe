#pragma once
// A growable array of object pointers. In list mode (the start) the usable length is the count of
// appended slots; in array mode (after any store at an index) it is the whole capacity. Elements
// are owned only when a deleter is set.

#include "engine/utils/IntStore.h"

#include <cstdint>

class PointerArrayManager {
public:
    using Deleter = int (*)(void* element);        // non-zero when it deleted the element
    using Copier = void* (*)(const void* element); // a new copy, or NULL
    using Compare = int (*)(const void* a, const void* b);

    enum Property : int32_t {
        Limit = 0,
        GrowStep = 1,
        Capacity = 2,
        Count = 3,
        Current = 4,
        Mode = 5,
        Sorted = 6
    };
    enum ModeValue : int32_t { ListMode = 0, ArrayMode = 1 };

    PointerArrayManager();
    explicit PointerArrayManager(Deleter deleter);
    ~PointerArrayManager();
    PointerArrayManager(const PointerArrayManager&) = delete;
    PointerArrayManager& operator=(const PointerArrayManager&) = delete;

    void setDeleter(Deleter d) { deleter_ = d; }
    void setAlternativeDeleter(Deleter d) { altDeleter_ = d; }
    void setCopier(Copier c) { copier_ = c; }
    int32_t setGrowStep(int32_t step); // 1, or 0 for a step below 1

    void* at(int32_t i) const;
    // 1 on success, 0 for a negative index or an index past the capacity without grow.
    int32_t setPointer(int32_t i, void* p, bool deleteOld = false, bool grow = false, bool keepMode = false);
    int32_t append(void* p);                        // the index, -1 on failure (array mode, no room)
    int32_t insertSorted(void* p, Compare compare); // the index, -1 on failure
    int32_t find(const void* p) const;              // NULL finds the first empty slot; -1 when none
    int32_t firstEmpty() const { return find(nullptr); }
    int32_t afterLastOccupied() const;
    int32_t occupiedCount() const;
    void compact(int32_t flags);
    void clear(bool useDeleter = true);
    int32_t copyFrom(const PointerArrayManager& other); // 1, or 0 when room or a copy failed
    int32_t setAux(int32_t i, int32_t value);
    int32_t getAux(int32_t i) const;
    int32_t remove(int32_t i, bool deleteElement = true); // list mode: close the gap

    int32_t capacity() const { return props_.value(Capacity); }
    int32_t count() const { return props_.value(Count); }
    int32_t mode() const { return props_.value(Mode); }
    int32_t usableLength() const { return mode() == ArrayMode ? capacity() : count(); }
    int32_t property(int32_t p) const { return props_.value(p); }
    void setProperty(int32_t p, int32_t v) { props_.set(p, v); }

private:
    int32_t ensure(int32_t n);
    int deleteElement(void* p);
    void** slots_;
    IntStore* aux_;
    IntStore props_;
    Deleter deleter_;
    Deleter altDeleter_;
    Copier copier_;
};
