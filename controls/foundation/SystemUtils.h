#pragma once
// Key state, the log and the stream records of the family, one header each; this one brings them all.
#include "controls/foundation/KeyState.h"
#include "controls/foundation/LogFile.h"
#include "controls/foundation/StreamRecords.h"
