// The structure store's compact entries and the run's view of the job's lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/DocumentLines.h"
#include "engine/run/StructureStore.h"
#include "engine/utils/FileStore.h"

using namespace zel::run;

namespace {

// Entry texts live in the store's packed text: many entries, long texts and repeated names must
// all read back whole, and a reset must leave a store that works as new.
TEST(StructureStore, EntriesKeepTheirTextsAcrossManyAdds) {
    StructureStore s;
    const std::string longText(100000, 't');
    std::vector<std::string> texts;
    for (int i = 0; i < 30000; ++i) {
        const int kind = i % 3 == 0 ? EntryOpeningTag : i % 3 == 1 ? EntryText : EntryClosingTag;
        texts.push_back(kind == EntryText ? "text " + std::to_string(i) : (i % 2 ? "td" : "TR"));
        EXPECT_EQ(s.add(kind, texts.back(), i + 1, 3, 1), i);
    }
    s.add(EntryText, longText, 1, 1);
    s.add(EntryText, "", 1, 1);
    for (int i = 0; i < 30000; ++i) {
        ASSERT_EQ(s.entry(i)->text, texts[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(s.entry(i)->line, i + 1);
    }
    EXPECT_EQ(s.entry(30000)->text.str(), longText);
    EXPECT_TRUE(s.entry(30001)->text.empty());
    EXPECT_EQ(s.countOf(EntryText), 10002);
    // Names are kept once and shared by every entry of the name.
    EXPECT_EQ(s.entry(0)->text.c_str(), s.entry(6)->text.c_str());

    s.reset();
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.add(EntryOpeningTag, "p", 1, 1), 0);
    EXPECT_EQ(s.entry(0)->text, "p");
    EXPECT_EQ(s.findOpen("P"), 0);
}

// Closing rules are told apart as 0, 2 and any other; a rule the entry cannot hold as it is must
// stay in its class, both on the entry and for the open stack.
TEST(StructureStore, ClosingRulesKeepTheirClass) {
    struct Case {
        int32_t rule;
        bool zero, two, staysOpen;
    } cases[] = {
        {0, true, false, true},          {1, false, false, true},
        {2, false, true, false},         {7, false, false, true},
        {-1, false, false, true},        {1 << 24, false, false, true},
        {INT32_MIN, false, false, true}, {(1 << 20) + 2, false, false, true},
    };
    for (const Case& c : cases) {
        StructureStore s;
        const int32_t i = s.add(EntryOpeningTag, "div", 1, 1, c.rule);
        const StructureEntry& e = *s.entry(i);
        EXPECT_EQ(e.closingRule == 0, c.zero) << c.rule;
        EXPECT_EQ(e.closingRule == 2, c.two) << c.rule;
        EXPECT_EQ(s.findOpen("div") == i, c.staysOpen) << c.rule;
        EXPECT_EQ(e.kind, static_cast<uint32_t>(EntryOpeningTag));
        EXPECT_FALSE(e.closed || e.quickClose || e.inactive || e.nestingReported);
        EXPECT_EQ(e.closingEntry, -1);
    }
}

// The run reads the job's line store in place: the lines it had when the run began, nothing
// added later, and the store left on its last line as when it was read up front.
TEST(DocumentLines, ReadsTheStoreInPlace) {
    FileStore store;
    store.addLine("<p>\nsecond line\n\nlast");
    DocumentLines lines;
    lines.refer(store);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "<p>");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "last");
    EXPECT_EQ(lines[1].data(), store.lineAt(1));
    EXPECT_EQ(store.property(FileStore::CurrentLine), 4);
    EXPECT_EQ(documentByteSize(lines), 4 + 12 + 1 + 5);
    store.addLine("added later");
    EXPECT_EQ(lines.size(), 4u);

    lines = std::vector<std::string>{"own", "lines"};
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "lines");
    FileStore empty;
    lines.refer(empty);
    EXPECT_TRUE(lines.empty());
}

} // namespace
