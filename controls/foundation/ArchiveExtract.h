#pragma once
// Extraction through an outside archive library ("unrar.dll"), bound by name at first use. The
// records passed to the library are this program's own layout; a library that serves them is
// expected to write an entry to DestName when that is set, else to DestFolder plus the entry's
// archive path.

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Win.h"

class TStrings;

enum TRAROperation : int32_t { opSkip = 0, opTest = 1, opExtract = 2 };
using TRARFileOperation = TRAROperation;

inline constexpr int32_t RAR_OM_EXTRACT = 1;
inline constexpr int32_t RAR_SUCCESS = 0;
inline constexpr int32_t RAR_END_ARCHIVE = 10;
inline constexpr uint32_t RAR_DIRECTORY_ATTR = 16;

struct TRAROpenArchiveData {
    const char* ArcName = nullptr;
    int32_t OpenMode = RAR_OM_EXTRACT;
    int32_t OpenResult = 0;
};

struct TRARHeaderData {
    char ArcName[260] = {};
    char FileName[260] = {}; // the entry's path inside the archive
    uint32_t Flags = 0;
    uint32_t PackSize = 0;
    uint32_t UnpSize = 0;
    uint32_t FileTime = 0;
    uint32_t FileAttr = 0; // RAR_DIRECTORY_ATTR marks a folder entry
};

// The seven entries of the library, by the names it exports.
struct TUnRARFunctions {
    HANDLE(WINAPI* RAROpenArchive)(TRAROpenArchiveData*) = nullptr;
    int32_t(WINAPI* RARCloseArchive)(HANDLE) = nullptr;
    int32_t(WINAPI* RARReadHeader)(HANDLE, TRARHeaderData*) = nullptr;
    int32_t(WINAPI* RARProcessFile)(HANDLE, int32_t Operation, const char* DestPath,
                                    const char* DestName) = nullptr;
    void(WINAPI* RARSetChangeVolProc)(HANDLE, void* Proc) = nullptr;
    void(WINAPI* RARSetProcessDataProc)(HANDLE, void* Proc) = nullptr;
    void(WINAPI* RARSetPassword)(HANDLE, const char* Password) = nullptr;
};

// Loads the library and binds its seven entries; raises "Can't load UNRAR.DLL" (EHSError) when
// it cannot be loaded or lacks one of them.
void LoadUnRARFromFile(const std::string& FileName);
// Loads "unrar.dll" once.
void LoadUnRAR();
void UnloadUnRAR();
// Binds entries that do not come from a library (tests); UnloadUnRAR forgets them.
void SetUnRARFunctions(const TUnRARFunctions& Functions);

HANDLE RAROpenArchive(TRAROpenArchiveData* Data);
int32_t RARCloseArchive(HANDLE Archive);
int32_t RARReadHeader(HANDLE Archive, TRARHeaderData* Header);
int32_t RARProcessFile(HANDLE Archive, int32_t Operation, const char* DestPath, const char* DestName);
void RARSetChangeVolProc(HANDLE Archive, void* Proc);
void RARSetProcessDataProc(HANDLE Archive, void* Proc);
void RARSetPassword(HANDLE Archive, const char* Password);
// Opens for extraction; 0 on failure.
HANDLE OpenRARFile(const std::string& FileName);

// Decides per entry; may change the destination folder and name.
using TRARFilter = std::function<TRARFileOperation(const TRARHeaderData& Header, std::string& DestFolder,
                                                   std::string& DestName)>;

// True when an entry may be written to Target, a path inside Folder: the archive path holds no
// drive, no leading backslash, no ".." part and no ":" and the full path stays below Folder.
bool IsSafeArchivePath(const std::string& Folder, const std::string& EntryPath);

// Extracts every entry (Filter may skip or test some). Entries found by their plain file name
// in SystemFiles go to the system folder. An entry whose path would leave its destination folder
// (a ".." part, an absolute path, a drive) is skipped, nothing of it is written, and the
// answer is false; false too when the archive cannot be opened or the library reports an error.
bool ExtractRARFile(const std::string& ArchiveName, const std::string& DestFolder, const TRARFilter& Filter,
                    TStrings* ExtractedFiles, TStrings* CreatedFolders, const TStrings* SystemFiles);
