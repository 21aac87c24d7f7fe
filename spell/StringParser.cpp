#include "spell/StringParser.h"

void TStringParser::Initialize(void* Target) {
    FText = static_cast<std::string*>(Target);
    FEndSet = false;
    FEndIndex = 0;
    FIndex = 1;
    FSelLength = 0;
}

char TStringParser::GetChar() {
    if (!FText || FIndex < 1 || FIndex > static_cast<int>(FText->size()))
        return 0;
    return (*FText)[static_cast<size_t>(FIndex - 1)];
}

std::string TStringParser::GetLine() {
    return FText ? *FText : std::string();
}

bool TStringParser::MoveNext() {
    bool within = FText && static_cast<int>(FText->size()) >= FIndex;
    ++FIndex;
    if (FEndSet && FIndex > FEndIndex)
        return false;
    return within;
}

bool TStringParser::MovePrevious() {
    if (FIndex > 1) {
        --FIndex;
        return true;
    }
    return false;
}

void TStringParser::SetPosition(int X, int, TPositionType Kind) {
    if (Kind == ptCurrent) {
        FIndex = X > 1 ? X : 1;
    } else if (Kind == ptEnd) {
        FEndIndex = X;
        FEndSet = true;
    }
}

void TStringParser::GetPosition(int& X, int& Y) {
    X = FIndex;
    Y = 0;
}

void TStringParser::SelectWord(int Length) {
    FSelLength = Length;
    FIndex -= Length;
    if (FIndex < 1)
        FIndex = 1;
}

void TStringParser::ReplaceWord(const std::string& Text, int) {
    if (!FText)
        return;
    if (FEndSet)
        FEndIndex += static_cast<int>(Text.size()) - FSelLength;
    size_t at = static_cast<size_t>(FIndex - 1);
    if (at > FText->size())
        at = FText->size();
    FText->replace(at, static_cast<size_t>(FSelLength), Text);
    FIndex += static_cast<int>(Text.size());
}

void TStringParser::IgnoreWord(int) {
    FIndex += FSelLength;
}

void TStringParser::GetCursorPosition(int& X, int& Y) {
    GetPosition(X, Y);
}

void TStringParser::GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) {
    X1 = X2 = FIndex;
    Y1 = Y2 = 0;
}
