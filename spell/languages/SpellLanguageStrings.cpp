#include "spell/languages/SpellLanguageStrings.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

struct TEmbeddedLanguage {
    const char* Bytes;
    size_t Size;
};

#include "SpellLanguageTexts.inc"

static_assert(sizeof(kEmbeddedLanguages) / sizeof(kEmbeddedLanguages[0]) == SpellLanguageTypeCount);

const char* const kStringNames[SpellLanguageStringCount] = {"lsLiveSpelling",
                                                            "lsLiveCorrect",
                                                            "lsIgnoreUpcase",
                                                            "lsIgnoreNumbers",
                                                            "lsHTML",
                                                            "lsInternet",
                                                            "lsQuoted",
                                                            "lsAbbreviations",
                                                            "lsPrimaryOnly",
                                                            "lsRepeated",
                                                            "lsConfirmation",
                                                            "lsRemoveCustomDict",
                                                            "lsIgnoreAllChangeAll",
                                                            "lsSpelling",
                                                            "lsSpellingOptions",
                                                            "lsDictionaries",
                                                            "lsIgnoreAllChangeAllTitle",
                                                            "lsNewCustomTitle",
                                                            "lsDlgNotFound",
                                                            "lsDlgRepeatedWord",
                                                            "lsDlgReplaceWith",
                                                            "lsDlgSuggestions",
                                                            "lsDlgUndo",
                                                            "lsDlgOptions",
                                                            "lsDlgIgnoreAll",
                                                            "lsDlgIgnore",
                                                            "lsDlgChangeAll",
                                                            "lsDlgChange",
                                                            "lsDlgAdd",
                                                            "lsDlgAutoCorrect",
                                                            "lsDlgHelp",
                                                            "lsDlgCancel",
                                                            "lsDlgResetDefaults",
                                                            "lsDlgOptionsLabel",
                                                            "lsDlgDictionariesLabel",
                                                            "lsDlgName",
                                                            "lsDlgFilename",
                                                            "lsDlgCustomDictionary",
                                                            "lsDlgDictionaries",
                                                            "lsDlgBrowseForMain",
                                                            "lsDlgBrowseForMainTitle",
                                                            "lsDlgCustomDictionaries",
                                                            "lsDlgEdit",
                                                            "lsDlgDelete",
                                                            "lsDlgNew",
                                                            "lsDlgOK",
                                                            "lsDlgNewCustom",
                                                            "lsDlgAddedWords",
                                                            "lsDlgAddedWordsExplanation",
                                                            "lsDlgIgnoreThisWord",
                                                            "lsDlgAutoCorrectPairs",
                                                            "lsDlgAutoCorrectPairsExplanation",
                                                            "lsDlgReplace",
                                                            "lsDlgWith",
                                                            "lsDlgExcludedWords",
                                                            "lsDlgExcludedWordsExplanation",
                                                            "lsDlgExcludeThisWord",
                                                            "lsEndMessage",
                                                            "lsWordsChecked",
                                                            "lsEndSelectionMessage",
                                                            "lsMnNoSuggestions",
                                                            "lsMnIgnore",
                                                            "lsMnIgnoreAll",
                                                            "lsMnAdd",
                                                            "lsMnChangeAll",
                                                            "lsMnAutoCorrect",
                                                            "lsMnSpelling"};

using TLanguageTexts = std::array<std::string, SpellLanguageStringCount>;

int IdentifierIndex(std::string_view name) {
    for (int i = 0; i < SpellLanguageStringCount; ++i)
        if (name == kStringNames[i])
            return i;
    return -1;
}

// A language file holds lines of the form  lsName = "text" ; the text runs to the last quote, so
// it may hold quotes and keeps its outer blanks.
TLanguageTexts ParseLanguage(std::string_view bytes) {
    TLanguageTexts texts;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        size_t eq = line.find(" = \"");
        size_t close = line.rfind('"');
        if (eq == std::string_view::npos || close < eq + 3)
            continue;
        int index = IdentifierIndex(line.substr(0, eq));
        if (index >= 0)
            texts[index] = std::string(line.substr(eq + 4, close - (eq + 4)));
    }
    return texts;
}

const std::array<TLanguageTexts, SpellLanguageTypeCount>& Table() {
    static const std::array<TLanguageTexts, SpellLanguageTypeCount> table = [] {
        std::array<TLanguageTexts, SpellLanguageTypeCount> t;
        for (int i = 0; i < SpellLanguageTypeCount; ++i)
            t[i] = ParseLanguage(std::string_view(kEmbeddedLanguages[i].Bytes, kEmbeddedLanguages[i].Size));
        return t;
    }();
    return table;
}

} // namespace

std::string GetString(TSpellLanguageString LanguageString, TSpellLanguageType LanguageType) {
    int s = LanguageString, l = LanguageType;
    if (s < 0 || s >= SpellLanguageStringCount || l < 0 || l >= SpellLanguageTypeCount)
        return {};
    return Table()[l][s];
}

const char* SpellLanguageStringName(int LanguageString) {
    if (LanguageString < 0 || LanguageString >= SpellLanguageStringCount)
        return "";
    return kStringNames[LanguageString];
}
