#pragma once
// The family's control services, one header each; this one brings them all for the controls
// that use most of them.
#include "controls/foundation/ControlWindows.h"
#include "controls/foundation/DroppedFiles.h"
#include "controls/foundation/FontMetrics.h"
#include "controls/foundation/FormNames.h"
#include "controls/foundation/HSCustomControl.h"
#include "controls/foundation/HandleObjects.h"
#include "controls/foundation/HotStrings.h"
#include "controls/foundation/WindowPlacement.h"
