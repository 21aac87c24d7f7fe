// Feeds projects of mutated real source files, with include directives between them (chains,
// cycles, unit paths, missing files, resources), through the include parser and reports crashes,
// hangs and wrong answers: a token or a reported file name made of bytes the files do not hold,
// a file open twice on the include path at once, a cycle skipped at a file that is not open,
// a peek that does not read again the same way after it is undone, an exception other than the
// parser's own error, and two runs of the same project that differ. Unit-path lists go through
// the list splitter on the way.
//
//   fuzz_include <seed folder> <case folder> [seconds] [seed]
//   fuzz_include --replay <case file>...
//   fuzz_include --trace <case file>    (a replay that prints every token read)
//
// A case file holds a whole project (its files, unit paths and the peeks made); every failure is
// cut down and written into the case folder; --replay runs kept cases again (0 when all pass).
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "bench/FuzzFiles.h"
#include "controls/textmodel/ModuleParser.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

// ---- A project: files relative to its folder ("main.pas" is parsed), the unit-path list (where
// "%D" stands for the folder), whether a handler skips missing includes, and the peeks' seed.

struct Project {
    std::vector<std::pair<std::string, std::string>> files;
    std::string unitPaths;
    bool handler = true;
    uint32_t peekSeed = 1;
};

std::string serialise(const Project& p) {
    std::string out = "fuzz-include 1\n";
    auto field = [&](const std::string& key, const std::string& value) {
        out += key + " " + std::to_string(value.size()) + "\n" + value + "\n";
    };
    field("handler", p.handler ? "1" : "0");
    field("peek", std::to_string(p.peekSeed));
    field("paths", p.unitPaths);
    for (const auto& [name, text] : p.files)
        field("file:" + name, text);
    return out;
}

bool deserialise(const std::string& s, Project& p) {
    size_t at = s.find('\n');
    if (at == std::string::npos || s.compare(0, at, "fuzz-include 1") != 0)
        return false;
    ++at;
    while (at < s.size()) {
        const size_t blank = s.find(' ', at), eol = s.find('\n', at);
        if (blank == std::string::npos || eol == std::string::npos || blank > eol)
            return false;
        const std::string key = s.substr(at, blank - at);
        const size_t n = std::strtoul(s.c_str() + blank + 1, nullptr, 10);
        if (eol + 1 + n > s.size())
            return false;
        const std::string value = s.substr(eol + 1, n);
        at = eol + 1 + n + 1;
        if (key == "handler")
            p.handler = value == "1";
        else if (key == "peek")
            p.peekSeed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        else if (key == "paths")
            p.unitPaths = value;
        else if (key.compare(0, 5, "file:") == 0)
            p.files.emplace_back(key.substr(5), value);
    }
    return true;
}

// What the runs reached, for the summary: peeks made, cycles stopped, parser errors, the deepest
// include path.
long gPeeks = 0, gCycles = 0, gErrors = 0;
size_t gDeepest = 0;
bool gTrace = false;     // --trace: print every token read
std::string gFolder;     // the project's folder, with a trailing backslash
std::string gCaseFolder; // where failures go
std::string gCurrent;    // the project under test, written out by the crash handlers

void writeProject(const Project& p) {
    // Files of the last project go first, so that only this project's files exist.
    WIN32_FIND_DATAA data;
    for (const char* sub : {"", "lib\\"}) {
        HANDLE find = FindFirstFileA((gFolder + sub + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((gFolder + sub + data.cFileName).c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    CreateDirectoryA((gFolder + "lib").c_str(), nullptr);
    for (const auto& [name, text] : p.files)
        writeFile(gFolder + name, text);
}

std::string unitPathsOf(const Project& p) {
    std::string s = p.unitPaths;
    for (size_t at; (at = s.find("%D")) != std::string::npos;)
        s.replace(at, 2, gFolder.substr(0, gFolder.size() - 1));
    return s;
}

// The splitter: items trimmed, not empty, without ';', in the order of the text.
std::string checkSplit(const std::string& text) {
    size_t from = 0;
    const std::vector<std::string> items = SplitSemicolonList(text);
    if (items.size() > size_t(std::count(text.begin(), text.end(), ';')) + 1)
        return "the list splitter gives more items than the text has parts";
    for (const std::string& item : items) {
        if (item.empty() || item.find(';') != std::string::npos || Trim(item) != item)
            return "the list splitter gives an item not trimmed or holding ';': [" + item + "]";
        const size_t at = text.find(item, from);
        if (at == std::string::npos)
            return "the list splitter gives an item not in the text, or out of order: [" + item + "]";
        from = at + item.size();
    }
    return "";
}

bool sameFile(const std::string& a, const std::string& b) {
    return SameText(ExpandFileName(a), ExpandFileName(b));
}

// An include parser that calls back after every include directive it follows, while the files
// open are still those of the moment the directive was read.
class TCheckedParser : public THSIncludeParser {
public:
    std::function<void()> AfterInclude;
    void ParseIncludeFile(const std::string& name, bool isInclude) override {
        THSIncludeParser::ParseIncludeFile(name, isInclude);
        if (AfterInclude)
            AfterInclude();
    }
};

// The transcript of one run and the first thing found wrong in it.
struct Run {
    std::string transcript, failure;
};

Run parse(const Project& p) {
    Run r;
    const std::string mainFile = gFolder + "main.pas";
    std::string mainText;
    std::vector<std::string> texts, upperTexts;
    for (const auto& [name, text] : p.files) {
        // A file's text ends at its first 0 byte for the parser.
        texts.push_back(text.substr(0, text.find('\0')));
        upperTexts.push_back(UpperCase(texts.back()));
        // A directive's file name loses its single quotes wherever they stand.
        std::string unquoted = upperTexts.back();
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '\''), unquoted.end());
        upperTexts.push_back(unquoted);
        if (name == "main.pas")
            mainText = text;
    }
    auto inInput = [&](const std::string& s, const std::vector<std::string>& in) {
        for (const std::string& t : in)
            if (t.find(s) != std::string::npos)
                return true;
        return false;
    };
    const std::string paths = unitPathsOf(p);
    if (std::string f = checkSplit(paths); !f.empty()) {
        r.failure = f;
        return r;
    }

    TCheckedParser parser;
    parser.SetParsedFileName(mainFile);
    parser.LoadUnitPaths(paths);
    int asked = 0;
    if (p.handler)
        parser.OnFileConfirm = [&](std::string&, bool& considerEmpty) {
            ++asked;
            considerEmpty = true;
        };
    std::mt19937 peeks(p.peekSeed);
    size_t skipped = 0, tokens = 0;
    bool peeking = false;
    const size_t fileCount = p.files.size();

    // The checks made after every token read, a peek's included; false when one fails.
    auto checkState = [&](int32_t kind) {
        const std::string raw = parser.RawTokenString();
        if (gTrace)
            std::printf("%s%d:%s  open %zu\n", peeking ? "  peek " : "", kind, raw.c_str(),
                        parser.OpenIncludeFiles().size());
        if (kind != tokEof && tokens < 4000 && !raw.empty() && !inInput(raw, texts)) {
            r.failure = "a token holds bytes no file holds: [" + raw.substr(0, 80) + "]";
            return false;
        }
        const std::vector<std::string> open = parser.OpenIncludeFiles();
        gDeepest = std::max(gDeepest, open.size());
        if (open.size() > fileCount) {
            r.failure = "more includes open than the project has files";
            return false;
        }
        for (size_t i = 0; i < open.size(); ++i) {
            if (sameFile(open[i], mainFile)) {
                r.failure = "the parsed file is open as an include";
                return false;
            }
            for (size_t j = 0; j < i; ++j)
                if (sameFile(open[i], open[j])) {
                    r.failure = "a file is open twice on the include path: " + open[i];
                    return false;
                }
        }
        return r.failure.empty();
    };
    // A cycle is stopped at a file open at that moment.
    parser.AfterInclude = [&] {
        const std::vector<std::string> open = parser.OpenIncludeFiles();
        for (; skipped < parser.SkippedCycles().size(); ++skipped) {
            const std::string& name = parser.SkippedCycles()[skipped];
            r.transcript += "skipped " + name + "\n";
            ++gCycles;
            bool onPath = sameFile(name, mainFile);
            for (const std::string& o : open)
                onPath = onPath || sameFile(name, o);
            if (!onPath && r.failure.empty())
                r.failure = "an include was skipped as a cycle but is not open: " + name;
        }
    };
    auto afterToken = [&](int32_t kind) {
        ++tokens;
        r.transcript += std::to_string(kind) + ":" + parser.RawTokenString() + "\n";
        return checkState(kind);
    };

    try {
        parser.SetText(mainText);
        for (;;) {
            if (tokens > 300000) {
                r.transcript += "cut at 300000 tokens\n";
                break;
            }
            // Now and then a peek: what is read after it is undone must be what the peek read.
            if (peeks() % 29 == 0) {
                const int n = 1 + static_cast<int>(peeks() % 40);
                std::vector<std::string> ahead;
                parser.PushState();
                ++gPeeks;
                peeking = true;
                for (int i = 0; i < n; ++i) {
                    const int32_t kind = parser.NextToken();
                    ahead.push_back(std::to_string(kind) + ":" + parser.RawTokenString());
                    if (!checkState(kind))
                        return r;
                    if (kind == tokEof)
                        break;
                }
                parser.PopState();
                peeking = false;
                if (gTrace)
                    std::printf("  (peek undone, open %zu)\n", parser.OpenIncludeFiles().size());
                for (const std::string& expected : ahead) {
                    const int32_t kind = parser.NextToken();
                    if (std::to_string(kind) + ":" + parser.RawTokenString() != expected) {
                        r.failure =
                            "a peek read differently from the reading after it: " + expected.substr(0, 60);
                        return r;
                    }
                    if (!afterToken(kind))
                        return r;
                }
                continue;
            }
            const int32_t kind = parser.NextToken();
            if (!afterToken(kind))
                return r;
            if (kind == tokEof)
                break;
        }
        if (parser.IncludeDepth() != 0 && tokens <= 300000) {
            r.failure = "includes are still open at the end";
            return r;
        }
    } catch (const EParserError& e) {
        r.transcript += std::string("error: ") + e.what() + "\n";
        ++gErrors;
    } catch (const Exception& e) {
        r.failure = std::string("unexpected exception ") + typeid(e).name() + ": " + e.Message();
        return r;
    } catch (const std::exception& e) {
        r.failure = std::string("standard exception: ") + e.what();
        return r;
    }

    // Every file reported was named by a directive: the name, or the name without the extension
    // the search adds, is in a text, or it is the parsed file's name for a "*" directive.
    std::vector<std::string> folders = {UpperCase(gFolder)};
    for (const std::string& u : parser.UnitPaths())
        folders.push_back(UpperCase(u));
    for (const auto& [key, isInclude] : parser.IncludedFiles()) {
        r.transcript += "file " + key + (isInclude ? " include\n" : " resource\n");
        bool named = inInput(key, upperTexts);
        for (const std::string& folder : folders) {
            if (named || key.compare(0, folder.size(), folder) != 0)
                continue;
            const std::string rest = key.substr(folder.size());
            const std::string ext = UpperCase(ExtractFileExt(rest));
            const std::string bare = rest.substr(0, rest.size() - ext.size());
            named = inInput(rest, upperTexts) ||
                    ((ext == ".PAS" || ext == ".RES") && inInput(bare, upperTexts)) ||
                    (bare == "MAIN" && inInput("*", upperTexts));
        }
        if (!named) {
            r.failure = "a reported file was named by no directive: " + key;
            return r;
        }
    }
    r.transcript += "asked " + std::to_string(asked) + "\n";
    return r;
}

std::string check(const Project& p) {
    gCurrent = serialise(p);
    writeProject(p);
    const Run first = parse(p);
    if (!first.failure.empty())
        return first.failure;
    const Run second = parse(p);
    if (!second.failure.empty())
        return second.failure;
    if (first.transcript != second.transcript)
        return "two runs of the same project differ";
    return "";
}

// ---- Making projects.

class Generator {
public:
    Generator(uint32_t seed, const std::vector<std::string>& seeds) : rng_(seed), seeds_(seeds) {}
    size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng_) : 0; }

    Project make() {
        Project p;
        p.handler = below(4) != 0;
        p.peekSeed = static_cast<uint32_t>(rng_());
        const size_t incs = 1 + below(8);
        const size_t chain = below(3) == 0 ? 5 + below(70) : 0;
        names_.clear();
        for (size_t i = 0; i < incs; ++i)
            names_.push_back("f" + std::to_string(i) + ".inc");
        // A unit-path list with blanks and empty items around the real folder.
        const char* const lists[] = {"%D\\lib", " ; %D\\lib ;", ";;%D\\lib;%D", "  %D\\lib\t;x;;", "",
                                     ";",       "%D\\lib;"};
        p.unitPaths = lists[below(std::size(lists))];
        p.files.emplace_back("main.pas", text(chain));
        for (const std::string& n : names_)
            p.files.emplace_back(n, text(chain));
        p.files.emplace_back("lib\\l0.inc", text(chain));
        p.files.emplace_back("f1.pas", text(chain));
        if (below(2))
            p.files.emplace_back("main.res", "");
        // Now and then the names real directives of the texts ask for, each with another real
        // text, whose own directives may ask for more: a real include graph.
        if (below(3) == 0)
            for (size_t f = 0; f < p.files.size() && p.files.size() < 40; ++f)
                for (const std::string& name : directiveNames(p.files[f].second)) {
                    const bool known = std::any_of(p.files.begin(), p.files.end(), [&](const auto& file) {
                        return SameText(file.first, name);
                    });
                    if (!known && p.files.size() < 40)
                        p.files.emplace_back(name, text(chain));
                }
        for (size_t i = 0; i < chain; ++i) {
            std::string next = i + 1 < chain ? "{$I c" + std::to_string(i + 1) + ".inc}"
                                             : (below(2) ? "{$I c0.inc}" : "{$I main.pas}");
            p.files.emplace_back("c" + std::to_string(i) + ".inc",
                                 "c" + std::to_string(i) + " " + next + " c" + std::to_string(i) + "e\r\n");
        }
        return p;
    }

    // Mutates a kept project (for a run from kept cases).
    std::string mutateText(std::string s) {
        const int rounds = 1 + static_cast<int>(below(4));
        for (int r = 0; r < rounds; ++r) {
            switch (below(7)) {
            case 0: // byte flips
                for (size_t i = 0, n = 1 + below(6); i < n && !s.empty(); ++i)
                    s[below(s.size())] ^= static_cast<char>(1u << below(8));
                break;
            case 1: // truncation
                s.resize(below(s.size() + 1));
                break;
            case 2: { // splice of another seed
                const std::string& o = seeds_[below(seeds_.size())];
                const size_t from = below(o.size() + 1);
                s.insert(below(s.size() + 1), o.substr(from, below(600)));
                break;
            }
            case 3: // braces, quotes and line breaks at random places
                for (size_t i = 0, n = 1 + below(10); i < n; ++i)
                    s.insert(below(s.size() + 1), 1, "{}$'\r\n*(#"[below(10)]);
                break;
            default: // directives
                for (size_t i = 0, n = 1 + below(5); i < n; ++i)
                    s.insert(below(s.size() + 1), directive());
            }
        }
        return s;
    }

private:
    std::mt19937 rng_;
    const std::vector<std::string>& seeds_;

    // The plain file names include directives of a text ask for ("{$i name}", "{$INCLUDE name}").
    static std::vector<std::string> directiveNames(const std::string& text) {
        std::vector<std::string> names;
        const std::string upper = UpperCase(text);
        for (const char* head : {"{$I ", "{$INCLUDE "})
            for (size_t at = upper.find(head); at != std::string::npos; at = upper.find(head, at + 1)) {
                size_t from = at + std::strlen(head), to = from;
                while (to < text.size() && (std::isalnum(static_cast<unsigned char>(text[to])) ||
                                            text[to] == '_' || text[to] == '.'))
                    ++to;
                const std::string name = text.substr(from, to - from);
                if (!name.empty() && name.size() < 40 && name[0] != '.' && to < text.size() &&
                    text[to] == '}')
                    names.push_back(name);
            }
        return names;
    }
    std::vector<std::string> names_;

    std::string directive() {
        const std::string f = names_.empty() ? "f0.inc" : names_[below(names_.size())];
        const std::string bare = f.substr(0, f.size() - 4);
        switch (below(22)) {
        case 0:
            return "{$I " + f + "}";
        case 1:
            return "{$INCLUDE '" + f + "'}";
        case 2:
            return "{$i " + UpperCase(f) + "}";
        case 3:
            return "{$I main.pas}";
        case 4:
            return "{$I l0.inc}";
        case 5:
            return "{$I lib\\l0.inc}";
        case 6:
            return "{$I " + bare + "}"; // no extension: tried with .pas
        case 7:
            return "{$I f1}";
        case 8:
            return "{$R *.res}";
        case 9:
            return "{$R " + bare + ".res}";
        case 10:
            return "{$I c0.inc}";
        case 11:
            return "{$IFDEF WIN32}";
        case 12:
            return "{$IFNDEF WIN32}";
        case 13:
            return "{$ELSE}";
        case 14:
            return "{$ENDIF}";
        case 15:
            return "{$DEFINE X}{$IFDEF X}";
        case 16:
            return "{$I " + f + " extra words}";
        case 17:
            return "{$I '" + f;
        case 18:
            return "{$I missing.inc}";
        case 19:
            return "{$I *.inc}";
        case 20:
            return "{$I+}{$R-}";
        default:
            return "{$I .\\" + f + "}";
        }
    }

    std::string text(size_t chain) {
        const std::string& seed = seeds_[below(seeds_.size())];
        const size_t from = below(seed.size() + 1);
        std::string s = seed.substr(from, 200 + below(2500));
        for (size_t i = 0, n = below(6); i < n; ++i)
            s.insert(below(s.size() + 1), directive());
        if (chain && below(3) == 0)
            s.insert(below(s.size() + 1), "{$I c" + std::to_string(below(chain)) + ".inc}");
        if (below(2))
            s = mutateText(s);
        return s;
    }
};

// ---- Running with a time limit, shrinking, the crash handlers.

struct Call {
    const Project* project;
    std::string result;
};

DWORD WINAPI runCheck(void* p) {
    auto* c = static_cast<Call*>(p);
    c->result = check(*c->project);
    return 0;
}

void saveCase(const std::string& name, const std::string& bytes) {
    writeFile(gCaseFolder + "\\" + name, bytes);
}

std::string timedCheck(const Project& p) {
    auto* c = new Call{&p, {}};
    HANDLE t = CreateThread(nullptr, 1 << 24, runCheck, c, 0, nullptr);
    if (!t)
        return check(p);
    if (WaitForSingleObject(t, 60000) == WAIT_TIMEOUT) {
        saveCase("hang.txt", gCurrent);
        std::printf("HANG: case written to hang.txt\n");
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

// Cuts a failing project down while it keeps failing the same way: whole files emptied, then
// ranges of each file cut, within a time budget.
Project shrink(Project p, const std::string& failure) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    const std::string kind = kindOf(failure);
    auto still = [&](const Project& q) { return kindOf(timedCheck(q)) == kind; };
    for (size_t f = 0; f < p.files.size();) {
        Project q = p;
        q.files.erase(q.files.begin() + static_cast<std::ptrdiff_t>(f));
        if (p.files[f].first != "main.pas" && std::chrono::steady_clock::now() < end && still(q))
            p = std::move(q);
        else
            ++f;
    }
    for (size_t f = 0; f < p.files.size(); ++f) {
        for (size_t chunk = p.files[f].second.size() / 2; chunk >= 1; chunk /= 2) {
            for (size_t at = 0;
                 at + chunk <= p.files[f].second.size() && std::chrono::steady_clock::now() < end;) {
                Project q = p;
                q.files[f].second.erase(at, chunk);
                if (still(q))
                    p = std::move(q);
                else
                    at += chunk;
            }
        }
    }
    return p;
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
    saveCase("crash.txt", gCurrent);
    std::fprintf(stderr, "CRASH (exception 0x%08lX): case written to crash.txt\n",
                 info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0ul);
    std::fflush(stderr);
    std::_Exit(3);
}

void onAbort(int) {
    saveCase("crash.txt", gCurrent);
    std::fprintf(stderr, "CRASH (abort: a checked-mode assertion): case written to crash.txt\n");
    std::fflush(stderr);
    std::_Exit(3);
}

std::vector<std::string> seedsFrom(const std::string& folder) {
    std::vector<std::string> seeds;
    for (const SeedFile& file : seedFilesIn(folder))
        seeds.push_back(file.bytes);
    return seeds;
}

} // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(onCrash);
    std::signal(SIGABRT, onAbort);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    gFolder = std::string(temp) + "fuzz-include-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(gFolder.c_str(), nullptr);
    gFolder += "\\";
    if (argc >= 2 && (std::strcmp(argv[1], "--replay") == 0 || std::strcmp(argv[1], "--trace") == 0)) {
        gTrace = argv[1][2] == 't';
        gCaseFolder = gFolder;
        return replayKeptCases(argc, argv, 2, [](const std::string& name) {
            Project p;
            return deserialise(readFile(name), p) ? timedCheck(p) : std::string("not a case file");
        });
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_include <seed folder> <case folder> [seconds] [seed]\n");
        return 2;
    }
    gCaseFolder = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 300.0;
    const uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1;
    const std::vector<std::string> seeds = seedsFrom(argv[1]);
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed sources in %s\n", argv[1]);
        return 2;
    }
    Generator g(seed, seeds);
    const auto start = std::chrono::steady_clock::now();
    long runs = 0, found = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        const Project p = g.make();
        ++runs;
        const std::string failure = timedCheck(p);
        if (failure.empty())
            continue;
        const Project small = shrink(p, failure);
        const std::string name = "case" + std::to_string(++found) + ".txt";
        saveCase(name, serialise(small));
        std::printf("%s (after %ld runs): %s\n   kept as: %s\n", name.c_str(), runs, failure.c_str(),
                    timedCheck(small).c_str());
        std::fflush(stdout);
        if (found >= 10)
            break;
    }
    std::printf(
        "%ld runs in %.0f s, %ld failures; %ld peeks, %ld cycles stopped, %ld parser errors, includes "
        "%zu deep at most\n",
        runs, seconds, found, gPeeks, gCycles, gErrors, gDeepest);
    return found ? 1 : 0;
}
