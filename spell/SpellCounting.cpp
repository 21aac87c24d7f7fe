// The checker's counting of words and errors over a text source, without prompting.
#include "spell/SpellBase.h"
#include "spell/StringParser.h"
#include "spell/WinApiControlParser.h"

void TOrthosSpell3Base::GetWordCountParserInternal(TControlParser* Parser, TCheckType Type, bool CountErrors,
                                                   bool StopAtFirstError, bool& ErrorsFound, int& Errors,
                                                   int& Words) {
    Errors = Words = 0;
    ErrorsFound = false;
    if (!Parser || (Type != ctSelected && Type != ctAll))
        return;
    EnsureDictionaries();
    int startX = 0, startY = 0;
    Parser->GetCursorPosition(startX, startY);
    TMainParsingEngine finder;
    finder.OnInlineIgnore = FEngine.OnInlineIgnore;
    finder.OnPreCheckIgnore = FEngine.OnPreCheckIgnore;
    finder.Initialize(Parser, static_cast<int>(Type));
    // The word tests read the parser of the running check; lend them this one.
    TControlParser* saved = FParser;
    FParser = Parser;
    std::string word, last;
    while (finder.NextWord(word)) {
        ++Words;
        if (!CountErrors)
            continue;
        bool acceptable = WordAcceptable(word);
        if (!acceptable || (UseExcludeWords && WordExcluded(word)) ||
            (FRepeated && word == last && ValidRepeatedWord(word, Parser)))
            ++Errors;
        if (acceptable)
            last = word;
        if (StopAtFirstError && Errors > 0)
            break;
    }
    FParser = saved;
    ErrorsFound = Errors > 0;
    if (EndCursorPosition == epHome)
        Parser->SetPosition(0, 0, ptCurrent);
    else if (EndCursorPosition == epOriginal)
        Parser->SetPosition(startX, startY, ptCurrent);
    if (!FChecking)
        UnloadDictionaries();
}

int TOrthosSpell3Base::GetWordCountParser(TControlParser* Parser, TCheckType Type) {
    bool found;
    int errors, words;
    GetWordCountParserInternal(Parser, Type, false, false, found, errors, words);
    return words;
}

int TOrthosSpell3Base::GetErrorCountParser(TControlParser* Parser, TCheckType Type) {
    bool found;
    int errors, words;
    GetWordCountParserInternal(Parser, Type, true, false, found, errors, words);
    return errors;
}

bool TOrthosSpell3Base::ErrorsPresetInParser(TControlParser* Parser, TCheckType Type) {
    bool found;
    int errors, words;
    GetWordCountParserInternal(Parser, Type, true, true, found, errors, words);
    return found;
}

namespace {

template <class F> auto withStringParser(const std::string& Text, F f) {
    std::string copy = Text;
    TStringParser parser;
    parser.Initialize(&copy);
    return f(&parser);
}

template <class F> auto withControlParser(HWND Control, F f) {
    TWinAPIControlParser parser;
    parser.Initialize(Control);
    return f(&parser);
}

} // namespace

int TOrthosSpell3Base::GetWordCountString(const std::string& Text) {
    return withStringParser(Text, [&](TControlParser* p) { return GetWordCountParser(p, ctAll); });
}

int TOrthosSpell3Base::GetErrorCountString(const std::string& Text) {
    return withStringParser(Text, [&](TControlParser* p) { return GetErrorCountParser(p, ctAll); });
}

bool TOrthosSpell3Base::ErrorsPresetInString(const std::string& Text) {
    return withStringParser(Text, [&](TControlParser* p) { return ErrorsPresetInParser(p, ctAll); });
}

int TOrthosSpell3Base::GetWordCountWinControl(HWND Control, TCheckType Type) {
    return withControlParser(Control, [&](TControlParser* p) { return GetWordCountParser(p, Type); });
}

int TOrthosSpell3Base::GetErrorCountWinControl(HWND Control, TCheckType Type) {
    return withControlParser(Control, [&](TControlParser* p) { return GetErrorCountParser(p, Type); });
}

bool TOrthosSpell3Base::ErrorsPresetInWinControl(HWND Control, TCheckType Type) {
    return withControlParser(Control, [&](TControlParser* p) { return ErrorsPresetInParser(p, Type); });
}
