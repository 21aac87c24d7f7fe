#pragma once
// Named text styles: colour-data byte n of a line selects style n. A style gives the run's font
// colour and style, its background, and whether it follows the memo's own font and colour.
// A table saves to and loads from ".RGB" colour-style files (the text form of objects).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/foundation/NamedItems.h"
#include "framework/ui/Graphics.h"

enum TUpdateMemoColors : uint8_t { mcNone, mcText, mcSelection, mcSearchMatch };

// What a table needs of the memo that owns it.
class TTextStyleHost {
public:
    virtual ~TTextStyleHost() = default;
    virtual TFont& HostFont() = 0;
    virtual TColor HostColor() const = 0;
    virtual void HostSetTextColors(TColor FontColor, TColor BackColor) = 0;
    virtual void HostSetSelectionColors(TColor FontColor, TColor BackColor) = 0;
    virtual void HostSetMatchColors(TColor FontColor, TColor BackColor) = 0;
    virtual bool HostUseMonoFont() const = 0;
    // The source recolours every line.
    virtual void HostParserChanged() = 0;
    // A parser-update bracket closed: metrics, caret and scroll ranges are recomputed.
    virtual void HostStylesUpdated(bool ParserWasChanged) = 0;
};

// A font that remembers the object it belongs to.
class TMemoFont : public TFont {
    ZEL_DECLARE_CLASS(TMemoFont)
public:
    explicit TMemoFont(TObject* Owner = nullptr) : FOwner(Owner) {}
    TObject* Owner() const { return FOwner; }

private:
    TObject* FOwner;
};

class TTextStyles;

class TTextStyle : public THSNamedItem {
    ZEL_DECLARE_CLASS(TTextStyle)
public:
    explicit TTextStyle(TCollection* Collection = nullptr);
    ~TTextStyle() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TMemoFont& Font() { return *FFont; }
    TMemoFont* FontPtr() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TBrush& Brush() { return *FBrush; }
    bool UseMemoFont() const { return FUseMemoFont; }
    void SetUseMemoFont(bool Value);
    bool UseMemoColor() const { return FUseMemoColor; }
    void SetUseMemoColor(bool Value);
    bool UpperCase() const { return FUpperCase; }
    void SetUpperCase(bool Value);
    TUpdateMemoColors UpdateMemoColors() const { return FUpdateMemoColors; }
    void SetUpdateMemoColors(TUpdateMemoColors Value);

    TTextStyleHost* Memo() const;
    void AssignMemoFont();
    void AssignMemoColor();
    void AssignFontNameAndSize();
    void DoUpdateMemoColors();
    void DoParserChanged(bool Force);

private:
    void FontChanged();
    TTextStyles* Styles() const;
    TColor FColor = clWindow;
    std::unique_ptr<TMemoFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    bool FUseMemoFont = false;
    bool FUseMemoColor = false;
    bool FUpperCase = false;
    TUpdateMemoColors FUpdateMemoColors = mcNone;
    bool FConstructing = true;
};

class TTextStyles : public TCustomHSNamedItems {
    ZEL_DECLARE_CLASS(TTextStyles)
public:
    // Owner: the memo's component (or null for the global options' table); Host: the memo.
    explicit TTextStyles(TComponent* Owner = nullptr, TTextStyleHost* Host = nullptr);
    ~TTextStyles() override;
    void Assign(TPersistent* Source) override;

    TTextStyle* GetItem(int Index) const { return static_cast<TTextStyle*>(Items(Index)); }
    TTextStyleHost* Host() const { return FHost; }
    void SetDefaultStyles();
    TTextStyle* AddStyleEx(const std::string& Name, TColor Color, TColor BkColor, TFontStyles FontStyle,
                           TUpdateMemoColors UpdateMemoColors, bool UseMemoFont, bool UseMemoColor);
    TTextStyle* AddStyle(const std::string& Name, TColor Color, TColor BkColor);
    void BeginParserUpdate() { ++FParserUpdateCount; }
    void EndParserUpdate();
    int32_t ParserUpdateCount() const { return FParserUpdateCount; }
    void SetParserPending() { FParserPending = true; }
    void UpdateParams();
    // -1 for an empty table.
    int GetMaxCharWidth();
    int GetMaxCharHeight();

    // The colour-style file: the table in the text form of objects, wrapped in a holder.
    // Saving replaces the file only once the whole text is written. Loading reads and checks the
    // whole file first: a corrupt or truncated file raises EHSError and leaves the table as it was.
    void SaveToFile(const std::string& FileName);
    void LoadFromFile(const std::string& FileName);
    // With the file dialogs; false when cancelled. Saving forces the extension ".RGB".
    bool LoadColorStyles();
    bool SaveColorStyles();

private:
    TTextStyleHost* FHost;
    int32_t FParserUpdateCount = 0;
    bool FParserPending = false;
};

// The global options' table loses the styles the editor added for scripts.
void RemoveExtraStyles(TTextStyles& Styles);
