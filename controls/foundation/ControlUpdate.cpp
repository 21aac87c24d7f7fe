#include "controls/foundation/ControlUpdate.h"

void BeginControlUpdate(TWinControl* Control) {
    if (Control && Control->HandleAllocated())
        SendMessageA(Control->Handle(), WM_SETREDRAW, 0, 0);
}

void FinishControlUpdate(TWinControl* Control) {
    if (!Control || !Control->HandleAllocated())
        return;
    SendMessageA(Control->Handle(), WM_SETREDRAW, 1, 0);
    Control->Invalidate();
}

bool Hsgen::DirectoryExists(const std::string& Path) {
    if (Path.empty())
        return false;
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
