#pragma once
// Small run-time services of the family's design kit that the program itself uses.
#include <functional>
#include <string>

#include "framework/ui/Controls.h"

// Switch a control's redrawing off and on around a bulk change; they do not nest, and neither
// makes a window that does not exist yet.
void BeginControlUpdate(TWinControl* Control);
void FinishControlUpdate(TWinControl* Control);

// Groups of design-time property editors: a group is opened before registrations and freed at
// shutdown. The current group number starts at -2 (none open yet).
int NewEditorGroup();
int CurrentEditorGroup();
// What freeing one group does (the editors of that group go); set by whoever registers editors.
extern std::function<void(int Group)> FreeEditorGroupProc;
// Frees every group from -1 up to the current one.
void FreePropEditors();

namespace Hsgen {
// True for an existing folder (with or without a trailing backslash); false for files and missing paths.
bool DirectoryExists(const std::string& Path);
} // namespace Hsgen
