#pragma once
// The HTML writer: each operation writes its tags straight to the stream.
#include <initializer_list>
#include <vector>

#include "controls/memo/Exporter.h"

class THSHTMLExporter : public THSExporter {
public:
    using THSExporter::THSExporter;

    std::string TranslateString(const std::string& S) override;
    void StartParagraph(TParagraphAlign Align) override;
    void FinishParagraph() override { EndTag("P"); }
    void StartNonScrolledArea() override { StartParagraph(TParagraphAlign::paLeft); }
    void FinishNonScrolledArea() override { FinishParagraph(); }
    void NewLine() override;
    void StartFont(const std::string& Name) override;
    void StartFontWithCharSet(const std::string& Name, uint8_t) override { StartFont(Name); }
    void FinishFont() override { EndTag("font"); }
    void StartBigFont() override { BeginTag("BIG"); }
    void FinishBigFont() override { EndTag("BIG"); }
    void StartSmallFont() override { BeginTag("SMALL"); }
    void FinishSmallFont() override { EndTag("SMALL"); }
    void StartFontSize(int32_t Points) override;
    void FinishFontSize() override { EndTag("font"); }
    void StartItalic() override { BeginTag("I"); }
    void FinishItalic() override { EndTag("I"); }
    void StartBold() override { BeginTag("B"); }
    void FinishBold() override { EndTag("B"); }
    void StartUnderline() override { BeginTag("U"); }
    void FinishUnderline() override { EndTag("U"); }
    void StartStrikeOut() override { BeginTag("S"); }
    void FinishStrikeOut() override { EndTag("S"); }
    void StartNumberedList() override { BeginTagWithLine("ol"); }
    void FinishNumberedList() override { EndTag("ol"); }
    void StartBulletedList() override { BeginTagWithLine("ul"); }
    void FinishBulletedList() override { EndTag("ul"); }
    void StartBulletListItem() override { BeginTagWithLine("li"); }
    void FinishBulletListItem() override { EndTag("li"); }
    void StartNumberedListItem() override { BeginTagWithLine("li"); }
    void FinishNumberedListItem() override { EndTag("li"); }
    void StartQuote() override { BeginTag("blockquote"); }
    void FinishQuote() override { EndTag("blockquote"); }
    void StartSubScript() override { BeginTag("sub"); }
    void FinishSubScript() override { EndTag("sub"); }
    void StartSuperScript() override { BeginTag("sup"); }
    void FinishSuperScript() override { EndTag("sup"); }
    void StartColor(TColor Color) override;
    void FinishColor() override { EndTag("font"); }
    void StartBackground(TColor Color) override;
    void FinishBackground() override;
    void StartBackColor(TColor) override {}
    void FinishBackColor() override {}
    void StartHRef(const std::string& Topic, TWindowStyle Style) override;
    void FinishHRef() override { EndTag("A"); }
    void StartTable(const TTableParams& Params) override;
    void FinishTable() override { EndTag("TABLE"); }
    void StartTableRow() override { BeginTagWithLine("TR"); }
    void FinishTableRow() override { EndTag("TR"); }
    void StartTableDataCell(int32_t Width) override;
    void FinishTableDataCell() override { EndTag("TD"); }
    void StartDocument(const std::string& Title) override;
    void FinishDocument() override;
    void StartPage(const std::string& Title) override { StartDocument(Title); }
    void FinishPage() override { FinishDocument(); }
    void AddSpaces(int32_t Count) override;
    void AddImage(const std::string& FileName, int32_t Width, int32_t Height) override;
    bool UseTabCharacter() override { return false; }
    void DrawHorzLine() override { WriteString("<HR>"); }
    void WriteExternalURL(const std::string& Caption, const std::string& Url) override;

    void BeginTag(const std::string& Tag) { WriteString("<" + Tag + ">"); }
    void EndTag(const std::string& Tag) { WriteString("</" + Tag + ">"); }
    void BeginTagWithLine(const std::string& Tag) { BeginComplexTag(Tag, ""); }
    // Attributes with an empty value are left out; values are escaped for a quoted attribute.
    void BeginTagEx(const std::string& Tag, std::initializer_list<const char*> Names,
                    std::initializer_list<std::string> Values);
    // A change of complex tag name starts a new line, so runs of one tag stay together.
    void BeginComplexTag(const std::string& Tag, const std::string& Full);

private:
    std::string FLastComplexTag;
    // A document already has its body: a background inside it colours a division instead of
    // opening a second body.
    bool FBodyOpen = false;
    std::vector<bool> FBackgroundDivs;
};

// Owns its stream: frees it when it goes.
class THTMLExporter : public THSHTMLExporter {
public:
    using THSHTMLExporter::THSHTMLExporter;
    ~THTMLExporter() override { delete FStream; }
};

// Escapes text for a quoted attribute value or the title: &, <, > and the double quote.
std::string HtmlAttributeText(const std::string& S);
// Decodes the five entities the writer produces, once, left to right: "&amp;quot;" gives "&quot;".
// Other entities stay as they are.
std::string HtmlDecodeEntities(const std::string& S);
