#include "controls/foundation/SimpleScripter.h"

ZEL_DEFINE_CLASS(THSSimpleScripter, TComponent, {})
