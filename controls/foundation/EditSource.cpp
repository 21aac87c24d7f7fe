#include "controls/foundation/EditSource.h"

ZEL_DEFINE_CLASS(TEditSource, TComponent, {})
