#include "controls/foundation/ResDialog.h"

#include <algorithm>
#include <vector>

namespace {

// Every dialog that exists, in order of creation; the window procedure finds its object here.
std::vector<TResDialog*>& Dialogs() {
    static std::vector<TResDialog*> List;
    return List;
}

// The dialog whose window is being made: messages that come before CreateDialog answers belong
// to it.
TResDialog* gCreating = nullptr;

} // namespace

HWND TResDialog::Handle() {
    if (FTried)
        return FHandle;
    FTried = true;
    Dialogs().push_back(this);
    gCreating = this;
    HWND Made = CreateDialogParamA(GetModuleHandleA(nullptr), FResourceName.c_str(), nullptr,
                                   &TResDialog::DialogProc, 0);
    gCreating = nullptr;
    FHandle = Made;
    return FHandle;
}

TResDialog::~TResDialog() {
    auto& List = Dialogs();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    if (FHandle)
        DestroyWindow(FHandle);
}

INT_PTR CALLBACK TResDialog::DialogProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM) {
    TResDialog* Self = nullptr;
    for (TResDialog* D : Dialogs())
        if (D->FHandle == Wnd) {
            Self = D;
            break;
        }
    if (!Self && gCreating) {
        Self = gCreating;
        Self->FHandle = Wnd;
    }
    if (Self)
        Self->Dispatch(Msg, WParam);
    return 0;
}

void TResDialog::Dispatch(UINT Msg, WPARAM WParam) {
    if (Msg == WM_INITDIALOG) {
        InitDialog();
        return;
    }
    if (Msg == WM_COMMAND && HIWORD(WParam) == 0 && (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL)) {
        FClosed = true;
        FResult = LOWORD(WParam) == IDOK;
    }
}

bool TResDialog::Execute() {
    if (!Handle())
        return false;
    ShowWindow(FHandle, SW_SHOWDEFAULT);
    MSG M;
    while (!FClosed) {
        if (GetMessageA(&M, nullptr, 0, 0) <= 0) {
            // Leave the quit message for the loop that waits for it.
            if (M.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(M.wParam));
            break;
        }
        if (!IsDialogMessageA(FHandle, &M)) {
            TranslateMessage(&M);
            DispatchMessageA(&M);
        }
    }
    return FResult;
}

bool ExecuteDialog(const std::string& ResourceName) {
    TResDialog Dialog(ResourceName);
    return Dialog.Execute();
}
