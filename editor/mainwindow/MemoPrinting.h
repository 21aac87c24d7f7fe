#pragma once
// Printing a memo with the print dialog, apart from the window's headers (the memo printer's and
// the tree's print options share names).
#include <string>

class TCustomHSMemo;

// Asks for the print options and prints the memo's text under Title. Empty when it printed or the
// user cancelled, else why it could not.
std::string PrintMemoWithDialog(TCustomHSMemo& Memo, const std::string& Title);
