#include "engine/config/CfgSource.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace {

struct Statement {
    int line = 0;
    std::vector<std::string> tokens;
};

struct Pending {
    int line = 0;
    int32_t kind = 0;
    std::string key;
    int32_t type = 0;
    std::string category;
    int32_t props[7] = {-1, -1, -1, -1, -1, -1, -1};
    // Which kind each list's references point at, and the references themselves.
    int32_t listKind[CFG_LISTS] = {-1, -1, -1, -1, -1};
    std::vector<std::string> lists[CFG_LISTS];
    int32_t number = -1;
    std::string text; // string 0 of a string record
};

bool tokenize(const std::string& line, std::vector<std::string>& out, std::string& error) {
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            std::string tok;
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                tok += line[i++];
            }
            if (i >= line.size()) {
                error = "missing closing quotation mark";
                return false;
            }
            ++i;
            out.push_back(tok);
        } else {
            size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
                ++i;
            out.push_back(line.substr(start, i - start));
        }
    }
    return true;
}

std::string nameOfKey(const std::string& key) {
    size_t at = key.find('@');
    return at == std::string::npos || at == 0 ? key : key.substr(0, at);
}

class Compiler {
public:
    explicit Compiler(CfgStore& s) : store(s) {}

    bool run(const std::string& text, std::string& error) {
        if (!store.setDefaults())
            return fail(0, "the built-in records could not be made", error);
        for (int32_t kind = 0; kind < CFG_KINDS; ++kind)
            for (int32_t p = 0; p < store.getCount(kind); ++p) {
                const TagStore* r = store.recordAt(kind, p);
                keys[kind][r->getName()] = r->getWord(1);
            }
        std::vector<Statement> statements;
        if (!split(text, statements, error))
            return false;
        for (const Statement& st : statements)
            if (!parse(st, error))
                return false;
        for (Pending& p : pending)
            if (!add(p, error))
                return false;
        for (Pending& p : pending)
            if (!resolve(p, error))
                return false;
        for (const auto& [line, key] : activeList) {
            auto it = keys[CFG_CATEGORY].find(key);
            if (it == keys[CFG_CATEGORY].end())
                return fail(line, "unknown category \"" + key + "\"", error);
            store.activeCategories().push_back(it->second);
        }
        return true;
    }

private:
    bool fail(int line, const std::string& text, std::string& error) {
        error = "line " + std::to_string(line) + ": " + text;
        return false;
    }

    bool split(const std::string& text, std::vector<Statement>& out, std::string& error) {
        std::istringstream in(text);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            std::vector<std::string> tokens;
            std::string why;
            if (!tokenize(line, tokens, why))
                return fail(number, why, error);
            if (tokens.empty())
                continue;
            const bool continues = line[0] == ' ' || line[0] == '\t';
            if (continues) {
                if (out.empty())
                    return fail(number, "a continuation line without a statement", error);
                out.back().tokens.insert(out.back().tokens.end(), tokens.begin(), tokens.end());
            } else {
                out.push_back(Statement{number, std::move(tokens)});
            }
        }
        return true;
    }

    // Expands "$NAME" items through the sets.
    bool expand(int line, const std::string& item, std::vector<std::string>& out, std::string& error) {
        if (item.size() > 1 && item[0] == '$') {
            auto it = sets.find(item.substr(1));
            if (it == sets.end())
                return fail(line, "unknown set \"" + item + "\"", error);
            out.insert(out.end(), it->second.begin(), it->second.end());
        } else {
            out.push_back(item);
        }
        return true;
    }

    static bool isInt(const std::string& s, int32_t& v) {
        char* end = nullptr;
        long n = std::strtol(s.c_str(), &end, 10);
        if (s.empty() || *end)
            return false;
        v = static_cast<int32_t>(n);
        return true;
    }

    bool parse(const Statement& st, std::string& error) {
        const auto& t = st.tokens;
        const std::string& verb = t[0];
        const int line = st.line;
        if (verb == "header") {
            int32_t n;
            if (t.size() != 3 || !isInt(t[1], n) || !store.setHeader(n, t[2].c_str()))
                return fail(line, "header needs a number 0-9 and a text", error);
            return true;
        }
        if (verb == "set") {
            if (t.size() < 2)
                return fail(line, "set needs a name", error);
            std::vector<std::string> items;
            for (size_t i = 2; i < t.size(); ++i)
                if (!expand(line, t[i], items, error))
                    return false;
            sets[t[1]] = std::move(items);
            return true;
        }
        if (verb == "default") {
            if (t.size() != 3 || t[1] != "category")
                return fail(line, "expected: default category KEY", error);
            defaultCategory = t[2];
            return true;
        }
        if (verb == "activelist") {
            for (size_t i = 1; i < t.size(); ++i)
                activeList.emplace_back(line, t[i]);
            return true;
        }
        if (t.size() < 2)
            return fail(line, verb + " needs a key", error);

        Pending p;
        p.line = line;
        p.key = t[1];
        p.category = defaultCategory;
        // Which list the following items go to, or -1 when they are words.
        int current = -1;
        size_t i = 2;
        auto word = [&](const char* w) { return t[i] == w; };

        if (verb == "category") {
            p.kind = CFG_CATEGORY;
            p.type = 1;
            p.category.clear();
            for (; i < t.size(); ++i) {
                if (word("active"))
                    p.type = 1;
                else if (word("inactive"))
                    p.type = 0;
                else if (word("undefined"))
                    p.type = 2;
                else
                    return fail(line, "unknown word \"" + t[i] + "\"", error);
            }
        } else if (verb == "value") {
            p.kind = CFG_ATTVALUE;
            p.props[0] = 7;
            p.props[1] = 0;
            p.props[2] = 0;
            for (; i < t.size(); ++i) {
                if ((word("kind") || word("quote")) && i + 1 < t.size()) {
                    int32_t n;
                    if (!isInt(t[i + 1], n))
                        return fail(line, "a number must follow " + t[i], error);
                    (word("kind") ? p.type : p.props[0]) = n;
                    ++i;
                } else if (word("case")) {
                    p.props[1] = 5;
                } else if (word("category") && i + 1 < t.size()) {
                    p.category = t[++i];
                } else {
                    return fail(line, "unknown word \"" + t[i] + "\"", error);
                }
            }
        } else if (verb == "attribute" || verb == "group") {
            p.kind = CFG_ATTRIBUTE;
            p.type = verb == "group" ? CFG_ATTRIBUTE_GROUP : 0;
            p.props[0] = p.props[1] = p.props[2] = p.props[3] = p.props[4] = 0;
            p.listKind[0] = verb == "group" ? CFG_ATTRIBUTE : CFG_ATTVALUE;
            for (; i < t.size(); ++i) {
                if (word("values") && verb == "attribute")
                    current = 0;
                else if (word("members") && verb == "group")
                    current = 0;
                else if (word("required") && current < 0)
                    p.props[0] = 3;
                else if (word("recommended") && current < 0)
                    p.props[1] = 1;
                else if (word("category") && i + 1 < t.size())
                    p.category = t[++i], current = -1;
                else if (current >= 0) {
                    if (!expand(line, t[i], p.lists[current], error))
                        return false;
                } else
                    return fail(line, "unknown word \"" + t[i] + "\"", error);
            }
        } else if (verb == "element") {
            p.kind = CFG_TAGNAME;
            p.type = 0;
            p.props[0] = 0;
            p.props[1] = p.props[2] = p.props[3] = p.props[4] = p.props[6] = 0;
            p.listKind[0] = p.listKind[1] = CFG_TAGNAME;
            p.listKind[2] = CFG_ATTRIBUTE;
            bool closeGiven = false;
            for (; i < t.size(); ++i) {
                if (word("close") && i + 1 < t.size()) {
                    const std::string& rule = t[++i];
                    if (rule == "required")
                        p.props[0] = 0;
                    else if (rule == "optional")
                        p.props[0] = 1;
                    else if (rule == "none")
                        p.props[0] = 2;
                    else
                        return fail(line, "close must be required, optional or none", error);
                    closeGiven = true;
                    current = -1;
                } else if (word("ignore")) {
                    p.props[1] = 1, current = -1;
                } else if (word("needsattrs")) {
                    p.props[3] = 1, current = -1;
                } else if (word("in")) {
                    current = 0;
                } else if (word("notin")) {
                    current = 1;
                } else if (word("attrs")) {
                    current = 2;
                } else if (word("category") && i + 1 < t.size()) {
                    p.category = t[++i], current = -1;
                } else if (current >= 0) {
                    if (!expand(line, t[i], p.lists[current], error))
                        return false;
                } else {
                    return fail(line, "unknown word \"" + t[i] + "\"", error);
                }
            }
            if (!closeGiven)
                return fail(line, "element needs a close rule", error);
        } else if (verb == "string") {
            // A named text of the configuration (for example a message prefix).
            if (t.size() != 3)
                return fail(line, "expected: string NAME TEXT", error);
            p.kind = CFG_FURTHER;
            p.type = 0;
            p.category.clear();
            p.text = t[2];
        } else if (verb == "entity") {
            p.kind = CFG_ENTITY;
            p.type = 0;
            for (; i < t.size(); ++i) {
                if (word("category") && i + 1 < t.size())
                    p.category = t[++i];
                else
                    return fail(line, "unknown word \"" + t[i] + "\"", error);
            }
        } else {
            return fail(line, "unknown statement \"" + verb + "\"", error);
        }
        if (keys[p.kind].count(p.key) || !declared[p.kind].insert({p.key, line}).second)
            return fail(line, "\"" + p.key + "\" is defined twice", error);
        pending.push_back(std::move(p));
        return true;
    }

    bool add(Pending& p, std::string& error) {
        int32_t category = -1;
        if (!p.category.empty()) {
            // Categories may be used before their statement; they are added first.
            auto it = keys[CFG_CATEGORY].find(p.category);
            if (it == keys[CFG_CATEGORY].end()) {
                auto pend = declared[CFG_CATEGORY].find(p.category);
                if (pend == declared[CFG_CATEGORY].end())
                    return fail(p.line, "unknown category \"" + p.category + "\"", error);
                for (Pending& c : pending)
                    if (c.kind == CFG_CATEGORY && c.key == p.category && !add(c, error))
                        return false;
                it = keys[CFG_CATEGORY].find(p.category);
            }
            category = it->second;
        }
        if (p.number >= 0)
            return true;
        const int32_t five[5] = {p.props[0], p.props[1], p.props[2], p.props[3], p.props[4]};
        p.number = store.addRecord(p.kind, nameOfKey(p.key).c_str(), -1, p.type, category, five);
        if (p.number < 0)
            return fail(p.line, "the record could not be added", error);
        if (p.props[6] >= 0)
            store.setProperty(p.kind, p.number, 6, p.props[6]);
        if (p.kind == CFG_FURTHER && !store.setString(p.kind, p.number, 0, p.text.c_str()))
            return fail(p.line, "the string could not be stored", error);
        keys[p.kind][p.key] = p.number;
        return true;
    }

    bool resolve(Pending& p, std::string& error) {
        for (int32_t l = 0; l < CFG_LISTS; ++l) {
            for (const std::string& ref : p.lists[l]) {
                const int32_t kind = p.listKind[l];
                auto it = keys[kind].find(ref);
                int32_t number;
                if (it != keys[kind].end()) {
                    number = it->second;
                } else if (kind == CFG_ATTVALUE) {
                    // A literal value, accepted in any quoting and in any case.
                    const int32_t props[5] = {7, 0, 0, -1, -1};
                    number = store.addRecord(CFG_ATTVALUE, ref.c_str(), -1, 0, 0, props);
                    if (number < 0)
                        return fail(p.line, "the value \"" + ref + "\" could not be added", error);
                    keys[kind][ref] = number;
                } else {
                    static const char* const kindNames[] = {"element",  "attribute", "value",
                                                            "category", "entity",    "record"};
                    return fail(p.line, std::string("unknown ") + kindNames[kind] + " \"" + ref + "\"",
                                error);
                }
                if (!store.addListEntry(p.kind, p.number, l, number))
                    return fail(p.line, "a list entry could not be added", error);
            }
        }
        return true;
    }

    CfgStore& store;
    std::map<std::string, int32_t> keys[CFG_KINDS];
    std::map<std::string, int> declared[CFG_KINDS];
    std::map<std::string, std::vector<std::string>> sets;
    std::vector<Pending> pending;
    std::vector<std::pair<int, std::string>> activeList;
    std::string defaultCategory = "(all)";
};

} // namespace

bool compileCfgSource(const std::string& text, CfgStore& store, std::string& error) {
    Compiler c(store);
    return c.run(text, error);
}
