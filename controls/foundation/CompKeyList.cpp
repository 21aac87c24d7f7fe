#include "controls/foundation/CompKeyList.h"

#include "controls/foundation/FreeNotifications.h"

ZEL_DEFINE_CLASS(TSortedCompKeyList, TSortedKeyDataList, {})

TSortedCompKeyList::~TSortedCompKeyList() {
    for (void* P : FList.Items())
        dcRemoveFreeNotification(static_cast<TObject*>(static_cast<TSortedCustomData*>(P)->Key),
                                 TFreeNotifyProc(this, &TSortedCompKeyList::Notification));
}

TSortedCustomData* TSortedCompKeyList::Add(void* Key) {
    const int32_t Before = Count();
    TSortedCustomData* Item = TSortedKeyDataList::Add(Key);
    if (Count() != Before)
        dcAddFreeNotification(static_cast<TObject*>(Key),
                              TFreeNotifyProc(this, &TSortedCompKeyList::Notification));
    return Item;
}

void TSortedCompKeyList::Delete(int32_t Index) {
    auto* Item = static_cast<TSortedCustomData*>(FList.Get(Index));
    dcRemoveFreeNotification(static_cast<TObject*>(Item->Key),
                             TFreeNotifyProc(this, &TSortedCompKeyList::Notification));
    TSortedKeyDataList::Delete(Index);
}

void TSortedCompKeyList::Notification(TObject* Obj) {
    const int32_t Index = IndexOfKey(Obj);
    if (Index >= 0)
        Delete(Index);
}
