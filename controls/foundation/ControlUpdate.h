#pragma once
// Small run-time services of the family's design kit that the program itself uses.
#include <functional>
#include <string>

#include "framework/ui/Controls.h"

// Switch a control's redrawing off and on around a bulk change; they do not nest, and neither
// makes a window that does not exist yet.
void BeginControlUpdate(TWinControl* Control);
void FinishControlUpdate(TWinControl* Control);

// FreePropEditors and the editor groups belong to the design kit.
#include "controls/foundation/DesignKit.h"

namespace Hsgen {
// True for an existing folder (with or without a trailing backslash); false for files and missing paths.
bool DirectoryExists(const std::string& Path);
} // namespace Hsgen
