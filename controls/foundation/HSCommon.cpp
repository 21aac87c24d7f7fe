#include "controls/foundation/HSCommon.h"

#include <shellapi.h>

#include <algorithm>

#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/ShellExec.h"

ZEL_DEFINE_CLASS(THSCustomControl, TCustomControl, {})

namespace Hscommon {
bool UseOneFont = true;
const int StdFontSizes[16] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
std::function<bool(const std::string&)> OnHotString;
} // namespace Hscommon

// --- THSCustomControl ---------------------------------------------------------------------------

std::string THSCustomControl::DefaultMappingName() {
    return LoadResString(SKBDClassic);
}

THSCustomControl::THSCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), FKeyList(std::make_unique<TKeyList>()) {
    SetTabStop(true);
    // The map is built on first need: the builder is registered for the most derived class, which
    // is not known while the base part is being constructed.
    FKeyMapping = DefaultMappingName();
}

THSCustomControl::~THSCustomControl() {
    BeginDestroy();
    DestroyHandle();
}

void THSCustomControl::SetKeyMapping(const std::string& Name) {
    if (Name == FKeyMapping && FMapBuilt)
        return;
    FKeyMapping = Name;
    FInitProc = GetKeyboardInitProc(ClassType(), Name);
    UpdateKeyMapping();
}

void THSCustomControl::EnsureKeyMapping() {
    if (FMapBuilt)
        return;
    FInitProc = GetKeyboardInitProc(ClassType(), FKeyMapping);
    UpdateKeyMapping();
}

void THSCustomControl::UpdateKeyMapping() {
    FKeyList->ClearKeys();
    FKeyState = 0;
    FMapBuilt = true;
    if (FInitProc)
        FInitProc(this);
    else
        InitDefaultKeyMapping();
}

void THSCustomControl::InitDefaultKeyMapping() {
    throw EAbstractError("Abstract Error");
}

bool THSCustomControl::InsertChar(char) {
    return false;
}

void THSCustomControl::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    FKeyHandled = false;
    if ((Key == VK_RETURN && !FWantReturns) || (Key == VK_TAB && !FWantTabs)) {
        if (!(Shift & ssCtrl))
            return;
        Shift = 0;
    }
    if (Key == 0 || HasState(csDesigning))
        return;
    EnsureKeyMapping();
    TKeyData* Binding = FKeyList->FindKeyData(Key, Shift & (ssShift | ssAlt | ssCtrl), FKeyState);
    if (!Binding) {
        FKeyState = 0;
        return;
    }
    // The command may rebuild the key map and so free the binding: take what we need first.
    TKeyMethod Method = Binding->Method;
    uint8_t NewState = Binding->NewState;
    Binding = nullptr;
    Key = 0;
    FKeyState = NewState;
    FKeyHandled = true;
    if (Method)
        Method();
}

void THSCustomControl::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    FKeyHandled = false;
}

void THSCustomControl::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (HasState(csDesigning) || FKeyState != 0 || Key == 0) {
        // The character of a key sequence's keystroke is not text.
        if (FKeyState != 0 || FKeyHandled)
            Key = 0;
        return;
    }
    if (FKeyHandled) {
        Key = 0;
        return;
    }
    if (FOemConvert) {
        char Buf[2] = {Key, 0};
        CharToOemBuffA(Buf, Buf, 1);
        OemToCharBuffA(Buf, Buf, 1);
        Key = Buf[0];
    }
    if (InsertChar(Key))
        Key = 0;
}

void THSCustomControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        if (FWantTabs)
            Message.Result |= DLGC_WANTTAB;
        if (!FWantReturns)
            Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        // A key with Alt, or the next key of a sequence, reaches the map before menus and dialog keys.
        if (Message.Msg == CN_SYSKEYDOWN || FKeyState != 0) {
            WORD Key = static_cast<WORD>(Message.WParam);
            KeyDown(Key, KeyboardStateToShiftState());
            if (Key == 0) {
                Message.Result = 1;
                return;
            }
        }
        break;
    }
    TCustomControl::WndProc(Message);
}

// --- window placement ---------------------------------------------------------------------------

void WriteWinPosToReg(TWinControl* Control, const std::string& Name) {
    if (!Control || !Control->HandleAllocated())
        return;
    WINDOWPLACEMENT WP{};
    WP.length = sizeof(WP);
    static_assert(sizeof(WINDOWPLACEMENT) == 44, "the stored placement is 44 bytes");
    if (!GetWindowPlacement(Control->Handle(), &WP))
        return;
    std::string Key = "Forms\\" + Name + "\\";
    WriteBufToRegistry(Key + "WinPos", &WP, sizeof(WP));
    if (auto* Form = dynamic_cast<TCustomForm*>(Control))
        WriteToRegistry(Key + "WindowState", THSVariant(static_cast<int32_t>(Form->WindowState())));
}

void ReadWinPosFromReg(TWinControl* Control, const std::string& Name) {
    if (!Control)
        return;
    std::string Key = "Forms\\" + Name + "\\";
    WINDOWPLACEMENT WP{};
    if (GetRegBufSize(Key + "WinPos") != static_cast<int32_t>(sizeof(WP)))
        return;
    if (ReadBufFromRegistry(Key + "WinPos", &WP, sizeof(WP)) != static_cast<int32_t>(sizeof(WP)))
        return;
    // Another screen, a damaged value or a hand edit must not put the window out of reach.
    RECT R = FitRectToWorkArea(WP.rcNormalPosition, 100, 50);
    Control->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    if (auto* Form = dynamic_cast<TCustomForm*>(Control)) {
        int64_t State = ReadFromRegistry(Key + "WindowState", THSVariant(int32_t{0})).AsInt();
        if (State < 0 || State > 2)
            State = 0;
        Form->SetWindowState(static_cast<TWindowState>(State));
    }
}

// --- hot strings --------------------------------------------------------------------------------

bool IsWWWString(const std::string& S) {
    std::string U = UpperCase(S);
    for (const char* P : {"WWW.", "HTTP://", "GOPHER://", "FTP://"})
        if (U.rfind(P, 0) == 0)
            return true;
    return false;
}

bool IsEmailString(const std::string& S) {
    if (UpperCase(S).rfind("MAILTO:", 0) == 0)
        return true;
    size_t At = S.find('@');
    if (At == std::string::npos || S.find('@', At + 1) != std::string::npos)
        return false;
    if (At + 1 >= S.size())
        return false;
    if (S.find('.', At + 1) == std::string::npos)
        return false;
    unsigned char C = static_cast<unsigned char>(S[At + 1]);
    return (C < 128 && std::isalnum(C)) || C == '_';
}

bool IsStringHot(const std::string& S) {
    if (IsWWWString(S) || IsEmailString(S))
        return true;
    return Hscommon::OnHotString ? Hscommon::OnHotString(S) : false;
}

void JumpToURL(const std::string& S) {
    ShellExecuteSeam("open", S, "", "", SW_SHOWNORMAL);
}

// --- fonts --------------------------------------------------------------------------------------

namespace {
template <class F> auto WithScreenFont(TFont& Font, F&& Fn) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    auto Result = Fn(DC);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return Result;
}
int TextHeightOf(TFont& Font, const char* Text) {
    return WithScreenFont(Font, [&](HDC DC) {
        SIZE S{};
        GetTextExtentPoint32A(DC, Text, static_cast<int>(std::char_traits<char>::length(Text)), &S);
        return static_cast<int>(S.cy);
    });
}
} // namespace

void GetFontMetrics(TFont& Font, TEXTMETRICA& Metrics) {
    Metrics = WithScreenFont(Font, [](HDC DC) {
        TEXTMETRICA TM{};
        GetTextMetricsA(DC, &TM);
        return TM;
    });
}

int GetAveFontWidth(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    return TM.tmAveCharWidth;
}

int GetMaxFontWidth(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    return TM.tmMaxCharWidth;
}

bool IsFontMonoSpaced(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    // The platform's flag is set for variable pitch, despite its name.
    return (TM.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

int GetMaxFontHeight(TFont& Font) {
    return TextHeightOf(Font, "Wg");
}
int GetMinFontHeight(TFont& Font) {
    return TextHeightOf(Font, "x");
}

void SetFormFont(TCustomForm* Form) {
    if (!Form || !Hscommon::UseOneFont || !Form->ParentFont() || !Application || !Application->MainForm())
        return;
    Form->Font().Assign(Application->MainForm()->Font());
}

// --- scroll bars and windows --------------------------------------------------------------------

int GetScrollPosEx(HWND Wnd, int Bar) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_TRACKPOS;
    GetScrollInfo(Wnd, Bar, &SI);
    return SI.nTrackPos;
}

void _SetScrollPos(HWND Wnd, int Bar, int Pos) {
    if (GetScrollPos(Wnd, Bar) != Pos)
        SetScrollPos(Wnd, Bar, Pos, TRUE);
}

void _SetScrollSize(HWND Wnd, int Bar, int Min, int Max, int Page) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_RANGE | SIF_PAGE;
    SI.nMin = Min;
    SI.nMax = Max;
    SI.nPage = static_cast<UINT>(Page);
    SetScrollInfo(Wnd, Bar, &SI, TRUE);
}

void UpdateParamsWithBorderStyle(TCreateParams& Params, TBorderStyle BorderStyle, bool Ctl3D) {
    if (BorderStyle != TBorderStyle::bsSingle)
        return;
    if (Ctl3D) {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
        Params.Style |= WS_BORDER;
    }
}

void CalcEditorMinMaxInfo(TMessage& Msg, TControl* Form, bool Flag) {
    auto* Info = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
    RECT Work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    int FrameW = GetSystemMetrics(SM_CXFRAME), FrameH = GetSystemMetrics(SM_CYFRAME);
    int W = Work.right - Work.left, H = Work.bottom - Work.top;
    Info->ptMinTrackSize = POINT{320, 240};
    Msg.Result = 0;
    if (!Form)
        return;
    int Bottom = Form->Top() + Form->Height();
    Info->ptMaxPosition.x = Work.left - FrameW;
    if (!Flag && Form->Top() < H - Bottom) {
        Info->ptMaxPosition.y = Bottom;
        Info->ptMaxSize.y = FrameH + H - Bottom;
    } else {
        Info->ptMaxPosition.y = Work.top - FrameH;
        Info->ptMaxSize = POINT{W + 2 * FrameW, H + 2 * FrameH};
    }
}

// --- handle objects -----------------------------------------------------------------------------

THandleObject::THandleObject(THandler WndMethod) : FHandler(std::move(WndMethod)) {
    static bool Registered = false;
    HINSTANCE Inst = GetModuleHandleA(nullptr);
    if (!Registered) {
        WNDCLASSA WC{};
        WC.style = CS_DBLCLKS;
        WC.lpfnWndProc = &THandleObject::WindowProc;
        WC.hInstance = Inst;
        WC.lpszClassName = "ClipboardClass";
        if (RegisterClassA(&WC) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
            Registered = true;
    }
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, "ClipboardClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              Inst, nullptr);
    if (!FHandle)
        throw EInvalidOperation("Cannot create a message window");
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

THandleObject::~THandleObject() {
    if (FHandle) {
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

LRESULT CALLBACK THandleObject::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = reinterpret_cast<THandleObject*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (!Self || !Self->FHandler)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->FHandler(M);
    } catch (...) {
        HandleUiException(Self);
    }
    return M.Result;
}

// --- dropped files ------------------------------------------------------------------------------

std::string DropFiles(bool FoldersOnly, bool Multiple, const std::string& Separator, TMessage& Msg) {
    auto Drop = reinterpret_cast<HDROP>(Msg.WParam);
    std::string Result;
    UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT I = 0; I < Count; ++I) {
        // Names may be longer than the old path limit: ask each one's length.
        UINT Len = DragQueryFileA(Drop, I, nullptr, 0);
        std::string Name(static_cast<size_t>(Len) + 1, '\0');
        Len = DragQueryFileA(Drop, I, Name.data(), Len + 1);
        Name.resize(Len);
        if (FoldersOnly && FileExists(Name))
            Name = ExtractFileDir(Name);
        if (I > 0)
            Result += Separator;
        Result += Name;
        if (!Multiple)
            break;
    }
    DragFinish(Drop);
    Msg.Result = 0;
    return Result;
}

TShiftState KeysToShift() {
    TShiftState Shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift |= ssCtrl;
    if (GetAsyncKeyState(VK_MENU) < 0)
        Shift |= ssAlt;
    return Shift;
}

static bool IsGlobalComponentName(const std::string& Name) {
    if (!Screen)
        return false;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (SameText(Screen->Forms(I)->Name(), Name))
            return true;
    return false;
}

std::string FindUniqueName(const std::string& Name) {
    if (!IsGlobalComponentName(Name))
        return Name;
    for (int I = 1;; ++I) {
        std::string Candidate = Name + "_" + std::to_string(I);
        if (!IsGlobalComponentName(Candidate))
            return Candidate;
    }
}
