// ZELRunJob through the engine's own handles, as the editor drives it: one job string per line,
// then the document's name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/config/CfgStore.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/DateTime.h"
#include "engine/run/JobRunner.h"
#include "engine/run/ProgressWindow.h"
#include "engine/run/RunOptions.h"
#include "engine/run/ValidateArgs.h"
#include "engine/tests/EngineFixture.h"

using namespace zel::run;

namespace {

class RunJob : public EngineTest {
protected:
    int32_t options = -1;
    TempFolder temp;

    void SetUp() override {
        EngineTest::SetUp();
        pinClock();
        options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ASSERT_GE(options, 0);
        ConfigClass* o = optionsObject(options);
        // The log goes to the test's own folder, and nothing else is logged unless a test asks.
        o->log.Flags40 &= ~lf::EnableLogging;
        o->log.LogFileNameV30.assign(temp.path("log.txt").c_str());
        giveConfiguration(*o);
    }
    void TearDown() override {
        resetDateTimeSeams();
        destroyProgressWindow();
        EngineTest::TearDown();
    }
    static void pinClock() {
        auto& s = dateTimeSeams();
        s.localTime = [] {
            SYSTEMTIME t{};
            t.wYear = 2024;
            t.wMonth = 5;
            t.wDay = 17;
            t.wHour = 9;
            t.wMinute = 30;
            return t;
        };
        s.formatDate = [](const SYSTEMTIME&, const char*, std::string& out) {
            out = "Friday, May 17, 2024";
            return true;
        };
        s.formatTime = [](const SYSTEMTIME&, const char*, std::string& out) {
            out = "9:30:00 AM";
            return true;
        };
    }
    // A small configuration: the built-in records and three elements that may stand anywhere and
    // need no closing tag, enough for the run to start and for the tag checks to accept them.
    static void giveConfiguration(ConfigClass& o) {
        if (!o.cfgStore)
            o.cfgStore = new CfgStore();
        o.cfgStore->setDefaults();
        for (const char* name : {"p", "html", "body"}) {
            const int32_t props[5] = {1, -1, -1, -1, -1};
            const int32_t number = o.cfgStore->addRecord(CFG_TAGNAME, name, -1, 0, 0, props);
            o.cfgStore->addListEntry(CFG_TAGNAME, number, 0, 0); // "(everywhere)"
        }
    }
    int32_t newJob(const std::string& doc, int32_t type = ZEL_JOBTYPE_VALIDATE,
                   const char* name = "page.html") {
        const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        EXPECT_GE(job, 0);
        EXPECT_EQ(ZELSetInteger(job, ZELID_JOB_TYPE, type), 0);
        ZELSetInteger(job, ZELID_JOB_CLEARPATHS, 0);
        for (const std::string& line : documentLines(doc))
            EXPECT_EQ(ZELSetString(job, ZELID_JOB_ADDPATH, line.c_str()), 0);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_TEXTFROMEDITOR, 1);
        // Only the progress window's own test shows it: hiding a window under the virtual
        // display waits for the display to confirm.
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS, 0);
        ZELSetString(job, ZELID_JOB_INPUT, name);
        return job;
    }
    static std::string outputText(int32_t results) {
        std::string text;
        const int32_t n = ZELGetIntegerEZ(results, ZELID_RESULT_LINES1);
        for (int32_t i = 0; i < n; ++i) {
            const char* l = ZELGetString2(results, ZELID_RESULT_LINE1, i);
            text += std::string(l ? l : "(null)") + "\n";
        }
        return text;
    }
    // "id-less" view the editor reads: type@line:char for every message.
    static std::string messageView(int32_t results) {
        std::string s;
        const int32_t n = ZELGetIntegerEZ(results, ZELID_RESULT_RECORDS);
        for (int32_t i = 1; i <= n; ++i) {
            if (!s.empty())
                s += ' ';
            s += std::to_string(ZELGetInteger2EZ(results, ZELID_RESULT_MSGKIND, i)) + "@" +
                 std::to_string(ZELGetInteger2EZ(results, ZELID_RESULT_MSGLINE, i)) + ":" +
                 std::to_string(ZELGetInteger2EZ(results, ZELID_RESULT_MSGCHARACTER, i));
        }
        return s;
    }
};

std::string goldenPath(const std::string& name) {
    const char* data = std::getenv("ZEL_TEST_DATA");
    return std::string(data ? data : ".") + "/golden/" + name;
}

// Compares with the golden file; ZEL_REGENERATE_GOLDEN=1 rewrites it instead (a deliberate step).
void expectGolden(const std::string& name, const std::string& actual) {
    const std::string path = goldenPath(name);
    if (std::getenv("ZEL_REGENERATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << path;
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(actual, ss.str()) << "golden " << name;
}

TEST_F(RunJob, BadJobTypeIsRefusedAndLeavesNoHandle) {
    for (int32_t type : {-1, 0, 7, 9}) {
        const int32_t job = newJob("<p>", type);
        const int32_t before = ZELGetNumberOfHandles();
        EXPECT_EQ(ZELRunJob(nullptr, options, job, 0), -3) << type;
        EXPECT_EQ(ZELGetNumberOfHandles(), before) << type;
        const BoxRecord box = onlyBox();
        EXPECT_EQ(box.text,
                  "ZEL Orvalent Lite DLL error in function or function call for ZELRunJob(): bad job type");
        EXPECT_EQ(box.caption, "Orvalent: Error");
        ZELFreeHandle(job, 0);
    }
}

TEST_F(RunJob, BadHandlesMissingInputAndMissingConfiguration) {
    const int32_t job = newJob("<p>");
    EXPECT_EQ(ZELRunJob(nullptr, options, options, 0), -1);
    EXPECT_NE(onlyBox().text.find("ZELRunJob(): bad handle"), std::string::npos);
    EXPECT_EQ(ZELRunJob(nullptr, job, job, 0), -2);
    EXPECT_NE(onlyBox().text.find("ZELRunJob(): bad handle"), std::string::npos);

    const int32_t fileJob = newJob("");
    ZELSetString(fileJob, ZELID_JOB_INPUT, temp.path("missing.html").c_str());
    ZELSetFlag(fileJob, ZELID_JOB_FLAGS, ZEL_JOB_INPUTISFILE, 1);
    const int32_t before = ZELGetNumberOfHandles();
    EXPECT_EQ(ZELRunJob(nullptr, options, fileJob, 0), -11);
    EXPECT_EQ(ZELGetNumberOfHandles(), before);

    const int32_t bare = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    optionsObject(bare)->cfgStore = new CfgStore();
    EXPECT_EQ(ZELRunJob(nullptr, bare, job, 0), -19);
    const BoxRecord box = onlyBox();
    EXPECT_EQ(box.caption, "Orvalent: Cannot Validate");
    EXPECT_EQ(box.style, 0x10010u);
    EXPECT_EQ(ZELGetNumberOfHandles(), before + 1);
}

TEST_F(RunJob, EditorLinesGiveMessagesThroughTheGetters) {
    const int32_t job = newJob("<!DOCTYPE html>\n< p>\n<!DOCTYPE html>\ntext > more");
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    EXPECT_EQ(messageView(results), "1@2:1 1@3:1 2@4:6 3@-1:-1");
    EXPECT_EQ(ZELGetIntegerEZ(results, ZELID_RESULT_ERRORS), 2);
    EXPECT_EQ(ZELGetIntegerEZ(results, ZELID_RESULT_WARNINGS), 1);
    EXPECT_EQ(ZELGetIntegerEZ(results, ZELID_RESULT_RESERVED), -1);
    EXPECT_STREQ(ZELGetString2(results, ZELID_RESULT_MSGTEXT, 4),
                 "2 errors, 1 warning, 0 messages, 1 comment.");
    EXPECT_EQ(jobObject(job)->inputLines, 4);
    ZELFreeHandle(job, 0);
}

TEST_F(RunJob, ErrorLimitZeroGivesMessage50AndTheLimitFlag) {
    ZELSetInteger(options, ZELID_OPT_MAXIMUMERRORS, 0);
    const int32_t job = newJob("<>\n<>");
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    EXPECT_EQ(ZELGetInteger2EZ(results, ZELID_RESULT_MSGKIND, 1), ZEL_MSG_ERROR);
    EXPECT_NE(std::string(ZELGetString2(results, ZELID_RESULT_MSGTEXT, 1)).find("too many errors"),
              std::string::npos);
    EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_FLAGS, zel::bits::results::LimitReached), 1);
}

TEST_F(RunJob, GoldenOutputInBothForms) {
    struct Case {
        const char* name;
        const char* doc;
        bool records;
        uint32_t outputFlags;
    } cases[] = {
        {"plain-readable.txt", "Just text.\nSecond line.", false, 0},
        {"plain-records.txt", "Just text.\nSecond line.", true, 0},
        {"mixed-readable.txt",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n< p>\n<!-- a -->\n<a href=\"x\n y\">\nsay > <p >", false,
         0},
        {"mixed-records.txt",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n< p>\n<!-- a -->\n<a href=\"x\n y\">\nsay > <p >", true,
         0},
        {"listing-readable.txt", "<html>\n<body>\n<>\n</body>\n</html>", false, of::IncludeHTML},
    };
    for (const Case& c : cases) {
        ConfigClass* o = optionsObject(options);
        const uint32_t savedOutput = o->validator.OutputFlags40;
        o->validator.OutputFlags40 |= c.outputFlags;
        const int32_t job = newJob(c.doc);
        if (c.records)
            ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_RECORDMODE, 1);
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0) << c.name;
        expectGolden(c.name, outputText(results));
        o->validator.OutputFlags40 = savedOutput;
        ZELFreeHandle(results, 0);
        ZELFreeHandle(job, 0);
    }
}

TEST_F(RunJob, StructureListingGoesToTheSecondStoreInTheFormTheOptionsAsk) {
    struct Case {
        uint32_t set, cleared;
        const char* listing;
    } cases[] = {
        {0, of::UseCompactForm | of::ShowLineNumbers,
         "<html> \n| <body> \n| | <p> \n| | </p> \n| </body> \n</html> \n\n"},
        {of::UseCompactForm, of::ShowLineNumbers, "<html> \n| <body> \n| | <p> </p> </body> </html> \n\n"},
        {of::ShowLineNumbers, of::UseCompactForm,
         "<html> (1) \n| <body> (1) \n| | <p> (1) \n| | </p> (1) \n| </body> (1) \n</html> (1) \n\n"},
    };
    ConfigClass* o = optionsObject(options);
    const uint32_t savedOutput = o->validator.OutputFlags40;
    for (const Case& c : cases) {
        o->validator.OutputFlags40 = (savedOutput | c.set) & ~c.cleared;
        const int32_t job = newJob("<html><body><p></p></body></html>");
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_LISTINGTOSTORE2, 1);
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        std::string listing;
        for (int32_t i = 0; i < ZELGetIntegerEZ(results, ZELID_RESULT_LINES2); ++i)
            listing += std::string(ZELGetString2(results, ZELID_RESULT_LINE2, i)) + "\n";
        EXPECT_EQ(listing, c.listing);
        ZELFreeHandle(results, 0);
        ZELFreeHandle(job, 0);
    }
    o->validator.OutputFlags40 = savedOutput;
}

TEST_F(RunJob, RecordOutputEndsTheFileAndTextSizeComesFromTheLines) {
    const int32_t job = newJob("ab\ncd");
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_RECORDMODE, 1);
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    const std::string text = outputText(results);
    EXPECT_NE(text.find("BYTESIZE=6\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 14), "ENDOFFILE=YES\n");
}

TEST_F(RunJob, FileInputIsReadAsBytes) {
    const std::string path = temp.write("doc.html", "<!DOCTYPE html>\r\n<>\r\n");
    const int32_t job = newJob("");
    ZELSetString(job, ZELID_JOB_INPUT, path.c_str());
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_INPUTISFILE | ZEL_JOB_RECORDMODE, 1);
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    EXPECT_EQ(messageView(results), "1@2:1 3@-1:-1");
    const std::string text = outputText(results);
    EXPECT_NE(text.find("BYTESIZE=21\n"), std::string::npos) << text;
    // The output name is formed for a file job.
    EXPECT_EQ(std::string(ZELGetString(job, ZELID_JOB_OUTPUTFILE)), path + ".val");
}

// What a file holds after a NUL or behind a byte-order mark of a two-byte form is checked like
// the rest: never a clean result for text that was not read.
TEST_F(RunJob, FileTextAfterANulOrInATwoByteFormIsChecked) {
    auto utf16 = [](const std::string& ascii, bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char c : ascii)
            out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        return out;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* messages;
    } cases[] = {
        {"NUL before a tag", std::string("<p>x\0 <zork></p>\n", 17), "321@1:5 65@1:8"},
        {"NUL alone", std::string("<p>x\0</p>\n", 9), "321@1:5"},
        {"little end", utf16("<p>x</p>\r\n<zork>\r\n", false), "65@2:2"},
        {"big end", utf16("<p>x</p>\n", true), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.write("page.html", c.bytes);
        const int32_t job = newJob("");
        ZELSetString(job, ZELID_JOB_INPUT, path.c_str());
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_INPUTISFILE | ZEL_JOB_RECORDMODE, 1);
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        EXPECT_EQ(shownMessageList(*resultsObject(results)->messages), c.messages);
        EXPECT_NE(outputText(results).find("BYTESIZE=" + std::to_string(c.bytes.size()) + "\n"),
                  std::string::npos);
        ZELFreeHandle(results, 0);
        ZELFreeHandle(job, 0);
    }
}

// Lines are 8-bit texts ended by NUL: a document in a two- or four-byte form reaches the engine
// as its byte-order mark and at most a character of each line. The run says that it cannot read
// that form and checks nothing, instead of reporting on the remains.
TEST_F(RunJob, LinesOfATwoByteFormAreRefusedWithOneMessage) {
    struct Case {
        const char* name;
        std::vector<std::string> lines; // what C strings keep of the form's bytes
    } cases[] = {
        {"little end", {"\xFF\xFE<", "", ""}},
        {"big end", {"\xFE\xFF", "", ""}},
        {"four bytes, little end", {"\xFF\xFE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t job = newJob("");
        for (const std::string& line : c.lines)
            ZELSetString(job, ZELID_JOB_ADDPATH, line.c_str());
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_RECORDMODE, 1);
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        EXPECT_EQ(shownMessageList(*resultsObject(results)->messages), "322@1:1");
        EXPECT_EQ(ZELGetIntegerEZ(results, ZELID_RESULT_ERRORS), 1);
        ZELFreeHandle(results, 0);
        ZELFreeHandle(job, 0);
    }
}

TEST_F(RunJob, LogEntryIsAppended) {
    optionsObject(options)->log.Flags40 |= lf::EnableLogging | lf::LogErrorMessages;
    for (int i = 0; i < 2; ++i) {
        const int32_t job = newJob("<>");
        ASSERT_GE(ZELRunJob(nullptr, options, job, 0), 0);
    }
    std::ifstream in(temp.path("log.txt"), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string log = ss.str();
    EXPECT_NE(log.find("*** This document contains errors and/or warnings. ***\r\n"), std::string::npos);
    EXPECT_NE(log.find("Val Date: Friday, May 17, 2024\r\nVal Time: 9:30:00 AM\r\nDocument: page.html\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("[ZEL] Error number 1 in line 1:1:\r\n"), std::string::npos);
    // Two runs, two entries.
    EXPECT_NE(log.find("Document: page.html"), log.rfind("Document: page.html")) << log;
}

TEST_F(RunJob, UnwritableLogShowsItsBoxAndTheRunGoesOn) {
    ConfigClass* o = optionsObject(options);
    o->log.Flags40 |= lf::EnableLogging;
    o->log.LogFileNameV30.assign(temp.path("no\\such\\folder\\log.txt").c_str());
    const int32_t job = newJob("x");
    EXPECT_GE(ZELRunJob(nullptr, options, job, 0), 0);
    const BoxRecord box = onlyBox();
    EXPECT_EQ(box.caption, "Orvalent: Error Opening Log File");
}

TEST_F(RunJob, ProgressWindowOpensDuringTheRunAndHidesAfter) {
    const int32_t job = newJob("<p>\ntext\n<p>");
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER, 1);
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    ASSERT_TRUE(progressWindowExists());
    HWND window = progressWindow().handle();
    EXPECT_EQ(jobObject(job)->progressWindow, window);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "ZEL Orvalent Lite v3.00");
    EXPECT_EQ(progressWindow().position(), 66);

    // Kept open when the job does not ask to hide it; the global value hides it.
    const int32_t keep = newJob("<p>");
    ZELSetFlag(keep, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS, 1);
    ZELSetFlag(keep, ZELID_JOB_FLAGS, ZEL_JOB_HIDEPROGRESSAFTER, 0);
    ASSERT_GE(ZELRunJob(nullptr, options, keep, 0), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    ZELSetInteger3(ZELID_HIDEPROGRESS, 1);
    EXPECT_FALSE(IsWindowVisible(window));

    // With the general flag "no progress window unless forced" a run does not show it.
    optionsObject(options)->general.Flags40 |= ZEL_GENERAL_NOPROGRESSUNLESSFORCED;
    ASSERT_GE(ZELRunJob(nullptr, options, keep, 0), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(jobObject(keep)->progressWindow, nullptr);
}

int32_t freedJob = -1;
int freeJobFromBox(HWND, const char* text, const char* caption, UINT style) {
    recordedBoxes().push_back({text, caption, style});
    ZELFreeHandle(freedJob, 0);
    return IDOK;
}

TEST_F(RunJob, JobFreedFromInsideABoxGoesWhenTheRunEnds) {
    const int32_t bare = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    optionsObject(bare)->cfgStore = new CfgStore();
    freedJob = newJob("<p>");
    const int32_t before = ZELGetNumberOfHandles();
    const EngineMessageBoxFn previous = setEngineMessageBox(freeJobFromBox);
    EXPECT_EQ(ZELRunJob(nullptr, bare, freedJob, 0), -19);
    setEngineMessageBox(previous);
    EXPECT_EQ(onlyBox().caption, "Orvalent: Cannot Validate");
    EXPECT_EQ(jobObject(freedJob), nullptr);
    EXPECT_EQ(ZELGetNumberOfHandles(), before - 1);
}

int32_t reentryOptions = -1;
int32_t reentryJob = -1;
int32_t reentryResult = 0;
int reenterFromBox(HWND, const char* text, const char* caption, UINT style) {
    recordedBoxes().push_back({text, caption, style});
    reentryResult = ZELRunJob(nullptr, reentryOptions, reentryJob, 0);
    return IDOK;
}

TEST_F(RunJob, RunStartedAgainFromInsideABoxIsRefused) {
    const int32_t bare = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    optionsObject(bare)->cfgStore = new CfgStore();
    reentryOptions = options;
    reentryJob = newJob("<p>");
    const EngineMessageBoxFn previous = setEngineMessageBox(reenterFromBox);
    const int32_t outer = ZELRunJob(nullptr, bare, reentryJob, 0);
    setEngineMessageBox(previous);
    EXPECT_EQ(outer, -19);
    EXPECT_EQ(reentryResult, kRunAlreadyUnderWay);
    EXPECT_EQ(onlyBox().caption, "Orvalent: Cannot Validate");
    // After the run, the same thread may run again.
    EXPECT_GE(ZELRunJob(nullptr, options, reentryJob, 0), 0);
}

TEST_F(RunJob, OutputNameRule) {
    ArgsClass run;
    EXPECT_EQ(outputFileName(run, 0), "");
    const int32_t job = newJob("x");
    const int32_t results = ZELGetNewHandle(ZEL_HANDLE_RESULTS);
    run.options = optionsObject(options);
    run.job = jobObject(job);
    run.results = resultsObject(results);
    run.options->general.OutputFileV30.assign("C:\\out.txt");
    run.options->general.Flags40 &= ~ZEL_GENERAL_USEVALFILES;
    EXPECT_EQ(outputFileName(run, 0), "C:\\out.txt");
    run.options->general.Flags40 |= ZEL_GENERAL_USEVALFILES;
    EXPECT_EQ(outputFileName(run, 0), "page.html.val");
    run.job->flags |= ZEL_JOB_VALCHOICESET;
    EXPECT_EQ(outputFileName(run, 0), "C:\\out.txt");
    run.job->flags |= ZEL_JOB_VALCHOICE;
    EXPECT_EQ(outputFileName(run, kOutputNameStore), "page.html.val");
    EXPECT_STREQ(run.job->outputFile.getString(), "page.html.val");
    run.job->outputFile.assign("kept.txt");
    EXPECT_EQ(outputFileName(run, kOutputNameStore | kOutputNameKeep), "kept.txt");
    run.job->jobType = 3;
    EXPECT_EQ(outputFileName(run, kOutputNameStore), "page.html");
}

// One row per element name, in order of first appearance and whatever the case of its tags, with
// its opening and closing tags counted; a closing tag that closes nothing still counts.
TEST_F(RunJob, TagCountsOfASmallDocument) {
    const int32_t job = newJob("<html>\n<body>\n<P>one</p>\n<p>two <p>three\n</b>\n</BODY>\n</html>");
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    struct Row {
        const char* name;
        int32_t open, close;
    } expected[] = {{"html", 1, 1}, {"body", 1, 1}, {"P", 3, 1}, {"b", 0, 1}};
    const int32_t rows = static_cast<int32_t>(sizeof expected / sizeof *expected);
    ASSERT_EQ(ZELGetIntegerEZ(results, ZELID_RESULT_TAGCOUNTROWS), rows);
    for (int32_t i = 1; i <= rows; ++i) {
        const Row& r = expected[i - 1];
        EXPECT_STREQ(ZELGetString2(results, ZELID_RESULTTAGCOUNTTAGNAME, i), r.name);
        EXPECT_EQ(ZELGetInteger2EZ(results, ZELID_RESULTTAGCOUNTOPEN, i), r.open) << r.name;
        EXPECT_EQ(ZELGetInteger2EZ(results, ZELID_RESULTTAGCOUNTCLOSE, i), r.close) << r.name;
    }
    EXPECT_TRUE(recordedBoxes().empty());
    EXPECT_EQ(ZELGetString2(results, ZELID_RESULTTAGCOUNTTAGNAME, rows + 1), nullptr);
    EXPECT_NE(onlyBox().text.find("bad index for ZELRESULTTAGCOUNTTAGNAME"), std::string::npos);

    // Each run counts its own document only.
    const int32_t other = newJob("<p>");
    const int32_t second = ZELRunJob(nullptr, options, other, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(ZELGetIntegerEZ(second, ZELID_RESULT_TAGCOUNTROWS), 1);
    EXPECT_EQ(ZELGetInteger2EZ(second, ZELID_RESULTTAGCOUNTOPEN, 1), 1);
    EXPECT_EQ(ZELGetInteger2EZ(second, ZELID_RESULTTAGCOUNTCLOSE, 1), 0);
}

// The symbol getters answer from the run's own interpreter: each run starts with an empty table,
// names are found case-blind in name order, and missing symbols or values give -1 or NULL
// without a box.
TEST_F(RunJob, ProgramSymbolsComeFromTheRunsInterpreter) {
    const int32_t first = ZELRunJob(nullptr, options, newJob("<p>"), 0);
    ASSERT_GE(first, 0);
    EXPECT_EQ(ZELGetInteger4EZ(first, ZELID_RESULT_SYMBOLINDEX, "links"), -1);
    EXPECT_EQ(ZELGetInteger2EZ(first, ZELID_RESULT_SYMBOLVALUECOUNT, 0), -1);

    SymbolValueStore& symbols = resultsObject(first)->validation->interpreter.symbols;
    ASSERT_EQ(symbols.setValue("links", "a.html", -1, 0), 0);
    ASSERT_EQ(symbols.setValue("links", "b.html", -1, 0), 1);
    ASSERT_EQ(symbols.setValue("Base", "http://x/", -1, 0), 0);

    const int32_t links = ZELGetInteger4EZ(first, ZELID_RESULT_SYMBOLINDEX, "LINKS");
    EXPECT_EQ(links, 1);
    EXPECT_EQ(ZELGetInteger4EZ(first, ZELID_RESULT_SYMBOLINDEX, "base"), 0);
    EXPECT_EQ(ZELGetInteger2EZ(first, ZELID_RESULT_SYMBOLVALUECOUNT, links), 2);
    EXPECT_STREQ(ZELGetString4(first, ZELID_RESULT_SYMBOLVALUE, links, 1), "b.html");
    EXPECT_STREQ(ZELGetString4(first, ZELID_RESULT_SYMBOLVALUE, 0, 0), "http://x/");

    int32_t value = 0;
    EXPECT_EQ(ZELGetInteger4(first, ZELID_RESULT_SYMBOLINDEX, nullptr, &value), 0);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(ZELGetInteger4EZ(first, ZELID_RESULT_SYMBOLINDEX, "link"), -1);
    EXPECT_EQ(ZELGetInteger2EZ(first, ZELID_RESULT_SYMBOLVALUECOUNT, 2), -1);
    EXPECT_EQ(ZELGetString4(first, ZELID_RESULT_SYMBOLVALUE, links, 2), nullptr);
    EXPECT_EQ(ZELGetString4(first, ZELID_RESULT_SYMBOLVALUE, 2, 0), nullptr);
    EXPECT_EQ(ZELGetString4(first, ZELID_RESULT_SYMBOLVALUE, -1, 0), nullptr);
    EXPECT_TRUE(recordedBoxes().empty());

    const int32_t second = ZELRunJob(nullptr, options, newJob("<p>"), 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(ZELGetInteger4EZ(second, ZELID_RESULT_SYMBOLINDEX, "links"), -1);
    EXPECT_EQ(ZELGetInteger4EZ(first, ZELID_RESULT_SYMBOLINDEX, "links"), links);
}

} // namespace
