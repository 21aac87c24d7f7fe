#include "controls/textmodel/ClipboardSource.h"
#include "controls/textmodel/CommandScope.h"

namespace {
const char kWindowClass[] = "ZELClipboardSourceWindow";

void RegisterWindowClass() {
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    done = true;
}
} // namespace

TClipBoardSource::TClipBoardSource(TComponent* owner) : TCustomMemoSource(owner) {
    TCustomMemoSource::ChangeObjectName("Clipboard");
    RegisterWindowClass();
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!FWindow)
        return;
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TClipBoardSource::WindowProc));
    FNextViewer = SetClipboardViewer(FWindow);
}

TClipBoardSource::~TClipBoardSource() {
    if (FWindow) {
        ChangeClipboardChain(FWindow, FNextViewer);
        SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
        DestroyWindow(FWindow);
    }
}

LRESULT CALLBACK TClipBoardSource::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TClipBoardSource*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(wnd, msg, wp, lp);
    return self->HandleMessage(msg, wp, lp);
}

LRESULT TClipBoardSource::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DRAWCLIPBOARD:
        ClipboardChanged();
        if (FNextViewer)
            SendMessageA(FNextViewer, msg, wp, lp);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wp) == FNextViewer)
            FNextViewer = reinterpret_cast<HWND>(lp);
        else if (FNextViewer)
            SendMessageA(FNextViewer, msg, wp, lp);
        return 0;
    default:
        return DefWindowProcA(FWindow, msg, wp, lp);
    }
}

void TClipBoardSource::ClipboardChanged() {
    if (OwnCopy || CopyingToClipboard() || !IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(FWindow))
        return;
    std::string text;
    bool haveText = false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            haveText = true;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (!haveText)
        return;
    // Nothing may escape a window procedure: a clip that cannot be added is dropped.
    try {
        CollectClip(text);
    } catch (...) {
    }
}

void TClipBoardSource::CollectClip(const std::string& text) {
    TUpdateScope update(*this, 5);
    JumpToFileEnd();
    if (GetStrCount() > 0) {
        BreakLine();
        JumpToFileEnd();
    }
    InsertText(text);
}
