#include "controls/foundation/KeyState.h"

bool ShiftIsPressed() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

bool IsAltKeyDown() {
    return (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
}
