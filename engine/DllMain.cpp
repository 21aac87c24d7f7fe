// Entry point of zelvalidatorliteV30.dll.
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"

#include "engine/include/ZelValidator.h"
#include "engine/utils/ByteRoutines.h"

#include <windows.h>

// The exports live in static libraries. On i686 the .def names are undecorated while the symbols
// are not (name@N), so the .def alone pulls no archive member in; naming every export here does.
extern "C" __attribute__((used)) const void* const zelExportedFunctions[42] = {
    reinterpret_cast<const void*>(&ZELFreeHandle),
    reinterpret_cast<const void*>(&ZELHandle),
    reinterpret_cast<const void*>(&ZELGetFlag),
    reinterpret_cast<const void*>(&ZELGetFlag2),
    reinterpret_cast<const void*>(&ZELGetInteger),
    reinterpret_cast<const void*>(&ZELGetIntegerEZ),
    reinterpret_cast<const void*>(&ZELGetInteger2),
    reinterpret_cast<const void*>(&ZELGetInteger2EZ),
    reinterpret_cast<const void*>(&ZELGetInteger3),
    reinterpret_cast<const void*>(&ZELGetInteger3EZ),
    reinterpret_cast<const void*>(&ZELGetInteger4),
    reinterpret_cast<const void*>(&ZELGetInteger4EZ),
    reinterpret_cast<const void*>(&ZELGetInteger5),
    reinterpret_cast<const void*>(&ZELGetInteger5EZ),
    reinterpret_cast<const void*>(&ZELGetInteger6),
    reinterpret_cast<const void*>(&ZELGetInteger6EZ),
    reinterpret_cast<const void*>(&ZELGetNewHandle),
    reinterpret_cast<const void*>(&ZELGetNumberOfHandles),
    reinterpret_cast<const void*>(&ZELGetString),
    reinterpret_cast<const void*>(&ZELGetString2),
    reinterpret_cast<const void*>(&ZELGetString3),
    reinterpret_cast<const void*>(&ZELGetString4),
    reinterpret_cast<const void*>(&ZELGetString5),
    reinterpret_cast<const void*>(&ZELGetString6),
    reinterpret_cast<const void*>(&ZELHTMLConfiguration),
    reinterpret_cast<const void*>(&ZELOpenConfigurationEditor),
    reinterpret_cast<const void*>(&ZELOpenValidatorOptions),
    reinterpret_cast<const void*>(&ZELReadFromRegistry),
    reinterpret_cast<const void*>(&ZELRunJob),
    reinterpret_cast<const void*>(&ZELSetFlag),
    reinterpret_cast<const void*>(&ZELSetFlag2),
    reinterpret_cast<const void*>(&ZELSetInteger),
    reinterpret_cast<const void*>(&ZELSetInteger2),
    reinterpret_cast<const void*>(&ZELSetInteger3),
    reinterpret_cast<const void*>(&ZELSetInteger6),
    reinterpret_cast<const void*>(&ZELSetPointer),
    reinterpret_cast<const void*>(&ZELSetString),
    reinterpret_cast<const void*>(&ZELSetString3),
    reinterpret_cast<const void*>(&ZELSetString7),
    reinterpret_cast<const void*>(&ZELSpellCheck),
    reinterpret_cast<const void*>(&ZELSpellCheck2),
    reinterpret_cast<const void*>(&ZELWriteToRegistry),
};

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Nothing may leave the loader's call: a start-up that throws refuses the load instead.
    try {
        switch (reason) {
        case DLL_PROCESS_ATTACH:
            // The engine starts in one stated order: the box seam (ZEL_MESSAGE_BOX_LOG turns
            // every box into a line of a log file, for test programs), then engineLoad's order.
            installMessageBoxLogFromEnvironment();
            engineLoad(instance);
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved non-NULL) other threads are gone; freeing is still safe
            // here because the engine owns no thread and no window other than its progress window.
            (void)reserved;
            engineUnload();
            break;
        default:
            break;
        }
    } catch (...) {
        return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
    }
    return TRUE;
}

// The library's own byte routines instead of the C library's (see ByteRoutines.h): every call
// in the library, its C++ runtime's included, binds to these.
extern "C" {
ZEL_BYTE_ROUTINE void* memcpy(void* to, const void* from, size_t n) {
    return zel::bytes::move(to, from, n);
}
ZEL_BYTE_ROUTINE void* memmove(void* to, const void* from, size_t n) {
    return zel::bytes::move(to, from, n);
}
ZEL_BYTE_ROUTINE int memcmp(const void* a, const void* b, size_t n) {
    return zel::bytes::compare(a, b, n);
}
ZEL_BYTE_ROUTINE size_t strlen(const char* text) {
    return zel::bytes::length(text);
}
ZEL_BYTE_ROUTINE void* memchr(const void* where, int c, size_t n) {
    return const_cast<void*>(zel::bytes::find(where, c, n));
}
}
