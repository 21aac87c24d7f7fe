#include "framework/ui/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"

ZEL_DEFINE_CLASS(TWinControl, TControl,
                 {Prop::Int<TWinControl>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder),
                  Prop::Bool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)})
ZEL_DEFINE_CLASS(TCustomControl, TWinControl, {})

namespace {

// The control whose window is being made on this thread; InitWndProc binds the first message to it.
thread_local TWinControl* CreationControl = nullptr;

struct TClassRecord {
    WNDPROC DefProc;
};
std::map<std::string, TClassRecord>& RegisteredClasses() {
    static std::map<std::string, TClassRecord> Classes;
    return Classes;
}

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

} // namespace

// --- TWinControl --------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    FDestroying = true;
    // Children go with their parent, whoever owns them; each leaves its owner as it goes.
    while (!FControls.empty()) {
        TControl* C = FControls.back();
        FControls.pop_back();
        C->FParent = nullptr;
        delete C;
    }
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND Wnd) {
    if (!Wnd || !IsWindow(Wnd))
        return nullptr;
    // Only windows of our classes hold an object in their user data.
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(Wnd, GCLP_WNDPROC)) != &TWinControl::InitWndProc)
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
}

TWinControl* TWinControl::FindControl(HWND Wnd) {
    while (Wnd) {
        if (TWinControl* C = FromHandle(Wnd))
            return C;
        if (GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD)
            Wnd = GetParent(Wnd);
        else
            break;
    }
    return nullptr;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle)
        return;
    if (FDestroying)
        throw EInvalidOperation("Cannot create a window for a control being destroyed");
    if (FParent)
        FParent->HandleNeeded();
    if (FHandle)
        return;
    CreateWnd();
    // Made after its parent (shown later, or asked for): it takes its place among its siblings.
    if (FParent && !FParent->FCreatingChildren)
        PlaceInZOrder();
}

void TWinControl::PlaceInZOrder() {
    const auto& Siblings = FParent->FControls;
    auto It = std::find(Siblings.begin(), Siblings.end(), this);
    HWND Above = HWND_TOP;
    for (It = It == Siblings.end() ? It : It + 1; It != Siblings.end(); ++It)
        if (auto* W = dynamic_cast<TWinControl*>(*It); W && W->FHandle) {
            Above = W->FHandle;
            break;
        }
    SetWindowPos(FHandle, Above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible)
        Params.Style |= WS_VISIBLE;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
    if (!FParent && !FParentWindow)
        Params.Style &= ~WS_CHILD;
    Params.WinClassName = FWindowClassName.empty() ? ClassName() : FWindowClassName;
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    CreateWindowHandle(Params);
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
    // The platform puts each new child below its older siblings, so making them top first leaves
    // them in our order; only children that had windows already need moving.
    const std::vector<TControl*> Children(FControls);
    const bool HadWindows = std::any_of(Children.begin(), Children.end(), [](TControl* C) {
        auto* W = dynamic_cast<TWinControl*>(C);
        return W && W->FHandle;
    });
    {
        FCreatingChildren = true;
        TScopeGuard Done([this] { FCreatingChildren = false; });
        for (auto It = Children.rbegin(); It != Children.rend(); ++It)
            if (auto* W = dynamic_cast<TWinControl*>(*It); W && !W->WaitsToBeShown())
                W->HandleNeeded();
    }
    if (HadWindows)
        SetZOrderOfChildren();
    CreateHandleDone();
    Realign();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    auto& Classes = RegisteredClasses();
    auto It = Classes.find(Params.WinClassName);
    if (It == Classes.end()) {
        WNDCLASSEXA WC{};
        WC.cbSize = sizeof(WC);
        WNDPROC DefProc = &DefWindowProcA;
        if (!Params.BaseClassName.empty()) {
            if (!GetClassInfoExA(nullptr, Params.BaseClassName.c_str(), &WC) &&
                !GetClassInfoExA(ModuleInstance(), Params.BaseClassName.c_str(), &WC))
                throw EInvalidOperation(
                    Format("Window class %s is not available", Params.BaseClassName.c_str()));
            WC.cbSize = sizeof(WC);
            DefProc = WC.lpfnWndProc;
            WC.style &= ~CS_GLOBALCLASS;
        } else {
            WC.style = Params.ClassStyle;
            WC.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            WC.hbrBackground = Params.Background;
        }
        WC.lpfnWndProc = &TWinControl::InitWndProc;
        WC.hInstance = ModuleInstance();
        WC.lpszClassName = Params.WinClassName.c_str();
        WC.lpszMenuName = nullptr;
        if (!RegisterClassExA(&WC) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EInvalidOperation(Format("Cannot register window class %s", Params.WinClassName.c_str()));
        It = Classes.emplace(Params.WinClassName, TClassRecord{DefProc}).first;
    }
    FDefWndProc = It->second.DefProc;
    TWinControl* Saved = CreationControl;
    CreationControl = this;
    HWND Wnd = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                               Params.Style, Params.X, Params.Y, Params.Width, Params.Height,
                               Params.WndParent, nullptr, ModuleInstance(), nullptr);
    CreationControl = Saved;
    if (!Wnd)
        throw EInvalidOperation(Format("Error creating window of class %s", Params.WinClassName.c_str()));
    FHandle = Wnd;
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* C = CreationControl;
    if (!C)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    CreationControl = nullptr;
    C->FHandle = Wnd;
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(C));
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc));
    return StdWndProc(Wnd, Msg, WParam, LParam);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* C = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (!C || C->FHandle != Wnd)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TMessage M{Msg, WParam, LParam, 0};
    try {
        C->WndProc(M);
    } catch (...) {
        HandleUiException(C);
    }
    return M.Result;
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (FHandle && FDefWndProc)
        Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::DestroyWnd() {
    if (FHandle) {
        FText = GetText();
        DestroyWindow(FHandle);
    }
}

void TWinControl::DestroyHandle() {
    if (!FHandle)
        return;
    for (TControl* C : FControls)
        if (auto* W = dynamic_cast<TWinControl*>(C))
            W->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!FHandle)
        return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->FParent = this;
    FControls.push_back(AControl);
    if (AControl->FParentFont) {
        AControl->FFont->Assign(Font());
        AControl->FParentFont = true;
    }
    if (AControl->FParentColor)
        AControl->FColor = Color();
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        if (FHandle && !W->WaitsToBeShown())
            W->HandleNeeded();
    } else {
        AControl->Invalidate();
    }
    Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (CapturedGraphicControl() == AControl)
        CapturedGraphicControl() = nullptr;
    AControl->Invalidate();
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        if (!FDestroying)
            W->DestroyHandle();
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    AControl->FParent = nullptr;
    if (!FDestroying)
        Realign();
}

void TWinControl::SetZOrderOfChildren() {
    if (!FHandle)
        return;
    // The platform's z-order is top first; ours is bottom first.
    HWND After = HWND_TOP;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        auto* W = dynamic_cast<TWinControl*>(*It);
        if (!W || !W->FHandle)
            continue;
        SetWindowPos(W->FHandle, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        After = W->FHandle;
    }
}

TControl* TWinControl::ControlAtPos(POINT P, bool AllowDisabled) {
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        TControl* C = *It;
        if (!C->FVisible || (!C->FEnabled && !AllowDisabled))
            continue;
        if (P.x >= C->FLeft && P.y >= C->FTop && P.x < C->FLeft + C->FWidth && P.y < C->FTop + C->FHeight)
            return C;
    }
    return nullptr;
}

void TWinControl::Realign() {
    if (FAligning || FDestroying)
        return;
    RECT R = ClientRect();
    AlignControls(R);
}

void TWinControl::AlignControls(RECT& Rect) {
    FAligning = true;
    TScopeGuard Cleanup([&] { FAligning = false; });
    for (TAlign A : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* C : FControls) {
            if (C->FAlign != A || !C->FVisible)
                continue;
            int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
            switch (A) {
            case TAlign::alTop:
                C->SetBounds(Rect.left, Rect.top, W, C->FHeight);
                Rect.top += C->FHeight;
                break;
            case TAlign::alBottom:
                C->SetBounds(Rect.left, Rect.bottom - C->FHeight, W, C->FHeight);
                Rect.bottom -= C->FHeight;
                break;
            case TAlign::alLeft:
                C->SetBounds(Rect.left, Rect.top, C->FWidth, H);
                Rect.left += C->FWidth;
                break;
            case TAlign::alRight:
                C->SetBounds(Rect.right - C->FWidth, Rect.top, C->FWidth, H);
                Rect.right -= C->FWidth;
                break;
            case TAlign::alClient:
                C->SetBounds(Rect.left, Rect.top, W, H);
                break;
            default:
                break;
            }
        }
    }
}

void TWinControl::SetTabStop(bool Value) {
    if (Value == FTabStop)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~WS_TABSTOP));
    }
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> Result;
    for (TControl* C : FControls)
        if (auto* W = dynamic_cast<TWinControl*>(C))
            Result.push_back(W);
    return Result;
}

int TWinControl::TabOrder() const {
    if (!FParent)
        return -1;
    auto L = FParent->TabList();
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent)
        return;
    // Tab order is the order of windowed children in the parent's list.
    auto& L = FParent->FControls;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    int Seen = 0;
    auto Pos = L.begin();
    for (; Pos != L.end() && Seen < Value; ++Pos)
        if (dynamic_cast<TWinControl*>(*Pos))
            ++Seen;
    L.insert(Pos, this);
    FParent->SetZOrderOfChildren();
}

bool TWinControl::CanFocus() const {
    for (const TControl* C = this; C; C = C->FParent)
        if (!C->FVisible || !C->FEnabled)
            return false;
    return true;
}

bool TWinControl::Focused() {
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* Form = GetParentForm()) {
        Form->FocusControl(this);
    } else {
        ::SetFocus(Handle());
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
    if (Resized) {
        Realign();
        Resize();
    }
}

RECT TWinControl::ClientRect() {
    RECT R{0, 0, FWidth, FHeight};
    if (FHandle)
        GetClientRect(FHandle, &R);
    return R;
}

bool TWinControl::Showing() const {
    if (FHandle)
        return IsWindowVisible(FHandle) != 0;
    return false;
}

void TWinControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (FHandle)
        EnableWindow(FHandle, Value);
    EnabledChanged();
}

void TWinControl::Invalidate() {
    if (FHandle)
        InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::ScaleBy(int M, int D) {
    if (M == D || D == 0)
        return;
    for (TControl* C : std::vector<TControl*>(FControls))
        C->ScaleBy(M, D);
    TControl::ScaleBy(M, D);
}

std::string TWinControl::GetText() const {
    if (!FHandle)
        return FText;
    int Len = GetWindowTextLengthA(FHandle);
    std::string S(static_cast<size_t>(Len) + 1, '\0');
    Len = GetWindowTextA(FHandle, S.data(), Len + 1);
    S.resize(static_cast<size_t>(std::max(Len, 0)));
    return S;
}

void TWinControl::TextChanged() {
    if (FHandle)
        SetWindowTextA(FHandle, FText.c_str());
    Invalidate();
}

void TWinControl::VisibleChanged() {
    if (FVisible && !FHandle && (FParent ? FParent->FHandle != nullptr : true))
        HandleNeeded();
    if (FHandle)
        ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
    RequestAlign();
}

bool TWinControl::HasGraphicChildren() const {
    return std::any_of(FControls.begin(), FControls.end(),
                       [](TControl* C) { return dynamic_cast<TGraphicControl*>(C) != nullptr; });
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* C : FControls)
        C->Perform(CM_PARENTCOLORCHANGED);
}

void TWinControl::FontChanged() {
    if (FHandle) {
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        Invalidate();
    }
    for (TControl* C : FControls)
        C->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    DoEvent(OnKeyDown, this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    DoEvent(OnKeyUp, this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
    DoEvent(OnKeyPress, this, Key);
}

// A form that previews keys sees them first and may swallow them by clearing the key.
bool TWinControl::DoKeyMessage(TMessage& Message, void (TWinControl::*Handler)(WORD&, TShiftState)) {
    WORD Key = static_cast<WORD>(Message.WParam);
    TShiftState Shift = KeyDataToShiftState(Message.LParam);
    TCustomForm* Form = GetParentForm();
    if (Form && Form != this && Form->KeyPreview()) {
        (static_cast<TWinControl*>(Form)->*Handler)(Key, Shift);
        if (Key == 0)
            return true;
    }
    (this->*Handler)(Key, Shift);
    Message.WParam = Key;
    return Key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    return DoKeyMessage(Message, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    return DoKeyMessage(Message, &TWinControl::KeyUp);
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    char Ch = static_cast<char>(Message.WParam);
    TCustomForm* Form = GetParentForm();
    if (Form && Form != this && Form->KeyPreview()) {
        Form->KeyPress(Ch);
        if (Ch == 0)
            return true;
    }
    KeyPress(Ch);
    Message.WParam = static_cast<unsigned char>(Ch);
    return Ch == 0;
}

bool TWinControl::WantsKey(const MSG& Msg) {
    UINT Mask = 0;
    switch (Msg.wParam) {
    case VK_TAB:
        Mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        Mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
        Mask = DLGC_WANTALLKEYS;
        break;
    default:
        return true;
    }
    if (Perform(CM_WANTSPECIALKEY, Msg.wParam) != 0)
        return true;
    // Asked without the message: some controls act on the key they are shown (a multi-line edit
    // closes its parent on Escape), and only the class's general answer matters here.
    LRESULT Code = SendMessageA(Msg.hwnd, WM_GETDLGCODE, 0, 0);
    return (Code & Mask) != 0;
}

void TWinControl::PaintWindow(HDC) {}

HBRUSH TWinControl::ControlBrush(HDC DC) {
    if (!FBrush)
        FBrush = std::make_unique<TBrush>();
    FBrush->SetColor(Color());
    SetTextColor(DC, ColorToRGB(Font().Color()));
    SetBkColor(DC, ColorToRGB(Color()));
    return FBrush->Handle();
}

void TWinControl::PaintControls(HDC DC) {
    for (TControl* C : FControls) {
        auto* G = dynamic_cast<TGraphicControl*>(C);
        if (!G || !G->FVisible)
            continue;
        RECT R = G->BoundsRect();
        if (!RectVisible(DC, &R))
            continue;
        int Saved = SaveDC(DC);
        SetViewportOrgEx(DC, G->FLeft, G->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, G->FWidth, G->FHeight);
        G->Canvas().SetHandle(DC);
        TScopeGuard Cleanup([&] {
            G->Canvas().SetHandle(nullptr);
            RestoreDC(DC, Saved);
        });
        G->Paint();
    }
}

void TWinControl::UpdateShowing() {
    if (FHandle)
        ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::WndProc(TMessage& Message) {
    if (FDestroying && Message.Msg != WM_NCDESTROY) {
        DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_COMMAND:
        if (Message.LParam) {
            if (TWinControl* C = FromHandle(reinterpret_cast<HWND>(Message.LParam))) {
                Message.Result = C->Perform(CN_COMMAND, Message.WParam, Message.LParam);
                return;
            }
        }
        break;
    case WM_NOTIFY: {
        auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (TWinControl* C = FromHandle(Hdr->hwndFrom)) {
            Message.Result = C->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
            return;
        }
        break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        if (TWinControl* C = FromHandle(reinterpret_cast<HWND>(Message.LParam))) {
            Message.Result = C->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        // A platform static or button that is no control of ours stands on our background too.
        if (FDefWndProc == &DefWindowProcA &&
            (Message.Msg == WM_CTLCOLORSTATIC || Message.Msg == WM_CTLCOLORBTN)) {
            Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
            return;
        }
        break;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC:
        Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (Message.LParam) {
            if (TWinControl* C = FromHandle(reinterpret_cast<HWND>(Message.LParam))) {
                Message.Result = C->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
                return;
            }
        }
        break;
    case WM_DRAWITEM: {
        auto* DI = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (DI->CtlType != ODT_MENU)
            if (TWinControl* C = FromHandle(DI->hwndItem)) {
                Message.Result = C->Perform(CN_DRAWITEM, Message.WParam, Message.LParam);
                return;
            }
        break;
    }
    case WM_PAINT:
        if (FDefWndProc == &DefWindowProcA) {
            PAINTSTRUCT PS;
            HDC DC = BeginPaint(FHandle, &PS);
            {
                TScopeGuard Cleanup([&] { EndPaint(FHandle, &PS); });
                PaintWindow(DC);
                PaintControls(DC);
            }
            Message.Result = 0;
            return;
        }
        if (Message.WParam == 0 && HasGraphicChildren()) {
            // A platform control (a group box) draws itself into the context it is given; the
            // controls without a window that it holds are drawn over that.
            PAINTSTRUCT PS;
            HDC DC = BeginPaint(FHandle, &PS);
            {
                TScopeGuard Cleanup([&] { EndPaint(FHandle, &PS); });
                Message.WParam = reinterpret_cast<WPARAM>(DC);
                DefaultHandler(Message);
                PaintControls(DC);
            }
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCPAINT: {
        // A child window of our own without a frame or scroll bars has nothing outside its client
        // area to draw; the platform's default still fetches the frame's region and theme, about a
        // dozen round trips to the window system each time.
        const LONG Style = GetWindowLongA(FHandle, GWL_STYLE), ExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
        if (FDefWndProc == &DefWindowProcA && (Style & WS_CHILD) &&
            !(Style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL)) &&
            !(ExStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME))) {
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
        if (FDefWndProc == &DefWindowProcA) {
            RECT R;
            GetClientRect(FHandle, &R);
            HDC DC = reinterpret_cast<HDC>(Message.WParam);
            ::FillRect(DC, &R, ControlBrush(DC));
            Message.Result = 1;
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(Message);
        RECT R;
        GetWindowRect(FHandle, &R);
        HWND P = GetParent(FHandle);
        if (P && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD))
            MapWindowPoints(nullptr, P, reinterpret_cast<POINT*>(&R), 2);
        bool Resized = R.right - R.left != FWidth || R.bottom - R.top != FHeight;
        FLeft = R.left;
        FTop = R.top;
        FWidth = R.right - R.left;
        FHeight = R.bottom - R.top;
        if (Resized) {
            Realign();
            Resize();
        }
        return;
    }
    case WM_SETFOCUS: {
        DefaultHandler(Message);
        if (TCustomForm* Form = GetParentForm())
            Form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
        // Focus coming back from a window inside us (a combo box's edit) is no entry.
        auto From = reinterpret_cast<HWND>(Message.WParam);
        if (!From || !IsChild(FHandle, From))
            DoEnter();
        return;
    }
    case WM_KILLFOCUS: {
        DefaultHandler(Message);
        auto To = reinterpret_cast<HWND>(Message.WParam);
        if (!To || !IsChild(FHandle, To))
            DoExit();
        return;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
            POINT P;
            GetCursorPos(&P);
            ::ScreenToClient(FHandle, &P);
            TControl* C = ControlAtPos(P, true);
            TCursor Cur = C && dynamic_cast<TGraphicControl*>(C) ? C->Cursor() : Cursor();
            if (Screen && Screen->Cursor() != crDefault)
                Cur = Screen->Cursor();
            if (Cur != crDefault) {
                ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(Cur == crHourGlass   ? 32514
                                                                  : Cur == crIBeam     ? 32513
                                                                  : Cur == crHandPoint ? 32649
                                                                                       : 32512)));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_SYSCOLORCHANGE:
        // The system tells top-level windows only; controls that keep colours of their own (the
        // common controls among them) hear of it from their parent.
        for (TControl* C : std::vector<TControl*>(FControls))
            if (auto* W = dynamic_cast<TWinControl*>(C); W && W->FHandle)
                SendMessageA(W->FHandle, WM_SYSCOLORCHANGE, Message.WParam, Message.LParam);
        break;
    case WM_CONTEXTMENU:
        if (PopupMenu() && PopupMenu()->AutoPopup) {
            POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (P.x == -1 && P.y == -1)
                P = ClientToScreen(POINT{0, 0});
            PopupMenu()->PopupComponent = this;
            PopupMenu()->Popup(P.x, P.y);
            Message.Result = 0;
            return;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(Message))
            return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(Message))
            return;
        break;
    case WM_CHAR:
        if (DoKeyPress(Message))
            return;
        break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
        Message.Result = 1;
        MSG M{GetFocus(), Message.Msg - CN_BASE, Message.WParam, Message.LParam, 0, {0, 0}};
        if (!M.hwnd)
            M.hwnd = FHandle;
        TCustomForm* Form = GetParentForm();
        if (Form && Form->IsShortCut(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam)))
            return;
        if (!WantsKey(M) && Form && Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
            return;
        Message.Result = 0;
        return;
    }
    case CM_DIALOGKEY:
        // Offered to every child until one takes it.
        for (TControl* C : std::vector<TControl*>(FControls)) {
            if (auto* W = dynamic_cast<TWinControl*>(C)) {
                if (W->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) {
                    Message.Result = 1;
                    return;
                }
            }
        }
        Message.Result = 0;
        return;
    case CM_DIALOGCHAR:
        // An accelerator: offered to every child, graphic ones too, until one takes it.
        for (TControl* C : std::vector<TControl*>(FControls)) {
            if (C->Visible() && C->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
        Message.Result = 0;
        return;
    case CN_SYSCHAR:
        // Alt with a letter: the accelerators of the form, unless a menu takes the key.
        if (TCustomForm* Form = GetParentForm()) {
            if (Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
        Message.Result = 0;
        return;
    case WM_NCDESTROY:
        DefaultHandler(Message);
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        FHandle = nullptr;
        HandleDestroyed();
        return;
    }
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK && Message.Msg != WM_MOUSEWHEEL) {
        POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        TControl* Target = CapturedGraphicControl() && CapturedGraphicControl()->FParent == this
                               ? CapturedGraphicControl()
                               : nullptr;
        if (!Target) {
            TControl* C = ControlAtPos(P);
            if (C && dynamic_cast<TGraphicControl*>(C))
                Target = C;
        }
        if (Target) {
            TMessage Child = Message;
            Child.LParam = MAKELPARAM(P.x - Target->FLeft, P.y - Target->FTop);
            if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
                CapturedGraphicControl() = Target;
                SetCapture(FHandle);
            }
            Target->WndProc(Child);
            if (Message.Msg == WM_LBUTTONUP && CapturedGraphicControl() == Target) {
                CapturedGraphicControl() = nullptr;
                if (GetCapture() == FHandle)
                    ReleaseCapture();
            }
            return;
        }
        if (FClickEvents) {
            if (Message.Msg == WM_LBUTTONDOWN)
                SetCapture(FHandle);
            if (Message.Msg == WM_LBUTTONUP && GetCapture() == FHandle)
                ReleaseCapture();
        }
    }
    TControl::WndProc(Message);
}

// --- TCustomControl -----------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FClickEvents = true;
}
TCustomControl::~TCustomControl() {
    DestroyHandle();
}

void TCustomControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomControl::Paint() {
    DoEvent(OnPaint, this);
}

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas->Font().Assign(Font());
    FCanvas->Brush().SetColor(Color());
    FCanvas->SetHandle(DC);
    TScopeGuard Cleanup([&] { FCanvas->SetHandle(nullptr); });
    Paint();
}
