#include "controls/tree/EditButtons.h"

#include <algorithm>
#include <vector>

#include "controls/foundation/PackagedRegistries.h"
#include "controls/foundation/WindowHooks.h"
#include "controls/tree/EditFamily.h"
#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(TEditButton, TSpeedButton, {})
ZEL_DEFINE_CLASS(TButtonParams, TPersistent, {})
ZEL_DEFINE_CLASS(TDummyPopup, TWinControl, {})
ZEL_DEFINE_CLASS(TDummyEditSource, TEditSource, {})
ZEL_DEFINE_CLASS(TCustomHSEdit, TCustomControl, {})
ZEL_DEFINE_CLASS(THSEdit, TCustomHSEdit, {})

namespace {
constexpr UINT_PTR DropTimer = 1;
constexpr const char* EditProp = "ZelHSEditInner";

bool InRegistry(TClass Class, bool Popup) {
    if (!Class)
        return false;
    if (Popup) {
        for (int32_t I = 0; I < PopupClasses().Count(); ++I)
            if (PopupClasses().Item(I)->EditorClass == Class)
                return true;
        return false;
    }
    for (int32_t I = 0; I < EditClasses().Count(); ++I)
        if (EditClasses().Item(I)->EditorClass == Class)
            return true;
    return false;
}

void Line(TCanvas& C, TColor Color, std::initializer_list<POINT> Points) {
    C.Pen().SetColor(Color);
    C.Pen().SetStyle(TPenStyle::psSolid);
    C.Pen().SetWidth(1);
    auto It = Points.begin();
    C.MoveTo(It->x, It->y);
    for (++It; It != Points.end(); ++It)
        C.LineTo(It->x, It->y);
}

void Fill(TCanvas& C, TColor Color, const RECT& R) {
    C.Brush().SetColor(Color);
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.FillRect(R);
}
} // namespace

// --- TEditButton -----------------------------------------------------------------------------------

TEditButton::TEditButton(TComponent* AOwner) : TSpeedButton(AOwner) {
    FWidth = GetSystemMetrics(SM_CXHTHUMB);
}

void TEditButton::SetKind(TButtonKind Value) {
    FKind = Value;
    Invalidate();
}

TCustomHSEdit* TEditButton::EditControl() const {
    return dynamic_cast<TCustomHSEdit*>(FParent);
}

void TEditButton::Paint() {
    TSpeedButton::Paint();
    TCanvas& C = Canvas();
    const int W = Width(), H = Height(), CW = ClientWidth();
    if (TCustomHSEdit* E = EditControl()) {
        const bool Single = E->SingleBorder();
        if (E->GetFlat()) {
            if (Single) {
                Fill(C, E->Color(), RECT{0, 0, W, H});
                Fill(C, clBtnFace, RECT{1, 1, W - 1, H - 1});
                Line(C, clBtnHighlight, {{1, 0}, {1, H}});
            } else {
                Fill(C, E->Color(), RECT{1, 1, W - 1, H - 1});
                Line(C, clBtnFace, {{0, 0}, {W - 1, 0}, {W - 1, H - 1}, {-1, H - 1}});
            }
        } else {
            Line(C, clBtnFace, {{0, 0}, {0, H - 1}});
            Line(C, clBtnFace, {{0, 0}, {CW, 0}, {CW, 2}});
            Line(C, clBtnHighlight, {{1, 1}, {CW - 2, 1}});
            Line(C, clBtnHighlight, {{1, 1}, {1, H - 2}});
            if ((!E->UseHaldenBorder() && !E->Flat()) || Single) {
                Line(C, clBlack, {{CW - 1, 0}, {CW - 1, 1}});
            } else {
                Fill(C, clBtnFace, RECT{0, 0, W, H});
                THaldenBorderStyle S = E->HaldenBorderStyle();
                if (S == dbsSunkenLine || S == dbsRaisedLine)
                    Line(C, S == dbsRaisedLine ? clBtnHighlight : clBtnShadow, {{0, H - 1}, {W, H - 1}});
            }
        }
    }
    // The glyph goes last, so that no edge variant wipes it.
    PaintGlyph();
}

void TEditButton::PaintGlyph() {
    TCanvas& C = Canvas();
    int CX = Width() / 2, CY = Height() / 2;
    if (Down())
        ++CX, ++CY;
    if (FKind == TButtonKind::bkDropDown) {
        // A 7 x 5 triangle pointing down.
        C.Pen().SetColor(Enabled() ? clBlack : clGrayText);
        for (int Row = 0; Row < 4; ++Row) {
            C.MoveTo(CX - 3 + Row, CY - 2 + Row);
            C.LineTo(CX + 4 - Row, CY - 2 + Row);
        }
    } else if (FKind == TButtonKind::bkDots) {
        C.Brush().SetColor(Enabled() ? clBlack : clGrayText);
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        for (int Dot = -1; Dot <= 1; ++Dot)
            C.FillRect(RECT{CX - 1 + Dot * 4, CY, CX + 1 + Dot * 4, CY + 2});
    } else if (!Glyph().Empty()) {
        C.Draw((Width() - Glyph().Width()) / 2, (Height() - Glyph().Height()) / 2, Glyph());
    }
}

// --- TButtonParams ---------------------------------------------------------------------------------

int TButtonParams::Width() const {
    return FButton ? FButton->Width() : 0;
}
void TButtonParams::SetWidth(int Value) {
    if (FButton)
        FButton->SetWidth(Value);
}
TCursor TButtonParams::Cursor() const {
    return FButton ? FButton->Cursor() : crDefault;
}
void TButtonParams::SetCursor(TCursor Value) {
    if (FButton)
        FButton->SetCursor(Value);
}
TButtonKind TButtonParams::Kind() const {
    return FButton ? FButton->Kind() : TButtonKind::bkCustom;
}
void TButtonParams::SetKind(TButtonKind Value) {
    if (FButton)
        FButton->SetKind(Value);
}
TBitmap& TButtonParams::Glyph() {
    return FButton->Glyph();
}
void TButtonParams::SetGlyph(const TBitmap& Value) {
    if (!FButton)
        return;
    FButton->Glyph().Assign(Value);
    if (FButton->Kind() == TButtonKind::bkCustom && !Value.Empty())
        FButton->SetWidth(Value.Width() + 4);
    FButton->Invalidate();
}
std::string TButtonParams::Hint() const {
    return FButton ? FButton->Hint() : std::string();
}
void TButtonParams::SetHint(const std::string& Value) {
    if (FButton)
        FButton->SetHint(Value);
}
bool TButtonParams::ShowHint() const {
    return FButton && FButton->ShowHint();
}
void TButtonParams::SetShowHint(bool Value) {
    if (FButton)
        FButton->SetShowHint(Value);
}
bool TButtonParams::Visible() const {
    return FButton && FButton->Visible();
}
void TButtonParams::SetVisible(bool Value) {
    if (!FButton)
        return;
    FButton->SetVisible(Value);
    if (auto* E = FButton->EditControl())
        E->UpdateButtonCount();
}
void TButtonParams::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TButtonParams*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    SetKind(S->Kind());
    SetWidth(S->Width());
    SetCursor(S->Cursor());
    SetHint(S->Hint());
    SetShowHint(S->ShowHint());
    FNumGlyphs = S->FNumGlyphs;
    if (S->FButton && FButton && !S->FButton->Glyph().Empty())
        SetGlyph(S->FButton->Glyph());
    SetVisible(S->Visible());
}

// --- TCustomHSEdit ---------------------------------------------------------------------------------

TCustomHSEdit::TCustomHSEdit(TComponent* AOwner)
    : TCustomControl(AOwner), FParams1(nullptr), FParams2(nullptr) {
    EnsureEditFamilyRegistered();
    FWidth = 121;
    FHeight = 21;
    SetColor(clWindow);
    FButton1 = new TEditButton(this);
    FButton1->SetKind(TButtonKind::bkDropDown);
    FButton1->SetParent(this);
    FButton1->OnClick = [this](TObject*) { ButtonClick(FButton1); };
    FButton2 = new TEditButton(this);
    FButton2->SetKind(TButtonKind::bkDots);
    FButton2->SetVisible(false);
    FButton2->SetParent(this);
    FButton2->OnClick = [this](TObject*) { ButtonClick(FButton2); };
    FParams1.Attach(FButton1);
    FParams2.Attach(FButton2);
    ApplyEditSource();
    ApplyEditClass();
    FPopupClassName.clear();
    SetPopupClassName(GetDefaultPopupClass() ? GetDefaultPopupClass()->ClassName() : "TPopupListBox");
}

TCustomHSEdit::~TCustomHSEdit() {
    BeginDestroy();
    if (FDroppedDown)
        CloseDropped(false);
    EndDropDown(FPopup);
    UnHookEdit();
}

TClass TCustomHSEdit::GetDefaultEditorClass() const {
    return THSSimpleEdit::StaticClass();
}

TClass TCustomHSEdit::GetDefaultPopupClass() const {
    return TPopupListBox::StaticClass();
}

TPopupListBox* TCustomHSEdit::PopupWindow() const {
    return dynamic_cast<TPopupListBox*>(FPopup);
}

void TCustomHSEdit::SetPopupClassName(const std::string& Name) {
    if (Name == FPopupClassName && FPopup)
        return;
    FPopupClassName = Name;
    if (HasState(csLoading))
        return;
    ApplyPopupClass();
}

void TCustomHSEdit::ApplyPopupClass() {
    if (FDroppedDown)
        CloseDropped(false);
    if (FPopup) {
        EndDropDown(FPopup);
        TWinControl* Old = FPopup;
        FPopup = nullptr;
        delete Old;
    }
    TClass C = GetClass(FPopupClassName);
    if (!InRegistry(C, true) || !C->InheritsFrom(TWinControl::StaticClass()))
        C = TDummyPopup::StaticClass();
    // A component of that class that the control already owns is taken over.
    for (int I = 0; I < ComponentCount(); ++I)
        if (Components(I)->ClassType() == C) {
            FPopup = static_cast<TWinControl*>(Components(I));
            break;
        }
    if (!FPopup)
        FPopup = static_cast<TWinControl*>(C->Create(this));
    FPopup->SetVisible(false);
    FPopup->SetTabStop(false);
    if (auto* L = dynamic_cast<TPopupListBox*>(FPopup))
        L->SetDropOwner(this);
    if (!dynamic_cast<TDummyPopup*>(FPopup))
        FPopup->SetParent(this);
}

void TCustomHSEdit::SetEditClass(const std::string& Name) {
    if (Name == FEditClassName && FEdit)
        return;
    FEditClassName = Name;
    if (HasState(csLoading))
        return;
    ApplyEditClass();
}

void TCustomHSEdit::SetEditorClass(TClass Class) {
    SetEditClass(Class ? Class->ClassName() : std::string());
}

void TCustomHSEdit::ApplyEditClass() {
    TClass C = GetClass(FEditClassName);
    if (!InRegistry(C, false) || !C->InheritsFrom(TWinControl::StaticClass()))
        C = GetDefaultEditorClass();
    if (FEdit && FEdit->ClassType() == C)
        return;
    std::string Text;
    bool HadFocus = false;
    if (FEdit) {
        Text = FEdit->Text();
        HadFocus = FEdit->HandleAllocated() && GetFocus() == FEdit->Handle();
        UnHookEdit();
        TWinControl* Old = FEdit;
        FEdit = nullptr;
        delete Old;
    }
    FEdit = static_cast<TWinControl*>(C->Create(this));
    FEdit->SetTabStop(FEditTabStop);
    if (!Text.empty()) // a new editor keeps its own initial value ("clBlack", "False") otherwise
        FEdit->SetText(Text);
    FEdit->SetParent(this);
    SetButtonBounds();
    if (HandleAllocated()) {
        FEdit->HandleNeeded();
        HookEdit();
        if (HadFocus && FEdit->CanFocus())
            FEdit->SetFocus();
    }
}

void TCustomHSEdit::SetEditSourceType(const std::string& Name) {
    if (Name == FEditSourceName && FEditSource)
        return;
    FEditSourceName = Name;
    if (HasState(csLoading))
        return;
    ApplyEditSource();
}

void TCustomHSEdit::ApplyEditSource() {
    delete FEditSource;
    FEditSource = nullptr;
    TClass C = GetClass(FEditSourceName);
    bool Known = false;
    for (int32_t I = 0; C && I < EditSourceClasses().Count(); ++I)
        Known = Known || EditSourceClasses().Item(I)->EditSourceClass == C;
    if (!Known || !C->InheritsFrom(TEditSource::StaticClass()))
        C = TDummyEditSource::StaticClass();
    FEditSource = static_cast<TEditSource*>(C->Create(this));
}

void TCustomHSEdit::Loaded() {
    TCustomControl::Loaded();
    SetState(csLoading, false);
    ApplyEditSource();
    ApplyEditClass();
    ApplyPopupClass();
    SetButtonBounds();
}

void TCustomHSEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    // Flat and Halden borders are drawn by the control itself.
    if (!FFlat && !FUseHaldenBorder)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomHSEdit::CreateHandleDone() {
    TCustomControl::CreateHandleDone();
    SetButtonBounds();
    HookEdit();
}

void TCustomHSEdit::DestroyWnd() {
    if (FDroppedDown)
        CloseDropped(false);
    UnHookEdit();
    TCustomControl::DestroyWnd();
}

void TCustomHSEdit::SetNumButtons(int Value) {
    if (Value < 0 || Value > 2)
        return;
    FNumButtons = Value;
    FButton1->SetVisible(Value >= 1);
    FButton2->SetVisible(Value >= 2);
    SetButtonBounds();
}

void TCustomHSEdit::UpdateButtonCount() {
    FNumButtons = (FButton1->Visible() ? 1 : 0) + (FButton2->Visible() ? 1 : 0);
    SetButtonBounds();
}

void TCustomHSEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FEdit)
        SetButtonBounds();
}

bool TCustomHSEdit::SingleBorder() const {
    return FUseHaldenBorder &&
           (FHaldenBorderStyle == dbsSunkenSingle || FHaldenBorderStyle == dbsRaisedSingle);
}

void TCustomHSEdit::SetButtonBounds() {
    if (FDroppedDown)
        CloseDropped(false);
    if (!FEdit)
        return;
    RECT R = ClientRect();
    const int W = R.right - R.left, H = R.bottom - R.top;
    const bool Own = FFlat || FUseHaldenBorder;
    // Inset of the buttons: a border the control draws itself takes room inside the client area;
    // the platform's sunken edge lies outside it.
    const int B = !Own ? 0 : SingleBorder() ? 2 : 1;
    int Right = W - B;
    int Used = 0;
    if (FButton2->Visible()) {
        Right -= FButton2->Width();
        Used += FButton2->Width();
        FButton2->SetBounds(Right, B, FButton2->Width(), std::max(0, H - 2 * B));
    }
    if (FButton1->Visible()) {
        Right -= FButton1->Width();
        Used += FButton1->Width();
        FButton1->SetBounds(Right, B, FButton1->Width(), std::max(0, H - 2 * B));
    }
    const int Extra = Own ? 4 : 0;
    if (dynamic_cast<TCustomEdit*>(FEdit))
        FEdit->SetBounds(Own ? 2 : 0, Own ? 3 : 1, std::max(0, W - Used - Extra), std::max(0, H - Extra - 1));
    else // painted editors fill their whole cell
        FEdit->SetBounds(Own ? 2 : 0, Own ? 2 : 0, std::max(0, W - Used - Extra), std::max(0, H - Extra));
    SetEditRect();
}

void TCustomHSEdit::SetEditRect() {
    if (!FEdit || !FEdit->HandleAllocated() || !dynamic_cast<TCustomEdit*>(FEdit))
        return;
    const int Extra = (FFlat || FUseHaldenBorder) ? 4 : 0;
    RECT R{1, (FFlat || FUseHaldenBorder) ? 3 : 1, ClientWidth() - Extra - 2, ClientHeight() - 2 - Extra};
    SendMessageA(FEdit->Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&R));
}

std::string TCustomHSEdit::EditText() const {
    return FEdit ? FEdit->Text() : std::string();
}

void TCustomHSEdit::SetEditText(const std::string& Value) {
    if (FEdit)
        FEdit->SetText(Value);
}

bool TCustomHSEdit::ReadOnly() const {
    if (auto* E = dynamic_cast<TCustomEdit*>(FEdit))
        return E->ReadOnly();
    if (auto* C = dynamic_cast<TCheckEdit*>(FEdit))
        return C->ReadOnly();
    return false;
}

void TCustomHSEdit::SetReadOnly(bool Value) {
    if (auto* E = dynamic_cast<TCustomEdit*>(FEdit))
        E->SetReadOnly(Value);
    else if (auto* C = dynamic_cast<TCheckEdit*>(FEdit))
        C->SetReadOnly(Value);
}

void TCustomHSEdit::SetEditTabStop(bool Value) {
    FEditTabStop = Value;
    if (FEdit)
        FEdit->SetTabStop(Value);
}

void TCustomHSEdit::SetFlat(bool Value) {
    if (FFlat == Value)
        return;
    FFlat = Value;
    if (HandleAllocated())
        RecreateWnd();
    SetButtonBounds();
    FDrawnFlat = -1;
    Invalidate();
}

void TCustomHSEdit::SetUseHaldenBorder(bool Value) {
    if (FUseHaldenBorder == Value)
        return;
    FUseHaldenBorder = Value;
    if (HandleAllocated())
        RecreateWnd();
    SetButtonBounds();
    FDrawnFlat = -1;
    Invalidate();
}

void TCustomHSEdit::SetHaldenBorderStyle(THaldenBorderStyle Value) {
    if (FHaldenBorderStyle == Value)
        return;
    FHaldenBorderStyle = Value;
    SetButtonBounds();
    Invalidate();
    FButton1->Invalidate();
    FButton2->Invalidate();
}

void TCustomHSEdit::SetLineColor(TColor Value) {
    if (FLineColor == Value)
        return;
    FLineColor = Value;
    Invalidate();
}

bool TCustomHSEdit::DisplayFocused() {
    HWND F = GetFocus();
    return HandleAllocated() && F && (F == FHandle || IsChild(FHandle, F));
}

bool TCustomHSEdit::GetFlat() {
    return FFlat && FMouseOutside && !DisplayFocused() && !HasState(csDesigning);
}

void TCustomHSEdit::UpdateBorder() {
    if (!FFlat && !FUseHaldenBorder)
        return;
    int Now = GetFlat() ? 1 : 0;
    if (Now == FDrawnFlat)
        return;
    FDrawnFlat = Now;
    if (HandleAllocated()) {
        DrawBorder();
        FButton1->Invalidate();
        FButton2->Invalidate();
    }
}

void TCustomHSEdit::Paint() {
    TCanvas& C = Canvas();
    Fill(C, Color(), ClientRect());
    if (FFlat || FUseHaldenBorder) {
        FDrawnFlat = GetFlat() ? 1 : 0;
        DrawBorder();
    }
}

void TCustomHSEdit::DrawBorder() {
    if (!FFlat && !FUseHaldenBorder)
        return;
    if (!HandleAllocated())
        return;
    HDC DC = GetDC(FHandle);
    TCanvas C;
    C.SetHandle(DC);
    const int W = Width() - 1, H = Height() - 1;
    // Frames in the button face first: the border of every other look is drawn over them.
    C.Brush().SetColor(clBtnFace);
    C.FrameRect(RECT{0, 0, W, H});
    C.FrameRect(RECT{1, 1, W + 1, H + 1});
    C.SetPixel(0, H, clBtnFace);
    C.SetPixel(W, 0, clBtnFace);
    if (!GetFlat()) {
        const bool Raised = FHaldenBorderStyle == dbsRaisedBorder || FHaldenBorderStyle == dbsRaisedLine;
        const TColor Top = Raised ? clBtnHighlight : clBtnShadow;
        const TColor Bottom = Raised ? clBtnShadow : clBtnHighlight;
        const THaldenBorderStyle S = FUseHaldenBorder ? FHaldenBorderStyle : dbsSunkenBorder;
        if (S == dbsSunkenLine || S == dbsRaisedLine) {
            Line(C, Top, {{0, H - 1}, {W + 1, H - 1}});
            Line(C, Bottom, {{0, H}, {W + 1, H}});
        } else if (S == dbsSunkenSingle || S == dbsRaisedSingle) {
            RECT R = ClientRect();
            DrawEdge(DC, &R, S == dbsSunkenSingle ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        } else if (S == dbsLine) {
            Line(C, FLineColor, {{0, H}, {W + 1, H}});
        } else if (S == dbsLineBorder) {
            C.Brush().SetColor(FLineColor);
            C.FrameRect(RECT{0, 0, W + 1, H + 1});
        } else if (S != dbsNone) {
            Line(C, Bottom, {{0, H}, {W, H}, {W, -1}});
            Line(C, Top, {{W - 1, 0}, {0, 0}, {0, H}});
        }
    }
    C.SetHandle(nullptr);
    ReleaseDC(FHandle, DC);
}

void TCustomHSEdit::Change() {
    DoEvent(OnChange, this);
}

void TCustomHSEdit::SelectAll() {
    if (auto* E = dynamic_cast<TCustomEdit*>(FEdit))
        E->SelectAll();
}

void TCustomHSEdit::Deselect() {
    if (auto* E = dynamic_cast<TCustomEdit*>(FEdit))
        E->SetSelLength(0);
}

void TCustomHSEdit::PostValue() {
    if (!FEditSource)
        return;
    std::string T = EditText();
    FEditSource->SetValue(THSVariant(T));
    THSVariant Back = FEditSource->GetValue();
    if (Back.VType == varString && Back.Str != T)
        SetEditText(Back.Str);
}

void TCustomHSEdit::Term() {
    PostValue();
    DoTerm();
}

void TCustomHSEdit::ButtonClick(TEditButton* Button) {
    if (FEdit && FEdit->CanFocus())
        FEdit->SetFocus();
    TNotifyEvent& Handler = Button == FButton1 ? OnButton1Click : OnButton2Click;
    if (Handler)
        Handler(this);
    else
        SetDroppedDown(!FDroppedDown);
}

void TCustomHSEdit::SetDroppedDown(bool Value) {
    if (Value)
        Drop();
    else
        CloseDropped(true);
}

void TCustomHSEdit::SetDropValue() {
    std::string S = EditText();
    FPopup->HandleNeeded();
    SendMessageA(FPopup->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TCustomHSEdit::GetDropValue() {
    // As long as the chosen text is: no fixed buffer cuts it short.
    HWND P = FPopup->Handle();
    auto Len = static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(P, WM_GETTEXTLENGTH, 0, 0)));
    std::vector<char> Buffer(Len + 1, '\0');
    auto Got = static_cast<size_t>(std::max<LRESULT>(
        0, SendMessageA(P, WM_GETTEXT, Buffer.size(), reinterpret_cast<LPARAM>(Buffer.data()))));
    SetEditText(std::string(Buffer.data(), std::min(Got, Len)));
    Change();
}

RECT TCustomHSEdit::DropDownOwnerRect() {
    RECT R{0, 0, 0, 0};
    if (HandleAllocated())
        GetWindowRect(FHandle, &R);
    return R;
}

void TCustomHSEdit::Drop() {
    if (!FPopup || dynamic_cast<TDummyPopup*>(FPopup) || FDroppedDown || !HandleAllocated())
        return;
    if (TWinControl* Other = ShowingDropDown(); Other && Other != FPopup) {
        if (auto* List = dynamic_cast<TPopupListBox*>(Other))
            List->Close(false);
        else if (TDropDownOwner* O = ShowingDropDownOwner())
            O->CloseDropped(false);
    }
    FPopup->HandleNeeded();
    FPopup->SetClientWidth(ClientWidth());
    DoEvent(OnDropDown, this);
    SetDropValue();
    if (FEdit && FEdit->CanFocus())
        FEdit->SetFocus();
    RECT Me;
    GetWindowRect(FHandle, &Me);
    int W = FPopup->Width(), H = FPopup->Height();
    int X = Me.left, Y = Me.bottom;
    int MyWidth = Me.right - Me.left;
    if (W > MyWidth)
        X -= W - MyWidth; // right edges aligned
    else
        W = MyWidth;
    if (X < 0)
        X = Me.left;
    if (Y + H > GetSystemMetrics(SM_CYSCREEN))
        Y = Me.top - H;
    if (auto* L = dynamic_cast<TPopupListBox*>(FPopup)) {
        L->ShowDropDown(X, Y, W, H);
    } else {
        SetWindowPos(FPopup->Handle(), HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        FPopup->SetVisible(true);
    }
    BeginDropDown(FPopup, this);
    AddWndHook(this, [this](TMessage& M) {
        const auto* C = reinterpret_cast<const CWPSTRUCT*>(M.WParam);
        if (C->message == WM_ACTIVATEAPP && C->wParam == 0 && FDroppedDown)
            CloseDropped(false);
    });
    SetTimer(FHandle, DropTimer, 20, nullptr);
    FDroppedDown = true;
}

void TCustomHSEdit::CloseDropped(bool Accept) {
    if (!FDroppedDown)
        return;
    FDroppedDown = false;
    EndDropDown(FPopup);
    if (HandleAllocated())
        KillTimer(FHandle, DropTimer);
    RemoveWndHook(this);
    if (auto* L = dynamic_cast<TPopupListBox*>(FPopup)) {
        L->HideDropDown();
    } else if (FPopup->HandleAllocated()) {
        SetWindowPos(FPopup->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        FPopup->SetVisible(false);
    }
    if (IsDestroying())
        return;
    if (TCustomForm* F = GetParentForm(); F && F->Active() && FEdit && FEdit->CanFocus())
        FEdit->SetFocus();
    if (Accept) {
        GetDropValue();
        PostValue();
    }
    FPopup->SetTabStop(false);
    SelectAll();
}

void TCustomHSEdit::FocusNeighbour(bool Forward) {
    if (TCustomForm* F = GetParentForm())
        F->SelectNext(FEdit ? FEdit : static_cast<TWinControl*>(this), Forward, true);
}

void TCustomHSEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    const bool Alt = (Shift & ssAlt) != 0;
    switch (Key) {
    case VK_RETURN:
        if (!FDroppedDown) {
            Term();
            Key = 0;
        }
        break;
    case VK_UP:
        if (Alt) {
            if (FDroppedDown)
                CloseDropped(true);
        } else {
            FocusNeighbour(false);
        }
        Key = 0;
        break;
    case VK_DOWN:
        if (!Alt) {
            FocusNeighbour(true);
            Key = 0;
        } else if (FButton1->Visible()) {
            Drop();
            Key = 0;
        }
        break;
    default:
        break;
    }
}

void TCustomHSEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_TIMER:
        if (Message.WParam != DropTimer)
            break;
        // A drag that began on the button selects in the list.
        if (FDroppedDown && FPopup->HandleAllocated() && GetCapture() == FPopup->Handle()) {
            POINT P;
            GetCursorPos(&P);
            ::ScreenToClient(FPopup->Handle(), &P);
            FPopup->Perform(WM_MOUSEMOVE, GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0,
                            MAKELPARAM(static_cast<short>(P.x), static_cast<short>(P.y)));
        }
        if (FBorderPending) {
            FBorderPending = false;
            UpdateBorder();
            if (!FDroppedDown)
                KillTimer(FHandle, DropTimer);
        }
        Message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (FMouseOutside) {
            FMouseOutside = false;
            UpdateBorder();
            TRACKMOUSEEVENT T{sizeof(T), TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&T);
        }
        break;
    case WM_MOUSELEAVE: {
        POINT P;
        GetCursorPos(&P);
        RECT R;
        GetWindowRect(FHandle, &R);
        if (!PtInRect(&R, P)) {
            FMouseOutside = true;
            FBorderPending = true;
            SetTimer(FHandle, DropTimer, FDroppedDown ? 20 : 10, nullptr);
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FBorderPending = true;
        if (HandleAllocated() && (FFlat || FUseHaldenBorder))
            SetTimer(FHandle, DropTimer, FDroppedDown ? 20 : 10, nullptr);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (FDroppedDown) {
            Message.Result = FPopup->Perform(Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

void TCustomHSEdit::HookEdit() {
    if (FEditWnd || !FEdit)
        return;
    FEditWnd = FEdit->Handle();
    SetPropA(FEditWnd, EditProp, this);
    FEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomHSEdit::EditStub)));
}

void TCustomHSEdit::UnHookEdit() {
    if (!FEditWnd)
        return;
    HWND Wnd = FEditWnd;
    FEditWnd = nullptr;
    if (IsWindow(Wnd)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == &TCustomHSEdit::EditStub)
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditProc));
        RemovePropA(Wnd, EditProp);
    }
}

LRESULT CALLBACK TCustomHSEdit::EditStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = static_cast<TCustomHSEdit*>(GetPropA(Wnd, EditProp));
    if (!Self)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    WNDPROC Prev = Self->FEditProc;
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->EditWndProc(M, Prev, Wnd);
    } catch (...) {
        HandleUiException(Self);
    }
    if (Msg == WM_NCDESTROY)
        Self->UnHookEdit();
    return M.Result;
}

void TCustomHSEdit::EditWndProc(TMessage& Message, WNDPROC Previous, HWND Wnd) {
    auto CallEditor = [&] {
        Message.Result =
            Previous ? CallWindowProcA(Previous, Wnd, Message.Msg, Message.WParam, Message.LParam) : 0;
    };
    const UINT Msg = Message.Msg;
    if (IsDestroying() || HasState(csDesigning)) {
        CallEditor();
        return;
    }
    const bool WasDropped = FDroppedDown;
    // 1. Mouse messages, in this control's coordinates.
    if (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) {
        POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        ::ClientToScreen(Wnd, &P);
        ::ScreenToClient(FHandle, &P);
        TShiftState Shift = MouseFlagsToShiftState(Message.WParam);
        if (Msg == WM_MOUSEMOVE && FMouseOutside) {
            FMouseOutside = false;
            UpdateBorder();
            TRACKMOUSEEVENT T{sizeof(T), TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&T);
        }
        if (Msg == WM_LBUTTONDOWN) {
            if (EditMouse(Msg, Shift, P.x, P.y))
                return;
        } else if (Msg == WM_LBUTTONDBLCLK) {
            EditMouse(Msg, Shift | ssDouble, P.x, P.y);
            Message.Result = 0;
            return;
        } else if (Msg == WM_RBUTTONUP && EditMouse(Msg, Shift, P.x, P.y)) {
            Message.Result = 1;
            return;
        }
    }
    const bool KeyMsg =
        Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN || Msg == WM_KEYUP || Msg == WM_CHAR || Msg == WM_SYSKEYUP;
    // 3. Keys: to the drop-down while it shows, else through this control's key handling first.
    if (KeyMsg) {
        WORD Key = static_cast<WORD>(Message.WParam);
        const bool Alt = (Message.LParam & 0x20000000) != 0;
        if (FDroppedDown) {
            if (Msg == WM_SYSKEYDOWN && Key == VK_UP && Alt) {
                WORD K = Key;
                KeyDown(K, ssAlt);
            } else if (Msg != WM_SYSKEYDOWN && Msg != WM_SYSKEYUP) {
                Message.Result = FPopup->Perform(Msg, Message.WParam, Message.LParam);
            }
            return;
        }
        auto* Inner = dynamic_cast<THSInnerDropDown*>(FEdit);
        if (Inner && Inner->InnerDroppedDown()) {
            // the editor's own drop-down takes the key as it is
        } else if (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN) {
            TShiftState Shift = KeyDataToShiftState(Message.LParam);
            KeyDown(Key, Shift);
            if (Key == 0)
                return;
        } else if (Msg == WM_CHAR) {
            char Ch = static_cast<char>(Message.WParam);
            if (Ch == '\r')
                return; // Enter ends editing; it never reaches a one-line editor as a character
            KeyPress(Ch);
            if (Ch == 0)
                return;
            Message.WParam = static_cast<unsigned char>(Ch);
        }
    }
    // 4. Ending the edit when the focus leaves the form.
    if (!FDroppedDown && Msg == WM_KILLFOCUS) {
        HWND To = reinterpret_cast<HWND>(Message.WParam);
        TCustomForm* F = GetParentForm();
        HWND FormWnd = F && F->HandleAllocated() ? F->Handle() : nullptr;
        if (!To || !FormWnd || (To != FormWnd && !IsChild(FormWnd, To)))
            Term();
    }
    // 5. An edit: a character, or a key with Shift, Ctrl or Alt, or Delete.
    bool IsEdit = false;
    if (Msg == WM_CHAR) {
        IsEdit = true;
    } else if (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN || Msg == WM_KEYUP) {
        TShiftState Shift = KeyDataToShiftState(Message.LParam);
        IsEdit = (Shift & (ssShift | ssCtrl | ssAlt)) != 0 || Message.WParam == VK_DELETE;
    }
    std::string Before;
    if (IsEdit) {
        Before = EditText();
        if (FEditSource)
            FEditSource->StartEdit();
    }
    // 7. The form does not see the key twice.
    TCustomForm* F =
        (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN || Msg == WM_CHAR) ? GetParentForm() : nullptr;
    const bool Preview = F && F->KeyPreview();
    if (Preview)
        F->SetKeyPreview(false);
    struct TRestorePreview {
        TCustomForm* F;
        bool On;
        ~TRestorePreview() {
            if (On)
                F->SetKeyPreview(true);
        }
    } Restore{F, Preview};
    CallEditor();
    // 8. After the editor.
    if (Msg == WM_SETFOCUS && FHideCaret)
        ::HideCaret(Wnd);
    if ((Msg == WM_LBUTTONDOWN && !WasDropped) || Msg == WM_LBUTTONUP) {
        const bool WasClicking = FEditClicking;
        FEditClicking = Msg == WM_LBUTTONDOWN;
        if (Msg == WM_LBUTTONUP && FDropOnClick && !WasDropped && !FDroppedDown && WasClicking)
            Drop();
    }
    if (!FDroppedDown && IsEdit && EditText() != Before)
        Change();
    if (Msg == WM_KILLFOCUS && HandleAllocated()) {
        Invalidate();
        ::UpdateWindow(FHandle);
    }
}
