#pragma once
// %NAME% parameters replaced in strings and text files.

#include <cstdint>
#include <string>

#include "framework/core/Win.h"

class TStrings;

// Writes S as the whole file; raises when the file cannot be made.
void SaveStringToFile(const std::string& S, const std::string& FileName);

// For every NAME=VALUE line of Params, replaces Delim + NAME + Delim (ignoring case) by VALUE.
std::string ChangeParamsEx(const std::string& S, const TStrings* Params, const std::string& Delim);
void ChangeParamsInStringsEx(TStrings* Strings, const TStrings* Params, const std::string& Delim);
void ChangeParamsInStrings(TStrings* Strings, const TStrings* Params);
void ChangeParamsInFile(const std::string& FileName, const TStrings* Params);
void ChangeParamsInFiles(const std::string& Folder, const std::string& Masks, uint32_t Attr,
                         const TStrings* Params, bool Recursive);
