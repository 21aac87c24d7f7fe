#pragma once
// File names relative to a folder or found along a list of folders.

#include <string>

#include "framework/core/Win.h"

// FileName when it exists, else the first existing expansion against the folders of Paths
// (split at ";"); empty when none exists.
std::string HSRelativeFileSearch(const std::string& FileName, const std::string& Paths);
std::string HSExpandRelativeFileEx(const std::string& FileName, const std::string& Base);
std::string HSExpandRelativePathEx(const std::string& Path, const std::string& Base);
