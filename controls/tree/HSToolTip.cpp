#include "controls/tree/HSToolTip.h"

#include <algorithm>

#include "controls/tree/HSTree.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(THSToolTip, TComponent, {})
ZEL_DEFINE_CLASS(THSTreeToolTip, THSToolTip, {})

namespace {
const char* const ToolTipProp = "ZelHSToolTip";

// The tool record in the layout the common controls of every version accept.
TTTOOLINFOA ToolInfo(UINT_PTR Id, HWND Wnd, const RECT& R, const std::string& Text, bool Subclass) {
    TTTOOLINFOA TI{};
    TI.cbSize = TTTOOLINFOA_V2_SIZE;
    TI.uFlags = Subclass ? TTF_SUBCLASS : 0;
    TI.hwnd = Wnd;
    TI.uId = Id;
    TI.rect = R;
    TI.hinst = GetModuleHandleA(nullptr);
    TI.lpszText = const_cast<char*>(Text.c_str());
    return TI;
}
} // namespace

THSToolTip::THSToolTip(TComponent* AOwner) : TComponent(AOwner) {}

THSToolTip::~THSToolTip() {
    DestroyToolTipWindow();
}

void THSToolTip::CreateToolTipWindow() {
    if (FHandle)
        return;
    INITCOMMONCONTROLSEX Init{sizeof(Init), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&Init);
    HWND Owner = FParent ? FParent->Handle() : nullptr;
    FHandle = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!FHandle)
        throw Exception("Error creating window");
    SetPropA(FHandle, ToolTipProp, this);
    FOldWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&THSToolTip::SubclassProc)));
}

void THSToolTip::DestroyToolTipWindow() {
    if (!FHandle)
        return;
    HWND W = FHandle;
    RestoreHook();
    DestroyWindow(W);
    FShown = false;
}

void THSToolTip::RestoreHook() {
    if (!FHandle)
        return;
    if (FOldWndProc)
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
    RemovePropA(FHandle, ToolTipProp);
    FOldWndProc = nullptr;
    FHandle = nullptr;
}

LRESULT CALLBACK THSToolTip::SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = static_cast<THSToolTip*>(GetPropA(Wnd, ToolTipProp));
    if (!Self || Self->FHandle != Wnd)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->WndProc(M);
    } catch (...) {
        HandleUiException(Self);
    }
    return M.Result;
}

void THSToolTip::WndProc(TMessage& Message) {
    if (Message.Msg == WM_WINDOWPOSCHANGING) {
        auto* WP = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if ((WP->flags & SWP_SHOWWINDOW) && !FShown)
            DoShowToolTip();
        else if ((WP->flags & SWP_HIDEWINDOW) && FShown)
            DoHideToolTip();
    }
    UINT Msg = Message.Msg;
    DefaultHandler(Message);
    if (Msg == WM_DESTROY)
        RestoreHook();
}

void THSToolTip::DefaultHandler(TMessage& Message) {
    if (FHandle && FOldWndProc)
        Message.Result = CallWindowProcA(FOldWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void THSToolTip::Activate() {
    if (FHandle)
        SendMessageA(FHandle, TTM_ACTIVATE, TRUE, 0);
}

void THSToolTip::Deactivate() {
    if (FHandle)
        SendMessageA(FHandle, TTM_ACTIVATE, FALSE, 0);
}

void THSToolTip::AddToolTip(UINT_PTR Id, HWND Wnd, const RECT& R, const std::string& Text, bool Subclass) {
    if (!FHandle)
        return;
    TTTOOLINFOA TI = ToolInfo(Id, Wnd, R, Text, Subclass);
    SendMessageA(FHandle, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&TI));
}

void THSToolTip::UpdateToolTipInfo(UINT_PTR Id, HWND Wnd, const RECT& R, const std::string& Text,
                                   bool Subclass) {
    if (!FHandle)
        return;
    TTTOOLINFOA TI = ToolInfo(Id, Wnd, R, Text, Subclass);
    SendMessageA(FHandle, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&TI));
}

void THSToolTip::DeleteToolTip(UINT_PTR Id, HWND Wnd) {
    if (!FHandle)
        return;
    TTTOOLINFOA TI{};
    TI.cbSize = TTTOOLINFOA_V2_SIZE;
    TI.hwnd = Wnd;
    TI.uId = Id;
    SendMessageA(FHandle, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&TI));
}

void THSToolTip::RelayEvent(const TMessage& Message, HWND Wnd) {
    if (!FHandle)
        return;
    MSG M{};
    M.hwnd = Wnd;
    M.message = Message.Msg;
    M.wParam = Message.WParam;
    M.lParam = Message.LParam;
    GetCursorPos(&M.pt);
    SendMessageA(FHandle, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&M));
}

void THSToolTip::SetTime(int Kind, int Time) {
    if (FHandle)
        SendMessageA(FHandle, TTM_SETDELAYTIME, static_cast<WPARAM>(Kind), MAKELPARAM(Time, 0));
}

void THSToolTip::SetWidth(int W) {
    if (FHandle)
        SendMessageA(FHandle, TTM_SETMAXTIPWIDTH, 0, W);
}

void THSToolTip::DoShowToolTip() {
    FShown = true;
    DoEvent(OnShow, this);
}

void THSToolTip::DoHideToolTip() {
    FShown = false;
    DoEvent(OnHide, this);
}

// --- the tree's tip ---------------------------------------------------------------------------

THSTreeToolTip::THSTreeToolTip(TComponent* AOwner) : THSToolTip(AOwner) {}

void THSTreeToolTip::NodeDeleted(THSTreeNode* Node) {
    if (Node == FNode) {
        Deactivate();
        FNode = nullptr;
    }
}

void THSTreeToolTip::DoHideToolTip() {
    THSToolTip::DoHideToolTip();
}

void THSTreeToolTip::SetNode(THSTreeNode* N) {
    if (N == FNode || !HandleAllocated() || !FTree || !FTree->HandleAllocated())
        return;
    Deactivate();
    FNode = N;
    if (!N || N == FTree->EditingNode())
        return;
    RECT Text = N->DisplayRectPart(npText, npText);
    Text.right = Text.left + N->GetTextWidth();
    RECT D = FTree->GetDrawRect();
    if (Text.right <= D.right && Text.left >= D.left && Text.bottom <= D.bottom && Text.top >= D.top) {
        FNode = nullptr;
        return;
    }
    int BX = GetSystemMetrics(SM_CXBORDER), BY = GetSystemMetrics(SM_CYBORDER);
    FTipRect = Text;
    OffsetRect(&Text, -BX, -BY);
    FTextRect = Text;
    SetWidth(FTipRect.right - FTipRect.left);
    THSCanvas Measure;
    HDC DC = GetDC(FTree->Handle());
    Measure.SetHandle(DC);
    Measure.Font().Assign(N->DrawFont());
    Measure.HorzAlign = haLeft;
    Measure.VertAlign = vaCenter;
    OffsetRect(&FTipRect, 1, 0);
    TDrawTextFlags F = DrawTextFlag(dtfCalcRect);
    if (!FTree->MultiLineNodes())
        F |= DrawTextFlag(dtfSingleLine);
    Measure.DrawText(N->Text(), FTipRect, F);
    Measure.SetHandle(nullptr);
    ReleaseDC(FTree->Handle(), DC);
    OffsetRect(&FTipRect, -(BX + 1), -(BY + 1));
    D = FTree->GetDrawRect();
    FTextRect.right = std::min(FTextRect.right, D.right);
    FTextRect.bottom = std::min(FTextRect.bottom, D.bottom);
    std::string S = N->Text();
    if (FToolAdded) {
        UpdateToolTipInfo(1, FTree->Handle(), FTextRect, S, true);
    } else {
        AddToolTip(1, FTree->Handle(), FTextRect, S, true);
        FToolAdded = true;
    }
    POINT Origin = FTree->ClientToScreen(POINT{0, 0});
    OffsetRect(&FTextRect, Origin.x, Origin.y);
    OffsetRect(&FTipRect, Origin.x, Origin.y);
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(N->DrawFont().Handle()), FALSE);
    Activate();
}

void THSTreeToolTip::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGING: {
        auto* WP = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if (FNode) {
            WP->x = FTipRect.left;
            WP->y = FTipRect.top;
        }
        break;
    }
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_MOUSEMOVE: {
        POINT P;
        GetCursorPos(&P);
        if (PtInRect(&FTextRect, P))
            return;
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        if (FNode && FTree && FTree->HandleAllocated()) {
            POINT P{static_cast<LONG>(LOWORD(Message.LParam)), static_cast<LONG>(HIWORD(Message.LParam))};
            ClientToScreen(FHandle, &P);
            ::ScreenToClient(FTree->Handle(), &P);
            TMessage M{Message.Msg, Message.WParam, MAKELPARAM(P.x, P.y), 0};
            try {
                FTree->WndProc(M);
            } catch (...) {
                HandleUiException(FTree);
            }
        }
        return;
    }
    THSToolTip::WndProc(Message);
}
