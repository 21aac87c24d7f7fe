// The validation road inside the main window: validate commands, the messages list, walking the
// messages and jumping from one to its place in the text, the counts in the status bar, and the
// window's notice boxes.
#include "controls/memo/Memo.h"
#include "controls/textmodel/CommandScope.h"
#include "editor/core/AppState.h"
#include "editor/core/DrawingHold.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/JobRunners.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/StageLog.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/Dialogs.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace {

std::string Counted(int32_t Count, const char* Word) {
    return std::to_string(Count) + " " + Word + (Count == 1 ? "" : "s");
}

std::string Str(const StrStore& S) {
    return S.getString() ? S.getString() : "";
}

std::string Lower(std::string S) {
    std::transform(S.begin(), S.end(), S.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return S;
}

// One group of a results tree: its text (empty: the messages stand at the top level) and messages.
struct TMessageGroup {
    std::string Text;
    std::vector<msginfoclass*> Messages;
};

// The groups of one tree in the order of first appearance. The grouped-messages tree holds every
// message of the list and those the list leaves out for their group text, under that text or,
// without one, under their kind; the style-sheet tree holds the style-sheet messages (group B)
// under their group text, or at the top level without one.
std::vector<TMessageGroup> GroupMessages(fileinfoclass* Doc, bool GroupB) {
    std::vector<TMessageGroup> Groups;
    std::map<std::string, size_t> ByText;
    if (!Doc || Doc->resultsHandle < 0)
        return Groups;
    Doc->BuildMessageList(8);
    for (int32_t I = 0; I < Doc->MessageCount(); ++I) {
        msginfoclass* M = Doc->Message(I);
        if (!M || ((M->groupWord & 1) != 0) != GroupB)
            continue;
        std::string Text = Str(M->groupText);
        if (!GroupB && Text.empty()) {
            if (!M->listed)
                continue;
            Text = Str(M->kindName);
        }
        auto [It, New] = ByText.try_emplace(Lower(Text), Groups.size());
        if (New)
            Groups.push_back({Text, {}});
        Groups[It->second].Messages.push_back(M);
    }
    return Groups;
}

std::string NodeText(const msginfoclass* M) {
    std::string Line = Str(M->lineText);
    return Str(M->kindName) + (Line.empty() ? "" : " (line " + Line + ")") + ": " + Str(M->text);
}

std::string WithoutAmpersands(std::string S) {
    S.erase(std::remove(S.begin(), S.end(), '&'), S.end());
    return S;
}

bool StartsWith(const std::string& S, const char* Prefix) {
    return S.rfind(Prefix, 0) == 0;
}

} // namespace

int TZELQEForm::ShowMessageBox(const std::string& Text, const std::string& Caption, int32_t Flags) {
    std::string C = Caption.empty() ? "ZEL Orvalent Lite" : Caption;
    if (!(Flags & BoxNotInStatus))
        SetStatusText(Text);
    if (Flags & BoxStatusOnly)
        return 0;
    UINT Style = MB_SETFOREGROUND;
    if (Flags & BoxQuestion)
        return ::ShowMessageBox(Text, C, Style | MB_YESNO | MB_ICONQUESTION);
    if (Flags & BoxInformation)
        Style |= MB_ICONINFORMATION;
    else if (Flags & BoxStop)
        Style |= MB_ICONHAND;
    ::ShowMessageBox(Text, C, Style | MB_OK);
    return 0;
}

int TZELQEForm::ShowStandardMessage(int32_t Flags) {
    if (Flags & 1)
        ShowMessageBox("There are no messages available.", "Orvalent: No Messages", BoxInformation);
    if (Flags & 2)
        ShowMessageBox("This feature is not yet implemented.", "Orvalent: Feature Not Available",
                       BoxInformation);
    return 0;
}

void TZELQEForm::FillResultsList(fileinfoclass* Doc) {
    if (!Doc) {
        ResultsListView->Clear();
        ResultsListView->SetTag(0);
        ShowHintPanels(false);
        return;
    }
    TStageTimer T("list.fill");
    // 2: the list shows these results already, and keeps its selection.
    if (Doc->FillMessagesList(0) != 2) {
        LastSelectedListItem = -1;
        LastSelectedMessage = nullptr;
    }
}

void TZELQEForm::FillResultsTree(THSTree* Tree, fileinfoclass* Doc) {
    std::vector<TMessageGroup> Groups = GroupMessages(Doc, Tree == StyleMessagesTreeView);
    // The nodes' data in display order, null for a group node.
    std::vector<void*> Wanted;
    for (const TMessageGroup& G : Groups) {
        if (!G.Text.empty())
            Wanted.push_back(nullptr);
        Wanted.insert(Wanted.end(), G.Messages.begin(), G.Messages.end());
    }
    THSTreeNodes& Items = Tree->Items();
    bool Same = Items.Count() == static_cast<int>(Wanted.size());
    int Index = 0;
    for (THSTreeNode* N = Items.GetFirstNode(); Same && N; N = N->GetNext(), ++Index)
        Same = N->Data() == Wanted[static_cast<size_t>(Index)];
    if (Same)
        return;
    SelectionGuard = 1;
    {
        THSTreeUpdateGuard Batch(Items);
        Items.Clear();
        for (const TMessageGroup& G : Groups) {
            THSTreeNode* Parent = G.Text.empty() ? nullptr : Items.AddChildObject(nullptr, G.Text, nullptr);
            for (msginfoclass* M : G.Messages)
                Items.AddChildObject(Parent, NodeText(M), M);
        }
    }
    Tree->FullExpand();
    SelectionGuard = 0;
    LastSelectedTreeNode = nullptr;
}

int TZELQEForm::RefreshResults(fileinfoclass* Document, int32_t) {
    if (Closing())
        return 3;
    // The resource window's structure view shows with the results area collapsed too.
    ShowStructure(Document);
    if (HorzSplit1->Proportion() >= 1.0)
        return 1;
    FillResultsList(Document);
    // A tree is filled when its sheet shows; a hidden one only lets go of records that are gone.
    TTabSheet* Page = ResultsPageControl->ActivePage();
    for (THSTree* T : {ResultsTreeView, StyleMessagesTreeView}) {
        if (Page == (T == ResultsTreeView ? TreeViewSheet : StylesSheet))
            FillResultsTree(T, Document);
        else if (T->Items().Count() > 0) {
            SelectionGuard = 1;
            T->Items().Clear();
            SelectionGuard = 0;
        }
    }
    return 0;
}

int TZELQEForm::ShowResultCounts() {
    if (Closing())
        return 1;
    fileinfoclass* Doc = GetCurrentFileInfo();
    if (Doc && ResultsPageControl->ActivePage() == LinksSheet) {
        Doc->ShowLinks(1);
        return 0;
    }
    if (!Doc || Doc->resultsHandle < 0 || !Engine.ZELGetIntegerEZ) {
        SetStatusText("");
        return 0;
    }
    int32_t H = Doc->resultsHandle;
    SetStatusText(Counted(Engine.ZELGetIntegerEZ(H, 6000), "error") + ", " +
                  Counted(Engine.ZELGetIntegerEZ(H, 6001), "warning") + ", " +
                  Counted(Engine.ZELGetIntegerEZ(H, 6007), "message") + ", " +
                  Counted(Engine.ZELGetIntegerEZ(H, 6008), "comment") + ".");
    return 0;
}

int TZELQEForm::ValidateCurrentDocument(TObject* Sender, int32_t Flags, int Mode) {
    if (Closing())
        return -2;
    if (!(Flags & 1))
        return 0;
    fileinfoclass* Doc = GetCurrentFileInfo();
    if (!Doc)
        return 0;
    if (Doc->kind == KindCSS) {
        ShowStyleSheetNotice(Doc);
        return 0;
    }
    TStageTimer All("validate");
    SetStatusText("Validating...");
    int32_t R;
    {
        // The first results uncover the results views, which would draw at every step: the list's
        // frame as the hint above it goes, then its scroll bars and header as it learns its rows.
        // The pane is repainted whole for them anyway; held until the list has its rows, it is
        // drawn once. (Not longer: a box may follow, over a pane that must show.)
        std::optional<TDrawingHold> Uncovered;
        // The list is emptied as the validation starts and filled after it; its window is told
        // the new row count once, at the end, since each count costs it a new layout.
        ResultsListView->BeginUpdate();
        struct TEndUpdate {
            TListView* List;
            ~TEndUpdate() {
                TStageTimer T("validate.list");
                List->EndUpdate();
            }
        } ListUpdated{ResultsListView};
        {
            TStageTimer T("validate.job");
            // The counts are shown once, below, after the results views are filled.
            R = RunValidationJob(Doc, Mode, ValidateNoCounts | ((Flags & 4) ? ValidateKeepProgress : 0));
        }
        if (Closing())
            return 0;
        if (R >= 0) {
            if (p && p->iface && !(p->iface->flags & 0x400)) {
                // The results window comes into view for the results.
                p->iface->flags |= 0x400;
                ArrangePanels(0);
            }
            TStageTimer T("validate.refresh");
            if (MessagesPanel->Visible()) {
                // Reading the messages may bring a box, which must come over a pane that shows.
                Doc->BuildMessageList(8);
                Uncovered.emplace(ResultsPageControl, TDrawingHold::TFrames::All);
            }
            RefreshResults(Doc, 4);
        }
    }
    if (R >= 0) {
        {
            TStageTimer T("validate.counts");
            ShowResultCounts();
        }
        TStageTimer T("validate.next");
        GoToNextMessage(Sender, Doc->GetMessageCount(0x2000) < 1 ? 5 : 6);
    } else if (R != ValidationCancelled) {
        SetStatusText("A problem occurred.");
    }
    return 0;
}

void TZELQEForm::ToolsValidateClick(TObject* Sender) {
    ValidateCurrentDocument(Sender, 1, -1);
}

// The engine checks the HTML of a document and no style-sheet text: run over a style sheet, it
// reads the sheet as HTML and reports faults that are none (a "<" or an apostrophe in a comment).
// The user is told so in one comment in the messages list instead, and the engine is not asked.
void TZELQEForm::ShowStyleSheetNotice(fileinfoclass* Doc) {
    Doc->ClearResults(3);
    if (!StyleSheetNotice) {
        StyleSheetNotice = std::make_unique<msginfoclass>();
        StyleSheetNotice->kind = 3;
        StyleSheetNotice->image = 3;
        StyleSheetNotice->listed = 1;
        StyleSheetNotice->text =
            "Style sheets are not checked: the validator checks the HTML of web documents, "
            "so nothing in this style sheet was validated.";
        const char* Kind = Engine.ZELGetString6 ? Engine.ZELGetString6(ZELID_MSGTYPESTRING, 3) : nullptr;
        StyleSheetNotice->kindName = Kind && *Kind ? Kind : "Comment";
    }
    StyleSheetNotice->owner = Doc;
    if (p && p->iface && !(p->iface->flags & 0x400)) {
        p->iface->flags |= 0x400;
        ArrangePanels(0);
    }
    ResultsPageControl->SetActivePage(MessagesSheet);
    SelectionGuard = 1;
    ResultsListView->BeginUpdate();
    ResultsListView->Clear();
    ResultsListView->Add({Str(StyleSheetNotice->kindName), "", Str(StyleSheetNotice->text)},
                         StyleSheetNotice.get(), StyleSheetNotice->image);
    // Taken as the document's list, so that closing or clearing the document empties it.
    ResultsListView->SetTag(reinterpret_cast<intptr_t>(Doc));
    ResultsListView->EndUpdate();
    SelectionGuard = 0;
    ShowHintPanels(true);
    ResultsListView->SetSelected(0);
    ShowMessageItem(StyleSheetNotice.get(), 8);
    SetStatusText("Style sheets are not checked.");
}

void TZELQEForm::ToolsValidateAllClick(TObject* Sender) {
    if (Closing())
        return;
    fileinfoclass* Current = GetCurrentFileInfo();
    PointerArrayManager& Docs = p->vol->documents;
    for (int32_t I = 0; I < Docs.count(); ++I) {
        auto* Doc = static_cast<fileinfoclass*>(Docs.at(I));
        // A style sheet only gets its notice, and only in sight.
        if (!Doc || !Doc->IsValidatable() || (Doc->kind == KindCSS && Doc != Current))
            continue;
        Update();
        if (Doc == Current)
            ValidateCurrentDocument(Sender, 5, -1);
        else
            RunValidationJob(Doc, -1, ValidateNoCounts | ValidateKeepProgress);
        if (Closing())
            return;
    }
    if (Engine.ZELSetInteger3)
        Engine.ZELSetInteger3(16006, 1);
    ShowResultCounts();
}

int TZELQEForm::ShowMessageItem(msginfoclass* Message, int32_t Flags) {
    if (!Message && (Flags & 16)) {
        if (Flags & 2) {
            int I = ResultsListView->Selected();
            Message = static_cast<msginfoclass*>(ResultsListView->ItemData(I));
        } else if (THSTree* T = (Flags & 1)   ? ResultsTreeView
                                : (Flags & 4) ? StyleMessagesTreeView
                                              : nullptr) {
            if (THSTreeNode* N = T->Selected())
                Message = static_cast<msginfoclass*>(N->Data());
        }
    }
    if (!Message)
        return 0;
    {
        // Each memo showing the text repaints it whole; the one in view also lays out its scroll
        // bars for the text, which held are drawn once, in that paint.
        TDrawingHold Held(ResultsMessageMemo), Held2(ResultsMessageMemo2), Held3(ResultsMessageMemo3);
        MessageSource->SetROnly(false);
        MessageSource->LoadFromString(Message->text.getString() ? Message->text.getString() : "");
        MessageSource->SetModified(false);
        MessageSource->SetROnly(true);
        for (THSMemo* M : {ResultsMessageMemo, ResultsMessageMemo2, ResultsMessageMemo3})
            M->SetWinLine(0);
    }
    if (Flags & 8 || Message->bookmark < 0)
        return 0;
    if (!ActiveEditorMemo)
        return -1;
    TCustomMemoSource* Source = ActiveEditorMemo->GetSource();
    if (!Source)
        return -1;
    SafeSetFocus(ActiveEditorMemo);
    // The bookmark moved with the text, so edits above the line do not lose the message's place.
    // Message bookmarks lie outside the numbers the user's bookmark commands accept, so the list is
    // read here.
    TBookMarkRec Mark;
    const bool Marked = Source->BookMarks().FindBookMark(Message->bookmark, Mark);
    // A message off the screen scrolls the memo twice, into view and then to the middle, which
    // repaints it whole and draws its scroll bar each time; held, the bar is drawn once, in that
    // paint.
    std::optional<TDrawingHold> Held;
    if (Marked && !ActiveEditorMemo->IsPointVisible(POINT{std::max(0, Message->character - 1), Mark.Line}))
        Held.emplace(ActiveEditorMemo);
    {
        // The caret's moves and the marked text reach the views as one change, not three.
        TScopeGuard Unforce([Source] { Source->ForcedMove = false; });
        TUpdateScope Batch(*Source, 2);
        if (Marked) {
            Source->ForcedMove = true;
            Source->JumpTo(0, Mark.Line);
        }
        if (Message->character > 0)
            Source->JumpToChar(Message->character - 1);
        if (Message->length > 0) {
            TMemoRect R;
            R.Left = Source->GetCurChar();
            R.Top = Source->GetCurLine();
            R.Right = R.Left + Message->length;
            R.Bottom = R.Top + 1;
            Source->SetFoundRect(R);
        }
    }
    ActiveEditorMemo->CenterScreenOnLine();
    return 0;
}

void TZELQEForm::ResultsListViewSelectItem(TObject* Sender, int Index, bool Selected) {
    if (!Selected || Closing() || SelectionGuard)
        return;
    LastSelectedListItem = Index;
    auto* M = static_cast<msginfoclass*>(ResultsListView->ItemData(Index));
    LastSelectedMessage = M;
    ShowMessageItem(M, Sender ? 2 : 10);
    ClickChoseMessage = true;
}

void TZELQEForm::ResultsListViewClick(TObject*) {
    if (Closing())
        return;
    // The list's entering clears its selection after the press was taken, so a click on the row
    // already chosen arrives with nothing selected; the row the click landed on tells it apart
    // from a click on empty space.
    const int Hit = ResultsListView->ClickedItem();
    int Sel = ResultsListView->Selected();
    if (Sel < 0 && Hit >= 0 && Hit < ResultsListView->Count()) {
        SelectionGuard = 1;
        ResultsListView->SetSelected(Hit);
        SelectionGuard = 0;
        Sel = Hit;
    }
    if (Sel >= 0) {
        LastSelectedListItem = Sel;
        LastSelectedMessage = static_cast<msginfoclass*>(ResultsListView->ItemData(Sel));
        // The press chose no other row: the editor goes back to the chosen row's message.
        if (!ClickChoseMessage && Sel == Hit)
            ShowMessageItem(LastSelectedMessage, 2);
    } else if (LastSelectedMessage) {
        // A click on empty space keeps the chosen message and leaves the editor where it is.
        int Again = ResultsListView->IndexOfData(LastSelectedMessage);
        if (Again >= 0) {
            SelectionGuard = 1;
            ResultsListView->SetSelected(Again);
            SelectionGuard = 0;
        }
    }
    ClickChoseMessage = true;
    SafeSetFocus(ActiveEditorMemo);
}

void TZELQEForm::ResultsListViewEnter(TObject*) {
    SelectionGuard = 1;
    ResultsListView->SetSelected(-1);
    SelectionGuard = 0;
}

void TZELQEForm::ResultsPageControlChange(TObject*) {
    RefreshResults(GetCurrentFileInfo(), 17);
    SafeSetFocus(ActiveEditorMemo);
}

void TZELQEForm::ResultsListClearClick(TObject*) {
    if (fileinfoclass* Doc = GetCurrentFileInfo()) {
        Doc->ClearResults(3);
        RefreshResults(Doc, 0);
        ShowResultCounts();
    }
    SafeSetFocus(ActiveEditorMemo);
}

void TZELQEForm::ResultsListRefreshClick(TObject*) {
    RefreshResults(GetCurrentFileInfo(), 39);
    SafeSetFocus(ActiveEditorMemo);
}

void TZELQEForm::ResultsMessageSplitSplitterDrop(TObject* Sender) {
    auto* S = dynamic_cast<TPaneSplitter*>(Sender);
    if (!S || !p || !p->iface)
        return;
    p->iface->resultsMessageSplitPosition = S->Extent() - S->Position();
    // The three message memos keep one width.
    for (TPaneSplitter* Other : {ResultsMessageSplit, ResultsTreeViewSplit, StylesTreeViewSplit})
        if (Other != S)
            ApplyMessageMemoWidth(Other);
}

// The sheet a message walk works on: the one the flags name, else the active results sheet when
// it lists messages, else the Messages sheet. Switching sheets refreshes the views.
TTabSheet* TZELQEForm::MessageWalkSheet(TObject* Sender, int32_t Flags) {
    TTabSheet* Want = (Flags & 4)    ? MessagesSheet
                      : (Flags & 8)  ? TreeViewSheet
                      : (Flags & 16) ? StylesSheet
                                     : nullptr;
    TTabSheet* Page = ResultsPageControl->ActivePage();
    if (!Want)
        Want = (Page == MessagesSheet || Page == TreeViewSheet || Page == StylesSheet) ? Page : MessagesSheet;
    if (Page != Want) {
        ResultsPageControl->SetActivePage(Want);
        ResultsPageControlChange(Sender);
    }
    return Want;
}

int TZELQEForm::GoToNextMessage(TObject* Sender, int32_t Flags) {
    fileinfoclass* Doc = GetCurrentFileInfo();
    if (Doc && Doc->GetMessageCount(8) == -1) {
        ToolsValidateClick(Sender);
        return 1;
    }
    TTabSheet* Sheet = MessageWalkSheet(Sender, Flags);
    if (Sheet != MessagesSheet) {
        THSTree* T = Sheet == TreeViewSheet ? ResultsTreeView : StyleMessagesTreeView;
        THSTreeNodes& Items = T->Items();
        int N = Items.Count();
        if (N == 0) {
            ShowStandardMessage(1);
            return 2;
        }
        THSTreeNode* Sel = T->Selected();
        int Start = Sel ? Sel->AbsoluteIndex() + 1 : 0;
        if (!Sel || Start >= N) {
            Start = 0;
            T->SetTopItem(Items.GetFirstNode());
        }
        while (Start < N && !Items.Item(Start)->Data())
            ++Start;
        if (Start >= N) {
            Start = 0;
            T->SetTopItem(Items.GetFirstNode());
        }
        if (Flags & 2) {
            while (Start < N) {
                auto* M = static_cast<msginfoclass*>(Items.Item(Start)->Data());
                if (M && M->IsErrorOrWarning())
                    break;
                ++Start;
            }
            if (Start >= N)
                return 0;
        }
        T->SetSelected(Items.Item(Start));
        SafeSetFocus(ActiveEditorMemo);
        return 0;
    }
    int N = ResultsListView->Count();
    if (N == 0) {
        ShowStandardMessage(1);
        return 2;
    }
    int Start = ResultsListView->Selected() + 1;
    if (Start < 0 || Start >= N)
        Start = 0;
    if (Flags & 2) {
        while (Start < N) {
            auto* M = static_cast<msginfoclass*>(ResultsListView->ItemData(Start));
            if (M && M->IsErrorOrWarning())
                break;
            ++Start;
        }
        if (Start >= N)
            return 0;
    }
    ResultsListView->SetSelected(Start);
    SafeSetFocus(ActiveEditorMemo);
    return 0;
}

int TZELQEForm::GoToPreviousMessage(TObject* Sender) {
    fileinfoclass* Doc = GetCurrentFileInfo();
    if (Doc && Doc->GetMessageCount(8) == -1) {
        ToolsValidateClick(Sender);
        return 1;
    }
    TTabSheet* Sheet = MessageWalkSheet(Sender, 0);
    if (Sheet != MessagesSheet) {
        THSTree* T = Sheet == TreeViewSheet ? ResultsTreeView : StyleMessagesTreeView;
        THSTreeNodes& Items = T->Items();
        int N = Items.Count();
        if (N == 0) {
            ShowStandardMessage(1);
            return 2;
        }
        THSTreeNode* Sel = T->Selected();
        int Index = Sel ? Sel->AbsoluteIndex() - 1 : N - 1;
        if (Index < 0 || Index >= N)
            Index = N - 1;
        while (Index >= 0 && !Items.Item(Index)->Data())
            --Index;
        if (Index < 0)
            Index = N - 1;
        T->SetSelected(Items.Item(Index));
        SafeSetFocus(ActiveEditorMemo);
        return 0;
    }
    int N = ResultsListView->Count();
    if (N == 0) {
        ShowStandardMessage(1);
        return 2;
    }
    int Index = ResultsListView->Selected() - 1;
    if (Index < 0 || Index >= N)
        Index = N - 1;
    ResultsListView->SetSelected(Index);
    SafeSetFocus(ActiveEditorMemo);
    return 0;
}

void TZELQEForm::ViewNextMessageClick(TObject* Sender) {
    GoToNextMessage(Sender, 1);
}

void TZELQEForm::ViewPreviousMessageClick(TObject* Sender) {
    GoToPreviousMessage(Sender);
}

void TZELQEForm::HSMemoEnter(TObject* Sender) {
    if (Closing())
        return;
    auto* Memo = dynamic_cast<THSMemo*>(Sender);
    if (Memo && Memo != ActiveEditorMemo) {
        ActiveEditorMemo = Memo;
        ShowResultCounts();
    }
    if (!(StateFlags & 2))
        SelectTab(nullptr, -1, 0);
    UpdateStatusPanels(StatusCaret | StatusFromDocument, false, false);
}

void TZELQEForm::ResultsTreeViewChange(TObject* Sender, THSTreeNode* Node) {
    if (Closing() || SelectionGuard || !Node)
        return;
    // A group node has no message of its own.
    if (auto* M = static_cast<msginfoclass*>(Node->Data()))
        ShowMessageItem(M, Sender ? 1 : 9);
}

void TZELQEForm::ResultsTreeViewClick(TObject* Sender) {
    if (Closing())
        return;
    try {
        THSTree* T =
            Sender && Sender->ClassName() == "THSTree" ? static_cast<THSTree*>(Sender) : ResultsTreeView;
        if (THSTreeNode* Sel = T->Selected())
            LastSelectedTreeNode = Sel;
        else if (LastSelectedTreeNode) {
            // A click beside the nodes keeps the chosen message and leaves the editor where it is.
            for (THSTreeNode* N = T->Items().GetFirstNode(); N; N = N->GetNext())
                if (N == LastSelectedTreeNode) {
                    SelectionGuard = 1;
                    T->SetSelected(N);
                    SelectionGuard = 0;
                    break;
                }
        }
    } catch (const std::exception&) {
        SelectionGuard = 0;
    }
    SafeSetFocus(ActiveEditorMemo);
}

void TZELQEForm::ResultsTreeViewEnter(TObject*) {}

void TZELQEForm::ResultsTreeViewRightClickNode(TObject*, THSTreeNode*, TRightClickAction& Action) {
    // The pop-up then works on the node under the mouse.
    Action = raMakeSelected;
}

void TZELQEForm::ResultsPopupMenuPopup(TObject*) {
    TMenuItem* Root = ResultsPopupMenu->Items();
    TCustomMemoSource* Source = ActiveEditorSource();
    SetEnabled("ResultsPopupValidateHTML", Source && Source->Lines().Count() > 0);
    // Items an earlier opening added.
    for (int I = Root->Count() - 1; I >= 0; --I) {
        TMenuItem* It = Root->Items(I);
        std::string C = WithoutAmpersands(It->Caption());
        if (StartsWith(C, "Disable Flag") || StartsWith(C, "Enable Flag") || StartsWith(C, "Open Link")) {
            Root->Remove(It);
            delete It;
        }
    }
    TMenuItem* Separator = Item("ResultsPopupN0");
    if (Separator)
        Separator->SetVisible(false);
    fileinfoclass* Doc = GetCurrentFileInfo();
    bool HasResults = Doc && Doc->resultsHandle >= 0;
    SetEnabled("ResultsListClear", HasResults);
    SetEnabled("ResultsPopupCopyToClipboard", HasResults);
    SetEnabled("ResultsPopupExportLinks", Doc && Doc->GetLinkCount(Doc->resultsHandle, 4) >= 1);

    TTabSheet* Page = ResultsPageControl->ActivePage();
    msginfoclass* M = nullptr;
    if (Page == MessagesSheet) {
        int Sel = ResultsListView->Selected();
        if (Sel < 0 && LastSelectedMessage)
            Sel = ResultsListView->IndexOfData(LastSelectedMessage);
        M = static_cast<msginfoclass*>(ResultsListView->ItemData(Sel));
    } else if (Page == TreeViewSheet) {
        if (THSTreeNode* N = ResultsTreeView->Selected())
            M = static_cast<msginfoclass*>(N->Data());
    }
    if (!M || !p || !p->vol)
        return;
    // The second flag first, so that the first one ends on top.
    // The message's two leading numbers are the tag-name program flags it depends on.
    for (int32_t Flag : {M->extraWord, M->flagWord}) {
        if (Flag <= 0)
            continue;
        bool On = EngineGetFlag(p->vol->optionsHandle, 1007, Flag) > 0;
        auto* It = new TMenuItem(this);
        It->SetCaption(On ? "Disable Flag " + std::to_string(Flag) + " (currently enabled)"
                          : "Enable Flag " + std::to_string(Flag) + " (currently disabled)");
        It->SetHint("This flag normally (but not always) affects whether this message is displayed or not.");
        It->SetTag(Flag);
        It->OnClick = [this](TObject* S) { ResultsPopupFlagClick(S); };
        Root->Insert(0, It);
        if (Separator)
            Separator->SetVisible(true);
    }
}

void TZELQEForm::ResultsPopupFlagClick(TObject* Sender) {
    auto* It = dynamic_cast<TMenuItem*>(Sender);
    if (!It || Closing() || !p || !p->vol)
        return;
    int32_t Flag = static_cast<int32_t>(It->Tag());
    std::string N = std::to_string(Flag);
    bool Disable = StartsWith(WithoutAmpersands(It->Caption()), "Disable");
    bool On = EngineGetFlag(p->vol->optionsHandle, 1007, Flag) > 0;
    if (Disable != On) {
        if (Disable)
            ShowMessageBox("Tag name program flag " + N + " has already been disabled.",
                           "Orvalent: Flag Already Disabled", BoxInformation);
        else
            ShowMessageBox("Tag name program flag " + N + " is already enabled.",
                           "Orvalent: Flag Already Enabled", BoxInformation);
        return;
    }
    std::string Verb = Disable ? "disable" : "enable";
    std::string Later =
        Disable ? "If you disable this flag, then you can reenable it later from the validator options. "
                : "If you enable this flag, then you can disable it again later from the validator options. ";
    std::string Question = "Are you sure that you want to " + Verb + " tag name program flag " + N +
                           "? You will affect all messages and functionality tied to this flag. For specific "
                           "information about each flag and what it does, please see the documentation. " +
                           Later + (Disable ? "Disable" : "Enable") + " this flag?";
    if (::ShowMessageBox(Question, Disable ? "Orvalent: Disable Flag?" : "Orvalent: Enable Flag?",
                         MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES) {
        EngineSetFlag(p->vol->optionsHandle, 1007, Flag, Disable ? 0 : 1);
        if (ShowMessageBox("Flag " + N + " has been " + Verb +
                               "d. The change will take effect at the next "
                               "validation. Do you want to revalidate this document now?",
                           Disable ? "Orvalent: Flag Disabled" : "Orvalent: Flag Enabled",
                           BoxQuestion) == IDYES)
            ToolsValidateClick(this);
    }
    SafeSetFocus(ActiveEditorMemo);
}
