// Faults found by trying the engine as a new user would: each case is the smallest document or
// configuration that showed one.
#include <gtest/gtest.h>

#include <set>

#include "engine/checks/tests/CheckFixture.h"
#include "engine/config/CfgFile.h"
#include "engine/config/CfgStore.h"

using namespace zel::run;

namespace {

class Faults : public CheckTest {};

// Attributes added by the configuration (recommended width and height) made the tag's entry
// list grow while a reference to the tag's name was held: later messages named freed memory.
// "<img>" is the form the native fuzzer cut it down to under AddressSanitizer.
TEST_F(Faults, MessagesAboutAddedAttributesNameTheTagAfterTheListGrew) {
    configure(shippedConfigurationSource());
    for (const char* doc :
         {"<img>", "<img src=\"a.png\" alt=\"\"\nstyle=\"x\"/>", "<img src=\"a.png\" alt=\"\" style=\"x\">",
          "<img src=a.png alt=x title=y class=z id=w lang=en dir=ltr\nstyle=x>"}) {
        SCOPED_TRACE(doc);
        run(doc);
        int named = 0;
        for (size_t i = 0; i < store->shownCount(); ++i) {
            const SingleMsgStore* m = store->shown(i);
            if (m->id != 107)
                continue;
            ++named;
            EXPECT_NE(m->text().find("\"img\""), std::string::npos) << m->text();
            for (const unsigned char c : m->text())
                EXPECT_TRUE(c >= 32 && c < 127) << m->text();
        }
        EXPECT_EQ(named, 2) << messages();
    }
}

// A record whose number does not lead back to it, or that names a category the file lacks, is
// inactive: the file loads, and the record is treated as an inactive one.
TEST_F(Faults, RecordsTheChecksCannotReachAreInactiveNotFatal) {
    configure(R"CFG(
category "On" active
element p close optional in "(everywhere)"
entity stray category "On"
entity lost category "On"
entity kept category "On"
)CFG");
    CfgStore& cfg = *config->cfgStore;
    const int32_t stray = cfg.findByName(CFG_ENTITY, "stray", false);
    const int32_t lost = cfg.findByName(CFG_ENTITY, "lost", false);
    ASSERT_GE(stray, 0);
    ASSERT_GE(lost, 0);
    // As a file written elsewhere may hold them: the store's own setters refuse to make these.
    ASSERT_TRUE(cfg.recordAt(CFG_ENTITY, stray)->setWord(1, 4242)); // leads nowhere back
    ASSERT_TRUE(cfg.recordAt(CFG_ENTITY, lost)->setWord(3, 999));   // no such category

    CfgStore reloaded;
    const std::vector<uint8_t> bytes = CfgWriter::write(cfg, 6);
    ASSERT_EQ(reloaded.loadFromBytes(bytes.data(), bytes.size(), "odd.cfg"), CFG_LOAD_OK)
        << reloaded.loadError();

    run("&stray; &lost; &kept;");
    EXPECT_EQ(messages(), "97@1:1 97@1:9");
}

// Every byte of a message text comes from the catalogue, the configuration or the document: a
// byte from nowhere is memory read after it was freed or moved. The second page is the one the
// fuzzer cut down when the tag's name was read through a reference into the growing entry list.
TEST_F(Faults, MessageTextsHoldOnlyBytesOfTheCatalogueOrTheDocument) {
    configure(shippedConfigurationSource());
    const std::string pages[] = {
        "<html><head><title>t</title></head><body>\n"
        "<img src=\"a.png\" alt=\"\"\nstyle=\"x\" onclick=\"f()\"\n data-x=1/>\n"
        "<table border=\"1\" \n summary=\"s\"><tr><td\n width=\"5\">x</td></tr></table>\n"
        "<p align=\"middle\" class=\"c\" id=\"i\" title=\"t\" lang=\"en\"\n dir=\"x\">&#8217;</p>\n"
        "</body></html>\n",
        "cla\">\n          <a hre=\"add_link_options\"\n        \n"
        "    <img src=\"e-logo-16.png\"  style=\"vertical-align: middle; margin-top: -2px\" />c inv so that "
        "a "
        "rated in od/",
    };
    for (const std::string& doc : pages) {
        SCOPED_TRACE(doc);
        run(doc);
        // The catalogue and the shipped configuration are printable ASCII, and so are these pages.
        std::set<unsigned char> allowed(doc.begin(), doc.end());
        for (unsigned char c = 32; c < 127; ++c)
            allowed.insert(c);
        ASSERT_GT(store->shownCount(), 0u);
        for (size_t i = 0; i < store->shownCount(); ++i) {
            const SingleMsgStore* m = store->shown(i);
            for (const unsigned char c : m->text())
                EXPECT_TRUE(allowed.count(c)) << "byte " << int(c) << " in: " << m->text();
            if (m->id == 107) {
                EXPECT_NE(m->text().find("\"img\""), std::string::npos) << m->text();
            }
        }
    }
}

} // namespace

namespace {

TEST_F(Faults, Message112TakesItsPrefixFromTheConfiguration) {
    const std::string base = R"CFG(
element p close optional in "(everywhere)" attrs title
attribute title values "(text)"
value "(text)" kind 4 quote 7
)CFG";
    configure(base);
    run("<p title=\"a & b\">");
    EXPECT_EQ(textOf(112).rfind("An invalid entity was found in the value for the \"title\"", 0), 0u)
        << textOf(112);
    configure(base + "string checkentinattvalprepend \"[Entities] \"\n");
    run("<p title=\"a & b\">");
    EXPECT_EQ(textOf(112).rfind("[Entities] An invalid entity", 0), 0u) << textOf(112);
}

} // namespace

namespace {

// The shipped configuration's content models and value types: the common faults of hand-written
// pages are found, and what the standards allow stays clean.
TEST_F(Faults, ShippedContentModelsFindCommonFaults) {
    configure(shippedConfigurationSource());
    struct Case {
        const char* name;
        const char* body;
        const char* messages;
    } cases[] = {
        {"hexadecimal colour", "<table bgcolor=\"#FF0000\"><tr><td>x</td></tr></table>", ""},
        {"colour name", "<table bgcolor=\"Navy\"><tr><td>x</td></tr></table>", ""},
        {"colour without #", "<table bgcolor=\"ff0000\"><tr><td>x</td></tr></table>", "319@1:16"},
        {"letter O for zero", "<table bgcolor=\"#FFOOOO\"><tr><td>x</td></tr></table>", "320@1:16"},
        {"any text is no colour", "<table bgcolor=\"reddish\"><tr><td>x</td></tr></table>", "86@1:16"},
        {"a block ends an open paragraph", "<p>intro\n<ul><li>a</li></ul>\n<p>more\n<div>x</div>", ""},
        {"a paragraph closed after a block", "<p>text<div>x</div></p>", "75@1:20"},
        {"a block inside an inline element", "<span><div>x</div></span>", "67@1:8"},
        {"a paragraph inside a heading", "<h1><p>x</p></h1>", "67@1:6"},
        {"a table inside font", "<font color=\"red\"><table><tr><td>x</td></tr></table></font>", "67@1:20"},
        {"phrasing inside a paragraph", "<p><span><b>x</b> <a href=\"#\">y</a></span></p>", ""},
    };
    for (const Case& c : cases) {
        run(std::string("<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n") + c.body +
            "\n</body></html>");
        // Line 3 of the page is the case's first line: shift the locations back for the table.
        std::string shown;
        for (size_t i = 0; i < store->shownCount(); ++i) {
            const SingleMsgStore* m = store->shown(i);
            if (m->kind == KindComment)
                continue;
            if (!shown.empty())
                shown += ' ';
            shown += std::to_string(m->id) + "@" + std::to_string(m->location.line - 2) + ":" +
                     std::to_string(m->location.character);
        }
        EXPECT_EQ(shown, c.messages) << c.name << "\n"
                                     << (store->shownCount() ? store->shown(0)->text() : "");
    }
}

} // namespace

namespace {

// Found by the fuzzer: a value or a text full of "&" made every "&" look for its name through
// the rest of the line. The run must finish (CTest's time limit is the judge) and say the same.
TEST_F(Faults, LongRunsOfAmpersandsAreCheckedInOnePass) {
    configure(shippedConfigurationSource());
    const std::string many(20000, '&');
    run("<p title=\"" + many + ";\">" + many + ";</p>\n<p>&" + std::string(300, 'x') + ";</p>");
    EXPECT_EQ(textOf(112).find("An invalid entity was found in the value for the \"title\""), 0u);
    // The text's "&"s: each is an unknown entity up to the ";" (shown cut) until the limit.
    EXPECT_NE(textOf(96).find("\"&&&&&&&&&&&&&&&&&&&&&;\""), std::string::npos) << textOf(96);
    EXPECT_TRUE(store->errorLimitReached());
    run("<p>&" + std::string(300, 'x') + ";</p>");
    EXPECT_NE(textOf(96).find("\"&xxxxxxxxxxxxxxxxxxxx;\""), std::string::npos) << textOf(96);
}

} // namespace
