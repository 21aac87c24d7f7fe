#pragma once
// The job runner behind ZELRunJob, and what it shares with the output step.

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/run/RunOptions.h"

class ConfigClass;
class JobClass;
class ResultClass;

namespace zel::run {

struct ArgsClass;

// Code of ZELRunJob for a run started on a thread that is already inside one (from a box shown
// during the run, say): the run semaphore would never be released to it.
constexpr int32_t kRunAlreadyUnderWay = -20;

// The work of ZELRunJob: a new results handle for the run of the job with the options, or a
// negative code (a bad handle after its box; ZEL_RUN_BUSY when another process held the engine's
// locks past waitLimit milliseconds).
int32_t runJob(HWND window, int32_t optionsHandle, int32_t jobHandle, DWORD waitLimit = INFINITE);

// The option values a run reads, copied from an options object.
RunOptions runOptionsFrom(const ConfigClass& options);

// Flags of outputFileName.
constexpr int32_t kOutputNameStore = 0x1; // store the name as job string 8001
constexpr int32_t kOutputNameKeep = 0x2;  // with kOutputNameStore: a non-empty 8001 stays

// The output file's name: the input name for path jobs, else the input name with ".val" when
// that choice holds, else the options' output file. Empty without the three objects.
std::string outputFileName(const ArgsClass& args, int32_t flags);

} // namespace zel::run
