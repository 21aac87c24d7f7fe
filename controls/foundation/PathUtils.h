#pragma once
// Paths, folders of the platform, NAME=VALUE lines and quoting, as the family uses them.

#include <cstdint>
#include <string>

class TStrings;

// S with one trailing backslash, unless S is empty.
std::string AddSlash(const std::string& S);
// S without one trailing backslash.
std::string RemoveSlash(const std::string& S);

// Creates Path and every missing folder above it. Created (may be nil) receives each folder
// that was actually made, parents first. True when Path exists afterwards.
bool CreateAllDirectories(const std::string& Path, TStrings* Created);
// CreateAllDirectories for every line; true when all of them exist afterwards.
bool CreateFolders(const TStrings* List);

// The platform's temporary folder without its trailing backslash (a drive root keeps it).
std::string GetTemporaryPath();
// Creates a new empty file with a unique name in the temporary folder; empty on failure.
std::string GetTemporaryFileName(const std::string& Prefix);
std::string SystemDirectory();  // with a trailing backslash
std::string WindowsDirectory(); // with a trailing backslash
std::string ProgramFilesDirectory();
std::string StartMenuProgramsFolder();

std::string StringFromGUID(const struct _GUID& Guid);
// Prefix followed by the text form of a new GUID.
std::string GetUniqueString(const std::string& Prefix);

// The text before the first Separator; empty when there is none.
std::string ExtractNamePartEx(const std::string& S, const std::string& Separator);
std::string ExtractNamePart(const std::string& S);
// The text after the first Separator, to the end; empty when there is none.
std::string ExtractValuePartEx(const std::string& S, const std::string& Separator);
std::string ExtractValuePart(const std::string& S);
// The first line whose value part equals Value exactly; -1 when none.
int32_t IndexOfValue(const TStrings* Strings, const std::string& Value);

// Ch + S + Ch; quote characters inside S stay as they are.
std::string Quote(const std::string& S, char Ch);
std::string QuoteFileName(const std::string& FileName);
