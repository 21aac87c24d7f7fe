// Start-up and shutdown as real processes: a prepared program folder and registry, the test host
// started as a person would start the program, its boxes written to a log through the box seam,
// its exit code and what it recorded compared with each case.
#include "CoreTestSupport.h"

#include "editor/core/CommandLine.h"
#include "editor/core/FileAssociations.h"

#include <algorithm>
#include <sstream>

namespace {

struct HostRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string boxes, log;
};

class StartupTest : public CoreTest {
protected:
    // A program folder with the host and an engine library (a copy of one beside the tests under
    // the engine's own name, or none), and the registry an installer leaves.
    void Prepare(const char* engine) {
        const std::string from = ProgramFolder();
        dir_ = Folder();
        ASSERT_TRUE(
            CopyFileA((from + "\\zel_core_testhost.exe").c_str(), (dir_ + "\\zel.exe").c_str(), FALSE));
        if (engine) {
            ASSERT_TRUE(CopyFileA((from + "\\" + engine).c_str(),
                                  (dir_ + "\\zelvalidatorliteV30.dll").c_str(), FALSE));
            ASSERT_TRUE(CopyFileA((from + "\\orvalenlite30.cfg").c_str(),
                                  (dir_ + "\\orvalenlite30.cfg").c_str(), FALSE));
        }
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr,
                                  0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir_.c_str()),
                       static_cast<DWORD>(dir_.size() + 1));
        DWORD no = 0;
        RegSetValueExA(key, "FirstTimeAfterInstall", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no),
                       sizeof no);
        RegCloseKey(key);
    }

    PROCESS_INFORMATION Start(const std::string& arguments, int closeMs, const std::string& tag) {
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", (dir_ + "\\boxes" + tag + ".log").c_str());
        SetEnvironmentVariableA("ZEL_TESTHOST_LOG", (dir_ + "\\host" + tag + ".log").c_str());
        SetEnvironmentVariableA("ZEL_TESTHOST_CLOSE_MS", std::to_string(closeMs).c_str());
        std::string line = "\"" + dir_ + "\\zel.exe\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                                   &si, &pi));
        SetEnvironmentVariableA("ZEL_TESTHOST_LOG", nullptr);
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", nullptr);
        SetEnvironmentVariableA("ZEL_TESTHOST_CLOSE_MS", nullptr);
        return pi;
    }

    HostRun Finish(PROCESS_INFORMATION pi, const std::string& tag) {
        HostRun r;
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the program did not end";
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        r.boxes = ReadFile(dir_ + "\\boxes" + tag + ".log");
        r.log = ReadFile(dir_ + "\\host" + tag + ".log");
        return r;
    }

    HostRun RunOnce(const std::string& arguments, int closeMs = 300) {
        return Finish(Start(arguments, closeMs, ""), "");
    }

    static HWND WaitForHandOverWindow() {
        for (int i = 0; i < 200; ++i) {
            if (HWND w = FindWindowA(ZelMessageWindowClass, ZelMessageWindowTitle))
                return w;
            Sleep(50);
        }
        return nullptr;
    }

    static bool WaitForLine(const std::string& path, const std::string& line) {
        for (int i = 0; i < 200; ++i) {
            if (ReadFile(path).find(line + "\n") != std::string::npos)
                return true;
            Sleep(50);
        }
        return false;
    }

    std::string dir_;
};

} // namespace

TEST_F(StartupTest, OutcomesOfOneStart) {
    struct Case {
        const char* name;
        const char* engine;
        const char* version;  // ZEL_FAKE_ENGINE_VERSION
        const char* noHandle; // ZEL_FAKE_ENGINE_NOHANDLE
        const char* arguments;
        bool withoutConfiguration;
        DWORD exitCode;
        const char* box; // a line of the box log, or "" for none
        const char* logged;
    } cases[] = {
        {"normal start to the loop and a clean close", "zelvalidatorliteV30.dll", nullptr, nullptr, "", false,
         0, "",
         "destroy forms: records 1 engine 1\nafter: records 0 engine 0 windows 0 semaphore 0\nexit 0\n"},
        {"engine missing", nullptr, nullptr, nullptr, "", false, 8,
         "00010010\tzelvalidatorliteV30.dll\tCannot load validator DLL. Try reinstalling.\n", "exit 8\n"},
        {"an export missing", "zel_fake_engine_missing.dll", nullptr, nullptr, "", false, 9,
         "00010010\tOrvalent: DLL Pointer Initialization Error\tCannot initialize DLL pointers. This is "
         "usually caused by "
         "an older version of \"zelvalidatorliteV30.dll\" on your system.",
         "after: records 0 engine 0 windows 0 semaphore 0\nexit 9\n"},
        {"engine too old", "zel_fake_engine_all.dll", "29949", nullptr, "", false, 11,
         "00010010\tOrvalent: DLL Version Is Too Old\tThe validator DLL version (2.9949) is too old for this "
         "version of "
         "the integrated editor (3.0000).",
         "exit 11\n"},
        {"engine just new enough", "zel_fake_engine_all.dll", "29950", nullptr, "", false, 0, "", "exit 0\n"},
        {"no options handle", "zel_fake_engine_all.dll", nullptr, "1", "", false, 5,
         "00010010\tOrvalent: Validator Options Not Created\tThe validator engine could not create its "
         "options (code -2)",
         "exit 5\n"},
        {"configuration not loaded: the editor runs all the same", "zelvalidatorliteV30.dll", nullptr,
         nullptr, "", true, 0,
         "00010010\tOrvalent: Error Opening Configuration File\tThere was an error opening",
         "forms created\n"},
        {"a file named like the switch", "zelvalidatorliteV30.dll", nullptr, nullptr, "-xmas.html", false, 0,
         "", "\\-xmas.html\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearProductKeys();
        Prepare(c.engine);
        SetEnvironmentVariableA("ZEL_FAKE_ENGINE_VERSION", c.version);
        SetEnvironmentVariableA("ZEL_FAKE_ENGINE_NOHANDLE", c.noHandle);
        DeleteFileA((dir_ + "\\boxes.log").c_str());
        DeleteFileA((dir_ + "\\host.log").c_str());
        DeleteFileA((dir_ + "\\zelvalidatorliteV30.dll").c_str());
        if (c.engine)
            CopyFileA((ProgramFolder() + "\\" + c.engine).c_str(),
                      (dir_ + "\\zelvalidatorliteV30.dll").c_str(), FALSE);
        if (c.withoutConfiguration)
            DeleteFileA((dir_ + "\\orvalenlite30.cfg").c_str());
        HostRun r = RunOnce(c.arguments);
        SetEnvironmentVariableA("ZEL_FAKE_ENGINE_VERSION", nullptr);
        SetEnvironmentVariableA("ZEL_FAKE_ENGINE_NOHANDLE", nullptr);
        EXPECT_EQ(r.exitCode, c.exitCode);
        if (*c.box)
            EXPECT_NE(r.boxes.find(c.box), std::string::npos) << r.boxes;
        else
            EXPECT_EQ(r.boxes, "");
        EXPECT_NE(r.log.find(c.logged), std::string::npos) << r.log;
        EXPECT_EQ(r.log.find("engine call after unload"), std::string::npos);
        // A running editor's update check sends the engine's network settings, and forgets them
        // with the records.
        if (c.exitCode == 0) {
            EXPECT_NE(r.log.find(" network of the records\n"), std::string::npos) << r.log;
            // The splash tells each stage, in the order they run.
            std::string statuses;
            std::istringstream lines(r.log);
            for (std::string line; std::getline(lines, line);)
                if (line.rfind("status ", 0) == 0)
                    statuses += line.substr(7) + "|";
            EXPECT_EQ(statuses, "Loading...|Reading registry...|Loading DLL...|Initializing DLL pointers...|"
                                "Loading configuration...|Creating main editor form...|Processing images...|"
                                "Creating forms...|Creating Inserter Window(s)...|Running...|");
        }
        EXPECT_EQ(r.log.find("update check still points"), std::string::npos);
    }
}

// The removal switch at start-up removes the associations before any window exists, shows no box
// when it succeeds, and ends with 6 without loading the engine.
TEST_F(StartupTest, RemovalSwitchRemovesTheAssociationsAndEnds) {
    Prepare("zelvalidatorliteV30.dll");
    const std::string sandbox = "Software\\ZEL Startup Association Tests";
    RegDeleteTreeA(HKEY_CURRENT_USER, sandbox.c_str());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ZelRegistryRoot, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const std::string exe = dir_ + "\\zel.exe";
    RegSetValueExA(key, "EditorEXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                   static_cast<DWORD>(exe.size() + 1));
    RegCloseKey(key);
    const AssociationRoot saved = SetAssociationRoot({HKEY_CURRENT_USER, sandbox + "\\"});
    boxAnswer = IDYES;
    ASSERT_EQ(AddFileAssociations(nullptr, 0, 0), 1);
    SetAssociationRoot(saved);
    auto verbKey = [&](const char* type) {
        HKEY h;
        const bool there =
            RegOpenKeyExA(HKEY_CURRENT_USER, (sandbox + "\\" + type + "\\shell\\EditZELLite").c_str(), 0,
                          KEY_READ, &h) == ERROR_SUCCESS;
        if (there)
            RegCloseKey(h);
        return there;
    };
    ASSERT_TRUE(verbKey("htmlfile"));

    SetEnvironmentVariableA("ZEL_TESTHOST_ASSOCIATIONS", sandbox.c_str());
    HostRun r = RunOnce("-X");
    SetEnvironmentVariableA("ZEL_TESTHOST_ASSOCIATIONS", nullptr);
    EXPECT_EQ(r.exitCode, 6u);
    EXPECT_EQ(r.boxes, "");
    EXPECT_NE(r.log.find("destroy forms: records 1 engine 0\n"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.find("forms created"), std::string::npos);
    for (const char* type : {"htmlfile", "cssfile", "phpfile", "shtmlfile"})
        EXPECT_FALSE(verbKey(type)) << type;
    RegDeleteTreeA(HKEY_CURRENT_USER, sandbox.c_str());
}

// Settings that cannot be read end the start with 1, and the box names the key that failed.
TEST_F(StartupTest, UnreadableSettingsEndTheStartWithTheirBox) {
    Prepare("zelvalidatorliteV30.dll");
    UnopenableSettingsKey tools;
    if (!tools.made)
        GTEST_SKIP() << "registry links are not available here";
    HostRun r = RunOnce("");
    if (r.exitCode == 0 && r.boxes.empty())
        GTEST_SKIP() << "the platform opened the key through the link";
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.boxes.rfind("00010010\tOrvalent: Settings Could Not Be Read\t", 0), 0u) << r.boxes;
    EXPECT_NE(r.boxes.find("Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Tools"), std::string::npos)
        << r.boxes;
    EXPECT_NE(r.log.find("destroy forms: records 1 engine 0\n"), std::string::npos) << r.log;
}

// The engine's options dialog open in another program: the start ends with 10 after its box,
// before the engine is loaded.
TEST_F(StartupTest, OpenEngineWindowEndsTheStart) {
    Prepare("zelvalidatorliteV30.dll");
    HWND editor = CreateWindowA("STATIC", "ZEL Orvalent Vantage Configuration Editor", WS_OVERLAPPED, 0, 0,
                                10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(editor, nullptr);
    HostRun r = RunOnce("page.html");
    DestroyWindow(editor);
    EXPECT_EQ(r.exitCode, 10u);
    EXPECT_EQ(r.boxes.rfind("00010040\tOrvalent: Close Window First\tBefore running ZEL Orvalent Lite", 0),
              0u)
        << r.boxes;
    EXPECT_NE(r.log.find("destroy forms: records 1 engine 0\n"), std::string::npos) << r.log;
}

// A second start hands its command line over, a short one as an atom and a long one whole, and
// ends with 7; the first copy opens the files and closes normally.
TEST_F(StartupTest, SecondStartHandsItsFilesToTheFirst) {
    Prepare("zelvalidatorliteV30.dll");
    PROCESS_INFORMATION first = Start("", 60000, "1");
    HWND window = WaitForHandOverWindow();
    ASSERT_NE(window, nullptr);

    HostRun second = Finish(Start("page.html", 300, "2"), "2");
    EXPECT_EQ(second.exitCode, 7u);
    EXPECT_EQ(second.boxes, "");
    EXPECT_EQ(second.log.find("splash"), std::string::npos);
    // Named in full by the second start, from the folder it was started in.
    EXPECT_TRUE(WaitForLine(dir_ + "\\host1.log", "open " + dir_ + "\\page.html"));

    std::string longLine;
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) {
        names.push_back("C:\\Some folder with a long name\\page " + std::to_string(i) + ".html");
        longLine += "\"" + names.back() + "\" ";
    }
    ASSERT_GT(longLine.size(), 255u);
    HostRun third = Finish(Start(longLine, 300, "3"), "3");
    EXPECT_EQ(third.exitCode, 7u);
    for (const std::string& n : names)
        EXPECT_TRUE(WaitForLine(dir_ + "\\host1.log", "open " + n)) << n;

    HWND main = FindWindowA(nullptr, "ZEL Core Test Host");
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    HostRun firstRun = Finish(first, "1");
    EXPECT_EQ(firstRun.exitCode, 0u);
    EXPECT_EQ(firstRun.boxes, "");
}

// Two copies started at the same moment: exactly one becomes the running copy, and it gets the
// other's file.
TEST_F(StartupTest, TwoCopiesAtOnceMakeOneRunningCopy) {
    Prepare("zelvalidatorliteV30.dll");
    PROCESS_INFORMATION a = Start("a.html", 4000, "a");
    PROCESS_INFORMATION b = Start("b.html", 4000, "b");
    HostRun ra = Finish(a, "a"), rb = Finish(b, "b");
    std::vector<DWORD> codes{ra.exitCode, rb.exitCode};
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<DWORD>{0, 7}));
    const HostRun& primary = ra.exitCode == 0 ? ra : rb;
    EXPECT_NE(primary.log.find("open " + dir_ + "\\a.html\n"), std::string::npos) << primary.log;
    EXPECT_NE(primary.log.find("open " + dir_ + "\\b.html\n"), std::string::npos) << primary.log;
}
