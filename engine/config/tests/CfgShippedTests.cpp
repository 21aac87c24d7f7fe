// The shipped configuration: the compiled file beside the tests agrees with its text source, and
// holds what pages of today need.
#include "engine/config/CfgFile.h"
#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string binFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/"));
}

std::string readSource() {
    const char* data = std::getenv("ZEL_TEST_DATA");
    std::ifstream in(std::string(data ? data : ".") + "/../../../data/config/orvalenlite30.txt");
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

class ShippedConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(shipped.load((binFolder() + "\\orvalenlite30.cfg").c_str()), CFG_LOAD_OK)
            << shipped.loadError();
    }
    CfgStore shipped;

    int32_t tag(const char* name) { return shipped.findByName(CFG_TAGNAME, name); }
    // Names of the attributes an element accepts, groups expanded.
    std::vector<std::string> attributesOf(const char* element) {
        std::vector<std::string> names;
        const int32_t t = tag(element);
        for (int32_t i = 0; i < shipped.getAttributeCount(t); ++i)
            names.push_back(shipped.getName(CFG_ATTRIBUTE, shipped.getAttribute(t, i)));
        return names;
    }
    bool accepts(const char* element, const char* attribute) {
        for (const std::string& n : attributesOf(element))
            if (cfgNamesEqual(n.c_str(), attribute))
                return true;
        return false;
    }
};

TEST_F(ShippedConfigTest, AgreesWithItsSourceRecordByRecord) {
    const std::string text = readSource();
    ASSERT_FALSE(text.empty());
    CfgStore compiled;
    std::string error;
    ASSERT_TRUE(compileCfgSource(text, compiled, error)) << error;
    ASSERT_EQ(CfgWriter::write(compiled, 6).size(), CfgWriter::write(shipped, 6).size());
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        ASSERT_EQ(compiled.getCount(kind), shipped.getCount(kind));
        EXPECT_EQ(*compiled.orderList(kind), *shipped.orderList(kind));
        for (int32_t p = 0; p < compiled.getCount(kind); ++p) {
            const TagStore* a = compiled.recordAt(kind, p);
            const TagStore* b = shipped.recordAt(kind, p);
            EXPECT_STREQ(a->getName(), b->getName());
            for (int32_t w = 1; w <= 3; ++w)
                EXPECT_EQ(a->getWord(w), b->getWord(w)) << a->getName();
            EXPECT_EQ(a->properties(), b->properties()) << a->getName();
            for (int32_t l = 0; l < CFG_LISTS; ++l)
                EXPECT_EQ(*a->list(l), *b->list(l)) << a->getName();
        }
    }
    EXPECT_TRUE(shipped.hasUserTagNames());
}

TEST_F(ShippedConfigTest, ClosingRulesFollowTheStandards) {
    struct Case {
        const char* element;
        int32_t close;
    };
    const Case cases[] = {{"html", 1},   {"body", 1},  {"p", 1},     {"li", 1},      {"td", 1},
                          {"option", 1}, {"div", 0},   {"a", 0},     {"script", 0},  {"section", 0},
                          {"br", 2},     {"img", 2},   {"input", 2}, {"meta", 2},    {"source", 2},
                          {"wbr", 2},    {"frame", 2}, {"col", 2},   {"textarea", 0}};
    for (const Case& c : cases) {
        const int32_t t = tag(c.element);
        ASSERT_GE(t, 0) << c.element;
        EXPECT_EQ(shipped.getProperty(CFG_TAGNAME, t, 0), c.close) << c.element;
    }
    // Raw text elements are not parsed for tags.
    for (const char* raw : {"script", "style", "textarea", "svg"})
        EXPECT_EQ(shipped.getProperty(CFG_TAGNAME, tag(raw), 1), 1) << raw;
    EXPECT_EQ(shipped.getProperty(CFG_TAGNAME, tag("div"), 1), 0);
}

TEST_F(ShippedConfigTest, ModernAttributesAreKnown) {
    struct Case {
        const char* element;
        const char* attribute;
        bool known;
    };
    const Case cases[] = {
        {"div", "aria-label", true},    {"span", "role", true},      {"button", "onclick", true},
        {"input", "placeholder", true}, {"img", "loading", true},    {"a", "download", true},
        {"div", "data-*", true},        {"section", "hidden", true}, {"script", "nonce", true},
        {"body", "onload", true},       {"td", "colspan", true},     {"p", "align", true},
        {"p", "href", false},           {"br", "src", false},        {"img", "alt", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accepts(c.element, c.attribute), c.known) << c.element << " " << c.attribute;
}

TEST_F(ShippedConfigTest, RequiredAndRecommendedAttributesAreMarked) {
    // The strongest mark among the element's records of that name.
    auto markOf = [&](const char* element, const char* attribute, int32_t prop) {
        const int32_t t = tag(element);
        int32_t mark = -99;
        for (int32_t i = 0; i < shipped.getAttributeCount(t); ++i) {
            const int32_t a = shipped.getAttribute(t, i);
            if (cfgNamesEqual(shipped.getName(CFG_ATTRIBUTE, a), attribute))
                mark = std::max(mark, shipped.getProperty(CFG_ATTRIBUTE, a, prop));
        }
        return mark;
    };
    EXPECT_EQ(markOf("img", "src", 0), 3);
    EXPECT_EQ(markOf("img", "alt", 0), 3);
    EXPECT_EQ(markOf("img", "width", 1), 1);
    EXPECT_EQ(markOf("bdo", "dir", 0), 3);
    EXPECT_EQ(markOf("optgroup", "label", 0), 3);
    EXPECT_EQ(markOf("div", "dir", 0), 0);
    EXPECT_EQ(markOf("area", "alt", 1), 1);
}

TEST_F(ShippedConfigTest, ContainersAndValuesAreWired) {
    auto names = [&](int32_t kind, int32_t number, int32_t list, int32_t targetKind) {
        std::vector<std::string> out;
        for (int32_t i = 0; i < shipped.getListCount(kind, number, list); ++i)
            out.push_back(shipped.getName(targetKind, shipped.getListEntry(kind, number, list, i)));
        return out;
    };
    EXPECT_EQ(names(CFG_TAGNAME, tag("li"), 0, CFG_TAGNAME),
              (std::vector<std::string>{"ul", "ol", "menu", "dir"}));
    EXPECT_EQ(names(CFG_TAGNAME, tag("a"), 1, CFG_TAGNAME), (std::vector<std::string>{"a"}));
    EXPECT_EQ(names(CFG_TAGNAME, tag("html"), 0, CFG_TAGNAME), (std::vector<std::string>{"(first tag)"}));
    const int32_t method = shipped.findByName(CFG_ATTRIBUTE, "method");
    EXPECT_EQ(names(CFG_ATTRIBUTE, method, 0, CFG_ATTVALUE),
              (std::vector<std::string>{"get", "post", "dialog"}));
    const int32_t get = shipped.findByName(CFG_ATTVALUE, "get");
    EXPECT_EQ(shipped.getWord(CFG_ATTVALUE, get, 2), 0);
    EXPECT_EQ(shipped.getProperty(CFG_ATTVALUE, get, 0), 7) << "any quoting";
    // Every category is active.
    for (int32_t c = 0; c < shipped.getCount(CFG_CATEGORY); ++c) {
        const char* name = shipped.getName(CFG_CATEGORY, c, false);
        const int32_t expected = cfgNamesEqual(name, "(undefined)") ? 2 : 1;
        EXPECT_EQ(shipped.getWord(CFG_CATEGORY, c, 2, false), expected) << name;
    }
}

} // namespace
