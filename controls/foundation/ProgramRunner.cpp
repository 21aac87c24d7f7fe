#include "framework/core/Win.h"

#include "controls/foundation/ProgramRunner.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "controls/foundation/PathUtils.h"
#include "framework/core/SysUtils.h"

namespace {

void ReportPlatformError(DWORD Code, std::string& Output) {
    Output = SysErrorMessage(Code) + ". ErrorCode=" + std::to_string(Code);
}

// Each line of the file followed by CR LF; lines end at CR LF, LF or CR.
std::string ReadLinesWithBreaks(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    std::string Result;
    size_t I = 0;
    while (I < Data.size()) {
        size_t J = I;
        while (J < Data.size() && Data[J] != '\r' && Data[J] != '\n')
            ++J;
        Result.append(Data, I, J - I);
        Result += "\r\n";
        if (J < Data.size() && Data[J] == '\r') {
            ++J;
            if (J < Data.size() && Data[J] == '\n')
                ++J;
        } else if (J < Data.size()) {
            ++J;
        }
        I = J;
    }
    return Result;
}

// Processes that were just ended may hold the file a moment longer.
void DeleteWhenReleased(const std::string& FileName) {
    for (int Try = 0; Try < 40; ++Try) {
        if (::DeleteFileA(FileName.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
            return;
        Sleep(50);
    }
}

} // namespace

bool RunProgram(const std::string& CommandLine, const std::string& Directory, std::string& Output,
                bool CaptureOutput, uint32_t TimeoutMs) {
    STARTUPINFOA Start{};
    Start.cb = sizeof Start;
    HANDLE Capture = INVALID_HANDLE_VALUE;
    std::string CaptureName;
    if (CaptureOutput) {
        CaptureName = GetTemporaryFileName("tempfile");
        if (CaptureName.empty()) {
            ReportPlatformError(GetLastError(), Output);
            return false;
        }
        SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
        Capture = CreateFileA(CaptureName.c_str(), GENERIC_WRITE, 0, &Inherit, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE, nullptr);
        if (Capture == INVALID_HANDLE_VALUE) {
            ReportPlatformError(GetLastError(), Output);
            ::DeleteFileA(CaptureName.c_str());
            return false;
        }
        Start.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        Start.hStdOutput = Capture;
        Start.wShowWindow = SW_HIDE;
    }
    auto DropCapture = [&] {
        if (Capture != INVALID_HANDLE_VALUE)
            CloseHandle(Capture);
        Capture = INVALID_HANDLE_VALUE;
    };

    std::vector<char> Command(CommandLine.begin(), CommandLine.end());
    Command.push_back('\0');
    // The program and whatever it starts run in one job, so that a time-out can end them all
    // and nothing keeps the capture file open.
    HANDLE Job = CreateJobObjectA(nullptr, nullptr);
    if (Job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION Limits{};
        Limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(Job, JobObjectExtendedLimitInformation, &Limits, sizeof Limits);
    }
    PROCESS_INFORMATION Process{};
    if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, Job ? CREATE_SUSPENDED : 0, nullptr,
                        Directory.empty() ? nullptr : Directory.c_str(), &Start, &Process)) {
        const DWORD Code = GetLastError();
        DropCapture();
        if (Job)
            CloseHandle(Job);
        if (!CaptureName.empty())
            ::DeleteFileA(CaptureName.c_str());
        ReportPlatformError(Code, Output);
        return false;
    }
    if (Job) {
        if (!AssignProcessToJobObject(Job, Process.hProcess)) {
            CloseHandle(Job);
            Job = nullptr;
        }
        ResumeThread(Process.hThread);
    }
    // The child holds its own inherited handle; ours is not needed any more.
    DropCapture();

    const bool Ended = WaitForSingleObject(Process.hProcess, TimeoutMs) == WAIT_OBJECT_0;
    if (!Ended) {
        if (Job)
            TerminateJobObject(Job, 1);
        else
            TerminateProcess(Process.hProcess, 1);
        WaitForSingleObject(Process.hProcess, 5000);
    }
    DWORD ExitCode = 0;
    GetExitCodeProcess(Process.hProcess, &ExitCode);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
    if (Ended && CaptureOutput)
        Output = ReadLinesWithBreaks(CaptureName);
    // Closing the job ends whatever the program left running.
    if (Job)
        CloseHandle(Job);
    if (!CaptureName.empty())
        DeleteWhenReleased(CaptureName);
    if (!Ended) {
        Output = "Program did not finish within " + std::to_string(TimeoutMs) + " ms and was stopped";
        return false;
    }
    if (ExitCode == 0)
        return true;
    Output = "Program failed with code (" + std::to_string(static_cast<int32_t>(ExitCode)) + ")\r\n" + Output;
    return false;
}

int32_t RunBatFileEx(const std::string& FileName, bool Wait) {
    STARTUPINFOA Start{};
    Start.cb = sizeof Start;
    Start.dwFlags = STARTF_USESHOWWINDOW;
    Start.wShowWindow = SW_HIDE;
    std::vector<char> Command(FileName.begin(), FileName.end());
    Command.push_back('\0');
    PROCESS_INFORMATION Process{};
    if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &Start, &Process))
        return -1;
    if (Wait)
        WaitForSingleObject(Process.hProcess, INFINITE);
    DWORD ExitCode = 0;
    GetExitCodeProcess(Process.hProcess, &ExitCode);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
    return static_cast<int32_t>(ExitCode);
}

int32_t RunBatFile(const std::string& FileName) {
    return RunBatFileEx(FileName, false);
}
