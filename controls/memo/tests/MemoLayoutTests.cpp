// Layout without a window: fixed 8 x 16 character cells, a memo sized by its bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "MemoTestSupport.h"
#include "controls/foundation/InputDialogs.h"
#include "controls/memo/MemoAttributes.h"

namespace {
constexpr int CW = 8, LH = 16;

class MemoLayout : public ::testing::Test {
protected:
    // Client width 88: with no gutter a row holds (88 - 8) / 8 = 10 characters (+1 at a hard cut).
    void SetUp() override {
        Memo = std::make_unique<THSMemo>(nullptr);
        Memo->SetFixedMetrics(CW, LH);
        Memo->SetBounds(0, 0, 88, 160);
    }
    void SetText(const std::string& Text) { Memo->GetSource()->Lines().SetText(Text); }
    std::vector<int32_t> Breaks(int32_t Line) {
        std::vector<int32_t> R;
        const TWordWrapList& L = Memo->WordWrapList();
        for (int32_t I = 0; I < L.Count(); ++I)
            if (L.Item(I).Line == Line)
                R.push_back(L.Item(I).Char);
        return R;
    }
    // Line and column of every break and line-info record, then the row count.
    std::vector<std::pair<int32_t, int32_t>> WrapRecords() {
        std::vector<std::pair<int32_t, int32_t>> R;
        const TWordWrapList* Lists[] = {&Memo->WordWrapList(), &Memo->LineInfoList()};
        for (const TWordWrapList* L : Lists)
            for (int32_t I = 0; I < L->Count(); ++I)
                R.emplace_back(L->Item(I).Line, L->Item(I).Char);
        R.emplace_back(-1, Memo->GetRealStrCount());
        return R;
    }
    std::unique_ptr<THSMemo> Memo;
};

TEST_F(MemoLayout, WordWrapBreaksAfterDelimitersOrCutsHard) {
    struct Case {
        const char* Line;
        std::vector<int32_t> Breaks;
    } Cases[] = {
        {"short", {}},
        {"0123456789", {}},                       // exactly one row
        {"aaaa bbbb cccc dddd", {10}},            // the blank stays at the end of the first row
        {"abcdefghijklmnopqrstuvwxyz", {11, 22}}, // no delimiter: 11 characters a row
        {"aa bb cc dd ee ff gg hh ii", {9, 18}},
    };
    std::string Text;
    for (const auto& C : Cases)
        Text += std::string(C.Line) + "\r\n";
    SetText(Text);
    Memo->SetWordWrap(true);
    EXPECT_EQ(Memo->WBCount(), 10);
    int32_t LinesWithBreaks = 0;
    for (int32_t I = 0; I < int32_t(std::size(Cases)); ++I) {
        EXPECT_EQ(Breaks(I), Cases[I].Breaks) << Cases[I].Line;
        LinesWithBreaks += Cases[I].Breaks.empty() ? 0 : 1;
    }
    EXPECT_EQ(Memo->LineInfoList().Count(), LinesWithBreaks);
    // Rows: 1 + 1 + 2 + 3 + 3; the count answers the index of the last one.
    EXPECT_EQ(Memo->GetRealStrCount(), 9);
    Memo->SetWordWrap(false);
    EXPECT_EQ(Memo->WordWrapList().Count(), 0);
}

TEST_F(MemoLayout, WrappedPositionsConvertBackForEveryCharacter) {
    SetText("first\r\naaaa bbbb cccc dddd eeee\r\nabcdefghijklmnopqrstuvwxyz\r\nlast");
    Memo->SetWordWrap(true);
    for (int32_t Line = 0; Line < 4; ++Line) {
        const int32_t Len = int32_t(Memo->GetSource()->Strings().Get(Line).size());
        for (int32_t X = 0; X < Len; ++X) {
            const POINT W = Memo->GetWBPosition(POINT{X, Line});
            const POINT R = Memo->GetRealPosition(W);
            EXPECT_EQ(R.x, X) << Line << ":" << X;
            EXPECT_EQ(R.y, Line) << Line << ":" << X;
        }
    }
    // Row table of the wrapped line: "aaaa bbbb " | "cccc dddd " | "eeee".
    struct Case {
        POINT Real, Wrapped;
    } Cases[] = {{{0, 1}, {0, 1}}, {{10, 1}, {0, 2}}, {{12, 1}, {2, 2}}, {{20, 1}, {0, 3}},
                 {{0, 2}, {0, 4}}, {{11, 2}, {0, 5}}, {{25, 2}, {3, 6}}, {{2, 3}, {2, 7}}};
    for (const auto& C : Cases) {
        const POINT W = Memo->GetWBPosition(C.Real);
        EXPECT_EQ(W.x, C.Wrapped.x) << C.Real.x << "," << C.Real.y;
        EXPECT_EQ(W.y, C.Wrapped.y) << C.Real.x << "," << C.Real.y;
    }
}

// A caret that stands past the end of a line's last row is shown at the start of the row below
// once it would pass the wrap margin; monospaced, it moves down by its column over the row's
// characters. The proportional layout (here with fixed widths) moves one row.
TEST_F(MemoLayout, ACaretPastTheWrapMarginStandsAtTheStartOfTheNextRow) {
    SetText("abc\r\naaaa bbbb cccc dddd\r\nx");
    struct Case {
        POINT Caret, Mono, Proportional;
    } Cases[] = {
        {{11, 0}, {88, 0}, {88, 0}},   // at the margin: still on its row
        {{12, 0}, {0, 16}, {0, 16}},   // one cell past it
        {{25, 0}, {0, 32}, {0, 16}},   // far past it
        {{9, 1}, {72, 16}, {72, 16}},  // inside a row that is not the line's last
        {{19, 1}, {72, 32}, {72, 32}}, // the end of the last row "cccc dddd"
        {{21, 1}, {88, 32}, {88, 32}}, {{22, 1}, {0, 48}, {0, 48}},
    };
    for (bool Mono : {true, false}) {
        Memo->SetUseMonoFont(Mono);
        Memo->SetWordWrap(false);
        EXPECT_EQ(Memo->TextToPixelPoint(POINT{25, 0}).x, 25 * CW) << "without word wrap nothing moves";
        Memo->SetWordWrap(true);
        ASSERT_EQ(Breaks(1), (std::vector<int32_t>{10}));
        for (const Case& C : Cases) {
            const POINT Want = Mono ? C.Mono : C.Proportional;
            const POINT P = Memo->TextToPixelPoint(C.Caret);
            EXPECT_EQ(P.x, Want.x) << Mono << " " << C.Caret.x << "," << C.Caret.y;
            EXPECT_EQ(P.y, Want.y) << Mono << " " << C.Caret.x << "," << C.Caret.y;
        }
        // Every character of the text still converts to its row and back.
        for (int32_t X = 0; X <= 19; ++X) {
            const POINT R = Memo->GetRealPosition(Memo->GetWBPosition(POINT{X, 1}));
            EXPECT_EQ(R.x, X);
            EXPECT_EQ(R.y, 1);
        }
    }
}

// With special symbols shown the painted text (blanks and tabs as marks, tabs expanded) is what is
// wrapped, while words still end at the line's own blanks: rows, caret and painting agree in both
// layouts.
TEST_F(MemoLayout, ShownBlanksAndTabsWrapAsTheyArePainted) {
    TCustomMemoSource* S = Memo->GetSource();
    S->SetOptions(S->Options() | soUseTabCharacter); // the tab is kept, not typed as blanks
    SetText("aaaa bbbb cccc dddd\r\na\tbbbb cccc dddd");
    ASSERT_EQ(S->Strings().GetRaw(1), "a\tbbbb cccc dddd");
    Memo->SetOptions(moDrawSpecialSymbols);
    Memo->SpecialSymbols().SetSpaceChar('.');
    Memo->SpecialSymbols().SetTabChar('\xBB');
    Memo->SpecialSymbols().SetEOFString("");
    const std::string Tab = S->GetSpecialString(1, true, '\xBB', '.').substr(0, 9);
    ASSERT_EQ(S->Strings().Get(1), "a        bbbb cccc dddd"); // the tab takes eight cells
    ASSERT_NE(Tab.find('\xBB'), std::string::npos);
    const std::vector<std::string> Rows{"aaaa.bbbb.", "cccc.dddd\xB6", Tab, "bbbb.cccc.", "dddd\xB6"};
    for (bool Mono : {true, false}) {
        SCOPED_TRACE(Mono ? "monospaced" : "proportional");
        Memo->SetUseMonoFont(Mono);
        Memo->SetWordWrap(false);
        Memo->SetWordWrap(true);
        EXPECT_EQ(Breaks(0), (std::vector<int32_t>{10}));
        EXPECT_EQ(Breaks(1), (std::vector<int32_t>{9, 19}));
        TRecordingSink Sink;
        Memo->PaintTo(Sink, RECT{0, 0, 88, 160});
        std::vector<std::string> Painted(Rows.size());
        for (const TRecordedOp& Op : Sink.Ops)
            if (Op.Kind == TRecordedOp::opText && size_t(Op.R.top / LH) < Painted.size())
                Painted[size_t(Op.R.top / LH)] += Op.Text;
        EXPECT_EQ(Painted, Rows);
        // The first character of every row stands at the row's left edge.
        for (POINT P : {POINT{10, 0}, POINT{9, 1}, POINT{19, 1}}) {
            const POINT Pixel = Memo->TextToPixelPoint(P);
            EXPECT_EQ(Pixel.x, 0) << P.x << "," << P.y;
            EXPECT_EQ(Memo->MouseToTextPoint(1, Pixel.y + 1, true).x, P.x);
        }
    }
}

// A line painted as it is stored is cut from its stored text; with an owner's custom-string
// handler (here one that changes nothing) every line is cut from its painted copy. Both give the
// same rows, also for lines with tabs, bytes above 127 and rows that end exactly at the margin.
TEST_F(MemoLayout, StoredAndPaintedLinesWrapAlike) {
    TCustomMemoSource* S = Memo->GetSource();
    S->SetOptions(S->Options() | soUseTabCharacter);
    const std::vector<std::string> Lines{
        "",
        "0123456789",
        "0123456789a",
        "aaaa bbbb cccc dddd",
        "abcdefghijklmnopqrstuvwxyz",
        "a\tbbbb cccc dddd",
        "\t\t\tx",
        "x         y",
        "\xE9\xE9\xE9\xE9\xE9 \xE9\xE9\xE9\xE9\xE9\xE9 \xE9\xA0\xE9",
        std::string(95, 'w') + " end",
        "aaaaaaaaa,bbbbbbbbbb.cccc;dddddddddd",
        "          ",
    };
    std::string Text;
    for (const std::string& L : Lines)
        Text += L + "\r\n";
    SetText(Text);
    Memo->SetWordWrap(true);
    const auto Stored = WrapRecords();
    ASSERT_GT(Memo->WordWrapList().Count(), 10);
    Memo->OnCustomString = [](TObject*, std::string&, std::string&) {};
    Memo->SetWordWrap(false);
    Memo->SetWordWrap(true);
    EXPECT_EQ(WrapRecords(), Stored);
}

// A source whose line numbers take another width than the previous one's is wrapped once while it
// is bound: to the rows its own numbers leave, the rows a fresh wrap gives. So is a bound source
// whose new text has fewer digits in its line numbers.
TEST_F(MemoLayout, ABoundSourceIsWrappedToTheRoomItsLineNumbersLeave) {
    Memo->SetBounds(0, 0, 168, 160);
    Memo->SetOptions(Memo->Options() | moLineNumbers);
    SetText("one short line");
    Memo->SetWordWrap(true);
    const int32_t Wide = Memo->WBCount();
    ASSERT_GT(Wide, 10);
    TMemoSource Big;
    std::string Text;
    for (int I = 0; I < 1500; ++I)
        Text += "aaaa bbbb cccc dddd eeee ffff\r\n";
    Big.Lines().SetText(Text);
    for (int Round = 0; Round < 2; ++Round) {
        SCOPED_TRACE(Round);
        Memo->SetSource(&Big);
        EXPECT_LT(Memo->WBCount(), Wide);
        const auto Bound = WrapRecords();
        Memo->SetWordWrap(false);
        Memo->SetWordWrap(true);
        EXPECT_EQ(WrapRecords(), Bound);
        Memo->SetSource(nullptr);
        EXPECT_EQ(Memo->WBCount(), Wide);
    }
    // The same when a bound source gets a text of fewer lines.
    Memo->SetSource(&Big);
    Big.LoadFromString(Text.substr(0, Text.size() / 100));
    EXPECT_EQ(Memo->WBCount(), Wide);
    const auto Loaded = WrapRecords();
    Memo->SetWordWrap(false);
    Memo->SetWordWrap(true);
    EXPECT_EQ(WrapRecords(), Loaded);
    Memo->SetSource(nullptr);
}

// Without line numbers, or with numbers of the same width, binding wraps the text for its colouring
// and that wrap stands: the rows are those of a fresh wrap, also for a source that comes back deep
// down at its remembered place.
TEST_F(MemoLayout, ABoundSourceWhoseNumbersKeepTheirWidthHasTheRowsOfAFreshWrap) {
    for (const bool Numbers : {false, true}) {
        SCOPED_TRACE(Numbers);
        Memo->SetOptions(Numbers ? Memo->Options() | moLineNumbers : Memo->Options() & ~moLineNumbers);
        Memo->SetWordWrap(true);
        TMemoSource First, Second;
        std::string Text;
        for (int I = 0; I < 1500; ++I)
            Text += I % 3 ? "aaaa bbbb cccc dddd eeee\r\n" : "short\r\n";
        First.Lines().SetText(Text);
        Second.Lines().SetText(Text.substr(Text.size() / 3) + "abcdefghijklmnopqrstuvwxyz");
        Memo->SetSource(&First);
        Memo->SetSource(&Second);
        Memo->SetCaretPoint(POINT{3, 1200});
        Memo->SetWinLine(1150);
        for (TMemoSource* S : {&First, &Second, &First, &Second}) {
            Memo->SetSource(S);
            const auto Bound = WrapRecords();
            Memo->SetWordWrap(false);
            Memo->SetWordWrap(true);
            EXPECT_EQ(WrapRecords(), Bound) << (S == &First ? "first" : "second");
        }
        Memo->SetSource(nullptr);
    }
}

TEST_F(MemoLayout, LongTextIsWrappedLazilyAFewScreensAhead) {
    std::string Text;
    for (int I = 0; I < 2000; ++I)
        Text += "word word word word word\r\n";
    SetText(Text);
    Memo->SetWordWrap(true);
    // Only the first screens are wrapped at once; a conversion far down extends 100 lines past it.
    const TWordWrapList& L = Memo->WordWrapList();
    EXPECT_EQ(L.Item(L.Count() - 1).Line, 255);
    // An edit far below the wrapped part waits for the lazy extension, which takes the lines
    // between too.
    Memo->GetSource()->Lines().Put(1050, "x word word word word word");
    EXPECT_EQ(L.Item(L.Count() - 1).Line, 255);
    Memo->GetWBPosition(POINT{0, 1000});
    EXPECT_EQ(L.Item(L.Count() - 1).Line, 1100);
    EXPECT_EQ(L.Count(), 2 * 1101);
}

// Only the memo's own Up, Down, page and screen commands count wrapped rows; a jump to a line, a
// column paste going down line by line and an undone move count real lines.
TEST_F(MemoLayout, OnlyTheMemosVerticalCommandsMoveByWrappedRows) {
    SetText("aaaa bbbb cccc dddd eeee\r\nffff gggg hhhh\r\nshort\r\nlast line");
    Memo->SetWordWrap(true);
    ASSERT_EQ(Memo->GetRealStrCount(), 6); // rows: 3 + 2 + 1 + 1
    TCustomMemoSource* S = Memo->GetSource();
    S->SetUndoLimit(100);
    S->JumpTo(0, 0);
    Memo->SetCaretPoint(POINT{0, 2});
    EXPECT_EQ(Memo->CaretLine(), 2);
    EXPECT_EQ(Memo->CaretChar(), 0);
    S->JumpTo(0, 0);
    Memo->MemoCursorDown(); // the second row of line 0
    EXPECT_EQ(Memo->CaretLine(), 0);
    EXPECT_EQ(Memo->CaretChar(), 10);
    Memo->MemoCursorDown();
    Memo->MemoCursorDown(); // line 1
    EXPECT_EQ(Memo->CaretLine(), 1);
    S->Undo(); // the moves are undone together, by lines
    EXPECT_EQ(Memo->CaretLine(), 0);
    // A column block pasted at column 0 fills the lines below, not the rows.
    S->JumpTo(0, 0);
    S->SetSelection(stBlockSel, 0, 2, 1, 3); // the end column is inclusive
    const std::vector<std::string> Before{S->Strings().Get(0), S->Strings().Get(1)};
    S->JumpTo(0, 0);
    S->CopyBlockToPos();
    EXPECT_EQ(S->Strings().Get(0), "sh" + Before[0]);
    EXPECT_EQ(S->Strings().Get(1), "la" + Before[1]);
}

TEST_F(MemoLayout, GutterAndLineNumbersPlaceTheText) {
    SetText("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9");
    struct Case {
        TMemoOptions Options;
        int32_t GutterWidth;
        int32_t LineIndent;
        int32_t RealGutter, PaintX;
    } Cases[] = {
        {0, 32, 0, 0, 0},
        {moDrawGutter, 32, 0, 32, 32},
        {moDrawGutter | moLineNumbers, 32, 0, 32, 32 + 16}, // 9 lines: 1 digit, (1 + 1) cells
        {moLineNumbers, 32, 0, 0, 16},
        {moDrawGutter | moLineNumbers | moLineNumbersOnGutter, 32, 0, 32, 32},
        {moDrawGutter | moLineNumbers | moLineNumbersOnGutter, 10, 3, 16 + 3 + 2, 16 + 3 + 2},
    };
    for (const auto& C : Cases) {
        Memo->SetOptions(C.Options | moLimitLineNumbers);
        Memo->SetGutterWidth(C.GutterWidth);
        Memo->SetGutterLineIndent(C.LineIndent);
        EXPECT_EQ(Memo->GetRealGutterWidth(), C.RealGutter) << C.Options;
        EXPECT_EQ(Memo->GetPaintX(), C.PaintX) << C.Options;
    }
    // A tenth line adds a digit.
    Memo->SetOptions(moDrawGutter | moLineNumbers | moLimitLineNumbers);
    Memo->SetGutterWidth(32);
    Memo->GetSource()->Lines().Add("10");
    EXPECT_EQ(Memo->GetLineNumbersWidth(), 3 * CW);
    EXPECT_EQ(Memo->GetPaintX(), 32 + 24);
}

TEST_F(MemoLayout, TextAndPixelsMapBothWays) {
    SetText("line one\r\nline two\r\nline three\r\nfour\r\nfive\r\nsix\r\nseven\r\neight");
    Memo->SetOptions(moDrawGutter | moLineNumbers | moLimitLineNumbers); // paint x = 32 + 16
    const int X0 = 48;
    struct Case {
        POINT Text, Pixel;
    } Cases[] = {{{0, 0}, {X0, 0}}, {{3, 2}, {X0 + 24, 32}}, {{7, 1}, {X0 + 56, 16}}};
    for (const auto& C : Cases) {
        const POINT P = Memo->TextToPixelPoint(C.Text);
        EXPECT_EQ(P.x, C.Pixel.x);
        EXPECT_EQ(P.y, C.Pixel.y);
        EXPECT_EQ(Memo->MouseToTextPoint(P.x + 1, P.y + 1, true).x, C.Text.x);
        EXPECT_EQ(Memo->MouseToTextPoint(P.x + 1, P.y + 1, true).y, C.Text.y);
    }
    // The right half of a cell places the caret after the character.
    EXPECT_EQ(Memo->MouseToTextPoint(X0 + 3 * CW + 4, 5, true).x, 3);
    EXPECT_EQ(Memo->MouseToTextPoint(X0 + 3 * CW + 5, 5, true).x, 4);
    // Below the last line: the last line, unless the text allows the caret beyond the end.
    EXPECT_EQ(Memo->MouseToTextPoint(X0, 50 * LH, true).y, 7);
    Memo->SetWinLine(2);
    Memo->SetWinChar(1);
    const POINT P = Memo->TextToPixelPoint(POINT{3, 2});
    EXPECT_EQ(P.x, X0 + 16);
    EXPECT_EQ(P.y, 0);
}

TEST_F(MemoLayout, ScrollingStopsAtTheLastLineAndPagesMoveTheCaret) {
    std::string Text;
    for (int I = 0; I < 100; ++I)
        Text += "line " + std::to_string(I) + "\r\n";
    SetText(Text);
    Memo->SetWinLine(1000);
    EXPECT_EQ(Memo->WinLine(), Memo->GetRealStrCountEx());
    Memo->SetWinLine(0);
    // 160 / 16 = 10 rows; a page moves the caret by the rows below the first one.
    Memo->PageDown();
    EXPECT_EQ(Memo->CaretLine(), 9);
    Memo->PageDown();
    EXPECT_EQ(Memo->CaretLine(), 18);
    Memo->PageUp();
    EXPECT_EQ(Memo->CaretLine(), 9);
    Memo->SetHorzMaxPos(39);
    EXPECT_EQ(Memo->HorzMaxPos(), 512);
    Memo->SetHorzMaxPos(10000);
    EXPECT_EQ(Memo->HorzMaxPos(), 512);
    Memo->SetHorzMaxPos(40);
    EXPECT_EQ(Memo->HorzMaxPos(), 40);
}

// Without UseMonoFont a page moves the window by its height in pixels: the row cut at the bottom
// (going up, the top) becomes the first (last) one in sight, and the caret keeps its place in the
// window. At the ends of the text the window stops while the caret goes on.
TEST_F(MemoLayout, ProportionalPagesMoveTheWindowByItsHeight) {
    std::string Text;
    for (int I = 0; I < 30; ++I)
        Text += "line " + std::to_string(I) + "\r\n";
    SetText(Text);
    Memo->SetUseMonoFont(false);
    Memo->GetSource()->JumpTo(3, 2);
    struct Step {
        bool Down;
        int32_t WinLine, CaretLine;
    } Steps[] = {
        // 160 / 16 = 10 rows: row 10 starts at the bottom edge, so row 9 becomes the top.
        {true, 9, 11},  {true, 18, 20}, {false, 9, 11},
        {false, 0, 2},  {false, 0, 0}, // the window is at the top already: the caret goes on to line 0
        {true, 9, 9},   {true, 18, 18}, {true, 27, 27},
        {true, 29, 29}, // the last line at the top; the caret stops there too
    };
    for (const Step& S : Steps) {
        S.Down ? Memo->PageDown() : Memo->PageUp();
        EXPECT_EQ(Memo->WinLine(), S.WinLine) << S.Down << " " << S.CaretLine;
        EXPECT_EQ(Memo->CaretLine(), S.CaretLine) << S.Down << " " << S.CaretLine;
    }
    EXPECT_EQ(Memo->CaretChar(), 3);
}

TEST_F(MemoLayout, PaintedCellsCarryStylesSelectionAndMatches) {
    TDigitParser Parser;
    Memo->GetSource()->SetSyntaxParser(&Parser);
    SetText("ab 12 #\r\ncd 34\r\nxyz");
    Memo->SetBounds(0, 0, 200, 160);
    Memo->SetSelection(stStreamSel, 1, 0, 2, 1); // "b 12 #" ... "cd"
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 200, 160});
    auto Back = [&](int Col, int Row) {
        TColor C = -1;
        EXPECT_TRUE(Sink.BackAt(Col * CW + 1, Row * LH + 1, C)) << Col << "," << Row;
        return C;
    };
    auto Fore = [&](int Col, int Row) {
        const TRecordedOp* Op = Sink.TextAt(Col * CW + 1, Row * LH + 1);
        return Op ? Op->FontColor : TColor(-1);
    };
    // Unselected: "a" a reserved word (blue, bold) on the window colour.
    EXPECT_EQ(Fore(0, 0), clBlue);
    EXPECT_EQ(Sink.TextAt(1, 1)->Style, fsBold);
    EXPECT_EQ(Back(0, 0), clWindow);
    // Selected from column 1 of line 0 to column 2 of line 1, and to the right border on line 0.
    for (int Col : {1, 2, 3, 4, 6, 10, 20})
        EXPECT_EQ(Back(Col, 0), Memo->SelBackColor()) << Col;
    for (int Col : {0, 1})
        EXPECT_EQ(Back(Col, 1), Memo->SelBackColor()) << Col;
    EXPECT_EQ(Fore(1, 1), Memo->SelColor());
    for (int Col : {2, 3, 4, 10})
        EXPECT_EQ(Back(Col, 1), clWindow) << Col;
    EXPECT_EQ(Fore(3, 1), clGreen); // a digit
    // A found text wins over everything. The source keeps it as (first char, line) to (char after
    // the last, line + 1), as the search and the results list set it.
    Memo->SetSelection(stNotSelected, 0, 0, 0, 0);
    Memo->GetSource()->SetFoundRect(TMemoRect{1, 2, 3, 3});
    Sink.Ops.clear();
    Memo->PaintTo(Sink, RECT{0, 0, 200, 160});
    EXPECT_EQ(Back(6, 0), clRed); // '#' is the BreakPoint style
    EXPECT_EQ(Back(1, 2), Memo->MatchBackColor());
    EXPECT_EQ(Fore(2, 2), Memo->MatchColor());
    EXPECT_EQ(Back(3, 2), clWindow);
    Memo->GetSource()->SetSyntaxParser(nullptr);
}

// A line marked as an error keeps the mark's background; its text stays readable over it: syntax
// colours too dark for the mark are lightened towards the mark's text colour, keeping their hue,
// and without coloured line styles the mark's own text colour is used.
TEST_F(MemoLayout, TextOnAMarkedLineStandsOutFromTheMark) {
    TDigitParser Parser;
    Memo->GetSource()->SetSyntaxParser(&Parser);
    SetText("ab 12\r\nab 12");
    Memo->SetBounds(0, 0, 200, 160);
    const int ErrorLine = Memo->TextStyles().IndexOfName("Error line");
    ASSERT_GT(ErrorLine, 0);
    const TColor Mark = Memo->TextStyles().GetItem(ErrorLine)->Color();
    const TColor MarkText = Memo->TextStyles().GetItem(ErrorLine)->Font().Color();
    Memo->GetSource()->SetLineTextStyle(0, uint8_t(ErrorLine));
    TRecordingSink Sink;
    auto Painted = [&](int Col, int Row) {
        Sink.Ops.clear();
        Memo->PaintTo(Sink, RECT{0, 0, 200, 160});
        const TRecordedOp* Op = Sink.TextAt(Col * CW + 1, Row * LH + 1);
        return Op ? std::pair{Op->FontColor, Op->BackColor} : std::pair{TColor(-1), TColor(-1)};
    };
    Memo->SetOptions(Memo->Options() | moColoredLineStyle);
    for (int Col : {0, 3}) { // a reserved word (blue), a digit (green)
        const auto [Text, Back] = Painted(Col, 0);
        EXPECT_EQ(Back, Mark) << Col;
        EXPECT_GE(ContrastRatio(Text, Back), 4.5) << Col;
        EXPECT_NE(Text, MarkText) << Col;
        // The unmarked line keeps the syntax colour itself.
        EXPECT_EQ(Painted(Col, 1).first, Col == 0 ? clBlue : clGreen) << Col;
    }
    const COLORREF Word = ColorToRGB(Painted(0, 0).first);
    EXPECT_GT(GetBValue(Word), GetRValue(Word)); // still a blue
    Memo->SetOptions(Memo->Options() & ~moColoredLineStyle);
    EXPECT_EQ(Painted(3, 0), std::pair(MarkText, Mark));
    Memo->GetSource()->SetSyntaxParser(nullptr);
}

// The owner's custom drawing sees every run and every fill after the text, before and after it is
// drawn; a run or fill it takes is not drawn, and its after-call does not follow.
TEST_F(MemoLayout, CustomDrawingIsOfferedEveryRunAndFillAfterTheText) {
    SetText("keep skip\r\nnext");
    Memo->SetBounds(0, 0, 200, 48);
    Memo->SetSelection(stStreamSel, 5, 0, 2, 1); // "skip" and past the end of line 0
    struct Call {
        std::string Text;
        TDrawStates State;
        int32_t Line;
    };
    std::vector<Call> Calls;
    Memo->OnCustomDraw = [&](TObject*, TMemoDrawSink&, const RECT&, int32_t Line, int32_t,
                             const std::string& S, TDrawStates State, bool& Handled) {
        Calls.push_back({S, State, Line});
        // Takes the selected run and the selected space after line 0's text.
        Handled = (State & dsBeforePaint) && (State & dsSelection) && Line == 0;
    };
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 200, 48});
    auto Count = [&](TDrawStates Has, int32_t Line) {
        return std::count_if(Calls.begin(), Calls.end(),
                             [&](const Call& C) { return (C.State & Has) == Has && C.Line == Line; });
    };
    EXPECT_EQ(Count(dsText | dsBeforePaint | dsSelection, 0), 1);
    EXPECT_EQ(Count(dsText | dsAfterPaint | dsSelection, 0), 0);
    EXPECT_EQ(Count(dsAfterText | dsBeforePaint | dsSelection, 0), 1);
    EXPECT_EQ(Count(dsAfterText | dsAfterPaint | dsSelection, 0), 0);
    EXPECT_EQ(Count(dsText | dsAfterPaint, 1), 2); // "ne" selected, "xt" not
    EXPECT_EQ(Count(dsAfterText | dsAfterPaint, 1), 1);
    for (const TRecordedOp& Op : Sink.Ops) {
        EXPECT_NE(Op.Text, "skip");
        if (Op.R.top == 0) {
            EXPECT_NE(Op.BackColor, Memo->SelBackColor()) << Op.R.left;
        }
    }
    const TRecordedOp* Kept = Sink.TextAt(1, 1);
    ASSERT_NE(Kept, nullptr);
    EXPECT_EQ(Kept->Text, "keep ");
    Memo->OnCustomDraw = nullptr;
}

TEST_F(MemoLayout, GutterLineNumbersAndMarginArePainted) {
    SetText("one\r\ntwo\r\nthree");
    Memo->SetBounds(0, 0, 400, 64);
    Memo->SetOptions(moDrawGutter | moLineNumbers | moDrawMargin | moLimitLineNumbers);
    Memo->SetMarginPos(10);
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 64});
    std::vector<std::string> Numbers;
    bool MarginSeen = false;
    for (const auto& Op : Sink.Ops) {
        if (Op.Kind == TRecordedOp::opText && Op.R.left == 32)
            Numbers.push_back(Op.Text);
        if (Op.Kind == TRecordedOp::opLine && Op.R.left == 48 + 80 && Op.R.right == 48 + 80)
            MarginSeen = true;
    }
    EXPECT_EQ(Numbers, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(MarginSeen);
    TColor C = -1;
    ASSERT_TRUE(Sink.BackAt(5, 5, C));
    EXPECT_EQ(C, Memo->GutterBrush().Color());
}

TEST_F(MemoLayout, SpecialSymbolsAndHiddenLinesShapeTheRows) {
    SetText("a b\r\nhidden\r\nhidden too\r\nshown");
    Memo->SetBounds(0, 0, 400, 96);
    Memo->SetOptions(moDrawSpecialSymbols);
    Memo->SpecialSymbols().SetSpaceChar('.');
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 96});
    std::vector<std::string> Rows(6);
    for (const auto& Op : Sink.Ops)
        if (Op.Kind == TRecordedOp::opText && Op.R.top / LH < 6)
            Rows[size_t(Op.R.top / LH)] += Op.Text;
    EXPECT_EQ(Rows[0], "a.b\xB6");
    EXPECT_EQ(Rows[3], "shown\xB6");
    EXPECT_EQ(Rows[4], "_"); // the end of the file
    EXPECT_EQ(Rows[5], "");
    // Hidden lines take no row, and the strip for the collapse marks moves the text right.
    Memo->SetOptions(moHideInvisibleLines);
    Memo->GetSource()->SetCollapseState(0, csCollapsed);
    Memo->GetSource()->SetLineVisible(1, false);
    Memo->GetSource()->SetLineVisible(2, false);
    EXPECT_EQ(Memo->GetPaintX(), LH);
    Sink.Ops.clear();
    Memo->PaintTo(Sink, RECT{0, 0, 400, 96});
    const TRecordedOp* Second = Sink.TextAt(LH + 1, LH + 1);
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(Second->Text, "shown");
    int Buttons = 0;
    for (const auto& Op : Sink.Ops)
        if (Op.Kind == TRecordedOp::opButton) {
            ++Buttons;
            EXPECT_EQ(Op.Text, "+");
            EXPECT_EQ(Op.R.top, 0);
        }
    EXPECT_EQ(Buttons, 1);
    EXPECT_EQ(Memo->TextToPixelPoint(POINT{0, 3}).y, LH);
    EXPECT_EQ(Memo->MouseToTextPoint(LH + 1, LH + 1, true).y, 3);
}

TEST_F(MemoLayout, EditMessagesOfTheStandardMemoAreAnswered) {
    SetText("abc\r\n\r\nlonger line");
    TCustomMemoSource* S = Memo->GetSource();
    EXPECT_EQ(Memo->Perform(EM_GETLINECOUNT), 3);
    EXPECT_EQ(Memo->Perform(EM_LINEINDEX, 0), 0);
    EXPECT_EQ(Memo->Perform(EM_LINEINDEX, 2), 3);
    Memo->SetCaretPoint(POINT{1, 2});
    EXPECT_EQ(Memo->Perform(EM_LINEINDEX, WPARAM(-1)), 3);
    char Buffer[16] = {};
    uint16_t Size = 4;
    memcpy(Buffer, &Size, 2);
    EXPECT_EQ(Memo->Perform(EM_GETLINE, 2, LPARAM(Buffer)), 4);
    EXPECT_EQ(std::string(Buffer, 4), "long");
    memset(Buffer, 'x', sizeof Buffer);
    EXPECT_EQ(Memo->Perform(EM_GETLINE, 3, LPARAM(Buffer)), 0); // the line count: nothing written
    EXPECT_EQ(Buffer[0], 'x');
    EXPECT_EQ(Memo->Perform(EM_GETLINE, 0, 0), 0);
    EXPECT_EQ(Memo->Perform(WM_GETTEXTLENGTH), LRESULT(Memo->GetText().size()));
    Memo->Perform(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(Memo->Perform(EM_CANUNDO), 0);
    S->Insert("X");
    EXPECT_EQ(Memo->Perform(EM_CANUNDO), 1);
    Memo->Perform(WM_UNDO);
    EXPECT_EQ(S->Strings().Get(2), "longer line");
}

TEST_F(MemoLayout, TypedCharactersGoThroughTheSource) {
    SetText("ac");
    Memo->SetCaretPoint(POINT{1, 0});
    char Key = 'b';
    Memo->Perform(WM_CHAR, WPARAM(uint8_t(Key)), 0);
    EXPECT_EQ(Memo->GetText(), "abc");
    EXPECT_EQ(Memo->CaretChar(), 2);
    Memo->Perform(WM_CHAR, 9, 0); // a tab is a command, never a typed character
    Memo->Perform(WM_CHAR, 13, 0);
    EXPECT_EQ(Memo->GetText(), "abc");
    TCustomMemoSource::SetOverwrite(true);
    Memo->GetSource()->JumpToLineEnd();
    Memo->Perform(WM_CHAR, 'd', 0);
    TCustomMemoSource::SetOverwrite(false);
    EXPECT_EQ(Memo->GetText(), "abcd");
    // Replacing the selection is one step.
    Memo->SetSelection(stStreamSel, 1, 0, 3, 0);
    Memo->SetSelText("XY");
    EXPECT_EQ(Memo->GetText(), "aXYd");
    EXPECT_EQ(Memo->GetCurPosText(), "1: 4");
}

TEST_F(MemoLayout, GoToLineOffersItsFormToOnCreateDialog) {
    SetText("1\r\n2\r\n3\r\n4\r\n5");
    std::string Caption;
    Memo->OnCreateDialog = [&](TObject* Sender, TForm* Dialog) {
        EXPECT_EQ(Sender, Memo.get());
        Caption = Dialog->Caption();
        if (auto* Input = dynamic_cast<TInputLineForm*>(Dialog))
            Input->PropEdit->SetText("4");
    };
    TModalHook Old = SetModalHook([](TCustomForm& Form) { Form.SetModalResult(mrOk); });
    EXPECT_TRUE(Memo->PromptedGotoLine());
    SetModalHook(std::move(Old));
    EXPECT_EQ(Caption, "Go to line Number");
    EXPECT_EQ(Memo->CaretLine(), 3);
}

} // namespace

namespace {

// A proportional font: each character as wide as it is in its style's font, measured on the screen.
class ProportionalLayout : public ::testing::Test {
protected:
    void SetUp() override {
        Memo = std::make_unique<THSMemo>(nullptr);
        Memo->SetUseMonoFont(false);
        Memo->Font().SetName("Arial");
        Memo->Font().SetSize(12);
        Memo->SetBounds(0, 0, 400, 200);
        Memo->SetOptions(moDrawGutter);
        Memo->SetGutterWidth(20);
    }
    // Pixel width of a text in a font, asked of the platform directly.
    static int Extent(TFont& Font, const std::string& Text) {
        HDC DC = GetDC(nullptr);
        HGDIOBJ Old = SelectObject(DC, Font.Handle());
        SIZE S{};
        GetTextExtentPoint32A(DC, Text.data(), int(Text.size()), &S);
        SelectObject(DC, Old);
        ReleaseDC(nullptr, DC);
        return S.cx;
    }
    std::unique_ptr<THSMemo> Memo;
};

TEST_F(ProportionalLayout, TheCaretStandsAfterTheMeasuredTextAndClicksFindTheCharacter) {
    const std::string Line = "iiiii WWWWW mixed Text";
    Memo->GetSource()->Lines().SetText(Line + "\r\nsecond");
    const int X0 = Memo->GetPaintX();
    ASSERT_EQ(X0, 20);
    // Narrow letters take less room than wide ones: no average cells.
    EXPECT_LT(Memo->TextToPixelChar(POINT{5, 0}) - X0,
              Memo->TextToPixelChar(POINT{11, 0}) - Memo->TextToPixelChar(POINT{6, 0}));
    for (int32_t K = 0; K <= int32_t(Line.size()); ++K) {
        const int X = X0 + Extent(Memo->Font(), Line.substr(0, size_t(K)));
        const POINT P = Memo->TextToPixelPoint(POINT{K, 0});
        EXPECT_EQ(P.x, X) << K;
        EXPECT_EQ(Memo->MouseToTextPoint(X + 1, 3, true).x, K) << K;
        if (K < int32_t(Line.size())) {
            // Half of a character (integer halves) keeps the click before it; one pixel more passes it.
            const int W = Extent(Memo->Font(), Line.substr(size_t(K), 1));
            EXPECT_EQ(Memo->MouseToTextPoint(X + W / 2, 3, true).x, K) << K;
            EXPECT_EQ(Memo->MouseToTextPoint(X + W / 2 + 1, 3, true).x, K + 1) << K;
        }
    }
    // Past the end of the line, columns are blanks of the memo's font.
    const int End = X0 + Extent(Memo->Font(), Line);
    const int Space = Extent(Memo->Font(), " ");
    EXPECT_EQ(Memo->TextToPixelChar(POINT{int32_t(Line.size()) + 3, 0}), End + 3 * Space);
    EXPECT_EQ(Memo->MouseToTextPoint(End + 3 * Space + 1, 3, true).x, int32_t(Line.size()) + 3);
    // Up and down keep the pixel column, not the character count.
    TCustomMemoSource* S = Memo->GetSource();
    S->JumpTo(11, 0);
    Memo->MemoCursorDown();
    const int Wanted = Memo->TextToPixelChar(POINT{11, 0});
    const int Got = Memo->TextToPixelChar(Memo->GetCaretPoint());
    EXPECT_EQ(Memo->CaretLine(), 1);
    EXPECT_LE(std::abs(Got - Wanted), Extent(Memo->Font(), "W"));
}

TEST_F(ProportionalLayout, BoldStylesAreMeasuredInTheirOwnFontAndRowsFitTheWindow) {
    TDigitParser Parser; // letters in "Reserved words": bold
    Memo->GetSource()->SetSyntaxParser(&Parser);
    Memo->SetOptions(moDrawGutter | moColorSyntax);
    const std::string Line = "abc 12 Wide Words Wrapped Where They Must 345 and more words to fill rows";
    Memo->GetSource()->Lines().SetText(Line);
    TFont Bold;
    Bold.Assign(Memo->TextStyles().GetItem(6)->Font());
    ASSERT_TRUE(Bold.Style() & fsBold);
    const int X0 = Memo->GetPaintX();
    EXPECT_EQ(Memo->TextToPixelChar(POINT{3, 0}), X0 + Extent(Bold, "abc"));
    EXPECT_EQ(Memo->TextToPixelChar(POINT{6, 0}), X0 + Extent(Bold, "abc") + Extent(Memo->Font(), " 12"));

    // The painter draws each run where the mapping puts it.
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 200});
    const TRecordedOp* Digits = Sink.TextAt(Memo->TextToPixelChar(POINT{4, 0}) + 1, 2);
    ASSERT_NE(Digits, nullptr);
    EXPECT_EQ(Digits->Text, "12");
    EXPECT_EQ(Digits->R.left, Memo->TextToPixelChar(POINT{4, 0}));
    EXPECT_EQ(Digits->R.right, Memo->TextToPixelChar(POINT{6, 0}));

    // Wrapped rows end at word breaks and each fits between the text's edge and the window's.
    Memo->SetWordWrap(true);
    ASSERT_GT(Memo->WordWrapList().Count(), 0);
    int32_t Start = 0;
    for (int32_t I = 0; I <= Memo->WordWrapList().Count(); ++I) {
        const int32_t End =
            I < Memo->WordWrapList().Count() ? Memo->WordWrapList().Item(I).Char : int32_t(Line.size());
        std::string Text, Colors;
        Memo->GetStrData(0, Text, Colors);
        const POINT Size = Memo->CalcStringSize(0, Text, Colors, Start, End - Start);
        EXPECT_LE(Size.x, 400 - X0) << Line.substr(size_t(Start), size_t(End - Start));
        if (I < Memo->WordWrapList().Count()) {
            EXPECT_EQ(Line[size_t(End - 1)], ' ') << End;
        }
        // The first character of a row maps to the start of its row.
        const POINT P = Memo->TextToPixelPoint(POINT{Start, 0});
        EXPECT_EQ(P.x, X0);
        EXPECT_EQ(P.y, I * Memo->GetAveLineHeight());
        Start = End;
    }
    Memo->GetSource()->SetSyntaxParser(nullptr);
}

// Free formatting with a large font: its line grows, the lines below move down, clicks and the
// caret follow, and the smaller runs of the line stand on its base line.
TEST_F(ProportionalLayout, ALineWithALargerFontIsTallerAndTheRowsBelowMove) {
    Memo->SetOptions(moDrawGutter | moColorSyntax);
    Memo->GetSource()->Lines().SetText("first line\r\nsmall BIG small\r\nthird line");
    TMemoAttributes& A = Memo->SelAttributes(); // the memo takes an attribute parser
    Memo->GetSource()->SetSelection(stStreamSel, 6, 1, 9, 1);
    A.SetSize(28);
    Memo->GetSource()->ClearSelection();
    const int H = Memo->GetAveLineHeight();
    const int Big = Memo->GetRealLineHeight(1);
    EXPECT_GT(Big, H + 10);
    EXPECT_EQ(Memo->GetRealLineHeight(0), H);
    EXPECT_EQ(Memo->GetRealLineHeight(2), H);
    EXPECT_EQ(Memo->TextToPixelPoint(POINT{0, 1}).y, H);
    EXPECT_EQ(Memo->TextToPixelPoint(POINT{0, 2}).y, H + Big);
    const int X = Memo->GetPaintX() + 2;
    EXPECT_EQ(Memo->MouseToTextPoint(X, H + Big - 1, true).y, 1);
    EXPECT_EQ(Memo->MouseToTextPoint(X, H + Big + 1, true).y, 2);
    // "BIG" is measured in its own font.
    TFont Large;
    Large.Assign(Memo->Font());
    Large.SetSize(28);
    EXPECT_EQ(Memo->TextToPixelChar(POINT{9, 1}) - Memo->TextToPixelChar(POINT{6, 1}), Extent(Large, "BIG"));

    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 200});
    const TRecordedOp* Small = Sink.TextAt(X, H + 2);
    const TRecordedOp* Large3 = Sink.TextAt(Memo->TextToPixelChar(POINT{7, 1}), H + 2);
    const TRecordedOp* Third = Sink.TextAt(X, H + Big + 2);
    ASSERT_TRUE(Small && Large3 && Third);
    EXPECT_EQ(Large3->Text, "BIG");
    EXPECT_EQ(Small->R.bottom - Small->R.top, Big);
    EXPECT_EQ(Large3->TextY, H);
    EXPECT_GT(Small->TextY, H); // lowered onto the large run's base line
    EXPECT_EQ(Third->Text, "third line");
    EXPECT_EQ(Third->R.top, H + Big);
    // The caret is as high as the character it stands on, on the line's base line.
    int32_t W = 0, CaretH = 0, Offset = 0;
    Memo->SetCaretPoint(POINT{2, 1});
    Memo->GetCaretSize(W, CaretH, Offset);
    EXPECT_EQ(CaretH, H);
    EXPECT_EQ(Offset, Small->TextY - H);
    Memo->SetCaretPoint(POINT{8, 1});
    Memo->GetCaretSize(W, CaretH, Offset);
    EXPECT_EQ(CaretH, Big);
    EXPECT_EQ(Offset, 0);
}

// A wrapped line with one large word: only the row that holds it grows, the rows around it keep
// the average height, and positions, clicks, painting and the caret follow row by row.
TEST_F(ProportionalLayout, EachWrappedRowIsAsHighAsTheFontsOnIt) {
    Memo->SetOptions(moDrawGutter | moColorSyntax);
    std::string Line;
    for (int I = 0; I < 30; ++I)
        Line += "word" + std::to_string(I) + " ";
    TCustomMemoSource* S = Memo->GetSource();
    S->Lines().SetText(Line + "\r\nnext line");
    Memo->SetWordWrap(true);
    TMemoAttributes& A = Memo->SelAttributes();
    ASSERT_GE(Memo->WordWrapList().Count(), 2);
    const int32_t Second = Memo->WordWrapList().Item(0).Char; // row 1 starts with a word
    S->SetSelection(stStreamSel, Second, 0, Second + 5, 0);
    A.SetSize(28);
    S->ClearSelection();
    ASSERT_EQ(Memo->WordWrapList().Item(0).Char, Second);
    const int H = Memo->GetAveLineHeight();
    const int Big = Memo->GetRealLineHeight(0);
    ASSERT_GT(Big, H + 10);
    std::vector<int32_t> Starts;
    for (int32_t I = 0; I < Memo->WordWrapList().Count(); ++I)
        Starts.push_back(Memo->WordWrapList().Item(I).Char);
    Starts.insert(Starts.begin(), 0);
    ASSERT_GE(Starts.size(), 3u);
    const int X0 = Memo->GetPaintX();
    int Top = 0;
    for (size_t R = 0; R < Starts.size(); ++R) {
        const int Want = R == 1 ? Big : H;
        EXPECT_EQ(Memo->RowHeight(int32_t(R)), Want) << R;
        EXPECT_EQ(Memo->TextToPixelPoint(POINT{Starts[R], 0}).y, Top) << R;
        const POINT Click = Memo->MouseToTextPoint(X0 + 1, Top + Want - 1, true);
        EXPECT_EQ(Click.y, 0) << R;
        EXPECT_EQ(Click.x, Starts[R]) << R;
        Top += Want;
    }
    EXPECT_EQ(Memo->TextToPixelPoint(POINT{0, 1}).y, Top);
    EXPECT_EQ(Memo->MouseToTextPoint(X0 + 1, Top + 1, true).y, 1);
    // Each break record carries the size of the row that ends at it, the line-info record that of
    // the last row.
    const TWordWrapList& Breaks = Memo->WordWrapList();
    EXPECT_EQ(Breaks.Item(0).Width, Extent(Memo->Font(), Line.substr(0, size_t(Second))));
    EXPECT_EQ(Breaks.Item(0).Height, H);
    EXPECT_EQ(Breaks.Item(1).Height, Big);
    ASSERT_EQ(Memo->LineInfoList().Count(), 1);
    EXPECT_EQ(Memo->LineInfoList().Item(0).Height, H);

    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 200});
    const TRecordedOp* First = Sink.TextAt(X0 + 1, 1);
    const TRecordedOp* Third = Sink.TextAt(X0 + 1, H + Big + 1);
    ASSERT_TRUE(First && Third);
    EXPECT_EQ(First->R.bottom - First->R.top, H);
    EXPECT_EQ(First->TextY, 0);
    EXPECT_EQ(Third->R.top, H + Big);
    EXPECT_EQ(Third->R.bottom - Third->R.top, H);
    const TRecordedOp* AfterBig = Sink.TextAt(Memo->TextToPixelChar(POINT{Second + 6, 0}) + 1, H + 1);
    ASSERT_NE(AfterBig, nullptr);
    EXPECT_GT(AfterBig->TextY, H); // on the large word's base line

    int32_t W = 0, CaretH = 0, Offset = 0;
    S->JumpTo(2, 0);
    Memo->GetCaretSize(W, CaretH, Offset);
    EXPECT_EQ(CaretH, H);
    EXPECT_EQ(Offset, 0);
    S->JumpTo(Second + 2, 0);
    Memo->GetCaretSize(W, CaretH, Offset);
    EXPECT_EQ(CaretH, Big);
    S->JumpTo(Second + 7, 0);
    Memo->GetCaretSize(W, CaretH, Offset);
    EXPECT_EQ(CaretH, H);
    EXPECT_EQ(Offset, AfterBig->TextY - H);
}

// Every row holds all the characters that fit: the next row's first word (after a hard cut, its
// first character) would not have fitted too. A blank after the fitting characters ends the row.
TEST_F(ProportionalLayout, AWrappedRowKeepsEveryCharacterThatFits) {
    std::string Line;
    for (const char* Word : {"The", "quick", "brown", "fox", "jumps", "over", "the", "lazy", "dog", "and",
                             "keeps", "running", "along", "a", "winding", "road", "until", "nightfall"})
        Line += std::string(Word) + " ";
    Line += std::string(70, 'W') + " end";
    TCustomMemoSource* S = Memo->GetSource();
    S->Lines().SetText(Line);
    const int Avail = 400 - Memo->GetPaintX();
    auto Width = [&](int32_t From, int32_t To) {
        return Extent(Memo->Font(), Line.substr(size_t(From), size_t(To - From)));
    };
    auto Blank = [&](int32_t I) { return I < int32_t(Line.size()) && S->InDelimSet(Line, I + 1); };
    // Widths that put a blank exactly past the right edge, and widths around that.
    for (int Shrink : {0, 7, 13, 29, 41}) {
        SCOPED_TRACE(Shrink);
        Memo->SetBounds(0, 0, 400 - Shrink, 200);
        Memo->SetWordWrap(false);
        Memo->SetWordWrap(true);
        std::vector<int32_t> Starts{0};
        for (int32_t I = 0; I < Memo->WordWrapList().Count(); ++I)
            Starts.push_back(Memo->WordWrapList().Item(I).Char);
        Starts.push_back(int32_t(Line.size()));
        ASSERT_GT(Starts.size(), 4u);
        for (size_t R = 0; R + 1 < Starts.size(); ++R) {
            const int32_t From = Starts[R], To = Starts[R + 1];
            int32_t TextEnd = To;
            while (TextEnd > From && Blank(TextEnd - 1))
                --TextEnd;
            EXPECT_LE(Width(From, TextEnd), Avail - Shrink) << Line.substr(size_t(From), size_t(To - From));
            if (R + 2 == Starts.size())
                break;
            int32_t Next = To + 1;
            if (Blank(To - 1))
                while (Next < int32_t(Line.size()) && !Blank(Next))
                    ++Next;
            EXPECT_GT(Width(From, Next), Avail - Shrink) << Line.substr(size_t(From), size_t(To - From));
        }
    }
}

// What the owner's OnCustomString paints is what the caret, clicks and word wrap measure.
TEST_F(ProportionalLayout, TheOwnersCustomStringIsMeasuredAsItIsPainted) {
    const std::string Line = "iiii llll iiii llll iiii llll iiii llll";
    std::string Shown = Line;
    for (char& C : Shown)
        C = C == 'i' ? 'W' : C == 'l' ? 'M' : C;
    int Calls = 0;
    Memo->OnCustomString = [&](TObject*, std::string& Text, std::string&) {
        ++Calls;
        for (char& C : Text)
            C = C == 'i' ? 'W' : C == 'l' ? 'M' : C;
    };
    Memo->GetSource()->Lines().SetText(Line + "\r\nnext");
    const int X0 = Memo->GetPaintX();
    for (int32_t K : {0, 3, 5, 12, int32_t(Line.size())}) {
        const int X = X0 + Extent(Memo->Font(), Shown.substr(0, size_t(K)));
        EXPECT_EQ(Memo->TextToPixelChar(POINT{K, 0}), X) << K;
        EXPECT_EQ(Memo->MouseToTextPoint(X + 1, 3, true).x, K) << K;
    }
    TRecordingSink Sink;
    Memo->PaintTo(Sink, RECT{0, 0, 400, 200});
    EXPECT_GT(Calls, 0);
    const TRecordedOp* Run = Sink.TextAt(Memo->TextToPixelChar(POINT{5, 0}) + 1, 2);
    ASSERT_NE(Run, nullptr);
    EXPECT_EQ(Run->Text, Shown);

    const int Avail = 400 - X0;
    ASSERT_LT(Extent(Memo->Font(), Line), Avail); // as typed, the line would fit in one row
    Memo->SetWordWrap(true);
    ASSERT_GE(Memo->WordWrapList().Count(), 1);
    std::vector<int32_t> Starts{0};
    for (int32_t I = 0; I < Memo->WordWrapList().Count(); ++I)
        Starts.push_back(Memo->WordWrapList().Item(I).Char);
    Starts.push_back(int32_t(Line.size()));
    for (size_t R = 0; R + 1 < Starts.size(); ++R) {
        std::string Row = Shown.substr(size_t(Starts[R]), size_t(Starts[R + 1] - Starts[R]));
        while (!Row.empty() && Row.back() == ' ')
            Row.pop_back();
        EXPECT_LE(Extent(Memo->Font(), Row), Avail) << Row;
    }
    Memo->OnCustomString = nullptr;
}

// A taller line on the page: the window moves by its height in pixels, not by a count of rows.
TEST_F(ProportionalLayout, APageOverLinesOfDifferentHeightsMovesTheWindowByItsHeight) {
    Memo->SetOptions(moDrawGutter | moColorSyntax);
    std::string Text;
    for (int I = 0; I < 60; ++I)
        Text += "line " + std::to_string(I) + "\r\n";
    TCustomMemoSource* S = Memo->GetSource();
    S->Lines().SetText(Text);
    TMemoAttributes& A = Memo->SelAttributes();
    S->SetSelection(stStreamSel, 0, 3, 4, 3);
    A.SetSize(28);
    S->ClearSelection();
    ASSERT_GT(Memo->GetRealLineHeight(3), Memo->GetAveLineHeight() + 10);
    // The line that holds the pixel row Y below the top of line Top (above it for a negative Y).
    auto LineAt = [&](int32_t Top, int Y) {
        int32_t L = Top;
        if (Y >= 0) {
            for (; Y >= Memo->GetRealLineHeight(L); ++L)
                Y -= Memo->GetRealLineHeight(L);
        } else {
            for (; Y < 0; --L)
                Y += Memo->GetRealLineHeight(L - 1);
        }
        return L;
    };
    const int32_t Page = LineAt(0, 200) - 1;
    ASSERT_LT(Page, 200 / Memo->GetAveLineHeight() - 1);
    S->JumpTo(2, 1);
    Memo->PageDown();
    EXPECT_EQ(Memo->WinLine(), Page);
    EXPECT_EQ(Memo->CaretLine(), 1 + Page);
    Memo->PageDown();
    EXPECT_EQ(Memo->WinLine(), LineAt(Page, 200) - 1);
    const int32_t Down = Memo->WinLine();
    Memo->PageUp();
    const int32_t Up = LineAt(Down, -200) + 1;
    EXPECT_EQ(Memo->WinLine(), Up);
    EXPECT_EQ(Memo->CaretLine(), 1 + Page + (Down - Page) + (Up - Down));
}

// The caret takes the size of the character it stands on, except at the start of a wrapped row
// that continues a line: there it takes that of the character after it.
TEST_F(ProportionalLayout, TheCaretAtTheStartOfAWrappedRowTakesTheNextCharactersSize) {
    Memo->SetOptions(moDrawGutter | moColorSyntax | moOverwriteCaret);
    std::string Line;
    for (int I = 0; I < 30; ++I)
        Line += "word" + std::to_string(I) + " ";
    TCustomMemoSource* S = Memo->GetSource();
    S->Lines().SetText(Line + "\r\nxbig");
    Memo->SetWordWrap(true);
    TMemoAttributes& A = Memo->SelAttributes();
    ASSERT_GE(Memo->WordWrapList().Count(), 1);
    const int32_t Second = Memo->WordWrapList().Item(0).Char;
    // Large: the second row's word but its first character, and line 1 but its first character.
    S->SetSelection(stStreamSel, Second + 1, 0, Second + 5, 0);
    A.SetSize(28);
    S->SetSelection(stStreamSel, 1, 1, 4, 1);
    A.SetSize(28);
    S->ClearSelection();
    ASSERT_EQ(Memo->WordWrapList().Item(0).Char, Second);
    TFont Large;
    Large.Assign(Memo->Font());
    Large.SetSize(28);
    const int H = Memo->GetAveLineHeight();
    const int Big = Memo->GetRealLineHeight(1);
    ASSERT_GT(Big, H + 10);
    TCustomMemoSource::SetOverwrite(true);
    struct TInsert {
        ~TInsert() { TCustomMemoSource::SetOverwrite(false); }
    } Restore;
    const std::string Text = Line + "xbig";
    struct Case {
        bool Wrap;
        POINT At;
        int32_t Under; // index into Text of the character whose size the caret takes
        bool Large;
    } Cases[] = {
        {true, {Second, 0}, Second + 1, true},      // the start of the second row
        {true, {Second + 1, 0}, Second + 1, true},  //
        {true, {Second - 1, 0}, Second - 1, false}, // the blank that ends the first row
        {false, {Second, 0}, Second, false},        // no rows: the character itself
        {true, {0, 1}, int32_t(Line.size()), false} // a line's first character starts no wrapped row
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.At.x) + "," + std::to_string(C.At.y) + (C.Wrap ? " wrapped" : ""));
        Memo->SetWordWrap(C.Wrap);
        S->JumpTo(C.At.x, C.At.y);
        int32_t W = 0, CaretH = 0, Offset = 0;
        Memo->GetCaretSize(W, CaretH, Offset);
        const std::string Under = Text.substr(size_t(C.Under), 1);
        EXPECT_EQ(W, Extent(C.Large ? Large : Memo->Font(), Under)) << Under;
        EXPECT_EQ(CaretH, C.Large ? Big : H);
        if (C.Large) {
            EXPECT_EQ(Offset, 0);
        }
    }
}

TEST_F(ProportionalLayout, TheOverwriteCaretIsAsWideAsTheCharacterUnderIt) {
    Memo->GetSource()->Lines().SetText("iW\r\n");
    Memo->SetOptions(moOverwriteCaret);
    TCustomMemoSource::SetOverwrite(true);
    struct TInsert {
        ~TInsert() { TCustomMemoSource::SetOverwrite(false); }
    } Restore;
    TCustomMemoSource* S = Memo->GetSource();
    struct Case {
        POINT At;
        const char* Under;
    } Cases[] = {{{0, 0}, "i"}, {{1, 0}, "W"}, {{5, 0}, "W"}, {{0, 1}, " "}};
    for (const Case& C : Cases) {
        S->JumpTo(C.At.x, C.At.y);
        EXPECT_EQ(Memo->GetCaretWidth(), Extent(Memo->Font(), C.Under)) << C.At.x << "," << C.At.y;
    }
    Memo->SetUseMonoFont(true);
    EXPECT_EQ(Memo->GetCaretWidth(), Memo->GetAveCharWidth());
}

} // namespace
