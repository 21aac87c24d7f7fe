// Feeds mutated pages and configurations through the engine's exports in the editor's calling
// path (options with the configuration, a job with the lines, ZELRunJob, the message getters) and
// reports crashes, hangs past a time limit, and message texts holding bytes that neither the
// input nor the engine's own texts hold: the sign of memory read after it was freed or moved.
//
//   fuzz_engine <configuration file> <seed folder> <case folder> [seconds] [seed]
//   fuzz_engine --replay <configuration file> <case file>...
//
// Every failure is cut down to a small case and written into the case folder; --replay runs
// kept cases again (0 when all pass).
#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
#include "engine/OptionBits.h"
#include "engine/OptionDefaults.h"
#include "engine/include/ZelValidator.h"

// The fuzzer's own checked heap: every block freed through delete is first filled with a control
// byte that no message text holds (unless the page does). A read of freed or moved memory then
// shows as strange bytes in a message, or as a crash on a pointer made of them, instead of
// finding the old bytes by luck (Wine's heap leaves them in place, and the checked standard
// library does not see such a read).
constexpr unsigned char kFreedByte = 0x01;

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    if (!p)
        return;
    std::memset(p, kFreedByte, _msize(p));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        lines.push_back(std::move(l));
        if (end == text.size())
            break;
        start = end + 1;
    }
    return lines;
}

int silentBox(HWND, const char*, const char*, UINT style) {
    return defaultBoxAnswer(style);
}

bool noProgram(const char*, int) {
    return true;
}

// The case under way, written out by the crash handlers.
std::string currentCase;
std::string caseFolder;
const char* currentKind = "page";

void saveCrash(const char* why) {
    const std::string path = caseFolder + "\\crash-" + currentKind + ".html";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(currentCase.data(), 1, currentCase.size(), f);
        std::fclose(f);
    }
    std::fprintf(stderr, "CRASH (%s): case written to %s\n", why, path.c_str());
    std::fflush(stderr);
}

LONG WINAPI onException(EXCEPTION_POINTERS* info) {
    char why[64];
    std::snprintf(why, sizeof why, "exception 0x%08lX",
                  info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0ul);
    saveCrash(why);
    std::_Exit(3);
}

void onAbort(int) {
    saveCrash("abort: a checked-mode assertion or a failed check");
    std::_Exit(3);
}

struct Call {
    int32_t options, job;
    std::atomic<int32_t>* results;
};

DWORD WINAPI runJobThread(void* p) {
    auto* c = static_cast<Call*>(p);
    c->results->store(ZELRunJob(nullptr, c->options, c->job, 0));
    return 0;
}

struct Verdict {
    enum Kind { Fine, Hang, StrangeBytes } kind = Fine;
    std::string detail;
};

class Harness {
public:
    Harness(const std::string& configFile, double timeLimit) : timeLimit_(timeLimit) {
        options_ = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ZELSetString(options_, ZELID_OPT_CONFIGFILE, configFile.c_str());
        ZELHTMLConfiguration(nullptr, options_, ZEL_CFG_LOADDEFAULT);
        // The engine's own texts are printable; bytes above 127 come from the configuration's
        // texts and from translated character entities. Control bytes come only from the page.
        for (unsigned c = 32; c < 256; ++c)
            engineBytes_[c] = c != 127;
        engineBytes_['\t'] = engineBytes_['\r'] = engineBytes_['\n'] = true;
    }
    ~Harness() { ZELFreeHandle(options_, 0); }

    // One page through the editor's path.
    Verdict page(const std::string& doc, int32_t optionVariant) {
        currentCase = doc;
        currentKind = "page";
        namespace vf = zel::bits::validator;
        const uint32_t variants[] = {
            0, vf::XMLCompatibility | vf::RequireQuotedAttValues | vf::RequireQuickClose,
            vf::PHPBlocks | vf::MivaMacros | vf::IgnoreTextInPercents,
            vf::RequireOptionalClosingTags | vf::AllowMultiLineQuotes, vf::CheckHighASCII};
        const uint32_t base = zel::defaults::ValidatorFlags;
        ZELSetFlag(options_, ZELID_OPT_VALIDATORFLAGS_WORD, 0,
                   static_cast<int32_t>(base | variants[optionVariant % 5]));
        // Every third run checks the whole page: the limits lifted and the listing off (the
        // listing repeats a message's line before each message: thousands of messages on one
        // long line make output in the size of their product, by design).
        const bool whole = optionVariant % 3 == 0;
        ZELSetInteger(options_, ZELID_OPT_MAXIMUMERRORS, whole ? 9999 : 20);
        ZELSetInteger(options_, ZELID_OPT_MAXIMUMWARNINGS, whole ? 9999 : 20);
        ZELSetFlag(options_, ZELID_OPT_OUTPUTFLAGS, zel::bits::output::IncludeHTML, whole ? 0 : 1);
        const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        ZELSetInteger(job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER, 0);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_TEXTFROMEDITOR, 1);
        for (const std::string& l : linesOf(doc))
            ZELSetString(job, ZELID_JOB_ADDPATH, l.c_str());
        ZELSetString(job, ZELID_JOB_INPUT, "fuzz.html");

        Verdict v;
        const auto start = std::chrono::steady_clock::now();
        std::atomic<int32_t> results{-100};
        Call call{options_, job, &results};
        HANDLE thread = CreateThread(nullptr, 0, runJobThread, &call, 0, nullptr);
        if (!thread) {
            ZELFreeHandle(job, 0);
            return v;
        }
        if (WaitForSingleObject(thread, static_cast<DWORD>(timeLimit_ * 1000)) == WAIT_TIMEOUT) {
            v.kind = Verdict::Hang;
            v.detail = "no answer within the time limit";
            return v; // the thread is left running: the process ends after the report
        }
        CloseHandle(thread);
        seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const int32_t r = results.load();
        if (r >= 0) {
            bool inInput[256] = {};
            for (unsigned char c : doc)
                inInput[c] = true;
            const int32_t n = ZELGetIntegerEZ(r, ZELID_RESULT_RECORDS);
            for (int32_t i = 1; i <= n && v.kind == Verdict::Fine; ++i) {
                const char* text = ZELGetString2(r, ZELID_RESULT_MSGTEXT, i);
                for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : ""); *p;
                     ++p) {
                    if (!inInput[*p] && !engineBytes_[*p]) {
                        v.kind = Verdict::StrangeBytes;
                        v.detail = "message " + std::to_string(i) + " holds byte " + std::to_string(*p) +
                                   ": " + text;
                        break;
                    }
                }
            }
            ZELFreeHandle(r, 0);
        }
        ZELFreeHandle(job, 0);
        return v;
    }

    // A configuration file loaded through the export, then one page validated with it.
    void configuration(const std::string& bytes, const std::string& scratch, const std::string& doc) {
        currentCase = bytes;
        currentKind = "configuration";
        writeFile(scratch, bytes);
        const int32_t other = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ZELSetString(other, ZELID_OPT_CONFIGFILE, scratch.c_str());
        ZELHTMLConfiguration(nullptr, other, ZEL_CFG_LOADDEFAULT);
        const int32_t job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        ZELSetInteger(job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
        ZELSetFlag(job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS, 0);
        for (const std::string& l : linesOf(doc))
            ZELSetString(job, ZELID_JOB_ADDPATH, l.c_str());
        const int32_t r = ZELRunJob(nullptr, other, job, 0);
        if (r >= 0)
            ZELFreeHandle(r, 0);
        ZELFreeHandle(job, 0);
        ZELFreeHandle(other, 0);
    }

    double lastSeconds() const { return seconds_; }

private:
    int32_t options_ = -1;
    double timeLimit_;
    double seconds_ = 0;
    bool engineBytes_[256] = {};
};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng_) : 0; }

    std::string mutate(const std::string& in, const std::vector<std::string>& seeds) {
        std::string s = in;
        const int rounds = 1 + static_cast<int>(below(4));
        for (int r = 0; r < rounds; ++r) {
            switch (below(9)) {
            case 0: // byte flips
                for (size_t i = 0, n = 1 + below(8); i < n && !s.empty(); ++i)
                    s[below(s.size())] ^= static_cast<char>(1u << below(8));
                break;
            case 1: // truncation
                s.resize(below(s.size() + 1));
                break;
            case 2: { // splicing with another seed
                const std::string& o = seeds[below(seeds.size())];
                const size_t at = below(s.size() + 1), from = below(o.size() + 1);
                s = s.substr(0, at) + o.substr(from, below(o.size() - from + 1));
                break;
            }
            case 3: { // deep nesting
                const char* const tags[] = {"div", "b", "p", "table", "span", "ul", "a href=x"};
                const std::string t = tags[below(7)];
                std::string open;
                for (size_t i = 0, n = 50 + below(3000); i < n; ++i)
                    open += "<" + t + ">";
                s.insert(below(s.size() + 1), open);
                break;
            }
            case 4: // one long line, as minified pages come
                for (char& c : s)
                    if (c == '\n' || c == '\r')
                        c = ' ';
                break;
            case 5: { // a very long value or name
                const std::string lng(1000 + below(200000), "ax&\"'= <>;#"[below(11)]);
                s.insert(below(s.size() + 1), "<img alt=\"" + lng + "\" " + lng.substr(0, 3000) + "=1>");
                break;
            }
            case 6: { // markup pieces at random places
                const char* const bits[] = {"<",  ">",  "\"",        "'",  "<!--", "-->", "<%", "%>",
                                            "<?", "?>", "&",         ";",  "&#x",  "&#",  "=",  "/>",
                                            "</", "\n", "<![CDATA[", "&[", "]",    "##"};
                for (size_t i = 0, n = 1 + below(20); i < n; ++i)
                    s.insert(below(s.size() + 1), bits[below(std::size(bits))]);
                break;
            }
            case 7: { // tags broken over lines at a blank, as hand-written pages have them
                for (size_t i = 0, n = 1 + below(8); i < n && !s.empty(); ++i) {
                    const size_t open = s.find('<', below(s.size()));
                    const size_t blank = open == std::string::npos ? open : s.find(' ', open);
                    const size_t close = open == std::string::npos ? open : s.find('>', open);
                    if (blank != std::string::npos && (close == std::string::npos || blank < close))
                        s[blank] = '\n';
                }
                break;
            }
            default: { // a block of lines repeated
                if (s.empty())
                    break;
                const size_t a = below(s.size()), b = a + below(std::min<size_t>(4000, s.size() - a) + 1);
                const std::string part = s.substr(a, b - a);
                for (size_t i = 0, n = 1 + below(20); i < n; ++i)
                    s.insert(b, part);
                break;
            }
            }
            if (s.size() > 4 * 1024 * 1024)
                s.resize(4 * 1024 * 1024);
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

// Cuts a failing page down while it keeps failing the same way.
std::string minimise(Harness& h, std::string doc, Verdict::Kind kind, int32_t variant) {
    for (size_t chunk = doc.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t at = 0; at + chunk <= doc.size();) {
            std::string smaller = doc.substr(0, at) + doc.substr(at + chunk);
            if (h.page(smaller, variant).kind == kind)
                doc = std::move(smaller);
            else
                at += chunk;
        }
    }
    return doc;
}

std::vector<std::string> seedsFrom(const std::string& folder) {
    std::vector<std::string> seeds = {
        "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n<p>x</p>\n</body></html>\n",
        "<!-- c --><p>&#8217; &#x2192; &amp; &nbsp; &bogus; a & b</p>\n",
        "<table border=1><tr><td bgcolor=\"#FFOOOO\">x<td>y</table>\n<%= asp %><?php echo 1 ?>&[miva]\n",
    };
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                seeds.push_back(readFile(folder + "\\" + data.cFileName));
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return seeds;
}

} // namespace

int main(int argc, char** argv) {
    setEngineMessageBox(silentBox);
    setStartProgram(noProgram);
    SetUnhandledExceptionFilter(onException);
    std::signal(SIGABRT, onAbort);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    engineLoad(nullptr);
    reportDeferredFault();

    if (argc >= 4 && std::strcmp(argv[1], "--replay") == 0) {
        Harness h(argv[2], 30.0);
        caseFolder = ".";
        int failed = 0;
        for (int i = 3; i < argc; ++i) {
            const Verdict v = h.page(readFile(argv[i]), 0);
            std::printf("%s: %s\n", argv[i], v.kind == Verdict::Fine ? "fine" : v.detail.c_str());
            failed += v.kind != Verdict::Fine;
        }
        return failed ? 1 : 0;
    }
    if (argc < 4) {
        std::fprintf(
            stderr, "usage: fuzz_engine <configuration file> <seed folder> <case folder> [seconds] [seed]\n");
        return 2;
    }
    const std::string configFile = argv[1];
    caseFolder = argv[3];
    const double seconds = argc > 4 ? std::atof(argv[4]) : 300.0;
    const uint32_t seed = argc > 5 ? static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10)) : 1;
    const std::vector<std::string> seeds = seedsFrom(argv[2]);
    // Beside the seeds, which the run script makes afresh in the build folder: a crash leaves
    // nothing among the kept cases.
    const std::string scratch = std::string(argv[2]) + "\\scratch.cfg";
    const std::string cfgBytes = readFile(configFile);
    // Generous: the checked mode of the standard library verifies every sorted search it makes.
    Harness h(configFile, 60.0);
    Mutator m(seed);
    const auto start = std::chrono::steady_clock::now();
    int32_t runs = 0, failures = 0;
    double slowest = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        ++runs;
        if (runs % 25 == 0 && !cfgBytes.empty()) {
            h.configuration(m.mutate(cfgBytes, {cfgBytes}), scratch, seeds[m.below(seeds.size())]);
            continue;
        }
        const std::string doc = m.mutate(seeds[m.below(seeds.size())], seeds);
        const int32_t variant = static_cast<int32_t>(m.below(5));
        const Verdict v = h.page(doc, variant);
        slowest = std::max(slowest, h.lastSeconds());
        if (v.kind == Verdict::Hang) {
            writeFile(caseFolder + "\\hang.html", doc);
            std::printf("HANG after %d runs: case written to hang.html\n", runs);
            std::fflush(stdout);
            std::_Exit(4);
        }
        if (v.kind == Verdict::StrangeBytes) {
            ++failures;
            const std::string small = minimise(h, doc, v.kind, variant);
            const std::string name = caseFolder + "\\strange-bytes-" + std::to_string(failures) + ".html";
            writeFile(name, small);
            std::printf("STRANGE BYTES after %d runs (%s): minimal case of %zu bytes written to %s\n", runs,
                        v.detail.substr(0, 160).c_str(), small.size(), name.c_str());
        }
    }
    std::printf("%d runs in %.0f s, %d failures, slowest page %.2f s\n", runs, seconds, failures, slowest);
    std::remove(scratch.c_str());
    engineUnload();
    return failures ? 1 : 0;
}
