#include "spell/ParsingEngine.h"

std::string TMainParsingEngine::DefaultCharSet() {
    std::string s = "\x92"
                    "1234567890&'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int c = 0xC0; c <= 0xFF; ++c)
        s.push_back(static_cast<char>(c));
    s += "\xB8\xA8\x9A\x9D\x9E\x8A\x8D\x8E\x9C\xB2\xA2\xB1\xA1\xBC\xAC\xB6\xA6";
    return s;
}

TMainParsingEngine::TMainParsingEngine() : FCharSet(DefaultCharSet()) {
    Rebuild();
}

void TMainParsingEngine::Rebuild() {
    FStart.fill(false);
    FContinue.fill(false);
    FForbidden.fill(false);
    for (unsigned char c : FCharSet) {
        FStart[c] = FNoStart.find(static_cast<char>(c)) == std::string::npos;
        if (FMidWord.find(static_cast<char>(c)) == std::string::npos)
            FContinue[c] = true;
    }
    for (unsigned char c : FForbidEnd)
        FForbidden[c] = true;
}

void TMainParsingEngine::SetCharSet(const std::string& S) {
    FCharSet = S;
    Rebuild();
}

void TMainParsingEngine::SetMidWord(const std::string& S) {
    FMidWord = S;
    Rebuild();
}

void TMainParsingEngine::SetForbidEnd(const std::string& S) {
    FForbidEnd = S;
    Rebuild();
}

void TMainParsingEngine::Initialize(TControlParser* Parser, int Mode) {
    FParser = Parser;
    if (!Parser)
        return;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Parser->GetSelectionPosition(x1, y1, x2, y2);
    switch (Mode) {
    case 0:
        AdjustToPosition(x1, y1);
        Parser->SetPosition(x2, y2, ptEnd);
        break;
    case 1:
        AdjustToPosition(x1, y1);
        break;
    case 2:
        Parser->SetPosition(0, 0, ptCurrent);
        break;
    default:
        break;
    }
}

void TMainParsingEngine::AdjustToPosition(int X, int Y) {
    if (!FParser)
        return;
    FParser->SetPosition(X, Y, ptCurrent);
    while (FContinue[static_cast<unsigned char>(FParser->GetChar())])
        if (!FParser->MovePrevious())
            break;
}

bool TMainParsingEngine::NextWord(std::string& Word) {
    Word.clear();
    if (!FParser)
        return false;
    for (;;) {
        Word.clear();
        unsigned char c;
        for (;;) {
            c = static_cast<unsigned char>(FParser->GetChar());
            if (OnInlineIgnore) {
                bool ignore = false;
                OnInlineIgnore(static_cast<char>(c), FParser, ignore);
                if (ignore)
                    c = static_cast<unsigned char>(FParser->GetChar());
            }
            if (FStart[c])
                break;
            if (!FParser->MoveNext())
                return false;
        }
        Word.push_back(static_cast<char>(c));
        bool dotted = false;
        for (;;) {
            if (!FParser->MoveNext()) {
                if (!FEndOfText)
                    Word.clear();
                break;
            }
            c = static_cast<unsigned char>(FParser->GetChar());
            if (FContinue[c]) {
                Word.push_back(static_cast<char>(c));
                continue;
            }
            if (FDotRule && c == '.') {
                FParser->MoveNext();
                bool stays = FContinue[static_cast<unsigned char>(FParser->GetChar())];
                if (Word.find('.') != std::string::npos) {
                    stays = true;
                    dotted = true;
                }
                FParser->MovePrevious();
                if (stays) {
                    Word.push_back('.');
                    continue;
                }
            }
            break;
        }
        if (Word.empty())
            return false;
        bool dotForbidden = FForbidden['.'];
        if (dotted)
            FForbidden['.'] = false;
        while (!Word.empty() && FForbidden[static_cast<unsigned char>(Word.back())]) {
            Word.pop_back();
            FParser->MovePrevious();
        }
        FForbidden['.'] = dotForbidden;
        if (Word.empty())
            continue;
        if (OnPreCheckIgnore) {
            bool ignore = false;
            OnPreCheckIgnore(Word, FParser, ignore);
            if (ignore)
                continue;
        }
        return true;
    }
}
