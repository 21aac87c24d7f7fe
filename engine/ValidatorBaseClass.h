#pragma once
// The head of every object behind an engine handle. The handle table frees objects through the
// virtual destructor, so it needs no knowledge of what each kind owns.

#include <cstdint>

class ValidatorBaseClass {
public:
    int32_t kind = -1;   // 0 options, 1 job, 2 results
    int32_t handle = -1; // own slot in the handle table
    int32_t lockCount = 0;
    int32_t freePending = 0; // a free arrived while locked: free at the last unlock

    virtual ~ValidatorBaseClass() = default;
    ValidatorBaseClass(const ValidatorBaseClass&) = delete;
    ValidatorBaseClass& operator=(const ValidatorBaseClass&) = delete;

protected:
    explicit ValidatorBaseClass(int32_t k) : kind(k) {}
};
