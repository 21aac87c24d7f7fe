#include "engine/program/SymbolValueStore.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string upper(const std::string& s) {
    std::string u = s;
    if (!u.empty())
        CharUpperBuffA(u.data(), static_cast<DWORD>(u.size()));
    return u;
}

} // namespace

int32_t SymbolValueStore::setValue(const char* name, const char* value, int32_t index, int32_t flag) {
    if (!name)
        return -2;
    return setValue(name, name + std::char_traits<char>::length(name), value, index, flag);
}

int32_t SymbolValueStore::setValue(const char* begin, const char* end, const char* value, int32_t index,
                                   int32_t flag) {
    if (!begin || end < begin || index < -1 || index >= SYMBOL_MAX_VALUES)
        return -1;
    const std::string name(begin, end);
    const std::string key = upper(name);
    auto it =
        std::lower_bound(symbols_.begin(), symbols_.end(), key,
                         [](const SymbolValueClass& s, const std::string& k) { return upper(s.name) < k; });
    if (it == symbols_.end() || upper(it->name) != key) {
        if (name.empty())
            return -2;
        it = symbols_.insert(it, SymbolValueClass(name));
        if (index == -1)
            index = 0;
    } else if (index == -1) {
        index = it->valueCount();
        if (index >= SYMBOL_MAX_VALUES)
            return -1;
    }
    if (index >= it->valueCount())
        it->values.resize(static_cast<size_t>(index) + 1);
    it->values[static_cast<size_t>(index)] = value ? value : "";
    it->flag = flag;
    return index;
}

const SymbolValueClass* SymbolValueStore::symbol(int32_t i) const {
    if (i < 0 || i >= count())
        return nullptr;
    return &symbols_[static_cast<size_t>(i)];
}

const char* SymbolValueStore::value(int32_t s, int32_t index) const {
    const SymbolValueClass* sym = symbol(s);
    if (!sym || index < 0 || index >= sym->valueCount())
        return nullptr;
    return sym->values[static_cast<size_t>(index)].c_str();
}

int32_t SymbolValueStore::valueCount(int32_t s) const {
    const SymbolValueClass* sym = symbol(s);
    return sym ? sym->valueCount() : -1;
}

int32_t SymbolValueStore::indexOf(const char* name) const {
    if (!name)
        return -1;
    const std::string key = upper(name);
    auto it =
        std::lower_bound(symbols_.begin(), symbols_.end(), key,
                         [](const SymbolValueClass& s, const std::string& k) { return upper(s.name) < k; });
    if (it == symbols_.end() || upper(it->name) != key)
        return -1;
    return static_cast<int32_t>(it - symbols_.begin());
}
