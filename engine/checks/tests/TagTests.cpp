// Opening tags, attributes and values against a small configuration: which messages each tag
// fixture gives, and where.
#include <gtest/gtest.h>

#include "engine/checks/ValueKinds.h"
#include "engine/config/CfgStore.h"
#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;
using namespace zel::checks;

namespace {

const char* const kConfiguration = R"CFG(
category "Main" active
category "Off" inactive
category "Lost" undefined
value "(txt)" kind 4
value "(num)" kind 1
value "(hexcolour)" kind 5 quote 0
value "(pct)" kind 7
value "(bare)" kind 8
value left@cs kind 0 case
attribute id values "(txt)"
attribute width values "(num)" "(pct)"
attribute color values "(hexcolour)"
attribute side values left@cs
attribute align values left right center
attribute src@img required values "(txt)"
attribute alt@img recommended values "(txt)"
attribute hidden values "(bare)"
attribute old values "(txt)" category "Off"
attribute lost values "(txt)" category "Lost"
attribute data-* values "(txt)"
element html close optional in "(first tag)" attrs id
element body close optional in html attrs id
element p close optional in body attrs id align side data-*
element b close required in body p attrs id
element i close required in body p b attrs id
element br close none in body p b i
element img close none needsattrs in body p b i attrs id src@img alt@img width color hidden old lost
element table close required in body
element tr close optional in table
element td close optional in tr
element oldtag close required in body category "Off"
element losttag close required in body category "Lost"
element a close required in body p notin a attrs id
element title close required ignore in html
)CFG";

class Tags : public CheckTest {
protected:
    void SetUp() override {
        CheckTest::SetUp();
        configure(kConfiguration);
    }
};

constexpr const char* kHead = "<html><body>\n"; // line 1; fixtures start on line 2

TEST_F(Tags, FixturesGiveTheirMessages) {
    struct Case {
        const char* name;
        const char* body;
        const char* messages;
        const char* hints = "";
        std::function<void(RunOptions&)> options = nullptr;
    } cases[] = {
        {"valid tags", "<p id=x align=left>a <b>b</b><br></p>", ""},
        {"unknown tag", "<blink>x</blink>", "65@2:2"},
        {"unknown attribute", "<p onclick=\"x\">", "85@2:4"},
        {"bad value", "<p align=middle>", "86@2:10"},
        {"duplicate attribute", "<p id=a align=left id=b ID=c>", "103@2:4"},
        {"missing required attribute", "<img alt=\"x\">", "79@2:2"},
        {"missing recommended attribute", "<img src=a.png>", "107@2:2", "215"},
        {"recommended not asked for", "<img src=a.png>", "", "",
         [](RunOptions& o) { o.outputFlags &= ~of::ShowMissingAttWarnings; }},
        {"name only, attributes needed", "<img>", "108@2:2 107@2:2 79@2:2", "215"},
        {"missing closing tag", "<b>x", "69@2:1"},
        {"wrong nesting", "<b><i>x</b></i>", "74@2:8", "200"},
        {"optional element inside needs no nesting check", "<b><p>x</b>", ""},
        {"closing tag without opening", "</b>", "75@2:1"},
        {"excluded container", "<a><a>x</a></a>", "67@2:5"},
        {"inactive element", "<oldtag>", "66@2:-1"},
        {"inactive attribute", "<img src=a alt=b old=1>", "81@2:-1"},
        {"undefined category, once per name", "<losttag><losttag>", "101@2:1 66@2:-1 66@2:-1"},
        {"case-sensitive literal", "<p side=Left>", "84@2:9"},
        {"case-blind literal", "<p align=LEFT>", ""},
        {"upper case with lower case required", "<P ID=x Align=left>", "315@2:2", "",
         [](RunOptions& o) { o.validatorFlags |= vf::RequireLowercaseTags; }},
        {"placeholder word is not upper case", "<p id=\"<?php echo 1; ?>\">", "", "220",
         [](RunOptions& o) { o.validatorFlags |= vf::RequireLowercaseTags; }},
        {"hex colour without #", "<img src=a alt=b color=\"FF0000\">", "319@2:24"},
        {"hex colour with letter O", "<img src=a alt=b color=\"#FFOOOO\">", "320@2:24"},
        {"hex colour in single quotes", "<img src=a alt=b color='#FF0000'>", "82@2:24", "218",
         [](RunOptions& o) { o.validatorFlags &= ~vf::TreatAllQuotesEquivalent; }},
        {"attribute without value", "<p id>", "89@2:4"},
        {"flag attribute", "<img src=a alt=b hidden>", ""},
        {"percent values",
         "<img src=a alt=b width=100%><img src=a alt=b width=0%><img src=a alt=b width=007%>", ""},
        {"percent out of range", "<img src=a alt=b width=101%>", "86@2:24"},
        {"tag ends after =", "<p id=>", "60@2:4"},
        {"spaces around =", "<p id = x>", "61@2:7", "202",
         [](RunOptions& o) { o.validatorFlags &= ~vf::AllowSpacesAroundEqual; }},
        {"quotes inside an unquoted value", "<p id=a\"b\">", "63@2:8 63@2:10"},
        {"text right after a quoted value", "<p id=\"a\"align=left>", "57@2:10"},
        {"quoted attribute name", "<p \"id\"=x>", "59@2:4"},
        {"quoted tag name", "<\"p\">", "55@2:2"},
        {"misplaced =", "<p =x>", "77@2:1"},
        {"data- attributes by prefix", "<p data-role=main data-x=1>", ""},
        {"quick close without a space", "<br/>", "109@2:4", "",
         [](RunOptions& o) { o.validatorFlags |= vf::XMLNoSpaceWarning; }},
        {"quick close with a space", "<br />", "", "",
         [](RunOptions& o) { o.validatorFlags |= vf::XMLNoSpaceWarning; }},
        {"quick close of an element that must be closed", "<b />", "314@2:2"},
    };
    for (const Case& c : cases) {
        options = RunOptions{};
        run(std::string(kHead) + c.body, c.options);
        EXPECT_EQ(messages(), c.messages) << c.name;
        EXPECT_EQ(hints(), c.hints) << c.name;
    }
}

TEST_F(Tags, MessageTextsNameTheChoices) {
    run(std::string(kHead) + "<p onclick=x align=middle id=a ID=b id=c>");
    EXPECT_EQ(textOf(85),
              "The \"onclick\" attribute is not valid for the \"p\" element. The valid attributes for "
              "this element are: \"align\", \"data-*\", \"id\", and \"side\".");
    EXPECT_EQ(textOf(86),
              "The \"align\" attribute has an invalid attribute value \"middle\". Try using one of the "
              "following values: \"left\", \"right\", or \"center\".");
    EXPECT_EQ(textOf(103), "The \"id\" attribute appears 3 times in the \"p\" tag.");

    run(std::string(kHead) + "<p onclick=x align=middle>",
        [](RunOptions& o) { o.outputFlags &= ~of::ShowExtendedInfo; });
    EXPECT_EQ(textOf(85), "The \"onclick\" attribute is not valid for the \"p\" element.");
    EXPECT_EQ(textOf(86), "The \"align\" attribute has an invalid attribute value \"middle\".");

    run(std::string(kHead) + "<b title=x><br clear=all>",
        [](RunOptions& o) { o.outputFlags &= ~of::ShowExtendedInfo; });
    EXPECT_EQ(textOf(85),
              "The \"title\" attribute is not valid for the \"b\" element. The only valid attribute "
              "for this element is \"id\".");
    EXPECT_EQ(messages(), "69@2:1 85@2:4 85@2:16");
    EXPECT_EQ(store->shown(2)->text(),
              "The \"clear\" attribute is not valid for the \"br\" element. This tag "
              "cannot have any attributes.");

    run(std::string(kHead) + "<img src=a alt=b width=-3>");
    EXPECT_EQ(textOf(86),
              "The \"width\" attribute has an invalid attribute value \"-3\". Try using one of the "
              "following values: a positive integer or a percent.");
}

TEST_F(Tags, SixtyAttributesAreCutAfterTheFortyNinth) {
    std::string tag = "<p";
    for (int i = 0; i < 60; ++i)
        tag += " x" + std::to_string(i) + "=1";
    run(std::string(kHead) + tag + ">");
    EXPECT_EQ(textOf(64), "Too many attributes! Cannot check past first 50 attributes.");
    int unknown = 0;
    for (size_t i = 0; i < store->shownCount(); ++i)
        unknown += store->shown(i)->id == 85;
    // The limit of errors stops the count; all shown ones are from the first 49.
    EXPECT_GT(unknown, 0);
    EXPECT_EQ(textOf(85).find("x49"), std::string::npos);
}

TEST(ValueKinds, BuiltInKindsAcceptTheirValues) {
    struct Case {
        int32_t code;
        const char* value;
        bool accepted;
        int32_t message = 0;
    } cases[] = {
        {1, "12", true},
        {1, "0", false},
        {1, "00", true},
        {1, "1a", false},
        {2, "-4", true},
        {2, "-0", false},
        {3, "0", true},
        {3, "00", false},
        {4, "x", true},
        {4, "", false},
        {5, "#a0B1c2", true},
        {5, "FF0000", false, 319},
        {5, "#FFOOOO", false, 320},
        {5, "ffoooo", false, 320},
        {5, "#FF00", false},
        {6, "+3", true},
        {6, "3", false},
        {7, "100%", true},
        {7, "0%", true},
        {7, "007%", true},
        {7, "101%", false},
        {7, "%", false},
        {7, "1000%", false},
        {9, "", true},
        {10, "", true},
        {10, "a", false},
        {11, "a-b.c", true},
        {11, "a_b", false},
        {12, "Navy", true},
        {12, "coral", false},
        {13, "LightGrey", true},
        {13, "lightgray", false},
        {14, "7", true},
        {14, "8", false},
        {15, "-6", true},
        {15, "+7", false},
        {16, "##00ff00", true},
        {17, "#var#", true},
        {17, "#1#", false},
        {18, "x", true},
        {18, "xy", false},
        {19, "_", false},
        {20, "*", true},
        {20, "3*", true},
        {20, "0*", false},
        {1, "3ASP", true},
        {12, "redPHP", true},
    };
    KindOptions o;
    o.placeholders = {"ASP", "PHP"};
    for (const Case& c : cases) {
        int32_t message = 0;
        bool known = false;
        EXPECT_EQ(kindAccepts(c.code, c.value, true, o, message, known), c.accepted)
            << c.code << " " << c.value;
        EXPECT_EQ(message, c.message) << c.code << " " << c.value;
        EXPECT_TRUE(known);
    }
    int32_t message = 0;
    bool known = true;
    EXPECT_TRUE(kindAccepts(8, "", false, o, message, known));
    EXPECT_FALSE(kindAccepts(8, "", true, o, message, known));
    EXPECT_FALSE(kindAccepts(4, "", false, o, message, known));
    EXPECT_FALSE(kindAccepts(21, "x", true, o, message, known));
    EXPECT_FALSE(known);
    o.underscore = true;
    EXPECT_TRUE(kindAccepts(11, "a_b", true, o, message, known));
    o.cfml = true;
    EXPECT_TRUE(kindAccepts(17, "CxF", true, o, message, known));
}

// The tables the checks derive from a configuration (names, attribute indexes, containers) are
// made once and shared by the runs of that store. An edit between two runs, through a record that
// recordAt() handed out included, must be seen by the next run exactly as a store that was edited
// before its first run sees it.
TEST_F(Tags, RunsShareTheConfigurationTablesUntilTheConfigurationChanges) {
    CfgStore& cfg = *config->cfgStore;
    run(std::string(kHead) + "<p id=x><img src=a alt=b></p>");
    const void* tables = cfg.derived.data.get();
    ASSERT_NE(tables, nullptr);
    run(std::string(kHead) + "<p id=y align=left></p>");
    EXPECT_EQ(cfg.derived.data.get(), tables) << "a run without an edit made the tables again";
    EXPECT_EQ(cfg.derived.changeCount, cfg.changeCount());
    // Handing a record out for change counts as a change, even before anything is changed.
    cfg.recordAt(CFG_TAGNAME, 0);
    EXPECT_NE(cfg.derived.changeCount, cfg.changeCount());
    run(std::string(kHead) + "<p id=z>");
    EXPECT_NE(cfg.derived.data.get(), tables);
}

TEST_F(Tags, AnEditBetweenTwoRunsIsSeenByTheSecond) {
    struct Case {
        const char* name;
        const char* body;
        // Makes the edit; gets the store before the first run, for a record to hold on to.
        std::function<std::function<void()>(CfgStore&)> edit;
    } cases[] = {
        {"a held record made required", "<img src=a alt=b>",
         [](CfgStore& cfg) -> std::function<void()> {
             TagStore* width = cfg.recordAt(CFG_ATTRIBUTE, cfg.findByName(CFG_ATTRIBUTE, "width", false));
             return [width] { width->setProperty(0, 3); };
         }},
        {"containers edited in place", "<p><b>x</b></p>",
         [](CfgStore& cfg) -> std::function<void()> {
             return [&cfg] {
                 const int32_t table = cfg.findByName(CFG_TAGNAME, "table");
                 std::vector<int32_t>& in =
                     *cfg.recordAt(CFG_TAGNAME, cfg.findByName(CFG_TAGNAME, "b", false))->list(0);
                 in.assign(1, table);
             };
         }},
        {"an attribute added to an element", "<p width=5>",
         [](CfgStore& cfg) -> std::function<void()> {
             return [&cfg] {
                 cfg.addListEntry(CFG_TAGNAME, cfg.findByName(CFG_TAGNAME, "p"), 2,
                                  cfg.findByName(CFG_ATTRIBUTE, "width"));
             };
         }},
        {"an attribute renamed in place", "<p align=left>",
         [](CfgStore& cfg) -> std::function<void()> {
             return [&cfg] {
                 cfg.recordAt(CFG_ATTRIBUTE, cfg.findByName(CFG_ATTRIBUTE, "align", false))
                     ->setName("alignment");
             };
         }},
    };
    for (const Case& c : cases) {
        const std::string doc = std::string(kHead) + c.body;
        // The same edit made before any run: what the second run must give.
        configure(kConfiguration);
        c.edit (*config->cfgStore)();
        run(doc);
        const std::string edited = messages();

        configure(kConfiguration);
        const std::function<void()> edit = c.edit(*config->cfgStore);
        run(doc);
        const std::string before = messages();
        EXPECT_NE(before, edited) << c.name << ": the edit should change the messages";
        edit();
        run(doc);
        EXPECT_EQ(messages(), edited) << c.name;
    }
}

// The unknown-attribute message lists the element's valid attributes; the list is made once per
// set of records and kept, except where an attribute's category is undefined (its message must
// come in every run, as it did the first time).
TEST_F(Tags, UnknownAttributesListTheValidOnesInEveryRun) {
    const std::string doc = std::string(kHead) + "<img src=a alt=b foo=1><img src=a alt=b bar=1>\n<p x=1>";
    for (int i = 0; i < 2; ++i) {
        run(doc);
        EXPECT_EQ(messages(), "101@2:1 85@2:18 85@2:41 85@3:4") << "run " << i;
        EXPECT_EQ(textOf(85),
                  "The \"foo\" attribute is not valid for the \"img\" element. The valid attributes "
                  "for this element are: \"alt\", \"color\", \"hidden\", \"id\", \"src\", and "
                  "\"width\".")
            << "run " << i;
    }
}

TEST(ValueKinds, QuotingRulesGiveTheirMessages) {
    // rule, then the message for: no quotes, single, double
    const int32_t table[][4] = {
        {0, 82, 82, 0},   {1, 0, 301, 0}, {2, 0, 83, 83}, {7, 0, 0, 0},
        {8, 300, 0, 300}, {9, 302, 0, 0}, {4, 0, 0, 0},
    };
    QuotingOptions plain;
    for (const auto& row : table)
        for (int32_t q = 0; q < 3; ++q)
            EXPECT_EQ(quotingMessage(row[0], q, plain), row[q + 1]) << "rule " << row[0] << " form " << q;
    QuotingOptions equivalent;
    equivalent.allEquivalent = true;
    EXPECT_EQ(quotingMessage(0, 1, equivalent), 0);
    EXPECT_EQ(quotingMessage(0, 0, equivalent), 302);
    EXPECT_EQ(quotingMessage(1, 1, equivalent), 0);
    QuotingOptions quoted;
    quoted.requireQuoted = true;
    EXPECT_EQ(quotingMessage(2, 0, quoted), 302);
    QuotingOptions ignore;
    ignore.ignoreRequirements = true;
    EXPECT_EQ(quotingMessage(0, 0, ignore), 0);
}

} // namespace
