#include "shellcontrols/ShellItemData.h"

#include <shellapi.h>

#include <cstring>

#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellUtils.h"

ZEL_DEFINE_CLASS(TNVShTreeData, TObject, {})
ZEL_DEFINE_CLASS(TNVShListData, TObject, {})
ZEL_DEFINE_CLASS(TNVShComboData, TObject, {})

namespace {

void FreeList(LPITEMIDLIST& L) {
    ShellMemFree(L);
    L = nullptr;
}

std::string GroupedNumber(uint64_t Value) {
    std::string Digits = std::to_string(Value);
    char Sep[8] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, Sep, sizeof(Sep)))
        std::strcpy(Sep, ",");
    std::string Out;
    int N = static_cast<int>(Digits.size());
    for (int I = 0; I < N; ++I) {
        if (I > 0 && (N - I) % 3 == 0)
            Out += Sep;
        Out += Digits[static_cast<size_t>(I)];
    }
    return Out;
}

std::string LocalDateTimeText(const FILETIME& Utc) {
    FILETIME Local;
    SYSTEMTIME St;
    if (!FileTimeToLocalFileTime(&Utc, &Local) || !FileTimeToSystemTime(&Local, &St))
        return std::string();
    char Date[80] = {}, Time[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &St, nullptr, Date, sizeof(Date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &St, nullptr, Time, sizeof(Time));
    return std::string(Date) + " " + Time;
}

} // namespace

std::string NVFormatSizeKB(uint64_t Bytes) {
    uint64_t KB = Bytes / 1024 + (Bytes % 1024 ? 1 : 0);
    std::string Fmt = NVResStr(nvshell::SFilesizeKB);
    std::string Number = GroupedNumber(KB);
    size_t Pos = Fmt.find("%s");
    if (Pos == std::string::npos)
        return Number;
    return Fmt.replace(Pos, 2, Number);
}

// ---- TNVShTreeData ----

TNVShTreeData::~TNVShTreeData() {
    FThisIShf.Reset();
    FParentIShf.Reset();
    FreeList(FRelPidl);
    FreeList(FAbsPidl);
}

void TNVShTreeData::SetData(TNVShTreeData* Parent, LPCITEMIDLIST Pidl) {
    FParent = Parent;
    FreeList(FRelPidl);
    FreeList(FAbsPidl);
    FRelPidl = Pidl ? CopyIdList(nullptr, Pidl) : nullptr;
}

LPCITEMIDLIST TNVShTreeData::GetAbsPidl() {
    if (!FAbsPidl) {
        if (FParent)
            FAbsPidl = ConcatIdLists(nullptr, FParent->GetAbsPidl(), FRelPidl);
        else if (FRelPidl)
            FAbsPidl = CopyIdList(nullptr, FRelPidl);
    }
    return FAbsPidl;
}

std::string TNVShTreeData::GetPathName() {
    if (!GetAbsPidl())
        return std::string();
    return ShellGetPathFromIdList(GetAbsPidl());
}

IShellFolder* TNVShTreeData::GetParentIShf() {
    if (FParent) {
        // The parent's folder lives as long as a held first-level folder or this cache.
        FParentIShf = FParent->GetThisIShf();
        return FParentIShf.Get();
    }
    FParentIShf.Reset();
    LPITEMIDLIST ParentList = nullptr, RelList = nullptr;
    ShellBindToParent(GetAbsPidl(), FParentIShf, ParentList, RelList);
    ShellMemFree(ParentList);
    ShellMemFree(RelList);
    return FParentIShf.Get();
}

TComPtr<IShellFolder> TNVShTreeData::GetThisIShf() {
    if (FThisIShf)
        return FThisIShf;
    TComPtr<IShellFolder> Result;
    if (IdListIsEmpty(GetAbsPidl())) {
        NVOleCheck(ShellGetDesktopFolder(Result));
        return Result;
    }
    IShellFolder* Parent = GetParentIShf();
    if (!Parent)
        return Result;
    LPCITEMIDLIST Rel = FParent ? FRelPidl : nullptr;
    TNVIdListHolder Last;
    if (!FParent) {
        // A first-level item binds its last element inside the parent that was bound above.
        TNVIdListArray Chain(GetAbsPidl());
        Last.Reset(CopyIdList(nullptr, Chain.GetItem(Chain.GetCount() - 1)));
        Rel = Last.Get();
    }
    if (FAILED(Parent->BindToObject(Rel, nullptr, IID_IShellFolder, Result.PutVoid())))
        Result.Reset();
    return Result;
}

void TNVShTreeData::SetThisIShf(IShellFolder* Folder) {
    FThisIShf = TComPtr<IShellFolder>::Share(Folder);
}

bool TNVShTreeData::GetEditable() {
    LPCITEMIDLIST Abs = GetAbsPidl();
    if (IdListIsEmpty(Abs) || !FParent)
        return false;
    IShellFolder* Parent = GetParentIShf();
    if (!Parent)
        return false;
    SFGAOF Attrs = 0x40000177;
    LPCITEMIDLIST Items[1] = {FRelPidl};
    if (FAILED(Parent->GetAttributesOf(1, Items, &Attrs)))
        return false;
    return (Attrs & SFGAO_CANRENAME) != 0;
}

void TNVShTreeData::SetRelPidl(LPCITEMIDLIST Pidl) {
    FreeList(FAbsPidl);
    FreeList(FRelPidl);
    FThisIShf.Reset();
    FRelPidl = CopyIdList(nullptr, Pidl);
    GetAbsPidl();
}

void TNVShTreeData::Flush() {
    FreeList(FAbsPidl);
    FThisIShf.Reset();
}

HRESULT TNVShTreeData::GetIDropTarget(HWND Window, TComPtr<IDropTarget>& Target) {
    Target.Reset();
    if (FParent) {
        TComPtr<IShellFolder> Folder = FParent->GetThisIShf();
        if (!Folder)
            return E_FAIL;
        LPCITEMIDLIST Items[1] = {FRelPidl};
        return Folder->GetUIObjectOf(Window, 1, Items, IID_IDropTarget, nullptr, Target.PutVoid());
    }
    TComPtr<IShellFolder> Parent;
    LPITEMIDLIST ParentList = nullptr, RelList = nullptr;
    HRESULT R = ShellBindToParent(GetAbsPidl(), Parent, ParentList, RelList);
    TNVIdListHolder P(ParentList), Rel(RelList);
    if (FAILED(R))
        return R;
    LPCITEMIDLIST Items[1] = {Rel.Get()};
    return Parent->GetUIObjectOf(Window, 1, Items, IID_IDropTarget, nullptr, Target.PutVoid());
}

bool TNVShTreeData::IsRootDir() {
    std::string P = GetPathName();
    return (P.size() == 2 || P.size() == 3) && !IsDBCSLeadByte(static_cast<BYTE>(P[0])) && P[1] == ':';
}

// ---- TNVShListData ----

TNVShListData::~TNVShListData() {
    FreeList(FRelPidl);
    FreeList(FAbsoluteIdList);
}

void TNVShListData::SetData(LPITEMIDLIST Pidl) {
    FreeList(FRelPidl);
    FRelPidl = Pidl;
    Flush();
}

void TNVShListData::Flush() {
    FreeList(FAbsoluteIdList);
    FDisplayName.clear();
    FExtraLoaded = false;
}

LPCITEMIDLIST TNVShListData::GetAbsoluteIdList() {
    if (!FAbsoluteIdList)
        FAbsoluteIdList = ConcatIdLists(nullptr, FList ? FList->CurrentFolderIdList() : nullptr, FRelPidl);
    return FAbsoluteIdList;
}

std::string TNVShListData::GetPathName() {
    return ShellGetPathFromIdList(GetAbsoluteIdList());
}

std::string TNVShListData::GetFilename() {
    return ExtractFileName(GetPathName());
}

SFGAOF TNVShListData::GetAttributes() {
    IShellFolder* Folder = FList ? FList->CurrentFolder() : nullptr;
    if (!Folder || !FRelPidl)
        return 0;
    SFGAOF Attrs = 0xF00F0037;
    std::string Path = GetPathName();
    // Asking a removable drive whether it is read-only makes the platform touch the medium.
    if (Path.size() > 3 && Path[1] == ':' &&
        GetDriveTypeA((Path.substr(0, 2) + "\\").c_str()) == DRIVE_REMOVABLE)
        Attrs &= ~static_cast<SFGAOF>(SFGAO_READONLY);
    LPCITEMIDLIST Items[1] = {FRelPidl};
    if (FAILED(Folder->GetAttributesOf(1, Items, &Attrs)))
        return 0;
    return Attrs;
}

bool TNVShListData::IsValid() {
    IShellFolder* Folder = FList ? FList->CurrentFolder() : nullptr;
    if (!Folder || !FRelPidl)
        return false;
    SFGAOF Attrs = SFGAO_VALIDATE;
    LPCITEMIDLIST Items[1] = {FRelPidl};
    return SUCCEEDED(Folder->GetAttributesOf(1, Items, &Attrs));
}

bool TNVShListData::IsLnkShortcut() {
    return SameText(ExtractFileExt(GetPathName()), ".lnk");
}

std::string TNVShListData::GetDisplayName() {
    if (FDisplayName.empty()) {
        SHFILEINFOA Info{};
        if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(GetAbsoluteIdList()), 0, &Info, sizeof(Info),
                           SHGFI_PIDL | SHGFI_DISPLAYNAME))
            FDisplayName = Info.szDisplayName;
    }
    return FDisplayName;
}

void TNVShListData::GetExtraData() {
    if (FExtraLoaded)
        return;
    FSize.clear();
    FModified.clear();
    FFileType.clear();
    std::string Path = GetPathName();
    if (Path.size() > 3) {
        WIN32_FIND_DATAA Data;
        UINT OldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        HANDLE Find = FindFirstFileA(Path.c_str(), &Data);
        SetErrorMode(OldMode);
        if (Find != INVALID_HANDLE_VALUE) {
            FindClose(Find);
            if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                FSize = NVFormatSizeKB((static_cast<uint64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
            FILETIME T = Data.ftLastWriteTime;
            if (T.dwLowDateTime == 0 && T.dwHighDateTime == 0)
                T = Data.ftCreationTime;
            FModified = LocalDateTimeText(T);
        }
    }
    if (!(GetAttributes() & SFGAO_FILESYSTEM)) {
        FFileType = NVResStr(nvshell::SSystemFolder);
    } else {
        SHFILEINFOA Info{};
        if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(GetAbsoluteIdList()), 0, &Info, sizeof(Info),
                           SHGFI_PIDL | SHGFI_TYPENAME))
            FFileType = std::string(Info.szTypeName, strnlen(Info.szTypeName, 80));
    }
    FExtraLoaded = true;
}

std::string TNVShListData::GetSize() {
    GetExtraData();
    return FSize;
}

std::string TNVShListData::GetFileType() {
    GetExtraData();
    return FFileType;
}

std::string TNVShListData::GetModified() {
    GetExtraData();
    return FModified;
}

std::string TNVShListData::GetColText(int Column) {
    if (Column == 0)
        return std::string();
    if (IShellDetails* Details = FList ? FList->CurrentFolderDetails() : nullptr) {
        SHELLDETAILS D{};
        if (FAILED(Details->GetDetailsOf(FRelPidl, static_cast<UINT>(Column), &D)))
            return std::string();
        std::string S = StrretToString(FRelPidl, D.str);
        StrretFree(D.str);
        return S;
    }
    switch (Column) {
    case 1:
        return GetSize();
    case 2:
        return GetFileType();
    case 3:
        return GetModified();
    default:
        return std::string();
    }
}

// ---- TNVShComboData ----

TNVShComboData::~TNVShComboData() {
    FThisFolder.Reset();
    FParentFolder.Reset();
    FreeList(FParentPidl);
    FreeList(FRelPidl);
    FreeList(FAbsPidl);
}

void TNVShComboData::SetData(IShellFolder* ParentFolder, LPCITEMIDLIST ParentPidl, LPCITEMIDLIST RelPidl) {
    FreeList(FParentPidl);
    FreeList(FRelPidl);
    FreeList(FAbsPidl);
    FThisFolder.Reset();
    FParentFolder = TComPtr<IShellFolder>::Share(ParentFolder);
    FParentPidl = ParentPidl ? CopyIdList(nullptr, ParentPidl) : nullptr;
    FRelPidl = RelPidl ? CopyIdList(nullptr, RelPidl) : nullptr;
    FAbsPidl = ConcatIdLists(nullptr, FParentPidl, FRelPidl);
}

IShellFolder* TNVShComboData::GetThisIShf() {
    if (!FThisFolder) {
        if (!IdListIsEmpty(FAbsPidl) && FParentFolder)
            NVOleCheck(
                FParentFolder->BindToObject(FRelPidl, nullptr, IID_IShellFolder, FThisFolder.PutVoid()));
        else
            NVOleCheck(ShellGetDesktopFolder(FThisFolder));
    }
    return FThisFolder.Get();
}
