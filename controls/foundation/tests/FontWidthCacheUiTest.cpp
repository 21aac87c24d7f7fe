#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/foundation/FontWidthCache.h"
#include "framework/ui/Graphics.h"

namespace {

int PlatformWidth(HFONT Font, const std::string& Text) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font);
    SIZE S{};
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &S);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return S.cx;
}

std::vector<std::unique_ptr<TFont>> MakeFonts(int Count) {
    std::vector<std::unique_ptr<TFont>> Fonts;
    for (int I = 0; I < Count; ++I) {
        auto F = std::make_unique<TFont>();
        F->SetName("Arial");
        F->SetHeight(-(8 + I));
        Fonts.push_back(std::move(F));
    }
    return Fonts;
}

TEST(FontWidthCacheTest, WidthsAgreeWithThePlatformsMeasurement) {
    TFontManager M;
    auto Fonts = MakeFonts(3);
    const std::string Text = "The quick brown fox, 0123456789!";
    for (auto& F : Fonts) {
        EXPECT_EQ(M.GetWidth(F->Handle(), Text.c_str(), static_cast<int>(Text.size())),
                  PlatformWidth(F->Handle(), Text));
        std::vector<int> Widths(Text.size());
        TFontInfo Info{};
        int Sum =
            M.GetWidthAndInfo(F->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Info, Widths.data());
        EXPECT_EQ(Widths[0], PlatformWidth(F->Handle(), "T"));
        EXPECT_GT(Info.Ascent, 0);
        EXPECT_GT(Sum, 0);
    }
    EXPECT_EQ(M.GetWidth(Fonts[0]->Handle(), "abc", 0), 0);
}

TEST(FontWidthCacheTest, The33rdFontEvictsTheLeastRecentlyUsed) {
    TFontManager M;
    auto Fonts = MakeFonts(33);
    for (int I = 0; I < 32; ++I)
        M.GetWidth(Fonts[static_cast<size_t>(I)]->Handle(), "x", 1);
    // Using the oldest moves it to the front, so the second oldest goes instead.
    M.GetWidth(Fonts[0]->Handle(), "x", 1);
    M.GetWidth(Fonts[32]->Handle(), "x", 1);
    EXPECT_TRUE(M.IsCached(Fonts[0]->Handle()));
    EXPECT_FALSE(M.IsCached(Fonts[1]->Handle()));
    EXPECT_TRUE(M.IsCached(Fonts[2]->Handle()));
    EXPECT_TRUE(M.IsCached(Fonts[32]->Handle()));
}

TEST(FontWidthCacheTest, AFreedFontIsForgottenSoAReusedHandleIsMeasuredAgain) {
    TFontManager M;
    auto Small = std::make_unique<TFont>();
    Small->SetName("Arial");
    Small->SetHeight(-8);
    HFONT H = Small->Handle();
    M.GetWidth(H, "W", 1);
    ASSERT_TRUE(M.IsCached(H));
    Small.reset(); // the platform may now give this handle to another font
    EXPECT_FALSE(M.IsCached(H));
    TFont Big;
    Big.SetName("Arial");
    Big.SetHeight(-40);
    EXPECT_EQ(M.GetWidth(Big.Handle(), "W", 1), PlatformWidth(Big.Handle(), "W"));
    // A handle that is no font is refused and not kept.
    EXPECT_THROW(M.GetWidth(reinterpret_cast<HFONT>(static_cast<intptr_t>(0x1234)), "W", 1), Exception);
    EXPECT_FALSE(M.IsCached(reinterpret_cast<HFONT>(static_cast<intptr_t>(0x1234))));
}

TEST(FontWidthCacheTest, CharsInWidthCountsWholeAndHalfCharacters) {
    TFontManager M;
    TFont F;
    F.SetName("Courier New");
    F.SetPitch(TFontPitch::fpFixed);
    F.SetHeight(-20);
    HFONT H = F.Handle();
    int W = M.GetWidth(H, "M", 1);
    ASSERT_GT(W, 3);
    const char* Text = "MMMM";
    struct Case {
        const char* Name;
        int MaxWidth;
        bool Backward, Floor;
        int Count, Width;
    };
    const Case Cases[] = {
        {"all fit", 4 * W, false, false, 4, 4 * W},
        {"floor stops before a part", 2 * W + W - 1, false, true, 2, 2 * W},
        {"more than half counts", 2 * W + W / 2 + 1, false, false, 3, 3 * W},
        {"half or less does not", 2 * W + W / 2, false, false, 2, 2 * W},
        {"narrower than one, floor", W - 1, false, true, 0, 0},
        {"narrower than one, mostly fits", W - 1, false, false, 1, W},
        {"backward", 2 * W, true, true, 2, 2 * W},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        int Width = -1;
        EXPECT_EQ(M.GetCharsInWidth(H, Text, 4, C.MaxWidth, C.Backward, C.Floor, Width), C.Count);
        EXPECT_EQ(Width, C.Width);
    }
    // Backward counts from the end: a wide last character does not fit where narrow ones would.
    int Narrow = M.GetWidth(H, "i", 1);
    int Width = 0;
    EXPECT_EQ(M.GetCharsInWidth(H, "iiM", 3, W, true, true, Width), 1);
    EXPECT_EQ(M.GetCharsInWidth(H, "iiM", 3, W, false, true, Width), W / Narrow >= 2 ? 2 : W / Narrow);
    EXPECT_EQ(M.GetCharsInWidth(H, Text, 0, 100, false, false, Width), 0);
    EXPECT_EQ(Width, 0);
}

} // namespace
