#pragma once
// The main window's spell checker, kept apart from the window's own headers (the checker's and
// the tree's enumerations share names).
#include <functional>
#include <string>

class TComponent;
class TCustomHSMemo;
class TOrthosSpell3;

// Makes the checker over the dictionaries in <ProgramFolder>\Dictionary with the editor's options;
// null when it cannot be made (the window then works without one).
TOrthosSpell3* CreateEditorSpellChecker(TComponent* Owner, const std::string& ProgramFolder);
// Checks the memo's text (only its selection with Selected), stepping over markup, in the modal
// spell dialog; the end of the check is told (EndMessage) or not. A running check is stopped
// first. Empty when the check ran, else why it could not.
std::string CheckMemoSpelling(TOrthosSpell3* Checker, TCustomHSMemo* Memo, bool Selected, bool EndMessage);
// Whether the last check was cancelled by the user.
bool SpellCheckCancelled(TOrthosSpell3* Checker);
// The editor's texts at the end of a check, and what a check leaves behind: the checker's
// configuration and its user dictionaries are stored after every check; what cannot be stored is
// told through Report.
void BindEditorSpellEvents(TOrthosSpell3* Checker, std::function<void(const std::string&)> Report);
// Shows the checker's options dialog.
void SetUpSpellChecker(TOrthosSpell3* Checker);
