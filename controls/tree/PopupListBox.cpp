#include "controls/tree/PopupListBox.h"

#include "framework/core/ScopeGuard.h"

#include <algorithm>

#include "controls/foundation/WindowHooks.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(THSListBoxColumn, TCollectionItem, {})
ZEL_DEFINE_CLASS(THSListBoxColumns, TCollection, {})
ZEL_DEFINE_CLASS(THSListBox, TListBox, {})
ZEL_DEFINE_CLASS(TPopupListBox, THSListBox, {})
ZEL_DEFINE_CLASS(THSPopupListBox, TPopupListBox, {})

namespace {

// Only one drop-down shows at a time, in this thread.
TWinControl* DropDown = nullptr;
TDropDownOwner* DropDownOwner = nullptr;
HHOOK DropMouseHook = nullptr;
constexpr UINT_PTR DropTimer = 1;
constexpr int MaxVisibleRows = 7;
constexpr const char* HookProp = "ZelPopupListParent";

int GET_X_LPARAM_(LPARAM L) {
    return static_cast<short>(LOWORD(L));
}
int GET_Y_LPARAM_(LPARAM L) {
    return static_cast<short>(HIWORD(L));
}

RECT WindowRectOf(TWinControl* W) {
    RECT R{0, 0, 0, 0};
    if (W && W->HandleAllocated())
        GetWindowRect(W->Handle(), &R);
    return R;
}

LRESULT CALLBACK DropDownMouseHook(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code != HC_ACTION || !DropDown || !DropDown->HandleAllocated())
        return CallNextHookEx(DropMouseHook, Code, WParam, LParam);
    const auto* M = reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
    RECT P = WindowRectOf(DropDown);
    RECT E{0, 0, 0, 0};
    if (DropDownOwner)
        E = DropDownOwner->DropDownOwnerRect();
    bool Outside = !PtInRect(&P, M->pt) && !PtInRect(&E, M->pt);
    switch (WParam) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        if (Outside) {
            // The click still reaches its window: only the drop-down goes away.
            if (auto* List = dynamic_cast<TPopupListBox*>(DropDown))
                List->Close(false);
            else if (DropDownOwner)
                DropDownOwner->CloseDropped(false);
        } else if (WParam == WM_LBUTTONDOWN && PtInRect(&P, M->pt)) {
            SetCapture(DropDown->Handle());
        }
        break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (GetCapture() == DropDown->Handle()) {
            POINT C = M->pt;
            ScreenToClient(DropDown->Handle(), &C);
            DropDown->Perform(WM_MOUSEMOVE, (GetKeyState(VK_LBUTTON) < 0) ? MK_LBUTTON : 0,
                              MAKELPARAM(static_cast<short>(C.x), static_cast<short>(C.y)));
            if (Outside)
                return 0;
        }
        break;
    default:
        break;
    }
    return CallNextHookEx(DropMouseHook, Code, WParam, LParam);
}

} // namespace

TWinControl* ShowingDropDown() {
    return DropDown;
}

TDropDownOwner* ShowingDropDownOwner() {
    return DropDownOwner;
}

void BeginDropDown(TWinControl* Popup, TDropDownOwner* Owner) {
    DropDown = Popup;
    DropDownOwner = Owner;
    if (!DropMouseHook)
        DropMouseHook = SetWindowsHookExA(WH_MOUSE, &DropDownMouseHook, nullptr, GetCurrentThreadId());
}

void EndDropDown(TWinControl* Popup) {
    if (DropDown != Popup)
        return;
    if (DropMouseHook) {
        UnhookWindowsHookEx(DropMouseHook);
        DropMouseHook = nullptr;
    }
    if (HWND Cap = GetCapture())
        if (Popup && Popup->HandleAllocated() && Cap == Popup->Handle())
            SendMessageA(Cap, WM_CANCELMODE, 0, 0);
    DropDown = nullptr;
    DropDownOwner = nullptr;
}

// --- columns ---------------------------------------------------------------------------------------

void THSListBoxColumn::Assign(TPersistent* Source) {
    if (auto* C = dynamic_cast<THSListBoxColumn*>(Source)) {
        ColumnSize = C->ColumnSize;
        Alignment = C->Alignment;
        return;
    }
    TCollectionItem::Assign(Source);
}

// --- THSListBox ------------------------------------------------------------------------------------

THSListBox::THSListBox(TComponent* AOwner)
    : TListBox(AOwner), FColumns(std::make_unique<THSListBoxColumns>()), FBoldFont(std::make_unique<TFont>()),
      FCanvas(std::make_unique<TCanvas>()) {
    if (auto* Strings = dynamic_cast<TItemStrings*>(&Items()))
        Strings->OnChange = [this](TObject*) { ResetColumnSize(); };
    AssignBold();
}

THSListBox::~THSListBox() {
    if (auto* Strings = dynamic_cast<TItemStrings*>(&Items()))
        Strings->OnChange = nullptr;
}

void THSListBox::AssignBold() {
    FBoldFont->Assign(Font());
    FBoldFont->SetStyle(static_cast<TFontStyles>(Font().Style() | fsBold));
}

void THSListBox::FontChanged() {
    AssignBold();
    TListBox::FontChanged();
}

int THSListBox::CalcSize(TCanvas& Canvas, const std::string& S) {
    return CalcStringSize(Canvas, Font(), *FBoldFont, S + " ").cx;
}

TLeftRightAlign THSListBox::ColumnAlign(int Index) const {
    if (Index >= 0 && Index < FColumns->Count())
        return FColumns->Items(Index)->Alignment;
    return TLeftRightAlign::lrLeftJustify;
}

int THSListBox::ColumnSize(int Index) const {
    if (Index >= 0 && Index < FColumns->Count() && FColumns->Items(Index)->ColumnSize != 0)
        return FColumns->Items(Index)->ColumnSize;
    if (Index >= 0 && Index < static_cast<int>(FColumnWidths.size()))
        return FColumnWidths[static_cast<size_t>(Index)];
    return 0;
}

void THSListBox::SetCustomDraw(bool Value) {
    if (Value == FCustomDraw)
        return;
    FCustomDraw = Value;
    if (HandleAllocated())
        RecreateWnd();
    ResetColumnSize();
}

void THSListBox::ResetColumnSize() {
    if (!FCustomDraw || FUpdateLock > 0)
        return;
    HDC DC = GetDC(nullptr);
    TCanvas Measure;
    Measure.SetHandle(DC);
    TStrings& L = Items();
    for (int I = 0; I < L.Count(); ++I) {
        std::string S = L.Get(I);
        int Pos = 1;
        for (size_t Col = 0; Pos <= static_cast<int>(S.size()); ++Col) {
            std::string Text = ExtractColumn(S, Pos);
            int W = CalcSize(Measure, Text);
            if (Col >= FColumnWidths.size())
                FColumnWidths.push_back(0);
            FColumnWidths[Col] = std::max(FColumnWidths[Col], W);
        }
    }
    Measure.SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
}

void THSListBox::CreateParams(TCreateParams& Params) {
    TListBox::CreateParams(Params);
    if (FCustomDraw) {
        // The strings stay in the list, so the window text and item texts keep working.
        Params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
        AssignBold();
    }
}

void THSListBox::DrawItem(int Index, const RECT& Rect, UINT) {
    TCanvas& C = *FCanvas;
    C.FillRect(Rect);
    if (Index < 0 || Index >= Items().Count())
        return;
    RECT R = Rect;
    R.left += 2;
    R.right -= 2;
    std::string S = Items().Get(Index);
    TFont Normal, Bold;
    Normal.Assign(Font());
    Normal.SetColor(C.Font().Color());
    Bold.Assign(*FBoldFont);
    Bold.SetColor(C.Font().Color());
    // The row is filled already; pieces drawn opaque would wipe the pieces beside them.
    TBrushStyle SavedStyle = C.Brush().Style();
    C.Brush().SetStyle(TBrushStyle::bsClear);
    SetBkMode(C.Handle(), TRANSPARENT);
    int Pos = 1;
    for (int Col = 0; Pos <= static_cast<int>(S.size()); ++Col) {
        std::string Text = ExtractColumn(S, Pos);
        int Start, Len;
        std::string Clean;
        ExtractBoldPos(Text, Start, Len, Clean);
        DrawWithSelection(C, Normal, Bold, R, Clean, Start, Len, ColumnAlign(Col));
        R.left += ColumnSize(Col);
        if (R.left >= R.right)
            break;
    }
    C.Brush().SetStyle(SavedStyle);
}

void THSListBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_DRAWITEM) {
        auto* DI = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        bool Selected = (DI->itemState & ODS_SELECTED) != 0;
        TCanvas& C = *FCanvas;
        C.SetHandle(DI->hDC);
        TScopeGuard release([&C] { C.SetHandle(nullptr); });
        C.Font().Assign(Font());
        if (Selected) {
            C.Brush().SetColor(clHighlight);
            C.Font().SetColor(clHighlightText);
        } else {
            C.Brush().SetColor(Color());
        }
        DrawItem(static_cast<int>(static_cast<int32_t>(DI->itemID)), DI->rcItem, DI->itemState);
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_SETREDRAW) {
        TListBox::WndProc(Message);
        if (Message.WParam == 0)
            ++FUpdateLock;
        else
            --FUpdateLock;
        ResetColumnSize();
        return;
    }
    TListBox::WndProc(Message);
}

// --- TPopupListBox ---------------------------------------------------------------------------------

TPopupListBox::TPopupListBox(TComponent* AOwner) : THSListBox(AOwner) {
    FVisible = false;
    SetTabStop(false);
    ResetItemHeight();
}

TPopupListBox::~TPopupListBox() {
    EndDropDown(this);
}

void TPopupListBox::CreateParams(TCreateParams& Params) {
    THSListBox::CreateParams(Params);
    // A floating list: owned by the window of its parent control, never activated, never framed
    // by the client edge of ordinary list boxes.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOINTEGRALHEIGHT)) | WS_POPUP |
                   WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    if (CustomDraw())
        Params.Style |= LBS_OWNERDRAWFIXED;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.ClassStyle |= CS_SAVEBITS;
    if (Params.WndParent)
        Params.WndParent = GetAncestor(Params.WndParent, GA_ROOT);
}

void TPopupListBox::CreateHandleDone() {
    THSListBox::CreateHandleDone();
    if (CustomDraw())
        SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
    BuildList();
}

void TPopupListBox::ResetItemHeight() {
    HDC DC = ScreenMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font().Handle());
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    FItemHeight = std::max<int>(9, TM.tmHeight + 1);
}

void TPopupListBox::FontChanged() {
    THSListBox::FontChanged();
    ResetItemHeight();
    if (HandleAllocated())
        RecreateWnd();
}

void TPopupListBox::AdjustHeight() {
    int Rows = std::clamp(Items().Count(), 1, MaxVisibleRows);
    int Row =
        HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0)) : FItemHeight;
    if (Row <= 0)
        Row = FItemHeight;
    SetClientHeight(Row * Rows);
}

void TPopupListBox::ShowDropDown(int X, int Y, int W, int H) {
    HandleNeeded();
    SetBounds(X, Y, W, H);
    SetWindowPos(FHandle, HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FVisible = true;
}

void TPopupListBox::HideDropDown() {
    if (HandleAllocated())
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    FVisible = false;
}

std::string TPopupListBox::ValueOfItem(int Index) {
    return Items().Get(Index);
}

int TPopupListBox::IndexOfValue(const std::string& Value) {
    for (int I = 0; I < Items().Count(); ++I)
        if (Items().Get(I) == Value)
            return I;
    return -1;
}

void TPopupListBox::SetDisplayNames(bool Value) {
    FDisplayNames = Value;
    Invalidate();
}

void TPopupListBox::Close(bool Accept) {
    if (FDropOwner)
        FDropOwner->CloseDropped(Accept);
}

bool TPopupListBox::WantsKey(const MSG& Msg) {
    return (Msg.message == WM_KEYDOWN && Msg.wParam == VK_ESCAPE) || THSListBox::WantsKey(Msg);
}

void TPopupListBox::KeyDown(WORD& Key, TShiftState Shift) {
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && (Shift & (ssShift | ssAlt | ssCtrl)) == 0) {
        bool Accept = Key != VK_ESCAPE;
        Key = 0;
        Close(Accept);
        return;
    }
    THSListBox::KeyDown(Key, Shift);
}

int TPopupListBox::ItemAt(POINT P) {
    LRESULT R = SendMessageA(FHandle, LB_ITEMFROMPOINT, 0,
                             MAKELPARAM(static_cast<short>(P.x), static_cast<short>(P.y)));
    if (HIWORD(R) != 0)
        return -1;
    int I = LOWORD(R);
    return I < Items().Count() ? I : -1;
}

void TPopupListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT: {
        int I = ItemIndex();
        std::string S = I >= 0 && I < Items().Count() ? ValueOfItem(I) : std::string();
        if (Message.Msg == WM_GETTEXTLENGTH) {
            Message.Result = static_cast<LRESULT>(S.size());
            return;
        }
        auto Room = static_cast<size_t>(Message.WParam);
        auto* Buffer = reinterpret_cast<char*>(Message.LParam);
        if (!Buffer || Room == 0) {
            Message.Result = 0;
            return;
        }
        size_t N = std::min(S.size(), Room - 1);
        std::copy_n(S.data(), N, Buffer);
        Buffer[N] = '\0';
        Message.Result = static_cast<LRESULT>(N);
        return;
    }
    case WM_SETTEXT: {
        const char* Text = reinterpret_cast<const char*>(Message.LParam);
        std::string S = Text ? Text : "";
        SetItemIndex(IndexOfValue(S));
        AdjustHeight();
        Message.Result = 1;
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Selection only: the drop-down's mouse hook owns the capture, not the list box.
        if (FHandle) {
            int I = ItemAt(POINT{GET_X_LPARAM_(Message.LParam), GET_Y_LPARAM_(Message.LParam)});
            if (I >= 0 && I != ItemIndex()) {
                SetItemIndex(I);
                if (FDropOwner)
                    FDropOwner->DropDownChanged();
            }
        }
        Message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if ((Message.WParam & MK_LBUTTON) && FHandle) {
            POINT P{GET_X_LPARAM_(Message.LParam), GET_Y_LPARAM_(Message.LParam)};
            RECT C;
            GetClientRect(FHandle, &C);
            int Cur = ItemIndex(), Next = Cur;
            if (P.y < C.top)
                Next = std::max(0, Cur - 1);
            else if (P.y >= C.bottom)
                Next = std::min(Items().Count() - 1, Cur + 1);
            else if (int I = ItemAt(P); I >= 0)
                Next = I;
            if (Next != Cur && Next >= 0) {
                SetItemIndex(Next);
                if (FDropOwner)
                    FDropOwner->DropDownChanged();
            }
            Message.Result = 0;
            return;
        }
        break;
    case WM_LBUTTONUP:
        if (FHandle) {
            if (GetCapture() == FHandle)
                ReleaseCapture();
            POINT P{GET_X_LPARAM_(Message.LParam), GET_Y_LPARAM_(Message.LParam)};
            RECT C;
            GetClientRect(FHandle, &C);
            Message.Result = 0;
            Close(PtInRect(&C, P) != 0);
            return;
        }
        break;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == LBN_SELCHANGE && FDropOwner) {
            THSListBox::WndProc(Message);
            FDropOwner->DropDownChanged();
            return;
        }
        break;
    default:
        break;
    }
    THSListBox::WndProc(Message);
}

// --- THSPopupListBox -------------------------------------------------------------------------------

THSPopupListBox::THSPopupListBox(TComponent* AOwner) : TPopupListBox(AOwner) {
    SetCustomDraw(true);
}

THSPopupListBox::~THSPopupListBox() {
    Unhook();
}

void THSPopupListBox::Unhook() {
    UnHookParent();
    if (FAppHooked) {
        FAppHooked = false;
        RemoveWndHook(this);
    }
    EndDropDown(this);
    if (HandleAllocated())
        KillTimer(FHandle, DropTimer);
}

void THSPopupListBox::DestroyWnd() {
    UnHookParent();
    if (HandleAllocated())
        KillTimer(FHandle, DropTimer);
    TPopupListBox::DestroyWnd();
}

void THSPopupListBox::Popup(int X, int Y) {
    // Another drop-down of the thread gives way: only one shows at a time.
    if (TWinControl* Other = ShowingDropDown(); Other && Other != this) {
        if (auto* List = dynamic_cast<TPopupListBox*>(Other))
            List->Close(false);
        else if (TDropDownOwner* O = ShowingDropDownOwner())
            O->CloseDropped(false);
    }
    HandleNeeded();
    int W = 8;
    for (int32_t C : ColumnWidths())
        W += C;
    if (MaxWidth > 0)
        W = std::min(W, static_cast<int>(MaxWidth));
    SetClientWidth(std::max(W, ClientWidth()));
    AdjustHeight();
    if (Y + Height() > GetSystemMetrics(SM_CYSCREEN))
        Y -= Height();
    if (X + Width() > GetSystemMetrics(SM_CXSCREEN))
        X -= Width();
    if (Items().Count() > 0)
        SetItemIndex(0);
    SetBounds(X, Y, Width(), Height());
    SetWindowPos(FHandle, HWND_TOPMOST, X, Y, Width(), Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FVisible = true;
    BeginDropDown(this, nullptr);
    if (!FAppHooked) {
        FAppHooked = true;
        AddWndHook(this, [this](TMessage& M) { AppHook(M); });
    }
    HookParent();
}

void THSPopupListBox::Close(bool Accept) {
    if (!FVisible && ShowingDropDown() != this)
        return;
    Unhook();
    int Index = Accept ? ItemIndex() : -1;
    if (HandleAllocated())
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    FVisible = false;
    // Last, because the callback may free this list.
    if (OnSelect) {
        TPopupSelectEvent Select = OnSelect;
        Select(this, Index);
    }
}

void THSPopupListBox::AppHook(TMessage& Message) {
    const auto* C = reinterpret_cast<const CWPSTRUCT*>(Message.WParam);
    if (C->message == WM_ACTIVATEAPP && C->wParam == 0)
        Close(false);
}

LRESULT CALLBACK THSPopupListBox::ParentStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = static_cast<THSPopupListBox*>(GetPropA(Wnd, HookProp));
    if (!Self)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TMessage M{Msg, WParam, LParam, 0};
    try {
        Self->HookProc(M);
    } catch (...) {
        HandleUiException(Self);
    }
    return M.Result;
}

void THSPopupListBox::HookParent() {
    if (FHookedWnd || !Parent() || !Parent()->HandleAllocated())
        return;
    FHookedWnd = Parent()->Handle();
    SetPropA(FHookedWnd, HookProp, this);
    FParentProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        FHookedWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&THSPopupListBox::ParentStub)));
}

void THSPopupListBox::UnHookParent() {
    if (!FHookedWnd)
        return;
    HWND Wnd = FHookedWnd;
    FHookedWnd = nullptr;
    if (IsWindow(Wnd)) {
        // Someone may have subclassed the window after us; only then is our procedure still in the chain.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == &THSPopupListBox::ParentStub)
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FParentProc));
        RemovePropA(Wnd, HookProp);
    }
    FParentProc = nullptr;
}

void THSPopupListBox::HookProc(TMessage& Message) {
    if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST && HandleAllocated()) {
        Message.Result = Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    WNDPROC Prev = FParentProc;
    HWND Wnd = FHookedWnd;
    if (Message.Msg == WM_NCDESTROY)
        UnHookParent();
    Message.Result = Prev ? CallWindowProcA(Prev, Wnd, Message.Msg, Message.WParam, Message.LParam) : 0;
    // The list serves the editor under it: once that loses the focus, the choice is over. Last,
    // because closing may free this list.
    if (Message.Msg == WM_KILLFOCUS)
        Close(false);
}

THSPopupListBox* PopupListbox(TWinControl* Parent, const TStrings& Items, int X, int Y,
                              const std::vector<TLeftRightAlign>& Aligns, TFont* Font,
                              TPopupSelectEvent OnSelect, int MaxWidth) {
    auto List = std::make_unique<THSPopupListBox>(nullptr);
    List->MaxWidth = MaxWidth;
    POINT P{X, Y};
    if (Parent)
        P = Parent->ClientToScreen(P);
    for (TLeftRightAlign A : Aligns)
        List->Columns().Add()->Alignment = A;
    List->SetParent(Parent);
    if (Font) {
        List->Font().Assign(*Font);
    } else {
        List->Font().SetSize(8);
        List->Font().SetName("MS Sans Serif");
    }
    List->OnSelect = std::move(OnSelect);
    List->Items().Assign(const_cast<TStrings*>(&Items));
    List->Popup(P.x, P.y);
    return List.release();
}
