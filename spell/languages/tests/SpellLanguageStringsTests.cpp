#include "spell/languages/SpellLanguageStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

TSpellLanguageType Lang(int i) {
    return static_cast<TSpellLanguageType>(i);
}
TSpellLanguageString Id(int i) {
    return static_cast<TSpellLanguageString>(i);
}

// The rows every translation is checked against, in each language's own code page.
struct TRow {
    TSpellLanguageType Language;
    const char* Spelling;
    const char* Cancel;
    const char* OK;
};
const TRow kRows[] = {
    {ltEnglish, "Spelling", "Cancel", "&OK"},
    {ltSwedish, "Stavning", "Avbryt", "&OK"},
    {ltBrPort, "Ortografia", "Cancelar", "&Ok"},
    {ltAfrikaans, "Spelre\xEBls", "&Kanselleer", "&Aanvaar"},
    {ltGerman,
     "Rechtschreibpr\xFC"
     "fung",
     "Abbrechen", "&OK"},
    {ltSpanish,
     "Ortograf\xED"
     "a",
     "Cancelar", "Aceptar"},
    {ltRussian, "\xCE\xF0\xF4\xEE\xE3\xF0\xE0\xF4\xE8\xFF", "\xCE\xF2\xEC\xE5\xED\xE0", "\xCE\xCA"},
    {ltCzech, "Pravopis", "Storno", "&OK"},
    {ltDutch, "Spellingscontrole", "Annuleren", "&OK"},
    {ltDanish, "Stavekontrol", "&Annuller", "&OK"},
    {ltPolish, "Pisownia", "Anuluj", "&OK"},
    {ltNorwegianBok, "Stavekontroll", "Avbryt", "&OK"},
    {ltFrench, "Orthographe", "Annuler", "&OK"},
};

TEST(SpellLanguageStrings, KnownRowsInTheirCodePages) {
    for (const TRow& row : kRows) {
        SCOPED_TRACE(int(row.Language));
        EXPECT_EQ(GetString(lsSpelling, row.Language), row.Spelling);
        EXPECT_EQ(GetString(lsDlgCancel, row.Language), row.Cancel);
        EXPECT_EQ(GetString(lsDlgOK, row.Language), row.OK);
    }
    EXPECT_EQ(GetString(lsDlgAutoCorrect, ltGerman), "Auto-&Korrektur");
    EXPECT_EQ(GetString(lsMnAutoCorrect, ltGerman), "Auto-&Korrektur");
    EXPECT_EQ(GetString(lsEndSelectionMessage, ltEnglish),
              "The selection has been checked.  Would you like to check the remainder of the document?");
    // Czech and Polish letters outside Latin-1 come out in code page 1250.
    EXPECT_EQ(GetString(lsDlgDictionariesLabel, ltPolish), " S&\xB3owniki: ");
    EXPECT_EQ(GetString(lsDlgNotFound, ltCzech), "Nenalezeno:");
}

TEST(SpellLanguageStrings, OutsideTheTableIsEmpty) {
    EXPECT_EQ(GetString(lsSpelling, Lang(13)), "");
    EXPECT_EQ(GetString(Id(67), ltEnglish), "");
    EXPECT_EQ(GetString(Id(255), Lang(255)), "");
    EXPECT_STREQ(SpellLanguageStringName(67), "");
    EXPECT_STREQ(SpellLanguageStringName(lsDlgOK), "lsDlgOK");
}

TEST(SpellLanguageStrings, EveryCellIsFilledAndWellFormed) {
    for (int l = 0; l < SpellLanguageTypeCount; ++l)
        for (int s = 0; s < SpellLanguageStringCount; ++s) {
            SCOPED_TRACE(std::to_string(l) + " " + SpellLanguageStringName(s));
            std::string text = GetString(Id(s), Lang(l));
            ASSERT_FALSE(text.empty());
            EXPECT_LE(std::count(text.begin(), text.end(), '&'), 1) << "one access key at most";
            EXPECT_EQ(text.find('"'), std::string::npos);
        }
}

TEST(SpellLanguageStrings, GroupCaptionsKeepTheirBlanksAndTheMessageItsTwo) {
    for (int l = 0; l < SpellLanguageTypeCount; ++l) {
        SCOPED_TRACE(l);
        for (TSpellLanguageString s : {lsDlgOptionsLabel, lsDlgDictionariesLabel, lsDlgCustomDictionaries}) {
            std::string text = GetString(s, Lang(l));
            EXPECT_EQ(text.front(), ' ') << text;
            EXPECT_EQ(text.back(), ' ') << text;
        }
        EXPECT_NE(GetString(lsEndSelectionMessage, Lang(l)).find(".  "), std::string::npos);
    }
}

// A translation that is the English text is a forgotten translation, unless the words really are the same.
TEST(SpellLanguageStrings, NoLanguageIsLeftInEnglish) {
    const std::set<std::pair<int, int>> sameWords = {
        {ltFrench, lsConfirmation}, {ltFrench, lsDlgSuggestions}, {ltFrench, lsDlgOptionsLabel},
        {ltFrench, lsDlgOptions},   {ltDutch, lsDlgHelp},         {ltDutch, lsMnSpelling},
        {ltGerman, lsDlgName},
    };
    for (int l = 1; l < SpellLanguageTypeCount; ++l)
        for (int s = 0; s < SpellLanguageStringCount; ++s) {
            if (s == lsDlgOK || sameWords.count({l, s}))
                continue;
            EXPECT_NE(GetString(Id(s), Lang(l)), GetString(Id(s), ltEnglish))
                << "language " << l << " " << SpellLanguageStringName(s);
        }
    for (auto [l, s] : sameWords)
        EXPECT_EQ(GetString(Id(s), Lang(l)), GetString(Id(s), ltEnglish));
    int ok = 0;
    for (int l = 0; l < SpellLanguageTypeCount; ++l)
        ok += GetString(lsDlgOK, Lang(l)) == "&OK";
    EXPECT_EQ(ok, 9);
}

} // namespace
