// Output lines: message forms, wrapping, listing, statistics, header, dates and the log.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/run/DateTime.h"
#include "framework/core/ScopeGuard.h"
#include "engine/run/OutputWriter.h"

using namespace zel::run;

namespace {

std::string joined(const LineBuffer& b) {
    return b.joined("\n");
}

std::unique_ptr<SingleMsgStore> record(int32_t kind, int32_t line, int32_t character, int32_t length,
                                       const std::string& text, int32_t running = 1) {
    auto m = std::make_unique<SingleMsgStore>();
    m->kind = kind;
    m->location = MsgLocation{line, character, length};
    m->setText(text);
    m->runningNumber = running;
    return m;
}

struct FixedClock {
    FixedClock() {
        auto& s = dateTimeSeams();
        s.localTime = [] {
            SYSTEMTIME t{};
            t.wYear = 2024;
            t.wMonth = 3;
            t.wDay = 9;
            t.wHour = 14;
            t.wMinute = 5;
            return t;
        };
        s.formatDate = [](const SYSTEMTIME& t, const char*, std::string& out) {
            out = "Day " + std::to_string(t.wDay);
            return true;
        };
        s.formatTime = [](const SYSTEMTIME& t, const char*, std::string& out) {
            out = std::to_string(t.wHour) + "h";
            return true;
        };
    }
    ~FixedClock() { resetDateTimeSeams(); }
};

TEST(LineBufferAdd, SplitsJoinsAndContinues) {
    LineBuffer b;
    b.addLine("a\nb\nc", false);
    EXPECT_EQ(b.lineCount(), 3);
    b.addLine("d", true);
    b.addLine("e\n", false);
    b.addLine("\n\n", false);
    EXPECT_EQ(joined(b), "a\nb\nc\nde\n\n\n");
    LineBuffer empty;
    empty.addLine("x", true);
    EXPECT_EQ(empty.addLine("y", false), 0);
    LineBuffer none;
    none.addLine("", false);
    EXPECT_EQ(none.lineCount(), 1);
}

TEST(Wrap, CutsAtBlanksOrHard) {
    struct Case {
        const char* text;
        int32_t length;
        const char* pieces;
    } cases[] = {
        {"short", 10, "short|"},
        {"one two three", 7, "one two|three|"},
        {"abcdefghij", 4, "abcd|efgh|ij|"},
        {"abc\tdef", 4, "abc|def|"},
        {"exactly four", 7, "exactly|four|"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> pieces;
        ASSERT_TRUE(wrapText(c.text, c.length, pieces));
        std::string got;
        for (const auto& p : pieces)
            got += p + "|";
        EXPECT_EQ(got, c.pieces) << c.text;
    }
    std::vector<std::string> pieces;
    EXPECT_FALSE(wrapText("x", 0, pieces));
}

TEST(MessageForms, ReadableWithMarkerUnderTheCharacter) {
    RunOptions o;
    MsgStore store(&o);
    store.add(record(KindErrorAt, 3, 5, 4, "The tag is bad."));
    LineBuffer b;
    ASSERT_EQ(formatMessage(*store.shown(0), &b, FormatReadable, 60, true), 1);
    EXPECT_EQ(joined(b), "----------||||\n\n[ZEL] Error number 1 in line 3:5:\nThe tag is bad.\n");
    EXPECT_EQ(formatMessage(*store.shown(0), &b, FormatReadable, 0, false), 0);
    EXPECT_EQ(formatMessage(*store.shown(0), nullptr, FormatReadable, 60, false), 0);
    SingleMsgStore orphan;
    EXPECT_EQ(formatMessage(orphan, &b, FormatReadable, 60, false), 0);
}

TEST(MessageForms, HeadersByKindShareCounters) {
    RunOptions o;
    o.outputFlags |= of::ShowComments | of::ShowMessages | of::ShowWarnings;
    MsgStore store(&o);
    store.add(record(KindErrorAt, 1, 2, -1, "e1"));
    store.add(record(KindErrorTagLine, 2, -1, -1, "e2"));
    store.add(record(KindWarningAt, 3, -1, -1, "w1"));
    store.add(record(KindWarningTagStart, 4, 6, -1, "w2"));
    store.add(record(KindMessage, 5, 1, -1, "m1"));
    store.add(record(KindErrorAt, -1, -1, -1, "e3"));
    store.add(record(KindComment, -1, -1, -1, "c1"));
    LineBuffer b;
    for (size_t i = 0; i < store.shownCount(); ++i)
        formatMessage(*store.shown(i), &b, FormatReadable, 60, false);
    std::string headers;
    for (const auto& l : b.lines())
        if (l.rfind("[ZEL]", 0) == 0)
            headers += l + "\n";
    EXPECT_EQ(headers, "[ZEL] Error number 1:\n"
                       "[ZEL] Error number 2 in line 1:2:\n"
                       "[ZEL] Error number 3 for the tag beginning in line 2:\n"
                       "[ZEL] Warning number 1 in line 3:\n"
                       "[ZEL] Warning number 2 for the tag beginning in line 4:6:\n"
                       "[ZEL] Message number 1 for the tag beginning in line 5:1:\n"
                       "[ZEL] Comment number 1:\n");
}

TEST(MessageForms, RecordLines) {
    RunOptions o;
    o.outputFlags |= of::ShowComments;
    MsgStore store(&o);
    store.add(record(KindErrorAt, 3, 5, 4, "Bad.", 2));
    store.add(record(KindErrorAt, 4, -1, 4, "Line only.", 3));
    store.add(record(KindComment, 9, 9, 9, "Hint.", 1));
    LineBuffer b;
    for (size_t i = 0; i < store.shownCount(); ++i)
        formatMessage(*store.shown(i), &b, FormatRecord, 60, false);
    EXPECT_EQ(joined(b), "MESSAGETYPE=ERROR\nMESSAGENUMBER=2\nLINENUMBER=3\nCHARLOCATION="
                         "5\nCHARLOCATIONLENGTH=4\nMESSAGE=Bad.\n"
                         "MESSAGETYPE=ERROR\nMESSAGENUMBER=3\nLINENUMBER=4\nMESSAGE=Line only.\n"
                         "MESSAGETYPE=COMMENT\nMESSAGENUMBER=1\nMESSAGE=Hint.\n");
}

TEST(Listing, RangeRulesAndPiecewiseMessages) {
    const DocumentLines doc(std::vector<std::string>{"<html>", "<body>", "<p>bad</p>", "</body>", "</html>"});
    RunOptions o;
    o.outputFlags = of::IncludeHTML | of::ShowComments;
    MsgStore store(&o);
    store.add(record(KindErrorAt, 3, 5, 4, "Bad."));
    store.add(record(KindComment, -1, -1, -1, "A hint."));
    OutputContext ctx;
    ctx.options = &o;
    ctx.store = &store;
    ctx.document = &doc;

    LineBuffer none;
    EXPECT_EQ(listLines(ctx, none, 0, 1), 0);
    EXPECT_EQ(listLines(ctx, none, 3, 2), 0);
    EXPECT_EQ(listLines(ctx, none, 5, 6), 0);
    EXPECT_EQ(none.lineCount(), 0);

    LineBuffer b;
    writeMessages(ctx, b);
    EXPECT_EQ(joined(b), "\n   1: <html>\n   2: <body>\n"
                         "\n   3: <p>bad</p>\n"
                         "----------||||\n\n[ZEL] Error number 1 in line 3:5:\nBad.\n"
                         "\n   4: </body>\n   5: </html>\n"
                         "\n[ZEL] Comment number 1:\nA hint.\n"
                         "\n--------------------------------------------------\n");
}

TEST(Statistics, ZeroLineDocumentInBothForms) {
    const DocumentLines doc;
    RunOptions o;
    o.entityFlags &= ~ef::ValidateEntities;
    o.validatorFlags &= ~vf::IgnoreTextInPercents;
    MsgStore store(&o);
    OutputContext ctx;
    ctx.options = &o;
    ctx.store = &store;
    ctx.document = &doc;
    LineBuffer readable;
    writeStatistics(ctx, readable, 0);
    EXPECT_EQ(joined(readable), "[ZEL] No errors or warnings were detected!\n\n"
                                "     Number of lines checked: 0 in 0.00 seconds\n"
                                "      Number of programs run: 0\n"
                                " Number of lines in document: 0\n"
                                "     Number of lines ignored: 0\n"
                                "              Number of tags: 0\n"
                                "      Number of closing tags: 0\n"
                                "     Number of HTML comments: 0\n\n"
                                "Number of validator comments: 0\n"
                                "          Number of messages: 0\n"
                                "            Number of errors: 0\n"
                                "          Number of warnings: 0\n"
                                "\n--------------------------------------------------\n");
    ctx.recordMode = true;
    LineBuffer records;
    writeStatistics(ctx, records, 0);
    EXPECT_EQ(joined(records),
              "LINESCHECKED=0\nLINESINFILE=0\nLINESIGNORED=0\nNUMBEROFTAGNAMES=0\nNUMBEROFCLOSINGTAGS=0\n"
              "NUMBEROFHTMLCOMMENTS=0\nNUMBEROFVALIDATORCOMMENTS=0\nNUMBEROFMESSAGES=0\nNUMBEROFERRORS=0\n"
              "NUMBEROFWARNINGS=0\nMAXMESSAGECHARS=0\n");

    // The brief form leaves out the tag, closing-tag and comment counts in both forms.
    LineBuffer briefRecords;
    writeStatistics(ctx, briefRecords, StatisticsBrief);
    EXPECT_EQ(joined(briefRecords),
              "LINESCHECKED=0\nLINESINFILE=0\nLINESIGNORED=0\nNUMBEROFVALIDATORCOMMENTS=0\n"
              "NUMBEROFMESSAGES=0\nNUMBEROFERRORS=0\nNUMBEROFWARNINGS=0\nMAXMESSAGECHARS=0\n");
    ctx.recordMode = false;
    LineBuffer briefReadable;
    writeStatistics(ctx, briefReadable, StatisticsBrief);
    EXPECT_EQ(joined(briefReadable), "[ZEL] No errors or warnings were detected!\n\n"
                                     "     Number of lines checked: 0 in 0.00 seconds\n"
                                     "      Number of programs run: 0\n"
                                     " Number of lines in document: 0\n"
                                     "     Number of lines ignored: 0\n"
                                     "Number of validator comments: 0\n"
                                     "          Number of messages: 0\n"
                                     "            Number of errors: 0\n"
                                     "          Number of warnings: 0\n"
                                     "\n--------------------------------------------------\n");
}

TEST(Statistics, PercentagesAndFirstLines) {
    const DocumentLines doc(std::vector<std::string>(8, "x"));
    RunOptions o;
    MsgStore store(&o);
    store.add(record(KindErrorAt, 6, -1, -1, "e"));
    store.add(record(KindWarningAt, 2, -1, -1, "w"));
    OutputContext ctx;
    ctx.options = &o;
    ctx.store = &store;
    ctx.document = &doc;
    ctx.lastLineReached = 8;
    ctx.statistics[2] = 2;
    ctx.openingTagEntries = 4;
    ctx.closingTagCount = 3;
    ctx.statistics[1] = 1;
    ctx.elapsedSeconds = 0.256;
    LineBuffer b;
    writeStatistics(ctx, b, 0);
    const std::string text = joined(b);
    EXPECT_NE(text.find("     Number of lines checked: 6 in 0.26 seconds\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" Number of lines in document: 8 (75.0% of lines checked)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("      Number of closing tags: 3 (75.0% of tags closed)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Number of <% ... %> sections: 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("            Number of errors: 1 (first in line 6)\n          Number of warnings: 1 "
                        "(first in line 2)\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("No errors"), std::string::npos);
}

TEST(Header, ReadableAndRecord) {
    FixedClock clock;
    OutputContext ctx;
    ctx.inputName = "page.html";
    ctx.byteSize = 42;
    LineBuffer b;
    writeOutputHeader(ctx, b);
    EXPECT_EQ(joined(b), "\n--------------------------------------------------\n\nZEL Orvalent Lite v3.00\n"
                         "Checking \"page.html\" (42 bytes).\nFile checked on Day 9 at 14h.\n\n");
    ctx.recordMode = true;
    LineBuffer r;
    writeOutputHeader(ctx, r);
    EXPECT_EQ(joined(r), "VALIDATOR=ZEL Orvalent Lite\n\nVERSION=3.00\nFILENAME=page.html\nBYTESIZE=42\n");
}

TEST(DateTimeHelpers, FallbacksAndElapsedSeconds) {
    std::string tooLong;
    for (int i = 0; i < 70; ++i)
        tooLong += "yyyy-";
    EXPECT_EQ(currentDateText(tooLong.c_str()), std::string(kDateErrorText));
    EXPECT_NE(currentDateText("yyyy"), std::string(kDateErrorText));
    {
        FixedClock clock;
        dateTimeSeams().formatTime = [](const SYSTEMTIME&, const char*, std::string&) { return false; };
        EXPECT_EQ(currentTimeText(), std::string(kTimeErrorText));
        EXPECT_EQ(currentYear(), 2024);
        EXPECT_EQ(dayNumberOfToday(), static_cast<int32_t>(9 + 3 * 30.44 + 2024 * 365.24 + 1.0));
    }
    SYSTEMTIME a{};
    a.wYear = 2024;
    a.wMonth = 2;
    a.wDay = 29;
    a.wHour = 23;
    a.wMinute = 59;
    SYSTEMTIME b = a;
    EXPECT_DOUBLE_EQ(elapsedSeconds(a, b), 0.0);
    b.wMonth = 3;
    b.wDay = 1;
    b.wHour = 0;
    b.wMinute = 0;
    EXPECT_NEAR(elapsedSeconds(a, b), 60.0, 1e-9);
    b.wMonth = 13;
    EXPECT_EQ(elapsedSeconds(a, b), -1.0);
    std::string d, t;
    EXPECT_EQ(fileDateTimeText(std::string("Z:\\no\\such\\file.txt"), d, t), -1);
    EXPECT_EQ(d, std::string(kFileDateErrorText));
    EXPECT_EQ(t, std::string(kFileTimeErrorText));
}

// The header reads its input's date by name; it must say what the open file says.
TEST(DateTimeHelpers, FileDateByNameAgreesWithTheOpenFile) {
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "zel-file-date-test.txt";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    TScopeGuard removeFile([&] { DeleteFileA(path.c_str()); });
    TScopeGuard closeFile([&] {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    });
    SYSTEMTIME when{};
    when.wYear = 2021;
    when.wMonth = 7;
    when.wDay = 14;
    when.wHour = 9;
    when.wMinute = 30;
    FILETIME written;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &written));
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &written));
    std::string openDate, openTime, date, time;
    EXPECT_EQ(fileDateTimeText(h, openDate, openTime), 1);
    CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
    EXPECT_EQ(fileDateTimeText(path, date, time), 1);
    EXPECT_EQ(date, openDate);
    EXPECT_EQ(time, openTime);
    EXPECT_NE(date.find("2021"), std::string::npos) << date;
}

} // namespace
