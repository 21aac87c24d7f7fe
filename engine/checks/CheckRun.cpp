#include "engine/checks/CheckRun.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "engine/ConfigClass.h"

namespace zel::checks {

namespace {

bool isAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string upperCase(const std::string& s) {
    std::string u;
    upperCaseInto(s, u);
    return u;
}

void upperCaseInto(const std::string& s, std::string& u) {
    u.assign(s);
    // Names and values are nearly always plain ASCII; only others need the locale's upper case.
    if (isAscii(u.c_str())) {
        for (char& c : u)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    } else {
        CharUpperBuffA(u.data(), static_cast<DWORD>(u.size()));
    }
}

bool namesEqual(const char* a, const char* b) {
    // One pass: plain ASCII compares here; the first byte of another script hands the whole pair
    // to the configuration's comparison.
    for (const char *x = a, *y = b;; ++x, ++y) {
        const auto cx = static_cast<unsigned char>(*x), cy = static_cast<unsigned char>(*y);
        if ((cx | cy) & 0x80)
            return cfgNamesEqual(a, b);
        const int ux = cx >= 'a' && cx <= 'z' ? cx - 32 : cx;
        const int uy = cy >= 'a' && cy <= 'z' ? cy - 32 : cy;
        if (ux != uy)
            return false;
        if (cx == 0)
            return true;
    }
}

std::string joinList(const std::vector<std::string>& items, const char* word) {
    std::string s;
    const size_t n = items.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) {
            if (n == 2)
                s += std::string(" ") + word + " ";
            else if (i == n - 1)
                s += std::string(", ") + word + " ";
            else
                s += ", ";
        }
        s += items[i];
    }
    return s;
}

void emitConfigMessage(ValidateArgsClass& args, const std::string& text) {
    if (!args.store)
        return;
    auto record = std::make_unique<run::SingleMsgStore>();
    record->kind = run::KindMessage;
    record->runningNumber = args.store->messageCount() + 1;
    record->location = args.emitter.tagStartLocation;
    record->setText(text);
    args.store->add(std::move(record));
}

namespace {

// The store's shared tables, derived anew when the configuration changed since they were made.
std::shared_ptr<CfgTables> tablesOf(CfgStore& store) {
    CfgStore::Derived& d = store.derived;
    const uint64_t now = store.changeCount();
    if (d.data && d.changeCount == now)
        return std::static_pointer_cast<CfgTables>(d.data);
    auto tables = std::make_shared<CfgTables>();
    tables->changeCount = now;
    const CfgStore& cfg = store;
    if (const std::vector<int32_t>* order = cfg.orderList(CFG_ATTRIBUTE))
        tables->attributeInfo.resize(order->size());
    // The configuration may give message 112 a prefix of its own, as a string record.
    const int32_t prefix = cfg.findByName(CFG_FURTHER, "checkentinattvalprepend", false);
    const char* text = prefix >= 0 ? cfg.getString(CFG_FURTHER, prefix, 0, false) : nullptr;
    tables->prepend112 = text ? text : "";
    d.data = tables;
    d.changeCount = now;
    return tables;
}

} // namespace

CheckRun::CheckRun(ValidateArgsClass& a, CfgStore* store)
    : args(a), cfg(store), store_(store), tables_(tablesOf(*store)) {
    const run::RunOptions& o = a.runOptions;
    if (o.validator(vf::IgnoreTextInPercents) && o.validator(vf::CollapseASP))
        placeholders_.push_back("ASP");
    if (o.validator(vf::PHPBlocks))
        placeholders_.push_back("PHP");
    if (o.validator(vf::MivaMacros))
        placeholders_.push_back("MIVA");
    if (o.validator(vf::CFML))
        placeholders_.push_back("CxF");
    kindOptions.cfml = o.validator(vf::CFML);
    kindOptions.underscore = o.validator(vf::UnderscoreInAlphanumeric);
    kindOptions.placeholders = placeholders_;
    quotingOptions.ignoreRequirements = o.validator(vf::IgnoreQuotationRequirements);
    quotingOptions.allEquivalent = o.validator(vf::TreatAllQuotesEquivalent);
    quotingOptions.requireQuoted = o.validator(vf::RequireQuotedAttValues);
    for (int32_t k = 0; k < CFG_KINDS; ++k) {
        const std::vector<int32_t>* order = cfg->orderList(k);
        usable_[k].assign(order ? order->size() : 0, -1);
    }
    a.emitter.prepend112 = tables_->prepend112;
}

size_t CheckRun::placeholderAt(const std::string& text, size_t pos) const {
    for (const std::string& w : placeholders_)
        if (text.compare(pos, w.size(), w) == 0)
            return w.size();
    return 0;
}

MsgLocation CheckRun::at(size_t piecePos, size_t length) const {
    const run::Piece& p = args.piece;
    MsgLocation m;
    if (p.locs.empty())
        return args.emitter.pieceLocation;
    const run::Loc& l = p.locs[piecePos < p.locs.size() ? piecePos : p.locs.size() - 1];
    m.line = l.line;
    m.character = l.character;
    // A length only when the stretch stays on one line and is a plain run of the text.
    if (length > 0 && piecePos + length <= p.locs.size()) {
        const run::Loc& e = p.locs[piecePos + length - 1];
        if (e.line == l.line && e.character - l.character + 1 == static_cast<int32_t>(length))
            m.length = static_cast<int32_t>(length);
    }
    return m;
}

bool CheckRun::usable(int32_t kind, int32_t number, int32_t warnId, const char* name,
                      const MsgLocation* where) {
    if (kind < 0 || kind >= CFG_KINDS || number < 0)
        return false;
    std::vector<int8_t>& cache = usable_[kind];
    if (static_cast<size_t>(number) >= cache.size())
        cache.resize(static_cast<size_t>(number) + 1, -1);
    int8_t& known = cache[static_cast<size_t>(number)];
    if (known >= 0 && known != 2)
        return known == 1;
    if (known == 2) {
        args.emitter.addMessage(warnId, where, name);
        return false;
    }
    const TagStore* r = cfg->record(kind, number);
    if (!r)
        return (known = 0) != 0;
    const int32_t category = r->getWord(3);
    if (category < 0 || cfg->isActiveCategory(category))
        return (known = 1) != 0;
    const TagStore* c = cfg->record(CFG_CATEGORY, category);
    const int32_t state = c ? c->getWord(2) : -1;
    if (state == 1)
        return (known = 1) != 0;
    if (state == 2) {
        known = 2;
        args.emitter.addMessage(warnId, where, name);
        return false;
    }
    return (known = 0) != 0;
}

const std::vector<int32_t>& CheckRun::tagRecords(const std::string& upperName) {
    auto& all = tables_->tagRecords;
    auto it = all.find(upperName);
    if (it != all.end())
        return it->second;
    std::vector<int32_t>& found = all[upperName];
    int32_t pos = cfg->findByName(CFG_TAGNAME, upperName.c_str(), false);
    const int32_t count = cfg->getCount(CFG_TAGNAME);
    for (; pos >= 0 && pos < count; ++pos) {
        const TagStore* r = cfg->recordAt(CFG_TAGNAME, pos);
        if (!r || !namesEqual(r->getName(), upperName.c_str()))
            break;
        // A record its number does not lead back to cannot be used by number: it stays inactive.
        if (cfg->positionOf(CFG_TAGNAME, r->getWord(1)) != pos)
            continue;
        found.push_back(r->getWord(1));
    }
    return found;
}

int32_t CheckRun::entityPosition(const std::string& name) {
    auto& all = tables_->entityPositions;
    auto it = all.find(name);
    if (it == all.end())
        it = all.emplace(name, cfg->findByName(CFG_ENTITY, name.c_str(), false)).first;
    return it->second;
}

const AttributeInfo* CheckRun::attributeInfo(int32_t number) {
    if (number < 0)
        return nullptr;
    std::vector<AttributeInfo>& all = tables_->attributeInfo;
    if (static_cast<size_t>(number) >= all.size())
        all.resize(static_cast<size_t>(number) + 1);
    AttributeInfo& info = all[static_cast<size_t>(number)];
    if (info.known)
        return &info;
    const TagStore* r = cfg->record(CFG_ATTRIBUTE, number);
    if (!r)
        return nullptr;
    std::string name = r->getName();
    info.prefix = name.size() > 1 && name.back() == '*';
    if (info.prefix)
        name.pop_back();
    info.upper = upperCase(name);
    info.requiredOrRecommended = !info.prefix && (r->getProperty(0) == 3 || r->getProperty(1) == 1);
    info.ignoreAll = r->getWord(2) == 1;
    info.known = true;
    return &info;
}

const AttributeIndex& CheckRun::attributes(int32_t tagNumber) {
    auto& all = tables_->attributes;
    auto it = all.find(tagNumber);
    if (it != all.end())
        return it->second;
    AttributeIndex& index = all[tagNumber];
    store_->getAttributeCount(tagNumber); // builds the expanded list
    const TagStore* tag = cfg->record(CFG_TAGNAME, tagNumber);
    const std::vector<int32_t>* expanded = tag ? tag->list(3) : nullptr;
    if (!expanded)
        return index;
    index.records.reserve(expanded->size());
    index.byName.reserve(expanded->size());
    for (const int32_t number : *expanded) {
        const AttributeInfo* info = attributeInfo(number);
        if (!info)
            continue;
        const size_t position = index.records.size();
        index.records.push_back(number);
        index.ignoreAll = index.ignoreAll || info->ignoreAll;
        (info->prefix ? index.prefixed : index.byName).push_back(position);
        if (info->requiredOrRecommended)
            index.requiredOrRecommended.push_back(position);
    }
    const std::vector<AttributeInfo>& info = tables_->attributeInfo;
    const auto byUpperName = [&](size_t a, size_t b) {
        return info[static_cast<size_t>(index.records[a])].upper <
               info[static_cast<size_t>(index.records[b])].upper;
    };
    // The expanded list comes in the configuration's name order, which nearly always is this
    // order already.
    if (!std::is_sorted(index.byName.begin(), index.byName.end(), byUpperName))
        std::stable_sort(index.byName.begin(), index.byName.end(), byUpperName);
    return index;
}

void CheckRun::findByName(const AttributeIndex& index, const std::string& upperName,
                          std::vector<size_t>& out) {
    const std::vector<AttributeInfo>& info = tables_->attributeInfo;
    auto nameAt = [&](size_t position) -> const std::string& {
        return info[static_cast<size_t>(index.records[position])].upper;
    };
    auto it =
        std::lower_bound(index.byName.begin(), index.byName.end(), upperName,
                         [&](size_t position, const std::string& name) { return nameAt(position) < name; });
    for (; it != index.byName.end() && nameAt(*it) == upperName; ++it)
        out.push_back(*it);
}

const CfgTables::ValidAttributes& CheckRun::validAttributes() {
    auto& all = tables_->validAttributes;
    auto it = all.find(nameRecords);
    if (it != all.end())
        return it->second;
    std::vector<std::pair<int32_t, std::string>> valid; // position, name
    bool undefined = false;
    for (const int32_t tagNumber : nameRecords) {
        const AttributeIndex& index = attributes(tagNumber);
        for (const int32_t number : index.records) {
            const TagStore* r = cfg->record(CFG_ATTRIBUTE, number);
            if (r && usable(CFG_ATTRIBUTE, number, msg::UndefinedCategory, r->getName()))
                valid.emplace_back(cfg->positionOf(CFG_ATTRIBUTE, number), r->getName());
            undefined = undefined || (r && usable_[CFG_ATTRIBUTE][static_cast<size_t>(number)] == 2);
        }
    }
    std::sort(valid.begin(), valid.end());
    // Each name once, compared without regard to case (a set: a tag may allow hundreds).
    std::unordered_set<std::string> seen;
    std::vector<std::string> names;
    for (const auto& v : valid) {
        if (!seen.insert(upperCase(v.second)).second)
            continue;
        names.push_back("\"" + v.second + "\"");
    }
    CfgTables::ValidAttributes made;
    made.count = names.size();
    if (!names.empty())
        made.first = names[0];
    if (names.size() > 1)
        made.joined = joinList(names, "and");
    if (undefined) {
        // Not kept: the next tag with these records must give its messages again.
        scratchValidAttributes_ = std::move(made);
        return scratchValidAttributes_;
    }
    return all.emplace(nameRecords, std::move(made)).first->second;
}

const std::vector<CheckRun::Container>& CheckRun::containers(int32_t tagNumber, int32_t list) {
    auto& cache = tables_->containers[list == 0 ? 0 : 1];
    auto it = cache.find(tagNumber);
    if (it != cache.end())
        return it->second;
    std::vector<Container>& found = cache[tagNumber];
    const TagStore* r = cfg->record(CFG_TAGNAME, tagNumber);
    if (const std::vector<int32_t>* l = r ? r->list(list) : nullptr) {
        for (const int32_t number : *l) {
            const TagStore* c = cfg->record(CFG_TAGNAME, number);
            if (!c)
                continue;
            const int32_t type = c->getWord(2);
            std::string key = run::StructureStore::key(c->getName());
            const size_t slot =
                tables_->containerSlots.try_emplace(key, tables_->containerSlots.size()).first->second;
            found.push_back(
                Container{number, type == 1 || type == 2 ? type : 0, c->getName(), std::move(key), slot});
        }
    }
    return found;
}

run::StructureStore::OpenRecord& CheckRun::open(const Container& c) {
    if (c.slot >= openBySlot_.size())
        openBySlot_.resize(tables_->containerSlots.size(), nullptr);
    run::StructureStore::OpenRecord*& record = openBySlot_[c.slot];
    if (!record)
        record = &args.structure.openRecord(c.key);
    return *record;
}

CheckRun* checkRun(ValidateArgsClass& args) {
    if (args.checkState)
        return static_cast<CheckRun*>(args.checkState.get());
    CfgStore* cfg = args.options ? args.options->cfgStore : nullptr;
    if (!cfg)
        return nullptr;
    auto state = std::make_shared<CheckRun>(args, cfg);
    args.checkState = state;
    return state.get();
}

} // namespace zel::checks
