#include <gtest/gtest.h>

#include <chrono>

#include "controls/textmodel/RegExpr.h"

namespace {

struct MatchCase {
    const char* mask;
    bool caseSensitive;
    const char* line;
    int32_t start;
    bool forward;
    bool found;
    int32_t pos;
    int32_t len;
};

TEST(RegExpr, FindTable) {
    const MatchCase cases[] = {
        {"a*b", true, "xaaab", 1, true, true, 2, 4},
        {"a+", true, "bbb", 1, true, false, 0, 0},
        {"{ab}+c", true, "ababc", 1, true, true, 1, 5},
        {"{ab}*c", true, "xabababc", 1, true, true, 2, 7},
        {"[^0-9]", true, "12x", 1, true, true, 3, 1},
        {"[a-c]", false, "xBy", 1, true, true, 2, 1},
        {"[a-c]", true, "xBy", 1, true, false, 0, 0},
        // A case-blind range keeps what lies between its ends: '_' is between 'Z' and 'a'.
        {"[A-z]+", false, "  _x", 1, true, true, 3, 2},
        {"[X-Z]", false, "..y", 1, true, true, 3, 1},
        {"\\.", true, "ab.c", 1, true, true, 3, 1},
        {"\\.", true, "abc", 1, true, false, 0, 0},
        {"a.c", true, "xabcx", 1, true, true, 2, 3},
        {"ABC", false, "xabc", 1, true, true, 2, 3},
        {"ABC", true, "xabc", 1, true, false, 0, 0},
        {"^ab", true, "abab", 1, true, true, 1, 2},
        {"^ab", true, "abab", 2, true, false, 0, 0},
        {"ab$", true, "abab", 1, true, true, 3, 2},
        {"^", true, "", 1, true, true, 1, 0},
        {"^$", true, "", 1, true, true, 1, 0},
        {"^$", true, "x", 1, true, false, 0, 0},
        {"a*", true, "", 1, true, false, 0, 0},
        {"$", true, "abc", 1, true, true, 4, 0},
        {"$", true, "abc", 3, false, true, 4, 0},
        // Backward: the match starting nearest left of the start column wins.
        {"ab", true, "ab ab", 5, false, true, 4, 2},
        {"ab", true, "ab ab", 3, false, true, 1, 2},
        {"[\\-\\\\]+", true, "x-\\-y", 1, true, true, 2, 3},
        {"a{b}", true, "xab", 1, true, true, 2, 2},
        {"(a)", true, "x(a)", 1, true, true, 2, 3},
        // Greedy repeats give characters back when the rest needs them.
        {".*b", true, "abcbd", 1, true, true, 1, 4},
        {"{a*}*b", true, "aab", 1, true, true, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " on '" + c.line + "'");
        TRegExpr re(c.mask, c.caseSensitive);
        int32_t pos = c.start, len = -1;
        EXPECT_EQ(c.found, re.Find(c.line, pos, len, c.forward));
        EXPECT_EQ(c.pos, pos);
        EXPECT_EQ(c.len, len);
    }
}

TEST(RegExpr, BadMasksReportTheirPosition) {
    const struct {
        const char* mask;
        const char* message;
    } cases[] = {
        {"\\", "\\ is invalid mask at (1)"},     {"*a", "*a is invalid mask at (1)"},
        {"a{b", "a{b is invalid mask at (4)"},   {"[]", "[] is invalid mask at (2)"},
        {"[^]", "[^] is invalid mask at (3)"},   {"[abc", "[abc is invalid mask at (5)"},
        {"[-a]", "[-a] is invalid mask at (2)"}, {"^*", "^* is invalid mask at (2)"},
        {"x$+", "x$+ is invalid mask at (3)"},   {"a**", "a** is invalid mask at (3)"},
        {"a}", "a} is invalid mask at (2)"},     {"{*}", "{*} is invalid mask at (2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        try {
            TRegExpr re(c.mask, true);
            ADD_FAILURE() << "no error";
        } catch (const ERegExprError& e) {
            EXPECT_EQ(c.message, e.Message());
        }
    }
}

TEST(RegExpr, PathologicalPatternFailsPromptly) {
    const std::string line(5000, 'a');
    TRegExpr re("{a*}*b", true);
    const auto t0 = std::chrono::steady_clock::now();
    int32_t pos = 1, len = 0;
    EXPECT_THROW(re.Find(line, pos, len, true), ERegExprTooComplex);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

TEST(RegExpr, LongLinesWithSimpleRepeatsStillMatch) {
    const std::string line = std::string(100000, 'x') + "end";
    TRegExpr re(".*end", true);
    int32_t pos = 1, len = 0;
    ASSERT_TRUE(re.Find(line, pos, len, true));
    EXPECT_EQ(1, pos);
    EXPECT_EQ(static_cast<int32_t>(line.size()), len);
}

TEST(RegExpr, EmptyLineMasks) {
    for (const char* m : {"^", "$", "^$"})
        EXPECT_TRUE(EmptyLineStr(m)) << m;
    for (const char* m : {"", "^a", "$$", "a"})
        EXPECT_FALSE(EmptyLineStr(m)) << m;
}

} // namespace
