#pragma once
// The character classes of the engine's texts. ASCII only: a byte above 127 is never a blank or a
// digit, whatever the locale.

namespace zel::chars {

// Space, tab, the line breaks, form feed and vertical tab.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace zel::chars
