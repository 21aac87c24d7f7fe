// The configuration store as the rest of the engine reaches it.
#include "engine/EngineMessageBox.h"
#include "engine/EngineStores.h"
#include "engine/ConfigClass.h"
#include "engine/config/CfgStore.h"

#include <new>
#include <string>

namespace {

void showStoreError(const char* function, const char* text) {
    std::string message = "ZEL Orvalent CfgStore class error in function or function call for ";
    message += function;
    message += "(): ";
    message += text;
    engineMessageBox(nullptr, message.c_str(), "ZEL Orvalent Error", ZEL_BOX_ERROR);
}

// Orders two attribute numbers by their records' places in name order, then two value numbers.
int compareByOrder(const void* store, int32_t a, int32_t b) {
    const auto* s = static_cast<const CfgStore*>(store);
    for (int32_t kind : {CFG_ATTRIBUTE, CFG_ATTVALUE}) {
        const int32_t pa = s->positionOf(kind, a), pb = s->positionOf(kind, b);
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    return 0;
}

} // namespace

void deleteCfgStore(CfgStore* store) {
    delete store;
}

CfgStore* newCfgStore(ConfigClass& options) {
    setCfgStoreErrorHandler(showStoreError);
    options.sortFunction = compareByOrder;
    return new (std::nothrow) CfgStore();
}

int32_t cfgStoreItemCount(const CfgStore& store) {
    return static_cast<int32_t>(store.items.size());
}

int32_t cfgStoreFlagWord(const CfgStore& store) {
    return store.flagWord;
}

void cfgStoreOrFlagWord(CfgStore& store, int32_t bits) {
    store.flagWord |= bits;
}

const char* cfgStoreHeaderString(const CfgStore& store, int32_t n) {
    return store.getHeader(n);
}

const char* cfgStoreItem(const CfgStore& store, int32_t i) {
    if (i < 0 || i >= static_cast<int32_t>(store.items.size()))
        return nullptr;
    return store.items[static_cast<size_t>(i)].c_str();
}
