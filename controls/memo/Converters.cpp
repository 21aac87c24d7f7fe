#include "controls/memo/Converters.h"

#include "framework/core/CharClass.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

#include "controls/memo/HtmlExporter.h"
#include "controls/memo/Importers.h"
#include "controls/memo/TextExportShortcuts.h"
#include "framework/core/Streams.h"

namespace {

// Font and colour table entries read from one document; the writers look entries up one by one,
// so a hostile table of millions would make every later font or colour word slow.
constexpr int32_t kMaxTableEntries = 1024;

bool Same(const std::string& A, const char* B) {
    return strcasecmp(A.c_str(), B) == 0;
}

std::string Trim(const std::string& S) {
    const size_t B = S.find_first_not_of(' '), E = S.find_last_not_of(' ');
    return B == std::string::npos ? std::string() : S.substr(B, E - B + 1);
}

} // namespace

int32_t AddFont(THSRTFExporter& Exporter, const std::string& Name) {
    return Exporter.WriterList().Fonts().AddFont(Name, 1);
}

int32_t AddColor(THSRTFExporter& Exporter, TColor Color) {
    return Exporter.WriterList().Colors().AddColor(Color);
}

// --- reading ------------------------------------------------------------------------------------

TRtfToken TRTFConverter::Next() {
    TRtfToken T;
    while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) < ' ' && FText[FPos] != '\t')
        ++FPos;
    if (FPos >= FText.size())
        return T;
    const size_t Start = FPos;
    const char C = FText[FPos];
    auto PlainFrom = [&](size_t From) {
        FPos = From;
        if (FPos < FText.size() && FText[FPos] == '\t')
            ++FPos;
        while (FPos < FText.size() && !IsRtfDelimiter(FText[FPos]))
            ++FPos;
        T.Kind = TRtfToken::tkText;
        T.Raw = FText.substr(Start, FPos - Start);
    };
    if (C == '{') {
        ++FPos;
        T.Kind = TRtfToken::tkGroupStart;
        T.Raw = "{";
    } else if (C == '}') {
        ++FPos;
        T.Kind = TRtfToken::tkGroupEnd;
        T.Raw = "}";
    } else if (C == '\\') {
        const char N = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
        if (N == '\'' && FPos + 3 < FText.size() + 0 && AsciiHexValue(FText[FPos + 2]) >= 0 &&
            AsciiHexValue(FText[FPos + 3]) >= 0) {
            FPos += 4;
            T.Kind = TRtfToken::tkHexChar;
            T.Raw = FText.substr(Start, 4);
            T.Word = T.Raw.substr(2);
        } else if (N == '\\' || N == '{' || N == '}') {
            PlainFrom(FPos + 2);
        } else {
            ++FPos;
            while (FPos < FText.size() && (std::isalpha(static_cast<unsigned char>(FText[FPos])) ||
                                           FText[FPos] == '_' || FText[FPos] == '*'))
                ++FPos;
            T.Raw = FText.substr(Start, FPos - Start);
            T.Word = T.Raw.substr(1);
            T.Kind = !T.Word.empty() && KnownRtfWord(T.Word) ? TRtfToken::tkWord : TRtfToken::tkUnlisted;
        }
    } else if (std::isdigit(static_cast<unsigned char>(C))) {
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
            ++FPos;
        T.Kind = TRtfToken::tkInteger;
        if (FPos + 1 < FText.size() && FText[FPos] == '.' &&
            std::isdigit(static_cast<unsigned char>(FText[FPos + 1]))) {
            ++FPos;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
                ++FPos;
            T.Kind = TRtfToken::tkDecimal;
        }
        T.Raw = FText.substr(Start, FPos - Start);
    } else {
        PlainFrom(FPos);
    }
    return T;
}

bool TRTFConverter::ReadParam(int32_t& Value) {
    size_t P = FPos;
    bool Negative = false;
    if (P + 1 < FText.size() && FText[P] == '-' && std::isdigit(static_cast<unsigned char>(FText[P + 1]))) {
        Negative = true;
        ++P;
    }
    if (P >= FText.size() || !std::isdigit(static_cast<unsigned char>(FText[P])))
        return false;
    int64_t V = 0;
    while (P < FText.size() && std::isdigit(static_cast<unsigned char>(FText[P]))) {
        // Saturated: a hostile number never overflows.
        V = std::min<int64_t>(V * 10 + (FText[P] - '0'), INT32_MAX);
        ++P;
    }
    FPos = P;
    Value = static_cast<int32_t>(Negative ? -V : V);
    return true;
}

bool TRTFConverter::GroupStartsWith(const char* Word) const {
    size_t P = FPos;
    while (P < FText.size() && static_cast<unsigned char>(FText[P]) < ' ')
        ++P;
    const size_t N = std::strlen(Word);
    if (P + 1 + N > FText.size() || FText[P] != '\\' || strncasecmp(FText.c_str() + P + 1, Word, N) != 0)
        return false;
    return P + 1 + N == FText.size() || !std::isalpha(static_cast<unsigned char>(FText[P + 1 + N]));
}

void TRTFConverter::ReadFontTable() {
    size_t At = std::string::npos;
    for (size_t I = FPos; I + 8 <= FText.size(); ++I)
        if (strncasecmp(FText.c_str() + I, "\\fonttbl", 8) == 0) {
            At = I;
            break;
        }
    if (At == std::string::npos)
        return;
    FPos = At + 8;
    int Depth = 1;
    int32_t Slot = -1;
    std::string Name;
    auto Store = [&] {
        std::string N;
        for (char C : Name)
            if (C != ';')
                N += C;
        N = Trim(N);
        if (Slot >= 0 && Slot < kMaxTableEntries) {
            if (FFonts.size() <= size_t(Slot))
                FFonts.resize(size_t(Slot) + 1);
            FFonts[size_t(Slot)] = N;
        } else if (Slot < 0 && !N.empty() && FFonts.size() < size_t(kMaxTableEntries)) {
            FFonts.push_back(N);
        }
        Slot = -1;
        Name.clear();
    };
    while (Depth > 0) {
        TRtfToken T = Next();
        switch (T.Kind) {
        case TRtfToken::tkEnd:
            Store();
            return;
        case TRtfToken::tkGroupStart:
            ++Depth;
            break;
        case TRtfToken::tkGroupEnd:
            if (--Depth <= 1 && (Slot >= 0 || !Name.empty()))
                Store();
            break;
        case TRtfToken::tkWord:
        case TRtfToken::tkUnlisted: {
            int32_t N = 0;
            const bool Has = ReadParam(N);
            if (Same(T.Word, "f") && Has)
                Slot = N;
            break;
        }
        default:
            for (char C : T.Raw) {
                if (C == ';')
                    Store();
                else
                    Name += C;
            }
            break;
        }
    }
}

void TRTFConverter::ReadColorTable() {
    // Just after "{": the word first.
    TRtfToken Word = Next();
    (void)Word;
    int64_t Value = 0;
    bool First = true;
    int Depth = 1;
    while (Depth > 0 && FPos < FText.size()) {
        const char C = FText[FPos];
        if (C == '}') {
            ++FPos;
            --Depth;
        } else if (C == '{') {
            ++FPos;
            ++Depth;
        } else if (C == ';') {
            ++FPos;
            if (First && FColors.size() < size_t(kMaxTableEntries))
                FColors.push_back(0);
            First = false;
        } else if (C == '\\') {
            TRtfToken T = Next();
            int32_t N = 0;
            ReadParam(N);
            N = std::clamp(N, 0, 255);
            First = false;
            if (Same(T.Word, "red")) {
                Value = N;
            } else if (Same(T.Word, "green")) {
                Value += int64_t(N) * 256;
            } else if (Same(T.Word, "blue")) {
                Value += int64_t(N) * 65536;
                if (FColors.size() < size_t(kMaxTableEntries))
                    FColors.push_back(static_cast<TColor>(Value));
                Value = 0;
            }
        } else {
            ++FPos;
        }
    }
}

void TRTFConverter::Execute() {
    for (TRtfToken T = Next(); T.Kind != TRtfToken::tkEnd; T = Next())
        Token(T);
    Finish();
}

// --- RTF to RTF ---------------------------------------------------------------------------------

void THSRTFConverter::Token(const TRtfToken& T) {
    if (T.Kind == TRtfToken::tkGroupStart && GroupStartsWith("colortbl")) {
        ReadColorTable();
        return;
    }
    if (T.Kind != TRtfToken::tkWord) {
        FOutput += T.Raw;
        return;
    }
    FOutput += "\r\n";
    if (Same(T.Word, "rtf")) {
        ReadFontTable();
        return;
    }
    if (Same(T.Word, "f") || Same(T.Word, "pnf")) {
        int32_t N = 0;
        if (!ReadParam(N)) {
            FOutput += T.Raw;
            return;
        }
        const std::string Name = N >= 0 && size_t(N) < FFonts.size() ? FFonts[size_t(N)] : std::string();
        FOutput += T.Raw + std::to_string(AddFont(FTarget, "\\fnil " + Name));
        return;
    }
    if (Same(T.Word, "cf")) {
        int32_t N = 0;
        if (!ReadParam(N)) {
            FOutput += T.Raw;
            return;
        }
        const TColor C = N >= 0 && size_t(N) < FColors.size() ? FColors[size_t(N)] : clBlack;
        FOutput += T.Raw + std::to_string(AddColor(FTarget, C));
        return;
    }
    FOutput += T.Raw;
}

// --- RTF to HTML --------------------------------------------------------------------------------

void THSHtmlConverter::Opened(const std::string& Tag) {
    if (FGroups.empty())
        return;
    TGroup& G = FGroups.back();
    G.Open[Tag].insert(G.Tags.size());
    G.Tags.push_back(Tag);
}

void THSHtmlConverter::WriteTag(const std::string& Tag) {
    FOutput += "<" + Tag + ">\r\n";
    Opened(Tag);
}

void THSHtmlConverter::WriteTag(const std::string& Tag,
                                const std::vector<std::pair<std::string, std::string>>& Attributes) {
    std::string List;
    for (const auto& [Name, Value] : Attributes) {
        if (Value.empty())
            continue;
        List += (List.empty() ? "" : " ") + Name + "=\"" + HtmlAttributeText(Value) + "\"";
    }
    FOutput += "<" + Tag + (List.empty() ? "" : " " + List) + ">";
    Opened(Tag);
}

void THSHtmlConverter::FlushTag(std::initializer_list<const char*> Tags) {
    if (FGroups.empty())
        return;
    TGroup& G = FGroups.back();
    for (const char* Tag : Tags) {
        auto It = G.Open.find(Tag);
        if (It == G.Open.end() || It->second.empty())
            continue;
        // The earliest opened tag of the name is the one closed.
        G.Tags[*It->second.begin()].clear();
        It->second.erase(It->second.begin());
        FOutput += std::string("</") + Tag + ">";
    }
}

void THSHtmlConverter::PopGroup() {
    const TGroup G = std::move(FGroups.back());
    FGroups.pop_back();
    // Latest opened first; a line break has no closing tag.
    for (auto It = G.Tags.rbegin(); It != G.Tags.rend(); ++It)
        if (!It->empty() && *It != "BR")
            FOutput += "</" + *It + ">";
}

void THSHtmlConverter::Align(const char* Value) {
    if (FGroups.empty())
        return;
    TGroup& G = FGroups.back();
    auto Breaks = G.Open.find("BR");
    if (Breaks == G.Open.end() || Breaks->second.empty())
        return;
    // Breaks are only ever appended, and each one made a paragraph stays one: the search for the
    // first break of the output starts where the last one was found.
    const size_t InOutput = FOutput.find("<BR>", FFirstBreak);
    if (InOutput == std::string::npos)
        return;
    const std::string Paragraph = std::string("<P Align=\"") + Value + "\">";
    FOutput.replace(InOutput, 4, Paragraph);
    FFirstBreak = InOutput + Paragraph.size();
    // The latest break of the group becomes the paragraph that the group's end closes.
    const size_t Latest = *Breaks->second.rbegin();
    Breaks->second.erase(Latest);
    G.Tags[Latest] = "P";
    G.Open["P"].insert(Latest);
}

void THSHtmlConverter::Token(const TRtfToken& T) {
    THSHTMLExporter* const Escaper = FEscaper.get();
    switch (T.Kind) {
    case TRtfToken::tkGroupStart: {
        if (GroupStartsWith("colortbl")) {
            ReadColorTable();
            return;
        }
        // Destinations that hold no document text are left out whole.
        size_t P = FPos;
        while (P < FText.size() && static_cast<unsigned char>(FText[P]) < ' ')
            ++P;
        if (P < FText.size() && FText[P] == '\\') {
            size_t E = P + 1;
            while (E < FText.size() &&
                   (std::isalpha(static_cast<unsigned char>(FText[E])) || FText[E] == '*' || FText[E] == '_'))
                ++E;
            // Whole words only: list-numbering groups ("\pn...") carry the list tags.
            if (SkippedRtfGroup(FText.substr(P + 1, E - P - 1), true)) {
                for (int Depth = 1; Depth > 0 && FPos < FText.size();) {
                    const char C = FText[FPos++];
                    if (C == '\\')
                        ++FPos;
                    else if (C == '{')
                        ++Depth;
                    else if (C == '}')
                        --Depth;
                }
                return;
            }
        }
        FGroups.emplace_back();
        return;
    }
    case TRtfToken::tkGroupEnd:
        if (!FGroups.empty())
            PopGroup();
        return;
    case TRtfToken::tkHexChar: {
        const char Byte = static_cast<char>(AsciiHexValue(T.Word[0]) * 16 + AsciiHexValue(T.Word[1]));
        if (static_cast<unsigned char>(Byte) == 0xB7) // the bullet of RTF list numbering
            return;
        FOutput += Escaper->TranslateString(std::string(1, Byte));
        return;
    }
    case TRtfToken::tkText:
    case TRtfToken::tkInteger:
    case TRtfToken::tkDecimal: {
        std::string S;
        for (size_t I = 0; I < T.Raw.size(); ++I) {
            if (T.Raw[I] == '\\' && I + 1 < T.Raw.size())
                ++I;
            S += T.Raw[I];
        }
        FOutput += Escaper->TranslateString(S);
        return;
    }
    case TRtfToken::tkUnlisted: {
        int32_t N;
        if (T.Word.empty() && FPos < FText.size() && FText[FPos] == '~') {
            ++FPos;
            FOutput += Escaper->TranslateString(" ");
        } else {
            ReadParam(N);
            if (FPos < FText.size() && FText[FPos] == ' ')
                ++FPos;
        }
        return;
    }
    default:
        break;
    }
    // A known word; the blank that ends it belongs to it.
    const std::string& W = T.Word;
    int32_t N = 0;
    const bool Has = ReadParam(N);
    if (FPos < FText.size() && FText[FPos] == ' ')
        ++FPos;
    if (Same(W, "b"))
        WriteTag("B");
    else if (Same(W, "i"))
        WriteTag("I");
    else if (Same(W, "ul"))
        WriteTag("U");
    else if (Same(W, "pnlvlblt"))
        WriteTag("ul");
    else if (Same(W, "pnlvlbody"))
        WriteTag("ol");
    else if (Same(W, "pntext"))
        WriteTag("li");
    else if (Same(W, "cf"))
        WriteTag("font",
                 {{"color",
                   Has && N >= 0 && size_t(N) < FColors.size() ? HtmlColorText(FColors[size_t(N)]) : ""}});
    else if (Same(W, "f") || Same(W, "pnf")) {
        FlushTag({"font"});
        WriteTag("font", {{"face", Has && N >= 0 && size_t(N) < FFonts.size() ? FFonts[size_t(N)] : ""}});
    } else if (Same(W, "fs"))
        WriteTag("font", {{"SIZE", std::to_string(HtmlFontSize((Has ? N : 24) / 2))}});
    else if (Same(W, "rtf"))
        ReadFontTable();
    else if (Same(W, "par")) {
        FlushTag({"P"});
        WriteTag("BR");
    } else if (Same(W, "line"))
        FOutput += "<BR>";
    else if (Same(W, "tab"))
        FOutput += "\t";
    else if (Same(W, "qc"))
        Align("center");
    else if (Same(W, "qr"))
        Align("right");
    else if (Same(W, "plain"))
        FlushTag({"B", "I", "U", "BIG", "SMALL", "font"});
}

void THSHtmlConverter::Finish() {
    while (!FGroups.empty())
        PopGroup();
}

// --- free routines ------------------------------------------------------------------------------

std::string Rtf2Rtf(const std::string& Text, THSRTFExporter& Exporter) {
    THSRTFConverter C(Text, Exporter);
    C.Execute();
    return C.Output();
}

std::string RtfToHtml(const std::string& Text) {
    THSHtmlConverter C(Text);
    C.Execute();
    return C.Output();
}

void HSExportToRTFStream(TStream& Stream, const std::string& Text) {
    THSRTFExporter Writer(&Stream);
    HSExportTo(Writer, Text);
}

std::string HSExportToRTF(const std::string& Text) {
    TStringStream S;
    HSExportToRTFStream(S, Text);
    return S.DataString();
}
