#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gErrors;
void recordError(const char* function, const char* text) {
    gErrors.push_back(std::string(function) + ": " + text);
}

class CfgStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        gErrors.clear();
        setCfgStoreErrorHandler(recordError);
    }
    void TearDown() override { setCfgStoreErrorHandler(nullptr); }
    CfgStore store;
};

const int32_t kNoProps[5] = {-1, -1, -1, -1, -1};

TEST_F(CfgStoreTest, EmptyStoreDescribesItselfAsUnloaded) {
    EXPECT_STREQ(store.getFileName(), "(no configuration file loaded)");
    EXPECT_EQ(store.getVersion(), 6);
    EXPECT_FALSE(store.isLoaded());
    for (int32_t k = 0; k < CFG_KINDS; ++k)
        EXPECT_EQ(store.getCount(k), 0);
    EXPECT_EQ(store.getCount(6), -1);
    EXPECT_EQ(store.getCount(-1), -1);
}

TEST_F(CfgStoreTest, BuiltInDefaultsHaveTheirNumbersTypesAndProperties) {
    ASSERT_EQ(store.setDefaults(), 1);
    EXPECT_TRUE(store.isSaved());
    EXPECT_EQ(store.getCount(CFG_TAGNAME), 2);
    EXPECT_EQ(store.getCount(CFG_ATTRIBUTE), 1);
    EXPECT_EQ(store.getCount(CFG_ATTVALUE), 23);
    EXPECT_EQ(store.getCount(CFG_CATEGORY), 2);
    EXPECT_EQ(store.getCount(CFG_ENTITY), 4);
    EXPECT_EQ(store.getCount(CFG_FURTHER), 0);

    struct Case {
        int32_t kind;
        const char* name;
        int32_t number, type, prop0, prop1, category;
    };
    const Case cases[] = {
        {0, "(everywhere)", 0, 1, -1, -1, 0},     {0, "(first tag)", 1, 2, -1, -1, 0},
        {3, "(undefined)", 1, 2, -1, -1, -1},     {1, "(ignore all)", 0, 1, 4, -1, 0},
        {2, "(percent)", 1, 7, 1, 6, 0},          {2, "(string)", 6, 4, 0, 6, 0},
        {2, "(relative width)", 22, 20, 0, 6, 0}, {4, "(special entities)", 3, 4, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t n = store.findByName(c.kind, c.name);
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(store.getWord(c.kind, n, 1), c.number);
        EXPECT_EQ(store.getWord(c.kind, n, 2), c.type);
        EXPECT_EQ(store.getWord(c.kind, n, 3), c.category);
        EXPECT_EQ(store.getProperty(c.kind, n, 0), c.prop0);
        EXPECT_EQ(store.getProperty(c.kind, n, 1), c.prop1);
        EXPECT_EQ(store.getProperty(c.kind, n, 2), -1);
        EXPECT_EQ(store.getProperty(c.kind, n, 3), -1);
    }
    // Positions follow the names, numbers the order of adding.
    for (int32_t p = 1; p < store.getCount(CFG_ATTVALUE); ++p)
        EXPECT_LE(
            cfgCompareNames(store.getName(CFG_ATTVALUE, p - 1, false), store.getName(CFG_ATTVALUE, p, false)),
            0);
}

TEST_F(CfgStoreTest, AddingKeepsNameOrderAndOrderListInStep) {
    const char* names[] = {"p", "A", "body", "a", "Body", "em"};
    for (const char* n : names)
        ASSERT_GE(store.addRecord(CFG_TAGNAME, n, -1, 0, -1, kNoProps), 0);
    // Numbers are given in order of adding; each number leads to its own record.
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_STREQ(store.getName(CFG_TAGNAME, i), names[i]);
    // Positions are in case-blind name order; equal names by number.
    std::vector<std::string> byPosition;
    for (int32_t p = 0; p < 6; ++p)
        byPosition.push_back(store.getName(CFG_TAGNAME, p, false));
    EXPECT_EQ(byPosition, (std::vector<std::string>{"A", "a", "body", "Body", "em", "p"}));
    EXPECT_FALSE(store.isSaved());
}

TEST_F(CfgStoreTest, NumbersFillFreeSlotsAndRefuseTakenOnes) {
    EXPECT_EQ(store.addRecord(CFG_ENTITY, "x", 3, -1, -1, kNoProps), 3);
    EXPECT_EQ(*store.orderList(CFG_ENTITY), (std::vector<int32_t>{-1, -1, -1, 0}));
    EXPECT_EQ(store.addRecord(CFG_ENTITY, "y", -1, -1, -1, kNoProps), 0);
    EXPECT_EQ(store.addRecord(CFG_ENTITY, "z", 3, -1, -1, kNoProps), -1) << "slot 3 is taken";
    EXPECT_EQ(store.addRecord(7, "z", -1, -1, -1, kNoProps), -1);
    EXPECT_EQ(store.getCount(CFG_ENTITY), 2);
    EXPECT_STREQ(store.getName(CFG_ENTITY, 3), "x");
}

TEST_F(CfgStoreTest, FindByNameIsCaseBlindAndReturnsTheFirstOfEqualNames) {
    store.addRecord(CFG_ATTRIBUTE, "title", -1, 0, -1, kNoProps);  // 0
    store.addRecord(CFG_ATTRIBUTE, "align", -1, 0, -1, kNoProps);  // 1
    store.addRecord(CFG_ATTRIBUTE, "ALIGN", -1, 0, -1, kNoProps);  // 2
    store.addRecord(CFG_ATTRIBUTE, "align", -1, 0, -1, kNoProps);  // 3
    store.addRecord(CFG_ATTRIBUTE, "data-x", -1, 0, -1, kNoProps); // 4
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "Align"), 1);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "Align", false), 0);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "TITLE"), 0);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "DATA-X"), 4);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "datax"), -1);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, "alig"), -1);
    EXPECT_EQ(store.findByName(CFG_ATTRIBUTE, nullptr), -1);
    EXPECT_EQ(store.findByName(9, "align"), -1);
}

TEST_F(CfgStoreTest, AccessorsRefuseBadIndexesWithoutChange) {
    store.addRecord(CFG_TAGNAME, "p", -1, 0, -1, kNoProps);
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, 0, 7), -1);
    EXPECT_TRUE(store.setProperty(CFG_TAGNAME, 0, 49, 2));
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, 0, 49), 2);
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, 0, 48), -1) << "the gap is filled with -1";
    EXPECT_FALSE(store.setProperty(CFG_TAGNAME, 0, 50, 1));
    EXPECT_FALSE(store.setProperty(CFG_TAGNAME, 0, -1, 1));
    EXPECT_FALSE(store.setProperty(CFG_TAGNAME, 0, 49, -3)) << "negative properties are refused";
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, 0, 49), 2);
    EXPECT_FALSE(store.setWord(CFG_TAGNAME, 0, 2, -5));
    EXPECT_FALSE(store.setString(CFG_TAGNAME, 0, 4, "x"));
    EXPECT_EQ(store.getString(CFG_TAGNAME, 0, 4), nullptr);
    EXPECT_FALSE(store.setHeader(10, "x"));
    EXPECT_EQ(store.getWord(CFG_TAGNAME, 5, 1), -1);
    EXPECT_EQ(store.getListCount(CFG_TAGNAME, 0, 5), -1);
    EXPECT_TRUE(gErrors.empty());
    EXPECT_EQ(store.getName(CFG_TAGNAME, 5), nullptr);
    ASSERT_EQ(gErrors.size(), 1u);
    EXPECT_EQ(gErrors[0], "GetName: 980530: CfgStore::GetName(): NULL pointer where shouldn't be");
}

const char kGroups[] = R"cfg(
attribute id
attribute class
attribute lang
attribute href
group core members id class i18n
group i18n members lang core
element a close required in (everywhere) attrs href core lang
)cfg";

TEST_F(CfgStoreTest, AttributeListExpandsGroupsOnceInNameOrder) {
    std::string error;
    ASSERT_TRUE(compileCfgSource(kGroups, store, error)) << error;
    const int32_t a = store.findByName(CFG_TAGNAME, "a");
    const int32_t core = store.findByName(CFG_ATTRIBUTE, "core");
    EXPECT_TRUE(store.isGroup(core));
    EXPECT_EQ(store.displayName(CFG_ATTRIBUTE, core), "core (005) GROUP");
    EXPECT_EQ(store.displayName(CFG_TAGNAME, a), "a (002)");
    // Groups that name each other end; members come once.
    std::vector<int32_t> members = store.expandGroup(core);
    ASSERT_EQ(members.size(), 3u);
    std::vector<std::string> names;
    for (int32_t i = 0; i < store.getAttributeCount(a); ++i)
        names.push_back(store.getName(CFG_ATTRIBUTE, store.getAttribute(a, i)));
    EXPECT_EQ(names, (std::vector<std::string>{"class", "href", "id", "lang"}));
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, a, CFG_PROP_ATTLIST_BUILT), 1);

    // Removing an attribute makes the list be built again.
    ASSERT_TRUE(store.removeAttribute(a, store.findByName(CFG_ATTRIBUTE, "href")));
    EXPECT_EQ(store.getAttributeCount(a), 3);
}

TEST_F(CfgStoreTest, SourceErrorsNameTheirLine) {
    struct Case {
        const char* source;
        const char* error;
    };
    const Case cases[] = {
        {"element p close required in div\n", "line 1: unknown element \"div\""},
        {"attribute x\nattribute x\n", "line 2: \"x\" is defined twice"},
        {"element p in body\n", "line 1: element needs a close rule"},
        {"\n\nwidget p\n", "line 3: unknown statement \"widget\""},
        {"attribute x category nowhere\n", "line 1: unknown category \"nowhere\""},
        {"header 12 \"x\"\n", "line 1: header needs a number 0-9 and a text"},
        {"element p close required attrs $nothing\n", "line 1: unknown set \"$nothing\""},
    };
    for (const Case& c : cases) {
        CfgStore s;
        std::string error;
        EXPECT_FALSE(compileCfgSource(c.source, s, error)) << c.source;
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(CfgStoreTest, SourceStatementsBecomeRecords) {
    const char source[] = R"cfg(
header 0 "Test configuration"
category old inactive
activelist old
set containers body div
value "(any)" kind 9 quote 7
attribute align@p values left "(any)" category old
attribute align@img required values top left
  required
attribute alt recommended values "(any)"
element p close optional ignore needsattrs in $containers notin p attrs align@p
element img close none in (everywhere) attrs alt align@img
element body close optional in "(first tag)"
element div close required in body
entity hellip category old
)cfg";
    std::string error;
    ASSERT_TRUE(compileCfgSource(source, store, error)) << error;
    EXPECT_STREQ(store.getHeader(0), "Test configuration");
    const int32_t old = store.findByName(CFG_CATEGORY, "old");
    EXPECT_EQ(store.getWord(CFG_CATEGORY, old, 2), 0);
    EXPECT_TRUE(store.isActiveCategory(old));

    const int32_t p = store.findByName(CFG_TAGNAME, "p");
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, p, 0), 1);
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, p, 1), 1);
    EXPECT_EQ(store.getProperty(CFG_TAGNAME, p, 3), 1);
    EXPECT_EQ(store.getWord(CFG_TAGNAME, p, 2), 0);
    ASSERT_EQ(store.getListCount(CFG_TAGNAME, p, 0), 2);
    EXPECT_STREQ(store.getName(CFG_TAGNAME, store.getListEntry(CFG_TAGNAME, p, 0, 1)), "div");
    EXPECT_STREQ(store.getName(CFG_TAGNAME, store.getListEntry(CFG_TAGNAME, p, 1, 0)), "p");

    // Two attribute records share the name "align".
    const int32_t firstAlign = store.findByName(CFG_ATTRIBUTE, "align");
    EXPECT_EQ(store.getWord(CFG_ATTRIBUTE, firstAlign, 3), old);
    EXPECT_EQ(store.getProperty(CFG_ATTRIBUTE, firstAlign + 1, 0), 3) << "required";
    const int32_t alt = store.findByName(CFG_ATTRIBUTE, "alt");
    EXPECT_EQ(store.getProperty(CFG_ATTRIBUTE, alt, 0), 0);
    EXPECT_EQ(store.getProperty(CFG_ATTRIBUTE, alt, 1), 1) << "recommended";

    // A literal value record is made once and shared.
    const int32_t left = store.findByName(CFG_ATTVALUE, "left");
    EXPECT_EQ(store.getWord(CFG_ATTVALUE, left, 2), 0);
    EXPECT_EQ(store.getProperty(CFG_ATTVALUE, left, 0), 7);
    EXPECT_EQ(store.getListEntry(CFG_ATTRIBUTE, firstAlign, 0, 0), left);
    EXPECT_EQ(store.getListEntry(CFG_ATTRIBUTE, firstAlign + 1, 0, 1), left);
    const int32_t any = store.findByName(CFG_ATTVALUE, "(any)");
    EXPECT_EQ(store.getWord(CFG_ATTVALUE, any, 2), 9);
    EXPECT_TRUE(store.hasUserTagNames());
    EXPECT_EQ(store.getWord(CFG_ENTITY, store.findByName(CFG_ENTITY, "hellip"), 3), old);
}

} // namespace
