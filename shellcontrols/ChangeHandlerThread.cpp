#include "shellcontrols/ChangeHandlerThread.h"

#include <utility>
#include <vector>

ZEL_DEFINE_CLASS(TChangeHandlerThread, TObject, {})

TChangeHandlerThread::TChangeHandlerThread(HWND Window, UINT Message) : FWindow(Window), FMessage(Message) {
    FSlots.fill(INVALID_HANDLE_VALUE);
    FControlEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    FAckEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (FControlEvent && FAckEvent)
        FThread = CreateThread(nullptr, 0, &TChangeHandlerThread::ThreadProc, this, 0, nullptr);
}

TChangeHandlerThread::~TChangeHandlerThread() {
    if (FThread) {
        FCommand = TCommand::Stop;
        SetEvent(FControlEvent);
        if (WaitForSingleObject(FThread, 30000) != WAIT_OBJECT_0)
            // A worker that never answers may still wait on the handles: leave them to the process.
            TerminateThread(FThread, 1);
        CloseHandle(FThread);
        FThread = nullptr;
    }
    std::vector<HANDLE> Handles;
    for (HANDLE& H : FSlots)
        if (H != INVALID_HANDLE_VALUE)
            Handles.push_back(std::exchange(H, INVALID_HANDLE_VALUE));
    if (FPendingHandle != INVALID_HANDLE_VALUE)
        Handles.push_back(std::exchange(FPendingHandle, INVALID_HANDLE_VALUE));
    if (FControlEvent)
        CloseHandle(FControlEvent);
    if (FAckEvent)
        CloseHandle(FAckEvent);
    for (HANDLE H : Handles)
        FindCloseChangeNotification(H);
}

DWORD WINAPI TChangeHandlerThread::ThreadProc(void* Self) {
    // Nothing may escape a thread; the worker raises nothing, but a guard costs nothing.
    try {
        static_cast<TChangeHandlerThread*>(Self)->Execute();
    } catch (...) {
    }
    return 0;
}

void TChangeHandlerThread::Execute() {
    for (;;) {
        HANDLE Wait[SlotCount + 1];
        int SlotOf[SlotCount + 1];
        DWORD N = 0;
        Wait[N] = FControlEvent;
        SlotOf[N++] = -1;
        for (int I = 0; I < SlotCount; ++I)
            if (FSlots[static_cast<size_t>(I)] != INVALID_HANDLE_VALUE) {
                Wait[N] = FSlots[static_cast<size_t>(I)];
                SlotOf[N++] = I;
            }
        DWORD R = WaitForMultipleObjects(N, Wait, FALSE, INFINITE);
        if (R == WAIT_OBJECT_0) {
            switch (FCommand) {
            case TCommand::Add: {
                FResultSlot = -1;
                for (int I = 0; I < SlotCount; ++I)
                    if (FSlots[static_cast<size_t>(I)] == INVALID_HANDLE_VALUE) {
                        FSlots[static_cast<size_t>(I)] = FPendingHandle;
                        FPendingHandle = INVALID_HANDLE_VALUE;
                        FResultSlot = I;
                        break;
                    }
                break;
            }
            case TCommand::RemoveAll:
                for (HANDLE& H : FSlots)
                    if (H != INVALID_HANDLE_VALUE) {
                        FindCloseChangeNotification(H);
                        H = INVALID_HANDLE_VALUE;
                    }
                break;
            case TCommand::Count: {
                int Count = 0;
                for (HANDLE H : FSlots)
                    if (H != INVALID_HANDLE_VALUE)
                        ++Count;
                FResultSlot = Count;
                break;
            }
            case TCommand::Stop:
                return;
            case TCommand::None:
                break;
            }
            SetEvent(FAckEvent);
        } else if (R > WAIT_OBJECT_0 && R < WAIT_OBJECT_0 + N) {
            int Slot = SlotOf[R - WAIT_OBJECT_0];
            if (Slot >= 0 && Slot < SlotCount) {
                if (FWindow)
                    PostMessageA(FWindow, FMessage, static_cast<WPARAM>(Slot), 0);
                HANDLE& H = FSlots[static_cast<size_t>(Slot)];
                if (!FindNextChangeNotification(H)) {
                    FindCloseChangeNotification(H);
                    H = INVALID_HANDLE_VALUE;
                }
            }
        } else if (R > WAIT_ABANDONED_0 && R < WAIT_ABANDONED_0 + N) {
            int Slot = SlotOf[R - WAIT_ABANDONED_0];
            HANDLE& H = FSlots[static_cast<size_t>(Slot)];
            FindCloseChangeNotification(H);
            H = INVALID_HANDLE_VALUE;
        } else if (R == WAIT_FAILED) {
            // Should a handle have gone bad, do not spin: give the GUI thread a moment.
            Sleep(10);
        }
    }
}

bool TChangeHandlerThread::RunCommand(TCommand Command) {
    if (!FThread)
        return false;
    FCommand = Command;
    ResetEvent(FAckEvent);
    SetEvent(FControlEvent);
    return WaitForSingleObject(FAckEvent, 2000) == WAIT_OBJECT_0;
}

bool TChangeHandlerThread::Add(const std::string& Path, DWORD Filter, int& Slot, bool WatchSubtree) {
    if (Path.empty() || !FThread)
        return false;
    HANDLE H = FindFirstChangeNotificationA(Path.c_str(), WatchSubtree ? TRUE : FALSE, Filter);
    if (H == INVALID_HANDLE_VALUE)
        return false;
    if (FPendingHandle != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FPendingHandle);
    FPendingHandle = H;
    if (!RunCommand(TCommand::Add))
        return false;
    Slot = FResultSlot;
    return FResultSlot != -1;
}

void TChangeHandlerThread::RemoveAll() {
    RunCommand(TCommand::RemoveAll);
}

int TChangeHandlerThread::WatchCount() {
    return RunCommand(TCommand::Count) ? FResultSlot : -1;
}
