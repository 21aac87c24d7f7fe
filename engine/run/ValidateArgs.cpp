// The validation state's own life: set up for a run, taken down after it.
#include "engine/run/ValidateArgs.h"

#include "engine/run/DateTime.h"
#include "engine/run/MsgStore.h"

namespace zel::run {

ValidateArgsClass::ValidateArgsClass() : errors(0), internalErrors(ErrorStore::KeepFirst) {}

int ValidateArgsClass::initialize(int32_t flags, MsgStore* messageStore, const RunOptions& options) {
    if (!(flags & 1))
        return 0;
    if (!messageStore)
        return -2;
    runOptions = options;
    store = messageStore;
    store->setOptions(&runOptions);
    emitter = MessageEmitter{};
    emitter.store = store;
    emitter.options = &runOptions;
    emitter.pieceLocation = MsgLocation{1, -1, -1};
    emitter.tagStartLocation = MsgLocation{1, -1, -1};
    piece.clear();
    errors.clear();
    internalErrors.clear();
    structure.reset();
    checkState.reset();
    for (int32_t& s : statistics)
        s = 0;
    ignoreName.clear();
    ignoreStartLine = ignoreTagLine = 0;
    ignoring = false;
    tagsSeen = xmlDeclarations = 0;
    lastLineReached = currentLineIndex = 0;
    elapsed = 0.0;
    limitReached = false;
    reserved = -1;
    startTime = currentLocalTime();
    initialized = true;
    return 0;
}

int ValidateArgsClass::uninitialize(int32_t flags) {
    if (!(flags & 1) || !initialized)
        return 0;
    initialized = false;
    return 0;
}

void ValidateArgsClass::startIgnoring(const std::string& name, int32_t tagLine) {
    ignoreName = name;
    ignoreTagLine = tagLine;
    ignoreStartLine = tagLine;
    ignoring = true;
}

} // namespace zel::run
