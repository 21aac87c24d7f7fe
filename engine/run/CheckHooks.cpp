#include "engine/run/CheckHooks.h"

#include "engine/checks/CheckRun.h"
#include "engine/checks/EntityChecks.h"
#include "engine/checks/StructureChecks.h"
#include "engine/checks/TagChecks.h"
#include "engine/run/ValidateArgs.h"

namespace zel::run {

// Without a configuration (the walk's own tests) the checks have nothing to check against and
// accept everything; a real run always has one.

int validateTagHook(ValidateArgsClass& args) {
    checks::CheckRun* run = checks::checkRun(args);
    return run ? checks::validateTag(*run) : 1;
}

int validateCloseTagHook(ValidateArgsClass& args) {
    checks::CheckRun* run = checks::checkRun(args);
    return run ? checks::validateCloseTag(*run) : 1;
}

size_t checkEntityHook(ValidateArgsClass& args, const std::string& line, size_t pos, int32_t lineNumber) {
    checks::CheckRun* run = checks::checkRun(args);
    return run ? checks::scanEntity(*run, line, pos, lineNumber) : pos + 1;
}

void writeStructureListingHook(ValidateArgsClass& args, LineSink& sink, int32_t flags) {
    checks::writeStructureListing(args.structure, sink, flags);
}

int32_t programsRunHook(const ValidateArgsClass& args) {
    return args.interpreter.counters.value(0);
}

} // namespace zel::run
