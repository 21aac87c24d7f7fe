// What the window adds to the engine's time on a large page, in one run:
//   - start of zel.exe with the page until its window shows the page, and
//   - F6 until the messages list is filled and the counts stand in the status bar,
// beside the engine alone validating the same lines in this process, with the options the editor
// uses (read from the registry) and the configuration they name.
//
//   mainwindow_bench <page>
//
// zel.exe, the engine and its configuration are taken from this program's own folder.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessDriver.h"
#include "engine/include/ZelValidator.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point T) {
    return std::chrono::duration<double>(Clock::now() - T).count();
}

std::string OwnFolder() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S = Path;
    return S.substr(0, S.find_last_of('\\'));
}

template <typename Fn> bool Bind(HMODULE M, Fn& F, const char* Name) {
    F = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(M, Name)));
    return F != nullptr;
}

// The engine alone, driven as the editor drives it. Seconds, or a negative value on failure.
double EngineAlone(const std::string& Text, int32_t& Messages) {
    HMODULE M = LoadLibraryA("zelvalidatorliteV30.dll");
    decltype(&ZELGetNewHandle) NewHandle;
    decltype(&ZELFreeHandle) FreeHandle;
    decltype(&ZELSetInteger) SetInteger;
    decltype(&ZELSetString) SetString;
    decltype(&ZELSetFlag) SetFlag;
    decltype(&ZELRunJob) RunJob;
    decltype(&ZELGetIntegerEZ) GetIntegerEZ;
    decltype(&ZELHTMLConfiguration) Configuration;
    if (!M || !Bind(M, NewHandle, "ZELGetNewHandle") || !Bind(M, FreeHandle, "ZELFreeHandle") ||
        !Bind(M, SetInteger, "ZELSetInteger") || !Bind(M, SetString, "ZELSetString") ||
        !Bind(M, SetFlag, "ZELSetFlag") || !Bind(M, RunJob, "ZELRunJob") ||
        !Bind(M, GetIntegerEZ, "ZELGetIntegerEZ") || !Bind(M, Configuration, "ZELHTMLConfiguration"))
        return -1;
    int32_t Options = NewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY);
    if (Options < 0 || Configuration(nullptr, Options, 1) < 0)
        return -2;
    std::vector<std::string> Lines;
    std::istringstream In(Text);
    for (std::string L; std::getline(In, L);) {
        if (!L.empty() && L.back() == '\r')
            L.pop_back();
        Lines.push_back(L);
    }
    Clock::time_point Start = Clock::now();
    int32_t Job = NewHandle(ZEL_HANDLE_JOB);
    SetInteger(Job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
    SetFlag(Job, ZELID_JOB_FLAGS, 0x2000 | 0x4000 | 0x8000, 1);
    for (const std::string& L : Lines)
        SetString(Job, ZELID_JOB_ADDPATH, L.c_str());
    SetString(Job, ZELID_JOB_INPUT, "page.html");
    int32_t Results = RunJob(nullptr, Options, Job, 0);
    double Seconds = Since(Start);
    if (Results < 0)
        return -3;
    Messages = GetIntegerEZ(Results, ZELID_RESULT_RECORDS);
    FreeHandle(Results, 0);
    FreeHandle(Job, 0);
    FreeHandle(Options, 0);
    FreeLibrary(M);
    return Seconds;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mainwindow_bench <page>\n");
        return 2;
    }
    std::string Page = argv[1];
    std::ifstream In(Page, std::ios::binary);
    std::string Text((std::istreambuf_iterator<char>(In)), {});
    if (Text.empty()) {
        std::fprintf(stderr, "cannot read %s\n", Page.c_str());
        return 1;
    }
    std::string Folder = OwnFolder();
    // What an installer writes: the program folder.
    HKEY K;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &K, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(K, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(Folder.c_str()),
                       static_cast<DWORD>(Folder.size() + 1));
        RegCloseKey(K);
    }
    std::string Log = Folder + "\\mainwindow_bench_boxes.log";
    SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", Log.c_str());
    SetEnvironmentVariableA("ZEL_MESSAGE_BOX_ANSWER", "no");
    // zel.exe writes the time of each stage of its validation here.
    std::string Stages = Folder + "\\mainwindow_bench_stages.log";
    DeleteFileA(Stages.c_str());
    SetEnvironmentVariableA("ZEL_STAGE_LOG", Stages.c_str());

    int32_t EngineMessages = 0;
    double Engine = EngineAlone(Text, EngineMessages);
    if (Engine < 0) {
        std::fprintf(stderr, "the engine alone failed (%g)\n", Engine);
        return 1;
    }

    std::string Name = Page.substr(Page.find_last_of("\\/") + 1);
    TProcessDriver Driver;
    Clock::time_point Start = Clock::now();
    if (!Driver.Start(Folder + "\\zel.exe", "\"" + Page + "\"", Folder))
        return 1;
    HWND Main = Driver.WaitForTopWindow(
        [&](const std::string& Caption, const std::string&) {
            return Caption == "ZEL Orvalent Lite v3.00 - " + Name;
        },
        600000);
    HWND Memo = Main ? TProcessDriver::LargestChild(Main, "THSMemo") : nullptr;
    HWND Status = Main ? TProcessDriver::LargestChild(Main, "TStatusBar") : nullptr;
    if (!Memo || !Status) {
        std::fprintf(stderr, "the window did not come up\n");
        return 1;
    }
    // First painted screen: the window answers once it has handled its first paint.
    SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, nullptr);
    UpdateWindow(Memo);
    double Opened = Since(Start);

    Clock::time_point F6 = Clock::now();
    TProcessDriver::PostKey(Memo, VK_F6);
    HWND List = nullptr;
    bool Filled = TProcessDriver::WaitUntil(
        [&] {
            List = TProcessDriver::LargestChild(Main, "TListView");
            return List && Driver.ListCount(List) > 0 &&
                   Driver.StatusText(Status, 3).find(" comment") != std::string::npos;
        },
        600000);
    double Validated = Since(F6);
    int Rows = Filled ? Driver.ListCount(List) : 0;
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 0;
    Driver.WaitForExit(60000, Code);

    std::printf("page %s: %.1f MB, %d messages\n", Name.c_str(), Text.size() / 1048576.0, EngineMessages);
    std::printf("%-34s %10.3f s\n", "engine alone, one validation", Engine);
    std::printf("%-34s %10.3f s\n", "zel.exe start to the shown page", Opened);
    std::printf("%-34s %10.3f s  (%d rows)\n", "F6 to the filled messages list", Validated, Rows);
    std::printf("%-34s %10.2f  (goal: at most 1.50)\n", "F6 time / engine time", Validated / Engine);
    std::ifstream StageLog(Stages);
    for (std::string L; std::getline(StageLog, L);) {
        size_t Tab = L.find('\t');
        if (Tab != std::string::npos)
            std::printf("  zel.exe stage %-18s %10s ms\n", L.substr(0, Tab).c_str(),
                        L.substr(Tab + 1).c_str());
    }
    return Filled ? 0 : 1;
}
