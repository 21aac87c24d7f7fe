// Character entities in text and in attribute values.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/checks/EntityChecks.h"
#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;
using namespace zel::checks;

namespace {

const char* const kConfiguration = R"CFG(
category "On" active
category "Off" inactive
category "Lost" undefined
element p close optional in "(everywhere)" attrs title
attribute title values "(string)"
entity apos
entity Zed category "Off"
entity zed category "On"
entity Only category "Off"
entity lost category "Lost"
)CFG";

class Entities : public CheckTest {
protected:
    void SetUp() override {
        CheckTest::SetUp();
        configure(kConfiguration);
    }
};

TEST_F(Entities, TextEntitiesGiveTheirMessages) {
    struct Case {
        const char* name;
        const char* doc;
        const char* messages;
        const char* hints = "";
        std::function<void(RunOptions&)> options = nullptr;
    } cases[] = {
        {"built-in names", "&amp; &nbsp; &Aacute; &hellip; &euro; &rarr;", ""},
        {"wrong case of a built-in name", "a &AMP; b", "303@1:3"},
        {"configuration entity", "it&apos;s", ""},
        {"unknown name", "&nosuch;", "96@1:1"},
        {"no semicolon on the line", "Tom & Jerry\nR&D", "95@1:5 95@2:2", "207"},
        {"decimal reference", "&#65; &#9; &#10; &#255;", ""},
        {"decimal reference out of range", "&#13;", "96@1:1"},
        {"Unicode reference without the option", "&#8364;", "96@1:1", "214",
         [](RunOptions& o) { o.entityFlags &= ~ef::IncludeUnicode; }},
        {"references to any Unicode character by default",
         "&#8364; &#x20AC; &#8217; &#x2192; &#x1F600; &#1114111;", ""},
        {"zero, surrogates and values past the last plane",
         "&#0; &#xD800; &#x110000; &#99999999999999999999;", "96@1:1 96@1:6 96@1:15 96@1:26"},
        {"hexadecimal reference without the option", "&#x41;", "96@1:1", "213",
         [](RunOptions& o) { o.entityFlags &= ~ef::AllowHexadecimalEntities; }},
        {"hexadecimal reference by default", "&#x41;", ""},
        {"capital X is no hexadecimal reference", "&#X41;", "96@1:1", "",
         [](RunOptions& o) { o.entityFlags |= ef::AllowHexadecimalEntities; }},
        {"inactive record spelled exactly, usable one in other case", "&Zed;", "303@1:1"},
        {"inactive record only", "&Only;", "97@1:1"},
        {"undefined category", "&lost; &lost;", "106@1:1 97@1:1 97@1:8"},
        {"not checked without the option", "&nosuch; & more", "", "",
         [](RunOptions& o) { o.entityFlags &= ~ef::ValidateEntities; }},
        {"entities in attribute values", "<p title=\"&amp; &rarr; &#8364;\"><p title=\"a & b\">", "112@1:42"},
        {"unknown entity in an attribute value", "<p title=\"&nosuch;\">", "112@1:10"},
        {"values not checked without the option", "<p title=\"a & b\">", "", "",
         [](RunOptions& o) { o.entityFlags &= ~ef::CheckEntitiesInAttValues; }},
    };
    for (const Case& c : cases) {
        options = RunOptions{};
        run(c.doc, c.options);
        EXPECT_EQ(messages(), c.messages) << c.name;
        EXPECT_EQ(hints(), c.hints) << c.name;
    }
}

TEST_F(Entities, MessagesNameTheEntityAndTheSpellingToUse) {
    run("&AMP; &Zed; &abcdefghijklmnopqrstuvwxyz;");
    EXPECT_EQ(store->shown(0)->text(), "The character entity \"&AMP;\" was found in the configuration, but "
                                       "its case did not match. Character "
                                       "entities are case sensitive. Perhaps you meant \"&amp;\"?");
    EXPECT_NE(store->shown(1)->text().find("Perhaps you meant \"&zed;\"?"), std::string::npos);
    EXPECT_NE(store->shown(2)->text().find("\"&abcdefghijklmnopqrst;\""), std::string::npos);
}

TEST_F(Entities, ValidEntitiesAreRecordedAndListed) {
    run("<p>a&amp;b &nosuch; &#65;</p>", [](RunOptions& o) { o.outputFlags |= of::ShowEntities; });
    EXPECT_EQ(args->structure.countOf(EntryEntity), 2);
    const std::string listing = out.joined();
    EXPECT_NE(listing.find("\n<p> (1) \n| &amp; (1) &#65; (1) \n</p> (1) \n\n"), std::string::npos)
        << listing;
}

TEST(EntitySets, BuiltInSetsHoldTheHtml401NamesInOrder) {
    EXPECT_EQ(builtinEntityCount(0), 100);
    EXPECT_EQ(builtinEntityCount(1), 124);
    EXPECT_EQ(builtinEntityCount(2), 32);
    for (int32_t list = 0; list < 3; ++list) {
        for (int32_t i = 1; i < builtinEntityCount(list); ++i) {
            const char* a = builtinEntityName(list, i - 1);
            const char* b = builtinEntityName(list, i);
            const int c = lstrcmpiA(a, b);
            EXPECT_TRUE(c < 0 || (c == 0 && std::strcmp(a, b) < 0)) << a << " before " << b;
        }
    }
    EXPECT_STREQ(builtinEntityName(0, 0), "Aacute");
    EXPECT_STREQ(builtinEntityName(0, 1), "aacute");
    EXPECT_EQ(builtinEntityName(0, 100), nullptr);
    EXPECT_TRUE(isBuiltinEntity("thetasym"));
    EXPECT_TRUE(isBuiltinEntity("Dagger"));
    EXPECT_FALSE(isBuiltinEntity("apos")); // not an HTML 4.01 name
    EXPECT_FALSE(isBuiltinEntity("NBSP"));
}

} // namespace
