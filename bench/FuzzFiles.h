#pragma once
// Whole files as byte strings, and the seed files of a folder: what every fuzzer reads and keeps.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The replay of kept cases: Check (case file name to failure, empty when fine) runs on every file
// named from argv[First] on; each result and the count of failures are printed. The exit code: 1
// when any case fails.
template <typename Check> int replayKeptCases(int argc, char** argv, int first, Check&& check) {
    int failed = 0;
    for (int i = first; i < argc; ++i) {
        const std::string failure = check(std::string(argv[i]));
        std::printf("%s: %s\n", argv[i], failure.empty() ? "fine" : failure.c_str());
        failed += !failure.empty();
    }
    std::printf("%d of %d kept cases fail\n", failed, argc - first);
    return failed ? 1 : 0;
}

struct SeedFile {
    std::string name;
    std::string bytes;
};

// The files directly in Folder, in name order, so that a seed's number names the same file in every
// run and a run given the same random seed repeats itself.
inline std::vector<SeedFile> seedFilesIn(const std::string& folder) {
    std::vector<SeedFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            files.push_back({entry.path().filename().string(), readFile(entry.path().string())});
    std::sort(files.begin(), files.end(),
              [](const SeedFile& a, const SeedFile& b) { return a.name < b.name; });
    return files;
}
