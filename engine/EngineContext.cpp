#include "engine/EngineContext.h"

#include "engine/ConfigClass.h"
#include "engine/EngineMessageBox.h"
#include "engine/JobClass.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"
#include "engine/program/Interpreter.h"
#include "engine/utils/QXRegistryEx.h"
#include "engine/utils/TextArena.h"

#include <shellapi.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

EngineContext* context = nullptr;
Interpreter* interpreter = nullptr;

int deleteHandleElement(void* element) {
    return deleteValidatorClass(static_cast<ValidatorBaseClass*>(element)) == 1 ? 1 : 0;
}

void removeTrailingBackslash(StrStore& s) {
    if (s.getStringLength() > 0 && s.charAt(s.getStringLength() - 1) == '\\')
        s.removeLast(1);
}

HANDLE makeSemaphore(const char* name) {
    return CreateSemaphoreA(nullptr, 1, 1, name);
}

// The slots of the two locks in the holder records that every process shares.
constexpr int32_t kNewHandleSlot = 0;
constexpr int32_t kRunJobSlot = 1;

void closeSemaphore(HANDLE& h) {
    if (h)
        CloseHandle(h);
    h = nullptr;
}

HINSTANCE shellOpen(const char* document) {
    return ShellExecuteA(nullptr, "open", document, nullptr, nullptr, SW_SHOWNORMAL);
}

ShellOpenFn currentShellOpen = shellOpen;

bool startProcess(const char* commandLine, int show) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION pi{};
    std::string line = commandLine ? commandLine : "";
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

StartProgramFn currentStartProgram = startProcess;

} // namespace

void engineStartup() {
    if (context)
        return;
    auto made = std::make_unique<EngineContext>();
    auto madeInterpreter = std::make_unique<Interpreter>();
    char temp[1025];
    DWORD n = GetTempPathA(1024, temp);
    if (n > 0 && n < 1024) {
        made->temporaryFolder.assign(temp);
        removeTrailingBackslash(made->temporaryFolder);
    }
    openLockHolderRecords();
    made->newHandleLock.open("ZELGetNewHandleSemaphore", kNewHandleSlot);
    made->runJobLock.open("ZELRunJobSemaphore", kRunJobSlot);
    made->checkLinksSemaphore = makeSemaphore("ZELRunJobCheckLinksSemaphore");
    made->checkLinks2Semaphore = makeSemaphore("ZELRunJobCheckLinks2Semaphore");
    // Published only when everything is made, so a start-up that throws leaves nothing half-built.
    interpreter = madeInterpreter.release();
    context = made.release();
}

void engineAttach(HMODULE module) {
    EngineContext& ctx = engineContext();
    ctx.module = module;
    ctx.handles.setDeleter(deleteHandleElement);
    readInstallInformation();
}

void engineDetach() {
    if (!context)
        return;
    freeHandle(0, ZEL_FREE_ALL);
}

void engineShutdown() {
    if (!context)
        return;
    delete interpreter;
    interpreter = nullptr;
    context->handles.clear(true);
    context->newHandleLock.close();
    context->runJobLock.close();
    closeSemaphore(context->checkLinksSemaphore);
    closeSemaphore(context->checkLinks2Semaphore);
    delete context;
    context = nullptr;
    closeLockHolderRecords();
    // What the runs' texts left for the next run, given back as the library goes.
    TextArena::releasePool();
}

bool engineStarted() {
    return context != nullptr;
}

Interpreter& engineInterpreter() {
    if (!interpreter)
        throw std::logic_error("the engine has not been started");
    return *interpreter;
}

EngineContext& engineContext() {
    if (!context)
        throw std::logic_error("the engine has not been started");
    return *context;
}

bool readInstallFolder(StrStore& folder, StrStore* editorExe) {
    folder.clear();
    if (editorExe)
        editorExe->clear();
    // The registry class may throw on a refused write-back; at attach nothing may escape.
    try {
        QXRegistryEx reg(QXRegistryEx::UseFallback);
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey("Software\\Nortavia\\ZEL Orvalent Lite v2", true))
            return false;
        reg.ReadString("InstallDirV30", &folder, 0);
        StrStore editor;
        reg.ReadString("EditorEXE", &editor, 0);
        if (editorExe)
            editorExe->assign(editor);
        reg.CloseKey();
    } catch (...) {
        folder.clear();
        return false;
    }
    folder.trim();
    removeTrailingBackslash(folder);
    return !folder.isEmpty();
}

StrStore programFolder() {
    char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(engineContext().module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return StrStore("");
    path[n] = 0;
    StrStore::folderPart(path, 1);
    return StrStore(path);
}

int32_t readInstallInformation() {
    EngineContext& ctx = engineContext();
    const bool found = readInstallFolder(ctx.installFolder, &ctx.editorExe);
    int32_t result = 0;
    if (!found) {
        ctx.deferredBox = true;
        ctx.deferredBoxText.assign(
            "An important registry entry cannot be found. ZEL Orvalent Lite may not run "
            "properly. You should reinstall ZEL Orvalent Lite to try to correct the problem.");
        ctx.deferredBoxCaption.assign("Orvalent: Registry Error");
        ctx.deferredBoxStyle = ZEL_BOX_ERROR;
        result = -1;
        // The files the engine ships stand beside it: without the registry entry that is the
        // best guess, and far better than names that begin with a bare backslash.
        ctx.installFolder = programFolder();
    }
    ctx.documentationFolder.assign(ctx.installFolder);
    ctx.documentationFolder.append("\\Documentation");
    return result;
}

void reportDeferredFault() {
    EngineContext& ctx = engineContext();
    if (!ctx.deferredBox)
        return;
    ctx.deferredBox = false;
    engineMessageBox(nullptr, ctx.deferredBoxText.getString(), ctx.deferredBoxCaption.getString(),
                     ctx.deferredBoxStyle);
}

ValidatorBaseClass* handleObject(int32_t handle) {
    return static_cast<ValidatorBaseClass*>(engineContext().handles.at(handle));
}

ValidatorBaseClass* getValidatorClass(int32_t handle, int32_t kind) {
    ValidatorBaseClass* object = handleObject(handle);
    return object && object->kind == kind ? object : nullptr;
}

ConfigClass* optionsObject(int32_t handle) {
    return static_cast<ConfigClass*>(getValidatorClass(handle, ZEL_KIND_OPTIONS));
}

JobClass* jobObject(int32_t handle) {
    return static_cast<JobClass*>(getValidatorClass(handle, ZEL_KIND_JOB));
}

ResultClass* resultsObject(int32_t handle) {
    return static_cast<ResultClass*>(getValidatorClass(handle, ZEL_KIND_RESULTS));
}

int32_t deleteValidatorClass(ValidatorBaseClass* object) {
    if (!object)
        return 1;
    switch (object->kind) {
    case ZEL_KIND_OPTIONS:
        if (context && object->handle >= 0 && object->handle == context->defaultOptionsHandle)
            context->defaultOptionsHandle = -1;
        [[fallthrough]];
    case ZEL_KIND_JOB:
    case ZEL_KIND_RESULTS:
        delete object; // each kind frees what it owns in its own destructor
        return 1;
    default:
        return ZELErrorMessage(-1, "deleteValidatorClass", "bad type");
    }
}

void engineForgetCfgStore(CfgStore* store) {
    if (context && store && context->currentCfgStore == store)
        context->currentCfgStore = nullptr;
}

int32_t ZELErrorMessage(int32_t code, const char* function, const char* text) {
    std::string message = "ZEL Orvalent Lite DLL error in function or function call for ";
    message += function ? function : "";
    message += "(): ";
    message += text ? text : "";
    engineMessageBox(nullptr, message.c_str(), "Orvalent: Error", ZEL_BOX_ERROR);
    return code;
}

int32_t ZELError(int32_t code, const char* function, int32_t reason) {
    static const char* const reasons[] = {
        "bad handle", "setPointer() failed", "bad value identifier parameter passed to function",
        "bad flag for value identifier parameter passed to function", "value pointer is NULL"};
    if (reason < kBadHandle || reason > kNullPointer)
        return ZELErrorMessage(code, "ZELError",
                               "internal error in ZELError(); an error generated another error");
    return ZELErrorMessage(code, function, reasons[reason - 1]);
}

ShellOpenFn setShellOpen(ShellOpenFn fn) {
    ShellOpenFn old = currentShellOpen;
    currentShellOpen = fn ? fn : shellOpen;
    return old;
}

StartProgramFn setStartProgram(StartProgramFn fn) {
    StartProgramFn old = currentStartProgram;
    currentStartProgram = fn ? fn : startProcess;
    return old;
}

bool startProgram(const char* commandLine, int show) {
    return currentStartProgram(commandLine, show);
}

int32_t openDocument(const char* document) {
    HINSTANCE result = currentShellOpen(document ? document : "");
    if (reinterpret_cast<intptr_t>(result) > 32)
        return 1;
    std::string text = "The operating system was unable to open the document \"";
    text += document ? document : "";
    text += "\". If this document is a URL or HTML document, you may need an installed web browser and/or an "
            "active Internet connection to view it.";
    engineMessageBox(nullptr, text.c_str(), "Orvalent: Could Not Open Document", ZEL_BOX_ERROR);
    return 0;
}
