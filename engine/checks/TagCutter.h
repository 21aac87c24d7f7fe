#pragma once
// Cutting an opening or closing tag into its name and attributes, shared by the tag check and
// the closing-tag check.

#include <cstddef>
#include <string>

#include "engine/checks/CheckRun.h"

namespace zel::checks {

constexpr size_t kMaxEntries = 50; // the name and 49 attributes

// Cuts tag text (the run's current piece from its start) into entries. Closing mode cuts a
// closing tag quietly; otherwise the cutting messages are given.
// Returns false when cutting stopped at a misplaced "=".
struct CutState {
    size_t pos = 0;
    size_t end = 0;
};
bool cutName(CheckRun& run, CutState& cut, bool closingMode);
bool cutAttributes(CheckRun& run, CutState& cut, bool closingMode);

// Whether the text holds a letter A-Z outside the run's placeholder words.
bool hasUpperCase(const CheckRun& run, const std::string& text);

void setEntryText(TagEntry& entry, const std::string& text, size_t pos);
MsgLocation entryLocation(const CheckRun& run, const TagEntry& entry);

} // namespace zel::checks
