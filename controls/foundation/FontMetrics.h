#pragma once
// Measures of fonts on the screen, and the font forms share.
#include "framework/core/Win.h"

#include "framework/ui/Forms.h"
#include "framework/ui/Graphics.h"

namespace Hscommon {
// Forms get the main form's font when set.
extern bool UseOneFont;
extern const int StdFontSizes[16];
} // namespace Hscommon

void GetFontMetrics(TFont& Font, TEXTMETRICA& Metrics);
int GetAveFontWidth(TFont& Font);
int GetMaxFontWidth(TFont& Font);
bool IsFontMonoSpaced(TFont& Font);
int GetMaxFontHeight(TFont& Font);
int GetMinFontHeight(TFont& Font);
void SetFormFont(TCustomForm* Form);
