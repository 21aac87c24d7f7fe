// Costs of the code-editor view that must not grow with the document: painting a screen far down,
// one keystroke in a long text, and paging through it. Prints ratios against the same work on a
// small document (or at its top) measured in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "controls/memo/Memo.h"

namespace {

class TCountingSink : public TMemoDrawSink {
public:
    void FillRect(const RECT&, TColor) override { ++Ops; }
    void TextOut(const RECT&, int, int, const std::string& Text, TFont&, TColor, TColor, bool,
                 const int*) override {
        ++Ops;
        Chars += int64_t(Text.size());
    }
    void Line(int, int, int, int, TColor, int) override { ++Ops; }
    void Triangle(const POINT (&)[3], TColor) override { ++Ops; }
    void DrawBitmap(TBitmap&, const RECT&, TColor) override { ++Ops; }
    void SetClip(const RECT*) override {}
    void ExpandCollapseButton(int, int, int, int, bool) override { ++Ops; }
    SIZE MeasureText(TFont&, const std::string& Text) override { return SIZE{LONG(Text.size() * 8), 16}; }
    int64_t Ops = 0, Chars = 0;
};

// The best of several batches: other programs on the machine only ever add time.
double Seconds(const std::function<void()>& Work, int Repeats, int Batches = 9) {
    double Best = 1e30;
    for (int B = 0; B < Batches; ++B) {
        auto Start = std::chrono::steady_clock::now();
        for (int I = 0; I < Repeats; ++I)
            Work();
        Best =
            std::min(Best, std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    return Best / Repeats;
}

// Every line as long as every other, so that a screen far down draws the same amount; with Long
// each line is three times as long, so that a wrapping memo cuts every line into rows.
std::string Document(int Lines, bool Long = false) {
    std::string Text;
    Text.reserve(size_t(Lines) * (Long ? 200 : 70));
    char Number[16];
    for (int I = 0; I < Lines; ++I) {
        std::snprintf(Number, sizeof Number, "%06d", I);
        std::string Words = std::string(" of the sample text, with some words");
        if (Long)
            Words += ", and more words that make the line wider than the window, so that it wraps";
        Text += std::string("  <p class=\"item\">Line ") + Number + Words + ".</p>\r\n";
    }
    return Text;
}

struct TBenchMemo {
    // A proportional memo measures every character in its font, as a user's Arial would.
    explicit TBenchMemo(int Lines, bool Wrap, bool Proportional = false) : Memo(nullptr) {
        if (Proportional) {
            Memo.SetUseMonoFont(false);
            Memo.Font().SetName("Arial");
        } else {
            Memo.SetFixedMetrics(8, 16);
        }
        Memo.SetBounds(0, 0, 800, 600);
        Memo.SetOptions(moDrawGutter | moLineNumbers | moColorSyntax | moDrawMargin | moThumbTracking);
        Memo.GetSource()->Lines().SetText(Document(Lines, Wrap));
        Memo.SetWordWrap(Wrap);
    }
    THSMemo Memo;
};

void Report(const char* Name, double Ratio, double Limit) {
    std::printf("%-58s ratio %.2f (target under %.1f) %s\n", Name, Ratio, Limit,
                Ratio < Limit ? "ok" : "OVER");
}

} // namespace

int main() {
    const RECT Screen{0, 0, 800, 600};
    for (bool Proportional : {false, true}) {
        TBenchMemo Big(100000, false, Proportional);
        TCountingSink Sink;
        Big.Memo.SetWinLine(0);
        Big.Memo.PaintTo(Sink, Screen); // fonts and colour data made once, outside the timing
        const double Top = Seconds([&] { Big.Memo.PaintTo(Sink, Screen); }, 50);
        Big.Memo.SetWinLine(99000);
        Big.Memo.PaintTo(Sink, Screen);
        const double Deep = Seconds([&] { Big.Memo.PaintTo(Sink, Screen); }, 50);
        Report(Proportional ? "paint one screen, line 99,000 vs line 1 (proportional font)"
                            : "paint one screen, line 99,000 vs line 1 (100,000 lines)",
               Deep / Top, 1.2);
        (void)Sink.Chars;
    }
    for (bool Proportional : {false, true}) {
        TBenchMemo Small(1000, false, Proportional), Big(100000, false, Proportional);
        auto Keystroke = [](THSMemo& Memo, int Line) {
            TCountingSink Sink;
            return Seconds(
                [&] {
                    Memo.SetCaretPoint(POINT{10, Line});
                    Memo.Perform(WM_CHAR, 'x', 0);
                    const POINT P = Memo.TextToPixelPoint(Memo.GetCaretPoint());
                    Memo.PaintTo(Sink, RECT{0, P.y, 800, P.y + 16}); // the changed row only
                    Memo.Undo();
                },
                60);
        };
        const double SmallCost = Keystroke(Small.Memo, 500);
        const double BigCost = Keystroke(Big.Memo, 50000);
        Report(Proportional ? "one keystroke in the middle, 100,000 vs 1,000 (proportional)"
                            : "one keystroke in the middle, 100,000 vs 1,000 lines",
               BigCost / SmallCost, 2.0);
    }
    for (int Kind = 0; Kind < 3; ++Kind) {
        const bool Wrap = Kind > 0, Proportional = Kind == 2;
        TBenchMemo Big(20000, Wrap, Proportional);
        THSMemo& M = Big.Memo;
        TCountingSink Sink;
        M.SetCaretPoint(POINT{0, 0});
        std::vector<double> Pages;
        for (;;) {
            const int32_t Before = M.CaretLine();
            Pages.push_back(Seconds(
                [&] {
                    M.PageDown();
                    M.PaintTo(Sink, Screen);
                },
                1, 1));
            if (M.CaretLine() == Before || Pages.size() > 100000)
                break;
        }
        const size_t Tenth = std::max<size_t>(1, Pages.size() / 10);
        auto Average = [&](size_t From) {
            std::vector<double> Part(Pages.begin() + long(From), Pages.begin() + long(From + Tenth));
            std::sort(Part.begin(), Part.end());
            return Part[Part.size() / 2];
        };
        const double First = Average(1), Last = Average(Pages.size() - Tenth - 1);
        Report(Proportional ? "page down, last tenth vs first tenth (proportional, wrap on)"
               : Wrap       ? "page down, last tenth vs first tenth (word wrap on)"
                            : "page down, last tenth vs first tenth",
               Last / First, 1.5);
    }
    return 0;
}
