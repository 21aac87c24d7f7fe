#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "controls/textmodel/LanguageParsers.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/tests/SourceTestUtil.h"

namespace {
// Colours text inside "(" ... ")" as 2, other characters as 3; the state says whether a
// parenthesis is open at the line's end. Counts the lines it colours.
class CountingParser : public TSimpleParser {
public:
    int32_t ColorString(const std::string& text, int32_t state, std::string& cd) override {
        ++calls;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '(')
                state = 1;
            cd[i] = char(state ? 2 : 3);
            if (text[i] == ')')
                state = 0;
        }
        return state;
    }
    bool StoreColorData() override { return store; }
    void Changed() { NotifyEvents(0, 0); }
    int calls = 0;
    bool store = false;
};

std::vector<std::string> NumberedLines(int n) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}
} // namespace

TEST(LazyColouring, ParsesOnlyTheLookAhead) {
    CountingParser parser;
    TMemoSource s;
    s.SetSyntaxParser(&parser);
    s.LoadFromStrings(NumberedLines(1000));
    parser.calls = 0;
    EXPECT_EQ(s.GetColorData(0), std::string(6, '\3'));
    EXPECT_EQ(parser.calls, 101);
    s.GetColorData(50);
    EXPECT_EQ(parser.calls, 101);
    s.GetColorData(999);
    EXPECT_EQ(parser.calls, 1000);
}

TEST(LazyColouring, EditReparsesBelowOnlyWhenTheEndStateChanges) {
    CountingParser parser;
    TMemoSource s;
    s.SetSyntaxParser(&parser);
    s.LoadFromStrings(NumberedLines(300));
    for (int i = 0; i < 300; ++i)
        s.GetColorData(i);
    NotificationLog log;
    log.Attach(s);

    parser.calls = 0;
    s.JumpTo(0, 10);
    s.Insert("x"); // state unchanged
    for (int i = 0; i < 300; ++i)
        s.GetColorData(i);
    EXPECT_EQ(parser.calls, 1);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries.back().first, 10);
    EXPECT_EQ(log.entries.back().last, 10);

    parser.calls = 0;
    s.Insert("("); // opens: every line below changes colour
    EXPECT_EQ(log.entries.back().last, INT_MAX);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(s.GetColorData(i)[0], i < 10 ? '\3' : '\2') << i;
    EXPECT_EQ(parser.calls, 290);

    parser.calls = 0;
    s.JumpTo(0, 20);
    s.Insert("y"); // inside the open parenthesis: one line
    for (int i = 0; i < 300; ++i)
        s.GetColorData(i);
    EXPECT_EQ(parser.calls, 1);
}

TEST(LazyColouring, AnEditBelowAnotherStillReportsItsEndStateChange) {
    CountingParser parser;
    TMemoSource s;
    s.SetSyntaxParser(&parser);
    s.LoadFromStrings(NumberedLines(300));
    for (int i = 0; i < 300; ++i)
        s.GetColorData(i);
    NotificationLog log;
    log.Attach(s);
    s.JumpTo(0, 10);
    s.Insert("x"); // leaves line 10 as the first line to check again
    s.JumpTo(0, 20);
    s.Insert("("); // no colours were asked for in between
    EXPECT_EQ(log.entries.back().first, 20);
    EXPECT_EQ(log.entries.back().last, INT_MAX);
    EXPECT_EQ(s.GetColorData(299)[0], '\2');
}

TEST(LazyColouring, ParserChangesRecolourWithOneNotification) {
    CountingParser parser;
    TMemoSource s;
    s.LoadFromStrings({"a", "b"});
    NotificationLog log;
    log.Attach(s);
    s.SetSyntaxParser(&parser);
    parser.Changed();
    s.SetHighlightUrls(true);
    ASSERT_EQ(log.entries.size(), 3u);
    for (const auto& e : log.entries) {
        EXPECT_TRUE(e.state & msParserChanged);
        EXPECT_EQ(e.first, 0);
        EXPECT_EQ(e.last, INT_MAX);
    }
}

TEST(LazyColouring, DestroyedParserIsDetached) {
    TMemoSource s;
    s.LoadFromStrings({"a"});
    {
        CountingParser parser;
        s.SetSyntaxParser(&parser);
        s.GetColorData(0);
    }
    EXPECT_EQ(s.SyntaxParser(), nullptr);
    EXPECT_EQ(s.GetColorData(0), "");
}

TEST(Urls, MarkedWithoutAParserOnlyWhenAsked) {
    TMemoSource s;
    s.LoadFromStrings({"see http://x.org/a now"});
    EXPECT_EQ(s.GetColorData(0), "");
    s.SetHighlightUrls(true);
    std::string cd = s.GetColorData(0);
    EXPECT_EQ(cd, std::string(4, '\0') + std::string(14, '\x0c') + std::string(4, '\0'));
}

TEST(Urls, TypingAfterAnAddressTakesTheStyleBeforeIt) {
    CountingParser parser;
    parser.store = true;
    TMemoSource s;
    s.SetSyntaxParser(&parser);
    s.SetHighlightUrls(true);
    s.LoadFromStrings({"a www.x.org"});
    s.GetColorData(0);
    EXPECT_EQ(s.GetAttr(11, 0), 3);
    EXPECT_EQ(s.GetAttr(0, 0), 3);
    EXPECT_EQ(s.GetAttr(0, 5), 0);
}

TEST(LongestLine, LastOfEqualLengthsWins) {
    TMemoSource s;
    s.LoadFromStrings({"abc", "abcd", "xyz1", "ab"});
    s.UpdateMaxLine();
    EXPECT_EQ(s.MaxLineIndex(), 2);
    EXPECT_EQ(s.MaxLineLength(), 4);
    s.JumpTo(0, 3);
    s.Insert("12345");
    EXPECT_EQ(s.MaxLineIndex(), 3);
    s.DeleteRight(5);
    EXPECT_EQ(s.MaxLineIndex(), 2);
}

// Lines with tabs are as long as their columns: a short stored line may be the longest, and of
// equal lengths the last still wins.
TEST(LongestLine, CountsColumnsOfTabs) {
    struct Case {
        const char* stops;
        std::vector<std::string> lines;
        int32_t index, length;
    } cases[] = {
        {"9,17", {"abcdefgh", "\t\t", "abc"}, 1, 17},
        {"9,17", {"\t", "abcdefghi"}, 1, 9},
        {"9,17", {"abcdefghi", "\t", "ab"}, 1, 9},
        {"9,17", {std::string(30, 'a'), "\t\t\t\tx", std::string(29, 'b')}, 1, 34},
        {"2,30", {"\t\t", std::string(26, 'a')}, 0, 30},
        {"4,20", {"\t\t\t", std::string(35, 'a')}, 0, 36},
        {"4,20", {std::string(36, 'a'), "\t\t\t"}, 1, 36},
        {"9,17", {"", ""}, 1, 0},
        {"9,17", {}, -1, 0},
    };
    for (const auto& c : cases) {
        TMemoSource s;
        s.SetTabStops(c.stops);
        s.LoadFromStrings(c.lines);
        s.UpdateMaxLine();
        EXPECT_EQ(s.MaxLineIndex(), c.index) << c.stops << " " << c.lines.size();
        EXPECT_EQ(s.MaxLineLength(), c.length) << c.stops << " " << c.lines.size();
    }
}

// Changes through the Lines view (which leave no undo) keep the longest line as edits do.
TEST(LongestLine, FollowsChangesThroughTheLinesView) {
    TMemoSource s;
    s.LoadFromStrings({"ab", "abcdef", "abc"});
    s.UpdateMaxLine();
    struct Step {
        std::function<void()> change;
        int32_t index, length;
    } steps[] = {
        {[&] { s.Lines().Put(0, std::string(10, 'x')); }, 0, 10},
        {[&] { s.Lines().Insert(0, std::string(12, 'y')); }, 0, 12},
        {[&] { s.Lines().Insert(0, "short"); }, 1, 12},
        {[&] { s.Lines().Delete(0); }, 0, 12},
        {[&] { s.Lines().Delete(0); }, 0, 10},
        {[&] { s.Lines().Put(0, "x"); }, 1, 6},
        {[&] { s.Lines().Delete(0); }, 0, 6},
        {[&] { s.Lines().Insert(2, "\tz"); }, 2, 9},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change();
        EXPECT_EQ(s.MaxLineIndex(), steps[i].index) << i;
        EXPECT_EQ(s.MaxLineLength(), steps[i].length) << i;
    }
}

TEST(LazyColouring, TabsAlignStoredColoursWithColumns) {
    THTMLParser html;
    TMemoSource s;
    s.SetOptions(s.Options() | soUseTabCharacter);
    s.SetSyntaxParser(&html);
    s.LoadFromStrings({"\t<b>"});
    EXPECT_EQ(s.GetColorData(0), std::string("\0\x0a\x0a\x0a", 4));
    EXPECT_EQ(s.GetAttr(10, 0), 10); // column 9 holds '<'
}
