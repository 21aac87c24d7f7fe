#include "controls/tree/EditFamily.h"

#include "controls/tree/EditTextEditors.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/PackagedRegistries.h"
#include "framework/core/Properties.h"

ZEL_DEFINE_CLASS(TGraphicEdit, TCustomControl, {})
ZEL_DEFINE_CLASS(TColorEdit, TGraphicEdit, {})
ZEL_DEFINE_CLASS(TGraphEdit, TGraphicEdit, {})
ZEL_DEFINE_CLASS(TPenStyleEdit, TGraphicEdit, {})
ZEL_DEFINE_CLASS(TBrushStyleEdit, TGraphicEdit, {})
ZEL_DEFINE_CLASS(TCheckEdit, TCustomControl, {})
ZEL_DEFINE_CLASS(TRadioEdit, TCheckEdit, {})
ZEL_DEFINE_CLASS(TPopupColorBox, TPopupListBox, {})
ZEL_DEFINE_CLASS(TPopupPenBox, TPopupListBox, {})
ZEL_DEFINE_CLASS(TPopupBrushBox, TPopupListBox, {})
ZEL_DEFINE_CLASS(THSColorEdit, TCustomHSEdit, {})
ZEL_DEFINE_CLASS(THSPenStyleEdit, TCustomHSEdit, {})
ZEL_DEFINE_CLASS(THSBrushStyleEdit, TCustomHSEdit, {})
ZEL_DEFINE_CLASS(TCustomFileDirEdit, TCustomHSEdit, {})
ZEL_DEFINE_CLASS(THSFileNameEdit, TCustomFileDirEdit, {})
ZEL_DEFINE_CLASS(THSDirectoryEdit, TCustomFileDirEdit, {})
ZEL_DEFINE_CLASS(TCustomHSPropEditor, TCustomHSEdit, {})

namespace {

// Distinct addresses are all a value-type key needs.
const char StringKey = 0, ColorKey = 0, PenKey = 0, BrushKey = 0, BoolKey = 0;

THSEditPropertyHook& PropertyHook() {
    static THSEditPropertyHook Hook;
    return Hook;
}

const char* const PenNames[] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                "psDashDotDot", "psClear", "psInsideFrame"};
const char* const BrushRows[] = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                 "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};

int IndexIn(const char* const* Names, int Count, const std::string& S) {
    for (int I = 0; I < Count; ++I)
        if (strcasecmp(Names[I], S.c_str()) == 0)
            return I;
    return -1;
}

TPenStyle PenFromName(const std::string& S) {
    int I = IndexIn(PenNames, 7, S);
    return I < 0 ? TPenStyle::psSolid : static_cast<TPenStyle>(I);
}

TBrushStyle BrushFromName(const std::string& S) {
    int I = S.size() > 2 ? IndexIn(BrushRows, 8, S.substr(2)) : -1;
    return I < 0 ? TBrushStyle::bsSolid : static_cast<TBrushStyle>(I);
}

TColor ColorFromName(const std::string& S) {
    int32_t V = clBlack;
    if (ColorIdents().IdentToInt(S, V))
        return V;
    try {
        return static_cast<TColor>(std::stol(S, nullptr, 0));
    } catch (...) {
        return clBlack;
    }
}

std::string ColorName(TColor C) {
    std::string N;
    if (ColorIdents().IntToIdent(C, N))
        return N;
    return std::to_string(C);
}

// The shown label of a value name: without its two-letter prefix.
std::string Label(const std::string& S) {
    return S.size() > 2 ? S.substr(2) : std::string();
}

void FillWith(TCanvas& C, TColor Color, const RECT& R) {
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

// A black-framed swatch whose inside is filled with Color.
void ColorSwatch(TCanvas& C, const RECT& R, TColor Color) {
    C.Pen().SetColor(clBlack);
    C.Pen().SetStyle(TPenStyle::psSolid);
    C.Pen().SetWidth(1);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Rectangle(R);
    FillWith(C, Color == clNone ? clWindow : Color, RECT{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1});
}

// A black-framed swatch filled with the brush style in black over the info background.
void BrushSwatch(TCanvas& C, const RECT& R, TBrushStyle Style) {
    C.Pen().SetColor(clBlack);
    C.Pen().SetStyle(TPenStyle::psSolid);
    C.Pen().SetWidth(1);
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(clInfoBk);
    C.Rectangle(R);
    if (Style == TBrushStyle::bsClear)
        return;
    HDC DC = C.Handle();
    SetBkColor(DC, ColorToRGB(clInfoBk));
    SetBkMode(DC, OPAQUE);
    C.Brush().SetColor(clBlack);
    C.Brush().SetStyle(Style);
    C.Rectangle(R);
    C.Brush().SetStyle(TBrushStyle::bsSolid);
}

void PenLine(TCanvas& C, int X1, int X2, int Y, TPenStyle Style) {
    C.Pen().SetColor(clBlack);
    C.Pen().SetWidth(1);
    C.Pen().SetStyle(Style);
    SetBkMode(C.Handle(), TRANSPARENT);
    C.MoveTo(X1, Y);
    C.LineTo(X2, Y);
    C.Pen().SetStyle(TPenStyle::psSolid);
}

// The label from x = Left, vertically centred in R, one line without prefix characters.
void DrawLabel(TCanvas& C, const RECT& R, int Left, const std::string& Text) {
    RECT T{Left, R.top, R.right, R.bottom};
    const TBrushStyle Saved = C.Brush().Style();
    C.Brush().SetStyle(TBrushStyle::bsClear);
    SetBkMode(C.Handle(), TRANSPARENT);
    C.DrawText(Text, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    C.Brush().SetStyle(Saved);
}

void FocusRectIf(bool On, TCanvas& C, const RECT& R) {
    if (On)
        C.DrawFocusRect(R);
}

void Register() {
    RegisterPopupClass(StringValueType(), nullptr, "", TPopupListBox::StaticClass());
    RegisterTextEditClass(StringValueType(), nullptr, "", THSSimpleEdit::StaticClass());
    RegisterTextEditClass(StringValueType(), nullptr, " ", THSMaskEdit::StaticClass());
    RegisterPopupClass(ColorValueType(), nullptr, "", TPopupColorBox::StaticClass());
    RegisterEditClass(ColorValueType(), nullptr, "", TColorEdit::StaticClass());
    RegisterEditClass(PenStyleValueType(), nullptr, "", TPenStyleEdit::StaticClass());
    RegisterPopupClass(PenStyleValueType(), nullptr, "", TPopupPenBox::StaticClass());
    RegisterEditClass(BrushStyleValueType(), nullptr, "", TBrushStyleEdit::StaticClass());
    RegisterPopupClass(BrushStyleValueType(), nullptr, "", TPopupBrushBox::StaticClass());
    RegisterEditClass(BooleanValueType(), nullptr, "", TCheckEdit::StaticClass());
    RegisterPopupClass(BooleanValueType(), nullptr, "", nullptr);
    RegisterClass(THSSimpleEdit::StaticClass());
    RegisterClass(TDummyEditSource::StaticClass());
    RegisterClass(TDummyPopup::StaticClass());
    RegisterEditSource(TDummyEditSource::StaticClass());
}

template <class TItem> TClass Find(TPackagedCollection<TItem>& C, const void* Type, const std::string& Prop) {
    TClass Any = nullptr;
    for (int32_t I = C.Count() - 1; I >= 0; --I) {
        TItem* It = C.Item(I);
        if (It->TypeInfo != Type)
            continue;
        if (!Prop.empty() && It->PropName == Prop)
            return It->EditorClass;
        if (It->PropName.empty() && !Any)
            Any = It->EditorClass;
    }
    return Any;
}

} // namespace

const void* StringValueType() {
    return &StringKey;
}
const void* ColorValueType() {
    return &ColorKey;
}
const void* PenStyleValueType() {
    return &PenKey;
}
const void* BrushStyleValueType() {
    return &BrushKey;
}
const void* BooleanValueType() {
    return &BoolKey;
}

void EnsureEditFamilyRegistered() {
    // Once per run of the registries: a test that frees them gets them back on the next edit.
    bool Present = false;
    for (int32_t I = 0; I < PopupClasses().Count() && !Present; ++I)
        Present = PopupClasses().Item(I)->TypeInfo == StringValueType() &&
                  PopupClasses().Item(I)->EditorClass == TPopupListBox::StaticClass();
    if (!Present)
        Register();
}

void UnRegisterBooleanEditor() {
    UnRegisterEditClass(BooleanValueType(), nullptr, "", TCheckEdit::StaticClass());
    UnRegisterPopupClass(BooleanValueType(), nullptr, "", nullptr);
}

TClass FindEditClass(const void* ValueType, const std::string& PropName) {
    EnsureEditFamilyRegistered();
    return Find(EditClasses(), ValueType, PropName);
}

TClass FindPopupClass(const void* ValueType, const std::string& PropName) {
    EnsureEditFamilyRegistered();
    return Find(PopupClasses(), ValueType, PropName);
}

THSEditPropertyHook SetHSEditPropertyHook(THSEditPropertyHook Hook) {
    THSEditPropertyHook Old = std::move(PropertyHook());
    PropertyHook() = std::move(Hook);
    return Old;
}

// --- TGraphicEdit ------------------------------------------------------------------------------------

TGraphicEdit::TGraphicEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clWindow);
    SetTabStop(true);
}

TCustomHSEdit* TGraphicEdit::OwnerEdit() const {
    return dynamic_cast<TCustomHSEdit*>(FParent);
}

bool TGraphicEdit::ShowsFocus() {
    TCustomHSEdit* E = OwnerEdit();
    return E && E->DisplayFocused() && HandleAllocated() && GetFocus() == FHandle;
}

void TGraphicEdit::Paint() {
    PaintToCanvas(Canvas(), 0, 0);
}

void TGraphicEdit::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
    if (TCustomHSEdit* E = OwnerEdit())
        E->Change();
}

TColorEdit::TColorEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FText = "clBlack";
}

void TColorEdit::PaintToCanvas(TCanvas& C, int X, int Y) {
    const int CW = ClientWidth(), CH = ClientHeight();
    if (CW <= 0 || CH <= 0)
        return;
    const RECT R{X, Y, X + CW, Y + CH};
    FillWith(C, Color(), R);
    ColorSwatch(C, RECT{X + 2, Y + 2, X + 24, Y + CH - 2}, ColorFromName(Text()));
    C.Font().Assign(Font());
    C.Font().SetColor(Enabled() ? clWindowText : clBtnShadow);
    DrawLabel(C, R, X + 28, Label(Text()));
    FocusRectIf(ShowsFocus(), C, R);
}

void TGraphEdit::TextChanged() {
    FLoadedName.reset();
    TGraphicEdit::TextChanged();
}

void TGraphEdit::LoadPicture() {
    // A name that does not load shows an empty picture; the text stays as given.
    const std::string Name = Text();
    if (FLoadedName && *FLoadedName == Name)
        return;
    FLoadedName = Name;
    FPicture.reset();
    if (Name.empty())
        return;
    auto B = std::make_unique<TBitmap>();
    try {
        B->LoadFromFile(Name);
        FPicture = std::move(B);
    } catch (const std::exception&) {
    }
}

void TGraphEdit::PaintToCanvas(TCanvas& C, int X, int Y) {
    const RECT R{X, Y, X + ClientWidth(), Y + ClientHeight()};
    FillWith(C, Color(), R);
    LoadPicture();
    // Through the picture's own canvas: a bitmap selected into it cannot be selected elsewhere.
    if (FPicture && !FPicture->Empty())
        C.CopyRect(R, FPicture->Canvas(), RECT{0, 0, FPicture->Width(), FPicture->Height()});
    FocusRectIf(ShowsFocus(), C, R);
}

TPenStyleEdit::TPenStyleEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FText = "psSolid";
}

void TPenStyleEdit::PaintToCanvas(TCanvas& Canvas, int X, int Y) {
    RECT R = ClientRect();
    OffsetRect(&R, X, Y);
    FillWith(Canvas, Color(), R);
    PenLine(Canvas, R.left + 2, R.right - 2, (R.top + R.bottom) / 2, PenFromName(Text()));
    FocusRectIf(ShowsFocus(), Canvas, R);
}

TBrushStyleEdit::TBrushStyleEdit(TComponent* AOwner) : TGraphicEdit(AOwner) {
    FText = "bsSolid";
}

void TBrushStyleEdit::PaintToCanvas(TCanvas& Canvas, int X, int Y) {
    RECT R = ClientRect();
    OffsetRect(&R, X, Y);
    FillWith(Canvas, Color(), R);
    BrushSwatch(Canvas, RECT{R.left + 2, R.top + 2, R.left + 24, R.bottom - 2}, BrushFromName(Text()));
    Canvas.Font().Assign(Font());
    Canvas.Font().SetColor(Enabled() ? clWindowText : clBtnShadow);
    DrawLabel(Canvas, R, R.left + 28, Label(Text()));
    FocusRectIf(ShowsFocus(), Canvas, R);
}

// --- TCheckEdit --------------------------------------------------------------------------------------

TCheckEdit::TCheckEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clWindow);
    SetTabStop(true);
    FText = "False";
    FClickEvents = true;
}

TCustomHSEdit* TCheckEdit::OwnerEdit() const {
    return dynamic_cast<TCustomHSEdit*>(FParent);
}

bool TCheckEdit::Checked() const {
    return strcasecmp(FText.c_str(), "True") == 0;
}

void TCheckEdit::SetChecked(bool Value) {
    SetText(Value ? "True" : "False");
}

void TCheckEdit::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

void TCheckEdit::Toggle() {
    if (FReadOnly)
        return;
    SetChecked(!Checked());
    if (TCustomHSEdit* E = OwnerEdit()) {
        E->Change();
        E->Term();
    }
}

void TRadioEdit::Toggle() {
    if (ReadOnly() || Checked())
        return;
    SetChecked(true);
    if (TCustomHSEdit* E = OwnerEdit()) {
        E->Change();
        E->Term();
    }
}

void TCheckEdit::Click() {
    TCustomControl::Click();
    Toggle();
}

void TCheckEdit::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == ' ') {
        Toggle();
        Key = 0;
    }
}

void TCheckEdit::Paint() {
    PaintToCanvas(Canvas(), 0, 0);
}

void TCheckEdit::PaintToCanvas(TCanvas& C, int X, int Y) {
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    FillWith(C, Color(), RECT{X, Y, X + W, Y + H});
    const int S = Scaled ? H : std::min(DefaultCheckHeight(), H);
    const int Top = Y + (Scaled ? 0 : (H - S) / 2);
    TCustomHSEdit* E = OwnerEdit();
    const int Left = X + (E ? E->LeftIndent() : 2);
    UINT State = Radio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (Checked())
        State |= DFCS_CHECKED;
    if (!Enabled())
        State |= DFCS_INACTIVE;
    if (Cute)
        State |= DFCS_FLAT;
    RECT Box{Left, Top, Left + S, Top + S};
    DrawFrameControl(C.Handle(), &Box, DFC_BUTTON, State);
    if (E && !E->Caption().empty()) {
        C.Font().Assign(Font());
        const std::string T = E->Caption();
        RECT M{0, 0, W, H};
        C.DrawText(T, M, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int TH = M.bottom - M.top, TW = M.right - M.left;
        RECT TR{X + S + 7, Y + (H - TH) / 2, X + S + 7 + TW, Y + (H - TH) / 2 + TH};
        SetBkMode(C.Handle(), TRANSPARENT);
        if (Enabled()) {
            C.DrawText(T, TR, DT_SINGLELINE | DT_NOPREFIX);
        } else {
            RECT Shifted = TR;
            OffsetRect(&Shifted, 1, 1);
            C.Font().SetColor(clBtnHighlight);
            C.DrawText(T, Shifted, DT_SINGLELINE | DT_NOPREFIX);
            C.Font().SetColor(clBtnShadow);
            C.DrawText(T, TR, DT_SINGLELINE | DT_NOPREFIX);
        }
        if (E->DisplayFocused() && HandleAllocated() && GetFocus() == FHandle)
            C.DrawFocusRect(RECT{TR.left - 2, TR.top - 2, TR.right + 2, TR.bottom + 2});
    }
}

// --- Pickers -----------------------------------------------------------------------------------------

const std::vector<TColor>& TPopupColorBox::ListColors() {
    static const std::vector<TColor> L{clBlack,
                                       clMaroon,
                                       clGreen,
                                       clOlive,
                                       clNavy,
                                       clPurple,
                                       clTeal,
                                       clGray,
                                       clSilver,
                                       clRed,
                                       clLime,
                                       clYellow,
                                       clBlue,
                                       clFuchsia,
                                       clAqua,
                                       clWhite,
                                       clScrollBar,
                                       clBackground,
                                       clActiveCaption,
                                       SysColor(COLOR_INACTIVECAPTION),
                                       clMenu,
                                       clWindow,
                                       clWindowFrame,
                                       clMenuText,
                                       clWindowText,
                                       SysColor(COLOR_CAPTIONTEXT),
                                       SysColor(COLOR_ACTIVEBORDER),
                                       SysColor(COLOR_INACTIVEBORDER),
                                       SysColor(COLOR_APPWORKSPACE),
                                       clHighlight,
                                       clHighlightText,
                                       clBtnFace,
                                       clBtnShadow,
                                       clGrayText,
                                       clBtnText,
                                       SysColor(COLOR_INACTIVECAPTIONTEXT),
                                       clBtnHighlight,
                                       cl3DDkShadow,
                                       cl3DLight,
                                       clInfoText,
                                       clInfoBk,
                                       clNone};
    return L;
}

TPopupColorBox::TPopupColorBox(TComponent* AOwner) : TPopupListBox(AOwner) {
    SetCustomDraw(true);
}

void TPopupColorBox::BuildList() {
    Items().Clear();
    for (TColor C : ListColors())
        Items().Add(ColorName(C));
}

void TPopupColorBox::DrawItem(int Index, const RECT& Rect, UINT) {
    TCanvas& C = ItemCanvas();
    TColor Row = C.Brush().Color(), Text = C.Font().Color();
    FillWith(C, Row, Rect);
    if (Index < 0 || Index >= Items().Count())
        return;
    const std::string Name = Items().Get(Index);
    RECT A = FDisplayNames ? RECT{Rect.left + 2, Rect.top + 2, Rect.left + 24, Rect.bottom - 2}
                           : RECT{Rect.left + 2, Rect.top + 2, Rect.right - 3, Rect.bottom - 2};
    ColorSwatch(C, A, ColorFromName(Name));
    if (FDisplayNames) {
        C.Font().SetColor(Text);
        DrawLabel(C, Rect, Rect.left + 28, Label(Name));
    }
}

TPopupPenBox::TPopupPenBox(TComponent* AOwner) : TPopupListBox(AOwner) {
    SetCustomDraw(true);
}

void TPopupPenBox::BuildList() {
    Items().Clear();
    for (const char* N : PenNames)
        Items().Add(N);
}

void TPopupPenBox::DrawItem(int Index, const RECT& Rect, UINT) {
    TCanvas& C = ItemCanvas();
    TColor Row = C.Brush().Color(), Text = C.Font().Color();
    FillWith(C, Row, Rect);
    if (Index < 0 || Index >= Items().Count())
        return;
    RECT A = FDisplayNames ? RECT{Rect.left + 2, Rect.top + 2, Rect.left + 24, Rect.bottom - 2}
                           : RECT{Rect.left + 2, Rect.top + 2, Rect.right - 3, Rect.bottom - 2};
    PenLine(C, A.left, A.right, (A.top + A.bottom) / 2, PenFromName(Items().Get(Index)));
    if (FDisplayNames) {
        C.Font().SetColor(Text);
        DrawLabel(C, Rect, Rect.left + 28, Items().Get(Index));
    }
}

TPopupBrushBox::TPopupBrushBox(TComponent* AOwner) : TPopupListBox(AOwner) {
    SetCustomDraw(true);
}

void TPopupBrushBox::BuildList() {
    Items().Clear();
    for (const char* N : BrushRows)
        Items().Add(N);
}

std::string TPopupBrushBox::ValueOfItem(int Index) {
    return "bs" + Items().Get(Index);
}

int TPopupBrushBox::IndexOfValue(const std::string& Value) {
    if (Value.size() < 2 || Value.compare(0, 2, "bs") != 0)
        return -1;
    return TPopupListBox::IndexOfValue(Value.substr(2));
}

void TPopupBrushBox::DrawItem(int Index, const RECT& Rect, UINT) {
    TCanvas& C = ItemCanvas();
    TColor Row = C.Brush().Color(), Text = C.Font().Color();
    FillWith(C, Row, Rect);
    if (Index < 0 || Index >= Items().Count())
        return;
    RECT A = FDisplayNames ? RECT{Rect.left + 2, Rect.top + 2, Rect.left + 24, Rect.bottom - 2}
                           : RECT{Rect.left + 2, Rect.top + 2, Rect.right - 3, Rect.bottom - 2};
    BrushSwatch(C, A, BrushFromName(ValueOfItem(Index)));
    if (FDisplayNames) {
        C.Font().SetColor(Text);
        DrawLabel(C, Rect, Rect.left + 28, Items().Get(Index));
    }
}

// --- Ready-made edits --------------------------------------------------------------------------------

THSColorEdit::THSColorEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {
    SetDropOnClick(true);
    SetEditorClass(TColorEdit::StaticClass());
    SetPopupClassName("TPopupColorBox");
}

TClass THSColorEdit::GetDefaultEditorClass() const {
    return TColorEdit::StaticClass();
}
TClass THSColorEdit::GetDefaultPopupClass() const {
    return TPopupColorBox::StaticClass();
}

TColor THSColorEdit::SelectedColor() const {
    return ColorFromName(EditText());
}

void THSColorEdit::SetSelectedColor(TColor Value) {
    SetEditText(ColorName(Value));
}

bool THSColorEdit::EditMouse(UINT Msg, TShiftState Shift, int, int) {
    const bool Wanted = (Msg == WM_LBUTTONDOWN && (Shift & ssCtrl)) || Msg == WM_LBUTTONDBLCLK;
    if (!Wanted || HasState(csDesigning))
        return false;
    if (PropertyHook())
        PropertyHook()(this, "SelectedColor");
    return Msg == WM_LBUTTONDOWN;
}

THSPenStyleEdit::THSPenStyleEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {
    SetEditorClass(TPenStyleEdit::StaticClass());
    SetPopupClassName("TPopupPenBox");
}
TClass THSPenStyleEdit::GetDefaultEditorClass() const {
    return TPenStyleEdit::StaticClass();
}
TClass THSPenStyleEdit::GetDefaultPopupClass() const {
    return TPopupPenBox::StaticClass();
}
TPenStyle THSPenStyleEdit::PenStyle() const {
    return PenFromName(EditText());
}
void THSPenStyleEdit::SetPenStyle(TPenStyle Value) {
    SetEditText(PenNames[static_cast<int>(Value)]);
}

THSBrushStyleEdit::THSBrushStyleEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {
    SetEditorClass(TBrushStyleEdit::StaticClass());
    SetPopupClassName("TPopupBrushBox");
}
TClass THSBrushStyleEdit::GetDefaultEditorClass() const {
    return TBrushStyleEdit::StaticClass();
}
TClass THSBrushStyleEdit::GetDefaultPopupClass() const {
    return TPopupBrushBox::StaticClass();
}
TBrushStyle THSBrushStyleEdit::BrushStyle() const {
    return BrushFromName(EditText());
}
void THSBrushStyleEdit::SetBrushStyle(TBrushStyle Value) {
    SetEditText(std::string("bs") + BrushRows[static_cast<int>(Value)]);
}

// --- File names and folders --------------------------------------------------------------------------

TCustomFileDirEdit::TCustomFileDirEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {}

void TCustomFileDirEdit::SetAcceptFiles(bool Value) {
    FAcceptFiles = Value;
    if (HandleAllocated())
        DragAcceptFiles(FHandle, Value ? TRUE : FALSE);
}

void TCustomFileDirEdit::CreateHandleDone() {
    TCustomHSEdit::CreateHandleDone();
    if (FAcceptFiles)
        DragAcceptFiles(FHandle, TRUE);
}

void TCustomFileDirEdit::FilesDropped(const std::vector<std::string>& Files) {
    if (!Files.empty())
        SetEditText(Files.front());
    DoEvent(OnDropFiles, this, Files);
}

void TCustomFileDirEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DROPFILES) {
        HDROP Drop = reinterpret_cast<HDROP>(Message.WParam);
        struct TFinish {
            HDROP D;
            ~TFinish() { DragFinish(D); }
        } Finish{Drop};
        std::vector<std::string> Files;
        const UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT I = 0; I < Count; ++I) {
            const UINT Len = DragQueryFileA(Drop, I, nullptr, 0);
            std::string Name(Len + 1, '\0');
            DragQueryFileA(Drop, I, Name.data(), Len + 1);
            Name.resize(Len);
            Files.push_back(Name);
        }
        FilesDropped(Files);
        Message.Result = 0;
        return;
    }
    TCustomHSEdit::WndProc(Message);
}

THSFileNameEdit::THSFileNameEdit(TComponent* AOwner) : TCustomFileDirEdit(AOwner) {
    SetPopupClassName("");
    Button1Params().SetKind(TButtonKind::bkDots);
    OnButton1Click = [this](TObject*) { BrowseFile(); };
}

bool THSFileNameEdit::BrowseFile() {
    const bool Save = DialogKind == TFileDialogKind::dkSave || DialogKind == TFileDialogKind::dkSavePicture;
    std::unique_ptr<TOpenDialog> D(Save ? new TSaveDialog(nullptr) : new TOpenDialog(nullptr));
    D->DefaultExt = DefaultExt;
    D->Options = DialogOptions;
    D->Title = DialogTitle;
    D->Filter = Filter;
    D->FilterIndex = FilterIndex;
    D->InitialDir = InitialDir;
    D->FileName = FileName();
    if (!D->Execute())
        return false;
    SetFileName(D->FileName);
    Change();
    return true;
}

THSDirectoryEdit::THSDirectoryEdit(TComponent* AOwner) : TCustomFileDirEdit(AOwner) {
    SetPopupClassName("");
    Button1Params().SetKind(TButtonKind::bkDots);
    OnButton1Click = [this](TObject*) { BrowseDirectory(); };
}

bool THSDirectoryEdit::BrowseDirectory() {
    std::string Text = EditText();
    std::string Dir;
    if (size_t P = Text.rfind(';'); P != std::string::npos)
        Dir = Text.substr(P + 1);
    else
        Dir = Text;
    if (Dir.empty())
        Dir = InitialDir;
    if (!QueryDirectory(DialogText, Dir))
        return false;
    if (MultipleDirs && !Text.empty())
        SetEditText(Text + ";" + Dir);
    else
        SetEditText(Dir);
    Change();
    return true;
}
