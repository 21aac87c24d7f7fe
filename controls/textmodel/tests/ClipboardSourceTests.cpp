#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "controls/textmodel/ClipboardSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
std::vector<UINT> gRecorded;

LRESULT CALLBACK RecorderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DRAWCLIPBOARD || msg == WM_CHANGECBCHAIN) {
        gRecorded.push_back(msg);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

// A clipboard viewer of its own, so the source finds it as the next window of the chain.
class RecorderWindow {
public:
    RecorderWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZELClipboardRecorder";
        RegisterClassA(&wc);
        wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                              nullptr);
        previous = SetClipboardViewer(wnd);
    }
    ~RecorderWindow() {
        ChangeClipboardChain(wnd, previous);
        DestroyWindow(wnd);
    }
    HWND wnd = nullptr;
    HWND previous = nullptr;
};
} // namespace

TEST(ClipboardSource, EachClipStartsOnANewLine) {
    TClipBoardSource s;
    s.Lines().Clear();
    EXPECT_EQ(s.ObjectName(), "Clipboard");
    EXPECT_FALSE(s.ChangeObjectName("other.txt"));
    EXPECT_EQ(s.ObjectName(), "Clipboard");
    s.CollectClip("first");
    s.CollectClip("two\r\nlines");
    s.CollectClip("last");
    EXPECT_EQ(Text(s), "first|two|lines|last");
}

TEST(ClipboardSource, OwnCopiesAreNotCollectedAndTheChainIsKept) {
    RecorderWindow recorder;
    ASSERT_NE(recorder.wnd, nullptr);
    TClipBoardSource s;
    ASSERT_NE(s.Handle(), nullptr);
    s.Lines().Clear();
    EXPECT_EQ(s.NextViewer(), recorder.wnd);

    gRecorded.clear();
    s.OwnCopy = true;
    SendMessageA(s.Handle(), WM_DRAWCLIPBOARD, 0, 0);
    EXPECT_EQ(s.GetStrCount(), 0);
    EXPECT_EQ(gRecorded, std::vector<UINT>{WM_DRAWCLIPBOARD}); // passed on down the chain

    // Another window leaves the chain: the notice goes on to the next viewer.
    SendMessageA(s.Handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
    EXPECT_EQ(gRecorded.size(), 2u);
    // The next viewer itself leaves: the source links to the one after it.
    SendMessageA(s.Handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(recorder.wnd),
                 reinterpret_cast<LPARAM>(recorder.previous));
    EXPECT_EQ(s.NextViewer(), recorder.previous);
    EXPECT_EQ(gRecorded.size(), 2u);
}
