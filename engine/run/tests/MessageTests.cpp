// Message catalogue, emitter and the store's counting, filtering and order.
#include <gtest/gtest.h>

#include <string>

#include "engine/run/MessageEmitter.h"

using namespace zel::run;

namespace {

struct Emitting : ::testing::Test {
    RunOptions options;
    MsgStore store{&options};
    MessageEmitter emitter;
    void SetUp() override {
        options.outputFlags |= of::ShowComments | of::ShowWarnings | of::ShowMessages;
        emitter.store = &store;
        emitter.options = &options;
        emitter.pieceLocation.line = 7;
        emitter.pieceLocation.character = 3;
        emitter.tagStartLocation.line = 6;
        emitter.tagStartLocation.character = 9;
    }
    std::string ids() const {
        std::string s;
        for (size_t i = 0; i < store.shownCount(); ++i)
            s += std::to_string(store.shown(i)->id) + " ";
        return s;
    }
};

TEST(MessageCatalogue, TextsKindsAndHintsOfSelectedIds) {
    struct Case {
        int32_t id;
        int32_t kind;
        int32_t hint1, hint2;
        const char* start;
    } cases[] = {
        {50, KindErrorAt, 210, 0, "Terminating validation due to too many errors!"},
        {56, KindErrorTagLine, 0, 0, "Missing quote in tag"},
        {76, KindWarningAt, 221, 0, "Spaces found before the character '>'."},
        {101, KindWarningTagStart, 0, 0, "\"%s\" is assigned to an undefined category"},
        {107, KindWarningAt, 215, 0, "The \"%s\" tag is missing the  \"%s\" attribute."},
        {300, KindErrorAt, 218, 219,
         "The attribute value \"%s\" for the \"%s\" attribute was not enclosed in single"},
        {416, KindErrorAt, 0, 0, "Spaces found after the character '<'."},
    };
    for (const Case& c : cases) {
        const CatalogueEntry* e = findCatalogueEntry(c.id);
        ASSERT_NE(e, nullptr) << c.id;
        EXPECT_EQ(e->kind, c.kind) << c.id;
        EXPECT_EQ(e->hint1, c.hint1) << c.id;
        EXPECT_EQ(e->hint2, c.hint2) << c.id;
        EXPECT_EQ(std::string(e->text).rfind(c.start, 0), 0u) << c.id << ": " << e->text;
    }
    for (int32_t missing : {49, 51, 99, 111, 200, 417})
        EXPECT_EQ(findCatalogueEntry(missing), nullptr) << missing;
    EXPECT_EQ(findHint(203)->switchNumber, 513);
    EXPECT_EQ(findHint(219)->switchNumber, 500);
    EXPECT_EQ(findHint(204), nullptr);
    // The first hint keeps its trailing blank.
    EXPECT_EQ(std::string(findHint(200)->text).back(), ' ');
}

TEST(MessageCatalogue, FormatFillsArgumentsInOrderWithoutLimit) {
    EXPECT_EQ(formatText("a %s b %d c %s", {"x", 42, "y"}), "a x b 42 c y");
    EXPECT_EQ(formatText("'%>' and %s", {"z"}), "'%>' and z");
    EXPECT_EQ(formatText("%s/%s", {"only"}), "only/");
    const std::string huge(5000, 'v');
    const std::string text = formatText(findCatalogueEntry(84)->text, {huge});
    EXPECT_EQ(text.size(), huge.size() + std::string(findCatalogueEntry(84)->text).size() - 2);
}

TEST_F(Emitting, KindsPlaceTheirRecords) {
    MsgLocation at{3, 5, 4};
    emitter.addMessage(65, &at, "foo");
    emitter.addMessage(416);
    emitter.addMessage(56);
    emitter.addMessage(100, nullptr, "p");
    ASSERT_EQ(store.shownCount(), 4u);
    struct Want {
        int32_t id, line, character, length;
    } want[] = {{65, 3, 5, 4}, {100, 6, 9, -1}, {56, 6, -1, -1}, {416, 7, 3, -1}};
    for (size_t i = 0; i < 4; ++i) {
        const SingleMsgStore* m = store.shown(i);
        EXPECT_EQ(m->id, want[i].id);
        EXPECT_EQ(m->location.line, want[i].line) << m->id;
        EXPECT_EQ(m->location.character, want[i].character) << m->id;
        EXPECT_EQ(m->location.length, want[i].length) << m->id;
    }
    EXPECT_EQ(store.shown(0)->text(),
              "The \"foo\" element is not a recognized element. Did you misspell it?");
    EXPECT_EQ(store.errorCount(), 3);
    EXPECT_EQ(store.warningCount(), 1);
    EXPECT_EQ(store.firstErrorLine(), 3);
    EXPECT_EQ(store.firstWarningLine(), 6);
}

TEST_F(Emitting, SpecialTexts) {
    emitter.addMessage(74, nullptr, "i", "b", 12);
    EXPECT_EQ(
        emitter.current->text(),
        "The \"i\" tag (opened in line 12) should be closed before the \"b\" tag is closed (nesting error).");
    emitter.addMessage(312, nullptr, "br");
    EXPECT_EQ(
        emitter.current->text(),
        "The \"br\" tag must be closed by adding a slash to the end of the tag (<br ... />) or by a separate "
        "closing tag (</br>).");
    options.validatorFlags |= vf::StrictComments;
    emitter.addMessage(53);
    EXPECT_NE(emitter.current->text().find("'-->'"), std::string::npos);
    options.validatorFlags &= ~vf::StrictComments;
    emitter.addMessage(53);
    EXPECT_EQ(emitter.current->text(),
              "Reached the end of the document before the closing '>', '?>', '##>', or '%>'.");
    emitter.addMessage(85, nullptr, std::string(4095, 'a').c_str());
    EXPECT_EQ(emitter.current->text().size(), 4095u);
    emitter.addMessage(86, nullptr, std::string(4096, 'a').c_str());
    EXPECT_EQ(emitter.current->text(), "[MESSAGE EXCEEDS MAXIMUM LENGTH]");
    // A long attribute value from the document is kept whole.
    const std::string value(5000, 'x');
    emitter.addMessage(84, nullptr, value.c_str());
    EXPECT_NE(emitter.current->text().find(value), std::string::npos);
    emitter.replacement109 = "Use a blank.";
    emitter.addMessage(109);
    EXPECT_EQ(emitter.current->text(), "Use a blank.");
    // Texts from the configuration may carry one text per language.
    emitter.addMessage(85, nullptr, "{ENGLISH: \"Use alt.\" FRENCH: \"Utilisez alt.\"}");
    EXPECT_EQ(emitter.current->text(), "Use alt.");
    emitter.prepend112 = "[7] ";
    emitter.addMessage(112, nullptr, "href");
    EXPECT_EQ(
        emitter.current->text().rfind("[7] An invalid entity was found in the value for the \"href\"", 0),
        0u);
    EXPECT_EQ(emitter.current->leadingNumber1, 7);
}

TEST_F(Emitting, UnknownIdGivesInternalErrorAndZero) {
    EXPECT_EQ(emitter.addMessage(51), 0);
    EXPECT_EQ(emitter.current->text(),
              "Internal error for error number 51. No case statement for error number.");
    EXPECT_EQ(emitter.addMessage(111), 0);
    EXPECT_EQ(emitter.current->text(),
              "Internal error for warning number 111. No case statement for error number.");
    EXPECT_EQ(store.errorCount(), 1);
}

TEST_F(Emitting, RepeatFilterOncePerArgument) {
    EXPECT_EQ(emitter.addMessage(101, nullptr, "blink"), 1);
    EXPECT_EQ(emitter.addMessage(101, nullptr, "blink"), 0);
    EXPECT_EQ(emitter.addMessage(101, nullptr, "BLINK"), 1);
    EXPECT_EQ(emitter.addMessage(105, nullptr, "blink"), 1);
    EXPECT_EQ(store.warningCount(), 3);
}

TEST_F(Emitting, HintsComeFirstOnceAndObeyTheirSwitch) {
    emitter.addMessage(62);
    emitter.addMessage(62);
    EXPECT_EQ(ids(), "62 62 201 ");
    EXPECT_EQ(store.commentCount(), 1);
    // Comments sort after everything and by their running number.
    EXPECT_EQ(store.shown(2)->runningNumber, 1);

    MsgStore other(&options);
    emitter.store = &other;
    options.switches500 &= ~(1u << 11); // switch 511
    emitter.addMessage(62);
    EXPECT_FALSE(other.hasCommentWithId(201));
    EXPECT_EQ(other.commentCount(), 0);
}

TEST_F(Emitting, HiddenCommentsAreCountedEachTime) {
    options.outputFlags &= ~of::ShowComments;
    emitter.addMessage(62);
    emitter.addMessage(62);
    emitter.addHint(226, "summary");
    EXPECT_EQ(store.commentCount(), 3);
    EXPECT_EQ(store.shownCount(), 2u);
    EXPECT_EQ(store.droppedCount(), 3u);
}

TEST_F(Emitting, ErrorLimitZeroDropsButKeepsTheTerminationMessage) {
    options.maximumErrors = 0;
    emitter.addMessage(65, nullptr, "x");
    EXPECT_TRUE(store.errorLimitReached());
    EXPECT_EQ(store.errorCount(), 0);
    emitter.addMessage(50);
    EXPECT_EQ(ids(), "50 210 ");
    EXPECT_EQ(store.errorCount(), 1);
}

TEST_F(Emitting, WarningLimitAndHiddenKinds) {
    options.maximumWarnings = 1;
    emitter.addMessage(76);
    emitter.addMessage(110);
    EXPECT_TRUE(store.warningLimitReached());
    EXPECT_EQ(store.warningCount(), 1);
    options.outputFlags &= ~(of::ShowWarnings | of::ShowMessages);
    store.reset();
    emitter.addMessage(110);
    EXPECT_EQ(store.warningCount(), 0);
    EXPECT_FALSE(store.warningLimitReached());
}

TEST(MsgStoreOrder, LineThenPositionMessagesLastCommentsAtEnd) {
    RunOptions options;
    options.outputFlags |= of::ShowComments | of::ShowMessages | of::ShowWarnings;
    MsgStore store(&options);
    struct In {
        int32_t id, kind, line, character, running;
    } in[] = {
        {1, KindComment, -1, -1, 2}, {2, KindMessage, 4, 2, 1},       {3, KindErrorAt, 4, -1, 1},
        {4, KindWarningAt, 4, 9, 1}, {5, KindErrorAt, 4, 3, 2},       {6, KindErrorAt, 2, -1, 3},
        {7, KindComment, -1, -1, 1}, {8, KindErrorTagLine, 4, -1, 4},
    };
    for (const In& r : in) {
        auto m = std::make_unique<SingleMsgStore>();
        m->id = r.id;
        m->kind = r.kind;
        m->location.line = r.line;
        m->location.character = r.character;
        m->runningNumber = r.running;
        ASSERT_EQ(store.add(std::move(m)), 1);
    }
    std::string order;
    for (size_t i = 0; i < store.shownCount(); ++i)
        order += std::to_string(store.shown(i)->id);
    EXPECT_EQ(order, "65438271");
}

TEST(MsgStoreRecord, LeadingNumbers) {
    struct Case {
        const char* text;
        int32_t n1, n2;
    } cases[] = {
        {"[12] [34] text", 12, 34}, {"[12]x[34]", 12, -1}, {"[5]", 5, -1}, {"no", -1, -1}, {"[x]", -1, -1},
        {"[1]\t[2]", 1, 2}};
    for (const Case& c : cases) {
        SingleMsgStore m;
        m.setText(c.text);
        EXPECT_EQ(m.leadingNumber1, c.n1) << c.text;
        EXPECT_EQ(m.leadingNumber2, c.n2) << c.text;
    }
}

} // namespace
