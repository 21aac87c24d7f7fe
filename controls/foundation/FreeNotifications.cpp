#include "controls/foundation/FreeNotifications.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "controls/foundation/SortedLists.h"
#include "framework/core/Component.h"
#include "framework/core/ScopeGuard.h"

namespace {

struct TFreeNotifierInfo {
    struct TEntry {
        TFreeNotifyProc Proc;
        uint64_t Serial;
    };
    TObject* Key = nullptr;
    TComponent* Component = nullptr; // the key as a component, taken while it was alive
    std::vector<TEntry> Entries;     // registration order
};

uint64_t GNextSerial = 1;
// Infos whose listeners are being called; they have left their lists already.
std::vector<TFreeNotifierInfo*> GFiring;

class TFreeNotifiersList : public TCustomSortedList {
public:
    ~TFreeNotifiersList() override {
        for (void* P : FList.Items())
            delete static_cast<TFreeNotifierInfo*>(P);
        FList.Clear();
    }
    int32_t CompareWithKey(void* Item, void* Key) override {
        return CompareKeys(static_cast<TFreeNotifierInfo*>(Item)->Key, Key);
    }
    int32_t Compare(void* Item1, void* Item2) override {
        return CompareKeys(static_cast<TFreeNotifierInfo*>(Item1)->Key,
                           static_cast<TFreeNotifierInfo*>(Item2)->Key);
    }
    TFreeNotifierInfo* InfoOf(const TObject* Key) {
        return static_cast<TFreeNotifierInfo*>(ItemByKey(const_cast<TObject*>(Key)));
    }
    // Answers true when the info is new.
    bool AddProc(TObject* Key, TComponent* Component, const TFreeNotifyProc& Proc) {
        TFreeNotifierInfo* Info = InfoOf(Key);
        const bool IsNew = Info == nullptr;
        if (IsNew) {
            Info = new TFreeNotifierInfo;
            Info->Key = Key;
            Info->Component = Component;
            Add(Info);
        }
        Info->Entries.push_back({Proc, GNextSerial++});
        return IsNew;
    }
    // Removes every registration of Proc; answers the emptied info's component (or the key) when
    // the info went, else nullptr. Found tells whether the key had an info here at all.
    bool RemoveProc(const TObject* Key, const TFreeNotifyProc& Proc, TComponent*& EmptiedComponent) {
        EmptiedComponent = nullptr;
        const int32_t Index = IndexOfKey(const_cast<TObject*>(Key));
        if (Index < 0)
            return false;
        auto* Info = static_cast<TFreeNotifierInfo*>(Get(Index));
        std::erase_if(Info->Entries, [&](const TFreeNotifierInfo::TEntry& E) { return E.Proc == Proc; });
        if (!Info->Entries.empty())
            return false;
        EmptiedComponent = Info->Component;
        FList.Delete(Index);
        delete Info;
        return true;
    }
    // Takes the info of Key out of the list (nullptr when there is none).
    TFreeNotifierInfo* Extract(const TObject* Key) {
        const int32_t Index = IndexOfKey(const_cast<TObject*>(Key));
        if (Index < 0)
            return nullptr;
        auto* Info = static_cast<TFreeNotifierInfo*>(Get(Index));
        FList.Delete(Index);
        return Info;
    }
};

// Calls each listener once, in registration order; a listener removed meanwhile (by itself or
// by another) is not called any more.
void FireInfo(TFreeNotifierInfo* Info) {
    GFiring.push_back(Info);
    const std::vector<TFreeNotifierInfo::TEntry> Snapshot = Info->Entries;
    TScopeGuard Release([Info] {
        std::erase(GFiring, Info);
        delete Info;
    });
    for (const auto& E : Snapshot) {
        const bool Live =
            std::any_of(Info->Entries.begin(), Info->Entries.end(),
                        [&](const TFreeNotifierInfo::TEntry& L) { return L.Serial == E.Serial; });
        if (Live)
            E.Proc(Info->Key);
    }
}

TFreeNotifiersList* GPlain = nullptr;
std::thread::id GPlainThread;

// Called from every TObject's destructor. The lists belong to one thread, so objects ending on
// other threads are not looked up; a listener's exception cannot leave a destructor.
void PlainObjectFreed(TObject* Obj) noexcept {
    if (std::this_thread::get_id() != GPlainThread)
        return;
    try {
        dcNotifyObjectFreed(Obj);
    } catch (...) {
    }
}

TFreeNotifiersList& PlainList() {
    if (!GPlain) {
        GPlain = new TFreeNotifiersList;
        GPlainThread = std::this_thread::get_id();
        SetObjectFreedHook(&PlainObjectFreed);
    }
    return *GPlain;
}

class TNotifierStorage;
TNotifierStorage* GStorage = nullptr;
int GStorageFiring = 0;

// Watches components for the family; exists only while it watches one.
class TNotifierStorage : public TComponent {
public:
    TNotifierStorage() : TComponent(nullptr) {}
    ~TNotifierStorage() override {
        if (GStorage == this)
            GStorage = nullptr;
        for (int32_t I = 0; I < FInfos.Count(); ++I)
            if (auto* C = static_cast<TFreeNotifierInfo*>(FInfos.Get(I))->Component)
                RemoveFreeNotification(C);
    }
    TFreeNotifiersList& Infos() { return FInfos; }
    void FreeIfEmpty() {
        if (GStorageFiring == 0 && FInfos.Count() == 0)
            delete this;
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        TFreeNotifierInfo* Info = FInfos.Extract(AComponent);
        if (!Info)
            return;
        ++GStorageFiring;
        // The storage may end with its last info, so it goes after the firing, thrown or not.
        TScopeGuard Done([this] {
            --GStorageFiring;
            FreeIfEmpty();
        });
        FireInfo(Info);
    }

private:
    TFreeNotifiersList FInfos;
};

} // namespace

void dcAddFreeNotification(TObject* Obj, const TFreeNotifyProc& Proc) {
    if (!Obj)
        return;
    if (auto* C = dynamic_cast<TComponent*>(Obj)) {
        if (!GStorage)
            GStorage = new TNotifierStorage;
        if (GStorage->Infos().AddProc(Obj, C, Proc))
            GStorage->FreeNotification(C);
        return;
    }
    PlainList().AddProc(Obj, nullptr, Proc);
}

void dcRemoveFreeNotification(TObject* Obj, const TFreeNotifyProc& Proc) {
    if (!Obj)
        return;
    // An info whose listeners are being called only forgets the listener, so it is not called.
    for (TFreeNotifierInfo* Info : GFiring)
        if (Info->Key == Obj)
            std::erase_if(Info->Entries, [&](const TFreeNotifierInfo::TEntry& E) { return E.Proc == Proc; });
    TComponent* Emptied = nullptr;
    if (GStorage && GStorage->Infos().RemoveProc(Obj, Proc, Emptied)) {
        if (Emptied)
            GStorage->RemoveFreeNotification(Emptied);
        GStorage->FreeIfEmpty();
        return;
    }
    if (GPlain)
        GPlain->RemoveProc(Obj, Proc, Emptied);
}

void dcNotifyObjectFreed(TObject* Obj) {
    if (!Obj || !GPlain)
        return;
    if (TFreeNotifierInfo* Info = GPlain->Extract(Obj))
        FireInfo(Info);
}

bool dcComponentNotifierStorageExists() {
    return GStorage != nullptr;
}

void dcClearFreeNotifications() {
    TObjectFreedHook Previous = SetObjectFreedHook(nullptr);
    if (Previous != &PlainObjectFreed)
        SetObjectFreedHook(Previous);
    // The list is an object too: it must be out of reach before its own end is announced.
    TFreeNotifiersList* List = GPlain;
    GPlain = nullptr;
    delete List;
}
