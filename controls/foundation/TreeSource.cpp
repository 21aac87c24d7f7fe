#include "controls/foundation/TreeSource.h"

ZEL_DEFINE_CLASS(TTreeSource, TComponent, {})
