#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "shellcontrols/ChangeHandlerThread.h"

namespace {

// A hidden window that only receives the thread's posts.
class TPostSink {
public:
    TPostSink() {
        Wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    ~TPostSink() { DestroyWindow(Wnd); }
    // The slot indexes of the change messages that arrive within Ms milliseconds.
    std::vector<WPARAM> Collect(DWORD Ms) {
        std::vector<WPARAM> Slots;
        DWORD Start = GetTickCount();
        while (GetTickCount() - Start < Ms) {
            MSG Msg;
            while (PeekMessageA(&Msg, Wnd, AMChangeNotify, AMChangeNotify, PM_REMOVE))
                Slots.push_back(Msg.wParam);
            Sleep(20);
        }
        return Slots;
    }
    HWND Wnd;
};

// Makes a file from another process, as another program would.
void MakeFileFromOutside(const std::string& Path) {
    std::string Cmd = "cmd.exe /c echo outside> \"" + Path + "\"";
    STARTUPINFOA Si{};
    Si.cb = sizeof(Si);
    PROCESS_INFORMATION Pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, Cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &Si, &Pi));
    WaitForSingleObject(Pi.hProcess, 20000);
    CloseHandle(Pi.hProcess);
    CloseHandle(Pi.hThread);
}

} // namespace

TEST(ChangeHandlerThread, AChangeMadeOutsidePostsTheSlot) {
    TShellTestFolder Dir({"a\\", "b\\"});
    TPostSink Sink;
    TChangeHandlerThread Thread(Sink.Wnd, AMChangeNotify);
    int SlotA = -1, SlotB = -1;
    ASSERT_TRUE(Thread.Add(Dir.Path("a"), FILE_NOTIFY_CHANGE_FILE_NAME, SlotA, false));
    ASSERT_TRUE(Thread.Add(Dir.Path("b"), FILE_NOTIFY_CHANGE_FILE_NAME, SlotB, false));
    EXPECT_EQ(SlotA, 0);
    EXPECT_EQ(SlotB, 1);
    EXPECT_EQ(Thread.WatchCount(), 2);

    MakeFileFromOutside(Dir.Path("b\\new.txt"));
    std::vector<WPARAM> Slots = Sink.Collect(1500);
    ASSERT_FALSE(Slots.empty());
    for (WPARAM S : Slots)
        EXPECT_EQ(S, 1u);

    // Re-armed: a second change is seen too.
    Dir.MakeFile("b\\second.txt");
    EXPECT_FALSE(Sink.Collect(1500).empty());

    Thread.RemoveAll();
    EXPECT_EQ(Thread.WatchCount(), 0);
    Dir.MakeFile("b\\third.txt");
    EXPECT_TRUE(Sink.Collect(500).empty());
}

TEST(ChangeHandlerThread, SlotsRunOutAfterSixtyThree) {
    TShellTestFolder Dir;
    TChangeHandlerThread Thread;
    int Slot = -1;
    for (int I = 0; I < TChangeHandlerThread::SlotCount; ++I)
        ASSERT_TRUE(Thread.Add(Dir.Root(), FILE_NOTIFY_CHANGE_DIR_NAME, Slot, true)) << I;
    EXPECT_EQ(Slot, 62);
    Slot = -7;
    EXPECT_FALSE(Thread.Add(Dir.Root(), FILE_NOTIFY_CHANGE_DIR_NAME, Slot, true));
    EXPECT_EQ(Slot, -1); // the worker answered: no slot
    Thread.RemoveAll();
    EXPECT_TRUE(Thread.Add(Dir.Root(), FILE_NOTIFY_CHANGE_DIR_NAME, Slot, true));
    EXPECT_EQ(Slot, 0);
}

TEST(ChangeHandlerThread, BadPathsAreRefusedAndAnIdleThreadStops) {
    TChangeHandlerThread Thread;
    int Slot = -1;
    EXPECT_FALSE(Thread.Add("", FILE_NOTIFY_CHANGE_FILE_NAME, Slot, false));
    EXPECT_FALSE(Thread.Add("Z:\\no\\such\\folder\\here", FILE_NOTIFY_CHANGE_FILE_NAME, Slot, false));
    Thread.RemoveAll();
    EXPECT_EQ(Thread.WatchCount(), 0);
}
