#pragma once
// After a job: the output file (with its ".bak" backup in mode 1) and, after validating a file,
// the completion boxes and the output viewer.

#include <cstdint>
#include <string>

namespace zel::run {

struct ArgsClass;

// Writes results line store 1 to the output file named by job string 8001. Mode 1 moves the
// previous file to a ".bak" backup first (kept with ToolsCreateBAKFiles), mode 2 writes without
// a backup. 0, -1 when the backup step fails, -2 when writing fails, -3 without the options,
// -4 without a job or results, -5 when the file cannot be opened in mode 2.
int32_t runOutputStep(ArgsClass& args, int32_t mode);

// The end-of-validation box or question, the viewer, and the removal of an output file that
// holds nothing worth viewing. For a validated file only.
void showCompletion(ArgsClass& args);

// The line end of the job's output (job value 5002, 5 takes the tools' file type).
std::string outputLineEnd(int32_t lineEndCode, int32_t toolsFileType);

} // namespace zel::run
