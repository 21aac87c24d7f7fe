#include "engine/checks/TagChecks.h"

#include <windows.h>

#include <algorithm>

#include "engine/EngineMessageBox.h"
#include "engine/checks/EntityChecks.h"
#include "engine/checks/StructureChecks.h"
#include "engine/checks/TagCutter.h"
#include "engine/run/MessageIds.h"

namespace zel::checks {

namespace {

MsgLocation valueLocation(const CheckRun& run, const TagEntry& entry) {
    return run.at(entry.valuePos, entry.value.size() + (entry.quoting ? 2 : 0));
}

void showNewerConfigurationBox() {
    static bool shown = false;
    if (shown)
        return;
    shown = true;
    engineMessageBox(
        nullptr,
        "The configuration file that you are using is for a newer version of ZEL Orvalent. It "
        "contains references to built-in attribute values that do not exist in this version. You "
        "should upgrade to the latest version of ZEL Orvalent.",
        "Orvalent: Need To Update Executable", ZEL_BOX_ERROR);
}

// One entry against one usable attribute record.
void checkValue(CheckRun& run, TagEntry& entry, int32_t attributeNumber) {
    if (entry.server < 0 && entry.hasValue) {
        if (run.placeholderAt(entry.value, 0)) {
            entry.server = 1;
            entry.accepted = true;
            return;
        }
        entry.server = 0;
    }
    const CfgStore& cfg = *run.cfg;
    const TagStore* attribute = cfg.record(CFG_ATTRIBUTE, attributeNumber);
    const std::vector<int32_t>* values = attribute ? attribute->list(0) : nullptr;
    if (!values)
        return;
    const KindOptions& ko = run.kindOptions;
    const QuotingOptions& qo = run.quotingOptions;
    // The candidates matter only for the message of a value that nothing accepts: they are kept
    // aside and given to the entry only then.
    std::vector<int32_t>& candidates = run.scratchCandidates;
    candidates.clear();
    for (const int32_t number : *values) {
        const TagStore* v = cfg.record(CFG_ATTVALUE, number);
        if (!v || !run.usable(CFG_ATTVALUE, number, msg::UndefinedCategory, v->getName()))
            continue;
        candidates.push_back(number);
        const int32_t code = v->getWord(2);
        bool accepted = false;
        if (code != 0) {
            int32_t nearMatch = 0;
            bool known = true;
            accepted = kindAccepts(code, entry.decoded, entry.hasValue, ko, nearMatch, known);
            if (!known)
                showNewerConfigurationBox();
            if (accepted && entry.hasValue) {
                const int32_t q = quotingMessage(v->getProperty(0), entry.quoting, qo);
                if (q) {
                    accepted = false;
                    entry.valueMessage = q;
                }
            }
            if (nearMatch && entry.valueMessage == msg::ValueMessage)
                entry.valueMessage = nearMatch;
        } else if (entry.hasValue && namesEqual(entry.decoded.c_str(), v->getName())) {
            entry.valueMessage = quotingMessage(v->getProperty(0), entry.quoting, qo);
            if (!entry.valueMessage && v->getProperty(1) == 5 && entry.decoded != v->getName())
                entry.valueMessage = msg::ValueCaseSensitive;
            accepted = entry.valueMessage == 0;
        }
        if (accepted) {
            entry.accepted = true;
            return;
        }
    }
    entry.candidates.insert(entry.candidates.end(), candidates.begin(), candidates.end());
}

bool nameMatches(const TagEntry& entry, const std::string& upperName, bool prefix) {
    if (!prefix)
        return entry.upper == upperName;
    return entry.upper.size() >= upperName.size() && entry.upper.compare(0, upperName.size(), upperName) == 0;
}

void appendAdded(CheckRun& run, const std::string& name) {
    if (run.entries.size() >= kMaxEntries)
        return;
    TagEntry added;
    setEntryText(added, name, run.entries[0].textPos);
    added.added = added.matched = added.accepted = true;
    run.entries.push_back(std::move(added));
}

// Configuration messages of attribute records: property index gives the switch, text the string.
void configMessages(CheckRun& run, const std::vector<int32_t>& records, int32_t property, int32_t string,
                    std::vector<std::string>& given) {
    for (const int32_t number : records) {
        const TagStore* r = run.cfg->record(CFG_ATTRIBUTE, number);
        if (!r || r->getProperty(property) != 1)
            continue;
        const char* text = r->getString(string);
        if (!text || !*text)
            continue;
        bool seen = false;
        for (const std::string& g : given)
            seen = seen || namesEqual(g.c_str(), text);
        if (seen)
            continue;
        given.emplace_back(text);
        emitConfigMessage(run.args, text);
    }
}

void matchAttributes(CheckRun& run) {
    std::vector<int32_t> found, refused;
    // Copies, not references: entries grow below (attributes added by the configuration), and
    // a reference into them would read moved memory.
#ifdef ZEL_FUZZ_CHECK_OLD_TAG_NAME_FAULT
    // Only the fuzzer's fault-check build (bench/fuzz-engine/run --old-fault) takes this, to show
    // that the fuzzer finds the fault by itself.
    const std::string& tagName = run.entries[0].text;
#else
    const std::string tagName = run.entries[0].text;
#endif
    for (const int32_t tagNumber : run.nameRecords) {
        const AttributeIndex& index = run.attributes(tagNumber);
        std::vector<size_t>& positions = run.positions;
        positions.assign(index.requiredOrRecommended.begin(), index.requiredOrRecommended.end());
        for (size_t i = 1; i < run.entries.size(); ++i)
            run.findByName(index, run.entries[i].upper, positions);
        for (const size_t p : index.prefixed)
            positions.push_back(p);
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());

        for (const size_t p : positions) {
            const int32_t number = index.records[p];
            const TagStore* r = run.cfg->record(CFG_ATTRIBUTE, number);
            const AttributeInfo& info = *run.attributeInfo(number);
            const std::string upper = info.upper;
            const bool prefix = info.prefix;
            const bool requiredOrRecommended = info.requiredOrRecommended;
            bool anyMatch = false;
            for (size_t i = 1; i < run.entries.size(); ++i)
                anyMatch = anyMatch || nameMatches(run.entries[i], upper, prefix);
            if (!anyMatch && !requiredOrRecommended)
                continue;
            const bool usable = run.usable(CFG_ATTRIBUTE, number, msg::UndefinedCategory, r->getName());
            for (size_t i = 1; i < run.entries.size(); ++i) {
                TagEntry& entry = run.entries[i];
                if (!nameMatches(entry, upper, prefix))
                    continue;
                if (usable && !entry.added)
                    found.push_back(number);
                if (entry.matched && entry.accepted)
                    continue;
                if (usable) {
                    entry.matched = true;
                    if (!entry.accepted)
                        checkValue(run, entry, number);
                    if (!entry.accepted)
                        refused.push_back(number);
                } else if (!entry.matched) {
                    entry.attributeMessage = msg::InactiveAttribute;
                }
            }
            if (!usable || anyMatch)
                continue;
            const MsgLocation at = entryLocation(run, run.entries[0]);
            if (r->getProperty(0) == 3) {
                run.args.emitter.addMessage(msg::MissingRequiredAttribute, &at, tagName.c_str(),
                                            r->getName());
                appendAdded(run, r->getName());
            } else if (r->getProperty(1) == 1 && run.output(of::ShowMissingAttWarnings)) {
                run.args.emitter.addMessage(msg::MissingRecommendedAttribute, &at, tagName.c_str(),
                                            r->getName());
                appendAdded(run, r->getName());
            }
        }
    }
    std::vector<std::string> given;
    configMessages(run, found, 2, 0, given);
    configMessages(run, refused, 3, 1, given);
}

std::string invalidValueText(CheckRun& run, TagEntry& entry) {
    std::string text =
        "The \"" + entry.text + "\" attribute has an invalid attribute value \"" + entry.value + "\".";
    std::vector<int32_t> kept;
    for (const int32_t number : entry.candidates) {
        const TagStore* v = run.cfg->record(CFG_ATTVALUE, number);
        const int32_t code = v ? v->getWord(2) : -1;
        if (!v || code == 9 || code == 16 || code == 17)
            continue;
        if (std::find(kept.begin(), kept.end(), number) == kept.end())
            kept.push_back(number);
    }
    if (!run.output(of::ShowExtendedInfo) || kept.empty())
        return text;
    std::vector<std::string> items;
    for (const int32_t number : kept) {
        const TagStore* v = run.cfg->record(CFG_ATTVALUE, number);
        const int32_t code = v->getWord(2);
        if (code == 0) {
            items.push_back(std::string("\"") + v->getName() + "\"");
        } else {
            const char* kind = kindSuggestionName(code);
            items.push_back(kind ? kind : "[an unnamed value kind: please report this fault]");
        }
    }
    text +=
        items.size() == 1 ? " Try using the following value: " : " Try using one of the following values: ";
    text += joinList(items, "or");
    text += ".";
    return text;
}

std::string unknownAttributeText(CheckRun& run, const TagEntry& entry) {
    const std::string& tagName = run.entries[0].text;
    const CfgTables::ValidAttributes& valid = run.validAttributes();
    std::string text =
        "The \"" + entry.text + "\" attribute is not valid for the \"" + tagName + "\" element.";
    if (valid.count == 0)
        text += " This tag cannot have any attributes.";
    else if (valid.count == 1)
        text += " The only valid attribute for this element is " + valid.first + ".";
    else if (run.output(of::ShowExtendedInfo))
        text.append(" The valid attributes for this element are: ").append(valid.joined).append(".");
    return text;
}

void report(CheckRun& run) {
    run::MessageEmitter& e = run.args.emitter;
    const std::string tagName = run.entries[0].text;
    for (size_t i = 1; i < run.entries.size(); ++i) {
        TagEntry& entry = run.entries[i];
        if (entry.matched && entry.accepted)
            continue;
        if (entry.matched) {
            MsgLocation at = valueLocation(run, entry);
            if (entry.valueMessage == msg::ValueMessage) {
                const std::string text = invalidValueText(run, entry);
                e.addMessage(msg::ValueMessage, &at, text.c_str());
            } else if (entry.valueMessage == msg::AttributeNeedsValue) {
                at = entryLocation(run, entry);
                e.addMessage(msg::AttributeNeedsValue, &at, entry.text.c_str());
            } else if (entry.valueMessage != 0) {
                e.addMessage(entry.valueMessage, &at, entry.decoded.c_str(), entry.text.c_str());
            }
            continue;
        }
        const MsgLocation at = entryLocation(run, entry);
        if (entry.attributeMessage != msg::AttributeMessage) {
            e.addMessage(entry.attributeMessage, &at, entry.text.c_str(), tagName.c_str());
            continue;
        }
        if (i == run.entries.size() - 1 && entry.text == "/")
            e.addHint(msg::HintQuickClose);
        const std::string text = unknownAttributeText(run, entry);
        e.addMessage(msg::AttributeMessage, &at, text.c_str());
    }
}

void lastChecks(CheckRun& run) {
    run::MessageEmitter& e = run.args.emitter;
    std::vector<TagEntry>& entries = run.entries;
    const std::string tagName = entries[0].text;
    if (run.validator(vf::RequireLowercaseTags)) {
        for (const TagEntry& entry : entries) {
            if (!entry.added && hasUpperCase(run, entry.text)) {
                const MsgLocation at = entryLocation(run, entry);
                e.addMessage(msg::UppercaseName, &at, entry.text.c_str());
                break;
            }
        }
    }
    if (run.entity(ef::CheckEntitiesInAttValues)) {
        for (size_t i = 1; i < entries.size(); ++i) {
            TagEntry& entry = entries[i];
            if (!entry.hasValue || entry.value.find('&') == std::string::npos)
                continue;
            entry.badAmpersands = unresolvedAmpersands(run, entry.value);
            if (entry.badAmpersands > 0) {
                const MsgLocation at = valueLocation(run, entry);
                e.addMessage(msg::BadEntityInAttributeValue, &at, entry.text.c_str());
            }
        }
    }
    if (run.validator(vf::RequireAttValues)) {
        for (size_t i = 1; i < entries.size(); ++i) {
            const TagEntry& entry = entries[i];
            if (!entry.hasValue && !entry.added && entry.server != 1) {
                const MsgLocation at = entryLocation(run, entry);
                e.addMessage(msg::AttributeWithoutValue, &at, entry.text.c_str());
            }
        }
    }
    for (size_t i = 1; i + 1 < entries.size(); ++i) {
        if (entries[i].added || entries[i].upper.empty())
            continue;
        int32_t count = 1;
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (!entries[j].added && entries[j].upper == entries[i].upper) {
                ++count;
                entries[j].upper.clear();
            }
        }
        if (count > 1) {
            const MsgLocation at = entryLocation(run, entries[i]);
            e.addMessage(msg::RepeatedAttribute, &at, entries[i].text.c_str(), tagName.c_str(), count);
        }
    }
}

} // namespace

int validateTag(CheckRun& run) {
    ValidateArgsClass& a = run.args;
    run::MessageEmitter& e = a.emitter;
    const std::string& t = a.piece.text;
    run.entries.clear();
    run.nameRecords.clear();
    run.requiresAttributes = run.refused = run.skipAttributes = run.quickClose = run.inactive = false;
    run.closingRule = 0;

    CutState cut;
    cut.end = t.size();
    size_t end = t.size();
    while (end > 0 && isBlank(t[end - 1]))
        --end;
    if (run.validator(vf::XMLCompatibility) && end > 0 && t[end - 1] == '/') {
        const size_t slash = end - 1;
        run.quickClose = true;
        cut.end = slash;
        size_t before = slash;
        while (before > 0 && isBlank(t[before - 1]))
            --before;
        if (before == 0) {
            e.addMessage(msg::MissingClosingTag);
            return 1;
        }
        if (run.validator(vf::XMLNoSpaceWarning) && before == slash) {
            const MsgLocation at = run.at(slash, 1);
            e.addMessage(msg::SpaceBeforeQuickClose, &at);
        }
    }
    if (!cutName(run, cut, false))
        return 1;
    if (!placeElement(run, false))
        return 0;
    if (!recordOpening(run))
        return 0;
    if (!run.refused)
        for (const int32_t number : run.nameRecords)
            run.skipAttributes = run.skipAttributes || run.attributes(number).ignoreAll;
    if (!run.skipAttributes)
        cutAttributes(run, cut, false);

    std::vector<TagEntry>& entries = run.entries;
    if (entries.size() == 1 && run.requiresAttributes) {
        const MsgLocation at = entryLocation(run, entries[0]);
        e.addMessage(msg::NoAttributes, &at, entries[0].text.c_str());
    }

    const bool serverName = run.placeholderAt(entries[0].text, 0) != 0;
    for (TagEntry& entry : entries) {
        if (serverName || run.placeholderAt(entry.text, 0)) {
            entry.server = 1;
            entry.matched = entry.accepted = true;
        }
    }
    if (serverName)
        ++a.statistics[run::StatUncountedTags];
    else if (entries[0].upper.compare(0, 4, "JSP:") == 0)
        ++a.statistics[run::StatUncountedTags];

    if (!run.refused && !run.skipAttributes)
        matchAttributes(run);
    if (run.refused || run.skipAttributes)
        return 1;
    report(run);
    lastChecks(run);
    return 1;
}

} // namespace zel::checks
