#include "shellcontrols/ListViewBase.h"

#include "framework/core/ScopeGuard.h"
#include "framework/ui/Messages.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/ShellUtils.h"

namespace {
const DWORD ViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
const TEnumInfo ViewStyleInfo{{"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
const TEnumInfo HeaderSortDisplayModeInfo{{"nvlvNone", "nvlvLeftAlign", "nvlvRightOfText", "nvlvRightAlign"}};
} // namespace

ZEL_DEFINE_CLASS(TNVCustomListView, TWinControl, {})
ZEL_DEFINE_CLASS(
    TNVListView, TNVCustomListView,
    {Prop::Enum<TNVCustomListView>("HeaderSortDisplayMode", &HeaderSortDisplayModeInfo,
                                   &TNVCustomListView::HeaderSortDisplayMode,
                                   &TNVCustomListView::SetHeaderSortDisplayMode)
         .WithDefault(static_cast<int>(TNVLvHeaderSortDisplayMode::nvlvRightOfText)),
     Prop::Bool<TNVCustomListView>("HotTrack", &TNVCustomListView::HotTrack, &TNVCustomListView::SetHotTrack)
         .WithDefault(0),
     Prop::Bool<TNVCustomListView>("MultiSelect", &TNVCustomListView::MultiSelect,
                                   &TNVCustomListView::SetMultiSelect)
         .WithDefault(0),
     Prop::Bool<TNVCustomListView>("RowSelect", &TNVCustomListView::RowSelect,
                                   &TNVCustomListView::SetRowSelect)
         .WithDefault(0),
     Prop::Enum<TNVCustomListView>("ViewStyle", &ViewStyleInfo, &TNVCustomListView::ViewStyle,
                                   &TNVCustomListView::SetViewStyle)
         .WithDefault(static_cast<int>(TNVViewStyle::vsReport)),
     Prop::Method("OnItemContextMenu"), Prop::Method("OnNVCustomDraw"), Prop::Method("OnNVCustomDrawEx")})

TNVCustomListView::TNVCustomListView(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
}

TNVCustomListView::~TNVCustomListView() = default;

void TNVCustomListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_LISTVIEWA;
    Params.Style |= WS_TABSTOP | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE;
    if (!FMultiSelect)
        Params.Style |= LVS_SINGLESEL;
    Params.Style |= ViewStyles[static_cast<int>(FViewStyle)];
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TNVCustomListView::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    ApplyColor();
    ApplyExtendedStyle();
    SetHeaderODStyle();
    PostMessageA(FHandle, AMInitStage2, 0, 0);
}

void TNVCustomListView::ApplyExtendedStyle() {
    if (!HandleAllocated())
        return;
    const DWORD Mask = LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT;
    const DWORD Bits = (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FHotTrack ? LVS_EX_TRACKSELECT : 0);
    SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, Mask, Bits);
}

void TNVCustomListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    ApplyExtendedStyle();
}

void TNVCustomListView::SetHotTrack(bool Value) {
    FHotTrack = Value;
    ApplyExtendedStyle();
}

void TNVCustomListView::ColorChanged() {
    TWinControl::ColorChanged();
    ApplyColor();
}

void TNVCustomListView::ApplyColor() {
    if (!HandleAllocated())
        return;
    const COLORREF C = ColorToRGB(Color());
    SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(C));
    SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(C));
}

void TNVCustomListView::SetViewStyle(TNVViewStyle Value) {
    if (Value == FViewStyle)
        return;
    FViewStyle = Value;
    if (HandleAllocated()) {
        LONG_PTR Style = GetWindowLongPtrA(FHandle, GWL_STYLE);
        SetWindowLongPtrA(FHandle, GWL_STYLE, (Style & ~LVS_TYPEMASK) | ViewStyles[static_cast<int>(Value)]);
        if (Value == TNVViewStyle::vsReport)
            SetHeaderODStyle();
    }
}

void TNVCustomListView::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    if (HandleAllocated()) {
        LONG_PTR Style = GetWindowLongPtrA(FHandle, GWL_STYLE);
        SetWindowLongPtrA(FHandle, GWL_STYLE, Value ? (Style & ~LVS_SINGLESEL) : (Style | LVS_SINGLESEL));
    }
}

// ---- Column header ----

HWND TNVCustomListView::GetHeaderHandle() {
    return HandleAllocated() ? reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0)) : nullptr;
}

void TNVCustomListView::InvalidateHeaderItem(int Column) {
    HWND Header = GetHeaderHandle();
    if (!Header || Column < 0)
        return;
    RECT R{};
    if (SendMessageA(Header, HDM_GETITEMRECT, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&R)))
        InvalidateRect(Header, &R, TRUE);
}

void TNVCustomListView::SetHeaderSortColumn(int Value) {
    if (Value < -1)
        Value = -1;
    if (Value == FHeaderSortColumn)
        return;
    InvalidateHeaderItem(FHeaderSortColumn);
    InvalidateHeaderItem(Value);
    FHeaderSortColumn = Value;
}

void TNVCustomListView::SetHeaderSortDirection(TNVLvSortDirection Value) {
    if (Value == FHeaderSortDirection)
        return;
    InvalidateHeaderItem(FHeaderSortColumn);
    FHeaderSortDirection = Value;
}

void TNVCustomListView::SetHeaderSortDisplayMode(TNVLvHeaderSortDisplayMode Value) {
    if (Value == FHeaderSortDisplayMode)
        return;
    const TNVModuleVersion V = ComCtlVersion();
    FHeaderSortDisplayMode =
        V.VersionMS >= NVHeaderArrowMinComCtl ? Value : TNVLvHeaderSortDisplayMode::nvlvNone;
    SetHeaderODStyle();
    if (HWND Header = GetHeaderHandle())
        InvalidateRect(Header, nullptr, TRUE);
}

void TNVCustomListView::SetHeaderODStyle() {
    HWND Header = GetHeaderHandle();
    if (!Header || FHeaderStyleGuard > 0)
        return;
    ++FHeaderStyleGuard;
    struct TGuard {
        int& C;
        ~TGuard() { --C; }
    } Guard{FHeaderStyleGuard};
    const bool OwnerDraw = FHeaderSortDisplayMode != TNVLvHeaderSortDisplayMode::nvlvNone;
    for (int I = static_cast<int>(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0)) - 1; I >= 0; --I) {
        HDITEMA Item{};
        Item.mask = HDI_FORMAT;
        if (!SendMessageA(Header, HDM_GETITEMA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item)))
            continue;
        Item.fmt = (Item.fmt & HDF_JUSTIFYMASK) | (OwnerDraw ? HDF_OWNERDRAW : HDF_STRING);
        SendMessageA(Header, HDM_SETITEMA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
    }
    InvalidateRect(Header, nullptr, TRUE);
}

bool TNVCustomListView::DrawHeaderItem(const DRAWITEMSTRUCT& Item) {
    HWND Header = GetHeaderHandle();
    if (!Header || Item.hwndItem != Header)
        return false;
    const int Column = static_cast<int>(Item.itemID);
    char Text[261] = {};
    HDITEMA H{};
    H.mask = HDI_TEXT | HDI_FORMAT;
    H.pszText = Text;
    H.cchTextMax = static_cast<int>(sizeof(Text));
    SendMessageA(Header, HDM_GETITEMA, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&H));
    const int Justify = H.fmt & HDF_JUSTIFYMASK;
    const UINT Align = Justify == HDF_RIGHT ? DT_RIGHT : Justify == HDF_CENTER ? DT_CENTER : DT_LEFT;
    const int Width =
        static_cast<int>(SendMessageA(FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Column), 0));
    int Saved = SaveDC(Item.hDC);
    if (!FHeaderCanvas)
        FHeaderCanvas = std::make_unique<TCanvas>();
    FHeaderCanvas->SetHandle(Item.hDC);
    struct TUnbind {
        TCanvas& C;
        HDC DC;
        int Saved;
        ~TUnbind() {
            C.SetHandle(nullptr);
            RestoreDC(DC, Saved);
        }
    } Unbind{*FHeaderCanvas, Item.hDC, Saved};
    FHeaderCanvas->Font().Assign(Font());
    NVDrawHeaderCell(*FHeaderCanvas, Item.rcItem, Text, Align, FHeaderSortDisplayMode,
                     Column == FHeaderSortColumn, FHeaderSortDirection, Width);
    return true;
}

// ---- Custom draw ----

void TNVCustomListView::CustomDraw(TMessage& Message) {
    auto* Record = reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam);
    Message.Result = CDRF_DODEFAULT;
    // The previous notification's object goes only now: a font it selected stays valid till here.
    std::unique_ptr<TNVCustomDraw> Previous = std::move(FCustomDraw);
    FCustomDraw = std::make_unique<TNVLvCustomDraw>(*Record, Message.Result, &Font());
    TNVCustomDraw* CD = FCustomDraw.get();
    const int Item = CD->IsItem() ? static_cast<int>(Record->nmcd.dwItemSpec) : -1;
    if (OnNVCustomDrawEx)
        OnNVCustomDrawEx(this, CD, Item);
    if (OnNVCustomDraw && CD->DrawStage() == TNVCustomDrawStage::nvcdsItemPrePaint)
        OnNVCustomDraw(this, CD, Item);
    NVCustomDrawItem(CD, Item, Item >= 0 ? Record->nmcd.lItemlParam : 0);
    CD->Apply();
    if (Record->nmcd.dwDrawStage & CDDS_PREPAINT)
        Message.Result |= CDRF_NOTIFYITEMDRAW;
}

// ---- Context menus ----

void TNVCustomListView::ItemContextMenu(int Item, POINT& Pos, TPopupMenu*& Menu) {
    if (OnItemContextMenu)
        OnItemContextMenu(this, Item, Pos, Menu);
}

void TNVCustomListView::PopupAt(TPopupMenu* Menu, POINT Client) {
    Menu->PopupComponent = this;
    POINT Screen = ClientToScreen(Client);
    Menu->Popup(Screen.x, Screen.y);
}

void TNVCustomListView::DoItemContextMenu(POINT Client) {
    const int Focused =
        static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    TPopupMenu* Menu = PopupMenu();
    ItemContextMenu(Focused, Client, Menu);
    FMenuShown = true;
    if (Menu)
        PopupAt(Menu, Client);
}

void TNVCustomListView::DoPreItemContextMenu(POINT Client) {
    auto Next = [this](int From, UINT Flags) {
        return static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(From), Flags));
    };
    const int Focused = Next(-1, LVNI_FOCUSED);
    int At = -1;
    if (Focused >= 0)
        At = (ListView_GetItemState(FHandle, Focused, LVIS_SELECTED) & LVIS_SELECTED)
                 ? Focused
                 : Next(-1, LVNI_SELECTED);
    if (At >= 0) {
        RECT R{};
        R.left = LVIR_ICON;
        SendMessageA(FHandle, LVM_GETITEMRECT, static_cast<WPARAM>(At), reinterpret_cast<LPARAM>(&R));
        DoItemContextMenu(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    } else if (TPopupMenu* Menu = PopupMenu()) {
        PopupAt(Menu, Client);
    }
}

void TNVCustomListView::KeyDown(WORD& Key, TShiftState Shift) {
    if (NVIsContextMenuKey(Key, Shift)) {
        Key = 0;
        DoPreItemContextMenu(POINT{0, 0});
    }
    TWinControl::KeyDown(Key, Shift);
}

// ---- Messages ----

void TNVCustomListView::WndProc(TMessage& Message) {
    const bool Designing = HasState(csDesigning);
    switch (Message.Msg) {
    case WM_CONTEXTMENU:
        // Never passed on: the control's popup menu opens only from here.
        if (!Designing && !FMenuShown && SendMessageA(FHandle, LVM_GETSELECTEDCOUNT, 0, 0) > 0 &&
            SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0) {
            if (Message.LParam == -1) {
                DoPreItemContextMenu(POINT{0, 0});
            } else {
                POINT P{static_cast<short>(LOWORD(Message.LParam)),
                        static_cast<short>(HIWORD(Message.LParam))};
                DoItemContextMenu(ScreenToClient(P));
            }
        }
        return;
    case WM_RBUTTONUP:
        if (FMenuShown && PopupMenu()) {
            TPopupMenu* Menu = PopupMenu();
            SetPopupMenu(nullptr);
            TScopeGuard Restore([this, Menu] { SetPopupMenu(Menu); });
            TWinControl::WndProc(Message);
        } else {
            TWinControl::WndProc(Message);
        }
        FMenuShown = false;
        return;
    case WM_SYSCOLORCHANGE:
        TWinControl::WndProc(Message);
        // A system colour was sent to the window as its value then.
        if (Color() < 0)
            ColorChanged();
        return;
    case AMInitStage2:
        SetHeaderODStyle();
        return;
    case WM_NOTIFY: {
        auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (Hdr->hwndFrom && Hdr->hwndFrom == GetHeaderHandle()) {
            if (Hdr->code == HDN_ITEMCLICKA || Hdr->code == HDN_ITEMCLICKW)
                InvalidateRect(Hdr->hwndFrom, nullptr, TRUE);
            TWinControl::WndProc(Message);
            switch (Hdr->code) {
            case HDN_BEGINTRACKA:
            case HDN_BEGINTRACKW:
            case HDN_ENDTRACKA:
            case HDN_ENDTRACKW:
            case HDN_ITEMCHANGEDA:
            case HDN_ITEMCHANGEDW:
                SetHeaderODStyle();
                break;
            default:
                break;
            }
            return;
        }
        break;
    }
    case WM_DRAWITEM:
        if (DrawHeaderItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam))) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_PARENTNOTIFY:
        // A new header starts with plain string items.
        TWinControl::WndProc(Message);
        SetHeaderODStyle();
        return;
    case CN_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(Message.LParam)->code) {
        case NM_CUSTOMDRAW:
            CustomDraw(Message);
            return;
        case NM_RCLICK:
            if (!Designing) {
                POINT P{};
                GetCursorPos(&P);
                DoPreItemContextMenu(ScreenToClient(P));
            }
            Message.Result = 0;
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
