#include "controls/foundation/PropFileSystem.h"

#include <map>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/PropertyStreams.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"

namespace {

// Forgets a component when it is freed.
class TComponentIds : public TComponent {
public:
    TComponentIds() : TComponent(nullptr) {}
    std::map<int32_t, TComponent*> ById;
    std::map<TComponent*, int32_t> ByComponent;
    int32_t Next = 1;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        auto It = ByComponent.find(AComponent);
        if (It == ByComponent.end())
            return;
        ById.erase(It->second);
        ByComponent.erase(It);
    }
};

TComponentIds* gIds = nullptr;

} // namespace

int32_t ComponentIdOf(TComponent* Component) {
    if (!Component)
        return 0;
    if (!gIds)
        gIds = new TComponentIds;
    auto It = gIds->ByComponent.find(Component);
    if (It != gIds->ByComponent.end())
        return It->second;
    const int32_t Id = gIds->Next++;
    gIds->ById[Id] = Component;
    gIds->ByComponent[Component] = Id;
    Component->FreeNotification(gIds);
    return Id;
}

TComponent* ComponentById(int32_t Id) {
    if (!gIds)
        return nullptr;
    auto It = gIds->ById.find(Id);
    return It == gIds->ById.end() ? nullptr : It->second;
}

void FreeComponentIds() {
    delete gIds;
    gIds = nullptr;
}

ZEL_DEFINE_CLASS(TPropFileSystem, TFileSystem,
                 {Prop::String<TPropFileSystem>("PropName", &TPropFileSystem::PropName,
                                                &TPropFileSystem::SetPropName),
                  Prop::Int<TPropFileSystem>("ComponentId", &TPropFileSystem::ComponentId,
                                             &TPropFileSystem::SetComponentId)
                      .WithDefault(0)})

TPropFileSystem::~TPropFileSystem() {
    SetComponent(nullptr);
}

void TPropFileSystem::SetComponent(TComponent* Value) {
    if (Value == FComponent)
        return;
    if (FComponent)
        FComponent->RemoveFreeNotification(this);
    FComponent = Value;
    if (FComponent)
        FComponent->FreeNotification(this);
}

void TPropFileSystem::Notification(TComponent* AComponent, TOperation Operation) {
    TFileSystem::Notification(AComponent, Operation);
    // The store stays (its cache entry is released by its users); it just has no file any more.
    if (Operation == opRemove && AComponent == FComponent)
        FComponent = nullptr;
}

TStream* TPropFileSystem::GetFileStream(const std::string&, uint16_t Mode) {
    if (!FComponent)
        throw EHSError(LoadResString(SErrNoComp));
    return new TPropStream(FComponent, Mode, FPropName);
}

bool TPropFileSystem::FileExists(const std::string&) {
    if (!FComponent || FPropName.empty())
        return false;
    const TPropInfo* Info = GetPropInfo(FComponent, FPropName);
    if (!Info)
        return false;
    if (Info->Kind == tkString || Info->Kind == tkChar)
        return true;
    return Info->Kind == tkClass && dynamic_cast<TStrings*>(GetObjectProp(FComponent, Info)) != nullptr;
}
