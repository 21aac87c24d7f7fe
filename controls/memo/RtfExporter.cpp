#include "controls/memo/RtfExporter.h"

#include <cstdio>

namespace {

std::string ParamText(const std::variant<std::monostate, std::string, int32_t>& P) {
    if (auto* S = std::get_if<std::string>(&P))
        return *S;
    if (auto* I = std::get_if<int32_t>(&P))
        return std::to_string(*I);
    return {};
}

int32_t ParamInt(const std::variant<std::monostate, std::string, int32_t>& P) {
    if (auto* I = std::get_if<int32_t>(&P))
        return *I;
    return 0;
}

} // namespace

// --- writer objects -------------------------------------------------------------------------------

TWriterFontObject::TWriterFontObject() {
    FFonts.push_back({std::string("\\fnil ") + DefaultExportFontName, 1});
}

int32_t TWriterFontObject::AddFont(const std::string& Name, uint8_t Charset) {
    for (size_t I = 0; I < FFonts.size(); ++I)
        if (FFonts[I].first == Name)
            return int32_t(I);
    FFonts.push_back({Name, Charset});
    return int32_t(FFonts.size() - 1);
}

void TWriterFontObject::Flush(TStream& Stream) {
    if (FFonts.empty())
        return;
    WritelnString(Stream, "{\\fonttbl");
    for (size_t I = 0; I < FFonts.size(); ++I) {
        std::string Entry = "f" + std::to_string(I);
        if (!IgnoreCharSet)
            Entry += "\\fcharset" + std::to_string(FFonts[I].second);
        Entry += " " + FFonts[I].first + ";";
        WritelnString(Stream, "{\\" + Entry + "}");
    }
    WritelnString(Stream, "}");
}

int32_t TWriterColorObject::AddColor(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    const std::string Entry = "red" + std::to_string(GetRValue(C)) + "\\green" +
                              std::to_string(GetGValue(C)) + "\\blue" + std::to_string(GetBValue(C));
    for (size_t I = 0; I < FColors.size(); ++I)
        if (FColors[I] == Entry)
            return int32_t(I);
    FColors.push_back(Entry);
    return int32_t(FColors.size() - 1);
}

void TWriterColorObject::Flush(TStream& Stream) {
    if (FColors.empty())
        return;
    WritelnString(Stream, "{\\colortbl");
    for (const auto& C : FColors)
        WritelnString(Stream, "\\" + C + ";");
    WritelnString(Stream, "}");
}

void TWriterTableObject::BeginTag(const std::string& Tag) {
    static const char* const Words[] = {"void",    "trbrdrt", "trbrdrb", "trbrdrh",
                                        "trbrdrl", "trbrdrr", "trbrdrv"};
    if (Tag == "cell") {
        if (FRows.empty())
            return;
        int32_t Width = ParamInt(Param);
        if (Width == 0)
            Width = 250;
        FRows.back().Cells.push_back({Width, {}});
        return;
    }
    const unsigned F = static_cast<unsigned>(FParams.Frame);
    std::string Frame;
    if (F < 7)
        Frame = Words[F];
    else
        Frame = "trbrdrt\\trbrdrb\\trbrdrh\\trbrdrl\\trbrdrr\\trbrdrv";
    FRows.push_back({"{\\trowd\\" + Frame, {}});
}

bool TWriterTableObject::IsEmbeddedString(const std::string& S) {
    if (!FRows.empty() && !FRows.back().Cells.empty())
        FRows.back().Cells.back().second += S;
    return true;
}

void TWriterTableObject::Flush(TStream& Stream) {
    if (FRows.empty()) {
        WriteString(Stream, "{");
        return;
    }
    WritelnString(Stream, "{\\par");
    for (const auto& Row : FRows) {
        WritelnString(Stream, Row.Text);
        int64_t Sum = 0;
        for (const auto& Cell : Row.Cells) {
            Sum += Cell.first;
            // Sum x 56.7 / 2 to the nearest integer, halves to even, in exact integers.
            const int64_t N = Sum * 567;
            int64_t Q = N / 20, R = N % 20;
            if (R < 0) {
                R += 20;
                --Q;
            }
            if (R > 10 || (R == 10 && (Q & 1)))
                ++Q;
            WritelnString(Stream, "\\cellx" + std::to_string(Q));
        }
        for (const auto& Cell : Row.Cells)
            WritelnString(Stream, "\\pard \\intbl " + Cell.second + "\\cell");
        WritelnString(Stream, "\\row\\pard}");
    }
}

// --- writer list ------------------------------------------------------------------------------------

TRTFWriterList::TRTFWriterList()
    : FFonts(std::make_unique<TWriterFontObject>()), FColors(std::make_unique<TWriterColorObject>()) {}

void TRTFWriterList::WriteString(const std::string& S) {
    if (S.empty())
        return;
    if (!FStack.empty() && FStack.back()->IsEmbeddedString(S))
        return;
    FItems.push_back({S, nullptr});
}

void TRTFWriterList::BeginTag(const std::string& Tag) {
    if (FFonts->IsEmbeddedTag(Tag)) {
        const int32_t Index = FFonts->AddFont(ParamText(TagParam), CharSet);
        WriteString(Open() + "\\" + Tag + std::to_string(Index) + " ");
        return;
    }
    if (FColors->IsEmbeddedTag(Tag)) {
        const int32_t Index = FColors->AddColor(TColor(ParamInt(TagParam)));
        WriteString(Open() + "\\" + Tag + std::to_string(Index) + " ");
        return;
    }
    for (auto It = FStack.rbegin(); It != FStack.rend(); ++It)
        if ((*It)->IsEmbeddedTag(Tag)) {
            (*It)->Param = TagParam;
            (*It)->BeginTag(Tag);
            return;
        }
    if (Tag.empty()) {
        WriteString(Open());
        return;
    }
    WriteString(Open() + "\\" + Tag + " ");
    WriteString("\r\n");
}

void TRTFWriterList::EndTag(const std::string& Tag) {
    for (auto It = FStack.rbegin(); It != FStack.rend(); ++It)
        if ((*It)->IsEmbeddedTag(Tag)) {
            (*It)->EndTag(Tag);
            return;
        }
    WriteString(Tag.empty() ? Close() : "\\" + Tag + Close());
}

void TRTFWriterList::StartWriterObject(std::unique_ptr<TWriterObject> Obj) {
    FItems.push_back({"", Obj.get()});
    FStack.push_back(Obj.get());
    FOwned.push_back(std::move(Obj));
}

void TRTFWriterList::FinishWriterObject() {
    if (!FStack.empty())
        FStack.pop_back();
}

void TRTFWriterList::WritePage(TStream& Stream, const std::string& Item) {
    Stream.WriteString("{\\page}");
    const size_t P = Item.find("_page") + 5 + 1;
    std::string Topic;
    for (size_t I = P; I < Item.size(); ++I)
        if (Item[I] != '{' && Item[I] != '}' && Item[I] != '\r' && Item[I] != '\n')
            Topic += Item[I];
    std::string Title;
    for (char C : Topic)
        if (C < '0' || C > '9')
            Title += C;
    auto Footnote = [&](const std::string& Mark, const std::string& Text) {
        Stream.WriteString("\\super" + Mark + "{\\footnote {\\super" + Mark + " }" + Text + "}");
    };
    Footnote(" #", Topic);
    Footnote(" $", Title);
    const std::string Keywords = HelpLists.KeywordsOf(Topic);
    if (!Keywords.empty())
        Footnote(" K", "{" + Keywords + "}");
    Footnote(" A", Topic);
}

void TRTFWriterList::Flush(TStream& Stream) {
    for (const auto& Item : FItems) {
        if (Item.Obj) {
            Item.Obj->Flush(Stream);
        } else if (Item.Text.find("rtf1\\ansi") != std::string::npos) {
            Stream.WriteString(Item.Text);
            FFonts->Flush(Stream);
            FColors->Flush(Stream);
        } else if (Item.Text.find("_page") != std::string::npos) {
            WritePage(Stream, Item.Text);
        } else {
            Stream.WriteString(Item.Text);
        }
    }
}

// --- exporter ---------------------------------------------------------------------------------------

THSRTFExporter::THSRTFExporter(TStream* Stream)
    : THSExporter(Stream), FList(std::make_unique<TRTFWriterList>()) {}

THSRTFExporter::~THSRTFExporter() = default;

std::string THSRTFExporter::TranslateString(const std::string& S) {
    std::string R;
    R.reserve(S.size());
    for (char C : S) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (C == '\t') {
            R += "\\tab ";
        } else if (C == '\\' || C == '{' || C == '}') {
            R += '\\';
            R += C;
        } else if (U > 127) {
            char Buf[5];
            std::snprintf(Buf, sizeof Buf, "\\'%02x", unsigned(U));
            R += Buf;
        } else {
            R += C;
        }
    }
    return R;
}

void THSRTFExporter::StartParagraph(TParagraphAlign Align) {
    static const char* const Words[] = {"ql", "qc", "qr", "qj"};
    BeginTag(std::string("par \\") + Words[static_cast<int>(Align) & 3]);
}

void THSRTFExporter::FinishNonScrolledArea() {
    WriteTag("keepn\\par");
    EndTag("");
}

void THSRTFExporter::NewLine() {
    BeginTag("line");
    EndTag("");
}

void THSRTFExporter::StartFontWithCharSet(const std::string& Name, uint8_t Charset) {
    FList->TagParam = Name;
    FList->CharSet = Charset;
    BeginTag("f");
}

void THSRTFExporter::StartBigFont() {
    FFontSize += 6;
    BeginTag("fs" + std::to_string(FFontSize));
}

void THSRTFExporter::FinishBigFont() {
    FFontSize -= 6;
    EndTag("");
}

void THSRTFExporter::StartSmallFont() {
    FFontSize -= 6;
    BeginTag(FFontSize < 1 ? std::string("fs1") : "fs" + std::to_string(FFontSize));
}

void THSRTFExporter::FinishSmallFont() {
    FFontSize += 6;
    EndTag("");
}

void THSRTFExporter::StartNumberedList() {
    BeginTag("");
    WriteTag("par");
    WriteTag("pntext");
    WriteTag("pn\\pnlvlbody\\pnstart1{\\pntxta .}");
}

void THSRTFExporter::StartBulletedList() {
    BeginTag("");
    WriteTag("par");
    WriteTag("pntext");
    WriteTag("pn\\pnlvlblt");
}

void THSRTFExporter::StartBulletListItem() {
    BeginTag("");
    WriteTag("pntext");
    WriteTag("pntxtb\\'b7");
}

void THSRTFExporter::StartNumberedListItem() {
    BeginTag("");
    WriteTag("pntext");
    WriteTag("pntxtb\\pndec");
}

void THSRTFExporter::StartColor(TColor Color) {
    FList->TagParam = int32_t(Color);
    BeginTag("cf");
}

void THSRTFExporter::StartBackColor(TColor Color) {
    FList->TagParam = int32_t(Color);
    BeginTag("highlight");
}

void THSRTFExporter::StartHRef(const std::string& Topic, TWindowStyle Style) {
    BeginTag(Style == TWindowStyle::wsNoWindow ? "ul" : "uldb");
    FTopic = Topic;
    FWindowStyle = Style;
}

void THSRTFExporter::FinishHRef() {
    if (FWindowStyle == TWindowStyle::wsNoWindow)
        WriteTag("v " + FTopic);
    else
        WriteTag("v " + FTopic + ">" + (FWindowStyle == TWindowStyle::wsMainWindow ? "main" : "second"));
    EndTag("");
}

void THSRTFExporter::StartTable(const TTableParams& Params) {
    FList->StartWriterObject(std::make_unique<TWriterTableObject>(Params));
}

void THSRTFExporter::FinishTable() {
    FList->FinishWriterObject();
    EndTag("");
}

void THSRTFExporter::StartTableDataCell(int32_t Width) {
    FList->TagParam = Width;
    BeginTag("cell");
}

void THSRTFExporter::StartDocument(const std::string&) {
    BeginTag("rtf1\\ansi");
    std::string Plain = "plain";
    if (FValue1 > 0)
        Plain += "\\sb" + std::to_string(FValue1);
    if (FValue2 > 0)
        Plain += "\\sa" + std::to_string(FValue2);
    BeginTag(Plain);
}

void THSRTFExporter::FinishDocument() {
    EndTag("");
    EndTag("");
    if (FStream)
        FList->Flush(*FStream);
}

void THSRTFExporter::StartPage(const std::string& Title) {
    BeginTag("");
    WriteTag("_page\\" + Title);
}

void THSRTFExporter::AddSpaces(int32_t Count) {
    if (Count > 0)
        WriteString(std::string(size_t(Count), ' '));
}

void THSRTFExporter::AddImage(const std::string& FileName, int32_t, int32_t) {
    WriteString(" \\{bmc " + FileName + "\\}");
}

void THSRTFExporter::DrawHorzLine() {
    WriteString("\\par\\pard\\brdrt\\brdrs{\\f0\\fs2\\cf0  }\\par\\pard ");
}

void THSRTFExporter::WriteExternalURL(const std::string& Caption, const std::string& Url) {
    WriteString("{\\uldb " + Caption + "}{\\v *!ExecFile('" + Url + "')}");
}
