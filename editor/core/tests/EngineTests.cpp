// The engine binding, the checked calls, and validation of a page through the real engine library.
#include "CoreTestSupport.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/JobRunners.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/PathHelpers.h"
#include "engine/tests/LockHolderProcess.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Loads a library beside the test program and unloads it again.
// The engine's own boxes go to a log file, so none can block the run.
struct Library {
    HMODULE module;
    std::string log;
    explicit Library(const std::string& name) {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        log = std::string(base) + "zelcore_engine_boxes_" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", log.c_str());
        module = LoadLibraryA(name.c_str());
    }
    std::string boxes() const {
        std::ifstream in(log, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    ~Library() {
        ClearEngineFunctions();
        if (module)
            FreeLibrary(module);
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", nullptr);
        DeleteFileA(log.c_str());
    }
};

int32_t freeCalls = 0;
int32_t ZELAPI failingSetFlag(int32_t, int32_t, int32_t, int32_t) {
    return -3;
}
int32_t ZELAPI jobStopped(HWND, int32_t, int32_t, int32_t) {
    return -10;
}
int32_t ZELAPI countingFree(int32_t, int32_t) {
    ++freeCalls;
    return 0;
}

} // namespace

class EngineTest : public CoreTest {
protected:
    // The engine reads its install folder when it is loaded, as an installer leaves it.
    void SetUp() override {
        CoreTest::SetUp();
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr,
                                  0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::string folder = ProgramFolder();
        RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override {
        CoreTest::TearDown();
        ClearEngineFunctions();
    }
    // The editor's state with the library bound and its shipped configuration loaded.
    static void bindWithConfiguration(const Library& lib) {
        ASSERT_EQ(BindEngineFunctions(lib.module), 0);
        p = new prgclass;
        p->vol->optionsHandle = Engine.ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        const std::string cfg = ProgramFolder() + "\\orvalenlite30.cfg";
        ASSERT_EQ(Engine.ZELSetString(p->vol->optionsHandle, ZELID_OPT_CONFIGFILE, cfg.c_str()), 0);
        ASSERT_GE(Engine.ZELHTMLConfiguration(nullptr, p->vol->optionsHandle, 1), 0);
    }
};

TEST_F(EngineTest, BindsTheRealLibraryInTheTableOrder) {
    Library lib("zelvalidatorliteV30.dll");
    ASSERT_NE(lib.module, nullptr);
    ASSERT_EQ(BindEngineFunctions(lib.module), 0);
    EXPECT_TRUE(EngineFunctionsBound());
    const char* order[] = {"ZELFreeHandle", "ZELHandle", "ZELGetFlag", "ZELHTMLConfiguration",
                           "ZELWriteToRegistry"};
    int32_t slots[] = {0, 1, 2, 24, 41};
    for (int i = 0; i < 5; ++i) {
        FARPROC f = GetProcAddress(lib.module, order[i]);
        void* expected = nullptr;
        std::memcpy(&expected, &f, sizeof expected);
        EXPECT_EQ(EngineFunctionSlot(slots[i]), expected) << order[i];
    }
    EXPECT_EQ(Engine.ZELGetInteger3EZ(16000), 30000);
    EXPECT_EQ(lib.boxes(), "");
}

// Every lookup is made, a missing slot the editor never calls fails the binding all the same.
TEST_F(EngineTest, AMissingExportFailsTheBindingOnce) {
    Library lib("zel_fake_engine_missing.dll");
    ASSERT_NE(lib.module, nullptr);
    EXPECT_EQ(BindEngineFunctions(lib.module), -1);
    EXPECT_EQ(EngineFunctionSlot(40), nullptr); // ZELSpellCheck2
    EXPECT_NE(EngineFunctionSlot(41), nullptr); // looked up after it
    EXPECT_FALSE(EngineFunctionsBound());
    EXPECT_EQ(BindEngineFunctions(nullptr), -1);
}

TEST_F(EngineTest, CheckedCallsReportByTheirBit) {
    Engine.ZELSetFlag = failingSetFlag;
    Engine.ZELRunJob = jobStopped;
    Engine.ZELFreeHandle = countingFree;
    freeCalls = 0;
    EXPECT_EQ(EngineSetFlag(1, 2000, 1, 1), -3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvalent: ZELSetFlag() Failed");
    EXPECT_EQ(boxes[0].text.rfind("ZELSetFlag() failed. Please contact Nortavia (", 0), 0u);
    EXPECT_EQ(boxes[0].style, 0x10010u);
    EXPECT_EQ(EngineRunJob(nullptr, 0, 1, 0), -10);
    EXPECT_EQ(EngineFreeHandle(-1, 0), 0);
    EXPECT_EQ(freeCalls, 0);
    EXPECT_EQ(boxes.size(), 1u);
    // Several bits: the highest is shown.
    ReportEngineFailure(FailNewHandle | FailRunJob);
    EXPECT_EQ(boxes.back().caption, "Orvalent: ZELRunJob() Failed");
}

namespace {

struct GoldenMessage {
    std::string kind;
    int32_t line, character;
    std::string text;
};

std::vector<GoldenMessage> readGolden(const std::string& path) {
    std::vector<GoldenMessage> out;
    std::ifstream in(path, std::ios::binary);
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        if (l.empty())
            continue;
        GoldenMessage m;
        size_t space = l.find(' '), at = l.find('@'), colon = l.find(':', at), text = l.find(' ', at);
        m.kind = l.substr(0, space);
        m.line = std::stoi(l.substr(at + 1, colon - at - 1));
        m.character = std::stoi(l.substr(colon + 1, text - colon - 1));
        m.text = l.substr(text + 1);
        out.push_back(m);
    }
    return out;
}

} // namespace

// A page with known faults, validated through the real library as the editor does, lands in the
// document record message by message with line and character; the engine's own golden file for
// the page is the expectation.
TEST_F(EngineTest, ValidationFillsTheDocumentRecord) {
    Library lib("zelvalidatorliteV30.dll");
    ASSERT_EQ(BindEngineFunctions(lib.module), 0);
    p = new prgclass;
    int32_t options = Engine.ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ASSERT_GE(options, 0);
    p->vol->optionsHandle = options;
    const std::string cfg = ProgramFolder() + "\\orvalenlite30.cfg";
    ASSERT_EQ(Engine.ZELSetString(options, ZELID_OPT_CONFIGFILE, cfg.c_str()), 0);
    ASSERT_GE(Engine.ZELHTMLConfiguration(nullptr, options, 1), 0);

    const std::string pages = std::string(ZEL_ENGINE_PAGES) + "\\";
    std::vector<GoldenMessage> golden = readGolden(pages + "broken.html.messages");
    ASSERT_FALSE(golden.empty());

    std::vector<std::string> status;
    EditorLink().SetStatusText = [&](const std::string& s) { status.push_back(s); };
    fileinfoclass* d = new fileinfoclass(nullptr, &p->vol->documents);
    p->vol->documents.append(d);
    ASSERT_EQ(d->LoadFromFile((pages + "broken.html").c_str(), 1), 0);
    d->fileName = (pages + "broken.html").c_str();
    d->sourceType = 1;
    ASSERT_EQ(RunValidationJob(d, -1, 0), 0);
    ASSERT_GE(d->resultsHandle, 0);
    EXPECT_EQ(status.front(), "Validating " + pages + "broken.html...");
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(lib.boxes(), "");

    ASSERT_EQ(d->BuildMessageList(8), 0);
    ASSERT_EQ(d->MessageCount(), static_cast<int32_t>(golden.size()));
    int32_t errors = 0, warnings = 0;
    for (int32_t i = 0; i < d->MessageCount(); ++i) {
        const msginfoclass* m = d->Message(i);
        const GoldenMessage& g = golden[static_cast<size_t>(i)];
        std::string kind = m->kindName.getString();
        for (char& c : kind)
            c = static_cast<char>(tolower(c));
        EXPECT_EQ(kind, g.kind) << i;
        EXPECT_EQ(m->line, g.line) << i;
        EXPECT_EQ(m->character, g.character) << i;
        EXPECT_EQ(std::string(m->text.getString()), g.text) << i;
        EXPECT_EQ(m->index, i + 1);
        errors += g.kind == "error";
        warnings += g.kind == "warning";
        if (g.line >= 1) {
            EXPECT_EQ(m->lineText.getString(), std::to_string(g.line));
        }
    }
    EXPECT_EQ(d->GetMessageCount(1), errors);
    EXPECT_EQ(d->GetMessageCount(2), warnings);
    EXPECT_EQ(d->GetMessageCount(0x2000), errors + warnings);
    EXPECT_EQ(d->Counter(CountListedErrors), errors);

    // The messages follow their lines: two lines inserted above the first message move it.
    const msginfoclass* first = d->Message(0);
    const int32_t firstLine = first->line;
    d->memoSource->JumpTo(0, 0);
    d->memoSource->InsertText("<!-- one -->\r\n<!-- two -->\r\n");
    ASSERT_EQ(d->UpdateMessageLines(0), 0);
    EXPECT_EQ(d->Message(0)->line, firstLine + 2);
    EXPECT_EQ(Engine.ZELGetInteger2EZ(d->resultsHandle, ZELID_RESULT_MSGLINE, 1), firstLine + 2);

    // Validating again replaces the results; the untitled name goes to the engine.
    const int32_t before = d->resultsHandle;
    d->sourceType = 0;
    p->tools->lastValidateToolFilename = "kept.html";
    ASSERT_EQ(RunValidationJob(d, -1, ValidateQuiet), 0);
    EXPECT_NE(d->resultsHandle, before);
    EXPECT_STREQ(p->tools->lastValidateToolFilename.getString(), "kept.html");
    // Job handles never outlive the run: the options and the document's results are all there is.
    EXPECT_EQ(Engine.ZELGetNumberOfHandles(), 2);
    delete p;
    p = nullptr;
    EXPECT_EQ(Engine.ZELGetNumberOfHandles(), 1);
    Engine.ZELFreeHandle(options, 0);
}

// Another program holds the engine's run lock (a real second process): the editor waits without
// freezing and Esc gives up; once that program is killed inside its hold, the run goes through.
TEST_F(EngineTest, AValidationWaitingForAnotherProgramCanBeCancelled) {
    Library lib("zelvalidatorliteV30.dll");
    ASSERT_NO_FATAL_FAILURE(bindWithConfiguration(lib));
    fileinfoclass* d = new fileinfoclass(nullptr, &p->vol->documents);
    p->vol->documents.append(d);
    d->memoSource->Lines().SetText("<p>x</p>");
    std::vector<std::string> status;
    EditorLink().SetStatusText = [&](const std::string& s) { status.push_back(s); };

    LockHolder holder("run");
    ASSERT_TRUE(holder.holding());
    // Esc is already waiting when the run starts: the editor sees it after its first short wait.
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunValidationJob(d, -1, 0), ValidationCancelled);
    EXPECT_LT(GetTickCount() - start, 20000u);
    EXPECT_EQ(d->resultsHandle, -1);
    EXPECT_EQ(status.back(), "Validation cancelled.");
    EXPECT_TRUE(boxes.empty());

    holder.kill();
    EXPECT_EQ(RunValidationJob(d, -1, ValidateQuiet), 0);
    EXPECT_GE(d->resultsHandle, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(lib.boxes(), "");
    const int32_t options = p->vol->optionsHandle;
    delete p;
    p = nullptr;
    Engine.ZELFreeHandle(options, 0);
}

// Real pages that no one here wrote, from the machine's documentation, go through the same road:
// every message the engine counted lands in the record, each line within the document.
TEST_F(EngineTest, RealPagesValidateIntoConsistentRecords) {
    const char* pages[] = {"Z:\\usr\\share\\doc\\python3\\python-policy.html",
                           "Z:\\usr\\share\\doc\\zlib1g-dev\\examples\\zlib_how.html",
                           "Z:\\usr\\share\\doc\\libjs-underscore\\index.html"};
    Library lib("zelvalidatorliteV30.dll");
    ASSERT_NO_FATAL_FAILURE(bindWithConfiguration(lib));
    int validated = 0;
    for (const char* page : pages) {
        if (!CanOpenFile(page))
            continue;
        SCOPED_TRACE(page);
        fileinfoclass* d = new fileinfoclass(nullptr, &p->vol->documents);
        p->vol->documents.append(d);
        ASSERT_EQ(d->LoadFromFile(page, 1), 0);
        d->fileName = page;
        d->sourceType = 1;
        ASSERT_EQ(RunValidationJob(d, -1, ValidateQuiet), 0);
        ASSERT_EQ(d->BuildMessageList(8), 0);
        EXPECT_EQ(d->MessageCount(), Engine.ZELGetIntegerEZ(d->resultsHandle, ZELID_RESULT_RECORDS));
        EXPECT_GT(d->MessageCount(), 0);
        const int32_t lines = d->memoSource->GetStrCount();
        for (int32_t i = 0; i < d->MessageCount(); ++i) {
            const msginfoclass* m = d->Message(i);
            EXPECT_GE(m->kind, 1);
            EXPECT_LE(m->kind, 4);
            EXPECT_LE(m->line, lines);
            EXPECT_FALSE(m->text.isEmpty());
        }
        ++validated;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(lib.boxes(), "");
    if (validated == 0)
        GTEST_SKIP() << "no documentation pages on this machine";
}
