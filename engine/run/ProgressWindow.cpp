#include "engine/run/ProgressWindow.h"

#include <commctrl.h>

#include <memory>

namespace zel::run {

const char* const kProgressCaption = "ZEL Orvalent Lite v3.00";

namespace {

const char* const kClassName = "TProgressForm";
constexpr int kWidth = 500;
constexpr int kHeight = 40;

std::unique_ptr<ProgressWindow>& instance() {
    static std::unique_ptr<ProgressWindow> window;
    return window;
}

HINSTANCE moduleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&moduleInstance), &module);
    return module;
}

bool registerClassOnce(HINSTANCE module, WNDPROC proc) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(module, kClassName, &existing))
        return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0;
}

} // namespace

LRESULT CALLBACK ProgressWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        HWND bar = GetWindow(window, GW_CHILD);
        if (bar)
            MoveWindow(bar, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    case WM_CLOSE:
        // Closing only hides: the run still owns the window.
        ShowWindow(window, SW_HIDE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool ProgressWindow::create(int32_t left, int32_t top) {
    if (window_)
        return true;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    HINSTANCE module = moduleInstance();
    if (!registerClassOnce(module, &ProgressWindow::windowProc))
        return false;
    // Owned by the desktop window and a tool window: no taskbar button, above other windows.
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    window_ = CreateWindowExA(exStyle, kClassName, "ProgressForm", style, left, top, kWidth, kHeight,
                              GetDesktopWindow(), nullptr, module, nullptr);
    if (!window_)
        return false;
    RECT client{};
    GetClientRect(window_, &client);
    bar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                           window_, nullptr, module, nullptr);
    if (!bar_) {
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SendMessageA(bar_, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar_, PBM_SETSTEP, 5, 0);
    return true;
}

void ProgressWindow::destroy() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
    bar_ = nullptr;
    shownPercent_ = -1;
}

void ProgressWindow::show() {
    if (!window_)
        return;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(window_);
}

void ProgressWindow::hide() {
    if (window_)
        ShowWindow(window_, SW_HIDE);
}

void ProgressWindow::setCaption(const char* caption) {
    if (window_)
        SetWindowTextA(window_, caption ? caption : "");
}

void ProgressWindow::setPosition(int32_t percent) {
    if (!bar_ || percent == shownPercent_)
        return;
    shownPercent_ = percent;
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(bar_);
}

int32_t ProgressWindow::position() const {
    return bar_ ? static_cast<int32_t>(SendMessageA(bar_, PBM_GETPOS, 0, 0)) : -1;
}

bool ProgressWindow::isVisible() const {
    return window_ && IsWindowVisible(window_);
}

ProgressWindow& progressWindow() {
    auto& w = instance();
    if (!w)
        w = std::make_unique<ProgressWindow>();
    return *w;
}

bool progressWindowExists() {
    return instance() && instance()->handle();
}

void destroyProgressWindow() {
    instance().reset();
    // A class a library registered outlives the library unless it is taken back; a later load
    // would find it pointing at code that is gone.
    UnregisterClassA(kClassName, moduleInstance());
}

intptr_t requestProgressWindow(int32_t value, int32_t left, int32_t top, bool onlyWhenForced) {
    if (value == 0) {
        if (progressWindowExists())
            progressWindow().hide();
        return 0;
    }
    ProgressWindow& w = progressWindow();
    if (!w.create(left, top))
        return 0;
    if (value & 2) {
        w.setCaption(kProgressCaption);
        w.setPosition(0);
    }
    if (onlyWhenForced && !(value & 4))
        return 0;
    w.show();
    return reinterpret_cast<intptr_t>(w.handle());
}

void hideProgressWindow(int32_t value) {
    if (value != 0 && progressWindowExists())
        progressWindow().hide();
}

void stepProgressWindow(HWND window, int32_t lineIndex, int32_t lineCount) {
    if (!window || lineCount <= 0 || !progressWindowExists() || progressWindow().handle() != window)
        return;
    const int64_t percent = static_cast<int64_t>(lineIndex) * 100 / lineCount;
    progressWindow().setPosition(static_cast<int32_t>(percent));
}

} // namespace zel::run
