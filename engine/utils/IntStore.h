#pragma once
// A growable array of 32-bit integers. Out-of-range reads give -1 and never fail loudly.

#include <cstdint>
#include <cstdio>

class IntStore {
public:
    using Compare = int (*)(int32_t a, int32_t b);

    IntStore();
    IntStore(int32_t count, int32_t fill);
    IntStore(const IntStore& other);
    IntStore& operator=(const IntStore& other);
    ~IntStore();

    void clear() { count_ = 0; }
    int32_t resize(int32_t count, int32_t fill = -1); // 1, or 0 when the room cannot be had
    int32_t set(int32_t i, int32_t value, bool grow = true, int32_t fill = -1);
    int32_t get(int32_t i, int32_t* found) const;
    int32_t& ref(int32_t i); // the error slot, set to -1, when out of range
    int32_t value(int32_t i) const;
    int32_t operator[](int32_t i) const { return value(i); }
    int32_t add(int32_t value, Compare compare = nullptr);         // the index, -1 on failure
    int32_t removeValue(int32_t value, Compare compare = nullptr); // 1 removed, 0 not found
    int32_t removeAt(int32_t i);
    bool contains(int32_t value) const;
    int32_t fillMinusOne(int32_t n, int32_t flags);
    // Stored form: marker 1, count, count values (little-endian). Clears first; 1 or 0.
    int32_t read(FILE* stream);

    int32_t count() const { return count_; }
    int32_t capacity() const { return capacity_; }
    int32_t growStep() const { return growStep_; }
    void setGrowStep(int32_t step) {
        if (step > 0)
            growStep_ = step;
    }
    const int32_t* data() const { return data_; }

private:
    int32_t reserve(int32_t n);
    int32_t* data_;
    int32_t count_;
    int32_t errorSlot_;
    int32_t capacity_;
    int32_t growStep_;
};
