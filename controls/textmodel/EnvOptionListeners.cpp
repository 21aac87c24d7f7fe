#include "controls/textmodel/EnvOptionListeners.h"

#include <algorithm>

namespace {
std::vector<TObject*>& List() {
    static std::vector<TObject*> Objects;
    return Objects;
}
} // namespace

TGlobalTextStyleLookup GlobalTextStyleLookup = nullptr;

int32_t RegisterMemoEnvOptObject(TObject* Object) {
    auto& L = List();
    auto It = std::find(L.begin(), L.end(), Object);
    if (It != L.end())
        return int32_t(It - L.begin());
    L.push_back(Object);
    return int32_t(L.size() - 1);
}

void UnRegisterMemoEnvOptObject(TObject* Object) {
    auto& L = List();
    L.erase(std::remove(L.begin(), L.end(), Object), L.end());
}

const std::vector<TObject*>& MemoEnvOptObjects() {
    return List();
}
