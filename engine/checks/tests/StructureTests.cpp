// Closing tags, the placement of elements and the structure listing.
#include <gtest/gtest.h>

#include "engine/checks/StructureChecks.h"
#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;
using namespace zel::checks;

namespace {

const char* const kConfiguration = R"CFG(
element html close optional in "(first tag)"
element body close optional in html
element p close optional in body
element b close required in body p
element i close required in body p b
element u close optional in body p b
element br close none in body p b
element inbr close required in br
element table close required in body
element tr close optional in table
element td close optional in tr
element cfif close required in body
element cfx close required in body
element zz close required in body
element fragment close required in cfif body
element other close required in cfif cfx zz
element cfset close none in "(everywhere)"
element title close required ignore in html body
attribute src values "(string)"
element script close required ignore in "(everywhere)" attrs src
element dup@1 close required in body
element dup@2 close optional in body
)CFG";

class Structure : public CheckTest {
protected:
    void SetUp() override {
        CheckTest::SetUp();
        configure(kConfiguration);
    }
    std::string listing(int32_t flags) {
        LineBuffer lines;
        writeStructureListing(args->structure, lines, flags);
        return lines.joined();
    }
};

TEST_F(Structure, SampleDocumentListsByteForByte) {
    run("<html><body><p>a</p></body></html>");
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(listing(ListSecondStore), "<html> \n| <body> \n| | <p> \n| | </p> \n| </body> \n</html> \n\n");
    EXPECT_EQ(listing(0), "\n<html> \n| <body> \n| | <p> \n| | </p> \n| </body> \n</html> \n\n");
    EXPECT_EQ(listing(ListSecondStore | ListCompact),
              "<html> \n| <body> \n| | <p> </p> </body> </html> \n\n");
    EXPECT_EQ(listing(ListSecondStore | ListLineNumbers),
              "<html> (1) \n| <body> (1) \n| | <p> (1) \n| | </p> (1) \n| </body> (1) \n</html> (1) \n\n");

    run("<html>\n<body>\n<p>a<br>b<br/>\n<b>c</b></p>\n</body>\n</html>");
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(
        listing(ListSecondStore),
        "<html> \n| <body> \n| | <p> \n| | | <br> <br/> \n| | | <b> \n| | | </b> \n| | </p> \n| </body> \n"
        "</html> \n\n");
}

TEST_F(Structure, ClosingTagsGiveTheirMessages) {
    struct Case {
        const char* name;
        const char* doc;
        const char* messages;
        std::function<void(RunOptions&)> options = nullptr;
    } cases[] = {
        {"blank after the slash", "<html><body><b>x</ b>", "73@1:17"},
        {"blank after the slash and extra text", "<html><body><b>x</ b x>", "73@1:17 72@1:17"},
        {"extra text", "<html><body><b>x</b x>", "72@1:17"},
        {"slash alone", "<html><body><b>x</></b>", "88@1:17"},
        {"slash at the end", "<html><body><b>x</b/>", "313@1:17"},
        {"slash at the end, not XML", "<html><body><b>x</b/>", "69@1:13 75@1:17",
         [](RunOptions& o) { o.validatorFlags &= ~vf::XMLCompatibility; }},
        {"never opened", "<html><body></p>", "75@1:13"},
        {"closed twice", "<html><body><b>x</b></b>", "75@1:21"},
        {"optional element left open inside", "<html><body><b><u>x</b>", ""},
        {"required element left open inside, reported once", "<html><body><b><i>x</b></b>",
         "69@1:16 74@1:20 75@1:24"},
        {"nesting not checked", "<html><body><b><i>x</b>", "69@1:16",
         [](RunOptions& o) { o.validatorFlags &= ~vf::CheckNesting; }},
        {"upper case closing tag", "<html><body><b>x</B>", "315@1:18",
         [](RunOptions& o) { o.validatorFlags |= vf::RequireLowercaseTags; }},
    };
    for (const Case& c : cases) {
        options = RunOptions{};
        run(c.doc, c.options);
        EXPECT_EQ(messages(), c.messages) << c.name;
    }
    run("<html><body></p>");
    EXPECT_EQ(args->structure.countOf(EntryClosingTag), 1);
}

TEST_F(Structure, PlacementOfElements) {
    struct Case {
        const char* name;
        const char* doc;
        const char* messages;
        const char* hints = "";
        const char* extension = "html";
    } cases[] = {
        {"first tag out of range opens its container", "<td>x<td>y", "", "216"},
        {"container body wins over the others", "<fragment>x</fragment>", "", "216"},
        {"container not beginning with cf", "<other>x</other>", "", "216"},
        {"out of range later in the document", "<html><body><td>x", "67@1:14"},
        {"no body anywhere in CFML", "<cfset><fragment>x</fragment>", "", "", "cfm"},
        {"no body anywhere in HTML", "<cfset><fragment>x</fragment>", "67@1:9"},
        {"element without closing tag is no container", "<html><body><br><inbr>x</inbr>", "67@1:18"},
        {"records disagreeing on the closing rule", "<html><body><dup>x<dup>y", "100@1:13"},
        {"ignored text", "<html><title>a <nosuch> & b</title><body>", ""},
        {"ignored to the end", "<html><title>a\nb", "69@1:7 91@1:-1"},
        {"first-tag element later in the document", "<html><body><html>", "67@1:14", "222"},
        {"quick close ends nothing to ignore", "<html><body><script src=\"x\" /><nosuch>",
         "314@1:14 65@1:32"},
    };
    for (const Case& c : cases) {
        options = RunOptions{};
        extension = c.extension;
        run(c.doc);
        EXPECT_EQ(messages(), c.messages) << c.name;
        EXPECT_EQ(hints(), c.hints) << c.name;
    }
    extension = "html";
}

TEST_F(Structure, ChoiceOfContainerAndItsTexts) {
    run("<fragment>x</fragment>");
    EXPECT_EQ(textOf(216).find("<body>"), textOf(216).find("<body>")); // names the container
    EXPECT_NE(textOf(216).find("<body> ... </body>"), std::string::npos) << textOf(216);
    run("<other>x</other>");
    EXPECT_NE(textOf(216).find("<zz> ... </zz>"), std::string::npos) << textOf(216);
    run("<html><body><td>x");
    EXPECT_EQ(textOf(67),
              "The \"td\" tag was found, but it is not valid due to where it is used. This element may be "
              "contained in \"tr\". The tag is currently not contained in an element that allows its use.");
    run("<html><body><dup>x<dup>y</dup></dup>");
    EXPECT_EQ(messages(), "100@1:13");
    run("<html><title>a <b> c</title><body>");
    EXPECT_EQ(args->statistics[2], 1);
}

TEST_F(Structure, RecordNumbersAbove32767NameTheirOwnRecord) {
    CfgStore& cfg = *config->cfgStore;
    const int32_t props[5] = {0, -1, -1, -1, -1};
    ASSERT_EQ(cfg.addRecord(CFG_TAGNAME, "big", 40000, 0, -1, props), 40000);
    cfg.addListEntry(CFG_TAGNAME, 40000, 0, 0); // "(everywhere)"
    run("<html><body><big>x</big><big>y");
    EXPECT_EQ(messages(), "69@1:25");
    EXPECT_EQ(textOf(69), "The \"big\" tag must be closed but the closing tag was not found.");
}

TEST_F(Structure, ConfigurationMessagesOncePerRecordAndRun) {
    CfgStore& cfg = *config->cfgStore;
    const int32_t b = cfg.findByName(CFG_TAGNAME, "b");
    ASSERT_GE(b, 0);
    cfg.setProperty(CFG_TAGNAME, b, 2, 1);
    cfg.setString(CFG_TAGNAME, b, 0, "Prefer strong to b.");
    run("<html><body>\n<b>x</b> <b>y</b>");
    EXPECT_EQ(messages(), "0@2:1");
    EXPECT_EQ(store->shown(0)->kind, KindMessage);
    EXPECT_EQ(store->shown(0)->text(), "Prefer strong to b.");
    run("<html><body><b>x</b>", [](RunOptions& o) { o.outputFlags &= ~of::ShowMessages; });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(store->messageCount(), 0);
}

} // namespace
