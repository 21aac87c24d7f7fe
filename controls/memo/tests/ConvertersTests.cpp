// RTF converters: RTF body text re-targeted at another writer's font and colour tables, RTF to
// HTML, and plain text to RTF, checked on goldens, hostile input and a real text file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "controls/memo/Converters.h"
#include "controls/memo/Importers.h"

namespace {

std::string Tables(THSRTFExporter& W) {
    TStringStream S;
    W.WriterList().Fonts().Flush(S);
    W.WriterList().Colors().Flush(S);
    return S.DataString();
}

TEST(Rtf2Rtf, FontsAndColoursMoveIntoTheTargetTables) {
    TStringStream Written;
    THSRTFExporter Target(&Written);
    const std::string Source = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1 Courier New;}}"
                               "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1 Hello\\par\\f1 code}";
    const std::string Out = Rtf2Rtf(Source, Target);
    // The header and both tables stay behind; each listed word starts a line.
    EXPECT_EQ("{\r\n\r\n\\f1\r\n\\cf0 Hello\r\n\\par\r\n\\f2 code}", Out);
    const std::string T = Tables(Target);
    EXPECT_NE(T.find("{\\f1\\fcharset1 \\fnil Helvetica;}"), std::string::npos) << T;
    EXPECT_NE(T.find("{\\f2\\fcharset1 \\fnil Courier New;}"), std::string::npos) << T;
    EXPECT_NE(T.find("\\red255\\green0\\blue0;"), std::string::npos) << T;

    // A second text that uses a font the target knows already reuses its index.
    EXPECT_EQ("{\r\n\r\n\\f2 more}", Rtf2Rtf("{\\rtf1{\\fonttbl{\\f7 Courier New;}}\\f7 more}", Target));
    // Unlisted words and their parameters are copied as they stand.
    EXPECT_EQ("\\li-120\\sa60 x", Rtf2Rtf("\\li-120\\sa60 x", Target));
}

TEST(RtfToHtml, TagsCloseInTheirGroupsInTheRightOrder) {
    struct Case {
        const char* Name;
        const char* Rtf;
        const char* Html;
    } Cases[] = {
        {"plain closes bold before italic", "{\\b\\i\\plain}", "<B>\r\n<I>\r\n</B></I>"},
        {"group end closes what the group opened", "{\\b bold}after", "<B>\r\nbold</B>after"},
        {"nested groups", "{\\i a{\\b b}c}", "<I>\r\na<B>\r\nb</B>c</I>"},
        {"two paragraphs, no closing BR", "{a\\par b\\par}", "a<BR>\r\nb<BR>\r\n"},
        {"line and tab", "{a\\line b\\tab c}", "a<BR>b\tc"},
        {"centred paragraph", "{Title\\par\\qc}", "Title<P Align=\"center\">\r\n</P>"},
        {"alignment without a paragraph does nothing", "{\\qr x}", "x"},
        {"a second font closes the first",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\f0 a\\f1 b}}",
         "<font face=\"Arial\">a</font><font face=\"Courier New\">b</font>"},
        {"colour and size", "{\\colortbl;\\red255\\green0\\blue0;}{\\cf1\\fs20 red}",
         "<font color=\"#FF0000\"><font SIZE=\"2\">red</font></font>"},
        {"unknown colour leaves the value out", "{\\cf9 x}", "<font>x</font>"},
        {"list bullet dropped", "{\\pntext\\'b7\\tab}Item", "<li>\r\n\t</li>Item"},
        {"text escaped", "{x<y \\{z\\} & \"q\"}", "x&lt;y&nbsp;{z}&nbsp;&amp;&nbsp;&quot;q&quot;"},
        {"destinations hold no text", "{\\*\\generator Writer 1.0;}{\\stylesheet{Normal;}}text", "text"},
        {"a picture holds no text", "{\\pict\\wmetafile8 0100ff}after", "after"},
        {"list numbering is no destination", "{\\pn\\pnlvlblt}", "<ul>\r\n</ul>"},
        {"the blank ending a word is dropped", "\\b  two", "<B>\r\n&nbsp;two"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(C.Html, RtfToHtml(C.Rtf));
    }
}

TEST(RtfToHtml, HostileInputEndsCleanly) {
    const std::string Deep(5000, '{');
    for (const std::string& S : {std::string("}}}}\\par}"), std::string("{\\f99999999999999999999 x"),
                                 std::string("\\'"), std::string("\\'4"), std::string("{\\colortbl;\\red"),
                                 std::string("{\\rtf1{\\fonttbl{\\f0"), Deep + "x"}) {
        SCOPED_TRACE(S.substr(0, 40));
        std::string Html;
        EXPECT_NO_THROW(Html = RtfToHtml(S));
        TStringStream Written;
        THSRTFExporter T(&Written);
        EXPECT_NO_THROW(Rtf2Rtf(S, T));
    }
    EXPECT_EQ("x", RtfToHtml(Deep + "x"));

    // A colour table of a hundred thousand entries, each used: the table read stops at a bound, and
    // colours past it are the default.
    std::string Colours = "{\\colortbl;";
    std::string Uses;
    for (int I = 1; I <= 100000; ++I) {
        Colours += "\\red" + std::to_string(I % 256) + "\\green" + std::to_string(I / 256 % 256) + "\\blue" +
                   std::to_string(I / 65536) + ";";
        Uses += "\\cf" + std::to_string(I) + " ";
    }
    TStringStream Written;
    THSRTFExporter T(&Written);
    const auto Start = std::chrono::steady_clock::now();
    Rtf2Rtf(Colours + "}" + Uses, T);
    EXPECT_LT(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - Start).count(),
        10);
}

TEST(RtfToHtml, ManyTagsInOneGroupCostLinearTime) {
    // Each open tag is listed for its group's end: a hostile document opens very many in one group.
    const int N = 200000;
    std::string Rtf = "{";
    for (int I = 0; I < N; ++I)
        Rtf += "\\b\\par\\qc";
    Rtf += " x}";
    const auto Start = std::chrono::steady_clock::now();
    const std::string Html = RtfToHtml(Rtf);
    const auto Seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - Start).count();
    EXPECT_LT(Seconds, 10);
    size_t Closed = 0;
    for (size_t At = Html.find("</B>"); At != std::string::npos; At = Html.find("</B>", At + 1))
        ++Closed;
    EXPECT_EQ(Closed, size_t(N)) << "every bold closed at the group's end";
    EXPECT_EQ(Html.find("<BR>"), std::string::npos) << "each paragraph aligned";
}

// Visible text of converted HTML: tags and line ends out, entities decoded.
std::string VisibleText(const std::string& Html) {
    std::string R;
    for (size_t I = 0; I < Html.size(); ++I) {
        if (Html.compare(I, 4, "<BR>") == 0) {
            R += '\n';
            I += 3;
        } else if (Html[I] == '<') {
            I = Html.find('>', I);
            if (I == std::string::npos)
                break;
        } else if (Html[I] != '\r' && Html[I] != '\n') {
            R += Html[I];
        }
    }
    std::string Out;
    for (size_t I = 0; I < R.size(); ++I) {
        static const std::pair<const char*, char> E[] = {
            {"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&amp;", '&'}};
        bool Done = false;
        for (auto [Name, C] : E)
            if (R.compare(I, std::strlen(Name), Name) == 0) {
                Out += C;
                I += std::strlen(Name) - 1;
                Done = true;
                break;
            }
        if (!Done)
            Out += R[I];
    }
    return Out;
}

TEST(Converters, ARealTextSurvivesTheTripThroughRtfToHtml) {
    std::ifstream F("Z:\\usr\\share\\common-licenses\\GPL-3", std::ios::binary);
    if (!F)
        GTEST_SKIP() << "no licence text on this machine";
    std::stringstream B;
    B << F.rdbuf();
    std::string Text = B.str();
    while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r'))
        Text.pop_back();
    const std::string Rtf = HSExportToRTF(Text);
    ASSERT_EQ(0u, Rtf.rfind("{\\rtf", 0));
    // The importer reads the writer's RTF back to the same characters.
    std::string Imported;
    THSRtfImporter Importer;
    Importer.OnTextChanged = [&](THSImporter&, const std::string& S, TFont&, TColor) { Imported += S; };
    Importer.ParseText(Rtf);
    std::string Crlf;
    for (char C : Text)
        Crlf += C == '\n' ? std::string("\r\n") : std::string(1, C);
    EXPECT_EQ(Crlf, Imported);
    // And the HTML converter shows the same text, line by line.
    EXPECT_EQ(Text, VisibleText(RtfToHtml(Rtf)));
}

} // namespace
