// The work of ZELRunJob: ties an options object, a job and a new results object together,
// serialises the run, dispatches on the job type and runs the output steps afterwards.
#include "engine/run/JobRunner.h"

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/EngineStores.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/config/CfgStore.h"
#include "engine/config/ConfigOptions.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/DateTime.h"
#include "engine/run/OutputFile.h"
#include "engine/run/PathJobs.h"
#include "engine/run/ProgressWindow.h"
#include "engine/run/TagCountStore.h"
#include "engine/run/ValidateArgs.h"
#include "engine/utils/StrStoreEx.h"

namespace zel::run {

namespace {

// The thread inside a run, 0 when none.
std::atomic<DWORD> runningThread{0};

class FileStoreSink : public LineSink {
public:
    explicit FileStoreSink(FileStore& store) : store_(store) {}
    int addLine(const std::string& text, bool continueLine) override {
        return store_.addLine(text.c_str(), continueLine ? 1 : 0);
    }
    int32_t lineCount() const override { return store_.lineCount(); }

private:
    FileStore& store_;
};

class HandleLock {
public:
    explicit HandleLock(int32_t handle) : handle_(handle) { lockHandle(handle_, ZEL_LOCK); }
    ~HandleLock() { lockHandle(handle_, ZEL_UNLOCK); }
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;

private:
    int32_t handle_;
};

// Marks the calling thread as inside a run for as long as it lives.
class RunningThread {
public:
    RunningThread() { runningThread = GetCurrentThreadId(); }
    ~RunningThread() { runningThread = 0; }
    RunningThread(const RunningThread&) = delete;
    RunningThread& operator=(const RunningThread&) = delete;
};

// Frees a new results handle unless the run kept it.
class ResultsRelease {
public:
    explicit ResultsRelease(int32_t handle) : handle_(handle) {}
    ~ResultsRelease() {
        if (handle_ >= 0)
            freeHandle(handle_, 0);
    }
    ResultsRelease(const ResultsRelease&) = delete;
    ResultsRelease& operator=(const ResultsRelease&) = delete;
    void keep() { handle_ = -1; }

private:
    int32_t handle_;
};

// Keeps the string classes' error list pointing at a live results object only while it runs.
class ErrorListScope {
public:
    ErrorListScope() : saved_(StrStoreEx::errorList) {}
    ~ErrorListScope() { StrStoreEx::errorList = saved_; }
    ErrorListScope(const ErrorListScope&) = delete;
    ErrorListScope& operator=(const ErrorListScope&) = delete;

private:
    ErrorStore* saved_;
};

// Prepares the results object for a validation run; 0, or -1 (no memory), -2 (no state).
int32_t prepareResults(ResultClass& results) {
    results.errors.clear();
    deleteMsgStore(results.messages);
    results.messages = new (std::nothrow) MsgStore();
    if (!results.messages)
        return -1;
    if (!results.validation)
        return -2;
    results.validation->store = results.messages;
    results.statistics.clear();
    for (int32_t i = 0; i < kRunStatisticCount; ++i)
        results.statistics.add(0);
    const SYSTEMTIME now = currentLocalTime();
    FILETIME start{};
    results.runStart =
        SystemTimeToFileTime(&now, &start)
            ? static_cast<int64_t>((static_cast<uint64_t>(start.dwHighDateTime) << 32) | start.dwLowDateTime)
            : 0;
    results.elapsedSeconds = 0.0f;
    StrStoreEx::errorList = &results.errors;
    results.flags = 0;
    deleteTagCountStore(results.tagCounts);
    results.tagCounts = new (std::nothrow) TagCountStore();
    if (!results.tagCounts)
        return -1;
    return 0;
}

int32_t runValidation(ArgsClass& run) {
    ResultClass& results = *run.results;
    JobClass& job = *run.job;
    ConfigClass& options = *run.options;

    deleteValidateArgs(results.validation);
    results.validation = new (std::nothrow) ValidateArgsClass();
    if (!results.validation)
        return -8;
    ValidateArgsClass& a = *results.validation;
    static_cast<ArgsClass&>(a) = run;

    // Every option test of the run reads a copy taken now, so that options changed while it runs
    // (from a box or a dialog) cannot affect it.
    a.privateOptions = std::make_unique<ConfigClass>();
    copyOptions(options, *a.privateOptions);
    int32_t init = prepareResults(results);
    if (init == 0)
        init = a.initialize(1, results.messages, runOptionsFrom(*a.privateOptions));
    if (init < 0)
        return ZELErrorMessage(-7, "ZELRunJob", "ValidateArgsClass::Initialize() failed");
    a.emitter.language = engineContext().messageTextColumn;

    // The configuration's own list of active categories is the run's to change; it gets it back.
    CfgStore* cfg = options.cfgStore;
    std::vector<int32_t> savedCategories;
    if (cfg)
        savedCategories = std::as_const(*cfg).activeCategories();

    if (!cfg || !cfg->hasUserTagNames()) {
        engineMessageBox(nullptr,
                         "Cannot perform the validation because there are no user defined tag names in the "
                         "configuration. Is a valid configuration loaded?",
                         "Orvalent: Cannot Validate", ZEL_BOX_ERROR);
        return -19;
    }

    if (job.flags & ZEL_JOB_SHOWPROGRESS) {
        const intptr_t shown =
            requestProgressWindow(2, options.window.ProgressBarLeft, options.window.ProgressBarTop,
                                  (options.general.Flags40 & bits::general::NeverShowProgressBar) != 0);
        job.progressWindow = reinterpret_cast<HWND>(shown);
    }

    RunInput& in = a.input;
    job.inputLines = job.paths.lineCount();
    // The run reads the job's lines in place (the job is held for the run): a large document is
    // not copied again. Lines added to the job meanwhile are not part of this run.
    in.lines.refer(job.paths);
    in.inputName = job.input.getString();
    in.extension = job.input.extension().getString();
    in.outputName = job.outputFile.getString();
    in.jobType = job.jobType;
    in.jobFlags = job.flags;
    in.inputIsFile = true;
    // Lines handed over by the editor have no file behind them: their size is what they hold.
    in.byteSize = job.inputMode == 1 && job.paths.property(FileStore::FileSize) >= 0
                      ? job.paths.property(FileStore::FileSize)
                      : documentByteSize(in.lines);
    in.progress = job.progressWindow;

    FileStoreSink out1(results.lines1), out2(results.lines2);
    a.output1 = &out1;
    a.output2 = &out2;
    const int32_t walked = validate(a);
    a.output1 = a.output2 = nullptr;
    for (int32_t i = 0; i < kRunStatisticCount; ++i)
        results.statistics.set(i, a.statistics[i]);
    results.elapsedSeconds = static_cast<float>(a.elapsed);
    if (a.limitReached)
        results.flags |= bits::results::LimitReached;

    a.uninitialize(1);
    // Given back only when the run changed it: handing the list out for change counts as a
    // change of the configuration, which would make the next run derive its tables anew.
    if (cfg && std::as_const(*cfg).activeCategories() != savedCategories)
        cfg->activeCategories() = savedCategories;
    // A failed walk says why in the run's error list.
    if (a.errors.number() != 0)
        ZELErrorMessage(0, "ZELRunJob", a.errors.displayText());
    if (job.flags & ZEL_JOB_HIDEPROGRESSAFTER)
        hideProgressWindow(1);
    return walked < 0 ? -7 : 0;
}

// The body of ZELRunJob once the handles are known and the semaphore is held.
int32_t runJobLocked(HWND window, ConfigClass& options, JobClass& job, ResultClass& results) {
    EngineContext& ctx = engineContext();
    makeOptionsCurrent(options, window);
    ctx.currentResults = &results;
    ArgsClass run;
    run.window = window;
    run.context = &ctx;
    run.options = &options;
    run.job = &job;
    run.results = &results;

    if (job.flags & ZEL_JOB_INPUTISFILE)
        job.inputMode = 1;
    if (job.inputMode == 1 && job.paths.loadFile(job.input.getString(), "rb") < 0)
        return -11;

    int32_t code = 0;
    if (job.isPathJob()) {
        if (runPathJob(run, 0) < 0)
            code = -5;
    } else if (job.jobType == ZEL_JOBTYPE_VALIDATE) {
        code = runValidation(run);
    } else {
        code = ZELErrorMessage(-3, "ZELRunJob", "bad job type");
    }
    if (code < 0)
        return code;

    const bool stopped = (results.flags & ZEL_RESULT_STOPPED) || (results.flags & ZEL_RESULT_OUTPUTFAILED);
    if (!stopped) {
        if (job.flags & ZEL_JOB_INPUTISFILE) {
            outputFileName(run, kOutputNameStore | kOutputNameKeep);
            job.flags |= ZEL_JOB_WRITEOUTPUT;
        }
        if (job.flags & ZEL_JOB_WRITEOUTPUT) {
            const int32_t mode = (job.flags & ZEL_JOB_INPUTISFILE) && !job.isPathJob() ? 2 : 1;
            // A failed write is no failed run: the results stay, and say that the file is missing.
            if (runOutputStep(run, mode) < 0)
                results.flags |= ZEL_RESULT_OUTPUTFAILED;
        }
        if ((job.flags & ZEL_JOB_INPUTISFILE) && job.jobType == ZEL_JOBTYPE_VALIDATE &&
            !(results.flags & ZEL_RESULT_OUTPUTFAILED))
            showCompletion(run);
    }
    return 0;
}

} // namespace

RunOptions runOptionsFrom(const ConfigClass& o) {
    RunOptions r;
    r.validatorFlags = o.validator.ValidatorFlags40;
    r.outputFlags = o.validator.OutputFlags40;
    r.entityFlags = o.validator.EntityFlags40;
    r.generalFlags = o.general.Flags40;
    r.loggingFlags = o.log.Flags40;
    r.switches500 = o.validator.Switches500;
    r.validatorFlags250 = o.validator.ValidatorFlags250;
    r.lineLength = o.validator.LineLength;
    r.maximumErrors = o.validator.MaximumErrors;
    r.maximumWarnings = o.validator.MaximumWarnings;
    r.logFileName = o.log.LogFileNameV30.getString();
    r.outputFileName = o.general.OutputFileV30.getString();
    return r;
}

std::string outputFileName(const ArgsClass& args, int32_t flags) {
    if (!args.options || !args.job || !args.results)
        return std::string();
    JobClass& job = *args.job;
    const ConfigClass& o = *args.options;
    if ((flags & kOutputNameStore) && (flags & kOutputNameKeep) && !job.outputFile.isEmpty())
        return job.outputFile.getString();
    std::string name;
    if (job.isPathJob()) {
        name = job.input.getString();
    } else {
        const bool val = (job.flags & ZEL_JOB_VALCHOICESET)
                             ? (job.flags & ZEL_JOB_VALCHOICE) != 0
                             : (o.general.Flags40 & bits::general::UseVALFiles) != 0;
        name = val ? std::string(job.input.getString()) + ".val"
                   : std::string(o.general.OutputFileV30.getString());
    }
    if (flags & kOutputNameStore)
        job.outputFile.assign(name.c_str());
    return name;
}

int32_t runJob(HWND window, int32_t optionsHandle, int32_t jobHandle, DWORD waitLimit) {
    JobClass* job = jobObject(jobHandle);
    if (!job)
        return ZELError(-1, "ZELRunJob", kBadHandle);
    engineContext().currentJob = job;
    ConfigClass* options = optionsObject(optionsHandle);
    if (!options)
        return ZELError(-2, "ZELRunJob", kBadHandle);
    if (runningThread.load() == GetCurrentThreadId())
        return kRunAlreadyUnderWay;

    // The time limit counts from here, over both locks.
    const ULONGLONG start = GetTickCount64();
    const int32_t resultsHandle = registerHandle(new (std::nothrow) ResultClass(), waitLimit);
    if (resultsHandle == ZEL_RUN_BUSY)
        return ZEL_RUN_BUSY;
    if (resultsHandle < 0)
        return -4;
    ResultClass* results = resultsObject(resultsHandle);
    if (!results) {
        freeHandle(resultsHandle, 0);
        return -6;
    }
    // A run that fails or throws frees its results handle on the way out.
    ResultsRelease release(resultsHandle);
    // Held for the run, so that a free from inside a box shown by the run only marks them.
    HandleLock lockOptions(optionsHandle), lockJob(jobHandle);
    int32_t code;
    {
        DWORD left = waitLimit;
        if (waitLimit != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            left = spent < waitLimit ? static_cast<DWORD>(waitLimit - spent) : 0;
        }
        SystemLockHold hold(engineContext().runJobLock, left);
        if (!hold.held())
            return ZEL_RUN_BUSY;
        ErrorListScope errorList;
        RunningThread running;
        // Memory is the one limit a document of any form may still reach: the user is told so,
        // not of an internal error.
        try {
            code = runJobLocked(window, *options, *job, *results);
        } catch (const std::bad_alloc&) {
            code = ZELErrorMessage(-8, "ZELRunJob", "there is not enough memory to finish this run");
        }
    }
    if (code >= 0)
        release.keep();
    return code < 0 ? code : resultsHandle;
}

} // namespace zel::run
