#pragma once
// The opening-tag check: the tag cut into its name and attributes, the element's placement, and
// every attribute looked up in the configuration with its value, quoting, case and entities.

#include "engine/checks/CheckRun.h"

namespace zel::checks {

// Checks the run's current piece as an opening tag. 1 when checked, 0 on an internal failure.
int validateTag(CheckRun& run);

} // namespace zel::checks
