#include "controls/foundation/ProgramInfo.h"

#include "framework/core/SysUtils.h"

std::string AppFolder() {
    char Buf[MAX_PATH + 1] = {};
    const DWORD N = GetModuleFileNameA(nullptr, Buf, MAX_PATH);
    return ExtractFilePath(std::string(Buf, N));
}

bool UnderWindowsNT() {
    OSVERSIONINFOA Info{};
    Info.dwOSVersionInfoSize = sizeof Info;
    return GetVersionExA(&Info) && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool CompiledWithPackages() {
    // Our component framework is linked into each program; there is no runtime package to load.
    return false;
}
