#pragma once
// RTF and HTML importers: they turn formatted text into runs of plain text, each with its font and
// background colour, reported one by one through OnTextChanged.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Streams.h"
#include "framework/ui/Graphics.h"

class THSImporter;
using TImportTextEvent =
    std::function<void(THSImporter& Sender, const std::string& Text, TFont& Font, TColor BackColor)>;

class THSImporter {
public:
    THSImporter();
    virtual ~THSImporter();
    THSImporter(const THSImporter&) = delete;
    THSImporter& operator=(const THSImporter&) = delete;

    virtual void TextChanged(const std::string& Text, TFont& Font, TColor BackColor);
    virtual bool IsValidStream(TStream& Stream) = 0;
    virtual void ParseText(const std::string& Text) = 0;

    TFont& Font() { return *FFont; }
    TImportTextEvent OnTextChanged;

private:
    std::unique_ptr<TFont> FFont;
};

// Group nesting beyond this depth keeps the attributes of the deepest kept group, so a hostile
// document cannot grow the attribute stack without bound.
constexpr int32_t MaxImportDepth = 256;

// The RTF control words the readers act on (without the backslash), found without regard to case;
// the converters read with the same list.
bool KnownRtfWord(const std::string& Word);
// A character that ends a control word's name or its number.
bool IsRtfDelimiter(char C);
// True for a group whose first control word (without the backslash) marks content that is no text
// of the document (style sheets, list texts, pictures, objects, information): such groups are left
// out whole. Unless WholeWord, a word that is a piece of one of those names counts too (so "\pn"
// groups go as well).
bool SkippedRtfGroup(const std::string& Word, bool WholeWord = false);

class THSRtfImporter : public THSImporter {
public:
    // True when the stream starts with "{\rtf"; the position is set back to 0.
    bool IsValidStream(TStream& Stream) override;
    void ParseText(const std::string& Text) override;
};

class THSHTMLImporter : public THSImporter {
public:
    bool IsValidStream(TStream&) override { return true; }
    void ParseText(const std::string& Text) override;
};
