#pragma once
// The built-in attribute value kinds of the configuration (value records with a type code) and
// the quoting rules of value records.

#include <cstdint>
#include <string>
#include <vector>

namespace zel::checks {

struct KindOptions {
    bool cfml = false;                     // values of code 17 begin with the CFML placeholder
    bool underscore = false;               // code 11 also takes "_"
    std::vector<std::string> placeholders; // removed for a second try of the codes marked so
};

// Whether the built-in kind accepts the value (hasValue false: the attribute was written
// without "="). A code the engine does not know refuses (known set to false). message receives
// 319 or 320 when the six-digit form was nearly met, else 0.
bool kindAccepts(int32_t code, const std::string& value, bool hasValue, const KindOptions& o,
                 int32_t& message, bool& known);

// The kind's name in suggestions, or nullptr for the kinds that are never suggested.
const char* kindSuggestionName(int32_t code);

// The 16 basic and 140 extended colour names.
bool isBasicColorName(const std::string& value);
bool isExtendedColorName(const std::string& value);

struct QuotingOptions {
    bool ignoreRequirements = false; // IgnoreQuotationRequirements
    bool allEquivalent = false;      // TreatAllQuotesEquivalent
    bool requireQuoted = false;      // RequireQuotedAttValues
};

// The message of a quoting rule against the form the value was written in (0 none, 1 single,
// 2 double quotation marks), or 0.
int32_t quotingMessage(int32_t rule, int32_t quoting, const QuotingOptions& o);

} // namespace zel::checks
