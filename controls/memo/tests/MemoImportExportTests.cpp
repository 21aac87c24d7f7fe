// The memo's export through the writers and its import of RTF and HTML.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "MemoTestSupport.h"
#include "controls/memo/HtmlExporter.h"
#include "controls/memo/Importers.h"
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

} // namespace
