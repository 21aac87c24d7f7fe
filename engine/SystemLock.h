#pragma once
// A lock shared by every process that loads the engine. It is a named semaphore of count 1, whose
// name other programs wait on, so they serialise with us as they always did; beside it, in memory
// that those processes share, a record of the process that holds it. A process killed inside its
// hold never gives the semaphore back: a waiter that finds the recorded holder gone takes the
// lock over instead of waiting for good.
//
// Taking and giving back a free lock costs what the semaphore alone cost (one wait, one release):
// the record is plain shared memory. Only a waiter that has waited a moment looks at the holder.

#include <windows.h>

#include <atomic>
#include <cstdint>

class SystemLock {
public:
    enum Outcome : int32_t {
        Held,      // the lock is ours
        TakenOver, // ours, from a holder that died holding it
        Busy,      // a live holder kept it past the time limit
    };

    SystemLock() = default;
    SystemLock(const SystemLock&) = delete;
    SystemLock& operator=(const SystemLock&) = delete;
    ~SystemLock() { close(); }

    // Opens or creates the semaphore of that name and the holder record in the given slot (one
    // slot for each lock name, the same in every process).
    void open(const char* name, int32_t slot);
    void close();
    HANDLE semaphore() const { return semaphore_; }

    // Waits for the lock: at most limit milliseconds, or with INFINITE as long as a live holder
    // keeps it. A thread that holds it already holds it once more. Without a semaphore (it could
    // not be made) there is nothing to wait for.
    Outcome acquire(DWORD limit = INFINITE);
    // Gives back one hold of the calling thread.
    void release();

    // How long an empty record beside a taken semaphore is believed: a holder records itself the
    // moment after it took the semaphore, and clears its record the moment before it gives the
    // semaphore back, so a record that stays empty names a holder that died in between, or a
    // program that knows the semaphore but keeps no record.
    static constexpr DWORD kUnrecordedHolderLimit = 30000;

private:
    Outcome wait(DWORD limit);
    void record();
    HANDLE semaphore_ = nullptr;
    volatile LONG64* holder_ = nullptr;
    LONG64 ownRecord_ = 0; // this process in its own record, when the process-wide section is missing
    std::atomic<DWORD> ownerThread_{0};
    int32_t depth_ = 0;
};

// Holds a lock for a scope; held() is false when a live holder kept it past the limit.
class SystemLockHold {
public:
    explicit SystemLockHold(SystemLock& lock, DWORD limit = INFINITE)
        : lock_(lock), outcome_(lock.acquire(limit)) {}
    ~SystemLockHold() {
        if (held())
            lock_.release();
    }
    SystemLockHold(const SystemLockHold&) = delete;
    SystemLockHold& operator=(const SystemLockHold&) = delete;
    bool held() const { return outcome_ != SystemLock::Busy; }
    SystemLock::Outcome outcome() const { return outcome_; }

private:
    SystemLock& lock_;
    SystemLock::Outcome outcome_;
};

// The section of holder records, opened at the engine's start and closed at its end.
void openLockHolderRecords();
void closeLockHolderRecords();
