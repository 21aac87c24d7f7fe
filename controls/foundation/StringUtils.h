#pragma once
// Small string jobs of the family: character sets, blank filling, words, quotes, replacing,
// names and GUID texts. Positions count from 1.

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Win.h"

class TStrings;
class TComponent;

using TCharSet = std::bitset<256>;
TCharSet CharSet(const std::string& Chars);
inline bool InSet(const TCharSet& Set, char C) {
    return Set.test(static_cast<unsigned char>(C));
}

// The delimiters GetWord uses.
extern const TCharSet DefaultWordDelimiters;

inline void AddStr(std::string& S, const std::string& T) {
    S += T;
}
// The first character that is not a blank; length + 1 when there is none.
int32_t GetFirstNotSpace(const std::string& S);
// Every Ch becomes N + 1 copies of it.
std::string AddCharOccurence(const std::string& S, char Ch, int32_t N);
std::string RemoveCharSet(const TCharSet& Set, const std::string& S);
// Keeps ASCII letters and the underscore.
std::string RemoveNonIdentChars(const std::string& S);
// Set plus the characters of S (and their other case unless CaseSensitive).
TCharSet StringToCharSet(const TCharSet& Set, const std::string& S, bool CaseSensitive);
std::string RemoveStrSet(const std::string& S, const std::string& Chars, bool CaseSensitive);
std::string StringOfSpace(int32_t N);
// Pads S with blanks on the right to length N.
void AddBackSpaces(std::string& S, int32_t N);
// The non-empty items joined by Delim.
std::string StrArrayToDelimStr(const std::vector<std::string>& Items, char Delim);
std::string CommaText(const std::vector<std::string>& Items);
std::string StringsToString(const TStrings* Strings, char Delim);
// Deletes length(Old) characters at Pos and inserts New there.
void Replace(std::string& S, int32_t Pos, const std::string& Old, const std::string& New);
void ReplaceAllOccur(std::string& S, const std::string& Old, const std::string& New);
void ReplaceAllOccurEx(std::string& S, const std::string& Old, const std::string& New, bool IgnoreCase);
std::string TrimSeparatorsLeft(const std::string& S, const TCharSet& Set);
std::string TrimSeparatorsRight(const std::string& S, const TCharSet& Set);
std::string TrimSeparators(const std::string& S, const TCharSet& Set);
// The N-th word (from 1) between runs of delimiters: its position (-1 when there are fewer
// words) and its text.
int32_t GetWordPos(const std::string& S, int32_t N, const TCharSet& Delims);
std::string GetWordEx(const std::string& S, int32_t N, const TCharSet& Delims);
std::string GetWord(const std::string& S, int32_t N);
// A text enclosed in Quote loses the pair, doubled quotes inside become one.
std::string ExtractQuotedStr(const std::string& S, char Quote);
// The part between the first "." and the next one.
std::string ExtractControlName(const std::string& S);
// "Name_12" -> "Name".
std::string GetOriginalComponentName(const std::string& Name);
std::string ExtractOnlyName(const std::string& FileName);
std::string ChangeFileName(const std::string& FileName, const std::string& NewName);
std::string RemoveExtraSlash(const std::string& S);
bool StrToBoolean(const std::string& S);
std::string PointToStr(const POINT& P);
std::string RectToStr(const RECT& R);
// 1-12 by the locale's short month names ignoring case; -1 when none.
int32_t ShortMonthNameToIndex(const std::string& Name);
int32_t CurrentYear();
inline bool IsLeapHour(int32_t H) {
    return H >= 0 && H <= 23;
}
inline bool IsLeapMinute(int32_t M) {
    return M >= 0 && M <= 59;
}
// Base followed by 1, 2, ... until Owner holds no component of that name.
std::string UniqueName(const TComponent* Owner, const std::string& Base);
bool NameIsUnique(const TComponent* Owner, const std::string& Name);
std::string GUIDToString(const GUID& Guid);
// Raises EConvertError for a text that is no GUID.
GUID StringToGUID(const std::string& S);
GUID CreateNewGUID();
