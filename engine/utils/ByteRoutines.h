#pragma once
// Copying, comparing and searching bytes, for the engine library to use in place of the C
// library's own. The engine copies and compares many short strings; under Wine each of those is a
// call into another module whose search loops go byte by byte, which showed as a fifth of a
// validation run's time. These work a machine word at a time and stay in the library. The library
// defines memcpy and its kin with them (DllMain.cpp); the tests check them against plain loops.
//
// Word reads are aligned where they may run past the end of the bytes asked about: an aligned word
// never crosses into another page, so it reads only memory that is there.

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__) && !defined(__clang__)
// The compiler must not turn these loops back into calls of the routines they are.
#define ZEL_BYTE_ROUTINE __attribute__((optimize("no-tree-loop-distribute-patterns")))
#else
#define ZEL_BYTE_ROUTINE
#endif

namespace zel::bytes {

inline uint64_t load8(const unsigned char* p) {
    uint64_t w;
    __builtin_memcpy(&w, p, 8);
    return w;
}
inline void store8(unsigned char* p, uint64_t w) {
    __builtin_memcpy(p, &w, 8);
}
inline uint32_t load4(const unsigned char* p) {
    uint32_t w;
    __builtin_memcpy(&w, p, 4);
    return w;
}
inline void store4(unsigned char* p, uint32_t w) {
    __builtin_memcpy(p, &w, 4);
}

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;
// Non-zero when some byte of w is zero; the lowest flagged byte is the first zero byte.
inline uint64_t zeroBytes(uint64_t w) {
    return (w - kOnes) & ~w & kHighs;
}

// Copies n bytes; the ranges may overlap (every load of a step comes before its stores).
ZEL_BYTE_ROUTINE inline void* move(void* to, const void* from, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    const auto* s = static_cast<const unsigned char*>(from);
    if (n <= 16) {
        if (n >= 8) {
            const uint64_t a = load8(s), b = load8(s + n - 8);
            store8(d, a);
            store8(d + n - 8, b);
        } else if (n >= 4) {
            const uint32_t a = load4(s), b = load4(s + n - 4);
            store4(d, a);
            store4(d + n - 4, b);
        } else if (n > 0) {
            const unsigned char a = s[0], b = s[n / 2], c = s[n - 1];
            d[0] = a;
            d[n / 2] = b;
            d[n - 1] = c;
        }
        return to;
    }
    if (d <= s || d >= s + n) {
        // Forwards: the destination starts before the source, or after its end.
        const uint64_t tail1 = load8(s + n - 16), tail2 = load8(s + n - 8);
        size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            const uint64_t a = load8(s + i), b = load8(s + i + 8);
            store8(d + i, a);
            store8(d + i + 8, b);
        }
        // The last sixteen bytes were read before any store could have changed them.
        store8(d + n - 16, tail1);
        store8(d + n - 8, tail2);
        return to;
    }
    // Backwards: the destination starts inside the source.
    const uint64_t head1 = load8(s), head2 = load8(s + 8);
    size_t i = n;
    for (; i >= 16; i -= 16) {
        const uint64_t a = load8(s + i - 16), b = load8(s + i - 8);
        store8(d + i - 16, a);
        store8(d + i - 8, b);
    }
    store8(d, head1);
    store8(d + 8, head2);
    return to;
}

ZEL_BYTE_ROUTINE inline int compare(const void* a, const void* b, size_t n) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        if (load8(x + i) != load8(y + i))
            break;
    for (; i < n; ++i)
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    return 0;
}

ZEL_BYTE_ROUTINE inline size_t length(const char* text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* p = s;
    // Byte by byte up to a word boundary, then a word at a time.
    for (; reinterpret_cast<uintptr_t>(p) & 7; ++p)
        if (!*p)
            return static_cast<size_t>(p - s);
    for (;; p += 8) {
        const uint64_t z = zeroBytes(load8(p));
        if (z)
            return static_cast<size_t>(p - s) + (__builtin_ctzll(z) >> 3);
    }
}

ZEL_BYTE_ROUTINE inline const void* find(const void* where, int c, size_t n) {
    const auto* s = static_cast<const unsigned char*>(where);
    const auto byte = static_cast<unsigned char>(c);
    const unsigned char* p = s;
    const unsigned char* end = s + n;
    for (; p < end && (reinterpret_cast<uintptr_t>(p) & 7); ++p)
        if (*p == byte)
            return p;
    const uint64_t pattern = kOnes * byte;
    for (; p + 8 <= end; p += 8) {
        const uint64_t z = zeroBytes(load8(p) ^ pattern);
        if (z)
            return p + (__builtin_ctzll(z) >> 3);
    }
    for (; p < end; ++p)
        if (*p == byte)
            return p;
    return nullptr;
}

} // namespace zel::bytes
