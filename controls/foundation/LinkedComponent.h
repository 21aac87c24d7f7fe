#pragma once
// A component that holds a link to another object and tells its owner when that object goes.

#include <functional>

#include "controls/foundation/FreeNotifications.h"
#include "framework/core/Component.h"

class THSLinkedComponent : public TComponent {
    ZEL_DECLARE_CLASS(THSLinkedComponent)
public:
    explicit THSLinkedComponent(TComponent* AOwner = nullptr);
    ~THSLinkedComponent() override;

    TObject* Link() const { return FLink; }
    void SetLink(TObject* Obj);
    // Told (the link, and the operation) when the link goes; bound to the owner's Notification
    // when there is an owner. A link that is no component is reported as nil.
    std::function<void(TComponent* AComponent, TOperation Operation)> OnNotify;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FreeNotifyProc(TObject* Obj);

    TObject* FLink = nullptr;
    TComponent* FLinkComponent = nullptr;
};
