#include "engine/config/CfgStore.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

const char kNoFile[] = "(no configuration file loaded)";

// Until the engine installs its box, errors are only kept (the build tool, tests).
std::string gLastError;
void defaultStoreError(const char* function, const char* text) {
    gLastError = std::string(function) + "(): " + text;
}

CfgStoreErrorFn gStoreError = defaultStoreError;

// Starts above 0, so that derived data made with a count of 0 is never taken for current.
std::atomic<uint64_t> gChangeCount{1};

std::string upperCopy(const char* text) {
    std::string s = text ? text : "";
    if (!s.empty())
        CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

bool validKind(int32_t kind) {
    return kind >= 0 && kind < CFG_KINDS;
}

} // namespace

void cfgNoteChange() {
    gChangeCount.fetch_add(1, std::memory_order_relaxed);
}

uint64_t cfgChangeCount() {
    return gChangeCount.load(std::memory_order_relaxed);
}

void setCfgStoreErrorHandler(CfgStoreErrorFn fn) {
    gStoreError = fn ? fn : defaultStoreError;
}

void cfgStoreError(const char* function, const char* text) {
    gStoreError(function, text);
}

const char* lastCfgStoreError() {
    return gLastError.c_str();
}

int cfgCompareNames(const char* a, const char* b) {
    // String sort keeps "-" and "'" significant, so the order is total and matches the
    // upper-cased equality that lookups use.
    int r = CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a ? a : "", -1,
                           b ? b : "", -1);
    if (r == 0)
        return lstrcmpiA(a ? a : "", b ? b : "");
    return r - 2;
}

bool cfgNamesEqual(const char* a, const char* b) {
    return upperCopy(a) == upperCopy(b);
}

// ---- TagStore ----

int32_t TagStore::getWord(int32_t word) const {
    if (word < 1 || word > 3)
        return -1;
    return words[word - 1];
}

bool TagStore::setWord(int32_t word, int32_t value) {
    cfgNoteChange();
    if (word < 1 || word > 3 || value < 0)
        return false;
    words[word - 1] = value;
    return true;
}

int32_t TagStore::getProperty(int32_t prop) const {
    if (prop < 0 || prop >= CFG_PROPERTIES || prop >= static_cast<int32_t>(props.size()))
        return -1;
    return props[prop];
}

bool TagStore::setProperty(int32_t prop, int32_t value) {
    cfgNoteChange();
    // -1 means "not set"; a negative value would read back as set to nonsense.
    if (prop < 0 || prop >= CFG_PROPERTIES || value < 0)
        return false;
    if (prop >= static_cast<int32_t>(props.size()))
        props.resize(prop + 1, -1);
    props[prop] = value;
    return true;
}

const char* TagStore::getString(int32_t s) const {
    if (s < 0 || s >= CFG_STRINGS)
        return nullptr;
    return strings[s].c_str();
}

bool TagStore::setString(int32_t s, const char* text) {
    cfgNoteChange();
    if (s < 0 || s >= CFG_STRINGS)
        return false;
    strings[s] = text ? text : "";
    return true;
}

std::vector<int32_t>* TagStore::list(int32_t n) {
    cfgNoteChange();
    if (n < 0 || n >= CFG_LISTS)
        return nullptr;
    return &lists[n];
}

const std::vector<int32_t>* TagStore::list(int32_t n) const {
    if (n < 0 || n >= CFG_LISTS)
        return nullptr;
    return &lists[n];
}

// ---- CfgStore ----

CfgStore::CfgStore() {
    cfgNoteChange();
    fileName = kNoFile;
}

void CfgStore::clearContent() {
    cfgNoteChange();
    for (int k = 0; k < CFG_KINDS; ++k) {
        records[k].clear();
        order[k].clear();
    }
    for (auto& h : headers)
        h.clear();
    ownList.clear();
    fileName = kNoFile;
    loaded = 0;
    saved = 1;
    version = CFG_CURRENT_VERSION;
}

int32_t CfgStore::reset() {
    clearContent();
    return 1;
}

void CfgStore::takeFrom(CfgStore& other) {
    cfgNoteChange();
    for (int k = 0; k < CFG_KINDS; ++k) {
        records[k] = std::move(other.records[k]);
        order[k] = std::move(other.order[k]);
    }
    for (int i = 0; i < CFG_HEADERS; ++i)
        headers[i] = std::move(other.headers[i]);
    ownList = std::move(other.ownList);
    fileName = std::move(other.fileName);
    loaded = other.loaded;
    saved = other.saved;
    version = other.version;
    flagWord = other.flagWord;
    items = std::move(other.items);
    other.clearContent();
}

int32_t CfgStore::setDefaults() {
    struct Default {
        int32_t kind;
        const char* name;
        int32_t number, type, prop0, prop1, category;
    };
    static const Default defaults[] = {
        {0, "(everywhere)", 0, 1, -1, -1, 0},
        {0, "(first tag)", 1, 2, -1, -1, 0},
        {3, "(all)", 0, 1, -1, -1, -1},
        {3, "(undefined)", 1, 2, -1, -1, -1},
        {1, "(ignore all)", 0, 1, 4, -1, 0},
        {2, "(neg integer)", 0, 2, 0, 6, 0},
        {2, "(percent)", 1, 7, 1, 6, 0},
        {2, "(zero)", 2, 3, 1, 6, 0},
        {2, "(integer offset)", 3, 6, 0, 6, 0},
        {2, "(pos integer)", 4, 1, 1, 6, 0},
        {2, "(six digit HEX)", 5, 5, 1, 6, 0},
        {2, "(string)", 6, 4, 0, 6, 0},
        {2, "(no value)", 7, 8, 1, 6, 0},
        {2, "(ignore value)", 8, 9, 1, 6, 0},
        {2, "(string 2)", 9, 4, 1, 6, 0},
        {2, "(null string)", 10, 10, 0, 6, 0},
        {2, "(alphanum string)", 11, 11, 1, 6, 0},
        {2, "(int offset -6 to +6)", 12, 15, 0, 6, 0},
        {2, "(16 color names)", 13, 12, 1, 6, 0},
        {2, "(integers 1 to 7)", 14, 14, 1, 6, 0},
        {2, "(Netscape color names)", 15, 13, 1, 6, 0},
        {2, "(string 3)", 16, 4, 9, 6, 0},
        {2, "(string 4)", 17, 4, 7, 6, 0},
        {2, "(CF six digit HEX)", 18, 16, 0, 6, 0},
        {2, "(Cold Fusion variable)", 19, 17, 0, 6, 0},
        {2, "(single character)", 20, 18, 0, 6, 0},
        {2, "(single alphanum char)", 21, 19, 1, 6, 0},
        {2, "(relative width)", 22, 20, 0, 6, 0},
        {4, "(HTML 2.0 entities)", 0, 2, -1, -1, 0},
        {4, "(math, greek entities)", 1, 3, -1, -1, 0},
        {4, "(numeric entities)", 2, 1, -1, -1, 0},
        {4, "(special entities)", 3, 4, -1, -1, 0},
    };
    reset();
    int32_t result = 1;
    for (const Default& d : defaults) {
        const int32_t props[5] = {d.prop0, d.prop1, -1, -1, -1};
        if (addRecord(d.kind, d.name, d.number, d.type, d.category, props) != d.number)
            result = 0;
    }
    saved = 1;
    return result;
}

int32_t CfgStore::firstFreeSlot(int32_t kind) {
    if (!validKind(kind))
        return -1;
    cfgNoteChange();
    std::vector<int32_t>& o = order[kind];
    for (size_t i = 0; i < o.size(); ++i)
        if (o[i] < 0)
            return static_cast<int32_t>(i);
    o.push_back(-1);
    return static_cast<int32_t>(o.size() - 1);
}

int32_t CfgStore::addRecord(int32_t kind, const char* name, int32_t number, int32_t type, int32_t category,
                            const int32_t props[5]) {
    if (!validKind(kind) || number < -1)
        return -1;
    std::vector<int32_t>& o = order[kind];
    // A number that is already in use would orphan the record that holds it.
    if (number >= 0 && number < static_cast<int32_t>(o.size()) && o[number] >= 0)
        return -1;
    if (number == -1)
        number = firstFreeSlot(kind);
    cfgNoteChange();

    auto rec = std::make_unique<TagStore>();
    rec->setName(name);
    rec->setWord(1, number);
    if (type >= 0)
        rec->setWord(2, type);
    if (category >= 0)
        rec->setWord(3, category);
    if (props)
        for (int p = 0; p < 5; ++p)
            if (props[p] >= 0)
                rec->setProperty(p, props[p]);

    auto& arr = records[kind];
    auto it = std::upper_bound(arr.begin(), arr.end(), rec.get(),
                               [](const TagStore* a, const std::unique_ptr<TagStore>& b) {
                                   int c = cfgCompareNames(a->getName(), b->getName());
                                   if (c != 0)
                                       return c < 0;
                                   return a->getWord(1) < b->getWord(1);
                               });
    const int32_t position = static_cast<int32_t>(it - arr.begin());
    arr.insert(it, std::move(rec));
    for (int32_t& entry : o)
        if (entry >= position)
            ++entry;
    if (number >= static_cast<int32_t>(o.size()))
        o.resize(number + 1, -1);
    o[number] = position;
    saved = 0;
    return number;
}

int32_t CfgStore::getCount(int32_t kind) const {
    if (!validKind(kind))
        return -1;
    return static_cast<int32_t>(records[kind].size());
}

const std::vector<int32_t>* CfgStore::orderList(int32_t kind) const {
    return validKind(kind) ? &order[kind] : nullptr;
}

int32_t CfgStore::positionOf(int32_t kind, int32_t number) const {
    if (!validKind(kind) || number < 0 || number >= static_cast<int32_t>(order[kind].size()))
        return -1;
    int32_t pos = order[kind][number];
    if (pos < 0 || pos >= static_cast<int32_t>(records[kind].size()))
        return -1;
    return pos;
}

TagStore* CfgStore::recordAtQuietly(int32_t kind, int32_t position) const {
    if (!validKind(kind) || position < 0 || position >= static_cast<int32_t>(records[kind].size()))
        return nullptr;
    return records[kind][position].get();
}

TagStore* CfgStore::recordAt(int32_t kind, int32_t position) {
    // The record may be changed through the pointer at any time from now on.
    cfgNoteChange();
    return recordAtQuietly(kind, position);
}

const TagStore* CfgStore::recordAt(int32_t kind, int32_t position) const {
    return recordAtQuietly(kind, position);
}

TagStore* CfgStore::record(int32_t kind, int32_t number) {
    return recordAt(kind, positionOf(kind, number));
}

const TagStore* CfgStore::record(int32_t kind, int32_t number) const {
    return recordAtQuietly(kind, positionOf(kind, number));
}

int32_t CfgStore::indexToPosition(int32_t kind, int32_t index, bool byOrder) const {
    return byOrder ? positionOf(kind, index) : index;
}

int32_t CfgStore::findByName(int32_t kind, const char* name, bool byOrder) const {
    if (!validKind(kind) || !name)
        return -1;
    const auto& arr = records[kind];
    auto it =
        std::lower_bound(arr.begin(), arr.end(), name, [](const std::unique_ptr<TagStore>& r, const char* n) {
            return cfgCompareNames(r->getName(), n) < 0;
        });
    if (it == arr.end() || !cfgNamesEqual((*it)->getName(), name))
        return -1;
    while (it != arr.begin() && cfgNamesEqual((*(it - 1))->getName(), name))
        --it;
    return byOrder ? (*it)->getWord(1) : static_cast<int32_t>(it - arr.begin());
}

const char* CfgStore::getName(int32_t kind, int32_t index, bool byOrder) const {
    const TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    if (!r) {
        if (validKind(kind))
            cfgStoreError("GetName", "980530: CfgStore::GetName(): NULL pointer where shouldn't be");
        return nullptr;
    }
    return r->getName();
}

int32_t CfgStore::getWord(int32_t kind, int32_t index, int32_t word, bool byOrder) const {
    const TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    return r ? r->getWord(word) : -1;
}

int32_t CfgStore::getProperty(int32_t kind, int32_t index, int32_t prop, bool byOrder) const {
    const TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    return r ? r->getProperty(prop) : -1;
}

const char* CfgStore::getString(int32_t kind, int32_t index, int32_t s, bool byOrder) const {
    const TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    return r ? r->getString(s) : nullptr;
}

// Reads only (the expanded list they may build is derived from the content): no change counts.
int32_t CfgStore::getListCount(int32_t kind, int32_t index, int32_t list, bool byOrder) {
    TagStore* r = recordAtQuietly(kind, indexToPosition(kind, index, byOrder));
    const TagStore* read = r;
    if (!r || !read->list(list))
        return -1;
    if (kind == CFG_TAGNAME && list == 3)
        buildAttributeList(*r);
    return static_cast<int32_t>(read->list(list)->size());
}

int32_t CfgStore::getListEntry(int32_t kind, int32_t index, int32_t list, int32_t entry, bool byOrder) {
    TagStore* r = recordAtQuietly(kind, indexToPosition(kind, index, byOrder));
    const TagStore* read = r;
    if (!r || !read->list(list))
        return -1;
    if (kind == CFG_TAGNAME && list == 3)
        buildAttributeList(*r);
    const std::vector<int32_t>& l = *read->list(list);
    if (entry < 0 || entry >= static_cast<int32_t>(l.size()))
        return -1;
    return l[entry];
}

bool CfgStore::setWord(int32_t kind, int32_t index, int32_t word, int32_t value, bool byOrder) {
    TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    // The number ties the record to its order slot; it changes only through addRecord.
    if (!r || word == 1 || !r->setWord(word, value))
        return false;
    saved = 0;
    return true;
}

bool CfgStore::setProperty(int32_t kind, int32_t index, int32_t prop, int32_t value, bool byOrder) {
    TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    if (!r || !r->setProperty(prop, value))
        return false;
    saved = 0;
    return true;
}

bool CfgStore::setString(int32_t kind, int32_t index, int32_t s, const char* text, bool byOrder) {
    TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    if (!r) {
        cfgStoreError("SetTagStringStore", "TagStore::GetStringStore() failed");
        return false;
    }
    if (!r->setString(s, text))
        return false;
    saved = 0;
    return true;
}

bool CfgStore::addListEntry(int32_t kind, int32_t index, int32_t list, int32_t value, bool byOrder) {
    TagStore* r = recordAt(kind, indexToPosition(kind, index, byOrder));
    if (!r || !r->list(list))
        return false;
    r->list(list)->push_back(value);
    if (kind == CFG_TAGNAME && list == 2)
        r->clearProperty(CFG_PROP_ATTLIST_BUILT);
    saved = 0;
    return true;
}

bool CfgStore::removeAttribute(int32_t tagNumber, int32_t attributeNumber) {
    TagStore* r = record(CFG_TAGNAME, tagNumber);
    if (!r)
        return false;
    std::vector<int32_t>& l = *r->list(2);
    auto it = std::find(l.begin(), l.end(), attributeNumber);
    if (it == l.end())
        return false;
    l.erase(it);
    r->clearProperty(CFG_PROP_ATTLIST_BUILT);
    saved = 0;
    return true;
}

bool CfgStore::isGroup(int32_t attributeNumber) const {
    const TagStore* r = record(CFG_ATTRIBUTE, attributeNumber);
    return r && r->getWord(2) == CFG_ATTRIBUTE_GROUP;
}

void CfgStore::collectGroup(int32_t attributeNumber, std::vector<int32_t>& members,
                            std::vector<int32_t>& seenGroups) const {
    if (std::find(seenGroups.begin(), seenGroups.end(), attributeNumber) != seenGroups.end())
        return;
    seenGroups.push_back(attributeNumber);
    const TagStore* g = record(CFG_ATTRIBUTE, attributeNumber);
    if (!g)
        return;
    for (int32_t m : *g->list(0)) {
        if (isGroup(m))
            collectGroup(m, members, seenGroups);
        else if (record(CFG_ATTRIBUTE, m) && std::find(members.begin(), members.end(), m) == members.end())
            members.push_back(m);
    }
}

std::vector<int32_t> CfgStore::expandGroup(int32_t attributeNumber) const {
    std::vector<int32_t> members, seen;
    collectGroup(attributeNumber, members, seen);
    std::sort(members.begin(), members.end());
    return members;
}

bool CfgStore::buildAttributeList(TagStore& tag) {
    if (tag.getProperty(CFG_PROP_ATTLIST_BUILT) == 1)
        return true;
    std::vector<int32_t> out;
    std::vector<int32_t> seenGroups;
    for (int32_t a : tag.lists[2]) {
        if (isGroup(a)) {
            collectGroup(a, out, seenGroups);
        } else if (std::find(out.begin(), out.end(), a) == out.end()) {
            out.push_back(a);
        }
    }
    // Kept in the order of the attribute records' names, as the validator walks it.
    std::stable_sort(out.begin(), out.end(), [this](int32_t a, int32_t b) {
        return positionOf(CFG_ATTRIBUTE, a) < positionOf(CFG_ATTRIBUTE, b);
    });
    // Derived from the content, which has not changed: written without counting a change, so
    // that what others derived from the store stays valid.
    tag.lists[3] = std::move(out);
    if (tag.props.size() <= static_cast<size_t>(CFG_PROP_ATTLIST_BUILT))
        tag.props.resize(CFG_PROP_ATTLIST_BUILT + 1, -1);
    tag.props[CFG_PROP_ATTLIST_BUILT] = 1;
    return true;
}

int32_t CfgStore::getAttributeCount(int32_t tagNumber) {
    return getListCount(CFG_TAGNAME, tagNumber, 3, true);
}

int32_t CfgStore::getAttribute(int32_t tagNumber, int32_t entry) {
    return getListEntry(CFG_TAGNAME, tagNumber, 3, entry, true);
}

std::string CfgStore::displayName(int32_t kind, int32_t number) const {
    const TagStore* r = record(kind, number);
    if (!r)
        return std::string();
    char num[16];
    std::snprintf(num, sizeof num, "%03d", static_cast<int>(number));
    std::string s = r->getName();
    s += " (";
    s += num;
    s += ")";
    if (kind == CFG_ATTRIBUTE && r->getWord(2) == CFG_ATTRIBUTE_GROUP)
        s += " GROUP";
    return s;
}

bool CfgStore::hasUserTagNames() const {
    for (const auto& r : records[CFG_TAGNAME])
        if (r->getWord(2) == 0)
            return true;
    return false;
}

const char* CfgStore::getHeader(int32_t i) const {
    if (i < 0 || i >= CFG_HEADERS)
        return nullptr;
    return headers[i].c_str();
}

bool CfgStore::setHeader(int32_t i, const char* text) {
    if (i < 0 || i >= CFG_HEADERS)
        return false;
    cfgNoteChange();
    headers[i] = text ? text : "";
    saved = 0;
    return true;
}

bool CfgStore::isActiveCategory(int32_t number) const {
    return std::find(ownList.begin(), ownList.end(), number) != ownList.end();
}
