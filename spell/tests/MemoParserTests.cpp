#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>

#include "UiTestSupport.h"
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "framework/ui/Forms.h"
#include "spell/MemoParser.h"
#include "spell/SpellBase.h"
#include "spell/SpellUtils.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

class MemoParserTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 260);
        Memo = new THSMemo(Form.get());
        Memo->SetParent(Form.get());
        Memo->SetAlign(TAlign::alClient);
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    std::string Text() const { return Memo->GetLines()->GetText(); }
    // Caret moves are undo steps of their own; this takes back the next step that changes text.
    void UndoUntilTheTextChanges() {
        const std::string now = Text();
        while (Memo->GetSource()->UndoAvailable() && Text() == now)
            Memo->Undo();
    }

    std::unique_ptr<TForm> Form;
    THSMemo* Memo = nullptr;
};

} // namespace

TEST_F(MemoParserTest, SelectWordCoversTheCharactersBeforeThePosition) {
    Memo->GetLines()->SetText("zero\r\none\r\nabcdefghij");
    THSMemoParser p;
    p.Initialize(Memo);
    EXPECT_FALSE(p.MovePrevious());
    p.SetPosition(9, 2, ptCurrent);
    EXPECT_EQ(p.GetChar(), 'i');
    p.SelectWord(4);
    TCustomMemoSource* src = Memo->GetSource();
    EXPECT_EQ(src->BlockBegin().Char, 4);
    EXPECT_EQ(src->BlockEnd().Char, 8);
    EXPECT_EQ(src->BlockBegin().Line, 2);
    int x, y;
    p.GetPosition(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 2);
    // Line ends are seen as CR LF, then the next line's place 0.
    p.SetPosition(4, 0, ptCurrent);
    EXPECT_EQ(p.GetChar(), 'o');
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), '\r');
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), '\n');
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), 0);
    EXPECT_TRUE(p.MoveNext());
    EXPECT_EQ(p.GetChar(), 'o');
}

namespace {

std::string WithoutLineEndBlanks(const std::string& text) {
    std::string out;
    size_t at = 0;
    while (at <= text.size()) {
        size_t eol = text.find("\r\n", at);
        std::string line = text.substr(at, eol == std::string::npos ? std::string::npos : eol - at);
        line.erase(line.find_last_not_of(" \t") + 1);
        out += line;
        if (eol == std::string::npos)
            break;
        out += "\r\n";
        at = eol + 2;
    }
    return out;
}

} // namespace

TEST_F(MemoParserTest, OneUndoTakesBackTheWholeCheck) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    // Trailing blanks and a tab: the caret moves of the check may drop blanks, and undo must bring
    // every byte back.
    const std::string original = "A tset line  \r\n\twith the the double\r\n"
                                 "and a chekcer, wrnog and chekcer, then a mistaek.\t\r\nlast line";
    const std::string corrected = "A test line\r\n\twith the double\r\n"
                                  "and a checker, wrnog and checker, then a mistake.\r\nlast line";
    struct Case {
        const char* name;
        bool groupUndo;
        bool typedBefore; // an edit of the user's own just before the check must stay its own step
    } cases[] = {
        {"grouped", true, false},
        {"ungrouped", false, false},
        {"grouped after typing", true, true},
        {"ungrouped after typing", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCustomMemoSource* src = Memo->GetSource();
        TStringsOptions o = (src->Options() | soUseTabCharacter) & ~TStringsOptions(soGroupUndo);
        src->SetOptions(c.groupUndo ? (o | soGroupUndo) : o);
        src->KeepTrailingBlanks = true;
        Memo->GetLines()->SetText(original);
        ASSERT_EQ(Text(), original);
        // Leaving a line now drops its trailing blanks, as an undoable edit.
        src->KeepTrailingBlanks = false;
        src->ClearUndoBuffer();
        if (c.typedBefore) {
            src->JumpTo(0, 3);
            src->InsertString("the ");
            src->JumpTo(0, 0);
        }
        const std::string before = Text();

        TempFolder tmp;
        TOrthosSpell3Base spell(nullptr);
        UseDictionaries(spell, BuildDictionaryFolder(), tmp);
        std::deque<std::function<void()>> answers = {
            [&] { spell.Check_Change("test"); }, [&] { spell.Check_RepeatDelete(); },
            [&] { spell.Check_ChangeAll("checker"); }, // the second one is changed without a prompt
            [&] { spell.Check_Change("wrong"); },
            // Taken back inside the check: the automatic change and the decision before it.
            [&] { spell.Check_Undo(); }, [&] { spell.Check_Ignore(); },
            [&] { spell.Check_Change("mistake"); }};
        std::vector<std::string> prompted;
        spell.OnPromptWord = [&](TObject*, const std::string& word, bool) {
            prompted.push_back(word);
            if (answers.empty()) {
                spell.Check_Cancel();
                return;
            }
            auto a = answers.front();
            answers.pop_front();
            a();
        };
        auto* parser = new THSMemoParser();
        parser->Initialize(Memo);
        spell.CheckParser(parser, ctAll);
        EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "the the", "chekcer", "wrnog", "mistaek",
                                                      "wrnog", "mistaek"}));
        const std::string checked = Text();
        EXPECT_EQ(WithoutLineEndBlanks(checked),
                  c.typedBefore ? ReplaceString("last line", "the last line", corrected) : corrected);

        ASSERT_TRUE(src->UndoAvailable());
        Memo->Undo();
        EXPECT_EQ(Text(), before);
        Memo->Redo();
        EXPECT_EQ(Text(), checked);
        Memo->Undo();
        EXPECT_EQ(Text(), before);
        // The check left no block open: a later edit is undone on its own.
        src->JumpTo(0, 0);
        src->InsertString("X");
        UndoUntilTheTextChanges();
        EXPECT_EQ(Text(), before);
        // And everything before the check is still there to undo.
        while (src->UndoAvailable())
            Memo->Undo();
        EXPECT_EQ(Text(), original);
    }
}

TEST_F(MemoParserTest, OneUndoRestoresARealPageAfterManyAnswers) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    const std::vector<uint8_t> bytes = ReadBytes("Z:\\usr\\share\\doc\\sqlite3\\about.html");
    if (bytes.empty())
        GTEST_SKIP() << "sqlite3-doc is not installed";
    TCustomMemoSource* src = Memo->GetSource();
    src->SetOptions(src->Options() | soUseTabCharacter);
    src->KeepTrailingBlanks = true;
    Memo->GetLines()->SetText(std::string(bytes.begin(), bytes.end()));
    src->KeepTrailingBlanks = false;
    src->ClearUndoBuffer();
    const std::string before = Text();

    TempFolder tmp;
    TOrthosSpell3Base spell(nullptr);
    UseDictionaries(spell, BuildDictionaryFolder(), tmp);
    spell.RecheckReplacedWords = false;
    int prompts = 0;
    spell.OnPromptWord = [&](TObject*, const std::string& word, bool repeated) {
        const int n = prompts++;
        if (n >= 60)
            spell.Check_Cancel();
        else if (repeated)
            spell.Check_RepeatDelete();
        else if (n % 3 == 0)
            spell.Check_Change("W" + word);
        else if (n % 3 == 1)
            spell.Check_ChangeAll("zz");
        else
            spell.Check_Ignore();
    };
    auto* parser = new THSMemoParser();
    parser->Initialize(Memo);
    spell.CheckParser(parser, ctAll);
    ASSERT_GT(prompts, 10);
    const std::string checked = Text();
    ASSERT_NE(checked, before);
    Memo->Undo();
    EXPECT_TRUE(Text() == before) << "one undo did not restore the page";
    Memo->Redo();
    EXPECT_TRUE(Text() == checked);
}

TEST_F(MemoParserTest, BlocksStillOpenWhenTheParserGoesAreClosed) {
    Memo->GetLines()->SetText("one two");
    TCustomMemoSource* src = Memo->GetSource();
    src->ClearUndoBuffer();
    {
        THSMemoParser p;
        p.Initialize(Memo);
        p.BeginCheck();
        p.BeginCheck();
        p.EndCheck();
        p.SetPosition(4, 0, ptCurrent); // just after the word
        p.SelectWord(3);
        p.ReplaceWord("uno", 0);
    } // freed in the middle of a check
    EXPECT_EQ(Text(), "uno two");
    src->JumpTo(7, 0);
    src->InsertString("!");
    UndoUntilTheTextChanges();
    EXPECT_EQ(Text(), "uno two");
    UndoUntilTheTextChanges();
    EXPECT_EQ(Text(), "one two");
}

TEST_F(MemoParserTest, HtmlParserStepsOverMarkup) {
    Memo->GetLines()->SetText("a <b> c");
    TStringItem* item = Memo->GetSource()->GetStringItem(0);
    ASSERT_NE(item, nullptr);
    item->ColorData = std::string("\0\0\x0A\x0A\x0A\0\0", 7);
    THSMemoHTMLParser p;
    p.Initialize(Memo);
    p.SetPosition(2, 0, ptCurrent); // the blank
    EXPECT_TRUE(p.MoveNext());
    int x, y;
    p.GetPosition(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(p.GetChar(), '>');
}
