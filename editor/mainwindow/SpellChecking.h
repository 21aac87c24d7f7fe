#pragma once
// The main window's spell checker, kept apart from the window's own headers (the checker's and
// the tree's enumerations share names).
#include <string>

class TComponent;
class TCustomHSMemo;
class TOrthosSpell3;

// Makes the checker over the dictionaries in <ProgramFolder>\Dictionary with the editor's options;
// null when it cannot be made (the window then works without one).
TOrthosSpell3* CreateEditorSpellChecker(TComponent* Owner, const std::string& ProgramFolder);
// Checks the whole text of the memo, stepping over markup. Empty when the check ran (or a check
// is already running), else why it stopped.
std::string CheckMemoSpelling(TOrthosSpell3* Checker, TCustomHSMemo* Memo);
// Shows the checker's options dialog.
void SetUpSpellChecker(TOrthosSpell3* Checker);
