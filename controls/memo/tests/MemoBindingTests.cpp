// Memos and their sources, the global editor options and the text styles.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "MemoTestSupport.h"
#include "controls/textmodel/MemoOptions.h"
#include "TestRegistryKey.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/OptionObjects.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "controls/textmodel/SchemeParser.h"

namespace {

std::string ReadFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& Name, const std::string& Data) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out << Data;
}

std::string TempName(const std::string& Base) {
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    return std::string(Dir) + "zel_memo_" + std::to_string(GetCurrentProcessId()) + "_" + Base;
}

TEST(MemoBinding, SeveralMemosFollowOneEditOfTheirSource) {
    TMemoSource Source(nullptr);
    THSMemo A(nullptr), B(nullptr), Other(nullptr);
    A.SetFixedMetrics(8, 16);
    B.SetFixedMetrics(8, 16);
    A.SetSource(&Source);
    B.SetSource(&Source);
    int ChangesA = 0, ChangesB = 0;
    A.OnChange = [&](TObject*) { ++ChangesA; };
    B.OnChange = [&](TObject*) { ++ChangesB; };
    Source.Lines().SetText("one\r\ntwo");
    const int BaseA = ChangesA, BaseB = ChangesB;
    {
        Source.BeginUpdate(0);
        Source.JumpTo(3, 0);
        Source.Insert("!?");
        Source.JumpTo(0, 1);
        Source.EndUpdate();
    }
    EXPECT_EQ(ChangesA - BaseA, 1);
    EXPECT_EQ(ChangesB - BaseB, 1);
    EXPECT_EQ(A.GetText(), "one!?\r\ntwo");
    EXPECT_EQ(B.GetText(), A.GetText());

    std::vector<TCustomHSMemo*> List{&Other};
    GetConnectedMemos(&Source, List);
    EXPECT_EQ(List, (std::vector<TCustomHSMemo*>{&A, &B}));
    EXPECT_EQ(GetConnectedMemo(&Source), &A);
    EXPECT_EQ(GetConnectedMemoCount(&Source), 2);
    TMemoSource Nobody(nullptr);
    GetConnectedMemos(&Nobody, List);
    EXPECT_TRUE(List.empty());
    // Without the focus anywhere, the memo bound last is the source's active view.
    EXPECT_EQ(Source.ActiveView, &B);
}

TEST(MemoBinding, AFoundRangeIsMarkedOnItsOwnLineOnly) {
    // The source stores a match as (first char, line) to (char after the last, line + 1), the way
    // the search and the results list both set it; the next line holds none of it.
    TMemoSource Source(nullptr);
    THSMemo Memo(nullptr);
    Memo.SetSource(&Source);
    Source.Lines().SetText("<p>\r\n<blink2>unknown</blink2>\r\n<img src=\"a.png\">");
    EXPECT_FALSE(Memo.InFoundRect(1, 1));
    Source.SetFoundRect(TMemoRect{1, 1, 7, 2});
    struct Case {
        int32_t Line, Char;
        bool In;
    } Cases[] = {{1, 0, false}, {1, 1, true},  {1, 6, true}, {1, 7, false},
                 {2, 1, false}, {2, 5, false}, {0, 2, false}};
    for (const Case& C : Cases)
        EXPECT_EQ(Memo.InFoundRect(C.Line, C.Char), C.In) << C.Line << ":" << C.Char;
}

TEST(MemoBinding, AFreedSourceLeavesTheMemoOnItsDefaultSource) {
    THSMemo Memo(nullptr);
    Memo.SetText("own text");
    TCustomMemoSource* Default = Memo.GetSource();
    {
        TMemoSource Source(nullptr);
        Source.Lines().SetText("shared");
        Memo.SetSource(&Source);
        EXPECT_EQ(Memo.GetText(), "shared");
    }
    EXPECT_EQ(Memo.GetSource(), Default);
    EXPECT_EQ(Memo.MemoSource(), nullptr);
    EXPECT_EQ(Memo.GetText(), "own text");
}

TEST(MemoBinding, EachSourceComesBackWhereItWasLeft) {
    THSMemo Memo(nullptr);
    Memo.SetFixedMetrics(8, 16);
    TMemoSource First(nullptr), Second(nullptr);
    std::string Text;
    for (int I = 0; I < 100; ++I)
        Text += "line\r\n";
    First.Lines().SetText(Text);
    Second.Lines().SetText(Text);
    Memo.SetSource(&First);
    Memo.SetCaretPoint(POINT{2, 40});
    Memo.SetWinLine(35);
    Memo.SetSource(&Second);
    EXPECT_EQ(Memo.WinLine(), 0); // never shown before: left alone
    Memo.SetSource(&First);
    EXPECT_EQ(Memo.WinLine(), 35);
    EXPECT_EQ(Memo.CaretLine(), 40);
    EXPECT_EQ(Memo.CaretChar(), 2);
}

TEST(MemoBinding, AMemoReadFromAFormStartsCleanAtTheTop) {
    THSMemo Memo(nullptr);
    Memo.SetText("one\r\ntwo");
    Memo.SetCaretPoint(POINT{2, 1});
    Memo.GetSource()->Insert("x");
    ASSERT_TRUE(Memo.GetSource()->Modified());
    Memo.Loaded();
    EXPECT_FALSE(Memo.GetSource()->Modified());
    EXPECT_FALSE(Memo.GetSource()->UndoAvailable());
    EXPECT_EQ(Memo.CaretLine(), 0);
    EXPECT_EQ(Memo.CaretChar(), 0);
}

TEST(MemoBinding, AnUpdateBracketClosesWhenAHandlerThrows) {
    THSMemo Memo(nullptr);
    Memo.SetText("abc");
    Memo.OnChange = [](TObject*) { throw Exception("handler failed"); };
    Memo.SetSelection(stStreamSel, 0, 0, 1, 0);
    EXPECT_THROW(Memo.SetSelText("X"), Exception);
    EXPECT_EQ(Memo.GetSource()->UpdateCount(), 0);
    Memo.OnChange = nullptr;
    Memo.SetText("later"); // the source still notifies
    EXPECT_EQ(Memo.GetText(), "later");
}

class GlobalOptions : public ::testing::Test {
protected:
    TTestRegistryKey Key;
    void TearDown() override { FreeGlobalOptions(); }
};

TEST_F(GlobalOptions, MemosThatFollowThemCopyTheListedProperties) {
    TMemoEnvOptions* G = GlobalMemoOptions();
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->GetKey(), "CodeEdit\\");
    EXPECT_EQ(G->MarginPos(), 80);
    EXPECT_EQ(G->TextStyles()->Count(), 25);
    THSMemo Follower(nullptr), Loner(nullptr);
    Follower.SetUseGlobalOptions(true);
    G->SetMarginPos(72);
    G->SetOptions(G->Options() | moLineNumbers);
    G->TextStyles()->GetItem(1)->Font().SetColor(clPurple);
    EXPECT_EQ(Follower.MarginPos(), 72);
    EXPECT_TRUE(Follower.HasOption(moLineNumbers));
    EXPECT_EQ(Follower.TextStyles().GetItem(1)->Font().Color(), clPurple);
    EXPECT_EQ(Loner.MarginPos(), 80);
    EXPECT_FALSE(Loner.HasOption(moLineNumbers));
    Loner.Perform(CM_MEMOOPTIONSUPDATE);
    EXPECT_EQ(Loner.MarginPos(), 80);
    // A memo on its own source hands the switch to it: the text model's global settings follow.
    GlobalMemoSourceOptions()->SetTabStops("5,9");
    THSMemo Late(nullptr);
    EXPECT_NE(Late.GetSource()->TabStops(), "5,9");
    Late.SetUseGlobalOptions(true);
    EXPECT_EQ(Late.GetSource()->TabStops(), "5,9");
    EXPECT_TRUE(GetUseGlobalOptions(*Late.GetSource()));
    Late.SetUseGlobalOptions(false);
    EXPECT_FALSE(GetUseGlobalOptions(*Late.GetSource()));
}

TEST_F(GlobalOptions, TheyAreKeptInTheRegistryUnderCodeEdit) {
    TMemoEnvOptions* G = GlobalMemoOptions();
    G->SetMarginPos(66);
    G->SetOptions(G->Options() | moLineNumbers);
    G->Font()->SetSize(12);
    G->TextStyles()->GetItem(2)->Font().SetColor(clTeal);
    SaveGlobalOptions();
    HKEY K = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (Key.Key() + "\\CodeEdit").c_str(), 0, KEY_READ, &K),
              ERROR_SUCCESS);
    RegCloseKey(K);
    FreeGlobalOptions();
    TMemoEnvOptions* Again = GlobalMemoOptions();
    EXPECT_EQ(Again->MarginPos(), 66);
    EXPECT_TRUE(Again->Options() & moLineNumbers);
    EXPECT_EQ(Again->Font()->Size(), 12);
    EXPECT_EQ(Again->TextStyles()->GetItem(2)->Font().Color(), clTeal);
}

TEST_F(GlobalOptions, PensStayThinAndUnchangedValuesSendNothing) {
    TMemoEnvOptions* G = GlobalMemoOptions();
    THSMemo Follower(nullptr);
    Follower.SetUseGlobalOptions(true);
    int Updates = 0;
    Follower.OnStateChange = nullptr;
    auto Count = [&] {
        Follower.SetMarginPos(1); // a value the options never send
        G->SetMarginPos(G->MarginPos());
        return Follower.MarginPos() == 1;
    };
    EXPECT_TRUE(Count()); // setting a value to itself sends no message
    (void)Updates;
    TPen Wide;
    Wide.SetWidth(5);
    G->SetMarginPen(&Wide);
    EXPECT_EQ(G->MarginPen()->Width(), 2);
    TLineSeparator Sep;
    Sep.Pen().SetWidth(3);
    EXPECT_EQ(Sep.Pen().Width(), 2);
    TLineHighlight A, B;
    A.SetShape(shSingleLine);
    B.SetVisible(true);
    A.Assign(&B);
    EXPECT_EQ(A.Shape(), shSingleLine);
    EXPECT_TRUE(A.Visible());
}

TEST_F(GlobalOptions, ASchemeParserThatFollowsThemTakesTheWhitespaceStyle) {
    TMemoEnvOptions* G = GlobalMemoOptions();
    TSyntaxParser Follows, Alone;
    Follows.SetUseGlobalOptions(true);
    TTextStyle* White = G->TextStyles()->GetItem(G->TextStyles()->IndexOfName("Whitespace"));
    White->Font().SetColor(clPurple);
    White->SetColor(clYellow);
    EXPECT_EQ(Follows.GetFont(-1)->Color(), clPurple);
    uint32_t Back = 0;
    ASSERT_TRUE(Follows.GetBackColor(-1, Back));
    EXPECT_EQ(TColor(Back), clYellow);
    EXPECT_NE(Alone.GetFont(-1)->Color(), clPurple);
    THSMemo Memo(nullptr);
    Memo.SetSyntaxParser(&Follows);
    EXPECT_EQ(GetSyntaxBlockAtCursor(Memo), nullptr); // a scheme without blocks
    Memo.SetSyntaxParser(nullptr);
}

TEST(MemoUnit, StartUpRegistersTheDefaultKeyMapAndTheRtfFormat) {
    InitMemoUnit();
    EXPECT_NE(MemoRtfClipboardFormat(), 0u);
    THSMemo Memo(nullptr);
    Memo.SetKeyMapping("Default");
    EXPECT_NE(Memo.KeyList().FindKeyData(VK_HOME, 0, 0), nullptr);
    EXPECT_NE(Memo.KeyList().FindKeyData('Z', ssCtrl, 0), nullptr);
    // Styles that follow the memo's colour follow a change of it.
    Memo.SetColor(clAqua);
    EXPECT_EQ(Memo.TextStyles().GetItem(0)->Color(), clAqua);
    EXPECT_EQ(Memo.TextStyles().GetItem(13)->Color(), clRed);
    DoneMemoUnit();
}

TEST(MemoUnit, AFormTableSetsTheMemoByPropertyNames) {
    InitMemoUnit();
    TForm Form(nullptr);
    TFormLayout L;
    L.ClientWidth = 300;
    L.ClientHeight = 200;
    L.Items = {{"THSMemo",
                "HSMemo",
                "",
                0,
                0,
                300,
                200,
                "",
                {{"Options", "[moDrawMargin, moDrawGutter, moThumbTracking, moColorSyntax]"},
                 {"ScrollBars", "ssBoth"},
                 {"LineNumAlign", "taLeftJustify"},
                 {"SelBackColor", "clNavy"},
                 {"GutterBrush.Color", "clBtnFace"},
                 {"MarginPen.Color", "clGrayText"},
                 {"LineHighlight.Visible", "False"},
                 {"SpecialSymbols.EOFString", "#"},
                 {"StringsOptions", "[soBackUnindents, soGroupUndo, soAutoIndent]"},
                 {"TabStops", "9,17"},
                 {"UseGlobalOptions", "False"}},
                nullptr,
                nullptr}};
    L.PixelsPerInch = 96;
    BuildForm(Form, L);
    auto* Memo = static_cast<THSMemo*>(Form.FindComponent("HSMemo"));
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Options(), TMemoOptions(moDrawMargin | moDrawGutter | moThumbTracking | moColorSyntax));
    EXPECT_EQ(Memo->ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_EQ(Memo->LineNumAlign(), TAlignment::taLeftJustify);
    EXPECT_EQ(Memo->SelBackColor(), clNavy);
    EXPECT_EQ(Memo->GutterBrush().Color(), clBtnFace);
    EXPECT_EQ(Memo->GetSource()->TabStops(), "9,17");
    EXPECT_EQ(Memo->SpecialSymbols().EOFString(), "#");
    EXPECT_TRUE(Memo->GetSource()->HasOption(soAutoIndent));
    EXPECT_FALSE(Memo->GetSource()->HasOption(soSmartTab));
    DoneMemoUnit();
}

TEST(TextStyles, DefaultTableAndTheMemoColoursItDrives) {
    THSMemo Memo(nullptr);
    TTextStyles& S = Memo.TextStyles();
    ASSERT_EQ(S.Count(), 25);
    EXPECT_EQ(S.GetItem(0)->Name(), "Whitespace");
    EXPECT_EQ(S.GetItem(13)->Name(), "BreakPoint");
    EXPECT_EQ(S.GetItem(13)->Color(), clRed);
    EXPECT_FALSE(S.GetItem(13)->UseMemoColor());
    EXPECT_EQ(S.GetItem(6)->Font().Style(), fsBold);
    // "Marked Block" drives the selection colours; it never follows the memo's font.
    TTextStyle* Marked = S.GetItem(15);
    Marked->SetUseMemoFont(true);
    EXPECT_FALSE(Marked->UseMemoFont());
    TTextStyle* Match = S.GetItem(16);
    Match->Font().SetColor(clYellow);
    EXPECT_EQ(Memo.MatchColor(), clYellow);
    Marked->SetColor(clTeal);
    EXPECT_EQ(Memo.SelBackColor(), clTeal);
    // Setting a colour leaves the memo's colour behind.
    TTextStyle* Str = S.GetItem(1);
    Str->SetColor(clSilver);
    EXPECT_FALSE(Str->UseMemoColor());
    TTextStyles Empty(nullptr, nullptr);
    EXPECT_EQ(Empty.GetMaxCharWidth(), -1);
    EXPECT_EQ(Empty.GetMaxCharHeight(), -1);
}

TEST(TextStyles, AColourStyleFileRoundTripsByteForByte) {
    const std::string A = TempName("a.rgb"), B = TempName("b.rgb");
    THSMemo One(nullptr), Two(nullptr);
    One.TextStyles().AddStyle("ZELWarning line", clBlack, clYellow);
    One.TextStyles().SaveToFile(A);
    const std::string Text = ReadFile(A);
    EXPECT_EQ(Text.rfind("object TPersHolder", 0), 0u) << Text.substr(0, 40);
    EXPECT_NE(Text.find("Name = 'BreakPoint'"), std::string::npos);
    EXPECT_NE(Text.find("Color = clRed"), std::string::npos);
    Two.TextStyles().LoadFromFile(A);
    EXPECT_EQ(Two.TextStyles().Count(), 26);
    EXPECT_EQ(Two.TextStyles().GetItem(25)->Color(), clYellow);
    Two.TextStyles().SaveToFile(B);
    EXPECT_EQ(ReadFile(B), Text);
    DeleteFile(A);
    DeleteFile(B);
}

TEST(TextStyles, ACorruptOrTruncatedFileIsRefusedAndTheStylesKept) {
    const std::string Good = TempName("good.rgb"), Bad = TempName("bad.rgb");
    THSMemo Memo(nullptr);
    Memo.TextStyles().SaveToFile(Good);
    const std::string Text = ReadFile(Good);
    THSMemo Target(nullptr);
    Target.TextStyles().GetItem(2)->Font().SetColor(clFuchsia);
    const std::string Cases[] = {
        Text.substr(0, Text.size() / 2), "garbage", "",
        "object TPersHolder\r\n  P = <\r\n    item\r\n      Name = 'x'\r\n      Bogus = 1\r\n"
        "    end>\r\nend\r\n"};
    for (const auto& Data : Cases) {
        WriteFile(Bad, Data);
        EXPECT_THROW(Target.TextStyles().LoadFromFile(Bad), EHSError) << Data.size();
        EXPECT_EQ(Target.TextStyles().Count(), 25);
        EXPECT_EQ(Target.TextStyles().GetItem(2)->Font().Color(), clFuchsia);
    }
    EXPECT_THROW(Target.TextStyles().LoadFromFile(TempName("missing.rgb")), EHSError);
    // A three-style file leaves three styles.
    TTextStyles Three(nullptr, nullptr);
    Three.AddStyle("a", clBlack, clWhite);
    Three.AddStyle("b", clBlack, clWhite);
    Three.AddStyle("c", clBlack, clWhite);
    Three.SaveToFile(Bad);
    Target.TextStyles().LoadFromFile(Bad);
    EXPECT_EQ(Target.TextStyles().Count(), 3);
    DeleteFile(Good);
    DeleteFile(Bad);
}

TEST(TextStyles, SavingThroughTheDialogForcesTheRgbExtension) {
    const std::string Chosen = TempName("scheme.txt");
    TCommonDialogHook Old = SetCommonDialogHook([&](TCommonDialog& D) {
        static_cast<TSaveDialog&>(D).FileName = Chosen;
        return true;
    });
    THSMemo Memo(nullptr);
    EXPECT_TRUE(Memo.TextStyles().SaveColorStyles());
    SetCommonDialogHook(Old);
    const std::string Written = ChangeFileExt(Chosen, ".RGB");
    EXPECT_TRUE(FileExists(Written));
    EXPECT_FALSE(FileExists(Chosen));
    DeleteFile(Written);
}

} // namespace
