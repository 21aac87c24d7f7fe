#pragma once
// TMainParsingEngine: finds the words of a text source from a character set, cutting quotes and
// stops off their ends and keeping stops inside abbreviations.

#include <array>
#include <string>

#include "spell/ParserInterfaces.h"

class TMainParsingEngine : public TParsingEngine {
public:
    TMainParsingEngine();

    void SetCharSet(const std::string& S);
    void SetMidWord(const std::string& S);
    void SetForbidEnd(const std::string& S);
    const std::string& CharSet() const { return FCharSet; }
    void SetDotRule(bool On) { FDotRule = On; }
    // A word cut off by the end of the text is returned instead of the empty word.
    void SetEndOfText(bool On) { FEndOfText = On; }

    // Mode 0 the selection, 1 from the cursor, 2 all of the text.
    void Initialize(TControlParser* Parser, int Mode) override;
    void AdjustToPosition(int X, int Y) override;
    // Empty word at the end of the text.
    bool NextWord(std::string& Word) override;

    static std::string DefaultCharSet();

private:
    void Rebuild();

    TControlParser* FParser = nullptr;
    std::string FCharSet;
    std::string FNoStart = "'\"";
    std::string FForbidEnd = "'\".";
    std::string FMidWord = "&";
    std::array<bool, 256> FStart{}, FContinue{}, FForbidden{};
    bool FDotRule = true;
    bool FEndOfText = false;
};
