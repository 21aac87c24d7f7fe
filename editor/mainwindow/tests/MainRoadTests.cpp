// The first minute of a user, against the real zel.exe: start it on a page with known faults from
// an installed program folder, edit, validate, walk the messages, save, close. Everything is done
// from outside, through the windows the program shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ProcessDriver.h"
#include "engine/tests/LockHolderProcess.h"
#include "framework/ui/PngWriter.h"

namespace fs = std::filesystem;

namespace {

const char* const kRegistryKey = "Software\\Nortavia\\ZEL Orvalent Lite v2";

std::string OwnFolder() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    return fs::path(Path).parent_path().string();
}

std::string ReadFile(const fs::path& Name) {
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

void WriteFile(const fs::path& Name, const std::string& Data) {
    std::ofstream Out(Name, std::ios::binary);
    Out << Data;
}

void SetRegistryString(const char* Key, const char* Name, const std::string& Value) {
    HKEY K;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &K, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(K, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>(Value.size() + 1));
    RegCloseKey(K);
}

std::string RegistryString(const std::string& Key, const char* Name) {
    char Buffer[1024] = {};
    DWORD Size = sizeof Buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, Key.c_str(), Name, RRF_RT_REG_SZ, nullptr, Buffer, &Size) !=
        ERROR_SUCCESS)
        return {};
    return Buffer;
}

// A page with faults the engine finds: an unknown element, an element closed in the wrong order and
// an image without its alternative text. One line ends with LF alone; saving must keep it so.
const std::string kPage = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n"
                          "<html>\r\n"
                          "<head><title>Faults</title></head>\r\n"
                          "<body>\n"
                          "<p>One <b>two</p></b>\r\n"
                          "<blink2>unknown</blink2>\r\n"
                          "<img src=\"a.png\">\r\n"
                          "</body>\r\n"
                          "</html>\r\n";

// The window as the screen shows it, top row first, 4 bytes (blue, green, red, unused) a pixel.
std::vector<uint8_t> ScreenPixels(HWND Wnd, int& W, int& H) {
    RECT R;
    GetWindowRect(Wnd, &R);
    W = R.right - R.left;
    H = R.bottom - R.top;
    if (W <= 0 || H <= 0)
        return {};
    HDC Screen = GetDC(nullptr);
    HDC Mem = CreateCompatibleDC(Screen);
    HBITMAP Bmp = CreateCompatibleBitmap(Screen, W, H);
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    BitBlt(Mem, 0, 0, W, H, Screen, R.left, R.top, SRCCOPY);
    SelectObject(Mem, Old);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> Bgra(static_cast<size_t>(W) * H * 4);
    GetDIBits(Mem, Bmp, 0, static_cast<UINT>(H), Bgra.data(), &Info, DIB_RGB_COLORS);
    DeleteObject(Bmp);
    DeleteDC(Mem);
    ReleaseDC(nullptr, Screen);
    return Bgra;
}

void SavePng(const std::vector<uint8_t>& Bgra, int W, int H, const fs::path& File) {
    std::vector<uint8_t> Rgb(static_cast<size_t>(W) * H * 3);
    for (size_t I = 0, N = static_cast<size_t>(W) * H; I < N; ++I) {
        Rgb[I * 3] = Bgra[I * 4 + 2];
        Rgb[I * 3 + 1] = Bgra[I * 4 + 1];
        Rgb[I * 3 + 2] = Bgra[I * 4];
    }
    std::vector<uint8_t> Png = EncodePng(W, H, Rgb);
    std::ofstream(File, std::ios::binary)
        .write(reinterpret_cast<const char*>(Png.data()), static_cast<std::streamsize>(Png.size()));
}

// Copies the window as the screen shows it into a PNG file.
void Screenshot(HWND Wnd, const fs::path& File) {
    int W, H;
    std::vector<uint8_t> Bgra = ScreenPixels(Wnd, W, H);
    if (!Bgra.empty())
        SavePng(Bgra, W, H, File);
}

class MainRoad : public ::testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() / "zel-main-road";
        std::error_code Ec;
        fs::remove_all(Root, Ec);
        Program = Root / "Program Files" / "ZEL";
        Work = Root / "work";
        fs::create_directories(Program);
        fs::create_directories(Work);
        // What an installer puts in the program folder, and the values it writes.
        for (const char* F : {"zel.exe", "zelvalidatorliteV30.dll", "orvalenlite30.cfg", "taginsertercfg.txt",
                              "cssinsertercfg.txt"}) {
            fs::path From = fs::path(OwnFolder()) / F;
            if (fs::exists(From))
                fs::copy_file(From, Program / F, fs::copy_options::overwrite_existing);
        }
        ASSERT_TRUE(fs::exists(Program / "zel.exe"));
        SetRegistryString(kRegistryKey, "InstallDirV30", Program.string());
        SetRegistryString(kRegistryKey, "EditorEXE", (Program / "zel.exe").string());
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kRegistryKey) + "\\Editor\\Reopen").c_str());
        BoxLog = Work / "boxes.log";
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", BoxLog.string().c_str());
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_ANSWER", "yes");
    }
    void TearDown() override {
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", nullptr);
        SetEnvironmentVariableA("ZEL_MESSAGE_BOX_ANSWER", nullptr);
        Driver.Kill();
    }
    std::string Boxes() { return ReadFile(BoxLog); }
    // Starts the program on one page; its main window, or none when it did not come up named
    // after the page.
    HWND StartOn(const fs::path& Page) {
        if (!Driver.Start((Program / "zel.exe").string(), "\"" + Page.string() + "\"", Work.string()))
            return nullptr;
        return Driver.WaitForTopWindow(
            [&](const std::string& Caption, const std::string&) {
                return Caption == "ZEL Orvalent Lite v3.00 - " + Page.string();
            },
            30000);
    }

    fs::path Root, Program, Work, BoxLog;
    TProcessDriver Driver;
};

TEST_F(MainRoad, OpenEditValidateWalkSaveClose) {
    fs::path Page = Work / "page.html";
    WriteFile(Page, kPage);
    // Named with forward slashes, as a Unix shell hands a path over: the program names it in the
    // platform's own form everywhere.
    std::string Slashed = Page.string();
    std::replace(Slashed.begin(), Slashed.end(), '\\', '/');
    ASSERT_TRUE(Driver.Start((Program / "zel.exe").string(), "\"" + Slashed + "\"", Work.string()));

    // 1. The window comes up with the page.
    HWND Main = Driver.WaitForTopWindow(
        [&](const std::string& Caption, const std::string&) {
            return Caption == "ZEL Orvalent Lite v3.00 - " + Page.string();
        },
        30000);
    ASSERT_NE(Main, nullptr) << Boxes();
    HWND Memo = TProcessDriver::LargestChild(Main, "THSMemo");
    HWND Status = TProcessDriver::LargestChild(Main, "TStatusBar");
    HWND Tabs = TProcessDriver::LargestChild(Main, "TTabControl");
    ASSERT_NE(Memo, nullptr);
    ASSERT_NE(Status, nullptr);
    ASSERT_NE(Tabs, nullptr);
    ASSERT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.TabText(Tabs, 0) == "page.html"; }, 10000))
        << Driver.TabText(Tabs, 0);
    EXPECT_EQ(Driver.TabCount(Tabs), 1) << "the automatic untitled document goes when a file opens";
    EXPECT_EQ(Driver.StatusText(Status, 2), "UNCHANGED");

    // 2. An edit at the start of the text marks the document changed.
    const std::string Edit = "<!-- edited -->";
    TProcessDriver::PostChars(Memo, Edit);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 2) == "CHANGED"; }, 10000))
        << Driver.StatusText(Status, 2);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.TabText(Tabs, 0) == "page.html**"; }, 10000))
        << Driver.TabText(Tabs, 0);
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] { return Driver.StatusText(Status, 0) == "1: " + std::to_string(Edit.size() + 1); }, 10000))
        << Driver.StatusText(Status, 0);

    // 3. F6 validates: the list fills and the status bar counts.
    TProcessDriver::PostKey(Memo, VK_F6);
    HWND List = nullptr;
    ASSERT_TRUE(TProcessDriver::WaitUntil(
        [&] {
            List = TProcessDriver::LargestChild(Main, "TListView");
            return List && Driver.ListCount(List) > 0;
        },
        30000))
        << Boxes();
    std::string Counts = Driver.StatusText(Status, 3);
    EXPECT_NE(Counts.find(" error"), std::string::npos) << Counts;
    EXPECT_NE(Counts.find(" warning"), std::string::npos) << Counts;
    int Rows = Driver.ListCount(List);
    std::ostringstream Seen;
    bool SawError = false, SawUnknown = false;
    for (int R = 0; R < Rows; ++R) {
        std::string Kind = Driver.ListText(List, R, 0), Line = Driver.ListText(List, R, 1),
                    Text = Driver.ListText(List, R, 2);
        Seen << Kind << " | " << Line << " | " << Text << "\n";
        SawError |= Kind == "Error";
        SawUnknown |= Line == "6" && Text.find("blink2") != std::string::npos;
        EXPECT_TRUE(Kind == "Error" || Kind == "Warning" || Kind == "Comment" || Kind == "Message") << Kind;
    }
    EXPECT_TRUE(SawError) << Seen.str();
    EXPECT_TRUE(SawUnknown) << Seen.str();
    // The first error or warning is chosen at once and the editor stands on its line.
    int First = Driver.ListSelected(List);
    ASSERT_GE(First, 0) << Seen.str();
    std::string FirstLine = Driver.ListText(List, First, 1);
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] { return Driver.StatusText(Status, 0).rfind(FirstLine + ": ", 0) == 0; }, 10000))
        << Driver.StatusText(Status, 0) << " for line " << FirstLine;

    // 4. Choosing the unknown element's message moves the caret to its line.
    int Unknown = -1;
    for (int R = 0; R < Rows; ++R)
        if (Driver.ListText(List, R, 1) == "6" &&
            Driver.ListText(List, R, 2).find("blink2") != std::string::npos)
            Unknown = R;
    ASSERT_GE(Unknown, 0);
    ASSERT_TRUE(Driver.ListSelect(List, Unknown));
    EXPECT_TRUE(
        TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 0).rfind("6: ", 0) == 0; }, 10000))
        << Driver.StatusText(Status, 0);
    // Next and previous message walk the list, wrapping at its ends.
    TProcessDriver::SendChord(Main, VK_MENU, VK_DOWN);
    int After = (Unknown + 1) % Rows;
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.ListSelected(List) == After; }, 10000))
        << Driver.ListSelected(List);
    TProcessDriver::SendChord(Main, VK_MENU, VK_UP);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.ListSelected(List) == Unknown; }, 10000))
        << Driver.ListSelected(List);

    // The results pane offers the Messages sheet alone, and what shows there is the list itself:
    // the window under the middle of the list's rectangle belongs to the list.
    HWND Pages = nullptr;
    for (HWND H : TProcessDriver::Children(Main, "TPageControl", true))
        if (IsChild(H, List))
            Pages = H;
    ASSERT_NE(Pages, nullptr);
    EXPECT_EQ(Driver.TabCount(Pages), 1);
    EXPECT_EQ(Driver.TabText(Pages, 0), "Messages");
    EXPECT_EQ(TProcessDriver::TabSelected(Pages), 0);
    auto ListIsOnTop = [&] {
        RECT R;
        GetWindowRect(List, &R);
        POINT Middle{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
        HWND Seen = WindowFromPoint(Middle);
        return Seen == List || IsChild(List, Seen);
    };
    EXPECT_TRUE(IsWindowVisible(List));
    EXPECT_TRUE(TProcessDriver::WaitUntil(ListIsOnTop, 5000)) << "another window covers the messages list";
    for (HWND T : TProcessDriver::Children(Main, "THSTree", true))
        ADD_FAILURE() << "a results tree shows beside the Messages sheet: " << T;
    ASSERT_TRUE(Driver.ListSelect(List, After));
    ASSERT_TRUE(Driver.ListSelect(List, Unknown));
    EXPECT_TRUE(
        TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 0).rfind("6: ", 0) == 0; }, 10000))
        << Driver.StatusText(Status, 0);

    fs::path Shots = fs::path(OwnFolder()).parent_path() / "test-output" / "mainwindow";
    fs::create_directories(Shots);
    // The picture is taken once the program has painted what the last selection changed.
    DWORD_PTR Ignored = 0;
    SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Ignored);
    TProcessDriver::WaitUntil([] { return false; }, 500);
    Screenshot(Main, Shots / "main_road.png");

    // 5. Save: the edit and, byte for byte, the rest with its line ends.
    TProcessDriver::SendChord(Main, VK_CONTROL, 'S');
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return ReadFile(Page) == Edit + kPage; }, 10000))
        << ReadFile(Page);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.TabText(Tabs, 0) == "page.html"; }, 10000));
    EXPECT_TRUE(
        TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 2) == "UNCHANGED"; }, 10000));

    // 6. Another edit, then close: the question comes, "yes" saves, and the program ends with 0.
    TProcessDriver::PostChars(Memo, "!");
    ASSERT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 2) == "CHANGED"; }, 10000));
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 1234;
    ASSERT_TRUE(Driver.WaitForExit(30000, Code)) << Boxes();
    EXPECT_EQ(Code, 0u) << Boxes();
    std::string Log = Boxes();
    EXPECT_EQ(Log.find("Unrecognized File Type"), std::string::npos)
        << "a page.html is a known kind: " << Log;
    EXPECT_NE(Log.find("Orvalent: Save Changes?\tSave changes to \"" + Page.string() + "\"?"),
              std::string::npos)
        << Log;
    // The "!" went in where the chosen message put the caret: on line 6.
    std::string Saved = ReadFile(Page);
    bool OnLine6 = false;
    for (size_t I = 0; I < Saved.size() && !OnLine6; ++I)
        OnLine6 = Saved[I] == '!' && std::string(Saved).erase(I, 1) == Edit + kPage &&
                  std::count(Saved.begin(), Saved.begin() + static_cast<long>(I), '\n') == 5;
    EXPECT_TRUE(OnLine6) << Saved;
    EXPECT_EQ(RegistryString(std::string(kRegistryKey) + "\\Editor\\Reopen", "String0"), Page.string());
}

// Another program holds the engine's run lock (a real second process): F6 leaves the editor
// alive, answering and painting while the status bar says what it waits for; Esc gives up. Once
// that program is killed inside its hold, F6 validates.
TEST_F(MainRoad, ValidationWaitingForAnotherProgramKeepsTheWindowAliveAndEscGivesUp) {
    fs::path Page = Work / "page.html";
    WriteFile(Page, kPage);
    HWND Main = StartOn(Page);
    ASSERT_NE(Main, nullptr) << Boxes();
    HWND Memo = TProcessDriver::LargestChild(Main, "THSMemo");
    HWND Status = TProcessDriver::LargestChild(Main, "TStatusBar");
    ASSERT_NE(Memo, nullptr);
    ASSERT_NE(Status, nullptr);
    auto StatusShows = [&](const std::string& Text) {
        for (int Panel = 0; Panel < 5; ++Panel)
            if (Driver.StatusText(Status, Panel).find(Text) != std::string::npos)
                return true;
        return false;
    };

    LockHolder Holder("run");
    ASSERT_TRUE(Holder.holding());
    TProcessDriver::PostKey(Memo, VK_F6);
    ASSERT_TRUE(TProcessDriver::WaitUntil([&] { return StatusShows("Waiting for another program"); }, 30000))
        << Boxes();
    DWORD_PTR Ignored = 0;
    EXPECT_NE(SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Ignored), 0)
        << "the window does not answer while the run waits";
    RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return GetUpdateRect(Main, nullptr, FALSE) == FALSE; }, 5000))
        << "the window is not painted while the run waits";
    fs::path Shots = fs::path(OwnFolder()).parent_path() / "test-output" / "mainwindow";
    fs::create_directories(Shots);
    Screenshot(Main, Shots / "main_road_waiting_for_engine.png");

    TProcessDriver::PostKey(Memo, VK_ESCAPE);
    // Given up: the wait ends while the other program still holds the lock, with no results.
    // The status line keeps saying so: a cancel is not a failure.
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return StatusShows("Validation cancelled."); }, 10000));
    EXPECT_FALSE(StatusShows("Waiting for another program"));
    EXPECT_FALSE(StatusShows("A problem occurred."));
    HWND Empty = TProcessDriver::LargestChild(Main, "TListView");
    EXPECT_TRUE(!Empty || Driver.ListCount(Empty) == 0);
    EXPECT_EQ(Boxes(), "");

    Holder.kill();
    TProcessDriver::PostKey(Memo, VK_F6);
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] {
            HWND List = TProcessDriver::LargestChild(Main, "TListView");
            return List && Driver.ListCount(List) > 0;
        },
        30000))
        << Boxes();
}

TEST_F(MainRoad, FailedSaveIsReportedAndKeepsTheDocumentChanged) {
    fs::path Page = Work / "locked.html";
    WriteFile(Page, kPage);
    HWND Main = StartOn(Page);
    ASSERT_NE(Main, nullptr) << Boxes();
    HWND Memo = TProcessDriver::LargestChild(Main, "THSMemo");
    HWND Status = TProcessDriver::LargestChild(Main, "TStatusBar");
    ASSERT_NE(Memo, nullptr);
    TProcessDriver::PostChars(Memo, "x");
    ASSERT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.StatusText(Status, 2) == "CHANGED"; }, 10000));
    // A folder now stands where the file was: no write can succeed, whoever runs the test.
    fs::remove(Page);
    fs::create_directory(Page);
    TProcessDriver::SendChord(Main, VK_CONTROL, 'S');
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] { return Boxes().find("Orvalent: Error\tError saving \"locked.html\"") != std::string::npos; },
        10000))
        << Boxes();
    EXPECT_EQ(Driver.StatusText(Status, 2), "CHANGED");
    EXPECT_EQ(Driver.StatusText(Status, 3).rfind("Error saving", 0), 0u) << Driver.StatusText(Status, 3);
    EXPECT_TRUE(fs::is_directory(Page));
    // Closing asks to save; the save fails again, so the program keeps running.
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 0;
    EXPECT_FALSE(Driver.WaitForExit(3000, Code)) << "a refused close must keep the program";
    Driver.Kill();
}

// Every shown window of Main has painted all it was asked to repaint, and the program is idle.
bool PaintedAll(HWND Main) {
    DWORD_PTR Ignored = 0;
    SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Ignored);
    return TProcessDriver::NothingToPaint(Main);
}

// What the screen shows of the views once Main has painted, and what a repaint of everything from
// scratch shows then: the two differ where a view was left undrawn or half drawn. The blinking caret
// is left out. On a difference both pictures of the window are kept beside the test's output.
void ExpectSameAsRepaintedWhole(HWND Main, const std::vector<HWND>& Views, const std::string& Name) {
    // Painted, and then given the time the window system takes to bring a painted window to the
    // screen.
    auto Settled = [&] {
        bool Done = TProcessDriver::WaitUntil([&] { return PaintedAll(Main); }, 10000);
        TProcessDriver::WaitUntil([] { return false; }, 500);
        return Done;
    };
    ASSERT_TRUE(Settled());
    int W, H, W2, H2;
    std::vector<uint8_t> Shown = ScreenPixels(Main, W, H);
    RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    ASSERT_TRUE(Settled());
    std::vector<uint8_t> Whole = ScreenPixels(Main, W2, H2);
    ASSERT_TRUE(W == W2 && H == H2 && !Shown.empty());
    RECT Frame;
    GetWindowRect(Main, &Frame);
    // Rectangles in the window's picture.
    auto InPicture = [&](RECT R) {
        OffsetRect(&R, -Frame.left, -Frame.top);
        return R;
    };
    RECT Caret{};
    GUITHREADINFO Info{};
    Info.cbSize = sizeof Info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(Main, nullptr), &Info) && Info.hwndCaret) {
        Caret = Info.rcCaret;
        MapWindowPoints(Info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&Caret), 2);
        Caret = InPicture(Caret);
        InflateRect(&Caret, 2, 2);
    }
    std::vector<RECT> Compared;
    for (HWND V : Views) {
        RECT R;
        GetWindowRect(V, &R);
        Compared.push_back(InPicture(R));
    }
    int Differ = 0;
    RECT Where{W, H, -1, -1};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            POINT P{X, Y};
            size_t I = (static_cast<size_t>(Y) * W + X) * 4;
            if (PtInRect(&Caret, P) ||
                std::none_of(Compared.begin(), Compared.end(),
                             [&](const RECT& R) { return PtInRect(&R, P); }) ||
                std::equal(&Shown[I], &Shown[I] + 3, &Whole[I]))
                continue;
            ++Differ;
            Where = {std::min<LONG>(Where.left, X), std::min<LONG>(Where.top, Y),
                     std::max<LONG>(Where.right, X), std::max<LONG>(Where.bottom, Y)};
        }
    if (Differ > 0) {
        fs::path Shots = fs::path(OwnFolder()).parent_path() / "test-output" / "mainwindow";
        fs::create_directories(Shots);
        SavePng(Shown, W, H, Shots / (Name + "_shown.png"));
        SavePng(Whole, W, H, Shots / (Name + "_repainted.png"));
    }
    EXPECT_EQ(Differ, 0) << Name << ": pixels from (" << Where.left << "," << Where.top << ") to ("
                         << Where.right << "," << Where.bottom << ") differ from a whole repaint";
}

// The first validation uncovers the results views and fills them with their drawing held, and
// choosing a message moves the editor with its drawing held: each time the editor and the results
// pane end up showing what a whole repaint shows. The page puts its faults far down, so the editor
// scrolls to them, and makes more messages than the list shows at once, so the list gains a scroll
// bar.
TEST_F(MainRoad, ValidationAndChoosingMessagesLeaveTheScreenAsAWholeRepaintDrawsIt) {
    std::string Text = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n<html>\r\n"
                       "<head><title>Many faults</title></head>\r\n<body>\r\n";
    for (int I = 0; I < 150; ++I)
        Text += "<p>Line " + std::to_string(I) + " of plain text.</p>\r\n";
    for (int I = 0; I < 40; ++I)
        Text += "<blink2>unknown " + std::to_string(I) + "</blink2><img src=\"a.png\">\r\n";
    Text += "</body>\r\n</html>\r\n";
    fs::path Page = Work / "many.html";
    WriteFile(Page, Text);
    HWND Main = StartOn(Page);
    ASSERT_NE(Main, nullptr) << Boxes();
    HWND Memo = TProcessDriver::LargestChild(Main, "THSMemo");
    HWND Status = TProcessDriver::LargestChild(Main, "TStatusBar");
    ASSERT_TRUE(Memo && Status);
    // The first screen is drawn whole, the tool bar, the results pane and the status bar with the
    // editor, though the window was made long before it was shown.
    ExpectSameAsRepaintedWhole(Main, {Main}, "start");

    TProcessDriver::PostKey(Memo, VK_F6);
    HWND List = nullptr;
    ASSERT_TRUE(TProcessDriver::WaitUntil(
        [&] {
            List = TProcessDriver::LargestChild(Main, "TListView");
            return List && Driver.ListCount(List) > 0 && Driver.ListSelected(List) >= 0 &&
                   Driver.StatusText(Status, 3).find(" comment") != std::string::npos;
        },
        30000))
        << Boxes();
    int Rows = Driver.ListCount(List);
    EXPECT_GE(Rows, 40);
    EXPECT_NE(GetWindowLongA(List, GWL_STYLE) & WS_VSCROLL, 0) << "more rows than the list shows";
    int First = Driver.ListSelected(List);
    std::string FirstLine = Driver.ListText(List, First, 1);
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] { return Driver.StatusText(Status, 0).rfind(FirstLine + ": ", 0) == 0; }, 10000))
        << Driver.StatusText(Status, 0) << " for line " << FirstLine;
    EXPECT_GT(std::stoi(FirstLine), 150);
    HWND Pages = nullptr;
    for (HWND H : TProcessDriver::Children(Main, "TPageControl", true))
        if (IsChild(H, List))
            Pages = H;
    ASSERT_NE(Pages, nullptr);
    std::vector<HWND> Views{Memo, Pages};
    ExpectSameAsRepaintedWhole(Main, Views, "first_validation");

    // The last message with a line, far down the list, then F6 again on the filled list.
    int Last = Rows - 1;
    while (Last > 0 && Driver.ListText(List, Last, 1).empty())
        --Last;
    ASSERT_TRUE(Driver.ListSelect(List, Last));
    std::string LastLine = Driver.ListText(List, Last, 1);
    EXPECT_TRUE(TProcessDriver::WaitUntil(
        [&] { return Driver.StatusText(Status, 0).rfind(LastLine + ": ", 0) == 0; }, 10000))
        << Driver.StatusText(Status, 0) << " for line " << LastLine;
    ExpectSameAsRepaintedWhole(Main, Views, "message_chosen");
    TProcessDriver::PostKey(Memo, VK_F6);
    EXPECT_TRUE(TProcessDriver::WaitUntil([&] { return Driver.ListSelected(List) == First; }, 30000));
    ExpectSameAsRepaintedWhole(Main, Views, "validation_again");

    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Code = 1234;
    EXPECT_TRUE(Driver.WaitForExit(30000, Code)) << Boxes();
}

} // namespace
