#pragma once
// Counts per tag name that a validation run collects: openings, closings and a third count, and
// counts by flag.

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

namespace zel::run {

class StructureStore;

class TagCountStore {
public:
    struct Row {
        std::string name;
        int32_t counts[3] = {0, 0, 0}; // open, close, third
        int32_t byFlag[3] = {0, 0, 0}; // flags 1, 2, 4
    };
    // The row of the name (case-blind), created when missing; it stays where it is.
    Row& row(const std::string& name);
    int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
    // Rows counted from 1, as the getters number them; nullptr outside.
    const Row* rowAt(int32_t index) const;

private:
    std::deque<Row> rows_;                          // rows stay in place as more are added
    std::unordered_map<std::string, size_t> index_; // upper-cased name -> row
};

// One row per element name (case-blind, first spelling, in order of first appearance) with the
// number of its opening tags (count 1) and closing tags (count 2) in the document's structure.
void countTags(const StructureStore& structure, TagCountStore& counts);

} // namespace zel::run
