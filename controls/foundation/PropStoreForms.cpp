#include "controls/foundation/PropStoreForms.h"

#include <memory>

#include "controls/foundation/PropStore.h"
#include "controls/foundation/WindowPlacement.h"
#include "framework/ui/Forms.h"

namespace {

// Stands in the form's OnCloseQuery. It knows whether the store still lives through the token the
// store holds, so a store that goes while another handler is chained over this one leaves only a
// pass-through behind.
struct TCloseHook {
    THSPropStore* Store;
    std::weak_ptr<void> Alive;
    TCloseQueryEvent Previous;
    void operator()(TObject* Sender, bool& CanClose) const {
        if (Previous)
            Previous(Sender, CanClose);
        if (!CanClose)
            return;
        if (auto Live = Alive.lock())
            Store->Save();
    }
};

// Stands in a data module's OnDestroy, in the same way. The store saves before the previous
// handler runs, because that handler may already free what the store keeps.
struct TDestroyHook {
    THSPropStore* Store;
    std::weak_ptr<void> Alive;
    TNotifyEvent Previous;
    void operator()(TObject* Sender) const {
        if (auto Live = Alive.lock())
            Store->Save();
        DoEvent(Previous, Sender);
    }
};

// Replaces Event with a hook made from the previous handler, or puts the previous handler back.
template <class THook, class TEvent> std::shared_ptr<void> Hook(THSPropStore* Store, TEvent& Event) {
    auto Token = std::make_shared<int>(0);
    Event = THook{Store, Token, std::move(Event)};
    return Token;
}

template <class THook, class TEvent> void Unhook(THSPropStore* Store, TEvent& Event) {
    const auto* Current = Event.template target<THook>();
    if (Current && Current->Store == Store) {
        TEvent Previous = Current->Previous;
        Event = std::move(Previous);
    }
}

std::shared_ptr<void> HookCloseQuery(THSPropStore* Store) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Store->Owner()))
        return Hook<TCloseHook>(Store, Form->OnCloseQuery);
    if (auto* Module = dynamic_cast<TDataModule*>(Store->Owner()))
        return Hook<TDestroyHook>(Store, Module->OnDestroy);
    return nullptr;
}

void UnhookCloseQuery(THSPropStore* Store) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Store->Owner()))
        Unhook<TCloseHook>(Store, Form->OnCloseQuery);
    else if (auto* Module = dynamic_cast<TDataModule*>(Store->Owner()))
        Unhook<TDestroyHook>(Store, Module->OnDestroy);
}

void ReadPlacement(TComponent* Owner, const std::string& Key) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Owner))
        ReadWinPosFromReg(Form, Key);
}

void WritePlacement(TComponent* Owner, const std::string& Key) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Owner))
        WriteWinPosToReg(Form, Key);
}

} // namespace

void InstallPropStoreForms() {
    PropStoreFormServices.HookCloseQuery = &HookCloseQuery;
    PropStoreFormServices.UnhookCloseQuery = &UnhookCloseQuery;
    PropStoreFormServices.ReadPlacement = &ReadPlacement;
    PropStoreFormServices.WritePlacement = &WritePlacement;
}
