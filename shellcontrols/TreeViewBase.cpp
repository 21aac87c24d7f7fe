#include "shellcontrols/TreeViewBase.h"

#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Messages.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVCustomTreeView, TWinControl, {})
ZEL_DEFINE_CLASS(
    TNVTreeView, TNVCustomTreeView,
    {Prop::Bool<TNVCustomTreeView>("AutoExpand", &TNVCustomTreeView::AutoExpand,
                                   &TNVCustomTreeView::SetAutoExpand)
         .WithDefault(0),
     Prop::Int<TNVCustomTreeView>("ChangeDelay", &TNVCustomTreeView::ChangeDelay,
                                  &TNVCustomTreeView::SetChangeDelay)
         .WithDefault(0),
     Prop::Bool<TNVCustomTreeView>("HotTrack", &TNVCustomTreeView::HotTrack, &TNVCustomTreeView::SetHotTrack)
         .WithDefault(0),
     Prop::Bool<TNVCustomTreeView>("RightClickSelect", &TNVCustomTreeView::RightClickSelect,
                                   &TNVCustomTreeView::SetRightClickSelect)
         .WithDefault(0),
     Prop::Bool<TNVCustomTreeView>("RowSelect", &TNVCustomTreeView::RowSelect,
                                   &TNVCustomTreeView::SetRowSelect)
         .WithDefault(0),
     Prop::Bool<TNVCustomTreeView>("ToolTips", &TNVCustomTreeView::ToolTips, &TNVCustomTreeView::SetToolTips)
         .WithDefault(1),
     Prop::Method("OnChange"), Prop::Method("OnNVCustomDraw"), Prop::Method("OnNVCustomDrawEx"),
     Prop::Method("OnNodeContextMenu")})

namespace {
// Window timer of the delayed selection notification.
constexpr UINT_PTR ChangeTimer = 1;
} // namespace

DWORD NVTreeToolTipStyle(bool ToolTips, bool WinNT, uint32_t ComCtlVersionMS) {
    return !ToolTips || (WinNT && ComCtlVersionMS < NVTreeToolTipsMinComCtl) ? TVS_NOTOOLTIPS : 0;
}

TNVCustomTreeView::TNVCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
}

TNVCustomTreeView::~TNVCustomTreeView() = default;

void TNVCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_TREEVIEWA;
    Params.Style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    if (FAutoExpand)
        Params.Style |= TVS_SINGLEEXPAND;
    if (FRowSelect)
        Params.Style |= TVS_FULLROWSELECT;
    if (FHotTrack)
        Params.Style |= TVS_TRACKSELECT;
    Params.Style |= NVTreeToolTipStyle(FToolTips, IsWinNT(), ComCtlVersion().VersionMS);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TNVCustomTreeView::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    ApplyColor();
}

void TNVCustomTreeView::ColorChanged() {
    TWinControl::ColorChanged();
    ApplyColor();
}

void TNVCustomTreeView::ApplyColor() {
    if (HandleAllocated())
        SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TNVCustomTreeView::SetStyleBit(DWORD Bit, bool On) {
    if (!HandleAllocated())
        return;
    const LONG_PTR Style = GetWindowLongPtrA(FHandle, GWL_STYLE);
    const LONG_PTR Wanted = On ? (Style | static_cast<LONG_PTR>(Bit)) : (Style & ~static_cast<LONG_PTR>(Bit));
    if (Wanted != Style) {
        SetWindowLongPtrA(FHandle, GWL_STYLE, Wanted);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TNVCustomTreeView::SetAutoExpand(bool Value) {
    FAutoExpand = Value;
    SetStyleBit(TVS_SINGLEEXPAND, Value);
}

void TNVCustomTreeView::SetToolTips(bool Value) {
    FToolTips = Value;
    SetStyleBit(TVS_NOTOOLTIPS, NVTreeToolTipStyle(Value, IsWinNT(), ComCtlVersion().VersionMS) != 0);
}

void TNVCustomTreeView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    SetStyleBit(TVS_FULLROWSELECT, Value);
}

void TNVCustomTreeView::SetHotTrack(bool Value) {
    FHotTrack = Value;
    SetStyleBit(TVS_TRACKSELECT, Value);
}

// ---- Nodes ----

HTREEITEM TNVCustomTreeView::Selected() {
    return HandleAllocated() ? TreeView_GetSelection(FHandle) : nullptr;
}
HTREEITEM TNVCustomTreeView::FirstNode() {
    return HandleAllocated() ? TreeView_GetRoot(FHandle) : nullptr;
}
HTREEITEM TNVCustomTreeView::FirstChild(HTREEITEM Node) {
    return HandleAllocated() ? TreeView_GetChild(FHandle, Node) : nullptr;
}
HTREEITEM TNVCustomTreeView::NextSibling(HTREEITEM Node) {
    return HandleAllocated() && Node ? TreeView_GetNextSibling(FHandle, Node) : nullptr;
}
HTREEITEM TNVCustomTreeView::Parent(HTREEITEM Node) {
    return HandleAllocated() && Node ? TreeView_GetParent(FHandle, Node) : nullptr;
}

std::string TNVCustomTreeView::NodeText(HTREEITEM Node) {
    char Buffer[MAX_PATH + 1] = {};
    TVITEMA Item{};
    Item.mask = TVIF_TEXT;
    Item.hItem = Node;
    Item.pszText = Buffer;
    Item.cchTextMax = MAX_PATH;
    if (!Node || !HandleAllocated() ||
        !SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item)))
        return std::string();
    return Buffer;
}

HTREEITEM TNVCustomTreeView::FindChildByText(HTREEITEM Node, const std::string& Text) {
    for (HTREEITEM C = FirstChild(Node); C; C = NextSibling(C))
        if (SameText(NodeText(C), Text))
            return C;
    return nullptr;
}

void TNVCustomTreeView::SelectNode(HTREEITEM Node) {
    if (HandleAllocated())
        TreeView_SelectItem(FHandle, Node);
}

void TNVCustomTreeView::ExpandNode(HTREEITEM Node) {
    if (HandleAllocated() && Node)
        TreeView_Expand(FHandle, Node, TVE_EXPAND);
}

void TNVCustomTreeView::InvalidateNode(HTREEITEM Node, bool TextOnly, bool Erase) {
    RECT R{};
    if (HandleAllocated() && Node && TreeView_GetItemRect(FHandle, Node, &R, TextOnly))
        InvalidateRect(FHandle, &R, Erase);
}

// ---- Context menus ----

void TNVCustomTreeView::NodeContextMenu(HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu) {
    if (OnNodeContextMenu)
        OnNodeContextMenu(this, Node, Pos, Menu);
}

void TNVCustomTreeView::PopupAt(TPopupMenu* Menu, POINT Client) {
    Menu->PopupComponent = this;
    POINT Screen = ClientToScreen(Client);
    Menu->Popup(Screen.x, Screen.y);
}

void TNVCustomTreeView::DoNodeContextMenu(HTREEITEM Node, POINT Pos) {
    TPopupMenu* Menu = PopupMenu();
    NodeContextMenu(Node, Pos, Menu);
    if (Menu != PopupMenu())
        FMenuShown = true;
    if (Menu)
        PopupAt(Menu, Pos);
}

void TNVCustomTreeView::DoPreNodeContextMenu() {
    if (HTREEITEM Node = Selected()) {
        RECT R{};
        TreeView_GetItemRect(FHandle, Node, &R, TRUE);
        DoNodeContextMenu(Node, POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    } else if (TPopupMenu* Menu = PopupMenu()) {
        PopupAt(Menu, POINT{0, 0});
    }
}

// The platform reports a right click (NM_RCLICK) before it asks for the menu (WM_CONTEXTMENU):
// the node under the mouse gets its menu here, and the request that follows shows nothing more.
void TNVCustomTreeView::RightClick() {
    POINT P{};
    GetCursorPos(&P);
    TVHITTESTINFO Hit{};
    Hit.pt = ScreenToClient(P);
    HTREEITEM Node = TreeView_HitTest(FHandle, &Hit);
    if (!Node || !(Hit.flags & TVHT_ONITEM))
        return;
    if (FRightClickSelect)
        SelectNode(Node);
    TPopupMenu* Menu = PopupMenu();
    POINT Pos = Hit.pt;
    NodeContextMenu(Node, Pos, Menu);
    if (Menu)
        PopupAt(Menu, Pos);
    FMenuShown = true;
}

void TNVCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
    if (NVIsContextMenuKey(Key, Shift)) {
        Key = 0;
        DoPreNodeContextMenu();
    }
    TWinControl::KeyDown(Key, Shift);
}

void TNVCustomTreeView::SelectionChanged() {
    if (HandleAllocated())
        KillTimer(FHandle, ChangeTimer);
    DoEvent(OnChange, this);
}

// ---- Custom draw ----

void TNVCustomTreeView::CustomDraw(TMessage& Message) {
    Message.Result = CDRF_DODEFAULT;
    if (!WantsCustomDraw())
        return;
    auto* Record = reinterpret_cast<NMTVCUSTOMDRAW*>(Message.LParam);
    // The previous notification's object goes only now: a font it selected stays valid till here.
    std::unique_ptr<TNVCustomDraw> Previous = std::move(FCustomDraw);
    FCustomDraw = std::make_unique<TNVTvCustomDraw>(*Record, Message.Result, &Font());
    TNVCustomDraw* CD = FCustomDraw.get();
    HTREEITEM Node = CD->IsItem() ? reinterpret_cast<HTREEITEM>(Record->nmcd.dwItemSpec) : nullptr;
    if (OnNVCustomDrawEx)
        OnNVCustomDrawEx(this, CD, Node);
    if (OnNVCustomDraw && CD->DrawStage() == TNVCustomDrawStage::nvcdsItemPrePaint)
        OnNVCustomDraw(this, CD, Node);
    NVCustomDrawNode(CD, Node, Node ? Record->nmcd.lItemlParam : 0);
    CD->Apply();
    if (Record->nmcd.dwDrawStage & CDDS_PREPAINT)
        Message.Result |= CDRF_NOTIFYITEMDRAW;
}

// ---- Messages ----

void TNVCustomTreeView::WndProc(TMessage& Message) {
    const bool Designing = HasState(csDesigning);
    switch (Message.Msg) {
    case WM_CONTEXTMENU:
        // Never passed on: the control's popup menu opens only from here.
        if (!Designing && !Selected() && !FMenuShown) {
            if (Message.LParam == -1) {
                DoPreNodeContextMenu();
            } else {
                POINT P{static_cast<short>(LOWORD(Message.LParam)),
                        static_cast<short>(HIWORD(Message.LParam))};
                DoNodeContextMenu(nullptr, ScreenToClient(P));
            }
        }
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: {
        // The common control waits for the release in a loop of its own and keeps it; the
        // release is handled here as if it had come, so that the menu state ends with the click.
        FRButtonUpSeen = false;
        TWinControl::WndProc(Message);
        if (HandleAllocated() && !FRButtonUpSeen && NVRightButtonReleaseTaken(FHandle)) {
            POINT P{};
            GetCursorPos(&P);
            P = ScreenToClient(P);
            Perform(WM_RBUTTONUP, 0, MAKELPARAM(P.x, P.y));
        }
        return;
    }
    case WM_RBUTTONUP:
        FRButtonUpSeen = true;
        if (FMenuShown && PopupMenu()) {
            TPopupMenu* Menu = PopupMenu();
            const bool Auto = Menu->AutoPopup;
            Menu->AutoPopup = false;
            {
                TScopeGuard Restore([Menu, Auto] { Menu->AutoPopup = Auto; });
                TWinControl::WndProc(Message);
            }
            FMenuShown = false;
            return;
        }
        break;
    case WM_TIMER:
        if (Message.WParam == ChangeTimer) {
            SelectionChanged();
            return;
        }
        break;
    case WM_SYSCOLORCHANGE:
        TWinControl::WndProc(Message);
        // A system colour was sent to the window as its value then.
        if (Color() < 0)
            ColorChanged();
        return;
    case CN_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(Message.LParam)->code) {
        case NM_CUSTOMDRAW:
            CustomDraw(Message);
            return;
        case NM_RCLICK:
            if (!Designing)
                RightClick();
            Message.Result = 0;
            return;
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            if (FChangeDelay > 0 && HandleAllocated())
                SetTimer(FHandle, ChangeTimer, static_cast<UINT>(FChangeDelay), nullptr);
            else
                SelectionChanged();
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
