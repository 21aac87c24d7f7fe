#include "controls/textmodel/MemoPositions.h"

#include <algorithm>

namespace {
bool BookMarkLess(const TBookMarkRec& a, const TBookMarkRec& b) {
    if (a.Line != b.Line)
        return a.Line < b.Line;
    if (a.Char != b.Char)
        return a.Char < b.Char;
    return a.Number < b.Number;
}
} // namespace

void TMemoBookMarkList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), BookMarkLess);
}

void TMemoBookMarkList::SetBookMark(int32_t chr, int32_t line, int32_t number) {
    TBookMarkRec rec{chr, line, number};
    auto it = std::lower_bound(FItems.begin(), FItems.end(), rec, BookMarkLess);
    if (it != FItems.end() && it->Line == line && it->Char == chr && it->Number == number)
        return;
    FItems.insert(it, rec);
}

int32_t TMemoBookMarkList::GetBookMarkForLine(int32_t line) const {
    for (const auto& r : FItems)
        if (r.Line == line)
            return r.Number;
    return 0;
}

int32_t TMemoBookMarkList::GetBookmarkFromRange(int32_t line, int32_t from, int32_t to) const {
    for (const auto& r : FItems)
        if (r.Line == line && r.Char >= from && r.Char < to)
            return r.Number;
    return 0;
}

void TMemoBookMarkList::GetBookmarksFromRange(int32_t line, int32_t from, int32_t to,
                                              std::vector<TBookMarkRec>& list) const {
    list.clear();
    for (const auto& r : FItems)
        if (r.Line == line && r.Char >= from && r.Char < to)
            list.push_back(r);
}

bool TMemoBookMarkList::ClearBookMark(int32_t number, int32_t& line) {
    for (size_t i = FItems.size(); i-- > 0;) {
        if (FItems[i].Number == number) {
            line = FItems[i].Line;
            FItems.erase(FItems.begin() + long(i));
            return true;
        }
    }
    return false;
}

bool TMemoBookMarkList::FindBookMark(int32_t number, TBookMarkRec& rec) const {
    for (size_t i = FItems.size(); i-- > 0;) {
        if (FItems[i].Number == number) {
            rec = FItems[i];
            return true;
        }
    }
    return false;
}

void TMemoBookMarkList::CharChanged(int32_t line, int32_t chr, int32_t delta) {
    for (auto& r : FItems) {
        if (r.Line != line)
            continue;
        if (delta > 0 && r.Char >= chr)
            r.Char += delta;
        if (delta < 0 && r.Char > chr)
            r.Char = std::max(0, r.Char + delta);
    }
    Sort();
}

void TMemoBookMarkList::LineChanged(int32_t line, int32_t chr, int32_t delta) {
    for (auto& r : FItems)
        if (r.Line > line || (r.Line == line && r.Char >= chr))
            r.Line = std::max(0, r.Line + delta);
    Sort();
}

void TMemoBookMarkList::LineDeleted(int32_t line) {
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                                [line](const TBookMarkRec& r) { return r.Line == line; }),
                 FItems.end());
    for (auto& r : FItems)
        if (r.Line > line)
            --r.Line;
}

void TVisibleLinesList::SetLineVisible(int32_t line, bool visible) {
    auto it = std::lower_bound(FItems.begin(), FItems.end(), line);
    bool present = it != FItems.end() && *it == line;
    if (visible && present)
        FItems.erase(it);
    if (!visible && !present)
        FItems.insert(it, line);
}

bool TVisibleLinesList::GetLineVisible(int32_t line) const {
    return !std::binary_search(FItems.begin(), FItems.end(), line);
}

int32_t TVisibleLinesList::RealToVisibleIndex(int32_t real) const {
    auto hiddenAtOrBefore = std::upper_bound(FItems.begin(), FItems.end(), real) - FItems.begin();
    return real - int32_t(hiddenAtOrBefore);
}

int32_t TVisibleLinesList::VisibleToRealIndex(int32_t visible) const {
    int32_t real = visible;
    for (int32_t hidden : FItems) {
        if (hidden <= real)
            ++real;
        else
            break;
    }
    return real;
}

void TVisibleLinesList::LineChanged(int32_t line, int32_t delta) {
    for (auto& v : FItems)
        if (v > line)
            v += delta;
    FItems.erase(std::unique(FItems.begin(), FItems.end()), FItems.end());
}
