#include "controls/memo/Memo.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <utility>

#include "controls/foundation/FontWidthCache.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/memo/KeyMapTables.h"
#include "controls/memo/MemoHotStrings.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/memo/MemoPopupList.h"
#include "controls/memo/MemoScopes.h"
#include "controls/textmodel/SchemeParser.h"
#include "controls/textmodel/TextEncoding.h"
#include "framework/core/Properties.h"
#include "framework/ui/Clipbrd.h"

const TEnumInfo& MemoOptionInfo();

namespace {
std::vector<TCustomHSMemo*>& Memos() {
    static std::vector<TCustomHSMemo*> List;
    return List;
}
TCustomMemoSource* GLastFocusedSource = nullptr;

const TEnumInfo kAlignmentInfo{{"taLeftJustify", "taRightJustify", "taCenter"}};

template <class V>
TPropInfo MemoObject(const char* Name, V* (*Get)(TCustomHSMemo*), void (*Set)(TCustomHSMemo*, V*)) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = tkClass;
    P.PropClass = &V::StaticClass;
    P.GetObj = [Get](TObject* O) -> TObject* { return Get(static_cast<TCustomHSMemo*>(O)); };
    P.SetObj = [Set](TObject* O, TObject* Value) {
        if (auto* X = dynamic_cast<V*>(Value))
            Set(static_cast<TCustomHSMemo*>(O), X);
    };
    return P;
}

TCustomHSMemo* M(TObject* O) {
    return static_cast<TCustomHSMemo*>(O);
}

const TEnumInfo kScrollStyleInfo{{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo kBorderStyleInfo{{"bsNone", "bsSingle"}};
const TEnumInfo kMemoStringsOptionInfo{
    {"soBackUnindents", "soGroupUndo", "soBeyondFileEnd", "soForceCutCopy", "soAutoIndent", "soSmartTab",
     "soFindTextAtCursor", "soCreateBackups", "soPersistentBlocks", "soOverwriteBlocks", "soLimitEOL",
     "soUseTabCharacter", "soCursorOnTabs", "soOptimalFill", "soSelectFoundText", "soExcludeReadOnlyLines",
     "soCursorAlwaysOnTabs", "soUsePrevIndent", "soRetainColumn"}};
const TEnumInfo kMemoBlockOptionInfo{{"bkStreamSel", "bkBlockSel", "bkNone", "bkBoth"}};
const TEnumInfo kMemoOutFormatInfo{{"ofWindows", "ofMac", "ofUnix"}};

// A property of the memo's source, stored with the memo only while it shows its own source.
TPropInfo SourceOrd(const char* Name, TTypeKind Kind, const TEnumInfo* Info,
                    std::function<int64_t(TCustomMemoSource*)> Get,
                    std::function<void(TCustomMemoSource*, int64_t)> Set) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = Kind;
    P.EnumType = Info;
    P.GetOrd = [Get](TObject* O) { return Get(static_cast<TCustomHSMemo*>(O)->GetSource()); };
    P.SetOrd = [Set](TObject* O, int64_t V) { Set(static_cast<TCustomHSMemo*>(O)->GetSource(), V); };
    P.Stored = [](TObject* O) { return static_cast<TCustomHSMemo*>(O)->MemoSource() == nullptr; };
    return P;
}

TPropInfo SourceStr(const char* Name, std::function<std::string(TCustomMemoSource*)> Get,
                    std::function<void(TCustomMemoSource*, const std::string&)> Set) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = tkString;
    P.GetStr = [Get](TObject* O) { return Get(static_cast<TCustomHSMemo*>(O)->GetSource()); };
    P.SetStr = [Set](TObject* O, const std::string& V) {
        Set(static_cast<TCustomHSMemo*>(O)->GetSource(), V);
    };
    P.Stored = [](TObject* O) { return static_cast<TCustomHSMemo*>(O)->MemoSource() == nullptr; };
    return P;
}

TPropInfo MemoColor(const char* Name, TColor (TCustomHSMemo::*Get)() const,
                    void (TCustomHSMemo::*Set)(TColor), TColor Default) {
    return Prop::Int<TCustomHSMemo>(Name, Get, Set, &ColorIdents()).WithDefault(Default);
}

using TMemoBoolGet = bool (TCustomHSMemo::*)() const;
using TMemoBoolSet = void (TCustomHSMemo::*)(bool);
} // namespace

ZEL_DEFINE_CLASS(
    TCustomHSMemo, THSCustomControl,
    {[] {
         TPropInfo P;
         P.Name = "KeyMapping";
         P.Kind = tkString;
         P.GetStr = [](TObject* O) { return M(O)->KeyMapping(); };
         P.SetStr = [](TObject* O, const std::string& V) { M(O)->SetKeyMapping(V); };
         return P;
     }(),
     Prop::Set<TCustomHSMemo>("Options", &MemoOptionInfo(), &TCustomHSMemo::Options,
                              &TCustomHSMemo::SetOptions)
         .WithDefault(kDefaultMemoOptions),
     Prop::Int<TCustomHSMemo>("MarginPos", &TCustomHSMemo::MarginPos, &TCustomHSMemo::SetMarginPos)
         .WithDefault(80),
     Prop::Int<TCustomHSMemo>("GutterWidth", &TCustomHSMemo::GutterWidth, &TCustomHSMemo::SetGutterWidth)
         .WithDefault(32),
     MemoObject<TBrush>(
         "GutterBrush", [](TCustomHSMemo* Mm) { return &Mm->GutterBrush(); },
         [](TCustomHSMemo* Mm, TBrush* V) { Mm->SetGutterBrush(*V); }),
     MemoObject<TPen>(
         "MarginPen", [](TCustomHSMemo* Mm) { return &Mm->MarginPen(); },
         [](TCustomHSMemo* Mm, TPen* V) { Mm->SetMarginPen(*V); }),
     MemoObject<TLineSeparator>(
         "LineSeparator", [](TCustomHSMemo* Mm) { return &Mm->LineSeparator(); },
         [](TCustomHSMemo* Mm, TLineSeparator* V) { Mm->SetLineSeparator(V); }),
     MemoObject<TLineHighlight>(
         "LineHighlight", [](TCustomHSMemo* Mm) { return &Mm->LineHighlight(); },
         [](TCustomHSMemo* Mm, TLineHighlight* V) { Mm->SetLineHighlight(V); }),
     MemoObject<TFont>(
         "Font", [](TCustomHSMemo* Mm) { return &Mm->Font(); },
         [](TCustomHSMemo* Mm, TFont* V) { Mm->Font().Assign(*V); }),
     [] {
         TPropInfo P;
         P.Name = "Color";
         P.Kind = tkInteger;
         P.Idents = &ColorIdents();
         P.GetOrd = [](TObject* O) { return int64_t(M(O)->Color()); };
         P.SetOrd = [](TObject* O, int64_t V) { M(O)->SetColor(TColor(V)); };
         return P;
     }(),
     MemoObject<TTextStyles>(
         "TextStyles", [](TCustomHSMemo* Mm) { return &Mm->TextStyles(); },
         [](TCustomHSMemo* Mm, TTextStyles* V) { Mm->SetTextStyles(V); }),
     Prop::Bool<TCustomHSMemo>("UseMonoFont", &TCustomHSMemo::UseMonoFont, &TCustomHSMemo::SetUseMonoFont)
         .WithDefault(1),
     Prop::Int<TCustomHSMemo>("ReadOnlyColor", &TCustomHSMemo::ReadOnlyColor,
                              &TCustomHSMemo::SetReadOnlyColor, &ColorIdents()),
     MemoObject<TSpecialSymbols>(
         "SpecialSymbols", [](TCustomHSMemo* Mm) { return &Mm->SpecialSymbols(); },
         [](TCustomHSMemo* Mm, TSpecialSymbols* V) { Mm->SetSpecialSymbols(V); }),
     Prop::Bool<TCustomHSMemo>("WordWrap", &TCustomHSMemo::WordWrap, &TCustomHSMemo::SetWordWrap)
         .WithDefault(0),
     Prop::Bool<TCustomHSMemo>("UseGlobalOptions", &TCustomHSMemo::UseGlobalOptions,
                               &TCustomHSMemo::SetUseGlobalOptions)
         .WithDefault(0),
     Prop::Enum<TCustomHSMemo>("ScrollBars", &kScrollStyleInfo, &TCustomHSMemo::ScrollBars,
                               &TCustomHSMemo::SetScrollBars)
         .WithDefault(0),
     Prop::Enum<TCustomHSMemo>("BorderStyle", &kBorderStyleInfo, &TCustomHSMemo::BorderStyle,
                               &TCustomHSMemo::SetBorderStyle)
         .WithDefault(1),
     Prop::Enum<TCustomHSMemo>("LineNumAlign", &kAlignmentInfo, &TCustomHSMemo::LineNumAlign,
                               &TCustomHSMemo::SetLineNumAlign)
         .WithDefault(1),
     MemoColor("DisabledColor", &TCustomHSMemo::DisabledColor, &TCustomHSMemo::SetDisabledColor, clGrayText),
     MemoColor("SelColor", &TCustomHSMemo::SelColor, &TCustomHSMemo::SetSelColor, clHighlightText),
     MemoColor("SelBackColor", &TCustomHSMemo::SelBackColor, &TCustomHSMemo::SetSelBackColor, clHighlight),
     MemoColor("MatchColor", &TCustomHSMemo::MatchColor, &TCustomHSMemo::SetMatchColor, clLime),
     MemoColor("MatchBackColor", &TCustomHSMemo::MatchBackColor, &TCustomHSMemo::SetMatchBackColor,
               clWindowText),
     MemoColor("LineNumColor", &TCustomHSMemo::LineNumColor, &TCustomHSMemo::SetLineNumColor, clWindowText),
     MemoColor("LineNumBackColor", &TCustomHSMemo::LineNumBackColor, &TCustomHSMemo::SetLineNumBackColor,
               clWindow),
     MemoColor("GutterBackColor", &TCustomHSMemo::GutterBackColor, &TCustomHSMemo::SetGutterBackColor,
               clWindow),
     MemoColor("GutterLineColor", &TCustomHSMemo::GutterLineColor, &TCustomHSMemo::SetGutterLineColor,
               clGray),
     MemoColor("LineBookmarkColor", &TCustomHSMemo::LineBookmarkColor, &TCustomHSMemo::SetLineBookmarkColor,
               clRed),
     Prop::Int<TCustomHSMemo>("GutterLineIndent", &TCustomHSMemo::GutterLineIndent,
                              &TCustomHSMemo::SetGutterLineIndent)
         .WithDefault(0),
     Prop::Int<TCustomHSMemo>("LeftIndent", &TCustomHSMemo::LeftIndent, &TCustomHSMemo::SetLeftIndent)
         .WithDefault(0),
     Prop::Int<TCustomHSMemo>("HorzMaxPos", &TCustomHSMemo::HorzMaxPos, &TCustomHSMemo::SetHorzMaxPos)
         .WithDefault(512),
     Prop::Bool<TCustomHSMemo>("HideCaret", &TCustomHSMemo::HideCaret, &TCustomHSMemo::SetHideCaret)
         .WithDefault(0),
     Prop::Bool<TCustomHSMemo>("HideSelection", &TCustomHSMemo::HideSelection,
                               &TCustomHSMemo::SetHideSelection)
         .WithDefault(0),
     Prop::Bool<TCustomHSMemo>("HideScrollBars", &TCustomHSMemo::HideScrollBars,
                               &TCustomHSMemo::SetHideScrollBars)
         .WithDefault(0),
     Prop::Bool<TCustomHSMemo>("WantTabs", TMemoBoolGet(&TCustomHSMemo::WantTabs),
                               TMemoBoolSet(&TCustomHSMemo::SetWantTabs))
         .WithDefault(0),
     Prop::Bool<TCustomHSMemo>("WantReturns", TMemoBoolGet(&TCustomHSMemo::WantReturns),
                               TMemoBoolSet(&TCustomHSMemo::SetWantReturns))
         .WithDefault(1),
     SourceOrd(
         "StringsOptions", tkSet, &kMemoStringsOptionInfo,
         [](TCustomMemoSource* S) { return int64_t(S->Options()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetOptions(TStringsOptions(V)); }),
     SourceStr(
         "TabStops", [](TCustomMemoSource* S) { return S->TabStops(); },
         [](TCustomMemoSource* S, const std::string& V) { S->SetTabStops(V); }),
     SourceStr(
         "Delimeters", [](TCustomMemoSource* S) { return S->Delimeters(); },
         [](TCustomMemoSource* S, const std::string& V) { S->SetDelimeters(V); }),
     SourceOrd(
         "ReadOnly", tkBool, nullptr, [](TCustomMemoSource* S) { return int64_t(S->ReadOnly()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetROnly(V != 0); }),
     SourceOrd(
         "BlockIndent", tkInteger, nullptr, [](TCustomMemoSource* S) { return int64_t(S->BlockIndent()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetBlockIndent(int32_t(V)); }),
     SourceOrd(
         "SpacesInTab", tkInteger, nullptr, [](TCustomMemoSource* S) { return int64_t(S->SpacesInTab()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetSpacesInTab(int32_t(V)); }),
     SourceOrd(
         "BlockOption", tkEnumeration, &kMemoBlockOptionInfo,
         [](TCustomMemoSource* S) { return int64_t(S->BlockOption()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetBlockOption(TBlockOption(V)); }),
     SourceOrd(
         "OutFormat", tkEnumeration, &kMemoOutFormatInfo,
         [](TCustomMemoSource* S) { return int64_t(S->OutFormat()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetOutFormat(TOutFormatType(V)); }),
     SourceOrd(
         "AllowUndo", tkBool, nullptr, [](TCustomMemoSource* S) { return int64_t(S->AllowUndo()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetAllowUndo(V != 0); }),
     SourceOrd(
         "UndoLimit", tkInteger, nullptr, [](TCustomMemoSource* S) { return int64_t(S->UndoLimit()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetUndoLimit(int32_t(V)); }),
     SourceOrd(
         "HighlightUrls", tkBool, nullptr, [](TCustomMemoSource* S) { return int64_t(S->HighlightUrls()); },
         [](TCustomMemoSource* S, int64_t V) { S->SetHighlightUrls(V != 0); }),
     Prop::Method("OnChange"),
     Prop::Method("OnStateChange"),
     Prop::Method("OnSelectionChange"),
     Prop::Method("OnClickGutter"),
     Prop::Method("OnMemoScroll"),
     Prop::Method("OnVerticalScroll")})
ZEL_DEFINE_CLASS(THSMemo, TCustomHSMemo, {})

// --- unit-level lists -----------------------------------------------------------------------

const std::vector<TCustomHSMemo*>& MemoList() {
    return Memos();
}

TCustomHSMemo* GetConnectedMemo(TCustomMemoSource* Source) {
    for (TCustomHSMemo* Memo : Memos())
        if (Memo->GetSource() == Source)
            return Memo;
    return nullptr;
}

void GetConnectedMemos(TCustomMemoSource* Source, std::vector<TCustomHSMemo*>& List) {
    List.clear();
    for (TCustomHSMemo* Memo : Memos())
        if (Memo->GetSource() == Source)
            List.push_back(Memo);
}

int32_t GetConnectedMemoCount(TCustomMemoSource* Source) {
    int32_t N = 0;
    for (TCustomHSMemo* Memo : Memos())
        if (Memo->GetSource() == Source)
            ++N;
    return N;
}

namespace {
// The memo's own hint stays up wherever the pointer goes; the memo hides it.
class TPopupHint : public THSHint {
public:
    explicit TPopupHint(TComponent* AOwner) : THSHint(AOwner) {}
    bool IsHintInRect(const RECT&, POINT) const override { return true; }
};
} // namespace

THSHint& TCustomHSMemo::EnsurePopupHint() {
    if (!FPopupHint)
        FPopupHint = new TPopupHint(this);
    return *FPopupHint;
}

void TCustomHSMemo::ShowPopupHint(const std::string& Text, POINT ScreenPoint, bool Flag) {
    (void)Flag;
    EnsurePopupHint().ActivateHintAtPos(ScreenPoint, Text);
}

void TCustomHSMemo::HidePopupHint() {
    if (FPopupHint && FPopupHint->Visible())
        FPopupHint->CancelHint();
}

TCustomMemoSource* LastFocusedMemoSource() {
    return GLastFocusedSource;
}

namespace {
UINT GRtfFormat = 0;
}

void InitMemoUnit() {
    SafeRegisterClass(THSMemo::StaticClass());
    RegisterMemoKeyMaps();
    GRtfFormat = RegisterClipboardFormatA("Rich Text Format");
}

void DoneMemoUnit() {
    // Memos still alive leave their lists on their own; only references to them are dropped here.
    GLastFocusedSource = nullptr;
}

UINT MemoRtfClipboardFormat() {
    return GRtfFormat;
}

void TCustomHSMemo::BuildDefaultKeyMap(TObject* Control) {
    if (auto* Memo = dynamic_cast<TCustomHSMemo*>(Control))
        Memo->InitDefaultKeyMapping();
}

const TSyntaxBlock* GetSyntaxBlockAtCursor(TCustomHSMemo& Memo) {
    auto* Parser = dynamic_cast<TSyntaxParser*>(Memo.GetSyntaxParser());
    TCustomMemoSource* S = Memo.GetSource();
    const int32_t Line = S->GetCurLine();
    if (!Parser || Line < 0 || Line >= S->GetStrCount())
        return nullptr;
    S->ParseToString(Line, false);
    const TStringItem* Item = S->GetStringItem(Line);
    return GetSyntaxBlockAt(*Parser, S->Strings().Get(Line), Item ? Item->StartState : 0, S->GetCurChar());
}

// --- construction ---------------------------------------------------------------------------

TCustomHSMemo::TCustomHSMemo(TComponent* AOwner) : THSCustomControl(AOwner) {
    FDefaultSource = CreateDefaultMemoSource();
    SetColor(clWindow);
    SetParentColor(false);
    SetParentFont(false);
    SetTabStop(true);
    SetCursor(crIBeam);
    SetBounds(0, 0, 185, 89);
    Font().SetName("Courier New");
    Font().SetSize(10);
    Font().SetColor(clBlack);

    FTextStyles = std::make_unique<TTextStyles>(this, this);
    FTextStyles->SetDefaultStyles();
    FTextStyles->UpdateParams();
    FTextStyles->OnChange = [this](TObject*) {
        FAveLineHeight = 0;
        Invalidate();
    };
    FGutterImgs = std::make_unique<THSGutterImages>(this);
    FGutterImgs->AddFromResource("BreakPoint", "MEMO_BREAKPOINT", -1);
    for (int I = 0; I < 10; ++I)
        FGutterImgs->AddFromResource("Bookmark" + std::to_string(I), "BIGBOOKMARK" + std::to_string(I), I);
    FGutterImgs->OnChange = [this](TObject*) { Invalidate(); };
    FTemplateFont = std::make_unique<TFont>();
    FTemplateFont->SetName("MS Sans Serif");
    FTemplateFont->SetSize(8);
    FTemplateList = std::make_unique<TStringList>();
    FPopupItems = std::make_unique<TStringList>();

    FMarginPen = std::make_unique<TPen>();
    FMarginPen->SetColor(clGrayText);
    FMarginPen->OnChange = [this](TGraphicsObject*) {
        if (FMarginPen->Width() > 2)
            FMarginPen->SetWidth(2);
        Invalidate();
    };
    FLineSeparator = std::make_unique<TLineSeparator>();
    FLineSeparator->OnInvalidate = [this] { Invalidate(); };
    FLineHighlight = std::make_unique<TLineHighlight>();
    FLineHighlight->OnInvalidate = [this] { InvalidateLines(CaretLine(), CaretLine()); };
    FSpecialSymbols = std::make_unique<TSpecialSymbols>();
    FSpecialSymbols->OnUpdate = [this] {
        if (HasOption(moDrawSpecialSymbols))
            Invalidate();
    };
    FGutterBrush = std::make_unique<TBrush>();
    FGutterBrush->SetColor(clBtnFace);
    FGutterBrush->OnChange = [this](TGraphicsObject*) { Invalidate(); };
    FMemoBackground = std::make_unique<TControlBackground>(this);
    FGutterBackground = std::make_unique<TGutterBackground>(this);
    FPositionStore = std::make_unique<TMemoPostionStore>();
    FWordWrapList = std::make_unique<TWordWrapList>();
    FLineInfoList = std::make_unique<TLineInfoList>();
    FCaretWidth = 2 * GetSystemMetrics(SM_CXBORDER);

    Memos().push_back(this);
    RegisterMemoEnvOptObject(this);
    BindSource(FDefaultSource, false);
}

TCustomHSMemo::~TCustomHSMemo() {
    BeginDestroy();
    FPopupList.reset();
    if (FOwnAttributeParser) {
        for (TCustomMemoSource* S : {FMemoSource, FDefaultSource})
            if (S && S->SyntaxParser() == FOwnAttributeParser.get())
                S->SetSyntaxParser(nullptr);
    }
    if (HandleAllocated()) {
        ::KillTimer(Handle(), kMemoSelTimer);
        ::KillTimer(Handle(), kMemoHintTimer);
    }
    TCustomMemoSource* Source = GetSource();
    if (Source && Source->ActiveView == this) {
        Source->ActiveView = nullptr;
        Source->NavigateHandler = nullptr;
        Source->LineMeasureHandler = nullptr;
    }
    if (GLastFocusedSource == Source)
        GLastFocusedSource = nullptr;
    UnRegisterMemoEnvOptObject(this);
    auto& List = Memos();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    if (Source)
        Source->UnregisterNotifier(THSNotifyEvent(this, &TCustomHSMemo::SourceNotify));
    if (FMemoSource)
        FMemoSource->RemoveFreeNotification(this);
    FTextStyles->OnChange = nullptr;
    FGutterImgs->OnChange = nullptr;
    // The default source is ours and goes last, after the window and the owned parts.
    TCustomMemoSource* Default = FDefaultSource;
    FDefaultSource = nullptr;
    FMemoSource = nullptr;
    DestroyHandle();
    delete Default;
}

TCustomMemoSource* TCustomHSMemo::CreateDefaultMemoSource() {
    auto* Source = new TMemoSource(nullptr);
    return Source;
}

// --- source binding -------------------------------------------------------------------------

void TCustomHSMemo::InstallViewHandlers(TCustomMemoSource* Source) {
    Source->ActiveView = this;
    Source->NavigateHandler = [this](int32_t& Lines, int32_t& Chars) { GetNavigation(Lines, Chars); };
    // With a proportional font the source keeps every line's pixel size: it then tells when an
    // edit makes a line taller or lower (the rows below move) and measures the longest line in
    // pixels.
    Source->LineMeasureHandler = nullptr;
    if (!FUseMonoFont)
        Source->LineMeasureHandler = [this](int32_t Line, TStringItem& Item) { GetLineHeight(Line, Item); };
}

void TCustomHSMemo::UnbindSource(TCustomMemoSource* Source) {
    if (!Source)
        return;
    Source->UnregisterNotifier(THSNotifyEvent(this, &TCustomHSMemo::SourceNotify));
    if (Source->ActiveView == this) {
        Source->ActiveView = nullptr;
        Source->NavigateHandler = nullptr;
        Source->LineMeasureHandler = nullptr;
    }
}

void TCustomHSMemo::BindSource(TCustomMemoSource* Source, bool Initial) {
    TWinControl* Active = dynamic_cast<TWinControl*>(Source->ActiveView);
    if (!Active || !Active->HandleAllocated() || GetFocus() != Active->Handle())
        InstallViewHandlers(Source);
    Source->RegisterNotifier(THSNotifyEvent(this, &TCustomHSMemo::SourceNotify), Initial);
}

void TCustomHSMemo::SetSource(TCustomMemoSource* Value) {
    if (Value == FMemoSource)
        return;
    TCustomMemoSource* Old = GetSource();
    UnbindSource(Old);
    FPositionStore->SavePosition(*this);
    if (FMemoSource)
        FMemoSource->RemoveFreeNotification(this);
    FMemoSource = Value;
    if (FMemoSource)
        FMemoSource->FreeNotification(this);
    FWinLine = FWinChar = 0;
    UpdateKeyMapping();
    const int32_t Wrapped = FFullWrapCount;
    BindSource(GetSource(), true);
    FPositionStore->RestorePosition(*this);
    // Binding has wrapped the new text from the top, when its line numbers changed width or for
    // its colouring when they did not; it is wrapped again only if that wrap kept a count of cells
    // that is no longer right (a large text was wrapped twice when its numbers kept their width).
    bool Rewrap = FFullWrapCount == Wrapped;
    if (!Rewrap) {
        const int32_t Cells = FWBCount;
        CheckWBCount(true);
        Rewrap = FWBCount != Cells;
    }
    if (Rewrap)
        WordWrapLines(0, INT_MAX, true);
    else
        WordWrapUpdated();
    UpdateMaxLine(false);
    Invalidate();
}

void TCustomHSMemo::Notification(TComponent* AComponent, TOperation Operation) {
    THSCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMemoSource) {
        // The source is going: its notifier list goes with it, so only our references are dropped.
        FPositionStore->Forget(FMemoSource);
        FMemoSource = nullptr;
        FWinLine = FWinChar = 0;
        BindSource(FDefaultSource, false);
        WordWrapLines(0, INT_MAX, true);
        Invalidate();
    }
}

bool TCustomHSMemo::NotifySource(UINT Message) {
    return GetSource()->MemoNotify(this, Message);
}

// --- following the source -------------------------------------------------------------------

void TCustomHSMemo::SourceNotify(TObject* Sender, int32_t First, int32_t Last) {
    auto* Source = dynamic_cast<TCustomMemoSource*>(Sender);
    if (!Source || Source != GetSource())
        return;
    SourceChanged(Sender, Source->MemoState, First, Last);
}

void TCustomHSMemo::SourceChanged(TObject* Sender, TMemoStates State, int32_t First, int32_t Last) {
    (void)Sender;
    TCustomMemoSource* Source = GetSource();
    const int32_t OldLine = FWinLine, OldChar = FWinChar;
    const int32_t OldNumWidth = FLineNumWidth;
    if (State & msCountChanged)
        Last = INT_MAX;
    // Line numbers of another width move the text: it is wrapped again from the top, once, before
    // anything measures it (a large text loaded into a view was wrapped three times).
    const bool NumbersMoved = (State & msCountChanged) && UpdateLineNumbersWidth(false);
    if (FWordWrap) {
        if (State & msCountChanged)
            ClearWrapRange(Source->GetStrCount(), INT_MAX);
        if (NumbersMoved)
            WordWrapLines(0, INT_MAX, true);
        else if ((State & msEdited) || ((State & msParserChanged) && FRewrapOnParserChange))
            WordWrapLines(First, Last, false);
    } else if (NumbersMoved) {
        UpdateCaret();
    }
    if ((State & msReadOnlyChanged) && Color() != FReadOnlyColor)
        Invalidate();
    const bool Active = Source->ActiveView == this;
    if (Active && ((State & msPositionChanged) || ((State & msEdited) && !FUseMonoFont))) {
        if ((State & msFoundRectChanged) && !(Source->FoundRect() == TMemoRect())) {
            const TMemoRect& R = Source->FoundRect();
            EnsurePointVisible(POINT{R.Right, std::max(R.Top, R.Bottom - 1)});
            MakeSearchPointVisible(R, true);
        }
        RecalculatePosition();
    } else if (Active && (State & msInsState)) {
        UpdateCaretMode();
    }
    StateChanged(State);
    if (State & (msPositionChanged | msEdited)) {
        if (Source->CarriedStyleFresh)
            Source->CarriedStyleFresh = false;
        else
            Source->CarriedStyle = -1;
    }
    if (State & (msPositionChanged | msBlockChanged))
        SelectionChanged();
    if (HandleAllocated()) {
        if (OldNumWidth != FLineNumWidth) {
            Invalidate();
        } else {
            const bool Repaint = (State & (msEdited | msBlockChanged | msFoundRectChanged | msNeedInvalidate |
                                           msParserChanged)) != 0;
            if (OldLine == FWinLine && OldChar == FWinChar) {
                if (Repaint)
                    InvalidateLines(First, Last);
            } else if (Repaint) {
                Invalidate();
            } else {
                QuickPaint(OldChar, OldLine);
            }
        }
        if ((State & msEdited) && (State & msCountChanged) && HasOption(moDrawSpecialSymbols))
            InvalidateLines(std::max(0, Source->GetCurLine() - 1), INT_MAX);
        if ((State & msCountChanged) || (FHideScrollBars && (State & (msEdited | msParserChanged))))
            UpdateScrollSize();
        if (State & (msCountChanged | msPositionChanged))
            UpdateScrollPos();
    }
    if (State & msEdited)
        DoEvent(OnChange, this);
}

void TCustomHSMemo::StateChanged(TMemoStates State) {
    if (State != 0 && OnStateChange)
        OnStateChange(this, State);
}

void TCustomHSMemo::SelectionChanged() {
    DoEvent(OnSelectionChange, this);
}

// --- text -----------------------------------------------------------------------------------

std::string TCustomHSMemo::GetText() const {
    return GetSource()->Lines().GetText();
}

void TCustomHSMemo::SetText(const std::string& Value) {
    GetSource()->Lines().SetText(Value);
}

std::string TCustomHSMemo::GetSelText() const {
    TCustomMemoSource* S = GetSource();
    if (!S->CanCopy())
        return std::string();
    std::string Result;
    const std::vector<std::string> Lines = S->BlockLines();
    for (size_t I = 0; I < Lines.size(); ++I) {
        if (I)
            Result += "\r\n";
        Result += Lines[I];
    }
    return Result;
}

void TCustomHSMemo::SetSelText(const std::string& Value) {
    TCustomMemoSource* S = GetSource();
    TSourceUpdate Update(*S, 38);
    if (S->SelectionType() != stNotSelected && !S->IsBlockEmpty()) {
        const TPosition Begin = S->BlockBegin();
        S->DeleteBlock();
        S->JumpTo(Begin.Char, Begin.Line);
    }
    if (!Value.empty())
        S->InsertText(Value);
}

int32_t TCustomHSMemo::SelLength() const {
    return int32_t(GetSelText().size());
}

void TCustomHSMemo::SelectAll() {
    GetSource()->SelectAll();
}

void TCustomHSMemo::ClearSelection() {
    TCustomMemoSource* S = GetSource();
    TSourceUpdate Update(*S, 2);
    S->ClearSelection();
}

void TCustomHSMemo::SetSelection(TSelectionType Type, int32_t StartChar, int32_t StartLine, int32_t EndChar,
                                 int32_t EndLine) {
    TCustomMemoSource* S = GetSource();
    TSourceUpdate Update(*S, 2);
    if (Type == stNotSelected)
        S->ClearSelection();
    else
        S->SetSelection(Type, StartChar, StartLine, EndChar, EndLine);
}

TSelectionType TCustomHSMemo::GetSelection(int32_t& StartChar, int32_t& StartLine, int32_t& EndChar,
                                           int32_t& EndLine) const {
    TCustomMemoSource* S = GetSource();
    StartChar = S->BlockBegin().Char;
    StartLine = S->BlockBegin().Line;
    EndChar = S->BlockEnd().Char;
    EndLine = S->BlockEnd().Line;
    return S->SelectionType();
}

POINT TCustomHSMemo::GetCaretPoint() const {
    TCustomMemoSource* S = GetSource();
    return POINT{S->GetCurChar(), S->GetCurLine()};
}

void TCustomHSMemo::SetCaretPoint(POINT P) {
    TCustomMemoSource* S = GetSource();
    TSourceUpdate Update(*S, 2);
    S->JumpTo(P.x, P.y);
}

std::string TCustomHSMemo::GetCurPosText() const {
    return std::to_string(CaretLine() + 1) + ": " + std::to_string(CaretChar() + 1);
}

// --- caret ----------------------------------------------------------------------------------

bool TCustomHSMemo::HasFocus() {
    return HandleAllocated() && GetFocus() == Handle();
}

int32_t TCustomHSMemo::GetCaretWidth() {
    if (!HasOption(moOverwriteCaret) || !TCustomMemoSource::GetOverwrite())
        return 2 * GetSystemMetrics(SM_CXBORDER);
    if (FUseMonoFont)
        return GetAveCharWidth();
    // As wide as the character it stands on; past the end of a line, its last character; on an
    // empty line, a blank.
    const POINT C = GetCaretPoint();
    std::string Text, ColorS;
    GetStrData(C.y, Text, ColorS);
    const int32_t Len = int32_t(Text.size());
    if (Len == 0)
        return SpaceWidth();
    const int32_t At = CaretCharIndex(C, Len);
    return MeasureChars(C.y, Text, ColorS, At, At + 1);
}

int32_t TCustomHSMemo::CaretCharIndex(POINT C, int32_t Len) {
    int32_t L = std::min<int32_t>(C.x + 1, Len);
    // A caret at the start of a wrapped row that continues a line takes the size of the character
    // after the one it stands on.
    if (FWordWrap && L > 1 && L < Len && GetWBPosition(POINT{L - 1, C.y}).x == 0)
        ++L;
    return std::max(L - 1, 0);
}

void TCustomHSMemo::GetCaretSize(int32_t& Width, int32_t& Height, int32_t& BaseOffset) {
    BaseOffset = 0;
    if (FHideCaret) {
        Width = Height = 1;
        return;
    }
    Width = std::max(1, GetCaretWidth());
    const POINT C = GetCaretPoint();
    // With word wrap the caret's own row gives its height and base line.
    const TRowInfo Row = RowInfoAt(C);
    Height = std::max(1, Row.Height);
    if (FUseMonoFont || FFixedLineHeight > 0)
        return;
    // As high as the character it stands on (past the end, the line's last one), on the row's
    // base line.
    std::string Text, ColorS;
    GetStrData(C.y, Text, ColorS);
    const int32_t Len = std::min<int32_t>(int32_t(Text.size()), int32_t(ColorS.size()));
    if (Len == 0)
        return;
    const int32_t At = CaretCharIndex(C, Len);
    bool Upper = false;
    TFont& F = RunFont(StyleAt(ColorS, At, C.y), Upper);
    const TFontInfo& Info = FontManager().GetFontInfo(F.Handle());
    Height = std::max(1, Info.Ascent + Info.Descent);
    BaseOffset = std::max(0, Row.BaseLine - Info.Ascent);
}

void TCustomHSMemo::CreateCaretNow() {
    if (!HandleAllocated())
        return;
    GetCaretSize(FCaretWidth, FCaretHeight, FCaretOffset);
    ::CreateCaret(Handle(), nullptr, FCaretWidth, FCaretHeight);
    FCaretCreated = true;
    UpdateCaret();
    ::ShowCaret(Handle());
}

bool TCustomHSMemo::UpdateCaretMode() {
    if (!HasFocus() || !Enabled())
        return false;
    int32_t W = 0, H = 0, Offset = 0;
    GetCaretSize(W, H, Offset);
    if (FCaretCreated && W == FCaretWidth && H == FCaretHeight && Offset == FCaretOffset)
        return false;
    ::HideCaret(Handle());
    ::DestroyCaret();
    CreateCaretNow();
    return true;
}

void TCustomHSMemo::UpdateCaret() {
    POINT P{-5, -5};
    if (!FHideCaret) {
        P = TextToPixelPoint(GetCaretPoint());
        if (P.x < GetPaintX() || P.y < 0)
            P = POINT{-10 - GetAveCharWidth(), -10};
        else
            P.y += FCaretOffset;
    }
    if (HasFocus())
        ::SetCaretPos(P.x, P.y);
}

void TCustomHSMemo::DoSetFocus() {
    TCustomMemoSource* S = GetSource();
    InstallViewHandlers(S);
    GLastFocusedSource = S;
    // The shared find and replace window acts on the text the user works in.
    SetCurrentFindSource(S);
    if (FHideSelection && S->SelectionType() != stNotSelected)
        Invalidate();
    CreateCaretNow();
    // The highlighted line is the one to clear when the caret leaves it.
    FLastCaretLine = CaretLine();
    FLastCaretChar = CaretChar();
    if (FLineHighlight->Visible())
        InvalidateLines(CaretLine(), CaretLine());
    StateChanged(msPositionChanged | msInsState | msCountChanged | msModifiedChanged | msObjNameChanged);
}

void TCustomHSMemo::DoKillFocus() {
    if (FPopupHint)
        FPopupHint->CancelHint();
    CancelDragging();
    KillHintTimer();
    if (FHideSelection && GetSource()->SelectionType() != stNotSelected)
        Invalidate();
    if (FCaretCreated) {
        ::HideCaret(Handle());
        ::DestroyCaret();
        FCaretCreated = false;
    }
    if (FLineHighlight->Visible())
        InvalidateLines(CaretLine(), CaretLine());
    GetSource()->NavigateHandler = [this](int32_t& Lines, int32_t& Chars) { GetNavigation(Lines, Chars); };
}

// --- typing ---------------------------------------------------------------------------------

bool TCustomHSMemo::InsertChar(char Ch) {
    const uint8_t C = uint8_t(Ch);
    if (KeyState() != 0 || C < 32 || C == 127)
        return false;
    std::string Text(1, Ch);
    if (C >= 0x80 && GetSource()->FileEncoding().HeldAsUtf8) {
        Text.clear();
        TextCodePage::AppendUtf8(Text, TextCodePage::ToUnicode(C));
    }
    InsertTyped(Text);
    return true;
}

void TCustomHSMemo::TypeUnicodeChar(uint32_t CodePoint) {
    // A character that ends a key sequence's keystroke is not text.
    if (KeyState() != 0 || KeyHandled())
        return;
    std::string Text;
    if (!GetSource()->FileEncoding().TypedText(CodePoint, Text)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    InsertTyped(Text);
}

void TCustomHSMemo::InsertTyped(const std::string& Text) {
    TCustomMemoSource* S = GetSource();
    if (S->GetReadOnly())
        return;
    TSourceUpdate Update(*S, 0);
    const int32_t OldStyle = S->CarriedStyle;
    S->CarriedStyle = S->GetAttr(S->GetCurChar(), S->GetCurLine());
    const bool Keep = S->HasOption(soPersistentBlocks) && TCustomMemoSource::GetOverwrite();
    const TSelectionType SavedType = S->SelectionType();
    const TPosition SavedBegin = S->BlockBegin(), SavedEnd = S->BlockEnd();
    if (!S->CheckOverwriteBlock())
        S->CarriedStyle = OldStyle;
    if (TCustomMemoSource::GetOverwrite())
        S->DeleteRight(1);
    if (S->Insert(Text))
        for (size_t I = 0; I < Text.size(); ++I)
            S->CursorRight();
    if (Keep && SavedType != stNotSelected)
        S->SetSelection(SavedType, SavedBegin.Char, SavedBegin.Line, SavedEnd.Char, SavedEnd.Line);
    else if (!S->HasOption(soPersistentBlocks) && !S->HasOption(soOverwriteBlocks))
        S->ClearSelection();
    S->CarriedStyle = OldStyle;
}

namespace {
// The procedure the memo's window had before it took characters in Unicode form, as a procedure
// handle that converts messages back to their code-page form.
WNDPROC MemoPreviousWndProc = nullptr;
WNDPROC MemoAnsiWndProc = nullptr;
} // namespace

// The memo's window is a Unicode window only for its characters: a character the code page has
// goes on to the memo's own procedure as a code-page character, as before; one it lacks, which the
// code-page form would have turned into '?', is typed by the memo itself. Everything else goes on
// converted to its code-page form.
LRESULT CALLBACK TCustomHSMemo::UnicodeWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* M = dynamic_cast<TCustomHSMemo*>(TWinControl::FromHandle(Wnd));
    if (M && (Msg == WM_CHAR || Msg == WM_IME_CHAR || Msg == WM_UNICHAR)) {
        if (Msg == WM_UNICHAR && WParam == UNICODE_NOCHAR)
            return TRUE;
        uint32_t CodePoint = uint32_t(WParam);
        if (Msg != WM_UNICHAR && CodePoint >= 0xD800 && CodePoint <= 0xDBFF) {
            M->FHighSurrogate = uint16_t(CodePoint);
            return 0;
        }
        if (Msg != WM_UNICHAR && CodePoint >= 0xDC00 && CodePoint <= 0xDFFF) {
            const uint32_t High = std::exchange(M->FHighSurrogate, uint16_t(0));
            if (!High)
                return 0;
            CodePoint = 0x10000 + ((High - 0xD800) << 10) + (CodePoint - 0xDC00);
        }
        char Byte;
        if (TextCodePage::FromUnicode(CodePoint, Byte))
            return CallWindowProcA(MemoAnsiWndProc, Wnd, WM_CHAR, WPARAM(uint8_t(Byte)), LParam);
        M->TypeUnicodeChar(CodePoint);
        return 0;
    }
    return CallWindowProcW(MemoPreviousWndProc, Wnd, Msg, WParam, LParam);
}

void TCustomHSMemo::KeyPress(char& Key) {
    const bool Typed = uint8_t(Key) >= 32;
    THSCustomControl::KeyPress(Key);
    if (Typed && OnHintPopup && !PopupListVisible()) {
        KillHintTimer();
        FHintPos = GetCaretPoint();
        if (HandleAllocated()) {
            FHintTimerOn = true;
            ::SetTimer(Handle(), kMemoHintTimer, UINT(std::max<int32_t>(1, FHintDelay)), nullptr);
        }
    }
}

void TCustomHSMemo::InitDefaultKeyMapping() {
    FillMemoKeyMap(*this, "Default");
}

// --- mouse ----------------------------------------------------------------------------------

// MouseDown, MouseMove, MouseUp and the rest of the mouse: MemoMouse.cpp.

void TCustomHSMemo::DoClickGutter(int32_t Line, int32_t ImageIndex, TShiftState Shift) {
    if (OnClickGutter)
        OnClickGutter(this, Line, ImageIndex, Shift);
}

void TCustomHSMemo::MemoJumpToUrl(const std::string& Url) {
    bool Handled = false;
    if (OnJumpToUrl)
        OnJumpToUrl(this, Url, Handled);
    if (Handled)
        return;
    // Text in a document decides nothing about what runs: only web, file-transfer and mail
    // addresses go to the shell.
    const std::string Target = HotStringToUrl(Url);
    if (!Target.empty())
        JumpToURL(Target);
}

void TCustomHSMemo::MouseWheel(int Delta) {
    FWheelAccumulator = int16_t(FWheelAccumulator + Delta);
    UINT PerNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &PerNotch, 0);
    if (PerNotch < 1 || PerNotch == WHEEL_PAGESCROLL)
        PerNotch = 3;
    const int Steps = FWheelAccumulator / WHEEL_DELTA;
    if (Steps == 0)
        return;
    FWheelAccumulator = int16_t(FWheelAccumulator - Steps * WHEEL_DELTA);
    ScrollScreenVert(-Steps * int32_t(PerNotch));
}

// --- window ---------------------------------------------------------------------------------

void TCustomHSMemo::CreateParams(TCreateParams& Params) {
    THSCustomControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_HSCROLL;
    Params.ClassStyle = CS_DBLCLKS;
    UpdateParamsWithBorderStyle(Params, FBorderStyle, true);
}

void TCustomHSMemo::Loaded() {
    THSCustomControl::Loaded();
    TCustomMemoSource* S = GetSource();
    {
        TSourceUpdate Update(*S, 2);
        S->JumpTo(0, 0);
    }
    S->ClearUndoBuffer();
    S->SetModified(false);
    UpdateAveSize();
    UpdateMaxLine(true);
    WordWrapLines(0, INT_MAX, false);
}

void TCustomHSMemo::DestroyWnd() {
    THSCustomControl::DestroyWnd();
    // The text lives in the source; it must not become the next window's caption.
    FText.clear();
}

void TCustomHSMemo::CreateHandleDone() {
    THSCustomControl::CreateHandleDone();
    MemoAnsiWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Handle(), GWLP_WNDPROC));
    MemoPreviousWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomHSMemo::UnicodeWndProc)));
    FontOnChange();
    UpdateLineNumbersWidth();
    UpdateScrollSize();
    UpdateScrollPos();
}

void TCustomHSMemo::ModifyScrollBar(int Kind, int Code, int32_t Pos) {
    if (Visible() && CanFocus() && TabStop() && !HasFocus())
        SetFocus();
    const bool Vert = Kind == 1;
    switch (Code) {
    case SB_LINEUP:
        Vert ? ScrollUp() : ScrollLeft();
        break;
    case SB_LINEDOWN:
        Vert ? ScrollDown() : ScrollRight();
        break;
    case SB_PAGEUP:
        Vert ? ScrollPageUp() : ScrollPageLeft();
        break;
    case SB_PAGEDOWN:
        Vert ? ScrollPageDown() : ScrollPageRight();
        break;
    case SB_THUMBTRACK:
        if (!HasOption(moThumbTracking))
            break;
        [[fallthrough]];
    case SB_THUMBPOSITION:
        if (Vert)
            SetWinLine(Pos);
        else
            SetWinChar(int32_t(int64_t(Pos) * CharScrollSize() / std::max(1, GetAveCharWidth())));
        break;
    case SB_TOP:
        if (Vert) {
            TSourceUpdate Update(*GetSource(), 2);
            GetSource()->JumpToFileBegin();
        } else {
            ScrollScreenHorz(-CaretChar());
        }
        break;
    case SB_BOTTOM:
        if (Vert) {
            TSourceUpdate Update(*GetSource(), 2);
            GetSource()->JumpToFileEnd();
        } else {
            ScrollScreenHorz(FHorzMaxPos - CaretChar());
        }
        break;
    default:
        break;
    }
}

void TCustomHSMemo::WndProc(TMessage& Message) {
    TCustomMemoSource* S = GetSource();
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTabs() ? DLGC_WANTTAB : 0);
        return;
    case WM_SETFOCUS:
        THSCustomControl::WndProc(Message);
        if (NotifySource(WM_SETFOCUS))
            DoSetFocus();
        return;
    case WM_KILLFOCUS:
        THSCustomControl::WndProc(Message);
        DoKillFocus();
        return;
    case WM_CLEAR:
        S->Clear();
        return;
    case WM_COPY:
        CopyToClipboard();
        return;
    case WM_CUT:
        CutToClipboard();
        return;
    case WM_PASTE:
        PasteFromClipboard();
        return;
    case WM_UNDO:
    case EM_UNDO:
        S->Undo();
        Message.Result = 1;
        return;
    case EM_CANUNDO:
        Message.Result = S->UndoAvailable() ? 1 : 0;
        return;
    case EM_EMPTYUNDOBUFFER:
        S->ClearUndoBuffer();
        return;
    case EM_GETLINECOUNT:
        Message.Result = S->GetStrCount();
        return;
    case EM_LINEINDEX: {
        int32_t Line = int32_t(Message.WParam);
        if (Line == -1)
            Line = S->GetCurLine();
        int64_t Sum = 0;
        for (int32_t I = 0; I < Line && I < S->GetStrCount(); ++I)
            Sum += int64_t(S->Strings().Get(I).size());
        Message.Result = LRESULT(Sum);
        return;
    }
    case EM_GETLINE: {
        const int32_t Line = int32_t(Message.WParam);
        auto* Buffer = reinterpret_cast<char*>(Message.LParam);
        Message.Result = 0;
        if (!Buffer || Line < 0 || Line >= S->GetStrCount())
            return;
        uint16_t Size = 0;
        std::memcpy(&Size, Buffer, sizeof(Size));
        if (Size == 0)
            return;
        const std::string Text = S->Strings().Get(Line);
        const size_t N = std::min<size_t>(Text.size(), Size);
        if (N == 0) {
            Buffer[0] = 0;
            return;
        }
        std::memcpy(Buffer, Text.data(), N);
        Message.Result = LRESULT(N);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = LRESULT(GetText().size());
        return;
    case WM_LBUTTONDBLCLK:
        // The source may take the double click (a jump to a message line); MouseDown marks.
        if (!NotifySource(WM_LBUTTONDBLCLK))
            return;
        break;
    case WM_TIMER:
        if (Message.WParam == kMemoSelTimer) {
            DoSelTimer();
        } else if (Message.WParam == kMemoHintTimer) {
            KillHintTimer();
            PopupHintBox();
        }
        return;
    case WM_SETCURSOR:
        if (WMSetCursor(Message))
            return;
        break;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        return;
    case WM_RBUTTONUP:
        WMRButtonUp(Message);
        return;
    case CM_MOUSELEAVE:
        THSCustomControl::WndProc(Message);
        HidePopupHint();
        return;
    case WM_MOUSEWHEEL:
        MouseWheel(int16_t(HIWORD(Message.WParam)));
        Message.Result = 0;
        return;
    case WM_VSCROLL:
        ModifyScrollBar(1, LOWORD(Message.WParam), HandleAllocated() ? GetScrollPosEx(Handle(), SB_VERT) : 0);
        VerticalScroll(LOWORD(Message.WParam));
        return;
    case WM_HSCROLL:
        ModifyScrollBar(0, LOWORD(Message.WParam), HandleAllocated() ? GetScrollPosEx(Handle(), SB_HORZ) : 0);
        return;
    case WM_SIZE:
        THSCustomControl::WndProc(Message);
        DoBoundsChanged();
        return;
    case CM_MEMOOPTIONSUPDATE:
        if (FUseGlobalOptions)
            LoadGlobalOptions();
        return;
    default:
        break;
    }
    THSCustomControl::WndProc(Message);
}

// --- position store -------------------------------------------------------------------------

void TMemoPostionStore::SavePosition(TCustomHSMemo& Memo) {
    TCustomMemoSource* Source = Memo.GetSource();
    auto It = std::lower_bound(FItems.begin(), FItems.end(), Source,
                               [](const TStoredPosition& P, TCustomMemoSource* S) { return P.Source < S; });
    const TStoredPosition Entry{Source, Memo.WinLine(), Memo.WinChar(), Memo.GetCaretPoint()};
    if (It != FItems.end() && It->Source == Source)
        *It = Entry;
    else
        FItems.insert(It, Entry);
}

void TMemoPostionStore::RestorePosition(TCustomHSMemo& Memo) {
    TCustomMemoSource* Source = Memo.GetSource();
    auto It = std::lower_bound(FItems.begin(), FItems.end(), Source,
                               [](const TStoredPosition& P, TCustomMemoSource* S) { return P.Source < S; });
    if (It == FItems.end() || It->Source != Source)
        return;
    TSourceUpdate Update(*Source, 2);
    Memo.FWinLine = It->WinLine;
    Memo.FWinChar = It->WinChar;
    Source->JumpTo(It->Caret.x, It->Caret.y);
}

void TMemoPostionStore::Forget(TCustomMemoSource* Source) {
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                                [Source](const TStoredPosition& P) { return P.Source == Source; }),
                 FItems.end());
}
