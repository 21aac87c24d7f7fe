#include "framework/core/SysUtils.h"

#include "framework/core/Win.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string IntToStr(int64_t value) {
    return Format("%lld", static_cast<long long>(value));
}

std::string IntToHex(int64_t value, int digits) {
    return Format("%0*llX", digits, static_cast<unsigned long long>(value));
}

static bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool TryStrToInt64(const std::string& s, int64_t& value) {
    size_t i = 0, n = s.size();
    while (i < n && IsBlank(s[i]))
        ++i;
    while (n > i && IsBlank(s[n - 1]))
        --n;
    bool neg = false;
    if (i < n && (s[i] == '-' || s[i] == '+'))
        neg = s[i++] == '-';
    int base = 10;
    if (i < n && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t acc = 0;
    for (; i < n; ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (acc > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base))
            return false;
        acc = acc * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (base == 10) {
        if (neg ? acc > static_cast<uint64_t>(INT64_MAX) + 1 : acc > static_cast<uint64_t>(INT64_MAX))
            return false;
        value = neg ? static_cast<int64_t>(0 - acc) : static_cast<int64_t>(acc);
    } else {
        // Hex digits give the bit pattern, as "$FFFFFFFF" means -1 for a 32-bit value.
        value = neg ? -static_cast<int64_t>(acc) : static_cast<int64_t>(acc);
    }
    return true;
}

bool TryStrToInt(const std::string& s, int32_t& value) {
    int64_t v;
    if (!TryStrToInt64(s, v))
        return false;
    std::string t = Trim(s);
    bool hex = t.find('$') != std::string::npos || t.find("0x") != std::string::npos ||
               t.find("0X") != std::string::npos;
    if (hex) {
        if (v > static_cast<int64_t>(UINT32_MAX) || v < INT32_MIN)
            return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(v));
        return true;
    }
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToInt(const std::string& s) {
    int32_t v;
    if (!TryStrToInt(s, v))
        throw EConvertError(Format(SInvalidInteger, s.c_str()));
    return v;
}

int64_t StrToInt64(const std::string& s) {
    int64_t v;
    if (!TryStrToInt64(s, v))
        throw EConvertError(Format(SInvalidInteger, s.c_str()));
    return v;
}

int32_t StrToIntDef(const std::string& s, int32_t defaultValue) {
    int32_t v;
    return TryStrToInt(s, v) ? v : defaultValue;
}

std::string FloatToStr(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    std::string s = Format("%.15g", value);
    if (std::strtod(s.c_str(), nullptr) != value)
        s = Format("%.17g", value);
    return s;
}

bool TryStrToFloat(const std::string& s, double& value) {
    std::string t = Trim(s);
    if (t.empty())
        return false;
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE)
        return false;
    value = v;
    return true;
}

double StrToFloat(const std::string& s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(Format(SInvalidFloat, s.c_str()));
    return v;
}

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return r;
}

static int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int CompareStr(const std::string& a, const std::string& b) {
    return Sign(a.compare(b));
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string AnsiUpperCase(const std::string& s) {
    std::string r = s;
    if (!r.empty())
        CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string r = s;
    if (!r.empty())
        CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

static int LocaleCompare(DWORD flags, const std::string& a, const std::string& b) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()));
    return r == 0 ? 0 : r - 2;
}

int AnsiCompareStr(const std::string& a, const std::string& b) {
    return LocaleCompare(0, a, b);
}
int AnsiCompareText(const std::string& a, const std::string& b) {
    return LocaleCompare(NORM_IGNORECASE, a, b);
}
bool AnsiSameText(const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) == 0;
}
bool AnsiSameStr(const std::string& a, const std::string& b) {
    return AnsiCompareStr(a, b) == 0;
}

std::string TrimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

std::string Trim(const std::string& s) {
    return TrimLeft(TrimRight(s));
}

std::string QuotedStr(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        if (c == '\'')
            r += '\'';
        r += c;
    }
    return r + "'";
}

std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
    if (from.empty())
        return s;
    std::string r;
    size_t pos = 0;
    for (;;) {
        size_t hit = s.find(from, pos);
        if (hit == std::string::npos)
            break;
        r.append(s, pos, hit - pos);
        r += to;
        pos = hit + from.size();
    }
    r.append(s, pos, std::string::npos);
    return r;
}

static size_t LastDelimiter(const std::string& s, const char* delims) {
    size_t p = s.find_last_of(delims);
    return p == std::string::npos ? 0 : p + 1; // length of the part up to and with the delimiter
}

std::string ExtractFilePath(const std::string& fileName) {
    return fileName.substr(0, LastDelimiter(fileName, "\\/:"));
}

std::string ExtractFileDir(const std::string& fileName) {
    size_t n = LastDelimiter(fileName, "\\/:");
    // A root ("C:\") keeps its separator.
    if (n > 1 && (fileName[n - 1] == '\\' || fileName[n - 1] == '/') && fileName[n - 2] != ':' &&
        fileName[n - 2] != '\\')
        --n;
    return fileName.substr(0, n);
}

std::string ExtractFileName(const std::string& fileName) {
    return fileName.substr(LastDelimiter(fileName, "\\/:"));
}

std::string ExtractFileExt(const std::string& fileName) {
    size_t p = fileName.find_last_of(".\\/:");
    if (p == std::string::npos || fileName[p] != '.')
        return "";
    return fileName.substr(p);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    size_t p = fileName.find_last_of(".\\/:");
    if (p == std::string::npos || fileName[p] != '.')
        return fileName + ext;
    return fileName.substr(0, p) + ext;
}

std::string IncludeTrailingBackslash(const std::string& s) {
    if (!s.empty() && s.back() == '\\')
        return s;
    return s + "\\";
}

std::string ExcludeTrailingBackslash(const std::string& s) {
    if (!s.empty() && s.back() == '\\')
        return s.substr(0, s.size() - 1);
    return s;
}

std::string ExpandFileName(const std::string& fileName) {
    char buf[MAX_PATH * 2];
    char* part = nullptr;
    DWORD n = GetFullPathNameA(fileName.c_str(), sizeof buf, buf, &part);
    if (n == 0 || n >= sizeof buf)
        return fileName;
    return std::string(buf, n);
}

bool FileExists(const std::string& fileName) {
    DWORD a = GetFileAttributesA(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& dir) {
    DWORD a = GetFileAttributesA(dir.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& dir) {
    std::string d = ExcludeTrailingBackslash(dir);
    if (d.empty())
        return false;
    if (d.size() < 3 || DirectoryExists(d) || ExtractFilePath(d) == d)
        return DirectoryExists(d);
    std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !DirectoryExists(parent) && !ForceDirectories(parent))
        return false;
    return CreateDirectoryA(d.c_str(), nullptr) || DirectoryExists(d);
}

bool DeleteFile(const std::string& fileName) {
    return DeleteFileA(fileName.c_str()) != 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
}

int32_t FileAge(const std::string& fileName) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(fileName.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    FindClose(h);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return -1;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

static bool IsLeapYear(int y) {
    return (y % 4 == 0) && (y % 100 != 0 || y % 400 == 0);
}

TDateTime EncodeDate(int year, int month, int day) {
    static const int kDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                     {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        throw EConvertError("Invalid argument to date encode");
    const int* days = kDays[IsLeapYear(year) ? 1 : 0];
    if (day < 1 || day > days[month - 1])
        throw EConvertError("Invalid argument to date encode");
    for (int m = 0; m < month - 1; ++m)
        day += days[m];
    int y = year - 1;
    return static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + day - 693594);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    // Civil-from-days over the proleptic Gregorian calendar; day 0 is 1899-12-30.
    int64_t z = static_cast<int64_t>(std::floor(date)) + 693899; // days since 0000-03-01
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec) {
    double frac = std::fabs(time - std::trunc(time));
    int64_t ms = static_cast<int64_t>(std::llround(frac * 86400000.0));
    if (ms >= 86400000)
        ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

TDateTime FileDateToDateTime(int32_t fileDate) {
    uint32_t d = static_cast<uint32_t>(fileDate) >> 16, t = static_cast<uint32_t>(fileDate) & 0xFFFF;
    return EncodeDate(static_cast<int>((d >> 9) + 1980), static_cast<int>((d >> 5) & 15),
                      static_cast<int>(d & 31)) +
           EncodeTime(static_cast<int>(t >> 11), static_cast<int>((t >> 5) & 63),
                      static_cast<int>((t & 31) * 2), 0);
}

int32_t DateTimeToFileDate(TDateTime dateTime) {
    int y, m, d, h, n, s, ms;
    DecodeDate(dateTime, y, m, d);
    if (y < 1980 || y > 2107)
        return 0;
    DecodeTime(dateTime, h, n, s, ms);
    uint32_t date =
        (static_cast<uint32_t>(y - 1980) << 9) | (static_cast<uint32_t>(m) << 5) | static_cast<uint32_t>(d);
    uint32_t time =
        (static_cast<uint32_t>(h) << 11) | (static_cast<uint32_t>(n) << 5) | static_cast<uint32_t>(s / 2);
    return static_cast<int32_t>((date << 16) | time);
}

std::string SystemErrorText(uint32_t errorCode) {
    char* buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, errorCode, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    std::string s = (n && buf) ? std::string(buf, n) : std::string();
    if (buf)
        LocalFree(buf);
    // The text goes inside sentences of our own ("Cannot open file "x": Access denied."), so its
    // closing full stop and line break go.
    s = TrimRight(s);
    while (!s.empty() && s.back() == '.')
        s = TrimRight(s.substr(0, s.size() - 1));
    return s;
}

std::string SysErrorMessage(uint32_t errorCode) {
    std::string s = SystemErrorText(errorCode);
    return s.empty() ? "System error " + std::to_string(errorCode) : s;
}

std::string GetCurrentDir() {
    char buf[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return (n == 0 || n >= sizeof buf) ? std::string() : std::string(buf, n);
}

bool SetCurrentDir(const std::string& dir) {
    return SetCurrentDirectoryA(dir.c_str()) != 0;
}

static TDateTime PlatformNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDate(st.wYear, st.wMonth, st.wDay) +
           EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

static TDateTime (*g_now)() = &PlatformNow;

TDateTime Now() {
    return g_now();
}
void SetNowFunction(TDateTime (*now)()) {
    g_now = now ? now : &PlatformNow;
}

void DateTimeToSystemTime(TDateTime value, _SYSTEMTIME& st) {
    int y, m, d, h, n, s, ms;
    DecodeDate(value, y, m, d);
    DecodeTime(value, h, n, s, ms);
    st = SYSTEMTIME{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    // 30 December 1899, the day 0 of TDateTime, was a Saturday.
    st.wDayOfWeek = static_cast<WORD>(((static_cast<int64_t>(std::floor(value)) % 7) + 13) % 7);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(n);
    st.wSecond = static_cast<WORD>(s);
    st.wMilliseconds = static_cast<WORD>(ms);
}

namespace {

bool g_settingsLoaded = false;
TFormatSettings g_settings;

std::string LocaleText(LCTYPE type, const char* fallback) {
    char buf[100];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
    return n > 1 ? std::string(buf, static_cast<size_t>(n - 1)) : std::string(fallback);
}

// The locale writes "dd/MM/yyyy" and "HH:mm:ss"; our formats use m for months and n for minutes.
std::string FromLocaleFormat(const std::string& f, bool time, char dateSep, char timeSep) {
    std::string out;
    for (char c : f) {
        if (time) {
            if (c == 'H')
                c = 'h';
            else if (c == 'm')
                c = 'n';
            else if (c == 't')
                continue; // AM/PM markers are not used
        } else if (c == 'M') {
            c = 'm';
        }
        if (c == dateSep && !time)
            c = '/';
        if (c == timeSep && time)
            c = ':';
        out += c;
    }
    return Trim(out);
}

void LoadLocaleSettings() {
    TFormatSettings s;
    std::string ds = LocaleText(LOCALE_SDATE, ".");
    std::string ts = LocaleText(LOCALE_STIME, ":");
    s.DateSeparator = ds.empty() ? '.' : ds[0];
    s.TimeSeparator = ts.empty() ? ':' : ts[0];
    s.ShortDateFormat =
        FromLocaleFormat(LocaleText(LOCALE_SSHORTDATE, "dd/MM/yyyy"), false, s.DateSeparator, 0);
    s.LongTimeFormat = FromLocaleFormat(LocaleText(LOCALE_STIMEFORMAT, "HH:mm:ss"), true, 0, s.TimeSeparator);
    g_settings = s;
    g_settingsLoaded = true;
}

} // namespace

const TFormatSettings& FormatSettings() {
    if (!g_settingsLoaded)
        LoadLocaleSettings();
    return g_settings;
}

void SetFormatSettings(const TFormatSettings& settings) {
    g_settings = settings;
    g_settingsLoaded = true;
}

void ResetFormatSettings() {
    g_settingsLoaded = false;
}

std::string FormatDateTime(const std::string& format, TDateTime value) {
    const TFormatSettings& fs = FormatSettings();
    int y, m, d, h, n, s, ms;
    DecodeDate(value, y, m, d);
    DecodeTime(value, h, n, s, ms);
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        size_t run = 1;
        while (i + run < format.size() && (format[i + run] | 0x20) == lower && lower >= 'a' && lower <= 'z')
            ++run;
        switch (lower) {
        case 'd':
            out += run >= 2 ? Format("%02d", d) : IntToStr(d);
            break;
        case 'm':
            out += run >= 2 ? Format("%02d", m) : IntToStr(m);
            break;
        case 'y':
            out += run >= 3 ? Format("%04d", y) : Format("%02d", y % 100);
            break;
        case 'h':
            out += run >= 2 ? Format("%02d", h) : IntToStr(h);
            break;
        case 'n':
            out += run >= 2 ? Format("%02d", n) : IntToStr(n);
            break;
        case 's':
            out += run >= 2 ? Format("%02d", s) : IntToStr(s);
            break;
        case '/':
            out += fs.DateSeparator;
            break;
        case ':':
            out += fs.TimeSeparator;
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

std::string DateToStr(TDateTime value) {
    return FormatDateTime(FormatSettings().ShortDateFormat, value);
}
std::string TimeToStr(TDateTime value) {
    return FormatDateTime(FormatSettings().LongTimeFormat, value);
}

std::string DateTimeToStr(TDateTime value) {
    std::string s = DateToStr(value);
    if (value - std::floor(value) != 0.0)
        s += " " + TimeToStr(value);
    return s;
}

bool TryStrToDateTime(const std::string& text, TDateTime& value) {
    const TFormatSettings& fs = FormatSettings();
    std::vector<int> nums;
    std::string t = Trim(text);
    size_t i = 0;
    auto readNum = [&](int maxDigits, int& v) {
        size_t start = i;
        v = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9' && static_cast<int>(i - start) < maxDigits)
            v = v * 10 + (t[i++] - '0');
        return i > start;
    };
    // Date: three numbers separated by the date separator, in the order of the short format.
    int parts[3];
    for (int k = 0; k < 3; ++k) {
        if (!readNum(4, parts[k]))
            return false;
        if (k < 2) {
            if (i >= t.size() || (t[i] != fs.DateSeparator && t[i] != '/'))
                return false;
            ++i;
        }
    }
    std::string order;
    for (char c : fs.ShortDateFormat) {
        char l = static_cast<char>(c | 0x20);
        if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos)
            order += l;
    }
    if (order.size() != 3)
        order = "dmy";
    int y = 0, m = 0, d = 0;
    for (int k = 0; k < 3; ++k) {
        if (order[static_cast<size_t>(k)] == 'd')
            d = parts[k];
        else if (order[static_cast<size_t>(k)] == 'm')
            m = parts[k];
        else
            y = parts[k];
    }
    if (y < 100)
        y += y < 50 ? 2000 : 1900;
    int h = 0, n = 0, s = 0;
    while (i < t.size() && t[i] == ' ')
        ++i;
    if (i < t.size()) {
        if (!readNum(2, h))
            return false;
        if (i < t.size() && (t[i] == fs.TimeSeparator || t[i] == ':')) {
            ++i;
            if (!readNum(2, n))
                return false;
            if (i < t.size() && (t[i] == fs.TimeSeparator || t[i] == ':')) {
                ++i;
                if (!readNum(2, s))
                    return false;
            }
        }
        if (i != t.size())
            return false;
    }
    try {
        value = EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}

TDateTime StrToDateTime(const std::string& s) {
    TDateTime v;
    if (!TryStrToDateTime(s, v))
        throw EConvertError(Format(SInvalidDateTime, s.c_str()));
    return v;
}
