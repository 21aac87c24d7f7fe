#pragma once
// Scope guards the memo's own files share: update brackets and counters that end on every path.
#include <exception>

#include "controls/textmodel/MemoSource.h"

// An update bracket of a source that ends on every path.
class TSourceUpdate {
public:
    TSourceUpdate(TCustomMemoSource& Source, uint8_t Reason)
        : FSource(Source), FExceptions(std::uncaught_exceptions()) {
        FSource.BeginUpdate(Reason);
    }
    // The notification at the end may run handlers that throw; that reaches the caller, unless the
    // bracket is being left because of another exception, which then wins.
    ~TSourceUpdate() noexcept(false) {
        if (std::uncaught_exceptions() > FExceptions) {
            try {
                FSource.EndUpdate();
            } catch (...) {
            }
        } else {
            FSource.EndUpdate();
        }
    }
    TSourceUpdate(const TSourceUpdate&) = delete;
    TSourceUpdate& operator=(const TSourceUpdate&) = delete;

private:
    TCustomMemoSource& FSource;
    int FExceptions;
};

// Keeps the source's selection over caret moves for the length of a scope.
class TKeepSelection {
public:
    explicit TKeepSelection(TCustomMemoSource& Source) : FSource(Source) { ++FSource.SelectionKeeping(); }
    ~TKeepSelection() { --FSource.SelectionKeeping(); }
    TKeepSelection(const TKeepSelection&) = delete;
    TKeepSelection& operator=(const TKeepSelection&) = delete;

private:
    TCustomMemoSource& FSource;
};

// The memo's own flag raised for the length of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};
