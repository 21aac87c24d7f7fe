// Loads and colours a large HTML document and times single keystrokes, each beside a baseline
// measured in the same run (reading the file and splitting it into lines with a plain loop).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "controls/textmodel/LanguageParsers.h"
#include "controls/textmodel/MemoSource.h"

namespace {
double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(freq.QuadPart);
}

double Best(int runs, const std::function<void()>& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        double t0 = Now();
        f();
        best = std::min(best, Now() - t0);
    }
    return best;
}

// About 50 bytes a line: tags with attributes, text, entities, and comments over several lines.
std::string MakeDocument(int lines) {
    static const char* const kLines[] = {
        "<div class=\"row wide\" id=\"r%d\" style=\"margin: 0\">",
        "  <p>Some text with &amp; an entity and the number %d.</p>",
        "  <a href=\"page%d.htm\" title=\"another link\">read more</a>",
        "<!-- a comment that goes on and on, spanning",
        "     over a second line of the page %d -->",
        "  <img src=\"pic%d.png\" width=\"64\" height=\"48\" alt=\"pic\">",
        "  plain words in the body of the page, this is line %d",
        "</div> <!-- row -->",
    };
    std::string doc;
    doc.reserve(size_t(lines) * 56);
    char buf[128];
    for (int i = 0; i < lines; ++i) {
        snprintf(buf, sizeof(buf), kLines[i % 8], i);
        doc += buf;
        doc += "\r\n";
    }
    return doc;
}

std::string WriteTemp(const std::string& data, const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    WriteFile(h, data.data(), DWORD(data.size()), &done, nullptr);
    CloseHandle(h);
    return path;
}

std::vector<std::string> ReadAndSplit(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD size = GetFileSize(h, nullptr), got = 0;
    std::string data(size, '\0');
    ReadFile(h, &data[0], size, &got, nullptr);
    CloseHandle(h);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\n') {
            size_t end = (i > start && data[i - 1] == '\r') ? i - 1 : i;
            lines.emplace_back(data, start, end - start);
            start = i + 1;
        }
    }
    if (start < data.size())
        lines.emplace_back(data, start);
    return lines;
}

void LoadAndColour(TMemoSource& s, const std::string& path) {
    s.LoadFromFile(path);
    for (int32_t i = 0; i < s.GetStrCount(); ++i)
        s.GetColorData(i);
}

// Microseconds for one keystroke (type a character, then delete it) at the given line.
double KeystrokeMicros(TMemoSource& s, int32_t line) {
    const int kStrokes = 2000;
    s.JumpTo(10, line);
    double t = Best(3, [&] {
        for (int i = 0; i < kStrokes; ++i) {
            s.Insert("x");
            s.GetColorData(line);
            s.DeleteRight(1);
            s.GetColorData(line);
        }
    });
    return t * 1e6 / (2.0 * kStrokes);
}
} // namespace

int main() {
    THTMLParser html;
    const std::string bigDoc = MakeDocument(100000);
    const std::string bigPath = WriteTemp(bigDoc, "zel_textmodel_bench_big.htm");
    const std::string smallPath = WriteTemp(MakeDocument(1000), "zel_textmodel_bench_small.htm");
    printf("document: %d lines, %.2f MB\n", 100000, double(bigDoc.size()) / (1024.0 * 1024.0));

    size_t lineCount = 0;
    const double baseline = Best(5, [&] { lineCount = ReadAndSplit(bigPath).size(); });
    double load = 0, loadColour = 0;
    {
        load = Best(3, [&] {
            TMemoSource s;
            s.SetSyntaxParser(&html);
            s.LoadFromFile(bigPath);
        });
        loadColour = Best(3, [&] {
            TMemoSource s;
            s.SetSyntaxParser(&html);
            LoadAndColour(s, bigPath);
        });
    }
    printf("baseline  read + split %zu lines : %8.1f ms\n", lineCount, baseline * 1e3);
    printf("load                             : %8.1f ms  (%.2f x baseline)\n", load * 1e3, load / baseline);
    printf("load + colour every line         : %8.1f ms  (%.2f x baseline, goal <= 5)\n", loadColour * 1e3,
           loadColour / baseline);

    TMemoSource big, small;
    big.SetSyntaxParser(&html);
    small.SetSyntaxParser(&html);
    LoadAndColour(big, bigPath);
    LoadAndColour(small, smallPath);
    struct Place {
        const char* name;
        double smallUs, bigUs;
    } places[] = {
        {"middle", KeystrokeMicros(small, 500), KeystrokeMicros(big, 50000)},
        {"end", KeystrokeMicros(small, 999), KeystrokeMicros(big, 99999)},
    };
    for (const auto& p : places)
        printf(
            "keystroke at %-6s: %7.2f us (1,000 lines)  %7.2f us (100,000 lines)  ratio %.2f (goal <= 2)\n",
            p.name, p.smallUs, p.bigUs, p.bigUs / p.smallUs);
    DeleteFileA(bigPath.c_str());
    DeleteFileA(smallPath.c_str());
    return 0;
}
