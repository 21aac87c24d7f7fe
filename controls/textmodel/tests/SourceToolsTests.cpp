#include <gtest/gtest.h>

#include <string>

#include "controls/foundation/tests/TestFolder.h"
#include "controls/textmodel/SourceTools.h"
#include "controls/textmodel/ModuleParser.h"
#include "framework/core/SysUtils.h"
#include "framework/core/Win.h"

TEST(SourceTools, IdentifierNumbers) {
    THSIDStringConvert ids;
    EXPECT_EQ(ids.StringToID(""), 0);
    EXPECT_EQ(ids.StringToID("Beta"), 1);
    EXPECT_EQ(ids.StringToID("Alpha"), 2);
    EXPECT_EQ(ids.StringToID("Beta"), 1);
    EXPECT_EQ(ids.StringToID("beta"), 3);
    EXPECT_EQ(ids.IDToString(2), "Alpha");
    EXPECT_EQ(ids.IDToString(0), "");
    EXPECT_THROW(ids.IDToString(4), EListError);
}

TEST(SourceTools, FloatsAlwaysUseADot) {
    EXPECT_DOUBLE_EQ(GetFloatFromString("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(GetFloatFromString("-2.25E2"), -225.0);
    EXPECT_THROW(GetFloatFromString("1,5"), EConvertError);
}

TEST(SourceTools, CharSetDefinitions) {
    TCharSet s = ParseCharSetDef("['a'..'c', '_', #13, '''']");
    EXPECT_EQ(s.count(), 6u);
    for (char c : std::string("abc_\r'"))
        EXPECT_TRUE(s.test(uint8_t(c))) << c;
    EXPECT_EQ(ParseCharSetDef("'0'..'9'"), CharRange('0', '9'));
    EXPECT_EQ(ParseCharSetDef("[]").count(), 0u);
    for (const char* bad : {"['a'..]", "['ab']", "[a]", "['z'..'a']", "['a' 'b']", "['a'", "'a',", "1"})
        EXPECT_THROW(ParseCharSetDef(bad), EParserError) << bad;
}

TEST(SourceTools, RemoveIfDefsKeepsActiveTextAndItsLines) {
    const std::string src = "unit U; // head\r\n"
                            "{$IFDEF DEBUG}\r\n"
                            "const Dbg = 1;\r\n"
                            "{$ELSE}\r\n"
                            "const Dbg = 0; (* off *)\r\n"
                            "{$ENDIF}\r\n"
                            "{$DEFINE EXTRA}{$IFDEF EXTRA}const S = '{$IFDEF}';{$ENDIF}\r\n"
                            "end.";
    EXPECT_EQ(HSRemoveIfDefs(src, "DEBUG", "", "", false),
              "unit U; \r\nconst Dbg = 1;\r\nconst S = '{$IFDEF}';\r\nend.");
    EXPECT_EQ(HSRemoveIfDefs(src, "", "", "", false),
              "unit U; \r\nconst Dbg = 0; \r\nconst S = '{$IFDEF}';\r\nend.");
    EXPECT_EQ(HSRemoveIfDefs(src, "", "EXTRA", "", false), "unit U; \r\nconst Dbg = 0; \r\nend.");
}

TEST(SourceTools, LoadAndParseIfDefsFollowsIncludes) {
    TTestFolder dir;
    WriteWholeFile(dir / "main.pas", "unit M;\r\n{$I part}\r\nend.");
    WriteWholeFile(dir / "part.pas", "{$IFDEF WIN32}var A: Integer;{$ENDIF}\r\n{$I main.pas}");
    // Lines count within each file: the include's first line follows its directive's line.
    EXPECT_EQ(LoadAndParseIfDefs(dir / "main.pas", "WIN32", "", ""), "unit M;var A: Integer;\r\nend.");
    EXPECT_THROW(LoadAndParseIfDefs(dir / "none.pas", "", "", ""), EParserError);
    EXPECT_EQ(LoadAndParseIfDefs(dir / "main.pas", "", "", ""), "unit M;\r\nend.");

    WriteWholeFile(dir / "gap.pas", "a {$I gone} b");
    std::string asked;
    auto result = HSRemoveIfDefsEx(dir / "gap.pas", "", "", "", true, [&](std::string& name, bool& empty) {
        asked = name;
        empty = true;
    });
    EXPECT_EQ(result, "a  b");
    EXPECT_EQ(asked, "gone");
}

TEST(SourceTools, InterfaceFiles) {
    TTestFolder dir;
    const std::string head = "unit A;\r\n{ implementation in a comment }\r\ninterface\r\nconst S = "
                             "'implementation';\r\nIMPLEMENTATION";
    WriteWholeFile(dir / "a.pas", head + "\r\nbegin end.\r\n");
    WriteWholeFile(dir / "b.pas", "unit B; interface end.");
    CreateIntFile(dir / "a.pas");
    EXPECT_EQ(ReadWholeFile(dir / "a.INT"), head);
    EXPECT_THROW(CreateIntFile(dir / "b.pas"), EParserError);
    EXPECT_FALSE(FileExists(dir / "b.INT"));
}

TEST(SourceTools, SearchNotResourcedStrings) {
    TTestFolder dir;
    ForceDirectories(dir / "sub");
    WriteWholeFile(dir / "a.pas",
                   "const A = 'Hello'; B = 'World';\r\n"  // one entry per line
                   "C = 'a'; D = '1234'; E = '{$X}';\r\n" // too short, no letter, braces
                   "F = 'Keep me'; // don't resource\r\n"
                   "//BeginSkipConst\r\nG = 'Skipped';\r\n//EndSkipConst\r\n"
                   "{$IFDEF NOTSET} H = 'Inactive'; {$ENDIF}\r\n"
                   "I = 'It''s';\r\n");
    WriteWholeFile(dir / "sub\\b.pas", "x := 'Below';");
    WriteWholeFile(dir / "skip.pas", "x := 'Excluded';");
    WriteWholeFile(dir / "none.pas", "x := 1;");
    WriteWholeFile(dir / "excluded.txt", "skip.pas\r\n");
    const std::string out = dir / "result.txt";

    ASSERT_TRUE(SearchNotResourcedStrings(dir.Path(), out, dir / "excluded.txt", false));
    const std::string head = "\r\nDirectory :  " + dir.Path() + "\r\nNot processed files:\r\n" +
                             std::string(20, ' ') + "skip.pas\r\n\r\n";
    const std::string a = dir / "a.pas  Line 1 'Hello'\r\n" + dir / "a.pas  Line 8 'It''s'\r\n \r\n";
    EXPECT_EQ(ReadWholeFile(out), head + a);

    ASSERT_TRUE(SearchNotResourcedStrings(dir.Path(), out, dir / "nothing.txt", true));
    const std::string all = ReadWholeFile(out);
    EXPECT_NE(all.find(dir / "sub\\b.pas  Line 1 'Below'\r\n \r\n"), std::string::npos) << all;
    EXPECT_NE(all.find(dir / "skip.pas  Line 1 'Excluded'"), std::string::npos) << all;
    EXPECT_EQ(all.find("Not processed"), std::string::npos);
}

namespace {
void FindSources(const std::string& dir, std::vector<std::string>& files) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FindSources(dir + name + "\\", files);
        else if (SameText(ExtractFileExt(name), ".pas") || SameText(ExtractFileExt(name), ".pp"))
            files.push_back(dir + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::vector<std::string> ValidTokens(const std::string& text, const std::string& defines) {
    TModuleParser p;
    p.Defines().clear();
    for (const std::string& d : {std::string("FPC"), defines})
        if (!d.empty())
            p.Defines().insert(d);
    p.SetText(text);
    std::vector<std::string> tokens;
    while (p.NextValidToken() != tokEof)
        tokens.push_back(p.RawTokenString());
    return tokens;
}
} // namespace

// Example programs shipped with the Free Pascal documentation packages: removing the inactive
// regions keeps exactly the tokens the module parser reads from the original.
TEST(SourceTools, RealSourcesKeepTheirActiveTokens) {
    std::vector<std::string> files;
    for (const char* pkg : {"fp-units-math", "fp-units-misc", "fp-units-base", "fp-units-fcl"})
        FindSources(std::string("Z:\\usr\\share\\doc\\") + pkg + "\\", files);
    if (files.size() < 20)
        GTEST_SKIP() << "the Free Pascal documentation packages are not installed";
    size_t checked = 0, refused = 0;
    for (const auto& file : files) {
        const std::string text = ReadWholeFile(file);
        std::vector<std::string> expected;
        try {
            expected = ValidTokens(text, "UNIX");
        } catch (const EParserError&) {
            // Conditions this reader does not know ($IF expressions) end the parse with an error.
            ++refused;
            continue;
        }
        // Includes are left out on both sides: the module parser alone does not follow them.
        const std::string stripped = HSRemoveIfDefsEx(text, "FPC;UNIX", "", "", false,
                                                      [](std::string&, bool& empty) { empty = true; });
        const std::vector<std::string> got = ValidTokens(stripped, "");
        size_t i = 0;
        while (i < got.size() && i < expected.size() && got[i] == expected[i])
            ++i;
        EXPECT_TRUE(i == got.size() && i == expected.size())
            << file << ": token " << i << " is '" << (i < got.size() ? got[i] : "") << "', expected '"
            << (i < expected.size() ? expected[i] : "") << "'";
        ++checked;
    }
    EXPECT_GT(checked, files.size() * 3 / 4) << refused << " of " << files.size() << " refused";
}
