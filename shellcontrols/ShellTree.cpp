#include "shellcontrols/ShellTree.h"

#include <dbt.h>

#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellScopeGuards.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVCustomShellTree, TNVCustomTreeView, {})
ZEL_DEFINE_CLASS(TNVShellTree, TNVCustomShellTree, {})

TNVCustomShellTree::TNVCustomShellTree(TComponent* AOwner)
    : TNVCustomTreeView(AOwner), FBaseFolder(std::make_unique<TNVShellLocator>()),
      FSelectedFolder(std::make_unique<TNVShellLocator>()) {
    SetBounds(0, 0, 180, 200);
    SetTabStop(true);
    SetColor(clWindow);
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this](TObject* Sender) { TimerElapsed(Sender); };
    FBaseFolder->OnChange = [this](TObject*) {
        if (FOptions & nvstoAutoFill)
            FillItems();
    };
    FSelectedFolder->OnChange = [this](TObject*) {
        if (FUpdateGuard == 0)
            DoSetSelectedIdList(FSelectedFolder->GetIdList());
    };
    NVDeviceChangeHandler()->Add(this, [this](TObject*, const TMessage& M) {
        if (M.WParam != DBT_DEVICEARRIVAL && M.WParam != DBT_DEVICEREMOVECOMPLETE)
            return;
        FlushDriveInfoCache();
        LockFlushDriveInfoCache();
        struct TUnlock {
            ~TUnlock() { UnlockFlushDriveInfoCache(); }
        } Unlock;
        RefreshNodes();
    });
}

TNVCustomShellTree::~TNVCustomShellTree() {
    if (TNVDeviceChangeHandler* H = NVExistingDeviceChangeHandler())
        H->Remove(this);
    FTimer->SetEnabled(false);
    FThread.reset();
    RegisterDrop(false);
    if (FShellList)
        FShellList->FShellTree = nullptr;
    if (FShellCombo)
        FShellCombo->FShellTree = nullptr;
    if (HandleAllocated())
        DeleteAll();
}

HWND TNVCustomShellTree::OwnerWindow() {
    TCustomForm* Form = GetParentForm();
    return Form && Form->HandleAllocated() ? Form->Handle() : FHandle;
}

void TNVCustomShellTree::CreateParams(TCreateParams& Params) {
    TNVCustomTreeView::CreateParams(Params);
    if (!FReadOnly)
        Params.Style |= TVS_EDITLABELS;
    if (!(FOptions & nvstoOleDrag))
        Params.Style |= TVS_DISABLEDRAGDROP;
}

void TNVCustomShellTree::CreateHandleDone() {
    TNVCustomTreeView::CreateHandleDone();
    SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall)));
    if (FOptions & nvstoOleDrop)
        RegisterDrop(true);
    if (FOptions & nvstoAutoFill)
        PostMessageA(FHandle, AMDeferredFill, 0, 0);
}

void TNVCustomShellTree::DestroyWnd() {
    FTimer->SetEnabled(false);
    RegisterDrop(false);
    DeleteAll();
    TNVCustomTreeView::DestroyWnd();
}

void TNVCustomShellTree::HandleDestroyed() {
    FThread.reset();
    TNVCustomTreeView::HandleDestroyed();
}

void TNVCustomShellTree::Notification(TComponent* AComponent, TOperation Operation) {
    TNVCustomTreeView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FShellList)
        FShellList = nullptr;
}

void TNVCustomShellTree::SetShellList(TNVCustomShellList* Value) {
    if (Value == FShellList)
        return;
    if (FShellList)
        FShellList->FShellTree = nullptr;
    FShellList = Value;
    if (FShellList) {
        FShellList->FShellTree = this;
        FShellList->FreeNotification(this);
    }
}

void TNVCustomShellTree::SetOptions(TNVShellTreeOptions Value) {
    if (Value == FOptions)
        return;
    TNVShellTreeOptions Changed = Value ^ FOptions;
    FOptions = Value;
    if (!HandleAllocated())
        return;
    if (Changed & nvstoDynamicRefresh) {
        if (FOptions & nvstoDynamicRefresh)
            InstallChangeHandlersForAllLocalDrives();
        else if (FThread)
            FThread->RemoveAll();
    }
}

SHCONTF TNVCustomShellTree::EnumFlags() const {
    SHCONTF Flags = SHCONTF_FOLDERS;
    if (FOptions & nvstoShowHidden)
        Flags |= SHCONTF_INCLUDEHIDDEN;
    if (FOptions & nvstoIncludeNonFolders)
        Flags |= SHCONTF_NONFOLDERS;
    return Flags;
}

// ---- Nodes ----

TNVShTreeData* TNVCustomShellTree::NodeData(HTREEITEM Node) {
    TVITEMA Item{};
    Item.mask = TVIF_PARAM;
    Item.hItem = Node;
    if (!Node || !HandleAllocated() ||
        !SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item)))
        return nullptr;
    return reinterpret_cast<TNVShTreeData*>(Item.lParam);
}

void TNVCustomShellTree::SetHasChildren(HTREEITEM Node, bool Value) {
    if (!Node)
        return;
    TVITEMA Item{};
    Item.mask = TVIF_CHILDREN;
    Item.hItem = Node;
    Item.cChildren = Value ? 1 : 0;
    SendMessageA(FHandle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
}

void TNVCustomShellTree::DeleteAll() {
    if (HandleAllocated()) {
        ++FUpdateGuard;
        TreeView_DeleteAllItems(FHandle);
        --FUpdateGuard;
    }
}

// ---- Filling ----

void TNVCustomShellTree::FillItems() {
    if (!HandleAllocated())
        return;
    if (FMenuActive || FEditing) {
        FRefreshPending = true;
        return;
    }
    THourGlassCursor Wait;
    DeleteAll();
    TComPtr<IShellFolder> Folder;
    NVOleCheck(ShellGetFolderFromIdList(FBaseFolder->GetIdList(), Folder));
    FillTree(Folder.Get(), nullptr);
    FImmediateChange = -1;
    if (FSelectedFolder->GetIdList())
        DoSetSelectedIdList(FSelectedFolder->GetIdList());
    else
        SelectNode(FirstNode());
    Synchronize();
    if (FOptions & nvstoDynamicRefresh)
        InstallChangeHandlersForAllLocalDrives();
}

void TNVCustomShellTree::FillTree(IShellFolder* Folder, HTREEITEM Node) {
    DoEvent(OnFillStart, this);
    const bool NewFill = Node == nullptr;
    TNVIdListHolder ParentAbs;
    if (!NewFill) {
        ParentAbs.Reset(CopyIdList(nullptr, NodeData(Node)->GetAbsPidl()));
    } else {
        // The first-level node holds the folder the tree is filled from.
        LPCITEMIDLIST Base = FBaseFolder->GetIdList();
        auto* Data = new TNVShTreeData(this);
        Data->SetData(nullptr, Base);
        Data->SetThisIShf(Folder);
        std::string Text =
            Base ? ShellGetFriendlyNameForLastIdListElement(Base)
                 : ShellGetFriendlyNameFromIdList(nullptr, nullptr, TNVFriendlyNameFlags::nvfnNormal);
        TVINSERTSTRUCTA Ins{};
        Ins.hParent = TVI_ROOT;
        Ins.hInsertAfter = TVI_LAST;
        Ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
        Ins.item.pszText = Text.data();
        Ins.item.lParam = reinterpret_cast<LPARAM>(Data);
        Ins.item.iImage = I_IMAGECALLBACK;
        Ins.item.iSelectedImage = I_IMAGECALLBACK;
        Ins.item.cChildren = 1;
        Node = reinterpret_cast<HTREEITEM>(
            SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
        if (!Node) {
            delete Data;
            return;
        }
        DoOnInsertItem(Node);
        ParentAbs.Reset(CopyIdList(nullptr, Base));
    }
    TComPtr<IEnumIDList> Enum;
    if (FAILED(Folder->EnumObjects(OwnerWindow(), EnumFlags(), Enum.Put())) || !Enum) {
        SetHasChildren(Node, false);
        return;
    }
    int Added = 0;
    HRESULT R;
    LPITEMIDLIST Item = nullptr;
    while ((R = Enum->Next(1, &Item, nullptr)) == S_OK) {
        TNVIdListHolder Hold(Item);
        HTREEITEM New = nullptr;
        NVOleCheck(AddNewShellNode(Folder, ParentAbs.Get(), Node, Item, New));
        if (New)
            ++Added;
        Item = nullptr;
    }
    if (!Added)
        SetHasChildren(Node, false);
    if (R != S_FALSE && FAILED(R)) {
        if (R == E_FAIL)
            return;
        throw ENVOleError(R);
    }
    SortNode(Node);
    if (NewFill)
        TreeView_Expand(FHandle, Node, TVE_EXPAND);
    DoEvent(OnFillComplete, this);
}

bool TNVCustomShellTree::CanAdd(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, LPCITEMIDLIST ItemRel,
                                SFGAOF Attribs) {
    bool Allow = true;
    if (OnAddItem)
        OnAddItem(this, Folder, ParentAbs, ItemRel, Attribs, Allow);
    return Allow;
}

void TNVCustomShellTree::DoOnInsertItem(HTREEITEM Node) {
    FLastInserted = Node;
    if (OnInsertItem)
        OnInsertItem(this, Node);
}

HRESULT TNVCustomShellTree::AddNewShellNode(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, HTREEITEM Parent,
                                            LPCITEMIDLIST Item, HTREEITEM& Added) {
    Added = nullptr;
    if (!Item)
        return S_OK;
    SFGAOF Attrs = 0xF20B0000;
    LPCITEMIDLIST Items[1] = {Item};
    HRESULT R = Folder->GetAttributesOf(1, Items, &Attrs);
    if (FAILED(R))
        return R;
    if (!(FOptions & nvstoVirtualFolders) && !(Attrs & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
        return S_OK;
    if (!CanAdd(Folder, ParentAbs, Item, Attrs))
        return S_OK;
    std::string Text = ShellGetFriendlyNameFromIdList(Folder, Item, TNVFriendlyNameFlags::nvfnInFolder);
    bool HasChildren = (FOptions & nvstoIncludeNonFolders)
                           ? (Attrs & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) != 0
                           : (Attrs & SFGAO_FOLDER) && (Attrs & SFGAO_HASSUBFOLDER);
    auto* Data = new TNVShTreeData(this);
    Data->SetData(NodeData(Parent), Item);
    TVINSERTSTRUCTA Ins{};
    Ins.hParent = Parent;
    Ins.hInsertAfter = TVI_LAST;
    Ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    Ins.item.pszText = Text.data();
    Ins.item.lParam = reinterpret_cast<LPARAM>(Data);
    Ins.item.iImage = I_IMAGECALLBACK;
    Ins.item.iSelectedImage = I_IMAGECALLBACK;
    Ins.item.cChildren = HasChildren ? 1 : 0;
    if (Attrs & SFGAO_SHARE)
        Ins.item.state |= INDEXTOOVERLAYMASK(1);
    else if (Attrs & SFGAO_LINK)
        Ins.item.state |= INDEXTOOVERLAYMASK(2);
    if (Attrs & SFGAO_GHOSTED)
        Ins.item.state |= TVIS_CUT;
    Ins.item.stateMask = TVIS_OVERLAYMASK | TVIS_CUT;
    Added = reinterpret_cast<HTREEITEM>(
        SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
    if (!Added) {
        delete Data;
        return E_FAIL;
    }
    DoOnInsertItem(Added);
    return S_OK;
}

int CALLBACK TNVCustomShellTree::CompareNodes(LPARAM A, LPARAM B, LPARAM FolderParam) {
    auto* DA = reinterpret_cast<TNVShTreeData*>(A);
    auto* DB = reinterpret_cast<TNVShTreeData*>(B);
    auto* Folder = reinterpret_cast<IShellFolder*>(FolderParam);
    if (!DA || !DB || !Folder)
        return 0;
    HRESULT R = Folder->CompareIDs(0, DA->RelPidl(), DB->RelPidl());
    return FAILED(R) ? 0 : static_cast<int16_t>(HRESULT_CODE(R));
}

void TNVCustomShellTree::SortNode(HTREEITEM Node) {
    TNVShTreeData* D = NodeData(Node);
    if (!D)
        return;
    TComPtr<IShellFolder> Folder = D->GetThisIShf();
    if (!Folder)
        return;
    TVSORTCB Sort{};
    Sort.hParent = Node;
    Sort.lpfnCompare = &CompareNodes;
    Sort.lParam = reinterpret_cast<LPARAM>(Folder.Get());
    SendMessageA(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
}

HTREEITEM TNVCustomShellTree::FindNodeWithIdList(HTREEITEM Node, LPCITEMIDLIST Rel) {
    if (!Node)
        return FirstNode();
    TNVShTreeData* D = NodeData(Node);
    TComPtr<IShellFolder> Folder = D ? D->GetThisIShf() : TComPtr<IShellFolder>();
    if (!Folder)
        return nullptr;
    for (HTREEITEM C = FirstChild(Node); C; C = NextSibling(C)) {
        TNVShTreeData* CD = NodeData(C);
        if (CD && Folder->CompareIDs(0, CD->RelPidl(), Rel) == 0)
            return C;
    }
    return nullptr;
}

// ---- Selection ----

void TNVCustomShellTree::DoSetSelectedIdList(LPCITEMIDLIST IdList) {
    if (FUpdateGuard > 0 || !HandleAllocated())
        return;
    FImmediateChange = -1;
    HTREEITEM Top = FirstNode();
    if (!Top)
        return;
    TNVIdListArray Base(FBaseFolder->GetIdList());
    TNVIdListArray Target(IdList);
    HTREEITEM Node = Top;
    if (!IdListIsEmpty(IdList) && Target.GetCount() > Base.GetCount()) {
        ExpandNode(Top);
        for (int Level = Base.GetCount(); Level < Target.GetCount(); ++Level) {
            TNVIdListHolder Item(CopyIdList(nullptr, Target.GetItem(Level)));
            HTREEITEM Child = FindNodeWithIdList(Node, Item.Get());
            if (!Child) {
                // Not listed by the enumeration (a hidden folder, say): add it under its parent.
                TNVShTreeData* D = NodeData(Node);
                TComPtr<IShellFolder> Folder = D ? D->GetThisIShf() : TComPtr<IShellFolder>();
                HTREEITEM Added = nullptr;
                if (!Folder ||
                    FAILED(AddNewShellNode(Folder.Get(), D->GetAbsPidl(), Node, Item.Get(), Added)) ||
                    !Added) {
                    MessageBeep(static_cast<UINT>(-1));
                    break;
                }
                Child = Added;
            }
            Node = Child;
            bool Last = Level == Target.GetCount() - 1;
            if (!Last)
                ExpandNode(Node);
        }
    } else {
        ExpandNode(Top);
    }
    SelectNode(Node);
    TreeView_EnsureVisible(FHandle, Node);
}

void TNVCustomShellTree::Change(HTREEITEM Node) {
    if (FUpdateGuard > 0) {
        if (TNVShTreeData* D = NodeData(Node)) {
            TScopeCount Guard(FUpdateGuard);
            FSelectedFolder->SetIdList(D->GetAbsPidl());
        }
        return;
    }
    DoEvent(OnChange, this);
    if (!NodeData(Node))
        return;
    if (FImmediateChange == 0 && FShellList) {
        FTimer->SetEnabled(false);
        FTimerTag = 1;
        FTimer->SetInterval(500);
        FTimer->SetEnabled(true);
        return;
    }
    PassSelectionOn(Node);
}

void TNVCustomShellTree::PassSelectionOn(HTREEITEM Node) {
    TNVShTreeData* D = NodeData(Node);
    if (!D)
        return;
    {
        TScopeCount Guard(FUpdateGuard);
        FSelectedFolder->SetIdList(D->GetAbsPidl());
        if (FShellList)
            FShellList->TreeChanged(D);
        if (FShellCombo)
            FShellCombo->SelectedFolder().SetIdList(D->GetAbsPidl());
    }
    FImmediateChange = 0;
}

void TNVCustomShellTree::TimerElapsed(TObject*) {
    FTimer->SetEnabled(false);
    int Tag = FTimerTag;
    FTimerTag = 0;
    if (Tag == 1)
        PassSelectionOn(Selected());
    else if (Tag == 2)
        RefreshNodes();
}

void TNVCustomShellTree::Synchronize() {
    if (FTimer->Enabled())
        TimerElapsed(FTimer);
}

void TNVCustomShellTree::GoUp(int Levels) {
    HTREEITEM Node = Selected();
    if (!Node || !Parent(Node))
        return;
    for (int I = 0; I < Levels && Parent(Node); ++I)
        Node = Parent(Node);
    FImmediateChange = -1;
    SelectNode(Node);
}

// ---- Refreshing ----

void TNVCustomShellTree::RefreshNodes() {
    if (!HandleAllocated())
        return;
    if (FMenuActive || FEditing) {
        FRefreshPending = true;
        return;
    }
    if (!FirstNode()) {
        FillItems();
        return;
    }
    FRefreshPending = false;
    THourGlassCursor Wait;
    DoEvent(OnFillStart, this);
    HTREEITEM Remembered = Selected();
    {
        TScopeCount Guard(FUpdateGuard);
        RefreshNode(FirstNode(), Remembered);
    }
    FImmediateChange = -1;
    if (Remembered && Remembered != Selected())
        SelectNode(Remembered);
    DoEvent(OnFillComplete, this);
}

void TNVCustomShellTree::RefreshNode(HTREEITEM Node, HTREEITEM& Remembered) {
    TNVShTreeData* D = NodeData(Node);
    if (!D)
        return;
    TVITEMA Item{};
    Item.mask = TVIF_CHILDREN;
    Item.hItem = Node;
    SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    HTREEITEM First = FirstChild(Node);
    if (Item.cChildren && !First)
        return; // never expanded: read on expansion
    TComPtr<IShellFolder> Folder = D->GetThisIShf();
    if (!Folder)
        return;
    TNVPidlList Old;
    Old.ShellFolder = Folder.Get();
    Old.Duplicates = TNVPidlDuplicates::dupAccept;
    Old.SetSorted(true);
    for (HTREEITEM C = First; C; C = NextSibling(C))
        if (TNVShTreeData* CD = NodeData(C))
            Old.AddObject(const_cast<LPITEMIDLIST>(CD->RelPidl()), C);
    TNVPidlList New;
    New.ShellFolder = Folder.Get();
    New.Malloc = ShellIMalloc();
    New.SetSorted(true);
    TComPtr<IEnumIDList> Enum;
    if (SUCCEEDED(Folder->EnumObjects(OwnerWindow(), EnumFlags(), Enum.Put())) && Enum) {
        LPITEMIDLIST P = nullptr;
        while (Enum->Next(1, &P, nullptr) == S_OK) {
            if (!P || New.IndexOf(P) >= 0)
                ShellMemFree(P);
            else
                New.Add(P);
            P = nullptr;
        }
    }
    std::vector<HTREEITEM> Gone;
    for (int I = 0; I < Old.Count(); ++I) {
        int J = New.IndexOf(Old.PIDLs(I));
        if (J >= 0)
            New.Delete(J);
        else
            Gone.push_back(static_cast<HTREEITEM>(Old.Objects(I)));
    }
    for (HTREEITEM G : Gone) {
        for (HTREEITEM S = Remembered; S; S = Parent(S))
            if (S == G) {
                Remembered = Node;
                SelectNode(Node);
                break;
            }
        TreeView_DeleteItem(FHandle, G);
    }
    bool AddedAny = false;
    TNVIdListHolder ParentAbs(CopyIdList(nullptr, D->GetAbsPidl()));
    for (int I = 0; I < New.Count(); ++I) {
        HTREEITEM Added = nullptr;
        if (SUCCEEDED(AddNewShellNode(Folder.Get(), ParentAbs.Get(), Node, New.PIDLs(I), Added)) && Added)
            AddedAny = true;
    }
    if (AddedAny) {
        SetHasChildren(Node, true);
        SortNode(Node);
    }
    for (HTREEITEM C = FirstChild(Node); C; C = NextSibling(C))
        RefreshNode(C, Remembered);
}

void TNVCustomShellTree::InstallChangeHandlersForAllLocalDrives() {
    if (!HandleAllocated())
        return;
    if (!FThread)
        FThread = std::make_unique<TChangeHandlerThread>(FHandle, AMChangeNotify);
    FThread->RemoveAll();
    DWORD Filter = FILE_NOTIFY_CHANGE_DIR_NAME;
    if (FOptions & nvstoIncludeNonFolders)
        Filter |= FILE_NOTIFY_CHANGE_FILE_NAME;
    DWORD Drives = GetLogicalDrives();
    for (int I = 0; I < 26; ++I) {
        if (!(Drives & (1u << I)))
            continue;
        std::string Root = std::string(1, static_cast<char>('A' + I)) + ":\\";
        UINT Type = GetDriveTypeA(Root.c_str());
        if (Type == DRIVE_FIXED || Type == DRIVE_REMOTE || Type == DRIVE_RAMDISK) {
            const bool Shallow = FShallowWatchDrives.find(Root[0]) != std::string::npos;
            int Slot = -1;
            FThread->Add(Root, Filter, Slot, !Shallow);
        }
    }
}

void TNVCustomShellTree::SetShallowWatchDrives(const std::string& Letters) {
    std::string Upper = AnsiUpperCase(Letters);
    if (Upper == FShallowWatchDrives)
        return;
    FShallowWatchDrives = Upper;
    if (FThread && (FOptions & nvstoDynamicRefresh))
        InstallChangeHandlersForAllLocalDrives();
}

// ---- Messages ----

void TNVCustomShellTree::WndProc(TMessage& Message) {
    if (FMenuSession && FMenuSession->HandleMenuMessage(Message))
        return;
    switch (Message.Msg) {
    case AMChangeNotify:
        if (FIgnoreNextChange || FMenuActive) {
            FIgnoreNextChange = false;
            return;
        }
        FTimer->SetEnabled(false);
        FTimerTag = 2;
        FTimer->SetInterval(Focused() ? 400 : 2000);
        FTimer->SetEnabled(true);
        return;
    case AMDeferredFill:
        if (!FirstNode())
            FillItems();
        return;
    case CN_NOTIFY:
        HandleNotify(Message);
        return;
    default:
        TNVCustomTreeView::WndProc(Message);
    }
}

void TNVCustomShellTree::HandleNotify(TMessage& Message) {
    auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (Hdr->code) {
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: {
        auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Hdr);
        auto* D = reinterpret_cast<TNVShTreeData*>(Info->item.lParam);
        if (!D)
            return;
        if (Info->item.mask & TVIF_IMAGE)
            Info->item.iImage = ShellGetIconIndex(D->GetAbsPidl(), SHGFI_SMALLICON);
        if (Info->item.mask & TVIF_SELECTEDIMAGE)
            Info->item.iSelectedImage = ShellGetIconIndex(D->GetAbsPidl(), SHGFI_SMALLICON | SHGFI_OPENICON);
        return;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Hdr);
        if (Nm->action & TVE_EXPAND) {
            HTREEITEM Node = Nm->itemNew.hItem;
            auto* D = reinterpret_cast<TNVShTreeData*>(Nm->itemNew.lParam);
            if (D && !FirstChild(Node)) {
                THourGlassCursor Wait;
                TComPtr<IShellFolder> Folder = D->GetThisIShf();
                if (Folder)
                    FillTree(Folder.Get(), Node);
                else
                    SetHasChildren(Node, false);
            }
        }
        return;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Hdr);
        std::unique_ptr<TNVShTreeData> Data(reinterpret_cast<TNVShTreeData*>(Nm->itemOld.lParam));
        if (Data && OnDeleteItem)
            OnDeleteItem(this, Nm->itemOld.hItem, Data.get());
        return;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Hdr);
        Change(Nm->itemNew.hItem);
        return;
    }
    case NM_CLICK:
        FImmediateChange = -1;
        return;
    case NM_CUSTOMDRAW:
        CustomDraw(Message);
        return;
    case NM_RCLICK:
        TNVCustomTreeView::WndProc(Message);
        return;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGA:
    case TVN_BEGINRDRAGW: {
        auto* Nm = reinterpret_cast<NMTREEVIEWA*>(Hdr);
        if (FOptions & nvstoOleDrag)
            OleBeginDrag(Nm->itemNew.hItem, Hdr->code == TVN_BEGINDRAGA || Hdr->code == TVN_BEGINDRAGW
                                                ? MK_LBUTTON
                                                : MK_RBUTTON);
        return;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
        auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Hdr);
        TNVShTreeData* D = NodeData(Info->item.hItem);
        bool Allow = D && D->GetEditable() && !FReadOnly;
        FEditing = Allow;
        Message.Result = Allow ? 0 : 1;
        return;
    }
    case TVN_ENDLABELEDITA:
    case TVN_ENDLABELEDITW: {
        FEditing = false;
        auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Hdr);
        if (Info->item.pszText) {
            std::string Text;
            if (Hdr->code == TVN_ENDLABELEDITA) {
                Text = Info->item.pszText;
            } else {
                Text = FromWide(reinterpret_cast<NMTVDISPINFOW*>(Hdr)->item.pszText);
            }
            RenameNode(Info->item.hItem, Text);
        }
        Message.Result = 0;
        if (FRefreshPending)
            RefreshNodes();
        return;
    }
    default:
        return;
    }
}

bool TNVCustomShellTree::WantsCustomDraw() const {
    return TNVCustomTreeView::WantsCustomDraw() || OnCustomDrawShEx || OnCustomDrawSh;
}

void TNVCustomShellTree::NVCustomDrawNode(TNVCustomDraw* CD, HTREEITEM Node, LPARAM Param) {
    TNVShTreeData* Data = Node ? reinterpret_cast<TNVShTreeData*>(Param) : nullptr;
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(this, CD, Node, Data);
    if (OnCustomDrawSh && CD->DrawStage() == TNVCustomDrawStage::nvcdsItemPrePaint)
        OnCustomDrawSh(this, CD, Node, Data);
}
