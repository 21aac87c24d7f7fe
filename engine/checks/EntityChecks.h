#pragma once
// Character entities in text and attribute values: the built-in HTML 4.01 entity sets, numeric
// references and the configuration's entity records.

#include <cstdint>
#include <string>

#include "engine/checks/CheckRun.h"

namespace zel::checks {

// The three built-in sets, in their stored order (alphabetical ignoring case, a capitalised name
// before its lower-case twin). Index 0 Latin-1 with amp, gt, lt and quot; 1 symbols, mathematical
// symbols and Greek letters; 2 special characters.
int32_t builtinEntityCount(int32_t list);
const char* builtinEntityName(int32_t list, int32_t index);

// Whether the name is a built-in name spelled exactly so (no configuration consulted).
bool isBuiltinEntity(const std::string& name);

enum EntityCheckFlags : int32_t { EntityAllowCfmlRetry = 0x1 };

// Checks an entity name (the text between "&" and ";"); emits what applies and returns 1 for a
// valid entity, 0 otherwise. shown is the text the messages name (the name when empty).
int checkEntity(CheckRun& run, const std::string& name, const std::string& shown, int32_t flags,
                const MsgLocation& at);

// The numeric test: 1 for a valid numeric entity ("#" and decimal digits, or "#x" and
// hexadecimal digits, in the allowed ranges), 0 otherwise (with hint 213 or 214 where they apply).
int numericEntity(CheckRun& run, const std::string& name);

// The scan at an "&" of a text line (0-based pos, 1-based line number): the position after the
// ";" of a valid entity (recorded in the structure store), or pos + 1.
size_t scanEntity(CheckRun& run, const std::string& line, size_t pos, int32_t lineNumber);

// Counts the "&" of an attribute value that start no known reference (built-in name, numeric
// reference or usable configuration entity spelled exactly), without any message.
int32_t unresolvedAmpersands(CheckRun& run, const std::string& value);

} // namespace zel::checks
