#include "controls/foundation/NotifierListEx.h"

#include <memory>

#include "framework/ui/Controls.h"

void TNotifierListEx::PostMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    for (int32_t I = Count() - 1; I >= 0; --I) {
        // A listener may have left the list meanwhile.
        if (I >= Count())
            continue;
        auto* Control = dynamic_cast<TWinControl*>(Item(I).Object());
        if (Control && Control->HandleAllocated())
            ::PostMessageA(Control->Handle(), Msg, WParam, LParam);
    }
}

TNotifierListEx* GetTreeNotifiers() {
    static const std::unique_ptr<TNotifierListEx> List = std::make_unique<TNotifierListEx>();
    return List.get();
}
