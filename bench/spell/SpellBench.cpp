// spell_bench DICTFOLDER TEXTFILE MISSPELLINGS
// spell_bench --suggest DICTFOLDER MISSPELLINGS
// spell_bench --dump DICTFOLDER WORDS OUTFILE
//
// Checks TEXTFILE silently with the American dictionary (every unknown word ignored once) and
// prints the words checked per second (the best of three runs); then asks for suggestions for every
// "wrong<TAB>right" line of MISSPELLINGS and prints the words per second and the share whose intended word is
// among the first five.
//
// With --suggest it only times the suggestions. With --dump it writes, for the first field of every line of
// WORDS, the suggestions at most ten and without a limit, one line each ("10" or "all", the word, the
// suggestions, separated by tabs), so that a change to the suggestion code can be shown to keep every list
// and its order.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "spell/SpellBase.h"
#include "spell/StringParser.h"

namespace {

double seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The checker as the benchmark uses it: the American dictionary of the folder, no user dictionaries.
bool setUp(TOrthosSpell3Base& spell, const char* folder) {
    spell.ConfigDictionaryDir.Clear();
    spell.ConfigDictionaryDir.Add(folder);
    spell.ConfigDefaultActiveCustom = "";
    spell.SuggestionsLearning = false;
    spell.ConfigDefaultOptions = 0;
    spell.WriteKeepDictionariesActive(true);
    spell.MaxSuggestions = 10;
    if (spell.WordExists("the"))
        return true;
    std::fprintf(stderr, "spell_bench: no American.wdm in %s\n", folder);
    return false;
}

int dump(const char* folder, const char* words, const char* output) {
    TOrthosSpell3Base spell(nullptr);
    if (!setUp(spell, folder))
        return 1;
    std::ifstream in(words, std::ios::binary);
    std::ofstream out(output, std::ios::binary);
    std::string line;
    TStringList list;
    while (std::getline(in, line)) {
        std::string word = line.substr(0, line.find_first_of("\t\r"));
        for (int max : {10, -1}) {
            spell.MaxSuggestions = max;
            spell.Suggest(word, &list);
            out << (max < 0 ? "all" : "10") << '\t' << word;
            for (int i = 0; i < list.Count(); ++i)
                out << '\t' << list[i];
            out << '\n';
        }
    }
    return out.good() ? 0 : 1;
}

// Suggestions for every misspelling, timed apart from reading the file.
int suggest(TOrthosSpell3Base& spell, const char* misspellings) {
    std::ifstream mis(misspellings, std::ios::binary);
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string line;
    while (std::getline(mis, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t tab = line.find('\t');
        if (tab != std::string::npos)
            pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    TStringList list;
    int top5 = 0;
    double start = seconds();
    for (const auto& [wrong, right] : pairs) {
        spell.Suggest(wrong, &list);
        for (int i = 0; i < list.Count() && i < 5; ++i)
            if (list[i] == right) {
                ++top5;
                break;
            }
    }
    double t = seconds() - start;
    const size_t total = pairs.size();
    std::printf("suggest: %zu words, %.3f s, %.0f words/s, top5 %.1f%%\n", total, t, total / t,
                total ? 100.0 * top5 / total : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--dump")
        return dump(argv[2], argv[3], argv[4]);
    if (argc == 4 && std::string(argv[1]) == "--suggest") {
        TOrthosSpell3Base spell(nullptr);
        return setUp(spell, argv[2]) ? suggest(spell, argv[3]) : 1;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: spell_bench DICTFOLDER TEXTFILE MISSPELLINGS\n"
                             "       spell_bench --suggest DICTFOLDER MISSPELLINGS\n"
                             "       spell_bench --dump DICTFOLDER WORDS OUTFILE\n");
        return 2;
    }
    TOrthosSpell3Base spell(nullptr);
    if (!setUp(spell, argv[1]))
        return 1;

    std::ifstream in(argv[2], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int unknown = 0;
    spell.OnPromptWord = [&](TObject*, const std::string&, bool) {
        ++unknown;
        spell.Check_Ignore();
    };
    // The best of three runs: the machine may be busy with other work.
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        std::string copy = text;
        unknown = 0;
        double start = seconds();
        spell.CheckString(copy);
        best = std::min(best, seconds() - start);
    }
    double t0 = 0, t1 = best;
    int words = spell.WordsChecked();
    std::printf("check: %d words, %d unknown, %.3f s, %.0f words/s\n", words, unknown, t1 - t0,
                words / (t1 - t0));

    // Where the time goes: the word finder alone, then the dictionary test alone.
    {
        std::string copy = text;
        TStringParser parser;
        parser.Initialize(&copy);
        TMainParsingEngine finder;
        finder.Initialize(&parser, 2);
        std::vector<std::string> found;
        std::string w;
        double f0 = seconds();
        while (finder.NextWord(w))
            found.push_back(w);
        double f1 = seconds();
        int accepted = 0;
        for (const std::string& x : found)
            accepted += spell.WordAcceptable(x);
        double f2 = seconds();
        int inMain = 0;
        TMainDictionary* american = spell.MainDictionary(0);
        for (const std::string& x : found)
            inMain += american->WordExists(x);
        double f3 = seconds();
        // A user dictionary of a few hundred words, as every check asks it for each word.
        TCustomDictionary user;
        for (size_t i = 0; i < found.size() && user.WordCount() < 300; i += 97)
            user.AddIgnore(found[i] + "x");
        int inUser = 0;
        for (const std::string& x : found)
            inUser += user.IgnoreExists(x) || user.ExcludeExists(x);
        double f4 = seconds();
        std::printf("parts: finder %.0f words/s, dictionary test %.0f words/s (%d accepted), main dictionary "
                    "lookup %.0f words/s (%d found), user dictionary lookups %.0f words/s (%d found)\n",
                    found.size() / (f1 - f0), found.size() / (f2 - f1), accepted, found.size() / (f3 - f2),
                    inMain, found.size() / (f4 - f3), inUser);
    }

    return suggest(spell, argv[3]);
}
