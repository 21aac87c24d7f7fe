// A memo on a real form under the virtual display.
#include <gtest/gtest.h>

#include <functional>

#include "MemoTestSupport.h"
#include "UiTestSupport.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/textmodel/LanguageParsers.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/PngWriter.h"

namespace {

class MemoWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 260);
        Memo = new THSMemo(Form.get());
        Memo->SetParent(Form.get());
        Memo->SetAlign(TAlign::alClient);
        Memo->SetBorderStyle(TBorderStyle::bsNone);
        Memo->SetFixedMetrics(8, 16);
        Memo->SetOptions(moDrawGutter | moLineNumbers | moColorSyntax | moLimitLineNumbers | moThumbTracking);
        Memo->SetGutterWidth(24);
        Memo->GetSource()->SetSyntaxParser(&Parser);
    }
    void TearDown() override {
        Memo->GetSource()->SetSyntaxParser(nullptr);
        Form.reset();
        UiTest::TearDown();
    }
    void ShowForm() {
        Form->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->Handle()) != 0; }));
        Memo->SetFocus();
        UpdateWindow(Memo->Handle());
        PumpUntil([] { return false; }, 100);
    }
    TColor ScreenPixel(int X, int Y) {
        HDC DC = GetDC(Memo->Handle());
        const COLORREF C = GetPixel(DC, X, Y);
        ReleaseDC(Memo->Handle(), DC);
        return TColor(C);
    }
    TDigitParser Parser;
    std::unique_ptr<TForm> Form;
    THSMemo* Memo = nullptr;
};

TEST_F(MemoWindow, PaintedPixelsAgreeWithTheRecordedCells) {
    Memo->SetText("<p>Hello 42 ###</p>\r\nplain text 7\r\n# marked\r\n\r\nlast 123");
    Memo->SetSelection(stStreamSel, 0, 1, 5, 1);
    ShowForm();
    // The caret waits on the empty line, away from the probed cells.
    Memo->SetCaretPoint(POINT{0, 3});
    Memo->SetSelection(stStreamSel, 0, 1, 5, 1);
    UpdateWindow(Memo->Handle());
    const int X0 = Memo->GetPaintX();
    ASSERT_EQ(X0, 24 + 16);
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, Memo->ClientWidth(), Memo->ClientHeight()});
    struct Probe {
        int Col, Row;
    } Probes[] = {{0, 0}, {6, 0}, {12, 0}, {0, 1}, {4, 1}, {8, 1}, {0, 2}, {3, 2}, {0, 4}, {30, 3}};
    for (const auto& P : Probes) {
        const int X = X0 + P.Col * 8, Y = P.Row * 16;
        TColor Recorded = -1;
        ASSERT_TRUE(Sink.BackAt(X + 1, Y + 1, Recorded)) << P.Col << "," << P.Row;
        // The top-left pixel of a cell is background in every font at 16 pixels a row.
        EXPECT_EQ(ScreenPixel(X, Y), TColor(ColorToRGB(Recorded))) << P.Col << "," << P.Row;
    }
    // The gutter and its edge.
    EXPECT_EQ(ScreenPixel(2, 2), TColor(ColorToRGB(Memo->GutterBrush().Color())));
    EXPECT_EQ(ScreenPixel(23, 40), TColor(ColorToRGB(Memo->GutterLineColor())));
    // A '#' cell is red, a selected one the selection colour.
    EXPECT_EQ(ScreenPixel(X0 + 12 * 8, 0), TColor(ColorToRGB(clRed)));
    EXPECT_EQ(ScreenPixel(X0 + 1 * 8, 16), TColor(ColorToRGB(Memo->SelBackColor())));

    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\MemoView.png");
}

// A proportional font on the screen: the glyphs stand where the mapping says, the caret too.
TEST_F(MemoWindow, AProportionalFontIsDrawnWhereTheCaretAndClicksFindIt) {
    Memo->GetSource()->SetSyntaxParser(nullptr);
    Memo->SetFixedMetrics(0, 0);
    Memo->SetUseMonoFont(false);
    Memo->Font().SetName("Arial");
    Memo->Font().SetSize(14);
    const std::string Line = "W iii W ii WW";
    Memo->SetText(Line + "\r\n\r\nend");
    ShowForm();
    Memo->SetCaretPoint(POINT{0, 2});
    UpdateWindow(Memo->Handle());
    const int H = Memo->GetAveLineHeight();
    auto Ink = [&](int From, int To) {
        int N = 0;
        for (int X = From; X < To; ++X)
            for (int Y = 0; Y < H; ++Y)
                N += ScreenPixel(X, Y) != TColor(ColorToRGB(clWindow)) ? 1 : 0;
        return N;
    };
    for (int32_t K = 0; K < int32_t(Line.size()); ++K) {
        const int A = Memo->TextToPixelChar(POINT{K, 0}), B = Memo->TextToPixelChar(POINT{K + 1, 0});
        ASSERT_GT(B, A) << K;
        if (Line[size_t(K)] == 'W') {
            EXPECT_GT(Ink(A, B), 0) << K;
        }
    }
    const int End = Memo->TextToPixelChar(POINT{int32_t(Line.size()), 0});
    EXPECT_EQ(Ink(End + 2, Memo->ClientWidth()), 0);
    // A click on the right half of the second 'W' puts the caret after it, at its measured edge.
    const int A = Memo->TextToPixelChar(POINT{6, 0}), B = Memo->TextToPixelChar(POINT{7, 0});
    const LPARAM At = MAKELPARAM((A + B) / 2 + 1, H / 2);
    Memo->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At);
    Memo->Perform(WM_LBUTTONUP, 0, At);
    EXPECT_EQ(Memo->CaretChar(), 7);
    EXPECT_EQ(Memo->CaretLine(), 0);
    POINT Caret{};
    GetCaretPos(&Caret);
    EXPECT_EQ(Caret.x, B);
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\MemoProportional.png");
}

// Pictures behind the text and the gutter: text on the memo's colour shows the picture, selected
// text does not, and the picture stays put while the text scrolls over it.
TEST_F(MemoWindow, BackgroundPicturesShowBehindTheTextAndTheGutter) {
    Memo->GetSource()->SetSyntaxParser(nullptr);
    std::string Text;
    for (int I = 0; I < 40; ++I)
        Text += "line " + std::to_string(I) + "\r\n";
    Memo->SetText(Text);
    TBitmap Tile;
    Tile.SetSize(8, 8);
    Tile.Canvas().Brush().SetColor(clYellow);
    Tile.Canvas().FillRect(RECT{0, 0, 8, 8});
    Memo->SetBackground(Tile);
    Memo->SetBkgndOption(TBkgndOption::boTile);
    TBitmap Aqua;
    Aqua.SetSize(4, 4);
    Aqua.Canvas().Brush().SetColor(clAqua);
    Aqua.Canvas().FillRect(RECT{0, 0, 4, 4});
    Memo->GutterBackground().SetBackground(Aqua);
    Memo->GutterBackground().SetOption(TBkgndOption::boStretch);
    ShowForm();
    Memo->SetCaretPoint(POINT{0, 30});
    Memo->SetWinLine(0);
    Memo->SetSelection(stStreamSel, 0, 2, 3, 2);
    UpdateWindow(Memo->Handle());
    const int X0 = Memo->GetPaintX();
    const TColor Yellow = TColor(ColorToRGB(clYellow));
    EXPECT_EQ(ScreenPixel(X0 + 100, 3), Yellow); // after the text
    EXPECT_EQ(ScreenPixel(X0, 16), Yellow);      // the top-left pixel of a text cell
    EXPECT_EQ(ScreenPixel(X0 + 8, 32), TColor(ColorToRGB(Memo->SelBackColor())));
    EXPECT_EQ(ScreenPixel(3, 40), TColor(ColorToRGB(clAqua)));
    EXPECT_EQ(ScreenPixel(23, 40), TColor(ColorToRGB(Memo->GutterLineColor())));
    Memo->ScrollDown();
    UpdateWindow(Memo->Handle());
    EXPECT_EQ(Memo->WinLine(), 1);
    EXPECT_EQ(ScreenPixel(X0 + 100, 3), Yellow);
    EXPECT_EQ(ScreenPixel(X0 + 8, 16), TColor(ColorToRGB(Memo->SelBackColor())));
    EXPECT_EQ(ScreenPixel(3, 100), TColor(ColorToRGB(clAqua)));
}

// Resizing a wrapping memo brings a caret that stood past its line's end back to the end.
TEST_F(MemoWindow, ResizingAWrappingMemoPullsACaretPastTheEndBack) {
    Memo->SetText("a short line\r\nsecond");
    Memo->SetWordWrap(true);
    ShowForm();
    TCustomMemoSource* S = Memo->GetSource();
    S->SetOptions(S->Options() | soBeyondFileEnd);
    Memo->SetCaretPoint(POINT{30, 0});
    ASSERT_EQ(Memo->CaretChar(), 30);
    Form->SetBounds(40, 40, 300, 260);
    EXPECT_EQ(Memo->CaretLine(), 0);
    EXPECT_EQ(Memo->CaretChar(), 12);
}

// A memo that has no room yet (a pane not laid out, a sheet not shown) keeps the caret at the
// start of the line in view without scrolling: it has its text from the first column once it
// gets its size.
TEST_F(MemoWindow, AMemoWithoutRoomDoesNotScrollTheCaretIntoView) {
    Memo->SetText("a line longer than the memo is wide before it is laid out");
    ShowForm();
    Memo->SetAlign(TAlign::alNone);
    for (int Width : {0, 30}) {
        Memo->SetBounds(0, 0, Width, 100);
        Memo->EnsureCaretVisible();
        EXPECT_EQ(Memo->WinChar(), 0) << Width;
    }
    Memo->SetBounds(0, 0, 400, 100);
    EXPECT_EQ(Memo->WinChar(), 0);
}

// Typing that gives a line another row moves the rows below it: they are painted again.
TEST_F(MemoWindow, ALineThatGainsARowRepaintsTheRowsBelowIt) {
    Memo->SetText("short\r\nsecond\r\nthird\r\nfourth");
    Memo->SetWordWrap(true);
    ShowForm();
    ASSERT_EQ(Memo->GetRealStrCount(), 3);
    for (bool Grows : {false, true}) {
        SCOPED_TRACE(Grows ? "a row more" : "the same rows");
        ValidateRect(Memo->Handle(), nullptr);
        TCustomMemoSource* S = Memo->GetSource();
        S->JumpTo(int32_t(S->Strings().Get(0).size()), 0);
        S->Insert(Grows ? " and many more words than one row of the memo holds" : "!");
        ASSERT_EQ(Memo->GetRealStrCount() > 3, Grows);
        RECT Update{};
        ASSERT_TRUE(GetUpdateRect(Memo->Handle(), &Update, FALSE));
        if (Grows)
            EXPECT_GE(Update.bottom, Memo->TextToPixelPoint(POINT{0, 3}).y + 16);
        else
            EXPECT_LE(Update.bottom, 16);
        UpdateWindow(Memo->Handle());
    }
}

// Without word wrap, an edit that makes a line of a proportional font taller or lower moves the
// rows below it: they are painted again. An edit that keeps the height paints its line only.
TEST_F(MemoWindow, ALineThatChangesItsHeightRepaintsTheRowsBelowIt) {
    TCustomMemoSource* S = Memo->GetSource();
    S->SetSyntaxParser(nullptr);
    S->SetUndoLimit(100);
    Memo->SetFixedMetrics(0, 0);
    Memo->SetUseMonoFont(false);
    Memo->Font().SetName("Arial");
    Memo->SetText("first line\r\nsmall BIG small\r\nthird line\r\nfourth");
    ShowForm();
    S->SetSelection(stStreamSel, 6, 1, 9, 1);
    Memo->SelAttributes().SetSize(28); // an attribute parser of the memo's own
    S->ClearSelection();
    UpdateWindow(Memo->Handle());
    const int H = Memo->GetAveLineHeight();
    ASSERT_GT(Memo->GetRealLineHeight(1), H + 10);
    struct Step {
        const char* Name;
        std::function<void()> Edit;
        bool Moves;
    } Steps[] = {
        {"typing on the third line", [&] { S->Insert("!"); }, false},
        {"deleting the large word",
         [&] {
             S->SetSelection(stStreamSel, 6, 1, 9, 1);
             S->DeleteBlock();
         },
         true},
        {"undoing that", [&] { S->Undo(); }, true},
    };
    S->JumpTo(10, 2);
    for (const Step& St : Steps) {
        SCOPED_TRACE(St.Name);
        UpdateWindow(Memo->Handle());
        ValidateRect(Memo->Handle(), nullptr);
        St.Edit();
        RECT Update{};
        ASSERT_TRUE(GetUpdateRect(Memo->Handle(), &Update, FALSE));
        const int Third = Memo->TextToPixelPoint(POINT{0, 2}).y,
                  Fourth = Memo->TextToPixelPoint(POINT{0, 3}).y;
        if (St.Moves) {
            EXPECT_GE(Update.bottom, Fourth + H);
        } else {
            EXPECT_GE(Update.top, Third);
            EXPECT_LE(Update.bottom, Fourth);
        }
    }
    EXPECT_EQ(S->Strings().Get(1), "small BIG small");
    EXPECT_GT(Memo->GetRealLineHeight(1), H + 10);
}

// A horizontal bar that hides itself spans the longest line: in characters with a monospaced
// layout, in pixels with a proportional one, and it follows edits of that line.
TEST_F(MemoWindow, AHidingHorizontalBarSpansTheLongestLine) {
    TCustomMemoSource* S = Memo->GetSource();
    S->SetSyntaxParser(nullptr);
    S->SetUndoLimit(100);
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    Memo->SetHideScrollBars(true);
    const std::string Long(80, 'W');
    Memo->SetText("short\r\n" + Long + "\r\nend");
    ShowForm();
    auto Bar = [&] {
        SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(Memo->Handle(), SB_HORZ, &Info);
        return Info;
    };
    const int Text = Memo->ClientWidth() - Memo->GetPaintX();
    EXPECT_EQ(Bar().nMax, 80);
    EXPECT_EQ(int(Bar().nPage), Text / 8);
    Memo->SetWinChar(3);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_HORZ), 3);
    Memo->SetWinChar(0);
    S->SetSelection(stStreamSel, 20, 1, 80, 1);
    S->DeleteBlock(); // the longest line is now the one of 20 characters
    EXPECT_EQ(Bar().nMax, 20);

    S->Undo();
    Memo->SetFixedMetrics(0, 0);
    Memo->SetUseMonoFont(false);
    Memo->Font().SetName("Arial");
    ASSERT_EQ(S->Strings().Get(1), Long);
    const int Width = Memo->TextToPixelChar(POINT{80, 1}) - Memo->GetPaintX();
    EXPECT_GT(Width, 80 * Memo->GetAveCharWidth());
    EXPECT_EQ(Bar().nMax, Width);
    EXPECT_EQ(int(Bar().nPage), Memo->ClientWidth() - Memo->GetPaintX());
    Memo->SetWinChar(3);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_HORZ), 3 * Memo->GetAveCharWidth());

    // Rows wrapped at a margin beyond the window: the bar spans the margin in pixels.
    Memo->SetOptions(Memo->Options() | moBreakWordAtMargin);
    Memo->SetMarginPos(200);
    Memo->SetWordWrap(true);
    ASSERT_GT(Memo->GetWrapMargin(), Memo->ClientWidth());
    EXPECT_EQ(Bar().nMax, Memo->GetWrapMargin());
    EXPECT_EQ(int(Bar().nPage), Memo->ClientWidth());
}

// A source bound to a wrapping memo whose bar hides itself: once wrapping stops, the horizontal bar
// spans the longest line and follows its edits.
TEST_F(MemoWindow, AWrappedTextGetsItsLongestLineOnceWrappingStops) {
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    Memo->SetHideScrollBars(true);
    Memo->SetWordWrap(true);
    ShowForm();
    TMemoSource Other;
    Other.Lines().SetText("short\r\n" + std::string(90, 'W') + "\r\nend");
    Memo->SetSource(&Other);
    auto Max = [&] {
        SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(Memo->Handle(), SB_HORZ, &Info);
        return Info.nMax;
    };
    Memo->SetWordWrap(false);
    EXPECT_EQ(Max(), 90);
    Other.JumpTo(3, 2);
    Other.Insert(std::string(117, 'x'));
    EXPECT_EQ(Max(), 120);
    Memo->SetWordWrap(true);
    Other.SetSelection(stStreamSel, 3, 2, 120, 2);
    Other.DeleteBlock();
    ASSERT_EQ(Other.Strings().GetRaw(2), "end");
    Memo->SetWordWrap(false);
    EXPECT_EQ(Max(), 90);
    Memo->SetSource(nullptr);
}

// The caret line's highlight: its brush behind the text, its pen along the edges (doubled inward
// when two pixels wide), and a clear brush that leaves the background alone.
TEST_F(MemoWindow, TheCaretLineIsHighlightedWithTheBrushAndPen) {
    Memo->GetSource()->SetSyntaxParser(nullptr);
    Memo->SetText("one\r\ntwo\r\nthree");
    Memo->LineHighlight().Brush().SetColor(clYellow);
    Memo->LineHighlight().Pen().SetColor(clRed);
    Memo->LineHighlight().Pen().SetWidth(2);
    Memo->LineHighlight().SetVisible(true);
    ShowForm();
    Memo->SetCaretPoint(POINT{0, 1});
    UpdateWindow(Memo->Handle());
    const int X = Memo->GetPaintX() + 100;
    const TColor Red = TColor(ColorToRGB(clRed)), Yellow = TColor(ColorToRGB(clYellow));
    for (int Y : {16, 17, 30, 31})
        EXPECT_EQ(ScreenPixel(X, Y), Red) << Y;
    EXPECT_EQ(ScreenPixel(X, 24), Yellow);
    EXPECT_EQ(ScreenPixel(X, 8), TColor(ColorToRGB(clWindow)));
    Memo->LineHighlight().Brush().SetStyle(TBrushStyle::bsClear);
    Memo->Invalidate();
    UpdateWindow(Memo->Handle());
    EXPECT_EQ(ScreenPixel(X, 24), TColor(ColorToRGB(clWindow)));
    EXPECT_EQ(ScreenPixel(X, 31), Red);
}

// A real page of the sqlite3-doc package, coloured by the HTML parser and wrapped to the window.
TEST_F(MemoWindow, ARealPageWrapsScrollsAndMapsBack) {
    const std::string Page = "Z:\\usr\\share\\doc\\sqlite3\\about.html";
    if (!FileExists(Page))
        GTEST_SKIP() << "sqlite3-doc is not installed";
    THTMLParser Html(nullptr);
    Memo->GetSource()->SetSyntaxParser(&Html);
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    Memo->GetSource()->LoadFromFile(Page);
    EXPECT_FALSE(Memo->GetSource()->Modified());
    Memo->SetWordWrap(true);
    ShowForm();
    const int32_t Lines = Memo->GetSource()->GetStrCount();
    ASSERT_GT(Lines, 50);
    for (int32_t Line = 0; Line < Lines; Line += 7) {
        const int32_t Len = int32_t(Memo->GetSource()->Strings().Get(Line).size());
        for (int32_t X = 0; X < Len; X += 3) {
            const POINT R = Memo->GetRealPosition(Memo->GetWBPosition(POINT{X, Line}));
            ASSERT_EQ(R.x, X) << Line;
            ASSERT_EQ(R.y, Line) << X;
        }
    }
    // Paging to the end keeps the caret on screen; the scroll bar follows the top row.
    int32_t Guard = 0;
    while (Memo->CaretLine() < Lines - 1 && ++Guard < 2000) {
        Memo->PageDown();
        const POINT P = Memo->TextToPixelPoint(Memo->GetCaretPoint());
        ASSERT_GE(P.y, 0);
        ASSERT_LT(P.y, Memo->ClientHeight());
    }
    EXPECT_EQ(Memo->CaretLine(), Lines - 1);
    SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Memo->Handle(), SB_VERT, &Info);
    EXPECT_EQ(Info.nMax, Memo->GetRealStrCountEx());
    EXPECT_EQ(Info.nPos, std::min<int>(Memo->WinLine(), Info.nMax - int(Info.nPage) + 1));
    // Typing into the page by keys edits its text model; undo gives the page back unchanged. The
    // installed page cannot be written, so it opens read-only and refuses typing first.
    const std::string Original = Memo->GetText();
    if (Memo->ReadOnly()) {
        Memo->SetCaretPoint(POINT{0, 0});
        Memo->Perform(WM_CHAR, WPARAM('x'), 0);
        EXPECT_EQ(Memo->GetText(), Original);
        Memo->SetReadOnly(false);
    }
    const int32_t Mid = Lines / 2;
    Memo->SetCaretPoint(POINT{0, Mid});
    const std::string Before = Memo->GetSource()->Strings().Get(Mid);
    for (char C : std::string("<b>zel</b>"))
        Memo->Perform(WM_CHAR, WPARAM(uint8_t(C)), 0);
    EXPECT_EQ(Memo->GetSource()->Strings().Get(Mid), "<b>zel</b>" + Before);
    EXPECT_TRUE(Memo->GetSource()->Modified());
    const POINT Typed = Memo->TextToPixelPoint(Memo->GetCaretPoint());
    EXPECT_GE(Typed.y, 0);
    EXPECT_LT(Typed.y, Memo->ClientHeight());
    while (Memo->GetSource()->UndoAvailable())
        Memo->Undo();
    EXPECT_EQ(Memo->GetText(), Original);
    Memo->GetSource()->JumpToFileBegin();
    Memo->SetWinLine(0);
    UpdateWindow(Memo->Handle());
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\MemoRealPage.png");
    Memo->GetSource()->SetSyntaxParser(&Parser);
}

TEST_F(MemoWindow, KeysMoveTheCaretTypeAndSelect) {
    Memo->SetText("abc\r\ndefgh\r\nij");
    ShowForm();
    HWND W = Memo->Handle();
    PostKey(W, VK_DOWN);
    PostKey(W, VK_END);
    PostChars(W, "XY");
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "abc\r\ndefghXY\r\nij"; })) << Memo->GetText();
    EXPECT_EQ(Memo->CaretLine(), 1);
    EXPECT_EQ(Memo->CaretChar(), 7);
    POINT Caret{};
    GetCaretPos(&Caret);
    const POINT Expected = Memo->TextToPixelPoint(Memo->GetCaretPoint());
    EXPECT_EQ(Caret.x, Expected.x);
    EXPECT_EQ(Caret.y, Expected.y);
    PostKey(W, VK_RETURN);
    PostKey(W, VK_BACK);
    PostKey(W, VK_BACK);
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "abc\r\ndefghX\r\nij"; })) << Memo->GetText();
    PostKey(W, VK_HOME);
    PostKey(W, VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return Memo->GetText() == "abc\r\nefghX\r\nij"; })) << Memo->GetText();
}

TEST_F(MemoWindow, AWheelStepScrollsByTheSystemSetting) {
    std::string Text;
    for (int I = 0; I < 200; ++I)
        Text += "row " + std::to_string(I) + "\r\n";
    Memo->SetText(Text);
    ShowForm();
    UINT PerNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &PerNotch, 0);
    if (PerNotch < 1 || PerNotch == WHEEL_PAGESCROLL)
        PerNotch = 3;
    Memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-60)), 0);
    EXPECT_EQ(Memo->WinLine(), 0);
    Memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-60)), 0);
    EXPECT_EQ(Memo->WinLine(), int32_t(PerNotch));
    Memo->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Memo->WinLine(), int32_t(PerNotch) + Memo->ClientHeight() / 16);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), 0); // no scroll bars asked for
    // Dragging the thumb shows the top line in a hint, unless the handler says no.
    Memo->SetOptions(Memo->Options() | moShowScrollHint);
    std::string Seen;
    Memo->OnVerticalScroll = [&](TObject*, int32_t Top, bool End, bool& Show, std::string& Hint) {
        Seen = Hint + (End ? " end" : "");
        Show = Top < 1000;
    };
    Memo->Perform(WM_VSCROLL, SB_THUMBTRACK, 0);
    EXPECT_EQ(Seen, "~Line~ " + std::to_string(Memo->WinLine() + 1));
    ASSERT_NE(Memo->PopupHint(), nullptr);
    EXPECT_TRUE(Memo->PopupHint()->Visible());
    Memo->Perform(WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_NE(Seen.find(" end"), std::string::npos);
    EXPECT_FALSE(Memo->PopupHint()->Visible());
}

// A bar is set again only when its range or page changes: every change of the text or of the
// wrap still reaches it, in both directions and back to an earlier size.
TEST_F(MemoWindow, TheVerticalBarFollowsTheTextBackAndForth) {
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    ShowForm();
    auto Lines = [](int Count, const std::string& Line) {
        std::string Text;
        for (int I = 0; I < Count; ++I)
            Text += Line + "\r\n";
        return Text;
    };
    const std::string Long = "words that go on past the right edge of the window, so each wraps";
    struct Step {
        const char* Name;
        std::string Text;
        bool Wrap;
    } Steps[] = {
        {"300 lines", Lines(300, "short"), false}, {"3 lines", Lines(3, "short"), false},
        {"300 again", Lines(300, "short"), false}, {"300 long", Lines(300, Long), false},
        {"wrapped", Lines(300, Long), true},       {"unwrapped", Lines(300, Long), false},
        {"wrapped, 3", Lines(3, Long), true},      {"wrapped, 300", Lines(300, Long), true},
    };
    for (const Step& S : Steps) {
        Memo->SetWordWrap(S.Wrap);
        Memo->SetText(S.Text);
        SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(Memo->Handle(), SB_VERT, &Info);
        EXPECT_GT(Info.nPage, 1u) << S.Name;
        EXPECT_EQ(Info.nMax, std::max(Memo->GetRealStrCountEx(), int(Info.nPage))) << S.Name;
        if (S.Wrap) {
            EXPECT_GT(Memo->GetRealStrCountEx(), Memo->GetSource()->GetStrCount()) << S.Name;
        }
    }
}

TEST_F(MemoWindow, ScrollBarsTrackAHugeDocumentPastSixteenBits) {
    std::string Text;
    Text.reserve(100000 * 8);
    for (int I = 0; I < 100000; ++I)
        Text += "r" + std::to_string(I) + "\r\n";
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    Memo->SetText(Text);
    ShowForm();
    SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Memo->Handle(), SB_VERT, &Info);
    EXPECT_EQ(Info.nMax, Memo->GetRealStrCountEx());
    EXPECT_GT(Info.nMax, 65535);
    int Moves = 0;
    Memo->OnMemoScroll = [&](TObject*, TScrollStyle Style, int32_t) {
        Moves += Style == TScrollStyle::ssVertical;
    };
    Memo->CenteredJumpTo(0, 90000);
    Memo->OnMemoScroll = nullptr;
    EXPECT_EQ(Moves, 1) << "the window moves once, straight to the centred line";
    EXPECT_EQ(Memo->CaretLine(), 90000);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), Memo->WinLine());
    EXPECT_GT(Memo->WinLine(), 65535);
    const POINT P = Memo->TextToPixelPoint(Memo->GetCaretPoint());
    EXPECT_NEAR(P.y, Memo->ClientHeight() / 2, 16);
}

TEST_F(MemoWindow, AnExceptionInAHandlerIsReportedNotThrownThroughTheWindow) {
    Memo->SetText("abc");
    Memo->OnChange = [](TObject*) { throw Exception("the change handler failed"); };
    ShowForm();
    PostChars(Memo->Handle(), "z");
    ASSERT_TRUE(PumpUntil([&] { return !Boxes.empty(); }));
    EXPECT_NE(Boxes[0].Text.find("the change handler failed"), std::string::npos);
    EXPECT_EQ(Memo->GetSource()->UpdateCount(), 0);
    Memo->OnChange = nullptr;
}

// Characters that arrive as Unicode key input (as on-screen keyboards and input tools send them)
// are typed like any key: as code-page characters, or as UTF-8 where the text holds its file's
// characters as UTF-8. A character the text cannot hold is refused, never typed as something else.
TEST_F(MemoWindow, UnicodeKeyInputIsTyped) {
    struct Case {
        bool heldAsUtf8;
        std::wstring typed;
        std::string text;
    } cases[] = {
        {false, L"a\u00E9\u20AC", "a\xE9\x80"},
        {false, L"x\u2192y", "xy"},
        {true, L"a\u00E9\u2192", "a\xC3\xA9\xE2\x86\x92"},
        {true, L"\U0001F600", "\xF0\x9F\x98\x80"},
    };
    ShowForm();
    for (const auto& c : cases) {
        Memo->SetText("");
        TFileEncoding e;
        e.Encoding = teUtf8;
        e.HeldAsUtf8 = c.heldAsUtf8;
        Memo->GetSource()->SetFileEncoding(e);
        SetForegroundWindow(Form->Handle());
        Memo->SetFocus();
        std::vector<INPUT> in;
        for (wchar_t ch : c.typed) {
            for (DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
                INPUT i{};
                i.type = INPUT_KEYBOARD;
                i.ki.wScan = ch;
                i.ki.dwFlags = KEYEVENTF_UNICODE | up;
                in.push_back(i);
            }
        }
        ASSERT_EQ(SendInput(UINT(in.size()), in.data(), sizeof(INPUT)), in.size());
        PumpUntil([&] { return Memo->GetText() == c.text; }, 1500);
        EXPECT_EQ(Memo->GetText(), c.text) << c.heldAsUtf8;
    }
    // The same through the messages an input method or another program sends.
    Memo->SetText("");
    Memo->GetSource()->SetFileEncoding(TFileEncoding{teUtf8, false, true, false});
    SendMessageW(Memo->Handle(), WM_UNICHAR, 0x2192, 0);
    SendMessageW(Memo->Handle(), WM_IME_CHAR, 0x00E9, 0);
    EXPECT_EQ(SendMessageW(Memo->Handle(), WM_UNICHAR, UNICODE_NOCHAR, 0), TRUE)
        << "WM_UNICHAR is understood";
    EXPECT_EQ(Memo->GetText(), "\xE2\x86\x92\xC3\xA9");
}

} // namespace
