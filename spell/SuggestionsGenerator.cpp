#include "spell/SuggestionsGenerator.h"

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "spell/SpellUtils.h"

namespace {

std::string lowerAlphabet() {
    std::string s = "'abcdefghijklmnopqrstuvwxyz\xD7\xDE\xDF";
    for (int c = 0xE0; c <= 0xFF; ++c)
        s.push_back(static_cast<char>(c));
    s += "\xB8\xA8\xB9\xB3\xBF";
    return s;
}

std::string mixedAlphabet() {
    std::string s = "'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int c = 0xC0; c <= 0xFF; ++c)
        s.push_back(static_cast<char>(c));
    s += "\xB8\xA8\xB9\xB3\xBF";
    return s;
}

} // namespace

TSuggestionsGenerator::TSuggestionsGenerator()
    : FLowerAlphabet(lowerAlphabet()), FMixedAlphabet(mixedAlphabet()) {
    FWorking = FLowerAlphabet;
    FFull = FMixedAlphabet;
    WriteDefaultSuggestionTypes(true);
}

void TSuggestionsGenerator::WriteLanguage(uint32_t LanguageCode) {
    if (LanguageCode == FLanguage)
        return;
    FLanguage = LanguageCode;
    WriteDefaultSuggestionTypes(FDefaultTypes);
    std::string extras;
    if (LanguageCode == 1029)
        extras =
            "\xE1\xE8\xEF\xE9\xEC\xED\xF2\xF3\xF8\x9A\x9D\xFA\xF9\xFD\x9E\xC1\xC8\xCF\xC9\xCC\xCD\xD2\xD3\xD8"
            "\x8A\x8D\xDA\xD9\xDD\x8E";
    else if (LanguageCode == 1036)
        extras = "\x9C";
    else if (LanguageCode == 1049)
        extras = "\xB2\xA2\xB1\xA1\xBC\xAC\xB6\xA6";
    FLowerAlphabet += extras;
    FMixedAlphabet += extras;
    FWorking = FLowerAlphabet;
    FFull = FMixedAlphabet;
}

void TSuggestionsGenerator::WriteDefaultSuggestionTypes(bool Value) {
    FDefaultTypes = Value;
    if (Value)
        FTypes = FLanguage == 1053 ? static_cast<TSuggestionTypes>(kAllSuggestionTypes & ~(1u << stSplitWord))
                                   : kAllSuggestionTypes;
}

void TSuggestionsGenerator::WriteSuggestionTypes(TSuggestionTypes Types) {
    FTypes = Types;
    FDefaultTypes = false;
}

void TSuggestionsGenerator::Suggest(const std::string& Word, int MaxCount, TStrings* Results,
                                    const TWordExistsEvent& WordTest) {
    InternalSuggest(Word, MaxCount, Results, WordTest);
    if (Word.empty() || WordIsUpperCase(Word) || WordIsLowerCase(Word))
        return;
    std::string second;
    std::string first(1, Word[0]);
    if (WordIsLowerCase(first) && !WordIsUpperCase(first))
        second = WordLowerCase(Word);
    else
        second = first + WordLowerCase(Word.substr(1));
    InternalSuggest(second, MaxCount, Results, WordTest);
}

bool TSuggestionsGenerator::Exists(const std::string& w) const {
    bool exists = false;
    FTest(w.c_str(), exists);
    return exists;
}

// The list may reach the maximum but never pass it.
bool TSuggestionsGenerator::Full() const {
    return FResults->Count() >= FMaxCount;
}

void TSuggestionsGenerator::InternalSuggest(const std::string& Word, int MaxCount, TStrings* Results,
                                            const TWordExistsEvent& WordTest) {
    FLength = static_cast<int>(Word.size());
    if (MaxCount == -1)
        MaxCount = 65535;
    if (!WordTest || !Results || Word.empty() || MaxCount <= 0 || Word.size() > 250)
        return;
    FWord = Word;
    FResults = Results;
    FTest = WordTest;
    FMaxCount = MaxCount;
    std::string saved = FWorking;
    struct Restore {
        std::string& target;
        std::string value;
        ~Restore() { target = value; }
    } restore{FWorking, saved};
    FWorking = WordIsLowerCase(Word) ? FLowerAlphabet : FMixedAlphabet;
    auto on = [this](TSuggestionType t) { return (FTypes & (1u << t)) != 0; };
    if (on(stTransposition) && Generate_SingleTransposition(1))
        return;
    if (on(stSingleDeletion) && Generate_SingleDeletion())
        return;
    if (on(stInsertion) && Generate_SingleInsertion())
        return;
    if (on(stSubstitution) && Generate_SingleSubstitution())
        return;
    if (on(stTransposition) && Generate_SingleTransposition(2))
        return;
    if (on(stSplitWord))
        Generate_SplitWord();
}

bool TSuggestionsGenerator::CheckWord(const std::string& Candidate) {
    if (Candidate.size() < 2 || !Exists(Candidate))
        return false;
    if (Full())
        return true;
    if (WordIsLowerCase(FWord) && !WordIsLowerCase(Candidate) && Exists(WordLowerCase(Candidate)))
        return false;
    if (!WordIsLowerCase(Candidate)) {
        std::string rest = Candidate.substr(1);
        if (!WordIsLowerCase(rest) && !WordIsUpperCase(rest))
            return false;
    }
    int i = FResults->IndexOf(Candidate);
    if (i >= 0 && FResults->Get(i) == Candidate)
        return false;
    if (i >= 0) {
        // IndexOf ignores case: look for an exact twin further on.
        for (int k = 0; k < FResults->Count(); ++k)
            if (FResults->Get(k) == Candidate)
                return false;
    }
    FResults->Add(Candidate);
    return false;
}

bool TSuggestionsGenerator::Generate_SingleDeletion() {
    std::string w = FWord;
    for (int p = FLength + 1; p >= 2; --p) {
        std::string c = w;
        c.insert(static_cast<size_t>(p - 1), 1, ' ');
        for (char a : FWorking) {
            c[static_cast<size_t>(p - 1)] = a;
            if (CheckWord(c))
                return true;
        }
    }
    std::string c = " " + w;
    for (char a : FFull) {
        c[0] = a;
        if (CheckWord(c))
            return true;
    }
    return false;
}

bool TSuggestionsGenerator::Generate_SingleTransposition(int Distance) {
    if (FLength <= Distance + 1)
        return false;
    std::string c = FWord;
    for (int i = FLength - Distance; i >= 1; --i) {
        std::swap(c[static_cast<size_t>(i - 1)], c[static_cast<size_t>(i - 1 + Distance)]);
        bool stop = CheckWord(c);
        std::swap(c[static_cast<size_t>(i - 1)], c[static_cast<size_t>(i - 1 + Distance)]);
        if (stop)
            return true;
    }
    return false;
}

bool TSuggestionsGenerator::Generate_SingleInsertion() {
    for (int p = FLength; p >= 1; --p) {
        std::string c = FWord;
        c.erase(static_cast<size_t>(p - 1), 1);
        if (CheckWord(c))
            return true;
    }
    return false;
}

bool TSuggestionsGenerator::Generate_SingleSubstitution() {
    std::string c = FWord;
    for (int p = FLength; p >= 2; --p) {
        char keep = c[static_cast<size_t>(p - 1)];
        for (char a : FWorking) {
            c[static_cast<size_t>(p - 1)] = a;
            if (CheckWord(c)) {
                c[static_cast<size_t>(p - 1)] = keep;
                return true;
            }
        }
        c[static_cast<size_t>(p - 1)] = keep;
    }
    char keep = c[0];
    for (char a : FFull) {
        c[0] = a;
        if (CheckWord(c))
            return true;
    }
    c[0] = keep;
    return false;
}

bool TSuggestionsGenerator::Generate_SplitWord() {
    if (FLength >= 4) {
        for (int i = 2; i <= FLength - 2; ++i) {
            std::string a = FWord.substr(0, static_cast<size_t>(i)), b = FWord.substr(static_cast<size_t>(i));
            if (Exists(a) && Exists(b)) {
                if (Full())
                    return true;
                FResults->Add(a + " " + b);
            }
        }
    }
    size_t dot = FWord.find('.');
    if (dot != std::string::npos && FWord.find('.', dot + 1) == std::string::npos && dot + 1 < FWord.size()) {
        std::string after(1, FWord[dot + 1]);
        if (after == WordUpperCase(after)) {
            std::string a = FWord.substr(0, dot), b = FWord.substr(dot + 1);
            if (Exists(a) && Exists(b) && !Full())
                FResults->Add(FWord.substr(0, dot + 1) + "  " + b);
        }
    }
    return false;
}

int GetEditDistance(const std::string& A, const std::string& B) {
    if (A.size() >= 255 || B.size() >= 255)
        return static_cast<int>(std::max(A.size(), B.size()));
    static thread_local uint8_t M[256][256];
    size_t la = A.size(), lb = B.size();
    for (size_t i = 0; i <= la; ++i)
        M[i][0] = static_cast<uint8_t>(i);
    for (size_t j = 0; j <= lb; ++j)
        M[0][j] = static_cast<uint8_t>(j);
    for (size_t i = 1; i <= la; ++i)
        for (size_t j = 1; j <= lb; ++j)
            M[i][j] = A[i - 1] == B[j - 1]
                          ? M[i - 1][j - 1]
                          : static_cast<uint8_t>(std::min({M[i - 1][j], M[i][j - 1], M[i - 1][j - 1]}) + 1);
    int d = M[la][lb];
    size_t n = std::min(la, lb);
    for (size_t i = 2; i <= n; ++i) {
        if (A[i - 1] == B[i - 2] && A[i - 2] == B[i - 1] && A[i - 1] != A[i - 2] && d > 0) {
            --d;
            ++i;
        }
    }
    return d;
}
