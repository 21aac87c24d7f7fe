// Help contents and index writers, and the whole-string export shortcuts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/memo/HelpWriters.h"
#include "controls/memo/TextExportShortcuts.h"
#include "framework/core/Streams.h"

namespace {

// The writer's stream outlives nothing: the writer frees it, so the text is taken at Flush.
template <class TWriter, class TFill> std::string Write(TFill Fill) {
    auto* Stream = new TStringStream();
    std::string Out;
    {
        TWriter W(Stream);
        Fill(W);
        W.Flush();
        Out = Stream->DataString();
    }
    return Out;
}

TEST(HelpWriters, ContentNestsListsAndShowsTheLastNamePart) {
    std::string Out = Write<THTMLContentWriter>([](THTMLContentWriter& W) {
        W.StartSection("Reference", "");
        W.StartSectionEx("zel.core.TObject", "TObject", skClass);
        W.FinishSection();
        W.FinishSection();
    });
    EXPECT_EQ(Out, "<Html><Head></Head><Title>Content</Title><Body><font face=\"Times New Roman\">\r\n"
                   "<ul>\r\n<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"Reference\"></OBJECT></li>\r\n"
                   "<ul>\r\n<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"TObject\"><param name=\"Local\" value=\"TObject.html\">"
                   "</OBJECT></li></ul></ul></font></Body></Html>");
}

TEST(HelpWriters, IndexFilesKeywordPathsSortedAndNested) {
    std::string Out = Write<THTMLIndexWriter>([](THTMLIndexWriter& W) {
        W.StartSection("zeta", "Zeta");
        W.StartSection("x.beta,", "");
        W.StartSection("gamma", "Gamma");
        W.FinishSection();
        W.FinishSection();
        W.FinishSection();
        W.StartSection("Alpha", "A1");
        W.StartSection("one", "One");
        W.FinishSection();
        W.FinishSection();
    });
    // Keys "Alpha", "Alpha.one", "zeta", "zeta.beta.gamma": the last one is two levels deeper.
    EXPECT_EQ(Out, "<Html><Head></Head><Title>Index</Title><Body><font face=\"Times New Roman\">\r\n"
                   "<ul>\r\n<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"Alpha\"><param name=\"Name\" value=\"Alpha\">"
                   "<param name=\"Local\" value=\"A1.html\"></OBJECT></li>\r\n"
                   "<ul>\r\n<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"one\"><param name=\"Name\" value=\"one\">"
                   "<param name=\"Local\" value=\"One.html\"></OBJECT></li></ul>\r\n"
                   "<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"zeta\"><param name=\"Name\" value=\"zeta\">"
                   "<param name=\"Local\" value=\"Zeta.html\"></OBJECT></li>\r\n"
                   "<ul><ul>\r\n<li>\r\n<OBJECT type=\"text/sitemap\">\r\n"
                   "<param name=\"Name\" value=\"gamma\"><param name=\"Name\" value=\"gamma\">"
                   "<param name=\"Local\" value=\"Gamma.html\"></OBJECT></li></ul></ul></ul>"
                   "</font></Body></Html>");
}

TEST(HelpWriters, AWriterThatIsNotFlushedFinishesItsDocumentWhenItGoes) {
    // The stream is the writer's: only a file shows what it left behind.
    const std::string Path = testing::TempDir() + "content_unflushed.hhc";
    {
        THTMLContentWriter W(new TFileStream(Path, fmCreate));
        W.StartSection("Only", "only");
        W.FinishSection();
    }
    TFileStream In(Path, fmOpenRead);
    std::string Bytes(static_cast<size_t>(In.Size()), '\0');
    In.Read(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    EXPECT_EQ(Bytes.substr(Bytes.size() - 14), "</Body></Html>");
    EXPECT_NE(Bytes.find("value=\"only.html\""), std::string::npos);
}

TEST(HelpWriters, RtfContentsLinesAndTheContentsList) {
    TStringStream S, Rtf;
    THSRTFExporter Writer(&Rtf);
    const THSRtfHelpLists& Lists = Writer.WriterList().HelpLists;
    TRTFContentWriter W(S, Writer);
    W.StartSection("Unit.Classes", "");
    W.StartSectionEx("Unit.Classes.TFoo", "tfoo", skClass);
    W.FinishSection();
    W.StartSection("Unit.Classes.TBar", "tbar");
    W.FinishSection();
    W.FinishSection();
    W.StartSection("Index", "idx");
    W.FinishSection();
    EXPECT_EQ("1 Unit.Classes\r\n2 Unit.Classes.TFoo=tfoo\r\n2 Unit.Classes.TBar=tbar\r\n1 Index=idx\r\n",
              S.DataString());
    EXPECT_EQ(0, W.Level());
    EXPECT_EQ((std::vector<std::string>{"Classes!", "Index!idx", "TBar!tbar", "TFoo!tfoo"}),
              Lists.Contents());
}

TEST(HelpWriters, RtfKeywordsFileTheOpenSectionPath) {
    TStringStream Rtf;
    THSRTFExporter Writer(&Rtf);
    const THSRtfHelpLists& Lists = Writer.WriterList().HelpLists;
    TRTFIndexWriter W(Writer);
    W.StartSection("Lib.Graphics,", "graphics");
    W.StartSection("Lib.Canvas", "canvas");
    W.StartSection("Pen", "pen");
    W.FinishSection();
    W.FinishSection();
    W.StartSection("Brush", "brush");
    W.FinishSection();
    W.FinishSection();
    W.FinishSection(); // one too many: harmless
    W.StartSection("Other", "brush");
    EXPECT_EQ((std::vector<std::string>{"!brush", "!graphics", "Graphics!brush", "Graphics!canvas",
                                        "Graphics,Canvas!pen"}),
              Lists.Keywords())
        << "sorted, the second \"!brush\" kept once";
    EXPECT_EQ("brush;canvas", Lists.KeywordsOf("Graphics"));
    EXPECT_EQ("pen", Lists.KeywordsOf("Graphics,Canvas"));
    EXPECT_EQ("", Lists.KeywordsOf("Graph"));
}

TEST(HelpWriters, RtfTopicsCarryTheKeywordsFiledForThem) {
    TStringStream Rtf;
    {
        THSRTFExporter Writer(&Rtf);
        TRTFIndexWriter Index(Writer);
        Index.StartSection("Lib.Graphics", "graphics");
        Index.StartSection("Canvas", "canvas");
        Index.FinishSection();
        Index.StartSection("Pen", "pen");
        Index.FinishSection();
        Index.FinishSection();
        Writer.StartDocument("");
        Writer.StartPage("Graphics");
        Writer.WriteString("Drawing");
        Writer.FinishPage();
        Writer.StartPage("Pen2");
        Writer.FinishPage();
        Writer.FinishDocument();
    }
    const std::string Out = Rtf.DataString();
    const size_t Body = Out.find("{\\page}");
    ASSERT_NE(Body, std::string::npos) << Out;
    EXPECT_EQ(Out.substr(Body),
              "{\\page}\\super #{\\footnote {\\super # }Graphics}\\super ${\\footnote {\\super $ }Graphics}"
              "\\super K{\\footnote {\\super K }{canvas;pen}}\\super A{\\footnote {\\super A }Graphics}"
              "Drawing}" // the second topic's own group, then its footnotes without "K"
              "{{\\page}\\super #{\\footnote {\\super # }Pen2}\\super ${\\footnote {\\super $ }Pen}"
              "\\super A{\\footnote {\\super A }Pen2}}}}");
}

TEST(TextExportShortcuts, HtmlEscapingKeepsBlanksAndBreaks) {
    struct Case {
        const char* In;
        const char* Out;
    } Cases[] = {
        {"a   b", "a&nbsp;&nbsp; b"}, // the first pass leaves two blanks, the second takes them
        {"a  b", "a&nbsp; b"},        {"<p>\r\nx", "&lt;p&gt;<BR>x"}, {"    ", "&nbsp; &nbsp; "}, {"", ""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(HSExportToHTML(C.In), C.Out) << C.In;
}

TEST(TextExportShortcuts, SystemSymbolsSpareLineBreaks) {
    struct Case {
        const char* In;
        const char* Out;
    } Cases[] = {
        {"a<BR>b<c>", "a<BR>b&lt;c&gt;"},
        {"x\t\t\ty", "x&nbsp;-&nbsp;y"},
        {"\x01<b>", "\x01&lt;b&gt;"}, // a control character already in the text stays itself
        {"<BR<BR>>", "&lt;BR<BR>&gt;"},
    };
    for (const Case& C : Cases) {
        std::string S = C.In;
        HSProcessHTMLSysSymbols(S);
        EXPECT_EQ(S, C.Out) << C.In;
    }
}

TEST(TextExportShortcuts, PlainTextGoesThroughAnyWriterWithBreaksOnlyBetweenLines) {
    auto Run = [](const std::string& Text) {
        TStringStream S;
        THSHTMLExporter W(&S);
        HSExportTo(W, Text);
        return S.DataString();
    };
    const std::string One = Run("a<b");
    EXPECT_EQ(One.find("<BR>"), std::string::npos);
    EXPECT_NE(One.find("a&lt;b"), std::string::npos);
    EXPECT_NE(One.find("<font SIZE=\"2\">"), std::string::npos);
    const std::string Two = Run("one\r\ntwo\r\n");
    EXPECT_NE(Two.find("one<BR>\r\ntwo</font>"), std::string::npos) << Two;
}

} // namespace
