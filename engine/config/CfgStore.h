#pragma once
// The validation configuration: six kinds of records (tag names, attributes, attribute values,
// categories, entities and one further kind), ten header strings and one order list per kind.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum CfgKind : int32_t {
    CFG_TAGNAME = 0,
    CFG_ATTRIBUTE = 1,
    CFG_ATTVALUE = 2,
    CFG_CATEGORY = 3,
    CFG_ENTITY = 4,
    CFG_FURTHER = 5,
    CFG_KINDS = 6
};

constexpr int32_t CFG_PROPERTIES = 50;
constexpr int32_t CFG_STRINGS = 4;
constexpr int32_t CFG_LISTS = 5;
constexpr int32_t CFG_HEADERS = 10;
constexpr int32_t CFG_CURRENT_VERSION = 6;
// Type code (record word 2) of an attribute record that stands for a group of attributes.
constexpr int32_t CFG_ATTRIBUTE_GROUP = 100;
// Property of a tag name record that says its expanded attribute list (list 3) is built.
constexpr int32_t CFG_PROP_ATTLIST_BUILT = 5;

// The change count of the configuration (CfgStore::changeCount): every change to a store or a
// record, and every hand-out of a record or list that may be changed through the pointer, adds one.
// Records do not know their store, so one count serves all stores.
void cfgNoteChange();
uint64_t cfgChangeCount();

// One record of the configuration. Each change counts (cfgNoteChange).
class TagStore {
public:
    const char* getName() const { return name.c_str(); }
    void setName(const char* text) {
        cfgNoteChange();
        name = text ? text : "";
    }

    // Record words 1-3 (number, type, category); -1 when unset, negative values refused.
    int32_t getWord(int32_t word) const;
    bool setWord(int32_t word, int32_t value);

    // Properties 0-49; a missing one reads -1.
    int32_t getProperty(int32_t prop) const;
    bool setProperty(int32_t prop, int32_t value);
    const std::vector<int32_t>& properties() const { return props; }
    void setProperties(std::vector<int32_t> values) {
        cfgNoteChange();
        props = std::move(values);
    }
    // Back to "not set" (-1); setProperty refuses negative values.
    void clearProperty(int32_t prop) {
        cfgNoteChange();
        if (prop >= 0 && prop < static_cast<int32_t>(props.size()))
            props[static_cast<size_t>(prop)] = -1;
    }

    // Strings 0-3; NULL outside that range.
    const char* getString(int32_t s) const;
    bool setString(int32_t s, const char* text);

    // Integer lists 0-4; NULL outside that range. A list handed out for change counts as changed.
    std::vector<int32_t>* list(int32_t n);
    const std::vector<int32_t>* list(int32_t n) const;

    int32_t version = 3;

private:
    friend class CfgStore; // builds the expanded attribute list, derived data, without a count
    std::string name;
    std::string strings[CFG_STRINGS];
    std::vector<int32_t> lists[CFG_LISTS];
    std::vector<int32_t> props;
    int32_t words[3] = {-1, -1, -1};
};

// Shows a store error; replaceable so that tests see the text instead of a box.
using CfgStoreErrorFn = void (*)(const char* function, const char* text);
void setCfgStoreErrorHandler(CfgStoreErrorFn fn);
void cfgStoreError(const char* function, const char* text);
// The last error the default handler kept.
const char* lastCfgStoreError();

// Load results.
constexpr int32_t CFG_LOAD_OK = 1;
constexpr int32_t CFG_LOAD_NOT_OPENED = -1;
constexpr int32_t CFG_LOAD_REFUSED = -2;

class CfgStore {
public:
    CfgStore();
    CfgStore(const CfgStore&) = delete;
    CfgStore& operator=(const CfgStore&) = delete;

    // Loading. A failure leaves this store as it was; the whole file is read and checked
    // into a fresh store that replaces this one's content only when everything held.
    int32_t load(const char* path);
    int32_t loadFromBytes(const uint8_t* data, size_t size, const char* name);
    // Why the last load failed (empty after success).
    const std::string& loadError() const { return lastLoadError; }

    // Empties the store; result 1.
    int32_t reset();
    // Empties the store and adds the built-in default records; result 1, 0 on failure.
    int32_t setDefaults();

    // Adds a record; negative values leave their field unset, number -1 takes the first free
    // order slot. Result: the record's number, or -1 (bad kind or a number already in use).
    int32_t addRecord(int32_t kind, const char* name, int32_t number, int32_t type, int32_t category,
                      const int32_t props[5]);

    // A number that changes with every change of the configuration (see cfgNoteChange), edits
    // through a record that recordAt() or record() handed out included: what is derived from the
    // store's content stays valid while it stays the same.
    uint64_t changeCount() const { return cfgChangeCount(); }

    int32_t getCount(int32_t kind) const;
    // Records by position in the kind's name-ordered array, or by number through the order list.
    // The forms that hand out a record for change count as a change.
    TagStore* recordAt(int32_t kind, int32_t position);
    const TagStore* recordAt(int32_t kind, int32_t position) const;
    TagStore* record(int32_t kind, int32_t number);
    const TagStore* record(int32_t kind, int32_t number) const;
    int32_t positionOf(int32_t kind, int32_t number) const;
    const std::vector<int32_t>* orderList(int32_t kind) const;
    int32_t firstFreeSlot(int32_t kind);

    // Name lookup: the first record (case-blind) of that name; its number when byOrder, else
    // its position; -1 when absent or for a bad kind.
    int32_t findByName(int32_t kind, const char* name, bool byOrder = true) const;

    // Accessors by kind and number (byOrder) or position. Names give NULL for an empty slot
    // (with a store error), integers -1, strings NULL.
    const char* getName(int32_t kind, int32_t index, bool byOrder = true) const;
    int32_t getWord(int32_t kind, int32_t index, int32_t word, bool byOrder = true) const;
    int32_t getProperty(int32_t kind, int32_t index, int32_t prop, bool byOrder = true) const;
    const char* getString(int32_t kind, int32_t index, int32_t s, bool byOrder = true) const;
    int32_t getListCount(int32_t kind, int32_t index, int32_t list, bool byOrder = true);
    int32_t getListEntry(int32_t kind, int32_t index, int32_t list, int32_t entry, bool byOrder = true);
    bool setWord(int32_t kind, int32_t index, int32_t word, int32_t value, bool byOrder = true);
    bool setProperty(int32_t kind, int32_t index, int32_t prop, int32_t value, bool byOrder = true);
    bool setString(int32_t kind, int32_t index, int32_t s, const char* text, bool byOrder = true);
    bool addListEntry(int32_t kind, int32_t index, int32_t list, int32_t value, bool byOrder = true);
    // Removes an attribute from a tag name's list 2; the expanded list is built again.
    bool removeAttribute(int32_t tagNumber, int32_t attributeNumber);

    // Tag name attribute list with groups expanded (list 3), built on first use.
    int32_t getAttributeCount(int32_t tagNumber);
    int32_t getAttribute(int32_t tagNumber, int32_t entry);
    // Member attribute numbers of a group, groups expanded, each group once, sorted by number.
    std::vector<int32_t> expandGroup(int32_t attributeNumber) const;
    bool isGroup(int32_t attributeNumber) const;

    // "%s (%03d)", or "%s (%03d) GROUP" for an attribute group; empty for a bad record.
    std::string displayName(int32_t kind, int32_t number) const;

    // Whether any tag name record is user defined (type 0).
    bool hasUserTagNames() const;

    const char* getHeader(int32_t i) const;
    bool setHeader(int32_t i, const char* text);

    std::vector<int32_t>& activeCategories() {
        cfgNoteChange();
        return ownList;
    }
    const std::vector<int32_t>& activeCategories() const { return ownList; }
    bool isActiveCategory(int32_t number) const;

    bool isLoaded() const { return loaded != 0; }
    bool isSaved() const { return saved != 0; }
    void markChanged() { saved = 0; }
    int32_t getVersion() const { return version; }
    const char* getFileName() const { return fileName.c_str(); }
    int32_t flagWord = 0;
    std::vector<std::string> items;

    // Moves the whole content of other into this store.
    void takeFrom(CfgStore& other);

    // Data that another part derives from this store's content alone (the checks' indexes of the
    // records): kept here, so that it lives as long as the store, with the change count it was
    // derived at. Its maker judges whether it is still valid; nothing here reads it.
    struct Derived {
        uint64_t changeCount = 0;
        std::shared_ptr<void> data;
    };
    Derived derived;

private:
    friend class CfgReader;
    friend class CfgWriter;
    void setSavedFlags(int32_t loadedFlag, int32_t savedFlag) {
        loaded = loadedFlag;
        saved = savedFlag;
    }
    void clearContent();
    int32_t indexToPosition(int32_t kind, int32_t index, bool byOrder) const;
    // recordAt without counting a change: for this store's own reads and its derived lists.
    TagStore* recordAtQuietly(int32_t kind, int32_t position) const;
    bool buildAttributeList(TagStore& tag);
    void collectGroup(int32_t attributeNumber, std::vector<int32_t>& members,
                      std::vector<int32_t>& seenGroups) const;

    int32_t loaded = 0;
    int32_t saved = 1;
    std::vector<std::unique_ptr<TagStore>> records[CFG_KINDS];
    std::vector<int32_t> order[CFG_KINDS];
    std::string fileName;
    std::string headers[CFG_HEADERS];
    int32_t version = CFG_CURRENT_VERSION;
    std::vector<int32_t> ownList;
    std::string lastLoadError;
};

// Case-blind comparison of record names through the system locale.
int cfgCompareNames(const char* a, const char* b);
bool cfgNamesEqual(const char* a, const char* b);
