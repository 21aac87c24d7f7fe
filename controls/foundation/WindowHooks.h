#pragma once
// Process-wide watching of window messages on the GUI thread: objects that see every message sent
// to a window procedure, and notifier components told when a window receives the focus.
#include <functional>

#include "framework/core/Component.h"
#include "framework/ui/Messages.h"

// The message a watcher receives for every window-procedure call: WParam points to the
// platform's CWPSTRUCT; a non-zero Result hides the call from the watchers after it.
constexpr UINT WM_HSWNDHOOK = 1124;

using TWndHookHandler = std::function<void(TMessage& Message)>;
// Obj identifies the watcher; the first watcher installs the thread's hook.
void AddWndHook(TObject* Obj, TWndHookHandler Handler);
// The last watcher to leave removes the hook.
void RemoveWndHook(TObject* Obj);
int WndHookCount();

class TCustomActiveNotifier : public TComponent {
    ZEL_DECLARE_CLASS(TCustomActiveNotifier)
public:
    explicit TCustomActiveNotifier(TComponent* AOwner);
    ~TCustomActiveNotifier() override;
    // Called when a window has received the focus (CallResult: the platform's CWPRETSTRUCT).
    virtual void HookProc(const CWPRETSTRUCT& CallResult);
    TNotifyEvent OnActivate;
};
