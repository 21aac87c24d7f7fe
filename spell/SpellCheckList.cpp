#include "spell/SpellCheckList.h"

#include <commctrl.h>

#include "framework/core/SysUtils.h"
#include "framework/ui/Messages.h"

ZEL_DEFINE_CLASS(TSpellCheckList, TWinControl, {})

TSpellCheckList::TSpellCheckList(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
}

void TSpellCheckList::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = WC_LISTVIEWA;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    if (!ShowColumnHeaders)
        Params.Style |= LVS_NOCOLUMNHEADER;
    if (EditLabels)
        Params.Style |= LVS_EDITLABELS;
    if (SortByCaption)
        Params.Style |= LVS_SORTASCENDING;
}

void TSpellCheckList::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    DWORD style = LVS_EX_FULLROWSELECT | (CheckBoxes ? LVS_EX_CHECKBOXES : 0);
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, style);
}

void TSpellCheckList::AddColumn(const std::string& Caption, int Width) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>(Caption.c_str());
    c.cx = Width;
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&c));
}

void TSpellCheckList::SetColumnWidth(int Column, int Width) {
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Column), MAKELPARAM(Width, 0));
}

int TSpellCheckList::ColumnWidth(int Column) {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Column), 0));
}

int TSpellCheckList::Count() {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TSpellCheckList::Clear() {
    FPopulating = true;
    SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
    FPopulating = false;
}

int TSpellCheckList::AddItem(const std::string& Caption, const std::string& SubItem, intptr_t Data) {
    FPopulating = true;
    LVITEMA it{};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = Count();
    it.pszText = const_cast<char*>(Caption.c_str());
    it.lParam = Data;
    int at = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    if (at >= 0) {
        LVITEMA sub{};
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>(SubItem.c_str());
        SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sub));
        if (CheckBoxes)
            SetChecked(at, false);
    }
    FPopulating = false;
    return at;
}

static std::string ItemText(HWND h, int Index, int Sub) {
    char buf[1024] = {};
    LVITEMA it{};
    it.iSubItem = Sub;
    it.pszText = buf;
    it.cchTextMax = sizeof(buf);
    SendMessageA(h, LVM_GETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
    return buf;
}

std::string TSpellCheckList::Caption(int Index) {
    return ItemText(Handle(), Index, 0);
}

std::string TSpellCheckList::SubItem(int Index) {
    return ItemText(Handle(), Index, 1);
}

bool TSpellCheckList::Checked(int Index) {
    UINT s = static_cast<UINT>(
        SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index), LVIS_STATEIMAGEMASK));
    return ((s & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TSpellCheckList::SetChecked(int Index, bool Value) {
    LVITEMA it{};
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(Value ? 2 : 1);
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
}

intptr_t TSpellCheckList::Data(int Index) {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = Index;
    SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return it.lParam;
}

void TSpellCheckList::SetData(int Index, intptr_t Value) {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = Index;
    it.lParam = Value;
    SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

int TSpellCheckList::Selected() {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TSpellCheckList::Select(int Index) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index), FALSE);
}

void TSpellCheckList::SelectNone() {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
}

int TSpellCheckList::Focused() {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TSpellCheckList::DeleteItem(int Index) {
    SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
}

void TSpellCheckList::SetSubItem(int Index, const std::string& Value) {
    LVITEMA it{};
    it.iSubItem = 1;
    it.pszText = const_cast<char*>(Value.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
}

int TSpellCheckList::FindCaption(const std::string& Text) {
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareText(Caption(i), Text) == 0)
            return i;
    return -1;
}

void TSpellCheckList::SetItemCaption(int Index, const std::string& Value) {
    LVITEMA it{};
    it.iSubItem = 0;
    it.pszText = const_cast<char*>(Value.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
}

void TSpellCheckList::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (hdr->code == LVN_BEGINLABELEDITA) {
            auto* di = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
            bool allow = true;
            if (OnEditing)
                OnEditing(this, di->item.iItem, allow);
            Message.Result = allow ? FALSE : TRUE;
            return;
        }
        if (hdr->code == LVN_ENDLABELEDITA) {
            auto* di = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
            bool accept = di->item.pszText != nullptr;
            if (accept && OnEdited)
                OnEdited(this, di->item.iItem, di->item.pszText, accept);
            Message.Result = accept ? TRUE : FALSE;
            return;
        }
        if (hdr->code == LVN_ITEMCHANGED) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
            if (!FPopulating && (nm->uChanged & LVIF_STATE) &&
                ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED) && OnSelectItem)
                OnSelectItem(this, (nm->uNewState & LVIS_SELECTED) ? nm->iItem : -1);
        }
        if (hdr->code == LVN_ITEMCHANGED) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
            if (!FPopulating && (nm->uChanged & LVIF_STATE) &&
                ((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK) && OnCheckChange)
                OnCheckChange(this, nm->iItem);
        }
        return;
    }
    TWinControl::WndProc(Message);
}
