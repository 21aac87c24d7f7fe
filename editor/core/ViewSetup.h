#pragma once
// The program's standard configuration of its views: the text models of its documents, the code
// editor memos by role, the results trees, the document tab controls, the editor colours and the
// word parsing of the spell checker.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/memo/Memo.h"
#include "controls/tree/HSTree.h"

class TCustomMemoSource;
class TTabControl;
class TPopupMenu;
class TMainParsingEngine;
class TStringParser;

// What the helpers take from the main window; it fills these before it builds its panes and
// clears them when it goes. Each may be empty (tests, or no main window).
struct TViewSetupHooks {
    TPopupMenu* EditorPopup = nullptr;
    TPopupMenu* ResultsPopup = nullptr;
    TDTVNodeEvent ResultsTreeChange;
    TNotifyEvent ResultsTreeClick;
    TRightClickNodeEvent ResultsTreeRightClick;
    // Re-applies the main window's spell-checker set-up after its options changed.
    std::function<void()> SpellCheckerSetup;
};
TViewSetupHooks& ViewSetupHooks();

// Memo roles of InitEditorMemo; none of them is the main code editor.
enum TMemoRole : int32_t {
    MemoResultsText = 1,
    MemoBrowserSource = 2,
    MemoScratchPad1 = 4,
    MemoScratchPad2 = 8,
    MemoMessageText = 16,
};

// Names of the styles that mark message lines, in the order AddMessageLineStyles adds them.
constexpr const char* WarningLineStyleName = "ZELWarning line";
constexpr const char* ErrorLineStyleName = "ZELError line";
constexpr const char* MessageLineStyleName = "ZELMessage line";
constexpr const char* StructLineStyleName = "ZELStruct line";

// Tab stops from the settings and the editing options every document model has. -1 for null.
int32_t InitMemoSource(TCustomMemoSource* source, int32_t ignored);
// Gives a memo the program's configuration for its role (flags: TMemoRole, 0 the code editor).
void InitEditorMemo(THSMemo* memo, int32_t role);
// Flag 1: the warning, error, message and struct line styles; flag 2: the struct style alone.
// Styles already present by name are not added twice. 0, or -1 for null.
int32_t AddMessageLineStyles(THSMemo* memo, int32_t flags);
// The index of a named style in the memo's table, or -1.
int32_t FindTextStyle(THSMemo* memo, const char* name);
// Flags 1 and 2: the results trees (1 also takes the right click); 4: the structure tree.
int32_t InitTreeView(THSTree* tree, int32_t flags);
// Flag 1: hot tracking. -1 for null.
int32_t InitTabControl(TTabControl* tabs, int32_t flags);
// Flag 1: the editor font, colours and line numbers of the settings.
void ApplyEditorColors(THSMemo* memo, int32_t flags);
// Keeps the program's one word-parsing engine and string parser. The engine's mid-word characters
// become midWord with "&" appended when missing; returns them. Flag 2 re-applies the spell
// checker's set-up, flag 16 frees the engine and the parser (and returns midWord unchanged).
std::string ConfigureSpellChecker(const std::string& midWord, int32_t flags);
// The engine and parser while they exist (null before the first call and after flag 16).
TMainParsingEngine* SpellParsingEngine();
TStringParser* SpellStringParser();
