// Whole pages in the styles of today's web against the shipped configuration with the default
// options: each gives its golden list of messages, and a valid page gives no errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "engine/checks/tests/CheckFixture.h"

using namespace zel::run;

namespace {

class Pages : public CheckTest {
protected:
    static void SetUpTestSuite() { source_ = new std::string(shippedConfigurationSource()); }
    static void TearDownTestSuite() {
        delete source_;
        source_ = nullptr;
    }
    void SetUp() override {
        CheckTest::SetUp();
        configure(*source_);
    }
    // One line per shown record: "kind id@line:char text".
    std::string listing() const {
        std::string s;
        for (size_t i = 0; i < store->shownCount(); ++i) {
            const SingleMsgStore* m = store->shown(i);
            const char* kind = isErrorKind(m->kind)     ? "error"
                               : isWarningKind(m->kind) ? "warning"
                               : m->kind == KindComment ? "comment"
                                                        : "message";
            s += std::string(kind) + " " + std::to_string(m->id) + "@" + std::to_string(m->location.line) +
                 ":" + std::to_string(m->location.character) + " " + m->text() + "\n";
        }
        return s;
    }
    static std::string* source_;
};

std::string* Pages::source_ = nullptr;

// Compares with the golden file; ZEL_REGENERATE_GOLDEN=1 rewrites it instead (a deliberate step).
void expectGolden(const std::string& name, const std::string& actual) {
    const char* data = std::getenv("ZEL_TEST_DATA");
    const std::string path = std::string(data ? data : ".") + "/pages/" + name;
    if (std::getenv("ZEL_REGENERATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, readTestFile("pages/" + name)) << "golden " << name;
}

TEST_F(Pages, PagesGiveTheirGoldenMessages) {
    struct Case {
        const char* page;
        const char* extension;
        bool valid;
    } cases[] = {
        {"modern.html", "html", true},
        {"tables.html", "html", true},
        {"strict.xhtml", "xhtml", true},
        {"broken.html", "html", false},
    };
    for (const Case& c : cases) {
        extension = c.extension;
        options = RunOptions{};
        options.maximumErrors = 100;
        options.maximumWarnings = 100;
        ASSERT_EQ(run(readTestFile(std::string("pages/") + c.page)), 0) << c.page;
        if (c.valid)
            EXPECT_EQ(store->errorCount(), 0) << c.page << "\n" << listing();
        else
            EXPECT_GT(store->errorCount(), 0) << c.page;
        expectGolden(std::string(c.page) + ".messages", listing());
    }
}

} // namespace
