#pragma once
// The exceptions the control family raises, with the family's texts.

#include <cstdint>
#include <string>

#include "framework/core/Exceptions.h"

// The family's own error class.
class EHSError : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void RaiseListIndexError(int32_t Index);
[[noreturn]] void RaiseListCountError(int32_t Count);
[[noreturn]] void RaiseListCapacityError(int32_t Capacity);
[[noreturn]] void RaiseDuplicateItemError();
[[noreturn]] void RaiseStackEmptyError();
