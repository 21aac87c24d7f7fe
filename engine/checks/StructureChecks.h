#pragma once
// Where an element may stand, the record of opening and closing tags in the run's structure
// store, the closing-tag check and the structure listing.

#include <cstdint>

#include "engine/checks/CheckRun.h"
#include "engine/run/LineBuffer.h"

namespace zel::checks {

// The placement check of the current tag (its name is entries[0]): fills the element's name
// records, closing rule and flags, and gives 65, 66, 67, 100, 105, 314 and hint 216 where they
// apply. false on an internal failure.
bool placeElement(CheckRun& run, bool recheck);
// Records the current opening tag (kind 0) with its closing rule and flags.
bool recordOpening(CheckRun& run);

// Checks the run's current piece as a closing tag (beginning with "/"). 1, or 0 on an internal
// failure.
int validateCloseTag(CheckRun& run);

enum ListingFlags : int32_t { ListEntities = 1, ListCompact = 2, ListSecondStore = 4, ListLineNumbers = 8 };

// The structure listing of the run's structure store.
void writeStructureListing(const run::StructureStore& store, run::LineSink& sink, int32_t flags);

} // namespace zel::checks
