// The command line, the hand-over to a running copy and the command queue.
#include "CoreTestSupport.h"

#include "editor/core/CommandLine.h"
#include "editor/core/EditorLink.h"
#include "editor/core/FileAssociations.h"
#include "framework/core/ScopeGuard.h"

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

// The files a queued line opens are every word of it unless it starts with a switch; the start-up
// reads ahead exactly these.
TEST_F(CommandLineTest, FilesOfALineAreItsWordsUnlessItStartsWithASwitch) {
    using Files = std::vector<std::string>;
    struct Case {
        const char* line;
        Files files;
    } cases[] = {
        {"a.html \"C:\\My Pages\\b.html\"", {"a.html", "C:\\My Pages\\b.html"}},
        {"-xmas.html", {"-xmas.html"}},
        {"page.html -x", {"page.html", "-x"}},
        {"-x", {}},
        {"-X page.html", {}},
        {"-1", {}},
        {"-6", {}},
        {"-bringtofront", {}},
        {"-LinkCheckMessage a.html", {}},
        {"  ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineFiles(c.line), c.files) << c.line;
}

// Start-up names the files of its line in full, from the folder it was started in: the running
// copy that a second start hands the line to works in another folder.
TEST_F(CommandLineTest, FilesAreNamedInFullFromTheStartFolder) {
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    TScopeGuard restore([&] { SetCurrentDirectoryA(saved); });
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    struct Case {
        const char* line;
        const char* full;
    } cases[] = {
        {"page.html", "C:\\windows\\page.html"},
        {"sub/../a.html \"My Pages/b.html\"", "C:\\windows\\a.html \"C:\\windows\\My Pages\\b.html\""},
        {"C:/site/index.html", "C:\\site\\index.html"},
        {"D:\\x.html", "D:\\x.html"},
        {"http://example.org/a.html", "http://example.org/a.html"},
        {"-x", "-x"},
        {"-1", "-1"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithFullPathNames(c.line), c.full) << c.line;
}

TEST_F(CommandLineTest, ParseQueuesFilesAndRemovesAssociationsOnlyForTheSwitch) {
    p = new prgclass;
    const std::string sandbox = "Software\\ZEL Command Line Association Tests";
    RegDeleteTreeA(HKEY_CURRENT_USER, sandbox.c_str());
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ZelRegistryRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\ZEL"), 7);
    RegSetValueExA(key, "EditorEXE", 0, REG_SZ, reinterpret_cast<const BYTE*>("zel.exe"), 8);
    RegCloseKey(key);
    const AssociationRoot saved = SetAssociationRoot({HKEY_CURRENT_USER, sandbox + "\\"});
    ASSERT_EQ(AddAssociation(".htm", ZelEditMenuText, "C:\\ZEL\\zel.exe", "\"%1\"", "htmlfile", ZelEditVerb,
                             "Hypertext Document"),
              1);
    auto verbThere = [&] {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (sandbox + "\\htmlfile\\shell\\EditZELLite").c_str(), 0,
                          KEY_READ, &h) != ERROR_SUCCESS)
            return false;
        RegCloseKey(h);
        return true;
    };

    EXPECT_EQ(ParseCommandLine(nullptr, "-xmas.html"), 1);
    EXPECT_TRUE(verbThere());
    ASSERT_EQ(p->vol->commandQueue.Count(), 1);
    EXPECT_STREQ(p->vol->commandQueue.GetText(0), "-xmas.html");
    EXPECT_EQ(ParseCommandLine(nullptr, "-X"), 0);
    EXPECT_FALSE(verbThere());
    EXPECT_TRUE(boxes.empty()) << "a removal from the command line that succeeds shows nothing";
    SetAssociationRoot(saved);
    RegDeleteTreeA(HKEY_CURRENT_USER, sandbox.c_str());
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
