#pragma once
// Resolves a path written inside a document against the document's own location, with either
// separator: backslash (mode 1) or slash (mode 2).

#include <cstdint>
#include <string>

namespace zel::run {

namespace pathflag {
constexpr int32_t Backslash = 1;
constexpr int32_t Slash = 2;
constexpr int32_t BaseIsFile = 4;         // the base's last component is dropped first
constexpr int32_t SlashesToBackslash = 8; // the relative path's slashes become backslashes (mode 1)
constexpr int32_t NoDriveGivesBase = 16;  // a relative path without a drive answers the base
constexpr int32_t FragmentOfBase = 32;    // "#..." is a fragment of the base itself
} // namespace pathflag

// The resolved path; code 0, -1 when ".." climbs above the root, -2 without a separator mode,
// -3 when normalising fails.
std::string resolvePath(const std::string& base, const std::string& relative, int32_t flags, int32_t& code);
// After trimming: the first of "/", "\" and ":" in the text is ":".
bool hasDriveOrScheme(const std::string& text);
// Removes separator-dot-separator steps and folds separator-dot-dot-separator steps into the
// parent of what precedes them; code -2 when a ".." has no parent, -1 for a bad mode (empty).
std::string normalisePath(const std::string& path, int32_t mode, int32_t& code);
// Removes a "#" fragment: when the last of "\", "/" and "#" is "#", the text from it on.
std::string stripFragment(const std::string& address);
// The text after the last "/" up to a "?" after it; with flag 2 a "#" fragment is cut as well.
std::string fileOfAddress(const std::string& address, int32_t flags);

} // namespace zel::run
