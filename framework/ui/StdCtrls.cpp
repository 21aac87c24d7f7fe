#include "framework/ui/StdCtrls.h"

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

namespace {
const TEnumInfo AlignmentInfo{{"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo ComboStyleInfo{{"csDropDown", "csSimple", "csDropDownList"}};
const TEnumInfo ScrollStyleInfo{{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
} // namespace

ZEL_DEFINE_CLASS(
    TButton, TWinControl,
    {Prop::Bool<TButton>("Cancel", &TButton::Cancel, &TButton::SetCancel).WithDefault(0),
     Prop::Bool<TButton>("Default", &TButton::Default, &TButton::SetDefault).WithDefault(0),
     Prop::Int<TButton>("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).WithDefault(0)})
ZEL_DEFINE_CLASS(
    TCheckBox, TWinControl,
    {Prop::Bool<TCheckBox>("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).WithDefault(0),
     Prop::Bool<TCheckBox>("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).WithDefault(0)})
ZEL_DEFINE_CLASS(
    TRadioButton, TWinControl,
    {Prop::Bool<TRadioButton>("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).WithDefault(0)})
ZEL_DEFINE_CLASS(TGroupBox, TWinControl, {})
ZEL_DEFINE_CLASS(
    TLabel, TGraphicControl,
    {Prop::Enum<TLabel>("Alignment", &AlignmentInfo, &TLabel::Alignment, &TLabel::SetAlignment)
         .WithDefault(0),
     Prop::Bool<TLabel>("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).WithDefault(1),
     Prop::Bool<TLabel>("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).WithDefault(1),
     Prop::Bool<TLabel>("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).WithDefault(0),
     Prop::Bool<TLabel>("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).WithDefault(0)})
ZEL_DEFINE_CLASS(
    TCustomEdit, TWinControl,
    {Prop::Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).WithDefault(0),
     Prop::Char<TCustomEdit>("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar)
         .WithDefault(0),
     Prop::Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).WithDefault(0),
     Prop::String<TControl>("Text", &TControl::Text, &TControl::SetText)})
ZEL_DEFINE_CLASS(TEdit, TCustomEdit, {})
ZEL_DEFINE_CLASS(TMemo, TCustomEdit,
                 {Prop::Enum<TMemo>("ScrollBars", &ScrollStyleInfo, &TMemo::ScrollBars, &TMemo::SetScrollBars)
                      .WithDefault(0),
                  Prop::Bool<TMemo>("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).WithDefault(1)})
ZEL_DEFINE_CLASS(
    TComboBox, TWinControl,
    {Prop::Int<TComboBox>("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
         .WithDefault(8),
     Prop::Int<TComboBox>("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).WithDefault(0),
     Prop::Bool<TComboBox>("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).WithDefault(0),
     Prop::Enum<TComboBox>("Style", &ComboStyleInfo, &TComboBox::Style, &TComboBox::SetStyle).WithDefault(0),
     Prop::String<TControl>("Text", &TControl::Text, &TControl::SetText)})
ZEL_DEFINE_CLASS(
    TListBox, TWinControl,
    {Prop::Bool<TListBox>("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).WithDefault(0),
     Prop::Bool<TListBox>("Sorted", &TListBox::Sorted, &TListBox::SetSorted).WithDefault(0)})

// --- TItemStrings -------------------------------------------------------------------------------

void TItemStrings::Put(int Index, const std::string& S) {
    TObject* Obj = FList.GetObject(Index);
    Delete(Index);
    if (FList.Sorted())
        AddObject(S, Obj);
    else {
        Insert(Index, S);
        FList.PutObject(Index, Obj);
    }
}

int TItemStrings::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TItemStrings::AddObject(const std::string& S, TObject* AObject) {
    int Before = FList.GetCount();
    int Index = FList.AddObject(S, AObject);
    if (FList.GetCount() != Before && FControl.HandleAllocated())
        SendMessageA(FControl.Handle(), FMsgs.Insert, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(S.c_str()));
    Changed();
    return Index;
}

void TItemStrings::Insert(int Index, const std::string& S) {
    FList.Insert(Index, S);
    if (FControl.HandleAllocated())
        SendMessageA(FControl.Handle(), FMsgs.Insert, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(S.c_str()));
    Changed();
}

void TItemStrings::Delete(int Index) {
    FList.Delete(Index);
    if (FControl.HandleAllocated())
        SendMessageA(FControl.Handle(), FMsgs.Delete, static_cast<WPARAM>(Index), 0);
    Changed();
}

void TItemStrings::Clear() {
    FList.Clear();
    if (FControl.HandleAllocated())
        SendMessageA(FControl.Handle(), FMsgs.Reset, 0, 0);
    Changed();
}

void TItemStrings::Exchange(int Index1, int Index2) {
    FList.Exchange(Index1, Index2);
    Refill();
    Changed();
}

void TItemStrings::SetSorted(bool Value) {
    FList.SetSorted(Value);
    Refill();
}

void TItemStrings::Refill() {
    if (!FControl.HandleAllocated())
        return;
    HWND Wnd = FControl.Handle();
    SendMessageA(Wnd, WM_SETREDRAW, FALSE, 0);
    SendMessageA(Wnd, FMsgs.Reset, 0, 0);
    for (int I = 0; I < FList.GetCount(); ++I) {
        std::string S = FList.Get(I);
        SendMessageA(Wnd, FMsgs.Insert, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(S.c_str()));
    }
    SendMessageA(Wnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Wnd, nullptr, TRUE);
}

// --- TButton ------------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "BUTTON";
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool Value) {
    if (Value == FDefault)
        return;
    FDefault = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (TCustomForm* Form = GetParentForm())
        Form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY: {
        // Return goes to the focused button, else to the default one; Escape to the cancel button.
        bool Take = false;
        if (Message.WParam == VK_RETURN) {
            auto* FocusedButton = dynamic_cast<TButton*>(TWinControl::FromHandle(GetFocus()));
            Take = FocusedButton ? FocusedButton == this : FDefault;
        } else if (Message.WParam == VK_ESCAPE) {
            Take = FCancel;
        }
        if (Take && CanFocus()) {
            Click();
            Message.Result = 1;
        } else {
            Message.Result = 0;
        }
        return;
    }
    }
    TWinControl::WndProc(Message);
}

// --- TCheckBox ----------------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
    SetTabStop(true);
    SetParentColor(true);
}

void TCheckBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "BUTTON";
    Params.Style |= BS_3STATE;
}

void TCheckBox::CreateHandleDone() {
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

TCheckBoxState TCheckBox::State() const {
    return FState;
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (Value == FState)
        return;
    FState = Value;
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(Value), 0);
    Click();
}

void TCheckBox::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            SetChecked(!Checked());
            Message.Result = 1;
        }
        return;
    }
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        switch (FState) {
        case TCheckBoxState::cbUnchecked:
            SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbGrayed:
            SetState(TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked:
            SetState(TCheckBoxState::cbUnchecked);
            break;
        }
        return;
    }
    TWinControl::WndProc(Message);
}

// --- TRadioButton -------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
    SetParentColor(true);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "BUTTON";
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateHandleDone() {
    SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    SetTabStop(Value);
    if (FHandle)
        SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (Value) {
        if (FParent)
            for (int I = 0; I < FParent->ControlCount(); ++I)
                if (auto* R = dynamic_cast<TRadioButton*>(FParent->Controls(I)); R && R != this)
                    R->SetChecked(false);
        Click();
    }
}

void TRadioButton::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            SetChecked(true);
            Message.Result = 1;
        }
        return;
    }
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        SetChecked(true);
        return;
    }
    TWinControl::WndProc(Message);
}

// --- TGroupBox ----------------------------------------------------------------------------------

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 185;
    FHeight = 105;
    SetParentColor(true);
}

void TGroupBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "BUTTON";
    Params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TGroupBox::WndProc(TMessage& Message) {
    // The platform draws only the frame and the caption; the inside would keep whatever was on
    // the screen before. It gets the parent's colour, which the box has taken.
    if (Message.Msg == WM_ERASEBKGND && FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        ::FillRect(DC, &R, ControlBrush(DC));
        Message.Result = 1;
        return;
    }
    TWinControl::WndProc(Message);
}

RECT TGroupBox::ClientRect() {
    RECT R = TWinControl::ClientRect();
    int Text = std::abs(Font().Height()) + 4;
    R.top += Text;
    InflateRect(&R, -2, -2);
    return R;
}

// --- TLabel -------------------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 65;
    FHeight = 17;
    FClickEvents = true;
    SetParentColor(true);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

UINT TLabel::DrawFlags() const {
    UINT F = DT_EXPANDTABS;
    if (FWordWrap)
        F |= DT_WORDBREAK;
    if (!FShowAccelChar)
        F |= DT_NOPREFIX;
    if (FAlignment == TAlignment::taRightJustify)
        F |= DT_RIGHT;
    if (FAlignment == TAlignment::taCenter)
        F |= DT_CENTER;
    return F;
}

void TLabel::AdjustBounds() {
    // While read from a form's layout its size is the stored one until all properties are in.
    if (!FAutoSize || HasState(csReading))
        return;
    Canvas().Font().Assign(Font());
    Canvas().SetHandle(ScreenMeasureDC());
    RECT R{0, 0, FWordWrap ? FWidth : 0, 0};
    std::string Text = Caption();
    if (Text.empty() || (FShowAccelChar && Text == "&"))
        Text = " ";
    Canvas().DrawText(Text, R, DrawFlags() | DT_CALCRECT);
    Canvas().SetHandle(nullptr);
    int W = FWordWrap ? FWidth : R.right, H = R.bottom;
    int L = FLeft;
    if (!FWordWrap && FAlignment == TAlignment::taRightJustify)
        L = FLeft + FWidth - W;
    SetBounds(L, FTop, W, H);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}
void TLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    AdjustBounds();
}
void TLabel::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}
void TLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}
void TLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}
void TLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}
void TLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

void TLabel::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && FShowAccelChar && IsAccel(static_cast<WORD>(Message.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TLabel::Paint() {
    RECT R = ClientRect();
    if (!FTransparent) {
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(R);
    }
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    Canvas().Font().Assign(Font());
    if (!Enabled())
        Canvas().Font().SetColor(clGrayText);
    Canvas().DrawText(Caption(), R, DrawFlags());
}

// --- TCustomEdit --------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 21;
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "EDIT";
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style |= ES_AUTOHSCROLL;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
}

void TCustomEdit::CreateHandleDone() {
    if (FMaxLength)
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar)
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}
void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (FHandle)
        SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}
void TCustomEdit::SetPasswordChar(char Value) {
    if (Value == FPasswordChar)
        return;
    FPasswordChar = Value;
    if (FHandle) {
        SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
        Invalidate();
    }
}
bool TCustomEdit::Modified() const {
    return FHandle && SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
}
void TCustomEdit::SetModified(bool Value) {
    if (FHandle)
        SendMessageA(FHandle, EM_SETMODIFY, Value, 0);
}
int TCustomEdit::SelStart() const {
    DWORD Start = 0, End = 0;
    if (FHandle)
        SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(Start);
}
void TCustomEdit::SetSelStart(int Value) {
    if (FHandle)
        SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(Value), Value);
}
int TCustomEdit::SelLength() const {
    DWORD Start = 0, End = 0;
    if (FHandle)
        SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(End - Start);
}
void TCustomEdit::SetSelLength(int Value) {
    int Start = SelStart();
    if (FHandle)
        SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(Start), Start + Value);
}
std::string TCustomEdit::SelText() const {
    std::string All = GetText();
    int Start = std::min(SelStart(), static_cast<int>(All.size()));
    return All.substr(static_cast<size_t>(Start), static_cast<size_t>(SelLength()));
}
void TCustomEdit::SetSelText(const std::string& Value) {
    if (FHandle)
        SendMessageA(const_cast<HWND>(FHandle), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Value.c_str()));
}
void TCustomEdit::SelectAll() {
    if (FHandle)
        SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    if (Message.Msg == CN_CTLCOLORSTATIC || Message.Msg == CN_CTLCOLOREDIT) {
        Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
        return;
    }
    TWinControl::WndProc(Message);
}

// --- TMemo --------------------------------------------------------------------------------------

class TMemo::TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo& Memo) : FMemo(Memo) {}
    std::string Get(int Index) const override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size()))
            Error(SListIndexError, Index);
        return L[static_cast<size_t>(Index)];
    }
    int GetCount() const override { return static_cast<int>(Split().size()); }
    void Insert(int Index, const std::string& S) override {
        auto L = Split();
        if (Index < 0 || Index > static_cast<int>(L.size()))
            Error(SListIndexError, Index);
        L.insert(L.begin() + Index, S);
        Join(L);
    }
    void Put(int Index, const std::string& S) override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size()))
            Error(SListIndexError, Index);
        L[static_cast<size_t>(Index)] = S;
        Join(L);
    }
    void Delete(int Index) override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size()))
            Error(SListIndexError, Index);
        L.erase(L.begin() + Index);
        Join(L);
    }
    void Clear() override { FMemo.SetText(""); }
    std::string GetText() const override { return FMemo.Text(); }
    void SetText(const std::string& Value) override { FMemo.SetText(Value); }

private:
    std::vector<std::string> Split() const {
        std::vector<std::string> L;
        std::string T = FMemo.Text();
        size_t Pos = 0;
        while (Pos < T.size()) {
            size_t E = T.find_first_of("\r\n", Pos);
            if (E == std::string::npos) {
                L.push_back(T.substr(Pos));
                break;
            }
            L.push_back(T.substr(Pos, E - Pos));
            Pos = E + ((T[E] == '\r' && E + 1 < T.size() && T[E + 1] == '\n') ? 2 : 1);
        }
        return L;
    }
    void Join(const std::vector<std::string>& L) {
        std::string T;
        for (const auto& S : L)
            T += S + "\r\n";
        FMemo.SetText(T);
    }
    TMemo& FMemo;
};

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(*this)) {
    FMultiLine = true;
    FWidth = 185;
    FHeight = 89;
}
TMemo::~TMemo() = default;
TStrings& TMemo::Lines() {
    return *FLines;
}

void TMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN;
    if (!FWordWrap)
        Params.Style |= ES_AUTOHSCROLL;
    else
        Params.Style &= ~ES_AUTOHSCROLL;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_HSCROLL;
    Params.Style |= ES_AUTOVSCROLL;
}

void TMemo::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    RecreateWnd();
}
void TMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TMemo::WndProc(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(Message);
        if (!WantTabs)
            Message.Result &= ~DLGC_WANTTAB;
        if (!WantReturns)
            Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    }
    TCustomEdit::WndProc(Message);
}

// --- TComboBox ----------------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TItemStrings>(
          *this, TItemStrings::TMessages{CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT})) {
    FWidth = 145;
    FHeight = 21;
    SetTabStop(true);
    SetColor(clWindow);
}

TComboBox::~TComboBox() {
    BeginDestroy();
    DestroyHandle();
}

void TComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case TComboBoxStyle::csDropDown:
        Params.Style |= CBS_DROPDOWN;
        break;
    case TComboBoxStyle::csSimple:
        Params.Style |= CBS_SIMPLE;
        break;
    case TComboBoxStyle::csDropDownList:
        Params.Style |= CBS_DROPDOWNLIST;
        break;
    }
    // The window's height includes the dropped-down list.
    if (FStyle != TComboBoxStyle::csSimple)
        Params.Height = FHeight + FDropDownCount * 16 + 2;
}

void TComboBox::CreateHandleDone() {
    FItems->Refill();
    if (FMaxLength)
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FSavedIndex >= 0)
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FSavedIndex), 0);
    if (!FText.empty() && FStyle != TComboBoxStyle::csDropDownList)
        SetWindowTextA(FHandle, FText.c_str());
    FEditHandle = nullptr;
    if (FStyle != TComboBoxStyle::csDropDownList) {
        // Keys typed into the box go to its edit window, which is not ours: route them through us.
        FEditHandle = FindWindowExA(FHandle, nullptr, "EDIT", nullptr);
        if (FEditHandle) {
            SetPropA(FEditHandle, "ZelComboBox", reinterpret_cast<HANDLE>(this));
            FEditDefProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TComboBox::EditWndProc)));
        }
    }
    // The closed height is what the platform made of ours.
    RECT R;
    GetWindowRect(FHandle, &R);
    FHeight = R.bottom - R.top;
}

void TComboBox::HandleDestroyed() {
    FEditHandle = nullptr;
    FEditDefProc = nullptr;
}

LRESULT CALLBACK TComboBox::EditWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Box = reinterpret_cast<TComboBox*>(GetPropA(Wnd, "ZelComboBox"));
    if (!Box || !Box->FEditDefProc)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    WNDPROC Def = Box->FEditDefProc;
    try {
        TMessage M{Msg, WParam, LParam, 0};
        switch (Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Box->DoKeyDown(M))
                return 0;
            WParam = M.WParam;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (Box->DoKeyUp(M))
                return 0;
            break;
        case WM_CHAR:
            if (Box->DoKeyPress(M))
                return 0;
            WParam = M.WParam;
            break;
        case WM_SETFOCUS:
            if (TCustomForm* Form = Box->GetParentForm())
                Form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Box));
            if (reinterpret_cast<HWND>(WParam) != Box->FHandle)
                Box->DoEnter();
            break;
        case WM_KILLFOCUS: {
            LRESULT R = CallWindowProcA(Def, Wnd, Msg, WParam, LParam);
            if (reinterpret_cast<HWND>(WParam) != Box->FHandle)
                Box->DoExit();
            return R;
        }
        case WM_NCDESTROY:
            RemovePropA(Wnd, "ZelComboBox");
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Def));
            break;
        }
    } catch (...) {
        HandleUiException(Box);
        return 0;
    }
    return CallWindowProcA(Def, Wnd, Msg, WParam, LParam);
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

int TComboBox::ItemIndex() const {
    if (FHandle)
        return static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
    return FSavedIndex;
}

void TComboBox::SetItemIndex(int Value) {
    FSavedIndex = Value;
    if (FHandle)
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    FText = Value >= 0 && Value < FItems->Count() ? FItems->Get(Value) : std::string();
}

void TComboBox::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (FHandle)
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

bool TComboBox::DroppedDown() const {
    return FHandle && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool Value) {
    if (FHandle)
        SendMessageA(FHandle, CB_SHOWDROPDOWN, Value, 0);
}

void TComboBox::SelectAll() {
    if (FHandle)
        SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
        int ListHeight = FStyle == TComboBoxStyle::csSimple ? 0 : FDropDownCount * 16 + 2;
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight + ListHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT R;
        GetWindowRect(FHandle, &R);
        FHeight = R.bottom - R.top;
    }
    RequestAlign();
    if (Resized)
        Resize();
}

void TComboBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case CBN_EDITCHANGE:
            Change();
            return;
        case CBN_SELCHANGE:
            FSavedIndex = ItemIndex();
            Click();
            Change();
            return;
        case CBN_DROPDOWN:
            DoEvent(OnDropDown, this);
            return;
        case CBN_CLOSEUP:
            DoEvent(OnCloseUp, this);
            return;
        case CBN_KILLFOCUS:
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        // Keep the closed height, not the one with the list.
        DefaultHandler(Message);
        RECT R;
        GetWindowRect(FHandle, &R);
        HWND P = GetParent(FHandle);
        if (P)
            MapWindowPoints(nullptr, P, reinterpret_cast<POINT*>(&R), 2);
        FLeft = R.left;
        FTop = R.top;
        FWidth = R.right - R.left;
        FHeight = R.bottom - R.top;
        return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
        Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
        return;
    }
    if (Message.Msg >= WM_CTLCOLORMSGBOX && Message.Msg <= WM_CTLCOLORSTATIC) {
        Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
        return;
    }
    TWinControl::WndProc(Message);
}

// --- TListBox -----------------------------------------------------------------------------------

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TItemStrings>(
          *this, TItemStrings::TMessages{LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT})) {
    FWidth = 121;
    FHeight = 97;
    SetTabStop(true);
    SetColor(clWindow);
}

TListBox::~TListBox() {
    BeginDestroy();
    DestroyHandle();
}

void TListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "LISTBOX";
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
    if (FMultiSelect)
        Params.Style |= LBS_EXTENDEDSEL;
}

void TListBox::CreateHandleDone() {
    FItems->Refill();
    if (FSavedIndex >= 0)
        SetItemIndex(FSavedIndex);
}

void TListBox::HandleDestroyed() {}

int TListBox::ItemIndex() const {
    if (!FHandle)
        return FSavedIndex;
    if (FMultiSelect)
        return static_cast<int>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int Value) {
    FSavedIndex = Value;
    if (!FHandle)
        return;
    if (FMultiSelect)
        SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
    else
        SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TListBox::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

bool TListBox::Selected(int Index) const {
    if (!FHandle)
        return Index == FSavedIndex;
    return SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TListBox::SetSelected(int Index, bool Value) {
    if (!FHandle) {
        if (Value)
            FSavedIndex = Index;
        return;
    }
    if (FMultiSelect)
        SendMessageA(FHandle, LB_SETSEL, Value, Index);
    else
        SendMessageA(FHandle, LB_SETCURSEL, Value ? static_cast<WPARAM>(Index) : static_cast<WPARAM>(-1), 0);
}

int TListBox::SelCount() const {
    if (!FHandle)
        return FSavedIndex >= 0 ? 1 : 0;
    if (!FMultiSelect)
        return ItemIndex() >= 0 ? 1 : 0;
    return static_cast<int>(SendMessageA(FHandle, LB_GETSELCOUNT, 0, 0));
}

int TListBox::TopIndex() const {
    return FHandle ? static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0)) : 0;
}
void TListBox::SetTopIndex(int Value) {
    if (FHandle)
        SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}
int TListBox::ItemHeight() const {
    return FHandle ? static_cast<int>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0)) : 13;
}

void TListBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE:
            FSavedIndex = ItemIndex();
            Click();
            return;
        case LBN_DBLCLK:
            DblClick();
            return;
        }
    }
    if (Message.Msg == CN_CTLCOLORLISTBOX) {
        Message.Result = reinterpret_cast<LRESULT>(ControlBrush(reinterpret_cast<HDC>(Message.WParam)));
        return;
    }
    TWinControl::WndProc(Message);
}
