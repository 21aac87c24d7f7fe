// The results object owns what a validation run built; it is freed through the handle table.
#include "engine/EngineContext.h"
#include "engine/ResultClass.h"
#include "engine/run/MsgStore.h"
#include "engine/run/TagCountStore.h"
#include "engine/run/ValidateArgs.h"

ResultClass::~ResultClass() {
    if (engineStarted() && engineContext().currentResults == this)
        engineContext().currentResults = nullptr;
    delete messages;
    delete tagCounts;
    delete validation;
}
