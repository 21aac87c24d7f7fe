// Validation speed through the engine library's exports, exactly as the editor drives it: the
// library loaded by name, the document handed over line by line, one validation job per document.
//
//   validate_bench <configuration file> <folder for the generated inputs> [size in MB] [pages]
//
// Writes the generated documents into the folder (so that another checker can read the same
// input), validates them and prints one line per measurement. ZEL_BENCH_DETAIL=1 also prints the
// cost of handing the lines over; ZEL_BENCH_OUTPUT_OFF=<mask> turns output option bits (1001)
// off, to see what the output listings cost.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/include/ZelValidator.h"

namespace {

struct Engine {
    HMODULE module = nullptr;
    decltype(&ZELGetNewHandle) getNewHandle = nullptr;
    decltype(&ZELFreeHandle) freeHandle = nullptr;
    decltype(&ZELSetInteger) setInteger = nullptr;
    decltype(&ZELSetString) setString = nullptr;
    decltype(&ZELSetFlag) setFlag = nullptr;
    decltype(&ZELRunJob) runJob = nullptr;
    decltype(&ZELGetIntegerEZ) getIntegerEZ = nullptr;
    decltype(&ZELHTMLConfiguration) htmlConfiguration = nullptr;

    template <typename Fn>
    bool bind(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        return fn != nullptr;
    }
    bool load() {
        module = LoadLibraryA("zelvalidatorliteV30.dll");
        return module && bind(getNewHandle, "ZELGetNewHandle") && bind(freeHandle, "ZELFreeHandle") &&
               bind(setInteger, "ZELSetInteger") && bind(setString, "ZELSetString") && bind(setFlag, "ZELSetFlag") && bind(runJob, "ZELRunJob") &&
               bind(getIntegerEZ, "ZELGetIntegerEZ") && bind(htmlConfiguration, "ZELHTMLConfiguration");
    }
};

// One block of a page as sites write them today: navigation, an article with a table, a form,
// a list, entities and attributes of every sort. n makes each block a little different.
std::string block(int n) {
    std::ostringstream s;
    s << "<section id=\"s" << n << "\" class=\"story card\" data-index=\"" << n << "\">\n"
      << "  <header><h2>Story " << n << " &ndash; harbour news</h2>\n"
      << "    <nav aria-label=\"Story " << n << "\"><a href=\"/story/" << n
      << "?ref=home&amp;page=2\" title=\"Read story\">Read</a> | <a href=\"#top\">Top</a></nav></header>\n"
      << "  <p>Boats came in at " << (n % 12 + 1) << "&nbsp;pm, &ldquo;all safe&rdquo; &mdash; the crew of <em>"
      << "Gull " << n << "</em> landed <strong>" << (n * 7 % 300) << " kg</strong> of cod &amp; haddock.</p>\n"
      << "  <img src=\"/img/" << n << ".jpg\" alt=\"Boat " << n << "\" width=\"320\" height=\"200\" loading=\"lazy\">\n"
      << "  <table class=\"catch\">\n"
      << "    <thead><tr><th scope=\"col\">Fish</th><th scope=\"col\">Kg</th></tr></thead>\n"
      << "    <tbody><tr><td>Cod</td><td>" << n % 90 << "</td></tr><tr><td>Haddock</td><td>" << n % 70
      << "</td></tr></tbody>\n"
      << "  </table>\n"
      << "  <ul class=\"tags\"><li><a href=\"/t/fish\">fish</a></li><li><a href=\"/t/port\">port</a></li></ul>\n"
      << "  <form action=\"/vote\" method=\"post\"><input type=\"hidden\" name=\"id\" value=\"" << n
      << "\"><button type=\"submit\" class=\"vote\">Like</button></form>\n"
      << "</section>\n";
    return s.str();
}

std::string page(size_t targetBytes, int seed) {
    std::string s = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<title>Harbour news</title>\n<link rel=\"stylesheet\" href=\"/site.css\">\n"
                    "<style>\n  .card { margin: 1em; }\n  a:hover > span { color: #c00; }\n</style>\n"
                    "<script>\n  var n = 0; function up() { if (n < 3 && n >= 0) { n++; } }\n</script>\n"
                    "</head>\n<body>\n<main id=\"top\">\n";
    const std::string tail = "</main>\n<script src=\"/app.js\" defer></script>\n</body>\n</html>\n";
    for (int n = seed; s.size() + tail.size() < targetBytes; ++n)
        s += block(n);
    return s + tail;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return c.PeakWorkingSetSize;
}

size_t workingSet() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return c.WorkingSetSize;
}

struct RunResult {
    double seconds = 0;
    int32_t errors = -1;
    int32_t warnings = -1;
};

// One validation job over the lines, as the editor hands over an open document.
RunResult validate(Engine& e, int32_t options, const std::vector<std::string>& lines, const char* name) {
    RunResult r;
    const auto start = std::chrono::steady_clock::now();
    const int32_t job = e.getNewHandle(ZEL_HANDLE_JOB);
    e.setInteger(job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
    // No progress window: the time measured is the validation's, not the window's.
    e.setFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER, 0);
    for (const std::string& l : lines)
        e.setString(job, ZELID_JOB_ADDPATH, l.c_str());
    e.setString(job, ZELID_JOB_INPUT, name);
    if (std::getenv("ZEL_BENCH_DETAIL"))
        std::printf("  lines handed over: %.3f s, working set %.1f MB\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                    workingSet() / 1048576.0);
    const int32_t results = e.runJob(nullptr, options, job, 0);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (results >= 0) {
        r.errors = e.getIntegerEZ(results, ZELID_RESULT_ERRORS);
        r.warnings = e.getIntegerEZ(results, ZELID_RESULT_WARNINGS);
        if (std::getenv("ZEL_BENCH_DETAIL"))
            std::printf("  output lines %d, listing lines %d\n", e.getIntegerEZ(results, ZELID_RESULT_LINES1),
                        e.getIntegerEZ(results, ZELID_RESULT_LINES2));
        e.freeHandle(results, 0);
    }
    e.freeHandle(job, 0);
    return r;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: validate_bench <configuration file> <folder>\n");
        return 2;
    }
    const std::string folder = argv[2];
    // The engine finds its folder through the installation's registry value; without it, it
    // would stop on a box. The benchmark's Wine prefix is its own.
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    if (char* slash = std::strrchr(exe, '\\'))
        *slash = 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe),
                       static_cast<DWORD>(std::strlen(exe) + 1));
        RegCloseKey(key);
    }
    std::vector<int> sizes = {1, 5, 10};
    int pages = 300;
    if (argc > 3)
        sizes = {std::atoi(argv[3])};
    if (argc > 4)
        pages = std::atoi(argv[4]);
    Engine e;
    if (!e.load()) {
        std::fprintf(stderr, "cannot load zelvalidatorliteV30.dll\n");
        return 1;
    }
    const int32_t options = e.getNewHandle(ZEL_HANDLE_OPTIONS);
    e.setString(options, ZELID_OPT_CONFIGFILE, argv[1]);
    if (e.htmlConfiguration(nullptr, options, 0x1 | 0x4000) < 0) {
        std::fprintf(stderr, "cannot load the configuration %s\n", argv[1]);
        return 1;
    }

    if (const char* off = std::getenv("ZEL_BENCH_OUTPUT_OFF"))
        e.setFlag(options, ZELID_OPT_OUTPUTFLAGS, static_cast<int32_t>(std::strtoul(off, nullptr, 0)), 0);
    // One small page first, as an editor's first validation: the figures below are of a warm engine.
    validate(e, options, splitLines(page(8192, 1)), "warm-up.html");

    // One large document at three sizes: the cost per MB must not grow with the size.
    const double mb = 1024.0 * 1024.0;
    for (const int size : sizes) {
        const std::string doc = page(static_cast<size_t>(size) * 1024 * 1024, 0);
        const std::string path = folder + "\\large-" + std::to_string(size) + "mb.html";
        if (!writeFile(path, doc))
            return 1;
        const std::vector<std::string> lines = splitLines(doc);
        const size_t before = workingSet();
        const RunResult r = validate(e, options, lines, path.c_str());
        const size_t peak = peakWorkingSet();
        std::printf("large %d MB: %.3f s, %.2f MB/s, %.3f s per MB, errors %d, warnings %d, "
                    "peak working set %.1f MB (%.1f MB above the start, %.2f times the document)\n",
                    size, r.seconds, doc.size() / mb / r.seconds, r.seconds / (doc.size() / mb), r.errors, r.warnings,
                    peak / mb, (peak > before ? peak - before : 0) / mb,
                    (peak > before ? peak - before : 0) / static_cast<double>(doc.size()));
    }

    // A folder of small pages, each validated as its own job.
    double seconds = 0;
    size_t bytes = 0;
    int32_t errors = 0;
    for (int i = 0; i < pages; ++i) {
        const std::string doc = page(4096 + static_cast<size_t>(i % 10) * 2048, i * 13);
        const std::string path = folder + "\\pages\\page" + std::to_string(i) + ".html";
        if (i == 0)
            CreateDirectoryA((folder + "\\pages").c_str(), nullptr);
        if (!writeFile(path, doc))
            return 1;
        const RunResult r = validate(e, options, splitLines(doc), path.c_str());
        seconds += r.seconds;
        bytes += doc.size();
        errors += r.errors > 0 ? r.errors : 0;
    }
    std::printf("pages %d (%.2f MB): %.3f s, %.2f MB/s, errors %d\n", pages, bytes / mb, seconds,
                bytes / mb / seconds, errors);
    e.freeHandle(options, 0);
    return 0;
}
