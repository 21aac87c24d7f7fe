// What the user does with the shell list's items: opening, commands, keys, context menus, and
// OLE drag and drop from and onto the list.
#include "shellcontrols/ShellList.h"

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "shellcontrols/ComObject.h"
#include "shellcontrols/ItemDropTarget.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellScopeGuards.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

// ---- Opening ----

bool TNVCustomShellList::DblClickOpen() {
    bool Handled = false;
    if (OnDblClickOpen)
        OnDblClickOpen(this, Handled);
    return !Handled;
}

void TNVCustomShellList::MoveInto(LPCITEMIDLIST AbsList) {
    if (FOptions & nvsloDontChangeFolder)
        return;
    TNVIdListHolder Copy(CopyIdList(nullptr, AbsList));
    DeleteAllItems();
    if (FShellTree)
        FShellTree->SelectedFolder().SetIdList(Copy.Get());
    else if (FShellCombo)
        FShellCombo->SelectedFolder().SetIdList(Copy.Get());
    else
        FFolder->SetIdList(Copy.Get());
}

void TNVCustomShellList::OpenItem(int Index) {
    Synchronize();
    TNVShListData* D = GetShListData(Index);
    if (!D) {
        DblClickOpen();
        return;
    }
    THourGlassCursor Wait;
    if (D->IsFolder()) {
        MoveInto(D->GetAbsoluteIdList());
        return;
    }
    if (D->IsLnkShortcut()) {
        TLinkData Link;
        Link.NoUI = 1;
        if (SUCCEEDED(ResolveShortcut(D->GetPathName(), Link, false)) && !Link.Path.empty() &&
            DirectoryExists(Link.Path)) {
            TNVIdListHolder Target;
            if (SUCCEEDED(ShellGetIdListFromPath(Link.Path, *Target.Put())))
                MoveInto(Target.Get());
            return;
        }
    }
    if (!DblClickOpen())
        return;
    HMENU Menu = nullptr;
    TComPtr<IContextMenu> Context;
    NVOleCheck(
        GetShellContextMenu(OwnerWindow(), FCurFolder.Get(), {D->RelPidl()}, Menu, Context, CMF_EXPLORE));
    UINT Default = GetMenuDefaultItem(Menu, FALSE, 0);
    if (Default != static_cast<UINT>(-1) && Default >= NVFirstShellCommand)
        InvokeCommandByOffset(OwnerWindow(), Context.Get(), Default - NVFirstShellCommand);
    DestroyMenu(Menu);
}

void TNVCustomShellList::OpenSelectedItems() {
    Synchronize();
    std::vector<int> Sel = SelectedIndexes();
    std::vector<LPCITEMIDLIST> Items;
    for (int I : Sel)
        if (TNVShListData* D = GetShListData(I))
            Items.push_back(D->RelPidl());
    if (Items.size() < 2) {
        int Index = Sel.empty() ? static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM,
                                                                static_cast<WPARAM>(-1), LVNI_FOCUSED))
                                : Sel.front();
        if (Index >= 0)
            OpenItem(Index);
        return;
    }
    if (!DblClickOpen())
        return;
    HMENU Menu = nullptr;
    TComPtr<IContextMenu> Context;
    NVOleCheck(GetShellContextMenu(OwnerWindow(), FCurFolder.Get(), Items, Menu, Context, CMF_EXPLORE));
    UINT Default = GetMenuDefaultItem(Menu, FALSE, 0);
    if (Default != static_cast<UINT>(-1) && Default >= NVFirstShellCommand)
        InvokeCommandByOffset(OwnerWindow(), Context.Get(), Default - NVFirstShellCommand);
    DestroyMenu(Menu);
}

// ---- Commands ----

bool TNVCustomShellList::IsFolderNetworkShare() {
    return ShellGetPathFromIdList(FCurFolderIdList).rfind("\\\\", 0) == 0;
}

HRESULT TNVCustomShellList::DoCommandForAllSelected(const std::string& Verb) {
    std::vector<LPCITEMIDLIST> Items;
    for (int I : SelectedIndexes())
        if (TNVShListData* D = GetShListData(I))
            Items.push_back(D->RelPidl());
    if (Items.empty() || !FCurFolder)
        return S_FALSE;
    HRESULT R = NVDoVerbOnItems(OwnerWindow(), FCurFolder.Get(), Items, Verb);
    if (IsFolderNetworkShare())
        RefreshItems();
    return R;
}

HRESULT TNVCustomShellList::DoCommandForFolder(const std::string& Verb) {
    TComPtr<IShellFolder> Parent;
    LPITEMIDLIST ParentList = nullptr, RelList = nullptr;
    HRESULT R = ShellBindToParent(FCurFolderIdList, Parent, ParentList, RelList);
    TNVIdListHolder P(ParentList), Rel(RelList);
    if (FAILED(R))
        return R;
    return NVDoVerbOnItems(OwnerWindow(), Parent.Get(), {Rel.Get()}, Verb);
}

bool TNVCustomShellList::CreateNewFolder(bool Edit) {
    std::string Path = ShellGetPathFromIdList(FCurFolderIdList);
    if (Path.empty())
        return false;
    FIgnoreNextChange = true;
    std::string Name;
    if (!NVShCreateNewFolder(Path, Name)) {
        FIgnoreNextChange = false;
        return false;
    }
    if (IdListIsEmpty(FCurFolderIdList)) {
        THourGlassCursor Wait;
        Sleep(2100);
    }
    RefreshItems();
    if (Edit && HandleAllocated()) {
        FDeferredEditName = Name;
        PostMessageA(FHandle, AMDeferredEdit, 0, 0);
    }
    return true;
}

bool TNVCustomShellList::RenameItem(int Index, const std::string& NewName) {
    TNVShListData* D = GetShListData(Index);
    if (!D || !FCurFolder || NewName.empty())
        return false;
    THourGlassCursor Wait;
    FIgnoreNextChange = true;
    std::wstring W = ToWide(NewName, MAX_PATH);
    LPITEMIDLIST NewPidl = nullptr;
    HRESULT R = FCurFolder->SetNameOf(OwnerWindow(), D->RelPidl(), W.c_str(),
                                      SHGDN_INFOLDER | SHGDN_FORPARSING, &NewPidl);
    if (FAILED(R) || !NewPidl) {
        FIgnoreNextChange = false;
        ShellMemFree(NewPidl);
        return false;
    }
    D->SetData(NewPidl);
    SendMessageA(FHandle, LVM_UPDATE, static_cast<WPARAM>(Index), 0);
    return true;
}

// ---- Keys ----

void TNVCustomShellList::KeyDown(WORD& Key, TShiftState Shift) {
    TNVCustomListView::KeyDown(Key, Shift);
    if (Key == 0 || !(FOptions & nvsloDefaultKeyHandling) || FEditing)
        return;
    switch (NVMatchShellKey(Key, Shift)) {
    case TNVShellKey::SelectAll:
        SelectAll();
        break;
    case TNVShellKey::Delete:
        DoCommandForAllSelected("delete");
        RefreshItems();
        break;
    case TNVShellKey::Copy:
        DoCommandForAllSelected("copy");
        break;
    case TNVShellKey::Cut:
        DoCommandForAllSelected("cut");
        break;
    case TNVShellKey::Paste:
        DoCommandForFolder("paste");
        RefreshItems();
        break;
    case TNVShellKey::Refresh:
        FillItems();
        break;
    case TNVShellKey::Edit: {
        int Focused =
            static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (Focused >= 0)
            SendMessageA(FHandle, LVM_EDITLABELA, static_cast<WPARAM>(Focused), 0);
        break;
    }
    case TNVShellKey::None:
        return;
    }
    Key = 0;
}

void TNVCustomShellList::KeyPress(char& Key) {
    TNVCustomListView::KeyPress(Key);
    if (!(FOptions & nvsloDefaultKeyHandling) || FEditing)
        return;
    if (Key == 8) {
        GoUp(1);
        Key = 0;
    } else if (Key == 13) {
        OpenSelectedItems();
        Key = 0;
    }
}

bool TNVCustomShellList::WantsKey(const MSG& Msg) {
    if (FEditing)
        return true;
    if (Msg.message == WM_KEYDOWN && Msg.wParam == VK_RETURN) {
        TNVShListData* D = GetSelectedItem();
        if (D && D->IsFolder())
            return true;
    }
    return TNVCustomListView::WantsKey(Msg);
}

// ---- Context menus ----

void TNVCustomShellList::ProcessMenuForAllSelected(POINT ScreenPt) {
    std::vector<LPCITEMIDLIST> Items;
    for (int I : SelectedIndexes())
        if (TNVShListData* D = GetShListData(I))
            Items.push_back(D->RelPidl());
    if (Items.empty() || !FCurFolder)
        return;
    UINT Flags = FReadOnly ? CMF_EXPLORE : (CMF_EXPLORE | CMF_CANRENAME);
    TComPtr<IContextMenu> Context;
    FRefreshRunning = true;
    UINT Command;
    {
        struct TRunning {
            bool& F;
            ~TRunning() { F = false; }
        } Running{FRefreshRunning};
        Command = NVTrackShellMenu(OwnerWindow(), FHandle, FCurFolder.Get(), Items, Flags, ScreenPt, Context,
                                   FMenuSession, [this](const std::string& Hint) {
                                       if (OnPopupHint)
                                           OnPopupHint(this, Hint);
                                   });
    }
    if (Command)
        RunMenuCommand(Context.Get(), Command);
    if (FRefreshPending)
        RefreshItems();
}

void TNVCustomShellList::ItemContextMenu(int Item, POINT& Pos, TPopupMenu*& Menu) {
    TNVCustomListView::ItemContextMenu(Item, Pos, Menu);
    if ((FOptions & nvsloContextMenus) && !FRefreshRunning) {
        ProcessMenuForAllSelected(ClientToScreen(Pos));
        Menu = nullptr;
    }
}

void TNVCustomShellList::RunMenuCommand(IContextMenu* Menu, UINT Command) {
    if (Command == 0)
        return;
    if (Command < NVFirstShellCommand) {
        TComPtr<IDataObject> Data = CreateSelectionDataObject();
        NVOleCheck(NVSendTo(static_cast<int>(Command) - 1, Data.Get()));
        return;
    }
    if (NVIsRenameCommand(Menu, Command)) {
        int Focused =
            static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (Focused >= 0)
            SendMessageA(FHandle, LVM_EDITLABELA, static_cast<WPARAM>(Focused), 0);
        return;
    }
    InvokeCommandByOffset(OwnerWindow(), Menu, Command - NVFirstShellCommand);
    if (IsFolderNetworkShare())
        RefreshItems();
}

// ---- Drag and drop ----

TComPtr<IDataObject> TNVCustomShellList::CreateSelectionDataObject() {
    std::vector<LPCITEMIDLIST> Items;
    for (int I : SelectedIndexes())
        if (TNVShListData* D = GetShListData(I))
            Items.push_back(D->RelPidl());
    if (Items.empty() || !FCurFolder)
        return TComPtr<IDataObject>();
    return NVCreateShellDataObject(FCurFolder.Get(), FCurFolderIdList, Items);
}

void TNVCustomShellList::OleBeginDrag(DWORD Button) {
    TComPtr<IDataObject> Data = CreateSelectionDataObject();
    if (!Data)
        return;
    FRefreshRunning = true;
    struct TRunning {
        bool& F;
        ~TRunning() { F = false; }
    } Running{FRefreshRunning};
    DWORD Allowed = AllowedEffectsOf(Data.Get());
    TComPtr<IDropSource> Source(new TDropSource_shlvtv(Button));
    DWORD Effect = DROPEFFECT_NONE;
    HRESULT R = DoDragDrop(Data.Get(), Source.Get(), Allowed, &Effect);
    FRefreshRunning = false;
    if (R == DRAGDROP_S_DROP || FRefreshPending) {
        RefreshItems();
        SortList();
    }
}

HRESULT TNVCustomShellList::ItemDropTarget(POINT ClientPt, TComPtr<IDropTarget>& Target) {
    Target.Reset();
    if (!FCurFolder)
        return E_FAIL;
    LVHITTESTINFO Hit{};
    Hit.pt = ClientPt;
    int Index = static_cast<int>(SendMessageA(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
    TNVShListData* D = Index >= 0 ? GetShListData(Index) : nullptr;
    if (D && D->IsFolder()) {
        LPCITEMIDLIST Items[1] = {D->RelPidl()};
        if (SUCCEEDED(FCurFolder->GetUIObjectOf(OwnerWindow(), 1, Items, IID_IDropTarget, nullptr,
                                                Target.PutVoid())))
            return S_OK;
    }
    return FCurFolder->CreateViewObject(OwnerWindow(), IID_IDropTarget, Target.PutVoid());
}

void TNVCustomShellList::DoDropTargetAutoscroll(POINT ClientPt) {
    POINT Hover{};
    FAutoScroll.Step(FHandle, ClientPt, Hover);
}

void TNVCustomShellList::OnDropTarget_DragEnter(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) {
    FDropData = TComPtr<IDataObject>::Share(Data);
    FDropKeyState = KeyState;
    FAutoScroll.Start(ScreenToClient(Pt));
    POINT Client = ScreenToClient(Pt);
    DWORD Allowed = Effect;
    Effect = SUCCEEDED(ItemDropTarget(Client, FDropItemTarget))
                 ? ItemDragEnterEffect(FDropItemTarget.Get(), Data, KeyState, Pt, Allowed)
                 : DROPEFFECT_NONE;
}

void TNVCustomShellList::OnDropTarget_DragOver(DWORD KeyState, POINT Pt, DWORD& Effect) {
    DWORD Allowed = Effect;
    TComPtr<IDropTarget> Target;
    ItemDropTarget(ScreenToClient(Pt), Target);
    if (Target.Get() != FDropItemTarget.Get())
        SwitchItemDropTarget(FDropItemTarget, Target, FDropData.Get(), KeyState, Pt, Allowed);
    Effect = ItemDragOverEffect(FDropItemTarget.Get(), KeyState, Pt, Allowed);
    DoDropTargetAutoscroll(ScreenToClient(Pt));
}

void TNVCustomShellList::OnDropTarget_DragLeave() {
    LeaveItemDropTarget(FDropItemTarget);
    FDropData.Reset();
}

void TNVCustomShellList::OnDropTarget_Drop(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) {
    TComPtr<IDropTarget> Target = FDropItemTarget;
    FDropItemTarget.Reset();
    FDropData.Reset();
    if (!Target) {
        Effect = DROPEFFECT_NONE;
        return;
    }
    // The buttons are up by now; the folder's target still has to tell a right-button drag, to
    // offer its menu.
    KeyState |= FDropKeyState & (MK_LBUTTON | MK_RBUTTON);
    if (FAILED(Target->Drop(Data, KeyState, POINTL{Pt.x, Pt.y}, &Effect)))
        Effect = DROPEFFECT_NONE;
    if (IsFolderNetworkShare())
        RefreshItems();
}
