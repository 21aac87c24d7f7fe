#include "engine/utils/UnicodeText.h"

#include <windows.h>

#include <cstdint>
#include <new>

namespace zel::text {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

uint32_t unitAt(const unsigned char* p, size_t width, bool bigEndian) {
    uint32_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= static_cast<uint32_t>(p[bigEndian ? width - 1 - i : i]) << (8 * i);
    return v;
}

// The platform's conversion of wide text to a code page: empty text for an empty input, and
// false when it refuses or memory runs out.
bool narrow(const std::wstring& wide, UINT codePage, DWORD flags, std::string& out, bool* lossy) {
    out.clear();
    if (wide.empty())
        return true;
    BOOL usedDefault = FALSE;
    BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, used);
    if (n <= 0)
        return false;
    out.resize(static_cast<size_t>(n));
    if (WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                            nullptr, used) != n)
        return false;
    if (lossy)
        *lossy = usedDefault != FALSE;
    return true;
}

} // namespace

UnicodeForm unicodeForm(const char* bytes, size_t size) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    if (size >= 4 && b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0)
        return UnicodeForm::Utf32LE;
    if (size >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF)
        return UnicodeForm::Utf32BE;
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return UnicodeForm::Utf16LE;
    if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return UnicodeForm::Utf16BE;
    return UnicodeForm::None;
}

bool decodeUnicode(std::string& bytes, UnicodeForm form) {
    if (form == UnicodeForm::None)
        return true;
    const bool wide32 = form == UnicodeForm::Utf32LE || form == UnicodeForm::Utf32BE;
    const bool bigEndian = form == UnicodeForm::Utf16BE || form == UnicodeForm::Utf32BE;
    const size_t width = wide32 ? 4 : 2;
    try {
        std::wstring wide;
        wide.reserve(bytes.size() / width + 1);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        size_t i = 0;
        for (; i + width <= bytes.size(); i += width) {
            const uint32_t unit = unitAt(p + i, width, bigEndian);
            if (!wide32) {
                wide.push_back(static_cast<wchar_t>(unit));
            } else if (unit >= 0x10000 && unit <= 0x10FFFF) {
                wide.push_back(static_cast<wchar_t>(0xD800 + ((unit - 0x10000) >> 10)));
                wide.push_back(static_cast<wchar_t>(0xDC00 + ((unit - 0x10000) & 0x3FF)));
            } else {
                const bool character = unit < 0xD800 || (unit > 0xDFFF && unit < 0x10000);
                wide.push_back(character ? static_cast<wchar_t>(unit) : kReplacement);
            }
        }
        if (i < bytes.size())
            wide.push_back(kReplacement);
        // Lone surrogates have no place in code page 1252 and become U+FFFD in UTF-8.
        std::string out;
        bool lossy = true;
        if (!narrow(wide, 1252, WC_NO_BEST_FIT_CHARS, out, &lossy) || lossy) {
            if (!narrow(wide, CP_UTF8, 0, out, nullptr))
                return false;
        }
        bytes.swap(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace zel::text
