#include "framework/ui/ListView.h"

#include <commctrl.h>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCustomListView, TWinControl, {})

// --- TListItem ----------------------------------------------------------------------------------

TListItem::TListItem(TListItems& Owner) : FOwner(Owner) {
    FSubItems.OnChange = [this](TObject*) { Changed(); };
}

TCustomListView* TListItem::ListView() const {
    return FOwner.Owner();
}

int TListItem::Index() const {
    return FOwner.IndexOf(this);
}

void TListItem::Changed() {
    if (ListView()->HandleAllocated())
        WriteRow(Index());
}

void TListItem::SetCaption(const std::string& Value) {
    FCaption = Value;
    Changed();
}
void TListItem::SetData(void* Value) {
    FData = Value;
}
void TListItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed();
}
void TListItem::SetStateIndex(int Value) {
    FStateIndex = Value;
    Changed();
}
void TListItem::SetOverlayIndex(int Value) {
    FOverlayIndex = Value;
    Changed();
}
void TListItem::SetIndent(int Value) {
    FIndent = Value;
    Changed();
}

bool TListItem::Checked() const {
    TCustomListView* View = ListView();
    if (View->HandleAllocated() && View->Checkboxes()) {
        const LRESULT State =
            SendMessageA(View->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_STATEIMAGEMASK);
        return ((State & LVIS_STATEIMAGEMASK) >> 12) == 2;
    }
    return FChecked;
}

void TListItem::SetChecked(bool Value) {
    FChecked = Value;
    Changed();
}

void TListItem::ReadCheck(int Row) {
    TCustomListView* View = ListView();
    if (!View->HandleAllocated() || !View->Checkboxes())
        return;
    const LRESULT State =
        SendMessageA(View->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Row), LVIS_STATEIMAGEMASK);
    FChecked = ((State & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListItem::WriteRow(int Row) {
    TCustomListView* View = ListView();
    if (!View->HandleAllocated() || Row < 0)
        return;
    const HWND Wnd = View->Handle();
    const int StateImage = View->Checkboxes() ? (FChecked ? 2 : 1) : FStateIndex + 1;
    LVITEMA Item{};
    Item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT;
    Item.iItem = Row;
    Item.pszText = const_cast<char*>(FCaption.c_str());
    Item.lParam = reinterpret_cast<LPARAM>(this);
    Item.iImage = FImageIndex;
    Item.iIndent = FIndent;
    Item.state = INDEXTOOVERLAYMASK(FOverlayIndex + 1) | INDEXTOSTATEIMAGEMASK(StateImage);
    Item.stateMask = LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
    SendMessageA(Wnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    // Every column after the first, so that sub-items the item no longer has are cleared.
    for (int Column = 1; Column < static_cast<int>(View->Columns().size()); ++Column) {
        const std::string Text = Column <= FSubItems.Count() ? FSubItems[Column - 1] : std::string();
        LVITEMA Sub{};
        Sub.iSubItem = Column;
        Sub.pszText = const_cast<char*>(Text.c_str());
        SendMessageA(Wnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&Sub));
    }
}

// --- TListItems ---------------------------------------------------------------------------------

namespace {

// A blank row at Row: no text, no image, no item.
void InsertBlankRow(HWND Wnd, int Row) {
    LVITEMA Item{};
    Item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    Item.iItem = Row;
    Item.pszText = const_cast<char*>("");
    Item.iImage = -1;
    SendMessageA(Wnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
}

} // namespace

void TListItems::CheckIndex(int Index, int Last) const {
    if (Index < 0 || Index > Last)
        throw EListError(Format(SListIndexError, Index));
}

TListItem* TListItems::Item(int Index) const {
    CheckIndex(Index, Count() - 1);
    return FItems[static_cast<size_t>(Index)].get();
}

TListItem* TListItems::Insert(int Index) {
    CheckIndex(Index, Count());
    auto* Item = new TListItem(*this);
    FItems.insert(FItems.begin() + Index, std::unique_ptr<TListItem>(Item));
    if (FOwner.HandleAllocated()) {
        InsertBlankRow(FOwner.Handle(), Index);
        Item->WriteRow(Index);
    }
    return Item;
}

void TListItems::Delete(int Index) {
    CheckIndex(Index, Count() - 1);
    if (FOwner.HandleAllocated())
        SendMessageA(FOwner.Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
    FItems.erase(FItems.begin() + Index);
}

void TListItems::Clear() {
    if (FOwner.HandleAllocated())
        SendMessageA(FOwner.Handle(), LVM_DELETEALLITEMS, 0, 0);
    FItems.clear();
}

int TListItems::IndexOf(const TListItem* Item) const {
    for (size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Item)
            return static_cast<int>(I);
    return -1;
}

void TListItems::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex, Count() - 1);
    CheckIndex(NewIndex, Count() - 1);
    if (CurIndex == NewIndex)
        return;
    std::unique_ptr<TListItem> Moving = std::move(FItems[static_cast<size_t>(CurIndex)]);
    FItems.erase(FItems.begin() + CurIndex);
    TListItem* Item = Moving.get();
    FItems.insert(FItems.begin() + NewIndex, std::move(Moving));
    if (!FOwner.HandleAllocated())
        return;
    const HWND Wnd = FOwner.Handle();
    Item->ReadCheck(CurIndex);
    LVITEMA Old{};
    Old.mask = LVIF_PARAM | LVIF_IMAGE;
    Old.iItem = CurIndex;
    Old.iImage = -1;
    SendMessageA(Wnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Old));
    // The blank row goes where the item will stand once its old row is gone.
    InsertBlankRow(Wnd, NewIndex > CurIndex ? NewIndex + 1 : NewIndex);
    SendMessageA(Wnd, LVM_DELETEITEM, static_cast<WPARAM>(NewIndex > CurIndex ? CurIndex : CurIndex + 1), 0);
    Item->WriteRow(NewIndex);
}

void TListItems::Refill() {
    const HWND Wnd = FOwner.Handle();
    SendMessageA(Wnd, LVM_DELETEALLITEMS, 0, 0);
    for (int I = 0; I < Count(); ++I) {
        InsertBlankRow(Wnd, I);
        FItems[static_cast<size_t>(I)]->WriteRow(I);
    }
}

// --- TCustomListView ----------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>(*this)) {
    FWidth = 200;
    FHeight = 150;
    SetTabStop(true);
}

TCustomListView::~TCustomListView() {
    DestroyHandle();
}

void TCustomListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_LISTVIEWA;
    Params.Style |= LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateHandleDone() {
    if (FCheckboxes)
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    InsertColumns();
    FItems->Refill();
}

void TCustomListView::DestroyWnd() {
    // The user's check marks live in the window; the items keep them for the next one.
    if (FHandle)
        for (int I = 0; I < FItems->Count(); ++I)
            FItems->Item(I)->ReadCheck(I);
    TWinControl::DestroyWnd();
}

void TCustomListView::InsertColumns() {
    if (!FHandle)
        return;
    while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0))
        ;
    for (size_t I = 0; I < FColumns.size(); ++I) {
        LVCOLUMNA Column{};
        Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        Column.pszText = const_cast<char*>(FColumns[I].Caption.c_str());
        Column.cx = FColumns[I].Width;
        Column.iSubItem = static_cast<int>(I);
        SendMessageA(FHandle, LVM_INSERTCOLUMNA, I, reinterpret_cast<LPARAM>(&Column));
    }
}

void TCustomListView::SetColumns(const std::vector<TListViewColumn>& Columns) {
    FColumns = Columns;
    if (FHandle) {
        InsertColumns();
        FItems->Refill();
    }
}

void TCustomListView::SetCheckboxes(bool Value) {
    if (Value == FCheckboxes)
        return;
    if (FHandle)
        for (int I = 0; I < FItems->Count(); ++I)
            FItems->Item(I)->ReadCheck(I);
    FCheckboxes = Value;
    if (FHandle) {
        SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, Value ? LVS_EX_CHECKBOXES : 0);
        FItems->Refill();
    }
}
