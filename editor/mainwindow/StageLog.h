#pragma once
// Timing of the stages of a long command, for finding where the time goes. Off unless the
// environment variable ZEL_STAGE_LOG names a file; each stage then appends one line
// "name<TAB>milliseconds" to it when its scope ends.
#include <chrono>
#include <string>

class TStageTimer {
public:
    explicit TStageTimer(const char* Name);
    ~TStageTimer();
    TStageTimer(const TStageTimer&) = delete;
    TStageTimer& operator=(const TStageTimer&) = delete;

private:
    const char* FName;
    bool FOn;
    std::chrono::steady_clock::time_point FStart;
};
