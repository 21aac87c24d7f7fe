#include "shellcontrols/ShellList.h"

#include "framework/core/ScopeGuard.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>

#include "framework/core/Registry.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "shellcontrols/ColumnWidthStore.h"
#include "shellcontrols/ComObject.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellScopeGuards.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellTree.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVCustomShellList, TNVCustomListView, {})
ZEL_DEFINE_CLASS(TNVShellList, TNVCustomShellList, {})

namespace {

// Keeps critical-error boxes (an empty removable drive) away for the scope.
class TNoErrorBoxes {
public:
    TNoErrorBoxes() : FOld(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~TNoErrorBoxes() { SetErrorMode(FOld); }

private:
    UINT FOld;
};

// Bracketed redraw of the list window.
class TNoRedraw {
public:
    explicit TNoRedraw(HWND Wnd) : FWnd(Wnd) { SendMessageA(FWnd, WM_SETREDRAW, FALSE, 0); }
    ~TNoRedraw() {
        SendMessageA(FWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FWnd, nullptr, TRUE);
    }

private:
    HWND FWnd;
};

void CopyText(char* Dest, int Size, const std::string& S) {
    if (!Dest || Size <= 0)
        return;
    size_t N = std::min(S.size(), static_cast<size_t>(Size - 1));
    std::memcpy(Dest, S.data(), N);
    Dest[N] = 0;
}

void CopyTextW(wchar_t* Dest, int Size, const std::string& S) {
    if (!Dest || Size <= 0)
        return;
    std::wstring W = ToWide(S, static_cast<size_t>(Size - 1));
    std::memcpy(Dest, W.data(), W.size() * sizeof(wchar_t));
    Dest[W.size()] = 0;
}

// Column texts of a folder that offers IShellFolder2: its columns end at the first one the folder
// does not show by default.
class TShellFolder2ToShellDetailsAdapter : public TNVComObject<IShellDetails, IID_IShellDetails> {
public:
    explicit TShellFolder2ToShellDetailsAdapter(IShellFolder2* Folder)
        : FFolder(TComPtr<IShellFolder2>::Share(Folder)) {}
    HRESULT STDMETHODCALLTYPE GetDetailsOf(PCUITEMID_CHILD Item, UINT Column,
                                           SHELLDETAILS* Details) override {
        SHCOLSTATEF State = 0;
        HRESULT R = FFolder->GetDefaultColumnState(Column, &State);
        if (SUCCEEDED(R) && !(State & SHCOLSTATE_ONBYDEFAULT))
            return E_INVALIDARG;
        return FFolder->GetDetailsOf(Item, Column, Details);
    }
    HRESULT STDMETHODCALLTYPE ColumnClick(UINT) override { return E_NOTIMPL; }

private:
    virtual ~TShellFolder2ToShellDetailsAdapter() = default;
    TComPtr<IShellFolder2> FFolder;
};

} // namespace

IShellDetails* TNVCustomShellList::CurrentFolderDetails() {
    if (FDetailsFetched || !FCurFolder)
        return FDetails.Get();
    FDetailsFetched = true;
    TComPtr<IShellFolder2> Folder2 = FCurFolder.Query<IShellFolder2>(IID_IShellFolder2);
    SHELLDETAILS Probe{};
    if (Folder2 && SUCCEEDED(Folder2->GetDetailsOf(nullptr, 0, &Probe))) {
        StrretFree(Probe.str);
        FDetails = TComPtr<IShellDetails>(new TShellFolder2ToShellDetailsAdapter(Folder2.Get()));
    } else {
        FDetails = FCurFolder.Query<IShellDetails>(IID_IShellDetails);
        if (!FDetails && FAILED(FCurFolder->CreateViewObject(nullptr, IID_IShellDetails, FDetails.PutVoid())))
            FDetails.Reset();
    }
    return FDetails.Get();
}

TNVCustomShellList::TNVCustomShellList(TComponent* AOwner)
    : TNVCustomListView(AOwner), FFolder(std::make_unique<TNVShellLocator>()) {
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    SetColor(clWindow);
    SetRowSelect(true);
    FFolder->OnChange = [this](TObject* Sender) { HandleOnFolderChanged(Sender); };
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this](TObject* Sender) { TimerElapsed(Sender); };
    NVDeviceChangeHandler()->Add(this, [this](TObject*, const TMessage& M) {
        if (M.WParam != DBT_DEVICEARRIVAL && M.WParam != DBT_DEVICEREMOVECOMPLETE)
            return;
        FlushDriveInfoCache();
        LockFlushDriveInfoCache();
        struct TUnlock {
            ~TUnlock() { UnlockFlushDriveInfoCache(); }
        } Unlock;
        if (ShellFindCSIDLFromIdList(FCurFolderIdList) == csidlDrives)
            FillItems();
    });
}

TNVCustomShellList::~TNVCustomShellList() {
    if (TNVDeviceChangeHandler* H = NVExistingDeviceChangeHandler())
        H->Remove(this);
    if (FShellTree)
        FShellTree->FShellList = nullptr;
    if (FShellCombo)
        FShellCombo->FShellList = nullptr;
    FTimer->SetEnabled(false);
    FThread.reset();
    RegisterDrop(false);
    if (HandleAllocated()) {
        // The window goes after this object's part of the destruction: keep the widths now.
        SaveColumnWidths();
        DeleteAllItems();
    }
    FCurFolder.Reset();
    ShellMemFree(FCurFolderIdList);
    FCurFolderIdList = nullptr;
}

HWND TNVCustomShellList::OwnerWindow() {
    TCustomForm* Form = GetParentForm();
    return Form && Form->HandleAllocated() ? Form->Handle() : FHandle;
}

void TNVCustomShellList::CreateParams(TCreateParams& Params) {
    TNVCustomListView::CreateParams(Params);
    if (!FReadOnly)
        Params.Style |= LVS_EDITLABELS;
}

void TNVCustomShellList::CreateHandleDone() {
    TNVCustomListView::CreateHandleDone();
    SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall)));
    SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(ShellGetSystemImageList(TNVShellIconSize::nvsizLarge)));
    if (FOptions & nvsloOleDrop)
        RegisterDrop(true);
    if (FOptions & nvsloAutoFill)
        PostMessageA(FHandle, AMDeferredFill, 0, 0);
}

void TNVCustomShellList::DestroyWnd() {
    SaveColumnWidths();
    FTimer->SetEnabled(false);
    RegisterDrop(false);
    DeleteAllItems();
    TNVCustomListView::DestroyWnd();
}

void TNVCustomShellList::HandleDestroyed() {
    FThread.reset();
    TNVCustomListView::HandleDestroyed();
}

void TNVCustomShellList::RegisterDrop(bool On) {
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

void TNVCustomShellList::SetOptions(TNVShellListOptions Value) {
    if (Value == FOptions)
        return;
    TNVShellListOptions Changed = Value ^ FOptions;
    FOptions = Value;
    if (!HandleAllocated())
        return;
    if (Changed & nvsloOleDrop)
        RegisterDrop((FOptions & nvsloOleDrop) != 0);
    if (Changed & nvsloDynamicRefresh) {
        if (FOptions & nvsloDynamicRefresh)
            InstallChangeHandler();
        else if (FThread)
            FThread->RemoveAll();
    }
    if (Changed & (nvsloShowHidden | nvsloHideFoldersWhenLinkedToTree))
        RefreshItems();
}

// ---- Items ----

int TNVCustomShellList::ItemCount() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

TNVShListData* TNVCustomShellList::GetShListData(int Index) {
    if (!HandleAllocated() || Index < 0)
        return nullptr;
    LVITEMA Item{};
    Item.mask = LVIF_PARAM;
    Item.iItem = Index;
    if (!SendMessageA(FHandle, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item)))
        return nullptr;
    return reinterpret_cast<TNVShListData*>(Item.lParam);
}

std::vector<int> TNVCustomShellList::SelectedIndexes() {
    std::vector<int> Result;
    if (!HandleAllocated())
        return Result;
    int I = -1;
    while ((I = static_cast<int>(
                SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(I), LVNI_SELECTED))) >= 0)
        Result.push_back(I);
    return Result;
}

TNVShListData* TNVCustomShellList::GetSelectedItem() {
    std::vector<int> Sel = SelectedIndexes();
    return Sel.empty() ? nullptr : GetShListData(Sel.front());
}

int TNVCustomShellList::ShellSelCount() {
    int N = 0;
    for (int I : SelectedIndexes())
        if (GetShListData(I))
            ++N;
    return N;
}

std::string TNVCustomShellList::ItemCaption(int Index) {
    TNVShListData* D = GetShListData(Index);
    return D ? D->GetDisplayName() : std::string();
}

int TNVCustomShellList::FindCaption(const std::string& Caption) {
    for (int I = 0, N = ItemCount(); I < N; ++I)
        if (ItemCaption(I) == Caption)
            return I;
    return -1;
}

void TNVCustomShellList::SelectItem(int Index, bool Only) {
    if (!HandleAllocated())
        return;
    LVITEMA Item{};
    Item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (Only)
        SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Item));
    Item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
}

void TNVCustomShellList::SelectAll() {
    if (!HandleAllocated() || !MultiSelect())
        return;
    TNoRedraw Guard(FHandle);
    LVITEMA Item{};
    Item.stateMask = LVIS_SELECTED;
    Item.state = LVIS_SELECTED;
    SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Item));
}

void TNVCustomShellList::DeleteAllItems() {
    if (HandleAllocated())
        SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
}

// ---- Filling ----

SHCONTF TNVCustomShellList::EnumFlags() const {
    SHCONTF Flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
    if (FOptions & nvsloShowHidden)
        Flags |= SHCONTF_INCLUDEHIDDEN;
    return Flags;
}

void TNVCustomShellList::FillItems() {
    if (!HandleAllocated())
        return;
    if (FRefreshRunning || FEditing) {
        FRefreshPending = true;
        return;
    }
    THourGlassCursor Wait;
    DeleteAllItems();
    TComPtr<IShellFolder> Folder;
    NVOleCheck(ShellGetFolderFromIdList(FFolder->GetIdList(), Folder));
    ShellMemFree(FCurFolderIdList);
    FCurFolderIdList = CopyIdList(nullptr, FFolder->GetIdList());
    FCurFolder = Folder;
    FDetails.Reset();
    FDetailsFetched = false;
    FilterPreApply();
    struct TPost {
        TNVCustomShellList* L;
        ~TPost() { L->FilterPostApply(); }
    } Post{this};
    FillList();
    if ((FOptions & nvsloDynamicRefresh))
        InstallChangeHandler();
}

std::vector<int> TNVCustomShellList::ColumnWidths() {
    std::vector<int> Widths;
    if (!HandleAllocated())
        return Widths;
    HWND Header = GetHeaderHandle();
    int Count = Header ? static_cast<int>(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int I = 0; I < Count; ++I)
        Widths.push_back(
            static_cast<int>(SendMessageA(FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(I), 0)));
    return Widths;
}

void TNVCustomShellList::SaveColumnWidths() {
    if (!FFileSystemColumns)
        return;
    std::vector<int> Widths = ColumnWidths();
    if (!Widths.empty())
        NVSaveColumnWidths(Widths);
}

void TNVCustomShellList::InitColumns() {
    SaveColumnWidths();
    while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0))
        ;
    int Count = 0;
    if (IShellDetails* Details = CurrentFolderDetails()) {
        const bool FileSystem = !ShellGetPathFromIdList(FCurFolderIdList).empty();
        for (UINT Col = 0; Col < 64; ++Col) {
            SHELLDETAILS D{};
            if (FAILED(Details->GetDetailsOf(nullptr, Col, &D)))
                break;
            std::string Title = StrretToString(nullptr, D.str);
            StrretFree(D.str);
            LVCOLUMNA C{};
            C.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
            C.fmt = D.fmt == 1 ? LVCFMT_RIGHT : D.fmt == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
            C.cx = 7 * (D.cxChar > 0 ? D.cxChar : 15);
            C.pszText = Title.data();
            C.iSubItem = static_cast<int>(Col);
            SendMessageA(FHandle, LVM_INSERTCOLUMNA, Col, reinterpret_cast<LPARAM>(&C));
            ++Count;
        }
        if (Count > 0) {
            if (FileSystem) {
                std::vector<int> Kept = NVLoadColumnWidths();
                for (size_t I = 0; I < Kept.size() && I < static_cast<size_t>(Count); ++I)
                    SendMessageA(FHandle, LVM_SETCOLUMNWIDTH, I, Kept[I]);
            }
            FFileSystemColumns = FileSystem;
        }
    }
    if (Count == 0) {
        // The shell's own remembered widths of its four standard columns, when it keeps them; a
        // value too long for them is not the shell's.
        uint16_t Widths[11] = {200, 60, 100, 120, 50};
        std::vector<uint8_t> Bytes{200, 0, 60, 0, 100, 0, 120, 0, 50, 0};
        TRegistry Reg(KEY_READ);
        Reg.SetRootKey(HKEY_CURRENT_USER);
        if (Reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer") &&
            Reg.ValueExists("DirectoryCols")) {
            TRegDataInfo Info;
            if (Reg.GetDataInfo("DirectoryCols", Info) && Info.DataSize > 0 && Info.DataSize <= 22) {
                uint8_t Read[22] = {};
                try {
                    Reg.ReadBinaryData("DirectoryCols", Read, Info.DataSize);
                    Bytes.assign(Read, Read + Info.DataSize);
                    for (int I = 0; I < Info.DataSize / 2; ++I)
                        Widths[I] = static_cast<uint16_t>(Read[2 * I] | (Read[2 * I + 1] << 8));
                } catch (const ERegistryException&) {
                }
            }
        }
        // Widths the user gave the columns win, unless the shell's own changed meanwhile.
        std::vector<int> Kept = NVLoadColumnWidths();
        const bool UseKept = NVSameDirectoryColsAsBefore(Bytes) && !Kept.empty();
        const uint16_t Titles[4] = {nvshell::SColumnName, nvshell::SColumnSize, nvshell::SColumnType,
                                    nvshell::SColumnModified};
        for (int I = 0; I < 4; ++I) {
            std::string Title = NVResStr(Titles[I]);
            LVCOLUMNA Col{};
            Col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
            Col.fmt = I == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            Col.cx =
                UseKept && static_cast<size_t>(I) < Kept.size() ? Kept[static_cast<size_t>(I)] : Widths[I];
            Col.pszText = Title.data();
            Col.iSubItem = I;
            SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Col));
        }
        Count = 4;
        FFileSystemColumns = true;
    }
    SetHeaderODStyle();
    if (std::abs(FSortValue) > Count) {
        FSortValue = 1;
        if (HeaderSortColumn() >= 0) {
            SetHeaderSortColumn(0);
            SetHeaderSortDirection(TNVLvSortDirection::nvsdDesc);
        }
    }
}

void TNVCustomShellList::FillList() {
    TNoErrorBoxes NoBoxes;
    TNoRedraw Guard(FHandle);
    FillStart();
    InitColumns();
    TComPtr<IEnumIDList> Enum;
    if (FAILED(FCurFolder->EnumObjects(OwnerWindow(), EnumFlags(), Enum.Put())) || !Enum)
        return;
    std::vector<LPITEMIDLIST> Collected;
    HRESULT R;
    LPITEMIDLIST Item = nullptr;
    while ((R = Enum->Next(1, &Item, nullptr)) == S_OK) {
        if (Item)
            Collected.push_back(Item);
        Item = nullptr;
    }
    auto FreeRest = [&Collected](size_t From) {
        for (size_t I = From; I < Collected.size(); ++I)
            ShellMemFree(Collected[I]);
    };
    if (R != S_FALSE && R != HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS) && FAILED(R)) {
        FreeRest(0);
        if (R == E_FAIL)
            return;
        throw ENVOleError(R);
    }
    SendMessageA(FHandle, LVM_SETITEMCOUNT, Collected.size(), 0);
    FFilling = true;
    struct TFillFlag {
        bool& F;
        ~TFillFlag() { F = false; }
    } Flag{FFilling};
    for (size_t I = 0; I < Collected.size(); ++I) {
        SFGAOF Attrs = 0;
        bool Keep;
        {
            TFailureGuard freeRest([&FreeRest, I] { FreeRest(I); });
            Keep = ShouldInclude(Collected[I], Attrs);
        }
        if (!Keep) {
            ShellMemFree(Collected[I]);
            continue;
        }
        auto* Data = new TNVShListData(this);
        Data->SetData(Collected[I]);
        InsertItem(Data, Attrs);
    }
    SortList();
    if (ItemCount() > 0) {
        LVITEMA St{};
        St.stateMask = LVIS_FOCUSED;
        St.state = LVIS_FOCUSED;
        SendMessageA(FHandle, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&St));
    }
    FillComplete();
}

bool TNVCustomShellList::ShouldInclude(LPCITEMIDLIST Rel, SFGAOF& Attribs) {
    Attribs = 0xF20B0000;
    LPCITEMIDLIST Items[1] = {Rel};
    if (FAILED(FCurFolder->GetAttributesOf(1, Items, &Attribs)))
        Attribs = 0;
    if (!(FOptions & nvsloNonFilesystemAncestors) && !(Attribs & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
        return false;
    return CanAdd(FCurFolder.Get(), FCurFolderIdList, Rel, Attribs);
}

bool TNVCustomShellList::CanAdd(IShellFolder* Folder, LPCITEMIDLIST FolderAbs, LPCITEMIDLIST ItemRel,
                                SFGAOF Attribs) {
    bool Allow = true;
    if (FFilteredNames && !(Attribs & SFGAO_FOLDER)) {
        std::string Name = ExtractFileName(
            ShellGetFriendlyNameFromIdList(Folder, ItemRel, TNVFriendlyNameFlags::nvfnForParsing));
        Allow = FilterApply(Name, Attribs);
    }
    if (Allow && OnAddItem)
        OnAddItem(this, Folder, FolderAbs, ItemRel, Attribs, Allow);
    return Allow;
}

void TNVCustomShellList::InsertItem(TNVShListData* Data, SFGAOF Attribs) {
    LVITEMA Item{};
    Item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    Item.iItem = ItemCount();
    Item.pszText = LPSTR_TEXTCALLBACKA;
    Item.iImage = I_IMAGECALLBACK;
    Item.lParam = reinterpret_cast<LPARAM>(Data);
    if (Attribs & SFGAO_SHARE)
        Item.state |= INDEXTOOVERLAYMASK(1);
    else if (Attribs & SFGAO_LINK)
        Item.state |= INDEXTOOVERLAYMASK(2);
    if (Attribs & SFGAO_GHOSTED)
        Item.state |= LVIS_CUT;
    Item.stateMask = LVIS_OVERLAYMASK | LVIS_CUT;
    if (SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item)) < 0)
        delete Data;
}

// ---- Filter ----

void TNVCustomShellList::SetFileFilter(const std::string& Value) {
    if (Value == FFileFilter) {
        if (Value.empty())
            FMasks.reset();
        return;
    }
    FFileFilter = Value;
    if (!FMasks)
        FMasks = std::make_unique<TStringList>();
    FMasks->Clear();
    size_t Start = 0;
    while (Start <= Value.size()) {
        size_t End = Value.find(';', Start);
        if (End == std::string::npos)
            End = Value.size();
        // "*.htm; *.html" means two masks, not a second one that starts with a blank.
        std::string Mask = Trim(Value.substr(Start, End - Start));
        if (!Mask.empty())
            FMasks->Add(Mask);
        Start = End + 1;
    }
    if (FOptions & nvsloAutoFill)
        FillItems();
}

void TNVCustomShellList::FilterPreApply() {
    FilterPostApply();
    std::string Path = ShellGetPathFromIdList(FCurFolderIdList);
    if (Path.empty() || !FMasks || FMasks->Count() == 0 || FFileFilter == "*" || FFileFilter == "*.*")
        return;
    FFilteredNames = std::make_unique<TStringList>();
    FFilteredNames->SetSorted(true);
    FFilteredNames->SetDuplicates(dupIgnore);
    Path = EnsureTrailingCharDB(Path, '\\');
    TNoErrorBoxes NoBoxes;
    for (int I = 0; I < FMasks->Count(); ++I) {
        WIN32_FIND_DATAA Data;
        HANDLE Find = FindFirstFileA((Path + (*FMasks)[I]).c_str(), &Data);
        if (Find == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND)
                continue;
            break;
        }
        do {
            if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                FFilteredNames->Add(AnsiUpperCase(Data.cFileName));
        } while (FindNextFileA(Find, &Data));
        FindClose(Find);
    }
}

bool TNVCustomShellList::FilterApply(const std::string& Name, SFGAOF Attribs) {
    if (Attribs & SFGAO_FOLDER)
        return true;
    int Index = 0;
    return FFilteredNames && FFilteredNames->Find(AnsiUpperCase(Name), Index);
}

void TNVCustomShellList::FilterPostApply() {
    FFilteredNames.reset();
}

// ---- Sorting ----

int CALLBACK TNVCustomShellList::CompareItems(LPARAM A, LPARAM B, LPARAM Self) {
    auto* List = reinterpret_cast<TNVCustomShellList*>(Self);
    auto* DA = reinterpret_cast<TNVShListData*>(A);
    auto* DB = reinterpret_cast<TNVShListData*>(B);
    if (!DA || !DB || !List->FCurFolder)
        return 0;
    HRESULT R = List->FCurFolder->CompareIDs(static_cast<LPARAM>(std::abs(List->FSortValue) - 1),
                                             DA->RelPidl(), DB->RelPidl());
    int C = FAILED(R) ? 0 : static_cast<int16_t>(HRESULT_CODE(R));
    return List->FSortValue < 0 ? -C : C;
}

void TNVCustomShellList::SortList() {
    if (HandleAllocated() && FSortValue != 0)
        SendMessageA(FHandle, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                     reinterpret_cast<LPARAM>(&CompareItems));
}

void TNVCustomShellList::SetSortColumn(int Value) {
    FSortSetByCaller = true;
    // The arrow points up for an ascending sort: the header's "descending" glyph.
    SetHeaderSortColumn(std::abs(Value) - 1);
    SetHeaderSortDirection(Value >= 0 ? TNVLvSortDirection::nvsdDesc : TNVLvSortDirection::nvsdAsc);
    if (Value == FSortValue)
        return;
    FSortValue = Value;
    SortList();
}

// ---- Custom draw ----

void TNVCustomShellList::NVCustomDrawSh(TNVCustomDraw* CD, int Item, TNVShListData* Data) {
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(this, CD, Item, Data);
    if (OnCustomDrawSh && CD->DrawStage() == TNVCustomDrawStage::nvcdsItemPrePaint)
        OnCustomDrawSh(this, CD, Item, Data);
}

void TNVCustomShellList::NVCustomDrawItem(TNVCustomDraw* CD, int Item, LPARAM Param) {
    NVCustomDrawSh(CD, Item, Item >= 0 ? reinterpret_cast<TNVShListData*>(Param) : nullptr);
}

// ---- Refresh ----

void TNVCustomShellList::RefreshItems() {
    if (!HandleAllocated())
        return;
    if (FRefreshRunning || FEditing) {
        FRefreshPending = true;
        return;
    }
    if (ItemCount() == 0 || !FCurFolder) {
        FillItems();
        return;
    }
    FRefreshPending = false;
    THourGlassCursor Wait;
    FRefreshRunning = true;
    struct TRunning {
        bool& F;
        ~TRunning() { F = false; }
    } Running{FRefreshRunning};
    FillStart();
    FilterPreApply();
    struct TPost {
        TNVCustomShellList* L;
        ~TPost() { L->FilterPostApply(); }
    } Post{this};

    TNVPidlList Old;
    Old.ShellFolder = FCurFolder.Get();
    Old.Duplicates = TNVPidlDuplicates::dupAccept;
    Old.SetSorted(true);
    for (int I = 0, N = ItemCount(); I < N; ++I)
        if (TNVShListData* D = GetShListData(I))
            Old.AddObject(const_cast<LPITEMIDLIST>(D->RelPidl()), D);

    TNVPidlList New;
    New.ShellFolder = FCurFolder.Get();
    New.Malloc = ShellIMalloc();
    New.SetSorted(true);
    TComPtr<IEnumIDList> Enum;
    if (FAILED(FCurFolder->EnumObjects(OwnerWindow(), EnumFlags(), Enum.Put())) || !Enum)
        return;
    LPITEMIDLIST Item = nullptr;
    while (Enum->Next(1, &Item, nullptr) == S_OK) {
        // An enumeration that names one item twice must not stop the refresh: keep the first.
        if (!Item || New.IndexOf(Item) >= 0)
            ShellMemFree(Item);
        else
            New.Add(Item);
        Item = nullptr;
    }
    std::vector<TNVShListData*> Gone;
    for (int I = 0; I < Old.Count(); ++I) {
        int J = New.IndexOf(Old.PIDLs(I));
        if (J >= 0)
            New.Delete(J);
        else
            Gone.push_back(static_cast<TNVShListData*>(Old.Objects(I)));
    }
    {
        TNoRedraw Guard(FHandle);
        for (TNVShListData* D : Gone) {
            LVFINDINFOA Find{};
            Find.flags = LVFI_PARAM;
            Find.lParam = reinterpret_cast<LPARAM>(D);
            int Index = static_cast<int>(SendMessageA(FHandle, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(&Find)));
            if (Index >= 0)
                SendMessageA(FHandle, LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
        }
        FFilling = true;
        struct TFillFlag {
            bool& F;
            ~TFillFlag() { F = false; }
        } Flag{FFilling};
        for (int I = 0; I < New.Count(); ++I) {
            LPITEMIDLIST Rel = New.PIDLs(I);
            SFGAOF Attrs = 0;
            if (!ShouldInclude(Rel, Attrs))
                continue;
            New.SetPIDLs(I, nullptr); // the item data takes it over
            auto* Data = new TNVShListData(this);
            Data->SetData(Rel);
            InsertItem(Data, Attrs);
        }
    }
    FillComplete();
}

// ---- Following the disk ----

void TNVCustomShellList::InstallChangeHandler() {
    FTimer->SetEnabled(false);
    if (!HandleAllocated())
        return;
    if (!FThread)
        FThread = std::make_unique<TChangeHandlerThread>(FHandle, AMChangeNotify);
    else
        FThread->RemoveAll();
    std::string Path = ShellGetPathFromIdList(FCurFolderIdList);
    int Slot = -1;
    if (!Path.empty())
        FThread->Add(Path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, Slot, false);
}

void TNVCustomShellList::TimerElapsed(TObject*) {
    FTimer->SetEnabled(false);
    RefreshItems();
}

void TNVCustomShellList::Synchronize() {
    if (FTimer->Enabled())
        TimerElapsed(FTimer);
}

void TNVCustomShellList::HandleOnFolderChanged(TObject*) {
    if (FSyncCount == 0) {
        ++FSyncCount;
        struct TSync {
            int& C;
            ~TSync() { --C; }
        } Sync{FSyncCount};
        if (FShellTree)
            FShellTree->DoSetSelectedIdList(FFolder->GetIdList());
        else if (FShellCombo)
            FShellCombo->SelectedFolder().SetIdList(FFolder->GetIdList());
        FillItems();
    }
    FolderChanged();
}

void TNVCustomShellList::TreeChanged(TNVShTreeData* Data) {
    if (Data)
        FFolder->SetIdList(Data->GetAbsPidl());
}

void TNVCustomShellList::Notification(TComponent* AComponent, TOperation Operation) {
    TNVCustomListView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FShellTree)
        FShellTree = nullptr;
    if (Operation == opRemove && AComponent == FShellCombo)
        FShellCombo = nullptr;
}

void TNVCustomShellList::GoUp(int Levels) {
    if ((FOptions & nvsloDontChangeFolder) || Levels <= 0)
        return;
    if (FShellTree) {
        FShellTree->GoUp(Levels);
        return;
    }
    if (FShellCombo) {
        FShellCombo->GoUp(Levels);
        return;
    }
    TNVIdListArray Chain(FFolder->GetIdList());
    if (Chain.GetCount() == 0)
        return;
    LPITEMIDLIST Up = Chain.GoUp(std::min(Levels, Chain.GetCount()));
    TNVIdListHolder Copy(CopyIdList(nullptr, Up));
    FFolder->SetIdList(Copy.Get());
}

void TNVCustomShellList::WndProc(TMessage& Message) {
    if (FMenuSession && FMenuSession->HandleMenuMessage(Message))
        return;
    switch (Message.Msg) {
    case WM_DESTROY:
        SaveColumnWidths();
        break;
    case AMChangeNotify:
        if (FIgnoreNextChange || FRefreshRunning) {
            FIgnoreNextChange = false;
            return;
        }
        FTimer->SetEnabled(false);
        FTimer->SetInterval(Focused() ? 400 : 2000);
        FTimer->SetEnabled(true);
        return;
    case AMDeferredFill:
        if (ItemCount() == 0)
            FillItems();
        return;
    case WMGetIShellBrowser: {
        Message.Result = 0;
        IUnknown* Instance = nullptr;
        if (SUCCEEDED(SHGetInstanceExplorer(&Instance)) && Instance) {
            IShellBrowser* Browser = nullptr;
            if (SUCCEEDED(Instance->QueryInterface(IID_IShellBrowser, reinterpret_cast<void**>(&Browser))))
                Message.Result = reinterpret_cast<LRESULT>(Browser);
            Instance->Release();
        }
        return;
    }
    case AMDeferredEdit: {
        int Index = FindCaption(FDeferredEditName);
        if (Index >= 0) {
            SetFocus();
            SelectItem(Index);
            SendMessageA(FHandle, LVM_EDITLABELA, static_cast<WPARAM>(Index), 0);
        }
        return;
    }
    case CN_NOTIFY:
        HandleNotify(Message);
        return;
    default:
        break;
    }
    TNVCustomListView::WndProc(Message);
}

void TNVCustomShellList::HandleNotify(TMessage& Message) {
    auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (Hdr->code) {
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW: {
        // Both layouts begin alike; only the text pointer's character width differs.
        auto* Info = reinterpret_cast<NMLVDISPINFOA*>(Hdr);
        auto* D = reinterpret_cast<TNVShListData*>(Info->item.lParam);
        if (!D)
            return;
        if (Info->item.mask & LVIF_TEXT) {
            std::string Text =
                Info->item.iSubItem == 0 ? D->GetDisplayName() : D->GetColText(Info->item.iSubItem);
            if (Hdr->code == LVN_GETDISPINFOA)
                CopyText(Info->item.pszText, Info->item.cchTextMax, Text);
            else
                CopyTextW(reinterpret_cast<NMLVDISPINFOW*>(Hdr)->item.pszText, Info->item.cchTextMax, Text);
        }
        if ((Info->item.mask & LVIF_IMAGE) && Info->item.iSubItem == 0)
            Info->item.iImage = ShellGetIconIndex(D->GetAbsoluteIdList(), SHGFI_SMALLICON);
        return;
    }
    case LVN_DELETEITEM: {
        auto* Nm = reinterpret_cast<NMLISTVIEW*>(Hdr);
        auto* D = reinterpret_cast<TNVShListData*>(Nm->lParam);
        if (D) {
            if (OnDeleteItem)
                OnDeleteItem(this, Nm->iItem, D);
            delete D;
        }
        return;
    }
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: {
        auto* Info = reinterpret_cast<NMLVDISPINFOA*>(Hdr);
        TNVShListData* D = GetShListData(Info->item.iItem);
        bool Allow = D && D->GetEditable() && !FReadOnly;
        FEditing = Allow;
        Message.Result = Allow ? 0 : 1;
        return;
    }
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
        FEditing = false;
        auto* Info = reinterpret_cast<NMLVDISPINFOA*>(Hdr);
        Message.Result = 0;
        if (Info->item.pszText) {
            std::string Text;
            if (Hdr->code == LVN_ENDLABELEDITA) {
                Text = Info->item.pszText;
            } else {
                Text = FromWide(reinterpret_cast<NMLVDISPINFOW*>(Hdr)->item.pszText);
            }
            RenameItem(Info->item.iItem, Text);
        }
        if (FRefreshPending)
            PostMessageA(FHandle, AMChangeNotify, 0, 0);
        return;
    }
    case NM_CUSTOMDRAW:
        CustomDraw(Message);
        return;
    case NM_RCLICK:
        TNVCustomListView::WndProc(Message);
        return;
    case LVN_COLUMNCLICK: {
        auto* Nm = reinterpret_cast<NMLISTVIEW*>(Hdr);
        FSortSetByCaller = false;
        if (OnColumnClick)
            OnColumnClick(this, Nm->iSubItem);
        if (!FSortSetByCaller) {
            int Column = Nm->iSubItem + 1;
            SetSortColumn(FSortValue == Column ? -Column : Column);
        }
        return;
    }
    case NM_DBLCLK:
        OpenSelectedItems();
        return;
    case LVN_ITEMCHANGED: {
        auto* Nm = reinterpret_cast<NMLISTVIEW*>(Hdr);
        if ((Nm->uChanged & LVIF_STATE) && ((Nm->uOldState ^ Nm->uNewState) & LVIS_SELECTED))
            DoEvent(OnSelectionChange, this);
        return;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        if (FOptions & nvsloOleDrag)
            OleBeginDrag(Hdr->code == LVN_BEGINDRAG ? MK_LBUTTON : MK_RBUTTON);
        return;
    default:
        return;
    }
}
