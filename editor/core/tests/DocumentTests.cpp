// Document records: names, kinds, saving, results read through a stand-in engine, and tool runs.
#include "CoreTestSupport.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FileInfo.h"
#include "editor/core/JobRunners.h"
#include "editor/core/MessageInfo.h"

#include "editor/core/PathHelpers.h"
#include "editor/core/ListView.h"

#include <algorithm>
#include <map>

namespace {

// A stand-in engine: one results object whose messages and flags the test sets.
struct FakeResults {
    int32_t count = 0;
    std::vector<int32_t> kinds, lines, groupWords;
    std::vector<std::string> groupTexts;
    int32_t status3001 = 0; // bits of the computed status
    int32_t flags3000 = 0;
    std::vector<std::string> outputLines;
    int32_t runResult = 9;
    int32_t freed = 0;
};
FakeResults fake;
std::string kindNames[5] = {"", "Error", "Warning", "Comment", "Message"};
std::string scratch;

int32_t ZELAPI fNewHandle(int32_t) {
    return 5;
}
int32_t ZELAPI fFree(int32_t, int32_t) {
    ++fake.freed;
    return 0;
}
std::vector<int32_t> integersSet;
int32_t ZELAPI fSetInteger(int32_t, int32_t id, int32_t) {
    integersSet.push_back(id);
    return 0;
}
int32_t ZELAPI fSetInteger2(int32_t, int32_t, int32_t, int32_t) {
    return 0;
}
int32_t ZELAPI fSetString(int32_t, int32_t, const char*) {
    return 0;
}
int32_t ZELAPI fSetFlag(int32_t, int32_t, int32_t, int32_t) {
    return 0;
}
int32_t ZELAPI fGetFlag(int32_t, int32_t id, int32_t mask) {
    int32_t word = id == 3001 ? fake.status3001 : fake.flags3000;
    return (word & mask) ? 1 : 0;
}
int32_t ZELAPI fRun(HWND, int32_t, int32_t, int32_t) {
    return fake.runResult;
}

// An engine whose locks another program holds for a number of calls: each busy call asks a
// window to be painted again and may have the user press a key or click meanwhile.
struct BusyEngine {
    int32_t busyCalls = 0;
    int32_t calls = 0;
    std::vector<int32_t> waitLimits;
    HWND window = nullptr;
    int32_t escapeAtCall = -1;
    int32_t paints = 0;
    int32_t clicks = 0;
};
BusyEngine busy;

int32_t ZELAPI fBusyRun(HWND, int32_t, int32_t, int32_t waitLimit) {
    busy.waitLimits.push_back(waitLimit);
    if (++busy.calls > busy.busyCalls)
        return fake.runResult;
    InvalidateRect(busy.window, nullptr, FALSE);
    PostMessageA(busy.window, WM_LBUTTONDOWN, 0, 0);
    if (busy.calls == busy.escapeAtCall)
        PostMessageA(busy.window, WM_KEYDOWN, VK_ESCAPE, 0);
    return ZEL_RUN_BUSY;
}

LRESULT CALLBACK busyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        ++busy.paints;
        return 0;
    }
    if (message == WM_LBUTTONDOWN)
        ++busy.clicks;
    return DefWindowProcA(window, message, wParam, lParam);
}
int32_t ZELAPI fGetIntegerEZ(int32_t, int32_t id) {
    switch (id) {
    case ZELID_RESULT_RECORDS:
        return fake.count;
    case ZELID_RESULT_LINES1:
        return static_cast<int32_t>(fake.outputLines.size());
    default:
        return 0;
    }
}
int32_t ZELAPI fGetInteger2EZ(int32_t, int32_t id, int32_t i) {
    size_t k = static_cast<size_t>(i - 1);
    switch (id) {
    case 15000:
        return fake.kinds[k];
    case 15001:
        return fake.lines[k];
    case 15013:
        return fake.groupWords.empty() ? 0 : fake.groupWords[k];
    default:
        return 0;
    }
}
const char* ZELAPI fGetString2(int32_t, int32_t id, int32_t i) {
    if (id == ZELID_RESULT_LINE1)
        return fake.outputLines[static_cast<size_t>(i)].c_str();
    if (id == 12004)
        return fake.groupTexts.empty() ? "" : fake.groupTexts[static_cast<size_t>(i - 1)].c_str();
    scratch = "message " + std::to_string(i);
    return scratch.c_str();
}
const char* ZELAPI fGetString6(int32_t, int32_t kind) {
    return kindNames[kind >= 1 && kind <= 4 ? kind : 0].c_str();
}

int32_t ZELAPI fVersion(int32_t) {
    return 30000;
}

void installFakeEngine() {
    fake = FakeResults{};
    integersSet.clear();
    Engine.ZELGetInteger3EZ = fVersion;
    Engine.ZELGetNewHandle = fNewHandle;
    Engine.ZELFreeHandle = fFree;
    Engine.ZELSetInteger = fSetInteger;
    Engine.ZELSetInteger2 = fSetInteger2;
    Engine.ZELSetString = fSetString;
    Engine.ZELSetFlag = fSetFlag;
    Engine.ZELGetFlag = fGetFlag;
    Engine.ZELRunJob = fRun;
    Engine.ZELGetIntegerEZ = fGetIntegerEZ;
    Engine.ZELGetInteger2EZ = fGetInteger2EZ;
    Engine.ZELGetString2 = fGetString2;
    Engine.ZELGetString6 = fGetString6;
}

std::string lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "line " + std::to_string(i) + "\r\n";
    return s;
}

} // namespace

class DocumentTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        p = new prgclass;
        installFakeEngine();
    }
    void TearDown() override {
        CoreTest::TearDown();
        ClearEngineFunctions();
        BookmarkWarningShown = false;
    }
    fileinfoclass* newDocument() {
        auto* d = new fileinfoclass(nullptr, &p->vol->documents);
        p->vol->documents.append(d);
        return d;
    }
};

TEST_F(DocumentTest, NewRecordNamesAndKinds) {
    fileinfoclass* d = newDocument();
    EXPECT_STREQ(d->GetName(2), "[Untitled]");
    EXPECT_EQ(d->kind, KindOther);
    EXPECT_EQ(d->resultsHandle, -1);
    EXPECT_STREQ(d->GetName(16), "[Untitled]");
    d->memoSource->InsertText("x");
    EXPECT_STREQ(d->GetName(16), "[Untitled]**");
    const std::string temp = std::string(p->vol->tempFolder.getString()) + "\\" +
                             std::to_string(reinterpret_cast<uintptr_t>(d)) + ".html";
    EXPECT_EQ(std::string(d->GetName(64)), temp);

    struct Case {
        const char* name;
        int32_t flags;
        int32_t kind;
    } cases[] = {{"a.HtMl", 0, KindHTML},        {"a.txt", 0, KindText},
                 {"a.css", 0, KindCSS},          {"a.pl", 0, KindPerl},
                 {"a.js", 0, KindJava},          {"a.hpp", 0, KindC},
                 {"a.vbs", 0, KindVBScript},     {"a.pas", 0, KindPascal},
                 {"a.sql", 0, KindSQL},          {"a.xyz", 0, KindOther},
                 {"README", 0, KindNoExtension}, {"C:\\dir.v2\\README", 0, KindNoExtension}};
    for (const Case& c : cases)
        EXPECT_EQ(fileinfoclass::GetFileKind(c.name, c.flags), c.kind) << c.name;
    p->config->noExtensionFileType = KindText;
    EXPECT_EQ(fileinfoclass::GetFileKind("README", 1), KindText);
    EXPECT_EQ(fileinfoclass::GetFileKind("README", 0), KindNoExtension);
    // An extension in two lists takes the first in the search order.
    p->config->textExtensions = "TXT,HTM";
    EXPECT_EQ(fileinfoclass::GetFileKind("a.htm", 0), KindHTML);
}

// A write that fails keeps the document modified, under its old name, and says why.
TEST_F(DocumentTest, FailedSaveAsKeepsNameAndModifiedState) {
    fileinfoclass* d = newDocument();
    const std::string path = WriteFile("page.html", "<p>old</p>\r\n");
    ASSERT_EQ(d->LoadFromFile(path.c_str(), 1), 0);
    d->fileName = path.c_str();
    d->sourceType = 1;
    d->memoSource->JumpTo(0, 0);
    d->memoSource->InsertText("new ");
    ASSERT_TRUE(d->memoSource->Modified());

    const std::string bad = Folder() + "\\no such folder\\page.html";
    EXPECT_EQ(d->SaveAs(bad.c_str()), -1);
    EXPECT_FALSE(d->lastError.empty());
    EXPECT_EQ(std::string(d->fileName.getString()), path);
    EXPECT_TRUE(d->memoSource->Modified());
    EXPECT_EQ(ReadFile(path), "<p>old</p>\r\n");

    const std::string other = Folder() + "\\other.html";
    ASSERT_EQ(d->SaveAs(other.c_str()), 0);
    EXPECT_EQ(std::string(d->fileName.getString()), other);
    EXPECT_FALSE(d->memoSource->Modified());
    EXPECT_EQ(ReadFile(other), "new <p>old</p>\r\n");
    EXPECT_EQ(d->CheckChangedOnDisk(0), 0);

    // The preview copy goes beside the document and goes with the record.
    ASSERT_EQ(d->SaveToFile(nullptr, 1), 0);
    const std::string preview = Folder() + "\\~zel_other.html";
    EXPECT_EQ(std::string(d->tempFile.getString()), preview);
    EXPECT_EQ(CanOpenFile(preview.c_str()), 1);
    DeleteFileA(other.c_str());
    EXPECT_EQ(d->CheckChangedOnDisk(1), 2);
    EXPECT_TRUE(d->memoSource->Modified());
    EXPECT_EQ(d->CheckChangedOnDisk(1), 2);
    p->vol->documents.clear(true);
    EXPECT_EQ(CanOpenFile(preview.c_str()), 0);
}

TEST_F(DocumentTest, MessagesCountListAndBookmarkUpTo255) {
    fileinfoclass* d = newDocument();
    d->memoSource->Lines().SetText(lines(250));
    fake.count = 200;
    for (int i = 0; i < 200; ++i) {
        fake.kinds.push_back(i % 4 + 1);
        fake.lines.push_back(i + 1);
        fake.groupTexts.push_back(i == 0 ? "group one" : "");
        fake.groupWords.push_back(0);
    }
    std::vector<std::string> shown;
    EditorLink().ShowMessageBox = [&](const std::string&, const std::string& caption, int32_t) {
        shown.push_back(caption);
        return IDOK;
    };
    d->resultsHandle = 9;
    ASSERT_EQ(d->BuildMessageList(8), 0);
    EXPECT_EQ(d->BuildMessageList(8), 3);
    ASSERT_EQ(d->MessageCount(), 200);
    EXPECT_EQ(d->Message(0)->listed, 0); // grouped, not listed by default
    EXPECT_EQ(d->Message(1)->listed, 1);
    EXPECT_EQ(d->Message(2)->image, 3); // comment
    EXPECT_EQ(d->Message(3)->image, 2); // message
    EXPECT_EQ(d->Counter(CountListedErrors), 49);
    EXPECT_EQ(d->Counter(CountListedComments), 50);
    EXPECT_EQ(d->Counter(CountListedMessages), 50);
    EXPECT_EQ(d->Counter(CountGroupAErrors), 1);
    EXPECT_EQ(d->Message(155)->bookmark, 255);
    EXPECT_EQ(d->Message(156)->bookmark, -1);
    EXPECT_EQ(shown, std::vector<std::string>{"Orvalent: Maximum Number of Bookmarks Exceeded"});

    // The warning is shown once a run; the colours follow the option bits.
    EditorLink().errorLineStyle = 1;
    EditorLink().warningLineStyle = 2;
    d->ClearResults(1);
    EXPECT_EQ(fake.freed, 1);
    EXPECT_EQ(d->resultsHandle, -1);
    d->resultsHandle = 9;
    ASSERT_EQ(d->BuildMessageList(8), 0);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(d->memoSource->GetLineTextStyle(0), 1);
    EXPECT_EQ(d->memoSource->GetLineTextStyle(1), 2);
    EXPECT_EQ(d->memoSource->GetLineTextStyle(2), 0);
}

TEST_F(DocumentTest, SortStatesAndComparisons) {
    int32_t s = NextSortState(0, 1);
    EXPECT_EQ(s, 13);
    s = NextSortState(s, 1);
    EXPECT_EQ(s, 12);
    EXPECT_EQ(NextSortState(0, 0), 7);
    EXPECT_EQ(NextSortState(0, 5), 0);
    EXPECT_LT(CompareLineTexts("5", "", 1), 0);
    EXPECT_GT(CompareLineTexts("5", "", 0), 0);
    EXPECT_EQ(MessageKindFromName("warning"), 2);
}

// A tool run that the engine marks as failed changes nothing; one that succeeds leaves the
// document with the tool's text, modified, and the old record reachable in the undo list.
TEST_F(DocumentTest, ToolRunsTakeOutputOnlyFromASuccessfulRun) {
    fileinfoclass* d = newDocument();
    d->memoSource->Lines().SetText("<P>Old</P>");
    d->memoSource->SetModified(false);
    EditorLink().GetCurrentFileInfo = [&] { return static_cast<fileinfoclass*>(p->vol->documents.at(0)); };
    std::vector<std::string> status;
    EditorLink().SetStatusText = [&](const std::string& s) { status.push_back(s); };
    fake.outputLines = {"<p>old</p>"};

    fake.status3001 = 2;
    EXPECT_EQ(RunTool(1, ToolTakeOutput), -7);
    EXPECT_EQ(p->vol->documents.at(0), d);
    EXPECT_EQ(d->memoSource->Lines().GetText(), "<P>Old</P>");
    EXPECT_EQ(status.back(), "An error occurred while processing the tool job.");
    EXPECT_EQ(fake.freed, 2); // the job and the results

    fake.status3001 = 0;
    fake.freed = 0;
    EXPECT_EQ(RunTool(1, ToolTakeOutput), 0);
    auto* now = static_cast<fileinfoclass*>(p->vol->documents.at(0));
    ASSERT_NE(now, d);
    EXPECT_EQ(now->memoSource->Lines().GetText(), "<p>old</p>");
    EXPECT_TRUE(now->memoSource->Modified());
    EXPECT_EQ(p->vol->undoFiles.at(now->undoSlot), d);
    EXPECT_EQ(status.back(), "Tool processing completed successfully.");
    EXPECT_EQ(fake.freed, 2);

    fake.runResult = -3;
    EXPECT_EQ(RunTool(1, ToolTakeOutput), -3);
    EXPECT_EQ(status.back(), "Processing not done.");
}

TEST_F(DocumentTest, RefusedValidationKeepsThePreviousResults) {
    fileinfoclass* d = newDocument();
    d->memoSource->Lines().SetText("<p>x</p>");
    std::vector<std::string> status;
    EditorLink().SetStatusText = [&](const std::string& s) { status.push_back(s); };
    ASSERT_EQ(RunValidationJob(d, -1, 0), 0);
    EXPECT_EQ(d->resultsHandle, 9);
    fake.runResult = -4;
    EXPECT_EQ(RunValidationJob(d, -1, 0), -3);
    EXPECT_EQ(d->resultsHandle, 9);
    EXPECT_EQ(status.back(), "Validation failed.");
    EXPECT_EQ(RunValidationJob(nullptr, -1, 0), -7);
}

// While another program holds the engine, the editor asks again in short waits: its windows are
// painted in between, clicks are set aside (no command may start under the waiting job), and Esc
// gives up without a box, the previous results kept.
TEST_F(DocumentTest, WaitingForTheEngineRepaintsAndEscGivesUp) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = busyWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZelBusyEngineTestWindow";
    RegisterClassA(&wc);
    fileinfoclass* d = newDocument();
    d->memoSource->Lines().SetText("<p>x</p>");
    std::vector<std::string> status;
    EditorLink().SetStatusText = [&](const std::string& s) { status.push_back(s); };
    Engine.ZELRunJob = fBusyRun;
    struct Case {
        const char* name;
        int32_t busyCalls, escapeAtCall;
        int32_t result, handle;
        const char* lastStatus;
    } cases[] = {
        {"the holder finishes", 3, -1, 0, 9, nullptr},
        {"the user gives up", 1000, 2, ValidationCancelled, 9, "Validation cancelled."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        busy = BusyEngine{};
        busy.busyCalls = c.busyCalls;
        busy.escapeAtCall = c.escapeAtCall;
        busy.window = CreateWindowA("ZelBusyEngineTestWindow", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(busy.window, nullptr);
        UpdateWindow(busy.window);
        busy.paints = 0;
        status.clear();
        EXPECT_EQ(RunValidationJob(d, -1, 0), c.result);
        EXPECT_EQ(d->resultsHandle, c.handle);
        const int32_t waits = std::min(busy.calls, busy.busyCalls);
        EXPECT_GE(busy.paints, waits);
        EXPECT_EQ(busy.clicks, 0);
        EXPECT_TRUE(boxes.empty());
        ASSERT_GE(status.size(), 2u);
        EXPECT_EQ(status[1], "Waiting for another program to finish its validation... (Esc cancels)");
        if (c.lastStatus) {
            EXPECT_EQ(status.back(), c.lastStatus);
        }
        // Each call into the engine waits a short while only, never without limit.
        for (int32_t limit : busy.waitLimits)
            EXPECT_TRUE(limit > 0 && limit <= 1000) << limit;
        DestroyWindow(busy.window);
    }
}

// A file validated by name: its results are not kept, the file is remembered, and the mode value
// is never given to an engine of this version.
TEST_F(DocumentTest, FileValidationFreesItsResultsAndRemembersTheFile) {
    p->vol->fileToValidate = "C:\\site\\dropped.html";
    ASSERT_EQ(RunValidationJob(nullptr, 3, ValidateFile | ValidateQuiet), 0);
    EXPECT_EQ(fake.freed, 2); // the results at once, then the job
    EXPECT_STREQ(p->tools->lastValidateToolFilename.getString(), "C:\\site\\dropped.html");
    EXPECT_EQ(std::count(integersSet.begin(), integersSet.end(), ZELID_JOB_INTEGER), 0);
    EXPECT_EQ(std::count(integersSet.begin(), integersSet.end(), ZELID_JOB_TYPE), 1);
    p->tools->lastValidateToolFilename = "C:\\again.html";
    EXPECT_EQ(RevalidateLastDocument(), 0);
    EXPECT_STREQ(p->vol->fileToValidate.getString(), "C:\\again.html");
}

// --- the messages list ---------------------------------------------------------------------------

class MessagesListTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        doc = newDocument();
        doc->memoSource->Lines().SetText(lines(12));
        doc->resultsList = &list;
        // Kinds and lines of five messages; the fourth has a group text and stays out of the list,
        // the fifth has no line.
        fake.count = 5;
        fake.kinds = {2, 1, 4, 1, 3};
        fake.lines = {7, 3, 10, 2, 0};
        fake.groupTexts = {"", "", "", "Accessibility", ""};
        fake.groupWords = {0, 0, 0, 0, 0};
        EditorLink().ShowMessagesPanel = [this](bool validated) { panels.push_back(validated); };
        EditorLink().ClearMessageText = [this] { ++textCleared; };
        doc->resultsHandle = 9;
    }
    void TearDown() override {
        doc->ClearResults(1 | 8);
        DocumentTest::TearDown();
    }
    // The list's rows as "caption|line|text|image".
    std::vector<std::string> rows() const {
        std::vector<std::string> r;
        for (int i = 0; i < list.Count(); ++i)
            r.push_back(list.ItemText(i, 0) + "|" + list.ItemText(i, 1) + "|" + list.ItemText(i, 2) + "|" +
                        std::to_string(list.ItemImage(i)));
        return r;
    }
    std::vector<std::string> lineColumn() const {
        std::vector<std::string> r;
        for (int i = 0; i < list.Count(); ++i)
            r.push_back(list.ItemText(i, 1));
        return r;
    }
    TListView list{nullptr};
    fileinfoclass* doc = nullptr;
    std::vector<bool> panels;
    int textCleared = 0;
};

TEST_F(MessagesListTest, FillsTheListedMessagesOnceAndShowsTheHintWithoutResults) {
    ASSERT_EQ(doc->FillMessagesList(0), 0);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Warning|7|message 1|1", "Error|3|message 2|0",
                                                "Message|10|message 3|2", "Comment||message 5|3"}));
    EXPECT_EQ(list.ItemData(1), doc->Message(1));
    EXPECT_EQ(panels, std::vector<bool>{true});
    // Shown already: nothing is refilled; flag 2 makes the list forget and fill again.
    EXPECT_EQ(doc->FillMessagesList(0), 2);
    EXPECT_EQ(doc->FillMessagesList(2), 0);
    EXPECT_EQ(list.Count(), 4);

    // The records go with the results, and the rows that pointed at them go too.
    doc->ClearResults(1 | 8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(doc->FillMessagesList(0), 1);
    EXPECT_EQ(panels.back(), false);
    EXPECT_EQ(textCleared, 1);

    // The engine may hand out the freed handle number again: new results are listed anew.
    doc->resultsHandle = 9;
    fake.count = 1;
    EXPECT_EQ(doc->FillMessagesList(0), 0);
    EXPECT_EQ(rows(), std::vector<std::string>{"Warning|7|message 1|1"});

    TListView* none = nullptr;
    doc->resultsList = none;
    EXPECT_EQ(doc->FillMessagesList(0), -1);
    doc->resultsList = &list;
}

TEST_F(MessagesListTest, FillingFirstMovesLinesWithTheirBookmarks) {
    ASSERT_EQ(doc->FillMessagesList(0), 0);
    doc->memoSource->JumpTo(0, 0);
    doc->memoSource->InsertText("new\nnew\n");
    EXPECT_EQ(doc->FillMessagesList(3), 0);
    EXPECT_EQ(lineColumn(), (std::vector<std::string>{"9", "5", "12", ""}));
}

TEST_F(MessagesListTest, ColumnClicksSortAndToggleTheDirection) {
    ASSERT_EQ(doc->FillMessagesList(0), 0);
    struct Click {
        int column;
        std::vector<std::string> lines;
    };
    // A row without a line sorts as the largest line.
    const Click clicks[] = {
        {1, {"3", "7", "10", ""}}, {1, {"", "10", "7", "3"}},
        {0, {"3", "7", "10", ""}},                            // error, warning, message, comment
        {0, {"", "10", "7", "3"}}, {2, {"7", "3", "10", ""}}, // by text, ascending
        {7, {"7", "3", "10", ""}},                            // another column keeps the order
    };
    for (const Click& c : clicks) {
        EXPECT_EQ(doc->SortResults(c.column, 1), 0);
        EXPECT_EQ(lineColumn(), c.lines) << "column " << c.column << " state " << doc->sortState;
    }
    EXPECT_EQ(doc->SortResults(-1, 1), -1);

    // A refill keeps the chosen order.
    EXPECT_EQ(doc->SortResults(1, 1), 0);
    EXPECT_EQ(doc->FillMessagesList(2), 0);
    EXPECT_EQ(lineColumn(), (std::vector<std::string>{"3", "7", "10", ""}));
}
