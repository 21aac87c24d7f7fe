#pragma once
// The ordered record of a document's pieces that a validation run builds: tags, closing tags,
// comments, text runs, ignored stretches and entities, with an index of the open elements.

#include <cstdint>
#include <deque>
#include <unordered_map>
#include <string>
#include <vector>

namespace zel::run {

enum StructureKind : int32_t {
    EntryOpeningTag = 0,
    EntryEntity = 3,
    EntryClosingTag = 4,
    EntryText = 5,
    EntryDeclaration = 6,
    EntryIgnored = 7,
};

enum StructureProperty : int32_t {
    PropClosingRule = 0,
    PropClosed = 1,
    PropNestingReported = 2,
    PropLatestClosing = 3,
    PropQuickClose = 4,
    PropInactive = 5,
    PropClosingEntry = 6,
};

constexpr int32_t kNotOpen = -2;

struct StructureEntry {
    int32_t kind = EntryText;
    std::string text; // the piece's text; the element name for tags
    int32_t line = -1;
    int32_t character = -1;
    int32_t properties[7] = {0, 0, 0, 0, 0, 0, -1};
};

class StructureStore {
public:
    // Appends an entry; returns its index. Opening tags with a closing rule other than 2 stand
    // open until a closing tag of their name pops them; closing tags pop the name's top entry.
    int32_t add(int32_t kind, const std::string& text, int32_t line, int32_t character,
                int32_t closingRule = 0);
    // The index of the top open entry of the name (case-blind), or kNotOpen. With flags 2 and 4
    // together, a "body" that was never seen counts as open (-1): a fragment stands in a body.
    int32_t findOpen(const std::string& name, int32_t flags = 1) const;
    // Marks a container as open before the document's first tag: it stands on the name's stack
    // with the index -1 (there is no entry for it).
    void pushAssumed(const std::string& name);
    void reset();

    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    int32_t countOf(int32_t kind) const;
    const StructureEntry* entry(int32_t i) const;
    StructureEntry* entry(int32_t i);
    int32_t lastAdded() const { return count() - 1; }

private:
    struct OpenRecord {
        std::vector<int32_t> stack;
        int32_t openings = 0;
        int32_t closings = 0;
    };
    static std::string key(const std::string& name);
    // A deque: a long document's entries grow without copying them all on every growth.
    std::deque<StructureEntry> entries_;
    int32_t kindCounts_[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::unordered_map<std::string, OpenRecord> open_;
};

} // namespace zel::run
