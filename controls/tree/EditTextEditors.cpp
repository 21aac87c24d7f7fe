#include "controls/tree/EditTextEditors.h"

#include "framework/core/ScopeGuard.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "framework/core/Exceptions.h"
#include "framework/core/Properties.h"
#include "controls/tree/EditButtons.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Clipbrd.h"

namespace {
const TEnumInfo CharCaseInfo{{"ecNormal", "ecUpperCase", "ecLowerCase"}};
}
ZEL_DEFINE_CLASS(
    THSSimpleEdit, TCustomEdit,
    {Prop::Enum<THSSimpleEdit>("CharCase", &CharCaseInfo, &THSSimpleEdit::CharCase,
                               &THSSimpleEdit::SetCharCase)
         .WithDefault(0),
     Prop::Bool<THSSimpleEdit>("OEMConvert", &THSSimpleEdit::OEMConvert, &THSSimpleEdit::SetOEMConvert)
         .WithDefault(0),
     Prop::Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).WithDefault(0)})
ZEL_DEFINE_CLASS(THSMaskEdit, THSSimpleEdit,
                 {Prop::String<THSMaskEdit>("EditMask", &THSMaskEdit::EditMask, &THSMaskEdit::SetEditMask)})
ZEL_DEFINE_CLASS(THSDtEdit, TWinControl, {})
ZEL_DEFINE_CLASS(THSDateEdit, THSDtEdit, {})
ZEL_DEFINE_CLASS(THSTimeEdit, THSDtEdit, {})

// --- THSSimpleEdit ---------------------------------------------------------------------------------

DWORD THSSimpleEdit::CaseStyles() const {
    DWORD S = FOEMConvert ? ES_OEMCONVERT : 0;
    if (FCharCase == TEditCharCase::ecUpperCase)
        S |= ES_UPPERCASE;
    else if (FCharCase == TEditCharCase::ecLowerCase)
        S |= ES_LOWERCASE;
    return S;
}

void THSSimpleEdit::ApplyStyles() {
    if (!HandleAllocated())
        return;
    const DWORD Mask = ES_UPPERCASE | ES_LOWERCASE | ES_OEMCONVERT;
    auto Style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>((Style & ~Mask) | CaseStyles()));
}

void THSSimpleEdit::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase)
        return;
    FCharCase = Value;
    ApplyStyles();
    if (Value != TEditCharCase::ecNormal) {
        if (HandleAllocated())
            FText = GetText();
        TextChanged();
    }
}

void THSSimpleEdit::SetOEMConvert(bool Value) {
    if (Value == FOEMConvert)
        return;
    FOEMConvert = Value;
    ApplyStyles();
}

void THSSimpleEdit::TextChanged() {
    // The platform converts typed characters only: a text set from code is converted here.
    if (FCharCase == TEditCharCase::ecUpperCase)
        FText = AnsiUpperCase(FText);
    else if (FCharCase == TEditCharCase::ecLowerCase)
        FText = AnsiLowerCase(FText);
    TCustomEdit::TextChanged();
}

void THSSimpleEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= CaseStyles();
    Params.Style = (Params.Style | WS_CLIPCHILDREN) & ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void THSSimpleEdit::DoEnter() {
    // Entered by the keyboard: the whole text is selected; a click places the caret instead.
    if (!(GetKeyState(VK_LBUTTON) < 0))
        SelectAll();
    TCustomEdit::DoEnter();
}

// --- THSMaskEdit -----------------------------------------------------------------------------------

void THSMaskEdit::SetEditMask(const std::string& Value) {
    if (Value == FMask)
        return;
    std::string Old = GetText();
    FMask = Value;
    ParseMask();
    FText = Old;
    TextChanged();
}

void THSMaskEdit::ParseMask() {
    FSlots.clear();
    FSaveLiterals = true;
    FBlank = '_';
    std::string M = FMask;
    // The two trailing fields; a ';' that a backslash guards belongs to the mask.
    std::vector<std::string> Fields;
    std::string Cur;
    for (size_t I = 0; I < M.size(); ++I) {
        if (M[I] == '\\' && I + 1 < M.size()) {
            Cur += M.substr(I, 2);
            ++I;
        } else if (M[I] == ';' && Fields.size() < 2) {
            Fields.push_back(Cur);
            Cur.clear();
        } else {
            Cur += M[I];
        }
    }
    Fields.push_back(Cur);
    if (Fields.size() >= 2 && !Fields[1].empty())
        FSaveLiterals = Fields[1][0] != '0';
    if (Fields.size() >= 3 && !Fields[2].empty())
        FBlank = Fields[2][0];
    const TFormatSettings& FS = FormatSettings();
    int Case = 0;
    const std::string& Body = Fields[0];
    for (size_t I = 0; I < Body.size(); ++I) {
        char C = Body[I];
        TSlot S;
        S.Case = Case;
        switch (C) {
        case '!':
            continue;
        case '>':
            if (I + 1 < Body.size() && Body[I + 1] == '<') {
                Case = 0;
                ++I;
            } else {
                Case = 1;
            }
            continue;
        case '<':
            Case = -1;
            continue;
        case '\\':
            if (I + 1 < Body.size())
                S.Literal = Body[++I];
            else
                continue;
            break;
        case '0':
        case 'L':
        case 'A':
        case 'C':
            S.Kind = C;
            S.Required = true;
            break;
        case '9':
        case '#':
        case 'l':
        case 'a':
        case 'c':
            S.Kind = C;
            break;
        case ':':
            S.Literal = FS.TimeSeparator;
            break;
        case '/':
            S.Literal = FS.DateSeparator;
            break;
        case '_':
            S.Literal = ' ';
            break;
        default:
            S.Literal = C;
            break;
        }
        FSlots.push_back(S);
    }
}

bool THSMaskEdit::Accepts(const TSlot& S, char& Ch) const {
    const auto U = static_cast<unsigned char>(Ch);
    const bool Digit = std::isdigit(U) != 0;
    const bool Letter = IsCharAlphaA(Ch) != 0;
    bool Ok = false;
    switch (S.Kind) {
    case '0':
    case '9':
        Ok = Digit;
        break;
    case '#':
        Ok = Digit || Ch == '+' || Ch == '-';
        break;
    case 'L':
    case 'l':
        Ok = Letter;
        break;
    case 'A':
    case 'a':
        Ok = Letter || Digit;
        break;
    default:
        Ok = U >= 32;
        break;
    }
    if (Ok && S.Case != 0)
        Ch = S.Case > 0 ? AnsiUpperCase(std::string(1, Ch))[0] : AnsiLowerCase(std::string(1, Ch))[0];
    return Ok;
}

std::string THSMaskEdit::ValueToDisplay(const std::string& Value) const {
    std::string D;
    size_t V = 0;
    for (const TSlot& S : FSlots) {
        if (!S.Kind) {
            D += S.Literal;
            // A value that keeps its literals has them in their places; one without them goes on
            // to the next slot.
            if (FSaveLiterals && V < Value.size() && Value[V] == S.Literal)
                ++V;
            continue;
        }
        char Ch = V < Value.size() ? Value[V++] : ' ';
        D += (Ch != ' ' && Accepts(S, Ch)) ? Ch : FBlank;
    }
    return D;
}

std::string THSMaskEdit::DisplayToValue(const std::string& Display) const {
    std::string V;
    for (size_t I = 0; I < FSlots.size(); ++I) {
        const TSlot& S = FSlots[I];
        char Ch = I < Display.size() ? Display[I] : FBlank;
        if (!S.Kind) {
            if (FSaveLiterals)
                V += S.Literal;
        } else {
            V += Ch == FBlank ? ' ' : Ch;
        }
    }
    return V;
}

std::string THSMaskEdit::EditText() const {
    if (!Masked())
        return THSSimpleEdit::GetText();
    return HandleAllocated() ? TWinControl::GetText() : ValueToDisplay(FText);
}

bool THSMaskEdit::IsComplete() const {
    std::string D = EditText();
    for (size_t I = 0; I < FSlots.size(); ++I)
        if (FSlots[I].Required && (I >= D.size() || D[I] == FBlank))
            return false;
    return true;
}

std::string THSMaskEdit::GetText() const {
    if (!Masked())
        return THSSimpleEdit::GetText();
    return HandleAllocated() ? DisplayToValue(TWinControl::GetText()) : FText;
}

void THSMaskEdit::TextChanged() {
    if (!Masked() || !HandleAllocated()) {
        THSSimpleEdit::TextChanged();
        return;
    }
    ShowDisplay(ValueToDisplay(FText), 0);
}

void THSMaskEdit::CreateHandleDone() {
    THSSimpleEdit::CreateHandleDone();
    if (Masked())
        ShowDisplay(ValueToDisplay(FText), 0);
}

void THSMaskEdit::ShowDisplay(const std::string& Display, int Caret) {
    FShowing = true;
    struct TReset {
        bool& B;
        ~TReset() { B = false; }
    } Reset{FShowing};
    SetWindowTextA(FHandle, Display.c_str());
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(Caret), Caret);
}

int THSMaskEdit::NextSlot(int From) const {
    for (int I = std::max(From, 0); I < static_cast<int>(FSlots.size()); ++I)
        if (FSlots[static_cast<size_t>(I)].Kind)
            return I;
    return -1;
}

int THSMaskEdit::PrevSlot(int Before) const {
    for (int I = std::min(Before, static_cast<int>(FSlots.size())) - 1; I >= 0; --I)
        if (FSlots[static_cast<size_t>(I)].Kind)
            return I;
    return -1;
}

void THSMaskEdit::ClearRange(std::string& Display, int From, int To) const {
    for (int I = From; I < To && I < static_cast<int>(Display.size()); ++I)
        if (FSlots[static_cast<size_t>(I)].Kind)
            Display[static_cast<size_t>(I)] = FBlank;
}

void THSMaskEdit::TypeChar(char Ch) {
    std::string D = EditText();
    int Start = SelStart(), Len = SelLength();
    ClearRange(D, Start, Start + Len);
    int Pos = NextSlot(Start);
    char Put = Ch;
    if (Pos < 0 || !Accepts(FSlots[static_cast<size_t>(Pos)], Put)) {
        MessageBeep(MB_OK);
        if (Len > 0)
            ShowDisplay(D, Start);
        return;
    }
    D[static_cast<size_t>(Pos)] = Put;
    int After = NextSlot(Pos + 1);
    ShowDisplay(D, After < 0 ? static_cast<int>(D.size()) : After);
}

void THSMaskEdit::Erase(bool Backward) {
    std::string D = EditText();
    int Start = SelStart(), Len = SelLength();
    if (Len > 0) {
        ClearRange(D, Start, Start + Len);
        ShowDisplay(D, Start);
        return;
    }
    int Pos = Backward ? PrevSlot(Start) : NextSlot(Start);
    if (Pos < 0)
        return;
    D[static_cast<size_t>(Pos)] = FBlank;
    ShowDisplay(D, Backward ? Pos : Start);
}

void THSMaskEdit::PasteText(const std::string& Text) {
    for (char Ch : Text)
        if (static_cast<unsigned char>(Ch) >= 32)
            TypeChar(Ch);
}

void THSMaskEdit::WndProc(TMessage& Message) {
    if (!Masked() || !HandleAllocated() || FShowing || ReadOnly()) {
        THSSimpleEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR: {
        char Ch = static_cast<char>(Message.WParam);
        if (Ch == '\b')
            Erase(true);
        else if (static_cast<unsigned char>(Ch) >= 32)
            TypeChar(Ch);
        else
            break; // Ctrl+C, Ctrl+V and the like arrive as their own messages
        Message.Result = 0;
        return;
    }
    case WM_KEYDOWN:
        if (Message.WParam == VK_DELETE) {
            Erase(false);
            Message.Result = 0;
            return;
        }
        break;
    case WM_PASTE:
        PasteText(Clipboard().AsText());
        Message.Result = 0;
        return;
    case WM_CUT: {
        Perform(WM_COPY);
        std::string D = EditText();
        int Start = SelStart();
        ClearRange(D, Start, Start + SelLength());
        ShowDisplay(D, Start);
        Message.Result = 0;
        return;
    }
    case WM_CLEAR:
        Erase(false);
        Message.Result = 0;
        return;
    case WM_SETTEXT: {
        // A text set from outside is a value: it goes through the mask like typed input.
        const char* Value = reinterpret_cast<const char*>(Message.LParam);
        ShowDisplay(ValueToDisplay(Value ? Value : ""), 0);
        Message.Result = TRUE;
        return;
    }
    default:
        break;
    }
    THSSimpleEdit::WndProc(Message);
}

// --- THSDtEdit -------------------------------------------------------------------------------------

namespace {

// A time-only value still needs a date the picker accepts.
constexpr int TimeCarrierYear = 2000;

TDateTime FromSystemTime(const SYSTEMTIME& St) {
    return EncodeDate(St.wYear, St.wMonth, St.wDay) + EncodeTime(St.wHour, St.wMinute, St.wSecond, 0);
}

} // namespace

THSDtEdit::THSDtEdit(TComponent* AOwner) : TWinControl(AOwner) {
    static const bool Loaded = [] {
        INITCOMMONCONTROLSEX Icc{sizeof(Icc), ICC_DATE_CLASSES};
        return InitCommonControlsEx(&Icc) != FALSE;
    }();
    (void)Loaded;
    FWidth = 121;
    FHeight = 21;
    SetTabStop(true);
    SetColor(clWindow);
}

void THSDtEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = DATETIMEPICK_CLASSA;
    Params.Style = (Params.Style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS)) |
                   DTS_SHOWNONE | (TimeKind() ? DTS_UPDOWN | DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT);
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void THSDtEdit::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    Apply(FHas, FValue);
}

bool THSDtEdit::HasValue() const {
    if (!HandleAllocated())
        return FHas;
    SYSTEMTIME St{};
    return SendMessageA(FHandle, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&St)) == GDT_VALID;
}

std::string THSDtEdit::Current() const {
    if (!HandleAllocated())
        return FHas ? FormatValue(FValue) : std::string();
    SYSTEMTIME St{};
    if (SendMessageA(FHandle, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&St)) != GDT_VALID)
        return std::string();
    return FormatValue(FromSystemTime(St));
}

std::string THSDtEdit::GetText() const {
    return Current();
}

bool THSDtEdit::TryParse(const std::string& Text, TDateTime& Value) const {
    try {
        Value = ParseValue(Text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

void THSDtEdit::Apply(bool Has, TDateTime Value) {
    FHas = Has;
    FValue = Value;
    FText = Current();
    if (!HandleAllocated())
        return;
    SYSTEMTIME St{};
    if (Has) {
        TDateTime At = TimeKind() ? EncodeDate(TimeCarrierYear, 1, 1) + (Value - std::floor(Value)) : Value;
        DateTimeToSystemTime(At, St);
    }
    SendMessageA(FHandle, DTM_SETSYSTEMTIME, Has ? GDT_VALID : GDT_NONE, reinterpret_cast<LPARAM>(&St));
    FText = Current();
}

void THSDtEdit::TextChanged() {
    // Called by SetText with the new text already in FText: a text that is no date (or time) is
    // refused, and the editor keeps its value.
    std::string New = FText;
    if (New.empty()) {
        Apply(false, 0);
        return;
    }
    TDateTime V = 0;
    {
        TFailureGuard keepValue([this] { FText = Current(); });
        V = ParseValue(New);
    }
    Apply(true, V);
}

void THSDtEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(Current().size());
        return;
    case WM_GETTEXT: {
        std::string T = Current();
        auto Room = static_cast<size_t>(Message.WParam);
        auto* Buffer = reinterpret_cast<char*>(Message.LParam);
        if (!Buffer || Room == 0) {
            Message.Result = 0;
            return;
        }
        size_t N = std::min(T.size(), Room - 1);
        T.copy(Buffer, N);
        Buffer[N] = '\0';
        Message.Result = static_cast<LRESULT>(N);
        return;
    }
    case WM_SETTEXT: {
        const char* Text = reinterpret_cast<const char*>(Message.LParam);
        std::string T = Text ? Text : "";
        TDateTime V = 0;
        if (T.empty()) {
            Apply(false, 0);
        } else if (TryParse(T, V)) {
            Apply(true, V);
        } else {
            Message.Result = FALSE;
            return;
        }
        Message.Result = TRUE;
        return;
    }
    case CN_NOTIFY: {
        const auto* Hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (Hdr->code == DTN_DROPDOWN) {
            FDropped = true;
        } else if (Hdr->code == DTN_CLOSEUP) {
            FDropped = false;
        } else if (Hdr->code == DTN_DATETIMECHANGE) {
            const auto* Ch = reinterpret_cast<const NMDATETIMECHANGE*>(Message.LParam);
            FHas = Ch->dwFlags == GDT_VALID;
            if (FHas)
                FValue = FromSystemTime(Ch->st);
            FText = Current();
            if (auto* E = dynamic_cast<TCustomHSEdit*>(FParent))
                E->Change();
        }
        Message.Result = 0;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

TDateTime THSDateEdit::ParseValue(const std::string& Text) const {
    return std::floor(StrToDateTime(Text));
}

std::string THSDateEdit::FormatValue(TDateTime Value) const {
    return DateToStr(Value);
}

TDateTime THSTimeEdit::ParseValue(const std::string& Text) const {
    return StrToTime(Text);
}

std::string THSTimeEdit::FormatValue(TDateTime Value) const {
    return TimeToStr(Value - std::floor(Value));
}

TDateTime StrToTime(const std::string& Text) {
    const char Sep = FormatSettings().TimeSeparator;
    int Parts[3] = {0, 0, 0};
    int Count = 0;
    size_t I = 0;
    std::string T = Trim(Text);
    bool Ok = !T.empty();
    while (Ok && I < T.size() && Count < 3) {
        size_t Start = I;
        while (I < T.size() && std::isdigit(static_cast<unsigned char>(T[I])))
            ++I;
        if (I == Start || I - Start > 2) {
            Ok = false;
            break;
        }
        Parts[Count++] = std::stoi(T.substr(Start, I - Start));
        if (I < T.size()) {
            if (T[I] != Sep && T[I] != ':')
                Ok = false;
            ++I;
            if (I == T.size())
                Ok = false;
        }
    }
    Ok = Ok && I == T.size() && Parts[0] < 24 && Parts[1] < 60 && Parts[2] < 60;
    if (!Ok)
        throw EConvertError(Format("'%s' is not a valid time", Text.c_str()));
    return EncodeTime(Parts[0], Parts[1], Parts[2], 0);
}
