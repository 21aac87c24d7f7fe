#include "framework/ui/Forms.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Menus.h"

namespace {
const TEnumInfo FormBorderStyleInfo{
    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo PositionInfo{{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                              "poScreenCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const TEnumInfo FormStyleInfo{{"fsNormal", "fsStayOnTop"}};
} // namespace

ZEL_DEFINE_CLASS(
    TCustomForm, TWinControl,
    {Prop::Enum<TCustomForm>("BorderStyle", &FormBorderStyleInfo, &TCustomForm::BorderStyle,
                             &TCustomForm::SetBorderStyle)
         .WithDefault(2),
     Prop::Int<TCustomForm>("ClientHeight", &TCustomForm::GetClientHeight, &TCustomForm::SetClientHeightProp),
     Prop::Int<TCustomForm>("ClientWidth", &TCustomForm::GetClientWidth, &TCustomForm::SetClientWidthProp),
     Prop::Enum<TCustomForm>("FormStyle", &FormStyleInfo, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle)
         .WithDefault(0),
     Prop::Int<TCustomForm>("HelpContext", &TCustomForm::HelpContext, &TCustomForm::SetHelpContext)
         .WithDefault(0),
     Prop::Bool<TCustomForm>("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
         .WithDefault(0),
     Prop::Int<TCustomForm>("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch),
     Prop::Enum<TCustomForm>("Position", &PositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition)
         .WithDefault(0),
     Prop::Bool<TCustomForm>("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).WithDefault(1)})
ZEL_DEFINE_CLASS(TForm, TCustomForm, {})
ZEL_DEFINE_CLASS(THintWindow, TCustomControl, {})
ZEL_DEFINE_CLASS(TApplication, TComponent, {})
ZEL_DEFINE_CLASS(TScreen, TComponent, {})

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

TModalHook& ModalHook() {
    static TModalHook Hook;
    return Hook;
}

struct TDisabledWindows {
    DWORD Except;
    std::vector<HWND> Windows;
};

BOOL CALLBACK DisableTaskWindow(HWND Wnd, LPARAM Data) {
    auto* D = reinterpret_cast<TDisabledWindows*>(Data);
    if (reinterpret_cast<HWND>(static_cast<intptr_t>(D->Except)) != Wnd && IsWindowVisible(Wnd) &&
        IsWindowEnabled(Wnd)) {
        D->Windows.push_back(Wnd);
        EnableWindow(Wnd, FALSE);
    }
    return TRUE;
}

} // namespace

TModalHook SetModalHook(TModalHook Hook) {
    TModalHook Old = std::move(ModalHook());
    ModalHook() = std::move(Hook);
    return Old;
}

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

RECT FitRectToWorkArea(const RECT& Rect, int MinWidth, int MinHeight) {
    RECT Work{0, 0, 800, 600};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    int WorkW = Work.right - Work.left, WorkH = Work.bottom - Work.top;
    int W = std::clamp(static_cast<int>(Rect.right - Rect.left), std::min(MinWidth, WorkW), WorkW);
    int H = std::clamp(static_cast<int>(Rect.bottom - Rect.top), std::min(MinHeight, WorkH), WorkH);
    int L = std::clamp(static_cast<int>(Rect.left), static_cast<int>(Work.left),
                       static_cast<int>(Work.right) - W);
    int T =
        std::clamp(static_cast<int>(Rect.top), static_cast<int>(Work.top), static_cast<int>(Work.bottom) - H);
    return RECT{L, T, L + W, T + H};
}

// --- TCustomForm --------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FVisible = false;
    FWidth = 320;
    FHeight = 240;
    FPixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
    Font().SetName("MS Sans Serif");
    SetParentFont(false);
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    BeginDestroy();
    DoEvent(OnDestroy, this);
    if (Screen)
        Screen->RemoveForm(this);
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
    DestroyHandle();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMenu) {
        FMenu = nullptr;
        if (FHandle && !FDestroying)
            ::SetMenu(FHandle, nullptr);
    }
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
        Params.Style |= WS_POPUP;
        break;
    case TFormBorderStyle::bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case TFormBorderStyle::bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case TFormBorderStyle::bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case TFormBorderStyle::bsToolWindow:
        Params.Style |= WS_CAPTION | WS_BORDER;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != TFormBorderStyle::bsNone && (FBorderIcons & biSystemMenu)) {
        Params.Style |= WS_SYSMENU;
        bool Sizing =
            FBorderStyle == TFormBorderStyle::bsSingle || FBorderStyle == TFormBorderStyle::bsSizeable;
        if (Sizing && (FBorderIcons & biMinimize))
            Params.Style |= WS_MINIMIZEBOX;
        if (Sizing && (FBorderIcons & biMaximize))
            Params.Style |= WS_MAXIMIZEBOX;
    }
    if (FFormStyle == TFormStyle::fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
    if (!Params.WndParent && Application && Application->MainForm() && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        Params.WndParent = Application->MainForm()->Handle();
}

void TCustomForm::CreateHandleDone() {
    if (FMenu)
        ::SetMenu(FHandle, FMenu->Handle());
}

RECT TCustomForm::ClientRect() {
    if (FHandle)
        return TWinControl::ClientRect();
    TCreateParams P;
    CreateParams(P);
    RECT Frame{0, 0, 0, 0};
    AdjustWindowRectEx(&Frame, P.Style, FMenu != nullptr, P.ExStyle);
    return RECT{0, 0, std::max(0, FWidth - static_cast<int>(Frame.right - Frame.left)),
                std::max(0, FHeight - static_cast<int>(Frame.bottom - Frame.top))};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (Value == FBorderIcons)
        return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (Value == FFormStyle)
        return;
    FFormStyle = Value;
    if (FHandle)
        SetWindowPos(FHandle, Value == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle) {
        if (IsIconic(FHandle))
            return TWindowState::wsMinimized;
        if (IsZoomed(FHandle))
            return TWindowState::wsMaximized;
        return TWindowState::wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (FHandle && FVisible)
        ShowWindow(FHandle, Value == TWindowState::wsMinimized   ? SW_MINIMIZE
                            : Value == TWindowState::wsMaximized ? SW_MAXIMIZE
                                                                 : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FHandle) {
        ::SetMenu(FHandle, Value ? Value->Handle() : nullptr);
        Realign();
    }
}

void TCustomForm::SetActiveControl(TWinControl* Value) {
    if (Value == FActiveControl)
        return;
    if (FActiveControl)
        FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Value;
    if (Value)
        Value->FreeNotification(this);
    if (Value && FActive && Value->CanFocus() && Value->HandleAllocated() && GetFocus() != Value->Handle())
        ::SetFocus(Value->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
    SetActiveControl(Control);
    if (Control && Control->CanFocus())
        ::SetFocus(Control->Handle());
}

void TCustomForm::SetActiveFocus() {
    TWinControl* C = FActiveControl;
    if (!C || !C->CanFocus())
        C = FindNextControl(nullptr, true, true);
    if (C && C->CanFocus() && C->HandleAllocated()) {
        FActiveControl = C;
        ::SetFocus(C->Handle());
    } else if (FHandle) {
        ::SetFocus(FHandle);
    }
}

TWinControl* TCustomForm::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    // All focusable controls in tab order, depth first.
    std::vector<TWinControl*> Order;
    std::function<void(TWinControl*)> Collect = [&](TWinControl* P) {
        for (TWinControl* W : P->TabList()) {
            Order.push_back(W);
            Collect(W);
        }
    };
    Collect(this);
    if (Order.empty())
        return nullptr;
    int N = static_cast<int>(Order.size());
    int Start = -1;
    for (int I = 0; I < N; ++I)
        if (Order[static_cast<size_t>(I)] == CurControl)
            Start = I;
    if (Start < 0)
        Start = GoForward ? N - 1 : 0;
    for (int Step = 1; Step <= N; ++Step) {
        int I = ((GoForward ? Start + Step : Start - Step) % N + N) % N;
        TWinControl* W = Order[static_cast<size_t>(I)];
        if ((!CheckTabStop || W->TabStop()) && W->CanFocus())
            return W;
    }
    return nullptr;
}

void TCustomForm::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop))
        FocusControl(Next);
}

bool TCustomForm::IsShortCut(WORD Key, TShiftState Shift) {
    return FMenu && FMenu->IsShortCut(Key, Shift);
}

void TCustomForm::PlaceOnScreen() {
    if (FPlaced)
        return;
    FPlaced = true;
    RECT Work{0, 0, 800, 600};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    RECT Center = Work;
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if ((FPosition == TFormPosition::poMainFormCenter || FPosition == TFormPosition::poOwnerFormCenter) && Main &&
        Main != this && Main->HandleAllocated())
        GetWindowRect(Main->Handle(), &Center);
    if (FPosition == TFormPosition::poScreenCenter || FPosition == TFormPosition::poMainFormCenter ||
        FPosition == TFormPosition::poOwnerFormCenter) {
        int L = Center.left + ((Center.right - Center.left) - FWidth) / 2;
        int T = Center.top + ((Center.bottom - Center.top) - FHeight) / 2;
        RECT R = FitRectToWorkArea(RECT{L, T, L + FWidth, T + FHeight}, 0, 0);
        SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    }
}

void TCustomForm::ScaleToScreen() {
    if (FScaledOnce || !FScaled || !Screen)
        return;
    FScaledOnce = true;
    int M = Screen->PixelsPerInch(), D = FPixelsPerInch;
    if (M == D || D <= 0)
        return;
    // The client area is what the layout describes; the frame stays the platform's.
    int CW = ClientWidth(), CH = ClientHeight();
    for (TControl* C : std::vector<TControl*>(FControls))
        C->ScaleBy(M, D);
    Font().SetHeight(MulDiv(Font().Height(), M, D));
    SetClientWidth(MulDiv(CW, M, D));
    SetClientHeight(MulDiv(CH, M, D));
    FPixelsPerInch = M;
}

void TCustomForm::Show() {
    SetVisible(true);
    if (FHandle) {
        SetForegroundWindow(FHandle);
        SetActiveWindow(FHandle);
    }
}

void TCustomForm::VisibleChanged() {
    if (FVisible) {
        PlaceOnScreen();
        HandleNeeded();
        DoShow();
        int Cmd = FWindowState == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                  : FWindowState == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                              : SW_SHOWNORMAL;
        ShowWindow(FHandle, Cmd);
        UpdateWindow(FHandle);
    } else {
        if (FHandle) {
            // Hand the activation back to the window that owns us before we vanish.
            HWND Owner = GetWindow(FHandle, GW_OWNER);
            bool WasActive = GetActiveWindow() == FHandle;
            ShowWindow(FHandle, SW_HIDE);
            if (WasActive && Owner && IsWindowEnabled(Owner))
                SetActiveWindow(Owner);
        }
        DoHide();
    }
}

void TCustomForm::TextChanged() {
    if (FHandle)
        SetWindowTextA(FHandle, FText.c_str());
}

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    DoEvent(OnCloseQuery, this, CanClose);
    return CanClose;
}

void TCustomForm::Close() {
    if (FShowingModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction Action =
        (Application && Application->MainForm() == this) ? TCloseAction::caFree : TCloseAction::caHide;
    DoClose(Action);
    switch (Action) {
    case TCloseAction::caNone:
        break;
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caMinimize:
        SetWindowState(TWindowState::wsMinimized);
        break;
    case TCloseAction::caFree:
        if (Application && Application->MainForm() == this)
            Application->Terminate();
        else
            Release();
        break;
    }
}

void TCustomForm::Release() {
    if (FHandle)
        PostMessageA(FHandle, CM_RELEASE, 0, 0);
}

TModalResult TCustomForm::ShowModal() {
    if (!Application)
        throw EInvalidOperation("A modal form needs the application object");
    if (FVisible || !FEnabled || FShowingModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture())
        ReleaseCapture();
    HWND PrevActive = GetActiveWindow();
    HandleNeeded();
    TDisabledWindows Disabled{0, {}};
    Disabled.Except = static_cast<DWORD>(reinterpret_cast<intptr_t>(FHandle));
    EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&Disabled));
    FShowingModal = true;
    FModalResult = mrNone;
    TModalResult Result = mrNone;
    try {
        Show();
        SetActiveFocus();
        if (ModalHook())
            ModalHook()(*this);
        ModalLoop();
        Result = FModalResult;
    } catch (...) {
        FShowingModal = false;
        for (HWND W : Disabled.Windows)
            EnableWindow(W, TRUE);
        Hide();
        throw;
    }
    for (HWND W : Disabled.Windows)
        EnableWindow(W, TRUE);
    Hide();
    FShowingModal = false;
    if (PrevActive && IsWindow(PrevActive))
        SetActiveWindow(PrevActive);
    FModalResult = mrNone;
    return Result;
}

void TCustomForm::ModalLoop() {
    // The result is looked at before waiting: a modal hook (or a handler run while showing) may
    // have set it already, and no further message need ever come.
    for (;; Application->HandleMessage()) {
        if (Application->Terminated()) {
            FModalResult = mrCancel;
        }
        if (FModalResult != mrNone) {
            // The form may refuse to close; OnClose may turn the close into nothing.
            if (!CloseQuery()) {
                FModalResult = mrNone;
                if (Application->Terminated())
                    return;
                continue;
            }
            TCloseAction Action = TCloseAction::caHide;
            DoClose(Action);
            if (Action == TCloseAction::caNone && !Application->Terminated()) {
                FModalResult = mrNone;
                continue;
            }
            return;
        }
    }
}

void TCustomForm::PaintWindow(HDC DC) {
    FCanvas->Font().Assign(Font());
    FCanvas->Brush().SetColor(Color());
    FCanvas->SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_COMMAND:
        if (Message.LParam == 0 && HIWORD(Message.WParam) == 0) {
            if (TMenuItem* Item = TMenuItem::FindByCommand(LOWORD(Message.WParam))) {
                Item->Click();
                return;
            }
        }
        break;
    case WM_INITMENUPOPUP:
        if (TMenuItem* Item = TMenuItem::FindBySubMenu(reinterpret_cast<HMENU>(Message.WParam)))
            Item->InitPopup();
        break;
    case WM_ACTIVATE:
        DefaultHandler(Message);
        if (LOWORD(Message.WParam) != WA_INACTIVE) {
            FActive = true;
            if (Screen)
                Screen->SetActiveForm(this);
            if (!HIWORD(Message.WParam))
                SetActiveFocus();
            Activate();
        } else {
            FActive = false;
            Deactivate();
        }
        return;
    case WM_ACTIVATEAPP:
        if (Application)
            Application->AppActivated(Message.WParam != 0);
        break;
    case CM_FOCUSCHANGED: {
        auto* C = reinterpret_cast<TWinControl*>(Message.LParam);
        if (C && C != this) {
            if (FActiveControl != C) {
                if (FActiveControl)
                    FActiveControl->RemoveFreeNotification(this);
                FActiveControl = C;
                C->FreeNotification(this);
            }
        }
        if (Screen && C != this)
            Screen->SetActiveControl(C);
        return;
    }
    case CM_DIALOGKEY:
        if (Message.WParam == VK_TAB && !(KeyDataToShiftState(Message.LParam) & (ssAlt | ssCtrl))) {
            SelectNext(FActiveControl, !(KeyDataToShiftState(Message.LParam) & ssShift), true);
            Message.Result = 1;
            return;
        }
        break;
    case CM_RELEASE:
        delete this;
        return;
    }
    TWinControl::WndProc(Message);
}

// --- THintWindow --------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    SetColor(Application ? Application->HintColor : clInfoBk);
    if (Screen)
        Font().Assign(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = nullptr;
    Params.ClassStyle |= CS_SAVEBITS;
}

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& Text) {
    RECT R{0, 0, MaxWidth, 0};
    Canvas().Font().Assign(Font());
    HDC DC = GetDC(nullptr);
    Canvas().SetHandle(DC);
    Canvas().DrawText(Text, R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    Canvas().SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    R.right += 6;
    R.bottom += 2;
    return R;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& Text) {
    SetCaption(Text);
    RECT R = FitRectToWorkArea(Rect, 0, 0);
    SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    HandleNeeded();
    SetWindowPos(FHandle, HWND_TOPMOST, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::Paint() {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(R);
    R.left += 2;
    R.top += 1;
    Canvas().Font().SetColor(clInfoText);
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    Canvas().DrawText(Caption(), R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(Message);
}

// --- TApplication -------------------------------------------------------------------------------

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
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
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
                DispatchMessageA(&Msg);
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

// --- TScreen ------------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FHintFont(std::make_unique<TFont>()), FMenuFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>()) {
    FPixelsPerInch = ScreenPixelsPerInch();
    NONCLIENTMETRICSA NCM{};
    NCM.cbSize = sizeof(NCM);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(NCM), &NCM, 0)) {
        HFONT F = CreateFontIndirectA(&NCM.lfStatusFont);
        FHintFont->SetHandle(F);
        DeleteObject(F);
        F = CreateFontIndirectA(&NCM.lfMenuFont);
        FMenuFont->SetHandle(F);
        DeleteObject(F);
    }
    LOGFONTA LF{};
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LF), &LF, 0)) {
        HFONT F = CreateFontIndirectA(&LF);
        FIconFont->SetHandle(F);
        DeleteObject(F);
    }
}

TScreen::~TScreen() = default;

RECT TScreen::WorkAreaRect() const {
    RECT R{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0);
    return R;
}

void TScreen::SetCursor(TCursor Value) {
    FCursor = Value;
    POINT P;
    GetCursorPos(&P);
    SetCursorPos(P.x, P.y); // makes the window under the pointer set its cursor again
}

namespace {
int CALLBACK EnumFontsProc(const LOGFONTA* LF, const TEXTMETRICA*, DWORD, LPARAM Data) {
    auto* L = reinterpret_cast<std::vector<std::string>*>(Data);
    if (LF->lfFaceName[0] != '@')
        L->push_back(LF->lfFaceName);
    return 1;
}
} // namespace

std::vector<std::string> TScreen::Fonts() const {
    std::vector<std::string> Result;
    HDC DC = GetDC(nullptr);
    LOGFONTA LF{};
    LF.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(DC, &LF, EnumFontsProc, reinterpret_cast<LPARAM>(&Result), 0);
    ReleaseDC(nullptr, DC);
    std::sort(Result.begin(), Result.end(),
              [](const std::string& A, const std::string& B) { return CompareText(A, B) < 0; });
    Result.erase(std::unique(Result.begin(), Result.end()), Result.end());
    return Result;
}

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form)
        SetActiveForm(nullptr);
    if (FActiveControl && FActiveControl->GetParentForm() == Form)
        SetActiveControl(nullptr);
}

void TScreen::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
    if (AComponent == FActiveForm)
        FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (Form == FActiveForm)
        return;
    if (FActiveForm)
        FActiveForm->RemoveFreeNotification(this);
    FActiveForm = Form;
    if (Form)
        Form->FreeNotification(this);
    DoEvent(OnActiveFormChange, this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl)
        return;
    if (FActiveControl)
        FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Control;
    if (Control)
        Control->FreeNotification(this);
    DoEvent(OnActiveControlChange, this);
}

// --- Forms as data ------------------------------------------------------------------------------

void BuildForm(TCustomForm& Form, const TFormLayout& Layout) {
    RegisterUiClasses();
    if (!Layout.Caption.empty())
        Form.SetCaption(Layout.Caption);
    Form.SetBorderStyle(Layout.BorderStyle);
    Form.SetPosition(Layout.Position);
    Form.SetPixelsPerInch(Layout.PixelsPerInch);
    if (Layout.ClientWidth)
        Form.SetClientWidth(Layout.ClientWidth);
    if (Layout.ClientHeight)
        Form.SetClientHeight(Layout.ClientHeight);
    for (const TFormItem& Item : Layout.Items) {
        TClass Cls = FindClass(Item.ClassName);
        TWinControl* Parent = &Form;
        if (!Item.Parent.empty()) {
            Parent = dynamic_cast<TWinControl*>(Form.FindComponent(Item.Parent));
            if (!Parent)
                throw EComponentError(
                    Format("Parent %s of %s not found", Item.Parent.c_str(), Item.Name.c_str()));
        }
        TObject* Obj = Cls->Create(&Form);
        auto* Comp = dynamic_cast<TComponent*>(Obj);
        if (!Comp) {
            delete Obj;
            throw EComponentError(Format("%s is not a component", Item.ClassName.c_str()));
        }
        if (!Item.Name.empty())
            Comp->SetName(Item.Name);
        if (auto* C = dynamic_cast<TControl*>(Comp)) {
            C->SetBounds(Item.Left, Item.Top, Item.Width, Item.Height);
            if (!Item.Caption.empty())
                C->SetCaption(Item.Caption);
            C->SetParent(Parent);
            if (Item.OnClick)
                C->OnClick = Item.OnClick;
        }
        for (const auto& [Name, Value] : Item.Properties) {
            // Dotted names reach sub-objects: "Font.Style".
            TObject* Target = Comp;
            std::string Rest = Name;
            for (size_t Dot = Rest.find('.'); Dot != std::string::npos; Dot = Rest.find('.')) {
                const TPropInfo* Sub = GetPropInfo(Target, Rest.substr(0, Dot));
                if (!Sub || Sub->Kind != tkClass || !(Target = GetObjectProp(Target, Sub)))
                    throw EPropertyError(Format(SUnknownProperty, Name.c_str()));
                Rest = Rest.substr(Dot + 1);
            }
            const TPropInfo* Info = GetPropInfo(Target, Rest);
            if (!Info)
                throw EPropertyError(Format(SUnknownProperty, Name.c_str()));
            SetPropValueText(Target, Info, Value);
        }
        if (Item.Setup) {
            if (auto* C = dynamic_cast<TControl*>(Comp))
                Item.Setup(*C);
        }
    }
    if (!Layout.ActiveControl.empty())
        Form.SetActiveControl(dynamic_cast<TWinControl*>(Form.FindComponent(Layout.ActiveControl)));
    Form.ScaleToScreen();
}
