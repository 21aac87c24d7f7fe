#include <gtest/gtest.h>

#include <cstring>

#include "TestRegistryKey.h"
#include "UiTestSupport.h"
#include "controls/foundation/HSCommon.h"
#include "framework/ui/ShellExec.h"

#include <shellapi.h>
#include <shlobj.h>

namespace {

TEST(HotStringsTest, WebAndMailWordsAreRecognised) {
    struct Case {
        const char* Text;
        bool Www, Mail;
    };
    const Case Cases[] = {
        {"www.example.org", true, false},
        {"HTTP://example.org", true, false},
        {"gopher://x", true, false},
        {"Ftp://files", true, false},
        {"https://example.org", false, false},
        {"MailTo:anyone", false, true},
        {"joe@example.org", false, true},
        {"joe_1@mail.example", false, true},
        {"joe@example", false, false},
        {"a@b@c.org", false, false},
        {"joe@", false, false},
        {"joe@.org", false, false},
        {"j.oe@example", false, false},
        {"plain", false, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(IsWWWString(C.Text), C.Www);
        EXPECT_EQ(IsEmailString(C.Text), C.Mail);
    }
    EXPECT_FALSE(IsStringHot("TODO"));
    Hscommon::OnHotString = [](const std::string& S) { return S == "TODO"; };
    EXPECT_TRUE(IsStringHot("TODO"));
    Hscommon::OnHotString = nullptr;

    std::string Opened;
    auto Old = SetShellExecuteFunc(
        [&](const std::string& Verb, const std::string& File, const std::string&, const std::string&, int) {
            Opened = Verb + " " + File;
            return true;
        });
    JumpToURL("http://example.org");
    SetShellExecuteFunc(Old);
    EXPECT_EQ(Opened, "open http://example.org");
}

class WindowPlacementTest : public UiTest {};

TEST_F(WindowPlacementTest, StoredPlacementRoundTripsAndIsKeptOnTheWorkArea) {
    TTestRegistryKey Key;
    TForm Form(nullptr);
    ReadWinPosFromReg(&Form, "Never"); // nothing stored: nothing changes
    EXPECT_EQ(Form.Width(), 320);
    Form.SetBounds(40, 50, 300, 200);
    Form.HandleNeeded();
    WriteWinPosToReg(&Form, "Sample");
    EXPECT_EQ(GetRegBufSize("Forms\\Sample\\WinPos"), 44);
    TForm Other(nullptr);
    ReadWinPosFromReg(&Other, "Sample");
    EXPECT_EQ(Other.Left(), 40);
    EXPECT_EQ(Other.Top(), 50);
    EXPECT_EQ(Other.Width(), 300);
    EXPECT_EQ(Other.Height(), 200);

    // A placement far off screen and absurdly large (another monitor, a damaged value).
    WINDOWPLACEMENT WP{};
    WP.length = sizeof(WP);
    WP.rcNormalPosition = RECT{30000, -20000, 90000, 40000};
    WriteBufToRegistry("Forms\\Bad\\WinPos", &WP, sizeof(WP));
    WriteToRegistry("Forms\\Bad\\WindowState", THSVariant(int32_t{77}));
    TForm Third(nullptr);
    ReadWinPosFromReg(&Third, "Bad");
    RECT Work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_GE(Third.Left(), Work.left);
    EXPECT_GE(Third.Top(), Work.top);
    EXPECT_LE(Third.Left() + Third.Width(), Work.right);
    EXPECT_LE(Third.Top() + Third.Height(), Work.bottom);
    EXPECT_EQ(Third.WindowState(), TWindowState::wsNormal);
}

// Builds the memory block the shell hands over with a drop of these names.
HGLOBAL MakeDrop(const std::vector<std::string>& Names) {
    size_t Size = sizeof(DROPFILES) + 1;
    for (const auto& N : Names)
        Size += N.size() + 1;
    HGLOBAL Mem = GlobalAlloc(GHND, Size);
    auto* DF = static_cast<DROPFILES*>(GlobalLock(Mem));
    DF->pFiles = sizeof(DROPFILES);
    DF->fWide = FALSE;
    char* P = reinterpret_cast<char*>(DF) + sizeof(DROPFILES);
    for (const auto& N : Names) {
        std::memcpy(P, N.c_str(), N.size() + 1);
        P += N.size() + 1;
    }
    *P = 0;
    GlobalUnlock(Mem);
    return Mem;
}

TEST_F(WindowPlacementTest, DroppedNamesKeepTheirFullLength) {
    std::string Long = "C:\\" + std::string(300, 'a') + "\\file.html";
    struct Case {
        const char* Name;
        bool Multiple;
        std::string Expected;
    };
    const Case Cases[] = {
        {"first only", false, "C:\\one.html"},
        {"all, joined", true, "C:\\one.html;" + Long + ";D:\\two.css"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TMessage Msg{WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\one.html", Long, "D:\\two.css"})),
                     0, 99};
        EXPECT_EQ(DropFiles(false, C.Multiple, ";", Msg), C.Expected);
        EXPECT_EQ(Msg.Result, 0);
    }
    // With FoldersOnly an existing file gives its folder; other names stay as they are.
    std::string File = OutputDir() + "\\dropped.txt";
    CloseHandle(CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    TMessage Msg{WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({File, "Z:\\no\\such.txt"})), 0, 0};
    EXPECT_EQ(DropFiles(true, true, "|", Msg), OutputDir() + "|Z:\\no\\such.txt");
}

TEST_F(WindowPlacementTest, FontMetricsComeFromThePlatform) {
    TFont Mono;
    Mono.SetName("Courier New");
    Mono.SetPitch(TFontPitch::fpFixed); // whatever fixed font the system has
    Mono.SetSize(10);
    TFont Prop;
    Prop.SetName("Arial");
    Prop.SetSize(10);
    EXPECT_TRUE(IsFontMonoSpaced(Mono));
    EXPECT_FALSE(IsFontMonoSpaced(Prop));
    EXPECT_GT(GetMaxFontHeight(Prop), 0);
    EXPECT_GE(GetMaxFontHeight(Prop), GetMinFontHeight(Prop));
    EXPECT_GE(GetMaxFontWidth(Prop), GetAveFontWidth(Prop));
}

} // namespace

namespace {

TEST(EditorWindowTest, SizeLimitsOfAnEditorWindow) {
    RECT Work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    int FW = GetSystemMetrics(SM_CXFRAME), FH = GetSystemMetrics(SM_CYFRAME);
    int W = Work.right - Work.left, H = Work.bottom - Work.top;
    MINMAXINFO Info{};
    Info.ptMaxSize = POINT{1, 1};
    TMessage Msg{WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info), 5};
    CalcEditorMinMaxInfo(Msg, nullptr, false);
    EXPECT_EQ(Info.ptMinTrackSize.x, 320);
    EXPECT_EQ(Info.ptMinTrackSize.y, 240);
    EXPECT_EQ(Msg.Result, 0);
    EXPECT_EQ(Info.ptMaxSize.x, 1); // without a form nothing else is set

    // A small window near the top maximises into the area below it.
    TControl Small(nullptr);
    Small.SetBounds(0, 0, 200, 100);
    CalcEditorMinMaxInfo(Msg, &Small, false);
    EXPECT_EQ(Info.ptMaxPosition.x, Work.left - FW);
    EXPECT_EQ(Info.ptMaxPosition.y, 100);
    EXPECT_EQ(Info.ptMaxSize.y, FH + H - 100);
    // With the flag it takes the whole work area, frame outside.
    CalcEditorMinMaxInfo(Msg, &Small, true);
    EXPECT_EQ(Info.ptMaxPosition.y, Work.top - FH);
    EXPECT_EQ(Info.ptMaxSize.x, W + 2 * FW);
    EXPECT_EQ(Info.ptMaxSize.y, H + 2 * FH);

    TCreateParams P;
    P.Style = WS_BORDER;
    UpdateParamsWithBorderStyle(P, TBorderStyle::bsSingle, true);
    EXPECT_EQ(P.Style & WS_BORDER, 0u);
    EXPECT_TRUE(P.ExStyle & WS_EX_CLIENTEDGE);
    TCreateParams Q;
    UpdateParamsWithBorderStyle(Q, TBorderStyle::bsSingle, false);
    EXPECT_TRUE(Q.Style & WS_BORDER);
    TCreateParams N;
    UpdateParamsWithBorderStyle(N, TBorderStyle::bsNone, true);
    EXPECT_EQ(N.Style, 0u);
    EXPECT_EQ(N.ExStyle, 0u);
}

} // namespace

namespace {

class HandleObjectTest : public UiTest {};

TEST_F(HandleObjectTest, PostedMessagesReachTheOwnerLaterOnTheSameThread) {
    TObject Owner;
    std::vector<UINT> Got;
    THSHandleObject H(&Owner, [&](TMessage& M) {
        if (M.Msg >= WM_USER) {
            Got.push_back(M.Msg);
            M.Result = 7;
        }
    });
    EXPECT_EQ(H.Owner(), &Owner);
    H.PostMsg(WM_USER + 1, 0, 0);
    EXPECT_TRUE(Got.empty()); // not yet: it waits in the queue
    Application->ProcessMessages();
    EXPECT_EQ(Got, (std::vector<UINT>{WM_USER + 1}));
    EXPECT_EQ(SendMessageA(H.Handle(), WM_USER + 2, 0, 0), 7);
    char Class[64] = {};
    GetClassNameA(H.Handle(), Class, sizeof(Class));
    EXPECT_STREQ(Class, "ClipboardClass");
}

} // namespace

TEST_F(WindowPlacementTest, UniqueNamesSkipTheNamesOfOpenForms) {
    EXPECT_EQ("Editor", FindUniqueName("Editor"));
    TForm First(nullptr);
    First.SetName("Editor");
    TForm Second(nullptr);
    Second.SetName("Editor_1");
    EXPECT_EQ("Editor_2", FindUniqueName("Editor"));
    EXPECT_EQ("editor_2", FindUniqueName("editor")); // names compare ignoring case
}
