#pragma once
// The spell checker's interface texts: every caption, option name, message and menu entry it shows,
// in thirteen interface languages.
#include <cstdint>
#include <string>

enum TSpellLanguageType : uint8_t {
    ltEnglish,
    ltSwedish,
    ltBrPort,
    ltAfrikaans,
    ltGerman,
    ltSpanish,
    ltRussian,
    ltCzech,
    ltDutch,
    ltDanish,
    ltPolish,
    ltNorwegianBok,
    ltFrench
};
constexpr int SpellLanguageTypeCount = 13;

enum TSpellLanguageString : uint8_t {
    lsLiveSpelling,
    lsLiveCorrect,
    lsIgnoreUpcase,
    lsIgnoreNumbers,
    lsHTML,
    lsInternet,
    lsQuoted,
    lsAbbreviations,
    lsPrimaryOnly,
    lsRepeated,
    lsConfirmation,
    lsRemoveCustomDict,
    lsIgnoreAllChangeAll,
    lsSpelling,
    lsSpellingOptions,
    lsDictionaries,
    lsIgnoreAllChangeAllTitle,
    lsNewCustomTitle,
    lsDlgNotFound,
    lsDlgRepeatedWord,
    lsDlgReplaceWith,
    lsDlgSuggestions,
    lsDlgUndo,
    lsDlgOptions,
    lsDlgIgnoreAll,
    lsDlgIgnore,
    lsDlgChangeAll,
    lsDlgChange,
    lsDlgAdd,
    lsDlgAutoCorrect,
    lsDlgHelp,
    lsDlgCancel,
    lsDlgResetDefaults,
    lsDlgOptionsLabel,
    lsDlgDictionariesLabel,
    lsDlgName,
    lsDlgFilename,
    lsDlgCustomDictionary,
    lsDlgDictionaries,
    lsDlgBrowseForMain,
    lsDlgBrowseForMainTitle,
    lsDlgCustomDictionaries,
    lsDlgEdit,
    lsDlgDelete,
    lsDlgNew,
    lsDlgOK,
    lsDlgNewCustom,
    lsDlgAddedWords,
    lsDlgAddedWordsExplanation,
    lsDlgIgnoreThisWord,
    lsDlgAutoCorrectPairs,
    lsDlgAutoCorrectPairsExplanation,
    lsDlgReplace,
    lsDlgWith,
    lsDlgExcludedWords,
    lsDlgExcludedWordsExplanation,
    lsDlgExcludeThisWord,
    lsEndMessage,
    lsWordsChecked,
    lsEndSelectionMessage,
    lsMnNoSuggestions,
    lsMnIgnore,
    lsMnIgnoreAll,
    lsMnAdd,
    lsMnChangeAll,
    lsMnAutoCorrect,
    lsMnSpelling
};
constexpr int SpellLanguageStringCount = 67;

// The text of one identifier in one language, in that language's Windows code page (1251 for
// Russian, 1250 for Czech and Polish, 1252 for the rest). An identifier or language outside the
// table gives the empty string; there is deliberately no fallback to English.
std::string GetString(TSpellLanguageString LanguageString, TSpellLanguageType LanguageType);

// The identifier's name as the language files spell it ("lsDlgOK"); empty outside the table.
const char* SpellLanguageStringName(int LanguageString);
