// The menus of the main window as one table. An item whose command is not part of this program yet
// has no handler and stays disabled.
#include <vector>

#include "editor/mainwindow/MainForm.h"

namespace {

struct TMenuRow {
    const char* Parent; // "" for the menu bar
    const char* Name;
    const char* Caption;
    const char* Shortcut;
    void (TZELQEForm::*Handler)(TObject*);
};

using M = TZELQEForm;

// clang-format off
const std::vector<TMenuRow>& MainMenuRows() {
    static const std::vector<TMenuRow> Rows = {
        {"", "File1", "&File", "", nullptr},
        {"File1", "FileNew", "&New", "Ctrl+N", &M::FileNewClick},
        {"File1", "FileOpen", "&Open...", "Ctrl+O", &M::FileOpenClick},
        {"File1", "FileOpenFromTheWeb", "Open from the We&b...", "Ctrl+Shift+O", nullptr},
        {"File1", "FileReload", "&Reload", "", &M::FileReloadClick},
        {"File1", "FileReopen", "R&eopen", "", nullptr},
        {"File1", "FileN1", "-", "", nullptr},
        {"File1", "FileSave", "&Save", "Ctrl+S", &M::FileSaveClick},
        {"File1", "FileSaveAs", "Save &As...", "Ctrl+Shift+S", &M::FileSaveAsClick},
        {"File1", "FileSaveAll", "Sa&ve All", "", &M::FileSaveAllClick},
        {"File1", "FileN2", "-", "", nullptr},
        {"File1", "FileClose", "&Close", "Ctrl+W", &M::FileCloseClick},
        {"File1", "FileCloseAll", "C&lose All", "", &M::FileCloseAllClick},
        {"File1", "FileN3", "-", "", nullptr},
        {"File1", "FilePrint", "&Print...", "Ctrl+P", &M::FilePrintClick},
        {"File1", "FileN4", "-", "", nullptr},
        {"File1", "FileExit", "E&xit", "Alt+F4", &M::FileExitClick},

        {"", "Edit1", "&Edit", "", nullptr},
        {"Edit1", "EditUndo", "&Undo", "Ctrl+Z", &M::EditUndoClick},
        {"Edit1", "EditRedo", "&Redo", "Ctrl+Shift+Z", &M::EditRedoClick},
        {"Edit1", "EditUndoLastMajorChange", "Undo Last Major Change/Last Tool", "", nullptr},
        {"Edit1", "EditN1", "-", "", nullptr},
        {"Edit1", "EditCut", "Cu&t", "Ctrl+X", &M::EditCutClick},
        {"Edit1", "EditCopy", "&Copy", "Ctrl+C", &M::EditCopyClick},
        {"Edit1", "EditPaste", "&Paste", "Ctrl+V", &M::EditPasteClick},
        {"Edit1", "EditN2", "-", "", nullptr},
        {"Edit1", "EditSelectAll", "Se&lect All", "Ctrl+A", &M::EditSelectAllClick},

        {"", "Search1", "&Search", "", nullptr},
        {"Search1", "SearchFind", "&Find...", "Ctrl+F", &M::SearchFindClick},
        {"Search1", "SearchReplace", "&Replace...", "Ctrl+R", &M::SearchReplaceClick},
        {"Search1", "SearchFindAgain", "Find &Again", "F3", nullptr},
        {"Search1", "SearchN1", "-", "", nullptr},
        {"Search1", "EditGoToLine", "Go to Line...", "Ctrl+G", &M::EditGoToLineClick},

        {"", "Tools1", "&Tools", "", nullptr},
        {"Tools1", "ToolsValidate", "&Validate", "F6", &M::ToolsValidateClick},
        {"Tools1", "ToolsValidateAll", "Validate &All", "", &M::ToolsValidateAllClick},
        {"Tools1", "ToolsValidateWithBatchWizard", "Validate with Batch &Wizard", "Shift+F6", nullptr},
        {"Tools1", "ToolsBatchWizard", "&Batch Wizard", "F2", nullptr},
        {"Tools1", "ToolsN1", "-", "", nullptr},
        {"Tools1", "ToolsLowercase", "Quick &Lowercase", "Ctrl+F5", nullptr},
        {"Tools1", "ToolsUppercase", "Quick &Uppercase", "", nullptr},
        {"Tools1", "ToolsStrip", "Quick &Strip HTML Tags", "Ctrl+F7", nullptr},
        {"Tools1", "ToolsTemplate", "&Template", "Ctrl+F6", nullptr},
        {"Tools1", "ToolsConvert", "&Convert Text File Format...", "Ctrl+F8", nullptr},
        {"Tools1", "ToolsN2", "-", "", nullptr},
        {"Tools1", "ValidateStyleSheetwithStylewright1", "Validate Style Sheet with Stylewright", "", nullptr},
        {"Tools1", "ToolsSpellCheck", "S&pell Check...", "F7", nullptr},
        {"Tools1", "ToolsSpellCheckAll", "Spell Check All...", "Shift+F7", nullptr},
        {"Tools1", "ToolsN3", "-", "", nullptr},
        {"Tools1", "ToolsHelp", "&Help with Tools", "", nullptr},

        {"", "View1", "&View", "", nullptr},
        {"View1", "ViewNextMessage", "N&ext Message", "Alt+Down", &M::ViewNextMessageClick},
        {"View1", "ViewPreviousMessage", "Previ&ous Message", "Alt+Up", &M::ViewPreviousMessageClick},
        {"View1", "ViewN1", "-", "", nullptr},
        {"View1", "ViewNextDocument", "Ne&xt Document", "Ctrl+Tab", &M::ViewNextDocumentClick},
        {"View1", "ViewPreviousDocument", "&Previous Document", "Ctrl+Shift+Tab", &M::ViewPreviousDocumentClick},
        {"View1", "ViewN2", "-", "", nullptr},
        {"View1", "ViewResults", "Results Window", "F9", nullptr},
        {"View1", "ViewResource", "Resource Window", "Alt+F9", nullptr},
        {"View1", "ViewFullScreen", "&Full Screen", "F10", nullptr},
        {"View1", "ViewSplitView", "Split Vie&w", "F11", nullptr},
        {"View1", "ViewGutter", "&Gutter", "", nullptr},
        {"View1", "ViewLineNumbers", "&Line Numbers", "", nullptr},
        {"View1", "ViewRightMargin", "&Right Margin", "", nullptr},
        {"View1", "ViewLineSeparators", "Li&ne Separators", "", nullptr},
        {"View1", "ViewSpecialSymbols", "Spe&cial Symbols", "", nullptr},
        {"View1", "ViewSpeedBar", "&Speed Bar", "", nullptr},
        {"View1", "ViewStatusBar", "S&tatus Bar", "", nullptr},
        {"View1", "ViewTagInserter", "Tag Inserter", "", nullptr},
        {"View1", "ViewCSSInserter", "Style Sheet Inserter", "", nullptr},
        {"View1", "ViewLinkInfoPanel", "Link Information Panel", "", nullptr},
        {"View1", "ViewWebBrowser", "Web Browser", "", nullptr},
        {"View1", "ViewExternalViewer", "View with External Viewer", "Alt+F8", nullptr},
        {"View1", "ViewRefreshResourceWindow", "Refresh Resource Window", "F5", nullptr},
        {"View1", "ViewRefreshMainWindow", "Refresh Main Window", "", nullptr},
        {"View1", "ViewValidationLog", "&View Validation Log", "", nullptr},

        {"", "TagsMenu", "T&ags", "", nullptr},
        {"TagsMenu", "TagsInsertColor", "Insert Color...", "", nullptr},
        {"TagsMenu", "TagsEndTag", "End Tag", "", nullptr},
        {"TagsMenu", "TagsStartTag", "Start Tag", "", nullptr},
        {"TagsMenu", "TagsBold", "Bold", "", nullptr},
        {"TagsMenu", "TagsItalic", "Italic", "", nullptr},
        {"TagsMenu", "TagsUnderline", "Underline", "", nullptr},
        {"TagsMenu", "TagsA", "a", "", nullptr},
        {"TagsMenu", "TagsBlockquote", "blockquote", "", nullptr},
        {"TagsMenu", "TagsBreak", "br", "", nullptr},
        {"TagsMenu", "TagsBreakAndNewline", "br+Newline", "", nullptr},
        {"TagsMenu", "TagsCenter", "center", "", nullptr},
        {"TagsMenu", "TagsComment", "comment", "", nullptr},
        {"TagsMenu", "TagsHorizontalRule", "hr", "", nullptr},
        {"TagsMenu", "TagsParagraph", "p", "", nullptr},

        {"", "DragDrop1", "&Drag and Drop", "", nullptr},
        {"DragDrop1", "DragDropUseValidator", "Use &Validator on Dropped Files", "Ctrl+F2", nullptr},
        {"DragDrop1", "DragDropUseTool", "Use Selected &Tool on Dropped Files", "Ctrl+F1", nullptr},
        {"DragDrop1", "DragDropViewDragDropWindow", "Vie&w Drag and Drop Window", "", nullptr},
        {"DragDrop1", "RevalidateLastDocument1", "&Revalidate Last Document", "F12", nullptr},

        {"", "Options1", "&Options", "", nullptr},
        {"Options1", "OptionsEditorOptions", "&Editor Options...", "F4", nullptr},
        {"Options1", "OptionsValidatorOptions", "&Validator Engine Options...", "Ctrl+F4", nullptr},
        {"Options1", "OptionsHTMLConfigurationEditor", "C&onfiguration Editor...", "", nullptr},
        {"Options1", "OptionsConfiguration", "Configuration", "", nullptr},
        {"Options1", "OptionsSpellChecker", "S&pell Check Configuration...", "", nullptr},
        {"Options1", "OptionsN1", "-", "", nullptr},
        {"Options1", "OptionsWordWrap", "&Word Wrap", "", nullptr},
        {"Options1", "OptionsSyntaxHighlighting", "&Syntax Highlighting", "", nullptr},
        {"Options1", "OptionsKeepWindowOnTop", "&Keep Editor Window on Top", "", nullptr},
        {"Options1", "OptionsLogging", "Logging", "", nullptr},
        {"OptionsLogging", "OptionsLoggingEnable", "&Enable Logging", "Alt+F5", nullptr},
        {"OptionsLogging", "OptionsLoggingView", "&View Log", "Alt+F6", nullptr},
        {"OptionsLogging", "OptionsLoggingDelete", "&Delete Log", "Alt+F7", nullptr},
        {"Options1", "OptionsFileAssociations", "File Associations", "", nullptr},
        {"OptionsFileAssociations", "OptionsAddAssociations", "&Add Associations to the Registry", "", nullptr},
        {"OptionsFileAssociations", "OptionsRemoveAssociations", "&Remove Associations from the Registry", "", nullptr},

        {"", "Links1", "&Links", "", nullptr},
        {"Links1", "LinksZELHome", "&ZEL Orvalent Home Page", "", nullptr},
        {"Links1", "LinksDownload", "&Download Page", "", nullptr},
        {"Links1", "LinksSupport", "&Support Page", "", nullptr},

        {"", "Help1", "&Help", "", nullptr},
        {"Help1", "HelpContents", "&Help Contents", "F1", nullptr},
        {"Help1", "HelpOrdering", "&Ordering Information", "", nullptr},
        {"Help1", "HelpCheckVersion", "Check for New Program &Version", "", nullptr},
        {"Help1", "HelpN1", "-", "", nullptr},
        {"Help1", "HelpAboutZEL", "&About ZEL Orvalent Lite...", "", &M::HelpAboutZELClick},
    };
    return Rows;
}

const std::vector<TMenuRow>& EditorPopupRows() {
    static const std::vector<TMenuRow> Rows = {
        {"", "EditorPopupCut", "Cu&t", "", &M::EditCutClick},
        {"", "EditorPopupCopy", "&Copy", "", &M::EditCopyClick},
        {"", "EditorPopupPaste", "&Paste", "", &M::EditPasteClick},
        {"", "EditorPopupSelectAll", "Select All", "", &M::EditSelectAllClick},
        {"", "EditorPopupN1", "-", "", nullptr},
        {"", "EditorPopupValidate", "&Validate", "", &M::ToolsValidateClick},
        {"", "EditorPopupN2", "-", "", nullptr},
        {"", "EditorPopupNew", "&New", "", &M::FileNewClick},
        {"", "EditorPopupOpen", "&Open...", "", &M::FileOpenClick},
        {"", "EditorPopupReload", "&Reload", "", &M::FileReloadClick},
        {"", "EditorPopupSave", "&Save", "", &M::FileSaveClick},
        {"", "EditorPopupSaveAs", "Save &As...", "", &M::FileSaveAsClick},
        {"", "EditorPopupSaveAll", "Sa&ve All", "", &M::FileSaveAllClick},
        {"", "EditorPopupClose", "&Close", "", &M::FileCloseClick},
        {"", "EditorPopupCloseAll", "C&lose All", "", &M::FileCloseAllClick},
    };
    return Rows;
}

const std::vector<TMenuRow>& ResultsPopupRows() {
    static const std::vector<TMenuRow> Rows = {
        {"", "ResultsPopupN0", "-", "", nullptr},
        {"", "ResultsPopupValidateHTML", "&Validate", "", &M::ToolsValidateClick},
        {"", "ResultsListRefresh", "&Refresh View", "", &M::ResultsListRefreshClick},
        {"", "ResultsListClear", "&Clear Results", "", &M::ResultsListClearClick},
        {"", "ResultsPopupCopyToClipboard", "Copy &Messages to Clipboard", "", nullptr},
        {"", "ResultsPopupExportLinks", "E&xport Links to Text", "", nullptr},
        {"", "HideResultsWindow", "Hide Results Window", "", nullptr},
    };
    return Rows;
}
// clang-format on

} // namespace

TMenuItem* TZELQEForm::AddMenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption,
                                   TShortCut Key, TNotifyEvent Handler, const std::string& Hint) {
    auto* I = new TMenuItem(this);
    I->SetName(Name);
    I->SetCaption(Caption);
    I->SetShortCut(Key);
    I->SetHint(Hint);
    bool Command = Caption != "-";
    if (Handler)
        I->OnClick = std::move(Handler);
    Parent->Add(I);
    FItems[Name] = I;
    (void)Command;
    return I;
}

void TZELQEForm::BuildMenus() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    EditorPopupMenu = new TPopupMenu(this);
    EditorPopupMenu->SetName("EditorPopupMenu");
    ResultsPopupMenu = new TPopupMenu(this);
    ResultsPopupMenu->SetName("ResultsPopupMenu");
    StatusBarPopupMenu = new TPopupMenu(this);
    StatusBarPopupMenu->SetName("StatusBarPopupMenu");
    auto Fill = [this](TMenuItem* Root, const std::vector<TMenuRow>& Rows) {
        std::map<std::string, TMenuItem*> Parents;
        for (const TMenuRow& R : Rows) {
            TMenuItem* Parent = *R.Parent ? Parents.at(R.Parent) : Root;
            TNotifyEvent Handler;
            if (R.Handler)
                Handler = [this, H = R.Handler](TObject* S) { (this->*H)(S); };
            TMenuItem* I = AddMenuItem(Parent, R.Name, R.Caption, TextToShortCut(R.Shortcut), Handler);
            Parents[R.Name] = I;
            // A command of a later part of the program: listed, but not available yet.
            bool IsSubmenu = false;
            for (const TMenuRow& C : Rows)
                if (std::string(C.Parent) == R.Name) {
                    IsSubmenu = true;
                    break;
                }
            if (!R.Handler && !IsSubmenu && std::string(R.Caption) != "-" && *R.Parent)
                I->SetEnabled(false);
        }
    };
    Fill(MainMenu1->Items(), MainMenuRows());
    Fill(EditorPopupMenu->Items(), EditorPopupRows());
    Fill(ResultsPopupMenu->Items(), ResultsPopupRows());
    if (TMenuItem* I = Item("ResultsPopupN0"))
        I->SetVisible(false);
    ResultsPopupMenu->OnPopup = [this](TObject* S) { ResultsPopupMenuPopup(S); };
    SetMenu(MainMenu1);
}
