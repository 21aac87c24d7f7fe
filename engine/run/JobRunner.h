#pragma once
// The job runner behind ZELRunJob, and what it shares with the output step.

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

// The option values a run reads, copied from an options object.
RunOptions runOptionsFrom(const ConfigClass& options);

// The output file's name: the input name for path jobs, else the input name with ".val" when
// that choice holds, else the options' output file. Flag 1 stores it as job string 8001 (with
// flag 2 a non-empty 8001 stays). Empty without the three objects.
std::string outputFileName(const ArgsClass& args, int32_t flags);

// Steps of other parts of the engine the runner calls: the path jobs (1-5), writing the output
// file in mode 1 or 2, and the completion boxes with the viewer. Each returns 0 or more on success.
int32_t runPathJobHook(ArgsClass& args);
int32_t writeOutputFileHook(ArgsClass& args, int32_t mode);
void completionHook(ArgsClass& args);

} // namespace zel::run
