#pragma once
// The common controls the engine's progress window asks for (see windows.h: no window can be
// made in the native build, so these only have to compile and fail).
#include <windows.h>

typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX;

#define ICC_PROGRESS_CLASS 0x00000020
#define PROGRESS_CLASSA "msctls_progress32"
#define PBM_SETPOS 0x0402
#define PBM_SETSTEP 0x0404
#define PBM_SETRANGE32 0x0406
#define PBM_GETPOS 0x0408

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
