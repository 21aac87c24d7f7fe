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
    HSDeleteRegKey(HKEY_CURRENT_USER, FKey, "");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZELTests"); // only when empty
}
