#include "editor/core/ListView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "editor/core/DrawingHold.h"
#include "framework/ui/ImgList.h"

ZEL_DEFINE_CLASS(TListView, TWinControl, {})

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 250;
    FHeight = 150;
    SetTabStop(true);
    SetColor(clWindow);
}

TListView::~TListView() = default;

void TListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_LISTVIEWA;
    Params.Style |= LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | WS_CLIPCHILDREN;
    if (!HideSelection)
        Params.Style |= LVS_SHOWSELALWAYS;
    if (!ReadOnly)
        Params.Style |= LVS_EDITLABELS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateHandleDone() {
    if (RowSelect)
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (FSmallImages || FSmallImageHandle)
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(FSmallImages ? FSmallImages->Handle() : FSmallImageHandle));
    InsertColumns();
    SyncCount();
    if (FSelected >= 0)
        SetSelected(FSelected);
}

void TListView::InsertColumns() {
    if (!FHandle)
        return;
    while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0))
        ;
    int Index = 0;
    for (const TListColumn& C : FColumns) {
        LVCOLUMNA Col{};
        Col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        Col.pszText = const_cast<char*>(C.Caption.c_str());
        Col.cx = C.Width;
        Col.iSubItem = Index;
        SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Col));
        ++Index;
    }
}

void TListView::SetColumns(const std::vector<TListColumn>& Columns) {
    FColumns = Columns;
    InsertColumns();
}

void TListView::SetSmallImages(TImageList* Images) {
    FSmallImages = Images;
    if (FHandle)
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(Images ? Images->Handle() : nullptr));
}

void TListView::SetSmallImageHandle(HIMAGELIST Images) {
    FSmallImages = nullptr;
    FSmallImageHandle = Images;
    if (FHandle) {
        // A list the window does not own must survive the window.
        SetWindowLongPtrA(FHandle, GWL_STYLE, GetWindowLongPtrA(FHandle, GWL_STYLE) | LVS_SHAREIMAGELISTS);
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Images));
    }
}

// Each count the window is told costs it a new layout of its scroll bars and header, which under
// some window systems takes milliseconds even when nothing changes; so it is told only a count it
// does not have, and with its drawing held: it would otherwise draw its scroll bars and frame at each
// step of the layout, and again in the paint that follows.
void TListView::SyncCount() {
    if (!FHandle || FUpdating)
        return;
    // Emptied and filled again in one update: the new rows show from the top, as after an emptied
    // window.
    const bool Home = FScrollHome && SendMessageA(FHandle, LVM_GETTOPINDEX, 0, 0) > 0;
    FScrollHome = false;
    if (SendMessageA(FHandle, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(FRows.size())) {
        // Every row is repainted, and the scroll back to the top then draws the whole window and
        // its moved scroll bar once, at once.
        InvalidateRect(FHandle, nullptr, TRUE);
        if (Home)
            MakeVisible(0);
        return;
    }
    TDrawingHold Held(this);
    if (Home)
        MakeVisible(0);
    SendMessageA(FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(FRows.size()), LVSICF_NOSCROLL);
    if (!Held.Holding())
        InvalidateRect(FHandle, nullptr, TRUE);
}

void TListView::BeginUpdate() {
    ++FUpdating;
}

void TListView::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0)
        SyncCount();
}

int TListView::Count() const {
    return static_cast<int>(FRows.size());
}

int TListView::Add(const std::vector<std::string>& Texts, void* Data, int ImageIndex) {
    FRows.push_back(TRow{Texts, Data, ImageIndex});
    SyncCount();
    return static_cast<int>(FRows.size()) - 1;
}

void TListView::Clear() {
    FRows.clear();
    FSelected = -1;
    if (!FHandle || SendMessageA(FHandle, LVM_GETITEMCOUNT, 0, 0) == 0)
        return;
    if (FUpdating) {
        // The rows that come before the update ends are counted once, at its end; until then the
        // window keeps its count, shows blank rows past the new ones and has nothing chosen.
        SetSelected(-1);
        FScrollHome = true;
        return;
    }
    // This also tells the window its count is none.
    SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

std::string TListView::ItemText(int Index, int Column) const {
    if (Index < 0 || Index >= Count())
        return {};
    const TRow& Row = FRows[static_cast<size_t>(Index)];
    return Column >= 0 && Column < static_cast<int>(Row.Texts.size()) ? Row.Texts[static_cast<size_t>(Column)]
                                                                      : std::string();
}

void* TListView::ItemData(int Index) const {
    return Index >= 0 && Index < Count() ? FRows[static_cast<size_t>(Index)].Data : nullptr;
}

int TListView::ItemImage(int Index) const {
    return Index >= 0 && Index < Count() ? FRows[static_cast<size_t>(Index)].Image : -1;
}

int TListView::IndexOfData(const void* Data) const {
    for (int I = 0; I < Count(); ++I)
        if (FRows[static_cast<size_t>(I)].Data == Data)
            return I;
    return -1;
}

void TListView::CustomSort(const std::function<int(const void* A, const void* B)>& Compare) {
    if (!Compare || FRows.size() < 2)
        return;
    void* Chosen = ItemData(Selected());
    std::stable_sort(FRows.begin(), FRows.end(),
                     [&](const TRow& A, const TRow& B) { return Compare(A.Data, B.Data) < 0; });
    if (FHandle)
        InvalidateRect(FHandle, nullptr, TRUE);
    if (Chosen) {
        // The selection follows its row without a new selection event.
        auto Saved = std::move(OnSelectItem);
        SetSelected(IndexOfData(Chosen));
        OnSelectItem = std::move(Saved);
    }
}

int TListView::Selected() const {
    if (!FHandle)
        return FSelected;
    return static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int Index) {
    if (Index >= Count())
        Index = -1;
    FSelected = Index;
    if (!FHandle)
        return;
    LVITEMA Item{};
    Item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (Index < 0) {
        Item.state = 0;
        SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&Item));
        return;
    }
    Item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
    MakeVisible(Index);
}

void TListView::MakeVisible(int Index) {
    if (FHandle && Index >= 0)
        SendMessageA(FHandle, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index), FALSE);
}

// The window asks for a row's text and image as it draws or as another program reads it.
bool TListView::GetDisplayInfo(NMHDR* Header) {
    const bool Wide = Header->code == static_cast<UINT>(LVN_GETDISPINFOW);
    if (!Wide && Header->code != static_cast<UINT>(LVN_GETDISPINFOA))
        return false;
    // Both forms begin with the same fields; only the text differs in width.
    auto* Info = reinterpret_cast<NMLVDISPINFOA*>(Header);
    LVITEMA& Item = Info->item;
    // A row past the rows is one the window still counts inside an update: blank.
    static const TRow Blank{{}, nullptr, -1};
    const TRow& Row =
        Item.iItem >= 0 && Item.iItem < Count() ? FRows[static_cast<size_t>(Item.iItem)] : Blank;
    if ((Item.mask & LVIF_TEXT) && Item.pszText && Item.cchTextMax > 0) {
        const std::string Empty;
        const std::string& Text = Item.iSubItem >= 0 && Item.iSubItem < static_cast<int>(Row.Texts.size())
                                      ? Row.Texts[static_cast<size_t>(Item.iSubItem)]
                                      : Empty;
        if (Wide) {
            auto* Out = reinterpret_cast<wchar_t*>(Item.pszText);
            int N = MultiByteToWideChar(CP_ACP, 0, Text.c_str(), static_cast<int>(Text.size()), Out,
                                        Item.cchTextMax - 1);
            Out[std::max(0, N)] = L'\0';
        } else {
            size_t N = std::min(Text.size(), static_cast<size_t>(Item.cchTextMax - 1));
            std::memcpy(Item.pszText, Text.data(), N);
            Item.pszText[N] = '\0';
        }
    }
    if ((Item.mask & LVIF_IMAGE) && Item.iSubItem == 0)
        Item.iImage = Row.Image;
    if (Item.mask & LVIF_PARAM)
        Item.lParam = reinterpret_cast<LPARAM>(Row.Data);
    return true;
}

LRESULT TListView::CustomDraw(NMLVCUSTOMDRAW& Draw) const {
    if (Draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    // Unfocused, the platform draws the selected row in the face colour, hardly seen on the
    // window's white; it stays in the highlight colour here. The platform replaces the colours of
    // a row it takes for selected, so the row is drawn as not selected in those colours.
    if (Draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && !HideSelection &&
        static_cast<int>(Draw.nmcd.dwItemSpec) == FSelected) {
        Draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
        Draw.clrText = ColorToRGB(clHighlightText);
        Draw.clrTextBk = ColorToRGB(clHighlight);
    }
    return CDRF_DODEFAULT;
}

void TListView::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (GetDisplayInfo(Hdr)) {
            Message.Result = 0;
            return;
        }
        if (Hdr->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
            auto* NM = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
            if (!(NM->uChanged & LVIF_STATE))
                return;
            bool Was = (NM->uOldState & LVIS_SELECTED) != 0;
            bool Is = (NM->uNewState & LVIS_SELECTED) != 0;
            if (Was == Is)
                return;
            if (NM->iItem < 0) {
                // A virtual list reports "every row" when the selection is cleared at once.
                if (!Is && FSelected >= 0) {
                    int Old = FSelected;
                    FSelected = -1;
                    DoEvent(OnSelectItem, this, Old, false);
                }
                return;
            }
            if (Is)
                FSelected = NM->iItem;
            else if (FSelected == NM->iItem)
                FSelected = -1;
            DoEvent(OnSelectItem, this, NM->iItem, Is);
            return;
        }
        if (Hdr->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            Message.Result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam));
            return;
        }
        if (Hdr->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
            DoEvent(OnColumnClick, this, reinterpret_cast<NMLISTVIEW*>(Message.LParam)->iSubItem);
            return;
        }
        if (Hdr->code == static_cast<UINT>(NM_CLICK)) {
            FClickedItem = reinterpret_cast<NMITEMACTIVATE*>(Message.LParam)->iItem;
            Click();
            return;
        }
        if (Hdr->code == static_cast<UINT>(NM_DBLCLK)) {
            DblClick();
            return;
        }
    }
    TWinControl::WndProc(Message);
}
