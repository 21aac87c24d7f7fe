// A second process for the lock tests: takes one of the engine's system-wide locks as the engine
// does, says so, and holds it until it is told to let go (or is killed holding it).
//   engine_lock_holder <new|run> <event to set when held> <event that lets go>
#include <windows.h>

#include <cstring>

#include "engine/EngineContext.h"

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE letGo = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (!held || !letGo)
        return 3;
    engineStartup();
    EngineContext& ctx = engineContext();
    SystemLock& lock = std::strcmp(argv[1], "new") == 0 ? ctx.newHandleLock : ctx.runJobLock;
    if (lock.acquire() == SystemLock::Busy)
        return 4;
    SetEvent(held);
    WaitForSingleObject(letGo, INFINITE);
    lock.release();
    engineShutdown();
    return 0;
}
