#include <gtest/gtest.h>

#include <windows.h>

#include "spell/SpellBase.h"
#include "spell/SpellUtils.h"
#include "spell/WinApiControlParser.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

struct Window {
    HWND h;
    explicit Window(const char* cls, const std::string& text = std::string()) {
        h = CreateWindowExA(0, cls, text.c_str(),
                            WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                                WS_HSCROLL,
                            0, 0, 400, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (h)
            SendMessageA(h, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    }
    ~Window() {
        if (h)
            DestroyWindow(h);
    }
    std::string Text() const {
        int n = GetWindowTextLengthA(h);
        std::string s(static_cast<size_t>(n) + 1, '\0');
        GetWindowTextA(h, s.data(), n + 1);
        s.resize(static_cast<size_t>(n));
        return s;
    }
};

} // namespace

TEST(EditControlParser, KindFollowsTheClassName) {
    LoadLibraryA("riched20.dll");
    LoadLibraryA("riched32.dll");
    struct Case {
        const char* cls;
        int kind;
    } cases[] = {{"Edit", 0}, {"RichEdit20A", 2}, {"RICHEDIT", 1}};
    for (const Case& c : cases) {
        Window w(c.cls, "text");
        if (!w.h) {
            ADD_FAILURE() << "no window of class " << c.cls;
            continue;
        }
        TWinAPIControlParser p;
        p.Initialize(w.h);
        EXPECT_EQ(p.ControlKind(), c.kind) << c.cls;
    }
}

TEST(EditControlParser, ReadsWholeLongLinesAndStopsAtTheStart) {
    std::string longLine(20000, 'a');
    longLine[19999] = 'z';
    Window w("Edit", "x\r\n" + longLine + "\r\nend");
    ASSERT_TRUE(w.h);
    TWinAPIControlParser p;
    p.Initialize(w.h);
    EXPECT_FALSE(p.MovePrevious());
    int x, y;
    p.GetPosition(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    p.SetPosition(19999, 1, ptCurrent);
    EXPECT_EQ(p.GetChar(), 'z');
    EXPECT_EQ(p.GetLine().size(), 20002u);
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), '\r');
    EXPECT_TRUE(p.MoveNext());
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), 'e');
}

TEST(EditControlParser, CheckChangesTheControlsText) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    TempFolder tmp;
    Window w("Edit", "A tset line\r\nand a secnod one");
    ASSERT_TRUE(w.h);
    TOrthosSpell3Base spell(nullptr);
    UseDictionaries(spell, BuildDictionaryFolder(), tmp);
    std::vector<std::string> prompted;
    spell.OnPromptWord = [&](TObject*, const std::string& word, bool) {
        prompted.push_back(word);
        TStringList suggestions;
        spell.Suggest(word, &suggestions);
        if (suggestions.Count() > 0)
            spell.Check_Change(suggestions[0]);
        else
            spell.Check_Cancel();
    };
    EXPECT_EQ(spell.GetErrorCountWinControl(w.h, ctAll), 2);
    EXPECT_EQ(spell.GetWordCountWinControl(w.h, ctAll), 7);
    spell.CheckWinControl(w.h, ctAll);
    EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "secnod"}));
    EXPECT_EQ(w.Text(), "A test line\r\nand a second one");
}

TEST(DialogPlacement, FormBelowTheMonitorMovesUpOntoIt) {
    Window w("Edit");
    ASSERT_TRUE(w.h);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoA(MonitorFromWindow(w.h, MONITOR_DEFAULTTONEAREST), &mi);
    AdjustDialogPosition(w.h, 100, mi.rcMonitor.bottom + 50);
    RECT r{};
    GetWindowRect(w.h, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.bottom, mi.rcMonitor.bottom);
}
