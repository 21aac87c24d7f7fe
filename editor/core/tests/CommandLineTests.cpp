// The command line, the hand-over to a running copy and the command queue.
#include "CoreTestSupport.h"

#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"

#include <algorithm>

namespace {

// A window standing in for the running copy's hidden hand-over window.
LRESULT CALLBACK receiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ZelHandOverMessage) {
        ReceiveHandOverAtom(lParam);
        return 0;
    }
    if (message == WM_COPYDATA)
        return ReceiveHandOverCopyData(lParam) ? TRUE : FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeReceiver() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = receiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZelCoreTestReceiver";
    RegisterClassA(&wc);
    return CreateWindowA("ZelCoreTestReceiver", "receiver", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         wc.hInstance, nullptr);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

} // namespace

class CommandLineTest : public CoreTest {};

TEST_F(CommandLineTest, WordsQuotesAndTheWholeRemovalSwitch) {
    std::string rest = "  one.html \"C:\\My Pages\\two.html\"\tthree";
    EXPECT_EQ(NextCommandWord(rest), "one.html");
    EXPECT_EQ(NextCommandWord(rest), "C:\\My Pages\\two.html");
    EXPECT_EQ(NextCommandWord(rest), "three");
    EXPECT_EQ(NextCommandWord(rest), "");

    struct Case {
        const char* line;
        bool removes;
    } cases[] = {{"-x", true},   {"-X", true},     {" -x ", true},          {"-xmas.html", false},
                 {"-x1", false}, {"\"-x\"", true}, {"page.html -x", false}, {"-", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsRemoveAssociationsSwitch(c.line), c.removes) << c.line;
    EXPECT_EQ(JoinCommandLine({"a.html", "C:\\My Pages\\b.html"}), "a.html \"C:\\My Pages\\b.html\"");
}

TEST_F(CommandLineTest, ParseQueuesFilesAndRemovesAssociationsOnlyForTheSwitch) {
    p = new prgclass;
    int removed = 0;
    EditorLink().RemoveFileAssociations = [&] { ++removed; };
    EXPECT_EQ(ParseCommandLine(nullptr, "-xmas.html"), 1);
    EXPECT_EQ(removed, 0);
    ASSERT_EQ(p->vol->commandQueue.Count(), 1);
    EXPECT_STREQ(p->vol->commandQueue.GetText(0), "-xmas.html");
    EXPECT_EQ(ParseCommandLine(nullptr, "-X"), 0);
    EXPECT_EQ(removed, 1);
}

TEST_F(CommandLineTest, QueueOpensFilesAndRunsSwitches) {
    p = new prgclass;
    std::vector<std::string> log;
    TEditorLink& link = EditorLink();
    link.AddNewFileTab = [&](const std::string& f) { log.push_back("open " + f); };
    link.BringToFront = [&] { log.push_back("front"); };
    link.OptionsHTMLConfigurationEditorClick = [&] { log.push_back("config editor"); };
    link.AddFileAssociations = [&] { log.push_back("associate"); };
    StringArrayStore& q = p->vol->commandQueue;
    q.Add("a.html \"C:\\My Pages\\b.html\"", StringArrayStore::AddAtEnd);
    q.Add("-LinkCheckMessage", StringArrayStore::AddAtEnd);
    q.Add("-2", StringArrayStore::AddAtEnd);
    q.Add("-6", StringArrayStore::AddAtEnd);
    q.Add("-bringtofront", StringArrayStore::AddAtEnd);
    EXPECT_EQ(ProcessCommandQueue(q), 0);
    EXPECT_EQ(q.Count(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"front", "open a.html", "open C:\\My Pages\\b.html", "front",
                                             "config editor", "associate", "front"}));
}

TEST_F(CommandLineTest, HandOverShortLinesAsAtomsAndLongOnesWhole) {
    p = new prgclass;
    HWND receiver = makeReceiver();
    ASSERT_NE(receiver, nullptr);
    EXPECT_EQ(HandOverCommandLine(nullptr, "x.html"), HandOverNoCopy);
    EXPECT_EQ(HandOverCommandLine(receiver, "  "), HandOverDone);
    EXPECT_EQ(HandOverCommandLine(receiver, "short.html"), HandOverDone);
    std::string longLine;
    for (int i = 0; i < 12; ++i)
        longLine += "\"C:\\A folder with a long name\\page number " + std::to_string(i) + ".html\" ";
    ASSERT_GT(longLine.size(), 255u);
    EXPECT_EQ(HandOverCommandLine(receiver, longLine.c_str()), HandOverDone);
    pump();
    StringArrayStore& q = p->vol->commandQueue;
    ASSERT_EQ(q.Count(), 3);
    // The long line arrives at once (sent), the atoms when the receiver's queue is worked.
    std::vector<std::string> got{q.GetText(0), q.GetText(1), q.GetText(2)};
    std::sort(got.begin(), got.end());
    std::vector<std::string> want{"-BringToFront", "short.html", longLine};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);

    // A receiver that is closing takes nothing, and the sender hears so.
    p->vol->closing = 1;
    EXPECT_EQ(HandOverCommandLine(receiver, longLine.c_str()), HandOverFailed);
    DestroyWindow(receiver);
    EXPECT_EQ(HandOverCommandLine(receiver, "gone.html"), HandOverFailed);
}
