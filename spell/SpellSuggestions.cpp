// The checker's suggestions for a word: the generator's single edits, the phonetic search of the
// first main dictionary and the learned choices, ranked by edit distance; and the learning.
#include <algorithm>
#include <utility>
#include <vector>

#include "framework/core/SysUtils.h"
#include "spell/SpellBase.h"

void TOrthosSpell3Base::ExistsEvent(const char* Word, bool& Exists) {
    std::string w = Word ? Word : "";
    // A lower-case candidate would only be asked again.
    if (FPrimaryOnly)
        Exists = WordExistsInMain(w) || (!WordIsLowerCase(w) && WordExistsInMain(WordLowerCase(w)));
    else
        Exists = WordExists(w) || (!WordIsLowerCase(w) && WordExists(WordLowerCase(w)));
    if (!Exists && FEnglish)
        Exists = WordIsPossessive(w);
}

void TOrthosSpell3Base::Suggest(const std::string& Word, TStrings* List) {
    EnsureDictionaries();
    InternalSuggest(Word, MaxSuggestions, List);
}

void TOrthosSpell3Base::InternalSuggest(const std::string& Word, int Max, TStrings* List) {
    if (!List)
        return;
    std::string correction;
    if (FMapping && FMapping->AutoCorrectExists(Word, correction)) {
        List->Add(correction);
        return;
    }
    TStringList work;
    {
        for (auto& d : FMain)
            d->RememberAnswers(false);
        struct Remember {
            std::vector<std::unique_ptr<TMainDictionary>>& main;
            ~Remember() {
                for (auto& d : main)
                    d->RememberAnswers(true);
            }
        } remember{FMain};
        FSuggestions->Suggest(Word, Max, &work, [this](const char* w, bool& e) { ExistsEvent(w, e); });
    }
    int n = work.Count();
    if (PhoneticSuggestions && !FMain.empty()) {
        TMainDictionary* first = FMain.front().get();
        if (FPhonetics->Language() != first->Language()) {
            FPhonetics->WriteLanguage(first->Language());
            DoEvent(OnAdjustPhoneticsMap, this);
        }
        first->Suggest(Word, FPhonetics.get(), &work);
        if ((FPhonetics->Language() & 0xFF) == 9 && work.Count() < 20 && FGenericRetry) {
            FPhonetics->WriteLanguage(0);
            DoEvent(OnAdjustPhoneticsMap, this);
            first->Suggest(Word, FPhonetics.get(), &work);
        }
    }
    std::vector<std::pair<std::string, int>> entries;
    for (int i = 0; i < work.Count(); ++i) {
        int d = GetEditDistance(Word, work[i]);
        if (i < n || FPhonetics->AcceptableDistance(Word, d))
            entries.emplace_back(work[i], d);
    }
    if (FLearned) {
        std::string learned;
        if (FLearned->AutoCorrectExists(Word, learned)) {
            auto it =
                std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.first == learned; });
            if (it != entries.end())
                it->second = 0;
            else
                entries.insert(entries.begin(), {learned, 0});
        }
        for (auto& e : entries)
            e.second = e.second * 2 - (FLearned->IgnoreExists(e.first) ? 1 : 0);
    }
    for (size_t i = 0; i < entries.size(); ++i)
        for (size_t j = i + 1; j < entries.size(); ++j)
            if (entries[j].second < entries[i].second)
                std::swap(entries[i], entries[j]);
    if (Max >= 0 && entries.size() > static_cast<size_t>(Max))
        entries.resize(static_cast<size_t>(Max));
    List->BeginUpdate();
    List->Clear();
    for (auto& e : entries)
        List->Add(e.first);
    List->EndUpdate();
}

void TOrthosSpell3Base::LearnSuggestion(const std::string& Word, const std::string& Choice) {
    EnsureDictionaries();
    if (!FLearned)
        return;
    FLearned->AddAutoCorrect(Word, Choice);
    FLearned->AddIgnore(Choice);
}
