#pragma once
// The state the tag, closing-tag and entity checks keep for one validation run, and the small
// helpers they share: option bits, record usability, locations and suggestion lists.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/checks/ValueKinds.h"
#include "engine/config/CfgStore.h"
#include "engine/run/MessageIds.h"
#include "engine/run/ValidateArgs.h"
#include "engine/utils/CharClasses.h"

namespace zel::checks {

using run::MsgLocation;
using run::ValidateArgsClass;

// Short names of the option words' bit sets the checks read (OptionBits.h is their one home).
namespace vf = bits::validator;
namespace of = bits::output;
namespace ef = bits::entity;

// One token of the current tag: entry 0 is the name, the others its attributes.
struct TagEntry {
    std::string text;
    std::string upper; // text upper-cased, for the case-blind comparisons
    size_t textPos = 0;
    bool hasValue = false;
    std::string value;   // as written, without its quotation marks
    std::string decoded; // with its character entities translated
    size_t valuePos = 0;
    int32_t quoting = 0; // 0 none, 1 single, 2 double quotation marks
    bool matched = false;
    bool accepted = false;
    int32_t attributeMessage = msg::AttributeMessage;
    int32_t valueMessage = msg::ValueMessage;
    bool added = false;
    int32_t server = -1; // -1 not yet known, 0 no, 1 yes
    int32_t badAmpersands = 0;
    std::vector<int32_t> candidates; // value record numbers met while checking the value
};

// What the tag check needs of one attribute record, read once per run.
struct AttributeInfo {
    bool known = false;
    std::string upper; // the name upper-cased; a prefix name ("data-*") without its "*"
    bool prefix = false;
    bool requiredOrRecommended = false;
    bool ignoreAll = false; // the "(ignore all)" record
};

// The attribute records of one tag name record, indexed for the tag check.
struct AttributeIndex {
    std::vector<int32_t> records;              // the expanded list, in order
    std::vector<size_t> byName;                // positions of the plain names, sorted by name
    std::vector<size_t> prefixed;              // positions of the names ending in "*"
    std::vector<size_t> requiredOrRecommended; // positions
    bool ignoreAll = false;                    // lists "(ignore all)"
};

// A tag name record's valid (list 0) or excluding (list 1) container.
struct Container {
    int32_t number;
    int32_t pseudo; // 0 an element, 1 "(everywhere)", 2 "(first tag)"
    std::string name;
    std::string key; // the name as the structure store keys it
    size_t slot;     // the key's place among all containers' keys (CheckRun::open)
};

// What the checks derive from a configuration store's content alone, looked up once and then
// shared by the runs of that store for as long as its change count stays the same (an edit of
// the configuration, through recordAt() too, makes the next run derive them anew). Filled as the
// runs meet the names and records.
struct CfgTables {
    uint64_t changeCount = 0;
    std::unordered_map<std::string, std::vector<int32_t>> tagRecords; // upper-cased name -> numbers
    std::unordered_map<std::string, int32_t> entityPositions;
    std::unordered_map<int32_t, AttributeIndex> attributes;
    std::vector<AttributeInfo> attributeInfo;
    std::unordered_map<int32_t, std::vector<Container>> containers[2];
    std::unordered_map<std::string, size_t> containerSlots; // key -> slot
    std::string prepend112;                                 // the configuration's prefix of message 112
    // The names of the attributes valid for a set of tag name records (the unknown-attribute
    // message lists them, for some elements hundreds): quoted, each once, in the configuration's
    // order. Kept only for sets none of whose attributes has an undefined category, whose use
    // gives a message every time.
    struct ValidAttributes {
        size_t count = 0;
        std::string first;
        std::string joined; // "a", "b", and "c"
    };
    std::map<std::vector<int32_t>, ValidAttributes> validAttributes;
};

// Where the entity scan found the next ";" of a line, searching from a position on.
struct SemicolonCache {
    int32_t line = -1;
    size_t from = 0;
    size_t at = 0;
};

class CheckRun {
public:
    CheckRun(ValidateArgsClass& args, CfgStore* cfg);

    ValidateArgsClass& args;
    // Read only: the forms of CfgStore that hand out records for change count as changes, and
    // would make every run derive its tables anew.
    const CfgStore* cfg;

    bool validator(uint32_t bit) const { return args.runOptions.validator(bit); }
    bool output(uint32_t bit) const { return args.runOptions.output(bit); }
    bool entity(uint32_t bit) const { return args.runOptions.entity(bit); }
    bool flags1021(uint32_t bit) const { return (args.runOptions.validatorFlags250 & bit) != 0; }

    // Whether a record may be used: its category is active, or in the configuration's own list;
    // a record without a category always may. The undefined category gives warnId naming name.
    bool usable(int32_t kind, int32_t number, int32_t warnId, const char* name,
                const MsgLocation* at = nullptr);

    // Tag name record numbers with the name (case-blind), in the configuration's name order.
    const std::vector<int32_t>& tagRecords(const std::string& upperName);
    // The position of the first entity record with the name (case-blind), or -1; looked up
    // through the locale once per spelling and run, as pages repeat the same few entities.
    int32_t entityPosition(const std::string& name);
    const AttributeIndex& attributes(int32_t tagNumber);
    // The attribute record's information, or nullptr for a number without a record.
    const AttributeInfo* attributeInfo(int32_t number);
    // The attributes valid for the current tag's name records (see CfgTables::ValidAttributes).
    const CfgTables::ValidAttributes& validAttributes();
    // Appends the positions of the index's plain names equal to upperName.
    void findByName(const AttributeIndex& index, const std::string& upperName, std::vector<size_t>& out);

    // A tag name record's valid (list 0) and excluding (list 1) containers.
    using Container = checks::Container;
    const std::vector<Container>& containers(int32_t tagNumber, int32_t list);
    // The container's record in the run's structure store (elements only), so that placing a tag
    // does not look every container up by name.
    run::StructureStore::OpenRecord& open(const Container& c);

    KindOptions kindOptions;
    QuotingOptions quotingOptions;
    std::vector<size_t> positions;       // scratch of the attribute match
    std::vector<int32_t> scratchRecords; // scratch of the placement check
    std::vector<char> scratchKeep;
    std::vector<int32_t> scratchCandidates; // scratch of the value check
    SemicolonCache semicolons;              // of the entity scan

    // The placeholder words of the collapses enabled in this run.
    const std::vector<std::string>& placeholders() const { return placeholders_; }
    // Length of the placeholder word at text[pos], or 0.
    size_t placeholderAt(const std::string& text, size_t pos) const;

    MsgLocation at(size_t piecePos, size_t length = 0) const;

    // The current tag.
    std::vector<TagEntry> entries;
    std::vector<int32_t> nameRecords; // usable records of the element, in 32 bits
    bool requiresAttributes = false;
    bool refused = false;
    bool skipAttributes = false;
    bool quickClose = false;
    bool inactive = false;
    int32_t closingRule = 0;

    // Opening entries that need a closing tag and have not had it yet, by structure index in
    // ascending order (entries are added in that order; closings are mostly near the end).
    std::vector<int32_t> openRequired;
    // Tag name records whose configuration message was given in this run.
    std::unordered_set<int32_t> configMessagesGiven;

private:
    CfgStore* store_; // for the expanded attribute lists, which the store builds on first use
    std::shared_ptr<CfgTables> tables_;
    std::vector<std::string> placeholders_;
    std::vector<int8_t> usable_[CFG_KINDS]; // -1 not yet known, 0 no, 1 yes
    std::vector<run::StructureStore::OpenRecord*> openBySlot_;
    CfgTables::ValidAttributes scratchValidAttributes_;
};

// The run's check state, made on first use; nullptr when the run has no configuration.
CheckRun* checkRun(ValidateArgsClass& args);

std::string upperCase(const std::string& s);
// upperCase into a string the caller keeps, whose buffer is used again.
void upperCaseInto(const std::string& s, std::string& upper);
// Case-blind comparison of names: the configuration's own, with a fast path for plain ASCII.
bool namesEqual(const char* a, const char* b);
using chars::isBlank;
// Items joined for a message: "a", "a or b", "a, b, or c" (word "or" or "and").
std::string joinList(const std::vector<std::string>& items, const char* word);
// A message-kind record with a free text at the tag's start (configuration messages).
void emitConfigMessage(ValidateArgsClass& args, const std::string& text);

} // namespace zel::checks
