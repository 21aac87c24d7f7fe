#include "engine/run/DateTime.h"

#include <cmath>
#include <vector>

#include "framework/core/SysUtils.h"

namespace zel::run {

const char* const kDateErrorText = "error getting date or in date format";
const char* const kTimeErrorText = "error getting time or in time format";
const char* const kFileDateErrorText = "[error getting file date]";
const char* const kFileTimeErrorText = "[error getting file time]";

namespace {

bool platformDate(const SYSTEMTIME& t, const char* format, std::string& out) {
    char buffer[256];
    const DWORD flags = format ? 0 : DATE_LONGDATE;
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, flags, &t, format, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    out.assign(buffer);
    return true;
}

bool platformTime(const SYSTEMTIME& t, const char* format, std::string& out) {
    char buffer[256];
    const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, format, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    out.assign(buffer);
    return true;
}

// The program has one clock: the framework's, which tests can set for every layer at once.
SYSTEMTIME platformLocalTime() {
    SYSTEMTIME t;
    DateTimeToSystemTime(Now(), t);
    return t;
}

DateTimeSeams platformSeams() {
    return DateTimeSeams{platformLocalTime, platformDate, platformTime};
}

} // namespace

DateTimeSeams& dateTimeSeams() {
    static DateTimeSeams seams = platformSeams();
    return seams;
}

void resetDateTimeSeams() {
    dateTimeSeams() = platformSeams();
}

SYSTEMTIME currentLocalTime() {
    return dateTimeSeams().localTime();
}

std::string currentDateText(const char* format) {
    std::string out;
    if (format && !*format)
        format = nullptr;
    if (!dateTimeSeams().formatDate(currentLocalTime(), format, out))
        out = kDateErrorText;
    return out;
}

std::string currentTimeText(const char* format) {
    std::string out;
    if (format && !*format)
        format = nullptr;
    if (!dateTimeSeams().formatTime(currentLocalTime(), format, out))
        out = kTimeErrorText;
    return out;
}

namespace {

int formatFileTime(const FILETIME& written, std::string& date, std::string& time) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&written, &local))
        return 0;
    if (!FileTimeToSystemTime(&local, &st))
        return 0;
    std::string d, t;
    if (!dateTimeSeams().formatDate(st, nullptr, d) || !dateTimeSeams().formatTime(st, nullptr, t))
        return 0;
    date = d;
    time = t;
    return 1;
}

} // namespace

int fileDateTimeText(HANDLE file, std::string& date, std::string& time) {
    date = kFileDateErrorText;
    time = kFileTimeErrorText;
    FILETIME written;
    if (file == nullptr || file == INVALID_HANDLE_VALUE)
        return 0;
    if (!GetFileTime(file, nullptr, nullptr, &written))
        return 0;
    return formatFileTime(written, date, time);
}

int fileDateTimeText(const std::string& path, std::string& date, std::string& time) {
    date = kFileDateErrorText;
    time = kFileTimeErrorText;
    // Read by name: opening the file costs a hundred times more under some platform layers, and
    // every run reads its input's date once.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return formatFileTime(data.ftLastWriteTime, date, time);
}

int32_t currentYear() {
    return currentLocalTime().wYear;
}
int32_t currentMonth() {
    return currentLocalTime().wMonth;
}
int32_t currentDay() {
    return currentLocalTime().wDay;
}

int32_t dayNumberOfToday() {
    const SYSTEMTIME t = currentLocalTime();
    return static_cast<int32_t>(std::lround(t.wDay + t.wMonth * 30.44 + t.wYear * 365.24 + 0.5));
}

double elapsedSeconds(const SYSTEMTIME& start, const SYSTEMTIME& end) {
    FILETIME a, b;
    if (!SystemTimeToFileTime(&start, &a) || !SystemTimeToFileTime(&end, &b))
        return -1.0;
    const auto toInt = [](const FILETIME& f) {
        return static_cast<int64_t>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
    };
    return static_cast<double>(toInt(b) - toInt(a)) * 1e-07;
}

} // namespace zel::run
