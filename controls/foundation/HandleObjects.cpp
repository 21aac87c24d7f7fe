#include "controls/foundation/HandleObjects.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Controls.h"

THandleObject::THandleObject(THandler WndMethod) : FHandler(std::move(WndMethod)) {
    static bool Registered = false;
    HINSTANCE Inst = GetModuleHandleA(nullptr);
    if (!Registered) {
        WNDCLASSA WC{};
        WC.style = CS_DBLCLKS;
        WC.lpfnWndProc = &THandleObject::WindowProc;
        WC.hInstance = Inst;
        WC.lpszClassName = "ClipboardClass";
        if (RegisterClassA(&WC) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
            Registered = true;
    }
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, "ClipboardClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              Inst, nullptr);
    if (!FHandle)
        throw EInvalidOperation("Cannot create a message window");
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

THandleObject::~THandleObject() {
    if (FHandle) {
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

LRESULT CALLBACK THandleObject::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = reinterpret_cast<THandleObject*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (!Self || !Self->FHandler)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->FHandler(M);
    } catch (...) {
        HandleUiException(Self);
    }
    return M.Result;
}
