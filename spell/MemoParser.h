#pragma once
// Text sources over the code editor: THSMemoParser walks a memo view's text model (X counts
// from 1 within a line, 0 is the place before the first character; each line is seen with CR LF),
// and THSMemoHTMLParser also steps over tag and attribute-name characters.

#include <string>

#include "spell/ParserInterfaces.h"

class TCustomHSMemo;
class TCustomMemoSource;

class THSMemoParser : public TControlParser {
public:
    ~THSMemoParser() override;
    // Target is the memo view (TCustomHSMemo*).
    void Initialize(void* Target) override;
    char GetChar() override;
    std::string GetLine() override;
    bool MoveNext() override;
    bool MovePrevious() override;
    void SetPosition(int X, int Y, TPositionType Kind) override;
    void GetPosition(int& X, int& Y) override;
    // Selects the Length characters before the position in the text model.
    void SelectWord(int Length) override;
    // One undo step of the editor takes the replacement back.
    void ReplaceWord(const std::string& Text, int State) override;
    void IgnoreWord(int State) override;
    void CenterSelection() override;
    void GetCursorPosition(int& X, int& Y) override;
    void GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) override;
    void GetControlScreenPosition(RECT& R) override;
    void GetSelectionScreenPosition(RECT& R) override;
    void UndoLast(int, int, int&) override {}
    // A check is one undo block of the text model: one undo after it restores the text as it was
    // before, caret moves and all. Blocks still open when the parser is rebound or freed are closed.
    void BeginCheck() override;
    void EndCheck() override;

protected:
    virtual bool EnsureLineCurrent();
    TCustomHSMemo* FMemo = nullptr;
    int FColumn = 0, FLine = 0;

private:
    void CloseCheckBlocks();
    TCustomMemoSource* FUndoSource = nullptr;
    int FCheckDepth = 0;
    int FEndColumn = 0, FEndLine = 0;
    bool FEndSet = false;
    std::string FHeld;
    int FHeldLine = -1;
    int FHeldLength = 0;
    int FLineCount = 0;
    bool FReload = true;
};

class THSMemoHTMLParser : public THSMemoParser {
public:
    bool MoveNext() override;

private:
    bool NextIsMarkup();
};
