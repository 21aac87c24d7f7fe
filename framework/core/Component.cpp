#include "framework/core/Component.h"

#include <algorithm>

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(
    TComponent, TPersistent,
    {Prop::String<TComponent>("Name", &TComponent::GetNameProp, &TComponent::SetNameProp).NotStored(),
     Prop::Int<TComponent>("Tag", &TComponent::GetTagProp, &TComponent::SetTagProp).WithDefault(0)})

bool IsValidIdent(const std::string& s) {
    if (s.empty())
        return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0]))
        return false;
    return std::all_of(s.begin(), s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState |= csDestroying;
    // Snapshot: a notified component may remove itself or others from the live list.
    std::vector<TComponent*> notifies = FFreeNotifies;
    for (auto it = notifies.rbegin(); it != notifies.rend(); ++it) {
        TComponent* c = *it;
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), c) == FFreeNotifies.end())
            continue;
        c->Notification(this, opRemove);
    }
    // Whoever did not drop us in Notification must not keep a dangling entry.
    for (TComponent* c : FFreeNotifies) {
        auto& l = c->FFreeNotifies;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
    FFreeNotifies.clear();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(Format(SInvalidName, NewName.c_str()));
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) const {
    if (NewName.empty() || SameText(CurName, NewName))
        return;
    TComponent* found = FindComponent(NewName);
    if (found && found != AComponent)
        throw EComponentError(Format(SDuplicateName, NewName.c_str()));
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(Format(SListIndexError, Index));
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner)
        return -1;
    auto& l = FOwner->FComponents;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this)
        return;
    ValidateRename(AComponent, "", AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    ++FComponentsChanges;
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
    ++FComponentsChanges;
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    // Components of one owner already hear of each other through the owner.
    if (FOwner && AComponent->FOwner == FOwner)
        return;
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent)
        return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TComponent::SetState(uint32_t flags, bool on) {
    if (on)
        FComponentState |= flags;
    else
        FComponentState &= ~flags;
}

void TComponent::Loaded() {
    FComponentState &= ~csLoading;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Snapshot, and skip entries that went away during an earlier call. Looking each one up is
    // needed only once the list has changed: a form that tells its hundreds of components of each
    // new one would otherwise pay the square of their number every time.
    std::vector<TComponent*> owned = FComponents;
    const uint32_t changes = FComponentsChanges;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        TComponent* c = *it;
        if (FComponentsChanges != changes &&
            std::find(FComponents.begin(), FComponents.end(), c) == FComponents.end())
            continue;
        c->Notification(AComponent, Operation);
    }
}
