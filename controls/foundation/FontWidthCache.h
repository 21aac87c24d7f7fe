#pragma once
// Widths of the 256 single-byte characters of up to 32 fonts, so that painting can measure text
// without asking the platform for every string.
#include <array>
#include <cstdint>

#include "framework/core/Win.h"

struct TFontInfo {
    int32_t Overhang;
    int32_t Ascent;
    int32_t Descent;
    int32_t AveCharWidth2; // twice the average character width
};

class TFontManager {
public:
    static constexpr int CacheSize = 32;
    TFontManager();
    ~TFontManager();
    TFontManager(const TFontManager&) = delete;
    TFontManager& operator=(const TFontManager&) = delete;

    int GetWidth(HFONT Font, const char* Text, int Len);
    // Widths (when given) receives the width of each character by position.
    int GetWidthAndInfo(HFONT Font, const char* Text, int Len, TFontInfo* Info, int* Widths);
    // How many characters fit into MaxWidth, from the first (or, Backward, from the last);
    // without Floor a character more than half of which fits counts too.
    int GetCharsInWidth(HFONT Font, const char* Text, int Len, int MaxWidth, bool Backward, bool Floor,
                        int& Width);
    // Valid until the entry is reused.
    const TFontInfo& GetFontInfo(HFONT Font);
    int GetFontHeight(HFONT Font);
    // Drops the measurements of a font whose handle is going away.
    void ForgetFont(HFONT Font);
    bool IsCached(HFONT Font) const;

private:
    struct TEntry {
        HFONT Font = nullptr;
        TFontInfo Info{};
        int32_t Height = 0;
        std::array<int32_t, 256> Widths{};
    };
    TEntry& Lookup(HFONT Font);
    void Measure(TEntry& Entry);
    static void FontFreed(HFONT Font);
    std::array<TEntry, CacheSize> FEntries;
    std::array<TEntry*, CacheSize> FOrder; // most recently used first
    HDC FDC = nullptr;
    void (*FPreviousHook)(HFONT) = nullptr;
};

// The program's font manager: made by the first call, freed by FreeFontManager at shutdown.
TFontManager& FontManager();
void FreeFontManager();
