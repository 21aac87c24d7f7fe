// What the window adds to the engine's time on a large page, in one run:
//   - start of zel.exe with the page until its window shows the page and every one of its windows
//     has painted (median of three starts), beside a process of the engine alone that starts, loads
//     the engine and its configuration, reads the page and validates it once;
//   - F6 until the messages list is filled, the counts stand in the status bar and the first
//     message is chosen, beside the engine alone validating the same lines in this process, with
//     the options the editor uses (read from the registry) and the configuration they name. The
//     first validation is timed on its own (both cold), half a second after the page is on screen,
//     as a user presses F6 once the page shows; then several more, whose medians are compared.
//
//   mainwindow_bench <page>
//   mainwindow_bench --engine-start <page>   (the engine's process for the start comparison)
//   mainwindow_bench --bare-window <page>    (the least any windowed program pays under this system)
//   mainwindow_bench --f6 <page>             (zel.exe with the page and F6 twice, for traces: each F6
//                                             lies between the debug strings "zel-bench: F6 <n>" and
//                                             "zel-bench: filled <n>", followed by "zel-bench:
//                                             painted <n>"; both times are printed)
//
// zel.exe, the engine and its configuration are taken from this program's own folder.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
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

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V.empty() ? 0 : V[V.size() / 2];
}

// Polls without the driver's pause between looks, so the time seen is the time taken.
bool WaitClosely(const std::function<bool()>& Done, double Seconds) {
    Clock::time_point Start = Clock::now();
    while (!Done()) {
        if (Since(Start) > Seconds)
            return false;
        Sleep(1);
    }
    return true;
}

std::string ReadPage(const std::string& Page) {
    std::ifstream In(Page, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), {});
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

// A window of the platform's own, no framework: it reads the page, shows its caption and paints
// a screen of text in the editor's font. What it costs from start to paint is the floor any
// windowed program stands on here, beside the engine's process that opens no window.
LRESULT CALLBACK BareProc(HWND W, UINT M, WPARAM A, LPARAM B) {
    if (M == WM_PAINT) {
        PAINTSTRUCT P;
        HDC D = BeginPaint(W, &P);
        HFONT F = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH,
                              "Courier New");
        HGDIOBJ Old = SelectObject(D, F);
        auto* Text = reinterpret_cast<const std::string*>(GetWindowLongPtrA(W, GWLP_USERDATA));
        size_t At = 0;
        for (int Row = 0; Row < 45 && Text && At < Text->size(); ++Row) {
            size_t End = std::min(Text->find('\n', At), Text->size());
            TextOutA(D, 4, 4 + Row * 15, Text->data() + At,
                     static_cast<int>(std::min<size_t>(End - At, 200)));
            At = End + 1;
        }
        SelectObject(D, Old);
        DeleteObject(F);
        EndPaint(W, &P);
        return 0;
    }
    if (M == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(W, M, A, B);
}

int BareWindow(const std::string& Page) {
    std::string Text = ReadPage(Page);
    WNDCLASSA K{};
    K.lpfnWndProc = BareProc;
    K.hInstance = GetModuleHandleA(nullptr);
    K.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    K.lpszClassName = "ZELBenchBare";
    RegisterClassA(&K);
    HWND W = CreateWindowA("ZELBenchBare", "bare window", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 700, nullptr,
                           nullptr, K.hInstance, nullptr);
    SetWindowLongPtrA(W, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Text));
    ShowWindow(W, SW_SHOW);
    UpdateWindow(W);
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0)
        DispatchMessageA(&M);
    return 0;
}

// Start of a windowed process until its visible window named Title and every window in it have
// painted. Seconds, or a negative value on failure.
double StartToPainted(const std::string& Program, const std::string& Arguments, const std::string& Folder,
                      const std::string& Title, TProcessDriver& Driver, HWND& Main) {
    Clock::time_point Start = Clock::now();
    if (!Driver.Start(Program, Arguments, Folder))
        return -1;
    Main = nullptr;
    WaitClosely(
        [&] {
            HWND W = FindWindowA(nullptr, Title.c_str());
            if (W && IsWindowVisible(W))
                Main = W;
            return Main != nullptr;
        },
        600);
    if (!Main)
        return -1;
    // The window answers once it has handled what came before; then nothing in it waits to paint.
    SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, nullptr);
    WaitClosely([&] { return TProcessDriver::NothingToPaint(Main); }, 600);
    return Since(Start);
}

// zel.exe with the page, until its window has painted; false (said on stderr) when it did not come up.
bool StartZel(const std::string& Page, TProcessDriver& Driver, HWND& Main, HWND& Memo, HWND& Status,
              double& Opened) {
    std::string Name = Page.substr(Page.find_last_of("\\/") + 1);
    std::string Title = "ZEL Orvalent Lite v3.00 - " + Name;
    std::string Folder = OwnFolder();
    Opened = StartToPainted(Folder + "\\zel.exe", "\"" + Page + "\"", Folder, Title, Driver, Main);
    Memo = Main ? TProcessDriver::LargestChild(Main, "THSMemo") : nullptr;
    Status = Main ? TProcessDriver::LargestChild(Main, "TStatusBar") : nullptr;
    if (Opened < 0 || !Memo || !Status) {
        std::fprintf(stderr, "the window did not come up\n");
        return false;
    }
    return true;
}

// F6 until the list holds rows, one of them is chosen and the counts stand in the status bar.
bool F6Filled(TProcessDriver& Driver, HWND Main, HWND Memo, HWND Status, HWND& List) {
    TProcessDriver::PostKey(Memo, VK_F6);
    return WaitClosely(
        [&] {
            List = TProcessDriver::LargestChild(Main, "TListView");
            return List && Driver.ListCount(List) > 0 && Driver.ListSelected(List) >= 0 &&
                   Driver.StatusText(Status, 3).find(" comment") != std::string::npos;
        },
        600);
}

// F6 twice, the second after the last row was chosen, as the timed run does them (no pause for
// the window to settle), each marked by debug strings so that a trace can be cut to one validation;
// each is also timed until the window has painted all it was asked to.
int F6Twice(const std::string& Page) {
    TProcessDriver Driver;
    HWND Main, Memo, Status, List = nullptr;
    double Opened;
    if (!StartZel(Page, Driver, Main, Memo, Status, Opened))
        return 1;
    bool Filled = true;
    for (int Round = 1; Filled && Round <= 2; ++Round) {
        if (Round > 1) {
            int Last = Driver.ListCount(List) - 1;
            Driver.ListSelect(List, Last);
            WaitClosely([&] { return Driver.ListSelected(List) == Last; }, 60);
            OutputDebugStringA(("zel-bench: chosen " + std::to_string(Round) + "\n").c_str());
        }
        OutputDebugStringA(("zel-bench: F6 " + std::to_string(Round) + "\n").c_str());
        Clock::time_point F6 = Clock::now();
        Filled = F6Filled(Driver, Main, Memo, Status, List) &&
                 WaitClosely([&] { return Driver.ListSelected(List) == 0; }, 600);
        OutputDebugStringA(("zel-bench: filled " + std::to_string(Round) + "\n").c_str());
        double Seconds = Since(F6);
        bool Done = WaitClosely([&] { return TProcessDriver::NothingToPaint(Main); }, 60);
        OutputDebugStringA(("zel-bench: painted " + std::to_string(Round) + "\n").c_str());
        std::printf("F6 %d: %.3f s, painted %.3f s\n", Round, Seconds, Done ? Since(F6) : -1.0);
    }
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 0;
    Driver.WaitForExit(60000, Code);
    return Filled ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--engine-start") == 0) {
        int32_t Messages = 0;
        std::string Text = ReadPage(argv[2]);
        return !Text.empty() && EngineAlone(Text, Messages) >= 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--bare-window") == 0)
        return BareWindow(argv[2]);
    const bool Traced = argc == 3 && std::strcmp(argv[1], "--f6") == 0;
    if (argc != 2 && !Traced) {
        std::fprintf(stderr, "usage: mainwindow_bench [--f6] <page>\n");
        return 2;
    }
    std::string Page = argv[argc - 1];
    std::string Text = ReadPage(Page);
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
    if (Traced)
        return F6Twice(Page);

    const int Rounds = 5;
    int32_t EngineMessages = 0;
    std::vector<double> Engine;
    for (int I = 0; I < Rounds; ++I) {
        Engine.push_back(EngineAlone(Text, EngineMessages));
        if (Engine.back() < 0) {
            std::fprintf(stderr, "the engine alone failed (%g)\n", Engine.back());
            return 1;
        }
    }

    // The engine's own process: start, engine and configuration, the page, one validation.
    char Self[MAX_PATH];
    GetModuleFileNameA(nullptr, Self, MAX_PATH);
    std::vector<double> EngineStart;
    for (int I = 0; I < 3; ++I) {
        TProcessDriver Alone;
        Clock::time_point Start = Clock::now();
        DWORD Code = 1;
        if (!Alone.Start(Self, "--engine-start \"" + Page + "\"", Folder) ||
            !Alone.WaitForExit(600000, Code) || Code != 0) {
            std::fprintf(stderr, "the engine's own process failed\n");
            return 1;
        }
        EngineStart.push_back(Since(Start));
    }

    std::vector<double> BareStart;
    for (int I = 0; I < 3; ++I) {
        TProcessDriver Bare;
        HWND W = nullptr;
        double Seconds =
            StartToPainted(Self, "--bare-window \"" + Page + "\"", Folder, "bare window", Bare, W);
        DWORD Code = 1;
        if (Seconds < 0) {
            std::fprintf(stderr, "the bare window did not come up\n");
            return 1;
        }
        PostMessageA(W, WM_CLOSE, 0, 0);
        Bare.WaitForExit(60000, Code);
        BareStart.push_back(Seconds);
    }

    std::string Name = Page.substr(Page.find_last_of("\\/") + 1);
    // Three starts; the last window stays for the validations.
    std::vector<double> Starts;
    std::unique_ptr<TProcessDriver> Started;
    HWND Main = nullptr, Memo = nullptr, Status = nullptr, List = nullptr;
    for (int I = 0; I < 3; ++I) {
        if (Started) {
            DWORD Code = 0;
            PostMessageA(Main, WM_CLOSE, 0, 0);
            Started->WaitForExit(60000, Code);
        }
        Started = std::make_unique<TProcessDriver>();
        double Seconds;
        if (!StartZel(Page, *Started, Main, Memo, Status, Seconds))
            return 1;
        Starts.push_back(Seconds);
    }
    const double Opened = Median(Starts);
    TProcessDriver& Driver = *Started;

    // The first validation, once the page has been on screen for half a second: the list fills
    // where the hint stood.
    Sleep(500);
    Clock::time_point F6 = Clock::now();
    bool Filled = F6Filled(Driver, Main, Memo, Status, List);
    std::vector<double> Validated{Since(F6)};
    int Rows = Filled ? Driver.ListCount(List) : 0;
    int First = Filled ? Driver.ListSelected(List) : -1;
    // Again on the filled list: another row is chosen first, and the validation chooses the first
    // message again when it is done.
    int Other = First == Rows - 1 ? 0 : Rows - 1;
    for (int I = 1; Filled && I < Rounds && Other != First; ++I) {
        Driver.ListSelect(List, Other);
        WaitClosely([&] { return Driver.ListSelected(List) == Other; }, 60);
        Clock::time_point Again = Clock::now();
        TProcessDriver::PostKey(Memo, VK_F6);
        Filled = WaitClosely([&] { return Driver.ListSelected(List) == First; }, 600);
        Validated.push_back(Since(Again));
    }
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 0;
    Driver.WaitForExit(60000, Code);

    std::vector<double> Repeated(Validated.begin() + 1, Validated.end());
    std::printf("page %s: %.1f MB, %d messages\n", Name.c_str(), Text.size() / 1048576.0, EngineMessages);
    std::printf("%-40s %8.3f s\n", "engine's process: start to validated", Median(EngineStart));
    std::printf("%-40s %8.3f s\n", "bare window: start to painted", Median(BareStart));
    std::printf("%-40s %8.2f\n", "  bare window / engine's process", Median(BareStart) / Median(EngineStart));
    std::printf("%-40s %8.3f s  (median of 3)\n", "zel.exe: start to the painted page", Opened);
    std::printf("%-40s %8.2f  (goal: at most 1.50)\n", "  start / engine's process",
                Opened / Median(EngineStart));
    std::printf("%-40s %8.3f s\n", "engine alone, first validation", Engine.front());
    std::printf("%-40s %8.3f s  (%d rows)\n", "zel.exe: first F6 to the filled list", Validated.front(),
                Rows);
    std::printf("%-40s %8.2f  (goal: at most 1.50)\n", "  first F6 / first engine",
                Validated.front() / Engine.front());
    std::printf("%-40s %8.3f s\n", "engine alone, median of the rest",
                Median(std::vector<double>(Engine.begin() + 1, Engine.end())));
    std::printf("%-40s %8.3f s  (%zu runs)\n", "zel.exe: median of the next F6", Median(Repeated),
                Repeated.size());
    std::printf("%-40s %8.2f  (goal: at most 1.50)\n", "  next F6 / engine",
                Median(Repeated) / Median(std::vector<double>(Engine.begin() + 1, Engine.end())));
    std::ifstream StageLog(Stages);
    for (std::string L; std::getline(StageLog, L);) {
        size_t Tab = L.find('\t');
        if (Tab != std::string::npos)
            std::printf("  zel.exe stage %-18s %10s ms\n", L.substr(0, Tab).c_str(),
                        L.substr(Tab + 1).c_str());
    }
    return Filled ? 0 : 1;
}
