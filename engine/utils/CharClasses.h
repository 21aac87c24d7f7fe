#pragma once
// The character classes of the engine's texts, under the names the engine's code uses. ASCII
// only: a byte above 127 is never a blank or a digit, whatever the locale.

#include "framework/core/CharClass.h"

namespace zel::chars {

inline bool isBlank(char c) {
    return IsAsciiBlank(c);
}

inline bool isDigit(char c) {
    return IsAsciiDigit(c);
}

} // namespace zel::chars
