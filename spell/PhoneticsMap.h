#pragma once
// Phonetic rules: a trie of rules (key -> replacement, characters consumed) that maps a word to
// a short sound key; words with equal keys are offered as suggestions.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/Object.h"

class TReplaceNode : public TObject {
public:
    TReplaceNode() = default;
    ~TReplaceNode() override;

    // The longest rule whose key matches Text at the 1-based Position.
    virtual bool GetNextMap(const std::string& Text, std::string& Replacement, int& Count, int Position);
    virtual void ClearMap();
    virtual void AddMap(const std::string& Key, const std::string& Replacement, int Count);

    // What the rule that ends at this node gives and consumes.
    const std::string& Replacement() const { return FReplacement; }
    int Consumed() const { return FCount; }

protected:
    using Children = std::array<std::unique_ptr<TReplaceNode>, 256>;
    // The rule at the longest key that begins Text[0..Length): the node that ends it, or null.
    // With Open set, a longer key could still match once Text goes on past Length.
    const TReplaceNode* LongestRule(const char* Text, size_t Length, bool* Open = nullptr) const;

    bool FHasChildren = false;
    Children FChildren{};
    bool FRuleEnd = false;
    std::string FReplacement;
    int FCount = 0;
};

class TPhoneticsMap : public TReplaceNode {
public:
    TPhoneticsMap() = default;

    // Rule sets left for another language are kept and taken back unchanged, as long as nobody
    // changed them through AddMap or ClearMap after loading.
    virtual void WriteLanguage(unsigned Language);
    virtual void WriteStartDepth(int Depth); // values below 1 are refused
    virtual std::string GetMapping(const std::string& Word);
    virtual bool AcceptableDistance(const std::string& Word, int Distance);
    void ClearMap() override;
    void AddMap(const std::string& Key, const std::string& Replacement, int Count) override;

    // False when no word that begins with the first Length characters of Prefix and goes on past
    // them can have Mapping as its GetMapping; true when one might. A subclass answers true.
    bool MayMapBeyond(const char* Prefix, size_t Length, const std::string& Mapping) const;

    unsigned Language() const { return FLanguage; }
    int StartDepth() const { return FStartDepth; }
    int Divisor() const { return FDivisor; }
    void SetDivisor(int v) {
        if (v >= 1)
            FDivisor = v;
    }
    int MaxDistance() const { return FMaxDistance; }
    void SetMaxDistance(int v) { FMaxDistance = v; }

private:
    enum RuleSet { rsEnglish, rsRussian, rsGeneric, rsCount, rsChanged = rsCount };
    void LoadEnglish();
    void LoadGeneric();
    void LoadRussian();

    // The rule set in the trie, or rsChanged when it is not (or no longer) one of the three as loaded.
    RuleSet FRuleSet = rsChanged;
    bool FLoading = false;
    std::array<Children, rsCount> FKept{};
    std::array<bool, rsCount> FKeptFilled{};

    int FStartDepth = 2;
    bool FCollapse = true;
    int FBudget = 6;
    unsigned FLanguage = 0xFFFFFFFFu;
    int FDivisor = 2;
    int FMaxDistance = 4;
};
