#include "engine/utils/NumericReference.h"
#include "engine/utils/StrStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

StrStore filled(int32_t length, char c = 'a') {
    StrStore s(1);
    s.setStringLength(length + 1, c);
    return s;
}

TEST(StrStore, AppendGrowsInStepsByOldLength) {
    struct Case {
        int32_t length;
        int32_t appended;
        int32_t capacity;
    } cases[] = {
        {10, 1, 12},         // small: exactly what is needed
        {1000, 1, 1002},     // 1000 is not above 1000
        {1001, 1, 2003},     // above 1000: 1000 more
        {10001, 1, 20003},   // 10001 or more: 10000 more
        {100001, 5, 200007}, // 100001 or more: 100000 more
    };
    for (const Case& c : cases) {
        StrStore s = filled(c.length);
        ASSERT_EQ(s.getCapacity(), c.length + 1);
        ASSERT_EQ(s.append(std::string(static_cast<size_t>(c.appended), 'b').c_str()), 1);
        EXPECT_EQ(s.getCapacity(), c.capacity) << "length " << c.length;
        EXPECT_EQ(s.getStringLength(), c.length + c.appended);
        EXPECT_EQ(s.charAt(c.length), 'b');
        EXPECT_EQ(s.charAt(s.getStringLength()), 0);
    }
}

TEST(StrStore, AppendInPlaceWhenItFitsAndIgnoresNullAndEmpty) {
    StrStore s(32);
    s.assign("abc");
    EXPECT_EQ(s.append(nullptr), 1);
    EXPECT_EQ(s.append(""), 1);
    EXPECT_EQ(s.append("defgh", 2), 1);
    s << 'x' << int32_t(-42);
    EXPECT_STREQ(s.getString(), "abcdex-42");
    EXPECT_EQ(s.getCapacity(), 32);
    // A piece of the string itself survives the buffer moving.
    StrStore t = filled(40, 'q');
    t.append(t.getString() + 30);
    EXPECT_EQ(t.getStringLength(), 50);
    EXPECT_EQ(std::string(t.getString()), std::string(50, 'q'));
}

// A piece taken from the front of a long text reads the piece only: the characters stand at the
// very end of a readable page, so a read past them faults.
TEST(StrStore, TakingTheFirstCharactersReadsNoFurther) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    char* base =
        static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + page, page, PAGE_NOACCESS, &old));
    char* text = base + page - 5;
    std::memcpy(text, "ab\0de", 5);
    StrStore s;
    EXPECT_EQ(s.assign(text + 3, 2), 1);
    EXPECT_STREQ(s.getString(), "de");
    EXPECT_EQ(s.append(text + 3, 2), 1);
    EXPECT_STREQ(s.getString(), "dede");
    // A terminator within the count still ends the text.
    EXPECT_EQ(s.assign(text, 5), 1);
    EXPECT_STREQ(s.getString(), "ab");
    EXPECT_EQ(s.append(text, 5), 1);
    EXPECT_STREQ(s.getString(), "abab");
    VirtualFree(base, 0, MEM_RELEASE);
}

TEST(StrStore, AssignmentShrinksLargeBuffersAndHandlesItsOwnText) {
    StrStore s = filled(1999);
    s.assign("short");
    EXPECT_EQ(s.getCapacity(), 1024);
    EXPECT_STREQ(s.getString(), "short");
    s.assign(s.getString() + 2); // text inside the buffer: no shrink, no overlap damage
    EXPECT_STREQ(s.getString(), "ort");
    s.assign(static_cast<const char*>(nullptr));
    EXPECT_STREQ(s.getString(), "");
    StrStore big = filled(3000);
    StrStore copy(big);
    EXPECT_EQ(copy.getCapacity(), 3001);
    StrStore sparse(5000);
    sparse.assign("abc");
    StrStore sparseCopy(sparse);
    EXPECT_EQ(sparseCopy.getCapacity(), 4); // capacity above twice the length: length + 1
    EXPECT_STREQ(StrStore("file", 1).getString(), "file");
    EXPECT_STREQ(StrStore("file", 2).getString(), "files");
}

TEST(StrStore, SetStringLength) {
    StrStore s(4);
    EXPECT_EQ(s.setStringLength(0), 0);
    EXPECT_EQ(s.setStringLength(10, '-'), 1);
    EXPECT_EQ(s.getCapacity(), 10);
    EXPECT_STREQ(s.getString(), "---------");
    EXPECT_EQ(s.setStringLength(3), 1);
    EXPECT_EQ(s.getStringLength(), 2);
    EXPECT_EQ(s.getCapacity(), 10);
}

TEST(StrStore, CharAtOutsideTheTextIsZero) {
    StrStore s("abc");
    EXPECT_EQ(s.charAt(0), 'a');
    EXPECT_EQ(s.charAt(3), 0);
    EXPECT_EQ(s.charAt(4), 0);
    EXPECT_EQ(s.charAt(-1), 0);
}

TEST(StrStore, DecodeEntities) {
    struct Case {
        const char* in;
        int32_t flags;
        const char* out;
        int32_t result;
    } cases[] = {
        {"&lt;b&gt; &#65; &bogus;", 2, "<b> A &bogus;", 1},
        {"&lt;b&gt; &#65; &bogus;", 0, "<b> A &bogus;", 0},
        {"&#0; &#256; &#x100;", 2, "&#0; &#256; &#x100;", 3},
        {"&#x41;&#X62;&quot;&amp;amp;", 2, "Ab\"&amp;", 0},
        {"&nbsp;&Agrave;&agrave;&yuml;", 2, "\xA0\xC0\xE0\xFF", 0},
        {"a & b &lt no end", 2, "a & b &lt no end", 2},
        {"plain", 0, "plain", 1},
        {"plain", 2, "plain", 0},
        {"&AMP;", 2, "&AMP;", 1}, // names are case-sensitive
    };
    for (const Case& c : cases) {
        StrStore s(c.in);
        EXPECT_EQ(s.decodeEntities(c.flags), c.result) << c.in;
        EXPECT_STREQ(s.getString(), c.out) << c.in;
    }
}

TEST(NumericReference, DigitsOfEitherBaseUpToTheLimit) {
    struct Case {
        const char* digits;
        bool hex;
        long limit;
        long value;
    } cases[] = {
        {"65", false, 255, 65},
        {"00065", false, 255, 65},
        {"41", true, 255, 0x41},
        {"aF", true, 255, 0xAF},
        {"", false, 255, -1},
        {"6a", false, 255, -1}, // a letter is no decimal digit
        {"4g", true, 255, -1},
        {"256", false, 255, 256},
        {"99999999999999999999", false, 0x10FFFF, 9999999}, // stops growing past the limit
        {"99999999999999999999x", false, 0x10FFFF, -1},     // and still checks every digit
        {"FFFFFFFFFFFFFFFFFFFF", true, 0x10FFFF, 0xFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(referenceValue(c.digits, std::strlen(c.digits), c.hex, c.limit), c.value) << c.digits;
    EXPECT_EQ(hexDigitValue('0'), 0);
    EXPECT_EQ(hexDigitValue('f'), 15);
    EXPECT_EQ(hexDigitValue('F'), 15);
    EXPECT_EQ(hexDigitValue('g'), -1);
    EXPECT_EQ(hexDigitValue('/'), -1);
}

TEST(StrStore, BackslashEscapes) {
    StrStore s("a\\\"b\\\\c\\nd\\qe\\");
    EXPECT_EQ(s.decodeBackslashEscapes(), 4);
    EXPECT_STREQ(s.getString(), "a\"b\\c\nd"
                                "qe\\");
}

TEST(StrStore, FindAndReplace) {
    StrStore s("Hello hello HELLO");
    EXPECT_EQ(s.find("hello"), 6);
    EXPECT_EQ(s.find("HELLO", StrStore::FindCaseBlind), 0);
    EXPECT_EQ(s.find("LLO", StrStore::FindEndsWith), 14);
    EXPECT_EQ(s.find("llo", StrStore::FindEndsWith), -1);
    EXPECT_EQ(s.find(nullptr), 0);
    EXPECT_EQ(StrStore::findCaseBlind("abcABC", "bc", true), 4);
    EXPECT_EQ(s.replace("hello", "bye", true), 3);
    EXPECT_STREQ(s.getString(), "bye bye bye");
    EXPECT_EQ(s.replace("", "x"), -1);
    EXPECT_EQ(s.replaceChar('y', 'i'), 3);
    StrStore t("a<!--x-->b<!--y-->c<!--z");
    EXPECT_EQ(t.replaceDelimited("<!--", "-->", "_"), 2);
    EXPECT_STREQ(t.getString(), "a_b_c<!--z");
    EXPECT_EQ(t.replaceDelimited("<!--", "-->", nullptr), 0);
}

TEST(StrStore, WhitespaceEditing) {
    struct Case {
        const char* in;
        int32_t mode;
        const char* out;
    } trims[] = {
        {"  a b \t", 0, "a b"}, {"  a b \t", 1, "a b \t"}, {"  a b \t", 2, "  a b"}, {" \t ", 0, ""}};
    for (const Case& c : trims) {
        StrStore s(c.in);
        s.trim(c.mode);
        EXPECT_STREQ(s.getString(), c.out) << c.in << " mode " << c.mode;
    }
    StrStore s("a  \t b  'c   d'  \"e  f");
    StrStore plain(s);
    plain.collapseWhitespace();
    EXPECT_STREQ(plain.getString(), "a b 'c d' \"e f");
    s.collapseWhitespace(StrStore::CollapseKeepQuoted);
    EXPECT_STREQ(s.getString(), "a b 'c   d' \"e  f");
    StrStore bars(" | |x|");
    EXPECT_EQ(bars.removeLeadingBlanksAndBars(), 4);
    EXPECT_STREQ(bars.getString(), "x|");
    EXPECT_EQ(bars.removeLast(3), 0);
    EXPECT_EQ(bars.removeLast(1), 1);
    EXPECT_TRUE(StrStore("name.val").removeSuffix(".val"));
}

TEST(StrStore, FileNameParts) {
    struct Case {
        const char* path;
        int32_t flags;
        const char* extension;
    } cases[] = {
        {"C:\\my.folder\\file", 1, ""},
        {"C:\\my.folder\\file", 0, "folder\\file"},
        {"C:\\dir/a.b/file", 2, ""},
        {"C:\\dir\\page.HTML", 1, "HTML"},
        {"http://host.com/dir/page.php?x=a.b#c.d", 4, "php"},
        {"http://host.com/dir/", 4, ""},
        {"noext", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(StrStore(c.path).extension(c.flags).getString(), c.extension)
            << c.path << " " << c.flags;

    struct Parent {
        const char* path;
        int32_t mode;
        int32_t result;
        const char* out;
    } parents[] = {
        {"C:\\a\\b\\", 1, 1, "C:\\a"},
        {"\\\\server", 1, 0, "\\\\server"},
        {"http://host/dir", 2, 1, "http://host"},
        {"http://host", 2, 0, "http://host"},
        {"x", 3, -1, "x"},
    };
    for (const Parent& p : parents) {
        StrStore s(p.path);
        EXPECT_EQ(s.toParent(p.mode), p.result) << p.path;
        EXPECT_STREQ(s.getString(), p.out) << p.path;
    }
    char keep[] = "C:\\dir\\file.txt";
    EXPECT_EQ(StrStore::folderPart(keep, 0), 1);
    EXPECT_STREQ(keep, "C:\\dir\\");
    char drop[] = "C:\\dir\\file.txt";
    EXPECT_EQ(StrStore::folderPart(drop, 1), 1);
    EXPECT_STREQ(drop, "C:\\dir");
    char none[] = "file.txt";
    EXPECT_EQ(StrStore::folderPart(none, 1), 0);
    StrStore name("report.");
    EXPECT_EQ(name.addDefaultExtension("txt"), 1);
    EXPECT_STREQ(name.getString(), "report.txt");
    EXPECT_EQ(name.addDefaultExtension("htm"), 0);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    StrStore folder(temp);
    folder.removeLast(1); // an existing folder without its trailing backslash
    EXPECT_EQ(folder.addDefaultExtension("htm", 1), 0);
    EXPECT_EQ(folder.addDefaultExtension("htm", 0), 1);
}

TEST(StrStore, UrlEscapesAndLists) {
    StrStore s("a b\t/~");
    s.urlEncode();
    EXPECT_STREQ(s.getString(), "a+b%09%2f%7e");
    EXPECT_EQ(s.urlDecode(), 0);
    EXPECT_STREQ(s.getString(), "a b\t/~");
    StrStore plus("a+b%4");
    EXPECT_EQ(plus.urlDecode(1), 1);
    EXPECT_STREQ(plus.getString(), "a+b%4");
    EXPECT_TRUE(StrStore::listContains("a,bb,c", "bb"));
    EXPECT_FALSE(StrStore::listContains("a,bb,c", "b"));
}

TEST(StrStore, NextTagName) {
    StrStore s("  <p class=x> <!-- c --> >< ");
    StrStore name;
    int32_t pos = 0;
    EXPECT_EQ(s.nextTagName(&pos, name), 0);
    EXPECT_STREQ(name.getString(), "p");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(s.nextTagName(&pos, name), -1); // "class" is no "<"
    pos = 13;
    EXPECT_EQ(s.nextTagName(&pos, name), 1); // the comment ends with its own "-->"
    EXPECT_EQ(pos, 24);
    EXPECT_EQ(s.nextTagName(&pos, name), -1); // the stray ">" is no tag
    pos = 26;
    EXPECT_EQ(s.nextTagName(&pos, name), -2);
    pos = 27;
    EXPECT_EQ(s.nextTagName(&pos, name), 2);
    pos = 99;
    EXPECT_EQ(s.nextTagName(&pos, name), -10);
    EXPECT_EQ(s.nextTagName(nullptr, name), -3);

    // A tag right after a comment is found, not swallowed with it.
    StrStore t("<!-- c --><p>");
    pos = 0;
    EXPECT_EQ(t.nextTagName(&pos, name), 1);
    EXPECT_EQ(t.nextTagName(&pos, name), 0);
    EXPECT_STREQ(name.getString(), "p");
}

TEST(StrStore, ManyAppendsGrowTheBufferGeometrically) {
    StrStore s(std::string(2000, 'a').c_str());
    int32_t moves = 0, last = s.getCapacity();
    for (int i = 0; i < 200000; ++i) {
        s.appendChar('x');
        if (s.getCapacity() != last)
            ++moves, last = s.getCapacity();
    }
    EXPECT_EQ(s.getStringLength(), 202000);
    EXPECT_LT(moves, 40); // fixed steps would move it hundreds of times
}

TEST(StrStore, ReadsItsStoredFormAndRefusesBadLengths) {
    auto stream = [](std::initializer_list<int32_t> head, const std::string& body) {
        FILE* f = std::tmpfile();
        for (int32_t v : head)
            std::fwrite(&v, sizeof v, 1, f);
        std::fwrite(body.data(), 1, body.size(), f);
        std::rewind(f);
        return f;
    };
    struct Case {
        std::initializer_list<int32_t> head;
        std::string body;
        int32_t result;
        const char* text;
    } cases[] = {
        {{1, 5}, "hello", 1, "hello"}, {{1, 0}, "", 1, ""},     {{2, 5}, "hello", 0, "old"},
        {{1, 100001}, "x", 0, "old"},  {{1, -1}, "", 0, "old"}, {{1, 9}, "short", 0, ""},
    };
    for (const Case& c : cases) {
        FILE* f = stream(c.head, c.body);
        ASSERT_NE(f, nullptr);
        StrStore s("old");
        EXPECT_EQ(s.read(f), c.result);
        EXPECT_STREQ(s.getString(), c.text);
        std::fclose(f);
    }
}

} // namespace
