#pragma once
// The editor's one main window: speed bar, two editor panes over one shared document list with
// their tabs, the results area, the status bar and the menus; and the commands that open, save,
// close, edit and validate documents.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "framework/ui/Buttons.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "controls/tree/HSTree.h"

class TListView;
class TPaneSplitter;
class THSMemo;
class TCustomMemoSource;
class TMemoSource;
class fileinfoclass;
class msginfoclass;
class StringArrayStore;
class TImageList;
class TLabel;
class TComboBox;
class TNVShellTree;
class TNVShellList;
class TNVOpenDlg;
class TNVSaveDlg;
class TNVFileDlg;
class TOrthosSpell3;
class TSyntaxParser;

// Status panels.
constexpr int kCaretPanel = 0, kInsertPanel = 1, kStatePanel = 2, kTextPanel = 3;

// Flags of UpdateStatusPanels.
enum TStatusFlags : int32_t {
    StatusChanged = 1,
    StatusUnchanged = 2,
    StatusFromArguments = 4,
    StatusInsertMode = 8,
    StatusCaret = 0x10,
    StatusReadOnly = 0x20,
    StatusFromDocument = 0x40,
};

// Flags of ShowMessageBox.
enum TBoxFlags : int32_t {
    BoxStop = 1,
    BoxInformation = 2,
    BoxQuestion = 4,
    BoxNotInStatus = 0x100,
    BoxStatusOnly = 0x200,
};

class TZELQEForm : public TForm {
    ZEL_DECLARE_CLASS(TZELQEForm)
public:
    explicit TZELQEForm(TComponent* AOwner);
    ~TZELQEForm() override;

    void FormCreate();

    // --- layout (window construction and panes)
    int ArrangePanels(int32_t Flags);
    void StoreNormalBounds();
    void ShowResultsPane(bool Show);
    void ShowResourcePane(bool Show);
    // Shows the browser pane's tool row beside the editor, or below it by the second word's bit 15.
    void ShowBrowserPane(bool Show);
    void UpdateMenuChecks();
    void ApplySettingsToControls(int32_t Flags);
    fileinfoclass* GetCurrentFileInfo();
    int SetStatusText(const std::string& Text);
    std::string StatusText() const;
    int RefreshResults(fileinfoclass* Document, int32_t Flags);

    // --- documents in tabs
    int AddNewFileTab(TTabControl* Tabs, const char* FileName, int32_t Flags, fileinfoclass** Out = nullptr);
    int SelectTab(TTabControl* Tabs, int Index, int32_t Flags);
    int CloseFileTab(TTabControl* Tabs, int Index, int32_t Flags);
    int CloseAllTabFiles(TTabControl* Tabs, int32_t Flags);
    int CloseALLFiles(int32_t Flags);
    int SaveFileTab(TTabControl* Tabs, int Index, int32_t Flags);
    int SaveAllTabFiles(TTabControl* Tabs);
    int SaveALLFiles();
    int UpdateTab(TTabControl* Tabs, int Index);
    int UpdateTabControls();
    fileinfoclass* FindOpenDocument(const std::string& FileName, TTabControl** TabsOut = nullptr);
    int ReloadDocument(fileinfoclass* Document);
    int CheckChangedOnDisk(int32_t Flags);
    void BuildReopenMenu(StringArrayStore& Reopen);
    int MarkTabUnchanged(fileinfoclass* Document);
    int MarkTabChanged(fileinfoclass* Document);
    std::string BuildTitle();
    TTabControl* GetActiveTabControl();

    // --- status bar and idle
    int UpdateStatusPanels(int32_t Flags, bool Unchanged, bool ReadOnly);
    void AppIdle(TObject* Sender, bool& Done);
    void AppHint(TObject* Sender);
    void AppActivate(TObject* Sender);
    void AppDeactivate(TObject* Sender);

    // --- validation and results
    int ValidateCurrentDocument(TObject* Sender, int32_t Flags, int Mode);
    // A style sheet's results: the one comment that says style sheets are not checked.
    void ShowStyleSheetNotice(fileinfoclass* Document);
    int GoToNextMessage(TObject* Sender, int32_t Flags);
    int GoToPreviousMessage(TObject* Sender);
    TTabSheet* MessageWalkSheet(TObject* Sender, int32_t Flags);
    int ShowMessageItem(msginfoclass* Message, int32_t Flags);
    int ShowResultCounts();
    int ShowMessageBox(const std::string& Text, const std::string& Caption, int32_t Flags);
    int ShowStandardMessage(int32_t Flags);
    // Puts a document's messages into the messages list (and empties it without results).
    void FillResultsList(fileinfoclass* Document);
    // Puts a document's grouped messages (group A) and style-sheet messages (group B) into their
    // trees: one node per group text with the group's messages below it.
    void FillResultsTree(THSTree* Tree, fileinfoclass* Document);

    // --- handlers
    void FileNewClick(TObject*);
    void FileOpenClick(TObject*);
    void FileSaveClick(TObject*);
    void FileSaveAsClick(TObject*);
    void FileSaveAllClick(TObject*);
    void FileCloseClick(TObject*);
    void FileCloseAllClick(TObject*);
    void FileReloadClick(TObject*);
    void FileExitClick(TObject*);
    void FilePrintClick(TObject*);
    void ReopenItemClick(TObject* Sender);
    void ViewNextDocumentClick(TObject*);
    void ViewPreviousDocumentClick(TObject*);
    void TabControlChange(TObject* Sender);
    void EditUndoClick(TObject*);
    void EditRedoClick(TObject*);
    void EditCutClick(TObject*);
    void EditCopyClick(TObject*);
    void EditPasteClick(TObject*);
    void EditSelectAllClick(TObject*);
    void SearchFindClick(TObject*);
    void SearchReplaceClick(TObject*);
    void EditGoToLineClick(TObject*);
    void ToolsValidateClick(TObject* Sender);
    void ToolsValidateAllClick(TObject* Sender);
    void ViewNextMessageClick(TObject* Sender);
    void ViewPreviousMessageClick(TObject* Sender);
    void ResultsListViewSelectItem(TObject* Sender, int Index, bool Selected);
    void ResultsListViewClick(TObject* Sender);
    void ResultsListViewEnter(TObject* Sender);
    void ResultsListViewColumnClick(TObject* Sender, int Column);
    void ValidateModeBtnClick(TObject* Sender);
    void ValidateModeItemClick(TObject* Sender);
    void SpellCheckClick(TObject* Sender);
    // Spell checking: flag 1 the memo the user works in, 2 every document of the active pane in
    // turn, 4 no notice at the end, 8 only the selection. 2 while closing, -3 without a tab
    // binding, -4 without a memo, else 0.
    int QXSpellCheckInForm(int32_t Flags);
    // Flag 1: 1 when Memo is writable. Flag 2: the memo a check would take, writable and not empty.
    // -1 with neither flag.
    int CanSpellCheck(THSMemo* Memo, int32_t Flags);
    THSMemo* MemoToSpellCheck();
    void LinksListViewSelectItem(TObject* Sender, int Index, bool Selected);
    void LinksListViewDblClick(TObject* Sender);
    void ResultsPageControlChange(TObject* Sender);
    void ResultsTreeViewChange(TObject* Sender, THSTreeNode* Node);
    void ResultsTreeViewClick(TObject* Sender);
    void ResultsTreeViewEnter(TObject* Sender);
    void ResultsTreeViewRightClickNode(TObject* Sender, THSTreeNode* Node, TRightClickAction& Action);
    void ResultsPopupMenuPopup(TObject* Sender);
    void ResultsPopupFlagClick(TObject* Sender);
    void ResultsListClearClick(TObject* Sender);
    void ResultsListRefreshClick(TObject* Sender);
    void ResultsMessageSplitSplitterDrop(TObject* Sender);
    void HSMemoEnter(TObject* Sender);
    void HSMemoStateChange(TObject* Sender, uint16_t State);
    // A click in an editor gutter away from a picture toggles bookmark 10 on the clicked line.
    void HSMemoClickGutter(TObject* Sender, int32_t Line, int32_t ImageIndex, TShiftState Shift);

    // --- editor, pane and shell handlers (PaneHandlers.cpp)
    void StructureMemo2MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void GenericMemoPopupPopup(TObject* Sender);
    void ResourcePageControlChange(TObject* Sender);
    void OpenedListViewClick(TObject* Sender);
    void ShellListRefreshClick(TObject* Sender);
    void ShellListNewFolderClick(TObject* Sender);
    // The structure memos show the document's structure listing from its last validation, and the
    // Structure sheet's list its tag counts (the hint without results).
    void ShowStructure(fileinfoclass* Doc);
    // Puts the open documents into the Open sheet's list; while the list is not in sight it is only
    // marked out of date and filled when it shows.
    void FillOpenedList();
    // Lays the message memos of the three results splitters out at the stored width.
    void ApplyMessageMemoWidth(TPaneSplitter* Split);
    void HelpAboutZELClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);

    // --- components (names are the layout's own)
    TMainMenu* MainMenu1 = nullptr;
    TPanel* SpeedBarPanel = nullptr;
    TBevel* Bevel = nullptr;
    TBevel* Bevel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TPanel* Panel8 = nullptr;
    TPaneSplitter* HorzSplit1 = nullptr;
    TPaneSplitter* VertSplit1 = nullptr;
    TPaneSplitter* HorzSplit2 = nullptr;
    TPanel* MainResourceLocationPanel = nullptr;
    TPanel* DecorationPanelLeft = nullptr;
    TPanel* ResourceSpeedBtnPanel = nullptr;
    TPageControl* ResourcePageControl = nullptr;
    TTabSheet* ShellTabSheet = nullptr;
    TTabSheet* OpenedTabSheet = nullptr;
    TTabSheet* Structure2Sheet = nullptr;
    TTabSheet* TreeStructureTabSheet = nullptr;
    TListView* OpenedListView = nullptr;
    THSMemo* StructureMemo2 = nullptr;
    THSTree* StructureTree = nullptr;
    TPanel* EditorVerticalPanel = nullptr;
    TPanel* EditorSpeedBtnPanel = nullptr;
    TPaneSplitter* WebSplitter = nullptr;
    TPanel* EditorPanel = nullptr;
    TPaneSplitter* EditorSplitPanel = nullptr;
    THSMemo* HSMemo = nullptr;
    THSMemo* HSMemo2 = nullptr;
    TTabControl* TabControl1 = nullptr;
    TTabControl* TabControl2 = nullptr;
    TPanel* WBPanel = nullptr;
    // The browser pane's tool row; the browser itself is not part of this program.
    TPanel* Panel17 = nullptr;
    TComboBox* OpenCombo = nullptr;
    TPanel* Panel7 = nullptr;
    TPageControl* ResultsPageControl = nullptr;
    TTabSheet* MessagesSheet = nullptr;
    TTabSheet* TreeViewSheet = nullptr;
    TTabSheet* StylesSheet = nullptr;
    TTabSheet* LinksSheet = nullptr;
    TTabSheet* StructureSheet = nullptr;
    TTabSheet* ScratchSheet = nullptr;
    TPaneSplitter* ResultsMessageSplit = nullptr;
    TListView* ResultsListView = nullptr;
    TPanel* MessagesPanel = nullptr;
    THSMemo* ResultsMessageMemo = nullptr;
    TPaneSplitter* ResultsTreeViewSplit = nullptr;
    THSTree* ResultsTreeView = nullptr;
    THSMemo* ResultsMessageMemo2 = nullptr;
    TPaneSplitter* StylesTreeViewSplit = nullptr;
    THSTree* StyleMessagesTreeView = nullptr;
    THSMemo* ResultsMessageMemo3 = nullptr;
    TPanel* TreeViewPanel = nullptr;
    TPanel* StylesPanel = nullptr;
    TPanel* LinksPanel = nullptr;
    TPanel* StructurePanel = nullptr;
    TListView* LinksListView = nullptr;
    TListView* TagCountListView = nullptr;
    TPaneSplitter* StructureSplitter = nullptr;
    THSMemo* StructureMemo = nullptr;
    TPaneSplitter* ScratchSplitter = nullptr;
    THSMemo* ScratchPad1Memo = nullptr;
    THSMemo* ScratchPad2Memo = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPopupMenu* EditorPopupMenu = nullptr;
    TPopupMenu* ResultsPopupMenu = nullptr;
    TPopupMenu* StatusBarPopupMenu = nullptr;
    TPopupMenu* SpeedBarPopupMenu = nullptr;
    TPopupMenu* ValidateModePopup = nullptr;
    // The results, structure and scratch memos share one pop-up of edit commands.
    TPopupMenu* GenericMemoPopup = nullptr;
    TPopupMenu* ShellListPopupMenu = nullptr;
    TPopupMenu* OpenedPopupMenu = nullptr;
    // The pictures of the speed bar and of the message kinds (error, warning, message, comment,
    // none), drawn at start.
    TImageList* ResultsImages = nullptr;
    // The system's small file icons, shared and never destroyed by the program.
    HIMAGELIST SystemImageList = nullptr;
    TPanel* LinksPanel2 = nullptr;
    TLabel* LinkLabel = nullptr;
    TLabel* AbsoluteLabel = nullptr;
    // The resource window's shell views.
    TNVShellTree* ShellTree = nullptr;
    TNVShellList* ShellList = nullptr;
    TPanel* ShellListTopPanel = nullptr;
    TComboBox* ShellListFileFilterCombo = nullptr;
    // The open and save dialogs with the folder tree; their sizes and list views are kept in the
    // interface settings.
    TNVOpenDlg* NVOpenDialog = nullptr;
    TNVSaveDlg* NVSaveDialog = nullptr;
    void NVOpenDialogFormShow(TObject* Sender);
    void NVSaveDialogFormShow(TObject* Sender);
    void NVOpenDialogFormClose(TObject* Sender);
    void NVSaveDialogFormClose(TObject* Sender);
    // The window's spell checker, or null when it could not be made.
    TOrthosSpell3* SpellChecker = nullptr;
    TMemoSource* MemoSourceDefault = nullptr;
    // Colours the style sheets from the style-sheet scheme, in the editor's font.
    TSyntaxParser* CSSParser = nullptr;
    // The text the message memo shows.
    TCustomMemoSource* MessageSource = nullptr;
    // The text model of the active editor memo, and giving that memo the focus.
    TCustomMemoSource* ActiveEditorSource() const;
    void FocusEditor();
    // Menu items and buttons by their component names.
    TMenuItem* Item(const std::string& Name) const;
    TSpeedButton* Button(const std::string& Name) const;

    // Added fields.
    uint32_t StateFlags = 0;
    THSMemo* ActiveEditorMemo = nullptr;

    // Run-time words of the window.
    int32_t LayoutReady = 0;
    int32_t FullScreenActive = 0;
    TWindowState RememberedState = TWindowState::wsNormal;
    int32_t ResultsCollapsed = 0;
    int32_t IdleHasRun = 0;
    int32_t ViewsPrepared = 0;
    int32_t WindowShown = 0;
    int32_t SelectionGuard = 0;
    // The Open sheet's list no longer shows the open documents.
    bool OpenedListStale = true;
    int LastSelectedListItem = -1;
    // Set when the list's selection event has shown a message since the mouse went down on it.
    bool ClickChoseMessage = true;
    msginfoclass* LastSelectedMessage = nullptr;
    // Only compared against the nodes a tree holds now, never followed on its own.
    THSTreeNode* LastSelectedTreeNode = nullptr;
    std::string LastOpenFolder, LastSaveFolder;
    int32_t StatusCache = 0;
    // The document and results handle whose tag counts the Structure sheet's list shows.
    fileinfoclass* TagCountDocument = nullptr;
    int32_t TagCountHandle = -1;
    // The results handle whose messages the list shows.
    int32_t ShownResultsHandle = -1;
    // The row the messages list shows for a style sheet.
    std::unique_ptr<msginfoclass> StyleSheetNotice;

    // The commands of the Tags, View, Options, Help, Links, Tools and Drag and Drop menus and their
    // tool windows (MainCommands.h); owned as a component of the window.
    class TMainCommands* Commands = nullptr;
    // Puts Before at the caret and After behind it, or both around a stream selection, as one undo
    // step in the active editor memo. 0 when inserted or when no editor memo has the focus, 1 for a
    // read-only document.
    int InsertAroundSelection(const std::string& Before, const std::string& After, int32_t Flags);
    // Dropped files and the global hot key arrive here.
    void WndProc(TMessage& Message) override;

    // The splash window while it exists (the first idle pass frees it).
    static TForm* Splash;

private:
    void BuildMenus();
    void BuildLayout();
    void BuildSpeedBar();
    void BuildFileDialogs();
    void BuildResultsArea(TWinControl* Parent);
    // MainFormSheets.cpp: the resource window's Open, Structure and Tree sheets, the results area's
    // Structure and Scratch sheets, and the pop-ups of their views.
    void BuildResourceSheets();
    void BuildStructureSheet();
    void BuildScratchSheet();
    void BuildPanePopups();
    // MainFormToolButtons.cpp: the editor's button column, the browser pane's tool row and the
    // resource window's buttons.
    void BuildEditorButtons();
    void BuildBrowserToolRow();
    void BuildResourceButtons();
    TPanel* AddPanel(TWinControl* Parent, const std::string& Name, TAlign Align, int Size = 0);
    THSMemo* AddMemo(TWinControl* Parent, const std::string& Name, TCustomMemoSource* Source);
    // The panes and helpers of MainFormPanes.cpp.
    void BuildLinksSheet();
    void BuildShellPane();
    void AttachSystemImageList();
    bool PrepareNextView();
    void CreateSpellChecker();
    void BuildValidateModePopup();
    void BindViewSetup();
    void SetHints();
    // Fills the core's link to this window.
    void LinkToCore();
    TMenuItem* AddMenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption,
                           TShortCut Key, TNotifyEvent Handler, const std::string& Hint = {});
    TSpeedButton* AddButton(TWinControl* Parent, const std::string& Name, int Left, int Top, int Size,
                            const std::string& Hint, TNotifyEvent Handler);
    void SetEnabled(const std::string& Name, bool Enabled);
    void SetChecked(const std::string& Name, bool Checked);
    void SetDown(const std::string& Name, bool Down);
    bool Closing() const;
    // The second editor pane shows its document only while the split view shows the pane; hidden,
    // it holds the empty default text, so the document's changes (the marks of every validation
    // among them) are not laid out for a view nobody sees.
    bool SecondPaneShown() const;
    void ShowSecondPaneDocument();
    void ShowHintPanels(bool Validated);
    TPanel* AddHintPanel(TWinControl* Parent, const std::string& Name, const std::string& Text);
    std::map<std::string, TMenuItem*> FItems;
    std::map<std::string, TSpeedButton*> FButtons;
    friend class TMainCommands;
};

// The main window while it exists.
extern TZELQEForm* ZELQEForm;
