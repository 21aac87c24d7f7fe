#include "controls/foundation/GlobalComponents.h"

#include "controls/foundation/PropStore.h"

namespace {

TFindGlobalCompProc GProc;
TFindGlobalObjectFunc GPrevious = nullptr;

TComponent* RoutedFind(const std::string& Name) {
    if (GProc)
        if (TComponent* Found = GProc(Name))
            return Found;
    return GPrevious ? GPrevious(Name) : nullptr;
}

} // namespace

void SetFindGlobalCompProc(TFindGlobalCompProc Proc) {
    // Routing twice would make the routed lookup its own predecessor.
    if (FindGlobalObjectFunc != &RoutedFind) {
        GPrevious = FindGlobalObjectFunc;
        FindGlobalObjectFunc = &RoutedFind;
    }
    GProc = std::move(Proc);
}

void RemoveFindGlobalCompProc() {
    GProc = nullptr;
}
