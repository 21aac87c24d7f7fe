#pragma once
// The option values a validation run reads, copied once when the run starts so that options
// changed while it runs (from a dialog opened inside a box, say) cannot affect it.

#include <cstdint>
#include <string>

namespace zel::run {

struct RunOptions {
    uint32_t validatorFlags = 0x3F01E317;    // 1000
    uint32_t outputFlags = 0x3FE0076B;       // 1001
    uint32_t entityFlags = 0x3FFE0003;       // 1002
    uint32_t generalFlags = 0x3FFC0005;      // 1003
    uint32_t loggingFlags = 0x1FFF4;         // 1006
    uint32_t switches500 = 0x7FFFFFFF;       // switches 500-529
    uint32_t validatorFlags250 = 0x3FFF8000; // 1021
    int32_t lineLength = 60;
    int32_t maximumErrors = 20;
    int32_t maximumWarnings = 20;
    std::string logFileName;
    std::string outputFileName;

    bool validator(uint32_t bit) const { return (validatorFlags & bit) != 0; }
    bool output(uint32_t bit) const { return (outputFlags & bit) != 0; }
    bool entity(uint32_t bit) const { return (entityFlags & bit) != 0; }
    bool logging(uint32_t bit) const { return (loggingFlags & bit) != 0; }
    // Switch numbers 500-529; other numbers are off.
    bool switchOn(int32_t n) const { return n >= 500 && n <= 529 && ((switches500 >> (n - 500)) & 1u) != 0; }
};

// Bits of the validator word (1000).
namespace vf {
constexpr uint32_t CheckNesting = 0x1;
constexpr uint32_t StrictComments = 0x4;
constexpr uint32_t MultiLineQuotes = 0x8;
constexpr uint32_t ServerSections = 0x10;
constexpr uint32_t HighCharacters = 0x20;
constexpr uint32_t CollapseServerSections = 0x100;
constexpr uint32_t CFML = 0x200000;
constexpr uint32_t SpacesBeforeClose = 0x800; // set: blanks before ">" are allowed
constexpr uint32_t MivaMacros = 0x2000;
constexpr uint32_t PHPBlocks = 0x4000;
constexpr uint32_t RequireQuickClose = 0x40000;
} // namespace vf

// Bits of the output word (1001).
namespace of {
constexpr uint32_t ListDocument = 0x1;
constexpr uint32_t ShowComments = 0x2;
constexpr uint32_t ListWholeFirst = 0x4;
constexpr uint32_t ShowWarnings = 0x8;
constexpr uint32_t CommentWarnings = 0x10;
constexpr uint32_t StructureListing = 0x40;
constexpr uint32_t UseCompactForm = 0x80;
constexpr uint32_t ShowEntities = 0x100;
constexpr uint32_t ShowExtendedInfo = 0x200;
constexpr uint32_t ShowMessages = 0x400;
constexpr uint32_t ShowLineNumbers = 0x200000;
} // namespace of

// Bits of the entity word (1002).
namespace ef {
constexpr uint32_t DoubleQuotesInText = 0x1;
constexpr uint32_t ValidateEntities = 0x2;
} // namespace ef

// Bits of the logging word (1006).
namespace lf {
constexpr uint32_t LogErrors = 0x1;
constexpr uint32_t LogWarnings = 0x2;
constexpr uint32_t ListLines = 0x4;
constexpr uint32_t Logging = 0x8;
} // namespace lf

} // namespace zel::run
