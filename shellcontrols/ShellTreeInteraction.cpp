// What the user does with the shell tree's nodes: shell commands, keys, context menus, and OLE
// drag and drop from and onto the tree.
#include "shellcontrols/ShellTree.h"

#include "shellcontrols/ItemDropTarget.h"

#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellScopeGuards.h"
#include "shellcontrols/ShellUtils.h"

// ---- Commands ----

HRESULT TNVCustomShellTree::DoCommandForNode(HTREEITEM Node, const std::string& Verb) {
    TNVShTreeData* D = NodeData(Node);
    if (!D)
        return S_FALSE;
    IShellFolder* Parent = D->GetParentIShf();
    if (!Parent)
        return E_FAIL;
    TNVIdListHolder Rel;
    LPCITEMIDLIST Item = D->RelPidl();
    if (!D->Parent()) {
        TNVIdListArray Chain(D->GetAbsPidl());
        Rel.Reset(CopyIdList(nullptr, Chain.GetItem(Chain.GetCount() - 1)));
        Item = Rel.Get();
    }
    HRESULT R = NVDoVerbOnItems(OwnerWindow(), Parent, {Item}, Verb);
    RefreshNodes();
    return R;
}

bool TNVCustomShellTree::RenameNode(HTREEITEM Node, const std::string& NewName) {
    TNVShTreeData* D = NodeData(Node);
    if (!D || !D->Parent() || NewName.empty())
        return false;
    IShellFolder* Parent = D->GetParentIShf();
    if (!Parent)
        return false;
    THourGlassCursor Wait;
    FIgnoreNextChange = true;
    std::wstring W(NewName.begin(), NewName.end());
    if (W.size() > MAX_PATH)
        W.resize(MAX_PATH);
    LPITEMIDLIST NewPidl = nullptr;
    HRESULT R;
    {
        TScopeCount Guard(FUpdateGuard);
        R = Parent->SetNameOf(OwnerWindow(), D->RelPidl(), W.c_str(), SHGDN_INFOLDER | SHGDN_FORPARSING,
                              &NewPidl);
    }
    if (FAILED(R) || !NewPidl) {
        FIgnoreNextChange = false;
        ShellMemFree(NewPidl);
        return false;
    }
    // The descendants' cached absolute lists named the old path.
    std::vector<HTREEITEM> Stack{FirstChild(Node)};
    while (!Stack.empty()) {
        HTREEITEM C = Stack.back();
        Stack.pop_back();
        for (; C; C = NextSibling(C)) {
            if (TNVShTreeData* CD = NodeData(C))
                CD->Flush();
            Stack.push_back(FirstChild(C));
        }
    }
    D->SetRelPidl(NewPidl);
    ShellMemFree(NewPidl);
    TVITEMA Item{};
    Item.mask = TVIF_TEXT;
    Item.hItem = Node;
    std::string Text = NewName;
    Item.pszText = Text.data();
    SendMessageA(FHandle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    if (Node == Selected()) {
        TScopeCount Guard(FUpdateGuard);
        FSelectedFolder->SetIdList(D->GetAbsPidl());
        if (FShellList)
            FShellList->TreeChanged(D);
    }
    if (FRefreshPending)
        RefreshNodes();
    return true;
}

bool TNVCustomShellTree::CreateNewFolder() {
    HTREEITEM Node = Selected();
    TNVShTreeData* D = NodeData(Node);
    if (!D)
        return false;
    std::string Path = D->GetPathName();
    if (Path.empty())
        return false;
    FIgnoreNextChange = true;
    std::string Name;
    if (!NVShCreateNewFolder(Path, Name)) {
        FIgnoreNextChange = false;
        return false;
    }
    {
        THourGlassCursor Wait;
        Sleep(IdListIsEmpty(FSelectedFolder->GetIdList()) ? 2100 : 1000);
    }
    RefreshNodes();
    ExpandNode(Selected());
    if (HTREEITEM New = FindChildByText(Selected(), Name)) {
        SetFocus();
        SendMessageA(FHandle, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(New));
    }
    return true;
}

// ---- Keys and context menus ----

void TNVCustomShellTree::KeyDown(WORD& Key, TShiftState Shift) {
    TNVCustomTreeView::KeyDown(Key, Shift);
    if (Key == 0 || !(FOptions & nvstoDefaultKeyHandling) || FEditing)
        return;
    HTREEITEM Node = Selected();
    switch (NVMatchShellKey(Key, Shift)) {
    case TNVShellKey::Edit:
        if (Node)
            SendMessageA(FHandle, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Node));
        break;
    case TNVShellKey::Refresh:
        RefreshNodes();
        break;
    case TNVShellKey::Cut:
        DoCommandForNode(Node, "cut");
        break;
    case TNVShellKey::Copy:
        DoCommandForNode(Node, "copy");
        break;
    case TNVShellKey::Paste:
        DoCommandForNode(Node, "paste");
        break;
    case TNVShellKey::Delete:
        DoCommandForNode(Node, "delete");
        break;
    case TNVShellKey::SelectAll:
    case TNVShellKey::None:
        return;
    }
    Key = 0;
}

void TNVCustomShellTree::ProcessMenu(HTREEITEM Node, POINT ScreenPt) {
    TNVShTreeData* D = NodeData(Node);
    if (!D || IdListIsEmpty(D->GetAbsPidl()))
        return;
    IShellFolder* Parent = D->GetParentIShf();
    if (!Parent)
        return;
    TNVIdListHolder Rel;
    LPCITEMIDLIST Item = D->RelPidl();
    if (!D->Parent()) {
        TNVIdListArray Chain(D->GetAbsPidl());
        Rel.Reset(CopyIdList(nullptr, Chain.GetItem(Chain.GetCount() - 1)));
        Item = Rel.Get();
    }
    UINT Flags = FReadOnly ? CMF_EXPLORE : (CMF_EXPLORE | CMF_CANRENAME);
    TComPtr<IContextMenu> Context;
    UINT Command;
    {
        FMenuActive = true;
        struct TActive {
            bool& F;
            ~TActive() { F = false; }
        } Active{FMenuActive};
        Command = NVTrackShellMenu(OwnerWindow(), FHandle, Parent, {Item}, Flags, ScreenPt, Context,
                                   FMenuSession, [this](const std::string& Hint) {
                                       if (OnPopupHint)
                                           OnPopupHint(this, Hint);
                                   });
    }
    if (Command)
        RunMenuCommand(Node, Context.Get(), Command);
    if (FRefreshPending)
        RefreshNodes();
}

void TNVCustomShellTree::NodeContextMenu(HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu) {
    TNVCustomTreeView::NodeContextMenu(Node, Pos, Menu);
    if (FOptions & nvstoContextMenus) {
        ProcessMenu(Node, ClientToScreen(Pos));
        Menu = nullptr;
    }
}

void TNVCustomShellTree::RunMenuCommand(HTREEITEM Node, IContextMenu* Menu, UINT Command) {
    if (Command == 0)
        return;
    if (Command < NVFirstShellCommand) {
        TNVShTreeData* D = NodeData(Node);
        if (!D || !D->Parent())
            return;
        TComPtr<IShellFolder> Parent = D->Parent()->GetThisIShf();
        TComPtr<IDataObject> Data =
            NVCreateShellDataObject(Parent.Get(), D->Parent()->GetAbsPidl(), {D->RelPidl()});
        NVOleCheck(NVSendTo(static_cast<int>(Command) - 1, Data.Get()));
        return;
    }
    if (NVIsRenameCommand(Menu, Command)) {
        SendMessageA(FHandle, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Node));
        return;
    }
    InvokeCommandByOffset(OwnerWindow(), Menu, Command - NVFirstShellCommand);
    RefreshNodes();
}

// ---- Drag and drop ----

void TNVCustomShellTree::RegisterDrop(bool On) {
    if (On) {
        if (FDropTarget || !FHandle)
            return;
        FDropTarget = new TNVDropTargetForwarder(this);
        if (FAILED(RegisterDragDrop(FHandle, FDropTarget))) {
            FDropTarget->Detach();
            FDropTarget->Release();
            FDropTarget = nullptr;
        }
    } else if (FDropTarget) {
        if (FHandle)
            RevokeDragDrop(FHandle);
        FDropTarget->Detach();
        FDropTarget->Release();
        FDropTarget = nullptr;
    }
}

TComPtr<IDataObject> TNVCustomShellTree::CreateNodeDataObject(HTREEITEM Node) {
    TNVShTreeData* D = NodeData(Node);
    if (!D || !D->Parent())
        return TComPtr<IDataObject>();
    TComPtr<IShellFolder> Parent = D->Parent()->GetThisIShf();
    if (!Parent)
        return TComPtr<IDataObject>();
    return NVCreateShellDataObject(Parent.Get(), D->Parent()->GetAbsPidl(), {D->RelPidl()});
}

void TNVCustomShellTree::OleBeginDrag(HTREEITEM Node, DWORD Button) {
    TComPtr<IDataObject> Data = CreateNodeDataObject(Node);
    if (!Data)
        return;
    FMenuActive = true;
    DWORD Allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    try {
        Allowed = AllowedEffectsOf(Data.Get());
    } catch (const ENVOleError&) {
    }
    TreeView_SelectDropTarget(FHandle, Node);
    TComPtr<IDropSource> Source(new TDropSource_shlvtv(Button));
    DWORD Effect = DROPEFFECT_NONE;
    HRESULT R = DoDragDrop(Data.Get(), Source.Get(), Allowed, &Effect);
    TreeView_SelectDropTarget(FHandle, nullptr);
    FMenuActive = false;
    bool Due = R == DRAGDROP_S_DROP || FRefreshPending;
    FRefreshPending = false;
    if (Due)
        RefreshNodes();
}

HTREEITEM TNVCustomShellTree::DropNodeAt(POINT ScreenPt, TComPtr<IDropTarget>& Target) {
    Target.Reset();
    TVHITTESTINFO Hit{};
    Hit.pt = ScreenToClient(ScreenPt);
    HTREEITEM Node = TreeView_HitTest(FHandle, &Hit);
    TNVShTreeData* D = NodeData(Node);
    if (!D || !D->Parent())
        return nullptr;
    if (FAILED(D->GetIDropTarget(OwnerWindow(), Target)))
        Target.Reset();
    return Node;
}

void TNVCustomShellTree::DoDropTargetAutoscroll(POINT ClientPt) {
    POINT Hover{};
    if (!FAutoScroll.Step(FHandle, ClientPt, Hover))
        return;
    TVHITTESTINFO Hit{};
    Hit.pt = Hover;
    if (HTREEITEM Node = TreeView_HitTest(FHandle, &Hit))
        ExpandNode(Node);
}

void TNVCustomShellTree::OnDropTarget_DragEnter(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) {
    FDropData = TComPtr<IDataObject>::Share(Data);
    FDropKeyState = KeyState;
    FAutoScroll.Start(ScreenToClient(Pt));
    DWORD Allowed = Effect;
    FDropNode = DropNodeAt(Pt, FDropItemTarget);
    TreeView_SelectDropTarget(FHandle, FDropNode);
    Effect = ItemDragEnterEffect(FDropItemTarget.Get(), Data, KeyState, Pt, Allowed);
}

void TNVCustomShellTree::OnDropTarget_DragOver(DWORD KeyState, POINT Pt, DWORD& Effect) {
    DWORD Allowed = Effect;
    TComPtr<IDropTarget> Target;
    HTREEITEM Node = DropNodeAt(Pt, Target);
    if (Node != FDropNode) {
        FDropNode = Node;
        TreeView_SelectDropTarget(FHandle, Node);
        SwitchItemDropTarget(FDropItemTarget, Target, FDropData.Get(), KeyState, Pt, Allowed);
    }
    Effect = ItemDragOverEffect(FDropItemTarget.Get(), KeyState, Pt, Allowed);
    DoDropTargetAutoscroll(ScreenToClient(Pt));
}

void TNVCustomShellTree::OnDropTarget_DragLeave() {
    LeaveItemDropTarget(FDropItemTarget);
    FDropData.Reset();
    FDropNode = nullptr;
    TreeView_SelectDropTarget(FHandle, nullptr);
}

void TNVCustomShellTree::OnDropTarget_Drop(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) {
    TComPtr<IDropTarget> Target = FDropItemTarget;
    FDropItemTarget.Reset();
    FDropData.Reset();
    FDropNode = nullptr;
    TreeView_SelectDropTarget(FHandle, nullptr);
    if (!Target) {
        Effect = DROPEFFECT_NONE;
        return;
    }
    // The buttons are up by now; the folder's target still has to tell a right-button drag, to
    // offer its menu.
    KeyState |= FDropKeyState & (MK_LBUTTON | MK_RBUTTON);
    const POINTL At{Pt.x, Pt.y};
    DWORD Allowed = Effect;
    if (FAILED(Target->DragOver(KeyState, At, &Effect))) {
        Target->DragLeave();
        Effect = DROPEFFECT_NONE;
        return;
    }
    Effect = Allowed & AllowedEffectsOf(Data);
    if (FAILED(Target->Drop(Data, KeyState, At, &Effect)))
        Effect = DROPEFFECT_NONE;
    RefreshNodes();
}
