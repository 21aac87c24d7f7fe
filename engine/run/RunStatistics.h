#pragma once
// The slots of a validation run's statistics list, as the results' statistics getters number them.

#include <cstdint>

namespace zel::run {

enum RunStatistic : int32_t {
    StatDoctypes = 0,
    StatServerSections = 1,
    StatLinesIgnored = 2,
    StatComments = 4,
    StatXmlDeclarations = 5,
    StatUncountedTags = 6, // tags that do not count as tags (server-side names)
};

constexpr int32_t kRunStatisticCount = 7;

} // namespace zel::run
