// The standard configuration of the editor's views: message line styles, memo roles, trees,
// editor colours and the spell checker's word parsing.
#include "CoreTestSupport.h"

#include "controls/memo/Memo.h"
#include "controls/tree/HSTree.h"
#include "editor/core/ViewSetup.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Graphics.h"

#include <commctrl.h>

#include <memory>

namespace {

class ViewSetupTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        p = new prgclass;
    }
    void TearDown() override {
        ViewSetupHooks() = TViewSetupHooks();
        ConfigureSpellChecker("", 16);
        CoreTest::TearDown();
    }
    // The memo's styles after its own first ones: "name text/back".
    static std::vector<std::string> addedStyles(THSMemo& memo, int from) {
        std::vector<std::string> r;
        char buf[64];
        for (int i = from; i < memo.TextStyles().Count(); ++i) {
            TTextStyle* s = memo.TextStyles().GetItem(i);
            std::snprintf(buf, sizeof buf, " %06X/%06X", static_cast<unsigned>(s->Font().Color()),
                          static_cast<unsigned>(s->Color()));
            r.push_back(s->Name() + buf);
        }
        return r;
    }
};

TEST_F(ViewSetupTest, MessageLineStylesAreAddedInOrderAndOnlyOnce) {
    THSMemo memo(nullptr);
    const int own = memo.TextStyles().Count();
    EXPECT_EQ(AddMessageLineStyles(&memo, 2), 0);
    EXPECT_EQ(addedStyles(memo, own), std::vector<std::string>{"ZELStruct line FFFFFF/008000"});
    EXPECT_EQ(AddMessageLineStyles(&memo, 1), 0);
    EXPECT_EQ(addedStyles(memo, own),
              (std::vector<std::string>{"ZELStruct line FFFFFF/008000", "ZELWarning line 000000/00FFFF",
                                        "ZELError line FFFFFF/000080", "ZELMessage line FFFFFF/800000"}));
    // The numbers marked lines use stay put when the styles are asked for again.
    const int error = FindTextStyle(&memo, ErrorLineStyleName);
    AddMessageLineStyles(&memo, 1);
    EXPECT_EQ(memo.TextStyles().Count(), own + 4);
    EXPECT_EQ(FindTextStyle(&memo, "zelerror LINE"), error);
    EXPECT_EQ(AddMessageLineStyles(nullptr, 1), -1);
}

TEST_F(ViewSetupTest, MemoRolesDecideReadOnlyWrapGutterAndStyles) {
    struct Case {
        int32_t role;
        bool readOnly, wordWrap;
        TScrollStyle bars;
        int gutter;
        bool lineStyles;
    };
    const Case cases[] = {
        {0, false, false, TScrollStyle::ssBoth, 22, true},
        {MemoResultsText, true, false, TScrollStyle::ssBoth, 0, false},
        {MemoBrowserSource, true, true, TScrollStyle::ssVertical, 0, false},
        {MemoScratchPad1, false, true, TScrollStyle::ssVertical, 0, false},
        {MemoScratchPad2, false, true, TScrollStyle::ssVertical, 0, false},
        {MemoMessageText, true, true, TScrollStyle::ssBoth, 0, true},
    };
    p->config->rightMargin = 72;
    for (const Case& c : cases) {
        THSMemo memo(nullptr);
        InitEditorMemo(&memo, c.role);
        EXPECT_EQ(memo.ReadOnly(), c.readOnly) << c.role;
        EXPECT_EQ(memo.WordWrap(), c.wordWrap) << c.role;
        EXPECT_EQ(memo.ScrollBars(), c.bars) << c.role;
        EXPECT_EQ(memo.GutterWidth(), c.gutter) << c.role;
        EXPECT_EQ(FindTextStyle(&memo, ErrorLineStyleName) >= 0, c.lineStyles) << c.role;
        EXPECT_EQ(FindTextStyle(&memo, StructLineStyleName) >= 0, c.lineStyles || c.role == MemoResultsText)
            << c.role;
        EXPECT_EQ(memo.Font().Pitch(), TFontPitch::fpFixed) << c.role;
        EXPECT_EQ(memo.LeftIndent(), 6);
        EXPECT_EQ(memo.SpecialSymbols().EOFString(), "-End of file-");
        EXPECT_EQ(static_cast<unsigned char>(memo.SpecialSymbols().TabChar()), 187);
        if (c.role == 0) {
            EXPECT_EQ(memo.MarginPos(), 72);
        }
    }
}

TEST_F(ViewSetupTest, TreesGetTheResultsHandlersByFlag) {
    int changes = 0, rightClicks = 0;
    ViewSetupHooks().ResultsTreeChange = [&](TObject*, THSTreeNode*) { ++changes; };
    ViewSetupHooks().ResultsTreeRightClick = [&](TObject*, THSTreeNode*, TRightClickAction&) {
        ++rightClicks;
    };
    struct Case {
        int32_t flags;
        bool change, rightClick, lines, root;
        int indent;
    };
    THSTree reference(nullptr);
    const Case cases[] = {
        {1, true, true, false, reference.ShowRoot(), reference.Indent()},
        {2, true, false, false, reference.ShowRoot(), reference.Indent()},
        {4, false, false, true, false, 19},
    };
    for (const Case& c : cases) {
        THSTree tree(nullptr);
        EXPECT_EQ(InitTreeView(&tree, c.flags), 0);
        EXPECT_TRUE(tree.RowSelect());
        EXPECT_FALSE(tree.HideSelection());
        EXPECT_TRUE(tree.ToolTips());
        EXPECT_EQ(static_cast<bool>(tree.OnChange), c.change) << c.flags;
        EXPECT_EQ(static_cast<bool>(tree.OnRightClickNode), c.rightClick) << c.flags;
        EXPECT_EQ(tree.ShowLines(), c.lines) << c.flags;
        EXPECT_EQ(tree.ShowRoot(), c.root) << c.flags;
        EXPECT_EQ(tree.Indent(), c.indent) << c.flags;
    }
    EXPECT_EQ(InitTreeView(nullptr, 1), -1);
    EXPECT_EQ(InitTabControl(nullptr, 1), -1);
    EXPECT_EQ(InitMemoSource(nullptr, 0), -1);
}

TEST_F(ViewSetupTest, TabControlsTrackTheMouseOnceParented) {
    TForm form(nullptr);
    auto* tabs = new TTabControl(&form);
    tabs->SetParent(&form);
    EXPECT_EQ(InitTabControl(tabs, 1), 0);
    // Set before the window exists, the style reaches the window when it is made.
    EXPECT_FALSE(tabs->HandleAllocated());
    EXPECT_NE(GetWindowLongPtrA(tabs->Handle(), GWL_STYLE) & TCS_HOTTRACK, 0);
    tabs->SetHotTrack(false);
    EXPECT_EQ(GetWindowLongPtrA(tabs->Handle(), GWL_STYLE) & TCS_HOTTRACK, 0);
    auto* plain = new TTabControl(&form);
    plain->SetParent(&form);
    EXPECT_EQ(InitTabControl(plain, 0), 0);
    if (plain->HandleAllocated()) {
        EXPECT_EQ(GetWindowLongPtrA(plain->Handle(), GWL_STYLE) & TCS_HOTTRACK, 0);
    }
}

TEST_F(ViewSetupTest, EditorColorsComeFromTheSettingsAndWideFacesLoseTheirStyle) {
    THSMemo memo(nullptr);
    InitEditorMemo(&memo, 0);
    // In a proportional face bold is wider; an underline changes no width.
    p->config->editorFont->SetName("Arial");
    p->config->editorFont->SetSize(12);
    TTextStyle* bold = memo.TextStyles().AddStyle("wide", 0, 0xFFFFFF);
    bold->Font().Assign(*p->config->editorFont);
    bold->Font().SetStyle(fsBold);
    TTextStyle* plain = memo.TextStyles().AddStyle("plain", 0, 0xFFFFFF);
    plain->Font().Assign(*p->config->editorFont);
    plain->Font().SetStyle(fsUnderline);
    p->config->editorFontColor = 0x112233;
    p->config->editorBackgroundColor = 0xEEFFEE;
    p->config->editorLineNumberColor = 0x0000FF;
    ApplyEditorColors(&memo, 0);
    EXPECT_NE(memo.Color(), static_cast<TColor>(0xEEFFEE)) << "without flag 1 nothing changes";
    ApplyEditorColors(&memo, 1);
    EXPECT_EQ(memo.Font().Color(), static_cast<TColor>(0x112233));
    EXPECT_EQ(memo.Color(), static_cast<TColor>(0xEEFFEE));
    EXPECT_EQ(memo.LineNumBackColor(), static_cast<TColor>(0xEEFFEE));
    EXPECT_EQ(memo.LineNumColor(), static_cast<TColor>(0x0000FF));
    EXPECT_EQ(memo.Font().Name(), "Arial");
    EXPECT_EQ(bold->Font().Style(), 0);
    EXPECT_EQ(plain->Font().Style(), fsUnderline) << "an underline does not change the width";
}

TEST_F(ViewSetupTest, SpellParsingKeepsOneEngineWithTheAmpersandAsMidWord) {
    const std::pair<std::string, std::string> cases[] = {{"'", "'&"}, {"&-", "&-"}, {"", "&"}};
    TMainParsingEngine* first = nullptr;
    for (const auto& [configured, used] : cases) {
        EXPECT_EQ(ConfigureSpellChecker(configured, 0), used);
        ASSERT_NE(SpellParsingEngine(), nullptr);
        if (!first)
            first = SpellParsingEngine();
        EXPECT_EQ(SpellParsingEngine(), first) << "one engine for the whole program";
        EXPECT_NE(SpellStringParser(), nullptr);
    }
    int setups = 0;
    ViewSetupHooks().SpellCheckerSetup = [&] { ++setups; };
    ConfigureSpellChecker("'", 2);
    EXPECT_EQ(setups, 1);
    ConfigureSpellChecker("'", 16);
    EXPECT_EQ(SpellParsingEngine(), nullptr);
    EXPECT_EQ(SpellStringParser(), nullptr);
}

} // namespace
