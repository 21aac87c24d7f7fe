#pragma once
// Every message box of the engine goes through engineMessageBox. Tests replace the function with
// a recorder; the DLL switches to a file log at attach when the environment variable
// ZEL_MESSAGE_BOX_LOG names a file (one line per box: style in hex, caption, text, tab-separated),
// so a program that loads the real DLL can run without a box ever appearing.

#include <windows.h>

#include <cstdint>

using EngineMessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT style);

// Installs fn (NULL restores the platform box) and returns the one installed before.
EngineMessageBoxFn setEngineMessageBox(EngineMessageBoxFn fn);
int engineMessageBox(HWND owner, const char* text, const char* caption, UINT style);
// Reads ZEL_MESSAGE_BOX_LOG; true when the file log was installed.
bool installMessageBoxLogFromEnvironment();

// The answer a recorder gives for a box of the given style: OK, or Yes for questions.
int defaultBoxAnswer(UINT style);

constexpr UINT ZEL_BOX_ERROR = MB_OK | MB_ICONHAND | MB_SETFOREGROUND;       // 0x10010
constexpr UINT ZEL_BOX_INFO = MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND; // 0x10040
