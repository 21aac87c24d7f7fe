#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SourceTestUtil.h"

namespace {

// A parser whose colours are the source's own (as for imported formatted text): it keeps
// whatever colour bytes a line carries and never makes new ones.
class KeptColoursParser : public TSimpleParser {
public:
    int32_t ColorString(const std::string&, int32_t state, std::string&) override { return state; }
    bool StoreColorData() override { return true; }
    void PrepareColorData(int32_t, const std::string& text, std::string& colorData) override {
        colorData.resize(text.size(), '\0');
    }
};

// Colour bytes written as digits, so a failing comparison is readable.
std::string Digits(const std::string& colours) {
    std::string out;
    for (char c : colours)
        out += char('0' + c);
    return out;
}
std::string Bytes(const std::string& digits) {
    std::string out;
    for (char c : digits)
        out += char(c - '0');
    return out;
}

std::string Colours(TCustomMemoSource& s) {
    std::string out;
    for (int32_t i = 0; i < s.GetStrCount(); ++i)
        out += (i ? "|" : "") + Digits(s.GetColorData(i));
    return out;
}

struct ColouredSource {
    KeptColoursParser parser;
    TMemoSource source;
    ColouredSource(const std::vector<std::string>& lines, const std::vector<std::string>& colours) {
        source.SetOptions(soGroupUndo);
        source.SetSyntaxParser(&parser);
        source.LoadFromStrings(lines);
        for (size_t i = 0; i < colours.size(); ++i)
            source.GetStringItem(int32_t(i))->ColorData = Bytes(colours[i]);
    }
    ~ColouredSource() { source.SetSyntaxParser(nullptr); }
};

} // namespace

TEST(BlockColours, RewrittenBlocksKeepTheirColourBytes) {
    struct Case {
        const char* name;
        std::vector<std::string> lines, colours;
        TSelectionType type;
        TMemoRect rect;
        void (TCustomMemoSource::*command)();
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {"upper case over lines",
         {"abc def", "ghi"},
         {"1110222", "333"},
         stStreamSel,
         {4, 0, 2, 1},
         &TCustomMemoSource::UpperCaseBlock,
         "abc DEF|GHi",
         "1110222|333"},
        {"toggle case of a column",
         {"ABcd", "EFgh"},
         {"1234", "5678"},
         stBlockSel,
         {1, 0, 2, 1},
         &TCustomMemoSource::ToggleBlockCase,
         "AbCd|EfGh",
         "1234|5678"},
        // The new blanks take the style beside them.
        {"indent",
         {"ab", "cd", "x"},
         {"12", "34", "5"},
         stStreamSel,
         {0, 0, 0, 2},
         &TCustomMemoSource::IndentBlock,
         "  ab|  cd|x",
         "1112|3334|5"},
        {"outdent",
         {"  ab", "   cd", "x"},
         {"0012", "00034", "5"},
         stStreamSel,
         {0, 0, 0, 2},
         &TCustomMemoSource::OutDentBlock,
         "ab| cd|x",
         "12|034|5"},
        {"quote",
         {"ab", "cd"},
         {"12", "34"},
         stStreamSel,
         {0, 0, 2, 1},
         &TCustomMemoSource::QuoteBlock,
         ">ab|>cd",
         "112|334"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColouredSource cs(c.lines, c.colours);
        TMemoSource& s = cs.source;
        s.SetBlockIndent(2);
        s.SetSelectionRect(c.rect);
        s.SetSelectionType(c.type);
        (s.*c.command)();
        EXPECT_EQ(Text(s), c.text);
        EXPECT_EQ(Colours(s), c.result);
        // Undo brings back the old colours with the old text.
        s.Undo();
        std::string before, beforeColours;
        for (size_t i = 0; i < c.lines.size(); ++i) {
            before += (i ? "|" : "") + c.lines[i];
            beforeColours += (i ? "|" : "") + c.colours[i];
        }
        EXPECT_EQ(Text(s), before);
        EXPECT_EQ(Colours(s), beforeColours);
    }
}

TEST(BlockColours, PastedLinesBringTheirColourBytes) {
    struct Case {
        const char* name;
        std::vector<std::string> lines, colours;
        bool column;
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {"stream, one line", {"XY"}, {"56"}, false, "abXYcd|efgh", "125634|0000"},
        {"stream, lines", {"XY", "Z", "W"}, {"56", "7", "8"}, false, "abXY|Z|Wcd|efgh", "1256|7|834|0000"},
        {"column, lines", {"XY", "ZW"}, {"56", "78"}, true, "abXYcd|efZWgh", "125634|007800"},
        // Lines without colour bytes come in plain.
        {"fewer colour lines", {"XY", "Z"}, {"56"}, false, "abXY|Zcd|efgh", "1256|034|0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColouredSource cs({"abcd", "efgh"}, {"1234", "0000"});
        TMemoSource& s = cs.source;
        s.JumpTo(2, 0);
        std::vector<std::string> colours;
        for (const std::string& d : c.colours)
            colours.push_back(Bytes(d));
        s.PasteBlockFromStringsEx(c.lines, colours, c.column);
        EXPECT_EQ(Text(s), c.text);
        EXPECT_EQ(Colours(s), c.result);
    }
}
