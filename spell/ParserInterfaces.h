#pragma once
// The checker's abstract interfaces: a text source (TControlParser), an ignore rule
// (TParserIgnore) and the word finder (TParsingEngine). Positions are (X, Y): X the character
// within the line, Y the line.

#include <functional>
#include <string>

#include "framework/core/Object.h"

enum TPositionType { ptCurrent, ptEnd };

class TControlParser : public TObject {
public:
    // Binds the parser to its source; cursor at the start, no end limit.
    virtual void Initialize(void* Target) = 0;
    // The character at the cursor; 0 past the end of the text.
    virtual char GetChar() = 0;
    virtual std::string GetLine() = 0;
    // False when the cursor was already past the end, or the move passes the end limit; the step
    // from the last character onto the position after it answers true.
    virtual bool MoveNext() = 0;
    virtual bool MovePrevious() = 0;
    virtual void SetPosition(int X, int Y, TPositionType Kind) = 0;
    virtual void GetPosition(int& X, int& Y) = 0;
    // Selects the word of that length that ends at the cursor; the cursor goes to its start.
    virtual void SelectWord(int Length) = 0;
    // Replaces the selected word; the cursor goes after the new text and the end limit moves by
    // the change in length.
    virtual void ReplaceWord(const std::string& Text, int State) = 0;
    virtual void IgnoreWord(int State) = 0;
    virtual void CenterSelection() = 0;
    virtual void GetCursorPosition(int& X, int& Y) = 0;
    virtual void GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) = 0;
    virtual void GetControlScreenPosition(RECT& R) = 0;
    virtual void GetSelectionScreenPosition(RECT& R) = 0;
    virtual void UndoLast(int State, int Action, int& UndoState) = 0;
    // Bracket the whole of a check (calls nest, each begin has its end), so that a source with
    // an undo history can take back everything the check changed in one step.
    virtual void BeginCheck() {}
    virtual void EndCheck() {}
};

class TParserIgnore : public TObject {
public:
    virtual bool NeededBeforeCheck() = 0;
    virtual bool LineCheckNeeded() = 0;
    // At a character before a word: true when the rule moved the parser past text to skip.
    virtual bool ExecuteIgnore(char C, TControlParser* Parser) = 0;
    // Before the dictionaries are asked: true skips the word.
    virtual bool ExecuteWordIgnorePreCheck(const std::string& Word, TControlParser* Parser) = 0;
    // For a word the dictionaries refused: true accepts it after all.
    virtual bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) = 0;
    virtual bool ExecuteLineIgnore(const std::string& Line) = 0;
};

using TInlineIgnoreHook = std::function<void(char C, TControlParser* Parser, bool& Ignore)>;
using TWordIgnoreHook = std::function<void(const std::string& Word, TControlParser* Parser, bool& Ignore)>;

class TParsingEngine : public TObject {
public:
    virtual void Initialize(TControlParser* Parser, int Mode) = 0;
    virtual void AdjustToPosition(int X, int Y) = 0;
    virtual bool NextWord(std::string& Word) = 0;

    TInlineIgnoreHook OnInlineIgnore;
    TWordIgnoreHook OnPreCheckIgnore;
};
