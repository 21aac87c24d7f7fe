#pragma once
// Checked calls into the engine: each passes the export's result back unchanged and, when it is
// negative, shows one fixed box chosen by a failure bit.

#include "editor/core/EngineFunctionTable.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Failure bits of ReportEngineFailure; with several, the highest is shown.
enum EngineFailureBits : int32_t {
    FailConfigurationNotLoaded = 1,
    FailConfigurationEditor = 2,
    FailNewHandle = 4,
    FailSetInteger = 8,
    FailRunJob = 16,
    FailFreeHandle = 32,
    FailSetString = 64,
    FailGetFlag = 128,
    FailSetFlag = 256,
    FailSetString3 = 512,
};

int32_t ReportEngineFailure(int32_t failureBits);

int32_t EngineFreeHandle(int32_t handle, int32_t flags);
int32_t EngineGetFlag(int32_t handle, int32_t identifier, int32_t mask);
int32_t EngineNewJobHandle(int32_t flags);
int32_t EngineRunJob(HWND window, int32_t optionsHandle, int32_t jobHandle, int32_t reserved);
// Runs a job, waiting as long as another program holds the engine's locks, with the editor alive
// meanwhile: its windows are repainted, the status bar says what the editor waits for, and Esc
// gives up (ZEL_RUN_BUSY, without a box). Keyboard and mouse input is set aside during the wait,
// so that no command starts under a job that is not finished.
int32_t EngineRunJobWaiting(HWND window, int32_t optionsHandle, int32_t jobHandle);
int32_t EngineSetInteger(int32_t handle, int32_t identifier, int32_t value);
int32_t EngineSetString(int32_t handle, int32_t identifier, const char* text);
int32_t EngineSetFlag(int32_t handle, int32_t identifier, int32_t mask, int32_t on);

// "ZEL Orvalent error in function or function call for NAME(): REASON"; returns code.
int32_t ShowEngineCallError(int32_t code, const std::string& functionName, const std::string& reason);
int32_t ReportEditorError(int32_t code, const std::string& functionName, int32_t reason);

class TControl;
// Sets a status control's text to "Validating..." (flag 2: "A problem occurred.") and repaints it
// at once; 1. With flag 1 it does so for every status control the main window lists
// (EditorLink().StatusControls) and returns 0.
int32_t SetValidatingStatus(TControl* control, int32_t flags);

// The engine's version text and integer, or "" / -1 while the engine is not bound.
int32_t EngineVersion();

constexpr const char* EngineLibraryName = "zelvalidatorliteV30.dll";
