#pragma once
// Runtime-library helpers: number and text conversion, comparisons, file names and files.
// Strings are ANSI (code page 1252); the "Ansi" functions go through the platform's locale.

#include <cstdint>
#include <string>

#include "framework/core/Exceptions.h"

// Days since 30 December 1899, with the time of day as the fraction.
using TDateTime = double;

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);
// Decimal, or hexadecimal after '$' or "0x"; surrounding blanks are allowed.
// Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const std::string& s);
int64_t StrToInt64(const std::string& s);
int32_t StrToIntDef(const std::string& s, int32_t defaultValue);
bool TryStrToInt(const std::string& s, int32_t& value);
bool TryStrToInt64(const std::string& s, int64_t& value);
// Floats always use '.' as the decimal separator, whatever the locale.
std::string FloatToStr(double value);
double StrToFloat(const std::string& s);
bool TryStrToFloat(const std::string& s, double& value);

// ASCII-only case conversion and comparison (locale independent).
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
int CompareStr(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);

// Locale-aware (user locale) conversion and comparison through the platform.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
bool AnsiSameStr(const std::string& a, const std::string& b);

std::string Trim(const std::string& s); // removes control characters and blanks at both ends
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string QuotedStr(const std::string& s); // 'it''s'
std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to);

// File names: the split is at the last '\\', '/' or ':'.
std::string ExtractFilePath(const std::string& fileName); // with the trailing separator
std::string ExtractFileDir(const std::string& fileName);  // without it
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName); // with the dot, or empty
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
std::string IncludeTrailingBackslash(const std::string& s);
std::string ExcludeTrailingBackslash(const std::string& s);
std::string ExpandFileName(const std::string& fileName);

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
bool ForceDirectories(const std::string& dir);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);
// The file's last-write time as a DOS date and time (local time), or -1 when it does not exist.
int32_t FileAge(const std::string& fileName);
TDateTime FileDateToDateTime(int32_t fileDate);
int32_t DateTimeToFileDate(TDateTime dateTime);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec);

// The platform's text for an error code, without its closing full stop and line break;
// "System error N" when the platform has none.
std::string SysErrorMessage(uint32_t errorCode);
// The platform's own text for the code, trimmed as above, or empty when it has none.
std::string SystemErrorText(uint32_t errorCode);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);

// The clock seam: Now() asks the installed function (the local time of the platform unless a
// test installs another). Passing nullptr restores the platform's clock.
TDateTime Now();
void SetNowFunction(TDateTime (*now)());
// The platform's record of a moment (what the date and time formatters of the platform take).
void DateTimeToSystemTime(TDateTime value, struct _SYSTEMTIME& st);

// Date and time texts follow these settings. They come from the user locale on first use; tests
// set fixed ones. Formats understand d dd m mm yy yyyy h hh n nn s ss and literal characters.
struct TFormatSettings {
    std::string ShortDateFormat = "dd.mm.yyyy";
    std::string LongTimeFormat = "hh:nn:ss";
    char DateSeparator = '.'; // written where a format has '/'
    char TimeSeparator = ':'; // written where a format has ':'
};
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
void ResetFormatSettings(); // back to the user locale's

std::string FormatDateTime(const std::string& format, TDateTime value);
std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value); // the time part only when it is not midnight
// Reads a date in the order of ShortDateFormat, optionally followed by a time (h[:n[:s]]).
// Raises EConvertError "'%s' is not a valid date and time".
TDateTime StrToDateTime(const std::string& s);
bool TryStrToDateTime(const std::string& s, TDateTime& value);

template <class T> void FreeAndNil(T*& p) {
    T* tmp = p;
    p = nullptr;
    delete tmp;
}
