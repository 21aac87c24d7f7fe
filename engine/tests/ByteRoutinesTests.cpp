// The library's byte routines against plain loops: every length up to a few words, at every
// alignment, with overlapping ranges both ways, and stops at every place.
#include "engine/utils/ByteRoutines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace zel::bytes;

// Bytes that differ from place to place, with no zero among them.
std::vector<unsigned char> pattern(size_t n, unsigned seed) {
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<unsigned char>(1 + (i * 37 + seed * 11) % 251);
    return v;
}

TEST(ByteRoutines, MoveCopiesEveryLengthAndOverlapLikeATemporaryCopy) {
    constexpr size_t kRoom = 160;
    for (size_t n = 0; n <= 70; ++n) {
        for (size_t from = 0; from < 9; ++from) {
            for (size_t to = 0; to < 24; ++to) {
                // Overlapping: both ranges in one buffer.
                std::vector<unsigned char> buffer = pattern(kRoom, static_cast<unsigned>(n + from));
                std::vector<unsigned char> expected = buffer;
                const std::vector<unsigned char> source(buffer.begin() + static_cast<long>(from),
                                                        buffer.begin() + static_cast<long>(from + n));
                std::copy(source.begin(), source.end(), expected.begin() + static_cast<long>(to));
                EXPECT_EQ(move(buffer.data() + to, buffer.data() + from, n), buffer.data() + to);
                ASSERT_EQ(buffer, expected) << "length " << n << " from " << from << " to " << to;
            }
            // Apart: the bytes around the destination stay.
            const std::vector<unsigned char> source = pattern(n + from, 3);
            std::vector<unsigned char> target(n + 16, 0xEE);
            move(target.data() + 8, source.data() + from, n);
            for (size_t i = 0; i < target.size(); ++i)
                ASSERT_EQ(target[i], i >= 8 && i < 8 + n ? source[from + i - 8] : 0xEE) << n << " at " << i;
        }
    }
}

TEST(ByteRoutines, CompareGivesTheSignOfTheFirstDifference) {
    for (size_t n = 0; n <= 40; ++n) {
        const std::vector<unsigned char> a = pattern(n + 1, 5);
        EXPECT_EQ(compare(a.data(), a.data(), n), 0);
        for (size_t at = 0; at < n; ++at) {
            std::vector<unsigned char> b = a;
            b[at] = static_cast<unsigned char>(a[at] + 1);
            if (at + 1 < n)
                b[at + 1] = 0; // a later difference the other way must not count
            EXPECT_LT(compare(a.data(), b.data(), n), 0) << n << " at " << at;
            EXPECT_GT(compare(b.data(), a.data(), n), 0) << n << " at " << at;
            if (a[at] != 0xFF) { // bytes compare as unsigned
                b[at] = 0xFF;
                EXPECT_LT(compare(a.data(), b.data(), n), 0) << n << " at " << at;
            }
        }
    }
}

TEST(ByteRoutines, LengthAndFindStopAtEveryPlace) {
    for (size_t offset = 0; offset < 8; ++offset) {
        for (size_t n = 0; n <= 40; ++n) {
            std::vector<unsigned char> v = pattern(offset + n + 16, 7);
            v[offset + n] = 0;
            const char* text = reinterpret_cast<const char*>(v.data() + offset);
            EXPECT_EQ(length(text), n) << "offset " << offset;

            std::vector<unsigned char> w = pattern(offset + n + 16, 9);
            for (size_t i = 0; i < w.size(); ++i)
                if (w[i] == '\n')
                    w[i] = 'x';
            const unsigned char* start = w.data() + offset;
            EXPECT_EQ(find(start, '\n', n), nullptr);
            for (size_t at = 0; at < n; ++at) {
                w[offset + at] = '\n';
                EXPECT_EQ(find(start, '\n', n), start + at) << "length " << n << " at " << at;
                if (at + 1 < n) {
                    w[offset + at + 1] = '\n'; // the first of two
                    EXPECT_EQ(find(start, '\n', n), start + at);
                    w[offset + at + 1] = 'x';
                }
                w[offset + at] = 'x';
            }
            w[offset + n] = '\n'; // just past the end: not found
            EXPECT_EQ(find(start, '\n', n), nullptr);
            if (n > 0) { // the byte sought is c as an unsigned char
                w[offset] = '\n';
                EXPECT_EQ(find(start, 0x100 + '\n', n), start);
            }
        }
    }
}

} // namespace
