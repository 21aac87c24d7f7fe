// Feeds mutated program modules to the module-resource readers and writers (the resource file
// system, its write stream, the form test, the raw-data loaders and adders) and reports crashes,
// hangs, and wrong answers: a read that differs from the bytes the platform finds, a write that
// claims success but does not read back byte for byte or changes another resource, and a failed
// write that left the module file different from before.
//
//   fuzz_resmodule <seed folder> <case folder> [seconds] [seed]
//   fuzz_resmodule --replay <case file>...
//   fuzz_resmodule --show <case file>...   (a replay that lists the resources before and after)
//
// Every failure is written into the case folder (cut down where the module keeps failing the same
// way); --replay runs kept cases again (0 when all pass). A case file is the module's bytes; the
// write it was found with is chosen again from the bytes themselves, so a replay repeats it.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "bench/FuzzFiles.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/ModuleResources.h"
#include "controls/foundation/ResFileSystem.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Streams.h"

namespace {

// ---- What the platform finds in a module: every (type, name, language) with its bytes.

struct Key {
    std::wstring type, name;
    uint16_t lang = 0;
    bool operator<(const Key& o) const {
        return std::tie(type, name, lang) < std::tie(o.type, o.name, o.lang);
    }
};
using ResourceMap = std::map<Key, std::string>;

std::wstring idText(const wchar_t* id) {
    if (IS_INTRESOURCE(id))
        return L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(id));
    return id;
}

// Ids as the platform takes them back: "#n" becomes the number.
struct Id {
    std::wstring text;
    const wchar_t* get() const {
        if (text.size() > 1 && text[0] == L'#')
            return MAKEINTRESOURCEW(static_cast<WORD>(std::wcstoul(text.c_str() + 1, nullptr, 10)));
        return text.c_str();
    }
};

uint32_t u32(const std::string& s, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= s.size() && at + 4 > at)
        std::memcpy(&v, s.data() + at, 4);
    return v;
}
uint16_t u16(const std::string& s, size_t at) {
    uint16_t v = 0;
    if (at + 2 <= s.size() && at + 2 > at)
        std::memcpy(&v, s.data() + at, 2);
    return v;
}
void put32(std::string& s, size_t at, uint32_t v) {
    if (at + 4 <= s.size())
        std::memcpy(&s[at], &v, 4);
}

// The file offset of the resource directory and of its section, or 0 when there is none.
struct ResourceSection {
    size_t start = 0, size = 0;
};

ResourceSection resourceSection(const std::string& s, std::vector<size_t>* headerFields = nullptr) {
    ResourceSection r;
    const uint32_t pe = u32(s, 0x3C);
    if (s.size() < 0x40 || s.compare(0, 2, "MZ") != 0 || size_t(pe) + 24 > s.size() || u32(s, pe) != 0x4550)
        return r;
    const uint16_t sections = u16(s, pe + 6), optSize = u16(s, pe + 20);
    const size_t opt = size_t(pe) + 24;
    const bool plus = u16(s, opt) == 0x20B;
    const size_t resDir = opt + (plus ? 112 : 96) + 2 * 8;
    if (headerFields)
        *headerFields = {size_t(pe) + 6, resDir, resDir + 4};
    const uint32_t resRva = u32(s, resDir);
    for (uint16_t i = 0; i < sections && i < 96; ++i) {
        const size_t sh = opt + optSize + i * 40u;
        if (sh + 40 > s.size())
            break;
        const uint32_t va = u32(s, sh + 12), raw = u32(s, sh + 16), ptr = u32(s, sh + 20);
        if (resRva >= va && uint64_t(resRva) < uint64_t(va) + std::max(raw, u32(s, sh + 8))) {
            if (headerFields)
                headerFields->insert(headerFields->end(), {sh + 8, sh + 12, sh + 16, sh + 20});
            r.start = size_t(ptr) + (resRva - va);
            r.size = raw > resRva - va ? raw - (resRva - va) : 0;
        }
    }
    if (r.start >= s.size())
        r = {};
    return r;
}

// The keys of a module's resource tree, read from the file by this program's own walk (the
// platform's enumeration does not survive every broken tree), each with the fields it was
// found through.
std::vector<Key> resourceKeys(const std::string& s, std::vector<size_t>* fields = nullptr) {
    std::vector<Key> keys;
    const ResourceSection r = resourceSection(s);
    if (!r.size)
        return keys;
    auto idAt = [&](uint32_t field) -> std::wstring {
        if (!(field & 0x80000000u))
            return L"#" + std::to_wstring(field & 0xFFFF);
        const size_t at = r.start + (field & 0x7FFFFFFFu);
        const uint16_t n = u16(s, at);
        std::wstring w;
        for (uint16_t i = 0; i < n && at + 2 + 2 * i + 2 <= s.size(); ++i)
            w += static_cast<wchar_t>(u16(s, at + 2 + 2 * i));
        return w;
    };
    // Each level: (directory offset, type, name).
    struct Dir {
        uint32_t off;
        int level;
        std::wstring type, name;
    };
    std::vector<Dir> dirs = {{0, 0, {}, {}}};
    for (size_t d = 0; d < dirs.size() && d < 600 && keys.size() < 2000; ++d) {
        const size_t at = r.start + dirs[d].off;
        if (at + 16 > s.size())
            continue;
        if (fields)
            fields->push_back(at + 12);
        const uint32_t n = std::min<uint32_t>(u16(s, at + 12) + u16(s, at + 14), 64);
        for (uint32_t e = 0; e < n; ++e) {
            const size_t entry = at + 16 + e * 8;
            if (entry + 8 > s.size())
                break;
            if (fields)
                fields->insert(fields->end(), {entry, entry + 4});
            const uint32_t id = u32(s, entry), off = u32(s, entry + 4);
            const bool sub = (off & 0x80000000u) != 0;
            if (dirs[d].level < 2) {
                if (!sub)
                    continue;
                Dir next{off & 0x7FFFFFFFu, dirs[d].level + 1, dirs[d].type, dirs[d].name};
                (dirs[d].level == 0 ? next.type : next.name) = idAt(id);
                dirs.push_back(next);
            } else if (!sub) {
                if (fields && r.start + off + 8 <= s.size())
                    fields->insert(fields->end(), {r.start + off, r.start + off + 4});
                if (!(id & 0x80000000u))
                    keys.push_back(Key{dirs[d].type, dirs[d].name, static_cast<uint16_t>(id)});
            }
        }
    }
    return keys;
}

// The call under way, named by the crash report.
const char* volatile gStage = "";

// Whether the whole range is mapped and readable (the fuzzer's own test, apart from the reader's).
bool readableMemory(const void* p, size_t size) {
    for (size_t done = 0; done < size;) {
        MEMORY_BASIC_INFORMATION info;
        const char* at = static_cast<const char*>(p) + done;
        if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT || info.Protect == 0 ||
            (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
            return false;
        done += static_cast<size_t>(static_cast<const char*>(info.BaseAddress) + info.RegionSize - at);
    }
    return true;
}

// False when the platform does not load the file as a data module. Every resource the walk
// finds, with the bytes the platform gives for it.
bool enumerate(const std::string& file, ResourceMap& out) {
    out.clear();
    gStage = "the fuzzer's own reading through the platform";
    const std::string bytes = readFile(file);
    HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        return false;
    for (const Key& k : resourceKeys(bytes)) {
        const Id t{k.type}, n{k.name};
        std::string data;
        HRSRC info = FindResourceExW(m, t.get(), n.get(), k.lang);
        if (info && !readableMemory(info, sizeof(IMAGE_RESOURCE_DATA_ENTRY))) {
            data = "<unreadable>";
        } else if (info) {
            const DWORD size = SizeofResource(m, info);
            HGLOBAL h = LoadResource(m, info);
            const void* p = h ? LockResource(h) : nullptr;
            if (p && size < (64u << 20) && readableMemory(p, size))
                data.assign(static_cast<const char*>(p), size);
            else
                data = "<unreadable>";
        } else {
            data = "<not found>";
        }
        out[k] = data;
    }
    FreeLibrary(m);
    return true;
}

bool readable(const std::string& v) {
    return v != "<unreadable>" && v != "<not found>";
}

std::string narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += (c > 32 && c < 127) ? static_cast<char>(c) : '?';
    return s;
}

bool plainName(const std::wstring& w) {
    if (w.empty() || w.size() > 40)
        return false;
    for (wchar_t c : w)
        if (c <= 32 || c >= 127 || c == L'.' || c == L'\\' || c == L'/')
            return false;
    return true;
}

// The name and the contents of every section but the resources', in order.
std::vector<std::string> otherSections(const std::string& s) {
    std::vector<std::string> out;
    const uint32_t pe = u32(s, 0x3C);
    const uint16_t count = u16(s, pe + 6), optSize = u16(s, pe + 20);
    const size_t opt = size_t(pe) + 24;
    const uint32_t resRva = u32(s, opt + (u16(s, opt) == 0x20B ? 112 : 96) + 16);
    for (uint16_t i = 0; i < count && i < 96; ++i) {
        const size_t sh = opt + optSize + i * 40u;
        const uint32_t extent = u32(s, sh + 8), va = u32(s, sh + 12), raw = u32(s, sh + 16),
                       ptr = u32(s, sh + 20);
        if (sh + 40 > s.size() || va == resRva || s.compare(sh, 6, std::string(".rsrc\0", 6)) == 0)
            continue;
        const size_t n = std::min<size_t>(raw, extent ? extent : raw);
        out.push_back(s.substr(sh, 8) + (ptr < s.size() ? s.substr(ptr, n) : std::string()));
    }
    return out;
}

// ---- The case: the module's bytes and a write chosen from them.

struct Write {
    enum Way { Update, RCData, StringRes, Stream, EmptyStream } way = Update;
    std::string type, name, data;
};

int gWay = -1; // when set, the way of writing every case takes

// The write follows from the bytes alone, so a kept case repeats its write on replay.
Write chooseWrite(const std::string& module, const ResourceMap& before) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < module.size(); i += 1 + module.size() / 4096)
        h = (h ^ static_cast<unsigned char>(module[i])) * 16777619u;
    h ^= static_cast<uint32_t>(module.size());
    std::mt19937 rng(h);
    Write w;
    const uint32_t way = rng() % 5;
    w.way = static_cast<Write::Way>(gWay >= 0 ? gWay : way);
    // The name: an existing plain one of the module, or a new one.
    std::vector<Key> plain;
    for (const auto& [k, v] : before)
        if (plainName(k.type) && plainName(k.name) && k.lang == 0)
            plain.push_back(k);
    const bool existing = !plain.empty() && rng() % 2;
    const Key pick = existing ? plain[rng() % plain.size()] : Key{};
    w.type = existing ? narrow(pick.type) : (rng() % 3 ? "#10" : "MYTYPE");
    w.name = existing ? narrow(pick.name) : (rng() % 4 ? "FUZZDATA" : "#77");
    if (w.way == Write::RCData || w.way == Write::StringRes)
        w.type = "#10";
    size_t size = rng() % 5 == 0 ? rng() % 8 : rng() % 6000;
    if (gWay >= 0 && std::getenv("FUZZ_SIZE"))
        size = std::strtoul(std::getenv("FUZZ_SIZE"), nullptr, 10);
    if (rng() % 4 == 0)
        w.data = "TPF0";
    while (w.data.size() < size)
        w.data += static_cast<char>(rng());
    if (w.way == Write::EmptyStream)
        w.data.clear();
    return w;
}

// The type part of a resource file name for the type as the platform takes it: a predefined type
// by its name, any other number as "#n" (a bare number would be a type name of its own).
std::string fileTypePart(const std::string& type) {
    if (type.size() > 1 && type[0] == '#') {
        const std::string named = StringFromRType(static_cast<uint32_t>(std::atoi(type.c_str() + 1)));
        if (named[0] < '0' || named[0] > '9')
            return named;
    }
    return type;
}

std::string gScratch;    // the folder of the module under test
std::string gCaseFolder; // where failures go
std::string gCurrent;    // the module under test, written out by the crash handlers

long gWrites = 0, gAccepted = 0; // writes tried and writes reported done
bool gExpectWrite = false;       // the seeds: real modules take every write
bool gShow = false;              // --show: print what the platform finds before and after the write

void show(const std::string& when, const ResourceMap& m) {
    std::printf("%s:\n", when.c_str());
    for (const auto& [k, v] : m)
        std::printf("  %s\\%s lang %u: %s\n", narrow(k.type).c_str(), narrow(k.name).c_str(), k.lang,
                    readable(v) ? (std::to_string(v.size()) + " bytes").c_str() : v.c_str());
}

// Empty when the case passes, else what went wrong.
std::string check(const std::string& module) {
    const std::string file = gScratch + "\\m.dll";
    writeFile(file, module);
    if (readFile(file) != module)
        return "the fuzzer could not write the module file (is it still mapped?)";
    ResourceMap before;
    const bool loads = enumerate(file, before);
    if (gShow)
        show("before", before);

    // The readers against the platform's own view.
    try {
        TResFileSystem fs;
        fs.SetFileName(file);
        int tried = 0;
        std::map<std::pair<std::wstring, std::wstring>, int> languages;
        for (const auto& [k, v] : before)
            ++languages[{k.type, k.name}];
        for (const auto& [k, v] : before) {
            if (!plainName(k.type) || !plainName(k.name) || languages[{k.type, k.name}] != 1 || ++tried > 12)
                continue;
            if (!readable(v))
                continue;
            const std::string type = narrow(k.type), name = narrow(k.name);
            const std::string fileName = fileTypePart(type) + "\\" + name + ".x";
            gStage = "TResFileSystem::FileExists";
            if (!fs.FileExists(fileName))
                return "FileExists misses " + fileName;
            gStage = "TResFileSystem::GetFileStream";
            std::unique_ptr<TStream> s(fs.GetFileStream(fileName, fmOpenRead));
            if (s->ReadRemaining() != v)
                return "the resource stream differs from the resource: " + fileName;
            const bool form = v.size() >= 4 && v.compare(0, 4, "TPF0") == 0;
            gStage = "IsFormInResource";
            if (IsFormInResource(file, name, type) != form)
                return "IsFormInResource is wrong for " + fileName;
            if (type == "#10") {
                gStage = "LoadStringFromRCData";
                HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
                const std::string got = m ? LoadStringFromRCData(name, m) : std::string("<no module>");
                if (m)
                    FreeLibrary(m);
                if (got != v)
                    return "LoadStringFromRCData differs for " + name;
            }
        }
        if (fs.FileExists("RCDATA\\NO_SUCH_RESOURCE_HERE"))
            return "FileExists finds a missing resource";
        gStage = "IsFormInResource";
        bool threw = false;
        try {
            IsFormInResource(file, "NO_SUCH_RESOURCE_HERE", "#10");
        } catch (const EHSError&) {
            threw = true;
        }
        if (threw == loads)
            return loads ? "IsFormInResource refuses a module the platform loads"
                         : "IsFormInResource answers for a module the platform refuses";
    } catch (const Exception& e) {
        return std::string("read raised: ") + e.Message();
    }

    // One write, then the whole module again.
    const Write w = chooseWrite(module, before);
    bool ok = false;
    std::string way;
    gStage = "a write";
    if (gShow) {
        std::printf("writing %d: %s\\%s, %zu bytes\n", static_cast<int>(w.way), w.type.c_str(),
                    w.name.c_str(), w.data.size());
        std::fflush(stdout);
    }
    try {
        switch (w.way) {
        case Write::Update:
            way = "ResourceUpdate";
            ok = ResourceUpdate(file, w.type, w.name, 0, w.data.data(), static_cast<uint32_t>(w.data.size()));
            break;
        case Write::RCData:
            way = "AddRCDataResource";
            ok = AddRCDataResource(file, w.name, w.data.data(), static_cast<uint32_t>(w.data.size()));
            break;
        case Write::StringRes:
            way = "AddStringResource";
            ok = AddStringResource(file, w.name, w.data);
            break;
        case Write::Stream:
        case Write::EmptyStream: {
            way = w.way == Write::Stream ? "TResWriteStream" : "TResWriteStream (empty)";
            TResFileSystem fs;
            fs.SetFileName(file);
            std::unique_ptr<TStream> s(fs.GetFileStream(fileTypePart(w.type) + "\\" + w.name, fmCreate));
            if (!w.data.empty())
                s->WriteString(w.data);
            auto* ws = static_cast<TResWriteStream*>(s.get());
            try {
                ws->Flush();
                ok = true;
            } catch (const EHSError&) {
                ok = false;
            }
            break;
        }
        }
    } catch (const Exception& e) {
        return way + " raised: " + e.Message();
    }
    way += " of " + w.type + "\\" + w.name + " (" + std::to_string(w.data.size()) + " bytes)";
    const std::string afterBytes = readFile(file);
    if (gShow) {
        const std::string kept = gScratch + "\\after.dll";
        writeFile(kept, afterBytes);
        std::printf("the module after the write: %s\n", kept.c_str());
    }
    ++gWrites;
    gAccepted += ok;
    if (!ok) {
        // The platform's update keeps no empty resource: an empty write is refused, rightly.
        if (gExpectWrite && !w.data.empty())
            return "a write to an unchanged real module was refused: " + way;
        if (afterBytes != module)
            return "a failed write changed the module file: " + way;
        return "";
    }
    if (w.way == Write::StringRes && w.data.empty())
        return "an empty string was reported as written";
    ResourceMap after;
    if (!enumerate(file, after))
        return "a write reported success left a module the platform refuses: " + way;
    if (gShow)
        show("after " + way, after);
    if (!loads)
        return "a write reported success on a module the platform refuses: " + way;
    const Id t{std::wstring(w.type.begin(), w.type.end())};
    const Key target{idText(t.get()), std::wstring(w.name.begin(), w.name.end()), 0};
    Key written = target;
    // Names are kept as the platform stores them; find ours again without case.
    for (const auto& [k, v] : after)
        if (k.type == target.type && k.lang == 0 && lstrcmpiW(k.name.c_str(), target.name.c_str()) == 0)
            written = k;
    auto it = after.find(written);
    if (it == after.end())
        return "the written resource is missing: " + way;
    if (it->second != w.data)
        return "the written resource reads back different: " + way + ", " +
               std::to_string(it->second.size()) + " bytes read";
    if (otherSections(afterBytes) != otherSections(module))
        return "a section outside the resources changed: " + way;
    for (const auto& [k, v] : before) {
        if (!readable(v))
            continue;
        if (k.type == written.type && k.lang == 0 && lstrcmpiW(k.name.c_str(), written.name.c_str()) == 0)
            continue;
        auto a = after.find(k);
        if (a == after.end())
            return "another resource was lost: " + narrow(k.type) + "\\" + narrow(k.name) + " by " + way;
        if (a->second != v)
            return "another resource changed: " + narrow(k.type) + "\\" + narrow(k.name) + " by " + way;
    }
    return "";
}

// ---- Mutations that know where a module keeps its resources.

struct Layout {
    std::vector<size_t> headerFields;   // file offsets of section-header and directory fields
    std::vector<size_t> resourceFields; // file offsets of resource-directory fields
    size_t rsrcStart = 0, rsrcSize = 0;
};

Layout layoutOf(const std::string& s) {
    Layout l;
    const ResourceSection r = resourceSection(s, &l.headerFields);
    l.rsrcStart = r.start;
    l.rsrcSize = r.size;
    resourceKeys(s, &l.resourceFields);
    return l;
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng_) : 0; }

    std::string mutate(const std::string& in, const std::vector<std::string>& seeds) {
        std::string s = in;
        const int rounds = 1 + static_cast<int>(below(3));
        for (int r = 0; r < rounds; ++r) {
            const Layout l = layoutOf(s);
            static const uint32_t bounds[] = {0,          1,          4,          8,          16,
                                              0x7FFFFFFF, 0x80000000, 0x80000010, 0xFFFFFFFF, 0xFFFFFFF0,
                                              0x1000,     0x10000,    0x7FFF0000};
            switch (below(8)) {
            case 0: // byte flips anywhere
                for (size_t i = 0, n = 1 + below(6); i < n && !s.empty(); ++i)
                    s[below(s.size())] ^= static_cast<char>(1u << below(8));
                break;
            case 1: // truncation, often inside the resources
                if (l.rsrcSize && below(2))
                    s.resize(std::min(s.size(), l.rsrcStart + below(l.rsrcSize + 1)));
                else
                    s.resize(below(s.size() + 1));
                break;
            case 2: // bytes of the resource directory
                for (size_t i = 0, n = 1 + below(8); i < n && l.rsrcSize; ++i) {
                    const size_t at = l.rsrcStart + below(std::min<size_t>(l.rsrcSize, 1024));
                    if (at < s.size())
                        s[at] = static_cast<char>(below(256));
                }
                break;
            case 3: // a directory field: a boundary, a back reference (a cycle) or off by a little
                if (!l.resourceFields.empty()) {
                    const size_t at = l.resourceFields[below(l.resourceFields.size())];
                    const uint32_t old = u32(s, at);
                    switch (below(3)) {
                    case 0:
                        put32(s, at, bounds[below(std::size(bounds))]);
                        break;
                    case 1:
                        put32(s, at, 0x80000000u | static_cast<uint32_t>(below(64) * 8));
                        break;
                    default:
                        put32(s, at, old + static_cast<uint32_t>(below(64)) - 32);
                    }
                }
                break;
            case 4: // a section-header or data-directory field
                if (!l.headerFields.empty()) {
                    const size_t at = l.headerFields[below(l.headerFields.size())];
                    if (below(2))
                        put32(s, at, bounds[below(std::size(bounds))]);
                    else
                        put32(s, at, u32(s, at) + static_cast<uint32_t>(below(0x2000)) - 0x1000);
                }
                break;
            case 5: { // a piece of another module, often its resources over ours
                const std::string& o = seeds[below(seeds.size())];
                const Layout ol = layoutOf(o);
                size_t from = below(o.size() + 1), n = below(4096);
                if (ol.rsrcSize && below(2)) {
                    from = ol.rsrcStart;
                    n = ol.rsrcSize;
                }
                const size_t at = l.rsrcSize && below(2) ? l.rsrcStart : below(s.size() + 1);
                const std::string piece = o.substr(std::min(from, o.size()), n);
                if (below(2))
                    s.replace(std::min(at, s.size()), piece.size(), piece);
                else
                    s.insert(std::min(at, s.size()), piece);
                break;
            }
            case 6: { // bytes inserted or removed, so that offsets miss
                const size_t at = below(s.size() + 1), n = 1 + below(64);
                if (below(2))
                    s.insert(at, n, static_cast<char>(below(256)));
                else
                    s.erase(at, n);
                break;
            }
            default: // a data entry made to reach past the end
                if (!l.resourceFields.empty()) {
                    const size_t at = l.resourceFields[below(l.resourceFields.size())];
                    put32(s, at, static_cast<uint32_t>(s.size() + below(0x100000)));
                }
            }
        }
        if (s.size() > 8u << 20)
            s.resize(8u << 20);
        return s;
    }

private:
    std::mt19937 rng_;
};

// ---- Running a case with a time limit.

struct Call {
    const std::string* module;
    std::string result;
};

DWORD WINAPI runCheck(void* p) {
    auto* c = static_cast<Call*>(p);
    c->result = check(*c->module);
    return 0;
}

constexpr DWORD kHang = 60000;

void saveCase(const std::string& name, const std::string& bytes) {
    writeFile(gCaseFolder + "\\" + name, bytes);
}

std::string timedCheck(const std::string& module) {
    gCurrent = module;
    auto* c = new Call{&gCurrent, {}};
    HANDLE t = CreateThread(nullptr, 1 << 24, runCheck, c, 0, nullptr);
    if (!t)
        return check(module);
    if (WaitForSingleObject(t, kHang) == WAIT_TIMEOUT) {
        saveCase("hang.dll", module);
        std::printf("HANG: case written to hang.dll\n");
        std::fflush(stdout);
        std::_Exit(4);
    }
    CloseHandle(t);
    std::string r = std::move(c->result);
    delete c;
    return r;
}

std::string kindOf(const std::string& failure) {
    return failure.substr(0, failure.find(':'));
}

// Cuts a failing module down while it keeps failing the same way: bytes put back as the seed had
// them where the lengths agree, then ranges cut, both within a time budget.
std::string shrink(std::string data, const std::string& seed, const std::string& failure) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    auto inTime = [&] { return std::chrono::steady_clock::now() < end; };
    const std::string kind = kindOf(failure);
    if (data.size() == seed.size()) {
        for (size_t chunk = data.size() / 2; chunk >= 1 && inTime(); chunk /= 2)
            for (size_t at = 0; at < data.size() && inTime(); at += chunk) {
                const size_t n = std::min(chunk, data.size() - at);
                if (data.compare(at, n, seed, at, n) == 0)
                    continue;
                std::string back = data;
                back.replace(at, n, seed, at, n);
                if (kindOf(timedCheck(back)) == kind)
                    data = std::move(back);
            }
    }
    for (size_t chunk = data.size() / 2; chunk >= 256 && inTime(); chunk /= 2) {
        const std::string cut = data.substr(0, data.size() - chunk);
        if (kindOf(timedCheck(cut)) == kind)
            data = cut;
    }
    return data;
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
    saveCase("crash.dll", gCurrent);
    // Where it happened: the module and the offset in it.
    void* at = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionAddress : nullptr;
    HMODULE where = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(at), &where))
        GetModuleFileNameA(where, name, MAX_PATH);
    std::fprintf(
        stderr, "CRASH (exception 0x%08lX in %s+0x%llx, during %s): case written to crash.dll\n",
        info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0ul, name,
        static_cast<unsigned long long>(static_cast<const char*>(at) - reinterpret_cast<const char*>(where)),
        gStage);
    std::fflush(stderr);
    std::_Exit(3);
}

void onAbort(int) {
    saveCase("crash.dll", gCurrent);
    std::fprintf(stderr, "CRASH (abort: a checked-mode assertion): case written to crash.dll\n");
    std::fflush(stderr);
    std::_Exit(3);
}

std::vector<std::string> seedNames;

std::vector<std::string> seedsFrom(const std::string& folder) {
    std::vector<std::string> seeds;
    for (const SeedFile& file : seedFilesIn(folder)) {
        seeds.push_back(file.bytes);
        seedNames.push_back(file.name);
    }
    return seeds;
}

std::string makeScratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "fuzz-resmodule-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

} // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(onCrash);
    std::signal(SIGABRT, onAbort);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    gScratch = makeScratch();
    if (argc >= 2 && (std::strcmp(argv[1], "--replay") == 0 || std::strcmp(argv[1], "--show") == 0)) {
        gShow = argv[1][2] == 's';
        // FUZZ_WAY=0..4 repeats a case with another way of writing.
        if (const char* way = std::getenv("FUZZ_WAY"))
            gWay = std::atoi(way);
        gCaseFolder = gScratch;
        return replayKeptCases(argc, argv, 2,
                               [](const std::string& name) { return timedCheck(readFile(name)); });
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_resmodule <seed folder> <case folder> [seconds] [seed]\n");
        return 2;
    }
    gCaseFolder = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 300.0;
    const uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1;
    const std::vector<std::string> seeds = seedsFrom(argv[1]);
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed modules in %s\n", argv[1]);
        return 2;
    }
    gExpectWrite = true;
    for (size_t i = 0; i < seeds.size(); ++i)
        for (gWay = 0; gWay < 5; ++gWay) {
            const std::string failure = timedCheck(seeds[i]);
            if (!failure.empty()) {
                std::printf("seed %s fails: %s\n", seedNames[i].c_str(), failure.c_str());
                return 1;
            }
        }
    gWay = -1;
    gExpectWrite = false;
    Mutator m(seed);
    const auto start = std::chrono::steady_clock::now();
    long runs = 0, found = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        const std::string& origin = seeds[m.below(seeds.size())];
        const std::string module = m.mutate(origin, seeds);
        ++runs;
        const std::string failure = timedCheck(module);
        if (failure.empty())
            continue;
        const std::string small = shrink(module, origin, failure);
        const std::string name = "case" + std::to_string(++found) + ".dll";
        saveCase(name, small);
        std::printf("%s (%zu bytes, after %ld runs): %s\n   kept as: %s\n", name.c_str(), small.size(), runs,
                    failure.c_str(), timedCheck(small).c_str());
        std::fflush(stdout);
        if (found >= 10)
            break;
    }
    std::printf(
        "%ld runs in %.0f s, %ld failures; %ld of %ld writes to mutated modules were done, the others "
        "refused\n",
        runs, seconds, found, gAccepted, gWrites);
    std::string rm = gScratch + "\\m.dll";
    DeleteFileA(rm.c_str());
    RemoveDirectoryA(gScratch.c_str());
    return found ? 1 : 0;
}
