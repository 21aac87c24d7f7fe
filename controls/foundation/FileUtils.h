#pragma once
// File enumeration, attributes, %NAME% parameters in text files, and where the program is.

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Win.h"

class TStrings;

// The attribute bits that stand for plain files in an attribute filter.
inline constexpr uint32_t faAnyPlainFile = 47;

// Proc(folder with a trailing backslash, the entry, Continue): clearing Continue stops the
// whole enumeration.
using TForEachFileProc = std::function<void(const std::string& Folder, const WIN32_FIND_DATAA& Entry, bool& Continue)>;
// Passes every entry of Mask whose attributes share a bit with Attr (or a plain file, when Attr
// asks for any of faAnyPlainFile), with Recursive also those of every subfolder. Answers the
// number of entries passed; 0 without Proc.
int32_t ForEachFile(const std::string& Mask, uint32_t Attr, bool Recursive, const TForEachFileProc& Proc);
// Strings gets folder plus name of every entry ForEachFile passes.
void FindFiles(const std::string& Mask, uint32_t Attr, bool Recursive, TStrings* Strings);
// Masks split at ";" (empty: "*.*"); the matches in Folder, upper-cased, sorted, each once.
void FindFilesEx(const std::string& Folder, const std::string& Masks, uint32_t Attr, bool Recursive, TStrings* Strings);
// New attributes = old without ClearAttr, with SetAttr; the change goes to the log hook.
bool ModifyFileAttr(const std::string& Name, uint32_t ClearAttr, uint32_t SetAttr);
void ModifyFilesAttr(const TStrings* Names, uint32_t ClearAttr, uint32_t SetAttr);
void ModifyFilesAttrInFolder(const std::string& Mask, uint32_t ClearAttr, uint32_t SetAttr, bool Recursive);
// Writes S as the whole file; raises when the file cannot be made.
void SaveStringToFile(const std::string& S, const std::string& FileName);

// For every NAME=VALUE line of Params, replaces Delim + NAME + Delim (ignoring case) by VALUE.
std::string ChangeParamsEx(const std::string& S, const TStrings* Params, const std::string& Delim);
void ChangeParamsInStringsEx(TStrings* Strings, const TStrings* Params, const std::string& Delim);
void ChangeParamsInStrings(TStrings* Strings, const TStrings* Params);
void ChangeParamsInFile(const std::string& FileName, const TStrings* Params);
void ChangeParamsInFiles(const std::string& Folder, const std::string& Masks, uint32_t Attr, const TStrings* Params,
                         bool Recursive);

// The folder of the running program with a trailing backslash.
std::string AppFolder();
bool UnderWindowsNT();
// True when the component framework's runtime package is loaded into the process.
bool CompiledWithPackages();
// FileName when it exists, else the first existing expansion against the folders of Paths
// (split at ";"); empty when none exists.
std::string HSRelativeFileSearch(const std::string& FileName, const std::string& Paths);
std::string HSExpandRelativeFileEx(const std::string& FileName, const std::string& Base);
std::string HSExpandRelativePathEx(const std::string& Path, const std::string& Base);
