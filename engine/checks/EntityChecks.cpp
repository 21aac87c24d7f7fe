#include "engine/checks/EntityChecks.h"

#include "engine/run/MessageIds.h"
#include "engine/utils/NumericReference.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace zel::checks {

namespace {

// HTML 4.01's Latin-1 set is the 96 names of the characters 160-255 and the four markup characters.
const char* const kMarkup[] = {"amp", "gt", "lt", "quot"};

// HTML 4.01: symbols, mathematical symbols and Greek letters.
const char* const kSymbols[] = {
    "fnof",     "Alpha",  "Beta",   "Gamma",   "Delta",  "Epsilon", "Zeta",   "Eta",   "Theta", "Iota",
    "Kappa",    "Lambda", "Mu",     "Nu",      "Xi",     "Omicron", "Pi",     "Rho",   "Sigma", "Tau",
    "Upsilon",  "Phi",    "Chi",    "Psi",     "Omega",  "alpha",   "beta",   "gamma", "delta", "epsilon",
    "zeta",     "eta",    "theta",  "iota",    "kappa",  "lambda",  "mu",     "nu",    "xi",    "omicron",
    "pi",       "rho",    "sigmaf", "sigma",   "tau",    "upsilon", "phi",    "chi",   "psi",   "omega",
    "thetasym", "upsih",  "piv",    "bull",    "hellip", "prime",   "Prime",  "oline", "frasl", "weierp",
    "image",    "real",   "trade",  "alefsym", "larr",   "uarr",    "rarr",   "darr",  "harr",  "crarr",
    "lArr",     "uArr",   "rArr",   "dArr",    "hArr",   "forall",  "part",   "exist", "empty", "nabla",
    "isin",     "notin",  "ni",     "prod",    "sum",    "minus",   "lowast", "radic", "prop",  "infin",
    "ang",      "and",    "or",     "cap",     "cup",    "int",     "there4", "sim",   "cong",  "asymp",
    "ne",       "equiv",  "le",     "ge",      "sub",    "sup",     "nsub",   "sube",  "supe",  "oplus",
    "otimes",   "perp",   "sdot",   "lceil",   "rceil",  "lfloor",  "rfloor", "lang",  "rang",  "loz",
    "spades",   "clubs",  "hearts", "diams",
};

// HTML 4.01: markup-significant and internationalisation characters.
const char* const kSpecial[] = {
    "quot",  "amp",   "lt",     "gt",    "OElig",  "oelig",  "Scaron", "scaron", "Yuml",   "circ",  "tilde",
    "ensp",  "emsp",  "thinsp", "zwnj",  "zwj",    "lrm",    "rlm",    "ndash",  "mdash",  "lsquo", "rsquo",
    "sbquo", "ldquo", "rdquo",  "bdquo", "dagger", "Dagger", "permil", "lsaquo", "rsaquo", "euro",
};

static_assert(sizeof kSymbols / sizeof *kSymbols == 124, "symbols set");
static_assert(sizeof kSpecial / sizeof *kSpecial == 32, "special set");

struct BuiltinSets {
    std::vector<const char*> lists[3];
    // Upper-cased name -> every spelling, in search order (list by list, stored order).
    std::unordered_map<std::string, std::vector<const char*>> byUpper;

    BuiltinSets() {
        auto fill = [](std::vector<const char*>& v, const char* const* names, size_t n) {
            v.assign(names, names + n);
            std::sort(v.begin(), v.end(), [](const char* a, const char* b) {
                const int c = lstrcmpiA(a, b);
                return c != 0 ? c < 0 : std::strcmp(a, b) < 0;
            });
        };
        std::vector<const char*> latin1(std::begin(latin1EntityNames), std::end(latin1EntityNames));
        latin1.insert(latin1.end(), std::begin(kMarkup), std::end(kMarkup));
        fill(lists[0], latin1.data(), latin1.size());
        fill(lists[1], kSymbols, std::size(kSymbols));
        fill(lists[2], kSpecial, std::size(kSpecial));
        for (const auto& list : lists)
            for (const char* name : list)
                byUpper[upperCase(name)].push_back(name);
    }
};

const BuiltinSets& builtins() {
    static const BuiltinSets sets;
    return sets;
}

// A Unicode scalar value: what a character reference may name. Zero, the surrogates and values
// past the last plane name no character.
constexpr size_t kLongestEntityName = 256;

bool inUnicodeRange(long value) {
    return value >= 32 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
}

// "#" + decimal digits or "#x" + hexadecimal digits: the value (capped just above the last
// Unicode value so that long digit strings cannot overflow), or -1 when the name has another form.
long numericValue(const std::string& name, bool& hex) {
    hex = name.size() >= 2 && name[1] == 'x';
    const size_t start = hex ? 2 : 1;
    if (name.size() <= start || name[0] != '#')
        return -1;
    return referenceValue(name.data() + start, name.size() - start, hex, 0x10FFFF);
}

} // namespace

int32_t builtinEntityCount(int32_t list) {
    return list >= 0 && list < 3 ? static_cast<int32_t>(builtins().lists[list].size()) : 0;
}

const char* builtinEntityName(int32_t list, int32_t index) {
    if (index < 0 || index >= builtinEntityCount(list))
        return nullptr;
    return builtins().lists[list][static_cast<size_t>(index)];
}

bool isBuiltinEntity(const std::string& name) {
    const auto& map = builtins().byUpper;
    auto it = map.find(upperCase(name));
    if (it == map.end())
        return false;
    for (const char* spelling : it->second)
        if (name == spelling)
            return true;
    return false;
}

int numericEntity(CheckRun& run, const std::string& name) {
    bool hex = false;
    const long value = numericValue(name, hex);
    if (value < 0)
        return 0;
    if (hex && !run.entity(ef::AllowHexadecimalEntities)) {
        run.args.emitter.addHint(msg::HintHexadecimalEntities);
        return 0;
    }
    if (value == 9 || value == 10 || (value >= 32 && value <= 255))
        return 1;
    if (!inUnicodeRange(value))
        return 0;
    if (run.entity(ef::IncludeUnicode))
        return 1;
    run.args.emitter.addHint(msg::HintUnicodeEntities);
    return 0;
}

int checkEntity(CheckRun& run, const std::string& name, const std::string& shownText, int32_t flags,
                const MsgLocation& at) {
    if (name.empty())
        return 0;
    run::MessageEmitter& e = run.args.emitter;
    if (flags & EntityAllowCfmlRetry) {
        std::string copy;
        bool replaced = false;
        for (size_t i = 0; i < name.size(); ++i) {
            if (name[i] == '#' && i + 1 < name.size() && name[i + 1] == '#') {
                copy += '#';
                ++i;
                replaced = true;
            } else {
                copy += name[i];
            }
        }
        if (replaced && run.args.structure.findOpen("cfoutput", 1) != run::kNotOpen)
            return checkEntity(run, copy, name, flags & ~EntityAllowCfmlRetry, at);
    }
    std::string shown = shownText.empty() ? name : shownText;
    if (shown.size() > 20)
        shown.resize(20);

    if (numericEntity(run, name))
        return 1;

    std::string nearMatch;
    const auto& map = builtins().byUpper;
    const std::string upper = upperCase(name);
    auto it = map.find(upper);
    if (it != map.end()) {
        for (const char* spelling : it->second) {
            if (name == spelling)
                return 1;
            nearMatch = spelling;
        }
    }

    const CfgStore& cfg = *run.cfg;
    int32_t pos = run.entityPosition(name);
    if (pos < 0) {
        if (!nearMatch.empty())
            e.addMessage(msg::EntityCaseMismatch, &at, shown.c_str(), nearMatch.c_str());
        else
            e.addMessage(msg::UnknownEntity, &at, shown.c_str());
        return 0;
    }
    const int32_t count = cfg.getCount(CFG_ENTITY);
    for (; pos < count; ++pos) {
        const TagStore* r = cfg.recordAt(CFG_ENTITY, pos);
        if (!r || !namesEqual(r->getName(), name.c_str()))
            break;
        if (cfg.positionOf(CFG_ENTITY, r->getWord(1)) != pos ||
            !run.usable(CFG_ENTITY, r->getWord(1), msg::EntityUndefinedCategory, r->getName(), &at))
            continue;
        if (name == r->getName())
            return 1;
        nearMatch = r->getName();
    }
    if (!nearMatch.empty())
        e.addMessage(msg::EntityCaseMismatch, &at, shown.c_str(), nearMatch.c_str());
    else
        e.addMessage(msg::InactiveEntity, &at, shown.c_str());
    return 0;
}

size_t scanEntity(CheckRun& run, const std::string& line, size_t pos, int32_t lineNumber) {
    // The next ";" of the line is remembered: on one long line with many "&" and few ";" a
    // search from every "&" would cost time in the square of the line's length.
    SemicolonCache& c = run.semicolons;
    if (c.line != lineNumber || pos + 1 < c.from || (c.at != std::string::npos && c.at <= pos)) {
        c.line = lineNumber;
        c.from = pos + 1;
        c.at = line.find(';', pos + 1);
    }
    const size_t semi = c.at;
    MsgLocation at{lineNumber, static_cast<int32_t>(pos) + 1, -1};
    if (semi == std::string::npos) {
        run.args.emitter.addMessage(msg::EndOfLineInEntity, &at);
        return pos + 1;
    }
    at.length = static_cast<int32_t>(semi - pos + 1);
    // No entity name is anywhere near this long: it is unknown, and only its start is shown.
    // (Taking every such name whole would cost the square of a long line's length.)
    if (semi - pos - 1 > kLongestEntityName) {
        run.args.emitter.addMessage(msg::UnknownEntity, &at, line.substr(pos + 1, 20).c_str());
        return pos + 1;
    }
    const std::string name = line.substr(pos + 1, semi - pos - 1);
    if (!checkEntity(run, name, std::string(), EntityAllowCfmlRetry, at))
        return pos + 1;
    run.args.structure.add(run::EntryEntity, name, lineNumber, static_cast<int32_t>(pos) + 1);
    return semi + 1;
}

int32_t unresolvedAmpersands(CheckRun& run, const std::string& value) {
    int32_t count = 0;
    for (size_t i = value.find('&'); i != std::string::npos; i = value.find('&', i + 1)) {
        // The name ends at the first ";"; a blank or another "&" before it means it has none.
        // Looking only that far keeps a value full of "&" linear.
        const size_t stop = value.find_first_of(" \t&;", i + 1);
        if (stop == std::string::npos || value[stop] != ';' || stop == i + 1) {
            ++count;
            continue;
        }
        const std::string name = value.substr(i + 1, stop - i - 1);
        bool hex = false;
        if (numericValue(name, hex) >= 0 || isBuiltinEntity(name))
            continue;
        bool known = false;
        int32_t p = run.entityPosition(name);
        for (const int32_t n = run.cfg->getCount(CFG_ENTITY); p >= 0 && p < n && !known; ++p) {
            const TagStore* r = run.cfg->recordAt(CFG_ENTITY, p);
            if (!r || !namesEqual(r->getName(), name.c_str()))
                break;
            known = name == r->getName();
        }
        if (!known)
            ++count;
    }
    return count;
}

} // namespace zel::checks
