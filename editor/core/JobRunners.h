#pragma once
// The editor's engine jobs: validation of a document or a file, and the text tools.

#include "editor/core/EngineNetwork.h"

#include <cstdint>

class fileinfoclass;

enum ValidationFlags : int32_t {
    ValidateQuiet = 2,
    ValidateFile = 4,
    ValidateNoCounts = 8,
    ValidateKeepProgress = 0x20,
};
enum ToolFlags : int32_t { ToolTakeOutput = 1, ToolQuiet = 2, ToolOnFile = 4 };

// The answer of RunValidationJob when the user gave up waiting for another program's hold on the
// engine: the status line already says so, and no failure is to be told.
inline constexpr int32_t ValidationCancelled = -8;

int32_t RunValidationJob(fileinfoclass* document, int32_t mode, int32_t flags);
int32_t RunTool(int32_t toolType, int32_t flags);
int32_t LoadNetworkConfig(NetworkConfigClass* record, int32_t flags);
int32_t RevalidateLastDocument();
