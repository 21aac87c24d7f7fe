#pragma once
// A second process that holds one of the engine's system-wide locks, for the tests of whoever
// waits for them: engine_lock_holder.exe, beside the test program.

#include <windows.h>

#include <string>

// Holds one lock ("new" or "run") from its start until it lets go or is killed.
class LockHolder {
public:
    explicit LockHolder(const char* which) {
        static int serial = 0;
        const std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
        const std::string heldName = "ZELTestLockHeld_" + tag, letGoName = "ZELTestLockLetGo_" + tag;
        held_ = CreateEventA(nullptr, TRUE, FALSE, heldName.c_str());
        letGo_ = CreateEventA(nullptr, TRUE, FALSE, letGoName.c_str());
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string folder = self;
        folder.erase(folder.find_last_of('\\') + 1);
        std::string commandLine =
            "\"" + folder + "engine_lock_holder.exe\" " + which + " " + heldName + " " + letGoName;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &si, &process_) != FALSE;
        HANDLE waits[2] = {held_, process_.hProcess};
        holding_ = started_ && WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    ~LockHolder() {
        if (started_) {
            kill();
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CloseHandle(held_);
        CloseHandle(letGo_);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool holding() const { return holding_; }
    // Ends the process where it stands, its hold with it.
    void kill() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 9);
            WaitForSingleObject(process_.hProcess, 30000);
        }
    }
    // Lets the lock go as a finished run does, and waits for the process to end.
    bool letGo() {
        SetEvent(letGo_);
        DWORD code = 1;
        return WaitForSingleObject(process_.hProcess, 30000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process_.hProcess, &code) && code == 0;
    }

private:
    HANDLE held_ = nullptr;
    HANDLE letGo_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    bool holding_ = false;
};
