#include "engine/config/CfgLanguage.h"
#include "engine/program/Interpreter.h"
#include "engine/program/SymbolValueStore.h"
#include "engine/program/TemplateEvaluator.h"
#include "engine/program/Tokenizer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

StrStoreEx located(const char* text, int32_t line = 3, int32_t character = 5) {
    SpecificLocation loc;
    loc.set(character, line, line);
    return StrStoreEx(text, loc);
}

// All tokens of a source as "type:text", stopping at the end or the first error.
std::vector<std::string> tokens(const char* text, ErrorStore& errors, int32_t flags = 0) {
    StrStoreEx source = located(text);
    std::vector<std::string> out;
    for (;;) {
        Token t;
        nextToken(t, source, errors, flags);
        if (errors.number() != 0 || t.isEmpty())
            break;
        static const char* const names[] = {"none", "id", "num", "str", "sym"};
        out.push_back(std::string(names[static_cast<int>(t.type)]) + ":" + t.text.getString());
    }
    return out;
}

TEST(Tokenizer, SplitsSourcesByTheTokenRules) {
    struct Case {
        const char* source;
        int32_t flags;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"a>=b", 0, {"id:a", "sym:>=", "id:b"}},
        {"a=>b", 0, {"id:a", "sym:=", "sym:>", "id:b"}},
        {"x<>y <= z != w == v",
         0,
         {"id:x", "sym:<>", "id:y", "sym:<=", "id:z", "sym:!=", "id:w", "sym:==", "id:v"}},
        {"'it\\'s'", 0, {"str:it\\'s"}},
        {"\"say \\\"hi\\\"\" 'x'", 0, {"str:say \\\"hi\\\"", "str:x"}},
        {"1.5e3 42 7E-2", 0, {"num:1.5e3", "num:42", "num:7E-2"}},
        {"x /* note */ y", 0, {"id:x", "id:y"}},
        {"/* a */ /* b */ z / 2", 0, {"id:z", "sym:/", "num:2"}},
        {"a_1 && b || c", 0, {"id:a_1", "sym:&&", "id:b", "sym:||", "id:c"}},
        {"i++ --j", 0, {"id:i", "sym:+", "sym:+", "sym:-", "sym:-", "id:j"}},
        {"i++ --j", TOKEN_DOUBLE_SIGNS, {"id:i", "sym:++", "sym:--", "id:j"}},
        {"#$(),:;@[]{}.*",
         0,
         {"sym:#", "sym:$", "sym:(", "sym:)", "sym:,", "sym::", "sym:;", "sym:@", "sym:[", "sym:]", "sym:{",
          "sym:}", "sym:.", "sym:*"}},
        {"   ", 0, {}},
    };
    for (const Case& c : cases) {
        ErrorStore errors;
        EXPECT_EQ(tokens(c.source, errors, c.flags), c.expected) << c.source;
        EXPECT_EQ(errors.number(), 0) << c.source;
    }
}

TEST(Tokenizer, ErrorsStopTokenizingAndNameTheirPlace) {
    struct Case {
        const char* source;
        int32_t code;
        const char* text;
        int32_t start;
        std::vector<std::string> before;
    };
    const Case cases[] = {
        {"ab ~ cd", TOKEN_UNKNOWN_TYPE, "cannot determine token type", 3, {"id:ab"}},
        {"x 'open", TOKEN_MISSING_QUOTE, "missing closing quotation mark for a string", 2, {"id:x"}},
        {"y /* never closed",
         TOKEN_UNTERMINATED_COMMENT,
         "cannot find the end of a comment; looking for '*/'",
         2,
         {"id:y"}},
    };
    for (const Case& c : cases) {
        ErrorStore errors;
        EXPECT_EQ(tokens(c.source, errors), c.before) << c.source;
        EXPECT_EQ(errors.number(), c.code);
        EXPECT_STREQ(errors.text().getString(), c.text);

        // The start of the failing token is kept for the caller's report.
        StrStoreEx source = located(c.source);
        ErrorStore again;
        Token t;
        do
            nextToken(t, source, again);
        while (again.number() == 0 && !t.isEmpty());
        EXPECT_EQ(source.getProperty(StrStoreEx::SecondPosition), c.start) << c.source;
        // Once an error is held every call gives an empty token.
        nextToken(t, source, again);
        EXPECT_TRUE(t.isEmpty());
    }
}

TEST(Tokenizer, TokensKeepTheirSourceLocations) {
    StrStoreEx source = located("  name 'quoted'", 3, 5);
    ErrorStore errors;
    Token t;
    nextToken(t, source, errors);
    EXPECT_EQ(t.text.getLocation(0).getCharacter(), 7);
    EXPECT_EQ(t.text.getLocation(0).getLine(), 3);
    nextToken(t, source, errors);
    EXPECT_STREQ(t.text.getString(), "quoted");
    EXPECT_EQ(t.text.getLocation(0).getCharacter(), 13);
}

TEST(Tokenizer, ParenthesisChecksDescribeWhatWasFound) {
    StrStoreEx source = located("0123456789012345678901234 name ( x ]");
    ErrorStore errors;
    Token t;
    nextToken(t, source, errors);
    EXPECT_FALSE(expectOpenParenthesis(source, errors));
    EXPECT_EQ(errors.number(), TOKEN_MISSING_OPEN_PAREN);
    EXPECT_STREQ(errors.text().getString(),
                 "misplaced or missing opening parenthesis where token 'name' found at location 27 "
                 "(...6789012345678901234 ...)");
    errors.clear();
    EXPECT_TRUE(expectOpenParenthesis(source, errors));
    nextToken(t, source, errors);
    EXPECT_FALSE(expectCloseParenthesis(source, errors));
    EXPECT_EQ(errors.number(), TOKEN_MISSING_CLOSE_PAREN);
    EXPECT_NE(std::string(errors.text().getString()).find("closing parenthesis where token ']'"),
              std::string::npos);

    ErrorStore shortForm;
    formatSyntaxError(source, shortForm, t, "x", 5, SYNTAX_SHORT);
    EXPECT_STREQ(shortForm.text().getString(), "x (...5678901234 name ( x ...)");
}

TEST(SymbolValueStore, SymbolsAreKeptInCaseBlindNameOrder) {
    SymbolValueStore s;
    EXPECT_EQ(s.setValue("beta", "1", -1, 0), 0);
    EXPECT_EQ(s.setValue("Alpha", "a0", -1, 0), 0);
    EXPECT_EQ(s.setValue("ALPHA", "a1", -1, 7), 1) << "an existing symbol appends";
    EXPECT_EQ(s.setValue("alpha", "a5", 5, 0), 5);
    EXPECT_EQ(s.setValue("gamma", "g", 3, 0), 3) << "a new symbol at an index";
    const char name[] = "deltaXYZ";
    EXPECT_EQ(s.setValue(name, name + 5, "d", -1, 0), 0);
    EXPECT_EQ(s.setValue("x", "v", 1000, 0), -1);
    EXPECT_EQ(s.setValue("x", "v", -2, 0), -1);
    EXPECT_EQ(s.setValue("", "v", -1, 0), -2);

    ASSERT_EQ(s.count(), 4);
    EXPECT_EQ(s.symbol(0)->name, "Alpha");
    EXPECT_EQ(s.symbol(1)->name, "beta");
    EXPECT_EQ(s.symbol(2)->name, "delta");
    EXPECT_EQ(s.indexOf("GAMMA"), 3);
    EXPECT_EQ(s.indexOf("gam"), -1);
    EXPECT_EQ(s.indexOf(nullptr), -1);
    EXPECT_EQ(s.valueCount(0), 6);
    EXPECT_STREQ(s.value(0, 1), "a1");
    EXPECT_STREQ(s.value(0, 3), "");
    EXPECT_EQ(s.value(0, 6), nullptr);
    EXPECT_EQ(s.valueCount(9), -1);
    EXPECT_EQ(s.symbol(0)->flag, 0);
    EXPECT_EQ(s.valueCount(3), 4);
}

class TemplateEvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        path = std::string(base) + "zel_template_" + std::to_string(GetCurrentProcessId()) + ".txt";
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("file\r\nbytes", f);
        std::fclose(f);
        escaped = path;
        for (size_t i = 0; (i = escaped.find('\\', i)) != std::string::npos; i += 2)
            escaped.insert(i, "\\");
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
    std::string run(const std::string& line, ErrorStore& errors) {
        StrStoreEx source = located(line.c_str());
        return evaluateTemplateLine(interpreter, source, errors).getString();
    }
    Interpreter interpreter;
    std::string path, escaped;
};

TEST_F(TemplateEvaluatorTest, LiteralsFilesAndConcatenation) {
    struct Case {
        std::string line;
        std::string value;
    };
    const Case cases[] = {
        {"  \"plain\"  ", "plain"},
        {"'a\\nb' + \"c\"", "a\nbc"},
        {"\"<\" + FileContents(\"" + escaped + "\") + \">\"", "<file\r\nbytes>"},
        {"FileContents('" + escaped + "')", "file\r\nbytes"},
    };
    for (const Case& c : cases) {
        ErrorStore errors;
        EXPECT_EQ(run(c.line, errors), c.value) << c.line;
        EXPECT_EQ(errors.number(), 0) << errors.text().getString();
    }
    // The literal's characters keep their places in the line.
    ErrorStore errors;
    StrStoreEx source = located("  \"ab\" + \"cd\"", 3, 1);
    StrStoreEx value = evaluateTemplateLine(interpreter, source, errors);
    EXPECT_EQ(value.getLocation(0).getCharacter(), 4);
    EXPECT_EQ(value.getLocation(2).getCharacter(), 11);
}

TEST_F(TemplateEvaluatorTest, FailuresRecordOneNumberedError) {
    struct Case {
        std::string line;
        int32_t code;
        std::string text;
    };
    const Case cases[] = {
        {"FileContent(\"x\")", TEMPLATE_UNKNOWN_FUNCTION, "unknown function name \"FileContent\""},
        {"\"a\" \"b\"", TEMPLATE_TRAILING_TEXT, "unrecognized text at end of line"},
        {"\"a\" ~", TOKEN_UNKNOWN_TYPE, "cannot determine token type"},
        {"FileContents(\"" + escaped + "\"", TOKEN_MISSING_CLOSE_PAREN,
         "misplaced or missing closing parenthesis where token '' found at location "},
        {"FileContents \"x\"", TOKEN_MISSING_OPEN_PAREN,
         "misplaced or missing opening parenthesis where token 'x' found at location "},
        {"FileContents(\"Z:\\\\no\\\\such\\\\file\")", TEMPLATE_CANNOT_OPEN,
         "cannot open file \"Z:\\no\\such\\file\" for reading"},
    };
    for (const Case& c : cases) {
        ErrorStore errors;
        EXPECT_EQ(run(c.line, errors), "") << c.line;
        EXPECT_EQ(errors.number(), c.code) << c.line;
        const std::string text = errors.text().getString();
        EXPECT_EQ(text.substr(0, c.text.size()), c.text) << c.line;
        if (c.code == TOKEN_MISSING_CLOSE_PAREN || c.code == TOKEN_MISSING_OPEN_PAREN) {
            EXPECT_EQ(text.substr(text.size() - 19), " for FileContents()") << text;
        }
    }
    // An error already held makes the evaluation give nothing at all.
    ErrorStore held;
    held.set(1, "earlier");
    EXPECT_EQ(run("\"x\"", held), "");
    EXPECT_EQ(held.number(), 1);
}

TEST(LanguageChoice, PicksTheRequestedTextOrFallsBack) {
    struct Case {
        const char* text;
        int32_t language;
        bool fallback;
        const char* expected;
    };
    const Case cases[] = {
        {"{ENGLISH: \"Hello\" FRENCH: \"Bonjour\"}", 0, true, "Hello"},
        {"{ENGLISH: \"Hello\" FRENCH: \"Bonjour\"}", 1, true, "Bonjour"},
        {"{english: \"Hello\", french: \"Bonjour\"}", 1, false, "Bonjour"},
        {"{ENGLISH: \"Hello\"}", 1, true, "Hello"},
        {"{ENGLISH: \"Hello\"}", 1, false, ""},
        {"{ENGLISH \"Hello\" FRENCH: \"Bonjour\"}", 1, true, ""},
        {"Plain text", 1, true, "Plain text"},
        {"Plain text", 0, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseLanguageText(c.text, c.language, c.fallback), c.expected)
            << c.text << " " << c.language;
}

} // namespace
