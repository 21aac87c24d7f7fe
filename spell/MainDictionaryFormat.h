#pragma once
// Layout of the compiled main dictionary (".wdm"), shared by the reader and the build-time
// compiler so that the two never drift apart. All integers are little-endian.
//
//   0      1024 header block, beginning with kMainDictionarySignature
//   1024   1    n, the title's length in UTF-16 code units
//   1025   2n+2 title, UTF-16LE, zero-terminated
//   +0     4    language identifier (low byte 9 = English)
//   +4     4    second header value (kept, not interpreted)
//   +8     4    reference-width selector: below 65535 child references are 2 bytes LE,
//               otherwise 2 or 3 bytes high byte first (first byte >= 128: 2 bytes)
//   +12    36   count[0..8], nodes per level
//   P0          level tables 0..8; a level-L node is a 32-bit value and L run characters
//   T      4    N, linkage block length
//   T+4    N    linkage block (child reference lists, count bytes)
//   T+4+N  2048 first-letter table, 256 entries of 8 bytes
//   +2048  1024 trailing table

#include <cstdint>

constexpr int kMainDictionaryHeaderBlock = 1024;
constexpr int kMainDictionarySignatureLength = 123;
inline constexpr char kMainDictionarySignature[] = "Orthos Dictionary Compiler, Version 4.0\r\n"
                                                   "Spelling word list for one user.\r\n"
                                                   "Ignore, exclude, replace.\r\n"
                                                   "Do not edit here.\r\n"
                                                   "\r\n";
static_assert(sizeof(kMainDictionarySignature) - 1 == 123);

constexpr int kMainDictionaryLevels = 9;
constexpr uint32_t kNoChildren = 0xFFFFF;
constexpr uint32_t kLongReferenceSelector = 65535;
constexpr int kFirstLetterTableSize = 2048;
constexpr int kTrailingTableSize = 1024;

// The 32-bit value of a node.
constexpr uint32_t WdmNodeChar(uint32_t v) {
    return v & 0xFF;
}
constexpr uint32_t WdmNodeLink(uint32_t v) {
    return (v >> 8) & 0xFFFFF;
}
constexpr uint32_t WdmNodeCount(uint32_t v) {
    return (v >> 28) & 7;
}
constexpr bool WdmNodeEndsWord(uint32_t v) {
    return (v >> 31) != 0;
}
constexpr uint32_t WdmMakeNode(uint8_t c, uint32_t link, uint32_t count, bool endsWord) {
    return c | (link & 0xFFFFF) << 8 | (count & 7) << 28 | (endsWord ? 0x80000000u : 0);
}
