#include "framework/core/Win.h"

#include "TestFolder.h"

#include <fstream>
#include <iterator>

namespace {

void RemoveTree(const std::string& Dir) {
    WIN32_FIND_DATAA Data;
    HANDLE H = FindFirstFileA((Dir + "*").c_str(), &Data);
    if (H != INVALID_HANDLE_VALUE) {
        do {
            const std::string Name = Data.cFileName;
            if (Name == "." || Name == "..")
                continue;
            if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(Dir + Name + "\\");
            } else {
                SetFileAttributesA((Dir + Name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((Dir + Name).c_str());
            }
        } while (FindNextFileA(H, &Data));
        FindClose(H);
    }
    RemoveDirectoryA(Dir.c_str());
}

} // namespace

TTestFolder::TTestFolder() {
    char Temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, Temp);
    static int Serial = 0;
    for (;;) {
        FPath = std::string(Temp) + "zelfound" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++Serial) + "\\";
        if (CreateDirectoryA(FPath.c_str(), nullptr))
            break;
    }
}

TTestFolder::~TTestFolder() {
    RemoveTree(FPath);
}

std::string ReadWholeFile(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& FileName, const std::string& Data) {
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out << Data;
}

TScopedEnvironment::TScopedEnvironment(const std::string& Name, const std::string& Value) : FName(Name) {
    const DWORD N = GetEnvironmentVariableA(Name.c_str(), nullptr, 0);
    FHad = N > 0;
    if (FHad) {
        FOld.resize(N);
        FOld.resize(GetEnvironmentVariableA(Name.c_str(), FOld.data(), N));
    }
    Set(Value);
}

TScopedEnvironment::~TScopedEnvironment() {
    SetEnvironmentVariableA(FName.c_str(), FHad ? FOld.c_str() : nullptr);
}

void TScopedEnvironment::Set(const std::string& Value) {
    SetEnvironmentVariableA(FName.c_str(), Value.c_str());
}
