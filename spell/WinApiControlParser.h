#pragma once
// TWinAPIControlParser: a text source over a standard edit or rich-edit window, read and changed
// through edit-control messages. X counts from 0 within a line; each line is seen with CR LF.

#include <string>

#include "spell/ParserInterfaces.h"

class TWinAPIControlParser : public TControlParser {
public:
    // Target is the control's window handle (HWND).
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
    void CenterSelection() override;
    void GetCursorPosition(int& X, int& Y) override;
    void GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) override;
    void GetControlScreenPosition(RECT& R) override;
    void GetSelectionScreenPosition(RECT& R) override;
    void UndoLast(int, int, int&) override {}

    // 0 plain edit, 1 first-generation rich edit (or a memo class), 2 later rich edit.
    int ControlKind() const { return FKind; }
    void SetControlKind(int Kind) { FKind = Kind; }

protected:
    virtual bool EnsureLineCurrent();
    virtual void Perform_EM_POSFROMCHAR(int CharIndex, POINT& Point);

private:
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageA(FControl, msg, w, l); }
    int LineHeight() const;

    HWND FControl = nullptr;
    int FKind = 0;
    int FEndColumn = 0, FEndLine = 0;
    bool FEndSet = false;
    int FColumn = 0, FLine = 0;
    std::string FBuffer; // the held line with CR LF
    int FHeldLine = -1;
    int FHeldLength = 0;
    int FLineCount = 0;
    bool FReload = true;
    int FSelStart = 0, FSelLength = 0;
};
