#include <gtest/gtest.h>

#include "spell/IgnoreRules.h"
#include "spell/ParsingEngine.h"
#include "spell/StringParser.h"

namespace {

// The words the finder returns for a text, joined by '|'; rules take part as the checker wires
// them (inline and pre-check rules only; post-check rules are asked separately).
std::string words(std::string text, std::vector<TParserIgnore*> rules = {}) {
    TStringParser parser;
    parser.Initialize(&text);
    TMainParsingEngine finder;
    finder.OnInlineIgnore = [&](char c, TControlParser* p, bool& ignore) {
        ignore = false;
        for (TParserIgnore* r : rules)
            if (r->NeededBeforeCheck() && r->ExecuteIgnore(c, p)) {
                ignore = true;
                return;
            }
    };
    finder.OnPreCheckIgnore = [&](const std::string& w, TControlParser* p, bool& ignore) {
        ignore = false;
        for (TParserIgnore* r : rules)
            if (r->NeededBeforeCheck() && r->ExecuteWordIgnorePreCheck(w, p)) {
                ignore = true;
                return;
            }
    };
    finder.Initialize(&parser, 2);
    std::string out, w;
    while (finder.NextWord(w))
        out += (out.empty() ? "" : "|") + w;
    return out;
}

} // namespace

TEST(StringParser, StepsOntoTheEndAndNoFurther) {
    std::string s = "ab";
    TStringParser p;
    p.Initialize(&s);
    EXPECT_EQ(p.GetChar(), 'a');
    EXPECT_TRUE(p.MoveNext());
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), 0);
    EXPECT_FALSE(p.MoveNext());
    EXPECT_TRUE(p.MovePrevious());
    RECT r;
    p.GetSelectionScreenPosition(r);
    EXPECT_EQ(r.left, -1);
}

TEST(StringParser, ReplaceMovesTheEndLimit) {
    std::string s = "one two three";
    TStringParser p;
    p.Initialize(&s);
    p.SetPosition(8, 0, ptEnd);
    p.SetPosition(4, 0, ptCurrent); // after "one"
    p.SelectWord(3);
    p.ReplaceWord("seven", 0);
    EXPECT_EQ(s, "seven two three");
    int x, y;
    p.GetPosition(x, y);
    EXPECT_EQ(x, 6);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(p.MoveNext()); // up to index 10 = old end 8 + 2
    EXPECT_FALSE(p.MoveNext());
}

TEST(WordFinder, DefaultRules) {
    struct Case {
        const char* text;
        const char* words;
    } cases[] = {
        {"Hello world", "Hello|world"},
        {"don't 'quoted' \"double\"", "don't|quoted|double"},
        {"Stop. Next", "Stop|Next"},
        {"e.g. and U.S.A. too", "e.g.|and|U.S.A.|too"},
        {"example.com here", "example.com|here"},
        {"ab&cd", "ab|&cd"},
        {"trailing''", "trailing"},
        {"end", "end"},
        {"  ", ""},
        {"caf\xE9 na\xEFve", "caf\xE9|na\xEFve"},
        {"x2 42", "x2|42"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(words(c.text), c.words) << c.text;
}

TEST(WordFinder, SelectionStartInsideAWordStartsAtThatWord) {
    std::string s = "alpha beta gamma";
    TStringParser p;
    p.Initialize(&s);
    p.SetPosition(9, 0, ptCurrent); // inside "beta"
    TMainParsingEngine finder;
    finder.Initialize(&p, 1);
    std::string w;
    ASSERT_TRUE(finder.NextWord(w));
    EXPECT_EQ(w, "beta");
}

TEST(IgnoreRules, MarkupAndAddresses) {
    THTMLIgnore html;
    TURLIgnore url;
    struct Case {
        const char* text;
        const char* withHtml;
        const char* withUrl;
    } cases[] = {
        {"a <b>bold</b> c", "a|bold|c", "a|b|bold|b|c"},
        {"x <!-- a > b --> y", "x|y", "x|a|b|y"},
        {"p <% if a > b %> q", "p|q", "p|if|a|b|q"},
        {"p <?php x ?> q", "p|q", "p|php|x|q"},
        {"tail <", "tail", "tail"},
        {"see http://example.com/a.html now", "see|http|example.com|a.html|now", "see|now"},
        {"MAILTO:someone@example.org, ok", "MAILTO|someone|example.org|ok", "ok"},
        {"mail joe@example.com today", "mail|joe|example.com|today", "mail|today"},
        {"go www.example.com/path x", "go|www.example.com|path|x", "go|x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(words(c.text, {&html}), c.withHtml) << c.text;
        EXPECT_EQ(words(c.text, {&url}), c.withUrl) << c.text;
    }
}

TEST(IgnoreRules, PostCheckTable) {
    TUppercaseWordIgnore upper;
    TNumbersIgnore numbers;
    TAbbreviationsIgnore abbreviations;
    THTMLIgnore html;
    TURLIgnore url;
    TQuotedLineIgnore quoted;
    quoted.QuoteChars = ">|";
    struct Case {
        TParserIgnore* rule;
        const char* word;
        bool ignored;
    } cases[] = {
        {&upper, "NASA", true},         {&upper, "B2B", true},           {&upper, "123", true},
        {&upper, "Nasa", false},        {&numbers, "x2", true},          {&numbers, "word", false},
        {&numbers, "", false},          {&abbreviations, "e.g.", true},  {&abbreviations, "U.S.A.", true},
        {&abbreviations, "a.bc", true}, {&abbreviations, "etc.", false}, {&abbreviations, "word", false},
        {&html, "&amp", true},          {&html, "amp", false},           {&url, "WWW.example", true},
        {&url, "web", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rule->ExecuteWordIgnorePostCheck(c.word, nullptr), c.ignored) << c.word;
    EXPECT_TRUE(quoted.ExecuteLineIgnore("> quoted"));
    EXPECT_TRUE(quoted.ExecuteLineIgnore("|piped"));
    EXPECT_FALSE(quoted.ExecuteLineIgnore(" > indented"));
    EXPECT_FALSE(quoted.ExecuteLineIgnore(""));
    EXPECT_FALSE(quoted.ExecuteWordIgnorePostCheck("x", nullptr));
}
