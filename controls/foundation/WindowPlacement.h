#pragma once
// Where a window stands: its placement kept in the registry, and the least size of an editor window.
#include "framework/core/Win.h"

#include <string>

#include "framework/ui/Controls.h"
#include "framework/ui/Messages.h"

// Window placement under "Forms\<Name>\" of the family's registry key.
void WriteWinPosToReg(TWinControl* Control, const std::string& Name);
// Applies a stored placement; the rectangle is kept on the work area at a sensible size.
void ReadWinPosFromReg(TWinControl* Control, const std::string& Name);

// Answers WM_GETMINMAXINFO of an editor window (Msg.LParam: the MINMAXINFO).
void CalcEditorMinMaxInfo(TMessage& Msg, TControl* Form, bool Flag);
