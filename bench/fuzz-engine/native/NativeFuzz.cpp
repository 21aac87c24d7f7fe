// The engine fuzzer of the native build: libFuzzer's coverage-guided search over pages and
// configurations, run through the engine's exports in the editor's calling path, in a build with
// AddressSanitizer and UndefinedBehaviorSanitizer. A read of freed or moved memory stops the run
// at the read itself; the message oracle of the mingw fuzzer (bytes from nowhere) stays as a
// second check, and the cost oracle (FuzzCommon.h) judges each run's time and the most heap it
// held, counted exactly through the sanitizer's allocation hooks.
//
// An input is a page, checked under every option variant; an input that begins with
// kConfigurationMarker is a configuration file, loaded through the export and then used for one
// page. The configuration file and the pages mutations splice from are named by the environment
// (ZEL_FUZZ_CONFIG, ZEL_FUZZ_SEEDS), as bench/fuzz-engine/run-native sets them.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sanitizer/allocator_interface.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "bench/FuzzFiles.h"
#include "bench/fuzz-engine/FuzzCommon.h"
#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
#include "engine/include/ZelValidator.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

const char kConfigurationMarker[] = "ZELFUZZ-CONFIGURATION\n";
constexpr size_t kMarkerLength = sizeof kConfigurationMarker - 1;

int32_t options = -1;
std::string configurationBytes;
std::string scratchFile;          // the configuration of a configuration input, written afresh
std::string scratchFileForEngine; // its path in the engine's form
std::vector<std::string> seeds;
bool show = false; // ZEL_FUZZ_SHOW: print each run's messages (for looking at a kept case)

// The engine's own form of a path: drive Z: is the root, as in the mingw build under Wine.
std::string enginePath(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

int silentBox(HWND, const char*, const char*, UINT style) {
    return defaultBoxAnswer(style);
}

bool noProgram(const char*, int) {
    return true;
}

bool isConfiguration(const std::string& input) {
    return input.compare(0, kMarkerLength, kConfigurationMarker) == 0;
}

// Under the sanitizers and coverage counters the engine runs several times slower than a release.
constexpr zelfuzz::CostRule kCostRule{2.0, 60.0, 0.001, 64.0, 48.0};

// The heap in use and the most it reached since the last reset, kept by the sanitizer's hooks.
std::atomic<int64_t> heapInUse{0};
std::atomic<int64_t> heapPeak{0};
// The largest shares of the allowed time and memory seen, printed when the fuzzer ends.
double timeShare = 0, memoryShare = 0;

void onMalloc(const volatile void*, size_t size) {
    const int64_t now = heapInUse += static_cast<int64_t>(size);
    int64_t peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void onFree(const volatile void* p) {
    heapInUse -= static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(p)));
}

[[noreturn]] void fault(const std::string& what) {
    std::fprintf(stderr, "ENGINE FAULT: %s\n", what.substr(0, 400).c_str());
    std::fflush(stderr);
    std::abort();
}

// One run of the page under the options as they are set: its cost, and its messages checked.
zelfuzz::Cost runPage(const std::string& doc, int32_t variant) {
    const auto start = std::chrono::steady_clock::now();
    const int64_t before = heapInUse.load();
    heapPeak = before;
    const int32_t job = zelfuzz::makePageJob(doc, true);
    const int32_t results = ZELRunJob(nullptr, options, job, 0);
    zelfuzz::Cost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.peakBytes = static_cast<size_t>(std::max<int64_t>(heapPeak.load() - before, 0));
    if (results >= 0) {
        cost.messages = ZELGetIntegerEZ(results, ZELID_RESULT_RECORDS);
        if (show) {
            std::printf("option variant %d: %d messages, %.3f s, %.1f MB\n", variant, cost.messages,
                        cost.seconds, static_cast<double>(cost.peakBytes) / 1048576.0);
            for (int32_t i = 1; i <= cost.messages; ++i)
                std::printf("  %s\n", ZELGetString2(results, ZELID_RESULT_MSGTEXT, i));
        }
        const std::string strange = zelfuzz::strangeBytes(results, doc);
        if (!strange.empty())
            fault("option variant " + std::to_string(variant) + ", " + strange);
        ZELFreeHandle(results, 0);
    }
    ZELFreeHandle(job, 0);
    return cost;
}

void checkPage(const std::string& doc) {
    for (int32_t variant = 0; variant < zelfuzz::kOptionVariants; ++variant) {
        zelfuzz::setOptionVariant(options, variant);
        zelfuzz::Cost cost = runPage(doc, variant);
        // The time depends on what else the machine does: a run found too slow is timed twice
        // more, and its fastest time is judged.
        std::string costly = zelfuzz::costFinding(doc.size(), cost, kCostRule);
        for (int again = 0; again < 2 && !costly.empty(); ++again) {
            cost.seconds = std::min(cost.seconds, runPage(doc, variant).seconds);
            costly = zelfuzz::costFinding(doc.size(), cost, kCostRule);
        }
        if (!costly.empty())
            fault("option variant " + std::to_string(variant) + " " + costly);
        const zelfuzz::Cost allowed = zelfuzz::allowedCost(doc.size(), cost.messages, kCostRule);
        timeShare = std::max(timeShare, cost.seconds / allowed.seconds);
        memoryShare = std::max(memoryShare,
                               static_cast<double>(cost.peakBytes) / static_cast<double>(allowed.peakBytes));
    }
}

void reportShares() {
    std::printf("The costliest runs took %.0f%% of the time and %.0f%% of the memory their size allows.\n",
                100 * timeShare, 100 * memoryShare);
}

void checkConfiguration(const std::string& bytes) {
    {
        std::ofstream out(scratchFile, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    const int32_t other = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ZELSetString(other, ZELID_OPT_CONFIGFILE, scratchFileForEngine.c_str());
    ZELHTMLConfiguration(nullptr, other, ZEL_CFG_LOADDEFAULT);
    const std::string& doc = seeds[bytes.size() % seeds.size()];
    const int32_t job = zelfuzz::makePageJob(doc, false);
    // A configuration brings texts of its own: here only the sanitizers judge.
    const int32_t results = ZELRunJob(nullptr, other, job, 0);
    if (show)
        std::printf("configuration run: %d messages\n",
                    results >= 0 ? ZELGetIntegerEZ(results, ZELID_RESULT_RECORDS) : results);
    if (results >= 0)
        ZELFreeHandle(results, 0);
    ZELFreeHandle(job, 0);
    ZELFreeHandle(other, 0);
}

std::string folderOfProgram() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = 0;
    std::string p = path;
    return p.substr(0, p.rfind('/'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    std::atexit(reportShares);
    setEngineMessageBox(silentBox);
    setStartProgram(noProgram);
    engineLoad(nullptr);
    reportDeferredFault();

    show = std::getenv("ZEL_FUZZ_SHOW") != nullptr;
    const char* config = std::getenv("ZEL_FUZZ_CONFIG");
    const std::string configPath = config && *config ? config : folderOfProgram() + "/orvalenlite30.cfg";
    configurationBytes = readFile(configPath);
    if (configurationBytes.empty()) {
        std::fprintf(stderr, "no configuration file at %s\n", configPath.c_str());
        std::exit(2);
    }
    const char* tmp = std::getenv("TMPDIR");
    scratchFile =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/zel-native-fuzz-" + std::to_string(getpid()) + ".cfg";
    scratchFileForEngine = enginePath(scratchFile);

    seeds = zelfuzz::builtInPages();
    if (const char* folder = std::getenv("ZEL_FUZZ_SEEDS"))
        for (const SeedFile& file : seedFilesIn(folder))
            if (!file.bytes.empty() && !isConfiguration(file.bytes))
                seeds.push_back(file.bytes);

    options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
    ZELSetString(options, ZELID_OPT_CONFIGFILE, enginePath(configPath).c_str());
    ZELHTMLConfiguration(nullptr, options, ZEL_CFG_LOADDEFAULT);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (isConfiguration(input))
        checkConfiguration(input.substr(kMarkerLength));
    else
        checkPage(input);
    return 0;
}

// The mingw fuzzer's mutations of pages (nesting, long values, tags broken over lines, markup
// pieces) beside libFuzzer's own byte-level ones; a configuration keeps its marker.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    zelfuzz::Mutator m(seed);
    if (m.below(3) == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string out;
    if (isConfiguration(input)) {
        if (maxSize <= kMarkerLength)
            return LLVMFuzzerMutate(data, size, maxSize);
        const std::string body = input.substr(kMarkerLength);
        out = kConfigurationMarker + m.mutate(body, {body, configurationBytes}, maxSize - kMarkerLength);
    } else {
        out = m.mutate(input, seeds, maxSize);
    }
    std::memcpy(data, out.data(), out.size());
    return out.size();
}
