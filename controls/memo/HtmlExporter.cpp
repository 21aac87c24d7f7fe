#include "controls/memo/HtmlExporter.h"

#include <cstdio>

const char* const DefaultExportFontName = "Times New Roman";

void THSExporter::WriteString(const std::string& S) {
    if (!S.empty() && FStream)
        FStream->WriteString(S);
}

std::string HtmlColorText(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    char Buf[8];
    std::snprintf(Buf, sizeof Buf, "#%02X%02X%02X", unsigned(GetRValue(C)), unsigned(GetGValue(C)),
                  unsigned(GetBValue(C)));
    return Buf;
}

int32_t HtmlFontSize(int32_t Points) {
    if (Points >= 1 && Points <= 8)
        return 1;
    if (Points >= 9 && Points <= 11)
        return 2;
    if (Points >= 12 && Points <= 13)
        return 3;
    if (Points >= 14 && Points <= 17)
        return 4;
    if (Points >= 18 && Points <= 23)
        return 5;
    if (Points >= 24 && Points <= 35)
        return 6;
    return 7;
}

int32_t HtmlSizeToPoints(int32_t HtmlSize) {
    static const int32_t Points[] = {8, 10, 12, 14, 18, 24, 36};
    return HtmlSize >= 1 && HtmlSize <= 7 ? Points[HtmlSize - 1] : 48;
}

std::string HtmlAttributeText(const std::string& S) {
    std::string R;
    R.reserve(S.size());
    for (char C : S) {
        switch (C) {
        case '&':
            R += "&amp;";
            break;
        case '"':
            R += "&quot;";
            break;
        case '<':
            R += "&lt;";
            break;
        case '>':
            R += "&gt;";
            break;
        default:
            R += C;
        }
    }
    return R;
}

std::string HtmlDecodeEntities(const std::string& S) {
    static const struct {
        const char* Entity;
        char Ch;
    } Map[] = {{"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};
    std::string R;
    R.reserve(S.size());
    for (size_t I = 0; I < S.size();) {
        bool Done = false;
        if (S[I] == '&') {
            for (const auto& M : Map) {
                const size_t N = std::char_traits<char>::length(M.Entity);
                if (S.compare(I, N, M.Entity) == 0) {
                    R += M.Ch;
                    I += N;
                    Done = true;
                    break;
                }
            }
        }
        if (!Done)
            R += S[I++];
    }
    return R;
}

std::string THSHTMLExporter::TranslateString(const std::string& S) {
    std::string R;
    R.reserve(S.size());
    for (char C : S) {
        switch (C) {
        case '&':
            R += "&amp;";
            break;
        case ' ':
            R += "&nbsp;";
            break;
        case '"':
            R += "&quot;";
            break;
        case '<':
            R += "&lt;";
            break;
        case '>':
            R += "&gt;";
            break;
        default:
            R += C;
        }
    }
    return R;
}

void THSHTMLExporter::BeginComplexTag(const std::string& Tag, const std::string& Full) {
    if (!FLastComplexTag.empty() && FLastComplexTag != Tag)
        WriteString("\r\n");
    WriteString("<" + (Full.empty() ? Tag : Full) + ">");
    FLastComplexTag = Tag;
}

void THSHTMLExporter::BeginTagEx(const std::string& Tag, std::initializer_list<const char*> Names,
                                 std::initializer_list<std::string> Values) {
    std::string Full = Tag;
    auto V = Values.begin();
    for (auto N = Names.begin(); N != Names.end() && V != Values.end(); ++N, ++V)
        if (!V->empty())
            Full += std::string(" ") + *N + "=\"" + HtmlAttributeText(*V) + "\"";
    BeginComplexTag(Tag, Full);
}

void THSHTMLExporter::StartParagraph(TParagraphAlign Align) {
    static const char* const Words[] = {"left", "center", "right", "justify"};
    BeginTagEx("P", {"Align"}, {Words[static_cast<int>(Align) & 3]});
}

void THSHTMLExporter::NewLine() {
    BeginTag("BR");
    WriteString("\r\n");
}

void THSHTMLExporter::StartFont(const std::string& Name) {
    BeginTagEx("font", {"face"}, {Name});
}

void THSHTMLExporter::StartFontSize(int32_t Points) {
    BeginTagEx("font", {"SIZE"}, {std::to_string(HtmlFontSize(Points))});
}

void THSHTMLExporter::StartColor(TColor Color) {
    BeginTagEx("font", {"color"}, {HtmlColorText(Color)});
}

void THSHTMLExporter::StartBackground(TColor Color) {
    FBackgroundDivs.push_back(FBodyOpen);
    if (FBodyOpen)
        BeginTagEx("div", {"style"}, {"background-color:" + HtmlColorText(Color)});
    else
        BeginTagEx("Body", {"BGCOLOR"}, {HtmlColorText(Color)});
}

void THSHTMLExporter::FinishBackground() {
    const bool Div = !FBackgroundDivs.empty() && FBackgroundDivs.back();
    if (!FBackgroundDivs.empty())
        FBackgroundDivs.pop_back();
    EndTag(Div ? "div" : "Body");
}

void THSHTMLExporter::StartHRef(const std::string& Topic, TWindowStyle) {
    BeginTagEx("A", {"href"}, {Topic + ".html"});
}

void THSHTMLExporter::StartTable(const TTableParams& P) {
    static const char* const Frames[] = {"void", "above",  "below", "hsides", "lhs",
                                         "rhs",  "vsides", "box",   "border"};
    static const char* const Rules[] = {"none", "groups", "rows", "cols", "all"};
    auto Num = [](int32_t V) { return V ? std::to_string(V) : std::string(); };
    const unsigned F = static_cast<unsigned>(P.Frame), R = static_cast<unsigned>(P.Rules);
    BeginTagEx("TABLE", {"width", "border", "frame", "rules", "cellspacing", "cellpadding"},
               {Num(P.Width), Num(P.Border), F < 9 ? Frames[F] : "void", R < 5 ? Rules[R] : "none",
                Num(P.CellSpacing), Num(P.CellPadding)});
}

void THSHTMLExporter::StartTableDataCell(int32_t Width) {
    BeginTagEx("TD", {"width"}, {Width ? std::to_string(Width) : std::string()});
}

void THSHTMLExporter::StartDocument(const std::string& Title) {
    BeginTag("Html");
    BeginTag("Head");
    EndTag("Head");
    BeginTag("Title");
    // A title is text, not markup: a "<" in a file name must not open a tag.
    WriteString(HtmlAttributeText(Title));
    EndTag("Title");
    BeginTag("Body");
    FBodyOpen = true;
    StartFont(DefaultExportFontName);
}

void THSHTMLExporter::FinishDocument() {
    FinishFont();
    EndTag("Body");
    EndTag("Html");
    FBodyOpen = false;
}

void THSHTMLExporter::AddSpaces(int32_t Count) {
    for (int32_t I = 0; I < Count; ++I)
        WriteString("&nbsp;");
}

void THSHTMLExporter::AddImage(const std::string& FileName, int32_t Width, int32_t Height) {
    if (FileName.empty())
        return;
    if (Width == 0 && Height == 0)
        BeginTagEx("img", {"src"}, {FileName});
    else
        BeginTagEx("img", {"src", "WIDTH", "HEIGHT"},
                   {FileName, std::to_string(Width), std::to_string(Height)});
}

void THSHTMLExporter::WriteExternalURL(const std::string& Caption, const std::string& Url) {
    BeginTagEx("A", {"href", "target"}, {Url, "_blank"});
    WriteString(Caption);
    EndTag("A");
}
