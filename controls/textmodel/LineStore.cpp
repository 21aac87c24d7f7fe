#include "controls/textmodel/LineStore.h"

#include <algorithm>
#include <cstring>

namespace {
const std::string kEmpty;
}

std::string TInternalStrings::Get(int index) const {
    const TStringItem* item = Item(index);
    if (!item)
        return std::string();
    std::string s = item->Text;
    if (!Raw && OnGetString)
        OnGetString(s);
    return s;
}

const std::string& TInternalStrings::GetRaw(int32_t index) const {
    const TStringItem* item = Item(index);
    return item ? item->Text : kEmpty;
}

void TInternalStrings::Put(int index, const std::string& s) {
    if (TStringItem* item = Item(index)) {
        item->Text = s;
        item->Set(isWasParsed, false);
    }
}

TObject* TInternalStrings::GetObject(int index) const {
    const TStringItem* item = Item(index);
    return item ? item->Object : nullptr;
}

void TInternalStrings::PutObject(int index, TObject* obj) {
    if (TStringItem* item = Item(index))
        item->Object = obj;
}

void TInternalStrings::SetCapacity(int32_t n) {
    if (n < GetCount())
        n = GetCount();
    FCapacity = n;
    if (n == 0) {
        FItems.shrink_to_fit();
    } else {
        FItems.reserve(size_t(n));
    }
}

void TInternalStrings::InsertMove(int32_t index, std::string&& s) {
    if (index < 0 || index > GetCount())
        return;
    if (GetCount() == FCapacity)
        SetCapacity(FCapacity + std::max(FCapacity / 2, 64));
    TStringItem* item = NewItem();
    item->Text = std::move(s);
    FItems.insert(FItems.begin() + index, item);
}

void TInternalStrings::Delete(int index) {
    if (index < 0 || index >= GetCount())
        return;
    FreeItem(FItems[size_t(index)]);
    FItems.erase(FItems.begin() + index);
}

void TInternalStrings::Clear() {
    FItems.clear();
    FItems.shrink_to_fit();
    FCapacity = 0;
    FFree.clear();
    FFree.shrink_to_fit();
    FBlocks.clear();
}

void TInternalStrings::Swap(TInternalStrings& other) noexcept {
    FItems.swap(other.FItems);
    std::swap(FCapacity, other.FCapacity);
    FBlocks.swap(other.FBlocks);
    FFree.swap(other.FFree);
}

TStringItem* TInternalStrings::NewItem() {
    if (FFree.empty()) {
        constexpr size_t kBlock = 256;
        FBlocks.push_back(std::make_unique<TStringItem[]>(kBlock));
        TStringItem* block = FBlocks.back().get();
        FFree.reserve(FFree.size() + kBlock);
        for (size_t i = kBlock; i-- > 0;)
            FFree.push_back(&block[i]);
    }
    TStringItem* item = FFree.back();
    FFree.pop_back();
    return item;
}

void TInternalStrings::FreeItem(TStringItem* item) {
    *item = TStringItem();
    FFree.push_back(item);
}

std::string TInternalStrings::GetText() const {
    std::string out;
    size_t total = 0;
    for (const auto& item : FItems)
        total += item->Text.size() + 2;
    out.reserve(total);
    for (int32_t i = 0; i < GetCount(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    for (int n = 0; n < 2 && !out.empty() && (out.back() == '\r' || out.back() == '\n'); ++n)
        out.pop_back();
    return out;
}

namespace TextRoutines {

size_t FindLowByte(const char* text, size_t from, size_t size) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    size_t i = from;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        // Some byte of the word is below 14 exactly when this is not zero.
        if (((word - kOnes * 14) & ~word & kHigh) == 0)
            continue;
        for (size_t k = i; k < i + 8; ++k)
            if (uint8_t(text[k]) < 14)
                return k;
    }
    for (; i < size; ++i)
        if (uint8_t(text[i]) < 14)
            return i;
    return size;
}

size_t FindTab(const std::string& s) {
    size_t i = FindLowByte(s.data(), 0, s.size());
    while (i < s.size() && s[i] != '\t')
        i = FindLowByte(s.data(), i + 1, s.size());
    return i;
}

int32_t FindChar(const std::string& s, char ch, int32_t from) {
    if (from < 1)
        from = 1;
    if (size_t(from) > s.size())
        return 0;
    size_t p = s.find(ch, size_t(from - 1));
    return p == std::string::npos ? 0 : int32_t(p + 1);
}

std::string Trim(const std::string& s, TTrimMode mode, bool keepTrailingTabs) {
    size_t b = 0, e = s.size();
    if (mode == tmRight || mode == tmBoth) {
        while (e > 0 && uint8_t(s[e - 1]) <= 32 && !(keepTrailingTabs && s[e - 1] == '\t'))
            --e;
    }
    if (mode == tmLeft || mode == tmBoth) {
        while (b < e && uint8_t(s[b]) <= 32)
            ++b;
    }
    return s.substr(b, e - b);
}

std::string TrimRight(const std::string& s) {
    return Trim(s, tmRight);
}
std::string TrimLeft(const std::string& s) {
    return Trim(s, tmLeft);
}

std::string PadTo(const std::string& s, size_t len, char fill) {
    std::string r = s.substr(0, std::min(len, s.size()));
    r.resize(len, fill);
    return r;
}

} // namespace TextRoutines
