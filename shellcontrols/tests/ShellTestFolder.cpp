#include "ShellTestFolder.h"

#include "framework/core/Win.h"

#include <gtest/gtest.h>

#include <atomic>

#include "shellcontrols/ShellUtils.h"

namespace {
std::atomic<int> GCounter{0};

// COM and the shell utilities for the whole test program.
class TShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override { NVShellUtilsStart(); }
    void TearDown() override { NVShellUtilsEnd(); }
};
[[maybe_unused]] ::testing::Environment* const GShellEnv =
    ::testing::AddGlobalTestEnvironment(new TShellEnvironment);
} // namespace

void RemoveTree(const std::string& Path) {
    WIN32_FIND_DATAA Data;
    HANDLE Find = FindFirstFileA((Path + "\\*").c_str(), &Data);
    if (Find != INVALID_HANDLE_VALUE) {
        do {
            std::string Name = Data.cFileName;
            if (Name == "." || Name == "..")
                continue;
            std::string Full = Path + "\\" + Name;
            if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(Full);
            else {
                SetFileAttributesA(Full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(Full.c_str());
            }
        } while (FindNextFileA(Find, &Data));
        FindClose(Find);
    }
    RemoveDirectoryA(Path.c_str());
}

TShellTestFolder::TShellTestFolder(const std::vector<std::string>& Entries) {
    FRoot = "Z:\\tmp\\zelshell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++GCounter) +
            "-" + std::to_string(GetTickCount() % 100000);
    CreateDirectoryA("Z:\\tmp", nullptr);
    CreateDirectoryA(FRoot.c_str(), nullptr);
    for (const std::string& E : Entries) {
        if (!E.empty() && E.back() == '\\')
            MakeFolder(E.substr(0, E.size() - 1));
        else
            MakeFile(E);
    }
}

TShellTestFolder::~TShellTestFolder() {
    RemoveTree(FRoot);
}

void TShellTestFolder::MakeFile(const std::string& Relative, const std::string& Content) const {
    HANDLE H = CreateFileA(Path(Relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(H, INVALID_HANDLE_VALUE) << Relative;
    DWORD Written = 0;
    WriteFile(H, Content.data(), static_cast<DWORD>(Content.size()), &Written, nullptr);
    CloseHandle(H);
}

void TShellTestFolder::MakeFolder(const std::string& Relative) const {
    ASSERT_TRUE(CreateDirectoryA(Path(Relative).c_str(), nullptr)) << Relative;
}
