// The engine's system-wide locks against a second process that holds them: a live holder keeps
// a run waiting (as long as the caller allows), one killed while it holds a lock does not keep
// anyone waiting for good.
#include "EngineFixture.h"

#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/include/ZelValidator.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// engine_lock_holder.exe, beside this test program, holding one lock ("new" or "run").
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

// True when nobody holds the semaphore of that name (it is taken and given back at once).
bool semaphoreFree(const char* name) {
    HANDLE h = OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, name);
    if (!h)
        return false;
    const bool free = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    if (free)
        ReleaseSemaphore(h, 1, nullptr);
    CloseHandle(h);
    return free;
}

class SystemLocks : public EngineTest {
protected:
    int32_t options = -1;
    int32_t job = -1;
    void SetUp() override {
        EngineTest::SetUp();
        options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        ASSERT_GE(options, 0);
        ASSERT_GE(job, 0);
        // A job of no type: the run takes both locks, then refuses the job with its box. That
        // is all these tests need of a run.
    }
    int32_t run(int32_t waitLimit) { return ZELRunJob(nullptr, options, job, waitLimit); }
};

TEST_F(SystemLocks, ALiveHolderKeepsTheRunWaitingOnlyAsLongAsTheCallerAllows) {
    for (const char* which : {"run", "new"}) {
        SCOPED_TRACE(which);
        LockHolder holder(which);
        ASSERT_TRUE(holder.holding());
        const int32_t handles = ZELGetNumberOfHandles();
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(run(300), ZEL_RUN_BUSY);
        EXPECT_GE(GetTickCount64() - start, 250u);
        EXPECT_EQ(ZELGetNumberOfHandles(), handles); // no results handle is left behind
        EXPECT_TRUE(recordedBoxes().empty());
        // Given back as a run gives it back, the lock is the next run's.
        ASSERT_TRUE(holder.letGo());
        EXPECT_EQ(run(300), -3);
        EXPECT_EQ(onlyBox().text,
                  "ZEL Orvalent Lite DLL error in function or function call for ZELRunJob(): bad job type");
    }
}

TEST_F(SystemLocks, AHolderKilledInsideItsHoldIsTakenOver) {
    for (const char* which : {"run", "new"}) {
        SCOPED_TRACE(which);
        LockHolder holder(which);
        ASSERT_TRUE(holder.holding());
        EXPECT_EQ(run(200), ZEL_RUN_BUSY);
        holder.kill();
        // No time limit: a run that waited for the dead holder would never end (CTest's time-out
        // would end this test).
        EXPECT_EQ(run(0), -3);
        recordedBoxes().clear();
        EXPECT_GE(ZELGetNewHandle(ZEL_HANDLE_JOB), 0);
        // The taken-over hold was given back like any other.
        EXPECT_TRUE(semaphoreFree("ZELGetNewHandleSemaphore"));
        EXPECT_TRUE(semaphoreFree("ZELRunJobSemaphore"));
    }
}

// Another process may not read the options or load a configuration while a new options handle
// reads its own: the handle lock is held over both.
std::vector<bool> lockFreeAtBox;
int noteLockAtBox(HWND, const char* text, const char* caption, UINT style) {
    lockFreeAtBox.push_back(semaphoreFree("ZELGetNewHandleSemaphore"));
    recordedBoxes().push_back({text, caption, style});
    // Every export first shows what was put aside for it: the next export shows one again.
    engineContext().deferredBox = true;
    return defaultBoxAnswer(style);
}

TEST_F(SystemLocks, NewOptionsReadTheRegistryAndLoadTheirConfigurationInsideTheHandleLock) {
    EngineContext& ctx = engineContext();
    ctx.deferredBoxText.assign("box");
    ctx.deferredBoxCaption.assign("caption");
    ctx.deferredBox = true;
    lockFreeAtBox.clear();
    const EngineMessageBoxFn old = setEngineMessageBox(noteLockAtBox);
    const int32_t handle =
        ZELGetNewHandle(ZEL_HANDLE_OPTIONS | ZEL_HANDLE_READ_REGISTRY | ZEL_HANDLE_LOAD_CONFIGURATION);
    setEngineMessageBox(old);
    ctx.deferredBox = false;
    recordedBoxes().clear();
    EXPECT_NE(handle, -2);
    // ZELGetNewHandle's own box comes before it takes the lock; ZELReadFromRegistry's and
    // ZELHTMLConfiguration's come inside it.
    EXPECT_EQ(lockFreeAtBox, (std::vector<bool>{true, false, false}));
}

} // namespace
