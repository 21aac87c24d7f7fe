#include "engine/EngineLifetime.h"

#include "engine/EngineContext.h"
#include "engine/EngineStores.h"

namespace {

// Undoes a start-up whose later step failed, so that a refused load leaves nothing behind.
class StartupUndo {
public:
    ~StartupUndo() {
        if (armed_)
            engineShutdown();
    }
    void keep() { armed_ = false; }

private:
    bool armed_ = true;
};

} // namespace

void engineLoad(HMODULE module) {
    engineStartup();
    StartupUndo undo;
    engineAttach(module);
    undo.keep();
}

void engineUnload() {
    if (!engineStarted())
        return;
    engineDetach();
    progressWindowDestroy();
    engineShutdown();
}
