#pragma once
// TStringParser: a text source over the caller's string variable (one line, X counts from 1).

#include <string>

#include "spell/ParserInterfaces.h"

class TStringParser : public TControlParser {
public:
    // Target is the address of a std::string; the parser edits that very string.
    void Initialize(void* Target) override;
    char GetChar() override;
    std::string GetLine() override;
    bool MoveNext() override;
    bool MovePrevious() override;
    void SetPosition(int X, int Y, TPositionType Kind) override;
    void GetPosition(int& X, int& Y) override;
    void SelectWord(int Length) override;
    void ReplaceWord(const std::string& Text, int State) override;
    void IgnoreWord(int State) override;
    void CenterSelection() override {}
    void GetCursorPosition(int& X, int& Y) override;
    void GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) override;
    void GetControlScreenPosition(RECT& R) override { R = RECT{-1, -1, -1, -1}; }
    void GetSelectionScreenPosition(RECT& R) override { R = RECT{-1, -1, -1, -1}; }
    void UndoLast(int, int, int&) override {}

private:
    std::string* FText = nullptr;
    int FEndIndex = 0;
    bool FEndSet = false;
    int FIndex = 1;
    int FSelLength = 0;
};
