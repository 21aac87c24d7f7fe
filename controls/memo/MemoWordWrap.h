#pragma once
// Break records of the memo's word wrap. The break list holds one record for every row of a
// wrapped line except its first; the line-info list one record for the last row of every line
// that has breaks. Both are ordered by line, then by break position; record i of the break list
// lies on row Line + i + 1, since every earlier break adds one row.

#include <climits>
#include <cstdint>
#include <vector>

#include "controls/textmodel/MemoPositions.h"

struct TWBPoint {
    int32_t Char = 0; // characters of the line before the row this record opens (0 in line-info)
    int32_t Line = 0;
    int32_t Width = 0; // pixel size of the row that ends here (proportional fonts)
    int32_t Height = 0;
    int32_t BaseLine = 0;
};

class TWordWrapList : public TMemoPositionList<TWBPoint> {
public:
    // Index of the nearest record at or before (Char, Line) (by row when ByRow: Line is then a
    // row), -1 when there is none; Exact tells whether it lies on that line (or row).
    int32_t FindNear(int32_t Char, int32_t Line, bool ByRow, bool& Exact) const;
    // Removes the records of lines First..Last (Last = INT_MAX: to the end).
    void ClearRange(int32_t First, int32_t Last);
    // Records of lines First..Last.
    int32_t CountInRange(int32_t First, int32_t Last) const;
};

class TLineInfoList : public TWordWrapList {};
