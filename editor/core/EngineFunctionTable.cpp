#include "editor/core/EngineFunctionTable.h"

#include <cstring>

EngineFunctionTable Engine{};

namespace {
void** slots() {
    return reinterpret_cast<void**>(&Engine);
}
} // namespace

int32_t BindEngineFunctions(HMODULE module) {
    int32_t result = 0;
    for (int32_t i = 0; i < EngineFunctionCount; ++i) {
        FARPROC f = module ? GetProcAddress(module, ZEL_EXPORT_NAMES[i]) : nullptr;
        void* slot = nullptr;
        static_assert(sizeof(f) == sizeof(slot));
        std::memcpy(&slot, &f, sizeof slot);
        slots()[i] = slot;
        if (!slot)
            result = -1;
    }
    return result;
}

void ClearEngineFunctions() {
    std::memset(static_cast<void*>(&Engine), 0, sizeof Engine);
}

bool EngineFunctionsBound() {
    for (int32_t i = 0; i < EngineFunctionCount; ++i)
        if (!slots()[i])
            return false;
    return true;
}

void* EngineFunctionSlot(int32_t index) {
    return index >= 0 && index < EngineFunctionCount ? slots()[index] : nullptr;
}
