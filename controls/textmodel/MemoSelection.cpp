#include <algorithm>
#include <climits>

#include "controls/textmodel/CommandScope.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLines.h"
#include "framework/core/ScopeGuard.h"

namespace {
constexpr uint8_t kDeleteBlockReason = 22, kClearReason = 58;
bool Before(const TPosition& a, const TPosition& b) {
    return a.Line < b.Line || (a.Line == b.Line && a.Char < b.Char);
}
} // namespace

// ---------------------------------------------------------------- selection view

int TSelectionStrings::GetCount() const {
    if (FSource.SelectionType() == stNotSelected)
        return 0;
    return FSource.BlockEnd().Line - FSource.BlockBegin().Line + 1;
}

std::string TSelectionStrings::Get(int index) const {
    return Cut(index, false);
}
std::string TSelectionStrings::GetColorData(int32_t index) const {
    return Cut(index, true);
}

std::string TSelectionStrings::Cut(int32_t index, bool colours) const {
    if (index < 0 || index >= GetCount())
        return std::string();
    const TPosition& b = FSource.BlockBegin();
    const TPosition& e = FSource.BlockEnd();
    const int32_t line = b.Line + index;
    const std::string& text = FSource.FStrings.GetRaw(line);
    const std::string& data = colours ? FSource.GetColorData(line) : text;
    const TTabRack& tabs = FSource.FTabs;
    int32_t fromCol = 0, toCol = -1; // -1: to the end of the line, not padded
    if (FSource.SelectionType() == stBlockSel) {
        fromCol = b.Char;
        toCol = e.Char + 1;
    } else {
        if (index == 0)
            fromCol = b.Char;
        if (line == e.Line)
            toCol = e.Char;
    }
    const int32_t from = tabs.RealIndex(text, fromCol);
    const int32_t to = toCol < 0 ? std::max(int32_t(text.size()), from) : tabs.RealIndex(text, toCol);
    std::string out =
        from < int32_t(data.size()) ? data.substr(size_t(from), size_t(std::max(to - from, 0))) : "";
    if (toCol >= 0 && int32_t(out.size()) < to - from)
        out.resize(size_t(to - from), colours ? '\0' : ' ');
    return out;
}

// Deleting through the selection view deletes the block, as one undoable step.
void TSelectionStrings::Clear() {
    FSource.DeleteBlock();
}

// ---------------------------------------------------------------- deleting the block

// The block deletion lives with the core model (not with the other block commands) because the
// selection view's Clear needs it.
void TCustomMemoSource::DeleteBlock() {
    if (FSelectionType == stNotSelected || IsBlockEmpty() || GetReadOnly())
        return;
    TCommandScope scope(*this, kDeleteBlockReason);
    const TPosition b = FBlockBegin, e = FBlockEnd;
    const TSelectionType type = FSelectionType;
    if (type == stStreamSel && e.Line > b.Line) {
        // Measured in stored characters before anything changes.
        const int32_t lastCount =
            e.Line < GetStrCount() ? FTabs.RealIndex(FStrings.GetRaw(e.Line), e.Char) : 0;
        const int32_t lastLine = std::min(e.Line, GetStrCount() - 1);
        JumpTo(b.Char, b.Line);
        DeleteRight(INT_MAX / 2);
        for (int32_t l = b.Line; l < lastLine; ++l) {
            JoinLines();
            if (l + 1 < lastLine)
                DeleteRight(INT_MAX / 2);
        }
        // A block that ends below the last line takes all of it.
        DeleteRight(lastLine == e.Line ? lastCount : INT_MAX / 2);
        JumpTo(b.Char, b.Line);
    } else {
        TPosition* back = CopyPosition(FCaret);
        const int32_t width = e.Char - b.Char + (type == stBlockSel ? 1 : 0);
        for (int32_t l = b.Line; l <= e.Line && l < GetStrCount(); ++l) {
            const std::string& raw = FStrings.GetRaw(l);
            const int32_t from = FTabs.RealIndex(raw, b.Char), to = FTabs.RealIndex(raw, b.Char + width);
            if (from >= int32_t(raw.size()))
                continue;
            JumpTo(FTabs.RelativeIndex(raw, from), l);
            DeleteRight(to - from);
        }
        RestorePosition(back);
    }
    SetSelectionType(stNotSelected);
}

// Unlike Lines().Clear() this can be undone. The whole text is selected directly, so that a
// source that allows no selection (bkNone) is still emptied.
void TCustomMemoSource::Clear() {
    if (GetReadOnly())
        return;
    TCommandScope scope(*this, kClearReason);
    if (GetStrCount() > 0) {
        const int32_t last = GetStrCount() - 1;
        FBlockBegin.SetPosition(0, 0);
        FBlockEnd.SetPosition(int32_t(FStrings.Get(last).size()), last);
        FSelectionType = stStreamSel;
        MemoState |= msBlockChanged;
        DeleteBlock();
    }
    FSelectionType = stNotSelected;
    JumpTo(0, 0);
}

// ---------------------------------------------------------------- shift-marking

bool TCustomMemoSource::IsValidBlockPos(int32_t chr, int32_t line) const {
    switch (FSelectionType) {
    case stStreamSel:
        return (chr == FBlockBegin.Char && line == FBlockBegin.Line) ||
               (line == FBlockEnd.Line && chr == FBlockEnd.Char);
    case stBlockSel:
        return (line == FBlockBegin.Line || line == FBlockEnd.Line) &&
               (chr == FBlockBegin.Char || chr == FBlockEnd.Char);
    default:
        return true;
    }
}

void TCustomMemoSource::UnivMark(const std::function<void()>& move, TSelectionType selType) {
    CheckSelectionType(selType);
    TUpdateScope update(*this, 16);
    const TPosition old = FCaret;
    TPosition b = FBlockBegin, e = FBlockEnd;
    const bool extend = FSelectionType != stNotSelected && IsValidBlockPos(old.Char, old.Line);
    const TSelectionType current = FSelectionType;
    move();
    if (extend && current == stStreamSel) {
        if (old.SameAs(b))
            b = FCaret;
        else
            e = FCaret;
        if (Before(e, b))
            std::swap(b, e);
    } else if (extend && current == stBlockSel) {
        if (old.Char == b.Char)
            b.Char = FCaret.Char;
        else
            e.Char = FCaret.Char;
        if (old.Line == b.Line)
            b.Line = FCaret.Line;
        else
            e.Line = FCaret.Line;
    } else {
        b = old;
        e = FCaret;
        if (selType == stStreamSel && Before(e, b))
            std::swap(b, e);
    }
    if (selType == stBlockSel) {
        if (b.Char > e.Char)
            std::swap(b.Char, e.Char);
        if (b.Line > e.Line)
            std::swap(b.Line, e.Line);
    } else if (Before(e, b)) {
        std::swap(b, e);
    }
    SetSelectionRect({b.Char, b.Line, e.Char, e.Line});
    FSelectionType = selType;
}

// ---------------------------------------------------------------- words

void TCustomMemoSource::SetDelimeters(const std::string& text) {
    FDelimeters = text;
    FDelimSet.reset();
    for (int c = 0; c <= 32; ++c)
        FDelimSet.set(size_t(c));
    for (char c : text)
        FDelimSet.set(uint8_t(c));
}

std::string TCustomMemoSource::GetTextAt(int32_t chr, int32_t line) const {
    const std::string text = FStrings.Get(line);
    int32_t i = chr + 1; // 1-based character under the column
    if (InDelimSet(text, i)) {
        if (InDelimSet(text, i - 1))
            return std::string();
        --i; // the caret stands right after a word
    }
    int32_t b = i, e = i;
    while (!InDelimSet(text, b - 1))
        --b;
    while (!InDelimSet(text, e + 1))
        ++e;
    return text.substr(size_t(b - 1), size_t(e - b + 1));
}

std::string TCustomMemoSource::CorrectTextAt(int32_t chr, int32_t line) const {
    return InDelimSet(FStrings.Get(line), chr + 1) ? std::string() : GetTextAt(chr, line);
}

// ---------------------------------------------------------------- justify

std::string TCustomMemoSource::ExpandString(const std::string& s, int32_t width) {
    const std::string t = TextRoutines::Trim(s, TextRoutines::tmBoth);
    if (int32_t(t.size()) >= width)
        return s;
    std::vector<std::string> words, gaps;
    size_t i = 0;
    while (i < t.size()) {
        size_t j = t.find(' ', i);
        if (j == std::string::npos)
            j = t.size();
        words.push_back(t.substr(i, j - i));
        size_t k = t.find_first_not_of(' ', j);
        if (k == std::string::npos)
            k = t.size();
        if (j < t.size())
            gaps.push_back(t.substr(j, k - j));
        i = k;
    }
    if (gaps.empty())
        return t;
    const size_t extra = size_t(width) - t.size();
    const size_t each = extra / gaps.size(), rest = extra % gaps.size();
    std::string out = words[0];
    for (size_t g = 0; g < gaps.size(); ++g) {
        const size_t add = each + (g >= gaps.size() - rest ? 1 : 0);
        out += gaps[g] + std::string(add, ' ') + words[g + 1];
    }
    return out;
}

void TCustomMemoSource::ExpandStrings(std::vector<std::string>& list, int32_t width) {
    for (auto& s : list)
        s = ExpandString(s, width);
}

// ---------------------------------------------------------------- small services

void TCustomMemoSource::InsertText(const std::string& text) {
    std::vector<std::string> lines = SplitTextLines(text);
    InsertLines(lines, {});
}

void TCustomMemoSource::InsertLines(const std::vector<std::string>& lines,
                                    const std::vector<std::string>& colorLines) {
    TUpdateScope update(*this, 39);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) {
            BreakLine();
            Navigate(1, -FCaret.Char);
        }
        const std::string& colours = i < colorLines.size() ? colorLines[i] : std::string();
        const int32_t width = lines[i].empty() ? 0 : InsertEx(lines[i], colours);
        Navigate(0, width);
    }
}

int32_t TCustomMemoSource::GetMemoIndent(int32_t indent) {
    if (!NavigateHandler)
        return indent;
    int32_t lineDelta = indent, charDelta = indent;
    {
        FIndentMode = true;
        TScopeGuard indented([this] { FIndentMode = false; });
        NavigateHandler(lineDelta, charDelta);
    }
    return charDelta;
}

void TCustomMemoSource::TempHighlightLine(int32_t line, uint8_t style) {
    TempUnhighlightLine();
    TStringItem* item = GetStringItem(line);
    if (!item)
        return;
    BeginUpdate(68);
    FTempStyle = item->TextStyle;
    item->TextStyle = style;
    UpdateChangedLines(line, line);
    MemoState |= msBlockChanged;
    EndUpdate();
    // Set after the bracket, whose opening would otherwise remove the highlight at once.
    FTempLine = line + 1;
}

void TCustomMemoSource::TempUnhighlightLine() {
    if (FTempLine == 0)
        return;
    const int32_t line = FTempLine - 1;
    FTempLine = 0;
    if (TStringItem* item = GetStringItem(line)) {
        BeginUpdate(68);
        item->TextStyle = FTempStyle;
        UpdateChangedLines(line, line);
        MemoState |= msBlockChanged;
        EndUpdate();
    }
}

std::string TCustomMemoSource::GetShortObjectName() const {
    size_t start = FObjectName.find_last_of("\\/:");
    start = start == std::string::npos ? 0 : start + 1;
    std::string name = FObjectName.substr(start);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t i = 0;
    for (;;) {
        const size_t e = text.find_first_of("\r\n", i);
        lines.push_back(text.substr(i, e == std::string::npos ? std::string::npos : e - i));
        if (e == std::string::npos)
            break;
        i = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
    }
    return lines;
}
