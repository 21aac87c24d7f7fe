#pragma once
// Where the running program is, and what it runs on.

#include <string>

#include "framework/core/Win.h"

// The folder of the running program with a trailing backslash.
std::string AppFolder();
bool UnderWindowsNT();
// True when the component framework comes from a runtime package loaded into the process.
bool CompiledWithPackages();
