#pragma once
// The ordered record of a document's pieces that a validation run builds: tags, closing tags,
// comments, text runs, ignored stretches and entities, with an index of the open elements.

#include <cstdint>
#include <deque>
#include <ostream>
#include <unordered_map>
#include <string>
#include <vector>

#include "engine/utils/TextArena.h"

namespace zel::run {

enum StructureKind : int32_t {
    EntryOpeningTag = 0,
    EntryEntity = 3,
    EntryClosingTag = 4,
    EntryText = 5,
    EntryDeclaration = 6,
    EntryIgnored = 7,
};

constexpr int32_t kNotOpen = -2;

// An entry's text: kept by the store that made it, as long as that store is not reset.
class StructureText {
public:
    StructureText() = default;
    explicit StructureText(const char* text) : text_(text) {}
    const char* c_str() const { return text_; }
    bool empty() const { return *text_ == 0; }
    size_t size() const;
    std::string str() const { return text_; }
    operator std::string() const { return text_; } // NOLINT: passed where names are wanted
    friend bool operator==(const StructureText& a, const char* b);
    friend bool operator==(const StructureText& a, const std::string& b) { return a == b.c_str(); }
    friend std::string operator+(const char* a, const StructureText& b) { return std::string(a) + b.text_; }
    friend std::ostream& operator<<(std::ostream& out, const StructureText& t) { return out << t.text_; }

private:
    const char* text_ = "";
};

// Kept small: a long document has about one entry for every ten of its characters.
struct StructureEntry {
    StructureText text; // the piece's text; the element name for tags
    int32_t line = -1;
    int32_t character = -1;
    int32_t closingEntry = -1; // the closing tag's entry of an opening tag
    // Readers tell 0, 2 and any other rule apart; a rule outside the field's range is kept as 1.
    // One type for all the bit fields: they share one word under every layout rule.
    uint32_t closingRule : 20;
    uint32_t kind : 8;
    uint32_t closed : 1;
    uint32_t nestingReported : 1;
    uint32_t quickClose : 1;
    uint32_t inactive : 1;
    StructureEntry()
        : closingRule(0), kind(EntryText), closed(false), nestingReported(false), quickClose(false),
          inactive(false) {}
};
static_assert(sizeof(StructureEntry) == sizeof(void*) + 16, "a structure entry grew");

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
    // Closes an open entry without a closing tag (an element whose closing tag is optional,
    // ended by what follows it): marks it closed and takes it off its name's stack. False when
    // the entry is not the top open entry of its name.
    bool closeImplied(int32_t index);
    void reset();

    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    int32_t countOf(int32_t kind) const;
    // Asked for many times for each tag: defined here, so that callers index the entries directly.
    const StructureEntry* entry(int32_t i) const {
        return i >= 0 && i < count() ? &entries_[static_cast<size_t>(i)] : nullptr;
    }
    StructureEntry* entry(int32_t i) {
        return i >= 0 && i < count() ? &entries_[static_cast<size_t>(i)] : nullptr;
    }
    // The case-blind key of a name, as findOpenKey takes it.
    static std::string key(const std::string& name);
    // findOpen for a name already made a key: callers that ask about the same names for every
    // tag make their keys once.
    int32_t findOpenKey(const std::string& key, int32_t flags) const;
    int32_t lastAdded() const { return count() - 1; }

    // The open entries of one name. A caller that asks about the same names for every tag keeps
    // the record (it stays in place until the store is reset) and skips the lookup by name.
    struct OpenRecord {
        std::vector<int32_t> stack;
        int32_t openings = 0;
        int32_t closings = 0;
        bool seen = false; // a tag of the name was added, or the name was assumed open
        bool body = false; // the key is "BODY"
    };
    OpenRecord& openRecord(const std::string& key);
    int32_t findOpenIn(const OpenRecord& record, int32_t flags) const;

private:
    // A tag or entity name as written: its one kept copy, and for a tag the open record of its
    // key, found once for the name rather than by its key again for every tag.
    struct Name {
        const char* kept = nullptr;
        OpenRecord* record = nullptr;
    };
    Name& name(const std::string& text);
    // A deque: a long document's entries grow without copying them all on every growth.
    std::deque<StructureEntry> entries_;
    int32_t kindCounts_[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::unordered_map<std::string, OpenRecord> open_;
    std::unordered_map<std::string, Name> names_;
    TextArena text_;
};

} // namespace zel::run
