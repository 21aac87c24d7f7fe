#pragma once
// The engine's network options as the update check needs them, copied from the options handle.

#include "engine/utils/StrStore.h"

#include <cstdint>

// The agent texts: the program's own, and the one update checks send.
constexpr const char* ZelAgentText = "ZEL Orvalent Lite 3.00 (http://www.nortavia.com)";
constexpr const char* ZelAgentTextShort = "ZEL Orvalent Lite (http://www.nortavia.com)";
constexpr const char* ZelUpdateCheckAgentText = "ZEL Orvalent Update Check";

// With flag 1: the program's agent text, with its version unless flag 2 is given; else "".
const char* GetAgentText(int32_t flags);

class NetworkConfigClass {
public:
    // Bit 0 clear: no proxy until the engine's options say otherwise.
    int32_t networkFlags = 0x7FFE; // options integer 4003
    // Options strings 7002, 7003, 7006, 7007: proxy host, port, user name and password.
    StrStore strings[4] = {"", "80", "", ""};
    StrStore agent = ZelAgentText; // the agent name the update check sends
    StrStore further;
    int32_t integers[2] = {30, 15};
};
