#include <algorithm>

#include "controls/textmodel/CommandScope.h"
#include "controls/textmodel/MemoSource.h"
#include "framework/core/ScopeGuard.h"

namespace {
int32_t Len(const std::string& s) {
    return int32_t(s.size());
}
} // namespace

void TCustomMemoSource::CheckStringItem(TStringItem& item) const {
    if (item.ColorData.size() != item.Text.size())
        item.ColorData.resize(item.Text.size(), '\0');
}

void TCustomMemoSource::LineLengthChanged(int32_t line, bool endStateChanged) {
    if (!FMaxLineEnabled)
        return;
    int32_t len = GetMaxLen(line);
    if (endStateChanged || (line == FMaxLineIndex && len < FMaxLineLength)) {
        ReCalculateMaxLine();
    } else if (len >= FMaxLineLength) {
        FMaxLineLength = len;
        FMaxLineIndex = line;
    }
}

// ---------------------------------------------------------------- Navigate

void TCustomMemoSource::Navigate(int32_t lineDelta, int32_t charDelta) {
    if (NavigateHandler)
        NavigateHandler(lineDelta, charDelta);
    int32_t tl = std::max(FCaret.Line + lineDelta, 0);
    int32_t tc = std::max(FCaret.Char + charDelta, 0);
    if (!HasOption(soBeyondFileEnd))
        tl = std::min(tl, std::max(GetStrCount() - 1, 0));
    if (HasOption(soLimitEOL))
        tc = std::min(tc, Len(FStrings.Get(tl)));
    if (HasOption(soCursorAlwaysOnTabs)) {
        int32_t back = 0, fwd = 0;
        const std::string& s = FStrings.GetRaw(tl);
        if (FTabs.TabDelta(s, tc, back, false) && FTabs.TabDelta(s, tc, fwd, true))
            tc = back < fwd ? tc - back : tc + fwd;
    }
    lineDelta = tl - FCaret.Line;
    charDelta = tc - FCaret.Char;
    if (lineDelta == 0 && charDelta == 0 && !ForcedMove)
        return;
    TUpdateScope scope(*this, 2);
    // Replays must give back the exact text, so they leave trailing blanks alone; otherwise the
    // blanks go by an undoable deletion, so that undo restores them.
    if (lineDelta != 0 && !(MemoState & msUndo)) {
        DiscardTrailingTabs(FAllowUndo);
        lineDelta = tl - FCaret.Line;
        charDelta = tc - FCaret.Char;
    }
    if (TUndoRecord* rec = CreateNewUndoRecord(soNavigate)) {
        rec->Value1 = lineDelta;
        rec->Value2 = charDelta;
    }
    FCaret.SetPosition(tc, tl);
    if (Reveal && !GetLineVisible(tl))
        ExpandPrevLine(tl);
}

// ---------------------------------------------------------------- Insert

int32_t TCustomMemoSource::InsertEx(const std::string& text, const std::string& colorData) {
    FPendingColorData = colorData;
    {
        FHasPendingColorData = true;
        TScopeGuard pendingDone([this] { FHasPendingColorData = false; });
        Insert(text);
    }
    FPendingColorData.clear();
    return FInsertWidth;
}

bool TCustomMemoSource::Insert(const std::string& text) {
    FInsertWidth = 0;
    if (text.empty() || GetReadOnly())
        return false;
    TUpdateScope scope(*this, 5);
    if (GetStrCount() == 0) {
        FStrings.Add(std::string());
        TextChangedOutsideUndo();
        UpdateChanged(0, INT_MAX);
    }
    // Lines needed below the end are made by recorded line breaks, so that undo removes them again.
    const bool growBlock = AfterLastLine() && FAllowUndo && !(MemoState & msUndo);
    if (growBlock) {
        BeginUndoBlock();
        const int32_t col = FCaret.Char, line = FCaret.Line;
        const int32_t last = GetStrCount() - 1;
        Navigate(last - line, int32_t(FStrings.Get(last).size()) - col);
        while (GetStrCount() <= line) {
            BreakLine();
            Navigate(1, -FCaret.Char);
        }
        Navigate(line - FCaret.Line, col - FCaret.Char);
    }
    while (AfterLastLine()) {
        FStrings.Add(std::string());
        TextChangedOutsideUndo();
        UpdateChanged(GetStrCount() - 1, INT_MAX);
    }
    struct TBlockEnd {
        TCustomMemoSource& source;
        bool active;
        ~TBlockEnd() {
            if (active)
                source.EndUndoBlock();
        }
    } blockEnd{*this, growBlock};
    if (ReadOnlyLine())
        return false;
    const int32_t line = FCaret.Line, col = FCaret.Char;
    const bool store = StoreColorData();
    const uint8_t style = store ? GetAttr(col, line) : 0;
    TStringItem* item = FStrings.Item(line);
    std::string& s = item->Text;
    if (store)
        CheckStringItem(*item);
    int32_t disp = FTabs.RelativeIndex(s, Len(s));
    // Blanks that pad a short line are counted with the insertion, so undo takes them back too.
    int32_t pad = 0;
    if (disp < col) {
        pad = col - disp;
        s.append(size_t(pad), ' ');
        if (store)
            item->ColorData.append(size_t(pad), char(style));
        disp = col;
    }
    std::string cd = FHasPendingColorData ? TextRoutines::PadTo(FPendingColorData, text.size())
                                          : std::string(text.size(), char(style));
    int32_t idx = FTabs.RealIndex(s, col);
    int32_t blanks = 0;
    if (idx < Len(s) && s[size_t(idx)] == '\t')
        blanks = col - FTabs.RelativeIndex(s, idx);
    s.insert(size_t(idx), std::string(size_t(blanks), ' ') + text);
    if (store)
        item->ColorData.insert(size_t(idx), std::string(size_t(blanks), cd.empty() ? '\0' : cd[0]) + cd);
    const int32_t count = pad + blanks + Len(text);
    const int32_t growth = FTabs.RelativeIndex(s, Len(s)) - disp;
    FInsertWidth = text.find('\t') != std::string::npos ? growth : Len(text);

    if (count == Len(text)) {
        if (TUndoRecord* rec = CreateNewUndoRecord(soInsert))
            rec->Value1 = count;
    } else {
        BeginUndoBlock();
        if (TUndoRecord* rec = CreateNewUndoRecord(soNavigate))
            rec->Value2 = Len(text) - count;
        if (TUndoRecord* rec = CreateNewUndoRecord(soInsert))
            rec->Value1 = count;
        if (TUndoRecord* rec = CreateNewUndoRecord(soNavigate))
            rec->Value2 = count - Len(text);
        EndUndoBlock();
    }
    FBookMarks.CharChanged(line, col, FInsertWidth);
    UpdatePositions(soInsert, growth);
    UpdateChanged(line, line);
    bool endChanged = UpdateString(line);
    LineLengthChanged(line, endChanged);
    return true;
}

// ---------------------------------------------------------------- BreakLine

void TCustomMemoSource::BreakLine() {
    TUpdateScope scope(*this, 4);
    if (GetStrCount() == 0) {
        FStrings.Add(std::string());
        TextChangedOutsideUndo();
        UpdateChanged(0, INT_MAX);
    }
    if (AfterLastLine() || ReadOnlyLine())
        return;
    const int32_t line = FCaret.Line, col = FCaret.Char;
    if (GetCollapseState(line) == csCollapsed)
        SetCollapseState(line, csExpanded);
    FStrings.Insert(line + 1, std::string());
    TStringItem* item = FStrings.Item(line);
    TStringItem* next = FStrings.Item(line + 1);
    if (item->Has(isHidden) || item->Has(isExpanded) || item->Has(isCollapsed))
        next->Set(isHidden, true);
    const bool store = StoreColorData();
    std::string& s = item->Text;
    const bool wasEmpty = s.empty();
    int32_t idx = std::min(FTabs.RealIndex(s, col), Len(s));
    next->Text = s.substr(size_t(idx));
    s.erase(size_t(idx));
    if (!item->ColorData.empty()) {
        if (store && !(MemoState & msUndo) && !ImportFlag) {
            size_t at = std::min(size_t(idx), item->ColorData.size() - 1);
            CarriedStyle = uint8_t(item->ColorData[at]);
            CarriedStyleFresh = true;
        }
        if (size_t(idx) < item->ColorData.size()) {
            next->ColorData = item->ColorData.substr(size_t(idx));
            item->ColorData.erase(size_t(idx));
        }
        CheckStringItem(*item);
        CheckStringItem(*next);
    }
    if (col == 0) {
        next->LineData = std::move(item->LineData);
        item->LineData.clear();
    }
    next->LineEnd = item->LineEnd;
    item->LineEnd = leDefault;
    item->Set(isWasParsed, false);
    FBookMarks.LineChanged(line, col, 1);
    FBookMarks.CharChanged(line + 1, col - 1, -col);
    FVisibleLines.LineChanged(line, 1);
    if (col == 0 || wasEmpty) {
        next->ImageBits |= item->ImageBits;
        if (!next->TextStyle)
            next->TextStyle = item->TextStyle;
        if (!next->Object)
            next->Object = item->Object;
        item->ImageBits = 0;
        item->TextStyle = 0;
        item->Object = nullptr;
    }
    if (FMaxLineEnabled) {
        if (FMaxLineIndex == line)
            ReCalculateMaxLine();
        else if (FMaxLineIndex > line)
            ++FMaxLineIndex;
    }
    CreateNewUndoRecord(soBreakLine);
    UpdateChanged(line, INT_MAX);
    UpdateString(line);
    if (!(MemoState & msUndo))
        DiscardTrailingTabs(true);
    UpdatePositions(soBreakLine, 0);
}

// ---------------------------------------------------------------- JoinLines

void TCustomMemoSource::JoinLines() {
    const int32_t line = FCaret.Line, col = FCaret.Char;
    if (line >= GetStrCount() - 1 || GetStrCount() <= 1 || GetReadOnly() || GetLineReadOnly(line) ||
        GetLineReadOnly(line + 1))
        return;
    TStringItem* item = FStrings.Item(line);
    int32_t idx = FTabs.RealIndex(item->Text, col);
    if ((MemoState & msUndo) && idx < Len(item->Text) &&
        item->Text.find_first_not_of(' ', size_t(idx)) == std::string::npos) {
        item->Text.erase(size_t(idx));
        if (item->ColorData.size() > size_t(idx))
            item->ColorData.erase(size_t(idx));
    }
    if (idx < Len(item->Text))
        return;
    TUpdateScope scope(*this, 3);
    // A caret beyond the line's end first fills the gap with blanks by an undoable insertion, so
    // that undoing the join gives back the line without them.
    bool padBlock = false;
    if (idx > Len(item->Text) && !(MemoState & msUndo) && FAllowUndo) {
        padBlock = true;
        BeginUndoBlock();
        const int32_t endCol = FTabs.RelativeIndex(item->Text, Len(item->Text));
        Navigate(0, endCol - col);
        Insert(std::string(size_t(idx - Len(item->Text)), ' '));
        Navigate(0, col - endCol);
    }
    if (GetCollapseState(line) == csCollapsed)
        SetCollapseState(line, csExpanded);
    if (GetCollapseState(line + 1) == csCollapsed)
        SetCollapseState(line + 1, csExpanded);
    item = FStrings.Item(line);
    TStringItem* next = FStrings.Item(line + 1);
    const bool hadColor = !item->ColorData.empty() || !next->ColorData.empty();
    if (hadColor) {
        char last = item->ColorData.empty() ? '\0' : item->ColorData.back();
        item->ColorData.resize(item->Text.size(), last);
        item->ColorData.resize(size_t(idx), last);
    }
    item->Text.resize(size_t(idx), ' ');
    item->Text += next->Text;
    if (hadColor) {
        item->ColorData += TextRoutines::PadTo(next->ColorData, next->Text.size());
        CheckStringItem(*item);
    }
    if (col == 0)
        item->LineData = next->LineData;
    item->ImageBits |= next->ImageBits;
    if (!item->TextStyle)
        item->TextStyle = next->TextStyle;
    if (!item->Object)
        item->Object = next->Object;
    item->LineEnd = next->LineEnd;
    item->Set(isWasParsed, false);
    FStrings.Delete(line + 1);
    FBookMarks.CharChanged(line + 1, 0, col);
    FBookMarks.LineChanged(line, INT_MAX, -1);
    FVisibleLines.LineChanged(line, -1);
    CreateNewUndoRecord(soJoinLines);
    if (padBlock)
        EndUndoBlock();
    UpdatePositions(soJoinLines, 0);
    UpdateChanged(line, INT_MAX);
    bool endChanged = UpdateString(line);
    if (FMaxLineEnabled) {
        if (FMaxLineIndex > line + 1)
            --FMaxLineIndex;
        else if (FMaxLineIndex == line + 1)
            FMaxLineIndex = line;
        LineLengthChanged(line, endChanged);
    }
}

// ---------------------------------------------------------------- DeleteRight

void TCustomMemoSource::DeleteRight(int32_t count) {
    if (count <= 0 || AfterLastLine() || ReadOnlyLine())
        return;
    const int32_t line = FCaret.Line, col = FCaret.Char;
    if (FTabs.RelativeIndex(FStrings.GetRaw(line), Len(FStrings.GetRaw(line))) <= col)
        return;
    TUpdateScope scope(*this, 6);
    int32_t back = 0;
    if (FTabs.TabDelta(FStrings.GetRaw(line), col, back, false)) {
        // Start the deletion at a stored character: the part of the tab before the caret becomes blanks.
        BeginUndoBlock();
        Navigate(0, -back);
        Insert(std::string(size_t(back), ' '));
        Navigate(0, back);
        EndUndoBlock();
    }
    TStringItem* item = FStrings.Item(line);
    std::string& s = item->Text;
    const int32_t idx = FTabs.RealIndex(s, col);
    const int32_t n = std::min(count, Len(s) - idx);
    if (n <= 0)
        return;
    const int32_t oldDisp = FTabs.RelativeIndex(s, Len(s));
    std::string removed = s.substr(size_t(idx), size_t(n));
    std::string removedCd;
    if (size_t(idx) < item->ColorData.size()) {
        removedCd = item->ColorData.substr(size_t(idx), size_t(n));
        item->ColorData.erase(size_t(idx), size_t(n));
    }
    s.erase(size_t(idx), size_t(n));
    const int32_t width = oldDisp - FTabs.RelativeIndex(s, Len(s));
    item->Set(isWasParsed, false);
    if (TUndoRecord* rec = CreateNewUndoRecord(soDeleteRight)) {
        rec->Text = removed;
        if (StoreColorData())
            rec->ColorData = removedCd;
    }
    UpdateChanged(line, line);
    DeleteLastEmptyLine();
    UpdatePositions(soDeleteRight, width);
    FBookMarks.CharChanged(line, col + width - 1, -width);
    bool endChanged = UpdateString(line);
    LineLengthChanged(line, endChanged);
}

void TCustomMemoSource::DeleteLastEmptyLine() {
    if (GetStrCount() != 1 || !FStrings.GetRaw(0).empty())
        return;
    FStrings.Delete(0);
    UpdateChanged(0, INT_MAX);
}

void TCustomMemoSource::DiscardTrailingTabs(bool byDelete) {
    if (KeepTrailingBlanks || ReadOnlyLine())
        return;
    const int32_t line = FCaret.Line;
    TStringItem* item = FStrings.Item(line);
    if (!item)
        return;
    size_t keep = item->Text.find_last_not_of(" \t");
    keep = keep == std::string::npos ? 0 : keep + 1;
    if (keep == item->Text.size())
        return;
    TUpdateScope scope(*this, 6);
    if (byDelete) {
        const int32_t col = FCaret.Char;
        const int32_t endCol = FTabs.RelativeIndex(item->Text, int32_t(keep));
        const int32_t cnt = Len(item->Text) - int32_t(keep);
        Navigate(0, endCol - col);
        DeleteRight(cnt);
        Navigate(0, col - endCol);
    } else {
        item->Text.erase(keep);
        if (item->ColorData.size() > keep)
            item->ColorData.erase(keep);
        item->Set(isWasParsed, false);
        TextChangedOutsideUndo();
        UpdateChanged(line, line);
        bool endChanged = UpdateString(line);
        LineLengthChanged(line, endChanged);
    }
}

// ---------------------------------------------------------------- caret movement

bool TCustomMemoSource::GetTabDelta(int32_t chr, int32_t line, int32_t& delta, bool forward) const {
    return FTabs.TabDelta(FStrings.GetRaw(line), chr, delta, forward);
}

void TCustomMemoSource::CursorLeft() {
    if (HasOption(soCursorOnTabs) || HasOption(soCursorAlwaysOnTabs)) {
        TabCursorLeft();
        return;
    }
    Navigate(0, -1);
}

void TCustomMemoSource::TabCursorLeft() {
    const std::string& s = FStrings.GetRaw(FCaret.Line);
    int32_t col = FCaret.Char;
    if (col > 0) {
        int32_t idx = FTabs.RealIndex(s, col - 1);
        if (idx < Len(s) && s[size_t(idx)] == '\t') {
            Navigate(0, FTabs.RelativeIndex(s, idx) - col);
            return;
        }
    }
    Navigate(0, -1);
}

void TCustomMemoSource::TabCursorRight() {
    const std::string& s = FStrings.GetRaw(FCaret.Line);
    int32_t col = FCaret.Char;
    int32_t idx = FTabs.RealIndex(s, col);
    if (idx < Len(s) && s[size_t(idx)] == '\t') {
        Navigate(0, FTabs.RelativeIndex(s, idx + 1) - col);
        return;
    }
    Navigate(0, 1);
}

void TCustomMemoSource::CursorRight() {
    const std::string& s = FStrings.GetRaw(FCaret.Line);
    int32_t col = FCaret.Char;
    if ((HasOption(soCursorOnTabs) || HasOption(soCursorAlwaysOnTabs))) {
        int32_t idx = FTabs.RealIndex(s, col);
        if (idx < Len(s) && s[size_t(idx)] == '\t') {
            Navigate(0, FTabs.RelativeIndex(s, idx + 1) - col);
            return;
        }
    }
    if (HasOption(soLimitEOL) && col >= FTabs.RelativeIndex(s, Len(s))) {
        if (FSelectionType == stBlockSel)
            return;
        if (FCaret.Line >= GetStrCount() - 1 && !HasOption(soBeyondFileEnd))
            return;
        Navigate(1, -col);
        return;
    }
    Navigate(0, 1);
}

void TCustomMemoSource::JumpTo(int32_t chr, int32_t line) {
    Reveal = true;
    TScopeGuard revealed([this] { Reveal = false; });
    Navigate(line - FCaret.Line, chr - FCaret.Char);
}

void TCustomMemoSource::JumpToFileEnd() {
    TUpdateScope scope(*this, 2);
    int32_t last = std::max(GetStrCount() - 1, 0);
    JumpTo(Len(FStrings.Get(last)), last);
}

void TCustomMemoSource::JumpToLineEnd() {
    std::string s = FStrings.Get(FCaret.Line);
    if (!KeepTrailingBlanks)
        s = TextRoutines::TrimRight(s);
    JumpTo(Len(s), FCaret.Line);
}

void TCustomMemoSource::ResetPositions() {
    TUpdateScope scope(*this, 47);
    FCaret.SetPosition(0, 0);
    FBlockBegin.SetPosition(0, 0);
    FBlockEnd.SetPosition(0, 0);
    for (auto& p : FCopies)
        p->SetPosition(0, 0);
    FSelectionType = stNotSelected;
}

std::string TCustomMemoSource::GetSpecialString(int32_t line, bool special, char tabChar,
                                                char spaceChar) const {
    if (!special || (tabChar == 0 && spaceChar == 0))
        return FStrings.Get(line);
    std::string out;
    for (char c : FStrings.GetRaw(line)) {
        if (c == '\t') {
            int32_t pos = Len(out) + 1;
            int32_t w = FTabs.TabWidthAt(pos);
            std::string exp(size_t(w), ' ');
            if (tabChar)
                exp[size_t(std::max(w / 2 - 1, 0))] = tabChar;
            out += exp;
        } else {
            out += (c == ' ' && spaceChar) ? spaceChar : c;
        }
    }
    return out;
}

// ---------------------------------------------------------------- collapsed blocks

bool TCustomMemoSource::GetLineVisible(int32_t line) const {
    const TStringItem* item = GetStringItem(line);
    return !item || !item->Has(isHidden);
}

TCollapseState TCustomMemoSource::GetCollapseState(int32_t line) const {
    const TStringItem* item = GetStringItem(line);
    if (!item)
        return csNone;
    if (item->Has(isExpanded))
        return csExpanded;
    if (item->Has(isCollapsed))
        return csCollapsed;
    return csNone;
}

void TCustomMemoSource::CheckCollapsed(int32_t line) {
    bool expanded = GetCollapseState(line) == csExpanded;
    for (int32_t i = line + 1; i < GetStrCount() && FStrings.Item(i)->Has(isHidden); ++i) {
        FVisibleLines.SetLineVisible(i, expanded);
        TStringItem* inner = FStrings.Item(i);
        if (expanded && inner->Has(isCollapsed)) {
            inner->Set(isCollapsed, false);
            inner->Set(isExpanded, true);
        }
    }
}

void TCustomMemoSource::SetCollapseState(int32_t line, TCollapseState state) {
    TStringItem* item = GetStringItem(line);
    if (!item)
        return;
    item->Set(isCollapsed, state == csCollapsed);
    item->Set(isExpanded, state == csExpanded);
    CheckCollapsed(line);
    TUpdateScope scope(*this, 73);
    UpdateChangedLines(line, INT_MAX);
    MemoState |= msBlockChanged | msCountChanged;
}

void TCustomMemoSource::SetLineVisible(int32_t line, bool visible) {
    TStringItem* item = GetStringItem(line);
    if (!item || item->Has(isHidden) == !visible)
        return;
    TUpdateScope scope(*this, 73);
    item->Set(isHidden, !visible);
    bool enter = visible || line == 0 || !FVisibleLines.GetLineVisible(line - 1) ||
                 GetCollapseState(line - 1) == csCollapsed;
    if (enter) {
        FVisibleLines.SetLineVisible(line, visible);
        UpdateChangedLines(line, INT_MAX);
        MemoState |= msBlockChanged | msCountChanged;
    }
}

void TCustomMemoSource::ExpandPrevLine(int32_t line) {
    for (int32_t i = line - 1; i >= 0; --i) {
        if (GetCollapseState(i) == csCollapsed) {
            SetCollapseState(i, csExpanded);
            return;
        }
    }
}
