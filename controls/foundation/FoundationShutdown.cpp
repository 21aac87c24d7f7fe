#include "controls/foundation/FoundationShutdown.h"

#include <exception>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/FileSystem.h"
#include "controls/foundation/FreeNotifications.h"
#include "controls/foundation/OptionObjects.h"
#include "controls/foundation/PackagedRegistries.h"
#include "controls/foundation/PropFileSystem.h"
#include "controls/foundation/RegistryStorage.h"

void ShutdownFoundation() {
    std::exception_ptr Failure;
    try {
        FreeGlobalOptions();
    } catch (...) {
        Failure = std::current_exception();
    }
    FreeFamilyRegistry();
    FreeFileSystems();
    FreeComponentIds();
    FreePackagedRegistries();
    FreeObjectParamList();
    FreeNotifierObjects();
    dcClearFreeNotifications();
    if (Failure)
        std::rethrow_exception(Failure);
}
