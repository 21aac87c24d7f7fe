#include "engine/SystemLock.h"

#include <algorithm>

namespace {

// The holder records of every lock, in memory shared by name between the processes.
constexpr const char* kSectionName = "ZELEngineLockHolders";
constexpr int32_t kSlots = 8;
// A waiter looks at the holder after waiting this long, and again after every such wait.
constexpr DWORD kSlice = 100;

HANDLE section = nullptr;
volatile LONG64* records = nullptr;
LONG64 ownToken = 0;

// This process in a holder record: its id and the low part of its creation time, so that a
// later process that happens to get the same id is not taken for the holder.
LONG64 tokenOf(DWORD processId, const FILETIME& created) {
    return static_cast<LONG64>((static_cast<uint64_t>(processId) << 32) | (created.dwLowDateTime | 1u));
}

LONG64 readRecord(volatile LONG64* record) {
    return InterlockedCompareExchange64(record, 0, 0);
}

// False only when the recorded process is certainly gone: it ended, or its id now names another
// process. A process we may not look at is taken to be alive.
bool holderAlive(LONG64 token) {
    const DWORD processId = static_cast<DWORD>(static_cast<uint64_t>(token) >> 32);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    FILETIME created, exited, kernel, user;
    if (alive && GetProcessTimes(process, &created, &exited, &kernel, &user))
        alive = tokenOf(processId, created) == token;
    CloseHandle(process);
    return alive;
}

} // namespace

void openLockHolderRecords() {
    if (!ownToken) {
        FILETIME created{}, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        ownToken = tokenOf(GetCurrentProcessId(), created);
    }
    if (records)
        return;
    section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(kSlots * sizeof(LONG64)), kSectionName);
    if (!section)
        return;
    records = static_cast<volatile LONG64*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0));
    if (!records) {
        CloseHandle(section);
        section = nullptr;
    }
}

void closeLockHolderRecords() {
    if (records)
        UnmapViewOfFile(const_cast<LONG64*>(records));
    if (section)
        CloseHandle(section);
    records = nullptr;
    section = nullptr;
}

void SystemLock::open(const char* name, int32_t slot) {
    close();
    semaphore_ = CreateSemaphoreA(nullptr, 1, 1, name);
    // Without the shared section the record stays in this process: takeover then works only
    // between its own threads' waits, which never need it; the semaphore still serialises.
    holder_ = records && slot >= 0 && slot < kSlots ? records + slot : &ownRecord_;
}

void SystemLock::close() {
    if (semaphore_)
        CloseHandle(semaphore_);
    semaphore_ = nullptr;
    holder_ = nullptr;
}

void SystemLock::record() {
    InterlockedExchange64(holder_, ownToken);
}

SystemLock::Outcome SystemLock::acquire(DWORD limit) {
    const DWORD thread = GetCurrentThreadId();
    if (ownerThread_.load() == thread) {
        ++depth_;
        return Held;
    }
    const Outcome outcome = semaphore_ ? wait(limit) : Held;
    if (outcome != Busy) {
        ownerThread_ = thread;
        depth_ = 1;
    }
    return outcome;
}

SystemLock::Outcome SystemLock::wait(DWORD limit) {
    const ULONGLONG start = GetTickCount64();
    bool unrecorded = false;
    ULONGLONG unrecordedSince = 0;
    DWORD slice = std::min(limit, kSlice);
    for (;;) {
        const DWORD waited = WaitForSingleObject(semaphore_, slice);
        if (waited == WAIT_OBJECT_0) {
            record();
            return Held;
        }
        // A semaphore that cannot be waited on holds nothing back, as a missing one does.
        if (waited != WAIT_TIMEOUT)
            return Held;
        const ULONGLONG now = GetTickCount64();
        const LONG64 holder = readRecord(holder_);
        if (holder == 0) {
            if (!unrecorded) {
                unrecorded = true;
                unrecordedSince = now;
            } else if (now - unrecordedSince >= kUnrecordedHolderLimit &&
                       InterlockedCompareExchange64(holder_, ownToken, 0) == 0) {
                return TakenOver;
            }
        } else {
            unrecorded = false;
            // The semaphore's count stays taken: the dead holder's hold becomes ours.
            if (holder != ownToken && !holderAlive(holder) &&
                InterlockedCompareExchange64(holder_, ownToken, holder) == holder)
                return TakenOver;
        }
        if (limit != INFINITE) {
            const ULONGLONG spent = now - start;
            if (spent >= limit)
                return Busy;
            slice = static_cast<DWORD>(std::min<ULONGLONG>(limit - spent, kSlice));
        }
    }
}

void SystemLock::release() {
    if (ownerThread_.load() != GetCurrentThreadId() || --depth_ > 0)
        return;
    ownerThread_ = 0;
    if (!semaphore_)
        return;
    // Cleared first: a record that named us after the semaphore went back could name us while
    // another process holds the lock.
    InterlockedCompareExchange64(holder_, 0, ownToken);
    ReleaseSemaphore(semaphore_, 1, nullptr);
}
