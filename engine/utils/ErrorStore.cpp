#include "engine/utils/ErrorStore.h"

#include <cstdio>
#include <string>

namespace {
const char* orEmpty(const char* s) {
    return s ? s : "";
}

template <typename... Args> std::string format(const char* fmt, Args... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}
} // namespace

ErrorStore::ErrorStore(int32_t flags) : number_(0), flags_(flags), text_(32) {}

int32_t ErrorStore::set(int32_t number, const char* text) {
    if (refuse())
        return 1;
    number_ = number;
    text_.assign(text);
    return 1;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
int32_t ErrorStore::setf(int32_t number, const char* fmt, const char* s1, const char* s2, const char* s3,
                         const char* s4) {
    if (refuse())
        return 1;
    return set(number, format(orEmpty(fmt), orEmpty(s1), orEmpty(s2), orEmpty(s3), orEmpty(s4)).c_str());
}

int32_t ErrorStore::setfi(int32_t number, const char* fmt, const char* s1, int32_t i1, int32_t i2) {
    if (refuse())
        return 1;
    return set(number, format(orEmpty(fmt), orEmpty(s1), static_cast<int>(i1), static_cast<int>(i2)).c_str());
}

int32_t ErrorStore::setfii(int32_t number, const char* fmt, int32_t i1, int32_t i2, int32_t i3, int32_t i4) {
    if (refuse())
        return 1;
    return set(number, format(orEmpty(fmt), static_cast<int>(i1), static_cast<int>(i2), static_cast<int>(i3),
                              static_cast<int>(i4))
                           .c_str());
}
#pragma GCC diagnostic pop

void ErrorStore::clear() {
    number_ = 0;
    text_.clear();
}

void ErrorStore::reset(int32_t flags) {
    clear();
    flags_ = flags;
}

const char* ErrorStore::displayText() const {
    static char buffer[2048];
    if (text_.getStringLength() + 50 >= 2048)
        std::snprintf(buffer, sizeof buffer, "%d: [error string too long to display]",
                      static_cast<int>(number_));
    else
        std::snprintf(buffer, sizeof buffer, "%d: %s", static_cast<int>(number_), text_.getString());
    return buffer;
}
