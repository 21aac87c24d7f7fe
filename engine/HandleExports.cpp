// Handle creation, freeing and locking.
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/ExportGuard.h"
#include "engine/JobClass.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"

#include <new>

namespace {

ValidatorBaseClass* newObject(int32_t kind) {
    if (kind & ZEL_HANDLE_OPTIONS) {
        auto* options = new (std::nothrow) ConfigClass();
        if (options)
            options->validator.ValidatorFlags40 &= ~0xE000u;
        return options;
    }
    if (kind & ZEL_HANDLE_JOB)
        return new (std::nothrow) JobClass();
    if (kind & ZEL_HANDLE_RESULTS)
        return new (std::nothrow) ResultClass();
    return nullptr;
}

int32_t newHandle(int32_t kind) {
    ValidatorBaseClass* object = newObject(kind);
    if (!object)
        return -2;
    EngineContext& ctx = engineContext();
    int32_t handle;
    {
        SemaphoreHold hold(ctx.newHandleSemaphore);
        // The lowest free slot, else one past the end: a new handle never replaces another.
        handle = ctx.handles.firstEmpty();
        if (handle < 0)
            handle = ctx.handles.usableLength();
        if (!ctx.handles.setPointer(handle, object, false, true)) {
            deleteValidatorClass(object);
            return -3;
        }
        object->handle = handle;
        if (object->kind == ZEL_KIND_OPTIONS && ctx.defaultOptionsHandle < 0)
            ctx.defaultOptionsHandle = handle;

        int32_t code = 0;
        if (object->kind == ZEL_KIND_OPTIONS && (kind & ZEL_HANDLE_READ_REGISTRY)) {
            if (ZELReadFromRegistry(handle, 0) != handle)
                code = -4;
            else if ((kind & ZEL_HANDLE_LOAD_CONFIGURATION) && ZELHTMLConfiguration(nullptr, handle, 1) < 0)
                code = -5;
        }
        if (code == 0)
            return handle;
        ZELFreeHandle(handle, 0);
        return code;
    }
}

int32_t freeOne(int32_t handle) {
    ValidatorBaseClass* object = handleObject(handle);
    if (!object)
        return handle;
    if (object->lockCount > 0) {
        object->freePending = 1;
        return handle;
    }
    if (!engineContext().handles.setPointer(handle, nullptr, false, false, true))
        return ZELError(-3, "ZELFreeHandle", 2);
    int32_t deleted = deleteValidatorClass(object);
    return deleted < 0 ? deleted : handle;
}

int32_t freeHandle(int32_t handle, int32_t flags) {
    if (!(flags & ZEL_FREE_ALL))
        return freeOne(handle);
    int32_t n = engineContext().handles.usableLength();
    for (int32_t i = 0; i < n; ++i)
        if (freeOne(i) < 0)
            return ZELErrorMessage(-4, "ZELFreeHandle", "recursive call to ZELFreeHandle() failed");
    return 0;
}

int32_t lockHandle(int32_t handle, int32_t flags) {
    ValidatorBaseClass* object = handleObject(handle);
    if (!object)
        return handle;
    if (flags & ZEL_LOCK) {
        ++object->lockCount;
        if (!(flags & ZEL_UNLOCK))
            return handle;
    }
    if (flags & ZEL_UNLOCK) {
        if (--object->lockCount < 0) {
            object->lockCount = 0;
            return ZELErrorMessage(-1, "ZELHandle", "tried to unlock handle that isn't locked");
        }
        if (object->freePending && object->lockCount == 0)
            freeOne(handle);
    }
    return handle;
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
