#include "spell/tests/SpellTestSupport.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

#include "spell/MainDictionaryFormat.h"

TempFolder::TempFolder() {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        std::string p = std::string(base) + "zel-spell-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(++counter);
        if (CreateDirectoryA(p.c_str(), nullptr)) {
            FPath = p;
            return;
        }
    }
}

namespace {

void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace

TempFolder::~TempFolder() {
    removeTree(FPath);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int32_t ReadLE32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                static_cast<uint32_t>(b[at + 3]) << 24);
}

void PutLE32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

namespace {

// Title "Tiny" (4 code units): the node tables start at 1024 + 1 + 10 + 48.
constexpr size_t kP0 = 1024 + 1 + 10 + 48;

void push32(std::vector<uint8_t>& f, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t node(char c, uint32_t link, uint32_t count, bool end) {
    return static_cast<uint8_t>(c) | (link & 0xFFFFF) << 8 | (count & 7) << 28 | (end ? 0x80000000u : 0);
}

} // namespace

size_t TinyWdm::NodeOffset(int n, bool) {
    // Nodes 0-9 are level 0 (4 bytes each); node 10 is the only level-2 node.
    return n < 10 ? kP0 + static_cast<size_t>(n) * 4 : kP0 + 40;
}

size_t TinyWdm::LinkageLengthOffset() {
    return kP0 + 40 + 6;
}

std::vector<uint8_t> TinyWdm::Build() const {
    std::vector<uint8_t> f(1024, 0);
    std::memcpy(f.data(), kMainDictionarySignature, 123);
    f.push_back(4); // title length
    for (char c : std::string("Tiny")) {
        f.push_back(static_cast<uint8_t>(c));
        f.push_back(0);
    }
    f.push_back(0);
    f.push_back(0);
    push32(f, 1033);                           // English (United States)
    push32(f, 6);                              // second value: the word count
    push32(f, longReferences ? 65535 : 65534); // reference-width selector
    const uint32_t counts[9] = {10, 0, 1, 0, 0, 0, 0, 0, 0};
    for (uint32_t c : counts)
        push32(f, c);
    // Linkage: [0] count byte 3, refs 1 2 3 (the first characters a, c, d); then the list of the
    // node after "ca": 10 ("r" + "pe") and 6 ("t").
    std::vector<uint8_t> linkage;
    std::vector<uint32_t> offsets;
    auto ref = [&](uint32_t n) {
        if (longReferences) {
            linkage.push_back(static_cast<uint8_t>(128 + (n >> 8)));
            linkage.push_back(static_cast<uint8_t>(n));
        } else {
            linkage.push_back(static_cast<uint8_t>(n));
            linkage.push_back(static_cast<uint8_t>(n >> 8));
        }
    };
    linkage.push_back(3);
    ref(1);
    ref(2);
    ref(3);
    uint32_t caList = static_cast<uint32_t>(linkage.size());
    ref(10);
    ref(6);
    const uint32_t none = 0xFFFFF;
    push32(f, node(0, 0, 0, false));        // 0 root: count byte at 0
    push32(f, node('a', 4, 1, true));       // 1 "a"
    push32(f, node('c', 5, 1, false));      // 2 "c"
    push32(f, node('d', 9, 1, false));      // 3 "d"
    push32(f, node('t', none, 0, true));    // 4 "at"
    push32(f, node('a', caList, 2, false)); // 5 "ca"
    push32(f, node('t', 7, 1, true));       // 6 "cat"
    push32(f, node('s', none, 0, true));    // 7 "cats"
    push32(f, node('t', none, 0, true));    // 8 "carpet"
    push32(f, node('o', none, 0, true));    // 9 "do"
    push32(f, node('r', 8, 1, false));      // 10 "car" + run "pe"
    f.push_back('p');
    f.push_back('e');
    push32(f, static_cast<uint32_t>(linkage.size()));
    f.insert(f.end(), linkage.begin(), linkage.end());
    std::vector<uint8_t> first(2048, 0);
    auto entry = [&](char c, bool one, uint8_t count, uint32_t link) {
        uint8_t* e = &first[static_cast<uint8_t>(c) * 8u];
        e[0] = one ? 1 : 0;
        e[1] = count;
        for (int i = 0; i < 4; ++i)
            e[4 + i] = static_cast<uint8_t>(link >> (8 * i));
    };
    entry('a', true, 1, 4);
    entry('c', false, 1, 5);
    entry('d', false, 1, 9);
    f.insert(f.end(), first.begin(), first.end());
    f.insert(f.end(), 1024, 0);
    return f;
}

std::string ProgramFolder() {
    char buf[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string p = buf;
    return p.substr(0, p.find_last_of("\\/"));
}

std::string BuildDictionaryFolder() {
    return ProgramFolder() + "\\Dictionary";
}

bool HaveBuildDictionary() {
    return GetFileAttributesA((BuildDictionaryFolder() + "\\American.wdm").c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}
