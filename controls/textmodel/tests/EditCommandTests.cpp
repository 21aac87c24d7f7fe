#include <gtest/gtest.h>

#include <functional>

#include "SourceTestUtil.h"
#include "controls/textmodel/ClipboardSource.h"
#include "controls/textmodel/LanguageParsers.h"
#include "framework/core/Properties.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Clipbrd.h"
#include "framework/ui/Dialogs.h"

namespace {

struct Scenario {
    const char* name;
    const char* text;
    int32_t caretChar, caretLine;
    TStringsOptions options;
    std::function<void(TMemoSource&)> command;
    const char* result;
    const char* caret;
};

void RunScenarios(const std::vector<Scenario>& scenarios) {
    for (const Scenario& sc : scenarios) {
        SCOPED_TRACE(sc.name);
        TMemoSource source;
        source.SetOptions(sc.options);
        source.LoadFromStrings(SplitBars(sc.text));
        source.JumpTo(sc.caretChar, sc.caretLine);
        sc.command(source);
        EXPECT_EQ(sc.result, Text(source));
        EXPECT_EQ(sc.caret, CaretText(source));
        EXPECT_EQ(0, source.UpdateCount());
        // Every command is one undo step.
        if (source.UndoAvailable() && std::string(sc.result) != sc.text) {
            source.Undo();
            EXPECT_EQ(sc.text, Text(source)) << "after undo";
        }
    }
}

const TStringsOptions kPlain = soGroupUndo;

TEST(EditCommands, EnterBackspaceAndTab) {
    auto enter = [](TMemoSource& s) { s.PressEnter(); };
    auto back = [](TMemoSource& s) { s.DeleteCharLeft(); };
    auto tab = [](TMemoSource& s) { s.PressTab(); };
    auto shiftTab = [](TMemoSource& s) { s.PressShiftTab(); };
    RunScenarios({
        {"enter after indented text", "    abc", 7, 0, soAutoIndent, enter, "    abc|    ", "4,1"},
        {"enter inside the indentation", "    abc", 2, 0, soAutoIndent, enter, "|    abc", "2,1"},
        {"enter on an empty line takes the line above", "  x||z", 0, 1, soAutoIndent, enter, "  x||  |z",
         "2,2"},
        {"enter without auto indent", "    abc", 7, 0, kPlain, enter, "    abc|", "0,1"},
        {"enter with optimal tab fill", "            abc", 15, 0,
         soAutoIndent | soUseTabCharacter | soOptimalFill, enter, "            abc|\t   ", "12,1"},
        {"backspace at the very start", "ab", 0, 0, kPlain, back, "ab", "0,0"},
        {"backspace at column 0 joins", "ab|cd", 0, 1, kPlain, back, "abcd", "2,0"},
        {"backspace deletes one character", "abc", 2, 0, soBackUnindents, back, "ac", "1,0"},
        {"backspace unindents to the outer level", "  if|      x", 6, 1, soBackUnindents, back, "  if|  x",
         "2,1"},
        {"backspace without unindent", "  if|      x", 6, 1, kPlain, back, "  if|     x", "5,1"},
        {"tab moves to the stops", "", 0, 0, kPlain,
         [](TMemoSource& s) {
             s.PressTab();
             s.PressTab();
             s.PressTab();
         },
         "                         ", "25,0"},
        {"smart tab follows the line above", "    foo bar|x", 0, 1, soSmartTab, tab, "    foo bar|    x",
         "4,1"},
        {"smart tab to the next word above", "    foo bar|    x", 4, 1, soSmartTab, tab,
         "    foo bar|        x", "8,1"},
        {"tab character", "x", 0, 0, soUseTabCharacter, tab, "\tx", "9,0"},
        {"shift tab goes to the stop before", "", 20, 0, kPlain, shiftTab, "", "17,0"},
        {"shift tab from the first stop", "", 9, 0, kPlain, shiftTab, "", "0,0"},
    });
}

TEST(EditCommands, BlockIndentAndCase) {
    auto select = [](TMemoSource& s, TSelectionType t, TMemoRect r) {
        s.SetSelectionRect(r);
        s.SetSelectionType(t);
    };
    RunScenarios({
        {"tab indents a block of lines", "ab|cd|ef", 0, 0, kPlain,
         [&](TMemoSource& s) {
             select(s, stStreamSel, {0, 0, 0, 2});
             s.PressTab();
         },
         "         ab|         cd|ef", "0,0"},
        {"shift tab outdents it", "    ab|    cd|x", 0, 0, kPlain,
         [&](TMemoSource& s) {
             select(s, stStreamSel, {0, 0, 0, 2});
             s.BlockIndentText.clear();
             s.SetBlockIndent(2);
             s.OutDentBlock();
         },
         "  ab|  cd|x", "0,0"},
        {"upper case of a block", "abc def|ghi", 0, 0, kPlain,
         [&](TMemoSource& s) {
             select(s, stStreamSel, {4, 0, 2, 1});
             s.UpperCaseBlock();
         },
         "abc DEF|GHi", "0,0"},
        {"capitalize a line", "two words", 3, 0, kPlain, [](TMemoSource& s) { s.CapitalizeLine(); },
         "Two Words", "3,0"},
        {"toggle the word at the caret", "one tWo three", 5, 0, kPlain,
         [](TMemoSource& s) { s.ToggleWordCase(); }, "one TwO three", "5,0"},
        {"lower case of a column block", "ABCD|EFGH", 0, 0, kPlain,
         [&](TMemoSource& s) {
             select(s, stBlockSel, {1, 0, 2, 1});
             s.LowerCaseBlock();
         },
         "AbcD|EfgH", "0,0"},
    });
}

TEST(EditCommands, ColumnCopyAndPaste) {
    auto old = SetClipboard(std::make_unique<TMemoryClipboard>());
    TMemoSource source;
    source.SetOptions(kPlain);
    source.LoadFromStrings({"abcd", "efgh", "ijkl"});
    source.SetSelectionRect({1, 0, 2, 1});
    source.SetSelectionType(stBlockSel);
    source.CopyBlock();
    EXPECT_EQ("bc\r\nfg", Clipboard().AsText());
    source.JumpTo(4, 1);
    source.PasteBlock();
    EXPECT_EQ("abcd|efghbc|ijklfg", Text(source));

    // Text another program put there pastes as running text.
    Clipboard().SetAsText("x\r\ny\r\n");
    source.JumpTo(0, 0);
    source.PasteBlock();
    EXPECT_EQ("x|y|abcd|efghbc|ijklfg", Text(source));
    EXPECT_EQ("0,2", CaretText(source));

    source.OnPasteFromClipboard = [](TCustomMemoSource&, std::vector<std::string>& lines) { lines = {"!"}; };
    source.PasteBlock();
    EXPECT_EQ("x|y|!abcd|efghbc|ijklfg", Text(source));
    SetClipboard(std::move(old));
}

// Notes, each time text is put on it, whether the copying source knew the change as its own.
class OwnCopyRecorder : public TMemoryClipboard {
public:
    explicit OwnCopyRecorder(const TCustomMemoSource& source) : FSource(source) {}
    void SetAsText(const std::string& text) override {
        ownCopy.push_back(FSource.CopyingToClipboard());
        TMemoryClipboard::SetAsText(text);
    }
    std::vector<bool> ownCopy;

private:
    const TCustomMemoSource& FSource;
};

TEST(EditCommands, AClipboardSourceKnowsItsOwnCopies) {
    TClipBoardSource source;
    source.Lines().Clear();
    source.CollectClip("one two");
    auto* recorder = new OwnCopyRecorder(source);
    auto old = SetClipboard(std::unique_ptr<TClipboard>(recorder));
    source.SetSelection(stStreamSel, 0, 0, 3, 0);
    source.CopyBlock();
    source.SetSelection(stStreamSel, 4, 0, 7, 0);
    source.CutBlock();
    EXPECT_EQ(recorder->ownCopy, (std::vector<bool>{true, true}));
    EXPECT_FALSE(source.CopyingToClipboard());
    EXPECT_EQ(Clipboard().AsText(), "two");
    EXPECT_EQ(Text(source), "one ");
    SetClipboard(std::move(old));
}

TEST(EditCommands, DeleteAndMoveBlocks) {
    RunScenarios({
        {"stream block over lines", "abcd|efgh|ijkl", 0, 0, kPlain,
         [](TMemoSource& s) {
             s.SetSelectionRect({2, 0, 1, 2});
             s.SetSelectionType(stStreamSel);
             s.DeleteBlock();
         },
         "abjkl", "2,0"},
        {"column block", "abcd|efgh", 3, 1, kPlain,
         [](TMemoSource& s) {
             s.SetSelectionRect({1, 0, 2, 1});
             s.SetSelectionType(stBlockSel);
             s.DeleteBlock();
         },
         "ad|eh", "1,1"},
        {"move a block right on its line", "ab cd ef", 8, 0, kPlain,
         [](TMemoSource& s) {
             s.SetSelectionRect({0, 0, 3, 0});
             s.SetSelectionType(stStreamSel);
             s.MoveBlock();
         },
         "cd efab ", "8,0"},
    });
}

TEST(EditCommands, WordsAndLines) {
    RunScenarios({
        {"delete word right", "one two three", 4, 0, kPlain, [](TMemoSource& s) { s.DeleteWordRight(); },
         "one three", "4,0"},
        {"delete word right at the line end joins", "one|two", 3, 0, kPlain,
         [](TMemoSource& s) { s.DeleteWordRight(); }, "onetwo", "3,0"},
        {"delete word left", "one two three", 7, 0, kPlain, [](TMemoSource& s) { s.DeleteWordLeft(); },
         "one  three", "4,0"},
        {"delete the word at the caret", "one two three", 5, 0, kPlain,
         [](TMemoSource& s) { s.DeleteWord(); }, "one  three", "4,0"},
        {"delete line", "a|b|c", 0, 1, kPlain, [](TMemoSource& s) { s.DeleteLine(); }, "a|c", "0,1"},
        {"delete the last line", "a|bc", 1, 1, kPlain, [](TMemoSource& s) { s.DeleteLine(); }, "a|", "1,1"},
        {"delete the only line", "abc", 2, 0, kPlain, [](TMemoSource& s) { s.DeleteLine(); }, "", "2,0"},
        {"delete to line begin", "abcdef", 3, 0, kPlain, [](TMemoSource& s) { s.DeleteToLineBegin(); }, "def",
         "0,0"},
        {"insert line keeps the caret", "abcd", 2, 0, kPlain, [](TMemoSource& s) { s.InsertLine(); }, "ab|cd",
         "2,0"},
        {"correct delete: the word and one blank", "one two three", 4, 0, kPlain,
         [](TMemoSource& s) { s.CorrectDeleteWordRight(); }, "one three", "4,0"},
        {"correct delete: blanks up to the word", "one   two", 3, 0, kPlain,
         [](TMemoSource& s) { s.CorrectDeleteWordRight(); }, "onetwo", "3,0"},
        {"correct delete past the text joins", "one  |two", 4, 0, kPlain,
         [](TMemoSource& s) { s.CorrectDeleteWordRight(); }, "one two", "4,0"},
        {"quote block", "a|b|c", 0, 0, kPlain,
         [](TMemoSource& s) {
             s.SetSelection(stStreamSel, 0, 0, 1, 1);
             s.QuoteBlock();
         },
         ">a|>b|c", "0,0"},
    });
}

TDateTime FixedNow() {
    return 46000.5;
}

class TSearchHolder : public TPersistent {
    ZEL_DECLARE_CLASS(TSearchHolder)
public:
    std::string Text;
    std::string GetText() const { return Text; }
    void SetText(const std::string& v) { Text = v; }
};
ZEL_DEFINE_CLASS(TSearchHolder, TPersistent,
                 {Prop::String<TSearchHolder>("Text", &TSearchHolder::GetText, &TSearchHolder::SetText)})

TEST(EditCommands, InsertedDateTimeAndGuid) {
    SetNowFunction(&FixedNow);
    TFormatSettings fs;
    fs.ShortDateFormat = "yyyy-mm-dd";
    SetFormatSettings(fs);
    TMemoSource source;
    source.LoadFromStrings({""});
    source.InsertDate();
    EXPECT_EQ(DateToStr(FixedNow()), Text(source));
    source.LoadFromStrings({""});
    source.InsertTime();
    EXPECT_EQ("12:00:00", Text(source));
    ResetFormatSettings();
    SetNowFunction(nullptr);

    source.LoadFromStrings({""});
    source.InsertGUID();
    const std::string g = Text(source);
    ASSERT_EQ(42u, g.size());
    EXPECT_EQ("['{", g.substr(0, 3));
    EXPECT_EQ("}']", g.substr(39));
}

TEST(SourceServices, SaveWithQuestionAndLookups) {
    std::vector<std::string> asked;
    int answer = IDCANCEL;
    auto old = SetMessageBoxFunc([&](const std::string& text, const std::string&, UINT) {
        asked.push_back(text);
        return answer;
    });
    TMemoSource untitled;
    untitled.LoadFromStrings({"x"});
    untitled.InsertText("y");
    EXPECT_TRUE(untitled.SaveWithQuestion());
    EXPECT_TRUE(asked.empty());

    TMemoSource named;
    named.ChangeObjectName("Z:\\nowhere\\Page.htm");
    named.InsertText("changed");
    EXPECT_FALSE(named.SaveWithQuestion());
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(" Save changes to Z:\\nowhere\\Page.htm ?", asked[0]);
    answer = IDNO;
    EXPECT_TRUE(named.SaveWithQuestion());
    SetMessageBoxFunc(old);

    EXPECT_EQ(&named, TCustomMemoSource::MemoSourceByName("z:\\NOWHERE\\page.htm"));
    EXPECT_EQ(nullptr, TCustomMemoSource::MemoSourceByName("other.htm"));

    TMemoSource lines;
    lines.LoadFromStrings({"a", "b", "c"});
    lines.SetOptions(lines.Options() | soExcludeReadOnlyLines);
    lines.SetLineReadOnly(1, true);
    TStringList out;
    lines.AssignLines(&out, false);
    EXPECT_EQ("a\r\nc\r\n", out.GetText());

    // Through a string property: the options' text to find.
    TSearchHolder holder;
    holder.Text = "one\r\ntwo";
    TMemoSource fromProp;
    fromProp.LoadFromProp(&holder, "Text");
    EXPECT_EQ("one|two", Text(fromProp));
    fromProp.InsertText("1");
    fromProp.SaveToProp(&holder, "Text");
    EXPECT_EQ("1one\r\ntwo", holder.Text);
    EXPECT_THROW(fromProp.LoadFromProp(&holder, "Nothing"), EPropertyError);
    fromProp.LoadFromProp(nullptr, "Text");
    EXPECT_EQ("", Text(fromProp));
}

TEST(EditCommands, SelectAllAndMarking) {
    TMemoSource source;
    source.LoadFromStrings({"one two", "three"});
    source.SelectAll();
    EXPECT_EQ(stStreamSel, source.SelectionType());
    EXPECT_EQ("one two|three", [&] {
        std::string out;
        for (const auto& l : source.BlockLines())
            out += (out.empty() ? "" : "|") + l;
        return out;
    }());
    source.ClearSelection();
    source.SetBlockOption(bkNone);
    source.SelectAll();
    EXPECT_EQ(stNotSelected, source.SelectionType());
    source.SetBlockOption(bkBoth);

    source.JumpTo(5, 0);
    source.MarkWord();
    EXPECT_EQ(4, source.BlockBegin().Char);
    EXPECT_EQ(7, source.BlockEnd().Char);
    EXPECT_TRUE(source.IsPosInBlock(6, 0));
    EXPECT_FALSE(source.IsPosInBlock(7, 0));
    source.SetSelection(stStreamSel, 2, 1, 2, 1);
    EXPECT_TRUE(source.IsBlockEmpty());
    source.SetSelection(stBlockSel, 2, 1, 2, 1);
    EXPECT_FALSE(source.IsBlockEmpty());
}

TEST(EditCommands, BlockThroughAStream) {
    TMemoSource source;
    source.LoadFromStrings({"abc", "def"});
    source.SetSelection(stStreamSel, 1, 0, 2, 1);
    TMemoryStream stream;
    source.WriteBlockToStream(stream);
    stream.SetPosition(0);
    TMemoSource other;
    other.LoadFromStrings({"XY"});
    other.JumpTo(1, 0);
    other.ReadBlockFromStream(stream);
    EXPECT_EQ("Xbc|deY", Text(other));
}

TEST(EditCommands, ExpandTabsAndJustifyBlock) {
    const struct {
        const char* in;
        int32_t width;
        const char* out;
    } cases[] = {{"\tx", 4, "    x"}, {"ab\tc", 4, "ab  c"}, {"abcd\t", 4, "abcd    "}, {"a\tb", 1, "a b"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.out, TCustomMemoSource::ExpandTabs(c.in, c.width)) << c.in;

    TMemoSource source;
    source.LoadFromStrings({"ab", "abcd", "a"});
    source.SetSelection(stStreamSel, 0, 0, 0, 3);
    source.JustifyBlock();
    EXPECT_EQ("ab  |abcd|a   ", Text(source));
}

TEST(EditCommands, JustifyTextIsOneUndoStep) {
    TMemoSource source;
    source.LoadFromStrings({"abc", "", "defghij"});
    source.JustifyText();
    EXPECT_EQ("abc    |       |defghij", Text(source));
    ASSERT_TRUE(source.UndoAvailable());
    source.Undo();
    EXPECT_EQ("abc||defghij", Text(source));
}

TEST(EditCommands, BracketMatchingSkipsStringsAndComments) {
    TCParser parser;
    const struct {
        const char* text;
        int32_t chr, line;
        bool found;
        const char* caret;
    } cases[] = {
        {"f(a, \")\", b) // )", 1, 0, true, "11,0"}, {"f(a /* ) */|  , b)", 1, 0, true, "5,1"},
        {"{ x[1] = '}';|}", 0, 0, true, "0,1"},      {"(unclosed", 0, 0, false, "0,0"},
        {"g(x) \"(\"", 6, 0, false, "6,0"}, // a bracket inside a string is no bracket
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TMemoSource source;
        source.SetSyntaxParser(&parser);
        source.LoadFromStrings(SplitBars(c.text));
        source.JumpTo(c.chr, c.line);
        EXPECT_EQ(c.found, source.FindNextBracket());
        EXPECT_EQ(c.caret, CaretText(source));
        if (c.found) {
            EXPECT_TRUE(source.FindNextBracket()); // and back
            EXPECT_EQ(std::to_string(c.chr) + "," + std::to_string(c.line), CaretText(source));
        }
        source.SetSyntaxParser(nullptr);
    }
}

} // namespace
