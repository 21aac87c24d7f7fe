#include "EngineFixture.h"

#include "engine/utils/FileStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(FileStore& f) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < f.lineCount(); ++i)
        out.push_back(f.lineNoMove(i));
    return out;
}

TEST(FileStore, AddLineSplitsAndContinues) {
    FileStore f;
    EXPECT_EQ(f.addLine("a\nb\nc\n"), 0);
    EXPECT_EQ(linesOf(f), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(f.addLine("d", 1), 0);
    EXPECT_EQ(f.addLine("e\nf", 0), 0);
    EXPECT_EQ(f.addLine(""), 0);
    EXPECT_EQ(linesOf(f), (std::vector<std::string>{"a", "b", "c", "de", "f", ""}));
    EXPECT_EQ(f.totalCharacters(), 1 + 1 + 1 + 2 + 1 + 0 + 6);
    EXPECT_EQ(f.totalCharacters(1), 12 + 3);

    FileStore empty;
    empty.addLine("x", 1);
    empty.clear();
    empty.addLine("y", 0); // the continuation mark goes with the clear
    EXPECT_EQ(empty.lineCount(), 1);
}

// Lines are packed into shared blocks: lines longer than a block, continuations that outgrow
// their block and many short lines must all come back whole, and a line already handed out must
// not move when later lines are added.
TEST(FileStore, LongAndManyLinesKeepTheirText) {
    FileStore f;
    const std::string huge(200000, 'h');
    ASSERT_EQ(f.addLine("first"), 0);
    const char* first = f.lineNoMove(0);
    ASSERT_EQ(f.addLine(huge.c_str()), 0);
    std::string grown;
    ASSERT_EQ(f.addLine("", 1), 0);
    for (int i = 0; i < 3000; ++i) {
        const std::string piece = "piece" + std::to_string(i) + "-";
        grown += piece;
        ASSERT_EQ(f.addLine(piece.c_str(), 1), 0);
    }
    ASSERT_EQ(f.addLine("end", 0), 0);
    grown += "end";
    std::vector<std::string> expected = {"first", huge, grown};
    for (int i = 0; i < 20000; ++i) {
        expected.push_back("line " + std::to_string(i));
        ASSERT_EQ(f.addLine(expected.back().c_str(), i == 19999 ? 1 : 0), 0);
    }
    ASSERT_EQ(f.addLine(huge.c_str(), 1), 0); // a short last line continued past any block
    ASSERT_EQ(f.addLine("!"), 0);
    expected.back() += huge + "!";
    EXPECT_EQ(linesOf(f), expected);
    EXPECT_EQ(first, f.lineNoMove(0));
    EXPECT_STREQ(first, "first");

    f.clear();
    EXPECT_EQ(f.lineCount(), 0);
    EXPECT_EQ(f.addLine("again"), 0);
    EXPECT_EQ(linesOf(f), std::vector<std::string>{"again"});
}

TEST(FileStore, LoadsFilesWithEitherLineEnd) {
    TempFolder temp;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"empty.txt", "", {}},
        {"lf.txt", "one\ntwo\n\nfour", {"one", "two", "", "four"}},
        {"crlf.txt", "one\r\ntwo\r\n\r\nfour\r\n", {"one", "two", "", "four"}},
        {"tabs.txt", "a\tb\n", {"a\tb"}},
    };
    for (const Case& c : cases) {
        FileStore f;
        std::string path = temp.write(c.name, c.bytes);
        EXPECT_EQ(f.loadFile(path.c_str(), "rb"), 1) << c.name;
        EXPECT_EQ(f.property(FileStore::FileSize), static_cast<int32_t>(c.bytes.size())) << c.name;
        EXPECT_EQ(linesOf(f), c.lines) << c.name;
        EXPECT_STREQ(f.fileName().getString(), path.c_str());
        EXPECT_EQ(f.errors().number(), 0);
    }
    FileStore f;
    f.loadFile(temp.write("t.txt", "x\ta\n").c_str());
    EXPECT_STREQ(f.lineTabsAsBlanks(0), "x a");
    EXPECT_STREQ(f.lineNoMove(0), "x\ta");
}

// A NUL would end its line for every reader: it becomes a blank, and the store says where the
// first of each line stood.
TEST(FileStore, NulCharactersBecomeBlanksAndAreNoted) {
    TempFolder temp;
    FileStore f;
    const std::string bytes("a\0<zork>\r\nplain\n\0\0x\0\rend\0", 25);
    ASSERT_EQ(f.loadFile(temp.write("zero.html", bytes).c_str()), 1);
    EXPECT_EQ(linesOf(f), (std::vector<std::string>{"a <zork>", "plain", "  x ", "end "}));
    const auto& nuls = f.nulCharacters();
    ASSERT_EQ(nuls.size(), 3u);
    EXPECT_EQ(nuls[0].line, 1);
    EXPECT_EQ(nuls[0].character, 2);
    EXPECT_EQ(nuls[1].line, 3);
    EXPECT_EQ(nuls[1].character, 1);
    EXPECT_EQ(nuls[2].line, 4);
    EXPECT_EQ(nuls[2].character, 4);
    EXPECT_EQ(f.property(FileStore::FileSize), 25);
    ASSERT_EQ(f.loadFile(temp.write("clean.html", "no\nzero\n").c_str()), 1);
    EXPECT_TRUE(f.nulCharacters().empty());
}

// Files in a Unicode form of two or four bytes a character, known by their mark, are read as
// code page 1252 when every character has a place there, else as UTF-8.
TEST(FileStore, UnicodeFormsWithAMarkAreDecoded) {
    auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t c : text) {
            const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return out;
    };
    auto utf32le = [](const std::u32string& text) {
        std::string out("\xFF\xFE\0\0", 4);
        for (const char32_t c : text)
            for (int i = 0; i < 4; ++i)
                out += static_cast<char>((c >> (8 * i)) & 0xFF);
        return out;
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"little end", utf16(u"<p>h\u00e9llo</p>\r\n<zork>", false), {"<p>h\xe9llo</p>", "<zork>"}},
        {"big end", utf16(u"<p>\u20ac 5</p>\n", true), {"<p>\x80 5</p>"}},
        {"outside the code page", utf16(u"<p>\u0416</p>", false), {"<p>\xD0\x96</p>"}},
        {"cut off", utf16(u"<p>", false) + "x", {"<p>\xEF\xBF\xBD"}},
        {"four bytes", utf32le(U"<b>\U0001F600</b>\n<i>"), {"<b>\xF0\x9F\x98\x80</b>", "<i>"}},
        {"a NUL among them", utf16(std::u16string(u"a\0b", 3), false), {"a b"}},
        {"only the mark", "\xFF\xFE", {}},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileStore f;
        ASSERT_EQ(f.loadFile(temp.write("u.html", c.bytes).c_str()), 1);
        EXPECT_EQ(linesOf(f), c.lines);
        EXPECT_EQ(f.property(FileStore::FileSize), static_cast<int32_t>(c.bytes.size()));
    }
}

TEST(FileStore, LoadFailuresLeaveTheStoreEmpty) {
    TempFolder temp;
    FileStore f;
    f.addLine("kept?");
    EXPECT_EQ(f.loadFile(temp.path("missing.txt").c_str()), FileStore::LoadFailed);
    EXPECT_EQ(f.errors().number(), 9805241);
    EXPECT_STREQ(f.errors().text().getString(), "loadFile() can't open file");
    EXPECT_EQ(f.lineCount(), 0);
    EXPECT_EQ(f.load(nullptr, false), FileStore::LoadFailed);
    EXPECT_EQ(f.errors().number(), 9805261);
}

TEST(FileStore, LineAccessMovesTheCurrentLocation) {
    FileStore f;
    f.addLine("l1\nl2\nl3");
    SpecificLocation loc;
    EXPECT_STREQ(f.line(1, &loc), "l2");
    EXPECT_EQ(loc.getLine(), 2);
    EXPECT_EQ(f.property(FileStore::CurrentLine), 2);
    EXPECT_EQ(f.line(-1), nullptr);
    EXPECT_EQ(f.line(3), nullptr);
    EXPECT_EQ(f.property(FileStore::CurrentLine), 2);
    EXPECT_STREQ(f.currentText(), "l2");

    f.resetLocation();
    std::string walked;
    int32_t atEnd = 0;
    while (!atEnd)
        walked += f.nextLine(&atEnd, &loc);
    EXPECT_EQ(walked, "l1l2l3");
    EXPECT_EQ(loc.getLine(), 3);
}

TEST(FileStore, SavesEveryLineWithTheGivenLineEnd) {
    TempFolder temp;
    FileStore f;
    f.addLine("a\nb");
    std::string path = temp.path("out.txt");
    ASSERT_EQ(f.save(path.c_str(), "wb", "\r\n"), 0);
    FileStore back;
    ASSERT_EQ(back.loadFile(path.c_str()), 1);
    EXPECT_EQ(back.property(FileStore::FileSize), 6);
    EXPECT_EQ(linesOf(back), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(f.save(temp.path("no\\such\\folder.txt").c_str(), "wb", "\n"), -1);
}

} // namespace
