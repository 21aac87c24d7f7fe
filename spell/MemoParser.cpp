#include "spell/MemoParser.h"

#include <cstdlib>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"

THSMemoParser::~THSMemoParser() {
    CloseCheckBlocks();
}

void THSMemoParser::BeginCheck() {
    if (!FMemo)
        return;
    TCustomMemoSource* src = FMemo->GetSource();
    // The memo may show another model by now; the blocks belong to the one they were opened in.
    if (FCheckDepth > 0 && src != FUndoSource)
        CloseCheckBlocks();
    FUndoSource = src;
    FUndoSource->BeginUndoBlock();
    ++FCheckDepth;
}

void THSMemoParser::EndCheck() {
    if (FCheckDepth <= 0)
        return;
    --FCheckDepth;
    FUndoSource->EndUndoBlock();
    if (FCheckDepth == 0)
        FUndoSource = nullptr;
}

void THSMemoParser::CloseCheckBlocks() {
    while (FCheckDepth > 0)
        EndCheck();
}

void THSMemoParser::Initialize(void* Target) {
    CloseCheckBlocks();
    FMemo = static_cast<TCustomHSMemo*>(Target);
    FEndSet = false;
    FColumn = FLine = 0;
    FHeldLength = 0;
    FReload = true;
    FHeldLine = -1;
    FHeld.clear();
    FLineCount = FMemo ? FMemo->GetLines()->Count() : 0;
}

bool THSMemoParser::EnsureLineCurrent() {
    if (!FMemo)
        return false;
    if (FLine == FHeldLine && FColumn > FHeldLength) {
        ++FLine;
        FColumn = 0;
    } else if (FColumn < 0) {
        if (FLine > 0) {
            --FLine;
            FColumn = -1;
        } else {
            FColumn = 0;
            return false;
        }
    }
    if (FLine == FHeldLine && !FReload)
        return true;
    bool result = FLine >= 0 && FLine < FLineCount;
    if (result) {
        FReload = false;
        FHeld = FMemo->GetLines()->Get(FLine) + "\r\n";
        FHeldLength = static_cast<int>(FHeld.size());
        FHeldLine = FLine;
        FLineCount = FMemo->GetLines()->Count();
        if (FColumn == -1)
            FColumn = FHeldLength - 1;
    }
    return result;
}

char THSMemoParser::GetChar() {
    if (!EnsureLineCurrent() || FColumn < 1 || FColumn > FHeldLength)
        return 0;
    return FHeld[static_cast<size_t>(FColumn - 1)];
}

std::string THSMemoParser::GetLine() {
    return EnsureLineCurrent() ? FHeld : std::string();
}

bool THSMemoParser::MoveNext() {
    ++FColumn;
    if (!EnsureLineCurrent())
        return false;
    return !(FEndSet && FColumn > FEndColumn && FLine >= FEndLine);
}

bool THSMemoParser::MovePrevious() {
    --FColumn;
    return EnsureLineCurrent();
}

void THSMemoParser::SetPosition(int X, int Y, TPositionType Kind) {
    X = X < 0 ? 0 : X;
    Y = Y < 0 ? 0 : Y;
    if (Kind == ptCurrent) {
        FReload = true;
        FColumn = X;
        FLine = Y;
    } else if (Kind == ptEnd) {
        FEndSet = true;
        FEndColumn = X;
        FEndLine = Y;
    }
}

void THSMemoParser::GetPosition(int& X, int& Y) {
    X = FColumn;
    Y = FLine;
}

void THSMemoParser::GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) {
    X1 = Y1 = X2 = Y2 = 0;
    if (!FMemo)
        return;
    TCustomMemoSource* src = FMemo->GetSource();
    if (src->SelectionType() == stNotSelected) {
        X1 = X2 = src->GetCurChar();
        Y1 = Y2 = src->GetCurLine();
    } else {
        X1 = src->BlockBegin().Char;
        Y1 = src->BlockBegin().Line;
        X2 = src->BlockEnd().Char;
        Y2 = src->BlockEnd().Line;
    }
}

void THSMemoParser::GetCursorPosition(int& X, int& Y) {
    int x2, y2;
    GetSelectionPosition(X, Y, x2, y2);
}

void THSMemoParser::SelectWord(int Length) {
    if (!FMemo)
        return;
    TCustomMemoSource* src = FMemo->GetSource();
    src->JumpTo(FColumn - 1 < 0 ? 0 : FColumn - 1, FLine);
    int start = FColumn - Length - 1, end = FColumn - 1;
    src->SetSelection(stStreamSel, start < 0 ? 0 : start, FLine, end < 0 ? 0 : end, FLine);
    FColumn -= Length;
}

void THSMemoParser::ReplaceWord(const std::string& Text, int) {
    if (!FMemo)
        return;
    int x1, y1, x2, y2;
    GetSelectionPosition(x1, y1, x2, y2);
    if (FEndSet && FLine == FEndLine)
        FEndColumn += static_cast<int>(Text.size()) - std::abs(x1 - x2);
    TCustomMemoSource* src = FMemo->GetSource();
    struct UndoBlock {
        TCustomMemoSource* s;
        explicit UndoBlock(TCustomMemoSource* source) : s(source) { s->BeginUndoBlock(); }
        ~UndoBlock() { s->EndUndoBlock(); }
    } block(src);
    if (src->SelectionType() != stNotSelected && !src->IsBlockEmpty())
        src->DeleteBlock();
    src->InsertString(Text);
    FColumn += static_cast<int>(Text.size());
    FReload = true;
}

void THSMemoParser::IgnoreWord(int) {
    int x1, y1, x2, y2;
    GetSelectionPosition(x1, y1, x2, y2);
    FColumn += x2 - x1;
}

void THSMemoParser::CenterSelection() {
    if (!FMemo || !FMemo->HandleAllocated())
        return;
    TCustomMemoSource* src = FMemo->GetSource();
    int x1, y1, x2, y2;
    GetSelectionPosition(x1, y1, x2, y2);
    src->BeginUpdate(2);
    struct UpdateGuard {
        TCustomMemoSource* s;
        ~UpdateGuard() { s->EndUpdate(); }
    } guard{src};
    POINT saved = FMemo->GetCaretPoint();
    FMemo->SetCaretPoint(POINT{x1, y1});
    FMemo->CenterScreenOnLine();
    FMemo->EnsurePointVisible(POINT{x1, y1});
    FMemo->SetCaretPoint(saved);
    FMemo->EnsurePointVisible(POINT{x2, y2});
    int h = FMemo->GetAveLineHeight();
    if (FMemo->WordWrap() && h != 0) {
        POINT p = FMemo->TextToPixelPoint(POINT{x1, y1});
        RECT rc{};
        GetClientRect(FMemo->Handle(), &rc);
        int offset = p.y - ((rc.bottom - rc.top) - h) / 2;
        FMemo->SetWinLine(FMemo->WinLine() + offset / h);
    }
    FMemo->Invalidate();
}

void THSMemoParser::GetControlScreenPosition(RECT& R) {
    R = RECT{-1, -1, -1, -1};
    if (!FMemo || !FMemo->HandleAllocated())
        return;
    POINT p{0, 0};
    ClientToScreen(FMemo->Handle(), &p);
    RECT rc{};
    GetClientRect(FMemo->Handle(), &rc);
    R = RECT{p.x, p.y, p.x + rc.right - rc.left, p.y + rc.bottom - rc.top};
}

void THSMemoParser::GetSelectionScreenPosition(RECT& R) {
    R = RECT{-1, -1, -1, -1};
    if (!FMemo || !FMemo->HandleAllocated())
        return;
    int x1, y1, x2, y2;
    GetSelectionPosition(x1, y1, x2, y2);
    POINT a = FMemo->TextToPixelPoint(POINT{x1, y1});
    POINT b = FMemo->TextToPixelPoint(POINT{x2, y2});
    ClientToScreen(FMemo->Handle(), &a);
    ClientToScreen(FMemo->Handle(), &b);
    R = RECT{a.x, a.y, b.x, b.y + FMemo->GetAveLineHeight()};
}

bool THSMemoHTMLParser::NextIsMarkup() {
    if (!FMemo)
        return false;
    TStringItem* item = FMemo->GetSource()->GetStringItem(FLine);
    int next = FColumn + 1;
    if (!item || next <= 0 || next >= static_cast<int>(item->ColorData.size()))
        return false;
    unsigned char kind = static_cast<unsigned char>(item->ColorData[static_cast<size_t>(next - 1)]);
    return kind == 10 || kind == 11;
}

bool THSMemoHTMLParser::MoveNext() {
    if (!NextIsMarkup())
        return THSMemoParser::MoveNext();
    bool result = true;
    while (NextIsMarkup()) {
        result = THSMemoParser::MoveNext();
        if (!result)
            break;
    }
    return result;
}
