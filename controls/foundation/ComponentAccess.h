#pragma once
// Lets the family's listener lists call a component's Notification, which the framework keeps
// protected because only components call it on each other.

#include "framework/core/Component.h"

class TComponentAccess : public TComponent {
public:
    static void Notify(TComponent* Target, TComponent* AComponent, TOperation Operation) {
        (Target->*(&TComponentAccess::Notification))(AComponent, Operation);
    }
};
