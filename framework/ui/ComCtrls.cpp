#include "framework/ui/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

ZEL_DEFINE_CLASS(
    TTabSheet, TWinControl,
    {Prop::Bool<TTabSheet>("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).WithDefault(1)})
ZEL_DEFINE_CLASS(TCustomTabControl, TWinControl, {})
ZEL_DEFINE_CLASS(TPageControl, TCustomTabControl,
                 {Prop::Int<TPageControl>("ActivePageIndex", &TPageControl::ActivePageIndex,
                                          &TPageControl::SetActivePageIndex)
                      .NotStored()})
ZEL_DEFINE_CLASS(
    TTabControl, TCustomTabControl,
    {Prop::Int<TTabControl>("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).WithDefault(-1)})
ZEL_DEFINE_CLASS(TStatusBar, TWinControl,
                 {Prop::Bool<TStatusBar>("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
                      .WithDefault(0),
                  Prop::String<TStatusBar>("SimpleText", &TStatusBar::SimpleText,
                                           &TStatusBar::SetSimpleText)})
ZEL_DEFINE_CLASS(
    TProgressBar, TWinControl,
    {Prop::Int<TProgressBar>("Max", &TProgressBar::Max, &TProgressBar::SetMax).WithDefault(100),
     Prop::Int<TProgressBar>("Min", &TProgressBar::Min, &TProgressBar::SetMin).WithDefault(0),
     Prop::Int<TProgressBar>("Position", &TProgressBar::Position, &TProgressBar::SetPosition).WithDefault(0),
     Prop::Int<TProgressBar>("Step", &TProgressBar::Step, &TProgressBar::SetStep).WithDefault(10)})

// --- TTabSheet ----------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    SetAlign(TAlign::alClient);
}

TTabSheet::~TTabSheet() {
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl)
        return -1;
    auto& P = FPageControl->FPages;
    return static_cast<int>(std::find(P.begin(), P.end(), this) - P.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl)
        return;
    auto& P = FPageControl->FPages;
    P.erase(std::remove(P.begin(), P.end(), this), P.end());
    Value = std::clamp(Value, 0, static_cast<int>(P.size()));
    P.insert(P.begin() + Value, this);
    FPageControl->UpdateTabs();
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible)
        return -1;
    int Index = 0;
    for (TTabSheet* P : FPageControl->FPages) {
        if (P == this)
            return Index;
        if (P->FTabVisible)
            ++Index;
    }
    return -1;
}

void TTabSheet::TextChanged() {
    TWinControl::TextChanged();
    if (FPageControl)
        FPageControl->UpdateTabs();
}

// --- TCustomTabControl --------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 289;
    FHeight = 193;
    SetTabStop(true);
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_TABCONTROLA;
    Params.Style |= WS_CLIPCHILDREN;
    if (FHotTrack)
        Params.Style |= TCS_HOTTRACK;
}

void TCustomTabControl::SetHotTrack(bool Value) {
    if (Value == FHotTrack)
        return;
    FHotTrack = Value;
    if (FHandle) {
        LONG_PTR Style = GetWindowLongPtrA(FHandle, GWL_STYLE);
        SetWindowLongPtrA(FHandle, GWL_STYLE, Value ? Style | TCS_HOTTRACK : Style & ~TCS_HOTTRACK);
    }
}

RECT TCustomTabControl::DisplayRect() {
    RECT R{0, 0, FWidth, FHeight};
    if (FHandle) {
        GetClientRect(FHandle, &R);
        SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
    } else {
        R.top += 24;
        InflateRect(&R, -4, -4);
    }
    return R;
}

bool TCustomTabControl::CanChange() {
    bool Allow = true;
    DoEvent(OnChanging, this, Allow);
    return Allow;
}

void TCustomTabControl::SetTabTexts(const std::vector<std::string>& Texts) {
    if (!FHandle)
        return;
    SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
    int Index = 0;
    for (const std::string& T : Texts) {
        TCITEMA Item{};
        Item.mask = TCIF_TEXT;
        Item.pszText = const_cast<char*>(T.c_str());
        SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(Index++), reinterpret_cast<LPARAM>(&Item));
    }
    Realign();
}

int TCustomTabControl::CurrentTab() const {
    return FHandle ? static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0)) : -1;
}

void TCustomTabControl::SelectTab(int Index) {
    if (FHandle)
        SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TCustomTabControl::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (Hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
            Message.Result = CanChange() ? 0 : 1;
            return;
        }
        if (Hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
            Change();
            return;
        }
    }
    TWinControl::WndProc(Message);
}

// --- TPageControl -------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    // The sheets go with the children of the window control; they must not call back into us.
    for (TTabSheet* P : FPages)
        P->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    if (!FActivePage)
        SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
    TTabSheet* Next = FActivePage == Page ? FindNextPage(Page, true, true) : FActivePage;
    if (Next == Page)
        Next = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    Page->FPageControl = nullptr;
    if (FActivePage == Page)
        FActivePage = nullptr;
    UpdateTabs();
    if (Next)
        SetActivePage(Next);
}

void TPageControl::UpdateTabs() {
    std::vector<std::string> Texts;
    for (TTabSheet* P : FPages)
        if (P->FTabVisible)
            Texts.push_back(P->Caption());
    SetTabTexts(Texts);
    if (FActivePage)
        SelectTab(FActivePage->TabIndex());
}

void TPageControl::CreateHandleDone() {
    UpdateTabs();
    Realign();
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this)
        return;
    if (Page == FActivePage)
        return;
    TTabSheet* Old = FActivePage;
    FActivePage = Page;
    if (Page) {
        Page->SetVisible(true);
        Page->BringToFront();
        SelectTab(Page->TabIndex());
    }
    if (Old)
        Old->SetVisible(false);
    Realign();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    int N = PageCount();
    if (N == 0)
        return nullptr;
    int Start = CurPage ? CurPage->PageIndex() : (GoForward ? N - 1 : 0);
    for (int Step = 1; Step <= N; ++Step) {
        int I = ((GoForward ? Start + Step : Start - Step) % N + N) % N;
        TTabSheet* P = FPages[static_cast<size_t>(I)];
        if (!CheckTabVisible || P->FTabVisible)
            return P;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
    TTabSheet* Next = FindNextPage(FActivePage, GoForward, true);
    if (Next && Next != FActivePage && CanChange()) {
        SetActivePage(Next);
        TCustomTabControl::Change();
    }
}

void TPageControl::Change() {
    int Tab = CurrentTab();
    for (TTabSheet* P : FPages)
        if (P->TabIndex() == Tab) {
            SetActivePage(P);
            break;
        }
    TCustomTabControl::Change();
}

// --- TTabControl --------------------------------------------------------------------------------

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

void TTabControl::SetTabs(const std::vector<std::string>& Value) {
    FTabs = Value;
    SetTabTexts(FTabs);
    if (FTabIndex >= static_cast<int>(FTabs.size()))
        FTabIndex = static_cast<int>(FTabs.size()) - 1;
    SelectTab(FTabIndex);
}

int TTabControl::TabIndex() const {
    return FHandle ? CurrentTab() : FTabIndex;
}

void TTabControl::SetTabIndex(int Value) {
    FTabIndex = Value;
    SelectTab(Value);
}

void TTabControl::CreateHandleDone() {
    SetTabTexts(FTabs);
    SelectTab(FTabIndex);
}

// --- TStatusBar ---------------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 200;
    FHeight = 19;
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = STATUSCLASSNAMEA;
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (SizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateHandleDone() {
    UpdatePanels();
}

void TStatusBar::UpdatePanels() {
    if (!FHandle)
        return;
    SendMessageA(FHandle, SB_SIMPLE, FSimplePanel, 0);
    if (FSimplePanel) {
        SendMessageA(FHandle, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
        return;
    }
    std::vector<int> Edges;
    int X = 0;
    for (size_t I = 0; I < Panels.size(); ++I) {
        X += Panels[I].Width;
        Edges.push_back(I + 1 == Panels.size() ? -1 : X);
    }
    if (Edges.empty())
        Edges.push_back(-1);
    SendMessageA(FHandle, SB_SETPARTS, Edges.size(), reinterpret_cast<LPARAM>(Edges.data()));
    for (size_t I = 0; I < Panels.size(); ++I)
        SendMessageA(FHandle, SB_SETTEXTA, I, reinterpret_cast<LPARAM>(Panels[I].Text.c_str()));
}

void TStatusBar::SetPanelText(int Index, const std::string& Text) {
    if (Index < 0 || Index >= static_cast<int>(Panels.size()))
        throw EListError("List index out of bounds");
    Panels[static_cast<size_t>(Index)].Text = Text;
    if (FHandle && !FSimplePanel)
        SendMessageA(FHandle, SB_SETTEXTA, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(Text.c_str()));
}

void TStatusBar::SetSimplePanel(bool Value) {
    FSimplePanel = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    FSimpleText = Value;
    if (FHandle && FSimplePanel)
        SendMessageA(FHandle, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TStatusBar::WndProc(TMessage& Message) {
    if (Message.Msg == WM_SIZE) {
        DefaultHandler(Message);
        UpdatePanels();
        return;
    }
    TWinControl::WndProc(Message);
}

// --- TProgressBar -------------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = PROGRESS_CLASSA;
}

void TProgressBar::CreateHandleDone() {
    SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    if (FHandle)
        SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}
void TProgressBar::SetMax(int Value) {
    FMax = Value;
    if (FHandle)
        SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}
int TProgressBar::Position() const {
    return FPosition;
}
void TProgressBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (FHandle)
        SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}
void TProgressBar::StepBy(int Delta) {
    // The platform's bar wraps to the start after the end; so does ours.
    int P = FPosition + Delta;
    if (P > FMax)
        P = FMin + (P - FMax);
    SetPosition(P);
}
void TProgressBar::StepIt() {
    StepBy(FStep);
}
