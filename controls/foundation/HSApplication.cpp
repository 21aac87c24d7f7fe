#include "controls/foundation/HSApplication.h"

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/Component.h"
#include "framework/core/Strings.h"

THSApplication* App = nullptr;

namespace {
const char* const kKnownActiveXs = "KnownActiveXs";

bool Applies(const TActionListItem& Item, const TComponent* Instance) {
    return !Item.ComponentClass || (Instance && Instance->InheritsFrom(Item.ComponentClass));
}
} // namespace

// ---- TActionsList ----

TActionListItem* TActionsList::RegisterVisualProperty(const std::string& Caption, TClass ComponentClass,
                                                      const std::string& PropName) {
    auto Item = std::make_unique<TActionListItem>();
    Item->Caption = Caption;
    Item->ComponentClass = ComponentClass;
    Item->CallType = ctPropName;
    Item->PropName = PropName;
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

TActionListItem* TActionsList::RegisterComponentAction(const std::string& Caption, TClass ComponentClass,
                                                       TComponentActionProc Action) {
    auto Item = std::make_unique<TActionListItem>();
    Item->Caption = Caption;
    Item->ComponentClass = ComponentClass;
    Item->CallType = ctActionProc;
    Item->Action = std::move(Action);
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

int32_t TActionsList::GetVerbCount(const TComponent* Instance) const {
    int32_t N = 0;
    for (const auto& Item : FItems)
        if (Applies(*Item, Instance))
            ++N;
    return N;
}

TActionListItem* TActionsList::GetActionItem(const TComponent* Instance, int32_t Index) const {
    if (Index < 0)
        return nullptr;
    for (const auto& Item : FItems)
        if (Applies(*Item, Instance) && Index-- == 0)
            return Item.get();
    return nullptr;
}

std::string TActionsList::GetVerb(const TComponent* Instance, int32_t Index) const {
    const TActionListItem* Item = GetActionItem(Instance, Index);
    return Item ? Item->Caption : std::string();
}

void TActionsList::ExecuteVerb(TComponent* Instance, int32_t Index) const {
    const TActionListItem* Item = GetActionItem(Instance, Index);
    if (!Item)
        return;
    if (Item->CallType == ctActionProc) {
        if (Item->Action)
            Item->Action(Instance);
    } else {
        CallPropertyEdit(Instance, Item->PropName);
    }
}

// ---- THSApplication ----

THSApplication::THSApplication() {
    App = this;
}

THSApplication::~THSApplication() {
    if (App == this)
        App = nullptr;
}

TActionsList* THSApplication::GetActionList() {
    if (!FActionList)
        FActionList = std::make_unique<TActionsList>();
    return FActionList.get();
}

TStringList* THSApplication::GetGUIDS() {
    if (!FGuids) {
        FGuids = std::make_unique<TStringList>();
        ReadStringsFromRegistry(kKnownActiveXs, FGuids.get());
        FGuids->SetDuplicates(dupIgnore);
        FGuids->SetSorted(true);
    }
    return FGuids.get();
}

bool THSApplication::ActiveXRegistered(const GUID& Guid) {
    return GetGUIDS()->IndexOf(GUIDToString(Guid)) >= 0;
}

void THSApplication::RegisterActiveX(const TAxControlInfo* Info) {
    if (!Info)
        return;
    GetGUIDS()->Add(GUIDToString(Info->TypeLibID));
    BroadCastToNotifiers(nullptr, HS_ACTIVEXREGISTERED, reinterpret_cast<intptr_t>(Info), 0);
    SaveActiveXConfig();
}

void THSApplication::UnRegisterActiveX(const TAxControlInfo* Info) {
    if (!Info)
        return;
    const int Index = GetGUIDS()->IndexOf(GUIDToString(Info->TypeLibID));
    if (Index < 0)
        return;
    FGuids->Delete(Index);
    BroadCastToNotifiers(nullptr, HS_ACTIVEXUNREGISTERED, reinterpret_cast<intptr_t>(Info), 0);
    SaveActiveXConfig();
}

void THSApplication::SaveActiveXConfig() {
    WriteStringsToRegistry(kKnownActiveXs, GetGUIDS());
}

void RegisterVisualProperty(const std::string& Caption, TClass ComponentClass, const std::string& PropName) {
    if (App)
        App->GetActionList()->RegisterVisualProperty(Caption, ComponentClass, PropName);
}

void RegisterComponentAction(const std::string& Caption, TClass ComponentClass, TComponentActionProc Action) {
    if (App)
        App->GetActionList()->RegisterComponentAction(Caption, ComponentClass, std::move(Action));
}
