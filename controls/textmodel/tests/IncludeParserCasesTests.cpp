// Cases the include-parser fuzzer (bench/fuzz-include) found, kept as small projects: peeks
// (a pushed position, tokens read, the position popped) that read differently from the reading
// after them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/tests/TestFolder.h"
#include "controls/textmodel/ModuleParser.h"

namespace {

std::vector<std::string> Read(THSIncludeParser& p, int count) {
    std::vector<std::string> tokens;
    for (int i = 0; i < count; ++i) {
        const int32_t kind = p.NextValidToken();
        tokens.push_back(kind == tokEof ? std::string("<end>") : p.RawTokenString());
        if (kind == tokEof)
            break;
    }
    return tokens;
}

// A peek from the innermost of nested includes reads past the ends of several of them; undone, the
// reading after it must be the same. Each end restores the position saved when its own file opened,
// not the nearest one saved, which may belong to a file the peek has already left.
TEST(IncludeParserCases, PeekPastTheEndsOfNestedIncludes) {
    TTestFolder dir;
    WriteWholeFile(dir / "a.inc", "a1 {$I b.inc} a2");
    WriteWholeFile(dir / "b.inc", "b1 {$I c.inc} b2");
    WriteWholeFile(dir / "c.inc", "c1");
    struct Case {
        int before; // tokens read before the peek
        std::vector<std::string> rest;
    } cases[] = {
        {3, {"c1", "b2", "a2", "m2", "<end>"}},
        {4, {"b2", "a2", "m2", "<end>"}},
        {5, {"a2", "m2", "<end>"}},
        {6, {"m2", "<end>"}},
    };
    for (const Case& c : cases) {
        THSIncludeParser p;
        p.SetParsedFileName(dir / "main.pas");
        p.SetText("m1 {$I a.inc} m2");
        const std::vector<std::string> read = Read(p, c.before);
        ASSERT_EQ(read.size(), size_t(c.before));
        const size_t depth = p.IncludeDepth();
        p.PushState();
        EXPECT_EQ(Read(p, 10), c.rest) << "peeked after " << read.back();
        p.PopState();
        EXPECT_EQ(p.IncludeDepth(), depth) << "after " << read.back();
        EXPECT_EQ(Read(p, 10), c.rest) << "read after " << read.back();
    }
}

// An include directive hands out its comment before the included file opens; a peek made right
// then opens the file, and undoing the peek must leave the file to open again.
TEST(IncludeParserCases, PeekRightAfterAnIncludeDirective) {
    TTestFolder dir;
    WriteWholeFile(dir / "x.inc", "x1 x2");
    for (const char* main : {"m1 {$I x.inc} m2", "m1 {$I x.inc"}) {
        THSIncludeParser p;
        p.SetParsedFileName(dir / "main.pas");
        p.SetText(main);
        int32_t kind;
        while ((kind = p.NextToken()) != tokComment && kind != tokEof) {
        }
        ASSERT_EQ(kind, tokComment) << main;
        const std::vector<std::string> rest = std::string(main).find("m2") != std::string::npos
                                                  ? std::vector<std::string>{"x1", "x2", "m2", "<end>"}
                                                  : std::vector<std::string>{"x1", "x2", "<end>"};
        p.PushState();
        EXPECT_EQ(Read(p, 10), rest) << main;
        p.PopState();
        EXPECT_EQ(Read(p, 10), rest) << main;
    }
}

// A DEFINE or UNDEF read during a peek is undone with it, as the levels are: read again, the
// text must give the same tokens. One read for good stays.
TEST(IncludeParserCases, PeekOverADefineOrUndef) {
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
        bool xDefined;
    } cases[] = {
        {"a {$IFNDEF X} b {$DEFINE X} c {$ENDIF} {$IFDEF X} d {$ENDIF} e",
         {"a", "b", "c", "d", "e", "<end>"},
         true},
        {"a {$DEFINE X} {$IFDEF WIN32} b {$UNDEF X} c {$ENDIF} {$IFDEF X} d {$ENDIF} e",
         {"a", "b", "c", "e", "<end>"},
         false},
        {"{$IFNDEF X}{$DEFINE X", {"<end>"}, true},
    };
    for (const Case& c : cases) {
        THSIncludeParser p;
        p.SetText(c.text);
        p.PushState();
        EXPECT_EQ(Read(p, 100), c.tokens) << "peeked: " << c.text;
        p.PopState();
        EXPECT_EQ(p.Defines().count("X"), 0u) << c.text;
        EXPECT_EQ(Read(p, 100), c.tokens) << "read: " << c.text;
        EXPECT_EQ(p.Defines().count("X"), c.xDefined ? 1u : 0u) << c.text;
    }
}

} // namespace
