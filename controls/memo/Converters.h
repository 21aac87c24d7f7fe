#pragma once
// Whole-string converters of RTF text: RTF body text whose fonts and colours are moved into another
// RTF writer's tables, and RTF to HTML; plus plain text to RTF.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <memory>

#include "controls/memo/HtmlExporter.h"
#include "controls/memo/RtfExporter.h"
#include "framework/core/Streams.h"

// Adds a font (character set 1) or a colour to the writer's tables and answers its index; an entry
// that is there already keeps its index.
int32_t AddFont(THSRTFExporter& Exporter, const std::string& Name);
int32_t AddColor(THSRTFExporter& Exporter, TColor Color);

// One token of RTF source: its kind, the characters as they stood, and for control words the word
// without its backslash.
struct TRtfToken {
    enum TKind : uint8_t {
        tkText = 1,
        tkInteger = 4,
        tkDecimal = 5,
        tkWord = 6,
        tkGroupStart = 20,
        tkGroupEnd = 21,
        tkUnlisted = 22,
        tkHexChar = 23,
        tkEnd = 255
    };
    TKind Kind = tkEnd;
    std::string Raw;
    std::string Word;
};

// Reads RTF converters' input token by token. Known words are those the importers act on.
class TRTFConverter {
public:
    explicit TRTFConverter(const std::string& Text) : FText(Text) {}
    virtual ~TRTFConverter() = default;
    TRTFConverter(const TRTFConverter&) = delete;
    TRTFConverter& operator=(const TRTFConverter&) = delete;

    // Runs over the whole text; the result is in Output().
    void Execute();
    const std::string& Output() const { return FOutput; }
    // Source fonts by RTF number, and colours by index ("#RRGGBB" for HTML).
    const std::vector<std::string>& Fonts() const { return FFonts; }
    const std::vector<TColor>& Colors() const { return FColors; }

protected:
    TRtfToken Next();
    // A decimal parameter that directly follows (a "-" counts when a digit follows it).
    bool ReadParam(int32_t& Value);
    // From here to the font table group, which is read; nothing when there is none.
    void ReadFontTable();
    // At the "{" of a group whose first word is "\colortbl" (already taken): reads to its end.
    void ReadColorTable();
    // True when the group that starts at the current position (after "{") begins with the word.
    bool GroupStartsWith(const char* Word) const;
    virtual void Token(const TRtfToken& T) = 0;
    virtual void Finish() {}

    std::string FText;
    size_t FPos = 0;
    std::string FOutput;
    std::vector<std::string> FFonts;
    std::vector<TColor> FColors;
};

// Copies RTF body text, moving every font and colour into the target writer's tables.
class THSRTFConverter : public TRTFConverter {
public:
    THSRTFConverter(const std::string& Text, THSRTFExporter& Target) : TRTFConverter(Text), FTarget(Target) {}

protected:
    void Token(const TRtfToken& T) override;

private:
    THSRTFExporter& FTarget;
};

// Writes HTML for RTF text: bold, italic, underline, lists, fonts, colours, sizes, paragraphs.
class THSHtmlConverter : public TRTFConverter {
public:
    explicit THSHtmlConverter(const std::string& Text)
        : TRTFConverter(Text), FSink(std::make_unique<TStringStream>()),
          FEscaper(std::make_unique<THSHTMLExporter>(FSink.get())) {}

protected:
    void Token(const TRtfToken& T) override;
    void Finish() override;

private:
    void WriteTag(const std::string& Tag);
    void WriteTag(const std::string& Tag, const std::vector<std::pair<std::string, std::string>>& Attributes);
    void FlushTag(std::initializer_list<const char*> Tags);
    void PopGroup();
    void Align(const char* Value);
    void Opened(const std::string& Tag);
    // The tags an open RTF group has opened, earliest first ("" once closed early), and where
    // each name's open ones stand, so that no step walks all of a group's tags.
    struct TGroup {
        std::vector<std::string> Tags;
        std::map<std::string, std::set<size_t>> Open;
    };
    std::vector<TGroup> FGroups;
    size_t FFirstBreak = 0;
    // Escapes text the way the HTML writer does; its stream receives nothing.
    std::unique_ptr<TStringStream> FSink;
    std::unique_ptr<THSHTMLExporter> FEscaper;
};

// Runs a THSRTFConverter over Text for the target tables and answers its output.
std::string Rtf2Rtf(const std::string& Text, THSRTFExporter& Exporter);
std::string RtfToHtml(const std::string& Text);
// Plain text as one RTF document of 10-point lines.
void HSExportToRTFStream(TStream& Stream, const std::string& Text);
std::string HSExportToRTF(const std::string& Text);
