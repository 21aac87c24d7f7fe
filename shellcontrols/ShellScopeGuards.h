#pragma once
// Small guards the shell controls hold for the length of a scope, so that an exception or an early
// return cannot leave the cursor or a re-entry count behind.
#include "framework/ui/Forms.h"

// The hourglass for a slow shell walk, when there is a screen object to show it on.
class THourGlassCursor {
public:
    THourGlassCursor() : FSaved(Screen ? Screen->Cursor() : crDefault) {
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~THourGlassCursor() {
        if (Screen)
            Screen->SetCursor(FSaved);
    }
    THourGlassCursor(const THourGlassCursor&) = delete;
    THourGlassCursor& operator=(const THourGlassCursor&) = delete;

private:
    TCursor FSaved;
};

// Raises a count for the scope; a control reads it to ignore the change events it causes itself.
class TScopeCount {
public:
    explicit TScopeCount(int& Value) : FValue(Value) { ++FValue; }
    ~TScopeCount() { --FValue; }
    TScopeCount(const TScopeCount&) = delete;
    TScopeCount& operator=(const TScopeCount&) = delete;

private:
    int& FValue;
};
