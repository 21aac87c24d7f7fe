// The exports that start work in the layers below: loading a configuration, the registry, and a
// run. Each body lives with its layer; here it is guarded so no exception leaves the library.
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/ExportGuard.h"
#include "engine/config/ConfigOptions.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/JobRunner.h"

extern "C" {

int32_t ZELAPI ZELHTMLConfiguration(HWND window, int32_t optionsHandle, int32_t flags) {
    return exportBody("ZELHTMLConfiguration", -1,
                      [&] { return configurationCommand(window, optionsHandle, flags); });
}

int32_t ZELAPI ZELRunJob(HWND window, int32_t optionsHandle, int32_t jobHandle, int32_t waitLimit) {
    return exportBody("ZELRunJob", -7, [&] {
        return zel::run::runJob(window, optionsHandle, jobHandle,
                                waitLimit > 0 ? static_cast<DWORD>(waitLimit) : INFINITE);
    });
}

int32_t ZELAPI ZELReadFromRegistry(int32_t optionsHandle, int32_t) {
    return exportBody("ZELReadFromRegistry", -2, [&] {
        ConfigClass* options = optionsObject(optionsHandle);
        if (!options)
            return ZELError(-1, "ZELReadFromRegistry", kBadHandle);
        return readOptionsFromRegistry(*options) == 0 ? optionsHandle : -2;
    });
}

int32_t ZELAPI ZELWriteToRegistry(HWND window, int32_t optionsHandle, int32_t flags) {
    return exportBody("ZELWriteToRegistry", -2, [&] {
        ConfigClass* options = optionsObject(optionsHandle);
        if (!options)
            return ZELError(-1, "ZELWriteToRegistry", kBadHandle);
        if (writeOptionsToRegistry(*options) != 0) {
            engineMessageBox(window, "An error occurred saving the options to the registry.",
                             "Orvalent: Error Saving Options To Registry", ZEL_BOX_ERROR);
            return -2;
        }
        if (flags & ZEL_WRITE_SUCCESSBOX)
            engineMessageBox(window, "The options have been successfully saved.", "Orvalent: Success",
                             ZEL_BOX_INFO);
        return optionsHandle;
    });
}

} // extern "C"
