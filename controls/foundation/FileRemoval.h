#pragma once
// Removing a file that may be in use, for the family's setup tools.

#include <string>

// Deletes the file; when it is in use, asks the platform to delete it at the next start of the
// system. True when it is gone or its deletion is scheduled; false otherwise (a missing file
// counts as gone).
bool RemoveFile(const std::string& FileName);
