#include "TestRegistryKey.h"

TTestRegistryKey::TTestRegistryKey() : FSavedKey(RegistryKey), FSavedBlocks(RegistryLongBuffersInBlocks) {
    static int Serial = 0;
    FKey = "Software\\ZELTests\\Foundation" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++Serial);
    HSDeleteRegKey(HKEY_CURRENT_USER, FKey, "");
    RegistryKey = FKey;
}

TTestRegistryKey::~TTestRegistryKey() {
    RegistryKey = FSavedKey;
    RegistryLongBuffersInBlocks = FSavedBlocks;
    // The shared parent key stays: deleting it while empty races with other test programs that
    // are creating their own keys under it at the same moment.
    HSDeleteRegKey(HKEY_CURRENT_USER, FKey, "");
}
