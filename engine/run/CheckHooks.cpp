#include "engine/run/CheckHooks.h"

#include "engine/run/ValidateArgs.h"

namespace zel::run {

int validateTagHook(ValidateArgsClass&) {
    return 1;
}

int validateCloseTagHook(ValidateArgsClass&) {
    return 1;
}

size_t checkEntityHook(ValidateArgsClass&, const std::string&, size_t pos, int32_t) {
    return pos + 1;
}

void writeStructureListingHook(ValidateArgsClass&, LineSink&, int32_t) {}

int32_t programsRunHook(const ValidateArgsClass&) {
    return 0;
}

} // namespace zel::run
