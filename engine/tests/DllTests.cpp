// Loads the real engine library as the editor does: by file name, binding all 42 exports by name.
// Its boxes go to a log file (ZEL_MESSAGE_BOX_LOG), so none is ever shown.
#include "engine/include/ZelValidator.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string logPath() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    return std::string(base) + "zel_engine_dll_boxes_" + std::to_string(GetCurrentProcessId()) + ".log";
}

class EngineLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        log = logPath();
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", log.c_str());
        module = LoadLibraryA("zelvalidatorliteV30.dll");
        ASSERT_NE(module, nullptr) << "cannot load the engine library";
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", nullptr);
        DeleteFileA(log.c_str());
    }
    template <typename Fn> Fn bind(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    std::string boxes() const {
        std::ifstream in(log, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    HMODULE module = nullptr;
    std::string log;
};

TEST_F(EngineLibrary, BindsAllFortyTwoExportsByName) {
    int missing = 0;
    for (const char* name : ZEL_EXPORT_NAMES)
        if (!GetProcAddress(module, name)) {
            ++missing;
            ADD_FAILURE() << "missing export " << name;
        }
    EXPECT_EQ(missing, 0);
}

TEST_F(EngineLibrary, VersionHandlesAndBoxesThroughTheLog) {
    auto getInteger3EZ = bind<decltype(&ZELGetInteger3EZ)>("ZELGetInteger3EZ");
    auto getString3 = bind<decltype(&ZELGetString3)>("ZELGetString3");
    auto getNewHandle = bind<decltype(&ZELGetNewHandle)>("ZELGetNewHandle");
    auto freeHandle = bind<decltype(&ZELFreeHandle)>("ZELFreeHandle");
    auto count = bind<decltype(&ZELGetNumberOfHandles)>("ZELGetNumberOfHandles");
    auto setString = bind<decltype(&ZELSetString)>("ZELSetString");
    auto getString = bind<decltype(&ZELGetString)>("ZELGetString");
    auto getFlag = bind<decltype(&ZELGetFlag)>("ZELGetFlag");
    ASSERT_TRUE(getInteger3EZ && getString3 && getNewHandle && freeHandle && count && setString &&
                getString && getFlag);

    EXPECT_EQ(getInteger3EZ(ZELID_VERSION), 30000);
    EXPECT_STREQ(getString3(ZELID_VERSIONTEXT), "3.0000");
    int32_t job = getNewHandle(ZEL_HANDLE_JOB);
    ASSERT_GE(job, 0);
    EXPECT_EQ(setString(job, ZELID_JOB_INPUT, "doc.html"), 0);
    EXPECT_STREQ(getString(job, ZELID_JOB_INPUTEXTENSION), "html");
    EXPECT_EQ(count(), 1);

    std::string before = boxes();
    EXPECT_EQ(getFlag(job + 100, ZELID_OPT_VALIDATORFLAGS, 1), -2);
    std::string after = boxes();
    ASSERT_GT(after.size(), before.size());
    EXPECT_EQ(after.substr(before.size()),
              "00010010\tOrvalent: Error\tZEL Orvalent Lite DLL error in function or function call for "
              "ZELGetFlag(): bad handle\n");
    EXPECT_EQ(freeHandle(job, 0), job);
    EXPECT_EQ(count(), 0);
}

// Attaching runs under the loader lock, where no box may be shown: a missing install folder is
// reported by the first exported call instead, once.
TEST_F(EngineLibrary, RegistryFaultAtAttachIsReportedByTheFirstCall) {
    FreeLibrary(module);
    module = nullptr;
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    char saved[1024];
    DWORD size = sizeof saved, type = 0;
    bool hadValue = RegQueryValueExA(key, "InstallDirV30", nullptr, &type, reinterpret_cast<BYTE*>(saved),
                                     &size) == ERROR_SUCCESS;
    RegDeleteValueA(key, "InstallDirV30");

    DeleteFileA(log.c_str());
    module = LoadLibraryA("zelvalidatorliteV30.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(boxes(), "");
    auto count = bind<decltype(&ZELGetNumberOfHandles)>("ZELGetNumberOfHandles");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(), 0);
    std::string first = boxes();
    EXPECT_EQ(
        first.rfind("00010010\tOrvalent: Registry Error\tAn important registry entry cannot be found.", 0),
        0u)
        << first;
    count();
    EXPECT_EQ(boxes(), first);

    if (hadValue)
        RegSetValueExA(key, "InstallDirV30", 0, type, reinterpret_cast<const BYTE*>(saved), size);
    RegCloseKey(key);
}

struct PendingCall {
    const std::function<int32_t()>* call;
    int32_t result;
};

DWORD WINAPI runPendingCall(void* p) {
    auto* pending = static_cast<PendingCall*>(p);
    pending->result = (*pending->call)();
    return 0;
}

// The named semaphores serialise handle making and whole runs between every process that loads the
// engine, so a semaphore held elsewhere (here through its name, as another process would hold it)
// must keep each kind of call waiting until it is released.
TEST_F(EngineLibrary, HandlesAndRunsWaitForTheSystemWideSemaphores) {
    auto getNewHandle = bind<decltype(&ZELGetNewHandle)>("ZELGetNewHandle");
    auto freeHandle = bind<decltype(&ZELFreeHandle)>("ZELFreeHandle");
    auto setInteger = bind<decltype(&ZELSetInteger)>("ZELSetInteger");
    auto runJob = bind<decltype(&ZELRunJob)>("ZELRunJob");
    ASSERT_TRUE(getNewHandle && freeHandle && setInteger && runJob);
    int32_t options = getNewHandle(ZEL_HANDLE_OPTIONS);
    int32_t job = getNewHandle(ZEL_HANDLE_JOB);
    ASSERT_GE(options, 0);
    ASSERT_GE(job, 0);
    // A job type no run knows: the run ends at once with its error, after taking the semaphore.
    ASSERT_EQ(setInteger(job, ZELID_JOB_TYPE, 9), 0);

    struct Case {
        const char* semaphore;
        std::function<int32_t()> call;
    };
    const Case cases[] = {
        {"ZELGetNewHandleSemaphore", [&] { return getNewHandle(ZEL_HANDLE_JOB); }},
        {"ZELRunJobSemaphore", [&] { return runJob(nullptr, options, job, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.semaphore);
        HANDLE held = OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, c.semaphore);
        ASSERT_NE(held, nullptr);
        ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);
        PendingCall pending{&c.call, 0};
        HANDLE caller = CreateThread(nullptr, 0, runPendingCall, &pending, 0, nullptr);
        ASSERT_NE(caller, nullptr);
        EXPECT_EQ(WaitForSingleObject(caller, 300), static_cast<DWORD>(WAIT_TIMEOUT))
            << "the call did not wait for the semaphore";
        ReleaseSemaphore(held, 1, nullptr);
        EXPECT_EQ(WaitForSingleObject(caller, 10000), WAIT_OBJECT_0);
        CloseHandle(caller);
        int32_t result = pending.result;
        CloseHandle(held);
        if (result >= 0)
            freeHandle(result, 0);
    }
    freeHandle(job, 0);
    freeHandle(options, 0);
}

} // namespace
