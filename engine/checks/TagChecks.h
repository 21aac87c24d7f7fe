#pragma once
// The opening-tag check: the tag cut into its name and attributes, the element's placement, and
// every attribute looked up in the configuration with its value, quoting, case and entities.

#include "engine/checks/CheckRun.h"

namespace zel::checks {

// Checks the run's current piece as an opening tag. 1 when checked, 0 on an internal failure.
int validateTag(CheckRun& run);

// Cuts tag text (the run's current piece from its start) into entries. Closing mode cuts a
// closing tag quietly; otherwise the cutting messages are given. stopAfterName: only the name.
// Returns false when cutting stopped at a misplaced "=".
struct CutState {
    size_t pos = 0;
    size_t end = 0;
};
bool cutName(CheckRun& run, CutState& cut, bool closingMode);
bool cutAttributes(CheckRun& run, CutState& cut, bool closingMode);

// Whether the text holds a letter A-Z outside the run's placeholder words.
bool hasUpperCase(const CheckRun& run, const std::string& text);

} // namespace zel::checks
