#include "controls/textmodel/SyntaxScheme.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "controls/foundation/HSResStrings.h"
#include "controls/textmodel/EnvOptionListeners.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

namespace {

// Property builders over plain fields, so the long tables below need no accessor per field.
template <class C, class T> TPropInfo OrdField(const char* name, TTypeKind kind, T C::*field, int64_t def) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [field](TObject* o) { return static_cast<int64_t>(static_cast<C*>(o)->*field); };
    p.SetOrd = [field](TObject* o, int64_t v) {
        if constexpr (std::is_same_v<T, bool>)
            static_cast<C*>(o)->*field = v != 0;
        else
            static_cast<C*>(o)->*field = static_cast<T>(v);
    };
    return p.WithDefault(def);
}
template <class C> TPropInfo BoolField(const char* name, bool C::*field, bool def = false) {
    return OrdField<C, bool>(name, tkBool, field, def ? 1 : 0);
}
template <class C> TPropInfo IntField(const char* name, int32_t C::*field, int32_t def) {
    return OrdField<C, int32_t>(name, tkInteger, field, def);
}
template <class C> TPropInfo StrField(const char* name, std::string C::*field) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkString;
    p.GetStr = [field](TObject* o) { return static_cast<C*>(o)->*field; };
    p.SetStr = [field](TObject* o, const std::string& v) { static_cast<C*>(o)->*field = v; };
    return p;
}
template <class C, class L> TPropInfo ListField(const char* name, L C::*field) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkClass;
    p.PropClass = &L::StaticClass;
    p.GetObj = [field](TObject* o) -> TObject* { return &(static_cast<C*>(o)->*field); };
    p.SetObj = [field](TObject* o, TObject* v) {
        (static_cast<C*>(o)->*field).Assign(static_cast<TPersistent*>(v));
    };
    return p;
}
template <class C> std::function<bool(TObject*)> When(bool C::*field) {
    return [field](TObject* o) { return static_cast<C*>(o)->*field; };
}

// Block lists are streamed through the scheme (see TSchemeListEntry), never by the block.
bool Never(TObject*) {
    return false;
}

TSchemeCharSet DefaultFirstIdentChars() {
    return StringToCharSet("A-Z_a-z");
}
TSchemeCharSet DefaultOtherIdentChars() {
    return StringToCharSet("0-9A-Z_a-z");
}

} // namespace

ZEL_DEFINE_CLASS(TToken, TCollectionItem,
                 {IntField<TToken>("FontID", &TToken::FontID, -1),
                  BoolField<TToken>("UseToken", &TToken::UseToken, true)})
ZEL_DEFINE_CLASS(TLineToken, TToken, {StrField<TLineToken>("LeftDelimiter", &TLineToken::LeftDelimiter)})
ZEL_DEFINE_CLASS(TBlockToken, TLineToken,
                 {StrField<TBlockToken>("RightDelimiter", &TBlockToken::RightDelimiter)})
ZEL_DEFINE_CLASS(TKeywordSet, TToken,
                 {StrField<TKeywordSet>("Name", &TKeywordSet::Name),
                  StrField<TKeywordSet>("Keywords", &TKeywordSet::Keywords)})
ZEL_DEFINE_CLASS(TLineTokenList, TCollection, {})
ZEL_DEFINE_CLASS(TBlockTokenList, TCollection, {})
ZEL_DEFINE_CLASS(TKeywordSetList, TCollection, {})
ZEL_DEFINE_CLASS(TDelimiters, TCollectionItem,
                 {StrField<TDelimiters>("LeftDelimiter", &TDelimiters::LeftDelimiter),
                  StrField<TDelimiters>("RightDelimiter", &TDelimiters::RightDelimiter),
                  BoolField<TDelimiters>("DelimitersArePartOfBlock", &TDelimiters::DelimitersArePartOfBlock),
                  BoolField<TDelimiters>("UseToken", &TDelimiters::UseToken, true)})
ZEL_DEFINE_CLASS(TDelimitersList, TCollection, {})
// A font table item's FontID is always written: an item made while reading takes the lowest free
// ID, so an ID left out would not read back as -1 (the ID of an item beyond the 256th).
ZEL_DEFINE_CLASS(TAttrItem, TCollectionItem,
                 {IntField<TAttrItem>("FontID", &TAttrItem::FontID, -1).WithoutDefault(),
                  StrField<TAttrItem>("GlobalAttrID", &TAttrItem::GlobalAttrID),
                  IntField<TAttrItem>("BlockID", &TAttrItem::BlockID, 0),
                  Prop::Object<TAttrItem>("Font", &TAttrItem::GetFont, &TAttrItem::SetFont),
                  IntField<TAttrItem>("BackColor", &TAttrItem::BackColor, clWindow),
                  BoolField<TAttrItem>("UseDefFont", &TAttrItem::UseDefFont, true),
                  BoolField<TAttrItem>("UseDefBack", &TAttrItem::UseDefBack, true)})
ZEL_DEFINE_CLASS(TFontList, TCollection, {})
ZEL_DEFINE_CLASS(
    TSyntaxBlock, TCollectionItem,
    {StrField<TSyntaxBlock>("Name", &TSyntaxBlock::Name),
     IntField<TSyntaxBlock>("ID", &TSyntaxBlock::ID, -1),
     IntField<TSyntaxBlock>("ParentID", &TSyntaxBlock::ParentID, -1),
     BoolField<TSyntaxBlock>("CaseSensitive", &TSyntaxBlock::CaseSensitive),
     BoolField<TSyntaxBlock>("UseMetaSymbol", &TSyntaxBlock::UseMetaSymbol),
     BoolField<TSyntaxBlock>("UseMetaToWrapLines", &TSyntaxBlock::UseMetaToWrapLines, true)
         .StoredIf(When(&TSyntaxBlock::UseMetaSymbol)),
     OrdField<TSyntaxBlock, char>("MetaSymbol", tkChar, &TSyntaxBlock::MetaSymbol, 0)
         .StoredIf(When(&TSyntaxBlock::UseMetaSymbol)),
     IntField<TSyntaxBlock>("FIText", &TSyntaxBlock::FIText, -1),
     IntField<TSyntaxBlock>("FIIntNum", &TSyntaxBlock::FIIntNum, -1),
     IntField<TSyntaxBlock>("FIFloatNum", &TSyntaxBlock::FIFloatNum, -1),
     IntField<TSyntaxBlock>("FIHexNum", &TSyntaxBlock::FIHexNum, -1),
     IntField<TSyntaxBlock>("FIDirective", &TSyntaxBlock::FIDirective, -1),
     IntField<TSyntaxBlock>("FISymbol", &TSyntaxBlock::FISymbol, -1),
     IntField<TSyntaxBlock>("FIIdentifier", &TSyntaxBlock::FIIdentifier, -1),
     BoolField<TSyntaxBlock>("UseSymbols", &TSyntaxBlock::UseSymbols),
     BoolField<TSyntaxBlock>("UseLineDirectives", &TSyntaxBlock::UseLineDirectives),
     BoolField<TSyntaxBlock>("UseComments", &TSyntaxBlock::UseComments),
     BoolField<TSyntaxBlock>("UseSingleLineComments", &TSyntaxBlock::UseSingleLineComments),
     BoolField<TSyntaxBlock>("UseMultiLineComments", &TSyntaxBlock::UseMultiLineComments),
     BoolField<TSyntaxBlock>("UseFullLineComments", &TSyntaxBlock::UseFullLineComments),
     BoolField<TSyntaxBlock>("UseStrings", &TSyntaxBlock::UseStrings),
     BoolField<TSyntaxBlock>("UseSingleLineStrings", &TSyntaxBlock::UseSingleLineStrings),
     BoolField<TSyntaxBlock>("UseMultiLineStrings", &TSyntaxBlock::UseMultiLineStrings),
     BoolField<TSyntaxBlock>("UseNumbers", &TSyntaxBlock::UseNumbers),
     BoolField<TSyntaxBlock>("UsePrefixedNumbers", &TSyntaxBlock::UsePrefixedNumbers),
     BoolField<TSyntaxBlock>("UseSuffixedNumbers", &TSyntaxBlock::UseSuffixedNumbers),
     BoolField<TSyntaxBlock>("UseMultipleNumSuffixes", &TSyntaxBlock::UseMultipleNumSuffixes)
         .StoredIf(When(&TSyntaxBlock::UseSuffixedNumbers)),
     BoolField<TSyntaxBlock>("UsePrefixedSuffixedNumbers", &TSyntaxBlock::UsePrefixedSuffixedNumbers),
     BoolField<TSyntaxBlock>("UsePSNumComposition", &TSyntaxBlock::UsePSNumComposition)
         .StoredIf(When(&TSyntaxBlock::UsePrefixedSuffixedNumbers)),
     BoolField<TSyntaxBlock>("UseIdentifiers", &TSyntaxBlock::UseIdentifiers),
     BoolField<TSyntaxBlock>("UsePrefixedIdentifiers", &TSyntaxBlock::UsePrefixedIdentifiers),
     BoolField<TSyntaxBlock>("UseSuffixedIdentifiers", &TSyntaxBlock::UseSuffixedIdentifiers),
     BoolField<TSyntaxBlock>("UsePrefixedSuffixedIdentifiers", &TSyntaxBlock::UsePrefixedSuffixedIdentifiers),
     BoolField<TSyntaxBlock>("UseKeywords", &TSyntaxBlock::UseKeywords),
     ListField<TSyntaxBlock>("BlockDelimiters", &TSyntaxBlock::BlockDelimiters).StoredIf(Never),
     StrField<TSyntaxBlock>("LineDirectivePrefix", &TSyntaxBlock::LineDirectivePrefix)
         .StoredIf(When(&TSyntaxBlock::UseLineDirectives)),
     ListField<TSyntaxBlock>("SingleLineCommentDelimiters", &TSyntaxBlock::SingleLineCommentDelimiters)
         .StoredIf(Never),
     ListField<TSyntaxBlock>("MultiLineCommentDelimiters", &TSyntaxBlock::MultiLineCommentDelimiters)
         .StoredIf(Never),
     ListField<TSyntaxBlock>("FullLineCommentDelimiters", &TSyntaxBlock::FullLineCommentDelimiters)
         .StoredIf(Never),
     ListField<TSyntaxBlock>("SingleLineStringDelimiters", &TSyntaxBlock::SingleLineStringDelimiters)
         .StoredIf(Never),
     ListField<TSyntaxBlock>("MultiLineStringDelimiters", &TSyntaxBlock::MultiLineStringDelimiters)
         .StoredIf(Never),
     ListField<TSyntaxBlock>("NumPrefixes", &TSyntaxBlock::NumPrefixes).StoredIf(Never),
     ListField<TSyntaxBlock>("NumSuffixes", &TSyntaxBlock::NumSuffixes).StoredIf(Never),
     ListField<TSyntaxBlock>("NumPrefixesSuffixes", &TSyntaxBlock::NumPrefixesSuffixes).StoredIf(Never),
     ListField<TSyntaxBlock>("IdentPrefixes", &TSyntaxBlock::IdentPrefixes).StoredIf(Never),
     ListField<TSyntaxBlock>("IdentSuffixes", &TSyntaxBlock::IdentSuffixes).StoredIf(Never),
     ListField<TSyntaxBlock>("IdentPrefixesSuffixes", &TSyntaxBlock::IdentPrefixesSuffixes).StoredIf(Never),
     ListField<TSyntaxBlock>("KeywordSets", &TSyntaxBlock::KeywordSets).StoredIf(Never),
     Prop::String<TSyntaxBlock>("FirstIdentChars", &TSyntaxBlock::GetFirstIdentChars,
                                &TSyntaxBlock::SetFirstIdentChars)
         .StoredIf([](TObject* o) {
             return static_cast<TSyntaxBlock*>(o)->FirstIdentChars != DefaultFirstIdentChars();
         }),
     Prop::String<TSyntaxBlock>("OtherIdentChars", &TSyntaxBlock::GetOtherIdentChars,
                                &TSyntaxBlock::SetOtherIdentChars)
         .StoredIf([](TObject* o) {
             return static_cast<TSyntaxBlock*>(o)->OtherIdentChars != DefaultOtherIdentChars();
         })})
ZEL_DEFINE_CLASS(TSyntaxBlockList, TCollection, {})
ZEL_DEFINE_CLASS(TSchemeListEntry, TCollectionItem,
                 {IntField<TSchemeListEntry>("Block", &TSchemeListEntry::Block, 0),
                  StrField<TSchemeListEntry>("List", &TSchemeListEntry::List),
                  IntField<TSchemeListEntry>("FontID", &TSchemeListEntry::FontID, -1),
                  BoolField<TSchemeListEntry>("UseToken", &TSchemeListEntry::UseToken, true),
                  StrField<TSchemeListEntry>("LeftDelimiter", &TSchemeListEntry::LeftDelimiter),
                  StrField<TSchemeListEntry>("RightDelimiter", &TSchemeListEntry::RightDelimiter),
                  BoolField<TSchemeListEntry>("DelimitersArePartOfBlock",
                                              &TSchemeListEntry::DelimitersArePartOfBlock),
                  StrField<TSchemeListEntry>("Name", &TSchemeListEntry::Name),
                  StrField<TSchemeListEntry>("Keywords", &TSchemeListEntry::Keywords)})
ZEL_DEFINE_CLASS(TSchemeListEntries, TCollection, {})
ZEL_DEFINE_CLASS(
    TSyntaxScheme, TPersistent,
    {Prop::String<TSyntaxScheme>("Name", &TSyntaxScheme::GetName, &TSyntaxScheme::SetName),
     Prop::Object<TSyntaxScheme>("SyntaxBlocks", &TSyntaxScheme::GetSyntaxBlocks,
                                 &TSyntaxScheme::SetSyntaxBlocks),
     Prop::Object<TSyntaxScheme>("BlockLists", &TSyntaxScheme::GetBlockLists, &TSyntaxScheme::SetBlockLists),
     Prop::Object<TSyntaxScheme>("FontTable", &TSyntaxScheme::GetFontTable, &TSyntaxScheme::SetAttrTable),
     IntField<TSyntaxScheme>("SyntaxVersion", &TSyntaxScheme::SyntaxVersion, 0)})

// ---------------------------------------------------------------- character sets

TSchemeCharSet StringToCharSet(const std::string& text) {
    TSchemeCharSet set;
    const size_t n = text.size();
    size_t i = 0;
    auto read = [&](size_t& k) {
        if (text[k] == '\\' && k + 1 < n) {
            k += 2;
            return static_cast<unsigned char>(text[k - 1]);
        }
        return static_cast<unsigned char>(text[k++]);
    };
    while (i < n) {
        const unsigned char lo = read(i);
        if (i + 1 < n && text[i] == '-') {
            size_t k = i + 1;
            const unsigned char hi = read(k);
            for (unsigned c = lo; c <= hi; ++c)
                set.set(c);
            i = k;
        } else {
            set.set(lo);
        }
    }
    return set;
}

std::string CharSetToString(const TSchemeCharSet& set) {
    std::string out;
    for (unsigned c = 0; c < 256;) {
        if (!set.test(c)) {
            ++c;
            continue;
        }
        unsigned last = c;
        while (last + 1 < 256 && set.test(last + 1))
            ++last;
        if (c == '\\' || c == '-')
            out += '\\';
        out += static_cast<char>(c);
        if (last > c) {
            out += '-';
            if (last == '\\')
                out += '\\';
            out += static_cast<char>(last);
        }
        c = last + 1;
    }
    return out;
}

// ---------------------------------------------------------------- items

void TToken::Assign(TPersistent* source) {
    if (auto* t = dynamic_cast<TToken*>(source)) {
        FontID = t->FontID;
        UseToken = t->UseToken;
        return;
    }
    TCollectionItem::Assign(source);
}

void TLineToken::Assign(TPersistent* source) {
    TToken::Assign(source);
    if (auto* t = dynamic_cast<TLineToken*>(source))
        LeftDelimiter = t->LeftDelimiter;
}

void TBlockToken::Assign(TPersistent* source) {
    TLineToken::Assign(source);
    if (auto* t = dynamic_cast<TBlockToken*>(source))
        RightDelimiter = t->RightDelimiter;
}

void TKeywordSet::Assign(TPersistent* source) {
    TToken::Assign(source);
    if (auto* t = dynamic_cast<TKeywordSet*>(source)) {
        Name = t->Name;
        Keywords = t->Keywords;
    }
}

void TDelimiters::Assign(TPersistent* source) {
    if (auto* t = dynamic_cast<TDelimiters*>(source)) {
        LeftDelimiter = t->LeftDelimiter;
        RightDelimiter = t->RightDelimiter;
        DelimitersArePartOfBlock = t->DelimitersArePartOfBlock;
        UseToken = t->UseToken;
        return;
    }
    TCollectionItem::Assign(source);
}

TAttrItem::TAttrItem(TCollection* c) : TCollectionItem(nullptr) {
    // The ID is chosen before joining, so the new item does not count itself.
    if (auto* list = dynamic_cast<TFontList*>(c))
        FontID = list->GetUniqueID();
    if (c)
        SetCollection(c);
}

void TAttrItem::Assign(TPersistent* source) {
    if (auto* t = dynamic_cast<TAttrItem*>(source)) {
        FontID = t->FontID;
        GlobalAttrID = t->GlobalAttrID;
        BlockID = t->BlockID;
        BackColor = t->BackColor;
        Font.Assign(t->Font);
        UseDefFont = t->UseDefFont;
        UseDefBack = t->UseDefBack;
        return;
    }
    TCollectionItem::Assign(source);
}

int32_t TFontList::GetUniqueID() const {
    std::bitset<256> used;
    for (int32_t i = 0; i < Count(); ++i) {
        const int32_t id = GetItem(i)->FontID;
        if (id >= 0 && id < 256)
            used.set(static_cast<size_t>(id));
    }
    for (int32_t id = 0; id < 256; ++id)
        if (!used.test(static_cast<size_t>(id)))
            return id;
    return -1;
}

TAttrItem* TFontList::GetItemByID(int32_t id) const {
    for (int32_t i = 0; i < Count(); ++i)
        if (GetItem(i)->FontID == id)
            return GetItem(i);
    return nullptr;
}

TFont* TFontList::GetFontByID(int32_t id) const {
    TAttrItem* item = GetItemByID(id);
    return item ? &item->Font : nullptr;
}

TSyntaxBlock::TSyntaxBlock(TCollection* c)
    : TCollectionItem(c), ID(-1), ParentID(-1), UseMetaToWrapLines(true), FIText(-1), FIIntNum(-1),
      FIFloatNum(-1), FIHexNum(-1), FIDirective(-1), FISymbol(-1), FIIdentifier(-1),
      FirstIdentChars(DefaultFirstIdentChars()), OtherIdentChars(DefaultOtherIdentChars()) {}

void TSyntaxBlock::Assign(TPersistent* source) {
    auto* b = dynamic_cast<TSyntaxBlock*>(source);
    if (!b) {
        TCollectionItem::Assign(source);
        return;
    }
    // Every published property, lists included.
    for (const TPropInfo* p : ClassType()->Properties()) {
        if (p->Kind == tkClass) {
            static_cast<TPersistent*>(p->GetObj(this))->Assign(static_cast<TPersistent*>(p->GetObj(b)));
        } else if (p->Kind == tkString) {
            p->SetStr(this, p->GetStr(b));
        } else if (p->GetOrd && p->SetOrd) {
            p->SetOrd(this, p->GetOrd(b));
        }
    }
    FirstIdentChars = b->FirstIdentChars;
    OtherIdentChars = b->OtherIdentChars;
}

// ---------------------------------------------------------------- scheme

TSyntaxScheme::TSyntaxScheme() {
    Whitespace.GlobalAttrID = "Whitespace";
    Url.GlobalAttrID = "Url";
    Url.FontID = 12;
    Url.Font.SetStyle(Url.Font.Style() | fsUnderline);
    BlockStack.push_back(TBlockInfo{});
    TSyntaxBlock* b = SyntaxBlocks.AddItem();
    b->Name = "Default";
    b->ID = 0;
}

TSyntaxScheme::~TSyntaxScheme() = default;

void TSyntaxScheme::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TSyntaxScheme*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SyntaxVersion = s->SyntaxVersion;
    Name = s->Name;
    FontTable.Assign(&s->FontTable);
    SyntaxBlocks.Assign(&s->SyntaxBlocks);
    SchemeChanged();
}

int32_t TSyntaxScheme::GetUniqueBlockID() const {
    std::bitset<256> used;
    for (int32_t i = 0; i < SyntaxBlocks.Count(); ++i) {
        const int32_t id = SyntaxBlocks.GetItem(i)->ID;
        if (id >= 0 && id < 256)
            used.set(static_cast<size_t>(id));
    }
    for (int32_t id = 0; id < 256; ++id)
        if (!used.test(static_cast<size_t>(id)))
            return id;
    return 0;
}

void TSyntaxScheme::ClearContents() {
    Name.clear();
    SyntaxVersion = 1;
    SyntaxBlocks.Clear();
    FontTable.Clear();
}

void TSyntaxScheme::SchemeChanged() {
    if (Owner)
        Owner->InitParser();
    else
        InitScheme();
}

void TSyntaxScheme::UpdateSchemeVersion() {
    if (SyntaxVersion < 2 && SyntaxBlocks.Count() > 0) {
        for (int32_t i = 0; i < SyntaxBlocks.Count(); ++i) {
            TSyntaxBlock* b = SyntaxBlocks.GetItem(i);
            if (b->ID == -1)
                b->ID = GetUniqueBlockID();
        }
        const int32_t rootID = SyntaxBlocks.GetItem(0)->ID;
        for (int32_t i = 0; i < SyntaxBlocks.Count(); ++i)
            SyntaxBlocks.GetItem(i)->ParentID = i == 0 ? -1 : rootID;
        for (int32_t i = 0; i < SyntaxBlocks.Count(); ++i) {
            TSyntaxBlock* b = SyntaxBlocks.GetItem(i);
            auto claim = [&](int32_t fontID) {
                if (TAttrItem* a = FontTable.GetItemByID(fontID))
                    a->BlockID = b->ID;
            };
            for (int32_t id : {b->FIText, b->FIIntNum, b->FIFloatNum, b->FIHexNum, b->FIDirective,
                               b->FISymbol, b->FIIdentifier})
                claim(id);
            for (TCollection* list : std::initializer_list<TCollection*>{
                     &b->SingleLineCommentDelimiters, &b->MultiLineCommentDelimiters,
                     &b->FullLineCommentDelimiters, &b->SingleLineStringDelimiters,
                     &b->MultiLineStringDelimiters, &b->NumPrefixes, &b->NumSuffixes, &b->NumPrefixesSuffixes,
                     &b->IdentPrefixes, &b->IdentSuffixes, &b->IdentPrefixesSuffixes})
                for (int32_t k = 0; k < list->Count(); ++k)
                    claim(static_cast<TToken*>(list->Items(k))->FontID);
        }
    }
    SyntaxVersion = 3;
}

void TSyntaxScheme::Validate() const {
    auto fail = [](const std::string& why) { throw ESyntaxSchemeError("Invalid syntax scheme: " + why); };
    const int32_t n = SyntaxBlocks.Count();
    if (n == 0)
        fail("it has no blocks");
    if (n > kMaxBlocks)
        fail("more than 256 blocks");
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < n; ++i) {
        const TSyntaxBlock* b = SyntaxBlocks.GetItem(i);
        if (b->ID < 0 || b->ID > 255)
            fail(Format("block %d has the ID %d", static_cast<int>(i), static_cast<int>(b->ID)));
        if (std::find(ids.begin(), ids.end(), b->ID) != ids.end())
            fail(Format("two blocks have the ID %d", static_cast<int>(b->ID)));
        ids.push_back(b->ID);
        if (b->BlockDelimiters.Count() > kMaxBlockDelimiters)
            fail(Format("block %d has more than 64 delimiters", static_cast<int>(i)));
        for (const TCollection* list : std::initializer_list<const TCollection*>{
                 &b->SingleLineCommentDelimiters, &b->MultiLineCommentDelimiters,
                 &b->FullLineCommentDelimiters, &b->SingleLineStringDelimiters, &b->MultiLineStringDelimiters,
                 &b->NumPrefixes, &b->NumSuffixes, &b->NumPrefixesSuffixes, &b->IdentPrefixes,
                 &b->IdentSuffixes, &b->IdentPrefixesSuffixes})
            if (list->Count() > kMaxListEntries)
                fail(Format("block %d has a list of more than 256 entries", static_cast<int>(i)));
    }
    // Every parent must exist, and following parents must end at a top block.
    for (int32_t i = 0; i < n; ++i) {
        int32_t parent = SyntaxBlocks.GetItem(i)->ParentID;
        for (int32_t steps = 0; parent != -1; ++steps) {
            auto it = std::find(ids.begin(), ids.end(), parent);
            if (it == ids.end())
                fail(Format("block %d has an unknown parent", static_cast<int>(i)));
            if (steps >= n)
                fail(Format("block %d is its own ancestor", static_cast<int>(i)));
            parent = SyntaxBlocks.GetItem(static_cast<int32_t>(it - ids.begin()))->ParentID;
        }
    }
}

namespace {

void BuildActive(TSyntaxBlock::TActive& active, const TCollection& list) {
    active.Items.clear();
    active.Indexes.clear();
    for (int32_t i = 0; i < list.Count(); ++i) {
        auto* t = static_cast<const TLineToken*>(list.Items(i));
        if (!t->UseToken)
            continue;
        active.Items.push_back(t);
        active.Indexes.push_back(i);
    }
}

void AddChars(TSchemeCharSet& set, const std::string& s) {
    for (char c : s)
        set.set(static_cast<unsigned char>(c));
}

} // namespace

void TSyntaxScheme::InitScheme() {
    UpdateSchemeVersion();
    BlockStack.assign(1, TBlockInfo{});
    TSchemeCharSet special;
    const int32_t n = SyntaxBlocks.Count();
    for (int32_t bi = 0; bi < n; ++bi) {
        TSyntaxBlock* b = SyntaxBlocks.GetItem(bi);
        BuildActive(b->SingleComments, b->SingleLineCommentDelimiters);
        BuildActive(b->MultiComments, b->MultiLineCommentDelimiters);
        BuildActive(b->FullComments, b->FullLineCommentDelimiters);
        BuildActive(b->SingleStrings, b->SingleLineStringDelimiters);
        BuildActive(b->MultiStrings, b->MultiLineStringDelimiters);
        BuildActive(b->NumPre, b->NumPrefixes);
        BuildActive(b->NumSuf, b->NumSuffixes);
        BuildActive(b->IdentPre, b->IdentPrefixes);
        BuildActive(b->IdentSuf, b->IdentSuffixes);
        b->KeywordTables.clear();
        for (int32_t k = 0; k < b->KeywordSets.Count(); ++k) {
            const TKeywordSet* set = b->KeywordSets.GetItem(k);
            if (!set->UseToken)
                continue;
            std::array<std::string, 256> table;
            std::string words = b->CaseSensitive ? set->Keywords : LowerCase(set->Keywords);
            size_t start = 0;
            while (start <= words.size()) {
                size_t comma = words.find(',', start);
                if (comma == std::string::npos)
                    comma = words.size();
                const std::string w = Trim(words.substr(start, comma - start));
                if (!w.empty()) {
                    std::string& slot = table[static_cast<unsigned char>(w[0])];
                    if (slot.empty())
                        slot = ",";
                    slot += w + ",";
                }
                start = comma + 1;
            }
            b->KeywordTables.emplace_back(set, std::move(table));
        }
        b->ChildrenInside.clear();
        b->ChildrenOutside.clear();
        for (int32_t ci = 0; ci < n && ci < kMaxBlocks; ++ci) {
            const TSyntaxBlock* child = SyntaxBlocks.GetItem(ci);
            // A block that names itself as parent would open inside itself for ever: it opens nowhere.
            if (ci == bi || child->ParentID != b->ID)
                continue;
            for (int32_t d = 0; d < child->BlockDelimiters.Count() && d < kMaxBlockDelimiters; ++d) {
                const TDelimiters* del = child->BlockDelimiters.GetItem(d);
                if (!del->UseToken || del->LeftDelimiter.empty())
                    continue;
                TChildDelimiter cd;
                cd.Text = del->LeftDelimiter;
                cd.Code = (del->DelimitersArePartOfBlock ? 1 << 17 : 0) |
                          (child->CaseSensitive ? 1 << 16 : 0) | (ci << 8) | d;
                (del->DelimitersArePartOfBlock ? b->ChildrenInside : b->ChildrenOutside).push_back(cd);
            }
        }
        special |= b->FirstIdentChars;
        special |= b->OtherIdentChars;
        if (b->UseMetaSymbol)
            special.set(static_cast<unsigned char>(b->MetaSymbol));
        for (int32_t d = 0; d < b->BlockDelimiters.Count(); ++d) {
            AddChars(special, b->BlockDelimiters.GetItem(d)->LeftDelimiter);
            AddChars(special, b->BlockDelimiters.GetItem(d)->RightDelimiter);
        }
        for (const TSyntaxBlock::TActive* a :
             {&b->SingleComments, &b->MultiComments, &b->FullComments, &b->SingleStrings, &b->MultiStrings,
              &b->NumPre, &b->NumSuf, &b->IdentPre, &b->IdentSuf})
            for (const TLineToken* t : a->Items) {
                AddChars(special, t->LeftDelimiter);
                if (auto* bt = dynamic_cast<const TBlockToken*>(t))
                    AddChars(special, bt->RightDelimiter);
            }
        AddChars(special, b->LineDirectivePrefix);
    }
    SymbolSet.reset();
    for (unsigned c = 33; c < 128; ++c)
        if ((c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 || c >= 123)
            SymbolSet.set(c);
    SymbolSet &= ~special;
    if (Owner)
        Owner->SchemeWasInitialised();
}

void TSyntaxScheme::CreateAttrIDHash() {
    AttrTable.fill(nullptr);
    std::string baseName = "Courier New";
    int baseSize = 10;
    TColor baseColor = clWindowText, baseBack = clWindow;
    if (Owner) {
        const TAttrItem& def = Owner->DefaultAttr();
        baseName = def.Font.Name();
        baseSize = def.Font.Size();
        baseColor = def.Font.Color();
        baseBack = def.BackColor;
    }
    // A scheme that follows the global options takes its base from their "Whitespace" style.
    if (UseGlobalOptions && GlobalTextStyleLookup) {
        TFont font;
        TColor back = baseBack;
        if (GlobalTextStyleLookup("Whitespace", font, back)) {
            baseName = font.Name();
            baseSize = font.Size();
            baseColor = font.Color();
            baseBack = back;
        }
    }
    for (TAttrItem* a : {&Whitespace, &Url}) {
        a->ResolvedFont.Assign(a->Font);
        a->ResolvedFont.SetName(baseName);
        a->ResolvedFont.SetSize(baseSize);
        a->ResolvedFont.SetColor(baseColor);
        a->ResolvedBack = baseBack;
    }
    Url.ResolvedFont.SetStyle(Url.ResolvedFont.Style() | fsUnderline);
    auto blockByID = [&](int32_t id) -> const TSyntaxBlock* {
        for (int32_t i = 0; i < SyntaxBlocks.Count(); ++i)
            if (SyntaxBlocks.GetItem(i)->ID == id)
                return SyntaxBlocks.GetItem(i);
        return nullptr;
    };
    // The text attribute of the block or of the nearest enclosing block that does not defer.
    auto textAttr = [&](int32_t blockID, bool font) -> const TAttrItem* {
        const TSyntaxBlock* b = blockByID(blockID);
        for (int32_t guard = 0; b && guard <= SyntaxBlocks.Count(); ++guard) {
            if (const TAttrItem* t = FontTable.GetItemByID(b->FIText))
                if (font ? !t->UseDefFont : !t->UseDefBack)
                    return t;
            b = blockByID(b->ParentID);
        }
        return nullptr;
    };
    for (int32_t i = 0; i < FontTable.Count(); ++i) {
        TAttrItem* a = FontTable.GetItem(i);
        if (a->FontID < 0 || a->FontID > 254)
            continue;
        AttrTable[static_cast<size_t>(a->FontID)] = a;
        a->ResolvedFont.Assign(a->Font);
        if (a->UseDefFont) {
            const TAttrItem* t = textAttr(a->BlockID, true);
            a->ResolvedFont.SetName(t ? t->Font.Name() : baseName);
            a->ResolvedFont.SetSize(t ? t->Font.Size() : baseSize);
        }
        if (a->UseDefBack) {
            const TAttrItem* t = textAttr(a->BlockID, false);
            a->ResolvedBack = t ? t->BackColor : baseBack;
        } else {
            a->ResolvedBack = a->BackColor;
        }
    }
}

TSchemeListEntries* TSyntaxScheme::GetBlockLists() const {
    FBlockLists.Clear();
    for (int32_t bi = 0; bi < SyntaxBlocks.Count(); ++bi) {
        const TSyntaxBlock* b = SyntaxBlocks.GetItem(bi);
        for (int32_t i = 0; i < b->BlockDelimiters.Count(); ++i) {
            const TDelimiters* d = b->BlockDelimiters.GetItem(i);
            TSchemeListEntry* e = FBlockLists.AddItem();
            e->Block = bi;
            e->List = "BlockDelimiters";
            e->LeftDelimiter = d->LeftDelimiter;
            e->RightDelimiter = d->RightDelimiter;
            e->DelimitersArePartOfBlock = d->DelimitersArePartOfBlock;
            e->UseToken = d->UseToken;
        }
        for (const auto& [name, list] : b->TokenLists()) {
            for (int32_t i = 0; i < list->Count(); ++i) {
                const TToken* t = static_cast<const TToken*>(list->Items(i));
                TSchemeListEntry* e = FBlockLists.AddItem();
                e->Block = bi;
                e->List = name;
                e->FontID = t->FontID;
                e->UseToken = t->UseToken;
                if (auto* lt = dynamic_cast<const TLineToken*>(t))
                    e->LeftDelimiter = lt->LeftDelimiter;
                if (auto* bt = dynamic_cast<const TBlockToken*>(t))
                    e->RightDelimiter = bt->RightDelimiter;
                if (auto* ks = dynamic_cast<const TKeywordSet*>(t)) {
                    e->Name = ks->Name;
                    e->Keywords = ks->Keywords;
                }
            }
        }
    }
    return &FBlockLists;
}

void TSyntaxScheme::DistributeBlockLists() {
    for (int32_t i = 0; i < FBlockLists.Count(); ++i) {
        const TSchemeListEntry* e = FBlockLists.GetItem(i);
        if (e->Block < 0 || e->Block >= SyntaxBlocks.Count())
            throw ESyntaxSchemeError(
                Format("Invalid syntax scheme: a list entry names the block %d", static_cast<int>(e->Block)));
        TSyntaxBlock* b = SyntaxBlocks.GetItem(e->Block);
        if (e->List == "BlockDelimiters") {
            TDelimiters* d = b->BlockDelimiters.AddItem();
            d->LeftDelimiter = e->LeftDelimiter;
            d->RightDelimiter = e->RightDelimiter;
            d->DelimitersArePartOfBlock = e->DelimitersArePartOfBlock;
            d->UseToken = e->UseToken;
            continue;
        }
        TCollection* list = nullptr;
        for (const auto& [name, l] : b->TokenLists())
            if (e->List == name)
                list = l;
        if (!list)
            throw ESyntaxSchemeError("Invalid syntax scheme: unknown list " + e->List);
        auto* t = static_cast<TToken*>(list->Add());
        t->FontID = e->FontID;
        t->UseToken = e->UseToken;
        if (auto* lt = dynamic_cast<TLineToken*>(t))
            lt->LeftDelimiter = e->LeftDelimiter;
        if (auto* bt = dynamic_cast<TBlockToken*>(t))
            bt->RightDelimiter = e->RightDelimiter;
        if (auto* ks = dynamic_cast<TKeywordSet*>(t)) {
            ks->Name = e->Name;
            ks->Keywords = e->Keywords;
        }
    }
    FBlockLists.Clear();
}

void TSyntaxScheme::AdoptFrom(TSyntaxScheme& loaded) {
    loaded.DistributeBlockLists();
    loaded.UpdateSchemeVersion();
    loaded.Validate();
    ClearContents();
    Assign(&loaded);
}

void TSyntaxScheme::LoadFromText(const std::string& text) {
    TSyntaxScheme loaded;
    loaded.SyntaxBlocks.Clear();
    ObjectFromText(text, &loaded);
    AdoptFrom(loaded);
}

std::string TSyntaxScheme::SaveToText() {
    return ObjectToText(this);
}

namespace {
std::string CantReadScheme(const std::string& from) {
    return Format(LoadResString(SCantReadSSchemeFrom).c_str(), from.c_str());
}
} // namespace

void TSyntaxScheme::LoadFromFile(const std::string& fileName) {
    try {
        TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
        std::string text(static_cast<size_t>(f.Size()), '\0');
        if (!text.empty())
            f.ReadBuffer(&text[0], static_cast<int32_t>(text.size()));
        LoadFromText(text);
    } catch (const ESyntaxSchemeError&) {
        throw;
    } catch (const Exception&) {
        throw ESyntaxSchemeError(CantReadScheme(Format(LoadResString(SFromFile).c_str(), fileName.c_str())));
    }
}

void TSyntaxScheme::SaveToFile(const std::string& fileName) {
    const std::string text = SaveToText();
    TFileStream f(fileName, fmCreate);
    if (!text.empty())
        f.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

void TSyntaxScheme::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    std::string data(static_cast<size_t>(stream.Size() - start), '\0');
    if (!data.empty())
        stream.ReadBuffer(&data[0], static_cast<int32_t>(data.size()));
    TSyntaxScheme loaded;
    loaded.SyntaxBlocks.Clear();
    try {
        ObjectFromBinary(data, &loaded);
    } catch (const Exception&) {
        try {
            loaded.SyntaxBlocks.Clear();
            ObjectFromText(data, &loaded);
        } catch (const Exception&) {
            stream.SetPosition(start);
            throw ESyntaxSchemeError(CantReadScheme(LoadResString(SFromStream)));
        }
    }
    TFailureGuard rewind([&stream, start] { stream.SetPosition(start); });
    AdoptFrom(loaded);
}

void TSyntaxScheme::SaveToStream(TStream& stream) {
    WriteObjectBinary(stream, this);
}

std::vector<std::pair<std::string, TCollection*>> TSyntaxBlock::TokenLists() const {
    auto* self = const_cast<TSyntaxBlock*>(this);
    return {{"SingleLineCommentDelimiters", &self->SingleLineCommentDelimiters},
            {"MultiLineCommentDelimiters", &self->MultiLineCommentDelimiters},
            {"FullLineCommentDelimiters", &self->FullLineCommentDelimiters},
            {"SingleLineStringDelimiters", &self->SingleLineStringDelimiters},
            {"MultiLineStringDelimiters", &self->MultiLineStringDelimiters},
            {"NumPrefixes", &self->NumPrefixes},
            {"NumSuffixes", &self->NumSuffixes},
            {"NumPrefixesSuffixes", &self->NumPrefixesSuffixes},
            {"IdentPrefixes", &self->IdentPrefixes},
            {"IdentSuffixes", &self->IdentSuffixes},
            {"IdentPrefixesSuffixes", &self->IdentPrefixesSuffixes},
            {"KeywordSets", &self->KeywordSets}};
}

void TSyntaxScheme::LoadFromResource(const std::string& name) {
    HRSRC res = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw ESyntaxSchemeError(CantReadScheme(LoadResString(SFromStream)));
    TMemoryStream stream;
    stream.WriteBuffer(bytes, static_cast<int32_t>(SizeofResource(nullptr, res)));
    stream.SetPosition(0);
    LoadFromStream(stream);
}
