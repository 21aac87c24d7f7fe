#pragma once
// Opening a document with its program: there is no shell in the native build, so every request
// fails as the shell does when it finds no program for the document.
#include <windows.h>

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, int show);
