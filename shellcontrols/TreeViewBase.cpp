#include "shellcontrols/TreeViewBase.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Messages.h"
#include "shellcontrols/ShellMenus.h"

ZEL_DEFINE_CLASS(TNVCustomTreeView, TWinControl, {})
ZEL_DEFINE_CLASS(TNVTreeView, TNVCustomTreeView, {})

TNVCustomTreeView::TNVCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
}

TNVCustomTreeView::~TNVCustomTreeView() = default;

void TNVCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_TREEVIEWA;
    Params.Style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
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

void TNVCustomTreeView::ShowNodeMenu(HTREEITEM Node, POINT Client) {
    TPopupMenu* Menu = PopupMenu();
    NodeContextMenu(Node, Client, Menu);
    if (Menu) {
        Menu->PopupComponent = this;
        POINT Screen = ClientToScreen(Client);
        Menu->Popup(Screen.x, Screen.y);
    }
}

void TNVCustomTreeView::DoPreNodeContextMenu() {
    if (HTREEITEM Node = Selected()) {
        RECT R{};
        TreeView_GetItemRect(FHandle, Node, &R, TRUE);
        ShowNodeMenu(Node, POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    } else if (TPopupMenu* Menu = PopupMenu()) {
        Menu->PopupComponent = this;
        POINT Screen = ClientToScreen(POINT{0, 0});
        Menu->Popup(Screen.x, Screen.y);
    }
}

void TNVCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
    if (NVIsContextMenuKey(Key, Shift)) {
        Key = 0;
        DoPreNodeContextMenu();
    }
    TWinControl::KeyDown(Key, Shift);
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
    switch (Message.Msg) {
    case WM_CONTEXTMENU: {
        // From the keyboard the menu keys have acted in KeyDown already; any other key that the
        // platform turns into a menu request (Shift+Applications) opens nothing.
        if (Message.LParam == -1)
            return;
        POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        HTREEITEM Node = Selected();
        TVHITTESTINFO Hit{};
        Hit.pt = ScreenToClient(P);
        if (HTREEITEM Under = TreeView_HitTest(FHandle, &Hit))
            Node = Under;
        if (!Node)
            break;
        ShowNodeMenu(Node, ScreenToClient(P));
        return;
    }
    case CN_NOTIFY:
        if (reinterpret_cast<NMHDR*>(Message.LParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            CustomDraw(Message);
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
