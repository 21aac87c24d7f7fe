#pragma once
// The tool jobs over a job's input lines (job types 1-5): tag case, strip tags, the template
// tool and copy. Every output line goes to results line store 1.

#include <cstdint>
#include <string>
#include <vector>

namespace zel::run {

struct ArgsClass;

// 0, -1 when a line cannot be stored, -2 without a run record, -3 for another job type. The
// template tool reports its faults in a box and sets results flag 0x1 (the run stopped).
int32_t runPathJob(ArgsClass& args, int32_t flags);

// The tools one by one, on lines (for the job and for tests).
enum class TagCase { Upper, Lower };
std::vector<std::string> convertTagCase(const std::vector<std::string>& lines, TagCase to);
std::vector<std::string> stripTags(const std::vector<std::string>& lines);

// The template tool: lines of the document in, lines out; false after its box (the fault
// named in it).
struct TemplateInput {
    std::vector<std::string> lines;
    std::string documentName; // as the job names it (job string 8000)
    std::string dateFormat;   // the tools' formats, for CURRENTDATE and CURRENTTIME
    std::string timeFormat;
};
bool runTemplateTool(const TemplateInput& input, std::vector<std::string>& out);

} // namespace zel::run
