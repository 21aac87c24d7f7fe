#include "controls/memo/Importers.h"

#include "framework/core/CharClass.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <vector>

#include "controls/memo/Exporter.h"
#include "controls/memo/HtmlExporter.h"

THSImporter::THSImporter() : FFont(std::make_unique<TFont>()) {}
THSImporter::~THSImporter() = default;

void THSImporter::TextChanged(const std::string& Text, TFont& Font, TColor BackColor) {
    if (OnTextChanged)
        OnTextChanged(*this, Text, Font, BackColor);
}

namespace {

// One group's or tag's attributes; unset fields leave the ones below in force.
struct TAttrRecord {
    int32_t TagId = -1;
    bool HasName = false;
    std::string Name;
    uint8_t Charset = 1;
    TFontStyles On = 0, Off = 0;
    int32_t Color = -1, Size = -1, Back = -1;
    bool StylesTouched = false, BackSet = false;
};

// The run state both readers share: the attribute stack, the font and colour tables.
class TInternalImporter {
public:
    explicit TInternalImporter(THSImporter& Owner) : FOwner(Owner) {}

    void Push(int32_t TagId = -1) {
        if (int32_t(FStack.size()) >= MaxImportDepth) {
            ++FOverflow;
            return;
        }
        TAttrRecord R;
        R.TagId = TagId;
        FStack.push_back(R);
    }
    void Pop() {
        if (FOverflow > 0)
            --FOverflow;
        else if (!FStack.empty())
            FStack.pop_back();
    }
    // The topmost record with the tag id; records above it stay.
    void PopTag(int32_t TagId) {
        for (auto It = FStack.rbegin(); It != FStack.rend(); ++It)
            if (It->TagId == TagId) {
                FStack.erase(std::next(It).base());
                return;
            }
    }
    TAttrRecord& Top() {
        if (FStack.empty())
            FStack.emplace_back();
        return FStack.back();
    }
    void Style(TFontStyle S, bool On) {
        TAttrRecord& R = Top();
        R.StylesTouched = true;
        if (On) {
            R.On |= S;
            R.Off &= ~S;
        } else {
            R.Off |= S;
            R.On &= ~S;
        }
    }
    void Emit(const std::string& Text) {
        if (Text.empty())
            return;
        std::string Name = FFonts.empty() ? std::string(DefaultExportFontName) : FFonts.front().first;
        uint8_t Charset = FFonts.empty() ? 1 : FFonts.front().second;
        int32_t Size = -1, Color = -1, Back = -1;
        TFontStyles Styles = 0;
        for (const auto& R : FStack) {
            if (R.HasName) {
                Name = R.Name;
                Charset = R.Charset;
            }
            if (R.Size != -1)
                Size = R.Size;
            if (R.Color != -1)
                Color = R.Color;
            if (R.BackSet)
                Back = R.Back;
            if (R.StylesTouched) {
                if (R.On == 0 && R.Off == 0)
                    Styles = 0;
                Styles = TFontStyles((Styles | R.On) & ~R.Off);
            }
        }
        TFont& F = FOwner.Font();
        F.SetName(Name);
        F.SetCharset(Charset);
        F.SetSize(Size == -1 ? 12 : Size);
        F.SetColor(Color == -1 ? TColor(0) : TColor(Color));
        F.SetStyle(Styles);
        FOwner.TextChanged(Text, F, TColor(Back));
    }
    void Finish() {
        FStack.clear();
        FOverflow = 0;
    }
    std::vector<std::pair<std::string, uint8_t>> FFonts;
    std::vector<int32_t> FColors;

private:
    THSImporter& FOwner;
    std::vector<TAttrRecord> FStack;
    int32_t FOverflow = 0;
};

// --- RTF ---------------------------------------------------------------------------------------------

} // namespace

const char* const kRtfWords[] = {
    "b",      "blue",     "cell",      "cf",     "colortbl", "deff",       "deflang", "f",      "fonttbl",
    "fs",     "green",    "highlight", "i",      "line",     "nosupersub", "par",     "pard",   "plain",
    "pnf",    "pnlvlblt", "pnlvlbody", "pntext", "qc",       "qr",         "red",     "row",    "rtf",
    "strike", "sub",      "super",     "tab",    "trowd",    "u",          "ul",      "ulnone", "v"};

bool IsRtfDelimiter(char C) {
    return static_cast<unsigned char>(C) < ' ' || C == '\\' || C == '{' || C == '}';
}

bool KnownRtfWord(const std::string& W) {
    for (const char* K : kRtfWords)
        if (strcasecmp(K, W.c_str()) == 0)
            return true;
    return false;
}

bool SkippedRtfGroup(const std::string& Word, bool WholeWord) {
    static const char* const Skipped = "\\stylesheet;\\pntxta;\\pntxtb;\\propname;\\staticval;"
                                       "\\object;\\*;\\title;\\author;\\operator;\\pict;";
    std::string Key = "\\";
    for (char C : Word)
        Key += char(std::tolower(static_cast<unsigned char>(C)));
    if (WholeWord)
        Key += ';';
    return !Word.empty() && std::strstr(Skipped, Key.c_str()) != nullptr;
}

namespace {

// Finds Needle (lower case) in Text from Pos, ignoring case, without copying the text.
size_t FindNoCase(const std::string& Text, const char* Needle, size_t Pos) {
    const size_t N = std::strlen(Needle);
    for (size_t I = Pos; I + N <= Text.size(); ++I) {
        size_t K = 0;
        while (K < N && std::tolower(static_cast<unsigned char>(Text[I + K])) == Needle[K])
            ++K;
        if (K == N)
            return I;
    }
    return std::string::npos;
}

std::string Lower(std::string S) {
    for (char& C : S)
        C = char(std::tolower(static_cast<unsigned char>(C)));
    return S;
}

class TRtfReader {
public:
    TRtfReader(THSImporter& Owner, const std::string& Text) : FRun(Owner), FText(Text) {}

    void Run() {
        while (FPos < FText.size()) {
            const char C = FText[FPos];
            if (C == '{') {
                ++FPos;
                GroupStart();
            } else if (C == '}') {
                ++FPos;
                FRun.Pop();
            } else if (C == '\\') {
                ControlOrEscape();
            } else if (static_cast<unsigned char>(C) < ' ') {
                ++FPos;
            } else {
                FRun.Emit(ReadPlain());
            }
        }
        FRun.Finish();
    }

private:
    std::string ReadPlain() {
        const size_t Start = FPos;
        while (FPos < FText.size() && !IsRtfDelimiter(FText[FPos]))
            ++FPos;
        return FText.substr(Start, FPos - Start);
    }
    // The word after a backslash: letters, "_" and "*"; empty for any other character.
    std::string ReadWord() {
        const size_t Start = FPos;
        while (FPos < FText.size() && (std::isalpha(static_cast<unsigned char>(FText[FPos])) ||
                                       FText[FPos] == '_' || FText[FPos] == '*'))
            ++FPos;
        return FText.substr(Start, FPos - Start);
    }
    // A signed decimal parameter, saturated to the 32-bit range; false when none follows.
    bool ReadParam(int64_t& Value) {
        size_t P = FPos;
        bool Neg = false;
        if (P + 1 < FText.size() && FText[P] == '-' &&
            std::isdigit(static_cast<unsigned char>(FText[P + 1]))) {
            Neg = true;
            ++P;
        }
        if (P >= FText.size() || !std::isdigit(static_cast<unsigned char>(FText[P])))
            return false;
        int64_t V = 0;
        while (P < FText.size() && std::isdigit(static_cast<unsigned char>(FText[P]))) {
            V = std::min<int64_t>(V * 10 + (FText[P] - '0'), int64_t(INT32_MAX) + 1);
            ++P;
        }
        FPos = P;
        Value = Neg ? -V : V;
        return true;
    }
    // The blank that ends a control word belongs to the word.
    void EatDelimiterBlank() {
        if (FPos < FText.size() && FText[FPos] == ' ')
            ++FPos;
    }
    // Skips to the end of the group whose "{" was just read, nested groups included; bounded by the text.
    void SkipGroup() {
        int64_t Depth = 1;
        while (FPos < FText.size() && Depth > 0) {
            const char C = FText[FPos++];
            if (C == '\\')
                ++FPos;
            else if (C == '{')
                ++Depth;
            else if (C == '}')
                --Depth;
        }
    }
    void GroupStart() {
        if (FPos < FText.size() && FText[FPos] == '\\' && FPos + 1 < FText.size() &&
            !IsRtfDelimiter(FText[FPos + 1])) {
            const size_t Save = FPos;
            ++FPos;
            const std::string Word = ReadWord();
            FPos = Save;
            if (SkippedRtfGroup(Word)) {
                SkipGroup();
                return;
            }
            if (SameWord(Word, "colortbl")) {
                ReadColorTable();
                return;
            }
        }
        FRun.Push();
    }
    static bool SameWord(const std::string& A, const char* B) { return strcasecmp(A.c_str(), B) == 0; }

    void ReadColorTable() {
        FPos += 1 + std::strlen("colortbl");
        int64_t Value = 0;
        bool First = true;
        while (FPos < FText.size()) {
            const char C = FText[FPos];
            if (C == '}') {
                ++FPos;
                return;
            }
            if (C == ';') {
                if (First)
                    FRun.FColors.push_back(0);
                First = false;
                ++FPos;
                continue;
            }
            if (C == '\\') {
                ++FPos;
                const std::string W = Lower(ReadWord());
                int64_t N = 0;
                ReadParam(N);
                N = std::clamp<int64_t>(N, 0, 255);
                First = false;
                if (W == "red")
                    Value = N;
                else if (W == "green")
                    Value += N * 256;
                else if (W == "blue") {
                    Value += N * 65536;
                    FRun.FColors.push_back(int32_t(Value));
                    Value = 0;
                }
                continue;
            }
            if (C == '{') {
                ++FPos;
                SkipGroup();
                continue;
            }
            ++FPos;
        }
    }

    // From the header on to the font table group, which is read; the header's own attributes
    // come before it. Without a font table nothing is skipped.
    void ReadFontTable() {
        // One search for the whole text: a document full of headers stays linear.
        if (FNoFontTable)
            return;
        const size_t At = FindNoCase(FText, "\\fonttbl", FPos);
        if (At == std::string::npos) {
            FNoFontTable = true;
            return;
        }
        FPos = At + std::strlen("\\fonttbl");
        int64_t Depth = 1;
        int64_t Slot = -1;
        uint8_t Charset = 1;
        std::string Name;
        auto Store = [&] {
            std::string N;
            for (char C : Name)
                if (C != ';')
                    N += C;
            const size_t B = N.find_first_not_of(' '), E = N.find_last_not_of(' ');
            N = B == std::string::npos ? std::string() : N.substr(B, E - B + 1);
            if (!N.empty() || Slot >= 0) {
                if (Slot >= 0 && Slot < 4096) {
                    if (FRun.FFonts.size() <= size_t(Slot))
                        FRun.FFonts.resize(size_t(Slot) + 1, {std::string(DefaultExportFontName), 1});
                    FRun.FFonts[size_t(Slot)] = {N, Charset};
                } else if (Slot < 0) {
                    FRun.FFonts.push_back({N, Charset});
                }
            }
            Slot = -1;
            Charset = 1;
            Name.clear();
        };
        while (FPos < FText.size() && Depth > 0) {
            const char C = FText[FPos];
            if (C == '{') {
                ++FPos;
                ++Depth;
            } else if (C == '}') {
                ++FPos;
                if (--Depth == 1 && (Slot >= 0 || !Name.empty()))
                    Store();
            } else if (C == '\\') {
                ++FPos;
                const std::string W = Lower(ReadWord());
                int64_t N = 0;
                const bool Has = ReadParam(N);
                EatDelimiterBlank();
                if (W.empty() && FPos < FText.size())
                    ++FPos;
                if (W == "f" && Has)
                    Slot = N;
                else if (W == "fcharset" && Has)
                    Charset = uint8_t(std::clamp<int64_t>(N, 0, 255));
            } else if (C == ';') {
                ++FPos;
                Store();
            } else if (static_cast<unsigned char>(C) < ' ') {
                ++FPos;
            } else {
                Name += ReadPlain();
            }
        }
        if (Depth > 0 && (Slot >= 0 || !Name.empty()))
            Store();
    }

    void ControlOrEscape() {
        ++FPos;
        if (FPos >= FText.size())
            return;
        const char C = FText[FPos];
        if (C == '\\' || C == '{' || C == '}') {
            ++FPos;
            FRun.Emit(std::string(1, C) + ReadPlain());
            return;
        }
        if (C == '\'') {
            std::string Hex;
            while (FPos + 2 < FText.size() + 0 && FText[FPos] == '\'' &&
                   AsciiHexValue(FText[FPos + 1]) >= 0 && AsciiHexValue(FText[FPos + 2]) >= 0) {
                Hex += char(AsciiHexValue(FText[FPos + 1]) * 16 + AsciiHexValue(FText[FPos + 2]));
                FPos += 3;
                if (FPos + 1 < FText.size() && FText[FPos] == '\\' && FText[FPos + 1] == '\'')
                    ++FPos;
                else
                    break;
            }
            if (Hex.empty()) {
                ++FPos;
                return;
            }
            FRun.Emit(Hex);
            FRun.Emit(ReadPlain());
            return;
        }
        if (C == '~') {
            ++FPos;
            FRun.Emit(" ");
            return;
        }
        const std::string Word = ReadWord();
        if (Word.empty()) {
            // A control symbol such as "\-" or "\|": nothing to show.
            ++FPos;
            return;
        }
        if (!KnownRtfWord(Word)) {
            int64_t Skip = 0;
            ReadParam(Skip);
            EatDelimiterBlank();
            return;
        }
        Known(Lower(Word));
    }

    void Known(const std::string& W) {
        int64_t N = 0;
        const bool Has = ReadParam(N);
        EatDelimiterBlank();
        auto Toggle = [&](TFontStyle S) { FRun.Style(S, !(Has && N == 0)); };
        if (W == "rtf")
            ReadFontTable();
        else if (W == "b")
            Toggle(fsBold);
        else if (W == "i")
            Toggle(fsItalic);
        else if (W == "ul")
            Toggle(fsUnderline);
        else if (W == "strike")
            Toggle(fsStrikeOut);
        else if (W == "ulnone")
            FRun.Style(fsUnderline, false);
        else if (W == "f" || W == "pnf") {
            if (Has && N >= 0 && N < int64_t(FRun.FFonts.size())) {
                TAttrRecord& R = FRun.Top();
                R.HasName = true;
                R.Name = FRun.FFonts[size_t(N)].first;
                R.Charset = FRun.FFonts[size_t(N)].second;
            }
        } else if (W == "fs") {
            // Sizes beyond what a font can show are capped rather than handed on.
            FRun.Top().Size = !Has ? 12 : N < 0 ? 72 : int32_t(std::min<int64_t>(N / 2, 1638));
        } else if (W == "cf") {
            if (Has && N >= 0 && N < int64_t(FRun.FColors.size()))
                FRun.Top().Color = FRun.FColors[size_t(N)];
        } else if (W == "highlight") {
            TAttrRecord& R = FRun.Top();
            R.BackSet = true;
            R.Back = -1;
            if (Has && N >= 0 && N < int64_t(FRun.FColors.size()) && !(N == 0 && FRun.FColors[0] == 0))
                R.Back = FRun.FColors[size_t(N)];
        } else if (W == "plain") {
            TAttrRecord& R = FRun.Top();
            const int32_t Tag = R.TagId;
            R = TAttrRecord();
            R.TagId = Tag;
            R.HasName = true;
            R.Name = FRun.FFonts.empty() ? std::string(DefaultExportFontName) : FRun.FFonts.front().first;
            R.Charset = FRun.FFonts.empty() ? 1 : FRun.FFonts.front().second;
            R.Size = 12;
            R.Color = 0;
            R.StylesTouched = true;
            R.BackSet = true;
        } else if (W == "line" || W == "par" || W == "row")
            FRun.Emit("\r\n");
        else if (W == "cell" || W == "tab")
            FRun.Emit("\t");
        else if (W == "u")
            Unicode(Has, N);
    }

    // "\u" n and its one replacement character. Values below 0 are the upper half of the 16-bit
    // range written signed; anything outside -32768..65535 is refused and shows nothing.
    void Unicode(bool Has, int64_t N) {
        if (Has && N < 0 && N >= -32768)
            N += 65536;
        if (Has && N >= 0 && N <= 65535) {
            const wchar_t W = wchar_t(N);
            char Buf[2] = {0, 0};
            const int Len = WideCharToMultiByte(CP_ACP, 0, &W, 1, Buf, 2, nullptr, nullptr);
            std::string S(Buf, Buf + std::max(0, Len));
            if (S.size() == 2 && S[1] == 0)
                S.resize(1);
            FRun.Emit(S);
        }
        // The replacement for readers without Unicode: one character, plain or "\'hh".
        if (FPos < FText.size()) {
            if (FText[FPos] == '\\' && FPos + 3 < FText.size() + 0 && FText[FPos + 1] == '\'')
                FPos += 4;
            else if (!IsRtfDelimiter(FText[FPos]))
                ++FPos;
        }
    }

    TInternalImporter FRun;
    const std::string& FText;
    size_t FPos = 0;
    bool FNoFontTable = false;
};

// --- HTML --------------------------------------------------------------------------------------------

enum THtmlTag : int32_t {
    htB,
    htI,
    htU,
    htS,
    htBr,
    htP,
    htBig,
    htSmall,
    htFont,
    htA,
    htBody,
    htHead,
    htTitle
};

int32_t HtmlTagId(const std::string& Name) {
    static const struct {
        const char* Name;
        THtmlTag Id;
    } Tags[] = {{"B", htB},       {"STRONG", htB}, {"I", htI},       {"EM", htI},      {"U", htU},
                {"S", htS},       {"BR", htBr},    {"P", htP},       {"BIG", htBig},   {"SMALL", htSmall},
                {"font", htFont}, {"A", htA},      {"Body", htBody}, {"Head", htHead}, {"Title", htTitle}};
    for (const auto& T : Tags)
        if (strcasecmp(T.Name, Name.c_str()) == 0)
            return T.Id;
    return -1;
}

int32_t ParseHtmlColor(std::string V) {
    if (!V.empty() && V[0] == '#')
        V.erase(0, 1);
    int32_t Parts[3] = {0, 0, 0};
    for (int I = 0; I < 3; ++I) {
        if (size_t(I * 2 + 1) < V.size()) {
            const int H = AsciiHexValue(V[I * 2]), L = AsciiHexValue(V[I * 2 + 1]);
            if (H >= 0 && L >= 0)
                Parts[I] = H * 16 + L;
        }
    }
    return Parts[0] | (Parts[1] << 8) | (Parts[2] << 16);
}

class THtmlReader {
public:
    THtmlReader(THSImporter& Owner, const std::string& Text) : FRun(Owner), FText(Text) {}

    void Run() {
        while (FPos < FText.size()) {
            const char C = FText[FPos];
            if (C == '<') {
                if (FText.compare(FPos, 4, "<!--") == 0) {
                    const size_t E = FText.find("-->", FPos + 4);
                    FPos = E == std::string::npos ? FText.size() : E + 3;
                } else {
                    Tag();
                }
            } else if (C == '\r' || C == '\n') {
                // A line break in the source is white space between words.
                if (C == '\r' && FPos + 1 < FText.size() && FText[FPos + 1] == '\n')
                    ++FPos;
                ++FPos;
                if (FLastWasText)
                    Emit(" ");
                FLastWasText = false;
            } else if (C == '>' || static_cast<unsigned char>(C) < ' ') {
                ++FPos;
            } else {
                const size_t Start = FPos;
                while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) >= ' ' &&
                       FText[FPos] != '<' && FText[FPos] != '>')
                    ++FPos;
                const std::string T = HtmlDecodeEntities(FText.substr(Start, FPos - Start));
                Emit(T);
                FLastWasText = !T.empty() && T.back() != ' ';
            }
        }
        FRun.Finish();
    }

private:
    void Emit(const std::string& S) { FRun.Emit(S); }

    void Tag() {
        ++FPos; // "<"
        bool Closing = false;
        if (FPos < FText.size() && FText[FPos] == '/') {
            Closing = true;
            ++FPos;
        }
        const size_t Start = FPos;
        while (FPos < FText.size() &&
               (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_'))
            ++FPos;
        const int32_t Id = HtmlTagId(FText.substr(Start, FPos - Start));
        std::vector<std::pair<std::string, std::string>> Attrs = ReadAttributes();
        if (Id < 0)
            return;
        if (Id == htHead || Id == htTitle) {
            // Everything up to the end of the element, or of the text when it never ends. The
            // title is the document's name, not its text.
            const std::string End = Id == htHead ? "</head" : "</title";
            const size_t E = FindNoCase(FText, End.c_str(), FPos);
            FPos = E == std::string::npos ? FText.size() : E + End.size();
            const size_t G = FText.find('>', FPos);
            FPos = G == std::string::npos ? FText.size() : G + 1;
            return;
        }
        if (Id == htBody) {
            for (const auto& [N, V] : Attrs)
                if (strcasecmp(N.c_str(), "link") == 0)
                    FLinkColor = ParseHtmlColor(V);
            return;
        }
        if (Closing) {
            if (Id == htBig)
                --FLevel;
            else if (Id == htSmall)
                ++FLevel;
            FRun.PopTag(Id);
            FLastWasText = false;
            return;
        }
        FRun.Push(Id);
        switch (Id) {
        case htB:
            FRun.Style(fsBold, true);
            break;
        case htI:
            FRun.Style(fsItalic, true);
            break;
        case htU:
            FRun.Style(fsUnderline, true);
            break;
        case htS:
            FRun.Style(fsStrikeOut, true);
            break;
        case htBr:
            Emit("\r\n");
            FLastWasText = false;
            break;
        case htP:
            Emit("\r\n\r\n");
            FLastWasText = false;
            break;
        case htBig:
        case htSmall:
            if (Id == htBig)
                ++FLevel;
            else if (FLevel != 1)
                --FLevel;
            FRun.Top().Size = HtmlSizeToPoints(FLevel);
            break;
        case htA:
            FRun.Style(fsUnderline, true);
            FRun.Top().Color = FLinkColor;
            break;
        case htFont:
            for (const auto& [N, V] : Attrs) {
                if (strcasecmp(N.c_str(), "face") == 0) {
                    FRun.Top().HasName = true;
                    FRun.Top().Name = V;
                    FRun.Top().Charset = 1;
                } else if (strcasecmp(N.c_str(), "size") == 0) {
                    size_t P = 0;
                    while (P < V.size() && (V[P] == '+' || V[P] == '-'))
                        ++P;
                    int32_t Size = 0;
                    bool Digits = false;
                    while (P < V.size() && std::isdigit(static_cast<unsigned char>(V[P])) && Size < 1000) {
                        Size = Size * 10 + (V[P++] - '0');
                        Digits = true;
                    }
                    FRun.Top().Size = HtmlSizeToPoints(Digits ? Size : 1);
                } else if (strcasecmp(N.c_str(), "color") == 0) {
                    FRun.Top().Color = ParseHtmlColor(V);
                }
            }
            break;
        default:
            break;
        }
    }

    // Name and value pairs up to the tag's ">"; a quoted value is whole, an unquoted one its first word.
    std::vector<std::pair<std::string, std::string>> ReadAttributes() {
        std::vector<std::pair<std::string, std::string>> Out;
        while (FPos < FText.size() && FText[FPos] != '>') {
            const char C = FText[FPos];
            if (std::isalpha(static_cast<unsigned char>(C)) || C == '_') {
                const size_t S = FPos;
                while (FPos < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos])) ||
                                               FText[FPos] == '_' || FText[FPos] == '-'))
                    ++FPos;
                std::string Name = FText.substr(S, FPos - S);
                size_t P = FPos;
                while (P < FText.size() &&
                       (FText[P] == ' ' || FText[P] == '\t' || FText[P] == '\r' || FText[P] == '\n'))
                    ++P;
                std::string Value;
                if (P < FText.size() && FText[P] == '=') {
                    ++P;
                    while (P < FText.size() && (FText[P] == ' ' || FText[P] == '\t'))
                        ++P;
                    if (P < FText.size() && (FText[P] == '"' || FText[P] == '\'')) {
                        const char Q = FText[P];
                        const size_t E = FText.find(Q, P + 1);
                        const size_t End = E == std::string::npos ? FText.size() : E;
                        Value = FText.substr(P + 1, End - P - 1);
                        P = E == std::string::npos ? FText.size() : E + 1;
                    } else {
                        const size_t S2 = P;
                        while (P < FText.size() && FText[P] != '>' &&
                               !std::isspace(static_cast<unsigned char>(FText[P])))
                            ++P;
                        Value = FText.substr(S2, P - S2);
                    }
                    FPos = P;
                }
                Out.push_back({Name, HtmlDecodeEntities(Value)});
            } else if (C == '"' || C == '\'') {
                const size_t E = FText.find(C, FPos + 1);
                FPos = E == std::string::npos ? FText.size() : E + 1;
            } else {
                ++FPos;
            }
        }
        if (FPos < FText.size())
            ++FPos; // ">"
        return Out;
    }

    TInternalImporter FRun;
    const std::string& FText;
    size_t FPos = 0;
    int32_t FLevel = 1;
    int32_t FLinkColor = 0xFF0000; // blue
    bool FLastWasText = false;
};

} // namespace

bool THSRtfImporter::IsValidStream(TStream& Stream) {
    char Head[5] = {};
    Stream.SetPosition(0);
    const int32_t Got = Stream.Read(Head, 5);
    Stream.SetPosition(0);
    return Got == 5 && std::memcmp(Head, "{\\rtf", 5) == 0;
}

void THSRtfImporter::ParseText(const std::string& Text) {
    TRtfReader(*this, Text).Run();
}

void THSHTMLImporter::ParseText(const std::string& Text) {
    THtmlReader(*this, Text).Run();
}
