// Costs of the code-editor view that must not grow with the document: painting a screen far down,
// one keystroke in a long text, and paging through it. Prints ratios against the same work on a
// small document (or at its top) measured in the same run. Opening a large page (reading it into a
// source, showing it in a memo and painting the first screen) is set beside reading the file and
// cutting it into lines with a plain loop.
// Usage: memo_bench.exe [page]   (without a page, a generated one of about 5 MB is opened)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/memo/Memo.h"
#include "controls/textmodel/LanguageParsers.h"
#include "framework/ui/Forms.h"

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

std::string ReadFileText(const std::string& Path) {
    std::string Data;
    HANDLE H = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return Data;
    DWORD Got = 0;
    Data.resize(GetFileSize(H, nullptr));
    if (!Data.empty() && !ReadFile(H, &Data[0], DWORD(Data.size()), &Got, nullptr))
        Got = 0;
    Data.resize(Got);
    CloseHandle(H);
    return Data;
}

// The peer of opening: the file read and cut into lines by a plain loop, nothing else.
size_t ReadAndSplit(const std::string& Path) {
    const std::string Data = ReadFileText(Path);
    std::vector<std::string> Lines;
    size_t Start = 0;
    for (size_t I = 0; I < Data.size(); ++I) {
        if (Data[I] == '\n') {
            const size_t End = (I > Start && Data[I - 1] == '\r') ? I - 1 : I;
            Lines.emplace_back(Data, Start, End - Start);
            Start = I + 1;
        }
    }
    if (Start < Data.size())
        Lines.emplace_back(Data, Start);
    return Lines.size();
}

// Opens a page as the editor does: a source of its own reads the file with tabs kept, gets the HTML
// colouring, is shown in a memo on a shown form in a fixed-pitch font, and the memo paints its first
// screen. Reports the best of several runs, with the parts of that run.
struct TOpenTimes {
    double Load = 1e30, Show = 0, Paint = 0;
    double Total() const { return Load + Show + Paint; }
};

TOpenTimes OpenPage(const std::string& Path, bool Wrap, int Runs) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 900, 700);
    auto* Memo = new THSMemo(&Form);
    Memo->SetParent(&Form);
    Memo->SetAlign(TAlign::alClient);
    Memo->Font().SetName("Courier New");
    Memo->Font().SetSize(9);
    Memo->Font().SetPitch(TFontPitch::fpFixed);
    Memo->SetScrollBars(TScrollStyle::ssBoth);
    Memo->SetGutterWidth(22);
    Memo->SetOptions(Memo->Options() | moDrawGutter | moLineNumbers | moColorSyntax | moDrawMargin);
    Memo->SetWordWrap(Wrap);
    Form.Show();
    UpdateWindow(Memo->Handle());
    THTMLParser Html;
    TOpenTimes Best;
    for (int R = 0; R < Runs; ++R) {
        auto Source = std::make_unique<TMemoSource>();
        Source->SetOptions(Source->Options() | soUseTabCharacter);
        const auto T0 = std::chrono::steady_clock::now();
        Source->LoadFromFile(Path);
        Source->SetSyntaxParser(&Html);
        const auto T1 = std::chrono::steady_clock::now();
        Memo->SetSource(Source.get());
        const auto T2 = std::chrono::steady_clock::now();
        UpdateWindow(Memo->Handle());
        const auto T3 = std::chrono::steady_clock::now();
        auto Span = [](auto A, auto B) { return std::chrono::duration<double>(B - A).count(); };
        TOpenTimes Run{Span(T0, T1), Span(T1, T2), Span(T2, T3)};
        if (Run.Total() < Best.Total())
            Best = Run;
        Memo->SetSource(nullptr);
        Source->SetSyntaxParser(nullptr);
    }
    return Best;
}

std::string GeneratedPage() {
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    const std::string Path = std::string(Dir) + "zel_memo_bench_page.htm";
    const std::string Text = Document(30000, true);
    HANDLE H =
        CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Done = 0;
    WriteFile(H, Text.data(), DWORD(Text.size()), &Done, nullptr);
    CloseHandle(H);
    return Path;
}

void ReportOpening(const std::string& Path) {
    size_t Lines = 0;
    const double Peer = Seconds([&] { Lines = ReadAndSplit(Path); }, 1, 7);
    std::printf("page %s: %.1f MB, %zu lines\n", Path.c_str(), double(ReadFileText(Path).size()) / 1048576.0,
                Lines);
    std::printf("%-58s %8.1f ms\n", "peer: read the file and cut it into lines", Peer * 1e3);
    // The goal is a first screen within a few tens of milliseconds of start on a 5 MB page: about
    // three times what reading and cutting it takes.
    for (bool Wrap : {false, true}) {
        const TOpenTimes T = OpenPage(Path, Wrap, 5);
        std::printf("%-58s %8.1f ms (load %.1f, show %.1f, paint %.1f)\n",
                    Wrap ? "open the page to its first screen, word wrap on"
                         : "open the page to its first screen",
                    T.Total() * 1e3, T.Load * 1e3, T.Show * 1e3, T.Paint * 1e3);
        Report(Wrap ? "open to the first screen vs read and cut (word wrap on)"
                    : "open to the first screen vs read and cut",
               T.Total() / Peer, 3.0);
    }
}

} // namespace

int main(int Argc, char** Argv) {
    CreateApplication();
    {
        const std::string Generated = Argc > 1 ? std::string() : GeneratedPage();
        ReportOpening(Argc > 1 ? Argv[1] : Generated);
        if (!Generated.empty())
            DeleteFileA(Generated.c_str());
    }
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
    DestroyApplication();
    return 0;
}
