#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/tests/TestFolder.h"
#include "controls/textmodel/ModuleParser.h"
#include "framework/core/SysUtils.h"

namespace {
// The non-comment tokens of the active regions, joined by blanks.
std::string Tokens(TModuleParser& p) {
    std::string out;
    while (p.NextValidToken() != tokEof) {
        if (!out.empty())
            out += ' ';
        out += p.RawTokenString();
    }
    return out;
}

std::string Read(const std::string& text) {
    TModuleParser p;
    p.SetText(text);
    return Tokens(p);
}

std::string Nested(int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += "{$IFDEF WIN32}";
    s += "x";
    for (int i = 0; i < depth; ++i)
        s += "{$ENDIF}";
    return s;
}
} // namespace

TEST(ModuleParser, ConditionalRegions) {
    struct Case {
        const char* text;
        const char* tokens;
    } cases[] = {
        {"a {$IFDEF WIN32} b {$ENDIF} c", "a b c"},
        {"a {$IFNDEF WIN32} b {$ELSE} c {$ENDIF} d", "a c d"},
        {"{$ifdef nothing} a {$else} b {$endif}", "b"},
        {"{$IFDEF X} {$DEFINE Y} {$ENDIF} {$IFDEF Y} y {$ENDIF} z", "z"},
        {"{$DEFINE Y} {$IFDEF Y} y {$ENDIF} {$UNDEF Y} {$IFDEF Y} n {$ENDIF}", "y"},
        {"{$IFDEF X} {$IFDEF WIN32} a {$ELSE} b {$ENDIF} {$ELSE} c {$ENDIF}", "c"},
        {"{$IFOPT R+} a {$ENDIF}", "a"},
        {"{$IFDEF WIN32}\r\nbegin\r\n{$ELSE}\r\nend\r\n{$ENDIF}\r\nx", "begin x"},
        // An ordinary brace comment, a string holding a brace and a comment spanning lines.
        {"a {IFDEF X} '{$IFDEF X}' {\r\n$ELSE} b", "a '{$IFDEF X}' b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.text), c.tokens) << c.text;
}

TEST(ModuleParser, IgnoredDefinesAndStringValues) {
    TModuleParser p;
    p.SetIgnoreDefines({"DEBUG"});
    p.SetText("{$DEFINE DEBUG}{$IFDEF DEBUG} d {$ENDIF} 'it''s'#65'B' x");
    ASSERT_EQ(p.NextValidToken(), tokString);
    EXPECT_EQ(p.TokenString(), "it'sAB");
    EXPECT_EQ(p.RawTokenString(), "'it''s'#65'B'");
    EXPECT_EQ(p.NextValidToken(), tokIdentifier);
    EXPECT_EQ(p.Defines().count("debug"), 0u);
    EXPECT_EQ(p.Defines().count("win32"), 1u);
}

TEST(ModuleParser, NestingLimitAndUnbalancedDirectives) {
    EXPECT_EQ(Read(Nested(31)), "x");
    try {
        Read(Nested(32));
        FAIL() << "32 levels were accepted";
    } catch (const EParserError& e) {
        EXPECT_NE(
            std::string(e.what()).find("Only 32 nested levels of compiler directives are allowed at Line:1"),
            std::string::npos)
            << e.what();
    }
    EXPECT_THROW(Read("a {$ELSE} b"), EParserError);
    try {
        Read("a\r\n {$ENDIF}");
        FAIL();
    } catch (const EParserError& e) {
        EXPECT_NE(std::string(e.what()).find("Invalid compiler directive: \"$ENDIF\""), std::string::npos)
            << e.what();
    }
}

TEST(ModuleParser, PeekingRestoresLevels) {
    TModuleParser p;
    p.SetText("a {$IFNDEF WIN32} b {$ENDIF} c");
    p.NextValidToken();
    std::string s;
    p.PushState();
    EXPECT_EQ(p.NextValidTokenStr(s), tokIdentifier);
    EXPECT_EQ(s, "c");
    p.PopState();
    EXPECT_EQ(p.Level(), -1);
    EXPECT_EQ(p.NextValidTokenStr(s), tokIdentifier);
    EXPECT_EQ(s, "c");
}

class IncludeParserTest : public ::testing::Test {
protected:
    TTestFolder dir;
    void Write(const std::string& name, const std::string& text) { WriteWholeFile(dir / name, text); }
    std::string Run(THSIncludeParser& p, const std::string& mainText) {
        p.SetParsedFileName(dir / "main.pas");
        p.SetText(mainText);
        return Tokens(p);
    }
};

TEST_F(IncludeParserTest, FollowsIncludesAndRecordsResources) {
    Write("inc1.inc", "i1 {$I inc2} i1b");
    Write("inc2.pas", "i2");
    Write("main.res", "");
    THSIncludeParser p;
    EXPECT_EQ(Run(p, "a {$I inc1.inc} b {$R *.res} {$I+} {$R-} {$IFDEF NO}{$I missing}{$ENDIF} c"),
              "a i1 i2 i1b b c");
    EXPECT_EQ(p.IncludeDepth(), 0u);
    const auto& files = p.IncludedFiles();
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(files.count(UpperCase(dir / "inc1.inc")) && files.at(UpperCase(dir / "inc1.inc")));
    EXPECT_TRUE(files.count(UpperCase(dir / "inc2.pas")));
    ASSERT_TRUE(files.count(UpperCase(dir / "main.res")));
    EXPECT_FALSE(files.at(UpperCase(dir / "main.res")));
}

TEST_F(IncludeParserTest, SearchesUnitPathsAndAsksForMissingFiles) {
    TTestFolder other;
    WriteWholeFile(other / "lib.inc", "lib");
    THSIncludeParser p;
    p.LoadUnitPaths("  ;" + other.Path().substr(0, other.Path().size() - 1));
    ASSERT_EQ(p.UnitPaths().size(), 1u);
    EXPECT_EQ(p.UnitPaths()[0], other.Path());
    EXPECT_EQ(Run(p, "{$INCLUDE 'lib.inc'} x"), "lib x");

    THSIncludeParser q;
    try {
        Run(q, "a\r\n{$I nowhere.inc}");
        FAIL();
    } catch (const EParserError& e) {
        EXPECT_NE(std::string(e.what()).find("File nowhere.inc not found at Line:2"), std::string::npos)
            << e.what();
    }

    std::vector<std::string> asked;
    q.OnFileConfirm = [&](std::string& name, bool& empty) {
        asked.push_back(name);
        if (name == "nowhere.inc")
            name = "lib.inc"; // not in the main folder and q has no unit paths
        else
            empty = true;
    };
    EXPECT_EQ(Run(q, "a {$I nowhere.inc} b"), "a b");
    EXPECT_EQ(asked, (std::vector<std::string>{"nowhere.inc", "lib.inc"}));

    // A handler that answers nothing new must not keep the parser asking forever.
    q.OnFileConfirm = [](std::string&, bool&) {};
    EXPECT_THROW(Run(q, "{$I nowhere.inc}"), EParserError);
}

TEST_F(IncludeParserTest, IncludeCyclesStopAtAFileAlreadyOpen) {
    Write("a.inc", "a1 {$I b.inc} a2");
    Write("b.inc", "b1 {$I a.inc} {$I b.inc} b2");
    Write("main.pas", "m1 {$I main.pas} {$I a.inc} m2");
    THSIncludeParser p;
    p.SetParsedFileName(dir / "main.pas");
    p.SetText(ReadWholeFile(dir / "main.pas"));
    EXPECT_EQ(Tokens(p), "m1 a1 b1 b2 a2 m2");
    EXPECT_EQ(p.SkippedCycles().size(), 3u);
}

TEST_F(IncludeParserTest, PeekAcrossTheEndOfAnIncludeRestoresIt) {
    Write("x.inc", "x1 x2");
    THSIncludeParser p;
    p.SetParsedFileName(dir / "main.pas");
    p.SetText("a {$I x.inc} b c");
    std::string s;
    p.NextValidTokenStr(s);
    EXPECT_EQ(s, "a");
    p.NextValidTokenStr(s);
    EXPECT_EQ(s, "x1");
    p.NextValidTokenStr(s);
    EXPECT_EQ(s, "x2");
    EXPECT_EQ(p.IncludeDepth(), 1u);

    p.PushState();
    p.NextValidTokenStr(s); // leaves the include
    EXPECT_EQ(s, "b");
    EXPECT_EQ(p.IncludeDepth(), 0u);
    p.NextValidTokenStr(s);
    EXPECT_EQ(s, "c");
    p.PopState();
    EXPECT_EQ(p.IncludeDepth(), 1u);
    EXPECT_EQ(p.RawTokenString(), "x2");

    // Peeking into an include and back leaves no include open.
    THSIncludeParser q;
    q.SetParsedFileName(dir / "main.pas");
    q.SetText("a {$I x.inc} b");
    q.NextValidToken();
    q.PushState();
    q.NextValidTokenStr(s);
    EXPECT_EQ(s, "x1");
    q.PopState();
    EXPECT_EQ(q.IncludeDepth(), 0u);
    EXPECT_EQ(Tokens(q), "x1 x2 b");
}
