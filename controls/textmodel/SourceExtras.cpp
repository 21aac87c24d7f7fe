#include "controls/textmodel/SourceExtras.h"

#include <map>

#include "controls/textmodel/MemoSource.h"

namespace {

// Drops a source's extras when the source is freed.
class TExtrasKeeper : public TComponent {
public:
    TExtrasKeeper() : TComponent(nullptr) {}
    std::map<const TCustomMemoSource*, std::unique_ptr<TMemoSourceExtras>> Items;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove)
            Items.erase(static_cast<const TCustomMemoSource*>(component));
    }
};

TExtrasKeeper& Keeper() {
    // Never freed: sources may outlive the end of static destruction order.
    static TExtrasKeeper* keeper = new TExtrasKeeper;
    return *keeper;
}

} // namespace

TMemoSourceExtras& SourceExtras(TCustomMemoSource& source) {
    auto& items = Keeper().Items;
    auto it = items.find(&source);
    if (it != items.end())
        return *it->second;
    source.FreeNotification(&Keeper());
    return *items.emplace(&source, std::make_unique<TMemoSourceExtras>()).first->second;
}

const TMemoSourceExtras* FindSourceExtras(const TCustomMemoSource& source) {
    auto& items = Keeper().Items;
    auto it = items.find(&source);
    return it == items.end() ? nullptr : it->second.get();
}
