#include "controls/memo/KeyMapTables.h"

#include <algorithm>
#include <functional>
#include <map>
#include <span>

#include "controls/foundation/KeyMaps.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoSearchCommands.h"
#include "framework/core/SysUtils.h"

namespace {

struct TRow {
    uint16_t Key;
    TShiftState Shift;
    uint8_t State;
    uint8_t NewState;
    const char* Command;
};

// Keys that are not one virtual-key code: a row for each digit 0..9 (the command gets the digit
// appended), and the key that types "[" in the current layout.
constexpr uint16_t kDigits = 0xFFFE;
constexpr uint16_t kOpenBracketKey = 0xFFFD;
constexpr uint8_t kAny = AnyKeyState;
constexpr TShiftState C = ssCtrl, Sh = ssShift, A = ssAlt;

const TRow kBasicKeys[] = {
    {VK_UP, 0, kAny, 0, "MemoCursorUp"},     {VK_DOWN, 0, kAny, 0, "MemoCursorDown"},
    {VK_LEFT, 0, kAny, 0, "MemoCursorLeft"}, {VK_RIGHT, 0, kAny, 0, "MemoCursorRight"},
    {VK_PRIOR, 0, kAny, 0, "PageUp"},        {VK_NEXT, 0, kAny, 0, "PageDown"},
    {VK_DELETE, 0, 0, 0, "DeleteCharRight"}, {VK_BACK, 0, 0, 0, "DeleteCharLeft"},
    {VK_BACK, Sh, 0, 0, "DeleteCharLeft"},   {VK_RETURN, Sh, 0, 0, "PressEnter"},
    {VK_RETURN, 0, 0, 0, "PressEnter"},      {VK_ESCAPE, 0, 0, 0, "ProcessEscape"},
    {VK_TAB, 0, 0, 0, "PressTab"},           {VK_TAB, Sh, 0, 0, "PressShiftTab"},
    {VK_LEFT, C, 0, 0, "JumpWordLeft"},      {VK_RIGHT, C, 0, 0, "JumpWordRight"},
    {'J', C, 0, 0, "ShowCodeTemplates"},
};

const TRow kBlockCommands[] = {
    {'K', C, 0, 1, ""},
    {'Q', C, 0, 2, ""},
    {'B', 0, 1, 0, "MarkBlockBegin"},
    {'C', C, 1, 0, "DuplicateBlock"},
    {'C', 0, 1, 0, "DuplicateBlock"},
    {'I', C, 1, 0, "IndentBlock"},
    {'I', 0, 1, 0, "IndentBlock"},
    {'L', C, 1, 0, "MarkLine"},
    {'L', 0, 1, 0, "MarkLine"},
    {'N', C, 1, 0, "UpperCaseBlock"},
    {'N', 0, 1, 0, "UpperCaseBlock"},
    {'O', C, 1, 0, "LowerCaseBlock"},
    {'O', 0, 1, 0, "LowerCaseBlock"},
    {'U', C, 1, 0, "OutDentBlock"},
    {'U', 0, 1, 0, "OutDentBlock"},
    {'K', C, 1, 0, "MarkBlockEnd"},
    {'K', 0, 1, 0, "MarkBlockEnd"},
    {'T', C, 1, 0, "MarkWord"},
    {'T', 0, 1, 0, "MarkWord"},
    {'V', C, 1, 0, "KeyMoveBlock"},
    {'V', 0, 1, 0, "KeyMoveBlock"},
    {'Y', C, 1, 0, "DeleteBlock"},
    {'Y', 0, 1, 0, "DeleteBlock"},
    {'E', C, 1, 0, "LowerCaseWord"},
    {'E', 0, 1, 0, "LowerCaseWord"},
    {'F', C, 1, 0, "UpperCaseWord"},
    {'F', 0, 1, 0, "UpperCaseWord"},
};

const TRow kMarkingKeys[] = {
    {VK_DOWN, Sh, 0, 0, "MemoMarkDown"},
    {VK_UP, Sh, 0, 0, "MemoMarkUp"},
    {VK_LEFT, Sh, 0, 0, "MemoMarkLeft"},
    {VK_RIGHT, Sh, 0, 0, "MarkRight"},
    {VK_HOME, Sh, 0, 0, "MemoMarkToLineBegin"},
    {VK_END, Sh, 0, 0, "MemoMarkToLineEnd"},
    {VK_PRIOR, Sh, 0, 0, "MarkPageUp"},
    {VK_NEXT, Sh, 0, 0, "MarkPageDown"},
    {VK_PRIOR, C | Sh, 0, 0, "MarkToTop"},
    {VK_NEXT, C | Sh, 0, 0, "MarkToBottom"},
    {VK_HOME, C | Sh, 0, 0, "MarkToFileBegin"},
    {VK_END, C | Sh, 0, 0, "MarkToFileEnd"},
    {VK_LEFT, C | Sh, 0, 0, "MarkWordLeft"},
    {VK_RIGHT, C | Sh, 0, 0, "MarkWordRight"},
    {VK_DOWN, Sh | A, 0, 0, "MarkColDown"},
    {VK_UP, Sh | A, 0, 0, "MarkColUp"},
    {VK_LEFT, Sh | A, 0, 0, "MarkColLeft"},
    {VK_RIGHT, Sh | A, 0, 0, "MarkColRight"},
    {VK_HOME, Sh | A, 0, 0, "MarkColToLineBegin"},
    {VK_END, Sh | A, 0, 0, "MarkColToLineEnd"},
    {VK_PRIOR, Sh | A, 0, 0, "MarkColPageUp"},
    {VK_NEXT, Sh | A, 0, 0, "MarkColPageDown"},
    {VK_HOME, C | Sh | A, 0, 0, "MarkColToTop"},
    {VK_END, C | Sh | A, 0, 0, "MarkColToBottom"},
    {VK_PRIOR, C | Sh | A, 0, 0, "MarkColToFileBegin"},
    {VK_NEXT, C | Sh | A, 0, 0, "MarkColToFileEnd"},
    {VK_LEFT, C | Sh | A, 0, 0, "MarkColWordLeft"},
    {VK_RIGHT, C | Sh | A, 0, 0, "MarkColWordRight"},
};

const TRow kJumpKeys[] = {
    {'Q', C, 0, 2, ""},
    {'B', C, 2, 0, "JumpToBlockBegin"},
    {'C', C, 2, 0, "JumpToFileEnd"},
    {'D', C, 2, 0, "MemoJumpToLineEnd"},
    {'E', C, 2, 0, "JumpToScreenTop"},
    {'K', C, 2, 0, "JumpToBlockEnd"},
    {'R', C, 2, 0, "JumpToFileBegin"},
    {'S', C, 2, 0, "MemoJumpToLineBegin"},
    {'T', C, 2, 0, "JumpToScreenTop"},
    {'U', C, 2, 0, "JumpToScreenBottom"},
    {'X', C, 2, 0, "JumpToScreenBottom"},
};

const TRow kBookmarkKeys[] = {
    {'K', C, 0, 1, ""},
    {'Q', C, 0, 2, ""},
    {kDigits, C, 1, 0, "ToggleBookMark"},
    {kDigits, 0, 1, 0, "ToggleBookMark"},
    {kDigits, 0, 2, 0, "GoToBookMark"},
    {kDigits, C | Sh, 2, 0, "ToggleBookMark"},
    {kDigits, C, 2, 0, "GoToBookMark"},
};

const TRow kExtraKeys[] = {
    {VK_DELETE, Sh, 0, 0, "CutToClipboard"},
    {VK_DELETE, C, 0, 0, "DeleteBlock"},
    {VK_INSERT, Sh, 0, 0, "PasteFromClipboard"},
    {VK_INSERT, C, 0, 0, "CopyToClipboard"},
    {VK_HOME, 0, kAny, 0, "MemoJumpToLineBegin"},
    {VK_END, 0, kAny, 0, "MemoJumpToLineEnd"},
    {VK_BACK, C, 0, 0, "DeleteWordLeft"},
    {VK_BACK, A, 0, 0, "Undo"},
    {VK_BACK, Sh | A, 0, 0, "Redo"},
    {VK_INSERT, 0, 0, 0, "ToggleInsMode"},
    {'A', C, 0, 0, "SelectAll"},
    {'G', C | Sh, 0, 0, "InsertGUID"},
    {'Q', C, 0, 2, ""},
    {'A', C, 2, 0, "ShowReplaceDialog"},
    {'F', C, 2, 0, "ShowSearchDialog"},
    {'Y', C, 2, 0, "DeleteToLineEnd"},
    {'O', C, 0, 5, ""},
    {'G', C, 5, 0, "PromptedGotoLine"},
    {'U', C, 5, 0, "ToggleBlockCase"},
    {'L', C, 5, 0, "MarkLine"},
    {'Q', C | A, 0, 0, "QuoteBlock"},
    {kOpenBracketKey, C, 0, 0, "FindNextBracket"},
};

const TRow kDefaultOwn[] = {
    {'X', C, 0, 0, "CutToClipboard"},
    {'V', C, 0, 0, "PasteFromClipboard"},
    {'C', C, 0, 0, "CopyToClipboard"},
    {VK_F3, 0, 0, 0, "KeyFindNext"},
    {'E', C, 0, 0, "KeyFindNext"},
    {'F', C, 0, 0, "ShowSearchDialog"},
    {'R', C, 0, 0, "ShowReplaceDialog"},
    {VK_HOME, C, kAny, 0, "JumpToFileBegin"},
    {VK_END, C, kAny, 0, "JumpToFileEnd"},
    {VK_PRIOR, C, kAny, 0, "JumpToScreenTop"},
    {VK_NEXT, C, kAny, 0, "JumpToScreenBottom"},
    {VK_DOWN, C, 0, 0, "ScrollDown"},
    {VK_UP, C, 0, 0, "ScrollUp"},
    {'Z', C, 0, 0, "Undo"},
    {'A', C, 0, 0, "SelectAll"},
    {'Y', C | Sh, 0, 0, "DeleteToLineEnd"},
    {'Y', C, 0, 0, "DeleteLine"},
    {'L', C, 0, 0, "KeyFindNext"},
    {'I', C, 0, 0, "PressTab"},
    {'N', C, 0, 0, "InsertLine"},
    {'T', C, 0, 0, "CorrectDeleteWordRight"},
    {'Z', C | Sh, 0, 0, "Redo"},
    {'I', C | Sh, 0, 0, "IndentBlock"},
    {'U', C | Sh, 0, 0, "OutDentBlock"},
    {kDigits, C, 0, 0, "GoToBookMark"},
    {kDigits, C | Sh, 0, 0, "ToggleBookMark"},
};

const TRow kClassicOwn[] = {
    {'A', C, 0, 0, "JumpWordLeft"},
    {'C', C, 0, 0, "JumpToScreenBottom"},
    {'D', C, 0, 0, "CursorRight"},
    {'E', C, 0, 0, "CursorUp"},
    {'F', C, 0, 0, "JumpWordRight"},
    {'G', C, 0, 0, "DeleteCharRight"},
    {'H', C, 0, 0, "DeleteCharLeft"},
    {'I', C, 0, 0, "PressTab"},
    {'L', C, 0, 0, "KeyFindNext"},
    {'N', C, 0, 0, "PressEnter"},
    {'R', C, 0, 0, "PageUp"},
    {'S', C, 0, 0, "CursorLeft"},
    {'T', C, 0, 0, "CorrectDeleteWordRight"},
    {'V', C, 0, 0, "ToggleInsMode"},
    {'W', C, 0, 0, "PageDown"},
    {'X', C, 0, 0, "CursorDown"},
    {'Y', C, 0, 0, "DeleteLine"},
    {'Z', C, 0, 0, "CursorUp"},
    {'S', C | Sh, 0, 0, "KeyFindNext"},
    {VK_HOME, C, kAny, 0, "JumpToScreenTop"},
    {VK_END, C, kAny, 0, "JumpToScreenBottom"},
    {VK_PRIOR, C, kAny, 0, "JumpToFileBegin"},
    {VK_NEXT, C, kAny, 0, "JumpToFileEnd"},
    {VK_BACK, Sh, 0, 0, "DeleteCharLeft"},
};

const TRow kBriefFirst[] = {
    {VK_SUBTRACT, 0, 0, 0, "CutToClipboard"},
    {VK_INSERT, 0, 0, 0, "PasteFromClipboard"},
    {VK_ADD, 0, 0, 0, "CopyToClipboard"},
    {VK_MULTIPLY, 0, 0, 0, "Undo"},
    {'A', C, 0, 0, "MarkToLineEnd"},
    {'B', C, 0, 0, "JumpToScreenBottom"},
    {'C', C, 0, 0, "CenterScreenOnLine"},
    {'D', C, 0, 0, "PageDown"},
    {'E', C, 0, 0, "PageUp"},
    {'K', C, 0, 0, "DeleteToLineBegin"},
    {'M', C, 0, 0, "PressEnter"},
    {'T', C, 0, 0, "JumpToScreenTop"},
    {'U', C, 0, 0, "Redo"},
    {VK_BACK, C, 0, 0, "DeleteWordLeft"},
    {VK_RETURN, C, 0, 0, "InsertLine"},
    {'D', A, 0, 0, "DeleteLine"},
    {'G', A, 0, 0, "PromptedGotoLine"},
    {'I', A, 0, 0, "ToggleInsMode"},
    {'K', A, 0, 0, "DeleteToLineEnd"},
    {'U', A, 0, 0, "Undo"},
    {VK_BACK, A, 0, 0, "DeleteWordRight"},
    {'O', C, 0, 5, ""},
    {'O', C, 5, 0, "ToggleBlockCase"},
    {VK_F5, 0, 0, 0, "ShowSearchDialog"},
    {VK_F6, 0, 0, 0, "ShowReplaceDialog"},
    {VK_F5, A, 0, 0, "ShowSearchDialog"},
    {VK_F6, A, 0, 0, "ShowReplaceDialog"},
    {VK_F5, Sh, 0, 0, "KeyFindNext"},
    {VK_F6, Sh, 0, 0, "KeyReplace"},
    {VK_F5, C, 0, 0, "ToggleCaseSensitiveSearch"},
    {VK_F6, C, 0, 0, "ToggleRegularExprSearch"},
    {'S', A, 0, 0, "ShowSearchDialog"},
    {'S', C, 0, 0, "KeyFindNext"},
    {'T', A, 0, 0, "ShowReplaceDialog"},
    {VK_HOME, Sh, kAny, 0, "MemoJumpToLineBegin"},
    {VK_END, C, kAny, 0, "JumpToScreenBottom"},
    {VK_HOME, C, kAny, 0, "JumpToScreenTop"},
    {VK_END, Sh, kAny, 0, "MemoJumpToLineEnd"},
    {VK_PRIOR, C, kAny, 0, "JumpToFileBegin"},
    {VK_NEXT, C, kAny, 0, "JumpToFileEnd"},
    {kDigits, A, 0, 0, "ToggleBookMark"},
    {'J', A, 0, 3, ""},
    {kDigits, A, 3, 0, "GoToBookMark"},
};

const TRow kBriefSecond[] = {
    {'A', A, 0, 6, "MarkBriefRight"},
    {'C', A, 0, 7, "MarkBriefColRight"},
    {'L', A, 0, 6, "MarkLine"},
    {'M', A, 0, 6, "MarkToLineEnd"},
    {VK_UP, 0, 6, 6, "MarkUp"},
    {VK_DOWN, 0, 6, 6, "MarkDown"},
    {VK_LEFT, 0, 6, 6, "MarkLeft"},
    {VK_RIGHT, 0, 6, 6, "MarkRight"},
    {VK_PRIOR, 0, 6, 6, "MarkPageUp"},
    {VK_NEXT, 0, 6, 6, "MarkPageDown"},
    {VK_HOME, 0, 6, 6, "MarkToLineBegin"},
    {VK_END, 0, 6, 6, "MarkToLineEnd"},
    {VK_UP, 0, 7, 7, "MarkColUp"},
    {VK_DOWN, 0, 7, 7, "MarkColDown"},
    {VK_LEFT, 0, 7, 7, "MarkColLeft"},
    {VK_RIGHT, 0, 7, 7, "MarkColRight"},
    {VK_PRIOR, 0, 7, 7, "MarkColPageUp"},
    {VK_NEXT, 0, 7, 7, "MarkColPageDown"},
    {VK_HOME, 0, 7, 7, "MarkColToLineBegin"},
    {VK_END, 0, 7, 7, "MarkColToLineEnd"},
    {VK_ESCAPE, 0, 6, 0, "ClearSelection"},
    {VK_ESCAPE, 0, 7, 0, "ClearSelection"},
    {VK_HOME, 0, 0, 8, "MemoJumpToLineBegin"},
    {VK_END, 0, 0, 8, "MemoJumpToLineEnd"},
    {VK_HOME, 0, 8, 0, "JumpToFileBegin"},
    {VK_END, 0, 8, 0, "JumpToFileEnd"},
};

const TRow kEpsilonOwn[] = {
    {'Y', C, 0, 0, "PasteFromClipboard"},
    {'W', A, 0, 0, "CopyToClipboard"},
    {'W', C, 0, 0, "CutToClipboard"},
    {'H', C, 0, 0, "DeleteCharLeft"},
    {'H', C | A, 0, 0, "DeleteWordLeft"},
    {'D', C, 0, 0, "DeleteCharRight"},
    {'D', A, 0, 0, "DeleteWordRight"},
    {'C', A, 0, 0, "CapitalizeWord"},
    {'M', C, 0, 0, "PressEnter"},
    {'O', C, 0, 0, "InsertLine"},
    {'L', A, 0, 0, "LowerCaseWord"},
    {'U', A, 0, 0, "UpperCaseWord"},
    {'F', A, 0, 0, "JumpWordRight"},
    {'X', C, 0, 4, ""},
    {'G', C, 4, 0, "PromptedGotoLine"},
    {'R', C, 4, 0, "Redo"},
    {'U', C, 4, 0, "Undo"},
    {'0', C, 4, 0, "ClearKeyList"},
    {VK_TAB, C, 4, 0, "IndentBlock"},
    {VK_F10, C, 0, 0, "Redo"},
    {VK_F9, C, 0, 0, "Undo"},
    {VK_INSERT, 0, 0, 0, "ToggleInsMode"},
    {VK_BACK, A, 0, 0, "DeleteWordLeft"},
    {'B', C, 0, 0, "CursorLeft"},
    {'F', C, 0, 0, "CursorRight"},
    {'B', A, 0, 0, "JumpWordLeft"},
    {'F', A, 0, 0, "JumpWordRight"},
    {'A', C, 0, 0, "MemoJumpToLineBegin"},
    {'E', C, 0, 0, "MemoJumpToLineEnd"},
    {'P', C, 0, 0, "CursorUp"},
    {'N', C, 0, 0, "CursorDown"},
    {'V', C, 0, 0, "PageDown"},
    {'V', A, 0, 0, "PageUp"},
    {'Z', A, 0, 0, "ScrollDown"},
    {'Z', C, 0, 0, "ScrollUp"},
    {'S', C | A, 0, 0, "ShowSearchDialog"},
    {'R', C | A, 0, 0, "ShowReplaceDialog"},
    {'5', C | Sh, 0, 0, "ShowSearchDialog"},
    {'7', C | Sh, 0, 0, "ShowReplaceDialog"},
    {VK_HOME, 0, 0, 0, "JumpToScreenTop"},
    {VK_END, 0, 0, 0, "JumpToScreenBottom"},
    {VK_HOME, C, 0, 0, "JumpToFileBegin"},
    {VK_END, C, 0, 0, "JumpToFileEnd"},
    {VK_F6, C, 0, 0, "PageDown"},
    {VK_F6, C | Sh, 0, 0, "PageDown"},
    {VK_SUBTRACT, A, 0, 0, "JumpToScreenTop"},
    {0x3C, A, 0, 0, "JumpToFileBegin"},
};

const TRow kVisualStudioOwn[] = {
    {'K', C, 0, 1, ""},
    {'Q', C, 0, 2, ""},
    {VK_DELETE, Sh, 0, 0, "CutToClipboard"},
    {VK_INSERT, Sh, 0, 0, "PasteFromClipboard"},
    {VK_INSERT, C, 0, 0, "CopyToClipboard"},
    {'X', C, 0, 0, "CutToClipboard"},
    {'V', C, 0, 0, "PasteFromClipboard"},
    {'C', C, 0, 0, "CopyToClipboard"},
    {VK_F3, 0, 0, 0, "KeyFindNext"},
    {'F', C, 0, 0, "ShowSearchDialog"},
    {'G', A, 0, 0, "PromptedGotoLine"},
    {'H', C, 0, 0, "ShowReplaceDialog"},
    {'I', C, 0, 0, "KeyFindNext"},
    {'L', C, 0, 0, "DeleteLine"},
    {'T', C, 0, 0, "DeleteWordLeft"},
    {'Y', C, 0, 0, "DeleteLine"},
    {'Y', C | Sh, 0, 0, "DeleteToLineEnd"},
    {'Z', C, 0, 0, "Undo"},
    {'Z', C | Sh, 0, 0, "Redo"},
    {'E', C, 1, 0, "LowerCaseBlock"},
    {'F', C, 1, 0, "UpperCaseBlock"},
    {'A', 0, 2, 0, "ShowReplaceDialog"},
    {'F', 0, 2, 0, "ShowSearchDialog"},
    {'Y', 0, 2, 0, "DeleteToLineEnd"},
    {0x5B, C, 2, 0, "NextBracket"},
    {0x5B, 0, 2, 0, "NextBracket"},
    {0x5D, C, 2, 0, "PrevBracket"},
    {0x5D, 0, 2, 0, "PrevBracket"},
    {VK_F3, A, 0, 0, "ShowSearchDialog"},
    {0x5B, A, 0, 0, "NextBracket"},
    {0x5D, A, 0, 0, "PrevBracket"},
    {VK_BACK, C, 0, 0, "DeleteWordLeft"},
    {VK_INSERT, 0, 0, 0, "ToggleInsMode"},
    {VK_BACK, A, 0, 0, "Undo"},
    {VK_BACK, Sh | A, 0, 0, "Redo"},
    {'I', C | Sh, 0, 0, "IndentBlock"},
    {'U', C | Sh, 0, 0, "OutDentBlock"},
    {VK_DELETE, C, 0, 0, "DeleteBlock"},
    {VK_HOME, 0, kAny, 0, "MemoJumpToLineBegin"},
    {VK_END, 0, kAny, 0, "MemoJumpToLineEnd"},
    {VK_HOME, C, kAny, 0, "JumpToFileBegin"},
    {VK_END, C, kAny, 0, "JumpToFileEnd"},
    {VK_PRIOR, C, kAny, 0, "JumpToScreenTop"},
    {VK_NEXT, C, kAny, 0, "JumpToScreenBottom"},
};

using TSet = std::span<const TRow>;

struct TMapDef {
    const char* Name;
    std::vector<TSet> Sets;
};

const std::vector<TMapDef>& MapDefs() {
    static const std::vector<TMapDef> Defs = {
        {"Default",
         {kDefaultOwn, kExtraKeys, kBasicKeys, kMarkingKeys, kBlockCommands, kBookmarkKeys, kJumpKeys}},
        {"Classic",
         {kClassicOwn, kExtraKeys, kBasicKeys, kMarkingKeys, kBlockCommands, kJumpKeys, kBookmarkKeys}},
        {"Brief", {kBriefFirst, kBasicKeys, kMarkingKeys, kBriefSecond}},
        {"Epsilon", {kEpsilonOwn, kBasicKeys, kMarkingKeys, kBookmarkKeys}},
        {"Visual Studio",
         {kVisualStudioOwn, kBasicKeys, kMarkingKeys, kBlockCommands, kBookmarkKeys, kJumpKeys}},
    };
    return Defs;
}

using TCommand = std::function<void(TCustomHSMemo&)>;

// Commands of the view run on the memo; commands of the text model on the source it shows when
// the key is pressed.
const std::map<std::string, TCommand>& Commands() {
    static const std::map<std::string, TCommand> Table = [] {
        std::map<std::string, TCommand> T;
#define ZEL_VIEW(Name) T[#Name] = [](TCustomHSMemo& M) { M.Name(); }
#define ZEL_SRC(Name) T[#Name] = [](TCustomHSMemo& M) { M.GetSource()->Name(); }
        ZEL_VIEW(MemoCursorUp);
        ZEL_VIEW(MemoCursorDown);
        ZEL_VIEW(MemoCursorLeft);
        ZEL_VIEW(MemoCursorRight);
        ZEL_VIEW(PageUp);
        ZEL_VIEW(PageDown);
        ZEL_VIEW(ProcessEscape);
        ZEL_VIEW(MemoMarkDown);
        ZEL_VIEW(MemoMarkUp);
        ZEL_VIEW(MemoMarkLeft);
        ZEL_VIEW(MemoMarkToLineBegin);
        ZEL_VIEW(MemoMarkToLineEnd);
        ZEL_VIEW(MarkPageUp);
        ZEL_VIEW(MarkPageDown);
        ZEL_VIEW(MarkToTop);
        ZEL_VIEW(MarkToBottom);
        ZEL_VIEW(MarkColPageUp);
        ZEL_VIEW(MarkColPageDown);
        ZEL_VIEW(MarkColToTop);
        ZEL_VIEW(MarkColToBottom);
        ZEL_VIEW(MemoJumpToLineEnd);
        ZEL_VIEW(MemoJumpToLineBegin);
        ZEL_VIEW(JumpToScreenTop);
        ZEL_VIEW(JumpToScreenBottom);
        ZEL_VIEW(CutToClipboard);
        ZEL_VIEW(PasteFromClipboard);
        ZEL_VIEW(CopyToClipboard);
        ZEL_VIEW(ScrollDown);
        ZEL_VIEW(ScrollUp);
        ZEL_VIEW(CenterScreenOnLine);
        ZEL_VIEW(PromptedGotoLine);
        ZEL_SRC(DeleteCharRight);
        ZEL_SRC(DeleteCharLeft);
        ZEL_SRC(PressEnter);
        ZEL_SRC(PressTab);
        ZEL_SRC(PressShiftTab);
        ZEL_SRC(JumpWordLeft);
        ZEL_SRC(JumpWordRight);
        ZEL_SRC(MarkBlockBegin);
        ZEL_SRC(DuplicateBlock);
        ZEL_SRC(IndentBlock);
        ZEL_SRC(MarkLine);
        ZEL_SRC(UpperCaseBlock);
        ZEL_SRC(LowerCaseBlock);
        ZEL_SRC(OutDentBlock);
        ZEL_SRC(MarkBlockEnd);
        ZEL_SRC(MarkWord);
        ZEL_SRC(DeleteBlock);
        ZEL_SRC(LowerCaseWord);
        ZEL_SRC(UpperCaseWord);
        ZEL_SRC(MarkRight);
        ZEL_SRC(MarkToFileBegin);
        ZEL_SRC(MarkToFileEnd);
        ZEL_SRC(MarkWordLeft);
        ZEL_SRC(MarkWordRight);
        ZEL_SRC(MarkColDown);
        ZEL_SRC(MarkColUp);
        ZEL_SRC(MarkColLeft);
        ZEL_SRC(MarkColRight);
        ZEL_SRC(MarkColToLineBegin);
        ZEL_SRC(MarkColToLineEnd);
        ZEL_SRC(MarkColToFileBegin);
        ZEL_SRC(MarkColToFileEnd);
        ZEL_SRC(MarkColWordLeft);
        ZEL_SRC(MarkColWordRight);
        ZEL_SRC(JumpToBlockBegin);
        ZEL_SRC(JumpToFileEnd);
        ZEL_SRC(JumpToBlockEnd);
        ZEL_SRC(JumpToFileBegin);
        ZEL_SRC(DeleteWordLeft);
        ZEL_SRC(Undo);
        ZEL_SRC(Redo);
        ZEL_SRC(ToggleInsMode);
        ZEL_SRC(SelectAll);
        ZEL_SRC(InsertGUID);
        ZEL_SRC(DeleteToLineEnd);
        ZEL_SRC(ToggleBlockCase);
        ZEL_SRC(QuoteBlock);
        ZEL_SRC(FindNextBracket);
        ZEL_SRC(KeyFindNext);
        ZEL_SRC(DeleteLine);
        ZEL_SRC(InsertLine);
        ZEL_SRC(CorrectDeleteWordRight);
        ZEL_SRC(CursorRight);
        ZEL_SRC(CursorUp);
        ZEL_SRC(CursorLeft);
        ZEL_SRC(CursorDown);
        ZEL_SRC(MarkToLineEnd);
        ZEL_SRC(DeleteToLineBegin);
        ZEL_SRC(DeleteWordRight);
        ZEL_SRC(KeyReplace);
        ZEL_SRC(MarkBriefRight);
        ZEL_SRC(MarkBriefColRight);
        ZEL_SRC(MarkUp);
        ZEL_SRC(MarkDown);
        ZEL_SRC(MarkLeft);
        ZEL_SRC(MarkToLineBegin);
        ZEL_SRC(ClearSelection);
        ZEL_SRC(CapitalizeWord);
        ZEL_SRC(NextBracket);
        ZEL_SRC(PrevBracket);
#undef ZEL_VIEW
#undef ZEL_SRC
        T["KeyMoveBlock"] = [](TCustomHSMemo& M) { M.GetSource()->MoveBlock(); };
        T["ToggleCaseSensitiveSearch"] = [](TCustomHSMemo&) {
            TCustomMemoSource::ToggleCaseSensitiveSearch();
        };
        T["ToggleRegularExprSearch"] = [](TCustomHSMemo&) { TCustomMemoSource::ToggleRegularExprSearch(); };
        T["ShowSearchDialog"] = [](TCustomHSMemo& M) { ShowSourceSearchDialog(*M.GetSource()); };
        T["ShowReplaceDialog"] = [](TCustomHSMemo& M) { ShowSourceReplaceDialog(*M.GetSource()); };
        T["ClearKeyList"] = [](TCustomHSMemo& M) { M.KeyList().ClearKeys(); };
        T["ShowCodeTemplates"] = [](TCustomHSMemo& M) { M.ShowCodeTemplates(); };
        for (int D = 0; D <= 9; ++D) {
            static void (TCustomMemoSource::*const Toggle[10])() = {
                &TCustomMemoSource::ToggleBookMark0, &TCustomMemoSource::ToggleBookMark1,
                &TCustomMemoSource::ToggleBookMark2, &TCustomMemoSource::ToggleBookMark3,
                &TCustomMemoSource::ToggleBookMark4, &TCustomMemoSource::ToggleBookMark5,
                &TCustomMemoSource::ToggleBookMark6, &TCustomMemoSource::ToggleBookMark7,
                &TCustomMemoSource::ToggleBookMark8, &TCustomMemoSource::ToggleBookMark9};
            static void (TCustomMemoSource::*const GoTo[10])() = {
                &TCustomMemoSource::GoToBookMark0, &TCustomMemoSource::GoToBookMark1,
                &TCustomMemoSource::GoToBookMark2, &TCustomMemoSource::GoToBookMark3,
                &TCustomMemoSource::GoToBookMark4, &TCustomMemoSource::GoToBookMark5,
                &TCustomMemoSource::GoToBookMark6, &TCustomMemoSource::GoToBookMark7,
                &TCustomMemoSource::GoToBookMark8, &TCustomMemoSource::GoToBookMark9};
            T["ToggleBookMark" + std::to_string(D)] = [D](TCustomHSMemo& M) {
                (M.GetSource()->*Toggle[D])();
            };
            T["GoToBookMark" + std::to_string(D)] = [D](TCustomHSMemo& M) { (M.GetSource()->*GoTo[D])(); };
        }
        return T;
    }();
    return Table;
}

const TMapDef* FindMap(const std::string& Name) {
    for (const auto& D : MapDefs())
        if (SameText(D.Name, Name))
            return &D;
    return nullptr;
}

void BuildNamed(TObject* Control, const char* Name) {
    if (auto* Memo = dynamic_cast<TCustomHSMemo*>(Control))
        FillMemoKeyMap(*Memo, Name);
}

} // namespace

const std::vector<std::string>& MemoKeyMapNames() {
    static const std::vector<std::string> Names = [] {
        std::vector<std::string> N;
        for (const auto& D : MapDefs())
            N.push_back(D.Name);
        return N;
    }();
    return Names;
}

std::vector<TMemoKeyBinding> MemoKeyMapBindings(const std::string& MapName) {
    std::vector<TMemoKeyBinding> Out;
    const TMapDef* Def = FindMap(MapName);
    if (!Def)
        return Out;
    for (const TSet& Set : Def->Sets)
        for (const TRow& R : Set) {
            if (R.Key == kDigits) {
                for (int D = 0; D <= 9; ++D)
                    Out.push_back(
                        {uint16_t('0' + D), R.Shift, R.State, R.NewState, R.Command + std::to_string(D)});
                continue;
            }
            uint16_t Key = R.Key;
            if (Key == kOpenBracketKey) {
                // The layout decides which key types "["; a layout without one leaves the row out.
                const SHORT Scan = VkKeyScanA('[');
                if (Scan == -1)
                    continue;
                Key = uint16_t(Scan & 0xFF);
            }
            Out.push_back({Key, R.Shift, R.State, R.NewState, R.Command});
        }
    return Out;
}

bool MemoKeyCommandKnown(const std::string& Command) {
    return Commands().count(Command) != 0;
}

void FillMemoKeyMap(TCustomHSMemo& Memo, const std::string& MapName) {
    TKeyList& K = Memo.KeyList();
    K.ClearKeys();
    const std::string Name = FindMap(MapName) ? MapName : std::string("Default");
    TCustomHSMemo* M = &Memo;
    for (const TMemoKeyBinding& B : MemoKeyMapBindings(Name)) {
        TKeyMethod Method;
        if (!B.Command.empty()) {
            auto It = Commands().find(B.Command);
            if (It == Commands().end())
                continue;
            const TCommand* Cmd = &It->second;
            Method = [M, Cmd] { (*Cmd)(*M); };
        }
        K.AddKey(B.Key, B.Shift, std::move(Method), B.State, B.NewState);
    }
}

void RegisterMemoKeyMaps() {
    const TClass Cls = TCustomHSMemo::StaticClass();
    RegisterKeyboardInitProc(Cls, "Default", [](TObject* C) { BuildNamed(C, "Default"); });
    RegisterKeyboardInitProc(Cls, "Classic", [](TObject* C) { BuildNamed(C, "Classic"); });
    RegisterKeyboardInitProc(Cls, "Brief", [](TObject* C) { BuildNamed(C, "Brief"); });
    RegisterKeyboardInitProc(Cls, "Epsilon", [](TObject* C) { BuildNamed(C, "Epsilon"); });
    RegisterKeyboardInitProc(Cls, "Visual Studio", [](TObject* C) { BuildNamed(C, "Visual Studio"); });
}
