#pragma once
// TSuggestionsGenerator: candidates one typing error away from a word (a missing, extra, wrong or
// swapped letter, a missing blank), each tested by the caller's word test. GetEditDistance ranks
// them.

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

enum TSuggestionType : uint8_t {
    stSingleDeletion,
    stTransposition,
    stInsertion,
    stSubstitution,
    stSplitWord
};
using TSuggestionTypes = uint8_t; // bit (1 << TSuggestionType)
constexpr TSuggestionTypes kAllSuggestionTypes = 0x1F;

// The caller's test of a candidate (zero-terminated text): Exists true when it is a word.
using TWordExistsEvent = std::function<void(const char* Word, bool& Exists)>;

class TSuggestionsGenerator : public TObject {
public:
    TSuggestionsGenerator();

    virtual void WriteLanguage(uint32_t LanguageCode);
    virtual void WriteDefaultSuggestionTypes(bool Value);
    virtual void WriteSuggestionTypes(TSuggestionTypes Types);
    uint32_t Language() const { return FLanguage; }
    TSuggestionTypes SuggestionTypes() const { return FTypes; }
    bool DefaultSuggestionTypes() const { return FDefaultTypes; }

    // Fills Results with candidates; MaxCount -1 means no practical limit. The list holds at
    // most MaxCount entries.
    virtual void Suggest(const std::string& Word, int MaxCount, TStrings* Results,
                         const TWordExistsEvent& WordTest);

protected:
    virtual void InternalSuggest(const std::string& Word, int MaxCount, TStrings* Results,
                                 const TWordExistsEvent& WordTest);
    virtual bool CheckWord(const std::string& Candidate);
    virtual bool Generate_SingleDeletion();
    virtual bool Generate_SingleTransposition(int Distance);
    virtual bool Generate_SingleInsertion();
    virtual bool Generate_SingleSubstitution();
    virtual bool Generate_SplitWord();

private:
    bool Exists(const std::string& w) const;
    bool Full() const;

    std::string FWord;
    int FLength = 0;
    TStrings* FResults = nullptr;
    TWordExistsEvent FTest;
    uint32_t FLanguage = 0;
    std::string FWorking, FFull;
    std::string FLowerAlphabet, FMixedAlphabet;
    int FMaxCount = 0;
    bool FDefaultTypes = true;
    TSuggestionTypes FTypes = kAllSuggestionTypes;
};

// Levenshtein distance with a neighbouring swap costing 1; strings of 255 characters or more
// give the greater length.
int GetEditDistance(const std::string& A, const std::string& B);
