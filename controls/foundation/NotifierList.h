#pragma once
// Per-object lists of listener methods, told of changes with (sender, two integers).

#include <cstdint>
#include <vector>

#include "controls/foundation/MethodRef.h"
#include "framework/core/Component.h"

using THSNotifyEvent = THSMethod<TObject*, int32_t, int32_t>;

class TNotifierList : public TObject {
public:
    // Each method is held once; adding one already present moves it to the end.
    void AddMethod(const THSNotifyEvent& Method);
    void DeleteMethod(const THSNotifyEvent& Method);
    void DeleteWithData(const TObject* Object);
    // Calls every method from the last to the first. A method may remove entries (itself or
    // others) while being called: removed ones are not called any more, none is called twice.
    void NotifyEvents(TObject* Sender, int32_t A, int32_t B);
    // Tells every listening component that Component is going, from the last to the first.
    void NotifyDestroying(TComponent* Component);

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    const THSNotifyEvent& Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Method; }

private:
    struct TEntry {
        THSNotifyEvent Method;
        uint64_t Serial;
    };
    bool Holds(uint64_t Serial) const;

    std::vector<TEntry> FItems;
    uint64_t FNextSerial = 1;
};
