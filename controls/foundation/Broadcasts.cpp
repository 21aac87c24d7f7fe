#include "controls/foundation/Broadcasts.h"

#include <algorithm>

namespace {
std::vector<TObject*>* GNotifiers = nullptr;
int32_t GIDEUpdateCount = 0;

std::vector<TObject*>& Notifiers() {
    if (!GNotifiers)
        GNotifiers = new std::vector<TObject*>;
    return *GNotifiers;
}
} // namespace

void RegisterNotifier(TObject* Object) {
    if (!Object)
        return;
    UnregisterNotifier(Object);
    Notifiers().push_back(Object);
}

void UnregisterNotifier(TObject* Object) {
    if (GNotifiers)
        std::erase(*GNotifiers, Object);
}

const std::vector<TObject*>& NotifierObjects() {
    return Notifiers();
}

void FreeNotifierObjects() {
    delete GNotifiers;
    GNotifiers = nullptr;
}

bool BroadcastToNotifierList(TObject*, std::vector<TObject*>& List, uint32_t Msg, intptr_t A, intptr_t B,
                             bool StopOnResult) {
    THSMessage Message{Msg, A, B, 0};
    const std::vector<TObject*> Snapshot = List;
    for (auto It = Snapshot.rbegin(); It != Snapshot.rend(); ++It) {
        if (std::find(List.begin(), List.end(), *It) == List.end())
            continue;
        if (auto* Handler = dynamic_cast<IHSMessageHandler*>(*It))
            Handler->HSDispatch(Message);
        if (StopOnResult && Message.Result != 0)
            return false;
    }
    return true;
}

bool BroadcastToNotifiersEx(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B, bool StopOnResult) {
    return BroadcastToNotifierList(Sender, Notifiers(), Msg, A, B, StopOnResult);
}

void BroadCastToNotifiers(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B) {
    BroadcastToNotifiersEx(Sender, Msg, A, B, false);
}

bool NotifiersAgree(TObject* Sender, uint32_t Msg, intptr_t A, intptr_t B) {
    return BroadcastToNotifiersEx(Sender, Msg, A, B, true);
}

void SimpleBroadCast(uint32_t Msg) {
    BroadCastToNotifiers(nullptr, Msg, 0, 0);
}

TMessageAnswer::TMessageAnswer() {
    RegisterNotifier(this);
}

TMessageAnswer::~TMessageAnswer() {
    UnregisterNotifier(this);
}

void TMessageAnswer::HSDispatch(THSMessage& Message) {
    if (OnMessage)
        OnMessage(Message);
}

int32_t IDEUpdateCount() {
    return GIDEUpdateCount;
}

void IDEChanged() {
    if (GIDEUpdateCount == 0)
        SimpleBroadCast(HS_IDECHANGED);
}

void IDEBeginUpdate() {
    if (GIDEUpdateCount == 0)
        SimpleBroadCast(HS_IDEBEGINUPDATE);
    ++GIDEUpdateCount;
}

void IDEEndUpdate() {
    if (GIDEUpdateCount <= 0)
        return;
    if (--GIDEUpdateCount == 0) {
        SimpleBroadCast(HS_IDEENDUPDATE);
        IDEChanged();
    }
}

void NotifyDestroy(TObject* Object) {
    BroadCastToNotifiers(nullptr, HS_NOTIFYDESTROY, reinterpret_cast<intptr_t>(Object), 0);
}

void NotifyDestroyObjects(void* List) {
    if (List)
        BroadCastToNotifiers(nullptr, HS_NOTIFYDESTROY, 0, reinterpret_cast<intptr_t>(List));
}
