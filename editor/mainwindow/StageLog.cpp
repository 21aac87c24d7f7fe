#include "editor/mainwindow/StageLog.h"

#include <windows.h>

#include <cstdio>

namespace {

// The log file's name, read once; empty when timing is off.
const std::string& LogName() {
    static const std::string Name = [] {
        char Buffer[MAX_PATH] = {};
        DWORD N = GetEnvironmentVariableA("ZEL_STAGE_LOG", Buffer, sizeof Buffer);
        return N > 0 && N < sizeof Buffer ? std::string(Buffer, N) : std::string();
    }();
    return Name;
}

} // namespace

TStageTimer::TStageTimer(const char* Name) : FName(Name), FOn(!LogName().empty()) {
    if (FOn)
        FStart = std::chrono::steady_clock::now();
}

TStageTimer::~TStageTimer() {
    if (!FOn)
        return;
    double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - FStart).count();
    if (FILE* F = std::fopen(LogName().c_str(), "a")) {
        std::fprintf(F, "%s\t%.1f\n", FName, Ms);
        std::fclose(F);
    }
}
