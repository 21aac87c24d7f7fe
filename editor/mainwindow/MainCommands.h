#pragma once
// The main window's commands behind the Tags, View, Options, Help, Links, Tools and Drag and Drop
// menus, with the tool windows they show (inserters, drop window, editor options). One object of
// this family lives as a component of the main window; it binds its handlers to the window's
// menu items and buttons by their names and adds the items the menus still lack.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <map>
#include <string>

#include <vector>

#include "framework/core/Component.h"

class TZELQEForm;
class TCustomMemoSource;
class TColorDialog;
class TEditorOptionsForm;
class TTagInserterForm;
class TDragDropForm;
struct inserterclass;

// The home page of the content-rating body, opened from the Links menu and named in the hint of the
// rating meta tag.
constexpr const char* ContentRatingSite = "http://www.icra.org/";

// Flags of InsertAroundSelection.
constexpr int32_t InsertLineBreakAfter = 1; // a line break follows when there is no after text
constexpr int32_t InsertNeverCapitals = 2;  // entities and declarations keep their case

// One command of the Tags menu: the texts put before and after the caret or selection.
struct TTagCommand {
    const char* Handler; // the command's handler name; its menu item is the name without "Click"
    const char* Parent;  // the submenu item's name ("TagsMenu" for the top level)
    const char* Caption; // "" when the command has no menu item
    const char* Shortcut;
    const char* Before;
    const char* After;
    int32_t Flags;
};
// Every tag, entity, declaration and meta command, in menu order.
const std::vector<TTagCommand>& TagCommands();
// The command by its handler name, or null.
const TTagCommand* FindTagCommand(const std::string& Handler);

// Types a text into a text model at the caret: carriage return presses Enter, tab presses Tab,
// backspace deletes left of the caret, a line feed after a carriage return is skipped (a lone one
// presses Enter). 2 without a model, 1 without a text, else 0.
int InsertTextWithControls(TCustomMemoSource* Source, const char* Text, int32_t Flags);

class TMainCommands : public TComponent {
    ZEL_DECLARE_CLASS(TMainCommands)
public:
    explicit TMainCommands(TZELQEForm* Form);
    ~TMainCommands() override;

    // Binds the handlers and adds the missing menu items (called while the window is built).
    void BuildMenus();
    // After the window's own creation: drop target, application events, inserter windows.
    void Attach();

    // --- Tags
    int RunTagCommand(const TTagCommand& Command);
    void TagsColorClick();
    void TagsWMLPrologueClick();
    TColorDialog* ColorDialog = nullptr; // made on first use, lives with the application

    // --- View toggles: flips (or sets or clears) bits of the interface words, lays out again
    enum TBitOp { FlipBit, SetBit, ClearBit };
    void FlipInterfaceBit(bool Second, uint32_t Mask, TBitOp Op, int32_t LayoutFlags);
    void ViewResultsClick();
    void HideResultsWindowClick();
    void ViewFullScreenClick();
    void ViewResourceClick();

    // --- Options, configuration, logging, help and links
    void OptionsWordWrapClick();
    void OptionsSyntaxHighlightingClick();
    void OptionsEditorOptionsClick();
    void OptionsLoggingEnableClick();
    void OptionsLoggingViewClick();
    void OptionsLoggingDeleteClick();
    void OptionsKeepWindowOnTopClick();
    void OptionsEnableHotKeysClick();
    void HelpCheckVersionClick(TObject* Sender);
    void CopyProgramInfotoClipboard1Click();
    void HelpPage(const char* Page);
    void OpenWebPage(const char* Address);
    void HotKeyPressed();
    TEditorOptionsForm* EditorOptions = nullptr;

    // --- Tools
    void RunToolCommand(int32_t Tool);
    void EditUndoLastMajorChangeClick();
    void ToolsConvertClick();
    void ViewExternalBtnClick();
    void ValidateStyleSheetwithStylewright1Click();
    // Saves the current document for an outside program: 1 when it is a saved file without
    // unsaved changes afterwards.
    int SaveForOutsideProgram(const char* Question);

    // --- Editor, pane and shell handlers
    void SearchFindAgainClick();
    void FirstOrLastTab(bool Last);
    void BuildEditorPopup();
    void EditorPopupMenuPopup();
    // Opens the file the selected text names, relative to the current document's folder.
    void EditorPopupOpenFileClick();

    // --- Inserters
    int UpdateInserter(inserterclass* Inserter, int32_t Flags);
    int UpdateInserters(int32_t Flags);
    int InserterCommand(uint32_t Kind, int32_t Command);
    void ViewInserterClick(uint32_t Kind);
    TTagInserterForm* InserterWindow(uint32_t Kind) const;
    std::map<inserterclass*, TTagInserterForm*> Inserters;

    // --- Drag and drop
    int DropOnMainWindow(HDROP Drop);
    void DragDropViewDragDropWindowClick();
    void HideDragDropWindowClick();
    void DragDropUseToolClick();
    void DragDropUseValidatorClick();
    // Shows or hides the drop window by F bit 12, making it on first need.
    void UpdateDropWindow();
    TDragDropForm* DropWindow = nullptr;

    TZELQEForm* Form;
};
