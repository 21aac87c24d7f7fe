// The tree in a real window: painting, scrolling, keys, clicks, tooltips and in-place editing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "controls/tree/HSPopup.h"
#include "controls/tree/HSToolTip.h"
#include "controls/tree/HSTree.h"
#include "framework/ui/PngWriter.h"

namespace {

std::string ShotFolder() {
    std::filesystem::path Dir = std::filesystem::path(TestOutputFolder()).parent_path() / "tree";
    std::filesystem::create_directories(Dir);
    return Dir.string();
}

class TreeWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 360, 300);
        Form->SetCaption("Tree");
        Tree = new THSTree(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetAlign(TAlign::alClient);
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    // 1000 groups of 9 messages: 10,000 nodes.
    void Fill() {
        THSTreeUpdateGuard Batch(Tree->Items());
        for (int G = 0; G < 1000; ++G) {
            THSTreeNode* Group = Tree->Items().Add(nullptr, "Group " + std::to_string(G));
            for (int M = 0; M < 9; ++M)
                Tree->Items().AddChildObject(Group, "Message " + std::to_string(G) + "." + std::to_string(M),
                                             &Records[M]);
        }
    }
    void ShowForm() {
        Form->Show();
        Tree->SetFocus();
        PumpUntil([] { return false; }, 150);
    }
    HWND TreeWnd() { return Tree->Handle(); }
    void Click(int X, int Y, bool Double = false) {
        PostMessageA(TreeWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        PostMessageA(TreeWnd(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
        if (Double) {
            PostMessageA(TreeWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(X, Y));
            PostMessageA(TreeWnd(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
        }
        PumpUntil([] { return false; }, 30);
    }
    // Centre of a node's text on screen.
    POINT TextCentre(THSTreeNode* N) {
        RECT R = N->DisplayRect(true);
        return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
    std::unique_ptr<TForm> Form;
    THSTree* Tree = nullptr;
    int Records[9] = {};
};

TEST_F(TreeWindow, TenThousandNodesPaintScrollAndKeepTheirGeometry) {
    Fill();
    ASSERT_EQ(Tree->Items().Count(), 10000);
    Tree->Items().Item(0)->Expand(false);
    ShowForm();
    EXPECT_EQ(Tree->Items().VisibleCount(), 1009);

    // Rows: the font's cached height made even plus the borders, stacked from the top.
    THSTreeNode* First = Tree->Items().GetFirstNode();
    THSTreeNode* Second = First->GetFirstChild();
    int H = First->GetHeight();
    EXPECT_GE(H, 16);
    EXPECT_EQ(H % 2, 0);
    EXPECT_EQ(Second->DisplayRect(true).top, H);
    EXPECT_EQ(Tree->GetNodeAt(TextCentre(Second).x, TextCentre(Second).y), Second);
    RECT Button = Second->DisplayRectPart(npButton, npButton);
    EXPECT_EQ(Tree->GetNodeAt(Button.left + 2, Button.top + 2), nullptr) << "the indent cell is no item";
    EXPECT_EQ(Tree->GetHitTest(Button.left + 9, Button.top + 9), HitBit(dhtOnIndent))
        << "no children: no button";
    EXPECT_EQ(Tree->GetHitTest(TextCentre(First).x + 200, TextCentre(First).y), 0)
        << "right of the text: the node with an empty set";

    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(TreeWnd(), SB_VERT, &SI));
    EXPECT_EQ(SI.nMax, 1008);
    EXPECT_EQ(SI.nPos, 0);
    int Page = Tree->GetPageSize();
    EXPECT_EQ(static_cast<int>(SI.nPage), Page);

    // Page down by the scroll bar, then to the very end: the last page stays full.
    SendMessageA(TreeWnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Tree->TopItem()->VisibleIndex(), Page - 1);
    THSTreeNode* Last = Tree->Items().GetLastVisibleNode();
    Tree->SetTopItem(Last);
    RECT C;
    GetClientRect(TreeWnd(), &C);
    RECT LastRect = Last->DisplayRect(false);
    EXPECT_LE(LastRect.bottom, C.bottom);
    EXPECT_GT(LastRect.bottom + H, C.bottom) << "the last node sits on the bottom row";
    GetScrollInfo(TreeWnd(), SB_VERT, &SI);
    EXPECT_EQ(SI.nPos, Tree->TopItem()->VisibleIndex());

    // One wheel notch moves the system's number of lines.
    Tree->SetTopItem(Tree->Items().GetVisibleItem(500));
    UINT Lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    SendMessageA(TreeWnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Tree->TopItem()->VisibleIndex(), 500 + static_cast<int>(Lines));

    // Selecting a far node brings it into view, as the main window's jump to a message does.
    THSTreeNode* Far = Tree->Items().Item(9000);
    Tree->SetSelected(Far);
    EXPECT_TRUE(Far->IsVisible());
    int Top = 0;
    EXPECT_TRUE(Tree->GetNodeTop(Far, Top));
    Form->Update();
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, ShotFolder() + "\\tree-10000-nodes.png");
}

TEST_F(TreeWindow, KeysClicksAndQuickSearchMoveTheSelection) {
    Fill();
    ShowForm();
    std::vector<std::string> Changes;
    Tree->OnChange = [&](TObject*, THSTreeNode* N) { Changes.push_back(N ? N->Text() : "-"); };
    THSTreeNode* G0 = Tree->Items().GetFirstNode();
    THSTreeNode* G1 = G0->GetNextSibling();
    Tree->SetSelected(G0);
    PostKey(TreeWnd(), VK_DOWN);
    PumpUntil([&] { return Tree->Selected() == G1; });
    EXPECT_EQ(Tree->Selected(), G1);
    PostKey(TreeWnd(), VK_RIGHT);
    PumpUntil([&] { return G1->Expanded(); });
    EXPECT_TRUE(G1->Expanded());
    PostKey(TreeWnd(), VK_RIGHT);
    PumpUntil([&] { return Tree->Selected() == G1->GetFirstChild(); });
    EXPECT_EQ(Tree->Selected(), G1->GetFirstChild());
    PostKey(TreeWnd(), VK_LEFT);
    PumpUntil([&] { return Tree->Selected() == G1; });
    PostKey(TreeWnd(), VK_LEFT);
    PumpUntil([&] { return !G1->Expanded(); });
    EXPECT_FALSE(G1->Expanded());
    EXPECT_EQ(Tree->Selected(), G1);
    PostKey(TreeWnd(), VK_LEFT);
    PumpUntil([] { return false; }, 30);
    EXPECT_EQ(Tree->Selected(), G1) << "Left on a collapsed top-level node does nothing";
    EXPECT_EQ(Changes, (std::vector<std::string>{"Group 1", "Message 1.0", "Group 1"}));

    // Typed letters within half a second search together, in either case.
    PostChars(TreeWnd(), "group 12");
    PumpUntil([&] { return Tree->Selected() && Tree->Selected()->Text() == "Group 12"; });
    EXPECT_EQ(Tree->Selected()->Text(), "Group 12");

    // A click on a text selects; a click on a button expands; a double click toggles.
    THSTreeNode* G2 = G1->GetNextSibling();
    Tree->SetTopItem(G0);
    POINT P = TextCentre(G2);
    Click(P.x, P.y);
    EXPECT_EQ(Tree->Selected(), G2);
    RECT B = G2->DisplayRectPart(npButton, npButton);
    Click((B.left + B.right) / 2, (B.top + B.bottom) / 2);
    EXPECT_TRUE(G2->Expanded());
    P = TextCentre(G0);
    Click(P.x, P.y, true);
    EXPECT_TRUE(G0->Expanded());
    EXPECT_EQ(Tree->Selected(), G0);
}

TEST_F(TreeWindow, CheckBoxesAnswerClicksAndTheSpaceBar) {
    THSTreeNode* A = Tree->Items().Add(nullptr, "alpha");
    THSTreeNode* Plain = Tree->Items().Add(nullptr, "plain");
    Tree->SetCheckBoxesType(ctCustom);
    A->SetNodeType(ntCheckBox);
    ShowForm();
    int Clicks = 0;
    Tree->OnCheckClick = [&](TObject*, THSTreeNode*) { ++Clicks; };
    RECT Box = A->DisplayRectPart(npCheckBox, npCheckBox);
    Click((Box.left + Box.right) / 2, (Box.top + Box.bottom) / 2);
    EXPECT_TRUE(A->Checked());
    Tree->SetSelected(A);
    PostChars(TreeWnd(), " ");
    PumpUntil([&] { return !A->Checked(); });
    EXPECT_FALSE(A->Checked());
    EXPECT_EQ(Clicks, 2);
    Tree->SetSelected(Plain);
    PostChars(TreeWnd(), " ");
    PumpUntil([] { return false; }, 30);
    EXPECT_EQ(Clicks, 2) << "on a plain node the space bar only searches";
}

TEST_F(TreeWindow, LabelsAreEditedInPlace) {
    Fill();
    ShowForm();
    THSTreeNode* N = Tree->Items().Item(20);
    std::vector<std::string> Log;
    Tree->OnEdited = [&](TObject*, THSTreeNode*, std::string& S) { Log.push_back("edited " + S); };
    Tree->OnAfterEditing = [&](TObject*, THSTreeNode*, bool Cancelled) {
        Log.push_back(Cancelled ? "cancelled" : "done");
    };

    // Enter accepts the typed text.
    N->EditText();
    ASSERT_TRUE(Tree->IsEditing());
    TWinControl* Ed = Tree->EditorControl();
    ASSERT_NE(Ed, nullptr);
    EXPECT_TRUE(IsWindowVisible(Ed->Handle()));
    RECT TextRect = N->DisplayRect(true);
    EXPECT_NEAR(Ed->Left(), TextRect.left, 2) << "the editor lies over the node's text";
    PostChars(Ed->Handle(), "Renamed node");
    PumpUntil([&] { return Ed->Text() == "Renamed node"; });
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, ShotFolder() + "\\tree-editing.png");
    PostKey(Ed->Handle(), VK_RETURN);
    PumpUntil([&] { return !Tree->IsEditing(); });
    EXPECT_EQ(N->Text(), "Renamed node");
    EXPECT_EQ(Log, (std::vector<std::string>{"edited Renamed node", "done"}));
    PumpUntil([&] { return !IsWindowVisible(Ed->Handle()); });
    EXPECT_FALSE(IsWindowVisible(Ed->Handle()));

    // Esc keeps the old text.
    Log.clear();
    N->EditText();
    PostChars(Tree->EditorControl()->Handle(), "thrown away");
    PumpUntil([&] { return Tree->EditorControl()->Text() == "thrown away"; });
    PostKey(Tree->EditorControl()->Handle(), VK_ESCAPE);
    PumpUntil([&] { return !Tree->IsEditing(); });
    EXPECT_EQ(N->Text(), "Renamed node");
    EXPECT_EQ(Log, std::vector<std::string>{"cancelled"});

    // A validation that asks to go on editing keeps the editor open and the node unchanged.
    Tree->OnValidateEditText = [](TObject*, THSTreeNode*, std::string& S, THSValidateCode& Code) {
        if (S.empty())
            Code = vcContinueEditing;
    };
    N->EditText();
    SetWindowTextA(Tree->EditorControl()->Handle(), "");
    Tree->EndEditNode(false);
    EXPECT_TRUE(Tree->IsEditing());
    EXPECT_EQ(N->Text(), "Renamed node");
    Tree->EndEditNode(true);
    EXPECT_FALSE(Tree->IsEditing());

    // A read-only node never opens an editor.
    N->SetReadOnly(true);
    N->EditText();
    EXPECT_FALSE(Tree->IsEditing());
}

// Width of the editor's text in the editor's font.
int EditorTextWidth(TWinControl& Ed) {
    HDC DC = GetDC(Ed.Handle());
    HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageA(Ed.Handle(), WM_GETFONT, 0, 0)));
    const std::string Text = Ed.Text();
    SIZE Size{};
    GetTextExtentPoint32A(DC, Text.c_str(), int(Text.size()), &Size);
    SelectObject(DC, Old);
    ReleaseDC(Ed.Handle(), DC);
    return Size.cx;
}

TEST_F(TreeWindow, TheRenameBoxGrowsWithItsTextUpToTheWindowsEdge) {
    Fill();
    ShowForm();
    THSTreeNode* N = Tree->Items().Item(20);
    N->EditText();
    ASSERT_TRUE(Tree->IsEditing());
    TWinControl* Ed = Tree->EditorControl();
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, ShotFolder() + "\\tree-rename-start.png");
    // Typed one character at a time, as a user does, and then a longer name put in at once (as
    // a paste does): each time the box holds the whole text from its first letter on.
    auto HoldsItsText = [&](const std::string& Text) {
        PumpUntil([&] { return Ed->Text() == Text; });
        RECT Layout; // where the edit lays out its text
        SendMessageA(Ed->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Layout));
        EXPECT_EQ(SendMessageA(Ed->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << Text;
        EXPECT_GE(Layout.right - Layout.left, EditorTextWidth(*Ed)) << Text;
    };
    std::string Typed;
    for (char C : std::string("Renamed node")) {
        Typed += C;
        PostChars(Ed->Handle(), std::string(1, C));
        HoldsItsText(Typed);
    }
    CaptureClient(*Form, Shot);
    SavePng(Shot, ShotFolder() + "\\tree-rename-typed.png");
    const std::string Pasted = "A much longer name put in at once";
    SendMessageA(Ed->Handle(), EM_SETSEL, 0, -1);
    SendMessageA(Ed->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Pasted.c_str()));
    HoldsItsText(Pasted);

    // A text wider than the window fills the box to the window's edge and no further.
    PostChars(Ed->Handle(), std::string(60, 'W'));
    PumpUntil([&] { return Ed->Text().size() == Pasted.size() + 60; });
    RECT Box;
    GetWindowRect(Ed->Handle(), &Box);
    MapWindowPoints(nullptr, Tree->Handle(), reinterpret_cast<POINT*>(&Box), 2);
    EXPECT_EQ(Box.right, Tree->ClientWidth());
    Tree->EndEditNode(true);
}

TEST_F(TreeWindow, ClippedTextsGetATooltipOverTheirText) {
    Tree->Items().Add(nullptr, "short");
    THSTreeNode* Long = Tree->Items().Add(nullptr, std::string(120, 'W'));
    ShowForm();
    // The tip lies over the node's text exactly, where the text is cut by the window's edge.
    // (Hover delays of the platform are not waited for: the tool is placed, not shown.)
    Tree->SetSelected(Long);
    RECT LongText = Long->DisplayRect(true);
    EXPECT_GT(LongText.right, Tree->ClientWidth());
    EXPECT_EQ(Tree->GetNodeAt(LongText.left + 5, TextCentre(Long).y), Long);
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, ShotFolder() + "\\tree-long-text.png");
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(TreeWnd(), SB_HORZ, &SI))
        << "a text wider than the window needs a horizontal bar";
    EXPECT_EQ(SI.nMax + 1, Tree->GetMaxWidth());
    SendMessageA(TreeWnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(Tree->HorzOffset(), 5);
}

} // namespace

namespace {

TEST_F(TreeWindow, ClicksFireTheControlEventsAndASecondClickEdits) {
    Fill();
    ShowForm();
    int Clicks = 0, DblClicks = 0;
    Tree->OnClick = [&](TObject*) { ++Clicks; };
    Tree->OnDblClick = [&](TObject*) { ++DblClicks; };
    THSTreeNode* G3 = Tree->Items().GetFirstNode()->GetNextSibling()->GetNextSibling()->GetNextSibling();
    POINT P = TextCentre(G3);
    Click(P.x, P.y);
    EXPECT_EQ(Tree->Selected(), G3);
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(Tree->IsEditing());
    // A second single click on the selected node's text starts editing after a pause.
    Click(P.x, P.y);
    EXPECT_FALSE(Tree->IsEditing()) << "not at once";
    EXPECT_TRUE(PumpUntil([&] { return Tree->IsEditing(); }, 2000));
    Tree->EndEditNode(true);
    // A double click toggles and edits nothing.
    Click(P.x, P.y, true);
    EXPECT_EQ(DblClicks, 1);
    EXPECT_TRUE(G3->Expanded());
    PumpUntil([] { return false; }, 900);
    EXPECT_FALSE(Tree->IsEditing());
}

TEST_F(TreeWindow, CtrlAndShiftClicksSelectSeveralNodes) {
    Fill();
    Tree->SetMultiSelect(true);
    ShowForm();
    std::vector<THSTreeNode*> G;
    for (THSTreeNode* N = Tree->Items().GetFirstNode(); N && G.size() < 6; N = N->GetNextSibling())
        G.push_back(N);
    POINT P1 = TextCentre(G[1]), P4 = TextCentre(G[4]);
    Click(P1.x, P1.y);
    PostMessageA(TreeWnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(P4.x, P4.y));
    PostMessageA(TreeWnd(), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(P4.x, P4.y));
    PumpUntil([&] { return Tree->SelectionCount() == 4; });
    EXPECT_EQ(Tree->SelectionCount(), 4);
    EXPECT_TRUE(G[2]->Selected() && G[3]->Selected());
    EXPECT_EQ(Tree->Selected(), G[4]);
    POINT P2 = TextCentre(G[2]);
    PostMessageA(TreeWnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(P2.x, P2.y));
    PostMessageA(TreeWnd(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(P2.x, P2.y));
    PumpUntil([&] { return !G[2]->Selected(); });
    EXPECT_FALSE(G[2]->Selected());
    EXPECT_EQ(Tree->SelectionCount(), 3);
    Tree->SetMultiSelect(false);
    EXPECT_EQ(Tree->SelectionCount(), 1) << "switching multi-selection off keeps the focused node";
}

TEST_F(TreeWindow, NodesAreDraggedOnlyPastFivePixels) {
    Fill();
    Tree->SetDragMode(dmAutomatic);
    ShowForm();
    THSTreeNode* From = Tree->Items().GetFirstNode();
    THSTreeNode* To = From->GetNextSibling()->GetNextSibling();
    THSTreeNode* Dropped = nullptr;
    bool Started = false;
    Tree->OnStartDrag = [&](TObject*) { Started = true; };
    Tree->OnDragOver = [](TObject*, TObject*, int, int, bool& Accept) { Accept = true; };
    Tree->OnDragDrop = [&](TObject*, TObject*, int, int) { Dropped = Tree->DropTarget(); };
    POINT P = TextCentre(From), Q = TextCentre(To);
    auto Send = [&](UINT Msg, WPARAM W, int X, int Y) { SendMessageA(TreeWnd(), Msg, W, MAKELPARAM(X, Y)); };
    Send(WM_LBUTTONDOWN, MK_LBUTTON, P.x, P.y);
    Send(WM_MOUSEMOVE, MK_LBUTTON, P.x + 4, P.y);
    EXPECT_FALSE(Started) << "4 pixels start no drag";
    Send(WM_MOUSEMOVE, MK_LBUTTON, P.x, P.y + 5);
    EXPECT_TRUE(Started);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Q.x, Q.y);
    EXPECT_EQ(Tree->DropTarget(), To);
    Send(WM_LBUTTONUP, 0, Q.x, Q.y);
    EXPECT_EQ(Dropped, To) << "the drop handler reads the node under the release point";
    EXPECT_EQ(Tree->DropTarget(), nullptr);
}

TEST_F(TreeWindow, TheDragImageIsTheNodesIconAndEscapeCancelsTheDrag) {
    TImageList Icons(nullptr);
    Icons.SetWidth(16);
    Icons.SetHeight(16);
    TBitmap Red;
    Red.SetSize(16, 16);
    Red.Canvas().Brush().SetColor(clRed);
    Red.Canvas().FillRect(RECT{0, 0, 16, 16});
    TBitmap Icon; // a copy: the painted bitmap stays selected into its canvas
    Icon.Assign(Red);
    Icons.Add(Icon);
    Tree->SetImages(&Icons);
    THSTreeNode* WithIcon = Tree->Items().Add(nullptr, "with icon");
    THSTreeNode* Beyond = Tree->Items().Add(nullptr, "index beyond the list");
    THSTreeNode* Target = Tree->Items().Add(nullptr, "target");
    WithIcon->SetImageIndex(0);
    Beyond->SetImageIndex(5);
    Target->SetImageIndex(0);
    Tree->SetDragMode(dmAutomatic);
    ShowForm();
    SetForegroundWindow(Form->Handle());
    Tree->SetFocus();
    int Drops = 0, Ends = 0;
    Tree->OnDragOver = [](TObject*, TObject*, int, int, bool& Accept) { Accept = true; };
    Tree->OnDragDrop = [&](TObject*, TObject*, int, int) { ++Drops; };
    Tree->OnEndDrag = [&](TObject*) { ++Ends; };
    auto Send = [&](UINT Msg, WPARAM W, POINT P) { SendMessageA(TreeWnd(), Msg, W, MAKELPARAM(P.x, P.y)); };

    struct Case {
        THSTreeNode* Node;
        bool Image;
    } Cases[] = {{WithIcon, true}, {Beyond, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Node->Text());
        POINT P = TextCentre(C.Node), Q = TextCentre(Target);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, P);
        Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{P.x, P.y + 6});
        ASSERT_TRUE(Tree->Dragging());
        TImageList* Images = Tree->GetDragImages();
        EXPECT_EQ(C.Image, Images != nullptr);
        if (Images) {
            TBitmap Shown;
            Images->GetBitmap(0, Shown);
            EXPECT_EQ(RGB(255, 0, 0), ColorToRGB(Shown.Canvas().Pixel(8, 8))) << "the node's icon";
        }
        Send(WM_MOUSEMOVE, MK_LBUTTON, Q);
        Send(WM_LBUTTONUP, 0, Q);
        EXPECT_FALSE(Tree->Dragging());
        EXPECT_EQ(nullptr, Tree->GetDragImages()) << "the image goes with the drag";
    }
    EXPECT_EQ(2, Drops);

    // Esc while the drag is over the tree ends it without a drop, and the key is swallowed.
    int Escapes = 0;
    Tree->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Escapes += Key == VK_ESCAPE; };
    POINT P = TextCentre(WithIcon);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, P);
    Send(WM_MOUSEMOVE, MK_LBUTTON, TextCentre(Target));
    ASSERT_TRUE(Tree->Dragging());
    INPUT In[2]{};
    In[0].type = In[1].type = INPUT_KEYBOARD;
    In[0].ki.wVk = In[1].ki.wVk = VK_ESCAPE;
    In[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, In, sizeof(INPUT));
    PumpUntil([&] { return !Tree->Dragging(); }, 1000);
    EXPECT_FALSE(Tree->Dragging());
    EXPECT_EQ(2, Drops) << "a cancelled drag drops nothing";
    EXPECT_EQ(3, Ends);
    EXPECT_EQ(0, Escapes);
    Send(WM_LBUTTONUP, 0, TextCentre(Target));
    EXPECT_EQ(2, Drops);
    Tree->SetImages(nullptr);
}

std::function<void()> Pending;
void CALLBACK RunPending(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (auto F = std::move(Pending))
        F();
}

TEST_F(TreeWindow, PopupShowsTheTreeAsADropDownAndGivesItBack) {
    Fill();
    Tree->SetAlign(TAlign::alNone);
    Tree->SetBounds(10, 10, 200, 150);
    ShowForm();
    THSTreeNode* Second = Tree->Items().GetFirstNode()->GetNextSibling();
    // The popup's modal loop runs this from a timer: it chooses a node and accepts, as Enter would.
    bool InPopup = false;
    Pending = [&] {
        InPopup = Tree->Parent() != Form.get();
        Tree->SetSelected(Second);
        if (THSPopupWindow* W = THSPopupWindow::ShowingPopupWindow())
            W->PopupHide(1);
    };
    SetTimer(nullptr, 0, 120, &RunPending);
    const bool Accepted = Tree->Popup(30, 40);
    EXPECT_TRUE(InPopup);
    EXPECT_TRUE(Accepted);
    EXPECT_EQ(Second, Tree->Selected());
    EXPECT_EQ(Form.get(), Tree->Parent()) << "the tree is back in its form";
    EXPECT_EQ(10, Tree->Left());
    EXPECT_EQ(200, Tree->Width());
}

TEST_F(TreeWindow, TheTipShowsAClippedTextOnlyWhereItIsCut) {
    THSTreeNode* Short = Tree->Items().Add(nullptr, "short");
    THSTreeNode* Long = Tree->Items().Add(nullptr, std::string(120, 'W'));
    ShowForm();
    ASSERT_NE(Tree->ToolTip(), nullptr);
    ASSERT_TRUE(Tree->ToolTip()->HandleAllocated());
    Tree->ToolTip()->SetNode(Short);
    EXPECT_EQ(Tree->ToolTip()->Node(), nullptr) << "a text that fits gets no tip";
    Tree->ToolTip()->SetNode(Long);
    EXPECT_EQ(Tree->ToolTip()->Node(), Long);
    RECT Text = Long->DisplayRect(true);
    POINT Origin = Tree->ClientToScreen(POINT{0, 0});
    EXPECT_NEAR(Tree->ToolTip()->TipRect().left, Origin.x + Text.left, 3)
        << "the tip lies over the node's text";
    Tree->SetToolTips(false);
    EXPECT_EQ(Tree->ToolTip(), nullptr);
}

} // namespace
