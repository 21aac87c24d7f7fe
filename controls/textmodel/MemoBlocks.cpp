#include <algorithm>
#include <climits>

#include "controls/textmodel/CommandScope.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLines.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Clipbrd.h"

namespace {

constexpr uint8_t kSelectAllReason = 18, kMarkLineReason = 19, kMoveBlockReason = 23, kMarkWordReason = 30,
                  kSetSelectionReason = 31, kPasteReason = 21, kQuoteReason = 67, kDuplicateReason = 69;

// 1 when the program's last copy was a column block, else 0; with the text copied, so that a
// later copy by another program pastes as running text.
uint8_t ClipSelType = 0;
std::string& LastCopiedText() {
    static std::string text;
    return text;
}

std::string JoinWithLineBreaks(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

// The colour bytes of a line whose text a block routine changed in length. The routine's own
// output cannot serve as colours (it would put character codes in as styles), so the bytes of
// the unchanged start and end are kept and the changed span takes the style next to it.
std::string ColoursForChangedText(const std::string& before, const std::string& after, std::string colours) {
    colours.resize(before.size(), '\0');
    const size_t common = std::min(before.size(), after.size());
    size_t head = 0;
    while (head < common && before[head] == after[head])
        ++head;
    size_t tail = 0;
    while (tail < common - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const size_t removed = before.size() - head - tail, added = after.size() - head - tail;
    char fill = '\0';
    if (head > 0)
        fill = colours[head - 1];
    else if (tail > 0)
        fill = colours[before.size() - tail];
    return colours.substr(0, head) + std::string(added, fill) + colours.substr(head + removed);
}

} // namespace

void TCustomMemoSource::MarkBlockBegin() {
    TCommandScope scope(*this, 11);
    TPosition e = FSelectionType == stNotSelected ? FCaret : FBlockEnd;
    SetSelectionRect({FCaret.Char, FCaret.Line, e.Char, e.Line});
    if (FSelectionType == stNotSelected)
        SetSelectionType(stStreamSel);
}

void TCustomMemoSource::MarkBlockEnd() {
    TCommandScope scope(*this, 12);
    TPosition b = FSelectionType == stNotSelected ? FCaret : FBlockBegin;
    SetSelectionRect({b.Char, b.Line, FCaret.Char, FCaret.Line});
    if (FSelectionType == stNotSelected)
        SetSelectionType(stStreamSel);
}

void TCustomMemoSource::SetSelection(TSelectionType type, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    TCommandScope scope(*this, kSetSelectionReason);
    SetSelectionRect({x1, y1, x2, y2});
    SetSelectionType(type);
}

void TCustomMemoSource::SelectAll() {
    if (FBlockOption == bkNone)
        return;
    TCommandScope scope(*this, kSelectAllReason);
    const int32_t last = std::max(GetStrCount() - 1, 0);
    const int32_t endCol = GetStrCount() ? int32_t(FStrings.Get(last).size()) : 0;
    JumpTo(endCol, last);
    SetSelectionRect({0, 0, endCol, last});
    SetSelectionType(stStreamSel);
}

void TCustomMemoSource::MarkLine() {
    TCommandScope scope(*this, kMarkLineReason);
    SetSelectionRect({0, FCaret.Line, 0, FCaret.Line + 1});
    SetSelectionType(stStreamSel);
}

void TCustomMemoSource::WordBounds(int32_t x, int32_t line, TWordSelectionType type, int32_t& start,
                                   int32_t& end) const {
    start = end = 0;
    if (line < 0 || line >= GetStrCount())
        return;
    const std::string s = FStrings.Get(line);
    const int32_t n = int32_t(s.size());
    if (n == 0)
        return;
    auto delim = [&](int32_t i) { return InDelimSet(s, i + 1); };
    int32_t i = std::min(std::max(x, 0), n - 1);
    if (delim(i)) {
        while (i > 0 && delim(i))
            --i;
    }
    while (i > 0 && !delim(i - 1))
        --i;
    while (i < n && delim(i))
        ++i;
    if (i >= n)
        return;
    start = i + 1;
    int32_t e = i;
    while (e + 1 < n && !delim(e + 1))
        ++e;
    end = e + 1;
    if (type == wsWordWithSpace && end < n && s[size_t(end)] == ' ')
        ++end;
    if (type == wsUntilNextWord)
        while (end < n && delim(end))
            ++end;
}

void TCustomMemoSource::MarkWordWithType(TWordSelectionType type) {
    TCommandScope scope(*this, kMarkWordReason);
    ClearSelection();
    int32_t start = 0, end = 0;
    WordBounds(FCaret.Char, FCaret.Line, type, start, end);
    if (start <= 0)
        return;
    JumpTo(start - 1, FCaret.Line);
    SetSelectionRect({start - 1, FCaret.Line, end, FCaret.Line});
    SetSelectionType(stStreamSel);
}

void TCustomMemoSource::JumpToBlockBegin() {
    if (FSelectionType == stNotSelected)
        return;
    ++KeepSelection;
    JumpTo(FBlockBegin.Char, FBlockBegin.Line);
    --KeepSelection;
}

void TCustomMemoSource::JumpToBlockEnd() {
    if (FSelectionType == stNotSelected)
        return;
    ++KeepSelection;
    JumpTo(FBlockEnd.Char, FBlockEnd.Line);
    --KeepSelection;
}

void TCustomMemoSource::SelectionBounds(int32_t line, int32_t& startX, int32_t& endX) const {
    startX = endX = 0;
    if (FSelectionType == stNotSelected || line < FBlockBegin.Line || line > FBlockEnd.Line)
        return;
    if (FSelectionType == stBlockSel) {
        startX = FBlockBegin.Char;
        endX = FBlockEnd.Char + 1;
    } else {
        startX = line == FBlockBegin.Line ? FBlockBegin.Char : 0;
        endX = line == FBlockEnd.Line ? FBlockEnd.Char : INT_MAX;
    }
    if (startX > endX)
        std::swap(startX, endX);
}

bool TCustomMemoSource::IsPosInBlock(int32_t x, int32_t line) const {
    int32_t a = 0, b = 0;
    SelectionBounds(line, a, b);
    return a <= x && x < b;
}

bool TCustomMemoSource::CanPaste() {
    return Clipboard().HasFormat(CF_TEXT);
}

bool TCustomMemoSource::CheckOverwriteBlock() {
    if (!HasOption(soOverwriteBlocks) || FSelectionType == stNotSelected || IsBlockEmpty())
        return false;
    DeleteBlock();
    return true;
}

std::vector<std::string> TCustomMemoSource::BlockLines() const {
    std::vector<std::string> lines;
    // A stream block may end at column 0 below the last line: that line does not exist.
    for (int32_t i = 0; i < FSelection.GetCount() && FBlockBegin.Line + i < GetStrCount(); ++i)
        lines.push_back(FSelection.Get(i));
    return lines;
}

void TCustomMemoSource::CopyBlock() {
    if (!CanCopy())
        return;
    const std::string text = JoinWithLineBreaks(BlockLines());
    // The clipboard tells its viewers while the text is being set; a collecting source must know
    // the change is its own.
    struct TOwnCopy {
        bool& flag;
        explicit TOwnCopy(bool& f) : flag(f) { flag = true; }
        ~TOwnCopy() { flag = false; }
    } own(FCopyingToClipboard);
    Clipboard().SetAsText(text);
    LastCopiedText() = text;
    ClipSelType = FSelectionType == stBlockSel ? 1 : 0;
}

void TCustomMemoSource::CutBlock() {
    if (!CanCopy())
        return;
    TCommandScope scope(*this, 20);
    CopyBlock();
    DeleteBlock();
}

void TCustomMemoSource::PasteBlock() {
    if (GetReadOnly() || !CanPaste())
        return;
    TCommandScope scope(*this, kPasteReason);
    CheckOverwriteBlock();
    const std::string text = Clipboard().AsText();
    // Text another program copied is running text, whatever was copied here before.
    if (text != LastCopiedText())
        ClipSelType = 0;
    std::vector<std::string> lines = SplitTextLines(text);
    if (OnPasteFromClipboard)
        OnPasteFromClipboard(*this, lines);
    InsertStrings(lines, ClipSelType == 1);
    if (!HasOption(soPersistentBlocks))
        SetSelectionType(stNotSelected);
}

void TCustomMemoSource::InsertStrings(const std::vector<std::string>& lines, bool columnBlock) {
    if (HasOption(soUseTabCharacter)) {
        PasteBlockFromStrings(lines, columnBlock);
        return;
    }
    std::vector<std::string> expanded;
    for (const std::string& l : lines)
        expanded.push_back(ExpandTabs(l, FSpacesInTab));
    PasteBlockFromStrings(expanded, columnBlock);
}

void TCustomMemoSource::PasteBlockFromStringsEx(const std::vector<std::string>& lines,
                                                const std::vector<std::string>& colorLines,
                                                bool columnBlock) {
    if (lines.empty() || GetReadOnly())
        return;
    TCommandScope scope(*this, kPasteReason);
    const int32_t col = FCaret.Char, top = FCaret.Line;
    if (columnBlock && lines.size() > 1) {
        int32_t width = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int32_t line = top + int32_t(i);
            if (line >= GetStrCount()) {
                const int32_t last = GetStrCount() - 1;
                JumpTo(int32_t(FStrings.Get(last).size()), last);
                BreakLine();
            }
            JumpTo(col, line);
            if (!lines[i].empty()) {
                if (colorLines.empty())
                    Insert(lines[i]);
                else
                    InsertEx(lines[i], i < colorLines.size() ? colorLines[i] : std::string());
            }
            width = std::max(width, int32_t(lines[i].size()));
        }
        JumpTo(col, top + int32_t(lines.size()) - 1);
        CursorDown();
        SetSelectionRect({col, top, col + std::max(width, 1) - 1, top + int32_t(lines.size()) - 1});
        SetSelectionType(stBlockSel);
        return;
    }
    if (colorLines.empty())
        InsertText(JoinWithLineBreaks(lines));
    else
        InsertLines(lines, colorLines);
    SetSelectionRect({col, top, FCaret.Char, FCaret.Line});
    SetSelectionType(stStreamSel);
    if (columnBlock) {
        JumpTo(col, top);
        CursorDown();
    }
}

void TCustomMemoSource::MoveBlockEx(bool deleteFirst) {
    if (!CanCopy() || GetReadOnly())
        return;
    TCommandScope scope(*this, kMoveBlockReason);
    const std::vector<std::string> lines = BlockLines();
    const bool column = FSelectionType == stBlockSel;
    TPosition* target = CopyPosition(FCaret);
    if (deleteFirst)
        DeleteBlock();
    RestorePosition(target);
    PasteBlockFromStrings(lines, column);
}

void TCustomMemoSource::DuplicateBlock() {
    if (!CanCopy() || GetReadOnly())
        return;
    TCommandScope scope(*this, kDuplicateReason);
    const std::vector<std::string> lines = BlockLines();
    const bool column = FSelectionType == stBlockSel;
    PasteBlockFromStrings(lines, column);
    SetSelectionType(stNotSelected);
}

void TCustomMemoSource::DoWithBlockStr(uint8_t reason, bool restoreCaret,
                                       const std::function<std::string(const std::string&)>& routine) {
    if (!CanCopy() || GetReadOnly())
        return;
    TCommandScope scope(*this, reason);
    std::vector<std::string> lines = BlockLines();
    // Colours that the source keeps itself cannot be made again by parsing: they go back with the
    // lines.
    std::vector<std::string> colours;
    if (StoreColorData())
        for (size_t i = 0; i < lines.size(); ++i)
            colours.push_back(FSelection.GetColorData(int32_t(i)));
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string changed = routine(lines[i]);
        if (!colours.empty() && changed.size() != lines[i].size())
            colours[i] = ColoursForChangedText(lines[i], changed, colours[i]);
        lines[i] = std::move(changed);
    }
    const bool column = FSelectionType == stBlockSel;
    const TPosition start = FBlockBegin;
    // The lines keep their places, so the caret goes back to the same coordinates.
    const TPosition caret = FCaret;
    DeleteBlock();
    JumpTo(start.Char, start.Line);
    PasteBlockFromStringsEx(lines, colours, column);
    if (restoreCaret)
        JumpTo(caret.Char, caret.Line);
}

void TCustomMemoSource::QuoteBlock() {
    DoWithBlockStr(kQuoteReason, true, [](const std::string& s) { return ">" + s; });
}

std::string TCustomMemoSource::ExpandTabs(const std::string& text, int32_t spacesInTab) {
    if (spacesInTab < 1)
        spacesInTab = 1;
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out.append(size_t(spacesInTab - int32_t(out.size()) % spacesInTab), ' ');
        else
            out += c;
    }
    return out;
}

void TCustomMemoSource::JustifyBlock() {
    if (!CanCopy() || GetReadOnly())
        return;
    std::vector<std::string> lines = BlockLines();
    size_t longest = 0;
    for (const std::string& l : lines)
        longest = std::max(longest, l.size());
    TCommandScope scope(*this, kPasteReason);
    const bool keep = KeepTrailingBlanks;
    KeepTrailingBlanks = true;
    TScopeGuard restore([this, keep] { KeepTrailingBlanks = keep; });
    DoWithBlockStr(kPasteReason, true, [longest](const std::string& l) {
        return l.size() < longest ? l + std::string(longest - l.size(), ' ') : l;
    });
}
