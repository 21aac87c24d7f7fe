// Exports whose bodies belong to other parts of the engine. Each one checks its handles as the
// interface requires and then reports an honest failure. (ZELRunJob lives in engine/run;
// ZELHTMLConfiguration, ZELReadFromRegistry and ZELWriteToRegistry in engine/config.)
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/ExportGuard.h"
#include "engine/JobClass.h"
#include "engine/include/ZelValidator.h"

extern "C" {

// No options dialog is linked: it cannot be created (-3).
int32_t ZELAPI ZELOpenValidatorOptions(HWND, int32_t optionsHandle, int32_t) {
    return exportBody("ZELOpenValidatorOptions", -3, [&] {
        if (!optionsObject(optionsHandle))
            return ZELError(-1, "ZELOpenValidatorOptions", 1);
        return -3;
    });
}

} // extern "C"
