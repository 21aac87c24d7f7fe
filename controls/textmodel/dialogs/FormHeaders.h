#pragma once
// The window framework names its form-placement enumeration TPosition, as the text model names its
// caret position. Code that needs both includes the framework's form headers through this file,
// which sees the enumeration as TFormPosition; no compiled symbol of the framework carries the
// enumeration's name, so the libraries still meet.
#ifdef TPosition
#error "TPosition is already a macro"
#endif
#define TPosition TFormPosition
#include "controls/foundation/InputDialogs.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#undef TPosition
