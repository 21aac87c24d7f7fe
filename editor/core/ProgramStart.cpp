#include "editor/core/ProgramStart.h"

#include "controls/foundation/ControlUpdate.h"
#include "editor/core/AppState.h"
#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EditorMessageBox.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/JobRunners.h"
#include "editor/core/ProgramStages.h"
#include "editor/core/Settings.h"
#include "editor/core/UpdateCheck.h"
#include "controls/textmodel/TextLoading.h"
#include "framework/ui/Forms.h"

#include <shellapi.h>

#include <cstdio>
#include <exception>

namespace {

void status(const TProgramWindows&, const char* text) {
    SetSplashStatus(text);
}

void repaint(const TProgramWindows& w) {
    if (w.RepaintSplash)
        w.RepaintSplash();
}

std::string quoted(const char* s) {
    return std::string("\"") + s + "\"";
}

} // namespace

// Two copies started at the same moment must not both become the primary one: the named mutex
// decides, and a copy that finds it taken waits for the primary's hand-over window.
TCopyDecision DecidePrimaryCopy(HANDLE* mutexOut, HWND* runningOut, DWORD waitMilliseconds) {
    *mutexOut = nullptr;
    *runningOut = nullptr;
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, ZelPrimaryCopyMutexName);
        DWORD error = GetLastError();
        if (mutex && error != ERROR_ALREADY_EXISTS) {
            *mutexOut = mutex;
            return CopyPrimary;
        }
        if (mutex)
            CloseHandle(mutex);
        HWND running = FindWindowA(ZelMessageWindowClass, ZelMessageWindowTitle);
        if (running) {
            *runningOut = running;
            return CopySecondary;
        }
        if (GetTickCount() - start >= waitMilliseconds)
            return CopyUndecided;
        Sleep(50);
    }
}

int32_t PrepareStartup(const std::string& commandLine, HWND runningCopy, bool secondCopy, int32_t* stop,
                       const TProgramWindows& w) {
    *stop = 1;
    if (secondCopy) {
        int32_t r = runningCopy ? HandOverCommandLine(runningCopy, commandLine.c_str()) : HandOverFailed;
        if (r == HandOverDone)
            return ExitHandedOver;
        EditorMessageBox(
            nullptr,
            runningCopy ? "The command line could not be handed over to the running copy of ZEL Orvalent "
                          "Lite. Please open the files from its File menu."
                        : "Another copy of ZEL Orvalent Lite is starting but did not open its window. "
                          "Please try again once it runs, or end it.",
            "Orvalent: Command Line Not Handed Over", ZelBoxError);
        return ExitHandOverFailed;
    }
    HWND engineWindow =
        FindWindowA("TValOptionsForm", "Validator Engine Options (Validator/Logging/Tools/Network)");
    if (!engineWindow)
        engineWindow = FindWindowA(nullptr, "ZEL Orvalent Vantage Configuration Editor");
    if (engineWindow) {
        EditorMessageBox(
            nullptr,
            "Before running ZEL Orvalent Lite, both the options dialog box and Configuration Editor "
            "must be closed.",
            "Orvalent: Close Window First", ZelBoxInformation);
        SetForegroundWindow(engineWindow);
        return ExitEngineWindowsOpen;
    }
    if (p->vol->hasCommandLine) {
        int32_t parsed = ParseCommandLine(nullptr, commandLine.c_str());
        if (parsed == 0)
            return ExitAssociationsRemoved;
        if (parsed < 0)
            return ExitAssociationsNotRemoved;
    }
    status(w, "Reading registry...");
    if (!ReadSettings()) {
        std::string text =
            "ZEL Orvalent Lite could not read its settings from the registry and cannot start.";
        for (const std::string& failure : SettingsReadFailures())
            text += "\n" + failure;
        text += "\nPlease check that your account may read and write these keys, or reinstall.";
        EditorMessageBox(nullptr, text, "Orvalent: Settings Could Not Be Read", ZelBoxError);
        return ExitSettingsUnreadable;
    }
    repaint(w);
    repaint(w);
    *stop = 0;
    return 0;
}

int32_t LoadAndBindEngine(const TProgramWindows& w, int32_t* stop) {
    *stop = 1;
    repaint(w);
    status(w, "Loading DLL...");
    HMODULE module = LoadLibraryA(EngineLibraryName);
    p->vol->engineModule = module;
    if (!module) {
        EditorMessageBox(nullptr, "Cannot load validator DLL. Try reinstalling.", EngineLibraryName,
                         ZelBoxError);
        return ExitEngineNotLoaded;
    }
    status(w, "Initializing DLL pointers...");
    if (BindEngineFunctions(module) != 0) {
        EditorMessageBox(
            nullptr,
            "Cannot initialize DLL pointers. This is usually caused by an older version of " +
                quoted(EngineLibraryName) +
                " on your system. Please try reinstalling and/or upgrading to the latest version so that the "
                "DLL is "
                "updated. Note that the DLL should only be in your Windows system directory and no where "
                "else. "
                "Therefore, if reinstalling and/or upgrading doesn't fix the problem, try deleting " +
                quoted(EngineLibraryName) +
                " from everywhere on your hard drive except from your Windows system directory.",
            "Orvalent: DLL Pointer Initialization Error", ZelBoxError);
        return ExitBindingFailed;
    }
    int32_t version = Engine.ZELGetInteger3EZ(16000);
    p->vol->engineVersion = version;
    if (static_cast<double>(version) + 50.0 < 30000.0) {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%.4f", version * 0.0001);
        EditorMessageBox(
            nullptr,
            std::string("The validator DLL version (") + shown +
                ") is too old for this version of the integrated editor (3.0000). Try reinstalling "
                "Orvalent and make sure that the DLL file " +
                quoted(EngineLibraryName) + " is only in your Windows system directory and no where else.",
            "Orvalent: DLL Version Is Too Old", ZelBoxError);
        return ExitEngineTooOld;
    }
    *stop = 0;
    return 0;
}

int32_t InitEngineSession(const TProgramWindows& w, int32_t* stop) {
    *stop = 1;
    int32_t handle = Engine.ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY);
    p->vol->optionsHandle = handle;
    if (handle < 0) {
        EditorMessageBox(
            nullptr,
            "The validator engine could not create its options (code " + std::to_string(handle) +
                "), so ZEL Orvalent Lite cannot start. The engine's options in the registry may be "
                "unreadable; reinstalling restores them.",
            "Orvalent: Validator Options Not Created", ZelBoxError);
        return ExitNoOptionsHandle;
    }
    LoadNetworkConfig(&p->vol->network, 2);
    UpdateCheck().network = &p->vol->network;
    status(w, "Loading configuration...");
    if (Engine.ZELHTMLConfiguration(nullptr, handle, 1) < 0) {
        ReportEngineFailure(FailConfigurationNotLoaded);
    } else if (Engine.ZELGetString) {
        if (const char* version = Engine.ZELGetString(handle, ZELID_OPT_CONFIGHEADER1))
            UpdateCheck().configVersion = version;
    }
    *stop = 0;
    return 0;
}

int32_t SetUpAfterForms(const TProgramWindows& w) {
    TEditorLink& link = EditorLink();
    HWND main = link.MainFormHandle ? link.MainFormHandle() : nullptr;
    if (main) {
        bool inactive = !(Application && Application->Active());
        EnableHotKey(main, inactive && (p->iface->flags & IfHotKey) ? 1 : 0);
    }
    status(w, "Processing images...");
    status(w, "Creating forms...");
    if (w.SetUpViews)
        w.SetUpViews();
    if (main)
        DragAcceptFiles(main, TRUE);
    status(w, "Creating Inserter Window(s)...");
    return 0;
}

void ShutDownProgram(const TProgramWindows& w, bool ownApplication, HANDLE primaryMutex) {
    DropPreloadedText();
    FreePropEditors();
    if (w.HideSplash)
        w.HideSplash();
    SplashForm = nullptr;
    // Forms first, while the engine is still there for whatever they do on their way out; then
    // the records, which free their results handles through the engine; the engine last, once no
    // window of ours is left to call into it.
    if (w.DestroyForms)
        w.DestroyForms();
    if (ownApplication)
        DestroyApplication();
    HMODULE module = nullptr;
    if (p) {
        module = p->vol->engineModule;
        p->vol->inserters.clear(true);
        delete p;
        p = nullptr;
    }
    ClearEngineFunctions();
    if (module)
        FreeLibrary(module);
    if (primaryMutex)
        CloseHandle(primaryMutex);
}

int ZelProgramMainLine(const std::string& givenLine, const TProgramWindows& w) {
    // Files are named in full from here on: in captions, questions, the recent list, and in what a
    // second start hands to the running copy, whose current folder is not this start's.
    const std::string commandLine = WithFullPathNames(givenLine);
    InstallEditorBoxLogFromEnvironment();
    int exitCode = 0;
    int32_t stop = 0;
    HANDLE mutex = nullptr;
    const bool ownApplication = Application == nullptr;
    // Later stages (the settings reader's greeting) report to the splash through the helper.
    SetSplashStatusSink(w.SplashStatus);
    try {
        if (ownApplication)
            CreateApplication();
        Application->Initialize();
        p = new prgclass;
        HWND running = nullptr;
        TCopyDecision copy = DecidePrimaryCopy(&mutex, &running, CopyDecisionWait);
        // The files of the command line are read while the windows are made; the first idle pass
        // opens them.
        if (copy == CopyPrimary)
            PreloadTextFiles(CommandLineFiles(commandLine));
        if (copy == CopyPrimary && w.ShowSplash) {
            w.ShowSplash();
            status(w, "Loading...");
        }
        Application->SetTitle("ZEL Orvalent Lite");
        if (!commandLine.empty())
            p->vol->hasCommandLine = 1;
        exitCode = PrepareStartup(commandLine, running, copy != CopyPrimary, &stop, w);
        if (!stop)
            exitCode = LoadAndBindEngine(w, &stop);
        if (!stop) {
            exitCode = InitEngineSession(w, &stop);
            if (!stop)
                repaint(w);
        }
        if (!stop) {
            status(w, "Creating main editor form...");
            if (w.CreateMainForms && !w.CreateMainForms()) {
                EditorMessageBox(nullptr, "The main window of ZEL Orvalent Lite could not be created.",
                                 "Orvalent: Start-up Stopped", ZelBoxError);
                exitCode = ExitMainFormNotCreated;
                stop = 1;
            }
        }
        if (!stop) {
            SetUpAfterForms(w);
            if (Application->MainForm())
                FinishControlUpdate(Application->MainForm());
            status(w, "Running...");
            Application->Run();
        }
    } catch (const std::exception& e) {
        if (Application)
            Application->ShowException(e);
    }
    SetSplashStatusSink(nullptr);
    try {
        ShutDownProgram(w, ownApplication, mutex);
    } catch (const std::exception& e) {
        EditorMessageBox(nullptr, e.what(), "ZEL Orvalent Error", ZelBoxError);
    }
    return exitCode;
}

int ZelProgramMain(const std::vector<std::string>& args, const TProgramWindows& windows) {
    return ZelProgramMainLine(JoinCommandLine(args), windows);
}
