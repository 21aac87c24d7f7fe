// Feeds mutated user dictionaries (".wdu") and main dictionaries (".wdm") to the checker's
// readers and reports crashes, exceptions and wrong answers:
//
// - a user dictionary is either refused with a reason, and then takes no words and leaves its
//   file as it was, or it is accepted, and then every listed word is found under its own kind,
//   the kinds add up to the word count, a copy written by SaveAs is the file's own bytes again,
//   and a new word can be added, found and removed;
// - a main dictionary answers every lookup with a matched length no longer than the word (the
//   whole word when it is found), and every suggestion starts with the word's fixed prefix, has
//   the word's phonetic key, is listed once and the list stops at 501.
//
//   fuzz_spell_dictionaries <dictionary folder> <case folder> [seconds] [seed]
//   fuzz_spell_dictionaries --replay <case file>...
//
// Seeds are real inputs: user dictionaries written by the checker itself (with deletions and a
// grown table), the small compiled main dictionaries of the build and the hand-made main
// dictionary of the tests in both reference forms. A failing case is cut down and kept in the
// case folder as case<n>.wdu or case<n>.wdm; --replay runs kept cases again (0 when all pass).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bench/FuzzFiles.h"
#include "framework/core/SysUtils.h"
#include "spell/CustomDictionary.h"
#include "spell/MainDictionary.h"
#include "spell/PhoneticsMap.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Input {
    bool main = false; // .wdm, else .wdu
    Bytes bytes;
};

std::string gWork; // folder for the files the readers open

std::string workFile(const char* name) {
    return gWork + "\\" + name;
}

bool sameFile(const std::string& path, const Bytes& bytes) {
    return ReadBytes(path) == bytes;
}

std::string checkUser(const Bytes& data) {
    const std::string path = workFile("case.wdu"), copy = workFile("copy.wdu");
    DeleteFileA(copy.c_str());
    WriteBytes(path, data);
    const bool banner = data.size() >= 121 && std::memcmp(data.data(), kUserDictionaryBanner, 120) == 0;
    bool accepted = false;
    {
        TCustomDictionary d;
        d.WriteFilename(path);
        if ((d.GetFilename() == path) != banner)
            return banner ? "a file with the banner was not taken" : "a file without the banner was taken";
        if (!banner)
            return sameFile(path, data) ? "" : "a foreign file was changed";
        d.WriteLoaded(true);
        if (!d.GetLoaded()) {
            if (d.LastError().empty())
                return "refused without a reason";
            if (d.AddIgnore("fuzzword") || d.AddAutoCorrect("fuzzword", "x"))
                return "a refused dictionary took a word";
            d.RemoveAll();
            if (d.Modified() || d.SaveAs(copy))
                return "a refused dictionary was emptied or copied";
        } else {
            accepted = true;
            const int ign = d.IgnoreCount(), exc = d.ExcludeCount(), ac = d.AutoCorrectCount();
            if (ign + exc + ac != d.WordCount())
                return "the kinds do not add up to the word count";
            for (int i = 0; i < ign; ++i)
                if (!d.IgnoreExists(d.GetIgnoreWord(static_cast<unsigned>(i))))
                    return "a listed ignore word is not found";
            for (int i = 0; i < exc; ++i)
                if (!d.ExcludeExists(d.GetExcludeWord(static_cast<unsigned>(i))))
                    return "a listed exclude word is not found";
            for (int i = 0; i < ac; ++i) {
                std::string r, found;
                const std::string w = d.GetAutoCorrectWord(static_cast<unsigned>(i), r);
                if (!d.AutoCorrectExists(w, found) || found != r)
                    return "a listed auto-correct pair is not found";
            }
            if (!d.SaveAs(copy))
                return "an accepted dictionary cannot be copied";
            // The copy is the file up to the end of its buffer, with the byte after the banner as written.
            const size_t slots = static_cast<size_t>(d.SlotCount());
            Bytes expected(data.begin(),
                           data.begin() + static_cast<ptrdiff_t>(145 + 4 * slots + d.BufferLength()));
            expected[120] = 26;
            if (ReadBytes(copy) != expected)
                return "the copy differs from the file";
            const std::string fresh = "fuzzfreshword";
            if (!d.IgnoreExists(fresh) && !d.ExcludeExists(fresh)) {
                std::string r;
                if (!d.AutoCorrectExists(fresh, r)) {
                    if (!d.AddIgnore(fresh) || !d.IgnoreExists(fresh))
                        return "a new word cannot be added";
                    if (!d.RemoveIgnore(fresh) || d.IgnoreExists(fresh))
                        return "a new word cannot be removed";
                }
            }
        }
    }
    // A refused file stays as it was; what an accepted one wrote on unloading reads back.
    if (!accepted)
        return sameFile(path, data) ? "" : "a refused dictionary's file was changed";
    TCustomDictionary again;
    again.WriteFilename(path);
    again.WriteLoaded(true);
    return again.GetLoaded() ? "" : "a saved dictionary does not read back: " + again.LastError();
}

const char* const kProbeWords[] = {"a",    "at",      "cat",  "cats", "carpet", "do",   "the",   "The",
                                   "html", "HTML",    "href", "body", "table",  "xml",  "Kivra", "ca",
                                   "car",  "carpets", "zz",   "q",    "tbody",  "nbsp", "align", "colspan"};

std::string checkMain(const Bytes& data) {
    const std::string path = workFile("case.wdm");
    WriteBytes(path, data);
    TMainDictionary m;
    m.WriteFilename(path);
    if (m.GetFilename() != path)
        return m.LastError().empty() ? "refused without a reason" : "";
    TPhoneticsMap map;
    map.WriteLanguage(m.Language());
    for (const char* w : kProbeWords) {
        const std::string word = w;
        const int matched = m.WordLength(word);
        if (matched < 0 || matched > static_cast<int>(word.size()))
            return "a matched length beyond the word";
        if (m.WordExists(word) && matched != static_cast<int>(word.size()))
            return "a found word was not matched whole";
        TStringList list;
        m.Suggest(word, &map, &list);
        if (list.Count() > 501)
            return "more than 501 suggestions";
        const std::string key = map.GetMapping(word);
        const std::string prefix = word.substr(0, std::min<size_t>(word.size(), map.StartDepth()));
        std::set<std::string> seen;
        for (int i = 0; i < list.Count(); ++i) {
            const std::string s = list[i];
            if (s.compare(0, prefix.size(), prefix) != 0)
                return "a suggestion without the word's prefix";
            if (map.GetMapping(s) != key)
                return "a suggestion with another phonetic key";
            if (!seen.insert(AnsiLowerCase(s)).second)
                return "a suggestion listed twice";
        }
    }
    return "";
}

std::string check(const Input& in) {
    try {
        const auto start = std::chrono::steady_clock::now();
        std::string failure = in.main ? checkMain(in.bytes) : checkUser(in.bytes);
        if (failure.empty() && std::chrono::steady_clock::now() - start > std::chrono::seconds(5))
            failure = "took more than five seconds";
        return failure;
    } catch (const std::exception& e) {
        return std::string("exception: ") + e.what();
    } catch (...) {
        return "unknown exception";
    }
}

std::vector<Input> seeds(const std::string& dictionaries) {
    std::vector<Input> out;
    {
        // Written by the checker: three kinds, deletions, a table grown past its first size.
        const std::string path = workFile("seed.wdu");
        DeleteFileA(path.c_str());
        TCustomDictionary d;
        d.WriteFilename(path);
        for (int i = 0; i < 80; ++i)
            d.AddIgnore("word" + std::to_string(i));
        for (int i = 0; i < 10; ++i)
            d.AddExclude("colour" + std::to_string(i));
        for (int i = 0; i < 10; ++i)
            d.AddAutoCorrect("teh" + std::to_string(i), "the" + std::to_string(i));
        for (int i = 0; i < 80; i += 7)
            d.RemoveIgnore("word" + std::to_string(i));
        d.Save();
        out.push_back({false, ReadBytes(path)});
        TCustomDictionary small;
        DeleteFileA(path.c_str());
        small.WriteFilename(path);
        small.AddIgnore("hello");
        small.AddAutoCorrect("wrod", "word");
        small.Save();
        out.push_back({false, ReadBytes(path)});
    }
    for (const char* name : {"KivraAdd.wdm", "FHTMLAdd.wdm"}) {
        Bytes b = ReadBytes(dictionaries + "\\" + name);
        if (!b.empty())
            out.push_back({true, b});
    }
    TinyWdm tiny;
    out.push_back({true, tiny.Build()});
    tiny.longReferences = true;
    out.push_back({true, tiny.Build()});
    return out;
}

Bytes mutate(Bytes s, std::mt19937& rng) {
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int rounds = 1 + int(rng() % 4);
    for (int r = 0; r < rounds; ++r) {
        switch (rng() % 7) {
        case 0: // flip a byte
            if (!s.empty())
                s[pick(s.size())] = uint8_t(rng());
            break;
        case 1: { // a boundary 32-bit value at a random place (counts, slots, links)
            static const uint32_t vals[] = {0,   1,   2,       0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 250,
                                            251, 509, 0xFFFFF, 0xFFFFF00,  65534,      65535,      1024};
            if (s.size() >= 4) {
                const uint32_t v = vals[pick(sizeof vals / sizeof vals[0])];
                PutLE32(s, pick(s.size() - 3), v);
            }
            break;
        }
        case 2: // cut
            s.resize(pick(s.size() + 1));
            break;
        case 3: { // remove a range
            const size_t a = pick(s.size() + 1), n = std::min(pick(16), s.size() - a);
            s.erase(s.begin() + static_cast<ptrdiff_t>(a), s.begin() + static_cast<ptrdiff_t>(a + n));
            break;
        }
        case 4: { // duplicate a range
            const size_t a = pick(s.size() + 1), n = std::min(pick(64), s.size() - a);
            Bytes part(s.begin() + static_cast<ptrdiff_t>(a), s.begin() + static_cast<ptrdiff_t>(a + n));
            s.insert(s.begin() + static_cast<ptrdiff_t>(a), part.begin(), part.end());
            break;
        }
        case 5: // swap two 32-bit values (slots, node words)
            if (s.size() >= 8) {
                const size_t a = pick(s.size() - 3), b = pick(s.size() - 3);
                for (int k = 0; k < 4; ++k)
                    std::swap(s[a + static_cast<size_t>(k)], s[b + static_cast<size_t>(k)]);
            }
            break;
        default: // insert random bytes
            for (int i = 0, n = 1 + int(rng() % 8); i < n; ++i)
                s.insert(s.begin() + static_cast<ptrdiff_t>(pick(s.size() + 1)), uint8_t(rng()));
        }
    }
    return s;
}

// Cuts a failing case down while it keeps failing the same way.
Input shrink(Input in, const std::string& failure) {
    for (size_t chunk = in.bytes.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t at = 0; at + chunk <= in.bytes.size();) {
            Input smaller = in;
            smaller.bytes.erase(smaller.bytes.begin() + static_cast<ptrdiff_t>(at),
                                smaller.bytes.begin() + static_cast<ptrdiff_t>(at + chunk));
            if (check(smaller) == failure)
                in = smaller;
            else
                at += chunk;
        }
    }
    return in;
}

std::string gCaseFolder;
Input gCurrent;

LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    const std::string name = gCaseFolder + (gCurrent.main ? "\\crash.wdm" : "\\crash.wdu");
    WriteBytes(name, gCurrent.bytes);
    std::fprintf(stderr, "crash: case written to %s\n", name.c_str());
    return EXCEPTION_EXECUTE_HANDLER;
}

bool endsWith(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

int main(int argc, char** argv) {
    TempFolder work;
    gWork = work.Path();
    if (argc >= 2 && std::string(argv[1]) == "--replay")
        return replayKeptCases(argc, argv, 2, [](const std::string& name) {
            return check(Input{endsWith(name, ".wdm"), ReadBytes(name)});
        });
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: fuzz_spell_dictionaries <dictionary folder> <case folder> [seconds] [seed]\n");
        return 2;
    }
    gCaseFolder = argv[2];
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    std::mt19937 rng(argc > 4 ? unsigned(std::atoi(argv[4])) : 1u);
    SetUnhandledExceptionFilter(onCrash);
    const std::vector<Input> corpus = seeds(argv[1]);
    for (const Input& s : corpus)
        if (const std::string failure = check(s); !failure.empty()) {
            std::printf("a seed fails: %s\n", failure.c_str());
            return 1;
        }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long runs = 0, found = 0;
    std::set<std::string> kinds;
    while (std::chrono::steady_clock::now() < end) {
        const Input& seed = corpus[rng() % corpus.size()];
        gCurrent = Input{seed.main, mutate(seed.bytes, rng)};
        const std::string failure = check(gCurrent);
        ++runs;
        if (failure.empty() || !kinds.insert(failure).second)
            continue; // one kept case per kind of failure
        const Input small = shrink(gCurrent, failure);
        const std::string name =
            gCaseFolder + "\\case" + std::to_string(++found) + (small.main ? ".wdm" : ".wdu");
        WriteBytes(name, small.bytes);
        std::printf("%s (%zu bytes): %s\n", name.c_str(), small.bytes.size(), failure.c_str());
    }
    std::printf(
        "%ld runs, %ld kinds of failure (%zu user, %zu main seeds)\n", runs, found,
        static_cast<size_t>(std::count_if(corpus.begin(), corpus.end(), [](auto& i) { return !i.main; })),
        static_cast<size_t>(std::count_if(corpus.begin(), corpus.end(), [](auto& i) { return i.main; })));
    return found == 0 ? 0 : 1;
}
