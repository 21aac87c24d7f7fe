#pragma once
// Files of a folder: enumeration with attribute filters, and attribute changes.

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Win.h"

class TStrings;

// The attribute bits that stand for plain files in an attribute filter.
inline constexpr uint32_t faAnyPlainFile = 47;

// Proc(folder with a trailing backslash, the entry, Continue): clearing Continue stops the
// whole enumeration.
using TForEachFileProc =
    std::function<void(const std::string& Folder, const WIN32_FIND_DATAA& Entry, bool& Continue)>;
// Passes every entry of Mask whose attributes share a bit with Attr (or a plain file, when Attr
// asks for any of faAnyPlainFile), with Recursive also those of every subfolder. Answers the
// number of entries passed; 0 without Proc.
int32_t ForEachFile(const std::string& Mask, uint32_t Attr, bool Recursive, const TForEachFileProc& Proc);
// Strings gets folder plus name of every entry ForEachFile passes.
void FindFiles(const std::string& Mask, uint32_t Attr, bool Recursive, TStrings* Strings);
// Masks split at ";" (empty: "*.*"); the matches in Folder, upper-cased, sorted, each once.
void FindFilesEx(const std::string& Folder, const std::string& Masks, uint32_t Attr, bool Recursive,
                 TStrings* Strings);
// New attributes = old without ClearAttr, with SetAttr; the change goes to the log hook.
bool ModifyFileAttr(const std::string& Name, uint32_t ClearAttr, uint32_t SetAttr);
void ModifyFilesAttr(const TStrings* Names, uint32_t ClearAttr, uint32_t SetAttr);
void ModifyFilesAttrInFolder(const std::string& Mask, uint32_t ClearAttr, uint32_t SetAttr, bool Recursive);
