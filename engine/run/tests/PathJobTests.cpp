// Path resolution, the tool jobs, the output file with its backup and the completion step, as
// the editor reaches them through ZELRunJob.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/config/CfgStore.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/DateTime.h"
#include "engine/run/PathJobs.h"
#include "engine/run/PathResolve.h"
#include "engine/run/RunOptions.h"
#include "engine/tests/EngineFixture.h"

using namespace zel::run;

namespace {

namespace gb = zel::bits::general;
namespace tb = zel::bits::tools;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "(missing)";
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(PathResolve, ResolvesRelativePathsAgainstADocument) {
    using namespace pathflag;
    struct Case {
        const char *base, *relative;
        int32_t flags;
        const char* result;
        int32_t code;
    } cases[] = {
        {"C:\\a\\b\\page.html", "..\\x.html", Backslash | BaseIsFile, "C:\\a\\x.html", 0},
        {"C:\\a\\b\\page.html", "..\\..\\..\\x.html", Backslash | BaseIsFile, "", -1},
        {"C:\\a\\b\\page.html", "inc/head.tpl", BaseIsFile | SlashesToBackslash, "C:\\a\\b\\inc\\head.tpl",
         0},
        {"C:\\a\\b\\page.html", ".\\x.html", Backslash | BaseIsFile, "C:\\a\\b\\x.html", 0},
        {"C:\\a\\b\\", "x.html", Backslash | BaseIsFile, "C:\\a\\b\\x.html", 0},
        {"C:\\a\\b\\page.html", "\\top.html", Backslash | BaseIsFile, "C:\\top.html", 0},
        {"C:\\a\\b\\page.html", "D:\\other\\x.html", Backslash | BaseIsFile, "D:\\other\\x.html", 0},
        {"http://h/a/b.html", "c/d.html", Slash | BaseIsFile, "http://h/a/c/d.html", 0},
        {"http://h/a/b.html", "#top", Slash | BaseIsFile | FragmentOfBase, "http://h/a/b.html#top", 0},
        {"http://h/a/b.html", "x.html", NoDriveGivesBase, "http://h/a/b.html", 0},
        {"C:\\a", "x", BaseIsFile, "", -2},
    };
    for (const Case& c : cases) {
        int32_t code = 99;
        EXPECT_EQ(resolvePath(c.base, c.relative, c.flags, code), c.result) << c.base << " + " << c.relative;
        EXPECT_EQ(code, c.code) << c.base << " + " << c.relative;
    }
}

TEST(PathResolve, NormalisesAndCutsAddresses) {
    int32_t code = 9;
    EXPECT_EQ(normalisePath("/a/./b/../c.html", 2, code), "/a/c.html");
    EXPECT_EQ(code, 0);
    normalisePath("C:\\..\\x", 1, code);
    EXPECT_EQ(code, -2);
    EXPECT_EQ(normalisePath("a/b", 3, code), "");
    EXPECT_EQ(code, -1);
    EXPECT_TRUE(hasDriveOrScheme("  C:\\x"));
    EXPECT_TRUE(hasDriveOrScheme("mailto:x@y"));
    EXPECT_FALSE(hasDriveOrScheme("a/b:c"));
    EXPECT_EQ(stripFragment("a/b.html#top"), "a/b.html");
    EXPECT_EQ(stripFragment("a#b/c.html"), "a#b/c.html");
    EXPECT_EQ(fileOfAddress("http://h/a/b.cgi?x=1#f", 0), "b.cgi");
    EXPECT_EQ(fileOfAddress("http://h/a/b.html#f", 2), "b.html");
    EXPECT_EQ(fileOfAddress("http://h/a/b.html#f", 0), "b.html#f");
}

TEST(PathTools, TagCaseChangesNamesOnlyAcrossLines) {
    const std::vector<std::string> in = {
        "<P Class=Big TITLE='Keep Me'>Some Text<!-- Keep <B>",
        "Me --><A",
        "HREF=\"Foo.HTML\" Target = _Top>x</A><?php Echo ?><!DOCTYPE Html>",
    };
    const std::vector<std::string> lower = convertTagCase(in, TagCase::Lower);
    EXPECT_EQ(lower, (std::vector<std::string>{
                         "<p class=Big title='Keep Me'>Some Text<!-- Keep <B>",
                         "Me --><a",
                         "href=\"Foo.HTML\" target = _Top>x</a><?php Echo ?><!DOCTYPE Html>",
                     }));
    EXPECT_EQ(convertTagCase(in, TagCase::Upper)[0], "<P CLASS=Big TITLE='Keep Me'>Some Text<!-- Keep <B>");
}

TEST(PathTools, StripTagsKeepsTheTextBetweenThem) {
    const std::vector<std::string> in = {"<p title=\"a > b\">One <b>two</b><!-- gone",
                                         "still gone --> three <a", "href=x>four</a>"};
    EXPECT_EQ(stripTags(in), (std::vector<std::string>{"One two", " three ", "four"}));
}

class PathJobs : public EngineTest {
protected:
    int32_t options = -1;
    TempFolder temp;

    void SetUp() override {
        EngineTest::SetUp();
        options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ConfigClass* o = optionsObject(options);
        o->log.Flags40 &= ~lf::EnableLogging;
        o->cfgStore = new CfgStore();
        o->cfgStore->setDefaults();
        for (const char* name : {"p", "html", "body"}) {
            const int32_t props[5] = {1, -1, -1, -1, -1};
            const int32_t number = o->cfgStore->addRecord(CFG_TAGNAME, name, -1, 0, 0, props);
            o->cfgStore->addListEntry(CFG_TAGNAME, number, 0, 0);
        }
        auto& seams = dateTimeSeams();
        seams.formatDate = [](const SYSTEMTIME&, const char*, std::string& out) {
            out = "Friday, May 17, 2024";
            return true;
        };
    }
    void TearDown() override {
        resetDateTimeSeams();
        EngineTest::TearDown();
    }
    int32_t newJob(const std::string& doc, int32_t type, const std::string& name) {
        const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        ZELSetInteger(job, ZELID_JOB_TYPE, type);
        for (const std::string& line : documentLines(doc))
            ZELSetString(job, ZELID_JOB_ADDPATH, line.c_str());
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS, 0);
        ZELSetString(job, ZELID_JOB_INPUT, name.c_str());
        return job;
    }
    static std::string lines1(int32_t results) {
        std::string text;
        for (int32_t i = 0; i < ZELGetIntegerEZ(results, ZELID_RESULT_LINES1); ++i)
            text += std::string(ZELGetString2(results, ZELID_RESULT_LINE1, i)) + "\n";
        return text;
    }
};

TEST_F(PathJobs, PathJobsWriteTheirLinesAndKeepABackupWhenAsked) {
    const std::string out = temp.path("page.html");
    for (int round = 0; round < 2; ++round) {
        const int32_t job = newJob(round == 0 ? "<P>One" : "<P>Two", 2, out);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_WRITEOUTPUT | ZEL_JOB_INPUTISFILE, 0);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_WRITEOUTPUT, 1);
        ZELSetString(job, ZELID_JOB_OUTPUTFILE, out.c_str());
        optionsObject(options)->tools.Flags40 = round == 0 ? 0 : tb::ToolsCreateBAKFiles;
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        EXPECT_EQ(lines1(results), round == 0 ? "<p>One\n" : "<p>Two\n");
        EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_FLAGS, ZEL_RESULT_OUTPUTFAILED), 0);
        EXPECT_EQ(readFile(out), round == 0 ? "<p>One\r\n" : "<p>Two\r\n");
    }
    EXPECT_EQ(readFile(out + ".bak"), "<p>One\r\n");

    // Without the option the backup goes once the new file is written.
    optionsObject(options)->tools.Flags40 = 0;
    const int32_t job = newJob("x", 5, out);
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_WRITEOUTPUT, 1);
    ZELSetString(job, ZELID_JOB_OUTPUTFILE, out.c_str());
    ZELSetInteger(job, ZELID_JOB_LINEEND, 2);
    ASSERT_GE(ZELRunJob(nullptr, options, job, 0), 0);
    EXPECT_EQ(readFile(out), "x\n");
    EXPECT_FALSE(exists(out + ".bak"));
}

// The fault: a job that asked for its output file came back as a success with no file written.
TEST_F(PathJobs, OutputThatCannotBeWrittenIsReportedInTheResults) {
    const std::string good = temp.path("report.txt");
    const std::string bad = temp.path("no such folder\\report.txt");
    for (const std::string& name : {good, bad}) {
        const int32_t job = newJob("<p>text", ZEL_JOBTYPE_VALIDATE, "page.html");
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_WRITEOUTPUT, 1);
        ZELSetString(job, ZELID_JOB_OUTPUTFILE, name.c_str());
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        if (name == good) {
            EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_FLAGS, ZEL_RESULT_OUTPUTFAILED), 0);
            EXPECT_NE(readFile(good).find("0 errors"), std::string::npos) << readFile(good);
            EXPECT_TRUE(recordedBoxes().empty());
        } else {
            EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_FLAGS, ZEL_RESULT_OUTPUTFAILED), 1);
            EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_STATUS, 2), 1);
            const BoxRecord box = onlyBox();
            EXPECT_EQ(box.caption, "Orvalent: Error Opening Output File");
            EXPECT_EQ(box.text, "There was an error opening the output file \"" + bad +
                                    "\". Orvalent cannot continue with this operation.");
            EXPECT_FALSE(exists(bad));
        }
    }
}

TEST_F(PathJobs, CompletionOpensTheViewerOrRemovesACleanOutput) {
    struct Case {
        const char* name;
        const char* doc;
        uint32_t general;
        const char* question; // caption of the box, "" for none
        bool viewer;
        bool outputStays;
    } cases[] = {
        {"always open", "<p>", gb::UseVALFiles | gb::AlwaysOpenViewer, "", true, true},
        {"quiet when clean", "<p>", gb::UseVALFiles | gb::IfNoErrorsWarningsDontView,
         "Orvalent: Open Viewer?", true, true},
        {"errors open without a question", "<>", gb::UseVALFiles | gb::IfNoErrorsWarningsDontView, "", true,
         true},
        {"ask otherwise", "<>", gb::UseVALFiles, "Orvalent: Open Viewer?", true, true},
        {"never, with a box", "<>", gb::UseVALFiles | gb::NeverOpenVALFiles,
         "Orvalent: Validation Check Complete", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = temp.write("doc.html", c.doc);
        optionsObject(options)->general.Flags40 = c.general;
        const int32_t job = newJob("", ZEL_JOBTYPE_VALIDATE, input);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_INPUTISFILE, 1);
        startedPrograms().clear();
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        if (*c.question) {
            EXPECT_EQ(onlyBox().caption, c.question);
        }
        EXPECT_EQ(startedPrograms().size(), c.viewer ? 1u : 0u);
        if (c.viewer && !startedPrograms().empty()) {
            EXPECT_EQ(startedPrograms()[0].commandLine, "notepad.exe \"" + input + ".val\"");
        }
        EXPECT_EQ(exists(input + ".val"), c.outputStays);
        DeleteFileA((input + ".val").c_str());
        ZELFreeHandle(results, 0);
        ZELFreeHandle(job, 0);
    }
    // A clean document, quiet when clean, and a job that wants no viewer: the empty report goes.
    const std::string input = temp.write("clean.html", "<p>");
    optionsObject(options)->general.Flags40 = gb::UseVALFiles | gb::IfNoErrorsWarningsDontView;
    const int32_t job = newJob("", ZEL_JOBTYPE_VALIDATE, input);
    ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_INPUTISFILE | zel::bits::job::NoCompletionQuestion2, 1);
    startedPrograms().clear();
    ASSERT_GE(ZELRunJob(nullptr, options, job, 0), 0);
    EXPECT_TRUE(startedPrograms().empty());
    EXPECT_FALSE(exists(input + ".val"));
}

TEST_F(PathJobs, TemplateToolFillsTheTemplateBetweenItsMarkers) {
    temp.write("head.tpl",
               "<h1>$\"TITLE\"</h1>\r\n<p>$\"CURRENTFILE\" by $\"AUTHOR\" on $\"CURRENTDATE\"</p>\r\n");
    temp.write("note.txt", "noted");
    const std::string doc = temp.path("page.html");
    // Backslashes in a string literal of an expression are escapes: the path gives them doubled.
    std::string notePath;
    for (const char c : temp.path("note.txt"))
        notePath += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string escaped = "<html>\n<!-- TEMPLATESTART\nTEMPLATE=head.tpl\nTITLE = \"Hello\"\n"
                                "AUTHOR := \"Ann \" + FileContents(\"" +
                                notePath +
                                "\")\n-->\n"
                                "old generated text\n<!-- TEMPLATEEND -->\n</html>";
    const int32_t job = newJob(escaped, 4, doc);
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    ASSERT_GE(results, 0);
    const std::string text = lines1(results);
    EXPECT_NE(text.find("-->\n<h1>Hello</h1>\n<p>" + doc +
                        " by Ann noted on Friday, May 17, 2024</p>\n"
                        "<!-- TEMPLATEEND -->\n</html>\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("old generated text"), std::string::npos);
}

TEST_F(PathJobs, TemplateFaultsStopTheToolWithTheirBox) {
    temp.write("t.tpl", "$\"NOSUCH\"\n");
    temp.write("bad.tpl", "a $\" b\n");
    struct Case {
        const char* name;
        std::string page;
        const char* caption;
    } cases[] = {
        {"no TEMPLATE", "<!-- TEMPLATESTART\nX=1\n-->\n<!-- TEMPLATEEND -->",
         "Orvalent: TEMPLATE Symbol Not Defined"},
        {"no end of list", "<!-- TEMPLATESTART\nX=1\n", "Orvalent: Cannot Find End Of Symbol List"},
        {"bad line", "<!-- TEMPLATESTART\nno symbol here\n-->", "Orvalent: Error In Symbol List"},
        {"no end marker", "<!-- TEMPLATESTART\nTEMPLATE=t.tpl\n-->\n",
         "Orvalent: Cannot Find <!-- TEMPLATEEND -->"},
        {"missing template", "<!-- TEMPLATESTART\nTEMPLATE=gone.tpl\n-->\n<!-- TEMPLATEEND -->",
         "Orvalent: Cannot Open Template File"},
        {"unknown symbol", "<!-- TEMPLATESTART\nTEMPLATE=t.tpl\n-->\n<!-- TEMPLATEEND -->",
         "Orvalent: Unknown Symbol"},
        {"format error", "<!-- TEMPLATESTART\nTEMPLATE=bad.tpl\n-->\n<!-- TEMPLATEEND -->",
         "Orvalent: Format Error"},
        {"failing expression", "<!-- TEMPLATESTART\nTEMPLATE := Nope(\"x\")\n-->\n<!-- TEMPLATEEND -->",
         "Orvalent: Template Tool Function Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = temp.path("out.html");
        DeleteFileA(out.c_str());
        const int32_t job = newJob(c.page, 4, temp.path("page.html"));
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_WRITEOUTPUT, 1);
        ZELSetString(job, ZELID_JOB_OUTPUTFILE, out.c_str());
        const int32_t results = ZELRunJob(nullptr, options, job, 0);
        ASSERT_GE(results, 0);
        const BoxRecord box = onlyBox();
        EXPECT_EQ(box.caption, c.caption) << box.text;
        EXPECT_EQ(box.style, 0x10010u);
        EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_FLAGS, ZEL_RESULT_STOPPED), 1);
        EXPECT_FALSE(exists(out)) << "a stopped tool writes no file";
    }
}

} // namespace
