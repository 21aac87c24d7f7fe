// A stand-in for the engine library with the same exports: it answers the version and handle
// requests as the environment says (ZEL_FAKE_ENGINE_VERSION, ZEL_FAKE_ENGINE_NOHANDLE) and fails
// everything else, so start-up can be driven down each of its failure roads.
#include "engine/include/ZelValidator.h"

#include <cstdlib>

namespace {
int32_t environmentNumber(const char* name, int32_t fallback) {
    char buffer[32];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? static_cast<int32_t>(std::atol(buffer)) : fallback;
}
} // namespace

extern "C" {
int32_t ZELAPI ZELGetNewHandle(int32_t) {
    return environmentNumber("ZEL_FAKE_ENGINE_NOHANDLE", 0) ? -2 : 1;
}
int32_t ZELAPI ZELFreeHandle(int32_t, int32_t) {
    return 0;
}
int32_t ZELAPI ZELHandle(int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetNumberOfHandles(void) {
    return 0;
}
int32_t ZELAPI ZELGetFlag(int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetFlag(int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetFlag2(int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetFlag2(int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetInteger(int32_t, int32_t, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetIntegerEZ(int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetInteger2(int32_t, int32_t, int32_t, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger2EZ(int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetInteger3(int32_t, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger3EZ(int32_t identifier) {
    return identifier == 16000 ? environmentNumber("ZEL_FAKE_ENGINE_VERSION", 30000) : -1;
}
int32_t ZELAPI ZELGetInteger4(int32_t, int32_t, const char*, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger4EZ(int32_t, int32_t, const char*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger5(int32_t, int32_t, int32_t, int32_t, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger5EZ(int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELGetInteger6(int32_t, int32_t, const char*, int32_t, int32_t*) {
    return -1;
}
int32_t ZELAPI ZELGetInteger6EZ(int32_t, int32_t, const char*, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetInteger(int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetInteger2(int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetInteger3(int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELSetInteger6(int32_t, int32_t, const char*, int32_t, int32_t) {
    return -1;
}
const char* ZELAPI ZELGetString(int32_t, int32_t) {
    return "";
}
const char* ZELAPI ZELGetString2(int32_t, int32_t, int32_t) {
    return nullptr;
}
const char* ZELAPI ZELGetString3(int32_t) {
    return "2.9949";
}
const char* ZELAPI ZELGetString4(int32_t, int32_t, int32_t, int32_t) {
    return nullptr;
}
const char* ZELAPI ZELGetString5(int32_t, int32_t, int32_t, int32_t) {
    return nullptr;
}
const char* ZELAPI ZELGetString6(int32_t, int32_t) {
    return nullptr;
}
int32_t ZELAPI ZELSetString(int32_t, int32_t, const char*) {
    return -1;
}
int32_t ZELAPI ZELSetString3(int32_t, int32_t, int32_t, const char*) {
    return -1;
}
int32_t ZELAPI ZELSetString7(int32_t, int32_t, int32_t, int32_t, const char*) {
    return -1;
}
int32_t ZELAPI ZELSetPointer(int32_t, int32_t, void*) {
    return -1;
}
int32_t ZELAPI ZELRunJob(HWND, int32_t, int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELHTMLConfiguration(HWND, int32_t, int32_t) {
    return 0;
}
int32_t ZELAPI ZELOpenValidatorOptions(HWND, int32_t, int32_t) {
    return -3;
}
int32_t ZELAPI ZELReadFromRegistry(int32_t, int32_t) {
    return -1;
}
int32_t ZELAPI ZELWriteToRegistry(HWND, int32_t, int32_t) {
    return 0;
}
int32_t ZELAPI ZELOpenConfigurationEditor(HWND, int32_t, int32_t) {
    return -3;
}
int32_t ZELAPI ZELSpellCheck(int32_t) {
    return -1;
}
int32_t ZELAPI ZELSpellCheck2(int32_t, int32_t, int32_t) {
    return -1;
}
}
