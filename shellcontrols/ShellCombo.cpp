#include "shellcontrols/ShellCombo.h"

#include <algorithm>
#include <vector>

#include "framework/ui/Forms.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellScopeGuards.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVCustomShellCombo, TNVCustomImageCombo, {})
ZEL_DEFINE_CLASS(TNVShellCombo, TNVCustomShellCombo, {})

TNVCustomShellCombo::TNVCustomShellCombo(TComponent* AOwner)
    : TNVCustomImageCombo(AOwner), FSelectedFolder(std::make_unique<TNVShellLocator>()) {
    SetDropDownCount(8);
    FSelectedFolder->OnChange = [this](TObject*) { SelectedFolderChanged(); };
}

TNVCustomShellCombo::~TNVCustomShellCombo() {
    Unlink();
    Clear();
}

void TNVCustomShellCombo::Unlink() {
    if (FShellList)
        FShellList->FShellCombo = nullptr;
    if (FShellTree)
        FShellTree->FShellCombo = nullptr;
    FShellList = nullptr;
    FShellTree = nullptr;
}

void TNVCustomShellCombo::SetShellList(TNVCustomShellList* Value) {
    if (FShellTree && Value)
        return;
    if (FShellList)
        FShellList->FShellCombo = nullptr;
    FShellList = Value;
    if (FShellList) {
        FShellList->FShellCombo = this;
        FShellList->FreeNotification(this);
    }
}

void TNVCustomShellCombo::SetShellTree(TNVCustomShellTree* Value) {
    if (FShellList && Value)
        return;
    if (FShellTree)
        FShellTree->FShellCombo = nullptr;
    FShellTree = Value;
    if (FShellTree) {
        FShellTree->FShellCombo = this;
        FShellTree->FreeNotification(this);
    }
}

void TNVCustomShellCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TNVCustomImageCombo::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FShellList)
        FShellList = nullptr;
    if (AComponent == FShellTree)
        FShellTree = nullptr;
}

void TNVCustomShellCombo::CreateHandleDone() {
    TNVCustomImageCombo::CreateHandleDone();
    SetImageList(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall));
    if (FOptions & nvscoAutofill)
        FillItems();
}

void TNVCustomShellCombo::DestroyWnd() {
    Clear();
    TNVCustomImageCombo::DestroyWnd();
}

TNVShComboData* TNVCustomShellCombo::GetShComboData(int Index) const {
    TNVImageComboItem* Item = GetImageComboItem(Index);
    return Item ? static_cast<TNVShComboData*>(Item->Data.get()) : nullptr;
}

TNVImageComboItem* TNVCustomShellCombo::AddFolderItem(IShellFolder* Folder, LPCITEMIDLIST ParentAbs,
                                                      LPCITEMIDLIST Rel, SFGAOF Attribs, int Level) {
    TNVImageComboItem* Item = AddItem(std::string(), -1, Level);
    auto Data = std::make_unique<TNVShComboData>(this);
    Data->SetData(Folder, ParentAbs, Rel);
    Item->Data = std::move(Data);
    if (Attribs & SFGAO_SHARE)
        Item->SetOverlayIndex(0);
    else if (Attribs & SFGAO_LINK)
        Item->SetOverlayIndex(1);
    return Item;
}

void TNVCustomShellCombo::FillItems() {
    if (!HandleAllocated())
        return;
    TScopeCount Guard(FSyncCount);
    Clear();
    FSelectIndex = -1;
    TNVIdListArray Chain(FSelectedFolder->GetIdList());
    TComPtr<IShellFolder> Desktop;
    NVOleCheck(ShellGetDesktopFolder(Desktop));
    bool ChainUsed = false;
    FillCombo(Desktop.Get(), nullptr, Chain, ChainUsed, -1);
    SetItemIndex(FSelectIndex >= 0 ? FSelectIndex : 0);
}

bool TNVCustomShellCombo::CanAdd(IShellFolder*, LPCITEMIDLIST, LPCITEMIDLIST, SFGAOF, int) {
    return true;
}

void TNVCustomShellCombo::FillCombo(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, TNVIdListArray& Chain,
                                    bool& ChainUsed, int Level) {
    TNVIdListHolder Drives;
    NVOleCheck(ShellGetSpecialFolderIdList(nullptr, csidlDrives, *Drives.Put()));
    if (Level == -1) {
        static const USHORT Empty = 0;
        TNVImageComboItem* Desk =
            AddItem(ShellGetFriendlyNameFromIdList(Folder, reinterpret_cast<LPCITEMIDLIST>(&Empty),
                                                   TNVFriendlyNameFlags::nvfnNormal),
                    ShellGetIconIndex(nullptr, SHGFI_SMALLICON), 0);
        auto Data = std::make_unique<TNVShComboData>(this);
        Data->SetData(nullptr, nullptr, nullptr);
        Desk->Data = std::move(Data);
        if (Chain.GetCount() == 0)
            FSelectIndex = Desk->Index();
        Level = 1;
    }
    TComPtr<IEnumIDList> Enum;
    HWND Owner = GetParentForm() && GetParentForm()->HandleAllocated() ? GetParentForm()->Handle() : FHandle;
    NVOleCheck(Folder->EnumObjects(Owner, SHCONTF_FOLDERS, Enum.Put()));
    std::vector<TNVIdListHolder> Children;
    if (Enum) {
        LPITEMIDLIST P = nullptr;
        while (Enum->Next(1, &P, nullptr) == S_OK) {
            Children.emplace_back(P);
            P = nullptr;
        }
    }
    std::stable_sort(Children.begin(), Children.end(),
                     [Folder](const TNVIdListHolder& A, const TNVIdListHolder& B) {
                         HRESULT R = Folder->CompareIDs(0, A.Get(), B.Get());
                         return SUCCEEDED(R) && static_cast<int16_t>(HRESULT_CODE(R)) < 0;
                     });
    for (TNVIdListHolder& Child : Children) {
        SFGAOF Attrs = 0xF00B0000;
        LPCITEMIDLIST Items[1] = {Child.Get()};
        if (FAILED(Folder->GetAttributesOf(1, Items, &Attrs)))
            Attrs = 0;
        if (!(FOptions & nvscoNonFilesystemAncestors) &&
            !(Attrs & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
            continue;
        if (!CanAdd(Folder, ParentAbs, Child.Get(), Attrs, Level))
            continue;
        TNVImageComboItem* Item = AddFolderItem(Folder, ParentAbs, Child.Get(), Attrs, Level);
        TNVIdListHolder Abs(ConcatIdLists(nullptr, ParentAbs, Child.Get()));
        bool OnChain = false;
        if (!ChainUsed && Chain.GetCount() >= Level) {
            TNVIdListHolder Entry(CopyIdList(nullptr, Chain.GetItem(Level - 1)));
            OnChain = Folder->CompareIDs(0, Entry.Get(), Child.Get()) == 0;
        }
        bool IsDrives = CompareAbsIdLists(Abs.Get(), Drives.Get()) == 0;
        if (OnChain && Chain.GetCount() == Level) {
            Item->SetCaption(
                ShellGetFriendlyNameFromIdList(Folder, Child.Get(), TNVFriendlyNameFlags::nvfnInFolder));
            Item->SetImageIndex(ShellGetIconIndex(Abs.Get(), SHGFI_SMALLICON | SHGFI_OPENICON));
            FSelectIndex = Item->Index();
            ChainUsed = true;
        } else if (OnChain && !IsDrives) {
            // The rest of the chain goes right below this child.
            TComPtr<IShellFolder> Cur;
            NVOleCheck(Folder->BindToObject(Child.Get(), nullptr, IID_IShellFolder, Cur.PutVoid()));
            TNVIdListHolder CurAbs(CopyIdList(nullptr, Abs.Get()));
            for (int Deeper = Level + 1; Deeper <= Chain.GetCount(); ++Deeper) {
                TNVIdListHolder Rel(CopyIdList(nullptr, Chain.GetItem(Deeper - 1)));
                SFGAOF A = 0xB00B0000;
                LPCITEMIDLIST RelItems[1] = {Rel.Get()};
                if (FAILED(Cur->GetAttributesOf(1, RelItems, &A)))
                    A = 0;
                TNVImageComboItem* Sub = AddFolderItem(Cur.Get(), CurAbs.Get(), Rel.Get(), A, Deeper);
                TNVIdListHolder SubAbs(ConcatIdLists(nullptr, CurAbs.Get(), Rel.Get()));
                if (Deeper == Chain.GetCount()) {
                    Sub->SetCaption(ShellGetFriendlyNameFromIdList(Cur.Get(), Rel.Get(),
                                                                   TNVFriendlyNameFlags::nvfnInFolder));
                    Sub->SetImageIndex(ShellGetIconIndex(SubAbs.Get(), SHGFI_SMALLICON | SHGFI_OPENICON));
                    FSelectIndex = Sub->Index();
                    break;
                }
                TComPtr<IShellFolder> Next;
                NVOleCheck(Cur->BindToObject(Rel.Get(), nullptr, IID_IShellFolder, Next.PutVoid()));
                Cur = Next;
                CurAbs = std::move(SubAbs);
            }
            ChainUsed = true;
        }
        if (IsDrives && Level == 1) {
            TComPtr<IShellFolder> DrivesFolder;
            NVOleCheck(Folder->BindToObject(Child.Get(), nullptr, IID_IShellFolder, DrivesFolder.PutVoid()));
            FillCombo(DrivesFolder.Get(), Abs.Get(), Chain, ChainUsed, Level + 1);
        }
    }
}

void TNVCustomShellCombo::GetItemData(TNVImageComboItem* Item) {
    TNVShComboData* D = Item ? static_cast<TNVShComboData*>(Item->Data.get()) : nullptr;
    if (D) {
        if (Item->Caption().empty() && D->RelPidl())
            Item->SetCaption(ShellGetFriendlyNameFromIdList(D->ParentFolder(), D->RelPidl(),
                                                            TNVFriendlyNameFlags::nvfnInFolder));
        if (Item->ImageIndex() == -1)
            Item->SetImageIndex(ShellGetIconIndex(D->AbsPidl(), SHGFI_SMALLICON));
    }
    TNVCustomImageCombo::GetItemData(Item);
}

void TNVCustomShellCombo::DropDown() {
    if (AutoDropDownCount && HandleAllocated()) {
        RECT R{};
        GetWindowRect(FHandle, &R);
        const int Row = ItemHeight();
        if (Row > 0) // the window rectangle is the closed box
            SetDropDownCount((GetSystemMetrics(SM_CYSCREEN) - R.bottom - 1) / Row);
    }
    TNVCustomImageCombo::DropDown();
}

void TNVCustomShellCombo::SelEndOk() {
    TNVCustomImageCombo::SelEndOk();
    if (TNVShComboData* D = GetShComboData(ItemIndex()))
        FSelectedFolder->SetIdList(D->AbsPidl());
}

void TNVCustomShellCombo::SelectedFolderChanged() {
    if (FSyncCount > 0)
        return;
    TScopeCount Guard(FSyncCount);
    if (FShellTree)
        FShellTree->SetSelectedFolder(FSelectedFolder.get());
    else if (FShellList)
        FShellList->Folder().SetIdList(FSelectedFolder->GetIdList());
    FillItems();
}

void TNVCustomShellCombo::GoUp(int Levels) {
    int Sel = ItemIndex();
    TNVImageComboItem* Item = GetImageComboItem(Sel);
    if (!Item)
        return;
    int Target = Item->Indent() - Levels + 1;
    int I = Sel;
    while (I > 0 && GetImageComboItem(I)->Indent() >= Target)
        --I;
    if (I != Sel)
        if (TNVShComboData* D = GetShComboData(I))
            FSelectedFolder->SetIdList(D->AbsPidl());
}
