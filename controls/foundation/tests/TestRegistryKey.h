#pragma once
// Points the family key at a throwaway key under HKEY_CURRENT_USER\Software\ZELTests for one
// test and removes it afterwards.

#include <string>

#include "controls/foundation/RegistryStorage.h"

class TTestRegistryKey {
public:
    TTestRegistryKey();
    ~TTestRegistryKey();
    // The full key path below HKEY_CURRENT_USER.
    const std::string& Key() const { return FKey; }

private:
    std::string FSavedKey;
    bool FSavedBlocks;
    std::string FKey;
};
