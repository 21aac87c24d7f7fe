// The HTML and RTF writers byte for byte, and the importers on their output and on hostile input.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/memo/HtmlExporter.h"
#include "controls/memo/Importers.h"
#include "controls/memo/RtfExporter.h"

namespace {

// The small coloured document: "if a<b" bold and blue, then a plain "x", then a line break.
void WriteDemo(THSExporter& E) {
    E.StartDocument("Demo");
    E.StartBold();
    E.StartColor(clBlue);
    E.WriteString(E.TranslateString("if a<b"));
    E.FinishColor();
    E.FinishBold();
    E.WriteString("x");
    E.NewLine();
    E.FinishDocument();
}

const char* const kHtmlGolden =
    "<Html><Head></Head><Title>Demo</Title><Body><font face=\"Times New Roman\"><B>"
    "<font color=\"#0000FF\">if&nbsp;a&lt;b</font></B>x<BR>\r\n</font></Body></Html>";

const char* const kRtfGolden = "{\\rtf1\\ansi {\\fonttbl\r\n"
                               "{\\f0\\fcharset1 \\fnil Times New Roman;}\r\n"
                               "}\r\n"
                               "{\\colortbl\r\n"
                               "\\red0\\green0\\blue255;\r\n"
                               "}\r\n"
                               "\r\n"
                               "{\\plain \r\n"
                               "{\\b \r\n"
                               "{\\cf0 if a<b}}x{\\line \r\n"
                               "}}}";

template <class T> std::string Export(const std::function<void(THSExporter&)>& Fill) {
    TStringStream S;
    T E(&S);
    Fill(E);
    return S.DataString();
}

struct TRun {
    std::string Text;
    TFontStyles Style;
    int Size;
    TColor Color, Back;
    std::string Face;
};

template <class T> std::vector<TRun> Import(const std::string& Text) {
    T I;
    std::vector<TRun> Runs;
    I.OnTextChanged = [&](THSImporter&, const std::string& S, TFont& F, TColor Back) {
        Runs.push_back({S, F.Style(), F.Size(), F.Color(), Back, F.Name()});
    };
    I.ParseText(Text);
    return Runs;
}

template <class T> std::string ImportText(const std::string& Text) {
    std::string R;
    for (const auto& Run : Import<T>(Text))
        R += Run.Text;
    return R;
}

TEST(HtmlWriter, TheDemoDocumentByteForByte) {
    EXPECT_EQ(Export<THSHTMLExporter>(WriteDemo), kHtmlGolden);
}

TEST(HtmlWriter, EscapesSizesTablesAndLineBreaks) {
    THSHTMLExporter E(nullptr);
    EXPECT_EQ(E.TranslateString("a b&\"c\"\t<>\xe9"), "a&nbsp;b&amp;&quot;c&quot;\t&lt;&gt;\xe9");
    EXPECT_EQ(Export<THSHTMLExporter>([](THSExporter& X) {
                  X.StartTable(TTableParams{});
                  X.StartTableRow();
                  X.StartTableDataCell(0);
                  X.StartTableDataCell(40);
              }),
              "<TABLE frame=\"void\" rules=\"none\">\r\n<TR>\r\n<TD><TD width=\"40\">");
    EXPECT_EQ(Export<THSHTMLExporter>([](THSExporter& X) {
                  X.StartFontSize(10);
                  X.StartFontSize(0);
                  X.StartBulletListItem();
                  X.StartBulletListItem();
                  X.AddImage("", 1, 1);
                  X.AddImage("p.png", 0, 5);
                  X.StartBackColor(clRed);
                  X.AddSpaces(2);
              }),
              "<font SIZE=\"2\"><font SIZE=\"7\">\r\n<li><li>\r\n<img src=\"p.png\" WIDTH=\"0\" "
              "HEIGHT=\"5\">&nbsp;&nbsp;");
    EXPECT_EQ(HtmlColorText(clWindow), HtmlColorText(TColor(ColorToRGB(clWindow))));
}

TEST(HtmlWriter, TitleAndAttributesCannotOpenMarkup) {
    const std::string Out = Export<THSHTMLExporter>([](THSExporter& X) {
        X.StartDocument("a</Title><script>");
        X.StartFont("x\" onload=\"evil");
        X.WriteExternalURL("site", "http://h/?a=\"b\"&c");
        X.FinishFont();
        X.FinishDocument();
    });
    EXPECT_NE(Out.find("<Title>a&lt;/Title&gt;&lt;script&gt;</Title>"), std::string::npos) << Out;
    EXPECT_NE(Out.find("<font face=\"x&quot; onload=&quot;evil\">"), std::string::npos) << Out;
    EXPECT_NE(Out.find("href=\"http://h/?a=&quot;b&quot;&amp;c\""), std::string::npos) << Out;
}

TEST(HtmlWriter, ABackgroundInsideTheDocumentDoesNotOpenASecondBody) {
    const std::string Out = Export<THSHTMLExporter>([](THSExporter& X) {
        X.StartDocument("T");
        X.StartBackground(clRed);
        X.WriteString("r");
        X.FinishBackground();
        X.FinishDocument();
    });
    EXPECT_EQ(Out.find("<Body", Out.find("<Body") + 1), std::string::npos) << Out;
    EXPECT_NE(Out.find("<div style=\"background-color:#FF0000\">r</div>"), std::string::npos) << Out;
    // Outside a document the background is the body's own.
    EXPECT_EQ(Export<THSHTMLExporter>([](THSExporter& X) {
                  X.StartBackground(clRed);
                  X.FinishBackground();
              }),
              "<Body BGCOLOR=\"#FF0000\"></Body>");
}

TEST(RtfWriter, TheDemoDocumentByteForByte) {
    EXPECT_EQ(Export<THSRTFExporter>(WriteDemo), kRtfGolden);
}

TEST(RtfWriter, TablesColoursFontSizesAndEscapes) {
    THSRTFExporter E(nullptr);
    EXPECT_EQ(E.TranslateString("a\\b{c}\td\xe9\x80"), "a\\\\b\\{c\\}\\tab d\\'e9\\'80");
    const std::string Out = Export<THSRTFExporter>([](THSExporter& X) {
        X.StartDocument("");
        X.StartColor(clBlue);
        X.FinishColor();
        X.StartColor(clRed);
        X.FinishColor();
        X.StartColor(clBlue);
        X.FinishColor();
        for (int I = 0; I < 4; ++I)
            X.StartSmallFont();
        X.StartTable(TTableParams{});
        X.WriteString("lost");
        X.StartTableRow();
        X.StartTableDataCell(0);
        X.WriteString("cell");
        X.FinishTableDataCell();
        X.FinishTableRow();
        X.FinishTable();
        X.FinishDocument();
    });
    EXPECT_NE(Out.find("{\\colortbl\r\n\\red0\\green0\\blue255;\r\n\\red255\\green0\\blue0;\r\n}"),
              std::string::npos)
        << Out;
    EXPECT_NE(Out.find("{\\cf0 }{\\cf1 }{\\cf0 }"), std::string::npos) << Out;
    EXPECT_NE(Out.find("{\\fs18 \r\n{\\fs12 \r\n{\\fs6 \r\n{\\fs1 "), std::string::npos) << Out;
    EXPECT_NE(
        Out.find("{\\par\r\n{\\trowd\\void\r\n\\cellx7088\r\n\\pard \\intbl cell\\cell\r\n\\row\\pard}\r\n"),
        std::string::npos)
        << Out;
    EXPECT_EQ(Out.find("lost"), std::string::npos);
    // No colour used, no colour table.
    EXPECT_EQ(Export<THSRTFExporter>([](THSExporter& X) {
                  X.StartDocument("");
                  X.FinishDocument();
              }).find("colortbl"),
              std::string::npos);
}

TEST(Importers, TheGoldensComeBackAsText) {
    const auto Runs = Import<THSRtfImporter>(kRtfGolden);
    std::string Text;
    for (const auto& R : Runs)
        Text += R.Text;
    EXPECT_EQ(Text, "if a<bx\r\n");
    ASSERT_FALSE(Runs.empty());
    EXPECT_EQ(Runs[0].Text, "if a<b");
    EXPECT_EQ(Runs[0].Style, fsBold);
    EXPECT_EQ(Runs[0].Color, clBlue);
    EXPECT_EQ(Runs[0].Face, "Times New Roman");
    EXPECT_EQ(ImportText<THSHTMLImporter>(kHtmlGolden), "if a<bx\r\n");
}

TEST(RtfImporter, RunsStylesAndSkippedGroups) {
    struct Case {
        const char* Rtf;
        const char* Text;
    } Cases[] = {
        {"{\\rtf1 {\\b bold}\\par plain}", "bold\r\nplain"},
        {"{\\rtf1 a{\\*\\generator x}b{\\stylesheet{s}}c}", "abc"},
        {"{\\rtf1 \\TAB x\\cell y}", "\tx\ty"},
        {"{\\rtf1 a\\~b\\\\c\\{d\\}}", "a b\\c{d}"},
        {"{\\rtf1 \\'41\\'42c}", "ABc"},
        {"{\\rtf1 \\u65?x}", "Ax"},
        // A value written signed stands for the upper half of the range; the replacement
        // character goes, the text after it stays.
        {"{\\rtf1 \\u-4064?rest}", "?rest"},
        {"{\\rtf1 \\u99999999999?z}", "z"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ImportText<THSRtfImporter>(C.Rtf), C.Text) << C.Rtf;

    const auto Runs = Import<THSRtfImporter>("{\\rtf1 {\\b\\ul x\\b0 y\\ulnone z}}");
    ASSERT_EQ(Runs.size(), 3u);
    EXPECT_EQ(Runs[0].Style, fsBold | fsUnderline);
    EXPECT_EQ(Runs[1].Style, fsUnderline);
    EXPECT_EQ(Runs[2].Style, 0);
}

TEST(RtfImporter, TheEuroSignOfTheCodePage) {
    const wchar_t Euro = 8364;
    char Expected[2] = {};
    const int Len = WideCharToMultiByte(CP_ACP, 0, &Euro, 1, Expected, 2, nullptr, nullptr);
    EXPECT_EQ(ImportText<THSRtfImporter>("{\\rtf1 \\u8364?}"), std::string(Expected, Len > 0 ? Len : 0));
}

TEST(RtfImporter, ValidStreamsStartWithTheHeader) {
    TStringStream Short("{\\rtf");
    Short.SetSize(4);
    THSRtfImporter I;
    TStringStream Four("{\\rt");
    EXPECT_FALSE(I.IsValidStream(Four));
    TStringStream Good("{\\rtf1 x}");
    Good.SetPosition(3);
    EXPECT_TRUE(I.IsValidStream(Good));
    EXPECT_EQ(Good.Position(), 0);
    TStringStream Html("<html>");
    EXPECT_FALSE(I.IsValidStream(Html));
}

TEST(Importers, HostileInputGivesABoundedResult) {
    std::string Deep = "{\\rtf1 ";
    for (int I = 0; I < 200000; ++I)
        Deep += "{\\b ";
    Deep += "x";
    EXPECT_EQ(ImportText<THSRtfImporter>(Deep), "x");
    const char* const Rtf[] = {"{\\rtf1 {\\fonttbl{\\f0 A;}",
                               "{\\rtf1 {\\colortbl;\\red999999999999",
                               "{\\rtf1 \\fs-",
                               "{\\rtf1 \\f99999999999999 \\cf4294967297 \\highlight-3 x",
                               "\\",
                               "{\\'",
                               "{\\u",
                               "{\\rtf1 {\\*",
                               "}}}}}x{"};
    for (const char* R : Rtf)
        EXPECT_NO_THROW(ImportText<THSRtfImporter>(R)) << R;
    EXPECT_EQ(ImportText<THSRtfImporter>("{\\rtf1 \\fs99999999999 big}"), "big");
    const auto Runs = Import<THSRtfImporter>("{\\rtf1 \\fs99999999999 big}");
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_LE(Runs[0].Size, 1638);

    // Many headers without a font table, many heads without an end: still one pass.
    std::string Headers, Heads;
    for (int I = 0; I < 100000; ++I) {
        Headers += "\\rtf1 ";
        Heads += "<head>";
    }
    EXPECT_EQ(ImportText<THSRtfImporter>(Headers + "z"), "z");
    EXPECT_EQ(ImportText<THSHTMLImporter>("a" + Heads), "a");

    std::string DeepHtml;
    for (int I = 0; I < 100000; ++I)
        DeepHtml += "<b>";
    DeepHtml += "y";
    EXPECT_EQ(ImportText<THSHTMLImporter>(DeepHtml), "y");
    const char* const Html[] = {
        "<head>never closed", "<!-- open", "<font face=\"x", "<font size=99999999999>z", "<", "</", "&amp",
        "<a href='x"};
    for (const char* H : Html)
        EXPECT_NO_THROW(ImportText<THSHTMLImporter>(H)) << H;
    EXPECT_EQ(ImportText<THSHTMLImporter>("<head>never closed"), "");
}

TEST(HtmlImporter, EntitiesLinesTagsAndSizes) {
    struct Case {
        const char* Html;
        const char* Text;
    } Cases[] = {
        {"&amp;quot; &amp;amp;", "&quot; &amp;"},
        {"a&nbsp;&lt;b&gt;&quot;&copy;", "a <b>\"&copy;"},
        {"one\r\ntwo", "one two"},
        {"<B>a</B>b<P>c", "ab\r\n\r\nc"},
        {"<p>3.5</p>", "\r\n\r\n3.5"},
        {"<Head><title>t</title></HEAD>after", "after"},
        {"<Title>name</Title>body", "body"},
        {"x<!-- hidden -->y", "xy"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ImportText<THSHTMLImporter>(C.Html), C.Text) << C.Html;

    auto Runs = Import<THSHTMLImporter>("<B>a</B>b");
    ASSERT_EQ(Runs.size(), 2u);
    EXPECT_EQ(Runs[0].Style, fsBold);
    EXPECT_EQ(Runs[1].Style, 0);

    Runs = Import<THSHTMLImporter>("<BIG>a</BIG><SMALL>b</SMALL><SMALL>c<font size=+1 color=zz0011 "
                                   "face=\"Deja Sans\">d</font>");
    ASSERT_EQ(Runs.size(), 4u);
    EXPECT_EQ(Runs[0].Size, 10);
    EXPECT_EQ(Runs[1].Size, 8);
    EXPECT_EQ(Runs[2].Size, 8);
    EXPECT_EQ(Runs[3].Size, 8);
    EXPECT_EQ(Runs[3].Color, TColor(0x110000));
    EXPECT_EQ(Runs[3].Face, "Deja Sans");

    Runs = Import<THSHTMLImporter>("<body link=\"#00FF00\"><a href=x>l</a>");
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_EQ(Runs[0].Color, TColor(0x00FF00));
    EXPECT_EQ(Runs[0].Style, fsUnderline);
}

} // namespace
