#include "controls/foundation/FontWidthCache.h"

#include <algorithm>
#include <memory>

#include "framework/core/Exceptions.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Graphics.h"

namespace {

TFontManager* Instance = nullptr;
TFontManager* HookOwner = nullptr;

[[noreturn]] void RaiseLastError() {
    throw Exception(SysErrorMessage(GetLastError()));
}

} // namespace

TFontManager::TFontManager() {
    for (int I = 0; I < CacheSize; ++I)
        FOrder[static_cast<size_t>(I)] = &FEntries[static_cast<size_t>(I)];
    FDC = GetDC(nullptr);
    FPreviousHook = SetFontHandleFreedHook(&TFontManager::FontFreed);
    HookOwner = this;
}

TFontManager::~TFontManager() {
    if (HookOwner == this) {
        SetFontHandleFreedHook(FPreviousHook);
        HookOwner = nullptr;
    }
    if (FDC)
        ReleaseDC(nullptr, FDC);
}

void TFontManager::FontFreed(HFONT Font) {
    if (!HookOwner)
        return;
    HookOwner->ForgetFont(Font);
    if (HookOwner->FPreviousHook)
        HookOwner->FPreviousHook(Font);
}

void TFontManager::ForgetFont(HFONT Font) {
    if (!Font)
        return;
    for (size_t P = 0; P < FOrder.size(); ++P) {
        if (FOrder[P]->Font != Font)
            continue;
        // A forgotten entry is free and goes to the end, to be reused first.
        TEntry* E = FOrder[P];
        E->Font = nullptr;
        std::rotate(FOrder.begin() + static_cast<ptrdiff_t>(P),
                    FOrder.begin() + static_cast<ptrdiff_t>(P) + 1, FOrder.end());
        return;
    }
}

bool TFontManager::IsCached(HFONT Font) const {
    for (const TEntry* E : FOrder)
        if (Font && E->Font == Font)
            return true;
    return false;
}

TFontManager::TEntry& TFontManager::Lookup(HFONT Font) {
    size_t P = 0;
    for (; P < FOrder.size(); ++P)
        if (!FOrder[P]->Font || FOrder[P]->Font == Font)
            break;
    if (P < FOrder.size() && FOrder[P]->Font == Font) {
        std::rotate(FOrder.begin(), FOrder.begin() + static_cast<ptrdiff_t>(P),
                    FOrder.begin() + static_cast<ptrdiff_t>(P) + 1);
        return *FOrder[0];
    }
    // Not cached: the least recently used entry (or a free one) takes the font.
    P = FOrder.size() - 1;
    for (size_t Q = 0; Q < FOrder.size(); ++Q)
        if (!FOrder[Q]->Font) {
            P = Q;
            break;
        }
    TEntry* E = FOrder[P];
    E->Font = Font;
    {
        // Only successful measurements are kept.
        TFailureGuard Forget([E] { E->Font = nullptr; });
        Measure(*E);
    }
    std::rotate(FOrder.begin(), FOrder.begin() + static_cast<ptrdiff_t>(P),
                FOrder.begin() + static_cast<ptrdiff_t>(P) + 1);
    return *FOrder[0];
}

void TFontManager::Measure(TEntry& E) {
    // A handle that is no font would leave the previous font selected and measure that one.
    if (GetObjectType(E.Font) != OBJ_FONT) {
        SetLastError(ERROR_INVALID_HANDLE);
        RaiseLastError();
    }
    HGDIOBJ Old = SelectObject(FDC, E.Font);
    INT Widths[256];
    BOOL WidthsOk = GetCharWidth32A(FDC, 0, 255, Widths);
    TEXTMETRICA TM{};
    BOOL MetricsOk = GetTextMetricsA(FDC, &TM);
    SelectObject(FDC, Old);
    if (!WidthsOk || !MetricsOk)
        RaiseLastError();
    for (int I = 0; I < 256; ++I)
        E.Widths[static_cast<size_t>(I)] = Widths[I];
    E.Info = TFontInfo{TM.tmOverhang, TM.tmAscent, TM.tmDescent, TM.tmAveCharWidth * 2};
    E.Height = TM.tmHeight;
}

int TFontManager::GetWidth(HFONT Font, const char* Text, int Len) {
    if (Len <= 0)
        return 0;
    return GetWidthAndInfo(Font, Text, Len, nullptr, nullptr);
}

int TFontManager::GetWidthAndInfo(HFONT Font, const char* Text, int Len, TFontInfo* Info, int* Widths) {
    TEntry& E = Lookup(Font);
    int Sum = 0;
    for (int I = 0; I < Len; ++I) {
        int W = E.Widths[static_cast<unsigned char>(Text[I])];
        if (Widths)
            Widths[I] = W;
        Sum += W;
    }
    if (Info)
        *Info = E.Info;
    return Sum;
}

int TFontManager::GetCharsInWidth(HFONT Font, const char* Text, int Len, int MaxWidth, bool Backward,
                                  bool Floor, int& Width) {
    Width = 0;
    if (Len <= 0)
        return 0;
    TEntry& E = Lookup(Font);
    for (int Count = 0; Count < Len; ++Count) {
        int W = E.Widths[static_cast<unsigned char>(Text[Backward ? Len - 1 - Count : Count])];
        if (Width + W > MaxWidth) {
            if (!Floor && MaxWidth - Width > W / 2) {
                Width += W;
                return Count + 1;
            }
            return Count;
        }
        Width += W;
    }
    return Len;
}

const TFontInfo& TFontManager::GetFontInfo(HFONT Font) {
    return Lookup(Font).Info;
}
int TFontManager::GetFontHeight(HFONT Font) {
    return Lookup(Font).Height;
}

TFontManager& FontManager() {
    if (!Instance)
        Instance = new TFontManager();
    return *Instance;
}

void FreeFontManager() {
    delete Instance;
    Instance = nullptr;
}
