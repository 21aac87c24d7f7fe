// Start-up stages that end the start before any engine is loaded, and the form placement helper.
#include "CoreTestSupport.h"

#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/ProgramStages.h"
#include "editor/core/Settings.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class StageTest : public CoreTest {};

// The engine's options dialog or configuration editor open: the start ends with 10, after the box,
// and the window is brought forward.
TEST_F(StageTest, EngineWindowOpenEndsTheStart) {
    p = new prgclass;
    HWND editor = CreateWindowA("STATIC", "ZEL Orvalent Vantage Configuration Editor", WS_OVERLAPPED, 0, 0,
                                10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(editor, nullptr);
    int32_t stop = 0;
    EXPECT_EQ(PrepareStartup("page.html", nullptr, false, &stop, TProgramWindows{}), ExitEngineWindowsOpen);
    EXPECT_EQ(stop, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvalent: Close Window First");
    EXPECT_EQ(boxes[0].style, 0x10040u);
    EXPECT_EQ(p->vol->commandQueue.Count(), 0);
    DestroyWindow(editor);
}

// A settings key that cannot be opened ends the start with 1, and the box names the key.
TEST_F(StageTest, UnreadableSettingsAreNamedInTheBox) {
    UnopenableSettingsKey tools;
    if (!tools.made)
        GTEST_SKIP() << "registry links are not available here";
    p = new prgclass;
    int32_t stop = 0;
    const int32_t code = PrepareStartup("", nullptr, false, &stop, TProgramWindows{});
    // Whatever the platform makes of the link, a failure is never silent.
    if (code == 0) {
        EXPECT_TRUE(boxes.empty());
        GTEST_SKIP() << "the platform opened the key through the link";
    }
    EXPECT_EQ(code, ExitSettingsUnreadable);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvalent: Settings Could Not Be Read");
    EXPECT_NE(boxes[0].text.find("Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Tools"),
              std::string::npos)
        << boxes[0].text;
    ASSERT_FALSE(SettingsReadFailures().empty());
}

TEST_F(StageTest, FormsAreKeptOnTheScreen) {
    struct Case {
        int32_t left, top, width, height, wantLeft, wantTop;
    } cases[] = {
        {100, 5000, 300, 200, 100, 568}, // at or below the screen's height: moved up by its height
        {-40, 10, 300, 200, 0, 10},      // left of the screen
        {2000, -5, 300, 200, 724, 0},
        {10, 20, 300, 200, 10, 20},
    };
    for (const Case& c : cases) {
        int32_t l = c.left, t = c.top;
        FitRectToScreen(l, t, c.width, c.height, 1024, 768);
        EXPECT_EQ(l, c.wantLeft);
        EXPECT_EQ(t, c.wantTop);
    }
    // While the program closes, window states are left alone.
    p = new prgclass;
    p->vol->closing = 1;
    EXPECT_EQ(SetFormWindowState(nullptr, 2), -1);
    EXPECT_EQ(SafeSetFocus(nullptr), 0);
}

TEST_F(StageTest, ValidatingStatusOnOneOrAllStatusControls) {
    TLabel one(nullptr), two(nullptr);
    EXPECT_EQ(SetValidatingStatus(&one, 0), 1);
    EXPECT_EQ(one.Caption(), "Validating...");
    EditorLink().StatusControls = [&] { return std::vector<TControl*>{&one, &two}; };
    EXPECT_EQ(SetValidatingStatus(nullptr, 1 | 2), 0);
    EXPECT_EQ(one.Caption(), "A problem occurred.");
    EXPECT_EQ(two.Caption(), "A problem occurred.");
}

// F2 belongs to the editor while the hot key is on, and is free again once it is off.
TEST_F(StageTest, HotKeyTakesF2AndGivesItBack) {
    HWND mine =
        CreateWindowA("STATIC", "editor", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND other =
        CreateWindowA("STATIC", "other", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(mine && other);
    EXPECT_EQ(EnableHotKey(mine, 1), 1);
    const bool takenByOther = RegisterHotKey(other, 7, 0, VK_F2) != 0;
    if (takenByOther) {
        UnregisterHotKey(other, 7);
        EnableHotKey(mine, 0);
        DestroyWindow(mine);
        DestroyWindow(other);
        GTEST_SKIP() << "this platform does not keep global hot keys apart";
    }
    EXPECT_EQ(EnableHotKey(mine, 0), 1);
    EXPECT_TRUE(RegisterHotKey(other, 7, 0, VK_F2)) << "F2 is free once the editor let it go";
    UnregisterHotKey(other, 7);
    DestroyWindow(mine);
    DestroyWindow(other);
}

// Window states go through system commands; restoring a normal form sends nothing, and while the
// program closes nothing changes.
TEST_F(StageTest, WindowStatesThroughSystemCommands) {
    p = new prgclass;
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    form.Show();
    EXPECT_EQ(SetFormWindowState(&form, 0), 0);
    EXPECT_FALSE(IsZoomed(form.Handle()));
    EXPECT_EQ(SetFormWindowState(&form, 2), 0);
    EXPECT_TRUE(IsZoomed(form.Handle()));
    p->vol->closing = 1;
    EXPECT_EQ(SetFormWindowState(&form, 0), 0);
    EXPECT_TRUE(IsZoomed(form.Handle())) << "ignored while closing";
    p->vol->closing = 0;
    EXPECT_EQ(SetFormWindowState(&form, 0), 0);
    EXPECT_FALSE(IsZoomed(form.Handle()));
    form.Hide();
}
