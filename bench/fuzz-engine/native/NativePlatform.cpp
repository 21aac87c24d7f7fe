// The platform functions of include/windows.h for the engine's native build. Each does the work
// the engine relies on with Linux calls; what has no counterpart here (windows, the registry,
// starting programs, the shell) fails the way the platform fails without it, and the engine
// already handles each such failure.
//
// Paths: the engine builds Windows paths ("Z:\folder\file.cfg", "folder\file"). A drive letter
// is dropped and backslashes become slashes, as drive Z: is the root under the emulator the
// other builds run in; the engine's direct fopen calls go through the same mapping (the build
// links them to __wrap_fopen below).
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fnmatch.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

namespace {

constexpr DWORD kErrorInvalidFlags = 1004;
constexpr DWORD kErrorEnvVarNotFound = 203;
constexpr DWORD kErrorTooManyPosts = 298;
constexpr DWORD kErrorInvalidWindowHandle = 1400;
constexpr DWORD kErrorClassDoesNotExist = 1411;
constexpr DWORD kErrorGenFailure = 31;
constexpr DWORD kErrorDirNotEmpty = 145;
constexpr DWORD kErrorMessageNotFound = 317;

thread_local DWORD lastError = 0;

DWORD fail(DWORD code) {
    lastError = code;
    return code;
}

DWORD errorOfErrno(int e) {
    switch (e) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return kErrorDirNotEmpty;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
    case ENAMETOOLONG:
        return ERROR_INVALID_PARAMETER;
    default:
        return kErrorGenFailure;
    }
}

BOOL failErrno() {
    fail(errorOfErrno(errno));
    return FALSE;
}

std::string nativePath(const char* path) {
    std::string p = path ? path : "";
    if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')))
        p.erase(0, 2);
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

std::string windowsPath(const std::string& native) {
    std::string p = native;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p.size() && p[0] == '\\' ? "Z:" + p : p;
}

// Copies text and its terminating zero into a caller's buffer of size bytes: the length
// without the zero when it fits, else the size needed with the zero (the platform's rule for
// path and environment getters).
DWORD copyOut(const std::string& text, char* buffer, DWORD size) {
    if (!buffer || text.size() + 1 > size)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

// Copies for the locale getters: the length with the zero, 0 and a too-small-buffer error
// when it does not fit, and the size needed for a size of 0.
int copyLocaleOut(const std::string& text, char* buffer, int size) {
    const int needed = static_cast<int>(text.size() + 1);
    if (size == 0)
        return needed;
    if (!buffer || size < needed) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return needed;
}

// ---- handles: every object the layer hands out, so that a stale or foreign handle fails ----

struct NativeObject {
    virtual ~NativeObject() = default;
};

std::mutex handleLock;
std::set<NativeObject*>& liveHandles() {
    static std::set<NativeObject*> handles;
    return handles;
}

HANDLE publish(NativeObject* object) {
    std::lock_guard<std::mutex> hold(handleLock);
    liveHandles().insert(object);
    return object;
}

template <class T> T* lookup(HANDLE h) {
    std::lock_guard<std::mutex> hold(handleLock);
    auto* o = static_cast<NativeObject*>(h);
    if (!h || h == INVALID_HANDLE_VALUE || !liveHandles().count(o))
        return nullptr;
    return dynamic_cast<T*>(o);
}

struct FileObject : NativeObject {
    int fd = -1;
    ~FileObject() override {
        if (fd >= 0)
            ::close(fd);
    }
};

struct FindObject : NativeObject {
    std::string folder;
    std::string pattern;
    DIR* dir = nullptr;
    ~FindObject() override {
        if (dir)
            ::closedir(dir);
    }
};

// Named semaphores are objects of this process only: the engine uses them to keep its own
// threads apart.
struct Semaphore {
    std::mutex lock;
    std::condition_variable changed;
    LONG count = 0;
    LONG maximum = 0;
};

struct SemaphoreObject : NativeObject {
    std::shared_ptr<Semaphore> semaphore;
};

std::mutex namedLock;
std::map<std::string, std::weak_ptr<Semaphore>>& namedSemaphores() {
    static std::map<std::string, std::weak_ptr<Semaphore>> named;
    return named;
}

// ---- time ----

constexpr int64_t kTicksPerSecond = 10000000;
// Days from 1 January 1601 (the file time's day 0) to 1 January 1970.
constexpr int64_t kDaysFrom1601To1970 = 134774;

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468; // days since 1970-01-01
}

void civilFromDays(int64_t z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

bool validSystemTime(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= daysInMonth(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

uint64_t ticksOf(const FILETIME& f) {
    return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

FILETIME fileTimeOf(uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

FILETIME fileTimeOfUnix(const struct timespec& ts) {
    const int64_t ticks =
        (static_cast<int64_t>(ts.tv_sec) + kDaysFrom1601To1970 * 86400) * kTicksPerSecond + ts.tv_nsec / 100;
    return fileTimeOf(static_cast<uint64_t>(ticks < 0 ? 0 : ticks));
}

// ---- code page 1252 ----

unsigned char upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: // s caron
        return 0x8A;
    case 0x9C: // oe
        return 0x8C;
    case 0x9E: // z caron
        return 0x8E;
    case 0xFF: // y diaeresis
        return 0x9F;
    default:
        return c;
    }
}

unsigned char lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

int compareBytes(const char* a, size_t aLength, const char* b, size_t bLength, bool ignoreCase) {
    const size_t n = aLength < bLength ? aLength : bLength;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (ignoreCase) {
            x = upper1252(x);
            y = upper1252(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

// ---- date and time pictures (English names, the locale the tests run in) ----

const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string number(int value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", digits, value);
    return buf;
}

int dayOfWeek(const SYSTEMTIME& t) {
    // 1 January 1970 was a Thursday.
    const int64_t days = daysFromCivil(t.wYear, t.wMonth, t.wDay);
    return static_cast<int>(((days % 7) + 11) % 7);
}

// Expands a picture: letters in `pictures` repeat to give a field, text in single quotes is
// literal ('' a quote), everything else is copied.
template <class Field> std::string expandPicture(const char* format, const char* pictures, Field field) {
    std::string out;
    for (const char* p = format; *p;) {
        if (*p == '\'') {
            ++p;
            while (*p) {
                if (*p == '\'') {
                    if (p[1] == '\'') {
                        out += '\'';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                out += *p++;
            }
            continue;
        }
        if (std::strchr(pictures, *p)) {
            const char c = *p;
            int run = 0;
            while (*p == c) {
                ++run;
                ++p;
            }
            out += field(c, run);
            continue;
        }
        out += *p++;
    }
    return out;
}

std::string dateText(const SYSTEMTIME& t, const char* format) {
    return expandPicture(format, "dMyg", [&t](char c, int run) -> std::string {
        switch (c) {
        case 'd':
            if (run >= 4)
                return kDayNames[dayOfWeek(t)];
            if (run == 3)
                return std::string(kDayNames[dayOfWeek(t)]).substr(0, 3);
            return number(t.wDay, run);
        case 'M':
            if (run >= 4)
                return kMonthNames[t.wMonth - 1];
            if (run == 3)
                return std::string(kMonthNames[t.wMonth - 1]).substr(0, 3);
            return number(t.wMonth, run);
        case 'y':
            if (run >= 3)
                return number(t.wYear, 4);
            return number(t.wYear % 100, run);
        default: // g: the era
            return "A.D.";
        }
    });
}

std::string timeText(const SYSTEMTIME& t, const char* format) {
    return expandPicture(format, "hHmst", [&t](char c, int run) -> std::string {
        const int digits = run >= 2 ? 2 : 1;
        switch (c) {
        case 'h':
            return number(t.wHour % 12 == 0 ? 12 : t.wHour % 12, digits);
        case 'H':
            return number(t.wHour, digits);
        case 'm':
            return number(t.wMinute, digits);
        case 's':
            return number(t.wSecond, digits);
        default: // t: the AM/PM marker
            return std::string(t.wHour < 12 ? "AM" : "PM").substr(0, run >= 2 ? 2 : 1);
        }
    });
}

std::string localeValue(LCTYPE type, bool& known) {
    known = true;
    switch (type & 0xFFFF) {
    case LOCALE_SDATE:
        return "/";
    case LOCALE_STIME:
        return ":";
    case LOCALE_SSHORTDATE:
        return "M/d/yyyy";
    case LOCALE_SLONGDATE:
        return "dddd, MMMM d, yyyy";
    case LOCALE_STIMEFORMAT:
        return "h:mm:ss tt";
    default:
        known = false;
        return "";
    }
}

} // namespace

// ---- errors ----

DWORD GetLastError() {
    return lastError;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*) {
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM)) {
        fail(kErrorInvalidFlags);
        return 0;
    }
    static const std::map<DWORD, const char*> texts = {
        {ERROR_SUCCESS, "The operation completed successfully."},
        {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
        {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
        {ERROR_ACCESS_DENIED, "Access is denied."},
        {ERROR_INVALID_HANDLE, "The handle is invalid."},
        {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
        {kErrorGenFailure, "A device attached to the system is not functioning."},
        {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
        {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
        {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
        {kErrorDirNotEmpty, "The directory is not empty."},
        {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    };
    const auto found = texts.find(messageId);
    if (found == texts.end()) {
        fail(kErrorMessageNotFound);
        return 0;
    }
    const std::string text = std::string(found->second) + "\r\n";
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        char* made = static_cast<char*>(std::malloc(text.size() + 1));
        if (!made) {
            fail(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(made, text.c_str(), text.size() + 1);
        *reinterpret_cast<char**>(buffer) = made;
        return static_cast<DWORD>(text.size());
    }
    if (!buffer || size < text.size() + 1) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

// ---- time ----

void GetLocalTime(SYSTEMTIME* time) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* file) {
    if (!time || !file || !validSystemTime(*time)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t days = daysFromCivil(time->wYear, time->wMonth, time->wDay) + kDaysFrom1601To1970;
    const int64_t seconds = days * 86400 + time->wHour * 3600 + time->wMinute * 60 + time->wSecond;
    *file = fileTimeOf(static_cast<uint64_t>(seconds * kTicksPerSecond + time->wMilliseconds * 10000));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* file, SYSTEMTIME* time) {
    if (!file || !time || ticksOf(*file) > 0x7FFFFFFFFFFFFFFFull) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t ticks = ticksOf(*file);
    const int64_t seconds = static_cast<int64_t>(ticks / kTicksPerSecond);
    const int64_t days = seconds / 86400;
    int y;
    unsigned m, d;
    civilFromDays(days - kDaysFrom1601To1970, y, m, d);
    time->wYear = static_cast<WORD>(y);
    time->wMonth = static_cast<WORD>(m);
    time->wDay = static_cast<WORD>(d);
    time->wDayOfWeek = static_cast<WORD>((days + 1) % 7); // 1 January 1601 was a Monday
    const int64_t rest = seconds % 86400;
    time->wHour = static_cast<WORD>(rest / 3600);
    time->wMinute = static_cast<WORD>(rest / 60 % 60);
    time->wSecond = static_cast<WORD>(rest % 60);
    time->wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    if (!utc || !local) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t ticks = ticksOf(*utc);
    const time_t unixSeconds =
        static_cast<time_t>(static_cast<int64_t>(ticks / kTicksPerSecond) - kDaysFrom1601To1970 * 86400);
    struct tm parts;
    if (!localtime_r(&unixSeconds, &parts)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t shifted =
        static_cast<int64_t>(ticks) + static_cast<int64_t>(parts.tm_gmtoff) * kTicksPerSecond;
    *local = fileTimeOf(static_cast<uint64_t>(shifted < 0 ? 0 : shifted));
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* file, WORD* date, WORD* time) {
    SYSTEMTIME t;
    if (!FileTimeToSystemTime(file, &t))
        return FALSE;
    if (t.wYear < 1980 || t.wYear > 2107) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *date = static_cast<WORD>(((t.wYear - 1980) << 9) | (t.wMonth << 5) | t.wDay);
    *time = static_cast<WORD>((t.wHour << 11) | (t.wMinute << 5) | (t.wSecond / 2));
    return TRUE;
}

// ---- locale ----

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    if (!text)
        return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = static_cast<char>(upper1252(static_cast<unsigned char>(text[i])));
    return length;
}

DWORD CharLowerBuffA(LPSTR text, DWORD length) {
    if (!text)
        return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = static_cast<char>(lower1252(static_cast<unsigned char>(text[i])));
    return length;
}

int CompareStringA(LCID, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength) {
    if (!a || !b) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t an = aLength < 0 ? std::strlen(a) : static_cast<size_t>(aLength);
    const size_t bn = bLength < 0 ? std::strlen(b) : static_cast<size_t>(bLength);
    return compareBytes(a, an, b, bn, (flags & NORM_IGNORECASE) != 0) + CSTR_EQUAL;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
    a = a ? a : "";
    b = b ? b : "";
    return compareBytes(a, std::strlen(a), b, std::strlen(b), true);
}

int GetLocaleInfoA(LCID, LCTYPE type, LPSTR buffer, int size) {
    bool known = false;
    const std::string value = localeValue(type, known);
    if (!known) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return copyLocaleOut(value, buffer, size);
}

int GetDateFormatA(LCID, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR buffer, int size) {
    SYSTEMTIME t;
    if (time)
        t = *time;
    else
        GetLocalTime(&t);
    if (!validSystemTime(t) || size < 0) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (format && flags) {
        fail(kErrorInvalidFlags);
        return 0;
    }
    bool known = false;
    const std::string picture =
        format ? std::string(format)
               : localeValue((flags & DATE_LONGDATE) ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE, known);
    return copyLocaleOut(dateText(t, picture.c_str()), buffer, size);
}

int GetTimeFormatA(LCID, DWORD, const SYSTEMTIME* time, LPCSTR format, LPSTR buffer, int size) {
    SYSTEMTIME t;
    if (time)
        t = *time;
    else
        GetLocalTime(&t);
    if (!validSystemTime(t) || size < 0) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool known = false;
    const std::string picture = format ? std::string(format) : localeValue(LOCALE_STIMEFORMAT, known);
    return copyLocaleOut(timeText(t, picture.c_str()), buffer, size);
}

// ---- files ----

namespace {

DWORD attributesOf(const struct stat& st) {
    DWORD a = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR))
        a |= FILE_ATTRIBUTE_READONLY;
    return a;
}

void fillAttributeData(const struct stat& st, WIN32_FILE_ATTRIBUTE_DATA& data) {
    data.dwFileAttributes = attributesOf(st);
    data.ftCreationTime = fileTimeOfUnix(st.st_ctim);
    data.ftLastAccessTime = fileTimeOfUnix(st.st_atim);
    data.ftLastWriteTime = fileTimeOfUnix(st.st_mtim);
    const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
}

bool hasWildcards(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Names match without regard to case, as the platform's file names do.
bool nameMatches(const std::string& pattern, const char* name) {
    return fnmatch(pattern.c_str(), name, FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

bool nextMatch(FindObject& find, WIN32_FIND_DATAA& data) {
    while (struct dirent* entry = ::readdir(find.dir)) {
        if (!nameMatches(find.pattern, entry->d_name))
            continue;
        struct stat st;
        const std::string full = find.folder + "/" + entry->d_name;
        if (::stat(full.c_str(), &st) != 0 || std::strlen(entry->d_name) >= MAX_PATH)
            continue;
        WIN32_FILE_ATTRIBUTE_DATA a;
        fillAttributeData(st, a);
        data.dwFileAttributes = a.dwFileAttributes;
        data.ftCreationTime = a.ftCreationTime;
        data.ftLastAccessTime = a.ftLastAccessTime;
        data.ftLastWriteTime = a.ftLastWriteTime;
        data.nFileSizeHigh = a.nFileSizeHigh;
        data.nFileSizeLow = a.nFileSizeLow;
        std::strcpy(data.cFileName, entry->d_name);
        return true;
    }
    return false;
}

} // namespace

DWORD GetFileAttributesA(LPCSTR path) {
    struct stat st;
    if (!path || ::stat(nativePath(path).c_str(), &st) != 0) {
        fail(path ? errorOfErrno(errno) : ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributesOf(st);
}

BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, void* data) {
    struct stat st;
    if (!path || !data || level != GetFileExInfoStandard) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (::stat(nativePath(path).c_str(), &st) != 0)
        return failErrno();
    fillAttributeData(st, *static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(data));
    return TRUE;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD, HANDLE) {
    if (!path || !*path) {
        fail(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const bool reads = access & GENERIC_READ;
    const bool writes = access & (GENERIC_WRITE | FILE_APPEND_DATA);
    int flags = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if ((access & FILE_APPEND_DATA) && !(access & GENERIC_WRITE))
        flags |= O_APPEND;
    switch (disposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(nativePath(path).c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        failErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto* file = new FileObject;
    file->fd = fd;
    return publish(file);
}

BOOL WriteFile(HANDLE h, LPCVOID data, DWORD size, DWORD* written, void*) {
    FileObject* file = lookup<FileObject>(h);
    if (written)
        *written = 0;
    if (!file) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const char* p = static_cast<const char*>(data);
    DWORD done = 0;
    while (done < size) {
        const ssize_t n = ::write(file->fd, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failErrno();
        }
        done += static_cast<DWORD>(n);
        if (written)
            *written = done;
    }
    return TRUE;
}

BOOL ReadFile(HANDLE h, LPVOID data, DWORD size, DWORD* read, void*) {
    FileObject* file = lookup<FileObject>(h);
    if (read)
        *read = 0;
    if (!file) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ssize_t n;
    do
        n = ::read(file->fd, data, size);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return failErrno();
    if (read)
        *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE h, LARGE_INTEGER distance, LARGE_INTEGER* position, DWORD method) {
    FileObject* file = lookup<FileObject>(h);
    if (!file || method > FILE_END) {
        fail(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(file->fd, static_cast<off_t>(distance.QuadPart), whence);
    if (at < 0)
        return failErrno();
    if (position)
        position->QuadPart = at;
    return TRUE;
}

BOOL SetEndOfFile(HANDLE h) {
    FileObject* file = lookup<FileObject>(h);
    if (!file) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const off_t at = ::lseek(file->fd, 0, SEEK_CUR);
    return at >= 0 && ::ftruncate(file->fd, at) == 0 ? TRUE : failErrno();
}

BOOL GetFileTime(HANDLE h, FILETIME* created, FILETIME* accessed, FILETIME* written) {
    FileObject* file = lookup<FileObject>(h);
    struct stat st;
    if (!file) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (::fstat(file->fd, &st) != 0)
        return failErrno();
    if (created)
        *created = fileTimeOfUnix(st.st_ctim);
    if (accessed)
        *accessed = fileTimeOfUnix(st.st_atim);
    if (written)
        *written = fileTimeOfUnix(st.st_mtim);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
    struct stat st;
    const std::string p = nativePath(path);
    if (::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::unlink(p.c_str()) == 0 ? TRUE : failErrno();
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    const std::string a = nativePath(from), b = nativePath(to);
    struct stat st;
    if (::stat(a.c_str(), &st) != 0)
        return failErrno();
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && ::lstat(b.c_str(), &st) == 0) {
        fail(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    return ::rename(a.c_str(), b.c_str()) == 0 ? TRUE : failErrno();
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) {
    return MoveFileExA(from, to, 0);
}

BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES*) {
    return ::mkdir(nativePath(path).c_str(), 0777) == 0 ? TRUE : failErrno();
}

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
    const std::string p = nativePath(pattern);
    const size_t slash = p.rfind('/');
    auto find = std::make_unique<FindObject>();
    find->folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : p.substr(0, slash));
    find->pattern = slash == std::string::npos ? p : p.substr(slash + 1);
    if (find->pattern.empty() || !data || hasWildcards(find->folder)) {
        fail(find->pattern.empty() ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    find->dir = ::opendir(find->folder.c_str());
    if (!find->dir) {
        fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : errorOfErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (!nextMatch(*find, *data)) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return publish(find.release());
}

BOOL FindClose(HANDLE h) {
    if (!lookup<FindObject>(h)) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(h);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::vector<char> buf(4096);
    if (!::getcwd(buf.data(), buf.size())) {
        failErrno();
        return 0;
    }
    return copyOut(windowsPath(buf.data()), buffer, size);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
    return ::chdir(nativePath(path).c_str()) == 0 ? TRUE : failErrno();
}

DWORD GetFullPathNameA(LPCSTR path, DWORD size, LPSTR buffer, LPSTR* filePart) {
    if (!path || !*path) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string p = nativePath(path);
    if (p.empty() || p[0] != '/') {
        std::vector<char> cwd(4096);
        if (!::getcwd(cwd.data(), cwd.size())) {
            failErrno();
            return 0;
        }
        p = std::string(cwd.data()) + "/" + p;
    }
    // Dots resolve by name, as the platform resolves them, without looking at the disk.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos)
            end = p.size();
        const std::string part = p.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const std::string& part : parts)
        full += "/" + part;
    if (!p.empty() && p.back() == '/' && !full.empty())
        full += "/";
    const std::string result = windowsPath(full.empty() ? "/" : full);
    const DWORD n = copyOut(result, buffer, size);
    if (filePart && buffer && n < size) {
        const size_t last = result.rfind('\\');
        *filePart = last == std::string::npos || last + 1 == result.size() ? nullptr : buffer + last + 1;
    }
    return n;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return copyOut(windowsPath(folder), buffer, size);
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
    const char* value = name ? std::getenv(name) : nullptr;
    if (!value) {
        fail(kErrorEnvVarNotFound);
        return 0;
    }
    return copyOut(value, buffer, size);
}

// ---- modules, processes, synchronisation ----

namespace {
// The one module of the native build: the program itself, the engine linked into it.
char theModule;
} // namespace

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    std::vector<char> buf(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        failErrno();
        return 0;
    }
    buf[static_cast<size_t>(n)] = 0;
    const std::string path = windowsPath(buf.data());
    if (!buffer || size == 0) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() + 1 > size) {
        // Cut to fit, as the platform does, and said so.
        std::memcpy(buffer, path.c_str(), size - 1);
        buffer[size - 1] = 0;
        fail(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL GetModuleHandleExA(DWORD, LPCSTR, HMODULE* module) {
    if (!module) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = reinterpret_cast<HMODULE>(&theModule);
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(::gettid());
}

HANDLE CreateSemaphoreA(SECURITY_ATTRIBUTES*, LONG initial, LONG maximum, LPCSTR name) {
    if (maximum <= 0 || initial < 0 || initial > maximum) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* object = new SemaphoreObject;
    std::lock_guard<std::mutex> hold(namedLock);
    if (name && *name) {
        std::weak_ptr<Semaphore>& slot = namedSemaphores()[name];
        object->semaphore = slot.lock();
        if (object->semaphore) {
            lastError = ERROR_ALREADY_EXISTS;
            return publish(object);
        }
    }
    object->semaphore = std::make_shared<Semaphore>();
    object->semaphore->count = initial;
    object->semaphore->maximum = maximum;
    if (name && *name)
        namedSemaphores()[name] = object->semaphore;
    lastError = ERROR_SUCCESS;
    return publish(object);
}

BOOL ReleaseSemaphore(HANDLE h, LONG count, LONG* previous) {
    SemaphoreObject* object = lookup<SemaphoreObject>(h);
    if (!object || count <= 0) {
        fail(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Semaphore& s = *object->semaphore;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        if (count > s.maximum - s.count) {
            fail(kErrorTooManyPosts);
            return FALSE;
        }
        if (previous)
            *previous = s.count;
        s.count += count;
    }
    s.changed.notify_all();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds) {
    SemaphoreObject* object = lookup<SemaphoreObject>(h);
    if (!object) {
        fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::shared_ptr<Semaphore> s = object->semaphore;
    std::unique_lock<std::mutex> hold(s->lock);
    const auto ready = [&s] { return s->count > 0; };
    if (milliseconds == INFINITE)
        s->changed.wait(hold, ready);
    else if (!s->changed.wait_for(hold, std::chrono::milliseconds(milliseconds), ready))
        return WAIT_TIMEOUT;
    --s->count;
    return WAIT_OBJECT_0;
}

// The lock's word is 1 while it is held, else 0.
namespace {
std::atomic_ref<std::uintptr_t> lockWord(SRWLOCK* lock) {
    return std::atomic_ref<std::uintptr_t>(*reinterpret_cast<std::uintptr_t*>(&lock->Ptr));
}
} // namespace

void AcquireSRWLockExclusive(SRWLOCK* lock) {
    auto word = lockWord(lock);
    for (;;) {
        std::uintptr_t seen = 0;
        if (word.compare_exchange_weak(seen, 1, std::memory_order_acquire))
            return;
        if (seen)
            word.wait(seen, std::memory_order_relaxed);
    }
}

void ReleaseSRWLockExclusive(SRWLOCK* lock) {
    auto word = lockWord(lock);
    word.store(0, std::memory_order_release);
    word.notify_all();
}

BOOL CloseHandle(HANDLE h) {
    NativeObject* object = nullptr;
    {
        std::lock_guard<std::mutex> hold(handleLock);
        auto found = liveHandles().find(static_cast<NativeObject*>(h));
        if (found == liveHandles().end()) {
            fail(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = *found;
        liveHandles().erase(found);
    }
    delete object;
    return TRUE;
}

namespace {

struct MappingObject : NativeObject {
    std::shared_ptr<std::vector<unsigned char>> memory;
};

std::map<std::string, std::weak_ptr<std::vector<unsigned char>>>& namedMappings() {
    static std::map<std::string, std::weak_ptr<std::vector<unsigned char>>> named;
    return named;
}

// The views handed out, each keeping its section's memory.
std::map<const void*, std::shared_ptr<std::vector<unsigned char>>>& liveViews() {
    static std::map<const void*, std::shared_ptr<std::vector<unsigned char>>> views;
    return views;
}

// The pseudo handle of this process: no object, and never closed.
const HANDLE kThisProcess = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

} // namespace

HANDLE GetCurrentProcess() {
    return kThisProcess;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

HANDLE OpenProcess(DWORD, BOOL, DWORD) {
    fail(ERROR_INVALID_PARAMETER);
    return nullptr;
}

BOOL GetProcessTimes(HANDLE process, FILETIME* created, FILETIME* exited, FILETIME* kernel, FILETIME* user) {
    if (process != kThisProcess) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    for (FILETIME* t : {created, exited, kernel, user})
        if (t)
            *t = FILETIME{};
    return TRUE;
}

HANDLE CreateFileMappingA(HANDLE file, SECURITY_ATTRIBUTES*, DWORD, DWORD sizeHigh, DWORD sizeLow,
                          LPCSTR name) {
    if (file != INVALID_HANDLE_VALUE || sizeHigh || !sizeLow) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* object = new MappingObject;
    std::lock_guard<std::mutex> hold(namedLock);
    if (name && *name)
        object->memory = namedMappings()[name].lock();
    if (!object->memory) {
        object->memory = std::make_shared<std::vector<unsigned char>>(sizeLow);
        if (name && *name)
            namedMappings()[name] = object->memory;
    }
    lastError = ERROR_SUCCESS;
    return publish(object);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD, DWORD offsetHigh, DWORD offsetLow, std::size_t) {
    MappingObject* object = lookup<MappingObject>(mapping);
    if (!object || offsetHigh || offsetLow) {
        fail(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::lock_guard<std::mutex> hold(namedLock);
    void* view = object->memory->data();
    liveViews()[view] = object->memory;
    return view;
}

BOOL UnmapViewOfFile(LPCVOID view) {
    std::lock_guard<std::mutex> hold(namedLock);
    if (!liveViews().erase(view)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

ULONGLONG GetTickCount64() {
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count());
}

namespace {

// The characters of code page 1252 from 0x80 to 0x9F (0 where the code page has none); the rest
// of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a character in code page 1252, or -1.
int cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] && kCp1252High[i] == c)
            return 0x80 + i;
    return (c >= 0x80 && c < 0xA0 && !kCp1252High[c - 0x80]) ? static_cast<int>(c) : -1;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

int WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* wide, int wideLength, LPSTR out, int outSize,
                        LPCSTR defaultChar, BOOL* usedDefault) {
    if (!wide || wideLength < 0 || (codePage != 1252 && codePage != CP_UTF8) ||
        (codePage == CP_UTF8 && usedDefault)) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string text;
    bool lossy = false;
    for (int i = 0; i < wideLength; ++i) {
        char32_t c = static_cast<char32_t>(wide[i]) & 0xFFFF;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wideLength && (wide[i + 1] & 0xFC00) == 0xDC00)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[++i]) & 0x3FF);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (codePage == CP_UTF8) {
            appendUtf8(text, c);
            continue;
        }
        const int b = cp1252Byte(c);
        lossy = lossy || b < 0;
        text += b < 0 ? (defaultChar ? *defaultChar : '?') : static_cast<char>(b);
    }
    if (usedDefault)
        *usedDefault = lossy;
    if (outSize == 0)
        return static_cast<int>(text.size());
    if (!out || outSize < static_cast<int>(text.size())) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, text.data(), text.size());
    return static_cast<int>(text.size());
}

BOOL CreateProcessA(LPCSTR, LPSTR, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL, DWORD, LPVOID, LPCSTR,
                    STARTUPINFOA*, PROCESS_INFORMATION* process) {
    if (process)
        *process = PROCESS_INFORMATION{};
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// ---- registry: refused, as to a user without rights to it ----

namespace {
bool predefinedKey(HKEY key) {
    const auto k = reinterpret_cast<std::uintptr_t>(key);
    return k >= 0x80000000u && k <= 0x80000003u;
}
LONG refuseKey(HKEY* result) {
    if (result)
        *result = nullptr;
    return static_cast<LONG>(fail(ERROR_ACCESS_DENIED));
}
LONG noSuchKey(HKEY key) {
    return static_cast<LONG>(fail(predefinedKey(key) ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE));
}
} // namespace

LONG RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, HKEY* result) {
    return refuseKey(result);
}

LONG RegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* result, DWORD*) {
    return refuseKey(result);
}

LONG RegCloseKey(HKEY key) {
    return predefinedKey(key) ? ERROR_SUCCESS : noSuchKey(key);
}

LONG RegFlushKey(HKEY key) {
    return noSuchKey(key);
}

LONG RegDeleteKeyA(HKEY key, LPCSTR) {
    return noSuchKey(key);
}

LONG RegDeleteValueA(HKEY key, LPCSTR) {
    return noSuchKey(key);
}

LONG RegEnumKeyExA(HKEY key, DWORD, LPSTR, DWORD*, DWORD*, LPSTR, DWORD*, FILETIME*) {
    return noSuchKey(key);
}

LONG RegEnumValueA(HKEY key, DWORD, LPSTR, DWORD*, DWORD*, DWORD*, BYTE*, DWORD*) {
    return noSuchKey(key);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*,
                      FILETIME*) {
    return noSuchKey(key);
}

LONG RegQueryValueExA(HKEY key, LPCSTR, DWORD*, DWORD*, BYTE*, DWORD*) {
    return noSuchKey(key);
}

LONG RegSetValueExA(HKEY key, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) {
    return noSuchKey(key);
}

// ---- windows: there is no desktop; no class registers and no window is made ----

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR, WNDCLASSEXA*) {
    fail(kErrorClassDoesNotExist);
    return FALSE;
}

ATOM RegisterClassExA(const WNDCLASSEXA*) {
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

BOOL UnregisterClassA(LPCSTR, HINSTANCE) {
    fail(kErrorClassDoesNotExist);
    return FALSE;
}

HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) {
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

namespace {
BOOL noWindow() {
    fail(kErrorInvalidWindowHandle);
    return FALSE;
}
} // namespace

BOOL DestroyWindow(HWND) {
    return noWindow();
}
BOOL IsWindow(HWND) {
    return FALSE;
}
BOOL IsWindowVisible(HWND) {
    return FALSE;
}
BOOL ShowWindow(HWND, int) {
    return noWindow();
}
BOOL UpdateWindow(HWND) {
    return noWindow();
}
BOOL MoveWindow(HWND, int, int, int, int, BOOL) {
    return noWindow();
}
BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT) {
    return noWindow();
}
BOOL SetWindowTextA(HWND, LPCSTR) {
    return noWindow();
}
BOOL GetClientRect(HWND, RECT* rect) {
    if (rect)
        *rect = RECT{};
    return noWindow();
}
HWND GetWindow(HWND, UINT) {
    noWindow();
    return nullptr;
}
HWND GetDesktopWindow() {
    return nullptr;
}
LRESULT SendMessageA(HWND, UINT, WPARAM, LPARAM) {
    noWindow();
    return 0;
}
LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX*) {
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL GetOpenFileNameA(OPENFILENAMEA*) {
    return FALSE; // as when the dialog is cancelled
}

HINSTANCE ShellExecuteA(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, int) {
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(31)); // no program for the document
}

// A box nobody can answer fails; its text goes to the error stream so that it is not lost.
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "[box] %s: %s\n", caption ? caption : "", text ? text : "");
    fail(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

// ---- the engine's own fopen calls, with its Windows paths ----

extern "C" FILE* __real_fopen(const char* path, const char* mode);

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
    return __real_fopen(path ? nativePath(path).c_str() : nullptr, mode);
}
