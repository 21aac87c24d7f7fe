#include "engine/config/CfgFile.h"
#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kFixture[] = R"cfg(
header 0 "Fixture"
header 2 "third"
category legacy active
activelist legacy
attribute id
attribute align values left right center category legacy
attribute src required values "(string 4)"
group core members id
element html close optional in "(first tag)" attrs core
element body close optional in html attrs core align
element img close none in body notin img attrs src core
entity hellip category legacy
)cfg";

// Every record of every kind, field by field.
void expectSameStore(CfgStore& a, CfgStore& b) {
    for (int32_t i = 0; i < CFG_HEADERS; ++i)
        EXPECT_STREQ(a.getHeader(i), b.getHeader(i)) << "header " << i;
    EXPECT_EQ(a.activeCategories(), b.activeCategories());
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        ASSERT_EQ(a.getCount(kind), b.getCount(kind)) << "kind " << kind;
        EXPECT_EQ(*a.orderList(kind), *b.orderList(kind)) << "kind " << kind;
        for (int32_t p = 0; p < a.getCount(kind); ++p) {
            const TagStore* x = a.recordAt(kind, p);
            const TagStore* y = b.recordAt(kind, p);
            SCOPED_TRACE(std::string("kind ") + std::to_string(kind) + " record " + x->getName());
            EXPECT_STREQ(x->getName(), y->getName());
            for (int32_t w = 1; w <= 3; ++w)
                EXPECT_EQ(x->getWord(w), y->getWord(w));
            for (int32_t prop = 0; prop < CFG_PROPERTIES; ++prop)
                EXPECT_EQ(x->getProperty(prop), y->getProperty(prop)) << "property " << prop;
            for (int32_t s = 0; s < CFG_STRINGS; ++s)
                EXPECT_STREQ(x->getString(s), y->getString(s));
            for (int32_t l = 0; l < CFG_LISTS; ++l)
                EXPECT_EQ(*x->list(l), *y->list(l)) << "list " << l;
        }
    }
}

class CfgFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(compileCfgSource(kFixture, source, error)) << error;
    }
    static int32_t loadBytes(CfgStore& s, const std::vector<uint8_t>& bytes) {
        return s.loadFromBytes(bytes.data(), bytes.size(), "test.cfg");
    }
    CfgStore source;
};

TEST_F(CfgFileTest, CurrentVersionRoundTripsRecordByRecord) {
    std::vector<uint8_t> bytes = CfgWriter::write(source, 6);
    CfgStore loaded;
    ASSERT_EQ(loadBytes(loaded, bytes), CFG_LOAD_OK) << loaded.loadError();
    EXPECT_TRUE(loaded.isLoaded());
    EXPECT_TRUE(loaded.isSaved());
    EXPECT_EQ(loaded.getVersion(), 6);
    EXPECT_STREQ(loaded.getFileName(), "test.cfg");
    expectSameStore(source, loaded);
    // Writing what was read gives the same bytes, apart from the loaded and saved flags.
    std::vector<uint8_t> again = CfgWriter::write(loaded, 6);
    ASSERT_EQ(again.size(), bytes.size());
    EXPECT_TRUE(std::equal(again.begin() + 12, again.end(), bytes.begin() + 12));
}

TEST_F(CfgFileTest, EmptyConfigurationLoads) {
    CfgStore empty;
    CfgStore loaded;
    ASSERT_EQ(loadBytes(loaded, CfgWriter::write(empty, 6)), CFG_LOAD_OK);
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind)
        EXPECT_EQ(loaded.getCount(kind), 0);
    for (int32_t i = 0; i < CFG_HEADERS; ++i)
        EXPECT_STREQ(loaded.getHeader(i), "");
}

TEST_F(CfgFileTest, OlderVersionsUpgrade) {
    // Values that the upgrades overwrite, so that each step shows.
    const int32_t body = source.findByName(CFG_TAGNAME, "body");
    const int32_t align = source.findByName(CFG_ATTRIBUTE, "align");
    const int32_t left = source.findByName(CFG_ATTVALUE, "left");
    for (int32_t prop = 0; prop <= 6; ++prop)
        source.setProperty(CFG_TAGNAME, body, prop, 9);
    for (int32_t prop = 0; prop <= 4; ++prop)
        source.setProperty(CFG_ATTRIBUTE, align, prop, 9);
    source.setProperty(CFG_ATTVALUE, left, 2, 9);
    for (int32_t s = 0; s < 3; ++s) {
        source.setString(CFG_TAGNAME, body, s, "t");
        source.setString(CFG_ATTRIBUTE, align, s, "a");
    }
    source.setString(CFG_ATTVALUE, left, 0, "v");
    source.setHeader(1, "h1");

    struct Expect {
        int32_t kind;
        int32_t number;
        int32_t prop; // -1: check the string instead
        int32_t string;
        int32_t value;    // for a property
        const char* text; // for a string
    };
    struct Case {
        int32_t version;
        const char* header0;
        const char* header1;
        std::vector<Expect> expects;
    };
    const Case cases[] = {
        {1,
         "Originally a version 1 configuration",
         "1",
         {{0, body, 0, 0, 9, nullptr}, // properties 0-4 travel in the record words of version 1
          {0, body, 2, 0, 0, nullptr},
          {0, body, 4, 0, 0, nullptr},
          {0, body, 5, 0, 0, nullptr},
          {0, body, 6, 0, 0, nullptr},
          {0, body, -1, 0, 0, ""},
          {0, body, -1, 1, 0, ""},
          {1, align, 0, 0, 9, nullptr},
          {1, align, 1, 0, 0, nullptr},
          {1, align, 4, 0, 0, nullptr},
          {1, align, -1, 1, 0, ""},
          {2, left, 2, 0, 0, nullptr},
          {2, left, -1, 0, 0, ""}}},
        {2,
         "Fixture",
         "1",
         {{0, body, 2, 0, 9, nullptr},
          {0, body, 4, 0, 0, nullptr},
          {0, body, 5, 0, 0, nullptr},
          {0, body, -1, 0, 0, "t"},
          {0, body, -1, 1, 0, ""},
          {0, body, 6, 0, 0, nullptr},
          {1, align, 4, 0, 0, nullptr},
          {1, align, -1, 2, 0, ""},
          {2, left, -1, 0, 0, ""}}},
        {3,
         "Fixture",
         "h1",
         {{0, body, 4, 0, 9, nullptr},
          {0, body, 6, 0, 0, nullptr},
          {0, body, -1, 2, 0, ""},
          {1, align, 3, 0, 9, nullptr},
          {1, align, 4, 0, 0, nullptr},
          {2, left, 2, 0, 0, nullptr}}},
        {4,
         "Fixture",
         "h1",
         {{0, body, 6, 0, 9, nullptr},
          {1, align, -1, 2, 0, "a"},
          {2, left, 2, 0, 0, nullptr},
          {2, left, -1, 0, 0, ""}}},
        {5,
         "Fixture",
         "h1",
         {{0, body, 6, 0, 9, nullptr},
          {0, body, -1, 2, 0, "t"},
          {1, align, 4, 0, 9, nullptr},
          {2, left, 2, 0, 0, nullptr},
          {2, left, -1, 0, 0, ""}}},
        {6,
         "Fixture",
         "h1",
         {{2, left, 2, 0, 9, nullptr}, {2, left, -1, 0, 0, "v"}, {1, align, -1, 2, 0, "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("version " + std::to_string(c.version));
        CfgStore loaded;
        ASSERT_EQ(loadBytes(loaded, CfgWriter::write(source, c.version)), CFG_LOAD_OK) << loaded.loadError();
        EXPECT_EQ(loaded.getVersion(), c.version);
        EXPECT_STREQ(loaded.getHeader(0), c.header0);
        EXPECT_STREQ(loaded.getHeader(1), c.header1);
        EXPECT_STREQ(loaded.getHeader(2), c.version >= 2 ? "third" : "");
        EXPECT_STREQ(loaded.getHeader(5), "");
        for (const Expect& e : c.expects) {
            if (e.prop >= 0)
                EXPECT_EQ(loaded.getProperty(e.kind, e.number, e.prop), e.value)
                    << "kind " << e.kind << " property " << e.prop;
            else
                EXPECT_STREQ(loaded.getString(e.kind, e.number, e.string), e.text)
                    << "kind " << e.kind << " string " << e.string;
        }
        // Records, numbers and references survive every version.
        for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
            ASSERT_EQ(loaded.getCount(kind), source.getCount(kind));
            EXPECT_EQ(*loaded.orderList(kind), *source.orderList(kind));
        }
        const int32_t img = loaded.findByName(CFG_TAGNAME, "img");
        EXPECT_EQ(loaded.getAttributeCount(img), 2);
    }
}

// A version 6 file by hand: one tag record with six strings, then a second record.
std::vector<uint8_t> sixStringsFile() {
    std::vector<uint8_t> b;
    auto i32 = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k)));
    };
    auto str = [&](const char* s) {
        i32(1);
        i32(static_cast<int32_t>(std::strlen(s)));
        b.insert(b.end(), s, s + std::strlen(s));
    };
    auto list = [&](std::vector<int32_t> l) {
        i32(1);
        i32(static_cast<int32_t>(l.size()));
        for (int32_t v : l)
            i32(v);
    };
    i32(6);
    for (int32_t v : {0, 0, 2, 0, 0, 0, 0, 0})
        i32(v);
    for (int i = 0; i < 10; ++i)
        str("");
    list({});
    list({1, 0}); // "b" at position 1 is number 0, "a" at position 0 number 1
    for (int i = 0; i < 5; ++i)
        list({});
    // record at position 0: "a", number 1
    i32(3);
    i32(1), i32(0), i32(-1);
    str("a");
    for (int i = 0; i < 5; ++i)
        list({});
    list({2, 2});
    i32(6);
    for (const char* s : {"s0", "s1", "s2", "s3", "s4", "s5"})
        str(s);
    // record at position 1: "b", number 0
    i32(2);
    i32(0), i32(0), i32(-1);
    str("b");
    for (int i = 0; i < 5; ++i)
        list({});
    list({});
    i32(1);
    str("only");
    return b;
}

TEST_F(CfgFileTest, ExtraRecordStringsAreDroppedAndReadingGoesOn) {
    CfgStore loaded;
    ASSERT_EQ(loadBytes(loaded, sixStringsFile()), CFG_LOAD_OK) << loaded.loadError();
    EXPECT_STREQ(loaded.getString(CFG_TAGNAME, 1, 3), "s3");
    EXPECT_EQ(loaded.getProperty(CFG_TAGNAME, 1, 1), 2);
    EXPECT_STREQ(loaded.getName(CFG_TAGNAME, 0), "b");
    EXPECT_STREQ(loaded.getString(CFG_TAGNAME, 0, 0), "only");
    EXPECT_STREQ(loaded.getString(CFG_TAGNAME, 0, 1), "");
}

TEST_F(CfgFileTest, BrokenFilesAreRefusedAndTheWorkingConfigurationStays) {
    CfgStore working;
    ASSERT_EQ(loadBytes(working, CfgWriter::write(source, 6)), CFG_LOAD_OK);
    const size_t full = CfgWriter::write(source, 6).size();

    const std::string cases[] = {
        "truncate:0",
        "truncate:3",
        "truncate:20",
        "truncate:40",
        "truncate:" + std::to_string(full / 2),
        "truncate:" + std::to_string(full - 1),
        "version",
        "hugecount",
        "hugelist",
        "badmarker",
        "badorder",
        "duporder",
        "longstring",
        "recordversion",
        "badref",
    };
    for (const std::string& how : cases) {
        SCOPED_TRACE(how);
        CfgStore scratch;
        std::string error;
        ASSERT_TRUE(compileCfgSource(kFixture, scratch, error));
        std::vector<uint8_t> bytes = damagedCfgFile(scratch, how);
        ASSERT_TRUE(!bytes.empty() || how == "truncate:0");
        EXPECT_EQ(working.loadFromBytes(bytes.data(), bytes.size(), "broken.cfg"), CFG_LOAD_REFUSED);
        EXPECT_FALSE(working.loadError().empty());
        EXPECT_STREQ(working.getFileName(), "test.cfg");
        EXPECT_TRUE(working.isLoaded());
        expectSameStore(source, working);
    }
}

TEST_F(CfgFileTest, FilesOnDiskLoadOrReportWhyNot) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "zel_cfgfile_test.cfg";
    ASSERT_TRUE(CfgWriter::writeFile(source, 6, path.c_str()));
    CfgStore loaded;
    EXPECT_EQ(loaded.load(path.c_str()), CFG_LOAD_OK);
    EXPECT_STREQ(loaded.getFileName(), path.c_str());
    expectSameStore(source, loaded);
    DeleteFileA(path.c_str());
    EXPECT_EQ(loaded.load(path.c_str()), CFG_LOAD_NOT_OPENED);
    EXPECT_STREQ(loaded.getFileName(), path.c_str()) << "a failed load keeps what was loaded";
}

} // namespace
