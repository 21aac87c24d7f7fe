#pragma once
// The engine's base: its one context record, the handle table, the error reporter that every
// export uses and the shell seams. The configuration, the run, the checks and the exports are
// built on this and nothing here calls them.
//
// Start-up order (see EngineLifetime.h): engineStartup makes the context with its semaphores and
// the template tool's interpreter; engineAttach records the module and reads what the installer
// left in the registry. engineDetach frees every handle; engineShutdown frees the rest in reverse.
// Nothing starts lazily: engineContext() before engineStartup() is a fault and throws, which an
// export's guard turns into its error answer.

#include "engine/SystemLock.h"
#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>

class ValidatorBaseClass;
class ConfigClass;
class JobClass;
class ResultClass;
class CfgStore;
class Interpreter;

struct EngineContext {
    StrStore temporaryFolder;
    StrStore installFolder;
    StrStore editorExe; // the editor's program as the installer recorded it
    StrStore documentationFolder;
    StrStore helpFile;
    uint32_t globalFlags = 0;      // 26000
    int32_t messageTextColumn = 0; // language column of the message and configuration texts
    // Handle creation with its registry read and configuration load, and whole job runs.
    SystemLock newHandleLock; // "ZELGetNewHandleSemaphore"
    SystemLock runJobLock;    // "ZELRunJobSemaphore"
    HANDLE checkLinksSemaphore = nullptr;
    HANDLE checkLinks2Semaphore = nullptr;
    HWND dialogOwner = nullptr;
    int32_t defaultOptionsHandle = -1;

    HMODULE module = nullptr;
    // The objects of the run under way; cleared whenever the object they name is freed.
    ConfigClass* currentOptions = nullptr;
    CfgStore* currentCfgStore = nullptr;
    JobClass* currentJob = nullptr;
    ResultClass* currentResults = nullptr;

    // A fault found while the library was being attached (under the loader lock, where no box
    // may be shown); reported by the first exported call.
    StrStore deferredBoxText;
    StrStore deferredBoxCaption;
    UINT deferredBoxStyle = 0;
    bool deferredBox = false;

    PointerArrayManager handles; // slot index = handle
};

void engineStartup();
void engineAttach(HMODULE module);
void engineDetach();
void engineShutdown();
bool engineStarted();
EngineContext& engineContext();
// The program interpreter of the template tool, alive from start-up to shut-down.
Interpreter& engineInterpreter();

// The install folder as the installer left it in the registry, trailing backslash removed, and
// the editor's program name when wanted; false when the key or value is missing.
bool readInstallFolder(StrStore& folder, StrStore* editorExe = nullptr);
// The folder of the engine's own module (of the program when it is linked in), no trailing
// backslash.
StrStore programFolder();
// Reads the install information into the context; 0, or -1 when the folder is empty.
// The registry-error box is deferred to the first exported call.
int32_t readInstallInformation();
// Shows a fault remembered at attach, once.
void reportDeferredFault();

// Handle table.
// Places a new object in the lowest free slot: its handle, or a negative code (the object is then
// freed): ZEL_RUN_BUSY when another process held the handle lock past the limit (milliseconds).
int32_t registerHandle(ValidatorBaseClass* object, DWORD limit = INFINITE);
// Frees one handle (a locked one at its last unlock), or all with ZEL_FREE_ALL.
int32_t freeHandle(int32_t handle, int32_t flags);
// ZEL_LOCK and ZEL_UNLOCK of one handle.
int32_t lockHandle(int32_t handle, int32_t flags);
ValidatorBaseClass* handleObject(int32_t handle);
ValidatorBaseClass* getValidatorClass(int32_t handle, int32_t kind);
ConfigClass* optionsObject(int32_t handle);
JobClass* jobObject(int32_t handle);
ResultClass* resultsObject(int32_t handle);
int32_t deleteValidatorClass(ValidatorBaseClass* object);
// Forget any current-object pointer that names this configuration store (it is being freed).
void engineForgetCfgStore(CfgStore* store);

// Error reporting through the box seam; both return code.
int32_t ZELErrorMessage(int32_t code, const char* function, const char* text);
// The reasons of ZELError, each with its own text.
enum ZelErrorReason : int32_t {
    kBadHandle = 1,
    kSetPointerFailed = 2,
    kBadIdentifier = 3,
    kBadFlag = 4,
    kNullPointer = 5,
};
int32_t ZELError(int32_t code, const char* function, int32_t reason);

// Opens a document or address with the shell; 1, or 0 after a box.
using ShellOpenFn = HINSTANCE (*)(const char* document);
ShellOpenFn setShellOpen(ShellOpenFn fn);
int32_t openDocument(const char* document);

// Starts a program by its command line with the given show command (SW_...); true when it
// started. Tests install a recorder so that no program is ever started by them.
using StartProgramFn = bool (*)(const char* commandLine, int show);
StartProgramFn setStartProgram(StartProgramFn fn);
bool startProgram(const char* commandLine, int show);
