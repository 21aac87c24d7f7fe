// Replace-all in a 5 MB document: the cost must grow with the number of replacements, not with
// their product with the document size. Each size is timed beside a baseline measured in the same
// run (the same replacements done with std::string on the joined text).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "controls/textmodel/FindReplace.h"
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

// About 5 MB of 50-byte lines; `marks` lines spread evenly hold the word to replace.
std::vector<std::string> MakeDocument(int lines, int marks) {
    std::vector<std::string> doc;
    doc.reserve(size_t(lines));
    const int every = std::max(lines / std::max(marks, 1), 1);
    int placed = 0;
    for (int i = 0; i < lines; ++i) {
        char buf[96];
        if (placed < marks && i % every == 0) {
            snprintf(buf, sizeof buf, "  value = compute(%06d, zzmarkzz) + offset;      ", i);
            ++placed;
        } else {
            snprintf(buf, sizeof buf, "  value = compute(%06d, other) + offset_value;   ", i);
        }
        doc.emplace_back(buf);
    }
    return doc;
}

} // namespace

int main() {
    const int kLines = 100000; // 50 bytes a line: 5 MB
    SetReplacePromptFunc([](const std::string&) { return raAll; });
    std::printf("%-12s %12s %14s %16s %14s\n", "replacements", "replace-all", "per replacement",
                "baseline (string)", "ratio");
    for (int marks : {2500, 5000, 10000}) {
        const std::vector<std::string> doc = MakeDocument(kLines, marks);
        TMemoSource source;
        source.LoadFromStrings(doc);
        TSearchOptions& o = *GetSearchOptions();
        o.InitValues();
        o.TextToFind = "zzmarkzz";
        o.ReplaceWith = "replaced_word";
        o.ReplaceAll = true;
        o.CaseSensitive = true;
        const double t0 = Now();
        source.Replace();
        const double elapsed = Now() - t0;
        const int32_t count = GetReplaceCount(source);

        std::string joined;
        for (const std::string& l : doc)
            joined += l + "\r\n";
        const double b0 = Now();
        std::string out;
        out.reserve(joined.size() + size_t(marks) * 8);
        size_t at = 0;
        for (;;) {
            const size_t f = joined.find("zzmarkzz", at);
            if (f == std::string::npos)
                break;
            out.append(joined, at, f - at);
            out += "replaced_word";
            at = f + 8;
        }
        out.append(joined, at, std::string::npos);
        const double baseline = Now() - b0;
        std::printf("%-12d %10.1f ms %12.2f us %14.2f ms %14.1f\n", count, elapsed * 1e3,
                    elapsed * 1e6 / count, baseline * 1e3, elapsed / baseline);
    }
    return 0;
}
