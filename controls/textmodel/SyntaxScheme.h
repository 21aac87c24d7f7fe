#pragma once
// Syntax schemes: a language described as data. A tree of syntax blocks (regions of text with
// their own rules, such as the inside of a style rule between braces), each listing its comment,
// string, number and identifier delimiters and keyword sets, plus a table of display attributes
// addressed by font ID (0-254). The scheme-driven parser (SchemeParser.h) colours text from it.

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/Graphics.h"

class TStream;
class TSyntaxScheme;

using TSchemeCharSet = std::bitset<256>;
// "a-z" is a range; a backslash takes the next character literally.
TSchemeCharSet StringToCharSet(const std::string& text);
std::string CharSetToString(const TSchemeCharSet& set);

// A scheme that cannot be read or does not fit the parser's limits.
ZEL_DECLARE_EXCEPTION(ESyntaxSchemeError, Exception)

#define ZEL_SCHEME_PROP(Type, Name)                                                                          \
public:                                                                                                      \
    Type Name = Type();                                                                                      \
    Type Get##Name() const {                                                                                 \
        return Name;                                                                                         \
    }                                                                                                        \
    void Set##Name(Type v) {                                                                                 \
        Name = v;                                                                                            \
    }

#define ZEL_SCHEME_STR(Name)                                                                                 \
public:                                                                                                      \
    std::string Name;                                                                                        \
    std::string Get##Name() const {                                                                          \
        return Name;                                                                                         \
    }                                                                                                        \
    void Set##Name(const std::string& v) {                                                                   \
        Name = v;                                                                                            \
    }

class TToken : public TCollectionItem {
    ZEL_DECLARE_CLASS(TToken)
public:
    explicit TToken(TCollection* c = nullptr) : TCollectionItem(c) {}
    void Assign(TPersistent* source) override;
    int32_t FontID = -1;
    bool UseToken = true;
    int32_t GetFontID() const { return FontID; }
    void SetFontID(int32_t v) { FontID = v; }
    bool GetUseToken() const { return UseToken; }
    void SetUseToken(bool v) { UseToken = v; }
};

class TLineToken : public TToken {
    ZEL_DECLARE_CLASS(TLineToken)
    ZEL_SCHEME_STR(LeftDelimiter)
public:
    explicit TLineToken(TCollection* c = nullptr) : TToken(c) {}
    void Assign(TPersistent* source) override;
};

class TBlockToken : public TLineToken {
    ZEL_DECLARE_CLASS(TBlockToken)
    ZEL_SCHEME_STR(RightDelimiter)
public:
    explicit TBlockToken(TCollection* c = nullptr) : TLineToken(c) {}
    void Assign(TPersistent* source) override;
};

class TKeywordSet : public TToken {
    ZEL_DECLARE_CLASS(TKeywordSet)
    ZEL_SCHEME_STR(Name)
    ZEL_SCHEME_STR(Keywords)
public:
    explicit TKeywordSet(TCollection* c = nullptr) : TToken(c) {}
    void Assign(TPersistent* source) override;
};

template <class Item> class TSchemeList : public TCollection {
public:
    TSchemeList() : TCollection(Item::StaticClass()) {}
    Item* GetItem(int32_t i) const { return static_cast<Item*>(Items(i)); }
    void SetItem(int32_t i, Item* v) { GetItem(i)->Assign(v); }
    Item* AddItem() { return static_cast<Item*>(Add()); }
};

class TLineTokenList : public TSchemeList<TLineToken> {
    ZEL_DECLARE_CLASS(TLineTokenList)
};
class TBlockTokenList : public TSchemeList<TBlockToken> {
    ZEL_DECLARE_CLASS(TBlockTokenList)
};
class TKeywordSetList : public TSchemeList<TKeywordSet> {
    ZEL_DECLARE_CLASS(TKeywordSetList)
};

class TDelimiters : public TCollectionItem {
    ZEL_DECLARE_CLASS(TDelimiters)
    ZEL_SCHEME_STR(LeftDelimiter)
    ZEL_SCHEME_STR(RightDelimiter)
    ZEL_SCHEME_PROP(bool, DelimitersArePartOfBlock)
public:
    explicit TDelimiters(TCollection* c = nullptr) : TCollectionItem(c) {}
    void Assign(TPersistent* source) override;
    bool UseToken = true;
    bool GetUseToken() const { return UseToken; }
    void SetUseToken(bool v) { UseToken = v; }
};

class TDelimitersList : public TSchemeList<TDelimiters> {
    ZEL_DECLARE_CLASS(TDelimitersList)
};

class TAttrItem : public TCollectionItem {
    ZEL_DECLARE_CLASS(TAttrItem)
public:
    // A new item in a font table takes the lowest free ID.
    explicit TAttrItem(TCollection* c = nullptr);
    void Assign(TPersistent* source) override;
    int32_t FontID = -1;
    std::string GlobalAttrID;
    int32_t BlockID = 0;
    TFont Font;
    TColor BackColor = clWindow;
    bool UseDefFont = true, UseDefBack = true;
    // Resolved by CreateAttrIDHash; never streamed.
    TFont ResolvedFont;
    TColor ResolvedBack = clWindow;

    int32_t GetFontID() const { return FontID; }
    void SetFontID(int32_t v) { FontID = v; }
    std::string GetGlobalAttrID() const { return GlobalAttrID; }
    void SetGlobalAttrID(const std::string& v) { GlobalAttrID = v; }
    int32_t GetBlockID() const { return BlockID; }
    void SetBlockID(int32_t v) { BlockID = v; }
    TFont* GetFont() const { return const_cast<TFont*>(&Font); }
    void SetFont(TFont* v) { Font.Assign(v); }
    TColor GetBackColor() const { return BackColor; }
    void SetBackColor(TColor v) { BackColor = v; }
    bool GetUseDefFont() const { return UseDefFont; }
    void SetUseDefFont(bool v) { UseDefFont = v; }
    bool GetUseDefBack() const { return UseDefBack; }
    void SetUseDefBack(bool v) { UseDefBack = v; }
};

class TFontList : public TSchemeList<TAttrItem> {
    ZEL_DECLARE_CLASS(TFontList)
public:
    // Lowest ID 0-255 not in use; -1 when all are used.
    int32_t GetUniqueID() const;
    TAttrItem* GetItemByID(int32_t id) const;
    TFont* GetFontByID(int32_t id) const;
};

// One packed opening delimiter of a child block: bit 17 part of block, bit 16 the child's case
// flag, bits 8-15 the child's block index, bits 0-7 the delimiter's index.
struct TChildDelimiter {
    std::string Text;
    int32_t Code = 0;
};

class TSyntaxBlock : public TCollectionItem {
    ZEL_DECLARE_CLASS(TSyntaxBlock)
public:
    explicit TSyntaxBlock(TCollection* c = nullptr);
    void Assign(TPersistent* source) override;

    ZEL_SCHEME_STR(Name)
    ZEL_SCHEME_PROP(int32_t, ID)
    ZEL_SCHEME_PROP(int32_t, ParentID)
    ZEL_SCHEME_PROP(bool, CaseSensitive)
    ZEL_SCHEME_PROP(bool, UseMetaSymbol)
    ZEL_SCHEME_PROP(bool, UseMetaToWrapLines)
    ZEL_SCHEME_PROP(char, MetaSymbol)
    ZEL_SCHEME_PROP(int32_t, FIText)
    ZEL_SCHEME_PROP(int32_t, FIIntNum)
    ZEL_SCHEME_PROP(int32_t, FIFloatNum)
    ZEL_SCHEME_PROP(int32_t, FIHexNum)
    ZEL_SCHEME_PROP(int32_t, FIDirective)
    ZEL_SCHEME_PROP(int32_t, FISymbol)
    ZEL_SCHEME_PROP(int32_t, FIIdentifier)
    ZEL_SCHEME_PROP(bool, UseSymbols)
    ZEL_SCHEME_PROP(bool, UseLineDirectives)
    ZEL_SCHEME_PROP(bool, UseComments)
    ZEL_SCHEME_PROP(bool, UseSingleLineComments)
    ZEL_SCHEME_PROP(bool, UseMultiLineComments)
    ZEL_SCHEME_PROP(bool, UseFullLineComments)
    ZEL_SCHEME_PROP(bool, UseStrings)
    ZEL_SCHEME_PROP(bool, UseSingleLineStrings)
    ZEL_SCHEME_PROP(bool, UseMultiLineStrings)
    ZEL_SCHEME_PROP(bool, UseNumbers)
    ZEL_SCHEME_PROP(bool, UsePrefixedNumbers)
    ZEL_SCHEME_PROP(bool, UseSuffixedNumbers)
    ZEL_SCHEME_PROP(bool, UseMultipleNumSuffixes)
    ZEL_SCHEME_PROP(bool, UsePrefixedSuffixedNumbers)
    ZEL_SCHEME_PROP(bool, UsePSNumComposition)
    ZEL_SCHEME_PROP(bool, UseIdentifiers)
    ZEL_SCHEME_PROP(bool, UsePrefixedIdentifiers)
    ZEL_SCHEME_PROP(bool, UseSuffixedIdentifiers)
    ZEL_SCHEME_PROP(bool, UsePrefixedSuffixedIdentifiers)
    ZEL_SCHEME_PROP(bool, UseKeywords)
    ZEL_SCHEME_STR(LineDirectivePrefix)

public:
    TDelimitersList BlockDelimiters;
    TLineTokenList SingleLineCommentDelimiters;
    TBlockTokenList MultiLineCommentDelimiters;
    TLineTokenList FullLineCommentDelimiters;
    TBlockTokenList SingleLineStringDelimiters;
    TBlockTokenList MultiLineStringDelimiters;
    TLineTokenList NumPrefixes;
    TLineTokenList NumSuffixes;
    TBlockTokenList NumPrefixesSuffixes;
    TLineTokenList IdentPrefixes;
    TLineTokenList IdentSuffixes;
    TBlockTokenList IdentPrefixesSuffixes;
    TKeywordSetList KeywordSets;
    TSchemeCharSet FirstIdentChars, OtherIdentChars;

    std::string GetFirstIdentChars() const { return CharSetToString(FirstIdentChars); }
    void SetFirstIdentChars(const std::string& v) { FirstIdentChars = StringToCharSet(v); }
    std::string GetOtherIdentChars() const { return CharSetToString(OtherIdentChars); }
    void SetOtherIdentChars(const std::string& v) { OtherIdentChars = StringToCharSet(v); }

    // Working data built by InitScheme (never streamed).
    struct TActive {
        std::vector<const TLineToken*> Items;
        std::vector<int32_t> Indexes; // the entries' indexes in their lists
    };
    TActive SingleComments, MultiComments, FullComments, SingleStrings, MultiStrings, NumPre, NumSuf,
        IdentPre, IdentSuf;
    std::vector<TChildDelimiter> ChildrenOutside; // delimiters not part of the child
    std::vector<TChildDelimiter> ChildrenInside;  // delimiters part of the child
    // Per active keyword set: one comma-framed word list per first character.
    std::vector<std::pair<const TKeywordSet*, std::array<std::string, 256>>> KeywordTables;

    // The token lists by their property names, in streaming order.
    std::vector<std::pair<std::string, TCollection*>> TokenLists() const;
};

class TSyntaxBlockList : public TSchemeList<TSyntaxBlock> {
    ZEL_DECLARE_CLASS(TSyntaxBlockList)
};

// The streamed form of one entry of a block's delimiter or keyword lists. Blocks stream their
// lists through the scheme as one flat collection (block index and list name per entry), so
// that a stored scheme holds no collection inside a collection item.
class TSchemeListEntry : public TCollectionItem {
    ZEL_DECLARE_CLASS(TSchemeListEntry)
    ZEL_SCHEME_STR(List)
    ZEL_SCHEME_STR(LeftDelimiter)
    ZEL_SCHEME_STR(RightDelimiter)
    ZEL_SCHEME_STR(Name)
    ZEL_SCHEME_STR(Keywords)
public:
    explicit TSchemeListEntry(TCollection* c = nullptr) : TCollectionItem(c) {}
    int32_t Block = 0;
    int32_t FontID = -1;
    bool UseToken = true;
    bool DelimitersArePartOfBlock = false;
};

class TSchemeListEntries : public TSchemeList<TSchemeListEntry> {
    ZEL_DECLARE_CLASS(TSchemeListEntries)
};

// One entry of the list of open-block chains: block index, opening delimiter, the entry below.
struct TBlockInfo {
    int32_t Block = 0;
    int32_t Delimiter = -1;
    int32_t Link = -1;
};

// The parser that holds a scheme, as the scheme sees it: the scheme re-initialises through it and
// takes its base attributes from it, without depending on the parser that colours from it.
class ISchemeOwner {
public:
    virtual void InitParser() = 0;
    // Called by the scheme at the end of its initialisation.
    virtual void SchemeWasInitialised() = 0;
    virtual TAttrItem& DefaultAttr() = 0;

protected:
    ~ISchemeOwner() = default;
};

class TSyntaxScheme : public TPersistent {
    ZEL_DECLARE_CLASS(TSyntaxScheme)
public:
    TSyntaxScheme();
    ~TSyntaxScheme() override;
    void Assign(TPersistent* source) override;

    // Limits of the parser's line state: blocks and chains are counted in 8 bits, a block's
    // opening delimiters in 6, the entries of a delimiter list in 8.
    static constexpr int32_t kMaxBlocks = 256;
    static constexpr int32_t kMaxChains = 256;
    static constexpr int32_t kMaxBlockDelimiters = 64;
    static constexpr int32_t kMaxListEntries = 256;

    std::string Name;
    int32_t SyntaxVersion = 1;
    TSyntaxBlockList SyntaxBlocks;
    TFontList FontTable;
    TAttrItem Whitespace, Url;
    ISchemeOwner* Owner = nullptr;
    bool UseGlobalOptions = false;
    std::array<TAttrItem*, 256> AttrTable{};
    TSchemeCharSet SymbolSet;
    std::vector<TBlockInfo> BlockStack;

    std::string GetName() const { return Name; }
    void SetName(const std::string& v) { Name = v; }
    int32_t GetSyntaxVersion() const { return SyntaxVersion; }
    void SetSyntaxVersion(int32_t v) { SyntaxVersion = v; }
    // The blocks' lists as streamed; reading them back distributes them (DistributeBlockLists).
    TSchemeListEntries* GetBlockLists() const;
    void SetBlockLists(TSchemeListEntries* v) { FBlockLists.Assign(v); }
    TSyntaxBlockList* GetSyntaxBlocks() const { return const_cast<TSyntaxBlockList*>(&SyntaxBlocks); }
    void SetSyntaxBlocks(TSyntaxBlockList* v) { SyntaxBlocks.Assign(v); }
    TFontList* GetFontTable() const { return const_cast<TFontList*>(&FontTable); }
    void SetAttrTable(TFontList* v) { FontTable.Assign(v); }

    // Lowest ID 0-255 no block uses; 0 when all are used.
    int32_t GetUniqueBlockID() const;
    void ClearContents();
    // Tells the owning parser (or, without one, initialises the scheme itself).
    void SchemeChanged();
    void UpdateSchemeVersion();
    // Raises ESyntaxSchemeError for a scheme the parser could not represent (see the limits
    // above, a block that is its own ancestor, an unknown parent).
    void Validate() const;
    void InitScheme();
    void CreateAttrIDHash();

    // Loading checks the whole scheme first: a scheme that cannot be read or validated raises
    // ESyntaxSchemeError and this scheme keeps its contents.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void LoadFromText(const std::string& text);
    // The program's raw-data resource of that name, read as by LoadFromStream.
    void LoadFromResource(const std::string& name);
    std::string SaveToText();

    // The style-sheet scheme the editor carries.
    static void FillStyleSheetScheme(TSyntaxScheme& scheme);

private:
    void AdoptFrom(TSyntaxScheme& loaded);
    // Moves streamed list entries into their blocks; raises ESyntaxSchemeError for a bad entry.
    void DistributeBlockLists();
    mutable TSchemeListEntries FBlockLists;
};
#undef ZEL_SCHEME_PROP
#undef ZEL_SCHEME_STR
