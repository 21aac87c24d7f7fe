#include "engine/checks/StructureChecks.h"

#include <windows.h>

#include <algorithm>

#include "engine/EngineMessageBox.h"
#include "engine/checks/TagCutter.h"
#include "engine/run/MessageIds.h"
#include "engine/run/OutputWriter.h"

namespace zel::checks {

namespace {

constexpr size_t kMaxNameRecords = 999;

enum PseudoElement : int32_t { Everywhere = 1, FirstTag = 2 };

MsgLocation nameLocation(const CheckRun& run) {
    const TagEntry& name = run.entries[0];
    return run.at(name.textPos, name.text.size());
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int32_t countedTags(const CheckRun& run) {
    return run.args.structure.countOf(run::EntryOpeningTag) - run.args.statistics[run::StatUncountedTags];
}

// The closing rule a record gives the current tag; mark314 is set when a tag that must be closed
// by a closing tag closed itself.
int32_t closingRuleOf(const CheckRun& run, const TagStore& r, bool& mark314) {
    const int32_t rule = r.getProperty(0);
    if (run.validator(vf::XMLCompatibility) && run.quickClose) {
        if (rule == 0)
            mark314 = true;
        return 2;
    }
    if (run.validator(vf::RequireOptionalClosingTags) && rule == 1)
        return 0;
    return rule;
}

void addName(std::vector<std::string>& names, const char* name) {
    for (const std::string& n : names)
        if (namesEqual(n.c_str(), name))
            return;
    names.emplace_back(name);
}

std::vector<std::string> quoted(const std::vector<std::string>& names) {
    std::vector<std::string> q;
    for (const std::string& n : names)
        q.push_back("\"" + n + "\"");
    return q;
}

} // namespace

bool placeElement(CheckRun& run, bool recheck) {
    ValidateArgsClass& a = run.args;
    run::MessageEmitter& e = a.emitter;
    const CfgStore& cfg = *run.cfg;
    const std::string name = run.entries[0].text;
    run.nameRecords.clear();

    std::string lookup = name;
    for (const std::string& w : run.placeholders()) {
        if (!endsWith(lookup, w))
            continue;
        for (const std::string& x : run.placeholders())
            for (size_t at = lookup.find(x); at != std::string::npos; at = lookup.find(x, at))
                lookup.erase(at, x.size());
        break;
    }
    const MsgLocation at = nameLocation(run);
    const std::vector<int32_t>& all = run.tagRecords(upperCase(lookup));
    if (all.empty()) {
        run.refused = true;
        run.closingRule = 1;
        if (run.placeholderAt(name, 0)) {
            run.closingRule = 2;
            return true;
        }
        if (run.flags1021(bits::flags250::IgnoreTagsWithColons) && name.find(':') != std::string::npos)
            return true;
        e.addMessage(msg::UnknownElement, &at, name.c_str());
        return true;
    }
    for (const int32_t number : all) {
        if (!run.usable(CFG_TAGNAME, number, msg::UndefinedCategory, name.c_str()))
            continue;
        if (run.nameRecords.size() >= kMaxNameRecords) {
            const std::string text = "There is a limit of " + std::to_string(kMaxNameRecords) + " entries.";
            engineMessageBox(nullptr, text.c_str(), "Orvalent: Limit Reached", ZEL_BOX_ERROR);
            continue;
        }
        run.nameRecords.push_back(number);
    }
    if (run.nameRecords.empty()) {
        run.refused = true;
        run.closingRule = 1;
        run.inactive = true;
        e.addMessage(msg::InactiveElement, nullptr, name.c_str());
        return true;
    }
    for (const int32_t number : run.nameRecords) {
        const TagStore* r = cfg.record(CFG_TAGNAME, number);
        const char* text = r->getString(0);
        if (r->getProperty(2) == 1 && text && *text && run.configMessagesGiven.insert(number).second)
            emitConfigMessage(a, text);
    }

    // Judge every record: may the element stand here by it?
    const bool cfml = run.validator(vf::CFML);
    const bool firstTagStands = countedTags(run) == 0 || run.validator(vf::FirstTagAnywhere);
    auto stands = [&](const CheckRun::Container& c) {
        return c.pseudo == Everywhere || (c.pseudo == FirstTag && firstTagStands);
    };
    // Scratch lists of the run: a tag check makes no allocations of its own for them.
    std::vector<int32_t>& records = run.scratchRecords;
    records.assign(run.nameRecords.begin(), run.nameRecords.end());
    std::vector<int32_t> removed;
    bool anyExcluded = false;
    std::vector<char>& keep = run.scratchKeep;
    keep.assign(records.size(), 0);
    for (size_t k = 0; k < records.size(); ++k) {
        const std::vector<CheckRun::Container>& valid = run.containers(records[k], 0);
        const std::vector<CheckRun::Container>& excluding = run.containers(records[k], 1);
        int32_t decision = 0; // 1 valid, -1 excluded, -2 not contained
        if (run.validator(vf::TagRangeAlwaysValid))
            decision = 1;
        for (size_t i = 0; decision == 0 && i < std::max(valid.size(), excluding.size()); ++i) {
            if (i < valid.size() && stands(valid[i]))
                decision = 1;
            else if (i < excluding.size() && stands(excluding[i]))
                decision = -1;
        }
        while (decision == 0) {
            int32_t validDepth = run::kNotOpen, excludingDepth = run::kNotOpen;
            for (const CheckRun::Container& v : valid)
                if (!v.pseudo)
                    validDepth =
                        std::max(validDepth, a.structure.findOpenIn(run.open(v), 1 | 4 | (cfml ? 2 : 0)));
            for (const CheckRun::Container& x : excluding)
                if (!x.pseudo)
                    excludingDepth =
                        std::max(excludingDepth, a.structure.findOpenIn(run.open(x), 1 | (cfml ? 2 : 0)));
            if (validDepth > excludingDepth && validDepth >= -1) {
                decision = 1;
            } else if (excludingDepth > validDepth && excludingDepth >= -1) {
                // An excluding element whose closing tag is optional ends where this tag begins
                // (a paragraph before a list); one that must be closed makes this tag misplaced.
                const run::StructureEntry* x = a.structure.entry(excludingDepth);
                if (x && x->closingRule == 1 && a.structure.closeImplied(excludingDepth))
                    continue;
                decision = -1;
            } else {
                decision = -2;
            }
        }
        if (decision == 1) {
            keep[k] = 1;
        } else {
            removed.push_back(records[k]);
            anyExcluded = anyExcluded || decision == -1;
        }
    }
    // The records that remain close up: each hole takes the last remaining record from the back.
    {
        size_t back = records.size();
        std::vector<int32_t>& packed = run.nameRecords;
        packed.clear();
        for (size_t k = 0; k < back; ++k) {
            if (keep[k]) {
                packed.push_back(records[k]);
                continue;
            }
            while (back > k + 1 && !keep[back - 1])
                --back;
            if (back > k + 1) {
                packed.push_back(records[--back]);
                keep[back] = 0;
            }
        }
    }

    if (!run.nameRecords.empty()) {
        bool mark314 = false;
        const TagStore* first = cfg.record(CFG_TAGNAME, run.nameRecords[0]);
        const int32_t firstRule = closingRuleOf(run, *first, mark314);
        const bool firstIgnore = first->getProperty(1) == 1;
        bool ignore = firstIgnore;
        run.closingRule = firstRule;
        run.requiresAttributes = first->getProperty(3) == 1;
        bool warned100 = false, warned105 = false;
        for (size_t k = 1; k < run.nameRecords.size(); ++k) {
            const TagStore* r = cfg.record(CFG_TAGNAME, run.nameRecords[k]);
            run.requiresAttributes = run.requiresAttributes || r->getProperty(3) == 1;
            if (closingRuleOf(run, *r, mark314) != firstRule) {
                if (!warned100)
                    e.addMessage(msg::ElementClosingRuleConflict, nullptr, name.c_str());
                warned100 = true;
                run.closingRule = 1;
            }
            if ((r->getProperty(1) == 1) != firstIgnore) {
                if (!warned105)
                    e.addMessage(msg::ElementIgnoreRuleConflict, nullptr, name.c_str());
                warned105 = true;
                ignore = false;
            }
        }
        if (mark314)
            e.addMessage(msg::ClosingTagRequired, &at, name.c_str());
        // A tag that closed itself has no text to ignore: ignoring would swallow the document.
        if (ignore && !(run.quickClose && run.closingRule == 2))
            a.startIgnoring(name, a.piece.start.line);
        return true;
    }

    std::vector<std::string> validContainers, excludingContainers;
    for (const int32_t number : removed) {
        const TagStore* r = cfg.record(CFG_TAGNAME, number);
        for (int32_t list = 0; list < 2; ++list)
            if (const std::vector<int32_t>* l = r->list(list))
                for (const int32_t c : *l)
                    if (const char* n = cfg.getName(CFG_TAGNAME, c))
                        addName(list == 0 ? validContainers : excludingContainers, n);
    }
    if (!recheck && countedTags(run) == 0) {
        std::string container;
        for (const std::string& n : validContainers) {
            const int32_t number = cfg.findByName(CFG_TAGNAME, n.c_str());
            const TagStore* r = number >= 0 ? cfg.record(CFG_TAGNAME, number) : nullptr;
            if (r && (r->getWord(2) == Everywhere || r->getWord(2) == FirstTag))
                continue;
            if (lstrcmpiA(n.c_str(), "body") == 0 || lstrcmpiA(n.c_str(), "head") == 0 ||
                lstrcmpiA(n.c_str(), "form") == 0 || lstrcmpiA(n.c_str(), "html") == 0) {
                container = n;
                break;
            }
            if (container.empty() &&
                !(n.size() >= 2 && (n[0] == 'c' || n[0] == 'C') && (n[1] == 'f' || n[1] == 'F')))
                container = n;
        }
        if (!container.empty()) {
            e.addHint(msg::HintFirstTagOutOfRange, container.c_str());
            run.closingRule = 1;
            a.structure.pushAssumed(container);
            return placeElement(run, true);
        }
    }
    std::string suffix;
    if (run.output(of::ShowExtendedInfo)) {
        if (!validContainers.empty()) {
            suffix += " This element may be contained in " + joinList(quoted(validContainers), "and") + ".";
            for (const std::string& n : validContainers)
                if (n == "(first tag)")
                    e.addHint(msg::HintFirstTagAnywhere);
        }
        if (!excludingContainers.empty())
            suffix +=
                " This element may not be contained in " + joinList(quoted(excludingContainers), "and") + ".";
    }
    suffix += anyExcluded ? " The tag is currently contained within an element that may not contain it."
                          : " The tag is currently not contained in an element that allows its use.";
    e.addMessage(msg::ElementNotValidHere, &at, name.c_str(), suffix.c_str());
    run.refused = true;
    run.closingRule = 1;
    return true;
}

bool recordOpening(CheckRun& run) {
    ValidateArgsClass& a = run.args;
    const run::Piece& p = a.piece;
    const int32_t index = a.structure.add(run::EntryOpeningTag, run.entries[0].text, p.start.line,
                                          p.start.character, run.closingRule);
    run::StructureEntry* entry = a.structure.entry(index);
    if (!entry)
        return false;
    entry->quickClose = run.quickClose;
    entry->inactive = run.inactive;
    if (run.closingRule == 0)
        run.openRequired.push_back(index);
    return true;
}

int validateCloseTag(CheckRun& run) {
    ValidateArgsClass& a = run.args;
    run::MessageEmitter& e = a.emitter;
    const std::string& t = a.piece.text;
    run.entries.clear();
    CutState cut;
    size_t end = t.size();
    while (end > 0 && isBlank(t[end - 1]))
        --end;
    cut.end = end;
    const bool slashEnd = run.validator(vf::XMLCompatibility) && end > 1 && t[end - 1] == '/';
    if (slashEnd)
        cut.end = end - 1;
    if (!cutName(run, cut, true))
        return 1;
    cutAttributes(run, cut, true);
    std::vector<TagEntry>& entries = run.entries;
    const std::string shown = t.substr(0, end);
    if (entries.size() > 1 || entries[0].hasValue) {
        if (entries[0].text == "/" && entries.size() > 1) {
            const bool exact = entries.size() == 2 && !entries[0].hasValue && !entries[1].hasValue;
            entries[0].text += entries[1].text;
            entries[0].upper = upperCase(entries[0].text);
            entries.erase(entries.begin() + 1);
            e.addMessage(msg::ClosingTagSpaceAfterSlash, nullptr, shown.c_str());
            if (!exact)
                e.addMessage(msg::ClosingTagExtraText, nullptr, shown.c_str());
        } else {
            e.addMessage(msg::ClosingTagExtraText, nullptr, shown.c_str());
        }
    }
    if (run.validator(vf::RequireLowercaseTags)) {
        for (const TagEntry& entry : entries) {
            if (hasUpperCase(run, entry.text)) {
                const MsgLocation at = run.at(entry.textPos, entry.text.size());
                e.addMessage(msg::UppercaseName, &at, entry.text.c_str());
                break;
            }
        }
    }
    if (slashEnd)
        e.addMessage(msg::QuickCloseAsClosingTag, nullptr, entries[0].text.c_str());
    if (entries[0].text == "/") {
        e.addMessage(msg::MissingClosingTag);
        return 1;
    }
    const std::string name = entries[0].text.substr(1);
    const int32_t opened = a.structure.findOpen(name, 1);
    const run::Piece& p = a.piece;
    const int32_t closing = a.structure.add(run::EntryClosingTag, name, p.start.line, p.start.character);
    if (opened == run::kNotOpen) {
        e.addMessage(msg::ClosingTagNeverOpened, nullptr, name.c_str());
        return 1;
    }
    run::StructureEntry* element = a.structure.entry(opened);
    if (!element) // a container assumed open before the first tag
        return 1;
    element->closed = true;
    element->closingEntry = closing;
    for (size_t k = run.openRequired.size(); k-- > 0;) {
        if (run.openRequired[k] == opened) {
            run.openRequired.erase(run.openRequired.begin() + static_cast<std::ptrdiff_t>(k));
            break;
        }
    }
    if (element->closingRule == 2)
        e.addMessage(msg::ClosingTagNotAllowed, nullptr, element->text.c_str(), element->text.c_str());
    if (!run.validator(vf::CheckNesting) || run.openRequired.empty())
        return 1;
    // The innermost element after the closed one that still waits for its closing tag.
    const int32_t innerIndex = run.openRequired.back();
    if (innerIndex <= opened)
        return 1;
    run::StructureEntry* inner = a.structure.entry(innerIndex);
    if (!inner || inner->nestingReported || lstrcmpiA(inner->text.c_str(), name.c_str()) == 0)
        return 1;
    e.addMessage(msg::NestingError, nullptr, inner->text.c_str(), element->text.c_str(), inner->line);
    inner->nestingReported = true;
    return 1;
}

namespace {

// Deeper elements are drawn at this depth: each line of the listing is indented once per level,
// so a document nested a million deep would list the square of that.
constexpr int32_t kMaxListedDepth = 32;

} // namespace

void writeStructureListing(const run::StructureStore& store, run::LineSink& sink, int32_t flags) {
    if (!(flags & ListSecondStore))
        sink.addLine("", false);
    // Lines go to the sink as soon as they are complete: a long document's listing is never held
    // twice. The first line is written only when it holds something or is the listing's only line.
    std::string line;
    bool firstLine = true, itemOnLine = false, pending = false;
    int32_t depth = 0, deepest = 0;
    auto startLine = [&]() {
        if (!firstLine || !line.empty())
            sink.addLine(line, false);
        firstLine = false;
        line.clear();
        for (int32_t d = 0; d < std::min(depth, kMaxListedDepth); ++d)
            line.append("| ", 2);
        deepest = std::max(deepest, depth);
        itemOnLine = false;
    };
    // An item is written straight onto the line: "<name> ", "&name; " or "</name> ", with its
    // line number after it when asked for.
    auto item = [&](const char* before, const run::StructureEntry& entry, const char* after) {
        line.append(before).append(entry.text.c_str()).append(after);
        if ((flags & ListLineNumbers) && entry.line >= 1) {
            line.push_back('(');
            run::appendNumber(line, entry.line);
            line.append(") ", 2);
        }
        itemOnLine = true;
    };
    for (int32_t i = 0; i < store.count(); ++i) {
        const run::StructureEntry& entry = *store.entry(i);
        switch (entry.kind) {
        case run::EntryOpeningTag:
            if (pending)
                startLine(), pending = false;
            if (entry.closed) {
                if (itemOnLine)
                    startLine();
                pending = true;
                ++depth;
            }
            item("<", entry, entry.quickClose ? "/> " : "> ");
            break;
        case run::EntryEntity:
            if (!(flags & ListEntities))
                break;
            if (pending)
                startLine(), pending = false;
            item("&", entry, "; ");
            break;
        case run::EntryClosingTag:
            --depth;
            if (!(flags & ListCompact)) {
                startLine();
                pending = true;
            }
            item("</", entry, "> ");
            break;
        default:
            break;
        }
    }
    sink.addLine(line, false);
    if (deepest > kMaxListedDepth)
        sink.addLine("Elements nested deeper than " + std::to_string(kMaxListedDepth) +
                         " levels are listed at level " + std::to_string(kMaxListedDepth) + ".",
                     false);
    sink.addLine("", false);
}

} // namespace zel::checks
