// Style sheets in the main window: one opens coloured by the style-sheet scheme in the editor's font,
// and F6 on it says in one comment that style sheets are not checked, instead of reading the sheet
// as HTML.
#include "controls/memo/Memo.h"
#include "controls/textmodel/SchemeParser.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/ListView.h"
#include "editor/mainwindow/tests/MainWindowFixture.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/PngWriter.h"

namespace {

// A sheet with every kind of token the scheme colours. The comment holds a "<" and an apostrophe,
// which the engine, reading the sheet as HTML, took for faults.
const char* const kSheet = "/* Site colours: don't <b>reuse</b> */\r\n"
                           "@import \"print.css\";\r\n"
                           "body, h1.title {\r\n"
                           "  color: #336699;\r\n"
                           "  margin: 0 1.5em 12px;\r\n"
                           "  font-family: 'Verdana', sans-serif;\r\n"
                           "}\r\n";

// The scheme's attributes (font IDs) the user sees.
enum : char {
    StyleText = 0,
    StyleInteger = 1,
    StyleFloat = 2,
    StyleHex = 3,
    StyleSingleString = 6,
    Property = 7,
    DoubleString = 10,
    Selector = 16,
    Comment = 17
};

TEST_F(MainWindowTest, AStyleSheetOpensColouredByItsScheme) {
    const std::string Sheet = WriteFile("site.css", kSheet);
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Sheet.c_str(), 0), 0);
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    ASSERT_NE(Doc, nullptr);
    EXPECT_EQ(Doc->kind, KindCSS);
    ASSERT_EQ(Doc->memoSource->SyntaxParser(), Form->CSSParser);

    struct TCase {
        int Line;
        const char* Token;
        char Style;
    };
    const TCase Cases[] = {
        {0, "/*", Comment},
        {0, "<b>", Comment},
        {0, "*/", Comment},
        {1, "@import", Selector},
        {1, "\"print.css\"", DoubleString},
        {2, "body", Selector},
        {2, "h1.title", Selector},
        {2, "{", StyleText},
        {3, "color", Property},
        {3, "#336699", StyleHex},
        {4, "margin", Property},
        {4, "0", StyleInteger},
        {4, "1.5em", StyleFloat},
        {4, "12px", StyleInteger},
        {5, "font", Property},
        {5, "family", Property},
        {5, "'Verdana'", StyleSingleString},
        {6, "}", StyleText},
    };
    for (const TCase& C : Cases) {
        const std::string Line = Doc->memoSource->Lines()[C.Line];
        const size_t At = Line.find(C.Token);
        ASSERT_NE(At, std::string::npos) << C.Token;
        const std::string Colours = Doc->memoSource->GetColorData(C.Line);
        for (size_t I = At; I < At + std::string(C.Token).size(); ++I)
            EXPECT_EQ(Colours.at(I), C.Style) << C.Token << " at " << I << " of line " << C.Line;
    }

    // The colours stand on the editor's font and background.
    p->config->editorFont->SetName("Courier New");
    p->config->editorFont->SetSize(12);
    p->config->editorBackgroundColor = 0xE0FFFF;
    Form->ApplySettingsToControls(8);
    for (char Style : {Comment, Property, Selector}) {
        EXPECT_EQ(Form->CSSParser->GetFont(Style)->Name(), "Courier New");
        EXPECT_EQ(Form->CSSParser->GetFont(Style)->Size(), 12);
        uint32_t Back = 0;
        ASSERT_TRUE(Form->CSSParser->GetBackColor(Style, Back));
        EXPECT_EQ(Back, 0xE0FFFFu);
    }

    // On the screen: the properties blue, the numbers green, the strings maroon, the comment gray.
    Form->SetBounds(0, 0, 700, 420);
    Form->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form->HSMemo->Handle()) != 0; }));
    Form->Repaint();
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\style_sheet_coloured.png");
    RECT Memo;
    GetWindowRect(Form->HSMemo->Handle(), &Memo);
    MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&Memo), 2);
    std::map<TColor, int> Seen;
    for (int Y = Memo.top; Y < Memo.bottom; ++Y)
        for (int X = Memo.left; X < Memo.right; ++X)
            ++Seen[Shot.Canvas().Pixel(X, Y)];
    for (TColor C : {clBlue, clGreen, clMaroon, clGray})
        EXPECT_GT(Seen[C], 20) << "colour " << std::hex << C;
}

// --- F6 on a style sheet --------------------------------------------------------------------------

int RunJobs = 0;
int32_t ZELAPI CountedRun(HWND, int32_t, int32_t, int32_t) {
    ++RunJobs;
    return 7;
}

TEST_F(MainWindowTest, F6OnAStyleSheetSaysInOneCommentThatItIsNotChecked) {
    EngineFunctionTable Saved = Engine;
    TScopeGuard Restore([&] { Engine = Saved; });
    FakeJobEngine(Engine);
    Engine.ZELRunJob = &CountedRun;
    Engine.ZELGetIntegerEZ = &NoRecords;
    Engine.ZELGetString6 = &FakeString6;
    RunJobs = 0;
    const std::string Page = WriteFile("page.html", "<p>text</p>\r\n");
    const std::string Sheet = WriteFile("site.css", kSheet);
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Page.c_str(), 0), 0);
    ASSERT_EQ(Form->AddNewFileTab(nullptr, Sheet.c_str(), 0), 0);
    fileinfoclass* Doc = Form->GetCurrentFileInfo();
    ASSERT_EQ(Doc->kind, KindCSS);
    Form->SetBounds(0, 0, 700, 520);
    Form->Show();

    const std::string Notice =
        "Style sheets are not checked: the validator checks the HTML of web documents, so "
        "nothing in this style sheet was validated.";
    for (int Round = 0; Round < 2; ++Round) {
        Form->ToolsValidateClick(nullptr);
        EXPECT_EQ(RunJobs, 0) << "the engine is not asked";
        EXPECT_TRUE(p->iface->flags & 0x400) << "the results pane shows";
        EXPECT_FALSE(Form->MessagesPanel->Visible());
        ASSERT_EQ(Form->ResultsListView->Count(), 1);
        EXPECT_EQ(Form->ResultsListView->ItemText(0, 0), "Comment");
        EXPECT_EQ(Form->ResultsListView->ItemText(0, 2), Notice);
        EXPECT_EQ(Form->ResultsListView->Selected(), 0);
        EXPECT_EQ(Form->MessageSource->Lines().Text().find(Notice), 0u);
        EXPECT_EQ(Form->StatusText(), "Style sheets are not checked.");
    }
    TBitmap Shot;
    CaptureClient(*Form, Shot);
    SavePng(Shot, TestOutputFolder() + "\\style_sheet_validated.png");
    // Choosing the row shows its text and leaves the editor where it was.
    Form->ActiveEditorSource()->JumpTo(2, 3);
    Form->ResultsListViewSelectItem(Form->ResultsListView, 0, true);
    EXPECT_EQ(Form->ActiveEditorSource()->GetCurLine(), 3);

    // The editor taking the focus chooses the sheet's tab again: the row stays.
    Form->SelectTab(Form->TabControl1, 1, 0);
    EXPECT_EQ(Form->ResultsListView->Count(), 1);

    // Validate All checks the page and passes over the sheet.
    Form->ToolsValidateAllClick(nullptr);
    EXPECT_EQ(RunJobs, 1);
    EXPECT_EQ(Form->ResultsListView->ItemText(0, 2), Notice);

    // Clearing the sheet's results empties the list: nothing is left pointing at the notice's owner.
    Doc->ClearResults(3);
    EXPECT_EQ(Form->ResultsListView->Count(), 0);
    for (int32_t I = 0; I < p->vol->documents.count(); ++I)
        if (auto* D = static_cast<fileinfoclass*>(p->vol->documents.at(I)))
            D->ClearResults(1 | 8);
}

} // namespace
