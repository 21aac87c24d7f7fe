#pragma once
// Openers of the gallery for windows whose headers cannot stand beside the main window's: the
// spell checker's and the memo printer's families name some of their enumerations as the tree's do.
#include "WindowGallery.h"

class TOrthosSpell3;
class TCustomHSMemo;

void OpenUserDictionaries(TOrthosSpell3& Spell);
void OpenUserDictionaryEdit(TOrthosSpell3& Spell);
TWindowGallery::THold OpenNewUserDictionary(TOrthosSpell3& Spell);
TWindowGallery::THold OpenPrintProgress(TCustomHSMemo& Memo);
