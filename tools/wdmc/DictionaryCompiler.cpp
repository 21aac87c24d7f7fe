// wdmc: compiles word lists into a main dictionary (".wdm").
//
//   wdmc [--title TEXT] [--language ID] output.wdm [--words FILE | --config FILE]...
//
// --words reads one word a line (UTF-8 or the ANSI code page; words that code page 1252 cannot
// hold are left out). --config takes the element, attribute and entity names of a validation
// configuration source, and the parts of names joined by ':' or '-'. After writing, every word is
// looked up in the new file through the checker's own reader, so the two cannot disagree.

#include "spell/MainDictionary.h"
#include "spell/MainDictionaryFormat.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TrieNode {
    uint8_t c = 0;
    bool end = false;
    std::map<uint8_t, int> kids;
};

struct OutNode {
    int trie = 0;              // the trie node whose character this node carries
    std::string run;           // characters absorbed after it
    std::vector<int> kidTries; // trie nodes of its children
    int level = 0;
    uint32_t number = 0;
    std::vector<int> kids; // indexes into the out-node list
};

int usage() {
    std::fprintf(stderr,
                 "usage: wdmc [--title TEXT] [--language ID] output.wdm [--words FILE | --config FILE]...\n");
    return 2;
}

// UTF-8 text to code page 1252; false when it holds characters that page has not.
bool toAnsi(const std::string& line, std::string& out) {
    bool ascii = true;
    for (unsigned char c : line)
        if (c >= 0x80)
            ascii = false;
    if (ascii) {
        out = line;
        return true;
    }
    int wn = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(), static_cast<int>(line.size()),
                                 nullptr, 0);
    if (wn <= 0) {
        out = line; // not UTF-8: taken as ANSI already
        return true;
    }
    std::wstring w(static_cast<size_t>(wn), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), w.data(), wn);
    BOOL usedDefault = FALSE;
    int an = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, w.data(), wn, nullptr, 0, nullptr, &usedDefault);
    if (an <= 0 || usedDefault)
        return false;
    out.assign(static_cast<size_t>(an), '\0');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, w.data(), wn, out.data(), an, nullptr, &usedDefault);
    return !usedDefault;
}

bool readLines(const char* path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

void addWord(std::set<std::string>& words, const std::string& w) {
    if (!w.empty() && w.size() < 250 && w.find(' ') == std::string::npos && w.find('\0') == std::string::npos)
        words.insert(w);
}

void addConfigNames(const std::vector<std::string>& lines, std::set<std::string>& words) {
    for (const std::string& line : lines) {
        std::istringstream s(line);
        std::string kind, name;
        s >> kind >> name;
        if (kind != "element" && kind != "attribute" && kind != "entity")
            continue;
        if (name.empty() || name[0] == '"' || name[0] == '$')
            continue;
        addWord(words, name);
        std::string part;
        for (char c : name + ":") {
            if (c == ':' || c == '-') {
                addWord(words, part);
                part.clear();
            } else {
                part.push_back(c);
            }
        }
    }
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class Compiler {
public:
    explicit Compiler(const std::set<std::string>& words) {
        trie.emplace_back();
        for (const std::string& w : words) {
            int t = 0;
            for (unsigned char c : w) {
                auto it = trie[static_cast<size_t>(t)].kids.find(c);
                if (it == trie[static_cast<size_t>(t)].kids.end()) {
                    trie.emplace_back();
                    trie.back().c = c;
                    int n = static_cast<int>(trie.size()) - 1;
                    trie[static_cast<size_t>(t)].kids[c] = n;
                    t = n;
                } else {
                    t = it->second;
                }
            }
            trie[static_cast<size_t>(t)].end = true;
        }
    }

    bool Build(std::string& error) {
        // Breadth first from the root; the first characters' nodes carry no run, because lookups
        // step past them through the first-letter table.
        out.push_back(OutNode{});
        for (auto& k : trie[0].kids)
            out[0].kidTries.push_back(k.second);
        for (size_t i = 0; i < out.size(); ++i) {
            std::vector<int> kidTries = out[i].kidTries;
            for (int kt : kidTries) {
                OutNode n;
                n.trie = kt;
                int cur = kt;
                if (i != 0) {
                    while (n.run.size() < 8 && trie[static_cast<size_t>(cur)].kids.size() == 1) {
                        int next = trie[static_cast<size_t>(cur)].kids.begin()->second;
                        if (trie[static_cast<size_t>(next)].end)
                            break;
                        n.run.push_back(static_cast<char>(trie[static_cast<size_t>(next)].c));
                        cur = next;
                    }
                }
                n.level = static_cast<int>(n.run.size());
                for (auto& k : trie[static_cast<size_t>(cur)].kids)
                    n.kidTries.push_back(k.second);
                out.push_back(n);
                out[i].kids.push_back(static_cast<int>(out.size()) - 1);
            }
        }
        // Numbers: grouped by level, in breadth-first order within a level; the root is node 0.
        for (auto& n : out)
            counts[static_cast<size_t>(n.level)]++;
        uint32_t next[9] = {};
        uint32_t cum = 0;
        for (int L = 0; L < 9; ++L) {
            next[L] = cum;
            cum += counts[static_cast<size_t>(L)];
        }
        for (auto& n : out)
            n.number = next[n.level]++;
        total = cum;
        if (total >= (1u << 20)) {
            error = "too many nodes for 20-bit links";
            return false;
        }
        longForm = total >= kLongReferenceSelector;
        // Linkage block and node values.
        values.assign(out.size(), 0);
        for (size_t i = 0; i < out.size(); ++i) {
            OutNode& n = out[i];
            size_t k = n.kids.size();
            uint32_t link, count;
            if (k == 0) {
                link = kNoChildren;
                count = 0;
            } else if (k == 1) {
                link = out[static_cast<size_t>(n.kids[0])].number;
                count = 1;
            } else {
                if (k > 255) {
                    error = "a node with more than 255 children";
                    return false;
                }
                count = k <= 7 ? static_cast<uint32_t>(k) : 0;
                link = static_cast<uint32_t>(linkage.size());
                if (count == 0)
                    linkage.push_back(static_cast<uint8_t>(k));
                for (int kid : n.kids)
                    putReference(out[static_cast<size_t>(kid)].number);
            }
            if (link >= kNoChildren && k != 0) {
                error = "the linkage block outgrew 20-bit offsets";
                return false;
            }
            bool ends = i != 0 && trie[static_cast<size_t>(n.trie)].end;
            uint8_t c = i == 0 ? 0 : trie[static_cast<size_t>(n.trie)].c;
            values[i] = WdmMakeNode(c, link, count, ends);
        }
        // First-letter table from the root's children.
        firstLetters.assign(kFirstLetterTableSize, 0);
        for (int kid : out[0].kids) {
            const OutNode& n = out[static_cast<size_t>(kid)];
            uint8_t* e = &firstLetters[static_cast<size_t>(trie[static_cast<size_t>(n.trie)].c) * 8];
            e[0] = trie[static_cast<size_t>(n.trie)].end ? 1 : 0;
            e[1] = static_cast<uint8_t>(n.kids.size());
            uint32_t v = values[static_cast<size_t>(kid)];
            uint32_t link = WdmNodeLink(v);
            if (n.kids.size() > 7)
                link += 1; // past the count byte
            if (n.kids.empty())
                link = 0;
            for (int b = 0; b < 4; ++b)
                e[4 + b] = static_cast<uint8_t>(link >> (8 * b));
        }
        return true;
    }

    std::vector<uint8_t> Write(const std::string& title, uint32_t language, uint32_t wordCount) {
        std::vector<uint8_t> f(kMainDictionaryHeaderBlock, 0);
        std::memcpy(f.data(), kMainDictionarySignature, kMainDictionarySignatureLength);
        std::string t = title.substr(0, 255);
        f.push_back(static_cast<uint8_t>(t.size()));
        for (unsigned char c : t) {
            f.push_back(c);
            f.push_back(0);
        }
        f.push_back(0);
        f.push_back(0);
        put32(f, language);
        put32(f, wordCount);
        put32(f, total);
        for (uint32_t c : counts)
            put32(f, c);
        for (int L = 0; L < 9; ++L)
            for (size_t i = 0; i < out.size(); ++i)
                if (out[i].level == L) {
                    // Breadth-first order is number order within a level.
                    put32(f, values[i]);
                    f.insert(f.end(), out[i].run.begin(), out[i].run.end());
                }
        put32(f, static_cast<uint32_t>(linkage.size()));
        f.insert(f.end(), linkage.begin(), linkage.end());
        f.insert(f.end(), firstLetters.begin(), firstLetters.end());
        f.insert(f.end(), kTrailingTableSize, 0);
        return f;
    }

private:
    void putReference(uint32_t n) {
        if (!longForm) {
            linkage.push_back(static_cast<uint8_t>(n));
            linkage.push_back(static_cast<uint8_t>(n >> 8));
        } else if (n < 32768) {
            linkage.push_back(static_cast<uint8_t>(128 + (n >> 8)));
            linkage.push_back(static_cast<uint8_t>(n));
        } else {
            linkage.push_back(static_cast<uint8_t>(n >> 16));
            linkage.push_back(static_cast<uint8_t>(n >> 8));
            linkage.push_back(static_cast<uint8_t>(n));
        }
    }

    std::vector<TrieNode> trie;
    std::vector<OutNode> out;
    std::vector<uint32_t> values;
    std::vector<uint8_t> linkage;
    std::vector<uint8_t> firstLetters;
    std::array<uint32_t, 9> counts{};
    uint32_t total = 0;
    bool longForm = false;
};

} // namespace

int main(int argc, char** argv) {
    std::string title = "Word list";
    uint32_t language = 1033;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
        if (std::strcmp(argv[i], "--title") == 0)
            title = argv[i + 1];
        else if (std::strcmp(argv[i], "--language") == 0)
            language = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else
            return usage();
    }
    if (i >= argc)
        return usage();
    const char* output = argv[i++];
    std::set<std::string> words;
    size_t skipped = 0;
    for (; i + 1 < argc; i += 2) {
        std::vector<std::string> lines;
        if (!readLines(argv[i + 1], lines)) {
            std::fprintf(stderr, "wdmc: cannot read %s\n", argv[i + 1]);
            return 1;
        }
        if (std::strcmp(argv[i], "--words") == 0) {
            for (const std::string& line : lines) {
                if (line.empty() || line[0] == '#')
                    continue;
                std::string ansi;
                if (toAnsi(line, ansi))
                    addWord(words, ansi);
                else
                    ++skipped;
            }
        } else if (std::strcmp(argv[i], "--config") == 0) {
            addConfigNames(lines, words);
        } else {
            return usage();
        }
    }
    if (i != argc)
        return usage();
    if (words.empty()) {
        std::fprintf(stderr, "wdmc: no words\n");
        return 1;
    }
    Compiler c(words);
    std::string error;
    if (!c.Build(error)) {
        std::fprintf(stderr, "wdmc: %s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> file = c.Write(title, language, static_cast<uint32_t>(words.size()));
    {
        std::ofstream o(output, std::ios::binary | std::ios::trunc);
        o.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!o) {
            std::fprintf(stderr, "wdmc: cannot write %s\n", output);
            return 1;
        }
    }
    TMainDictionary check;
    check.WriteFilename(output);
    if (check.GetFilename() != output) {
        std::fprintf(stderr, "wdmc: the reader refuses %s: %s\n", output, check.LastError().c_str());
        std::remove(output);
        return 1;
    }
    for (const std::string& w : words)
        if (!check.WordExists(w)) {
            std::fprintf(stderr, "wdmc: the reader cannot find \"%s\" in %s\n", w.c_str(), output);
            check.WriteLoaded(false);
            std::remove(output);
            return 1;
        }
    std::printf("wdmc: %s: %zu words, %zu left out, %zu bytes\n", output, words.size(), skipped, file.size());
    return 0;
}
