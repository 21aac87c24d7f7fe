// The results pane of the main window: the messages list and the two trees over one made-up run,
// choosing messages, walking them, their pop-up and the message memo's width.
#include <set>

#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/ListView.h"
#include "editor/core/MessageInfo.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/tests/MainWindowFixture.h"

namespace {

// --- the results trees -----------------------------------------------------------------------------

// Five messages of a made-up run: an error, a warning with a group text, a message, and two
// style-sheet messages (group word bit 1), one with a group text and one without.
struct TFakeMessage {
    int32_t Kind, Line, Character, Length, GroupWord, Flag1, Flag2;
    const char* Text;
    const char* Group;
};
const TFakeMessage kFake[] = {
    {1, 2, 3, 4, 0, 5, 7, "first error", ""},
    {2, 3, 1, 0, 0, 0, 0, "grouped warning", "Accessibility"},
    {4, 1, 0, 0, 0, 0, 0, "a message", ""},
    {1, 4, 1, 2, 1, 0, 0, "style error", "Selectors"},
    {2, 5, 1, 0, 1, 0, 0, "bare style warning", ""},
};
const TFakeMessage& Fake(int32_t I) {
    return kFake[static_cast<size_t>(I - 1)];
}
int32_t ZELAPI FakeInteger(int32_t, int32_t Id) {
    return Id == 6003 ? static_cast<int32_t>(std::size(kFake)) : 0;
}
int32_t ZELAPI FakeInteger2(int32_t, int32_t Id, int32_t I) {
    const TFakeMessage& M = Fake(I);
    switch (Id) {
    case 15000:
        return M.Kind;
    case 15001:
        return M.Line;
    case 15002:
        return M.Character;
    case 15003:
        return M.Length;
    case 15013:
        return M.GroupWord;
    case 15005:
        return M.Flag1;
    case 15014:
        return M.Flag2;
    default:
        return 0;
    }
}
const char* ZELAPI FakeString2(int32_t, int32_t Id, int32_t I) {
    return Id == 12001 ? Fake(I).Text : Fake(I).Group;
}
int32_t SetFlagCalls = 0;
int32_t ZELAPI CountSetFlag(int32_t, int32_t, int32_t, int32_t) {
    ++SetFlagCalls;
    return 0;
}
// Tag-name program flag 7 is on, every other one off.
int32_t ZELAPI FakeGetFlag(int32_t, int32_t, int32_t Mask) {
    return Mask == 7 ? 1 : 0;
}

class ResultsTreeTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Saved = Engine;
        Engine.ZELGetIntegerEZ = &FakeInteger;
        Engine.ZELGetInteger2EZ = &FakeInteger2;
        Engine.ZELGetString2 = &FakeString2;
        Engine.ZELGetString6 = &FakeString6;
        Engine.ZELGetFlag = &FakeGetFlag;
        p->iface->flags2 &= ~(If2ListGroupedMessages | If2ListFlaggedMessages);
        p->iface->flags |= 0x400;
        Form->ArrangePanels(0);
        Doc = Form->GetCurrentFileInfo();
        ASSERT_NE(Doc, nullptr);
        Form->ActiveEditorSource()->LoadFromString(
            "line one\nline two here\nline three\nline four\nline five\n");
        Doc->resultsHandle = 7;
        Doc->messagesValid = false;
    }
    void TearDown() override {
        Doc->ClearResults(1 | 8);
        Engine = Saved;
        MainWindowTest::TearDown();
    }
    void ShowSheet(TTabSheet* Sheet) {
        Form->ResultsPageControl->SetActivePage(Sheet);
        Form->ResultsPageControlChange(nullptr);
    }
    // The tree's nodes as "text" for a group node and "  text" for a message node.
    static std::vector<std::string> Nodes(THSTree* T) {
        std::vector<std::string> R;
        for (THSTreeNode* N = T->Items().GetFirstNode(); N; N = N->GetNext())
            R.push_back(N->Data()
                            ? "  " + std::string(static_cast<msginfoclass*>(N->Data())->text.getString())
                            : N->Text());
        return R;
    }
    static std::set<msginfoclass*> Messages(THSTree* T) {
        std::set<msginfoclass*> R;
        for (THSTreeNode* N = T->Items().GetFirstNode(); N; N = N->GetNext())
            if (N->Data())
                R.insert(static_cast<msginfoclass*>(N->Data()));
        return R;
    }
    msginfoclass* Selected(THSTree* T) {
        return T->Selected() ? static_cast<msginfoclass*>(T->Selected()->Data()) : nullptr;
    }
    std::string Shown() { return Form->MessageSource->Lines().Text(); }
    EngineFunctionTable Saved;
    fileinfoclass* Doc = nullptr;
};

TEST_F(ResultsTreeTest, TreesHoldTheListsMessagesGroupedAndTheStyleMessagesApart) {
    ASSERT_EQ(Form->RefreshResults(Doc, 4), 0);
    std::set<msginfoclass*> Listed;
    for (int I = 0; I < Form->ResultsListView->Count(); ++I)
        Listed.insert(static_cast<msginfoclass*>(Form->ResultsListView->ItemData(I)));
    EXPECT_EQ(Listed.size(), 3u) << "the list leaves the two messages with a group text out";

    ShowSheet(Form->TreeViewSheet);
    EXPECT_EQ(Nodes(Form->ResultsTreeView),
              (std::vector<std::string>{"Error", "  first error", "Accessibility", "  grouped warning",
                                        "Message", "  a message"}));
    // The same messages as the list (less its style-sheet ones), and the grouped one it leaves out.
    std::set<msginfoclass*> Expected;
    for (msginfoclass* M : Listed)
        if (!(M->groupWord & 1))
            Expected.insert(M);
    Expected.insert(Doc->Message(1));
    EXPECT_EQ(Messages(Form->ResultsTreeView), Expected);
    EXPECT_FALSE(Form->TreeViewPanel->Visible());

    ShowSheet(Form->StylesSheet);
    EXPECT_EQ(Nodes(Form->StyleMessagesTreeView),
              (std::vector<std::string>{"Selectors", "  style error", "  bare style warning"}));
    EXPECT_EQ(Form->ResultsTreeView->Items().Count(), 0) << "a hidden tree lets go of the records";

    // Without results the trees empty and the hint panel comes back.
    Doc->ClearResults(1 | 8);
    Form->RefreshResults(Doc, 0);
    EXPECT_EQ(Form->StyleMessagesTreeView->Items().Count(), 0);
    EXPECT_TRUE(Form->StylesPanel->Visible());
}

TEST_F(ResultsTreeTest, ChoosingANodeJumpsLikeTheListAndAGroupNodeShowsNothing) {
    ShowSheet(Form->TreeViewSheet);
    THSTree* T = Form->ResultsTreeView;
    ASSERT_EQ(T->Items().Count(), 6);
    TCustomMemoSource* Source = Form->ActiveEditorSource();
    Source->JumpTo(0, 4);
    T->SetSelected(T->Items().Item(0));
    EXPECT_EQ(Source->GetCurLine(), 4) << "a group node does not move the editor";
    T->SetSelected(T->Items().Item(1));
    EXPECT_EQ(Shown().find("first error"), 0u) << Shown();
    EXPECT_EQ(Source->GetCurLine(), 1);
    EXPECT_EQ(Source->GetCurChar(), 2);
    // Lines inserted above keep the message's place through its bookmark.
    Source->JumpTo(0, 0);
    Source->InsertText("new\n");
    T->SetSelected(T->Items().Item(3));
    T->SetSelected(T->Items().Item(1));
    EXPECT_EQ(Source->GetCurLine(), 2);
    // A click beside the nodes keeps the chosen one.
    Form->ResultsTreeViewClick(T);
    T->SetSelected(nullptr);
    Form->ResultsTreeViewClick(T);
    EXPECT_EQ(Selected(T), Doc->Message(0));
}

TEST_F(ResultsTreeTest, NextAndPreviousWalkTheTreeOverGroupNodesAndWrap) {
    ShowSheet(Form->TreeViewSheet);
    THSTree* T = Form->ResultsTreeView;
    struct TStep {
        bool Next;
        int Expected; // message index (0-based) chosen after the step
    };
    const TStep Steps[] = {{true, 0}, {true, 1}, {true, 2}, {true, 0}, {false, 2}, {false, 1}};
    for (const TStep& S : Steps) {
        if (S.Next)
            EXPECT_EQ(Form->GoToNextMessage(nullptr, 1), 0);
        else
            EXPECT_EQ(Form->GoToPreviousMessage(nullptr), 0);
        EXPECT_EQ(Selected(T), Doc->Message(S.Expected))
            << (S.Next ? "next to " : "previous to ") << S.Expected;
    }
    EXPECT_EQ(Form->ResultsPageControl->ActivePage(), Form->TreeViewSheet);
    // Errors and warnings only, on the style-sheet sheet named by the flags.
    EXPECT_EQ(Form->GoToNextMessage(nullptr, 16 | 2), 0);
    EXPECT_EQ(Form->ResultsPageControl->ActivePage(), Form->StylesSheet);
    EXPECT_EQ(Selected(Form->StyleMessagesTreeView), Doc->Message(3));
    EXPECT_EQ(Shown().find("style error"), 0u) << Shown();
    // An empty tree says so.
    Doc->ClearResults(1 | 8);
    Doc->resultsHandle = 8;
    Engine.ZELGetIntegerEZ = &NoRecords;
    Doc->messagesValid = false;
    Form->RefreshResults(Doc, 0);
    Boxes.clear();
    EXPECT_EQ(Form->GoToNextMessage(nullptr, 1), 2);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "There are no messages available.");
}

TEST_F(ResultsTreeTest, PopupOffersTheMessagesFlagsOnceAndAsksBeforeAChange) {
    ShowSheet(Form->TreeViewSheet);
    Form->ResultsTreeView->SetSelected(Form->ResultsTreeView->Items().Item(1));
    TMenuItem* Root = Form->ResultsPopupMenu->Items();
    auto Captions = [&] {
        std::vector<std::string> R;
        for (int I = 0; I < Root->Count(); ++I)
            if (Root->Items(I)->Caption().find("Flag") != std::string::npos)
                R.push_back(Root->Items(I)->Caption());
        return R;
    };
    for (int Opening = 0; Opening < 2; ++Opening) {
        Form->ResultsPopupMenuPopup(nullptr);
        EXPECT_EQ(Captions(), (std::vector<std::string>{"Enable Flag 5 (currently disabled)",
                                                        "Disable Flag 7 (currently enabled)"}))
            << "opening " << Opening;
        EXPECT_TRUE(Form->Item("ResultsPopupN0")->Visible());
        EXPECT_TRUE(Form->Item("ResultsListClear")->Enabled());
    }
    // "No" to the question changes nothing.
    SetFlagCalls = 0;
    Engine.ZELSetFlag = &CountSetFlag;
    Boxes.clear();
    BoxAnswer = IDNO;
    Form->ResultsPopupFlagClick(Root->Items(0));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Orvalent: Enable Flag?");
    EXPECT_EQ(SetFlagCalls, 0);
    // A group node offers no flags.
    Form->ResultsTreeView->SetSelected(Form->ResultsTreeView->Items().Item(0));
    Form->ResultsPopupMenuPopup(nullptr);
    EXPECT_TRUE(Captions().empty());
    EXPECT_FALSE(Form->Item("ResultsPopupN0")->Visible());
}

TEST_F(ResultsTreeTest, ColumnClicksSortTheListAndClearedResultsLeaveNoRowsOrNodes) {
    ShowSheet(Form->TreeViewSheet);
    ShowSheet(Form->MessagesSheet);
    auto Lines = [&] {
        std::vector<std::string> R;
        for (int I = 0; I < Form->ResultsListView->Count(); ++I)
            R.push_back(Form->ResultsListView->ItemText(I, 1));
        return R;
    };
    ASSERT_EQ(Lines(), (std::vector<std::string>{"2", "1", "5"}));
    EXPECT_EQ(Form->ResultsListView->ItemImage(0), 0) << "an error shows the error picture";
    Form->ResultsListViewColumnClick(Form->ResultsListView, 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1", "2", "5"}));
    Form->ResultsListViewColumnClick(Form->ResultsListView, 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"5", "2", "1"}));

    // A message is chosen and shown; clearing the results frees the records behind the rows, the
    // nodes and the shown text.
    Form->ResultsListViewSelectItem(Form->ResultsListView, 1, true);
    ASSERT_FALSE(Shown().empty());
    ShowSheet(Form->TreeViewSheet);
    ASSERT_GT(Form->ResultsTreeView->Items().Count(), 0);
    Form->ResultsListClearClick(nullptr);
    EXPECT_EQ(Form->ResultsListView->Count(), 0);
    EXPECT_EQ(Form->ResultsTreeView->Items().Count(), 0);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Form->LastSelectedMessage, nullptr);
    EXPECT_TRUE(Form->TreeViewPanel->Visible());
}

// The list of a shown window, clicked as the mouse clicks: a click on the row already chosen takes
// the editor back to its message, and a click on empty space leaves it where it is.
TEST_F(ResultsTreeTest, AClickOnTheChosenRowMovesTheEditorToItsMessageAgain) {
    Form->SetBounds(0, 0, 800, 600);
    Form->Show();
    ShowSheet(Form->MessagesSheet);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->ResultsListView->Handle()) != 0; }));
    HWND List = Form->ResultsListView->Handle();
    auto ClickAt = [&](POINT P) {
        PostMessageA(List, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
        PostMessageA(List, WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
        PumpUntil([] { return false; }, 300);
    };
    RECT Row{};
    Row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Row)));
    const POINT OnFirst{Row.left + 60, (Row.top + Row.bottom) / 2};
    TCustomMemoSource* Editor = Form->ActiveEditorSource();
    ClickAt(OnFirst);
    ASSERT_EQ(Form->ResultsListView->Selected(), 0);
    ASSERT_EQ(Editor->GetCurLine(), 1) << "the first row's message stands on line 2";
    for (const char* Where : {"the chosen row", "empty space"}) {
        SCOPED_TRACE(Where);
        Editor->JumpTo(0, 4);
        const bool OnRow = Where[0] == 't';
        ClickAt(OnRow ? OnFirst : POINT{Row.left + 60, Row.bottom + 5 * (Row.bottom - Row.top)});
        EXPECT_EQ(Form->ResultsListView->Selected(), 0) << "the row stays chosen";
        EXPECT_EQ(Editor->GetCurLine(), OnRow ? 1 : 4);
    }
    Form->Hide();
}

// The message memo under the results list keeps its width: it comes back from the settings at the
// next start, stays when the window changes size, and dragging the divider of one results
// splitter moves the other two with it.
TEST_F(MainWindowTest, MessageMemoWidthComesBackAndOneDragMovesEveryResultsSplitter) {
    delete Form;
    p->iface->resultsMessageSplitPosition = 300;
    p->iface->flags |= 0x400;
    Form = new TZELQEForm(Application);
    Form->FormCreate();
    Form->SetBounds(0, 0, 900, 600);
    Form->Show();
    TPaneSplitter* Split = Form->ResultsMessageSplit;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Split->Handle()) != 0; }));
    auto MemoWidth = [](TPaneSplitter* S) { return S->Extent() - S->Position(); };
    EXPECT_EQ(MemoWidth(Split), 300);
    Form->SetBounds(0, 0, 1000, 600);
    EXPECT_EQ(MemoWidth(Split), 300) << "a wider window widens the list, not the memo";

    // The divider dragged 80 pixels to the left, as the mouse drags it.
    const int Bar = Split->Position() + 1;
    SendMessageA(Split->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Bar, 20));
    SendMessageA(Split->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Bar - 80, 20));
    SendMessageA(Split->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(Bar - 80, 20));
    EXPECT_EQ(MemoWidth(Split), 380);
    EXPECT_EQ(p->iface->resultsMessageSplitPosition, 380);
    for (TTabSheet* Sheet : {Form->TreeViewSheet, Form->StylesSheet}) {
        Sheet->SetTabVisible(true);
        Form->ResultsPageControl->SetActivePage(Sheet);
    }
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(MemoWidth(Form->ResultsTreeViewSplit), 380);
    EXPECT_EQ(MemoWidth(Form->StylesTreeViewSplit), 380);
    Form->Hide();
}

} // namespace
