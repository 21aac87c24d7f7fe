#pragma once
// Date and time texts for the output header, the statistics, the log and the template tool.
// The clock and the locale formatting go through replaceable functions so tests can pin them.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace zel::run {

struct DateTimeSeams {
    // The current local time.
    std::function<SYSTEMTIME()> localTime;
    // Formats a date (format nullptr: the user's long date form); false when the platform refuses.
    std::function<bool(const SYSTEMTIME&, const char* format, std::string& out)> formatDate;
    // Formats a time (format nullptr: the user's default time form); false on failure.
    std::function<bool(const SYSTEMTIME&, const char* format, std::string& out)> formatTime;
};

// The seams in use; tests replace members and put back the platform ones with resetDateTimeSeams().
DateTimeSeams& dateTimeSeams();
void resetDateTimeSeams();

extern const char* const kDateErrorText;
extern const char* const kTimeErrorText;
extern const char* const kFileDateErrorText;
extern const char* const kFileTimeErrorText;

std::string currentDateText(const char* format = nullptr);
std::string currentTimeText(const char* format = nullptr);
// The file's last-write time as long date and default time; 1 on success, 0 on failure with
// the two error texts in place.
int fileDateTimeText(HANDLE file, std::string& date, std::string& time);
// The same for a file by name, without opening it; -1 (and the error texts) when there is no such
// file.
int fileDateTimeText(const std::string& path, std::string& date, std::string& time);

SYSTEMTIME currentLocalTime();
int32_t currentYear();
int32_t currentMonth();
int32_t currentDay();
// A coarse count of days, good for comparing dates some days apart.
int32_t dayNumberOfToday();
// Seconds from start to end; -1.0 when either cannot be converted.
double elapsedSeconds(const SYSTEMTIME& start, const SYSTEMTIME& end);

} // namespace zel::run
