// Handle creation, freeing and locking.
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/ExportGuard.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"

#include <new>

namespace {

ValidatorBaseClass* newObject(int32_t kind) {
    if (kind & ZEL_HANDLE_OPTIONS) {
        auto* options = new (std::nothrow) ConfigClass();
        if (options)
            options->validator.ValidatorFlags40 &= ~zel::bits::validator::ClearedOnCreate;
        return options;
    }
    if (kind & ZEL_HANDLE_JOB)
        return new (std::nothrow) JobClass();
    if (kind & ZEL_HANDLE_RESULTS)
        return new (std::nothrow) ResultClass();
    return nullptr;
}

// A new object in the table; an options object may then read the registry and load its
// configuration, and is freed again when either fails. The handle lock is held throughout, so
// two processes never read the options or load a configuration at the same time.
int32_t newHandle(int32_t kind) {
    ValidatorBaseClass* object = newObject(kind);
    if (!object)
        return -2;
    SystemLockHold hold(engineContext().newHandleLock);
    const int32_t handle = registerHandle(object);
    if (handle < 0 || object->kind != ZEL_KIND_OPTIONS || !(kind & ZEL_HANDLE_READ_REGISTRY))
        return handle;
    int32_t code = 0;
    if (ZELReadFromRegistry(handle, 0) != handle)
        code = -4;
    else if ((kind & ZEL_HANDLE_LOAD_CONFIGURATION) &&
             ZELHTMLConfiguration(nullptr, handle, ZEL_CFG_LOADDEFAULT) < 0)
        code = -5;
    if (code == 0)
        return handle;
    freeHandle(handle, 0);
    return code;
}

} // namespace

extern "C" {

int32_t ZELAPI ZELGetNewHandle(int32_t kind) {
    return exportBody("ZELGetNewHandle", -2, [&] { return newHandle(kind); });
}

int32_t ZELAPI ZELFreeHandle(int32_t handle, int32_t flags) {
    return exportBody("ZELFreeHandle", -3, [&] { return freeHandle(handle, flags); });
}

int32_t ZELAPI ZELHandle(int32_t handle, int32_t flags) {
    return exportBody("ZELHandle", -1, [&] { return lockHandle(handle, flags); });
}

int32_t ZELAPI ZELGetNumberOfHandles(void) {
    return exportBody("ZELGetNumberOfHandles", 0, [&] { return engineContext().handles.occupiedCount(); });
}

int32_t ZELAPI ZELOpenConfigurationEditor(HWND, int32_t, int32_t) {
    return exportBody("ZELOpenConfigurationEditor", -3, [] { return -3; }); // no configuration editor here
}

int32_t ZELAPI ZELSpellCheck(int32_t) {
    return exportBody("ZELSpellCheck", -6, [] { return -6; });
}

int32_t ZELAPI ZELSpellCheck2(int32_t, int32_t, int32_t) {
    return exportBody("ZELSpellCheck2", -6, [] { return -6; });
}

} // extern "C"
