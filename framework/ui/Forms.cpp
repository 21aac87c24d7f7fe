#include "framework/ui/Forms.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Menus.h"
#include "framework/ui/MessageBox.h"

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
ZEL_DEFINE_CLASS(TDataModule, TComponent, {})

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

// --- TDataModule --------------------------------------------------------------------------------

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
    if (Screen)
        Screen->AddDataModule(this);
}

TDataModule::~TDataModule() {
    SetState(csDestroying, true);
    DoEvent(OnDestroy, this);
    if (Screen)
        Screen->RemoveDataModule(this);
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
    if ((FPosition == TFormPosition::poMainFormCenter || FPosition == TFormPosition::poOwnerFormCenter) &&
        Main && Main != this && Main->HandleAllocated())
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
    {
        TScopeGuard Restore([&] {
            for (HWND W : Disabled.Windows)
                EnableWindow(W, TRUE);
            Hide();
            FShowingModal = false;
        });
        Show();
        SetActiveFocus();
        if (ModalHook())
            ModalHook()(*this);
        ModalLoop();
        Result = FModalResult;
    }
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
    TScopeGuard Cleanup([&] { FCanvas->SetHandle(nullptr); });
    Paint();
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
