#pragma once
// Per-position data that follows the text: bookmarks and the lines hidden in collapsed blocks.

#include <cstdint>
#include <vector>

struct TBookMarkRec {
    int32_t Char = 0;
    int32_t Line = 0;
    int32_t Number = 0;
};

// Bookmarks in order of line, then character, then number.
class TMemoBookMarkList {
public:
    void SetBookMark(int32_t chr, int32_t line, int32_t number);
    // Number of the first bookmark on the line; 0 when there is none (indistinguishable from bookmark 0).
    int32_t GetBookMarkForLine(int32_t line) const;
    int32_t GetBookmarkFromRange(int32_t line, int32_t from, int32_t to) const;
    void GetBookmarksFromRange(int32_t line, int32_t from, int32_t to, std::vector<TBookMarkRec>& list) const;
    bool ClearBookMark(int32_t number, int32_t& line);
    bool FindBookMark(int32_t number, TBookMarkRec& rec) const;
    void CharChanged(int32_t line, int32_t chr, int32_t delta);
    void LineChanged(int32_t line, int32_t chr, int32_t delta);
    // Drops the bookmarks of `line` and moves those below it up by one line.
    void LineDeleted(int32_t line);
    void Clear() { FItems.clear(); }
    int32_t Count() const { return int32_t(FItems.size()); }
    const TBookMarkRec& operator[](int32_t i) const { return FItems[size_t(i)]; }

private:
    void Sort();
    std::vector<TBookMarkRec> FItems;
};

// Real indexes of hidden lines, ascending.
class TVisibleLinesList {
public:
    void SetLineVisible(int32_t line, bool visible);
    bool GetLineVisible(int32_t line) const;
    int32_t RealToVisibleIndex(int32_t real) const;
    int32_t VisibleToRealIndex(int32_t visible) const;
    void LineChanged(int32_t line, int32_t delta);
    void Clear() { FItems.clear(); }
    int32_t Count() const { return int32_t(FItems.size()); }

private:
    std::vector<int32_t> FItems;
};

// Records with a position (fields Char and Line), kept in order of line, then character. Views
// build their own position lists on it (the memo's word-wrap lists).
template <class T> class TMemoPositionList {
public:
    int32_t Count() const { return int32_t(FItems.size()); }
    const T& Item(int32_t index) const { return FItems[size_t(index)]; }
    T& Item(int32_t index) { return FItems[size_t(index)]; }
    static int32_t Compare(const T& a, int32_t chr, int32_t line) {
        if (a.Line != line)
            return a.Line < line ? -1 : 1;
        if (a.Char != chr)
            return a.Char < chr ? -1 : 1;
        return 0;
    }
    // Index of the first record at or after (chr, line); true when it is at exactly that position.
    bool Find(int32_t chr, int32_t line, int32_t& index) const {
        size_t lo = 0, hi = FItems.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (Compare(FItems[mid], chr, line) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        index = int32_t(lo);
        return lo < FItems.size() && Compare(FItems[lo], chr, line) == 0;
    }
    // Inserts in order (after records at the same position) and answers the index.
    int32_t Add(const T& record) {
        // Records mostly come in order (a view wraps its lines from the top).
        if (FItems.empty() || Compare(FItems.back(), record.Char, record.Line) <= 0) {
            FItems.push_back(record);
            return Count() - 1;
        }
        int32_t index = 0;
        Find(record.Char, record.Line, index);
        while (index < Count() && Compare(FItems[size_t(index)], record.Char, record.Line) == 0)
            ++index;
        FItems.insert(FItems.begin() + index, record);
        return index;
    }
    void Delete(int32_t index) { FItems.erase(FItems.begin() + index); }
    void DeleteRange(int32_t first, int32_t count) {
        if (count > 0)
            FItems.erase(FItems.begin() + first, FItems.begin() + first + count);
    }
    void Clear() { FItems.clear(); }

protected:
    std::vector<T> FItems;
};
