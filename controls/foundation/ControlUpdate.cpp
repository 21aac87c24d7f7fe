#include "controls/foundation/ControlUpdate.h"

void BeginControlUpdate(TWinControl* Control) {
    if (Control && Control->HandleAllocated())
        SendMessageA(Control->Handle(), WM_SETREDRAW, 0, 0);
}

void FinishControlUpdate(TWinControl* Control) {
    // Turning drawing on marks the window shown; one not shown yet would then skip the painting
    // that showing it brings (it stays hidden, and is drawn whole when it shows).
    if (!Control || !Control->HandleAllocated() || !Control->Visible())
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
