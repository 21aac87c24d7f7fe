#pragma once
// A private temporary folder per test, removed with everything in it.

#include "framework/core/SysUtils.h"
#include "framework/core/Win.h"

#include <string>

class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        FPath = IncludeTrailingBackslash(base) +
                Format("zel_fwcore_%lu_%d", static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    ~TempFolder() { Remove(FPath); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "\\" + name; }

private:
    static void Remove(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName;
                if (n == "." || n == "..")
                    continue;
                std::string full = dir + "\\" + n;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string FPath;
};
