#include "controls/foundation/NotifierList.h"

#include <algorithm>

#include "controls/foundation/ComponentAccess.h"

void TNotifierList::AddMethod(const THSNotifyEvent& Method) {
    DeleteMethod(Method);
    FItems.push_back({Method, FNextSerial++});
}

void TNotifierList::DeleteMethod(const THSNotifyEvent& Method) {
    auto It = std::find_if(FItems.begin(), FItems.end(), [&](const TEntry& E) { return E.Method == Method; });
    if (It != FItems.end())
        FItems.erase(It);
}

void TNotifierList::DeleteWithData(const TObject* Object) {
    std::erase_if(FItems, [&](const TEntry& E) {
        return E.Method.Data() == Object || (E.Method.Object() && E.Method.Object() == Object);
    });
}

bool TNotifierList::Holds(uint64_t Serial) const {
    return std::any_of(FItems.begin(), FItems.end(), [&](const TEntry& E) { return E.Serial == Serial; });
}

void TNotifierList::NotifyEvents(TObject* Sender, int32_t A, int32_t B) {
    const std::vector<TEntry> Snapshot = FItems;
    for (auto It = Snapshot.rbegin(); It != Snapshot.rend(); ++It)
        if (Holds(It->Serial))
            It->Method(Sender, A, B);
}

void TNotifierList::NotifyDestroying(TComponent* Component) {
    const std::vector<TEntry> Snapshot = FItems;
    for (auto It = Snapshot.rbegin(); It != Snapshot.rend(); ++It) {
        if (!Holds(It->Serial))
            continue;
        if (auto* Listener = dynamic_cast<TComponent*>(It->Method.Object()))
            TComponentAccess::Notify(Listener, Component, opRemove);
    }
}
