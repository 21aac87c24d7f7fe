#pragma once
// The writer the memo's export driver talks to: one operation per formatting step, writing into a
// stream the caller keeps. Concrete writers produce HTML or RTF.
#include <cstdint>
#include <string>

#include "framework/core/Streams.h"
#include "framework/ui/Graphics.h"

enum class TParagraphAlign : uint8_t { paLeft, paCenter, paRight, paJustify };
enum class TWindowStyle : uint8_t { wsMainWindow, wsNoWindow, wsSecondaryWindow };
enum class TTableFrame : uint8_t {
    tfVoid,
    tfAbove,
    tfBelow,
    tfHsides,
    tfLhs,
    tfRhs,
    tfVsides,
    tfBox,
    tfBorder
};
enum class TTableRules : uint8_t { trNone, trGroups, trRows, trCols, trAll };

struct TTableParams {
    int32_t Width = 0;
    int32_t Border = 0;
    TTableFrame Frame = TTableFrame::tfVoid;
    TTableRules Rules = TTableRules::trNone;
    int32_t CellSpacing = 0;
    int32_t CellPadding = 0;
};

// The document font both writers start with.
extern const char* const DefaultExportFontName;

class THSExporter {
public:
    explicit THSExporter(TStream* Stream) : FStream(Stream) {}
    virtual ~THSExporter() = default;
    THSExporter(const THSExporter&) = delete;
    THSExporter& operator=(const THSExporter&) = delete;

    virtual void WriteString(const std::string& S);
    virtual std::string TranslateString(const std::string& S) = 0;
    virtual void StartParagraph(TParagraphAlign Align) = 0;
    virtual void FinishParagraph() = 0;
    virtual void StartNonScrolledArea() = 0;
    virtual void FinishNonScrolledArea() = 0;
    virtual void NewLine() = 0;
    virtual void StartFont(const std::string& Name) = 0;
    virtual void StartFontWithCharSet(const std::string& Name, uint8_t Charset) = 0;
    virtual void FinishFont() = 0;
    virtual void StartBigFont() = 0;
    virtual void FinishBigFont() = 0;
    virtual void StartSmallFont() = 0;
    virtual void FinishSmallFont() = 0;
    virtual void StartFontSize(int32_t Points) = 0;
    virtual void FinishFontSize() = 0;
    virtual void StartItalic() = 0;
    virtual void FinishItalic() = 0;
    virtual void StartBold() = 0;
    virtual void FinishBold() = 0;
    virtual void StartUnderline() = 0;
    virtual void FinishUnderline() = 0;
    virtual void StartStrikeOut() = 0;
    virtual void FinishStrikeOut() = 0;
    virtual void StartNumberedList() = 0;
    virtual void FinishNumberedList() = 0;
    virtual void StartBulletedList() = 0;
    virtual void FinishBulletedList() = 0;
    virtual void StartBulletListItem() = 0;
    virtual void FinishBulletListItem() = 0;
    virtual void StartNumberedListItem() = 0;
    virtual void FinishNumberedListItem() = 0;
    virtual void StartQuote() = 0;
    virtual void FinishQuote() = 0;
    virtual void StartSubScript() = 0;
    virtual void FinishSubScript() = 0;
    virtual void StartSuperScript() = 0;
    virtual void FinishSuperScript() = 0;
    virtual void StartColor(TColor Color) = 0;
    virtual void FinishColor() = 0;
    virtual void StartBackground(TColor Color) = 0;
    virtual void FinishBackground() = 0;
    virtual void StartBackColor(TColor Color) = 0;
    virtual void FinishBackColor() = 0;
    virtual void StartHRef(const std::string& Topic, TWindowStyle Style) = 0;
    virtual void FinishHRef() = 0;
    virtual void StartTable(const TTableParams& Params) = 0;
    virtual void FinishTable() = 0;
    virtual void StartTableRow() = 0;
    virtual void FinishTableRow() = 0;
    virtual void StartTableDataCell(int32_t Width) = 0;
    virtual void FinishTableDataCell() = 0;
    virtual void StartDocument(const std::string& Title) = 0;
    virtual void FinishDocument() = 0;
    virtual void StartPage(const std::string& Title) = 0;
    virtual void FinishPage() = 0;
    virtual void AddSpaces(int32_t Count) = 0;
    virtual void AddImage(const std::string& FileName, int32_t Width, int32_t Height) = 0;
    virtual bool UseTabCharacter() = 0;
    virtual void DrawHorzLine() = 0;
    virtual void WriteExternalURL(const std::string& Caption, const std::string& Url) = 0;

    TStream* Stream() const { return FStream; }

protected:
    int32_t FValue1 = 0;
    int32_t FValue2 = 0;
    TStream* FStream;
};

// "#RRGGBB" of a colour, system colours resolved.
std::string HtmlColorText(TColor Color);
// The HTML size 1..7 of a point size, and back.
int32_t HtmlFontSize(int32_t Points);
int32_t HtmlSizeToPoints(int32_t HtmlSize);
