#include "controls/tree/EditButtons.h"

#include <algorithm>
#include <vector>

#include "controls/foundation/WindowHooks.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(TEditButton, TSpeedButton, {})
ZEL_DEFINE_CLASS(TCustomHSEdit, TCustomControl, {})
ZEL_DEFINE_CLASS(THSEdit, TCustomHSEdit, {})

namespace {
constexpr UINT_PTR DropTimer = 1;
constexpr const char* EditProp = "ZelHSEditInner";
} // namespace

// --- TEditButton -----------------------------------------------------------------------------------

TEditButton::TEditButton(TComponent* AOwner) : TSpeedButton(AOwner) {
    FWidth = GetSystemMetrics(SM_CXHTHUMB);
}

void TEditButton::SetKind(TButtonKind Value) {
    FKind = Value;
    Invalidate();
}

void TEditButton::Paint() {
    TSpeedButton::Paint();
    TCanvas& C = Canvas();
    int CX = Width() / 2, CY = Height() / 2;
    C.Pen().SetColor(Enabled() ? clBlack : clGrayText);
    if (FKind == TButtonKind::bkDropDown) {
        // A 7 x 5 triangle pointing down.
        for (int Row = 0; Row < 4; ++Row) {
            C.MoveTo(CX - 3 + Row, CY - 2 + Row);
            C.LineTo(CX + 4 - Row, CY - 2 + Row);
        }
    } else if (FKind == TButtonKind::bkDots) {
        C.Brush().SetColor(Enabled() ? clBlack : clGrayText);
        for (int Dot = -1; Dot <= 1; ++Dot)
            C.FillRect(RECT{CX - 1 + Dot * 4, CY, CX + 1 + Dot * 4, CY + 2});
    }
}

// --- TCustomHSEdit ---------------------------------------------------------------------------------

TCustomHSEdit::TCustomHSEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 121;
    FHeight = 21;
    SetColor(clWindow);
    FEdit = new TEdit(this);
    FEdit->SetParent(this);
    FButton1 = new TEditButton(this);
    FButton1->SetKind(TButtonKind::bkDropDown);
    FButton1->SetParent(this);
    FButton1->OnClick = [this](TObject*) { ButtonClick(FButton1); };
    FButton2 = new TEditButton(this);
    FButton2->SetKind(TButtonKind::bkDots);
    FButton2->SetVisible(false);
    FButton2->SetParent(this);
    FButton2->OnClick = [this](TObject*) { ButtonClick(FButton2); };
    FPopup = new TPopupListBox(this);
    FPopup->SetDropOwner(this);
    FPopup->SetParent(this);
    SetButtonBounds();
}

TCustomHSEdit::~TCustomHSEdit() {
    BeginDestroy();
    if (FDroppedDown)
        CloseDropped(false);
    EndDropDown(FPopup);
    UnHookEdit();
}

void TCustomHSEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomHSEdit::CreateHandleDone() {
    TCustomControl::CreateHandleDone();
    SetButtonBounds();
    HookEdit();
}

void TCustomHSEdit::DestroyWnd() {
    if (FDroppedDown)
        CloseDropped(false);
    UnHookEdit();
    TCustomControl::DestroyWnd();
}

void TCustomHSEdit::SetNumButtons(int Value) {
    if (Value < 0 || Value > 2)
        return;
    FNumButtons = Value;
    FButton1->SetVisible(Value >= 1);
    FButton2->SetVisible(Value >= 2);
    SetButtonBounds();
}

void TCustomHSEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FEdit)
        SetButtonBounds();
}

void TCustomHSEdit::SetButtonBounds() {
    if (FDroppedDown)
        CloseDropped(false);
    RECT R = ClientRect();
    int W = R.right - R.left, H = R.bottom - R.top;
    int Right = W;
    if (FNumButtons >= 2) {
        Right -= FButton2->Width();
        FButton2->SetBounds(Right, 0, FButton2->Width(), H);
    }
    if (FNumButtons >= 1) {
        Right -= FButton1->Width();
        FButton1->SetBounds(Right, 0, FButton1->Width(), H);
    }
    FEdit->SetBounds(0, 0, std::max(0, Right), H);
}

std::string TCustomHSEdit::EditText() const {
    return FEdit->Text();
}

void TCustomHSEdit::SetEditText(const std::string& Value) {
    FEdit->SetText(Value);
}

void TCustomHSEdit::Change() {
    DoEvent(OnChange, this);
}

void TCustomHSEdit::ButtonClick(TEditButton* Button) {
    if (FEdit->CanFocus())
        FEdit->SetFocus();
    TNotifyEvent& Handler = Button == FButton1 ? OnButton1Click : OnButton2Click;
    if (Handler)
        Handler(this);
    else
        SetDroppedDown(!FDroppedDown);
}

void TCustomHSEdit::SetDroppedDown(bool Value) {
    if (Value)
        Drop();
    else
        CloseDropped(true);
}

void TCustomHSEdit::SetDropValue() {
    std::string S = EditText();
    FPopup->HandleNeeded();
    SendMessageA(FPopup->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TCustomHSEdit::GetDropValue() {
    // As long as the chosen text is: no fixed buffer cuts it short.
    HWND P = FPopup->Handle();
    auto Len = static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(P, WM_GETTEXTLENGTH, 0, 0)));
    std::vector<char> Buffer(Len + 1, '\0');
    auto Got = static_cast<size_t>(std::max<LRESULT>(
        0, SendMessageA(P, WM_GETTEXT, Buffer.size(), reinterpret_cast<LPARAM>(Buffer.data()))));
    SetEditText(std::string(Buffer.data(), std::min(Got, Len)));
    Change();
}

RECT TCustomHSEdit::DropDownOwnerRect() {
    RECT R{0, 0, 0, 0};
    if (HandleAllocated())
        GetWindowRect(FHandle, &R);
    return R;
}

void TCustomHSEdit::Drop() {
    if (!FPopup || FDroppedDown || !HandleAllocated())
        return;
    if (TWinControl* Other = ShowingDropDown(); Other && Other != FPopup) {
        if (auto* List = dynamic_cast<TPopupListBox*>(Other))
            List->Close(false);
        else if (TDropDownOwner* O = ShowingDropDownOwner())
            O->CloseDropped(false);
    }
    FPopup->HandleNeeded();
    FPopup->SetClientWidth(ClientWidth());
    DoEvent(OnDropDown, this);
    SetDropValue();
    if (FEdit->CanFocus())
        FEdit->SetFocus();
    RECT Me;
    GetWindowRect(FHandle, &Me);
    int W = FPopup->Width(), H = FPopup->Height();
    int X = Me.left, Y = Me.bottom;
    int MyWidth = Me.right - Me.left;
    if (W > MyWidth)
        X -= W - MyWidth; // right edges aligned
    else
        W = MyWidth;
    if (X < 0)
        X = Me.left;
    if (Y + H > GetSystemMetrics(SM_CYSCREEN))
        Y = Me.top - H;
    FPopup->ShowDropDown(X, Y, W, H);
    BeginDropDown(FPopup, this);
    AddWndHook(this, [this](TMessage& M) {
        const auto* C = reinterpret_cast<const CWPSTRUCT*>(M.WParam);
        if (C->message == WM_ACTIVATEAPP && C->wParam == 0 && FDroppedDown)
            CloseDropped(false);
    });
    SetTimer(FHandle, DropTimer, 20, nullptr);
    FDroppedDown = true;
}

void TCustomHSEdit::CloseDropped(bool Accept) {
    if (!FDroppedDown)
        return;
    FDroppedDown = false;
    EndDropDown(FPopup);
    if (HandleAllocated())
        KillTimer(FHandle, DropTimer);
    RemoveWndHook(this);
    FPopup->HideDropDown();
    if (IsDestroying())
        return;
    if (TCustomForm* F = GetParentForm(); F && F->Active() && FEdit->CanFocus())
        FEdit->SetFocus();
    if (Accept)
        GetDropValue();
    FPopup->SetTabStop(false);
    FEdit->SelectAll();
}

void TCustomHSEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER && Message.WParam == DropTimer) {
        // A drag that began on the button selects in the list.
        if (FDroppedDown && FPopup->HandleAllocated() && GetCapture() == FPopup->Handle()) {
            POINT P;
            GetCursorPos(&P);
            ::ScreenToClient(FPopup->Handle(), &P);
            FPopup->Perform(WM_MOUSEMOVE, GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0,
                            MAKELPARAM(static_cast<short>(P.x), static_cast<short>(P.y)));
        }
        Message.Result = 0;
        return;
    }
    if (FDroppedDown && (Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP || Message.Msg == WM_CHAR)) {
        Message.Result = FPopup->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TCustomControl::WndProc(Message);
}

void TCustomHSEdit::HookEdit() {
    if (FEditWnd || !FEdit)
        return;
    FEditWnd = FEdit->Handle();
    SetPropA(FEditWnd, EditProp, this);
    FEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomHSEdit::EditStub)));
}

void TCustomHSEdit::UnHookEdit() {
    if (!FEditWnd)
        return;
    HWND Wnd = FEditWnd;
    FEditWnd = nullptr;
    if (IsWindow(Wnd)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == &TCustomHSEdit::EditStub)
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditProc));
        RemovePropA(Wnd, EditProp);
    }
}

LRESULT CALLBACK TCustomHSEdit::EditStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = static_cast<TCustomHSEdit*>(GetPropA(Wnd, EditProp));
    if (!Self)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    WNDPROC Prev = Self->FEditProc;
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->EditWndProc(M, Prev, Wnd);
    } catch (...) {
        HandleUiException(Self);
    }
    if (Msg == WM_NCDESTROY)
        Self->UnHookEdit();
    return M.Result;
}

void TCustomHSEdit::EditWndProc(TMessage& Message, WNDPROC Previous, HWND Wnd) {
    bool KeyMsg = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN || Message.Msg == WM_KEYUP ||
                  Message.Msg == WM_CHAR || Message.Msg == WM_SYSKEYUP;
    bool Alt = (Message.LParam & 0x20000000) != 0;
    if (!IsDestroying() && KeyMsg) {
        WORD Key = static_cast<WORD>(Message.WParam);
        if (FDroppedDown) {
            if (Message.Msg == WM_SYSKEYDOWN && Key == VK_UP && Alt)
                CloseDropped(true);
            else if (Message.Msg != WM_SYSKEYDOWN && Message.Msg != WM_SYSKEYUP)
                Message.Result = FPopup->Perform(Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (Message.Msg == WM_SYSKEYDOWN && Key == VK_DOWN && Alt && FButton1->Visible()) {
            Drop();
            return;
        }
        if (Message.Msg == WM_KEYDOWN && Key == VK_RETURN)
            return; // consumed while closed
        if (Message.Msg == WM_CHAR && Message.WParam == '\r')
            return;
    }
    Message.Result =
        Previous ? CallWindowProcA(Previous, Wnd, Message.Msg, Message.WParam, Message.LParam) : 0;
}
