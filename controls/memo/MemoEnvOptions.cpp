#include "controls/memo/MemoEnvOptions.h"

#include <algorithm>
#include <vector>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/HSResStrings.h"
#include "framework/core/Properties.h"
#include "framework/ui/Controls.h"

namespace {
const TEnumInfo kMemoOptionInfo{
    {"moDrawMargin",         "moDrawGutter",         "moThumbTracking",         "moDblClickLine",
     "moColorSyntax",        "moLineNumbers",        "moOverwriteCaret",        "moLeftIndent",
     "moDisableDrag",        "moSelectOnlyText",     "moLineNumbersOnGutter",   "moNotePadCursorStyle",
     "moBreakWordAtMargin",  "moDrawSpecialSymbols", "moDisableRightClickMove", "moColoredLineStyle",
     "moDisableInvertedSel", "moHideInvisibleLines", "moDrawLineBookmarks",     "moShowScrollHint",
     "moUseReadOnlyColor",   "moExtendedSel",        "moCenterOnBookmark",      "moTripleClick",
     "moLimitLineNumbers"}};
const TEnumInfo kSeparatorOptionInfo{{"moDrawLineSeparator", "moWrappedLineSeparator"}};
const TEnumInfo kShapeInfo{{"shDoubleLine", "shSingleLine"}};

constexpr uint32_t kInitialEnvOptions = 1u | 2u | 4u | 16u; // margin, gutter, thumb tracking, colour syntax
constexpr UINT kOptionsUpdateMessage = kMemoOptionsUpdateMessage;

const std::vector<TObject*>& EnvOptObjectList() {
    return MemoEnvOptObjects();
}

bool LookUpGlobalStyle(const std::string& Name, TFont& Font, TColor& BackColor) {
    TMemoEnvOptions* G = dynamic_cast<TMemoEnvOptions*>(FindGlobalOptions(TMemoEnvOptions::StaticClass()));
    if (!G)
        return false;
    const int Index = G->TextStyles()->IndexOfName(Name);
    if (Index < 0)
        return false;
    TTextStyle* Style = G->TextStyles()->GetItem(Index);
    Font.Assign(Style->Font());
    BackColor = Style->Color();
    return true;
}

template <class C, class V> TPropInfo ObjectProp(const char* Name, V* (C::*Get)() const, void (C::*Set)(V*)) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = tkClass;
    P.PropClass = &V::StaticClass;
    P.GetObj = [Get](TObject* O) -> TObject* { return (static_cast<C*>(O)->*Get)(); };
    P.SetObj = [Set](TObject* O, TObject* Value) {
        if (auto* V2 = dynamic_cast<V*>(Value))
            (static_cast<C*>(O)->*Set)(V2);
    };
    return P;
}

void LimitPenWidth(TPen& Pen) {
    if (Pen.Width() > 2)
        Pen.SetWidth(2);
}
} // namespace

const TEnumInfo& MemoOptionInfo() {
    return kMemoOptionInfo;
}

ZEL_DEFINE_CLASS(
    TSpecialSymbols, TPersistent,
    {Prop::String<TSpecialSymbols>("EOLString", &TSpecialSymbols::EOLString, &TSpecialSymbols::SetEOLString),
     Prop::String<TSpecialSymbols>("EOFString", &TSpecialSymbols::EOFString, &TSpecialSymbols::SetEOFString),
     Prop::Char<TSpecialSymbols>("SpaceChar", &TSpecialSymbols::SpaceChar, &TSpecialSymbols::SetSpaceChar)
         .WithDefault(0),
     Prop::Char<TSpecialSymbols>("TabChar", &TSpecialSymbols::TabChar, &TSpecialSymbols::SetTabChar)
         .WithDefault(0)})
ZEL_DEFINE_CLASS(TLineSeparator, TPersistent,
                 {ObjectProp<TLineSeparator, TPen>("Pen", &TLineSeparator::PenPtr, &TLineSeparator::SetPen),
                  Prop::Set<TLineSeparator>("Options", &kSeparatorOptionInfo, &TLineSeparator::Options,
                                            &TLineSeparator::SetOptions)
                      .WithDefault(0)})
ZEL_DEFINE_CLASS(
    TLineHighlight, TPersistent,
    {ObjectProp<TLineHighlight, TPen>("Pen", &TLineHighlight::PenPtr, &TLineHighlight::SetPen),
     ObjectProp<TLineHighlight, TBrush>("Brush", &TLineHighlight::BrushPtr, &TLineHighlight::SetBrush),
     Prop::Bool<TLineHighlight>("Visible", &TLineHighlight::Visible, &TLineHighlight::SetVisible)
         .WithDefault(0),
     Prop::Enum<TLineHighlight>("Shape", &kShapeInfo, &TLineHighlight::Shape, &TLineHighlight::SetShape)
         .WithDefault(shDoubleLine)})
ZEL_DEFINE_CLASS(
    TMemoEnvOptions, TOptionExt,
    {Prop::Set<TMemoEnvOptions>("Options", &kMemoOptionInfo, &TMemoEnvOptions::Options,
                                &TMemoEnvOptions::SetOptions),
     Prop::String<TMemoEnvOptions>("KeyMapping", &TMemoEnvOptions::KeyMapping,
                                   &TMemoEnvOptions::SetKeyMapping),
     Prop::Int<TMemoEnvOptions>("MarginPos", &TMemoEnvOptions::MarginPos, &TMemoEnvOptions::SetMarginPos),
     Prop::Int<TMemoEnvOptions>("GutterWidth", &TMemoEnvOptions::GutterWidth,
                                &TMemoEnvOptions::SetGutterWidth),
     ObjectProp<TMemoEnvOptions, TBrush>("GutterBrush", &TMemoEnvOptions::GutterBrush,
                                         &TMemoEnvOptions::SetGutterBrush),
     ObjectProp<TMemoEnvOptions, TPen>("MarginPen", &TMemoEnvOptions::MarginPen,
                                       &TMemoEnvOptions::SetMarginPen),
     ObjectProp<TMemoEnvOptions, TLineSeparator>("LineSeparator", &TMemoEnvOptions::LineSeparator,
                                                 &TMemoEnvOptions::SetLineSeparator),
     ObjectProp<TMemoEnvOptions, TLineHighlight>("LineHighlight", &TMemoEnvOptions::LineHighlight,
                                                 &TMemoEnvOptions::SetLineHighlight),
     [] {
         TPropInfo P;
         P.Name = "Font";
         P.Kind = tkClass;
         P.PropClass = &TMemoFont::StaticClass;
         P.GetObj = [](TObject* O) -> TObject* { return static_cast<TMemoEnvOptions*>(O)->Font(); };
         P.SetObj = [](TObject* O, TObject* V) {
             if (auto* F = dynamic_cast<TFont*>(V))
                 static_cast<TMemoEnvOptions*>(O)->SetFont(F);
         };
         return P;
     }(),
     ObjectProp<TMemoEnvOptions, TTextStyles>("TextStyles", &TMemoEnvOptions::TextStyles,
                                              &TMemoEnvOptions::SetTextStyles),
     Prop::Int<TMemoEnvOptions>("Color", &TMemoEnvOptions::Color, &TMemoEnvOptions::SetColor, &ColorIdents()),
     Prop::Bool<TMemoEnvOptions>("UseMonoFont", &TMemoEnvOptions::UseMonoFont,
                                 &TMemoEnvOptions::SetUseMonoFont)
         .WithDefault(1),
     Prop::Int<TMemoEnvOptions>("ReadOnlyColor", &TMemoEnvOptions::ReadOnlyColor,
                                &TMemoEnvOptions::SetReadOnlyColor, &ColorIdents()),
     ObjectProp<TMemoEnvOptions, TSpecialSymbols>("SpecialSymbols", &TMemoEnvOptions::SpecialSymbols,
                                                  &TMemoEnvOptions::SetSpecSymbols),
     Prop::String<TMemoEnvOptions>("ColorSchema", &TMemoEnvOptions::ColorSchema,
                                   &TMemoEnvOptions::SetColorSchema)})

// --- TSpecialSymbols ------------------------------------------------------------------------

TSpecialSymbols::TSpecialSymbols() : FEOLString("\xB6"), FEOFString("_") {}

void TSpecialSymbols::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TSpecialSymbols*>(Source);
    if (!S)
        return;
    FEOLString = S->FEOLString;
    FEOFString = S->FEOFString;
    FSpaceChar = S->FSpaceChar;
    FTabChar = S->FTabChar;
    Update();
}

void TSpecialSymbols::Update() {
    DoEvent(OnUpdate);
}

void TSpecialSymbols::SetEOLString(const std::string& Value) {
    if (Value == FEOLString)
        return;
    FEOLString = Value;
    Update();
}
void TSpecialSymbols::SetEOFString(const std::string& Value) {
    if (Value == FEOFString)
        return;
    FEOFString = Value;
    Update();
}
void TSpecialSymbols::SetSpaceChar(char Value) {
    if (Value == FSpaceChar)
        return;
    FSpaceChar = Value;
    Update();
}
void TSpecialSymbols::SetTabChar(char Value) {
    if (Value == FTabChar)
        return;
    FTabChar = Value;
    Update();
}

// --- TLineSeparator -------------------------------------------------------------------------

TLineSeparator::TLineSeparator() : FPen(std::make_unique<TPen>()) {
    FPen->OnChange = [this](TGraphicsObject*) { PenChanged(); };
}
TLineSeparator::~TLineSeparator() {
    FPen->OnChange = nullptr;
}

void TLineSeparator::PenChanged() {
    if (FPen->Width() < 3)
        Update();
    else
        FPen->SetWidth(2);
}

void TLineSeparator::SetPen(TPen* Value) {
    if (!Value)
        return;
    FPen->Assign(*Value);
    LimitPenWidth(*FPen);
}

void TLineSeparator::SetOptions(TSeparatorOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    DoEvent(OnInvalidate);
    Update();
}

void TLineSeparator::Update() {
    if (FOptions & moDrawLineSeparator)
        DoEvent(OnInvalidate);
}

void TLineSeparator::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TLineSeparator*>(Source);
    if (!S)
        return TPersistent::Assign(Source);
    SetOptions(S->FOptions);
    SetPen(S->FPen.get());
}

// --- TLineHighlight -------------------------------------------------------------------------

TLineHighlight::TLineHighlight() : FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FPen->OnChange = [this](TGraphicsObject*) { PenChanged(); };
    FBrush->OnChange = [this](TGraphicsObject*) { Update(); };
}
TLineHighlight::~TLineHighlight() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TLineHighlight::PenChanged() {
    if (FPen->Width() < 3)
        Update();
    else
        FPen->SetWidth(2);
}

void TLineHighlight::SetPen(TPen* Value) {
    if (!Value)
        return;
    FPen->Assign(*Value);
    LimitPenWidth(*FPen);
}
void TLineHighlight::SetBrush(TBrush* Value) {
    if (Value)
        FBrush->Assign(*Value);
}
void TLineHighlight::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    Update();
}
void TLineHighlight::SetShape(TShapeHighlightType Value) {
    if (Value == FShape)
        return;
    FShape = Value;
    Update();
}
void TLineHighlight::Update() {
    DoEvent(OnInvalidate);
}

void TLineHighlight::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TLineHighlight*>(Source);
    if (!S)
        return TPersistent::Assign(Source);
    SetVisible(S->FVisible);
    SetPen(S->FPen.get());
    SetBrush(S->FBrush.get());
}

// --- TMemoEnvOptions ------------------------------------------------------------------------

TMemoEnvOptions::TMemoEnvOptions()
    : FGutterBrush(std::make_unique<TBrush>()), FMarginPen(std::make_unique<TPen>()),
      FLineSeparator(std::make_unique<TLineSeparator>()), FLineHighlight(std::make_unique<TLineHighlight>()),
      FFont(std::make_unique<TMemoFont>(this)), FTextStyles(std::make_unique<TTextStyles>(nullptr, nullptr)),
      FSpecialSymbols(std::make_unique<TSpecialSymbols>()) {
    FInitializing = true; // values come from InitValues, run by the option registry
    GlobalTextStyleLookup = &LookUpGlobalStyle;
}

TMemoEnvOptions::~TMemoEnvOptions() {
    if (IsGlobal())
        GlobalTextStyleLookup = nullptr;
    FGutterBrush->OnChange = nullptr;
    FMarginPen->OnChange = nullptr;
    FFont->OnChange = nullptr;
    FLineSeparator->Pen().OnChange = nullptr;
    FLineHighlight->Pen().OnChange = nullptr;
    FLineHighlight->Brush().OnChange = nullptr;
    FTextStyles->OnChange = nullptr;
}

void TMemoEnvOptions::OnNeedUpdate() {
    if (!FInitializing)
        Update();
}

void TMemoEnvOptions::InitValues() {
    FInitializing = true;
    FMarginPos = 80;
    FGutterWidth = 32;
    FOptions = kInitialEnvOptions;
    FKeyMapping = "Default";
    auto Need = [this](TGraphicsObject*) { OnNeedUpdate(); };
    FGutterBrush->SetColor(clBtnFace);
    FGutterBrush->SetStyle(TBrushStyle::bsSolid);
    FGutterBrush->OnChange = Need;
    FMarginPen->SetWidth(1);
    FMarginPen->SetStyle(TPenStyle::psSolid);
    FMarginPen->SetColor(clGrayText);
    FMarginPen->OnChange = Need;
    FLineSeparator->Pen().Assign(*FMarginPen);
    FLineHighlight->Pen().Assign(*FMarginPen);
    FLineHighlight->Brush().Assign(*FGutterBrush);
    FLineSeparator->OnInvalidate = [this] { OnNeedUpdate(); };
    FLineHighlight->OnInvalidate = [this] { OnNeedUpdate(); };
    FFont->SetName("Courier New");
    FFont->SetSize(10);
    FFont->SetColor(clBlack);
    FFont->OnChange = Need;
    FColor = clWindow;
    FTextStyles->SetDefaultStyles();
    FTextStyles->OnChange = [this](TObject*) { OnNeedUpdate(); };
    FUseMonoFont = true;
    FReadOnlyColor = clWindow;
    FSpecialSymbols->SetEOLString("\xB6");
    FSpecialSymbols->SetEOFString("_");
    FSpecialSymbols->SetSpaceChar(0);
    FSpecialSymbols->SetTabChar(0);
    FSpecialSymbols->OnUpdate = [this] { OnNeedUpdate(); };
    FInitializing = false;
}

void TMemoEnvOptions::Update() {
    if (UpdateDisabled() || FInitializing)
        return;
    // A copy of the list: an object may unregister while it handles the message.
    const std::vector<TObject*> Objects = EnvOptObjectList();
    for (TObject* O : Objects) {
        if (std::find(EnvOptObjectList().begin(), EnvOptObjectList().end(), O) == EnvOptObjectList().end())
            continue;
        if (auto* H = dynamic_cast<IHSMessageHandler*>(O)) {
            THSMessage M;
            M.Msg = kOptionsUpdateMessage;
            H->HSDispatch(M);
        } else if (auto* C = dynamic_cast<TControl*>(O)) {
            C->Perform(kOptionsUpdateMessage, 0, 0);
        }
    }
}

void TMemoEnvOptions::SetOptions(uint32_t Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    Update();
}
void TMemoEnvOptions::SetKeyMapping(const std::string& Value) {
    if (Value == FKeyMapping)
        return;
    FKeyMapping = Value;
    Update();
}
void TMemoEnvOptions::SetMarginPos(int32_t Value) {
    if (Value == FMarginPos)
        return;
    FMarginPos = Value;
    Update();
}
void TMemoEnvOptions::SetGutterWidth(int32_t Value) {
    if (Value == FGutterWidth)
        return;
    FGutterWidth = Value;
    Update();
}
void TMemoEnvOptions::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Update();
}
void TMemoEnvOptions::SetUseMonoFont(bool Value) {
    if (Value == FUseMonoFont)
        return;
    FUseMonoFont = Value;
    Update();
}
void TMemoEnvOptions::SetReadOnlyColor(TColor Value) {
    if (Value == FReadOnlyColor)
        return;
    FReadOnlyColor = Value;
    Update();
}
void TMemoEnvOptions::SetGutterBrush(TBrush* Value) {
    if (Value)
        FGutterBrush->Assign(*Value);
    Update();
}
void TMemoEnvOptions::SetMarginPen(TPen* Value) {
    if (Value)
        FMarginPen->Assign(*Value);
    LimitPenWidth(*FMarginPen);
    Update();
}
void TMemoEnvOptions::SetLineSeparator(TLineSeparator* Value) {
    FLineSeparator->Assign(Value);
    LimitPenWidth(FLineSeparator->Pen());
    Update();
}
void TMemoEnvOptions::SetLineHighlight(TLineHighlight* Value) {
    FLineHighlight->Assign(Value);
    LimitPenWidth(FLineHighlight->Pen());
    Update();
}
void TMemoEnvOptions::SetFont(TFont* Value) {
    if (Value)
        FFont->Assign(*Value);
    Update();
}
void TMemoEnvOptions::SetTextStyles(TTextStyles* Value) {
    FTextStyles->Assign(Value);
    Update();
}
void TMemoEnvOptions::SetSpecSymbols(TSpecialSymbols* Value) {
    FSpecialSymbols->Assign(Value);
    Update();
}

void TMemoEnvOptions::Dispatch(uint32_t Msg) {
    if (Msg == 0x7F6)
        FTextStyles->LoadColorStyles();
    else if (Msg == 0x7F7)
        FTextStyles->SaveColorStyles();
}

TMemoEnvOptions* GlobalMemoOptions() {
    return GetOptions<TMemoEnvOptions>();
}

void EnumTextStyles(const std::function<void(const std::string&)>& Callback) {
    TTextStyles* Styles = GlobalMemoOptions()->TextStyles();
    for (int I = 0; I < Styles->Count(); ++I)
        Callback(Styles->GetItem(I)->Name());
}
