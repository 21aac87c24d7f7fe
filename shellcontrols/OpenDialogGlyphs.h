#pragma once
// The pictures of the open and save dialog's tool buttons, drawn in code: 16 x 16 on a key colour
// that the button leaves transparent.
#include "framework/ui/Graphics.h"

enum class TNVOpenDialogGlyph { UpOneLevel, Desktop, NewFolder, Tree, List, Details };

void NVDrawOpenDialogGlyph(TNVOpenDialogGlyph Glyph, TBitmap& Picture);
