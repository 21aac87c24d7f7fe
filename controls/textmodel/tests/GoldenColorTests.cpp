// Colouring goldens: every example file under golden/<language>/ is coloured line by line and
// compared with the file beside it that has ".golden" appended. Each golden line is the end
// state, a bar, and the source line with "{n}" written wherever the colour becomes n ("{{" is a
// literal brace). Set ZEL_REGENERATE_GOLDENS=1 to rewrite the goldens after a deliberate change.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "TestData.h"
#include "controls/textmodel/LanguageParsers.h"

namespace {
struct Language {
    const char* folder;
    std::function<std::unique_ptr<TCustomHSParser>()> make;
};

const Language kLanguages[] = {
    {"html", [] { return std::make_unique<THTMLParser>(); }},
    {"c", [] { return std::make_unique<TCParser>(); }},
    {"cpp", [] { return std::make_unique<TCPPParser>(); }},
    {"pascal", [] { return std::make_unique<TDelphiParser>(); }},
    {"perl", [] { return std::make_unique<TPerlParser>(); }},
    {"python", [] { return std::make_unique<TPythonParser>(); }},
    {"sql", [] { return std::make_unique<TSqlParser>(); }},
    {"vbscript", [] { return std::make_unique<TVBScriptParser>(); }},
    {"javascript", [] { return std::make_unique<TJavaScriptParser>(); }},
};

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
        } else {
            cur += data[i];
        }
    }
    if (!cur.empty())
        lines.push_back(cur);
    return lines;
}

std::string StateText(int32_t state) {
    std::string s = std::to_string(state & 0xFF);
    if (state >> 8)
        s += "/" + std::to_string(state >> 8);
    return s;
}

std::string Render(TCustomHSParser& parser, const std::string& source) {
    std::string out;
    int32_t state = 0;
    for (const std::string& line : SplitLines(source)) {
        std::string cd(line.size(), '\0');
        parser.PrepareColorData(0, line, cd);
        state = parser.ColorString(line, state, cd);
        std::string marked;
        int last = -1;
        for (size_t i = 0; i < line.size(); ++i) {
            int c = uint8_t(cd[i]);
            if (c != last)
                marked += "{" + std::to_string(c) + "}";
            last = c;
            marked += line[i] == '{' ? std::string("{{") : std::string(1, line[i]);
        }
        out += StateText(state) + "|" + marked + "\n";
    }
    return out;
}

std::vector<std::string> CaseFiles(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "/*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string n = fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (n.size() > 7 && n.compare(n.size() - 7, 7, ".golden") == 0)
            continue;
        names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void PrintTo(const Language& l, std::ostream* os) {
    *os << l.folder;
}

class GoldenColours : public ::testing::TestWithParam<Language> {};
} // namespace

TEST_P(GoldenColours, MatchTheGoldens) {
    const std::string dir = TestDataDir() + "/golden/" + GetParam().folder;
    const bool regenerate =
        std::getenv("ZEL_REGENERATE_GOLDENS") && std::string(std::getenv("ZEL_REGENERATE_GOLDENS")) == "1";
    const auto files = CaseFiles(dir);
    ASSERT_GE(files.size(), 3u) << "too few examples in " << dir;
    for (const auto& name : files) {
        auto parser = GetParam().make();
        const std::string rendered = Render(*parser, ReadFile(dir + "/" + name));
        const std::string goldenPath = dir + "/" + name + ".golden";
        if (regenerate) {
            std::ofstream(goldenPath, std::ios::binary) << rendered;
            continue;
        }
        EXPECT_EQ(rendered, ReadFile(goldenPath)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, GoldenColours, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.folder); });
