#pragma once
// The RTF writer. Fragments are collected in a list and written on FinishDocument, because the
// font and colour tables, known only at the end, must stand right after the header.
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "controls/memo/Exporter.h"
#include "controls/memo/RtfHelpLists.h"

class TRTFWriterList;

// A collector that can claim tags and text of the list while it is on the list's stack.
class TWriterObject {
public:
    virtual ~TWriterObject() = default;
    virtual void BeginTag(const std::string&) {}
    virtual void EndTag(const std::string&) {}
    virtual bool IsEmbeddedTag(const std::string&) { return false; }
    virtual void WriteString(TStream& Stream, const std::string& S) { Stream.WriteString(S); }
    virtual void Flush(TStream&) {}
    virtual bool IsEmbeddedString(const std::string&) { return false; }
    void WritelnString(TStream& Stream, const std::string& S) { WriteString(Stream, S + "\r\n"); }
    std::variant<std::monostate, std::string, int32_t> Param;
};

class TWriterFontObject : public TWriterObject {
public:
    TWriterFontObject();
    bool IsEmbeddedTag(const std::string& Tag) override { return Tag == "f"; }
    int32_t AddFont(const std::string& Name, uint8_t Charset);
    void Flush(TStream& Stream) override;
    bool IgnoreCharSet = false;

private:
    std::vector<std::pair<std::string, uint8_t>> FFonts;
};

class TWriterColorObject : public TWriterObject {
public:
    bool IsEmbeddedTag(const std::string& Tag) override { return Tag == "cf" || Tag == "highlight"; }
    int32_t AddColor(TColor Color);
    void Flush(TStream& Stream) override;

private:
    std::vector<std::string> FColors;
};

class TWriterTableObject : public TWriterObject {
public:
    explicit TWriterTableObject(const TTableParams& Params) : FParams(Params) {}
    bool IsEmbeddedTag(const std::string& Tag) override { return Tag == "\\trowd\\" || Tag == "cell"; }
    void BeginTag(const std::string& Tag) override;
    bool IsEmbeddedString(const std::string& S) override;
    void Flush(TStream& Stream) override;

private:
    struct TRow {
        std::string Text;
        std::vector<std::pair<int32_t, std::string>> Cells;
    };
    TTableParams FParams;
    std::vector<TRow> FRows;
};

class TRTFWriterList {
public:
    TRTFWriterList();
    void WriteString(const std::string& S);
    void BeginTag(const std::string& Tag);
    void EndTag(const std::string& Tag);
    void StartWriterObject(std::unique_ptr<TWriterObject> Obj);
    void FinishWriterObject();
    void Flush(TStream& Stream);

    std::variant<std::monostate, std::string, int32_t> TagParam;
    uint8_t CharSet = 1;
    bool NoBrackets = false;
    TWriterFontObject& Fonts() { return *FFonts; }
    TWriterColorObject& Colors() { return *FColors; }
    // Filled by the help writers; the keywords go into the topic footnotes.
    THSRtfHelpLists HelpLists;

private:
    struct TItem {
        std::string Text;
        TWriterObject* Obj = nullptr;
    };
    std::string Open() const { return NoBrackets ? "" : "{"; }
    std::string Close() const { return NoBrackets ? "" : "}"; }
    void WritePage(TStream& Stream, const std::string& Item);
    std::vector<TItem> FItems;
    std::vector<std::unique_ptr<TWriterObject>> FOwned;
    std::vector<TWriterObject*> FStack;
    std::unique_ptr<TWriterFontObject> FFonts;
    std::unique_ptr<TWriterColorObject> FColors;
};

class THSRTFExporter : public THSExporter {
public:
    explicit THSRTFExporter(TStream* Stream);
    ~THSRTFExporter() override;

    // Space before and after each paragraph, in twips; written only when above 0.
    int32_t& SpaceBefore() { return FValue1; }
    int32_t& SpaceAfter() { return FValue2; }
    bool IgnoreCharSet() const { return FList->Fonts().IgnoreCharSet; }
    void SetIgnoreCharSet(bool Value) { FList->Fonts().IgnoreCharSet = Value; }

    void WriteString(const std::string& S) override { FList->WriteString(S); }
    // Escapes \, { and }, turns a tab into \tab and a byte above 127 into \'hh, so the output
    // stays 7-bit whatever the code page of the reader.
    std::string TranslateString(const std::string& S) override;
    void StartParagraph(TParagraphAlign Align) override;
    void FinishParagraph() override { EndTag("par\\pard"); }
    void StartNonScrolledArea() override { BeginTag(""); }
    void FinishNonScrolledArea() override;
    void NewLine() override;
    void StartFont(const std::string& Name) override { StartFontWithCharSet(Name, 1); }
    void StartFontWithCharSet(const std::string& Name, uint8_t Charset) override;
    void FinishFont() override { EndTag(""); }
    void StartBigFont() override;
    void FinishBigFont() override;
    void StartSmallFont() override;
    void FinishSmallFont() override;
    void StartFontSize(int32_t Points) override { BeginTag("fs" + std::to_string(Points * 2)); }
    void FinishFontSize() override { EndTag(""); }
    void StartItalic() override { BeginTag("i"); }
    void FinishItalic() override { EndTag(""); }
    void StartBold() override { BeginTag("b"); }
    void FinishBold() override { EndTag(""); }
    void StartUnderline() override { BeginTag("ul"); }
    void FinishUnderline() override { EndTag(""); }
    void StartStrikeOut() override { BeginTag("strike"); }
    void FinishStrikeOut() override { EndTag(""); }
    void StartNumberedList() override;
    void FinishNumberedList() override { EndTag(""); }
    void StartBulletedList() override;
    void FinishBulletedList() override { EndTag(""); }
    void StartBulletListItem() override;
    void FinishBulletListItem() override { EndTag("par"); }
    void StartNumberedListItem() override;
    void FinishNumberedListItem() override { EndTag("par"); }
    void StartQuote() override { BeginTag("pard\\li500"); }
    void FinishQuote() override { EndTag("par"); }
    void StartSubScript() override { BeginTag("sub"); }
    void FinishSubScript() override { EndTag(""); }
    void StartSuperScript() override { BeginTag("super"); }
    void FinishSuperScript() override { EndTag(""); }
    void StartColor(TColor Color) override;
    void FinishColor() override { EndTag(""); }
    void StartBackground(TColor) override {}
    void FinishBackground() override {}
    void StartBackColor(TColor Color) override;
    void FinishBackColor() override { EndTag(""); }
    void StartHRef(const std::string& Topic, TWindowStyle Style) override;
    void FinishHRef() override;
    void StartTable(const TTableParams& Params) override;
    void FinishTable() override;
    void StartTableRow() override { BeginTag("\\trowd\\"); }
    void FinishTableRow() override { EndTag("\\trowd\\"); }
    void StartTableDataCell(int32_t Width) override;
    void FinishTableDataCell() override { EndTag("cell"); }
    void StartDocument(const std::string& Title) override;
    void FinishDocument() override;
    void StartPage(const std::string& Title) override;
    void FinishPage() override { EndTag(""); }
    void AddSpaces(int32_t Count) override;
    void AddImage(const std::string& FileName, int32_t Width, int32_t Height) override;
    bool UseTabCharacter() override { return true; }
    void DrawHorzLine() override;
    void WriteExternalURL(const std::string& Caption, const std::string& Url) override;

    void BeginTag(const std::string& Tag) { FList->BeginTag(Tag); }
    void EndTag(const std::string& Tag) { FList->EndTag(Tag); }
    TRTFWriterList& WriterList() { return *FList; }
    void WriteTag(const std::string& S) { WriteString("{\\" + S + "}\r\n"); }

private:
    int32_t FFontSize = 24;
    std::string FTopic;
    TWindowStyle FWindowStyle = TWindowStyle::wsMainWindow;
    std::unique_ptr<TRTFWriterList> FList;
};
