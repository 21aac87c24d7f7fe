#pragma once
// Blanks for the path, template and markup texts: space, tab and the line breaks only (form
// feed and vertical tab stay text there).

#include <string>

namespace zel::run {

inline bool isTrimBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline std::string trimBlanks(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && isTrimBlank(s[a]))
        ++a;
    while (b > a && isTrimBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

} // namespace zel::run
