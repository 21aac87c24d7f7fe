#include <gtest/gtest.h>

#include <sstream>

#include "SourceTestUtil.h"
#include "controls/textmodel/FindReplace.h"
#include "controls/textmodel/MemoOptions.h"
#include "framework/core/Properties.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"

namespace {

enum : uint32_t {
    fCase = 1,
    fWhole = 2,
    fRegex = 4,
    fBack = 8,
    fInBlock = 16,
    fFromCursor = 32,
    fPrompt = 64,
    fAll = 128,
    fSelectFound = 256,
};

// Answers message boxes and replace questions from a script, and records what was asked.
struct Boxes {
    std::vector<std::string> shown;
    std::string answers; // Y, N, C, A: one per replace question
    size_t next = 0;
    TMessageBoxFunc oldBox;
    TReplacePromptFunc oldPrompt;
    Boxes() {
        oldBox = SetMessageBoxFunc([this](const std::string& text, const std::string&, UINT) {
            shown.push_back(text);
            return IDOK;
        });
        oldPrompt = SetReplacePromptFunc([this](const std::string& q) {
            shown.push_back(q);
            const char a = next < answers.size() ? answers[next++] : 'C';
            return a == 'Y' ? raYes : a == 'N' ? raNo : a == 'A' ? raAll : raCancel;
        });
    }
    ~Boxes() {
        SetMessageBoxFunc(oldBox);
        SetReplacePromptFunc(oldPrompt);
    }
    std::string Joined() const {
        std::string out;
        for (const auto& s : shown)
            out += (out.empty() ? "" : "/") + s;
        return out;
    }
};

TSearchOptions& FreshOptions(uint32_t flags, const std::string& find, const std::string& repl) {
    TSearchOptions& o = *GetSearchOptions();
    o.InitValues();
    o.TextToFind = find;
    o.ReplaceWith = repl;
    o.CaseSensitive = flags & fCase;
    o.WholeWordsOnly = flags & fWhole;
    o.RegularExpr = flags & fRegex;
    o.Direction = (flags & fBack) ? sdBackward : sdForward;
    o.Scope = (flags & fInBlock) ? ssSelectedText : ssGlobal;
    o.Origin = (flags & fFromCursor) ? soFromCursor : soEntireScope;
    o.PromptOnReplace = flags & fPrompt;
    o.ReplaceAll = flags & fAll;
    return o;
}

struct Case {
    const char* name;
    const char* text;
    int32_t caretChar, caretLine;
    TMemoRect block; // a stream block when Right or Bottom is set
    uint32_t flags;
    const char* find;
    const char* replace; // nullptr: a find
    int nexts;           // FindNext calls after the first command
    const char* answers;
    const char* carets; // caret after each command, "-" when the command failed
    const char* result; // text afterwards
    int32_t count;      // replacements of the last command
    const char* boxes;
};

TEST(FindReplace, CommandTable) {
    const Case cases[] = {
        {"entire scope starts at the top",
         "abc x abc|abc",
         5,
         1,
         {},
         0,
         "abc",
         nullptr,
         3,
         "",
         "3,0 9,0 3,1 -",
         "abc x abc|abc",
         0,
         "Search string 'abc' not found"},
        {"backward from the cursor",
         "abc abc",
         7,
         0,
         {},
         fBack | fFromCursor,
         "abc",
         nullptr,
         2,
         "",
         "4,0 0,0 -",
         "abc abc",
         0,
         "Search string 'abc' not found"},
        {"from the cursor tries the character under it",
         "abcabc",
         3,
         0,
         {},
         fFromCursor,
         "abc",
         nullptr,
         0,
         "",
         "6,0",
         "abcabc",
         0,
         ""},
        {"case sensitive", "ABC abc", 0, 0, {}, fCase, "abc", nullptr, 0, "", "7,0", "ABC abc", 0, ""},
        {"case blind", "ABC abc", 0, 0, {}, 0, "abc", nullptr, 0, "", "3,0", "ABC abc", 0, ""},
        {"whole words", "abcd abc", 0, 0, {}, fWhole, "abc", nullptr, 0, "", "8,0", "abcd abc", 0, ""},
        {"regular expression",
         "x12 y345",
         0,
         0,
         {},
         fRegex,
         "[0-9]+",
         nullptr,
         1,
         "",
         "3,0 8,0",
         "x12 y345",
         0,
         ""},
        {"empty matches move on",
         "ab|cd|",
         0,
         0,
         {},
         fRegex,
         "^",
         nullptr,
         3,
         "",
         "0,0 0,1 0,2 -",
         "ab|cd|",
         0,
         "Search string '^' not found"},
        {"empty match at the line end",
         "ab|c",
         0,
         0,
         {},
         fRegex,
         "$",
         nullptr,
         2,
         "",
         "2,0 1,1 -",
         "ab|c",
         0,
         "Search string '$' not found"},
        {"bad regular expression",
         "abc",
         0,
         0,
         {},
         fRegex,
         "*a",
         nullptr,
         0,
         "",
         "-",
         "abc",
         0,
         "*a is invalid mask at (1)"},
        {"in the selected text",
         "abc abc|abc abc",
         0,
         0,
         {4, 0, 7, 1},
         fInBlock,
         "abc",
         nullptr,
         3,
         "",
         "7,0 3,1 7,1 -",
         "abc abc|abc abc",
         0,
         "Search string 'abc' not found"},
        {"replace all deletes every match", "a-a-a", 0, 0, {}, fAll, "a", "", 0, "", "-", "--", 3, ""},
        {"replace all without a match reports once",
         "xyz",
         0,
         0,
         {},
         fAll,
         "a",
         "b",
         0,
         "",
         "-",
         "xyz",
         0,
         "Search string 'a' not found"},
        {"replacement holding the text", "a a", 0, 0, {}, fAll, "a", "aa", 0, "", "-", "aa aa", 2, ""},
        {"backward replace all",
         "ab ab",
         5,
         0,
         {},
         fAll | fBack | fFromCursor,
         "ab",
         "x",
         0,
         "",
         "-",
         "x x",
         2,
         ""},
        {"regular expression replace all",
         "a|b",
         0,
         0,
         {},
         fAll | fRegex,
         "^",
         "> ",
         0,
         "",
         "-",
         "> a|> b",
         2,
         ""},
        {"yes, no, then all",
         "a a a a",
         0,
         0,
         {},
         fPrompt,
         "a",
         "b",
         2,
         "YNA",
         "1,0 3,0 -",
         "b a b b",
         2,
         "Replace this occurence of 'a'?/Replace this occurence of 'a'?/Replace this occurence of 'a'?"},
        {"yes, then cancel",
         "a a a",
         0,
         0,
         {},
         fPrompt,
         "a",
         "b",
         1,
         "YC",
         "1,0 -",
         "b a a",
         0,
         "Replace this occurence of 'a'?/Replace this occurence of 'a'?"},
        {"no to all of them",
         "a a",
         0,
         0,
         {},
         fPrompt | fAll,
         "a",
         "b",
         0,
         "NN",
         "-",
         "a a",
         0,
         "Replace this occurence of 'a'?/Replace this occurence of 'a'?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoSource source;
        source.LoadFromStrings(SplitBars(c.text));
        source.JumpTo(c.caretChar, c.caretLine);
        if (c.block.Right || c.block.Bottom) {
            source.SetSelectionRect(c.block);
            source.SetSelectionType(stStreamSel);
        }
        FreshOptions(c.flags, c.find, c.replace ? c.replace : "");
        Boxes boxes;
        boxes.answers = c.answers;
        std::string carets;
        for (int i = 0; i <= c.nexts; ++i) {
            bool ok;
            if (i > 0)
                ok = source.FindNext();
            else
                ok = c.replace ? source.Replace() : source.Find();
            carets += (carets.empty() ? "" : " ") + (ok ? CaretText(source) : std::string("-"));
        }
        EXPECT_EQ(c.carets, carets);
        EXPECT_EQ(c.result, Text(source));
        EXPECT_EQ(c.count, GetReplaceCount(source));
        EXPECT_EQ(c.boxes, boxes.Joined());
        EXPECT_EQ(0, source.UpdateCount());
    }
}

TEST(FindReplace, WholeWordsWithADelimiterSearchesPlainTextAndStaysOff) {
    TMemoSource source;
    source.LoadFromStrings({"xa b"});
    TSearchOptions& o = FreshOptions(fWhole, "a b", "");
    Boxes boxes;
    ASSERT_TRUE(source.Find());
    EXPECT_EQ("4,0", CaretText(source));
    EXPECT_FALSE(o.WholeWordsOnly);
}

TEST(FindReplace, SelectsTheMatchUnlessSearchingInsideTheBlock) {
    TMemoSource source;
    source.LoadFromStrings({"abc abc", "abc"});
    source.SetOptions(source.Options() | soSelectFoundText);
    FreshOptions(0, "abc", "");
    Boxes boxes;
    ASSERT_TRUE(source.FindNext() || source.Find());
    ASSERT_TRUE(source.FindNext());
    EXPECT_EQ(stStreamSel, source.SelectionType());
    EXPECT_EQ(4, source.BlockBegin().Char);
    EXPECT_EQ(7, source.BlockEnd().Char);

    source.JumpTo(0, 0);
    source.SetSelectionRect({0, 0, 7, 0});
    source.SetSelectionType(stStreamSel);
    FreshOptions(fInBlock, "abc", "");
    ASSERT_TRUE(source.Find());
    ASSERT_TRUE(source.FindNext());
    EXPECT_EQ("7,0", CaretText(source));
    EXPECT_EQ(0, source.BlockBegin().Char);
    EXPECT_EQ(7, source.BlockEnd().Char);
    EXPECT_EQ(4, source.FoundRect().Left);
}

TEST(FindReplace, ReplaceAllKeepsTheCallersBracketsOpen) {
    TMemoSource source;
    source.LoadFromStrings({"a a a"});
    FreshOptions(fAll, "a", "b");
    Boxes boxes;
    source.BeginUpdate(1);
    source.BeginUpdate(1);
    source.Replace();
    EXPECT_EQ(2, source.UpdateCount());
    source.EndUpdate();
    source.EndUpdate();
    EXPECT_EQ("b b b", Text(source));
}

TEST(FindReplace, ReplaceAllIsNotCarriedToTheNextSearchNorStored) {
    TMemoSource source;
    source.LoadFromStrings({"a a", "a"});
    TSearchOptions& o = FreshOptions(fPrompt, "a", "b");
    Boxes boxes;
    boxes.answers = "A";
    source.Replace();
    EXPECT_EQ("b b|b", Text(source));
    EXPECT_FALSE(o.ReplaceAll);
    EXPECT_TRUE(o.PromptOnReplace);

    source.LoadFromStrings({"a a"});
    source.JumpTo(0, 0);
    boxes.answers += "N";
    source.Replace();
    EXPECT_EQ("a a", Text(source)); // asked again, and answered No
    for (const char* runState : {"ReplaceAll", "InReplace", "FirstSearch", "ShowNotFound"})
        EXPECT_EQ(nullptr, GetPropInfo(&o, runState)) << runState;
    EXPECT_NE(nullptr, GetPropInfo(&o, "TextToFind"));
}

TEST(FindReplace, InvalidBlockIsAnErrorUnlessHandled) {
    TMemoSource source;
    source.LoadFromStrings({"abc"});
    FreshOptions(fInBlock, "abc", "");
    Boxes boxes;
    EXPECT_THROW(source.Find(), EMemoSourceError);
    EXPECT_EQ(0, source.UpdateCount());
    ModalSearchAndReplace = false;
    EXPECT_FALSE(source.Find());
    ModalSearchAndReplace = true;
    source.SetSelectionRect({2, 0, 3, 0});
    source.SetSelectionType(stStreamSel);
    source.JumpTo(0, 0); // the block goes with the caret move
    source.SetSelectionRect({2, 0, 3, 0});
    source.SetSelectionType(stStreamSel);
    FreshOptions(fInBlock | fFromCursor, "abc", "");
    try {
        source.Find();
        ADD_FAILURE();
    } catch (const EMemoSourceError& e) {
        EXPECT_EQ(std::string("Tried to search marked block from cursor but cursor is outside block"),
                  e.Message());
    }
    EXPECT_EQ("", boxes.Joined());
}

TEST(FindReplace, OverlyComplexPatternIsReportedNotHung) {
    TMemoSource source;
    source.LoadFromStrings({std::string(4000, 'a')});
    FreshOptions(fRegex, "{a*}*b", "");
    Boxes boxes;
    EXPECT_FALSE(source.Find());
    EXPECT_EQ("{a*}*b is too complex to search", boxes.Joined());
    EXPECT_EQ(0, source.UpdateCount());
}

TEST(FindReplace, FindNextBeforeTheFirstSearchDoesNothing) {
    TMemoSource source;
    source.LoadFromStrings({"abc"});
    TSearchOptions& o = FreshOptions(0, "abc", "");
    o.FirstSearch = true;
    Boxes boxes;
    EXPECT_FALSE(source.FindNext());
    EXPECT_EQ("", boxes.Joined());
    EXPECT_EQ("0,0", CaretText(source));
}

TEST(FindReplace, ReadOnlySourceRefusesReplaceSilently) {
    TMemoSource source;
    source.LoadFromStrings({"abc"});
    source.SetROnly(true);
    FreshOptions(fAll, "abc", "x");
    Boxes boxes;
    EXPECT_FALSE(source.Replace());
    EXPECT_EQ("abc", Text(source));
    EXPECT_EQ("", boxes.Joined());
}

TEST(FindReplace, HandledMessagesShowNoBox) {
    TMemoSource source;
    source.LoadFromStrings({"abc"});
    FreshOptions(0, "zzz", "");
    std::string seen;
    SetOnSearchException(source, [&](TCustomMemoSource&, const std::string& m, bool& handled) {
        seen = m;
        handled = true;
    });
    Boxes boxes;
    EXPECT_FALSE(source.Find());
    EXPECT_EQ("Search string 'zzz' not found", seen);
    EXPECT_EQ("", boxes.Joined());
}

} // namespace

namespace {

TEST(FindReplace, ReplaceQuestionOffersAllAndTakesEachAnswer) {
    struct AnswerCase {
        const char* name;
        int answer;
        const char* result;
        int asked;
    };
    const AnswerCase cases[] = {
        {"All replaces the rest unasked", mrAll, "b b|b", 1},
        {"Yes replaces the one found", mrYes, "b a|a", 1},
        {"No leaves it", mrNo, "a a|a", 1},
        {"Cancel stops", mrCancel, "a a|a", 1},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoSource source;
        source.LoadFromStrings({"a a", "a"});
        TSearchOptions& o = FreshOptions(fPrompt, "a", "b");
        std::vector<TMessageBoxRequest> questions;
        TReplacePromptFunc oldPrompt = SetReplacePromptFunc(nullptr);
        TMessageRequestFunc oldBox = SetMessageRequestFunc([&](const TMessageBoxRequest& r) {
            if (r.Buttons & mbAll) {
                questions.push_back(r);
                return c.answer;
            }
            return int(mrOk);
        });
        source.Replace();
        SetMessageRequestFunc(oldBox);
        SetReplacePromptFunc(oldPrompt);
        EXPECT_EQ(c.result, Text(source));
        ASSERT_EQ(size_t(c.asked), questions.size());
        EXPECT_EQ(mbYes | mbNo | mbCancel | mbAll, questions[0].Buttons);
        EXPECT_EQ("Replace this occurence of 'a'?", questions[0].Text);
        EXPECT_TRUE(o.PromptOnReplace);
    }
}

} // namespace
