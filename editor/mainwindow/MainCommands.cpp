// Binding of the main window's later commands to its menus and buttons, the view toggles, and
// the Options, Help and Links commands.
#include "editor/mainwindow/MainCommands.h"

#include <functional>
#include <vector>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/ViewSetup.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineDialogs.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileAssociations.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/JobRunners.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/Settings.h"
#include "editor/core/UpdateCheck.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/EditorOptionsForm.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/TagInserterForm.h"
#include "framework/ui/Clipbrd.h"

ZEL_DEFINE_CLASS(TMainCommands, TComponent, {})

namespace {

// Interface word bits the commands here flip (F: interfaceclass::flags, F2: flags2).
constexpr uint32_t FWordWrap = 0x2, FSpeedBar = 0x4, FStatusBar = 0x8, FResource = 0x10, FHotKey = 0x20,
                   FOnTop = 0x40, FLineNumbers = 0x80, FGutter = 0x100, FRightMargin = 0x200,
                   FResults = 0x400, FFullScreen = 0x800, FResourceTop = 0x2000, FSplitView = 0x8000,
                   FBrowser = 0x100000, FHorzSplit = 0x400000, FLineSeparators = 0x10000000;
constexpr uint32_t F2Symbols = 0x8, F2BrowserHorzSplit = 0x8000;

// The maker's pages and the pages of the bodies behind the languages the editor checks.
constexpr const char* MakerHome = "http://www.nortavia.com/";

int32_t OptionsHandle() {
    return p && p->vol ? p->vol->optionsHandle : -1;
}

} // namespace

TMainCommands::TMainCommands(TZELQEForm* AForm) : TComponent(AForm), Form(AForm) {
    SetName("MainCommands");
}

TMainCommands::~TMainCommands() {
    // The tool windows go first, without telling the main window (it is going too).
    for (auto& [Record, Window] : Inserters)
        delete Window;
    Inserters.clear();
    delete DropWindow;
    DropWindow = nullptr;
    delete EditorOptions;
    EditorOptions = nullptr;
}

void TMainCommands::BuildMenus() {
    struct TRow {
        const char* Parent; // "" keeps the item where it is (it must exist)
        std::string Name;
        const char* Caption; // "" keeps the caption
        const char* Shortcut;
        std::function<void(TObject*)> Handler;
    };
    auto Cmd = [](std::function<void()> F) { return [F](TObject*) { F(); }; };
    auto Page = [this](const char* Address) { return [this, Address](TObject*) { OpenWebPage(Address); }; };
    auto Help = [this](const char* Name) { return [this, Name](TObject*) { HelpPage(Name); }; };
    auto Flip = [this](bool Second, uint32_t Mask, TBitOp Op, int32_t Layout) {
        return [=, this](TObject*) { FlipInterfaceBit(Second, Mask, Op, Layout); };
    };
    auto Config = [](int32_t Flag) {
        return [Flag](TObject*) {
            if (Engine.ZELHTMLConfiguration && ZELQEForm)
                Engine.ZELHTMLConfiguration(ZELQEForm->Handle(), OptionsHandle(), Flag);
        };
    };
    std::vector<TRow> Rows = {
        // Tags: the submenus first, then the commands of the table.
        {"TagsMenu", "TagsInsertColor", "Insert &Color", "Alt+I", Cmd([this] { TagsColorClick(); })},
        {"TagsMenu", "TagsDeclarations", "&Declarations", "", nullptr},
        {"TagsMenu", "TagsEntities", "&Entities", "", nullptr},
        {"TagsMenu", "TagsForms", "&Forms", "", nullptr},
        {"TagsMenu", "TagsFrames", "F&rames", "", nullptr},
        {"TagsMenu", "TagsHeadings", "&Headings", "", nullptr},
        {"TagsMenu", "TagsLists", "&Lists", "", nullptr},
        {"TagsMenu", "TagsMedia", "&Media Embedding", "", nullptr},
        {"TagsMenu", "TagsMeta", "Meta Ta&gs", "", nullptr},
        {"TagsMenu", "TagsTables", "&Tables", "", nullptr},
        {"TagsMenu", "TagsTextFormatting", "Te&xt Formatting", "", nullptr},
    };
    for (const TTagCommand& C : TagCommands()) {
        std::string Name(C.Handler);
        Name.resize(Name.size() - 5);
        static const std::map<std::string, const char*> Unlisted = {
            {"TagsTextUClick", "&u"},
            {"TagsFontSizePlus1Click", "Font Size &+1"},
            {"TagsFontSizeMinus1Click", "Font Size &-1"}};
        const char* Caption = *C.Caption ? C.Caption : Unlisted.at(C.Handler);
        Rows.push_back({C.Parent, Name, Caption, C.Shortcut, [this, &C](TObject*) { RunTagCommand(C); }});
    }
    std::vector<TRow> More = {
        {"TagsDeclarations", "TagsWMLPrologue", "&WML 1.2 Prologue", "",
         Cmd([this] { TagsWMLPrologueClick(); })},

        // View toggles.
        {"View1", "ViewFullScreen", "&Full Screen", "F10", Cmd([this] { ViewFullScreenClick(); })},
        {"View1", "ViewGutter", "&Gutter", "", Flip(false, FGutter, FlipBit, 4)},
        {"View1", "ViewLineNumbers", "&Line Numbers", "", Flip(false, FLineNumbers, FlipBit, 4)},
        {"View1", "ViewRightMargin", "&Right Margin", "", Flip(false, FRightMargin, FlipBit, 4)},
        {"View1", "ViewSpeedBar", "&Speed Bar", "", Flip(false, FSpeedBar, FlipBit, 0)},
        {"View1", "ViewStatusBar", "S&tatus Bar", "", Flip(false, FStatusBar, FlipBit, 0)},
        {"View1", "ViewResource", "Resource Window", "Alt+F9", Cmd([this] { ViewResourceClick(); })},
        {"View1", "ViewResults", "Results Window", "F9", Cmd([this] { ViewResultsClick(); })},
        {"View1", "ViewSplitView", "Split Vie&w", "F11", Flip(false, FSplitView, FlipBit, 0)},
        {"View1", "ViewLineSeparators", "Li&ne Separators", "", Flip(false, FLineSeparators, FlipBit, 4)},
        {"View1", "ViewSpecialSymbols", "Spe&cial Symbols", "", Flip(true, F2Symbols, FlipBit, 4)},
        {"View1", "ViewTagInserter", "Tag Inserter", "", Cmd([this] { ViewInserterClick(InserterKindTag); })},
        {"View1", "ViewCSSInserter", "CSS Inserter", "", Cmd([this] { ViewInserterClick(InserterKindCSS); })},
        {"View1", "ViewExternalViewer", "View with External Viewer", "Alt+F8",
         Cmd([this] { ViewExternalBtnClick(); })},
        {"View1", "ViewRefreshResourceWindow", "Refresh Resource Window", "F5",
         [this](TObject* S) { Form->ShellListRefreshClick(S); }},
        {"View1", "ViewRefreshMainWindow", "Refresh Main Window", "", Cmd([this] { Form->Repaint(); })},
        {"View1", "ViewValidationLog", "&View Validation Log", "",
         Cmd([this] { OptionsLoggingViewClick(); })},
        {"", "HideResultsWindow", "Hide Results Window", "", Cmd([this] { HideResultsWindowClick(); })},

        // Edit, search and tools.
        {"", "SearchFindAgain", "Find &Again", "F3", Cmd([this] { SearchFindAgainClick(); })},
        {"", "EditUndoLastMajorChange", "Undo Last Major Change/Last Tool", "",
         Cmd([this] { EditUndoLastMajorChangeClick(); })},
        {"", "ToolsLowercase", "Quick &Lowercase", "Ctrl+F5", Cmd([this] { RunToolCommand(1); })},
        {"", "ToolsUppercase", "Quick &Uppercase", "", Cmd([this] { RunToolCommand(2); })},
        {"", "ToolsStrip", "Quick &Strip HTML Tags", "Ctrl+F7", Cmd([this] { RunToolCommand(3); })},
        {"", "ToolsTemplate", "&Template", "Ctrl+F6", Cmd([this] { RunToolCommand(4); })},
        {"", "ToolsConvert", "&Convert Text File Format...", "Ctrl+F8", Cmd([this] { ToolsConvertClick(); })},
        {"", "ValidateStyleSheetwithStylewright1", "Validate Style Sheet with Stylewright", "",
         Cmd([this] { ValidateStyleSheetwithStylewright1Click(); })},
        {"", "ToolsHelp", "&Help with Tools", "", Help("usingthetools.html")},
        {"", "ToolsSpellCheck", "", "", Cmd([this] { Form->QXSpellCheckInForm(1); })},
        {"", "ToolsSpellCheckAll", "", "", Cmd([this] { Form->QXSpellCheckInForm(2); })},
        {"", "OptionsSpellChecker", "", "", Cmd([] { ConfigureSpellChecker("", 2); })},

        // Drag and drop.
        {"", "DragDropUseValidator", "", "", Cmd([this] { DragDropUseValidatorClick(); })},
        {"", "DragDropUseTool", "", "", Cmd([this] { DragDropUseToolClick(); })},
        {"", "DragDropViewDragDropWindow", "", "", Cmd([this] { DragDropViewDragDropWindowClick(); })},
        {"DragDrop1", "DragDropOptions", "&Drag and Drop Options...", "Ctrl+F3",
         Cmd([] { ShowDragDropToolDialog(0, 0, 0); })},
        {"", "RevalidateLastDocument1", "", "", Cmd([] { RevalidateLastDocument(); })},

        // Options.
        {"", "OptionsEditorOptions", "", "", Cmd([this] { OptionsEditorOptionsClick(); })},
        {"", "OptionsValidatorOptions", "", "", Cmd([] { OpenValidatorOptions(0, 1, 0); })},
        {"", "OptionsHTMLConfigurationEditor", "", "", Cmd([] { OpenConfigurationEditor(0, 0, 0); })},
        {"OptionsConfiguration", "SettingsHTMLConfigReset1", "&Reset", "", Config(4)},
        {"OptionsConfiguration", "SettingsHTMLConfigClean1", "&Clean", "", Config(64)},
        {"OptionsConfiguration", "SettingsHTMLConfigLoad1", "&Load...", "", Config(128)},
        {"OptionsConfiguration", "SettingsHTMLConfigSave1", "&Save", "", Config(32)},
        {"OptionsConfiguration", "SettingsHTMLConfigSaveAs1", "Save &As...", "", Config(16)},
        {"", "OptionsWordWrap", "", "", Cmd([this] { OptionsWordWrapClick(); })},
        {"", "OptionsSyntaxHighlighting", "", "", Cmd([this] { OptionsSyntaxHighlightingClick(); })},
        {"", "OptionsKeepWindowOnTop", "", "", Cmd([this] { OptionsKeepWindowOnTopClick(); })},
        {"Options1", "OptionsEnableHotKeys", "Enable F2 Show &Window Hot-Key", "",
         Cmd([this] { OptionsEnableHotKeysClick(); })},
        {"", "OptionsLoggingEnable", "", "", Cmd([this] { OptionsLoggingEnableClick(); })},
        {"", "OptionsLoggingView", "", "", Cmd([this] { OptionsLoggingViewClick(); })},
        {"", "OptionsLoggingDelete", "", "", Cmd([this] { OptionsLoggingDeleteClick(); })},
        {"", "OptionsAddAssociations", "", "", Cmd([this] { AddFileAssociations(Form->Handle(), 0, 1); })},
        {"", "OptionsRemoveAssociations", "", "", Cmd([this] { RemoveFileAssociations(Form->Handle(), 1); })},
        {"Options1", "OptionsTagInserter", "&Tag Inserter", "", nullptr},
        {"OptionsTagInserter", "OptionsTagInserterEdit", "&Edit Configuration", "",
         Cmd([this] { InserterCommand(InserterKindTag, 1); })},
        {"OptionsTagInserter", "OptionsTagInserterReload", "&Reload Configuration", "",
         Cmd([this] { InserterCommand(InserterKindTag, 2); })},
        {"Options1", "OptionsCSSInserter", "CSS Inserter", "", nullptr},
        {"OptionsCSSInserter", "OptionsCSSInserterEdit", "&Edit Configuration", "",
         Cmd([this] { InserterCommand(InserterKindCSS, 1); })},
        {"OptionsCSSInserter", "OptionsCSSInserterReload", "&Reload Configuration", "",
         Cmd([this] { InserterCommand(InserterKindCSS, 2); })},

        // Links.
        {"", "LinksZELHome", "", "", Page(MakerHome)},
        {"", "LinksDownload", "", "", Page("http://www.nortavia.com/download.html")},
        {"Links1", "LinksOrdering", "&Ordering Information Page", "",
         Page("http://www.nortavia.com/order.html")},
        {"", "LinksSupport", "", "", Page("http://www.nortavia.com/support.html")},
        {"Links1", "LinksN1", "-", "", nullptr},
        {"Links1", "LinksInternetContentRatingAssociation", "&Internet Content Rating Association", "",
         Page(ContentRatingSite)},
        {"Links1", "LinksSection508Accessibility", "Section 508 Accessibility", "",
         Page("https://www.section508.gov/")},
        {"Links1", "LinksWPForum", "W@P &Forum", "", Page("http://www.wapforum.org/")},
        {"Links1", "LinksWorldWideWebConsortium", "World Wide We&b Consortium", "",
         Page("https://www.w3.org/")},
        {"Links1", "LinksSpecs", "Specifications", "", nullptr},
        {"LinksSpecs", "LinksSpecsHTML401", "HTML 4.01", "", Page("https://www.w3.org/TR/html401/")},
        {"LinksSpecs", "LinksSpecsXHTML10", "XHTML 1.0", "", Page("https://www.w3.org/TR/xhtml1/")},
        {"LinksSpecs", "LinksSpecsXHTML11", "XHTML 1.1", "", Page("https://www.w3.org/TR/xhtml11/")},
        {"LinksSpecs", "LinksSpecsCSS1", "CSS1", "", Page("https://www.w3.org/TR/CSS1/")},
        {"LinksSpecs", "LinksSpecsCSS2", "CSS2", "", Page("https://www.w3.org/TR/CSS2/")},

        // Help.
        {"", "HelpContents", "", "", Help("contents.html")},
        {"", "HelpOrdering", "", "", Help("orderinginformation.html")},
        {"Help1", "HelpOnline", "O&nline Help Contents", "", Page("http://www.nortavia.com/documentation/")},
        {"", "HelpCheckVersion", "", "", [this](TObject* S) { HelpCheckVersionClick(S); }},
        {"Help1", "CopyProgramInfotoClipboard1", "Copy Program Info to Clipboard", "",
         Cmd([this] { CopyProgramInfotoClipboard1Click(); })},
    };
    Rows.insert(Rows.end(), More.begin(), More.end());

    for (TRow& R : Rows) {
        TMenuItem* I = Form->Item(R.Name);
        if (!I) {
            TMenuItem* Parent = Form->Item(R.Parent);
            if (!Parent)
                continue;
            I = Form->AddMenuItem(Parent, R.Name, R.Caption, TextToShortCut(R.Shortcut), nullptr);
        } else {
            if (*R.Caption)
                I->SetCaption(R.Caption);
            if (*R.Shortcut)
                I->SetShortCut(TextToShortCut(R.Shortcut));
        }
        if (R.Handler) {
            I->OnClick = R.Handler;
            I->SetEnabled(true);
        }
    }

    // The pop-up menus of the speed bar and the status bar.
    auto Popup = [this](TPopupMenu* Menu, const char* HideName, const char* HideCaption, const char* ViewName,
                        const char* ViewCaption, uint32_t Mask) {
        Form->AddMenuItem(Menu->Items(), HideName, HideCaption, 0,
                          [this, Mask](TObject*) { FlipInterfaceBit(false, Mask, ClearBit, 0); });
        TMenuItem* View = Form->AddMenuItem(Menu->Items(), ViewName, ViewCaption, 0, [this, Mask](TObject*) {
            FlipInterfaceBit(false, Mask, FlipBit, 0);
        });
        Menu->OnPopup = [View, Mask](TObject*) {
            View->SetChecked(p && p->iface && (p->iface->flags & Mask));
        };
    };
    Popup(Form->SpeedBarPopupMenu, "HideSpeedBar", "&Hide Speed Bar", "SpeedBarPopupViewSpeedBar",
          "&Speed Bar", FSpeedBar);
    Popup(Form->StatusBarPopupMenu, "HideStatusBar", "&Hide Status Bar", "StatusBarPopupViewStatusBar",
          "S&tatus Bar", FStatusBar);

    // Editor pop-up: the selection's case.
    if (TMenuItem* Root = Form->EditorPopupMenu->Items()) {
        TMenuItem* Sel = Form->AddMenuItem(Root, "EditorPopupSelection", "&Selection", 0, nullptr);
        Form->AddMenuItem(Sel, "EditorPopupLowercase", "&Lowercase", 0, [this](TObject*) {
            if (TCustomMemoSource* S = Form->ActiveEditorSource())
                S->LowerCaseBlock();
        });
        Form->AddMenuItem(Sel, "EditorPopupUppercase", "&Uppercase", 0, [this](TObject*) {
            if (TCustomMemoSource* S = Form->ActiveEditorSource())
                S->UpperCaseBlock();
        });
        Form->AddMenuItem(Sel, "EditorPopupSpellCheck", "S&pell Check", 0,
                          [this](TObject*) { Form->QXSpellCheckInForm(9); });
    }

    BuildEditorPopup();

    // Buttons on the pane edges and the speed bar.
    auto Bind = [this](const char* Name, TNotifyEvent Handler) {
        if (TSpeedButton* B = Form->Button(Name)) {
            B->OnClick = std::move(Handler);
            B->SetEnabled(true);
        }
    };
    Bind("SpellCheckSmallBtn", [this](TObject*) { Form->QXSpellCheckInForm(1); });
    Bind("SpeedButton1", [this](TObject*) { ViewResourceClick(); });
    Bind("SpeedButton2", [this](TObject*) { HideResultsWindowClick(); });
    Bind("HelpContentsBtn", Help("contents.html"));
    // The editor's button column; a toggle's state follows its setting after the command.
    Bind("ViewExternalBtn", Cmd([this] { ViewExternalBtnClick(); }));
    Bind("ViewLineNumbersBtn", Flip(false, FLineNumbers, FlipBit, 4));
    Bind("OptionsWordWrapBtn", Cmd([this] { OptionsWordWrapClick(); }));
    Bind("ViewGutterBtn", Flip(false, FGutter, FlipBit, 4));
    Bind("ViewSymbolsButton", Flip(true, F2Symbols, FlipBit, 4));
    Bind("ViewSplitViewBtn", Flip(false, FSplitView, FlipBit, 0));
    Bind("ViewHorzSplitBtn", Flip(false, FHorzSplit, FlipBit, 0));
    Bind("ValidateBtn", [this](TObject* S) { Form->ToolsValidateClick(S); });
    Bind("IndentBtn", Cmd([this] {
             if (TCustomMemoSource* S = Form->ActiveEditorSource())
                 S->IndentBlock();
         }));
    Bind("UnindentBtn", Cmd([this] {
             if (TCustomMemoSource* S = Form->ActiveEditorSource())
                 S->OutDentBlock();
         }));
    Bind("ViewFullScreenBtn", Cmd([this] { ViewFullScreenClick(); }));
    Bind("ViewResourceBtn", Cmd([this] { ViewResourceClick(); }));
    Bind("ViewBrowserBtn", Flip(false, FBrowser, FlipBit, 0));
    Bind("LastTabBtn", Cmd([this] { FirstOrLastTab(true); }));
    Bind("FirstTabBtn", Cmd([this] { FirstOrLastTab(false); }));
    Bind("FileCloseSpeedBtn", [this](TObject* S) { Form->FileCloseClick(S); });
    // The browser pane's row: its place and closing it work; the browser's own commands have no
    // browser to act on and stay disabled.
    Bind("WBHorzSplitBtn", Flip(true, F2BrowserHorzSplit, FlipBit, 0));
    Bind("WBCloseBtn", Flip(false, FBrowser, ClearBit, 0));
    Bind("MoveResourceToTopBtn", Flip(false, FResourceTop, SetBit, 0));
    Bind("MoveResourceToLeftBtn", Flip(false, FResourceTop, ClearBit, 0));
}

void TMainCommands::Attach() {
    // Hidden in the layout, reachable only by their settings.
    for (const char* Name : {"OptionsKeepWindowOnTop", "OptionsEnableHotKeys"})
        if (TMenuItem* I = Form->Item(Name))
            I->SetVisible(false);
    DragAcceptFiles(Form->Handle(), TRUE);
    // The inserter windows come back with the idle pass that follows the program's activation
    // (every pass but the first shows those due), so the main window paints before them.
    if (Application) {
        auto Deactivated = Application->OnDeactivate;
        Application->OnDeactivate = [this, Deactivated](TObject* S) {
            if (Deactivated)
                Deactivated(S);
            if (p && p->vol && !p->vol->closing)
                UpdateInserters(16);
        };
    }
    TEditorLink& L = EditorLink();
    L.OptionsEditorOptionsClick = [this] { OptionsEditorOptionsClick(); };
    L.OpenValidatorOptions = [] { OpenValidatorOptions(0, 1, 0); };
    L.OptionsHTMLConfigurationEditorClick = [] { OpenConfigurationEditor(0, 0, 0); };
    L.AddFileAssociations = [this] { AddFileAssociations(Form->Handle(), 0, 1); };
    L.RemoveFileAssociations = [this] { RemoveFileAssociations(Form->Handle(), 1); };
    L.DragDropFormHandle = [this]() -> HWND {
        return DropWindow && DropWindow->HandleAllocated() ? DropWindow->Handle() : nullptr;
    };
    L.ShowDragDropToolDialog = [](HWND Owner) -> int {
        if (!p || !p->vol)
            return -1;
        struct TOwnerGuard {
            ~TOwnerGuard() {
                if (p && p->vol)
                    p->vol->dialogOwner = nullptr;
            }
        } Guard;
        p->vol->dialogOwner = Owner;
        TDragDropToolForm Dialog(nullptr);
        return Dialog.ShowModal();
    };
    UpdateInserters(1 | 2);
    UpdateDropWindow();
    Form->UpdateMenuChecks();
}

// --- view toggles ---------------------------------------------------------------------------------

void TMainCommands::FlipInterfaceBit(bool Second, uint32_t Mask, TBitOp Op, int32_t LayoutFlags) {
    if (!p || !p->iface)
        return;
    uint32_t& Word = Second ? p->iface->flags2 : p->iface->flags;
    if (Op == FlipBit)
        Word ^= Mask;
    else if (Op == SetBit)
        Word |= Mask;
    else
        Word &= ~Mask;
    Form->ArrangePanels(LayoutFlags);
}

void TMainCommands::ViewResultsClick() {
    FlipInterfaceBit(false, FResults, FlipBit, 0);
    // While the pane is collapsed its views are left alone.
    if (p && p->iface && (p->iface->flags & FResults))
        Form->RefreshResults(Form->GetCurrentFileInfo(), 0);
}

void TMainCommands::HideResultsWindowClick() {
    FlipInterfaceBit(false, FResults, ClearBit, 0);
    SafeSetFocus(Form->ActiveEditorMemo);
}

void TMainCommands::ViewFullScreenClick() {
    FlipInterfaceBit(false, FFullScreen, FlipBit, 0);
    Form->SetActiveControl(Form->ActiveEditorMemo);
}

void TMainCommands::ViewResourceClick() {
    FlipInterfaceBit(false, FResource, FlipBit, 0);
    if (!Form->ActiveControl())
        SafeSetFocus(Form->ActiveEditorMemo);
}

// --- options ----------------------------------------------------------------------------------------

void TMainCommands::OptionsWordWrapClick() {
    if (p && p->iface)
        p->iface->flags ^= FWordWrap;
    Form->UpdateMenuChecks();
    Form->ArrangePanels(0);
}

void TMainCommands::OptionsSyntaxHighlightingClick() {
    if (!p || !p->config || !p->vol)
        return;
    p->config->flags ^= OptSyntaxColouring;
    Form->UpdateMenuChecks();
    fileinfoclass::UpdateAllSyntaxParsers(&p->vol->documents);
}

void TMainCommands::OptionsEditorOptionsClick() {
    if (EditorOptions && EditorOptions->Showing()) {
        SetForegroundWindow(EditorOptions->Handle());
        return;
    }
    if (!EditorOptions)
        EditorOptions = new TEditorOptionsForm(nullptr);
    if (EditorOptions->ShowModal() != mrOk || !p || !p->vol)
        return;
    WindowControl Busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
    Busy.SetCursor(crHourGlass);
    WriteSettings();
    // The options come from the settings records; any document record can apply them.
    if (auto* Any = static_cast<fileinfoclass*>(p->vol->documents.at(0)))
        for (TCustomMemoSource* Pad : {p->vol->scratchPad1, p->vol->scratchPad2})
            if (Pad)
                Any->ApplyEditorOptions(Pad, 1);
    fileinfoclass::UpdateAllSyntaxParsers(&p->vol->documents);
    Form->ArrangePanels(2);
    Form->ResultsListRefreshClick(nullptr);
}

void TMainCommands::OptionsLoggingEnableClick() {
    if (Engine.ZELGetFlag && Engine.ZELSetFlag) {
        int32_t On = Engine.ZELGetFlag(OptionsHandle(), 1006, 8);
        Engine.ZELSetFlag(OptionsHandle(), 1006, 8, On > 0 ? 0 : 1);
    }
    Form->UpdateMenuChecks();
}

namespace {
std::string LogFileName() {
    const char* Name = Engine.ZELGetString ? Engine.ZELGetString(OptionsHandle(), 7008) : nullptr;
    return Name ? Name : "";
}
} // namespace

void TMainCommands::OptionsLoggingViewClick() {
    const std::string Name = LogFileName();
    if (CheckLogFileExists(Form->Handle(), Name))
        Form->AddNewFileTab(nullptr, Name.c_str(), 0);
}

void TMainCommands::OptionsLoggingDeleteClick() {
    const std::string Name = LogFileName();
    if (!CheckLogFileExists(Form->Handle(), Name))
        return;
    if (Application->MessageBox("Are you sure you want to delete the log file?", "Orvalent: Delete Log File?",
                                MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
        return;
    TTabControl* Tabs = nullptr;
    if (fileinfoclass* Open = Form->FindOpenDocument(Name, &Tabs)) {
        if (Application->MessageBox(
                "The log file is currently opened in the editor. Deleting the log file will close it.",
                "Orvalent: Log File Will Be Closed In Editor",
                MB_OKCANCEL | MB_ICONQUESTION | MB_SETFOREGROUND) != IDOK)
            return;
        if (Form->CloseFileTab(Tabs, Open->tabIndex, 3) != 0)
            return;
    }
    if (!DeleteFileA(Name.c_str()))
        Form->ShowMessageBox(
            "An error occurred while attempting to delete the log file. The log file could not be deleted.",
            "Orvalent: Error Deleting Log File", BoxStop);
}

void TMainCommands::OptionsKeepWindowOnTopClick() {
    if (!p || !p->iface)
        return;
    p->iface->flags ^= FOnTop;
    if (p->iface->flags & FOnTop)
        Form->ShowMessageBox(
            "Keeping the editor window on top may hide smaller windows, such as the Drag and "
            "Drop Window (if it is being viewed), underneath the editor window.",
            "Orvalent: Notice", BoxInformation | BoxNotInStatus);
    Form->UpdateMenuChecks();
}

void TMainCommands::OptionsEnableHotKeysClick() {
    if (!p || !p->iface)
        return;
    p->iface->flags ^= FHotKey;
    EnableHotKey(Form->Handle(),
                 (p->iface->flags & FHotKey) && Application && !Application->Active() ? 1 : 0);
    Form->UpdateMenuChecks();
}

void TMainCommands::HotKeyPressed() {
    if (!p || !p->vol || p->vol->closing)
        return;
    ShowWindow(Form->Handle(), IsIconic(Form->Handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Form->Handle());
    SetActiveWindow(Form->Handle());
}

void TMainCommands::HelpPage(const char* Page) {
    std::string Folder =
        p && p->vol && p->vol->documentationFolder.getString() ? p->vol->documentationFolder.getString() : "";
    ShowHelpPage(Form->Handle(), Page, Folder, 0);
}

void TMainCommands::OpenWebPage(const char* Address) {
    OpenDocument(Form->Handle(), Address);
}

void TMainCommands::HelpCheckVersionClick(TObject* Sender) {
    if (IsUpdateCheckRunning())
        return;
    if (p && p->vol) {
        LoadNetworkConfig(&p->vol->network, 2);
        UpdateCheck().network = &p->vol->network;
    }
    if (Engine.ZELGetString)
        if (const char* V = Engine.ZELGetString(OptionsHandle(), 7001))
            UpdateCheck().configVersion = V;
    int32_t Flags = 0;
    if (Sender && Sender == Form->Item("HelpCheckVersion"))
        Flags = UpdateCheckFromMenu;
    else if (Sender && Sender == Form->Item("HelpAboutZEL"))
        Flags = UpdateCheckFromAbout;
    // The window stays usable while the check waits; the command is not offered twice at once.
    TMenuItem* Item = Form->Item("HelpCheckVersion");
    if (Item)
        Item->SetEnabled(false);
    RunUpdateCheck(Form->Handle(), Flags);
    if (ZELQEForm && (Item = ZELQEForm->Item("HelpCheckVersion")) != nullptr)
        Item->SetEnabled(true);
    if (ZELQEForm)
        ZELQEForm->SetCaption(ZELQEForm->BuildTitle());
}

void TMainCommands::CopyProgramInfotoClipboard1Click() {
    const char* Dll = Engine.ZELGetString3 ? Engine.ZELGetString3(17000) : nullptr;
    const char* Cfg = Engine.ZELGetString ? Engine.ZELGetString(OptionsHandle(), 7001) : nullptr;
    SYSTEMTIME Now;
    GetLocalTimeCopy(&Now);
    std::string Date = GetDateString(&Now);
    std::string Time = GetTimeString(&Now);
    std::string Text = "PROGRAM NAME: ZEL Orvalent Lite\nVERSIONSTRING: 3.00\nVERSIONINTERNALSTRING: 3.0000\n"
                       "DLLVERSIONSTRING: " +
                       std::string(Dll ? Dll : "") + "\nZELCFGVERSION: " + (Cfg ? Cfg : "") +
                       "\nDATE: " + Date + "\nTIME: " + Time + "\n";
    Clipboard().SetAsText(Text);
    Form->ShowMessageBox(
        "Program information has been copied to the Windows clipboard. You can now paste this "
        "information into emails that you send to Nortavia.",
        "Orvalent: Information Copied", BoxInformation);
}

// --- editor and pane handlers -----------------------------------------------------------------------

void TMainCommands::SearchFindAgainClick() {
    auto* Memo = dynamic_cast<THSMemo*>(Form->ActiveControl());
    if (Memo && Memo->GetSource())
        Memo->GetSource()->FindNext();
}

void TMainCommands::FirstOrLastTab(bool Last) {
    TTabControl* Tabs = Form->GetActiveTabControl();
    if (!Tabs)
        return;
    int Count = static_cast<int>(Tabs->Tabs().size());
    if (Count > 0)
        Form->SelectTab(Tabs, Last ? Count - 1 : 0, 0);
}
