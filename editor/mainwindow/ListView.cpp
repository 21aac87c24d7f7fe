#include "editor/mainwindow/ListView.h"

#include <commctrl.h>

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
    Params.Style |= LVS_REPORT | LVS_SINGLESEL | WS_CLIPCHILDREN;
    if (!HideSelection)
        Params.Style |= LVS_SHOWSELALWAYS;
    if (!ReadOnly)
        Params.Style |= LVS_EDITLABELS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateHandleDone() {
    if (RowSelect)
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    InsertColumns();
    for (int I = 0; I < static_cast<int>(FRows.size()); ++I)
        InsertRow(I);
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

void TListView::InsertRow(int Index) {
    const TRow& Row = FRows[static_cast<size_t>(Index)];
    LVITEMA Item{};
    Item.mask = LVIF_TEXT | LVIF_PARAM;
    Item.iItem = Index;
    Item.pszText = const_cast<char*>(Row.Texts.empty() ? "" : Row.Texts[0].c_str());
    Item.lParam = reinterpret_cast<LPARAM>(Row.Data);
    SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    for (size_t S = 1; S < Row.Texts.size(); ++S) {
        LVITEMA Sub{};
        Sub.iSubItem = static_cast<int>(S);
        Sub.pszText = const_cast<char*>(Row.Texts[S].c_str());
        SendMessageA(FHandle, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Sub));
    }
}

int TListView::Count() const {
    return static_cast<int>(FRows.size());
}

int TListView::Add(const std::vector<std::string>& Texts, void* Data) {
    FRows.push_back(TRow{Texts, Data});
    int Index = static_cast<int>(FRows.size()) - 1;
    if (FHandle)
        InsertRow(Index);
    return Index;
}

void TListView::Clear() {
    FRows.clear();
    FSelected = -1;
    if (FHandle)
        SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
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

int TListView::IndexOfData(const void* Data) const {
    for (int I = 0; I < Count(); ++I)
        if (FRows[static_cast<size_t>(I)].Data == Data)
            return I;
    return -1;
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

void TListView::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        auto* Hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (Hdr->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
            auto* NM = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
            if ((NM->uChanged & LVIF_STATE) && NM->iItem >= 0) {
                bool Was = (NM->uOldState & LVIS_SELECTED) != 0;
                bool Is = (NM->uNewState & LVIS_SELECTED) != 0;
                if (Was != Is) {
                    if (Is)
                        FSelected = NM->iItem;
                    else if (FSelected == NM->iItem)
                        FSelected = -1;
                    DoEvent(OnSelectItem, this, NM->iItem, Is);
                }
            }
            return;
        }
        if (Hdr->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
            DoEvent(OnColumnClick, this, reinterpret_cast<NMLISTVIEW*>(Message.LParam)->iSubItem);
            return;
        }
        if (Hdr->code == static_cast<UINT>(NM_CLICK)) {
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
