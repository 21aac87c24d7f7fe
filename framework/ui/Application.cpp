#include "framework/ui/Application.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/core/SysUtils.h"
#include "framework/ui/Menus.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/Screen.h"

ZEL_DEFINE_CLASS(TApplication, TComponent, {})

TApplication* Application = nullptr;

void CreateApplication() {
    INITCOMMONCONTROLSEX Icc{sizeof(Icc),
                             ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&Icc);
    RegisterUiClasses();
    if (!Screen)
        Screen = new TScreen(nullptr);
    if (!Application)
        Application = new TApplication(nullptr);
}

void DestroyApplication() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

namespace {
TApplication* HintTimerOwner = nullptr;
}

void CALLBACK ApplicationHintTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (!HintTimerOwner)
        return;
    try {
        HintTimerOwner->HintTimerExpired();
    } catch (...) {
        HandleUiException(HintTimerOwner);
    }
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    FExeName = Path;
    FTitle = ChangeFileExt(ExtractFileName(FExeName), "");
    SetUiExceptionHandler([this](TObject* Sender, const std::exception& E) {
        if (OnException)
            OnException(Sender, E);
        else
            ShowException(E);
    });
}

TApplication::~TApplication() {
    SetUiExceptionHandler(nullptr);
    CancelHint();
    if (HintTimerOwner == this)
        HintTimerOwner = nullptr;
    // Forms owned by the application go now, while the screen still exists.
    DestroyComponents();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FHintControl) {
        FHintControl = nullptr;
        CancelHint();
    }
    if (AComponent == FMainForm)
        FMainForm = nullptr;
}

void TApplication::Run() {
    if (FMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate() {
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    MSG Msg;
    while (ProcessMessage(Msg)) {
    }
}

void TApplication::HandleMessage() {
    MSG Msg;
    if (!ProcessMessage(Msg))
        Idle();
}

bool TApplication::ProcessMessage(MSG& Msg) {
    // Messages are taken in their Unicode form: taken as code-page text, a typed character the
    // code page lacks would already be a '?' here. Our windows are code-page windows, and
    // dispatching converts for them; a window that asks for Unicode characters gets them whole.
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool Handled = false;
    try {
        if (OnMessage)
            OnMessage(Msg, Handled);
        if (!Handled) {
            HintMouseMessage(Msg);
            if (!IsKeyMsg(Msg)) {
                TranslateMessage(&Msg);
                DispatchMessageW(&Msg);
            }
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    TWinControl* C = TWinControl::FindControl(Msg.hwnd);
    if (!C)
        return false;
    return C->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TApplication::Idle() {
    bool Done = true;
    try {
        if (OnIdle)
            OnIdle(this, Done);
    } catch (...) {
        HandleException(this);
    }
    if (Done && !FTerminated)
        WaitMessage();
}

void TApplication::HandleException(TObject* Sender) {
    HandleUiException(Sender);
}

void TApplication::ShowException(const std::exception& E) {
    std::string Msg = E.what();
    if (!Msg.empty() && Msg.back() > '.')
        Msg += '.';
    ShowMessageBox(Msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    return ShowMessageBox(Text, Caption, Flags);
}

void TApplication::AppActivated(bool Activating) {
    if (Activating == FActive)
        return;
    FActive = Activating;
    if (Activating)
        DoEvent(OnActivate, this);
    else {
        CancelHint();
        DoEvent(OnDeactivate, this);
    }
}

std::string TApplication::GetShortHint(const std::string& Hint) {
    auto Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

std::string TApplication::GetLongHint(const std::string& Hint) {
    auto Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(Bar + 1);
}

void TApplication::SetHint(const std::string& Value) {
    if (Value == FHint)
        return;
    FHint = Value;
    DoEvent(OnHint, this);
}

void TApplication::CancelHint() {
    if (FHintTimer) {
        KillTimer(nullptr, FHintTimer);
        FHintTimer = 0;
    }
    if (FHintWindow) {
        delete FHintWindow;
        FHintWindow = nullptr;
    }
    FHintShown = false;
}

void TApplication::HintMouseMessage(const MSG& Msg) {
    if (Msg.message == WM_KEYDOWN || Msg.message == WM_LBUTTONDOWN || Msg.message == WM_RBUTTONDOWN) {
        CancelHint();
        return;
    }
    if (Msg.message != WM_MOUSEMOVE)
        return;
    TWinControl* W = TWinControl::FindControl(Msg.hwnd);
    TControl* C = W;
    if (W && W->HandleAllocated()) {
        POINT P{GET_X_LPARAM(Msg.lParam), GET_Y_LPARAM(Msg.lParam)};
        if (Msg.hwnd != W->Handle())
            MapWindowPoints(Msg.hwnd, W->Handle(), &P, 1);
        if (TControl* G = W->ControlAtPos(P))
            C = G;
    }
    if (dynamic_cast<THintWindow*>(C))
        return;
    if (C == FHintControl)
        return;
    if (FHintControl)
        FHintControl->RemoveFreeNotification(this);
    CancelHint();
    FHintControl = C;
    if (C)
        C->FreeNotification(this);
    SetHint(C ? GetLongHint(C->Hint()) : std::string());
    if (C && ShowHint && C->ShowHint() && !C->Hint().empty()) {
        HintTimerOwner = this;
        FHintTimer = SetTimer(nullptr, 0, static_cast<UINT>(HintPause), ApplicationHintTimerProc);
    }
}

void TApplication::HintTimerExpired() {
    if (FHintTimer) {
        KillTimer(nullptr, FHintTimer);
        FHintTimer = 0;
    }
    if (FHintShown) {
        CancelHint();
        return;
    }
    if (FHintControl)
        ShowHintFor(FHintControl);
}

void TApplication::ShowHintFor(TControl* Control) {
    std::string Text = GetShortHint(Control->Hint());
    if (Text.empty())
        return;
    if (!FHintWindow)
        FHintWindow = new THintWindow(nullptr);
    POINT P;
    GetCursorPos(&P);
    RECT R = FHintWindow->CalcHintRect(Screen ? Screen->Width() / 3 : 300, Text);
    OffsetRect(&R, P.x, P.y + 20);
    FHintWindow->ActivateHint(R, Text);
    FHintShown = true;
    HintTimerOwner = this;
    FHintTimer = SetTimer(nullptr, 0, static_cast<UINT>(HintHidePause), ApplicationHintTimerProc);
}
