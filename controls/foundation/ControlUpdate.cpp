#include "controls/foundation/ControlUpdate.h"

namespace {
int EditorGroup = -2;
}

std::function<void(int Group)> FreeEditorGroupProc;

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

int NewEditorGroup() {
    return ++EditorGroup;
}
int CurrentEditorGroup() {
    return EditorGroup;
}

void FreePropEditors() {
    for (int Group = -1; Group <= EditorGroup; ++Group)
        if (FreeEditorGroupProc)
            FreeEditorGroupProc(Group);
}

bool Hsgen::DirectoryExists(const std::string& Path) {
    if (Path.empty())
        return false;
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
