#pragma once
// Free formatting in the memo: with an attribute parser, each character's colour byte indexes a
// table of character attributes (font face, size, character set, pitch, style, colours) instead of
// the text styles. The memo's selection attributes read and change the formatting of the selection.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/SimpleParser.h"
#include "controls/textmodel/MemoSource.h"
#include "framework/core/Object.h"
#include "framework/ui/Graphics.h"

class TCustomHSMemo;

enum TConsistentAttr : uint8_t {
    csColor,
    csBkColor,
    csFace,
    csCharSet,
    csPitch,
    csSize,
    csBold,
    csItalic,
    csStrikeOut,
    csUnderline,
    csStyle
};
using TConsistentAttrs = uint16_t; // bit (1 << TConsistentAttr)
constexpr TConsistentAttrs AttrBit(TConsistentAttr A) {
    return TConsistentAttrs(1u << A);
}
constexpr TConsistentAttrs kAllConsistentAttrs = TConsistentAttrs((1u << 11) - 1);

class TMemoAttributes : public TPersistent {
    ZEL_DECLARE_CLASS(TMemoAttributes)
public:
    // Memo: the memo whose selection the attributes format; none for entries of a table.
    explicit TMemoAttributes(TCustomHSMemo* Memo = nullptr);
    ~TMemoAttributes() override;

    // From a TFont (colour, name, character set, style, size, pitch) or another TMemoAttributes.
    void Assign(TPersistent* Source) override;
    // As Assign, but the set of changed attributes stays as it was.
    void SafeAssign(TPersistent* Source);
    void BeginUpdate() { ++FUpdateCount; }
    // The last EndUpdate applies what changed to the selection.
    void EndUpdate();

    uint8_t Charset() const { return FCharset; }
    void SetCharset(uint8_t Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    int32_t Size() const { return FSize; }
    void SetSize(int32_t Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // The attributes set since the last apply.
    TConsistentAttrs ChangedAttrs() const { return FChanged; }
    void SetChangedAttrs(TConsistentAttrs Value) { FChanged = Value; }
    // All eleven, narrowed to those uniform over the memo's selection when it has an attribute parser.
    TConsistentAttrs GetConsistentAttrs();
    // All eleven; with ByStyle, without the style members that Style lacks.
    TConsistentAttrs GetAllAttributes(bool ByStyle) const;
    // The memo's font, and its colour as background, without marking changes.
    void AssignMemoFont();
    // The owned font, refreshed from the fields.
    TFont& GetFont();
    static bool EqualFontStyles(TFontStyles A, TFontStyles B, TFontStyle Style) {
        return ((A & Style) != 0) == ((B & Style) != 0);
    }
    // Every field equal (the table's lookup).
    bool SameAs(const TMemoAttributes& Other) const;
    // Which attributes differ from Other.
    TConsistentAttrs Differences(const TMemoAttributes& Other) const;
    // With a full table, whether new sets reuse indexes no longer in use (clearing undo) instead of
    // falling back to the base attributes. Kept by the memo's attribute parser.
    bool ResetOnOverFlow() const;
    void SetResetOnOverFlow(bool Value);

    TCustomHSMemo* Memo() const { return FMemo; }
    int32_t Index = -1;

private:
    void Changed(TConsistentAttrs Attrs);
    void Apply();
    TConsistentAttrs FChanged = 0;
    std::unique_ptr<TFont> FFont;
    uint8_t FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    TColor FBkColor = clWindow;
    std::string FName = "Courier New";
    TFontPitch FPitch = TFontPitch::fpDefault;
    int32_t FSize = 10;
    TFontStyles FStyle = 0;
    int32_t FUpdateCount = 0;
    TCustomHSMemo* FMemo = nullptr;
};

class TAttributeParser : public TSimpleParser {
public:
    // With a memo, entry 0 of the table is the memo's selection attributes (not owned).
    explicit TAttributeParser(TCustomHSMemo* Memo);
    ~TAttributeParser() override;

    TFont* GetFont(int32_t Index) override;
    bool GetBackColor(int32_t Index, uint32_t& Color) override;
    // The colours are data: the stored bytes stay as they are.
    int32_t ColorString(const std::string& Text, int32_t StartState, std::string& ColorData) override;
    bool StoreColorData() override { return !FUpdating; }
    void PrepareColorData(int32_t ALinePos, const std::string& Text, std::string& ColorData) override;

    int32_t Count() const { return int32_t(FTable.size()); }
    TMemoAttributes* Item(int32_t Index) const {
        return Index >= 0 && Index < Count() ? FTable[size_t(Index)] : nullptr;
    }
    // Frees every entry but entry 0 and formats the whole text with it again.
    void ClearStyles();
    // The index of an equal entry, or of a new one; 0 when the table is full (see ResetOnOverFlow).
    int32_t AddNewAttribute(const TMemoAttributes& Attributes);
    // The entry of the character at text position P.
    void GetAttribute(POINT P, TMemoAttributes& Attributes);
    // Removes from Consistent every attribute in which a selected character differs from Attributes.
    void GetAttributes(const TMemoRect& Rect, TSelectionType Type, const TMemoAttributes& Attributes,
                       TConsistentAttrs& Consistent);
    // Applies the changed attributes of Attributes to every selected character.
    void SetAttribute(const TMemoRect& Rect, TSelectionType Type, const TMemoAttributes& Attributes);
    // One line between two screen columns (INT_MAX: to the end of the line).
    void GetStrAttribute(int32_t Line, int32_t From, const TMemoAttributes& Attr,
                         TConsistentAttrs& Consistent, int32_t To);
    void SetStrAttribute(int32_t Line, int32_t From, int32_t To, const TMemoAttributes& Attributes);
    bool ResetOnOverFlow = false;

private:
    TCustomMemoSource* Source() const;
    // Character positions of the columns [From, To) of a line, clipped to its text.
    bool CharRange(int32_t Line, int32_t From, int32_t To, int32_t& A, int32_t& B) const;
    void SelectionColumns(const TMemoRect& Rect, TSelectionType Type, int32_t Line, int32_t& From,
                          int32_t& To) const;
    int32_t AddEntry(const TMemoAttributes& Attributes);
    TCustomHSMemo* FMemo;
    std::vector<TMemoAttributes*> FTable; // entry 0 may be the memo's own object
    bool FOwnsFirst = true;
    bool FUpdating = false;
};
