#include "controls/tree/HSPopup.h"

#include "framework/core/ScopeGuard.h"

#include <algorithm>

#include "controls/foundation/WindowHooks.h"

ZEL_DEFINE_CLASS(THSSizeGrip, TCustomControl, {})
ZEL_DEFINE_CLASS(THSPopupWindow, TCustomForm, {})

namespace {

THSPopupWindow* ShowingPopup = nullptr;
HHOOK PopupMouseHookHandle = nullptr;
constexpr int MinPopupWidth = 50;
constexpr int MinPopupHeight = 40;
constexpr int GripSize = 17;
constexpr int BarHeight = 19;

bool IsInChain(HWND Wnd, HWND Ancestor) {
    for (HWND W = Wnd; W; W = GetParent(W))
        if (W == Ancestor)
            return true;
    return false;
}

// The cancel glyph: an 11 x 11 black cross on silver, drawn here so the popup needs no resource.
void MakeCrossGlyph(TBitmap& Glyph) {
    Glyph.SetSize(11, 11);
    TCanvas& C = Glyph.Canvas();
    C.Brush().SetColor(clSilver);
    C.FillRect(RECT{0, 0, 11, 11});
    for (int I = 1; I < 10; ++I) {
        C.SetPixel(I, I, clBlack);
        C.SetPixel(I + 1 < 10 ? I + 1 : I, I, clBlack);
        C.SetPixel(10 - I, I, clBlack);
        C.SetPixel(10 - I - 1 > 0 ? 10 - I - 1 : 10 - I, I, clBlack);
    }
}

} // namespace

// --- THSSizeGrip ---------------------------------------------------------------------------------

THSSizeGrip::THSSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = GripSize;
    FHeight = GripSize;
}

void THSSizeGrip::Paint() {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(clBtnFace);
    Canvas().FillRect(R);
    // The platform's own grip picture, anchored to the bottom-right corner.
    RECT G{std::max<LONG>(0, R.right - 13), std::max<LONG>(0, R.bottom - 13), R.right, R.bottom};
    DrawFrameControl(Canvas().Handle(), &G, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void THSSizeGrip::WndProc(TMessage& Message) {
    if (Message.Msg == WM_SETCURSOR && LOWORD(Message.LParam) == HTCLIENT) {
        ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32642))); // north-west to south-east
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

// --- THSPopupWindow ------------------------------------------------------------------------------

THSPopupWindow::THSPopupWindow(TComponent* AOwner) : TCustomForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetKeyPreview(true);
    FVisible = false;
    OnKeyDown = [this](TObject* S, WORD& Key, TShiftState Shift) { PopupKeyDown(S, Key, Shift); };
    OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        PopupMouseUp(S, B, Sh, X, Y);
    };

    FButtonPanel = new TPanel(this);
    FButtonPanel->SetHeight(BarHeight);
    FButtonPanel->SetAlign(TAlign::alBottom);
    FButtonPanel->SetBevelOuter(TBevelCut::bvLowered);
    FButtonPanel->SetCaption("");
    FButtonPanel->SetParent(this);

    FCancelButton = new TSpeedButton(this);
    FCancelButton->SetWidth(GripSize);
    FCancelButton->SetAlign(TAlign::alLeft);
    FCancelButton->SetFlat(true);
    MakeCrossGlyph(FCancelButton->Glyph());
    FCancelButton->OnClick = [this](TObject* S) { CancelBtnClick(S); };
    FCancelButton->SetParent(FButtonPanel);

    FSizeGrip = new THSSizeGrip(this);
    FSizeGrip->SetWidth(GripSize);
    FSizeGrip->SetAlign(TAlign::alRight);
    FSizeGrip->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FSizeGripMouseDown(S, B, Sh, X, Y);
    };
    FSizeGrip->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
        FSizeGripMouseMove(S, Sh, X, Y);
    };
    FSizeGrip->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FSizeGripMouseUp(S, B, Sh, X, Y);
    };
    FSizeGrip->SetParent(FButtonPanel);
}

THSPopupWindow::~THSPopupWindow() {
    RemoveHooks();
    if (ShowingPopup == this)
        ShowingPopup = nullptr;
}

THSPopupWindow* THSPopupWindow::ShowingPopupWindow() {
    return ShowingPopup;
}

void THSPopupWindow::CreateParams(TCreateParams& Params) {
    TCustomForm::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.ClassStyle |= CS_SAVEBITS;
}

void THSPopupWindow::RemoveHooks() {
    if (!FHooked)
        return;
    FHooked = false;
    RemoveWndHook(this);
    if (PopupMouseHookHandle) {
        UnhookWindowsHookEx(PopupMouseHookHandle);
        PopupMouseHookHandle = nullptr;
    }
}

LRESULT CALLBACK THSPopupWindow::MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HC_ACTION && ShowingPopup && ShowingPopup->HandleAllocated() &&
        IsWindowVisible(ShowingPopup->FHandle)) {
        if (WParam == WM_LBUTTONDOWN || WParam == WM_LBUTTONUP || WParam == WM_NCLBUTTONDOWN ||
            WParam == WM_NCLBUTTONUP) {
            const auto* M = reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
            RECT R;
            GetWindowRect(ShowingPopup->FHandle, &R);
            if (!PtInRect(&R, M->pt) && !IsInChain(WindowFromPoint(M->pt), ShowingPopup->FHandle)) {
                ShowingPopup->PopupHide(mrCancel);
                return 1;
            }
        }
    }
    return CallNextHookEx(PopupMouseHookHandle, Code, WParam, LParam);
}

void THSPopupWindow::AppHook(TMessage& Message) {
    const auto* C = reinterpret_cast<const CWPSTRUCT*>(Message.WParam);
    if ((C->message == WM_ACTIVATEAPP && C->wParam == 0) || C->message == CM_DEACTIVATE) {
        PopupHide(mrCancel);
        Message.Result = 1;
    }
}

void THSPopupWindow::PopupShow(POINT P) {
    if (FVisible)
        return;
    ShowingPopup = this;
    if (!FHooked) {
        FHooked = true;
        PopupMouseHookHandle = SetWindowsHookExA(WH_MOUSE, &MouseHook, nullptr, GetCurrentThreadId());
        AddWndHook(this, [this](TMessage& M) { AppHook(M); });
    }
    RECT W{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &W, 0);
    int X = std::max<int>(P.x, W.left), Y = std::max<int>(P.y, W.top);
    X = std::min<int>(X, W.right - Width());
    Y = std::min<int>(Y, W.bottom - Height());
    SetBounds(X, Y, Width(), Height());
    TScopeGuard done([this] {
        RemoveHooks();
        if (ShowingPopup == this)
            ShowingPopup = nullptr;
    });
    FLastResult = mrNone;
    FLastResult = ShowModal();
}

void THSPopupWindow::PopupHide(int ModalCode) {
    if (!FVisible)
        return;
    if (auto* W = dynamic_cast<TWinControl*>(FControl); W && W->HandleAllocated())
        SendMessageA(W->Handle(), WM_KILLFOCUS, 0, 0);
    RemoveHooks();
    SetModalResult(ModalCode);
    // The modal loop may be waiting for a message before it looks at the result again.
    if (HandleAllocated())
        PostMessageA(FHandle, WM_NULL, 0, 0);
}

void THSPopupWindow::OKBtnClick(TObject*) {
    PopupHide(mrOk);
}

void THSPopupWindow::CancelBtnClick(TObject*) {
    PopupHide(mrCancel);
}

void THSPopupWindow::PopupKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if ((Shift & (ssShift | ssAlt | ssCtrl)) != 0)
        return;
    if (Key == VK_RETURN) {
        Key = 0;
        PopupHide(mrOk);
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        PopupHide(mrCancel);
    }
}

void THSPopupWindow::PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != TMouseButton::mbLeft || Sender != this)
        return;
    RECT R = ClientRect();
    CloseUp(PtInRect(&R, POINT{X, Y}) != 0);
}

void THSPopupWindow::CloseUp(bool Accept) {
    DoEvent(OnCloseUp, this, Accept);
}

void THSPopupWindow::FSizeGripMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    if (Button != TMouseButton::mbLeft)
        return;
    POINT C;
    GetCursorPos(&C);
    FSizing = true;
    FGripDX = Width() - C.x;
    FGripDY = Height() - C.y;
    SetCapture(FSizeGrip->Handle());
}

void THSPopupWindow::FSizeGripMouseMove(TObject*, TShiftState, int, int) {
    if (!FSizing)
        return;
    POINT C;
    GetCursorPos(&C);
    SetBounds(Left(), Top(), std::max(MinPopupWidth, FGripDX + static_cast<int>(C.x)),
              std::max(MinPopupHeight, FGripDY + static_cast<int>(C.y)));
}

void THSPopupWindow::FSizeGripMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    FSizing = false;
    if (FSizeGrip->HandleAllocated() && GetCapture() == FSizeGrip->Handle())
        ReleaseCapture();
}

// --- SizeablePopup --------------------------------------------------------------------------------

namespace {

// What the control looked like before it was lent to the popup; put back on every way out.
struct TLentControl {
    TControl* Control = nullptr;
    TWinControl* Parent = nullptr;
    bool Visible = false;
    TAlign Align = TAlign::alNone;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    TNotifyEvent OnDblClick;
    THSPopupWindow* Popup = nullptr;

    ~TLentControl() {
        if (Control) {
            Control->SetAlign(Align);
            Control->SetBounds(Left, Top, Width, Height);
            Control->OnDblClick = OnDblClick;
            Control->SetParent(Parent);
            Control->SetVisible(Visible);
        }
        if (Popup) {
            Popup->SetControl(nullptr);
            delete Popup;
        }
    }
};

} // namespace

bool SizeablePopup(TControl* Control, TWinControl* Origin, int X, int Y, bool ShowButtons) {
    TLentControl Lent;
    Lent.Popup = new THSPopupWindow(nullptr);
    THSPopupWindow* Popup = Lent.Popup;
    Popup->SetControl(Control);
    if (Control) {
        Lent.Parent = Control->Parent();
        Lent.Visible = Control->Visible();
        Lent.Align = Control->Align();
        Lent.Left = Control->Left();
        Lent.Top = Control->Top();
        Lent.Width = Control->Width();
        Lent.Height = Control->Height();
        Lent.OnDblClick = Control->OnDblClick;
        Lent.Control = Control;
        Popup->SetClientWidth(Control->Width());
        Popup->ButtonPanel()->SetVisible(ShowButtons);
        Popup->SetClientHeight(Control->Height() + (ShowButtons ? Popup->ButtonPanel()->Height() : 0));
        Control->SetVisible(false);
        Control->SetAlign(TAlign::alClient);
        Control->OnDblClick = [Popup](TObject* S) { Popup->OKBtnClick(S); };
        Control->SetParent(Popup);
        Control->SetVisible(true);
    } else {
        Popup->ButtonPanel()->SetVisible(ShowButtons);
        Popup->SetBounds(Popup->Left(), Popup->Top(), MinPopupWidth, MinPopupHeight);
    }
    POINT P{X, Y};
    if (Origin)
        P = Origin->ClientToScreen(P);
    Popup->PopupShow(P);
    return Popup->LastResult() == mrOk;
}
