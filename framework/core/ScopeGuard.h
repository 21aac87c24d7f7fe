#pragma once
// Cleanup by scope. The action runs when the scope ends, however it ends. When it throws while
// another exception is already leaving the scope, its own is dropped, since the first failure is
// the one worth reporting; on a normal exit its exception reaches the caller like any call's.
#include <exception>
#include <utility>

template <class F> class TScopeGuard {
public:
    explicit TScopeGuard(F Action) : FAction(std::move(Action)), FUncaught(std::uncaught_exceptions()) {}
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;
    ~TScopeGuard() noexcept(false) {
        if (!FArmed)
            return;
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FAction();
            } catch (...) {
            }
        } else {
            FAction();
        }
    }
    // The work succeeded and the action is not wanted any more (a rollback, say).
    void Dismiss() { FArmed = false; }

private:
    F FAction;
    int FUncaught;
    bool FArmed = true;
};

// Undoes partial work when the scope is left by an exception; a normal exit keeps it.
template <class F> class TFailureGuard {
public:
    explicit TFailureGuard(F Action) : FAction(std::move(Action)), FUncaught(std::uncaught_exceptions()) {}
    TFailureGuard(const TFailureGuard&) = delete;
    TFailureGuard& operator=(const TFailureGuard&) = delete;
    ~TFailureGuard() {
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FAction();
            } catch (...) {
            }
        }
    }

private:
    F FAction;
    int FUncaught;
};

// BeginUpdate now, EndUpdate when the scope ends: lists, collections, text sources and trees
// all bracket their changes this way.
template <class T> auto UpdateBracket(T& Target) {
    Target.BeginUpdate();
    return TScopeGuard([&Target] { Target.EndUpdate(); });
}
