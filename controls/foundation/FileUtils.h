#pragma once
// Files and folders of the family, one header each; this one brings them all.
#include "controls/foundation/FileParams.h"
#include "controls/foundation/FileSearch.h"
#include "controls/foundation/ProgramInfo.h"
#include "controls/foundation/RelativePaths.h"
