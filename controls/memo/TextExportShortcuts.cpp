#include "controls/memo/TextExportShortcuts.h"

#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

void HSExportTo(THSExporter& Exporter, const std::string& Text) {
    TStringList Lines;
    Lines.SetText(Text);
    Exporter.StartDocument("");
    Exporter.StartFontSize(10);
    for (int I = 0; I < Lines.Count(); ++I) {
        if (I > 0)
            Exporter.NewLine();
        Exporter.WriteString(Exporter.TranslateString(Lines[I]));
    }
    Exporter.FinishFontSize();
    Exporter.FinishDocument();
}

std::string HSExportToHTML(const std::string& Text) {
    std::string S = Text;
    S = StringReplaceAll(S, "<", "&lt;");
    S = StringReplaceAll(S, ">", "&gt;");
    S = StringReplaceAll(S, "\n", "<BR>");
    S = StringReplaceAll(S, "\r", "");
    // One pass leaves "&nbsp;  " behind for odd runs: repeat until no two blanks touch.
    while (S.find("  ") != std::string::npos)
        S = StringReplaceAll(S, "  ", "&nbsp; ");
    return S;
}

void HSProcessHTMLSysSymbols(std::string& Text) {
    // Each piece between two "<BR>" is escaped on its own, so no stand-in character for the
    // breaks can collide with one already in the text.
    std::string Out;
    size_t Pos = 0;
    for (;;) {
        const size_t Hit = Text.find("<BR>", Pos);
        std::string Piece = Text.substr(Pos, Hit == std::string::npos ? std::string::npos : Hit - Pos);
        Piece = StringReplaceAll(Piece, "<", "&lt;");
        Piece = StringReplaceAll(Piece, ">", "&gt;");
        while (Piece.find("\t\t") != std::string::npos)
            Piece = StringReplaceAll(Piece, "\t\t", "\t");
        Piece = StringReplaceAll(Piece, "\t", "&nbsp;-&nbsp;");
        Out += Piece;
        if (Hit == std::string::npos)
            break;
        Out += "<BR>";
        Pos = Hit + 4;
    }
    Text.swap(Out);
}
