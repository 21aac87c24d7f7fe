#include "shellcontrols/ShellUtils.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

#include "framework/core/List.h"
#include "framework/core/Registry.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Controls.h"
#include "shellcontrols/ColumnWidthStore.h"
#include "shellcontrols/DragAutoScroll.h"

ZEL_DEFINE_CLASS(TNVIdListArray, TObject, {})
ZEL_DEFINE_CLASS(TNVPidlList, TObject, {})
ZEL_DEFINE_CLASS(TNVDeviceChangeHandler, TObject, {})

namespace {

int GStartCount = 0;
bool GComInitialised = false;
OSVERSIONINFOA GOSVersion{};
TNVModuleVersion GComCtlVersion;
IMalloc* GMalloc = nullptr;
bool GOverlaysInstalled = false;
int GDriveCacheLock = 0;
TNVDeviceChangeHandler* GDeviceHandler = nullptr;

const OSVERSIONINFOA& OSVersion() {
    if (GOSVersion.dwOSVersionInfoSize == 0) {
        GOSVersion.dwOSVersionInfoSize = sizeof(GOSVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        GetVersionExA(&GOSVersion);
#pragma GCC diagnostic pop
    }
    return GOSVersion;
}

// The items of a list walked with their counts; stops at the terminator.
const SHITEMID* NextItem(const SHITEMID* Item) {
    return reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(Item) + Item->cb);
}

uint32_t ItemsBytes(LPCITEMIDLIST L) {
    uint32_t N = 0;
    if (!L)
        return 0;
    for (const SHITEMID* I = &L->mkid; I->cb != 0; I = NextItem(I))
        N += I->cb;
    return N;
}

LPITEMIDLIST AllocList(IMalloc* Malloc, SIZE_T Size) {
    void* P = Malloc ? Malloc->Alloc(Size) : ShellMemAlloc(Size);
    return static_cast<LPITEMIDLIST>(P);
}

// The folder that a running sort or search of a TNVPidlList compares with.
IShellFolder* GCompareFolder = nullptr;

} // namespace

std::wstring ToWide(const std::string& S, size_t MaxChars) {
    std::wstring W;
    if (S.empty())
        return W;
    int N = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    W.resize(static_cast<size_t>(N));
    MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), W.data(), N);
    if (W.size() > MaxChars)
        W.resize(MaxChars);
    return W;
}

std::string FromWide(const wchar_t* W) {
    if (!W || !*W)
        return std::string();
    int N = WideCharToMultiByte(CP_ACP, 0, W, -1, nullptr, 0, nullptr, nullptr);
    std::string S(static_cast<size_t>(N > 0 ? N - 1 : 0), '\0');
    if (N > 1)
        WideCharToMultiByte(CP_ACP, 0, W, -1, S.data(), N, nullptr, nullptr);
    return S;
}

// ---- Errors ----

std::string NVErrorText(HRESULT Code) {
    return SystemErrorText(static_cast<uint32_t>(Code));
}

ENVOleError::ENVOleError(HRESULT Code) : Exception(""), FCode(Code) {
    std::string Text = NVErrorText(Code);
    if (Text.empty())
        Text = Format("OLE error %08X", static_cast<unsigned>(Code));
    SetMessage(Text);
}

HRESULT NVOleCheck(HRESULT Result) {
    if (FAILED(Result))
        throw ENVOleError(Result);
    return Result;
}

// ---- Start and end ----

void NVShellUtilsStart() {
    if (GStartCount++ > 0)
        return;
    OSVersion();
    if (!GetModuleVersion("comctl32.dll", GComCtlVersion))
        GComCtlVersion = TNVModuleVersion{};
    // Drag and drop needs OLE, not only COM, on the GUI thread.
    GComInitialised = SUCCEEDED(OleInitialize(nullptr));
    ShellIMalloc();
    NVClearColumnWidths();
    NVReadMouseHoverSettings();
}

void NVShellUtilsEnd() {
    if (GStartCount == 0 || --GStartCount > 0)
        return;
    delete GDeviceHandler;
    GDeviceHandler = nullptr;
    NVClearColumnWidths();
    if (GMalloc) {
        GMalloc->Release();
        GMalloc = nullptr;
    }
    if (GComInitialised) {
        OleUninitialize();
        GComInitialised = false;
    }
}

// ---- Platform version ----

bool IsWin95() {
    return OSVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
bool IsOSR2OrGreater() {
    return IsWin95() && (OSVersion().dwBuildNumber & 0xFFFF) > 1000;
}
bool IsWinNT() {
    return OSVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
}
bool IsWin2000() {
    return IsWinNT() && OSVersion().dwMajorVersion >= 5;
}
bool HasWin95Shell() {
    return IsWin95() || (IsWinNT() && OSVersion().dwMajorVersion >= 4);
}

bool GetModuleVersion(const std::string& FileName, TNVModuleVersion& Version) {
    DWORD Dummy = 0;
    DWORD Size = GetFileVersionInfoSizeA(FileName.c_str(), &Dummy);
    if (Size == 0)
        return false;
    std::vector<char> Buffer(Size);
    if (!GetFileVersionInfoA(FileName.c_str(), 0, Size, Buffer.data()))
        return false;
    VS_FIXEDFILEINFO* Info = nullptr;
    UINT Len = 0;
    if (!VerQueryValueA(Buffer.data(), "\\", reinterpret_cast<void**>(&Info), &Len) || !Info ||
        Len < sizeof(VS_FIXEDFILEINFO))
        return false;
    Version.VersionMS = Info->dwFileVersionMS;
    Version.VersionLS = Info->dwFileVersionLS;
    return true;
}

TNVModuleVersion ComCtlVersion() {
    return GComCtlVersion;
}

// ---- Allocator ----

IMalloc* ShellIMalloc() {
    if (!GMalloc)
        SHGetMalloc(&GMalloc);
    return GMalloc;
}

void* ShellMemAlloc(SIZE_T Size) {
    IMalloc* M = ShellIMalloc();
    return M ? M->Alloc(Size) : nullptr;
}

void* ShellMemRealloc(void* P, SIZE_T Size) {
    if (!P)
        return nullptr;
    IMalloc* M = ShellIMalloc();
    return M ? M->Realloc(P, Size) : nullptr;
}

void ShellMemFree(void* P) {
    if (!P)
        return;
    if (IMalloc* M = ShellIMalloc())
        M->Free(P);
}

// ---- ID lists ----

uint32_t IdListLen(LPCITEMIDLIST L) {
    return L ? ItemsBytes(L) + 2 : 0;
}

bool IdListIsEmpty(LPCITEMIDLIST L) {
    return !L || L->mkid.cb == 0;
}

LPITEMIDLIST CopyIdList(IMalloc* Malloc, LPCITEMIDLIST L) {
    return ConcatIdLists(Malloc, L, nullptr);
}

LPITEMIDLIST ConcatIdLists(IMalloc* Malloc, LPCITEMIDLIST A, LPCITEMIDLIST B) {
    uint32_t NA = ItemsBytes(A), NB = ItemsBytes(B);
    LPITEMIDLIST R = AllocList(Malloc, NA + NB + 2);
    if (!R)
        return nullptr;
    BYTE* P = reinterpret_cast<BYTE*>(R);
    if (NA)
        std::memcpy(P, A, NA);
    if (NB)
        std::memcpy(P + NA, B, NB);
    P[NA + NB] = 0;
    P[NA + NB + 1] = 0;
    return R;
}

int CompareAbsIdLists(LPCITEMIDLIST A, LPCITEMIDLIST B) {
    if (!A && !B)
        return 0;
    if (!A || !B)
        return -1;
    bool EA = IdListIsEmpty(A), EB = IdListIsEmpty(B);
    if (EA && EB)
        return 0;
    if (EA || EB)
        return -1;
    TComPtr<IShellFolder> Desktop;
    if (FAILED(ShellGetDesktopFolder(Desktop)))
        return NVNotComparable;
    HRESULT R = Desktop->CompareIDs(0, A, B);
    if (FAILED(R))
        return NVNotComparable;
    return static_cast<int16_t>(HRESULT_CODE(R));
}

TNVIdListArray::~TNVIdListArray() {
    SetResult(nullptr);
}

void TNVIdListArray::SetResult(LPITEMIDLIST L) {
    ShellMemFree(FResult);
    FResult = L;
}

int TNVIdListArray::GetCount() const {
    int N = 0;
    if (!FList)
        return 0;
    for (const SHITEMID* I = &FList->mkid; I->cb != 0; I = NextItem(I))
        ++N;
    return N;
}

LPITEMIDLIST TNVIdListArray::GetItem(int Index) {
    SetResult(nullptr);
    int Count = GetCount();
    if (!FList || Index < 0 || (Index >= Count && Count != 0))
        return nullptr;
    if (Count == 0) {
        SetResult(CopyIdList(nullptr, FList));
        return FResult;
    }
    const SHITEMID* I = &FList->mkid;
    for (int K = 0; K < Index; ++K)
        I = NextItem(I);
    LPITEMIDLIST R = AllocList(nullptr, I->cb + 2u);
    if (R) {
        std::memcpy(R, I, I->cb);
        reinterpret_cast<BYTE*>(R)[I->cb] = 0;
        reinterpret_cast<BYTE*>(R)[I->cb + 1] = 0;
    }
    SetResult(R);
    return FResult;
}

LPITEMIDLIST TNVIdListArray::GoUp(int Levels) {
    SetResult(nullptr);
    int Keep = GetCount() - Levels;
    if (!FList || Keep < 0)
        return nullptr;
    uint32_t Bytes = 0;
    const SHITEMID* I = &FList->mkid;
    for (int K = 0; K < Keep; ++K) {
        Bytes += I->cb;
        I = NextItem(I);
    }
    LPITEMIDLIST R = AllocList(nullptr, Bytes + 2);
    if (R) {
        std::memcpy(R, FList, Bytes);
        reinterpret_cast<BYTE*>(R)[Bytes] = 0;
        reinterpret_cast<BYTE*>(R)[Bytes + 1] = 0;
    }
    SetResult(R);
    return FResult;
}

// ---- Paths, folders, names ----

HRESULT ShellGetDesktopFolder(TComPtr<IShellFolder>& Folder) {
    return SHGetDesktopFolder(Folder.Put());
}

HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST IdList, TComPtr<IShellFolder>& Folder) {
    Folder.Reset();
    TComPtr<IShellFolder> Desktop;
    HRESULT R = ShellGetDesktopFolder(Desktop);
    if (FAILED(R))
        return R;
    if (IdListIsEmpty(IdList)) {
        Folder = Desktop;
        return S_OK;
    }
    return Desktop->BindToObject(IdList, nullptr, IID_IShellFolder, Folder.PutVoid());
}

HRESULT ShellGetIdListFromPath(const std::string& Path, LPITEMIDLIST& IdList) {
    IdList = nullptr;
    TComPtr<IShellFolder> Desktop;
    HRESULT R = ShellGetDesktopFolder(Desktop);
    if (FAILED(R))
        return R;
    std::wstring W = ToWide(Path, MAX_PATH);
    ULONG Eaten = 0;
    return Desktop->ParseDisplayName(nullptr, nullptr, W.data(), &Eaten, &IdList, nullptr);
}

std::string ShellGetPathFromIdList(LPCITEMIDLIST IdList) {
    static const USHORT Empty = 0;
    char Buffer[MAX_PATH + 1] = {};
    LPCITEMIDLIST L = IdList ? IdList : reinterpret_cast<LPCITEMIDLIST>(&Empty);
    if (!SHGetPathFromIDListA(L, Buffer))
        return std::string();
    return Buffer;
}

std::string ShellGetDisplayPathName(const std::string& Path) {
    TNVIdListHolder L;
    if (FAILED(ShellGetIdListFromPath(Path, *L.Put())) || !L.Get())
        return std::string();
    return ShellGetPathFromIdList(L.Get());
}

HRESULT ShellGetSpecialFolderIdList(HWND Owner, TCSIDL Csidl, LPITEMIDLIST& IdList) {
    IdList = nullptr;
    return SHGetSpecialFolderLocation(Owner, static_cast<int>(Csidl) & 0x7F, &IdList);
}

std::string ShellGetSpecialFolderPath(HWND Owner, TCSIDL Csidl) {
    TNVIdListHolder L;
    if (FAILED(ShellGetSpecialFolderIdList(Owner, Csidl, *L.Put())) || !L.Get())
        return std::string();
    return ShellGetPathFromIdList(L.Get());
}

TCSIDL ShellFindCSIDLFromIdList(LPCITEMIDLIST IdList) {
    for (int C = 0; C < static_cast<int>(csidlNone); ++C) {
        TNVIdListHolder L;
        if (FAILED(ShellGetSpecialFolderIdList(nullptr, static_cast<TCSIDL>(C), *L.Put())) || !L.Get())
            continue;
        if (CompareAbsIdLists(L.Get(), IdList) == 0)
            return static_cast<TCSIDL>(C);
    }
    return csidlNone;
}

std::string ShellGetFriendlyNameFromIdList(IShellFolder* Folder, LPCITEMIDLIST IdList,
                                           TNVFriendlyNameFlags Flags) {
    TComPtr<IShellFolder> Held = TComPtr<IShellFolder>::Share(Folder);
    if (!Held && FAILED(ShellGetDesktopFolder(Held)))
        return std::string();
    static const USHORT Empty = 0;
    LPCITEMIDLIST L = IdList ? IdList : reinterpret_cast<LPCITEMIDLIST>(&Empty);
    SHGDNF F = Flags == TNVFriendlyNameFlags::nvfnInFolder     ? SHGDN_INFOLDER
               : Flags == TNVFriendlyNameFlags::nvfnForParsing ? SHGDN_FORPARSING
                                                               : SHGDN_NORMAL;
    STRRET Ret{};
    if (FAILED(Held->GetDisplayNameOf(L, F, &Ret)))
        return std::string();
    std::string S = StrretToString(L, Ret);
    StrretFree(Ret);
    return S;
}

std::string ShellGetFriendlyNameForLastIdListElement(LPCITEMIDLIST IdList) {
    TNVIdListArray Chain(IdList);
    if (Chain.GetCount() > 1) {
        TComPtr<IShellFolder> Parent;
        NVOleCheck(ShellGetFolderFromIdList(Chain.GoUp(1), Parent));
        TNVIdListHolder Last(CopyIdList(nullptr, Chain.GetItem(Chain.GetCount() - 1)));
        return ShellGetFriendlyNameFromIdList(Parent.Get(), Last.Get(), TNVFriendlyNameFlags::nvfnInFolder);
    }
    return ShellGetFriendlyNameFromIdList(nullptr, IdList, TNVFriendlyNameFlags::nvfnInFolder);
}

std::string StrretToString(LPCITEMIDLIST IdList, const STRRET& StrRet) {
    switch (StrRet.uType) {
    case STRRET_WSTR:
        return FromWide(StrRet.pOleStr);
    case STRRET_OFFSET:
        if (!IdList)
            return std::string();
        return reinterpret_cast<const char*>(IdList) + StrRet.uOffset;
    case STRRET_CSTR: {
        const char* C = StrRet.cStr;
        return std::string(C, strnlen(C, sizeof(StrRet.cStr)));
    }
    default:
        return std::string();
    }
}

void StrretFree(STRRET& StrRet) {
    if (StrRet.uType == STRRET_WSTR && StrRet.pOleStr) {
        CoTaskMemFree(StrRet.pOleStr);
        StrRet.pOleStr = nullptr;
    }
}

HRESULT ShellBindToParent(LPCITEMIDLIST AbsList, TComPtr<IShellFolder>& Parent, LPITEMIDLIST& ParentList,
                          LPITEMIDLIST& RelList) {
    Parent.Reset();
    ParentList = nullptr;
    RelList = nullptr;
    TNVIdListHolder DesktopList;
    LPCITEMIDLIST L = AbsList;
    if (TNVIdListArray(L).GetCount() == 0) {
        std::string Path = ShellGetSpecialFolderPath(nullptr, csidlDesktopDirectory);
        HRESULT R = ShellGetIdListFromPath(Path, *DesktopList.Put());
        if (FAILED(R))
            return R;
        L = DesktopList.Get();
    }
    TNVIdListArray Chain(L);
    int Count = Chain.GetCount();
    if (Count == 0)
        return E_FAIL;
    if (Count == 1) {
        RelList = CopyIdList(nullptr, L);
        return ShellGetDesktopFolder(Parent);
    }
    ParentList = CopyIdList(nullptr, Chain.GoUp(1));
    RelList = CopyIdList(nullptr, Chain.GetItem(Count - 1));
    return ShellGetFolderFromIdList(ParentList, Parent);
}

// ---- Icons ----

int ShellGetIconIndex(LPCITEMIDLIST IdList, UINT Flags) {
    SHFILEINFOA Info{};
    static const USHORT Empty = 0;
    LPCITEMIDLIST L = IdList ? IdList : reinterpret_cast<LPCITEMIDLIST>(&Empty);
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(L), 0, &Info, sizeof(Info),
                        Flags | SHGFI_PIDL | SHGFI_SYSICONINDEX))
        return 0;
    return Info.iIcon;
}

int ShellGetIconIndexFromPath(const std::string& Path, UINT Flags) {
    SHFILEINFOA Info{};
    if (!SHGetFileInfoA(Path.c_str(), 0, &Info, sizeof(Info), Flags | SHGFI_SYSICONINDEX))
        return 0;
    return Info.iIcon;
}

int ShellGetIconIndexFromExt(const std::string& Ext, UINT Flags) {
    SHFILEINFOA Info{};
    if (!SHGetFileInfoA(Ext.c_str(), 0, &Info, sizeof(Info),
                        Flags | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES))
        return 0;
    return Info.iIcon;
}

int ShellGetSpecialFolderIconIndex(TCSIDL Csidl, UINT Flags) {
    TNVIdListHolder L;
    NVOleCheck(ShellGetSpecialFolderIdList(nullptr, Csidl, *L.Put()));
    return ShellGetIconIndex(L.Get(), Flags);
}

namespace {
void InstallOverlays() {
    if (GOverlaysInstalled || !IsWinNT() || ComCtlVersion().VersionMS < 0x00040047)
        return;
    HMODULE Shell = LoadLibraryA("shell32.dll");
    if (!Shell)
        return;
    SHFILEINFOA Info{};
    auto Small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto Large =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), SHGFI_SYSICONINDEX));
    const int Ordinals[2] = {29, 30};
    for (int K = 0; K < 2; ++K) {
        const int Sizes[2] = {16, 32};
        HIMAGELIST Lists[2] = {Small, Large};
        for (int S = 0; S < 2; ++S) {
            auto Icon = static_cast<HICON>(LoadImageA(Shell, MAKEINTRESOURCEA(Ordinals[K]), IMAGE_ICON,
                                                      Sizes[S], Sizes[S], LR_DEFAULTCOLOR));
            if (!Icon || !Lists[S]) {
                if (Icon)
                    DestroyIcon(Icon);
                continue;
            }
            int Index = ImageList_AddIcon(Lists[S], Icon);
            if (Index >= 0)
                ImageList_SetOverlayImage(Lists[S], Index, K + 1);
            DestroyIcon(Icon);
        }
    }
    FreeLibrary(Shell);
    GOverlaysInstalled = true;
}
} // namespace

HIMAGELIST ShellGetSystemImageList(TNVShellIconSize Size) {
    InstallOverlays();
    SHFILEINFOA Info{};
    UINT Flags = SHGFI_SYSICONINDEX | (Size == TNVShellIconSize::nvsizSmall ? SHGFI_SMALLICON : 0);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &Info, sizeof(Info), Flags));
}

// ---- Shortcuts ----

namespace {

// A shell link object and the file side it is loaded from and saved to.
HRESULT NewShellLink(TComPtr<IShellLinkA>& Link, TComPtr<IPersistFile>& File) {
    HRESULT R =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, Link.PutVoid());
    if (FAILED(R))
        return R;
    return Link->QueryInterface(IID_IPersistFile, File.PutVoid());
}

} // namespace

HRESULT CreateShortcut(const std::string& LinkFileName, const TLinkData& LinkData) {
    TComPtr<IShellLinkA> Link;
    TComPtr<IPersistFile> File;
    HRESULT R = NewShellLink(Link, File);
    if (FAILED(R))
        return R;
    if (FAILED(R = Link->SetPath(LinkData.Path.c_str())))
        return R;
    if ((LinkData.Options & ldoUseDesc) && FAILED(R = Link->SetDescription(LinkData.Description.c_str())))
        return R;
    if ((LinkData.Options & ldoUseArgs) && FAILED(R = Link->SetArguments(LinkData.Arguments.c_str())))
        return R;
    if ((LinkData.Options & ldoUseIcon) &&
        FAILED(R = Link->SetIconLocation(LinkData.IconLocation.c_str(), LinkData.IconIndex)))
        return R;
    if ((LinkData.Options & ldoUseWorkDir) &&
        FAILED(R = Link->SetWorkingDirectory(LinkData.WorkingDirectory.c_str())))
        return R;
    if ((LinkData.Options & ldoUseHotKey) && FAILED(R = Link->SetHotkey(LinkData.HotKey)))
        return R;
    if ((LinkData.Options & ldoUseShowCmd) && FAILED(R = Link->SetShowCmd(LinkData.ShowCmd)))
        return R;
    std::wstring W = ToWide(LinkFileName, MAX_PATH);
    return File->Save(W.c_str(), TRUE);
}

HRESULT CreateQuickShortcut(const std::string& LinkFileName, const std::string& Target) {
    TLinkData D;
    D.Path = Target;
    D.Description = Target;
    D.WorkingDirectory = ExtractFilePath(Target);
    D.Options = ldoUseDesc | ldoUseWorkDir;
    return CreateShortcut(LinkFileName, D);
}

HRESULT ResolveShortcut(const std::string& LinkFileName, TLinkData& LinkData, bool WantIdList) {
    TComPtr<IShellLinkA> Link;
    TComPtr<IPersistFile> File;
    HRESULT R = NewShellLink(Link, File);
    if (FAILED(R))
        return R;
    std::wstring W = ToWide(LinkFileName, MAX_PATH);
    if (FAILED(R = File->Load(W.c_str(), 0)))
        return R;
    // Without user interface the shell must not ask the user where a moved target went.
    DWORD Flags = LinkData.NoUI ? static_cast<DWORD>(SLR_NO_UI | (1u << 16)) : 0;
    if (FAILED(R = Link->Resolve(nullptr, Flags)))
        return R;
    char Buffer[262];
    auto Text = [&Buffer]() { return std::string(Buffer, strnlen(Buffer, 261)); };
    std::memset(Buffer, 0, sizeof(Buffer));
    if (FAILED(R = Link->GetPath(Buffer, 261, &LinkData.FindData, 0)))
        return R;
    LinkData.Path = Text();
    std::memset(Buffer, 0, sizeof(Buffer));
    if (FAILED(R = Link->GetArguments(Buffer, 261)))
        return R;
    LinkData.Arguments = Text();
    std::memset(Buffer, 0, sizeof(Buffer));
    if (FAILED(R = Link->GetDescription(Buffer, 261)))
        return R;
    LinkData.Description = Text();
    std::memset(Buffer, 0, sizeof(Buffer));
    int Icon = 0;
    if (FAILED(R = Link->GetIconLocation(Buffer, 261, &Icon)))
        return R;
    LinkData.IconLocation = Text();
    LinkData.IconIndex = Icon;
    std::memset(Buffer, 0, sizeof(Buffer));
    if (FAILED(R = Link->GetWorkingDirectory(Buffer, 261)))
        return R;
    LinkData.WorkingDirectory = Text();
    int Show = 0;
    if (FAILED(R = Link->GetShowCmd(&Show)))
        return R;
    LinkData.ShowCmd = Show;
    WORD Hot = 0;
    if (FAILED(R = Link->GetHotkey(&Hot)))
        return R;
    LinkData.HotKey = Hot;
    LinkData.Options = ldoUseDesc | ldoUseArgs | ldoUseIcon | ldoUseWorkDir | ldoUseHotKey | ldoUseShowCmd;
    LinkData.IdList = nullptr;
    if (WantIdList && FAILED(R = Link->GetIDList(&LinkData.IdList)))
        return R;
    return S_OK;
}

// ---- File type to class ----

bool NVClsidFromFileType(const std::string& Ext, CLSID& Clsid) {
    TRegistry Reg(KEY_READ);
    Reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (Ext.empty() || !Reg.OpenKeyReadOnly("\\" + Ext))
        return false;
    std::string TypeName;
    try {
        TypeName = Reg.ReadString("");
    } catch (const ERegistryException&) {
        return false;
    }
    std::string Text;
    if (TypeName.size() >= 6 && SameText(TypeName.substr(0, 6), "clsid\\")) {
        Text = TypeName.substr(6, 255);
    } else if (Reg.KeyExists("CLSID") && Reg.OpenKeyReadOnly("\\" + Ext + "\\CLSID")) {
        Text = Reg.ReadString("");
    } else {
        Reg.CloseKey();
        if (TypeName.empty() || !Reg.OpenKeyReadOnly("\\" + TypeName + "\\CLSID"))
            return false;
        Text = Reg.ReadString("");
    }
    std::wstring W = ToWide(Text, 79);
    CLSID Value{};
    if (FAILED(CLSIDFromString(W.c_str(), &Value)))
        return false;
    Clsid = Value;
    return true;
}

// ---- Drive cache ----

void FlushDriveInfoCache() {
    if (GDriveCacheLock > 0)
        return;
    TNVIdListHolder Drives;
    NVOleCheck(ShellGetSpecialFolderIdList(nullptr, csidlDrives, *Drives.Put()));
    TComPtr<IShellFolder> Folder;
    NVOleCheck(ShellGetFolderFromIdList(Drives.Get(), Folder));
    SFGAOF Attrs = SFGAO_VALIDATE;
    Folder->GetAttributesOf(0, nullptr, &Attrs);
}

void LockFlushDriveInfoCache() {
    ++GDriveCacheLock;
}
void UnlockFlushDriveInfoCache() {
    --GDriveCacheLock;
}

// ---- Double-byte strings ----

namespace {
bool IsLead(char C) {
    return IsDBCSLeadByte(static_cast<BYTE>(C)) != 0;
}

// Whether the byte at Pos (0-based) is the trail byte of a double-byte character.
bool IsTrailAt(const std::string& S, size_t Pos) {
    size_t I = 0;
    while (I < Pos)
        I += (IsLead(S[I]) && I + 1 < S.size()) ? 2 : 1;
    return I > Pos;
}
} // namespace

std::string EnsureTrailingCharDB(const std::string& S, char Ch) {
    if (S.empty())
        return S;
    if (IsTrailAt(S, S.size() - 1) || S.back() != Ch)
        return S + Ch;
    return S;
}

std::string TrimRightDB(const std::string& S) {
    size_t End = S.size();
    while (End > 0 && static_cast<unsigned char>(S[End - 1]) < 33 && !IsTrailAt(S, End - 1))
        --End;
    return S.substr(0, End);
}

void CopyCharDB(int& Index, const std::string& S, std::string& Dest) {
    if (Index < 1 || static_cast<size_t>(Index) > S.size())
        return;
    size_t I = static_cast<size_t>(Index - 1);
    Dest += S[I];
    ++Index;
    if (IsLead(S[I]) && I + 1 < S.size()) {
        Dest += S[I + 1];
        ++Index;
    }
}

void ParametizeCmdLineDB(const std::string& CmdLine, TStrings* Params) {
    enum { Start, InWord, InQuotes } State = Start;
    std::string Cur;
    auto Finish = [&]() {
        std::string P = TrimRightDB(Cur);
        if (!P.empty())
            Params->Add(P);
        Cur.clear();
    };
    int Index = 1;
    const int Len = static_cast<int>(CmdLine.size());
    while (Index <= Len) {
        char C = CmdLine[static_cast<size_t>(Index - 1)];
        bool Lead = IsLead(C);
        switch (State) {
        case Start:
            if (!Lead && (C == ' ' || C == '\t')) {
                ++Index;
            } else if (!Lead && C == '"') {
                State = InQuotes;
                ++Index;
            } else {
                State = InWord;
                CopyCharDB(Index, CmdLine, Cur);
            }
            break;
        case InWord:
            if (!Lead && (C == ' ' || C == '\t' || C == '"')) {
                Finish();
                State = C == '"' ? InQuotes : Start;
                ++Index;
            } else {
                CopyCharDB(Index, CmdLine, Cur);
            }
            break;
        case InQuotes:
            if (!Lead && C == '"') {
                Finish();
                State = Start;
                ++Index;
            } else {
                CopyCharDB(Index, CmdLine, Cur);
            }
            break;
        }
    }
    Finish();
}

std::string FormatStrPos(const std::string& Fmt, const std::vector<std::string>& Args) {
    if (Args.size() > 50)
        throw Exception("FormatStrPos: Too many substitution strings");
    if (Fmt.empty())
        return std::string();
    std::vector<DWORD_PTR> Ptrs;
    for (const std::string& A : Args)
        Ptrs.push_back(reinterpret_cast<DWORD_PTR>(A.c_str()));
    // The formatter reads every insert that the text names: give it empty strings for the rest.
    static const char EmptyText[] = "";
    while (Ptrs.size() < 99)
        Ptrs.push_back(reinterpret_cast<DWORD_PTR>(EmptyText));
    char* Buffer = nullptr;
    DWORD N = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        Fmt.c_str(), 0, 0, reinterpret_cast<char*>(&Buffer), 0, reinterpret_cast<va_list*>(Ptrs.data()));
    std::string S;
    if (N && Buffer)
        S.assign(Buffer, N);
    if (Buffer)
        LocalFree(Buffer);
    // The formatter writes its line breaks as CR LF; the family's texts use LF alone.
    if (Fmt.find('\r') == std::string::npos)
        S = StringReplaceAll(S, "\r\n", "\n");
    return S;
}

// ---- TNVPidlList ----

TNVPidlList::~TNVPidlList() {
    Clear();
}

int TNVPidlList::Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const {
    IShellFolder* Folder = GCompareFolder ? GCompareFolder : ShellFolder;
    if (Folder) {
        HRESULT R = Folder->CompareIDs(0, A, B);
        return static_cast<int16_t>(HRESULT_CODE(R));
    }
    uint32_t LA = IdListLen(A), LB = IdListLen(B);
    const BYTE* PA = reinterpret_cast<const BYTE*>(A);
    const BYTE* PB = reinterpret_cast<const BYTE*>(B);
    uint32_t N = std::min(LA, LB);
    for (uint32_t I = 0; I < N; ++I)
        if (PA[I] != PB[I])
            return PA[I] < PB[I] ? -1 : 1;
    return LA == LB ? 0 : (LA < LB ? -1 : 1);
}

bool TNVPidlList::Find(LPCITEMIDLIST Key, int& Index) const {
    struct TFolderSlot {
        explicit TFolderSlot(IShellFolder* F) { GCompareFolder = F; }
        ~TFolderSlot() { GCompareFolder = nullptr; }
    } Slot(ShellFolder);
    bool Found = false;
    int Low = 0, High = Count() - 1;
    while (Low <= High) {
        int Mid = static_cast<int>(static_cast<unsigned>(Low + High) >> 1);
        int C = Compare(FPairs[static_cast<size_t>(Mid)].IdList, Key);
        if (C < 0) {
            Low = Mid + 1;
        } else {
            High = Mid - 1;
            if (C == 0) {
                Found = true;
                if (Duplicates != TNVPidlDuplicates::dupAccept)
                    Low = Mid;
            }
        }
    }
    Index = Low;
    return Found;
}

int TNVPidlList::AddObject(LPITEMIDLIST IdList, void* Object) {
    int Index = Count();
    if (FSorted) {
        if (Find(IdList, Index)) {
            if (Duplicates == TNVPidlDuplicates::dupIgnore)
                return Index;
            if (Duplicates == TNVPidlDuplicates::dupError)
                throw EListError("TNVPidlList: Duplicate PIDL");
        }
    }
    InsertObject(Index, IdList, Object);
    return Index;
}

void TNVPidlList::InsertObject(int Index, LPITEMIDLIST IdList, void* Object) {
    if (Index < 0 || Index > Count())
        TList::Error("List index out of bounds (%d)", Index);
    FPairs.insert(FPairs.begin() + Index, TPair{IdList, Object});
}

int TNVPidlList::IndexOf(LPCITEMIDLIST IdList) const {
    if (FSorted) {
        int Index = 0;
        return Find(IdList, Index) ? Index : -1;
    }
    for (int I = 0; I < Count(); ++I)
        if (Compare(FPairs[static_cast<size_t>(I)].IdList, IdList) == 0)
            return I;
    return -1;
}

void TNVPidlList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        TList::Error("List index out of bounds (%d)", Index);
    if (Malloc && FPairs[static_cast<size_t>(Index)].IdList)
        Malloc->Free(FPairs[static_cast<size_t>(Index)].IdList);
    FPairs.erase(FPairs.begin() + Index);
}

void TNVPidlList::Clear() {
    if (Malloc)
        for (TPair& P : FPairs)
            if (P.IdList)
                Malloc->Free(P.IdList);
    FPairs.clear();
}

void TNVPidlList::Sort() {
    struct TFolderSlot {
        explicit TFolderSlot(IShellFolder* F) { GCompareFolder = F; }
        ~TFolderSlot() { GCompareFolder = nullptr; }
    } Slot(ShellFolder);
    std::stable_sort(FPairs.begin(), FPairs.end(),
                     [this](const TPair& A, const TPair& B) { return Compare(A.IdList, B.IdList) < 0; });
}

void TNVPidlList::SetCapacity(int Value) {
    if (Value >= Count())
        FPairs.reserve(static_cast<size_t>(Value));
}

void TNVPidlList::SetSorted(bool Value) {
    if (Value && !FSorted)
        Sort();
    FSorted = Value;
}

// ---- Device changes ----

namespace {
const char DeviceWindowClass[] = "TNVDeviceChangeWindow";
}

TNVDeviceChangeHandler::TNVDeviceChangeHandler() {
    WNDCLASSA Cls{};
    Cls.lpfnWndProc = &TNVDeviceChangeHandler::WndProc;
    Cls.hInstance = GetModuleHandleA(nullptr);
    Cls.lpszClassName = DeviceWindowClass;
    RegisterClassA(&Cls);
    // A top-level hidden window: message-only windows do not receive broadcasts.
    FWnd = CreateWindowExA(0, DeviceWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    if (FWnd)
        SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TNVDeviceChangeHandler::~TNVDeviceChangeHandler() {
    if (FWnd) {
        SetWindowLongPtrA(FWnd, GWLP_USERDATA, 0);
        DestroyWindow(FWnd);
    }
}

void TNVDeviceChangeHandler::Add(const void* Key, TNVDeviceChangeEvent Handler) {
    FHandlers.emplace_back(Key, std::move(Handler));
}

void TNVDeviceChangeHandler::Remove(const void* Key) {
    auto It =
        std::find_if(FHandlers.begin(), FHandlers.end(), [Key](const auto& P) { return P.first == Key; });
    if (It != FHandlers.end())
        FHandlers.erase(It);
}

LRESULT CALLBACK TNVDeviceChangeHandler::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = reinterpret_cast<TNVDeviceChangeHandler*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (Msg == WM_DEVICECHANGE) {
        PostMessageA(Wnd, NVDeviceChangeMessage, WParam, LParam);
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    }
    if (Msg == NVDeviceChangeMessage && Self) {
        if (Self->Enabled) {
            TMessage M{NVDeviceChangeMessage, WParam, LParam, 0};
            // A copy: a handler may remove itself.
            auto Handlers = Self->FHandlers;
            for (auto& H : Handlers) {
                try {
                    if (H.second)
                        H.second(Self, M);
                } catch (...) {
                    HandleUiException(Self);
                }
            }
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

TNVDeviceChangeHandler* NVDeviceChangeHandler() {
    if (!GDeviceHandler)
        GDeviceHandler = new TNVDeviceChangeHandler();
    return GDeviceHandler;
}

TNVDeviceChangeHandler* NVExistingDeviceChangeHandler() {
    return GDeviceHandler;
}
