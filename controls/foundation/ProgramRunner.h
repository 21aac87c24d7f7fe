#pragma once
// Starting other programs, optionally capturing what they write to standard output.

#include <cstdint>
#include <string>

// How long RunProgram waits for the program by default, in milliseconds.
constexpr uint32_t DefaultRunProgramTimeout = 120000;

// Runs CommandLine in Directory (empty: the current folder) and waits up to TimeoutMs for it.
// With CaptureOutput, Output receives the program's standard output, each line followed by
// CR LF. True when the program ended with code 0. Otherwise Output says why: the platform's
// text and "ErrorCode=N" when it could not start, "Program failed with code (N)" followed by
// the captured output when it failed, or a time-out (the program is then ended).
bool RunProgram(const std::string& CommandLine, const std::string& Directory, std::string& Output,
                bool CaptureOutput, uint32_t TimeoutMs = DefaultRunProgramTimeout);

// Starts FileName as a hidden command line; with Wait, waits for it to end. Answers the exit
// code as the platform reports it then (the still-running code without Wait), or -1 when the
// program could not start.
int32_t RunBatFileEx(const std::string& FileName, bool Wait);
int32_t RunBatFile(const std::string& FileName);
