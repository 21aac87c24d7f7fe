#include "framework/ui/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/MessageBox.h"

namespace {
const TEnumInfo AlignInfo{{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
}

ZEL_DEFINE_CLASS(
    TControl, TComponent,
    {Prop::Enum<TControl>("Align", &AlignInfo, &TControl::Align, &TControl::SetAlign).WithDefault(0),
     Prop::String<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
     Prop::Int<TControl>("Color", &TControl::Color, &TControl::SetColor, &ColorIdents()),
     Prop::Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).WithDefault(1),
     Prop::Object<TControl>("Font", &TControl::FontPtr, &TControl::SetFontPtr),
     Prop::Int<TControl>("Height", &TControl::Height, &TControl::SetHeight),
     Prop::String<TControl>("Hint", &TControl::Hint, &TControl::SetHint),
     Prop::Int<TControl>("Left", &TControl::Left, &TControl::SetLeft),
     Prop::Bool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor),
     Prop::Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont),
     Prop::Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).WithDefault(0),
     Prop::Int<TControl>("Top", &TControl::Top, &TControl::SetTop),
     Prop::Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible).WithDefault(1),
     Prop::Int<TControl>("Width", &TControl::Width, &TControl::SetWidth)})
ZEL_DEFINE_CLASS(TGraphicControl, TControl, {})

namespace {

std::function<void(TObject*, const std::exception&)>& ExceptionHandler() {
    static std::function<void(TObject*, const std::exception&)> Handler;
    return Handler;
}

} // namespace

TControl*& CapturedGraphicControl() {
    // A graphic control that holds the mouse while a button is down on it.
    static TControl* Control = nullptr;
    return Control;
}

void SetUiExceptionHandler(std::function<void(TObject*, const std::exception&)> Handler) {
    ExceptionHandler() = std::move(Handler);
}

void HandleUiException(TObject* Sender) {
    try {
        throw;
    } catch (const EAbort&) {
        // Silent by design.
    } catch (const std::exception& E) {
        if (ExceptionHandler()) {
            try {
                ExceptionHandler()(Sender, E);
            } catch (...) {
            }
        } else {
            ShowMessageBox(E.what(), "Error", MB_OK | MB_ICONSTOP);
        }
    } catch (...) {
        ShowMessageBox("Unknown exception", "Error", MB_OK | MB_ICONSTOP);
    }
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState S = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        S |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        S |= ssCtrl;
    if (KeyData & 0x20000000)
        S |= ssAlt;
    return S;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState S = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        S |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        S |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        S |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0)
        S |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0)
        S |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0)
        S |= ssMiddle;
    return S;
}

TShiftState MouseFlagsToShiftState(WPARAM Flags) {
    TShiftState S = 0;
    if (Flags & MK_SHIFT)
        S |= ssShift;
    if (Flags & MK_CONTROL)
        S |= ssCtrl;
    if (Flags & MK_LBUTTON)
        S |= ssLeft;
    if (Flags & MK_RBUTTON)
        S |= ssRight;
    if (Flags & MK_MBUTTON)
        S |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        S |= ssAlt;
    return S;
}

bool IsAccel(WORD Key, const std::string& Caption) {
    for (size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&')
            continue;
        if (Caption[I + 1] == '&') {
            ++I;
            continue;
        }
        char A[2] = {Caption[I + 1], 0}, B[2] = {static_cast<char>(Key), 0};
        CharUpperBuffA(A, 1);
        CharUpperBuffA(B, 1);
        return A[0] == B[0];
    }
    return false;
}

HWND HandleOf(TControl* Control) {
    auto* W = dynamic_cast<TWinControl*>(Control);
    return W && W->HandleAllocated() ? W->Handle() : nullptr;
}

// --- TControl -----------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TGraphicsObject*) {
        FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    FDestroying = true;
    if (CapturedGraphicControl() == this)
        CapturedGraphicControl() = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    Invalidate();
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    RequestAlign();
    if (Resized)
        Resize();
}

RECT TControl::ClientRect() {
    return RECT{0, 0, FWidth, FHeight};
}

void TControl::SetClientWidth(int Value) {
    SetWidth(Value + (FWidth - ClientWidth()));
}
void TControl::SetClientHeight(int Value) {
    SetHeight(Value + (FHeight - ClientHeight()));
}

POINT TControl::ClientToScreen(POINT P) {
    if (auto* W = dynamic_cast<TWinControl*>(this)) {
        ::ClientToScreen(W->Handle(), &P);
        return P;
    }
    if (!FParent)
        return P;
    return FParent->ClientToScreen(POINT{P.x + FLeft, P.y + FTop});
}

POINT TControl::ScreenToClient(POINT P) {
    if (auto* W = dynamic_cast<TWinControl*>(this)) {
        ::ScreenToClient(W->Handle(), &P);
        return P;
    }
    if (!FParent)
        return P;
    P = FParent->ScreenToClient(P);
    return POINT{P.x - FLeft, P.y - FTop};
}

void TControl::ScaleBy(int M, int D) {
    if (M == D || D == 0)
        return;
    int L = MulDiv(FLeft, M, D), T = MulDiv(FTop, M, D);
    int R = MulDiv(FLeft + FWidth, M, D), B = MulDiv(FTop + FHeight, M, D);
    SetBounds(L, T, R - L, B - T);
    if (!FParentFont) {
        bool Keep = FParentFont;
        FFont->SetHeight(MulDiv(FFont->Height(), M, D));
        FParentFont = Keep;
    }
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign)
        return;
    FAlign = Value;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (FParent && !FParent->FAligning)
        FParent->Realign();
}

void TControl::SetText(const std::string& Value) {
    if (Value == GetText() && Value == FText)
        return;
    FText = Value;
    TextChanged();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    Invalidate();
    if (FParent && FVisible)
        Invalidate();
    RequestAlign();
}

bool TControl::Showing() const {
    return FVisible && FParent && FParent->Showing();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    EnabledChanged();
}

void TControl::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && FParent) {
        FFont->Assign(FParent->Font());
        FParentFont = true;
    }
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value) {
    FParentColor = Value;
    if (Value && FParent) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage M{Msg, WParam, LParam, 0};
    WndProc(M);
    return M.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK && Message.Msg != WM_MOUSEWHEEL) {
        MouseMessage(Message);
        return;
    }
    switch (Message.Msg) {
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFont->Assign(FParent->Font());
            FParentFont = true;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            FColor = FParent->Color();
            ColorChanged();
        }
        return;
    case CM_MOUSEENTER:
        FMouseInClient = true;
        return;
    case CM_MOUSELEAVE:
        FMouseInClient = false;
        return;
    }
    DefaultHandler(Message);
}

void TControl::MouseMessage(TMessage& Message) {
    int X = GET_X_LPARAM(Message.LParam), Y = GET_Y_LPARAM(Message.LParam);
    TShiftState Shift = MouseFlagsToShiftState(Message.WParam);
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        MouseMove(Shift, X, Y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            Shift |= ssDouble;
            DblClick();
        }
        if (FClickEvents)
            FClicking = true;
        MouseDown(TMouseButton::mbLeft, Shift, X, Y);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(TMouseButton::mbRight, Shift, X, Y);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(TMouseButton::mbMiddle, Shift, X, Y);
        break;
    case WM_LBUTTONUP: {
        bool WasClicking = FClicking;
        FClicking = false;
        MouseUp(TMouseButton::mbLeft, Shift, X, Y);
        if (WasClicking && X >= 0 && Y >= 0 && X < FWidth && Y < FHeight)
            Click();
        break;
    }
    case WM_RBUTTONUP:
        MouseUp(TMouseButton::mbRight, Shift, X, Y);
        break;
    case WM_MBUTTONUP:
        MouseUp(TMouseButton::mbMiddle, Shift, X, Y);
        break;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    DoEvent(OnMouseDown, this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    DoEvent(OnMouseUp, this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    DoEvent(OnMouseMove, this, Shift, X, Y);
}

void TControl::Click() {
    DoEvent(OnClick, this);
}
void TControl::DblClick() {
    DoEvent(OnDblClick, this);
}

void TControl::Invalidate() {
    if (FParent && FParent->HandleAllocated()) {
        RECT R = BoundsRect();
        InvalidateRect(FParent->FHandle, &R, TRUE);
    }
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (FParent)
        FParent->Update();
}

void TControl::BringToFront() {
    if (!FParent)
        return;
    auto& L = FParent->FControls;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    L.push_back(this);
    FParent->SetZOrderOfChildren();
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent)
        return;
    auto& L = FParent->FControls;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    L.insert(L.begin(), this);
    FParent->SetZOrderOfChildren();
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* C = this;
    while (C->FParent)
        C = C->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(C));
}

// --- TGraphicControl ----------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FClickEvents = true;
}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& Message) {
    TControl::WndProc(Message);
}
