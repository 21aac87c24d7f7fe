#include "framework/ui/PngWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "framework/ui/Graphics.h"

namespace {

uint32_t Crc32(const uint8_t* Data, size_t Len, uint32_t Crc = 0) {
    static uint32_t Table[256];
    static bool Ready = false;
    if (!Ready) {
        for (uint32_t N = 0; N < 256; ++N) {
            uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            Table[N] = C;
        }
        Ready = true;
    }
    Crc = ~Crc;
    for (size_t I = 0; I < Len; ++I)
        Crc = Table[(Crc ^ Data[I]) & 0xFF] ^ (Crc >> 8);
    return ~Crc;
}

void PutBE32(std::vector<uint8_t>& Out, uint32_t V) {
    Out.push_back(static_cast<uint8_t>(V >> 24));
    Out.push_back(static_cast<uint8_t>(V >> 16));
    Out.push_back(static_cast<uint8_t>(V >> 8));
    Out.push_back(static_cast<uint8_t>(V));
}

void PutChunk(std::vector<uint8_t>& Out, const char* Type, const std::vector<uint8_t>& Data) {
    PutBE32(Out, static_cast<uint32_t>(Data.size()));
    size_t Start = Out.size();
    Out.insert(Out.end(), Type, Type + 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    PutBE32(Out, Crc32(Out.data() + Start, Out.size() - Start));
}

} // namespace

std::vector<uint8_t> EncodePng(int Width, int Height, const std::vector<uint8_t>& Rgb) {
    if (Width <= 0 || Height <= 0 ||
        Rgb.size() != static_cast<size_t>(Width) * static_cast<size_t>(Height) * 3)
        throw std::invalid_argument("Bad image for PNG");
    // Raw scan lines, each led by filter type 0.
    std::vector<uint8_t> Raw;
    size_t Row = static_cast<size_t>(Width) * 3;
    Raw.reserve((Row + 1) * static_cast<size_t>(Height));
    for (int Y = 0; Y < Height; ++Y) {
        Raw.push_back(0);
        Raw.insert(Raw.end(), Rgb.begin() + static_cast<ptrdiff_t>(Row * Y),
                   Rgb.begin() + static_cast<ptrdiff_t>(Row * (Y + 1)));
    }
    // zlib stream of stored blocks of at most 65535 bytes.
    std::vector<uint8_t> Z{0x78, 0x01};
    size_t Pos = 0;
    do {
        size_t Len = std::min<size_t>(65535, Raw.size() - Pos);
        bool Last = Pos + Len == Raw.size();
        Z.push_back(Last ? 1 : 0);
        Z.push_back(static_cast<uint8_t>(Len));
        Z.push_back(static_cast<uint8_t>(Len >> 8));
        Z.push_back(static_cast<uint8_t>(~Len));
        Z.push_back(static_cast<uint8_t>(~Len >> 8));
        Z.insert(Z.end(), Raw.begin() + static_cast<ptrdiff_t>(Pos),
                 Raw.begin() + static_cast<ptrdiff_t>(Pos + Len));
        Pos += Len;
    } while (Pos < Raw.size());
    uint32_t A = 1, B = 0;
    for (uint8_t C : Raw) {
        A = (A + C) % 65521;
        B = (B + A) % 65521;
    }
    PutBE32(Z, (B << 16) | A);

    std::vector<uint8_t> Out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> Header;
    PutBE32(Header, static_cast<uint32_t>(Width));
    PutBE32(Header, static_cast<uint32_t>(Height));
    Header.insert(Header.end(), {8, 2, 0, 0, 0}); // 8 bits, truecolour, deflate, no filter, no interlace
    PutChunk(Out, "IHDR", Header);
    PutChunk(Out, "IDAT", Z);
    PutChunk(Out, "IEND", {});
    return Out;
}

void SavePng(TBitmap& Bitmap, const std::string& FileName) {
    int W = Bitmap.Width(), H = Bitmap.Height();
    std::vector<uint8_t> Rgb(static_cast<size_t>(W) * static_cast<size_t>(H) * 3);
    for (int Y = 0; Y < H; ++Y) {
        const uint8_t* Line = Bitmap.ScanLine(Y);
        uint8_t* Dest = Rgb.data() + static_cast<size_t>(Y) * static_cast<size_t>(W) * 3;
        for (int X = 0; X < W; ++X) {
            Dest[X * 3] = Line[X * 3 + 2];
            Dest[X * 3 + 1] = Line[X * 3 + 1];
            Dest[X * 3 + 2] = Line[X * 3];
        }
    }
    std::vector<uint8_t> Png = EncodePng(W, H, Rgb);
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Png.data()), static_cast<std::streamsize>(Png.size()));
    if (!Out)
        throw std::runtime_error("Cannot write " + FileName);
}
