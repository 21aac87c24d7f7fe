#pragma once
// A sorted list keyed by objects that forgets an object when it is destroyed.

#include "controls/foundation/SortedLists.h"

// Keys are objects; an entry goes when its key object is destroyed.
class TSortedCompKeyList : public TSortedKeyDataList {
    ZEL_DECLARE_CLASS(TSortedCompKeyList)
public:
    using TSortedKeyDataList::TSortedKeyDataList;
    ~TSortedCompKeyList() override;

    TSortedCustomData* Add(void* Key) override;
    void Delete(int32_t Index) override;
    void Notification(TObject* Obj);
};
