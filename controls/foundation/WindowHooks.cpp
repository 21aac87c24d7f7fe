#include "controls/foundation/WindowHooks.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/ui/Controls.h"

ZEL_DEFINE_CLASS(TCustomActiveNotifier, TComponent, {})

namespace {

std::vector<std::pair<TObject*, TWndHookHandler>> Watchers;
HHOOK CallHook = nullptr;

std::vector<TCustomActiveNotifier*> Notifiers;
HHOOK RetHook = nullptr;

LRESULT CALLBACK CallWndProcHook(int Code, WPARAM WParam, LPARAM LParam) {
    LRESULT Result = CallNextHookEx(CallHook, Code, WParam, LParam);
    if (Code == HC_ACTION) {
        // A watcher may leave (or add another) while we walk: walk a copy, skip those gone.
        auto Snapshot = Watchers;
        for (auto& [Obj, Handler] : Snapshot) {
            bool Still =
                std::any_of(Watchers.begin(), Watchers.end(), [&](const auto& W) { return W.first == Obj; });
            if (!Still || !Handler)
                continue;
            TMessage M{WM_HSWNDHOOK, static_cast<WPARAM>(LParam), 0, 0};
            try {
                Handler(M);
            } catch (...) {
                HandleUiException(Obj);
            }
            if (M.Result != 0)
                break;
        }
    }
    return Result;
}

LRESULT CALLBACK CallWndRetHook(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HC_ACTION) {
        const auto* Ret = reinterpret_cast<const CWPRETSTRUCT*>(LParam);
        if (Ret->message == WM_SETFOCUS) {
            auto Snapshot = Notifiers;
            for (TCustomActiveNotifier* N : Snapshot) {
                if (std::find(Notifiers.begin(), Notifiers.end(), N) == Notifiers.end())
                    continue;
                try {
                    N->HookProc(*Ret);
                } catch (...) {
                    HandleUiException(N);
                }
            }
        }
    }
    CallNextHookEx(RetHook, Code, WParam, LParam);
    return 0;
}

} // namespace

void AddWndHook(TObject* Obj, TWndHookHandler Handler) {
    if (Watchers.empty())
        CallHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProcHook, nullptr, GetCurrentThreadId());
    Watchers.emplace_back(Obj, std::move(Handler));
}

void RemoveWndHook(TObject* Obj) {
    Watchers.erase(
        std::remove_if(Watchers.begin(), Watchers.end(), [&](const auto& W) { return W.first == Obj; }),
        Watchers.end());
    if (Watchers.empty() && CallHook) {
        UnhookWindowsHookEx(CallHook);
        CallHook = nullptr;
    }
}

int WndHookCount() {
    return static_cast<int>(Watchers.size());
}

TCustomActiveNotifier::TCustomActiveNotifier(TComponent* AOwner) : TComponent(AOwner) {
    if (Notifiers.empty())
        RetHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CallWndRetHook, nullptr, GetCurrentThreadId());
    Notifiers.push_back(this);
}

TCustomActiveNotifier::~TCustomActiveNotifier() {
    Notifiers.erase(std::remove(Notifiers.begin(), Notifiers.end(), this), Notifiers.end());
    if (Notifiers.empty() && RetHook) {
        UnhookWindowsHookEx(RetHook);
        RetHook = nullptr;
    }
}

void TCustomActiveNotifier::HookProc(const CWPRETSTRUCT&) {
    DoEvent(OnActivate, this);
}
