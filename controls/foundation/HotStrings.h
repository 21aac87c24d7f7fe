#pragma once
// "Hot" words of a text: web and mail addresses, and the words a program adds.
#include "framework/core/Win.h"

#include <functional>
#include <string>

namespace Hscommon {
// Consulted by IsStringHot for words that are neither web nor mail addresses.
extern std::function<bool(const std::string&)> OnHotString;
} // namespace Hscommon

bool IsWWWString(const std::string& S);
bool IsEmailString(const std::string& S);
bool IsStringHot(const std::string& S);
// Opens a file, folder or address with the shell's default verb.
void JumpToURL(const std::string& S);
