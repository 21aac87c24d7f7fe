#include "controls/memo/MemoWordWrap.h"

int32_t TWordWrapList::FindNear(int32_t Char, int32_t Line, bool ByRow, bool& Exact) const {
    Exact = false;
    int32_t Lo = 0, Hi = Count();
    // The last record at or before the point.
    while (Lo < Hi) {
        const int32_t Mid = (Lo + Hi) / 2;
        const TWBPoint& R = Item(Mid);
        bool AtOrBefore;
        if (ByRow) {
            const int64_t Row = int64_t(R.Line) + Mid + 1;
            AtOrBefore = Row <= Line;
        } else {
            AtOrBefore = R.Line < Line || (R.Line == Line && R.Char <= Char);
        }
        if (AtOrBefore)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    const int32_t Index = Lo - 1;
    if (Index >= 0) {
        const TWBPoint& R = Item(Index);
        Exact = ByRow ? int64_t(R.Line) + Index + 1 == Line : R.Line == Line;
    }
    return Index;
}

void TWordWrapList::ClearRange(int32_t First, int32_t Last) {
    if (First > Last)
        return;
    int32_t Begin = 0, End = 0;
    Find(INT_MIN, First, Begin);
    if (Last == INT_MAX)
        End = Count();
    else
        Find(INT_MIN, Last + 1, End);
    DeleteRange(Begin, End - Begin);
}

int32_t TWordWrapList::CountInRange(int32_t First, int32_t Last) const {
    if (First > Last)
        return 0;
    int32_t Begin = 0, End = 0;
    Find(INT_MIN, First, Begin);
    if (Last == INT_MAX)
        End = Count();
    else
        Find(INT_MIN, Last + 1, End);
    return End - Begin;
}
