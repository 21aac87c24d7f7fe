#pragma once
// Keys held down right now, read from the asynchronous key state.

#include "framework/core/Win.h"

bool ShiftIsPressed();
bool IsAltKeyDown();
