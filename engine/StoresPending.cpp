// Answers for stores whose library is not linked in yet: no store is ever built, so the getters
// only reach these through a pointer that stays NULL. Delete a group when its library defines it.
// (The configuration store is engine/config/CfgStoreAccess.cpp; the run's stores are engine/run.)
#include "engine/EngineStores.h"
