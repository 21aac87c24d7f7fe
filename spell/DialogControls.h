#pragma once
// MakeControl: creates a control of the spelling dialogs, owned, parented and placed in one call;
// an empty caption leaves the control's own default.

#include <string>

#include "framework/ui/Forms.h"

template <class T>
T* MakeControl(TComponent* owner, TWinControl* parent, int l, int t, int w, int h,
               const std::string& caption = {}) {
    T* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if (!caption.empty())
        c->SetCaption(caption);
    return c;
}
