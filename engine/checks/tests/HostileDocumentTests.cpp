// Documents built to make the engine work hard: thousands of messages on one long line, deep
// nesting, long runs of one character. Each must end in time and memory in proportion to its
// size and say what it found; what it writes may not grow with the square of anything.
#include <gtest/gtest.h>

#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;

namespace {

class HostileDocuments : public CheckTest {};

std::string repeated(const std::string& piece, size_t n) {
    std::string s;
    s.reserve(piece.size() * n);
    for (size_t i = 0; i < n; ++i)
        s += piece;
    return s;
}

TEST_F(HostileDocuments, ManyMessagesOrDeepNestingCostInProportionToTheDocument) {
    configure(shippedConfigurationSource());
    struct Case {
        const char* name;
        std::string doc;
        int32_t errors; // shown errors (with message 50 when the limit was reached)
        bool limitReached;
        bool repeatsEnded; // the listing of lines again above each message was cut short
        bool depthCapped;  // the structure listing drew deeper levels at its deepest
    } cases[] = {
        {"unclosed divisions on one line", repeated("<div>", 40000) + "\n", 9999, true, true, false},
        {"a line of less-than signs", std::string(1 << 20, '<') + "\n", 10000, true, true, false},
        {"stray closing tags", repeated("</b>", 200000) + "\n", 10000, true, true, false},
        {"deep nesting, all closed", repeated("<b>", 100000) + repeated("</b>", 100000), 0, false, false,
         true},
        {"paragraphs never closed", "<body>" + repeated("<p>", 100000), 0, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run(c.doc, [](RunOptions& o) {
            o.maximumErrors = 9999;
            o.maximumWarnings = 9999;
        });
        EXPECT_EQ(store->errorCount(), c.errors);
        EXPECT_EQ(store->errorLimitReached(), c.limitReached);
        std::string text;
        for (const std::string& l : out.lines())
            text += l + "\n";
        // The structure listing's lines are indented at most 32 levels: a tag of three characters
        // may list as seventy; the messages add a few hundred bytes each.
        EXPECT_LT(text.size(), 24 * c.doc.size() + 4 * 1024 * 1024);
        EXPECT_EQ(text.find("[ZEL] Lines are not listed again") != std::string::npos, c.repeatsEnded);
        EXPECT_EQ(text.find("Elements nested deeper than 32 levels are listed at level 32.") !=
                      std::string::npos,
                  c.depthCapped);
    }
}

// A document of ordinary depth lists every level and every line above each of its messages.
TEST_F(HostileDocuments, OrdinaryPagesListAsBefore) {
    configure(shippedConfigurationSource());
    run("<html><body>" + repeated("<div>", 30) + "<zork>x" + repeated("</div>", 30) +
        "<zork><zork></body></html>");
    std::string text;
    for (const std::string& l : out.lines())
        text += l + "\n";
    EXPECT_EQ(text.find("Lines are not listed again"), std::string::npos);
    EXPECT_EQ(text.find("Elements nested deeper"), std::string::npos);
    EXPECT_NE(text.find("\n" + repeated("| ", 32) + "<zork> (1) \n"), std::string::npos) << text;
    // The one line is listed above each of its three messages.
    size_t listed = 0;
    for (size_t at = text.find("   1: <html>"); at != std::string::npos;
         at = text.find("   1: <html>", at + 1))
        ++listed;
    EXPECT_EQ(listed, 3u);
}

} // namespace
