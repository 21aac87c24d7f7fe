#pragma once
// The objects that follow the code editor's global options. The list lives with the text model so
// that the scheme-driven parser can join it; the code-editor view owns the options themselves and
// sends the options message to every object listed (through IHSMessageHandler, or as a window
// message to a control).

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "framework/ui/Graphics.h"

// The options message: the global editor options changed.
inline constexpr uint32_t kMemoOptionsUpdateMessage = 0x81F;

// Registering an object already listed does nothing; answers its index.
int32_t RegisterMemoEnvOptObject(TObject* Object);
void UnRegisterMemoEnvOptObject(TObject* Object);
const std::vector<TObject*>& MemoEnvOptObjects();

// The global options' text style of that name (font and background), as the view's unit
// answers it; false when there is no such style or no global options.
using TGlobalTextStyleLookup = bool (*)(const std::string& Name, TFont& Font, TColor& BackColor);
extern TGlobalTextStyleLookup GlobalTextStyleLookup;
