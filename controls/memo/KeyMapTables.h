#pragma once
// The memo's five key maps as tables: each row binds a key (with its shift state, in a key state)
// to a command named by text. A map is a sequence of shared and own key sets; the rows are added to
// the key list in table order, so a later row wins over an earlier one with the same key.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

class TCustomHSMemo;

struct TMemoKeyBinding {
    uint16_t Key = 0;
    TShiftState Shift = 0;
    uint8_t State = 0; // 255: every state
    uint8_t NewState = 0;
    std::string Command; // empty for a prefix key
};

// "Default", "Classic", "Brief", "Epsilon", "Visual Studio", in registration order.
const std::vector<std::string>& MemoKeyMapNames();
// The rows of a map in the order they are added (digit ranges expanded, the bracket key resolved
// for the current keyboard layout); empty for a name that is no map (case is ignored).
std::vector<TMemoKeyBinding> MemoKeyMapBindings(const std::string& MapName);
// True when Command names a command the memo can run.
bool MemoKeyCommandKnown(const std::string& Command);
// Empties the memo's key list and fills it with the map's rows; an unknown name gives "Default".
void FillMemoKeyMap(TCustomHSMemo& Memo, const std::string& MapName);
// Registers the five maps for the memo class with the family's keyboard registry.
void RegisterMemoKeyMaps();
