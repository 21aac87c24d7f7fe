#include "UiTestSupport.h"

#include <chrono>
#include <filesystem>

#include "framework/core/SysUtils.h"

namespace {

class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CreateApplication(); }
    void TearDown() override { DestroyApplication(); }
};

const auto* const Environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace

void CaptureClient(TCustomForm& Form, TBitmap& Shot) {
    Form.Update();
    Application->ProcessMessages();
    RECT R;
    GetClientRect(Form.Handle(), &R);
    Shot.SetSize(R.right, R.bottom);
    HDC DC = GetDC(Form.Handle());
    BitBlt(Shot.Canvas().Handle(), 0, 0, R.right, R.bottom, DC, 0, 0, SRCCOPY);
    ReleaseDC(Form.Handle(), DC);
}

std::string TestOutputFolder(const std::string& Name) {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::filesystem::path Dir =
        std::filesystem::path(Path).parent_path().parent_path() / "test-output" / Name;
    std::filesystem::create_directories(Dir);
    return Dir.string();
}

void UiTest::SetUp() {
    FSavedBox = SetMessageRequestFunc([this](const TMessageBoxRequest& R) {
        Boxes.push_back({R.Text, R.Caption, R.Flags, R.Buttons});
        return BoxAnswer;
    });
}

void UiTest::TearDown() {
    SetMessageRequestFunc(FSavedBox);
    SetModalHook(nullptr);
    Application->ProcessMessages();
    if (!FOutputDir.empty() && !getenv("ZEL_KEEP_TEST_OUTPUT")) {
        std::error_code Ec;
        std::filesystem::remove_all(FOutputDir, Ec);
    }
}

void UiTest::PostKey(HWND Wnd, WORD Key) {
    UINT Scan = MapVirtualKeyA(Key, MAPVK_VK_TO_VSC);
    PostMessageA(Wnd, WM_KEYDOWN, Key, static_cast<LPARAM>(1 | (Scan << 16)));
    PostMessageA(Wnd, WM_KEYUP, Key, static_cast<LPARAM>(1 | (Scan << 16) | 0xC0000000u));
}

void UiTest::PostChars(HWND Wnd, const std::string& Text) {
    for (char C : Text)
        PostMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(C), 1);
}

bool UiTest::PumpUntil(const std::function<bool()>& Done, int Milliseconds) {
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Milliseconds);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        Application->ProcessMessages();
        if (!Done())
            Sleep(5);
    }
    return true;
}

std::string UiTest::OutputDir() {
    if (FOutputDir.empty()) {
        const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::filesystem::path Dir = std::filesystem::temp_directory_path() / "zel-ui-tests" /
                                    (std::string(Info->test_suite_name()) + "." + Info->name());
        std::filesystem::create_directories(Dir);
        FOutputDir = Dir.string();
    }
    return FOutputDir;
}
