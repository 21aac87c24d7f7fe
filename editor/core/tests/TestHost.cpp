// A small program that runs the editor's start-up, message loop and shutdown with stand-in
// windows, for the start-up tests: it records what happened in the file named by
// ZEL_TESTHOST_LOG and closes its main form after ZEL_TESTHOST_CLOSE_MS milliseconds.
#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileAssociations.h"
#include "editor/core/ProgramStart.h"
#include "editor/core/UpdateCheck.h"
#include "framework/ui/Forms.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string environment(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void note(const std::string& line) {
    static const std::string path = environment("ZEL_TESTHOST_LOG");
    if (path.empty())
        return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

HWND handOverWindow = nullptr;
HWND engineCaller = nullptr;
TForm* mainForm = nullptr;

LRESULT CALLBACK handOverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ZelHandOverMessage) {
        ReceiveHandOverAtom(lParam);
        return 0;
    }
    if (message == WM_COPYDATA)
        return ReceiveHandOverCopyData(lParam) ? TRUE : FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window whose timer calls into the engine, as the main window's views do: shutdown must have
// destroyed it before the engine goes.
LRESULT CALLBACK engineCallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (!Engine.ZELGetNumberOfHandles)
            note("engine call after unload");
        else
            Engine.ZELGetNumberOfHandles();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeWindow(const char* className, const char* title, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

void CALLBACK closeTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (mainForm && mainForm->HandleAllocated())
        PostMessageA(mainForm->Handle(), WM_CLOSE, 0, 0);
}

BOOL CALLBACK countWindow(HWND window, LPARAM counter) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == ZelMessageWindowClass || std::string(name) == "ZelTestEngineCaller")
        ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int countOurWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const int closeMs = std::atoi(environment("ZEL_TESTHOST_CLOSE_MS").c_str());
    TEditorLink& link = EditorLink();
    // The file-type tree the associations are written to, moved into a key of the test's own.
    const std::string associations = environment("ZEL_TESTHOST_ASSOCIATIONS");
    if (!associations.empty())
        SetAssociationRoot({HKEY_CURRENT_USER, associations + "\\"});

    TProgramWindows w;
    w.ShowSplash = [] { note("splash"); };
    w.SplashStatus = [](const std::string& s) { note("status " + s); };
    w.CreateMainForms = [&] {
        mainForm = Application->CreateForm<TForm>();
        mainForm->SetCaption("ZEL Core Test Host");
        mainForm->SetBounds(20, 20, 300, 200);
        handOverWindow = makeWindow(ZelMessageWindowClass, ZelMessageWindowTitle, handOverProc);
        engineCaller = makeWindow("ZelTestEngineCaller", "caller", engineCallerProc);
        SetTimer(engineCaller, 1, 10, nullptr);
        link.MainFormHandle = [] { return mainForm ? mainForm->Handle() : nullptr; };
        link.AddNewFileTab = [](const std::string& f) { note("open " + f); };
        link.BringToFront = [] { note("front"); };
        Application->OnIdle = [](TObject*, bool& done) {
            if (p && p->vol->commandQueue.Count() > 0)
                ProcessCommandQueue(p->vol->commandQueue);
            done = true;
        };
        SetTimer(nullptr, 0, closeMs > 0 ? static_cast<UINT>(closeMs) : 300, closeTimer);
        const char* configVersion = UpdateCheck().configVersion.getString();
        note(std::string("update check: configuration ") + (configVersion ? configVersion : "") +
             (UpdateCheck().network == &p->vol->network ? " network of the records" : " no network"));
        note("forms created");
        return true;
    };
    w.SetUpViews = [] { note("views"); };
    w.DestroyForms = [&] {
        note(std::string("destroy forms: records ") + (p ? "1" : "0") + " engine " +
             (GetModuleHandleA("zelvalidatorliteV30.dll") ? "1" : "0"));
        link = TEditorLink{};
        if (engineCaller)
            DestroyWindow(engineCaller);
        if (handOverWindow)
            DestroyWindow(handOverWindow);
        delete mainForm;
        mainForm = nullptr;
    };
    int code = ZelProgramMainLine(commandLine ? commandLine : "", w);
    // Messages still queued for our windows would run now, with the engine gone.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, "ZELDownloadURLsSemaphore");
    if (semaphore)
        CloseHandle(semaphore);
    if (UpdateCheck().network)
        note("update check still points into the records");
    note(std::string("after: records ") + (p ? "1" : "0") + " engine " +
         (GetModuleHandleA("zelvalidatorliteV30.dll") ? "1" : "0") + " windows " +
         std::to_string(countOurWindows()) + " semaphore " + (semaphore ? "1" : "0"));
    note("exit " + std::to_string(code));
    return code;
}
