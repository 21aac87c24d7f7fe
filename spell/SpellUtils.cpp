#include "spell/SpellUtils.h"

#include <shlobj.h>

#include <algorithm>

#include "framework/core/SysUtils.h"

TEventList::~TEventList() {
    while (!FObjects.empty())
        Remove(FObjects.front());
}

void TEventList::Add(TObject* Obj, TNotifyEvent Handler) {
    if (std::find(FObjects.begin(), FObjects.end(), Obj) != FObjects.end())
        return;
    FObjects.push_back(Obj);
    FHandlers.push_back(std::move(Handler));
}

void TEventList::Remove(TObject* Obj) {
    auto it = std::find(FObjects.begin(), FObjects.end(), Obj);
    if (it == FObjects.end())
        return;
    size_t i = static_cast<size_t>(it - FObjects.begin());
    FObjects.erase(it);
    FHandlers.erase(FHandlers.begin() + static_cast<ptrdiff_t>(i));
}

void TEventList::Notify(TObject* Sender) {
    // A handler may remove listeners; walk a copy.
    std::vector<TNotifyEvent> handlers = FHandlers;
    for (auto& h : handlers)
        DoEvent(h, Sender);
}

namespace {

// Truncating remainder of two's-complement values held in unsigned words. A 32-bit division:
// every word looked up in a user dictionary pays three of these per character.
uint32_t remSigned(uint32_t a, int32_t n) {
    return static_cast<uint32_t>(static_cast<int32_t>(a) % n);
}

const uint32_t kPrimes[] = {251,      509,       1021,      2039,      4093,       8191,
                            16381,    32749,     65521,     131071,    262139,     524287,
                            1048573,  2097143,   4194301,   8388593,   16777213,   33554393,
                            67108859, 134217689, 268435399, 536870909, 1073741789, 2147483647};

} // namespace

int32_t HashString(const char* s, int32_t N) {
    if (N < 2 || s == nullptr)
        return 0;
    uint32_t a = 31415, b = 27183, h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        h = remSigned(a * h + *p, N);
        if (static_cast<int32_t>(h) < 0)
            h = remSigned(0u - h, N);
        a = remSigned(a * b, N - 1);
    }
    // (-h) rem N of the most negative value stays negative; fold it into range.
    int32_t r = static_cast<int32_t>(h);
    if (r < 0)
        r = static_cast<int32_t>((static_cast<int64_t>(r) % N + N) % N);
    return r;
}

int32_t SecondaryHash(int32_t h) {
    return h % 97 + 1;
}

uint32_t GetNextPrime(uint32_t n) {
    for (uint32_t p : kPrimes)
        if (p > n)
            return p;
    return 0;
}

namespace {

bool isAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The platform's conversion of every byte by itself. With one byte to a character in the ANSI
// code page, the platform converts a word character by character, so the table converts it alike.
struct CaseTables {
    bool byByte = false;
    char lower[256] = {}, upper[256] = {};
};

const CaseTables& caseTables() {
    static const CaseTables tables = [] {
        CaseTables t;
        CPINFO info{};
        t.byByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
        for (int c = 0; c < 256 && t.byByte; ++c) {
            const std::string one(1, static_cast<char>(c));
            const std::string lower = AnsiLowerCase(one), upper = AnsiUpperCase(one);
            t.byByte = lower.size() == 1 && upper.size() == 1;
            t.lower[c] = lower[0];
            t.upper[c] = upper[0];
        }
        return t;
    }();
    return tables;
}

std::string convertByByte(const std::string& Word, const char (&table)[256]) {
    std::string r = Word;
    for (char& c : r)
        c = table[static_cast<unsigned char>(c)];
    return r;
}

} // namespace

std::string WordLowerCase(const std::string& Word) {
    if (!isAscii(Word)) {
        const CaseTables& t = caseTables();
        return t.byByte ? convertByByte(Word, t.lower) : AnsiLowerCase(Word);
    }
    std::string r = Word;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return r;
}

std::string WordUpperCase(const std::string& Word) {
    if (!isAscii(Word)) {
        const CaseTables& t = caseTables();
        return t.byByte ? convertByByte(Word, t.upper) : AnsiUpperCase(Word);
    }
    std::string r = Word;
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return r;
}

namespace {

bool unchangedByCase(const std::string& Word, bool lower) {
    if (isAscii(Word)) {
        const char from = lower ? 'A' : 'a';
        for (char c : Word)
            if (c >= from && c <= from + 25)
                return false;
        return true;
    }
    const CaseTables& t = caseTables();
    if (!t.byByte)
        return (lower ? AnsiLowerCase(Word) : AnsiUpperCase(Word)) == Word;
    const char* table = lower ? t.lower : t.upper;
    for (char c : Word)
        if (table[static_cast<unsigned char>(c)] != c)
            return false;
    return true;
}

} // namespace

bool WordIsLowerCase(const std::string& Word) {
    return unchangedByCase(Word, true);
}

bool WordIsUpperCase(const std::string& Word) {
    return unchangedByCase(Word, false);
}

std::string ReplaceString(const std::string& Find, const std::string& Replace, const std::string& Source) {
    if (Find.empty())
        return Source;
    size_t at = Source.find(Find);
    if (at == std::string::npos)
        return Source;
    std::string r = Source;
    r.replace(at, Find.size(), Replace);
    return r;
}

namespace {

std::string moduleFileName() {
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

} // namespace

std::string ExpandBasicVars(const std::string& S) {
    std::string r = S;
    std::string exe = moduleFileName();
    size_t slash = exe.find_last_of("\\/");
    std::string dir = slash == std::string::npos ? std::string() : exe.substr(0, slash);
    std::string name = slash == std::string::npos ? exe : exe.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    r = ReplaceString("%AppDir%", dir, r);
    r = ReplaceString("%AppName%", name, r);
    if (S.find("%UserName%") != std::string::npos) {
        char user[257] = {};
        DWORD size = 256;
        std::string u;
        if (GetUserNameA(user, &size))
            u = user;
        if (u.empty())
            u = "default";
        r = ReplaceString("%UserName%", u, r);
    }
    if (S.find("%AppData%") != std::string::npos)
        r = ReplaceString("%AppData%", GetSpecialFolder(CSIDL_APPDATA), r);
    if (S.find("%MyDocuments%") != std::string::npos)
        r = ReplaceString("%MyDocuments%", GetSpecialFolder(CSIDL_PERSONAL), r);
    std::vector<char> buf(4096);
    DWORD n = ExpandEnvironmentStringsA(r.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n != 0 && n <= buf.size())
        r = buf.data();
    return r;
}

std::string GetSpecialFolder(int Folder) {
    char buf[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buf, Folder, FALSE))
        return std::string();
    return AdExcludeTrailingBackslash(buf);
}

bool CanFileBeWritten(const std::string& FileName, bool DeleteOnClose) {
    if (FileName.empty())
        return false;
    DWORD attrs = GetFileAttributesA(FileName.c_str());
    bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    if (exists && (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Delete-on-close would take an existing file with it: probe only a missing one that way.
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (DeleteOnClose && !exists)
        flags |= FILE_FLAG_DELETE_ON_CLOSE;
    HANDLE h = CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, exists ? OPEN_EXISTING : CREATE_NEW,
                           flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

void ADForceDirectories(const std::string& Dir) {
    if (Dir.empty())
        return;
    DWORD attrs = GetFileAttributesA(Dir.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return;
    std::string d = AdExcludeTrailingBackslash(Dir);
    size_t slash = d.find_last_of('\\');
    if (d.size() > 2 && slash != std::string::npos) {
        std::string parent = d.substr(0, slash);
        if (parent != d && !parent.empty())
            ADForceDirectories(parent);
    }
    CreateDirectoryA(d.c_str(), nullptr);
}

std::string AdExcludeTrailingBackslash(const std::string& S) {
    if (!S.empty() && S.back() == '\\')
        return S.substr(0, S.size() - 1);
    return S;
}

std::string GetOrthosVersion() {
    return "3.2.2 Pro";
}

namespace {

RECT monitorRect(HWND wnd) {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &mi);
    return mi.rcMonitor;
}

} // namespace

void AdjustDialogPosition(HWND Form, int X, int Y) {
    if (!Form)
        return;
    RECT mon = monitorRect(Form);
    RECT wr{};
    GetWindowRect(Form, &wr);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    X = std::max<int>(X, mon.left);
    Y = std::max<int>(Y, mon.top);
    if (mon.right < X + w)
        X = mon.right - w;
    if (mon.bottom < Y + h)
        Y = mon.bottom - h;
    SetWindowPos(Form, nullptr, X, Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AdjustDialogToRect(HWND Form, const RECT& Rect, bool Horizontal, bool Vertical) {
    if (!Form)
        return;
    RECT mon = monitorRect(Form);
    RECT wr{};
    GetWindowRect(Form, &wr);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    int left = wr.left, top = wr.top;
    if (Horizontal) {
        left = Rect.left;
        if (left + w > mon.right)
            left = mon.right - w;
    }
    if (Vertical) {
        top = Rect.bottom;
        if (top + h > mon.bottom)
            top = Rect.top - h;
    }
    AdjustDialogPosition(Form, left, top);
}
