// Opening tags, attributes and values against a small configuration: which messages each tag
// fixture gives, and where.
#include <gtest/gtest.h>

#include "engine/checks/ValueKinds.h"
#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;
using namespace zel::checks;

namespace {

const char* const kConfiguration = R"(
category "Main" active
category "Off" inactive
category "Lost" undefined
value "(text)" kind 4
value "(number)" kind 1
value "(hex)" kind 5 quote 0
value "(percent)" kind 7
value "(bare)" kind 8
value left@cs kind 0 case
attribute id values "(text)"
attribute width values "(number)" "(percent)"
attribute color values "(hex)"
attribute side values left@cs
attribute align values left right center
attribute src@img required values "(text)"
attribute alt@img recommended values "(text)"
attribute hidden values "(bare)"
attribute old values "(text)" category "Off"
attribute lost values "(text)" category "Lost"
attribute data-* values "(text)"
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
)";

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
        {"missing required attribute", "<img alt=\"\">", "79@2:2"},
        {"missing recommended attribute", "<img src=a.png>", "107@2:2", "215",
         [](RunOptions& o) { o.outputFlags |= 0x20; }},
        {"recommended not asked for", "<img src=a.png>", ""},
        {"name only, attributes needed", "<img>", "108@2:2 79@2:2"},
        {"missing closing tag", "<b>x", "69@2:1"},
        {"wrong nesting", "<b><i>x</b></i>", "74@2:10 75@2:12", "200"},
        {"optional element inside needs no nesting check", "<b><p>x</b>", "67@2:5"},
        {"closing tag without opening", "</b>", "75@2:1"},
        {"excluded container", "<a><a>x</a></a>", "67@2:5"},
        {"inactive element", "<oldtag>", "66@2:-1"},
        {"inactive attribute", "<img src=a old=1>", "81@2:-1"},
        {"undefined category, once per name", "<losttag><losttag>", "101@2:1 66@2:-1 66@2:-1"},
        {"case-sensitive literal", "<p side=Left>", "84@2:9"},
        {"case-blind literal", "<p align=LEFT>", ""},
        {"upper case with lower case required", "<P ID=x Align=left>", "315@2:2",
         "", [](RunOptions& o) { o.validatorFlags |= 0x80000; }},
        {"placeholder word is not upper case", "<p id=\"<?php echo 1; ?>\">", "", "220",
         [](RunOptions& o) { o.validatorFlags |= 0x80000; }},
        {"hex colour without #", "<img src=a color=\"FF0000\">", "319@2:18"},
        {"hex colour with letter O", "<img src=a color=\"#FFOOOO\">", "320@2:18"},
        {"hex colour in single quotes", "<img src=a color='#FF0000'>", "82@2:18", "218",
         [](RunOptions& o) { o.validatorFlags &= ~0x200u; }},
        {"attribute without value", "<p id>", "89@2:4"},
        {"flag attribute", "<img src=a hidden>", ""},
        {"percent values", "<img src=a width=100%><img src=a width=0%><img src=a width=007%>", ""},
        {"percent out of range", "<img src=a width=101%>", "86@2:18"},
        {"tag ends after =", "<p id=>", "60@2:4"},
        {"spaces around =", "<p id = x>", "61@2:7", "202", [](RunOptions& o) { o.validatorFlags &= ~0x2u; }},
        {"quote inside unquoted value", "<p id=a\"b>", "63@2:9"},
        {"text right after a quoted value", "<p id=\"a\"align=left>", "57@2:10"},
        {"unpaired quote", "<p id=\"a>", "56@2:-1"},
        {"quoted attribute name", "<p \"id\"=x>", "59@2:4 85@2:4"},
        {"quoted tag name", "<\"p\">", "55@2:2 65@2:2"},
        {"misplaced =", "<p =x>", "77@2:1"},
        {"data- attributes by prefix", "<p data-role=main data-x=1>", ""},
        {"quick close without a space", "<br/>", "109@2:4"},
        {"quick close of an element that must be closed", "<b />", "314@2:2"},
        {"first tag out of range gets a container", "", ""},
        {"ignored text of an element", "", ""},
    };
    for (const Case& c : cases) {
        if (!*c.body)
            continue;
        options = RunOptions{};
        run(std::string(kHead) + c.body, c.options);
        EXPECT_EQ(messages(), c.messages) << c.name;
        EXPECT_EQ(hints(), c.hints) << c.name;
    }
}

} // namespace
