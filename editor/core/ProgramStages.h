#pragma once
// The stages of start-up and shutdown that ZelProgramMain runs, each callable on its own.

#include "editor/core/ProgramStart.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Exit codes of the program.
enum ZelExitCode : int32_t {
    ExitNormal = 0,
    ExitSettingsUnreadable = 1,
    ExitNoOptionsHandle = 5,
    ExitAssociationsRemoved = 6,
    ExitHandedOver = 7,
    ExitEngineNotLoaded = 8,
    ExitBindingFailed = 9,
    ExitEngineWindowsOpen = 10,
    ExitEngineTooOld = 11,
    ExitHandOverFailed = 12,         // a running copy exists but did not take the command line
    ExitMainFormNotCreated = 13,     // the window layer could not make the main form
    ExitAssociationsNotRemoved = 14, // "-x" asked for what this build cannot do
};

constexpr const char* ZelPrimaryCopyMutexName = "ZELEditorPrimaryCopyMutex";
// How long a second copy waits for the primary copy's hand-over window.
constexpr DWORD CopyDecisionWait = 15000;

enum TCopyDecision { CopyPrimary, CopySecondary, CopyUndecided };
TCopyDecision DecidePrimaryCopy(HANDLE* mutexOut, HWND* runningOut, DWORD waitMilliseconds);

int32_t PrepareStartup(const std::string& commandLine, HWND runningCopy, bool secondCopy, int32_t* stop,
                       const TProgramWindows& w);
int32_t LoadAndBindEngine(const TProgramWindows& w, int32_t* stop);
int32_t InitEngineSession(const TProgramWindows& w, int32_t* stop);
int32_t SetUpAfterForms(const TProgramWindows& w);
void ShutDownProgram(const TProgramWindows& w, bool ownApplication, HANDLE primaryMutex);
