#include "engine/EngineMessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int platformBox(HWND owner, const char* text, const char* caption, UINT style) {
    return MessageBoxA(owner, text, caption, style);
}

EngineMessageBoxFn currentBox = platformBox;
std::string logPath;

int logBox(HWND, const char* text, const char* caption, UINT style) {
    if (FILE* f = std::fopen(logPath.c_str(), "ab")) {
        std::fprintf(f, "%08X\t%s\t%s\n", static_cast<unsigned>(style), caption ? caption : "",
                     text ? text : "");
        std::fclose(f);
    }
    return defaultBoxAnswer(style);
}

} // namespace

int defaultBoxAnswer(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

EngineMessageBoxFn setEngineMessageBox(EngineMessageBoxFn fn) {
    EngineMessageBoxFn old = currentBox;
    currentBox = fn ? fn : platformBox;
    return old;
}

int engineMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    return currentBox(owner, text ? text : "", caption ? caption : "", style);
}

bool installMessageBoxLogFromEnvironment() {
    char path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return false;
    logPath = path;
    setEngineMessageBox(logBox);
    return true;
}
