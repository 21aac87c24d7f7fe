#include "controls/memo/MemoAttributes.h"

#include <algorithm>
#include <climits>

#include "controls/memo/Memo.h"
#include "controls/memo/MemoScopes.h"

ZEL_DEFINE_CLASS(TMemoAttributes, TPersistent, {})

namespace {
constexpr uint8_t kUrlByte = 12;
constexpr int32_t kTableSize = 256;
} // namespace

// --- TMemoAttributes ------------------------------------------------------------------------------

TMemoAttributes::TMemoAttributes(TCustomHSMemo* Memo) : FFont(std::make_unique<TFont>()), FMemo(Memo) {}

TMemoAttributes::~TMemoAttributes() = default;

void TMemoAttributes::Assign(TPersistent* Source) {
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        BeginUpdate();
        SetColor(F->Color());
        SetName(F->Name());
        SetCharset(F->Charset());
        SetStyle(F->Style());
        SetSize(F->Size());
        SetPitch(F->Pitch());
        EndUpdate();
    } else if (auto* A = dynamic_cast<TMemoAttributes*>(Source)) {
        BeginUpdate();
        SetCharset(A->FCharset);
        SetColor(A->FColor);
        SetBkColor(A->FBkColor);
        SetName(A->FName);
        SetPitch(A->FPitch);
        SetSize(A->FSize);
        SetStyle(A->FStyle);
        EndUpdate();
    } else {
        TPersistent::Assign(Source);
    }
}

void TMemoAttributes::SafeAssign(TPersistent* Source) {
    // Reading attributes formats nothing: the fields are taken as they are.
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        FColor = F->Color();
        FName = F->Name();
        FCharset = F->Charset();
        FStyle = F->Style();
        FSize = F->Size();
        FPitch = F->Pitch();
    } else if (auto* A = dynamic_cast<TMemoAttributes*>(Source)) {
        if (A == this)
            return;
        FCharset = A->FCharset;
        FColor = A->FColor;
        FBkColor = A->FBkColor;
        FName = A->FName;
        FPitch = A->FPitch;
        FSize = A->FSize;
        FStyle = A->FStyle;
    } else {
        TPersistent::Assign(Source);
    }
}

void TMemoAttributes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged != 0)
        Apply();
}

void TMemoAttributes::Changed(TConsistentAttrs Attrs) {
    FChanged |= Attrs;
    if (FUpdateCount == 0)
        Apply();
}

void TMemoAttributes::Apply() {
    auto* Parser = FMemo ? dynamic_cast<TAttributeParser*>(FMemo->GetSyntaxParser()) : nullptr;
    if (Parser) {
        TCustomMemoSource* S = FMemo->GetSource();
        if (S->SelectionType() != stNotSelected) {
            const TMemoRect R{S->BlockBegin().Char, S->BlockBegin().Line, S->BlockEnd().Char,
                              S->BlockEnd().Line};
            TSourceUpdate Update(*S, 71);
            Parser->SetAttribute(R, S->SelectionType(), *this);
            // The changed lines' fonts are new: every view cuts and measures their rows again.
            S->MemoState |= msParserChanged;
        }
        if (S->UpdateCount() == 0) {
            FMemo->UpdateMaxLine(true);
            FMemo->UpdateCaretMode();
        }
        FMemo->Invalidate();
    }
    FChanged = 0;
}

namespace {
// Nothing to do when the value is the current one and the whole selection already has it.
template <class T> bool Unchanged(TMemoAttributes& A, const T& Old, const T& Value, TConsistentAttr Attr) {
    return Old == Value && (A.GetConsistentAttrs() & AttrBit(Attr)) != 0;
}
} // namespace

void TMemoAttributes::SetCharset(uint8_t Value) {
    if (Unchanged(*this, FCharset, Value, csCharSet))
        return;
    FCharset = Value;
    Changed(AttrBit(csCharSet));
}

void TMemoAttributes::SetColor(TColor Value) {
    if (Unchanged(*this, FColor, Value, csColor))
        return;
    FColor = Value;
    Changed(AttrBit(csColor));
}

void TMemoAttributes::SetBkColor(TColor Value) {
    if (Unchanged(*this, FBkColor, Value, csBkColor))
        return;
    FBkColor = Value;
    Changed(AttrBit(csBkColor));
}

void TMemoAttributes::SetName(const std::string& Value) {
    if (Unchanged(*this, FName, Value, csFace))
        return;
    FName = Value;
    Changed(AttrBit(csFace));
}

void TMemoAttributes::SetPitch(TFontPitch Value) {
    if (Unchanged(*this, FPitch, Value, csPitch))
        return;
    FPitch = Value;
    Changed(AttrBit(csPitch));
}

void TMemoAttributes::SetSize(int32_t Value) {
    if (Unchanged(*this, FSize, Value, csSize))
        return;
    FSize = Value;
    Changed(AttrBit(csSize));
}

void TMemoAttributes::SetStyle(TFontStyles Value) {
    if (Unchanged(*this, FStyle, Value, csStyle))
        return;
    FStyle = Value;
    TConsistentAttrs Bits = AttrBit(csStyle);
    if (Value & fsBold)
        Bits |= AttrBit(csBold);
    if (Value & fsItalic)
        Bits |= AttrBit(csItalic);
    if (Value & fsUnderline)
        Bits |= AttrBit(csUnderline);
    if (Value & fsStrikeOut)
        Bits |= AttrBit(csStrikeOut);
    Changed(Bits);
}

TConsistentAttrs TMemoAttributes::GetConsistentAttrs() {
    TConsistentAttrs Result = kAllConsistentAttrs;
    auto* Parser = FMemo ? dynamic_cast<TAttributeParser*>(FMemo->GetSyntaxParser()) : nullptr;
    if (!Parser)
        return Result;
    TCustomMemoSource* S = FMemo->GetSource();
    if (S->SelectionType() == stNotSelected)
        return Result;
    const TMemoRect R{S->BlockBegin().Char, S->BlockBegin().Line, S->BlockEnd().Char, S->BlockEnd().Line};
    Parser->GetAttributes(R, S->SelectionType(), *this, Result);
    return Result;
}

TConsistentAttrs TMemoAttributes::GetAllAttributes(bool ByStyle) const {
    TConsistentAttrs Result = kAllConsistentAttrs;
    if (ByStyle) {
        if (!(FStyle & fsBold))
            Result &= ~AttrBit(csBold);
        if (!(FStyle & fsItalic))
            Result &= ~AttrBit(csItalic);
        if (!(FStyle & fsUnderline))
            Result &= ~AttrBit(csUnderline);
        if (!(FStyle & fsStrikeOut))
            Result &= ~AttrBit(csStrikeOut);
    }
    return Result;
}

void TMemoAttributes::AssignMemoFont() {
    if (!FMemo)
        return;
    SafeAssign(&FMemo->Font());
    FBkColor = FMemo->Color();
}

TFont& TMemoAttributes::GetFont() {
    FFont->SetCharset(FCharset);
    FFont->SetColor(FColor);
    FFont->SetName(FName);
    FFont->SetPitch(FPitch);
    FFont->SetSize(FSize);
    FFont->SetStyle(FStyle);
    return *FFont;
}

bool TMemoAttributes::SameAs(const TMemoAttributes& O) const {
    return FCharset == O.FCharset && FColor == O.FColor && FBkColor == O.FBkColor && FName == O.FName &&
           FPitch == O.FPitch && FSize == O.FSize && FStyle == O.FStyle;
}

TConsistentAttrs TMemoAttributes::Differences(const TMemoAttributes& O) const {
    TConsistentAttrs D = 0;
    if (FColor != O.FColor)
        D |= AttrBit(csColor);
    if (FBkColor != O.FBkColor)
        D |= AttrBit(csBkColor);
    if (FName != O.FName)
        D |= AttrBit(csFace);
    if (FCharset != O.FCharset)
        D |= AttrBit(csCharSet);
    if (FPitch != O.FPitch)
        D |= AttrBit(csPitch);
    if (FSize != O.FSize)
        D |= AttrBit(csSize);
    const std::pair<TFontStyle, TConsistentAttr> Styles[] = {
        {fsBold, csBold}, {fsItalic, csItalic}, {fsStrikeOut, csStrikeOut}, {fsUnderline, csUnderline}};
    for (const auto& [Style, Attr] : Styles)
        if (!EqualFontStyles(FStyle, O.FStyle, Style))
            D |= AttrBit(Attr) | AttrBit(csStyle);
    return D;
}

bool TMemoAttributes::ResetOnOverFlow() const {
    auto* Parser = FMemo ? dynamic_cast<TAttributeParser*>(FMemo->GetSyntaxParser()) : nullptr;
    return Parser && Parser->ResetOnOverFlow;
}

void TMemoAttributes::SetResetOnOverFlow(bool Value) {
    if (auto* Parser = FMemo ? dynamic_cast<TAttributeParser*>(FMemo->GetSyntaxParser()) : nullptr)
        Parser->ResetOnOverFlow = Value;
}

// --- TAttributeParser -----------------------------------------------------------------------------

TAttributeParser::TAttributeParser(TCustomHSMemo* Memo) : TSimpleParser(nullptr), FMemo(Memo) {
    // Entry 0 is the base formatting: the memo's font and colour when the parser was made. It is a
    // copy, so that reading the selection's attributes never repaints the rest of the text.
    auto* Base = new TMemoAttributes(nullptr);
    if (Memo) {
        Base->SafeAssign(&Memo->Font());
        Base->SetBkColor(Memo->Color());
    }
    Base->Index = 0;
    FTable.push_back(Base);
}

TAttributeParser::~TAttributeParser() {
    for (TMemoAttributes* A : FTable)
        delete A;
}

TCustomMemoSource* TAttributeParser::Source() const {
    return FMemo ? FMemo->GetSource() : nullptr;
}

TFont* TAttributeParser::GetFont(int32_t Index) {
    if (Index >= 0 && Index < Count() && !(Index == kUrlByte && Count() <= kUrlByte))
        return &FTable[size_t(Index)]->GetFont();
    if (Index == kUrlByte || !FMemo)
        return nullptr;
    return &FMemo->Font();
}

bool TAttributeParser::GetBackColor(int32_t Index, uint32_t& Color) {
    if (Index >= 0 && Index < Count()) {
        Color = uint32_t(FTable[size_t(Index)]->BkColor());
        return true;
    }
    if (Index == kUrlByte)
        return false;
    Color = FMemo ? uint32_t(FMemo->Color()) : uint32_t(-1);
    return true;
}

int32_t TAttributeParser::ColorString(const std::string&, int32_t StartState, std::string&) {
    return StartState;
}

void TAttributeParser::PrepareColorData(int32_t, const std::string& Text, std::string& ColorData) {
    if (ColorData.empty())
        ColorData.assign(Text.size(), '\0');
    else
        ColorData.resize(Text.size(), '\0');
}

void TAttributeParser::ClearStyles() {
    for (size_t I = 1; I < FTable.size(); ++I)
        delete FTable[I];
    FTable.resize(1);
    TCustomMemoSource* S = Source();
    if (!S)
        return;
    FUpdating = true;
    for (int32_t L = 0; L < S->GetStrCount(); ++L)
        if (TStringItem* Item = S->GetStringItem(L))
            Item->ColorData.assign(Item->Text.size(), '\0');
    FUpdating = false;
    if (FMemo)
        FMemo->Invalidate();
}

int32_t TAttributeParser::AddEntry(const TMemoAttributes& A) {
    auto* E = new TMemoAttributes(nullptr);
    E->SafeAssign(const_cast<TMemoAttributes*>(&A));
    E->Index = Count();
    FTable.push_back(E);
    return E->Index;
}

int32_t TAttributeParser::AddNewAttribute(const TMemoAttributes& A) {
    for (TMemoAttributes* E : FTable)
        if (E->SameAs(A))
            return E->Index;
    if (Count() < kTableSize) {
        if (Count() == kUrlByte) {
            // Byte 12 keeps the meaning of the URL text style.
            TMemoAttributes Url(nullptr);
            if (FMemo && FMemo->TextStyles().Count() > kUrlByte) {
                TTextStyle* Style = FMemo->TextStyles().GetItem(kUrlByte);
                Url.SafeAssign(&Style->Font());
                Url.SetBkColor(Style->Color());
            }
            AddEntry(Url);
            if (Url.SameAs(A))
                return kUrlByte;
        }
        return AddEntry(A);
    }
    TCustomMemoSource* S = Source();
    if (!S || (!ResetOnOverFlow && S->AllowUndo()))
        return 0;
    // Reuse an index no character uses any more; undo could bring old bytes back, so it goes.
    S->ClearUndoBuffer();
    bool Used[kTableSize] = {};
    Used[0] = Used[kUrlByte] = true;
    for (int32_t L = 0; L < S->GetStrCount(); ++L)
        if (const TStringItem* Item = S->GetStringItem(L))
            for (char C : Item->ColorData)
                Used[uint8_t(C)] = true;
    for (int32_t I = 1; I < kTableSize; ++I)
        if (!Used[I]) {
            FTable[size_t(I)]->SafeAssign(const_cast<TMemoAttributes*>(&A));
            return I;
        }
    return 0;
}

void TAttributeParser::GetAttribute(POINT P, TMemoAttributes& Attributes) {
    TCustomMemoSource* S = Source();
    uint8_t Byte = 0;
    if (S && P.y >= 0 && P.y < S->GetStrCount()) {
        const TStringItem* Item = S->GetStringItem(P.y);
        const int32_t I = S->GetRealTabIndex(Item->Text, P.x);
        if (I >= 0 && size_t(I) < Item->ColorData.size())
            Byte = uint8_t(Item->ColorData[size_t(I)]);
        else if (I > 0 && size_t(I - 1) < Item->ColorData.size())
            Byte = uint8_t(Item->ColorData[size_t(I - 1)]);
    }
    Attributes.SafeAssign(Item(Byte) ? Item(Byte) : FTable[0]);
}

bool TAttributeParser::CharRange(int32_t Line, int32_t From, int32_t To, int32_t& A, int32_t& B) const {
    TCustomMemoSource* S = Source();
    if (!S || Line < 0 || Line >= S->GetStrCount())
        return false;
    const std::string& Text = S->GetStringItem(Line)->Text;
    const int32_t N = int32_t(Text.size());
    A = std::clamp(S->GetRealTabIndex(Text, std::max(From, 0)), 0, N);
    B = To == INT_MAX ? N : std::clamp(S->GetRealTabIndex(Text, std::max(To, 0)), 0, N);
    return A < B;
}

void TAttributeParser::SelectionColumns(const TMemoRect& R, TSelectionType Type, int32_t Line, int32_t& From,
                                        int32_t& To) const {
    if (Type == stBlockSel) {
        // A column block takes its end column.
        From = std::min(R.Left, R.Right);
        To = std::max(R.Left, R.Right) + 1;
    } else {
        From = Line == R.Top ? R.Left : 0;
        To = Line == R.Bottom ? R.Right : INT_MAX;
    }
}

void TAttributeParser::GetStrAttribute(int32_t Line, int32_t From, const TMemoAttributes& Attr,
                                       TConsistentAttrs& Consistent, int32_t To) {
    int32_t A = 0, B = 0;
    if (!CharRange(Line, From, To, A, B))
        return;
    const std::string& Colors = Source()->GetStringItem(Line)->ColorData;
    for (int32_t I = A; I < B && Consistent != 0; ++I) {
        const uint8_t Byte = size_t(I) < Colors.size() ? uint8_t(Colors[size_t(I)]) : 0;
        const TMemoAttributes* E = Item(Byte) ? Item(Byte) : FTable[0];
        Consistent &= TConsistentAttrs(~Attr.Differences(*E));
    }
}

void TAttributeParser::GetAttributes(const TMemoRect& R, TSelectionType Type,
                                     const TMemoAttributes& Attributes, TConsistentAttrs& Consistent) {
    if (Type == stNotSelected)
        return;
    for (int32_t L = std::min(R.Top, R.Bottom); L <= std::max(R.Top, R.Bottom) && Consistent != 0; ++L) {
        int32_t From = 0, To = 0;
        SelectionColumns(R, Type, L, From, To);
        GetStrAttribute(L, From, Attributes, Consistent, To);
    }
}

void TAttributeParser::SetStrAttribute(int32_t Line, int32_t From, int32_t To, const TMemoAttributes& New) {
    int32_t A = 0, B = 0;
    if (!CharRange(Line, From, To, A, B))
        return;
    TCustomMemoSource* S = Source();
    std::string Colors = S->GetStringItem(Line)->ColorData;
    Colors.resize(S->GetStringItem(Line)->Text.size(), '\0');
    const TConsistentAttrs Set = New.ChangedAttrs();
    std::string Bytes = Colors.substr(size_t(A), size_t(B - A));
    for (size_t I = 0; I < Bytes.size();) {
        const uint8_t Old = uint8_t(Bytes[I]);
        size_t End = I + 1;
        while (End < Bytes.size() && uint8_t(Bytes[End]) == Old)
            ++End;
        // Only what was set on the selection changes; the rest of each run stays as it was.
        const TMemoAttributes& Run = Item(Old) ? *Item(Old) : *FTable[0];
        uint8_t Charset = Run.Charset();
        TColor Color = Run.Color(), Back = Run.BkColor();
        std::string Name = Run.Name();
        TFontPitch Pitch = Run.Pitch();
        int32_t Size = Run.Size();
        TFontStyles Style = Run.Style();
        if (Set & AttrBit(csColor))
            Color = New.Color();
        if (Set & AttrBit(csBkColor))
            Back = New.BkColor();
        if (Set & AttrBit(csFace))
            Name = New.Name();
        if (Set & AttrBit(csSize))
            Size = New.Size();
        if (Set & AttrBit(csCharSet))
            Charset = New.Charset();
        if (Set & AttrBit(csPitch))
            Pitch = New.Pitch();
        if (Set & AttrBit(csStyle)) {
            const std::pair<TFontStyle, TConsistentAttr> Styles[] = {{fsBold, csBold},
                                                                     {fsItalic, csItalic},
                                                                     {fsUnderline, csUnderline},
                                                                     {fsStrikeOut, csStrikeOut}};
            for (const auto& [FS, Attr] : Styles)
                Style = (Set & AttrBit(Attr)) ? TFontStyles(Style | FS) : TFontStyles(Style & ~FS);
        }
        TMemoAttributes Result(nullptr);
        Result.BeginUpdate();
        Result.SetCharset(Charset);
        Result.SetColor(Color);
        Result.SetBkColor(Back);
        Result.SetName(Name);
        Result.SetPitch(Pitch);
        Result.SetSize(Size);
        Result.SetStyle(Style);
        Result.SetChangedAttrs(0);
        Result.EndUpdate();
        const char Index = char(AddNewAttribute(Result));
        std::fill(Bytes.begin() + long(I), Bytes.begin() + long(End), Index);
        I = End;
    }
    if (Bytes != Colors.substr(size_t(A), Bytes.size())) {
        S->ReplaceColorData(Line, A + 1, Bytes);
        // Parsed again, the line is measured in its new fonts: a line that became taller or lower
        // moves the rows below it in every view.
        S->UpdateString(Line);
    }
}

void TAttributeParser::SetAttribute(const TMemoRect& R, TSelectionType Type,
                                    const TMemoAttributes& Attributes) {
    if (Type == stNotSelected)
        return;
    for (int32_t L = std::min(R.Top, R.Bottom); L <= std::max(R.Top, R.Bottom); ++L) {
        int32_t From = 0, To = 0;
        SelectionColumns(R, Type, L, From, To);
        SetStrAttribute(L, From, To, Attributes);
    }
}

// --- the memo's selection attributes --------------------------------------------------------------

TMemoAttributes& TCustomHSMemo::SelAttributes() {
    if (!FSelAttributes)
        FSelAttributes = std::make_unique<TMemoAttributes>(this);
    TCustomMemoSource* S = GetSource();
    TSimpleParser* Parser = GetSyntaxParser();
    if (!Parser) {
        FSelAttributes->AssignMemoFont();
        FOwnAttributeParser = std::make_unique<TAttributeParser>(this);
        S->SetSyntaxParser(FOwnAttributeParser.get());
    } else if (auto* AP = dynamic_cast<TAttributeParser*>(Parser)) {
        const POINT At = S->SelectionType() == stNotSelected
                             ? GetCaretPoint()
                             : POINT{S->BlockBegin().Char, S->BlockBegin().Line};
        AP->GetAttribute(At, *FSelAttributes);
    }
    return *FSelAttributes;
}

void TCustomHSMemo::SetSelAttributes(TMemoAttributes* Value) {
    if (Value)
        SelAttributes().Assign(Value);
}
