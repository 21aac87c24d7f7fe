#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestData.h"
#include "controls/textmodel/SchemeParser.h"
#include "controls/textmodel/SyntaxScheme.h"
#include "framework/core/Streams.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> Lines(const std::string& data) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : data) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

// Each golden line: the end state in hex, a bar, and the line with "{n}" wherever the colour
// (the font ID) becomes n; "{{" is a literal brace.
std::string Colour(TSyntaxParser& p, const std::vector<std::string>& lines) {
    std::string out;
    int32_t state = 0;
    for (const std::string& line : lines) {
        std::string colors(line.size(), '\0');
        state = p.ColorString(line, state, colors);
        char hex[16];
        snprintf(hex, sizeof hex, "%08X|", static_cast<unsigned>(state));
        out += hex;
        int last = -1;
        for (size_t i = 0; i < line.size(); ++i) {
            const int c = static_cast<unsigned char>(colors[i]);
            if (c != last)
                out += "{" + std::to_string(c) + "}";
            last = c;
            out += line[i] == '{' ? std::string("{{") : std::string(1, line[i]);
        }
        out += "\n";
    }
    return out;
}

std::unique_ptr<TSyntaxParser> StyleSheetParser() {
    auto p = std::make_unique<TSyntaxParser>();
    TSyntaxScheme::FillStyleSheetScheme(p->SyntaxScheme());
    return p;
}

TEST(SchemeParser, StyleSheetGoldens) {
    const std::string dir = TestDataDir() + "/golden/stylesheet/";
    const bool regenerate = std::getenv("ZEL_REGENERATE_GOLDENS") != nullptr;
    for (const char* name : {"rules.css", "nested.css"}) {
        SCOPED_TRACE(name);
        auto p = StyleSheetParser();
        const std::string source = ReadFile(dir + name);
        ASSERT_FALSE(source.empty());
        const std::string actual = Colour(*p, Lines(source));
        if (regenerate) {
            std::ofstream(dir + name + ".golden", std::ios::binary) << actual;
            continue;
        }
        EXPECT_EQ(ReadFile(dir + name + ".golden"), actual);
    }
}

TEST(SchemeParser, RuleColoursAndBlockStates) {
    auto p = StyleSheetParser();
    std::string colors(30, '\0');
    const std::string line = "h1 { color: red }";
    colors.resize(line.size());
    const int32_t end = p->ColorString(line, 0, colors);
    EXPECT_EQ(0, end >> 24);  // the rule closed on its line
    EXPECT_EQ(16, colors[0]); // selector: the default block's text
    EXPECT_EQ(0, colors[3]);  // brace: the style block
    EXPECT_EQ(7, colors[5]);  // "color": keyword set "properties"
    EXPECT_EQ(0, colors[12]); // value
    EXPECT_EQ(0, colors[16]); // closing brace

    std::string c1(7, '\0');
    const int32_t open = p->ColorString("a { x:1", 0, c1);
    EXPECT_NE(0, open >> 24); // inside the rule
    std::string c2(8, '\0');
    const int32_t comment = p->ColorString("  /* abc", open, c2);
    EXPECT_EQ(1, (comment >> 8) & 0xFF); // multi-line comment open
    EXPECT_EQ(4, c2[2]);
    std::string c3(3, '\0');
    const int32_t closed = p->ColorString("*/}", comment, c3);
    EXPECT_EQ(0, closed);
    EXPECT_EQ(4, c3[0]);
}

TEST(SchemeParser, SuffixedNumbersAndKeywordCase) {
    TSyntaxScheme s;
    TSyntaxBlock* b = s.SyntaxBlocks.GetItem(0);
    b->FIText = 1;
    b->FIIntNum = 2;
    b->UseNumbers = b->UseSuffixedNumbers = true;
    b->NumSuffixes.AddItem()->LeftDelimiter = "px";
    b->UseKeywords = true;
    TKeywordSet* k = b->KeywordSets.AddItem();
    k->Keywords = "Begin,end";
    k->FontID = 3;
    TSyntaxParser p;
    p.SetSyntaxScheme(&s);
    const struct {
        bool caseSensitive;
        const char* line;
        const char* colors;
    } cases[] = {
        {false, "12px BEGIN End", "\2\2\2\2\1\3\3\3\3\3\1\3\3\3"},
        {true, "12px BEGIN end", "\2\2\2\2\1\1\1\1\1\1\1\3\3\3"},
        {true, "Begin", "\3\3\3\3\3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        s.SyntaxBlocks.GetItem(0)->CaseSensitive = c.caseSensitive;
        p.SetSyntaxScheme(&s);
        std::string colors(std::string(c.line).size(), '\0');
        p.ColorString(c.line, 0, colors);
        EXPECT_EQ(std::string(c.colors), colors);
    }
}

TEST(SchemeParser, TokensOfOpenCommentsAreReportedWhenTheyClose) {
    auto p = StyleSheetParser();
    std::vector<std::string> tokens;
    p->OnGetToken = [&](TSyntaxParser&, int32_t kind, const std::string& text) {
        tokens.push_back(std::to_string(kind) + ":" + text);
    };
    std::string c1(9, '\0');
    const int32_t state = p->ColorString("x /* open", 0, c1);
    EXPECT_EQ((std::vector<std::string>{"10:x", "0: "}), tokens);
    tokens.clear();
    std::string c2(8, '\0');
    p->ColorString("done */y", state, c2);
    EXPECT_EQ((std::vector<std::string>{"2:done */", "10:y"}), tokens);
}

TEST(SchemeParser, GetFontFallsBackToWhitespace) {
    auto p = StyleSheetParser();
    EXPECT_EQ(&p->SyntaxScheme().Whitespace.ResolvedFont, p->GetFont(200));
    EXPECT_EQ(&p->SyntaxScheme().Whitespace.ResolvedFont, p->GetFont(-1));
    EXPECT_EQ(clBlue, p->GetFont(7)->Color());
    // The table's own font names give way to the block's text attribute and then to the default.
    EXPECT_EQ("Courier New", p->GetFont(7)->Name());
}

TEST(SchemeParser, DeepNestingNeverOverflowsTheLineState) {
    // Every "(" opens a child of the same block: more distinct chains than a line state can name.
    TSyntaxScheme s;
    TSyntaxBlock* root = s.SyntaxBlocks.GetItem(0);
    TSyntaxBlock* inner = s.SyntaxBlocks.AddItem();
    inner->ID = 1;
    inner->ParentID = 0;
    TDelimiters* d = inner->BlockDelimiters.AddItem();
    d->LeftDelimiter = "(";
    d->RightDelimiter = ")";
    d->DelimitersArePartOfBlock = true;
    root->FIText = 1;
    inner->FIText = 2;
    // Let the inner block open inside itself too, through a second block that is its child.
    TSyntaxBlock* again = s.SyntaxBlocks.AddItem();
    again->ID = 2;
    again->ParentID = 1;
    again->BlockDelimiters.Assign(&inner->BlockDelimiters);
    again->FIText = 3;
    TSyntaxParser p;
    p.SetSyntaxScheme(&s);
    const std::string line(600, '(');
    std::string colors(line.size(), '\0');
    const int32_t state = p.ColorString(line, 0, colors);
    EXPECT_LE(static_cast<uint32_t>(state) >> 24, 255u);
    EXPECT_LE(p.SyntaxScheme().BlockStack.size(), 256u);
}

TEST(SyntaxScheme, SavedSchemeLoadsBackEqual) {
    TSyntaxScheme original;
    TSyntaxScheme::FillStyleSheetScheme(original);
    original.SyntaxBlocks.GetItem(1)->OtherIdentChars = StringToCharSet("0-9A-Z_a-z\\-");
    const std::string text = original.SaveToText();
    if (std::getenv("ZEL_DUMP_SCHEME"))
        printf("%s\n", text.c_str());
    EXPECT_EQ(std::string::npos, text.find("FirstIdentChars")); // defaults are not written
    EXPECT_NE(std::string::npos, text.find("OtherIdentChars"));
    TSyntaxScheme back;
    back.LoadFromText(text);
    EXPECT_EQ(text, back.SaveToText());
    EXPECT_EQ(3, back.SyntaxVersion);
    EXPECT_EQ("Cascading Style Sheets, level 2", back.Name);

    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TSyntaxScheme fromBinary;
    fromBinary.LoadFromStream(stream);
    EXPECT_EQ(text, fromBinary.SaveToText());
}

TEST(SyntaxScheme, CharacterSetText) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"A-Z_a-z", "A-Z_a-z"}, {"-\\\\", "\\-\\\\"}, {"z-a", ""}, {"\\--/", "\\--/"}, {"[-\\\\a", "[-\\\\a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TSchemeCharSet set = StringToCharSet(c.text);
        EXPECT_EQ(c.written, CharSetToString(set));
        EXPECT_EQ(set, StringToCharSet(CharSetToString(set)));
    }
}

TEST(SyntaxScheme, FontTableIDs) {
    TFontList list;
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(i, list.AddItem()->FontID);
    EXPECT_EQ(-1, list.GetUniqueID());
    list.Delete(7);
    EXPECT_EQ(7, list.GetUniqueID());
}

// An item whose ID is -1 (the table was full when it came) must not take a fresh ID when the
// scheme is read back.
TEST(SyntaxScheme, FontTableIDsReadBackAsWritten) {
    TSyntaxScheme original;
    TSyntaxScheme::FillStyleSheetScheme(original);
    original.FontTable.AddItem()->FontID = -1;
    const int count = original.FontTable.Count();
    const std::string text = original.SaveToText();
    TSyntaxScheme fromText;
    fromText.LoadFromText(text);
    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TSyntaxScheme fromBinary;
    fromBinary.LoadFromStream(stream);
    for (TSyntaxScheme* back : {&fromText, &fromBinary}) {
        ASSERT_EQ(count, back->FontTable.Count());
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(original.FontTable.GetItem(i)->FontID, back->FontTable.GetItem(i)->FontID) << i;
        EXPECT_EQ(text, back->SaveToText());
    }
}

TEST(SyntaxScheme, OldVersionIsUpdated) {
    TSyntaxScheme s;
    s.SyntaxBlocks.Clear();
    s.SyntaxVersion = 1;
    TSyntaxBlock* a = s.SyntaxBlocks.AddItem();
    TSyntaxBlock* b = s.SyntaxBlocks.AddItem();
    b->ParentID = 5;
    b->FIText = 4;
    s.FontTable.AddItem()->FontID = 4;
    s.InitScheme();
    EXPECT_EQ(0, a->ID);
    EXPECT_EQ(1, b->ID);
    EXPECT_EQ(-1, a->ParentID);
    EXPECT_EQ(0, b->ParentID);
    EXPECT_EQ(1, s.FontTable.GetItemByID(4)->BlockID);
    EXPECT_EQ(3, s.SyntaxVersion);
}

TEST(SyntaxScheme, CorruptSchemesAreRefusedAndTheOldOneKept) {
    TSyntaxScheme good;
    TSyntaxScheme::FillStyleSheetScheme(good);
    const std::string text = good.SaveToText();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const size_t at = t.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos)
            t.replace(at, from.size(), to);
        return t;
    };
    const std::string corrupt[] = {
        "this is not a scheme",
        text.substr(0, text.size() / 2),
        replaced("ParentID = 0", "ParentID = 1"),   // its own parent
        replaced("ParentID = 0", "ParentID = 9"),   // an unknown parent
        replaced("      ID = 1", "      ID = 300"), // does not fit the state
        replaced("SyntaxVersion = 3", "SyntaxVersion = 3\n  Bogus = 1"),
    };
    for (size_t i = 0; i < std::size(corrupt); ++i) {
        SCOPED_TRACE(i);
        TSyntaxScheme kept;
        TSyntaxScheme::FillStyleSheetScheme(kept);
        EXPECT_THROW(kept.LoadFromText(corrupt[i]), Exception);
        EXPECT_EQ(text, kept.SaveToText());
    }
    // More opening delimiters than the line state can index.
    TSyntaxScheme wide;
    TSyntaxScheme::FillStyleSheetScheme(wide);
    for (int i = 0; i < 64; ++i)
        wide.SyntaxBlocks.GetItem(1)->BlockDelimiters.AddItem()->LeftDelimiter = "[";
    const std::string wideText = wide.SaveToText();
    TSyntaxScheme keptToo;
    EXPECT_THROW(keptToo.LoadFromText(wideText), ESyntaxSchemeError);
    EXPECT_EQ(1, keptToo.SyntaxBlocks.Count());

    TMemoryStream junk;
    junk.WriteString("garbage");
    junk.SetPosition(0);
    TSyntaxScheme kept;
    try {
        kept.LoadFromStream(junk);
        ADD_FAILURE();
    } catch (const ESyntaxSchemeError& e) {
        EXPECT_EQ(std::string("Can't read the syntax scheme from stream"), e.Message());
    }
    EXPECT_THROW(kept.LoadFromResource("NO_SUCH_SCHEME"), ESyntaxSchemeError);
    ASSERT_EQ(1, kept.SyntaxBlocks.Count());
    EXPECT_EQ("Default", kept.SyntaxBlocks.GetItem(0)->Name);
}

} // namespace
