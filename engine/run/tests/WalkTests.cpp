// The document walk: which messages small documents give, and where.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "engine/run/ValidateArgs.h"
#include "engine/tests/EngineFixture.h"

using namespace zel::run;

namespace {

struct Walk {
    RunOptions options;
    MsgStore store;
    ValidateArgsClass args;
    LineBuffer out;

    Walk() { options.loggingFlags &= ~lf::EnableLogging; }

    int run(const std::string& doc, const std::function<void(ValidateArgsClass&)>& before = {}) {
        EXPECT_EQ(args.initialize(1, &store, options), 0);
        args.input.lines = documentLines(doc);
        args.input.inputName = "test.html";
        args.input.byteSize = documentByteSize(args.input.lines);
        args.output1 = &out;
        if (before)
            before(args);
        return validate(args);
    }
    std::string messages() const { return shownMessageList(store); }
    std::string hints() const {
        std::string s;
        for (size_t i = 0; i < store.shownCount(); ++i)
            if (store.shown(i)->kind == KindComment)
                s += std::to_string(store.shown(i)->id) + " ";
        return s;
    }
};

TEST(Walk, SmallDocumentsGiveTheirMessages) {
    struct Case {
        const char* name;
        const char* doc;
        const char* messages;
        std::function<void(RunOptions&)> options = nullptr;
    } cases[] = {
        {"plain text", "Hello world\nsecond line", ""},
        {"doctype then html", "<!DOCTYPE html>\n<html>", ""},
        {"second doctype", "<!DOCTYPE html>\n<!doctype html>", "98@2:1"},
        {"doctype after a tag", "<p>\n<!DOCTYPE html>", "98@2:1"},
        {"xml declaration first", "<?xml version=\"1.0\"?>\n<!DOCTYPE html>", ""},
        {"xml declaration after doctype", "<!DOCTYPE html>\n<?xml version=\"1.0\"?>", "316@2:1"},
        {"second xml declaration", "<?xml version=\"1.0\"?><?xml version=\"1.0\"?>", "316@1:22"},
        {"other instruction", "<?php echo 1; ?>", ""},
        {"strict comment", "<!-- a -- b -->", ""},
        {"loose comment", "<! loose >", "87@1:1"},
        {"loose comment allowed", "<! loose >", "",
         [](RunOptions& o) { o.validatorFlags &= ~vf::StrictComments; }},
        {"comment spanning lines", "<!-- a\n> b -->x", ""},
        {"comment warnings", "<!-- a < b > c -->", "104@1:8 102@1:12",
         [](RunOptions& o) { o.outputFlags |= of::ShowCommentWarnings; }},
        {"empty tag", "a<>b", "304@1:2"},
        {"blank tag", "< \t>", "304@1:1"},
        {"blank after <", "< p>", "416@1:1"},
        {"blank before >", "<p >", "76@1:4"},
        {"blank before > allowed", "<p >", "",
         [](RunOptions& o) { o.validatorFlags |= vf::AllowSpacesAroundTags; }},
        {"< inside a tag", "<a <b>", "52@1:4"},
        {"> in text", "a > b", "110@1:3"},
        {"quotes in text once per line", "say \"hi\"\nand \"bye\"", "94@1:5 94@2:5",
         [](RunOptions& o) { o.entityFlags &= ~ef::AllowDoubleQuote; }},
        {"quotes in text allowed", "say \"hi\"", ""},
        {"quoted > and <", "<a title=\"x > y < z\">", ""},
        {"quote across lines", "<a title=\"x\ny\">", "62@1:10"},
        {"quote across lines allowed", "<a title=\"x\ny\">", "",
         [](RunOptions& o) { o.validatorFlags |= vf::AllowMultiLineQuotes; }},
        {"end inside quote", "<a title='x", "92@1:1 62@1:10"},
        {"end inside tag", "text <p", "53@1:6"},
        {"server section tag", "<% if x > 1 %>", ""},
        {"server block in a tag", "<a href=<%= url %>>", ""},
        {"server block off", "<a href=<%= url %>>", "52@1:9 110@1:19",
         [](RunOptions& o) { o.validatorFlags &= ~vf::IgnoreTextInPercents; }},
        {"hash section", "<## x > y ##>", ""},
        {"high characters", "caf\xe9 \xe9\nplain\n\xff", "93@1:4 93@3:1",
         [](RunOptions& o) { o.validatorFlags |= vf::CheckHighASCII; }},
    };
    for (const Case& c : cases) {
        Walk w;
        if (c.options)
            c.options(w.options);
        EXPECT_EQ(w.run(c.doc), 0) << c.name;
        EXPECT_EQ(w.messages(), c.messages) << c.name;
    }
}

TEST(Walk, PlainTextGivesOnlyTextEntriesAndTheSummary) {
    Walk w;
    w.options.outputFlags |= of::ShowComments;
    ASSERT_EQ(w.run("one\ntwo <b>three</b>\nfour"), 0);
    ASSERT_EQ(w.hints(), "226 ");
    EXPECT_EQ(w.store.shown(0)->text(), "0 errors, 0 warnings, 0 messages, 1 comment.");
    EXPECT_EQ(w.args.structure.countOf(EntryText), 3);
    // A text run that spans lines is joined with a blank.
    EXPECT_EQ(w.args.structure.entry(0)->text, "one two ");
    EXPECT_EQ(w.args.lastLineReached, 3);
}

TEST(Walk, SummaryCountsEveryKind) {
    Walk w;
    w.options.outputFlags |= of::ShowComments;
    ASSERT_EQ(w.run("<>\n<>\n<p >"), 0);
    EXPECT_EQ(w.store.shown(w.store.shownCount() - 1)->text(),
              "2 errors, 1 warning, 0 messages, 2 comments.");
}

TEST(Walk, HintsOnceAndOnlyWithTheirSwitch) {
    Walk w;
    ASSERT_EQ(w.run("<a t=\"1\n\">\n<a t=\"2\n\">"), 0);
    EXPECT_EQ(w.hints(), "201 226 ");
    Walk off;
    off.options.switches500 &= ~(1u << 11);
    ASSERT_EQ(off.run("<a t=\"1\n\">"), 0);
    EXPECT_EQ(off.hints(), "226 ");
}

TEST(Walk, PhpAndMivaCollapsesGiveTheirHints) {
    Walk w;
    w.options.validatorFlags |= vf::PHPBlocks | vf::MivaMacros;
    ASSERT_EQ(w.run("<a href=\"<?php echo $x ?>\" title=\"&[t]\">"), 0);
    EXPECT_EQ(w.messages(), "");
    EXPECT_EQ(w.hints(), "220 224 226 ");
}

TEST(Walk, ErrorLimitStopsTheWalkWithMessage50) {
    Walk w;
    w.options.maximumErrors = 0;
    ASSERT_EQ(w.run("<>\n<>\n<>"), 0);
    EXPECT_EQ(w.messages(), "50@1:1");
    EXPECT_TRUE(w.args.limitReached);
    EXPECT_EQ(w.args.lastLineReached, 1);

    Walk two;
    two.options.maximumErrors = 2;
    ASSERT_EQ(two.run("<>\n<>\n<>\n<>"), 0);
    EXPECT_EQ(two.messages(), "304@1:1 304@2:1 50@3:1");
    EXPECT_EQ(two.store.errorCount(), 3);
}

TEST(Walk, WarningLimitStopsWithMessage90) {
    Walk w;
    w.options.maximumWarnings = 1;
    ASSERT_EQ(w.run("a > b\nc > d\ne > f"), 0);
    EXPECT_EQ(w.messages(), "90@1:1 110@1:3");
}

TEST(Walk, IgnoredStretchUpToItsClosingTag) {
    const std::string longName(120, 'x');
    Walk w;
    ASSERT_EQ(w.run("a > b <b>\n</" + longName + "y>\n</" + longName + "  >\n<p >",
                    [&](ValidateArgsClass& a) { a.startIgnoring(longName, 1); }),
              0);
    EXPECT_EQ(w.messages(), "76@3:125 76@4:4");
    EXPECT_EQ(w.args.statistics[2], 3);
    EXPECT_EQ(w.args.structure.countOf(EntryIgnored), 1);
    EXPECT_FALSE(w.args.ignoring);

    Walk open;
    ASSERT_EQ(open.run("x\n<script>\na = b;\nc", [&](ValidateArgsClass& a) { a.startIgnoring("script", 2); }),
              0);
    EXPECT_EQ(open.messages(), "91@2:-1");
    EXPECT_EQ(open.args.statistics[2], 3);
    EXPECT_NE(open.store.shown(0)->text().find("closing tag for \"script\" in line 2."), std::string::npos);
}

TEST(Walk, StatisticsOfDeclarationsCommentsAndServerSections) {
    Walk w;
    ASSERT_EQ(w.run("<!DOCTYPE html><?xml version='1'?><!-- c --><!-- d --><% s %><a b=<%x%> c=<%y%>>"), 0);
    EXPECT_EQ(w.args.statistics[0], 1);
    EXPECT_EQ(w.args.statistics[1], 3);
    EXPECT_EQ(w.args.statistics[4], 2);
    EXPECT_EQ(w.args.statistics[5], 1);
    EXPECT_EQ(w.args.structure.countOf(EntryDeclaration), 3);
}

// The statistics report the programs that the run's own interpreter ran.
TEST(Walk, ProgramsRunAreTheInterpretersCount) {
    Walk w;
    ASSERT_EQ(w.run("<p>", [](ValidateArgsClass& a) { a.interpreter.counters.set(0, 3); }), 0);
    EXPECT_NE(w.out.joined().find("\n      Number of programs run: 3\n"), std::string::npos);
}

TEST(Walk, TagChecksSeeTheTagCleaned) {
    struct Case {
        const char* doc;
        const char* extension;
        std::function<void(RunOptions&)> options;
        const char* piece;
    } cases[] = {
        {"< p>", "html", nullptr, "p"},
        {"<a href=#x# c=##>", "cfm", nullptr, "a href=CxF c=##"},
        {"<a href=#x#>", "CFML", nullptr, "a href=CxF"},
        {"<a href=#x#>", "html", [](RunOptions& o) { o.validatorFlags |= vf::CFML; }, "a href=#x#"},
        {"<a b=<%= x %>>", "asp", nullptr, "a b=ASP"},
        {"<a b=<%= x %>>", "asp", [](RunOptions& o) { o.validatorFlags &= ~vf::CollapseASP; }, "a b="},
        {"<a\nhref=\"x\">", "html", nullptr, "a href=\"x\""},
        {"<a <?xml x?>>", "php", [](RunOptions& o) { o.validatorFlags |= vf::PHPBlocks; }, "a <?xml x?>"},
    };
    for (const Case& c : cases) {
        Walk w;
        if (c.options)
            c.options(w.options);
        ASSERT_EQ(w.run(c.doc, [&](ValidateArgsClass& a) { a.input.extension = c.extension; }), 0) << c.doc;
        EXPECT_EQ(w.args.piece.text, c.piece) << c.doc;
        EXPECT_EQ(w.args.piece.locs.size(), w.args.piece.text.size()) << c.doc;
    }
    Walk joined;
    ASSERT_EQ(joined.run("  <a\nhref>"), 0);
    EXPECT_EQ(joined.args.piece.start.line, 1);
    EXPECT_EQ(joined.args.piece.start.character, 3);
    EXPECT_EQ(joined.args.piece.locs[2].line, 2);
    EXPECT_EQ(joined.args.piece.locs[2].character, 1);
    EXPECT_EQ(joined.args.piece.end.line, 2);
    EXPECT_EQ(joined.args.piece.end.character, 5);
}

TEST(Walk, InternalFailureStopsTheWalk) {
    Walk w;
    EXPECT_EQ(w.run("<p>\n<>", [](ValidateArgsClass& a) { a.internalErrors.set(4711, "store cannot grow"); }),
              -2);
    EXPECT_EQ(w.args.errors.number(), 4711);
    EXPECT_STREQ(w.args.errors.displayText(), "4711: store cannot grow");
    EXPECT_EQ(w.messages(), "");
}

TEST(Collapse, BlocksKeepTheLocationsAroundThem) {
    struct Case {
        const char *text, *open, *close, *repl;
        int flags;
        const char* want;
        int count;
        int32_t lastCharacter; // location of the last character afterwards
    } cases[] = {
        {"a b=<%x%> c", "<%", "%>", "ASP", 0, "a b=ASP c", 1, 20},
        {"a b=<%x%><%y%>", "<%", "%>", "", 0, "a b=", 2, 13},
        {"a <?xml x?> <?p?>", "<?", "?>", "PHP", StrStoreEx::SkipXmlDeclaration, "a <?xml x?> PHP", 1, 22},
        {"a ##b #c#", "#", "#", "CxF", StrStoreEx::SkipEmptyBlock, "a ##b CxF", 1, 16},
        {"a <%open", "<%", "%>", "ASP", 0, "a <%open", 0, 17},
    };
    for (const Case& c : cases) {
        Piece p;
        p.isTag = true;
        p.text = c.text;
        for (size_t i = 0; i < p.text.size(); ++i)
            p.locs.push_back(Loc{3, static_cast<int32_t>(i) + 10});
        EXPECT_EQ(collapseBlocks(p, c.open, c.close, c.repl, c.flags), c.count) << c.text;
        EXPECT_EQ(p.text, c.want) << c.text;
        ASSERT_EQ(p.locs.size(), p.text.size()) << c.text;
        EXPECT_EQ(p.locs.back().character, c.lastCharacter) << c.text;
        EXPECT_EQ(p.locs.back().line, 3) << c.text;
    }
}

} // namespace
