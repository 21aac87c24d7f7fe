#include "spell/PhoneticsMap.h"

#include <algorithm>
#include <typeinfo>

#include "framework/core/SysUtils.h"
#include "spell/SpellUtils.h"

TReplaceNode::~TReplaceNode() {
    ClearMap();
}

bool TReplaceNode::GetNextMap(const std::string& Text, std::string& Replacement, int& Count, int Position) {
    if (Position >= 1 && Position <= static_cast<int>(Text.size())) {
        TReplaceNode* child =
            FChildren[static_cast<unsigned char>(Text[static_cast<size_t>(Position - 1)])].get();
        if (child && child->GetNextMap(Text, Replacement, Count, Position + 1))
            return true;
    }
    if (!FRuleEnd)
        return false;
    Replacement = FReplacement;
    Count = FCount;
    return true;
}

// GetNextMap without the recursion and the copies: the deepest rule end on the path of Text.
const TReplaceNode* TReplaceNode::LongestRule(const char* Text, size_t Length, bool* Open) const {
    const TReplaceNode* node = this;
    const TReplaceNode* rule = nullptr;
    size_t k = 0;
    for (; k < Length; ++k) {
        node = node->FChildren[static_cast<unsigned char>(Text[k])].get();
        if (!node)
            break;
        if (node->FRuleEnd)
            rule = node;
    }
    if (Open)
        *Open = node && k == Length && node->FHasChildren;
    return rule;
}

void TReplaceNode::ClearMap() {
    if (FHasChildren)
        for (auto& c : FChildren)
            c.reset();
    FHasChildren = false;
}

void TReplaceNode::AddMap(const std::string& Key, const std::string& Replacement, int Count) {
    TReplaceNode* node = this;
    for (unsigned char c : Key) {
        auto& child = node->FChildren[c];
        if (!child) {
            child = std::make_unique<TReplaceNode>();
            node->FHasChildren = true;
        }
        node = child.get();
    }
    if (node == this)
        return; // the root never carries a rule
    node->FRuleEnd = true;
    node->FReplacement = Replacement;
    node->FCount = Count;
}

void TPhoneticsMap::WriteStartDepth(int Depth) {
    if (Depth >= 1)
        FStartDepth = Depth;
}

std::string TPhoneticsMap::GetMapping(const std::string& Word) {
    const std::string word = WordLowerCase(Word);
    const char* text = word.data();
    const size_t size = word.size();
    size_t at = FStartDepth > 0 ? std::min(size, static_cast<size_t>(FStartDepth)) : 0;
    std::string result(text, at);
    int budget = FBudget;
    while (at < size) {
        const TReplaceNode* rule = LongestRule(text + at, size - at);
        if (!rule) {
            ++at;
            continue;
        }
        const std::string& rep = rule->Replacement();
        if (FCollapse && !result.empty() && rule->Consumed() == 1 && !rep.empty() &&
            result.back() == rep.front()) {
            // a doubled sound contributes once
        } else {
            result += rep;
            budget -= static_cast<int>(rep.size());
            if (budget < 1)
                break;
        }
        at += static_cast<size_t>(rule->Consumed() < 1 ? 1 : rule->Consumed());
    }
    return result;
}

namespace {

// Whether the platform lowers the ASCII letters of a word as WordLowerCase lowers an ASCII word,
// so that a prefix of ASCII characters is lowered alike whatever follows it.
bool asciiLowersAlike() {
    static const bool alike = [] {
        for (int c = 1; c < 0x80; ++c) {
            std::string one(1, static_cast<char>(c));
            if (AnsiLowerCase(one) != WordLowerCase(one))
                return false;
        }
        return true;
    }();
    return alike;
}

} // namespace

// GetMapping over the prefix, as far as its steps cannot depend on what follows: the output so far
// begins every longer word's mapping, and once the budget is spent it is the whole mapping.
bool TPhoneticsMap::MayMapBeyond(const char* Prefix, size_t Length, const std::string& Mapping) const {
    if (typeid(*this) != typeid(TPhoneticsMap) || FStartDepth < 1 ||
        Length < static_cast<size_t>(FStartDepth))
        return true;
    char text[512];
    if (Length > sizeof text || !asciiLowersAlike())
        return true;
    for (size_t i = 0; i < Length; ++i) {
        const unsigned char c = static_cast<unsigned char>(Prefix[i]);
        if (c >= 0x80)
            return true;
        text[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    size_t out = 0, at = 0;
    for (; at < static_cast<size_t>(FStartDepth); ++at, ++out)
        if (out >= Mapping.size() || Mapping[out] != text[at])
            return false;
    char last = text[at - 1];
    int budget = FBudget;
    while (at < Length) {
        bool open = false;
        const TReplaceNode* rule = LongestRule(text + at, Length - at, &open);
        if (open)
            return true;
        if (!rule) {
            ++at;
            continue;
        }
        const std::string& rep = rule->Replacement();
        if (!(FCollapse && rule->Consumed() == 1 && !rep.empty() && last == rep.front())) {
            for (char c : rep) {
                if (out >= Mapping.size() || Mapping[out] != c)
                    return false;
                ++out;
                last = c;
            }
            budget -= static_cast<int>(rep.size());
            if (budget < 1)
                return out == Mapping.size();
        }
        at += static_cast<size_t>(rule->Consumed() < 1 ? 1 : rule->Consumed());
    }
    return true;
}

bool TPhoneticsMap::AcceptableDistance(const std::string& Word, int Distance) {
    int div = FDivisor < 1 ? 1 : FDivisor;
    return Distance <= static_cast<int>(Word.size()) / div && Distance <= FMaxDistance;
}

void TPhoneticsMap::WriteLanguage(unsigned Language) {
    if (Language == FLanguage)
        return;
    FLanguage = Language;
    const RuleSet want = (Language & 0xFF) == 9 ? rsEnglish : (Language & 0xFF) == 25 ? rsRussian : rsGeneric;
    if (FRuleSet == want)
        return;
    // The checker goes from English to the generic rules and back for most words it is asked about.
    if (FRuleSet != rsChanged && FHasChildren) {
        FKept[FRuleSet] = std::move(FChildren);
        FKeptFilled[FRuleSet] = true;
        FHasChildren = false;
    }
    TReplaceNode::ClearMap();
    FRuleSet = want;
    if (FKeptFilled[want]) {
        FChildren = std::move(FKept[want]);
        FKeptFilled[want] = false;
        FHasChildren = true;
        return;
    }
    FLoading = true;
    switch (want) {
    case rsEnglish:
        LoadEnglish();
        break;
    case rsRussian:
        LoadRussian();
        break;
    default:
        LoadGeneric();
        break;
    }
    FLoading = false;
}

void TPhoneticsMap::ClearMap() {
    TReplaceNode::ClearMap();
    if (!FLoading)
        FRuleSet = rsChanged;
}

void TPhoneticsMap::AddMap(const std::string& Key, const std::string& Replacement, int Count) {
    TReplaceNode::AddMap(Key, Replacement, Count);
    if (!FLoading)
        FRuleSet = rsChanged;
}

void TPhoneticsMap::LoadEnglish() {
    struct Rule {
        const char* keys;
        const char* rep;
        int count;
    };
    static const Rule rules[] = {
        {"b", "b", 1},
        {"cia", "x", 1},
        {"ch", "x", 2},
        {"ci ce cy", "s", 1},
        {"c", "k", 1},
        {"dge dgy dgi", "j", 2},
        {"d", "t", 1},
        {"f", "f", 1},
        {"gha ghe ghi gho ghu ghy", "k", 2},
        {"gh", "", 2},
        {"gn", "n", 2},
        {"gi ge gy", "j", 1},
        {"g", "k", 1},
        {"h", "h", 1},
        {"aha ahe ahi aho ahu eha ehe ehi eho ehu iha ihe ihi iho ihu oha ohe ohi oho ohu uha uhe uhi uho "
         "uhu",
         "h", 2},
        {"ah eh ih oh uh", "", 2},
        {"j", "j", 1},
        {"ck", "k", 2},
        {"k", "k", 1},
        {"l", "l", 1},
        {"m", "m", 1},
        {"n", "n", 1},
        {"ph", "f", 2},
        {"p", "p", 1},
        {"q", "k", 1},
        {"r", "r", 1},
        {"sh", "x", 2},
        {"sio sia", "x", 1},
        {"s", "s", 1},
        {"tia tio", "x", 1},
        {"th", "0", 2},
        {"tch", "x", 3},
        {"t", "t", 1},
        {"v", "f", 1},
        {"wa we wi wo wu wy", "w", 1},
        {"x", "ks", 1},
        {"ya ye yi yo yu", "y", 1},
        {"yy", "y", 2},
        {"z", "s", 1},
    };
    for (const Rule& r : rules) {
        std::string keys = r.keys;
        size_t start = 0;
        while (start <= keys.size()) {
            size_t end = keys.find(' ', start);
            if (end == std::string::npos)
                end = keys.size();
            AddMap(keys.substr(start, end - start), r.rep, r.count);
            start = end + 1;
        }
    }
}

void TPhoneticsMap::LoadGeneric() {
    static const char* const groups[][2] = {{"bfpv", "b"}, {"cgjkqsxz", "k"}, {"dt", "d"},
                                            {"l", "l"},    {"mn", "m"},       {"r", "r"}};
    for (const auto& g : groups)
        for (const char* k = g[0]; *k; ++k)
            AddMap(std::string(1, *k), g[1], 1);
}

void TPhoneticsMap::LoadRussian() {
    struct Rule {
        const char* key;
        const char* rep;
        int count;
    };
    static const Rule rules[] = {
        {"\xE1", "\xE1\xFC", 1},
        {"\xE2", "\xE2\xFC", 1},
        {"\xE3", "\xE3\xFC", 1},
        {"\xE4", "\xF2", 1},
        {"\xE7", "\xF1", 1},
        {"\xEA", "\xE3", 1},
        {"\xEB", "\xEB\xFC", 1},
        {"\xEC", "\xEC\xFC", 1},
        {"\xED", "\xED\xFC", 1},
        {"\xEF", "\xEF\xFC", 1},
        {"\xF0", "\xF0\xFC", 1},
        {"\xF1", "\xF1\xFC", 1},
        {"\xF2", "\xF2\xFC", 1},
        {"\xE6", "\xF8", 1},
        {"\xEE", "\xE0", 1},
        {"\xEE\xF0\xEE", "\xEE\xF0\xE0", 3},
        {"\xEE\xEB\xEE", "\xEE\xEB\xE0", 3},
        {"\xED\xED", "\xED", 2},
        {"\xF1\xF1", "\xF1", 2},
        {"\xE5\xE5", "\xE5", 2},
        {"\xE6\xE8", "\xE6\xFB", 2},
        {"\xF8\xE8", "\xF8\xFB", 2},
        {"\xF9\xF3", "\xF8\xFE", 2},
        {"\xF1\xF7", "\xF9", 2},
        {"\xF9", "\xF8\xFC", 1},
        {"\xF1\xF8", "\xF8", 1},
    };
    for (const Rule& r : rules)
        AddMap(r.key, r.rep, r.count);
}
