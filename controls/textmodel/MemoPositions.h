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
