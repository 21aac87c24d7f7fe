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

std::shared_ptr<void> HookCloseQuery(THSPropStore* Store) {
    auto* Form = dynamic_cast<TCustomForm*>(Store->Owner());
    if (!Form)
        return nullptr;
    auto Token = std::make_shared<int>(0);
    Form->OnCloseQuery = TCloseHook{Store, Token, std::move(Form->OnCloseQuery)};
    return Token;
}

void UnhookCloseQuery(THSPropStore* Store) {
    auto* Form = dynamic_cast<TCustomForm*>(Store->Owner());
    if (!Form)
        return;
    const auto* Hook = Form->OnCloseQuery.target<TCloseHook>();
    if (Hook && Hook->Store == Store) {
        TCloseQueryEvent Previous = Hook->Previous;
        Form->OnCloseQuery = std::move(Previous);
    }
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
