#pragma once
// The file dialog of the engine's configuration commands: nobody can choose a file in the native
// build, so the dialog answers as when it is cancelled.
#include <windows.h>

typedef struct tagOFNA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
} OPENFILENAMEA;

#define OFN_HIDEREADONLY 0x00000004
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000

BOOL GetOpenFileNameA(OPENFILENAMEA* dialog);
