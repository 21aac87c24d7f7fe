// Validation speed through the engine library's exports, exactly as the editor drives it: the
// library loaded by name, the document handed over line by line, one validation job per document,
// with the shipped configuration and the default options. Built natively (ZEL_NATIVE_BENCH, by
// bench/run-validate-native) the same program calls the engine linked into it, behind the native
// platform layer, to show what the engine's own code costs without the emulator's.
//
//   validate_bench <configuration file> <file listing the pages, one path a line> <folder>
//
// A line "# name" in the list starts a group of pages (a package); each group gets a line of its
// own and all pages a line together. Validates every listed page, then the pages joined into
// single lines of several sizes (as minified sites serve them; written into the folder so that
// another checker reads the same input), and prints one line per measurement. ZEL_BENCH_DETAIL=1 also prints
// the cost of handing the lines over. ZEL_BENCH_DUMP=<file> writes all that every results object holds (a
// change meant to be faster must leave it the same but for the clock's lines); ZEL_BENCH_PAGES=<n>
// validates only the pages, n times over, for a profiler.
#include <windows.h>
#ifndef ZEL_NATIVE_BENCH
#include <psapi.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/OptionBits.h"
#include "engine/include/ZelValidator.h"
#ifdef ZEL_NATIVE_BENCH
#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
#endif

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
    decltype(&ZELGetString2) getString2 = nullptr;
    decltype(&ZELGetFlag) getFlag = nullptr;
    decltype(&ZELGetInteger2EZ) getInteger2EZ = nullptr;
    decltype(&ZELGetFlag) getResultFlag = nullptr;

#ifdef ZEL_NATIVE_BENCH
    // The engine is linked in: started as the library's load would start it, its boxes answered
    // at once (there is no registry here to find the installation in).
    bool load() {
        setEngineMessageBox(
            [](HWND, const char*, const char*, UINT style) { return defaultBoxAnswer(style); });
        setStartProgram([](const char*, int) { return true; });
        engineLoad(nullptr);
        reportDeferredFault();
        getNewHandle = ZELGetNewHandle;
        freeHandle = ZELFreeHandle;
        setInteger = ZELSetInteger;
        setString = ZELSetString;
        setFlag = ZELSetFlag;
        runJob = ZELRunJob;
        getIntegerEZ = ZELGetIntegerEZ;
        htmlConfiguration = ZELHTMLConfiguration;
        getString2 = ZELGetString2;
        getFlag = ZELGetFlag;
        getInteger2EZ = ZELGetInteger2EZ;
        getResultFlag = ZELGetFlag;
        return true;
    }
#else
    template <typename Fn> bool bind(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        return fn != nullptr;
    }
    bool load() {
        module = LoadLibraryA("zelvalidatorliteV30.dll");
        return module && bind(getNewHandle, "ZELGetNewHandle") && bind(freeHandle, "ZELFreeHandle") &&
               bind(setInteger, "ZELSetInteger") && bind(setString, "ZELSetString") &&
               bind(setFlag, "ZELSetFlag") && bind(runJob, "ZELRunJob") &&
               bind(getIntegerEZ, "ZELGetIntegerEZ") && bind(htmlConfiguration, "ZELHTMLConfiguration") &&
               bind(getString2, "ZELGetString2") && bind(getFlag, "ZELGetFlag") &&
               bind(getInteger2EZ, "ZELGetInteger2EZ") && bind(getResultFlag, "ZELGetFlag");
    }
#endif
};

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

#ifdef ZEL_NATIVE_BENCH
constexpr char kPathSeparator = '/';

// The process's resident memory (field "VmRSS:") or its peak ("VmHWM:"), in bytes.
size_t residentMemory(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0)
            return std::strtoull(line.c_str() + n, nullptr, 10) * 1024;
    return 0;
}

size_t peakWorkingSet() {
    return residentMemory("VmHWM:");
}

size_t workingSet() {
    return residentMemory("VmRSS:");
}
#else
constexpr char kPathSeparator = '\\';

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
#endif

// ZEL_BENCH_DUMP=<file>: everything a results object holds, appended to the file, so that two
// builds of the engine can be compared byte for byte on the same pages.
FILE* dumpFile() {
    static FILE* f = [] {
        const char* path = std::getenv("ZEL_BENCH_DUMP");
        return path ? std::fopen(path, "wb") : nullptr;
    }();
    return f;
}

void dumpResults(Engine& e, int32_t results, const char* name) {
    FILE* f = dumpFile();
    if (!f)
        return;
    auto str = [](const char* s) { return s ? s : "(null)"; };
    std::fprintf(f, "== %s\n", name);
    const int32_t ids[] = {ZELID_RESULT_ERRORS,   ZELID_RESULT_WARNINGS, ZELID_RESULT_LINES1,
                           ZELID_RESULT_RECORDS,  ZELID_RESULT_LINES2,   ZELID_RESULT_TAGCOUNTROWS,
                           ZELID_RESULT_MESSAGES, ZELID_RESULT_COMMENTS};
    for (const int32_t id : ids)
        std::fprintf(f, "%d=%d\n", id, e.getIntegerEZ(results, id));
    uint32_t flags = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (e.getResultFlag(results, ZELID_RESULT_FLAGS, static_cast<int32_t>(1u << bit)) == 1)
            flags |= 1u << bit;
    std::fprintf(f, "flags=%u status=%d %d\n", flags, e.getResultFlag(results, ZELID_RESULT_STATUS, 1),
                 e.getResultFlag(results, ZELID_RESULT_STATUS, 2));
    const int32_t lines1 = e.getIntegerEZ(results, ZELID_RESULT_LINES1);
    for (int32_t i = 0; i < lines1; ++i)
        std::fprintf(f, "L1 %s\n", str(e.getString2(results, ZELID_RESULT_LINE1, i)));
    const int32_t lines2 = e.getIntegerEZ(results, ZELID_RESULT_LINES2);
    for (int32_t i = 0; i < lines2; ++i)
        std::fprintf(f, "L2 %s\n", str(e.getString2(results, ZELID_RESULT_LINE2, i)));
    const int32_t n = e.getIntegerEZ(results, ZELID_RESULT_RECORDS);
    for (int32_t i = 1; i <= n; ++i) {
        std::fprintf(f, "M %d %d %d %d %d %d %d %d", e.getInteger2EZ(results, ZELID_RESULT_MSGKIND, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGLINE, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGCHARACTER, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGLENGTH, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGNUMBER, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGLEADING1, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGLEADING2, i),
                     e.getInteger2EZ(results, ZELID_RESULT_MSGSTYLEFLAGS, i));
        std::fprintf(f, " %s", str(e.getString2(results, ZELID_RESULT_MSGTEXT, i)));
        std::fprintf(f, " | %s\n", str(e.getString2(results, ZELID_RESULT_MSGTEXT2, i)));
    }
    const int32_t rows = e.getIntegerEZ(results, ZELID_RESULT_TAGCOUNTROWS);
    for (int32_t i = 1; i <= rows; ++i)
        std::fprintf(f, "T %s %d %d %d %d %d %d\n",
                     str(e.getString2(results, ZELID_RESULTTAGCOUNTTAGNAME, i)),
                     e.getInteger2EZ(results, ZELID_RESULTTAGCOUNTOPEN, i),
                     e.getInteger2EZ(results, ZELID_RESULTTAGCOUNTCLOSE, i),
                     e.getInteger2EZ(results, ZELID_RESULTTAGCOUNTTHIRD, i),
                     e.getInteger2EZ(results, ZELID_RESULT_TAGCOUNTFLAG1, i),
                     e.getInteger2EZ(results, ZELID_RESULT_TAGCOUNTFLAG2, i),
                     e.getInteger2EZ(results, ZELID_RESULT_TAGCOUNTFLAG4, i));
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
        // ZEL_BENCH_MESSAGES=1: every error and warning, to judge what the engine says of real pages.
        if (std::getenv("ZEL_BENCH_MESSAGES") && e.getString2) {
            const int32_t n = e.getIntegerEZ(results, ZELID_RESULT_RECORDS);
            for (int32_t i = 1; i <= n; ++i) {
                const int32_t kind = e.getInteger2EZ(results, ZELID_RESULT_MSGKIND, i);
                if (kind == ZEL_MSG_ERROR || kind == ZEL_MSG_WARNING)
                    std::printf("  %s %d:%d %s\n", name, e.getInteger2EZ(results, ZELID_RESULT_MSGLINE, i),
                                e.getInteger2EZ(results, ZELID_RESULT_MSGNUMBER, i),
                                e.getString2(results, ZELID_RESULT_MSGTEXT, i));
            }
        }
        dumpResults(e, results, name);
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

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

// The lines of a file as an editor hands them over: without their line ends.
std::vector<std::string> fileLines(const std::string& text) {
    std::vector<std::string> lines = splitLines(text);
    for (std::string& l : lines)
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(
            stderr,
            "usage: validate_bench <configuration file> <list of pages> <folder for one-line pages>\n");
        return 2;
    }
    const std::string listFile = argv[2];
    const std::string folder = argv[3];
    // The engine finds its folder through the installation's registry value; without it, it
    // would stop on a box. The benchmark's Wine prefix is its own.
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    if (char* slash = std::strrchr(exe, '\\'))
        *slash = 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe),
                       static_cast<DWORD>(std::strlen(exe) + 1));
        RegCloseKey(key);
    }
    Engine e;
    if (!e.load()) {
        std::fprintf(stderr, "cannot load zelvalidatorliteV30.dll\n");
        return 1;
    }
    // The shipped configuration and the default options: messages formatted as users see them.
    const int32_t options = e.getNewHandle(ZEL_HANDLE_OPTIONS);
    e.setString(options, ZELID_OPT_CONFIGFILE, argv[1]);
    if (e.htmlConfiguration(nullptr, options, ZEL_CFG_LOADDEFAULT | ZEL_CFG_SILENT) < 0) {
        std::fprintf(stderr, "cannot load the configuration %s\n", argv[1]);
        return 1;
    }

    // ZEL_BENCH_OUTPUT_OFF=<mask>: output option bits (1001) off, to see what the listings cost.
    if (const char* off = std::getenv("ZEL_BENCH_OUTPUT_OFF"))
        e.setFlag(options, ZELID_OPT_OUTPUTFLAGS, static_cast<int32_t>(std::strtoul(off, nullptr, 0)), 0);
    // The pages and the group each belongs to ("# name" lines of the list start a group).
    std::vector<std::string> paths;
    std::vector<std::string> texts;
    std::vector<size_t> groupOf;
    std::vector<std::string> groups;
    {
        std::string list;
        if (!readFile(listFile, list)) {
            std::fprintf(stderr, "cannot read %s\n", listFile.c_str());
            return 1;
        }
        for (const std::string& p : fileLines(list)) {
            if (p.empty())
                continue;
            if (p[0] == '#') {
                groups.push_back(p.substr(std::min(p.size(), p.find_first_not_of("# "))));
                continue;
            }
            std::string t;
            if (!readFile(p, t))
                continue;
            if (groups.empty())
                groups.emplace_back("pages");
            paths.push_back(p);
            texts.push_back(std::move(t));
            groupOf.push_back(groups.size() - 1);
        }
    }
    if (texts.empty()) {
        std::fprintf(stderr, "no pages could be read\n");
        return 1;
    }
    const double mb = 1024.0 * 1024.0;

    // The pages joined into one line, as minified sites serve them.
    std::string joined;
    for (const std::string& t : texts) {
        for (const std::string& l : fileLines(t)) {
            joined += l;
            joined += ' ';
        }
        if (joined.size() > 4 * 1024 * 1024)
            break;
    }
    validate(e, options, fileLines(texts[0]), "warm-up.html");
    // ZEL_BENCH_PAGES=<n>: only the real pages, n times over (for a profiler).
    const char* pagesOnly = std::getenv("ZEL_BENCH_PAGES");
    const int rounds = pagesOnly ? std::max(1, std::atoi(pagesOnly)) : 1;
    if (!pagesOnly) {
        // The large documents are checked whole: the limits are lifted, and the document listing is
        // off (it repeats a message's line before every message, which on one long line is the
        // line again and again).
        const int32_t maxErrors = e.getIntegerEZ(options, ZELID_OPT_MAXIMUMERRORS);
        const int32_t maxWarnings = e.getIntegerEZ(options, ZELID_OPT_MAXIMUMWARNINGS);
        const int32_t listing = e.getFlag(options, ZELID_OPT_OUTPUTFLAGS, zel::bits::output::IncludeHTML);
        e.setInteger(options, ZELID_OPT_MAXIMUMERRORS, 9999);
        e.setInteger(options, ZELID_OPT_MAXIMUMWARNINGS, 9999);
        e.setFlag(options, ZELID_OPT_OUTPUTFLAGS, zel::bits::output::IncludeHTML, 0);
        // The pages one after another as one large document: memory against the document's size
        // (measured first, before anything larger has raised the process's peak).
        {
            std::vector<std::string> lines;
            size_t size = 0;
            for (size_t i = 0; i < texts.size() && size < 8u * 1024 * 1024; ++i)
                for (std::string& l : fileLines(texts[i])) {
                    size += l.size() + 1;
                    lines.push_back(std::move(l));
                }
            const size_t before = workingSet();
            const RunResult r = validate(e, options, lines, "joined.html");
            const size_t peak = peakWorkingSet();
            std::printf("joined %.2f MB: %.3f s, %.2f MB/s, errors %d, memory %.2f times the document\n",
                        size / mb, r.seconds, size / mb / r.seconds, r.errors,
                        (peak > before ? peak - before : 0) / static_cast<double>(size));
        }
        for (const size_t kb : {64u, 256u, 1024u, 2048u}) {
            const std::vector<std::string> doc = {joined.substr(0, std::min(joined.size(), kb * 1024))};
            const std::string path = folder + kPathSeparator + "oneline-" + std::to_string(kb) + "k.html";
            if (!writeFile(path, doc[0] + "\n"))
                return 1;
            const RunResult r = validate(e, options, doc, path.c_str());
            std::printf("oneline %zu KB: %.4f s, %.2f MB/s, %.3f s per MB, errors %d, warnings %d\n", kb,
                        r.seconds, doc[0].size() / mb / r.seconds, r.seconds / (doc[0].size() / mb), r.errors,
                        r.warnings);
        }

        e.setInteger(options, ZELID_OPT_MAXIMUMERRORS, maxErrors);
        e.setInteger(options, ZELID_OPT_MAXIMUMWARNINGS, maxWarnings);
        e.setFlag(options, ZELID_OPT_OUTPUTFLAGS, zel::bits::output::IncludeHTML, listing);
    }

    // The real pages, each as its own job, with the default options: a line for each group, then
    // one for all pages.
    struct Totals {
        double seconds = 0;
        size_t bytes = 0;
        size_t pages = 0;
        int32_t errors = 0, warnings = 0, clean = 0;
        void add(const RunResult& r, size_t size) {
            seconds += r.seconds;
            bytes += size;
            ++pages;
            errors += r.errors > 0 ? r.errors : 0;
            warnings += r.warnings > 0 ? r.warnings : 0;
            clean += r.errors == 0 && r.warnings == 0;
        }
        void print(const char* label) const {
            std::printf("%s %zu (%.2f MB): %.3f s, %.2f MB/s, errors %d, warnings %d, clean pages %d\n",
                        label, pages, bytes / 1048576.0, seconds, bytes / 1048576.0 / seconds, errors,
                        warnings, clean);
        }
    };
    std::vector<Totals> perGroup(groups.size());
    Totals all;
    for (size_t i = 0; i < texts.size() * static_cast<size_t>(rounds); ++i) {
        const size_t page = i % texts.size();
        const RunResult r = validate(e, options, fileLines(texts[page]), paths[page].c_str());
        perGroup[groupOf[page]].add(r, texts[page].size());
        all.add(r, texts[page].size());
    }
    for (size_t g = 0; g < groups.size(); ++g)
        if (perGroup[g].pages > 0)
            perGroup[g].print(("group " + groups[g] + " pages").c_str());
    all.print("pages");
    e.freeHandle(options, 0);
    return 0;
}
