// Feeds mutated pages and configurations through the engine's exports in the editor's calling
// path (options with the configuration, a job with the lines, ZELRunJob, the message getters) and
// reports crashes, hangs past a time limit, message texts holding bytes that neither the input
// nor the engine's own texts hold (the sign of memory read after it was freed or moved), and
// runs whose time or memory is out of proportion to the page (the cost oracle of FuzzCommon.h).
//
//   fuzz_engine <configuration file> <seed folder> <case folder> [seconds] [seed]
//   fuzz_engine --replay <configuration file> <case file>...
//
// Every failure is cut down to a small case and written into the case folder; --replay runs
// kept cases again (0 when all pass).
#include <windows.h>

#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "bench/FuzzFiles.h"
#include "bench/fuzz-engine/FuzzCommon.h"
#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
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
    enum Kind { Fine, Hang, StrangeBytes, TooCostly } kind = Fine;
    std::string detail;
};

// The checked standard library verifies every sorted search (a pass over the table searched) and
// every iterator: this build is many times slower than a release and keeps larger iterators. A
// page of 160 KB of ampersands takes up to nineteen seconds here on a loaded machine, in
// proportion to its size.
constexpr zelfuzz::CostRule kCostRule{2.0, 120.0, 0.0005, 96.0, 48.0};

// The memory the process has committed for itself; sampled while a run goes on, as the platform
// keeps no peak that could be reset for each run.
size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
}

class Harness {
public:
    Harness(const std::string& configFile, double timeLimit) : timeLimit_(timeLimit) {
        options_ = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ZELSetString(options_, ZELID_OPT_CONFIGFILE, configFile.c_str());
        ZELHTMLConfiguration(nullptr, options_, ZEL_CFG_LOADDEFAULT);
    }
    ~Harness() { ZELFreeHandle(options_, 0); }

    // One page through the editor's path. The time depends on what else the machine does: a run
    // found too costly is measured twice more, and its least time and memory are judged.
    Verdict page(const std::string& doc, int32_t optionVariant) {
        Verdict v = pageOnce(doc, optionVariant);
        cost_ = lastCost_;
        for (int again = 0; again < 2 && v.kind == Verdict::TooCostly; ++again) {
            const Verdict w = pageOnce(doc, optionVariant);
            if (w.kind != Verdict::TooCostly && w.kind != Verdict::Fine)
                return w;
            cost_.seconds = std::min(cost_.seconds, lastCost_.seconds);
            cost_.peakBytes = std::min(cost_.peakBytes, lastCost_.peakBytes);
            v.detail = zelfuzz::costFinding(doc.size(), cost_, kCostRule);
            if (v.detail.empty())
                v.kind = Verdict::Fine;
        }
        return v;
    }

    double lastSeconds() const { return lastCost_.seconds; }
    const zelfuzz::Cost& lastCost() const { return lastCost_; }

private:
    Verdict pageOnce(const std::string& doc, int32_t optionVariant) {
        currentCase = doc;
        currentKind = "page";
        zelfuzz::setOptionVariant(options_, optionVariant);
        const int32_t job = zelfuzz::makePageJob(doc, true);

        Verdict v;
        // A run past twice the time the cost oracle allows the most messages is taken for a hang.
        const double hangLimit =
            std::max(timeLimit_, 2 * zelfuzz::allowedCost(doc.size(), 2 * 9999, kCostRule).seconds);
        const auto start = std::chrono::steady_clock::now();
        const size_t before = privateBytes();
        size_t peak = before;
        std::atomic<int32_t> results{-100};
        Call call{options_, job, &results};
        HANDLE thread = CreateThread(nullptr, 0, runJobThread, &call, 0, nullptr);
        if (!thread) {
            ZELFreeHandle(job, 0);
            return v;
        }
        while (WaitForSingleObject(thread, 10) == WAIT_TIMEOUT) {
            peak = std::max(peak, privateBytes());
            if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > hangLimit) {
                v.kind = Verdict::Hang;
                v.detail = "no answer within the time limit";
                return v; // the thread is left running: the process ends after the report
            }
        }
        CloseHandle(thread);
        peak = std::max(peak, privateBytes());
        lastCost_ = zelfuzz::Cost{
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), peak - before};
        const int32_t r = results.load();
        if (r >= 0) {
            lastCost_.messages = ZELGetIntegerEZ(r, ZELID_RESULT_RECORDS);
            v.detail = zelfuzz::strangeBytes(r, doc);
            if (!v.detail.empty())
                v.kind = Verdict::StrangeBytes;
            ZELFreeHandle(r, 0);
        }
        ZELFreeHandle(job, 0);
        if (v.kind == Verdict::Fine) {
            v.detail = zelfuzz::costFinding(doc.size(), lastCost_, kCostRule);
            if (!v.detail.empty())
                v.kind = Verdict::TooCostly;
        }
        return v;
    }

public:
    // A configuration file loaded through the export, then one page validated with it.
    void configuration(const std::string& bytes, const std::string& scratch, const std::string& doc) {
        currentCase = bytes;
        currentKind = "configuration";
        writeFile(scratch, bytes);
        const int32_t other = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ZELSetString(other, ZELID_OPT_CONFIGFILE, scratch.c_str());
        ZELHTMLConfiguration(nullptr, other, ZEL_CFG_LOADDEFAULT);
        const int32_t job = zelfuzz::makePageJob(doc, false);
        const int32_t r = ZELRunJob(nullptr, other, job, 0);
        if (r >= 0)
            ZELFreeHandle(r, 0);
        ZELFreeHandle(job, 0);
        ZELFreeHandle(other, 0);
    }

private:
    int32_t options_ = -1;
    double timeLimit_;
    zelfuzz::Cost cost_;     // of the page's first run, the least of its runs
    zelfuzz::Cost lastCost_; // of the run just made
};

// Cuts a failing page down while it keeps failing the same way, for two minutes at most: a page
// found too costly takes seconds a try.
std::string minimise(Harness& h, std::string doc, Verdict::Kind kind, int32_t variant) {
    const auto start = std::chrono::steady_clock::now();
    const auto late = [&] { return std::chrono::steady_clock::now() - start > std::chrono::minutes(2); };
    for (size_t chunk = doc.size() / 2; chunk >= 1 && !late(); chunk /= 2) {
        for (size_t at = 0; at + chunk <= doc.size() && !late();) {
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
    std::vector<std::string> seeds = zelfuzz::builtInPages();
    for (const SeedFile& file : seedFilesIn(folder))
        seeds.push_back(file.bytes);
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
        // Each kept case under every option variant.
        for (int i = 3; i < argc; ++i) {
            Verdict v;
            for (int32_t variant = 0; variant < zelfuzz::kOptionVariants && v.kind == Verdict::Fine;
                 ++variant)
                v = h.page(readFile(argv[i]), variant);
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
    zelfuzz::Mutator m(seed);
    const auto start = std::chrono::steady_clock::now();
    int32_t runs = 0, failures = 0;
    double slowest = 0, timeShare = 0, memoryShare = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        ++runs;
        if (runs % 25 == 0 && !cfgBytes.empty()) {
            h.configuration(m.mutate(cfgBytes, {cfgBytes}), scratch, seeds[m.below(seeds.size())]);
            continue;
        }
        const std::string doc = m.mutate(seeds[m.below(seeds.size())], seeds);
        const int32_t variant = static_cast<int32_t>(m.below(zelfuzz::kOptionVariants));
        const Verdict v = h.page(doc, variant);
        slowest = std::max(slowest, h.lastSeconds());
        const zelfuzz::Cost allowed = zelfuzz::allowedCost(doc.size(), h.lastCost().messages, kCostRule);
        timeShare = std::max(timeShare, h.lastCost().seconds / allowed.seconds);
        memoryShare = std::max(memoryShare, static_cast<double>(h.lastCost().peakBytes) /
                                                static_cast<double>(allowed.peakBytes));
        if (v.kind == Verdict::Hang) {
            writeFile(caseFolder + "\\hang.html", doc);
            std::printf("HANG after %d runs: case written to hang.html\n", runs);
            std::fflush(stdout);
            std::_Exit(4);
        }
        if (v.kind == Verdict::StrangeBytes || v.kind == Verdict::TooCostly) {
            ++failures;
            const bool strange = v.kind == Verdict::StrangeBytes;
            const std::string small = minimise(h, doc, v.kind, variant);
            const std::string name = caseFolder + (strange ? "\\strange-bytes-" : "\\costly-") +
                                     std::to_string(failures) + ".html";
            writeFile(name, small);
            std::printf("%s after %d runs (%s): minimal case of %zu bytes written to %s\n",
                        strange ? "STRANGE BYTES" : "TOO COSTLY", runs, v.detail.substr(0, 160).c_str(),
                        small.size(), name.c_str());
        }
    }
    std::printf(
        "%d runs in %.0f s, %d failures, slowest page %.2f s; the costliest runs took %.0f%% of the time "
        "and %.0f%% of the memory their size allows\n",
        runs, seconds, failures, slowest, 100 * timeShare, 100 * memoryShare);
    std::remove(scratch.c_str());
    engineUnload();
    return failures ? 1 : 0;
}
