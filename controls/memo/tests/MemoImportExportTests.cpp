// The memo's export through the writers and its import of RTF and HTML.
#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <iterator>

#include "MemoTestSupport.h"
#include "controls/memo/HtmlExporter.h"
#include "controls/memo/Importers.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/textmodel/LanguageParsers.h"
#include "framework/core/SysUtils.h"
#include "framework/core/Streams.h"

namespace {

struct MemoImportExport : ::testing::Test {
    void SetUp() override {
        Memo.SetFixedMetrics(8, 16);
        Memo.GetSource()->SetUndoLimit(100);
    }
    THSMemo Memo{nullptr};
};

TEST_F(MemoImportExport, AColouredDocumentExportsAndImportsBack) {
    TDigitParser Parser;
    Memo.GetSource()->SetSyntaxParser(&Parser);
    Memo.SetText("a 1<2\r\n\r\nx & y");
    TStringStream Html, Rtf;
    Memo.ExportToHtmlStream(Html);
    Memo.ExportToRtfStream(Rtf);
    Memo.GetSource()->SetSyntaxParser(nullptr);
    const std::string H = Html.DataString(), R = Rtf.DataString();
    EXPECT_EQ(H.rfind("<Html><Head></Head><Title></Title><Body>", 0), 0u) << H;
    EXPECT_NE(H.find("&lt;"), std::string::npos) << H;
    EXPECT_NE(H.find("&amp;"), std::string::npos) << H;
    EXPECT_EQ(R.rfind("{\\rtf1\\ansi {\\fonttbl", 0), 0u) << R;
    EXPECT_NE(R.find("{\\colortbl"), std::string::npos) << R;

    THSMemo Back(nullptr);
    Back.LoadFromRtfStream(Rtf);
    EXPECT_EQ(Back.GetText(), "a 1<2\r\n\r\nx & y");
    Back.LoadFromHtmlStream(Html);
    EXPECT_EQ(Back.GetText(), "a 1<2\r\n\r\nx & y");
    EXPECT_FALSE(Back.GetSource()->UndoAvailable());
    EXPECT_FALSE(Back.GetSource()->Modified());
}

TEST_F(MemoImportExport, SelectionOnlyAndExportStringHook) {
    Memo.SetText("one two\r\nthree");
    Memo.SetSelection(stStreamSel, 4, 0, 2, 1);
    Memo.OnExportString = [](TObject*, std::string& S) { S = "[" + S + "]"; };
    TStringStream Html;
    Memo.ExportToHtmlStreamEx(Html, true);
    EXPECT_NE(Html.DataString().find("[two]<BR>\r\n[th]"), std::string::npos) << Html.DataString();
    Memo.ClearSelection();
    TStringStream Empty;
    Memo.ExportToHtmlStreamEx(Empty, true);
    EXPECT_EQ(Empty.DataString().find("["), std::string::npos);
}

TEST_F(MemoImportExport, PastesAreOneUndoStepAndNonRtfGoesInPlain) {
    Memo.SetText("<>");
    Memo.GetSource()->JumpTo(1, 0);
    TStringStream Empty("");
    Memo.PasteFromRtfStream(Empty);
    EXPECT_EQ(Memo.GetText(), "<>");
    TStringStream Plain("not {rtf}");
    Memo.PasteFromRtfStream(Plain);
    EXPECT_EQ(Memo.GetText(), "<not {rtf}>");
    Memo.SetText("<>");
    Memo.GetSource()->JumpTo(1, 0);
    TStringStream Rtf("{\\rtf1 {\\b bold}\\par next}");
    Memo.PasteFromRtfStream(Rtf);
    EXPECT_EQ(Memo.GetText(), "<bold\r\nnext>");
    Memo.GetSource()->Undo();
    EXPECT_EQ(Memo.GetText(), "<>");
}

TEST_F(MemoImportExport, ExportToAFileAndAMissingFileRaises) {
    Memo.SetText("file text");
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    const std::string Name =
        std::string(Dir) + "zel_memo_export_" + std::to_string(GetCurrentProcessId()) + ".html";
    Memo.ExportToHtmlFile(Name);
    std::ifstream In(Name, std::ios::binary);
    const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    In.close();
    DeleteFileA(Name.c_str());
    EXPECT_NE(Data.find("file&nbsp;text"), std::string::npos) << Data;
    EXPECT_ANY_THROW(Memo.LoadFromRtfFile(std::string(Dir) + "zel_no_such_file.rtf"));
    EXPECT_EQ(Memo.GetText(), "file text");
}

// One exported run as the RTF reader takes it back.
struct TExportedRun {
    std::string Text;
    TColor Color, Back;
    std::string Face;
    int Size;
    TFontStyles Style;
};

std::vector<TExportedRun> ReadRuns(const std::string& Rtf) {
    std::vector<TExportedRun> Runs;
    THSRtfImporter Reader;
    Reader.OnTextChanged = [&](THSImporter&, const std::string& Text, TFont& F, TColor Back) {
        Runs.push_back({Text, F.Color(), Back, F.Name(), F.Size(), F.Style()});
    };
    Reader.ParseText(Rtf);
    return Runs;
}

// A parser that draws letters in a font of its own.
class TOwnFontParser : public TDigitParser {
public:
    TOwnFontParser() {
        Own.SetName("Arial");
        Own.SetSize(14);
        Own.SetStyle(fsItalic);
        Own.SetColor(clRed);
    }
    TFont* GetFont(int32_t Style) override { return Style == 6 ? &Own : nullptr; }
    TFont Own;
};

TEST_F(MemoImportExport, ExportedRunsHaveTheColourAndFontTheyHaveOnScreen) {
    Memo.Font().SetName("Courier New");
    Memo.Font().SetSize(10);
    struct TLook {
        const char* Text;
        TColor Color;
        std::string Face;
        int Size;
        TFontStyles Style;
    };
    auto Expect = [&](const char* Case, const std::vector<TLook>& Looks) {
        TStringStream Rtf;
        Memo.ExportToRtfStream(Rtf);
        const std::vector<TExportedRun> Runs = ReadRuns(Rtf.DataString());
        for (const TLook& L : Looks) {
            auto It = std::find_if(Runs.begin(), Runs.end(), [&](const TExportedRun& R) {
                return R.Text.find(L.Text) != std::string::npos;
            });
            ASSERT_NE(It, Runs.end()) << Case << ": " << L.Text << "\n" << Rtf.DataString();
            EXPECT_EQ(ColorToRGB(It->Color), ColorToRGB(L.Color)) << Case << ": " << L.Text;
            EXPECT_EQ(It->Face, L.Face) << Case << ": " << L.Text;
            EXPECT_EQ(It->Size, L.Size) << Case << ": " << L.Text;
            EXPECT_EQ(It->Style, L.Style) << Case << ": " << L.Text;
        }
    };

    // Bytes through the text styles.
    TDigitParser Digits;
    Memo.GetSource()->SetSyntaxParser(&Digits);
    Memo.SetText("ab 12");
    TTextStyles& T = Memo.TextStyles();
    Expect("text styles",
           {{"ab", T.GetItem(6)->Font().Color(), "Courier New", 10, T.GetItem(6)->Font().Style()},
            {"12", T.GetItem(4)->Font().Color(), "Courier New", 10, T.GetItem(4)->Font().Style()}});

    // A parser's own font for one of its styles.
    TOwnFontParser Own;
    Memo.GetSource()->SetSyntaxParser(&Own);
    Expect("parser fonts",
           {{"ab", clRed, "Arial", 14, fsItalic},
            {"12", T.GetItem(4)->Font().Color(), "Courier New", 10, T.GetItem(4)->Font().Style()}});

    // The attribute table of a memo that imported formatted text.
    Memo.GetSource()->SetSyntaxParser(nullptr);
    Memo.SelAttributes();
    TStringStream In("{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}"
                     "{\\colortbl;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}"
                     "\\f0\\fs20\\cf1 tag\\cf0  plain \\f1\\fs28\\cf2\\b str}");
    Memo.LoadFromRtfStream(In);
    ASSERT_EQ(Memo.GetText(), "tag plain str");
    Expect("attributes", {{"tag", TColor(RGB(0, 0, 255)), "Courier New", 10, 0},
                          {"plain", Memo.Font().Color(), "Courier New", 10, 0},
                          {"str", TColor(RGB(255, 0, 0)), "Arial", 14, fsBold}});
    // The same in HTML: the tag in blue, nothing in the colour of the text style its index has.
    TStringStream Html;
    Memo.ExportToHtmlStream(Html);
    EXPECT_NE(Html.DataString().find("#0000FF\">tag"), std::string::npos) << Html.DataString();
    EXPECT_EQ(Html.DataString().find(HtmlColorText(clMaroon)), std::string::npos) << Html.DataString();
}

TEST_F(MemoImportExport, TabCharactersStayTabsWhereTheWriterKeepsThem) {
    Memo.GetSource()->SetOptions(Memo.GetSource()->Options() | soUseTabCharacter);
    Memo.SetText("x\tyz\r\n\tq");
    ASSERT_EQ(Memo.GetSource()->GetStringItem(0)->Text, "x\tyz");
    // The screen columns of "yz" on the first line, and that line as HTML, its tab expanded.
    const int32_t Y = Memo.GetSource()->GetRelativeTabIndex("x\tyz", 2);
    THSHTMLExporter Plain(nullptr);
    const std::string Expanded = Plain.TranslateString(Memo.GetLines()->Get(0));
    ASSERT_EQ(Memo.GetLines()->Get(0).find('\t'), std::string::npos);
    struct TCase {
        bool Colours;
        bool Block; // the column block over "yz" only
        std::string Rtf, Html;
    } Cases[] = {
        {false, false, "x\\tab yz", Expanded},
        {true, false, "\\tab ", "yz"},
        {false, true, "yz", "yz"},
    };
    TDigitParser Digits;
    for (const TCase& C : Cases) {
        Memo.GetSource()->SetSyntaxParser(C.Colours ? &Digits : nullptr);
        if (C.Block) {
            Memo.SetSelection(stBlockSel, Y, 0, Y + 1, 0);
            ASSERT_EQ(Memo.GetSelText(), "yz") << "the block as plain text";
        } else
            Memo.ClearSelection();
        TStringStream Rtf, Html;
        Memo.ExportToRtfStreamEx(Rtf, C.Block);
        Memo.ExportToHtmlStreamEx(Html, C.Block);
        EXPECT_NE(Rtf.DataString().find(C.Rtf), std::string::npos) << Rtf.DataString();
        EXPECT_NE(Html.DataString().find(C.Html), std::string::npos) << Html.DataString();
        EXPECT_EQ(Html.DataString().find('\t'), std::string::npos) << "HTML keeps no tab";
        if (C.Block) {
            EXPECT_EQ(Rtf.DataString().find("tab"), std::string::npos) << Rtf.DataString();
            EXPECT_EQ(ReadRuns(Rtf.DataString()).size(), 1u);
        } else {
            std::string Back;
            for (const TExportedRun& R : ReadRuns(Rtf.DataString()))
                Back += R.Text;
            EXPECT_EQ(Back, "x\tyz\r\n\tq");
        }
    }
    Memo.GetSource()->SetSyntaxParser(nullptr);
}

// A real page of the sqlite3-doc package, coloured by the HTML parser, goes through RTF into a
// memo that keeps the formatting: every character comes back in the colour it was painted in.
TEST_F(MemoImportExport, ARealPageKeepsTheColourOfEveryCharacterThroughRtf) {
    const std::string Page = "Z:\\usr\\share\\doc\\sqlite3\\about.html";
    if (!FileExists(Page))
        GTEST_SKIP() << "sqlite3-doc is not installed";
    THTMLParser Html(nullptr);
    Memo.GetSource()->SetSyntaxParser(&Html);
    Memo.GetSource()->LoadFromFile(Page);
    const int32_t Lines = Memo.GetSource()->GetStrCount();
    ASSERT_GT(Lines, 50);
    size_t Longest = 0;
    for (int32_t L = 0; L < Lines; ++L)
        Longest = std::max(Longest, Memo.GetLines()->Get(L).size());
    // Painted in cells of 8 by 16 pixels: each text run's cell gives its line and columns.
    TRecordingSink Painted;
    const int32_t X0 = Memo.GetPaintX();
    const RECT All{0, 0, LONG(X0 + 8 * (Longest + 1)), LONG(16 * Lines)};
    Memo.SetBounds(0, 0, All.right, All.bottom);
    Memo.PaintTo(Painted, All);
    std::vector<std::vector<COLORREF>> Shown(static_cast<size_t>(Lines));
    for (const TRecordedOp& Op : Painted.Ops) {
        if (Op.Kind != TRecordedOp::opText || Op.R.left < X0)
            continue;
        std::vector<COLORREF>& Row = Shown[size_t(Op.R.top / 16)];
        const size_t Col = size_t((Op.R.left - X0) / 8);
        Row.resize(std::max(Row.size(), Col + Op.Text.size()));
        std::fill(Row.begin() + long(Col), Row.begin() + long(Col + Op.Text.size()),
                  ColorToRGB(Op.FontColor));
    }

    TStringStream Rtf;
    Memo.ExportToRtfStream(Rtf);
    THSMemo Back(nullptr);
    Back.SetFixedMetrics(8, 16);
    Back.LoadFromRtfStream(Rtf);
    ASSERT_EQ(Back.GetText(), Memo.GetText());
    auto* Attributes = dynamic_cast<TAttributeParser*>(Back.GetSyntaxParser());
    ASSERT_NE(Attributes, nullptr);
    int32_t Checked = 0;
    for (int32_t L = 0; L < Lines; ++L) {
        const std::string& Bytes = Back.GetSource()->GetColorData(L);
        for (size_t C = 0; C < Bytes.size() && C < Shown[size_t(L)].size(); ++C, ++Checked)
            ASSERT_EQ(ColorToRGB(Attributes->GetFont(uint8_t(Bytes[C]))->Color()), Shown[size_t(L)][C])
                << "line " << L + 1 << ", column " << C + 1 << ": " << Memo.GetLines()->Get(L);
    }
    EXPECT_GT(Checked, 8000) << "nearly every character of the page";
    Memo.GetSource()->SetSyntaxParser(nullptr);
}

} // namespace
