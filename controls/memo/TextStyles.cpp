#include "controls/memo/TextStyles.h"

#include <fstream>
#include <sstream>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/HSCommon.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"

namespace {
const TEnumInfo kUpdateMemoColorsInfo{{"mcNone", "mcText", "mcSelection", "mcSearchMatch"}};

struct TDefaultStyle {
    const char* Name;
    TColor FontColor;
    TColor BackColor;
    TFontStyles Style;
    TUpdateMemoColors Update;
    bool UseMemoColor;
};

const TDefaultStyle kDefaultStyles[] = {
    {"Whitespace", clBlack, clWindow, 0, mcNone, true},
    {"String", clMaroon, clWindow, 0, mcNone, true},
    {"Comment", clGray, clWindow, fsItalic, mcNone, true},
    {"Identifier", clBlack, clWindow, 0, mcNone, true},
    {"Integer", clGreen, clWindow, 0, mcNone, true},
    {"Float", clGreen, clWindow, 0, mcNone, true},
    {"Reserved words", clBlue, clWindow, fsBold, mcNone, true},
    {"Delimiters", clBlack, clWindow, 0, mcNone, true},
    {"Defines", clGreen, clWindow, 0, mcNone, true},
    {"Assembler", clGreen, clWindow, 0, mcNone, true},
    {"Html tags", clBlue, clWindow, 0, mcNone, true},
    {"Html params", clBlue, clWindow, 0, mcNone, true},
    {"Url", clBlue, clWindow, fsUnderline, mcNone, true},
    {"BreakPoint", clWindow, clRed, 0, mcNone, false},
    {"Error line", clWindow, clMaroon, 0, mcNone, false},
    {"Marked Block", clWhite, clNavy, 0, mcSelection, false},
    {"Search Match", clLime, clBlack, 0, mcSearchMatch, false},
    {"Emphasis", clBlack, clWindow, fsBold, mcNone, true},
    {"System Variable", clBlue, clWindow, 0, mcNone, true},
    {"Script Whitespace", clTeal, clWindow, 0, mcNone, true},
    {"Script Delimiters", clBlack, clWindow, 0, mcNone, true},
    {"Script Comment", clGray, clWindow, fsItalic, mcNone, true},
    {"Script String", clMaroon, clWindow, 0, mcNone, true},
    {"Script Number", clBlue, clWindow, 0, mcNone, true},
    {"Script ResWord", clBlack, clWindow, fsBold, mcNone, true},
};

const char* const kExtraStyles[] = {"Emphasis",          "System Variable", "Script Whitespace",
                                    "Script Delimiters", "Script Comment",  "Script String",
                                    "Script Number",     "Script ResWord"};

// A parser-update bracket that closes on every path.
class TParserUpdateScope {
public:
    explicit TParserUpdateScope(TTextStyles& Styles) : FStyles(Styles) { FStyles.BeginParserUpdate(); }
    ~TParserUpdateScope() { FStyles.EndParserUpdate(); }
    TParserUpdateScope(const TParserUpdateScope&) = delete;
    TParserUpdateScope& operator=(const TParserUpdateScope&) = delete;

private:
    TTextStyles& FStyles;
};

class TCollectionUpdateScope {
public:
    explicit TCollectionUpdateScope(TCollection& C) : FC(C) { FC.BeginUpdate(); }
    ~TCollectionUpdateScope() { FC.EndUpdate(); }
    TCollectionUpdateScope(const TCollectionUpdateScope&) = delete;
    TCollectionUpdateScope& operator=(const TCollectionUpdateScope&) = delete;

private:
    TCollection& FC;
};

TMemoFont* StyleFont(TTextStyle* S) {
    return S->FontPtr();
}
void SetStyleFont(TTextStyle* S, TMemoFont* F) {
    S->SetFont(F);
}
} // namespace

ZEL_DEFINE_CLASS(TMemoFont, TFont, {})
ZEL_DEFINE_CLASS(
    TTextStyle, THSNamedItem,
    {Prop::Int<TTextStyle>("Color", &TTextStyle::Color, &TTextStyle::SetColor, &ColorIdents())
         .StoredIf([](TObject* O) { return !static_cast<TTextStyle*>(O)->UseMemoColor(); }),
     [] {
         TPropInfo P;
         P.Name = "Font";
         P.Kind = tkClass;
         P.PropClass = &TMemoFont::StaticClass;
         P.GetObj = [](TObject* O) -> TObject* { return StyleFont(static_cast<TTextStyle*>(O)); };
         P.SetObj = [](TObject* O, TObject* V) {
             if (auto* F = dynamic_cast<TMemoFont*>(V))
                 SetStyleFont(static_cast<TTextStyle*>(O), F);
         };
         P.Stored = [](TObject* O) { return !static_cast<TTextStyle*>(O)->UseMemoFont(); };
         return P;
     }(),
     Prop::Bool<TTextStyle>("UpperCase", &TTextStyle::UpperCase, &TTextStyle::SetUpperCase).WithDefault(0),
     Prop::Enum<TTextStyle>("UpdateMemoColors", &kUpdateMemoColorsInfo, &TTextStyle::UpdateMemoColors,
                            &TTextStyle::SetUpdateMemoColors),
     Prop::Bool<TTextStyle>("UseMemoColor", &TTextStyle::UseMemoColor, &TTextStyle::SetUseMemoColor),
     Prop::Bool<TTextStyle>("UseMemoFont", &TTextStyle::UseMemoFont, &TTextStyle::SetUseMemoFont)})
ZEL_DEFINE_CLASS(TTextStyles, TCustomHSNamedItems, {})

// --- TTextStyle -----------------------------------------------------------------------------

TTextStyle::TTextStyle(TCollection* Collection)
    : THSNamedItem(nullptr), FFont(std::make_unique<TMemoFont>(this)), FBrush(std::make_unique<TBrush>()) {
    FBrush->SetColor(FColor);
    SetCollection(Collection);
    SetUseMemoColor(true);
    SetUseMemoFont(true);
    FFont->OnChange = [this](TGraphicsObject*) { FontChanged(); };
    FConstructing = false;
}

TTextStyle::~TTextStyle() {
    if (FFont)
        FFont->OnChange = nullptr;
}

TTextStyles* TTextStyle::Styles() const {
    return dynamic_cast<TTextStyles*>(Collection());
}

TTextStyleHost* TTextStyle::Memo() const {
    TTextStyles* S = Styles();
    return S ? S->Host() : nullptr;
}

void TTextStyle::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TTextStyle*>(Source);
    if (!S)
        return THSNamedItem::Assign(Source);
    SetName(S->Name());
    FUpdateMemoColors = mcNone; // lets the flags below take the source's values
    FColor = S->FColor;
    FBrush->SetColor(FColor);
    FFont->Assign(*S->FFont);
    FUpperCase = S->FUpperCase;
    FUseMemoColor = S->FUseMemoColor;
    FUseMemoFont = S->FUseMemoFont;
    FUpdateMemoColors = S->FUpdateMemoColors;
    Changed(false);
}

void TTextStyle::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    FUseMemoColor = false;
    FBrush->SetColor(Value);
    DoUpdateMemoColors();
    Changed(false);
}

void TTextStyle::SetFont(TFont* Value) {
    if (Value)
        FFont->Assign(*Value);
}

void TTextStyle::FontChanged() {
    if (FConstructing)
        return;
    FUseMemoFont = false;
    DoUpdateMemoColors();
    Changed(false);
    DoParserChanged(false);
}

void TTextStyle::SetUseMemoFont(bool Value) {
    if (Value && FUpdateMemoColors != mcNone)
        Value = false;
    if (Value == FUseMemoFont && !FConstructing)
        return;
    FUseMemoFont = Value;
    if (Value)
        AssignMemoFont();
    if (!FConstructing)
        Changed(false);
}

void TTextStyle::SetUseMemoColor(bool Value) {
    if (Value && FUpdateMemoColors != mcNone)
        Value = false;
    if (Value == FUseMemoColor && !FConstructing)
        return;
    FUseMemoColor = Value;
    if (Value)
        AssignMemoColor();
    if (!FConstructing)
        Changed(false);
}

void TTextStyle::SetUpperCase(bool Value) {
    if (Value == FUpperCase)
        return;
    FUpperCase = Value;
    DoParserChanged(true);
    Changed(false);
}

void TTextStyle::SetUpdateMemoColors(TUpdateMemoColors Value) {
    if (Value == FUpdateMemoColors)
        return;
    FUpdateMemoColors = Value;
    DoUpdateMemoColors();
}

void TTextStyle::AssignMemoFont() {
    TTextStyleHost* M = Memo();
    if (!M)
        return;
    auto Handler = std::move(FFont->OnChange);
    FFont->Assign(M->HostFont());
    FFont->OnChange = std::move(Handler);
    FUseMemoFont = true;
}

void TTextStyle::AssignMemoColor() {
    TTextStyleHost* M = Memo();
    FColor = M ? M->HostColor() : clWindow;
    FBrush->SetColor(FColor);
    if (M)
        FUseMemoColor = true;
}

void TTextStyle::AssignFontNameAndSize() {
    TTextStyleHost* M = Memo();
    if (!M)
        return;
    auto Handler = std::move(FFont->OnChange);
    FFont->SetName(M->HostFont().Name());
    FFont->SetHeight(M->HostFont().Height());
    FFont->OnChange = std::move(Handler);
}

void TTextStyle::DoUpdateMemoColors() {
    TTextStyleHost* M = Memo();
    if (!M)
        return;
    switch (FUpdateMemoColors) {
    case mcText:
        M->HostSetTextColors(FFont->Color(), FColor);
        break;
    case mcSelection:
        M->HostSetSelectionColors(FFont->Color(), FColor);
        break;
    case mcSearchMatch:
        M->HostSetMatchColors(FFont->Color(), FColor);
        break;
    case mcNone:
        break;
    }
}

void TTextStyle::DoParserChanged(bool Force) {
    TTextStyleHost* M = Memo();
    TTextStyles* S = Styles();
    if (!M || !S)
        return;
    if (!Force && M->HostUseMonoFont())
        return;
    if (S->ParserUpdateCount() == 0) {
        M->HostParserChanged();
        M->HostStylesUpdated(false);
    } else {
        S->SetParserPending();
    }
}

// --- TTextStyles ----------------------------------------------------------------------------

TTextStyles::TTextStyles(TComponent* Owner, TTextStyleHost* Host)
    : TCustomHSNamedItems(Owner, TTextStyle::StaticClass()), FHost(Host) {}

TTextStyles::~TTextStyles() = default;

void TTextStyles::Assign(TPersistent* Source) {
    TParserUpdateScope Scope(*this);
    TCustomHSNamedItems::Assign(Source);
}

void TTextStyles::EndParserUpdate() {
    if (FParserUpdateCount > 0)
        --FParserUpdateCount;
    if (FParserUpdateCount != 0 || !FHost)
        return;
    bool Pending = FParserPending;
    FParserPending = false;
    if (Pending)
        FHost->HostParserChanged();
    FHost->HostStylesUpdated(Pending);
}

void TTextStyles::SetDefaultStyles() {
    TParserUpdateScope Scope(*this);
    TCollectionUpdateScope Update(*this);
    Clear();
    for (const TDefaultStyle& D : kDefaultStyles)
        AddStyleEx(D.Name, D.FontColor, D.BackColor, D.Style, D.Update, false, D.UseMemoColor);
}

TTextStyle* TTextStyles::AddStyleEx(const std::string& Name, TColor Color, TColor BkColor,
                                    TFontStyles FontStyle, TUpdateMemoColors UpdateMemoColors,
                                    bool UseMemoFont, bool UseMemoColor) {
    TCollectionUpdateScope Update(*this);
    auto* S = static_cast<TTextStyle*>(Add());
    S->SetColor(BkColor);
    S->SetName(Name);
    S->Font().SetColor(Color);
    S->Font().SetStyle(FontStyle);
    S->SetUseMemoColor(UseMemoColor);
    S->SetUseMemoFont(UseMemoFont);
    S->SetUpdateMemoColors(UpdateMemoColors);
    return S;
}

TTextStyle* TTextStyles::AddStyle(const std::string& Name, TColor Color, TColor BkColor) {
    auto* S = static_cast<TTextStyle*>(Add());
    S->SetColor(BkColor);
    S->SetName(Name);
    S->Font().SetColor(Color);
    return S;
}

void TTextStyles::UpdateParams() {
    TParserUpdateScope Scope(*this);
    for (int I = 0; I < Count(); ++I) {
        TTextStyle* S = GetItem(I);
        if (S->UseMemoColor())
            S->AssignMemoColor();
        if (S->UseMemoFont())
            S->AssignMemoFont();
        S->AssignFontNameAndSize();
    }
}

int TTextStyles::GetMaxCharWidth() {
    if (Count() == 0)
        return -1;
    int Result = -1;
    for (int I = 0; I < Count(); ++I)
        Result = std::max(Result, GetAveFontWidth(GetItem(I)->Font()));
    return Result;
}

int TTextStyles::GetMaxCharHeight() {
    if (Count() == 0)
        return -1;
    int Result = -1;
    for (int I = 0; I < Count(); ++I)
        Result = std::max(Result, GetMaxFontHeight(GetItem(I)->Font()));
    return Result;
}

void TTextStyles::SaveToFile(const std::string& FileName) {
    TPersHolder Holder;
    Holder.SetP(this);
    const std::string Text = ObjectToText(&Holder);
    // Written beside the target and moved over it, so a failed write never leaves half a file.
    const std::string Temp = FileName + ".tmp";
    {
        std::ofstream Out(Temp, std::ios::binary | std::ios::trunc);
        Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        Out.flush();
        if (!Out) {
            Out.close();
            DeleteFile(Temp);
            throw EHSError("Cannot write color styles to " + FileName);
        }
    }
    if (!MoveFileExA(Temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFile(Temp);
        throw EHSError("Cannot write color styles to " + FileName);
    }
}

void TTextStyles::LoadFromFile(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        throw EHSError("Cannot open color styles file " + FileName);
    std::ostringstream Buffer;
    Buffer << In.rdbuf();
    const std::string Text = Buffer.str();
    // The whole text is parsed and checked into a scratch table first; only a file that reads
    // cleanly replaces the styles.
    TTextStyles Scratch(nullptr, nullptr);
    try {
        TPersHolder Holder;
        Holder.SetP(&Scratch);
        ObjectFromText(Text, &Holder);
    } catch (const std::exception& E) {
        throw EHSError("Invalid color styles file " + FileName + ": " + E.what());
    }
    if (Text.find("object TPersHolder") == std::string::npos)
        throw EHSError("Invalid color styles file " + FileName + ": no style table");
    Assign(&Scratch);
}

bool TTextStyles::LoadColorStyles() {
    TOpenDialog Dialog(nullptr);
    Dialog.Title = "Load color styles";
    Dialog.Filter = "Color scheme (*.rgb)|*.RGB";
    Dialog.Options = ofHideReadOnly;
    if (!Dialog.Execute())
        return false;
    LoadFromFile(Dialog.FileName);
    return true;
}

bool TTextStyles::SaveColorStyles() {
    TSaveDialog Dialog(nullptr);
    Dialog.Title = "Save color styles";
    Dialog.Filter = "Color scheme (*.rgb)|*.RGB";
    Dialog.Options = ofHideReadOnly;
    if (!Dialog.Execute())
        return false;
    SaveToFile(ChangeFileExt(Dialog.FileName, ".RGB"));
    return true;
}

void RemoveExtraStyles(TTextStyles& Styles) {
    for (int I = Styles.Count() - 1; I >= 0; --I)
        for (const char* Name : kExtraStyles)
            if (CompareText(Styles.GetItem(I)->Name(), Name) == 0) {
                Styles.Delete(I);
                break;
            }
}
