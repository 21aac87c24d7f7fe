// The memo and the mouse, driven by posted mouse messages on real windows: clicks, drag selection
// with the timer, multiple clicks, block drags inside and between memos, hot strings, the gutter
// and the context menu.
#include <gtest/gtest.h>

#include <windowsx.h>

#include "UiTestSupport.h"
#include "controls/memo/Memo.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Menus.h"
#include "framework/ui/ShellExec.h"

namespace {

// A popup menu that records where it would open instead of tracking (which would wait for a click).
class TRecordingMenu : public TPopupMenu {
public:
    explicit TRecordingMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
    void Popup(int X, int Y) override { Shown.push_back(POINT{X, Y}); }
    std::vector<POINT> Shown;
};

// Holds a key down in the thread's keyboard state for the length of a scope.
class TKeyHeld {
public:
    explicit TKeyHeld(BYTE Key) : FKey(Key) {
        GetKeyboardState(FSaved);
        BYTE Keys[256];
        std::copy(std::begin(FSaved), std::end(FSaved), Keys);
        Keys[FKey] |= 0x80;
        SetKeyboardState(Keys);
    }
    ~TKeyHeld() { SetKeyboardState(FSaved); }

private:
    BYTE FKey;
    BYTE FSaved[256];
};

class MemoMouse : public UiTest {
protected:
    static void SetUpTestSuite() { InitMemoUnit(); }
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 560, 300);
        A = MakeMemo(0);
        B = MakeMemo(280);
    }
    THSMemo* MakeMemo(int Left) {
        auto* M = new THSMemo(Form.get());
        M->SetParent(Form.get());
        M->SetBounds(Left, 0, 260, 240);
        M->SetBorderStyle(TBorderStyle::bsNone);
        M->SetFixedMetrics(8, 16);
        M->SetOptions(moThumbTracking);
        M->GetSource()->SetUndoLimit(100);
        return M;
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    void Show() {
        Form->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; }));
        A->SetFocus();
        Settle();
    }
    static void Settle() {
        PumpUntil([] { return false; }, 30);
    }
    // The client point in the middle-left of a character cell of memo M.
    static POINT Cell(THSMemo* M, int Col, int Row) {
        const POINT P = M->TextToPixelPoint(POINT{Col, Row});
        return POINT{P.x + 2, P.y + 8};
    }
    static void Post(THSMemo* M, UINT Msg, WPARAM Flags, POINT P) {
        PostMessageA(M->Handle(), Msg, Flags, MAKELPARAM(WORD(SHORT(P.x)), WORD(SHORT(P.y))));
    }
    static void Click(THSMemo* M, POINT P, WPARAM Flags = 0) {
        Post(M, WM_LBUTTONDOWN, MK_LBUTTON | Flags, P);
        Post(M, WM_LBUTTONUP, Flags, P);
        Settle();
    }
    static void Drag(THSMemo* M, POINT From, POINT To, WPARAM Flags = 0) {
        Post(M, WM_LBUTTONDOWN, MK_LBUTTON | Flags, From);
        Post(M, WM_MOUSEMOVE, MK_LBUTTON | Flags, To);
        Post(M, WM_LBUTTONUP, Flags, To);
        Settle();
    }
    static void Tick(THSMemo* M, int Times = 1) {
        for (int I = 0; I < Times; ++I)
            PostMessageA(M->Handle(), WM_TIMER, kMemoSelTimer, 0);
        Settle();
    }
    // A point of memo To's client area in memo From's client coordinates.
    static POINT Across(THSMemo* From, THSMemo* To, POINT P) {
        ::ClientToScreen(To->Handle(), &P);
        ::ScreenToClient(From->Handle(), &P);
        return P;
    }
    std::unique_ptr<TForm> Form;
    THSMemo* A = nullptr;
    THSMemo* B = nullptr;
};

TEST_F(MemoMouse, AClickPlacesTheCaretAndADragSelects) {
    A->SetText("alpha beta gamma\r\nsecond line here\r\nthird");
    Show();
    Click(A, Cell(A, 6, 0));
    EXPECT_EQ(A->CaretChar(), 6);
    EXPECT_EQ(A->CaretLine(), 0);
    // Right of the line's end the caret stays where the mouse is, beyond-file-end or not.
    ASSERT_FALSE(A->GetSource()->HasOption(soBeyondFileEnd));
    Click(A, Cell(A, 20, 2));
    EXPECT_EQ(A->CaretChar(), 20);
    EXPECT_EQ(A->CaretLine(), 2);
    EXPECT_FALSE(A->GetSource()->HasOption(soBeyondFileEnd));

    Drag(A, Cell(A, 6, 0), Cell(A, 3, 1));
    EXPECT_EQ(A->GetSource()->SelectionType(), stStreamSel);
    EXPECT_EQ(A->GetSelText(), "beta gamma\r\nsec");
    EXPECT_EQ(A->MouseState(), msmIdle);
    // Shift extends from the caret to the new point.
    Click(A, Cell(A, 5, 2), MK_SHIFT);
    EXPECT_EQ(A->GetSelText(), "beta gamma\r\nsecond line here\r\nthird");
    // A plain click drops the selection.
    Click(A, Cell(A, 1, 1));
    EXPECT_EQ(A->GetSource()->SelectionType(), stNotSelected);
}

TEST_F(MemoMouse, DoubleAndTripleClicksSelectWordsAndLines) {
    struct Case {
        const char* Name;
        TMemoOptions Options;
        bool Triple;
        int ThirdCol; // column of the third press
        const char* Selected;
    } Cases[] = {
        {"double click marks the word", moThumbTracking, false, 0, "beta"},
        {"double click with moDblClickLine marks the line", moThumbTracking | moDblClickLine, false, 0,
         "alpha beta gamma\r\n"},
        {"triple click marks the line", moThumbTracking | moTripleClick, true, 8, "alpha beta gamma\r\n"},
        {"triple click needs moTripleClick", moThumbTracking, true, 8, ""},
        {"the third press must stay in the double-click rectangle", moThumbTracking | moTripleClick, true, 14,
         ""},
    };
    A->SetText("alpha beta gamma\r\nnext");
    Show();
    for (const Case& C : Cases) {
        A->SetOptions(C.Options);
        A->GetSource()->ClearSelection();
        const POINT P = Cell(A, 8, 0);
        Post(A, WM_LBUTTONDOWN, MK_LBUTTON, P);
        Post(A, WM_LBUTTONUP, 0, P);
        Post(A, WM_LBUTTONDBLCLK, MK_LBUTTON, P);
        Post(A, WM_LBUTTONUP, 0, P);
        if (C.Triple) {
            const POINT Q = Cell(A, C.ThirdCol, 0);
            Post(A, WM_LBUTTONDOWN, MK_LBUTTON, Q);
            Post(A, WM_LBUTTONUP, 0, Q);
        }
        Settle();
        EXPECT_EQ(A->GetSelText(), C.Selected) << C.Name;
        EXPECT_EQ(A->MouseState(), msmIdle) << C.Name;
    }
}

TEST_F(MemoMouse, AltSwitchesToColumnsAndTheTimerScrollsWhileTheMouseRestsOutside) {
    std::string Text;
    for (int I = 0; I < 100; ++I)
        Text += (I ? "\r\n" : "") + std::string("line ") + std::to_string(I) + " text";
    A->SetText(Text);
    Show();
    Post(A, WM_LBUTTONDOWN, MK_LBUTTON, Cell(A, 1, 1));
    Post(A, WM_MOUSEMOVE, MK_LBUTTON, Cell(A, 4, 3));
    Settle();
    EXPECT_EQ(A->MouseState(), msmSelecting);
    EXPECT_EQ(A->GetSource()->SelectionType(), stStreamSel);
    {
        TKeyHeld Alt(VK_MENU);
        Tick(A);
        EXPECT_EQ(A->GetSource()->SelectionType(), stBlockSel);
        // A column block includes its end column.
        EXPECT_EQ(A->GetSelText(), "ine \r\nine \r\nine ");
    }
    Tick(A);
    EXPECT_EQ(A->GetSource()->SelectionType(), stStreamSel);

    // Below the window every tick moves the caret one row further and the view follows.
    RECT R{};
    GetClientRect(A->Handle(), &R);
    Post(A, WM_MOUSEMOVE, MK_LBUTTON, POINT{20, R.bottom + 10});
    Tick(A, 10);
    const int32_t Down = A->WinLine();
    EXPECT_GT(Down, 5);
    EXPECT_GT(A->CaretLine(), 20);
    EXPECT_TRUE(A->IsPointVisible(A->GetCaretPoint()));
    EXPECT_EQ(A->GetSource()->BlockBegin().Line, 1);
    // Above it the text scrolls back.
    Post(A, WM_MOUSEMOVE, MK_LBUTTON, POINT{20, -10});
    Tick(A, 4);
    EXPECT_LT(A->WinLine(), Down);
    Post(A, WM_LBUTTONUP, 0, POINT{20, -10});
    Settle();
    EXPECT_EQ(A->MouseState(), msmIdle);
    EXPECT_NE(A->GetSource()->SelectionType(), stNotSelected);
    // Stopped: more ticks change nothing.
    const int32_t Line = A->CaretLine();
    Tick(A, 3);
    EXPECT_EQ(A->CaretLine(), Line);
}

TEST_F(MemoMouse, DraggingABlockMovesItOrCopiesItWithCtrl) {
    struct Case {
        const char* Name;
        WPARAM Flags;
        TMemoOptions Options;
        const char* Text;
    } Cases[] = {
        {"move", 0, moThumbTracking, "alpha  gamma\r\nbetasecond"},
        {"copy with Ctrl", MK_CONTROL, moThumbTracking, "alpha beta gamma\r\nbetasecond"},
        {"moDisableDrag starts a new selection", 0, moThumbTracking | moDisableDrag,
         "alpha beta gamma\r\nsecond"},
    };
    Show();
    for (const Case& C : Cases) {
        A->SetOptions(C.Options);
        A->SetText("alpha beta gamma\r\nsecond");
        A->SetSelection(stStreamSel, 6, 0, 10, 0);
        A->GetSource()->JumpTo(10, 0);
        A->GetSource()->SetSelection(stStreamSel, 6, 0, 10, 0);
        Post(A, WM_LBUTTONDOWN, MK_LBUTTON | C.Flags, Cell(A, 7, 0));
        Settle();
        const bool Drags = !(C.Options & moDisableDrag);
        EXPECT_EQ(A->MouseState(), Drags ? msmDragging : msmSelecting) << C.Name;
        Post(A, WM_MOUSEMOVE, MK_LBUTTON | C.Flags, Cell(A, 0, 1));
        Settle();
        if (Drags) {
            EXPECT_EQ(A->DragShowCursor(), A->DragCursor()) << C.Name;
            Post(A, WM_MOUSEMOVE, MK_LBUTTON | C.Flags, Cell(A, 8, 0));
            Settle();
            EXPECT_EQ(A->DragShowCursor(), crNoDrop) << C.Name;
            Post(A, WM_MOUSEMOVE, MK_LBUTTON | C.Flags, Cell(A, 0, 1));
        }
        Post(A, WM_LBUTTONUP, C.Flags, Cell(A, 0, 1));
        Settle();
        EXPECT_EQ(A->GetText(), C.Text) << C.Name;
        EXPECT_EQ(A->DragShowCursor(), crDefault) << C.Name;
        EXPECT_EQ(A->MouseState(), msmIdle) << C.Name;
    }
    // The move is one step of undo.
    A->SetOptions(moThumbTracking);
    A->SetText("one two");
    A->GetSource()->ClearUndoBuffer();
    A->GetSource()->SetSelection(stStreamSel, 0, 0, 3, 0);
    A->GetSource()->JumpTo(3, 0);
    A->GetSource()->SetSelection(stStreamSel, 0, 0, 3, 0);
    Drag(A, Cell(A, 1, 0), Cell(A, 7, 0));
    EXPECT_EQ(A->GetText(), " twoone");
    A->Undo();
    EXPECT_EQ(A->GetText(), "one two");
}

TEST_F(MemoMouse, ABlockDroppedOnAnotherMemoMovesThereOrIsCopiedWithCtrl) {
    struct Case {
        const char* Name;
        WPARAM Flags;
        const char* Source;
        const char* Target;
    } Cases[] = {
        {"move", 0, "alpha  gamma", "xbetay"},
        {"copy with Ctrl", MK_CONTROL, "alpha beta gamma", "xbetay"},
    };
    Show();
    for (const Case& C : Cases) {
        A->SetText("alpha beta gamma");
        B->SetText("xy");
        // The drop focuses the target; a press on an unfocused memo would drop the selection.
        A->SetFocus();
        A->GetSource()->SetSelection(stStreamSel, 6, 0, 10, 0);
        Post(A, WM_LBUTTONDOWN, MK_LBUTTON | C.Flags, Cell(A, 7, 0));
        const POINT Target = Across(A, B, Cell(B, 1, 0));
        Post(A, WM_MOUSEMOVE, MK_LBUTTON | C.Flags, Target);
        Settle();
        EXPECT_EQ(A->DragShowCursor(), A->DragCursor()) << C.Name;
        // The source's caret stays put while the mouse is over the other memo.
        EXPECT_EQ(A->CaretLine(), 0) << C.Name;
        Post(A, WM_LBUTTONUP, C.Flags, Target);
        Settle();
        EXPECT_EQ(A->GetText(), C.Source) << C.Name;
        EXPECT_EQ(B->GetText(), C.Target) << C.Name;
        B->Undo();
        EXPECT_EQ(B->GetText(), "xy") << C.Name;
    }
    // A read-only target takes nothing and the source keeps its text.
    A->SetText("alpha beta gamma");
    B->SetText("xy");
    B->SetReadOnly(true);
    A->SetFocus();
    A->GetSource()->SetSelection(stStreamSel, 6, 0, 10, 0);
    Post(A, WM_LBUTTONDOWN, MK_LBUTTON, Cell(A, 7, 0));
    Post(A, WM_MOUSEMOVE, MK_LBUTTON, Across(A, B, Cell(B, 1, 0)));
    Post(A, WM_LBUTTONUP, 0, Across(A, B, Cell(B, 1, 0)));
    Settle();
    EXPECT_EQ(A->GetText(), "alpha beta gamma");
    EXPECT_EQ(B->GetText(), "xy");
}

// Marks words with an "@" as URLs (style 12), as a language parser may.
class TMailParser : public TSimpleParser {
public:
    TMailParser() : TSimpleParser(nullptr) {}
    int32_t ColorString(const std::string& Text, int32_t StartState, std::string& ColorData) override {
        ColorData.assign(Text.size(), '\0');
        size_t I = 0;
        while (I < Text.size()) {
            const size_t End = std::min(Text.find(' ', I), Text.size());
            if (Text.substr(I, End - I).find('@') != std::string::npos)
                std::fill(ColorData.begin() + long(I), ColorData.begin() + long(End), char(12));
            I = End + 1;
        }
        return StartState;
    }
    bool StoreColorData() override { return true; }
};

TEST_F(MemoMouse, HotStringsOpenOnClickThroughTheShellSeam) {
    std::vector<std::string> Opened;
    const TShellExecuteFunc Old = SetShellExecuteFunc(
        [&](const std::string&, const std::string& File, const std::string&, const std::string&, int) {
            Opened.push_back(File);
            return true;
        });
    TMailParser Parser;
    A->GetSource()->SetSyntaxParser(&Parser);
    A->GetSource()->SetHighlightUrls(true);
    A->SetText("see www.example.org now\r\nmail someone@example.org\r\nMailTo:x@example.org\r\nplain");
    Show();
    Click(A, Cell(A, 8, 0));
    Click(A, Cell(A, 9, 1));
    Click(A, Cell(A, 3, 2));
    Click(A, Cell(A, 2, 3));
    // A drag that starts on an address selects; it opens nothing.
    Drag(A, Cell(A, 8, 0), Cell(A, 2, 1));
    SetShellExecuteFunc(Old);
    EXPECT_EQ(Opened, (std::vector<std::string>{"http://www.example.org", "mailto:someone@example.org",
                                                "MailTo:x@example.org"}));

    // The hand over an address, the I-beam elsewhere.
    Post(A, WM_MOUSEMOVE, 0, Cell(A, 8, 0));
    Settle();
    EXPECT_EQ(A->Cursor(), crMemoHandPoint);
    Post(A, WM_MOUSEMOVE, 0, Cell(A, 1, 0));
    Settle();
    EXPECT_EQ(A->Cursor(), crIBeam);
    A->GetSource()->SetSyntaxParser(nullptr);
}

TEST_F(MemoMouse, GutterClicksReportTheLineAndTheImage) {
    A->SetOptions(moThumbTracking | moDrawGutter);
    A->SetGutterWidth(40);
    A->SetText("zero\r\none\r\ntwo");
    for (int I = 0; I < 2; ++I)
        A->GutterImgs().GetItem(I)->Glyph().SetSize(9, 9);
    A->GetSource()->SetImageBit(1, 0, true);
    A->GetSource()->SetImageBit(1, 1, true);
    Show();
    // A right click would open the default menu, which waits for a choice.
    A->SetPopupMenu(new TRecordingMenu(Form.get()));
    struct TClick {
        int32_t Line, Image;
        TShiftState Shift;
    };
    std::vector<TClick> Clicks;
    A->OnClickGutter = [&](TObject*, int32_t Line, int32_t Image, TShiftState Shift) {
        Clicks.push_back({Line, Image, Shift});
    };
    // Image slots from x = 1, each 9 + 1 pixels wide.
    Click(A, POINT{3, 16 + 4});
    Click(A, POINT{12, 16 + 4});
    Click(A, POINT{30, 16 + 4});
    Click(A, POINT{3, 2 * 16 + 4});
    Post(A, WM_RBUTTONDOWN, MK_RBUTTON, POINT{3, 4});
    Post(A, WM_RBUTTONUP, 0, POINT{3, 4});
    Settle();
    ASSERT_EQ(Clicks.size(), 5u);
    const TClick Expected[] = {
        {1, 0, ssLeft}, {1, 1, ssLeft}, {1, -1, ssLeft}, {2, -1, ssLeft}, {0, -1, ssRight}};
    for (size_t I = 0; I < Clicks.size(); ++I) {
        EXPECT_EQ(Clicks[I].Line, Expected[I].Line) << I;
        EXPECT_EQ(Clicks[I].Image, Expected[I].Image) << I;
        EXPECT_TRUE(Clicks[I].Shift & Expected[I].Shift) << I;
    }
    // The right-aligned slots run from the gutter's right edge to the left.
    A->SetGutterImgsAlign(iaRight);
    EXPECT_EQ(A->PointToImageIndex(40 - 4 - 3, 16 + 4), 0);
    EXPECT_EQ(A->PointToImageIndex(40 - 4 - 13, 16 + 4), 1);
    EXPECT_EQ(A->PointToImageIndex(3, 16 + 4), -1);
}

TEST_F(MemoMouse, RightClicksMoveTheCaretUnlessDisabledAndOpenTheAssignedMenu) {
    A->SetText("alpha beta\r\ngamma");
    Show();
    auto* Menu = new TRecordingMenu(Form.get());
    A->SetPopupMenu(Menu);
    Post(A, WM_RBUTTONDOWN, MK_RBUTTON, Cell(A, 3, 1));
    Post(A, WM_RBUTTONUP, 0, Cell(A, 3, 1));
    Settle();
    EXPECT_EQ(A->CaretLine(), 1);
    EXPECT_EQ(A->CaretChar(), 3);
    ASSERT_EQ(Menu->Shown.size(), 1u);
    POINT Expected = Cell(A, 3, 1);
    ::ClientToScreen(A->Handle(), &Expected);
    EXPECT_EQ(Menu->Shown[0].x, Expected.x);
    EXPECT_EQ(Menu->Shown[0].y, Expected.y);
    EXPECT_EQ(Menu->PopupComponent, A);
    // The assigned menu wins over the default one, and stays assigned.
    EXPECT_EQ(A->PopupMenu(), Menu);

    A->SetOptions(moThumbTracking | moDisableRightClickMove);
    Post(A, WM_RBUTTONDOWN, MK_RBUTTON, Cell(A, 1, 0));
    Post(A, WM_RBUTTONUP, 0, Cell(A, 1, 0));
    Settle();
    EXPECT_EQ(A->CaretLine(), 1);
    EXPECT_EQ(A->CaretChar(), 3);

    // From the keyboard the menu opens right of the caret.
    SendMessageA(A->Handle(), WM_CONTEXTMENU, WPARAM(A->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
    ASSERT_EQ(Menu->Shown.size(), 3u);
    POINT Caret = A->TextToPixelPoint(A->GetCaretPoint());
    Caret.x += A->GetCaretWidth();
    ::ClientToScreen(A->Handle(), &Caret);
    EXPECT_EQ(Menu->Shown[2].x, Caret.x);
    EXPECT_EQ(Menu->Shown[2].y, Caret.y);
}

TEST_F(MemoMouse, TheDefaultMenuFollowsWhatTheTextAllows) {
    Clipboard().Clear();
    A->SetText("alpha beta");
    A->GetSource()->ClearUndoBuffer();
    Show();
    TPopupMenu* Menu = A->GetDefaultMenu();
    ASSERT_NE(Menu, nullptr);
    std::vector<std::string> Captions;
    for (int I = 0; I < Menu->Items()->Count(); ++I)
        Captions.push_back(Menu->Items()->Items(I)->Caption());
    EXPECT_EQ(Captions, (std::vector<std::string>{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-",
                                                  "Se&lect All"}));
    auto States = [&] {
        std::string S;
        for (int I : {0, 2, 3, 4, 5, 7})
            S += Menu->Items()->Items(I)->Enabled() ? '1' : '0';
        return S;
    };
    struct Step {
        const char* Name;
        std::function<void()> Do;
        const char* Enabled; // Undo, Cut, Copy, Paste, Delete, Select All
    } Steps[] = {
        {"fresh text, empty clipboard", [] {}, "000001"},
        {"a selection",
         [&] {
             A->GetSource()->SetSelection(stStreamSel, 0, 0, 5, 0);
             A->GetSource()->ClearUndoBuffer();
         },
         "011011"},
        {"text on the clipboard", [&] { Clipboard().SetAsText("x"); }, "011111"},
        {"an edit to undo", [&] { A->SetSelText("omega"); }, "100101"},
        {"read-only",
         [&] {
             A->GetSource()->SetSelection(stStreamSel, 0, 0, 5, 0);
             A->SetReadOnly(true);
         },
         "101001"},
    };
    for (const Step& S : Steps) {
        S.Do();
        ASSERT_TRUE(A->CheckMenuPopup()) << S.Name;
        EXPECT_EQ(A->PopupMenu(), Menu) << S.Name;
        EXPECT_EQ(States(), S.Enabled) << S.Name;
        A->SetPopupMenu(nullptr);
    }
    A->SetReadOnly(false);
    Menu->Items()->Items(7)->Click();
    EXPECT_EQ(A->GetSelText(), "omega beta");
    Menu->Items()->Items(5)->Click();
    EXPECT_EQ(A->GetText(), "");
    Menu->Items()->Items(0)->Click();
    EXPECT_EQ(A->GetText(), "omega beta");
    // Without UseDefaultMenu nothing is assigned.
    A->SetUseDefaultMenu(false);
    EXPECT_FALSE(A->CheckMenuPopup());
    EXPECT_EQ(A->PopupMenu(), nullptr);
    Clipboard().Clear();
}

} // namespace

TEST_F(MemoMouse, TheFocusedMemoIsWhatTheSharedFindWindowSearches) {
    Show();
    A->SetFocus();
    Settle();
    EXPECT_EQ(CurrentFindSource, A->GetSource());
    B->SetFocus();
    Settle();
    EXPECT_EQ(CurrentFindSource, B->GetSource());
}
