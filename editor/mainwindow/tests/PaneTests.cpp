// The main window's panes that the features step keeps out of sight (the resource window, the
// browser pane's tool row, the editor's button column, the Structure and Scratch sheets), the
// handlers of their views and the hints of the menus.
#include <functional>

#include "controls/memo/Memo.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/ListView.h"
#include "editor/core/ViewSetup.h"
#include "editor/mainwindow/MenuHints.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/tests/MainWindowFixture.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellTree.h"

namespace fs = std::filesystem;

namespace {

bool Overlap(const RECT& A, const RECT& B) {
    return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

// Every shown control under Parent lies inside its parent's client area, keeps clear of its shown
// siblings and has room to be seen.
void ExpectLaidOut(TWinControl* Parent) {
    const RECT Client = Parent->ClientRect();
    std::vector<TControl*> Shown;
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (TControl* C = Parent->Controls(I); C->Visible())
            Shown.push_back(C);
    for (size_t I = 0; I < Shown.size(); ++I) {
        const RECT R = Shown[I]->BoundsRect();
        const std::string Name = Parent->Name() + "/" + Shown[I]->Name();
        EXPECT_GT(R.right - R.left, 0) << Name;
        EXPECT_GT(R.bottom - R.top, 0) << Name;
        EXPECT_TRUE(R.left >= Client.left && R.top >= Client.top && R.right <= Client.right &&
                    R.bottom <= Client.bottom)
            << Name << " past its parent";
        for (size_t J = I + 1; J < Shown.size(); ++J)
            EXPECT_FALSE(Overlap(R, Shown[J]->BoundsRect())) << Name << " over " << Shown[J]->Name();
        if (auto* W = dynamic_cast<TWinControl*>(Shown[I]))
            ExpectLaidOut(W);
    }
}

void Screenshot(TZELQEForm& Form, const std::string& Name) {
    Form.Repaint();
    TBitmap Shot;
    CaptureClient(Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\" + Name + ".png");
}

class PaneTest : public MainWindowTest {
protected:
    // Starts the window again from settings as a start reads them.
    void Restart(const std::function<void()>& Settings) {
        delete Form;
        delete p;
        p = new prgclass;
        p->config->htmlExtensions = "htm,html,HTM,HTML";
        if (Settings)
            Settings();
        Form = new TZELQEForm(Application);
        Form->FormCreate();
        Form->SetBounds(0, 0, 900, 700);
        Form->Show();
        PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; });
    }
    bool Seen(TWinControl* C) { return C->HandleAllocated() && IsWindowVisible(C->Handle()); }
};

// A setting that shows one of the panes hidden at start finds it made and laid out; the screenshots
// are kept for people to look at.
TEST_F(PaneTest, StoredSettingsShowTheHiddenPanesLaidOut) {
    struct TCase {
        const char* Name;
        std::function<void()> Settings; // before the window is made
        std::function<void()> Show;     // after it shows, what the user would do (or nothing)
        std::function<TWinControl*()> Pane;
        std::function<void()> Check;
    };
    const TCase Cases[] = {
        {"resource_left", [] { p->iface->flags |= 0x10; }, nullptr,
         [this] { return Form->VertSplit1->Pane(0); },
         [this] {
             EXPECT_EQ(Form->VertSplit1->Style(), TSplitStyle::Vertical);
             EXPECT_EQ(Form->VertSplit1->Position(), 140) << "the stored size";
             EXPECT_EQ(Form->HorzSplit2->Style(), TSplitStyle::Horizontal) << "tree above the list";
             EXPECT_EQ(Form->HorzSplit2->Position(), std::min(225, Form->HorzSplit2->Extent() - 50));
             EXPECT_EQ(p->iface->paneSize2, 225) << "kept for a larger window";
             EXPECT_TRUE(Seen(Form->ShellList));
             EXPECT_FALSE(Form->Button("MoveResourceToLeftBtn")->Enabled());
             EXPECT_TRUE(Form->Button("MoveResourceToTopBtn")->Enabled());
             EXPECT_TRUE(Form->Button("ViewResourceBtn")->Down());
         }},
        {"resource_top", [] { p->iface->flags |= 0x10 | 0x2000; }, nullptr,
         [this] { return Form->VertSplit1->Pane(0); },
         [this] {
             EXPECT_EQ(Form->VertSplit1->Style(), TSplitStyle::Horizontal);
             EXPECT_EQ(Form->HorzSplit2->Style(), TSplitStyle::Vertical) << "tree left of the list";
             EXPECT_TRUE(Form->Button("MoveResourceToLeftBtn")->Enabled());
             EXPECT_FALSE(Form->Button("MoveResourceToTopBtn")->Enabled());
         }},
        {"browser_beside",
         [] {
             p->iface->flags |= 0x100000;
             p->iface->flags2 &= ~0x8000u;
         },
         nullptr, [this] { return Form->WBPanel; },
         [this] {
             EXPECT_EQ(Form->WebSplitter->Style(), TSplitStyle::Vertical);
             EXPECT_LT(Form->WebSplitter->Proportion(), 1.0);
             EXPECT_TRUE(Seen(Form->OpenCombo));
             EXPECT_TRUE(Form->Button("WBHorzSplitBtn")->Enabled());
             // Placing and closing the pane work; what needs a browser is greyed.
             EXPECT_TRUE(Form->Button("WBCloseBtn")->Enabled());
             for (const char* Name : {"WBBackBtn", "WBForwardBtn", "WBStopButton", "WBRefreshBtn",
                                      "WBViewSourceBtn", "WBPreviewBtn", "WBHelpBtn", "WBGoButton"})
                 EXPECT_FALSE(Form->Button(Name)->Enabled()) << Name;
             EXPECT_FALSE(Form->OpenCombo->Enabled());
         }},
        {"browser_below",
         [] {
             p->iface->flags |= 0x100000;
             p->iface->flags2 |= 0x8000;
         },
         nullptr, [this] { return Form->WBPanel; },
         [this] {
             EXPECT_EQ(Form->WebSplitter->Style(), TSplitStyle::Horizontal);
             EXPECT_TRUE(Form->Button("WBHorzSplitBtn")->Down());
         }},
        {"structure_sheet", [] { p->iface->paneProportions[1] = 0.3f; },
         [this] {
             Form->StructureSheet->SetTabVisible(true);
             Form->ResultsPageControl->SetActivePage(Form->StructureSheet);
         },
         [this] { return Form->StructureSheet; },
         [this] {
             EXPECT_NEAR(Form->StructureSplitter->Proportion(), 0.3, 0.01);
             EXPECT_TRUE(Seen(Form->StructurePanel));
             EXPECT_TRUE(Seen(Form->TagCountListView));
             EXPECT_TRUE(Seen(Form->StructureMemo));
             EXPECT_EQ(Form->StructureMemo->GetSource(), p->vol->structureSource);
             EXPECT_EQ(Form->StructureMemo->WinChar(), 0) << "the hint's text from its first column";
         }},
        {"scratch_sheet", [] { p->iface->paneProportions[0] = 0.7f; },
         [this] {
             Form->ScratchSheet->SetTabVisible(true);
             Form->ResultsPageControl->SetActivePage(Form->ScratchSheet);
         },
         [this] { return Form->ScratchSheet; },
         [this] {
             EXPECT_NEAR(Form->ScratchSplitter->Proportion(), 0.7, 0.01);
             EXPECT_TRUE(Seen(Form->ScratchPad1Memo));
             EXPECT_TRUE(Seen(Form->ScratchPad2Memo));
             EXPECT_EQ(Form->ScratchPad2Memo->GetSource(), p->vol->scratchPad2);
             EXPECT_FALSE(Form->ScratchPad1Memo->GetSource()->GetReadOnly());
         }},
        {"editor_buttons", nullptr, [this] { Form->EditorVerticalPanel->SetVisible(true); },
         [this] { return Form->EditorVerticalPanel; },
         [this] {
             EXPECT_EQ(Form->EditorSpeedBtnPanel->ControlCount(), 17);
             EXPECT_TRUE(Form->Button("ViewLineNumbersBtn")->Down()) << "line numbers are on at first";
             EXPECT_FALSE(Form->Button("ViewSplitViewBtn")->Down());
         }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Restart([&] {
            p->iface->flags |= 0x400; // the results area, so the results sheets have room
            if (C.Settings)
                C.Settings();
        });
        if (C.Show)
            C.Show();
        Form->ArrangePanels(0);
        PumpUntil([] { return false; }, 200);
        TWinControl* Pane = C.Pane();
        ASSERT_TRUE(Seen(Pane));
        ExpectLaidOut(Pane);
        C.Check();
        Screenshot(*Form, std::string("panes_") + C.Name);
    }
}

TEST_F(PaneTest, ButtonColumnTogglesFlipTheirSettingAndStayDownWithIt) {
    struct TCase {
        const char* Button;
        bool Second; // the second interface word
        uint32_t Mask;
    };
    const TCase Cases[] = {
        {"ViewLineNumbersBtn", false, 0x80}, {"OptionsWordWrapBtn", false, 0x2},
        {"ViewGutterBtn", false, 0x100},     {"ViewSymbolsButton", true, 0x8},
        {"ViewSplitViewBtn", false, 0x8000}, {"ViewResourceBtn", false, 0x10},
        {"ViewBrowserBtn", false, 0x100000}, {"WBHorzSplitBtn", true, 0x8000},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Button);
        uint32_t& Word = C.Second ? p->iface->flags2 : p->iface->flags;
        TSpeedButton* B = Form->Button(C.Button);
        ASSERT_NE(B, nullptr);
        for (int Round = 0; Round < 2; ++Round) {
            const bool Before = Word & C.Mask;
            B->Click();
            EXPECT_EQ((Word & C.Mask) != 0, !Before);
            EXPECT_EQ(B->Down(), !Before);
        }
    }
    // The horizontal split is offered with the split view only.
    EXPECT_FALSE(Form->Button("ViewHorzSplitBtn")->Enabled());
    Form->Button("ViewSplitViewBtn")->Click();
    EXPECT_TRUE(Form->Button("ViewHorzSplitBtn")->Enabled());
    for (int Round = 0; Round < 2; ++Round) {
        Form->Button("ViewHorzSplitBtn")->Click();
        EXPECT_EQ(Form->EditorSplitPanel->Style(),
                  p->iface->flags & 0x400000 ? TSplitStyle::Horizontal : TSplitStyle::Vertical);
    }
    // Closing the browser pane from its own row.
    Form->Button("ViewBrowserBtn")->Click();
    ASSERT_LT(Form->WebSplitter->Proportion(), 1.0);
    Form->Button("WBCloseBtn")->Click();
    EXPECT_EQ(Form->WebSplitter->Proportion(), 1.0);
    EXPECT_FALSE(p->iface->flags & 0x100000);
}

TEST_F(PaneTest, TabButtonsAndTheOpenListChooseDocuments) {
    std::vector<fileinfoclass*> Docs;
    for (const char* Name : {"a.html", "b.html", "c.html"}) {
        fileinfoclass* Doc = nullptr;
        ASSERT_EQ(Form->AddNewFileTab(nullptr, WriteFile(Name, "<p>x</p>\r\n").c_str(), 0, &Doc), 0);
        Docs.push_back(Doc);
    }
    Form->Button("FirstTabBtn")->Click();
    EXPECT_EQ(Form->GetCurrentFileInfo(), Docs[0]);
    Form->Button("LastTabBtn")->Click();
    EXPECT_EQ(Form->GetCurrentFileInfo(), Docs[2]);

    // Out of sight the list only notes that it is behind.
    EXPECT_EQ(Form->OpenedListView->Count(), 0);
    EXPECT_TRUE(Form->OpenedListStale);
    p->iface->flags |= 0x10;
    Form->ArrangePanels(0);
    Form->Show();
    Form->ResourcePageControl->SetActivePage(Form->OpenedTabSheet);
    Form->ResourcePageControlChange(nullptr);
    ASSERT_EQ(Form->OpenedListView->Count(), 3);
    const std::string Folder = fs::path(OutputDir()).string() + "\\";
    EXPECT_EQ(Form->OpenedListView->ItemText(1, 0), "b.html");
    EXPECT_EQ(Form->OpenedListView->ItemText(1, 1), Folder);
    EXPECT_GE(Form->OpenedListView->ItemImage(1), 0) << "the shell's picture of the file";
    EXPECT_EQ(Form->OpenedTabSheet->Caption(), "Open (3)");
    Screenshot(*Form, "panes_open_list");

    Form->OpenedListView->SetSelected(1);
    Form->OpenedListViewClick(Form->OpenedListView);
    EXPECT_EQ(Form->GetCurrentFileInfo(), Docs[1]);
    EXPECT_EQ(Form->TabControl1->TabIndex(), 1);
    // Closing a document takes its row away at once while the list shows.
    ASSERT_EQ(Form->CloseFileTab(Form->TabControl1, 0, 2), 0);
    ASSERT_EQ(Form->OpenedListView->Count(), 2);
    EXPECT_EQ(Form->OpenedListView->ItemText(0, 0), "b.html");
    Form->Hide();
}

TEST_F(PaneTest, GutterClickTogglesBookmarkTenAwayFromPictures) {
    Form->SetBounds(0, 0, 700, 500);
    Form->Show();
    TCustomMemoSource* S = Form->ActiveEditorSource();
    S->LoadFromString("one\ntwo\nthree\nfour\n");
    PumpUntil([&] { return IsWindowVisible(Form->HSMemo->Handle()) != 0; });
    ASSERT_GT(Form->HSMemo->GetRealGutterWidth(), 4);
    // A real click in the gutter beside the third line, twice.
    const int Y = Form->HSMemo->GetAveLineHeight() * 2 + Form->HSMemo->GetAveLineHeight() / 2;
    auto Click = [&] {
        SendMessageA(Form->HSMemo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, Y));
        SendMessageA(Form->HSMemo->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, Y));
    };
    Click();
    EXPECT_EQ(S->FGetBookmark(2), 10);
    Click();
    EXPECT_NE(S->FGetBookmark(2), 10) << "a second click takes it away";

    struct TCase {
        int32_t Image;
        TShiftState Shift;
        bool Toggles;
    };
    const TCase Cases[] = {{-1, ssLeft, true}, {0, ssLeft, true}, {3, ssLeft, false}, {-1, ssRight, false}};
    for (const TCase& C : Cases) {
        Form->HSMemoClickGutter(Form->HSMemo, 1, C.Image, C.Shift);
        EXPECT_EQ(S->FGetBookmark(1) == 10, C.Toggles) << C.Image << " " << int(C.Shift);
        if (S->FGetBookmark(1) == 10)
            S->ToggleBookMarkForLine(10, 1);
    }
    Form->Hide();
}

TEST_F(PaneTest, MemoPopupOffersWhatTheMemoItOpensOnAllows) {
    Clipboard().SetAsText("clip");
    struct TCase {
        const char* Name;
        THSMemo* Memo;
        const char* Text;
        bool Select;
        bool Cut, Copy, Paste, SelectAll;
    };
    const TCase Cases[] = {
        {"scratch pad, selection", Form->ScratchPad1Memo, "notes\n", true, true, true, true, true},
        {"scratch pad, nothing chosen", Form->ScratchPad2Memo, "notes\n", false, false, false, true, true},
        {"read-only structure", Form->StructureMemo, nullptr, true, false, true, false, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TCustomMemoSource* S = C.Memo->GetSource();
        if (C.Text)
            S->LoadFromString(C.Text);
        if (C.Select)
            S->SelectAll();
        else
            S->ClearSelection();
        EXPECT_EQ(C.Memo->PopupMenu(), Form->GenericMemoPopup);
        Form->GenericMemoPopup->PopupComponent = C.Memo;
        Form->GenericMemoPopupPopup(Form->GenericMemoPopup);
        EXPECT_EQ(Form->Item("GenericMemoPopupCut")->Enabled(), C.Cut);
        EXPECT_EQ(Form->Item("GenericMemoPopupCopy")->Enabled(), C.Copy);
        EXPECT_EQ(Form->Item("GenericMemoPopupPaste")->Enabled(), C.Paste);
        EXPECT_EQ(Form->Item("GenericMemoPopupSelectAll")->Enabled(), C.SelectAll);
    }
}

int32_t ZELAPI StructureRows(int32_t, int32_t Id, int32_t Row) {
    // Row 1 points at line 3, character 2.
    return Row != 1 ? 0 : Id == 15010 ? 3 : Id == 15011 ? 2 : 0;
}

TEST_F(PaneTest, StructureViewMovesTheEditorToWhereItsLinePoints) {
    auto Saved = Engine;
    Engine.ZELGetInteger2EZ = &StructureRows;
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    Form->ActiveEditorSource()->LoadFromString("first\nsecond\nthird line\nfourth\n");
    Doc->resultsHandle = 5;
    TCustomMemoSource* Structure = Form->StructureMemo2->GetSource();
    Structure->SetROnly(false);
    Structure->LoadFromString("html\n  body\n");
    Structure->SetROnly(true);
    Structure->JumpTo(0, 1);
    Form->StructureMemo2MouseUp(Form->StructureMemo2, TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 2);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurChar(), 1);
    const int32_t Lit = FindTextStyle(Form->StructureMemo2, StructLineStyleName);
    ASSERT_GE(Lit, 0);
    EXPECT_EQ(Structure->GetLineTextStyle(1), Lit);
    EXPECT_EQ(Form->ActiveEditorSource()->GetLineTextStyle(2), 0) << "the editor's line only lights up";
    // A row that points nowhere leaves the editor where it is.
    Structure->JumpTo(0, 0);
    Form->StructureMemo2MouseUp(Form->StructureMemo2, TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 2);
    EXPECT_EQ(Structure->GetLineTextStyle(1), 0);
    Doc->resultsHandle = -1;
    Engine = Saved;
}

// A made-up run's structure listing and tag counts, as the engine gives them: listing lines from
// 0, tag rows from 1.
const char* const kListing[] = {"<html> ", "| <body> ", "| </body> ", "</html> "};
struct TTagRow {
    const char* Name;
    int32_t Opened, Closed;
};
const TTagRow kTagRows[] = {{"html", 1, 1}, {"body", 1, 0}};
int32_t TagRowReads = 0;
int32_t ZELAPI ListingCounts(int32_t, int32_t Id) {
    TagRowReads += Id == 6006;
    return Id == 6004 ? 4 : Id == 6006 ? 2 : 0;
}
const char* ZELAPI ListingLines(int32_t, int32_t Id, int32_t I) {
    if (Id == 12002)
        return I >= 0 && I < 4 ? kListing[I] : nullptr;
    return Id == 12003 && I >= 1 && I <= 2 ? kTagRows[I - 1].Name : nullptr;
}
int32_t ZELAPI TagCounts(int32_t, int32_t Id, int32_t Row) {
    if (Row < 1 || Row > 2)
        return -1;
    return Id == 15006 ? kTagRows[Row - 1].Opened : Id == 15007 ? kTagRows[Row - 1].Closed : 0;
}

TEST_F(PaneTest, StructureViewsShowTheLastValidationsListingAndTagCounts) {
    auto Saved = Engine;
    Engine.ZELGetIntegerEZ = &ListingCounts;
    Engine.ZELGetString2 = &ListingLines;
    Engine.ZELGetInteger2EZ = &TagCounts;
    Form->SetBounds(0, 0, 900, 700);
    Form->Show();
    PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; });
    p->iface->flags |= 0x400;
    Form->ArrangePanels(0);
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    ASSERT_NE(Doc, nullptr);
    Form->ActiveEditorSource()->LoadFromString("<html><body></body></html>\n");
    auto Rows = [&] {
        std::vector<std::string> R;
        for (int I = 0; I < Form->TagCountListView->Count(); ++I)
            R.push_back(Form->TagCountListView->ItemText(I, 0) + " " +
                        Form->TagCountListView->ItemText(I, 1) + " " +
                        Form->TagCountListView->ItemText(I, 2));
        return R;
    };
    // Validated while the Structure sheet is out of sight: the memos follow, the counts wait.
    TagRowReads = 0;
    ASSERT_EQ(Doc->SetResultsHandle(7, 1), 0);
    Form->RefreshResults(Doc, 0);
    for (THSMemo* M : {Form->StructureMemo, Form->StructureMemo2}) {
        ASSERT_NE(M->GetSource(), nullptr);
        EXPECT_EQ(M->GetSource()->Lines().Count(), 4) << M->Name();
        EXPECT_EQ(M->GetSource()->Lines()[1], "| <body> ") << M->Name();
    }
    EXPECT_EQ(TagRowReads, 0);
    EXPECT_FALSE(Form->StructurePanel->Visible());
    Form->StructureSheet->SetTabVisible(true);
    Form->ResultsPageControl->SetActivePage(Form->StructureSheet);
    Form->ResultsPageControlChange(nullptr);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"html 1 1", "body 1 0"}));
    // Another look at the same results reads nothing again.
    Form->ResultsPageControlChange(nullptr);
    EXPECT_EQ(TagRowReads, 1);
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(Seen(Form->StructureMemo));
    EXPECT_FALSE(Seen(Form->StructurePanel));
    Screenshot(*Form, "panes_structure_validated");
    Form->Hide();
    // Results cleared: the hint comes back in both memos and the counts go.
    Doc->ClearResults(1 | 8);
    Form->RefreshResults(Doc, 0);
    for (THSMemo* M : {Form->StructureMemo, Form->StructureMemo2})
        EXPECT_EQ(M->GetSource(), p->vol->structureSource) << M->Name();
    EXPECT_TRUE(Form->StructurePanel->Visible());
    EXPECT_TRUE(Rows().empty());
    Engine = Saved;
}

TEST_F(PaneTest, ShellListRefreshAndNewFolderWorkOnTheShownFolder) {
    p->iface->flags |= 0x10;
    Form->ArrangePanels(0);
    Form->Show();
    const std::string Folder = OutputDir();
    WriteFile("first.html", "<p>1</p>");
    Form->ShellTree->SetSelectedPathName(Folder);
    ASSERT_TRUE(PumpUntil([&] { return Form->ShellList->FindCaption("first.html") >= 0; }));
    // Written behind the list's back (the change thread is not waited for): a refresh shows it.
    WriteFile("second.html", "<p>2</p>");
    Form->ShellListRefreshClick(nullptr);
    EXPECT_GE(Form->ShellList->FindCaption("second.html"), 0);
    WriteFile("third.html", "<p>3</p>");
    Form->Item("ViewRefreshResourceWindow")->Click();
    EXPECT_GE(Form->ShellList->FindCaption("third.html"), 0);
    EXPECT_EQ(Form->ShellList->PopupMenu(), Form->ShellListPopupMenu);
    Form->ShellListNewFolderClick(nullptr);
    bool Made = false;
    for (const auto& Entry : fs::directory_iterator(Folder))
        Made = Made || Entry.is_directory();
    EXPECT_TRUE(Made) << "a new folder in " << Folder;
    PostKey(Form->ShellList->Handle(), VK_ESCAPE);
    Form->Hide();
}

TEST_F(MainWindowTest, EveryMenuHintNamesAMenuItem) {
    int Tags = 0;
    for (const auto& [Name, Hint] : MenuHints()) {
        TMenuItem* I = Form->Item(Name);
        ASSERT_NE(I, nullptr) << Name;
        EXPECT_EQ(I->Hint(), Hint) << Name;
        Tags +=
            std::string(Name).rfind("Tags", 0) == 0 || std::string(Name).rfind("OptionsTagInserter", 0) == 0;
    }
    EXPECT_EQ(Tags, 77);
    EXPECT_EQ(
        Form->Item("TagsMetaRSACiRating")->Hint(),
        "Content rating metainformation. Used to rate a document's content (see http://www.icra.org/).");
    // The text formatting commands the hints name put their tags around the selection.
    Form->ActiveEditorSource()->LoadFromString("word");
    Form->ActiveEditorSource()->SelectAll();
    Form->Item("TagsTextSTRONG")->Click();
    EXPECT_EQ(Form->ActiveEditorSource()->Lines().Text(), "<strong>word</strong>");
}

} // namespace
