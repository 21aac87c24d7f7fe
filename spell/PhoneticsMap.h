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

protected:
    bool FHasChildren = false;
    std::array<std::unique_ptr<TReplaceNode>, 256> FChildren{};
    bool FRuleEnd = false;
    std::string FReplacement;
    int FCount = 0;
};

class TPhoneticsMap : public TReplaceNode {
public:
    TPhoneticsMap() = default;

    virtual void WriteLanguage(unsigned Language);
    virtual void WriteStartDepth(int Depth); // values below 1 are refused
    virtual std::string GetMapping(const std::string& Word);
    virtual bool AcceptableDistance(const std::string& Word, int Distance);

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
    void LoadEnglish();
    void LoadGeneric();
    void LoadRussian();

    int FStartDepth = 2;
    bool FCollapse = true;
    int FBudget = 6;
    unsigned FLanguage = 0xFFFFFFFFu;
    int FDivisor = 2;
    int FMaxDistance = 4;
};
