#pragma once
// The platform layer of the engine's native build (bench/fuzz-engine/native): the types, constants
// and functions the engine's sources and the framework's core take from the platform, declared
// here from what those sources use, so that the same files compile on Linux unchanged and run under
// AddressSanitizer. NativePlatform.cpp implements each function with the behaviour the engine
// relies on; what cannot exist here (windows, the registry, starting programs) answers a failure
// that the engine already handles.
//
// Sizes are those the engine sees on Windows: DWORD and LONG are 32 bits, handles are pointers.

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

using BOOL = int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using CHAR = char;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using LCID = DWORD;
using LCTYPE = DWORD;
using REGSAM = DWORD;
using ATOM = WORD;
using COLORREF = DWORD;

// Handles: distinct pointer types, as the sources overload and compare them.
using HANDLE = void*;
using HWND = struct NativeWindowTag*;
using HINSTANCE = struct NativeModuleTag*;
using HMODULE = HINSTANCE;
using HKEY = struct NativeKeyTag*;
using HFONT = struct NativeFontTag*;
using HBRUSH = struct NativeBrushTag*;
using HCURSOR = struct NativeCursorTag*;
using HICON = struct NativeIconTag*;
using HMENU = struct NativeMenuTag*;
using HGDIOBJ = void*;
using HLOCAL = void*;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(0xFFFFFFFFu))

#define LOWORD(v) (static_cast<WORD>(static_cast<std::uintptr_t>(v) & 0xFFFF))
#define HIWORD(v) (static_cast<WORD>((static_cast<std::uintptr_t>(v) >> 16) & 0xFFFF))
#define MAKEWPARAM(lo, hi)                                                                                   \
    (static_cast<WPARAM>((static_cast<DWORD>(lo) & 0xFFFF) | (static_cast<DWORD>(hi) << 16)))

// ---- errors ----
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_KEY_DELETED 1018L

DWORD GetLastError();
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     void* arguments);
HLOCAL LocalFree(HLOCAL memory);
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000

// ---- time ----
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME;

void GetLocalTime(SYSTEMTIME* time);
BOOL SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* file);
BOOL FileTimeToSystemTime(const FILETIME* file, SYSTEMTIME* time);
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL FileTimeToDosDateTime(const FILETIME* file, WORD* date, WORD* time);

// ---- locale: the program's single-byte text is code page 1252 ----
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define NORM_IGNORECASE 0x00000001
#define SORT_STRINGSORT 0x00001000
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3
#define DATE_SHORTDATE 0x00000001
#define DATE_LONGDATE 0x00000002
#define LOCALE_SDATE 0x0000001D
#define LOCALE_STIME 0x0000001E
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_STIMEFORMAT 0x00001003

DWORD CharUpperBuffA(LPSTR text, DWORD length);
DWORD CharLowerBuffA(LPSTR text, DWORD length);
int CompareStringA(LCID locale, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size);
int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR buffer, int size);
int GetTimeFormatA(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR buffer, int size);

// ---- files ----
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_APPEND_DATA 0x00000004
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define MOVEFILE_REPLACE_EXISTING 0x00000001

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];
} WIN32_FIND_DATAA;

typedef struct _WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
} WIN32_FILE_ATTRIBUTE_DATA;

enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard };

struct SECURITY_ATTRIBUTES;

DWORD GetFileAttributesA(LPCSTR path);
BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, void* data);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* written, void* overlapped);
BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, DWORD* read, void* overlapped);
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    std::int64_t QuadPart;
};
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* position, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL GetFileTime(HANDLE file, FILETIME* created, FILETIME* accessed, FILETIME* written);
BOOL DeleteFileA(LPCSTR path);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* security);
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
DWORD GetFullPathNameA(LPCSTR path, DWORD size, LPSTR buffer, LPSTR* filePart);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);

// ---- modules, processes, synchronisation ----
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STARTF_USESHOWWINDOW 0x00000001

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
BOOL GetModuleHandleExA(DWORD flags, LPCSTR name, HMODULE* module);
DWORD GetCurrentThreadId();
HANDLE CreateSemaphoreA(SECURITY_ATTRIBUTES* security, LONG initial, LONG maximum, LPCSTR name);
BOOL ReleaseSemaphore(HANDLE semaphore, LONG count, LONG* previous);
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
BOOL CloseHandle(HANDLE object);

// Processes and memory shared by name: this layer has one process, so a section is memory of
// this process and no other process can be opened.
using LONG64 = std::int64_t;
using ULONGLONG = std::uint64_t;
#define SYNCHRONIZE 0x00100000L
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#define PAGE_READWRITE 0x04
#define FILE_MAP_WRITE 0x0002
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
BOOL GetProcessTimes(HANDLE process, FILETIME* created, FILETIME* exited, FILETIME* kernel, FILETIME* user);
HANDLE CreateFileMappingA(HANDLE file, SECURITY_ATTRIBUTES* security, DWORD protect, DWORD sizeHigh,
                          DWORD sizeLow, LPCSTR name);
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, std::size_t size);
BOOL UnmapViewOfFile(LPCVOID view);
ULONGLONG GetTickCount64();
inline LONG64 InterlockedCompareExchange64(volatile LONG64* target, LONG64 exchange, LONG64 comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}
inline LONG64 InterlockedExchange64(volatile LONG64* target, LONG64 value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

// Wide text as Windows has it: UTF-16 code units (held in a wchar_t each).
#define CP_UTF8 65001
#define WC_NO_BEST_FIT_CHARS 0x00000400
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* wide, int wideLength, LPSTR out,
                        int outSize, LPCSTR defaultChar, BOOL* usedDefault);

// A slim reader/writer lock: one word, statically initialised to zero.
typedef struct _RTL_SRWLOCK {
    void* Ptr;
} SRWLOCK;
#define SRWLOCK_INIT                                                                                         \
    { nullptr }
void AcquireSRWLockExclusive(SRWLOCK* lock);
void ReleaseSRWLockExclusive(SRWLOCK* lock);

typedef struct _STARTUPINFOA {
    DWORD cb;
    DWORD dwFlags;
    WORD wShowWindow;
} STARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION;

BOOL CreateProcessA(LPCSTR application, LPSTR commandLine, SECURITY_ATTRIBUTES* processSecurity,
                    SECURITY_ATTRIBUTES* threadSecurity, BOOL inherit, DWORD flags, LPVOID environment,
                    LPCSTR folder, STARTUPINFOA* startup, PROCESS_INFORMATION* process);

// ---- registry: none here; every key refuses to open ----
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u)))
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0x00000000
#define STANDARD_RIGHTS_READ 0x00020000
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x00020019
#define KEY_WRITE 0x00020006
#define KEY_ALL_ACCESS 0x000F003F

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
LONG RegFlushKey(HKEY key);
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegDeleteValueA(HKEY key, LPCSTR name);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved, LPSTR keyClass,
                   DWORD* classLength, FILETIME* written);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved, DWORD* type,
                   BYTE* data, DWORD* dataLength);
LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength, DWORD* securityLength, FILETIME* written);
LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataLength);
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataLength);

// ---- windows: none can be made here; creation fails, as without a desktop ----
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define COLOR_BTNFACE 15
#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
#define GW_CHILD 5

#define WM_SIZE 0x0005
#define WM_CLOSE 0x0010
#define WM_COMMAND 0x0111

#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_CAPTION 0x00C00000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_TOOLWINDOW 0x00000080u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMAXIMIZED 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOACTIVATE 0x0010

HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name);
#define LoadCursor LoadCursorA
BOOL GetClassInfoExA(HINSTANCE module, LPCSTR name, WNDCLASSEXA* data);
ATOM RegisterClassExA(const WNDCLASSEXA* data);
BOOL UnregisterClassA(LPCSTR name, HINSTANCE module);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE module, LPVOID parameter);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int show);
BOOL UpdateWindow(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags);
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL GetClientRect(HWND window, RECT* rect);
HWND GetWindow(HWND window, UINT relation);
HWND GetDesktopWindow();
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- message boxes: nobody is there to answer ----
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION 0x00000040u
#define MB_SETFOREGROUND 0x00010000u
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
