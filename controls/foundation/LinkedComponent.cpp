#include "controls/foundation/LinkedComponent.h"

#include "controls/foundation/ComponentAccess.h"

ZEL_DEFINE_CLASS(THSLinkedComponent, TComponent, {})

THSLinkedComponent::THSLinkedComponent(TComponent* AOwner) : TComponent(AOwner) {
    if (AOwner)
        OnNotify = [AOwner](TComponent* AComponent, TOperation Operation) {
            TComponentAccess::Notify(AOwner, AComponent, Operation);
        };
}

THSLinkedComponent::~THSLinkedComponent() {
    dcRemoveFreeNotification(FLink, TFreeNotifyProc(this, &THSLinkedComponent::FreeNotifyProc));
}

void THSLinkedComponent::SetLink(TObject* Obj) {
    if (Obj == FLink)
        return;
    dcRemoveFreeNotification(FLink, TFreeNotifyProc(this, &THSLinkedComponent::FreeNotifyProc));
    FLink = Obj;
    FLinkComponent = dynamic_cast<TComponent*>(Obj);
    dcAddFreeNotification(FLink, TFreeNotifyProc(this, &THSLinkedComponent::FreeNotifyProc));
}

void THSLinkedComponent::FreeNotifyProc(TObject* Obj) {
    if (Obj != FLink)
        return;
    TComponent* Gone = FLinkComponent;
    FLink = nullptr;
    FLinkComponent = nullptr;
    if (OnNotify)
        OnNotify(Gone, opRemove);
}

void THSLinkedComponent::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (!AComponent || AComponent != FLinkComponent)
        return;
    if (Operation == opRemove) {
        dcRemoveFreeNotification(FLink, TFreeNotifyProc(this, &THSLinkedComponent::FreeNotifyProc));
        FLink = nullptr;
        FLinkComponent = nullptr;
    }
    if (OnNotify)
        OnNotify(AComponent, Operation);
}
