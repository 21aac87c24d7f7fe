#include "engine/checks/ValueKinds.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "engine/run/MessageIds.h"
#include "engine/utils/CharClasses.h"

namespace zel::checks {

namespace {

using chars::isDigit;

const char* const kBasicColors[] = {"aqua",   "black",  "blue",  "fuchsia", "gray",   "green",
                                    "lime",   "maroon", "navy",  "olive",   "purple", "red",
                                    "silver", "teal",   "white", "yellow"};

const char* const kExtendedColors[] = {"aliceblue",
                                       "antiquewhite",
                                       "aqua",
                                       "aquamarine",
                                       "azure",
                                       "beige",
                                       "bisque",
                                       "black",
                                       "blanchedalmond",
                                       "blue",
                                       "blueviolet",
                                       "brown",
                                       "burlywood",
                                       "cadetblue",
                                       "chartreuse",
                                       "chocolate",
                                       "coral",
                                       "cornflowerblue",
                                       "cornsilk",
                                       "crimson",
                                       "cyan",
                                       "darkblue",
                                       "darkcyan",
                                       "darkgoldenrod",
                                       "darkgray",
                                       "darkgreen",
                                       "darkkhaki",
                                       "darkmagenta",
                                       "darkolivegreen",
                                       "darkorange",
                                       "darkorchid",
                                       "darkred",
                                       "darksalmon",
                                       "darkseagreen",
                                       "darkslateblue",
                                       "darkslategray",
                                       "darkturquoise",
                                       "darkviolet",
                                       "deeppink",
                                       "deepskyblue",
                                       "dimgray",
                                       "dodgerblue",
                                       "firebrick",
                                       "floralwhite",
                                       "forestgreen",
                                       "fuchsia",
                                       "gainsboro",
                                       "ghostwhite",
                                       "gold",
                                       "goldenrod",
                                       "gray",
                                       "green",
                                       "greenyellow",
                                       "honeydew",
                                       "hotpink",
                                       "indianred",
                                       "indigo",
                                       "ivory",
                                       "khaki",
                                       "lavender",
                                       "lavenderblush",
                                       "lawngreen",
                                       "lemonchiffon",
                                       "lightblue",
                                       "lightcoral",
                                       "lightcyan",
                                       "lightgoldenrodyellow",
                                       "lightgreen",
                                       "lightgrey",
                                       "lightpink",
                                       "lightsalmon",
                                       "lightseagreen",
                                       "lightskyblue",
                                       "lightslategray",
                                       "lightsteelblue",
                                       "lightyellow",
                                       "lime",
                                       "limegreen",
                                       "linen",
                                       "magenta",
                                       "maroon",
                                       "mediumaquamarine",
                                       "mediumblue",
                                       "mediumorchid",
                                       "mediumpurple",
                                       "mediumseagreen",
                                       "mediumslateblue",
                                       "mediumspringgreen",
                                       "mediumturquoise",
                                       "mediumvioletred",
                                       "midnightblue",
                                       "mintcream",
                                       "mistyrose",
                                       "moccasin",
                                       "navajowhite",
                                       "navy",
                                       "oldlace",
                                       "olive",
                                       "olivedrab",
                                       "orange",
                                       "orangered",
                                       "orchid",
                                       "palegoldenrod",
                                       "palegreen",
                                       "paleturquoise",
                                       "palevioletred",
                                       "papayawhip",
                                       "peachpuff",
                                       "peru",
                                       "pink",
                                       "plum",
                                       "powderblue",
                                       "purple",
                                       "red",
                                       "rosybrown",
                                       "royalblue",
                                       "saddlebrown",
                                       "salmon",
                                       "sandybrown",
                                       "seagreen",
                                       "seashell",
                                       "sienna",
                                       "silver",
                                       "skyblue",
                                       "slateblue",
                                       "slategray",
                                       "snow",
                                       "springgreen",
                                       "steelblue",
                                       "tan",
                                       "teal",
                                       "thistle",
                                       "tomato",
                                       "turquoise",
                                       "violet",
                                       "wheat",
                                       "white",
                                       "whitesmoke",
                                       "yellow",
                                       "yellowgreen"};

static_assert(std::size(kBasicColors) == 16, "basic colour names");
static_assert(std::size(kExtendedColors) == 140, "extended colour names");

bool inList(const char* const* list, size_t n, const std::string& v) {
    for (size_t i = 0; i < n; ++i)
        if (lstrcmpiA(list[i], v.c_str()) == 0)
            return true;
    return false;
}

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool allDigits(const std::string& v, size_t from = 0) {
    if (v.size() <= from)
        return false;
    for (size_t i = from; i < v.size(); ++i)
        if (!isDigit(v[i]))
            return false;
    return true;
}

bool positiveInteger(const std::string& v) {
    return allDigits(v) && v != "0";
}

// The digits without their leading zeros; "0" stays "0"'s empty rest.
std::string dropLeadingZeros(const std::string& digits) {
    const size_t nz = digits.find_first_not_of('0');
    return nz == std::string::npos ? std::string() : digits.substr(nz);
}

bool alphanumeric(const std::string& v, bool underscore) {
    if (v.empty())
        return false;
    for (char c : v) {
        const bool ok =
            std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || (underscore && c == '_');
        if (!ok)
            return false;
    }
    return true;
}

bool sixHex(const std::string& v, size_t from) {
    if (v.size() != from + 6)
        return false;
    for (size_t i = from; i < v.size(); ++i)
        if (!isHex(v[i]))
            return false;
    return true;
}

// Six characters that are hexadecimal digits but for at least one letter O.
bool sixHexWithO(const std::string& v, size_t from) {
    if (v.size() != from + 6)
        return false;
    bool o = false;
    for (size_t i = from; i < v.size(); ++i) {
        if (v[i] == 'o' || v[i] == 'O')
            o = true;
        else if (!isHex(v[i]))
            return false;
    }
    return o;
}

// The test of a kind on a value that is there. message: 319/320 for the near forms of code 5.
bool test(int32_t code, const std::string& v, const KindOptions& o, int32_t& message) {
    switch (code) {
    case 1:
        return positiveInteger(v);
    case 2:
        return v.size() > 1 && v[0] == '-' && positiveInteger(v.substr(1));
    case 3:
        return v == "0";
    case 4:
        return !v.empty();
    case 5:
        if (!v.empty() && v[0] == '#' && sixHex(v, 1))
            return true;
        if (sixHex(v, 0))
            message = msg::ColourMissingHash;
        else if (sixHexWithO(v, 0) || (!v.empty() && v[0] == '#' && sixHexWithO(v, 1)))
            message = msg::ColourLetterO;
        return false;
    case 6:
        return v.size() > 1 && (v[0] == '+' || v[0] == '-') && positiveInteger(v.substr(1));
    case 7: {
        if (v.size() < 2 || v.back() != '%')
            return false;
        const std::string rest = v.substr(0, v.size() - 1);
        if (!positiveInteger(rest) && rest != "0")
            return false;
        const std::string digits = dropLeadingZeros(rest);
        return digits.size() <= 3 && (digits.empty() || std::stoi(digits) <= 100);
    }
    case 9:
        return true;
    case 10:
        return v.empty();
    case 11:
        return alphanumeric(v, o.underscore);
    case 12:
        return inList(kBasicColors, std::size(kBasicColors), v);
    case 13:
        return inList(kExtendedColors, std::size(kExtendedColors), v);
    case 14:
        return v.size() == 1 && v[0] >= '1' && v[0] <= '7';
    case 15: {
        if (v.size() < 2 || (v[0] != '+' && v[0] != '-') || !positiveInteger(v.substr(1)))
            return false;
        const std::string digits = dropLeadingZeros(v.substr(1));
        return digits.size() <= 1 && (digits.empty() || digits[0] <= '6');
    }
    case 16:
        return v.size() == 8 && v[0] == '#' && v[1] == '#' && sixHex(v, 2);
    case 17:
        if (o.cfml)
            return v.compare(0, 3, "CxF") == 0;
        return v.size() >= 3 && v[0] == '#' && std::isalpha(static_cast<unsigned char>(v[1])) &&
               v.back() == '#';
    case 18:
        return v.size() == 1;
    case 19:
        return v.size() == 1 && alphanumeric(v, o.underscore);
    case 20:
        return v == "*" || (v.size() > 1 && v.back() == '*' && positiveInteger(v.substr(0, v.size() - 1)));
    default:
        return false;
    }
}

bool retriedWithoutPlaceholders(int32_t code) {
    return code == 1 || code == 3 || code == 5 || code == 12 || code == 13 || code == 14;
}

} // namespace

bool isBasicColorName(const std::string& value) {
    return inList(kBasicColors, std::size(kBasicColors), value);
}

bool isExtendedColorName(const std::string& value) {
    return inList(kExtendedColors, std::size(kExtendedColors), value);
}

bool kindAccepts(int32_t code, const std::string& value, bool hasValue, const KindOptions& o,
                 int32_t& message, bool& known) {
    message = 0;
    known = code >= 1 && code <= 20;
    if (!known)
        return false;
    if (code == 8)
        return !hasValue;
    if (!hasValue)
        return false;
    if (test(code, value, o, message))
        return true;
    if (!retriedWithoutPlaceholders(code))
        return false;
    std::string stripped = value;
    bool removed = false;
    for (const std::string& w : o.placeholders) {
        for (size_t at = stripped.find(w); at != std::string::npos; at = stripped.find(w, at)) {
            stripped.erase(at, w.size());
            removed = true;
        }
    }
    if (!removed)
        return false;
    int32_t ignored = 0;
    if (code == 5)
        return !stripped.empty() && stripped[0] == '#' && sixHex(stripped, 1);
    return test(code, stripped, o, ignored);
}

const char* kindSuggestionName(int32_t code) {
    switch (code) {
    case 1:
        return "a positive integer";
    case 2:
        return "a negative integer";
    case 3:
        return "\"0\" (zero)";
    case 4:
        return "a string";
    case 5:
        return "a six digit hexadecimal number in the form #HHHHHH";
    case 6:
        return "an integer offset";
    case 7:
        return "a percent";
    case 8:
        return "no value";
    case 10:
        return "a null (empty) string";
    case 11:
        return "an alphanumeric string";
    case 12:
        return "one of the 16 basic color names";
    case 13:
        return "one of the Netscape color names";
    case 14:
        return "an integer from 1 to 7";
    case 15:
        return "an integer offset from -6 to +6";
    case 18:
        return "a single character";
    case 19:
        return "a single alphanumeric character";
    case 20:
        return "a relative width in the form i*";
    default:
        return nullptr;
    }
}

int32_t quotingMessage(int32_t rule, int32_t quoting, const QuotingOptions& o) {
    if (o.ignoreRequirements)
        return 0;
    if (o.allEquivalent) {
        if (rule == 0 || rule == 8)
            rule = 9;
        else if (rule == 1)
            rule = 7;
    }
    if (o.requireQuoted)
        rule = 9;
    switch (rule) {
    case 0:
        return quoting == 2 ? 0 : msg::ValueNotDoubleQuoted;
    case 1:
        return quoting == 1 ? msg::ValueSingleQuotedNeedlessly : 0;
    case 2:
        return quoting != 0 ? msg::ValueQuotedNeedlessly : 0;
    case 8:
        return quoting == 1 ? 0 : msg::ValueNotSingleQuoted;
    case 9:
        return quoting == 0 ? msg::ValueNotQuoted : 0;
    default:
        return 0;
    }
}

} // namespace zel::checks
