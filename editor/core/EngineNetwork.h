#pragma once
// The engine's network options as the update check needs them, copied from the options handle.

#include "engine/utils/StrStore.h"

#include <cstdint>

class NetworkConfigClass {
public:
    int32_t networkFlags = 0; // options integer 4003
    StrStore strings[4];      // options strings 7002, 7003, 7006, 7007
    StrStore agent;           // the agent name the update check sends
};

constexpr const char* ZelAgentText = "ZEL Orvalent Lite v3.0000";
constexpr const char* ZelUpdateCheckAgentText = "ZEL Orvalent Update Check";
