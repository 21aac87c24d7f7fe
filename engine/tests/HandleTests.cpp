#include "EngineFixture.h"

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"
#include "engine/program/Interpreter.h"

#include <string>

namespace {

using Handles = EngineTest;

const std::string kErrorPrefix = "ZEL Orvalent Lite DLL error in function or function call for ";

TEST_F(Handles, EachKindIsCreatedByItsFirstBit) {
    struct Case {
        int32_t bits;
        int32_t kind;
    } cases[] = {{1, ZEL_KIND_OPTIONS}, {3, ZEL_KIND_OPTIONS}, {2, ZEL_KIND_JOB},
                 {6, ZEL_KIND_JOB},     {4, ZEL_KIND_RESULTS}, {4 | 16, ZEL_KIND_RESULTS}};
    for (const Case& c : cases) {
        int32_t h = ZELGetNewHandle(c.bits);
        ASSERT_GE(h, 0) << c.bits;
        ValidatorBaseClass* object = handleObject(h);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->kind, c.kind) << c.bits;
        EXPECT_EQ(object->handle, h);
        EXPECT_EQ(ZELFreeHandle(h, 0), h);
    }
    EXPECT_EQ(ZELGetNewHandle(0), -2);
    EXPECT_EQ(ZELGetNewHandle(8 | 16), -2);
    EXPECT_EQ(ZELGetNumberOfHandles(), 0);
}

TEST_F(Handles, NewHandlesTakeTheLowestFreeSlotAndNeverReplaceOne) {
    std::vector<int32_t> made;
    for (int i = 0; i < 25; ++i) // past the first growth step of the table
        made.push_back(ZELGetNewHandle(ZEL_HANDLE_JOB));
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(made[i], i);
    EXPECT_EQ(ZELGetNumberOfHandles(), 25);
    ZELFreeHandle(7, 0);
    ZELFreeHandle(3, 0);
    ZELFreeHandle(20, 0);
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_RESULTS), 3);
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_RESULTS), 7);
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_RESULTS), 20);
    // A full table grows at its end: every earlier object stays where it was.
    int32_t capacity = engineContext().handles.capacity();
    for (int32_t i = ZELGetNumberOfHandles(); i < capacity; ++i)
        ZELGetNewHandle(ZEL_HANDLE_JOB);
    JobClass* first = jobObject(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_OPTIONS), capacity);
    EXPECT_EQ(jobObject(0), first);
    EXPECT_EQ(ZELGetNumberOfHandles(), capacity + 1);
    EXPECT_EQ(ZELFreeHandle(5, ZEL_FREE_ALL), 0);
    EXPECT_EQ(ZELGetNumberOfHandles(), 0);
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_JOB), 0);
}

TEST_F(Handles, LockFreeUnlockLifeCycle) {
    int32_t h = ZELGetNewHandle(ZEL_HANDLE_JOB);
    EXPECT_EQ(ZELHandle(h, ZEL_LOCK), h);
    EXPECT_EQ(ZELHandle(h, ZEL_LOCK), h);
    EXPECT_EQ(ZELFreeHandle(h, 0), h); // only marked
    EXPECT_NE(jobObject(h), nullptr);
    EXPECT_EQ(ZELFreeHandle(0, ZEL_FREE_ALL), 0); // free-all marks locked handles too
    EXPECT_EQ(ZELGetNumberOfHandles(), 1);
    EXPECT_EQ(ZELHandle(h, ZEL_LOCK | ZEL_UNLOCK), h); // count unchanged
    EXPECT_EQ(handleObject(h)->lockCount, 2);
    EXPECT_EQ(ZELHandle(h, ZEL_UNLOCK), h);
    EXPECT_NE(jobObject(h), nullptr);
    EXPECT_EQ(ZELHandle(h, ZEL_UNLOCK), h); // last unlock frees it
    EXPECT_EQ(jobObject(h), nullptr);
    EXPECT_EQ(ZELHandle(h, ZEL_UNLOCK), h); // the slot is empty: no box
    EXPECT_EQ(ZELFreeHandle(h, 0), h);
    EXPECT_EQ(ZELFreeHandle(4711, 0), 4711);
    EXPECT_EQ(ZELFreeHandle(-5, 0), -5);
    EXPECT_TRUE(recordedBoxes().empty());

    int32_t k = ZELGetNewHandle(ZEL_HANDLE_RESULTS);
    EXPECT_EQ(ZELHandle(k, ZEL_UNLOCK), -1);
    BoxRecord box = onlyBox();
    EXPECT_EQ(box.text, kErrorPrefix + "ZELHandle(): tried to unlock handle that isn't locked");
    EXPECT_EQ(box.caption, "Orvalent: Error");
    EXPECT_EQ(box.style, 0x10010u);
    EXPECT_EQ(handleObject(k)->lockCount, 0);
}

TEST_F(Handles, WrongHandlesAndKindsAreReportedByTheCallingExport) {
    int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
    int32_t options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    struct Case {
        const char* name;
        int32_t (*call)(int32_t job, int32_t options);
        int32_t code;
        const char* reason;
    } cases[] = {
        {"ZELGetFlag", [](int32_t, int32_t) { return ZELGetFlag(99, 1000, 1); }, -2, "bad handle"},
        {"ZELSetString", [](int32_t, int32_t) { return ZELSetString(-1, 8000, "x"); }, -2, "bad handle"},
        {"ZELReadFromRegistry", [](int32_t j, int32_t) { return ZELReadFromRegistry(j, 0); }, -1,
         "bad handle"},
        {"ZELWriteToRegistry", [](int32_t j, int32_t) { return ZELWriteToRegistry(nullptr, j, 0); }, -1,
         "bad handle"},
        {"ZELHTMLConfiguration", [](int32_t j, int32_t) { return ZELHTMLConfiguration(nullptr, j, 1); }, -1,
         "bad handle"},
        {"ZELOpenValidatorOptions", [](int32_t j, int32_t) { return ZELOpenValidatorOptions(nullptr, j, 0); },
         -1, "bad handle"},
        {"ZELRunJob", [](int32_t, int32_t o) { return ZELRunJob(nullptr, o, o, 0); }, -1, "bad handle"},
        {"ZELRunJob", [](int32_t j, int32_t) { return ZELRunJob(nullptr, j, j, 0); }, -2, "bad handle"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(job, options), c.code) << c.name;
        BoxRecord box = onlyBox();
        EXPECT_EQ(box.text, kErrorPrefix + c.name + "(): " + c.reason) << c.name;
    }
    EXPECT_EQ(ZELOpenConfigurationEditor(nullptr, options, 0), -3);
    EXPECT_EQ(ZELSpellCheck(1), -6);
    EXPECT_EQ(ZELSpellCheck2(1, 2, 3), -6);
}

TEST_F(Handles, ErrorReporterReasons) {
    struct Case {
        int32_t reason;
        const char* text;
    } cases[] = {
        {1, "ZELX(): bad handle"},
        {2, "ZELX(): setPointer() failed"},
        {3, "ZELX(): bad value identifier parameter passed to function"},
        {4, "ZELX(): bad flag for value identifier parameter passed to function"},
        {5, "ZELX(): value pointer is NULL"},
        {6, "ZELError(): internal error in ZELError(); an error generated another error"},
        {0, "ZELError(): internal error in ZELError(); an error generated another error"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZELError(-17, "ZELX", c.reason), -17);
        EXPECT_EQ(onlyBox().text, kErrorPrefix + c.text);
    }
}

TEST_F(Handles, DefaultOptionsHandleFollowsTheFirstOptionsObject) {
    EngineContext& ctx = engineContext();
    int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
    int32_t first = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    int32_t second = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    EXPECT_EQ(ctx.defaultOptionsHandle, first);
    ZELFreeHandle(first, 0);
    EXPECT_EQ(ctx.defaultOptionsHandle, -1);
    int32_t third = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    EXPECT_EQ(third, first);
    EXPECT_EQ(ctx.defaultOptionsHandle, third);
    EXPECT_EQ(getValidatorClass(job, ZEL_KIND_OPTIONS), nullptr);
    EXPECT_NE(optionsObject(second), nullptr);
}

TEST_F(Handles, FreedObjectsLeaveNoCurrentPointerBehind) {
    EngineContext& ctx = engineContext();
    int32_t options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
    int32_t results = ZELGetNewHandle(ZEL_HANDLE_RESULTS);
    ctx.currentOptions = optionsObject(options);
    ctx.currentJob = jobObject(job);
    ctx.currentResults = resultsObject(results);
    ZELHandle(results, ZEL_LOCK);
    ZELFreeHandle(0, ZEL_FREE_ALL);
    EXPECT_EQ(ctx.currentOptions, nullptr);
    EXPECT_EQ(ctx.currentJob, nullptr);
    EXPECT_NE(ctx.currentResults, nullptr); // still locked, still alive
    ZELHandle(results, ZEL_UNLOCK);
    EXPECT_EQ(ctx.currentResults, nullptr);
}

TEST_F(Handles, OptionsObjectsStartWithTheirDefaults) {
    int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ConfigClass* o = optionsObject(h);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->validator.ValidatorFlags40, 0x3F01E317u & ~zel::bits::validator::ClearedOnCreate);
    EXPECT_EQ(o->validator.LineLength, 60);
    EXPECT_EQ(o->log.Flags40, 0x1FFF4u);
    EXPECT_EQ(o->general.Flags40, 0x3FFC0005u);
    EXPECT_STREQ(o->general.OutputViewer.getString(), "notepad.exe");
    EXPECT_STREQ(o->tools.DefaultDateFormat.getString(), "ddd',' MMM dd yyyy");
    EXPECT_STREQ(o->keyPath.getString(), "Software\\Nortavia\\ZEL Orvalent Lite v2\\Validator DLL");
    std::string install = engineContext().installFolder.getString();
    EXPECT_EQ(std::string(o->general.DefaultConfigurationFileNameV30.getString()),
              install + "\\orvalenlite30.cfg");
    EXPECT_EQ(std::string(o->log.LogFileNameV30.getString()), install + "\\log.txt");
    EXPECT_EQ(o->stateWords[6], 0);
    EXPECT_EQ(o->stateWords[7], 1);
    JobClass* j = jobObject(ZELGetNewHandle(ZEL_HANDLE_JOB));
    EXPECT_EQ(j->flags, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER);
    EXPECT_EQ(j->jobType, -1);
    EXPECT_EQ(j->inputMode, 2);
    EXPECT_EQ(j->lineEnd, 4);
}

// The template tool's interpreter lives exactly as long as the engine: what it holds stays from
// one call to the next, and a restarted engine starts with an empty one.
TEST_F(Handles, TemplateInterpreterLivesFromStartUpToShutDown) {
    Interpreter& interpreter = engineInterpreter();
    EXPECT_EQ(interpreter.counters.count(), 1);
    ASSERT_EQ(interpreter.symbols.setValue("today", "Friday", -1, 0), 0);
    EXPECT_EQ(&engineInterpreter(), &interpreter);
    EXPECT_EQ(engineInterpreter().symbols.indexOf("TODAY"), 0);

    engineUnload();
    EXPECT_FALSE(engineStarted());
    engineLoad(nullptr);
    ASSERT_TRUE(engineStarted());
    EXPECT_EQ(engineInterpreter().symbols.count(), 0);
    EXPECT_EQ(engineInterpreter().symbols.indexOf("today"), -1);
    reportDeferredFault(); // a registry fault found by the new attach is not this test's concern
    recordedBoxes().clear();
}

// The engine starts only in its stated order: an export called before start-up answers its error
// through the box seam and does not start the engine by itself.
TEST_F(Handles, ExportsBeforeStartUpAnswerTheirErrorWithoutStartingTheEngine) {
    engineUnload();
    ASSERT_FALSE(engineStarted());
    EXPECT_EQ(ZELGetNewHandle(ZEL_HANDLE_JOB), -2);
    EXPECT_EQ(ZELGetIntegerEZ(0, ZELID_OPT_LINELENGTH), -1);
    EXPECT_FALSE(engineStarted());
    ASSERT_EQ(recordedBoxes().size(), 2u);
    EXPECT_NE(recordedBoxes()[0].text.find("ZELGetNewHandle(): internal error"), std::string::npos);
    recordedBoxes().clear();

    engineLoad(nullptr);
    reportDeferredFault(); // a registry fault found by the new attach is not this test's concern
    recordedBoxes().clear();
    EXPECT_GE(ZELGetNewHandle(ZEL_HANDLE_JOB), 0);
}

// The registry-error box may not be shown while the library is being attached: it waits for the
// first exported call, and comes once.
TEST_F(Handles, MissingInstallFolderIsReportedOnTheFirstCall) {
    const char* keyPath = "Software\\Nortavia\\ZEL Orvalent Lite v2";
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    char saved[1024];
    DWORD size = sizeof saved, type = 0;
    bool hadValue = RegQueryValueExA(key, "InstallDirV30", nullptr, &type, reinterpret_cast<BYTE*>(saved),
                                     &size) == ERROR_SUCCESS;
    RegDeleteValueA(key, "InstallDirV30");

    EngineContext& ctx = engineContext();
    EXPECT_EQ(readInstallInformation(), -1);
    EXPECT_TRUE(recordedBoxes().empty());
    // Without the entry the engine's own folder stands in: no name begins with a bare "\".
    const std::string own = programFolder().getString();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(std::string(ctx.documentationFolder.getString()), own + "\\Documentation");
    EXPECT_EQ(ZELGetNumberOfHandles(), 0);
    BoxRecord box = onlyBox();
    EXPECT_EQ(box.caption, "Orvalent: Registry Error");
    EXPECT_EQ(box.text.rfind("An important registry entry cannot be found.", 0), 0u);
    EXPECT_EQ(box.style, 0x10010u);
    ZELGetNumberOfHandles();
    EXPECT_TRUE(recordedBoxes().empty());
    int32_t h = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    EXPECT_EQ(std::string(ZELGetString(h, ZELID_OPT_CONFIGFILE)), own + "\\orvalenlite30.cfg");

    const char folder[] = "C:\\Zel Test\\";
    const char editor[] = "C:\\Zel Test\\zel.exe";
    RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof folder);
    RegSetValueExA(key, "EditorEXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(editor), sizeof editor);
    EXPECT_EQ(readInstallInformation(), 0);
    EXPECT_STREQ(ctx.installFolder.getString(), "C:\\Zel Test");
    EXPECT_STREQ(ctx.editorExe.getString(), editor);
    RegDeleteValueA(key, "EditorEXE");
    EXPECT_STREQ(ctx.documentationFolder.getString(), "C:\\Zel Test\\Documentation");
    ZELGetNumberOfHandles();
    EXPECT_TRUE(recordedBoxes().empty());

    if (hadValue)
        RegSetValueExA(key, "InstallDirV30", 0, type, reinterpret_cast<const BYTE*>(saved), size);
    else
        RegDeleteValueA(key, "InstallDirV30");
    RegCloseKey(key);
    readInstallInformation();
    reportDeferredFault();
    recordedBoxes().clear();
}

} // namespace

namespace {

int32_t shellAnswer = 0;
std::string shellDocument;
HINSTANCE fakeShell(const char* document) {
    shellDocument = document;
    return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(shellAnswer));
}

TEST_F(Handles, DocumentOpenerReportsWhatTheShellRefuses) {
    ShellOpenFn old = setShellOpen(fakeShell);
    shellAnswer = 33;
    EXPECT_EQ(openDocument("C:\\help\\index.html"), 1);
    EXPECT_EQ(shellDocument, "C:\\help\\index.html");
    EXPECT_TRUE(recordedBoxes().empty());
    shellAnswer = 2;
    EXPECT_EQ(openDocument("http://example.invalid/"), 0);
    BoxRecord box = onlyBox();
    EXPECT_EQ(box.text,
              "The operating system was unable to open the document \"http://example.invalid/\". If this "
              "document is a URL or HTML document, you may need an installed web browser and/or an active "
              "Internet connection to view it.");
    EXPECT_EQ(box.caption, "Orvalent: Could Not Open Document");
    EXPECT_EQ(box.style, 0x10010u);
    setShellOpen(old);
}

} // namespace
