#pragma once
// The option values a validation run reads, copied once when the run starts so that options
// changed while it runs (from a dialog opened inside a box, say) cannot affect it.

#include <cstdint>
#include <string>

#include "engine/OptionBits.h"
#include "engine/OptionDefaults.h"

namespace zel::run {

struct RunOptions {
    uint32_t validatorFlags = defaults::ValidatorFlags;
    uint32_t outputFlags = defaults::OutputFlags;
    uint32_t entityFlags = defaults::EntityFlags;
    uint32_t generalFlags = defaults::GeneralFlags;
    uint32_t loggingFlags = defaults::LoggingFlags;
    uint32_t switches500 = defaults::Switches500;
    uint32_t validatorFlags250 = defaults::ValidatorFlags250;
    int32_t lineLength = defaults::LineLength;
    int32_t maximumErrors = defaults::MaximumErrors;
    int32_t maximumWarnings = defaults::MaximumWarnings;
    std::string logFileName;
    std::string outputFileName;

    bool validator(uint32_t bit) const { return (validatorFlags & bit) != 0; }
    bool output(uint32_t bit) const { return (outputFlags & bit) != 0; }
    bool entity(uint32_t bit) const { return (entityFlags & bit) != 0; }
    bool logging(uint32_t bit) const { return (loggingFlags & bit) != 0; }
    // Switch numbers 500-529; other numbers are off.
    bool switchOn(int32_t n) const { return n >= 500 && n <= 529 && ((switches500 >> (n - 500)) & 1u) != 0; }
};

// Short names of the option words' bit sets (OptionBits.h is their one home).
namespace vf = bits::validator;
namespace of = bits::output;
namespace ef = bits::entity;
namespace lf = bits::logging;

} // namespace zel::run
