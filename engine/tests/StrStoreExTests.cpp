#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStoreEx.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SpecificLocation at(int32_t line, int32_t character) {
    SpecificLocation loc;
    loc.setLine(line);
    loc.setSecondLine(line);
    loc.setCharacter(character);
    return loc;
}

// Installs an error list for the string classes for the life of one test.
class LocatedStrings : public ::testing::Test {
protected:
    void SetUp() override { StrStoreEx::errorList = &errors; }
    void TearDown() override { StrStoreEx::errorList = nullptr; }
    ErrorStore errors;
};

TEST(SpecificLocation, MovingTheStartKeepsTheEnd) {
    SpecificLocation loc;
    EXPECT_EQ(loc.getLine(), -1);
    EXPECT_EQ(loc.getCharacter(), -1);
    loc.setCharacter(10);
    loc.setLength(5); // characters 10-14
    loc.setCharacter(12);
    EXPECT_EQ(loc.getLength(), 3);
    loc.setCharacter(0); // unknown: the length stays
    EXPECT_EQ(loc.getCharacter(), -1);
    EXPECT_EQ(loc.getLength(), 3);
    loc.setLength(0);
    EXPECT_EQ(loc.getLength(), -1);
    EXPECT_EQ(loc.setPositiveNumber(0), -1000000000);
    EXPECT_EQ(loc.getFreeWord(0), -1);
    loc.setFreeWord(7, 1);
    EXPECT_EQ(loc.getFreeWord(1), 7);
}

TEST_F(LocatedStrings, LocationOfEveryCharacterOfAppendedPieces) {
    StrStoreEx s;
    s.appendLocated("abcdef", at(3, 5));
    s.appendLocated("xyz", at(4, 1));
    struct Case {
        int32_t index, line, character;
    } cases[] = {{0, 3, 5}, {2, 3, 7}, {5, 3, 10}, {6, 4, 1}, {8, 4, 3}, {9, 4, 4}};
    for (const Case& c : cases) {
        SpecificLocation loc = s.getLocation(c.index);
        EXPECT_EQ(loc.getLine(), c.line) << c.index;
        EXPECT_EQ(loc.getCharacter(), c.character) << c.index;
    }
    EXPECT_EQ(s.getLocation(10).getLine(), -1);
    EXPECT_EQ(errors.number(), 9806043);
    EXPECT_EQ(s.getLocation(s.getString() + 7).getCharacter(), 2);
    EXPECT_EQ(s.getLocation(s.getString() + 9 + 1).getLine(), -1);
    EXPECT_EQ(errors.number(), 9806045);
    EXPECT_EQ(s.getLocation(static_cast<const char*>(nullptr)).getLine(), -1);
    EXPECT_EQ(errors.number(), 9806044);

    StrStoreEx plain;
    plain.assign("no locations");
    EXPECT_EQ(plain.getLocation(0).getLine(), -1);
    EXPECT_EQ(errors.number(), 9806042);
}

TEST_F(LocatedStrings, MarkedLengthRunsToTheNextLine) {
    StrStoreEx s;
    s.appendLocated("ab   ", at(1, 1));
    s.appendLocated("cd", at(1, 6));
    s.appendLocated("ef", at(2, 1));
    EXPECT_EQ(s.getLocation(1, StrStoreEx::LocToLineEnd).getLength(), 6);        // "b   cd"
    EXPECT_EQ(s.getLocation(1, StrStoreEx::LocToLineEndTrimmed).getLength(), 6); // ends in "d"
    EXPECT_EQ(s.getLocation(7, StrStoreEx::LocToLineEnd).getLength(), 2);
    StrStoreEx t;
    t.appendLocated("ab   ", at(1, 1));
    t.appendLocated("x", at(2, 1));
    EXPECT_EQ(t.getLocation(0, StrStoreEx::LocToLineEnd).getLength(), 5);
    EXPECT_EQ(t.getLocation(0, StrStoreEx::LocToLineEndTrimmed).getLength(), 2);
    EXPECT_EQ(t.getLocation(0, StrStoreEx::LocStart).getLength(), -1);
}

TEST_F(LocatedStrings, JoiningWithAndWithoutLocations) {
    StrStoreEx left, right;
    left.appendLocated("ab", at(1, 1));
    right.appendLocated("cd", at(9, 4));
    left << right;
    EXPECT_STREQ(left.getString(), "abcd");
    EXPECT_EQ(left.getLocation(3).getLine(), 9);
    EXPECT_EQ(left.getLocation(3).getCharacter(), 5);
    EXPECT_EQ(errors.number(), 0);

    StrStoreEx unlocated;
    unlocated.assign("zz");
    left << unlocated;
    EXPECT_FALSE(left.hasLocations());
    EXPECT_EQ(errors.number(), 9806041);
    EXPECT_STREQ(errors.text().getString(),
                 "StrStoreEx::operator<<: a STRSTOREEXLOCARRAY is FALSE (right is not)");
}

TEST_F(LocatedStrings, SlicingAndDroppingKeepLocations) {
    StrStoreEx s;
    s.appendLocated("hello ", at(2, 3));
    s.appendLocated("world", at(3, 1));
    StrStoreEx piece = s.slice(4, 4); // "o wo"
    EXPECT_STREQ(piece.getString(), "o wo");
    EXPECT_EQ(piece.getLocation(0).getCharacter(), 7);
    EXPECT_EQ(piece.getLocation(1).getLine(), 2);
    EXPECT_EQ(piece.getLocation(2).getLine(), 3);
    EXPECT_EQ(piece.getLocation(3).getCharacter(), 2);
    EXPECT_STREQ(s.slice(-3, -1).getString(), "hello world");
    EXPECT_STREQ(s.slice(8, 99).getString(), "rld");

    s.dropFirst(7);
    EXPECT_STREQ(s.getString(), "orld");
    EXPECT_EQ(s.getLocation(0).getLine(), 3);
    EXPECT_EQ(s.getLocation(0).getCharacter(), 2);

    StrStoreEx bad = s.getStringWithLoc(2, 0);
    EXPECT_EQ(bad.getStringLength(), 0);
    EXPECT_EQ(errors.number(), 9806047);
    s.getStringWithLoc(0, 9);
    EXPECT_EQ(errors.number(), 9806046);
}

TEST_F(LocatedStrings, CollapsingServerBlocks) {
    StrStoreEx s;
    s.appendLocated("<a href=<% x %>", at(5, 1));
    s.appendLocated(" title=t>", at(5, 16));
    EXPECT_EQ(s.collapseBlocks("<%", "%>", "SRV"), 1);
    EXPECT_STREQ(s.getString(), "<a href=SRV title=t>");
    EXPECT_EQ(s.getLocation(3).getCharacter(), 4); // before the block: unchanged
    EXPECT_EQ(s.getLocation(8).getCharacter(), 9); // the word stands where the block began
    EXPECT_EQ(s.getLocation(8).getLine(), 5);
    EXPECT_EQ(s.getLocation(11).getCharacter(), 16); // first character after the block
    EXPECT_EQ(s.getLocation(19).getCharacter(), 24);

    struct Case {
        const char* text;
        const char* open;
        const char* close;
        int32_t flags;
        int32_t count;
        const char* out;
    } cases[] = {
        {"a<%%>b<%x%>c", "<%", "%>", StrStoreEx::SkipEmptyBlock, 1, "a<%%>b_c"},
        {"a<%%>b<%x%>c", "<%", "%>", 0, 2, "a_b_c"},
        {"<?xml v?><?php x?>", "<?", "?>", StrStoreEx::SkipXmlDeclaration, 1, "<?xml v?>_"},
        {"a<%b", "<%", "%>", 0, 0, "a<%b"},
        {"a<%b%>", "", "%>", 0, 0, "a<%b%>"},
    };
    for (const Case& c : cases) {
        StrStoreEx t;
        t.appendLocated(c.text, at(1, 1));
        EXPECT_EQ(t.collapseBlocks(c.open, c.close, "_", c.flags), c.count) << c.text;
        EXPECT_STREQ(t.getString(), c.out) << c.text;
    }
}

TEST_F(LocatedStrings, ReadingLines) {
    StrStoreEx s;
    s.assignText("one\r\ntwo\rthree\n\nfive\r\n");
    StrStore line;
    std::string seen;
    while (s.nextLine(line))
        seen += std::string(line.getString()) + "|";
    EXPECT_EQ(seen, "one|two|three||five|");
    EXPECT_EQ(s.nextLine(line), 0);

    EXPECT_EQ(s.setReadPosition(s.getStringLength() + 1), 0);
    EXPECT_EQ(s.setReadPosition(3), 1);
    EXPECT_EQ(s.skipWhitespaceAndTake(), 't');
    EXPECT_EQ(s.getReadPosition(), 6);
}

} // namespace
