#include "WindowGallery.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <filesystem>
#include <map>

#include "framework/core/SysUtils.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/PngWriter.h"
#include "framework/ui/StdCtrls.h"

namespace {

// What a control is, as far as the rules care.
enum class TKind { Other, Label, PushButton, CheckBox, GroupBox, Frame, TabControl };

// One visible control: a window (ours or the platform's) or one of our controls without a window.
struct TNode {
    HWND Wnd = nullptr;
    TControl* Control = nullptr;
    std::string Name;
    RECT Bounds{}; // in the parent's client coordinates
    RECT Screen{};
    TKind Kind = TKind::Other;
    std::string Caption;
    HFONT Font = nullptr;
    bool Wraps = false;
    bool Prefix = true;
    int Depth = INT_MAX; // place among the sibling windows from the top; drawn-on controls lie below
    bool Enabled = true;
    std::vector<TNode> Children;
};

bool IsEmpty(const RECT& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

bool Contains(const RECT& Outer, const RECT& Inner) {
    return Inner.left >= Outer.left && Inner.top >= Outer.top && Inner.right <= Outer.right &&
           Inner.bottom <= Outer.bottom;
}

std::string ClassOf(HWND Wnd) {
    char Name[128] = {};
    GetClassNameA(Wnd, Name, sizeof Name);
    return Name;
}

bool SameText(const std::string& A, const char* B) {
    return CompareText(A, B) == 0;
}

std::string WindowText(HWND Wnd) {
    const int Len = GetWindowTextLengthA(Wnd);
    std::string S(static_cast<size_t>(Len) + 1, '\0');
    S.resize(static_cast<size_t>(std::max(0, GetWindowTextA(Wnd, S.data(), Len + 1))));
    return S;
}

std::string RectText(const RECT& R) {
    return Format("(%d,%d)-(%d,%d)", static_cast<int>(R.left), static_cast<int>(R.top),
                  static_cast<int>(R.right), static_cast<int>(R.bottom));
}

std::string Quoted(const std::string& Caption) {
    return Caption.empty() ? std::string() : " \"" + Caption + "\"";
}

// Kind, caption and font of a window; the platform's classes are told by their class and style.
void DescribeWindow(TNode& N) {
    const LONG Style = GetWindowLongA(N.Wnd, GWL_STYLE);
    const std::string Cls = ClassOf(N.Wnd);
    auto* Ours = dynamic_cast<TWinControl*>(N.Control);
    N.Caption = WindowText(N.Wnd);
    N.Font = reinterpret_cast<HFONT>(SendMessageA(N.Wnd, WM_GETFONT, 0, 0));
    if (!N.Font)
        N.Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    const bool Button = dynamic_cast<TButton*>(Ours) || dynamic_cast<TCheckBox*>(Ours) ||
                        dynamic_cast<TRadioButton*>(Ours) || dynamic_cast<TGroupBox*>(Ours) ||
                        (!Ours && SameText(Cls, "Button"));
    if (Button) {
        const LONG Type = Style & BS_TYPEMASK;
        N.Wraps = (Style & BS_MULTILINE) != 0;
        if (Type == BS_GROUPBOX)
            N.Kind = TKind::GroupBox;
        else if (Type == BS_OWNERDRAW)
            N.Kind = TKind::Other;
        else if (Type == BS_PUSHBUTTON || Type == BS_DEFPUSHBUTTON || (Style & BS_PUSHLIKE))
            N.Kind = TKind::PushButton;
        else
            N.Kind = TKind::CheckBox;
    } else if (!Ours && SameText(Cls, "Static")) {
        const LONG Type = Style & SS_TYPEMASK;
        N.Prefix = !(Style & SS_NOPREFIX);
        if (Type == SS_LEFT || Type == SS_CENTER || Type == SS_RIGHT) {
            N.Kind = TKind::Label;
            N.Wraps = true;
        } else if (Type == SS_SIMPLE || Type == SS_LEFTNOWORDWRAP) {
            N.Kind = TKind::Label;
        } else if ((Type >= SS_BLACKRECT && Type <= SS_WHITEFRAME) ||
                   (Type >= SS_ETCHEDHORZ && Type <= SS_ETCHEDFRAME)) {
            N.Kind = TKind::Frame;
        }
    } else if (dynamic_cast<TCustomTabControl*>(Ours) || (!Ours && SameText(Cls, WC_TABCONTROLA))) {
        N.Kind = TKind::TabControl;
    } else if (auto* Panel = dynamic_cast<TPanel*>(Ours); Panel && Panel->ControlCount() == 0) {
        // A panel that holds nothing shows its caption, as a label does.
        N.Kind = TKind::Label;
        N.Wraps = Panel->WordWrap();
        N.Prefix = false;
    }
    std::string Name = Ours && !Ours->Name().empty() ? Ours->Name() : Cls;
    if (!Ours && GetDlgCtrlID(N.Wnd) > 0 && (Style & WS_CHILD))
        Name += Format(" #%d", GetDlgCtrlID(N.Wnd));
    N.Name = Name + Quoted(N.Kind == TKind::Other || N.Kind == TKind::TabControl ? "" : N.Caption);
}

std::vector<TNode> ChildrenOf(HWND Parent);

TNode WindowNode(HWND Wnd, HWND Parent) {
    TNode N;
    N.Wnd = Wnd;
    N.Control = TWinControl::FromHandle(Wnd);
    GetWindowRect(Wnd, &N.Screen);
    N.Bounds = N.Screen;
    MapWindowPoints(nullptr, Parent, reinterpret_cast<POINT*>(&N.Bounds), 2);
    N.Enabled = IsWindowEnabled(Wnd) != 0;
    int Depth = 0;
    for (HWND H = Parent ? GetWindow(Parent, GW_CHILD) : nullptr; H && H != Wnd;
         H = GetWindow(H, GW_HWNDNEXT))
        ++Depth;
    N.Depth = Depth;
    DescribeWindow(N);
    N.Children = ChildrenOf(Wnd);
    return N;
}

TNode GraphicNode(TControl* C, HWND Parent) {
    TNode N;
    N.Control = C;
    N.Bounds = C->BoundsRect();
    N.Screen = N.Bounds;
    MapWindowPoints(Parent, nullptr, reinterpret_cast<POINT*>(&N.Screen), 2);
    if (auto* L = dynamic_cast<TLabel*>(C)) {
        N.Kind = TKind::Label;
        N.Caption = L->Caption();
        N.Font = L->Font().Handle();
        N.Wraps = L->WordWrap();
        N.Prefix = L->ShowAccelChar();
    } else if (dynamic_cast<TBevel*>(C)) {
        N.Kind = TKind::Frame;
    }
    N.Name = (C->Name().empty() ? C->ClassName() : C->Name()) + Quoted(N.Caption);
    return N;
}

// Visible children: our controls (those without a window too) in their order, then the windows
// that are no control of ours (parts of the platform's controls, dialogs of other code).
std::vector<TNode> ChildrenOf(HWND Parent) {
    std::vector<TNode> Nodes;
    std::set<HWND> Ours;
    if (TWinControl* W = TWinControl::FromHandle(Parent)) {
        for (int I = 0; I < W->ControlCount(); ++I) {
            TControl* C = W->Controls(I);
            if (auto* WC = dynamic_cast<TWinControl*>(C)) {
                if (!WC->HandleAllocated())
                    continue;
                Ours.insert(WC->Handle());
                if (IsWindowVisible(WC->Handle()))
                    Nodes.push_back(WindowNode(WC->Handle(), Parent));
            } else if (C->Visible()) {
                Nodes.push_back(GraphicNode(C, Parent));
            }
        }
    }
    for (HWND H = GetWindow(Parent, GW_CHILD); H; H = GetWindow(H, GW_HWNDNEXT))
        if (!Ours.count(H) && IsWindowVisible(H))
            Nodes.push_back(WindowNode(H, Parent));
    return Nodes;
}

// The caption's extent in Font; with Wrap, broken into lines no wider than WrapWidth.
SIZE TextExtent(HFONT Font, const std::string& Text, bool Prefix, bool Wrap, int WrapWidth) {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font);
    RECT R{0, 0, Wrap ? std::max(1, WrapWidth) : 0, 0};
    UINT Flags = DT_CALCRECT | DT_EXPANDTABS | (Prefix ? 0 : DT_NOPREFIX) | (Wrap ? DT_WORDBREAK : 0);
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return SIZE{R.right - R.left, R.bottom - R.top};
}

// Room the platform's button leaves for its text: the push button's edges and focus frame, the
// check mark and its gap, the group box's indent on both sides of its caption.
constexpr int PushButtonMargin = 8, PushButtonMarginY = 4, CheckRoom = 19, GroupIndent = 16;

void CheckCaption(const TNode& N, std::vector<std::string>& Faults) {
    if (N.Caption.empty() || N.Kind == TKind::Other || N.Kind == TKind::Frame || N.Kind == TKind::TabControl)
        return;
    const int W = N.Bounds.right - N.Bounds.left, H = N.Bounds.bottom - N.Bounds.top;
    int RoomW = W, RoomH = H;
    switch (N.Kind) {
    case TKind::PushButton:
        RoomW = W - PushButtonMargin;
        RoomH = H - PushButtonMarginY;
        break;
    case TKind::CheckBox:
        RoomW = W - CheckRoom;
        break;
    case TKind::GroupBox:
        RoomW = W - GroupIndent;
        break;
    default:
        break;
    }
    const SIZE T = TextExtent(N.Font, N.Caption, N.Prefix, N.Wraps, RoomW);
    if (T.cx > RoomW || T.cy > RoomH)
        Faults.push_back(Format("%s: its caption needs %dx%d, it has room for %dx%d", N.Name.c_str(),
                                static_cast<int>(T.cx), static_cast<int>(T.cy), RoomW, RoomH));
}

// A group box's caption line, in its own coordinates: controls put on it hide it.
RECT GroupCaptionRect(const TNode& G) {
    if (G.Caption.empty())
        return RECT{};
    const SIZE T = TextExtent(G.Font, G.Caption, true, false, 0);
    return RECT{8, 0, 8 + T.cx, T.cy};
}

// A frame (group box, tab control, bevel) holds what lies wholly inside it: that is no overlap.
// Nor is a disabled window wholly covered by a sibling window above it (a hint over an empty
// list): the user sees and reaches only the cover.
bool Holds(const TNode& Outer, const TNode& Inner) {
    if (!Contains(Outer.Bounds, Inner.Bounds))
        return false;
    if (Outer.Kind == TKind::GroupBox || Outer.Kind == TKind::Frame || Outer.Kind == TKind::TabControl)
        return true;
    return Outer.Wnd && Inner.Wnd && Outer.Depth < Inner.Depth && !Inner.Enabled;
}

void CheckTree(const TNode& Parent, const RECT& Client, std::vector<std::string>& Faults) {
    std::vector<const TNode*> Shown;
    for (const TNode& C : Parent.Children)
        if (!IsEmpty(C.Bounds))
            Shown.push_back(&C);
    for (const TNode* C : Shown) {
        if (!Contains(Client, C->Bounds))
            Faults.push_back(Format("%s %s reaches past the client area %s of %s", C->Name.c_str(),
                                    RectText(C->Bounds).c_str(), RectText(Client).c_str(),
                                    Parent.Name.c_str()));
        CheckCaption(*C, Faults);
    }
    if (Parent.Kind == TKind::GroupBox) {
        const RECT Cap = GroupCaptionRect(Parent);
        RECT I;
        for (const TNode* C : Shown)
            if (IntersectRect(&I, &Cap, &C->Bounds))
                Faults.push_back(
                    Format("%s lies on the caption of %s", C->Name.c_str(), Parent.Name.c_str()));
    }
    for (size_t A = 0; A < Shown.size(); ++A)
        for (size_t B = A + 1; B < Shown.size(); ++B) {
            const TNode &X = *Shown[A], &Y = *Shown[B];
            RECT I;
            if (!IntersectRect(&I, &X.Bounds, &Y.Bounds))
                continue;
            const TNode* Outer = Holds(X, Y) ? &X : Holds(Y, X) ? &Y : nullptr;
            if (!Outer) {
                Faults.push_back(Format("%s %s and %s %s overlap", X.Name.c_str(), RectText(X.Bounds).c_str(),
                                        Y.Name.c_str(), RectText(Y.Bounds).c_str()));
                continue;
            }
            // A sibling inside a group box must keep off its caption too.
            const TNode& Inner = Outer == &X ? Y : X;
            if (Outer->Kind == TKind::GroupBox) {
                RECT Cap = GroupCaptionRect(*Outer);
                OffsetRect(&Cap, Outer->Bounds.left, Outer->Bounds.top);
                if (IntersectRect(&I, &Cap, &Inner.Bounds))
                    Faults.push_back(
                        Format("%s lies on the caption of %s", Inner.Name.c_str(), Outer->Name.c_str()));
            }
        }
    for (const TNode* C : Shown) {
        if (!C->Wnd)
            continue;
        RECT R;
        GetClientRect(C->Wnd, &R);
        CheckTree(*C, R, Faults);
    }
}

void CheckMenuBar(HWND Window, std::vector<std::string>& Faults) {
    HMENU Menu = GetMenu(Window);
    if (!Menu || (GetWindowLongA(Window, GWL_STYLE) & WS_CHILD))
        return;
    RECT Frame;
    GetWindowRect(Window, &Frame);
    POINT ClientTop{0, 0};
    ClientToScreen(Window, &ClientTop);
    for (int I = 0, N = GetMenuItemCount(Menu); I < N; ++I) {
        RECT R;
        if (!GetMenuItemRect(Window, Menu, static_cast<UINT>(I), &R) || IsEmpty(R))
            continue;
        if (R.bottom > ClientTop.y || R.right > Frame.right || R.left < Frame.left) {
            char Text[128] = {};
            GetMenuStringA(Menu, static_cast<UINT>(I), Text, sizeof Text, MF_BYPOSITION);
            Faults.push_back(Format("menu bar item \"%s\" lies outside the menu bar", Text));
        }
    }
}

// --- pixels -------------------------------------------------------------------------------------

struct TPixels {
    TBitmap& Shot;
    POINT Origin; // the window's top left on the screen
    COLORREF At(int ScreenX, int ScreenY) {
        const int X = ScreenX - Origin.x, Y = ScreenY - Origin.y;
        if (X < 0 || Y < 0 || X >= Shot.Width() || Y >= Shot.Height())
            return CLR_INVALID;
        const uint8_t* P = Shot.ScanLine(Y) + X * 3;
        return RGB(P[2], P[1], P[0]);
    }
};

// The inside of a group box, less the controls in it, shows the background it paints.
// What lies over a control: its children, and siblings wholly inside it (a platform group box's).
std::vector<RECT> CoveredParts(const TNode& N, const std::vector<TNode>& Siblings) {
    std::vector<RECT> Covered;
    for (const TNode& C : N.Children)
        Covered.push_back(C.Screen);
    for (const TNode& S : Siblings)
        if (&S != &N && Contains(N.Bounds, S.Bounds))
            Covered.push_back(S.Screen);
    return Covered;
}

bool IsCovered(const std::vector<RECT>& Covered, int X, int Y) {
    const POINT P{X, Y};
    return std::any_of(Covered.begin(), Covered.end(), [&](const RECT& R) { return PtInRect(&R, P); });
}

void CheckGroupBoxInside(const TNode& N, const std::vector<TNode>& Siblings, TPixels& Px,
                         std::vector<std::string>& Faults) {
    const std::vector<RECT> Covered = CoveredParts(N, Siblings);
    const int Top = N.Screen.top + TextExtent(N.Font, N.Caption.empty() ? " " : N.Caption, true, false, 0).cy;
    int Black = 0, All = 0;
    for (int Y = Top; Y < N.Screen.bottom - 2; ++Y)
        for (int X = N.Screen.left + 2; X < N.Screen.right - 2; ++X) {
            if (IsCovered(Covered, X, Y))
                continue;
            const COLORREF C = Px.At(X, Y);
            if (C == CLR_INVALID)
                continue;
            ++All;
            Black += GetRValue(C) < 40 && GetGValue(C) < 40 && GetBValue(C) < 40;
        }
    if (All > 0 && Black * 2 > All)
        Faults.push_back(
            Format("%s is black inside (%d%% of its pixels)", N.Name.c_str(), Black * 100 / All));
}

// The colour most pixels have, and how many pixels there were.
COLORREF MostCommon(const std::map<COLORREF, int>& Count, int& Most, int& All) {
    COLORREF Result = CLR_INVALID;
    Most = All = 0;
    for (const auto& [C, K] : Count) {
        if (K > Most) {
            Most = K;
            Result = C;
        }
        All += K;
    }
    return Result;
}

bool NearColour(COLORREF A, COLORREF B) {
    return std::abs(GetRValue(A) - GetRValue(B)) <= 8 && std::abs(GetGValue(A) - GetGValue(B)) <= 8 &&
           std::abs(GetBValue(A) - GetBValue(B)) <= 8;
}

// A label, check box or group box shows the background of what it stands on: its own colour is
// that of a ring just outside it (where no sibling lies), unless it was given a colour of its own.
void CheckBackground(const TNode& N, const std::vector<TNode>& Siblings, const RECT& Surface, TPixels& Px,
                     std::vector<std::string>& Faults) {
    if (N.Kind != TKind::Label && N.Kind != TKind::CheckBox && N.Kind != TKind::GroupBox)
        return;
    if (N.Control && !N.Control->ParentColor())
        return;
    std::map<COLORREF, int> Inside, Around;
    const std::vector<RECT> Covered = CoveredParts(N, Siblings);
    for (int Y = N.Screen.top; Y < N.Screen.bottom; ++Y)
        for (int X = N.Screen.left; X < N.Screen.right; ++X)
            if (const COLORREF C = Px.At(X, Y); C != CLR_INVALID && !IsCovered(Covered, X, Y))
                ++Inside[C];
    auto Ring = [&](int X, int Y) {
        const POINT P{X, Y};
        if (!PtInRect(&Surface, P))
            return;
        for (const TNode& S : Siblings)
            if (PtInRect(&S.Screen, P) && !Contains(S.Bounds, N.Bounds))
                return;
        if (const COLORREF C = Px.At(X, Y); C != CLR_INVALID)
            ++Around[C];
    };
    constexpr int Gap = 2;
    for (int X = N.Screen.left; X < N.Screen.right; ++X) {
        Ring(X, N.Screen.top - Gap);
        Ring(X, N.Screen.bottom - 1 + Gap);
    }
    for (int Y = N.Screen.top; Y < N.Screen.bottom; ++Y) {
        Ring(N.Screen.left - Gap, Y);
        Ring(N.Screen.right - 1 + Gap, Y);
    }
    int InMost = 0, InAll = 0, OutMost = 0, OutAll = 0;
    const COLORREF Own = MostCommon(Inside, InMost, InAll), Under = MostCommon(Around, OutMost, OutAll);
    if (InAll > 0 && OutMost >= 8 && !NearColour(Own, Under))
        Faults.push_back(Format("%s paints its background %06X on a surface of %06X", N.Name.c_str(),
                                static_cast<unsigned>(Own), static_cast<unsigned>(Under)));
}

void CheckPixels(const TNode& N, const std::vector<TNode>& Siblings, const RECT& Surface, TPixels& Px,
                 std::vector<std::string>& Faults) {
    if (N.Kind == TKind::GroupBox)
        CheckGroupBoxInside(N, Siblings, Px, Faults);
    CheckBackground(N, Siblings, Surface, Px, Faults);
    if (N.Kind == TKind::Label && N.Caption.find_first_not_of(" &") != std::string::npos) {
        // Text shows as pixels of another colour than most of the label's.
        std::map<COLORREF, int> Count;
        for (int Y = N.Screen.top; Y < N.Screen.bottom; ++Y)
            for (int X = N.Screen.left; X < N.Screen.right; ++X)
                if (const COLORREF C = Px.At(X, Y); C != CLR_INVALID)
                    ++Count[C];
        int Most = 0, All = 0;
        MostCommon(Count, Most, All);
        if (All > 0 && All - Most < 3)
            Faults.push_back(Format("%s shows no text", N.Name.c_str()));
    }
    RECT Client = N.Screen;
    if (N.Wnd) {
        GetClientRect(N.Wnd, &Client);
        MapWindowPoints(N.Wnd, nullptr, reinterpret_cast<POINT*>(&Client), 2);
    }
    for (const TNode& C : N.Children)
        if (!IsEmpty(C.Bounds))
            CheckPixels(C, N.Children, Client, Px, Faults);
}

bool IsToolWindowOfTheSystem(HWND Wnd) {
    const std::string Cls = ClassOf(Wnd);
    for (const char* Skip : {"tooltips_class32", "#32768", "ComboLBox", "THintWindow", "IME", "SysShadow"})
        if (SameText(Cls, Skip))
            return true;
    RECT R;
    GetWindowRect(Wnd, &R);
    return IsEmpty(R);
}

BOOL CALLBACK NoteShownWindow(HWND Wnd, LPARAM P) {
    if (IsWindowVisible(Wnd) && !IsToolWindowOfTheSystem(Wnd))
        reinterpret_cast<std::set<HWND>*>(P)->insert(Wnd);
    return TRUE;
}

std::set<HWND> ShownTopLevelWindows() {
    std::set<HWND> Result;
    EnumThreadWindows(GetCurrentThreadId(), NoteShownWindow, reinterpret_cast<LPARAM>(&Result));
    return Result;
}

void FindTabControls(const TNode& N, std::vector<HWND>& Found) {
    if (N.Kind == TKind::TabControl && N.Wnd)
        Found.push_back(N.Wnd);
    for (const TNode& C : N.Children)
        FindTabControls(C, Found);
}

// Selects a tab as a click would: the parent is asked, the selection moves, the parent is told.
bool SelectTab(HWND Tab, int Index) {
    NMHDR Hdr{Tab, static_cast<UINT_PTR>(GetDlgCtrlID(Tab)), static_cast<UINT>(TCN_SELCHANGING)};
    HWND Parent = GetParent(Tab);
    if (SendMessageA(Parent, WM_NOTIFY, Hdr.idFrom, reinterpret_cast<LPARAM>(&Hdr)) != 0)
        return false;
    SendMessageA(Tab, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
    Hdr.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(Parent, WM_NOTIFY, Hdr.idFrom, reinterpret_cast<LPARAM>(&Hdr));
    return true;
}

std::string TabText(HWND Tab, int Index) {
    char Text[128] = {};
    TCITEMA Item{};
    Item.mask = TCIF_TEXT;
    Item.pszText = Text;
    Item.cchTextMax = sizeof Text;
    SendMessageA(Tab, TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
    return Text;
}

// A picture name from a caption: letters and digits kept, the rest one dash.
std::string FileNamePart(const std::string& Text) {
    std::string S;
    for (char C : Text) {
        if (std::isalnum(static_cast<unsigned char>(C)))
            S += C;
        else if (!S.empty() && S.back() != '-' && C != '&')
            S += '-';
    }
    while (!S.empty() && S.back() == '-')
        S.pop_back();
    return S;
}

// Leaves a window that a visit opened the way its user would, changing nothing: its Cancel
// button, else No or OK, else its close box.
TButton* CancelButtonOf(TWinControl& Parent) {
    for (int I = 0; I < Parent.ControlCount(); ++I) {
        if (auto* B = dynamic_cast<TButton*>(Parent.Controls(I));
            B && B->Showing() && B->Enabled() &&
            (B->Cancel() || B->ModalResult() == mrCancel ||
             (B->Caption() == "Cancel" || B->Caption() == "&Cancel")))
            return B;
        if (auto* W = dynamic_cast<TWinControl*>(Parent.Controls(I)))
            if (TButton* B = CancelButtonOf(*W))
                return B;
    }
    return nullptr;
}

void LeaveWindow(HWND Wnd, int Answer) {
    if (auto* Form = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(Wnd))) {
        if (TButton* B = CancelButtonOf(*Form))
            B->Click();
        else if (Form->ShowingModal())
            Form->SetModalResult(mrCancel);
        else
            Form->Close();
        return;
    }
    for (int Id : {Answer, IDCANCEL, IDNO, IDOK})
        if (HWND B = Id ? GetDlgItem(Wnd, Id) : nullptr; B && IsWindowVisible(B)) {
            PostMessageA(Wnd, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(B));
            return;
        }
    PostMessageA(Wnd, WM_CLOSE, 0, 0);
}

TWindowGallery* CurrentGallery = nullptr;

} // namespace

std::vector<std::string> CheckWindowLayout(HWND Window) {
    std::vector<std::string> Faults;
    TNode Top = WindowNode(Window, nullptr);
    RECT Client;
    GetClientRect(Window, &Client);
    CheckTree(Top, Client, Faults);
    CheckMenuBar(Window, Faults);
    TBitmap Shot;
    CaptureWindow(Window, Shot);
    RECT Frame;
    GetWindowRect(Window, &Frame);
    TPixels Px{Shot, POINT{Frame.left, Frame.top}};
    CheckPixels(Top, {}, Frame, Px, Faults);
    return Faults;
}

void CaptureWindow(HWND Window, TBitmap& Shot) {
    RECT R;
    GetWindowRect(Window, &R);
    Shot.SetSize(R.right - R.left, R.bottom - R.top);
    HDC DC = GetWindowDC(Window);
    BitBlt(Shot.Canvas().Handle(), 0, 0, R.right - R.left, R.bottom - R.top, DC, 0, 0, SRCCOPY);
    ReleaseDC(Window, DC);
    Shot.Dormant();
}

// --- TWindowGallery -----------------------------------------------------------------------------

TWindowGallery::TWindowGallery(std::string Folder) : FFolder(std::move(Folder)) {
    std::filesystem::create_directories(FFolder);
    // Pictures of an earlier run would pass for windows this one no longer shows.
    for (const auto& Entry : std::filesystem::directory_iterator(FFolder))
        if (Entry.path().extension() == ".png")
            std::filesystem::remove(Entry.path());
}

TWindowGallery::~TWindowGallery() {
    if (FTimer)
        KillTimer(nullptr, FTimer);
}

void CALLBACK TWindowGallery::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (CurrentGallery && !CurrentGallery->FBusy)
        CurrentGallery->LookAtNewWindows(true);
}

std::vector<std::string> TWindowGallery::Visit(const std::string& Name, const std::function<THold()>& Open) {
    FName = Name;
    FFaults.clear();
    FSeen.clear();
    FPending.clear();
    FIncluded.clear();
    FAnswer = 0;
    FWindowsThisVisit = 0;
    FBefore = ShownTopLevelWindows();
    CurrentGallery = this;
    FTimer = SetTimer(nullptr, 0, 100, &TWindowGallery::Tick);
    THold Hold;
    try {
        Hold = Open();
    } catch (const std::exception& E) {
        FFaults.push_back(Name + ": opening failed: " + E.what());
    }
    KillTimer(nullptr, FTimer);
    FTimer = 0;
    // What is still shown now was shown without a modal loop.
    FPending.clear();
    LookAtNewWindows(false);
    Hold.reset();
    Application->ProcessMessages();
    for (HWND W : ShownTopLevelWindows())
        if (!FBefore.count(W) && !FIncluded.count(W))
            LeaveWindow(W, FAnswer);
    Application->ProcessMessages();
    CurrentGallery = nullptr;
    if (FWindowsThisVisit == 0 && FFaults.empty())
        FFaults.push_back(Name + ": no window was shown");
    return FFaults;
}

void TWindowGallery::LookAtNewWindows(bool Close) {
    for (HWND W : ShownTopLevelWindows()) {
        const bool Included = FIncluded.count(W) != 0;
        if ((FBefore.count(W) && !Included) || FSeen.count(W) || (Included && Close))
            continue;
        // In a modal loop a window is looked at once it has stood still for a tick.
        if (Close && FPending.insert(W).second)
            continue;
        FSeen.insert(W);
        LookAt(W);
        if (Close && !Included)
            LeaveWindow(W, FAnswer);
    }
}

void TWindowGallery::Settle(HWND Window) {
    RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(60);
    MSG Msg;
    while (std::chrono::steady_clock::now() < Until) {
        while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
        Sleep(5);
    }
    RedrawWindow(Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWindowGallery::LookAt(HWND Window) {
    FBusy = true;
    ++FWindowsThisVisit;
    std::string Picture = FName + (FWindowsThisVisit > 1 ? Format("-%d", FWindowsThisVisit) : "");
    std::set<HWND> Walked;
    LookAtState(Window, Picture, Picture, Walked);
    FBusy = false;
}

void TWindowGallery::LookAtState(HWND Window, const std::string& Base, const std::string& Picture,
                                 std::set<HWND>& Walked) {
    Settle(Window);
    for (const std::string& F : CheckWindowLayout(Window)) {
        const std::string Line = Picture + ": " + F;
        if (std::find(FFaults.begin(), FFaults.end(), Line) == FFaults.end())
            FFaults.push_back(Line);
    }
    TBitmap Shot;
    CaptureWindow(Window, Shot);
    SavePng(Shot, (std::filesystem::path(FFolder) / (Picture + ".png")).string());
    FPictures.push_back(Picture);

    std::vector<HWND> Tabs;
    FindTabControls(WindowNode(Window, nullptr), Tabs);
    for (HWND Tab : Tabs) {
        if (!Walked.insert(Tab).second)
            continue;
        const int Count = static_cast<int>(SendMessageA(Tab, TCM_GETITEMCOUNT, 0, 0));
        const int Was = static_cast<int>(SendMessageA(Tab, TCM_GETCURSEL, 0, 0));
        for (int I = 0; I < Count; ++I) {
            if (I == Was || !SelectTab(Tab, I))
                continue;
            LookAtState(Window, Base, Base + "-" + FileNamePart(TabText(Tab, I)), Walked);
        }
        if (Was >= 0 && Was != static_cast<int>(SendMessageA(Tab, TCM_GETCURSEL, 0, 0)))
            SelectTab(Tab, Was);
    }
}
