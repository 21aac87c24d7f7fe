// The main window and its small windows inside the test process: documents in tabs, the status
// bar, the go-to-line dialog, the hand-over window and the splash.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <set>

#include "UiTestSupport.h"
#include "editor/mainwindow/tests/MainWindowFixture.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/Settings.h"
#include "editor/mainwindow/DragDropForms.h"
#include "editor/mainwindow/GoToLineForm.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MessageWindow.h"
#include "editor/mainwindow/MySource.h"
#include "editor/mainwindow/SplashForm.h"
#include "editor/core/CommandLine.h"
#include "editor/core/ViewSetup.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/OpenDialogForm.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"

namespace fs = std::filesystem;

namespace {

TEST_F(MainWindowTest, StartsWithTheEditorFocusedAndOneUntitledDocument) {
    // Idle processing does nothing while no control has the focus.
    ASSERT_NE(Form->ActiveControl(), nullptr);
    EXPECT_EQ(Form->ActiveControl()->Name(), "HSMemo");
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"[Untitled]"});
    EXPECT_EQ(Form->TabControl2->Tabs(), TabTexts()) << "both panes show the one document list";
    EXPECT_EQ(Form->BuildTitle(), "ZEL Orvalent Lite v3.00 - [Untitled]");
}

TEST_F(MainWindowTest, OpeningAFileReplacesTheUntouchedUntitledDocumentAndOpensOnlyOnce) {
    std::string Page = WriteFile("Page.html", "<p>text</p>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"Page.html"});
    std::string Upper = Page;
    for (char& C : Upper)
        C = static_cast<char>(toupper(static_cast<unsigned char>(C)));
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Upper.c_str(), 0), 0);
    EXPECT_EQ(TabTexts().size(), 1u) << "the same file in other case is the open one";
    EXPECT_EQ(p->iface->reopen.GetText(0), Page);
    // Closing the last document leaves a new untitled one.
    EXPECT_EQ(Form->CloseFileTab(Form->TabControl1, -1, 1), 0);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"[Untitled]"});
}

TEST_F(MainWindowTest, AnEditedUntitledDocumentStaysWhenAFileOpens) {
    Form->ActiveEditorSource()->InsertText("draft");
    std::string Page = WriteFile("a.html", "<p>a</p>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"[Untitled]**", "a.html"}));
}

TEST_F(MainWindowTest, AFileThatCannotBeOpenedLeavesNoTab) {
    std::string Missing = (fs::path(OutputDir()) / "missing.html").string();
    EXPECT_EQ(Form->AddNewFileTab(nullptr, Missing.c_str(), 0), -6);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"[Untitled]"});
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Error Opening File");
}

// However a file is named to the window (forward slashes as a Unix shell passes them, a relative
// name, other case), the tab, the caption, the status line, the recent list and the questions show
// the platform's full form, and the document is found open under any of them.
TEST_F(MainWindowTest, FileNamesTakeThePlatformsFullForm) {
    const std::string Full = WriteFile("Page.html", "<p>x</p>\r\n");
    std::string Slashed = Full;
    std::replace(Slashed.begin(), Slashed.end(), '\\', '/');
    char Saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, Saved);
    TScopeGuard Restore([&] { SetCurrentDirectoryA(Saved); });
    ASSERT_TRUE(SetCurrentDirectoryA(OutputDir().c_str()));
    for (const std::string& Given : {Slashed, std::string("sub/../Page.html"), std::string("PAGE.HTML")}) {
        SCOPED_TRACE(Given);
        ASSERT_EQ(Form->AddNewFileTab(nullptr, Given.c_str(), 0), 0);
        EXPECT_EQ(TabTexts(), std::vector<std::string>{"Page.html"}) << "one document, whatever its name";
        EXPECT_EQ(Form->BuildTitle(), "ZEL Orvalent Lite v3.00 - " + Full);
        EXPECT_STREQ(Form->GetCurrentFileInfo()->fileName.getString(), Full.c_str());
        EXPECT_STREQ(p->iface->reopen.GetText(0), Full.c_str());
        int Listed = 0;
        for (int32_t I = 0; I < p->iface->reopen.Count(); ++I)
            Listed += lstrcmpiA(p->iface->reopen.GetText(I), Full.c_str()) == 0;
        EXPECT_EQ(Listed, 1) << "the recent list names the file once";
    }
    // A question names the file the same way.
    std::string Odd = WriteFile("notes.odd", "x");
    std::replace(Odd.begin(), Odd.end(), '\\', '/');
    BoxAnswer = IDNO;
    EXPECT_EQ(Form->AddNewFileTab(nullptr, Odd.c_str(), 0), 1);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text.rfind("The file \"" + (fs::path(OutputDir()) / "notes.odd").string() + "\"", 0),
              0u)
        << Boxes[0].Text;
}

TEST_F(MainWindowTest, TheSecondPaneShowsItsDocumentOnlyWhileTheSplitViewShowsIt) {
    std::string Page = WriteFile("a.html", "<p>a</p>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    ASSERT_NE(Doc, nullptr);
    EXPECT_EQ(Form->HSMemo->GetSource(), Doc->memoSource);
    EXPECT_NE(Form->HSMemo2->GetSource(), Doc->memoSource) << "the hidden pane holds no document";
    p->iface->flags |= 0x8000;
    Form->ArrangePanels(0);
    EXPECT_EQ(Form->HSMemo2->GetSource(), Doc->memoSource);
    EXPECT_EQ(Form->TabControl2->Tabs(), std::vector<std::string>{"a.html"});
    // Hiding the pane that has the commands hands them to the first pane.
    Form->ActiveEditorMemo = Form->HSMemo2;
    p->iface->flags &= ~0x8000u;
    Form->ArrangePanels(0);
    EXPECT_NE(Form->HSMemo2->GetSource(), Doc->memoSource);
    EXPECT_EQ(Form->ActiveEditorMemo, Form->HSMemo);
    EXPECT_EQ(Form->ActiveEditorSource(), Doc->memoSource);
    EXPECT_EQ(Form->GetCurrentFileInfo(), Doc);
}

// --- the open and save dialogs ------------------------------------------------------------------

namespace {

// Presses a button of a shown dialog the way the platform reports a click.
void PostClick(TCustomForm& Form, TButton* Button) {
    PostMessageA(Form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Button->Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Button->Handle()));
}

// The dialogs make the folder chosen in them the current one, as they do for the user; the test's
// folder goes at its end, so the one before comes back.
class TCurrentFolderKept {
public:
    TCurrentFolderKept() { GetCurrentDirectoryA(MAX_PATH, FFolder); }
    ~TCurrentFolderKept() { SetCurrentDirectoryA(FFolder); }

private:
    char FFolder[MAX_PATH] = {};
};

std::string Folded(std::string Path) {
    while (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
    for (char& C : Path)
        C = static_cast<char>(tolower(static_cast<unsigned char>(C)));
    return Path;
}

} // namespace

TEST_F(MainWindowTest, OpenDialogShowsTheStoredListAndOpensEveryChosenFile) {
    TCurrentFolderKept Kept;
    WriteFile("a.html", "<p>a</p>\r\n");
    WriteFile("b.html", "<p>b</p>\r\n");
    p->iface->openDialogViewStyle = 2; // list
    p->iface->openDialogSortColumn = 1;
    p->config->defaultFileExtension = "html";
    Form->ShellTree->SetSelectedPathName(OutputDir());
    const TNVOpenOptions Before = Form->NVOpenDialog->Options;
    struct {
        std::string Caption, Folder;
        TNVViewStyle Style = TNVViewStyle::vsReport;
        bool ListDown = false, DetailsDown = true, Multiple = false;
        int Sort = -1;
    } Seen;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        Seen.Caption = D.Caption();
        Seen.Folder = D.ShellList()->Folder().GetPathName();
        Seen.Style = D.ShellList()->ViewStyle();
        Seen.ListDown = D.ListButton()->Down();
        Seen.DetailsDown = D.DetailsButton()->Down();
        Seen.Sort = D.ShellList()->SortColumn();
        Seen.Multiple = (D.Options() & nvofAllowMultiselect) != 0;
        // The user turns to the details view and picks two files.
        D.SetView(3);
        D.FileNameEdit()->SetText("\"a.html\" \"b.html\"");
        PostClick(D, D.OpenButton());
    });
    Form->FileOpenClick(nullptr);
    SetModalHook(nullptr);
    EXPECT_EQ(Seen.Caption, "Select File or Files to Open");
    EXPECT_EQ(Folded(Seen.Folder), Folded(OutputDir())) << "the folder the resource window shows";
    EXPECT_EQ(Seen.Style, TNVViewStyle::vsList);
    EXPECT_TRUE(Seen.ListDown);
    EXPECT_FALSE(Seen.DetailsDown);
    EXPECT_EQ(Seen.Sort, 1);
    EXPECT_TRUE(Seen.Multiple);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.html", "b.html"}));
    EXPECT_EQ(Form->NVOpenDialog->Options, Before) << "multiple selection only while the dialog shows";
    EXPECT_EQ(p->iface->openDialogViewStyle, 3) << "the view the user left is kept";
    EXPECT_EQ(Folded(Form->LastOpenFolder), Folded(OutputDir()));

    // A name that is not there: the default extension is added and, asked, the file is made.
    BoxAnswer = IDYES;
    bool DetailsDown = false;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        DetailsDown = D.DetailsButton()->Down();
        D.FileNameEdit()->SetText("new");
        PostClick(D, D.OpenButton());
    });
    Form->FileOpenClick(nullptr);
    SetModalHook(nullptr);
    EXPECT_TRUE(DetailsDown) << "the report style presses the details button";
    std::string Made = (fs::path(OutputDir()) / "new.html").string();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Cannot Open File");
    EXPECT_EQ(Boxes[0].Text, "Cannot open the file \"" + Made +
                                 "\". The file may not exist. Do you want to create this file?");
    EXPECT_TRUE(fs::exists(Made));
    EXPECT_EQ(TabTexts().back(), "new.html");

    // Cancel opens nothing.
    SetModalHook([](TCustomForm& F) { F.SetModalResult(mrCancel); });
    Form->FileOpenClick(nullptr);
    SetModalHook(nullptr);
    EXPECT_EQ(TabTexts().size(), 3u);
}

TEST_F(MainWindowTest, SaveAsRefusesAnOpenDocumentsNameAndAsksAgain) {
    TCurrentFolderKept Kept;
    std::string Open = WriteFile("open.html", "<p>open</p>\r\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Open.c_str(), 0), 0);
    ASSERT_EQ(Form->AddNewFileTab(nullptr, nullptr, 0), 0);
    Form->ActiveEditorSource()->InsertText("draft");
    p->config->defaultFileExtension = "html";
    Form->ShellTree->SetSelectedPathName(OutputDir());
    std::vector<std::string> Captions, Folders;
    std::vector<bool> DetailsDown;
    SetModalHook([&](TCustomForm& F) {
        auto& D = static_cast<TNVFrmOpenDlg&>(F);
        Captions.push_back(D.Caption());
        Folders.push_back(Folded(D.ShellList()->Folder().GetPathName()));
        DetailsDown.push_back(D.DetailsButton()->Down());
        D.FileNameEdit()->SetText(Captions.size() == 1 ? "open.html" : "draft");
        PostClick(D, D.OpenButton());
    });
    EXPECT_EQ(Form->SaveFileTab(nullptr, -1, 0), 0);
    SetModalHook(nullptr);
    ASSERT_EQ(Captions.size(), 2u) << "the refused name brings the dialog back";
    EXPECT_EQ(Captions[0], "Save As");
    EXPECT_EQ(Folders[0], Folded(OutputDir()));
    EXPECT_EQ(DetailsDown, (std::vector<bool>{true, true})) << "the stored report view";
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Cannot Save");
    EXPECT_EQ(Boxes[0].Text, "Cannot save as \"" + Open + "\" because that file is opened in the editor.");
    std::string Saved = (fs::path(OutputDir()) / "draft.html").string();
    std::ifstream In(Saved, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(In)), {}).rfind("draft", 0), 0u);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"open.html", "draft.html"}));
    EXPECT_EQ(Folded(Form->LastSaveFolder), Folded(OutputDir()));
}

TEST_F(MainWindowTest, CloseAsksAboutChangesAndNoKeepsTheFileAsItWas) {
    std::string Page = WriteFile("b.html", "<p>b</p>\n");
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    Form->ActiveEditorSource()->InsertText("x");
    BoxAnswer = IDCANCEL;
    EXPECT_EQ(Form->CloseFileTab(Form->TabControl1, -1, 1), 1);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Save changes to \"" + Page + "\"?");
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"b.html**"});
    BoxAnswer = IDNO;
    EXPECT_EQ(Form->CloseFileTab(Form->TabControl1, -1, 1), 0);
    std::ifstream In(Page, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "<p>b</p>\n");
}

TEST_F(MainWindowTest, StatusPanelsShowOneBasedCaretAndKeepTheStateText) {
    Form->ActiveEditorSource()->InsertText("ab\ncd");
    Form->UpdateStatusPanels(StatusCaret | StatusInsertMode, false, false);
    EXPECT_EQ(Form->StatusBar->Panels[kCaretPanel].Text, "2: 3");
    EXPECT_EQ(Form->StatusBar->Panels[kInsertPanel].Text, "INS");
    Form->ActiveEditorSource()->JumpTo(0, 0);
    Form->UpdateStatusPanels(StatusCaret, false, false);
    EXPECT_EQ(Form->StatusBar->Panels[kCaretPanel].Text, "1: 1");
    Form->UpdateStatusPanels(StatusFromArguments, false, true);
    EXPECT_EQ(Form->StatusBar->Panels[kStatePanel].Text, "READ ONLY");
    Form->UpdateStatusPanels(StatusFromArguments, true, false);
    EXPECT_EQ(Form->StatusBar->Panels[kStatePanel].Text, "UNCHANGED");
    // The same state twice does not write the panel again.
    Form->StatusBar->SetPanelText(kStatePanel, "marker");
    Form->UpdateStatusPanels(StatusUnchanged, false, false);
    EXPECT_EQ(Form->StatusBar->Panels[kStatePanel].Text, "marker");
}

int32_t ZELAPI FakeCounts(int32_t, int32_t Id) {
    switch (Id) {
    case 6000:
        return 3;
    case 6001:
        return 1;
    default:
        return 0;
    }
}

TEST_F(MainWindowTest, ResultCountsUseSingularOnlyForOne) {
    auto Saved = Engine.ZELGetIntegerEZ;
    Engine.ZELGetIntegerEZ = &FakeCounts;
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    ASSERT_NE(Doc, nullptr);
    Doc->resultsHandle = 7;
    Form->ShowResultCounts();
    EXPECT_EQ(Form->StatusText(), "3 errors, 1 warning, 0 messages, 0 comments.");
    Doc->resultsHandle = -1;
    Form->ShowResultCounts();
    EXPECT_EQ(Form->StatusText(), "");
    Engine.ZELGetIntegerEZ = Saved;
}

// Every command a user can see in the menus and pop-ups does something: none is shown without a
// handler (a command that cannot work yet stays hidden or disabled).
TEST_F(MainWindowTest, EveryVisibleCommandHasAHandler) {
    std::vector<std::string> Idle;
    std::function<void(TMenuItem*, const std::string&)> Walk = [&](TMenuItem* Item, const std::string& Path) {
        for (int I = 0; I < Item->Count(); ++I) {
            TMenuItem* C = Item->Items(I);
            if (!C->Visible() || C->IsLine())
                continue;
            std::string Here = Path + " > " + C->Caption();
            // The reopen list is a submenu even while it is still empty.
            if (C->Count() > 0 || C->Name() == "FileReopen")
                Walk(C, Here);
            else if (!C->OnClick)
                Idle.push_back(Here + " (" + C->Name() + ")");
        }
    };
    Walk(Form->MainMenu1->Items(), "Main");
    Walk(Form->EditorPopupMenu->Items(), "Editor pop-up");
    Walk(Form->ResultsPopupMenu->Items(), "Results pop-up");
    EXPECT_TRUE(Idle.empty()) << ::testing::PrintToString(Idle);
}

TEST_F(MainWindowTest, IdlePassEnablesCommandsByTheDocumentsState) {
    auto Enabled = [&](const char* Name) {
        if (TMenuItem* I = Form->Item(Name))
            return I->Enabled();
        TSpeedButton* B = Form->Button(Name);
        EXPECT_NE(B, nullptr) << Name;
        return B && B->Enabled();
    };
    TCustomMemoSource* S = Form->ActiveEditorSource();
    S->LoadFromString("<p>some text</p>\n");
    S->SetSelection(stStreamSel, 3, 0, 7, 0);
    bool Done = false;
    // A read-only document keeps what only reads it and loses what would change it.
    S->SetROnly(true);
    Form->AppIdle(nullptr, Done);
    for (const char* Name : {"EditCopy", "EditCopyBtn", "SearchFind", "FilePrint", "FilePrintBtn"})
        EXPECT_TRUE(Enabled(Name)) << Name;
    for (const char* Name :
         {"EditCut", "EditPaste", "SearchReplace", "TagsMenu", "ToolsLowercase", "ToolsUppercase",
          "ToolsStrip", "ToolsTemplate", "ToolsSpellCheck", "SpellCheckBigBtn"})
        EXPECT_FALSE(Enabled(Name)) << Name;
    S->SetROnly(false);
    Form->AppIdle(nullptr, Done);
    for (const char* Name : {"EditCut", "SearchReplace", "TagsMenu", "ToolsLowercase"})
        EXPECT_TRUE(Enabled(Name)) << Name;
    // Without text there is nothing to print, find or validate.
    S->LoadFromString("");
    Form->AppIdle(nullptr, Done);
    for (const char* Name : {"FilePrint", "SearchFind", "ToolsValidate", "ValidateBigBtn", "ToolsLowercase"})
        EXPECT_FALSE(Enabled(Name)) << Name;
}

TEST_F(MainWindowTest, HiddenPanesWaitForTheirWindowsAndIdleMakesTheResultsViews) {
    Form->Show();
    // Shown at start: the editor and the messages list; the panes and sheets not shown wait.
    EXPECT_TRUE(Form->HSMemo->HandleAllocated());
    for (TWinControl* W : std::initializer_list<TWinControl*>{
             Form->OpenedListView, Form->HSMemo2, Form->ResultsTreeView, Form->StyleMessagesTreeView})
        EXPECT_FALSE(W->HandleAllocated()) << W->Name();
    bool Done = true;
    Form->AppIdle(nullptr, Done); // the first pass opens the command line's files
    int Passes = 0;
    for (Done = false; !Done && Passes < 10; ++Passes)
        Form->AppIdle(nullptr, Done);
    EXPECT_GT(Passes, 1) << "one view per pass";
    EXPECT_TRUE(Done);
    EXPECT_TRUE(Form->ResultsListView->HandleAllocated());
    // The grouped and styles views sit on sheets this program never shows.
    EXPECT_FALSE(Form->ResultsTreeView->HandleAllocated());
    EXPECT_FALSE(Form->StyleMessagesTreeView->HandleAllocated());
    EXPECT_FALSE(Form->HSMemo2->HandleAllocated()) << "the second pane still waits";
    // Opened, a sheet comes with its views, and the list of open documents with its pictures.
    Form->ResourcePageControl->SetActivePage(Form->OpenedTabSheet);
    ASSERT_TRUE(Form->OpenedListView->HandleAllocated());
    EXPECT_NE(SendMessageA(Form->OpenedListView->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    p->iface->flags |= 0x8000;
    Form->ArrangePanels(0);
    EXPECT_TRUE(Form->HSMemo2->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(Form->HSMemo2->Handle()));
    Form->Hide();
}

TEST_F(MainWindowTest, ArrangingThePanesOfAWindowNotShownLeavesItHidden) {
    Form->HandleNeeded();
    Form->ArrangePanels(0);
    EXPECT_FALSE(GetWindowLongA(Form->Handle(), GWL_STYLE) & WS_VISIBLE)
        << "turning drawing back on would mark it shown, and showing it would then paint nothing";
}

TEST_F(MainWindowTest, IdlePassOffersADueUpdateCheckOnce) {
    bool Done = false;
    p->vol->updateCheckDue = 1;
    p->config->flags &= ~OptAskUpdateCheck;
    Form->AppIdle(nullptr, Done);
    EXPECT_TRUE(Boxes.empty()) << "not asked when the user turned the question off";
    p->config->flags |= OptAskUpdateCheck;
    BoxAnswer = IDNO;
    Form->AppIdle(nullptr, Done);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Check For Updates?");
    EXPECT_EQ(
        Boxes[0].Text.rfind("It is recommended that you check for an update to ZEL Orvalent Lite v3.00.", 0),
        0u);
    EXPECT_EQ(p->vol->updateCheckDue, 0);
    Form->AppIdle(nullptr, Done);
    EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(MainWindowTest, GoToLineAcceptsOneToCountAndRefusesTheRest) {
    Form->ActiveEditorSource()->LoadFromString("a\nb\nc\n");
    struct TCase {
        std::string Typed;
        int CaretLine; // -1: unchanged
        bool Refused;
    };
    const TCase Cases[] = {
        {"3", 2, false}, {"1", 0, false}, {"4", -1, true}, {"0", -1, true}, {"", -1, false}};
    std::string Label;
    for (const TCase& C : Cases) {
        Boxes.clear();
        Form->ActiveEditorSource()->JumpTo(0, 1);
        SetModalHook([&](TCustomForm& F) {
            auto& D = dynamic_cast<TGoToLineForm&>(F);
            Label = D.GoToLineLabel->Caption();
            D.GoToLineEdit->SetText(C.Typed);
            D.SetModalResult(mrOk);
        });
        Form->EditGoToLineClick(nullptr);
        SetModalHook(nullptr);
        EXPECT_EQ(Label, "Go to line (1-3):");
        EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), C.CaretLine < 0 ? 1 : C.CaretLine) << C.Typed;
        EXPECT_EQ(!Boxes.empty() && Boxes[0].Caption == "Orvalent: Invalid Line Number", C.Refused)
            << C.Typed;
    }
}

TEST_F(MainWindowTest, GoToLineInAnEmptyDocumentOnlyTellsSo) {
    bool Shown = false;
    SetModalHook([&](TCustomForm&) { Shown = true; });
    Form->EditGoToLineClick(nullptr);
    SetModalHook(nullptr);
    EXPECT_FALSE(Shown);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "This document is empty. Can't go to a line.");
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Document Empty");
}

TEST_F(MainWindowTest, FeaturesOfTheFullProgramAreHiddenAndTheMessagesSheetStandsAlone) {
    EXPECT_TRUE(Form->Item("ToolsValidate")->Enabled());
    EXPECT_EQ(Form->Item("ToolsValidate")->ShortCut(), TextToShortCut("F6"));
    EXPECT_FALSE(Form->Item("ToolsBatchWizard")->Enabled());
    for (const char* Name :
         {"FileOpenFromTheWeb", "ToolsBatchWizard", "ViewFullScreen", "ViewSplitView", "ViewResource",
          "ViewExternalViewer", "ViewRefreshResourceWindow", "ViewLinkInfoPanel", "ViewWebBrowser",
          "OptionsHTMLConfigurationEditor", "OptionsConfiguration", "OptionsKeepWindowOnTop"})
        EXPECT_FALSE(Form->Item(Name)->Visible()) << Name;
    EXPECT_FALSE(Form->EditorVerticalPanel->Visible());
    for (TTabSheet* S :
         {Form->TreeViewSheet, Form->StylesSheet, Form->StructureSheet, Form->LinksSheet, Form->ScratchSheet})
        EXPECT_FALSE(S->TabVisible()) << S->Caption();
    EXPECT_TRUE(Form->MessagesSheet->TabVisible());
    EXPECT_EQ(Form->ResultsPageControl->ActivePage(), Form->MessagesSheet);
}

// The results list's window is told its row count only when it changes: emptied and filled in one
// update it learns the new count once, with the choice dropped at once and the rows shown from the
// top; emptied outside an update it is empty at once.
TEST_F(MainWindowTest, ResultsListWindowLearnsTheRowCountOnceAnUpdateEnds) {
    TListView* L = Form->ResultsListView;
    HWND H = L->Handle();
    ASSERT_NE(H, nullptr);
    // Room for a few rows, so that a chosen row far down scrolls the list.
    SetWindowPos(H, nullptr, 0, 0, 300, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    auto WindowCount = [&] { return static_cast<int>(SendMessageA(H, LVM_GETITEMCOUNT, 0, 0)); };
    auto WindowText = [&](int Row, int Column) {
        char Buffer[64] = "unset";
        LVITEMA Item{};
        Item.iSubItem = Column;
        Item.pszText = Buffer;
        Item.cchTextMax = sizeof Buffer;
        SendMessageA(H, LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&Item));
        return std::string(Buffer);
    };
    int Data[40] = {};
    auto Fill = [&](int N, const char* Prefix) {
        for (int I = 0; I < N; ++I)
            L->Add({"Error", std::to_string(I + 1), Prefix + std::to_string(I)}, &Data[I], 0);
    };
    Fill(40, "old ");
    ASSERT_EQ(WindowCount(), 40);
    L->SetSelected(35);
    ASSERT_EQ(L->Selected(), 35);
    ASSERT_GT(SendMessageA(H, LVM_GETTOPINDEX, 0, 0), 0) << "the chosen row was scrolled into view";

    L->BeginUpdate();
    L->Clear();
    EXPECT_EQ(L->Selected(), -1) << "the choice goes with the rows, not at the update's end";
    EXPECT_EQ(L->Count(), 0);
    Fill(3, "new ");
    EXPECT_EQ(WindowCount(), 40) << "the count waits for the update's end";
    EXPECT_EQ(WindowText(1, 2), "new 1");
    EXPECT_EQ(WindowText(20, 2), "") << "a row the window still counts past the new ones is blank";
    L->EndUpdate();
    EXPECT_EQ(WindowCount(), 3);
    EXPECT_EQ(SendMessageA(H, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(L->Selected(), -1);
    EXPECT_EQ(WindowText(2, 2), "new 2");

    // Emptied and left empty in an update; emptied outside one.
    L->SetSelected(1);
    L->BeginUpdate();
    L->Clear();
    L->EndUpdate();
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_EQ(L->Selected(), -1);
    Fill(2, "again ");
    L->SetSelected(1);
    L->Clear();
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_EQ(L->Selected(), -1);
    L->Clear();
    EXPECT_EQ(WindowCount(), 0);
}

// A made-up run with more messages than the editor has bookmarks for, one a line.
constexpr int32_t kManyMessages = 200;
int32_t ZELAPI RunsToResults7(HWND, int32_t, int32_t, int32_t) {
    return 7;
}
int32_t ZELAPI ManyRecords(int32_t, int32_t Id) {
    return Id == 6003 ? kManyMessages : 0;
}
int32_t ZELAPI ManyFields(int32_t, int32_t Id, int32_t I) {
    return Id == 15000 ? 1 : Id == 15001 ? I + 4 : Id == 15002 ? 1 : 0;
}
const char* ZELAPI ManyTexts(int32_t, int32_t Id, int32_t) {
    return Id == 12001 ? "an error" : "";
}

// The first F6 uncovers the results pane with its drawing held; the box that warns of too few
// bookmarks, which reading the messages brings, still comes over a pane that shows, and afterwards
// the list, the message memo and the editor are drawn again with the first message chosen.
TEST_F(MainWindowTest, FirstValidationsBoxComesOverAShownResultsPane) {
    EngineFunctionTable Saved = Engine;
    TScopeGuard Restore([&] { Engine = Saved; });
    FakeJobEngine(Engine);
    Engine.ZELRunJob = &RunsToResults7;
    Engine.ZELGetIntegerEZ = &ManyRecords;
    Engine.ZELGetInteger2EZ = &ManyFields;
    Engine.ZELGetString2 = &ManyTexts;
    Engine.ZELGetString6 = &FakeString6;
    std::string Text;
    for (int I = 0; I < kManyMessages + 10; ++I)
        Text += "line " + std::to_string(I + 1) + "\n";
    Form->ActiveEditorSource()->LoadFromString(Text);
    p->iface->flags |= 0x400;
    Form->ArrangePanels(0);
    Form->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->ResultsPageControl->Handle()) != 0; }));
    ASSERT_TRUE(Form->MessagesPanel->Visible()) << "the hint covers the list before the first results";
    BookmarkWarningShown = false;
    std::vector<bool> PaneShownAtBox;
    TMessageRequestFunc Recorder = SetMessageRequestFunc([&](const TMessageBoxRequest&) {
        PaneShownAtBox.push_back(IsWindowVisible(Form->ResultsPageControl->Handle()) != 0);
        return IDOK;
    });
    TScopeGuard Unrecord([&] { SetMessageRequestFunc(Recorder); });

    Form->ToolsValidateClick(nullptr);
    EXPECT_EQ(PaneShownAtBox, std::vector<bool>{true});
    EXPECT_TRUE(IsWindowVisible(Form->ResultsPageControl->Handle()));
    EXPECT_TRUE(IsWindowVisible(Form->ResultsListView->Handle()));
    EXPECT_FALSE(Form->MessagesPanel->Visible());
    EXPECT_EQ(Form->ResultsListView->Count(), kManyMessages);
    EXPECT_EQ(Form->ResultsListView->Selected(), 0);
    EXPECT_EQ(Form->MessageSource->Lines().Text().find("an error"), 0u);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 4) << "the first message stands on line 5";
    for (TWinControl* W :
         std::initializer_list<TWinControl*>{Form->ResultsListView, Form->ResultsMessageMemo})
        EXPECT_TRUE(GetUpdateRect(W->Handle(), nullptr, FALSE)) << W->Name() << " is drawn again";
    Form->GetCurrentFileInfo()->ClearResults(1 | 8);
}

int32_t ZELAPI NewEngineVersion(int32_t) {
    return 45091;
}
int32_t ZELAPI OldEngineVersion(int32_t) {
    return 45090;
}
int32_t ZELAPI ModeCounts(int32_t, int32_t Id) {
    return Id == 4005 ? 4 : Id == 4006 ? 1 : 0;
}
const char* ZELAPI ModeNames(int32_t, int32_t, int32_t I) {
    return I == 1 ? "&Strict" : I == 3 ? "&Transitional" : "";
}

TEST_F(MainWindowTest, ValidationModeMenuListsTheEnginesNamedModes) {
    auto Saved = Engine;
    Engine.ZELGetIntegerEZ = &ModeCounts;
    Engine.ZELGetString2 = &ModeNames;
    p->vol->optionsHandle = 3;
    auto Items = [&] {
        std::vector<std::string> R;
        TMenuItem* Root = Form->ValidateModePopup->Items();
        for (int I = 0; I < Root->Count(); ++I)
            R.push_back(Root->Items(I)->Caption() + "=" + std::to_string(Root->Items(I)->Tag()));
        return R;
    };
    struct TCase {
        decltype(Engine.ZELGetInteger3EZ) Version;
        std::vector<std::string> Expected;
    };
    const TCase Cases[] = {
        {&NewEngineVersion, {"&Normal=0", "&Strict=1", "&Transitional=3", "&Link check only=-2"}},
        {&OldEngineVersion, {"&Normal=0", "&Link check only=-2"}},
    };
    for (const TCase& C : Cases) {
        Engine.ZELGetInteger3EZ = C.Version;
        // Rebuilt each time: never a second set of items.
        Form->ApplySettingsToControls(32);
        Form->ApplySettingsToControls(32);
        EXPECT_EQ(Items(), C.Expected);
    }
    p->vol->optionsHandle = -1;
    Form->ApplySettingsToControls(32);
    EXPECT_EQ(Items(), std::vector<std::string>{"&Normal=0"}) << "no options handle, no engine modes";
    Engine = Saved;
}

TEST_F(MainWindowTest, TabStopsFallBackWhenTheStoredTextIsRefused) {
    const std::pair<std::string, std::string> Cases[] = {{"4,8", "4,8"}, {"4,x", "3,6,9,12"}};
    for (const auto& [Stored, Used] : Cases) {
        p->config->tabStops = Stored.c_str();
        Form->ApplySettingsToControls(4);
        EXPECT_EQ(Form->ActiveEditorSource()->TabStops(), Used) << Stored;
        EXPECT_STREQ(p->config->tabStops.getString(), Used.c_str()) << Stored;
    }
}

TEST_F(MainWindowTest, SpeedBarShowsPicturesAndTheEditorMarksMessageLines) {
    for (const char* Name :
         {"FileNewBtn", "FileSaveBtn", "ValidateBigBtn", "SpellCheckBigBtn", "HelpContentsBtn"}) {
        TSpeedButton* B = Form->Button(Name);
        ASSERT_NE(B, nullptr) << Name;
        EXPECT_FALSE(B->Glyph().Empty()) << Name;
        EXPECT_EQ(B->Caption(), "") << Name;
    }
    EXPECT_EQ(Form->ResultsImages->Count(), 5);
    // The core marks lines with the styles the editor memos hold, at the same numbers in both.
    EXPECT_GE(EditorLink().errorLineStyle, 0);
    EXPECT_EQ(FindTextStyle(Form->HSMemo2, ErrorLineStyleName), EditorLink().errorLineStyle);
    EXPECT_EQ(FindTextStyle(Form->HSMemo2, WarningLineStyleName), EditorLink().warningLineStyle);
    EXPECT_NE(EditorLink().warningLineStyle, EditorLink().messageLineStyle);
    EXPECT_NE(Form->SpellChecker, nullptr);
}

// A close hands the window's view state to the settings, and the next start takes it back.
TEST_F(MainWindowTest, CloseStoresTheViewStateAndTheNextStartTakesItBack) {
    const char* Product = "Software\\Nortavia\\ZEL Orvalent Lite v2";
    RegDeleteTreeA(HKEY_CURRENT_USER, Product);
    TScopeGuard Clean([Product] { RegDeleteTreeA(HKEY_CURRENT_USER, Product); });
    const std::string Folder = fs::path(OutputDir()).string();
    Form->HSMemo->Font().SetName("Lucida Console");
    Form->HSMemo->Font().SetSize(12);
    Form->ShellTree->SetSelectedPathName(Folder);
    Form->EditorSplitPanel->SetProportion(0.3);
    p->iface->flags &= ~(IfStoreNormalBounds | IfStoreDropWindowPosition);
    Form->Commands->DragDropViewDragDropWindowClick();
    ASSERT_NE(Form->Commands->DropWindow, nullptr);
    Form->Commands->DropWindow->SetBounds(33, 44, Form->Commands->DropWindow->Width(),
                                          Form->Commands->DropWindow->Height());
    // The save dialog is made larger and left with Cancel: its size is kept all the same.
    SetModalHook([](TCustomForm& F) {
        F.SetBounds(F.Left(), F.Top(), 611, 433);
        F.SetModalResult(mrCancel);
    });
    Form->SaveFileTab(nullptr, -1, 1);
    SetModalHook(nullptr);
    EXPECT_EQ(Form->NVSaveDialog->FormWidth, 611);
    EXPECT_EQ(Form->NVSaveDialog->FormHeight, 433);
    Form->NVOpenDialog->FormWidth = 577;
    Form->NVOpenDialog->FormHeight = 399;
    bool CanClose = false;
    Form->FormCloseQuery(nullptr, CanClose);
    ASSERT_TRUE(CanClose);
    EXPECT_FLOAT_EQ(p->iface->paneProportions[2], 0.3f);
    EXPECT_FLOAT_EQ(p->iface->paneProportions[0], 0.5f) << "a splitter the window lacks keeps its value";

    delete Form;
    Form = nullptr;
    delete p;
    p = new prgclass;
    {
        QXRegistryEx Reg;
        ASSERT_TRUE(Reg.OpenKey(std::string("\\") + Product, true));
        Reg.WriteString("InstallDirV30", Folder.c_str());
        Reg.WriteInteger("FirstTimeAfterInstall", 0);
    }
    ASSERT_EQ(ReadSettings(), 1);
    Form = new TZELQEForm(Application);
    Form->FormCreate();
    EXPECT_EQ(Form->HSMemo->Font().Name(), "Lucida Console");
    EXPECT_EQ(Form->HSMemo->Font().Size(), 12);
    EXPECT_EQ(Form->ShellTree->GetSelectedPathName(), Folder);
    EXPECT_EQ(p->iface->selectedFolder.getString(), Folder);
    EXPECT_EQ(p->iface->dragDropWindowLeft, 33);
    EXPECT_EQ(p->iface->dragDropWindowTop, 44);
    EXPECT_EQ(Form->NVSaveDialog->FormWidth, 611);
    EXPECT_EQ(Form->NVSaveDialog->FormHeight, 433);
    // The open dialog comes up at the size it was left at.
    int Width = 0, Height = 0;
    SetModalHook([&](TCustomForm& F) {
        Width = F.Width();
        Height = F.Height();
        F.SetModalResult(mrCancel);
    });
    Form->FileOpenClick(nullptr);
    SetModalHook(nullptr);
    EXPECT_EQ(Width, 577);
    EXPECT_EQ(Height, 399);
}

TEST_F(MainWindowTest, ResourceWindowFollowsTheDiskButWatchesZOnlyAtItsRoot) {
    EXPECT_EQ(Form->ShellTree->ShellList(), Form->ShellList);
    EXPECT_EQ(Form->ShellTree->Options(), NVShellTreeDefaultOptions);
    EXPECT_NE(Form->ShellTree->Options() & nvstoDynamicRefresh, 0);
    EXPECT_EQ(Form->ShellTree->ShallowWatchDrives(), "Z");
    ASSERT_GT(Form->ShellListFileFilterCombo->Items().Count(), 0);
    int Html = -1;
    for (int I = 0; I < Form->ShellListFileFilterCombo->Items().Count(); ++I)
        if (Form->ShellListFileFilterCombo->Items().Strings(I).find("*.htm") != std::string::npos && Html < 0)
            Html = I;
    ASSERT_GE(Html, 0);
    Form->ShellListFileFilterCombo->SetItemIndex(Html);
    Form->ShellListFileFilterCombo->OnChange(Form->ShellListFileFilterCombo);
    EXPECT_NE(Form->ShellList->FileFilter().find("*.htm"), std::string::npos)
        << Form->ShellList->FileFilter() << " from " << Form->ShellListFileFilterCombo->Items().Strings(Html)
        << " at " << Form->ShellListFileFilterCombo->ItemIndex() << " of " << Html;
    EXPECT_EQ(Form->ShellList->FileFilter().find('('), std::string::npos);
}

TEST_F(MainWindowTest, LinkDetailsAreDecodedAndADoubleClickFindsTheLink) {
    Form->ActiveEditorSource()->LoadFromString(
        "<p>\n<a href=\"a%20b.html\">x</a>\n<a href=\"a%20b.html\">y</a>\n");
    TListView* L = Form->LinksListView;
    L->Add({"OK", "a%20b.html", "file:///C:/site/a%20b.html?x=1&amp;y=2"}, nullptr);
    L->SetSelected(0);
    Form->LinksListViewSelectItem(L, 0, true);
    EXPECT_EQ(Form->LinkLabel->Caption(), "a%20b.html");
    EXPECT_EQ(Form->AbsoluteLabel->Caption(), "file:///C:/site/a b.html?x=1&y=2");
    Form->LinksListViewDblClick(L);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 1);
    EXPECT_EQ(Form->StatusText(), "Press F3 to find the next matching link (if any).");
    // The same link again finds its next place.
    Form->LinksListViewDblClick(L);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 2);
}

// --- the hand-over window ------------------------------------------------------------------------

class HandOverTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        p = new prgclass;
        Window = new TZELEditorMessageWindow(Application);
        Window->HandleNeeded();
    }
    void TearDown() override {
        delete Window;
        delete p;
        p = nullptr;
        UiTest::TearDown();
    }
    void Post(const std::string& Text) {
        ATOM A = GlobalAddAtomA(Text.c_str());
        Atoms.push_back(A);
        PostMessageA(Window->Handle(), ZelHandOverMessage, 0, A);
    }
    TZELEditorMessageWindow* Window = nullptr;
    std::vector<ATOM> Atoms;
};

TEST_F(HandOverTest, IsFoundByClassAndTitleAndQueuesInOrder) {
    EXPECT_EQ(FindWindowA("TZELEditorMessageWindow", "ZEL Editor Message Window"), Window->Handle());
    EXPECT_FALSE(IsWindowVisible(Window->Handle()));
    Post("first.html");
    Post("-BringToFront");
    PumpUntil([&] { return p->vol->commandQueue.Count() == 2; });
    ASSERT_EQ(p->vol->commandQueue.Count(), 2);
    EXPECT_STREQ(p->vol->commandQueue.GetText(0), "first.html");
    EXPECT_STREQ(p->vol->commandQueue.GetText(1), "-BringToFront");
    for (ATOM A : Atoms) {
        char Name[64];
        EXPECT_EQ(GlobalGetAtomNameA(A, Name, sizeof Name), 0u) << "the atom is deleted";
    }
}

TEST_F(HandOverTest, WhileClosingTheTextIsDroppedButTheAtomGoes) {
    p->vol->closing = 1;
    Post("late.html");
    Application->ProcessMessages();
    EXPECT_EQ(p->vol->commandQueue.Count(), 0);
    char Name[64];
    EXPECT_EQ(GlobalGetAtomNameA(Atoms[0], Name, sizeof Name), 0u);
}

// --- the splash ------------------------------------------------------------------------------------

TEST_F(UiTest, SplitterPanesShowWhileTheyHaveRoomOrABarToOpenThem) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 400, 300);
    auto* Split = new TPaneSplitter(&Form);
    Split->SetParent(&Form);
    Split->SetAlign(TAlign::alClient);
    struct Case {
        const char* What;
        int Bar;
        double Proportion; // < 0: position 0
        bool First, Second;
    } Cases[] = {
        {"both panes", 3, 0.5, true, true},
        {"first closed, with a bar to open it", 3, -1, true, true},
        {"first closed without a bar", 0, -1, false, true},
        {"second collapsed", 0, 1.0, true, false},
    };
    for (const Case& C : Cases) {
        Split->SetSplitterWidth(C.Bar);
        Split->SetPaneMinSize(0, 0);
        if (C.Proportion < 0)
            Split->SetPosition(0);
        else
            Split->SetProportion(C.Proportion);
        EXPECT_EQ(Split->Pane(0)->Visible(), C.First) << C.What;
        EXPECT_EQ(Split->Pane(1)->Visible(), C.Second) << C.What;
    }
}

TEST_F(UiTest, SplashShowsStatusWithoutATaskBarButtonOrStayingOnTop) {
    TSplashForm Splash(Application);
    EXPECT_EQ(Splash.Status(), "Status");
    Splash.SetStatus("Loading DLL...");
    EXPECT_EQ(Splash.Status(), "Loading DLL...");
    LONG Ex = GetWindowLongA(Splash.Handle(), GWL_EXSTYLE);
    EXPECT_EQ(Ex & (WS_EX_APPWINDOW | WS_EX_TOPMOST), 0);
    EXPECT_EQ(Splash.ClientWidth(), 568);
    EXPECT_EQ(Splash.ClientHeight(), 80);
    // Shown, it does not take the activation from the window that has it.
    TForm Other(nullptr);
    Other.Show();
    SetActiveWindow(Other.Handle());
    Splash.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(Splash.Handle()));
    EXPECT_EQ(GetActiveWindow(), Other.Handle());
    Splash.Hide();
    Other.Hide();
}

} // namespace
