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

TEST_F(MemoParserTest, SilentCheckWithScriptedAnswersUndoesAnswerByAnswer) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    const std::string original = "A tset line\r\nwith the the double\r\nand a chekcer.";
    Memo->GetLines()->SetText(original);
    TempFolder tmp;
    TOrthosSpell3Base spell(nullptr);
    UseDictionaries(spell, BuildDictionaryFolder(), tmp);
    std::deque<std::function<void()>> answers = {[&] { spell.Check_Change("test"); },
                                                 [&] { spell.Check_RepeatDelete(); },
                                                 [&] { spell.Check_Change("checker"); }};
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
    EXPECT_EQ(prompted, (std::vector<std::string>{"tset", "the the", "chekcer"}));
    EXPECT_EQ(Text(), "A test line\r\nwith the double\r\nand a checker.");
    // Undo step by step: caret moves are steps of their own, and every step that changes the
    // text takes back exactly one answer.
    std::vector<std::string> texts{Text()};
    for (int guard = 0; guard < 100 && Memo->GetSource()->UndoAvailable(); ++guard) {
        Memo->Undo();
        if (Text() != texts.back())
            texts.push_back(Text());
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"A test line\r\nwith the double\r\nand a checker.",
                                        "A test line\r\nwith the double\r\nand a chekcer.",
                                        "A test line\r\nwith the the double\r\nand a chekcer.", original}));
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
