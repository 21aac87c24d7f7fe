#include "controls/foundation/StreamRecords.h"

#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

void WriteShortStr(TStream& Stream, const std::string& S) {
    const auto N = static_cast<uint8_t>(S.size() > 255 ? 255 : S.size());
    Stream.WriteBuffer(&N, 1);
    if (N)
        Stream.WriteBuffer(S.data(), N);
}

void WriteInt(TStream& Stream, int32_t Value) {
    const auto U = static_cast<uint32_t>(Value);
    const uint8_t B[4] = {static_cast<uint8_t>(U), static_cast<uint8_t>(U >> 8),
                          static_cast<uint8_t>(U >> 16), static_cast<uint8_t>(U >> 24)};
    Stream.WriteBuffer(B, 4);
}

void WriteWord(TStream& Stream, uint16_t Value) {
    const uint8_t B[2] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8)};
    Stream.WriteBuffer(B, 2);
}

std::string PReadShortStr(const uint8_t*& P, const uint8_t* End) {
    if (P >= End || End - P - 1 < *P)
        throw EReadError(SReadError);
    const size_t N = *P++;
    std::string S(reinterpret_cast<const char*>(P), N);
    P += N;
    return S;
}

void HSWriteStrWithLenToStream(TStream& Stream, const std::string& S) {
    WriteInt(Stream, static_cast<int32_t>(S.size()));
    if (!S.empty())
        Stream.WriteBuffer(S.data(), static_cast<int32_t>(S.size()));
}

std::string HSReadStrWithLenFromStream(TStream& Stream) {
    uint8_t B[4];
    Stream.ReadBuffer(B, 4);
    const auto N =
        static_cast<int32_t>(static_cast<uint32_t>(B[0]) | (static_cast<uint32_t>(B[1]) << 8) |
                             (static_cast<uint32_t>(B[2]) << 16) | (static_cast<uint32_t>(B[3]) << 24));
    if (N < 0 || N > Stream.Size() - Stream.Position())
        throw EReadError(SReadError);
    std::string S(static_cast<size_t>(N), '\0');
    if (N)
        Stream.ReadBuffer(S.data(), N);
    return S;
}

void HSClearPointStruct(POINT& P) {
    P.x = -1;
    P.y = -1;
}

bool HSIsPointStructClear(const POINT& P) {
    return P.x == -1 && P.y == -1;
}
