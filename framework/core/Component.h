#pragma once
// TComponent: owned components (an owner frees what it owns), names, and free notification.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"

enum TOperation { opInsert, opRemove };

// Component state flags (a set, as bits).
enum : uint32_t {
    csLoading = 0x1,
    csReading = 0x2,
    csWriting = 0x4,
    csDestroying = 0x8,
    csDesigning = 0x10,
    csFreeNotification = 0x20,
    csUpdating = 0x40,
};

class TComponent : public TPersistent {
    ZEL_DECLARE_CLASS(TComponent)
public:
    explicit TComponent(TComponent* AOwner);
    // Tells every component that asked for free notification, frees the owned components
    // (last first) and leaves the owner.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or is taken among the owner's components.
    virtual void SetName(const std::string& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t value) { FTag = value; }
    // Where a designer placed the component: left in the low 16 bits, top in the high 16 bits.
    int32_t DesignInfo() const { return FDesignInfo; }
    void SetDesignInfo(int32_t value) { FDesignInfo = value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;                   // raises EListError on a bad index
    int ComponentIndex() const;                                // index in the owner's list, -1 without owner
    TComponent* FindComponent(const std::string& AName) const; // case-insensitive; nullptr when absent

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();

    // AComponent's Notification(this, opRemove) runs when this component is freed, and the other way round.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    uint32_t ComponentState() const { return FComponentState; }
    bool HasState(uint32_t flags) const { return (FComponentState & flags) != 0; }
    void SetState(uint32_t flags, bool on);

    // Called after the text reader has set every property of a freshly read component.
    virtual void Loaded();

    TPersistent* GetOwner() const override { return FOwner; }
    std::string GetNamePath() const override { return FName; }

    // The published Name (not stored: the text form carries it in the object line) and Tag.
    std::string GetNameProp() const { return FName; }
    void SetNameProp(const std::string& v) { SetName(v); }
    int32_t GetTagProp() const { return static_cast<int32_t>(FTag); }
    void SetTagProp(int32_t v) { FTag = v; }

protected:
    // The base forgets AComponent when it is removed and passes the call on to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) const;

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    int32_t FDesignInfo = 0;
    uint32_t FComponentState = 0;
    std::vector<TComponent*> FComponents;
    // Counts insertions into and removals from FComponents.
    uint32_t FComponentsChanges = 0;
    std::vector<TComponent*> FFreeNotifies;
};

bool IsValidIdent(const std::string& s);
