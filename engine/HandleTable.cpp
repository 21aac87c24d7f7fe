// The handle table's own operations: placing an object, freeing and locking by handle. The
// exports and the run both use these; neither goes through the other's exported functions.
#include "engine/EngineContext.h"
#include "engine/ValidatorBaseClass.h"
#include "engine/include/ZelValidator.h"

namespace {

int32_t freeOne(int32_t handle) {
    ValidatorBaseClass* object = handleObject(handle);
    if (!object)
        return handle;
    if (object->lockCount > 0) {
        object->freePending = 1;
        return handle;
    }
    if (!engineContext().handles.setPointer(handle, nullptr, false, false, true))
        return ZELError(-3, "ZELFreeHandle", kSetPointerFailed);
    int32_t deleted = deleteValidatorClass(object);
    return deleted < 0 ? deleted : handle;
}

} // namespace

int32_t registerHandle(ValidatorBaseClass* object, DWORD limit) {
    if (!object)
        return -2;
    EngineContext& ctx = engineContext();
    SystemLockHold hold(ctx.newHandleLock, limit);
    if (!hold.held()) {
        deleteValidatorClass(object);
        return ZEL_RUN_BUSY;
    }
    // The lowest free slot, else one past the end: a new handle never replaces another.
    int32_t handle = ctx.handles.firstEmpty();
    if (handle < 0)
        handle = ctx.handles.usableLength();
    if (!ctx.handles.setPointer(handle, object, false, true)) {
        deleteValidatorClass(object);
        return -3;
    }
    object->handle = handle;
    if (object->kind == ZEL_KIND_OPTIONS && ctx.defaultOptionsHandle < 0)
        ctx.defaultOptionsHandle = handle;
    return handle;
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
