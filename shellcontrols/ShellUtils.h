#pragma once
// The toolbox under every shell control: platform version tests, the shell's allocator, item ID
// list arithmetic, path and ID-list conversions, special folders, display names, icon indexes and
// the system image lists, shortcut files, the class registered for a file type, the drive
// information cache, double-byte-aware string routines and the process-wide listener for
// device-change broadcasts. No user interface.
//
// Every ID list these functions return comes from the shell allocator and is freed by the caller
// with ShellMemFree, unless stated otherwise.
#include "framework/core/Win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/Object.h"
#include "framework/ui/Messages.h"
#include "shellcontrols/ComPtr.h"

class TStrings;

// A failing COM call, with the platform's text for its result code.
class ENVOleError : public Exception {
public:
    explicit ENVOleError(HRESULT Code);
    HRESULT ErrorCode() const { return FCode; }

private:
    HRESULT FCode;
};
// Raises ENVOleError for a failing result; answers the result otherwise.
HRESULT NVOleCheck(HRESULT Result);
// The platform's message text for a result code (empty when it has none).
std::string NVErrorText(HRESULT Code);

// ANSI text to UTF-16 for the wide shell interfaces, cut to MaxChars characters.
std::wstring ToWide(const std::string& S, size_t MaxChars);
// UTF-16 from the shell back to ANSI; empty for null.
std::string FromWide(const wchar_t* W);

// Ordinal = the platform's special-folder number.
enum TCSIDL : uint8_t {
    csidlDesktop,
    csidl_None1,
    csidlPrograms,
    csidlControls,
    csidlPrinters,
    csidlPersonal,
    csidlFavorites,
    csidlStartup,
    csidlRecent,
    csidlSendTo,
    csidlBitBucket,
    csidlStartMenu,
    csidl_None2,
    csidl_None3,
    csidl_None4,
    csidl_None5,
    csidlDesktopDirectory,
    csidlDrives,
    csidlNetwork,
    csidlNethood,
    csidlFonts,
    csidlTemplates,
    csidlCommonStartMenu,
    csidlCommonPrograms,
    csidlCommonStartup,
    csidlCommonDesktopDirectory,
    csidlAppData,
    csidlPrintHood,
    csidlLocalAppData,
    csidlAltStartup,
    csidlCommonAltStartup,
    csidlCommonFavorites,
    csidlInternetCache,
    csidlCookies,
    csidlHistory,
    csidlCommonAppData,
    csidlWindows,
    csidlSystem,
    csidlProgramFiles,
    csidlMyPictures,
    csidlProfile,
    csidlSystemX86,
    csidlProgramFilesX86,
    csidlProgramFilesCommon,
    csidlProgramFilesCommonX86,
    csidlCommonTemplates,
    csidlCommonDocuments,
    csidlCommonAdminTools,
    csidlAdminTools,
    csidlConnections,
    csidlNone
};

enum class TNVFriendlyNameFlags { nvfnNormal, nvfnInFolder, nvfnForParsing };
enum class TNVShellIconSize { nvsizSmall, nvsizLarge };

struct TNVModuleVersion {
    uint32_t VersionLS = 0; // build (high word), revision (low word)
    uint32_t VersionMS = 0; // major (high word), minor (low word)
};

// ---- Start and end of the unit (counted: only the first start and the last end act). ----
// Reads the platform version and the common-controls version, fetches the shell allocator and
// initialises COM for the calling thread; the end frees the device-change handler and ends COM.
void NVShellUtilsStart();
void NVShellUtilsEnd();

// ---- Platform version ----
bool IsWin95();
bool IsOSR2OrGreater();
bool IsWinNT();
bool IsWin2000();
bool HasWin95Shell();
bool GetModuleVersion(const std::string& FileName, TNVModuleVersion& Version);
// The version of comctl32.dll read at start (zero when it could not be read).
TNVModuleVersion ComCtlVersion();

// ---- Shell allocator ----
IMalloc* ShellIMalloc(); // not add-referenced
void* ShellMemAlloc(SIZE_T Size);
void* ShellMemRealloc(void* P, SIZE_T Size); // nullptr for a null P
void ShellMemFree(void* P);                  // null is ignored

// Frees an ID list through the shell allocator when it goes out of scope.
class TNVIdListHolder {
public:
    TNVIdListHolder() = default;
    explicit TNVIdListHolder(LPITEMIDLIST Owned) : FList(Owned) {}
    TNVIdListHolder(const TNVIdListHolder&) = delete;
    TNVIdListHolder& operator=(const TNVIdListHolder&) = delete;
    TNVIdListHolder(TNVIdListHolder&& O) noexcept : FList(O.Detach()) {}
    TNVIdListHolder& operator=(TNVIdListHolder&& O) noexcept {
        Reset(O.Detach());
        return *this;
    }
    ~TNVIdListHolder() { Reset(); }
    LPITEMIDLIST Get() const { return FList; }
    LPITEMIDLIST* Put() {
        Reset();
        return &FList;
    }
    void Reset(LPITEMIDLIST L = nullptr) {
        if (FList != L)
            ShellMemFree(FList);
        FList = L;
    }
    LPITEMIDLIST Detach() {
        LPITEMIDLIST L = FList;
        FList = nullptr;
        return L;
    }

private:
    LPITEMIDLIST FList = nullptr;
};

// ---- Item ID lists ----
// 0 for null; else the items' bytes plus the two-byte terminator.
uint32_t IdListLen(LPCITEMIDLIST L);
// True for a null list or just the terminator (the desktop).
bool IdListIsEmpty(LPCITEMIDLIST L);
// Memory from Malloc when given, else the shell allocator; nullptr when allocation fails.
LPITEMIDLIST CopyIdList(IMalloc* Malloc, LPCITEMIDLIST L);
LPITEMIDLIST ConcatIdLists(IMalloc* Malloc, LPCITEMIDLIST A, LPCITEMIDLIST B);
// 0 equal; -1 when one side is null or empty and the other not; else the desktop's comparison;
// 0x7FFFFFFF when the lists cannot be compared. Callers test for 0 only.
int CompareAbsIdLists(LPCITEMIDLIST A, LPCITEMIDLIST B);
constexpr int NVNotComparable = 0x7FFFFFFF;

// A view of one absolute ID list as a chain of ancestors. The viewed list is not owned and must
// outlive the array; GetItem and GoUp answer lists that belong to the array and stay valid until
// the next such call or the array's end: callers copy what they keep.
class TNVIdListArray : public TObject {
    ZEL_DECLARE_CLASS(TNVIdListArray)
public:
    explicit TNVIdListArray(LPCITEMIDLIST L) : FList(L) {}
    ~TNVIdListArray() override;
    int GetCount() const;
    LPITEMIDLIST GetItem(int Index);
    LPITEMIDLIST GoUp(int Levels);

private:
    void SetResult(LPITEMIDLIST L);
    LPCITEMIDLIST FList;
    LPITEMIDLIST FResult = nullptr;
};

// ---- Paths, folders, names ----
HRESULT ShellGetDesktopFolder(TComPtr<IShellFolder>& Folder);
HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST IdList, TComPtr<IShellFolder>& Folder);
HRESULT ShellGetIdListFromPath(const std::string& Path, LPITEMIDLIST& IdList);
std::string ShellGetPathFromIdList(LPCITEMIDLIST IdList);
std::string ShellGetDisplayPathName(const std::string& Path);
HRESULT ShellGetSpecialFolderIdList(HWND Owner, TCSIDL Csidl, LPITEMIDLIST& IdList);
std::string ShellGetSpecialFolderPath(HWND Owner, TCSIDL Csidl);
TCSIDL ShellFindCSIDLFromIdList(LPCITEMIDLIST IdList);
// A null Folder means the desktop folder.
std::string ShellGetFriendlyNameFromIdList(IShellFolder* Folder, LPCITEMIDLIST IdList,
                                           TNVFriendlyNameFlags Flags);
std::string ShellGetFriendlyNameForLastIdListElement(LPCITEMIDLIST IdList);
std::string StrretToString(LPCITEMIDLIST IdList, const STRRET& StrRet);
void StrretFree(STRRET& StrRet);
// Binds the parent folder of an absolute list; ParentList (may be null for the desktop's children)
// and RelList are new lists for the caller. The desktop itself is taken from its file-system path.
HRESULT ShellBindToParent(LPCITEMIDLIST AbsList, TComPtr<IShellFolder>& Parent, LPITEMIDLIST& ParentList,
                          LPITEMIDLIST& RelList);

// ---- Icons and image lists ----
int ShellGetIconIndex(LPCITEMIDLIST IdList, UINT Flags);
int ShellGetIconIndexFromPath(const std::string& Path, UINT Flags);
int ShellGetIconIndexFromExt(const std::string& Ext, UINT Flags);
int ShellGetSpecialFolderIconIndex(TCSIDL Csidl, UINT Flags);
HIMAGELIST ShellGetSystemImageList(TNVShellIconSize Size);

// ---- Shortcuts ----
enum TLinkDataOption : uint8_t {
    ldoUseDesc = 1,
    ldoUseArgs = 2,
    ldoUseIcon = 4,
    ldoUseWorkDir = 8,
    ldoUseHotKey = 16,
    ldoUseShowCmd = 32
};
using TLinkDataOptions = uint8_t;

struct TLinkData {
    std::string Path;
    TLinkDataOptions Options = 0;
    std::string Description;
    std::string Arguments;
    std::string IconLocation;
    int32_t IconIndex = 0;
    std::string WorkingDirectory;
    int32_t ShowCmd = 0;
    uint16_t HotKey = 0;
    uint8_t NoUI = 0;
    LPITEMIDLIST IdList = nullptr; // owned by the caller after ResolveShortcut
    WIN32_FIND_DATAA FindData{};
};

HRESULT CreateShortcut(const std::string& LinkFileName, const TLinkData& LinkData);
HRESULT CreateQuickShortcut(const std::string& LinkFileName, const std::string& Target);
HRESULT ResolveShortcut(const std::string& LinkFileName, TLinkData& LinkData, bool WantIdList);

// ---- File type to class identifier ----
bool NVClsidFromFileType(const std::string& Ext, CLSID& Clsid);

// ---- Drive-information cache ----
void FlushDriveInfoCache();
void LockFlushDriveInfoCache();
void UnlockFlushDriveInfoCache();

// ---- Double-byte-aware strings ----
std::string EnsureTrailingCharDB(const std::string& S, char Ch);
std::string TrimRightDB(const std::string& S);
// Index counts from 1.
void CopyCharDB(int& Index, const std::string& S, std::string& Dest);
void ParametizeCmdLineDB(const std::string& CmdLine, TStrings* Params);
// Fills "%1", "%2", ... through the platform's message formatter; at most 50 strings.
std::string FormatStrPos(const std::string& Format, const std::vector<std::string>& Args);

// ---- Lists of (ID list, object) pairs ----
enum class TNVPidlDuplicates { dupIgnore, dupAccept, dupError };

class TNVPidlList : public TObject {
    ZEL_DECLARE_CLASS(TNVPidlList)
public:
    TNVPidlList() = default;
    ~TNVPidlList() override;
    int Add(LPITEMIDLIST IdList) { return AddObject(IdList, nullptr); }
    // Stores the pointer, not a copy. Sorted: raises "TNVPidlList: Duplicate PIDL" for an equal
    // list in the error mode, answers the equal entry's index in the ignore mode.
    int AddObject(LPITEMIDLIST IdList, void* Object);
    void Insert(int Index, LPITEMIDLIST IdList) { InsertObject(Index, IdList, nullptr); }
    void InsertObject(int Index, LPITEMIDLIST IdList, void* Object);
    int IndexOf(LPCITEMIDLIST IdList) const;
    void Delete(int Index);
    void Clear();
    void Sort();
    int Count() const { return static_cast<int>(FPairs.size()); }
    int Capacity() const { return static_cast<int>(FPairs.capacity()); }
    void SetCapacity(int Value);
    LPITEMIDLIST PIDLs(int Index) const { return FPairs.at(static_cast<size_t>(Index)).IdList; }
    void SetPIDLs(int Index, LPITEMIDLIST Value) { FPairs.at(static_cast<size_t>(Index)).IdList = Value; }
    void* Objects(int Index) const { return FPairs.at(static_cast<size_t>(Index)).Object; }
    void SetObjects(int Index, void* Value) { FPairs.at(static_cast<size_t>(Index)).Object = Value; }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // When set, comparisons are made by this folder (not held).
    IShellFolder* ShellFolder = nullptr;
    // When set, the list owns its ID lists and frees them through it.
    IMalloc* Malloc = nullptr;
    TNVPidlDuplicates Duplicates = TNVPidlDuplicates::dupError;

private:
    struct TPair {
        LPITEMIDLIST IdList;
        void* Object;
    };
    int Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const;
    bool Find(LPCITEMIDLIST Key, int& Index) const;
    std::vector<TPair> FPairs;
    bool FSorted = false;
};

// ---- Device changes ----
// Called after a WM_DEVICECHANGE broadcast has returned, with the message renumbered 0x0464.
using TNVDeviceChangeEvent = std::function<void(TObject* Sender, const TMessage& Message)>;
constexpr UINT NVDeviceChangeMessage = WM_APP + 100;

class TNVDeviceChangeHandler : public TObject {
    ZEL_DECLARE_CLASS(TNVDeviceChangeHandler)
public:
    TNVDeviceChangeHandler();
    ~TNVDeviceChangeHandler() override;
    // Key tells registrations apart (the owning control); the same key may be added twice.
    void Add(const void* Key, TNVDeviceChangeEvent Handler);
    // Removes the first registration under Key; nothing when there is none.
    void Remove(const void* Key);
    bool Enabled = true;
    HWND Handle() const { return FWnd; }

private:
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FWnd = nullptr;
    std::vector<std::pair<const void*, TNVDeviceChangeEvent>> FHandlers;
};
// The single handler of the process, created on first call (freed by NVShellUtilsEnd).
TNVDeviceChangeHandler* NVDeviceChangeHandler();
// The handler when it exists, else null (for controls that go after the unit ended).
TNVDeviceChangeHandler* NVExistingDeviceChangeHandler();
