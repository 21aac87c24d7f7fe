#pragma once
// The worker thread of a watching shell control: it waits on up to 63 directory-change handles
// plus its control event and posts a message to the control's window when one fires. The GUI
// thread hands it commands through two auto-reset events, one command at a time; the worker alone
// touches the slot array, and its only effect on the control is the posted message.
#include "framework/core/Win.h"

#include <array>
#include <cstdint>
#include <string>

#include "framework/core/Object.h"

constexpr UINT AMChangeNotify = WM_USER + 101;
constexpr UINT AMDeferredFill = WM_USER + 103;

class TChangeHandlerThread : public TObject {
    ZEL_DECLARE_CLASS(TChangeHandlerThread)
public:
    static constexpr int SlotCount = 63;
    // Window 0: nothing is posted. Starts the worker at once.
    TChangeHandlerThread(HWND Window = nullptr, UINT Message = AMChangeNotify);
    // Stops the worker, then closes every handle it watched (never while it may wait on one).
    ~TChangeHandlerThread() override;
    TChangeHandlerThread(const TChangeHandlerThread&) = delete;
    TChangeHandlerThread& operator=(const TChangeHandlerThread&) = delete;

    // Watches Path with the FILE_NOTIFY_CHANGE_* Filter. False for an empty or unwatchable path,
    // when all slots are taken, or when the worker does not answer within 2 seconds.
    bool Add(const std::string& Path, DWORD Filter, int& Slot, bool WatchSubtree);
    // Closes every watched handle.
    void RemoveAll();
    // The number of watched handles (asks the worker).
    int WatchCount();
    bool Running() const { return FThread != nullptr; }

private:
    enum class TCommand : uint8_t { None, Add, RemoveAll, Count, Stop };
    static DWORD WINAPI ThreadProc(void* Self);
    void Execute();
    bool RunCommand(TCommand Command);

    HANDLE FControlEvent = nullptr;
    HANDLE FAckEvent = nullptr;
    HANDLE FPendingHandle = INVALID_HANDLE_VALUE;
    HWND FWindow;
    UINT FMessage;
    std::array<HANDLE, SlotCount> FSlots;
    int32_t FResultSlot = -1;
    volatile TCommand FCommand = TCommand::None;
    HANDLE FThread = nullptr;
};
