#pragma once
// A notifier list whose listeners are windowed controls that can also be reached by message.
#include "framework/core/Win.h"

#include "controls/foundation/NotifierList.h"

class TNotifierListEx : public TNotifierList {
public:
    // Posts the message to the window of each listener that is a windowed control with a window,
    // from the last listener to the first; other listeners are passed over.
    void PostMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
};

// The listeners of the tree sources, made on first use.
TNotifierListEx* GetTreeNotifiers();
