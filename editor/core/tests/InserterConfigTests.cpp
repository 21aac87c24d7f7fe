// Inserter snippet files: the reader's results and errors on small texts, and the two files the
// program ships (copied beside the test program).
#include "editor/core/InserterConfig.h"

#include "framework/ui/Menus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

const char* kRoot = "<zeltaginserterconfiguration version=\"3\">\r\n";
const char* kEnd = "</zeltaginserterconfiguration>\r\n";

TEST(InserterConfig, ReadsItemsWithDecodedAttributes) {
    const std::string text =
        std::string("some preamble element <x>\r\n") + "<?xml version=\"1.0\"?>\r\n" +
        "  < ZelTagInserterConfiguration Version='7' other=\"x\">\r\n" +
        "<!-- a comment\r\n spanning lines -->\r\n" +
        "<TAG Menu=\"&amp;Tables\" InsertText = '&lt;td&gt;|&lt;/td&gt;' flags=\"16\" "
        "command=\"2\" unknown=\"z\"/> trailing words\r\n" +
        "\r\n<other a=\"1\">\r\n" +
        "<tag menu=\"M\" caption=\"Cap|tion\" inserttext=\"x&#9;y&#13;&#10;\" hint=\"H\"/>\r\n" + kEnd +
        "<tag menu=\"after the end\"/>\r\n";
    // The line before the root has text without "<" and fails the read (below); here it is left out.
    TagItemList list;
    EXPECT_EQ(ReadInserterText(&list, text.substr(text.find("<?xml")), 1), InserterReadOk);
    EXPECT_TRUE(list.upToDate);
    EXPECT_EQ(list.version, 7);
    ASSERT_EQ(list.items.size(), 2u);
    const TagItem& a = *list.items[0];
    EXPECT_STREQ(a.menu.getString(), "&Tables");
    EXPECT_STREQ(a.insertText.getString(), "<td>|</td>");
    EXPECT_EQ(a.flags, 16 | TagItemInsertAround);
    EXPECT_EQ(a.command, 2);
    EXPECT_STREQ(a.caption.getString(), "<td>|</td>") << "an empty caption takes the insert text";
    EXPECT_STREQ(a.hint.getString(), "<td></td>") << "an empty hint takes the caption without bars";
    const TagItem& b = *list.items[1];
    EXPECT_STREQ(b.insertText.getString(), "x\ty\r\n");
    EXPECT_STREQ(b.caption.getString(), "Cap|tion");
    EXPECT_STREQ(b.hint.getString(), "H");

    EXPECT_EQ(ReadInserterText(&list, text, 1), InserterReadBadLine);
    EXPECT_FALSE(list.upToDate);
}

TEST(InserterConfig, NormalisingCaptionsHintsAndSeparators) {
    TagItemList list;
    const std::string text = std::string(kRoot) +
                             "<tag menu=\"M\" caption=\"ignored\" hint=\"kept\" flags=\"4\"/>\r\n"
                             "<tag menu=\"M\" inserttext=\"&#9;a&#8;b&#13;|c\"/>\r\n" +
                             kEnd;
    ASSERT_EQ(ReadInserterText(&list, text, 0), InserterReadOk);
    EXPECT_STREQ(list.items[0]->caption.getString(), "ignored") << "without flag 1 items stay as read";
    for (auto& item : list.items)
        NormaliseItem(item.get(), 1);
    EXPECT_STREQ(list.items[0]->caption.getString(), "-");
    EXPECT_STREQ(list.items[0]->hint.getString(), "kept");
    EXPECT_STREQ(list.items[1]->caption.getString(), "ab|c");
    EXPECT_STREQ(list.items[1]->hint.getString(), "abc");
}

TEST(InserterConfig, ErrorsKeepTheItemsReadSoFar) {
    const std::string one = "<tag menu=\"M\" caption=\"one\"/>\r\n";
    struct {
        std::string text;
        int32_t result;
        size_t items;
    } cases[] = {
        {"<p>no root here</p>\r\n", InserterReadNoRoot, 0},
        {"", InserterReadNoRoot, 0},
        {kRoot + one + one, InserterReadNoEnd, 2},
        {kRoot + one + "plain text\r\n" + one + kEnd, InserterReadBadLine, 1},
        {kRoot + one + "<tag menu=unquoted/>\r\n" + kEnd, InserterReadBadAttribute, 1},
        {kRoot + one + "<tag menu=\"open\r\n" + kEnd, InserterReadBadAttribute, 1},
        {kRoot + one + "<tag caption/>\r\n" + kEnd, InserterReadBadAttribute, 1},
        {kRoot + std::string("< >\r\n") + kEnd, InserterReadBadLine, 0},
    };
    for (const auto& c : cases) {
        TagItemList list;
        EXPECT_EQ(ReadInserterText(&list, c.text, 1), c.result) << c.text;
        EXPECT_EQ(list.items.size(), c.items) << c.text;
        EXPECT_FALSE(list.upToDate);
    }
    EXPECT_EQ(ReadInserterText(nullptr, "", 1), InserterReadNoList);
    TagItemList list;
    EXPECT_EQ(ReadInserterFile(&list, "Z:\\no\\such\\folder\\taginsertercfg.txt", 1), InserterReadNoFile);
}

TEST(InserterConfig, CharacterReferences) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"&lt;a&gt; &amp;amp; &quot;&apos;", "<a> &amp; \"'"},
                 {"&#65;&#x42;&#X43;", "ABC"},
                 {"&unknown; & &#0; &#300; &#xZZ;", "&unknown; & &#0; &#300; &#xZZ;"},
                 {"&nbsp;", "\xA0"}};
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCharacterReferences(c.in), c.out) << c.in;
}

TEST(InserterConfig, FindsInsertersByKind) {
    PointerArrayManager list;
    inserterclass tag, css;
    tag.kind = InserterKindTag;
    css.kind = InserterKindCSS;
    list.append(&tag);
    list.append(&css);
    EXPECT_EQ(FindInserter(list, InserterKindCSS, 1), &css);
    EXPECT_EQ(FindInserter(list, InserterKindTag, 1), &tag);
    EXPECT_EQ(FindInserter(list, InserterKindTag, 0), nullptr);
    EXPECT_EQ(FindInserter(list, 0x1234, 1), nullptr);
    list.clear(false);
}

TEST(InserterConfig, MenuGroupsSnippetsBySubmenuText) {
    TagItemList list;
    const std::string text =
        std::string(kRoot) + "<tag menu=\"Text\" caption=\"p\" inserttext=\"&lt;p&gt;|\"/>\r\n" +
        "<tag menu=\"Lists\" caption=\"ul\"/>\r\n" + "<tag menu=\"Text\" caption=\"br\"/>\r\n" +
        "<tag menu=\"text\" caption=\"em\"/>\r\n" + "<tag menu=\"Text\" flags=\"4\"/>\r\n" + kEnd;
    ASSERT_EQ(ReadInserterText(&list, text, 1), InserterReadOk);
    TComponent owner(nullptr);
    auto* parent = new TMenuItem(&owner);
    auto* stale = new TMenuItem(&owner);
    stale->SetCaption("Error loading Tag Inserter configuration");
    parent->Add(stale);
    const TagItem* clicked = nullptr;
    ASSERT_EQ(BuildInserterMenu(
                  &owner, parent, &list,
                  [&](TObject* sender) {
                      clicked = reinterpret_cast<const TagItem*>(static_cast<TMenuItem*>(sender)->Tag());
                  },
                  0),
              0);
    ASSERT_EQ(parent->Count(), 3);
    EXPECT_EQ(parent->Items(0)->Caption(), "Text");
    EXPECT_EQ(parent->Items(1)->Caption(), "Lists");
    EXPECT_EQ(parent->Items(2)->Caption(), "text");
    TMenuItem* textMenu = parent->Items(0);
    ASSERT_EQ(textMenu->Count(), 3);
    EXPECT_EQ(textMenu->Items(0)->Caption(), "p");
    EXPECT_EQ(textMenu->Items(1)->Caption(), "br");
    EXPECT_TRUE(textMenu->Items(2)->IsLine());
    textMenu->Items(0)->OnClick(textMenu->Items(0));
    ASSERT_NE(clicked, nullptr);
    EXPECT_STREQ(clicked->insertText.getString(), "<p>|");
    EXPECT_EQ(BuildInserterMenu(&owner, nullptr, &list, nullptr, 0), -1);
    EXPECT_EQ(BuildInserterMenu(&owner, parent, nullptr, nullptr, 0), -1);
}

// The shipped files read whole, every snippet has a caption and a menu, and the tag inserter
// writes sound HTML: no C1 control references, and no end tag for empty elements.
TEST(InserterConfig, ShippedFilesReadWhole) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.erase(folder.find_last_of('\\'));
    for (const char* name : {TagInserterFileName, CSSInserterFileName}) {
        TagItemList list;
        ASSERT_EQ(ReadInserterFile(&list, folder + "\\" + name, 1), InserterReadOk) << name;
        EXPECT_GT(list.items.size(), 40u) << name;
        std::set<std::string> menus;
        for (const auto& item : list.items) {
            EXPECT_TRUE(item->menu.getString() && *item->menu.getString()) << name;
            EXPECT_TRUE(item->caption.getString() && *item->caption.getString()) << name;
            menus.insert(item->menu.getString());
            const std::string text = item->insertText.getString() ? item->insertText.getString() : "";
            for (int c = 128; c < 160; ++c)
                EXPECT_EQ(text.find("&#" + std::to_string(c) + ";"), std::string::npos) << text;
            for (const char* end : {"</input>", "</br>", "</img>", "</hr>", "</meta>", "</link>"})
                EXPECT_EQ(text.find(end), std::string::npos) << text;
            if (item->command == 0 && !(item->flags & (TagItemSeparator | 8))) {
                EXPECT_FALSE(text.empty()) << item->caption.getString();
            }
        }
        EXPECT_GE(menus.size(), 6u) << name;
    }
}

} // namespace
