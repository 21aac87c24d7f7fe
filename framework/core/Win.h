#pragma once
// <windows.h> for the framework, without the function-name macros that would rename the
// framework's own members and functions (GetObject, DeleteFile, RegisterClass).
// Call the platform's "A" entry points by their full names (GetObjectA, DeleteFileA, RegisterClassA).

#include <windows.h>

#undef GetObject
#undef DeleteFile
#undef RegisterClass
